#pragma once
// Ideal gases: air, the eighteen built-in gases and the gases of user
// ".IDG" files. All share one object type; a gas differs only by its
// constants, its data record (transport correlations, critical data) and
// its pair of temperature functions h(T) and s0(T), the integrals of its
// specific-heat correlation.
//
// Inside an object everything is in K, kPa, kJ/kg (kJ/kmol on the molar
// basis), kJ/kg-K and m3/kg; values cross the object's boundary in the
// document's units while UnitConversionEnabled is set.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "core/extended.h"
#include "model/substance_base.h"

namespace voq {

struct TIdealGasDataRecord {
  // Only gases of user files use these.
  Extended MolarMass = 0;
  Extended CpDivisor = 0;  // >= 0 polynomial in T/CpDivisor, < 0 hyperbolic
  Extended CpTMax = 0;
  Extended CpTMin = 0;
  std::array<Extended, 11> CpCoef{};      // [1..10]
  std::array<Extended, 11> CpExponent{};  // [1..10]
  Extended RefT = 0;
  Extended RefP = 0;
  Extended RefH = 0;
  Extended RefS = 0;
  // Transport correlations (form codes as in ViscosityOf/ConductivityOf).
  Extended ViscosityForm = 0;
  std::array<Extended, 8> ViscosityCoef{};  // [1..7], 7 spare
  Extended ViscosityTMin = 0;
  Extended ViscosityTMax = 0;
  Extended ConductivityForm = 0;
  std::array<Extended, 8> ConductivityCoef{};  // [1..7]
  Extended ConductivityTMin = 0;
  Extended ConductivityTMax = 0;
  Extended TCrit = -1;  // negative: not available
  Extended PCrit = -1;
  Extended VCrit = -1;
  Extended AcentricFactor = -1;
  std::string Name;
};

// Data records by gas id (1..225): 201 air, 202..219 the built-in gases,
// the catalogue row for a user gas. Filled on first use, shared by every
// object of the gas, kept until the program ends (or the engine reset).
extern std::array<std::shared_ptr<TIdealGasDataRecord>, 226> IdealGasDataTable;
// Returns the record of a built-in gas id, creating and filling it on first use.
std::shared_ptr<TIdealGasDataRecord> FillIdealGasData(int32_t gasId);

class TIdealGasSubstance : public TSubstanceBase {
 public:
  int32_t GasId = 0;
  Extended RefT = 0;      // K
  Extended RefP = 0;      // kPa
  Extended RefH = 0;      // kJ/kmol as constructed, per kg on the mass basis
  Extended RefS = 0;
  Extended GuessCp = 0;   // first estimates of the iterations only
  Extended R = 0;         // gas constant of the current basis
  Extended M = 0;         // kg/kmol
  Extended HOffset = 0;
  Extended SOffset = 0;
  Extended PlotTMin = 0;
  Extended PlotTMax = 0;
  std::shared_ptr<TIdealGasDataRecord> Data;

  Extended isIdealGas() override { return 1.0L; }
  Extended MolarMass() override { return M; }
  Extended T_crit() override;
  Extended P_crit() override;
  Extended v_crit() override;
  Extended Temperature(TPropertyArgumentRecord& a) override;
  Extended Pressure(TPropertyArgumentRecord& a) override;
  Extended Enthalpy(TPropertyArgumentRecord& a) override;
  Extended IntEnergy(TPropertyArgumentRecord& a) override;
  Extended Entropy(TPropertyArgumentRecord& a) override;
  Extended Volume(TPropertyArgumentRecord& a) override;
  Extended Quality(TPropertyArgumentRecord& a) override;
  Extended SpecHeat(TPropertyArgumentRecord& a) override;
  Extended Cv(TPropertyArgumentRecord& a) override;
  Extended Viscosity(TPropertyArgumentRecord& a) override;
  Extended Conductivity(TPropertyArgumentRecord& a) override;
  Extended Prandtl(TPropertyArgumentRecord& a) override;
  Extended SoundSpeed(TPropertyArgumentRecord& a) override;
  Extended SurfaceTension(TPropertyArgumentRecord& a) override;
  Extended VolExpCoef(TPropertyArgumentRecord& a) override;
  // Slot 25: isobars, isotherms, isochores and isentropes over the plot
  // temperature range (ideal_gas_plot_lines.cpp).
  void PlotLines(int32_t plotKind, TPlotLinesRequest& request) override;
  Extended AcentricFactor() override;
  Extended Fugacity(TPropertyArgumentRecord& a) override;

  // Slot 28: the basis applied to the constants, and the offsets that give
  // the reference enthalpy and entropy at the reference state.
  virtual void SetReferenceState();
  // Slots 29 and 30: h(T) and s0(T) at the reference pressure, T in K,
  // internal units of the current basis, offsets included.
  virtual Extended EnthalpyT(Extended T) = 0;
  virtual Extended EntropyT(Extended T) = 0;

  // The name the gas's warnings carry.
  virtual std::string GasName() const;

 protected:
  // Appends "name" + message 146 + range to the warnings window.
  void AddRangeWarning(const std::string& range) const;

 private:
  // Two state arguments in internal units, T standing for h and u.
  struct TSlots {
    bool hasT = false, hasP = false, hasS = false, hasV = false;
    Extended T = 0, P = 0, s = 0, v = 0;
    int32_t Count() const { return hasT + hasP + hasS + hasV; }
  };
  TSlots StateSlots(TPropertyArgumentRecord& a, int32_t own);

  // T from h, u, (P, s), (P, v) or (s, v) in internal units; the iterations.
  Extended TemperatureFromH(Extended h);
  Extended TemperatureFromU(Extended u);
  Extended TemperatureFromPS(Extended P, Extended s);
  Extended TemperatureFromSV(Extended s, Extended v);
  // T of a single h or u argument (internal units), as the state
  // operations substitute it for T.
  Extended TemperatureOfEnergy(int32_t kind, Extended value);
  // The temperature an enthalpy (self = h) or internal-energy (self = u)
  // call stands for; false with CalcErrorCode set (or warnings suppressed).
  bool CaloricTemperature(TPropertyArgumentRecord& a, int32_t self, int32_t fromP,
                          int32_t fromS, int32_t fromV, Extended& T);
};

// Air's enthalpy correlation in kJ/kg, T in K (above 0), without the
// reference offset: the moist-air model's dry-air enthalpy.
Extended AirRawEnthalpy(Extended T);

// The constructors the substance factory calls.
TIdealGasSubstance* CreateAirSubstance();
// Built-in gases by gas id 202..219.
TIdealGasSubstance* CreateBuiltinGas(int32_t gasId);
// A gas of a user ".IDG" file registered in this catalogue row. Errors 355
// and 336 are left for the caller.
TIdealGasSubstance* CreateGasFromFile(int32_t row);

// Gas id of a catalogue row of a built-in ideal gas (air 201); 0 otherwise.
int32_t GasIdOfRow(int32_t row);

void ResetIdealGasState();

}  // namespace voq

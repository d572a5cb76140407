#pragma once
// The substance objects of the Martin-Hou fluids: the seventeen built-in
// refrigerants, refrigerant blends, ammonia and propane, and every ".MHE"
// user fluid file. Each object keeps the constants the equation of state
// does not (molar mass, plot ranges, surface-tension correlation) and a
// reference to its fluid's coefficient record; every state property is
// solved by SolveMartinHouState after the object has made its fluid the
// current one. Derived properties are finite differences over further
// state calls on the same object.
#include <array>
#include <cstdint>
#include <string>

#include "core/extended.h"
#include "model/substance_base.h"
#include "properties/martin_hou_data.h"

namespace voq {

class TMartinHouSubstance : public TSubstanceBase {
 public:
  // 1 = zeotropic blend (bubble and dew points differ).
  uint8_t IsBlend = 0;
  // 1..25 for a built-in fluid, the catalogue row for a user fluid file.
  int32_t FluidNumber = 0;
  Extended MolarMassValue = 0;  // kg/kmol = lbm/lbmol
  // Property-plot ranges, R and psia; -999 (or 0 for pressures) = not set.
  // PlotPHigh is also the pressure limit of the state solver's warning.
  Extended PlotTLow = -999;
  Extended PlotTHigh = -999;
  Extended PlotPLow = -999;
  Extended PlotPHigh = -999;
  // The fluid's record in MartinHouCoefTable; shared, never freed here.
  // Null when a user file could not be read.
  MartinHouCoefRecord* Coefficients = nullptr;
  // sigma = Sigma0 (1 - T/Tc)^SigmaExponent between SigmaTLow and
  // SigmaTHigh (K); SigmaTLow < 0 = no surface-tension data.
  Extended SigmaTLow = -999;
  Extended SigmaTHigh = -999;
  Extended Sigma0 = -999;
  Extended SigmaExponent = -999;

  Extended isIdealGas() override { return 0; }
  Extended MolarMass() override { return MolarMassValue; }
  Extended T_crit() override;
  Extended P_crit() override;
  Extended v_crit() override;
  Extended Temperature(TPropertyArgumentRecord& a) override { return StateSlot(1, a); }
  Extended Pressure(TPropertyArgumentRecord& a) override { return StateSlot(2, a); }
  Extended Enthalpy(TPropertyArgumentRecord& a) override { return StateSlot(3, a); }
  Extended IntEnergy(TPropertyArgumentRecord& a) override { return StateSlot(4, a); }
  Extended Entropy(TPropertyArgumentRecord& a) override { return StateSlot(5, a); }
  Extended Volume(TPropertyArgumentRecord& a) override { return StateSlot(6, a); }
  Extended Quality(TPropertyArgumentRecord& a) override { return StateSlot(7, a); }
  Extended SpecHeat(TPropertyArgumentRecord& a) override;
  Extended Cv(TPropertyArgumentRecord& a) override;
  Extended Viscosity(TPropertyArgumentRecord& a) override;
  Extended Conductivity(TPropertyArgumentRecord& a) override;
  Extended Prandtl(TPropertyArgumentRecord& a) override;
  Extended SoundSpeed(TPropertyArgumentRecord& a) override;
  Extended SurfaceTension(TPropertyArgumentRecord& a) override;
  Extended VolExpCoef(TPropertyArgumentRecord& a) override;
  Extended AcentricFactor() override;
  Extended Fugacity(TPropertyArgumentRecord& a) override;
  // cv by a temperature difference of u at constant volume around the state
  // PropertyStateVector holds (after a SpecHeat call).
  Extended CvByDifference(TPropertyArgumentRecord& a);

  // Copies fields 0..65 of the record into the current-fluid block and
  // sets the current fluid number.
  void MakeCurrent() const;
  // Solves the state of the call's own arguments for output kind k.
  void Solve(bool trial, int32_t outputKind, int32_t kind1, int32_t kind2, Extended value1, Extended value2);

 protected:
  // The viscosity (Pa s or lbm/ft-hr by kind 9) and conductivity (kind 10)
  // at the state, or -999 with an error; shared by Prandtl.
  virtual Extended TransportValue(bool viscosity, TPropertyArgumentRecord& a);

 private:
  Extended StateSlot(int32_t kind, TPropertyArgumentRecord& a);
  // 3 (h) when an argument is u, else 4 (u): never an argument's own kind.
  int32_t DerivedKind() const;
  Extended Reject(const char* name, int32_t help);
};

// R404A, R407C, R410A and R507A: viscosity and conductivity from a
// density correlation of the blend instead of the record's blocks.
class TMartinHouBlendSubstance : public TMartinHouSubstance {
 public:
  // Critical density (kg/m3), three dilute-gas and six density
  // coefficients of viscosity, two dilute-gas and four reduced-density
  // coefficients of conductivity.
  std::array<Extended, 16> Transport{};

 protected:
  Extended TransportValue(bool viscosity, TPropertyArgumentRecord& a) override;
};

TMartinHouSubstance* CreateMartinHouAmmonia();
TMartinHouSubstance* CreateMartinHouR11();
TMartinHouSubstance* CreateMartinHouR12();
TMartinHouSubstance* CreateMartinHouR13();
TMartinHouSubstance* CreateMartinHouR134a();
TMartinHouSubstance* CreateMartinHouR14();
TMartinHouSubstance* CreateMartinHouR22();
TMartinHouSubstance* CreateMartinHouR114();
TMartinHouSubstance* CreateMartinHouR500();
TMartinHouSubstance* CreateMartinHouR502();
TMartinHouSubstance* CreateMartinHouPropane();
TMartinHouSubstance* CreateMartinHouR141b();
TMartinHouSubstance* CreateMartinHouR407C();
TMartinHouSubstance* CreateMartinHouR410A();
TMartinHouSubstance* CreateMartinHouR404A();
TMartinHouSubstance* CreateMartinHouR507A();
TMartinHouSubstance* CreateMartinHouR508B();

// The state given by T (R), P and the saturation pressure Psat (psia; -1
// from Tc up) and v (ft3/lbm): viscosity (Pa s) or conductivity (W/(m K))
// from the object's record, converted to the user's units. Errors 215 and
// 137 of the correlations leave the computed number; 140 (viscosity, reduced
// density above 2.6) too; 141 (conductivity above 2.8) returns -999.
Extended MartinHouDenseViscosity(const TMartinHouSubstance& object, Extended T, Extended P, Extended Psat, Extended v);
Extended MartinHouDenseConductivity(const TMartinHouSubstance& object, Extended T, Extended P, Extended Psat,
                                    Extended v);

// The object of a built-in Martin-Hou catalogue row; null for any other row.
TMartinHouSubstance* CreateBuiltinMartinHou(int32_t row);

// A user fluid file's object: reads the file of catalogue row `row` once
// per run (ReadMartinHouFile); on a read error the object has no
// Coefficients and the error stands in CalcErrorCode.
TMartinHouSubstance* CreateMartinHouFromFile(int32_t row);

// Reads the ".MHE" file into MartinHouCoefTable[row] unless the row holds a
// record already. Errors 355 (cannot open; MessageText composed) and 336
// (bad or missing number: the name line and the line counter).
void ReadMartinHouFile(const std::string& fileName, int32_t row, Extended& molarMass, uint8_t& isBlend);

}  // namespace voq

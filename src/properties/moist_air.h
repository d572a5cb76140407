#pragma once
// Moist air ("AirH2O"): dry air and water vapour for psychrometric
// calculations. Every call gives the total pressure P and two of dry-bulb
// T, enthalpy h, volume v, humidity ratio W, relative humidity R, wet-bulb
// B and dew point D. Extensive results are per kg of dry air (per kmol of
// dry air on the molar basis). Only the gas constant and molar mass of the
// ideal-gas fields are used; the object has no gas data record, so the
// critical-property operations report that nothing is available.
#include "core/extended.h"
#include "properties/ideal_gas.h"

namespace voq {

class TAirH2OSubstance final : public TIdealGasSubstance {
 public:
  Extended isIdealGas() override { return 1.0L; }
  Extended MolarMass() override;
  Extended Temperature(TPropertyArgumentRecord& a) override;
  Extended Pressure(TPropertyArgumentRecord& a) override;
  Extended Enthalpy(TPropertyArgumentRecord& a) override;
  Extended IntEnergy(TPropertyArgumentRecord& a) override;
  Extended Entropy(TPropertyArgumentRecord& a) override;
  Extended Volume(TPropertyArgumentRecord& a) override;
  Extended SpecHeat(TPropertyArgumentRecord& a) override;
  Extended Cv(TPropertyArgumentRecord& a) override;
  Extended Viscosity(TPropertyArgumentRecord& a) override;
  Extended Conductivity(TPropertyArgumentRecord& a) override;
  Extended WetBulb(TPropertyArgumentRecord& a) override;
  Extended DewPoint(TPropertyArgumentRecord& a) override;
  Extended HumRat(TPropertyArgumentRecord& a) override;
  Extended RelHum(TPropertyArgumentRecord& a) override;
  Extended Prandtl(TPropertyArgumentRecord& a) override;
  Extended SoundSpeed(TPropertyArgumentRecord& a) override;
  Extended VolExpCoef(TPropertyArgumentRecord& a) override;
  // Slot 25: the psychrometric chart's lines (moist_air_plot_lines.cpp).
  void PlotLines(int32_t plotKind, TPlotLinesRequest& request) override;
  void SetReferenceState() override {}
  Extended EnthalpyT(Extended) override { return 0; }
  Extended EntropyT(Extended) override { return 0; }

 private:
  Extended MixtureTransport(TPropertyArgumentRecord& a, bool viscosity);
  Extended EnthalpyDifference(TPropertyArgumentRecord& a, bool internalEnergy);
  Extended SolveTForVolume(int32_t position, bool skipCheck, TPropertyArgumentRecord& a, Extended guess,
                           Extended v);
  Extended HumRatFromVolume(Extended v, Extended T, Extended P);
  Extended TFromWetBulb(TPropertyArgumentRecord& a, int32_t positionB, Extended B, Extended guess);
  Extended EnthalpySolve(Extended h, Extended P, Extended humidity, bool relative);
  Extended WetBulbSolve(Extended start, Extended h, Extended P, Extended W);
  Extended WetBulbResidual(Extended& B, Extended h, Extended P, Extended W);
  // Calls one of this object's operations with the given kinds and
  // values, restoring the object's kinds afterwards.
  Extended CallWith(Extended (TAirH2OSubstance::*op)(TPropertyArgumentRecord&), int32_t k1, Extended v1,
                    int32_t k2, Extended v2, int32_t k3, Extended v3);
};

TAirH2OSubstance* CreateAirH2OSubstance();

// The module state of the moist-air input resolver, cleared by the engine reset.
void ResetMoistAirState();

}  // namespace voq

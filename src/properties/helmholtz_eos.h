#pragma once
// The substance object of every real fluid computed from a high-accuracy
// equation of state in the reduced Helmholtz energy a/(RT) = alpha0 + alphaR,
// tau = TCrit/T, delta = rho*VCrit.
//
// A fluid model derives from TGeneralEosSubstance, writes the constant set
// in its constructor, supplies the model slots (Alpha0, AlphaR and the
// saturation ancillaries; the first derivatives when it has them
// analytically) and calls InitGeneralEos last. Everything else (the state
// slots, the constant slots, saturation, the state solver) is shared.
//
// Inside the object everything is in K, kPa, kg/m3, m3/kg, kJ/kg and
// kJ/kg-K per unit mass; values cross the object's boundary in the
// document's units.
#include <array>
#include <cstdint>
#include <string>

#include "core/extended.h"
#include "model/substance_base.h"

namespace voq {

// Caloric properties of one single-phase point.
struct TEosEnergies {
  Extended u = 0, h = 0, s = 0;
};

// The reduced Helmholtz energy and its derivatives to second order at one
// (tau, delta): the ideal part phi0 (whose delta derivatives are 1/delta and
// -1/delta^2) and the residual part phiR.
struct TEosDerivatives {
  Extended a0 = 0, a0Tau = 0, a0TauTau = 0;
  Extended aR = 0, aRDelta = 0, aRTau = 0, aRDeltaDelta = 0, aRTauTau = 0, aRDeltaTau = 0;
};

// The last evaluated point of one fluid: the pair solvers ask for the
// pressure, the energies and the entropy of one (tau, delta) in turn, which
// then share one evaluation.
class THelmholtzMemo {
 public:
  template <class Evaluate>
  const TEosDerivatives& At(Extended tau, Extended delta, Evaluate&& evaluate) {
    if (!(valid_ && tau == tau_ && delta == delta_)) {
      value_ = evaluate(tau, delta);
      tau_ = tau;
      delta_ = delta;
      valid_ = true;
    }
    return value_;
  }

 private:
  bool valid_ = false;
  Extended tau_ = 0, delta_ = 0;
  TEosDerivatives value_;
};

class TGeneralEosSubstance : public TSubstanceBase {
 public:
  // Row of SubstanceCatalog: the reference option and offsets, and the key
  // of the state cache.
  int32_t CatalogRow = 0;
  // Default temperature range of property plots, K.
  Extended PlotTLow = 0, PlotTHigh = 0;
  // 1: the state solver skips the range checks (property-plot lines).
  uint8_t SkipRangeCheck = 0;
  // Surface tension sigma = sum SigmaCoef[i] (1 - T/TCrit)^SigmaExp[i] N/m,
  // valid from SigmaTMin to SigmaTMax K; a negative SigmaTMin: no data.
  Extended SigmaTMin = -1, SigmaTMax = 0;
  std::array<Extended, 3> SigmaCoef{0, 0, 0};
  std::array<Extended, 3> SigmaExp{1, 1, 1};
  // 1: a two-phase state at given T and density has the dew pressure (a
  // mixture treated as a pseudo-pure fluid).
  uint8_t TwoPhaseDewPressure = 0;
  Extended GasConstant = 0;     // kJ/kmol-K, the formulation's own value
  Extended TCrit = 0;           // K, reducing temperature
  Extended PCrit = 0;           // kPa
  Extended VCrit = 0;           // m3/kg, reducing volume (1/rho_c)
  Extended MolarMassValue = 0;  // kg/kmol
  Extended TMin = 0, TMax = 0;  // K, range of the state slots
  Extended PMax = 0;            // kPa

  // Specific gas constant, kJ/kg-K.
  Extended R() const { return GasConstant / MolarMassValue; }

  // ---- Slots 0 to 27 ----
  Extended isIdealGas() override { return 0; }
  Extended MolarMass() override { return MolarMassValue; }
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
  // Derived properties by differences of solved states
  // (helmholtz_derived.cpp). Results with an error: -1 for SpecHeat, Cv,
  // VolExpCoef and SoundSpeed (-99 when SoundSpeed's own solve fails),
  // -999 for Prandtl, Fugacity and CvByDifference.
  Extended SpecHeat(TPropertyArgumentRecord& a) override;
  Extended Cv(TPropertyArgumentRecord& a) override;
  Extended Prandtl(TPropertyArgumentRecord& a) override;
  Extended SoundSpeed(TPropertyArgumentRecord& a) override;
  Extended VolExpCoef(TPropertyArgumentRecord& a) override;
  Extended Fugacity(TPropertyArgumentRecord& a) override;
  // Transport slots of a model without a transport family: the trial call
  // passes, an evaluation reports error 215.
  Extended Viscosity(TPropertyArgumentRecord&) override { return NotAvailable("Viscosity"); }
  Extended Conductivity(TPropertyArgumentRecord&) override { return NotAvailable("Conductivity"); }
  // From the temperature alone, in the document's unit; -999 with error 215
  // (no correlation), 136 (other arguments) or 137 (outside SigmaTMin to
  // SigmaTMax).
  Extended SurfaceTension(TPropertyArgumentRecord& a) override;
  // omega = -1 - log10(SatPressure(0.7 TCrit, 0)/PCrit), never below 0.
  Extended AcentricFactor() override;

  // ---- Model slots 28 to 39: internal units, no conversion ----
  virtual Extended Alpha0(Extended tau, Extended delta) = 0;
  virtual Extended AlphaR(Extended tau, Extended delta) = 0;
  virtual Extended AlphaRDelta(Extended tau, Extended delta) { return NumericAlphaRDelta(tau, delta); }
  virtual Extended Alpha0Tau(Extended tau, Extended delta) { return NumericAlpha0Tau(tau, delta); }
  virtual Extended AlphaRTau(Extended tau, Extended delta) { return NumericAlphaRTau(tau, delta); }
  // kPa; X = 0 bubble side, 1 dew side (only a mixture uses X).
  virtual Extended SatPressure(Extended T, Extended X) = 0;
  virtual Extended BubblePressure(Extended T) { return SatPressure(T, 0); }
  virtual Extended DewPressure(Extended T) { return SatPressure(T, 1); }
  // K; error 210 when the secant search does not converge.
  virtual Extended SatTemperature(Extended P, Extended X);
  // kg/m3
  virtual Extended SatLiquidDensity(Extended T) = 0;
  virtual Extended SatVaporDensity(Extended T) = 0;
  virtual Extended CvByDifference(TPropertyArgumentRecord& a);

  // Everything at one point, for the state solvers. A fluid that evaluates
  // its terms in one pass (in 8-byte reals, within 1e-12 of its model
  // slots) supplies it; the default takes the model slots and the second
  // derivatives by central differences of the first ones.
  virtual TEosDerivatives Derivatives(Extended tau, Extended delta);
  // Derivatives of the last point asked for, kept.
  const TEosDerivatives& Helmholtz(Extended tau, Extended delta) {
    return helmholtzMemo_.At(tau, delta, [this](Extended t, Extended d) { return Derivatives(t, d); });
  }
  // Helmholtz(tau, delta).aRDelta alone: the density searches at fixed
  // temperature (the pressure's residual) read nothing else. A fluid that
  // sums it alone, to the same bits as its Derivatives, gives it here.
  virtual Extended HelmholtzAlphaRDelta(Extended tau, Extended delta) { return Helmholtz(tau, delta).aRDelta; }

  // Central differences of the Helmholtz slots over a relative step.
  Extended NumericAlphaRDelta(Extended tau, Extended delta);
  Extended NumericAlpha0Tau(Extended tau, Extended delta);
  Extended NumericAlphaRTau(Extended tau, Extended delta);

 protected:
  Extended NotAvailable(const char* property);

 private:
  void SolveGivenState(TPropertyArgumentRecord& a);
  Extended StateSlot(int32_t kind, TPropertyArgumentRecord& a);
  THelmholtzMemo helmholtzMemo_;
};

// Transport constants of the general family (viscosity and conductivity
// correlations; ranges in K). Held for the family's transport functions.
struct TTransportConstantsA {
  Extended CondDiluteForm = 0;
  Extended CondDiluteTMin = -1, CondDiluteTMax = 0;
  std::array<Extended, 4> CondDiluteCoef{};
  Extended CondLiquidTMin = -1, CondLiquidTMax = 0;
  std::array<Extended, 4> CondLiquidCoef{};
  Extended ViscForm = 0;
  Extended ViscDiluteTMin = -1, ViscDiluteTMax = 0;
  std::array<Extended, 4> ViscDiluteCoef{};
  Extended ViscLiquidTMin = -1, ViscLiquidTMax = 0;
  std::array<Extended, 4> ViscLiquidCoef{};
};

// The objects of the general transport family (helmholtz_transport.cpp):
// viscosity in Pa-s and conductivity in W/m-K inside, T in K, v in m3/kg.
// A failing correlation returns 1 (-1 for the conductivity's density limit)
// with the error set.
class TGeneralEosFamilyA : public TGeneralEosSubstance {
 public:
  TTransportConstantsA Transport;
  // -999 with the error: the solver's, 214 for a two-phase state.
  Extended Viscosity(TPropertyArgumentRecord& a) override;
  Extended Conductivity(TPropertyArgumentRecord& a) override;
  Extended DiluteViscosityA(Extended T);
  Extended LiquidViscosityA(Extended T);
  Extended DiluteConductivityA(Extended T);
  Extended LiquidConductivityA(Extended T);
  // x below 0.99 is the liquid side; results in the document's units.
  Extended ViscosityCorrelationA(Extended T, Extended v, Extended x);
  Extended ConductivityCorrelationA(Extended T, Extended v, Extended x);
};

// The refrigerant transport family (R134a, R22, R32, R152a): the liquid
// side by the hard-sphere correlations of Assael and Dymond, scaled by a
// core volume V0 = (e0 + e1 Tr + e2 Tr^2) 1e-6 m3/mol (Tr = T/TCrit) and,
// for the conductivity, a roughness factor R = g0 + g1 (Tr - 1); saturated
// vapour, superheated and supercritical states by the dilute-gas fits with
// the Stiel-Thodos density corrections. Of Transport the dilute-gas fields
// are read. g0 = -999 marks a fluid without conductivity data.
class TGeneralEosFamilyB : public TGeneralEosSubstance {
 public:
  TTransportConstantsA Transport;
  std::array<Extended, 3> CoreVolumeCoef{};
  std::array<Extended, 2> CondRoughnessCoef{};
  Extended Viscosity(TPropertyArgumentRecord& a) override;
  Extended Conductivity(TPropertyArgumentRecord& a) override;
  // Forms 1 and 2 of the general family's dilute viscosity (any other: 1).
  Extended DiluteViscosityB(Extended T);
  // The general family's dilute conductivity, error 215 without data.
  Extended DiluteConductivityB(Extended T);
  // Pa-s and W/m-K at T (K) and specific volume v (m3/kg).
  Extended HardSphereViscosity(Extended T, Extended v);
  Extended HardSphereConductivity(Extended T, Extended v);
  // The liquid side (x below 0.99) by the hard-sphere correlations, the gas
  // side (saturated vapour included) by the dilute fits with the density
  // corrections; results in the document's units.
  Extended ViscosityCorrelationB(Extended T, Extended v, Extended x);
  Extended ConductivityCorrelationB(Extended T, Extended v, Extended x);
};

// The state of a transport call in K, kg/m3 and kPa, with its quality.
struct TTransportStatePoint {
  Extended T = 0, rho = 0, P = 0, x = 0;
};

// The Stiel-Thodos dense-gas corrections of the gas side, shared by the
// transport families: the dilute value (Pa-s, W/m-K) plus the correction at
// the reduced density VCrit/v. Above 2.6 the viscosity keeps the dilute
// value with error 140; above 2.8 the conductivity is -1 with error 141.
Extended DenseGasViscosity(const TGeneralEosSubstance& object, Extended dilute, Extended v);
Extended DenseGasConductivity(TGeneralEosSubstance& object, Extended dilute, Extended v);

// The shared state step of the transport slots: solves the given state;
// false during the compiler's trial call, after a solver error, or with
// error 214 naming the property for a two-phase state.
bool TransportState(TGeneralEosSubstance& object, const std::string& property, TPropertyArgumentRecord& a,
                    TTransportStatePoint& point);

// The slot pattern of every transport family: the trial call and every
// failure give -999 (a two-phase state error 214 with help context 144);
// otherwise the correlation's result at T (K), v (m3/kg per unit mass) and
// the quality.
bool FamilySlotState(TGeneralEosSubstance& object, const char* property, TPropertyArgumentRecord& a,
                     TTransportStatePoint& point);
template <class Correlation>
Extended FamilySlot(TGeneralEosSubstance& object, const char* property, TPropertyArgumentRecord& a,
                    Correlation&& correlation) {
  TTransportStatePoint point;
  if (!FamilySlotState(object, property, a, point)) return -999;
  return correlation(point.T, 1 / point.rho, point.x);
}

// u = (alpha0_tau + alphaR_tau) tau R T; h = u + P v (P from the caller,
// v = VCrit/delta); s = (u - (alpha0 + alphaR) R T)/T.
TEosEnergies EnergiesFromHelmholtz(TGeneralEosSubstance& object, Extended tau, Extended delta, Extended T,
                                   Extended P);

// The last step of every fluid constructor: the reference offsets of the
// catalogue row by its reference option (0 default: h = s = 0 for saturated
// liquid at 233.15 K for "R134a" only; 1 NBP: saturated liquid at 101.325
// kPa; 2 ASH: at 233.15 K; 3 IIR: 200 kJ/kg and 1 kJ/kg-K at 273.15 K).
// The offsets are computed and stored in kJ/kg and kJ/kg-K per unit mass,
// whatever the document's units. An option that does not apply to the
// fluid, or whose reference state cannot be solved, leaves the offsets 0
// and reports error 674.
void InitGeneralEos(TGeneralEosSubstance& object);

}  // namespace voq

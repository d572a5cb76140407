// Slots of the in-object MBWR fluids (n-butane, isobutane, propane): the
// ideal and residual parts and the saturation ancillaries, all read from
// the object's own fields.
#include "properties/helmholtz_mbwr_fluids.h"

#include <cmath>
#include <span>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/numeric_library.h"
#include "properties/helmholtz_evaluator.h"
#include "properties/helmholtz_state.h"

namespace voq {

namespace {

// Terms 23..37 all carry exp(-delta^2).
constexpr std::array<int32_t, 15> kExpL{2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2};

}  // namespace

Extended TInObjectMbwrEos::Alpha0(Extended tau, Extended delta) {
  const auto& a = Alpha0Coef;
  const Extended lnTau = std::log(tau);
  Extended sum = std::log(delta) + a[0] + a[1] * tau + a[2] * lnTau + a[3] * (tau * lnTau - tau) +
                 a[4] * std::log(1 - std::exp(-Alpha0Theta * tau));
  for (size_t k = 0; k < Alpha0PowerCoef.size(); ++k) sum += Alpha0PowerCoef[k] * PowerReal(tau, Alpha0PowerExp[k]);
  return sum;
}

// d/dtau: a2 + a3/tau + a4 ln tau + a5 theta e^(-theta tau)/(1 - e^(-theta tau))
//         + sum b_k p_k tau^(p_k - 1)
Extended TInObjectMbwrEos::Alpha0Tau(Extended tau, Extended) {
  const auto& a = Alpha0Coef;
  const Extended e = std::exp(-Alpha0Theta * tau);
  Extended sum = a[1] + a[2] / tau + a[3] * std::log(tau) + a[4] * Alpha0Theta * e / (1 - e);
  for (size_t k = 0; k < Alpha0PowerCoef.size(); ++k) {
    sum += Alpha0PowerCoef[k] * Alpha0PowerExp[k] * PowerReal(tau, Alpha0PowerExp[k] - 1);
  }
  return sum;
}

// alphaR = sum_(1..3) n tau^t (exp(-delta^2) - 1) + sum_(4..22) n delta^d tau^t
//          + exp(-delta^2) sum_(23..37) n delta^d tau^t,
// the shared term tables over the object's own columns.
Extended TInObjectMbwrEos::Residual(THelmholtzPart part, Extended tau, Extended delta) const {
  const std::span<const Extended> n(AlphaRCoef), t(AlphaRTauExp);
  const std::span<const int32_t> d(AlphaRDeltaExp);
  TResidualPart r;
  r.damped = {n.first(3), t.first(3)};
  r.polynomial = {n.subspan(3, 19), d.subspan(3, 19), t.subspan(3, 19)};
  r.exponential = {n.subspan(22, 15), d.subspan(22, 15), t.subspan(22, 15), kExpL, {}};
  return SumResidualPart(r, part, tau, delta);
}

Extended TInObjectMbwrEos::AlphaR(Extended tau, Extended delta) {
  return Residual(THelmholtzPart::kValue, tau, delta);
}
Extended TInObjectMbwrEos::AlphaRDelta(Extended tau, Extended delta) {
  return Residual(THelmholtzPart::kDDelta, tau, delta);
}
Extended TInObjectMbwrEos::AlphaRTau(Extended tau, Extended delta) {
  return Residual(THelmholtzPart::kDTau, tau, delta);
}

TEosDerivatives TInObjectMbwrEos::Derivatives(Extended tau, Extended delta) {
  if (Tables != nullptr) {
    const TFamilyCFields& d = *Tables->data;
    if (d.AlphaRCoef == AlphaRCoef && d.AlphaRTauExp == AlphaRTauExp && d.AlphaRDeltaExp == AlphaRDeltaExp &&
        d.Alpha0Coef == Alpha0Coef && d.Alpha0PowerCoef == Alpha0PowerCoef && d.Alpha0PowerExp == Alpha0PowerExp &&
        d.Alpha0Theta == Alpha0Theta) {
      return EvaluateHelmholtz(*Tables->ideal, *Tables->residual, tau, delta);
    }
  }
  return TGeneralEosSubstance::Derivatives(tau, delta);
}

// x = (1 - Tt/T)/(1 - Tt/TCrit), 0 at the triple point and 1 at TCrit;
// P = exp(ln Pt + A1 x + A2 x^2 + A3 x^3 + A4 x^4 + A5 x (1 - x)^eps') MPa.
Extended TInObjectMbwrEos::SatPressure(Extended T, Extended) {
  if (T == 0) {
    SetCalcError(kMsgDivisionByZero);
    return -999;
  }
  const auto& A = VaporPressureCoef;
  const Extended x = (1 - TripleTemperature / T) / (1 - TripleTemperature / TCrit);
  const Extended lnP = std::log(TriplePressure) + x * (A[0] + x * (A[1] + x * (A[2] + x * A[3]))) +
                       A[4] * x * PowerReal(1 - x, VaporPressureExponent);
  return 1000 * std::exp(lnP);
}

// S = V2 c^beta'' + V1 c TCrit/T + V3 c + V4 c^(4/3) + V5 c^(5/3) + V6 c^2,
// rho'' = rho_c (rho''(Tt)/rho_c)^S: S is about 1 at the triple point and 0
// at TCrit. Above TCrit, where c < 0, the critical density.
Extended TInObjectMbwrEos::VaporDensityStart(Extended T) const {
  const Extended rhoC = CriticalMolarDensity();
  if (T >= TCrit) return MolarMassValue * rhoC;
  const auto& V = VaporDensityCoef;
  const Extended c = AncillaryScale(T);
  const Extended S = V[1] * PowerReal(c, VaporDensityExponent) + V[0] * c * TCrit / T + V[2] * c +
                     V[3] * PowerReal(c, 4.0L / 3) + V[4] * PowerReal(c, 5.0L / 3) + V[5] * c * c;
  return MolarMassValue * std::exp(std::log(rhoC) - S * std::log(rhoC / TripleVaporDensity));
}

// S = L1 ln c + L2 (1 - 1/c) + L3 (1 - c^(-2/3)) + L4 (1 - c^(-1/3))
//     + L5 (1 - c^(1/3)) + L6 (1 - c^(2/3)) + L7 (1 - c),
// rho' = rho_c + e^S (rho'(Tt) - rho_c): every bracket is 0 at the triple
// point (c = 1). ln c and 1/c have no value at TCrit (c = 0): there and
// above, the critical density, as the vapour ancillary gives.
Extended TInObjectMbwrEos::LiquidDensityStart(Extended T) const {
  const Extended rhoC = CriticalMolarDensity();
  if (T >= TCrit) return MolarMassValue * rhoC;
  const auto& L = LiquidDensityCoef;
  const Extended c = AncillaryScale(T);
  const Extended S = L[0] * std::log(c) + L[1] * (1 - 1 / c) + L[2] * (1 - PowerReal(c, -2.0L / 3)) +
                     L[3] * (1 - PowerReal(c, -1.0L / 3)) + L[4] * (1 - PowerReal(c, 1.0L / 3)) +
                     L[5] * (1 - PowerReal(c, 2.0L / 3)) + L[6] * (1 - c);
  return MolarMassValue * (rhoC + std::exp(S) * (TripleLiquidDensity - rhoC));
}

Extended TInObjectMbwrEos::SatLiquidDensity(Extended T) {
  if (T >= TCrit) return LiquidDensityStart(T);
  return RefineSatDensity(*this, T, LiquidDensityStart(T), 0);
}

Extended TInObjectMbwrEos::SatVaporDensity(Extended T) {
  if (T >= TCrit) return VaporDensityStart(T);
  return RefineSatDensity(*this, T, VaporDensityStart(T), 1);
}

}  // namespace voq

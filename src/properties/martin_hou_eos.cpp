#include "properties/martin_hou_eos.h"

#include <cmath>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/numeric_library.h"

namespace voq {

int32_t MartinHouFluidNumber = 0;
std::array<double, kMartinHouCurrentFieldCount> MartinHouCurrentFluid{};
TMartinHouState MartinHouState;

namespace {

inline Extended F(int field) { return MartinHouCurrentFluid[static_cast<size_t>(field)]; }

// ln 10, the factor between the log10 vapour-pressure form and ln P.
constexpr Extended kLn10 = 2.302585093L;

// Limits of Alpha v beyond which exp(Alpha v) is not formed and the sixth
// term counts as 0; each function has its own.
constexpr Extended kSixthWindowPressure = 30;
constexpr Extended kSixthWindowSlope = 25;
constexpr Extended kSixthWindowEntropy = 18;

// w = v - b, kept clear of the pole at v = b and of overflow.
Extended CoVolumeDistance(Extended v) {
  Extended w = v - F(kMhB);
  if (w < 1e-5L) w = 1e-5L;
  if (w > 1e5L) w = 1e5L;
  return w;
}

Extended TemperatureFunction(Extended T) { return std::exp(-F(kMhK) * T / F(kMhTc)); }

// Q = exp(Alpha v) when Alpha v is non-zero and within the window.
bool SixthTermQ(Extended v, Extended window, Extended& q) {
  const Extended av = F(kMhAlpha) * v;
  if (av == 0 || std::fabs(av) > window) return false;
  q = std::exp(av);
  return true;
}

// The coefficient Ai + Bi T + Ci E of term i (2..6).
Extended TermCoefficient(int i, Extended T, Extended e) {
  const int a = kMhA2 + 3 * (i - 2);
  return F(a) + F(a + 1) * T + F(a + 2) * e;
}

// The integral's bracket 1/Q - C' ln(1/(Q C') + 1) of the sixth term's
// caloric parts, or false when they vanish (outside the window, or C' = 0).
bool SixthCaloricBracket(Extended v, Extended window, Extended& bracket) {
  Extended q = 0;
  if (!SixthTermQ(v, window, q)) return false;
  const Extended cPrime = F(kMhCPrime);
  if (cPrime == 0) return false;
  bracket = 1 / q - cPrime * std::log(1 / (q * cPrime) + 1);
  return true;
}

// ln P = c1/T + c2 + c3 T + c4 (1 - T/Tc)^1.5 + c5 T^2, coefficients from `first`.
Extended LnFormPressure(int first, Extended T) {
  const Extended tau = 1 - T / F(kMhTc);
  const Extended power = tau > 0 ? std::pow(tau, 1.5L) : 0;
  return std::exp(F(first) / T + F(first + 1) + F(first + 2) * T + F(first + 3) * power +
                  F(first + 4) * T * T);
}

Extended SignOfValue(Extended x) { return x < 0 ? -1 : 1; }

}  // namespace

void SetMartinHouCurrentFluid(int32_t fluidNumber, const MartinHouCoefRecord& record) {
  for (int i = 0; i < kMartinHouCurrentFieldCount; ++i) MartinHouCurrentFluid[static_cast<size_t>(i)] = record[i];
  MartinHouFluidNumber = fluidNumber;
}

void ResetMartinHouState() {
  MartinHouFluidNumber = 0;
  MartinHouCurrentFluid.fill(0);
  MartinHouState = TMartinHouState{};
}

Extended MartinHouPressure(Extended v, Extended T) {
  const Extended w = CoVolumeDistance(v);
  const Extended e = TemperatureFunction(T);
  Extended p = F(kMhR) * T / w;
  Extended wPower = w;
  for (int i = 2; i <= 5; ++i) {
    wPower *= w;
    p += TermCoefficient(i, T, e) / wPower;
  }
  Extended q = 0;
  if (SixthTermQ(v, kSixthWindowPressure, q)) p += TermCoefficient(6, T, e) / (q * (1 + F(kMhCPrime) * q));
  return p;
}

Extended MartinHouDPdV(Extended v, Extended T) {
  const Extended w = CoVolumeDistance(v);
  const Extended e = TemperatureFunction(T);
  Extended slope = -F(kMhR) * T / (w * w);
  Extended wPower = w * w;
  for (int i = 2; i <= 5; ++i) {
    wPower *= w;
    slope -= i * TermCoefficient(i, T, e) / wPower;
  }
  Extended q = 0;
  if (SixthTermQ(v, kSixthWindowSlope, q)) {
    const Extended alpha = F(kMhAlpha);
    const Extended cPrime = F(kMhCPrime);
    const Extended denominator = q + cPrime * q * q;
    const Extended d6 = -(alpha * q + 2 * alpha * cPrime * q * q) / (denominator * denominator);
    slope += TermCoefficient(6, T, e) * d6;
  }
  return slope;
}

Extended MartinHouDPdT(Extended v, Extended T) {
  const Extended w = CoVolumeDistance(v);
  const Extended e = TemperatureFunction(T);
  const Extended ePrime = e * F(kMhK) / F(kMhTc);
  Extended slope = F(kMhR) / w;
  Extended wPower = w;
  for (int i = 2; i <= 5; ++i) {
    wPower *= w;
    const int a = kMhA2 + 3 * (i - 2);
    slope += (F(a + 1) - F(a + 2) * ePrime) / wPower;
  }
  Extended q = 0;
  if (SixthTermQ(v, kSixthWindowPressure, q))
    slope += (F(kMhB6) - F(kMhC6) * ePrime) / (q * (1 + F(kMhCPrime) * q));
  return slope;
}

Extended MartinHouSatPressure(Extended T) {
  if (!(T > 0)) {
    CalcErrorCode = kMsgPropertyNoConvergence;
    return ErrorResultValue;
  }
  if (MartinHouFluidNumber < 9) {
    // log10 P = A + B/T + C log10 T + D T + E ((F - T)/T) log10(F - T)
    const Extended f = F(kMhVP6);
    Extended y = F(kMhVP1) + F(kMhVP2) / T + F(kMhVP3) * std::log10(T) + F(kMhVP4) * T;
    if (f - T > 0) y += F(kMhVP5) * ((f - T) / T) * std::log10(f - T);
    return std::exp(kLn10 * y);
  }
  return LnFormPressure(kMhVP1, T);
}

Extended MartinHouDewPressure(Extended T) {
  if (!(T > 0)) {
    CalcErrorCode = kMsgPropertyNoConvergence;
    return ErrorResultValue;
  }
  return LnFormPressure(kMhDP1, T);
}

Extended MartinHouSatTemperature(Extended P) {
  ClearCalcError();
  const Extended tc = F(kMhTc);
  if (!(tc > 0)) {
    CalcErrorCode = kMsgPropertyNoConvergence;
    return ErrorResultValue;
  }
  // Bracket the root by stepping 2 % of Tc from 0.75 Tc, upwards while the
  // pressure asked for is above the correlation's, downwards otherwise.
  Extended t1 = 0.75L * tc;
  Extended e1 = P - MartinHouSatPressure(t1);
  const Extended direction = e1 > 0 ? 1 : -1;
  Extended t2 = t1;
  Extended e2 = e1;
  // 0.75 / 0.02 steps reach 0 downwards and Tc upwards; the bound only
  // guards against a record whose correlation is not a number.
  for (int step = 0; step < 60; ++step) {
    t2 += direction * 0.02L * tc;
    bool atTop = false;
    if (t2 > tc) {
      t2 = tc - 0.01L;
      atTop = true;
    }
    e2 = P - MartinHouSatPressure(t2);
    if (atTop || t2 < 0 || SignOfValue(e2) != SignOfValue(e1)) break;
  }
  // Regula falsi on the bracket.
  Extended t = t2;
  for (int iteration = 1;; ++iteration) {
    if (iteration > 50) {
      CalcErrorCode = kMsgPropertyNoConvergence;
      break;
    }
    if (e2 == e1) {
      CalcErrorCode = kMsgPropertyNoConvergence;
      break;
    }
    t = t1 - e1 * (t2 - t1) / (e2 - e1);
    const Extended e = P - MartinHouSatPressure(t);
    if (SignOfValue(e) == SignOfValue(e1)) {
      t1 = t;
      e1 = e;
    } else {
      t2 = t;
      e2 = e;
    }
    if (std::fabs(e) < 0.1L) break;
  }
  return t;
}

Extended MartinHouSatLiquidDensity(Extended T) {
  Extended tau = 1 - T / F(kMhTc);
  if (tau < 1e-6L) tau = 1e-6L;
  const Extended y = std::cbrt(tau);
  return F(kMhAf) + F(kMhBf) * y + F(kMhCf) * y * y + F(kMhDf) * tau + F(kMhEf) * y * y * y * y +
         F(kMhFf) * std::sqrt(tau) + F(kMhGf) * tau * tau;
}

Extended MartinHouVolumeIteration(Extended P, Extended T, Extended z, int32_t& iterations) {
  iterations = 0;
  const Extended r = F(kMhR);
  const Extended zc = F(kMhPc) * F(kMhVc) / (r * F(kMhTc));
  if (!(P > 0)) P = 1;
  Extended v = r * T * z / P;
  const Extended vStart = v;
  const Extended tolerance = P > 1 ? 2e-5L * P : 1e-5L * vStart;
  Extended vNew = v;
  for (;;) {
    CheckUserAbort();
    Extended residual = MartinHouPressure(v, T) - P;
    ++iterations;
    const Extended slope = MartinHouDPdV(v, T);
    Extended step = residual / slope;
    vNew = v - step;
    // A zero slope gives an infinite step, which halving never shortens.
    while (vNew < 1e-6L && v > 0 && step > 1e-10L && std::isfinite(step)) {
      step /= 2;
      vNew = v - step;
    }
    // Newton may jump onto the liquid branch or through the loop of the
    // cubic-like isotherm: a compressibility below 0.9 Zc is pulled back.
    Extended zNew = P * vNew / (r * T);
    if (zNew < 0.9L * zc) vNew = zc * r * T / P;
    v = vNew;
    // A root with a positive slope lies on the unstable branch; an absurdly
    // small Z is no vapour either: start again a little below the ideal gas.
    if ((std::fabs(residual) < tolerance && slope > 0) || zNew < 0.05L) {
      v = 0.9L * vStart;
      residual = 1;
    }
    if (std::fabs(residual) < tolerance || iterations > 50 || AbortRequested) break;
  }
  return vNew;
}

bool MartinHouIsothermFallsToGas(Extended v, Extended T) {
  // Sampled in 2 % steps out to four critical volumes: the records' spurious
  // loops above Tc all lie below 1.8 Vc (R410A's reaches 1.77 Vc at 1.2 Tc),
  // and beyond a few Vc every isotherm is a falling, nearly ideal gas. A
  // rise of less than 1 % of P/v per unit volume is the flat inflection of
  // an isotherm at the record's own critical temperature, not a loop.
  const Extended vEnd = 4 * F(kMhVc);
  for (Extended w = v; w < vEnd; w *= 1.02L) {
    const Extended p = MartinHouPressure(w, T);
    if (!(p > 0) || MartinHouDPdV(w, T) > 1e-2L * p / w) return false;
  }
  return true;
}

Extended MartinHouVaporVolume(Extended P, Extended T) {
  const Extended tc = F(kMhTc);
  const Extended vf = 1 / MartinHouSatLiquidDensity(T);
  if (P - MartinHouSatPressure(T) > 1e-5L && T < tc) return vf;
  int32_t iterations = 0;
  Extended v = MartinHouVolumeIteration(P, T, 1.0L, iterations);
  if (CalcErrorCode > 0 || iterations <= 50) return v;
  v = MartinHouVolumeIteration(P, T, 0.4L, iterations);
  if (iterations <= 50) return v;
  if (!(P > 0)) P = 1;
  v = (F(kMhPc) / P) * F(kMhVc) * (T / tc);
  if (std::fabs(T / tc - 1) > 0.05L) CalcErrorCode = kMsgPropertyNoConvergence;
  return v;
}

bool MartinHouVolumeIsRoot(Extended P, Extended T, Extended v) {
  // Ten times the iteration's own tolerance (2e-5 P) in pressure.
  if (!(std::fabs(MartinHouPressure(v, T) - P) <= 2e-4L * std::fabs(P))) return false;
  if (T <= F(kMhTc)) return true;
  // Above the critical temperature a fluid has one phase, and its isotherm
  // falls all the way from the dense fluid to the dilute gas. Far outside
  // the range it was fitted to, a record's isotherm can rise again, or dip
  // below zero pressure, between a dense root and the gas (R410A from 350
  // to 420 K at twice its critical pressure): such a root belongs to no
  // state of the fluid, and the energies there run away (h from 370 to
  // 1,860 kJ/kg between 350 and 375 K at 9.8 MPa).
  //
  // Sampled in 2 % steps out to four critical volumes: the records' loops
  // above Tc all lie below 1.8 Vc (R410A's reaches 1.77 Vc at 1.2 Tc), and
  // beyond a few Vc every isotherm is a falling, nearly ideal gas. A rise
  // of less than 1 % of P/v per unit volume is the flat inflection of an
  // isotherm close to the record's own critical temperature, not a loop.
  const Extended vEnd = 4 * F(kMhVc);
  for (Extended w = v; w < vEnd; w *= 1.02L) {
    const Extended p = MartinHouPressure(w, T);
    if (!(p > 0) || MartinHouDPdV(w, T) > 1e-2L * p / w) return false;
  }
  return true;
}

Extended MartinHouEnthalpy(Extended T, Extended v, Extended P) {
  if (!(T > 0)) {
    CalcErrorCode = kMsgPropertyNoConvergence;
    return ErrorResultValue;
  }
  const Extended w = CoVolumeDistance(v);
  const Extended tc = F(kMhTc);
  const Extended e = TemperatureFunction(T);
  Extended h6a = 0;
  Extended h6c = 0;
  Extended bracket = 0;
  if (SixthCaloricBracket(v, kSixthWindowPressure, bracket)) {
    h6a = F(kMhA6) / F(kMhAlpha) * bracket;
    h6c = F(kMhC6) / F(kMhAlpha) * bracket;
  }
  // Ideal-gas part: the integral of cv0, plus P v.
  Extended h = F(kMhCv0A) * T + F(kMhCv0B) * T * T / 2 + F(kMhCv0C) * T * T * T / 3 +
               F(kMhCv0D) * T * T * T * T / 4 - F(kMhCv0F) / T + kMartinHouJ * P * v;
  // Departure: the integral from v to infinity of (P - T dP/dT) dv.
  const Extended w2 = w * w;
  const Extended w3 = w2 * w;
  const Extended w4 = w3 * w;
  h += kMartinHouJ * (F(kMhA2) / w + F(kMhA3) / (2 * w2) + F(kMhA4) / (3 * w3) + F(kMhA5) / (4 * w4) + h6a);
  h += kMartinHouJ * (1 + F(kMhK) * T / tc) * e *
       (F(kMhC2) / w + F(kMhC3) / (2 * w2) + F(kMhC4) / (3 * w3) + F(kMhC5) / (4 * w4) + h6c);
  return h + F(kMhX);
}

Extended MartinHouEntropy(Extended v, Extended T) {
  if (!(T > 0)) {
    CalcErrorCode = kMsgPropertyNoConvergence;
    return ErrorResultValue;
  }
  const Extended w = CoVolumeDistance(v);
  const Extended tc = F(kMhTc);
  const Extended e = TemperatureFunction(T);
  Extended s6b = 0;
  Extended s6c = 0;
  Extended bracket = 0;
  if (SixthCaloricBracket(v, kSixthWindowEntropy, bracket)) {
    s6b = F(kMhB6) / F(kMhAlpha) * bracket;
    s6c = F(kMhC6) / F(kMhAlpha) * bracket;
  }
  Extended s = F(kMhCv0A) * std::log(T) + F(kMhCv0B) * T + F(kMhCv0C) * T * T / 2 +
               F(kMhCv0D) * T * T * T / 3 - F(kMhCv0F) / (2 * T * T) + kMartinHouJ * F(kMhR) * std::log(w);
  // Departure: the integral of (dP/dT)v - R/w over v.
  const Extended w2 = w * w;
  const Extended w3 = w2 * w;
  const Extended w4 = w3 * w;
  s -= kMartinHouJ * (F(kMhB2) / w + F(kMhB3) / (2 * w2) + F(kMhB4) / (3 * w3) + F(kMhB5) / (4 * w4) + s6b);
  s += kMartinHouJ * (F(kMhK) / tc) * e *
       (F(kMhC2) / w + F(kMhC3) / (2 * w2) + F(kMhC4) / (3 * w3) + F(kMhC5) / (4 * w4) + s6c);
  return s + F(kMhY);
}

Extended MartinHouLatentHeat(Extended P, Extended vf, Extended vg, Extended T) {
  const Extended tc = F(kMhTc);
  // A blend's latent heat is its own polynomial in (1 - T/Tc)^(1/3), except
  // right at the critical point where the polynomial's root may miss Tc.
  if (std::nearbyint(static_cast<Extended>(F(kMhBlendValue))) >= 1 && std::fabs(T - tc) > 1) {
    const Extended tau = 1 - T / tc;
    const Extended y = (tau > 0 ? std::cbrt(tau) : 0) - F(kMhY0);
    return F(kMhH0) + y * (F(kMhH1) + y * (F(kMhH2) + y * (F(kMhH3) + y * F(kMhH4))));
  }
  // Clapeyron: hfg = T (vg - vf) dP/dT, with d ln P/dT of the bubble-point correlation.
  Extended dLnPdT = 0;
  if (MartinHouFluidNumber < 9) {
    const Extended f = F(kMhVP6);
    const Extended g = f - T > 0 ? f * std::log10(f - T) : 0;
    dLnPdT = -kLn10 * (F(kMhVP5) * g + F(kMhVP2)) / (T * T) + (F(kMhVP3) - F(kMhVP5)) / T + kLn10 * F(kMhVP4);
  } else {
    Extended tau = 1 - T / tc;
    if (!(tau > 0)) tau = 1e-6L;
    dLnPdT = -F(kMhVP1) / (T * T) + F(kMhVP3) - 1.5L * F(kMhVP4) * std::sqrt(tau) / tc + 2 * F(kMhVP5) * T;
  }
  return P * dLnPdT * T * (vg - vf) * kMartinHouJ;
}

Extended MartinHouInternalEnergy() {
  return MartinHouState.h - MartinHouState.P * MartinHouState.v * kMartinHouPvToBtu;
}

}  // namespace voq

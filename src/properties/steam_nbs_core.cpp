#include "properties/steam_nbs_core.h"

#include <cmath>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/numeric_library.h"

namespace voq {

std::unique_ptr<TSteamNBSCoefficientRecord> SteamNBSCoefficients;

namespace {

constexpr Extended kR = kSteamGasConstant;
constexpr Extended kTz = kSteamTz;
constexpr Extended kNoKey = -999;
// Above this temperature the Gibbs iteration is not run: the coexisting
// densities come from their critical-region approximations.
constexpr Extended kNearCritical = 646.3L;
constexpr Extended kSatTMax = 647.1421L;

// The caches of the formulation's three parts, keyed by exact equality of
// their arguments.
struct TBaseCache {
  Extended T = kNoKey;
  TSteamBaseCoefficients values;
} baseCache;

struct TResidualCache {
  Extended T = kNoKey;
  Extended rho = kNoKey;
  TSteamResidualValues values;
} residualCache;

struct TIdealCache {
  Extended T = kNoKey;
  TSteamIdealValues values;
} idealCache;

const TSteamNBSCoefficientRecord& Coefficients() {
  if (!SteamNBSCoefficients) InitSteamNBSCoefficients();
  return *SteamNBSCoefficients;
}

bool ErrorPending() { return CalcErrorCode > 0; }

}  // namespace

void InitSteamNBSCoefficients() {
  if (!SteamNBSCoefficients) SteamNBSCoefficients = std::make_unique<TSteamNBSCoefficientRecord>();
  FillSteamNBSCoefficients(*SteamNBSCoefficients);
  baseCache.T = 0;
}

void ResetSteamFormulationCaches() {
  baseCache.T = kNoKey;
  residualCache.T = kNoKey;
  residualCache.rho = kNoKey;
  idealCache.T = kNoKey;
}

void ResetSteamFormulationState() {
  ResetSteamFormulationCaches();
  SteamNBSCoefficients.reset();
}

// ---- Auxiliary equations ------------------------------------------------------

Extended WaterSatPressure(Extended T) {
  if (T < 273.15L) {
    const Extended lnP = -5674.5359L / T - 0.51523057L - 0.009677843L * T + 6.2215701e-7L * T * T +
                         2.0747825e-9L * T * T * T - 9.484024e-13L * T * T * T * T + 4.1635019L * SafeLn(T);
    return std::exp(lnP) / 1000;
  }
  if (T <= 314) return 0.1L * std::exp(6.3573118L - 8858.843L / T + 607.56335L * PowerReal(T, -0.6L));
  const auto& c = Coefficients();
  const Extended theta = T / 647.1422L;
  const Extended w = std::fabs(1 - theta);
  Extended S = 0;
  for (int32_t i = 1; i <= 8; ++i) S += c.A[static_cast<size_t>(i)] * PowerReal(w, (i + 1) / 2.0L);
  return 22.064L * std::exp(S / theta);
}

// T dPs/dT = Ps (S' - S/theta) with S' = dS/dtheta; written term by term
// as y_i/w (0.5 - 0.5 i - 1/theta).
Extended WaterSatPressureSlope(Extended T) {
  const auto& c = Coefficients();
  const Extended theta = T / 647.1422L;
  const Extended w = 1 - theta;
  Extended B = 0;
  Extended Cs = 0;
  for (int32_t i = 1; i <= 8; ++i) {
    const Extended y = c.A[static_cast<size_t>(i)] * PowerReal(w, (i + 1) / 2.0L);
    B += y;
    Cs += (y / w) * (0.5L - 0.5L * i - 1 / theta);
  }
  return 22.064L * std::exp(B / theta) * Cs;
}

Extended WaterSatTemperature(Extended P) {
  const Extended p = P / 1000;
  if (p < 0) {
    CalcErrorCode = kMsgPressureBecameNegative;
    return 999;
  }
  if (p < 6.109e-4L) return IceSublimationTemperature(p);
  if (p > 22.064L) {
    CalcErrorCode = kMsgAboveCriticalPoint;
    return 999;
  }
  const Extended L = SafeLn(p) + 2.302585L;
  Extended T = 372.83L + L * (22.7589L + L * (2.3819L + L * (0.24834L + L * 0.0193855L)));
  for (int32_t k = 0; k < 12 && !ErrorPending();) {
    if (T < 273.15L) T = 273.15L;
    if (T > 647.1421L) T = 647.1421L;
    ++k;
    const Extended Ps = WaterSatPressure(T);
    const Extended D = WaterSatPressureSlope(T);
    if (std::fabs(1 - Ps / p) < 1e-5L) break;
    T *= 1 + (p - Ps) / D;
  }
  return ErrorPending() ? 999 : T;
}

Extended IceSublimationTemperature(Extended p) {
  // Two starts 2 K apart below the triple point, where the ice branch of
  // the sublimation equation holds.
  Extended T0 = 260;
  Extended T1 = T0 - 2;
  Extended f0 = WaterSatPressure(T0) - p;
  Extended tNew = T1;
  int32_t steps = 0;
  while (!ErrorPending()) {
    if (steps >= 20) {
      CalcErrorCode = kMsgPropertyNoConvergence;
      break;
    }
    ++steps;
    const Extended f1 = WaterSatPressure(T1) - p;
    tNew = f1 == f0 ? T1 : T1 - f1 * (T1 - T0) / (f1 - f0);
    if (std::fabs(f1) < 1e-6L) break;
    T0 = T1;
    f0 = f1;
    T1 = tNew;
  }
  return tNew;
}

// ---- Helmholtz function ---------------------------------------------------------

TSteamBaseCoefficients SteamBaseCoefficients(Extended T) {
  if (T == baseCache.T) return baseCache.values;
  const auto& c = Coefficients();
  TSteamBaseCoefficients r;
  r.b = c.P[1] + c.P[2] * std::log(T / kTz);
  r.B = c.Q[1];
  r.dbdT = c.P[2] / T;
  r.dBdT = 0;
  // V = (Tz/T)^(i-2) for i = 3..10.
  const Extended ratio = kTz / T;
  Extended V = ratio;
  for (int32_t i = 3; i <= 10; ++i) {
    const size_t n = static_cast<size_t>(i);
    r.b += c.P[n] * V;
    r.B += c.Q[n] * V;
    r.dbdT -= (i - 2) * c.P[n] * V / T;
    r.dBdT -= (i - 2) * c.Q[n] * V / T;
    V *= ratio;
  }
  baseCache.T = T;
  baseCache.values = r;
  return r;
}

TSteamBaseValues SteamBaseFunction(Extended rho, Extended T) {
  const TSteamBaseCoefficients bc = SteamBaseCoefficients(T);
  TSteamBaseValues r;
  r.y = bc.b * rho / 4;
  const Extended x = 1 - r.y;
  const Extended x3 = x * x * x;
  const Extended F = 1 + 11 * r.y + 44.333333333333L * r.y * r.y;
  const Extended K = bc.B / bc.b - 3.5L;
  r.Zb = F / x3 + 4 * r.y * K;
  r.DZb = 3 * F / (x3 * x) + (11 + 88.666666666666L * r.y) / x3 + 4 * K;
  const Extended ab = -SafeLn(x) - 43.333333333333L / x + 28.16666667L / (x * x) + 4 * r.y * K + 15.166666667L +
                      SafeLn(rho * T * kR / 0.101325L);
  r.ub = -T * bc.dbdT * (r.Zb - 1 - rho * bc.B) / bc.b - rho * T * bc.dBdT;
  r.sb = r.ub - ab;
  return r;
}

TSteamResidualValues SteamResidualFunction(Extended rho, Extended T) {
  if (T == residualCache.T && rho == residualCache.rho) return residualCache.values;
  const auto& c = Coefficients();
  const Extended RT = kR * T;
  const Extended e = std::exp(-rho);
  const Extended q = 1 - e;
  const Extended thetaZ = kTz / T;
  // Powers q^0..q^9 and thetaZ^-1..thetaZ^8 (index + 1).
  std::array<Extended, 10> qPow{};
  std::array<Extended, 10> tPow{};
  qPow[0] = 1;
  tPow[0] = 1 / thetaZ;
  for (size_t i = 1; i < 10; ++i) {
    qPow[i] = qPow[i - 1] * q;
    tPow[i] = tPow[i - 1] * thetaZ;
  }
  Extended Pr = 0, Dr = 0, ar = 0, GT = 0;
  const Extended rho2e = rho * rho * e;
  for (size_t i = 1; i <= 36; ++i) {
    const int32_t k = c.II[i] + 1;
    const int32_t l = c.JJ[i];
    const Extended g = c.g[i];
    const Extended t = g * rho2e * qPow[static_cast<size_t>(k - 1)] * tPow[static_cast<size_t>(l)];
    Pr += t;
    Dr += (2 / rho - (1 - (k - 1) * e / q)) * t;
    ar += g * qPow[static_cast<size_t>(k)] * tPow[static_cast<size_t>(l)] / (k * RT);
    GT += g * (1 - l) * qPow[static_cast<size_t>(k)] * tPow[static_cast<size_t>(l + 1)] / (kTz * k);
  }
  for (size_t i = 37; i <= 40; ++i) {
    const Extended g = c.g[i];
    if (g == 0) break;
    const size_t m = i - 36;
    const int32_t k = c.II[i];
    const int32_t n = c.JJ[i];
    const Extended rhom = c.Rhom[m];
    const Extended alpha = c.Alpham[m];
    Extended delta = rho / rhom - 1;
    if (std::fabs(delta) < 1e-10L) delta = 1e-10L;
    const Extended tau = T / c.Tm[m] - 1;
    const Extended phi = IntPower(n, delta) * std::exp(-alpha * IntPower(k, delta)) * std::exp(-c.Betam[m] * tau * tau);
    const Extended QM = n / delta - k * alpha * IntPower(k - 1, delta);
    const Extended t = rho * rho * QM * phi / rhom;
    Pr += g * t;
    const Extended rr = rho / rhom;
    Dr += g * (t * (2 / rho + QM / rhom) -
               rr * rr * phi * (n / (delta * delta) + k * (k - 1) * alpha * IntPower(k - 2, delta)));
    GT -= 2 * g * c.Betam[m] * tau * phi / c.Tm[m];
    ar += g * phi / RT;
  }
  TSteamResidualValues r;
  r.Pr = Pr;
  r.dPrdRho = Dr;
  r.sr = -GT / kR;
  r.ur = ar + r.sr;
  residualCache.T = T;
  residualCache.rho = rho;
  residualCache.values = r;
  return r;
}

TSteamIdealValues SteamIdealGasPart(Extended T) {
  if (T == idealCache.T) return idealCache.values;
  const auto& c = Coefficients();
  const Extended t = T / 100;
  const Extended lambda = SafeLn(t);
  Extended G = -(c.C[1] / t + c.C[2]) * lambda;
  Extended H = c.C[2] + c.C[1] * (1 - lambda) / t;
  // t^(i-6) for i = 3..18.
  Extended power = 1 / (t * t * t);
  for (int32_t i = 3; i <= 18; ++i) {
    const Extended term = c.C[static_cast<size_t>(i)] * power;
    G -= term;
    H += (i - 6) * term;
    power *= t;
  }
  TSteamIdealValues r;
  r.ui = H - 1;
  r.si = H - G;
  idealCache.T = T;
  idealCache.values = r;
  return r;
}

void SteamPressureAt(Extended rho, Extended T, Extended& P, Extended& dPdRho) {
  const Extended RT = kR * T;
  const TSteamResidualValues res = SteamResidualFunction(rho, T);
  const TSteamBaseValues base = SteamBaseFunction(rho, T);
  P = RT * rho * base.Zb + res.Pr;
  dPdRho = RT * (base.y * base.DZb + base.Zb) + res.dPrdRho;
}

TSteamReducedProperties SteamThermoProperties(Extended rho, Extended T) {
  const Extended RT = kR * T;
  const TSteamBaseValues base = SteamBaseFunction(rho, T);
  const TSteamResidualValues res = SteamResidualFunction(rho, T);
  const TSteamIdealValues ideal = SteamIdealGasPart(T);
  const Extended Z = base.Zb + res.Pr / (RT * rho);
  TSteamReducedProperties r;
  // The constants put u = 0 and s = 0 at the saturated liquid at the
  // triple point.
  r.u = base.ub + res.ur + ideal.ui + 4328.455039L / T;
  r.h = r.u + Z;
  r.s = base.sb + res.sr + ideal.si - 7.6180802L;
  return r;
}

// Damped Newton steps on P(rho): the slope is taken 10 % steep and the
// step limited to 0.1 g/cm3, so a start on the wrong side of the spinodal
// walks back rather than jumping phases.
Extended SteamDensityFinder(Extended T, Extended rho0, Extended P, Extended& dPdRho) {
  Extended rho = rho0;
  dPdRho = 0;
  for (int32_t L = 1;; ++L) {
    if (rho <= 0) rho = 1e-8L;
    if (rho > 1.9L) rho = 1.9L;
    Extended Pcalc = 0;
    SteamPressureAt(rho, T, Pcalc, dPdRho);
    if (dPdRho <= 0) {
      // Inside the spinodal: move towards the phase the start density names.
      rho *= rho0 >= 0.2967L ? 1.02L : 0.98L;
      if (L <= 10) continue;
    }
    const Extended slope = std::max(1.1L * dPdRho, 0.1L);
    const Extended dp = std::fabs(1 - Pcalc / P);
    if (dp < 1e-8L || (rho0 > 0.3L && dp < 1e-7L) || (rho0 > 0.7L && dp < 1e-6L)) break;
    Extended step = (P - Pcalc) / slope;
    if (std::fabs(step) > 0.1L) step = step > 0 ? 0.1L : -0.1L;
    rho += step;
    if (rho <= 0) rho = 1e-8L;
    if (L > 30) break;
  }
  return rho;
}

// ---- Ice ----------------------------------------------------------------------

Extended IceEnthalpy(Extended P, Extended T) {
  return 0.274292L * T - 647.595L + 0.002910583L * T * T + 1.083437e-6L * T * T * T + 1.07L * P;
}

Extended IceEntropy(Extended P, Extended T) {
  return 0.274292L * SafeLn(T) + 0.00582198L * T + 1.625155e-6L * T * T - 4.470727L +
         (7.43288e-10L * T - 2.49936e-8L) * (101.325L - 1000 * P);
}

TIceState IceState(Extended& P, Extended T) {
  Extended p = P / 1000;
  const Extended vs = 3.71611e-10L * T * T + 0.001070003L - 2.49936e-8L * T;
  TIceState r;
  r.ps = WaterSatPressure(T);
  if (p < r.ps) p = r.ps;
  r.v = vs * (1 - (0.0165L * T + 8.875L) * 1e-5L * (p - r.ps));
  r.h = IceEnthalpy(r.ps, T);
  r.s = IceEntropy(r.ps, T);
  r.u = r.h - 1000 * p * r.v;
  P = 1000 * p;
  return r;
}

// ---- Saturation -------------------------------------------------------------------

Extended SteamSaturationCorrection(Extended T, Extended& P, Extended& rhoL, Extended& rhoV) {
  if (T > kNearCritical) {
    if (T > kSatTMax) T = kSatTMax;
    const Extended w = 1 - T / 647.1422L;
    rhoL = 0.32055176L + 1.3981L * PowerReal(w, 0.43822L);
    rhoV = 0.32356942L - 1.29490281L * PowerReal(w, 0.4282L);
    return 0;
  }
  Extended slope = 0;
  Extended gL = 0;
  bool ice = false;
  if (T >= 273.15L) {
    rhoL = SteamDensityFinder(T, rhoL > 0 ? rhoL : 1.11L - 0.0004L * T, P, slope);
    const TSteamReducedProperties liquid = SteamThermoProperties(rhoL, T);
    gL = liquid.h - liquid.s;
  } else {
    Extended sublimation = -1;
    const TIceState iceState = IceState(sublimation, T);
    P = iceState.ps;
    rhoL = 1 / iceState.v;
    ice = true;
  }
  rhoV = SteamDensityFinder(T, rhoV > 0 ? rhoV : P / (kR * T), P, slope);
  if (rhoV < 5e-7L) rhoV = 5e-7L;
  const TSteamReducedProperties vapour = SteamThermoProperties(rhoV, T);
  const Extended gV = vapour.h - vapour.s;
  return ice ? 0 : gL - gV;
}

// Newton on the pressure: at equal T, d(g_l - g_v)/dP = (v_l - v_v)/RT.
void SteamSaturationPressure(Extended T, Extended& P, Extended& rhoL, Extended& rhoV) {
  P = WaterSatPressure(T);
  rhoL = 0;
  rhoV = 0;
  for (int32_t count = 1; !ErrorPending(); ++count) {
    const Extended dG = SteamSaturationCorrection(T, P, rhoL, rhoV);
    if (T < 273.15L && dG == 0) break;
    const Extended d = 1 / rhoV - 1 / rhoL;
    const Extended dP = std::fabs(d) > 1e-6L ? dG * kR * T / d : 0;
    P += dP;
    if (std::fabs(dG) < 1e-6L) break;
    if (count > 25) {
      CalcErrorCode = kMsgPropertyNoConvergence;
      break;
    }
  }
}

namespace {

void FailSatState(TSteamSatState& r) { r = TSteamSatState{}; }

}  // namespace

TSteamSatState SteamSatStateAtT(Extended T) {
  TSteamSatState r;
  if (T > kSatTMax) {
    CalcErrorCode = kMsgAboveCriticalPoint;
    return r;
  }
  ResetSteamFormulationCaches();
  const Extended RT = kR * T;
  SteamBaseCoefficients(T);
  Extended p = 0, rhoL = 0, rhoV = 0;
  SteamSaturationPressure(T, p, rhoL, rhoV);
  if (ErrorPending()) return r;
  Extended slope = 0;
  if (T < 273.15L) {
    Extended sublimation = -1;
    const TIceState ice = IceState(sublimation, T);
    p = ice.ps;
    r.vf = ice.v;
    r.uf = ice.u;
    r.hf = ice.h;
    r.sf = ice.s;
  } else {
    if (T <= kNearCritical) rhoL = SteamDensityFinder(T, rhoL, p, slope);
    const TSteamReducedProperties liquid = SteamThermoProperties(rhoL, T);
    r.vf = 0.001L / rhoL;
    r.uf = RT * liquid.u;
    r.hf = RT * liquid.h;
    r.sf = kR * liquid.s;
  }
  if (T <= kNearCritical) rhoV = SteamDensityFinder(T, rhoV, p, slope);
  const TSteamReducedProperties vapour = SteamThermoProperties(rhoV, T);
  r.vg = 0.001L / rhoV;
  r.ug = RT * vapour.u;
  r.hg = RT * vapour.h;
  r.sg = kR * vapour.s;
  r.P = 1000 * p;
  const Extended all[] = {r.P, r.vf, r.vg, r.uf, r.ug, r.hf, r.hg, r.sf, r.sg};
  bool finite = true;
  for (Extended value : all) finite = finite && std::isfinite(value);
  if (ErrorPending() || !finite) {
    // An overflow or invalid operation on the way is a state the
    // formulation cannot give.
    if (!ErrorPending()) CalcErrorCode = kMsgAboveCriticalPoint;
    FailSatState(r);
  }
  return r;
}

TSteamPointState SteamStateAtTP(Extended T, Extended P, int32_t phase) {
  ResetSteamFormulationCaches();
  TSteamPointState r;
  const Extended p = P / 1000;
  const Extended RT = kR * T;
  SteamBaseCoefficients(T);
  Extended rho0 = p / (0.4L * T);
  Extended pSat = 20000;
  Extended rhoL = 0, rhoV = 0;
  if (T < kSatTMax) {
    if (T < 273.15L) {
      pSat = WaterSatPressure(T);
    } else {
      SteamSaturationPressure(T, pSat, rhoL, rhoV);
    }
  }
  if (ErrorPending()) return r;
  const bool liquidSide = phase != 0 && T >= 273.15L ? phase < 0 : p > pSat;
  if (liquidSide) {
    r.x = -100;
    if (T < 273.15L) {
      Extended pressure = P;
      const TIceState ice = IceState(pressure, T);
      r.v = ice.v;
      r.h = ice.h;
      r.s = ice.s;
      r.u = ice.u;
      return r;
    }
    rho0 = rhoL;
  } else {
    r.x = 100;
  }
  Extended slope = 0;
  Extended rho = SteamDensityFinder(T, rho0, p, slope);
  rho = SteamDensityFinder(T, rho, p, slope);
  const TSteamReducedProperties props = SteamThermoProperties(rho, T);
  r.v = 0.001L / rho;
  r.u = RT * props.u;
  r.h = RT * props.h;
  r.s = kR * props.s;
  return r;
}

}  // namespace voq

// The Martin-Hou equation of state and its correlations, on the records of
// R12 (fluid 2), R22 (5), R502 (8), R134a (9) and R407C (21). Reference
// values are hand calculations from the records' correlations (noted at
// each case) and the thermodynamic identities the caloric functions must
// satisfy, checked by central differences.
#include <gtest/gtest.h>

#include <cmath>

#include "core/calc_state.h"
#include "core/extended.h"
#include "core/message_ids.h"
#include "properties/martin_hou_data.h"
#include "properties/martin_hou_eos.h"
#include "properties/properties_state.h"

namespace voq {
namespace {

void UseFluid(int32_t number) {
  MartinHouCoefRecord* record = LoadMartinHouCoefficients(number);
  ASSERT_NE(record, nullptr);
  SetMartinHouCurrentFluid(number, *record);
}

double Field(int field) { return MartinHouCurrentFluid[static_cast<size_t>(field)]; }

// Saturation pressure and liquid density at 77 F (536.67 R), computed by
// hand from the records: R134a ln P = -6036.23/T + 16.4299 - 0.00161558 T
// + 2.78366 (1 - T/673.65)^1.5 = ln 96.597; R12 log10 P = 39.88381727 -
// 3436.632228/T - 12.47152228 log10 T + 0.00473044244 T = log10 94.466.
TEST(MartinHouEos, SaturationAt77F) {
  struct Case {
    int32_t fluid;
    double pressure;
    double density;
  };
  const Case cases[] = {{9, 96.60, 75.37}, {2, 94.47, 81.84}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fluid);
    UseFluid(c.fluid);
    EXPECT_NEAR(static_cast<double>(MartinHouSatPressure(536.67L)), c.pressure, 0.005);
    EXPECT_NEAR(static_cast<double>(MartinHouSatLiquidDensity(536.67L)), c.density, 0.005);
  }
}

TEST(MartinHouEos, SaturationTemperatureInvertsThePressure) {
  UseFluid(9);
  CalcErrorCode = 123;  // the search starts by clearing any earlier error
  EXPECT_NEAR(static_cast<double>(MartinHouSatTemperature(96.60L)), 536.67, 0.1);
  EXPECT_EQ(CalcErrorCode, 0);
  // Downward scan from 0.75 Tc.
  const Extended tLow = MartinHouSatTemperature(5.0L);
  EXPECT_LT(std::fabs(static_cast<double>(MartinHouSatPressure(tLow)) - 5.0), 0.1);
  // Above the pressure at Tc - 0.01 the scan stops there and the regula
  // falsi runs on that bracket: the answer stays below Tc.
  UseFluid(2);
  const Extended tHigh = MartinHouSatTemperature(590.0L);
  EXPECT_LE(static_cast<double>(tHigh), 693.3);
  EXPECT_NEAR(static_cast<double>(MartinHouSatPressure(tHigh)), 590.0, 0.1);
}

TEST(MartinHouEos, VaporVolumeSolvesTheEquation) {
  UseFluid(9);
  const Extended v = MartinHouVaporVolume(14.7L, 600.0L);
  EXPECT_NEAR(static_cast<double>(MartinHouPressure(v, 600.0L)) / 14.7, 1.0, 2e-5);
  // Near the ideal gas at low pressure: v close to R T/P.
  EXPECT_NEAR(static_cast<double>(v) / (Field(kMhR) * 600.0 / 14.7), 1.0, 0.03);
  // A pressure above the saturation pressure below Tc is a compressed
  // liquid: the saturated-liquid volume at T, whatever the pressure.
  const Extended vf = 1 / MartinHouSatLiquidDensity(500.0L);
  EXPECT_EQ(MartinHouVaporVolume(500.0L, 500.0L), vf);
  EXPECT_EQ(MartinHouVaporVolume(100.0L, 500.0L), vf);
  // A non-positive pressure is taken as 1 psia.
  const Extended vOne = MartinHouVaporVolume(1.0L, 600.0L);
  EXPECT_EQ(MartinHouVaporVolume(0.0L, 600.0L), vOne);
}

// Where the isotherm never reaches the pressure asked for, both starts of
// the iteration run out and the volume is scaled from the critical point;
// 5 % or more from Tc that is an error. The record: R134a's constants with
// P = R T/w + A2/w^2 only, A2 = -1000, whose isotherm at 1.2 Tc peaks at
// (R T)^2/(4 |A2|) = 1.8 psia (hand calculation).
TEST(MartinHouEos, VolumeFallsBackToTheCriticalPoint) {
  MartinHouCoefRecord record = *LoadMartinHouCoefficients(9);
  for (int i = kMhA2; i <= kMhC6; ++i) record[i] = 0;
  record[kMhA2] = -1000;
  SetMartinHouCurrentFluid(9, record);
  const Extended T = 1.2L * record[kMhTc];
  CalcErrorCode = 0;
  const Extended v = MartinHouVaporVolume(100.0L, T);
  EXPECT_NEAR(static_cast<double>(v), record[kMhPc] / 100.0 * record[kMhVc] * 1.2, 1e-12);
  EXPECT_EQ(CalcErrorCode, kMsgPropertyNoConvergence);
  // A record without any pressure terms: no hang, the same fallback.
  MartinHouCoefRecord flat = record;
  flat[kMhA2] = 0;
  flat[kMhR] = 1e-30;
  SetMartinHouCurrentFluid(9, flat);
  CalcErrorCode = 0;
  EXPECT_TRUE(std::isfinite(static_cast<double>(MartinHouVaporVolume(100.0L, T))));
}

// Pressures no temperature reaches end after the bounded scan and 50 steps
// with error 210, never in a hang.
TEST(MartinHouEos, SaturationTemperatureOfUnreachablePressures) {
  UseFluid(9);
  for (Extended p : {-5.0L, 0.0L, 1e6L}) {
    SCOPED_TRACE(static_cast<double>(p));
    const Extended t = MartinHouSatTemperature(p);
    EXPECT_FALSE(std::isnan(static_cast<double>(t)));
    EXPECT_EQ(CalcErrorCode, kMsgPropertyNoConvergence);
  }
}

TEST(MartinHouEos, VolumeIterationCountsItsSteps) {
  UseFluid(2);
  int32_t iterations = 0;
  const Extended v = MartinHouVolumeIteration(50.0L, 600.0L, 1.0L, iterations);
  EXPECT_GT(iterations, 1);
  EXPECT_LE(iterations, 50);
  EXPECT_NEAR(static_cast<double>(MartinHouPressure(v, 600.0L)) / 50.0, 1.0, 2e-5);
}

// With Alpha = 0 the sixth term is absent from every function, whatever
// A6, B6 and C6 hold.
TEST(MartinHouEos, NoSixthTermWithoutAlpha) {
  MartinHouCoefRecord r12 = *LoadMartinHouCoefficients(2);
  ASSERT_EQ(r12[kMhAlpha], 0.0);
  MartinHouCoefRecord loaded = r12;
  loaded[kMhA6] = 1e8;
  loaded[kMhB6] = -1e5;
  loaded[kMhC6] = 1e9;
  loaded[kMhCPrime] = 1e-6;
  const Extended v = 0.05L;
  const Extended T = 600.0L;
  auto all = [&](const MartinHouCoefRecord& r) {
    SetMartinHouCurrentFluid(2, r);
    return std::array<Extended, 5>{MartinHouPressure(v, T), MartinHouDPdV(v, T), MartinHouDPdT(v, T),
                                   MartinHouEnthalpy(T, v, 100.0L), MartinHouEntropy(v, T)};
  };
  EXPECT_EQ(all(r12), all(loaded));
}

// The sixth term counts only inside its window of Alpha v: 30 for P, dP/dT
// and h, 25 for dP/dv, 18 for s; h and s also need C' (only R502 has it).
TEST(MartinHouEos, SixthTermWindows) {
  MartinHouCoefRecord r502 = *LoadMartinHouCoefficients(8);
  MartinHouCoefRecord noSixth = r502;
  noSixth[kMhA6] = noSixth[kMhB6] = noSixth[kMhC6] = 0;
  const double alpha = r502[kMhAlpha];
  const Extended T = 600.0L;
  struct Case {
    double alphaV;
    bool pressure, slope, enthalpy, entropy;
  };
  const Case cases[] = {
      {17.0, true, true, true, true},
      {20.0, true, true, true, false},
      {27.0, true, false, true, false},
      {30.5, false, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.alphaV);
    const Extended v = c.alphaV / alpha;
    SetMartinHouCurrentFluid(8, noSixth);
    const Extended p0 = MartinHouPressure(v, T), d0 = MartinHouDPdV(v, T), t0 = MartinHouDPdT(v, T);
    const Extended h0 = MartinHouEnthalpy(T, v, 100.0L), s0 = MartinHouEntropy(v, T);
    SetMartinHouCurrentFluid(8, r502);
    EXPECT_EQ(MartinHouPressure(v, T) != p0, c.pressure);
    EXPECT_EQ(MartinHouDPdT(v, T) != t0, c.pressure);
    EXPECT_EQ(MartinHouDPdV(v, T) != d0, c.slope);
    EXPECT_EQ(MartinHouEnthalpy(T, v, 100.0L) != h0, c.enthalpy);
    EXPECT_EQ(MartinHouEntropy(v, T) != s0, c.entropy);
  }
  // R22 has a sixth term but C' = 0: the pressure takes it, h and s do not.
  MartinHouCoefRecord r22 = *LoadMartinHouCoefficients(5);
  MartinHouCoefRecord r22NoSixth = r22;
  r22NoSixth[kMhA6] = r22NoSixth[kMhB6] = 0;
  const Extended v = 15.0L / r22[kMhAlpha];
  SetMartinHouCurrentFluid(5, r22NoSixth);
  const Extended p0 = MartinHouPressure(v, T), h0 = MartinHouEnthalpy(T, v, 100.0L), s0 = MartinHouEntropy(v, T);
  SetMartinHouCurrentFluid(5, r22);
  EXPECT_NE(MartinHouPressure(v, T), p0);
  EXPECT_EQ(MartinHouEnthalpy(T, v, 100.0L), h0);
  EXPECT_EQ(MartinHouEntropy(v, T), s0);
}

TEST(MartinHouEos, CoVolumeDistanceIsLimited) {
  UseFluid(2);
  const Extended b = Field(kMhB);
  // Below b + 1e-5 the pressure is that at w = 1e-5; beyond 1e5 that at 1e5.
  EXPECT_EQ(MartinHouPressure(b - 1.0L, 500.0L), MartinHouPressure(b + 1e-5L, 500.0L));
  EXPECT_EQ(MartinHouPressure(b + 1e-9L, 500.0L), MartinHouPressure(b + 1e-5L, 500.0L));
  EXPECT_EQ(MartinHouPressure(b + 2e5L, 500.0L), MartinHouPressure(b + 1e5L, 500.0L));
  EXPECT_TRUE(std::isfinite(static_cast<double>(MartinHouEntropy(b - 1.0L, 500.0L))));
}

// dP/dv and dP/dT against central differences of P; on R502 inside the
// sixth-term window (Alpha v = 15) and on R134a.
TEST(MartinHouEos, DerivativesMatchDifferences) {
  struct Case {
    int32_t fluid;
    double v, T;
  };
  const Case cases[] = {{8, 15.0 / 609.0, 650.0}, {8, 0.2, 560.0}, {9, 0.5, 600.0}, {9, 0.04, 700.0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fluid);
    UseFluid(c.fluid);
    const Extended v = c.v, T = c.T;
    const Extended dv = v * 1e-6L, dT = 1e-3L;
    const Extended dPdv = (MartinHouPressure(v + dv, T) - MartinHouPressure(v - dv, T)) / (2 * dv);
    const Extended dPdT = (MartinHouPressure(v, T + dT) - MartinHouPressure(v, T - dT)) / (2 * dT);
    EXPECT_NEAR(static_cast<double>(MartinHouDPdV(v, T) / dPdv), 1.0, 1e-7);
    EXPECT_NEAR(static_cast<double>(MartinHouDPdT(v, T) / dPdT), 1.0, 1e-7);
  }
}

// The caloric functions against the identities of the equation of state:
//   (ds/dv)_T = J (dP/dT)_v                     (Maxwell)
//   (du/dv)_T = J (T (dP/dT)_v - P),  u = h - J P v
//   (du/dT)_v = T (ds/dT)_v
// with J = 0.185053 Btu/(psia ft3). R502 at Alpha v = 15 exercises the
// sixth term with C'; R134a and R12 the plain terms.
TEST(MartinHouEos, CaloricFunctionsObeyTheIdentities) {
  struct Case {
    int32_t fluid;
    double v, T;
  };
  const Case cases[] = {{8, 15.0 / 609.0, 650.0}, {8, 0.3, 600.0}, {9, 0.5, 600.0}, {2, 0.08, 680.0}};
  const Extended J = kMartinHouJ;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fluid);
    UseFluid(c.fluid);
    const Extended v = c.v, T = c.T;
    auto u = [](Extended vv, Extended tt) {
      const Extended p = MartinHouPressure(vv, tt);
      return MartinHouEnthalpy(tt, vv, p) - kMartinHouJ * p * vv;
    };
    const Extended dv = v * 1e-5L, dT = 1e-2L;
    const Extended dsdv = (MartinHouEntropy(v + dv, T) - MartinHouEntropy(v - dv, T)) / (2 * dv);
    EXPECT_NEAR(static_cast<double>(dsdv / (J * MartinHouDPdT(v, T))), 1.0, 1e-6);
    const Extended dudv = (u(v + dv, T) - u(v - dv, T)) / (2 * dv);
    EXPECT_NEAR(static_cast<double>(dudv / (J * (T * MartinHouDPdT(v, T) - MartinHouPressure(v, T)))), 1.0, 1e-6);
    const Extended dudT = (u(v, T + dT) - u(v, T - dT)) / (2 * dT);
    const Extended dsdT = (MartinHouEntropy(v, T + dT) - MartinHouEntropy(v, T - dT)) / (2 * dT);
    EXPECT_NEAR(static_cast<double>(dudT / (T * dsdT)), 1.0, 1e-6);
  }
}

// Clapeyron: hfg = T (vg - vf) dP/dT J with dP/dT of the bubble-point
// correlation, here by a central difference of that correlation.
TEST(MartinHouEos, LatentHeatByClapeyron) {
  const int32_t fluids[] = {2, 5, 9};
  for (int32_t fluid : fluids) {
    SCOPED_TRACE(fluid);
    UseFluid(fluid);
    const Extended T = 0.8L * Field(kMhTc);
    const Extended p = MartinHouSatPressure(T);
    const Extended vf = 1 / MartinHouSatLiquidDensity(T);
    const Extended vg = MartinHouVaporVolume(p, T);
    const Extended dPdT = (MartinHouSatPressure(T + 1e-3L) - MartinHouSatPressure(T - 1e-3L)) / 2e-3L;
    const Extended expected = T * (vg - vf) * dPdT * kMartinHouJ;
    EXPECT_NEAR(static_cast<double>(MartinHouLatentHeat(p, vf, vg, T) / expected), 1.0, 1e-7);
  }
}

// R407C's latent heat is its polynomial in y = (1 - T/Tc)^(1/3) - Y0:
// at T = 500 R, y = (1 - 500/647.9)^(1/3) = 0.61109, and
// hfg = -2.892717 + 82.55277 y + 189.4586 y^2 - 130.8601 y^3 = 88.45 Btu/lbm
// (hand calculation). Within 1 R of Tc Clapeyron takes over.
TEST(MartinHouEos, BlendLatentHeat) {
  UseFluid(21);
  const double y = std::cbrt(1.0 - 500.0 / 647.9);
  const double expected = -2.892717 + y * (82.55277 + y * (189.4586 + y * -130.8601));
  EXPECT_NEAR(expected, 88.45, 0.01);
  EXPECT_NEAR(static_cast<double>(MartinHouLatentHeat(100.0L, 0.02L, 0.5L, 500.0L)), expected, 1e-9);
  const Extended T = 647.4L;
  const Extended clapeyron = MartinHouLatentHeat(600.0L, 0.025L, 0.035L, T);
  MartinHouCurrentFluid[kMhBlendValue] = 0;
  EXPECT_EQ(MartinHouLatentHeat(600.0L, 0.025L, 0.035L, T), clapeyron);
  // A blend value that rounds to 0 (0.5 rounds to the even 0) is no blend.
  MartinHouCurrentFluid[kMhBlendValue] = 0.5;
  EXPECT_NE(MartinHouLatentHeat(100.0L, 0.02L, 0.5L, 500.0L), static_cast<Extended>(expected));
  MartinHouCurrentFluid[kMhBlendValue] = 1.5;
  EXPECT_NEAR(static_cast<double>(MartinHouLatentHeat(100.0L, 0.02L, 0.5L, 500.0L)), expected, 1e-9);
}

// R407C's dew pressure, ln form: at 500 R
// ln P = -9518.471/500 + 52.21183 - 0.08230649*500 - 8.701678 (1 - 500/647.9)^1.5
//        + 5.310082e-05*500^2 (hand calculation).
TEST(MartinHouEos, DewPressureOfABlend) {
  UseFluid(21);
  const double tau = 1 - 500.0 / 647.9;
  const double expected = std::exp(-9518.471 / 500 + 52.21183 - 0.08230649 * 500 - 8.701678 * std::pow(tau, 1.5) +
                                   5.310082e-05 * 500 * 500);
  EXPECT_NEAR(static_cast<double>(MartinHouDewPressure(500.0L)) / expected, 1.0, 1e-12);
}

TEST(MartinHouEos, NonPositiveTemperatureFails) {
  UseFluid(9);
  using Function = Extended (*)(Extended);
  const Function functions[] = {
      [](Extended t) { return MartinHouSatPressure(t); },
      [](Extended t) { return MartinHouDewPressure(t); },
      [](Extended t) { return MartinHouEnthalpy(t, 1.0L, 10.0L); },
      [](Extended t) { return MartinHouEntropy(1.0L, t); },
  };
  for (Function f : functions) {
    for (Extended t : {0.0L, -5.0L}) {
      CalcErrorCode = 0;
      EXPECT_EQ(f(t), ErrorResultValue);
      EXPECT_EQ(CalcErrorCode, kMsgPropertyNoConvergence);
    }
  }
}

TEST(MartinHouEos, InternalEnergyFromTheState) {
  MartinHouState.h = 110.0L;
  MartinHouState.P = 50.0L;
  MartinHouState.v = 1.2L;
  EXPECT_EQ(MartinHouInternalEnergy(), 110.0L - 50.0L * 1.2L * 0.18509L);
}

TEST(MartinHouEos, PropertiesResetClearsTheCurrentFluidAndState) {
  UseFluid(9);
  MartinHouState.T = 500;
  MartinHouState.x = 100;
  ResetPropertiesState();
  EXPECT_EQ(MartinHouFluidNumber, 0);
  EXPECT_EQ(MartinHouCurrentFluid[kMhTc], 0.0);
  EXPECT_EQ(MartinHouState.T, 0.0L);
  EXPECT_EQ(MartinHouState.x, 0.0L);
}

}  // namespace
}  // namespace voq

// The table of Martin-Hou records and the built-in fluids' constants.
#include <gtest/gtest.h>

#include <cmath>

#include "properties/martin_hou_data.h"
#include "properties/martin_hou_eos.h"

namespace voq {
namespace {

TEST(MartinHouData, RecordIsMadeOnceAndKept) {
  const int32_t before = MartinHouRecordsAllocated();
  MartinHouCoefRecord* first = LoadMartinHouCoefficients(9);
  ASSERT_NE(first, nullptr);
  const int32_t afterFirst = MartinHouRecordsAllocated();
  EXPECT_LE(afterFirst - before, 1);
  EXPECT_EQ(MartinHouCoefTable[9].get(), first);
  EXPECT_EQ(LoadMartinHouCoefficients(9), first);
  EXPECT_EQ(MartinHouRecordsAllocated(), afterFirst);
  EXPECT_EQ((*first)[kMhTc], 673.65);
}

TEST(MartinHouData, NumbersOutsideTheTable) {
  EXPECT_EQ(LoadMartinHouCoefficients(0), nullptr);
  EXPECT_EQ(LoadMartinHouCoefficients(141), nullptr);
  // A user slot gets an empty record for the file reader to fill.
  MartinHouCoefRecord* user = LoadMartinHouCoefficients(120);
  ASSERT_NE(user, nullptr);
  EXPECT_EQ((*user)[kMhTc], 0.0);
}

TEST(MartinHouData, FluidNames) {
  EXPECT_EQ(MartinHouFluidName(0), "");
  EXPECT_EQ(MartinHouFluidName(26), "");
  EXPECT_EQ(MartinHouFluidName(-1), "");
  EXPECT_EQ(MartinHouFluidName(1), "R11");
  EXPECT_EQ(MartinHouFluidName(9), "R134a");
  EXPECT_EQ(MartinHouFluidName(13), "CarbonDioxide");
  EXPECT_EQ(MartinHouFluidName(24), "R507A");
  EXPECT_EQ(MartinHouFluidName(25), "R508B");
}

// The constants every built-in record carries: Tc, Pc, vc, R, b, K, Alpha,
// C' and the blend value.
TEST(MartinHouData, TableOfConstants) {
  struct Row {
    double tc, pc, vc, r, b, k, alpha, cPrime, blend;
  };
  const Row rows[25] = {
      {848.07, 639.5, 0.028927, 0.078117, 0.0019, 4.5, 580.0, 0, 0},
      {693.3, 596.9, 0.0287, 0.088734, 0.0065093886, 5.475, 0, 0, 0},
      {543.62, 561.3, 0.02772, 0.102728, 0.0048, 4.0, 625.0, 0, 0},
      {409.5, 543.16, 0.0256, 0.1219336, 0.0015, 4.0, 661.199997, 0, 0},
      {664.5, 721.91, 0.030525, 0.124098, 0.002, 4.2, 548.2, 0, 0},
      {753.97, 477.2, 0.027531, 0.062780807, 0.005914907, 3.0, 0, 0, 0},
      {681.59, 646.3, 0.032256, 0.10805, 0.006034229, 5.475, 0, 0, 0},
      {639.56, 591.0, 0.028571, 0.096125, 0.00167, 4.2, 609.0, 7e-7, 0},
      {673.65, 589.8, 0.03127346, 0.1051781, 0.005535127, 5.475, 0, 0, 0},
      {729.77, 1640.0, 0.06816, 0.63, 0.010082, 5.475, 0, 0, 0},
      {822.29, 531.1, 0.0291244, 0.070163, 0.0058456, 5.475, 0, 0, 0},
      {227.16, 492.35, 0.05128, 0.38323, 0.012955, 5.475, 0, 0, 0},
      {547.5, 1069.4, 0.03454, 0.24381, 0.0074985, 5.475, 0, 0, 0},
      {278.246, 731.644, 0.0367259, 0.3355, 0.0089238, 5.475, 0, 0, 0},
      {665.67, 614.41845, 0.08109, 0.24349, 0.023069, 5.475, 0, 0, 0},
      {9.363, 32.9908, 0.22983, 2.68209, -0.012322, 5.475, 0, 0, 0},
      {342.97, 666.4, 0.09877, 0.6692, 0.0050239, 5.475, 0, 0, 0},
      {765.3, 550.6, 0.07064, 0.184697, 0.015259, 5.475, 0, 0, 0},
      {632.808, 849.618, 0.037259031, 0.20636907813, 0.0054536, 5.475, 0, 0, 0},
      {859.23, 616.4115, 0.034597, 0.09179409529, 0.0071219, 5.475, 0, 0, 0},
      {647.9, 667.0, 0.03124, 0.1245, 0.006976, 5.5, 0, 0, 7},
      {621.5, 714.5, 0.03276, 0.147852, 0.006976251, 5.75, 0, 0, 7},
      {621.54, 541.888, 0.03279, 0.10999, 0.00479077, 5.475, 0, 0, 7},
      {619.0, 538.8, 0.03253, 0.10859, 0.006976, 5.475, 0, 0, 0},
      {516.86, 569.4, 0.0277, 0.1125, 0.006902818, 6.25, 0, 0, 7},
  };
  for (int32_t n = 1; n <= 25; ++n) {
    SCOPED_TRACE(n);
    const MartinHouCoefRecord& r = *LoadMartinHouCoefficients(n);
    const Row& row = rows[n - 1];
    EXPECT_EQ(r[kMhTc], row.tc);
    EXPECT_EQ(r[kMhPc], row.pc);
    EXPECT_EQ(r[kMhVc], row.vc);
    EXPECT_EQ(r[kMhR], row.r);
    EXPECT_EQ(r[kMhB], row.b);
    EXPECT_EQ(r[kMhK], row.k);
    EXPECT_EQ(r[kMhAlpha], row.alpha);
    EXPECT_EQ(r[kMhCPrime], row.cPrime);
    EXPECT_EQ(r[kMhBlendValue], row.blend);
    EXPECT_EQ(r[44], 0.0);
    // The sixth term: only R11, R13, R14, R22 and R502; C6 only in R502.
    const bool sixth = r[kMhA6] != 0 || r[kMhB6] != 0 || r[kMhC6] != 0;
    EXPECT_EQ(sixth, n == 1 || n == 3 || n == 4 || n == 5 || n == 8);
    EXPECT_EQ(r[kMhC6] != 0, n == 8);
    const double marker = (n >= 21 && n <= 23) ? 400 : 0;
    EXPECT_EQ(r[kMhFormatMarker], marker);
  }
}

TEST(MartinHouData, BlendFields) {
  const MartinHouCoefRecord& r407c = *LoadMartinHouCoefficients(21);
  const double dew[5] = {-9518.471, 52.21183, -0.08230649, -8.701678, 5.310082e-05};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(r407c[kMhDP1 + i], dew[i]);
  const double latent[6] = {0, -2.892717, 82.55277, 189.4586, -130.8601, 0};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(r407c[kMhY0 + i], latent[i]);
  for (int32_t n : {21, 22, 23, 25}) {
    SCOPED_TRACE(n);
    const MartinHouCoefRecord& r = *LoadMartinHouCoefficients(n);
    EXPECT_NE(r[kMhDP1], 0.0);
    EXPECT_NE(r[kMhH1], 0.0);
    EXPECT_EQ(r[55], 1.0);
  }
  const MartinHouCoefRecord& r507a = *LoadMartinHouCoefficients(24);
  for (int i = kMhDP1; i <= kMhH4; ++i) EXPECT_EQ(r507a[i], 0.0) << i;
}

// The full record of R12 as published by Downing: spot checks of each group.
TEST(MartinHouData, R12Record) {
  const MartinHouCoefRecord& r = *LoadMartinHouCoefficients(2);
  EXPECT_EQ(r[kMhAf], 34.84);
  EXPECT_EQ(r[kMhGf], -3.150994);
  EXPECT_EQ(r[kMhVP2], -3436.632228);
  EXPECT_EQ(r[kMhVP6], 0.0);
  EXPECT_EQ(r[kMhC2], -56.7627671);
  EXPECT_EQ(r[kMhC5], -2.54390678e-05);
  EXPECT_EQ(r[kMhCv0D], 6.72363e-11);
  EXPECT_EQ(r[kMhX], 39.556551);
  EXPECT_EQ(r[kMhY], -0.016537936);
}

// Every built-in record's bubble-point correlation meets its own critical
// pressure: at Tc - 0.01 R within 2 % of Pc.
TEST(MartinHouData, SaturationPressureReachesPc) {
  for (int32_t n = 1; n <= 25; ++n) {
    SCOPED_TRACE(MartinHouFluidName(n));
    const MartinHouCoefRecord& r = *LoadMartinHouCoefficients(n);
    SetMartinHouCurrentFluid(n, r);
    const double p = static_cast<double>(MartinHouSatPressure(r[kMhTc] - 0.01));
    EXPECT_NEAR(p / r[kMhPc], 1.0, 0.02);
  }
}

}  // namespace
}  // namespace voq

// Ideal gases of user ".IDG" files.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "model/document_settings.h"
#include "properties/fluid_catalog.h"
#include "properties/ideal_gas.h"
#include "properties/property_units.h"
#include "properties/substance_factory.h"

namespace voq {
namespace {

namespace fs = std::filesystem;

// N2's cp in theta = T/100 (the built-in correlation) written as a user
// file: the same h and s must come out.
const char* kNitrogenLines[] = {
    "MyN2|nitrogen from a file", "28.013", "100   divisor", "250", "3500",
    "39.06 0", "-512.79 -1.5", "1072.7 -2  comment after the pair", "-820.4 -3", "0 0", "0 0", "0 0", "0 0", "0 0",
    "0 0", "298.15", "100", "0", "191.502", "0", "0", "80", "2500", "5.676721E-7", "6.887251E-8", "-4.4641E-11",
    "1.815652E-14", "-2.826376E-18", "0", "80", "1400", "-4.362383E-5", "0.0001020032", "-5.941577E-8",
    "2.222783E-11", "0", "0"};

class IdealGasFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("voq_idg_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::create_directories(dir_);
    DocumentSettings.UnitSystem = 0;
    DocumentSettings.MolarBasis = 0;
    DocumentSettings.AbsoluteTemperature = 1;
    DocumentSettings.PressureUnit = 0;
    DocumentSettings.EnergyUnit = 1;
  }
  void TearDown() override { fs::remove_all(dir_); }

  int32_t Register(const std::string& name, const std::string& text) {
    const fs::path path = dir_ / name;
    std::ofstream(path) << text;
    RegisterFluidFile(path.string());
    EXPECT_EQ(CalcErrorCode, 0);
    return SubstanceCount;
  }
  // The first count lines of the nitrogen file, under another name when given.
  static std::string Lines(size_t count, const std::string& tail = "", const std::string& name = "") {
    std::string text = (name.empty() ? std::string(kNitrogenLines[0]) : name) + "\n";
    for (size_t i = 1; i < count; ++i) text += std::string(kNitrogenLines[i]) + "\n";
    return text + tail;
  }
  static std::unique_ptr<TIdealGasSubstance> Object(int32_t row) {
    auto* g = dynamic_cast<TIdealGasSubstance*>(CreatePropertyObject(row));
    EXPECT_NE(g, nullptr);
    g->SuppressWarnings = 0;
    return std::unique_ptr<TIdealGasSubstance>(g);
  }
  fs::path dir_;
};

TEST_F(IdealGasFileTest, AFileGasMatchesTheBuiltInGasOfTheSameCorrelation) {
  const int32_t row = Register("n2.idg", Lines(37));
  auto user = Object(row);
  ASSERT_EQ(CalcErrorCode, 0);
  auto builtin = Object(FindSubstanceRow("N2"));
  for (Extended T : {300.0L, 700.0L, 1500.0L}) {
    EXPECT_NEAR(static_cast<double>(user->EnthalpyT(T)), static_cast<double>(builtin->EnthalpyT(T)), 1e-9);
    EXPECT_NEAR(static_cast<double>(user->EntropyT(T)), static_cast<double>(builtin->EntropyT(T)), 1e-12);
  }
  // No critical data: message 334, acentric factor -1.
  EXPECT_EQ(user->T_crit(), ErrorResultValue);
  EXPECT_EQ(CalcErrorCode, kMsgNoCriticalProperties);
  EXPECT_EQ(user->Data->AcentricFactor, -1);
  CalcErrorCode = 0;
  // A second object copies the cached data.
  auto second = Object(row);
  EXPECT_EQ(second->PlotTMin, 250);
  EXPECT_EQ(second->PlotTMax, 3500);
  EXPECT_EQ(second->MolarMass(), 28.013L);
}

TEST_F(IdealGasFileTest, CriticalDataMayShareOneLine) {
  const int32_t row = Register("crit.idg", Lines(37, "126.2 3390 0.0032 0.04\n"));
  auto g = Object(row);
  ASSERT_EQ(CalcErrorCode, 0);
  UnitConversionEnabled = true;
  EXPECT_NEAR(static_cast<double>(g->T_crit()), 126.2, 1e-12);
  EXPECT_NEAR(static_cast<double>(g->AcentricFactor()), 0.04, 1e-15);
}

TEST_F(IdealGasFileTest, ReadErrorsNameTheLine) {
  // Ends right after the last pair line.
  const int32_t row = Register("short.idg", Lines(15));
  std::unique_ptr<TSubstanceBase> g(CreatePropertyObject(row));
  EXPECT_EQ(CalcErrorCode, kMsgReadErrorOnLine);
  EXPECT_EQ(MessageArgs[2], "15");
  EXPECT_EQ(MessageArgs[1], "MyN2|nitrogen from a file");
  CalcErrorCode = 0;
  // Ends after line 20: loads, the rest 0.
  const int32_t row20 = Register("twenty.idg", Lines(20, "", "Twenty"));
  std::unique_ptr<TSubstanceBase> g20(CreatePropertyObject(row20));
  EXPECT_EQ(CalcErrorCode, 0);
  // A value that is no number.
  std::string bad = Lines(37, "", "Bad");
  bad.replace(bad.find("28.013"), 6, "28,013");
  const int32_t rowBad = Register("bad.idg", bad);
  std::unique_ptr<TSubstanceBase> gBad(CreatePropertyObject(rowBad));
  EXPECT_EQ(CalcErrorCode, kMsgReadErrorOnLine);
  EXPECT_EQ(MessageArgs[2], "2");
  CalcErrorCode = 0;
  // The file is gone by the time the first object reads it.
  const int32_t rowGone = Register("gone.idg", Lines(37, "", "Gone"));
  fs::remove(dir_ / "gone.idg");
  std::unique_ptr<TSubstanceBase> gGone(CreatePropertyObject(rowGone));
  EXPECT_EQ(CalcErrorCode, kMsgFileReadIOError);
}

// The hyperbolic form (negative divisor): at RefT and RefP the object
// returns RefH and RefS on both bases.
TEST_F(IdealGasFileTest, HyperbolicFormReturnsTheReferenceValues) {
  std::string text = "Hyper|hyperbolic form\n86.172\n-1\n200\n1000\n";
  text += "33256 0\n193350 0\n1545.8 0\n128670 0\n706.5 0\n";
  for (int i = 0; i < 5; ++i) text += "0 0\n";
  text += "298.15\n100\n-167200\n388.82\n0\n0\n";
  for (int i = 0; i < 16; ++i) text += "1\n";
  for (bool molar : {false, true}) {
    DocumentSettings.MolarBasis = molar ? 1 : 0;
    const int32_t row = Register(molar ? "h2.idg" : "h1.idg", molar ? "Hyper2" + text.substr(5) : text);
    auto g = Object(row);
    ASSERT_EQ(CalcErrorCode, 0);
    const Extended f = molar ? 1 : 1 / 86.172L;
    TPropertyArgumentRecord a;
    g->ArgCount = 2;
    g->ArgKind[1] = 1;
    g->ArgKind[2] = 2;
    a.Value[1] = 298.15L;
    a.Value[2] = 100;
    UnitConversionEnabled = true;
    EXPECT_NEAR(static_cast<double>(g->Entropy(a)), static_cast<double>(388.82L * f), 1e-12);
    g->ArgCount = 1;
    EXPECT_NEAR(static_cast<double>(g->Enthalpy(a)), static_cast<double>(-167200 * f), 1e-8);
    // T ds/dT = dh/dT.
    const Extended dh = (g->EnthalpyT(500.001L) - g->EnthalpyT(499.999L)) / 0.002L;
    const Extended ds = (g->EntropyT(500.001L) - g->EntropyT(499.999L)) / 0.002L;
    EXPECT_NEAR(static_cast<double>(500 * ds), static_cast<double>(dh), 1e-6 * static_cast<double>(std::fabs(dh)));
  }
}

}  // namespace
}  // namespace voq

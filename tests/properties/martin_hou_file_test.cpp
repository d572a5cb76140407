// ".MHE" user fluid files: the two layouts, the read errors with their
// line numbers, and the record kept for the run.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "model/document_settings.h"
#include "properties/fluid_catalog.h"
#include "properties/property_units.h"
#include "properties/martin_hou_data.h"
#include "properties/martin_hou_solver.h"
#include "properties/martin_hou_substance.h"
#include "properties/substance_factory.h"

namespace voq {
namespace {

namespace fs = std::filesystem;

class MartinHouFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("voq_mhe_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  // Writes the file and registers it; returns its catalogue row.
  int32_t Register(const std::string& name, const std::string& text) {
    const fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary) << text;
    ClearCalcError();
    RegisterFluidFile(path.string());
    EXPECT_EQ(CalcErrorCode, 0);
    return SubstanceCount;
  }
  fs::path dir_;
};

std::string Number(double v) {
  std::ostringstream out;
  out.precision(17);
  out << v;
  return out.str();
}

// R134a's record (fluid 9) as a plain-layout file.
std::string PlainFile(const std::string& nameLine, double field45 = 0) {
  const MartinHouCoefRecord& r = *LoadMartinHouCoefficients(9);
  std::string text = "// R134a written out\n// second comment\n" + nameLine + "\n102.03\n0\n";
  for (int i = 1; i <= 44; ++i) text += Number(r[i]) + "\n";
  text += Number(field45) + "\n";
  for (int i = 0; i < 13; ++i) text += Number(r[kMhViscosityBlock + i]) + "\n";
  for (int i = 0; i < 13; ++i) text += Number(r[kMhConductivityBlock + i]) + (i < 12 ? "\n" : "");
  return text;
}

// A blend-layout file with a group of n values 1, 2, ... n.
std::string BlendFile(const std::string& nameLine, const std::string& countLine, int n) {
  const MartinHouCoefRecord& r = *LoadMartinHouCoefficients(9);
  std::string text = nameLine + "\n102.03\n400\n";
  for (int i = 1; i <= 7; ++i) text += Number(r[i]) + "\n";
  for (int i = 0; i <= 5; ++i) text += Number(r[8 + i]) + " " + Number(r[8 + i]) + "\n";
  for (int i = 14; i <= 44; ++i) text += Number(r[i]) + "\n";
  text += countLine + "\n";
  for (int i = 1; i <= n; ++i) text += std::to_string(i) + "\n";
  for (int i = 0; i < 26; ++i) text += "0.5\n";
  return text;
}

// The plain file of R134a's record is R134a: the same saturation pressure
// (English units: the solver services are the engine's, the test calls
// the object with the document units of the reset, SI with C and kPa).
TEST_F(MartinHouFileTest, PlainLayoutReadsTheRecord) {
  const int32_t row = Register("mine.MHE", PlainFile("MyR134a|a test fluid"));
  ClearCalcError();
  std::unique_ptr<TSubstanceBase> object(CreatePropertyObject(row));
  auto* fluid = dynamic_cast<TMartinHouSubstance*>(object.get());
  ASSERT_NE(fluid, nullptr);
  ASSERT_EQ(CalcErrorCode, 0);
  ASSERT_NE(fluid->Coefficients, nullptr);
  EXPECT_EQ(fluid->FluidNumber, row);
  EXPECT_EQ(fluid->MolarMass(), static_cast<Extended>(102.03));
  EXPECT_EQ(fluid->IsBlend, 0);
  EXPECT_EQ(fluid->PlotPHigh, 0);
  EXPECT_EQ(fluid->PlotTLow, -999);
  const MartinHouCoefRecord& r = *LoadMartinHouCoefficients(9);
  for (int i = 1; i <= 44; ++i) EXPECT_EQ((*fluid->Coefficients)[i], r[i]) << i;
  EXPECT_EQ((*fluid->Coefficients)[0], 102.03);
  EXPECT_EQ((*fluid->Coefficients)[kMhConductivityBlock + 12], r[kMhConductivityBlock + 12]);
}

// Two objects of one fluid: the file is read once (the second object is
// made after the file is gone) and both share record, molar mass and flag.
TEST_F(MartinHouFileTest, TheFileIsReadOnce) {
  const int32_t row = Register("once.MHE", PlainFile("OnceFluid"));
  std::unique_ptr<TSubstanceBase> first(CreatePropertyObject(row));
  ASSERT_EQ(CalcErrorCode, 0);
  fs::remove(dir_ / "once.MHE");
  std::unique_ptr<TSubstanceBase> second(CreatePropertyObject(row));
  ASSERT_EQ(CalcErrorCode, 0);
  auto* a = dynamic_cast<TMartinHouSubstance*>(first.get());
  auto* b = dynamic_cast<TMartinHouSubstance*>(second.get());
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(a->Coefficients, b->Coefficients);
  EXPECT_EQ(a->MolarMass(), b->MolarMass());
  EXPECT_EQ(a->IsBlend, b->IsBlend);
}

// A plain file whose 45th value is positive is still a pure fluid: the
// equation of state must not read dew-pressure fits the file never gave,
// and every object of it gets the same blend flag 0.
TEST_F(MartinHouFileTest, PlainFileWithBlendValueIsNotABlend) {
  const int32_t row = Register("odd.MHE", PlainFile("OddFluid", 1.0));
  std::unique_ptr<TSubstanceBase> first(CreatePropertyObject(row));
  std::unique_ptr<TSubstanceBase> second(CreatePropertyObject(row));
  ASSERT_EQ(CalcErrorCode, 0);
  auto* a = dynamic_cast<TMartinHouSubstance*>(first.get());
  auto* b = dynamic_cast<TMartinHouSubstance*>(second.get());
  EXPECT_EQ(a->IsBlend, 0);
  EXPECT_EQ(b->IsBlend, 0);
  EXPECT_EQ((*a->Coefficients)[kMhBlendValue], 0);
}

// Read errors: 336 with the name line and the line counted from it.
TEST_F(MartinHouFileTest, ReadErrorsNameTheLine) {
  struct Case {
    const char* label;
    std::string text;
    const char* line;
  };
  std::string badFifth = PlainFile("BadFluid");
  // The fifth line of the file is the third after the two comments.
  const size_t at = badFifth.find("\n0\n");
  badFifth.replace(at, 3, "\nx1\n");
  std::string shortFile = PlainFile("ShortFluid");
  shortFile.resize(shortFile.rfind('\n'));
  const Case cases[] = {
      {"bad number on line 3", badFifth, "3"},
      {"count line without an integer", BlendFile("CountFluid", "seven", 0), "48"},
      {"count above 11", BlendFile("BigCount", "12", 12), "48"},
      {"fractional count", BlendFile("HalfCount", "2.5", 2), "48"},
      {"file ends early", shortFile, "73"},
  };
  int k = 0;
  for (const Case& c : cases) {
    const int32_t row = Register("bad" + std::to_string(k++) + ".MHE", c.text);
    ClearCalcError();
    std::unique_ptr<TSubstanceBase> object(CreatePropertyObject(row));
    EXPECT_EQ(CalcErrorCode, kMsgReadErrorOnLine) << c.label;
    EXPECT_EQ(MessageArgs[1], c.text.substr(c.text.find(SubstanceCatalog[static_cast<size_t>(row)].Name),
                                            SubstanceCatalog[static_cast<size_t>(row)].Name.size()))
        << c.label;
    EXPECT_EQ(MessageArgs[2], c.line) << c.label;
    auto* fluid = dynamic_cast<TMartinHouSubstance*>(object.get());
    ASSERT_NE(fluid, nullptr);
    EXPECT_EQ(fluid->Coefficients, nullptr) << c.label;
  }
}

// The blend layout: paired vapour-pressure lines, the group of n values
// from field 55 on, the transport blocks after it; fields 45..47 set.
TEST_F(MartinHouFileTest, BlendLayoutFillsTheGroup) {
  for (int n : {0, 7, 11}) {
    const int32_t row = Register("blend" + std::to_string(n) + ".MHE", BlendFile("Blend" + std::to_string(n), std::to_string(n), n));
    ClearCalcError();
    std::unique_ptr<TSubstanceBase> object(CreatePropertyObject(row));
    ASSERT_EQ(CalcErrorCode, 0) << n;
    auto* fluid = dynamic_cast<TMartinHouSubstance*>(object.get());
    ASSERT_NE(fluid->Coefficients, nullptr);
    const MartinHouCoefRecord& r = *fluid->Coefficients;
    EXPECT_EQ(fluid->IsBlend, 1);
    EXPECT_EQ(r[kMhBlendValue], 1.0);
    EXPECT_EQ(r[46], 0);
    EXPECT_EQ(r[47], 0);
    EXPECT_EQ(r[kMhDP1], r[kMhVP1]);
    for (int i = 0; i < 11; ++i) EXPECT_EQ(r[55 + i], i < n ? i + 1 : 0) << n << " " << i;
    EXPECT_EQ(r[kMhViscosityBlock], 0.5);
    EXPECT_EQ(r[kMhConductivityBlock + 12], 0.5);
    EXPECT_EQ(r[0], 102.03);
  }
}

// R407C's record (fluid 21) in the blend layout, with R134a's transport
// blocks so that the correlations cover the temperatures used.
std::string R407CBlendFile() {
  const MartinHouCoefRecord& r = *LoadMartinHouCoefficients(21);
  const MartinHouCoefRecord& t = *LoadMartinHouCoefficients(9);
  std::string text = "UserR407C\n86.202\n400\n";
  for (int i = 1; i <= 7; ++i) text += Number(r[i]) + "\n";
  for (int i = 0; i <= 5; ++i) text += Number(r[8 + i]) + " " + Number(r[48 + i]) + "\n";
  for (int i = 14; i <= 44; ++i) text += Number(r[i]) + "\n";
  text += "7\n";
  for (int i = 55; i <= 61; ++i) text += Number(r[i]) + "\n";
  for (int i = 0; i < 13; ++i) text += Number(t[kMhViscosityBlock + i]) + "\n";
  for (int i = 0; i < 13; ++i) text += Number(t[kMhConductivityBlock + i]) + "\n";
  return text;
}

// A user blend just inside its bubble point (x = 0.0005 passes the
// quality test): the pressure lies between the dew and the bubble
// pressure, so its transport properties are refused with 207. The
// built-in R407C has no such test.
TEST_F(MartinHouFileTest, UserBlendBetweenDewAndBubbleIsTwoPhase) {
  DocumentSettings.UnitSystem = 0;
  DocumentSettings.AbsoluteTemperature = 1;
  DocumentSettings.PressureUnit = 0;
  DocumentSettings.EnergyUnit = 1;
  DocumentSettings.MolarBasis = 0;
  UnitConversionEnabled = true;
  const int32_t row = Register("blend407.MHE", R407CBlendFile());
  std::unique_ptr<TSubstanceBase> user(CreatePropertyObject(row));
  std::unique_ptr<TSubstanceBase> builtin(CreatePropertyObject(FindSubstanceRow("R407C")));
  ASSERT_EQ(CalcErrorCode, 0);
  for (auto op : {&TSubstanceBase::Viscosity, &TSubstanceBase::Conductivity}) {
    for (TSubstanceBase* object : {user.get(), builtin.get()}) {
      object->ArgCount = 2;
      object->ArgKind[1] = 1;
      object->ArgKind[2] = 7;
      TPropertyArgumentRecord a;
      a.Value[1] = 280;
      a.Value[2] = 0.0005L;
      ClearCalcError();
      (object->*op)(a);
      if (object == user.get()) {
        EXPECT_EQ(CalcErrorCode, kMsgTransportTwoPhase);
      } else {
        EXPECT_EQ(CalcErrorCode, 0);
      }
    }
  }
}

// A file gone after registration: 355 with the message composed, and
// again at the next use.
TEST_F(MartinHouFileTest, MissingFileReportsEveryTime) {
  const int32_t row = Register("gone.MHE", PlainFile("GoneFluid"));
  fs::remove(dir_ / "gone.MHE");
  for (int attempt = 0; attempt < 2; ++attempt) {
    ClearCalcError();
    MessageText.clear();
    std::unique_ptr<TSubstanceBase> object(CreatePropertyObject(row));
    EXPECT_EQ(CalcErrorCode, kMsgFileReadIOError) << attempt;
    EXPECT_EQ(MessageArgs[2], (dir_ / "gone.MHE").string());
    EXPECT_NE(MessageText.find((dir_ / "gone.MHE").string()), std::string::npos) << MessageText;
  }
}

}  // namespace
}  // namespace voq

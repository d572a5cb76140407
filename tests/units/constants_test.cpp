#include "units/constants.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "model/document_settings.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "solver/evaluator.h"

namespace voq {
namespace {

// CODATA 2018 recommended values (NIST, physics.nist.gov/cuu/Constants);
// English values from the exact definitions of NIST SP 811: ft = 0.3048 m,
// Btu_IT/(lb*degF) = 4.1868 kJ/(kg*K).
TEST(ShippedConstants, HaveTheirCodataValuesInBothSystems) {
  const int32_t g = FindConstantPosition("G#");
  const int32_t r = FindConstantPosition("r#");
  ASSERT_GE(g, 0);
  ASSERT_GE(r, 0);
  const TConstantRecord& gc = ConstantsList[static_cast<size_t>(g)];
  const TConstantRecord& rc = ConstantsList[static_cast<size_t>(r)];
  EXPECT_EQ(gc.SIValue, 9.80665L);
  EXPECT_EQ(gc.SIUnits, "m/s^2");
  EXPECT_NEAR(static_cast<double>(gc.EnglishValue), 9.80665 / 0.3048, 1e-12);
  EXPECT_EQ(gc.EnglishValueText, "3.217405E+01");
  EXPECT_EQ(rc.SIValue, 8.314462618L);
  EXPECT_NEAR(static_cast<double>(rc.EnglishValue), 8.314462618 / 4.1868, 1e-12);
  EXPECT_FALSE(gc.EnglishConversionFailed);
  DocumentSettings.UnitSystem = 1;
  EXPECT_EQ(CurrentConstantUnits(gc), "ft/s^2");
  DocumentSettings.UnitSystem = 0;
  // Loaded sorted by description.
  for (size_t j = 1; j < ConstantsList.size(); ++j) {
    EXPECT_LE(CompareConstantsByDescription(ConstantsList[j - 1], ConstantsList[j], 1), 0);
  }
  EXPECT_EQ(CalcErrorCode, 0);
}

class ConstantsFileTest : public ::testing::Test {
 protected:
  void SetUp() override { SetPlatform(&platform_); }
  void TearDown() override { std::filesystem::remove(path_); }
  int32_t Load(const std::string& content) {
    std::ofstream(path_, std::ios::binary) << content;
    return LoadConstantsFrom(path_.string());
  }
  // One file per test process: ctest runs the tests of this fixture side by side.
  std::filesystem::path path_ =
      std::filesystem::temp_directory_path() / ("voq_constants_test_" + std::to_string(::getpid()) + ".txt");
  ScriptedPlatform platform_;
};

TEST_F(ConstantsFileTest, FormatErrorsStopAndKeepWhatWasRead) {
  EXPECT_EQ(Load("//comment\nb#\tBee\t2\tm\t3\tft\n\na#\tAy\t1\tm\t1\tm\n"), kMsgConstantsFileFormat);
  ASSERT_EQ(ConstantsList.size(), 1u);
  EXPECT_EQ(ConstantsList[0].Name, "b#");
  ASSERT_FALSE(platform_.alerts.empty());
  EXPECT_EQ(platform_.alerts.back().text,
            "Format error encountered while reading the Constants.Txt file.  The offending line is ");
  EXPECT_EQ(Load("z#\tZed\t1\tm\t1\tm\nbad\tB\t1\tm\t1\tm\n"), kMsgConstantNameForm);
  EXPECT_EQ(ConstantsList.size(), 1u);
  EXPECT_EQ(Load("z#\tZed\tx1\tm\t1\tm\n"), kMsgConstantsFileFormat);
  EXPECT_EQ(Load("z#\tZed\t1\tm\n"), kMsgConstantsFileFormat);
}

TEST_F(ConstantsFileTest, FieldsAreTrimmedAndSortedByDescription) {
  ASSERT_EQ(Load("  b#\t Second  \t 2 \t m \t 3 \t ft \na#\tFirst\t1\tkg\t2.2\tlbm\n"), 0);
  ASSERT_EQ(ConstantsList.size(), 2u);
  EXPECT_EQ(ConstantsList[0].Name, "a#");
  EXPECT_EQ(ConstantsList[1].Description, "Second");
  EXPECT_EQ(ConstantsList[1].SIUnits, "m");
  EXPECT_EQ(ConstantsList[1].EnglishUnits, "ft");
  EXPECT_EQ(ConstantsList[1].EnglishValue, 3);
  SortConstants(1, -1);
  EXPECT_EQ(ConstantsList[0].Name, "b#");
  SortConstants(2, 1);
  EXPECT_EQ(ConstantsList[0].Name, "a#");
}

// A "?" whose conversion fails flags its own constant only: the error must
// not stay set, or every later "?" line would return at once with no factor.
TEST_F(ConstantsFileTest, FailedConversionIsFlaggedAndDoesNotSpread) {
  ASSERT_EQ(Load("a#\tA\t1\tm\t?\tkg\nb#\tB\t2\tm\t?\tft\n"), 0);
  ASSERT_EQ(ConstantsList.size(), 2u);
  EXPECT_TRUE(ConstantsList[0].EnglishConversionFailed);
  EXPECT_TRUE(IsBlank(ConstantsList[0].EnglishValue));
  EXPECT_FALSE(ConstantsList[1].EnglishConversionFailed);
  EXPECT_NEAR(static_cast<double>(ConstantsList[1].EnglishValue), 2 / 0.3048, 1e-12);
  EXPECT_EQ(CalcErrorCode, 0);
  DocumentSettings.UnitSystem = 1;
  EXPECT_TRUE(CurrentConstantValueMissing(ConstantsList[0]));
  // Evaluated in English units, the flagged constant is an error naming
  // it, not a made-up value.
  Extended value = 0;
  EXPECT_TRUE(Environment().BuiltinConstantValue(0, value));
  EXPECT_EQ(CalcErrorCode, kMsgUnexpectedEvaluationError);
  EXPECT_EQ(MessageArgs[1], "a#");
  CalcErrorCode = 0;
  EXPECT_TRUE(Environment().BuiltinConstantValue(1, value));
  EXPECT_NEAR(static_cast<double>(value), 2 / 0.3048, 1e-12);
  DocumentSettings.UnitSystem = 0;
  EXPECT_FALSE(CurrentConstantValueMissing(ConstantsList[0]));
  EXPECT_TRUE(Environment().BuiltinConstantValue(0, value));
  EXPECT_EQ(value, 1);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_FALSE(Environment().BuiltinConstantValue(2, value));
}

}  // namespace
}  // namespace voq

#include "core/number_format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"

namespace voq {
namespace {

class NumberFormatTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDecimalSeparator('.');
    SignificantDigits = 4;
    platform.ticks = 100000;
    LastBeepTicks = 0;
  }
  void TearDown() override {
    SetDecimalSeparator('.');
    SignificantDigits = 4;
  }
  ScriptedPlatform platform;
  ScopedPlatform scoped{platform};
};

struct AutoCase {
  Extended value;
  const char* text;
};

// The automatic style with 4 significant digits, rounded by hand; the digit
// counts follow from trunc(4 - ln|x| / 2.3025) (12345.678: trunc(-0.092) = 0).
const std::vector<AutoCase> kFourDigitCases = {
    {0, "0"},
    {2.5L, "2.5"},
    {1234.5678L, "1235"},
    {12345.678L, "12346"},
    {123456, "123456"},
    {0.0012346L, "0.001235"},
    {1234567, "1.235E+06"},   // above 1E6
    {1.234E-07L, "1.234E-07"},  // below 1E-6
    {1E6L, "1000000"},        // exactly 1E6 stays fixed
    {1000000.5L, "1.000E+06"},
    {-2.5L, "-2.5"},
    {1000, "1000"},
    {InfinityValue, "infinity"},
    {-InfinityValue, "-infinity"},
};

TEST_F(NumberFormatTest, AutomaticStyleWithFourDigits) {
  for (const AutoCase& c : kFourDigitCases) {
    EXPECT_EQ(FormatValue(TDisplayFormat{3, 9}, c.value), c.text) << double(c.value);
  }
}

TEST_F(NumberFormatTest, AutomaticStyleUnderCommaSeparator) {
  SetDecimalSeparator(',');
  for (const AutoCase& c : kFourDigitCases) {
    std::string expected = c.text;
    if (auto p = expected.find('.'); p != std::string::npos) expected[p] = ',';
    EXPECT_EQ(FormatValue(TDisplayFormat{3, 0}, c.value), expected) << double(c.value);
  }
}

TEST_F(NumberFormatTest, OtherStylesGoToRealToStr) {
  EXPECT_EQ(FormatValue(TDisplayFormat{2, 3}, 12345.678L), "1.235E+04");
  EXPECT_EQ(FormatValue(TDisplayFormat{1, 2}, 12345.678L), "12345.68");
  // Style 1 keeps its zeros; only the automatic style drops them.
  EXPECT_EQ(FormatValue(TDisplayFormat{1, 3}, 2.5L), "2.500");
  for (uint8_t style : {0, 1, 2, 7}) {
    EXPECT_EQ(FormatValue(TDisplayFormat{style, 2}, InfinityValue), "infinity");
  }
}

TEST_F(NumberFormatTest, OneSignificantDigitKeepsOnlyTheFirstMantissaDigit) {
  SignificantDigits = 1;
  // 1.9E7 converted with two digits, the second deleted (as RealToStr does).
  EXPECT_EQ(FormatValue(TDisplayFormat{3, 0}, 1.9E7L), "1E+07");
}

TEST_F(NumberFormatTest, ChosenStyleAndDigits) {
  struct Case {
    Extended value;
    uint8_t style;
    int16_t digits;
  };
  // Hand calculation of trunc(4 - ln|x| / 2.3025) and the range rules.
  const std::vector<Case> safe = {
      {0, 1, 2},        {12345.678L, 1, 0}, {123456, 1, 0},     {0.0012346L, 1, 6},
      {2.5L, 1, 3},     {1234567, 0, 3},    {1.234E-7L, 0, 3},  {-0.5L, 1, 4},
  };
  for (const Case& c : safe) {
    TDisplayFormat f{3, 0};
    ChooseNumberDigitsSafe(f, 4, c.value);
    EXPECT_EQ(f.Style, c.style) << double(c.value);
    EXPECT_EQ(f.Digits, c.digits) << double(c.value);
  }
  // The property library's chooser: no switch to exponential above, and small
  // values below 10^(sd-1) with too many digits get sd + 1.
  const std::vector<Case> plain = {
      {0, 1, 2},   {1E7L, 1, 0},  {0.0012346L, 1, 5}, {5E-9L, 0, 3}, {2.5L, 1, 3},
  };
  for (const Case& c : plain) {
    TDisplayFormat f{3, 0};
    ChooseNumberDigits(f, 4, c.value);
    EXPECT_EQ(f.Style, c.style) << double(c.value);
    EXPECT_EQ(f.Digits, c.digits) << double(c.value);
  }
}

TEST_F(NumberFormatTest, ReadEditNumberModeFive) {
  struct Case {
    const char* text;
    bool ok;
    Extended value;
  };
  const std::vector<Case> cases = {
      {"0", false, 0}, {"1", false, 0}, {"abc", false, 0}, {"0.5", true, 0.5L}, {"", false, 0},
  };
  for (const Case& c : cases) {
    platform.ticks += 2000;  // past the beep throttle
    const int beepsBefore = platform.beeps;
    Extended value = -7;
    bool ok = !c.ok;
    ReadEditNumber(c.text, value, ok, 0, 1, 5);
    EXPECT_EQ(ok, c.ok) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
    EXPECT_EQ(platform.beeps - beepsBefore, c.ok ? 0 : 1) << c.text;
  }
}

TEST_F(NumberFormatTest, ReadEditNumberModes) {
  struct Case {
    int32_t mode;
    const char* text;
    bool ok;
  };
  const std::vector<Case> cases = {
      {0, "-1E10", true}, {1, "0", false},  {1, "0.1", true},  {2, "0", true},
      {3, "1", true},     {6, "1.01", false}, {4, "1", true},  {4, "1.5", false},
      {65, "0", true},    {65, "1", false}, {-1, "0.5", false},
  };
  for (const Case& c : cases) {
    Extended value = 0;
    bool ok = !c.ok;
    ReadEditNumber(c.text, value, ok, 0, 1, c.mode);
    EXPECT_EQ(ok, c.ok) << "mode " << c.mode << " text " << c.text;
  }
}

}  // namespace
}  // namespace voq

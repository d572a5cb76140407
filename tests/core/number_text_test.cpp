#include "core/number_text.h"

#include <gtest/gtest.h>

#include <array>
#include <clocale>
#include <cmath>
#include <limits>
#include <vector>

#include "comma_locale.h"
#include "core/calc_state.h"
#include "core/extended.h"
#include "core/locale_settings.h"
#include "core/string_constants.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"

namespace voq {
namespace {

class NumberTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDecimalSeparator('.');
    SavedDecimalSeparator = '.';
    CalcErrorCode = 0;
    ResetStringConstants();
  }
  void TearDown() override {
    SetDecimalSeparator('.');
    SavedDecimalSeparator = '.';
    CalcErrorCode = 0;
  }
  ScriptedPlatform platform;
  ScopedPlatform scoped{platform};
};

std::array<uint8_t, 10> Packed(Extended x) {
  std::array<uint8_t, 10> bytes{};
  PackExtended(bytes.data(), x);
  return bytes;
}

// The stored patterns: mantissa little-endian, then the exponent word.
TEST(SpecialValuesTest, BlankAndInfinityPackToTheirExactBits) {
  EXPECT_EQ(Packed(BlankValue),
            (std::array<uint8_t, 10>{0x72, 0x50, 0x17, 0x77, 0x18, 0x75, 0x9D, 0xA7, 0xE3, 0x73}));
  EXPECT_EQ(Packed(InfinityValue),
            (std::array<uint8_t, 10>{0x4F, 0x70, 0x44, 0x98, 0xE9, 0x68, 0xC8, 0xA7, 0xE3, 0x73}));
  EXPECT_EQ(Packed(-InfinityValue),
            (std::array<uint8_t, 10>{0x4F, 0x70, 0x44, 0x98, 0xE9, 0x68, 0xC8, 0xA7, 0xE3, 0xF3}));
  for (Extended x : {BlankValue, InfinityValue, -InfinityValue}) {
    const auto bytes = Packed(x);
    const Extended back = UnpackExtended(bytes.data());
    EXPECT_EQ(back, x);
    EXPECT_EQ(Packed(back), bytes);
  }
}

// 10^3999 read from text is the nearest extended value, whose mantissa ends
// in ...704E; InfinityValue is one unit in the last place above it.
TEST_F(NumberTextTest, TenToThe3999ReadsOneUlpBelowInfinity) {
  Extended x = 0;
  int32_t errorPos = -1;
  StrToReal("1E3999", x, errorPos);
  EXPECT_EQ(errorPos, 0);
  EXPECT_EQ(Packed(x), Packed(MakeExtended(0x73E3, 0xA7C868E99844704EULL)));
  EXPECT_NE(x, InfinityValue);
  EXPECT_EQ(std::nextafter(x, InfinityValue * 2), InfinityValue);
  StrToReal("9.99E+3998", x, errorPos);
  EXPECT_TRUE(IsBlank(x));
}

TEST_F(NumberTextTest, StrToRealErrorPositions) {
  struct Case {
    const char* text;
    int32_t errorPos;
    Extended value;
  };
  const std::vector<Case> cases = {
      {"12", 0, 12},      {"  -1.5", 0, -1.5L}, {".5", 0, 0.5L},   {"5.", 0, 5},
      {"+2e3", 0, 2000},  {"1E-2", 0, 0.01L},   {"", 1, 0},        {"abc", 1, 0},
      {"1x", 2, 0},       {"1 ", 2, 0},         {"1E", 3, 0},      {"1E+", 4, 0},
      {"-", 2, 0},        {".", 2, 0},          {"1.2.3", 4, 0},   {"1,5", 2, 0},
      {"1E9999", 1, 0},  // beyond the 10-byte range
  };
  for (const Case& c : cases) {
    Extended x = 0;
    int32_t errorPos = -1;
    StrToReal(c.text, x, errorPos);
    EXPECT_EQ(errorPos, c.errorPos) << '"' << c.text << '"';
    if (c.errorPos == 0) {
      EXPECT_EQ(x, c.value) << c.text;
    }
  }
}

TEST_F(NumberTextTest, TryStrToRealLeavesValueOnFailure) {
  Extended x = 7;
  EXPECT_FALSE(TryStrToReal("x", x));
  EXPECT_EQ(x, 7);
  EXPECT_TRUE(TryStrToReal("3.25", x));
  EXPECT_EQ(x, 3.25L);
}

TEST_F(NumberTextTest, ParseRealCases) {
  struct Case {
    const char* text;
    bool ok;
    Extended value;
  };
  const std::vector<Case> cases = {
      {"inf", true, InfinityValue},    {"Infinity", true, InfinityValue},
      {"INFX", true, InfinityValue},   {"-inf", true, -InfinityValue},
      {"", false, BlankValue},         {"5.", true, 5},
      {"1 000", true, 1000},           {"  2.5e1 ", true, 25},
      {"+inf", false, BlankValue},     {"1..", false, BlankValue},
  };
  for (const Case& c : cases) {
    bool ok = !c.ok;
    const Extended x = ParseReal(c.text, ok);
    EXPECT_EQ(ok, c.ok) << c.text;
    EXPECT_EQ(Packed(x), Packed(c.value)) << c.text;
  }
}

TEST_F(NumberTextTest, CommaSeparatorReadsAndWrites) {
  SetDecimalSeparator(',');
  EXPECT_EQ(ArgumentSeparator, ';');
  Extended x = 0;
  int32_t errorPos = -1;
  StrToReal("1,5", x, errorPos);
  EXPECT_EQ(errorPos, 0);
  EXPECT_EQ(x, 1.5L);
  bool ok = false;
  EXPECT_EQ(ParseReal("5,", ok), 5);
  EXPECT_TRUE(ok);
  EXPECT_EQ(RealToStr(TDisplayFormat{2, 3}, 12345.678L), "1,235E+04");
  EXPECT_EQ(RealToStr(TDisplayFormat{1, 2}, 12345.678L), "12345,68");
}

// A desktop toolkit switches the process to the user's locale; the number
// text must still follow DecimalSeparator alone.
TEST_F(NumberTextTest, ProcessLocaleDoesNotChangeNumberText) {
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  const char* commaLocale = voq::testing::SwitchToCommaLocale();
  if (!commaLocale) GTEST_SKIP() << "no locale with a decimal comma installed";
  const std::string text = RealToStr(TDisplayFormat{2, 3}, 12345.678L);
  const std::string fixed = RealToStr(TDisplayFormat{1, 2}, 2.5L);
  Extended x = 0;
  const bool ok = TryStrToReal("1.5", x);
  std::setlocale(LC_ALL, previous.c_str());
  EXPECT_EQ(text, "1.235E+04");
  EXPECT_EQ(fixed, "2.50");
  EXPECT_TRUE(ok);
  EXPECT_EQ(x, 1.5L);
}

TEST_F(NumberTextTest, RealToStrForms) {
  struct Case {
    uint8_t style;
    int16_t digits;
    Extended value;
    const char* text;
  };
  // Hand-rounded decimal forms of each value.
  const std::vector<Case> cases = {
      {2, 3, 12345.678L, "1.235E+04"},
      {2, 0, 12345.678L, "1E+04"},
      {0, 0, 1000, "1E+03"},
      {0, 0, 19000, "1E+04"},  // two digits converted, the second dropped
      {1, 2, 12345.678L, "12345.68"},
      {1, 0, 0.25L, "0"},
      {1, 3, -2.5L, "-2.500"},
      {0, 1, 1.5E123L, "1.5E+123"},
      {0, 2, 1E-200L, "1.00E-200"},
      {2, 1, -0.00012L, "-1.2E-04"},
      {0, 2, BlankValue, "9.99E+3998"},
      {0, 40, 1.0L / 3, "3.33333333333333333E-01"},  // at most 18 digits
      {0, -5, 2.5L, "2.5E+00"},                       // at least 2 digits
      {1, 2, 1E40L, "1.000000000000E+0040"},          // fixed gives way at 1E36
      {0, 3, InfinityValue, "infinity"},
      {1, 2, InfinityValue, "infinity"},
      {2, 5, -InfinityValue, "-infinity"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RealToStr(TDisplayFormat{c.style, c.digits}, c.value), c.text)
        << "style " << int(c.style) << " digits " << c.digits;
  }
}

TEST_F(NumberTextTest, RealToStrStringConstantStyle) {
  const int32_t abc = StringConstIndex("abc");
  EXPECT_EQ(abc, 2);
  EXPECT_EQ(RealToStr(TDisplayFormat{4, 0}, 2.2L), "abc");
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(RealToStr(TDisplayFormat{4, 0}, 1), "??");
  EXPECT_EQ(CalcErrorCode, 0);
  for (Extended bad : {Extended(3), Extended(-1), InfinityValue}) {
    CalcErrorCode = 0;
    EXPECT_EQ(RealToStr(TDisplayFormat{4, 0}, bad), "??");
    EXPECT_EQ(CalcErrorCode, 302);
  }
}

TEST_F(NumberTextTest, RoundRealHalfGoesUp) {
  const std::vector<std::pair<Extended, Extended>> cases = {
      {0.5L, 1},  {-0.5L, 0}, {1.4999L, 1}, {2.5L, 3}, {3.5L, 4}, {-2.5L, -2}, {-2.7L, -3},
      // The largest value below one half must not round up (x + 0.5 would).
      {std::nextafter(0.5L, 0.0L), 0},
  };
  for (const auto& [x, rounded] : cases) EXPECT_EQ(RoundReal(x), rounded) << double(x);
}

TEST_F(NumberTextTest, CompareRealsCodes) {
  EXPECT_EQ(CompareReals(1, 2), 1);
  EXPECT_EQ(CompareReals(2, 1), 0);
  EXPECT_EQ(CompareReals(3, 3), 2);
  EXPECT_EQ(CompareReals(std::numeric_limits<Extended>::quiet_NaN(), 1), 2);
}

TEST_F(NumberTextTest, WholeNumbers) {
  int32_t n = -1;
  bool ok = false;
  StrToLongSafe("12.7", n, ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(n, 12);
  StrToLongSafe("-12.7", n, ok);
  EXPECT_EQ(n, -12);
  for (const char* bad : {"abc", "3E9", ""}) {
    StrToLongSafe(bad, n, ok);
    EXPECT_FALSE(ok) << bad;
    EXPECT_EQ(n, 0);
  }
  std::string text;
  IntToShort(-123456, text, 4);
  EXPECT_EQ(text, "-123");
  EXPECT_EQ(TruncReal(-2.9L), -2);
  EXPECT_EQ(TruncReal(1E30L), std::numeric_limits<int64_t>::max());
  EXPECT_EQ(SignOf(0), 1);
  EXPECT_EQ(SignOf(-1E-300L), -1);
  EXPECT_EQ(SignReal(-0.0L), 1.0L);
}

TEST_F(NumberTextTest, IsValidRealRejectsNotANumber) {
  Extended x = std::numeric_limits<Extended>::signaling_NaN();
  EXPECT_FALSE(IsValidReal(x));
  EXPECT_EQ(x, 0.999L);
  x = std::numeric_limits<Extended>::quiet_NaN();
  EXPECT_FALSE(IsValidReal(x));
  EXPECT_EQ(x, 0.999L);
  x = -5;
  EXPECT_TRUE(IsValidReal(x));
  EXPECT_EQ(x, -5);
}

TEST_F(NumberTextTest, LocalizeDecimalSeparator) {
  std::string text = "f(1,5;2): g(a,b)";
  LocalizeDecimalSeparator(text);  // separators equal: nothing to do
  EXPECT_EQ(text, "f(1,5;2): g(a,b)");

  SavedDecimalSeparator = ',';  // text written under a comma, read under "."
  text = "x=f(1,5;2): y=g(a,b;-,5)";
  LocalizeDecimalSeparator(text);
  EXPECT_EQ(text, "x=f(1.5,2); y=g(a,b,-.5)");

  SetDecimalSeparator(',');
  SavedDecimalSeparator = '.';  // text written under ".", read under a comma
  text = "x=f(1.5,2); y=a.b+.5";
  LocalizeDecimalSeparator(text);
  EXPECT_EQ(text, "x=f(1,5;2): y=a.b+,5");
}

}  // namespace
}  // namespace voq

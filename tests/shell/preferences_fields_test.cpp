#include "shell/preferences_fields.h"

#include <gtest/gtest.h>

#include <string>

#include "core/locale_settings.h"

namespace voq {
namespace {

// Plot units by hand: at 96 pixels per inch one inch is 96 x 0.875 = 84
// units; a centimetre is 84 / 2.54 = 33.0709 units.
TEST(PreferencesFieldsTest, PlotLengthsBecomePlotUnits) {
  struct Case {
    const char* text;
    bool si;
    int32_t ppi;
    bool accepted;
    int32_t units;
  } const cases[] = {
      {"6", false, 96, true, 504},           // 84 x 6
      {"15", true, 96, true, 496},           // 84 x 15 / 2.54 = 496.06
      {" 3.57 ", false, 96, true, 300},      // 299.88, blanks ignored
      {"6", false, 120, true, 630},          // 105 x 6
      {"0.5", false, 96, false, 0},          // 42: below 50
      {"0.6", false, 96, true, 50},          // 50.4: the smallest that passes
      {"381", false, 96, false, 0},          // 32004: above 32000
      {"abc", false, 96, false, 0},
      {"", false, 96, false, 0},
      {"6 in", false, 96, false, 0},
      {"1E30", false, 96, false, 0},         // bounded, not overflowed
      {"-6", false, 96, false, 0},
  };
  for (const Case& c : cases) {
    int32_t units = 7;
    const bool accepted = ReadPlotLength(c.text, c.si, c.ppi, units);
    EXPECT_EQ(accepted, c.accepted) << c.text;
    EXPECT_EQ(units, c.accepted ? c.units : 7) << c.text;
  }
  EXPECT_EQ(PlotUnitsOfLength(380.95L, false, 96), 32000);
}

TEST(PreferencesFieldsTest, PlotUnitsShowInTheDisplayedUnitWithTwoDecimals) {
  const char saved = DecimalSeparator;
  DecimalSeparator = '.';
  EXPECT_EQ(LengthText(LengthOfPlotUnits(504, false, 96)), "6.00");
  EXPECT_EQ(LengthText(LengthOfPlotUnits(496, true, 96)), "15.00");  // 496 / 84 x 2.54 = 14.998
  EXPECT_EQ(LengthText(LengthOfPlotUnits(300, false, 96)), "3.57");
  EXPECT_STREQ(LengthUnitLabel(false), "in");
  EXPECT_STREQ(LengthUnitLabel(true), "cm");
  // Every stored size survives being shown and read back unchanged.
  for (bool si : {false, true}) {
    for (int32_t units = 50; units <= 32000; units += 37) {
      int32_t back = 0;
      ASSERT_TRUE(ReadPlotLength(LengthText(LengthOfPlotUnits(units, si, 96)), si, 96, back));
      EXPECT_EQ(back, units) << units << (si ? " SI" : " English");
    }
  }
  DecimalSeparator = ',';
  EXPECT_EQ(LengthText(6), "6,00");
  int32_t units = 0;
  EXPECT_TRUE(ReadPlotLength("6,00", false, 96, units));
  EXPECT_EQ(units, 504);
  DecimalSeparator = saved;
}

TEST(PreferencesFieldsTest, PlotSpinStepsStayBetween50And32000) {
  EXPECT_EQ(StepPlotUnits(300, 1), 301);
  EXPECT_EQ(StepPlotUnits(300, -1), 299);
  EXPECT_EQ(StepPlotUnits(50, -1), 50);
  EXPECT_EQ(StepPlotUnits(32000, 1), 32000);
  EXPECT_EQ(StepPlotUnits(10, 0), 50);  // a damaged stored value is brought into range
}

// The tab width is stored as hundredths of an inch x pixels per inch: at 96
// pixels per inch 0.2 in is 1920 and 1900 is 1900 / 9600 x 2.54 = 0.503 cm.
TEST(PreferencesFieldsTest, TabWidthDefaultFloorAndStoredUnit) {
  EXPECT_EQ(DefaultTabWidth(false, 96), 1920);
  EXPECT_EQ(DefaultTabWidth(true, 96), 1900);
  EXPECT_EQ(LengthText(TabWidthShown(0, false, 96)), "0.20");
  EXPECT_EQ(LengthText(TabWidthShown(0, true, 96)), "0.50");
  // Another density still shows the same widths.
  EXPECT_EQ(LengthText(TabWidthShown(0, false, 120)), "0.20");
  EXPECT_EQ(LengthText(TabWidthShown(0, true, 144)), "0.50");
  EXPECT_EQ(LengthText(TabWidthShown(4800, false, 96)), "0.50");

  struct Case {
    const char* text;
    bool si;
    bool accepted;
    int16_t stored;
  } const cases[] = {
      {"0.5", false, true, 4800},   // 0.5 x 100 x 96
      {"1", true, true, 3780},      // 1 / 2.54 x 9600 = 3779.5
      {"0.1", false, true, 960},
      {"0.09", false, false, 0},    // below the floor
      {"0", false, false, 0},
      {"3.41", false, true, 32736},
      {"3.42", false, false, 0},    // 32832 does not fit the 16-bit field
      {"wide", false, false, 0},
  };
  for (const Case& c : cases) {
    int16_t stored = -5;
    EXPECT_EQ(ReadTabWidth(c.text, c.si, 96, stored), c.accepted) << c.text;
    EXPECT_EQ(stored, c.accepted ? c.stored : -5) << c.text;
  }
}

TEST(PreferencesFieldsTest, TabWidthSpinStepsByATenthNeverBelowATenth) {
  struct Case {
    Extended shown;
    int32_t steps;
    Extended expected;
  } const cases[] = {
      {0.2L, 1, 0.3L},   {0.2L, -1, 0.1L}, {0.1L, -1, 0.1L}, {0.5027L, -1, 0.4L},
      {0.5027L, 1, 0.6L}, {0.04L, 1, 0.1L}, {0.04L, -3, 0.1L}, {1.25L, 2, 1.5L},
  };
  for (const Case& c : cases) EXPECT_NEAR(double(StepTabWidth(c.shown, c.steps)), double(c.expected), 1E-12);
  // Ten steps down from 0.5 cm end at the floor.
  Extended w = TabWidthShown(0, true, 96);
  for (int i = 0; i < 10; ++i) w = StepTabWidth(w, -1);
  EXPECT_EQ(LengthText(w), "0.10");
}

TEST(PreferencesFieldsTest, AutosaveRangeAndTheTickBox) {
  struct Case {
    int32_t stored;
    bool ticked;
    int32_t minutes;
  } const cases[] = {{10, true, 10}, {0, false, 0}, {999, true, 999}, {1000, false, 0}, {-3, false, 0}};
  for (const Case& c : cases) {
    const TAutosaveField f = AutosaveFieldOf(c.stored);
    EXPECT_EQ(f.Ticked, c.ticked) << c.stored;
    EXPECT_EQ(f.Minutes, c.minutes) << c.stored;
  }
  EXPECT_EQ(AutosaveMinutesOf({true, 10}), 10);
  EXPECT_EQ(AutosaveMinutesOf({false, 10}), 0);
  EXPECT_EQ(AutosaveMinutesOf({true, 5000}), 999);
}

TEST(PreferencesFieldsTest, SmallConversions) {
  EXPECT_EQ(SpeedBarHiddenOf(false), 1);
  EXPECT_EQ(SpeedBarHiddenOf(true), 0);
  EXPECT_EQ(RecentFileCountOf(true), 8);
  EXPECT_EQ(RecentFileCountOf(false), 0);
  EXPECT_EQ(ResolutionText(0), "Default");
  EXPECT_EQ(ResolutionText(3), "600 dpi");
  EXPECT_EQ(ResolutionText(9), "1200 dpi");
  EXPECT_EQ(ResolutionText(-1), "Default");
  int32_t size = 10;
  EXPECT_TRUE(ReadAxisFontSize(" 128 ", size));
  EXPECT_EQ(size, 128);
  for (const char* bad : {"3", "129", "12.5", "", "x", "-4", "99999999999"}) {
    EXPECT_FALSE(ReadAxisFontSize(bad, size)) << bad;
    EXPECT_EQ(size, 128) << bad;
  }
}

}  // namespace
}  // namespace voq

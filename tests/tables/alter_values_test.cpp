// Altered values without a screen: the generated series (ramps to a last
// value, increments, multipliers, repeated and held patterns), the refused
// pattern whose step is undefined, clearing, and the two dialog models with
// their run ranges, macro lines and undo.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "language/export_after_run.h"
#include "tables/alter_values.h"
#include "tables/table_fixture.h"

namespace voq {
namespace {

// Reference series worked by hand from the rules: a ramp from F to S over
// the range, a constant increment, a geometric series, a ramp restarted
// every N rows, a value held N rows.
struct SeriesCase {
  const char* what;
  TAlterSeries series;
  std::vector<Extended> expected;
};

TAlterSeries Spec(int32_t a, int32_t b, Extended f, Extended s, int32_t mode, bool pattern = false,
                int32_t kind = kRepeatPattern, int32_t rows = 10) {
  TAlterSeries series;
  series.FirstRun = a;
  series.LastRun = b;
  series.First = f;
  series.Second = s;
  series.Mode = mode;
  series.Pattern = pattern;
  series.PatternKind = kind;
  series.PatternRows = rows;
  return series;
}

TEST(AlterValuesSeries, GeneratesTheHandWorkedSeries) {
  const std::vector<SeriesCase> cases = {
      {"last value 0..10 over 1..11", Spec(1, 11, 0, 10, kAlterLastValue), {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
      {"last value over one run", Spec(4, 4, 0, 10, kAlterLastValue), {0}},
      {"last run below first: one run", Spec(4, 2, 3, 10, kAlterLastValue), {3}},
      {"increment", Spec(2, 5, 1, 0.5, kAlterIncrement), {1, 1.5, 2, 2.5}},
      {"multiplier 1, 2 over 5 runs", Spec(1, 5, 1, 2, kAlterMultiplier), {1, 2, 4, 8, 16}},
      {"repeat every 3, 0 to 1 over 1..7", Spec(1, 7, 0, 1, kAlterLastValue, true, kRepeatPattern, 3),
       {0, 0.5, 1, 0, 0.5, 1, 0}},
      {"repeat every 2, multiplier 3", Spec(1, 5, 1, 3, kAlterMultiplier, true, kRepeatPattern, 2), {1, 3, 1, 3, 1}},
      // N above the last run: the step stays the entered value.
      {"repeat every 10 over 1..3", Spec(1, 3, 0, 2, kAlterLastValue, true, kRepeatPattern, 10), {0, 2, 4}},
      {"apply every 2, increment 1 from 0", Spec(1, 5, 0, 1, kAlterIncrement, true, kApplyPattern, 2),
       {0, 0, 1, 1, 2}},
      // (10 - 0) / Trunc((7 - 1) / 3) = 5 per held block.
      {"apply every 3 to last value 10", Spec(1, 7, 0, 10, kAlterLastValue, true, kApplyPattern, 3),
       {0, 0, 0, 5, 5, 5, 10}},
  };
  for (const SeriesCase& c : cases) {
    std::vector<Extended> values;
    ASSERT_TRUE(GenerateAlteredValues(c.series, values)) << c.what;
    ASSERT_EQ(values.size(), c.expected.size()) << c.what;
    for (size_t i = 0; i < values.size(); ++i) EXPECT_DOUBLE_EQ(double(values[i]), double(c.expected[i])) << c.what << " #" << i;
  }
}

TEST(AlterValuesSeries, ApplyPatternToALastValueOverTooFewRunsIsRefused) {
  std::vector<Extended> values = {42};
  EXPECT_FALSE(GenerateAlteredValues(Spec(1, 5, 0, 10, kAlterLastValue, true, kApplyPattern, 5), values));
  EXPECT_EQ(values, std::vector<Extended>{42});
  // Six runs hold one step of five.
  EXPECT_TRUE(GenerateAlteredValues(Spec(1, 6, 0, 10, kAlterLastValue, true, kApplyPattern, 5), values));
  EXPECT_DOUBLE_EQ(double(values.back()), 10.0);
}

class AlterValuesTest : public testing::TableTest {
 protected:
  void TearDown() override {
    MacroRecording = false;
    MacroText.clear();
    TableTest::TearDown();
  }
  // "Table 1" over x and y; y computed as 2 x in every run.
  TTableForm* Table(int32_t rows) {
    CompileOnly("y = 2*x");
    TTableForm* f = MakeParametric({"x", "y"}, rows);
    for (int32_t r = 1; r <= rows; ++r) FindColumn(f->Columns, 2)->SetCell(r, 2 * r);
    return f;
  }
  static TTableColumnRecord& Col(TTableForm* f, int32_t n) { return *FindColumn(f->Columns, n); }
};

TEST_F(AlterValuesTest, ColumnDialogTakesItsRunsFromTheSelection) {
  TTableForm* f = Table(11);
  TTableChgModel block(*f, Col(f, 1), "", TGridRect{1, 3, 1, 6}, "x:  Column 1");
  EXPECT_EQ(block.FirstRun, 3);
  EXPECT_EQ(block.LastRun, 6);
  TTableChgModel single(*f, Col(f, 1), "", TGridRect{1, 4, 1, 4}, "x:  Column 1");
  EXPECT_EQ(single.FirstRun, 1);
  EXPECT_EQ(single.LastRun, 11);
  // A block of another column leaves the whole column.
  TTableChgModel other(*f, Col(f, 1), "", TGridRect{2, 3, 2, 6}, "x:  Column 1");
  EXPECT_EQ(other.FirstRun, 1);
  EXPECT_EQ(other.LastRun, 11);
  EXPECT_EQ(single.HelpContext(), 172);
}

TEST_F(AlterValuesTest, ColumnDialogProposesValuesFromTheTable) {
  TTableForm* f = Table(5);
  TTableColumnRecord& y = Col(f, 2);
  y.Format = TDisplayFormat{kStyleFixed, 0};
  TTableChgModel last(*f, y, "", TGridRect{2, 1, 2, 1}, "y");
  EXPECT_EQ(last.FirstText, "2");
  EXPECT_EQ(last.SecondText, "10");
  last.ChooseMode(kAlterIncrement);
  EXPECT_EQ(last.SecondText, "2");
  last.ChooseMode(kAlterMultiplier);
  EXPECT_EQ(last.SecondText, "2");
}

TEST_F(AlterValuesTest, OkWritesEnteredValuesClearsTheRunsAndRecordsTheMacroLine) {
  TTableForm* f = Table(11);
  MacroRecording = true;
  TTableChgModel m(*f, Col(f, 1), "", TGridRect{1, 1, 1, 11}, "x:  Column 1");
  m.FirstText = "0";
  m.SecondText = "10";
  ASSERT_TRUE(m.Ok());
  for (int32_t r = 1; r <= 11; ++r) {
    EXPECT_DOUBLE_EQ(double(Col(f, 1).Cell(r)), r - 1.0);
    EXPECT_EQ(Col(f, 1).Flag(r), 1);
    // The computed y of the altered runs is stale: blanked.
    EXPECT_TRUE(IsBlank(Col(f, 2).Cell(r))) << r;
  }
  EXPECT_EQ(MacroText, "AlterValues  'Table 1'  x  Rows=1..11  First=0 Last=10\r\n");
  EXPECT_FALSE(DocumentUnchanged);
}

TEST_F(AlterValuesTest, ApplyPatternRowsAlsoClearTheComputedCells) {
  TTableForm* f = Table(5);
  TTableChgModel m(*f, Col(f, 1), "", TGridRect{1, 1, 1, 1}, "x");
  m.Mode = kAlterIncrement;
  m.Pattern = true;
  m.PatternKind = kApplyPattern;
  m.PatternRows = 2;
  m.FirstText = "0";
  m.SecondText = "1";
  ASSERT_TRUE(m.Ok());
  for (int32_t r = 1; r <= 5; ++r) EXPECT_TRUE(IsBlank(Col(f, 2).Cell(r))) << r;
  EXPECT_DOUBLE_EQ(double(Col(f, 1).Cell(5)), 2.0);
  // The pattern is remembered with the column.
  EXPECT_EQ(Col(f, 1).PatternFlag, 1);
  EXPECT_EQ(Col(f, 1).PatternKind, kApplyPattern);
  EXPECT_EQ(Col(f, 1).PatternRows, 2);
  TTableChgModel again(*f, Col(f, 1), "", TGridRect{1, 1, 1, 1}, "x");
  EXPECT_TRUE(again.Pattern);
  EXPECT_EQ(again.PatternRows, 2);
  EXPECT_EQ(again.SecondText, "1");
}

TEST_F(AlterValuesTest, RefusalsBeepAndChangeNothing) {
  TTableForm* f = Table(5);
  struct Refusal {
    const char* first;
    const char* second;
    bool pattern;
    TAlterField field;
  };
  const Refusal cases[] = {{"abc", "1", false, TAlterField::FirstValue},
                           {"0", "", false, TAlterField::SecondValue},
                           // Apply every 5 to a last value over 1..5: no step.
                           {"0", "10", true, TAlterField::PatternRows}};
  for (const Refusal& c : cases) {
    platform.ticks += 2000;  // past the one-beep-a-second limit
    const int32_t beeps = platform.beeps;
    TTableChgModel m(*f, Col(f, 1), "", TGridRect{1, 1, 1, 1}, "x");
    m.FirstText = c.first;
    m.SecondText = c.second;
    m.Pattern = c.pattern;
    m.PatternKind = kApplyPattern;
    m.PatternRows = 5;
    EXPECT_FALSE(m.Ok()) << c.first;
    EXPECT_EQ(m.Refused, c.field) << c.first;
    EXPECT_GT(platform.beeps, beeps) << c.first;
    for (int32_t r = 1; r <= 5; ++r) EXPECT_TRUE(IsBlank(Col(f, 1).Cell(r)));
    EXPECT_DOUBLE_EQ(double(Col(f, 2).Cell(5)), 10.0);
    EXPECT_EQ(Col(f, 1).PatternFlag, 0);
  }
}

TEST_F(AlterValuesTest, ClearValuesBlanksCellsFlagsAndTheRunsComputedCells) {
  TTableForm* f = Table(5);
  for (int32_t r = 1; r <= 5; ++r) {
    Col(f, 1).SetCell(r, r);
    Col(f, 1).SetFlag(r, 1);
  }
  MacroRecording = true;
  TTableChgModel m(*f, Col(f, 1), "", TGridRect{1, 2, 1, 4}, "x");
  m.ClearValues = true;
  ASSERT_TRUE(m.Ok());
  for (int32_t r = 2; r <= 4; ++r) {
    EXPECT_TRUE(IsBlank(Col(f, 1).Cell(r)));
    EXPECT_EQ(Col(f, 1).Flag(r), 0);
    EXPECT_TRUE(IsBlank(Col(f, 2).Cell(r)));
  }
  EXPECT_DOUBLE_EQ(double(Col(f, 1).Cell(5)), 5.0);
  EXPECT_DOUBLE_EQ(double(Col(f, 2).Cell(5)), 10.0);
  EXPECT_EQ(MacroText, "AlterValues  'Table 1'  x  Rows=2..4  Clear \r\n");
}

TEST_F(AlterValuesTest, WholeTableDialogAppliesAndCancelRevertsEveryApply) {
  TTableForm* f = Table(5);
  TAlterValuesModel m;
  EXPECT_EQ(m.Caption(), "Alter Parametric Table Values");
  EXPECT_EQ(m.Tables, std::vector<std::string>{"Table 1"});
  EXPECT_EQ(m.Columns, (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(m.Mode, kAlterIncrement);
  m.FirstText = "1";
  m.SecondText = "2";
  ASSERT_TRUE(m.FillTable());
  EXPECT_DOUBLE_EQ(double(Col(f, 1).Cell(5)), 9.0);
  m.Mode = kAlterMultiplier;
  ASSERT_TRUE(m.FillTable());
  EXPECT_DOUBLE_EQ(double(Col(f, 1).Cell(5)), 16.0);
  m.Cancel();
  for (int32_t r = 1; r <= 5; ++r) {
    EXPECT_TRUE(IsBlank(Col(f, 1).Cell(r))) << r;
    EXPECT_DOUBLE_EQ(double(Col(f, 2).Cell(r)), 2.0 * r);
  }
}

TEST_F(AlterValuesTest, WholeTableDialogRefusesUnreadableTextsAndAMissingColumn) {
  TTableForm* f = Table(3);
  TAlterValuesModel m;
  m.FirstText = "x1";
  m.SecondText = "1";
  EXPECT_FALSE(m.FillTable());
  EXPECT_EQ(m.Refused, TAlterField::FirstValue);
  m.FirstText = "INF";
  m.Column = -1;
  EXPECT_FALSE(m.FillTable());
  EXPECT_EQ(m.Refused, TAlterField::Column);
  EXPECT_TRUE(IsBlank(Col(f, 1).Cell(1)));
}

}  // namespace
}  // namespace voq

#include "tables/table_runs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/program_flags.h"
#include "platform/platform.h"
#include "solver/evaluator.h"
#include "table_fixture.h"
#include "tables/tables_state.h"

namespace voq {
namespace {

class TableRunsTest : public testing::TableTest {
 protected:
  void TearDown() override {
    SetOpcodeHandler(kWarningOpcode, nullptr);
    TableTest::TearDown();
  }
  // A table over names whose column k has the entered values of values[k]
  // (a blank value leaves the cell to compute).
  TTableForm* Table(const std::vector<std::string>& names, const std::vector<std::vector<Extended>>& values) {
    const int32_t rows = int32_t(values.front().size());
    TTableForm* form = MakeParametric(names, rows);
    for (size_t k = 0; k < values.size(); ++k)
      for (int32_t r = 1; r <= rows; ++r)
        if (!IsBlank(values[k][size_t(r - 1)])) form->SetmyCell(0, 1, values[k][size_t(r - 1)], r, int32_t(k) + 1, 1);
    return form;
  }
  Extended Cell(int32_t column, int32_t row) { return FindColumn(TableForms[1]->Columns, column)->Cell(row); }
  TVariableRecord* Var(const std::string& name) { return MainProgramUnit->Variable(VariableIndex(name)); }

  static constexpr int32_t kWarningOpcode = 198;
  static constexpr Extended B = BlankValue;
};

// A warning in runs 2 and 5: WARNING(X) (compiled as "20 0 , X , #198")
// leaves a warning state in those runs and gives 0.
bool WarnInRunsTwoAndFive(TEvaluationState& s, int32_t) {
  s.Height -= 2;
  s.Values[s.Height] = 0;
  if (CurrentRun == 2 || CurrentRun == 5) CalcErrorCode = -1;
  return true;
}

TEST_F(TableRunsTest, EnteredColumnDrivesTheComputedOneAndGuessesStay) {
  CompileOnly("y = 2*T");
  Var("y")->Guess = 7;
  Var("T")->Guess = 3;
  UpdateGuesses = true;  // carries solutions from run to run only
  Table({"T", "y"}, {{10, 20, 30, 40, 50}, {B, B, B, B, B}});
  RunSolveTable();
  EXPECT_EQ(CalcErrorCode, 0);
  for (int32_t r = 1; r <= 5; ++r) {
    EXPECT_EQ(Cell(1, r), 10.0L * r);
    EXPECT_EQ(Cell(2, r), 20.0L * r) << r;
    EXPECT_EQ(FindColumn(TableForms[1]->Columns, 2)->Flag(r), 0);
  }
  EXPECT_EQ(Var("y")->Guess, 7);
  EXPECT_EQ(Var("T")->Guess, 3);
  EXPECT_EQ(CurrentRun, 5);
}

TEST_F(TableRunsTest, CoupledBlockSolvedInEveryRunAndReblockedWhenInputsChange) {
  // x + y = T, x - y = 1: x = (T + 1)/2, y = (T - 1)/2.
  CompileOnly("x + y = T\nx - y = 1");
  Table({"T", "x", "y"}, {{1, 3, 5, B, 9}, {B, B, B, 4, B}, {B, B, B, B, B}});
  RunSolveTable();
  EXPECT_EQ(CalcErrorCode, 0);
  const Extended T[] = {1, 3, 5, 7, 9};
  for (int32_t r = 1; r <= 5; ++r) {
    EXPECT_NEAR(double(Cell(2, r)), double((T[r - 1] + 1) / 2), 1e-9) << r;
    EXPECT_NEAR(double(Cell(3, r)), double((T[r - 1] - 1) / 2), 1e-9) << r;
    EXPECT_NEAR(double(Cell(1, r)), double(T[r - 1]), 1e-9) << r;
  }
}

TEST_F(TableRunsTest, VariableFixedInTheEquationsCannotBeEntered) {
  CompileOnly("x = 3\ny = x + T");
  Var("T")->Guess = 2;
  Table({"T", "x", "y"}, {{1, 2, 3}, {B, 5, B}, {B, B, B}});
  RunSolveTable();
  EXPECT_EQ(CalcErrorCode, kMsgSetInWorksheet);
  EXPECT_EQ(MessageArgs[1], "Run 2: x");
  ASSERT_FALSE(platform.alerts.empty());
  EXPECT_EQ(platform.alerts.back().text,
            "Run 2: x is set to a value in the worksheet and cannot be reassigned in the parametric table.");
  // Run 1 was solved, run 2 stopped the table run.
  EXPECT_EQ(Cell(3, 1), 4);
  EXPECT_TRUE(IsBlank(Cell(3, 2)));
  EXPECT_TRUE(IsBlank(Cell(3, 3)));
  EXPECT_EQ(Var("T")->Guess, 2);
}

TEST_F(TableRunsTest, FailingSolveKeepsTheGuessesAndEarlierRuns) {
  // a and b are over-determined by the last three equations, c and d by
  // none: the block solve of every run fails.
  CompileOnly("a + b + c + d = T\na + b = 1\na - b = 2\na*b = 3");
  Var("a")->Guess = 4;
  Var("c")->Guess = 5;
  UpdateGuesses = true;
  Table({"T", "a"}, {{1, 2}, {B, B}});
  SolveTableRuns();
  EXPECT_GT(CalcErrorCode, 0);
  EXPECT_TRUE(IsBlank(Cell(2, 1)));
  EXPECT_EQ(Var("a")->Guess, 4);
  EXPECT_EQ(Var("c")->Guess, 5);
  EXPECT_TRUE(MainProgramUnit->SavedGuesses.empty());
}

TEST_F(TableRunsTest, IntegralTableGetsOneTabPerRun) {
  CompileOnly("y = 2*T");
  Table({"T", "y"}, {{1, 2, 3}, {B, B, B}});
  TableRowCounts[4] = 3;
  TableColumnCounts[4] = 1;
  CreateTableForm(kIntegralTableKind);
  FirstRun = 2;
  SolveTableRuns();
  EXPECT_EQ(TableForms[4]->TabCaptions, (std::vector<std::string>{"Run 2", "Run 3"}));
  EXPECT_EQ(TableForms[4]->TabIndex, 1);
}

TEST_F(TableRunsTest, NonNumericCellIsAnIllegalEntry) {
  CompileOnly("y = 2*T");
  TTableForm* form = Table({"T", "y"}, {{1, 2, 3}, {B, B, B}});
  form->Columns->SetCell(3, std::nan(""));
  RunSolveTable();
  EXPECT_EQ(CalcErrorCode, kMsgIllegalTableEntry);
  EXPECT_EQ(MessageArgs[1], "3");
  EXPECT_EQ(MessageArgs[2], "1");
  EXPECT_EQ(Cell(2, 2), 4);
}

TEST_F(TableRunsTest, WarnedRunsAreReportedTogether) {
  ShowWarningMessages = true;
  CompileOnly("y = 2*T + WARNING(T)");
  SetOpcodeHandler(kWarningOpcode, WarnInRunsTwoAndFive);
  Table({"T", "y"}, {{1, 2, 3, 4, 5}, {B, B, B, B, B}});
  SolveTableRuns();
  EXPECT_EQ(CalcErrorCode, kMsgRunWarnings);
  EXPECT_EQ(WarnedRunsText, "2 5 ");
  EXPECT_EQ(MessageArgs[1], "2 5 ");
  for (int32_t r = 1; r <= 5; ++r) EXPECT_EQ(Cell(2, r), 2.0L * r) << r;
}

TEST_F(TableRunsTest, StopOnWarningWritesTheWarnedRunAndStops) {
  ShowWarningMessages = true;
  StopOnWarning = true;
  CompileOnly("y = 2*T + WARNING(T)");
  SetOpcodeHandler(kWarningOpcode, WarnInRunsTwoAndFive);
  Table({"T", "y"}, {{1, 2, 3, 4, 5}, {B, B, B, B, B}});
  SolveTableRuns();
  EXPECT_EQ(CalcErrorCode, 1);
  EXPECT_EQ(Cell(2, 2), 4);
  EXPECT_TRUE(IsBlank(Cell(2, 3)));
  EXPECT_EQ(CurrentRun, 2);
}

TEST_F(TableRunsTest, ExportWritesOneLinePerRun) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                    ("voq_table_export_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string file = (dir / "runs.csv").string();
  CompileOnly("$EXPORT '" + file + "' T, y\ny = 2*T");
  Table({"T", "y"}, {{1, 2, 3, 4, 5}, {B, B, B, B, B}});
  RunSolveTable();
  EXPECT_EQ(CalcErrorCode, 0);
  std::ifstream in(file);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "1.00000000E+00,2.00000000E+00\r");
  EXPECT_EQ(lines[4], "5.00000000E+00,1.00000000E+01\r");
  std::filesystem::remove_all(dir);
}

TEST_F(TableRunsTest, UnbalancedRunNamesItsRun) {
  CompileOnly("y = 2*T");
  Table({"T", "y"}, {{1, B}, {B, B}});
  SolveTableRuns();
  EXPECT_EQ(CalcErrorCode, kMsgTableRunUnbalanced);
  EXPECT_EQ(MessageText.rfind("Error in Run 2: ", 0), 0u) << MessageText;
  EXPECT_EQ(Cell(2, 1), 2);
}

TEST_F(TableRunsTest, UnbalancedRunOffersTheDebugWindow) {
  CompileOnly("y = 2*T");
  Table({"T", "y"}, {{1, B}, {B, B}});
  platform.alertAnswers.push_back(kResultNo);
  RunSolveTable();
  EXPECT_EQ(CalcErrorCode, 0);
  ASSERT_FALSE(platform.alerts.empty());
  const RecordedAlert& alert = platform.alerts.back();
  EXPECT_EQ(alert.kind, kAlertErrorYesNo);
  EXPECT_EQ(alert.text.rfind("Error in Run 2: ", 0), 0u) << alert.text;
  EXPECT_NE(alert.text.find(" Show Debug information?"), std::string::npos) << alert.text;
}

TEST_F(TableRunsTest, MacroRecordsTheSolvedTable) {
  CompileOnly("y = 2*T");
  TTableForm* form = Table({"T", "y"}, {{1, 2, 3}, {B, B, B}});
  form->MultipleTableRefresh();
  MacroRecording = true;
  MacroText.clear();
  TSolveTableChoices choices = SolveTableDialogDefaults();
  choices.FirstRun = 1;
  choices.LastRun = 2;
  SolveTableWithChoices(choices);
  EXPECT_EQ(MacroText, "SolveTable 'Table 1' Rows=1..2\r\n");
  EXPECT_EQ(Cell(2, 2), 4);
  EXPECT_TRUE(IsBlank(Cell(2, 3)));
}

TEST_F(TableRunsTest, NoRunsWhenTheRangeIsEmpty) {
  CompileOnly("y = 2*T");
  Table({"T", "y"}, {{1, 2}, {B, B}});
  FirstRun = 2;
  LastRun = 1;
  SolveTableRuns();
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_TRUE(IsBlank(Cell(2, 1)));
  EXPECT_TRUE(IsBlank(Cell(2, 2)));
}

TEST_F(TableRunsTest, AllTablesAreSolvedOverTheirOwnRangesInTabOrder) {
  CompileOnly("y = 2*T");
  TTableForm* form = Table({"T", "y"}, {{1, 2, 3}, {B, B, B}});
  FirstRun = 2;
  LastRun = 3;
  form->MultipleTableRefresh();
  // A second table of the same columns; its runs 1..2.
  form->MultipleTableSetup();
  form->TableName = "Table 2";
  form->SetmyCell(0, 1, 10, 1, 1, 1);
  form->SetmyCell(0, 1, 20, 2, 1, 1);
  FirstRun = 1;
  LastRun = 2;
  form->MultipleTableRefresh();
  TSolveTableChoices choices = SolveTableDialogDefaults();
  EXPECT_EQ(choices.Table, 2);
  choices.Table = 0;
  SolveTableWithChoices(choices);
  EXPECT_EQ(CalcErrorCode, 0);
  const TTableColumnRecord* first = (*TableLists[1])[0]->Columns->Next;
  const TTableColumnRecord* second = (*TableLists[1])[1]->Columns->Next;
  EXPECT_TRUE(IsBlank(first->Cell(1)));
  EXPECT_EQ(first->Cell(2), 4);
  EXPECT_EQ(first->Cell(3), 6);
  EXPECT_EQ(second->Cell(1), 20);
  EXPECT_EQ(second->Cell(2), 40);
  EXPECT_EQ(form->CurrentTable, 2);
}

TEST_F(TableRunsTest, DialogChoicesClampTheRunRange) {
  CompileOnly("y = 2*T");
  Table({"T", "y"}, {{1, 2, 3}, {B, B, B}});
  TSolveTableChoices choices = SolveTableDialogDefaults();
  EXPECT_EQ(choices.Table, 1);
  EXPECT_EQ(choices.LastRun, 3);
  choices.FirstRun = 2;
  choices.LastRun = 1;  // below the first: one run
  SolveTableWithChoices(choices);
  EXPECT_EQ(LastRun, 2);
  EXPECT_TRUE(IsBlank(Cell(2, 1)));
  EXPECT_EQ(Cell(2, 2), 4);
  EXPECT_TRUE(IsBlank(Cell(2, 3)));
}

}  // namespace
}  // namespace voq

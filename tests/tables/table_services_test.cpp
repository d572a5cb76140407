#include "tables/table_services.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/extended.h"
#include "model/parametric_table_access.h"
#include "model/solve_session.h"
#include "solver/evaluator.h"
#include "session/document_reset.h"
#include "session/engine.h"
#include "session/problem_summary.h"
#include "session/min_max.h"
#include "session/uncertainty.h"
#include "table_fixture.h"
#include "tables/table_runs.h"
#include "tables/tables_state.h"

namespace voq {
namespace {

constexpr Extended B = BlankValue;

// The user's way through the optimisation dialog: objective, independent
// variables, sense and method.
class ChosenMinMax : public MinMaxDialogView {
 public:
  bool Choose(const TMinMaxDlg& /*dialog*/, TMinMaxChoices& choices) override {
    choices.ObjectiveVariable = objective;
    choices.Independent = independent;
    choices.Maximise = maximise;
    choices.FirstAlgorithm = firstAlgorithm;
    return true;
  }
  int16_t objective = 0;
  std::vector<int16_t> independent;
  bool maximise = false;
  bool firstAlgorithm = false;
};

// The user's way through the uncertainty dialogs: "Set uncertainties" with
// the grid's absolute uncertainties typed, then OK.
class ChosenUncertainties : public UncertaintyDialogView {
 public:
  bool Choose(TUncert& /*dialog*/, TUncertChoices& choices, bool& setUncertainties) override {
    ++shown;
    choices.CalculatedVariable = calculated;
    choices.Measured = measured;
    setUncertainties = shown == 1;
    return true;
  }
  bool EditUncertainties(TMeasuredUncertainties& grid) override {
    for (size_t k = 0; k < absolute.size(); ++k) grid.StoreEdit(int32_t(k) + 1, 3, absolute[k], false);
    return grid.OKClick();
  }
  int16_t calculated = 0;
  std::vector<int16_t> measured;
  std::vector<std::string> absolute;
  int shown = 0;
};

class TableServicesTest : public testing::TableTest {
 protected:
  void TearDown() override {
    SetMinMaxDialogView(nullptr);
    SetUncertaintyDialogView(nullptr);
    TableTest::TearDown();
  }
  // A table over names whose column k has the entered values of values[k]
  // (a blank leaves the cell to compute).
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
  int16_t Index(const std::string& name) { return int16_t(VariableIndex(name)); }
  // A fresh engine with this fixture's editor.
  void Restart() {
    ResetEngineState();
    SetEquationsEditor(&editor);
  }
};

TEST_F(TableServicesTest, NewDocumentFreesTheLookupFilesItsEquationsLoaded) {
  InstallTableServices();
  auto add = [](int32_t id, bool fromLibrary) {
    auto file = std::make_unique<TLookupFileRecord>();
    file->TableId = id;
    file->FromLibrary = fromLibrary;
    LookupFileList.push_back(std::move(file));
  };
  add(1, true);
  add(2, false);
  add(3, true);
  ResetDocument();
  ASSERT_EQ(LookupFileList.size(), 2u);
  EXPECT_EQ(LookupFileList[0]->TableId, 1);
  EXPECT_EQ(LookupFileList[1]->TableId, 3);
  LookupFileList.clear();
}

TEST_F(TableServicesTest, AccessReadsTheTableModel) {
  // Without a window the table answers as the default does.
  ParametricTableAccess& table = ParametricTable();
  EXPECT_FALSE(table.WindowExists());
  EXPECT_EQ(table.RowCount(), 0);
  EXPECT_EQ(table.ColumnCount(), 0);
  EXPECT_EQ(table.TableCount(), 0);
  EXPECT_TRUE(IsBlank(table.CellValue(1, 1, 1)));

  CompileOnly("y = 2*T\nz = 1");
  TTableForm* form = Table({"T", "y"}, {{10, 20, 30}, {B, B, B}});
  ASSERT_NE(form, nullptr);
  form->SetmyCell(0, 0, 99, 2, 2, 0);  // a computed value: not entered
  EXPECT_TRUE(table.WindowExists());
  EXPECT_EQ(table.TableCount(), 1);
  EXPECT_EQ(table.TableName(1), "Table 1");
  EXPECT_EQ(table.CurrentTable(), 1);
  EXPECT_EQ(table.RowCount(), 3);
  EXPECT_EQ(table.ColumnCount(), 2);
  EXPECT_EQ(table.TableColumnCount(1), 2);
  EXPECT_EQ(table.ColumnVariable(1, 2), VariableIndex("y"));
  EXPECT_EQ(table.ColumnVariable(1, 3), 0);
  EXPECT_TRUE(table.CellEntered(3, 1));
  EXPECT_FALSE(table.CellEntered(2, 2));
  EXPECT_FALSE(table.CellEntered(4, 1));
  EXPECT_EQ(table.CellValue(1, 3, 1), 30);
  EXPECT_EQ(table.CellValue(1, 2, 2), 99);
  EXPECT_TRUE(IsBlank(table.CellValue(1, 1, 2)));
  EXPECT_EQ(table.ColumnOfVariable(VariableIndex("y")), 2);
  EXPECT_EQ(table.ColumnOfVariable(VariableIndex("z")), 0);

  // The run range and the guess option are the table runs' own.
  table.SetRunRange(2, 3);
  table.SetUpdateGuessesOption(true);
  EXPECT_EQ(FirstRun, 2);
  EXPECT_EQ(LastRun, 3);
  EXPECT_TRUE(UpdateGuesses);
  EXPECT_EQ(table.FirstRunOfRange(), 2);
  EXPECT_EQ(table.LastRunOfRange(), 3);
  EXPECT_TRUE(table.UpdateGuessesOption());

  // A run's uncertainty lands in the window's block, the other runs blank.
  table.SetRunUncertainty(2, 0.25L);
  EXPECT_TRUE(form->HasRunUncertainties);
  ASSERT_EQ(form->RunUncertainties.size(), 4u);
  EXPECT_TRUE(IsBlank(form->RunUncertainties[0]));
  EXPECT_EQ(form->RunUncertainties[1], 0.25L);

  // A second tab: the shown table's cells and those of the other tab.
  form->DuplicateTable();
  form->SetmyCell(0, 1, 70, 3, 1, 1);
  EXPECT_EQ(table.TableCount(), 2);
  EXPECT_EQ(table.CurrentTable(), 2);
  EXPECT_EQ(table.TableName(1), "Table 1");
  EXPECT_EQ(table.CellValue(2, 3, 1), 70);
  EXPECT_EQ(table.CellValue(1, 3, 1), 30);
  EXPECT_EQ(table.ColumnVariable(1, 1), VariableIndex("T"));

  // Every engine reset installs the table's access again.
  Restart();
  EXPECT_FALSE(ParametricTable().WindowExists());
  CompileOnly("y = 2*T");
  Table({"T", "y"}, {{1}, {B}});
  EXPECT_TRUE(ParametricTable().WindowExists());
}

TEST_F(TableServicesTest, TableValueReadsACellInEveryRun) {
  // z reads the entered T of run 5 in every run: z = 2*T + 50.
  CompileOnly("y = 2*T\nz = y + TABLEVALUE('Table 1', 5, 'T')");
  Table({"T", "y", "z"}, {{10, 20, 30, 40, 50}, {B, B, B, B, B}, {B, B, B, B, B}});
  // With the window there, TABLEVALUE(row, column) reads the first table.
  for (const char* call : {"TABLEVALUE('Table 1', 5, 'T')", "TABLEVALUE(5, 1)"}) {
    SCOPED_TRACE(call);
    editor.SetText(std::string("y = 2*T\nz = y + ") + call);
    RunSolveTable();
    ASSERT_EQ(CalcErrorCode, 0);
    for (int32_t r = 1; r <= 5; ++r) {
      EXPECT_EQ(Cell(2, r), 20.0L * r) << r;
      EXPECT_EQ(Cell(3, r), 20.0L * r + 50) << r;
    }
  }
}

TEST_F(TableServicesTest, MinMaxTableWritesEachRunsOptimum) {
  // y = (x - c)^2 + 1 has its minimum y = 1 at x = c, and 5 - (x - c)^2 its
  // maximum 5 there too (by hand); c is entered per run.
  struct Case {
    const char* equation;
    bool maximise;
    bool firstAlgorithm;
    Extended optimum;
  };
  const Case cases[] = {
      {"y = (x - c)^2 + 1", false, false, 1},
      {"y = (x - c)^2 + 1", false, true, 1},
      {"y = 5 - (x - c)^2", true, false, 5},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.equation + std::string(k.firstAlgorithm ? " golden section" : " quadratic"));
    Restart();
    MinMaxMode = true;
    CompileOnly(k.equation);
    Var("x")->LowerLimit = -10;
    Var("x")->UpperLimit = 10;
    Var("x")->Guess = 0;
    Table({"c", "x", "y"}, {{-2, 0.5L, 3, 7}, {B, B, B, B}, {B, B, B, B}});
    ChosenMinMax view;
    view.objective = Index("y");
    view.independent = {Index("x")};
    view.maximise = k.maximise;
    view.firstAlgorithm = k.firstAlgorithm;
    SetMinMaxDialogView(&view);
    CurrentRun = 1;
    ASSERT_TRUE(CheckMinMaxDegreesOfFreedom(true));
    EXPECT_EQ(DegreesOfFreedom, 1);
    ASSERT_TRUE(ShowMinMaxDialog(true));
    RunSolveTable();
    ASSERT_EQ(CalcErrorCode, 0);
    const Extended c[] = {-2, 0.5L, 3, 7};
    for (int32_t r = 1; r <= 4; ++r) {
      EXPECT_NEAR(double(Cell(2, r)), double(c[r - 1]), 1E-3) << r;
      EXPECT_NEAR(double(Cell(3, r)), double(k.optimum), 1E-6) << r;
      EXPECT_EQ(Cell(1, r), c[r - 1]) << r;
    }
    EXPECT_EQ(Var("x")->Guess, 0);
    MinMaxMode = false;
  }
}

TEST_F(TableServicesTest, UncertaintyTableWritesEachRunsUncertainty) {
  // y = a*b with u_a = 0.1, u_b = 0.2: U = sqrt((b*u_a)^2 + (a*u_b)^2).
  // Run 1, a = 2, b = 3: sqrt(0.09 + 0.16) = 0.5; run 2, a = 4, b = 1:
  // sqrt(0.01 + 0.64) = sqrt(0.65) (by hand).
  UncertaintyMode = true;
  UncertaintyTableMode = true;
  CompileOnly("y = a*b");
  TTableForm* form = Table({"a", "b", "y"}, {{2, 4}, {3, 1}, {B, B}});
  ChosenUncertainties view;
  view.calculated = Index("y");
  view.measured = {Index("a"), Index("b")};
  view.absolute = {"0.1", "0.2"};
  SetUncertaintyDialogView(&view);
  CurrentRun = 1;
  bool repeatPass = false;
  ASSERT_TRUE(ShowUncertaintyDialog(true, repeatPass));
  EXPECT_EQ(FirstRun, 1);
  EXPECT_EQ(LastRun, 2);
  RunSolveTable();
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(Cell(3, 1), 6);
  EXPECT_EQ(Cell(3, 2), 4);
  ASSERT_TRUE(form->HasRunUncertainties);
  ASSERT_GE(form->RunUncertainties.size(), 2u);
  EXPECT_NEAR(double(form->RunUncertainties[0]), 0.5, 1E-6);
  EXPECT_NEAR(double(form->RunUncertainties[1]), std::sqrt(0.65), 1E-6);
  // The calculated column shows each run's own uncertainty.
  std::string text;
  uint8_t entered = 0;
  form->GetMyCell(1, 1, 3, text, 255, entered, 2);
  EXPECT_EQ(text, "6\xB1" "0.5");
  UncertaintyMode = false;
  UncertaintyTableMode = false;
}

}  // namespace
}  // namespace voq

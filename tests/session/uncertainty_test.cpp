#include "session/uncertainty.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "language/store_fixture.h"
#include "model/parametric_table_access.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "session/compile_driver.h"
#include "session/document_reset.h"
#include "solver/blocking.h"
#include "solver/evaluator.h"
#include "solver/guesses_limits.h"
#include "solver/newton_solver.h"
#include "solver/one_unknown.h"

namespace voq {
namespace {

int32_t IndexOf(const std::string& name) {
  const int32_t saved = CalcErrorCode;
  CurrentProgramUnit = MainProgramUnit;
  const int32_t i = FindVariable(name);
  CalcErrorCode = saved;
  return i;
}

// The user's way through the two dialogs: first "Set uncertainties" with the
// grid's entries typed, then OK.
class ScriptedUncertaintyDialog : public UncertaintyDialogView {
 public:
  bool Choose(TUncert& dialog, TUncertChoices& choices, bool& setUncertainties) override {
    ++shown;
    calculatedList = dialog.CalculatedList;
    measuredList = dialog.MeasuredList;
    choices.CalculatedVariable = static_cast<int16_t>(IndexOf(calculated));
    choices.Measured.clear();
    for (const std::string& name : measured) choices.Measured.push_back(static_cast<int16_t>(IndexOf(name)));
    setUncertainties = shown == 1 && !entries.empty();
    return true;
  }
  bool EditUncertainties(TMeasuredUncertainties& grid) override {
    gridRows = grid.RowCount;
    for (const Entry& e : entries) grid.StoreEdit(e.row, e.column, e.text, false);
    return grid.OKClick();
  }
  struct Entry {
    int32_t row, column;
    std::string text;
  };
  std::string calculated;
  std::vector<std::string> measured;
  std::vector<Entry> entries;
  int shown = 0;
  int32_t gridRows = 0;
  std::vector<int16_t> calculatedList, measuredList;
};

class UncertaintyTest : public testing::LanguageStoreTest {
 protected:
  void SetUp() override {
    LanguageStoreTest::SetUp();
    SetEquationsEditor(&editor);
    SetUncertaintyDialogView(&dialog);
    CheckOnlyMode = false;
    EquationsCompiled = false;
  }
  void TearDown() override {
    SetUncertaintyDialogView(nullptr);
    SetEquationsEditor(nullptr);
    SetParametricTableAccess(nullptr);
    UncertaintyMode = false;
    UncertaintyTableMode = false;
    LanguageStoreTest::TearDown();
  }
  TVariableRecord* V(const std::string& name) { return MainProgramUnit->Variable(IndexOf(name)); }

  ScriptedPlatform platform;
  ScopedPlatform scoped{platform};
  InMemoryEquationsEditor editor;
  ScriptedUncertaintyDialog dialog;
};

TEST_F(UncertaintyTest, ProductOfTwoMeasurements) {
  // y = a*b: dy/da = b = 3, dy/db = a = 2, so
  // U = sqrt((3 * 0.1)^2 + (2 * 0.2)^2) = sqrt(0.09 + 0.16) = 0.5 (hand calculation).
  // u reads the uncertainty of a while the calculation runs.
  editor.SetText("y = a*b\r\na = 2\r\nb = 3\r\nu = UNCERTAINTYOF(a)");
  dialog.calculated = "y";
  dialog.measured = {"a", "b"};
  dialog.entries = {{1, 3, "0.1"}, {2, 3, "0.2"}};
  RunUncertaintyPropagation();
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(dialog.shown, 2);
  EXPECT_EQ(dialog.gridRows, 2);
  std::vector<int16_t> calculated = dialog.calculatedList;
  std::sort(calculated.begin(), calculated.end());
  EXPECT_EQ(calculated, (std::vector<int16_t>{static_cast<int16_t>(IndexOf("y")), static_cast<int16_t>(IndexOf("u"))}));
  EXPECT_EQ(V("u")->Value, 0.1L);
  ASSERT_EQ(dialog.measuredList.size(), 2u);
  EXPECT_NEAR(static_cast<double>(V("y")->Uncertainty), 0.5, 1E-6);
  EXPECT_EQ(V("y")->UncertaintyIsRelative, 0);
  EXPECT_EQ(V("y")->Value, 6.0L);  // the base solution
  EXPECT_EQ(V("a")->Value, 2.0L);
  EXPECT_NEAR(static_cast<double>(UncertaintySettings.PartialDerivatives[1]), 3.0, 1E-6);
  EXPECT_NEAR(static_cast<double>(UncertaintySettings.PartialDerivatives[2]), 2.0, 1E-6);
  EXPECT_EQ(UncertaintySettings.MeasuredCount, 2);
  EXPECT_EQ(UncertaintySettings.CalculatedVariable, IndexOf("y"));
  EXPECT_EQ(V("y")->UncertaintyKind, 0);
  EXPECT_EQ(V("a")->UncertaintyKind, 1);
  EXPECT_EQ(V("b")->UncertaintyKind, 2);
  EXPECT_EQ(V("a")->MeasuredMark, 0);  // cleared when the dialog goes
  EXPECT_TRUE(SolutionAvailable);
  EXPECT_FALSE(UncertaintyMode);
  for (TOccurrenceRecord* r : MainProgramUnit->RowHeads) EXPECT_EQ(r, nullptr);
}

TEST_F(UncertaintyTest, RelativeUncertaintyAndUncertaintyVariable) {
  // y = 5*c with c = 200 known to 1 %: u = 0.01 * 200 = 2, U = 5 * 2 = 10.
  // d = 7 measured to the uncertainty given by the fixed variable ud = 0.5:
  // y2 = d^2 contributes 2 * 7 * 0.5 = 7.
  editor.SetText("y = 5*c\r\nc = 200\r\ny2 = d^2\r\nd = 7\r\nud = 0.5");
  dialog.calculated = "y";
  dialog.measured = {"c"};
  dialog.entries = {{1, 4, "0.01"}};
  RunUncertaintyPropagation();
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_NEAR(static_cast<double>(V("y")->Uncertainty), 10.0, 1E-6);
  EXPECT_NEAR(static_cast<double>(UncertaintySettings.PartialDerivatives[1]), 5.0, 1E-6);
  EXPECT_EQ(V("c")->UncertaintyIsRelative, 1);

  dialog.shown = 0;
  dialog.calculated = "y2";
  dialog.measured = {"d"};
  dialog.entries = {{1, 3, "ud"}};
  RunUncertaintyPropagation();
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(UncertaintySettings.UncertaintyVariables[1], IndexOf("ud"));
  EXPECT_NEAR(static_cast<double>(V("y2")->Uncertainty), 7.0, 1E-5);
}

TEST_F(UncertaintyTest, UncertaintyVariableWithoutAFixedValueIs597) {
  editor.SetText("y = a*b\r\na = 2\r\nb = 3");
  UncertaintyMode = true;
  CompileEquations(false, false);
  ASSERT_EQ(CalcErrorCode, 0);
  TUncert d(false);
  d.FormActivate();
  TUncertChoices c;
  c.CalculatedVariable = static_cast<int16_t>(IndexOf("y"));
  c.Measured = {static_cast<int16_t>(IndexOf("a"))};
  V("a")->Uncertainty = 0.1L;
  bool repeat = false;
  ASSERT_TRUE(d.OKClick(c, repeat));
  UncertaintySettings.UncertaintyVariables[1] = static_cast<int16_t>(IndexOf("y"));
  CalculateUncertainty(repeat);
  EXPECT_EQ(CalcErrorCode, kMsgUncertaintyValueUnset);
  ASSERT_FALSE(platform.alerts.empty());
  EXPECT_EQ(platform.alerts.back().text, "y must be set to a value if it is to be used as the uncertainty value.");
  EXPECT_EQ(platform.alerts.back().kind, kAlertWarningOk);
  EXPECT_TRUE(IsBlank(V("y")->Uncertainty));
  UncertaintySettings.UncertaintyVariables[1] = 0;
}

TEST_F(UncertaintyTest, UnspecifiedUncertaintyIsAskedFor) {
  editor.SetText("y = a*b\r\na = 2\r\nb = 3");
  UncertaintyMode = true;
  CompileEquations(false, false);
  TUncert d(false);
  d.FormActivate();
  TUncertChoices c;
  c.CalculatedVariable = static_cast<int16_t>(IndexOf("y"));
  c.Measured = {static_cast<int16_t>(IndexOf("a"))};
  platform.alertAnswers = {kResultYes};
  bool repeat = false;
  EXPECT_FALSE(d.OKClick(c, repeat));  // Yes: the grid opens, the dialog stays
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].text,
            "The uncertainty for each measured variable must be specified.  Do you wish to do that now?");
  platform.alertAnswers = {kResultNo};
  EXPECT_TRUE(d.OKClick(c, repeat));  // No: go on; it contributes nothing
  CalculateUncertainty(repeat);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(V("y")->Uncertainty, 0.0L);
}

TEST_F(UncertaintyTest, PerturbationSteps) {
  struct Case {
    Extended x0, up, down;
  };
  const Case cases[] = {
      {0, 1E-5L, -1E-5L},
      {1E-5L, 2E-5L, 0},                                      // additive at exactly 1E-5
      {1.1E-5L, 1.1E-5L * 1.00001L, 1.1E-5L * 0.99999L},     // relative above it
      {-200, -200 * 1.00001L, -200 * 0.99999L},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PerturbedValue(c.x0, true), c.up) << static_cast<double>(c.x0);
    EXPECT_EQ(PerturbedValue(c.x0, false), c.down) << static_cast<double>(c.x0);
  }
}

TEST_F(UncertaintyTest, GridEntriesAndConversions) {
  editor.SetText("y = a*b\r\na = 10\r\nb = 3");
  UncertaintyMode = true;
  CompileEquations(false, false);
  TUncert d(false);
  d.FormActivate();
  TUncertChoices c;
  c.CalculatedVariable = static_cast<int16_t>(IndexOf("y"));
  c.Measured = {static_cast<int16_t>(IndexOf("a")), static_cast<int16_t>(IndexOf("b"))};
  d.SetUncertBClick(c);
  TMeasuredUncertainties grid(false);
  grid.FormActivate();
  ASSERT_EQ(grid.RowCount, 2);
  EXPECT_EQ(grid.CellText(1, 0), "a");
  EXPECT_EQ(grid.CellText(1, 3), "unspecified");
  EXPECT_EQ(grid.CellText(1, 4), "");
  EXPECT_FALSE(grid.OKClick());  // an unspecified uncertainty keeps the dialog open
  EXPECT_EQ(grid.FocusRow, 1);

  // Absolute 0.5 on 10 is relative 0.05, and back.
  grid.StoreEdit(1, 3, " 0.5 ", false);
  EXPECT_TRUE(grid.CheckPendingEntry());
  grid.ClickCell(1, 4);
  EXPECT_NEAR(static_cast<double>(V("a")->Uncertainty), 0.05, 1E-15);
  EXPECT_EQ(grid.CellText(1, 3), "");
  grid.ClickCell(1, 3);
  EXPECT_NEAR(static_cast<double>(V("a")->Uncertainty), 0.5, 1E-15);

  // An entry beginning with "-" is a name.
  grid.StoreEdit(2, 3, "-x", false);
  EXPECT_FALSE(grid.CheckPendingEntry());
  EXPECT_EQ(platform.alerts.back().text, "Unrecognized variable: -x");
  // A calculated variable cannot give an uncertainty.
  grid.StoreEdit(2, 3, "y", false);
  EXPECT_FALSE(grid.CheckPendingEntry());
  EXPECT_EQ(platform.alerts.back().text, "y must be set to a value if it is to be used as the uncertainty value.");
  // Shift+Ctrl: the edited row and all below.
  grid.StoreEdit(1, 3, "0.25", true);
  EXPECT_TRUE(grid.CheckPendingEntry());
  EXPECT_EQ(V("b")->Uncertainty, 0.25L);
  EXPECT_EQ(UncertaintySettings.UncertaintyVariables[2], 0);
  grid.Cancel();
  EXPECT_TRUE(IsBlank(V("a")->Uncertainty));
  EXPECT_TRUE(IsBlank(V("b")->Uncertainty));
}

TEST_F(UncertaintyTest, StoredSettingsLayout) {
  TUncertaintySettingsRecord s;
  EXPECT_EQ(s.MeasuredVariables[5], -1);
  s.CalculatedVariable = 4;
  s.MeasuredCount = 2;
  s.MeasuredVariables[1] = 7;
  s.MeasuredVariables[30] = 0x01020304;
  s.PartialDerivatives[1] = 3;
  s.PartialDerivatives[30] = -2.5L;
  s.UncertaintyVariables[2] = 9;
  s.Unused576[30] = 1;
  std::vector<uint8_t> b(kStoredUncertaintySettingsSize);
  PackUncertaintySettings(s, b.data());
  EXPECT_EQ(b[2], 4);
  EXPECT_EQ(b[6], 2);
  EXPECT_EQ(b[18], 0xFF);  // entry 0: -1
  EXPECT_EQ(b[22], 7);
  EXPECT_EQ(b[18 + 120], 0x04);
  EXPECT_EQ(b[18 + 123], 0x01);
  EXPECT_EQ(UnpackExtended(b.data() + 152), 3.0L);
  EXPECT_EQ(UnpackExtended(b.data() + 142 + 300), -2.5L);
  EXPECT_EQ(b[452 + 4], 9);
  EXPECT_EQ(b[606], 1);
  TUncertaintySettingsRecord back;
  UnpackUncertaintySettings(b.data(), back);
  EXPECT_EQ(back.MeasuredVariables, s.MeasuredVariables);
  EXPECT_EQ(back.PartialDerivatives, s.PartialDerivatives);
  EXPECT_EQ(back.UncertaintyVariables, s.UncertaintyVariables);
  EXPECT_EQ(back.Unused576, s.Unused576);
  // A new document starts from the reset record.
  UncertaintySettings = s;
  ResetDocument();
  EXPECT_EQ(UncertaintySettings.CalculatedVariable, 0);
  EXPECT_EQ(UncertaintySettings.MeasuredCount, 0);
  EXPECT_EQ(UncertaintySettings.MeasuredVariables[30], -1);
  EXPECT_EQ(UncertaintySettings.PartialDerivatives[1], 0.0L);
  // A count beyond the record is not believed.
  b[6] = 200;
  UnpackUncertaintySettings(b.data(), back);
  EXPECT_EQ(back.MeasuredCount, 30);
}

// --- The table variant --------------------------------------------------------------

// A Parametric table of named columns with entered cells per run.
class FakeTable : public ParametricTableAccess {
 public:
  bool WindowExists() const override { return true; }
  int32_t TableCount() const override { return 1; }
  std::string TableName(int32_t) const override { return "Table 1"; }
  int32_t RowCount() const override { return 3; }
  int32_t ColumnCount() const override { return static_cast<int32_t>(columns.size()); }
  int32_t TableColumnCount(int32_t) const override { return ColumnCount(); }
  int32_t ColumnVariable(int32_t, int32_t c) const override { return IndexOf(columns[static_cast<size_t>(c - 1)]); }
  bool CellEntered(int32_t row, int32_t c) const override {
    return cells.count({row, c}) != 0;
  }
  Extended CellValue(int32_t, int32_t row, int32_t c) const override {
    auto it = cells.find({row, c});
    return it == cells.end() ? BlankValue : it->second;
  }
  void SetRunUncertainty(int32_t run, Extended u) override { uncertainties[run] = u; }

  std::vector<std::string> columns;
  std::map<std::pair<int32_t, int32_t>, Extended> cells;
  std::map<int32_t, Extended> uncertainties;
};

class UncertaintyTableTest : public UncertaintyTest {
 protected:
  // What a table run does before the uncertainty: the compile, the entered
  // cells fixed, the blocks solved; then the propagation of this run.
  void Run(int32_t run, const std::string& uncertaintyOfB = "ub") {
    UncertaintyTableMode = true;
    CheckOnlyMode = true;
    editor.SetText("y = a*b\r\nz = ub");
    CompileEquations(false, false);
    CheckOnlyMode = false;
    ASSERT_EQ(CalcErrorCode, 0);
    CurrentProgramUnit = MainProgramUnit;
    CurrentRun = run;
    for (int32_t c = 1; c <= table.ColumnCount(); ++c) {
      if (!table.CellEntered(run, c)) continue;
      const int32_t v = table.ColumnVariable(1, c);
      TVariableRecord* r = MainProgramUnit->Variable(v);
      r->Value = table.CellValue(1, run, c);
      if (r->UnknownPosition > 0) RemoveFromVarOrder(v);
      r->UnknownPosition = kSetFromParametricTable;
    }
    SolveOneUnknownEquations(true);
    CheckAllGuessLimits();
    BlockAllUnits();
    SolveEquationBlocks();
    ASSERT_EQ(CalcErrorCode, 0);
    UncertaintySettings.CalculatedVariable = IndexOf("y");
    UncertaintySettings.MeasuredCount = 2;
    UncertaintySettings.MeasuredVariables[1] = IndexOf("a");
    UncertaintySettings.MeasuredVariables[2] = IndexOf("b");
    V("a")->Uncertainty = 0.1L;
    V("a")->UncertaintyIsRelative = 0;
    UncertaintySettings.UncertaintyVariables[2] = static_cast<int16_t>(IndexOf(uncertaintyOfB));
    PropagateUncertaintyForRun();
  }
  void SetUp() override {
    UncertaintyTest::SetUp();
    table.columns = {"a", "b", "ub", "y"};
    SetParametricTableAccess(&table);
  }
  FakeTable table;
};

TEST_F(UncertaintyTableTest, EachRunWritesItsUncertainty) {
  // Run 1: a = 2, b = 3, u_b = 0.2 from its column: U = 0.5 as above.
  // Run 2: a = 4, b = 1, u_b = 0.3: U = sqrt((1*0.1)^2 + (4*0.3)^2) = sqrt(1.45).
  table.cells = {{{1, 1}, 2}, {{1, 2}, 3}, {{1, 3}, 0.2L}, {{2, 1}, 4}, {{2, 2}, 1}, {{2, 3}, 0.3L}};
  Run(1);
  ASSERT_EQ(CalcErrorCode, 0);
  Run(2);
  ASSERT_EQ(CalcErrorCode, 0);
  ASSERT_EQ(table.uncertainties.size(), 2u);
  EXPECT_NEAR(static_cast<double>(table.uncertainties[1]), 0.5, 1E-6);
  EXPECT_NEAR(static_cast<double>(table.uncertainties[2]), std::sqrt(1.45), 1E-6);
  EXPECT_EQ(V("y")->Value, 4.0L);
}

TEST_F(UncertaintyTableTest, DialogListsTheColumnsOfTheFirstRun) {
  // Entered cells of run 1 (a, b, ub) are the measured candidates; the
  // others (y) can be calculated.
  table.cells = {{{1, 1}, 2}, {{1, 2}, 3}, {{1, 3}, 0.2L}};
  UncertaintyTableMode = true;
  CheckOnlyMode = true;
  editor.SetText("y = a*b\r\nz = ub");
  CompileEquations(false, false);
  CheckOnlyMode = false;
  TUncert d(true);
  d.FormActivate();
  EXPECT_EQ(d.HelpContext, 204);
  EXPECT_EQ(d.CalculatedList, std::vector<int16_t>{static_cast<int16_t>(IndexOf("y"))});
  EXPECT_EQ(d.MeasuredList.size(), 3u);
  EXPECT_FALSE(d.MovableLabelsShown);
  TUncertChoices c;
  c.CalculatedVariable = static_cast<int16_t>(IndexOf("y"));
  c.Measured = {static_cast<int16_t>(IndexOf("a"))};
  V("a")->Uncertainty = 0.1L;
  c.FirstRun = 0;
  c.LastRun = 40;
  bool repeat = false;
  EXPECT_TRUE(d.OKClick(c, repeat));
  EXPECT_EQ(UncertaintySettings.MeasuredCount, 1);
}

TEST_F(UncertaintyTableTest, MissingRunValueIs599) {
  // The uncertainty of b is to come from column y, which holds no entered
  // value in the run.
  table.cells = {{{1, 1}, 2}, {{1, 2}, 3}, {{1, 3}, 0.2L}};
  Run(1, "y");
  EXPECT_EQ(CalcErrorCode, kMsgUncertaintyRunValue);
  EXPECT_EQ(GetMessageText(CalcErrorCode),
            "A value for y must be provided in the run 1 of the Parametric table in order to do the uncertainty "
            "calculations.");
  EXPECT_TRUE(table.uncertainties.empty());
  // The table learns which column holds b's uncertainty.
  EXPECT_EQ(UncertaintyColumnVariable(IndexOf("b")), IndexOf("y"));
  EXPECT_EQ(UncertaintyColumnVariable(IndexOf("a")), 0);
  EXPECT_EQ(UncertaintyColumnVariable(IndexOf("y")), 0);
}

TEST_F(UncertaintyTableTest, PerturbationAcrossABoundIs579) {
  table.cells = {{{1, 1}, 2}, {{1, 2}, 3}, {{1, 3}, 0.2L}};
  editor.SetText("y = a*b\r\nz = ub");
  CheckOnlyMode = true;
  CompileEquations(false, false);
  V("a")->LowerLimit = 0;
  V("a")->UpperLimit = 2;  // a = 2 cannot move up
  Run(1);
  EXPECT_EQ(CalcErrorCode, kMsgUncertaintyCrossesBounds);
  EXPECT_EQ(GetMessageText(CalcErrorCode),
            "The uncertainty band crosses the bounds for variable a.  Check the lower and upper bounds for this "
            "variable.");
  EXPECT_EQ(V("a")->Value, 2.0L);
  EXPECT_TRUE(table.uncertainties.empty());
}

}  // namespace
}  // namespace voq

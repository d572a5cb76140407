// The Integral table made by $IntegralTable and written by the stepping,
// INTEGRALVALUE reading it, and INTEGRAL over the Parametric table in the
// table runs.
//
// Reference values are hand calculations: the trapezoids of 2t with step
// 0.1 give t^2 exactly at every position, and a table row between two
// positions lies on the straight line between them (t = 0.25 between 0.2
// and 0.3: (0.04 + 0.09)/2 = 0.065; t = 0.75: (0.49 + 0.64)/2 = 0.565).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "language/reader_state.h"
#include "solver/evaluator.h"
#include "table_fixture.h"
#include "tables/integral_table.h"
#include "tables/table_runs.h"
#include "tables/tables_state.h"

namespace voq {
namespace {

class IntegralTableTest : public testing::TableTest {
 protected:
  // The Solve command.
  int32_t Solve(const std::string& text) {
    editor.SetText(text);
    EquationsCompiled = false;
    CheckOnlyMode = false;
    CompileEquations(false, true);
    return CalcErrorCode;
  }
  std::vector<Extended> Column(int32_t column, int32_t rows) {
    std::vector<Extended> values;
    const TTableColumnRecord* c = ColumnAtPosition(TableForms[kIntegralTableKind]->Columns, column);
    for (int32_t r = 1; r <= rows; ++r) values.push_back(c->Cell(r));
    return values;
  }
  Extended ValueOf(const std::string& name) { return MainProgramUnit->Variable(VariableIndex(name))->Value; }
  static void ExpectNear(const std::vector<Extended>& actual, const std::vector<double>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(double(actual[i]), expected[i], 1e-12) << "row " << i + 1;
  }
};

TEST_F(IntegralTableTest, RowsAtTheOutputIncrementLieBetweenThePositions) {
  ASSERT_EQ(Solve("$IntegralTable t:0.25 y, z\r\ny = INTEGRAL(2*t, t, 0, 1, 0.1)\r\nz = 3*t\r\n"
                  "w = INTEGRALVALUE(0.25, y)"),
            0);
  TTableForm* form = TableForms[kIntegralTableKind].get();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->IntegralId, 1);
  EXPECT_EQ(TableColumnCounts[kIntegralTableKind], 3);
  EXPECT_EQ(TableRowCounts[kIntegralTableKind], 5);
  EXPECT_EQ(ColumnAtPosition(form->Columns, 1)->Name, "t");
  EXPECT_EQ(ColumnAtPosition(form->Columns, 2)->Name, "y");
  EXPECT_EQ(ColumnAtPosition(form->Columns, 3)->Name, "z");
  ExpectNear(Column(1, 5), {0, 0.25, 0.5, 0.75, 1});
  ExpectNear(Column(2, 5), {0, 0.065, 0.25, 0.565, 1});
  ExpectNear(Column(3, 5), {0, 0.75, 1.5, 2.25, 3});
  // The stepping ended on the last row: the final call wrote the extra row.
  EXPECT_EQ(MainProgramUnit->IntegralSlots[1].LastTableRow, 6);
  EXPECT_NEAR(double(ValueOf("w")), 0.065, 1e-12);
  EXPECT_TRUE(IntegralTableDirective.empty());
}

TEST_F(IntegralTableTest, IncrementDefaultsToTheStep) {
  ASSERT_EQ(Solve("$IntegralTable t y\r\ny = INTEGRAL(2*t, t, 0, 1, 0.2)"), 0);
  EXPECT_EQ(TableRowCounts[kIntegralTableKind], 6);
  ExpectNear(Column(2, 6), {0, 0.04, 0.16, 0.36, 0.64, 1});
}

TEST_F(IntegralTableTest, ValueBeyondThePositionReachedIsNotDetermined) {
  EXPECT_EQ(Solve("$IntegralTable t:0.25 y\r\ny = INTEGRAL(2*t, t, 0, 1, 0.1)\r\nw = INTEGRALVALUE(0.6, y)"),
            kMsgValueUndetermined);
  EXPECT_EQ(MessageArgs[1], "y");
  EXPECT_EQ(MessageArgs[2], "t");
  EXPECT_EQ(Solve("$IntegralTable t:0.25 y\r\ny = INTEGRAL(2*t, t, 0, 1, 0.1)\r\nw = INTEGRALVALUE(0.5, q)\r\nq=1"),
            kMsgNotInIntegralTable);
  EXPECT_EQ(MessageArgs[1], "q");
}

TEST_F(IntegralTableTest, DirectivesThatMakeNoTable) {
  struct Case {
    const char* directive;
    int32_t message;
    int32_t error;  // left by the set-up (the OK answer goes on)
  };
  const Case cases[] = {
      {"$IntegralTable q:0.1 y", kMsgIntegralTableVariable, 0},
      {"$IntegralTable t:abc y", kMsgIntegralTableIncrement, 0},
      {"$IntegralTable t: y", kMsgIntegralTableIncrement, 0},
      {"$IntegralTable t:0.1 nothere", kMsgIntegralTableVariableNotFound, 0},
      {"$IntegralTable t:0.1 y+1", kMsgDirectiveSyntax, kMsgCancelled},
  };
  for (const Case& c : cases) {
    platform.alerts.clear();
    DestroyTableForm(kIntegralTableKind);
    const int32_t error = Solve(std::string(c.directive) + "\r\ny = INTEGRAL(2*t, t, 0, 1, 0.1)\r\nq = 2");
    EXPECT_EQ(error, c.error) << c.directive;
    ASSERT_FALSE(platform.alerts.empty()) << c.directive;
    EXPECT_EQ(platform.alerts.front().text.substr(0, 12), GetMessageText(c.message).substr(0, 12)) << c.directive;
    EXPECT_EQ(TableForms[kIntegralTableKind], nullptr) << c.directive;
  }
  // Cancel on a missing variable stops the calculation.
  platform.alerts.clear();
  platform.alertAnswers.push_back(kResultCancel);
  EXPECT_EQ(Solve("$IntegralTable t:0.1 nothere\r\ny = INTEGRAL(2*t, t, 0, 1, 0.1)"), kMsgCancelled);
}

TEST_F(IntegralTableTest, ArrayRangesExpandIntoColumns) {
  ASSERT_EQ(Solve("$IntegralTable t:0.5 x[1..3]\r\ny = INTEGRAL(2*t, t, 0, 1, 0.1)\r\n"
                  "x[1] = t\r\nx[2] = 2*t\r\nx[3] = 3*t"),
            0);
  EXPECT_EQ(TableColumnCounts[kIntegralTableKind], 4);
  EXPECT_EQ(ColumnAtPosition(TableForms[kIntegralTableKind]->Columns, 4)->Name, "x[3]");
  ExpectNear(Column(4, 3), {0, 1.5, 3});
}

TEST_F(IntegralTableTest, IntegralOverTheParametricTable) {
  CompileOnly("y = INTEGRAL(2*T, T)");
  TTableForm* form = MakeParametric({"T", "y"}, 5);
  const Extended t[] = {0, 0.5, 1, 1.5, 2};
  for (int32_t r = 1; r <= 5; ++r) form->SetmyCell(0, 1, t[r - 1], r, 1, 1);
  RunSolveTable();
  ASSERT_EQ(CalcErrorCode, 0);
  // Trapezoids of 2T between consecutive runs: T^2.
  for (int32_t r = 1; r <= 5; ++r)
    EXPECT_NEAR(double(FindColumn(TableForms[1]->Columns, 2)->Cell(r)), double(t[r - 1] * t[r - 1]), 1e-12) << r;
}

TEST_F(IntegralTableTest, TableIntegralErrors) {
  // Outside a table run.
  CompileOnly("y = INTEGRAL(2*T, T)\r\nT = 1");
  MakeParametric({"T", "y"}, 2);
  EXPECT_EQ(Solve("y = INTEGRAL(2*T, T)\r\nT = 1"), kMsgTableIntegralOutsideTable);

  // The integration variable has no column.
  CompileOnly("y = INTEGRAL(2*x, x)\r\nx = T");
  MakeParametric({"T", "y"}, 2);
  for (int32_t r = 1; r <= 2; ++r) TableForms[1]->SetmyCell(0, 1, r, r, 1, 1);
  RunSolveTable();
  EXPECT_EQ(CalcErrorCode, kMsgTableIntegralVariable);
  EXPECT_EQ(MessageArgs[1], "x");

  // A computed cell of the integration variable in a later run.
  CompileOnly("y = INTEGRAL(2*x, x)\r\nx = 2*s");
  TTableForm* form = MakeParametric({"s", "x", "y"}, 3);
  for (int32_t r = 1; r <= 3; ++r) form->SetmyCell(0, 1, r, r, 1, 1);
  RunSolveTable();
  EXPECT_EQ(CalcErrorCode, kMsgTableIntegralVariable);
  EXPECT_EQ(MessageArgs[1], "Run 2");
}


TEST_F(IntegralTableTest, EquationIntegralRestartsInEveryRunAndTheTableKeepsEachRun) {
  // Trapezoids of k*t over [0, 1] are exact: k/2.
  CompileOnly("$IntegralTable t:0.5 y\r\ny = INTEGRAL(k*t, t, 0, 1, 0.1)");
  TTableForm* form = MakeParametric({"k", "y"}, 3);
  for (int32_t r = 1; r <= 3; ++r) form->SetmyCell(0, 1, r, r, 1, 1);
  RunSolveTable();
  ASSERT_EQ(CalcErrorCode, 0);
  for (int32_t r = 1; r <= 3; ++r)
    EXPECT_NEAR(double(FindColumn(TableForms[1]->Columns, 2)->Cell(r)), r / 2.0, 1e-12) << r;
  TTableForm* integral = TableForms[kIntegralTableKind].get();
  ASSERT_NE(integral, nullptr);
  EXPECT_EQ(integral->TabCaptions, (std::vector<std::string>{"Run 1", "Run 2", "Run 3"}));
  const TTableColumnRecord* y = ColumnAtPosition(integral->Columns, 2);
  ASSERT_EQ(y->ValueSets.size(), 3u);
  // Row 2 (t = 0.5) of run 3: 3 * 0.5^2 / 2.
  EXPECT_NEAR(double(y->ValueSets[2][1]), 0.375, 1e-12);
}

}  // namespace
}  // namespace voq

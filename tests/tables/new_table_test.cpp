// New parametric tables without a screen: the dialog's lists (array and
// "@" names, Shift ranges, dragging, moves within the table list), the
// name rules, the macro line, and the change of a table's variables that
// keeps each kept column whole and survives a failed allocation.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "language/export_after_run.h"
#include "core/calc_state.h"
#include "core/message_ids.h"
#include "tables/new_table.h"
#include "tables/table_edits.h"
#include "tables/table_fixture.h"

namespace voq {
namespace {

class NewTableTest : public testing::TableTest {
 protected:
  void TearDown() override {
    MacroRecording = false;
    MacroText.clear();
    TableBlockAllocationBudget = -1;
    TableTest::TearDown();
  }
  static std::vector<std::string> Names(const std::vector<TNewTableItem>& items) {
    std::vector<std::string> names;
    for (const TNewTableItem& t : items) names.push_back(t.Name);
    return names;
  }
  static std::vector<std::string> Columns(TTableForm* f) {
    std::vector<std::string> names;
    for (TTableColumnRecord* c = f->Columns; c != nullptr; c = c->Next) names.push_back(c->Title());
    return names;
  }
  static void Select(std::vector<TNewTableItem>& items, const std::string& name) {
    for (TNewTableItem& t : items)
      if (t.Name == name) t.Selected = true;
  }
};

TEST_F(NewTableTest, VariableListLeavesOutArraysOnRequestAndAtNamesAlways) {
  CompileOnly("y = 2*x\nT[1] = 1\nT[2] = y\nz = 3");
  // A module's local as the merged program names it.
  MainProgramUnit->Variable(VariableIndex("z"))->Name = "@z";
  TNewTableModel m(false, false, -1);
  EXPECT_EQ(Names(m.VarList), (std::vector<std::string>{"T[1]", "T[2]", "x", "y"}));
  m.SetShowArrayVars(false);
  EXPECT_EQ(Names(m.VarList), (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(m.Caption(), "New Parametric Table");
  EXPECT_EQ(m.Name, "Table 1");
  EXPECT_EQ(m.Runs, 10);
  EXPECT_EQ(m.HelpContext(), 51);
}

TEST_F(NewTableTest, ShiftClickSelectsTheRangeToTheNearestSelectedItem) {
  CompileOnly("a = 1\nb = 2\nc = 3\nd = 4\ne = 5");
  TNewTableModel m(false, false, -1);
  m.Click(TNewTableList::Variables, 2, true);  // nothing else selected: only c
  EXPECT_EQ(m.VarList[2].Selected, true);
  EXPECT_EQ(int(std::count_if(m.VarList.begin(), m.VarList.end(), [](auto& t) { return t.Selected; })), 1);
  m.Click(TNewTableList::Variables, 2, false);
  m.Click(TNewTableList::Variables, 4, false);  // e
  m.Click(TNewTableList::Variables, 1, true);   // b: none above, so to e below
  for (int k = 0; k < 5; ++k) EXPECT_EQ(m.VarList[size_t(k)].Selected, k >= 1) << k;
  // A click in the table list deselects the variable list.
  m.Add();
  EXPECT_EQ(Names(m.TableList), (std::vector<std::string>{"b", "c", "d", "e"}));
  Select(m.VarList, "a");
  m.Click(TNewTableList::Table, 0, false);
  EXPECT_FALSE(m.VarList[0].Selected);
  EXPECT_TRUE(m.RemoveEnabled());
  EXPECT_FALSE(m.AddEnabled());
}

TEST_F(NewTableTest, DraggingStartsPastFivePixelsAndMovesWithinTheTableList) {
  CompileOnly("a = 1\nb = 2\nc = 3");
  TNewTableModel m(false, false, -1);
  for (auto& t : m.VarList) t.Selected = true;
  m.MouseDown(TNewTableList::Variables, 10, 10);
  m.MouseMove(13, 12);  // 5 pixels: not yet
  EXPECT_EQ(m.Dragging(), TNewTableList::None);
  m.MouseMove(13, 13);
  EXPECT_EQ(m.Dragging(), TNewTableList::Variables);
  m.Drop(TNewTableList::Table, 0, 16, 0, 0);
  EXPECT_EQ(Names(m.TableList), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(m.Dragging(), TNewTableList::None);
  // "a" dragged to the row under y = 40 (row 2).
  m.TableList[0].Selected = true;
  m.MouseDown(TNewTableList::Table, 5, 5);
  m.MouseMove(5, 40);
  m.Drop(TNewTableList::Table, 40, 16, 0, 0);
  EXPECT_EQ(Names(m.TableList), (std::vector<std::string>{"b", "c", "a"}));
  // Beyond the last row: the last row.
  m.MouseDown(TNewTableList::Table, 5, 5);
  m.MouseMove(5, 400);
  m.Drop(TNewTableList::Table, 400, 16, 0, 0);
  EXPECT_EQ(Names(m.TableList), (std::vector<std::string>{"b", "c", "a"}));
}

TEST_F(NewTableTest, OkMakesTheTableRecordsTheMacroAndNamesACopy) {
  CompileOnly("y = 2*x");
  MacroRecording = true;
  TNewTableModel first(false, false, -1);
  for (auto& t : first.VarList) t.Selected = true;
  first.Add();
  first.Name = "  Table 1 ";
  ASSERT_TRUE(first.Ok());
  ASSERT_NE(TableForms[1], nullptr);
  EXPECT_EQ(MacroText, "NewTable 'Table 1'  Runs=10 x y \r\n");
  EXPECT_EQ(TableRowCounts[1], 10);
  EXPECT_EQ(Columns(TableForms[1].get()), (std::vector<std::string>{"x", "y"}));
  EXPECT_FALSE(DocumentUnchanged);
  for (int round = 0; round < 2; ++round) {
    TNewTableModel next(false, false, -1);
    EXPECT_EQ(next.Name, "Table " + std::to_string(2 + round));
    Select(next.VarList, "x");
    next.Add();
    next.Name = "table 1";
    next.Runs = 3;
    ASSERT_TRUE(next.Ok());
    EXPECT_EQ(TableForms[1]->TableName, "table 1(copy)");
  }
  EXPECT_EQ(TableLists[1]->size(), 3u);
  EXPECT_EQ(TableRowCounts[1], 3);
}

TEST_F(NewTableTest, AnEmptyNameBeepsAndKeepsTheDialogOpen) {
  CompileOnly("y = 2*x");
  TNewTableModel m(false, false, -1);
  for (auto& t : m.VarList) t.Selected = true;
  m.Add();
  m.Name = "   ";
  platform.ticks += 2000;
  EXPECT_FALSE(m.Ok());
  EXPECT_EQ(platform.beeps, 1);
  EXPECT_EQ(TableForms[1], nullptr);
}

TEST_F(NewTableTest, CreateParametricTableForMacros) {
  CompileOnly("y = 2*x");
  ParametricColumnOrder = {0, VariableIndex("y"), VariableIndex("x")};
  NewTableColumnCount = 2;
  CreateParametricTable(4, "M");
  ASSERT_NE(TableForms[1], nullptr);
  EXPECT_EQ(TableForms[1]->TableName, "M");
  EXPECT_EQ(Columns(TableForms[1].get()), (std::vector<std::string>{"y", "x"}));
  EXPECT_EQ(LastRun, 4);
}

class InsertVariablesTest : public NewTableTest {
 protected:
  // "Table 1" over x and y (5 runs), x entered 1..5 in fixed format 3.
  TTableForm* Table() {
    CompileOnly("y = 2*x\nz = y + 1");
    TTableForm* f = MakeParametric({"x", "y"}, 5);
    TTableColumnRecord* x = FindColumn(f->Columns, 1);
    x->Format = TDisplayFormat{kStyleFixed, 3};
    x->PatternRows = 7;
    for (int32_t r = 1; r <= 5; ++r) {
      x->SetCell(r, r);
      x->SetFlag(r, 1);
    }
    return f;
  }
  static TTableColumnRecord* Column(TTableForm* f, const std::string& name) {
    for (TTableColumnRecord* c = f->Columns; c != nullptr; c = c->Next)
      if (c->Title() == name) return c;
    return nullptr;
  }
};

TEST_F(InsertVariablesTest, KeptVariablesKeepTheirColumnsAlsoWhenRemovedAndAddedBack) {
  TTableForm* f = Table();
  TNewTableModel m(true, true, -1);
  EXPECT_EQ(m.Caption(), "Insert/Delete Variables");
  EXPECT_EQ(Names(m.TableList), (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(Names(m.VarList), (std::vector<std::string>{"z"}));
  Select(m.TableList, "x");
  m.Remove();
  Select(m.VarList, "z");
  m.Add();
  Select(m.VarList, "x");
  m.Add();
  ASSERT_TRUE(m.Ok());
  EXPECT_EQ(Columns(f), (std::vector<std::string>{"y", "z", "x"}));
  TTableColumnRecord* x = Column(f, "x");
  EXPECT_EQ(x->ColumnNumber, 3);
  EXPECT_EQ(x->Format.Style, kStyleFixed);
  EXPECT_EQ(x->Format.Digits, 3);
  EXPECT_EQ(x->PatternRows, 7);
  for (int32_t r = 1; r <= 5; ++r) {
    EXPECT_DOUBLE_EQ(double(x->Cell(r)), r);
    EXPECT_EQ(x->Flag(r), 1);
  }
  TTableColumnRecord* z = Column(f, "z");
  const TVariableRecord* zv = MainProgramUnit->Variable(VariableIndex("z"));
  EXPECT_EQ(z->Format.Style, zv->Style);
  EXPECT_EQ(z->Format.Digits, zv->Digits);
  for (int32_t r = 1; r <= 5; ++r) EXPECT_TRUE(IsBlank(z->Cell(r)));
  EXPECT_EQ(TableColumnCounts[1], 3);
  EXPECT_EQ(f->GridColCount, 4);
  EXPECT_EQ(ParametricColumnOrder, (std::vector<int32_t>{0, VariableIndex("y"), VariableIndex("z"), VariableIndex("x")}));
}

TEST_F(InsertVariablesTest, InsertingAtPositionZeroGoesBeforeTheFirstColumnInReverseOrder) {
  CompileOnly("y = 2*x\nz = y + 1\nw = z");
  TTableForm* f = MakeParametric({"x", "y"}, 3);
  TNewTableModel m(true, false, 0);
  Select(m.VarList, "w");
  Select(m.VarList, "z");
  m.Add();
  EXPECT_EQ(Names(m.TableList), (std::vector<std::string>{"z", "w", "x", "y"}));
  // A position past the end of the receiving list: its end.
  TNewTableModel beyond(true, false, 9);
  Select(beyond.VarList, "w");
  beyond.Add();
  EXPECT_EQ(Names(beyond.TableList), (std::vector<std::string>{"x", "y", "w"}));
  ASSERT_TRUE(m.Ok());
  EXPECT_EQ(Columns(f), (std::vector<std::string>{"z", "w", "x", "y"}));
}

TEST_F(InsertVariablesTest, AFailedAllocationOnTheSecondNewColumnLeavesTheColumnsAsTheyWere) {
  TTableForm* f = Table();
  TNewTableModel m(true, true, -1);
  Select(m.VarList, "z");
  m.Add();
  TableBlockAllocationBudget = 1;
  EXPECT_FALSE(m.Ok());
  EXPECT_EQ(CalcErrorCode, kMsgOutOfMemory);
  CalcErrorCode = 0;
  EXPECT_EQ(Columns(f), (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(TableColumnCounts[1], 2);
  for (int32_t r = 1; r <= 5; ++r) EXPECT_DOUBLE_EQ(double(Column(f, "x")->Cell(r)), r);
  EXPECT_EQ(platform.alerts.size(), 1u);
}

}  // namespace
}  // namespace voq

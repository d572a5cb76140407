#include "tables/table_model.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/string_constants.h"
#include "model/document_settings.h"
#include "table_fixture.h"
#include "tables/tables_state.h"

namespace voq {
namespace {

using testing::TableTest;

TEST(TableKinds, KindsAndWindowNumbersMapBothWays) {
  const std::array<std::array<int32_t, 2>, 4> pairs{{{1, 4}, {2, 6}, {3, 8}, {4, 10}}};
  for (const auto& [kind, tag] : pairs) {
    EXPECT_EQ(TableKindToWindowTag(kind), tag);
    EXPECT_EQ(WindowTagToTableKind(tag), kind);
  }
  for (int32_t other : {0, 5, -1, 7, 11}) EXPECT_EQ(TableKindToWindowTag(other), 0);
  for (int32_t other : {0, 1, 5, 7, 9, 11, -4}) EXPECT_EQ(WindowTagToTableKind(other), 0);
}

TEST(TableColumns, NewColumnIsBlankWithTheFlagsOfItsWindow) {
  for (int32_t tag : {4, 6, 8, 10}) {
    TTableColumnRecord* c = nullptr;
    NewTableColumn(c, 5, tag);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->ValueBytes(), 60);
    EXPECT_EQ(c->FlagBytes(), 6);
    for (int32_t r = 1; r <= 6; ++r) {
      EXPECT_TRUE(IsBlank(c->Cell(r)));
      EXPECT_EQ(c->Flag(r), tag == 4 ? 0 : 1);
    }
    EXPECT_EQ(c->PatternRows, 10);
    EXPECT_EQ(c->PatternSecond, 1.0L);
    FreeColumnChain(c);
  }
}

TEST(TableHeaders, StoredBytesSitAtTheirOffsetsAndReadBack) {
  TTableHeaderRecord h;
  h.TableNumber = 2;
  h.RowCount = 7;
  h.ColumnCount = 3;
  h.GridRowCount = 9;
  h.GridColCount = 4;
  h.SumRowShown = 1;
  h.Name = "Table 2";
  h.FileName = "a.lkt";
  h.RowInfo.resize(9);
  h.Selection = {1, 2, 3, 4};
  h.EditCol = 2;
  h.EditRow = -1;
  h.PrintSelected = 1;
  h.FirstRun = 2;
  h.LastRun = 6;
  h.FileDate = 45000.5;
  std::array<uint8_t, kTableHeaderSize> bytes{};
  PackTableHeader(h, bytes.data());
  EXPECT_EQ(bytes[4], 7);
  EXPECT_EQ(bytes[48], 7);  // name length
  EXPECT_EQ(bytes[49], 'T');
  EXPECT_EQ(bytes[304], 5);
  EXPECT_EQ(bytes[560], 9);  // row records
  EXPECT_EQ(bytes[588], 0xFF);  // EditRow -1
  EXPECT_EQ(bytes[592], 1);
  EXPECT_EQ(bytes[603], 2);
  EXPECT_EQ(bytes[607], 6);
  EXPECT_EQ(bytes[40], 0);  // no pointer in a file
  TTableHeaderRecord back;
  UnpackTableHeader(bytes.data(), back);
  EXPECT_EQ(back.Name, h.Name);
  EXPECT_EQ(back.FileName, h.FileName);
  EXPECT_EQ(back.Selection, h.Selection);
  EXPECT_EQ(back.EditRow, -1);
  EXPECT_EQ(back.FirstRun, 2);
  EXPECT_EQ(back.LastRun, 6);
  EXPECT_EQ(back.FileDate, 45000.5);
  EXPECT_EQ(back.GridColCount, 4);
}

class TableModelTest : public TableTest {};

TEST_F(TableModelTest, ParametricSetupTakesTheVariablesOfItsColumns) {
  CompileOnly("T = 10\ny = 2*T\nname$ = 'a'");
  TTableForm* form = MakeParametric({"T", "y", "name$"}, 4);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->Caption, "Parametric Table");
  EXPECT_EQ(form->GridRowCount, 5);
  EXPECT_EQ(form->GridColCount, 4);
  EXPECT_EQ(form->RowInfoCount(), 5);
  ASSERT_NE(TableLists[1], nullptr);
  EXPECT_EQ(TableLists[1]->size(), 1u);
  EXPECT_EQ(form->CurrentTable, 1);
  TTableColumnRecord* c = form->Columns;
  EXPECT_EQ(c->Name, "T");
  EXPECT_EQ(c->Next->Name, "y");
  EXPECT_EQ(c->Next->Next->IsString, 1);
  EXPECT_EQ(ParametricColumnOfVariable(VariableIndex("y")), 2);
  EXPECT_FALSE(IsParametricColumnVariable(VariableIndex("x")));
}

TEST_F(TableModelTest, AVariableOutOfRangeStopsTheSetupWithABeep) {
  CompileOnly("T = 10");
  ParametricColumnOrder = {0, VariableIndex("T"), 999};
  TableRowCounts[1] = 2;
  TableColumnCounts[1] = 2;
  platform.ticks = 5000;
  CreateTableForm(kParametricTableKind);
  ASSERT_TRUE(TableForms[1]);
  EXPECT_EQ(platform.beeps, 1);
  // The set-up stopped at the second column: no name, no tab.
  ASSERT_NE(TableForms[1]->Columns->Next, nullptr);
  EXPECT_EQ(TableForms[1]->Columns->Next->Name, "");
  EXPECT_FALSE(TableLists[1]);
}

TEST_F(TableModelTest, WritingTheSameValueChangesNothing) {
  CompileOnly("T = 10\ny = 2*T");
  TTableForm* form = MakeParametric({"T", "y"}, 3);
  form->SetmyCell(0, 1, 5, 2, 1, 1);
  DocumentUnchanged = true;
  form->Columns->Next->SetCell(2, 10);  // a computed cell of the run
  form->SetmyCell(0, 1, 5, 2, 1, 1);
  EXPECT_TRUE(DocumentUnchanged);
  EXPECT_EQ(form->Columns->Next->Cell(2), 10);
}

TEST_F(TableModelTest, TypingIntoARunClearsItsComputedCellsOnly) {
  CompileOnly("a = 1\nb = 2\nc = a + b");
  TTableForm* form = MakeParametric({"a", "b", "c"}, 2);
  TTableColumnRecord* a = form->Columns;
  TTableColumnRecord* b = a->Next;
  TTableColumnRecord* c = b->Next;
  form->SetmyCell(0, 1, 1, 1, 1, 1);  // a entered
  c->SetCell(1, 3);
  b->SetCell(1, 2);  // computed
  form->SetmyCell(0, 1, 7, 1, 1, 1);
  EXPECT_EQ(a->Cell(1), 7);
  EXPECT_EQ(a->Flag(1), 1);
  EXPECT_TRUE(IsBlank(b->Cell(1)));
  EXPECT_TRUE(IsBlank(c->Cell(1)));

  // Blank typed into an input: computed again, the run's results cleared.
  c->SetCell(1, 3);
  form->SetmyCell(0, 1, BlankValue, 1, 1, 1);
  EXPECT_EQ(a->Flag(1), 0);
  EXPECT_TRUE(IsBlank(c->Cell(1)));

  // With mode 0 the flag stays.
  form->SetmyCell(0, 1, 4, 2, 1, 1);
  c->SetCell(2, 9);
  form->SetmyCell(0, 1, BlankValue, 2, 1, 0);
  EXPECT_EQ(a->Flag(2), 1);
  EXPECT_TRUE(IsBlank(c->Cell(2)));
  // A computed value (mode 0) clears nothing.
  c->SetCell(2, 9);
  form->SetmyCell(0, -1, 11, 2, 2, 0);
  EXPECT_EQ(c->Cell(2), 9);
  EXPECT_EQ(b->Flag(2), 0);
}

TEST_F(TableModelTest, SumCellFollowsChangesUntilABlankAndIsRecomputedByFillSumAvg) {
  Preferences.TableSumRow = 1;
  CompileOnly("a = 1\nb = 2");
  TTableForm* form = MakeParametric({"a", "b"}, 3);
  EXPECT_EQ(form->SumRowShown, 1);
  EXPECT_EQ(form->GridRowCount, 5);
  TTableColumnRecord* a = form->Columns;
  for (int32_t r = 1; r <= 3; ++r) a->SetCell(r, r);
  form->FillSumAvg(1);
  EXPECT_EQ(a->Cell(4), 6);
  EXPECT_EQ(a->Flag(4), 0);
  form->SetmyCell(0, 1, 10, 2, 1, 1);  // 1 + 10 + 3
  EXPECT_EQ(a->Cell(4), 14);
  form->SetmyCell(0, 1, BlankValue, 3, 1, 1);
  EXPECT_TRUE(IsBlank(a->Cell(4)));
  form->SetmyCell(0, 1, 5, 3, 1, 1);  // the old sum was blank
  EXPECT_TRUE(IsBlank(a->Cell(4)));
  form->FillSumAvg(1);
  EXPECT_EQ(a->Cell(4), 16);
  form->FillSumAvg(2);  // all blank
  EXPECT_TRUE(IsBlank(a->Next->Cell(4)));
}

TEST_F(TableModelTest, GetMyCellRequests) {
  CompileOnly("a = 1\nname$ = 'x'");
  TTableForm* form = MakeParametric({"a", "name$"}, 2);
  std::string text = "unchanged";
  uint8_t entered = 9;
  EXPECT_TRUE(IsBlank(form->GetMyCell(0, 1, 1, text, 255, entered, 0)));
  EXPECT_EQ(text, "");
  EXPECT_EQ(entered, 0);
  form->SetmyCell(0, 1, 2.5L, 1, 1, 1);
  EXPECT_EQ(form->GetMyCell(0, 1, 1, text, 255, entered, 2), 2.5L);
  EXPECT_EQ(entered, 1);
  EXPECT_EQ(text, "2.5");
  // A string column read for a number.
  text = "kept";
  CalcErrorCode = 0;
  EXPECT_EQ(form->GetMyCell(0, 1, 2, text, 255, entered, 0), -999.0L);
  EXPECT_EQ(CalcErrorCode, kMsgTableFormatMismatch);
  EXPECT_EQ(text, "kept");
  CalcErrorCode = 0;
  form->Columns->Next->SetCell(1, StringConstIndex("hello"));
  form->GetMyCell(0, 1, 2, text, 3, entered, 1);
  EXPECT_EQ(text, "hel");
  // Titles and the table's name.
  EXPECT_EQ(form->GetMyCell(0, -1, 2, text, 255, entered, 2), -1.0L);
  EXPECT_EQ(text, "name$");
  EXPECT_EQ(form->GetMyCell(0, -2, 1, text, 255, entered, 2), -2.0L);
  EXPECT_EQ(text, "Table 1");
  text = "NAME$";
  EXPECT_EQ(form->GetMyCell(0, -3, 0, text, 255, entered, 2), 2.0L);
  text = "b";
  EXPECT_EQ(form->GetMyCell(0, -3, 0, text, 255, entered, 2), -1.0L);
  EXPECT_TRUE(IsBlank(form->GetMyCell(0, 1, 7, text, 255, entered, 2)));
}

TEST_F(TableModelTest, LookupTitlesIgnoreTheUnitsAndCase) {
  TTableForm* form = MakeLookup(2, 3, "Data");
  EXPECT_EQ(form->Caption, "Lookup Table");
  form->Columns->Name = "Q\r[kW]";
  std::string text = "q";
  uint8_t entered = 0;
  EXPECT_EQ(form->GetMyCell(0, -3, 0, text, 255, entered, 2), 1.0L);
  form->GetMyCell(0, 1, 1, text, 255, entered, 2);
  EXPECT_EQ(entered, 1);
  EXPECT_EQ(form->Columns->Next->Name, "Column2");
  form->Columns->Format.Style = kStyleStringConstant;
  EXPECT_EQ(form->StrVarType(1), 1);
  EXPECT_EQ(form->StrVarType(5), 0);
}

TEST_F(TableModelTest, MacroRecordingWritesTheCellAssignment) {
  CompileOnly("a = 1\nb = 2");
  TTableForm* form = MakeParametric({"a", "b"}, 3);
  MacroRecording = true;
  form->SetmyCell(1, 1, 2.5L, 3, 2, 1);
  EXPECT_EQ(MacroText, "Parametric['Table 1',3,2]=2.5\r\n");
  form->SetmyCell(1, -1, 4, 2, 2, 0);  // computed values are not recorded
  EXPECT_EQ(MacroText, "Parametric['Table 1',3,2]=2.5\r\n");
}

TEST_F(TableModelTest, TablesSwitchDeleteAndDuplicate) {
  TTableForm* form = MakeLookup(1, 2, "One");
  form->SetmyCell(0, 2, 1, 1, 1, 1);
  MakeLookup(2, 3, "Two");
  form->SetmyCell(0, 2, 2, 1, 1, 1);
  MakeLookup(1, 1, "Three");
  form->SetmyCell(0, 2, 3, 1, 1, 1);
  ASSERT_EQ(TableLists[2]->size(), 3u);
  EXPECT_EQ(form->TabCaptions, (std::vector<std::string>{"One", "Two", "Three"}));
  int32_t index = 0;
  EXPECT_EQ(form->ExistingName("two", index), 1);
  EXPECT_EQ(index, 2);
  EXPECT_EQ(form->ExistingName("four", index), 0);
  int32_t rows = 0, columns = 0;
  form->MultipleTableRowsCols(2, rows, columns);
  EXPECT_EQ(rows, 3);
  EXPECT_EQ(columns, 2);

  ASSERT_TRUE(form->SwitchToTab(0));
  EXPECT_EQ(form->CurrentTable, 1);
  EXPECT_EQ(TableRowCounts[2], 2);
  EXPECT_EQ(form->Columns->Cell(1), 1);
  // A cell of a table not shown, by its number.
  form->SetmyCell(3, 2, 30, 1, 1, 1);
  EXPECT_EQ((*TableLists[2])[2]->Columns->Cell(1), 30);

  // The shown first table goes: the old second is shown as table 1.
  form->DeleteSingleTable(1);
  ASSERT_EQ(TableLists[2]->size(), 2u);
  EXPECT_EQ(form->CurrentTable, 1);
  EXPECT_EQ(form->TableName, "Two");
  EXPECT_EQ(form->Columns->Cell(1), 2);
  EXPECT_EQ((*TableLists[2])[0]->TableNumber, 1);
  EXPECT_EQ((*TableLists[2])[1]->TableNumber, 2);
  EXPECT_EQ(form->TabCaptions, (std::vector<std::string>{"Two", "Three"}));

  form->SetGridColWidth(1, 120);
  form->DuplicateTable();
  ASSERT_EQ(TableLists[2]->size(), 3u);
  EXPECT_EQ(form->CurrentTable, 3);
  EXPECT_EQ(form->TableName, "Two (copy)");
  EXPECT_EQ(form->TabCaptions.back(), "Two (copy)");
  EXPECT_EQ(form->Columns->Cell(1), 2);
  EXPECT_EQ(form->Columns->Width, 120);
  EXPECT_NE(form->Columns, (*TableLists[2])[0]->Columns);

  form->DisposeAll();
  EXPECT_FALSE(TableForms[2]);
  EXPECT_FALSE(TableLists[2]);
  EXPECT_EQ(TableRowCounts[2], -10);
}

TEST_F(TableModelTest, RowRecordsFollowTheGridRows) {
  TTableForm* form = MakeLookup(1, 2, "One");
  EXPECT_EQ(form->RowInfoCount(), 3);
  form->RowInfo[1].Colour = 3;
  form->GridRowCount = 5;
  form->ManageRowInfo();
  ASSERT_EQ(form->RowInfoCount(), 5);
  EXPECT_EQ(form->RowInfo[1].Colour, 3);
  EXPECT_EQ(form->RowInfo[4], TableRowInfo{});
}

}  // namespace
}  // namespace voq

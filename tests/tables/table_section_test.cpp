#include "tables/table_section.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/string_constants.h"
#include "model/document_settings.h"
#include "session/engine.h"
#include "table_fixture.h"
#include "tables/tables_state.h"

namespace voq {
namespace {

class TableSectionTest : public testing::TableTest {
 protected:
  std::vector<uint8_t> Write(int32_t tag) {
    std::vector<uint8_t> out;
    WriteTableSection(out, tag, false);
    return out;
  }
  bool Read(const std::vector<uint8_t>& bytes, int32_t tag, double version = 10.0,
            TLookupFileRecord* lookup = nullptr) {
    size_t pos = 0;
    const bool ok = ReadTableSection(bytes.data(), bytes.size(), pos, tag, lookup, version);
    if (ok) {
      EXPECT_EQ(pos, bytes.size());
    }
    return ok;
  }
  // Closes every table window and list, as a new document does.
  void DropTables() { ResetTablesState(); }
};

TEST_F(TableSectionTest, NoWindowGivesTwoBytesThatReadAsNothing) {
  const std::vector<uint8_t> bytes = Write(4);
  EXPECT_EQ(bytes, (std::vector<uint8_t>{0, 0}));
  EXPECT_TRUE(Read(bytes, 4));
  EXPECT_FALSE(TableForms[1]);
  EXPECT_EQ(TableRowCounts[1], -10);
}

// The bytes of a one-column lookup table, built by hand from the layout.
TEST_F(TableSectionTest, LookupColumnBytesByHand) {
  TTableForm* form = MakeLookup(1, 2, "Data");
  TTableColumnRecord* c = form->Columns;
  c->Name = "Q\r[kW]";
  c->ColourIndex = 3;
  c->Format = {kStyleFixed, 2};
  form->SetGridColWidth(1, 100);
  c->SetCell(1, 1.5L);
  std::vector<uint8_t> expected{1, 0, 2, 0};
  const std::string name = std::string("Q\r[kW]\n") + char(100) + char(3);
  expected.push_back(uint8_t(name.size()));
  expected.insert(expected.end(), name.begin(), name.end());
  expected.insert(expected.end(), 30 - name.size(), 0);
  uint8_t real[10];
  PackExtended(real, 1.5L);
  expected.insert(expected.end(), real, real + 10);
  PackExtended(real, BlankValue);
  expected.insert(expected.end(), real, real + 10);
  expected.insert(expected.end(), {1, 1, 1, 2, 0});
  EXPECT_EQ(Write(6), expected);
  // Read into a new document and written again: the same bytes.
  DropTables();
  ASSERT_TRUE(Read(expected, 6));
  EXPECT_EQ(TableForms[2]->Columns->Name, "Q\r[kW]");
  EXPECT_EQ(TableForms[2]->Columns->Format.Digits, 2);
  EXPECT_EQ(Write(6), expected);
}

TEST_F(TableSectionTest, ParametricTableReadsBackCellFlagAndFormat) {
  CompileOnly("T = 10\ny = 2*T\nlabel$ = 'x'\nvery_long_variable_name_of_29 = 1");
  TTableForm* form = MakeParametric({"T", "y", "label$", "very_long_variable_name_of_29"}, 3);
  ASSERT_NE(form, nullptr);
  TTableColumnRecord* t = form->Columns;
  TTableColumnRecord* y = t->Next;
  TTableColumnRecord* s = y->Next;
  TTableColumnRecord* longName = s->Next;
  for (int32_t r = 1; r <= 3; ++r) form->SetmyCell(0, 1, 10.0L * r, r, 1, 1);
  y->SetCell(1, 20);
  y->SetCell(3, 1.0L / 3);
  s->SetCell(2, StringConstIndex("hello"));
  s->SetFlag(2, 1);
  s->SetCell(3, -1);  // no string constant: stored as ""
  t->ColourIndex = 5;
  form->SetGridColWidth(1, 120);
  form->SetGridColWidth(2, 300);  // stored as 90
  form->SetGridColWidth(4, 150);  // a 29-character name keeps no width
  form->RowInfo[2] = {1, 0, 4};
  form->MultipleTableRefresh();

  const std::vector<uint8_t> bytes = Write(4);
  ASSERT_GE(bytes.size(), 20u);
  EXPECT_EQ(int16_t(bytes[0] | bytes[1] << 8), -4);  // strings
  EXPECT_EQ(std::string(bytes.begin() + 3, bytes.begin() + 8), "T1.00");
  EXPECT_EQ(int16_t(bytes[18] | bytes[19] << 8), -3);  // row records

  DropTables();
  ASSERT_TRUE(Read(bytes, 4));
  form = TableForms[1].get();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(TableRowCounts[1], 3);
  EXPECT_EQ(TableColumnCounts[1], 4);
  EXPECT_EQ(LastRun, 3);
  t = form->Columns;
  y = t->Next;
  s = y->Next;
  longName = s->Next;
  for (int32_t r = 1; r <= 3; ++r) {
    EXPECT_EQ(t->Cell(r), 10.0L * r);
    EXPECT_EQ(t->Flag(r), 1);
  }
  EXPECT_EQ(y->Cell(1), 20);
  EXPECT_TRUE(IsBlank(y->Cell(2)));
  EXPECT_EQ(y->Cell(3), 1.0L / 3);
  EXPECT_EQ(y->Flag(3), 0);
  EXPECT_EQ(s->Cell(2), StringConstIndex("hello"));
  EXPECT_EQ(s->Flag(2), 1);
  EXPECT_EQ(s->Cell(3), StringConstIndex(""));
  EXPECT_EQ(s->Format.Style, kStyleStringConstant);
  EXPECT_EQ(t->Name, "T");
  EXPECT_EQ(t->ColourIndex, 5);
  EXPECT_EQ(form->GridColWidth(1), 120);
  EXPECT_EQ(form->GridColWidth(2), 90);
  EXPECT_EQ(form->GridColWidth(4), 90);
  EXPECT_EQ(longName->Name, "very_long_variable_name_of_29");
  EXPECT_EQ(form->RowInfo[2], (TableRowInfo{1, 0, 4}));
  EXPECT_EQ(form->RowInfo[1], TableRowInfo{});

  // An empty string cell comes back as the empty string's constant: its
  // text is the same.
  std::string text;
  uint8_t entered = 0;
  form->GetMyCell(0, 1, 3, text, 255, entered, 1);
  EXPECT_EQ(text, "");
}

TEST_F(TableSectionTest, SumCellIsNotStoredAndIsRecomputedOnReading) {
  Preferences.TableSumRow = 1;
  CompileOnly("a = 1");
  TTableForm* form = MakeParametric({"a"}, 2);
  form->Columns->SetCell(1, 1);
  form->Columns->SetCell(2, 2);
  form->Columns->SetCell(3, 99);  // a stale sum
  const std::vector<uint8_t> bytes = Write(4);
  EXPECT_EQ(bytes.size(), 2u + 2 + 2 + 31 + 20 + 2);
  DropTables();
  ASSERT_TRUE(Read(bytes, 4));
  EXPECT_EQ(TableForms[1]->Columns->Cell(3), 3);
}

TEST_F(TableSectionTest, StoredWidthsOutsideTheirRangeReadAsNinety) {
  TTableForm* form = MakeLookup(1, 1, "Data");
  form->SetGridColWidth(1, 100);
  std::vector<uint8_t> bytes = Write(6);
  // Name "Column1", a line feed, then the width character at offset 4 + 1 + 8.
  ASSERT_EQ(bytes[4 + 8], '\n');
  bytes[4 + 9] = 10;
  DropTables();
  ASSERT_TRUE(Read(bytes, 6));
  EXPECT_EQ(TableForms[2]->GridColWidth(1), 90);
  EXPECT_EQ(TableForms[2]->Columns->Name, "Column1");
}

TEST_F(TableSectionTest, CtrlHeldResetsWidthsAndParametricRowRecords) {
  CompileOnly("a = 1");
  TTableForm* form = MakeParametric({"a"}, 2);
  form->SetGridColWidth(1, 140);
  form->RowInfo[1] = {1, 0, 3};
  const std::vector<uint8_t> bytes = Write(4);
  DropTables();
  platform.ctrlDown = true;
  ASSERT_TRUE(Read(bytes, 4));
  EXPECT_EQ(TableForms[1]->GridColWidth(1), 90);
  EXPECT_EQ(TableForms[1]->RowInfo[1], (TableRowInfo{0, 0, 0}));
}

TEST_F(TableSectionTest, OldFilesStoredBlankAsNineNineNineE98) {
  TTableForm* form = MakeLookup(1, 1, "Old");
  form->Columns->SetCell(1, 9.99E+98L);
  const std::vector<uint8_t> bytes = Write(6);
  DropTables();
  ASSERT_TRUE(Read(bytes, 6, 4.5));
  EXPECT_TRUE(IsBlank(TableForms[2]->Columns->Cell(1)));
  DropTables();
  ASSERT_TRUE(Read(bytes, 6, 4.72));
  EXPECT_EQ(TableForms[2]->Columns->Cell(1), 9.99E+98L);
}

TEST_F(TableSectionTest, ParFileMatchesColumnsToVariablesByName) {
  CompileOnly("a = 1\nb = 2");
  TTableForm* form = MakeParametric({"b", "a"}, 1);
  form->Columns->SetCell(1, 2);
  form->Columns->Next->SetCell(1, 1);
  const std::vector<uint8_t> bytes = Write(4);
  DropTables();
  ASSERT_TRUE(Read(bytes, -4));
  TTableColumnRecord* first = TableForms[1]->Columns;
  EXPECT_EQ(first->VariableIndex, VariableIndex("b"));
  EXPECT_EQ(first->Next->VariableIndex, VariableIndex("a"));
  EXPECT_EQ(first->Cell(1), 2);
  EXPECT_EQ(ParametricColumnOrder[1], VariableIndex("b"));
}

TEST_F(TableSectionTest, ParFileMakesTheVariablesItNeeds) {
  CompileOnly("a = 1\nb = 2\nc = 3");
  TTableForm* form = MakeParametric({"a", "b", "c"}, 1);
  form->Columns->Next->Next->SetCell(1, 7);
  const std::vector<uint8_t> bytes = Write(4);
  // A new start: the main program knows a alone.
  ResetEngineState();
  SetEquationsEditor(&editor);
  CompileOnly("a = 1");
  ASSERT_EQ(MainProgramUnit->VariableCount, 1);
  ASSERT_TRUE(Read(bytes, -4));
  // The columns first take placeholder variables "!1", "!2", then the
  // variables their names give.
  EXPECT_GT(VariableIndex("!1"), 0);
  TTableColumnRecord* third = TableForms[1]->Columns->Next->Next;
  EXPECT_EQ(third->VariableIndex, VariableIndex("c"));
  EXPECT_EQ(third->Cell(1), 7);
  EXPECT_EQ(TableForms[1]->Columns->VariableIndex, VariableIndex("a"));
}

TEST_F(TableSectionTest, PurgedDocumentStoresTheNewVariableNumbers) {
  CompileOnly("a = 1\nb = 2");
  MakeParametric({"b", "a"}, 1);
  const int32_t a = VariableIndex("a"), b = VariableIndex("b");
  std::vector<int32_t> purged(size_t(std::max(a, b)) + 1, 0);
  purged[size_t(b)] = 1;
  std::vector<uint8_t> bytes;
  WriteTableSection(bytes, 4, true, &purged);
  // Column order after the counts: b's new number, a's unchanged one.
  EXPECT_EQ(bytes[4] | bytes[5] << 8, 1);
  EXPECT_EQ(bytes[6] | bytes[7] << 8, a);
  EXPECT_EQ(ParametricColumnOrder[1], b);
}

TEST_F(TableSectionTest, ArraysTableKeepsItsRunOffset) {
  TableRowCounts[3] = 2;
  TableColumnCounts[3] = 1;
  CreateTableForm(kArraysTableKind);
  TableRunOffset = 0;
  TableForms[3]->Columns->SetCell(1, 7);
  const std::vector<uint8_t> bytes = Write(8);
  TableRunOffset = 5;
  ASSERT_TRUE(Read(bytes, 8));
  EXPECT_EQ(TableRunOffset, 0);
  EXPECT_EQ(TableForms[3]->Columns->Cell(1), 7);
}

TEST_F(TableSectionTest, LookupFileRecordTakesNamesUnitsAndStrings) {
  TTableForm* form = MakeLookup(2, 2, "Data");
  form->Columns->Name = "Q\r[kW]";
  form->Columns->SetCell(1, 4);
  form->Columns->Next->Format.Style = kStyleStringConstant;
  form->Columns->Next->SetCell(2, StringConstIndex("steam"));
  const std::vector<uint8_t> bytes = Write(6);
  TLookupFileRecord lookup;
  ASSERT_TRUE(Read(bytes, 0, 1.0, &lookup));
  EXPECT_EQ(lookup.RowCount, 2);
  ASSERT_EQ(lookup.Columns.size(), 2u);
  EXPECT_EQ(lookup.Columns[0].Name, "Q");
  EXPECT_EQ(lookup.Columns[0].Units, "[kW]");
  EXPECT_EQ(lookup.Columns[0].Values[0], 4);
  EXPECT_EQ(lookup.Columns[1].IsString, 1);
  EXPECT_EQ(lookup.Columns[1].Values[1], StringConstIndex("steam"));
}

TEST_F(TableSectionTest, ShortSectionsFailWithoutMakingATable) {
  TTableForm* form = MakeLookup(2, 3, "Data");
  form->Columns->SetCell(1, 1);
  const std::vector<uint8_t> bytes = Write(6);
  DropTables();
  for (size_t cut : {size_t(1), size_t(3), size_t(10), bytes.size() - 1}) {
    std::vector<uint8_t> part(bytes.begin(), bytes.begin() + std::ptrdiff_t(cut));
    CalcErrorCode = 0;
    EXPECT_FALSE(Read(part, 6)) << cut;
    EXPECT_EQ(CalcErrorCode, kMsgUnexpectedIOError) << cut;
    EXPECT_FALSE(TableForms[2]) << cut;
  }
  // A count far beyond the data allocates nothing.
  std::vector<uint8_t> huge{0xFF, 0x7F, 0xFF, 0x7F};
  EXPECT_FALSE(Read(huge, 6));
}

// A hand-made stored table whose section claims 12,000 columns is refused
// before a placeholder variable is made.
TEST_F(TableSectionTest, ParFileWithMoreColumnsThanVariablesIsRefused) {
  CompileOnly("a = 1");
  const int32_t before = MainProgramUnit->VariableCount;
  const std::vector<uint8_t> bytes{0xE0, 0x2E, 1, 0};  // 12000 columns, 1 row
  EXPECT_FALSE(Read(bytes, -4));
  EXPECT_EQ(CalcErrorCode, kMsgTooManyVariables);
  EXPECT_EQ(MessageArgs[1], "10000");
  EXPECT_EQ(MainProgramUnit->VariableCount, before);
  EXPECT_FALSE(TableForms[1]);
}

}  // namespace
}  // namespace voq

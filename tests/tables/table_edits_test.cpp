// The table edits without a screen: the clipboard texts, pasting, cutting,
// deleting and inserting rows and columns, moving a column, the one-step
// undo, sorting, and the models of the row, column, table, sort and column
// format dialogs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "language/export_after_run.h"
#include "model/document_settings.h"
#include "tables/table_dialogs.h"
#include "tables/table_edits.h"
#include "tables/table_fixture.h"
#include "tables/table_grid.h"

namespace voq {
namespace {

class TableEditsTest : public testing::TableTest {
 protected:
  void TearDown() override {
    SetDecimalSeparator('.');
    TableBlockAllocationBudget = -1;
    MacroRecording = false;
    MacroText.clear();
    TableTest::TearDown();
  }
  // A lookup table whose cell (row r, column c) holds 10 * r + c.
  TTableForm* Lookup(int32_t columns, int32_t rows, const std::string& name = "L") {
    TTableForm* f = MakeLookup(columns, rows, name);
    for (TTableColumnRecord* c = f->Columns; c != nullptr; c = c->Next) {
      c->Format = TDisplayFormat{kStyleFixed, 0};
      for (int32_t r = 1; r <= rows; ++r) c->SetCell(r, 10 * r + c->ColumnNumber);
    }
    return f;
  }
  // A parametric table over x and y, x entered as 1..rows.
  TTableForm* Parametric(int32_t rows) {
    CompileOnly("y = 2*x");
    TTableForm* f = MakeParametric({"x", "y"}, rows);
    for (int32_t r = 1; r <= rows; ++r) {
      FindColumn(f->Columns, 1)->SetCell(r, r);
      FindColumn(f->Columns, 1)->SetFlag(r, 1);
    }
    return f;
  }
  static Extended Cell(TTableForm* f, int32_t column, int32_t row) {
    return FindColumn(f->Columns, column)->Cell(row);
  }
  static uint8_t Flag(TTableForm* f, int32_t column, int32_t row) {
    return FindColumn(f->Columns, column)->Flag(row);
  }
  static std::vector<std::string> Names(TTableForm* f) {
    std::vector<std::string> names;
    for (TTableColumnRecord* c = f->Columns; c != nullptr; c = c->Next) names.push_back(c->Title());
    return names;
  }
  void Clipboard(const std::string& text) {
    platform.clipboard = text;
    platform.hasClipboardText = true;
  }
};

// ---------------------------------------------------------------- clipboard

TEST_F(TableEditsTest, CopyGivesTabsBetweenCellsAndCrLfBetweenRows) {
  TTableForm* f = Lookup(2, 3);
  TTableGrid grid(kLookupTableKind);
  f->Selection = TGridRect{1, 1, 2, 2};
  CopytoClip(grid);
  EXPECT_EQ(platform.clipboard, "11\t12\r\n21\t22");
  EXPECT_EQ(f->Selection, (TGridRect{1, 1, 1, 1})) << "the selection collapses to its first cell";

  // Shift: the title line and the units line come first, each ended.
  FindColumn(f->Columns, 1)->Name = "Speed\r[m/s]";
  platform.shiftDown = true;
  f->Selection = TGridRect{1, 2, 2, 2};
  CopytoClip(grid);
  EXPECT_EQ(platform.clipboard, "Speed\tColumn2\r\n[m/s]\t\r\n21\t22");
}

TEST_F(TableEditsTest, CopyTakesTheDisplayedTextAndRecordsAMacroLine) {
  TTableForm* f = Parametric(2);
  FindColumn(f->Columns, 2)->SetCell(1, 3.14159L);
  MainProgramUnit->Variable(VariableIndex("y"))->Style = kStyleFixed;
  MainProgramUnit->Variable(VariableIndex("y"))->Digits = 2;
  TTableGrid grid(kParametricTableKind);
  MacroRecording = true;
  f->Selection = TGridRect{1, 1, 2, 2};
  CopytoClip(grid);
  const std::string text = platform.clipboard;
  ASSERT_NE(text.find("\r\n"), std::string::npos);
  const std::string first = text.substr(0, text.find("\r\n"));
  EXPECT_EQ(first.substr(first.find('\t') + 1), "3.14") << text;
  EXPECT_EQ(MacroText, "Copy ParametricTable 'Table 1' R1 C1:R2 C2\r\n");
}

TEST_F(TableEditsTest, PasteFillsFromTheCurrentCellAndStopsAtTheLastRow) {
  TTableForm* f = Lookup(2, 4);
  TTableGrid grid(kLookupTableKind);
  f->Selection = TGridRect{1, 3, 1, 3};
  Clipboard("1\t2\r\n3\t4\r\n5\t6");
  Paste(grid);
  EXPECT_EQ(Cell(f, 1, 3), 1.0L);
  EXPECT_EQ(Cell(f, 2, 4), 4.0L);
  EXPECT_EQ(TableRowCounts[2], 4) << "the third line has no row";
  EXPECT_EQ(Cell(f, 1, 2), 21.0L);

  // Fields past the last column are skipped; the next line goes on.
  f->Selection = TGridRect{2, 1, 2, 1};
  Clipboard("7\t8\t9\n10");
  Paste(grid);
  EXPECT_EQ(Cell(f, 2, 1), 7.0L);
  EXPECT_EQ(Cell(f, 1, 1), 11.0L) << "column 1 is left of the start";
  EXPECT_EQ(Cell(f, 2, 2), 10.0L);
}

TEST_F(TableEditsTest, PasteReadsACommaUnderACommaLocaleAndStopsAtText) {
  TTableForm* f = Lookup(2, 3);
  TTableGrid grid(kLookupTableKind);
  SetDecimalSeparator(',');
  f->Selection = TGridRect{1, 1, 1, 1};
  Clipboard("1,5\t\r\nabc\t9");
  Paste(grid);
  EXPECT_EQ(Cell(f, 1, 1), 1.5L);
  EXPECT_TRUE(IsBlank(Cell(f, 2, 1))) << "an empty field is a blank cell";
  EXPECT_EQ(Flag(f, 2, 1), 0);
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(CalcErrorCode, kMsgPasteNonNumeric);
  EXPECT_NE(platform.alerts[0].text.find("paste 'abc' in row 2 column 1."), std::string::npos)
      << platform.alerts[0].text;
  EXPECT_TRUE(IsBlank(Cell(f, 1, 2)));
  EXPECT_EQ(Cell(f, 2, 2), 22.0L) << "pasting stopped at the bad field";
}

TEST_F(TableEditsTest, PasteMarksTheDocumentAndUpdatesTheSumRow) {
  Preferences.TableSumRow = 1;
  TTableForm* f = Parametric(3);
  ASSERT_EQ(f->SumRowShown, 1);
  TTableGrid grid(kParametricTableKind);
  f->FillSumAvg(1);
  EXPECT_EQ(Cell(f, 1, 4), 6.0L);
  DocumentUnchanged = true;
  MacroRecording = true;
  f->Selection = TGridRect{1, 2, 1, 2};
  Clipboard("10\r\n20\r\n");
  Paste(grid);
  Preferences.TableSumRow = 0;
  EXPECT_FALSE(DocumentUnchanged);
  EXPECT_EQ(Cell(f, 1, 4), 31.0L) << "1 + 10 + 20";
  EXPECT_EQ(Flag(f, 1, 3), 1);
  EXPECT_EQ(MacroText, "Paste Parametric 'Table 1' R2 C1\r\n");
}

TEST_F(TableEditsTest, CutCopiesThenBlanksTheCells) {
  TTableForm* f = Lookup(2, 3);
  TTableGrid grid(kLookupTableKind);
  f->Selection = TGridRect{1, 1, 2, 1};
  Cut1Click(grid);
  EXPECT_EQ(platform.clipboard, "11\t12");
  EXPECT_TRUE(IsBlank(Cell(f, 1, 1)));
  EXPECT_EQ(Flag(f, 2, 1), 0);
  EXPECT_EQ(Cell(f, 1, 2), 21.0L);
  f->Undo();
  EXPECT_EQ(Cell(f, 1, 1), 11.0L);
}

// ---------------------------------------------------------------- rows and columns

TEST_F(TableEditsTest, DeletedColumnLowersTheCountAndUndoSwaps) {
  TTableForm* f = Lookup(3, 2);
  TTableGrid grid(kLookupTableKind);
  grid.ClickedColumn = 2;
  f->Selection = TGridRect{2, 1, 2, 1};
  Deletecolumn1Click(grid);
  EXPECT_EQ(TableColumnCounts[2], 2) << "one fewer, not -1";
  EXPECT_EQ(f->GridColCount, 3);
  EXPECT_EQ(Names(f), (std::vector<std::string>{"Column1", "Column3"}));
  EXPECT_EQ(Cell(f, 2, 1), 13.0L);
  EXPECT_EQ(TableHeader(2, 1)->Columns, f->Columns);

  f->Undo();
  EXPECT_EQ(TableColumnCounts[2], 3);
  EXPECT_EQ(f->GridColCount, 4);
  EXPECT_EQ(Cell(f, 2, 2), 22.0L);
  EXPECT_EQ(TableHeader(2, 1)->Columns, f->Columns);
  f->Undo();
  EXPECT_EQ(TableColumnCounts[2], 2) << "a second Undo deletes it again";
  EXPECT_EQ(Names(f), (std::vector<std::string>{"Column1", "Column3"}));
}

TEST_F(TableEditsTest, DeletingEveryRowAsksAndTakesTheTableOrTheWindow) {
  Lookup(2, 3, "A");
  TTableForm* f = Lookup(2, 3, "B");
  TTableGrid grid(kLookupTableKind);
  f->Selection = TGridRect{1, 1, 2, 3};
  platform.alertAnswers = {kResultYes};
  DeleteRows1Click(grid);
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].text, "This action will delete the entire table.  Continue?");
  ASSERT_NE(grid.Form(), nullptr) << "with two tabs only the current table goes";
  EXPECT_EQ(grid.Form()->TabCaptions, std::vector<std::string>{"A"});

  grid.Form()->Selection = TGridRect{1, 1, 2, 3};
  platform.alertAnswers = {kResultNo};
  DeleteRows1Click(grid);
  ASSERT_NE(grid.Form(), nullptr) << "No keeps it";
  platform.alertAnswers = {kResultYes};
  DeleteRows1Click(grid);
  EXPECT_EQ(grid.Form(), nullptr) << "the only table takes its window";
  EXPECT_EQ(TableRowCounts[2], -10);
  EXPECT_FALSE(TableLists[2]);
}

TEST_F(TableEditsTest, ClearDeletesSelectedRowsOrAsksForTheWholeTable) {
  TTableForm* f = Lookup(2, 5);
  TTableGrid grid(kLookupTableKind);
  f->Selection = TGridRect{1, 2, 2, 3};
  Clear(grid);
  EXPECT_EQ(TableRowCounts[2], 3);
  EXPECT_EQ(f->GridRowCount, 4);
  EXPECT_EQ(Cell(f, 1, 2), 41.0L);
  EXPECT_EQ(Cell(f, 2, 3), 52.0L);
  f->Selection = TGridRect{1, 1, 2, 3};
  platform.alertAnswers = {kResultCancel};
  Clear(grid);
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].text, "Delete existing Lookup table?");
  EXPECT_EQ(TableRowCounts[2], 3);
}

TEST_F(TableEditsTest, InsertedRowsAreBlankAndLastRunFollows) {
  TTableForm* f = Parametric(5);
  TInsertRunsModel dialog(kParametricTableKind);
  EXPECT_EQ(dialog.Caption(), "Insert or Delete Parametric Table Runs");
  EXPECT_EQ(dialog.HelpContext(), 54);
  dialog.Place = TTablePlace::After;
  dialog.AfterRow = 2;
  dialog.Count = 3;
  EXPECT_TRUE(dialog.Ok());
  EXPECT_EQ(TableRowCounts[1], 8);
  EXPECT_EQ(LastRun, 8);
  EXPECT_EQ(f->GridRowCount, 9);
  for (int32_t r = 3; r <= 5; ++r) {
    EXPECT_TRUE(IsBlank(Cell(f, 1, r))) << r;
    EXPECT_EQ(Flag(f, 1, r), 0) << r;
  }
  EXPECT_EQ(Cell(f, 1, 6), 3.0L);
  EXPECT_EQ(Flag(f, 1, 8), 1);
  EXPECT_EQ(Cell(f, 1, 8), 5.0L);

  // A position past the table means its last row.
  dialog.AfterRow = 50;
  dialog.Count = 1;
  EXPECT_TRUE(dialog.Ok());
  EXPECT_EQ(TableRowCounts[1], 9);
  EXPECT_EQ(Cell(f, 1, 8), 5.0L);
}

TEST_F(TableEditsTest, RowDeletionIsLimitedToTheTableAndAllRowsAsk416) {
  TTableForm* f = Lookup(2, 5);
  {
    TInsertRunsModel dialog(kLookupTableKind);
    EXPECT_EQ(dialog.AfterCaption(), "After row");
    dialog.InsertMode = false;
    EXPECT_EQ(dialog.EndCaption(), "From the bottom");
    dialog.Place = TTablePlace::After;
    dialog.AfterRow = 4;
    dialog.Count = 2;
    EXPECT_TRUE(dialog.Ok());
    EXPECT_EQ(TableRowCounts[2], 4) << "only row 5 goes";
    EXPECT_EQ(Cell(f, 1, 4), 41.0L);
  }
  TInsertRunsModel dialog(kLookupTableKind);
  dialog.InsertMode = false;
  dialog.Place = TTablePlace::End;
  dialog.Count = 10;
  platform.alertAnswers = {kResultCancel};
  EXPECT_FALSE(dialog.Ok());
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].text, "This action will delete the table.  Continue?");
  EXPECT_EQ(TableRowCounts[2], 4);
  platform.alertAnswers = {kResultOk};
  EXPECT_TRUE(dialog.Ok());
  EXPECT_EQ(TableForms[2], nullptr);
}

TEST_F(TableEditsTest, AFailedAllocationLeavesTheTableAsItWas) {
  for (const int32_t count : {3, -2}) {
    TTableForm* f = Parametric(5);
    LastRun = 5;
    f->MakeUndo();  // the undo copy is not what the test counts
    TableBlockAllocationBudget = 1;  // the second column's blocks are refused
    EXPECT_FALSE(ResizeTableRows(*f, 2, count)) << count;
    TableBlockAllocationBudget = -1;
    EXPECT_EQ(CalcErrorCode, kMsgOutOfMemory);
    EXPECT_EQ(TableRowCounts[1], 5);
    EXPECT_EQ(LastRun, 5);
    EXPECT_EQ(f->GridRowCount, 6);
    for (int32_t r = 1; r <= 5; ++r) EXPECT_EQ(Cell(f, 1, r), Extended(r)) << count;
    EXPECT_EQ(FindColumn(f->Columns, 1)->Values.size(), FindColumn(f->Columns, 2)->Values.size());
    platform.alerts.clear();
  }
}

TEST_F(TableEditsTest, LookupColumnsAreLimitedTo1000AndNewOnesAreNamedByNumber) {
  TTableForm* f = Lookup(4, 2);
  EXPECT_EQ(ChangeLookupColumns(2, 997), 0);
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].text, "There is an upper limit of 1000 columns.");
  EXPECT_EQ(TableColumnCounts[2], 4);

  EXPECT_EQ(ChangeLookupColumns(2, 2), 1);
  EXPECT_EQ(Names(f), (std::vector<std::string>{"Column1", "Column2", "New 3", "New 4", "Column3", "Column4"}));
  EXPECT_EQ(FindColumn(f->Columns, 5)->VariableIndex, 5);
  EXPECT_EQ(FindColumn(f->Columns, 3)->Format.Style, kStyleAutomatic);
  EXPECT_EQ(FindColumn(f->Columns, 3)->Format.Digits, 3);
  EXPECT_EQ(Cell(f, 6, 1), 14.0L);
  EXPECT_EQ(f->GridColCount, 7);

  EXPECT_EQ(ChangeLookupColumns(6, 994), 1) << "exactly 1000";
  EXPECT_EQ(TableColumnCounts[2], 1000);
  EXPECT_EQ(ChangeLookupColumns(0, -998), 1);
  EXPECT_EQ(Names(f), (std::vector<std::string>{"New 999", "New 1000"}));
}

TEST_F(TableEditsTest, InsertColumnsDialogAsks416WhenEveryColumnGoes) {
  Lookup(3, 2);
  TInsertColsModel dialog;
  dialog.SetInsertMode(true);
  dialog.Place = TTablePlace::End;
  dialog.SetInsertMode(false);
  EXPECT_EQ(dialog.Place, TTablePlace::Start) << "delete mode leaves At right";
  dialog.Count = 5;
  platform.alertAnswers = {kResultCancel};
  EXPECT_FALSE(dialog.Ok());
  EXPECT_EQ(platform.alerts.back().text, "This action will delete the table.  Continue?");
  EXPECT_EQ(TableColumnCounts[2], 3);
}

TEST_F(TableEditsTest, MovedColumnLandsAtTheNumberAsked) {
  struct Case {
    int32_t from, to;
    std::vector<std::string> order;
  } const cases[] = {
      {2, 4, {"Column1", "Column3", "Column4", "Column2"}},
      {4, 2, {"Column1", "Column4", "Column2", "Column3"}},
      {1, 1, {"Column1", "Column2", "Column3", "Column4"}},
      {3, 9, {"Column1", "Column2", "Column4", "Column3"}},
  };
  for (const Case& c : cases) {
    TTableForm* f = Lookup(4, 1);
    MoveColumn(*f, c.from, c.to);
    EXPECT_EQ(Names(f), c.order) << c.from << " to " << c.to;
    int32_t n = 1;
    for (TTableColumnRecord* col = f->Columns; col != nullptr; col = col->Next, ++n) {
      EXPECT_EQ(col->ColumnNumber, n);
      EXPECT_EQ(col->VariableIndex, n);
    }
  }
}

TEST_F(TableEditsTest, InsertedRowAboveAndBelowTheSelection) {
  TTableForm* f = Lookup(1, 3);
  TTableGrid grid(kLookupTableKind);
  f->Selection = TGridRect{1, 2, 1, 2};
  InsertRowAbove1Click(grid);
  EXPECT_EQ(TableRowCounts[2], 4);
  EXPECT_TRUE(IsBlank(Cell(f, 1, 2)));
  EXPECT_EQ(Flag(f, 1, 2), 1) << "lookup cells are entered";
  f->Selection = TGridRect{1, 4, 1, 4};
  InsertRow1Click(grid);
  EXPECT_EQ(TableRowCounts[2], 5);
  EXPECT_EQ(Cell(f, 1, 4), 31.0L);
  EXPECT_TRUE(IsBlank(Cell(f, 1, 5)));
}

// ---------------------------------------------------------------- sort

TEST_F(TableEditsTest, SortMovesValuesWithTheirEnteredFlags) {
  struct Case {
    bool descending;
    std::vector<Extended> sorted;
    std::vector<uint8_t> flags;
    std::vector<Extended> other;  // column 2 with "All Columns"
  } const cases[] = {
      {false, {1, 3, BlankValue}, {1, 1, 0}, {30, 10, 20}},
      {true, {BlankValue, 3, 1}, {0, 1, 1}, {20, 10, 30}},
  };
  for (const Case& c : cases) {
    TTableForm* f = Parametric(3);
    TTableColumnRecord* x = FindColumn(f->Columns, 1);
    x->SetCell(1, 3);
    x->SetCell(2, BlankValue);
    x->SetFlag(2, 0);
    x->SetCell(3, 1);
    TTableColumnRecord* y = FindColumn(f->Columns, 2);
    for (int32_t r = 1; r <= 3; ++r) y->SetCell(r, 10 * r);
    TSortModel dialog(*f, 1);
    EXPECT_EQ(dialog.Caption, "Sort x in Table 1");
    EXPECT_EQ(dialog.Bottom, 3);
    dialog.Ascending = !c.descending;
    dialog.ThisColumnOnly = false;
    EXPECT_TRUE(dialog.Ok());
    for (int32_t r = 1; r <= 3; ++r) {
      EXPECT_EQ(x->Cell(r), c.sorted[size_t(r - 1)]) << r;
      EXPECT_EQ(x->Flag(r), c.flags[size_t(r - 1)]) << r;
      EXPECT_EQ(y->Cell(r), c.other[size_t(r - 1)]) << r;
    }
  }
}

TEST_F(TableEditsTest, SortOfOneRowChangesNothingAndLongRangesSort) {
  TTableForm* f = Lookup(1, 40000);
  TTableColumnRecord* c = f->Columns;
  EXPECT_FALSE(SortTableColumn(*f, 1, 7, 7, true, false));
  EXPECT_EQ(c->Cell(7), 71.0L);
  // More rows than a 16-bit index holds; the range is limited to the table.
  EXPECT_TRUE(SortTableColumn(*f, 1, 1, 999999, true, false));
  EXPECT_EQ(c->Cell(1), 400001.0L);
  EXPECT_EQ(c->Cell(40000), 11.0L);
  EXPECT_EQ(TableRowCounts[2], 40000);
}

TEST_F(TableEditsTest, SortKeepsFullPrecision) {
  TTableForm* f = Lookup(1, 2);
  const Extended precise = 1.0L + 1e-18L;  // not a double
  f->Columns->SetCell(1, 5);
  f->Columns->SetCell(2, precise);
  EXPECT_TRUE(SortTableColumn(*f, 1, 1, 2, false, false));
  EXPECT_EQ(f->Columns->Cell(1), precise);
}

// ---------------------------------------------------------------- dialogs

TEST_F(TableEditsTest, DeleteTablesCaptionCountsTheSelection) {
  Lookup(2, 2, "A");
  Lookup(2, 2, "B");
  TDeleteTableModel dialog(kLookupTableKind);
  EXPECT_EQ(dialog.Lines, (std::vector<std::string>{"1. A", "2. B"}));
  EXPECT_EQ(dialog.Caption(), "Delete 1 Lookup  table");
  dialog.Selected = {true, true};
  EXPECT_EQ(dialog.Caption(), "Delete 2 Lookup  tables");
  dialog.Selected = {false, false};
  EXPECT_EQ(dialog.Caption(), "Delete 0 Lookup  tables");
  EXPECT_FALSE(dialog.DeleteEnabled());
  dialog.Selected = {true, false};
  dialog.Delete();
  ASSERT_NE(TableForms[2], nullptr);
  EXPECT_EQ(TableForms[2]->TabCaptions, std::vector<std::string>{"B"});
  TDeleteTableModel last(kLookupTableKind);
  last.Delete();
  EXPECT_EQ(TableForms[2], nullptr);
  EXPECT_EQ(TableColumnCounts[2], 0);
}

TEST_F(TableEditsTest, FormatDialogAsks578WhenTheNameCannotHoldTheUnits) {
  struct Case {
    size_t title, units;
    bool asks;
  } const cases[] = {{18, 10, true}, {17, 10, false}, {19, 10, true}, {29, 0, false}, {30, 0, true}};
  for (const Case& c : cases) {
    TFormatTableModel dialog;
    dialog.Kind = kLookupTableKind;
    dialog.Title = std::string(c.title, 't');
    dialog.Units = std::string(c.units, 'u');
    EXPECT_EQ(dialog.NameTooLong(), c.asks) << c.title << " + " << c.units;
    platform.alerts.clear();
    platform.alertAnswers = {kResultNo};
    EXPECT_TRUE(dialog.Ok());
    EXPECT_EQ(platform.alerts.size(), c.asks ? 1u : 0u);
    if (c.asks) {
      EXPECT_EQ(platform.alerts[0].text,
                "The combined length of the column name and units must be less than 30 characters.  Modify?");
      platform.alertAnswers = {kResultYes};
      EXPECT_FALSE(dialog.Ok()) << "Yes keeps the dialog open";
    }
  }
}

TEST_F(TableEditsTest, FormatDialogTextsByKindAndSelection) {
  TFormatTableModel dialog;
  dialog.Kind = kParametricTableKind;
  dialog.Position = 3;
  EXPECT_EQ(dialog.Caption(), "Format Parametric Table Column 3");
  EXPECT_FALSE(dialog.StringItemEnabled());
  EXPECT_FALSE(dialog.TitleEnabled());
  dialog.ChooseStyle(3);
  EXPECT_NE(dialog.Format.Style, kStyleStringConstant) << "no String for a parametric column";
  dialog.Selection = TGridRect{2, 1, 5, 4};
  EXPECT_EQ(dialog.Caption(), "Format Columns 2 to 5");
  EXPECT_FALSE(dialog.HeaderShown());
  EXPECT_FALSE(dialog.DeleteShown());

  dialog.Format = TDisplayFormat{kStyleFixed, 2};
  dialog.Example = BlankValue;
  EXPECT_EQ(dialog.GroupCaption(), "Format: 987.65");
  dialog.ChooseStyle(2);
  dialog.ChooseDigits(3);
  EXPECT_EQ(dialog.StyleText(), "Exponential");
  EXPECT_TRUE(dialog.DigitsEnabled());
  dialog.ChooseStyle(0);
  EXPECT_FALSE(dialog.DigitsEnabled());

  TFormatTableModel arrays;
  arrays.Kind = kArraysTableKind;
  arrays.Format.Style = kStyleStringConstant;
  EXPECT_FALSE(arrays.StyleEnabled());
  EXPECT_EQ(arrays.GroupCaption(), "Format");

  TFormatTableModel lookup;
  lookup.Kind = kLookupTableKind;
  lookup.ColumnCount = 4;
  lookup.Position = 4;
  lookup.PositionUp();
  EXPECT_EQ(lookup.Position, 4);
  lookup.SetPositionText("0");
  EXPECT_EQ(lookup.Position, 4);
  lookup.SetPositionText("2");
  EXPECT_EQ(lookup.Position, 2);
  lookup.Position = 1;
  lookup.PositionDown();
  EXPECT_EQ(lookup.Position, 1);
  EXPECT_TRUE(lookup.StringItemEnabled());
}

TEST_F(TableEditsTest, FormatAppliedToALookupColumnKeepsTheWholeUnits) {
  TTableForm* f = Lookup(4, 2);
  TTableGrid grid(kLookupTableKind);
  f->Selection = TGridRect{2, 1, 2, 1};
  TFormatTableModel dialog = FormatModelOf(grid, 2);
  EXPECT_EQ(dialog.Title, "Column2");
  EXPECT_EQ(dialog.Position, 2);
  EXPECT_EQ(dialog.ColumnCount, 4);
  dialog.Title = std::string(17, 't');
  dialog.Units = "0123456789";
  dialog.Position = 4;
  dialog.Colour = 5;
  ASSERT_TRUE(dialog.Ok());
  ApplyColumnFormat(grid, 2, dialog, f->GridColWidth(2));
  TTableColumnRecord* moved = FindColumn(f->Columns, 4);
  EXPECT_EQ(moved->Name, std::string(17, 't') + "\r[0123456789]");
  EXPECT_EQ(moved->ColourIndex, 5);
  std::string title, units;
  grid.HeaderInfo(4, title, units);
  EXPECT_EQ(units, "0123456789");
}

}  // namespace
}  // namespace voq

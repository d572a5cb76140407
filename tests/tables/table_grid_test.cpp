// The table window's grid without a screen: what each cell shows and in
// which colours, the rules of in-place editing and what it writes to the
// table, the run-range triangle, the tab commands.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/program_flags.h"
#include "language/export_after_run.h"
#include "model/display_fonts.h"
#include "model/document_settings.h"
#include "output/canvas.h"
#include "output/palette.h"
#include "tables/table_fixture.h"
#include "tables/table_grid.h"
#include "tables/table_runs.h"
#include "tables/table_typeset.h"

namespace voq {
namespace {

class TableGridTest : public testing::TableTest {
 protected:
  void TearDown() override {
    SetDecimalSeparator('.');
    TableTest::TearDown();
  }
  // A parametric table over T and y with T entered as 1..rows.
  TTableForm* Parametric(int32_t rows) {
    CompileOnly("y = 2*T");
    TTableForm* f = MakeParametric({"T", "y"}, rows);
    for (int32_t r = 1; r <= rows; ++r) f->SetmyCell(0, 1, r, r, 1, 1);
    grid.SetFont();
    return f;
  }
  Extended Cell(int32_t kind, int32_t column, int32_t row) {
    return FindColumn(TableForms[size_t(kind)]->Columns, column)->Cell(row);
  }
  // The texts the grid drew into cell (col, row).
  std::vector<TCanvasOperation> DrawnTexts(TTableGrid& g, int32_t col, int32_t row) {
    RecordingCanvas canvas;
    g.DrawCell(canvas, col, row, TRect{0, 0, 120, row == 0 ? g.HeaderHeight : g.DefaultRowHeight}, false);
    std::vector<TCanvasOperation> texts;
    for (const TCanvasOperation& op : canvas.Operations)
      if (op.Operation == TCanvasOperation::kTextOut && !op.Text.empty()) texts.push_back(op);
    return texts;
  }
  std::string Typed(TTableGrid& g, int32_t col, int32_t row, const std::string& text) {
    g.SelectCell(col, row, false);
    g.GridSetEditText(col, row, text);
    return text;
  }

  TTableGrid grid{kParametricTableKind};
};

TEST_F(TableGridTest, TypedTextIsStoredOrRefused) {
  struct Case {
    char separator;
    std::string typed;
    bool accepted;
    Extended stored;  // BlankValue: an empty cell
  } const cases[] = {
      {',', "1,5", true, 1.5L},      {'.', "1.5", true, 1.5L},   {'.', "1 000", true, 1000.0L},
      {'.', " -2E3 ", true, -2000.0L}, {'.', "", true, BlankValue}, {'.', "1x", false, 0},
      {'.', std::string("4\0", 2) + "2", true, 42.0L},
  };
  for (const Case& c : cases) {
    SetDecimalSeparator(c.separator);
    TTableForm* f = Parametric(4);
    const Extended before = Cell(1, 1, 2);
    Typed(grid, 1, 2, c.typed);
    const int32_t beeps = platform.beeps;
    EXPECT_EQ(grid.RegisterEdit(), c.accepted ? 1 : 0) << c.typed;
    if (c.accepted) {
      EXPECT_EQ(f->EditRow, -1);
      if (IsBlank(c.stored)) {
        EXPECT_TRUE(IsBlank(Cell(1, 1, 2))) << c.typed;
      } else {
        EXPECT_EQ(Cell(1, 1, 2), c.stored) << c.typed;
      }
      EXPECT_EQ(FindColumn(f->Columns, 1)->Flag(2), IsBlank(c.stored) ? 0 : 1) << "a typed value is an input";
      EXPECT_EQ(platform.beeps, beeps);
    } else {
      EXPECT_EQ(Cell(1, 1, 2), before) << "a refused edit keeps the cell: " << c.typed;
      EXPECT_EQ(platform.beeps, beeps + 1);
      EXPECT_EQ(f->EditRejected, 1);
      EXPECT_EQ(f->Selection, (TGridRect{1, 2, 1, 2}));
      EXPECT_EQ(grid.GridGetEditText(1, 2), c.typed) << "the editor keeps the typed text";
    }
  }
}

TEST_F(TableGridTest, RefusedEditHoldsTheCellAndTheTabUntilCorrected) {
  TTableForm* f = MakeLookup(2, 3, "First");
  MakeLookup(2, 3, "Second");
  TTableGrid lookup(kLookupTableKind);
  lookup.SetFont();
  ASSERT_TRUE(lookup.ChangeTab(0));
  Typed(lookup, 1, 1, "1x");
  EXPECT_FALSE(lookup.ChangeTab(1));
  EXPECT_EQ(f->TabIndex, 0) << "the old tab stays selected";
  EXPECT_FALSE(lookup.SelectCell(2, 2, false)) << "the refused cell cannot be left";
  EXPECT_EQ(f->Selection, (TGridRect{1, 1, 1, 1}));
  lookup.GridSetEditText(1, 1, "12");
  EXPECT_TRUE(lookup.ChangeTab(1));
  EXPECT_EQ(f->TabIndex, 1);
  EXPECT_EQ(TableHeader(kLookupTableKind, 1)->Columns->Cell(1), 12.0L);
}

TEST_F(TableGridTest, UnchangedDisplayTextKeepsFullPrecision) {
  TTableForm* f = Parametric(3);
  MainProgramUnit->Variable(VariableIndex("T"))->Style = kStyleFixed;
  MainProgramUnit->Variable(VariableIndex("T"))->Digits = 2;
  f->SetmyCell(0, 1, 3.14159L, 1, 1, 1);
  const std::string shown = grid.GridGetEditText(1, 1);
  EXPECT_NE(shown.find("3.14"), std::string::npos);
  EXPECT_EQ(shown.find("3.141"), std::string::npos);
  Typed(grid, 1, 1, shown);
  EXPECT_EQ(grid.RegisterEdit(), 1);
  EXPECT_EQ(Cell(1, 1, 1), 3.14159L);
}

TEST_F(TableGridTest, SumRowIsLabelledInBlackAndIgnoresTyping) {
  Preferences.TableSumRow = 1;
  Preferences.EnteredTableColor = 4;
  Preferences.CalculatedTableColor = 4;
  TTableForm* f = Parametric(3);
  ASSERT_EQ(f->SumRowShown, 1);
  f->FillSumAvg(1);
  const Extended sum = Cell(1, 1, 4);
  EXPECT_EQ(sum, 6.0L);
  grid.GridSetEditText(1, 4, "99");
  EXPECT_EQ(f->EditRow, -1) << "typing into the sum row is ignored";
  EXPECT_EQ(grid.RegisterEdit(), 1);
  EXPECT_EQ(Cell(1, 1, 4), sum);
  const auto label = DrawnTexts(grid, 0, 4);
  ASSERT_EQ(label.size(), 1u);
  EXPECT_EQ(label[0].Text, "Sum");
  const auto value = DrawnTexts(grid, 1, 4);
  ASSERT_EQ(value.size(), 1u);
  EXPECT_EQ(value[0].Colour, kRgbBlack);
  EXPECT_EQ(DrawnTexts(grid, 0, 2)[0].Text, "Run 2");
}

TEST_F(TableGridTest, EnteredAndComputedCellsTakeTheirColoursAndStyles) {
  Preferences.EnteredTableColor = 12;
  Preferences.CalculatedTableColor = 9;
  Preferences.EnteredTableStyle = 2;    // bold
  Preferences.CalculatedTableStyle = 1; // italic
  TTableForm* f = Parametric(3);
  f->SetmyCell(0, 1, 8, 1, 2, 0);  // a computed y
  f->RowInfo[1].Colour = 3;
  f->RowInfo[1].Border = 1;
  FindColumn(f->Columns, 2)->ColourIndex = 12;  // outside 0..7: white again
  struct Case {
    int32_t col, row;
    TRgb text;
    bool bold, italic;
    TRgb background;
  } const cases[] = {
      {1, 1, PaletteColorRGB(12), true, false, TableBackgroundColors[0]},
      {2, 1, PaletteColorRGB(9), false, true, TableBackgroundColors[0]},
      {1, 2, PaletteColorRGB(12), true, false, TableBackgroundColors[3]},
  };
  for (const Case& c : cases) {
    RecordingCanvas canvas;
    grid.DrawCell(canvas, c.col, c.row, TRect{0, 0, 100, 20}, false);
    ASSERT_FALSE(canvas.Operations.empty());
    EXPECT_EQ(canvas.Operations.front().Operation, TCanvasOperation::kFillRect);
    EXPECT_EQ(canvas.Operations.front().Colour, c.background) << c.col << "," << c.row;
    const auto texts = canvas.Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->Colour, c.text);
    EXPECT_EQ(texts[0]->Font.Bold, c.bold);
    EXPECT_EQ(texts[0]->Font.Italic, c.italic);
    // Right-aligned, 8 pixels in from the right edge.
    EXPECT_EQ(texts[0]->X, 100 - RecordingCanvas::CharWidth(texts[0]->Font) * int32_t(texts[0]->Text.size()) - 8);
    const bool border = c.row == 2;
    bool line = false;
    for (const auto& op : canvas.Operations)
      if (op.Operation == TCanvasOperation::kLine && op.PenWidth == 2 && op.Y == 19) line = true;
    EXPECT_EQ(line, border);
  }
  EXPECT_EQ(FindColumn(f->Columns, 2)->ColourIndex, 0);
}

TEST_F(TableGridTest, TitlesAndUnitsAreTypesetOnlyWithThePreference) {
  const TCanvasFont font;
  struct Case {
    std::string text;
    bool units;
    std::vector<std::string> pieces;  // texts drawn, in order
    int loweredPiece;                 // index of the piece off the base line, -1 none
    bool raised;
  } const cases[] = {
      {"T_1", false, {"T", "1"}, 1, false},
      {"X[3]", false, {"X", "3"}, 1, false},
      {"[m^2]", true, {"[", "m", "2", "]"}, 2, true},
  };
  for (const Case& c : cases) {
    Preferences.ShowSubscripts = 1;
    RecordingCanvas canvas;
    if (c.units) TypesetUnits(canvas, font, 10, 20, c.text, 1.0, true);
    else TypesetTitle(canvas, font, 10, 20, c.text, 18, 1.0, true);
    const auto texts = canvas.Texts();
    ASSERT_EQ(texts.size(), c.pieces.size()) << c.text;
    for (size_t k = 0; k < texts.size(); ++k) {
      EXPECT_EQ(texts[k]->Text, c.pieces[k]) << c.text;
      const bool off = int(k) == c.loweredPiece;
      if (!off) {
        EXPECT_EQ(texts[k]->Y, 20) << c.text << " piece " << k;
      } else {
        EXPECT_LT(texts[k]->Font.Height, font.Height) << c.text;
        if (c.raised) {
          EXPECT_LT(texts[k]->Y, 20) << c.text;
        } else {
          EXPECT_GT(texts[k]->Y, 20) << c.text;
        }
      }
    }
  }
}

TEST_F(TableGridTest, HeaderDrawsUnitsPlainWithoutThePreference) {
  TTableForm* f = Parametric(2);
  (void)f;
  MainProgramUnit->Variable(VariableIndex("y"))->Units = "m^2";
  Preferences.ShowSubscripts = 0;
  std::string all;
  for (const auto& op : DrawnTexts(grid, 2, 0)) all += op.Text + "|";
  EXPECT_EQ(all, "2|y|[m^2]|");
  Preferences.ShowSubscripts = 1;
  all.clear();
  for (const auto& op : DrawnTexts(grid, 2, 0)) all += op.Text + "|";
  EXPECT_EQ(all, "2|y|[|m|2|]|");
}

TEST_F(TableGridTest, HeaderInfoSplitsLookupTitlesFromUnits) {
  MakeLookup(2, 2, "L");
  FindColumn(TableForms[2]->Columns, 1)->Name = "Flow\r[kg/s]";
  TTableGrid lookup(kLookupTableKind);
  std::string title, units;
  lookup.HeaderInfo(1, title, units);
  EXPECT_EQ(title, "Flow");
  EXPECT_EQ(units, "kg/s");
  lookup.HeaderInfo(2, title, units);
  EXPECT_EQ(title, "Column2");
  EXPECT_EQ(units, "");
}

TEST_F(TableGridTest, ShiftShownRangeSolvesOnlyThoseRunsAndKeepsTheRunRange) {
  TTableForm* f = Parametric(6);
  grid.Activate(0);
  f->Selection = TGridRect{1, 3, 2, 5};
  grid.ShiftChanged(true);
  RecordingCanvas canvas;
  grid.DrawCell(canvas, 0, 0, TRect{0, 0, grid.LabelWidth, grid.HeaderHeight}, false);
  EXPECT_NE(canvas.AllText().find("3..5"), std::string::npos);
  grid.RunShownRange();
  EXPECT_EQ(CalcErrorCode, 0);
  for (int32_t r = 1; r <= 6; ++r) {
    if (r >= 3 && r <= 5) {
      EXPECT_EQ(Cell(1, 2, r), 2.0L * r) << r;
    } else {
      EXPECT_TRUE(IsBlank(Cell(1, 2, r))) << r;
    }
  }
  EXPECT_EQ(FirstRun, 1);
  EXPECT_EQ(LastRun, 6);
  grid.ShiftChanged(false);
  RecordingCanvas after;
  grid.DrawCell(after, 0, 0, TRect{0, 0, grid.LabelWidth, grid.HeaderHeight}, false);
  EXPECT_NE(after.AllText().find("1..6"), std::string::npos);
  EXPECT_EQ(grid.HintAt(grid.RunRangeMarker.Left + 2, grid.RunRangeMarker.Top + 5), "Solve Table");
}

TEST_F(TableGridTest, RefusedEditStopsTheTriangleRun) {
  TTableForm* f = Parametric(3);
  (void)f;
  grid.Activate(0);
  Typed(grid, 1, 1, "abc");
  grid.RunShownRange();
  for (int32_t r = 1; r <= 3; ++r) EXPECT_TRUE(IsBlank(Cell(1, 2, r)));
}

TEST_F(TableGridTest, DeleteBlanksAMultiCellSelectionOnly) {
  TTableForm* f = Parametric(4);
  f->Selection = TGridRect{1, 2, 1, 2};
  grid.DeleteKey();
  EXPECT_EQ(Cell(1, 1, 2), 2.0L) << "one cell: the editor's Delete, not the grid's";
  f->Selection = TGridRect{1, 2, 1, 3};
  grid.DeleteKey();
  EXPECT_TRUE(IsBlank(Cell(1, 1, 2)));
  EXPECT_TRUE(IsBlank(Cell(1, 1, 3)));
  EXPECT_EQ(Cell(1, 1, 4), 4.0L);
}

TEST_F(TableGridTest, PressesRightAfterActivationAreIgnored) {
  grid.Activate(1000);
  EXPECT_FALSE(grid.PressAllowed(1099));
  EXPECT_TRUE(grid.PressAllowed(1100));
}

class ScriptedTabDialog : public TableGridDialogs {
 public:
  int32_t TabInfo(const std::string& caption, std::string& title, int32_t& position, int32_t tabCount) override {
    captions.push_back(caption);
    counts.push_back(tabCount);
    title = newTitle.empty() ? title : newTitle;
    position = newPosition > 0 ? newPosition : position;
    return result;
  }
  int32_t result = 6;
  std::string newTitle;
  int32_t newPosition = 0;
  std::vector<std::string> captions;
  std::vector<int32_t> counts;
};

// Records the dialogs the menus open.
class RecordingGridDialogs : public ScriptedTabDialog {
 public:
  void AlterValues(TTableGrid&, int32_t column) override { calls.push_back("AlterValues " + std::to_string(column)); }
  void ColumnFormat(TTableGrid&, int32_t column) override { calls.push_back("ColumnFormat " + std::to_string(column)); }
  void Sort(TTableGrid&, int32_t column) override { calls.push_back("Sort " + std::to_string(column)); }
  void TableEdit(TTableGrid&, const std::string& item, const std::string& caption) override {
    calls.push_back(item + " " + caption);
  }
  std::vector<std::string> calls;
};

TEST_F(TableGridTest, TabDeleteRemovesATabAndTheLastOneFreesTheWindow) {
  MakeLookup(2, 3, "A");
  MakeLookup(2, 3, "B");
  TTableGrid lookup(kLookupTableKind);
  ScriptedTabDialog dialog;
  EXPECT_EQ(lookup.TabRightPress(1, dialog), 6);
  EXPECT_EQ(dialog.captions.back(), "Information for Lookup Table 2");
  EXPECT_EQ(dialog.counts.back(), 2);
  ASSERT_NE(lookup.Form(), nullptr);
  EXPECT_EQ(lookup.Form()->TabCaptions, std::vector<std::string>{"A"});
  EXPECT_EQ(lookup.TabRightPress(0, dialog), 6);
  EXPECT_EQ(lookup.Form(), nullptr);
  EXPECT_EQ(TableForms[2], nullptr);
  EXPECT_EQ(TableLists[2], nullptr);
  EXPECT_EQ(TableRowCounts[2], -10);
}

TEST_F(TableGridTest, TabRenameAndMove) {
  MakeLookup(2, 3, "A");
  MakeLookup(2, 3, "B");
  TTableGrid lookup(kLookupTableKind);
  ScriptedTabDialog dialog;
  dialog.result = 1;
  dialog.newTitle = "Pumps";
  dialog.newPosition = 1;
  EXPECT_EQ(lookup.TabRightPress(1, dialog), 1);
  EXPECT_EQ(lookup.Form()->TabCaptions, (std::vector<std::string>{"Pumps", "A"}));
  EXPECT_EQ(lookup.Form()->CurrentTable, 1);
  EXPECT_EQ(TableHeader(kLookupTableKind, 1)->Name, "Pumps");
}

TEST_F(TableGridTest, FontPreferencesGiveTheGridSizes) {
  struct Case {
    int16_t size;
    int32_t points;
  } const cases[] = {{0, 10}, {1, 8}, {2, 10}, {3, 12}, {4, 14}, {5, 16}, {6, 18}};
  Parametric(2);
  for (const Case& c : cases) {
    Preferences.TableFontSize = c.size;
    grid.SetFont(96);
    EXPECT_EQ(grid.GridFontSize, c.points);
  }
  Preferences.TableFontSize = 9;  // unknown: the size stays
  grid.SetFont(96);
  EXPECT_EQ(grid.GridFontSize, 18);
  Preferences.TableFont = 3;
  grid.SetFont(96);
  EXPECT_EQ(grid.GridFontName, "Courier New");
  EXPECT_EQ(grid.DefaultRowHeight, std::max(ScreenLineHeight + 2, 19));
  EXPECT_EQ(grid.HeaderHeight, 2 * grid.DefaultRowHeight + 8);
  EXPECT_EQ(grid.LabelWidth, 11 * ScreenCharWidth);
  EXPECT_EQ(TTableGrid(kArraysTableKind).LabelWidth, 90);
}

TEST_F(TableGridTest, SelectAllAndClearSelection) {
  TTableForm* f = Parametric(5);
  grid.SelectAll();
  EXPECT_EQ(f->Selection, (TGridRect{1, 1, 2, 5}));
  grid.ClearSelection();
  EXPECT_EQ(f->Selection, (TGridRect{1, -1, 1, -1}));
  EXPECT_FALSE(grid.SelectCell(0, 1, false)) << "labels cannot be selected";
  EXPECT_FALSE(grid.SelectCell(1, 1, true)) << "nor anything while Ctrl is held";
}

}  // namespace
}  // namespace voq

namespace voq {
namespace {

// The pop-up menus: which menu a right press opens, the selection it makes
// and the items it enables, for each kind of cell and window.
class TableGridMenuTest : public TableGridTest {
 protected:
  // A Parametric table over T, y and the string column s$.
  TTableForm* WithStringColumn(int32_t rows) {
    CompileOnly("y = 2*T\ns$ = 'a'");
    TTableForm* f = MakeParametric({"T", "y", "s$"}, rows);
    FindColumn(f->Columns, 3)->IsString = 1;
    grid.SetFont();
    return f;
  }
};

TEST_F(TableGridMenuTest, CellsMenuEnablesByTheSelection) {
  TTableForm* f = WithStringColumn(5);
  struct Case {
    const char* what;
    TGridRect selection;
    bool clipboard;
    bool cut, copy, paste, alter;
  } const cases[] = {
      {"one numeric cell", {1, 2, 1, 2}, false, false, false, false, true},
      {"one cell, clipboard text", {1, 2, 1, 2}, true, false, false, true, true},
      {"a block in one column", {2, 1, 2, 3}, false, true, true, false, true},
      {"a block over two columns", {1, 1, 2, 3}, false, true, true, false, false},
      {"one string cell", {3, 1, 3, 1}, false, false, false, false, false},
      {"the sum row is no data row", {1, 6, 1, 6}, false, false, false, false, false},
  };
  for (const Case& c : cases) {
    if (std::string(c.what).find("sum") != std::string::npos) {
      Preferences.TableSumRow = 1;
      f->SumRowShown = 1;
      f->GridRowCount = 5 + 2;
    }
    f->Selection = c.selection;
    const TTablePopup popup = grid.ContextPopup(c.selection.Left, c.selection.Top, false, c.clipboard);
    EXPECT_EQ(popup.Menu, kTableCellsMenu) << c.what;
    EXPECT_EQ(popup.Enabled("Cut1"), c.cut) << c.what;
    EXPECT_EQ(popup.Enabled("Copy1"), c.copy) << c.what;
    EXPECT_EQ(popup.Enabled("Paste1"), c.paste) << c.what;
    EXPECT_EQ(popup.Enabled("AlterValues1"), c.alter) << c.what;
    EXPECT_TRUE(popup.Enabled("PrintSelection1")) << c.what;
    ASSERT_NE(popup.Find("Cut1"), nullptr);
    EXPECT_EQ(popup.Find("Cut1")->Shortcut, "Ctrl+X");
  }
  // The cell being edited in place has no menu, nor the top-left cell.
  EXPECT_EQ(grid.ContextPopup(1, 1, true, false).Menu, kNoTableMenu);
  EXPECT_EQ(grid.ContextPopup(0, 0, false, false).Menu, kNoTableMenu);
}

TEST_F(TableGridMenuTest, PasteIsOffInADistributableProgram) {
  Parametric(3);
  DistributableMode = true;
  const bool paste = grid.ContextPopup(1, 1, false, true).Enabled("Paste1");
  DistributableMode = false;
  EXPECT_FALSE(paste);
}

TEST_F(TableGridMenuTest, RowLabelMenuSelectsTheRowAndNamesTheBorder) {
  TTableForm* f = Parametric(5);
  f->Selection = TGridRect{1, 2, 1, 2};
  TTablePopup popup = grid.ContextPopup(0, 4, false, false);
  EXPECT_EQ(popup.Menu, kTableRowLabelMenu);
  EXPECT_EQ(f->Selection, (TGridRect{1, 4, 2, 4}));
  EXPECT_EQ(grid.ContextRow, 4);
  EXPECT_EQ(popup.Find("SetBorder1")->Caption, "Add Border");
  EXPECT_TRUE(popup.Enabled("InsertRowAbove1"));
  ASSERT_NE(popup.Find("BackgroundColor1"), nullptr);
  const std::vector<TTableMenuItem>& colours = popup.Find("BackgroundColor1")->Items;
  ASSERT_EQ(colours.size(), 9u);
  EXPECT_EQ(colours.front().Tag, -1);
  EXPECT_EQ(colours.back().Caption, "Lime");
  EXPECT_EQ(colours.back().Tag, 7);

  // The border goes below the row; the menu then offers to remove it.
  RecordingGridDialogs dialogs;
  grid.MenuCommand("SetBorder1", 0, dialogs);
  EXPECT_EQ(f->RowInfo[3].Border, 1);
  EXPECT_EQ(f->Selection, (TGridRect{1, 4, 1, 4}));
  EXPECT_EQ(grid.ContextPopup(0, 4, false, false).Find("SetBorder1")->Caption, "Remove Border");
  EXPECT_FALSE(DocumentUnchanged);

  // A block of rows 2..3 is framed: below 3 and below 1, above the block.
  f->RowInfo[3].Border = 0;
  f->Selection = TGridRect{1, 2, 2, 3};
  grid.SetBorderClick();
  EXPECT_EQ(f->RowInfo[0].Border, 1);
  EXPECT_EQ(f->RowInfo[1].Border, 0);
  EXPECT_EQ(f->RowInfo[2].Border, 1);

  // Colours go to every selected row; None (-1) takes them away.
  f->Selection = TGridRect{1, 2, 2, 4};
  grid.MenuCommand("Aqua1", 1, dialogs);
  EXPECT_EQ(f->RowInfo[1].Colour, 1);
  EXPECT_EQ(f->RowInfo[3].Colour, 1);
  EXPECT_EQ(f->RowInfo[4].Colour, -1);
  EXPECT_EQ(f->Selection, (TGridRect{1, 2, 1, 2}));
  f->Selection = TGridRect{1, 3, 2, 3};
  grid.MenuCommand("None1", -1, dialogs);
  EXPECT_EQ(f->RowInfo[2].Colour, -1);
  // A coloured row is drawn on its colour.
  RecordingCanvas canvas;
  f->Selection = TGridRect{1, 1, 1, 1};
  grid.DrawCell(canvas, 2, 2, TRect{0, 0, 90, 19}, false);
  bool aqua = false;
  for (const TCanvasOperation& op : canvas.Operations)
    if (op.Operation == TCanvasOperation::kFillRect && op.Colour == TableBackgroundColors[1]) aqua = true;
  EXPECT_TRUE(aqua);
  EXPECT_TRUE(dialogs.calls.empty());
}

TEST_F(TableGridMenuTest, RowLabelInsideAWholeRowSelectionKeepsIt) {
  TTableForm* f = Parametric(5);
  f->Selection = TGridRect{1, 2, 2, 4};
  grid.ContextPopup(0, 3, false, false);
  EXPECT_EQ(f->Selection, (TGridRect{1, 2, 2, 4}));
  // Rows of an Arrays window cannot be inserted or deleted.
  TTableGrid arrays(kArraysTableKind);
  TableRowCounts[3] = 2;
  TableColumnCounts[3] = 1;
  ASSERT_NE(CreateTableForm(kArraysTableKind), nullptr);
  const TTablePopup popup = arrays.ContextPopup(0, 1, false, false);
  EXPECT_EQ(popup.Menu, kTableRowLabelMenu);
  EXPECT_FALSE(popup.Enabled("InsertRowAbove1"));
  EXPECT_FALSE(popup.Enabled("DeleteRows1"));
}

TEST_F(TableGridMenuTest, HeaderMenuSelectsColumnsAndRunsItsCommands) {
  TTableForm* f = WithStringColumn(4);
  f->Selection = TGridRect{1, 1, 1, 1};
  TTablePopup popup = grid.ContextPopup(2, 0, false, false);
  EXPECT_EQ(popup.Menu, kTableHeaderMenu);
  EXPECT_EQ(f->Selection, (TGridRect{2, 1, 2, 4}));
  EXPECT_EQ(grid.ClickedColumn, 2);
  EXPECT_TRUE(popup.Enabled("AlterValues2"));
  EXPECT_TRUE(popup.Enabled("Properties2"));
  EXPECT_TRUE(popup.Enabled("Sort1"));
  // Inside a selection of two columns, both stay selected; Alter Values
  // wants one numeric column.
  f->Selection = TGridRect{1, 2, 2, 2};
  popup = grid.ContextPopup(1, 0, false, false);
  EXPECT_EQ(f->Selection, (TGridRect{1, 1, 2, 4}));
  EXPECT_FALSE(popup.Enabled("AlterValues2"));
  EXPECT_FALSE(grid.ContextPopup(3, 0, false, false).Enabled("AlterValues2")) << "a string column";

  RecordingGridDialogs dialogs;
  grid.ContextPopup(2, 0, false, false);
  grid.MenuCommand("AlterValues2", 0, dialogs);
  grid.MenuCommand("Properties2", 0, dialogs);
  grid.MenuCommand("Sort1", 0, dialogs);
  grid.MenuCommand("Deletecolumn1", 0, dialogs);
  EXPECT_EQ(dialogs.calls, (std::vector<std::string>{"AlterValues 2", "ColumnFormat 2", "Sort 2",
                                                     "Deletecolumn1 Delete column"}));
  // A string column opens no Alter Values.
  dialogs.calls.clear();
  grid.AlterValuesClick(3, dialogs);
  EXPECT_TRUE(dialogs.calls.empty());
}

TEST_F(TableGridMenuTest, ArraysHeaderOpensTheColumnFormatDialog) {
  TableRowCounts[3] = 3;
  TableColumnCounts[3] = 2;
  ASSERT_NE(CreateTableForm(kArraysTableKind), nullptr);
  TTableGrid arrays(kArraysTableKind);
  arrays.SetFont();
  RecordingGridDialogs dialogs;
  const TTablePopup popup = arrays.ContextPopup(2, 0, false, false, &dialogs);
  EXPECT_EQ(popup.Menu, kNoTableMenu);
  EXPECT_EQ(dialogs.calls, std::vector<std::string>{"ColumnFormat 2"});
  EXPECT_EQ(arrays.Form()->Selection, (TGridRect{2, 1, 2, 3}));
}

TEST_F(TableGridMenuTest, UnbuiltCommandsSayTheyAreNotYetAvailable) {
  TTableForm* f = Parametric(3);
  ScriptedTabDialog dialogs;  // the defaults of every other command
  f->Selection = TGridRect{1, 1, 1, 1};
  grid.ContextPopup(1, 0, false, false);
  grid.MenuCommand("AlterValues2", 0, dialogs);
  grid.MenuCommand("Properties2", 0, dialogs);
  grid.MenuCommand("Sort1", 0, dialogs);
  grid.MenuCommand("InsertColumn1", 0, dialogs);  // a parametric column is a variable
  ASSERT_EQ(platform.alerts.size(), 4u);
  EXPECT_EQ(platform.alerts[0].text, "\"Alter Values\" is not yet available.");
  EXPECT_EQ(platform.alerts[1].text, "\"Properties\" is not yet available.");
  EXPECT_EQ(platform.alerts[2].text, "\"Sort\" is not yet available.");
  EXPECT_EQ(platform.alerts[3].text, "\"Insert Column to the Right\" is not yet available.");
}

TEST_F(TableGridMenuTest, HeaderIconOpensAlterValuesAfterTheEdit) {
  TTableForm* f = Parametric(3);
  RecordingGridDialogs dialogs;
  const TRect header = grid.CellRect(2, 0);
  EXPECT_TRUE(grid.LeftPress(header.Right - 5, header.Top + 3, false, &dialogs));
  EXPECT_EQ(dialogs.calls, std::vector<std::string>{"AlterValues 2"});
  // A refused pending edit opens nothing.
  dialogs.calls.clear();
  Typed(grid, 1, 2, "2x");
  EXPECT_TRUE(grid.LeftPress(header.Right - 5, header.Top + 3, false, &dialogs));
  EXPECT_TRUE(dialogs.calls.empty());
  EXPECT_EQ(f->EditRejected, 1);
}

// The window snaps to whole rows and columns. Metrics of a window with
// a 20-pixel caption, 4-pixel edges and 16-pixel scroll bars.
TEST_F(TableGridMenuTest, SizingSnapsToWholeRowsAndColumns) {
  TTableForm* f = Parametric(20);
  TTableWindowMetrics m;
  m.InTabStrip = true;
  m.CaptionHeight = 20;
  m.EdgeWidth = 4;
  m.ScrollBarWidth = 16;
  m.ScrollBarHeight = 16;
  m.GridClientHeight = 300;
  m.GridHeight = 300;
  const int32_t rowStep = grid.DefaultRowHeight + 1;
  const int32_t fullWidth = grid.TotalWidth();
  // Wide enough for every column, not tall enough for 20 runs.
  const int32_t height = 28 + grid.HeaderHeight + 1 + 7 * rowStep + 10 + 25;
  TTableWindowSize s = grid.SnapSize(fullWidth + 40, height, m);
  EXPECT_TRUE(s.AllColumns);
  EXPECT_FALSE(s.AllRows);
  EXPECT_TRUE(s.ScrollBars);
  // b = height - 28 - 25; k = (b + row - header - 4) div (row + 1).
  const int32_t b = height - 28 - 25;
  const int32_t k = (b + grid.DefaultRowHeight - grid.HeaderHeight - 4) / rowStep;
  EXPECT_EQ(s.VisibleRows, k);
  EXPECT_EQ(s.Height, 28 + grid.HeaderHeight + k * rowStep + 1 + 25);
  EXPECT_EQ(s.Width, 16 + fullWidth + 8 + 16);
  // Narrower than the last column: the label and first column only.
  s = grid.SnapSize(grid.LabelWidth + 1 + grid.ColWidth(1) + 1 + 8 + 30, height, m);
  EXPECT_FALSE(s.AllColumns);
  EXPECT_EQ(s.Width, 16 + grid.LabelWidth + 1 + grid.ColWidth(1) + 1 + 8 + 16);
  // Taller than every row: all rows, no scroll bars, scrolled to the top.
  f->TopRow = 5;
  s = grid.SnapSize(fullWidth + 40, 2000, m);
  EXPECT_TRUE(s.AllRows);
  EXPECT_FALSE(s.ScrollBars);
  EXPECT_EQ(s.VisibleRows, 20);
  EXPECT_EQ(f->TopRow, 1);
  EXPECT_EQ(s.Height, 28 + grid.HeaderHeight + 20 * rowStep + 1 + 25);
  // Tiny: at least one row.
  EXPECT_EQ(grid.SnapSize(50, 10, m).VisibleRows, 1);
}

// Dragging a header border sizes that column on the grid only; the end of
// the drag (and FormResize) copies the grid's widths into the columns.
TEST_F(TableGridMenuTest, HeaderBorderDragSizesTheColumnAndStoresItsWidth) {
  TTableForm* f = Parametric(5);
  TTableColumnRecord* first = FindColumn(f->Columns, 1);
  const int32_t before = grid.ColWidth(1);
  ASSERT_EQ(first->Width, before);
  const TRect r = grid.CellRect(1, 0);
  const int32_t y = grid.HeaderHeight / 2;
  // Only the header row and only near a data column's right border.
  EXPECT_EQ(grid.ColumnBorderAt(r.Right + 1, y), 1);
  EXPECT_EQ(grid.ColumnBorderAt(r.Right - 2, y), 1);
  EXPECT_EQ(grid.ColumnBorderAt(r.Right - 3, y), 0);
  EXPECT_EQ(grid.ColumnBorderAt(r.Right, grid.HeaderHeight + 5), 0);
  EXPECT_EQ(grid.ColumnBorderAt(grid.LabelWidth, y), 0) << "the label column keeps its font width";
  EXPECT_FALSE(grid.BeginColumnSizing((r.Left + r.Right) / 2, y));

  // The press 1 pixel left of the border keeps that offset while dragging.
  ASSERT_TRUE(grid.BeginColumnSizing(r.Right - 1, y));
  EXPECT_TRUE(grid.ColumnSizing());
  grid.ColumnSizingMove(r.Right - 1 + 30);
  EXPECT_EQ(grid.ColWidth(1), before + 30);
  EXPECT_EQ(first->Width, before) << "the column's own width waits for the release";
  EXPECT_EQ(grid.CellRect(2, 0).Left, r.Right + 31) << "the next column moves along";
  EXPECT_TRUE(grid.EndColumnSizing());
  EXPECT_FALSE(grid.ColumnSizing());
  EXPECT_EQ(first->Width, before + 30);
  EXPECT_EQ(FindColumn(f->Columns, 2)->Width, grid.ColWidth(2));

  // Far left: never narrower than the minimum; a drag that ends where it
  // began changes nothing.
  ASSERT_TRUE(grid.BeginColumnSizing(grid.CellRect(1, 0).Right, y));
  grid.ColumnSizingMove(-500);
  EXPECT_EQ(grid.ColWidth(1), TTableGrid::kMinColumnWidth);
  EXPECT_TRUE(grid.EndColumnSizing());
  EXPECT_EQ(first->Width, TTableGrid::kMinColumnWidth);
  ASSERT_TRUE(grid.BeginColumnSizing(grid.CellRect(2, 0).Right, y));
  grid.ColumnSizingMove(grid.CellRect(2, 0).Right);
  EXPECT_FALSE(grid.EndColumnSizing());

  // A column scrolled out of view has no border to take.
  f->LeftCol = 2;
  EXPECT_EQ(grid.ColumnBorderAt(grid.CellRect(2, 0).Right, y), 2);
  EXPECT_EQ(grid.ColumnBorderAt(grid.LabelWidth + 1 + TTableGrid::kMinColumnWidth, y), 0);

  // FormResize: a width set on the grid alone (uncertainty widening, the
  // format dialog) reaches the column; nothing changed gives false.
  f->SetGridColWidth(2, 140);
  EXPECT_TRUE(grid.CopyColumnWidths());
  EXPECT_EQ(FindColumn(f->Columns, 2)->Width, 140);
  EXPECT_FALSE(grid.CopyColumnWidths());
}

}  // namespace
}  // namespace voq

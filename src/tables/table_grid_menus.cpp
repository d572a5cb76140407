// The table window's grid, free of Qt: the three pop-up menus with their
// enabled items and the selection a right press makes, the commands they
// run (row borders and colours, Alter Values, the column format dialog,
// Sort, Print Selection), and the sizing rule that snaps the window to
// whole rows and columns.
#include <algorithm>
#include <iterator>

#include "core/messages.h"
#include "core/program_flags.h"
#include "platform/platform.h"
#include "tables/table_edits.h"
#include "tables/table_grid.h"
#include "tables/tables_state.h"

namespace voq {

namespace {

bool EditsInPlace(int32_t kind) { return kind == kParametricTableKind || kind == kLookupTableKind; }

void NotYetAvailable(const std::string& caption) {
  ShowAlert("\"" + caption + "\" is not yet available.", kAlertInfoOk, false);
}

TTableMenuItem Item(const char* name, const char* caption, bool enabled, const char* shortcut = "") {
  TTableMenuItem item;
  item.Name = name;
  item.Caption = caption;
  item.Enabled = enabled;
  item.Shortcut = shortcut;
  return item;
}

TTableMenuItem Separator() {
  TTableMenuItem item;
  item.Separator = true;
  return item;
}

// A numeric column exists under that number.
bool NumericColumn(const TTableForm& f, int32_t column) {
  const TTableColumnRecord* c = FindColumn(f.Columns, column);
  return c != nullptr && c->IsString == 0;
}

}  // namespace

// ---------------------------------------------------------------- dialogs

void TableGridDialogs::AlterValues(TTableGrid&, int32_t) { NotYetAvailable("Alter Values"); }
void TableGridDialogs::ColumnFormat(TTableGrid&, int32_t) { NotYetAvailable("Properties"); }
void TableGridDialogs::Sort(TTableGrid&, int32_t) { NotYetAvailable("Sort"); }
void TableGridDialogs::TableEdit(TTableGrid& grid, const std::string& item, const std::string& caption) {
  if (!RunTableEdit(grid, item)) NotYetAvailable(caption);
}

bool RunTableEdit(TTableGrid& grid, const std::string& item) {
  if (item == "Cut1") Cut1Click(grid);
  else if (item == "Copy1") CopytoClip(grid);
  else if (item == "Paste1") Paste(grid);
  else if (item == "InsertRowAbove1") InsertRowAbove1Click(grid);
  else if (item == "InsertRow2") InsertRow1Click(grid);
  else if (item == "DeleteRows1") DeleteRows1Click(grid);
  else if (item == "Deletecolumn1") Deletecolumn1Click(grid);
  // A parametric column is a variable: the Insert/Delete Variables
  // command adds it, not the grid.
  else if (item == "InsertColumn1") return InsertColumn1Click(grid);
  else if (item == "InsertColumntotheLeft1") return InsertColumntotheLeft1Click(grid);
  else return false;
  return true;
}

const TTableMenuItem* TTablePopup::Find(const std::string& name) const {
  for (const TTableMenuItem& item : Items) {
    if (item.Name == name) return &item;
    for (const TTableMenuItem& sub : item.Items)
      if (sub.Name == name) return &sub;
  }
  return nullptr;
}

bool TTablePopup::Enabled(const std::string& name) const {
  const TTableMenuItem* item = Find(name);
  return item != nullptr && item->Enabled;
}

// ---------------------------------------------------------------- sizing

TTableWindowSize TTableGrid::SnapSize(int32_t proposedWidth, int32_t proposedHeight, const TTableWindowMetrics& m) {
  TTableWindowSize size;
  size.Width = proposedWidth;
  size.Height = proposedHeight;
  TTableForm* f = Form();
  if (f == nullptr) return size;
  const int32_t t = !m.InTabStrip ? 0 : m.TabMargin >= 0 ? m.TabMargin : 8;
  const int32_t h = !m.InTabStrip ? 0 : m.TabStripHeight >= 0 ? m.TabStripHeight : 28 * m.PixelsPerInch / 96;
  const int32_t lastCol = LastGridCol();
  const int32_t lastRow = LastGridRow();
  const int32_t fullWidth = TotalWidth();
  const int32_t fullHeight = TotalHeight();
  const int32_t frameBelow = m.CaptionHeight + m.EdgeWidth + 1;
  const int32_t a = proposedWidth - t;
  const int32_t b = proposedHeight + m.GridClientHeight - h - frameBelow - m.GridHeight;

  // Whole columns from the label column on that fit the width.
  int32_t takenWidth = fullWidth;
  if (a < fullWidth + t) {
    size.AllColumns = false;
    takenWidth = ColWidth(0) + 1;
    for (int32_t c = 1; c <= lastCol; ++c) {
      const int32_t next = takenWidth + ColWidth(c) + 1;
      if (next > a + 1 - t) break;
      takenWidth = next;
    }
  } else {
    f->LeftCol = 1;
  }
  // Whole data rows below the header that fit the height.
  int32_t k = lastRow;
  if (b < fullHeight) {
    size.AllRows = false;
    k = (b + DefaultRowHeight - HeaderHeight - 4) / (DefaultRowHeight + 1);
  } else {
    f->TopRow = 1;
  }
  k = std::clamp<int32_t>(k, 1, std::max(1, lastRow));
  if (k >= lastRow) {
    k = std::max(1, lastRow);
    size.AllRows = true;
    f->TopRow = 1;
  }
  size.VisibleRows = k;
  size.ScrollBars = !size.AllColumns || !size.AllRows;
  size.Width = 4 * m.EdgeWidth + std::min(takenWidth + t, fullWidth + t);
  if (!size.AllRows) size.Width += m.ScrollBarWidth;
  size.Height = h + HeaderHeight + k * (DefaultRowHeight + 1) + 1;
  if (!size.AllColumns) size.Height += m.ScrollBarHeight;
  size.Height += frameBelow;
  return size;
}

// ---------------------------------------------------------------- menus

TTablePopup TTableGrid::ContextPopup(int32_t col, int32_t row, bool editingCell, bool clipboardHasText,
                                     TableGridDialogs* dialogs) {
  TTablePopup popup;
  TTableForm* f = Form();
  if (f == nullptr || col < 0 || row < 0 || col > LastGridCol() || row > LastGridRow()) return popup;
  ContextRow = 0;
  ClickedColumn = col;
  TGridRect& s = f->Selection;
  const int32_t lastRow = LastGridRow();
  const int32_t lastCol = LastGridCol();
  const bool inPlace = EditsInPlace(Kind);

  if (col == 0 && row == 0) return popup;  // the top-left cell has none

  if (row == 0) {
    // A header: the clicked column, or the selected columns around it,
    // over all rows.
    if (!(col >= s.Left && col <= s.Right && s.Top >= 1)) s = TGridRect{col, 1, col, lastRow};
    else s = TGridRect{s.Left, 1, s.Right, lastRow};
    if (!inPlace) {
      // Arrays and Integral windows open the column format dialog.
      if (dialogs != nullptr) DoFormat(*dialogs);
      return popup;
    }
    popup.Menu = kTableHeaderMenu;
    const bool single = s.Left == s.Right && NumericColumn(*f, s.Left);
    popup.Items = {Item("AlterValues2", "Alter Values", single),
                   Item("Properties2", "Properties", true),
                   Item("Sort1", "Sort", true),
                   Separator(),
                   Item("InsertColumntotheLeft1", "Insert Column to the Left", true),
                   Item("InsertColumn1", "Insert Column to the Right", true),
                   Item("Deletecolumn1", "Delete column", true)};
    return popup;
  }

  if (col == 0) {
    // A row label: unless the selection spans all columns the row alone
    // across all columns; a row outside the selection becomes it.
    const bool allColumns = s.Left == 1 && s.Right == lastCol;
    if (!allColumns || row < s.Top || row > s.Bottom) s = TGridRect{1, row, lastCol, row};
    ContextRow = row;
    popup.Menu = kTableRowLabelMenu;
    const bool bordered = s.Bottom >= 1 && s.Bottom <= TableRowCounts[size_t(Kind)] &&
                          s.Bottom - 1 < f->RowInfoCount() && f->RowInfo[size_t(s.Bottom - 1)].Border != 0;
    TTableMenuItem colours = Item("BackgroundColor1", "Background Color", true);
    static const struct {
      const char* name;
      const char* caption;
      int32_t tag;
    } kColours[] = {{"None1", "None", -1}, {"White1", "White", 0}, {"Aqua1", "Aqua", 1},
                    {"Gray1", "Gray", 2},  {"Yellow1", "Yellow", 3}, {"Color4", "", 4},
                    {"Color5", "", 5},     {"Color6", "", 6},        {"Lime1", "Lime", 7}};
    for (const auto& c : kColours) {
      TTableMenuItem item = Item(c.name, c.caption, true);
      item.Tag = c.tag;
      colours.Items.push_back(item);
    }
    popup.Items = {Item("SetBorder1", bordered ? "Remove Border" : "Add Border", true),
                   colours,
                   Separator(),
                   Item("InsertRowAbove1", "Insert Row Above", inPlace),
                   Item("InsertRow2", "Insert Row Below", inPlace),
                   Item("DeleteRows1", "Delete Row(s)", inPlace)};
    return popup;
  }

  // A data cell: no menu over the cell being edited.
  if (editingCell) return popup;
  popup.Menu = kTableCellsMenu;
  const bool manyCells = s.Left != s.Right || s.Top != s.Bottom;
  const bool alter = inPlace && s.Left == s.Right && s.Top >= 1 && s.Top <= TableRowCounts[size_t(Kind)] &&
                     NumericColumn(*f, s.Left);
  popup.Items = {Item("Cut1", "Cut", manyCells && inPlace, "Ctrl+X"),
                 Item("Copy1", "Copy", manyCells, "Ctrl+C"),
                 Item("Paste1", "Paste", clipboardHasText && !DistributableMode, "Ctrl+V"),
                 Separator(),
                 Item("AlterValues1", "Alter Values", alter),
                 Separator(),
                 Item("PrintSelection1", "Print Selection", true)};
  return popup;
}

void TTableGrid::MenuCommand(const std::string& item, int32_t tag, TableGridDialogs& dialogs) {
  TTableForm* f = Form();
  if (f == nullptr) return;
  static const char* const kColourItems[] = {"BackgroundColor1", "None1", "White1", "Aqua1", "Gray1",
                                             "Yellow1", "Color4", "Color5", "Color6", "Lime1"};
  const bool colourItem =
      std::find(std::begin(kColourItems), std::end(kColourItems), item) != std::end(kColourItems);
  if (item == "SetBorder1") {
    SetBorderClick();
  } else if (colourItem) {
    BackgroundColorClick(tag);
  } else if (item == "AlterValues1") {
    AlterValuesClick(f->Selection.Left, dialogs);
  } else if (item == "AlterValues2") {
    AlterValuesClick(ClickedColumn, dialogs);
  } else if (item == "Properties2") {
    DoFormat(dialogs);
  } else if (item == "Sort1") {
    if (FindColumn(f->Columns, f->Selection.Left) != nullptr) dialogs.Sort(*this, f->Selection.Left);
  } else {
    static const struct {
      const char* name;
      const char* caption;
    } kEdits[] = {{"Cut1", "Cut"},
                  {"Copy1", "Copy"},
                  {"Paste1", "Paste"},
                  {"InsertRowAbove1", "Insert Row Above"},
                  {"InsertRow2", "Insert Row Below"},
                  {"DeleteRows1", "Delete Row(s)"},
                  {"InsertColumntotheLeft1", "Insert Column to the Left"},
                  {"InsertColumn1", "Insert Column to the Right"},
                  {"Deletecolumn1", "Delete column"}};
    for (const auto& e : kEdits)
      if (item == e.name) dialogs.TableEdit(*this, item, e.caption);
  }
}

void TTableGrid::AlterValuesClick(int32_t column, TableGridDialogs& dialogs) {
  TTableForm* f = Form();
  if (f == nullptr || !EditsInPlace(Kind)) return;
  if (RegisterEdit() == 0) return;
  if (!NumericColumn(*f, column)) return;
  ClickedColumn = column;
  dialogs.AlterValues(*this, column);
}

void TTableGrid::DoFormat(TableGridDialogs& dialogs) {
  TTableForm* f = Form();
  if (f == nullptr || FindColumn(f->Columns, ClickedColumn) == nullptr) return;
  if (RegisterEdit() == 0) return;
  dialogs.ColumnFormat(*this, ClickedColumn);
}

void TTableGrid::SetBorderClick() {
  TTableForm* f = Form();
  if (f == nullptr) return;
  f->ManageRowInfo();
  TGridRect& s = f->Selection;
  const int32_t rows = TableRowCounts[size_t(Kind)];
  auto toggle = [&](int32_t row) {
    if (row >= 1 && row <= rows && row - 1 < f->RowInfoCount()) {
      uint8_t& border = f->RowInfo[size_t(row - 1)].Border;
      border = border != 0 ? 0 : 1;
    }
  };
  toggle(s.Bottom);
  // A block of rows gets the line above it too, so it is framed.
  if (s.Bottom > s.Top) toggle(s.Top - 1);
  s = TGridRect{s.Left, s.Top, s.Left, s.Top};
  DocumentUnchanged = false;
}

void TTableGrid::BackgroundColorClick(int32_t tag) {
  TTableForm* f = Form();
  if (f == nullptr || tag < -1 || tag > 7) return;
  f->ManageRowInfo();
  TGridRect& s = f->Selection;
  for (int32_t row = std::max(1, s.Top); row <= s.Bottom && row - 1 < f->RowInfoCount(); ++row)
    f->RowInfo[size_t(row - 1)].Colour = int16_t(tag);
  s = TGridRect{s.Left, s.Top, s.Left, s.Top};
}

}  // namespace voq

#pragma once
// The table window's grid, free of Qt: its fonts and sizes, the drawing of
// every cell through the shared canvas (entered and computed styles and
// colours, row colours and borders, the header with its titles and units,
// the labels, the run-range triangle), in-place editing with its refusals,
// the keys and mouse rules, the tab commands and the selection commands.
// The Qt window (tables/qt/) paints these cells and forwards its input
// here; tests drive the grid directly on a recording canvas.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "output/canvas.h"
#include "tables/table_model.h"

namespace voq {

// The background colours a row or a column may take, by index 0..7.
extern const std::array<TRgb, 8> TableBackgroundColors;
// The colour of a cell drawn selected within a selection of several cells.
inline constexpr TRgb kTableSelectionColor = MakeRgb(0, 120, 215);
// The fixed cells' face (header and labels).
inline constexpr TRgb kTableFixedColor = MakeRgb(240, 240, 240);
inline constexpr TRgb kTableGridLineColor = MakeRgb(192, 192, 192);
inline constexpr TRgb kRunRangeGreen = MakeRgb(0, 255, 0);
inline constexpr TRgb kColumnNumberGreen = MakeRgb(0, 128, 0);

class TTableGrid;

// The dialogs the grid's handlers open, whose windows are built elsewhere.
class TableGridDialogs {
 public:
  virtual ~TableGridDialogs() = default;
  // The tab information dialog: title and position may be changed (the
  // position spin runs 1..tabCount, disabled when there is one tab).
  // Modal result: 1 OK, 4 Duplicate, 6 Delete, anything else Cancel.
  virtual int32_t TabInfo(const std::string& caption, std::string& title, int32_t& position, int32_t tabCount) = 0;
  // The commands of the pop-up menus whose dialogs and table edits are
  // built on top of the grid: Alter Values of a column, the column format
  // dialog (Properties, and a right press on an Arrays or Integral
  // header), Sort, and the clipboard and structural items (by menu item
  // name: "Cut1", "Copy1", "Paste1", "InsertRowAbove1", "InsertRow2",
  // "DeleteRows1", "InsertColumntotheLeft1", "InsertColumn1",
  // "Deletecolumn1"). TableEdit runs the edit (RunTableEdit); the others,
  // and an insert of a parametric column (a variable), tell the user that
  // the command is not yet available until a window installs its dialogs.
  virtual void AlterValues(TTableGrid& grid, int32_t column);
  virtual void ColumnFormat(TTableGrid& grid, int32_t column);
  virtual void Sort(TTableGrid& grid, int32_t column);
  virtual void TableEdit(TTableGrid& grid, const std::string& item, const std::string& caption);
};

// The clipboard and structural menu items by name (tables/table_edits.h);
// false when item is not one the grid runs itself.
bool RunTableEdit(TTableGrid& grid, const std::string& item);

// The pop-up menus of the grid: 1 the cells, 2 the row labels, 3 the
// column headers.
inline constexpr int32_t kNoTableMenu = 0;
inline constexpr int32_t kTableCellsMenu = 1;
inline constexpr int32_t kTableRowLabelMenu = 2;
inline constexpr int32_t kTableHeaderMenu = 3;

// One item of a pop-up menu as the window builds it: a separator has no
// caption; the colour items carry their colour index in Tag and may have
// no caption (they show a swatch of TableBackgroundColors[Tag]).
struct TTableMenuItem {
  std::string Name;
  std::string Caption;
  std::string Shortcut;
  bool Enabled = true;
  bool Separator = false;
  int32_t Tag = 0;
  std::vector<TTableMenuItem> Items;  // a submenu
};
struct TTablePopup {
  int32_t Menu = kNoTableMenu;
  std::vector<TTableMenuItem> Items;
  // The enabled state of item name (false when there is no such item).
  bool Enabled(const std::string& name) const;
  const TTableMenuItem* Find(const std::string& name) const;
};

// The window size the sizing rule snaps a proposed size to.
struct TTableWindowMetrics {
  int32_t PixelsPerInch = 96;
  bool InTabStrip = false;      // the grid sits in the tab strip
  // The tab strip's height and side margin; -1: 28 pixels at 96 pixels per
  // inch, scaled, and 8.
  int32_t TabStripHeight = -1;
  int32_t TabMargin = -1;
  int32_t CaptionHeight = 0;    // the (minimised) caption's height
  int32_t EdgeWidth = 0;        // one window edge
  int32_t ScrollBarWidth = 0;   // a vertical bar's width
  int32_t ScrollBarHeight = 0;  // a horizontal bar's height
  int32_t GridClientHeight = 0; // the grid's client height
  int32_t GridHeight = 0;       // the grid's outer height
};
struct TTableWindowSize {
  int32_t Width = 0;
  int32_t Height = 0;
  bool ScrollBars = false;  // both bars shown
  bool AllColumns = true;   // every column fits (scrolled to the first)
  bool AllRows = true;      // every row fits (scrolled to the top)
  int32_t VisibleRows = 0;  // whole data rows shown
};

// Face and point size of the table font preferences (another value keeps
// the previous one).
bool TableFontFace(int32_t index, std::string& face);
bool TableFontPoints(int32_t index, int32_t& points);

class TTableGrid {
 public:
  explicit TTableGrid(int32_t kind) : Kind(kind) {}

  // The model this grid shows; nullptr once its last table is deleted.
  TTableForm* Form() const;

  const int32_t Kind;
  std::string GridFontName = "Arial";
  int32_t GridFontSize = 10;  // points at 96 pixels per inch
  int32_t DefaultRowHeight = 19;
  int32_t DefaultColWidth = 90;
  int32_t LabelWidth = 90;
  int32_t HeaderHeight = 46;
  TRect RunRangeMarker;
  int32_t ShownFirstRun = 1;
  int32_t ShownLastRun = 0;
  int32_t ClickedColumn = 0;
  int32_t ContextRow = 0;
  uint8_t PrintSelectionOnly = 0;
  bool LeftButtonDown = false;
  bool ShiftHeld = false;
  int32_t ActivationTick = -100000;

  // Fonts and sizes from the table font preferences at pixelsPerInch;
  // resets the grid's column widths to the columns' Width (the default
  // width for columns of no width) and the label column's.
  void SetFont(int32_t pixelsPerInch = 96);
  TCanvasFont GridFont(bool bold = false, bool italic = false) const;

  // --- Geometry: grid row 0 the header, column 0 the labels; the rows
  // from TopRow and the columns from LeftCol follow the fixed ones.
  int32_t RowHeight(int32_t row) const { return row == 0 ? HeaderHeight : DefaultRowHeight; }
  int32_t ColWidth(int32_t col) const;
  // Cell rectangle in window pixels, with the one-pixel grid lines between
  // cells; empty (Right <= Left) when scrolled out of view.
  TRect CellRect(int32_t col, int32_t row) const;
  // The cell under a window point; false outside the grid.
  bool CellAt(int32_t x, int32_t y, int32_t& col, int32_t& row) const;
  // The whole grid's size with every row and column shown.
  int32_t TotalWidth() const;
  int32_t TotalHeight() const;

  // Editing is on for parametric and lookup windows while the selection
  // lies in one grid row and Shift is not held.
  bool EditingEnabled() const;

  // Draws one cell into rect (GridDrawCell).
  void DrawCell(Canvas& canvas, int32_t col, int32_t row, const TRect& rect, bool focused);
  // Draws every visible cell of a width x height window.
  void DrawGrid(Canvas& canvas, int32_t width, int32_t height, bool focusedGrid);

  // A column's title and units as its header shows them.
  void HeaderInfo(int32_t column, std::string& title, std::string& units) const;

  // --- In-place editing
  // The editor's starting text for a data cell.
  std::string GridGetEditText(int32_t col, int32_t row);
  // Every change in the editor; ignored beyond the table's rows.
  void GridSetEditText(int32_t col, int32_t row, const std::string& text);
  // Commits the pending edit: 1 accepted (or nothing pending), 0 refused
  // (beep, the cell alone selected and scrolled into view, EditRejected).
  uint8_t RegisterEdit();
  // The user moves to a cell: false when it cannot be selected (Ctrl
  // held, a fixed cell, a refused pending edit).
  bool SelectCell(int32_t col, int32_t row, bool ctrlHeld);
  // Tab change: commits the pending edit first; false (stay on the old
  // tab) when refused.
  bool ChangeTab(int32_t tabIndex);
  // Enter: the next row, or on the last data row the edit committed.
  bool EnterKey();

  // --- Keys
  // Delete over a selection of more than one cell blanks every cell of it.
  void DeleteKey();
  void ShiftChanged(bool held);
  void HomeKey();
  void EndKey();

  // --- Mouse
  void Activate(int32_t tick);
  // Presses within 100 ms of the activation are ignored.
  bool PressAllowed(int32_t tick) const { return tick - ActivationTick >= 100; }
  // A left press at window point (x, y) (after PressAllowed); true when
  // it was taken (the triangle, a header, a label). A press on a header's
  // icon opens Alter Values through dialogs.
  bool LeftPress(int32_t x, int32_t y, bool shiftHeld, TableGridDialogs* dialogs = nullptr);
  // The triangle: Solve Table over the shown run range, FirstRun and
  // LastRun kept.
  void RunShownRange();
  // The hint of a window point: "Solve Table" over the triangle, "Alter
  // Values" over a header's icon, else empty.
  std::string HintAt(int32_t x, int32_t y) const;

  // --- Tabs: a right press on tab tabIndex. The dialog's result; after
  // 6 on the only table the window's model is gone (Form() is nullptr).
  int32_t TabRightPress(int32_t tabIndex, TableGridDialogs& dialogs);

  // --- Sizing (FormCanResize): the window snaps to whole rows and
  // columns. The proposed size is the window's outer size.
  TTableWindowSize SnapSize(int32_t proposedWidth, int32_t proposedHeight, const TTableWindowMetrics& m);

  // --- Column sizing: a left press on the header row within
  // kColumnSizingSlack pixels of a data column's right border starts a
  // drag; the column follows the mouse (never narrower than
  // kMinColumnWidth) and the release copies the widths into the columns.
  static constexpr int32_t kColumnSizingSlack = 2;
  static constexpr int32_t kMinColumnWidth = 8;
  // The data column whose right border lies under (x, y) on the header
  // row; 0 when none.
  int32_t ColumnBorderAt(int32_t x, int32_t y) const;
  // True when (x, y) starts a drag.
  bool BeginColumnSizing(int32_t x, int32_t y);
  void ColumnSizingMove(int32_t x);
  // The end of the drag (GridMouseUp on the header): true when a
  // column's Width changed, so that the window sizes itself again.
  bool EndColumnSizing();
  bool ColumnSizing() const { return SizingColumn > 0; }
  // FormResize: copies the grid's column widths into the columns' Width;
  // true when one of them changed.
  bool CopyColumnWidths();

  // --- Pop-up menus (GridContextPopup): a right press on (col, row) with
  // the selection rules of the press; the menu to show and its enabled
  // items. editingCell: a single cell is being edited in place (no menu).
  // A header of an Arrays or Integral window has no menu: its column
  // format dialog opens through dialogs.
  TTablePopup ContextPopup(int32_t col, int32_t row, bool editingCell, bool clipboardHasText,
                           TableGridDialogs* dialogs = nullptr);
  // The chosen item of the menu last built; tag for the colour items.
  void MenuCommand(const std::string& item, int32_t tag, TableGridDialogs& dialogs);
  // Alter Values of column (the two menu items and the header icon): the
  // pending edit committed first; a string or missing column opens nothing.
  void AlterValuesClick(int32_t column, TableGridDialogs& dialogs);
  // doFormat: the column format dialog for ClickedColumn once the pending
  // edit is accepted.
  void DoFormat(TableGridDialogs& dialogs);
  // Row decoration: the border below the selection's bottom row (and above
  // its top row for a block), and the background colour of the selected
  // rows (-1 none); both collapse the selection to its top-left cell.
  void SetBorderClick();
  void BackgroundColorClick(int32_t tag);

  // --- Selection commands
  void SelectAll();
  void ClearSelection();
  void SetUncertColWidths();

 private:
  int32_t SizingColumn = 0;  // the column being dragged wider or narrower
  int32_t SizingOffset = 0;  // its right border minus the press's x
  int32_t LastGridRow() const;
  int32_t LastGridCol() const;
  void DrawDataCell(Canvas& canvas, TTableForm& f, int32_t col, int32_t row, const TRect& rect, bool focused);
  void DrawHeaderCell(Canvas& canvas, TTableForm& f, int32_t col, const TRect& rect);
  void DrawLabelCell(Canvas& canvas, int32_t row, const TRect& rect);
  void DrawCornerCell(Canvas& canvas, const TRect& rect);
  void ScrollIntoView(int32_t col, int32_t row);
  bool IsAlterIconArea(int32_t col, int32_t x, int32_t y) const;
};

}  // namespace voq

#include "tables/table_grid.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/calc_state.h"
#include "core/number_text.h"
#include "core/string_constants.h"
#include "language/export_after_run.h"
#include "model/display_fonts.h"
#include "model/document_settings.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "model/solve_session.h"
#include "output/entry_text.h"
#include "output/palette.h"
#include "platform/host.h"
#include "tables/table_runs.h"
#include "tables/table_typeset.h"
#include "tables/tables_state.h"

namespace voq {

const std::array<TRgb, 8> TableBackgroundColors = {
    MakeRgb(255, 255, 255), MakeRgb(0, 255, 255), MakeRgb(192, 192, 192), MakeRgb(255, 255, 0),
    MakeRgb(0, 128, 128),   MakeRgb(255, 0, 255), MakeRgb(0, 255, 0),     MakeRgb(255, 255, 206)};

namespace {

const TVariableRecord* MainVar(int32_t index) {
  return MainProgramUnit != nullptr ? MainProgramUnit->Variable(index) : nullptr;
}

// Points to the pixel height of a canvas font at 96 pixels per inch.
int32_t PointsToPixels(int32_t points) { return std::max<int32_t>(1, (points * 96 + 36) / 72); }

bool EditsInPlace(int32_t kind) { return kind == kParametricTableKind || kind == kLookupTableKind; }

}  // namespace

bool TableFontFace(int32_t index, std::string& face) {
  static const char* const kFaces[] = {"Arial", "Arial", "Times New Roman", "Courier New", "MS Sans Serif",
                                       "Century SchoolBook", "Bookman Old Style", "System"};
  if (index < 0 || index > 7) return false;
  face = kFaces[index];
  return true;
}

bool TableFontPoints(int32_t index, int32_t& points) {
  static const int32_t kPoints[] = {10, 8, 10, 12, 14, 16, 18};
  if (index < 0 || index > 6) return false;
  points = kPoints[index];
  return true;
}

TTableForm* TTableGrid::Form() const {
  return Kind >= 1 && Kind <= 4 ? TableForms[size_t(Kind)].get() : nullptr;
}

void TTableGrid::SetFont(int32_t pixelsPerInch) {
  TableFontFace(Preferences.TableFont, GridFontName);
  int32_t points = GridFontSize;
  if (TableFontPoints(Preferences.TableFontSize, points)) GridFontSize = points * pixelsPerInch / 96;
  DefaultRowHeight = std::max<int32_t>(ScreenLineHeight + 2, 19);
  DefaultColWidth = 13 * ScreenCharWidth;
  const int32_t labelChars = Kind == kArraysTableKind ? 8 : Kind == kIntegralTableKind ? 12 : 11;
  LabelWidth = labelChars * ScreenCharWidth;
  HeaderHeight = 2 * DefaultRowHeight + 8;
  TTableForm* f = Form();
  if (f == nullptr) return;
  f->SetGridColWidth(0, LabelWidth);
  for (TTableColumnRecord* c = f->Columns; c != nullptr; c = c->Next)
    if (c->Width <= 0) c->Width = DefaultColWidth;
  f->ManageRowInfo();
}

TCanvasFont TTableGrid::GridFont(bool bold, bool italic) const {
  TCanvasFont font;
  font.Face = GridFontName;
  font.Height = PointsToPixels(GridFontSize);
  font.Bold = bold;
  font.Italic = italic;
  return font;
}

int32_t TTableGrid::ColWidth(int32_t col) const {
  if (col == 0) return LabelWidth;
  const TTableForm* f = Form();
  return f != nullptr ? f->GridColWidth(col) : DefaultColWidth;
}

int32_t TTableGrid::LastGridRow() const {
  const TTableForm* f = Form();
  return f != nullptr ? f->GridRowCount - 1 : 0;
}

int32_t TTableGrid::LastGridCol() const {
  const TTableForm* f = Form();
  return f != nullptr ? f->GridColCount - 1 : 0;
}

TRect TTableGrid::CellRect(int32_t col, int32_t row) const {
  const TTableForm* f = Form();
  TRect r;
  if (f == nullptr || col < 0 || row < 0 || col > LastGridCol() || row > LastGridRow()) return r;
  const int32_t leftCol = std::max(1, f->LeftCol);
  const int32_t topRow = std::max(1, f->TopRow);
  if ((col >= 1 && col < leftCol) || (row >= 1 && row < topRow)) return r;
  int32_t x = 0;
  if (col >= 1) {
    x = ColWidth(0) + 1;
    for (int32_t c = leftCol; c < col; ++c) x += ColWidth(c) + 1;
  }
  int32_t y = 0;
  if (row >= 1) y = HeaderHeight + 1 + (row - topRow) * (DefaultRowHeight + 1);
  r = TRect{x, y, x + ColWidth(col), y + RowHeight(row)};
  return r;
}

bool TTableGrid::CellAt(int32_t x, int32_t y, int32_t& col, int32_t& row) const {
  for (int32_t c = 0; c <= LastGridCol(); ++c) {
    const TRect rc = CellRect(c, 0);
    if (rc.Right <= rc.Left || x < rc.Left || x > rc.Right) continue;
    for (int32_t r = 0; r <= LastGridRow(); ++r) {
      const TRect rr = CellRect(c, r);
      if (rr.Right > rr.Left && y >= rr.Top && y <= rr.Bottom) {
        col = c;
        row = r;
        return true;
      }
    }
  }
  return false;
}

int32_t TTableGrid::ColumnBorderAt(int32_t x, int32_t y) const {
  if (y < 0 || y >= HeaderHeight) return 0;
  for (int32_t c = 1; c <= LastGridCol(); ++c) {
    const TRect r = CellRect(c, 0);
    if (r.Right > r.Left && std::abs(x - r.Right) <= kColumnSizingSlack) return c;
  }
  return 0;
}

bool TTableGrid::BeginColumnSizing(int32_t x, int32_t y) {
  const int32_t col = ColumnBorderAt(x, y);
  if (col == 0) return false;
  SizingColumn = col;
  SizingOffset = CellRect(col, 0).Right - x;
  return true;
}

void TTableGrid::ColumnSizingMove(int32_t x) {
  TTableForm* f = Form();
  if (SizingColumn == 0 || f == nullptr) return;
  const int32_t left = CellRect(SizingColumn, 0).Left;
  f->SetGridColWidth(SizingColumn, std::max(kMinColumnWidth, x + SizingOffset - left));
}

bool TTableGrid::EndColumnSizing() {
  if (SizingColumn == 0) return false;
  SizingColumn = 0;
  return CopyColumnWidths();
}

bool TTableGrid::CopyColumnWidths() {
  TTableForm* f = Form();
  if (f == nullptr) return false;
  bool changed = false;
  for (TTableColumnRecord* c = f->Columns; c != nullptr; c = c->Next) {
    if (c->ColumnNumber < 1 || c->ColumnNumber > LastGridCol()) continue;
    const int32_t w = f->GridColWidth(c->ColumnNumber);
    if (c->Width != w) {
      c->Width = w;
      changed = true;
    }
  }
  return changed;
}

int32_t TTableGrid::TotalWidth() const {
  int32_t w = 0;
  for (int32_t c = 0; c <= LastGridCol(); ++c) w += ColWidth(c) + 1;
  return w;
}

int32_t TTableGrid::TotalHeight() const {
  int32_t h = 0;
  for (int32_t r = 0; r <= LastGridRow(); ++r) h += RowHeight(r) + 1;
  return h;
}

bool TTableGrid::EditingEnabled() const {
  const TTableForm* f = Form();
  return f != nullptr && EditsInPlace(Kind) && !ShiftHeld && f->Selection.Top == f->Selection.Bottom;
}

void TTableGrid::HeaderInfo(int32_t column, std::string& title, std::string& units) const {
  title.clear();
  units.clear();
  const TTableForm* f = Form();
  if (f == nullptr) return;
  const TTableColumnRecord* c = FindColumn(f->Columns, column);
  if (c == nullptr) return;
  if (Kind == kParametricTableKind || Kind == kIntegralTableKind) {
    title = c->Name;
    if (const TVariableRecord* v = MainVar(c->VariableIndex)) units = v->Units;
  } else if (Kind == kLookupTableKind || Kind == kArraysTableKind) {
    const size_t cr = c->Name.find('\r');
    title = c->Name.substr(0, cr);
    if (cr != std::string::npos) {
      units = c->Name.substr(cr + 1);
      if (!units.empty() && units.front() == '[') units.erase(0, 1);
      if (!units.empty()) units.pop_back();
    }
  }
}

// ---------------------------------------------------------------- drawing

void TTableGrid::DrawGrid(Canvas& canvas, int32_t width, int32_t height, bool focusedGrid) {
  TTableForm* f = Form();
  canvas.FillRect(TRect{0, 0, width, height}, kRgbWhite);
  if (f == nullptr) return;
  for (int32_t row = 0; row <= LastGridRow(); ++row) {
    for (int32_t col = 0; col <= LastGridCol(); ++col) {
      const TRect r = CellRect(col, row);
      if (r.Right <= r.Left || r.Left > width || r.Top > height) continue;
      const bool focused = focusedGrid && col == f->Selection.Left && row == f->Selection.Top;
      DrawCell(canvas, col, row, r, focused);
      // The grid lines right of and below every cell.
      canvas.SetPen(kTableGridLineColor, 1);
      canvas.MoveTo(r.Right, r.Top);
      canvas.LineTo(r.Right, r.Bottom);
      canvas.MoveTo(r.Left, r.Bottom);
      canvas.LineTo(r.Right + 1, r.Bottom);
    }
  }
}

void TTableGrid::DrawCell(Canvas& canvas, int32_t col, int32_t row, const TRect& rect, bool focused) {
  TTableForm* f = Form();
  if (f == nullptr) return;
  canvas.SetTransparentText(true);
  if (col >= 1 && row >= 1) {
    DrawDataCell(canvas, *f, col, row, rect, focused);
    return;
  }
  canvas.FillRect(rect, kTableFixedColor);
  if (row == 0 && col >= 1) DrawHeaderCell(canvas, *f, col, rect);
  else if (col == 0 && row >= 1) DrawLabelCell(canvas, row, rect);
  else if (Kind == kParametricTableKind) DrawCornerCell(canvas, rect);
}

void TTableGrid::DrawDataCell(Canvas& canvas, TTableForm& f, int32_t col, int32_t row, const TRect& rect,
                              bool focused) {
  TTableColumnRecord* c = FindColumn(f.Columns, col);
  std::string text;
  uint8_t entered = 0;
  if (c != nullptr) {
    const int32_t saved = CalcErrorCode;
    f.GetMyCell(f.CurrentTable, row, col, text, 255, entered, c->IsString != 0 ? 1 : 0);
    CalcErrorCode = saved;
  }
  const int16_t style = entered != 0 ? Preferences.EnteredTableStyle : Preferences.CalculatedTableStyle;
  canvas.SetFont(GridFont(style == 2, style == 1));
  const TGridRect& s = f.Selection;
  const bool inSelection = col >= s.Left && col <= s.Right && row >= s.Top && row <= s.Bottom;
  const bool manyCells = s.Left != s.Right || s.Top != s.Bottom;
  if (inSelection && manyCells && !focused) {
    canvas.FillRect(rect, kTableSelectionColor);
    canvas.SetTextColor(kRgbWhite);
  } else {
    int32_t index = 0;
    if (row - 1 < f.RowInfoCount() && f.RowInfo[size_t(row - 1)].Colour >= 0 &&
        f.RowInfo[size_t(row - 1)].Colour <= 7) {
      index = f.RowInfo[size_t(row - 1)].Colour;
    } else if (c != nullptr) {
      if (c->ColourIndex < 0 || c->ColourIndex > 7) c->ColourIndex = 0;
      index = c->ColourIndex;
    }
    canvas.FillRect(rect, TableBackgroundColors[size_t(index)]);
    canvas.SetTextColor(PaletteColorRGB(entered != 0 ? Preferences.EnteredTableColor : Preferences.CalculatedTableColor));
  }
  // The sum row reads the same whatever the colour preferences.
  const bool sumRow = Kind == kParametricTableKind && row > TableRowCounts[1];
  if (sumRow) canvas.SetTextColor(kRgbBlack);
  const int32_t width = canvas.TextWidth(text);
  if (c != nullptr) c->MaxTextWidth = std::max(c->MaxTextWidth, width);
  if (row - 1 < f.RowInfoCount() && f.RowInfo[size_t(row - 1)].Border != 0) {
    canvas.SetPen(kRgbBlack, 2);
    canvas.MoveTo(rect.Left, rect.Bottom - 1);
    canvas.LineTo(rect.Right, rect.Bottom - 1);
  }
  canvas.TextOut(std::max(rect.Left, rect.Right - width - 8), rect.Top + 2, text);
  canvas.SetTextColor(kRgbBlack);
}

void TTableGrid::DrawHeaderCell(Canvas& canvas, TTableForm& f, int32_t col, const TRect& rect) {
  TTableColumnRecord* c = FindColumn(f.Columns, col);
  if (c == nullptr) return;
  std::string title;
  std::string units;
  HeaderInfo(col, title, units);
  if (Kind == kParametricTableKind) {
    if (int32_t(ParametricColumnOrder.size()) <= col) ParametricColumnOrder.resize(size_t(col) + 1, 0);
    ParametricColumnOrder[size_t(col)] = c->VariableIndex;
  }
  const int32_t cellWidth = rect.Right - rect.Left;
  // The Alter Values icon: a small table with a pencil across it.
  if (EditsInPlace(Kind) && c->IsString == 0) {
    const int32_t x = rect.Right - 14;
    const int32_t y = rect.Top + 1;
    canvas.FillRect(TRect{x, y, x + 11, y + 10}, kRgbWhite);
    canvas.FrameRect(TRect{x, y, x + 11, y + 10}, MakeRgb(0, 0, 128));
    canvas.SetPen(MakeRgb(0, 0, 128), 1);
    canvas.MoveTo(x, y + 4);
    canvas.LineTo(x + 11, y + 4);
    canvas.MoveTo(x + 5, y);
    canvas.LineTo(x + 5, y + 10);
    canvas.SetPen(MakeRgb(192, 0, 0), 2);
    canvas.MoveTo(x + 3, y + 9);
    canvas.LineTo(x + 10, y + 2);
  }
  TCanvasFont numberFont = GridFont();
  numberFont.Height = PointsToPixels(7);
  canvas.SetFont(numberFont);
  canvas.SetTextColor(kColumnNumberGreen);
  canvas.TextOut(rect.Left + 2, rect.Top + 2, std::to_string(col));
  canvas.SetTextColor(kRgbBlack);
  const TCanvasFont font = GridFont();
  canvas.SetFont(font);
  const bool nice = Preferences.ShowSubscripts != 0;
  const int32_t lineHeight = canvas.TextHeight("Xg");
  if (nice) {
    const int32_t w = TypesetTitle(canvas, font, 0, 0, title, lineHeight, 1.0, false);
    TypesetTitle(canvas, font, rect.Left + std::max(1, (cellWidth - w) / 2), rect.Top + 10, title, lineHeight, 1.0,
                 true);
  } else {
    const int32_t w = canvas.TextWidth(title);
    canvas.TextOut(rect.Left + std::max(1, (cellWidth - w) / 2), rect.Top + HeaderHeight / 4, title);
  }
  const std::string bracketed = BracketUnits(units);
  if (bracketed.empty()) return;
  canvas.SetFont(font);
  const int32_t y = rect.Bottom - lineHeight * 5 / 4;
  if (nice && (units.find('^') != std::string::npos || units.find('_') != std::string::npos)) {
    const int32_t w = TypesetUnits(canvas, font, 0, 0, bracketed, 1.0, false);
    TypesetUnits(canvas, font, rect.Left + std::max(1, (cellWidth - w) / 2), y, bracketed, 1.0, true);
  } else {
    const int32_t w = canvas.TextWidth(bracketed);
    canvas.TextOut(rect.Left + std::max(1, (cellWidth - w) / 2), y, bracketed);
  }
}

void TTableGrid::DrawLabelCell(Canvas& canvas, int32_t row, const TRect& rect) {
  std::string label;
  switch (Kind) {
    case kParametricTableKind:
      label = row > TableRowCounts[1] ? "Sum" : "Run " + std::to_string(row);
      break;
    case kArraysTableKind:
      label = "[" + std::to_string(row + TableRunOffset - 1) + "]";
      break;
    default:
      label = "Row " + std::to_string(row);
      break;
  }
  canvas.SetFont(GridFont());
  canvas.SetTextColor(kRgbBlack);
  canvas.TextOut(rect.Left + 10, rect.Top + 2, label);
}

void TTableGrid::DrawCornerCell(Canvas& canvas, const TRect& rect) {
  const int32_t x = rect.Left + (rect.Right - rect.Left - 8) / 2;
  const int32_t y = rect.Top + 10;
  const std::vector<TCanvasPoint> triangle = {{x, y}, {x, y + 14}, {x + 7, y + 7}};
  canvas.FillPolygon(triangle, kRunRangeGreen);
  canvas.SetPen(kRgbBlack, 1);
  canvas.MoveTo(x, y);
  canvas.LineTo(x, y + 14);
  canvas.LineTo(x + 7, y + 7);
  canvas.LineTo(x, y);
  RunRangeMarker = TRect{x, rect.Top + 10, x + 8, rect.Top + 25};
  if (ShiftHeld) {
    const TTableForm* f = Form();
    if (f != nullptr) {
      ShownFirstRun = f->Selection.Top;
      ShownLastRun = f->Selection.Bottom;
    }
  }
  TCanvasFont small = GridFont();
  small.Height = PointsToPixels(8);
  canvas.SetFont(small);
  canvas.SetTextColor(kColumnNumberGreen);
  const std::string range = std::to_string(ShownFirstRun) + ".." + std::to_string(ShownLastRun);
  const int32_t w = canvas.TextWidth(range);
  canvas.TextOut(rect.Left + std::max(0, (rect.Right - rect.Left - w) / 2), rect.Top + 25, range);
  canvas.SetTextColor(kRgbBlack);
}

// ---------------------------------------------------------------- editing

std::string TTableGrid::GridGetEditText(int32_t col, int32_t row) {
  TTableForm* f = Form();
  if (f == nullptr) return "";
  if (f->EditRejected != 0 && f->EditRow == row && f->EditCol == col) return f->EditText;
  std::string text;
  uint8_t entered = 0;
  f->GetMyCell(f->CurrentTable, row, col, text, 255, entered, 2);
  return text;
}

void TTableGrid::GridSetEditText(int32_t col, int32_t row, const std::string& text) {
  TTableForm* f = Form();
  if (f == nullptr || row < 1 || row > TableRowCounts[size_t(Kind)]) return;
  f->EditText = text.substr(0, 255);
  f->EditRow = row;
  f->EditCol = col;
  const TTableColumnRecord* c = FindColumn(f->Columns, col);
  f->EditIsString = c != nullptr ? c->IsString : 0;
}

uint8_t TTableGrid::RegisterEdit() {
  TTableForm* f = Form();
  if (f == nullptr) return 1;
  f->EditRejected = 0;
  if (f->EditRow <= 0 || f->EditCol > TableColumnCounts[size_t(Kind)]) return 1;
  Extended value = BlankValue;
  if (f->EditIsString != 0) {
    const size_t first = f->EditText.find_first_not_of(' ');
    const std::string text = first == std::string::npos ? std::string() : f->EditText.substr(first);
    if (!text.empty()) value = StringConstIndex(text);
  } else {
    std::string text;
    for (const char ch : f->EditText)
      if (ch != ' ' && ch != '\0') text += ch;
    if (!text.empty()) {
      int32_t errorPos = 0;
      StrToReal(text, value, errorPos);
      if (errorPos != 0) {
        Platform().Beep();
        f->Selection = TGridRect{f->EditCol, f->EditRow, f->EditCol, f->EditRow};
        ScrollIntoView(f->EditCol, f->EditRow);
        f->EditRejected = 1;
        return 0;
      }
    }
  }
  std::string shown;
  uint8_t entered = 0;
  f->GetMyCell(f->CurrentTable, f->EditRow, f->EditCol, shown, 255, entered, 2);
  // A value only displayed and not changed keeps its full precision.
  if (shown != f->EditText) f->SetmyCell(f->CurrentTable, Kind, value, f->EditRow, f->EditCol, 1);
  f->EditRow = -1;
  f->EditText.clear();
  f->EditIsString = 0;
  return 1;
}

void TTableGrid::ScrollIntoView(int32_t col, int32_t row) {
  TTableForm* f = Form();
  if (f == nullptr) return;
  if (row < f->TopRow) f->TopRow = std::max(1, row);
  if (col < f->LeftCol) f->LeftCol = std::max(1, col);
}

bool TTableGrid::SelectCell(int32_t col, int32_t row, bool ctrlHeld) {
  TTableForm* f = Form();
  if (f == nullptr || ctrlHeld) return false;
  if (EditsInPlace(Kind) && RegisterEdit() == 0) return false;
  if (col < 1 || row < 1 || col > LastGridCol() || row > LastGridRow()) return false;
  f->Selection = TGridRect{col, row, col, row};
  return true;
}

bool TTableGrid::ChangeTab(int32_t tabIndex) {
  TTableForm* f = Form();
  if (f == nullptr) return false;
  if (RegisterEdit() == 0) return false;
  if (!f->SwitchToTab(tabIndex)) return false;
  if (Kind == kParametricTableKind) {
    ShownFirstRun = FirstRun;
    ShownLastRun = LastRun;
  }
  return true;
}

bool TTableGrid::EnterKey() {
  TTableForm* f = Form();
  if (f == nullptr) return false;
  if (f->Selection.Top >= LastGridRow()) return RegisterEdit() != 0;
  return SelectCell(f->Selection.Left, f->Selection.Top + 1, false);
}

// ---------------------------------------------------------------- keys

void TTableGrid::DeleteKey() {
  TTableForm* f = Form();
  if (f == nullptr) return;
  const TGridRect s = f->Selection;
  if (s.Left == s.Right && s.Top == s.Bottom) return;
  const int32_t rows = TableRowCounts[size_t(Kind)];
  for (int32_t row = std::max(1, s.Top); row <= std::min(s.Bottom, rows); ++row)
    for (int32_t col = std::max(1, s.Left); col <= s.Right; ++col)
      f->SetmyCell(f->CurrentTable, Kind, BlankValue, row, col, 1);
}

void TTableGrid::ShiftChanged(bool held) {
  ShiftHeld = held;
  if (Kind != kParametricTableKind) return;
  const TTableForm* f = Form();
  if (held && f != nullptr) {
    ShownFirstRun = f->Selection.Top;
    ShownLastRun = f->Selection.Bottom;
  } else {
    ShownFirstRun = FirstRun;
    ShownLastRun = LastRun;
  }
}

void TTableGrid::HomeKey() {
  TTableForm* f = Form();
  if (f == nullptr) return;
  f->LeftCol = 1;
  f->TopRow = 1;
  f->Selection = TGridRect{1, 1, 1, 1};
}

void TTableGrid::EndKey() {
  TTableForm* f = Form();
  if (f == nullptr) return;
  const int32_t col = std::max(1, LastGridCol());
  const int32_t row = std::max(1, LastGridRow());
  f->Selection = TGridRect{col, row, col, row};
  f->LeftCol = col;
  f->TopRow = row;
}

// ---------------------------------------------------------------- mouse

void TTableGrid::Activate(int32_t tick) {
  ActivationTick = tick;
  if (Kind == kParametricTableKind) {
    ShownFirstRun = FirstRun;
    ShownLastRun = LastRun;
  }
  TTableForm* f = Form();
  if (f == nullptr) return;
  for (TTableColumnRecord* c = f->Columns; c != nullptr; c = c->Next) c->MaxTextWidth = 25;
}

bool TTableGrid::IsAlterIconArea(int32_t col, int32_t x, int32_t y) const {
  const TTableForm* f = Form();
  if (f == nullptr || !EditsInPlace(Kind)) return false;
  const TTableColumnRecord* c = FindColumn(f->Columns, col);
  if (c == nullptr || c->IsString != 0) return false;
  const TRect r = CellRect(col, 0);
  return x >= r.Right - 15 && x <= r.Right && y >= r.Top && y < r.Top + 12;
}

std::string TTableGrid::HintAt(int32_t x, int32_t y) const {
  int32_t col = 0, row = 0;
  if (!CellAt(x, y, col, row)) return "";
  if (row == 0 && col == 0 && Kind == kParametricTableKind && x >= RunRangeMarker.Left &&
      x <= RunRangeMarker.Right && y >= RunRangeMarker.Top && y <= RunRangeMarker.Bottom)
    return "Solve Table";
  if (row == 0 && col >= 1 && IsAlterIconArea(col, x, y)) return "Alter Values";
  return "";
}

bool TTableGrid::LeftPress(int32_t x, int32_t y, bool shiftHeld, TableGridDialogs* dialogs) {
  TTableForm* f = Form();
  int32_t col = 0, row = 0;
  if (f == nullptr || !CellAt(x, y, col, row)) return false;
  LeftButtonDown = true;
  if (row == 0 && col == 0) {
    if (HintAt(x, y) == "Solve Table") {
      RunShownRange();
      return true;
    }
    return false;
  }
  const int32_t lastRow = LastGridRow();
  const int32_t lastCol = LastGridCol();
  TGridRect& s = f->Selection;
  if (row == 0) {
    ClickedColumn = col;
    if (IsAlterIconArea(col, x, y)) {
      if (dialogs != nullptr) AlterValuesClick(col, *dialogs);
      return true;
    }
    if (RegisterEdit() == 0) return true;
    if (shiftHeld && s.Top == 1 && s.Bottom == lastRow && (col == s.Left - 1 || col == s.Right + 1)) {
      s.Left = std::min(s.Left, col);
      s.Right = std::max(s.Right, col);
    } else {
      s = TGridRect{col, 1, col, lastRow};
    }
    return true;
  }
  if (col == 0) {
    if (RegisterEdit() == 0) return true;
    if (shiftHeld && s.Left == 1 && s.Right == lastCol && (row == s.Top - 1 || row == s.Bottom + 1)) {
      s.Top = std::min(s.Top, row);
      s.Bottom = std::max(s.Bottom, row);
    } else {
      s = TGridRect{1, row, lastCol, row};
    }
    return true;
  }
  return false;
}

void TTableGrid::RunShownRange() {
  if (Kind != kParametricTableKind) return;
  CalcErrorCode = 0;
  AbortRequested = false;
  if (RegisterEdit() == 0) return;
  SolveServices().CloseFormattedEquations();
  MinMaxMode = false;
  const int32_t savedFirst = FirstRun;
  const int32_t savedLast = LastRun;
  FirstRun = ShownFirstRun;
  LastRun = ShownLastRun;
  RunSolveTable();
  FirstRun = savedFirst;
  LastRun = savedLast;
}

// ---------------------------------------------------------------- tabs

int32_t TTableGrid::TabRightPress(int32_t tabIndex, TableGridDialogs& dialogs) {
  TTableForm* f = Form();
  if (f == nullptr || tabIndex < 0 || tabIndex >= int32_t(f->TabCaptions.size())) return 0;
  if (tabIndex != f->TabIndex && !ChangeTab(tabIndex)) return 0;
  f->TableName = f->TabCaptions[size_t(tabIndex)];
  static const char* const kWords[] = {"", "Parametric ", "Lookup ", "Arrays ", "Integral "};
  const std::string caption =
      std::string("Information for ") + kWords[Kind] + "Table " + std::to_string(tabIndex + 1);
  std::string title = f->TableName;
  int32_t position = tabIndex + 1;
  const int32_t count = int32_t(f->TabCaptions.size());
  const int32_t result = dialogs.TabInfo(caption, title, position, count);
  switch (result) {
    case 1: {
      DocumentUnchanged = false;
      f->TableName = title;
      f->TabCaptions[size_t(tabIndex)] = title;
      f->MultipleTableRefresh();
      auto* list = TableLists[size_t(Kind)].get();
      if (list != nullptr && position >= 1 && position <= count && position != tabIndex + 1) {
        auto header = std::move((*list)[size_t(tabIndex)]);
        list->erase(list->begin() + tabIndex);
        list->insert(list->begin() + (position - 1), std::move(header));
        const std::string moved = f->TabCaptions[size_t(tabIndex)];
        f->TabCaptions.erase(f->TabCaptions.begin() + tabIndex);
        f->TabCaptions.insert(f->TabCaptions.begin() + (position - 1), moved);
        f->CurrentTable = position;
        f->TabIndex = position - 1;
        f->RenumberTables();
      }
      break;
    }
    case 4:
      f->DuplicateTable();
      break;
    case 6: {
      f->DeleteSingleTable(tabIndex + 1);
      DocumentUnchanged = false;
      auto* list = TableLists[size_t(Kind)].get();
      if (list != nullptr && !list->empty()) {
        f->SwitchToTab(0);
        break;
      }
      f->Columns = nullptr;
      f->RowInfo.clear();
      TableRowCounts[size_t(Kind)] = -10;
      TableColumnCounts[size_t(Kind)] = 0;
      TableLists[size_t(Kind)].reset();
      TableForms[size_t(Kind)].reset();
      break;
    }
    default:
      break;
  }
  return result;
}

// ---------------------------------------------------------------- selection

void TTableGrid::SelectAll() {
  TTableForm* f = Form();
  if (f == nullptr) return;
  f->Selection = TGridRect{1, 1, LastGridCol(), LastGridRow()};
}

void TTableGrid::ClearSelection() {
  TTableForm* f = Form();
  if (f != nullptr) f->Selection = TGridRect{1, -1, 1, -1};
}

void TTableGrid::SetUncertColWidths() {
  TTableForm* f = Form();
  if (f == nullptr || !UncertaintyTableMode) return;
  for (TTableColumnRecord* c = f->Columns; c != nullptr; c = c->Next)
    if (f->GridColWidth(c->ColumnNumber) < c->MaxTextWidth) f->SetGridColWidth(c->ColumnNumber, c->MaxTextWidth + 20);
}

}  // namespace voq

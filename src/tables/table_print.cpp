#include "tables/table_print.h"

#include <algorithm>
#include <cmath>

#include "core/calc_state.h"
#include "model/document_settings.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "output/canvas.h"
#include "output/entry_text.h"
#include "output/palette.h"
#include "output/print_engine.h"
#include "output/solution_print.h"
#include "tables/table_typeset.h"
#include "tables/tables_state.h"

namespace voq {

namespace {

// The table's print font from the printer font preferences: the chosen
// size less two points, so that more columns fit across a page.
TCanvasFont TablePrintFont(bool bold, bool italic, bool underline) {
  static const int32_t kPoints[] = {10, 9, 10, 11, 12, 14, 16};
  static const char* const kFaces[] = {"", "Arial", "Times New Roman", "Courier New", "Symbol", "MS Sans Serif",
                                       "Century SchoolBook", "Bookman Old Style"};
  TCanvasFont font;
  const int32_t face = Preferences.PrinterFont;
  font.Face = face >= 1 && face <= 7 ? kFaces[face] : "Arial";
  const int32_t sizeIndex = Preferences.PrinterFontSize;
  const int32_t points = (sizeIndex >= 0 && sizeIndex <= 6 ? kPoints[sizeIndex] : 10) - 2;
  font.Height = std::max<int32_t>(1, int32_t(std::lround(double(points) * PrinterDpi / 72.0)));
  font.Bold = bold;
  font.Italic = italic;
  font.Underline = underline;
  return font;
}

TCanvasFont StyledFont(int16_t printStyle) { return TablePrintFont(printStyle == 1, printStyle == 2, false); }

bool AbortNow() { return AbortRequested || PrintPageState >= kPageStateCancel; }

int32_t LineTop() { return PrintState.CurrentLine * PrintLineHeight; }

struct TPrintedColumn {
  TTableColumnRecord* Column = nullptr;
  std::string Title;
  std::string Units;  // with its brackets
  int32_t Width = 0;
  int32_t Start = 0;  // left edge in dots, within its band
};

class TablePrinter {
 public:
  TablePrinter(TTableForm& form, int32_t tableNumber, bool selectionOnly, PrintSurfaceCanvas& canvas)
      : f_(form), table_(tableNumber == 0 ? form.CurrentTable : tableNumber), selectionOnly_(selectionOnly),
        canvas_(canvas) {}

  void Run();

 private:
  void Measure();
  void PrintHeader(int32_t first, int32_t last, bool afterPageBreak);
  void PrintRow(int32_t row, int32_t first, int32_t last);
  std::string CellText(TTableColumnRecord& c, int32_t row, uint8_t& entered);

  TTableForm& f_;
  int32_t table_;
  bool selectionOnly_;
  PrintSurfaceCanvas& canvas_;
  TTableColumnRecord* chain_ = nullptr;
  int32_t rows_ = 0;
  int32_t columns_ = 0;
  int32_t sumRowShown_ = 0;
  std::vector<TableRowInfo> rowInfo_;
  std::string tabCaption_;
  std::vector<TPrintedColumn> printed_;
  int32_t firstRow_ = 1;
  int32_t lastRow_ = 0;
  int32_t gap_ = 0;
  int32_t labelWidth_ = 0;
  bool anyUnits_ = false;
  std::string prefix_;
};

void TablePrinter::Run() {
  chain_ = f_.Columns;
  rows_ = TableRowCounts[size_t(f_.TableKind)];
  columns_ = TableColumnCounts[size_t(f_.TableKind)];
  sumRowShown_ = f_.SumRowShown;
  rowInfo_ = f_.RowInfo;
  tabCaption_ = f_.TabIndex >= 0 && f_.TabIndex < int32_t(f_.TabCaptions.size()) ? f_.TabCaptions[size_t(f_.TabIndex)]
                                                                                    : std::string();
  if (table_ != f_.CurrentTable) {
    if (const TTableHeaderRecord* h = TableHeader(f_.TableKind, table_)) {
      chain_ = h->Columns;
      rows_ = h->RowCount;
      columns_ = h->ColumnCount;
      sumRowShown_ = h->SumRowShown;
      rowInfo_ = h->RowInfo;
      tabCaption_ = h->Name;
    }
  }
  if (chain_ == nullptr) return;
  prefix_ = f_.TableKind == kParametricTableKind ? "Run " : f_.TableKind == kArraysTableKind ? "" : "Row ";
  int32_t firstCol = 1;
  int32_t lastCol = columns_;
  firstRow_ = 1;
  lastRow_ = rows_ + sumRowShown_;
  if (selectionOnly_) {
    firstCol = std::max(1, f_.Selection.Left);
    lastCol = std::min(f_.Selection.Right, columns_);
    firstRow_ = std::max(1, f_.Selection.Top);
    lastRow_ = std::min(f_.Selection.Bottom, rows_ + sumRowShown_);
  }
  for (int32_t k = firstCol; k <= lastCol; ++k) {
    TTableColumnRecord* c = FindColumn(chain_, k);
    if (c == nullptr) continue;
    TPrintedColumn p;
    p.Column = c;
    printed_.push_back(p);
  }
  // Printed widths live in the columns' Width for the time of printing;
  // the screen widths come back whatever happens.
  for (TTableColumnRecord* c = chain_; c != nullptr; c = c->Next) c->SavedWidth = c->Width;
  Measure();
  std::vector<int32_t> widths;
  for (const TPrintedColumn& p : printed_) widths.push_back(p.Width);
  const int32_t available = PrintState.PageWidth - PrintLeftMargin - PrintRightMargin - labelWidth_;
  for (const auto& [first, last] : TableBands(widths, gap_, available)) {
    int32_t x = PrintLeftMargin + labelWidth_;
    for (int32_t k = first; k <= last; ++k) {
      printed_[size_t(k)].Start = x;
      x += printed_[size_t(k)].Width + gap_;
    }
    PrintHeader(first, last, false);
    // An abort ends the printing after the band in hand.
    for (int32_t row = firstRow_; row <= lastRow_; ++row) PrintRow(row, first, last);
    canvas_.SetFont(TablePrintFont(false, false, false));
    PrintAdvanceLines(1);
    if (AbortNow()) break;
  }
  for (TTableColumnRecord* c = chain_; c != nullptr; c = c->Next) c->Width = c->SavedWidth;
  canvas_.SetTextColor(kRgbBlack);
}

std::string TablePrinter::CellText(TTableColumnRecord& c, int32_t row, uint8_t& entered) {
  std::string text;
  entered = 0;
  const int32_t saved = CalcErrorCode;
  f_.GetMyCell(table_, row, c.ColumnNumber, text, 60, entered, 2);
  CalcErrorCode = saved;
  if (f_.TableKind != kParametricTableKind) entered = 0;
  return text;
}

void TablePrinter::Measure() {
  canvas_.SetFont(TablePrintFont(false, false, false));
  gap_ = 4 * PrintCharWidth;
  labelWidth_ = canvas_.TextWidth("Run ") + RowLabelDigits(rows_) * canvas_.TextWidth("9") + 2 * gap_;
  for (TPrintedColumn& p : printed_) {
    TTableColumnRecord& c = *p.Column;
    const size_t cr = c.Name.find('\r');
    p.Title = c.Name.substr(0, cr);
    if (f_.TableKind == kParametricTableKind || f_.TableKind == kIntegralTableKind) {
      const TVariableRecord* v = MainProgramUnit != nullptr ? MainProgramUnit->Variable(c.VariableIndex) : nullptr;
      if (v != nullptr) p.Units = BracketUnits(v->Units);
    } else if (cr != std::string::npos) {
      p.Units = c.Name.substr(cr + 1);
    }
    anyUnits_ = anyUnits_ || !p.Units.empty();
    int32_t w = std::max(PrintedTextWidth(canvas_, p.Title), PrintedTextWidth(canvas_, p.Units));
    for (int32_t row = firstRow_; row <= lastRow_; ++row) {
      uint8_t entered = 0;
      w = std::max(w, PrintedTextWidth(canvas_, CellText(c, row, entered)));
    }
    p.Width = w;
    c.Width = w;
  }
}

void TablePrinter::PrintHeader(int32_t first, int32_t last, bool afterPageBreak) {
  if (!afterPageBreak) PrintAdvanceLines(1);
  std::string title;
  switch (f_.TableKind) {
    case kParametricTableKind:
      title = tabCaption_.empty() ? "Parametric Table" : "Parametric Table: " + tabCaption_;
      break;
    case kLookupTableKind:
      title = tabCaption_.empty() ? "Lookup Table" : "Lookup Table: " + tabCaption_;
      break;
    case kArraysTableKind:
      title = "Arrays Table";
      break;
    default:
      title = "Integral Table";
      break;
  }
  canvas_.SetTextColor(kRgbBlack);
  canvas_.SetFont(TablePrintFont(true, false, true));
  canvas_.TextOut(PrintLeftMargin, LineTop(), title);
  const TCanvasFont normal = TablePrintFont(false, false, false);
  const bool nice = Preferences.ShowSubscripts != 0;
  const double scale = PrinterDpi / 96.0;
  auto headerLine = [&](bool units) {
    PrintAdvanceLines(1);
    canvas_.SetFont(normal);
    for (int32_t k = first; k <= last; ++k) {
      const TPrintedColumn& p = printed_[size_t(k)];
      const std::string text = (units ? p.Units : p.Title).substr(0, 60);
      if (nice) {
        const int32_t w = units ? TypesetUnits(canvas_, normal, 0, 0, text, scale, false)
                                : TypesetTitle(canvas_, normal, 0, 0, text, PrintLineHeight, scale, false);
        const int32_t x = p.Start + std::max(0, (p.Width - w) / 2);
        if (units) TypesetUnits(canvas_, normal, x, LineTop(), text, scale, true);
        else TypesetTitle(canvas_, normal, x, LineTop(), text, PrintLineHeight, scale, true);
      } else {
        canvas_.TextOut(p.Start + p.Width - canvas_.TextWidth(text), LineTop(), text);
      }
    }
  };
  headerLine(false);
  if (anyUnits_) headerLine(true);
  const TPrintedColumn& lastColumn = printed_[size_t(last)];
  // The rule goes at the foot of the header lines: half a line further
  // down it would strike through the first row's labels and values.
  const int32_t y = LineTop() + PrintLineHeight;
  canvas_.SetPen(kRgbBlack, 1);
  canvas_.MoveTo(PrintLeftMargin, y);
  canvas_.LineTo(lastColumn.Start + lastColumn.Width + 10, y);
  const int32_t xLabel = PrintLeftMargin + labelWidth_ - gap_ / 2;
  canvas_.MoveTo(xLabel, y);
  canvas_.LineTo(xLabel, LineTop() + 2 * PrintLineHeight);
}

void TablePrinter::PrintRow(int32_t row, int32_t first, int32_t last) {
  const bool parametric = f_.TableKind == kParametricTableKind;
  const bool sumRow = row > rows_;
  if (sumRow && !(parametric && Preferences.TableSumRow != 0)) return;
  const int32_t page = PrintState.PageNumber;
  PrintAdvanceLines(1);
  if (PrintState.PageNumber != page) PrintHeader(first, last, true);
  std::string label;
  if (sumRow) label = "Sum";
  else if (f_.TableKind == kArraysTableKind) label = std::to_string(row + TableRunOffset - 1);
  else label = prefix_ + std::to_string(row);
  canvas_.SetTextColor(kRgbBlack);
  canvas_.SetFont(TablePrintFont(sumRow, false, false));
  const int32_t y = LineTop();
  canvas_.TextOut(PrintLeftMargin, y, label);
  for (int32_t k = first; k <= last; ++k) {
    const TPrintedColumn& p = printed_[size_t(k)];
    uint8_t entered = 0;
    const std::string text = CellText(*p.Column, row, entered) + " ";
    TCanvasFont font = TablePrintFont(false, false, false);
    TRgb colour = kRgbBlack;
    if (parametric) {
      if (sumRow) {
        font = TablePrintFont(true, false, false);
      } else {
        font = StyledFont(entered != 0 ? Preferences.PrintEnteredTableStyle : Preferences.PrintCalculatedTableStyle);
        if (Preferences.PrintInColor != 0)
          colour = PaletteColorRGB(entered != 0 ? Preferences.EnteredTableColor : Preferences.CalculatedTableColor);
      }
    }
    canvas_.SetFont(font);
    canvas_.SetTextColor(colour);
    const int32_t right = p.Start + p.Width + 10;
    const int32_t left = p.Start - 99;
    canvas_.TextOut(std::max(left, right - canvas_.TextWidth(text)), y, text);
  }
  canvas_.SetTextColor(kRgbBlack);
  const TPrintedColumn& lastColumn = printed_[size_t(last)];
  canvas_.SetPen(kRgbBlack, 1);
  if (row - 1 < int32_t(rowInfo_.size()) && rowInfo_[size_t(row - 1)].Border != 0) {
    const int32_t yb = y + PrintLineHeight * 9 / 10;
    canvas_.MoveTo(PrintLeftMargin, yb);
    canvas_.LineTo(lastColumn.Start + lastColumn.Width + 10, yb);
  }
  const int32_t xLabel = PrintLeftMargin + labelWidth_ - gap_ / 2;
  canvas_.MoveTo(xLabel, y);
  canvas_.LineTo(xLabel, y + PrintLineHeight);
}

}  // namespace

int32_t RowLabelDigits(int32_t rows) {
  if (rows < 10) return 1;
  if (rows < 100) return 2;
  if (rows < 1000) return 3;
  return 4;
}

std::vector<std::pair<int32_t, int32_t>> TableBands(const std::vector<int32_t>& widths, int32_t gap,
                                                    int32_t available) {
  std::vector<std::pair<int32_t, int32_t>> bands;
  const int32_t n = int32_t(widths.size());
  int32_t first = 0;
  while (first < n) {
    int32_t last = first;
    int32_t used = widths[size_t(first)] + gap;
    while (last + 1 < n && used + widths[size_t(last + 1)] + gap <= available) {
      ++last;
      used += widths[size_t(last)] + gap;
    }
    bands.emplace_back(first, last);
    first = last + 1;
  }
  return bands;
}

int32_t PrintedTextWidth(Canvas& canvas, const std::string& text) {
  if (Preferences.ShowSubscripts == 0) return canvas.TextWidth(text);
  double total = 0;
  bool lowered = false;
  for (const char c : text) {
    const int32_t w = canvas.TextWidth(std::string(1, c));
    total += lowered ? 0.8 * w : w;
    if (c == '_' || c == '^') lowered = true;
  }
  return int32_t(std::lround(total));
}

void PrintTable(TTableForm& form, int32_t tableNumber, bool selectionOnly) {
  if (PrintState.Canvas == nullptr) return;
  PrintSurfaceCanvas canvas(*PrintState.Canvas);
  TablePrinter printer(form, tableNumber, selectionOnly, canvas);
  printer.Run();
}

bool PrintTableJob(TTableForm& form, const std::string& title, bool selectionOnly) {
  PrintPageState = kPageStateRunning;
  PrintState.PreviewMode = false;
  Printing = true;
  if (!BeginPrintJob(title, 1)) {
    Printing = false;
    EndPrintJob();
    return false;
  }
  PrintAdvanceLines(1);
  PrintTable(form, 0, selectionOnly);
  EndPrintJob();
  Printing = false;
  return true;
}

bool PrintTableSelection(TTableForm& form, const std::string& documentName) {
  return PrintTableJob(form, documentName.empty() ? "(Untitled)" : documentName, true);
}

}  // namespace voq

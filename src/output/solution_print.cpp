#include "output/solution_print.h"

#include <algorithm>
#include <cmath>

#include "model/display_fonts.h"
#include "model/document_settings.h"
#include "model/store_state.h"
#include "output/format_codes.h"
#include "output/palette.h"
#include "output/print_engine.h"

namespace voq {

PrintSurfaceCanvas::~PrintSurfaceCanvas() {
  for (const auto& [key, handle] : owned_) surface_.DeletePrinterFont(handle);
}

PrintSurfaceCanvas::Key PrintSurfaceCanvas::KeyOf(const TCanvasFont& font) {
  return Key{font.Face, font.Height, font.Bold, font.Italic, font.Underline, font.Escapement};
}

void PrintSurfaceCanvas::MapFont(const TCanvasFont& font, FontHandle handle) {
  if (handle != 0) mapped_[KeyOf(font)] = handle;
}

void PrintSurfaceCanvas::SelectCurrentFont() {
  const Key key = KeyOf(Font());
  FontHandle handle = 0;
  if (auto it = mapped_.find(key); it != mapped_.end()) {
    handle = it->second;
  } else if (auto own = owned_.find(key); own != owned_.end()) {
    handle = own->second;
  } else {
    TPrinterFontRequest request;
    request.Face = Font().Face;
    request.Height = Font().Height;
    request.Weight = Font().Bold ? 700 : 400;
    request.Italic = Font().Italic;
    request.Underline = Font().Underline;
    handle = surface_.CreatePrinterFont(request);
    if (handle != 0) owned_[key] = handle;
  }
  if (handle != 0) surface_.SelectFont(handle);
}

void PrintSurfaceCanvas::TextOut(int32_t x, int32_t y, const std::string& text) {
  SelectCurrentFont();
  surface_.SetTextColor(TextColor());
  if (!TransparentText()) surface_.FillRect(x, y, x + surface_.TextWidth(text), y + TextHeight(text), BackgroundColor());
  surface_.DrawText(x, y, text);
}

int32_t PrintSurfaceCanvas::TextWidth(const std::string& text) {
  SelectCurrentFont();
  return surface_.TextWidth(text);
}

int32_t PrintSurfaceCanvas::TextHeight(const std::string&) {
  SelectCurrentFont();
  const TPrinterTextMetrics metrics = surface_.TextMetrics();
  return metrics.Height + metrics.ExternalLeading;
}

void PrintSurfaceCanvas::LineTo(int32_t x, int32_t y) {
  if (PenStyle() != TPenStyle::None) surface_.DrawLine(Position().X, Position().Y, x, y, PenColor(), PenWidth());
  SetPosition(x, y);
}

void PrintSurfaceCanvas::FillRect(const TRect& rect, TRgb colour) {
  surface_.FillRect(rect.Left, rect.Top, rect.Right, rect.Bottom, colour);
}

void PrintSurfaceCanvas::FrameRect(const TRect& rect, TRgb colour) {
  const int32_t right = rect.Right - 1;
  const int32_t bottom = rect.Bottom - 1;
  surface_.DrawLine(rect.Left, rect.Top, right, rect.Top, colour, 1);
  surface_.DrawLine(right, rect.Top, right, bottom, colour, 1);
  surface_.DrawLine(right, bottom, rect.Left, bottom, colour, 1);
  surface_.DrawLine(rect.Left, bottom, rect.Left, rect.Top, colour, 1);
}

void PrintSurfaceCanvas::FillPolygon(const std::vector<TCanvasPoint>& points, TRgb colour) {
  // Entries draw no polygons; their outline is the closest a print
  // surface of lines and rectangles gives.
  for (size_t i = 0; i + 1 < points.size(); ++i)
    surface_.DrawLine(points[i].X, points[i].Y, points[i + 1].X, points[i + 1].Y, colour, 1);
}

void PrintSurfaceCanvas::FillEllipse(const TRect& rect, TRgb colour) {
  // The dots of accents: small enough that a square reads as one.
  surface_.FillRect(rect.Left, rect.Top, rect.Right, rect.Bottom, colour);
}

TEntryPage MakePrintEntryPage(PrintSurfaceCanvas& canvas) {
  TEntryPage page;
  page.Target = &canvas;
  page.Printing = true;
  page.PrintPreview = PrintState.PreviewMode;
  page.Scale = PrinterDpi / 96.0;
  page.CharWidth = std::max(PrintCharWidth, 1);
  page.LineHeight = std::max(PrintLineHeight, 1);
  page.TopOffset = 0;
  page.LeftMargin = PrintLeftMargin;
  page.ClientHeight = PrintState.PageHeight;
  // The page's fonts are the job's printer fonts; the canvas fonts only
  // name them (distinct faces, heights and styles per kind).
  std::array<TCanvasFont, 7> fonts{};
  const std::string face = PrinterFontFace();
  const int32_t normalHeight = std::max(PrintTextHeight, 2);
  for (int32_t k = 0; k <= 6; ++k) fonts[size_t(k)].Face = face;
  fonts[0].Height = normalHeight;
  fonts[kFontNormal].Height = normalHeight;
  fonts[kFontBold].Height = normalHeight;
  fonts[kFontBold].Bold = true;
  fonts[kFontItalic].Height = normalHeight;
  fonts[kFontItalic].Italic = true;
  fonts[kFontSmall].Height = normalHeight - 1;
  fonts[kFontSymbol].Face = "Symbol";
  fonts[kFontSymbol].Height = normalHeight;
  fonts[kFontSmallSymbol].Face = "Symbol";
  fonts[kFontSmallSymbol].Height = normalHeight - 1;
  page.Fonts = fonts;
  for (int32_t k = 1; k <= 6; ++k) canvas.MapFont(fonts[size_t(k)], DisplayFonts[size_t(k)].Printer);
  canvas.MapFont(fonts[0], DisplayFonts[1].Printer);
  canvas.SetFont(fonts[kFontNormal]);
  return page;
}

void DrawSolutionItem(TEntryPage& page, TSolutionItem& item, int32_t line, int32_t columnWidth) {
  if (!item.IsEntry) {
    WriteStr(page, item.Column, line, item.Text, item.Kind, 0);
    return;
  }
  Canvas& canvas = *page.Target;
  int32_t fore = 0, back = 0, hilite = 0, complexStyle = 0;
  UnpackFormatCode(item.Code, fore, back, hilite, complexStyle);
  const int32_t kind = hilite == kHiliteBold ? kTextBold : kTextNormal;
  TRect rect;
  rect.Left = ColumnX(page, item.Column) - 3;
  rect.Top = LineY(page, line) - static_cast<int32_t>(std::lround(2 * page.Scale));
  rect.Bottom = rect.Top + (page.Printing ? page.LineHeight - 2 : page.LineHeight);
  canvas.SetFont(page.Fonts[kind == kTextBold ? kFontBold : kFontNormal]);
  rect.Right = rect.Left + canvas.TextWidth(item.Text) + 6;
  if (back > 0 && page.ColorOutput) canvas.FillRect(rect, BackColorOfIndex(back));
  const int32_t column = DrawListingEntry(page, item, line, columnWidth, kind, fore, back);
  rect.Right = std::max(rect.Right, rect.Left + (column - item.Column) * page.CharWidth + 6);
  const int32_t penWidth = std::max(1, static_cast<int32_t>(std::lround(page.Scale)));
  if (hilite == kHiliteUnderline) {
    canvas.SetPen(kRgbBlack, penWidth);
    canvas.MoveTo(rect.Left, rect.Bottom - 2);
    canvas.LineTo(rect.Right, rect.Bottom - 2);
  } else if (hilite == kHiliteBox) {
    canvas.FrameRect(rect, kRgbBlack);
  }
}

void PrintSolution(int32_t tab) {
  if (!PrintState.JobRunning || PrintState.Canvas == nullptr || PrintCharWidth <= 0) return;
  PrintSurface& surface = *PrintState.Canvas;
  TSolutionState& state = SolutionState();
  const TSolutionState saved = state;
  if (state.TabsShown && tab >= 0 && size_t(tab) < state.Tabs.size()) state.SelectedTab = tab;
  state.Printing = true;
  state.SelectAllPaint = false;
  state.TopOffset = 0;
  PrintSurfaceCanvas canvas(surface);
  TEntryPage page = MakePrintEntryPage(canvas);
  page.ColorOutput = Preferences.PrintInColor != 0 && !state.ShiftHeld;
  const TPageEntryMetrics metrics(page);
  const int32_t width =
      std::max(1, (PrintState.PageWidth - PrintLeftMargin - PrintRightMargin) / page.CharWidth);
  TSolutionListing listing = DisplaySolution(state, width, metrics);
  // The listing's line counter starts at -1, on the job's current line.
  int32_t listed = -1;
  for (TSolutionItem& item : listing.Items) {
    if (PrintPageState >= kPageStateCancel) break;
    for (; listed < item.Line && PrintPageState < kPageStateCancel; ++listed) PrintAdvanceLines(1);
    if (PrintPageState >= kPageStateCancel) break;
    DrawSolutionItem(page, item, PrintState.CurrentLine, listing.ColumnWidth);
  }
  for (; listed < listing.LastLine && PrintPageState < kPageStateCancel; ++listed) PrintAdvanceLines(1);
  surface.SelectFont(DisplayFonts[1].Printer);
  surface.SetTextColor(kRgbBlack);
  // The screen's own state is the window's: what printing changed of it
  // goes back (the selected tab too; the window shows what it showed).
  state.Tabs = saved.Tabs;
  state.SelectedTab = saved.SelectedTab;
  state.LastColumnCount = saved.LastColumnCount;
  state.TopOffset = saved.TopOffset;
  state.Printing = false;
}

}  // namespace voq

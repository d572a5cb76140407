#pragma once
// The Solution window on paper: one tab's listing drawn on the running
// print job's surface with the printer's fonts and scale, its lines counted
// by the print engine (page breaks and page headers are the engine's), and
// the entries drawn by the same routines as on the screen.
#include <cstdint>
#include <map>
#include <tuple>

#include "output/canvas.h"
#include "output/entry_text.h"
#include "output/print_surface.h"
#include "output/solution_listing.h"

namespace voq {

// The drawing surface of the entry routines over a print surface. The
// page's six fonts map onto the job's printer fonts; any other font is made
// on the surface when first drawn and freed with the canvas.
class PrintSurfaceCanvas : public Canvas {
 public:
  explicit PrintSurfaceCanvas(PrintSurface& surface) : surface_(surface) {}
  ~PrintSurfaceCanvas() override;
  PrintSurfaceCanvas(const PrintSurfaceCanvas&) = delete;
  PrintSurfaceCanvas& operator=(const PrintSurfaceCanvas&) = delete;

  // Draws `font` with a font the surface already has (not freed here).
  void MapFont(const TCanvasFont& font, FontHandle handle);

  void TextOut(int32_t x, int32_t y, const std::string& text) override;
  int32_t TextWidth(const std::string& text) override;
  int32_t TextHeight(const std::string& text) override;
  void LineTo(int32_t x, int32_t y) override;
  void FillRect(const TRect& rect, TRgb colour) override;
  void FrameRect(const TRect& rect, TRgb colour) override;
  void FillPolygon(const std::vector<TCanvasPoint>& points, TRgb colour) override;
  void FillEllipse(const TRect& rect, TRgb colour) override;

 private:
  using Key = std::tuple<std::string, int32_t, bool, bool, bool, int32_t>;
  static Key KeyOf(const TCanvasFont& font);
  void SelectCurrentFont();

  PrintSurface& surface_;
  std::map<Key, FontHandle> mapped_;
  std::map<Key, FontHandle> owned_;
};

// The entry page of the running job: the printer's fonts, cell, left
// margin and scale, line 0 at the page's top.
TEntryPage MakePrintEntryPage(PrintSurfaceCanvas& canvas);

// Draws one item of a listing (a text or an entry) at `line` of page.
// Entries get their background, bold, underline and box as on the screen.
void DrawSolutionItem(TEntryPage& page, TSolutionItem& item, int32_t line, int32_t columnWidth);

// Prints tab `tab` (0-based; 0 the main program) of the Solution window
// into the running job: the listing for the page's width in printed
// characters, each listing line counted with PrintAdvanceLines and drawn
// on the job's current line. Stops at the next entry once PrintPageState
// reaches 2. Nothing happens without a running job.
void PrintSolution(int32_t tab);

}  // namespace voq

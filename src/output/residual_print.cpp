#include "output/residual_print.h"

#include <algorithm>

#include "model/display_fonts.h"
#include "model/document_settings.h"
#include "model/store_state.h"
#include "output/palette.h"
#include "output/print_engine.h"
#include "output/residual_listing.h"
#include "output/solution_print.h"

namespace voq {

void PrintResiduals(bool ctrlHeld) {
  if (!PrintState.JobRunning || PrintState.Canvas == nullptr || PrintCharWidth <= 0) return;
  PrintSurface& surface = *PrintState.Canvas;
  TResidualState& state = ResidualState();
  const TResidualState saved = state;
  // The paper lists every block afresh: no variable is claimed yet.
  state.BlockMarker.clear();
  state.LineTexts.clear();
  state.RowLine.clear();
  state.PrintCancel = PrintPageState;
  {
    PrintSurfaceCanvas canvas(surface);
    TEntryPage page = MakePrintEntryPage(canvas);
    page.ColorOutput = Preferences.PrintInColor != 0 && !ctrlHeld;
    const int32_t width = std::max(1, PrintState.PageWidth - PrintLeftMargin - PrintRightMargin);
    DisplayResiduals(state, page, width);
  }
  surface.SelectFont(DisplayFonts[1].Printer);
  surface.SetTextColor(kRgbBlack);
  // What the window shows and its clicks and Find hit are the screen's.
  state = saved;
}

}  // namespace voq

#include "plots/plots_state.h"

#include "plots/plot_list.h"
#include "session/document_reset.h"
#include "session/engine.h"

namespace voq {

std::vector<std::unique_ptr<TPlotRecord>> PlotList;
int32_t CurrentPlotNumber = 0;
std::optional<std::vector<TPlotTextRecord>> PlotTextClipboard;
std::optional<std::vector<TGraphicObjectRecord>> PlotObjectClipboard;
Extended PlotDrawScale = 1;
int16_t PlotTabStripHeight = 0;

void ResetPlotsState() {
  DisposeAll();
  CurrentPlotNumber = 0;
  PlotTextClipboard.reset();
  PlotObjectClipboard.reset();
  PlotDrawScale = 1;
  PlotTabStripHeight = 0;
}

// A document reset frees every plot, whichever host runs: plots of one
// document are never saved into the next.
void InstallPlots() {
  RegisterEngineReset(&ResetPlotsState);
  RegisterDocumentDisposal(&DisposeAll);
}

}  // namespace voq

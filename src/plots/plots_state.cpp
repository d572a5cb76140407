#include "plots/plots_state.h"

#include "plots/plot_list.h"
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

void InstallPlots() { RegisterEngineReset(&ResetPlotsState); }

}  // namespace voq

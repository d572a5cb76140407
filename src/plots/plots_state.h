#pragma once
// The plot subsystem's globals and their reset. The Plot window owns them;
// its engine half here keeps them in one place so that every run and every
// test starts from no plots.
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "core/extended.h"
#include "plots/plot_records.h"

namespace voq {

// One entry per plot: entry k-1 is plot number k and tab k-1 of the Plot
// window. Owns the plots.
extern std::vector<std::unique_ptr<TPlotRecord>> PlotList;
// The plot shown in the window (1-based); 0 when none.
extern int32_t CurrentPlotNumber;
// The internal clipboards of copied text items and graphic objects; empty
// (nothing copied yet) at start.
extern std::optional<std::vector<TPlotTextRecord>> PlotTextClipboard;
extern std::optional<std::vector<TGraphicObjectRecord>> PlotObjectClipboard;
// The factor every size in pixels is multiplied by while a plot or diagram
// is drawn: 1 on the screen.
extern Extended PlotDrawScale;
// Height in pixels of the Plot window's tab strip, which a new plot's frame
// is placed below; the window sets it, 0 without one.
extern int16_t PlotTabStripHeight;

// Every plot freed and every global above back to its start value.
void ResetPlotsState();
// Registers ResetPlotsState with the engine reset (session/engine.h) and
// DisposeAll with the document reset (session/document_reset.h); the engine
// assembly calls it once, before StartEngine.
void InstallPlots();

}  // namespace voq

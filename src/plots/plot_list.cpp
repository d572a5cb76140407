#include "plots/plot_list.h"

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#include "core/calc_state.h"
#include "model/document_settings.h"
#include "plots/plot_working_copy.h"
#include "plots/plots_state.h"

namespace voq {

namespace {

// Frame arithmetic is done in int32: a preference of up to 32000 pixels plus
// an offset does not fit an int16, and a wrapped coordinate would put the
// frame on the wrong side of the window.
int16_t ClampToInt16(int32_t v) {
  return static_cast<int16_t>(std::clamp<int32_t>(v, INT16_MIN, INT16_MAX));
}

// A new record, or nullptr with the out-of-memory error.
template <typename T>
std::unique_ptr<T> AllocateOrReport() {
  try {
    return std::make_unique<T>();
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
    return nullptr;
  }
}

// Appends item to list; when the list cannot grow, the error is set and
// item still owns (and will free) the record.
template <typename T>
bool AppendOrReport(std::vector<std::unique_ptr<T>>& list, std::unique_ptr<T>& item) {
  try {
    list.push_back(std::move(item));
    return true;
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
    return false;
  }
}

TPlotRecord* ShownPlot() {
  if (CurrentPlotNumber < 1 || CurrentPlotNumber > static_cast<int32_t>(PlotList.size())) return nullptr;
  return PlotList[static_cast<size_t>(CurrentPlotNumber - 1)].get();
}

}  // namespace

TPlotRecord* CreateMPRPtr() {
  std::unique_ptr<TPlotRecord> plot = AllocateOrReport<TPlotRecord>();
  if (plot == nullptr) return nullptr;
  const TPreferencesRecord& p = Preferences;
  plot->FrameLeft = p.PlotLeft;
  plot->FrameRight = ClampToInt16(int32_t{p.PlotLeft} + p.PlotWidth);
  plot->FrameBottom = ClampToInt16(int32_t{p.PlotTop} + p.PlotHeight + PlotTabStripHeight);
  plot->FrameTop = ClampToInt16(int32_t{p.PlotTop} + PlotTabStripHeight);

  TPlotAxesRecord& a = plot->Axes;
  a.FrameRect = TSmallRect{plot->FrameLeft, plot->FrameTop, plot->FrameRight, plot->FrameBottom};
  // The frame the shown plot's text was laid out for; with no plot shown
  // the new plot's own, so that rescaling text later never starts from an
  // empty frame.
  const TPlotRecord* shown = ShownPlot();
  const TSmallRect& layoutFrame = shown != nullptr ? shown->Axes.FrameRect : a.FrameRect;
  plot->FrameRightAtDown = layoutFrame.Right;
  plot->FrameBottomAtDown = layoutFrame.Bottom;
  plot->HitTextIndex = -1;
  plot->UndoFlags = 0;
  plot->AxisFonts = {};

  a.LabelColor = p.PlotTextColor;
  a.LabelStyle = p.PlotTextStyle;
  a.LabelFont = p.PlotTextFont;
  a.LabelSize = p.PlotTextSize;
  a.FrameColor = p.PlotFrameColor;
  a.ThickBorder = p.PlotBorderThick;
  a.MajorTickSize = p.PlotMajorTickSize;
  a.MinorTickSize = p.PlotMinorTickSize;
  a.GridLineStyle = p.PlotGridLines;
  a.GridColor = p.PlotGridColor;
  a.WhiteBackground = 0;
  a.AutoScale = {};
  a.PropertyPlotFluid = -1;

  a.ToolBarLeft = ClampToInt16(int32_t{plot->FrameRight} + 20);
  a.ToolBarTop = plot->FrameTop;
  a.ToolBarVisible = 1;
  a.WindowHeight = ClampToInt16(int32_t{plot->FrameBottom} + 100);
  a.WindowWidth = ClampToInt16(int32_t{plot->FrameRight} + 80);
  a.FirstCurve = nullptr;
  a.BandLegend = 1;

  plot->UndoCurves = nullptr;
  plot->FirstSelectedText = nullptr;
  plot->UndoAnchorKind = 0;
  plot->UndoAnchorIndex = -1;

  if (!AppendOrReport(PlotList, plot)) return nullptr;
  TPlotRecord* made = PlotList.back().get();
  made->PlotNumber = static_cast<int32_t>(PlotList.size());
  made->PlotName = "Plot " + std::to_string(made->PlotNumber);
  made->OrbitLastX = 0;
  made->OrbitLastY = 0;
  return made;
}

TPlotTextRecord* NewText(int32_t plotNumber, const std::string& text, uint8_t orientation, int16_t legendCurve,
                         int16_t font, int16_t size, int16_t style, int16_t color, uint8_t opaque) {
  TPlotRecord* shown = ShownPlot();
  TPlotRecord* target = shown;
  if (plotNumber > 0) {
    target = plotNumber <= static_cast<int32_t>(PlotList.size())
                 ? PlotList[static_cast<size_t>(plotNumber - 1)].get()
                 : nullptr;
  }
  if (target == nullptr) return nullptr;

  std::unique_ptr<TPlotTextRecord> item = AllocateOrReport<TPlotTextRecord>();
  if (item == nullptr) return nullptr;
  TPlotTextRecord& t = *item;
  if (shown != nullptr) {
    // C++ integer division truncates toward zero, as the placement wants.
    // The shown plot's frame is the working copy's while the window holds it.
    const TSmallRect& frame = PlotWorkingCopy.Record() == shown ? PlotWorkingCopy.Axes.FrameRect
                                                               : shown->Axes.FrameRect;
    t.TextRect.Left = ClampToInt16((int32_t{frame.Left} + frame.Right) / 2 - 25);
    t.TextRect.Top = ClampToInt16(int32_t{frame.Top} + 15);
  } else {
    t.TextRect.Left = 25;
    t.TextRect.Top = 50;
  }
  t.TextRect.Right = kTextNotMeasured;
  t.TextRect.Bottom = kTextNotMeasured;
  t.SavedRect = t.TextRect;
  t.FontHandle = 0;
  t.ShowState = 0;
  t.TextStyle = style;
  t.Text = text.substr(0, kPlotTextLength);
  t.Orientation = orientation;
  t.Opaque = opaque;
  t.LegendCurve = legendCurve;
  t.TextColor = color;
  t.TextFont = font;
  t.TextSize = size;
  t.Framed = 0;
  t.Angle = 0;
  t.Selected = 0;
  t.AlignMark = 0;
  t.Reserved122 = {};
  t.Reserved132 = {};
  t.VariableIndex = 0;
  t.ShowVarName = 1;
  t.ShowVarUnits = 1;
  t.AutoUpdate = 0;
  if (!AppendOrReport(target->TextItems, item)) return nullptr;
  return target->TextItems.back().get();
}

void DisposePlot(int32_t n) {
  if (n < 1 || n > static_cast<int32_t>(PlotList.size())) return;
  // The window's working copy points into the records (its curve chain):
  // write it back and let go before the list changes, and show the plot
  // that is shown afterwards again.
  const bool windowShowing = PlotWorkingCopy.ShownPlotNumber != 0;
  if (windowShowing) MPRFreshen(PlotWorkingCopy.ShownPlotNumber);
  DropWorkingCopy();
  // The record's destructor frees its text items, objects (pictures
  // included), undo copies and curve chains with their arrays.
  PlotList.erase(PlotList.begin() + (n - 1));
  // A plot's number is its place in the list: the later plots move up, and
  // a stale number would name a plot that is gone or another one.
  for (size_t k = 0; k < PlotList.size(); ++k) PlotList[k]->PlotNumber = static_cast<int32_t>(k + 1);
  CurrentPlotNumber = PlotList.empty() ? 0 : 1;
  if (windowShowing && CurrentPlotNumber != 0) ShowPlot(CurrentPlotNumber);
}

void DisposeAll() {
  while (!PlotList.empty()) DisposePlot(static_cast<int32_t>(PlotList.size()));
  PlotList.clear();
  CurrentPlotNumber = 0;
  DropWorkingCopy();
}

}  // namespace voq

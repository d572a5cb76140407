#pragma once
// The Plot window's working copy of the shown plot, free of Qt so that the
// document writer and macro commands reach it without the window.
//
// Between two tab changes the working copy is the truth and the record in
// PlotList is stale. The working copy holds the plot's frame, axes block,
// name and editing state by value; the text items, objects, undo lists and
// curve chain stay owned by the record and are reached through it (the
// working Axes.FirstCurve is the record's chain). Every reader of a record
// that may be shown first calls MPRFreshen: the window on closing, before a
// tab change and before its tab dialog; ClearUndo and doUndo; the end of a
// mouse drag; the keyboard and dialog edits; the automatic plot data
// refresh; the document writer before it writes plots (SaveDocumentFile);
// DisposePlot before it frees a plot. No other function writes the working
// copy into a record.
#include <cstdint>
#include <string>

#include "plots/plot_records.h"

namespace voq {

struct TPlotWorkingCopy {
  int16_t FrameLeft = 0;
  int16_t FrameRight = 0;
  int16_t FrameBottom = 0;
  int16_t FrameTop = 0;
  TPlotAxesRecord Axes;
  // The axes block as it was when the plot was shown, or at the last
  // MakeUndo(4): the undo copy of the frame and scales.
  TPlotAxesRecord UndoAxes;
  int32_t ShownPlotNumber = 0;  // 0: no plot shown (no window, or closed on an empty list)
  std::string PlotName;
  int32_t FrameRightAtDown = 0;
  int32_t FrameBottomAtDown = 0;
  int32_t UndoAnchorIndex = -1;
  uint8_t UndoAnchorKind = 0;
  uint8_t UndoFlags = 0;
  int32_t HitTextIndex = -1;
  int32_t OrbitLastX = 0;
  int32_t OrbitLastY = 0;

  // The record shown, or nullptr.
  TPlotRecord* Record() const;

  // Selection bookkeeping of the shown plot.
  int32_t NTextItemsSelected() const;
  int32_t NObjectItemsSelected() const;
  void SetFirstSelectedText();
  void UnselectAll();

  // The one-step undo copy: what is 1 text items, 2 objects, 4 the axes
  // block and a deep copy of the curve chain (or a sum). Each part given
  // sets its bit of UndoFlags. A copied picture object owns its own bytes.
  void MakeUndo(uint8_t what);
  // Frees the undo copy, UndoFlags 0, and writes the working copy back.
  void ClearUndo();
  // Exchanges every part held with the live one and writes back; UndoFlags
  // is unchanged, so a second call redoes.
  void doUndo();
  // The Edit menu's Undo while the Plot window is active.
  bool UndoEnabled() const { return UndoFlags != 0; }
};

extern TPlotWorkingCopy PlotWorkingCopy;

// Copies the working copy into plot record n: frame, axes block, name,
// number and editing state. Nothing unless 1 <= n <= the number of plots
// and n is the plot the working copy holds (writing one plot's frame into
// another's record would corrupt it).
void MPRFreshen(int32_t n);
// The record of plot n into the working copy (the tab change); n becomes
// CurrentPlotNumber. Nothing for a number outside the list.
void ShowPlot(int32_t n);
// The working copy holds no plot (the window dropped its tabs).
void DropWorkingCopy();
// "Plot Window " and the plot number when name is empty, else name.
std::string PlotCaption(const std::string& name, int32_t plotNumber);

}  // namespace voq

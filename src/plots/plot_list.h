#pragma once
// Making and freeing plots and text items: the plot list's operations that
// every plot maker (the Plot Setup dialog, property plots, X-Y-Z plots, the
// document reader) and the document reset use.
//
// While the Plot window shows a plot, its frame and axes block are those of
// the working copy (plots/plot_working_copy.h); the text items and objects
// are the record's own.
#include <cstdint>
#include <string>

#include "plots/plot_records.h"

namespace voq {

// A new plot appended to PlotList, named "Plot " and the new number of
// plots, with its frame and axes settings from Preferences; it is not made
// the shown plot. nullptr with the out-of-memory error when it cannot be
// allocated.
TPlotRecord* CreateMPRPtr();

// A new text item appended to the text items of plot plotNumber, or, for a
// plotNumber of 0 or less, of the shown plot. text is cut to 80 characters.
// It is placed at (25, 50), or, while a plot is shown, 25 pixels left of the
// middle of the shown plot's frame and 15 below its top; right and bottom
// are 999 (not measured). nullptr, nothing made, when that plot does not
// exist (a number beyond the list, or no plot shown).
TPlotTextRecord* NewText(int32_t plotNumber, const std::string& text, uint8_t orientation, int16_t legendCurve,
                         int16_t font, int16_t size, int16_t style, int16_t color, uint8_t opaque);

// Frees plot n and all it owns and removes it from the list; the later
// plots move up and are renumbered. Plot 1 is shown afterwards, or none
// when no plot is left. A number outside 1 to the number of plots is
// ignored.
void DisposePlot(int32_t n);
// Frees every plot, the highest number first; the list ends empty.
void DisposeAll();

}  // namespace voq

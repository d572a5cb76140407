#pragma once
// The document form of one plot, in tab order inside a document's plot
// section:
//   int16 C, the number of curve entries; each curve entry is int32 524,
//     the 524-byte curve record, its X values, then its Y values (NPoints
//     10-byte reals each). A curve whose uncertainties are stored
//     (CurveErrorsFollow) is followed by one more entry: a copy of its
//     record with LineType and Symbol 0 and CurveNumber negated, then the X
//     and the Y uncertainties (a missing array as zeros). C counts it.
//     A plot without curves is the int16 0 alone.
//   int16 T, the number of text items plus one; the text items (152 bytes
//     each) and a last record that carries the plot's name (the text field,
//     LegendCurve -99, every other byte 0).
//   int16 G, the number of graphic objects; each object (115 bytes), a
//     picture object followed by int32 S and its S-byte picture stream.
//   int32 421 and the 421-byte axes block.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "plots/plot_records.h"

namespace voq {

// Appends the document form of plot to out. The caller has written the shown
// plot's working state back into its record first.
void WritePlotEntry(const TPlotRecord& plot, std::vector<uint8_t>& out);

enum class TPlotEntryResult {
  Read,       // a new plot was appended to PlotList (CreateMPRPtr) and filled
  NoCurves,   // an entry of C = 0, a plot of an old version: nothing made;
              // the caller shows kMsgOldPlotUnread and reads on
  Failed,     // CalcErrorCode set: the data ends early or holds an impossible
              // count or size (kMsgUnexpectedIOError, argument "100"), or
              // memory ran out (kMsgOperationOutOfMemory); nothing made
};

// Reads one plot entry from data[pos..size) and advances pos past it. Every
// count and size is checked against the bytes that remain before anything is
// allocated. A text record whose LegendCurve is -99 names the plot and is not
// kept as a text item. The curves read become the plot's chain, its frame
// fields take Axes.FrameRect, and every pointer read is replaced. On
// Failed, pos is where the fault was found. made receives the new plot on
// Read, nullptr otherwise.
TPlotEntryResult ReadPlotEntry(const uint8_t* data, size_t size, size_t& pos, TPlotRecord** made = nullptr);

}  // namespace voq

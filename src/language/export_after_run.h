#pragma once
// $EXPORT carried out after a solve: the values of the listed variables as
// one line of text appended to (or starting) a .CSV or .TXT file or the
// clipboard. A .TXT file that is created gets a header that lets it be
// opened again as a lookup file. A table run exports after every run, one
// line per run.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace voq {

// The text of each $EXPORT directive after its keyword, in reading order
// (outside quotes upper-cased; a quoted file name keeps its case). Cleared
// at the start of each read of the Equations window.
extern std::vector<std::string> ExportDirectives;
// $SAVELOOKUP directives of the last read, in reading order: the file part
// (a file name, a string variable's name, or "?" and the directive's line
// number) and the table (a Lookup Table tab number, or minus the index of a
// string variable naming it). Cleared at the start of each read.
struct TSaveLookupDirective {
  std::string File;
  int32_t Table = 0;
};
extern std::vector<TSaveLookupDirective> SaveLookupDirectives;

// Writes the tables the $SAVELOOKUP directives name, after a solve or at
// the end of a table run; nothing until the table model installs its writer.
void SaveLookupFilesAfterRun();
using LookupFileSaver = void (*)();
void SetLookupFileSaver(LookupFileSaver saver);

// The first run of the current Parametric table run; a later run appends to
// what the first one wrote. Set by the table run.
extern int32_t FirstRun;

// Every directive of ExportDirectives for run number run (0 after a single
// solution). Errors 565 and 566 end the export; 3, 265, 266 and 564
// leave the current line without the failing items.
void ExportAfterRun(int32_t run);

// 1-based position of the first ArgumentSeparator or blank outside square
// brackets; length + 1 when none.
int32_t SplitExportItem(const std::string& text);
// The index groups of a range's bound text (what follows "[", up to and
// including "]"): up to three groups lo..hi or single indexes. Error 3 when
// no group holds "..", or the text does not end with "]"; 265 for a bound
// that cannot be read; 266 for more than three groups. count is the number
// of groups read.
void ReadRangeBoundsList(const std::string& text, int32_t& count, std::array<int32_t, 3>& lows,
                         std::array<int32_t, 3>& highs);
// An integer, or a determined variable's value rounded; 0 for a name that
// is no variable; error 265 otherwise.
int32_t ReadRangeBound(const std::string& text);
// The element names of X[a..b], X[a..b,c..d] or X[a..b,c..d,e..f] in row
// order (the first index varying slowest), each cut to 30 characters.
// Error 3 without "[".
std::vector<std::string> ExpandArrayRange(const std::string& item);

}  // namespace voq

#pragma once
// The text export of a document (".XPT", format -303): the unit settings
// (without the energy unit), the stop criteria, the min/max settings, the
// Equations text with its zero byte, eight lines per variable, and the
// parametric and lookup tables as table text. Written by
// ExportDocumentText and read back by ImportDocumentText; InstallDocuments
// sets both into DocumentFormatHooks().
#include <string>

namespace voq {

inline constexpr int32_t kDocumentTextFormat = -303;

// Writes the export; an I/O failure is reported (ReportIOError), false.
// With the equations compiled only the used variables and the parametric
// table's columns are written, numbered 1, 2, ... in their order.
bool ExportDocumentText(const std::string& fileName);
// Reads an export into the document (merge: the equations go in at the
// caret). The file is read whole and never written: its line ends are
// repaired in memory. Every count is checked against the program's limits
// and what the file holds before anything is made. False after the first
// failing block (reported; the blocks read so far stay).
bool ImportDocumentText(const std::string& fileName, bool merge);

// Sets both into DocumentFormatHooks().
void InstallDocumentTextHooks();

}  // namespace voq

#pragma once
// Lookup tables as files: a file read into a new tab of the Lookup Table
// window, the current tab written as ".LKT" (the table section with a short
// header and the window's size), ".CSV" (values only) or text (counts,
// format lines and tab-separated values); and the directives that use them:
// $OPENLOOKUP while the equations are read and $SAVELOOKUP after a solve.
#include <cstdint>
#include <ostream>
#include <functional>
#include <string>
#include <vector>

namespace voq {

// Reads the file into a new tab named after the file (Steam.txt gives
// Steam). 0 on success; otherwise the error number (374 for a missing
// ".LKT" file, the reader's errors, 58 when the user keeps an existing
// table of that name).
int32_t ReadLookupFile(const std::string& fileName);

// Writes the current tab by the file's extension. False with the error set
// when the file cannot be written.
bool WriteLookupFile(const std::string& fileName);
// The text forms: with formats, the counts line and one format line per
// column come first; as CSV the values are separated by the argument
// separator instead of tabs.
void WriteLookupText(std::ostream& out, bool withFormats, bool asCsv);

// Open Lookup Table: reads the files in order into new tabs, records
// "OpenLookup " + name after each file read without error, and stops at the
// first error (left in CalcErrorCode). The compiled equations are discarded
// when any file was read. Returns the number of files read.
int32_t OpenLookupFiles(const std::vector<std::string>& fileNames,
                        const std::function<void(const std::string&)>& recordMacro);
// Save Lookup Table: the current tab written to fileName, whose folder
// joins the search path. False with the error set when it cannot be written.
bool SaveLookupTableAs(const std::string& fileName);
// The name Save Lookup Table proposes: the file the current tab was read
// from or written to, "" when none.
std::string CurrentLookupFileName();

// Installs the $OPENLOOKUP and $SAVELOOKUP readers and the writer run
// after a solve.
void InstallLookupDirectives();

}  // namespace voq

#pragma once
// Lookup files named in equations: finding a table by its name, loading
// ".LKT", comma-separated ".CSV" and plain-text files into LookupFileList,
// reloading a file that changed on disk, and column designators ("#" and a
// number, or a column name) turned into column numbers.
#include <cstdint>
#include <string>

#include "core/extended.h"
#include "tables/table_section.h"

namespace voq {

// Identifier of the Parametric table as a lookup source.
inline constexpr int32_t kParametricTableId = -1001;

// The identifier of the table a name designates: minus a Lookup Table tab's
// number when a tab has that caption, -1001 for "PARAMETRIC", otherwise the
// identifier of a lookup file (loaded now when it is not yet), with record
// set to it. 0 with error 354 (or the reading's error) when nothing is found.
int32_t FindLookupTable(const std::string& name, TLookupFileRecord*& record);

// The loaded file with that identifier, refreshed from disk when it changed;
// nullptr when there is none.
TLookupFileRecord* FindLookupFileById(int32_t id);

// Reads the file into record under identifier id. False with CalcErrorCode
// set on failure (354 missing, 355 unreadable ".LKT", 368 and 370 bad text,
// 100 with MessageText for other failures).
bool LoadLookupFileRecord(TLookupFileRecord& record, const std::string& fileName, int32_t id);

// The ".CSV" and plain-text forms.
bool ReadTextLookupFile(const std::string& path, TLookupFileRecord& record);

// Reads the file again under the same identifier when its date changed.
// False when that reading failed (the error is left for the caller).
bool RefreshLookupFile(TLookupFileRecord& record);

void FreeLookupColumns(TLookupFileRecord& record);

// One format line of a text lookup file ("F1 T [C]"): the style letter
// (F fixed, E exponential, S string, anything else automatic), the digit
// count (3 when none), a blank, the title and the units between "[" and
// "]". Blanks and control characters around the line are ignored.
void ReadLookupFormatLine(const std::string& line, TLookupColumnNode& node);

// The separator of a ".CSV" file's values: ",", or ";" under a decimal
// comma when the first line holds one (the writer then separates with the
// argument separator ";").
char LookupCsvSeparator(const std::string& firstLine);
// 1 plus the separators of the first line that more text follows.
int64_t LookupCsvColumnCount(const std::string& firstLine, char separator);

// The number of the column headed name (compared without case): in record
// when given, otherwise in the table window the identifier designates.
// 0 with error 356 (or 304 when the window does not exist).
int32_t FindColumnByName(const std::string& name, const TLookupFileRecord* record, int32_t tableId);

// "#n" gives n (error 326 and BlankValue when n is not a number); anything
// else is a column name for FindColumnByName.
Extended GetTableColumnNumber(const std::string& designator, const TLookupFileRecord* record, int32_t tableId);

}  // namespace voq

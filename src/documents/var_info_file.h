#pragma once
// Variable information files (".VAR"): the guess, limits, display format,
// highlight and units of the variables of one program unit as plain text,
// one line per variable with seven TAB-separated fields, lines ended by
// CR LF, an optional "//" header naming the document first:
//
//     name  guess  lower  upper  display  display-code  units
//
// The name is upper case, with "UNIT/" in front for a variable of a MODULE
// or SUBPROGRAM. The Variable Information dialog saves the shown unit into
// such a file, merging with the lines already there, and loads one; a
// $INCLUDE of a ".VAR" file in the equations loads one too.
#include <cstdint>
#include <string>
#include <vector>

#include "model/program_units.h"

namespace voq {

inline constexpr const char* kSaveVarInfoTitle = "Save Variable Information";
inline constexpr const char* kSaveVarInfoFilter =
    "Variable Info files (*.VAR)|*.VAR|Text files (*.TXT)|*.TXT|All files (.*)|*.*";
inline constexpr const char* kOpenVarInfoFilter =
    "Variable Info Files (*.VAR)|*.VAR|Text Files (*.TXT)|*.TXT|All Files (*.*)|*.*";

// The line of variable v of unit (the unit's upper-case name and "/" in
// front unless it is the main program).
std::string VarInfoLine(const TProgramUnitRecord& unit, const TVariableRecord& v);

// Puts line into lines: the line with the same name field is replaced, or
// else the line is appended. The scan stops at the first name field greater
// than the new one in byte order, which is why the merged list is kept in
// that same order (SortVarInfoLines).
void MergeVarInfoLine(std::vector<std::string>& lines, const std::string& line);

// Whole lines in byte order ("//" lines before names, names ascending): the
// order the merge's scan relies on, so a second save finds every line it
// replaces (a case-insensitive order would put "X[1]" before "XA" and the
// scan for "XA" would stop there and add a second line).
void SortVarInfoLines(std::vector<std::string>& lines);

// The lines to write when the unit is saved into a file that holds
// existing: merged, sorted, and with the "//" header naming documentName
// first when that ends in ".VOQ" (any case); no header otherwise.
std::vector<std::string> BuildVarInfoFileLines(std::vector<std::string> existing,
                                               const TProgramUnitRecord& unit,
                                               const std::string& documentName);

// Saves unit's variables into path, merging with the file's lines when it
// exists, and adds the file's folder to the search directories. Returns an
// I/O result code (0 success, 101 write failure); nothing is written for an
// empty list.
int32_t SaveVarInfoFile(const std::string& path, const TProgramUnitRecord& unit,
                        const std::string& documentName);

// Reads a file into the variables of CurrentProgramUnit. A missing file
// gives message 374 and CalcErrorCode 374. With allVariables false a
// variable not yet used in the equations is left alone. With checkSource a
// "//" header naming another document than documentName asks message 567;
// No stops the reading. An unreadable number beeps and ends the reading;
// the lines before it keep their effect.
void ReadVarInfoFile(const std::string& fileName, bool allVariables, bool checkSource,
                     const std::string& documentName = std::string());

}  // namespace voq

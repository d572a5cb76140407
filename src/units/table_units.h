#pragma once
// What the unit check needs of the tables that table functions read: the
// table a compiled designator names and the units of one of its columns
// (the units after a lookup column's carriage return, a lookup file
// column's units, or the units of a Parametric table column's variable).
#include <cstdint>
#include <string>

#include "core/extended.h"
#include "model/lookup_table_access.h"

namespace voq {

enum class TableResolution { Found, Error, Unknown };

// The table of a compiled table designator (Lookup Table tab, lookup
// file, the Parametric table as -1001, or 10000 + a string variable naming
// one). Error: CalcErrorCode is set (66, 304, 354, ...). Unknown: a string
// variable outside the program's variables, which ends the check silently.
TableResolution ResolveTableForUnits(Extended designator, int32_t routineIndex, int32_t& id,
                                     TLookupTableInfo& info);

// A column designator on the check's stack (a string index of "#n" or a
// name) as a column number; errors as the lookup tables report them.
Extended TableColumnNumberForUnits(Extended designator, int32_t id);

// The units of column c of table id, without surrounding brackets.
// Errors: 66 without the Lookup Table window, 304 without the Parametric
// table window, 153 for a lookup file column that does not exist.
std::string TableColumnUnits(int32_t column, int32_t id);

}  // namespace voq

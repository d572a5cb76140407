#pragma once
// What the compiler, the evaluator and the unit check need of the lookup
// tables: the tabs of the Lookup Table window and the lookup files the
// equations load. A table is named by its identifier: 0 the current tab of
// the window, -1 .. -1000 the tab of that number, -1001 the Parametric
// table (which the lookup functions cannot read), a positive number a
// lookup file (identifiers are allocated once per file).
//
// The table model installs its implementation with SetLookupTableAccess;
// until then (and after every engine reset) the default answers as if there
// were neither a Lookup Table window nor any lookup file.
#include <cstdint>
#include <string>

#include "core/extended.h"

namespace voq {

inline constexpr int32_t kLookupParametricId = -1001;

// Cell requests: a number, a string (the value is its StringConstants
// index), or whether the cell holds anything.
inline constexpr int32_t kLookupNumeric = 1;
inline constexpr int32_t kLookupString = 2;
inline constexpr int32_t kLookupFilled = 3;

struct TLookupTableInfo {
  bool IsFile = false;
  int32_t Rows = 0;
  int32_t Columns = 0;
};

class LookupTableAccess {
 public:
  virtual ~LookupTableAccess() = default;
  // The Lookup Table window exists; its number of tabs.
  virtual bool WindowExists() { return false; }
  virtual int32_t TabCount() { return 0; }
  // The identifier of the table a name designates: a tab caption, or a
  // lookup file found (and loaded) by its name. 0 with error 354 (or the
  // reading's error) when there is none.
  virtual int32_t FindTable(const std::string& name);
  // The table an identifier designates (a file is refreshed from disk when
  // it changed). False with error 66 when there is none.
  virtual bool Describe(int32_t id, TLookupTableInfo& info);
  // Cell (column, row), both 1-based, read as kind asks. A blank or missing
  // cell is BlankValue. Errors: 66 without the window, 153 for a file
  // column that does not exist, 247 for a string read of a numeric file
  // column or the reverse.
  virtual Extended Cell(int32_t id, int32_t column, int32_t row, int32_t kind);
  // The heading of a column without its units, and its units (brackets
  // removed); empty when there is no such column.
  virtual std::string ColumnName(int32_t /*id*/, int32_t /*column*/) { return ""; }
  virtual std::string ColumnUnits(int32_t /*id*/, int32_t /*column*/) { return ""; }
  // The tab's caption or the file's name.
  virtual std::string TableName(int32_t /*id*/) { return ""; }
  // A column designator ("#n" or a name) as a column number; errors 326,
  // 356 and 304 as the lookup files report them.
  virtual Extended ColumnNumber(const std::string& designator, int32_t id);
  // Stores a value into a cell of a window tab; false (nothing stored) for
  // a file or a cell outside the table.
  virtual bool SetCell(int32_t /*id*/, int32_t /*column*/, int32_t /*row*/, Extended /*value*/) { return false; }
};

// The installed access; nullptr puts the default (no tables) back.
void SetLookupTableAccess(LookupTableAccess* access);
LookupTableAccess& LookupTables();

}  // namespace voq

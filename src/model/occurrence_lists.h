#pragma once
// The sparse incidence structure of a unit's unsolved equations: one entry
// per (equation, unknown) pair, chained along its row (equation position)
// and along its column (unknown position). The blocking builds it, the
// Newton solver fills in the Jacobian and the sparse factorisation overwrites
// it with its factors and adds fill-in entries.
//
// Positions are 1-based; the heads live in the unit's RowHeads and
// ColumnHeads (element i is position i). The list operations here work on the
// unit's range RangeFirst..RangeLast.
#include <cstdint>

#include "core/extended.h"

namespace voq {

struct TEquationRecord;
struct TProgramUnitRecord;

struct TOccurrenceRecord {
  int32_t Row = 0;
  int32_t Column = 0;
  // Partial derivative, then L multiplier, reciprocal pivot or scaled U entry.
  Extended Value = 0;
  TOccurrenceRecord* NextInRow = nullptr;
  TOccurrenceRecord* NextInColumn = nullptr;
  // Variable index in the unit's store; 0 for a fill-in entry.
  int32_t Variable = 0;
  // The equation of the row; null for a fill-in entry.
  TEquationRecord* Equation = nullptr;
};

// Creates an entry and pushes it at the head of its row and column lists.
// Returns null with error 75 when memory runs out.
TOccurrenceRecord* AddOccurrence(TProgramUnitRecord& unit, int32_t row, int32_t column,
                                 int32_t variable, TEquationRecord* equation);

// Re-threads the rows and columns of the range: afterwards every row list is
// in ascending column order and every column list in ascending row order.
// Only entries of rows in the range are threaded into the range's columns.
void RebuildOccurrenceLinks(TProgramUnitRecord& unit);

// New row position i (in the range) receives the list of old position p[i];
// the entries' Row fields are renumbered. p is indexed by position.
void PermuteEquationRows(TProgramUnitRecord& unit, const int16_t* p);
// The same for the column lists and the Column fields. The column lists of
// the range must hold every entry of their columns.
void PermuteVariableColumns(TProgramUnitRecord& unit, const int16_t* p);
void PermuteRowsAndColumns(TProgramUnitRecord& unit, const int16_t* p);
// Exchanges the row lists at positions a and b, renumbering Row.
void SwapRows(TProgramUnitRecord& unit, int32_t a, int32_t b);

// Frees every entry of the unit's row lists and clears all heads.
void FreeUnitOccurrences(TProgramUnitRecord& unit);

// Entries in the row or column list at a position (for the solver and tests).
int32_t RowLength(const TProgramUnitRecord& unit, int32_t row);
int32_t ColumnLength(const TProgramUnitRecord& unit, int32_t column);

}  // namespace voq

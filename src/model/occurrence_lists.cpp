#include "model/occurrence_lists.h"

#include <new>
#include <vector>

#include "core/calc_state.h"
#include "model/program_units.h"

namespace voq {

namespace {

bool RangeIsUsable(const TProgramUnitRecord& unit) {
  return unit.RangeFirst >= 1 && unit.RangeFirst <= unit.RangeLast &&
         static_cast<size_t>(unit.RangeLast) < unit.RowHeads.size() &&
         static_cast<size_t>(unit.RangeLast) < unit.ColumnHeads.size();
}

bool IsPermutationOfRange(const TProgramUnitRecord& unit, const int16_t* p) {
  const int first = unit.RangeFirst, last = unit.RangeLast;
  std::vector<uint8_t> seen(static_cast<size_t>(last - first + 1), 0);
  for (int i = first; i <= last; ++i) {
    int q = p[i];
    if (q < first || q > last || seen[q - first]) return false;
    seen[q - first] = 1;
  }
  return true;
}

}  // namespace

TOccurrenceRecord* AddOccurrence(TProgramUnitRecord& unit, int32_t row, int32_t column,
                                 int32_t variable, TEquationRecord* equation) {
  if (row < 1 || column < 1 || static_cast<size_t>(row) >= unit.RowHeads.size() ||
      static_cast<size_t>(column) >= unit.ColumnHeads.size()) {
    return nullptr;
  }
  TOccurrenceRecord* e = new (std::nothrow) TOccurrenceRecord;
  if (!e) {
    ReportOutOfMemory();
    return nullptr;
  }
  e->Row = row;
  e->Column = column;
  e->Variable = variable;
  e->Equation = equation;
  e->NextInRow = unit.RowHeads[row];
  unit.RowHeads[row] = e;
  e->NextInColumn = unit.ColumnHeads[column];
  unit.ColumnHeads[column] = e;
  return e;
}

void RebuildOccurrenceLinks(TProgramUnitRecord& unit) {
  if (!RangeIsUsable(unit)) return;
  const int first = unit.RangeFirst, last = unit.RangeLast;
  for (int c = first; c <= last; ++c) unit.ColumnHeads[c] = nullptr;
  // Pushing rows from the last down leaves each column in ascending row order.
  for (int r = last; r >= first; --r) {
    for (TOccurrenceRecord* e = unit.RowHeads[r]; e; e = e->NextInRow) {
      if (e->Column < first || e->Column > last) continue;
      e->NextInColumn = unit.ColumnHeads[e->Column];
      unit.ColumnHeads[e->Column] = e;
    }
  }
  // Entries of the range's rows in columns outside it (constants of earlier
  // blocks while an unsplit set is worked on) are kept, behind the others.
  for (int r = first; r <= last; ++r) {
    TOccurrenceRecord* kept = nullptr;
    TOccurrenceRecord** tail = &kept;
    for (TOccurrenceRecord* e = unit.RowHeads[r]; e; e = e->NextInRow) {
      if (e->Column < first || e->Column > last) {
        *tail = e;
        tail = &e->NextInRow;
      }
    }
    *tail = nullptr;
    unit.RowHeads[r] = kept;
  }
  for (int c = last; c >= first; --c) {
    for (TOccurrenceRecord* e = unit.ColumnHeads[c]; e; e = e->NextInColumn) {
      e->NextInRow = unit.RowHeads[e->Row];
      unit.RowHeads[e->Row] = e;
    }
  }
}

void PermuteEquationRows(TProgramUnitRecord& unit, const int16_t* p) {
  if (!RangeIsUsable(unit) || !IsPermutationOfRange(unit, p)) return;
  const int first = unit.RangeFirst, last = unit.RangeLast;
  std::vector<TOccurrenceRecord*> old(unit.RowHeads.begin() + first,
                                      unit.RowHeads.begin() + last + 1);
  for (int i = first; i <= last; ++i) {
    unit.RowHeads[i] = old[p[i] - first];
    for (TOccurrenceRecord* e = unit.RowHeads[i]; e; e = e->NextInRow) e->Row = i;
  }
}

void PermuteVariableColumns(TProgramUnitRecord& unit, const int16_t* p) {
  if (!RangeIsUsable(unit) || !IsPermutationOfRange(unit, p)) return;
  const int first = unit.RangeFirst, last = unit.RangeLast;
  std::vector<TOccurrenceRecord*> old(unit.ColumnHeads.begin() + first,
                                      unit.ColumnHeads.begin() + last + 1);
  for (int j = first; j <= last; ++j) {
    unit.ColumnHeads[j] = old[p[j] - first];
    for (TOccurrenceRecord* e = unit.ColumnHeads[j]; e; e = e->NextInColumn) e->Column = j;
  }
}

void PermuteRowsAndColumns(TProgramUnitRecord& unit, const int16_t* p) {
  PermuteEquationRows(unit, p);
  PermuteVariableColumns(unit, p);
}

void SwapRows(TProgramUnitRecord& unit, int32_t a, int32_t b) {
  if (a == b) return;
  if (a < 1 || b < 1 || static_cast<size_t>(a) >= unit.RowHeads.size() ||
      static_cast<size_t>(b) >= unit.RowHeads.size()) {
    return;
  }
  std::swap(unit.RowHeads[a], unit.RowHeads[b]);
  for (TOccurrenceRecord* e = unit.RowHeads[a]; e; e = e->NextInRow) e->Row = a;
  for (TOccurrenceRecord* e = unit.RowHeads[b]; e; e = e->NextInRow) e->Row = b;
}

void FreeUnitOccurrences(TProgramUnitRecord& unit) {
  for (TOccurrenceRecord*& head : unit.RowHeads) {
    TOccurrenceRecord* e = head;
    while (e) {
      TOccurrenceRecord* next = e->NextInRow;
      delete e;
      e = next;
    }
    head = nullptr;
  }
  // The column lists pointed into the freed entries.
  for (TOccurrenceRecord*& head : unit.ColumnHeads) head = nullptr;
}

int32_t RowLength(const TProgramUnitRecord& unit, int32_t row) {
  int32_t n = 0;
  if (row < 1 || static_cast<size_t>(row) >= unit.RowHeads.size()) return 0;
  for (const TOccurrenceRecord* e = unit.RowHeads[row]; e; e = e->NextInRow) ++n;
  return n;
}

int32_t ColumnLength(const TProgramUnitRecord& unit, int32_t column) {
  int32_t n = 0;
  if (column < 1 || static_cast<size_t>(column) >= unit.ColumnHeads.size()) return 0;
  for (const TOccurrenceRecord* e = unit.ColumnHeads[column]; e; e = e->NextInColumn) ++n;
  return n;
}

}  // namespace voq

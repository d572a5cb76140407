#pragma once
// A unit holding a sparse matrix in its occurrence lists, for the tests of
// the factorisation and the list operations: one equation record per row,
// entries carrying the column as their variable.
#include <cmath>
#include <cstdint>
#include <deque>
#include <vector>

#include "core/calc_state.h"
#include "model/occurrence_lists.h"
#include "model/program_units.h"
#include "model/warnings_window.h"
#include "platform/scripted_platform.h"
#include "solver/solver_state.h"

namespace voq::test {

struct SparseMatrixUnit {
  explicit SparseMatrixUnit(int n, bool withEquations = true) : equations(n + 1) {
    unit.RowHeads.assign(n + 1, nullptr);
    unit.ColumnHeads.assign(n + 1, nullptr);
    unit.ColumnMarks.assign(n + 1, 0);
    unit.BlockEnds.assign(n + 1, 0);
    unit.UnknownCount = static_cast<int16_t>(n);
    unit.RangeFirst = 1;
    unit.RangeLast = static_cast<int16_t>(n);
    unit.RangeSize = n;
    this->withEquations = withEquations;
  }
  ~SparseMatrixUnit() { FreeUnitOccurrences(unit); }
  SparseMatrixUnit(const SparseMatrixUnit&) = delete;
  SparseMatrixUnit& operator=(const SparseMatrixUnit&) = delete;

  // Enters a(row, column); the entry's variable is the column.
  TOccurrenceRecord* Set(int row, int column, long double value) {
    TOccurrenceRecord* e =
        AddOccurrence(unit, row, column, column, withEquations ? &equations[row] : nullptr);
    e->Value = value;
    return e;
  }

  // What a Jacobian evaluation does before each solve: every entry gets its
  // derivative again, fill-in entries 0. values(row, column) gives a(row, column).
  template <typename F>
  void Refill(F values) {
    for (size_t r = 1; r < unit.RowHeads.size(); ++r) {
      for (TOccurrenceRecord* e = unit.RowHeads[r]; e; e = e->NextInRow) {
        e->Value = e->Variable ? values(e->Row, e->Variable) : 0.0L;
      }
    }
  }

  int EntryCount() const {
    int n = 0;
    for (size_t r = 1; r < unit.RowHeads.size(); ++r) n += RowLength(unit, static_cast<int32_t>(r));
    return n;
  }

  TOccurrenceRecord* Find(int row, int column) const {
    for (TOccurrenceRecord* e = unit.RowHeads[row]; e; e = e->NextInRow) {
      if (e->Column == column) return e;
    }
    return nullptr;
  }

  TProgramUnitRecord unit;
  std::deque<TEquationRecord> equations;
  bool withEquations = true;
};

// Resets the program-wide error and warning state a test reads.
inline void ResetCalcState() {
  CalcErrorCode = 0;
  MessageHelpContext = 0;
  for (auto& a : MessageArgs) a.clear();
  ClearWarningsAfter(0);
  WarningsPending = false;
  AbortRequested = false;
  FactorBlockNumber = 0;
  LastPivotMagnitude = 0;
}

}  // namespace voq::test

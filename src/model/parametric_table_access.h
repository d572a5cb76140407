#pragma once
// What the compiler, the evaluator and the repeated solves (optimisation
// and uncertainty per table run) need of the Parametric table window: its
// tables by tab name, the columns of a table with the main-program variable
// each names, which cells of a run hold an entered value, a cell's value,
// the run range, and the per-run uncertainty the uncertainty calculation
// writes.
//
// The table model installs its implementation with SetParametricTableAccess;
// until then (and after every engine reset) the default answers as if there
// were no Parametric table window.
#include <cstdint>
#include <string>

#include "core/extended.h"

namespace voq {

class ParametricTableAccess {
 public:
  virtual ~ParametricTableAccess() = default;
  // The Parametric table window exists.
  virtual bool WindowExists() const { return false; }
  // Number of tables (tabs) and the name of table t (1-based, tab order).
  virtual int32_t TableCount() const { return 0; }
  virtual std::string TableName(int32_t /*table*/) const { return ""; }
  // The current table (the selected tab), 1-based.
  virtual int32_t CurrentTable() const { return 1; }
  // Rows and columns of the current table (the table window's counts).
  virtual int32_t RowCount() const { return 0; }
  virtual int32_t ColumnCount() const { return 0; }
  // Columns of table t and the main-program variable index column c
  // (1-based position in the column chain) names; 0 when none.
  virtual int32_t TableColumnCount(int32_t /*table*/) const { return 0; }
  virtual int32_t ColumnVariable(int32_t /*table*/, int32_t /*column*/) const { return 0; }
  // Cell (row, column) of the current table holds an entered value (an
  // input of that run).
  virtual bool CellEntered(int32_t /*row*/, int32_t /*column*/) const { return false; }
  // The value of a cell of table t (the window's cell read for a number);
  // BlankValue for a cell without a value.
  virtual Extended CellValue(int32_t /*table*/, int32_t /*row*/, int32_t /*column*/) const {
    return BlankValue;
  }
  // The run range of the table runs (FirstRun, LastRun) and the "Update
  // guess values" option (UpdateGuesses) of the table runs.
  virtual int32_t FirstRunOfRange() const { return 1; }
  virtual int32_t LastRunOfRange() const { return 1; }
  virtual void SetRunRange(int32_t /*first*/, int32_t /*last*/) {}
  virtual void SetUpdateGuessesOption(bool /*update*/) {}
  virtual bool UpdateGuessesOption() const { return false; }
  // The 1-based position of the first column of the current table whose
  // variable is v; 0 when no column holds it.
  virtual int32_t ColumnOfVariable(int32_t v) const;
  // The uncertainty of run r's calculated variable, kept by the table.
  virtual void SetRunUncertainty(int32_t /*run*/, Extended /*uncertainty*/) {}
};

// The installed access; nullptr puts the default (no window) back.
void SetParametricTableAccess(ParametricTableAccess* access);
ParametricTableAccess& ParametricTable();

}  // namespace voq

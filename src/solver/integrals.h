#pragma once
// Integrals: the accumulation of INTEGRAL terms by trapezoids, the step
// control that compares a full step with two half steps (with optional
// Richardson extrapolation), the stepping of a unit's integration variables
// from their lower to their upper limits, the rows of the Integral table,
// and the evaluator's INTEGRAL (251) and INTEGRALVALUE (249, 3) opcodes.
//
// The stepping replaces the plain block solve of a unit with integration
// slots (SetIntegralStepper); nested integrals restart from their lower
// limit at every position of the slot they lie in.
#include <cstdint>

#include "core/extended.h"
#include "model/integral_records.h"

namespace voq {

// The Integral table window as the stepping and INTEGRALVALUE see it. The
// table model installs the window's implementation; by default there is
// none. Columns are 1-based in chain order; the first is the integration
// variable.
class IntegralTableWindow {
 public:
  virtual ~IntegralTableWindow() = default;
  virtual bool Exists() const { return false; }
  // The slot of the main program whose table the window shows.
  virtual int32_t SlotNumber() const { return 0; }
  virtual int32_t ColumnCount() const { return 0; }
  virtual int32_t ColumnVariable(int32_t /*column*/) const { return 0; }
  virtual Extended Cell(int32_t /*column*/, int32_t /*row*/) const { return BlankValue; }
  virtual void SetCell(int32_t /*column*/, int32_t /*row*/, Extended /*value*/) {}
  // Gives the window rows 1..rows and one extra row, every cell blank.
  // False (with the error set) when that failed.
  virtual bool Prepare(int32_t /*rows*/) { return true; }
  // A table run may have moved the grid into its tab control: put it back.
  virtual void RestoreGrid() {}
};
const IntegralTableWindow& IntegralTable();
IntegralTableWindow& MutableIntegralTable();
// Installs a window (not owned); nullptr restores the default.
void SetIntegralTableWindow(IntegralTableWindow* window);

// The term's value at the current position: the integral so far plus the
// trapezoid up to the integration variable's value. Table-based terms
// read their step from the Parametric table (errors 43 and 71).
Extended IntegralStepValue(TIntegralTermRecord& term);
// Accepts the current position: the trapezoid is added and the step
// control runs.
void AdvanceIntegral(TIntegralTermRecord& term);
// AdvanceIntegral for every term with limits over the variable.
void AdvanceIntegralsOf(int32_t variableIndex);
// Restarts every term with limits over the variable.
void ResetIntegralTerms(int32_t variableIndex);
// A slot whose block range lies inside a later slot's takes that range.
void MergeIntegralBlockRanges();
// Integrates slot k of the current unit from its lower to its upper limit.
void StepIntegral(int32_t k);
// Writes the Integral table rows the current position of slot k completes.
void StoreIntegralTableRows(int32_t k);
// The whole block solve of the current unit with its integrals.
void SolveIntegralBlocks();

// The table run of the Parametric table: the table-based terms of the main
// program bound to their columns and restarted before the runs (error 71
// when the integration variable has no column), and advanced after each
// run.
void BindTableIntegralTerms();
void AdvanceTableIntegralTerms();

// Installs the stepper and the two opcodes.
void InstallIntegralSolver();
// Back to no Integral table window.
void ResetIntegralSolver();

}  // namespace voq

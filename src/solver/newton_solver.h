#pragma once
// The block Newton solver: after the blocking, the equations of the current
// program unit are solved block by block in block order, each by a damped
// Newton iteration with a forward-difference Jacobian (one equation
// evaluation per structural entry) and the sparse LU solve. A singular
// Jacobian is retried once from randomised guesses; a step that makes the
// largest relative residual worse is pulled back.
//
// All routines work on CurrentProgramUnit and its range fields (RangeFirst,
// RangeLast, RangeSize, BlockEnds) and report through CalcErrorCode.
#include <cstdint>

#include "core/extended.h"

namespace voq {

struct TEquationRecord;

// The entry: step vector, progress window, every block (or the integral
// stepping), final display, clean-up of the occurrence lists. Errors: 26 (too
// many unknowns), 75, 57 (no convergence; MessageArgs[1] names the block),
// 50 (time limit), 55/19 (singular even after the restart), 322, 317..319,
// 58 (abort).
void SolveEquationBlocks();
// Solves the blocks whose numbers lie in first..last, in block order; stops
// at the first failed block.
void SolveBlockRange(int32_t first, int32_t last);
// The Newton iteration of block b (range fields already set).
void SolveBlockNewton(int32_t b);
// Residual of every row of the range; MaxResidual := the relative residual
// of largest magnitude; with store, the residuals into the step vector.
void EvaluateBlockResiduals(bool store);
// Clamps the variable into its limits and records its change since
// valueBefore in the step vector (position i) and in MaxChange.
void ApplyStepComponent(int32_t i, int32_t variable, Extended valueBefore);
// The retreat after a Newton step; leaves the residuals in the step vector.
void DampStep();
// New start values from the guesses and a fresh factorisation, up to 9 times.
void RandomRestart();
// Every entry of the range's rows by PartialDerivative (fill-in entries 0).
void ComputeJacobian();
// Forward-difference derivative of the equation's residual (its Residual
// must hold the residual at the current point); -999 when the evaluation fails.
Extended PartialDerivative(int32_t variable, TEquationRecord* equation);
// The residual by EvaluateEquation, with the floating-point status turned
// into errors: invalid operation 317, division by zero 318, overflow 319
// (result 1 in these cases). A result that is not a finite number is one of
// these errors too, so no NaN or IEEE infinity reaches a variable.
Extended EvalResidualChecked(TEquationRecord* equation);
// MaxResidual := the Residual of largest magnitude over the unit's equations.
void MaxResidualOfUnit();
// Error 322 for a row without an equation or a column without a variable.
void EmptyBlockRowError();

// Integral stepping replaces the plain block solve for a unit with
// integration variables; installed by the integral solver.
using IntegralStepper = void (*)();
void SetIntegralStepper(IntegralStepper stepper);

}  // namespace voq

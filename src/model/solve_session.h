#pragma once
// Settings and flags of one solve that the block solver reads and the
// commands that start a solve (the solve sequence, table runs, optimisation,
// uncertainty propagation) set: the stop criteria, the run clock and the
// modes that change what the solver shows.
#include <cstdint>

#include "core/extended.h"

namespace voq {

// When a block's iteration stops.
struct TStopCriteria {
  // Converged when the largest relative residual of the block is below this.
  Extended RelativeResidualTolerance = 1E-6L;
  // Small changes of the variables (after the third iteration) end the
  // iteration; see SolveBlockNewton for what that means for a residual that
  // is still above the tolerance.
  Extended ChangeTolerance = 1E-9L;
  int32_t MaxIterations = 250;
  int32_t MaxElapsedSeconds = 3600;
};
extern TStopCriteria StopCriteria;

// Tick counts at the start of the solve sequence and of the block solve.
extern int32_t RunStartTicks;
extern int32_t SolveStartTicks;
// A solve was started (results may be partial); cleared by the compile.
extern bool SolutionStarted;
// The solve belongs to a minimisation/maximisation or an uncertainty
// propagation, which keep their own progress display.
extern bool MinMaxMode;
extern bool UncertaintyMode;
// The uncertainty-propagation table runs: the propagation takes over after
// the one-unknown pass.
extern bool UncertaintyTableMode;

// Tick counts taken by the compile driver around a compile.
extern int32_t CompileStartTicks;
extern int32_t CompileEndTicks;
// The Check command compiles without solving.
extern bool CheckOnlyMode;
// The solve takes the Diagram window's input items as given values.
extern bool UseDiagramInput;

}  // namespace voq

#pragma once
// Settings and flags of one solve that the block solver reads and the
// commands that start a solve (the solve sequence, table runs, optimisation,
// uncertainty propagation) set: the stop criteria, the run clock and the
// modes that change what the solver shows.
#include <cstddef>
#include <cstdint>

#include "core/extended.h"

namespace voq {

// When a block's iteration stops. 28 bytes stored, in documents and in the
// defaults file.
struct TStopCriteriaRecord {
  // Converged when the largest relative residual of the block is below this.
  Extended RelativeResidualTolerance = 1E-6L;
  // Small changes of the variables (after the third iteration) end the
  // iteration; see SolveBlockNewton for what that means for a residual that
  // is still above the tolerance.
  Extended ChangeTolerance = 1E-9L;
  int32_t MaxIterations = 250;
  int32_t MaxElapsedSeconds = 3600;
};
inline constexpr size_t kStoredStopCriteriaSize = 28;
namespace stop_criteria_offsets {
inline constexpr size_t RelativeResidualTolerance = 0;
inline constexpr size_t ChangeTolerance = 10;
inline constexpr size_t MaxIterations = 20;
inline constexpr size_t MaxElapsedSeconds = 24;
}  // namespace stop_criteria_offsets
void PackStopCriteria(const TStopCriteriaRecord& c, uint8_t* dst);
void UnpackStopCriteria(const uint8_t* src, TStopCriteriaRecord& c);

// The current document's criteria and the defaults a new document gets.
extern TStopCriteriaRecord StopCriteria;
extern TStopCriteriaRecord StoredStopCriteria;

// The step control of integrals. The defaults file keeps a stored copy
// inside the stored preferences; these are the values a program starts with
// when that copy is absent.
struct TIntegrationSettings {
  int32_t CheckInterval = 5;                   // steps between step-size checks
  Extended MaxStepsReciprocal = 5E-4L;         // 1 / maximum number of steps
  Extended MinStepsReciprocal = 0.02L;         // 1 / minimum number of steps
  Extended ReduceThreshold = 0.001L;           // relative error that halves the step
  Extended IncreaseThreshold = 1E-5L;          // relative error that doubles it
  Extended StepFraction = -4E-3L;              // 1 / fixed number of steps; negative: variable steps
  uint8_t UseRichardson = 0;                   // Richardson extrapolation of compared steps
};
extern TIntegrationSettings IntegrationSettings;

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

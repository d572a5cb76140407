#include "solver/solve_session.h"

namespace voq {

TStopCriteria StopCriteria;
int32_t RunStartTicks = 0;
int32_t SolveStartTicks = 0;
bool SolutionStarted = false;
bool MinMaxMode = false;
bool UncertaintyMode = false;

}  // namespace voq

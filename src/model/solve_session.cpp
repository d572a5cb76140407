#include "model/solve_session.h"

namespace voq {

TStopCriteria StopCriteria;
int32_t RunStartTicks = 0;
int32_t SolveStartTicks = 0;
bool SolutionStarted = false;
bool MinMaxMode = false;
bool UncertaintyMode = false;
bool UncertaintyTableMode = false;
int32_t CompileStartTicks = 0;
int32_t CompileEndTicks = 0;
bool CheckOnlyMode = false;
bool UseDiagramInput = false;

}  // namespace voq

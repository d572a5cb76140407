#include "session/session_state.h"

#include "session/compile_driver.h"
#include "session/min_max.h"
#include "session/uncertainty.h"
#include "session/problem_summary.h"
#include "session/program_start.h"
#include "session/solve_after_compile.h"

namespace voq {

void ResetSessionState() {
  CheckOnlyStarted = false;
  DiagramRefreshCompile = false;
  SolveOrderCounter = 0;
  DebugProgramUnit = nullptr;
  IncludedFiles.clear();
  LastCompileCounts = TCompileCounts{};
  DegreesOfFreedom = 0;
  SolveFromDiagram = false;
  ResetMinMaxState();
  ResetUncertaintyState();
  ResetProgramStartValues();
}

}  // namespace voq

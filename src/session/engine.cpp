#include "session/engine.h"

#include "core/core_state.h"
#include "language/language_services.h"
#include "model/model_services.h"
#include "model/program_units.h"
#include "session/session_state.h"
#include "solver/solver_services.h"

namespace voq {

namespace {
bool started = false;
}  // namespace

bool StartEngine(const THost& host, std::string* missing) {
  const std::string lacking = MissingHostService(host);
  if (!lacking.empty()) {
    if (missing != nullptr) *missing = lacking;
    return false;
  }
  InstallHost(host);
  started = true;
  ResetEngineState();
  return true;
}

bool EngineStarted() { return started; }

void ResetEngineState() {
  // The store goes first: disposing records reads the flags the later
  // resets clear (ShuttingDown lets library units go too).
  ResetModelState();
  ResetCoreState();
  ResetLanguageState();
  ResetSolverState();
  ResetSessionState();
  RestoreInstalledHost();
  // What each subsystem offers the others, installed afresh over whatever a
  // run or a test swapped in.
  InstallModelServices();
  InstallLanguageServices();
  InstallSolverServices();
  EnsureMainProgramUnit();
}

}  // namespace voq

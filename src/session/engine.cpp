#include "session/engine.h"

#include <algorithm>
#include <vector>

#include "core/core_state.h"
#include "language/language_services.h"
#include "model/model_services.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "properties/properties_state.h"
#include "session/document_reset.h"
#include "session/session_state.h"
#include "solver/solver_services.h"
#include "units/units_state.h"

namespace voq {

namespace {
bool started = false;

std::vector<EngineResetHook>& UpperLayerResets() {
  static std::vector<EngineResetHook> resets;
  return resets;
}
}  // namespace

void RegisterEngineReset(EngineResetHook reset) {
  std::vector<EngineResetHook>& resets = UpperLayerResets();
  if (reset == nullptr || std::find(resets.begin(), resets.end(), reset) != resets.end()) return;
  resets.push_back(reset);
}

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
  // Services first: a test's fake may be gone by now, and the document
  // reset below talks to the windows.
  RestoreInstalledHost();
  ResetCoreState();
  // What a new document clears, the windows' part included (the editor's
  // text, the Diagram window); with ShuttingDown the library units go too.
  ShuttingDown = true;
  ResetDocument();
  ShuttingDown = false;
  ResetModelState();
  ResetUnitsState();
  ResetPropertiesState();
  ResetLanguageState();
  ResetSolverState();
  ResetSessionState();
  for (EngineResetHook reset : UpperLayerResets()) reset();
  // What each subsystem offers the others, installed afresh over whatever a
  // run or a test swapped in.
  InstallModelServices();
  InstallLanguageServices();
  InstallSolverServices();
  EnsureMainProgramUnit();
}

}  // namespace voq

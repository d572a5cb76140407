#include "session/engine.h"

#include <algorithm>
#include <vector>

#include "core/core_state.h"
#include "core/locale_settings.h"
#include "core/program_flags.h"
#include "language/language_services.h"
#include "model/model_services.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "properties/properties_state.h"
#include "session/document_reset.h"
#include "session/program_start.h"
#include "session/session_state.h"
#include "solver/solver_services.h"
#include "units/units_state.h"

namespace voq {

namespace {
bool started = false;
// The program's folder as the front end gave it before the start; every
// reset keeps it (the files read at start are found there).
std::string startProgramDirectory;

std::vector<EngineResetHook>& UpperLayerResets() {
  static std::vector<EngineResetHook> resets;
  return resets;
}

std::vector<EngineStartupHook>& StartupReaders() {
  static std::vector<EngineStartupHook> readers;
  return readers;
}
}  // namespace

void RegisterEngineStartup(EngineStartupHook reader) {
  std::vector<EngineStartupHook>& readers = StartupReaders();
  if (reader == nullptr || std::find(readers.begin(), readers.end(), reader) != readers.end()) return;
  readers.push_back(reader);
}

bool InitializeProgram() {
  ResetEngineState();
  ApplySystemDecimalSeparator(SystemDecimalSeparator());
  ApplyStoredDefaults = true;
  InitMainProgramUnit();
  for (EngineStartupHook reader : StartupReaders()) {
    if (!reader()) return false;
  }
  return true;
}

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
  startProgramDirectory = ProgramDirectory;
  if (missing != nullptr) missing->clear();
  return InitializeProgram();
}

bool EngineStarted() { return started; }

void ResetEngineState() {
  // Services first: a test's fake may be gone by now, and the document
  // reset below talks to the windows.
  RestoreInstalledHost();
  ResetCoreState();
  ProgramDirectory = startProgramDirectory;
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

#include "model/model_services.h"

#include "core/calc_state.h"
#include "core/messages.h"
#include "core/string_constants.h"
#include "model/display_fonts.h"
#include "model/document_settings.h"
#include "model/lookup_table_access.h"
#include "model/external_routines.h"
#include "model/parametric_table_access.h"
#include "model/program_units.h"
#include "model/property_caches.h"
#include "model/routines.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "model/warnings_window.h"

namespace voq {

void InstallModelServices() {
  SetEquationRangeReader([](const TEquationRecord* e) {
    return EquationTextRange{e->TextStart, e->TextEnd, e->LineNumber};
  });
  SetClearLastEquationHook([] {
    if (CurrentProgramUnit != nullptr) CurrentProgramUnit->LastEquation = nullptr;
  });
  // String variables of the program units (routine locals come with the
  // routine store).
  SetStringVariableReader([](const std::string& name, int32_t routineSlot, Extended& value) {
    if (routineSlot != 0) return false;
    int32_t savedError = CalcErrorCode;
    int32_t i = FindVariable(name);
    CalcErrorCode = savedError;
    const TVariableRecord* v = CurrentProgramUnit != nullptr ? CurrentProgramUnit->Variable(i) : nullptr;
    if (v == nullptr) return false;
    value = v->Value;
    return true;
  });
}

void ResetModelState() {
  ResetProgramStore();
  // Library routines and the stored local formats survive a compact, not an
  // engine reset.
  ResetRoutineStore();
  // ResetProgramStore leaves one main program; the start state has it too,
  // but what it counted and cleared starts again.
  CompiledEquationsClears = 0;
  MaxVariables = kMaxVariablesPerUnit;
  DefaultScreenRect = TScreenRect{};
  EquationsCompiled = false;
  SolutionAvailable = false;
  MainStatementSeen = false;
  SourceShift = 0;
  LastSubstanceObject = nullptr;

  DocumentSettings = TDocumentSettingsRecord{};
  StoredDocumentSettings = TDocumentSettingsRecord{};
  Preferences = TPreferencesRecord{};
  StoredPreferences = TPreferencesRecord{};
  // The display fonts of the start preferences, made through the host's
  // font factory (the test's or the front end's).
  CreateDisplayFonts();

  StopCriteria = TStopCriteriaRecord{};
  StoredStopCriteria = TStopCriteriaRecord{};
  IntegrationSettings = TIntegrationSettings{};
  DefaultsWritable = 0;
  StartupNoticeBlock = {};
  StoredDefaultsReserved = TDefaultsReservedData{};
  RunStartTicks = 0;
  SolveStartTicks = 0;
  SolutionStarted = false;
  MinMaxMode = false;
  UncertaintyMode = false;
  UncertaintyTableMode = false;
  CompileStartTicks = 0;
  CompileEndTicks = 0;
  CheckOnlyMode = false;
  UseDiagramInput = false;

  ClearWarningsAfter(0);
  WarningsPending = false;
  SetPropertyCaches(nullptr);
  SetParametricTableAccess(nullptr);
  SetLookupTableAccess(nullptr);
  SetWarningRunReader(nullptr);
  // The start state has no user library loaded.
  DisposeExternalRoutines();
}

}  // namespace voq

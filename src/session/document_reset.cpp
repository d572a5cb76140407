#include "session/document_reset.h"

#include <algorithm>
#include <vector>

#include "core/calc_state.h"
#include "core/program_flags.h"
#include "language/comments.h"
#include "model/document_settings.h"
#include "model/program_units.h"
#include "model/property_caches.h"
#include "model/routines.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "session/compile_driver.h"
#include "session/min_max.h"
#include "session/problem_summary.h"
#include "session/solve_after_compile.h"
#include "session/uncertainty.h"
#include "solver/blocking.h"
#include "solver/solver_state.h"

namespace voq {

TVarInfoDialogSize VarInfoDialogSize;

namespace {

std::vector<DocumentDisposalHook>& DocumentDisposals() {
  static std::vector<DocumentDisposalHook> hooks;
  return hooks;
}

}  // namespace

void RegisterDocumentDisposal(DocumentDisposalHook dispose) {
  std::vector<DocumentDisposalHook>& hooks = DocumentDisposals();
  if (dispose == nullptr || std::find(hooks.begin(), hooks.end(), dispose) != hooks.end()) return;
  hooks.push_back(dispose);
}

namespace {
DocumentDisposalHook lookupFileDisposal = nullptr;
}  // namespace

void SetLookupFileDisposal(DocumentDisposalHook dispose) { lookupFileDisposal = dispose; }

void DisposeLookupFiles(bool dropEquations) {
  DocumentResetWindows().DisposeLookupFiles();
  if (lookupFileDisposal != nullptr) lookupFileDisposal();
  if (!dropEquations) return;
  // Until equations can read lookup files no compiled equation depends on
  // one, so there is nothing to compile afresh.
}

void ResetDocument() {
  DocumentWindows& windows = DocumentResetWindows();
  VarInfoDialogSize = TVarInfoDialogSize{};
  PruneLineInfoList();
  windows.ResetDiagramWindow();
  Equations().SetText("");
  windows.ApplyEquationsFont();
  windows.ResetMainWindowCaptions();
  if (!LoadingLibrary) windows.CloseTableWindows();

  if (MainProgramUnit == nullptr) EnsureMainProgramUnit();
  // Records kept for reuse belong to the document that goes.
  DisposeEquationChain(ReusableEquations);
  ClearVariableStore(MainProgramUnit);
  if (!LoadingLibrary) {
    windows.DisposePlots();
    for (DocumentDisposalHook dispose : DocumentDisposals()) dispose();
  }
  DisposeLookupFiles(false);
  for (TProgramUnitRecord* unit : ProgramUnitList) {
    if (unit == nullptr || (unit->IsLibraryUnit && !ShuttingDown)) continue;
    unit->LastEquation = nullptr;
    DisposeEquationChain(unit->FirstEquation);
  }
  CurrentEquation = nullptr;
  CompactFunctionTable();
  DisposeModuleUnits();
  windows.ResetResultWindows();

  Converged = 0;
  CalcErrorCode = 0;
  SolutionAvailable = false;
  SolutionStarted = false;
  EquationsCompiled = false;
  MinMaxMode = false;
  MinMaxListOptions = {1, 1};
  MinMaxSetup = TMinMaxSettingsRecord{};
  if (MainProgramUnit != nullptr) {
    MainProgramUnit->IntegralCount = 0;
    MainProgramUnit->LastEquation = nullptr;
  }
  if (PropertyCaches* caches = InstalledPropertyCaches()) caches->ResetStateCachesForNewDocument();
  UseDiagramInput = true;
  DocumentSettings = StoredDocumentSettings;
  Preferences = StoredPreferences;
  ShowWarningMessages = Preferences.WarningsB != 0;
  // The next document starts in the mode of the restored preferences, not
  // in the mode the last one chose.
  if (MainProgramUnit != nullptr) MainProgramUnit->UnitComplexMode = Preferences.ComplexMode;
  UncertaintyMode = false;
  UncertaintyTableMode = false;
  UncertaintySettings = TUncertaintySettingsRecord{};
  windows.ResetOtherSettings();
  CurrentProgramUnit = MainProgramUnit;
  ActiveChildWindow = kEquationsWindow;
  FreeOccurrenceLists();
}

}  // namespace voq

#include "language/document_reset.h"

#include "core/calc_state.h"
#include "core/program_flags.h"
#include "language/comments.h"
#include "language/compile_driver.h"
#include "language/document_settings.h"
#include "language/language_services.h"
#include "language/language_state.h"
#include "language/problem_summary.h"
#include "language/program_units.h"
#include "language/solve_after_compile.h"
#include "solver/blocking.h"
#include "solver/solve_session.h"
#include "solver/solver_state.h"

namespace voq {

namespace {
DocumentWindows defaultWindows;
DocumentWindows* installedWindows = &defaultWindows;
}  // namespace

DocumentWindows& DocumentResetWindows() { return *installedWindows; }
void SetDocumentWindows(DocumentWindows* windows) {
  installedWindows = windows ? windows : &defaultWindows;
}

void DisposeLookupFiles(bool dropEquations) {
  DocumentResetWindows().DisposeLookupFiles();
  if (!dropEquations) return;
  // Until equations can read lookup files no compiled equation depends on
  // one, so there is nothing to compile afresh.
}

void ResetDocument() {
  DocumentWindows& windows = DocumentResetWindows();
  PruneLineInfoList();
  windows.ResetDiagramWindow();
  Equations().SetText("");
  windows.ApplyEquationsFont();
  windows.ResetMainWindowCaptions();
  if (!LoadingLibrary) windows.CloseTableWindows();

  if (MainProgramUnit == nullptr) EnsureMainProgramUnit();
  // Records kept for reuse belong to the document that goes.
  if (ReusableEquations != nullptr &&
      (MainProgramUnit == nullptr || ReusableEquations != MainProgramUnit->FirstEquation)) {
    DisposeEquationChain(ReusableEquations);
  }
  ReusableEquations = nullptr;
  ClearVariableStore(MainProgramUnit);
  if (!LoadingLibrary) windows.DisposePlots();
  DisposeLookupFiles(false);
  for (TProgramUnitRecord* unit : ProgramUnitList) {
    if (unit == nullptr || (unit->IsLibraryUnit && !ShuttingDown)) continue;
    unit->LastEquation = nullptr;
    DisposeEquationChain(unit->FirstEquation);
  }
  CurrentEquation = nullptr;
  windows.CompactFunctionTable();
  DisposeModuleUnits();
  windows.ResetResultWindows();

  Converged = 0;
  CalcErrorCode = 0;
  SolutionAvailable = false;
  SolutionStarted = false;
  EquationsCompiled = false;
  MinMaxMode = false;
  if (MainProgramUnit != nullptr) {
    MainProgramUnit->IntegralCount = 0;
    MainProgramUnit->LastEquation = nullptr;
  }
  if (PropertyCaches* caches = InstalledPropertyCaches()) caches->ClearStateCaches();
  UseDiagramInput = true;
  DocumentSettings = StoredDocumentSettings;
  Preferences = StoredPreferences;
  UncertaintyMode = false;
  UncertaintyTableMode = false;
  windows.ResetOtherSettings();
  CurrentProgramUnit = MainProgramUnit;
  ActiveChildWindow = kEquationsWindow;
  FreeOccurrenceLists();
}

}  // namespace voq

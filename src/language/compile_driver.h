#pragma once
// The compile pass: the whole Equations window text is read into statements
// (lines, continuations, separators, comments, included files, the Diagram
// window's inputs), each statement is dispatched to the directive reader,
// the routine, module, IF and DUPLICATE readers or the statement compiler,
// equations with one unknown are solved as they are read, and after a read
// without error the Solve command goes on to the solve sequence.
//
// The windows the pass works with (the Equations editor, the Compiling
// window, the Diagram window) and the readers that later parts of the
// language add (routines, modules, IF/THEN/ELSE, DUPLICATE, library and
// external-routine files) are reached through the small interfaces below.
// Each has a default: an in-memory editor, no Compiling window, no Diagram
// window, and readers that take no statement (so such a statement reaches
// the statement compiler and is refused there).
#include <cstdint>
#include <string>
#include <vector>

#include "core/extended.h"
#include "language/problem_summary.h"  // CheckOnlyMode, CompileStartTicks, CompileEndTicks

namespace voq {

struct TProgramUnitRecord;

// --- Globals of the compile pass ----------------------------------------------

// CheckOnlyMode (problem_summary.h) is set by callers that only want the
// equations compiled (Check, table runs, optimiser set-up); when clear a
// successful read goes on to the solve. SolutionStarted is in
// solver/solve_session.h.
// The Debug window was opened for an unbalanced problem; cleared by every read.
extern bool CheckOnlyStarted;
// Set by the Diagram window's refresh around its compile: no Compiling window.
extern bool DiagramRefreshCompile;
// Counter handed to the immediate one-unknown solution; 0 at each read.
extern int32_t SolveOrderCounter;
// A directive asks for the text to be read a second time (after a changed
// reference state); CompileEquations reads again when it is set.
extern bool RecompileRequested;
// The text of this read's $IntegralTable directive (at most 255 characters).
extern std::string IntegralTableDirective;
// The unit the Debug window explains.
extern TProgramUnitRecord* DebugProgramUnit;

// One included file of this read: "$Include " + the file name, and the line
// of the $INCLUDE statement.
struct TIncludedFile {
  std::string Text;
  int32_t Line = 0;
};
extern std::vector<TIncludedFile> IncludedFiles;

// Statements handed to the statement compiler by the last read, and how
// many of them were compiled afresh rather than taking over a record of the
// previous compile.
struct TCompileCounts {
  int32_t Statements = 0;
  int32_t Fresh = 0;
};
extern TCompileCounts LastCompileCounts;

// --- The Equations window -------------------------------------------------------

// The Equations window's text as the engine sees it. The application
// installs its editor; the default keeps the text in memory (voq-solve, tests).
class EquationsEditor {
 public:
  virtual ~EquationsEditor() = default;
  virtual std::string GetText() const = 0;
  virtual void SetText(const std::string& text) = 0;
  // Replaces the first occurrence of oldText by newText (an include file
  // chosen in the file dialog); false when oldText does not occur.
  virtual bool ReplaceText(const std::string& oldText, const std::string& newText) = 0;
  // Around a read: the window is locked against redrawing and its selection
  // and scroll position are kept and restored.
  virtual void BeginRead() {}
  virtual void EndRead(bool /*restoreView*/) {}
};

class InMemoryEquationsEditor : public EquationsEditor {
 public:
  std::string GetText() const override { return text_; }
  void SetText(const std::string& text) override { text_ = text; }
  bool ReplaceText(const std::string& oldText, const std::string& newText) override;

 private:
  std::string text_;
};

EquationsEditor& Equations();
// Installs an editor (not owned); nullptr restores the in-memory default.
void SetEquationsEditor(EquationsEditor* editor);

// --- The Compiling window -------------------------------------------------------

// Shows the line being compiled and lets the user abort (AbortRequested,
// then error 58). The default shows nothing.
class CompilingWindow {
 public:
  virtual ~CompilingWindow() = default;
  virtual void Show() {}
  virtual void Hide() {}
  virtual bool Shown() const { return false; }
  virtual void Update(int32_t /*lineNumber*/) {}
};
CompilingWindow& Compiling();
void SetCompilingWindow(CompilingWindow* window);

// --- The Diagram window's inputs --------------------------------------------------

// One input item of the Diagram window.
struct TDiagramInputItem {
  std::string VariableName;
  Extended Value = 0;
  // A drop-down input: the selected entry's text; its string-constant index
  // becomes the value, and statements after "//" in it are compiled.
  bool HasDropDown = false;
  std::string SelectedEntry;
};

class DiagramInputs {
 public:
  virtual ~DiagramInputs() = default;
  // The Diagram window is shown and its inputs are used.
  virtual bool UseInputs() const { return false; }
  // The input items (kind 1) in list order.
  virtual std::vector<TDiagramInputItem>& InputItems() { return none_; }

 private:
  std::vector<TDiagramInputItem> none_;
};
DiagramInputs& Diagram();
void SetDiagramInputs(DiagramInputs* diagram);

// --- Readers that later parts of the language add ----------------------------------

// Every reader receives the prepared statement and sets handled when it took
// it, or CalcErrorCode. The defaults take nothing.
class StatementReaders {
 public:
  virtual ~StatementReaders() = default;
  // Start of a read: clear the per-read state of the readers (IF/THEN/ELSE
  // and DUPLICATE state, REPEAT stack, per-routine marks, reference states,
  // $SaveLookup and $Export lists).
  virtual void BeginRead() {}
  virtual void ProcessProcedureStatement(std::string& /*statement*/, bool& /*handled*/) {}
  virtual void ProcessFunctionStatement(std::string& /*statement*/, bool& /*handled*/) {}
  virtual void ProcessModuleStatement(std::string& /*statement*/, bool& /*handled*/) {}
  virtual void ProcessCommonDirective(std::string& /*statement*/, bool& /*handled*/) {}
  virtual void RewriteIfThenElse(std::string& /*statement*/, bool& /*handled*/) {}
  // True when the DUPLICATE reader took the statement.
  virtual bool ProcessDuplicate(std::string& /*statement*/) { return false; }
  // A FUNCTION or PROCEDURE body, or a MODULE/SUBPROGRAM body, is open.
  virtual bool RoutineBodyOpen() const { return false; }
  virtual bool ModuleBodyOpen() const { return false; }
  virtual bool DuplicateLoopOpen() const { return false; }
  // End of a read: per-routine local chains and DUPLICATE loop records freed.
  virtual void EndRead() {}
  // The routine checks after an error-free read: parameter names (error 41)
  // and GOTO labels (90, 341, 218, 92).
  virtual void CheckRoutines() {}
  // CompileEquations: reference states marked unused before the first read,
  // those no directive named deleted after the last.
  virtual void MarkReferenceStatesUnused() {}
  virtual void DeleteUnusedReferenceStates() {}
  // The integral table after a successful read (makeIntegralTable).
  virtual void SetUpIntegralTable() {}
};
StatementReaders& Readers();
void SetStatementReaders(StatementReaders* readers);

// Files an $INCLUDE names that are not equation texts. The defaults refuse
// them with error 100 and a message saying the kind is not supported.
class IncludeLoaders {
 public:
  virtual ~IncludeLoaders() = default;
  // A variable information file into the current unit's variables.
  virtual void ReadVarInfoFile(const std::string& fileName);
  // An external library (.DLF, .DLP, .FDL) or a library file (.LIB,
  // asInclude: read through the Equations window).
  virtual void LoadLibraryFile(const std::string& fileName, bool asInclude);
  // Library routines sorted by name after a .LIB include.
  virtual void SortLibraryRoutines() {}
};
IncludeLoaders& Loaders();
void SetIncludeLoaders(IncludeLoaders* loaders);

// --- The pass ---------------------------------------------------------------------

// Compiles unless EquationsCompiled; with solve, runs the one-unknown pass
// once. Leaves CalcErrorCode 0 when solve is set.
void EnsureCompiled(bool solve);
// One compile (two when a directive asks for a second read); unless
// CheckOnlyMode a successful read goes on to SolveCompiledEquations.
void CompileEquations(bool showCheckResult, bool makeIntegralTable);
// The compile pass proper over the Equations window text.
void ReadEquations(bool showCheckResult, bool makeIntegralTable);
// A line: a Diagram statement may include a text file; every line goes on
// to ProcessStatement.
void ProcessLine(std::string& line, bool fromList);
// One statement: split at its separator, cleaned, dispatched.
void ProcessStatement(std::string& line);
// Diagram window inputs into their variables and PendingStatements.
void CollectDiagramInputs();
// End-of-text checks of routines and modules.
void CheckRoutinesAfterReading();
// Shows the current error for the statement being read.
void ReportStatementError();
// Frees the text pieces of an expanded SUM or PRODUCT still pending.
void FreePendingTextPieces();
// The used-variable list of the current unit sorted by name (array
// elements by their subscripts).
void SortVariableOrder(int32_t low, int32_t high);

}  // namespace voq

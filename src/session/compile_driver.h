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
#include "language/module_units.h"  // SortVariableOrder, UnbalancedUnit
#include "language/statement_readers.h"
#include "model/solve_session.h"  // CheckOnlyMode, CompileStartTicks, CompileEndTicks
#include "platform/host.h"

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

}  // namespace voq

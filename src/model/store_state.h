#pragma once
// Globals of the language core: the program-unit store, the settings it
// applies to new variables, and the compile-pass flags the statement compiler
// reads and writes. One place, so the reader, the compiler and the solver
// share them by name.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/program_units.h"

namespace voq {

// --- The store -----------------------------------------------------------------
// All program units: [0] the main program, then MODULE and SUBPROGRAM units.
extern std::vector<TProgramUnitRecord*> ProgramUnitList;
extern TProgramUnitRecord* MainProgramUnit;
// The unit that look-up, AddVariable and NewEquation work on; every routine
// that switches units restores it.
extern TProgramUnitRecord* CurrentProgramUnit;
// The equation being compiled, solved or shown.
extern TEquationRecord* CurrentEquation;
// Chain of equation records kept from the previous compile for reuse.
extern TEquationRecord* ReusableEquations;
// Defaults by first letter of a variable name, [0] = "A" .. [25] = "Z".
extern std::array<TLetterDefaultRecord, 26> LetterDefaults;
// The defaults a new document starts from (the defaults file's copy).
extern std::array<TLetterDefaultRecord, 26> StoredLetterDefaults;
// The default variable information file last stored or loaded (at most 128
// characters); start-up names the program directory's "VOQ_DFLT.DVI".
extern std::string DviFileName;
// Capacity of the variable store of one unit.
extern int32_t MaxVariables;
// A statement is compiled only to check it: no counting, linking or reuse.
extern bool TrialCompile;
// Set by Exit before the final reset: library units and routines go too.
extern bool ShuttingDown;
// Where the Solution window draws a new variable until it has drawn it.
extern TScreenRect DefaultScreenRect;

// --- Flags of the compile pass ---------------------------------------------------
extern bool EquationsCompiled;
extern bool SolutionAvailable;
// Compiling only to gather information (no solve follows).
extern bool CompileWithoutSolving;
// A main-program equation was created outside any routine or module.
extern bool MainStatementSeen;
// > 0 while a MODULE or SUBPROGRAM body is being read.
extern int32_t ModuleNesting;
// Lines of an included text or library file are being compiled: new
// equations get NotFromWindow and new variables are unlisted.
extern bool ReadingIncludedText;
// The FunctionTable slot of the routine whose body is being read; 0 outside.
extern int32_t CompilingFunctionIndex;
// Relates positions in the rewritten statement to positions as typed.
extern int32_t SourceShift;
// Units text found by the line reader on the line of a statement.
struct TPendingUnits {
  std::string Units;     // at most 30 characters
  int32_t Line = -1;     // the line it belongs to; -1 none
};
extern TPendingUnits PendingUnits;
// The compiler's last substance object of the current statement.
extern TSubstanceBase* LastSubstanceObject;
// Argument lists of user-function calls met in the current statement, newest first.
extern TArgumentListRecord* PendingArgumentLists;
// Text pieces of an expanded SUM or PRODUCT still to be read.
struct TTextPiece {
  std::string Text;      // up to 255 characters
  TTextPiece* Next = nullptr;
};
extern TTextPiece* PendingTextPieces;
void DisposePendingTextPieces();

}  // namespace voq

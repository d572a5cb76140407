#pragma once
// Services over the program-unit store used after a compile or a solve: the
// summary sentence of the Check command and of an unbalanced Solve (numbers
// of equations and variables, the underspecified or overspecified verdict,
// the compilation time), the count of a unit's equations, and the
// maintenance of guesses (copying a solution into them, resetting them to
// the defaults by first letter).
//
// The summary is French when the user's locale language is French; its
// English and French phrases are built here, the verdicts come from the
// message table.
#include <cstdint>
#include <string>

namespace voq {

struct TProgramUnitRecord;

// Variables minus equations, inputs and values fixed by the Parametric
// table, minus the integration variables; written by ProblemSizeMessage and
// by the solve sequence.
extern int32_t DegreesOfFreedom;
// Tick counts taken by the compile driver around a compile.
extern int32_t CompileStartTicks;
extern int32_t CompileEndTicks;
// The Check command compiles without solving.
extern bool CheckOnlyMode;
// The solve takes the Diagram window's input items as given values.
extern bool UseDiagramInput;

// The user's locale language as its abbreviated name (upper case, e.g.
// "ENU", "FRA"); the French texts are chosen when it begins with "FR". The
// default reader derives it from the environment's locale settings
// (LC_ALL, LC_MESSAGES, LANG); tests and the application install their own.
using LocaleLanguageReader = std::string (*)();
void SetLocaleLanguageReader(LocaleLanguageReader reader);  // nullptr: the default
std::string LocaleLanguageName();
bool UseFrenchSummary();

// What the summary needs of the windows and the preferences. The default
// has no Diagram window and complex algebra off.
class ProblemSummaryEnvironment {
 public:
  virtual ~ProblemSummaryEnvironment() = default;
  // The Diagram window is shown.
  virtual bool DiagramShown() const { return false; }
  // Input items in the Diagram window's item list.
  virtual int32_t DiagramInputCount() const { return 0; }
  // The preference "Do complex algebra".
  virtual bool ComplexAlgebra() const { return false; }
};
const ProblemSummaryEnvironment& SummaryEnvironment();
// Installs an environment (not owned); nullptr restores the default.
void SetProblemSummaryEnvironment(const ProblemSummaryEnvironment* environment);

// The summary sentence of unit (at most 255 characters); tableCount is the
// number of variables the Parametric table supplies (0 outside table runs).
// Sets DegreesOfFreedom.
void ProblemSizeMessage(const TProgramUnitRecord* unit, int32_t tableCount, std::string& text);
// Equation records of the unit's list; CurrentEquation is left as none.
int32_t CountModuleEquations(const TProgramUnitRecord* unit);
// Copies solved values into the guesses of unit unitIndex (1-based position
// in ProgramUnitList) or, with -1, of every unit. A value never computed
// leaves the guess as it was.
void UpdateGuessesFromSolution(int32_t unitIndex);
// Guess and limits back to the letter defaults (and no longer taken from
// other variables) in every non-library unit compiled in this pass; 0 or an
// index outside 1..VariableCount selects every variable, otherwise only that
// one.
void ResetAllGuesses(int32_t variableIndex);

}  // namespace voq

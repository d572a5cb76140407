#pragma once
// The Debug window's content without a window. Three listings:
//   mode 0 ("Debug"): a unit whose equations and unknowns differ in number:
//     the variables that occur in one statement only (likely mistyped) and
//     the candidates of the missing or extra equations, found from the
//     blocks the blocking step made;
//   mode 1 ("Constrained Variable Information"): the variables that sit at
//     a bound and the equations whose residual is above the tolerance;
//   mode 2 ("Check Units"): the statements whose unit check reports a
//     problem, routine by routine and unit by unit.
// The marks the listing computes live here, keyed by the records, so the
// records' layouts stay as the compiler makes them. Rows are drawn at
// row x line height, columns at column x character width.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "model/program_units.h"
#include "model/routines.h"
#include "output/canvas.h"

namespace voq {

// The text kinds of the Debug window.
enum TDebugTextKind : int32_t {
  kDebugPlain = 1,
  kDebugRedUnderlined = 2,
  kDebugBlue = 3,
  kDebugGreen = 4,
  kDebugBold = 6,
  kDebugUnderlined = 21,
};

struct TDebugMarks {
  int16_t OnceLine = 0;
  int16_t CandidateLine = 0;
  int16_t CandidateBlock = 0;
};

struct TDebugText {
  int32_t Row = 0;
  int32_t Column = 0;
  int32_t Kind = kDebugPlain;
  std::string Text;
};

// What a row of the listing stands for.
struct TDebugRowTarget {
  TVariableRecord* Variable = nullptr;  // a variable row
  TProgramUnitRecord* Unit = nullptr;   // the variable's or statement's unit
  TEquationRecord* Statement = nullptr; // a statement row
  int32_t Routine = 0;                  // a routine statement's FunctionTable slot
};

struct TDebugListing {
  std::string Caption;
  std::vector<TDebugText> Texts;
  std::vector<int32_t> RuleRows;  // mode 2: a rule line drawn one row up
  int32_t FirstOnceRow = -1;
  int32_t LastOnceRow = -1;
  int32_t FirstCandidateRow = -1;
  int32_t LastRow = 0;
  // The rows that stand for a variable or a statement.
  std::unordered_map<int32_t, TDebugRowTarget> Targets;
  // The "Residuals" link (mode 0, English): row and columns.
  bool HasResidualsLink = false;
  int32_t LinkRow = 0;
  int32_t LinkColumn = 0;
  int32_t WidestColumn = 50;  // characters
  // Joined texts for checks and the first text holding a string.
  std::string AllText() const;
  const TDebugText* Find(const std::string& text) const;
};

struct TDebugState {
  int32_t Mode = 0;
  TProgramUnitRecord* Unit = nullptr;
  int32_t ActivatedTicks = 0;
  std::unordered_map<const TVariableRecord*, TDebugMarks> Marks;
  std::unordered_map<const TEquationRecord*, int16_t> ListedRow;
};

// The one Debug window state, reset by the engine reset.
TDebugState& DebugState();
void ResetDebugState();

// Unknowns less equations of unit (a module's inputs are no unknowns):
// positive when equations are missing.
int32_t DebugSurplus(const TProgramUnitRecord& unit);

void MarkOccurrences(TDebugState& state, TProgramUnitRecord& unit);
void MarkStatementVariables(TDebugState& state, TProgramUnitRecord& unit, const TEquationRecord& e, bool determined);
void MarkCandidatesMissing(TDebugState& state, TProgramUnitRecord& unit);
void MarkCandidatesExtra(TDebugState& state, TProgramUnitRecord& unit);

// The two rows that explain a surplus of n, in French or English.
std::pair<std::string, std::string> DebugExplanation(int32_t n, bool french);
// The user's locale is French (its abbreviated language name begins "FR").
bool DebugLocaleIsFrench();

// A function statement's compiled text made readable: the relational calls
// written as comparisons.
std::string ReadableFunctionText(const std::string& text);

// The listing of the state's mode; with computeMarks the marks of mode 0
// are computed afresh (the window is the active one).
TDebugListing BuildDebugListing(TDebugState& state, bool computeMarks);

// The font of the window: face by the display font preference, point size
// by the size preference (0: the face's default size).
std::string DebugFontFace(int32_t faceIndex);
int32_t DebugFontPoints(int32_t sizeIndex);

// A click at the content point (x, y) with the button (1 left, 2 right).
struct TDebugClick {
  enum Action {
    kNone,
    kShowVariableSource,   // Variable and Mark
    kStatementVarInfo,     // Statement's variables in the Variable Information dialog
    kModuleVariableAlert,  // message 467
    kRoutineUnits,         // the units dialog over a routine statement's locals
    kSelectStatement,      // the statement selected in the Equations window
    kShowResiduals,
  };
  Action What = kNone;
  TDebugRowTarget Target;
  int32_t Mark = 0;
};
// Clicks count only while the window is active and more than 99 ms after
// its activation.
TDebugClick DebugClickAt(const TDebugState& state, const TDebugListing& listing, int32_t x, int32_t y,
                         int32_t scrollY, int32_t lineHeight, int32_t charWidth, int32_t button, bool active,
                         int32_t nowTicks);

// Where the source of a variable is shown: the variable's name as a whole
// word from the start of line (1-based, at least 1) of text (CR LF lines),
// else the whole line. Gives the start and end (exclusive) positions.
std::pair<int32_t, int32_t> VariableSourceRange(const std::string& text, int32_t line, const std::string& name);

// The locals of routine that statement e refers to, each once by upper-case
// name, sorted.
std::vector<TLocalVariableRecord*> StatementLocals(const TRoutineRecord& routine, const TEquationRecord& e);

}  // namespace voq

#pragma once
// Operands of a statement: numbers, quoted strings and names. A name is
// offered to the built-in function catalogue, the built-in constants and the
// special names, and ends as a variable of the current program unit when
// nothing else claims it. Positions are 1-based into the statement text;
// each compiler starts at the operand's first character and leaves the
// position on its last one (or, after rewriting the text, one before the
// place where the expression compiler continues).
#include <cstdint>
#include <string>
#include <vector>

#include "core/extended.h"

namespace voq {

// The variable of the current unit with this name (cut to 30 characters),
// added when missing, and its use registered; a later use typed in another
// case is rewritten to the spelling of the first use. 0 on error.
int32_t FindOrAddVariable(const std::string& name, int32_t position, int32_t line);

// Where the statement being compiled lies in the Equations window text.
// Callers that compile text that is not in the window pass -1 for all three.
struct TStatementPosition {
  int32_t Start = -1;
  int32_t Line = -1;
  int32_t End = -1;
};
extern TStatementPosition CurrentStatementPosition;

void CompileNumber(std::string& text, int32_t maxLength, int32_t& p);
void CompileStringLiteral(std::string& text, int32_t maxLength, int32_t& p);
void CompileIdentifier(std::string& text, int32_t maxLength, int32_t& p);

// Error 16 or 18 for a name that cannot be a variable name.
void CheckVariableName(const std::string& name);

// --- Ranges in names ---------------------------------------------------------
// Set while the arguments of a user or external function call (first) or of
// a CALL (second) are compiled: names may then hold ranges such as X[1..5],
// which stand for their elements. While the CALL flag is on a complex-mode
// name compiles to its real part only. Both are cleared for every statement.
extern bool RangeInFunctionArguments;
extern bool RangeInCallArguments;
bool RangeFlagOn();

// --- Subscripts and integer limits -------------------------------------------
// Evaluates and rewrites the subscripts of the name whose "[" is at position
// (1-based): each subscript becomes the decimal digits of its value. On
// return position is on the matching "]" (also after most errors, so that a
// caller may pass over the subscript). Returns the error number, 0 when fine;
// CalcErrorCode is set to it as well. hasVariable tells whether a subscript
// named a variable. Error 481 (inside a routine body) means the subscript
// names a local whose value is known only when the routine runs; its text is
// then left as written.
int32_t ResolveSubscripts(std::string& text, int32_t maxLength, int32_t& position, bool& hasVariable);

// Value of an integer limit expression (SUM, PRODUCT and DUPLICATE limits):
// integers, variables already set to constants (locals inside a routine
// body), + - * / ("/" divides whole numbers, truncating toward 0) and
// parentheses. -1 with error 227 (naming commandName upper-cased) when it
// cannot be evaluated; error 4 for a zero divisor; 245 for a string name.
int32_t EvalIndexExpression(const std::string& text, const std::string& commandName);

// Whole-word test: the name found at the 1-based position of text is preceded
// by the text start, a character of separators or "..", and followed by the
// text end or a character of separators.
bool IsDelimitedAt(const std::string& name, const std::string& text, int32_t position,
                   const std::string& separators);
// The text holds a "$" that is its last character or is followed by "[" or
// the ArgumentSeparator.
bool IsStringArgument(const std::string& text);
// Advances position (1-based) to the first ArgumentSeparator outside
// parentheses and brackets; false (position past the end) when there is none.
bool FindTopLevelSeparator(const std::string& text, int32_t& position);
// Steps position back to the nearest TokenSeparators character before it (not
// before position 2); error 3 when there is none.
void FindPrecedingSeparator(const std::string& text, int32_t& position);

// --- Spelling of names in the Equations window ---------------------------------
// Kinds of names whose spelling is kept uniform.
enum NameCaseKind : int32_t {
  kFunctionNameCase = 1,   // built-in and property functions, a FUNCTION's own name
  kVariableNameCase = 2,   // variables and user functions
  kExternalNameCase = 3,   // external functions
  kKeywordNameCase = 4,    // keywords, statement labels, substance names
};
// Rewrites the name typed at the window position to the preferred spelling
// (by the case preferences and the kind). Nothing while a library is read.
void SyncVariableNameCase(const std::string& typed, const std::string& spelling, int32_t position,
                          int32_t kind);

// --- Locals of the routine being compiled ----------------------------------------
// What the operand compilers need of the FUNCTION and PROCEDURE store. Until
// routines are installed every name is a program variable.
class RoutineLocals {
 public:
  virtual ~RoutineLocals() = default;
  // The local's value when the routine being compiled has a local of this
  // upper-case name.
  virtual bool FindLocalVariable(const std::string& upperName, Extended& value) = 0;
  // Local number of the local (created when new): 0 the result, 1.. the
  // parameters and locals, negative a $COMMON link; on failure an error is set.
  virtual int32_t FindOrAddLocalVariable(const std::string& name, int32_t position) = 0;
  // The element names of a range X[a..b] (the routines' range expander).
  virtual std::vector<std::string> ExpandRange(const std::string& name) = 0;
  // TABLERUN# was used in the body of the routine in this slot.
  virtual void MarkUsesTableRun(int32_t /*routineSlot*/) {}
};
RoutineLocals* InstalledRoutineLocals();
void SetRoutineLocals(RoutineLocals* locals);

}  // namespace voq

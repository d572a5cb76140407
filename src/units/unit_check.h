#pragma once
// The unit check of compiled equations: a walk over an equation's postfix
// code like the evaluator's, carrying for every operand and partial result
// its units, dimension exponents and size factor instead of a value, that
// reports the first place where two quantities that must agree do not, and
// where a built-in function gets an argument of the wrong units.
//
// A reported problem sets CalcErrorCode to 100 with the whole message in
// MessageText and its help context in MessageHelpContext; other errors (9,
// 89, 267, 326, 331 and those of unit expressions) leave their message text
// in MessageText too. Nothing found: CalcErrorCode stays 0.
#include <cstdint>
#include <string>
#include <vector>

#include "core/extended.h"
#include "units/unit_table.h"

namespace voq {

struct TEquationRecord;
struct TProgramUnitRecord;

inline constexpr int32_t kMaxUnitCheckEntries = 50;

// One operand or partial result of the walk.
struct TUnitCheckEntry {
  std::string Units;  // empty: no units
  std::string Text;   // as shown in messages
  Extended Value = 0;
  Extended Factor = 1;
  TDimensionVector Exponents{};
  bool Constant = false;
};

// Checks one equation. helpContext goes to most messages (0 from the
// Residuals and Solution windows, 259 from the Debug window); routineIndex
// is the FunctionTable slot of the FUNCTION or PROCEDURE the equation
// belongs to, 0 otherwise. Variables are those of CurrentProgramUnit. The
// caller clears CalcErrorCode first.
void CheckEquationUnits(TEquationRecord* equation, int32_t helpContext, int32_t routineIndex);

// The comparison of the operands of "+", "-", "=" and of an IF comparison
// in a routine: messages 468 and 469.
void CompareOperandUnits(const TUnitCheckEntry& left, const TUnitCheckEntry& right, int32_t helpContext,
                         const std::string& equationText);

// What the check of property calls needs of the property library: the
// units label of a property kind in the document's unit system (1
// temperature, 2 pressure, 3 energy per mass, 5 entropy, 6 specific volume,
// 15 density and the input kinds 7, 11 to 14). The property library installs
// its labels with its reset; until then (nullptr, the units reset's
// default) an equation holding a property call is not checked.
using PropertyUnitsLabel = std::string (*)(int32_t kind);
void SetPropertyUnitsLabel(PropertyUnitsLabel label);

// The quantity an input kind of a property call stands for, as message 465
// names it: 1 "temperature", 2 "pressure", 3 "enthalpy", ..., 14 "relative
// humidity", 18 "sound speed", any other "an input ".
std::string QuantityNameOfInputKind(int32_t kind);

// Message 465 for a property input whose units do not fit: CalcErrorCode
// 100, the help context, the four arguments (empty units read
// "dimensionless", each cut at 120 characters) and MessageText.
void ReportPropertyInputUnits(const std::string& name, const std::string& quantity, const std::string& expected,
                              const std::string& actual, int32_t helpContext);

// The text of message 464 with its arguments set.
std::string ReportFunctionArgumentUnits(const std::string& name, const std::string& expected,
                                        const std::string& actual);

// The Check Units command's walk: every equation of the program unit, then
// the statements of every FUNCTION and PROCEDURE, each checked; the ones
// with a problem are listed with their message. CalcErrorCode is 0 after.
struct TUnitProblem {
  TEquationRecord* Equation = nullptr;
  int32_t RoutineIndex = 0;
  int32_t Error = 0;
  std::string Message;
};
std::vector<TUnitProblem> CheckUnitsOfEquations(TProgramUnitRecord* unit, int32_t helpContext);

}  // namespace voq

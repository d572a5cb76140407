#pragma once
// Calls in a statement: built-in functions of the catalogue, the series forms
// SUM and PRODUCT, and the hand-off points for user FUNCTIONs, external
// functions and program units named in an equation.
//
// Every handler rewrites the call in the statement text into the shape the
// expression compiler reads: the name becomes one opcode byte, hidden
// arguments (sub-code, argument count, message index) are inserted as text,
// and the position is stepped back so that the rewritten call is read next.
// Array ranges X[a..b] in the arguments of MIN, MAX, AVERAGE and of a SUM of
// a list are expanded by the operand compiler while RangeInFunctionArguments
// (operands.h) is set. The limits of a series are EvalIndexExpression's.
// Positions are 1-based; the handlers receive the upper-cased name, the
// position of its first character (start) and of its last (p); the
// character after the name is at p + 1. Each returns whether it took the
// name; failures are left in CalcErrorCode.
#include <cstdint>
#include <string>

#include "core/extended.h"

namespace voq {

struct TArgumentListRecord;
struct TFunctionCatalogEntry;

// A SUM or PRODUCT expands to at most this many terms (error 75 beyond it):
// each term is a piece of text held until it is compiled.
inline constexpr int64_t kMaxSeriesTerms = 1000000;

// What CompileBuiltinCall learns about a call's argument group.
struct TCallArguments {
  int32_t Open = 0;            // the "(" after the name
  int32_t Close = 0;           // the ")" that closes it
  int32_t Count = 0;           // top-level separators + 1
  int32_t LastSeparator = 0;   // position of the last top-level separator, 0 none
  int32_t FirstBracket = 0;    // position of the first "[", 0 none
  bool FirstIsString = false;  // the first argument ends in "$"
  bool HasLiteral = false;     // message mode: a literal was taken out
  int32_t MessageIndex = 0;    // its StringConstants index
  int32_t Values = 0;          // with a list: recorded entries (ranges expanded)
};

// The compiler context of one built-in call, handed to the forms that
// compile their own arguments (units, tables, integrals).
struct TBuiltinCallContext {
  std::string* Text = nullptr;
  int32_t MaxLength = 0;
  std::string Name;       // upper-cased
  std::string TypedName;  // as written in the statement
  int32_t Start = 0;      // first character of the name
  const TFunctionCatalogEntry* Entry = nullptr;
  TCallArguments Arguments;
};

// A built-in call at position p (only when the name is followed by "(" or
// is PI): checks the argument count, rewrites the name into its opcode byte
// (with the sub-code as a first argument) and steps p back. False when the
// catalogue has no such name.
bool CompileBuiltinCall(std::string& text, int32_t maxLength, const std::string& name,
                        int32_t start, int32_t& p);

// Scans the argument group whose "(" is at open. In message mode the first
// quoted text is taken out of the statement (with the separator that joined
// it to the next or previous argument) and its StringConstants index kept
// (an unterminated one is error 162). With a list, every argument is
// recorded by AddCallArgument, an array range X[a..b] as its first element
// followed by continuation entries. Error 1 when the group does not close.
void ScanCallArguments(std::string& text, int32_t open, bool takeMessageLiteral,
                       TArgumentListRecord* list, TCallArguments& result);

// Appends one argument code to a list: 0 opens a plain argument, a
// non-negative code a new argument group, a negative code continues the
// current group (a further element of a range).
void AddCallArgument(TArgumentListRecord* list, int32_t code);

// Expands SUM(term, i=lo, hi) ('+') or PRODUCT(...) ('*') into one term per
// index value. The text is cut after the call's "(" with byte 194 appended;
// the terms wait in PendingTextPieces. Error 233 (to the caller) when the
// arguments are not of the series form.
void ExpandSeries(TBuiltinCallContext& context, char seriesOperator);

// --- Hand-off points -----------------------------------------------------------
// The call forms whose tables do not exist yet are compiled by handlers that
// their own subsystems install. Until one is installed the name is not taken
// (it goes on down the chain and a name followed by "(" ends as error 378).
using CallFormCompiler = bool (*)(std::string& text, int32_t maxLength, const std::string& name,
                                  int32_t start, int32_t& p);
void SetExternalFunctionCallCompiler(CallFormCompiler compiler);
void SetUserFunctionCallCompiler(CallFormCompiler compiler);

// An external (DLF) function call.
bool CompileExternalFunctionCall(std::string& text, int32_t maxLength, const std::string& name,
                                 int32_t start, int32_t& p);
// A user FUNCTION call, through the installed compiler (routine_calls.h
// holds the compiler itself, CompileUserFunctionCall).
bool DispatchUserFunctionCall(std::string& text, int32_t maxLength, const std::string& name,
                              int32_t start, int32_t& p);
// A MODULE or SUBPROGRAM named in an equation: the name becomes byte 253 and
// the equation's CalledUnit the unit's list index.
bool CompileUnitReference(std::string& text, int32_t maxLength, const std::string& name,
                          int32_t start, int32_t& p);

// The argument forms of CONVERT, the LOOKUP and INTERPOLATE families,
// INTERPOLATE2D, INTEGRALVALUE and INTEGRAL rewrite the arguments between
// context.Arguments.Open and .Close (keeping the positions up to date);
// CompileBuiltinCall then writes the opcode. Without an installed compiler
// the table forms are error 378 ("Function NAME is not defined."). UNITSYSTEM
// and CONVERTTEMP are compiled here, TABLEVALUE and UNCERTAINTYOF in
// table_value_forms.h, INTEGRAL and INTEGRALVALUE in integral_forms.h.
using BuiltinFormCompiler = void (*)(TBuiltinCallContext& context);
void SetBuiltinFormCompiler(BuiltinFormCompiler compiler);

// CONVERT(from, to): the arguments become the factor (found now when both
// unit texts are known, else 9999 for the evaluator to find), the from
// operand and the to operand (20000 + a string index, or a string
// variable's name). Error 303 unless there are two arguments.
void CompileConvert(TBuiltinCallContext& context);
// UNITSYSTEM('keyword'): the quoted keyword becomes its index 1..17.
void CompileUnitSystem(TBuiltinCallContext& context);
// CONVERTTEMP(from, to, value): the two scales become their operands
// (20000 + a string index, or a string variable's name).
void CompileConvertTemp(TBuiltinCallContext& context);

}  // namespace voq

#pragma once
// The equation typesetter: one compiled statement becomes a list of boxes
// (format_box.h) that shows it as mathematics. The statement's postfix code
// is walked once, left to right, with a stack of laid-out operands: every
// operand pushes a list, every operator pops its operands and pushes the
// combined construct, and the one list left at the end is the layout. What
// is shown is what the compiler understood, not the statement's text.
#include <cstdint>
#include <string>
#include <vector>

#include "core/extended.h"
#include "output/format_box.h"

namespace voq {

struct TEquationRecord;
struct TSubstanceBase;
struct TSumRecord;
struct TArgumentListRecord;

// Block structure carried from one statement of a routine to the next: the
// depth of open If and Repeat blocks and the labels the rewriting's GOTOs
// named last (the window sets IfDepth to 0 before each routine).
extern int32_t IfDepth;
extern int32_t PendingElseLabel;
extern int32_t PendingUntilLabel;

// The deepest operand stack a statement may build. The compiler's
// statements (at most 255 characters) stay far below it; deeper code sets
// CalcErrorCode kMsgStackLimit and shows nothing.
inline constexpr size_t kMaxBoxStackDepth = 1100;

// The state of one walk, which the builders of function calls work on.
struct TTypesetWalk {
  TFormattedForm& Form;
  const TEquationRecord& Equation;
  int32_t InFunction = 0;           // routine slot, 0 outside routines
  std::vector<TFormatBox*> Stack;   // Stack.back() is the top entry
  size_t CodePosition = 0;          // next code item to read
  size_t ConstantPosition = 0;      // real constants taken from the pool
  size_t StringPosition = 0;        // string operands taken
  // The builders' pointers into the statement's chains: the substance
  // object of the next property call, the next SUM/PRODUCT record, the
  // argument list of the next routine call.
  TSubstanceBase* Substance = nullptr;
  const TSumRecord* Series = nullptr;
  const TArgumentListRecord* CallList = nullptr;
  // The next argument list of Min, Max, Average and Sum (their array
  // arguments X[1..5] are shown as one).
  const TArgumentListRecord* BuiltinCallList = nullptr;
  // Set by a builder that ends the walk: the top entry is the layout, or
  // nothing is shown when the stack is empty.
  bool Finished = false;

  TTypesetWalk(TFormattedForm& form, const TEquationRecord& equation) : Form(form), Equation(equation) {}
  ~TTypesetWalk();
  TTypesetWalk(const TTypesetWalk&) = delete;
  TTypesetWalk& operator=(const TTypesetWalk&) = delete;

  // Pushes a list; past kMaxBoxStackDepth the list is freed and the error
  // set. False then.
  bool Push(TFormatBox* list);
  // The entry k places below the top (0 the top).
  TFormatBox*& Entry(size_t k) { return Stack[Stack.size() - 1 - k]; }
  // Takes the top entry off the stack; the caller owns it.
  TFormatBox* Pop();
  bool Has(size_t n) const { return Stack.size() >= n; }
};

// Lays out function code c with the walk's top entries; true when it did.
// The builders of the function, property, table, series and routine calls
// install themselves here; codes nobody lays out are passed over.
using FunctionCodeLayout = bool (*)(TTypesetWalk& walk, int32_t code);
void SetFunctionCodeLayout(FunctionCodeLayout layout);

// The statement as a list of boxes on the line whose top is y, or null when
// it has no line of its own (the rewriting's GOTOs, statement 99999, a
// copy of a DUPLICATE loop after its first) or cannot be laid out; errors
// in CalcErrorCode (3 an operator without its operands, 9 operands left
// over, 89 a comparison without its operands, kMsgStackLimit too deep).
// inFunction is the routine slot of a statement of a FUNCTION or
// PROCEDURE (lines indented by IfDepth), 0 otherwise. The caller frees the
// list with DisposeFormatEqn.
TFormatBox* doFormatEqn(TFormattedForm& form, const TEquationRecord* eq, int32_t y, int32_t inFunction);

// The text a constant is shown with: the shortest automatic format of 2 to
// 8 significant digits that reads back as the same value, with a tidy
// exponent ("E-6", no "E+0"). SignificantDigits is 4 afterwards.
std::string ConstantText(Extended x);
// The box of a constant: pi (Role 13) for 3.14159265359, otherwise its
// ConstantText, with Role 19 (mantissa x10 exponent) when it has one.
TFormatBox* FormatConstant(TFormattedForm& form, Extended x);

// The joins the builders share.
// Left and right with an operator box between them (kind 4 separator,
// 5 plus, 6 minus, 7 equals, 8 product); the lists become the result.
TFormatBox* BinaryOperator(TTypesetWalk& walk, TFormatBox* left, TFormatBox* right, int32_t kind);
// num over den, built up, or inline with " / " for single digits and the
// INTEGRAL slash form.
TFormatBox* Fraction(TFormattedForm& form, TFormatBox* num, TFormatBox* den);
// A bold function name with IsFunctionName followed by the parenthesised
// argument ("GAMMA" as the Greek capital).
TFormatBox* LayoutCall1(TFormattedForm& form, const std::string& name, TFormatBox* arg);
// name(a sep b), or "name(a b)" without the separator; the name is not
// flagged as a function name.
TFormatBox* LayoutCall2(TFormattedForm& form, const std::string& name, TFormatBox* a, TFormatBox* b, bool withSep);
// The radical of a square root over arg.
TFormatBox* LayoutRadical(TFormattedForm& form, TFormatBox* arg);
// Tall bars on both sides of arg.
TFormatBox* LayoutAbsolute(TFormattedForm& form, TFormatBox* arg);

// Back to the start values (pixel scales 1, LineStep 13, no open blocks;
// the installed builders stay); registered with the engine reset by
// InstallOutput.
void ResetFormattedEquationState();

}  // namespace voq

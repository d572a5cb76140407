#include "language/integral_forms.h"

#include <string>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/text_utils.h"
#include "language/operands.h"
#include "language/statement_text.h"
#include "model/integral_slots.h"
#include "model/parametric_table_access.h"
#include "model/program_units.h"
#include "model/solve_session.h"
#include "model/store_state.h"

namespace voq {

namespace {

constexpr int32_t kIntegralHelpContext = 107;

// The first ArgumentSeparator at the top level of the argument group after
// position from and before close (nested calls, subscripts and quoted texts
// stepped over); 0 when there is none.
int32_t NextTopSeparator(const std::string& text, int32_t from, int32_t close) {
  int32_t depth = 0;
  char quote = 0;
  for (int32_t p = from; p < close; ++p) {
    const char c = At(text, p);
    if (quote != 0) {
      if (c == quote) quote = 0;
      continue;
    }
    if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == '(' || c == '[') {
      ++depth;
    } else if (c == ')' || c == ']') {
      --depth;
    } else if (c == ArgumentSeparator && depth == 0) {
      return p;
    }
  }
  return 0;
}

// The slot a term with limits drives, with the step mode of its call.
void SetStepMode(TIntegralRecord& slot, TIntegralTermRecord& term, int32_t argumentCount) {
  if (argumentCount == 5) {
    slot.AutoStep = 0;
    term.AutoStep = 0;
    slot.RelativeStep = -999;  // the fifth argument gives the step at evaluation
    return;
  }
  slot.AutoStep = 1;
  if (IntegrationSettings.StepFraction > 0) {
    slot.RelativeStep = IntegrationSettings.StepFraction;
    term.AutoStep = 0;
  } else {
    slot.RelativeStep = IntegrationSettings.MinStepsReciprocal / 2;
    term.AutoStep = 1;
  }
}

}  // namespace

void CompileIntegral(TBuiltinCallContext& context) {
  if (CalcErrorCode != 0) return;
  std::string& text = *context.Text;
  TCallArguments& args = context.Arguments;
  TProgramUnitRecord* const unit = CurrentProgramUnit;
  TEquationRecord* const equation = CurrentEquation;
  if (unit == nullptr || equation == nullptr) {
    CalcErrorCode = kMsgSyntaxError;
    return;
  }
  if (CompilingFunctionIndex > 0) {
    SetCalcErrorWithHelp(kMsgIntegralInRoutine, kIntegralHelpContext);
    return;
  }

  // The term joins the equation's chain; its id tells the evaluator which
  // record a call belongs to.
  TIntegralTermRecord* term = CreateIntegralState();
  TIntegralTermRecord** tail = &equation->IntegralTerms;
  int32_t id = kFirstIntegralTermId;
  while (*tail != nullptr) {
    id = (*tail)->TermId + 1;
    tail = &(*tail)->Next;
  }
  term->TermId = id;
  *tail = term;

  const int32_t first = NextTopSeparator(text, args.Open + 1, args.Close);
  if (first == 0) {
    SetMessageArg(1, "integral");
    SetCalcErrorWithHelp(kMsgFunctionSyntax, kIntegralHelpContext);
    return;
  }
  const int32_t second = NextTopSeparator(text, first + 1, args.Close);
  const int32_t nameEnd = second == 0 ? args.Close : second;
  std::string name = Slice(text, first + 1, nameEnd - 1);
  TrimShort(name);
  CheckVariableName(name);
  if (CalcErrorCode != 0 || name.empty() || name.back() == '$' || name.find('[') != std::string::npos) {
    CalcErrorCode = 0;
    SetCalcErrorWithHelp(kMsgIntegralVariableName, kIntegralHelpContext);
    return;
  }
  const int32_t index = FindOrAddVariable(name, -1, -1);
  if (CalcErrorCode != 0 || index <= 0) return;
  TVariableRecord* variable = unit->Variable(index);
  if (variable->UnknownPosition == -1) {
    SetMessageArg(1, variable->Name);
    CalcErrorCode = kMsgIntegrationVariableAssigned;
    return;
  }
  term->IntegrationVariable = index;

  if (args.Count == 2) {
    term->TableBased = 1;
    term->AutoStep = 0;
    term->Slot = 0;
    if (unit != MainProgramUnit || ModuleNesting > 0) {
      SetCalcErrorWithHelp(kMsgTableIntegralInModule, kIntegralHelpContext);
      return;
    }
    // The column of the Parametric table is found when a table run binds
    // its integrals; without the window there is none to find.
    if (!ParametricTable().WindowExists() && !CheckOnlyMode) {
      SetMessageArg(1, variable->Name);
      SetCalcErrorWithHelp(kMsgTableIntegralVariable, kIntegralHelpContext);
      return;
    }
  } else {
    term->TableBased = 0;
    int32_t slots = 0;
    AssignIntegrationVars(*unit, slots);
    if (CalcErrorCode != 0) return;
    // The slot of this term's own variable: an earlier slot when another
    // integral over the same variable came first.
    term->Slot = FindIntegrationSlot(*unit, index);
    if (term->Slot < 1) {
      CalcErrorCode = kMsgIntegralNesting;
      return;
    }
    TIntegralRecord& slot = unit->IntegralSlots[size_t(term->Slot)];
    slot.TableColumnCount = 0;
    slot.InModule = unit != MainProgramUnit ? 1 : 0;
    SetStepMode(slot, *term, args.Count);
    if (variable->UnknownPosition > 0) RemoveFromVarOrder(index);
    variable->UnknownPosition = kIntegrationVariable;
  }

  const std::string sep(1, ArgumentSeparator);
  std::string replaced = std::to_string(index) + sep + std::to_string(id);
  if (!ReplaceRange(text, context.MaxLength, first + 1, nameEnd - 1, replaced)) return;
  const int32_t shift = Length(replaced) - (nameEnd - 1 - first);
  args.Close += shift;
  if (args.LastSeparator > first) args.LastSeparator += shift;
  if (args.Count == 4) {
    const std::string step = sep + "999";
    if (!ReplaceRange(text, context.MaxLength, args.Close, args.Close - 1, step)) return;
    args.LastSeparator = args.Close;
    args.Close += Length(step);
  }
  PrefixTildeToText(equation);
}

void CompileIntegralValue(TBuiltinCallContext& context) {
  if (CalcErrorCode != 0) return;
  std::string& text = *context.Text;
  TCallArguments& args = context.Arguments;
  const int32_t separator = NextTopSeparator(text, args.Open + 1, args.Close);
  if (separator == 0 || args.Close <= separator || At(text, args.Close) != ')') {
    SetMessageArg(1, "IntegralValue");
    CalcErrorCode = kMsgFunctionFormat;
    return;
  }
  std::string name = Slice(text, separator + 1, args.Close - 1);
  RemoveQuoteChars(name);
  if (CalcErrorCode != 0) return;
  TrimShort(name);
  const int32_t index = FindOrAddVariable(name, -1, -1);
  if (CalcErrorCode != 0 || index <= 0) return;
  const std::string replaced = std::to_string(index);
  if (ReplaceRange(text, context.MaxLength, separator + 1, args.Close - 1, replaced))
    args.Close = separator + 1 + Length(replaced);
  // The Integral table fills while the integration runs: an equation that
  // reads it is solved with the blocks the stepping solves, never alone
  // before the integration has begun.
  if (CurrentEquation != nullptr) CurrentEquation->TrySolveAlone = 0;
}

}  // namespace voq

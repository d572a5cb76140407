#include "solver/guesses_limits.h"

#include <charconv>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/number_format.h"
#include "model/program_units.h"
#include "model/store_state.h"

namespace voq {

namespace {

constexpr int32_t kHelpVariableInfo = 35;

TVariableRecord* CurrentVariable(int32_t i) {
  return CurrentProgramUnit ? CurrentProgramUnit->Variable(i) : nullptr;
}

std::string FormatInVariableStyle(const TVariableRecord& var, Extended x) {
  TDisplayFormat format;
  format.Style = var.Style;
  format.Digits = var.Digits;
  return FormatValue(format, x);
}

}  // namespace

void CheckAllGuessLimits() {
  TProgramUnitRecord* remembered = CurrentProgramUnit;
  for (TProgramUnitRecord* unit : ProgramUnitList) {
    if (CalcErrorCode > 0) break;
    if (!unit) continue;
    CurrentProgramUnit = unit;
    for (int k = 1; k <= unit->UnknownCount && CalcErrorCode <= 0; ++k) {
      if (static_cast<size_t>(k) >= unit->UnknownList.size()) break;
      CheckGuessLimits(unit->UnknownList[k]);
    }
  }
  CurrentProgramUnit = remembered;
}

void CheckGuessLimits(int32_t v) {
  TVariableRecord* var = CurrentVariable(v);
  if (!var || var->IsString) return;
  // The limit variables are clamped into their own limits before they are
  // used, so a chain of limits resolves to values that respect them.
  if (TVariableRecord* w = CurrentVariable(var->LowerVariable); w && var->LowerVariable > 0) {
    ClampToOwnLimits(var->LowerVariable);
    var->LowerLimit = w->Value;
  }
  if (TVariableRecord* w = CurrentVariable(var->UpperVariable); w && var->UpperVariable > 0) {
    ClampToOwnLimits(var->UpperVariable);
    var->UpperLimit = w->Value;
  }
  if (TVariableRecord* w = CurrentVariable(var->GuessVariable); w && var->GuessVariable > 0) {
    ClampToOwnLimits(var->GuessVariable);
    var->Guess = w->Value;
  }
  var->Value = var->Guess;
  if (var->Guess < var->LowerLimit || var->Guess > var->UpperLimit) {
    SetMessageArg(1, ModuleVarNameForMessage(var->Name));
    SetMessageArg(2, FormatInVariableStyle(*var, var->Guess));
    SetMessageArg(3, FormatInVariableStyle(*var, var->LowerLimit));
    SetMessageArg(4, FormatInVariableStyle(*var, var->UpperLimit));
    MessageHelpContext = kHelpVariableInfo;
    CalcErrorCode = kMsgGuessOutsideLimits;
    CurrentProgramUnit->LastEquation = nullptr;
  }
}

void ClampToOwnLimits(int32_t w) {
  TVariableRecord* var = CurrentVariable(w);
  if (!var) return;
  if (var->Value < var->LowerLimit) var->Value = var->LowerLimit;
  if (var->Value > var->UpperLimit) var->Value = var->UpperLimit;
}

void ClampToLimits(int32_t v, Extended& x, bool& clamped) {
  clamped = false;
  TVariableRecord* var = CurrentVariable(v);
  if (!var || var->IsString) return;
  if (TVariableRecord* w = CurrentVariable(var->LowerVariable); w && var->LowerVariable > 0) {
    var->LowerLimit = w->Value;
  }
  if (TVariableRecord* w = CurrentVariable(var->UpperVariable); w && var->UpperVariable > 0) {
    var->UpperLimit = w->Value;
  }
  // Inside by 1e-100 in extended arithmetic: for a limit above about 1e-81
  // in magnitude the value lands on the limit itself.
  if (x < var->LowerLimit) {
    x = var->LowerLimit + kLimitOffset;
    clamped = true;
  } else if (x > var->UpperLimit) {
    x = var->UpperLimit - kLimitOffset;
    clamped = true;
  }
}

std::string ModuleVarNameForMessage(const std::string& name) {
  if (name.empty() || name[0] != '@') return name;
  const std::string text = name.substr(1);
  const size_t slash = text.find('\\');
  if (slash == std::string::npos) return text;  // the "@" is dropped all the same
  const std::string indexText = text.substr(0, slash);
  std::string rest = text.substr(slash + 1);
  if (size_t dot = rest.find('.'); dot != std::string::npos) rest = rest.substr(dot + 1);
  std::string result = (rest + " in module ").substr(0, 41);
  int index = -1;
  auto [ptr, ec] = std::from_chars(indexText.data(), indexText.data() + indexText.size(), index);
  if (ec == std::errc() && ptr == indexText.data() + indexText.size() && index >= 0 &&
      static_cast<size_t>(index) < ProgramUnitList.size() && ProgramUnitList[index]) {
    result += ProgramUnitList[index]->Name;
  }
  return result.substr(0, 71);
}

}  // namespace voq

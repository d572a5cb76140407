#include "session/problem_summary.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>

#include "core/calc_state.h"
#include "core/extended.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/text_utils.h"
#include "model/program_units.h"
#include "model/solve_session.h"
#include "model/store_state.h"

namespace voq {

int32_t DegreesOfFreedom = 0;

namespace {

constexpr size_t kSummaryLength = 255;
// An optimisation handles at most this many degrees of freedom.
constexpr int32_t kMinMaxFreedomLimit = 10;

// The phrases of the summary in the user's language. Stored text is
// Windows-1252: 0xE9 is e acute, 0xE8 e grave.
struct TSummaryPhrases {
  const char* thereAre;
  const char* equationsAnd;
  const char* oneVariable;
  const char* variables;
  const char* complexMode;
  const char* with;
  const char* andConnector;
  const char* usedSingular;
  const char* usedPlural;
  const char* setInDiagram;
  const char* setInTable;
  const char* theProblem;
  const char* modulePrefix;
  size_t moduleSubjectLength;
  const char* compilationTime;
};

constexpr TSummaryPhrases kEnglish{
    "There are ", " equations and ", "one variable", " variables", " in complex number mode",
    " with ", " and ", " used for integration", " used for integration", " set in the Diagram",
    " set in the Parametric table", "The problem", "Module ", 37, "  Compilation time: "};

constexpr TSummaryPhrases kFrench{
    "Il y a ", " \xE9quations et ", "une variable", " variables", " dans le mode complexe",
    " avec ", " et ", " utilis\xE9" "e pour cette integration", " utilis\xE9" "es pour cette integration",
    " fix\xE9" "e(s) dans le diagramme", " fix\xE9" "e(s) dans la table param\xE9trique",
    "Le probl\xE8" "me ", "Le module ", 40, "  Temps de compilation: "};

// The compile time in tenths of a second with the decimal separator before
// the last digit: 1234 ms gives "1.2", 500 ms ".5".
std::string CompileTimeText() {
  const int32_t tenths = (CompileEndTicks - CompileStartTicks) / 100;
  std::string digits = std::to_string(tenths);
  digits.insert(digits.size() - 1, 1, DecimalSeparator);
  return digits;
}

}  // namespace

bool UseFrenchSummary() { return UpperCaseText(LocaleLanguageName()).rfind("FR", 0) == 0; }

int32_t CountModuleEquations(const TProgramUnitRecord* unit) {
  int32_t count = 0;
  if (unit != nullptr) {
    // The count of an int32 bounds the walk should the list ever be cyclic.
    for (CurrentEquation = unit->FirstEquation; CurrentEquation != nullptr && count < INT32_MAX;
         CurrentEquation = CurrentEquation->Next) {
      ++count;
    }
  }
  CurrentEquation = nullptr;
  return count;
}

void ProblemSizeMessage(const TProgramUnitRecord* unit, int32_t tableCount, std::string& text) {
  text.clear();
  if (unit == nullptr) return;
  const bool french = UseFrenchSummary();
  const TSummaryPhrases& p = french ? kFrench : kEnglish;
  const ProblemSummaryEnvironment& environment = SummaryEnvironment();
  const bool isModule = unit->UnitIndex != 0;

  const int32_t inputs = isModule ? unit->InputCount : 0;
  int32_t diagramInputs = 0;
  // The French text counts the Diagram's inputs whenever the window is shown.
  if (!isModule && environment.DiagramShown() && (french || UseDiagramInput)) {
    diagramInputs = environment.DiagramInputCount();
  }
  const int32_t equations = CountModuleEquations(unit);
  const int32_t free = unit->UsedVariableCount - tableCount - equations - diagramInputs - inputs;
  DegreesOfFreedom = free - unit->IntegralCount;
  const int32_t shownVariables = unit->UsedVariableCount - inputs;

  auto add = [&text](const std::string& phrase) {
    text += phrase;
    if (text.size() > kSummaryLength) text.resize(kSummaryLength);
  };

  if (equations < 2) {
    add(GetMessageText(kMsgOneEquation));
  } else {
    add(p.thereAre + std::to_string(equations) + p.equationsAnd);
  }
  if (shownVariables < 2) {
    add(p.oneVariable);
  } else {
    add(std::to_string(shownVariables) + p.variables);
    if (environment.ComplexAlgebra()) add(p.complexMode);
  }

  std::string connector = p.with;
  if (unit->IntegralCount > 0) {
    const bool several = unit->IntegralCount > 1;
    add(p.with + std::to_string(unit->IntegralCount) + " variable" + (several ? "s" : "") +
        (several ? p.usedPlural : p.usedSingular));
    connector = p.andConnector;
  }
  if (diagramInputs > 0) add(connector + std::to_string(diagramInputs) + p.setInDiagram);
  if (tableCount > 0) add(connector + std::to_string(tableCount) + p.setInTable);
  add(".  ");

  const std::string unitSubject = (p.modulePrefix + unit->Name).substr(0, p.moduleSubjectLength);
  const std::string subject = isModule ? unitSubject : p.theProblem;
  if (DegreesOfFreedom > 0 && !CheckOnlyMode) {
    if (MinMaxMode) {
      if (free > kMinMaxFreedomLimit) {
        text.clear();
        add(GetMessageText(kMsgMinMaxFreedomLimit));
      }
    } else {
      add(subject + GetMessageText(kMsgUnderspecified));
    }
  } else if (DegreesOfFreedom < 0) {
    add(subject + GetMessageText(kMsgOverspecified));
  } else if (isModule && !french) {
    SetMessageArg(1, unit->IsSubprogram ? ("Subprogram " + unit->Name).substr(0, 41)
                                        : ("Module " + unit->Name).substr(0, 37));
    add(GetMessageText(kMsgModuleWithoutOutputs));
  } else {
    add(GetMessageText(kMsgNoSyntaxErrors) + p.compilationTime + CompileTimeText() + " sec");
  }
}

void UpdateGuessesFromSolution(int32_t unitIndex) {
  const int32_t unitCount = static_cast<int32_t>(ProgramUnitList.size());
  int32_t first = 1, last = unitCount;
  if (unitIndex != -1) {
    if (unitIndex < 1 || unitIndex > unitCount) return;
    first = last = unitIndex;
  }
  const TProgramUnitRecord* main = MainProgramUnit;
  for (int32_t u = first; u <= last; ++u) {
    TProgramUnitRecord* unit = ProgramUnitList[u - 1];
    if (unit == nullptr || unit->Defined == 0 || unit->VariableCount <= 0) continue;
    const bool isModule = unit->UnitIndex != 0 && unit->IsSubprogram == 0;
    // A MODULE merged by exactly one CALL from the main program has its
    // variables solved as copies in the main program; Block names the copy.
    const bool mergedOnce = unit->CallCount == 1 && unit->CallerIndex == 0;
    for (int32_t i = 1; i <= unit->VariableCount; ++i) {
      TVariableRecord* var = unit->Variable(i);
      if (var == nullptr) continue;
      const Extended remembered = var->Guess;
      Extended guess = remembered;
      if (!isModule) {
        guess = var->Value;
      } else if (mergedOnce && main != nullptr) {
        const int32_t m = var->Block;
        if (m > 0 && m < main->VariableCount) guess = main->Variable(m)->Value;
      }
      var->Guess = IsBlank(guess) ? remembered : guess;
    }
  }
}

void ResetAllGuesses(int32_t variableIndex) {
  for (TProgramUnitRecord* unit : ProgramUnitList) {
    if (unit == nullptr || unit->IsLibraryUnit != 0 || unit->CompiledThisPass == 0) continue;
    int32_t first = 1, last = unit->VariableCount;
    if (variableIndex >= 1 && variableIndex <= unit->VariableCount) first = last = variableIndex;
    for (int32_t i = first; i <= last; ++i) {
      TVariableRecord* var = unit->Variable(i);
      if (var == nullptr) continue;
      // Internal names of module copies ("@unit\call.name") take the
      // defaults of their plain name; any other name not beginning with a
      // letter gets the general defaults (guess 1, no limits).
      std::string name = var->Name;
      if (!name.empty() && name[0] == '@') {
        const size_t dot = name.rfind('.');
        name = dot == std::string::npos ? std::string() : name.substr(dot + 1);
      }
      const char c = name.empty() ? '\0' : static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
      const TLetterDefaultRecord defaults =
          (c >= 'A' && c <= 'Z') ? LetterDefaults[static_cast<size_t>(c - 'A')] : TLetterDefaultRecord{};
      var->Guess = defaults.Guess;
      var->LowerLimit = defaults.LowerLimit;
      var->UpperLimit = defaults.UpperLimit;
      var->GuessVariable = 0;
      var->LowerVariable = 0;
      var->UpperVariable = 0;
    }
  }
}

}  // namespace voq

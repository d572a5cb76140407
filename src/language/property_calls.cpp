#include "language/property_calls.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/string_constants.h"
#include "core/text_utils.h"
#include "language/operands.h"
#include "language/statement_text.h"
#include "model/document_settings.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "properties/fluid_catalog.h"
#include "properties/substance_factory.h"

namespace voq {

std::array<std::unique_ptr<TFunctionCatalogRecord>, kPropertyFunctionCount + 1> PropertyFunctionTable;

namespace {

constexpr int32_t kSyntaxHelp = 129;
constexpr int32_t kUnknownSubstanceHelp = 360;
constexpr int32_t kNameLength = 30;
constexpr const char* kArgumentLetters = "TPHUSVXCKVBDWR";

struct TPropertyNameRow {
  const char* Name;
  int32_t Opcode;
  int32_t SubCode;
  int32_t HelpContext;
  int32_t Group;
};

constexpr TPropertyNameRow kPropertyNames[kPropertyFunctionCount] = {
    {"MolarMass", 217, 1, 180, -1},      {"Temperature", 209, 0, 140, 1},   {"Pressure", 210, 0, 136, 2},
    {"Density", 223, 0, 142, 15},        {"Volume", 214, 0, 141, 6},        {"Enthalpy", 211, 0, 132, 3},
    {"IntEnergy", 212, 0, 135, 4},       {"Entropy", 213, 0, 133, 5},       {"Quality", 215, 0, 137, 7},
    {"Conductivity", 216, 3, 130, 10},   {"SpecHeat", 216, 1, 139, 8},      {"Viscosity", 216, 2, 144, 9},
    {"WetBulb", 219, 0, 143, 11},        {"DewPoint", 220, 0, 131, 12},     {"HumRat", 221, 0, 134, 13},
    {"RelHum", 222, 0, 138, 14},         {"T_crit", 217, 2, 198, -1},       {"P_crit", 217, 3, 199, -1},
    {"v_crit", 217, 4, 200, -1},         {"isIdealGas", 217, 5, 327, -1},   {"Prandtl", 216, 4, 326, 8},
    {"SoundSpeed", 216, 5, 367, 8},      {"SurfaceTension", 216, 6, 333, 16}, {"VolExpCoef", 216, 7, 347, 8},
    {"Cp", 216, 8, 366, 8},              {"Cv", 216, 9, 365, 8},            {"AcentricFactor", 217, 6, 394, -1},
    {"Fugacity", 216, 10, 407, 8},
};

int32_t Group(const TFunctionCatalogRecord& r) { return std::atoi(r.Example.c_str()); }

// The trial call: arguments of 1.0 with warnings suppressed; only the
// argument kinds are checked.
void TrialCall(TSubstanceBase& object, int32_t opcode, int32_t subCode) {
  TPropertyArgumentRecord a;
  a.Value = {1, 1, 1, 1};
  object.SuppressWarnings = 1;
  switch (opcode) {
    case 209: object.Temperature(a); break;
    case 210: object.Pressure(a); break;
    case 211: object.Enthalpy(a); break;
    case 212: object.IntEnergy(a); break;
    case 213: object.Entropy(a); break;
    case 214:
    case 223: object.Volume(a); break;
    case 215: object.Quality(a); break;
    case 216:
      switch (subCode) {
        case 1: object.SpecHeat(a); break;
        case 2: object.Viscosity(a); break;
        case 3: object.Conductivity(a); break;
        case 4: object.Prandtl(a); break;
        default: break;
      }
      break;
    case 217:
      switch (subCode) {
        case 1: object.MolarMass(); break;
        case 2: object.T_crit(); break;
        case 3: object.P_crit(); break;
        case 4: object.v_crit(); break;
        default: break;
      }
      break;
    default: break;
  }
  object.SuppressWarnings = 0;
}

// The argument group of the call: the statement's text from the "(" at open
// to its matching ")"; 0 when it does not close.
int32_t MatchingParenthesis(const std::string& text, int32_t open) {
  int32_t depth = 0;
  for (int32_t k = open; k <= Length(text); ++k) {
    if (At(text, k) == '(') ++depth;
    if (At(text, k) == ')' && --depth == 0) return k;
  }
  return 0;
}

bool CompilePropertyCallBody(std::string& text, int32_t maxLength, int32_t start, int32_t& p, TSubstanceBase& obj,
                             const TFunctionCatalogRecord& entry, int32_t group, int32_t code, int32_t close,
                             int32_t substanceEnd, const std::string& operand);

// The evaluator hands a statement's property calls their objects by walking
// the chain as the calls execute, and the postfix code executes a call only
// after the calls in its arguments. The statement compiles its calls left to
// right, an enclosing call before the calls in its arguments, so each object
// goes in just before the object of the innermost call whose arguments hold
// it: the chain then lists the calls in the order they execute. (Appended in
// compile order, "h(T=1, x=1) + h(P=2, s=s(T=1, x=1))" gave the second
// Enthalpy the first one's argument kinds.)
void LinkInExecutionOrder(const std::string& text, int32_t start, TSubstanceBase*& head, TSubstanceBase* object) {
  TSubstanceBase** innermost = nullptr;
  int32_t innermostAt = 0;
  TSubstanceBase** link = &head;
  for (; *link != nullptr; link = &(*link)->Next) {
    const int32_t at = (*link)->CompiledAt;
    if (at <= 0 || at >= start || at <= innermostAt || at >= Length(text) || At(text, at + 1) != '(') continue;
    const int32_t close = MatchingParenthesis(text, at + 1);
    if (close == 0 || close > start) {
      innermost = link;
      innermostAt = at;
    }
  }
  if (innermost != nullptr) {
    object->Next = *innermost;
    *innermost = object;
  } else {
    *link = object;
  }
  LastSubstanceObject = object;
}

}  // namespace

void BuildPropertyFunctionTable() {
  for (int32_t i = 1; i <= kPropertyFunctionCount; ++i) {
    const TPropertyNameRow& row = kPropertyNames[i - 1];
    auto record = std::make_unique<TFunctionCatalogRecord>();
    record->Name = UpperCaseText(row.Name).substr(0, 15);
    record->Opcode = static_cast<uint8_t>(row.Opcode);
    record->SubCode = row.SubCode;
    record->HelpContext = row.HelpContext;
    record->Example = std::to_string(row.Group);
    PropertyFunctionTable[static_cast<size_t>(i)] = std::move(record);
  }
}

int32_t FindPropertyFunction(const std::string& name) {
  const std::string upper = UpperCaseText(name);
  for (int32_t i = 1; i <= kPropertyFunctionCount; ++i) {
    const auto& r = PropertyFunctionTable[static_cast<size_t>(i)];
    if (r != nullptr && r->Name == upper) return i;
  }
  return 0;
}

int32_t PropertyExampleMessage(int32_t group, int32_t kind) { return 1000 + 3 * (group - 1) + std::abs(kind); }

bool CompilePropertyCall(std::string& text, int32_t maxLength, const std::string& name, int32_t start,
                         int32_t& p) {
  if (p >= Length(text) || At(text, p + 1) != '(') return false;
  const int32_t index = FindPropertyFunction(name);
  if (index == 0) return false;
  const TFunctionCatalogRecord& entry = *PropertyFunctionTable[static_cast<size_t>(index)];
  const int32_t group = Group(entry);
  const int32_t windowPosition =
      CurrentStatementPosition.Start < 0 ? -1 : CurrentStatementPosition.Start + start;
  SyncVariableNameCase(Slice(text, start, p), kPropertyNames[index - 1].Name, windowPosition, kFunctionNameCase);
  SourceShift += Length(name) - 1;

  const int32_t open = p + 1;
  const int32_t close = MatchingParenthesis(text, open);

  // The substance: up to the first separator (state arguments follow) or
  // to the first ")" (a substance constant).
  const char stop = group > 0 ? ArgumentSeparator : ')';
  const size_t stopAt = text.find(stop, static_cast<size_t>(open));
  // A separator past the call's own ")" belongs to something else.
  const bool outside = group > 0 && close > 0 && stopAt != std::string::npos &&
                       static_cast<int32_t>(stopAt) + 1 > close;
  if (stopAt == std::string::npos || outside) {
    SetCalcErrorWithHelp(kMsgPropertyCallSyntax, kSyntaxHelp);
    return true;
  }
  const int32_t substanceEnd = static_cast<int32_t>(stopAt) + 1;  // position of the stop character
  const std::string typed = Slice(text, open + 1, substanceEnd - 1);
  std::string substance = StripQuotes(typed);
  TrimShort(substance, kNameLength);

  int32_t code = 0;
  int32_t stringIndex = 0;
  std::string operand;
  const bool stringVariable =
      !substance.empty() && (substance.back() == '$' ||
                             (substance.back() == ']' && substance.find("$[") != std::string::npos));
  if (stringVariable) {
    operand = substance;
  } else {
    code = FindSubstanceRow(substance);
    if (code == 0) {
      SetMessageArg(1, substance);
      SetCalcErrorWithHelp(kMsgUnknownSubstance, kUnknownSubstanceHelp);
      return true;
    }
    const std::string& catalogName = SubstanceCatalog[static_cast<size_t>(code)].Name;
    SyncVariableNameCase(substance, catalogName, windowPosition, kKeywordNameCase);
    stringIndex = StringConstIndex(catalogName);
    operand = "'" + catalogName + "'";
  }
  SourceShift += Length(typed) - 1 + (group < 0 ? 1 : 0);

  TSubstanceBase* object = nullptr;
  CreatePropertyObject(code, object);
  if (object == nullptr) {
    CalcErrorCode = kMsgPropertyAllocation;
    return true;
  }
  if (CalcErrorCode < 0) {
    if (Preferences.WarningsB != 0) ShowAlert(MessageText, 4, true);
    CalcErrorCode = 0;
    MessageHelpContext = 0;
  } else if (CalcErrorCode > 0) {
    object->Done();
    delete object;
    return true;
  }
  object->NameStringIndex = stringIndex;
  object->ServedOpcode = entry.Opcode;
  object->CompiledAt = start;
  if (CurrentEquation != nullptr) {
    LinkInExecutionOrder(text, start, CurrentEquation->SubstanceChain, object);
  } else {
    // No equation to own the object: it serves only the checks below.
    std::unique_ptr<TSubstanceBase> orphan(object);
    return CompilePropertyCallBody(text, maxLength, start, p, *orphan, entry, group, code, close, substanceEnd, operand);
  }
  return CompilePropertyCallBody(text, maxLength, start, p, *object, entry, group, code, close, substanceEnd, operand);
}

namespace {

bool CompilePropertyCallBody(std::string& text, int32_t maxLength, int32_t start, int32_t& p, TSubstanceBase& obj,
                             const TFunctionCatalogRecord& entry, int32_t group, int32_t code, int32_t close,
                             int32_t substanceEnd, const std::string& operand) {
  TSubstanceBase* object = &obj;
  const int32_t opcode = entry.Opcode;
  const int32_t subCode = entry.SubCode;

  // The call rewritten: opcode "(" [sub-code,] arguments [,] substance ")".
  std::string body;
  if (group > 0) {
    if (close == 0) {
      SetCalcErrorWithHelp(kMsgPropertyCallSyntax, kSyntaxHelp);
      return true;
    }
    const std::string args = Slice(text, substanceEnd + 1, close - 1);
    std::string rewritten;
    int32_t depth = 1;
    object->ArgCount = 0;
    // Walk the argument text; each "=" at depth 1 ends an argument letter.
    for (size_t k = 0; k < args.size(); ++k) {
      const char c = args[k];
      if (c == '(') ++depth;
      if (c == ')') --depth;
      if (c == '=' && depth == 1) {
        // The letter is the last character of rewritten; what precedes it
        // must be the start of the group or a separator.
        if (rewritten.empty()) {
          SetCalcError(kMsgPropertyIndicator);
          return true;
        }
        const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(rewritten.back())));
        const bool firstArgument = object->ArgCount == 0;
        const bool placed = firstArgument ? rewritten.size() == 1
                                          : rewritten.size() >= 2 && rewritten[rewritten.size() - 2] == ArgumentSeparator;
        const char* found = std::strchr(kArgumentLetters, letter);
        const int32_t kind = found != nullptr && letter != '\0' ? static_cast<int32_t>(found - kArgumentLetters) + 1 : 0;
        if (!placed) {
          SetCalcError(kMsgPropertyIndicator);
          return true;
        }
        if (kind == 0) {
          SetCalcErrorWithHelp(kMsgPropertyIndicator, kSyntaxHelp);
          return true;
        }
        if (kind == 8 || kind == 9 || (kind > 10 && code != 2 && code != 0) || object->ArgCount >= 3) {
          SetCalcError(kMsgPropertyIndicator);
          return true;
        }
        ++object->ArgCount;
        object->ArgKind[static_cast<size_t>(object->ArgCount)] = kind;
        rewritten.pop_back();
        SourceShift += 1;
        continue;
      }
      rewritten.push_back(c);
    }
    if (object->ArgCount == 0) {
      SetCalcErrorWithHelp(kMsgPropertyCallSyntax, kSyntaxHelp);
      return true;
    }
    body = rewritten + std::string(1, ArgumentSeparator) + operand;
  } else {
    body = operand;
  }

  TrialCall(*object, opcode, subCode);
  if (CalcErrorCode > 0) return true;
  if (CalcErrorCode < 0) {
    CalcErrorCode = 0;
    MessageHelpContext = 0;
  }

  std::string result = text.substr(0, static_cast<size_t>(start) - 1);
  result.push_back(static_cast<char>(opcode));
  result += "(";
  if (subCode > 0) {
    result += std::to_string(subCode);
    result.push_back(ArgumentSeparator);
  }
  result += body;
  result += ")";
  const int32_t after = group > 0 ? close + 1 : substanceEnd + 1;
  if (after <= Length(text)) result += text.substr(static_cast<size_t>(after) - 1);
  if (Length(result) > maxLength) {
    CalcErrorCode = kMsgStatementTooLong;
    return true;
  }
  text = result;
  p = start - 1;
  return true;
}

}  // namespace

}  // namespace voq

#include "language/lookup_forms.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/text_utils.h"
#include "language/function_catalog.h"
#include "language/operands.h"
#include "language/statement_preparation.h"
#include "language/statement_text.h"
#include "model/lookup_table_access.h"
#include "model/program_units.h"
#include "model/store_state.h"

namespace voq {

namespace {

constexpr int32_t kTableVariableOffset = 10000;

std::string Trimmed(const std::string& text) {
  size_t a = 0;
  size_t b = text.size();
  while (a < b && static_cast<unsigned char>(text[a]) <= ' ') ++a;
  while (b > a && static_cast<unsigned char>(text[b - 1]) <= ' ') --b;
  return text.substr(a, b - a);
}

// The arguments of the call, split at the separators outside parentheses,
// brackets and quotes.
std::vector<std::string> SplitArguments(const std::string& text, const TCallArguments& args) {
  std::vector<std::string> parts;
  const std::string inner = text.substr(size_t(args.Open), size_t(std::max(args.Close - args.Open - 1, 0)));
  std::string current;
  int32_t depth = 0;
  bool quoted = false;
  for (char ch : inner) {
    if (ch == '\'') quoted = !quoted;
    if (!quoted) {
      if (ch == '(' || ch == '[') ++depth;
      if (ch == ')' || ch == ']') --depth;
      if (ch == ArgumentSeparator && depth == 0) {
        parts.push_back(current);
        current.clear();
        continue;
      }
    }
    current.push_back(ch);
  }
  parts.push_back(current);
  return parts;
}

// Replaces the whole argument list by parts joined with the separator.
void ReplaceArguments(TBuiltinCallContext& context, const std::vector<std::string>& parts) {
  std::string& text = *context.Text;
  TCallArguments& args = context.Arguments;
  std::string joined;
  int32_t lastSeparator = 0;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) {
      joined.push_back(ArgumentSeparator);
      lastSeparator = args.Open + Length(joined);
    }
    joined += parts[i];
  }
  std::string result = text.substr(0, size_t(args.Open)) + joined + text.substr(size_t(args.Close) - 1);
  if (Length(result) > context.MaxLength) {
    CalcErrorCode = kMsgStatementTooLong;
    return;
  }
  text = result;
  args.Close = args.Open + Length(joined) + 1;
  args.Count = int32_t(parts.size());
  args.LastSeparator = lastSeparator;
}

// A signed number as the compiler reads it: a minus sign is the negation mark.
std::string CodeText(int32_t code) {
  return code < 0 ? std::string(1, kMarkNegate) + std::to_string(-int64_t(code)) : std::to_string(code);
}

bool IsNumberText(const std::string& text) {
  if (text.empty()) return false;
  char* end = nullptr;
  std::strtod(text.c_str(), &end);
  return end == text.c_str() + text.size() && std::isdigit(static_cast<unsigned char>(text[0])) != 0;
}

bool IsPlainName(const std::string& text) {
  if (text.empty() || std::isalpha(static_cast<unsigned char>(text[0])) == 0) return false;
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (std::isalnum(c) == 0 && ch != '_' && ch != '.' && ch != ' ' && ch != ':' && ch != '\\' && ch != '/')
      return false;
  }
  return true;
}

// The index of a string variable for a table or column argument: the
// routine's local inside a body, otherwise the current unit's variable.
int32_t StringVariableCode(const std::string& name) {
  if (CompilingFunctionIndex > 0 && InstalledRoutineLocals() != nullptr) {
    const int32_t local = InstalledRoutineLocals()->FindOrAddLocalVariable(name, -1);
    if (CalcErrorCode != 0) return 0;
    return local < 0 ? -(kTableVariableOffset - local) : kTableVariableOffset + local;
  }
  const int32_t index = FindOrAddVariable(name, -1, -1);
  if (CalcErrorCode != 0) return 0;
  return kTableVariableOffset + index;
}

// The table argument of a LOOKUP-like call as its compiled code.
int32_t TableArgumentCode(const std::string& argument, int32_t formatError, int32_t formatHelp) {
  const std::string t = Trimmed(argument);
  if (!t.empty() && t[0] == '\'') {
    if (t.size() < 2 || t.back() != '\'') {
      CalcErrorCode = kMsgMissingQuoteOrSyntax;
      return 0;
    }
    return LookupTables().FindTable(t.substr(1, t.size() - 2));
  }
  if (IsStringArgument(t)) {
    const int32_t code = StringVariableCode(t);
    if (CurrentEquation != nullptr) CurrentEquation->TrySolveAlone = 0;
    return code;
  }
  if (IsPlainName(t)) return LookupTables().FindTable(t);
  SetCalcErrorWithHelp(formatError, formatHelp);
  return 0;
}

// The name of a column as the call gives it, for comparing with the given
// column of INTERPOLATE: quotes and a leading "#" removed, upper case.
std::string ColumnKey(const std::string& argument) {
  std::string t = Trimmed(argument);
  if (!t.empty() && t[0] == '#') t.erase(0, 1);
  if (t.size() >= 2 && t.front() == '\'' && t.back() == '\'') t = t.substr(1, t.size() - 2);
  return UpperCaseText(Trimmed(t));
}

// "name = value": the name's key and the value's text; false without "=".
bool SplitGiven(const std::string& argument, std::string& key, std::string& value) {
  const size_t eq = argument.find('=');
  if (eq == std::string::npos) return false;
  key = ColumnKey(argument.substr(0, eq));
  value = argument.substr(eq + 1);
  return !Trimmed(value).empty();
}

void FormatError(const char* function, int32_t help) {
  SetMessageArg(1, function);
  SetCalcErrorWithHelp(kMsgFunctionFormat, help);
}

}  // namespace

TColumnArgument ResolveColumnArgument(const std::string& argument, int32_t tableCode, bool nameExpected) {
  TColumnArgument result;
  std::string t = Trimmed(argument);
  if (t.empty()) {
    CalcErrorCode = nameExpected ? kMsgLookupColumnNameExpected : kMsgLookupColumnParameter;
    return result;
  }
  if (t[0] == '#') t = "'" + Trimmed(t.substr(1)) + "'";
  if (IsNumberText(t)) {
    if (nameExpected) {
      CalcErrorCode = kMsgLookupColumnNameExpected;
      return result;
    }
    result.Text = "'#" + t + "'";
    result.ByName = true;
    return result;
  }
  const bool quoted = t[0] == '\'';
  if (!quoted && t.back() == '$') {
    // A string variable: its text names the column at evaluation.
    result.Text = t;
    result.ByName = true;
    result.StringVariable = true;
    return result;
  }
  if (!quoted && !nameExpected) {
    result.Text = t;  // an expression giving the column number
    return result;
  }
  std::string name = t;
  RemoveQuoteChars(name);
  if (CalcErrorCode != 0) return result;
  name = Trimmed(name);
  if (name.empty()) {
    CalcErrorCode = nameExpected ? kMsgLookupColumnNameExpected : kMsgLookupColumnParameter;
    return result;
  }
  result.ByName = true;
  const bool knownTable = std::abs(tableCode) < kTableVariableOffset && tableCode != kLookupParametricId;
  if (!knownTable) {
    result.Text = "'" + name + "'";
    return result;
  }
  const Extended column = LookupTables().ColumnNumber(name, tableCode);
  if (CalcErrorCode != 0) return result;
  result.Text = "'#" + std::to_string(static_cast<int64_t>(column)) + "'";
  return result;
}

void CompileLookupCall(TBuiltinCallContext& context) {
  if (CalcErrorCode != 0) return;
  const int32_t opcode = context.Entry->Opcode;
  static constexpr int32_t kErrors[] = {kMsgLookupFormat, kMsgLookupColFormat, kMsgLookupRowFormat};
  static constexpr int32_t kHelps[] = {110, 111, 112};
  std::vector<std::string> parts = SplitArguments(*context.Text, context.Arguments);
  int32_t code = -1;  // the first lookup table
  if (parts.size() == 3) {
    code = TableArgumentCode(parts[0], kErrors[opcode - 244], kHelps[opcode - 244]);
    if (CalcErrorCode != 0) return;
    parts.erase(parts.begin());
  } else if (parts.size() != 2) {
    SetCalcErrorWithHelp(kErrors[opcode - 244], kHelps[opcode - 244]);
    return;
  }
  std::vector<std::string> out{CodeText(code)};
  if (opcode == 245) {
    out.push_back(parts[0]);
    out.push_back(parts[1]);
  } else {
    const size_t columnAt = opcode == 244 ? 1 : 0;
    const TColumnArgument column = ResolveColumnArgument(parts[columnAt], code, false);
    if (CalcErrorCode != 0) return;
    if (opcode == 244) out.push_back(parts[0]);
    out.push_back(column.Text);
    out.push_back(column.ByName ? "1" : "0");
    if (opcode == 246) out.push_back(parts[1]);
  }
  ReplaceArguments(context, out);
}

void CompileInterpolate(TBuiltinCallContext& context) {
  if (CalcErrorCode != 0) return;
  const bool differentiate = context.Entry->SubCode == 6;
  const char* function = differentiate ? "Differentiate" : "Interpolate";
  const int32_t help = differentiate ? 186 : 183;
  std::vector<std::string> parts = SplitArguments(*context.Text, context.Arguments);
  int32_t code = -1;
  if (parts.size() == 4) {
    code = TableArgumentCode(parts[0], kMsgFunctionFormat, help);
    if (CalcErrorCode == kMsgFunctionFormat) SetMessageArg(1, function);
    if (CalcErrorCode != 0) return;
    parts.erase(parts.begin());
  } else if (parts.size() != 3) {
    FormatError(function, help);
    return;
  }
  std::string key;
  std::string value;
  if (!SplitGiven(parts[2], key, value)) {
    FormatError(function, help);
    return;
  }
  const TColumnArgument first = ResolveColumnArgument(parts[0], code, true);
  if (CalcErrorCode != 0) return;
  const TColumnArgument second = ResolveColumnArgument(parts[1], code, true);
  if (CalcErrorCode != 0) return;
  std::vector<std::string> out{CodeText(code)};
  if (key == ColumnKey(parts[1])) {
    out.insert(out.end(), {first.Text, second.Text, "1"});
  } else if (key == ColumnKey(parts[0])) {
    // The given column always comes second: the call is then reciprocal.
    out.insert(out.end(), {second.Text, first.Text, std::string(1, kMarkNegate) + "1"});
  } else {
    SetMessageArg(1, Trimmed(parts[0]));
    SetMessageArg(2, Trimmed(parts[1]));
    SetMessageArg(3, function);
    SetMessageArg(4, Trimmed(parts[2].substr(0, parts[2].find('='))));
    SetCalcErrorWithHelp(kMsgInterpolationIndependentVariable, help);
    return;
  }
  out.push_back(value);
  ReplaceArguments(context, out);
}

void CompileInterpolate2D(TBuiltinCallContext& context) {
  constexpr int32_t kHelp = 399;
  if (context.Arguments.Count != 6 && context.Arguments.Count != 7) {
    SetMessageArg(1, "Interpolate2D");
    SetMessageArg(2, "6 or 7");
    SetCalcErrorWithHelp(kMsgBuiltinArgumentCount, kHelp);
    return;
  }
  if (CalcErrorCode != 0) return;
  std::vector<std::string> parts = SplitArguments(*context.Text, context.Arguments);
  if (parts.size() != 6 && parts.size() != 7) {
    FormatError("Interpolate2D", kHelp);
    return;
  }
  const int32_t code = TableArgumentCode(parts[0], kMsgFunctionFormat, kHelp);
  if (CalcErrorCode == kMsgFunctionFormat) SetMessageArg(1, "Interpolate2D");
  if (CalcErrorCode != 0) return;
  std::vector<std::string> out{CodeText(code)};
  std::string keys[3];
  for (int32_t k = 0; k < 3; ++k) {
    const TColumnArgument column = ResolveColumnArgument(parts[size_t(k + 1)], code, true);
    if (CalcErrorCode != 0) return;
    out.push_back(column.Text);
    keys[k] = ColumnKey(parts[size_t(k + 1)]);
  }
  if (keys[0] == keys[1] || keys[0] == keys[2] || keys[1] == keys[2]) {
    SetMessageArg(1, "Interpolate2D");
    SetCalcErrorWithHelp(kMsgThreeColumnNames, kHelp);
    return;
  }
  std::string values[2];
  int32_t positions[2] = {0, 0};
  for (int32_t g = 0; g < 2; ++g) {
    std::string key;
    if (!SplitGiven(parts[size_t(4 + g)], key, values[g])) {
      FormatError("Interpolate2D", kHelp);
      return;
    }
    for (int32_t k = 0; k < 3; ++k)
      if (keys[k] == key) positions[g] = k + 1;
    if (positions[g] == 0) {
      FormatError("Interpolate2D", kHelp);
      return;
    }
  }
  if (positions[0] == positions[1]) {
    SetMessageArg(1, Trimmed(parts[5].substr(0, parts[5].find('='))));
    SetMessageArg(2, "Interpolate2D");
    SetCalcErrorWithHelp(kMsgColumnUsedTwice, kHelp);
    return;
  }
  out.push_back(std::to_string(positions[0]));
  out.push_back(std::to_string(positions[1]));
  out.push_back(values[0]);
  out.push_back(values[1]);
  out.push_back(parts.size() == 7 ? parts[6] : "64");
  ReplaceArguments(context, out);
}

}  // namespace voq

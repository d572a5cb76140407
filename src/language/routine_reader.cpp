#include "language/routine_reader.h"

#include <new>
#include <vector>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/string_constants.h"
#include "language/operands.h"
#include "model/program_units.h"
#include "model/routines.h"
#include "model/store_state.h"

namespace voq {
namespace {

// ".." of a range while an argument list is taken apart: a single byte, so a
// range cannot be confused with a decimal point or split by the scan.
constexpr char kRangeMark = static_cast<char>(255);
// The first "]" of a range text kept as a string constant.
constexpr char kRangeEndMark = static_cast<char>(11);

// The string constant that stands for a range in an argument list: the
// range text with ".." kept, its first "[" as "_" and its first "]" as
// byte 11.
int32_t RangeTextCode(const std::string& argument) {
  std::string marked;
  marked.reserve(argument.size() + 1);
  for (char c : argument) {
    if (c == kRangeMark) {
      marked += "..";
    } else {
      marked += c;
    }
  }
  const size_t open = marked.find('[');
  if (open != std::string::npos) marked[open] = '_';
  const size_t close = marked.find(']');
  if (close != std::string::npos) marked[close] = kRangeEndMark;
  return StringConstIndex(marked);
}

std::string ShownRange(const std::string& argument) {
  std::string shown;
  for (char c : argument) {
    if (c == kRangeMark) {
      shown += "..";
    } else {
      shown += c;
    }
  }
  return shown;
}

// Appends the elements of a name holding ranges, the first range varying
// slowest (row order). False with an error set.
bool ExpandRangeName(const std::string& argument, const std::string& whole,
                     std::vector<std::string>& elements) {
  const size_t dots = argument.find(kRangeMark);
  if (dots == std::string::npos) {
    if (static_cast<int32_t>(elements.size()) >= kMaxRangeElements) {
      SetMessageArg(1, ShownRange(whole));
      SetMessageArg(2, std::to_string(kMaxRangeElements));
      CalcErrorCode = kMsgTooManyArguments;
      return false;
    }
    elements.push_back(argument);
    return true;
  }
  const std::string openers = std::string("[") + ArgumentSeparator;
  const std::string closers = std::string("]") + ArgumentSeparator;
  const size_t open = dots == 0 ? std::string::npos : argument.find_last_of(openers, dots - 1);
  const size_t close = argument.find_first_of(closers, dots + 1);
  if (open == std::string::npos || close == std::string::npos) {
    CalcErrorCode = kMsgIllegalSubscript;
    return false;
  }
  const int32_t saved = CalcErrorCode;
  const int64_t lo = EvalIndexExpression(argument.substr(open + 1, dots - open - 1), "");
  const int64_t hi = CalcErrorCode == saved ? EvalIndexExpression(argument.substr(dots + 1, close - dots - 1), "") : 0;
  if (CalcErrorCode != saved) {
    CalcErrorCode = kMsgIllegalSubscript;
    return false;
  }
  if (hi - lo + 1 > kMaxRangeElements) {
    SetMessageArg(1, ShownRange(whole));
    SetMessageArg(2, std::to_string(kMaxRangeElements));
    CalcErrorCode = kMsgTooManyArguments;
    return false;
  }
  const std::string before = argument.substr(0, open + 1);
  const std::string after = argument.substr(close);
  for (int64_t k = lo; k <= hi; ++k) {
    if (!ExpandRangeName(before + std::to_string(k) + after, whole, elements)) return false;
  }
  return true;
}

// Locals of the routine being compiled, for the operand compiler. Only the
// look-ups are here; creating a local is the body reader's.
class RoutineLocalsImpl final : public RoutineLocals {
 public:
  bool FindLocalVariable(const std::string& upperName, Extended& value) override {
    int32_t flag = 0;
    TLocalVariableRecord* found = nullptr;
    const int32_t savedError = CalcErrorCode;
    voq::FindLocalVariable(upperName, CompilingFunctionIndex, flag, value, &found);
    // The caller judges subscripts itself (481 is its answer too).
    CalcErrorCode = savedError;
    return found != nullptr;
  }
  int32_t FindOrAddLocalVariable(const std::string& /*name*/, int32_t /*position*/) override { return 0; }
  std::vector<std::string> ExpandRange(const std::string& name) override {
    std::string text;
    for (size_t k = 0; k < name.size(); ++k) {
      if (name[k] == '.' && k + 1 < name.size() && name[k + 1] == '.') {
        text += kRangeMark;
        ++k;
      } else {
        text += name[k];
      }
    }
    std::vector<std::string> elements;
    std::deque<std::string> pending;
    std::string element;
    int32_t code = 0;
    ExpandArrayRangeList(pending, element, text, code);
    if (CalcErrorCode > 0) return {};
    if (!element.empty()) elements.push_back(element);
    while (!pending.empty()) {
      elements.push_back(pending.front());
      pending.pop_front();
    }
    return elements;
  }
  void MarkUsesTableRun(int32_t routineSlot) override {
    if (TRoutineRecord* r = RoutineAt(routineSlot)) r->NeverReuse = 1;
  }
};

RoutineLocalsImpl routineLocals;
const RoutineNameSources kNoRoutineNames;
const RoutineNameSources* routineNames = &kNoRoutineNames;

}  // namespace

void ProcessFunctionStatement(std::string& /*statement*/, bool& /*handled*/) {}

void ProcessProcedureStatement(std::string& /*statement*/, bool& /*handled*/) {}

void ParseRoutineHeader(std::string& /*statement*/) {}

int32_t FindOrAllocateRoutineSlot(const std::string& /*upperName*/, bool& isNew) {
  isNew = false;
  return 0;
}

void CheckRoutineNameClash(const std::string& /*name*/, bool /*alsoRoutines*/) {}

TArgumentListRecord* NewArgumentList(int32_t kind, const std::string& name,
                                     TArgumentListRecord*& chainHead) {
  TArgumentListRecord* list = nullptr;
  try {
    list = new TArgumentListRecord();
    list->Name = CutName(name);
    list->Kind = kind;
    // Room for 50 codes at first: most calls have a handful.
    list->Codes.reserve(50);
  } catch (const std::bad_alloc&) {
    delete list;
    CalcErrorCode = kMsgStackError;
    return nullptr;
  }
  list->Next = chainHead;
  chainHead = list;
  return list;
}

void ExpandArrayRangeList(std::deque<std::string>& pending, std::string& name,
                          std::string& argumentText, int32_t& code) {
  name.clear();
  code = 0;
  if (!pending.empty()) {
    name = pending.front();
    pending.pop_front();
    code = -1;
    return;
  }
  // The argument ends at a separator outside parentheses and brackets, at a
  // ":" (inputs from outputs) outside brackets, or at the closing ")".
  int32_t depth = 0;
  int32_t brackets = 0;
  size_t end = argumentText.size();
  for (size_t k = 0; k < argumentText.size(); ++k) {
    const char c = argumentText[k];
    if (c == '(') {
      ++depth;
    } else if (c == ')') {
      if (depth == 0 && brackets == 0) {
        end = k;
        break;
      }
      --depth;
    } else if (c == '[') {
      ++brackets;
    } else if (c == ']') {
      --brackets;
    } else if (c == ':' && brackets == 0) {
      end = k;
      break;
    } else if (c == ArgumentSeparator && depth == 0 && brackets == 0) {
      end = k;
      break;
    }
  }
  std::string argument = CutName(argumentText.substr(0, end));
  argumentText = end < argumentText.size() ? argumentText.substr(end + 1) : std::string();
  if (argument.find(kRangeMark) == std::string::npos) {
    name = argument;
    return;
  }
  std::vector<std::string> elements;
  if (!ExpandRangeName(argument, argument, elements)) return;
  code = RangeTextCode(argument);
  if (elements.empty()) return;
  name = elements.front();
  pending.insert(pending.end(), elements.begin() + 1, elements.end());
}

void CheckRoutinesAfterReadingRoutines() {}

void BeginRoutineRead() {
  for (int32_t i = 1; i <= FunctionCount; ++i) {
    TRoutineRecord* r = RoutineAt(i);
    if (r == nullptr) continue;
    r->Defined = 0;
    r->Called = 0;
    r->Selected = {};
    r->CallCounter = 0;
  }
}

void EndRoutineRead() {
  for (int32_t i = 1; i <= FunctionCount; ++i) {
    TRoutineRecord* r = RoutineAt(i);
    if (r == nullptr) continue;
    DisposeLocalVarList(r->SavedCallLocals);
    r->LastCallReused = 0;
  }
}

void SetRoutineNameSources(const RoutineNameSources* sources) {
  routineNames = sources != nullptr ? sources : &kNoRoutineNames;
}

const RoutineNameSources& RoutineNames() { return *routineNames; }

RoutineLocals& RoutineLocalsStore() { return routineLocals; }

}  // namespace voq

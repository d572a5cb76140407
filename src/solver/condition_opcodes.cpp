#include "solver/condition_opcodes.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/number_format.h"
#include "core/number_text.h"
#include "core/string_constants.h"
#include "model/document_settings.h"
#include "model/routines.h"
#include "model/store_state.h"
#include "model/warnings_window.h"
#include "solver/evaluator_support.h"

namespace voq {
namespace {

constexpr int32_t kWarningKindAbove = 1;  // kind 1 is ERROR, 20 WARNING
constexpr int32_t kMessageFromStringVariable = -1;
constexpr int32_t kIfOperatorHelpContext = 150;
// Equality of IF conditions: |(Y - W) / (Y + W)| below this.
constexpr Extended kEqualityTolerance = 1E-10L;
// String values above this carry an offset of 20000 (string results of
// functions).
constexpr int32_t kStringIndexOffset = 20000;

// The text of string constant n, or "??" outside the table (without the
// table's own error: the message being built is the error here).
std::string StringTextOrUnknown(int32_t n) {
  if (n >= 1 && n <= static_cast<int32_t>(StringConstants.size())) return StringConstants[n - 1];
  return "??";
}

// The name of the routine (or unit) an ERROR without a message names.
std::string CallerName(int32_t r) {
  if (const TRoutineRecord* routine = RoutineAt(r)) {
    return (routine->OutputCount > 0 ? "PROCEDURE " : "FUNCTION ") + routine->Name;
  }
  if (CurrentProgramUnit != nullptr && CurrentProgramUnit != MainProgramUnit) {
    return (CurrentProgramUnit->IsSubprogram ? "SUBPROGRAM " : "MODULE ") + CurrentProgramUnit->Name;
  }
  return "the main program";
}

bool StopWithIfOperatorError() {
  SetCalcErrorWithHelp(kMsgIfOperator, kIfOperatorHelpContext);
  return false;
}

}  // namespace

std::string ExpandMessagePlaceholder(const std::string& text, Extended v) {
  std::string upper = text;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const size_t p = upper.find("XXX");
  if (p == std::string::npos) return text;
  const size_t size = text.size();
  auto at = [&](size_t i) { return i < size ? text[i] : '\0'; };
  size_t length = 3;
  std::string inserted;
  if (p + 3 < size) {
    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[p + 3])));
    if (c == 'F' || c == 'E' || c == 'A') {
      // XXXF2 takes five characters; XXXF alone (at the end or before a
      // blank) four.
      length = (p + 4 >= size || at(p + 4) == ' ') ? 4 : 5;
      TDisplayFormat format{kStyleAutomatic, 3};
      if (c == 'F') format.Style = kStyleFixed;
      if (c == 'E') format.Style = kStyleExponential;
      if (std::isdigit(static_cast<unsigned char>(at(p + 4)))) format.Digits = static_cast<int16_t>(at(p + 4) - '0');
      inserted = FormatValue(format, v);
    } else if (c == 'S' || c == '$') {
      length = (p + 4 < size && at(p + 4) != ' ') ? 5 : 4;
      int32_t n = StackInteger(v);
      if (v > kStringIndexOffset) n -= kStringIndexOffset;
      inserted = StringTextOrUnknown(n);
    }
  }
  std::string result = text.substr(0, p) + inserted + text.substr(std::min(size, p + length));
  if (result.size() > kMessageTextLength) result.resize(kMessageTextLength);
  return result;
}

bool ErrorWarningOpcode(TEvaluationState& s, int32_t /*opcode*/) {
  if (s.Height < 2) {
    CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
    return false;
  }
  CalcErrorCode = kMsgPreparedText;
  int32_t m = 0;
  Extended v = 0;
  // Above the kind, the message index and the value; without a value the
  // index is all there is (the assignment target lies below the kind).
  if (s.Height > 3) {
    m = StackInteger(s.Values[s.Height - 1]);
    v = s.Values[s.Height];
    s.Height -= 2;
  } else {
    m = StackInteger(s.Values[s.Height]);
    v = s.Values[s.Height];
    s.Height -= 1;
  }
  const bool warning = StackInteger(s.Values[s.Height]) > kWarningKindAbove;
  MessageText.clear();

  if (m == 0) {
    CalcErrorCode = kMsgParameterOutOfRange;
    SetMessageArg(1, RealToStr(TDisplayFormat{kStyleExponential, 4}, v));
    SetMessageArg(2, CallerName(s.RoutineSlot));
    MessageText = GetMessageText(kMsgParameterOutOfRange) + " ";
  } else if (m == kMessageFromStringVariable) {
    // The message is the text of the string variable given as the only
    // argument; there is no number to put into it.
    MessageText = StringTextOrUnknown(StackInteger(v));
  } else {
    MessageText = ExpandMessagePlaceholder(StringTextOrUnknown(m), v);
  }
  if (MessageText.size() > kMessageTextLength) MessageText.resize(kMessageTextLength);

  if (!warning) return false;
  const uint8_t displayWarnings = Preferences.WarningsB;
  AddWarning(MessageText);
  Preferences.WarningsB = displayWarnings;
  MessageText.clear();
  CalcErrorCode = 0;
  MessageHelpContext = 0;
  return true;
}

bool CompareOpcode(TEvaluationState& s, int32_t /*opcode*/) {
  if (s.Height < 3) return StopWithIfOperatorError();
  const int32_t code = StackInteger(s.Values[s.Height - 2]);
  const Extended w = s.Values[s.Height - 1];
  const Extended y = s.Values[s.Height];
  bool result = false;
  switch (code) {
    case 1: result = w < y; break;
    case 2: result = w > y; break;
    case 3: result = w <= y; break;
    case 4: result = w >= y; break;
    case 5:
    case 6: {
      Extended scale = y + w;
      if (scale == 0) scale = 1;
      const Extended relative = std::fabs((y - w) / scale);
      // At exactly the tolerance the operands are neither equal nor unequal.
      result = (code == 5) ? relative < kEqualityTolerance : relative > kEqualityTolerance;
      break;
    }
    case 7:
    case 8: {
      const int32_t a = StackInteger(w);
      const int32_t b = StackInteger(y);
      CheckLogicalOperands(a, b);
      if (CalcErrorCode > 0) return false;
      result = (code == 7) ? (a > 0 && b > 0) : (a > 0 || b > 0);
      break;
    }
    default:
      // The condition compiler writes only codes 1 to 8.
      return StopWithIfOperatorError();
  }
  s.Height -= 2;
  s.Values[s.Height] = result ? 1 : 0;
  return true;
}

}  // namespace voq

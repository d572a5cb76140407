#include "core/string_constants.h"

#include <cmath>
#include <utility>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/text_utils.h"

namespace voq {

namespace {

constexpr size_t kVariableNameLength = 30;

StringVariableReader& VariableReader() {
  static StringVariableReader reader;
  return reader;
}

}  // namespace

std::vector<std::string> StringConstants{"??"};

void ResetStringConstants() { StringConstants.assign(1, "??"); }

void StringConstText(int32_t n, std::string& text) {
  if (n < 1 || static_cast<size_t>(n) > StringConstants.size()) {
    text = "??";
    CalcErrorCode = kMsgStringIndexRange;
    MessageText = GetMessageText(kMsgStringIndexRange);
    return;
  }
  text = StringConstants[static_cast<size_t>(n) - 1];
}

std::string StringConstText(int32_t n) {
  std::string text;
  StringConstText(n, text);
  return text;
}

int32_t StringConstIndex(const std::string& text) {
  std::string entry = text;
  if (entry.size() >= 2 && entry.front() == '\'' && entry.back() == '\'') {
    entry = entry.substr(1, entry.size() - 2);
  }
  if (entry.size() > kStringConstantLength) entry.resize(kStringConstantLength);
  for (size_t i = 0; i < StringConstants.size(); ++i) {
    if (SameTextNoCase(StringConstants[i], entry)) {
      StringConstants[i] = entry;
      return static_cast<int32_t>(i + 1);
    }
  }
  StringConstants.push_back(std::move(entry));
  return static_cast<int32_t>(StringConstants.size());
}

void SetStringVariableReader(StringVariableReader reader) { VariableReader() = std::move(reader); }

void StringVarText(const std::string& name, int32_t routineSlot, std::string& text) {
  text = name.substr(0, kVariableNameLength);
  if (text.size() < 2 || text.back() != '$') return;
  Extended value = 0;
  if (!VariableReader() || !VariableReader()(text, routineSlot, value)) return;
  if (!std::isfinite(value)) return;
  const Extended k = std::nearbyint(value);
  // Index 1 ("??", never set) shows the name.
  if (k >= 2 && k - 1 < static_cast<Extended>(StringConstants.size())) {
    text = StringConstants[static_cast<size_t>(k) - 1].substr(0, kVariableNameLength);
  }
}

}  // namespace voq

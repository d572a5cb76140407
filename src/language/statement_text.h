#pragma once
// A statement's text as the reader walks it: positions count from 1, and a
// replacement keeps the statement within its length limit.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "core/calc_state.h"
#include "core/message_ids.h"

namespace voq {

inline int32_t Length(const std::string& text) { return static_cast<int32_t>(text.size()); }

// The character at position p (1-based).
inline char At(const std::string& text, int32_t p) { return text[static_cast<size_t>(p) - 1]; }

// Characters from..to (1-based, both included).
inline std::string Slice(const std::string& text, int32_t from, int32_t to) {
  if (to < from) return "";
  return text.substr(static_cast<size_t>(from) - 1, static_cast<size_t>(to - from + 1));
}

// Replaces characters from..to by s when the statement keeps its limit;
// otherwise text stays as it was and the error is kMsgStatementTooLong.
inline bool ReplaceRange(std::string& text, int32_t maxLength, int32_t from, int32_t to, const std::string& s) {
  std::string result = text.substr(0, static_cast<size_t>(from) - 1) + s + text.substr(static_cast<size_t>(to));
  if (Length(result) > maxLength) {
    CalcErrorCode = kMsgStatementTooLong;
    return false;
  }
  text = std::move(result);
  return true;
}

}  // namespace voq

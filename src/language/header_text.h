#pragma once
// The text of MODULE, SUBPROGRAM, FUNCTION and PROCEDURE headers and of the
// argument lists of their calls: blanks, header keywords, the ".." of a
// range, which is marked while a list is counted or taken apart, and the ":"
// before a CALL's outputs.
#include <cstddef>
#include <cstdint>
#include <string>

namespace voq {

inline bool IsBlankChar(char c) { return c == ' ' || c == '\t'; }

inline std::string WithoutBlanks(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (!IsBlankChar(c)) out += c;
  }
  return out;
}

// A header keyword is a word of its own: "FunctionValue = 3" names a
// variable.
inline bool StartsWithKeyword(const std::string& upper, const std::string& keyword) {
  return upper.starts_with(keyword) && upper.size() > keyword.size() && IsBlankChar(upper[keyword.size()]);
}

// ".." of a range while an argument list is taken apart: a single byte, so a
// range cannot be confused with a decimal point or split by the scan.
inline constexpr char kRangeMark = static_cast<char>(255);

inline void MarkRanges(std::string& text) {
  for (size_t k = 0; k + 1 < text.size(); ++k) {
    if (text[k] == '.' && text[k + 1] == '.') text.replace(k, 2, 1, kRangeMark);
  }
}

inline void UnmarkRanges(std::string& text) {
  for (size_t k = 0; k < text.size(); ++k) {
    if (text[k] == kRangeMark) {
      text.replace(k, 1, "..");
      ++k;
    }
  }
}

// Position (1-based) of the ":" that divides a CALL's inputs from its
// outputs: the first one outside quotes and square brackets; 0 when there is
// none.
inline int32_t CallOutputColon(const std::string& call) {
  bool quoted = false;
  int32_t brackets = 0;
  for (size_t k = 0; k < call.size(); ++k) {
    const char c = call[k];
    if (c == '\'') {
      quoted = !quoted;
    } else if (quoted) {
      continue;
    } else if (c == '[') {
      ++brackets;
    } else if (c == ']') {
      --brackets;
    } else if (c == ':' && brackets == 0) {
      return static_cast<int32_t>(k) + 1;
    }
  }
  return 0;
}

}  // namespace voq

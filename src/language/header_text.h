#pragma once
// The text of MODULE, SUBPROGRAM, FUNCTION and PROCEDURE headers and of the
// argument lists of their calls: blanks, header keywords, and the ".." of a
// range, which is marked while a list is counted or taken apart.
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

}  // namespace voq

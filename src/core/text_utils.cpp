#include "core/text_utils.h"

#include <algorithm>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "platform/host.h"

namespace voq {

namespace {

// Bound on ReplaceAllShort's re-searching: text stays within maxLength, so a
// pair that keeps producing new matches must not loop without end.
constexpr int32_t kMaxShortReplacements = 65536;

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

void CutTo(std::string& text, int32_t maxLength) {
  if (maxLength < 0) maxLength = 0;
  if (text.size() > static_cast<size_t>(maxLength)) text.resize(static_cast<size_t>(maxLength));
}

}  // namespace

std::string UpperCaseText(const std::string& text) {
  std::string result = text;
  for (char& c : result) c = UpperAscii(c);
  return result;
}

std::string LowerCaseText(const std::string& text) {
  std::string result = text;
  for (char& c : result) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return result;
}

bool SameTextNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  }
  return true;
}

void TrimShort(std::string& text, int32_t maxLength) {
  size_t first = 0;
  while (first < text.size() && IsBlankOrControl(text[first])) ++first;
  size_t last = text.size();
  while (last > first && IsBlankOrControl(text[last - 1])) --last;
  text = text.substr(first, last - first);
  CutTo(text, maxLength);
}

void RemoveBlanks(std::string& text) { std::erase(text, ' '); }

void ReplaceAllShort(const std::string& find, const std::string& replacement, std::string& text,
                     int32_t maxLength) {
  if (find.empty()) return;
  if (replacement.find(find) != std::string::npos) {
    // Single pass: searching again from the start would find the replacement.
    std::string result;
    size_t from = 0;
    for (size_t at = text.find(find); at != std::string::npos; at = text.find(find, from)) {
      result.append(text, from, at - from);
      result += replacement;
      from = at + find.size();
    }
    result.append(text, from, std::string::npos);
    text = std::move(result);
    CutTo(text, maxLength);
    return;
  }
  for (int32_t count = 0; count < kMaxShortReplacements; ++count) {
    size_t at = text.find(find);
    if (at == std::string::npos) break;
    text.replace(at, find.size(), replacement);
    CutTo(text, maxLength);
  }
  CutTo(text, maxLength);
}

std::string ReplaceAllText(const std::string& find, const std::string& replacement,
                           const std::string& text) {
  if (find.empty()) return text;
  const std::string upperText = UpperCaseText(text);
  const std::string upperFind = UpperCaseText(find);
  std::string result;
  size_t from = 0;
  for (size_t at = upperText.find(upperFind); at != std::string::npos;
       at = upperText.find(upperFind, from)) {
    result.append(text, from, at - from);
    result += replacement;
    from = at + find.size();
  }
  result.append(text, from, std::string::npos);
  return result;
}

std::string StripQuotes(const std::string& text) {
  if (!text.empty() && text.front() == '\'' && text.back() == '\'') {
    return text.size() >= 2 ? text.substr(1, text.size() - 2) : std::string();
  }
  return text;
}

void RemoveQuoteChars(std::string& text) {
  const size_t quotes = static_cast<size_t>(std::erase(text, '\''));
  if (quotes != 0 && quotes != 2) {
    MessageArgs[1] = "";
    CalcErrorCode = kMsgUnmatchedQuotes;
  }
}

bool ProtectQuotedSpaces(std::string& text, int32_t pos) {
  if (pos < 1 || static_cast<size_t>(pos) > text.size()) return false;
  // A quote itself is not between quotes.
  if (text[static_cast<size_t>(pos) - 1] == '\'') return false;
  bool inside = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const size_t position = i + 1;
    if (text[i] == '\'') {
      if (inside && position > static_cast<size_t>(pos)) {
        // The closing quote of the pair that opened before pos.
        text[static_cast<size_t>(pos) - 1] = kProtectedSpace;
        return true;
      }
      inside = !inside;
      continue;
    }
    if (position >= static_cast<size_t>(pos) && !inside) return false;
  }
  return false;
}

void SplitFirstToken(std::string& line, std::string& token) {
  token.clear();
  size_t first = 0;
  while (first < line.size() && IsBlankOrControl(line[first])) ++first;
  line.erase(0, first);

  int depth = 0;
  bool inQuote = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '\'') {
      inQuote = !inQuote;
    } else if (c == '[') {
      ++depth;
    } else if (c == ']') {
      --depth;
    } else if (depth == 0 && !inQuote &&
               (c == '\t' || c == '\n' || c == ' ' || c == '=' || c == ArgumentSeparator)) {
      token = line.substr(0, i);
      while (!token.empty() && token.back() == ' ') token.pop_back();
      CutTo(token, kShortTextLength);
      size_t rest = i + 1;
      while (rest < line.size() && line[rest] == ' ') ++rest;
      line.erase(0, rest);
      return;
    }
  }
  token = line;
  line.clear();
}

bool CopyTextToClipboard(const std::string& text) {
  if (text.empty()) return false;
  return Platform().SetClipboardText(text);
}

}  // namespace voq

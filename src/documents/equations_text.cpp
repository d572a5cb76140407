#include "documents/equations_text.h"

#include <cctype>
#include <cstring>

#include "core/locale_settings.h"
#include "documents/document_files.h"
#include "platform/host.h"

namespace voq {

std::string EquationsTextBytes(const std::string& text) {
  std::string bytes = "{$DS";
  bytes += DecimalSeparator;
  bytes += '}';
  bytes += text;
  bytes += '\0';
  return bytes;
}

bool WriteEquationsText(const std::string& fileName) {
  const std::string bytes = EquationsTextBytes(Equations().GetText());
  TCheckedFileWriter writer(fileName);
  if (!writer.Open()) return false;
  // The directive, the text and the zero byte are three blocks, each checked.
  const size_t text = bytes.size() - 7;
  if (!writer.Write(bytes.data(), 6) || !writer.Write(bytes.data() + 6, text) ||
      !writer.Write(bytes.data() + 6 + text, 1)) {
    return false;
  }
  return writer.Commit();
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The characters that may stand before the separator of a number.
bool MayPrecedeNumberSeparator(char c) {
  return IsDigit(c) || std::strchr("(=+-*/^};: ", c) != nullptr;
}

bool MayFollowNumberSeparator(char c) { return IsDigit(c) || c == 'E' || c == 'e'; }

}  // namespace

void ConvertDecimalSeparator(std::string& text, char systemSeparator, char statementSeparator) {
  const bool toComma = systemSeparator == ',';
  int commentDepth = 0;
  int parenDepth = 0;
  bool doubleQuote = false;
  bool singleQuote = false;
  bool directive = false;
  const size_t n = text.size();
  for (size_t i = 0; i < n; ++i) {
    const char c = text[i];
    switch (c) {
      case '\0':
      case '\r':
        directive = false;
        break;
      case '"':
        if (commentDepth == 0) doubleQuote = !doubleQuote;
        break;
      case '\'':
        if (!doubleQuote && commentDepth == 0) singleQuote = !singleQuote;
        break;
      case '$':
        if (i == 0) {
          // Under the comma, $INTEGRALTABLE and its kind take numbers that
          // must be converted like an equation's.
          const bool integral = toComma && n >= 4 && std::toupper(uint8_t(text[1])) == 'I' &&
                                std::toupper(uint8_t(text[2])) == 'N' && std::toupper(uint8_t(text[3])) == 'T';
          if (!integral) directive = true;
        }
        break;
      case '{':
        if (toComma || !doubleQuote) ++commentDepth;
        break;
      case '}':
        if ((toComma || !doubleQuote) && commentDepth > 0) --commentDepth;
        break;
      case '(':
        if (!toComma && commentDepth == 0 && !doubleQuote && !singleQuote) ++parenDepth;
        break;
      case ')':
        if (!toComma && commentDepth == 0 && !doubleQuote && !singleQuote && parenDepth > 0) --parenDepth;
        break;
      default:
        break;
    }
    if (commentDepth > 0 || doubleQuote || singleQuote || directive) continue;
    const bool hasNext = i + 1 < n;
    const char next = hasNext ? text[i + 1] : '\0';
    const bool numberContext =
        (i == 0 || MayPrecedeNumberSeparator(text[i - 1])) && (!hasNext || MayFollowNumberSeparator(next));
    if (toComma) {
      if (c == ',') {
        text[i] = ';';
      } else if (c == ';') {
        text[i] = statementSeparator;
      } else if (c == '.' && numberContext) {
        text[i] = ',';
      }
    } else {
      if (c == ';') {
        text[i] = ',';
      } else if (c == ':' && parenDepth == 0 && next != '=') {
        text[i] = statementSeparator;
      } else if (c == ',' && numberContext) {
        text[i] = '.';
      }
    }
  }
}

}  // namespace voq

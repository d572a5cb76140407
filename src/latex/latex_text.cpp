#include "latex/latex_text.h"

#include <algorithm>

#include "core/locale_settings.h"
#include "language/statement_preparation.h"

namespace voq {

namespace {


bool InSet(const std::string& set, char c) { return set.find(c) != std::string::npos; }

std::string Delimiter(bool math) { return math ? std::string() : std::string("$"); }

std::string LowerAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The index of the bracket that closes the one at open, nested brackets
// counted; npos when it is never closed.
size_t MatchingClose(const std::string& text, size_t open, char openChar, char closeChar) {
  int depth = 0;
  for (size_t i = open; i < text.size(); ++i) {
    if (text[i] == openChar) {
      ++depth;
    } else if (text[i] == closeChar) {
      if (--depth == 0) return i;
    }
  }
  return std::string::npos;
}

}  // namespace

const std::string LatexNameSeparators = std::string(" =+-*/^{}(),:;[]") + kMarkNegate + "\r\"";
const std::string LatexOperatorSeparators = std::string(" =+-*/^,:;") + kMarkNegate + "\r\"";

const std::array<TGreekLetterEntry, 26> GreekLetterTable = {{
    {"ALPHA", false}, {"BETA", false},   {"CHI", false},   {"DELTA", true},  {"EPSILON", false},
    {"PHI", true},    {"GAMMA", true},   {"ETA", false},   {"IOTA", false},  {"JTHETA", true},
    {"KAPPA", false}, {"LAMBDA", true},  {"MU", false},    {"NU", false},    {"", false},
    {"PI", true},     {"THETA", true},   {"RHO", false},   {"SIGMA", true},  {"TAU", false},
    {"UPSILON", false}, {"", false},     {"OMEGA", true},  {"XI", true},     {"PSI", true},
    {"ZETA", false},
}};

char LatexUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

void LatexReplaceChar(std::string& text, char from, const std::string& to) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == from) {
      out += to;
    } else {
      out.push_back(c);
    }
  }
  text.swap(out);
}

size_t LatexFindNoCase(const std::string& text, const std::string& upperPattern, size_t from) {
  if (upperPattern.empty() || text.size() < upperPattern.size()) return std::string::npos;
  for (size_t p = from; p + upperPattern.size() <= text.size(); ++p) {
    size_t k = 0;
    while (k < upperPattern.size() && LatexUpper(text[p + k]) == upperPattern[k]) ++k;
    if (k == upperPattern.size()) return p;
  }
  return std::string::npos;
}

void LatexTrimRight(std::string& text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
}

void LatexProtectSpecials(std::string& text, bool protect) {
  static const std::string specials = "$%#&{}";
  if (protect) {
    for (char& c : text) {
      const size_t k = specials.find(c);
      if (k != std::string::npos) c = static_cast<char>(kLatexDollar + k);
    }
    // A trailing "&" continues the equation on the next line; the line
    // translation looks for it as typed.
    if (!text.empty() && text.back() == kLatexAmpersand) text.back() = '&';
    return;
  }
  std::string out;
  out.reserve(text.size() + 8);
  for (char c : text) {
    if (c >= kLatexDollar && c <= kLatexCloseBrace) {
      out.push_back('\\');
      out.push_back(specials[static_cast<size_t>(c - kLatexDollar)]);
    } else {
      out.push_back(c);
    }
  }
  text.swap(out);
}

void LatexStringLiterals(std::string& text, bool extract, std::vector<std::string>& literals) {
  if (extract) {
    for (;;) {
      const size_t open = text.find('\'');
      if (open == std::string::npos) return;
      const size_t close = text.find('\'', open + 1);
      if (close == std::string::npos) return;
      literals.push_back(text.substr(open + 1, close - open - 1));
      text.replace(open, close - open + 1, 1, kLatexLiteral);
    }
  }
  if (literals.empty()) return;
  size_t next = 0;
  for (;;) {
    const size_t at = text.find(kLatexLiteral);
    if (at == std::string::npos || next >= literals.size()) break;
    std::string literal;
    for (char c : literals[next++]) {
      switch (c) {
        case '%': literal += "\\%"; break;
        case '#': literal += "\\#"; break;
        case '^': literal += "\\^"; break;
        case '_': literal += "\\_"; break;
        case '&': literal += "\\&"; break;
        case '$': literal += "\\$"; break;
        case '|': break;
        default: literal.push_back(c);
      }
    }
    text.replace(at, 1, "\\SC{" + literal + "}");
  }
  literals.clear();
}

void LatexGreekLetters(std::string& text, bool math) {
  const std::string separators = LatexNameSeparators + "_\\";
  const std::string delim = Delimiter(math);
  // GAMMA_ is the language's gamma function: typeset it as the capital
  // Greek letter.
  const size_t gammaFunction = LatexFindNoCase(text, "GAMMA_");
  if (gammaFunction != std::string::npos) text.replace(gammaFunction, 6, "GAMMA");

  for (const TGreekLetterEntry& entry : GreekLetterTable) {
    const std::string name = entry.Name;
    if (name.empty()) continue;
    const bool isDelta = name == "DELTA";
    // The search resumes behind each occurrence it looked at, so the
    // command it wrote (which holds the name in lower case) is never taken
    // for the name again.
    size_t from = 0;
    for (;;) {
      const size_t p = LatexFindNoCase(text, name, from);
      if (p == std::string::npos) break;
      const size_t end = p + name.size();
      const bool startOk = p == 0 || InSet(separators, text[p - 1]);
      const bool endOk = end == text.size() || InSet(separators, text[end]) || isDelta;
      if (!startOk || !endOk) {
        from = p + 1;
        continue;
      }
      const std::string typed = text.substr(p, name.size());
      const bool typedUpper = typed == name;
      std::string command = "\\";
      if (typedUpper && entry.Capital) {
        command += name[0];
        command += LowerAscii(name.substr(1));
      } else {
        command += LowerAscii(name);
      }
      std::string replacement;
      size_t replacedEnd = end;
      if (isDelta) {
        // DELTAT is the difference of T: the letter takes the rest of the
        // word with it.
        size_t stop = end;
        while (stop < text.size() && !InSet(separators, text[stop])) ++stop;
        const std::string rest = text.substr(end, stop - end);
        if (stop == text.size() && !rest.empty()) {
          replacement = delim + command + " " + rest + delim;
        } else {
          replacement = delim + "{" + command + " " + rest + "}" + delim;
        }
        replacedEnd = stop;
      } else {
        replacement = delim + command + delim;
      }
      text.replace(p, replacedEnd - p, replacement);
      from = p + replacement.size();
    }
  }
}

void LatexAccents(std::string& text, const std::string& suffix, const std::string& command, bool math) {
  if (suffix.empty()) return;
  const std::string delim = Delimiter(math);
  const std::string separators = LatexNameSeparators + delim;
  std::string upperSuffix;
  for (char c : suffix) upperSuffix.push_back(LatexUpper(c));
  for (;;) {
    const size_t at = LatexFindNoCase(text, upperSuffix);
    if (at == std::string::npos) return;
    size_t start = at;
    while (start > 0 && !InSet(separators, text[start - 1])) --start;
    const std::string word = text.substr(start, at - start);
    text.replace(start, at + suffix.size() - start, delim + command + "{" + word + "}" + delim);
  }
}

void LatexSuperscripts(std::string& text, bool math, bool named) {
  const char marker = named ? '|' : '^';
  const std::string delim = Delimiter(math);
  for (;;) {
    const size_t m = text.find(marker);
    if (m == std::string::npos) break;
    int paren = 0;
    int bracket = 0;
    int brace = 0;
    size_t stop = m + 1;
    for (; stop < text.size(); ++stop) {
      const char c = text[stop];
      if ((InSet(LatexOperatorSeparators, c) || static_cast<unsigned char>(c) < 32) && paren == 0) break;
      if (named && (c == '_' || c == '\\' || c == '[')) break;
      if (c == '(') ++paren;
      if (c == ')') --paren;
      if (c == '[') ++bracket;
      if (c == ']') --bracket;
      if (c == '{') ++brace;
      if (c == '}') --brace;
      if (paren < 0 || bracket < 0 || brace < 0) break;
    }
    std::string exponent = text.substr(m + 1, stop - m - 1);
    if (!exponent.empty() && exponent.back() == '\\') {
      exponent.pop_back();
      --stop;
    }
    if (exponent.size() >= 2 && exponent.front() == '(' && exponent.back() == ')') {
      exponent = exponent.substr(1, exponent.size() - 2);
    }
    text.replace(m, stop - m, delim + kLatexItemMark + "{" + exponent + "}" + delim);
  }
  std::replace(text.begin(), text.end(), kLatexItemMark, '^');
}

void LatexSubscripts(std::string& text, bool math) {
  const std::string delim = Delimiter(math);
  const std::string stopSet = std::string(" =+-*/^(){},:;") + kMarkNegate + "\r\"\\" + delim;
  // "_ " is no subscript: both characters go.
  for (size_t at = text.find("_ "); at != std::string::npos; at = text.find("_ ", at)) text.erase(at, 2);

  int open = 0;
  int depth = 0;
  size_t i = 0;
  while (i < text.size()) {
    if (open > 0 && depth == 0 && InSet(stopSet, text[i])) {
      text.insert(i, "}" + delim);
      i += 1 + delim.size();
      open = 0;
    }
    const char c = text[i];
    if (c == '_') {
      ++open;
      if (LatexFindNoCase(text, "INFINITY", i + 1) == i + 1) text.replace(i + 1, 8, 1, kLatexInfinity);
      if (open >= 2) {
        text[i] = kLatexSubscriptComma;
      } else {
        text.insert(i + 1, "{");
        if (!math) {
          text.insert(i, "$");
          ++i;
        }
        ++i;
      }
    } else if (c == '[' && open > 0) {
      ++depth;
      text[i] = kLatexSubscriptComma;
    } else if (c == ']' && open > 0) {
      text.erase(i, 1);
      --depth;
      continue;
    }
    ++i;
  }
  if (open > 0) text += "}" + delim;
}

void LatexArrayIndices(std::string& text) {
  EnsureScannerCharacterSets();
  bool changed = true;
  while (changed) {
    changed = false;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\'') quoted = !quoted;
      if (quoted || text[i] != '[') continue;
      const size_t close = MatchingClose(text, i, '[', ']');
      if (close == std::string::npos) continue;
      if (i >= 2 && text[i - 1] == '}' && InSet(DigitChars, text[i - 2])) {
        // A second index of x[1][2], which the first rewrite turned into
        // x_{1}[2]: both indices go into one subscript, x_{1,2}.
        const std::string index = text.substr(i + 1, close - i - 1);
        text.erase(i, close - i + 1);
        text.insert(i - 1, std::string(1, ArgumentSeparator) + index);
      } else {
        text[close] = '}';
        text.replace(i, 1, "_{");
      }
      changed = true;
      break;
    }
  }
  std::replace(text.begin(), text.end(), kLatexBracket, '[');
}

void LatexExponents(std::string& text, bool boxed) {
  EnsureScannerCharacterSets();
  std::string pending;
  for (int round = 0; round < 26; ++round) {
    size_t e = std::string::npos;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == 'E' || text[i] == 'e') {
        e = i;
        break;
      }
    }
    if (e == std::string::npos) break;
    size_t start = e;
    while (start > 0 && !InSet(TokenSeparators, text[start - 1])) --start;
    bool number = start < e;
    for (size_t k = start; k < e && number; ++k) number = InSet(DigitChars, text[k]);
    if (!number) {
      pending.push_back(text[e]);
      text[e] = kLatexItemMark;
      continue;
    }
    size_t end = e + 1;
    if (end < text.size() && (InSet(DigitChars, text[end]) || text[end] == '+' || text[end] == '-')) {
      ++end;
      while (end < text.size() && InSet(DigitChars, text[end])) ++end;
    }
    std::string exponent = text.substr(e + 1, end - e - 1);
    if (boxed) {
      // A table cell shows the number as typed: only the E is set upright.
      text.replace(e, end - e, std::string("\\mbox{") + kLatexItemMark + exponent + "}");
      pending.push_back('E');
      continue;
    }
    if (!exponent.empty() && exponent[0] == '+') exponent.erase(0, 1);
    if (!exponent.empty() && exponent[0] == '+') exponent.erase(0, 1);
    if (exponent.compare(0, 2, "-0") == 0) exponent.erase(1, 1);
    if (!exponent.empty() && exponent[0] == '0') exponent.erase(0, 1);
    text.replace(e, end - e, "\\times 10^{" + exponent + "}");
  }
  size_t next = 0;
  for (char& c : text) {
    if (c != kLatexItemMark) continue;
    c = next < pending.size() ? pending[next++] : 'E';
  }
}

void LatexRingA(std::string& text, bool math) {
  LatexReplaceChar(text, static_cast<char>(0xE5), math ? "\\mbox{\\aa}" : "\\aa");
}

void LatexItalicNames(std::string& text) {
  EnsureScannerCharacterSets();
  const std::string stopSet = TokenSeparators + "\\_";
  text.push_back(' ');
  size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '{') {
      // The numerator of \frac is walked into; any other brace group is
      // already LaTeX and is passed whole.
      if (i >= 6 && text.compare(i - 6, 5, "\\frac") == 0) {
        ++i;
        continue;
      }
      const size_t close = MatchingClose(text, i, '{', '}');
      i = close == std::string::npos ? text.size() : close + 1;
      continue;
    }
    if (c == '\\') {
      if (text.compare(i, 4, "\\SC{") == 0) {
        const size_t close = MatchingClose(text, i + 3, '{', '}');
        i = close == std::string::npos ? text.size() : close + 1;
        continue;
      }
      const size_t blank = text.find(' ', i);
      i = blank == std::string::npos ? text.size() : blank;
      continue;
    }
    if (IsAsciiLetter(c)) {
      size_t end = i;
      while (end < text.size() && !InSet(stopSet, text[end])) ++end;
      const bool wrap = end - i >= 2 && (end >= text.size() || text[end] != '\\') &&
                        (i == 0 || text[i - 1] != '\\');
      if (wrap) {
        const std::string word = text.substr(i, end - i);
        const std::string wrapped = "\\V{" + word + "} ";
        text.replace(i, end - i, wrapped);
        i += wrapped.size();
      } else {
        i = end;
      }
      continue;
    }
    ++i;
  }
  text.pop_back();
}

void LatexEscapeCaption(std::string& text) {
  if (text.size() > 255) text.resize(255);
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '&') {
      out += "\\&";
    } else if (c == '_') {
      size_t end = text.find(' ', i);
      if (end == std::string::npos) end = text.size();
      out += "{$" + text.substr(i, end - i) + "$}";
      i = end - 1;
    } else {
      out.push_back(c);
    }
  }
  text.swap(out);
}

std::string LatexColourName(int32_t index) {
  static const char* const names[] = {"black", "blue",  "red",  "green", "purple", "brown",
                                      "yellow", "green", "olive", "cyan", "gray",   "fuchsia",
                                      "navy",  "teal",  "silver", "orange", "white"};
  return index >= 0 && index <= 16 ? names[index] : "black";
}

std::string LatexHighlightColour(int32_t index) {
  static const char* const names[] = {"white", "yellow", "silver", "teal",  "aqua",
                                      "fuchsia", "red",  "green",  "olive", "navy"};
  return index >= 0 && index <= 9 ? names[index] : "white";
}

std::string LatexCellColour(int32_t index) {
  static const char* const names[] = {"white", "aqua", "gray", "yellow", "teal", "fuchsia", "lime", "buff"};
  return index >= 0 && index <= 7 ? names[index] : "white";
}

bool IsGreekName(const std::string& text) {
  std::string upper;
  for (char c : text) upper.push_back(LatexUpper(c));
  for (const TGreekLetterEntry& entry : GreekLetterTable) {
    if (entry.Name[0] != '\0' && upper == entry.Name) return true;
  }
  return false;
}

}  // namespace voq

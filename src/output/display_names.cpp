#include "output/display_names.h"

#include <array>
#include <cctype>
#include <cstdlib>

#include "language/statement_preparation.h"
#include "model/display_fonts.h"
#include "model/document_settings.h"
#include "model/store_state.h"
#include "model/program_units.h"

namespace voq {

namespace {

// The Greek letters by their place in the Symbol font's alphabet (A = 1):
// the Symbol font draws letter row + 96 as the small and row + 64 as the
// capital form. Empty rows have no Greek name.
struct TGreekRow {
  const char* Name;
  bool HasCapital;
};
constexpr std::array<TGreekRow, 28> kGreekRows = {{
    {"", false},         {"ALPHA", false},  {"BETA", false},   {"CHI", false},
    {"DELTA", true},     {"EPSILON", false}, {"PHI", true},    {"GAMMA", true},
    {"ETA", false},      {"IOTA", false},   {"JTHETA", true},  {"KAPPA", false},
    {"LAMBDA", true},    {"MU", false},     {"NU", false},     {"", false},
    {"", false},         {"THETA", true},   {"RHO", false},    {"SIGMA", true},
    {"TAU", false},      {"UPSILON", false}, {"", false},      {"OMEGA", true},
    {"XI", true},        {"PSI", true},     {"ZETA", false},   {"", false},
}};

std::string Upper(const std::string& s) {
  std::string u = s;
  for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return u;
}

bool StartsWithNoCase(const std::string& s, const char* prefix) {
  const std::string p(prefix);
  return s.size() >= p.size() && Upper(s.substr(0, p.size())) == p;
}

bool IsAllCapitals(const std::string& s) {
  for (char c : s) {
    if (std::islower(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

// The accent and sign suffixes and the markup each becomes.
struct TAccent {
  const char* Suffix;
  const char* Markup;
};
constexpr std::array<TAccent, 5> kAccents = {{
    {"_DOT", "\\."}, {"_BAR", "\\_"}, {"_HAT", "\\^"}, {"|STAR", "*"}, {"|PLUS", "|+"},
}};

// The Greek row of an upper-cased name, 0 when it names no Greek letter.
int32_t GreekRow(const std::string& upper) {
  if (upper.empty()) return 0;
  int32_t row = 0;
  if (upper == "ETA") {
    row = 8;
  } else if (upper == "OMEGA") {
    row = 23;
  } else if (upper == "PHI") {
    row = 6;
  } else if (upper == "PSI") {
    row = 25;
  } else if (upper == "THETA") {
    row = 17;
  } else if (upper[0] >= 'A' && upper[0] <= 'Z') {
    row = upper[0] - 'A' + 1;
  }
  if (row < 1 || row > 27) return 0;
  return upper == kGreekRows[static_cast<size_t>(row)].Name ? row : 0;
}

}  // namespace

void DisplayVarName(std::string& name, int32_t maxLength, bool& symbolFirst) {
  symbolFirst = false;
  if (Preferences.ShowSubscripts == 0) return;
  std::string base;
  std::string suffix;
  const size_t firstUnderscore = name.find('_');
  if (StartsWithNoCase(name, "DELTA") && firstUnderscore != 5) {
    // A DELTA name joins its letter to the rest without a subscript.
    suffix = "_@" + name.substr(5);
    base = name.substr(0, 5);
  } else {
    const size_t split = name.find_first_of("_|");
    if (split == std::string::npos) {
      base = name;
    } else {
      base = name.substr(0, split);
      suffix = name.substr(split);
    }
    if (StartsWithNoCase(suffix, "_INFINITY")) {
      name = base + "_" + kSymbolInfinity + suffix.substr(9);
      if (maxLength >= 0 && name.size() > static_cast<size_t>(maxLength)) name.resize(static_cast<size_t>(maxLength));
      return;
    }
    for (const TAccent& accent : kAccents) {
      const size_t n = std::char_traits<char>::length(accent.Suffix);
      if (!StartsWithNoCase(suffix, accent.Suffix)) continue;
      if (suffix.size() == n || suffix[n] == '_' || IsTokenSeparator(suffix[n])) {
        suffix = accent.Markup + suffix.substr(n);
      }
      break;
    }
  }
  if (!base.empty() && base[0] == kSymbolInfinity) {
    symbolFirst = true;
  } else {
    const std::string upper = Upper(base);
    const int32_t row = GreekRow(upper);
    if (row > 0) {
      symbolFirst = true;
      const bool capital = kGreekRows[static_cast<size_t>(row)].HasCapital && IsAllCapitals(base);
      base = std::string(1, static_cast<char>(row + (capital ? 64 : 96)));
    }
  }
  name = base + suffix;
  if (maxLength >= 0 && name.size() > static_cast<size_t>(maxLength)) name.resize(static_cast<size_t>(maxLength));
}

std::string DisplayVarName(const std::string& name, int32_t maxLength, bool* symbolFirst) {
  std::string text = name;
  bool greek = false;
  DisplayVarName(text, maxLength, greek);
  if (symbolFirst != nullptr) *symbolFirst = greek;
  return text;
}

int32_t DisplayNameWidth(const std::string& name) {
  if (Preferences.ShowSubscripts == 0) return static_cast<int32_t>(name.size()) * ScreenCharWidth;
  if (name.empty()) return 0;
  int32_t count = 1;
  bool inQuotes = false;
  size_t i = 1;
  while (i < name.size()) {
    const char c = name[i];
    if (c == '\'') {
      inQuotes = !inQuotes;
      ++count;
      ++i;
    } else if (c == '_' && !inQuotes) {
      // The "_" and the character after it are markup; after ".", "@",
      // "\" or "_" one more character belongs to the marker.
      ++i;
      if (i < name.size()) {
        const char next = name[i];
        ++i;
        if (next == '.' || next == '@' || next == '\\' || next == '_') ++i;
      }
    } else {
      ++count;
      ++i;
    }
  }
  return count * ScreenCharWidth;
}

void QualifyModuleVarName(const std::string& name, std::string& text) {
  std::string source = name.substr(0, 30);
  text = source;
  if (source.empty() || source[0] != '@') return;
  const std::string after = source.substr(1);
  const size_t slash = after.find('\\');
  if (slash == std::string::npos) return;
  const std::string number = after.substr(0, slash);
  std::string prefix = number;
  bool digits = !number.empty() && number.size() <= 9;
  for (char c : number) digits = digits && std::isdigit(static_cast<unsigned char>(c));
  if (digits) {
    const long unit = std::strtol(number.c_str(), nullptr, 10);
    if (unit < static_cast<long>(ProgramUnitList.size()) && ProgramUnitList[static_cast<size_t>(unit)] != nullptr) {
      prefix = ProgramUnitList[static_cast<size_t>(unit)]->Name;
    }
  }
  std::string rest = after.substr(slash);
  const size_t dot = rest.find('.');
  if (dot != std::string::npos) rest.replace(dot, 1, ": ");
  text = (prefix + rest).substr(0, 30);
}

std::string QualifyModuleVarName(const std::string& name) {
  std::string text;
  QualifyModuleVarName(name, text);
  return text;
}

void ParseLocalVarName(std::string& name, int32_t& unitNumber, int32_t& callNumber) {
  unitNumber = 0;
  callNumber = 0;
  if (!name.empty() && name[0] == '@') name.erase(0, 1);
  const size_t slash = name.find('\\');
  if (slash == std::string::npos) return;
  // Numbers of more than nine digits come only from damaged names: read as 0.
  auto number = [](const std::string& digits) {
    if (digits.empty() || digits.size() > 9) return int32_t{0};
    for (char c : digits) {
      if (!std::isdigit(static_cast<unsigned char>(c))) return int32_t{0};
    }
    return static_cast<int32_t>(std::strtol(digits.c_str(), nullptr, 10));
  };
  unitNumber = number(name.substr(0, slash));
  name = name.substr(slash + 1);
  const size_t dot = name.find('.');
  if (dot == std::string::npos) return;
  callNumber = number(name.substr(0, dot));
  name = name.substr(dot + 1, 30);
}

}  // namespace voq

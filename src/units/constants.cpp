#include "units/constants.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/number_text.h"
#include "model/document_settings.h"
#include "units/unit_expressions.h"
#include "units/unit_table.h"

namespace voq {

std::vector<TConstantRecord> ConstantsList;

namespace {

constexpr size_t kLineLength = 255;

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

void StripLeading(std::string& s) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  s.erase(0, i);
}

void StripTrailing(std::string& s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\r')) s.pop_back();
}

// The field before the next tab (trailing blanks removed); rest moves past
// that tab with its leading blanks removed. False when there is no tab.
bool NextField(std::string& rest, std::string& field) {
  const size_t tab = rest.find('\t');
  if (tab == std::string::npos) return false;
  field = rest.substr(0, tab);
  StripTrailing(field);
  rest.erase(0, tab + 1);
  StripLeading(rest);
  return true;
}

bool English() { return DocumentSettings.UnitSystem == 1; }

int CompareTexts(const std::string& a, const std::string& b) {
  const std::string x = Upper(a.substr(0, 30));
  const std::string y = Upper(b.substr(0, 30));
  return x < y ? -1 : (x > y ? 1 : 0);
}

int32_t FormatError(const std::string& line) {
  SetMessageArg(1, line);
  ShowAlert(GetMessageText(kMsgConstantsFileFormat), 4, true);
  return kMsgConstantsFileFormat;
}

// One constants line into c; 0 or the message number shown.
int32_t ReadConstantLine(const std::string& lineRead, TConstantRecord& c) {
  std::string rest = lineRead;
  StripLeading(rest);
  std::string name;
  if (!NextField(rest, name)) return FormatError(lineRead);
  if (name.empty() || name.back() != '#') {
    ShowAlert(GetMessageText(kMsgConstantNameForm), 4, true);
    return kMsgConstantNameForm;
  }
  c.Name = name.substr(0, kConstantNameLength);
  std::string siValue;
  std::string englishValue;
  if (!NextField(rest, c.Description) || !NextField(rest, siValue) || !NextField(rest, c.SIUnits) ||
      !NextField(rest, englishValue)) {
    return FormatError(lineRead);
  }
  c.Description = c.Description.substr(0, kConstantDescriptionLength);
  c.SIValueText = siValue.substr(0, kConstantFieldLength);
  c.SIUnits = c.SIUnits.substr(0, kConstantFieldLength);
  c.EnglishValueText = englishValue.substr(0, kConstantFieldLength);
  StripTrailing(rest);
  c.EnglishUnits = rest.substr(0, kConstantFieldLength);
  bool ok = false;
  c.SIValue = ParseReal(c.SIValueText, ok);
  if (!ok) return FormatError(lineRead);
  if (!c.EnglishValueText.empty() && c.EnglishValueText[0] == '?') {
    // The conversion's error is this constant's alone: it must not stay set
    // and make every later "?" line return at once with a stale factor.
    const int32_t savedError = CalcErrorCode;
    CalcErrorCode = 0;
    Extended factor = 1;
    std::string factorText;
    ConvertUnitFactor(c.SIUnits, c.EnglishUnits, factor, factorText);
    if (CalcErrorCode != 0) {
      c.EnglishConversionFailed = true;
      c.EnglishValue = BlankValue;
    } else {
      c.EnglishValue = c.SIValue * factor;
      c.EnglishValueText = RealToStr(TDisplayFormat{kStyleExponential, 6}, c.EnglishValue);
    }
    CalcErrorCode = savedError;
  } else {
    c.EnglishValue = ParseReal(c.EnglishValueText, ok);
    if (!ok) return FormatError(lineRead);
  }
  return 0;
}

}  // namespace

int32_t LoadConstantsFrom(const std::string& path) {
  ConstantsList.clear();
  std::ifstream in(path, std::ios::binary);
  if (!in) return -1;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    line = line.substr(0, kLineLength);
    if (line.size() >= 2 && line[0] == '/' && line[1] == '/') continue;
    TConstantRecord c;
    const int32_t error = ReadConstantLine(line, c);
    if (error != 0) return error;
    ConstantsList.push_back(std::move(c));
  }
  if (ConstantsList.size() > 1) SortConstants(1, 1);
  return 0;
}

void LoadConstantsFile() {
  ConstantsList.clear();
  const std::string path = (std::filesystem::path(UnitsFileDirectory()) / "Constants.txt").string();
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return;
  LoadConstantsFrom(path);
}

int CompareConstantsByName(const TConstantRecord& a, const TConstantRecord& b, int direction) {
  return CompareTexts(a.Name, b.Name) * direction;
}
int CompareConstantsByDescription(const TConstantRecord& a, const TConstantRecord& b, int direction) {
  return CompareTexts(a.Description, b.Description) * direction;
}
int CompareConstantsByValue(const TConstantRecord& a, const TConstantRecord& b, int direction) {
  const Extended x = CurrentConstantValue(a);
  const Extended y = CurrentConstantValue(b);
  return (x < y ? -1 : (x > y ? 1 : 0)) * direction;
}
int CompareConstantsByUnits(const TConstantRecord& a, const TConstantRecord& b, int direction) {
  return CompareTexts(CurrentConstantUnits(a), CurrentConstantUnits(b)) * direction;
}

void SortConstants(int column, int direction) {
  using Comparator = int (*)(const TConstantRecord&, const TConstantRecord&, int);
  static constexpr Comparator kComparators[] = {CompareConstantsByName, CompareConstantsByDescription,
                                                CompareConstantsByValue, CompareConstantsByUnits};
  if (column < 0 || column > 3) return;
  const Comparator compare = kComparators[column];
  std::sort(ConstantsList.begin(), ConstantsList.end(),
            [&](const TConstantRecord& a, const TConstantRecord& b) { return compare(a, b, direction) < 0; });
}

int32_t FindConstantPosition(const std::string& name) {
  const std::string upper = Upper(name);
  for (size_t j = 0; j < ConstantsList.size(); ++j) {
    if (Upper(ConstantsList[j].Name) == upper) return static_cast<int32_t>(j);
  }
  return -1;
}

Extended CurrentConstantValue(const TConstantRecord& c) { return English() ? c.EnglishValue : c.SIValue; }
std::string CurrentConstantValueText(const TConstantRecord& c) {
  return English() ? c.EnglishValueText : c.SIValueText;
}
std::string CurrentConstantUnits(const TConstantRecord& c) { return English() ? c.EnglishUnits : c.SIUnits; }
bool CurrentConstantValueMissing(const TConstantRecord& c) { return English() && c.EnglishConversionFailed; }

}  // namespace voq

#include "documents/var_info_file.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/calc_state.h"
#include "core/extended.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/number_format.h"
#include "core/number_text.h"
#include "core/search_path.h"
#include "core/string_constants.h"
#include "model/store_state.h"
#include "platform/platform.h"

namespace voq {

namespace {

constexpr TDisplayFormat kLimitFormat{kStyleExponential, 4};
constexpr const char kStyleLetters[] = "EFNAS";

std::string NumberField(const TDisplayFormat& format, Extended x, bool formatted) {
  if (x == InfinityValue) return "infinity";
  if (x == -InfinityValue) return "-infinity";
  std::string text = formatted ? FormatValue(format, x) : RealToStr(format, x);
  // The runtime conversions lead a non-negative value with a blank.
  const size_t first = text.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : text.substr(first);
}

std::string NameField(const std::string& line) { return line.substr(0, line.find('\t')); }

std::string Upper(std::string s) {
  for (char& c : s) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return s;
}

// The file name part of a path written by either platform.
std::string FileNamePart(const std::string& path) {
  const size_t slash = path.find_last_of("/\\:");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool EndsWithVoq(const std::string& name) {
  return name.size() >= 4 && Upper(name.substr(name.size() - 4)) == ".VOQ";
}

// The next field of rest (up to a TAB, which is consumed).
std::string TakeField(std::string& rest) {
  const size_t tab = rest.find('\t');
  std::string field = rest.substr(0, tab);
  rest = tab == std::string::npos ? std::string() : rest.substr(tab + 1);
  return field;
}

// A number of the file, written under either decimal separator. The
// separator found becomes SavedDecimalSeparator and is turned into the
// platform's before conversion.
bool ReadNumber(std::string& rest, Extended& value) {
  std::string field = TakeField(rest);
  std::string trimmed = field;
  trimmed.erase(0, trimmed.find_first_not_of(' '));
  trimmed.erase(trimmed.find_last_not_of(' ') + 1);
  const std::string upper = Upper(trimmed);
  if (upper == "-INFINITY") {
    value = -InfinityValue;
    return true;
  }
  if (upper == "INFINITY") {
    value = InfinityValue;
    return true;
  }
  for (char separator : {'.', ','}) {
    const size_t at = field.find(separator);
    if (at == std::string::npos) continue;
    SavedDecimalSeparator = separator;
    if (DecimalSeparator != separator) field[at] = DecimalSeparator;
    break;
  }
  return TryStrToReal(field, value);
}

}  // namespace

std::string VarInfoLine(const TProgramUnitRecord& unit, const TVariableRecord& v) {
  const TDisplayFormat own{v.Style, v.Digits};
  std::string line;
  if (&unit != MainProgramUnit) line = Upper(unit.Name) + "/";
  line += v.UpperName.empty() ? Upper(v.Name) : v.UpperName;
  line += '\t';
  line += v.IsString ? StringConstText(static_cast<int32_t>(v.Value)) : NumberField(own, v.Guess, true);
  line += '\t';
  line += NumberField(kLimitFormat, v.LowerLimit, false);
  line += '\t';
  line += NumberField(kLimitFormat, v.UpperLimit, false);
  line += '\t';
  line += v.Style < 5 ? kStyleLetters[v.Style] : 'E';
  line += static_cast<char>('0' + std::clamp<int>(v.Digits, 0, 9));
  line += '\t';
  line += std::to_string(v.DisplayCode);
  line += '\t';
  line += v.Units.substr(0, kMaxNameLength);
  return line;
}

void MergeVarInfoLine(std::vector<std::string>& lines, const std::string& line) {
  const std::string name = NameField(line);
  for (std::string& existing : lines) {
    if (existing.rfind("//", 0) == 0) continue;
    const std::string field = NameField(existing);
    if (field == name) {
      existing = line;
      return;
    }
    if (field > name) break;
  }
  lines.push_back(line);
}

void SortVarInfoLines(std::vector<std::string>& lines) {
  // std::string compares its bytes as unsigned char: plain byte order.
  std::sort(lines.begin(), lines.end());
}

std::vector<std::string> BuildVarInfoFileLines(std::vector<std::string> lines,
                                               const TProgramUnitRecord& unit,
                                               const std::string& documentName) {
  // The file's own order may be anything a user or another program wrote:
  // the merge scan needs the byte order.
  SortVarInfoLines(lines);
  for (int32_t k = 1; k <= unit.UsedVariableCount; ++k) {
    const TVariableRecord* v = unit.Variable(unit.UsedVariableList[size_t(k)]);
    if (v == nullptr) continue;
    MergeVarInfoLine(lines, VarInfoLine(unit, *v));
  }
  SortVarInfoLines(lines);
  if (lines.empty()) return lines;
  if (lines.front().rfind("//", 0) == 0) lines.erase(lines.begin());
  if (EndsWithVoq(documentName)) lines.insert(lines.begin(), "//" + documentName);
  return lines;
}

int32_t SaveVarInfoFile(const std::string& path, const TProgramUnitRecord& unit,
                        const std::string& documentName) {
  AddSearchDirectory(std::filesystem::path(path).parent_path().string());
  std::vector<std::string> existing;
  {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (in && std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!line.empty()) existing.push_back(line);
    }
  }
  const std::vector<std::string> lines = BuildVarInfoFileLines(std::move(existing), unit, documentName);
  if (lines.empty()) return 0;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return 101;
  for (const std::string& line : lines) out << line << "\r\n";
  out.close();
  return out ? 0 : 101;
}

void ReadVarInfoFile(const std::string& fileName, bool allVariables, bool checkSource,
                     const std::string& documentName) {
  std::string path;
  if (!FileExistsOnPath(fileName, &path)) {
    SetMessageArg(1, fileName);
    CalcErrorCode = kMsgFileNotFound;
    ShowAlert(GetMessageText(kMsgFileNotFound), kAlertErrorOk, true);
    return;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    ReportIOError(2);
    return;
  }
  const bool ctrl = CtrlKeyDown();
  const std::string unitName = CurrentProgramUnit == MainProgramUnit || CurrentProgramUnit == nullptr
                                   ? std::string("MAIN")
                                   : Upper(CurrentProgramUnit->Name);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("//", 0) == 0) {
      if (!checkSource) continue;
      const std::string source = line.substr(2);
      if (Upper(FileNamePart(source)) == Upper(FileNamePart(documentName))) continue;
      SetMessageArg(1, source);
      if (ShowAlert(GetMessageText(kMsgVariableInfoFromOtherFile), kAlertWarningYesNo, true) != kResultYes) return;
      continue;
    }
    if (line.find('\t') == std::string::npos) return;
    std::string rest = line;
    std::string name = TakeField(rest);
    // A name written under the other decimal convention: subscripts were
    // separated by ";" under a decimal comma and by "," under a point, and
    // neither character can stand in a name of the other convention, so
    // the conversion is safe whatever the file's numbers turn out to use.
    if (DecimalSeparator == '.') {
      std::replace(name.begin(), name.end(), ';', ',');
    } else {
      std::replace(name.begin(), name.end(), ',', ';');
    }
    std::string unit = "MAIN";
    if (const size_t slash = name.find('/'); slash != std::string::npos) {
      unit = Upper(name.substr(0, slash));
      name = name.substr(slash + 1);
    }
    if (unit != unitName) continue;
    const int32_t saved = CalcErrorCode;
    const int32_t index = FindVariable(name);
    CalcErrorCode = saved;
    TVariableRecord* v = CurrentProgramUnit->Variable(index);
    if (v == nullptr || (v->UnknownPosition == 0 && !allVariables)) continue;

    if (v->IsString) {
      v->Value = StringConstIndex(TakeField(rest));
    } else {
      Extended guess = 0;
      if (!ReadNumber(rest, guess)) {
        ThrottledBeep();
        return;
      }
      v->Guess = guess;
      if (ctrl) v->GuessVariable = 0;
    }
    Extended lower = 0;
    Extended upper = 0;
    if (!ReadNumber(rest, lower)) {
      ThrottledBeep();
      return;
    }
    v->LowerLimit = lower;
    if (ctrl) v->LowerVariable = 0;
    if (!ReadNumber(rest, upper)) {
      ThrottledBeep();
      return;
    }
    v->UpperLimit = upper;
    if (ctrl) v->UpperVariable = 0;

    const std::string display = TakeField(rest);
    if (!display.empty()) {
      const char* letter = std::strchr("EFNAS", display[0]);
      if (letter != nullptr && display[0] != '\0') v->Style = static_cast<uint8_t>(letter - "EFNAS");
      if (display.size() < 2 || display[1] < '0' || display[1] > '9') {
        // The digits cannot be read: the file is not one of ours.
        ThrottledBeep();
        return;
      }
      v->Digits = static_cast<int16_t>(display[1] - '0');
    }
    std::string code = TakeField(rest);
    if (!code.empty() && code[0] == '-') code.erase(0, 1);
    if (!code.empty() && code[0] >= '0' && code[0] <= '9') {
      int32_t value = 0;
      for (size_t k = 0; k < code.size() && code[k] >= '0' && code[k] <= '9' && value < 100000; ++k) {
        value = value * 10 + (code[k] - '0');
      }
      v->DisplayCode = static_cast<int16_t>(std::min<int32_t>(value, 32767));
    } else {
      v->DisplayCode = 1;
    }
    v->Units = rest.substr(0, kMaxNameLength);
  }
}

}  // namespace voq

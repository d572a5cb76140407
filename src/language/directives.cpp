#include "language/directives.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/number_text.h"
#include "core/program_flags.h"
#include "core/search_path.h"
#include "core/string_constants.h"
#include "core/text_utils.h"
#include "language/export_after_run.h"
#include "language/reader_state.h"
#include "language/reference_states.h"
#include "model/document_settings.h"
#include "model/program_units.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "platform/host.h"

namespace voq {

namespace {

constexpr int32_t kOpenAttempts = 11;  // the first try and 10 more

void RefuseDirective(const std::string& name) {
  MessageText = "The " + name + " directive is not available in this version.";
  CalcErrorCode = kMsgPreparedText;
}

DirectiveServices defaultServices;
DirectiveServices* installedServices = &defaultServices;

// The text after the first blank, "" when there is none.
std::string TextAfterFirstBlank(const std::string& text) {
  const size_t blank = text.find(' ');
  return blank == std::string::npos ? "" : text.substr(blank + 1);
}

// ON and OFF directives: 1, 0, or -1 for anything else (nothing changes).
int32_t OnOffValue(const std::string& upperDirective) {
  if (upperDirective.find(' ') == std::string::npos) return -1;
  std::string option = TextAfterFirstBlank(upperDirective);
  RemoveBlanks(option);
  if (option == "ON") return 1;
  if (option == "OFF") return 0;
  return -1;
}

void SetOption(uint8_t& option, int32_t value) {
  if (value >= 0) option = static_cast<uint8_t>(value);
}

// Letters outside single quotes upper-cased: a quoted file name keeps its
// case, which matters on a case-sensitive file system.
std::string UpperCaseOutsideQuotes(const std::string& text) {
  std::string result = text;
  bool quoted = false;
  for (char& c : result) {
    if (c == '\'') quoted = !quoted;
    if (!quoted && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return result;
}

void TrimLeft(std::string& text) {
  size_t k = 0;
  while (k < text.size() && static_cast<unsigned char>(text[k]) <= ' ') ++k;
  text.erase(0, k);
}

// The $EXPORT text as it is kept: upper-cased outside quotes, except the
// target (after an optional "/A"), which keeps its case even unquoted: it
// names a file on a case-sensitive file system.
std::string ExportDirectiveText(const std::string& text) {
  size_t target = 0;
  if (UpperCaseText(text.substr(0, 2)) == "/A") {
    target = static_cast<size_t>(SplitExportItem(text));
    while (target < text.size() && static_cast<unsigned char>(text[target]) <= ' ') ++target;
  }
  if (target >= text.size()) return UpperCaseOutsideQuotes(text);
  const size_t targetEnd = target + static_cast<size_t>(SplitExportItem(text.substr(target))) - 1;
  return UpperCaseOutsideQuotes(text.substr(0, target)) + text.substr(target, targetEnd - target) +
         UpperCaseOutsideQuotes(text.substr(targetEnd));
}

// $UNITSYSTEM: each word sets one field, left to right, so a word that
// depends on the unit system sees the system set by the words before it.
void ApplyUnitSystemWords(const std::string& upperDirective) {
  TDocumentSettingsRecord& s = DocumentSettings;
  std::string rest = TextAfterFirstBlank(upperDirective);
  size_t k = 0;
  while (k < rest.size()) {
    while (k < rest.size() && rest[k] == ' ') ++k;
    size_t end = rest.find(' ', k);
    if (end == std::string::npos) end = rest.size();
    const std::string word = rest.substr(k, end - k);
    k = end;
    if (word.empty()) continue;
    const bool si = s.UnitSystem == 0;
    if (word == "SI") {
      s.UnitSystem = 0;
    } else if (word == "ENG") {
      s.UnitSystem = 1;
    } else if (word == "MASS") {
      s.MolarBasis = 0;
    } else if (word.starts_with("MOL")) {
      s.MolarBasis = 1;
    } else if (word.starts_with("DEG")) {
      SetAngleUnit(s, 0);
    } else if (word.starts_with("RAD")) {
      SetAngleUnit(s, 1);
    } else if (word == "KPA" || word == "PSIA") {
      s.PressureUnit = 0;
    } else if (word == "BAR" || word == "ATM") {
      s.PressureUnit = 1;
    } else if (word == "PA") {
      if (si) s.PressureUnit = 2;
    } else if (word == "MPA") {
      if (si) s.PressureUnit = 3;
    } else if (word == "C" || word == "F") {
      s.AbsoluteTemperature = 0;
    } else if (word == "K" || word == "R") {
      s.AbsoluteTemperature = 1;
    } else if (word == "J") {
      if (si) s.EnergyUnit = 0;
    } else if (word == "KJ") {
      if (si) s.EnergyUnit = 1;
    }
  }
}

void MarkPrivate() {
  if (CompilingFunctionIndex > 0) {
    Directives().MarkRoutinePrivate(CompilingFunctionIndex);
  } else if (ModuleNesting > 0 && CurrentProgramUnit != nullptr && CurrentProgramUnit != MainProgramUnit) {
    CurrentProgramUnit->IsPrivate = 1;
  }
}

void SetComplexMode(int32_t value) {
  if (value < 0) return;
  const bool changed = Preferences.ComplexMode != value;
  Preferences.ComplexMode = static_cast<uint8_t>(value);
  if (MainProgramUnit != nullptr) MainProgramUnit->UnitComplexMode = static_cast<uint8_t>(value);
  if (changed && MainStatementSeen) {
    // The equations read so far were compiled in the other mode.
    ShowAlert(GetMessageText(kMsgComplexModeChanged), kAlertWarningOk, true);
    AbortRequested = 1;
  } else if (changed && ReusableEquations != nullptr) {
    // The records kept from the last read were compiled in the other mode
    // and would be taken over unchanged: the read starts again without them.
    RecompileRequested = true;
  }
}

void SetSumRow(int32_t value) {
  if (value < 0) return;
  const bool changed = Preferences.TableSumRow != value;
  Preferences.TableSumRow = static_cast<uint8_t>(value);
  if (changed) DirectiveWindowServices().ApplyTableSumRow(value == 1);
}

void SetArraysOption(int32_t value) {
  if (value < 0) return;
  Preferences.UseArraysWindow = static_cast<uint8_t>(value);
  if (value == 0) DirectiveWindowServices().FreeArraysWindow();
}

// --- The open $IMPORT source ----------------------------------------------------------

struct TImportSource {
  bool active = false;
  bool clipboard = false;
  std::string name;                 // the file name, or "Clipboard"
  std::vector<std::string> lines;   // clipboard lines still to come
  size_t nextLine = 0;
  std::FILE* file = nullptr;
  std::string dataLine;             // what is left of the current data line
};
TImportSource Import;

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t k = 0;
  while (k <= text.size()) {
    size_t end = text.find_first_of("\r\n", k);
    if (end == std::string::npos) {
      lines.push_back(text.substr(k));
      break;
    }
    lines.push_back(text.substr(k, end - k));
    k = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    if (k == text.size()) break;
  }
  return lines;
}

// One line of the file without its line end; false at the end of the file.
bool ReadFileLine(std::FILE* file, std::string& line, int32_t& ioError) {
  line.clear();
  ioError = 0;
  int c = 0;
  bool any = false;
  while ((c = std::fgetc(file)) != EOF) {
    any = true;
    if (c == '\n') break;
    if (c != '\r') line.push_back(static_cast<char>(c));
  }
  if (std::ferror(file)) {
    ioError = 100;  // the code the run-time gives for a failed read
    return false;
  }
  return any;
}

bool IsBlankText(const std::string& text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) > ' ') return false;
  }
  return true;
}

// Makes the next data line current. False with an error set when there is none.
bool NextDataLine() {
  if (Import.clipboard) {
    while (Import.nextLine < Import.lines.size()) {
      Import.dataLine = Import.lines[Import.nextLine++];
      if (!IsBlankText(Import.dataLine)) return true;
    }
    if (CheckOnlyMode) {
      CalcErrorCode = kMsgCancelled;
    } else {
      SetMessageArg(1, "Clipboard");
      CalcErrorCode = kMsgEndOfData;
    }
    return false;
  }
  int32_t ioError = 0;
  if (!ReadFileLine(Import.file, Import.dataLine, ioError)) {
    if (ioError != 0) {
      SetMessageArg(1, std::to_string(ioError));
      SetMessageArg(2, Import.name);
      CalcErrorCode = kMsgUnexpectedReadError;
    } else {
      SetMessageArg(1, Import.name);
      CalcErrorCode = kMsgEndOfData;
    }
    return false;
  }
  if (IsBlankText(Import.dataLine)) {
    SetMessageArg(1, Import.name);
    CalcErrorCode = kMsgEndOfData;
    return false;
  }
  return true;
}

bool OpenImportSource(const std::string& source) {
  Import = TImportSource{};
  if (SameTextNoCase(source, "CLIPBOARD")) {
    std::string text;
    if (!Platform().GetClipboardText(text) || text.empty()) {
      CalcErrorCode = kMsgClipboardEmpty;
      return false;
    }
    Import.clipboard = true;
    Import.name = "Clipboard";
    Import.lines = SplitLines(text);
    Import.nextLine = 1;
    Import.dataLine = Import.lines.empty() ? "" : Import.lines[0];
    Import.active = true;
    return true;
  }
  std::string path;
  if (!FileExistsOnPath(source, &path)) {
    SetMessageArg(1, source);
    CalcErrorCode = kMsgFileNotFound;
    return false;
  }
  Import.name = source;
  for (int32_t attempt = 0; attempt < kOpenAttempts && Import.file == nullptr; ++attempt) {
    Import.file = std::fopen(path.c_str(), "rb");
  }
  int32_t ioError = 0;
  if (Import.file == nullptr) {
    ioError = 2;  // file not found or not accessible
  } else {
    // An empty file is no read failure: its first line is empty, and the
    // first value wanted reports the end of the data (654).
    ReadFileLine(Import.file, Import.dataLine, ioError);
  }
  if (ioError != 0) {
    SetMessageArg(1, std::to_string(ioError));
    SetMessageArg(2, source);
    CalcErrorCode = kMsgUnexpectedReadError;
    if (Import.file != nullptr) std::fclose(Import.file);
    Import.file = nullptr;
    return false;
  }
  Import.active = true;
  return true;
}

// Reads a number written with a point (the directive's own text), whatever
// the process locale: strtold would follow a decimal-comma locale.
bool ParsePlainNumber(const std::string& text, Extended& value) {
  return TryStrToReal(text, value) && std::isfinite(static_cast<double>(value));
}

}  // namespace

void CloseImportSource() {
  if (Import.file != nullptr) std::fclose(Import.file);
  Import = TImportSource{};
}

void DirectiveServices::SetReferenceState(const std::string& directive) { SetReferenceStateDirective(directive); }
void DirectiveServices::SaveLookupDirective(const std::string&) { RefuseDirective("$SAVELOOKUP"); }
void DirectiveServices::OpenLookupDirective(const std::string&) { RefuseDirective("$OPENLOOKUP"); }

DirectiveServices& Directives() { return *installedServices; }
void SetDirectiveServices(DirectiveServices* services) {
  installedServices = services != nullptr ? services : &defaultServices;
}

int32_t NextListItem(const std::string& text) {
  int32_t depth = 0;
  for (size_t k = 0; k < text.size(); ++k) {
    if (text[k] == '[') ++depth;
    if (text[k] == ']') --depth;
    if (depth <= 0 && text[k] == ArgumentSeparator) return static_cast<int32_t>(k) + 1;
  }
  return 0;
}

void SetTabWidth(const std::string& directive) {
  std::string rest = TextAfterFirstBlank(directive);
  TrimShort(rest, INT32_MAX);
  Extended factor = 0;
  bool ok = rest.size() > 2;
  if (ok) {
    const std::string unit = UpperCaseText(rest.substr(rest.size() - 2));
    if (unit == "CM") {
      factor = 1.0L / 2.54L;
    } else if (unit == "IN") {
      factor = 1.0L;
    } else {
      ok = false;  // no other unit has a defined factor
    }
  }
  Extended number = 0;
  if (ok) {
    std::string text = rest.substr(0, rest.size() - 2);
    TrimShort(text, INT32_MAX);
    if (DecimalSeparator == ',') {
      const size_t comma = text.find(',');
      if (comma != std::string::npos) text[comma] = '.';
    }
    ok = ParsePlainNumber(text, number);
  }
  Extended width = 0;
  if (ok) {
    width = std::round(number * factor * DirectiveWindowServices().ScreenPixelsPerInch() * 100);
    ok = width >= 0 && width <= INT16_MAX;
  }
  if (!ok) {
    SetMessageArg(1, "TABWIDTH");
    ShowAlert(GetMessageText(kMsgDirectiveSyntax), kAlertWarningOk, true);
    return;
  }
  const auto newWidth = static_cast<int16_t>(width);
  if (newWidth != Preferences.TabWidth) {
    Preferences.TabWidth = newWidth;
    DirectiveWindowServices().ApplyEquationFontSettings();
  }
}

void ImportValue(const std::string& name) {
  if (!Import.active) return;
  if (IsBlankText(Import.dataLine) && !NextDataLine()) return;
  std::string token;
  SplitFirstToken(Import.dataLine, token);
  int32_t i = FindVariable(name);
  if (CalcErrorCode > 0) return;
  if (i <= 0) {
    AddVariable(name);
    if (CalcErrorCode > 0) return;
    i = CurrentProgramUnit->VariableCount;
  }
  RegisterVariableUse(i, name);
  TVariableRecord* v = CurrentProgramUnit->Variable(i);
  if (v == nullptr) return;
  v->UnknownPosition = kDeterminedVariable;
  RemoveFromVarOrder(i);
  if (v->IsString) {
    v->Value = StringConstIndex(token);
    return;
  }
  Extended value = 0;
  int32_t errorPos = 0;
  StrToReal(token, value, errorPos);
  if (errorPos != 0) {
    SetMessageArg(1, std::to_string(errorPos));
    SetMessageArg(2, token);
    SetMessageArg(3, Import.name);
    CalcErrorCode = kMsgIllegalCharacterInString;
    return;
  }
  v->Value = value;
}

void ImportRange(const std::string& name) {
  const std::vector<std::string> elements = ExpandArrayRange(name);
  for (const std::string& element : elements) {
    if (CalcErrorCode > 0) return;
    ImportValue(element);
  }
}

void ImportDirective(const std::string& text) {
  std::string rest = text;
  TrimShort(rest, INT32_MAX);
  std::vector<std::string> items;
  while (!rest.empty()) {
    int32_t cut = SplitExportItem(rest);
    std::string item = rest.substr(0, static_cast<size_t>(cut) - 1);
    rest = cut > static_cast<int32_t>(rest.size()) ? "" : rest.substr(static_cast<size_t>(cut));
    TrimShort(rest, INT32_MAX);
    if (!item.empty()) items.push_back(item);
  }
  if (items.empty()) return;

  std::string source = items[0];
  if (source.size() >= 2 && source.front() == '\'' && source.back() == '\'') {
    source = source.substr(1, source.size() - 2);
  } else if (source.back() == '$') {
    TProgramUnitRecord* saved = CurrentProgramUnit;
    CurrentProgramUnit = MainProgramUnit;
    const int32_t savedError = CalcErrorCode;
    const int32_t i = FindVariable(source);
    CalcErrorCode = savedError;
    const TVariableRecord* v = MainProgramUnit != nullptr ? MainProgramUnit->Variable(i) : nullptr;
    CurrentProgramUnit = saved;
    if (v == nullptr) {
      SetMessageArg(1, source);
      SetMessageArg(2, "$Import");
      CalcErrorCode = kMsgInvalidFileName;
      return;
    }
    source = StringConstText(static_cast<int32_t>(v->Value));
  }
  if (!OpenImportSource(source)) return;
  for (size_t k = 1; k < items.size() && CalcErrorCode <= 0; ++k) {
    if (items[k].find("..") != std::string::npos) {
      ImportRange(items[k]);
    } else {
      ImportValue(items[k]);
    }
  }
  CloseImportSource();
}

void ProcessDirective(std::string& statement, bool& handled) {
  std::string text = statement;
  TrimShort(text, INT32_MAX);
  if (text.empty() || text[0] != '$') return;
  const std::string upper = UpperCaseText(text.substr(1));
  const std::string upperDirective = "$" + upper;
  // The first keyword that begins the directive wins: $UNITSYSTEM matches
  // UNITS, $INTEGRALTABLE matches INTEGRAL and $WARNINGS matches WARN.
  static const char* const kKeywords[] = {"WARN",     "REFERENCE", "LOCAL",  "CHECKUNITS", "UNITS",
                                          "PRIVATE",  "TABWIDTH",  "SAVELOOK", "INTEGRAL",  "EXPORT",
                                          "IMPORT",   "OPENLOOK",  "ARRAY",  "COMPLEX",    "SUMROW"};
  int32_t which = -1;
  for (int32_t k = 0; k < static_cast<int32_t>(std::size(kKeywords)); ++k) {
    if (upper.starts_with(kKeywords[k])) {
      which = k;
      break;
    }
  }
  if (which < 0) return;
  handled = true;
  const size_t keywordEnd = 1 + std::string(kKeywords[which]).size();
  switch (which) {
    case 0: {  // WARN
      const int32_t value = OnOffValue(upperDirective);
      if (value >= 0) {
        ShowWarningMessages = value == 1;
        Preferences.WarningsB = static_cast<uint8_t>(value == 1);
      }
      break;
    }
    case 1:
      Directives().SetReferenceState(upperDirective);
      break;
    case 2:
      SetOption(Preferences.ShowLocalVariables, OnOffValue(upperDirective));
      break;
    case 3:
      SetOption(Preferences.CheckUnitsAutomatically, OnOffValue(upperDirective));
      break;
    case 4:
      ApplyUnitSystemWords(upperDirective);
      break;
    case 5:
      MarkPrivate();
      break;
    case 6:
      SetTabWidth(upperDirective);
      break;
    case 7:
      Directives().SaveLookupDirective(text);
      break;
    case 8: {  // INTEGRAL
      std::string rest = TextAfterFirstBlank(upperDirective);
      TrimLeft(rest);
      if (rest.size() > kShortTextLength) rest.resize(kShortTextLength);
      IntegralTableDirective = rest;
      break;
    }
    case 9: {  // EXPORT: the text after the keyword itself
      std::string rest = text.substr(keywordEnd);
      TrimLeft(rest);
      ExportDirectives.push_back(ExportDirectiveText(rest));
      break;
    }
    case 10:
      ImportDirective(text.substr(keywordEnd));
      break;
    case 11:
      Directives().OpenLookupDirective(text);
      break;
    case 12:
      SetArraysOption(OnOffValue(upperDirective));
      break;
    case 13:
      SetComplexMode(OnOffValue(upperDirective));
      break;
    default:
      SetSumRow(OnOffValue(upperDirective));
      break;
  }
}

}  // namespace voq

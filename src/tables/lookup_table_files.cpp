#include "tables/lookup_table_files.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <sstream>
#include <vector>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/number_text.h"
#include "core/search_path.h"
#include "core/string_constants.h"
#include "core/text_utils.h"
#include "language/directives.h"
#include "language/export_after_run.h"
#include "language/operands.h"
#include "model/compiled_code.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "platform/platform.h"
#include "tables/lookup_files.h"
#include "tables/table_files.h"
#include "tables/table_model.h"
#include "tables/table_section.h"
#include "tables/tables_state.h"

namespace voq {

namespace {

constexpr const char* kLookupFileFilter =
    "VOQ Lookup files (*.LKT)|*.LKT|Text Lookup files (*.TXT)|*.TXT|CSV data files (*.CSV)|*.CSV|All types (*.*)|*.*";
constexpr const char* kLookupFileVersion = "1.000";
// A string cell at or above this index is an empty string.
constexpr Extended kBlankStringIndex = 32766;

std::string Trimmed(const std::string& text) {
  size_t a = 0;
  size_t b = text.size();
  while (a < b && static_cast<unsigned char>(text[a]) <= ' ') ++a;
  while (b > a && static_cast<unsigned char>(text[b - 1]) <= ' ') --b;
  return text.substr(a, b - a);
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExtensionOf(const std::string& name) {
  const std::string base = BaseName(name);
  const size_t dot = base.find_last_of('.');
  return dot == std::string::npos ? std::string() : UpperCaseText(base.substr(dot));
}

std::string WithoutExtension(const std::string& name) {
  const std::string base = BaseName(name);
  const size_t dot = base.find_last_of('.');
  return dot == std::string::npos ? base : base.substr(0, dot);
}

TTableForm* LookupForm() { return TableForms[size_t(kLookupTableKind)].get(); }

// A new tab of rows x columns (the window created when needed).
TTableForm* NewLookupTab(int32_t rows, int32_t columns) {
  TableRowCounts[size_t(kLookupTableKind)] = rows;
  TableColumnCounts[size_t(kLookupTableKind)] = columns;
  TTableForm* form = LookupForm();
  if (form == nullptr) return CreateTableForm(kLookupTableKind);
  form->MultipleTableRefresh();
  form->MultipleTableSetup();
  return CalcErrorCode == 0 ? form : nullptr;
}

// The table just read takes the file's name; an existing table of that
// name is replaced when the user agrees.
int32_t NameNewTable(TTableForm& form, const std::string& path) {
  const std::string name = WithoutExtension(path);
  const int32_t fresh = form.CurrentTable;
  int32_t existing = 0;
  for (size_t t = 0; t < form.TabCaptions.size(); ++t) {
    if (int32_t(t) + 1 != fresh && UpperCaseText(form.TabCaptions[t]) == UpperCaseText(name)) existing = int32_t(t) + 1;
  }
  if (existing > 0) {
    SetMessageArg(1, "Lookup");
    SetMessageArg(2, name);
    if (ShowAlert(GetMessageText(kMsgReplaceTableQuestion), kAlertWarningOkCancel, true) != kResultOk) {
      form.DeleteSingleTable(fresh);
      CalcErrorCode = kMsgCancelled;
      return CalcErrorCode;
    }
    form.DeleteSingleTable(existing);
  }
  form.TableName = name;
  form.MultipleTableRefresh();
  if (TTableHeaderRecord* header = TableHeader(kLookupTableKind, form.CurrentTable)) {
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(path, ec);
    header->FileName = ec ? path : full.string();
    header->FileDate = FileDateOf(header->FileName);
  }
  return 0;
}

int32_t ReadLktTab(const std::string& path) {
  std::vector<uint8_t> bytes;
  const int32_t ioResult = ReadFileBytes(path, bytes);
  if (ioResult == 2) {
    SetCalcError(kMsgFileNotFound, path);
    return CalcErrorCode;
  }
  if (ioResult != 0) {
    SetMessageArg(1, std::to_string(ioResult));
    SetMessageArg(2, path);
    SetCalcError(kMsgFileReadIOError);
    return CalcErrorCode;
  }
  size_t pos = 16;
  if (bytes.size() < pos || !ReadTableSection(bytes.data(), bytes.size(), pos, TableKindToWindowTag(kLookupTableKind), nullptr, 10.0)) {
    if (CalcErrorCode == 0) SetCalcError(kMsgLookupReadError);
    return CalcErrorCode;
  }
  TTableForm* form = LookupForm();
  if (form == nullptr) return CalcErrorCode = kMsgLookupReadError;
  if (pos + 8 <= bytes.size()) {
    auto word = [&](size_t at) { return int16_t(uint16_t(bytes[at]) | uint16_t(bytes[at + 1]) << 8); };
    form->WindowWidth = word(pos + 4) - word(pos);
    form->WindowHeight = word(pos + 6) - word(pos + 2);
  }
  return NameNewTable(*form, path);
}

// The widest lookup table the window holds.
constexpr int64_t kMaxLookupColumns = 1000;

// Removes the tab a failed reading added and shows the table the window
// showed before (the window goes when it was made for that tab).
void DropNewTab(bool hadWindow, int32_t previousTable) {
  TTableForm* form = LookupForm();
  if (form == nullptr) return;
  if (!hadWindow) {
    DestroyTableForm(kLookupTableKind);
    return;
  }
  form->DeleteSingleTable(form->CurrentTable);
  if (previousTable >= 1 && previousTable <= int32_t(form->TabCaptions.size())) form->SwitchToTab(previousTable - 1);
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  TTableTextReader in{text, 0};
  std::string line;
  while (in.ReadLine(line)) lines.push_back(line);
  return lines;
}

// ".CSV" and the text form: the counts and format lines give the table's
// shape, titles and formats; the values are read by the table reader, so a
// quoted value makes a string column. Every count is checked against the
// lines the file holds before the table is made.
int32_t ReadTextTab(const std::string& fileName) {
  std::string path = fileName;
  FileExistsOnPath(fileName, &path);
  std::vector<uint8_t> bytes;
  if (const int32_t ioResult = ReadFileBytes(path, bytes); ioResult != 0) {
    ReportIOError(ioResult);
    if (CalcErrorCode == 0) {
      SetMessageArg(1, std::to_string(ioResult));
      SetMessageArg(2, path);
      CalcErrorCode = kMsgFileReadIOError;
    }
    return CalcErrorCode;
  }
  const std::string text(bytes.begin(), bytes.end());
  const std::vector<std::string> lines = SplitLines(text);
  size_t dataLines = lines.size();
  while (dataLines > 0 && Trimmed(lines[dataLines - 1]).empty()) --dataLines;
  int64_t rows = 0;
  int64_t columns = 0;
  size_t firstData = 0;
  std::vector<TLookupColumnNode> formats;
  if (ExtensionOf(path) == ".CSV") {
    rows = int64_t(dataLines);
    columns = rows > 0 ? LookupCsvColumnCount(lines[0], LookupCsvSeparator(lines[0])) : 0;
  } else {
    std::istringstream head(lines.empty() ? std::string() : lines[0]);
    if (!(head >> rows >> columns) || columns == 0) {
      SetCalcError(kMsgLookupReadError);
      ShowEquationError(CalcErrorCode, 0, 0, 0);
      return CalcErrorCode;
    }
    firstData = 1;
    if (columns < 0) {
      columns = -columns;
      // An empty format line ends the reading: the columns after it keep
      // their defaults and the values follow it.
      if (columns <= kMaxLookupColumns) {
        for (int64_t c = 0; c < columns && firstData < lines.size() && !Trimmed(lines[firstData]).empty(); ++c, ++firstData) {
          formats.emplace_back();
          ReadLookupFormatLine(lines[firstData], formats.back());
        }
      }
    }
    if (rows < 0) rows = dataLines > firstData ? int64_t(dataLines - firstData) : 0;
  }
  if (columns > kMaxLookupColumns) {
    SetCalcError(kMsgColumnLimit, std::to_string(kMaxLookupColumns));
    ShowEquationError(CalcErrorCode, 0, 0, 0);
    return CalcErrorCode;
  }
  // Each row takes at least one line: a file that ends before its counted
  // rows is refused before anything is allocated for them.
  if (rows <= 0 || columns <= 0 || rows > int64_t(dataLines) - int64_t(firstData)) {
    SetCalcError(kMsgLookupReadError);
    ShowEquationError(CalcErrorCode, 0, 0, 0);
    return CalcErrorCode;
  }
  const bool hadWindow = LookupForm() != nullptr;
  const int32_t previousTable = hadWindow ? LookupForm()->CurrentTable : 0;
  TTableForm* form = NewLookupTab(int32_t(rows), int32_t(columns));
  if (form == nullptr) return CalcErrorCode != 0 ? CalcErrorCode : 99;
  TTableColumnRecord* c = form->Columns;
  for (const TLookupColumnNode& node : formats) {
    if (c == nullptr) break;
    c->Name = node.Units.empty() ? node.Name : (node.Name + "\r[" + node.Units + "]").substr(0, 30);
    c->Format = node.Format;
    c->IsString = node.IsString;
    c = c->Next;
  }
  TTableTextReader in{text, 0};
  std::string skipped;
  for (size_t k = 0; k < firstData; ++k) in.ReadLine(skipped);
  if (!ReadTable(*form, in, false, path)) {
    const int32_t error = CalcErrorCode;
    DropNewTab(hadWindow, previousTable);
    CalcErrorCode = error;
    ShowEquationError(CalcErrorCode, 0, 0, 0);
    return CalcErrorCode;
  }
  for (TTableColumnRecord* col = form->Columns; col != nullptr; col = col->Next)
    for (int32_t r = 1; r <= int32_t(rows); ++r) col->SetFlag(r, 1);
  return NameNewTable(*form, path);
}

char StyleLetter(uint8_t style) {
  switch (style) {
    case 0: return 'E';
    case 1: return 'F';
    case 2: return 'N';
    case 4: return 'S';
    default: return 'A';
  }
}

std::string CellText(const TTableColumnRecord& c, int32_t row) {
  const Extended v = c.Cell(row);
  if (c.IsString != 0 || c.Format.Style == kStyleStringConstant) {
    if (IsBlank(v) || v >= kBlankStringIndex || v < 1) return "' '";
    return "'" + StringConstText(int32_t(v)) + "'";
  }
  return RealToStr(TDisplayFormat{kStyleExponential, 8}, v);
}

// Equations reading lookup tables are compiled again after a table was
// written, so that nothing kept refers to the old table.
void ForgetLookupEquations() {
  if (CurrentProgramUnit == nullptr) return;
  for (TEquationRecord* e = CurrentProgramUnit->FirstEquation; e != nullptr; e = e->Next) {
    for (int32_t w : e->Code) {
      if (w >= 244 && w <= 246) {
        e->Text.reset();
        break;
      }
    }
  }
}

// The text of a string variable of the main program ("" when it has none).
std::string StringVariableText(const std::string& name) {
  TProgramUnitRecord* saved = CurrentProgramUnit;
  CurrentProgramUnit = MainProgramUnit;
  const int32_t index = FindOrAddVariable(name, -1, -1);
  CurrentProgramUnit = saved;
  const TVariableRecord* v = MainProgramUnit != nullptr ? MainProgramUnit->Variable(index) : nullptr;
  if (v == nullptr || v->Value < 1 || v->Value > Extended(StringConstants.size())) return "";
  return StringConstText(int32_t(v->Value));
}

bool IsStringVariableName(const std::string& text) {
  return (!text.empty() && text.back() == '$') || text.find("$[") != std::string::npos;
}

bool RefusedInRoutine(const char* directive) {
  if (CompilingFunctionIndex == 0) return false;
  SetMessageArg(1, directive);
  CalcErrorCode = kMsgDirectiveInMainOnly;
  return true;
}

// The tab of the window holding the file, unchanged since it was read; a
// tab whose file changed is deleted so that the file is read again.
int32_t FindOpenLookupFile(TTableForm& form, const std::string& path) {
  std::error_code ec;
  const std::filesystem::path full = std::filesystem::absolute(path, ec);
  const std::string wanted = UpperCaseText(ec ? path : full.string());
  auto* list = TableLists[size_t(kLookupTableKind)].get();
  if (list == nullptr) return 0;
  for (size_t t = 0; t < list->size(); ++t) {
    TTableHeaderRecord& header = *(*list)[t];
    if (UpperCaseText(header.FileName) != wanted) continue;
    if (header.FileDate == FileDateOf(header.FileName)) return int32_t(t) + 1;
    form.DeleteSingleTable(int32_t(t) + 1);
    return 0;
  }
  return 0;
}

// After a file dialog answered a directive's "?", the Equations text names
// the chosen file, so the next solve asks nothing: the first line of the
// directive (earlier ones were rewritten when answered) whose text holds
// " ?" and no "??" gets the file in place of its first " ?"'s "?".
void WriteChosenFileIntoLine(const std::string& directive, const std::string& chosen) {
  EquationsEditor& editor = Equations();
  const std::string text = editor.GetText();
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    if (UpperCaseText(Trimmed(line)).rfind(directive, 0) == 0 && line.find(" ?") != std::string::npos &&
        line.find("??") == std::string::npos) {
      std::string changed = line;
      changed.replace(line.find(" ?") + 1, 1, chosen);
      editor.ReplaceText(line, changed);
      return;
    }
    start = end + 1;
  }
}

class LookupDirectiveServices : public DirectiveServices {
 public:
  void SaveLookupDirective(const std::string& directive) override {
    if (RefusedInRoutine("$SaveLookup")) return;
    const size_t blank = directive.find(' ');
    TTableForm* form = LookupForm();
    if (form == nullptr || blank == std::string::npos) {
      CalcErrorCode = kMsgSaveLookupError;
      return;
    }
    std::string rest = Trimmed(directive.substr(blank));
    TSaveLookupDirective entry;
    if (!rest.empty() && rest[0] == '\'') {
      const size_t close = rest.find('\'', 1);
      if (close == std::string::npos) {
        CalcErrorCode = kMsgSaveLookupError;
        return;
      }
      const std::string name = rest.substr(1, close - 1);
      rest = Trimmed(rest.substr(close + 1));
      int32_t index = 0;
      if (form->ExistingName(name, index) != 0) {
        entry.Table = index;
      } else if (name.empty() && form->TabCaptions.size() <= 1) {
        entry.Table = 0;
      } else {
        SetCalcError(kMsgLookupTableMissing, name);
        return;
      }
    } else {
      const size_t end = rest.find(' ');
      const std::string name = rest.substr(0, end);
      rest = end == std::string::npos ? std::string() : Trimmed(rest.substr(end));
      const int32_t index = name.size() > 1 && name.back() == '$' ? FindOrAddVariable(name, -1, -1) : 0;
      if (index <= 0) {
        CalcErrorCode = 0;
        SetMessageArg(1, "Lookup table name");
        SetMessageArg(2, name);
        CalcErrorCode = kMsgSaveLookupVariable;
        return;
      }
      entry.Table = -index;
    }
    if (rest.empty()) {
      CalcErrorCode = kMsgSaveLookupError;
      return;
    }
    if (rest[0] == '?') {
      entry.File = "?" + std::to_string(CurrentStatementPosition.Line);
    } else if (rest[0] == '\'') {
      std::string file = rest;
      RemoveQuoteChars(file);
      if (CalcErrorCode != 0) return;
      const std::string extension = ExtensionOf(file);
      if (extension.empty()) {
        file += ".LKT";
      } else if (extension != ".LKT" && extension != ".TXT" && extension != ".CSV") {
        CalcErrorCode = kMsgSaveLookupExtension;
        return;
      }
      entry.File = file;
    } else if (IsStringVariableName(rest)) {
      entry.File = rest;
    } else {
      SetMessageArg(1, "$SaveLookup directive");
      CalcErrorCode = kMsgFileNameArgument;
      return;
    }
    SaveLookupDirectives.push_back(entry);
  }

  void OpenLookupDirective(const std::string& directive) override {
    if (RefusedInRoutine("$OpenLookup")) return;
    const size_t blank = directive.find(' ');
    if (blank == std::string::npos) return;
    const std::string rest = Trimmed(directive.substr(blank));
    // The file, then an optional target variable after a blank outside quotes.
    bool quoted = false;
    size_t split = std::string::npos;
    for (size_t i = 0; i < rest.size() && split == std::string::npos; ++i) {
      if (rest[i] == '\'') quoted = !quoted;
      if (rest[i] == ' ' && !quoted) split = i;
    }
    std::string file = rest.substr(0, split);
    std::string target = split == std::string::npos ? std::string() : Trimmed(rest.substr(split));
    if (!IsStringVariableName(target)) target.clear();
    if (!file.empty() && file[0] == '?') {
      std::string chosen;
      if (!Platform().AskOpenFileName("Open Lookup File", kLookupFileFilter, 1, chosen)) {
        CalcErrorCode = kMsgCancelled;
        return;
      }
      AddSearchDirectory(std::filesystem::path(chosen).parent_path().string());
      WriteChosenFileIntoLine("$OPENLOOKUP", chosen);
      file = chosen;
    } else if (!file.empty() && file[0] == '\'') {
      RemoveQuoteChars(file);
      if (CalcErrorCode != 0) return;
    } else if (IsStringVariableName(file)) {
      file = StringVariableText(file);
    }
    std::string path = file;
    FileExistsOnPath(file, &path);
    TTableForm* form = LookupForm();
    std::string tableName;
    int32_t open = 0;
    if (form != nullptr) {
      const TTableHeaderRecord* current = TableHeader(kLookupTableKind, form->CurrentTable);
      std::error_code ec;
      const std::filesystem::path full = std::filesystem::absolute(path, ec);
      if (current != nullptr && UpperCaseText(current->FileName) == UpperCaseText(ec ? path : full.string())) {
        tableName = form->TableName;
      } else {
        open = FindOpenLookupFile(*form, path);
        if (open > 0) tableName = form->TabCaptions[size_t(open - 1)];
      }
    }
    if (tableName.empty()) {
      if (ReadLookupFile(path) != 0 || CalcErrorCode != 0) return;
      tableName = LookupForm()->TableName;
    }
    if (target.empty()) return;
    TProgramUnitRecord* saved = CurrentProgramUnit;
    CurrentProgramUnit = MainProgramUnit;
    const int32_t index = FindOrAddVariable(target, -1, -1);
    TVariableRecord* v = MainProgramUnit->Variable(index);
    if (v != nullptr && CalcErrorCode == 0) {
      v->Value = StringConstIndex(tableName);
      v->UnknownPosition = -1;
      v->IsString = 1;
      RemoveFromVarOrder(index);
    }
    CurrentProgramUnit = saved;
  }
};

LookupDirectiveServices directiveServices;

void SaveLookupTables() {
  TTableForm* form = LookupForm();
  if (form == nullptr || CalcErrorCode != 0) return;
  for (const TSaveLookupDirective& entry : SaveLookupDirectives) {
    std::string file = entry.File;
    if (!file.empty() && file[0] == '?') {
      std::string chosen;
      // Cancelling saves none of the remaining tables either.
      if (!Platform().AskSaveFileName("Save Lookup File", kLookupFileFilter, 1, chosen)) return;
      AddSearchDirectory(std::filesystem::path(chosen).parent_path().string());
      WriteChosenFileIntoLine("$SAVELOOKUP", "'" + chosen + "'");
      file = chosen;
    } else if (IsStringVariableName(file)) {
      file = StringVariableText(file);
    }
    int32_t table = entry.Table;
    if (table < 0) {
      const TVariableRecord* v = MainProgramUnit != nullptr ? MainProgramUnit->Variable(-table) : nullptr;
      const std::string name =
          v != nullptr && v->Value >= 1 && v->Value <= Extended(StringConstants.size()) ? StringConstText(int32_t(v->Value)) : "";
      if (form->ExistingName(name, table) == 0) continue;
    }
    if (table > 0 && table != form->CurrentTable) {
      form->MultipleTableRefresh();
      if (!form->SwitchToTab(table - 1)) continue;
    }
    // The table's own file, by its stored full name, when the directive
    // names it.
    if (const TTableHeaderRecord* header = TableHeader(kLookupTableKind, form->CurrentTable)) {
      if (!header->FileName.empty() && UpperCaseText(WithoutExtension(header->FileName)) == UpperCaseText(WithoutExtension(file)) &&
          ExtensionOf(header->FileName) == ExtensionOf(file))
        file = header->FileName;
    }
    if (!WriteLookupFile(file)) return;
  }
}

}  // namespace

int32_t ReadLookupFile(const std::string& fileName) {
  try {
    if (ExtensionOf(fileName).substr(0, 4) == ".LKT") {
      if (!std::filesystem::exists(fileName)) {
        SetCalcError(kMsgFileNotFound, fileName);
        return CalcErrorCode;
      }
      return ReadLktTab(fileName);
    }
    return ReadTextTab(fileName);
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
    return CalcErrorCode;
  }
}

void WriteLookupText(std::ostream& out, bool withFormats, bool asCsv) {
  TTableForm* form = LookupForm();
  if (form == nullptr) return;
  const int32_t rows = TableRowCounts[size_t(kLookupTableKind)];
  const int32_t columns = TableColumnCounts[size_t(kLookupTableKind)];
  if (!asCsv) {
    out << rows << ' ' << (withFormats ? -columns : columns) << "\r\n";
    if (withFormats) {
      for (const TTableColumnRecord* c = form->Columns; c != nullptr; c = c->Next) {
        std::string title = c->Name;
        for (char& ch : title)
          if (ch == '\r') ch = ' ';
        out << StyleLetter(c->Format.Style) << int32_t(c->Format.Digits) << ' ' << title << "\r\n";
      }
    }
  }
  const char separator = asCsv ? ArgumentSeparator : '\t';
  for (int32_t r = 1; r <= rows; ++r) {
    for (const TTableColumnRecord* c = form->Columns; c != nullptr; c = c->Next) out << CellText(*c, r) << separator;
    out << "\r\n";
  }
}

bool WriteLookupFile(const std::string& fileName) {
  TTableForm* form = LookupForm();
  if (form == nullptr) {
    SetCalcErrorWithHelp(kMsgNoLookupTable, 8);
    return false;
  }
  form->MultipleTableRefresh();
  std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
  if (!out) {
    ReportIOError(5);
    if (CalcErrorCode == 0) CalcErrorCode = kMsgFileAccessDenied;
    return false;
  }
  const std::string extension = ExtensionOf(fileName);
  if (extension == ".LKT") {
    std::vector<uint8_t> bytes(16, 0);
    const std::string header = std::string("W") + kLookupFileVersion;
    bytes[0] = uint8_t(header.size());
    for (size_t i = 0; i < header.size() && i < 15; ++i) bytes[1 + i] = uint8_t(header[i]);
    WriteTableSection(bytes, TableKindToWindowTag(kLookupTableKind), false);
    const int16_t rect[4] = {0, 0, int16_t(form->WindowWidth), int16_t(form->WindowHeight)};
    for (int16_t v : rect) {
      bytes.push_back(uint8_t(uint16_t(v) & 0xFF));
      bytes.push_back(uint8_t(uint16_t(v) >> 8));
    }
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  } else {
    WriteLookupText(out, extension != ".CSV", extension == ".CSV");
  }
  out.close();
  if (!out) {
    ReportIOError(5);
    return false;
  }
  ForgetLookupEquations();
  form->Caption = "Lookup Table: " + fileName;
  return true;
}

int32_t OpenLookupFiles(const std::vector<std::string>& fileNames,
                        const std::function<void(const std::string&)>& recordMacro) {
  int32_t read = 0;
  for (const std::string& name : fileNames) {
    CalcErrorCode = 0;
    if (ReadLookupFile(name) != 0 || CalcErrorCode != 0) break;
    ++read;
    if (recordMacro) recordMacro("OpenLookup " + name);
  }
  if (read > 0) {
    // Equations compiled against the old tabs must look their tables up
    // again.
    const int32_t error = CalcErrorCode;
    ClearCompiledEquations();
    CalcErrorCode = error;
  }
  return read;
}

std::string CurrentLookupFileName() {
  TTableForm* form = LookupForm();
  if (form == nullptr) return "";
  const TTableHeaderRecord* header = TableHeader(kLookupTableKind, form->CurrentTable);
  return header != nullptr ? header->FileName : std::string();
}

bool SaveLookupTableAs(const std::string& fileName) {
  if (!WriteLookupFile(fileName)) return false;
  AddSearchDirectory(std::filesystem::path(fileName).parent_path().string());
  return true;
}

void InstallLookupDirectives() {
  SetDirectiveServices(&directiveServices);
  SetLookupFileSaver(SaveLookupTables);
}

}  // namespace voq

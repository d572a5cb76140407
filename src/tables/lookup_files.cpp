#include "tables/lookup_files.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <sstream>
#include <vector>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/number_text.h"
#include "core/string_constants.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/program_flags.h"
#include "core/search_path.h"
#include "tables/tables_state.h"

namespace voq {

namespace {

// Lookup files are not allowed to claim more cells than this: a count read
// from a file is untrusted.
constexpr int64_t kMaxLookupCells = 50'000'000;

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string Trim(const std::string& s) {
  size_t a = 0;
  size_t b = s.size();
  while (a < b && static_cast<unsigned char>(s[a]) <= ' ') ++a;
  while (b > a && static_cast<unsigned char>(s[b - 1]) <= ' ') --b;
  return s.substr(a, b - a);
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool HasDirectory(const std::string& name) { return name.find_first_of("/\\:") != std::string::npos; }

std::string Extension(const std::string& name) {
  const std::string base = BaseName(name);
  const size_t dot = base.find_last_of('.');
  return dot == std::string::npos ? std::string() : Upper(base.substr(dot));
}

// Reads a whole number or real the way the text forms hold them; false when
// the field is not a number (trailing blanks are allowed).
bool ParseNumber(const std::string& field, Extended& value) {
  const std::string t = Trim(field);
  if (t.empty()) return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtold(t.c_str(), &end);
  return end == t.c_str() + t.size();
}

void GetLines(const std::vector<uint8_t>& bytes, std::vector<std::string>& lines) {
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = start;
    while (end < bytes.size() && bytes[end] != '\n') ++end;
    std::string line(bytes.begin() + std::ptrdiff_t(start), bytes.begin() + std::ptrdiff_t(end));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
}

// A file that was found but could not be read: the I/O error names it.
void SetReadError(int32_t ioResult, const std::string& path) {
  SetMessageArg(1, std::to_string(ioResult));
  SetMessageArg(2, path);
  SetCalcError(kMsgFileReadIOError);
}

void MakeColumns(TLookupFileRecord& record, int32_t rows, int32_t columns) {
  record.RowCount = rows;
  record.ColumnCount = columns;
  record.Columns.assign(size_t(columns), TLookupColumnNode{});
  for (int32_t c = 0; c < columns; ++c) {
    TLookupColumnNode& node = record.Columns[size_t(c)];
    node.ColumnNumber = c + 1;
    node.Name = "Column" + std::to_string(c + 1);
    node.Format = TDisplayFormat{kStyleAutomatic, 3};
    node.Values.assign(size_t(rows), BlankValue);
  }
}

bool CountsTooLarge(int64_t rows, int64_t columns) {
  return rows < 0 || columns < 0 || columns > 32767 || rows * std::max<int64_t>(columns, 1) > kMaxLookupCells;
}

// The next blank-separated word of text from at; a word in single quotes
// may hold blanks (quoted is then set and the quotes dropped). False at the
// end of the text or at a quote that is not closed.
bool NextWord(const std::string& text, size_t& at, std::string& word, bool& quoted) {
  word.clear();
  quoted = false;
  while (at < text.size() && static_cast<unsigned char>(text[at]) <= ' ') ++at;
  if (at >= text.size()) return false;
  if (text[at] == '\'') {
    const size_t close = text.find('\'', at + 1);
    if (close == std::string::npos || text.find('\n', at) < close) return false;
    word = text.substr(at + 1, close - at - 1);
    quoted = true;
    at = close + 1;
    return true;
  }
  const size_t start = at;
  while (at < text.size() && static_cast<unsigned char>(text[at]) > ' ') ++at;
  word = text.substr(start, at - start);
  return true;
}

bool ReadCsv(const std::string& path, const std::vector<std::string>& lines, TLookupFileRecord& record) {
  // Trailing empty lines are not rows.
  size_t rows = lines.size();
  while (rows > 0 && Trim(lines[rows - 1]).empty()) --rows;
  const char separator = rows > 0 ? LookupCsvSeparator(lines[0]) : ',';
  const int64_t columns = rows > 0 ? LookupCsvColumnCount(lines[0], separator) : 0;
  if (CountsTooLarge(int64_t(rows), columns)) {
    SetMessageArg(1, "0");
    SetMessageArg(2, path);
    SetCalcError(kMsgUnexpectedReadError);
    return false;
  }
  MakeColumns(record, int32_t(rows), int32_t(columns));
  for (size_t r = 0; r < rows; ++r) {
    std::string line = lines[r];
    size_t start = 0;
    for (int32_t c = 0; c < columns; ++c) {
      if (start > line.size()) break;
      const size_t comma = line.find(separator, start);
      std::string field = line.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
      start = comma == std::string::npos ? line.size() + 1 : comma + 1;
      size_t lead = 0;
      while (lead < field.size() && field[lead] == ' ') ++lead;
      field = field.substr(lead);
      if (Trim(field).empty()) continue;  // a blank cell
      Extended v = 0;
      bool ok = false;
      // Under a decimal comma the values carry it: the system's separator
      // is accepted.
      if (separator == ';') v = ParseReal(field, ok);
      if (!ok && !ParseNumber(field, v)) {
        // The position of the first character that is not part of a number.
        char* end = nullptr;
        std::strtold(field.c_str(), &end);
        SetMessageArg(1, std::to_string(end - field.c_str() + 1));
        SetMessageArg(2, field);
        SetMessageArg(3, path);
        // Shown once, by whoever reports the error (the statement's error
        // with its line, for a lookup in the equations).
        SetCalcError(kMsgIllegalCharacterInString);
        return false;
      }
      record.Columns[size_t(c)].Values[r] = v;
    }
  }
  return true;
}

bool ReadPlainText(const std::string& path, const std::vector<std::string>& lines, TLookupFileRecord& record) {
  std::istringstream head(lines.empty() ? std::string() : lines[0]);
  int64_t rows = 0;
  int64_t columns = 0;
  if (!(head >> rows >> columns) || columns == 0) {
    // Unreadable counts: no record, an error for the caller.
    MessageText = "Error reading Lookup file " + path;
    SetCalcError(kMsgPreparedText);
    return false;
  }
  const bool headers = columns < 0;
  columns = std::llabs(columns);
  size_t next = 1;
  if (headers) next += size_t(columns);
  if (rows < 0) {
    size_t count = lines.size() > next ? lines.size() - next : 0;
    while (count > 0 && Trim(lines[next + count - 1]).empty()) --count;
    rows = int64_t(count);
  }
  if (CountsTooLarge(rows, columns)) {
    SetMessageArg(1, "0");
    SetMessageArg(2, path);
    SetCalcError(kMsgUnexpectedReadError);
    return false;
  }
  MakeColumns(record, int32_t(rows), int32_t(columns));
  if (headers) {
    for (int64_t c = 0; c < columns; ++c) {
      const size_t index = 1 + size_t(c);
      // A missing or empty header line ends the file: the values stay blank.
      if (index >= lines.size() || Trim(lines[index]).empty()) return true;
      ReadLookupFormatLine(lines[index], record.Columns[size_t(c)]);
    }
  }
  // The values are read as a stream of blank-separated numbers, row by row.
  std::string rest;
  for (size_t i = next; i < lines.size(); ++i) rest += lines[i] + '\n';
  size_t at = 0;
  for (int64_t r = 0; r < rows; ++r) {
    for (int64_t c = 0; c < columns; ++c) {
      std::string word;
      bool quoted = false;
      Extended v = 0;
      if (NextWord(rest, at, word, quoted) && quoted) {
        // A quoted string: the column holds string constants ("' '" is the
        // empty string).
        TLookupColumnNode& node = record.Columns[size_t(c)];
        node.IsString = 1;
        node.Format.Style = kStyleStringConstant;
        node.Values[size_t(r)] = Trim(word).empty() ? BlankValue : Extended(StringConstIndex(word));
        continue;
      }
      if (word.empty() || !ParseNumber(word, v)) {
        SetMessageArg(1, "106");
        SetMessageArg(2, path);
        SetCalcError(kMsgUnexpectedReadError);
        ShowAlert(GetMessageText(kMsgUnexpectedReadError), 1, true);
        return false;
      }
      record.Columns[size_t(c)].Values[size_t(r)] = v;
    }
  }
  return true;
}

bool ReadLkt(const std::string& path, TLookupFileRecord& record) {
  std::vector<uint8_t> bytes;
  const int32_t ioResult = ReadFileBytes(path, bytes);
  if (ioResult == 2) {
    SetCalcError(kMsgLookupNotFound, BaseName(path));
    return false;
  }
  if (ioResult != 0 || bytes.size() < 16) {
    SetReadError(ioResult != 0 ? ioResult : 100, path);
    return false;
  }
  size_t pos = 16;
  // Files are written by this program's versions, all after the change of
  // the blank value.
  if (!ReadTableSection(bytes.data(), bytes.size(), pos, 0, &record, 10.0)) {
    if (CalcErrorCode == 0) SetCalcError(kMsgLookupReadError);
    return false;
  }
  return true;
}

// The table window an identifier designates for a column search, nullptr
// (with error 304) when it does not exist.
TTableColumnRecord* WindowColumns(int32_t tableId) {
  const int32_t kind = tableId == kParametricTableId ? kParametricTableKind : kLookupTableKind;
  TTableForm* form = TableForms[size_t(kind)].get();
  if (form == nullptr) {
    SetMessageArg(1, kind == kParametricTableKind ? "Parametric" : "Lookup");
    SetCalcErrorWithHelp(kMsgTableRequired, kind == kParametricTableKind ? 6 : 8);
    return nullptr;
  }
  const auto& list = TableLists[size_t(kind)];
  if (kind == kLookupTableKind && tableId < 0 && list && -tableId <= int32_t(list->size()) &&
      -tableId != form->CurrentTable) {
    return (*list)[size_t(-tableId - 1)]->Columns;
  }
  return form->Columns;
}

}  // namespace

void ReadLookupFormatLine(const std::string& raw, TLookupColumnNode& node) {
  const std::string line = Trim(raw);
  const char letter = line.empty() ? ' ' : static_cast<char>(std::toupper(static_cast<unsigned char>(line[0])));
  node.IsString = letter == 'S' ? 1 : 0;
  node.Format.Style = letter == 'F'   ? uint8_t{kStyleFixed}
                      : letter == 'E' ? uint8_t{kStyleExponential}
                      : letter == 'S' ? uint8_t{kStyleStringConstant}
                                      : uint8_t{kStyleAutomatic};
  // The digit count as the writer wrote it, a decimal number (one digit
  // in practice); 3 when there is none.
  size_t at = 1;
  int32_t digits = 0;
  while (at < line.size() && at < 4 && std::isdigit(static_cast<unsigned char>(line[at]))) digits = digits * 10 + (line[at++] - '0');
  node.Format.Digits = int16_t(at > 1 ? digits : 3);
  if (at < line.size() && line[at] == ' ') ++at;
  std::string rest = at < line.size() ? line.substr(at) : std::string();
  node.Units.clear();
  const size_t open = rest.find('[');
  if (open != std::string::npos) {
    const size_t close = rest.find(']', open);
    node.Units = Trim(rest.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1));
    rest = rest.substr(0, open);
  }
  node.Name = Trim(rest).substr(0, 30);
  node.Units = node.Units.substr(0, 30);
}

char LookupCsvSeparator(const std::string& firstLine) {
  return DecimalSeparator == ',' && firstLine.find(';') != std::string::npos ? ';' : ',';
}

int64_t LookupCsvColumnCount(const std::string& firstLine, char separator) {
  // A separator counts only when more text follows it: "1,2,3," has three.
  const std::string line = Trim(firstLine);
  int64_t columns = 1;
  for (size_t i = 0; i + 1 < line.size(); ++i) columns += line[i] == separator ? 1 : 0;
  return columns;
}

void FreeLookupColumns(TLookupFileRecord& record) {
  record.Columns.clear();
  record.Columns.shrink_to_fit();
  record.RowCount = 0;
  record.ColumnCount = 0;
}

bool ReadTextLookupFile(const std::string& path, TLookupFileRecord& record) {
  std::string resolved;
  if (!FileExistsOnPath(path, &resolved)) {
    SetCalcError(kMsgLookupNotFound, path);
    return false;
  }
  std::vector<std::string> lines;
  try {
    std::vector<uint8_t> bytes;
    if (const int32_t ioResult = ReadFileBytes(resolved, bytes); ioResult != 0) {
      SetReadError(ioResult, resolved);
      return false;
    }
    GetLines(bytes, lines);
    if (Extension(path) == ".CSV") return ReadCsv(path, lines, record);
    return ReadPlainText(path, lines, record);
  } catch (const std::bad_alloc&) {
    FreeLookupColumns(record);
    ReportOutOfMemory();
    return false;
  }
}

bool LoadLookupFileRecord(TLookupFileRecord& record, const std::string& fileName, int32_t id) {
  FreeLookupColumns(record);
  std::string path = fileName;
  FileExistsOnPath(fileName, &path);
  const bool ok = Extension(fileName) == ".LKT" ? ReadLkt(path, record) : ReadTextLookupFile(path, record);
  if (!ok || CalcErrorCode != 0) {
    if (CalcErrorCode == 0) SetCalcError(kMsgLookupReadError);
    if (CalcErrorCode == kMsgPreparedText && MessageText.empty()) MessageText = "Error reading Lookup file " + path;
    FreeLookupColumns(record);
    record.Loaded = false;
    return false;
  }
  std::error_code ec;
  const std::filesystem::path full = std::filesystem::absolute(path, ec);
  record.TableId = id;
  record.FileName = ec ? path : full.string();
  record.Loaded = true;
  record.FromLibrary = LoadingLibrary;
  record.FileDate = FileDateOf(record.FileName);
  return true;
}

bool RefreshLookupFile(TLookupFileRecord& record) {
  const double date = FileDateOf(record.FileName);
  if (date == 0 || date == record.FileDate) return true;
  const std::string name = record.FileName;
  if (LoadLookupFileRecord(record, name, record.TableId)) return true;
  // Every loaded file is read afresh on its next use; identifiers stay.
  for (auto& file : LookupFileList) file->Loaded = false;
  return false;
}

TLookupFileRecord* FindLookupFileById(int32_t id) {
  if (id <= 0) return nullptr;
  for (auto& file : LookupFileList) {
    if (file->TableId != id) continue;
    if (!file->Loaded) {
      if (!LoadLookupFileRecord(*file, file->FileName, id)) return nullptr;
    } else if (!RefreshLookupFile(*file)) {
      return nullptr;
    }
    return file.get();
  }
  return nullptr;
}

int32_t FindLookupTable(const std::string& name, TLookupFileRecord*& record) {
  record = nullptr;
  std::string upper = Upper(Trim(name));
  if (TTableForm* form = TableForms[size_t(kLookupTableKind)].get()) {
    for (size_t t = 0; t < form->TabCaptions.size(); ++t) {
      if (Upper(form->TabCaptions[t]) == upper) return -int32_t(t + 1);
    }
  }
  if (upper == "PARAMETRIC") return kParametricTableId;
  std::string fileName = Trim(name);
  if (Extension(fileName).empty()) {
    // Files saved here carry the extension in either case.
    const bool lowerExists = !FileExistsOnPath(fileName + ".LKT") && FileExistsOnPath(fileName + ".lkt");
    fileName += lowerExists ? ".lkt" : ".LKT";
    upper += ".LKT";
  }
  for (auto& file : LookupFileList) {
    if (Upper(BaseName(file->FileName)) != upper && Upper(file->FileName) != upper) continue;
    TLookupFileRecord* found = FindLookupFileById(file->TableId);
    if (found == nullptr) return 0;
    record = found;
    return found->TableId;
  }
  std::string path = fileName;
  if (!FileExistsOnPath(fileName, &path)) {
    bool found = false;
    if (!HasDirectory(fileName)) {
      for (const std::string& dir : {ProgramDirectory}) {
        const std::string candidate = dir + "/" + fileName;
        if (!dir.empty() && std::filesystem::exists(candidate)) {
          path = candidate;
          found = true;
          break;
        }
      }
    }
    if (!found) {
      SetCalcError(kMsgLookupNotFound, name);
      return 0;
    }
  }
  try {
    auto file = std::make_unique<TLookupFileRecord>();
    if (!LoadLookupFileRecord(*file, path, NextLookupFileId)) return 0;
    ++NextLookupFileId;
    record = file.get();
    LookupFileList.push_back(std::move(file));
    return record->TableId;
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
    return 0;
  }
}

int32_t FindColumnByName(const std::string& name, const TLookupFileRecord* record, int32_t tableId) {
  const std::string upper = Upper(name);
  // The names the table has, for the message when none matches: a file
  // without a header row has Column1, Column2, ..., which a user cannot
  // guess.
  std::vector<std::string> names;
  if (record != nullptr) {
    for (const TLookupColumnNode& column : record->Columns) {
      if (Upper(column.Name) == upper) return column.ColumnNumber;
      names.push_back(column.Name);
    }
  } else {
    TTableColumnRecord* column = WindowColumns(tableId);
    if (CalcErrorCode != 0) return 0;
    for (; column != nullptr; column = column->Next) {
      std::string heading = column->Name;
      const size_t cr = heading.find('\r');
      if (cr != std::string::npos) heading.resize(cr);
      if (Upper(heading) == upper) return column->ColumnNumber;
      names.push_back(heading);
    }
  }
  SetCalcError(kMsgColumnNotFound, name);
  // The list is added only when the whole of it fits the message.
  std::string list;
  for (size_t k = 0; k < names.size() && k < 64; ++k) list += (k == 0 ? "" : ", ") + names[k];
  SetMessageArg(2, "");
  const std::string bare = GetMessageText(kMsgColumnNotFound);
  const std::string tail = "  The table's columns are " + list + ".";
  if (!names.empty() && names.size() <= 64 && bare.size() + tail.size() <= kMessageTextLength)
    SetMessageArg(2, tail);
  return 0;
}

Extended GetTableColumnNumber(const std::string& designator, const TLookupFileRecord* record, int32_t tableId) {
  if (!designator.empty() && designator[0] == '#') {
    Extended n = 0;
    if (!ParseNumber(designator.substr(1), n)) {
      SetCalcError(kMsgUnexpectedEvaluationError, designator);
      return BlankValue;
    }
    return n;
  }
  return FindColumnByName(designator, record, tableId);
}

}  // namespace voq

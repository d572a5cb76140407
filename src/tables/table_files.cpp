#include "tables/table_files.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <new>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/number_text.h"
#include "core/string_constants.h"
#include "core/search_path.h"
#include "core/text_utils.h"
#include "model/document_settings.h"
#include "platform/platform.h"
#include "session/program_start.h"
#include "tables/table_section.h"
#include "tables/tables_state.h"

namespace voq {

namespace {

void PutInt32(uint8_t* dst, int32_t v) {
  const uint32_t u = uint32_t(v);
  for (int i = 0; i < 4; ++i) dst[i] = uint8_t(u >> (8 * i));
}

int32_t GetInt32(const uint8_t* src) {
  uint32_t u = 0;
  for (int i = 0; i < 4; ++i) u |= uint32_t(src[i]) << (8 * i);
  return int32_t(u);
}

// A length byte and up to capacity characters; the unused bytes zero.
void PutShortString(uint8_t* dst, const std::string& text, size_t capacity) {
  const size_t n = std::min(text.size(), capacity);
  dst[0] = uint8_t(n);
  for (size_t i = 0; i < capacity; ++i) dst[1 + i] = i < n ? uint8_t(text[i]) : 0;
}

std::string GetShortString(const uint8_t* src, size_t capacity) {
  const size_t n = std::min(size_t(src[0]), capacity);
  return std::string(reinterpret_cast<const char*>(src + 1), n);
}

std::string WithoutFolder(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The I/O result a failed open or write reports: 5 access denied, 101 disk
// full, else the system's own code.
int32_t IOResultOf(int error) {
  if (error == EACCES || error == EPERM || error == EROFS) return 5;
  if (error == ENOSPC || error == EFBIG || error == 0) return 101;
  return error;
}

// Writes (or appends) bytes; a failure is reported and gives false.
bool WriteBytesToFile(const std::string& path, const void* data, size_t size, bool append) {
  errno = 0;
  std::FILE* f = std::fopen(path.c_str(), append ? "ab" : "wb");
  if (f == nullptr) {
    ReportIOError(IOResultOf(errno));
    return false;
  }
  errno = 0;
  const bool written = size == 0 || std::fwrite(data, 1, size, f) == size;
  int error = written ? 0 : errno;
  const bool closed = std::fclose(f) == 0;
  if (written && !closed) error = errno;
  if (written && closed) return true;
  ReportIOError(IOResultOf(error));
  return false;
}

bool IsStringCell(const TTableColumnRecord& c) {
  return c.IsString != 0 || c.Format.Style == kStyleStringConstant;
}

int32_t TableTextColumnCount(const TTableForm& form) { return std::max(0, form.GridColCount - 1); }

}  // namespace

void PackStoredTableHeader(const TStoredTableHeader& h, uint8_t* dst) {
  namespace o = stored_table_offsets;
  PutShortString(dst + o::Version, h.Version, 15);
  PutShortString(dst + o::DocumentName, h.DocumentName, 255);
  PutInt32(dst + o::Top, h.Top);
  PutInt32(dst + o::Left, h.Left);
  PutInt32(dst + o::Width, h.Width);
  PutInt32(dst + o::Height, h.Height);
}

void UnpackStoredTableHeader(const uint8_t* src, TStoredTableHeader& h) {
  namespace o = stored_table_offsets;
  h.Version = GetShortString(src + o::Version, 15);
  h.DocumentName = GetShortString(src + o::DocumentName, 255);
  h.Top = GetInt32(src + o::Top);
  h.Left = GetInt32(src + o::Left);
  h.Width = GetInt32(src + o::Width);
  h.Height = GetInt32(src + o::Height);
}

std::string ScientificField(Extended x, int32_t width) {
  const int32_t decimals = std::max(1, width - 9);
  std::string body;
  if (std::isnan(x)) {
    body = "NAN";
  } else if (std::isinf(x)) {
    body = x < 0 ? "-INF" : " INF";
  } else {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*Le", decimals, static_cast<long double>(std::fabs(x)));
    std::string text = buffer;
    const size_t e = text.find('e');
    const std::string mantissa = text.substr(0, e);
    const int exponent = std::atoi(text.c_str() + e + 1);
    char expText[16];
    std::snprintf(expText, sizeof expText, "E%c%04d", exponent < 0 ? '-' : '+', std::abs(exponent));
    body = std::string(std::signbit(x) && x != 0 ? "-" : " ") + mantissa + expText;
  }
  if (int32_t(body.size()) < width) body.insert(0, size_t(width) - body.size(), ' ');
  return body;
}

int32_t TableTextRowCount(const TTableForm& form) {
  int32_t rows = form.GridRowCount - 1;
  if (form.TableKind == kParametricTableKind && Preferences.TableSumRow != 0) --rows;
  return std::max(0, rows);
}

// --- StoreTable --------------------------------------------------------------------

std::vector<uint8_t> StoredTableBytes(TTableForm& form, const std::string& documentName) {
  form.MultipleTableRefresh();
  std::vector<uint8_t> bytes(kStoredTableHeaderSize, 0);
  TStoredTableHeader h;
  h.Version = ProgramVersion;
  h.DocumentName = UpperCaseText(WithoutFolder(documentName));
  h.Top = form.WindowTop;
  h.Left = form.WindowLeft;
  h.Width = form.WindowWidth;
  h.Height = form.WindowHeight;
  PackStoredTableHeader(h, bytes.data());
  WriteTableSection(bytes, TableKindToWindowTag(kParametricTableKind), false);
  bytes.resize(bytes.size() + kStoredTableTrailerSize, 0);
  return bytes;
}

bool StoreTable(TTableForm& form, const std::string& fileName, const std::string& documentName) {
  std::vector<uint8_t> bytes;
  try {
    bytes = StoredTableBytes(form, documentName);
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
    return false;
  }
  return WriteBytesToFile(fileName, bytes.data(), bytes.size(), false);
}

// --- SaveTable ---------------------------------------------------------------------

std::string SavedTableText(TTableForm& form, const std::string& fileName) {
  const std::string separator =
      UpperCaseText(fileName).find(".CSV") != std::string::npos ? std::string(1, ArgumentSeparator) : "\t";
  const int32_t rows = TableTextRowCount(form);
  const int32_t columns = TableTextColumnCount(form);
  std::string out;
  int32_t k = 0;
  for (const TTableColumnRecord* c = form.Columns; c != nullptr && k < columns; c = c->Next, ++k) {
    if (k > 0) out += separator;
    for (char ch : c->Name)
      if (ch != '\r') out += ch;
  }
  out += "\r\n";
  for (int32_t r = 1; r <= rows; ++r) {
    k = 0;
    for (const TTableColumnRecord* c = form.Columns; c != nullptr && k < columns; c = c->Next, ++k) {
      if (k > 0) out += separator;
      const Extended v = c->Cell(r);
      if (IsStringCell(*c)) {
        const Extended index = std::round(v);
        if (!IsBlank(v) && index >= 1 && index <= Extended(StringConstants.size()))
          out += StringConstText(int32_t(index));
      } else {
        out += ScientificField(v, 14);
      }
    }
    out += "\r\n";
  }
  return out;
}

bool SaveTable(TTableForm& form, const std::string& fileName, bool append) {
  std::string text;
  try {
    text = SavedTableText(form, fileName);
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
    return false;
  }
  std::error_code ec;
  const bool exists = append && std::filesystem::is_regular_file(fileName, ec);
  return WriteBytesToFile(fileName, text.data(), text.size(), exists);
}

// --- WriteTable --------------------------------------------------------------------

void WriteTable(TTableForm& form, std::string& out, bool withInformation) {
  const int32_t rows = TableTextRowCount(form);
  const int32_t columns = TableTextColumnCount(form);
  out += std::to_string(rows) + " " + std::to_string(columns) + "\r\n";
  const bool lookup = form.TableKind == kLookupTableKind;
  if (withInformation) {
    if (form.TableKind == kParametricTableKind) {
      for (int32_t i = 1; i <= columns; ++i) {
        const int32_t v = size_t(i) < ParametricColumnOrder.size() ? ParametricColumnOrder[size_t(i)] : 0;
        out += std::to_string(v) + "\r\n";
      }
    } else if (lookup) {
      int32_t k = 0;
      for (const TTableColumnRecord* c = form.Columns; c != nullptr && k < columns; c = c->Next, ++k) {
        for (char ch : c->Name)
          if (ch != '\r') out += ch;
        out += "\r\n" + std::to_string(int32_t(c->Format.Style)) + "\r\n" + std::to_string(int32_t(c->Format.Digits)) +
               "\r\n";
      }
    }
  }
  for (int32_t r = 1; r <= rows; ++r) {
    int32_t k = 0;
    for (const TTableColumnRecord* c = form.Columns; c != nullptr && k < columns; c = c->Next, ++k) {
      if (withInformation) {
        const int32_t flag = lookup ? 0 : int32_t(c->Flag(r));
        out += std::to_string(flag) + " " + ScientificField(c->Cell(r), 20) + "\r\n";
      } else {
        out += ScientificField(c->Cell(r), 12) + " ";
      }
    }
    if (!withInformation) out += "\r\n";
  }
}

// --- ReadTable ---------------------------------------------------------------------

bool TTableTextReader::ReadLine(std::string& line) {
  line.clear();
  if (Pos >= Text.size()) return false;
  while (Pos < Text.size() && Text[Pos] != '\r' && Text[Pos] != '\n') line += Text[Pos++];
  if (Pos < Text.size() && Text[Pos] == '\r') ++Pos;
  if (Pos < Text.size() && Text[Pos] == '\n') ++Pos;
  return true;
}

namespace {

void SetReadError() { SetCalcError(kMsgLookupReadError); }

// One flag-form cell: "flag value" on a line of its own.
bool ReadFlagCell(TTableTextReader& in, uint8_t& flag, Extended& value) {
  std::string line;
  if (!in.ReadLine(line)) return false;
  const size_t start = line.find_first_not_of(" \t");
  if (start == std::string::npos) return false;
  const size_t end = std::min(line.find_first_of(" \t", start), line.size());
  const std::string first = line.substr(start, end - start);
  const std::string rest = line.substr(end);
  int32_t f = 0;
  bool ok = false;
  StrToLongSafe(first, f, ok);
  if (!ok) return false;
  size_t a = rest.find_first_not_of(" \t");
  if (a == std::string::npos) return false;
  size_t b = rest.find_last_not_of(" \t");
  Extended v = 0;
  int32_t errorPos = 0;
  StrToReal(rest.substr(a, b - a + 1), v, errorPos);
  if (errorPos != 0) return false;
  flag = f != 0 ? 1 : 0;
  // Older files wrote the blank as 9.99E+98.
  value = (v > 9.98E+98L && v < 1.0E+99L) ? BlankValue : v;
  return true;
}

bool IsSoftSeparator(char ch) {
  return ch == ' ' || ch == '\r' || ch == '\n' || ch == ArgumentSeparator;
}

enum class TokenResult { Ok, EndOfFile, MissingQuote };

// One token-form value. Blanks, line ends and argument separators before it
// are skipped (several separate once); a tab ends a value, so a tab met
// first gives an empty token.
TokenResult ReadToken(TTableTextReader& in, std::string& token, bool& quoted) {
  token.clear();
  quoted = false;
  const std::string& t = in.Text;
  while (in.Pos < t.size() && IsSoftSeparator(t[in.Pos])) ++in.Pos;
  if (in.Pos >= t.size()) return TokenResult::EndOfFile;
  if (t[in.Pos] == '\t') {
    ++in.Pos;
    return TokenResult::Ok;
  }
  if (t[in.Pos] == '\'') {
    quoted = true;
    const size_t close = t.find_first_of("'\r\n", in.Pos + 1);
    if (close == std::string::npos || t[close] != '\'') {
      in.Pos = close == std::string::npos ? t.size() : close;
      return TokenResult::MissingQuote;
    }
    token = t.substr(in.Pos + 1, close - in.Pos - 1);
    in.Pos = close + 1;
    // Text glued to the closing quote belongs to no value: a syntax error.
    if (in.Pos < t.size() && !IsSoftSeparator(t[in.Pos]) && t[in.Pos] != '\t') return TokenResult::MissingQuote;
  } else {
    while (in.Pos < t.size() && !IsSoftSeparator(t[in.Pos]) && t[in.Pos] != '\t') token += t[in.Pos++];
  }
  // The tab (after any blanks) that ends this value is consumed with it.
  size_t p = in.Pos;
  while (p < t.size() && t[p] == ' ') ++p;
  if (p < t.size() && t[p] == '\t') in.Pos = p + 1;
  return TokenResult::Ok;
}

// After a row the rest of its line is skipped; a row that ended exactly at
// a line end leaves only that line end to skip.
void SkipRestOfLine(TTableTextReader& in) {
  const std::string& t = in.Text;
  while (in.Pos < t.size() && t[in.Pos] != '\r' && t[in.Pos] != '\n') ++in.Pos;
  if (in.Pos < t.size() && t[in.Pos] == '\r') ++in.Pos;
  if (in.Pos < t.size() && t[in.Pos] == '\n') ++in.Pos;
}

}  // namespace

bool ReadTable(TTableForm& form, TTableTextReader& in, bool flagForm, const std::string& fileName) {
  // The rows the text holds: a shown sum row is computed, never read.
  const int32_t rows = TableTextRowCount(form);
  const int32_t columns = TableTextColumnCount(form);
  for (int32_t r = 1; r <= rows; ++r) {
    int32_t k = 0;
    for (TTableColumnRecord* c = form.Columns; c != nullptr && k < columns; c = c->Next, ++k) {
      if (flagForm) {
        uint8_t flag = 0;
        Extended value = BlankValue;
        if (!ReadFlagCell(in, flag, value)) {
          SetReadError();
          return false;
        }
        c->SetCell(r, value);
        c->SetFlag(r, flag);
        continue;
      }
      std::string token;
      bool quoted = false;
      const TokenResult result = ReadToken(in, token, quoted);
      if (result == TokenResult::EndOfFile) {
        SetReadError();
        return false;
      }
      if (result == TokenResult::MissingQuote) {
        SetCalcError(kMsgMissingQuoteOrSyntax);
        return false;
      }
      Extended value = BlankValue;
      if (quoted) {
        c->Format.Style = kStyleStringConstant;
        c->IsString = 1;
        value = Extended(StringConstIndex(token));
      } else if (!token.empty()) {
        bool ok = false;
        value = ParseReal(token, ok);
        if (!ok) {
          SetCalcError(kMsgFileReadIOError);
          SetMessageArg(1, "in row " + std::to_string(r));
          SetMessageArg(2, fileName);
          return false;
        }
      }
      c->SetCell(r, value);
    }
    if (!flagForm) SkipRestOfLine(in);
  }
  return true;
}

}  // namespace voq

namespace voq {

std::string StoredTableName(const std::string& fileName) {
  const std::string name = WithoutFolder(fileName);
  const size_t cut = UpperCaseText(name).find(".PAR");
  return cut == std::string::npos ? name : name.substr(0, cut);
}

namespace {

// A read error of the stored file: message 355 with the I/O result and the
// file name, shown.
void ShowStoredTableReadError(int32_t ioResult, const std::string& fileName) {
  SetCalcError(kMsgFileReadIOError);
  SetMessageArg(1, std::to_string(ioResult));
  SetMessageArg(2, fileName);
  ShowAlert(GetMessageText(kMsgFileReadIOError), kAlertErrorOk, true);
}

}  // namespace

bool RetrieveStoredTable(const std::string& fileName, const std::string& documentName, void (*markChanged)()) {
  ClearCalcError();
  std::vector<uint8_t> bytes;
  int32_t ioResult = 0;
  try {
    ioResult = ReadFileBytes(fileName, bytes);
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
    ShowAlert(GetMessageText(kMsgOutOfMemory), kAlertErrorOk, true);
    return false;
  }
  if (ioResult != 0) {
    ShowStoredTableReadError(ioResult, fileName);
    return false;
  }
  if (bytes.size() < stored_table_offsets::DocumentName) {
    ShowStoredTableReadError(100, fileName);
    return false;
  }
  // The version is read first: a file that is no stored table at all is
  // refused before the document is touched.
  TStoredTableHeader h;
  h.Version = GetShortString(bytes.data() + stored_table_offsets::Version, 15);
  Extended version = 0;
  int32_t errorPos = 0;
  StrToReal(h.Version, version, errorPos);
  if (errorPos != 0) {
    SetCalcError(kMsgIllegalCharacterInString);
    SetMessageArg(1, std::to_string(errorPos));
    SetMessageArg(2, h.Version);
    SetMessageArg(3, fileName);
    ShowAlert(GetMessageText(kMsgIllegalCharacterInString), kAlertErrorOk, true);
    return false;
  }
  if (markChanged != nullptr) markChanged();
  if (bytes.size() < kStoredTableHeaderSize) {
    ShowStoredTableReadError(100, fileName);
    return false;
  }
  UnpackStoredTableHeader(bytes.data(), h);
  if (!SameTextNoCase(h.DocumentName, WithoutFolder(documentName))) {
    if (ShowAlert(GetMessageText(kMsgTableFromOtherFile), kAlertWarningYesNo, true) != kResultYes) return false;
  }
  size_t pos = kStoredTableHeaderSize;
  bool read = false;
  try {
    read = ReadTableSection(bytes.data(), bytes.size(), pos, -4, nullptr, double(version));
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
  }
  TTableForm* form = TableForms[size_t(kParametricTableKind)].get();
  if (!read || form == nullptr) {
    if (CalcErrorCode == 0) CalcErrorCode = kMsgLookupReadError;
    ShowAlert(GetMessageText(CalcErrorCode), kAlertErrorOk, true);
    return false;
  }
  form->WindowTop = h.Top;
  form->WindowLeft = h.Left;
  form->WindowWidth = h.Width;
  form->WindowHeight = h.Height;
  form->TableName = StoredTableName(fileName);
  form->MultipleTableRefresh();
  return true;
}

}  // namespace voq

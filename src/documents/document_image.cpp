#include "documents/document_image.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <new>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/search_path.h"
#include "documents/diagram_section.h"
#include "documents/document_bytes.h"
#include "documents/document_file.h"
#include "documents/document_sections.h"
#include "documents/documents_state.h"
#include "model/document_settings.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "output/formatted_offsets.h"
#include "platform/platform.h"
#include "tables/table_model.h"
#include "tables/tables_state.h"

namespace voq {

using namespace docbytes;

namespace {

constexpr size_t kLibraryHeaderSize = 31;
constexpr const char* kLibraryMark = "$SB1";

// Versions compare as reals after 0.0001 is added, so that "4.6" and
// "4.60" are one version and a typed version is never just below itself.
double VersionValue(const std::string& text) {
  double v = 0;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  while (first < last && *first == ' ') ++first;
  std::from_chars(first, last, v);
  return v + 0.0001;
}

std::vector<int32_t> Widened(const std::vector<int16_t>& numbers) {
  return std::vector<int32_t>(numbers.begin(), numbers.end());
}

// The failures whose alert was shown where they arose (636 by the
// uncertainty reader, memory by the table model) are not shown twice; the
// others are shown when the reading ends.
void ShowSectionFailure(int32_t section = 0) {
  if (CalcErrorCode == 0 || CalcErrorCode == kMsgUncertaintyReadError) return;
  const bool tableSection = section >= 5 && section <= 7;
  if (tableSection && (CalcErrorCode == kMsgOutOfMemory || CalcErrorCode == kMsgOperationOutOfMemory)) return;
  ShowAlert(GetMessageText(CalcErrorCode), kAlertErrorOk, false);
}

bool ReadLibraryStart(const uint8_t* data, size_t size, size_t& pos, TDocumentReadResult& result) {
  if (size < kLibraryHeaderSize + 4) {
    SetCalcError(kMsgUnexpectedIOError, "100");
    return false;
  }
  std::string header = GetShortString(data, 30);
  result.Header = header;
  // "$SB1-", an optional separator, the mode letter, the version, a CR.
  std::string rest = header.size() > 5 ? header.substr(5) : std::string();
  if (!rest.empty() && rest.back() == '\r') rest.pop_back();
  if (!rest.empty() && rest[0] == ',') {
    result.DocumentSeparator = ',';
    rest.erase(0, 1);
  }
  if (!rest.empty()) rest.erase(0, 1);  // "C" or "X"
  result.Version = rest;
  pos = kLibraryHeaderSize;
  const int32_t t = Get32(data + pos);
  pos += 4;
  if (t < 1 || size_t(t) > size - pos) {
    SetCalcError(kMsgUnexpectedIOError, "100");
    return false;
  }
  try {
    result.Text.assign(reinterpret_cast<const char*>(data + pos), size_t(t) - 1);
  } catch (const std::bad_alloc&) {
    SetCalcError(kMsgOutOfMemory);
    return false;
  }
  pos += size_t(t);
  return true;
}

}  // namespace

std::vector<int16_t> PurgedVariableNumbers() {
  const TProgramUnitRecord* main = MainProgramUnit;
  if (main == nullptr) return {};
  const size_t n = size_t(std::max<int16_t>(main->VariableCount, 0));
  std::vector<uint8_t> keep(n + 1, 0);
  for (size_t i = 1; i <= n; ++i) {
    const TVariableRecord* v = main->Variable(int32_t(i));
    if (v != nullptr && v->UnknownPosition != 0) keep[i] = 1;
  }
  for (int32_t number : DiagramItemVariables()) {
    if (number >= 1 && size_t(number) <= n) keep[size_t(number)] = 1;
  }
  auto markColumns = [&](const TTableColumnRecord* c) {
    for (; c != nullptr; c = c->Next) {
      if (c->VariableIndex >= 1 && size_t(c->VariableIndex) <= n) keep[size_t(c->VariableIndex)] = 1;
    }
  };
  if (const TTableForm* form = TableForms[kParametricTableKind].get()) {
    markColumns(form->Columns);
    if (const auto* list = TableLists[kParametricTableKind].get()) {
      for (const auto& h : *list) markColumns(h->Columns);
    }
  }
  std::vector<int16_t> numbers(n + 1, 0);
  int16_t next = 0;
  for (size_t i = 1; i <= n; ++i) {
    if (keep[i] != 0 && main->Variable(int32_t(i)) != nullptr) numbers[i] = ++next;
  }
  return numbers;
}

std::vector<uint8_t> WriteDocumentImage(const std::string& text, bool purge) {
  std::vector<uint8_t> out;
  const std::string header =
      DocumentHeaderText(Preferences.ComplexMode != 0, kDocumentVersion, DecimalSeparator, PrinterLandscape);
  WriteDocumentStart(header, text, out);
  WriteSettingsSections(out);
  std::vector<int16_t> numbers;
  if (purge) numbers = PurgedVariableNumbers();
  const std::vector<int32_t> wideNumbers = Widened(numbers);
  if (MainProgramUnit != nullptr) {
    WriteVariableSection(*MainProgramUnit, out, purge ? &numbers : nullptr);
  } else {
    Put16(out, 0);
  }
  for (int32_t kind = 1; kind <= 3; ++kind) WriteTableGroup(kind, out, purge ? &wideNumbers : nullptr);
  Put32(out, 0);  // the integral table is never stored with the document
  Put32(out, 0);  // reserved
  WritePlotSection(out);
  WriteMinMaxSection(out);
  WriteWindowLayout(out);
  WriteDiagramEntrySection(out, purge ? &numbers : nullptr);
  WriteStringBlock(out);
  WriteDiagramObjectSection(out);
  WriteProgramUnits(out);
  WriteUncertaintySection(out, purge);
  WriteCustomColors(out);
  WriteLocalFormats(out);
  PackFormattedOffsets(out);
  return out;
}

std::vector<uint8_t> WriteLibraryImage(const std::string& text) {
  std::string mark = std::string(kLibraryMark) + "-";
  if (DecimalSeparator != '.') mark += DecimalSeparator;
  mark += Preferences.ComplexMode != 0 ? 'C' : 'X';
  mark += kDocumentVersion;
  mark += '\r';
  if (mark.size() > 30) mark.resize(30);
  std::vector<uint8_t> out(kLibraryHeaderSize, 0);
  SetShortString(out.data(), mark, 30);
  Put32(out, int32_t(text.size()) + 1);
  out.insert(out.end(), text.begin(), text.end());
  out.push_back(0);
  WriteProgramUnits(out);
  WriteLocalFormats(out);
  return out;
}

TDocumentReadResult ReadDocumentImage(const uint8_t* data, size_t size) {
  TDocumentReadResult result;
  ClearCalcError();
  size_t pos = 0;
  // The mark opens the text of the library header's string[30].
  if (size >= 5 && std::memcmp(data + 1, kLibraryMark, 4) == 0) {
    result.Library = true;
    result.Recognised = true;
    if (!ReadLibraryStart(data, size, pos, result)) {
      ShowSectionFailure();
      return result;
    }
    result.Read = true;
    if (VersionValue(result.Version) > VersionValue("4.6") &&
        !ReadProgramUnits(data, size, pos, result.DocumentSeparator, DecimalSeparator)) {
      result.FailedSection = 16;
      ShowSectionFailure();
    }
    return result;
  }

  // A failed section leaves what follows it as the reset left it, the
  // previous document's diagram and layout included.
  ClearDocumentCarriedState();
  std::string header;
  if (!ReadDocumentStart(data, size, pos, header, result.Text)) {
    ShowSectionFailure();
    return result;
  }
  result.Read = true;
  result.Header = header;
  const char letter = header.empty() ? '\0' : header[0];
  result.Recognised = letter == 'W' || letter == 'X' || letter == 'C';
  // Layouts without the letter are older ones this reader does not take.
  if (!result.Recognised) return result;
  const bool complex = letter == 'C';
  Preferences.ComplexMode = complex ? 1 : 0;
  if (MainProgramUnit != nullptr) MainProgramUnit->UnitComplexMode = complex ? 1 : 0;
  std::string rest = header.substr(1);
  if (!rest.empty() && rest.back() == 'L') {
    result.Landscape = true;
    rest.pop_back();
  }
  PrinterLandscape = result.Landscape;
  if (!rest.empty() && rest.back() == ',') {
    result.DocumentSeparator = ',';
    rest.pop_back();
  }
  result.Version = rest;

  const char documentSeparator = result.DocumentSeparator;
  int32_t section = 1;
  auto failed = [&]() {
    result.FailedSection = section;
    ShowSectionFailure(section);
    return result;
  };
  if (!ReadSettingsSections(data, size, pos)) return failed();
  section = 4;
  if (!ReadVariableSection(data, size, pos, MainProgramUnit, documentSeparator, DecimalSeparator)) return failed();
  for (int32_t kind = 1; kind <= 3; ++kind) {
    section = 4 + kind;
    if (!ReadTableGroup(kind, data, size, pos)) return failed();
  }
  // The integral group (always empty) and the reserved word.
  for (section = 8; section <= 9; ++section) {
    if (size - pos < 4) {
      SetCalcError(kMsgUnexpectedIOError, "100");
      return failed();
    }
    pos += 4;
  }
  if (CtrlKeyDown() && ShiftKeyDown()) return result;
  section = 10;
  if (!ReadPlotSection(data, size, pos)) return failed();
  section = 11;
  if (!ReadMinMaxSection(data, size, pos)) return failed();
  section = 12;
  if (!ReadWindowLayout(data, size, pos)) return failed();
  section = 13;
  if (!ReadDiagramEntrySection(data, size, pos)) return failed();
  section = 14;
  if (!ReadStringBlock(data, size, pos)) return failed();
  section = 15;
  if (!ReadDiagramObjectSection(data, size, pos)) return failed();
  if (CtrlKeyDown()) return result;
  section = 16;
  if (!ReadProgramUnits(data, size, pos, documentSeparator, DecimalSeparator)) return failed();
  section = 17;
  if (!ReadUncertaintySection(data, size, pos)) return failed();
  section = 18;
  if (!ReadCustomColors(data, size, pos)) return failed();
  section = 19;
  if (pos < size && !ReadLocalFormats(data, size, pos)) return failed();
  // The moved statements of the Formatted Equations window, when the
  // document has any; a damaged block loses only the moves.
  if (pos < size) UnpackFormattedOffsets(data, size, pos);
  return result;
}

bool WriteDocumentBinary(const std::string& fileName, const std::string& text, bool purge) {
  std::string extension;
  const size_t dot = fileName.find_last_of('.');
  if (dot != std::string::npos) extension = fileName.substr(dot, 4);
  for (char& c : extension) c = char(std::toupper(uint8_t(c)));
  const std::vector<uint8_t> image = extension == ".LIB" && ProgramUnitList.size() > 1
                                         ? WriteLibraryImage(text)
                                         : WriteDocumentImage(text, purge);
  std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
  if (!file) {
    SetCalcError(kMsgUnexpectedIOError, "5");
    ReportIOError(5);
    return false;
  }
  file.write(reinterpret_cast<const char*>(image.data()), std::streamsize(image.size()));
  file.close();
  if (!file) {
    SetCalcError(kMsgUnexpectedIOError, "101");
    ReportIOError(101);  // a short write, as on a full disk
    return false;
  }
  return true;
}

bool ReadDocumentBinary(const std::string& fileName, TDocumentReadResult& result) {
  std::vector<uint8_t> data;
  int32_t ioResult = 0;
  try {
    ioResult = ReadFileBytes(fileName, data);
  } catch (const std::bad_alloc&) {
    SetCalcError(kMsgOutOfMemory);
    return false;
  }
  if (ioResult == 2) {
    SetCalcError(kMsgUnexpectedIOError, "2");
    ReportIOError(2);  // not found
    return false;
  }
  if (ioResult != 0) {
    SetCalcError(kMsgUnexpectedIOError, std::to_string(ioResult));
    return false;
  }
  result = ReadDocumentImage(data.data(), data.size());
  return result.Read;
}

}  // namespace voq

#include "units/unit_table.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/number_text.h"
#include "core/program_flags.h"
#include "core/text_utils.h"

namespace voq {

TUnitDefinitionRecord* UnitTableHead = nullptr;
TUnitDefinitionRecord* UnitTableTail = nullptr;
bool UnitSearchFromEnd = false;
TDistributableUnitsBlock DistributableUnitsBlock;

namespace {

constexpr size_t kLineLength = 255;

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

void StripLeadingBlanks(std::string& s) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  s.erase(0, i);
}

int DimensionIndex(char letter) {
  for (int i = 0; i < kDimensionCount; ++i) {
    if (kDimensionLetters[i] == letter) return i;
  }
  return -1;
}

void ReportLoadError(int32_t id) { ShowAlert(GetMessageText(id), 0, true); }

}  // namespace

TDimensionVector ParseDimensionFormula(const std::string& formula) {
  TDimensionVector e{};
  std::string f = Upper(formula);
  StripLeadingBlanks(f);
  int sign = 1;
  for (size_t i = 0; i < f.size(); ++i) {
    const char c = f[i];
    if (c == '/') {
      sign = -sign;
      continue;
    }
    const int k = DimensionIndex(c);
    if (k < 0) continue;
    int power = 1;
    if (i + 1 < f.size() && f[i + 1] == '^') {
      power = 0;
      if (i + 2 < f.size()) {
        const char d = f[i + 2];
        if (d >= '0' && d <= '9') power = d - '0';
      }
      i += std::min<size_t>(2, f.size() - 1 - i);
    }
    e[k] += sign * power;
  }
  return e;
}

void AppendUnitDefinition(const std::string& name, Extended factor,
                          const TDimensionVector& exponents, const std::string& dimensionName) {
  auto* unit = new TUnitDefinitionRecord;
  unit->Name = name.substr(0, kUnitNameLength);
  unit->UpperName = Upper(unit->Name);
  unit->Factor = factor;
  unit->Exponents = exponents;
  unit->DimensionName = dimensionName.substr(0, kUnitNameLength);
  unit->Previous = UnitTableTail;
  if (UnitTableTail != nullptr) {
    UnitTableTail->Next = unit;
  } else {
    UnitTableHead = unit;
  }
  UnitTableTail = unit;
}

int32_t ReadUnitsFileLine(const std::string& lineRead, TUnitFileReader& reader) {
  std::string line = lineRead.substr(0, kLineLength);
  StripLeadingBlanks(line);
  if (line.empty()) return 0;
  if (line[0] == '$') {
    const std::string rest = line.substr(1);
    const size_t open = rest.find('(');
    reader.HaveDimension = true;
    reader.DimensionName = rest.substr(0, std::min(open, rest.size())).substr(0, kUnitNameLength);
    reader.Exponents = open == std::string::npos ? TDimensionVector{} : ParseDimensionFormula(rest.substr(open + 1));
    return 0;
  }
  // A unit named "$" is written "#$" so that its line is no dimension line.
  for (size_t p = line.find("#$"); p != std::string::npos; p = line.find("#$", p)) line.erase(p, 1);
  if (!reader.HaveDimension || line[0] == '}') return 0;
  const size_t blank = line.find(' ');
  if (blank == std::string::npos) {
    SetMessageArg(1, line);
    ReportLoadError(kMsgConversionsFormat);
    return kMsgConversionsFormat;
  }
  std::string factorText = line.substr(blank + 1);
  StripLeadingBlanks(factorText);
  bool ok = false;
  const Extended factor = ParseReal(factorText, ok);
  if (!ok) {
    SetMessageArg(1, factorText);
    SetMessageArg(2, lineRead);
    ReportLoadError(kMsgNotANumber);
    return kMsgNotANumber;
  }
  AppendUnitDefinition(line.substr(0, blank), factor, reader.Exponents, reader.DimensionName);
  return 0;
}

bool LoadUnitsFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  TUnitFileReader reader;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (ReadUnitsFileLine(line, reader) != 0) break;
  }
  return true;
}

std::string UnitsFileDirectory() {
  if (!ProgramDirectory.empty()) return ProgramDirectory;
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return "data";
  return (exe.parent_path() / "data").string();
}

void LoadUnitTable() {
  if (DistributableMode) {
    LoadUnitBlock(DistributableUnitsBlock.File, DistributableUnitsBlock.Offset);
    return;
  }
  const std::string path = (std::filesystem::path(UnitsFileDirectory()) / "UNITS.TXT").string();
  if (!LoadUnitsFile(path)) {
    ShowAlert(
        "The UNITS.TXT file was not found.  The Unit Conversions Info command and Convert "
        "function will be disabled. Be sure that the UNITS.TXT file is in the VOQ directory.",
        0, true);
  }
}

void FreeUnitTable() {
  TUnitDefinitionRecord* unit = UnitTableHead;
  while (unit != nullptr) {
    TUnitDefinitionRecord* next = unit->Next;
    delete unit;
    unit = next;
  }
  UnitTableHead = nullptr;
  UnitTableTail = nullptr;
}

int32_t UnitTableCount() {
  int32_t n = 0;
  for (const TUnitDefinitionRecord* u = UnitTableHead; u != nullptr; u = u->Next) ++n;
  return n;
}

Extended FindUnitDefinition(const std::string& nameIn, TDimensionVector& exponents) {
  exponents = TDimensionVector{};
  size_t b = 0;
  size_t e = nameIn.size();
  while (b < e && static_cast<unsigned char>(nameIn[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(nameIn[e - 1]) <= ' ') --e;
  const std::string name = nameIn.substr(b, e - b);
  const TUnitDefinitionRecord* unit = UnitSearchFromEnd ? UnitTableTail : UnitTableHead;
  while (unit != nullptr) {
    if (unit->UpperName == name) {
      exponents = unit->Exponents;
      return unit->Factor;
    }
    unit = UnitSearchFromEnd ? unit->Previous : unit->Next;
  }
  SetMessageArg(1, name);
  CalcErrorCode = name.find('*') != std::string::npos ? kMsgUnitHyphen : kMsgUnknownUnit;
  MessageHelpContext = 182;
  return 1.0L;
}

namespace {

void PackShortString(uint8_t* dst, const std::string& s, size_t capacity) {
  const size_t n = std::min(s.size(), capacity);
  dst[0] = static_cast<uint8_t>(n);
  std::fill(dst + 1, dst + 1 + capacity, 0);
  std::copy(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(n), dst + 1);
}

std::string UnpackShortString(const uint8_t* src, size_t capacity) {
  const size_t n = std::min<size_t>(src[0], capacity);
  return std::string(reinterpret_cast<const char*>(src + 1), n);
}

}  // namespace

void PackUnitRecord(const TUnitDefinitionRecord& unit, uint8_t* dst) {
  std::fill(dst, dst + kUnitRecordSize, 0);
  PackShortString(dst, unit.Name, kUnitNameLength);
  PackExtended(dst + 41, unit.Factor);
  for (int i = 0; i < kDimensionCount; ++i) PackExtended(dst + 51 + 10 * i, unit.Exponents[i]);
  PackShortString(dst + 131, unit.DimensionName, kUnitNameLength);
}

void UnpackUnitRecord(const uint8_t* src, TUnitDefinitionRecord& unit) {
  unit.Name = UnpackShortString(src, kUnitNameLength);
  unit.Factor = UnpackExtended(src + 41);
  for (int i = 0; i < kDimensionCount; ++i) unit.Exponents[i] = UnpackExtended(src + 51 + 10 * i);
  unit.DimensionName = UnpackShortString(src + 131, kUnitNameLength);
}

std::vector<uint8_t> PackUnitBlock() {
  const int32_t n = std::min<int32_t>(UnitTableCount(), INT16_MAX);
  std::vector<uint8_t> block(2 + kUnitRecordSize * static_cast<size_t>(n));
  block[0] = static_cast<uint8_t>(n & 0xFF);
  block[1] = static_cast<uint8_t>((n >> 8) & 0xFF);
  size_t at = 2;
  int32_t k = 0;
  for (const TUnitDefinitionRecord* u = UnitTableHead; u != nullptr && k < n; u = u->Next, ++k) {
    PackUnitRecord(*u, block.data() + at);
    at += kUnitRecordSize;
  }
  return block;
}

bool LoadUnitBlock(const std::string& file, int64_t offset) {
  std::ifstream in(file, std::ios::binary);
  if (!in || offset < 0 || !in.seekg(offset)) {
    ThrottledBeep();
    return false;
  }
  uint8_t countBytes[2];
  if (!in.read(reinterpret_cast<char*>(countBytes), 2)) {
    ThrottledBeep();
    return false;
  }
  const auto n = static_cast<int16_t>(countBytes[0] | (countBytes[1] << 8));
  uint8_t record[kUnitRecordSize];
  for (int32_t k = 0; k < n; ++k) {
    if (!in.read(reinterpret_cast<char*>(record), kUnitRecordSize)) {
      ThrottledBeep();
      return false;
    }
    TUnitDefinitionRecord unit;
    UnpackUnitRecord(record, unit);
    AppendUnitDefinition(unit.Name, unit.Factor, unit.Exponents, unit.DimensionName);
  }
  return true;
}

}  // namespace voq

#include "documents/document_file.h"

#include <algorithm>
#include <new>

#include "core/calc_state.h"
#include "core/extended.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/number_text.h"
#include "model/document_settings.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "plots/plot_document.h"
#include "plots/plot_working_copy.h"
#include "plots/plots_state.h"
#include "session/min_max.h"
#include "session/uncertainty.h"

namespace voq {

namespace {

// The I/O error number of a read that runs past the end of its file, given
// as the argument of the "unexpected I/O error" message.
const char* const kReadPastEndError = "100";

void AppendInt16(std::vector<uint8_t>& out, int16_t v) {
  const auto u = static_cast<uint16_t>(v);
  out.push_back(static_cast<uint8_t>(u & 0xFF));
  out.push_back(static_cast<uint8_t>(u >> 8));
}

void AppendInt32(std::vector<uint8_t>& out, int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  for (int k = 0; k < 4; ++k) out.push_back(static_cast<uint8_t>((u >> (8 * k)) & 0xFF));
}

int16_t GetInt16(const uint8_t* p) { return static_cast<int16_t>(uint16_t(p[0]) | uint16_t(p[1]) << 8); }

int32_t GetInt32(const uint8_t* p) {
  uint32_t u = 0;
  for (int k = 0; k < 4; ++k) u |= static_cast<uint32_t>(p[k]) << (8 * k);
  return static_cast<int32_t>(u);
}

void PutInt16(uint8_t* p, int16_t v) {
  const auto u = static_cast<uint16_t>(v);
  p[0] = static_cast<uint8_t>(u & 0xFF);
  p[1] = static_cast<uint8_t>(u >> 8);
}

bool ReadPastEnd() {
  SetCalcError(kMsgUnexpectedIOError, kReadPastEndError);
  return false;
}

bool Have(size_t size, size_t pos, size_t n) { return pos <= size && n <= size - pos; }

// A limit-variable number of a purged file: the kept variable's new number.
int16_t Renumber(int16_t number, const std::vector<int16_t>* newNumbers) {
  if (newNumbers == nullptr || number <= 0) return number;
  if (static_cast<size_t>(number) >= newNumbers->size()) return 0;
  return (*newNumbers)[static_cast<size_t>(number)];
}

bool IsStringName(const std::string& upper, bool complexUnit) {
  return (!upper.empty() && upper.back() == '$') || upper.find("$[") != std::string::npos ||
         (complexUnit && upper.find("$_R") != std::string::npos);
}

}  // namespace

std::string DocumentHeaderText(bool complexMode, const std::string& version, char decimalSeparator,
                               bool landscapePrinter) {
  std::string s(1, complexMode ? 'C' : 'X');
  s += version;
  if (decimalSeparator != '.') s += decimalSeparator;
  if (landscapePrinter) s += 'L';
  if (s.size() > kDocumentHeaderSize - 1) s.resize(kDocumentHeaderSize - 1);
  return s;
}

void WriteDocumentStart(const std::string& header, const std::string& text, std::vector<uint8_t>& out) {
  uint8_t block[kDocumentHeaderSize] = {};
  const size_t n = std::min(header.size(), kDocumentHeaderSize - 1);
  block[0] = static_cast<uint8_t>(n);
  for (size_t k = 0; k < n; ++k) block[1 + k] = static_cast<uint8_t>(header[k]);
  out.insert(out.end(), block, block + kDocumentHeaderSize);
  AppendInt32(out, static_cast<int32_t>(text.size() + 1));
  out.insert(out.end(), text.begin(), text.end());
  out.push_back(0);
}

bool ReadDocumentStart(const uint8_t* data, size_t size, size_t& pos, std::string& header, std::string& text) {
  if (!Have(size, pos, kDocumentHeaderSize + 4)) return ReadPastEnd();
  const size_t n = std::min<size_t>(data[pos], kDocumentHeaderSize - 1);
  header.assign(reinterpret_cast<const char*>(data + pos + 1), n);
  pos += kDocumentHeaderSize;
  const int32_t t = GetInt32(data + pos);
  pos += 4;
  // T counts the terminating zero byte, so it is at least 1.
  if (t < 1 || !Have(size, pos, static_cast<size_t>(t))) return ReadPastEnd();
  try {
    text.assign(reinterpret_cast<const char*>(data + pos), static_cast<size_t>(t) - 1);
  } catch (const std::bad_alloc&) {
    SetCalcError(kMsgOutOfMemory);
    return false;
  }
  pos += static_cast<size_t>(t);
  return true;
}

void WriteSettingsSections(std::vector<uint8_t>& out) {
  uint8_t settings[kStoredDocumentSettingsSize] = {};
  PackDocumentSettings(DocumentSettings, settings);
  out.insert(out.end(), settings, settings + kStoredDocumentSettingsSize);

  uint8_t stop[kStopCriteriaSize] = {};
  PackExtended(stop, StopCriteria.RelativeResidualTolerance);
  PackExtended(stop + 10, StopCriteria.ChangeTolerance);
  const auto iterations = static_cast<uint32_t>(StopCriteria.MaxIterations);
  const auto seconds = static_cast<uint32_t>(StopCriteria.MaxElapsedSeconds);
  for (int k = 0; k < 4; ++k) {
    stop[20 + k] = static_cast<uint8_t>((iterations >> (8 * k)) & 0xFF);
    stop[24 + k] = static_cast<uint8_t>((seconds >> (8 * k)) & 0xFF);
  }
  out.insert(out.end(), stop, stop + kStopCriteriaSize);

  for (const TLetterDefaultRecord& d : LetterDefaults) {
    uint8_t letter[kStoredLetterDefaultSize] = {};
    PackLetterDefaultRecord(d, letter);
    out.insert(out.end(), letter, letter + kStoredLetterDefaultSize);
  }
}

bool ReadSettingsSections(const uint8_t* data, size_t size, size_t& pos) {
  const size_t total = kStoredDocumentSettingsSize + kStopCriteriaSize + LetterDefaults.size() * kStoredLetterDefaultSize;
  // All three are fixed blocks: check once so that a short file changes none.
  if (!Have(size, pos, total)) return ReadPastEnd();
  UnpackDocumentSettings(data + pos, DocumentSettings);
  pos += kStoredDocumentSettingsSize;
  StopCriteria.RelativeResidualTolerance = UnpackExtended(data + pos);
  StopCriteria.ChangeTolerance = UnpackExtended(data + pos + 10);
  StopCriteria.MaxIterations = GetInt32(data + pos + 20);
  StopCriteria.MaxElapsedSeconds = GetInt32(data + pos + 24);
  pos += kStopCriteriaSize;
  for (TLetterDefaultRecord& d : LetterDefaults) {
    UnpackLetterDefaultRecord(data + pos, d);
    pos += kStoredLetterDefaultSize;
  }
  return true;
}

void WriteVariableSection(const TProgramUnitRecord& unit, std::vector<uint8_t>& out,
                          const std::vector<int16_t>* newNumbers) {
  int16_t n = 0;
  for (int32_t i = 1; i <= unit.VariableCount; ++i) {
    if (unit.Variable(i) == nullptr) continue;
    if (newNumbers != nullptr && Renumber(static_cast<int16_t>(i), newNumbers) == 0) continue;
    ++n;
  }
  AppendInt16(out, n);
  for (int32_t i = 1; i <= unit.VariableCount; ++i) {
    const TVariableRecord* v = unit.Variable(i);
    if (v == nullptr) continue;
    if (newNumbers != nullptr && Renumber(static_cast<int16_t>(i), newNumbers) == 0) continue;
    uint8_t record[kStoredVariableSize] = {};
    PackVariableRecord(*v, record);
    // Units a property call set are found again when the equations compile.
    if (v->UnitsInferred != 0) {
      for (size_t k = 0; k <= 30; ++k) record[variable_offsets::Units + k] = 0;
    }
    PutInt16(record + variable_offsets::Block, 0);
    PutInt16(record + variable_offsets::LowerVariable, Renumber(v->LowerVariable, newNumbers));
    PutInt16(record + variable_offsets::UpperVariable, Renumber(v->UpperVariable, newNumbers));
    PutInt16(record + variable_offsets::GuessVariable, Renumber(v->GuessVariable, newNumbers));
    out.insert(out.end(), record, record + kStoredVariableSize);
  }
}

bool ReadVariableSection(const uint8_t* data, size_t size, size_t& pos, TProgramUnitRecord* unit,
                         char documentSeparator, char systemSeparator) {
  if (unit == nullptr) return ReadPastEnd();
  if (!Have(size, pos, 2)) return ReadPastEnd();
  const int16_t n = GetInt16(data + pos);
  pos += 2;
  if (n > MaxVariables) {
    SetCalcError(kMsgVariableLimitExceeded, std::to_string(n));
    return false;
  }
  const size_t count = n > 0 ? static_cast<size_t>(n) : 0;
  // The records must be in the file and fit the unit's table before any is made.
  if (n < 0 || count > (size - pos) / kStoredVariableSize || count + 1 > unit->VariableHandles.size()) {
    return ReadPastEnd();
  }

  const bool reuse = unit->VariableCount == n;
  if (!reuse) ClearVariableStore(unit);
  else ClearNameHash(unit);
  TProgramUnitRecord* const savedCurrent = CurrentProgramUnit;
  CurrentProgramUnit = unit;  // the name hash is entered through the current unit
  for (size_t i = 1; i <= count; ++i) {
    TVariableRecord* v = reuse ? unit->VariableHandles[i] : nullptr;
    int16_t keptPosition = 0;
    if (v == nullptr) {
      try {
        v = new TVariableRecord();
      } catch (const std::bad_alloc&) {
        CurrentProgramUnit = savedCurrent;
        SetCalcError(kMsgOutOfMemory);
        return false;
      }
      unit->VariableHandles[i] = v;
      if (!reuse) unit->VariableCount = static_cast<int16_t>(i);
    } else {
      keptPosition = v->UnknownPosition;
    }
    UnpackVariableRecord(data + pos, *v);
    pos += kStoredVariableSize;

    if (documentSeparator != systemSeparator) {
      const char from = systemSeparator == ',' ? ',' : ';';
      const char to = systemSeparator == ',' ? ';' : ',';
      for (char& c : v->Name) {
        if (c == from) c = to;
      }
    }
    v->UpperName = UpperCaseName(v->Name);
    SetNameHashSlot(unit, VarHashSlot(v->UpperName), static_cast<int16_t>(i));

    if (IsStringName(v->UpperName, unit->UnitComplexMode != 0)) {
      v->IsString = 1;
      v->Value = 1;
      v->Guess = 1;
      v->Style = 4;
    } else {
      v->IsString = 0;
    }
    Extended guess = v->Guess;
    if (!IsValidReal(guess)) v->Guess = 1;
    for (int16_t* limit : {&v->LowerVariable, &v->UpperVariable, &v->GuessVariable}) {
      if (*limit < 1 || *limit > n) *limit = 0;
    }
    v->Mark = 0;
    v->MeasuredMark = 0;
    v->UnitsInferred = 0;
    v->CommonVariable = 0;
    v->Uncertainty = BlankValue;
    v->UncertaintyIsRelative = 0;
    v->SpareByte = 0;
    v->UncertaintyKind = -32760;  // 8008h: no uncertainty given
    v->ComplexPart = 0;
    v->PartnerVariable = 0;
    v->ScreenRect = DefaultScreenRect;
    if (reuse) v->UnknownPosition = keptPosition;
  }
  unit->VariableCount = n;
  CurrentProgramUnit = savedCurrent;
  return true;
}

void WritePlotSection(std::vector<uint8_t>& out) {
  // The shown plot's edits live in the Plot window's working copy until a
  // tab change: write them back first, or the document loses them.
  MPRFreshen(CurrentPlotNumber);
  AppendInt16(out, static_cast<int16_t>(PlotList.size()));
  for (const auto& plot : PlotList) {
    if (plot != nullptr) WritePlotEntry(*plot, out);
  }
}

bool ReadPlotSection(const uint8_t* data, size_t size, size_t& pos) {
  if (!Have(size, pos, 2)) return ReadPastEnd();
  const int16_t p = GetInt16(data + pos);
  pos += 2;
  // Every plot entry takes at least its int16 curve count.
  if (p < 0 || static_cast<size_t>(p) > (size - pos) / 2) return ReadPastEnd();
  for (int16_t k = 0; k < p; ++k) {
    switch (ReadPlotEntry(data, size, pos)) {
      case TPlotEntryResult::Read:
        break;
      case TPlotEntryResult::NoCurves:
        ShowAlert(GetMessageText(kMsgOldPlotUnread), 0, false);
        break;
      case TPlotEntryResult::Failed:
        return false;
    }
  }
  return true;
}

void WriteMinMaxSection(std::vector<uint8_t>& out) {
  uint8_t block[kStoredMinMaxSettingsSize] = {};
  PackMinMaxSettings(MinMaxSetup, block);
  out.insert(out.end(), block, block + kStoredMinMaxSettingsSize);
}

bool ReadMinMaxSection(const uint8_t* data, size_t size, size_t& pos) {
  if (!Have(size, pos, kStoredMinMaxSettingsSize)) return ReadPastEnd();
  UnpackMinMaxSettings(data + pos, MinMaxSetup);
  pos += kStoredMinMaxSettingsSize;
  return true;
}

namespace {
constexpr size_t kUncertaintyEntrySize = 20;
}  // namespace

void WriteUncertaintySection(std::vector<uint8_t>& out, bool purge) {
  AppendInt32(out, 30);
  uint8_t block[kStoredUncertaintySettingsSize] = {};
  PackUncertaintySettings(UncertaintySettings, block);
  out.insert(out.end(), block, block + kStoredUncertaintySettingsSize);
  const TProgramUnitRecord* unit = MainProgramUnit;
  std::vector<int32_t> numbers;
  if (!purge && unit != nullptr) {
    for (int32_t i = 1; i <= unit->VariableCount; ++i) {
      const TVariableRecord* v = unit->Variable(i);
      if (v != nullptr && !IsBlank(v->Uncertainty)) numbers.push_back(i);
    }
  }
  AppendInt32(out, static_cast<int32_t>(numbers.size()));
  for (int32_t i : numbers) {
    const TVariableRecord* v = unit->Variable(i);
    uint8_t entry[kUncertaintyEntrySize] = {};
    const auto u = static_cast<uint32_t>(i);
    for (int k = 0; k < 4; ++k) entry[k] = static_cast<uint8_t>((u >> (8 * k)) & 0xFF);
    PackExtended(entry + 4, v->Uncertainty);
    PutInt16(entry + 14, v->UncertaintyKind);
    PutInt16(entry + 16, v->MeasuredMark);
    entry[18] = v->UncertaintyIsRelative;
    entry[19] = v->SpareByte;
    out.insert(out.end(), entry, entry + kUncertaintyEntrySize);
  }
  AppendInt32(out, 0);
}

bool ReadUncertaintySection(const uint8_t* data, size_t size, size_t& pos) {
  if (!Have(size, pos, 4 + kStoredUncertaintySettingsSize + 4)) return ReadPastEnd();
  pos += 4;  // the stored 30 carries nothing
  UnpackUncertaintySettings(data + pos, UncertaintySettings);
  pos += kStoredUncertaintySettingsSize;
  const int32_t e = GetInt32(data + pos);
  pos += 4;
  if (e < 0 || static_cast<size_t>(e) > (size - pos) / kUncertaintyEntrySize) return ReadPastEnd();
  TProgramUnitRecord* unit = MainProgramUnit;
  for (int32_t k = 0; k < e; ++k) {
    const uint8_t* entry = data + pos;
    const int32_t number = GetInt32(entry);
    TVariableRecord* v = unit != nullptr ? unit->Variable(number) : nullptr;
    if (v == nullptr) {
      SetCalcError(kMsgUncertaintyReadError);
      ShowAlert(GetMessageText(kMsgUncertaintyReadError), 0, false);
      return false;
    }
    v->Uncertainty = UnpackExtended(entry + 4);
    v->UncertaintyKind = GetInt16(entry + 14);
    v->MeasuredMark = 0;  // the mark of a past propagation means nothing now
    v->UncertaintyIsRelative = entry[18];
    v->SpareByte = entry[19];
    pos += kUncertaintyEntrySize;
  }
  if (!Have(size, pos, 4)) return ReadPastEnd();
  pos += 4;
  return true;
}

}  // namespace voq

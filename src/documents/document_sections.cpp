#include "documents/document_sections.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <new>
#include <set>
#include <string>

#include "core/calc_state.h"
#include "core/extended.h"
#include "core/message_ids.h"
#include "core/string_constants.h"
#include "documents/document_bytes.h"
#include "documents/document_file.h"
#include "documents/documents_state.h"
#include "language/export_after_run.h"
#include "model/program_units.h"
#include "model/routines.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "plots/plots_state.h"
#include "tables/table_model.h"
#include "tables/table_section.h"
#include "tables/tables_state.h"

namespace voq {

using namespace docbytes;

namespace {

// The version this layout's table sections are read as.
constexpr double kCurrentLayoutVersion = 6.462;

bool Damaged() {
  SetCalcError(kMsgUnexpectedIOError, "100");
  return false;
}

bool OutOfMemory() {
  SetCalcError(kMsgOutOfMemory);
  return false;
}

std::string Upper(std::string s) {
  for (char& c : s) c = char(std::toupper(uint8_t(c)));
  return s;
}

}  // namespace

// --- Table groups ------------------------------------------------------------

void WriteTableGroup(int32_t kind, std::vector<uint8_t>& out, const std::vector<int32_t>* purgedNumbers) {
  TTableForm* form = kind >= 1 && kind <= 3 ? TableForms[size_t(kind)].get() : nullptr;
  if (form == nullptr) {
    Put32(out, 0);
    return;
  }
  const int32_t tag = TableKindToWindowTag(kind);
  auto* list = (kind == kParametricTableKind || kind == kLookupTableKind) ? TableLists[size_t(kind)].get() : nullptr;
  const bool withList = list != nullptr && !list->empty();
  const int32_t count = withList ? int32_t(list->size()) : 1;
  int32_t shown = withList ? form->CurrentTable : 1;
  if (shown < 1 || shown > count) shown = 1;
  Put32(out, count);
  out.push_back(withList ? 1 : 0);
  Put32(out, shown);
  const bool purge = purgedNumbers != nullptr;
  if (!withList) {
    WriteTableSection(out, tag, purge, purgedNumbers);
    return;
  }
  form->MultipleTableRefresh();
  for (int32_t k = 1; k <= count; ++k) {
    form->SwitchToTab(k - 1);
    uint8_t header[kTableHeaderSize] = {};
    PackTableHeader(*(*list)[size_t(k - 1)], header);
    out.insert(out.end(), header, header + kTableHeaderSize);
    WriteTableSection(out, tag, purge, purgedNumbers);
  }
  form->SwitchToTab(shown - 1);
}

bool ReadTableGroup(int32_t kind, const uint8_t* data, size_t size, size_t& pos) {
  Cursor in{data, size, pos};
  if (!in.Has(4)) return Damaged();
  const int32_t count = Get32(in.Here());
  in.pos += 4;
  if (count == 0) {
    pos = in.pos;
    return true;
  }
  if (!in.Has(5)) return Damaged();
  const bool withList = in.Here()[0] != 0;
  const int32_t shown = Get32(in.Here() + 1);
  in.pos += 5;
  // Every table takes at least its int16 column count, and its header.
  const size_t least = 2 + (withList ? kTableHeaderSize : 0);
  if (count < 0 || size_t(count) > in.Remaining() / least) return Damaged();
  const int32_t tag = TableKindToWindowTag(kind);
  for (int32_t k = 1; k <= count; ++k) {
    TTableHeaderRecord stored;
    if (withList) {
      // The count check above holds on average only: the tables before this
      // one may have taken more than their least.
      if (!in.Has(kTableHeaderSize)) return Damaged();
      UnpackTableHeader(in.Here(), stored);
      in.pos += kTableHeaderSize;
    } else {
      stored.Name = kind == kParametricTableKind ? "Table 1" : kind == kLookupTableKind ? "Lookup 1" : "";
    }
    size_t at = in.pos;
    if (!ReadTableSection(data, size, at, tag, nullptr, kCurrentLayoutVersion)) {
      if (CalcErrorCode == 0) SetCalcError(kMsgUnexpectedIOError, "100");
      return false;
    }
    in.pos = at;
    TTableForm* form = TableForms[size_t(kind)].get();
    if (form == nullptr) continue;  // a section of no columns makes no table
    form->TableName = stored.Name;
    form->LeftCol = stored.LeftCol;
    form->TopRow = stored.TopRow;
    if (TTableHeaderRecord* h = TableHeader(kind, form->CurrentTable)) {
      h->Name = stored.Name;
      h->LeftCol = stored.LeftCol;
      h->TopRow = stored.TopRow;
      if (withList) {
        h->FileName = stored.FileName;
        h->FirstRun = stored.FirstRun;
        h->LastRun = stored.LastRun;
        h->FileDate = stored.FileDate;
      }
      if (form->CurrentTable - 1 < int32_t(form->TabCaptions.size()))
        form->TabCaptions[size_t(form->CurrentTable - 1)] = stored.Name;
    }
  }
  TTableForm* form = TableForms[size_t(kind)].get();
  if (form != nullptr && withList && shown >= 1 && shown <= count) form->SwitchToTab(shown - 1);
  pos = in.pos;
  return true;
}

// --- Window layout -------------------------------------------------------------

namespace {

constexpr int32_t kLayoutWindows = 9;
constexpr int32_t kParametricWindow = 4;
constexpr int32_t kPlotWindow = 9;

std::vector<uint8_t> AbsentWindowEntry() {
  std::vector<uint8_t> e(kWindowLayoutEntrySize, 0);
  Set16(e.data(), 20);
  Set16(e.data() + 2, 20);
  Set16(e.data() + 4, 40);
  Set16(e.data() + 6, 40);
  return e;
}

}  // namespace

void WriteWindowLayout(std::vector<uint8_t>& out) {
  Put16(out, kLayoutWindows);
  for (int32_t w = 1; w <= kLayoutWindows; ++w) {
    std::vector<uint8_t> e = size_t(w) <= WindowLayoutEntries.size() ? WindowLayoutEntries[size_t(w - 1)]
                                                                     : AbsentWindowEntry();
    e.resize(kWindowLayoutEntrySize, 0);
    if (w == kParametricWindow && TableForms[kParametricTableKind] != nullptr) {
      Set16(e.data() + 9, FirstRun);
      Set16(e.data() + 11, LastRun);
      Set16(e.data() + 17, (UpdateGuesses ? 1 : 0) | (StopOnWarning ? 2 : 0) | (UseDiagramInput ? 4 : 0));
    }
    if (w == kPlotWindow && !PlotList.empty()) Set16(e.data() + 17, CurrentPlotNumber);
    out.insert(out.end(), e.begin(), e.end());
  }
  int32_t active = WindowLayoutActive;
  const int32_t window = active < 0 ? -active : active;
  if (window < 1 || window > kLayoutWindows || (window == kPlotWindow && PlotList.empty())) active = 1;
  Put16(out, active);
}

bool ReadWindowLayout(const uint8_t* data, size_t size, size_t& pos) {
  Cursor in{data, size, pos};
  if (!in.Has(2)) return Damaged();
  const int32_t w = Get16(in.Here());
  in.pos += 2;
  if (w < 0 || size_t(w) > in.Remaining() / kWindowLayoutEntrySize) return Damaged();
  if (!in.Has(size_t(w) * kWindowLayoutEntrySize + 2)) return Damaged();
  std::vector<std::vector<uint8_t>> entries;
  for (int32_t k = 0; k < w; ++k) {
    entries.emplace_back(in.Here(), in.Here() + kWindowLayoutEntrySize);
    in.pos += kWindowLayoutEntrySize;
  }
  WindowLayoutActive = Get16(in.Here());
  in.pos += 2;
  if (w >= kParametricWindow && TableForms[kParametricTableKind] != nullptr) {
    const uint8_t* e = entries[kParametricWindow - 1].data();
    FirstRun = Get16(e + 9);
    LastRun = Get16(e + 11);
    const int32_t options = Get16(e + 17);
    UpdateGuesses = (options & 1) != 0;
    StopOnWarning = (options & 2) != 0;
    UseDiagramInput = (options & 4) != 0;
  }
  if (w >= kPlotWindow) {
    const int32_t plot = Get16(entries[kPlotWindow - 1].data() + 17);
    if (plot >= 1 && plot <= int32_t(PlotList.size())) CurrentPlotNumber = plot;
  }
  WindowLayoutEntries = std::move(entries);
  pos = in.pos;
  return true;
}

// --- String constants ------------------------------------------------------------

void WriteStringBlock(std::vector<uint8_t>& out) {
  Put32(out, 1);
  out.push_back(0);
}

bool ReadStringBlock(const uint8_t* data, size_t size, size_t& pos) {
  Cursor in{data, size, pos};
  if (!in.Has(4)) return Damaged();
  const int32_t length = Get32(in.Here());
  in.pos += 4;
  if (length < 0 || !in.Has(size_t(length))) return Damaged();
  const std::string block(reinterpret_cast<const char*>(in.Here()), size_t(length));
  in.pos += size_t(length);
  size_t start = 0;
  while (start < block.size()) {
    size_t end = block.find("\r\n", start);
    if (end == std::string::npos) end = block.size();
    std::string line = block.substr(start, end - start);
    start = end + 2;
    const size_t zero = line.find('\0');
    if (zero != std::string::npos) line.resize(zero);
    if (line.empty()) continue;
    line.resize(std::min(line.size(), kStringConstantLength));
    const std::string upper = Upper(line);
    const bool held = std::any_of(StringConstants.begin(), StringConstants.end(),
                                  [&](const std::string& s) { return Upper(s) == upper; });
    if (!held) StringConstants.push_back(line);
  }
  pos = in.pos;
  return true;
}

// --- Program units ------------------------------------------------------------

namespace {

namespace unit_header {
constexpr size_t Name = 0;
constexpr size_t RecordBytes = 31;  // bytes 31 to 54 of the unit record
constexpr size_t HeaderHasColon = 33;
constexpr size_t Merged = 34;
constexpr size_t Bytes = 55;
constexpr size_t Words = 61;
constexpr size_t Reals = 73;
}  // namespace unit_header

// A unit in use, or one that came with the document and that no compile has
// seen since: it is not in use until the equations call it again, and
// leaving it out would lose its variables on a save straight after opening.
bool UnitWritten(const TProgramUnitRecord* unit) {
  return unit != nullptr && unit->IsLibraryUnit == 0 && (unit->Defined != 0 || !EquationsCompiled);
}

}  // namespace

void WriteProgramUnits(std::vector<uint8_t>& out) {
  int32_t count = 0;
  for (size_t k = 1; k < ProgramUnitList.size(); ++k) count += UnitWritten(ProgramUnitList[k]) ? 1 : 0;
  Put16(out, count);
  for (size_t k = 1; k < ProgramUnitList.size(); ++k) {
    const TProgramUnitRecord* unit = ProgramUnitList[k];
    if (!UnitWritten(unit)) continue;
    uint8_t h[kProgramUnitHeaderSize] = {};
    SetShortString(h + unit_header::Name, unit->Name, 30);
    // The unit record's fields from its library flag on, in record order.
    uint8_t* r = h + unit_header::RecordBytes;
    r[0] = unit->IsLibraryUnit;
    r[1] = 1;  // written because it is in use
    r[2] = unit->HeaderHasColon;
    r[3] = unit->Merged;
    r[4] = unit->IsSubprogram;
    r[5] = unit->IsPrivate;
    Set16(r + 6, unit->UnitIndex);
    Set16(r + 8, unit->CallerIndex);
    Set16(r + 10, unit->InputCount);
    Set16(r + 12, unit->OutputCount);
    Set16(r + 14, unit->EquationCount);
    Set16(r + 16, unit->VariableCount);
    Set32(r + 18, unit->BlockStart);
    Set16(r + 22, unit->BlockEnd);  // the header holds its low half only
    for (size_t i = 1; i <= 6; ++i) {
      h[unit_header::Bytes + i - 1] = unit->DocumentBytes[i];
      Set16(h + unit_header::Words + 2 * (i - 1), unit->DocumentWords[i]);
      PackExtended(h + unit_header::Reals + 10 * (i - 1), unit->DocumentReals[i]);
    }
    out.insert(out.end(), h, h + kProgramUnitHeaderSize);
    WriteVariableSection(*unit, out);
  }
}

bool ReadProgramUnits(const uint8_t* data, size_t size, size_t& pos, char documentSeparator, char systemSeparator) {
  Cursor in{data, size, pos};
  if (!in.Has(2)) return Damaged();
  const int32_t count = Get16(in.Here());
  in.pos += 2;
  // Each unit is its header and at least its int16 variable count.
  if (count < 0 || size_t(count) > in.Remaining() / (kProgramUnitHeaderSize + 2)) return Damaged();
  for (int32_t k = 0; k < count; ++k) {
    if (!in.Has(kProgramUnitHeaderSize)) return Damaged();
    const uint8_t* h = in.Here();
    const std::string name = GetShortString(h + unit_header::Name, 30);
    TProgramUnitRecord* unit = FindOrCreateModule(name);
    if (unit == nullptr) return OutOfMemory();
    unit->Name = name;
    unit->HeaderHasColon = h[unit_header::HeaderHasColon];
    unit->Merged = h[unit_header::Merged];
    // The other record fields mean nothing until the equations are compiled
    // again, which sets them afresh; kept as stored, an open and a save
    // give the same bytes.
    const uint8_t* r = h + unit_header::RecordBytes;
    unit->IsSubprogram = r[4];
    unit->IsPrivate = r[5];
    unit->CallerIndex = Get16(r + 8);
    unit->InputCount = Get16(r + 10);
    unit->OutputCount = Get16(r + 12);
    unit->EquationCount = Get16(r + 14);
    unit->BlockStart = Get32(r + 18);
    unit->BlockEnd = uint16_t(Get16(r + 22));
    for (size_t i = 1; i <= 6; ++i) {
      unit->DocumentBytes[i] = h[unit_header::Bytes + i - 1];
      unit->DocumentWords[i] = Get16(h + unit_header::Words + 2 * (i - 1));
      unit->DocumentReals[i] = UnpackExtended(h + unit_header::Reals + 10 * (i - 1));
    }
    // Not in use until the equations call it again.
    unit->Defined = 0;
    in.pos += kProgramUnitHeaderSize;
    if (!ReadVariableSection(data, size, in.pos, unit, documentSeparator, systemSeparator)) return false;
    unit->UpperName = UpperCaseName(name);
  }
  pos = in.pos;
  return true;
}

// --- Custom colours ----------------------------------------------------------

void WriteCustomColors(std::vector<uint8_t>& out) {
  Put32(out, int32_t(CustomColors.size()));
  for (const std::string& colour : CustomColors) {
    const std::string text = colour.substr(0, 255);
    Put32(out, int32_t(text.size()) + 1);
    out.push_back(uint8_t(text.size()));
    out.insert(out.end(), text.begin(), text.end());
  }
}

bool ReadCustomColors(const uint8_t* data, size_t size, size_t& pos) {
  Cursor in{data, size, pos};
  if (!in.Has(4)) return Damaged();
  const int32_t count = Get32(in.Here());
  in.pos += 4;
  // An entry is at least its int32 and a length byte.
  if (count < 0 || size_t(count) > in.Remaining() / 5) return Damaged();
  std::vector<std::string> colours;
  for (int32_t k = 0; k < count; ++k) {
    if (!in.Has(4)) return Damaged();
    const int32_t n = Get32(in.Here());
    in.pos += 4;
    if (n < 1 || n > 256 || !in.Has(size_t(n))) return Damaged();
    const size_t length = std::min<size_t>(in.Here()[0], size_t(n) - 1);
    colours.emplace_back(reinterpret_cast<const char*>(in.Here() + 1), length);
    in.pos += size_t(n);
  }
  if (count > 0) CustomColors = std::move(colours);
  pos = in.pos;
  return true;
}

// --- Local-variable formats -----------------------------------------------------

namespace {
namespace local_offsets {
constexpr size_t Name = 0;
constexpr size_t UpperName = 31;
constexpr size_t Value = 62;
constexpr size_t SpareReals = 72;
constexpr size_t Units = 92;
constexpr size_t Style = 123;
constexpr size_t Digits = 124;
constexpr size_t DisplayCode = 126;
constexpr size_t LocalNumber = 128;
constexpr size_t ConstantFlag = 132;
constexpr size_t Routine = 136;
constexpr size_t SpareLong = 140;
constexpr size_t IsString = 144;
constexpr size_t DefaultUnits = 145;
constexpr size_t FormatGiven = 146;
constexpr size_t SpareBytes = 147;
constexpr size_t Box = 150;
// 166: the next-local pointer, written as 0.
}  // namespace local_offsets
}  // namespace

void PackLocalVariableRecord(const TLocalVariableRecord& l, const std::string& upperNameField, uint8_t* dst) {
  namespace o = local_offsets;
  std::fill(dst, dst + kStoredLocalVariableSize, uint8_t(0));
  SetShortString(dst + o::Name, l.Name, 30);
  SetShortString(dst + o::UpperName, upperNameField, 30);
  PackExtended(dst + o::Value, l.Value);
  PackExtended(dst + o::SpareReals, l.SpareReals[0]);
  PackExtended(dst + o::SpareReals + 10, l.SpareReals[1]);
  SetShortString(dst + o::Units, l.Units, 30);
  dst[o::Style] = l.Style;
  Set16(dst + o::Digits, l.Digits);
  Set16(dst + o::DisplayCode, l.DisplayCode);
  Set32(dst + o::LocalNumber, l.LocalNumber);
  Set32(dst + o::ConstantFlag, l.ConstantFlag);
  // A routine's slot means nothing to another session: the routine's name
  // in the upper-case name field is what finds it again.
  Set32(dst + o::Routine, 0);
  Set32(dst + o::SpareLong, l.SpareLong);
  dst[o::IsString] = l.IsString;
  dst[o::DefaultUnits] = l.DefaultUnits;
  dst[o::FormatGiven] = l.FormatGiven;
  for (size_t k = 0; k < 3; ++k) dst[o::SpareBytes + k] = l.SpareBytes[k];
  Set32(dst + o::Box, l.Box.Left);
  Set32(dst + o::Box + 4, l.Box.Top);
  Set32(dst + o::Box + 8, l.Box.Right);
  Set32(dst + o::Box + 12, l.Box.Bottom);
}

void UnpackLocalVariableRecord(const uint8_t* src, TLocalVariableRecord& l) {
  namespace o = local_offsets;
  l.Name = GetShortString(src + o::Name, 30);
  l.UpperName = GetShortString(src + o::UpperName, 30);
  l.Value = UnpackExtended(src + o::Value);
  l.SpareReals[0] = UnpackExtended(src + o::SpareReals);
  l.SpareReals[1] = UnpackExtended(src + o::SpareReals + 10);
  l.Units = GetShortString(src + o::Units, 30);
  l.Style = src[o::Style];
  l.Digits = Get16(src + o::Digits);
  l.DisplayCode = Get16(src + o::DisplayCode);
  l.LocalNumber = Get32(src + o::LocalNumber);
  l.ConstantFlag = Get32(src + o::ConstantFlag);
  // A stored slot would give the format to whichever routine holds that
  // slot now; only the routine's name may match it.
  l.Routine = 0;
  l.SpareLong = Get32(src + o::SpareLong);
  l.IsString = src[o::IsString];
  l.DefaultUnits = src[o::DefaultUnits];
  l.FormatGiven = src[o::FormatGiven];
  for (size_t k = 0; k < 3; ++k) l.SpareBytes[k] = src[o::SpareBytes + k];
  l.Box = {Get32(src + o::Box), Get32(src + o::Box + 4), Get32(src + o::Box + 8), Get32(src + o::Box + 12)};
  l.Next = nullptr;
}

void WriteLocalFormats(std::vector<uint8_t>& out) {
  std::vector<uint8_t> records;
  std::set<std::pair<std::string, std::string>> written;  // routine, local
  int32_t count = 0;
  uint8_t block[kStoredLocalVariableSize];
  for (int32_t slot = 1; slot <= FunctionCount; ++slot) {
    const TRoutineRecord* r = RoutineAt(slot);
    if (r == nullptr || r->IsLibrary != 0) continue;
    for (const TLocalVariableRecord* l = r->Locals; l != nullptr; l = l->Next) {
      if (l->FormatGiven == 0) continue;
      PackLocalVariableRecord(*l, r->UpperName, block);
      records.insert(records.end(), block, block + kStoredLocalVariableSize);
      written.insert({r->UpperName, Upper(l->Name)});
      ++count;
    }
  }
  // Formats read with the document wait in the list until their routine is
  // compiled; a save before that keeps them.
  for (const TLocalVariableRecord* l : LocalFormatList) {
    if (l == nullptr || !written.insert({l->UpperName, Upper(l->Name)}).second) continue;
    PackLocalVariableRecord(*l, l->UpperName, block);
    records.insert(records.end(), block, block + kStoredLocalVariableSize);
    ++count;
  }
  Put32(out, count);
  out.insert(out.end(), records.begin(), records.end());
}

bool ReadLocalFormats(const uint8_t* data, size_t size, size_t& pos) {
  Cursor in{data, size, pos};
  if (!in.Has(4)) return Damaged();
  const int32_t count = Get32(in.Here());
  in.pos += 4;
  if (count < 0 || size_t(count) > in.Remaining() / kStoredLocalVariableSize) return Damaged();
  for (TLocalVariableRecord* l : LocalFormatList) delete l;
  LocalFormatList.clear();
  try {
    for (int32_t k = 0; k < count; ++k) {
      auto l = std::make_unique<TLocalVariableRecord>();
      UnpackLocalVariableRecord(in.Here(), *l);
      in.pos += kStoredLocalVariableSize;
      LocalFormatList.push_back(l.get());
      l.release();
    }
  } catch (const std::bad_alloc&) {
    return OutOfMemory();
  }
  pos = in.pos;
  return true;
}

}  // namespace voq

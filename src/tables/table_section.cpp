#include "tables/table_section.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/string_constants.h"
#include "language/export_after_run.h"
#include "language/operands.h"
#include "model/document_settings.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "tables/table_model.h"
#include "tables/tables_state.h"

namespace voq {

namespace {

// The version text a section with strings carries after its "T".
constexpr const char* kProgramVersion = "1.000";
constexpr int32_t kDefaultWidth = 90;
constexpr const char* kReadPastEnd = "100";
// Files before this version stored empty cells as 9.99E+98.
constexpr double kNewBlankVersion = 4.72;

bool HasRowInfo(const std::vector<TableRowInfo>& info, int32_t rows) {
  for (int32_t r = 1; r <= rows && r < int32_t(info.size()); ++r)
    if (!info[size_t(r)].IsEmpty()) return true;
  return false;
}

// --- Writing -------------------------------------------------------------------

void PutInt16(std::vector<uint8_t>& out, int32_t v) {
  out.push_back(uint8_t(uint16_t(v)));
  out.push_back(uint8_t(uint16_t(v) >> 8));
}
void PutInt32(std::vector<uint8_t>& out, int32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(uint32_t(v) >> (8 * i)));
}
void PutExtended(std::vector<uint8_t>& out, Extended x) {
  uint8_t b[10];
  PackExtended(b, x);
  out.insert(out.end(), b, b + 10);
}
// A string[capacity]: length byte, the characters, then zeros to the size.
void PutShortString(std::vector<uint8_t>& out, const std::string& s, size_t capacity) {
  const size_t n = std::min(s.size(), capacity);
  out.push_back(uint8_t(n));
  out.insert(out.end(), s.begin(), s.begin() + std::ptrdiff_t(n));
  out.insert(out.end(), capacity - n, uint8_t(0));
}

std::string StringCellText(Extended value) {
  if (!(value >= 1) || value > Extended(StringConstants.size())) return "";
  return StringConstants[size_t(value) - 1];
}

// --- Reading ----------------------------------------------------------------------

struct Cursor {
  const uint8_t* data;
  size_t size;
  size_t pos;
  bool Has(size_t n) const { return pos <= size && size - pos >= n; }
  int32_t Int16() {
    const int16_t v = int16_t(uint16_t(data[pos] | (data[pos + 1] << 8)));
    pos += 2;
    return v;
  }
  int32_t Int32() {
    uint32_t u = 0;
    for (int i = 0; i < 4; ++i) u |= uint32_t(data[pos + size_t(i)]) << (8 * i);
    pos += 4;
    return int32_t(u);
  }
  Extended Real() {
    const Extended x = UnpackExtended(data + pos);
    pos += 10;
    return x;
  }
  uint8_t Byte() { return data[pos++]; }
};

bool Truncated() {
  SetCalcError(kMsgUnexpectedIOError, kReadPastEnd);
  return false;
}

Extended ConvertOldBlank(Extended x, double version) {
  if (version < kNewBlankVersion && std::fabs(double(x) - 9.99e98) <= 1e84) return BlankValue;
  return x;
}

// The name field of a column entry: the name, the width (0 when none was
// stored) and the colour index.
struct TStoredName {
  std::string Name;
  int32_t Width = 0;
  bool HasWidth = false;
  int32_t Colour = 0;
};

TStoredName ReadStoredName(Cursor& in) {
  const uint8_t length = std::min<uint8_t>(in.data[in.pos], 30);
  std::string text(reinterpret_cast<const char*>(in.data + in.pos + 1), length);
  in.pos += 31;
  TStoredName result;
  const size_t lf = text.find('\n');
  if (lf != std::string::npos) {
    // The writer's form: the name, a line feed, the width byte and an
    // optional colour byte. Whatever else follows is no part of the name
    // (a name that kept it would grow a line feed of its own and change
    // with every save).
    result.HasWidth = true;
    result.Width = lf + 1 < text.size() ? uint8_t(text[lf + 1]) : 0;
    if (lf + 2 < text.size() && uint8_t(text[lf + 2]) >= 1 && uint8_t(text[lf + 2]) <= 7)
      result.Colour = uint8_t(text[lf + 2]);
    text.resize(lf);
    result.Name = text;
    return result;
  }
  while (!text.empty() && text.back() == '\0') text.pop_back();
  if (!text.empty() && uint8_t(text.back()) >= 1 && uint8_t(text.back()) <= 7) {
    result.Colour = uint8_t(text.back());
    text.pop_back();
  }
  result.Name = text;
  return result;
}

// One string cell: int32 L + 1, then a string of L characters with its
// length byte. False when the data ends or the length is impossible.
bool ReadStringCell(Cursor& in, std::string& text) {
  if (!in.Has(4)) return false;
  const int32_t n = in.Int32();
  if (n < 1 || n > 256 || !in.Has(size_t(n))) return false;
  const size_t length = std::min<size_t>(in.data[in.pos], size_t(n - 1));
  text.assign(reinterpret_cast<const char*>(in.data + in.pos + 1), length);
  in.pos += size_t(n);
  return true;
}

bool ReadIntoLookupRecord(Cursor& in, TLookupFileRecord& lookup, double version) {
  if (!in.Has(2)) return Truncated();
  int32_t columns = in.Int16();
  if (columns == 0) return true;
  const bool hasStrings = columns < 0;
  columns = std::abs(columns);
  if (hasStrings) {
    if (!in.Has(16)) return Truncated();
    in.pos += 16;
  }
  if (!in.Has(2)) return Truncated();
  int32_t rows = in.Int16();
  if (rows < 0) {
    rows = -rows;
    if (!in.Has(size_t(rows) * 4)) return Truncated();
    in.pos += size_t(rows) * 4;
  }
  if (!in.Has(size_t(columns) * (31 + 3 + size_t(rows) * 11))) return Truncated();
  lookup.RowCount = rows;
  lookup.ColumnCount = columns;
  lookup.Columns.clear();
  try {
    lookup.Columns.reserve(size_t(columns));
    for (int32_t i = 1; i <= columns; ++i) {
      TLookupColumnNode node;
      node.ColumnNumber = i;
      const uint8_t length = std::min<uint8_t>(in.data[in.pos], 30);
      std::string name(reinterpret_cast<const char*>(in.data + in.pos + 1), length);
      in.pos += 31;
      const size_t lf = name.find('\n');
      if (lf != std::string::npos) name.resize(lf);
      const size_t cr = name.find('\r');
      if (cr != std::string::npos) {
        node.Units = name.substr(cr + 1);
        name.resize(cr);
      }
      node.Name = name;
      node.Values.resize(size_t(rows));
      for (int32_t r = 0; r < rows; ++r) node.Values[size_t(r)] = ConvertOldBlank(in.Real(), version);
      in.pos += size_t(rows);  // the entered flags are not kept
      node.Format.Style = in.Byte();
      node.Format.Digits = int16_t(in.Int16());
      node.IsString = node.Format.Style == kStyleStringConstant ? 1 : 0;
      if (node.IsString && hasStrings) {
        for (int32_t r = 0; r < rows; ++r) {
          std::string text;
          if (!ReadStringCell(in, text)) return Truncated();
          node.Values[size_t(r)] = Extended(StringConstIndex(text));
        }
      }
      lookup.Columns.push_back(std::move(node));
      if (!in.Has(size_t(columns - i) * (31 + 3 + size_t(rows) * 11))) return Truncated();
    }
  } catch (const std::bad_alloc&) {
    SetCalcError(kMsgOutOfMemory);
    return false;
  }
  return true;
}

}  // namespace

void WriteTableSection(std::vector<uint8_t>& out, int32_t tag, bool purge,
                       const std::vector<int32_t>* purgedNumbers) {
  const int32_t kind = WindowTagToTableKind(tag);
  TTableForm* form = kind >= 1 ? TableForms[size_t(kind)].get() : nullptr;
  const int32_t columns = form != nullptr ? std::max<int32_t>(TableColumnCounts[size_t(kind)], 0) : 0;

  bool hasStrings = false;
  if (form != nullptr) {
    for (TTableColumnRecord* c = form->Columns; c != nullptr; c = c->Next) {
      if (kind == kParametricTableKind) {
        const TVariableRecord* v = MainProgramUnit != nullptr ? MainProgramUnit->Variable(c->VariableIndex) : nullptr;
        if (v != nullptr && v->IsString) {
          c->Format.Style = kStyleStringConstant;
          c->IsString = 1;
        }
      } else if (c->Format.Style == kStyleStringConstant) {
        c->IsString = 1;
      }
      if (c->IsString) hasStrings = true;
    }
  }
  PutInt16(out, hasStrings ? -columns : columns);
  if (hasStrings) PutShortString(out, std::string("T") + kProgramVersion, 15);
  if (columns == 0) return;

  const int32_t rows = std::max<int32_t>(TableRowCounts[size_t(kind)], 0);
  if (HasRowInfo(form->RowInfo, rows)) {
    PutInt16(out, -rows);
    for (int32_t r = 1; r <= rows; ++r) {
      const TableRowInfo info = r < form->RowInfoCount() ? form->RowInfo[size_t(r)] : TableRowInfo{};
      out.push_back(info.Border);
      out.push_back(info.Spare);
      PutInt16(out, info.Colour);
    }
  } else {
    PutInt16(out, rows);
  }

  if (tag == 4) {
    if (ParametricColumnOrder.size() < size_t(columns) + 1) ParametricColumnOrder.resize(size_t(columns) + 1, 0);
    if (purge && purgedNumbers != nullptr) {
      int32_t i = 1;
      for (TTableColumnRecord* c = form->Columns; c != nullptr && i <= columns; c = c->Next, ++i) {
        const int32_t v = c->VariableIndex;
        if (v >= 0 && v < int32_t(purgedNumbers->size()) && (*purgedNumbers)[size_t(v)] > 0)
          ParametricColumnOrder[size_t(i)] = (*purgedNumbers)[size_t(v)];
      }
    }
    for (int32_t i = 1; i <= columns; ++i) PutInt16(out, ParametricColumnOrder[size_t(i)]);
    int32_t i = 1;
    for (TTableColumnRecord* c = form->Columns; c != nullptr && i <= columns; c = c->Next, ++i)
      ParametricColumnOrder[size_t(i)] = c->VariableIndex;
  } else if (tag == 8) {
    PutInt16(out, TableRunOffset);
  }

  int32_t written = 0;
  for (TTableColumnRecord* c = form->Columns; c != nullptr && written < columns; c = c->Next, ++written) {
    std::string name = c->Name.substr(0, 30);
    if (name.size() <= 27) {
      int32_t width = form->GridColWidth(c->ColumnNumber);
      if (width > 250 || width < 20) width = kDefaultWidth;
      name += '\n';
      name += char(uint8_t(width));
      if (c->ColourIndex >= 1 && c->ColourIndex <= 7) name += char(uint8_t(c->ColourIndex));
    }
    PutShortString(out, name, 30);
    for (int32_t r = 1; r <= rows; ++r) PutExtended(out, c->Cell(r));
    for (int32_t r = 1; r <= rows; ++r) out.push_back(c->Flag(r));
    if (tag != 4) {
      out.push_back(c->Format.Style);
      PutInt16(out, c->Format.Digits);
    }
    if (c->IsString && hasStrings) {
      for (int32_t r = 1; r <= rows; ++r) {
        const std::string text = StringCellText(c->Cell(r)).substr(0, 255);
        PutInt32(out, int32_t(text.size()) + 1);
        out.push_back(uint8_t(text.size()));
        out.insert(out.end(), text.begin(), text.end());
      }
    }
  }
  // The section promises `columns` entries. A window whose set-up stopped
  // early (a column's variable missing) has fewer in its chain: the rest are
  // written blank, as the reader reads past them, so that what was read can
  // be read again.
  for (; written < columns; ++written) {
    PutShortString(out, "", 30);
    for (int32_t r = 1; r <= rows; ++r) PutExtended(out, BlankValue);
    out.insert(out.end(), size_t(rows), uint8_t(0));
    if (tag != 4) {
      out.push_back(0);
      PutInt16(out, 0);
    }
  }
}

bool ReadTableSection(const uint8_t* data, size_t size, size_t& pos, int32_t tag, TLookupFileRecord* lookup,
                      double version) {
  Cursor in{data, size, pos};
  if (tag == 0) {
    if (lookup == nullptr) return false;
    const bool ok = ReadIntoLookupRecord(in, *lookup, version);
    pos = in.pos;
    return ok;
  }
  const bool parFile = tag == -4;
  if (parFile) tag = 4;
  const int32_t kind = WindowTagToTableKind(tag);
  if (kind < 1 || kind > 3) return false;

  if (!in.Has(2)) return Truncated();
  int32_t columns = in.Int16();
  if (columns == 0) {
    pos = in.pos;
    return true;
  }
  const bool hasStrings = columns < 0;
  columns = std::abs(columns);
  // A stored table binds column k to variable k and makes placeholder
  // variables up to its column count: a count beyond what a program can
  // hold is refused before one is made.
  if (parFile && columns > MaxVariables) {
    SetMessageArg(1, std::to_string(MaxVariables));
    SetCalcErrorWithHelp(kMsgTooManyVariables, 17);
    return false;
  }
  if (hasStrings) {
    if (!in.Has(16)) return Truncated();
    in.pos += 16;
  }
  if (!in.Has(2)) return Truncated();
  int32_t rows = in.Int16();
  std::vector<TableRowInfo> rowInfo;
  const bool hasRowInfo = rows < 0;
  rows = std::abs(rows);
  if (hasRowInfo) {
    if (!in.Has(size_t(rows) * 4)) return Truncated();
    rowInfo.resize(size_t(rows));
    for (auto& info : rowInfo) {
      info.Border = in.Byte();
      info.Spare = in.Byte();
      info.Colour = int16_t(in.Int16());
    }
  }
  std::vector<int32_t> order;
  if (tag == 4) {
    if (!in.Has(size_t(columns) * 2)) return Truncated();
    order.assign(size_t(columns) + 1, 0);
    for (int32_t i = 1; i <= columns; ++i) order[size_t(i)] = in.Int16();
  } else if (tag == 8) {
    if (!in.Has(2)) return Truncated();
    TableRunOffset = in.Int16();
  }
  // The fixed part of the column entries must be there before anything is
  // made for them.
  const size_t fixedPart = size_t(columns) * (31 + size_t(rows) * 11 + (tag == 4 ? 0 : 3));
  if (!in.Has(fixedPart)) return Truncated();

  NewTableKind = kind;
  TableRowCounts[size_t(kind)] = rows;
  TableColumnCounts[size_t(kind)] = columns;
  if (parFile) {
    TProgramUnitRecord* const main = MainProgramUnit;
    TProgramUnitRecord* const saved = CurrentProgramUnit;
    CurrentProgramUnit = main;
    while (main != nullptr && main->VariableCount < columns && main->VariableCount < kMaxVariablesPerUnit) {
      const int32_t before = main->VariableCount;
      FindOrAddVariable("!" + std::to_string(main->VariableCount), -1, -1);
      if (main->VariableCount == before) break;
    }
    CurrentProgramUnit = saved;
    for (int32_t i = 1; i <= columns; ++i) order[size_t(i)] = i;
  }
  if (tag == 4) {
    ParametricColumnOrder = order;
    FirstRun = 1;
    LastRun = rows;
  }
  TTableForm* form = TableForms[size_t(kind)].get();
  if (form == nullptr || tag == 8) {
    form = CreateTableForm(kind);
    if (form == nullptr) form = TableForms[size_t(kind)].get();
  } else {
    form->MultipleTableSetup();
  }
  if (form == nullptr) return false;
  CalcErrorCode = 0;

  const bool ctrl = CtrlKeyDown();
  if (hasRowInfo && !form->RowInfo.empty()) {
    for (int32_t r = 1; r <= rows && r < form->RowInfoCount(); ++r) {
      TableRowInfo info = rowInfo[size_t(r - 1)];
      if (kind == kParametricTableKind && (info.Colour > 32 || info.Border > 1 || ctrl)) info = {0, 0, 0};
      form->RowInfo[size_t(r)] = info;
    }
  }
  form->Visible = false;

  TTableColumnRecord* c = form->Columns;
  for (int32_t i = 1; i <= columns; ++i) {
    // A column the set-up could not make (a variable out of range) is read
    // past.
    TTableColumnRecord scratch;
    TTableColumnRecord* target = c != nullptr ? c : &scratch;
    if (target == &scratch) {
      scratch.Values.assign(size_t(rows) + 1, BlankValue);
      scratch.EnteredFlags.assign(size_t(rows) + 1, 0);
    }
    if (!in.Has(31 + size_t(rows) * 11 + (tag == 4 ? 0 : 3))) return Truncated();
    const TStoredName stored = ReadStoredName(in);
    if (stored.HasWidth) {
      int32_t width = stored.Width;
      if (width == 0 || width < 20 || width > 250 || ctrl) width = kDefaultWidth;
      target->Width = width;
      if (tag != 8) form->SetGridColWidth(target->ColumnNumber, width);
    }
    target->ColourIndex = stored.Colour;
    target->Name = stored.Name;
    if (parFile && MainProgramUnit != nullptr && target != &scratch) {
      const TVariableRecord* v = MainProgramUnit->Variable(target->VariableIndex);
      std::string upperName = stored.Name, upperVariable = v != nullptr ? v->Name : "";
      for (char& ch : upperName) ch = char(std::toupper(uint8_t(ch)));
      for (char& ch : upperVariable) ch = char(std::toupper(uint8_t(ch)));
      if (upperName != upperVariable && !stored.Name.empty()) {
        TProgramUnitRecord* const saved = CurrentProgramUnit;
        CurrentProgramUnit = MainProgramUnit;
        const int32_t index = FindOrAddVariable(stored.Name, -1, -1);
        CurrentProgramUnit = saved;
        if (const TVariableRecord* w = MainProgramUnit->Variable(index)) {
          target->VariableIndex = index;
          target->Format = {w->Style, w->Digits};
          target->IsString = w->IsString;
          if (size_t(i) < ParametricColumnOrder.size()) ParametricColumnOrder[size_t(i)] = index;
        }
      }
    }
    for (int32_t r = 1; r <= rows; ++r) target->SetCell(r, ConvertOldBlank(in.Real(), version));
    for (int32_t r = 1; r <= rows; ++r) target->SetFlag(r, in.Byte());
    if (tag != 4) {
      target->Format.Style = in.Byte();
      target->Format.Digits = int16_t(in.Int16());
      target->IsString = target->Format.Style == kStyleStringConstant ? 1 : 0;
    }
    if (target->IsString && hasStrings) {
      for (int32_t r = 1; r <= rows; ++r) {
        std::string text;
        if (!ReadStringCell(in, text)) return Truncated();
        target->SetCell(r, Extended(StringConstIndex(text)));
      }
    }
    if (c != nullptr) c = c->Next;
  }
  if (tag == 4 && Preferences.TableSumRow != 0) {
    for (TTableColumnRecord* col = form->Columns; col != nullptr; col = col->Next) form->FillSumAvg(col->ColumnNumber);
  }
  form->MultipleTableRefresh();
  pos = in.pos;
  return true;
}

}  // namespace voq

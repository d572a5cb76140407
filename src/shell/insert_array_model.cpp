#include "shell/insert_array_model.h"

#include <algorithm>
#include <cctype>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/messages.h"
#include "core/number_format.h"
#include "core/number_text.h"
#include "core/text_utils.h"
#include "language/operands.h"
#include "model/program_units.h"
#include "platform/platform.h"
#include "shell/shell_state.h"

namespace voq {

namespace {

constexpr int32_t kMsgEnterArrayName = 422;
constexpr int32_t kMsgArrayNameInvalid = 423;
constexpr int32_t kMsgIllegalName = 18;
constexpr size_t kMaxCellCopyLength = 255;

std::string Trim(const std::string& text) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  return text.substr(first, last - first);
}

// An integer index as the name gives it ("3", " 12"); false for anything
// else (a variable, an expression).
bool ReadIndex(const std::string& part, int32_t& value) {
  const std::string t = Trim(part);
  if (t.empty() || t.size() > 9) return false;
  size_t k = 0;
  bool negative = false;
  if (t[0] == '-' || t[0] == '+') {
    negative = t[0] == '-';
    k = 1;
  }
  if (k == t.size()) return false;
  int32_t v = 0;
  for (; k < t.size(); ++k) {
    if (!std::isdigit(static_cast<unsigned char>(t[k]))) return false;
    v = v * 10 + (t[k] - '0');
  }
  value = negative ? -v : v;
  return true;
}

int32_t DefaultTextWidth(const std::string& text) { return static_cast<int32_t>(text.size()) * 7; }

}  // namespace

// --- Arrays of a unit --------------------------------------------------------------

std::vector<TArrayElement> ArrayElements(const TProgramUnitRecord* unit, const std::string& name) {
  std::vector<TArrayElement> elements;
  if (unit == nullptr) return elements;
  const std::string wanted = UpperCaseText(name).substr(0, kMaxArrayNameLength);
  for (int32_t i = 1; i <= unit->VariableCount; ++i) {
    const TVariableRecord* v = unit->Variable(i);
    if (v == nullptr || v->Name.empty() || v->Name[0] == '@') continue;
    const std::string upper = UpperCaseText(v->Name);
    const size_t bracket = upper.find('[');
    if (bracket == std::string::npos) continue;
    if (upper.substr(0, std::min(bracket, kMaxArrayNameLength)) != wanted) continue;
    TArrayElement element;
    // The text after "[" without the closing "]", split at commas.
    std::string inside = v->Name.substr(bracket + 1);
    if (!inside.empty() && inside.back() == ']') inside.pop_back();
    size_t from = 0;
    while (true) {
      const size_t comma = inside.find(',', from);
      int32_t index = 0;
      if (!ReadIndex(inside.substr(from, comma == std::string::npos ? std::string::npos : comma - from), index)) {
        break;
      }
      element.Indexes.push_back(index);
      if (comma == std::string::npos) break;
      from = comma + 1;
    }
    if (v->UnknownPosition == kDeterminedVariable) {
      element.Value = FormatValue(TDisplayFormat{v->Style, v->Digits}, v->Value);
    }
    elements.push_back(std::move(element));
  }
  return elements;
}

std::vector<std::string> ArrayNamesOf(const TProgramUnitRecord* unit) {
  std::vector<std::string> names;
  if (unit == nullptr) return names;
  for (int32_t i = 1; i <= unit->VariableCount; ++i) {
    const TVariableRecord* v = unit->Variable(i);
    if (v == nullptr || v->Name.empty() || v->Name[0] == '@') continue;
    const size_t bracket = v->Name.find('[');
    if (bracket == std::string::npos) continue;
    const std::string base = v->Name.substr(0, bracket);
    const bool listed =
        std::any_of(names.begin(), names.end(), [&](const std::string& n) { return SameTextNoCase(n, base); });
    if (!listed) names.push_back(base);
  }
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return UpperCaseText(a) < UpperCaseText(b); });
  return names;
}

bool ArrayFitsGrid(const std::vector<TArrayElement>& elements) {
  for (const TArrayElement& e : elements) {
    if (e.Indexes.empty() || e.Indexes.size() > 2) return false;
    for (int32_t index : e.Indexes) {
      if (index < 1 || index > kMaxArrayGridCount) return false;
    }
  }
  return true;
}

bool NextClipboardCell(const std::string& text, size_t& position, std::string& cell, bool& endedAtTab) {
  if (position >= text.size()) return false;
  size_t end = position;
  while (end < text.size() && text[end] != '\t' && text[end] != '\n') ++end;
  cell = text.substr(position, end - position);
  const size_t cr = cell.find('\r');
  if (cr != std::string::npos) cell.resize(cr);
  endedAtTab = end < text.size() && text[end] == '\t';
  position = end < text.size() ? end + 1 : end;
  return true;
}

// --- Lines of the Equations text ---------------------------------------------------

std::vector<std::string> SplitEquationLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t k = 0; k < text.size(); ++k) {
    const char c = text[k];
    if (c == '\r' && k + 1 < text.size() && text[k + 1] == '\n') continue;
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line.push_back(c);
    }
  }
  lines.push_back(line);
  return lines;
}

std::string JoinEquationLines(const std::vector<std::string>& lines) {
  std::string text;
  for (size_t k = 0; k < lines.size(); ++k) {
    if (k > 0) text += "\r\n";
    text += lines[k];
  }
  return text;
}

std::vector<std::string> ApplyArrayBlockEdit(std::vector<std::string> lines, const TArrayBlockEdit& edit) {
  if (edit.DeleteFirst >= 0 && edit.DeleteLast >= edit.DeleteFirst && size_t(edit.DeleteLast) < lines.size()) {
    lines.erase(lines.begin() + edit.DeleteFirst, lines.begin() + edit.DeleteLast + 1);
  }
  if (edit.NewLines.empty()) return lines;
  if (edit.InsertAt < 0) {
    // At the end of the text: after its last line, or in place of a last
    // line that is empty (the text ended with a line break).
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    lines.insert(lines.end(), edit.NewLines.begin(), edit.NewLines.end());
    lines.emplace_back();
  } else {
    const size_t at = std::min(size_t(edit.InsertAt), lines.size());
    lines.insert(lines.begin() + long(at), edit.NewLines.begin(), edit.NewLines.end());
  }
  return lines;
}

TArrayBlockEdit PlanArrayBlock(const std::vector<std::string>& lines, const std::string& name,
                               const TInsertArrayModel& grid, int32_t clientWidth, int32_t charWidth) {
  TArrayBlockEdit edit;
  const std::string startLine = "{Array " + name + "}";
  const std::string endLine = "{Array " + name + " end}";
  for (size_t a = 0; a < lines.size(); ++a) {
    if (!SameTextNoCase(lines[a], startLine)) continue;
    edit.InsertAt = int32_t(a);
    // A block without its end line is left alone; the new one goes in
    // front of it.
    for (size_t e = a; e < lines.size(); ++e) {
      if (SameTextNoCase(lines[e], endLine)) {
        edit.DeleteFirst = int32_t(a);
        edit.DeleteLast = int32_t(e);
        break;
      }
    }
    break;
  }
  if (!grid.HasData()) return edit;
  edit.NewLines.push_back(startLine);
  const std::string separator = std::string(1, StatementSeparator) + "  ";
  std::string line;
  for (int32_t r = 1; r <= grid.Rows(); ++r) {
    for (int32_t c = 1; c <= grid.Cols(); ++c) {
      if (clientWidth < int32_t(line.size()) * (charWidth + 2)) {
        edit.NewLines.push_back(line);
        line.clear();
      }
      const std::string value = Trim(grid.Cell(r, c));
      if (value.empty()) continue;
      if (!line.empty()) line += separator;
      line += name + "[" + std::to_string(r);
      if (grid.Cols() > 1) line += "," + std::to_string(c);
      line += "]=" + value;
    }
  }
  if (!line.empty()) edit.NewLines.push_back(line);
  edit.NewLines.push_back(endLine);
  return edit;
}

// --- The model ---------------------------------------------------------------------

TInsertArrayModel::TInsertArrayModel() : TextWidth(DefaultTextWidth) { LabelGrid(); }

void TInsertArrayModel::SetRows(int32_t rows) { rows_ = std::clamp(rows, 1, kMaxArrayGridCount); }
void TInsertArrayModel::SetCols(int32_t cols) { cols_ = std::clamp(cols, 1, kMaxArrayGridCount); }

const std::string& TInsertArrayModel::Cell(int32_t row, int32_t col) const {
  static const std::string empty;
  if (row < 1 || col < 1 || size_t(row) >= cells_.size() || size_t(col) >= cells_[size_t(row)].size()) return empty;
  return cells_[size_t(row)][size_t(col)];
}

void TInsertArrayModel::SetCell(int32_t row, int32_t col, const std::string& text) {
  if (row < 1 || col < 1 || row > kMaxArrayGridCount || col > kMaxArrayGridCount) return;
  if (cells_.size() <= size_t(row)) cells_.resize(size_t(row) + 1);
  std::vector<std::string>& cells = cells_[size_t(row)];
  if (cells.size() <= size_t(col)) cells.resize(size_t(col) + 1);
  cells[size_t(col)] = text;
}

std::string TInsertArrayModel::ChosenItem() const {
  return ItemIndex >= 0 && size_t(ItemIndex) < Items.size() ? Items[size_t(ItemIndex)] : std::string();
}

void TInsertArrayModel::FormActivate(const TProgramUnitRecord* unit) {
  Items = ArrayNamesOf(unit);
  Items.insert(Items.begin(), kEnterArrayNamePrompt);
  cells_.clear();
  rows_ = 10;
  cols_ = 1;
  if (Items.size() < 2) {
    ItemIndex = 0;
    NameText = Items[0];
  } else {
    int32_t chosen = 1;
    for (size_t k = 1; k < Items.size(); ++k) {
      if (!LastArrayName.empty() && SameTextNoCase(Items[k], LastArrayName)) chosen = int32_t(k);
    }
    ChooseItem(chosen, unit);
  }
  LabelGrid();
}

bool TInsertArrayModel::Refused(const std::string& name, const TProgramUnitRecord* unit) const {
  if (ArrayFitsGrid(ArrayElements(unit, name))) return false;
  ShowAlert("The array " + name +
                " has elements that this dialog cannot show (an index below 1 or above 200, or more than two "
                "indexes); writing it from the grid would lose them. Change it in the Equations window.",
            kAlertInfoOk, true);
  return true;
}

void TInsertArrayModel::ChooseItem(int32_t index, const TProgramUnitRecord* unit) {
  if (index < 0 || size_t(index) >= Items.size()) return;
  ItemIndex = index;
  NameText = Items[size_t(index)];
  if (index > 0 && Refused(Items[size_t(index)], unit)) {
    ItemIndex = 0;
    NameText = Items[0];
    LabelGrid();
    return;
  }
  LoadArrayValues(unit);
}

void TInsertArrayModel::LoadArrayValues(const TProgramUnitRecord* unit) {
  const std::vector<TArrayElement> elements = ArrayElements(unit, ChosenItem());
  int32_t maxRow = 0;
  int32_t maxCol = 0;
  bool cleared = false;
  for (const TArrayElement& e : elements) {
    if (e.Indexes.empty()) continue;
    const int32_t row = e.Indexes[0];
    const int32_t col = e.Indexes.size() >= 2 ? e.Indexes[1] : 1;
    if (row < 1 || col < 1) continue;
    // The grid shows this array only: what another array left goes.
    if (!cleared) {
      cells_.clear();
      cleared = true;
    }
    maxRow = std::max(maxRow, row);
    maxCol = std::max(maxCol, col);
    if (!e.Value.empty()) SetCell(row, col, e.Value);
  }
  if (maxRow > 0 && maxCol > 0) {
    SetRows(maxRow);
    SetCols(maxCol);
  }
  LabelGrid();
}

void TInsertArrayModel::LabelGrid() {
  RowHeadings.assign(size_t(rows_) + 1, std::string());
  for (int32_t r = 1; r <= rows_; ++r) RowHeadings[size_t(r)] = "  Row " + std::to_string(r);
  ColumnHeadings.assign(size_t(cols_) + 1, std::string());
  const std::string item = ChosenItem();
  const bool prompt = ItemIndex <= 0;
  const int32_t blank = TextWidth ? TextWidth(" ") : 7;
  for (int32_t c = 1; c <= cols_; ++c) {
    std::string h = prompt ? "Column " + std::to_string(c)
                           : item + "[i" + (cols_ == 1 ? std::string("]") : "," + std::to_string(c) + "]");
    const int32_t width = TextWidth ? TextWidth(h) : int32_t(h.size()) * 7;
    const int32_t n = ((ColumnWidth - width) / 2) / (blank + 2);
    if (n > 0) h.insert(0, size_t(n), ' ');
    ColumnHeadings[size_t(c)] = h;
  }
}

bool TInsertArrayModel::PasteCells(const std::string& text, int32_t row, int32_t col) {
  const int32_t startCol = std::max(col, 1);
  row = std::max(row, 1);
  col = startCol;
  size_t position = 0;
  std::string cell;
  bool endedAtTab = false;
  while (row <= rows_ && NextClipboardCell(text, position, cell, endedAtTab)) {
    // Blank cells paste as blank, so copied cells always paste back.
    Extended value = 0;
    const std::string trimmed = Trim(cell);
    if (!trimmed.empty() && !TryStrToReal(trimmed, value)) {
      ThrottledBeep();
      return false;
    }
    SetCell(row, col, cell);
    if (!endedAtTab) {
      ++row;
      col = startCol;
      continue;
    }
    if (++col > cols_) {
      // The rest of this line falls outside the grid.
      while (endedAtTab && NextClipboardCell(text, position, cell, endedAtTab)) {
      }
      ++row;
      col = startCol;
    }
  }
  return true;
}

std::string TInsertArrayModel::CopyCells(int32_t top, int32_t left, int32_t bottom, int32_t right) const {
  std::string text;
  for (int32_t r = top; r <= bottom; ++r) {
    if (r > top) text += "\r\n";
    for (int32_t c = left; c <= right; ++c) {
      if (c > left) text += '\t';
      text += Cell(r, c).substr(0, kMaxCellCopyLength);
    }
  }
  return text;
}

bool TInsertArrayModel::HasData() const {
  for (int32_t r = 1; r <= rows_; ++r) {
    for (int32_t c = 1; c <= cols_; ++c) {
      if (!Trim(Cell(r, c)).empty()) return true;
    }
  }
  return false;
}

bool TInsertArrayModel::OKBtnClick(const std::vector<std::string>& lines, int32_t clientWidth, int32_t charWidth,
                                   const TProgramUnitRecord* unit, TArrayBlockEdit& edit) {
  // Blanks around the typed name are no part of it.
  const std::string name = Trim(NameText);
  LastArrayName = name.substr(0, kMaxArrayNameLength);
  if (!name.empty() && name[0] == '-') {
    ShowAlert(GetMessageText(kMsgEnterArrayName), kAlertInfoOk, true);
    return false;
  }
  ClearCalcError();
  CheckVariableName(name);
  if (CalcErrorCode == 0 && name.find('[') != std::string::npos) CalcErrorCode = kMsgIllegalName;
  // Names the check lets pass that no statement could hold: none, or one
  // with a blank inside (the compiler would read the name without it).
  if (CalcErrorCode == 0 && (name.empty() || name.find(' ') != std::string::npos)) CalcErrorCode = kMsgIllegalName;
  if (CalcErrorCode != 0) {
    ClearCalcError();
    ShowAlert(GetMessageText(kMsgArrayNameInvalid), kAlertInfoOk, true);
    return false;
  }
  if (Refused(name, unit)) return false;
  edit = PlanArrayBlock(lines, name, *this, clientWidth, charWidth);
  return true;
}

}  // namespace voq

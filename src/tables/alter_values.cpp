// Altered values: the generation of a column's values over a run range and
// the models of the column and whole-table dialogs that use it.
#include "tables/alter_values.h"

#include <algorithm>
#include <cmath>

#include "core/messages.h"
#include "core/number_format.h"
#include "core/number_text.h"
#include "language/export_after_run.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "tables/tables_state.h"

namespace voq {

const char* const TTableChgModel::ModeItems[3] = {"Last value", "Increment", "Multiplier"};
const char* const TTableChgModel::PatternItems[2] = {"Repeat pattern every", "Apply pattern every"};
const char* const TAlterValuesModel::ModeItems[3] = {"Last value", "Increment", "Multiplier"};

namespace {

std::string Shown(const TTableColumnRecord& c, Extended x) {
  std::string text = FormatValue(c.Format, x);
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

void AddMacroLine(std::string line) {
  if (!MacroRecording) return;
  if (line.size() > 255) line.resize(255);
  MacroText += line + "\r\n";
}

std::string VariableName(const TTableColumnRecord& c) {
  const TVariableRecord* v = MainProgramUnit != nullptr ? MainProgramUnit->Variable(c.VariableIndex) : nullptr;
  return v != nullptr ? v->Name : c.Title();
}

}  // namespace

bool GenerateAlteredValues(const TAlterSeries& s, std::vector<Extended>& values) {
  const int32_t a = s.FirstRun;
  const int32_t b = std::max(s.LastRun, s.FirstRun);
  const Extended f = s.First;
  const Extended second = s.Second;
  const int32_t n = std::max(s.PatternRows, 1);
  const bool repeat = s.Pattern && s.PatternKind == kRepeatPattern;
  const bool apply = s.Pattern && s.PatternKind == kApplyPattern;
  const bool multiply = s.Mode == kAlterMultiplier;
  Extended d = second;
  if (s.Mode == kAlterLastValue) {
    if (repeat) {
      // The N-th row of each ramp reaches the last value; a pattern longer
      // than the run numbers keeps the entered value as the step.
      if (n <= b) d = (second - f) / Extended(n - 1);
    } else if (apply) {
      if (b > a) {
        const int32_t steps = (b - a) / n;
        if (steps == 0) return false;
        d = (second - f) / Extended(steps);
      } else {
        d = 0;
      }
    } else {
      d = b > a ? (second - f) / Extended(b - a) : second - f;
    }
  }
  std::vector<Extended> out;
  out.reserve(size_t(b - a + 1));
  Extended v = f;
  int32_t k = 0;
  for (int32_t r = a; r <= b; ++r) {
    ++k;
    out.push_back(v);
    if (apply) {
      // Each value is held for N rows before it steps.
      if (k >= n) {
        k = 0;
        v = multiply ? v * d : v + d;
      }
      continue;
    }
    if (repeat && k >= n) {
      // One step back from the first value, so the step below restarts the ramp.
      k = 0;
      v = multiply ? f / d : f - d;
    }
    v = multiply ? v * d : v + d;
  }
  values = std::move(out);
  return true;
}

void WriteAlteredValues(TTableForm& form, TTableColumnRecord& column, int32_t firstRun,
                        const std::vector<Extended>& values) {
  for (size_t i = 0; i < values.size(); ++i) {
    const int32_t r = firstRun + int32_t(i);
    column.SetCell(r, values[i]);
    column.SetFlag(r, 1);
    if (form.TableKind == kParametricTableKind) form.ClearTableRun(r);
  }
  DocumentUnchanged = false;
}

void ClearColumnValues(TTableForm& form, TTableColumnRecord& column, int32_t first, int32_t last) {
  for (int32_t r = first; r <= last; ++r) {
    column.SetCell(r, BlankValue);
    column.SetFlag(r, 0);
    if (form.TableKind == kParametricTableKind) form.ClearTableRun(r);
  }
  DocumentUnchanged = false;
}

// ---------------------------------------------------------------- TTableChgModel

TTableChgModel::TTableChgModel(TTableForm& form, TTableColumnRecord& column, const std::string& units,
                               const TGridRect& selection, const std::string& caption)
    : Caption(caption), Units(units), form_(form), column_(column) {
  RowCount = std::max(1, TableRowCounts[size_t(form.TableKind)]);
  FirstRun = 1;
  LastRun = RowCount;
  // One selected row means the whole column; a block of this column's
  // cells its own rows.
  if (selection.Top != selection.Bottom && selection.Left == column.ColumnNumber &&
      selection.Right == column.ColumnNumber) {
    FirstRun = std::clamp(selection.Top, 1, RowCount);
    if (selection.Bottom > selection.Top) LastRun = std::min(selection.Bottom, RowCount);
  }
  Mode = column.AlterMode <= kAlterMultiplier ? column.AlterMode : kAlterLastValue;
  if (column.PatternFlag != 0) {
    Pattern = true;
    PatternKind = column.PatternKind == kApplyPattern ? kApplyPattern : kRepeatPattern;
    PatternRows = std::clamp(column.PatternRows, 2, 999999);
    FirstText = Shown(column, column.PatternFirst);
    SecondText = Shown(column, column.PatternSecond);
  } else if (!IsBlank(column.Cell(FirstRun))) {
    FirstText = Shown(column, column.Cell(FirstRun));
    ProposeFromRows(FirstRun);
  }
}

void TTableChgModel::ProposeFromRows(int32_t firstRow) {
  const Extended x1 = column_.Cell(firstRow);
  const Extended x2 = column_.Cell(firstRow + 1);
  const Extended last = column_.Cell(firstRow == FirstRun ? LastRun : RowCount);
  switch (Mode) {
    case kAlterIncrement:
      if (!IsBlank(x1) && !IsBlank(x2)) SecondText = Shown(column_, x2 - x1);
      break;
    case kAlterMultiplier:
      if (!IsBlank(x1) && !IsBlank(x2) && x1 != 0) SecondText = Shown(column_, x2 / x1);
      break;
    default:
      if (!IsBlank(last)) SecondText = Shown(column_, last);
  }
}

void TTableChgModel::ChooseMode(int32_t mode) {
  Mode = std::clamp(mode, kAlterLastValue, kAlterMultiplier);
  // Proposed from the table itself: its last row, or rows 1 and 2.
  if (!Pattern) ProposeFromRows(1);
}

void TTableChgModel::ChoosePatternKind(int32_t kind) {
  PatternKind = kind == kApplyPattern ? kApplyPattern : kRepeatPattern;
  if (!Pattern) ProposeFromRows(1);
}

bool TTableChgModel::Ok() {
  Refused = TAlterField::None;
  const int32_t a = std::clamp(FirstRun, 1, RowCount);
  const int32_t b = std::clamp(LastRun, 1, RowCount);
  const bool parametric = form_.TableKind == kParametricTableKind;
  std::string macro = "AlterValues  '" + form_.TableName + "'  " + VariableName(column_) + "  Rows=" +
                      std::to_string(a) + ".." + std::to_string(b) + "  ";
  if (ClearValues) {
    ClearColumnValues(form_, column_, a, b);
    macro += "Clear ";
  } else {
    TAlterSeries series;
    series.FirstRun = a;
    series.LastRun = b;
    series.Mode = Mode;
    series.Pattern = Pattern;
    series.PatternKind = PatternKind;
    series.PatternRows = PatternRows;
    if (!TryStrToReal(FirstText, series.First)) Refused = TAlterField::FirstValue;
    else if (!TryStrToReal(SecondText, series.Second)) Refused = TAlterField::SecondValue;
    else if (Pattern && (PatternRows < 2 || PatternRows > 999999)) Refused = TAlterField::PatternRows;
    std::vector<Extended> values;
    if (Refused == TAlterField::None && !GenerateAlteredValues(series, values)) Refused = TAlterField::PatternRows;
    if (Refused != TAlterField::None) {
      ThrottledBeep();
      return false;
    }
    // b before a is one run (the generation's own rule), never a reversed range.
    WriteAlteredValues(form_, column_, a, values);
    static const char* const kSecond[3] = {"Last=", "Inc=", "Mult="};
    macro += "First=" + FirstText + " " + kSecond[Mode] + SecondText;
  }
  column_.AlterMode = uint8_t(Mode);
  if (Pattern) {
    column_.PatternFlag = 1;
    column_.PatternKind = PatternKind;
    column_.PatternRows = PatternRows;
    TryStrToReal(FirstText, column_.PatternFirst);
    TryStrToReal(SecondText, column_.PatternSecond);
  } else {
    column_.PatternFlag = 0;
  }
  if (parametric) {
    AddMacroLine(macro);
    if (form_.SumRowShown > 0) form_.FillSumAvg(column_.ColumnNumber);
  }
  DocumentUnchanged = false;
  return true;
}

// ---------------------------------------------------------------- TAlterValuesModel

namespace {

std::vector<std::string> ParametricTableNames() {
  std::vector<std::string> names;
  if (TableLists[1])
    for (const auto& h : *TableLists[1]) names.push_back(h->Name);
  return names;
}

}  // namespace

TAlterValuesModel::TAlterValuesModel() {
  TTableForm* f = TableForms[1].get();
  if (f == nullptr) return;
  startTab_ = std::max(f->TabIndex, 0);
  f->MultipleTableRefresh();
  f->MakeUndo();
  Tables = ParametricTableNames();
  Table = startTab_;
  FirstRun = ::voq::FirstRun;
  LastRun = ::voq::LastRun;
  ListColumns();
}

void TAlterValuesModel::ListColumns() {
  Columns.clear();
  TTableForm* f = TableForms[1].get();
  if (f != nullptr)
    for (const TTableColumnRecord* c = f->Columns; c != nullptr; c = c->Next) Columns.push_back(c->Title());
  ChooseColumn(Columns.empty() ? -1 : 0);
}

void TAlterValuesModel::ChooseTable(int32_t index) {
  TTableForm* f = TableForms[1].get();
  if (f == nullptr || index == Table || !f->SwitchToTab(index)) return;
  Table = index;
  f->MakeUndo();
  FirstRun = 1;
  LastRun = std::max(1, TableRowCounts[1]);
  ListColumns();
}

void TAlterValuesModel::ChooseColumn(int32_t index) {
  Column = index;
  TTableForm* f = TableForms[1].get();
  const TTableColumnRecord* c = f != nullptr && index >= 0 ? ColumnAtPosition(f->Columns, index + 1) : nullptr;
  if (c == nullptr) return;
  FirstText = IsBlank(c->Cell(1)) ? "" : Shown(*c, c->Cell(1));
  SetValuesEnabled = c->IsString == 0;
  if (!SetValuesEnabled) ClearValues = true;
}

bool TAlterValuesModel::FillTable() {
  Refused = TAlterField::None;
  TTableForm* f = TableForms[1].get();
  if (f == nullptr) return false;
  ::voq::FirstRun = std::max(FirstRun, 1);
  ::voq::LastRun = std::max(std::min(LastRun, f->GridRowCount - 1), ::voq::FirstRun);
  const int32_t a = ::voq::FirstRun;
  const int32_t b = std::min(::voq::LastRun, std::max(1, TableRowCounts[1]));
  TAlterSeries series;
  series.FirstRun = a;
  series.LastRun = b;
  series.Mode = Mode;
  if (!ClearValues) {
    bool ok = false;
    series.First = ParseReal(FirstText, ok);
    if (!ok) {
      Refused = TAlterField::FirstValue;
    } else {
      series.Second = ParseReal(SecondText, ok);
      if (!ok) Refused = TAlterField::SecondValue;
    }
  }
  TTableColumnRecord* c = Column >= 0 ? ColumnAtPosition(f->Columns, Column + 1) : nullptr;
  if (Refused == TAlterField::None && c == nullptr) Refused = TAlterField::Column;
  if (Refused != TAlterField::None) {
    ThrottledBeep();
    return false;
  }
  if (ClearValues) {
    ClearColumnValues(*f, *c, a, b);
  } else {
    std::vector<Extended> values;
    GenerateAlteredValues(series, values);
    WriteAlteredValues(*f, *c, a, values);
  }
  if (f->SumRowShown > 0)
    for (TTableColumnRecord* k = f->Columns; k != nullptr; k = k->Next) f->FillSumAvg(k->ColumnNumber);
  f->MultipleTableRefresh();
  DocumentUnchanged = false;
  return true;
}

void TAlterValuesModel::Cancel() {
  TTableForm* f = TableForms[1].get();
  if (f == nullptr) return;
  if (Table != startTab_) f->SwitchToTab(startTab_);
  if (f->HasUndo()) f->Undo();
  f->DisposeUndo();
  f->MultipleTableRefresh();
}

}  // namespace voq

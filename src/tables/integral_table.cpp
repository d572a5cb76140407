#include "tables/integral_table.h"

#include <array>
#include <cctype>
#include <string>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/number_text.h"
#include "core/text_utils.h"
#include "language/export_after_run.h"
#include "language/operands.h"
#include "language/reader_state.h"
#include "language/statement_readers.h"
#include "model/integral_slots.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "platform/platform.h"
#include "solver/integrals.h"
#include "tables/table_model.h"
#include "tables/tables_state.h"

namespace voq {

namespace {

constexpr size_t kNameLength = 30;
constexpr int32_t kMaxTableColumns = 500;

std::string Cut(const std::string& text, size_t n = kNameLength) { return text.substr(0, n); }

void TrimLeft(std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  text.erase(0, i);
}

std::string After(const std::string& text, int32_t p) {
  return static_cast<size_t>(p) < text.size() ? text.substr(static_cast<size_t>(p)) : std::string();
}

int32_t VariableNamed(const std::string& name) {
  const int32_t saved = CalcErrorCode;
  const int32_t v = FindVariable(name);
  CalcErrorCode = saved;
  return v;
}

void SyntaxAlert(int kind) {
  SetMessageArg(1, "$IntegralTable");
  ShowAlert(GetMessageText(kMsgDirectiveSyntax), kind, true);
  CalcErrorCode = kMsgCancelled;
}

// The window of kind 4 as the stepping sees it: columns in chain order,
// rows 1..n and the extra row n + 1 of each column's value block.
class IntegralTableModel final : public IntegralTableWindow {
 public:
  bool Exists() const override { return TableForms[kIntegralTableKind] != nullptr; }
  int32_t SlotNumber() const override { return Exists() ? Form()->IntegralId : 0; }
  int32_t ColumnCount() const override {
    if (!Exists()) return 0;
    int32_t n = 0;
    for (const TTableColumnRecord* c = Form()->Columns; c != nullptr && n < TableColumnCounts[kIntegralTableKind];
         c = c->Next)
      ++n;
    return n;
  }
  int32_t ColumnVariable(int32_t column) const override {
    const TTableColumnRecord* c = Column(column);
    return c != nullptr ? c->VariableIndex : 0;
  }
  Extended Cell(int32_t column, int32_t row) const override {
    const TTableColumnRecord* c = Column(column);
    return c != nullptr ? c->Cell(row) : BlankValue;
  }
  void SetCell(int32_t column, int32_t row, Extended value) override {
    if (TTableColumnRecord* c = Column(column)) {
      if (row >= 1 && size_t(row) <= c->Values.size()) c->Values[size_t(row) - 1] = value;
    }
  }
  bool Prepare(int32_t rows) override {
    TTableForm* form = Form();
    if (form == nullptr) return true;
    try {
      TableRowCounts[kIntegralTableKind] = rows;
      form->GridRowCount = rows + 1;
      for (TTableColumnRecord* c = form->Columns; c != nullptr; c = c->Next) {
        c->Values.assign(size_t(rows) + 1, BlankValue);
        c->EnteredFlags.assign(size_t(rows) + 1, 1);
      }
      form->ManageRowInfo();
    } catch (const std::bad_alloc&) {
      CalcErrorCode = kMsgOutOfMemory;
      ShowAlert(GetMessageText(kMsgOutOfMemory), kAlertErrorOk, true);
      return false;
    }
    return true;
  }
  void RestoreGrid() override {
    // The engine half keeps no grid placement of its own: a table run's tab
    // control exists only in the view.
  }

 private:
  static TTableForm* Form() { return TableForms[kIntegralTableKind].get(); }
  static TTableColumnRecord* Column(int32_t column) {
    TTableForm* form = Form();
    return form != nullptr ? ColumnAtPosition(form->Columns, column) : nullptr;
  }
};

IntegralTableModel integralTableModel;

}  // namespace

void RejectIntegralTableStep() {
  if (ShowAlert(GetMessageText(kMsgIntegralTableIncrement), kAlertWarningOk, true) != kResultOk) {
    CalcErrorCode = kMsgCancelled;
    IntegralTableDirective.clear();
  }
}

void AddIntegralTableColumn(const std::string& item, TIntegralRecord& slot) {
  if (item.find_first_of("+-*/") != std::string::npos) {
    SyntaxAlert(kAlertErrorOk);
    return;
  }
  std::string name = item;
  const size_t bracket = name.find('[');
  if (bracket != std::string::npos) {
    const int32_t saved = CalcErrorCode;
    int32_t position = static_cast<int32_t>(bracket) + 1;
    bool hasVariable = false;
    ResolveSubscripts(name, 255, position, hasVariable);
    CalcErrorCode = saved;
  }
  const int32_t v = VariableNamed(Cut(name));
  if (v > 0 && slot.TableColumnCount < kMaxTableColumns) {
    slot.TableColumnCount += 1;
    slot.TableColumns[size_t(slot.TableColumnCount)] = static_cast<int16_t>(v);
    slot.LastTableRow = 0;
    return;
  }
  SetMessageArg(1, item);
  if (ShowAlert(GetMessageText(kMsgIntegralTableVariableNotFound), kAlertWarningOkCancel, true) != kResultOk)
    CalcErrorCode = kMsgCancelled;
}

void AddIntegralTableRange(const std::string& item, TIntegralRecord& slot) {
  const size_t bracket = item.find('[');
  if (bracket == std::string::npos) {
    CalcErrorCode = kMsgSyntaxError;
    return;
  }
  const std::string base = Cut(item.substr(0, bracket));
  int32_t count = 0;
  std::array<int32_t, 3> lows{};
  std::array<int32_t, 3> highs{};
  ReadRangeBoundsList(item.substr(bracket + 1), count, lows, highs);
  if (CalcErrorCode != 0) return;
  const std::string sep(1, ArgumentSeparator);
  auto element = [&](std::initializer_list<int32_t> subscripts) {
    std::string name = base + "[";
    bool first = true;
    for (int32_t s : subscripts) {
      if (!first) name += sep;
      name += std::to_string(s);
      first = false;
    }
    return Cut(name + "]");
  };
  if (count == 1) {
    for (int32_t i = lows[0]; i <= highs[0]; ++i) {
      AddIntegralTableColumn(element({i}), slot);
      if (CalcErrorCode != 0) return;
    }
  } else if (count == 2) {
    for (int32_t i = lows[0]; i <= highs[0]; ++i)
      for (int32_t j = lows[1]; j <= highs[1]; ++j) AddIntegralTableColumn(element({i, j}), slot);
  } else if (count == 3) {
    for (int32_t i = lows[0]; i <= highs[0]; ++i)
      for (int32_t j = lows[1]; j <= highs[1]; ++j)
        for (int32_t k = lows[2]; k <= highs[2]; ++k) AddIntegralTableColumn(element({i, j, k}), slot);
  } else {
    CalcErrorCode = kMsgCommonArrayDimensions;
  }
}

void SetUpIntegralTable() {
  std::string text = IntegralTableDirective;
  if (text.empty()) return;
  TProgramUnitRecord* main = MainProgramUnit;
  if (main == nullptr) return;
  Extended step = 0;
  std::string name;
  const size_t colon = text.find(':');
  if (colon == std::string::npos) {
    const int32_t p = SplitExportItem(text);
    name = Cut(text.substr(0, size_t(p) - 1));
    text = After(text, p);
  } else {
    name = Cut(text.substr(0, colon));
    text = text.substr(colon + 1);
    TrimLeft(text);
    const int32_t p = SplitExportItem(text);
    const std::string stepText = Cut(text.substr(0, size_t(p) - 1));
    SetMessageArg(1, stepText);
    text = After(text, p);
    TrimLeft(text);
    if (!text.empty() && text[0] == ArgumentSeparator) {
      text.erase(0, 1);
      TrimLeft(text);
    }
    if (stepText.empty()) {
      SetMessageArg(1, "?");
      RejectIntegralTableStep();
      return;
    }
    const char first = static_cast<char>(std::toupper(static_cast<unsigned char>(stepText[0])));
    if (first >= 'A' && first <= 'Z') {
      const TVariableRecord* v = main->Variable(VariableNamed(stepText));
      if (v == nullptr || v->UnknownPosition != -1) {
        RejectIntegralTableStep();
        return;
      }
      step = v->Value;
    } else {
      bool ok = false;
      step = ParseReal(stepText, ok);
      if (!ok) {
        RejectIntegralTableStep();
        return;
      }
    }
  }
  std::string trimmedName = name;
  TrimShort(trimmedName);
  const int32_t v = VariableNamed(trimmedName);
  int32_t slots = 0;
  const int32_t savedError = CalcErrorCode;
  AssignIntegrationVars(*main, slots);
  CalcErrorCode = savedError;
  const int32_t k = v > 0 ? FindIntegrationSlot(*main, v) : 0;
  if (k == 0) {
    SetMessageArg(1, trimmedName);
    ShowAlert(GetMessageText(kMsgIntegralTableVariable), kAlertWarningOk, true);
    IntegralTableDirective.clear();
    return;
  }
  TIntegralRecord& slot = main->IntegralSlots[size_t(k)];
  slot.TableColumnCount = 0;
  slot.TableColumns[0] = static_cast<int16_t>(v);
  slot.TableStep = step;
  do {
    TrimLeft(text);
    const int32_t p = SplitExportItem(text);
    std::string item = text.substr(0, size_t(p) - 1);
    TrimLeft(item);
    item = Cut(item);
    if (item.empty() && slot.TableColumnCount == 0) {
      SyntaxAlert(kAlertWarningOk);
      return;
    }
    text = After(text, p);
    TrimLeft(text);
    if (item.empty()) continue;
    if (item.find("..") != std::string::npos) {
      AddIntegralTableRange(item, slot);
    } else {
      AddIntegralTableColumn(item, slot);
    }
  } while (!text.empty());
  IntegralTableDirective.clear();
  if (slot.TableColumnCount <= 0 || CalcErrorCode > 0) return;

  TableColumnCounts[kIntegralTableKind] = slot.TableColumnCount + 1;
  TableRowCounts[kIntegralTableKind] = 21;
  TTableForm* form = CreateTableForm(kIntegralTableKind);
  if (form == nullptr) return;
  form->Visible = false;
  form->IntegralId = k;
  int32_t i = 1;
  for (TTableColumnRecord* c = form->Columns; c != nullptr && i <= TableColumnCounts[kIntegralTableKind];
       c = c->Next, ++i) {
    const TVariableRecord* var = main->Variable(slot.TableColumns[size_t(i) - 1]);
    if (var == nullptr) continue;
    c->Name = Cut(var->Name);
    c->VariableIndex = slot.TableColumns[size_t(i) - 1];
    c->Format = TDisplayFormat{var->Style, var->Digits};
  }
}

void InstallIntegralTable() {
  SetIntegralTableWindow(&integralTableModel);
  SetIntegralTableSetUp(&SetUpIntegralTable);
}

}  // namespace voq

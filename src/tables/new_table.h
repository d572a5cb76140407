#pragma once
// New parametric tables, free of Qt: CreateParametricTable (also the macro
// command's), the model of the new-table dialog in its two modes (a new
// table from chosen variables; the variables of the shown table inserted
// and removed) with its two lists, their selection and dragging rules, and
// the change of a table's column set, which builds the whole new column
// chain before it lets the old one go.
#include <cstdint>
#include <string>
#include <vector>

namespace voq {

// A table over ParametricColumnOrder[1..NewTableColumnCount] with runs
// rows named name: the window made, or a new tab of it.
// The number of columns the next CreateParametricTable makes.
extern int32_t NewTableColumnCount;

void CreateParametricTable(int32_t runs, const std::string& name);

// The shown parametric table's columns become the variables listed (main
// program indices, in column order): a kept variable keeps its column
// (values, flags, format, width, pattern), a new one gets blank cells and
// its variable's format. False, and the table as it was, when a column
// cannot be made.
bool ChangeParametricColumns(const std::vector<int32_t>& variables);

struct TNewTableItem {
  std::string Name;
  int32_t VariableIndex = 0;
  bool Selected = false;
};

enum class TNewTableList { None, Variables, Table };

class TNewTableModel {
 public:
  // Activation: an undo copy of the parametric window, the lists filled;
  // insertPosition -1 appends, otherwise the 0-based list position at
  // which added names are inserted.
  TNewTableModel(bool insertMode, bool tableChoiceEnabled, int32_t insertPosition);

  bool InsertMode;
  bool TableChoiceEnabled;
  int32_t InsertPosition;
  std::string Name;  // new mode: "Table n"
  int32_t Runs = 10;  // 1..99999
  bool ShowArrayVars = true;
  std::vector<TNewTableItem> VarList;
  std::vector<TNewTableItem> TableList;
  std::vector<std::string> Tables;  // insert mode: the window's tables
  int32_t Table = 0;

  std::string Caption() const { return InsertMode ? "Insert/Delete Variables" : "New Parametric Table"; }
  int32_t HelpContext() const { return 51; }
  bool OkEnabled() const { return !TableList.empty(); }
  bool AddEnabled() const;
  bool RemoveEnabled() const;

  void SetShowArrayVars(bool show);
  void FillVarList();
  void Add();
  void Remove();
  // A click on item index of a list: the other list deselected; Shift in
  // the variable list selects the range to the nearest selected item above
  // (else below).
  void Click(TNewTableList list, int32_t index, bool shift);
  // Mouse press, move (button down) and release over a list: a drag
  // begins after more than 5 pixels.
  void MouseDown(TNewTableList list, int32_t x, int32_t y);
  void MouseMove(int32_t x, int32_t y);
  void MouseUp() { pressed_ = TNewTableList::None; }
  TNewTableList Dragging() const { return dragging_; }
  // The drag dropped onto target; over the table list itself the
  // row is y / itemHeight + topIndex.
  void Drop(TNewTableList target, int32_t y, int32_t itemHeight, int32_t topIndex, int32_t focused);
  void ChooseTable(int32_t index);

  // OK: true when the table was made or changed (the dialog closes with
  // result 1); false keeps it open (an empty name beeps).
  bool Ok();
  void Cancel();

 private:
  void ListTableColumns();
  void Move(std::vector<TNewTableItem>& from, std::vector<TNewTableItem>& to);
  TNewTableList pressed_ = TNewTableList::None;
  TNewTableList dragging_ = TNewTableList::None;
  int32_t pressX_ = 0;
  int32_t pressY_ = 0;
};

}  // namespace voq

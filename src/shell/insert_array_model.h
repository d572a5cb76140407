#pragma once
// The Insert/Modify Array dialog's model (TInsertArrayDlg): the arrays of
// the current program unit, a grid of one array's element values, the copy
// and paste of cells as tab-separated text, and the block of assignment
// equations OK writes into the Equations text:
//
//   {Array X}
//   X[1]=1;  X[2]=4;  X[3]=9
//   {Array X end}
//
// Running the dialog again for the same name replaces that block where it
// stands; an empty grid deletes it. Free of Qt and tested headless; the
// view (shell/insert_array_dlg.h) draws the grid and forwards its input.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace voq {

struct TProgramUnitRecord;

// The grid holds 1 to 200 data rows and data columns.
inline constexpr int32_t kMaxArrayGridCount = 200;
// The list's first item, which asks for a new array's name.
inline constexpr const char* kEnterArrayNamePrompt = "-> Enter Array Name";
// The longest array name kept.
inline constexpr size_t kMaxArrayNameLength = 30;

// One element of an array as its variable's name gives it.
struct TArrayElement {
  std::vector<int32_t> Indexes;  // the integer indexes read, in order
  std::string Value;             // the calculated value formatted, or ""
};

// The elements of array name (letter case ignored) in unit: every variable
// not beginning with "@" whose name is name followed by "[". The indexes
// are read up to the first that is not an integer.
std::vector<TArrayElement> ArrayElements(const TProgramUnitRecord* unit, const std::string& name);
// The arrays of unit, by the name before "[" of their first element, each
// once (letter case ignored), sorted without regard to case.
std::vector<std::string> ArrayNamesOf(const TProgramUnitRecord* unit);
// The grid can show every element of an array whose elements have one or
// two indexes, each 1 to 200; rewriting the block of any other array from
// the grid would drop the elements it cannot show.
bool ArrayFitsGrid(const std::vector<TArrayElement>& elements);

// A cell of tab-separated text (NextClipboardCell): the characters up to
// the next tab or line feed, which is consumed; the cell ends at a carriage
// return. False when the text is used up.
bool NextClipboardCell(const std::string& text, size_t& position, std::string& cell, bool& endedAtTab);

// The block's edit of the Equations lines.
struct TArrayBlockEdit {
  // Lines DeleteFirst..DeleteLast go (none when DeleteFirst < 0).
  int32_t DeleteFirst = -1;
  int32_t DeleteLast = -1;
  // Where the new lines go, counted after the deletion; < 0: at the end.
  int32_t InsertAt = -1;
  std::vector<std::string> NewLines;
};
// The lines with the edit made.
std::vector<std::string> ApplyArrayBlockEdit(std::vector<std::string> lines, const TArrayBlockEdit& edit);
// Splits an engine text into lines at CR LF (a lone LF too), and joins them
// again with CR LF.
std::vector<std::string> SplitEquationLines(const std::string& text);
std::string JoinEquationLines(const std::vector<std::string>& lines);

class TInsertArrayModel {
 public:
  TInsertArrayModel();

  // The combo box: its items (item 0 the prompt), the chosen item (-1:
  // a typed name) and its text.
  std::vector<std::string> Items;
  int32_t ItemIndex = -1;
  std::string NameText = "A";

  // Data rows and columns (1 to 200) and the data cells, rows and columns
  // counted from 1.
  int32_t Rows() const { return rows_; }
  int32_t Cols() const { return cols_; }
  // Clamped to 1..200; cells beyond the new size are kept for a later
  // growth, as a string grid keeps them.
  void SetRows(int32_t rows);
  void SetCols(int32_t cols);
  const std::string& Cell(int32_t row, int32_t col) const;
  void SetCell(int32_t row, int32_t col, const std::string& text);
  // The headings LabelGrid wrote: "  Row r", and for column c the chosen
  // array's "Y[i,c]" (or "X[i]" with one data column), "Column c" while the
  // prompt is chosen; centred with leading blanks.
  std::vector<std::string> RowHeadings;     // [0] unused
  std::vector<std::string> ColumnHeadings;  // [0] unused

  // How headings are centred: the column width and a text's width, in
  // pixels (the view gives its font's; the default counts 7 a character).
  int32_t ColumnWidth = 96;
  std::function<int32_t(const std::string&)> TextWidth;

  // The list from unit's arrays; the array last entered (or else the
  // first) chosen and loaded; the grid 10 x 1 otherwise.
  void FormActivate(const TProgramUnitRecord* unit);
  // The combo's choice (ArrayNameListChange): an array is loaded, unless
  // the grid cannot show it (a message; the prompt is chosen again).
  void ChooseItem(int32_t index, const TProgramUnitRecord* unit);
  // The chosen item's elements into the grid (a calculated value, status
  // -1, shown in its variable's display format); the grid takes the
  // array's size. A name with no elements leaves the grid as it is.
  void LoadArrayValues(const TProgramUnitRecord* unit);
  void LabelGrid();

  // Pastes tab-separated text at (row, col), at least (1, 1): each line
  // fills one row from col on; cells past the last column are dropped, and
  // lines past the last row. A cell that is not a number (blank cells are
  // blank) ends the paste there with a beep; false then.
  bool PasteCells(const std::string& text, int32_t row, int32_t col);
  // Rows top..bottom of columns left..right as tab-separated lines joined
  // by CR LF, each cell cut to 255 characters.
  std::string CopyCells(int32_t top, int32_t left, int32_t bottom, int32_t right) const;

  // Some data cell holds more than blanks.
  bool HasData() const;
  // OK: the name checked (messages 422 and 423, or the array refused),
  // LastArrayName kept, and the block's edit planned for an editor of
  // clientWidth pixels whose characters are charWidth wide. False: the
  // dialog stays open and nothing is written.
  bool OKBtnClick(const std::vector<std::string>& lines, int32_t clientWidth, int32_t charWidth,
                  const TProgramUnitRecord* unit, TArrayBlockEdit& edit);

 private:
  std::string ChosenItem() const;
  bool Refused(const std::string& name, const TProgramUnitRecord* unit) const;

  int32_t rows_ = 10;
  int32_t cols_ = 1;
  std::vector<std::vector<std::string>> cells_;  // [row][col], grown on demand
};

// The block of equations for name from the grid's cells (none without
// data) and where it goes in lines: in place of the old block when lines
// hold "{Array name}" ... "{Array name end}" (letter case ignored), in
// front of a start line without its end line, else at the end. A line is
// begun anew before it would be wider than clientWidth at charWidth + 2
// pixels a character.
TArrayBlockEdit PlanArrayBlock(const std::vector<std::string>& lines, const std::string& name,
                               const TInsertArrayModel& grid, int32_t clientWidth, int32_t charWidth);

}  // namespace voq

#pragma once
// The Variable Information dialog's model: one row per variable of the
// shown program unit with its guess, limits, display style, digits,
// highlight and units; the edits go straight into the variable records,
// OK renames variables and arrays in the records, the Equations text and
// the Diagram window's drop-down entries and records the changes as macro
// lines, Cancel restores the records from copies taken on opening. The Qt
// dialog (shell/var_info_dlg.h) draws these rows and forwards its input.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "model/program_units.h"

namespace voq {

class MacroRecorder;

// Set by the windows that open the dialog for the variables of one
// equation (the main program's ordered list narrowed to them), cleared by
// the other openers: the unit selector is hidden and OK leaves the result
// windows open.
extern bool VarInfoRestricted;
// Set when the dialog was opened from the Equations window: a unit of more
// than 12 variables opens on the variable selected there.
extern bool VarInfoFromEquations;

inline constexpr int32_t kVarInfoHelpContext = 35;
inline constexpr int32_t kVarInfoMinWidth = 584;
inline constexpr int32_t kVarInfoMinHeight = 200;
inline constexpr int32_t kVarInfoRowHeight = 18;
inline constexpr int32_t kVarInfoColumns = 8;

// A name the equations can use: a letter first; no delimiter of the
// equation scanner, brace or double quote (the argument separator is
// allowed inside subscripts); after "[" only digits, "]" and the argument
// separator, and then the name ends in "]".
bool ValidVariableName(const std::string& name);

// The display name of an array element while elements are hidden: the
// text up to and including "[" and then "]" (T[3] shows T[]).
std::string ArrayDisplayName(const std::string& name);

// Renames in the Equations text during one OK step. Positions of units and
// comments come from the last compilation; every replacement shifts the
// positions after it, so later renames of the same step (in the same unit
// or another) test the comment ranges and unit bounds where they now are.
class TEquationTextRename {
 public:
  // comments: first character inside and closing delimiter of each comment.
  TEquationTextRename(std::string text, std::vector<std::pair<int32_t, int32_t>> comments);
  // Registers a unit's first and last character; returns its id.
  int32_t AddUnit(int32_t first, int32_t last);
  // Replaces search (compared without regard to case) by replacement in
  // the unit's text, outside comments and not next to "_" or "\". A
  // whole-word search needs no name character on either side; an array
  // search ("T[") none before it.
  int32_t Rename(int32_t unit, const std::string& search, const std::string& replacement, bool wholeWord);
  const std::string& Text() const { return text_; }
  bool Changed() const { return changed_; }

 private:
  void Shift(int32_t at, int32_t delta);
  bool InComment(int32_t position) const;
  std::string text_;
  std::vector<std::pair<int32_t, int32_t>> comments_;
  std::vector<std::pair<int32_t, int32_t>> units_;
  bool changed_ = false;
};

// What the OK step asks of the windows that show variables.
class VarInfoWindows {
 public:
  virtual ~VarInfoWindows() = default;
  virtual void RepaintEquations() {}
  virtual void RepaintPlot() {}
  // The Solution and Residuals windows close (their entries may name
  // variables that no longer exist).
  virtual void CloseResultWindows() {}
  // The Parametric table repaints; with nameChanged its columns take their
  // variables' names again.
  virtual void RefreshParametricTable(bool /*nameChanged*/) {}
  virtual void RefreshArraysTable() {}
  // The document has changes to save.
  virtual void MarkChanged() {}
  // The print title: the document's file name, empty when untitled.
  virtual std::string DocumentName() const { return std::string(); }
};

// One cell as drawn.
struct TVarInfoCell {
  std::string Text;
  uint32_t Colour = 0x000000;  // 0xRRGGBB
  bool Italic = false;
  bool Bold = false;
  bool Underline = false;
  bool Boxed = false;
  // 0 centred, 1 left with Indent pixels, 2 right 8 pixels from the edge.
  int Align = 1;
  int Indent = 3;
};

struct TVarInfoUnit {
  TProgramUnitRecord* Unit = nullptr;
  std::string Name;
  // A copy of each record of the unit's ordered list, in list order.
  std::vector<TVariableRecord> Copies;
  // The array group of each entry while its unit is shown: n for the row
  // that stands for the n-th array of the unit, 0 for every other entry.
  std::vector<int16_t> Groups;
  bool AnswerAll = false;
};

class TVarInfoModel {
 public:
  TVarInfoModel(VarInfoWindows& windows, MacroRecorder* recorder);
  // Takes the copies and chooses the unit: the one whose text holds
  // selectionStart, and with VarInfoFromEquations in a unit of more than 12
  // variables the row of selectedText (FocusRow). Gives false with message
  // 405 when the copies cannot be made.
  bool Create(int32_t selectionStart, const std::string& selectedText);

  const std::vector<TVarInfoUnit>& Units() const { return units_; }
  bool UnitSelectorVisible() const;
  int32_t SelectedUnit() const { return selected_; }
  void SelectUnit(int32_t k);
  // Makes the shown unit current, as every step that touches a variable.
  TProgramUnitRecord* MakeShownUnitCurrent();

  bool ShowArrayElements() const { return showArrays_; }
  bool ShowStringVariables() const { return showStrings_; }
  bool ArrayBoxEnabled() const { return arraysEnabled_; }
  bool StringBoxEnabled() const { return stringsEnabled_; }
  void SetShowArrayElements(bool show);
  void SetShowStringVariables(bool show);

  void BuildRows();
  int32_t RowCount() const { return int32_t(rows_.size()); }
  int32_t RowVariable(int32_t row) const;
  TVariableRecord* RowRecord(int32_t row) const;
  int32_t FocusRow() const { return focusRow_; }

  TVarInfoCell Cell(int32_t row, int32_t column) const;
  bool CanSelect(int32_t row, int32_t column) const;
  std::string EditText(int32_t row, int32_t column) const;
  // An edit of the cell; Shift and Ctrl held fill a number down the rows.
  void Commit(int32_t row, int32_t column, const std::string& text);
  bool InvalidPending() const { return invalidColumn_ >= 0; }
  std::pair<int32_t, int32_t> PendingCell() const { return {invalidRow_, invalidColumn_}; }
  void ClearPending() { invalidColumn_ = -1; }

  // The pop-up menus: style 0, 1 or 3 (Shift and Ctrl: also every row
  // below), digits 0 to 9 (likewise), highlight 0 to 4 (this row).
  void SetStyle(int32_t row, uint8_t style);
  void SetDigits(int32_t row, int16_t digits);
  void SetHighlight(int32_t row, int32_t highlight);

  bool UpdateEnabled() const;
  void Update();
  void Cancel();
  // The OK step: false keeps the dialog open (a pending cell, message 472
  // or 473).
  bool Ok();
  void Print();

  // The macro lines of the changes against the copies.
  std::vector<std::string> MacroLines() const;
  // The attribute text of one variable against its copy ("" unchanged).
  static std::string MacroAttributes(const TVariableRecord& v, const TVariableRecord& copy);

 private:
  void FixAllArrayElmts(TVarInfoUnit& unit, int32_t entry, bool rename, const std::string& newName,
                        const std::string& oldName);
  bool InMainProgram() const;
  bool Negative(const TVariableRecord& v) const;

  VarInfoWindows& windows_;
  MacroRecorder* recorder_;
  std::vector<TVarInfoUnit> units_;
  std::vector<int32_t> rows_;
  std::vector<std::string> arrayNames_;
  int32_t selected_ = 0;
  bool showArrays_ = true;
  bool showStrings_ = false;
  bool arraysEnabled_ = false;
  bool stringsEnabled_ = false;
  int32_t invalidRow_ = 0;
  int32_t invalidColumn_ = -1;
  int32_t focusRow_ = -1;
  bool guessesUpdated_ = false;
  TProgramUnitRecord* savedUnit_ = nullptr;
};

}  // namespace voq

#pragma once
// Altered values, free of Qt: the value generation that fills a run range
// of one table column (a linear ramp to a last value, a constant increment,
// a geometric series, each optionally restarted or held every N rows, or
// blanks), and the models of the two dialogs that use it: the column
// dialog of the table window (TTableChgModel) and the whole-table dialog
// of the Tables menu (TAlterValuesModel). The Qt dialogs of tables/qt/
// show these texts and states and call these steps.
#include <cstdint>
#include <string>
#include <vector>

#include "core/extended.h"
#include "tables/table_model.h"

namespace voq {

// The second value's meaning (a column's AlterMode).
inline constexpr int32_t kAlterLastValue = 0;
inline constexpr int32_t kAlterIncrement = 1;
inline constexpr int32_t kAlterMultiplier = 2;
// The pattern kinds (a column's PatternKind).
inline constexpr int32_t kRepeatPattern = 0;  // "Repeat pattern every"
inline constexpr int32_t kApplyPattern = 1;   // "Apply pattern every"

struct TAlterSeries {
  int32_t FirstRun = 1;
  int32_t LastRun = 1;
  Extended First = 0;
  Extended Second = 1;
  int32_t Mode = kAlterLastValue;
  bool Pattern = false;
  int32_t PatternKind = kRepeatPattern;
  int32_t PatternRows = 10;
};

// The values of runs FirstRun..LastRun, in order. False, and values
// untouched, when the pattern leaves the step undefined: "Apply pattern
// every" N rows to a last value over fewer than N + 1 runs would divide
// by Trunc((b - a) / N) = 0.
bool GenerateAlteredValues(const TAlterSeries& series, std::vector<Extended>& values);

// Writes generated values into runs series.FirstRun.. of the column, each
// entered; the computed cells of those runs of a parametric table blanked.
void WriteAlteredValues(TTableForm& form, TTableColumnRecord& column, int32_t firstRun,
                        const std::vector<Extended>& values);
// Blanks runs first..last of the column (not entered); the computed cells
// of those runs of a parametric table blanked too.
void ClearColumnValues(TTableForm& form, TTableColumnRecord& column, int32_t first, int32_t last);

// Where a refused OK puts the focus.
enum class TAlterField { None, FirstValue, SecondValue, PatternRows, Column };

// --- The column dialog (TTableChgDlg) --------------------------------------------------
class TTableChgModel {
 public:
  // Activation for column of the form's shown table: the run range from
  // the grid selection, the second value's mode and the values proposed
  // from the table or the column's stored pattern.
  TTableChgModel(TTableForm& form, TTableColumnRecord& column, const std::string& units, const TGridRect& selection,
                 const std::string& caption);

  std::string Caption;
  std::string Units;
  int32_t RowCount = 1;  // the spin edits' upper limit
  int32_t FirstRun = 1;
  int32_t LastRun = 1;
  int32_t Mode = kAlterLastValue;  // "Last value", "Increment", "Multiplier"
  bool ClearValues = false;        // "Clear Values" (else "Set Values")
  bool Pattern = false;
  int32_t PatternKind = kRepeatPattern;
  int32_t PatternRows = 10;  // 2..999999
  std::string FirstText;
  std::string SecondText;

  int32_t HelpContext() const { return 172; }
  static const char* const ModeItems[3];
  static const char* const PatternItems[2];
  bool ValuesShown() const { return !ClearValues; }
  bool PatternControlsEnabled() const { return Pattern; }

  // A new choice of the second value's meaning or of the pattern kind:
  // without the pattern a second value is proposed from the table.
  void ChooseMode(int32_t mode);
  void ChoosePatternKind(int32_t kind);

  // OK: true when the dialog closes. A refusal beeps and names the field
  // to focus in Refused; nothing changes then.
  bool Ok();
  TAlterField Refused = TAlterField::None;

 private:
  void ProposeFromRows(int32_t firstRow);

  TTableForm& form_;
  TTableColumnRecord& column_;
};

// --- The whole-table dialog (TAlterValuesDlg) ----------------------------------------
class TAlterValuesModel {
 public:
  // Activation over the parametric window: the current table remembered,
  // an undo copy taken, the range FirstRun..LastRun, the first column.
  TAlterValuesModel();

  std::string Caption() const { return "Alter Parametric Table Values"; }
  int32_t HelpContext() const { return 52; }
  static const char* const ModeItems[3];

  std::vector<std::string> Tables;
  int32_t Table = 0;  // 0-based tab
  std::vector<std::string> Columns;
  int32_t Column = 0;  // 0-based; -1 none
  int32_t FirstRun = 1;
  int32_t LastRun = 1;
  int32_t Mode = kAlterIncrement;
  bool ClearValues = false;
  bool SetValuesEnabled = true;
  std::string FirstText;
  std::string SecondText;

  void ChooseTable(int32_t index);
  // The column's row-1 value shown; a string column can only be cleared.
  void ChooseColumn(int32_t index);
  // OK and Apply fill the table; false (with Refused) when refused.
  bool FillTable();
  TAlterField Refused = TAlterField::None;
  // Cancel: the table current at activation shown again and every Apply
  // since the undo copy reverted.
  void Cancel();

 private:
  void ListColumns();
  int32_t startTab_ = 0;
};

}  // namespace voq

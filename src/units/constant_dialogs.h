#pragma once
// The models of the "Constants" dialog (the list of ConstantsList in a grid,
// sorted by a header click, a name pasted into the Equations window, new
// constants added and the file rewritten) and of its "Add New Constant"
// dialog (a new constant checked and its value in the other unit system
// converted). Texts are Windows-1252 bytes; the views draw them.
#include <cstdint>
#include <string>
#include <vector>

#include "core/extended.h"
#include "units/constants.h"

namespace voq {

// "Constants.txt" in the folder the constants are read from.
std::string ConstantsFilePath();
// Rewrites a constants file: the header line, then one line per constant
// in list order (name, description, SI value text, SI units, English value
// text, English units, joined by tabs). Written beside the file and renamed
// over it, so a failed write leaves the old file whole; a failure is
// reported (ReportIOError) and gives false.
bool WriteConstantsFile(const std::string& path);

class TConstantDlgModel {
 public:
  // FormCreate: a deep copy of ConstantsList kept for Cancel; the list is
  // taken as sorted by description, ascending.
  TConstantDlgModel();

  static constexpr int kColumnCount = 4;
  static const char* HeaderText(int column);
  // Rows of the grid: the header row and one per constant.
  int32_t RowCount() const { return static_cast<int32_t>(ConstantsList.size()) + 1; }
  // The text of a cell: row 0 the headers; row r the constant r-1 (name
  // with its "#", description, value and units of the document's unit
  // system).
  std::string CellText(int column, int32_t row) const;

  // A click at a cell: only the header row sorts. The column sorted last
  // clicked again reverses the direction; another column sorts ascending.
  // True when the list was sorted.
  bool GridMouseDown(int column, int32_t row);

  // Paste: the name of the constant in the grid's row goes to the
  // clipboard and into the Equations text at its caret. False (nothing
  // done) for a row that holds no constant.
  bool PasteBtnClick(int32_t row);
  // After "Add New Constant" closed with OK: the constant joins the list
  // (its grid row is the last); Paste gives way to Store, Done to Cancel.
  void AddConstant(const TConstantRecord& constant);
  // Store: the list kept as it stands and the file rewritten; false when
  // the write failed (the list is kept all the same).
  bool StoreBtnClick();
  // Done/Cancel (and closing the window): the list as the dialog found it.
  void CancelBtnClick();

  bool Added() const { return added_; }
  bool PasteVisible() const { return !added_; }
  bool StoreVisible() const { return added_; }
  std::string CancelCaption() const { return added_ ? "Cancel" : "Done"; }

  int SortColumn = 1;
  int SortDirection = 1;

 private:
  // Closing with the list kept: compiled code refers to a constant by its
  // place in the list, so a new order makes every compiled statement,
  // those kept for reuse too, compile again.
  void KeepList();

  std::vector<TConstantRecord> backup_;
  bool added_ = false;
};

// The fields of "Add New Constant" a refusal selects and focuses.
enum class TNewConstField { None, Name, Description, SIValue, SIUnits, EngValue, EngUnits };

class TNewConstDlgModel {
 public:
  std::string NameE;
  std::string DescriptE;
  std::string SIValueE;
  std::string SIUnitsE;
  std::string EngValueE;
  std::string EngUnitsE;

  // "Convert" is offered exactly when one value field is filled and the
  // other empty.
  bool ConvertEnabled = false;
  // Where the view puts the focus after a refusal.
  TNewConstField FocusField = TNewConstField::None;
  // The constant made by OK.
  TConstantRecord NewRecord;

  void FormActivate();
  // SIValueEChange and EngValueEChange.
  void ValueChanged();
  // Reads both values, checks the units and converts or checks the values
  // against each other. Leaves CalcErrorCode: 0, 100 (a value that cannot
  // be read, or inconsistent values not accepted), 495 (units missing) or
  // the conversion's error; every refusal has been shown.
  void ApplyConvert();
  // Convert: true when the value fields now show both values.
  bool ConvertBtnClick();
  // OK: true when the dialog closes with NewRecord filled.
  bool OKBtnClick();

  // The values as ApplyConvert left them.
  std::string SIValueText;
  std::string EngValueText;
  Extended SIValue = 0;
  Extended EngValue = 0;
  std::string SIUnits;
  std::string EngUnits;
};

}  // namespace voq

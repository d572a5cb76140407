#pragma once
// TInsertArrayDlg ("setup"), the Edit menu's Insert/Modify Array dialog: the
// arrays of the current unit, a grid of one array's values that the user
// types, pastes or copies, and OK writing the array's block of equations
// into the Equations window. A thin view over TInsertArrayModel
// (shell/insert_array_model.h).
#include <QDialog>

#include "shell/insert_array_model.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QToolButton;

namespace voq {

struct TProgramUnitRecord;
class TEquationForm;
class TVOQ_D;

class TInsertArrayDlg : public QDialog {
 public:
  // unit: the program unit whose arrays are listed; equations: the window
  // OK writes into (nullptr: nothing is written).
  TInsertArrayDlg(QWidget* parent, const TProgramUnitRecord* unit, TEquationForm* equations);

  void FormActivate();
  void ArrayNameListChange(int index);
  void RowEditChange();
  void ColEditChange();
  void SpinRowUpClick();
  void SpinRowDownClick();
  void SpinColUpClick();
  void SpinColDownClick();
  void CopyButtonClick();
  void PasteButtonClick();
  void OKBtnClick();

  TInsertArrayModel& Model() { return model_; }
  QComboBox* ArrayNameList() const { return arrayNameList_; }
  QLineEdit* RowEdit() const { return rowEdit_; }
  QLineEdit* ColEdit() const { return colEdit_; }
  QToolButton* SpinRowUp() const { return spinRowUp_; }
  QToolButton* SpinColUp() const { return spinColUp_; }
  QPushButton* CopyButton() const { return copyButton_; }
  QPushButton* PasteButton() const { return pasteButton_; }
  QPushButton* OKBtn() const { return okBtn_; }
  QPushButton* Cancel() const { return cancel_; }
  QTableWidget* Grid() const { return grid_; }

 protected:
  bool eventFilter(QObject* target, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  // The grid's size, headings and cells from the model.
  void ShowGrid();
  void ShrinkToGrid();
  void UpdateButtons();
  void SetCount(QLineEdit* edit, int32_t count);

  TInsertArrayModel model_;
  const TProgramUnitRecord* unit_;
  TEquationForm* equations_;
  bool showing_ = false;
  QComboBox* arrayNameList_;
  QLineEdit* rowEdit_;
  QLineEdit* colEdit_;
  QToolButton* spinRowUp_;
  QToolButton* spinRowDown_;
  QToolButton* spinColUp_;
  QToolButton* spinColDown_;
  QPushButton* copyButton_;
  QPushButton* pasteButton_;
  QPushButton* okBtn_;
  QPushButton* cancel_;
  QTableWidget* grid_;
};

// Replaces the Equations window's text by newText (engine text, CR LF) as
// one edit of the part that differs, so one undo step takes it back and
// the rest keeps its styling.
void ReplaceEquationsText(TEquationForm& form, const std::string& newText);

// Edit > Insert/Modify Array: a lenient compile, then (without an error)
// the dialog; the equations count as not compiled afterwards.
void InsertModifyArray1Click(TVOQ_D& window);
// Sets the menu item's handler and its enabling (not in a distributable
// program).
void InstallInsertArrayCommand(TVOQ_D& window);

}  // namespace voq

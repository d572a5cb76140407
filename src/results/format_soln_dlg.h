#pragma once
// TFormatSolnDlg: "Format Selected Variables". Style, digits, hilite and
// complex style are chosen from pop-up menus on their panels, the colours
// from two combo boxes of coloured items, the units typed. OK applies the
// choice through the output layer's Apply (the other selected variables get
// only what changed against the opening copy) and saves the undo step.
#include <QDialog>
#include <string>

#include "model/program_units.h"
#include "model/routines.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace voq {

class TFormatSolnDlg : public QDialog {
 public:
  // A variable of the current program unit (routine 0), or a local of
  // routine `routine`.
  TFormatSolnDlg(QWidget* parent, int32_t index, int32_t routine, TLocalVariableRecord* local);

  void FormActivate();
  void Update();
  void ShowExample();
  void Apply();
  void OKBtnClick();

  // The choices, as the menus make them.
  void ChooseStyle(int style);
  void ChooseDigits(int digits);
  void ChooseHilite(int hilite);
  void ChooseComplexStyle(int style);

  QPushButton* Stylebox() const { return stylebox_; }
  QPushButton* DigitBox() const { return digitBox_; }
  QPushButton* HiliteBox() const { return hiliteBox_; }
  QPushButton* ComplexStyleBox() const { return complexBox_; }
  QComboBox* FColorBox() const { return fColor_; }
  QComboBox* BColorBox() const { return bColor_; }
  QLineEdit* Unitstr() const { return units_; }
  QPushButton* OKBtn() const { return ok_; }

 private:
  void PopUp(QPushButton* panel, QMenu* menu);
  QMenu* MakeMenu(const std::vector<std::pair<const char*, int>>& items, void (TFormatSolnDlg::*choose)(int),
                  int TFormatSolnDlg::*current);

  int32_t index_;
  int32_t routine_;
  TLocalVariableRecord* local_;
  TVariableRecord opening_;
  int style_ = 3;
  int digits_ = 4;
  int foreground_ = 0;
  int background_ = 0;
  int hilite_ = 1;
  int complexStyle_ = 0;

  QGroupBox* group_;
  QLabel* formatL_;
  QPushButton* stylebox_;
  QPushButton* digitBox_;
  QPushButton* complexBox_;
  QPushButton* hiliteBox_;
  QComboBox* fColor_;
  QComboBox* bColor_;
  QLineEdit* units_;
  QPushButton* ok_;
  QPushButton* cancel_;
  QMenu* stylePopUp_;
  QMenu* digitPopUp_;
  QMenu* hilitePopup_;
  QMenu* complexStylePopUp_;
};

}  // namespace voq

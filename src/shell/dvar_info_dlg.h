#pragma once
// TDVarInfoDlg, "Default Variable Information": the 26 letter defaults in a
// grid of seven columns (letter, guess, lower, upper, style, digits, units)
// under the dialog's own column captions. Numbers and units are typed; the
// style and the digits are chosen from menus that pop up on their cells.
// The cells, Apply, Store and Load are the Qt-free TDefaultVarInfoGrid.
#include <QDialog>
#include <memory>

#include "shell/default_var_info_grid.h"

class QMenu;
class QModelIndex;
class QPushButton;
class QTableView;

namespace voq {

class MacroRecorder;

class TDVarInfoDlg : public QDialog {
 public:
  // chooser: the Store and Load file dialogs (nullptr: Qt's own).
  TDVarInfoDlg(QWidget* parent, MacroRecorder& recorder, DviFileChooser* chooser = nullptr);
  ~TDVarInfoDlg() override;

  TDefaultVarInfoGrid& Model() { return grid_; }
  QTableView* Grid() const { return view_; }
  QWidget* Captions() const { return captions_; }
  QMenu* StyleMenu() const { return styleMenu_; }
  QMenu* DigitMenu() const { return digitMenu_; }
  QPushButton* OKBtn() const { return okBtn_; }
  QPushButton* Store() const { return store_; }
  QPushButton* LoadBTN() const { return loadBtn_; }
  QPushButton* CancelBtn() const { return cancelBtn_; }

  // A press on a cell (GridMouseDown): back to a pending invalid cell, or
  // the style or digits menu of the row for columns 4 and 5.
  void GridMouseDown(int row, int column);
  // The row whose menu was opened last.
  int MenuRow() const { return menuRow_; }
  void OKBtnClick();
  void StoreClick();
  void LoadBTNClick();
  void CancelBtnClick();
  // Puts the cursor on the pending invalid cell.
  void MoveToPendingCell();
  void Repaint();

  void reject() override;

 private:
  class CellModel;
  QMenu* MakeMenu(const std::vector<std::pair<const char*, int>>& items, bool style);
  void LayOutColumns();

  MacroRecorder& recorder_;
  DviFileChooser* chooser_;
  std::unique_ptr<DviFileChooser> qtChooser_;
  TDefaultVarInfoGrid grid_;
  CellModel* cells_;
  QTableView* view_;
  QWidget* captions_;
  QMenu* styleMenu_;
  QMenu* digitMenu_;
  QPushButton* okBtn_;
  QPushButton* store_;
  QPushButton* loadBtn_;
  QPushButton* cancelBtn_;
  int menuRow_ = 0;
};

}  // namespace voq

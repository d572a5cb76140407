#pragma once
// TVarInfoDlg: "Variable Information", the grid of the shown program unit's
// variables over the model of output/var_info.h, with the unit selector,
// the file buttons, OK, Print, Update and Cancel; and the Options command
// that compiles and opens it (F9, the Variable Info tool button).
#include <QDialog>

#include <memory>

#include "output/var_info.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;
class QToolButton;

namespace voq {

class TVOQ_D;

// The windows and the document as the dialog's OK step reaches them in the
// program. Opened from a result window (`closesResultWindows` false) the
// dialog edits variables of that window's own listing, so the result
// windows stay.
class ProgramVarInfoWindows : public VarInfoWindows {
 public:
  ProgramVarInfoWindows(TVOQ_D* window, bool closesResultWindows)
      : window_(window), closesResultWindows_(closesResultWindows) {}
  void RepaintEquations() override;
  void CloseResultWindows() override;
  void MarkChanged() override;
  std::string DocumentName() const override;

 private:
  TVOQ_D* window_;
  bool closesResultWindows_;
};

class TVarInfoDlg : public QDialog {
 public:
  TVarInfoDlg(QWidget* parent, VarInfoWindows& windows, MacroRecorder* recorder, int32_t selectionStart,
              const std::string& selectedText);
  ~TVarInfoDlg() override;

  TVarInfoModel& Model() { return *model_; }
  QTableWidget* Grid() const { return grid_; }
  QComboBox* BlocksBox() const { return blocksBox_; }
  QLabel* ModuleLabel() const { return module_; }
  QPushButton* OkButton() const { return ok_; }
  QPushButton* PrintButton() const { return print_; }
  QPushButton* UpdateButton() const { return update_; }
  QPushButton* CancelButton() const { return cancel_; }
  QCheckBox* ShowArrayElmtsCB() const { return showArrays_; }
  QCheckBox* ShowStringVarsCB() const { return showStrings_; }

  void OKBtnClick();
  void PrintBtnClick();
  void CancelBtnClick();
  void UpdateClick();
  void OpenVarInfoFileClick();
  void SaveVarInfoFileClick();
  // Redraws the grid from the model.
  void Refresh();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void reject() override;

 private:
  void CellChanged(int row, int column);
  void CellPressed(int row, int column);
  void SetColumnWidths();

  VarInfoWindows& windows_;
  std::unique_ptr<TVarInfoModel> model_;
  QTableWidget* grid_;
  QComboBox* blocksBox_;
  QLabel* module_;
  QCheckBox* showArrays_;
  QCheckBox* showStrings_;
  QToolButton* openFile_;
  QToolButton* saveFile_;
  QPushButton* ok_;
  QPushButton* print_;
  QPushButton* update_;
  QPushButton* cancel_;
  std::vector<QLabel*> labels_;
  bool filling_ = false;
};

// The Options menu's Variable Info command on its menu item and tool button.
void InstallVarInfoCommand(TVOQ_D& window);
// The command itself: compiles leniently, keeps the solution, opens the
// dialog when there is something to show.
void VariableInformation1Click(TVOQ_D& window);

}  // namespace voq

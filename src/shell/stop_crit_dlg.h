#pragma once
// TStopCritDlg, "Tolerances": the stop criteria of the block iteration on
// the "Stop Criteria" page and the step control of integrals on the
// "Integration" page, with the tab strip under the pages. The fields are
// converted by stop_criteria_fields.h; this class moves them in and out of
// its controls.
#include <QDialog>

#include "model/solve_session.h"
#include "shell/stop_criteria_fields.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStackedWidget;
class QTabBar;

namespace voq {

class TStopCritDlg : public QDialog {
 public:
  explicit TStopCritDlg(QWidget* parent = nullptr);

  // Fills the pages from StopCriteria and IntegrationSettings and shows the
  // page shown when the dialog last closed.
  void FormActivate();
  void TabSetClick(int page);
  void FixedRBClick();
  void VariableRBClick();
  void IntervalEditExit();
  // Reads the fields; false when one was refused (beep, that field selected
  // and focused, the dialog stays open).
  bool GetV();
  void OKBtnClick();
  void StoreClick();
  void CancelBtnClick();

  // The page shown when the dialog last closed (0 or 1), for this run of
  // the program.
  static int RememberedPage;

  QStackedWidget* Notebook() const { return notebook_; }
  QTabBar* TabSet() const { return tabSet_; }
  QLineEdit* Iters() const { return iters_; }
  QLineEdit* RelResid() const { return relResid_; }
  QLineEdit* ChgVars() const { return chgVars_; }
  QLineEdit* Elapsed() const { return elapsed_; }
  QRadioButton* FixedRB() const { return fixedRB_; }
  QRadioButton* VariableRB() const { return variableRB_; }
  QSpinBox* FixedEdit() const { return fixedEdit_; }
  QSpinBox* IntervalEdit() const { return intervalEdit_; }
  QSpinBox* MinEdit() const { return minEdit_; }
  QSpinBox* MaxEdit() const { return maxEdit_; }
  QLineEdit* HalveEdit() const { return halveEdit_; }
  QLineEdit* DoubleEdit() const { return doubleEdit_; }
  QCheckBox* UseRichardsonCB() const { return useRichardsonCB_; }
  QGroupBox* VariableInfoGB() const { return variableInfoGB_; }
  QPushButton* OKBtn() const { return okBtn_; }
  QPushButton* Store() const { return store_; }
  QPushButton* CancelBtn() const { return cancelBtn_; }

  void done(int result) override;
  void reject() override;

 private:
  TStopCritFields Fields() const;
  void ShowMode(bool fixed);

  TStopCriteriaRecord saved_;
  bool inputError_ = false;

  QStackedWidget* notebook_;
  QTabBar* tabSet_;
  QLineEdit* iters_;
  QLineEdit* relResid_;
  QLineEdit* chgVars_;
  QLineEdit* elapsed_;
  QRadioButton* fixedRB_;
  QRadioButton* variableRB_;
  QSpinBox* fixedEdit_;
  QSpinBox* intervalEdit_;
  QSpinBox* minEdit_;
  QSpinBox* maxEdit_;
  QLineEdit* halveEdit_;
  QLineEdit* doubleEdit_;
  QCheckBox* useRichardsonCB_;
  QGroupBox* variableInfoGB_;
  QPushButton* okBtn_;
  QPushButton* store_;
  QPushButton* cancelBtn_;
};

}  // namespace voq

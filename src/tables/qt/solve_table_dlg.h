#pragma once
// The Solve Table dialog (TSolveTableDlg): the run range, the table (or
// "All Parametric Tables") and the run options, filled from and handed
// back as TSolveTableChoices; TQtSolveTableDialog is the SolveTableDialog
// the Calculate commands ask.
#include <QDialog>
#include <string>
#include <vector>

#include "tables/table_runs.h"

class QCheckBox;
class QComboBox;
class QPushButton;
class QSpinBox;

namespace voq {

class TSolveTableDlg : public QDialog {
 public:
  // tables: the parametric tables in tab order; "Stop if warning occurs"
  // is enabled only with warningsShown, "Use input from Diagram" only
  // with diagramInputs.
  TSolveTableDlg(const TSolveTableChoices& choices, const std::vector<std::string>& tables, bool warningsShown,
                 bool diagramInputs, QWidget* parent = nullptr);
  TSolveTableChoices Choices() const;

  QSpinBox* FirstRunSpin() const { return first_; }
  QSpinBox* LastRunSpin() const { return last_; }
  QComboBox* TableBox() const { return table_; }
  QCheckBox* UpdateGuessesCB() const { return update_; }
  QCheckBox* StopOnWarningCB() const { return stop_; }
  QCheckBox* DiagramInputCB() const { return diagram_; }
  QPushButton* OKBtn() const { return ok_; }
  QPushButton* CancelBtn() const { return cancel_; }

 private:
  QSpinBox* first_;
  QSpinBox* last_;
  QComboBox* table_;
  QCheckBox* update_;
  QCheckBox* stop_;
  QCheckBox* diagram_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

// Shows TSolveTableDlg over the parametric window's tables; the flag
// callback is told while the dialog exists (the program's DialogOpen).
class TQtSolveTableDialog : public SolveTableDialog {
 public:
  bool Execute(TSolveTableChoices& choices) override;
  QWidget* parent = nullptr;
  void (*OpenChanged)(bool open) = nullptr;
};

}  // namespace voq

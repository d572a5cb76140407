#pragma once
// The table window's Alter Values dialog (TTableChgDlg) over the model of
// tables/alter_values.h: the run range, Clear or Set Values, the first and
// the second value (last value, increment or multiplier) and the pattern.
#include <QDialog>

#include "tables/alter_values.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace voq {

class TTableChgDlg : public QDialog {
 public:
  TTableChgDlg(TTableChgModel& model, QWidget* parent = nullptr);
  QSpinBox* FirstRunV() const { return firstRun_; }
  QSpinBox* LastRunV() const { return lastRun_; }
  QRadioButton* ClearValues() const { return clear_; }
  QRadioButton* SetValues() const { return set_; }
  QLineEdit* FirstValue() const { return first_; }
  QLineEdit* IncorLast() const { return second_; }
  QComboBox* LastIncBox() const { return mode_; }
  QCheckBox* PatternCB() const { return pattern_; }
  QComboBox* RepeatApplyBox() const { return kind_; }
  QSpinBox* RepeatApplyRowsEdit() const { return rows_; }
  QPushButton* OKBtn() const { return ok_; }

 private:
  void ToModel();
  void Enable();
  void OkClicked();

  TTableChgModel& model_;
  QSpinBox* firstRun_;
  QSpinBox* lastRun_;
  QRadioButton* clear_;
  QRadioButton* set_;
  QLineEdit* first_;
  QLineEdit* second_;
  QComboBox* mode_;
  QCheckBox* pattern_;
  QComboBox* kind_;
  QSpinBox* rows_;
  QPushButton* ok_;
};

}  // namespace voq

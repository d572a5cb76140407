#pragma once
// TLinearRegressionDlg: the modal Linear Regression dialog over the table
// windows, a thin view of TLinearRegressionModel (the lists, the order and
// cross-term choice, the equation picture with its clickable terms, the row
// range, Fit/Copy and Stats); TLinRegressStatsDlg: the coefficients with
// their standard errors and the fit statistics.
#include <QDialog>
#include <QWidget>

#include "tables/linear_regression.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QTableWidget;

namespace voq {

class TRegressionPicture;

class TLinearRegressionDlg : public QDialog {
 public:
  explicit TLinearRegressionDlg(QWidget* parent = nullptr);

  TLinearRegressionModel& Model() { return model_; }
  // The model's state shown again in every control.
  void Refresh();

  QListWidget* ListBox1() const { return listBox1_; }
  QListWidget* ListBox2() const { return listBox2_; }
  QSpinBox* PaintDIG() const { return order_; }
  QCheckBox* CrossTermsBox() const { return crossTerms_; }
  QWidget* Image() const;
  QScrollArea* ScrollBox() const { return scrollBox_; }
  QPushButton* ExcludeBtn() const { return exclude_; }
  QSpinBox* SpinFirst() const { return spinFirst_; }
  QSpinBox* SpinLast() const { return spinLast_; }
  QComboBox* WhichTableBox() const { return whichTable_; }
  QComboBox* TableIDBox() const { return tableId_; }
  QPushButton* OKBtn() const { return ok_; }
  QPushButton* StatsBtn() const { return stats_; }
  QPushButton* CancelBtn() const { return cancel_; }

 private:
  void OkClicked();
  void StatsClicked();

  TLinearRegressionModel model_;
  bool refreshing_ = false;
  QListWidget* listBox1_;
  QListWidget* listBox2_;
  QSpinBox* order_;
  QCheckBox* crossTerms_;
  QScrollArea* scrollBox_;
  TRegressionPicture* picture_;
  QPushButton* exclude_;
  QSpinBox* spinFirst_;
  QSpinBox* spinLast_;
  QComboBox* whichTable_;
  QLabel* tableIdLabel_;
  QComboBox* tableId_;
  QPushButton* ok_;
  QPushButton* stats_;
  QPushButton* cancel_;
};

class TLinRegressStatsDlg : public QDialog {
 public:
  TLinRegressStatsDlg(const TLinearRegressionModel& model, QWidget* parent = nullptr);
  QTableWidget* Grid() const { return grid_; }
  QCheckBox* Clipbox() const { return clipbox_; }

 private:
  const TLinearRegressionModel& model_;
  QTableWidget* grid_;
  QCheckBox* clipbox_;
};

// The Tables menu's Linear Regression command: the dialog over the table
// windows that exist, shown modally.
void LinearRegression1Click(QWidget* parent);

}  // namespace voq

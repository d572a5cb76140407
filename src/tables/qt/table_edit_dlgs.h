#pragma once
// The table windows' small modal dialogs over the models of
// tables/table_dialogs.h: the column format dialog TFormatTableDlg, the
// Sort dialog TSortForm, Insert or Delete Table Runs (TInsertRunsDlg),
// Insert or Delete Lookup Table Columns (TInsertColsDlg) and Delete Tables
// (TDeleteTableDlg). Modal results as the callers read them: 1 OK (or
// Delete in TDeleteTableDlg), 2 Cancel, 6 the format dialog's Delete.
#include <QDialog>
#include <QStyledItemDelegate>

#include "tables/table_dialogs.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace voq {

// The colour list's items: a rectangle of the colour, its name in black
// 15 pixels from the left, a white frame.
class TColourItemDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

class TFormatTableDlg : public QDialog {
 public:
  TFormatTableDlg(const TFormatTableModel& model, QWidget* parent = nullptr);
  const TFormatTableModel& Model() const { return model_; }

  QGroupBox* FormatGroup() const { return formatGroup_; }
  QPushButton* Stylebox() const { return stylebox_; }
  QPushButton* DigitBox() const { return digitBox_; }
  QListWidget* ColorBox() const { return colorBox_; }
  QSpinBox* SpinWidth() const { return spinWidth_; }
  QLineEdit* Units() const { return units_; }
  QLineEdit* Title() const { return title_; }
  QSpinBox* ColEdit() const { return colEdit_; }
  QPushButton* DeleteBtn() const { return deleteBtn_; }
  QPushButton* OKBtn() const { return okBtn_; }
  // The menus the panels open (built when pressed; for tests).
  QMenu* StyleMenu();
  QMenu* DigitsMenu();

 private:
  void ShowExample();
  void OkClicked();

  TFormatTableModel model_;
  QGroupBox* formatGroup_;
  QGroupBox* headerGroup_;
  QGroupBox* positionGroup_;
  QLabel* digitsLabel_;
  QPushButton* stylebox_;
  QPushButton* digitBox_;
  QListWidget* colorBox_;
  QSpinBox* spinWidth_;
  QLineEdit* units_;
  QLineEdit* title_;
  QSpinBox* colEdit_;
  QPushButton* okBtn_;
  QPushButton* cancelBtn_;
  QPushButton* deleteBtn_;
};

class TSortForm : public QDialog {
 public:
  TSortForm(TSortModel& model, QWidget* parent = nullptr);
  QSpinBox* TopSpin() const { return topSpin_; }
  QSpinBox* BotSpin() const { return botSpin_; }
  QRadioButton* Ascending() const { return ascending_; }
  QRadioButton* Descending() const { return descending_; }
  QRadioButton* ThisColumn() const { return thisColumn_; }
  QRadioButton* AllColumns() const { return allColumns_; }

 private:
  TSortModel& model_;
  QSpinBox* topSpin_;
  QSpinBox* botSpin_;
  QRadioButton* ascending_;
  QRadioButton* descending_;
  QRadioButton* thisColumn_;
  QRadioButton* allColumns_;
};

class TInsertRunsDlg : public QDialog {
 public:
  TInsertRunsDlg(int32_t kind, QWidget* parent = nullptr);
  TInsertRunsModel& Model() { return model_; }
  QComboBox* TableIDBox() const { return tableBox_; }
  QSpinBox* AfterRowEdit() const { return afterRow_; }
  QSpinBox* RowsEdit() const { return rows_; }
  QRadioButton* InsertButton() const { return insert_; }
  QRadioButton* DeleteButton() const { return delete_; }
  QRadioButton* StartButton() const { return start_; }
  QRadioButton* EndButton() const { return end_; }
  QRadioButton* AfterButton() const { return after_; }

 private:
  void Sync();
  TInsertRunsModel model_;
  QComboBox* tableBox_;
  QRadioButton* insert_;
  QRadioButton* delete_;
  QRadioButton* start_;
  QRadioButton* end_;
  QRadioButton* after_;
  QSpinBox* afterRow_;
  QSpinBox* rows_;
};

class TInsertColsDlg : public QDialog {
 public:
  explicit TInsertColsDlg(QWidget* parent = nullptr);
  TInsertColsModel& Model() { return model_; }
  QSpinBox* AfterColEdit() const { return afterCol_; }
  QSpinBox* ColsEdit() const { return cols_; }
  QRadioButton* DeleteButton() const { return delete_; }
  QRadioButton* AfterButton() const { return after_; }

 private:
  void Sync();
  TInsertColsModel model_;
  QComboBox* tableBox_;
  QRadioButton* insert_;
  QRadioButton* delete_;
  QRadioButton* start_;
  QRadioButton* end_;
  QRadioButton* after_;
  QSpinBox* afterCol_;
  QSpinBox* cols_;
};

// "New Lookup Table": Title, No. of Rows, No. of Columns over
// TNewLookupModel. Closes with 1 when the table was made; a refused title
// keeps the dialog open with the title selected.
class TNewLookupDlg : public QDialog {
 public:
  explicit TNewLookupDlg(QWidget* parent = nullptr);
  TNewLookupModel& Model() { return model_; }
  QLineEdit* TitleEdit() const { return title_; }
  QSpinBox* RowsEdit() const { return rows_; }
  QSpinBox* ColumnsEdit() const { return columns_; }
  QPushButton* OkBtn() const { return ok_; }

 private:
  TNewLookupModel model_;
  QLineEdit* title_;
  QSpinBox* rows_;
  QSpinBox* columns_;
  QPushButton* ok_;
};

class TDeleteTableDlg : public QDialog {
 public:
  TDeleteTableDlg(int32_t kind, QWidget* parent = nullptr);
  TDeleteTableModel& Model() { return model_; }
  QListWidget* TableListBox() const { return list_; }
  QPushButton* DeleteBtn() const { return deleteBtn_; }
  // Opens the dialog; 2 at once when the kind has no table.
  int Execute();

 private:
  TDeleteTableModel model_;
  QListWidget* list_;
  QPushButton* deleteBtn_;
};

}  // namespace voq

#pragma once
// TTabInfoDlg: the modal dialog of one table tab: its title and its
// position among the tabs, and the buttons that duplicate or delete it.
// Modal results: 1 OK, 2 Cancel, 4 Duplicate, 6 Delete. TQtTableDialogs is
// the table windows' TableGridDialogs in the program: the tab dialog is
// this one, the column format and Sort dialogs those of
// tables/qt/table_edit_dlgs.h; Alter Values keeps the grid's default.
#include <QDialog>
#include <string>

#include "tables/table_grid.h"

class QLineEdit;
class QPushButton;
class QSpinBox;

namespace voq {

class TTabInfoDlg : public QDialog {
 public:
  explicit TTabInfoDlg(QWidget* parent = nullptr);

  // The caller's settings: caption, title, position and its maximum (the
  // spin is disabled when there is one tab).
  void Setup(const std::string& caption, const std::string& title, int32_t position, int32_t tabCount);
  std::string Title() const;
  int32_t Position() const;

  QLineEdit* TitleEdit() const { return titleEdit_; }
  QSpinBox* SpinPos() const { return spinPos_; }
  QPushButton* DeleteButton() const { return delete_; }
  QPushButton* DuplicateBtn() const { return duplicate_; }

 private:
  QLineEdit* titleEdit_;
  QSpinBox* spinPos_;
  QPushButton* delete_;
  QPushButton* duplicate_;
};

class TQtTableDialogs : public TableGridDialogs {
 public:
  explicit TQtTableDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  int32_t TabInfo(const std::string& caption, std::string& title, int32_t& position, int32_t tabCount) override;
  // The column format dialog (TFormatTableDlg) and the Sort dialog
  // (TSortForm), tables/qt/table_edit_dlgs.cpp.
  void ColumnFormat(TTableGrid& grid, int32_t column) override;
  void Sort(TTableGrid& grid, int32_t column) override;
  // Alter Values of a column (TTableChgDlg), tables/qt/alter_values_dlg.cpp.
  void AlterValues(TTableGrid& grid, int32_t column) override;
  // Called with true before a dialog opens and false after it closed (the
  // program keeps its dialog-open flag with it).
  static inline void (*DialogOpenChanged)(bool open) = nullptr;

 private:
  QWidget* parent_;
};

}  // namespace voq

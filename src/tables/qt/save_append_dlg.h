#pragma once
// TSaveAppendDlg: asks for the text file a command saves its results in and
// whether they are appended to it. The caller sets the caption, shows it,
// and on OK reads FileName and Append. Browse opens the file dialog titled
// "Select File" and adds the chosen file's folder to the search directories.
#include <QDialog>
#include <string>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace voq {

class TSaveAppendDlg : public QDialog {
 public:
  explicit TSaveAppendDlg(QWidget* parent = nullptr);

  std::string FileName() const;
  bool Append() const;
  // The file dialog; false when the user declines.
  bool Browse();

  QLineEdit* FileNameEdit() const { return fileNameEdit_; }
  QCheckBox* doAppendCB() const { return doAppendCB_; }
  QPushButton* BrowseButton() const { return browse_; }
  QPushButton* OKBtn() const { return ok_; }
  QPushButton* CancelBtn() const { return cancel_; }

 private:
  QLineEdit* fileNameEdit_;
  QCheckBox* doAppendCB_;
  QPushButton* browse_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

}  // namespace voq

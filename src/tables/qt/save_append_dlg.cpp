#include "tables/qt/save_append_dlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/search_path.h"
#include "platform/host.h"
#include "platform/qt/qt_platform.h"

namespace voq {

TSaveAppendDlg::TSaveAppendDlg(QWidget* parent) : QDialog(parent) {
  setModal(true);
  setObjectName(QStringLiteral("SaveAppendDlg"));
  fileNameEdit_ = new QLineEdit(this);
  fileNameEdit_->setObjectName(QStringLiteral("FileNameEdit"));
  fileNameEdit_->setMinimumWidth(300);
  browse_ = new QPushButton(QStringLiteral("Browse"), this);
  browse_->setObjectName(QStringLiteral("Browse"));
  doAppendCB_ = new QCheckBox(QStringLiteral("Append to existing file"), this);
  doAppendCB_->setObjectName(QStringLiteral("doAppendCB"));
  ok_ = new QPushButton(QStringLiteral("OK"), this);
  ok_->setDefault(true);
  cancel_ = new QPushButton(QStringLiteral("Cancel"), this);

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("File name"), this), 0, 0);
  grid->addWidget(fileNameEdit_, 1, 0);
  grid->addWidget(browse_, 1, 1);
  grid->addWidget(doAppendCB_, 2, 0);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(buttons);

  connect(ok_, &QPushButton::clicked, this, [this] { done(1); });
  connect(cancel_, &QPushButton::clicked, this, [this] { done(2); });
  connect(browse_, &QPushButton::clicked, this, [this] { Browse(); });
  fileNameEdit_->setFocus();
}

std::string TSaveAppendDlg::FileName() const { return Utf8ToCp1252(fileNameEdit_->text().toStdString()); }

bool TSaveAppendDlg::Append() const { return doAppendCB_->isChecked(); }

bool TSaveAppendDlg::Browse() {
  std::string path = FileName();
  if (!Platform().AskOpenFileName("Select File", "Text Files (*.txt)|*.txt|All Files (*.*) |*.*", 1, path))
    return false;
  // A name typed without an extension is a text file.
  const size_t slash = path.find_last_of("/\\");
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (!name.empty() && name.find('.') == std::string::npos) path += ".txt";
  fileNameEdit_->setText(QString::fromStdString(Cp1252ToUtf8(path)));
  if (slash != std::string::npos) AddSearchDirectory(path.substr(0, slash));
  return true;
}

}  // namespace voq

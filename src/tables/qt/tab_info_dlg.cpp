#include "tables/qt/tab_info_dlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "model/program_units.h"
#include "platform/qt/qt_platform.h"

namespace voq {

TTabInfoDlg::TTabInfoDlg(QWidget* parent) : QDialog(parent) {
  setModal(true);
  titleEdit_ = new QLineEdit(this);
  titleEdit_->setMinimumWidth(220);
  spinPos_ = new QSpinBox(this);
  spinPos_->setRange(1, 999);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("&Title:"), titleEdit_);
  form->addRow(QStringLiteral("Tab &position:"), spinPos_);

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  duplicate_ = new QPushButton(QStringLiteral("D&uplicate"), this);
  delete_ = new QPushButton(QStringLiteral("&Delete"), this);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  buttons->addStretch(1);
  buttons->addWidget(duplicate_);
  buttons->addWidget(delete_);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);

  connect(ok, &QPushButton::clicked, this, [this] { done(1); });
  connect(cancel, &QPushButton::clicked, this, [this] { done(2); });
  connect(duplicate_, &QPushButton::clicked, this, [this] { done(4); });
  connect(delete_, &QPushButton::clicked, this, [this] {
    // The compiled equations may name the deleted table's columns.
    ClearCompiledEquations();
    done(6);
  });
}

void TTabInfoDlg::Setup(const std::string& caption, const std::string& title, int32_t position, int32_t tabCount) {
  setWindowTitle(QString::fromStdString(Cp1252ToUtf8(caption)));
  titleEdit_->setText(QString::fromStdString(Cp1252ToUtf8(title)));
  spinPos_->setRange(1, std::max(1, tabCount));
  spinPos_->setValue(position);
  spinPos_->setEnabled(tabCount > 1);
  titleEdit_->selectAll();
  titleEdit_->setFocus();
}

std::string TTabInfoDlg::Title() const { return Utf8ToCp1252(titleEdit_->text().toStdString()); }

int32_t TTabInfoDlg::Position() const { return spinPos_->value(); }

int32_t TQtTableDialogs::TabInfo(const std::string& caption, std::string& title, int32_t& position,
                                 int32_t tabCount) {
  if (DialogOpenChanged != nullptr) DialogOpenChanged(true);
  TTabInfoDlg dialog(parent_);
  dialog.Setup(caption, title, position, tabCount);
  const int result = dialog.exec();
  if (result == 1) {
    title = dialog.Title();
    position = dialog.Position();
  }
  if (DialogOpenChanged != nullptr) DialogOpenChanged(false);
  return result;
}

}  // namespace voq

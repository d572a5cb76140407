#include "shell/warn_mult_copy.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include "core/message_ids.h"
#include "core/messages.h"

namespace voq {

TWarnMultCopy::TWarnMultCopy(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      nomoreWarnCB(new QCheckBox(QStringLiteral("Do not show this dialog next time"), this)),
      Label1(new QLabel(this)) {
  setWindowTitle(QStringLiteral("Warning"));
  setFixedSize(317, 100);
  QFont bold = font();
  bold.setBold(true);
  setFont(bold);
  Label1->setGeometry(3, 8, 311, 32);
  Label1->setAlignment(Qt::AlignCenter);
  Label1->setWordWrap(true);
  auto* yes = new QPushButton(QStringLiteral("Yes"), this);
  auto* no = new QPushButton(QStringLiteral("No"), this);
  yes->setGeometry(70, 44, 75, 25);
  no->setGeometry(172, 44, 75, 25);
  yes->setDefault(true);
  QFont regular = nomoreWarnCB->font();
  regular.setBold(false);
  nomoreWarnCB->setFont(regular);
  nomoreWarnCB->setGeometry(70, 74, 240, 20);
  connect(yes, &QPushButton::clicked, this, &QDialog::accept);
  connect(no, &QPushButton::clicked, this, &QDialog::reject);
}

bool TWarnMultCopy::NoMoreWarn() const { return nomoreWarnCB->isChecked(); }

void TWarnMultCopy::showEvent(QShowEvent* event) {
  Label1->setText(QString::fromStdString(GetMessageText(kMsgAlreadyRunning)));
  QDialog::showEvent(event);
}

}  // namespace voq

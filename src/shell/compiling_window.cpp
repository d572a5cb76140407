#include "shell/compiling_window.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/program_flags.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "platform/host.h"

namespace voq {

TCompiling::TCompiling(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      LineL(new QLabel(QStringLiteral("0"), this)),
      OKBtn(new QPushButton(QStringLiteral("Abort"), this)) {
  setWindowTitle(QStringLiteral("Compiling"));
  // Its input reaches it while a calculation holds everything else back.
  setProperty("voqCalculationInput", true);
  setFixedSize(219, 88);
  setStyleSheet(QStringLiteral("TCompiling { border: 1px solid black; }"));
  auto* caption = new QLabel(QStringLiteral("Compiling line "), this);
  QFont bold(QStringLiteral("DejaVu Sans"));
  bold.setPixelSize(11);
  bold.setBold(true);
  caption->setFont(bold);
  LineL->setFont(bold);
  caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  caption->setGeometry(36, 19, 103, 13);
  LineL->setGeometry(140, 19, 70, 13);
  OKBtn->setGeometry(70, 50, 77, 29);
  OKBtn->setFocusPolicy(Qt::NoFocus);
}

TCompiling::~TCompiling() { qApp->removeEventFilter(this); }

void TCompiling::Show() {
  LineL->setText(QStringLiteral("0"));
  inputTaken_ = false;
  abortInput_ = false;
  Active = true;
  qApp->installEventFilter(this);
  if (!HiddenMode) show();
}

void TCompiling::Hide() {
  qApp->removeEventFilter(this);
  hide();
  Active = false;
}

bool TCompiling::eventFilter(QObject* target, QEvent* event) {
  if (!target->isWidgetType() || static_cast<QWidget*>(target)->window() != this) return false;
  if (event->type() == QEvent::KeyPress) {
    inputTaken_ = true;
    if (static_cast<QKeyEvent*>(event)->key() != Qt::Key_Shift) abortInput_ = true;
    return true;
  }
  if (event->type() == QEvent::MouseButtonPress) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    inputTaken_ = true;
    const QPoint at = OKBtn->mapFromGlobal(mouse->globalPosition().toPoint());
    if (mouse->button() == Qt::LeftButton && OKBtn->rect().contains(at)) abortInput_ = true;
    return true;
  }
  return false;
}

void TCompiling::Update(int32_t lineNumber) {
  if (HiddenMode) return;
  LastAbortPollTicks = Platform().TickCount();
  LineL->setText(QString::number(lineNumber));
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  const bool taken = inputTaken_;
  const bool abort = abortInput_;
  inputTaken_ = false;
  abortInput_ = false;
  if (!taken || CalcErrorCode != 0) return;
  if (abort) AbortRequested = true;
  if (AbortRequested) {
    CalcErrorCode = kMsgCancelled;
    if (CurrentProgramUnit != nullptr) CurrentProgramUnit->LastEquation = nullptr;
  }
}

}  // namespace voq

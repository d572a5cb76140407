#include "shell/about_box.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>

namespace voq {

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      LoadingLabel(new QLabel(QStringLiteral("Loading user library... "), this)),
      OKButton(new QPushButton(QStringLiteral("OK"), this)) {
  setFixedSize(470, 213);
  setAutoFillBackground(true);
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
  auto* title = new QLabel(QStringLiteral("VOQ"), this);
  QFont big(QStringLiteral("DejaVu Sans"));
  big.setPixelSize(36);
  big.setBold(true);
  title->setFont(big);
  title->setStyleSheet(QStringLiteral("color: #1f4e8c;"));
  title->setGeometry(30, 24, 410, 48);
  auto* subtitle = new QLabel(QStringLiteral("Equation solver, Professional Version"), this);
  subtitle->setGeometry(30, 78, 410, 20);
  LoadingLabel->setGeometry(30, 150, 300, 20);
  OKButton->setGeometry(370, 170, 75, 28);
  OKButton->hide();
  connect(OKButton, &QPushButton::clicked, this, [this] { done_ = true; });
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->geometry().center() - rect().center());
  }
}

TAboutBox::~TAboutBox() { qApp->removeEventFilter(this); }

bool TAboutBox::eventFilter(QObject* target, QEvent* event) {
  if (!waiting_) return false;
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Control) done_ = true;
    return true;
  }
  if (event->type() == QEvent::MouseButtonPress && target->isWidgetType()) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint at = OKButton->mapFromGlobal(mouse->globalPosition().toPoint());
    if (mouse->button() == Qt::LeftButton && OKButton->rect().contains(at)) done_ = true;
    return true;
  }
  return false;
}

void TAboutBox::WaitEvent() {
  LoadingLabel->hide();
  OKButton->show();
  OKButton->setFocus();
  setCursor(Qt::ArrowCursor);
  done_ = false;
  waiting_ = true;
  qApp->installEventFilter(this);
  while (!done_ && isVisible()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  qApp->removeEventFilter(this);
  waiting_ = false;
}

}  // namespace voq

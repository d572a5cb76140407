#include "shell/gform.h"

#include <QMdiArea>

namespace voq {

namespace {
// How much of a window must stay inside the client area.
constexpr int kKeepVisibleHeight = 72;
constexpr int kKeepVisibleWidth = 96;
}  // namespace

TGForm::TGForm(QWidget* parent) : QMdiSubWindow(parent) {
  setWindowTitle(QStringLiteral("GForm"));
  resize(435, 300);
}

QSize TGForm::ClientSize() const {
  if (QMdiArea* area = mdiArea()) return area->viewport()->size();
  if (parentWidget() != nullptr) return parentWidget()->size();
  return size();
}

void TGForm::Show() {
  if (isMinimized()) {
    showNormal();
  } else if (!IsShown || !isVisible()) {
    show();
  }
  IsShown = true;
  const QSize client = ClientSize();
  QPoint corner = pos();
  if (corner.y() > client.height() - kKeepVisibleHeight) corner.setY(client.height() - kKeepVisibleHeight);
  if (corner.x() > client.width() - kKeepVisibleWidth) corner.setX(client.width() - kKeepVisibleWidth);
  if (corner != pos()) move(corner);
  update();
}

void TGForm::Hide() {
  hide();
  IsShown = false;
}

}  // namespace voq

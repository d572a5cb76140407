#include "results/formatted_equations_form.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include "core/calc_state.h"
#include "core/messages.h"
#include "core/program_flags.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "platform/qt/qt_platform.h"
#include "results/qt_canvas.h"
#include "session/compile_driver.h"
#include "shell/main_window.h"

namespace voq {

namespace {
constexpr int kTopPosition = 5;
}

TFormattedEquationsView::TFormattedEquationsView(TFormattedEquationsForm* form)
    : QAbstractScrollArea(form), form_(form) {
  viewport()->setAutoFillBackground(true);
  QPalette p = viewport()->palette();
  p.setColor(QPalette::Window, Qt::white);
  viewport()->setPalette(p);
  verticalScrollBar()->setSingleStep(16);
}

void TFormattedEquationsView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  const int scrollY = verticalScrollBar()->value();
  const bool ok = form_->Draw(painter, scrollY, viewport()->height());
  TRect outline;
  if (ok && dragging_ && form_->page_.DragOutline(dragPoint_.x(), dragPoint_.y(), outline)) {
    // The dragged item's outline where it would go, over the page.
    painter.resetTransform();
    painter.translate(0, -scrollY);
    painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(outline.Left, outline.Top, outline.Right - outline.Left - 1, outline.Bottom - outline.Top - 1);
  }
  painter.end();
  const int extent = form_->page_.PaintedHeight * 100 / 96;
  verticalScrollBar()->setRange(0, std::max(0, extent - viewport()->height()));
  verticalScrollBar()->setPageStep(viewport()->height());
  horizontalScrollBar()->setRange(0, std::max(0, form_->page_.RightExtent + 25 - viewport()->width()));
  if (!ok) form_->ShowTypesetError();
}

void TFormattedEquationsView::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->pos() + QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
  if (event->button() == Qt::RightButton) {
    // The statement's text is selected in the Equations window.
    if (TEquationRecord* e = form_->page_.StatementAt(p.x(), p.y())) {
      Windows().SelectEquationsText(e->TextStart, e->TextEnd, e->LineNumber);
      Windows().ShowAndFocus(kEquationsWindow);
    }
    return;
  }
  if (event->button() != Qt::LeftButton) return;
  form_->page_.MouseDown(p.x(), p.y());
  dragging_ = true;
  dragPoint_ = p;
}

void TFormattedEquationsView::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_ || !(event->buttons() & Qt::LeftButton)) return;
  dragPoint_ = event->pos() + QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
  viewport()->update();
}

void TFormattedEquationsView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint p = event->pos() + QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
  dragging_ = false;
  form_->page_.MouseUp(p.x(), p.y());
  viewport()->update();
}

void TFormattedEquationsView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  viewport()->update();
}

TFormattedEquationsForm::TFormattedEquationsForm(QWidget* parent) : TGForm(parent) {
  Tag = kFormattedEquationsWindow;
  setWindowTitle("Formatted Equations");
  view_ = new TFormattedEquationsView(this);
  setWidget(view_);
  resize(560, 380);
}

bool TFormattedEquationsForm::Draw(QPainter& painter, int scrollY, int height) {
  QtCanvas canvas(painter);
  painter.translate(0, -scrollY);
  layout_.SetCanvas(canvas);
  layout_.SetupFonts();
  page_.DrawFormatEqns(kTopPosition, scrollY, scrollY + height);
  layout_.SetCanvas(idleCanvas_);
  const bool ok = page_.ErrorStatement == nullptr;
  if (!ok) page_.PaintedHeight = 0;
  return ok;
}

QImage TFormattedEquationsForm::Picture() {
  // A first pass measures the page, the second draws it.
  QImage probe(1, 1, QImage::Format_RGB32);
  {
    QPainter painter(&probe);
    page_.PaintedHeight = 0;
    Draw(painter, 0, 1 << 20);
  }
  QImage image(std::max(1, page_.RightExtent + 20), std::max(1, page_.PaintedHeight + 5), QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  page_.PaintedHeight = 0;
  Draw(painter, 0, 1 << 20);
  return image;
}

void TFormattedEquationsForm::SelectAll() {
  const int top = view_->verticalScrollBar()->value();
  page_.SelectAll(top, top + view_->viewport()->height());
  view_->viewport()->update();
}

void TFormattedEquationsForm::CopytoClip() {
  page_.CopyMode = IsSelected();
  const QImage image = Picture();
  page_.CopyMode = false;
  // The picture, and the items' text for programs that take only text.
  auto* data = new QMimeData;
  data->setImageData(image);
  data->setText(QString::fromStdString(Cp1252ToUtf8(page_.CopyText())));
  QApplication::clipboard()->setMimeData(data);
  page_.PaintedHeight = 0;
  view_->viewport()->update();
}

void TFormattedEquationsForm::ShowTypesetError() {
  TEquationRecord* e = page_.ErrorStatement;
  const int32_t error = CalcErrorCode;
  page_.ErrorStatement = nullptr;
  CalcErrorCode = 0;
  Hide();
  if (e != nullptr) ShowEquationError(error, e->TextStart, e->TextEnd, e->LineNumber);
  if (TVOQ_D* main = MainWindow()) main->ShowAndFocus(kEquationsWindow);
}

void TFormattedEquationsForm::closeEvent(QCloseEvent* event) {
  // The window is not destroyed, only hidden.
  event->ignore();
  Hide();
  if (ActiveChildWindow == kFormattedEquationsWindow) {
    if (QMdiArea* area = mdiArea()) area->activateNextSubWindow();
  }
}

TFormattedEquationsForm* EnsureFormattedEquationsForm() {
  if (auto* form = dynamic_cast<TFormattedEquationsForm*>(WindowList[kFormattedEquationsWindow])) return form;
  TVOQ_D* main = MainWindow();
  auto* form = new TFormattedEquationsForm(main != nullptr ? main->MdiArea() : nullptr);
  if (main != nullptr) main->MdiArea()->addSubWindow(form);
  form->hide();
  form->IsShown = false;
  WindowList[kFormattedEquationsWindow] = form;
  return form;
}

TFormattedEquations* FormattedEquationsPage() {
  auto* form = dynamic_cast<TFormattedEquationsForm*>(WindowList[kFormattedEquationsWindow]);
  return form != nullptr ? &form->Page() : nullptr;
}

void ShowFormattedEquations() {
  CheckOnlyMode = true;
  CompileEquations(false, false);
  CheckOnlyMode = false;
  if (CalcErrorCode != 0) return;
  TFormattedEquationsForm* form = EnsureFormattedEquationsForm();
  form->Relayout();
  if (TVOQ_D* main = MainWindow()) {
    main->ShowAndFocus(kFormattedEquationsWindow);
  } else {
    form->Show();
  }
  form->View()->viewport()->update();
}

}  // namespace voq

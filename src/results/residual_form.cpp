#include "results/residual_form.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "core/calc_state.h"
#include "core/messages.h"
#include "core/program_flags.h"
#include "model/document_settings.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "output/solution_listing.h"
#include "output/var_info.h"
#include "platform/host.h"
#include "platform/qt/qt_platform.h"
#include "results/qt_canvas.h"
#include "results/resize_repaint_view.h"
#include "shell/equations_form.h"
#include "shell/main_window.h"
#include "shell/result_windows.h"
#include "shell/var_info_dlg.h"
#include "tables/tables_state.h"
#include "units/unit_check.h"

namespace voq {

namespace {

QFont ResidualFont() {
  QFont font(QStringLiteral("Sans Serif"));
  font.setPointSize(9);
  return font;
}

// A distributable program whose model hides its Equations window ignores
// the clicks that lead there.
bool EquationsHidden() {
  TVOQ_D* main = MainWindow();
  return DistributableMode && main != nullptr && main->EquationForm() != nullptr && !main->EquationForm()->IsShown;
}

}  // namespace

std::function<bool(QWidget* parent)> TResidualForm::RunVarInfoDialog = [](QWidget* parent) {
  ProgramVarInfoWindows windows(MainWindow(), false);
  TVarInfoDlg dialog(parent, windows, nullptr, 0, std::string());
  return dialog.exec() == QDialog::Accepted;
};

bool ShowVarInfoForVariables(QWidget* parent, TProgramUnitRecord* unit, const std::vector<int32_t>& vars) {
  if (unit == nullptr) return false;
  for (const int32_t index : vars) {
    const TVariableRecord* v = unit->Variable(index);
    if (v != nullptr && !v->Name.empty() && v->Name[0] == '@') {
      ShowAlert(GetMessageText(467), kAlertInfoOk, false);
      return false;
    }
  }
  // The unit's display list stands for the equation's variables while the
  // dialog is open.
  const std::vector<int16_t> savedList = unit->UsedVariableList;
  const int16_t savedCount = unit->UsedVariableCount;
  TProgramUnitRecord* savedUnit = CurrentProgramUnit;
  int16_t count = 0;
  for (const int32_t index : vars) {
    if (unit->Variable(index) == nullptr || size_t(count) + 1 >= unit->UsedVariableList.size()) continue;
    unit->UsedVariableList[size_t(++count)] = int16_t(index);
  }
  unit->UsedVariableCount = count;
  CurrentProgramUnit = unit;
  const bool restricted = VarInfoRestricted;
  VarInfoRestricted = true;
  const bool ok = TResidualForm::RunVarInfoDialog(parent);
  VarInfoRestricted = restricted;
  unit->UsedVariableList = savedList;
  unit->UsedVariableCount = savedCount;
  CurrentProgramUnit = savedUnit != nullptr ? savedUnit : MainProgramUnit;
  return ok;
}

// --- The view ------------------------------------------------------------------

TResidualView::TResidualView(TResidualForm* form) : QAbstractScrollArea(form), form_(form) {
  setFont(ResidualFont());
  viewport()->setAutoFillBackground(true);
  QPalette palette = viewport()->palette();
  palette.setColor(QPalette::Window, Qt::white);
  viewport()->setPalette(palette);
  setFocusPolicy(Qt::StrongFocus);
}

void TResidualView::paintEvent(QPaintEvent*) {
  if (resizeDeferred_ && resizeRule_.Waiting()) {
    // Too soon after the last paint: the last picture stands in until the
    // deferred repaint.
    QPainter(viewport()).drawPixmap(0, 0, cache_);
    return;
  }
  resizeRule_.Painted();
  const qreal ratio = viewport()->devicePixelRatioF();
  QPixmap picture(viewport()->size() * ratio);
  picture.setDevicePixelRatio(ratio);
  picture.fill(Qt::white);
  QPainter painter(&picture);
  const int scrollX = horizontalScrollBar()->value();
  const int scrollY = verticalScrollBar()->value();
  painter.translate(-scrollX, -scrollY);
  QtCanvas canvas(painter);
  TEntryPage page = MakeEntryPage(canvas);
  page.TopOffset = 5;
  page.ScrollY = scrollY;
  page.ClientHeight = viewport()->height();
  // Holding Ctrl draws everything in black.
  page.ColorOutput = (QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier) == 0;
  if (!page.ColorOutput) RepaintWhenCtrlReleased();
  lineHeight_ = page.LineHeight;
  charWidth_ = page.CharWidth;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  last_ = DisplayResiduals(ResidualState(), page, viewport()->width());
  QApplication::restoreOverrideCursor();
  painter.end();
  cache_ = picture;
  QPainter(viewport()).drawPixmap(0, 0, cache_);
  verticalScrollBar()->setSingleStep(lineHeight_);
  horizontalScrollBar()->setSingleStep(charWidth_);
  verticalScrollBar()->setPageStep(std::max(1, viewport()->height() - lineHeight_));
  if (last_.RangeSet) {
    verticalScrollBar()->setRange(0, std::max(0, last_.VerticalRange - viewport()->height()));
    horizontalScrollBar()->setRange(0, std::max(0, last_.HorizontalRange - viewport()->width()));
  }
  form_->CheckUnits1()->setEnabled(ResidualState().CheckUnitsEnabled);
}

void TResidualView::mousePressEvent(QMouseEvent* event) {
  const QPoint content = event->position().toPoint() +
                         QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
  form_->Press(content, event->globalPosition().toPoint());
}

void TResidualView::mouseDoubleClickEvent(QMouseEvent*) { form_->JumptoEqns(); }

void TResidualView::keyPressEvent(QKeyEvent* event) {
  QScrollBar* v = verticalScrollBar();
  QScrollBar* h = horizontalScrollBar();
  switch (event->key()) {
    case Qt::Key_PageUp: v->setValue(v->value() - v->pageStep()); break;
    case Qt::Key_PageDown: v->setValue(v->value() + v->pageStep()); break;
    case Qt::Key_End: v->setValue(v->maximum()); break;
    case Qt::Key_Home:
      v->setValue(0);
      h->setValue(0);
      break;
    case Qt::Key_Up: v->setValue(v->value() - lineHeight_); break;
    case Qt::Key_Down: v->setValue(v->value() + lineHeight_); break;
    case Qt::Key_Left: h->setValue(h->value() - h->singleStep()); break;
    case Qt::Key_Right: h->setValue(h->value() + h->singleStep()); break;
    default: QAbstractScrollArea::keyPressEvent(event); return;
  }
  event->accept();
}

void TResidualView::wheelEvent(QWheelEvent* event) {
  // Twice the wheel's delta.
  QScrollBar* v = verticalScrollBar();
  v->setValue(v->value() - 2 * event->angleDelta().y());
  event->accept();
}

void TResidualView::RepaintWhenCtrlReleased() {
  if (ctrlReleaseWatch_ == nullptr) {
    ctrlReleaseWatch_ = new QTimer(this);
    ctrlReleaseWatch_->setInterval(50);
    connect(ctrlReleaseWatch_, &QTimer::timeout, this, [this] {
      if ((QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier) != 0) return;
      ctrlReleaseWatch_->stop();
      viewport()->update();
    });
  }
  if (!ctrlReleaseWatch_->isActive()) ctrlReleaseWatch_->start();
}

void TResidualView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  // The layout depends on the client size: the next paint lays out again.
  ResidualState().LayoutKnown = false;
  RepaintAfterResize(this, resizeRule_, resizeDeferred_, DeferredRepaintMs);
}

// --- The form ------------------------------------------------------------------

TResidualForm::TResidualForm(QWidget* parent) : TSolutionForm(parent) {
  Tag = kResidualsWindow;
  setProperty("helpContext", 5);
  setWindowTitle(QStringLiteral("Residuals"));
  setObjectName(QStringLiteral("ResidualForm"));
  // The base's tab strip, listing and button make way for the residual
  // listing.
  TabControl()->hide();
  ChkUnitsButton()->hide();
  View()->hide();
  view_ = new TResidualView(this);
  if (auto* layout = qobject_cast<QVBoxLayout*>(widget()->layout())) layout->addWidget(view_);
  popup_ = new QMenu(this);
  popup_->setObjectName(QStringLiteral("PopupMenu1"));
  comment1_ = popup_->addAction(QStringLiteral("Jump to  Equation Window"));
  comment1_->setObjectName(QStringLiteral("Comment1"));
  checkUnits1_ = popup_->addAction(QStringLiteral("Check Units"));
  checkUnits1_->setObjectName(QStringLiteral("CheckUnits1"));
  connect(comment1_, &QAction::triggered, this, [this] { JumptoEqns(); });
  connect(checkUnits1_, &QAction::triggered, this, [this] { CheckUnits(); });
  connect(this, &QMdiSubWindow::windowStateChanged, this, [this](Qt::WindowStates before, Qt::WindowStates now) {
    if ((before & Qt::WindowActive) && !(now & Qt::WindowActive)) FormDeactivate();
  });
  resize(560, 300);
}

void TResidualForm::FormActivate() {
  if (view_ == nullptr) return;  // the base's construction
  TResidualState& state = ResidualState();
  if (TVOQ_D* main = MainWindow(); main != nullptr && main->EquationForm() != nullptr) {
    state.SavedSelStart = main->EquationForm()->Memo->EngineSelStart();
    state.SavedSelLength = main->EquationForm()->Memo->EngineSelLength();
  }
  Windows().SetEquationsHideSelection(true);
  ActiveChildWindow = kResidualsWindow;
  ActivateResiduals(state);
  comment1_->setEnabled(true);
  checkUnits1_->setEnabled(state.CheckUnitsEnabled);
  view_->viewport()->update();
}

void TResidualForm::FormDeactivate() {
  // The main window that serves the window services is being destroyed:
  // there is no Equations selection left to give back.
  TVOQ_D* main = MainWindow();
  if (main == nullptr) return;
  const TResidualState& state = ResidualState();
  if (main->EquationForm() != nullptr)
    main->EquationForm()->SelectEngineRange(state.SavedSelStart, state.SavedSelStart + state.SavedSelLength);
  Windows().SetEquationsHideSelection(false);
}

void TResidualForm::Find(const std::string& text, bool fromCurrent, bool& notFound, bool wholeWords,
                         bool matchCase) {
  QScrollBar* v = view_->verticalScrollBar();
  int32_t scrollY = v->value();
  notFound = !FindResidual(ResidualState(), text, fromCurrent, wholeWords, matchCase, view_->LineHeight(),
                           view_->viewport()->height(), scrollY);
  if (!notFound) {
    v->setValue(scrollY);
    view_->viewport()->update();
  }
}

void TResidualForm::Press(QPoint content, QPoint globalPos, bool popup) {
  if (EquationsHidden()) return;
  const int lineHeight = std::max(1, view_->LineHeight());
  ResidualState().Chosen = ResidualEquationAtLine(ResidualState(), content.y() / lineHeight);
  if (popup) popup_->popup(globalPos);
}

void TResidualForm::JumptoEqns() {
  TEquationRecord* e = ResidualState().Chosen;
  TVOQ_D* main = MainWindow();
  if (main == nullptr) return;
  main->ShowAndFocus(kEquationsWindow);
  if (e != nullptr) {
    // The selection stays: deactivation must not put the old one back.
    ResidualState().SavedSelStart = e->TextStart;
    ResidualState().SavedSelLength = e->TextEnd - e->TextStart;
    main->SelectEquationsText(e->TextStart, e->TextEnd, e->LineNumber);
  }
}

void TResidualForm::CheckUnits() {
  if (EquationsHidden()) return;
  TEquationRecord* e = ResidualState().Chosen;
  if (e == nullptr) return;
  ClearCalcError();
  CheckEquationUnits(e, 0, 0);
  MessageHelpContext = 0;
  if (CalcErrorCode > 0) {
    const std::string text = MessageText + "  Show Variable Information?";
    ClearCalcError();
    if (ShowAlert(text, kAlertInfoYesNo, false) == kResultYes) {
      TProgramUnitRecord* unit = UnitOfEquation(e);
      if (ShowVarInfoForVariables(this, unit != nullptr ? unit : MainProgramUnit, EquationVariableIndexes(*e)))
        ClearUnitsCheck();
      view_->viewport()->update();
    }
  } else {
    ClearCalcError();
    ShowAlert(GetMessageText(461), kAlertInfoOk, false);
  }
}

std::string TResidualForm::CopyResiduals() {
  TProgramUnitRecord* unit = CurrentProgramUnit != nullptr ? CurrentProgramUnit : MainProgramUnit;
  if (unit == nullptr) return std::string();
  const std::string text = ResidualClipboardText(*unit);
  if (!Platform().SetClipboardText(text)) Platform().Beep();
  return text;
}

void TResidualForm::closeEvent(QCloseEvent* event) {
  event->ignore();
  Hide();
  ResidualState().LayoutKnown = false;
  if (ActiveChildWindow == kResidualsWindow) {
    if (QMdiArea* area = mdiArea()) area->activateNextSubWindow();
  }
}

TResidualForm* EnsureResidualForm() {
  if (auto* form = dynamic_cast<TResidualForm*>(WindowList[kResidualsWindow])) return form;
  TVOQ_D* main = MainWindow();
  auto* form = new TResidualForm(main != nullptr ? main->MdiArea() : nullptr);
  if (main != nullptr) main->MdiArea()->addSubWindow(form);
  form->hide();
  form->IsShown = false;
  WindowList[kResidualsWindow] = form;
  QObject::connect(form, &QObject::destroyed, [form] {
    if (WindowList[kResidualsWindow] == form) WindowList[kResidualsWindow] = nullptr;
  });
  return form;
}

void ShowResidualsWindow() {
  TResidualForm* form = EnsureResidualForm();
  if (TVOQ_D* main = MainWindow()) {
    main->ShowAndFocus(kResidualsWindow);
  } else {
    form->Show();
  }
  form->FormActivate();
}

void ResidualsCommand() {
  if (SolutionAvailable || SolutionStarted) {
    ShowResidualsWindow();
  } else {
    ShowAlert("\"Residuals\" is not yet available.", kAlertInfoOk, false);
  }
}

void HideResidualsWindow() {
  if (auto* form = dynamic_cast<TResidualForm*>(WindowList[kResidualsWindow])) {
    form->ResidualView()->verticalScrollBar()->setValue(0);
    form->ResidualView()->horizontalScrollBar()->setValue(0);
    form->Hide();
  }
  ResidualState().LayoutKnown = false;
}

bool FindInResidualsWindow(const std::string& text, bool fromCurrent, bool& notFound, bool wholeWords,
                           bool matchCase) {
  auto* form = dynamic_cast<TResidualForm*>(WindowList[kResidualsWindow]);
  if (form == nullptr) return false;
  form->Find(text, fromCurrent, notFound, wholeWords, matchCase);
  return true;
}

}  // namespace voq

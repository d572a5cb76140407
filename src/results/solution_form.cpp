#include "results/solution_form.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QShowEvent>
#include <QDateTime>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdlib>

#include "core/program_flags.h"
#include "model/document_settings.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "output/format_codes.h"
#include "output/solution_format.h"
#include "output/solution_text.h"
#include "platform/qt/qt_platform.h"
#include "output/entry_text.h"
#include "results/format_soln_dlg.h"
#include "results/qt_canvas.h"
#include "results/resize_repaint_view.h"
#include "shell/main_window.h"
#include "shell/result_windows.h"
#include "shell/solution_window.h"
#include "tables/tables_state.h"

namespace voq {

namespace {

int32_t Ticks() { return int32_t(QDateTime::currentMSecsSinceEpoch() & 0x3FFFFFFF); }

QString ToQt(const std::string& text) { return QString::fromStdString(Cp1252ToUtf8(text)); }

QFont DisplayFont() {
  QFont font(QStringLiteral("Sans Serif"));
  font.setPointSize(9);
  return font;
}

}  // namespace

// --- The view ------------------------------------------------------------------

TSolutionView::TSolutionView(TSolutionForm* form) : QAbstractScrollArea(form), form_(form) {
  setFont(DisplayFont());
  viewport()->setAutoFillBackground(true);
  QPalette palette = viewport()->palette();
  palette.setColor(QPalette::Window, Qt::white);
  viewport()->setPalette(palette);
  setFocusPolicy(Qt::StrongFocus);
}

TSolutionListing TSolutionView::Draw(QPainter& painter, int widthPixels, QPoint origin, bool screen) {
  TSolutionState& state = SolutionState();
  state.TopOffset = 5;
  painter.save();
  painter.translate(origin);
  QtCanvas canvas(painter);
  TEntryPage page = MakeEntryPage(canvas);
  page.TopOffset = state.TopOffset;
  page.RecordingPicture = !screen;
  page.ColorOutput = !state.ShiftHeld;
  page.ClientHeight = 1 << 29;  // the listing itself leaves out the lines out of sight
  const TPageEntryMetrics metrics(page);
  const int32_t lineHeight = page.LineHeight;
  form_->lineHeight_ = page.LineHeight;
  form_->charWidth_ = page.CharWidth;
  int32_t first = 0;
  int32_t last = 1 << 30;
  if (screen) {
    first = std::max(0, (-origin.y() - state.TopOffset) / lineHeight - 1);
    last = (-origin.y() + viewport()->height()) / lineHeight + 1;
  }
  TSolutionListing listing = DisplaySolution(state, widthPixels / page.CharWidth, metrics, first, last);
  for (TSolutionItem& item : listing.Items) {
    if (!item.IsEntry) {
      WriteStr(page, item.Column, item.Line, item.Text, item.Kind, 0);
      continue;
    }
    int32_t fore = 0, back = 0, hilite = 0, complexStyle = 0;
    UnpackFormatCode(item.Code, fore, back, hilite, complexStyle);
    TRect rect{item.Rect.Left, item.Rect.Top, item.Rect.Right, item.Rect.Bottom};
    if (back > 0 && page.ColorOutput) canvas.FillRect(rect, BackColorOfIndex(back));
    const int32_t kind = hilite == kHiliteBold ? kTextBold : kTextNormal;
    const int32_t column = DrawListingEntry(page, item, item.Line, listing.ColumnWidth, kind, fore, back);
    // The rectangle as drawn.
    rect.Right = rect.Left + (column - item.Column) * page.CharWidth + 6;
    item.Rect.Right = rect.Right;
    if (item.Variable != nullptr) item.Variable->ScreenRect.Right = rect.Right;
    if (item.Local != nullptr) item.Local->Box.Right = rect.Right;
    const QRect box(rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top);
    painter.setPen(Qt::black);
    if (hilite == kHiliteUnderline) painter.drawLine(box.left(), box.bottom() - 2, box.right(), box.bottom() - 2);
    if (hilite == kHiliteBox) painter.drawRect(box.adjusted(0, 0, -1, -1));
    if (item.Selected && screen && !state.RecordingPicture) {
      painter.setCompositionMode(QPainter::RasterOp_NotDestination);
      painter.fillRect(box, Qt::black);
      painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
  }
  painter.restore();
  return listing;
}

void TSolutionView::paintEvent(QPaintEvent*) {
  // A resize soon after the last paint shows the last picture until the
  // deferred repaint.
  if (resizeDeferred_ && resizeRule_.Waiting()) {
    QPainter(viewport()).drawPixmap(0, 0, cache_);
    return;
  }
  resizeRule_.Painted();
  const qreal ratio = viewport()->devicePixelRatioF();
  QPixmap picture(viewport()->size() * ratio);
  picture.setDevicePixelRatio(ratio);
  picture.fill(Qt::white);
  QPainter painter(&picture);
  SolutionState().ShiftHeld = (QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier) != 0;
  const QPoint origin(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
  TSolutionListing listing = Draw(painter, viewport()->width(), origin, true);
  painter.end();
  cache_ = picture;
  QPainter(viewport()).drawPixmap(0, 0, cache_);
  const int lineHeight = form_->lineHeight_;
  verticalScrollBar()->setRange(0, std::max(0, listing.VerticalRange - viewport()->height()));
  horizontalScrollBar()->setRange(0, std::max(0, listing.HorizontalRange - viewport()->width()));
  verticalScrollBar()->setSingleStep(lineHeight);
  horizontalScrollBar()->setSingleStep(form_->charWidth_);
  verticalScrollBar()->setPageStep(std::max(1, viewport()->height() - lineHeight));
  QPushButton* button = form_->chkUnits_;
  if (listing.ShowUnitsButton) {
    const int centre = listing.ButtonLine * lineHeight + SolutionState().TopOffset + lineHeight / 2;
    button->move(listing.ButtonLeft - horizontalScrollBar()->value(),
                 centre - button->height() / 2 - verticalScrollBar()->value());
    button->show();
  } else {
    button->hide();
  }
  const bool repaint = listing.RepaintWanted;
  form_->listing_ = std::move(listing);
  if (repaint) viewport()->update();
}

void TSolutionView::mousePressEvent(QMouseEvent* event) {
  const QPoint content = event->position().toPoint() +
                         QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
  form_->Click(content, event->button());
}

void TSolutionView::mouseDoubleClickEvent(QMouseEvent* event) {
  const QPoint content = event->position().toPoint() +
                         QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
  form_->DoubleClick(content);
}

void TSolutionView::keyPressEvent(QKeyEvent* event) {
  QScrollBar* v = verticalScrollBar();
  QScrollBar* h = horizontalScrollBar();
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      form_->EnterKey();
      break;
    case Qt::Key_PageUp:
      v->setValue(v->value() - v->pageStep());
      break;
    case Qt::Key_PageDown:
      v->setValue(v->value() + v->pageStep());
      break;
    case Qt::Key_End:
      v->setValue(v->maximum());
      break;
    case Qt::Key_Home:
      v->setValue(0);
      h->setValue(0);
      break;
    case Qt::Key_Up:
      v->setValue(v->value() - v->singleStep());
      break;
    case Qt::Key_Down:
      v->setValue(v->value() + v->singleStep());
      break;
    case Qt::Key_Left:
      h->setValue(h->value() - h->singleStep());
      break;
    case Qt::Key_Right:
      h->setValue(h->value() + h->singleStep());
      break;
    default:
      QAbstractScrollArea::keyPressEvent(event);
      return;
  }
  event->accept();
}

void TSolutionView::RepaintNow() {
  resizeDeferred_ = false;
  viewport()->repaint();
}

void TSolutionView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  RepaintAfterResize(this, resizeRule_, resizeDeferred_, DeferredRepaintMs);
}

// --- The form ------------------------------------------------------------------

TSolutionForm::TSolutionForm(QWidget* parent) : TGForm(parent) {
  Tag = kSolutionWindow;
  setProperty("helpContext", 3);
  setWindowTitle(QStringLiteral("Solution"));
  auto* client = new QWidget(this);
  auto* layout = new QVBoxLayout(client);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  tabs_ = new QTabBar(client);
  QFont tabFont(QStringLiteral("Sans Serif"));
  tabFont.setPointSize(8);
  tabs_->setFont(tabFont);
  tabs_->setFixedHeight(27);
  tabs_->setExpanding(false);
  view_ = new TSolutionView(this);
  view_->setParent(client);
  layout->addWidget(tabs_);
  layout->addWidget(view_);
  // The keys of the window (the arrows, Page Up and Down, Enter) go to the
  // listing whenever the window gets the focus.
  client->setFocusProxy(view_);
  setWidget(client);
  chkUnits_ = new QPushButton(QStringLiteral("Check Units"), view_->viewport());
  QFont bold = chkUnits_->font();
  bold.setBold(true);
  chkUnits_->setFont(bold);
  chkUnits_->adjustSize();
  chkUnits_->hide();
  connect(tabs_, &QTabBar::currentChanged, this, [this](int index) {
    if (rebuildingTabs_) return;
    SolutionState().SelectedTab = index;
    chkUnits_->hide();
    view_->viewport()->update();
  });
  connect(chkUnits_, &QPushButton::clicked, this, [] {
    if (TVOQ_D* main = MainWindow()) {
      if (QAction* check = main->Action("CheckUnits1")) check->trigger();
    }
    ClearUnitsCheck();
  });
  tabs_->hide();
  setObjectName(QStringLiteral("SolutionForm"));
  resize(435, 300);
  // Activation rebuilds the tabs and clears the unit-check marks.
  connect(this, &QMdiSubWindow::aboutToActivate, this, [this] { FormActivate(); });
}

void TSolutionForm::showEvent(QShowEvent* event) {
  TGForm::showEvent(event);
  FormActivate();
}

bool TSolutionForm::IsActiveChild() const { return ActiveChildWindow == kSolutionWindow || mdiArea() == nullptr; }

void TSolutionForm::RebuildTabs() {
  const TSolutionState& state = SolutionState();
  rebuildingTabs_ = true;
  while (tabs_->count() > 0) tabs_->removeTab(0);
  for (const TSolutionTab& tab : state.Tabs) {
    const int i = tabs_->addTab(ToQt(tab.Name));
    tabs_->setTabData(i, tab.Object);
  }
  tabs_->setCurrentIndex(state.SelectedTab);
  tabs_->setVisible(state.TabsShown);
  rebuildingTabs_ = false;
}

void TSolutionForm::FormActivate() {
  setWindowTitle(Preferences.ComplexMode != 0 ? QStringLiteral("Solution (Complex Mode)") : QStringLiteral("Solution"));
  ActivateSolution(SolutionState(), Ticks());
  RebuildTabs();
  view_->verticalScrollBar()->setValue(0);
  view_->horizontalScrollBar()->setValue(0);
  view_->viewport()->update();
}

void TSolutionForm::ResButtonClick() { ResidualsCommand(); }

void TSolutionForm::Unselect() {
  UnselectSolution(SolutionState());
  view_->viewport()->update();
}

void TSolutionForm::SelectAll() {
  Unselect();
  SolutionState().SelectAllPaint = true;
  view_->RepaintNow();
  SolutionState().SelectAllPaint = false;
  view_->viewport()->update();
}

void TSolutionForm::Undo() {
  doUndo();
  view_->viewport()->update();
}

QImage TSolutionForm::Picture(double scale) {
  TSolutionState& state = SolutionState();
  const int widthPixels = view_->viewport()->width();
  state.RecordingPicture = true;
  // A first pass finds the extent of the content.
  QImage probe(1, 1, QImage::Format_RGB32);
  TSolutionListing listing;
  {
    QPainter painter(&probe);
    listing = view_->Draw(painter, widthPixels, QPoint(0, 0), false);
  }
  const int width = std::max(listing.HorizontalRange, 50);
  const int height = std::max(listing.VerticalRange, 20);
  QImage image(int(width * scale), int(height * scale), QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    painter.scale(scale, scale);
    view_->Draw(painter, widthPixels, QPoint(0, 0), false);
  }
  state.RecordingPicture = false;
  return image;
}

QImage TSolutionForm::CopytoClip(bool ctrlHeld) {
  const std::string text = SolutionClipboardText(SolutionState());
  auto* data = new QMimeData;
  data->setText(ToQt(text));
  QImage picture;
  if (!ctrlHeld) {
    picture = Picture(2.0);
    data->setImageData(picture);
  }
  QGuiApplication::clipboard()->setMimeData(data);
  if (MacroRecording) MacroText += "COPY SolutionWindow\r\n";
  Unselect();
  return picture;
}

bool TSolutionForm::SaveSolutionFile(const std::string& file, bool append) { return SaveSolution(file, append); }

void TSolutionForm::OpenFormatDialog(int32_t index, int32_t routine, TLocalVariableRecord* local) {
  TFormatSolnDlg dialog(this, index, routine, local);
  dialog.exec();
  view_->viewport()->update();
}

void TSolutionForm::Click(QPoint content, Qt::MouseButton button) {
  if (button == Qt::RightButton) {
    DoubleClick(content);
    return;
  }
  if (button != Qt::LeftButton) return;
  ClickSolution(SolutionState(), content.x(), content.y(), Ticks(), IsActiveChild());
  view_->viewport()->update();
}

void TSolutionForm::DoubleClick(QPoint content) {
  TSolutionState& state = SolutionState();
  bool opened = false;
  if (const int32_t j = SelectedRoutine(state); j > 0) {
    if (TLocalVariableRecord* l = LocalAt(state, content.x(), content.y())) {
      SetLocalSelected(*l, true);
      state.LastLocal = l;
    }
    if (state.LastLocal != nullptr) {
      OpenFormatDialog(0, j, state.LastLocal);
      opened = true;
    }
  }
  if (!opened) {
    int32_t unitIndex = 0;
    if (TVariableRecord* v = VariableAt(content.x(), content.y(), &unitIndex)) {
      if (v->DisplayCode > 0) v->DisplayCode = int16_t(-v->DisplayCode);
      TProgramUnitRecord* unit = ProgramUnitList[size_t(unitIndex)];
      int32_t index = 0;
      for (int32_t k = 1; k <= unit->VariableCount; ++k)
        if (unit->Variable(k) == v) index = k;
      CurrentProgramUnit = unit;
      OpenFormatDialog(index, 0, nullptr);
      opened = true;
    } else if (state.LastSelected > 0 && size_t(state.LastSelectedUnit) < ProgramUnitList.size()) {
      CurrentProgramUnit = ProgramUnitList[size_t(state.LastSelectedUnit)];
      OpenFormatDialog(state.LastSelected, 0, nullptr);
      opened = true;
    }
    CurrentProgramUnit = MainProgramUnit;
  }
  Unselect();
  // The second click of the double click selects nothing.
  state.ActivationTicks = Ticks();
}

void TSolutionForm::EnterKey() {
  TSolutionState& state = SolutionState();
  TProgramUnitRecord* unit = MainProgramUnit;
  int32_t index = 0;
  if (state.LastSelected > 0 && size_t(state.LastSelectedUnit) < ProgramUnitList.size()) {
    TProgramUnitRecord* u = ProgramUnitList[size_t(state.LastSelectedUnit)];
    if (TVariableRecord* v = u->Variable(state.LastSelected); v != nullptr && v->DisplayCode < 0) {
      unit = u;
      index = state.LastSelected;
    }
  }
  if (index == 0 && unit != nullptr) {
    for (int32_t k = 1; k <= unit->UsedVariableCount && index == 0; ++k) {
      const int32_t i = unit->UsedVariableList[size_t(k)];
      if (TVariableRecord* v = unit->Variable(i); v != nullptr && v->DisplayCode < 0) index = i;
    }
  }
  if (index == 0 && state.LastSelected > 0 && size_t(state.LastSelectedUnit) < ProgramUnitList.size()) {
    unit = ProgramUnitList[size_t(state.LastSelectedUnit)];
    index = state.LastSelected;
  }
  if (index == 0) return;
  CurrentProgramUnit = unit;
  OpenFormatDialog(index, 0, nullptr);
  CurrentProgramUnit = MainProgramUnit;
  Unselect();
}

void TSolutionForm::closeEvent(QCloseEvent* event) {
  // The window is not destroyed, only hidden.
  event->ignore();
  Unselect();
  Hide();
  if (ActiveChildWindow == kSolutionWindow) {
    if (QMdiArea* area = mdiArea()) area->activateNextSubWindow();
  }
}

TGForm* CreateSolutionWindow() { return new TSolutionForm; }

TSolutionForm* EnsureSolutionForm() {
  if (auto* form = dynamic_cast<TSolutionForm*>(WindowList[kSolutionWindow])) return form;
  TVOQ_D* main = MainWindow();
  auto* form = new TSolutionForm(main != nullptr ? main->MdiArea() : nullptr);
  if (main != nullptr) main->MdiArea()->addSubWindow(form);
  form->hide();
  form->IsShown = false;
  WindowList[kSolutionWindow] = form;
  return form;
}

void ShowSolutionWindow() {
  TSolutionForm* form = EnsureSolutionForm();
  if (TVOQ_D* main = MainWindow()) {
    main->ShowAndFocus(kSolutionWindow);
  } else {
    form->Show();
  }
  form->FormActivate();
}

}  // namespace voq

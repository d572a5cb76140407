#include "tables/qt/table_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QStyle>
#include <QTabBar>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/host.h"
#include "platform/qt/qt_platform.h"
#include "results/qt_canvas.h"
#include "tables/qt/tab_info_dlg.h"
#include "tables/table_print.h"
#include "tables/tables_state.h"

namespace voq {

namespace {

QString ToQt(const std::string& bytes) { return QString::fromStdString(Cp1252ToUtf8(bytes)); }
std::string FromQt(const QString& text) { return Utf8ToCp1252(text.toStdString()); }

}  // namespace

// ---------------------------------------------------------------- the grid

TTableGridView::TTableGridView(TTableWindow* window) : QAbstractScrollArea(window), window_(window) {
  setFrameShape(QFrame::NoFrame);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  editor_ = new QLineEdit(viewport());
  editor_->setFrame(false);
  editor_->setAlignment(Qt::AlignRight);
  editor_->hide();
  editor_->installEventFilter(this);
  QObject::connect(editor_, &QLineEdit::textEdited, [this](const QString& text) {
    TTableForm* f = window_->grid_.Form();
    if (f == nullptr) return;
    window_->grid_.GridSetEditText(f->Selection.Left, f->Selection.Top, FromQt(text));
  });
}

void TTableGridView::SyncScrollBars() {
  TTableForm* f = window_->grid_.Form();
  if (f == nullptr) return;
  // A scroll bar only while some rows or columns are out of view; its
  // value is the first scrolled row or column shown.
  const TTableGrid& grid = window_->grid_;
  const bool allRows = grid.TotalHeight() <= viewport()->height();
  const bool allCols = grid.TotalWidth() <= viewport()->width();
  verticalScrollBar()->setRange(1, allRows ? 1 : std::max(1, f->GridRowCount - 1));
  horizontalScrollBar()->setRange(1, allCols ? 1 : std::max(1, f->GridColCount - 1));
  if (allRows) f->TopRow = 1;
  if (allCols) f->LeftCol = 1;
  verticalScrollBar()->setValue(f->TopRow);
  horizontalScrollBar()->setValue(f->LeftCol);
}

void TTableGridView::scrollContentsBy(int, int) {
  TTableForm* f = window_->grid_.Form();
  if (f == nullptr) return;
  f->TopRow = verticalScrollBar()->value();
  f->LeftCol = horizontalScrollBar()->value();
  if (editor_->isVisible()) {
    const TRect r = window_->grid_.CellRect(f->Selection.Left, f->Selection.Top);
    editor_->setGeometry(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
  }
  viewport()->update();
}

void TTableGridView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  QtCanvas canvas(painter);
  window_->grid_.DrawGrid(canvas, viewport()->width(), viewport()->height(), hasFocus() || editor_->hasFocus());
}

void TTableGridView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  SyncScrollBars();
}

void TTableGridView::OpenEditor(const QString* text) {
  TTableGrid& grid = window_->grid_;
  TTableForm* f = grid.Form();
  if (f == nullptr || !grid.EditingEnabled()) return;
  const int32_t col = f->Selection.Left;
  const int32_t row = f->Selection.Top;
  if (col < 1 || row < 1 || row > TableRowCounts[size_t(grid.Kind)]) return;
  const TRect r = grid.CellRect(col, row);
  if (r.Right <= r.Left) return;
  editor_->setFont(QtCanvas::ToQFont(grid.GridFont()));
  editor_->setGeometry(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
  editor_->setText(text != nullptr ? *text : ToQt(grid.GridGetEditText(col, row)));
  if (text != nullptr) grid.GridSetEditText(col, row, FromQt(*text));
  editor_->show();
  editor_->setFocus();
}

bool TTableGridView::CommitEditor() {
  TTableGrid& grid = window_->grid_;
  if (grid.RegisterEdit() == 0) {
    // Refused: the editor keeps the text and the focus.
    TTableForm* f = grid.Form();
    if (f != nullptr) {
      const TRect r = grid.CellRect(f->EditCol, f->EditRow);
      editor_->setGeometry(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
      editor_->show();
      editor_->setFocus();
    }
    viewport()->update();
    return false;
  }
  editor_->hide();
  setFocus();
  viewport()->update();
  return true;
}

bool TTableGridView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == editor_ && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      TTableGrid& grid = window_->grid_;
      TTableForm* f = grid.Form();
      if (!CommitEditor() || f == nullptr) return true;
      if (f->Selection.Top < f->GridRowCount - 1) grid.SelectCell(f->Selection.Left, f->Selection.Top + 1, false);
      viewport()->update();
      return true;
    }
    if (key->key() == Qt::Key_Escape) {
      TTableForm* f = window_->grid_.Form();
      if (f != nullptr && f->EditRejected == 0) {
        f->EditRow = -1;
        editor_->hide();
        setFocus();
      }
      return true;
    }
  }
  return QAbstractScrollArea::eventFilter(watched, event);
}

void TTableGridView::mousePressEvent(QMouseEvent* event) {
  TTableGrid& grid = window_->grid_;
  if (!grid.PressAllowed(Platform().TickCount())) return;
  const QPoint p = event->position().toPoint();
  const bool shift = event->modifiers() & Qt::ShiftModifier;
  if (event->button() == Qt::RightButton) {
    int32_t col = 0, row = 0;
    if (grid.CellAt(p.x(), p.y(), col, row)) window_->ContextPopup(col, row, event->globalPosition().toPoint());
    return;
  }
  if (event->button() == Qt::LeftButton) {
    if (editor_->isVisible() && !CommitEditor()) return;
    if (grid.BeginColumnSizing(p.x(), p.y())) return;
    if (grid.LeftPress(p.x(), p.y(), shift, window_->dialogs_)) {
      window_->Refresh();
      viewport()->update();
      return;
    }
    int32_t col = 0, row = 0;
    if (grid.CellAt(p.x(), p.y(), col, row)) {
      TTableForm* f = grid.Form();
      if (shift && f != nullptr && col >= 1 && row >= 1) {
        // Range selection from the anchor cell.
        f->Selection.Right = std::max(col, f->Selection.Left);
        f->Selection.Left = std::min(col, f->Selection.Left);
        f->Selection.Bottom = std::max(row, f->Selection.Top);
        f->Selection.Top = std::min(row, f->Selection.Top);
        grid.ShiftChanged(true);
      } else {
        grid.SelectCell(col, row, event->modifiers() & Qt::ControlModifier);
      }
    }
    viewport()->update();
  }
}

void TTableGridView::mouseDoubleClickEvent(QMouseEvent* event) {
  mousePressEvent(event);
  // A double press on a header border sizes the column, nothing more.
  if (window_->grid_.ColumnSizing()) return;
  OpenEditor(nullptr);
}

void TTableGridView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  TTableGrid& grid = window_->grid_;
  if (grid.ColumnSizing()) {
    grid.ColumnSizingMove(p.x());
    SyncScrollBars();
    viewport()->update();
    return;
  }
  if (grid.ColumnBorderAt(p.x(), p.y()) != 0) {
    viewport()->setCursor(Qt::SplitHCursor);
    return;
  }
  const std::string hint = window_->grid_.HintAt(p.x(), p.y());
  int32_t col = 0, row = 0;
  const bool inGrid = window_->grid_.CellAt(p.x(), p.y(), col, row);
  viewport()->setCursor(inGrid && col >= 1 && row >= 1 ? Qt::IBeamCursor : Qt::ArrowCursor);
  if (hint.empty()) QToolTip::hideText();
  else QToolTip::showText(event->globalPosition().toPoint(), ToQt(hint), viewport());
}

void TTableGridView::mouseReleaseEvent(QMouseEvent*) {
  TTableGrid& grid = window_->grid_;
  grid.LeftButtonDown = false;
  // A changed width sizes the window to whole columns again.
  if (grid.ColumnSizing() && grid.EndColumnSizing()) window_->SnapToGrid();
  viewport()->update();
}

void TTableGridView::keyPressEvent(QKeyEvent* event) {
  TTableGrid& grid = window_->grid_;
  TTableForm* f = grid.Form();
  if (f == nullptr) return;
  switch (event->key()) {
    case Qt::Key_Shift:
      grid.ShiftChanged(true);
      break;
    case Qt::Key_Delete:
      grid.DeleteKey();
      break;
    case Qt::Key_C:
    case Qt::Key_X:
    case Qt::Key_V:
      if (event->modifiers() & Qt::ControlModifier) {
        // The cells menu's Copy, Cut and Paste by their keys.
        const char* item = event->key() == Qt::Key_C ? "Copy1" : event->key() == Qt::Key_X ? "Cut1" : "Paste1";
        QTimer::singleShot(0, window_, [w = window_, item] { w->MenuItemChosen(item, 0); });
        break;
      }
      if (!event->text().isEmpty() && event->text().at(0).isPrint()) {
        const QString typed = event->text();
        OpenEditor(&typed);
      }
      break;
    case Qt::Key_Home:
      grid.HomeKey();
      SyncScrollBars();
      break;
    case Qt::Key_End:
      grid.EndKey();
      SyncScrollBars();
      break;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right: {
      const int dc = event->key() == Qt::Key_Left ? -1 : event->key() == Qt::Key_Right ? 1 : 0;
      const int dr = event->key() == Qt::Key_Up ? -1 : event->key() == Qt::Key_Down ? 1 : 0;
      grid.SelectCell(f->Selection.Left + dc, f->Selection.Top + dr, false);
      break;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F2:
      OpenEditor(nullptr);
      break;
    default:
      if (!event->text().isEmpty() && event->text().at(0).isPrint()) {
        const QString typed = event->text();
        OpenEditor(&typed);
      }
      break;
  }
  viewport()->update();
}

void TTableGridView::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Shift) {
    window_->grid_.ShiftChanged(false);
    viewport()->update();
  }
}

// ---------------------------------------------------------------- the window

TTableWindow::TTableWindow(int32_t kind, TableGridDialogs* dialogs, QWidget* parent)
    : TGForm(parent), grid_(kind), dialogs_(dialogs) {
  if (dialogs_ == nullptr) {
    ownDialogs_ = std::make_unique<TQtTableDialogs>(this);
    dialogs_ = ownDialogs_.get();
  }
  Tag = TableKindToWindowTag(kind);
  setAttribute(Qt::WA_DeleteOnClose, false);
  auto* client = new QWidget(this);
  auto* layout = new QVBoxLayout(client);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  if (kind == kParametricTableKind || kind == kLookupTableKind) {
    tabs_ = new QTabBar(client);
    tabs_->setShape(QTabBar::RoundedSouth);
    tabs_->setExpanding(false);
    tabs_->setDrawBase(false);
    tabs_->installEventFilter(this);
    QObject::connect(tabs_, &QTabBar::currentChanged, [this](int index) { TabChanged(index); });
  }
  view_ = new TTableGridView(this);
  layout->addWidget(view_);
  if (tabs_ != nullptr) layout->addWidget(tabs_);
  setWidget(client);
  grid_.SetFont(logicalDpiX() > 0 ? logicalDpiX() : 96);
  resize(591, 413);
  Refresh();
  hide();
}

TTableWindow::~TTableWindow() {
  if (menu_ != nullptr) delete menu_.data();
}

void TTableWindow::Refresh() {
  TTableForm* f = grid_.Form();
  if (f == nullptr) return;
  setWindowTitle(ToQt(f->Caption.empty() ? "Table" : f->Caption));
  if (tabs_ != nullptr) {
    rebuilding_ = true;
    while (tabs_->count() > 0) tabs_->removeTab(0);
    for (const std::string& caption : f->TabCaptions) tabs_->addTab(ToQt(caption));
    tabs_->setCurrentIndex(std::max(0, f->TabIndex));
    shownTab_ = tabs_->currentIndex();
    rebuilding_ = false;
  }
  f->ManageRowInfo();
  view_->SyncScrollBars();
  view_->viewport()->update();
}

void TTableWindow::FormActivate() {
  grid_.Activate(Platform().TickCount());
  view_->viewport()->update();
}

void TTableWindow::TabChanged(int index) {
  if (rebuilding_ || index == shownTab_) return;
  if (view_->Editor()->isVisible() && grid_.RegisterEdit() == 0) {
    // The pending edit is refused: the old tab stays.
    rebuilding_ = true;
    tabs_->setCurrentIndex(shownTab_);
    rebuilding_ = false;
    view_->Editor()->setFocus();
    return;
  }
  if (!grid_.ChangeTab(index)) {
    rebuilding_ = true;
    tabs_->setCurrentIndex(shownTab_);
    rebuilding_ = false;
    return;
  }
  view_->Editor()->hide();
  shownTab_ = index;
  Refresh();
}

bool TTableWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == tabs_ && event->type() == QEvent::MouseButtonPress) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::RightButton) {
      const int index = tabs_->tabAt(mouse->position().toPoint());
      if (index < 0) return true;
      grid_.TabRightPress(index, *dialogs_);
      if (grid_.Form() == nullptr) {
        if (OnFreed) OnFreed();
        deleteLater();
        return true;
      }
      Refresh();
      return true;
    }
  }
  return TGForm::eventFilter(watched, event);
}

void TTableWindow::PrintSelection() {
  TTableForm* f = grid_.Form();
  if (f == nullptr) return;
  grid_.PrintSelectionOnly = 1;
  PrintTableSelection(*f, DocumentName ? DocumentName() : std::string());
  grid_.PrintSelectionOnly = 0;
}

bool TTableWindow::Print(const std::string& title) {
  TTableForm* f = grid_.Form();
  if (f == nullptr) return false;
  if (grid_.RegisterEdit() == 0) return false;
  grid_.PrintSelectionOnly = 0;
  return PrintTableJob(*f, title, false);
}

void TTableWindow::ContextPopup(int32_t col, int32_t row, const QPoint& global) {
  TTableForm* f = grid_.Form();
  if (f == nullptr) return;
  if (menu_ != nullptr) delete menu_.data();
  // The window comes to the front first.
  if (QMdiArea* area = mdiArea(); area != nullptr && area->activeSubWindow() != this) area->setActiveSubWindow(this);
  std::string clip;
  const bool clipboardText = Platform().GetClipboardText(clip) && !clip.empty();
  const bool editingCell = view_->Editor()->isVisible() && f->Selection.Left == col && f->Selection.Top == row;
  const TTablePopup popup = grid_.ContextPopup(col, row, editingCell, clipboardText, dialogs_);
  view_->viewport()->update();
  if (popup.Menu == kNoTableMenu) {
    Refresh();
    return;
  }
  // The menu lives until the next one or the window goes: a command it
  // runs may open a modal box after the menu has closed.
  auto* menu = new QMenu(this);
  const QSize swatch(28, 12);
  auto addItem = [this, &swatch](QMenu* into, const TTableMenuItem& item) {
    if (item.Separator) {
      into->addSeparator();
      return;
    }
    QAction* action = into->addAction(ToQt(item.Caption));
    action->setObjectName(QString::fromStdString(item.Name));
    action->setEnabled(item.Enabled);
    if (!item.Shortcut.empty()) {
      action->setShortcut(QKeySequence(QString::fromStdString(item.Shortcut)));
      action->setShortcutVisibleInContextMenu(true);
    }
    if (item.Tag >= 0 && item.Tag <= 7 && into->objectName() == "BackgroundColor1") {
      // The colour items show their colour.
      QPixmap pixmap(swatch);
      const TRgb colour = TableBackgroundColors[size_t(item.Tag)];
      pixmap.fill(QColor(int(RedOf(colour)), int(GreenOf(colour)), int(BlueOf(colour))));
      QPainter frame(&pixmap);
      frame.setPen(Qt::black);
      frame.drawRect(0, 0, swatch.width() - 1, swatch.height() - 1);
      frame.end();
      action->setIcon(QIcon(pixmap));
    }
    const std::string name = item.Name;
    const int32_t tag = item.Tag;
    // The command runs once the menu is gone, from the event loop.
    QObject::connect(action, &QAction::triggered, this, [this, name, tag] {
      QTimer::singleShot(0, this, [this, name, tag] { MenuItemChosen(name, tag); });
    });
  };
  for (const TTableMenuItem& item : popup.Items) {
    if (!item.Items.empty()) {
      QMenu* sub = menu->addMenu(ToQt(item.Caption));
      sub->setObjectName(QString::fromStdString(item.Name));
      sub->menuAction()->setObjectName(QString::fromStdString(item.Name));
      sub->setEnabled(item.Enabled);
      for (const TTableMenuItem& s : item.Items) addItem(sub, s);
      continue;
    }
    addItem(menu, item);
  }
  menu_ = menu;
  menu->popup(global);
}

void TTableWindow::MenuItemChosen(const std::string& item, int32_t tag) {
  if (grid_.Form() == nullptr) return;
  if (item == "PrintSelection1") {
    PrintSelection();
  } else {
    grid_.MenuCommand(item, tag, *dialogs_);
  }
  if (grid_.Form() != nullptr) {
    Refresh();
    return;
  }
  // The command deleted the window's last table: the window goes too.
  if (OnFreed) OnFreed();
  deleteLater();
}

void TTableWindow::SnapToGrid() {
  if (snapping_ || isMaximized() || isMinimized() || grid_.Form() == nullptr) return;
  QStyle* st = style();
  TTableWindowMetrics m;
  m.PixelsPerInch = logicalDpiX() > 0 ? logicalDpiX() : 96;
  m.InTabStrip = tabs_ != nullptr;
  m.TabStripHeight = tabs_ != nullptr ? tabs_->sizeHint().height() : 0;
  m.TabMargin = 0;
  // A frameless window (one outside a main window's work area) has no
  // caption or edges of its own.
  const bool framed = mdiArea() != nullptr || !isWindow();
  m.CaptionHeight = framed ? st->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this) : 0;
  m.EdgeWidth = framed ? st->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, this) : 0;
  m.ScrollBarWidth = st->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view_);
  m.ScrollBarHeight = m.ScrollBarWidth;
  m.GridClientHeight = view_->viewport()->height();
  m.GridHeight = view_->height();
  const TTableWindowSize size = grid_.SnapSize(width(), height(), m);
  // The sizing rule counts four edges across; a child window here has two.
  const int32_t w = std::max(size.Width - 2 * m.EdgeWidth, minimumSizeHint().width());
  const int32_t h = std::max(size.Height, minimumSizeHint().height());
  if (w == width() && h == height()) return;
  snapping_ = true;
  resize(w, h);
  snapping_ = false;
  view_->SyncScrollBars();
}

void TTableWindow::resizeEvent(QResizeEvent* event) {
  TGForm::resizeEvent(event);
  grid_.CopyColumnWidths();
  SnapToGrid();
}

QImage TTableWindow::Picture() {
  QWidget* w = widget();
  return w != nullptr ? w->grab().toImage() : QImage();
}

void TTableWindow::showEvent(QShowEvent* event) {
  TGForm::showEvent(event);
  FormActivate();
}

bool TTableWindow::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) FormActivate();
  return TGForm::event(event);
}

void TTableWindow::closeEvent(QCloseEvent* event) {
  // Closing only hides the window; its tables stay.
  event->ignore();
  Hide();
}

}  // namespace voq

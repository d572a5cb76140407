#include "shell/dvar_info_dlg.h"

#include <QAbstractTableModel>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

#include "core/messages.h"
#include "core/program_flags.h"
#include "model/store_state.h"
#include "platform/qt/qt_platform.h"
#include "shell/gform.h"
#include "shell/main_window.h"

namespace voq {

namespace {

constexpr const char* kDviFilter = "Default Var Info (*.dvi)";

// The cells as the Qt grid reads and writes them.
class CellDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor); line != nullptr && index.column() == kUnitsColumn)
      line->setMaxLength(30);
    open_ = editor;
    return editor;
  }
  void destroyEditor(QWidget* editor, const QModelIndex& index) const override {
    if (open_ == editor) open_.clear();
    QStyledItemDelegate::destroyEditor(editor, index);
  }
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    // The numbers end 8 pixels before the cell's right edge.
    QStyleOptionViewItem o(option);
    if (index.column() >= kGuessColumn && index.column() <= kUpperColumn) o.rect.adjust(0, 0, -5, 0);
    QStyledItemDelegate::paint(painter, o, index);
  }
  // Commits and closes the open editor, if any (OK and Store read what is
  // being typed).
  void CommitOpenEditor() {
    if (open_.isNull()) return;
    QWidget* editor = open_;
    open_.clear();
    emit commitData(editor);
    emit closeEditor(editor, QAbstractItemDelegate::NoHint);
  }

 private:
  mutable QPointer<QWidget> open_;
};

// The column captions over the grid: "First" and "Letter" over column 0,
// "Display" over the style and digits columns together.
class CaptionStrip : public QWidget {
 public:
  CaptionStrip(QWidget* parent, QTableView* view) : QWidget(parent), view_(view) {
    setFixedHeight(2 * fontMetrics().height() + 4);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const int x0 = view_->x() - x() + view_->frameWidth();
    auto span = [&](int first, int last) {
      const QHeaderView* h = view_->horizontalHeader();
      return QRect(x0 + h->sectionPosition(first), 0,
                   h->sectionPosition(last) + h->sectionSize(last) - h->sectionPosition(first), height());
    };
    const int line = fontMetrics().height();
    const QRect letter = span(kLetterColumn, kLetterColumn);
    painter.drawText(QRect(letter.left(), 2, letter.width(), line), Qt::AlignCenter, QStringLiteral("First"));
    painter.drawText(QRect(letter.left(), 2 + line, letter.width(), line), Qt::AlignCenter, QStringLiteral("Letter"));
    // The other captions share the lower line with "Letter".
    auto caption = [&](int first, int last, const QString& text) {
      const QRect r = span(first, last);
      painter.drawText(QRect(r.left(), 2 + line, r.width(), line), Qt::AlignCenter | Qt::TextDontClip, text);
    };
    caption(kGuessColumn, kGuessColumn, QStringLiteral("Guess"));
    caption(kLowerColumn, kLowerColumn, QStringLiteral("Lower"));
    caption(kUpperColumn, kUpperColumn, QStringLiteral("Upper"));
    caption(kStyleColumn, kDigitsColumn, QStringLiteral("Display"));
    caption(kUnitsColumn, kUnitsColumn, QStringLiteral("Units"));
  }

 private:
  QTableView* view_;
};

class QtDviChooser : public DviFileChooser {
 public:
  explicit QtDviChooser(QWidget* owner) : owner_(owner) {}
  bool AskSaveName(std::string& path) override {
    QFileDialog dialog(owner_);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    return Run(dialog, path);
  }
  bool AskOpenName(std::string& path) override {
    QFileDialog dialog(owner_, QStringLiteral("Load Default Variable Information"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return Run(dialog, path);
  }

 private:
  static bool Run(QFileDialog& dialog, std::string& path) {
    dialog.setNameFilter(QString::fromLatin1(kDviFilter));
    dialog.setDefaultSuffix(QStringLiteral("DVI"));
    if (!path.empty()) dialog.selectFile(QString::fromStdString(Cp1252ToUtf8(path)));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    path = Utf8ToCp1252(dialog.selectedFiles().first().toStdString());
    return true;
  }
  QWidget* owner_;
};

// New defaults can change what the Solution window lists (units, formats,
// hidden entries).
void RepaintShownSolutionWindow() {
  if (TGForm* form = WindowList[kSolutionWindow]; form != nullptr && form->IsShown) form->update();
}

}  // namespace

class TDVarInfoDlg::CellModel : public QAbstractTableModel {
 public:
  CellModel(QObject* parent, TDefaultVarInfoGrid& grid) : QAbstractTableModel(parent), grid_(grid) {}
  int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : kDviGridRows; }
  int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : kDviGridColumns; }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid()) return {};
    const int column = index.column();
    switch (role) {
      case Qt::DisplayRole:
      case Qt::EditRole:
        return QString::fromStdString(Cp1252ToUtf8(grid_.CellText(index.row(), column)));
      case Qt::TextAlignmentRole:
        if (column >= kGuessColumn && column <= kUpperColumn) return int(Qt::AlignRight | Qt::AlignVCenter);
        if (column == kUnitsColumn) return int(Qt::AlignLeft | Qt::AlignVCenter);
        return int(Qt::AlignCenter);
      case Qt::ForegroundRole:
        if (column == kDigitsColumn && grid_.DigitsGrey(index.row())) return QColor(128, 128, 128);
        return {};
      default:
        return {};
    }
  }
  Qt::ItemFlags flags(const QModelIndex& index) const override {
    if (!index.isValid() || index.column() == kLetterColumn) return Qt::ItemIsEnabled;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (TDefaultVarInfoGrid::Selectable(index.column())) f |= Qt::ItemIsEditable;
    return f;
  }
  bool setData(const QModelIndex& index, const QVariant& value, int role) override {
    if (!index.isValid() || role != Qt::EditRole) return false;
    const bool ok = grid_.SetEditText(index.row(), index.column(), Utf8ToCp1252(value.toString().toStdString()));
    // The guess is shown in the row's own format.
    RowChanged(index.row());
    return ok;
  }
  void RowChanged(int row) { emit dataChanged(index(row, 0), index(row, kDviGridColumns - 1)); }
  void AllChanged() { emit dataChanged(index(0, 0), index(kDviGridRows - 1, kDviGridColumns - 1)); }

 private:
  TDefaultVarInfoGrid& grid_;
};

TDVarInfoDlg::TDVarInfoDlg(QWidget* parent, MacroRecorder& recorder, DviFileChooser* chooser)
    : QDialog(parent), recorder_(recorder), chooser_(chooser) {
  if (chooser_ == nullptr) {
    qtChooser_ = std::make_unique<QtDviChooser>(this);
    chooser_ = qtChooser_.get();
  }
  setWindowTitle(QStringLiteral("Default Variable Information"));
  setModal(true);
  setProperty("helpContext", 39);

  cells_ = new CellModel(this, grid_);
  view_ = new QTableView(this);
  view_->setModel(cells_);
  view_->setItemDelegate(new CellDelegate(view_));
  view_->horizontalHeader()->hide();
  view_->verticalHeader()->hide();
  view_->setSelectionMode(QAbstractItemView::SingleSelection);
  view_->setSelectionBehavior(QAbstractItemView::SelectItems);
  view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  view_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                         QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
  captions_ = new CaptionStrip(this, view_);
  LayOutColumns();

  styleMenu_ = MakeMenu({{"&Auto", 3}, {"&Fixed decimal", 1}, {"&Exponential", 0}, {"&Hidden", 2}}, true);
  digitMenu_ = MakeMenu({{"0", 0}, {"1", 1}, {"2", 2}, {"3", 3}, {"4", 4}, {"5", 5}, {"6", 6}, {"7", 7}, {"8", 8}, {"9", 9}},
                        false);

  okBtn_ = new QPushButton(QStringLiteral("OK"), this);
  store_ = new QPushButton(QStringLiteral("Store"), this);
  loadBtn_ = new QPushButton(QStringLiteral("Load"), this);
  cancelBtn_ = new QPushButton(QStringLiteral("Cancel"), this);
  // Enter belongs to the grid's editor.
  for (QPushButton* b : {okBtn_, store_, loadBtn_, cancelBtn_}) b->setAutoDefault(false);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  for (QPushButton* b : {okBtn_, store_, loadBtn_, cancelBtn_}) buttons->addWidget(b);
  auto* layout = new QVBoxLayout(this);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  layout->addWidget(captions_);
  layout->addWidget(view_);
  layout->addSpacing(4);
  layout->addLayout(buttons);

  connect(view_, &QTableView::pressed, this, [this](const QModelIndex& index) {
    GridMouseDown(index.row(), index.column());
  });
  connect(okBtn_, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  connect(store_, &QPushButton::clicked, this, [this] { StoreClick(); });
  connect(loadBtn_, &QPushButton::clicked, this, [this] { LoadBTNClick(); });
  connect(cancelBtn_, &QPushButton::clicked, this, [this] { CancelBtnClick(); });

  grid_.FormActivate();
  // The cursor starts in the guess column.
  view_->setCurrentIndex(cells_->index(0, kGuessColumn));
  view_->setFocus();
}

TDVarInfoDlg::~TDVarInfoDlg() = default;

void TDVarInfoDlg::LayOutColumns() {
  const int dpi = logicalDpiY();
  auto scaled = [dpi](int pixels) { return pixels * dpi / 96; };
  const int rowHeight = dpi > 100 ? 20 : 19;
  view_->verticalHeader()->setMinimumSectionSize(1);
  view_->verticalHeader()->setDefaultSectionSize(rowHeight);
  view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view_->horizontalHeader()->setMinimumSectionSize(1);
  // Column 0 keeps its width at every resolution.
  view_->setColumnWidth(kLetterColumn, 64);
  // The number columns are 85 pixels, or wider when the screen font needs
  // it for a limit in its widest form beside the cell margins.
  const int numbers = std::max(scaled(85), view_->fontMetrics().horizontalAdvance(QStringLiteral("-8.8888E-888")) + 16);
  for (int c : {kGuessColumn, kLowerColumn, kUpperColumn}) view_->setColumnWidth(c, numbers);
  for (int c : {kStyleColumn, kDigitsColumn}) view_->setColumnWidth(c, scaled(16));
  view_->setColumnWidth(kUnitsColumn, scaled(120));
  // The units column takes the rest of the grid less room for a scroll bar.
  const int width = 64 + 3 * numbers + 2 * scaled(16) + scaled(120) + scaled(24) + 2;
  view_->setFixedSize(width, kDviGridRows * rowHeight + 2 * view_->frameWidth());
}

QMenu* TDVarInfoDlg::MakeMenu(const std::vector<std::pair<const char*, int>>& items, bool style) {
  auto* menu = new QMenu(this);
  for (const auto& [text, value] : items) {
    QAction* action = menu->addAction(QString::fromLatin1(text));
    action->setCheckable(true);
    action->setData(value);
    connect(action, &QAction::triggered, this, [this, style, value = value] {
      if (style)
        grid_.SetStyle(menuRow_, static_cast<uint8_t>(value));
      else
        grid_.SetDigits(menuRow_, static_cast<int16_t>(value));
      cells_->RowChanged(menuRow_);
    });
  }
  // The menu checks the row's style or digits when it opens.
  connect(menu, &QMenu::aboutToShow, this, [this, menu, style] {
    const TLetterDefaultRecord& d = LetterDefaults[static_cast<size_t>(menuRow_)];
    for (QAction* a : menu->actions()) a->setChecked(a->data().toInt() == (style ? int(d.Style) : int(d.Digits)));
  });
  return menu;
}

void TDVarInfoDlg::GridMouseDown(int row, int column) {
  if (row < 0 || row >= kDviGridRows) return;
  if (grid_.HasPendingCell() && (row != grid_.PendingRow() || column != grid_.PendingColumn())) {
    // A number that did not read is put right before anything else.
    ThrottledBeep();
    MoveToPendingCell();
    grid_.ClearPendingCell();
    return;
  }
  if (column != kStyleColumn && column != kDigitsColumn) return;
  if (column == kDigitsColumn && grid_.DigitsGrey(row)) return;
  menuRow_ = row;
  const QModelIndex index = cells_->index(row, column);
  view_->setCurrentIndex(index);
  view_->viewport()->update();
  QMenu* menu = column == kStyleColumn ? styleMenu_ : digitMenu_;
  menu->popup(view_->viewport()->mapToGlobal(view_->visualRect(index).topLeft()));
}

void TDVarInfoDlg::MoveToPendingCell() {
  if (!grid_.HasPendingCell()) return;
  const QModelIndex index = cells_->index(grid_.PendingRow(), grid_.PendingColumn());
  view_->setCurrentIndex(index);
  view_->scrollTo(index);
  view_->setFocus(Qt::OtherFocusReason);
}

void TDVarInfoDlg::Repaint() {
  cells_->AllChanged();
  view_->viewport()->update();
}

void TDVarInfoDlg::OKBtnClick() {
  static_cast<CellDelegate*>(view_->itemDelegate())->CommitOpenEditor();
  const bool accepted = grid_.Accept(recorder_);
  RepaintShownSolutionWindow();
  if (accepted)
    accept();
  else
    MoveToPendingCell();
}

void TDVarInfoDlg::StoreClick() {
  static_cast<CellDelegate*>(view_->itemDelegate())->CommitOpenEditor();
  switch (grid_.Store(recorder_, *chooser_)) {
    case TDefaultVarInfoGrid::StoreResult::Refused:
      MoveToPendingCell();
      break;
    case TDefaultVarInfoGrid::StoreResult::Written:
      RepaintShownSolutionWindow();
      accept();
      break;
    case TDefaultVarInfoGrid::StoreResult::Failed:
      RepaintShownSolutionWindow();
      break;
    case TDefaultVarInfoGrid::StoreResult::Cancelled:
      break;
  }
}

void TDVarInfoDlg::LoadBTNClick() {
  static_cast<CellDelegate*>(view_->itemDelegate())->CommitOpenEditor();
  if (grid_.Load(*chooser_)) Repaint();
}

void TDVarInfoDlg::CancelBtnClick() {
  grid_.Cancel();
  QDialog::reject();
}

void TDVarInfoDlg::reject() { CancelBtnClick(); }

}  // namespace voq

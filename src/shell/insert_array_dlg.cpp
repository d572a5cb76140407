#include "shell/insert_array_dlg.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTableWidget>
#include <QTextCursor>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "core/calc_state.h"
#include "core/messages.h"
#include "core/program_flags.h"
#include "model/display_fonts.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "platform/qt/qt_platform.h"
#include "session/compile_driver.h"
#include "session/equation_editor.h"
#include "shell/equations_form.h"
#include "shell/main_window.h"
#include "shell/shell_state.h"

namespace voq {

namespace {

constexpr int32_t kMsgCopyMemory = 404;

QString ToQt(const std::string& bytes) { return QString::fromStdString(Cp1252ToUtf8(bytes)); }
std::string Bytes(const QString& text) { return Utf8ToCp1252(text.toStdString()); }

QToolButton* MakeSpin(QWidget* parent, Qt::ArrowType arrow) {
  auto* b = new QToolButton(parent);
  b->setArrowType(arrow);
  b->setFixedSize(18, 12);
  b->setAutoRepeat(true);
  return b;
}

QLineEdit* MakeCountEdit(QWidget* parent) {
  auto* edit = new QLineEdit(QStringLiteral("2"), parent);
  // Up to three digits; the change handler keeps the count in 1..200.
  edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), edit));
  edit->setMaxLength(3);
  edit->setFixedWidth(44);
  return edit;
}

}  // namespace

TInsertArrayDlg::TInsertArrayDlg(QWidget* parent, const TProgramUnitRecord* unit, TEquationForm* equations)
    : QDialog(parent), unit_(unit), equations_(equations) {
  setObjectName(QStringLiteral("InsertArrayDlg"));
  setWindowTitle(QStringLiteral("setup"));
  setModal(true);
  setProperty("helpContext", 220);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

  // Top panel: the array, its rows and columns, Copy and Paste.
  auto* top = new QWidget(this);
  auto* arrayLabel = new QLabel(QStringLiteral("Array"), top);
  arrayNameList_ = new QComboBox(top);
  arrayNameList_->setEditable(true);
  arrayNameList_->setInsertPolicy(QComboBox::NoInsert);
  arrayNameList_->setMinimumWidth(150);
  arrayNameList_->setEditText(QStringLiteral("A"));
  auto* sizeGroup = new QGroupBox(top);
  rowEdit_ = MakeCountEdit(sizeGroup);
  colEdit_ = MakeCountEdit(sizeGroup);
  spinRowUp_ = MakeSpin(sizeGroup, Qt::UpArrow);
  spinRowDown_ = MakeSpin(sizeGroup, Qt::DownArrow);
  spinColUp_ = MakeSpin(sizeGroup, Qt::UpArrow);
  spinColDown_ = MakeSpin(sizeGroup, Qt::DownArrow);
  auto spinPair = [sizeGroup](QToolButton* up, QToolButton* down) {
    auto* box = new QWidget(sizeGroup);
    auto* v = new QVBoxLayout(box);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    v->addWidget(up);
    v->addWidget(down);
    return box;
  };
  auto* sizeLayout = new QGridLayout(sizeGroup);
  sizeLayout->addWidget(new QLabel(QStringLiteral("Rows"), sizeGroup), 0, 0);
  sizeLayout->addWidget(new QLabel(QStringLiteral("Columns"), sizeGroup), 0, 1);
  auto* rowBox = new QHBoxLayout;
  rowBox->setSpacing(1);
  rowBox->addWidget(rowEdit_);
  rowBox->addWidget(spinPair(spinRowUp_, spinRowDown_));
  auto* colBox = new QHBoxLayout;
  colBox->setSpacing(1);
  colBox->addWidget(colEdit_);
  colBox->addWidget(spinPair(spinColUp_, spinColDown_));
  sizeLayout->addLayout(rowBox, 1, 0);
  sizeLayout->addLayout(colBox, 1, 1);
  copyButton_ = new QPushButton(QStringLiteral("Copy"), top);
  pasteButton_ = new QPushButton(QStringLiteral("Paste"), top);
  copyButton_->setToolTip(QStringLiteral("Copy the selected cells"));
  pasteButton_->setToolTip(QStringLiteral("Paste cells from the clipboard"));
  for (QPushButton* b : {copyButton_, pasteButton_}) b->setAutoDefault(false);
  auto* topLayout = new QGridLayout(top);
  topLayout->addWidget(arrayLabel, 0, 0);
  topLayout->addWidget(arrayNameList_, 1, 0);
  topLayout->addWidget(sizeGroup, 0, 1, 2, 1);
  auto* clipBox = new QVBoxLayout;
  clipBox->addWidget(copyButton_);
  clipBox->addWidget(pasteButton_);
  topLayout->addLayout(clipBox, 0, 2, 2, 1);
  topLayout->setColumnStretch(0, 1);

  // The grid: headings in the fixed row and column.
  grid_ = new QTableWidget(this);
  grid_->setSelectionMode(QAbstractItemView::ContiguousSelection);
  grid_->setTabKeyNavigation(true);
  grid_->installEventFilter(this);

  // Bottom panel.
  okBtn_ = new QPushButton(QStringLiteral("OK"), this);
  cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  cancel_->setProperty("helpContext", 721);
  okBtn_->setAutoDefault(false);
  cancel_->setAutoDefault(false);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch();
  bottom->addWidget(okBtn_);
  bottom->addWidget(cancel_);
  bottom->addStretch();

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(top);
  layout->addWidget(grid_, 1);
  layout->addLayout(bottom);

  connect(arrayNameList_, qOverload<int>(&QComboBox::activated), this, [this](int i) { ArrayNameListChange(i); });
  connect(arrayNameList_, &QComboBox::editTextChanged, this,
          [this](const QString& text) { model_.NameText = Bytes(text); });
  connect(rowEdit_, &QLineEdit::textChanged, this, [this] { RowEditChange(); });
  connect(colEdit_, &QLineEdit::textChanged, this, [this] { ColEditChange(); });
  connect(spinRowUp_, &QToolButton::clicked, this, [this] { SpinRowUpClick(); });
  connect(spinRowDown_, &QToolButton::clicked, this, [this] { SpinRowDownClick(); });
  connect(spinColUp_, &QToolButton::clicked, this, [this] { SpinColUpClick(); });
  connect(spinColDown_, &QToolButton::clicked, this, [this] { SpinColDownClick(); });
  connect(copyButton_, &QPushButton::clicked, this, [this] { CopyButtonClick(); });
  connect(pasteButton_, &QPushButton::clicked, this, [this] { PasteButtonClick(); });
  connect(okBtn_, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  connect(cancel_, &QPushButton::clicked, this, [this] { reject(); });
  connect(grid_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (!showing_) model_.SetCell(item->row() + 1, item->column() + 1, Bytes(item->text()));
  });
  connect(grid_, &QTableWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });

  // 302 x 405 pixels at 96 dpi.
  const double scale = logicalDpiY() / 96.0;
  resize(int(302 * scale), int(405 * scale));
  FormActivate();
}

void TInsertArrayDlg::FormActivate() {
  // Headings are centred in a column one inch wide, with the grid's font.
  const QFontMetrics metrics(grid_->font());
  model_.ColumnWidth = logicalDpiX();
  model_.TextWidth = [metrics](const std::string& text) {
    return int32_t(metrics.horizontalAdvance(ToQt(text)));
  };
  model_.FormActivate(unit_);
  showing_ = true;
  arrayNameList_->clear();
  for (const std::string& item : model_.Items) arrayNameList_->addItem(ToQt(item));
  arrayNameList_->setCurrentIndex(model_.ItemIndex);
  arrayNameList_->setEditText(ToQt(model_.NameText));
  showing_ = false;
  SetCount(rowEdit_, model_.Rows());
  SetCount(colEdit_, model_.Cols());
  ShowGrid();
  const TInsertArrayDialogState& state = InsertArrayDialogState;
  if (state.Width > 0 || state.Height > 0 || state.Left > 0 || state.Top > 0) {
    resize(state.Width > 0 ? state.Width : width(), state.Height > 0 ? state.Height : height());
    move(state.Left > 0 ? state.Left : x(), state.Top > 0 ? state.Top : y());
  }
  UpdateButtons();
  copyButton_->setEnabled(false);
  arrayNameList_->setFocus();
}

void TInsertArrayDlg::ShowGrid() {
  showing_ = true;
  const double scale = logicalDpiY() / 96.0;
  grid_->setRowCount(model_.Rows());
  grid_->setColumnCount(model_.Cols());
  grid_->horizontalHeader()->setDefaultSectionSize(logicalDpiX());
  grid_->verticalHeader()->setDefaultSectionSize(int(20 * scale));
  QStringList columns;
  for (int32_t c = 1; c <= model_.Cols(); ++c) columns << ToQt(model_.ColumnHeadings[size_t(c)]).trimmed();
  QStringList rows;
  for (int32_t r = 1; r <= model_.Rows(); ++r) rows << ToQt(model_.RowHeadings[size_t(r)]).trimmed();
  grid_->setHorizontalHeaderLabels(columns);
  grid_->setVerticalHeaderLabels(rows);
  ShrinkToGrid();
  for (int32_t r = 1; r <= model_.Rows(); ++r) {
    for (int32_t c = 1; c <= model_.Cols(); ++c) {
      const QString text = ToQt(model_.Cell(r, c));
      QTableWidgetItem* item = grid_->item(r - 1, c - 1);
      if (item == nullptr) {
        if (text.isEmpty()) continue;
        item = new QTableWidgetItem;
        grid_->setItem(r - 1, c - 1, item);
      }
      if (item->text() != text) item->setText(text);
    }
  }
  showing_ = false;
}

void TInsertArrayDlg::ShrinkToGrid() {
  // The dialog shrinks to a grid smaller than its area, never below what
  // its panels need; a larger grid scrolls.
  if (!isVisible()) return;
  const int frame = 2 * grid_->frameWidth();
  const int wanted = grid_->verticalHeader()->sizeHint().width() + grid_->columnCount() *
                     grid_->horizontalHeader()->defaultSectionSize() + frame;
  const int tall = grid_->horizontalHeader()->sizeHint().height() + grid_->rowCount() *
                   grid_->verticalHeader()->defaultSectionSize() + frame;
  const QSize least = minimumSizeHint();
  int w = width();
  int h = height();
  if (wanted < grid_->width()) w = std::max(least.width(), width() - (grid_->width() - wanted));
  if (tall < grid_->height()) h = std::max(least.height(), height() - (grid_->height() - tall));
  if (w != width() || h != height()) resize(w, h);
}

void TInsertArrayDlg::UpdateButtons() {
  int cells = 0;
  for (const QTableWidgetSelectionRange& r : grid_->selectedRanges()) cells += r.rowCount() * r.columnCount();
  copyButton_->setEnabled(cells > 1);
  std::string clip;
  pasteButton_->setEnabled(Platform().GetClipboardText(clip));
}

void TInsertArrayDlg::SetCount(QLineEdit* edit, int32_t count) {
  const QString text = QString::number(count);
  if (edit->text() != text) edit->setText(text);
}

void TInsertArrayDlg::ArrayNameListChange(int index) {
  if (index <= 0) {
    model_.ItemIndex = index;
    model_.LabelGrid();
    ShowGrid();
    return;
  }
  model_.ChooseItem(index, unit_);
  showing_ = true;
  arrayNameList_->setCurrentIndex(model_.ItemIndex);
  arrayNameList_->setEditText(ToQt(model_.NameText));
  showing_ = false;
  SetCount(rowEdit_, model_.Rows());
  SetCount(colEdit_, model_.Cols());
  ShowGrid();
}

void TInsertArrayDlg::RowEditChange() {
  if (rowEdit_->text().isEmpty()) return;
  model_.SetRows(rowEdit_->text().toInt());
  SetCount(rowEdit_, model_.Rows());
  model_.LabelGrid();
  ShowGrid();
}

void TInsertArrayDlg::ColEditChange() {
  if (colEdit_->text().isEmpty()) return;
  model_.SetCols(colEdit_->text().toInt());
  SetCount(colEdit_, model_.Cols());
  model_.LabelGrid();
  ShowGrid();
}

void TInsertArrayDlg::SpinRowUpClick() {
  if (model_.Rows() >= kMaxArrayGridCount) return;
  SetCount(rowEdit_, model_.Rows() + 1);
  // The dialog grows by the new row while it still fits in the main window.
  const int step = grid_->verticalHeader()->defaultSectionSize();
  if (parentWidget() != nullptr && height() + step <= parentWidget()->height()) resize(width(), height() + step);
}

void TInsertArrayDlg::SpinRowDownClick() {
  if (model_.Rows() > 1) SetCount(rowEdit_, model_.Rows() - 1);
}

void TInsertArrayDlg::SpinColUpClick() {
  if (model_.Cols() >= kMaxArrayGridCount) return;
  SetCount(colEdit_, model_.Cols() + 1);
  const int step = grid_->horizontalHeader()->defaultSectionSize();
  if (parentWidget() != nullptr && width() + step <= parentWidget()->width()) resize(width() + step, height());
}

void TInsertArrayDlg::SpinColDownClick() {
  if (model_.Cols() > 1) SetCount(colEdit_, model_.Cols() - 1);
}

void TInsertArrayDlg::CopyButtonClick() {
  const QList<QTableWidgetSelectionRange> ranges = grid_->selectedRanges();
  if (ranges.isEmpty()) return;
  const QTableWidgetSelectionRange r = ranges.front();
  const std::string text = model_.CopyCells(r.topRow() + 1, r.leftColumn() + 1, r.bottomRow() + 1, r.rightColumn() + 1);
  if (!Platform().SetClipboardText(text)) {
    ShowAlert(GetMessageText(kMsgCopyMemory), kAlertInfoOk, true);
    return;
  }
  grid_->setCurrentCell(r.topRow(), r.leftColumn());
  UpdateButtons();
}

void TInsertArrayDlg::PasteButtonClick() {
  std::string text;
  if (!Platform().GetClipboardText(text)) return;
  const int row = std::max(grid_->currentRow(), 0) + 1;
  const int col = std::max(grid_->currentColumn(), 0) + 1;
  model_.PasteCells(text, row, col);
  ShowGrid();
  grid_->setFocus();
}

void TInsertArrayDlg::OKBtnClick() {
  model_.NameText = Bytes(arrayNameList_->currentText());
  InsertArrayDialogState = TInsertArrayDialogState{x(), y(), width(), height()};
  const std::vector<std::string> lines =
      SplitEquationLines(equations_ != nullptr ? equations_->GetText() : std::string());
  const int32_t clientWidth = equations_ != nullptr ? equations_->Memo->viewport()->width() : 0;
  TArrayBlockEdit edit;
  if (!model_.OKBtnClick(lines, clientWidth, ScreenCharWidth, unit_, edit)) return;
  if (equations_ != nullptr) ReplaceEquationsText(*equations_, JoinEquationLines(ApplyArrayBlockEdit(lines, edit)));
  accept();
}

bool TInsertArrayDlg::eventFilter(QObject* target, QEvent* event) {
  if (target == grid_ && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::Paste)) {
      PasteButtonClick();
      return true;
    }
    if (key->matches(QKeySequence::Copy)) {
      CopyButtonClick();
      return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      // Enter moves to the next row.
      if (grid_->currentRow() + 1 < grid_->rowCount()) {
        grid_->setCurrentCell(grid_->currentRow() + 1, std::max(grid_->currentColumn(), 0));
      }
      return true;
    }
  }
  return QDialog::eventFilter(target, event);
}

void TInsertArrayDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // The place and size of the last OK win over the grid's size.
  const TInsertArrayDialogState& state = InsertArrayDialogState;
  if (state.Width <= 0 && state.Height <= 0) ShrinkToGrid();
}

void TInsertArrayDlg::keyPressEvent(QKeyEvent* event) {
  // Enter does not close the dialog: only OK writes the block.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) return;
  QDialog::keyPressEvent(event);
}

// --- The Equations text ------------------------------------------------------------

void ReplaceEquationsText(TEquationForm& form, const std::string& newText) {
  const std::string oldText = form.GetText();
  size_t prefix = 0;
  const size_t shorter = std::min(oldText.size(), newText.size());
  while (prefix < shorter && oldText[prefix] == newText[prefix]) ++prefix;
  size_t suffix = 0;
  while (suffix < shorter - prefix && oldText[oldText.size() - 1 - suffix] == newText[newText.size() - 1 - suffix]) {
    ++suffix;
  }
  // Never between the CR and the LF of a line break.
  if (prefix > 0 && oldText[prefix - 1] == '\r') --prefix;
  if (suffix > 0 && oldText[oldText.size() - suffix] == '\n') --suffix;
  if (prefix == oldText.size() && prefix == newText.size()) return;
  std::string middle = newText.substr(prefix, newText.size() - suffix - prefix);
  middle.erase(std::remove(middle.begin(), middle.end(), '\r'), middle.end());
  const EditorPositionMap map = form.Memo->PositionMap();
  QTextCursor cursor(form.Memo->document());
  cursor.setPosition(map.EditorFromEngine(int32_t(prefix)));
  cursor.setPosition(map.EditorFromEngine(int32_t(oldText.size() - suffix)), QTextCursor::KeepAnchor);
  cursor.insertText(ToQt(middle));
}

// --- The command -------------------------------------------------------------------

void InsertModifyArray1Click(TVOQ_D& window) {
  TEquationForm* form = window.EquationForm();
  ClearCalcError();
  LenientCompile = true;
  EnsureCompiled(true);
  if (form != nullptr) form->Editor()->document()->clearUndoRedoStacks();
  LenientCompile = false;
  if (CalcErrorCode != 0) return;
  const TProgramUnitRecord* unit = CurrentProgramUnit != nullptr ? CurrentProgramUnit : MainProgramUnit;
  {
    TInsertArrayDlg dialog(&window, unit, form);
    dialog.exec();
  }
  // The text may have changed.
  EquationsCompiled = false;
}

void InstallInsertArrayCommand(TVOQ_D& window) {
  window.SetHandler("InsertModifyArray1", [&window] { InsertModifyArray1Click(window); });
  if (QMenu* edit = window.Menu("Edit1")) {
    QObject::connect(edit, &QMenu::aboutToShow, &window, [&window] {
      if (QAction* item = window.Action("InsertModifyArray1")) item->setEnabled(!DistributableMode);
    });
  }
}

}  // namespace voq

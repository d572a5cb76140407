#include "shell/var_info_dlg.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QTableWidget>
#include <QTextCursor>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/calc_state.h"
#include "core/messages.h"
#include "core/program_flags.h"
#include "documents/var_info_file.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "platform/qt/qt_platform.h"
#include "session/compile_driver.h"
#include "session/document_reset.h"
#include "shell/equations_form.h"
#include "shell/gform.h"
#include "shell/main_window.h"
#include "shell/shell_state.h"
#include "tables/tables_state.h"

namespace voq {

namespace {

QString ToQ(const std::string& bytes) { return QString::fromStdString(Cp1252ToUtf8(bytes)); }

// Qt's filter form of a "label|pattern|label|pattern" list.
QString QtFilter(const std::string& filter) {
  QStringList parts = QString::fromStdString(filter).split('|');
  QStringList out;
  for (int k = 0; k + 1 < parts.size(); k += 2) out << parts[k] + " (" + parts[k + 1] + ")";
  return out.join(";;");
}

int Scaled(QWidget* w, int pixels) { return pixels * w->logicalDpiX() / 96; }

}  // namespace

void ProgramVarInfoWindows::RepaintEquations() {
  if (window_ != nullptr && window_->EquationForm() != nullptr) window_->EquationForm()->update();
}

void ProgramVarInfoWindows::CloseResultWindows() {
  if (!closesResultWindows_) return;
  for (int slot : {int(kSolutionWindow), int(kResidualsWindow)}) {
    if (WindowList[size_t(slot)] != nullptr) WindowList[size_t(slot)]->close();
  }
}

void ProgramVarInfoWindows::MarkChanged() { DocumentUnchanged = false; }

std::string ProgramVarInfoWindows::DocumentName() const {
  return window_ != nullptr ? window_->FileName : std::string();
}

TVarInfoDlg::TVarInfoDlg(QWidget* parent, VarInfoWindows& windows, MacroRecorder* recorder,
                         int32_t selectionStart, const std::string& selectedText)
    : QDialog(parent), windows_(windows), model_(std::make_unique<TVarInfoModel>(windows, recorder)) {
  KeyDialogOpen = true;
  setWindowTitle(QStringLiteral("Variable Information"));
  setModal(true);
  setProperty("helpContext", kVarInfoHelpContext);
  setMinimumSize(Scaled(this, kVarInfoMinWidth), Scaled(this, kVarInfoMinHeight));
  resize(Scaled(this, 640), Scaled(this, 360));

  module_ = new QLabel(QStringLiteral("Module"), this);
  blocksBox_ = new QComboBox(this);
  showArrays_ = new QCheckBox(QStringLiteral("Show array variables"), this);
  showArrays_->setChecked(true);
  showStrings_ = new QCheckBox(QStringLiteral("Show string variables"), this);
  openFile_ = new QToolButton(this);
  openFile_->setText(QStringLiteral("Open"));
  openFile_->setToolTip(QStringLiteral("Load variable information"));
  saveFile_ = new QToolButton(this);
  saveFile_->setText(QStringLiteral("Save"));
  saveFile_->setToolTip(QStringLiteral("Save variable information"));
  auto* top = new QHBoxLayout;
  top->addWidget(showArrays_);
  top->addWidget(showStrings_);
  top->addStretch();
  top->addWidget(module_);
  top->addWidget(blocksBox_);
  top->addStretch();
  top->addWidget(openFile_);
  top->addWidget(saveFile_);
  auto* captions = new QHBoxLayout;
  captions->setSpacing(0);
  captions->setContentsMargins(1, 0, 0, 0);
  for (const char* text : {"Variable", "Guess", "Lower", "Upper", "Display", "Units"}) {
    QLabel* label = new QLabel(QString::fromLatin1(text), this);
    label->setAlignment(Qt::AlignCenter);
    labels_.push_back(label);
    captions->addWidget(label);
  }
  grid_ = new QTableWidget(0, kVarInfoColumns, this);
  grid_->horizontalHeader()->hide();
  grid_->horizontalHeader()->setStretchLastSection(true);
  grid_->verticalHeader()->hide();
  grid_->verticalHeader()->setDefaultSectionSize(kVarInfoRowHeight);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                         QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
  grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  ok_ = new QPushButton(QStringLiteral("OK"), this);
  print_ = new QPushButton(QStringLiteral("Print"), this);
  update_ = new QPushButton(QStringLiteral("Update"), this);
  cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  ok_->setDefault(true);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {ok_, print_, update_, cancel_}) {
    buttons->addStretch();
    buttons->addWidget(b);
  }
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addLayout(top);
  layout->addLayout(captions);
  layout->addWidget(grid_, 1);
  layout->addLayout(buttons);

  connect(ok_, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  connect(print_, &QPushButton::clicked, this, [this] { PrintBtnClick(); });
  connect(update_, &QPushButton::clicked, this, [this] { UpdateClick(); });
  connect(cancel_, &QPushButton::clicked, this, [this] { CancelBtnClick(); });
  connect(openFile_, &QToolButton::clicked, this, [this] { OpenVarInfoFileClick(); });
  connect(saveFile_, &QToolButton::clicked, this, [this] { SaveVarInfoFileClick(); });
  connect(grid_, &QTableWidget::cellChanged, this, [this](int r, int c) { CellChanged(r, c); });
  connect(grid_, &QTableWidget::cellPressed, this, [this](int r, int c) { CellPressed(r, c); });
  connect(showArrays_, &QCheckBox::toggled, this, [this](bool on) {
    model_->SetShowArrayElements(on);
    Refresh();
  });
  connect(showStrings_, &QCheckBox::toggled, this, [this](bool on) {
    model_->SetShowStringVariables(on);
    Refresh();
  });

  model_->Create(selectionStart, selectedText);
  const bool selector = model_->UnitSelectorVisible();
  module_->setVisible(selector);
  blocksBox_->setVisible(selector);
  for (const TVarInfoUnit& unit : model_->Units()) blocksBox_->addItem(ToQ(unit.Name));
  blocksBox_->setCurrentIndex(model_->SelectedUnit());
  connect(blocksBox_, &QComboBox::currentIndexChanged, this, [this](int k) {
    model_->SelectUnit(k);
    Refresh();
  });
  if (VarInfoDialogSize.Height > 0 && VarInfoDialogSize.Width > 0) {
    resize(VarInfoDialogSize.Width, VarInfoDialogSize.Height);
  }
  Refresh();
  if (model_->FocusRow() >= 0) {
    grid_->setCurrentCell(model_->FocusRow(), 1);
    grid_->scrollToItem(grid_->item(model_->FocusRow(), 1), QAbstractItemView::PositionAtTop);
  }
}

TVarInfoDlg::~TVarInfoDlg() { KeyDialogOpen = false; }

void TVarInfoDlg::SetColumnWidths() {
  // The name and guess columns share the width beyond the minimum.
  const int extra = std::max(0, (width() - Scaled(this, kVarInfoMinWidth)) / 3);
  const int widths[7] = {Scaled(this, 110) + extra - 1, Scaled(this, 86) + extra - 1, Scaled(this, 86),
                         Scaled(this, 86), Scaled(this, 16), Scaled(this, 16), Scaled(this, 16)};
  for (int c = 0; c < 7; ++c) grid_->setColumnWidth(c, widths[c]);
  // The units column takes the rest of the grid (the header stretches it).
  // The captions over their columns: Display spans the three letter
  // columns, Units takes what is left.
  const int spans[5] = {widths[0], widths[1], widths[2], widths[3], widths[4] + widths[5] + widths[6]};
  for (int k = 0; k < 5; ++k) labels_[size_t(k)]->setFixedWidth(spans[k]);
}

void TVarInfoDlg::Refresh() {
  filling_ = true;
  model_->MakeShownUnitCurrent();
  const int rows = model_->RowCount();
  grid_->setRowCount(rows);
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < kVarInfoColumns; ++c) {
      const TVarInfoCell cell = model_->Cell(r, c);
      auto* item = new QTableWidgetItem(ToQ(cell.Text));
      QFont font = grid_->font();
      font.setItalic(cell.Italic);
      font.setBold(cell.Bold);
      font.setUnderline(cell.Underline);
      item->setFont(font);
      item->setForeground(QColor::fromRgb(cell.Colour));
      const Qt::Alignment horizontal =
          cell.Align == 0 ? Qt::AlignHCenter : cell.Align == 2 ? Qt::AlignRight : Qt::AlignLeft;
      item->setTextAlignment(horizontal | Qt::AlignVCenter);
      Qt::ItemFlags flags = Qt::ItemIsEnabled;
      if (model_->CanSelect(r, c) || (c >= 4 && c <= 6)) flags |= Qt::ItemIsSelectable;
      if (model_->CanSelect(r, c)) flags |= Qt::ItemIsEditable;
      item->setFlags(flags);
      if (cell.Boxed) item->setText(QStringLiteral("[X]"));
      grid_->setItem(r, c, item);
    }
  }
  showArrays_->setEnabled(model_->ArrayBoxEnabled());
  showStrings_->setEnabled(model_->StringBoxEnabled());
  update_->setEnabled(model_->UpdateEnabled());
  SetColumnWidths();
  filling_ = false;
}

void TVarInfoDlg::CellChanged(int row, int column) {
  if (filling_) return;
  QTableWidgetItem* item = grid_->item(row, column);
  if (item == nullptr) return;
  model_->Commit(row, column, Utf8ToCp1252(item->text().toStdString()));
  if (column == 0 && !model_->ArrayBoxEnabled()) showArrays_->setEnabled(false);
  // Repainting from inside the item's own signal would replace it while
  // the view still uses it.
  QMetaObject::invokeMethod(this, [this] { Refresh(); }, Qt::QueuedConnection);
}

void TVarInfoDlg::CellPressed(int row, int column) {
  if (model_->InvalidPending()) {
    const auto [r, c] = model_->PendingCell();
    if (row != r || column != c) {
      ThrottledBeep();
      grid_->setCurrentCell(r, c);
      model_->ClearPending();
    }
    return;
  }
  const TVariableRecord* v = model_->RowRecord(row);
  if (v == nullptr || column < 4 || column > 6) return;
  QMenu menu(this);
  const QRect cellRect = grid_->visualRect(grid_->model()->index(row, column));
  const QPoint at = grid_->viewport()->mapToGlobal(cellRect.topLeft());
  if (column == 4) {
    if (v->Style == kStyleStringConstant) return;
    const std::pair<const char*, uint8_t> items[] = {{"&Auto", 3}, {"&Fixed decimal", 1}, {"&Exponential format", 0}};
    for (const auto& [text, style] : items) {
      QAction* a = menu.addAction(QString::fromLatin1(text));
      a->setCheckable(true);
      a->setChecked(v->Style == style);
      const uint8_t chosen = style;
      connect(a, &QAction::triggered, this, [this, row, chosen] { model_->SetStyle(row, chosen); });
    }
  } else if (column == 5) {
    if (v->Style == kStyleAutomatic || v->Style == kStyleStringConstant) return;
    for (int16_t d = 0; d <= 9; ++d) {
      QAction* a = menu.addAction(QString::number(d));
      a->setCheckable(true);
      a->setChecked(v->Digits == d);
      connect(a, &QAction::triggered, this, [this, row, d] { model_->SetDigits(row, d); });
    }
  } else {
    const std::pair<const char*, int> items[] = {{"Normal", 1}, {"Underline", 2}, {"Bold", 3}, {"Boxed", 4},
                                                 {nullptr, -1}, {"Hidden", 0}};
    const int current = ((v->DisplayCode % 10) + 10) % 10;
    for (const auto& [text, highlight] : items) {
      if (text == nullptr) {
        menu.addSeparator();
        continue;
      }
      QAction* a = menu.addAction(QString::fromLatin1(text));
      a->setCheckable(true);
      a->setChecked(current == highlight);
      const int chosen = highlight;
      connect(a, &QAction::triggered, this, [this, row, chosen] { model_->SetHighlight(row, chosen); });
    }
  }
  menu.exec(at);
  Refresh();
}

void TVarInfoDlg::OKBtnClick() {
  if (!model_->Ok()) {
    if (model_->InvalidPending()) grid_->setCurrentCell(model_->PendingCell().first, model_->PendingCell().second);
    Refresh();
    return;
  }
  VarInfoDialogSize = {height(), width()};
  KeyDialogOpen = false;
  accept();
}

void TVarInfoDlg::PrintBtnClick() {
  // A refused rename keeps the dialog open, and nothing is printed with a
  // name the records do not agree on.
  if (!model_->Ok()) {
    Refresh();
    return;
  }
  VarInfoDialogSize = {height(), width()};
  model_->Print();
  KeyDialogOpen = false;
  accept();
}

void TVarInfoDlg::CancelBtnClick() {
  model_->Cancel();
  KeyDialogOpen = false;
  QDialog::reject();
}

void TVarInfoDlg::reject() { CancelBtnClick(); }

void TVarInfoDlg::UpdateClick() {
  model_->Update();
  Refresh();
}

void TVarInfoDlg::OpenVarInfoFileClick() {
  std::string path = "*.VAR";
  if (!Platform().AskOpenFileName("Open", kOpenVarInfoFilter, 1, path) || path.empty()) return;
  model_->MakeShownUnitCurrent();
  ReadVarInfoFile(path, false, false);
  CalcErrorCode = 0;
  Refresh();
}

void TVarInfoDlg::SaveVarInfoFileClick() {
  QFileDialog dialog(this, QString::fromLatin1(kSaveVarInfoTitle), QStringLiteral("*.VAR"),
                     QtFilter(kSaveVarInfoFilter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("VAR"));
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const std::string path = dialog.selectedFiles().front().toStdString();
  const TProgramUnitRecord* unit = model_->MakeShownUnitCurrent();
  if (unit == nullptr) return;
  const int32_t code = SaveVarInfoFile(path, *unit, windows_.DocumentName());
  if (code != 0) ReportIOError(code);
}

void TVarInfoDlg::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  SetColumnWidths();
}

// --- The command -------------------------------------------------------------

void VariableInformation1Click(TVOQ_D& window) {
  const bool fromEquations = ActiveChildWindow == kEquationsWindow;
  ClearCalcError();
  const bool solution = SolutionAvailable;
  LenientCompile = true;
  EnsureCompiled(true);
  LenientCompile = false;
  const bool hasEquation = MainProgramUnit != nullptr && MainProgramUnit->FirstEquation != nullptr;
  const bool open = (CalcErrorCode == 0 && hasEquation) || ProgramUnitList.size() > 1;
  SolutionAvailable = solution;
  if (open) {
    VarInfoRestricted = false;
    VarInfoFromEquations = fromEquations;
    int32_t selection = 0;
    std::string selected;
    if (TEquationForm* form = window.EquationForm()) {
      selection = form->Memo->EngineSelStart();
      selected = Utf8ToCp1252(form->Memo->textCursor().selectedText().toStdString());
    }
    static TablesMacroRecorder recorder;
    ProgramVarInfoWindows windows(&window, true);
    TVarInfoDlg dialog(&window, windows, &recorder, selection, selected);
    dialog.exec();
    if (WindowList[kDebugWindow] != nullptr) WindowList[kDebugWindow]->close();
  }
  if (TEquationForm* form = window.EquationForm()) form->Editor()->document()->clearUndoRedoStacks();
}

void InstallVarInfoCommand(TVOQ_D& window) {
  window.SetHandler("VariableInformation1", [&window] { VariableInformation1Click(window); });
  window.SetHandler("VariableInfo1", [&window] { VariableInformation1Click(window); });
}

}  // namespace voq

#include "results/debug_form.h"

#include <cctype>

#include <QCloseEvent>
#include <QComboBox>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/messages.h"
#include "core/program_flags.h"
#include "core/text_utils.h"
#include "model/document_settings.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "platform/qt/qt_platform.h"
#include "results/qt_canvas.h"
#include "results/residual_form.h"
#include "session/compile_driver.h"
#include "session/program_start.h"
#include "shell/equations_form.h"
#include "shell/main_window.h"
#include "shell/result_windows.h"
#include "shell/var_info_dlg.h"
#include "tables/tables_state.h"

namespace voq {

namespace {

QString ToQt(const std::string& text) { return QString::fromStdString(Cp1252ToUtf8(text)); }

TRgb ColourOfKind(int32_t kind) {
  switch (kind) {
    case kDebugRedUnderlined: return kRgbRed;
    case kDebugBlue: return kRgbBlue;
    case kDebugGreen: return kRgbGreen;
    default: return kRgbBlack;
  }
}

void SelectInEquations(int32_t start, int32_t end, int32_t line) {
  TVOQ_D* main = MainWindow();
  if (main == nullptr) return;
  main->ShowAndFocus(kEquationsWindow);
  main->SelectEquationsText(start, end, line);
}

// The unit a module-local name "@n\..." belongs to; unit otherwise.
TProgramUnitRecord* UnitOfName(TProgramUnitRecord* unit, const std::string& name) {
  if (name.size() < 3 || name[0] != '@') return unit;
  size_t j = 1;
  while (j < name.size() && j <= 6 && std::isdigit(static_cast<unsigned char>(name[j]))) ++j;
  if (j == 1 || j >= name.size() || name[j] != '\\') return unit;
  const size_t n = size_t(std::stoi(name.substr(1, j - 1)));
  return n < ProgramUnitList.size() && ProgramUnitList[n] != nullptr ? ProgramUnitList[n] : unit;
}

}  // namespace

std::function<bool(TVarInfoDlg& dialog)> TDebugForm::RunVarInfoAt = [](TVarInfoDlg& dialog) {
  return dialog.exec() == QDialog::Accepted;
};

bool ShowVarInfoAtVariable(QWidget* parent, TProgramUnitRecord* unit, TVariableRecord* variable) {
  if (variable == nullptr) return false;
  TProgramUnitRecord* target = UnitOfName(unit != nullptr ? unit : MainProgramUnit, variable->Name);
  // The column is chosen from the values now, before the dialog copies them.
  const bool atLower = variable->LowerLimit >= variable->Value - 1E-99L;
  const std::string wanted = UpperCaseText(variable->Name);
  const size_t slash = wanted.rfind('\\');
  const std::string local = slash == std::string::npos ? wanted : wanted.substr(slash + 1);
  TProgramUnitRecord* savedUnit = CurrentProgramUnit;
  const bool restricted = VarInfoRestricted;
  VarInfoRestricted = false;
  ProgramVarInfoWindows windows(MainWindow(), false);
  bool ok = false;
  {
    TVarInfoDlg dialog(parent, windows, nullptr, 0, std::string());
    const auto& units = dialog.Model().Units();
    for (size_t k = 0; k < units.size(); ++k) {
      if (units[k].Unit != target) continue;
      if (int(k) != dialog.Model().SelectedUnit()) dialog.BlocksBox()->setCurrentIndex(int(k));
      break;
    }
    dialog.Model().MakeShownUnitCurrent();
    int row = -1;
    for (int r = 0; r < dialog.Model().RowCount() && row < 0; ++r) {
      const TVariableRecord* v = dialog.Model().RowRecord(r);
      if (v == nullptr) continue;
      const std::string name = UpperCaseText(v->Name);
      if (v == variable || name == wanted || name == local) row = r;
    }
    if (row >= 0) {
      const int column = atLower ? 2 : 3;
      dialog.Grid()->setCurrentCell(row, column);
      dialog.Grid()->scrollToItem(dialog.Grid()->item(row, column), QAbstractItemView::PositionAtTop);
    }
    ok = TDebugForm::RunVarInfoAt(dialog);
  }
  VarInfoRestricted = restricted;
  CurrentProgramUnit = savedUnit != nullptr ? savedUnit : MainProgramUnit;
  return ok;
}

// --- The view ------------------------------------------------------------------

TDebugView::TDebugView(TDebugForm* form) : QAbstractScrollArea(form), form_(form) {
  viewport()->setAutoFillBackground(true);
  QPalette palette = viewport()->palette();
  palette.setColor(QPalette::Window, Qt::white);
  viewport()->setPalette(palette);
  setFocusPolicy(Qt::StrongFocus);
}

void TDebugView::paintEvent(QPaintEvent*) {
  TDebugState& state = DebugState();
  form_->listing_ = BuildDebugListing(state, form_->IsActive());
  const TDebugListing& listing = form_->listing_;
  form_->setWindowTitle(QString::fromStdString(listing.Caption));
  QPainter painter(viewport());
  painter.translate(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
  QtCanvas canvas(painter);
  const QFont font = form_->DebugFont();
  TCanvasFont base;
  base.Face = font.family().toStdString();
  base.Height = std::max(8, QFontInfo(font).pixelSize());
  canvas.SetFont(base);
  charWidth_ = std::max(1, canvas.TextWidth("xxxxxxxxxx") / 10);
  lineHeight_ = std::max(1, canvas.TextHeight("Xg") + 2);
  // A text that continues the one before it on its row (the link in the
  // closing hint) follows it by the width drawn, not by average widths.
  int32_t lastRow = -1, lastEndColumn = -1, lastEndX = 0;
  linkRect_ = QRect();
  for (const TDebugText& t : listing.Texts) {
    TCanvasFont f = base;
    f.Bold = t.Kind == kDebugBold;
    f.Underline = t.Kind == kDebugRedUnderlined || t.Kind == kDebugUnderlined;
    canvas.SetFont(f);
    canvas.SetTextColor(ColourOfKind(t.Kind));
    const bool follows = t.Row == lastRow && t.Column == lastEndColumn;
    const int32_t x = follows ? lastEndX : t.Column * charWidth_;
    const int32_t y = t.Row * lineHeight_;
    canvas.TextOut(x, y, t.Text);
    const int32_t width = canvas.TextWidth(t.Text);
    if (listing.HasResidualsLink && t.Row == listing.LinkRow && t.Column == listing.LinkColumn)
      linkRect_ = QRect(x, y, width, lineHeight_);
    lastRow = t.Row;
    lastEndColumn = t.Column + int32_t(t.Text.size());
    lastEndX = x + width;
  }
  canvas.SetPen(kRgbBlack, 1);
  for (const int32_t row : listing.RuleRows) {
    const int32_t y = row * lineHeight_ - 2;
    canvas.MoveTo(5, y);
    canvas.LineTo(500, y);
  }
  horizontalScrollBar()->setRange(0, std::max(0, (listing.WidestColumn + 10) * charWidth_ - viewport()->width()));
  verticalScrollBar()->setRange(0, std::max(0, (listing.LastRow + 3) * lineHeight_ - viewport()->height()));
  verticalScrollBar()->setSingleStep(lineHeight_);
  horizontalScrollBar()->setSingleStep(charWidth_);
  verticalScrollBar()->setPageStep(std::max(1, viewport()->height() - lineHeight_));
}

void TDebugView::mousePressEvent(QMouseEvent* event) {
  const QPoint content = event->position().toPoint() +
                         QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
  form_->Click(content, event->button() == Qt::RightButton ? 2 : 1);
}

void TDebugView::keyPressEvent(QKeyEvent* event) {
  QScrollBar* v = verticalScrollBar();
  QScrollBar* h = horizontalScrollBar();
  switch (event->key()) {
    case Qt::Key_PageUp: v->setValue(v->value() - v->pageStep()); break;
    case Qt::Key_PageDown: v->setValue(v->value() + v->pageStep()); break;
    case Qt::Key_Home: v->setValue(0); break;
    case Qt::Key_End: v->setValue(v->maximum()); break;
    case Qt::Key_Up: v->setValue(v->value() - v->singleStep()); break;
    case Qt::Key_Down: v->setValue(v->value() + v->singleStep()); break;
    case Qt::Key_Left: h->setValue(h->value() - h->singleStep()); break;
    case Qt::Key_Right: h->setValue(h->value() + h->singleStep()); break;
    default: QAbstractScrollArea::keyPressEvent(event); return;
  }
  event->accept();
}

// --- The form ------------------------------------------------------------------

TDebugForm::TDebugForm(QWidget* parent) : TGForm(parent) {
  Tag = kDebugWindow;
  setProperty("helpContext", 11);
  setObjectName(QStringLiteral("DebugForm"));
  setAttribute(Qt::WA_DeleteOnClose);
  view_ = new TDebugView(this);
  setWidget(view_);
  setWindowTitle(QStringLiteral("Debug"));
  setGeometry(DebugWindowRect.Left, DebugWindowRect.Top, DebugWindowRect.Width, DebugWindowRect.Height);
  connect(this, &QMdiSubWindow::aboutToActivate, this, [this] { FormActivate(); });
}

TDebugForm::~TDebugForm() {
  if (WindowList[kDebugWindow] == this) WindowList[kDebugWindow] = nullptr;
}

QFont TDebugForm::DebugFont() const {
  QFont font(QString::fromStdString(DebugFontFace(Preferences.DisplayFont)));
  const int32_t points = DebugFontPoints(Preferences.DisplayFontSize);
  // Size 0 is no size a font can take: the face's own default stands.
  if (points > 0) font.setPointSize(points);
  return font;
}

bool TDebugForm::IsActive() const { return ActiveChildWindow == kDebugWindow || mdiArea() == nullptr; }

void TDebugForm::FormActivate() {
  ActiveChildWindow = kDebugWindow;
  DebugState().ActivatedTicks = Platform().TickCount();
  view_->viewport()->update();
}

void TDebugForm::Click(QPoint content, int button) {
  TDebugState& state = DebugState();
  // The link where it was drawn.
  if (state.Mode != 2 && view_->LinkRect().contains(content) && IsActive() &&
      Platform().TickCount() - state.ActivatedTicks > 99) {
    ShowResidualsWindow();
    return;
  }
  const TDebugClick click =
      DebugClickAt(state, listing_, content.x(), content.y(), view_->verticalScrollBar()->value(),
                   view_->LineHeight(), view_->CharWidth(), button, IsActive(), Platform().TickCount());
  const TDebugRowTarget& t = click.Target;
  switch (click.What) {
    case TDebugClick::kShowVariableSource: {
      if (state.Mode == 1) {
        ShowVarInfoAtVariable(this, t.Unit, t.Variable);
        view_->viewport()->update();
      } else {
        const std::string text = Equations().GetText();
        const auto range = VariableSourceRange(text, click.Mark, t.Variable->Name);
        SelectInEquations(range.first, range.second, std::max(click.Mark, 1));
      }
      break;
    }
    case TDebugClick::kStatementVarInfo:
      ShowVarInfoForVariables(this, t.Unit, EquationVariableIndexes(*t.Statement));
      view_->viewport()->update();
      break;
    case TDebugClick::kModuleVariableAlert:
      ShowAlert(GetMessageText(467), kAlertInfoOk, false);
      break;
    case TDebugClick::kRoutineUnits: {
      if (t.Routine <= 0 || size_t(t.Routine) >= FunctionTable.size() || FunctionTable[size_t(t.Routine)] == nullptr)
        break;
      TFuncProcUnits dialog(this, t.Statement->Text.value_or(std::string()));
      for (TLocalVariableRecord* l : StatementLocals(*FunctionTable[size_t(t.Routine)], *t.Statement))
        dialog.Model().Add(l);
      dialog.exec();
      view_->viewport()->update();
      break;
    }
    case TDebugClick::kSelectStatement:
      SelectInEquations(t.Statement->TextStart, t.Statement->TextEnd, t.Statement->LineNumber);
      break;
    case TDebugClick::kShowResiduals:
      break;  // only where the link was drawn (above)
    case TDebugClick::kNone:
      break;
  }
}

void TDebugForm::closeEvent(QCloseEvent* event) {
  const QRect r = geometry();
  DebugWindowRect.Left = r.left();
  DebugWindowRect.Top = r.top();
  DebugWindowRect.Width = r.width();
  DebugWindowRect.Height = r.height();
  // The user closed the window over a compile that stopped short: the next
  // command compiles again. (A release by the program, before a compile,
  // does not go through here: its deferred deletion must not discard the
  // equations that compile makes.)
  if (DebugState().Mode == 0 || DebugState().Mode == 1) ClearCompiledEquations();
  if (WindowList[kDebugWindow] == this) WindowList[kDebugWindow] = nullptr;
  TGForm::closeEvent(event);
}

TDebugForm* DebugForm() { return dynamic_cast<TDebugForm*>(WindowList[kDebugWindow]); }

void OpenDebugWindow(TProgramUnitRecord* unit, int mode) {
  DebugProgramUnit = unit;
  DebugState().Unit = unit;
  DebugState().Mode = mode;
  auto* form = dynamic_cast<TDebugForm*>(WindowList[kDebugWindow]);
  TVOQ_D* main = MainWindow();
  if (form == nullptr) {
    form = new TDebugForm(main != nullptr ? main->MdiArea() : nullptr);
    if (main != nullptr) main->MdiArea()->addSubWindow(form);
    form->setGeometry(DebugWindowRect.Left, DebugWindowRect.Top, DebugWindowRect.Width, DebugWindowRect.Height);
    WindowList[kDebugWindow] = form;
  }
  if (main != nullptr) {
    main->ShowAndFocus(kDebugWindow);
  } else {
    form->Show();
  }
  form->FormActivate();
}

void RaiseDebugWindow() {
  auto* form = dynamic_cast<TDebugForm*>(WindowList[kDebugWindow]);
  if (form == nullptr) return;
  form->raise();
  if (QMdiArea* area = form->mdiArea()) area->setActiveSubWindow(form);
  ActiveChildWindow = kDebugWindow;
}

void FreeDebugWindow() {
  TGForm* form = WindowList[kDebugWindow];
  WindowList[kDebugWindow] = nullptr;
  if (form != nullptr) form->deleteLater();
}

// --- The units dialog ------------------------------------------------------------

TFuncProcUnits::TFuncProcUnits(QWidget* parent, const std::string& caption) : QDialog(parent) {
  setWindowTitle(caption.empty() ? QStringLiteral("Enter units for the following variables") : ToQt(caption));
  setObjectName(QStringLiteral("FuncProcUnits"));
  auto* layout = new QVBoxLayout(this);
  grid_ = new QTableWidget(this);
  grid_->setObjectName(QStringLiteral("Grid"));
  grid_->setColumnCount(2);
  grid_->horizontalHeader()->hide();
  grid_->verticalHeader()->hide();
  layout->addWidget(grid_);
  auto* buttons = new QHBoxLayout;
  ok_ = new QPushButton(QStringLiteral("OK"), this);
  cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  ok_->setDefault(true);
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  layout->addLayout(buttons);
  connect(ok_, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

bool TFuncProcUnits::FormActivate() {
  if (model_.ClosesAtOnce()) return false;
  const int rows = model_.Count() + 1;
  grid_->setRowCount(rows);
  grid_->setColumnWidth(0, TFuncProcUnitsModel::kNameColumnWidth);
  grid_->setColumnWidth(1, TFuncProcUnitsModel::kUnitsColumnWidth);
  auto fixed = [this](int row, int column, const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled);
    item->setTextAlignment(Qt::AlignCenter);
    grid_->setItem(row, column, item);
  };
  fixed(0, 0, QStringLiteral("VARIABLE"));
  fixed(0, 1, QStringLiteral("UNITS"));
  for (int i = 0; i < model_.Count(); ++i) {
    // The name column cannot be selected: only units are edited.
    fixed(i + 1, 0, ToQt(model_.Name(i)));
    auto* units = new QTableWidgetItem(ToQt(model_.Units(i)));
    units->setTextAlignment(Qt::AlignCenter);
    grid_->setItem(i + 1, 1, units);
  }
  const int rowHeight = grid_->verticalHeader()->defaultSectionSize();
  int height = 5 * rowHeight + 4;
  int width = TFuncProcUnitsModel::kNameColumnWidth + TFuncProcUnitsModel::kUnitsColumnWidth + 22;
  if (rows < 5) {
    // A short list: no scroll bars and a grid no taller than its rows.
    height -= (5 - rows) * rowHeight + 1;
    width -= 18;
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  }
  grid_->setFixedSize(width, height);
  grid_->setCurrentCell(1, 1);
  adjustSize();
  return true;
}

void TFuncProcUnits::OKBtnClick() {
  for (int i = 0; i < model_.Count(); ++i)
    if (QTableWidgetItem* item = grid_->item(i + 1, 1))
      model_.SetUnits(i, Utf8ToCp1252(item->text().toStdString()));
  if (model_.Commit() > 0) DocumentUnchanged = false;
  accept();
}

int TFuncProcUnits::exec() {
  if (!FormActivate()) {
    setResult(QDialog::Rejected);
    return QDialog::Rejected;
  }
  return QDialog::exec();
}

}  // namespace voq

#include "shell/search_dialogs.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTextCursor>
#include <QVBoxLayout>

#include "core/messages.h"
#include "core/program_flags.h"
#include "platform/qt/qt_platform.h"
#include "shell/equations_form.h"
#include "shell/main_window.h"
#include "shell/result_windows.h"

namespace voq {

namespace {

QString ToQt(const std::string& bytes) { return QString::fromStdString(Cp1252ToUtf8(bytes)); }
std::string Bytes(const QLineEdit* edit) { return Utf8ToCp1252(edit->text().toStdString()); }

// The dialogs' face: bold, as the rest of the program's small dialogs.
void SetDialogFont(QWidget& dialog) {
  QFont font = dialog.font();
  font.setBold(true);
  dialog.setFont(font);
}

QLineEdit* MakeTextEdit(QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setMaxLength(static_cast<int>(kMaxFindTextLength));
  edit->setMinimumWidth(190);
  return edit;
}

}  // namespace

// --- Adapters ----------------------------------------------------------------------

std::string TEquationSearchEditor::Text() const { return form_.GetText(); }
int32_t TEquationSearchEditor::SelStart() const { return form_.Memo->EngineSelStart(); }
int32_t TEquationSearchEditor::SelLength() const { return form_.Memo->EngineSelLength(); }

void TEquationSearchEditor::Select(int32_t start, int32_t length) {
  form_.SelectEngineRange(start, start + length);
}

void TEquationSearchEditor::ReplaceRanges(const std::vector<TTextRange>& ranges, const std::string& text) {
  if (ranges.empty()) return;
  // One map of the text before the edit; replacing from the last range to
  // the first keeps the earlier ranges' positions valid. One edit block:
  // one undo step.
  const EditorPositionMap map = form_.Memo->PositionMap();
  const QString inserted = ToQt(text);
  QTextCursor cursor(form_.Memo->document());
  cursor.beginEditBlock();
  int32_t shift = 0;  // how far the last range moved by the edits before it
  for (auto r = ranges.rbegin(); r != ranges.rend(); ++r) {
    const int32_t first = map.EditorFromEngine(r->Start);
    const int32_t last = map.EditorFromEngine(r->Start + r->Length);
    cursor.setPosition(first);
    cursor.setPosition(last, QTextCursor::KeepAnchor);
    cursor.insertText(inserted);
    if (r != ranges.rbegin()) shift += static_cast<int32_t>(inserted.size()) - (last - first);
  }
  cursor.endEditBlock();
  const int32_t caret = map.EditorFromEngine(ranges.back().Start) + shift + static_cast<int32_t>(inserted.size());
  QTextCursor end = form_.Memo->textCursor();
  end.setPosition(caret);
  form_.Memo->setTextCursor(end);
}

void TEquationSearchEditor::FocusEditor() { form_.Memo->ensureCursorVisible(); }
void TEquationSearchEditor::RepaintEditor() { form_.Memo->viewport()->update(); }

void TResidualSearch::Find(const std::string& text, bool fromCurrent, bool& notFound, bool wholeWords,
                           bool matchCase) {
  FindInResidualsWindow(text, fromCurrent, notFound, wholeWords, matchCase);
}

// --- TFindDialog -------------------------------------------------------------------

TFindDialog::TFindDialog(QWidget* parent, TFindDialogModel& model, TSearchTargets targets)
    : QDialog(parent), model_(model), targets_(std::move(targets)) {
  setObjectName(QStringLiteral("FindDialog"));
  setWindowTitle(QStringLiteral("Find"));
  setModal(true);
  setProperty("helpContext", 31);
  SetDialogFont(*this);
  auto* label = new QLabel(QStringLiteral("Fi&nd what:"), this);
  findWhat_ = MakeTextEdit(this);
  label->setBuddy(findWhat_);
  wholeWord_ = new QCheckBox(QStringLiteral("Match &whole word only"), this);
  matchCase_ = new QCheckBox(QStringLiteral("Match &case"), this);
  groupBox1_ = new QGroupBox(QStringLiteral("Start at"), this);
  cursorPosRB_ = new QRadioButton(QStringLiteral("Cursor position"), groupBox1_);
  topRB_ = new QRadioButton(QStringLiteral("Top of file"), groupBox1_);
  auto* group = new QVBoxLayout(groupBox1_);
  group->addWidget(cursorPosRB_);
  group->addWidget(topRB_);
  findNext_ = new QPushButton(QStringLiteral("&Find Next"), this);
  findNext_->setDefault(true);  // Enter in the dialog is Find Next
  cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  cancel_->setAutoDefault(false);
  auto* grid = new QGridLayout(this);
  grid->addWidget(label, 0, 0);
  grid->addWidget(findWhat_, 0, 1, 1, 2);
  grid->addWidget(findNext_, 0, 3);
  grid->addWidget(wholeWord_, 1, 0, 1, 2);
  grid->addWidget(matchCase_, 2, 0, 1, 2);
  grid->addWidget(groupBox1_, 1, 2, 2, 1);
  grid->addWidget(cancel_, 1, 3, Qt::AlignTop);
  grid->setSizeConstraint(QLayout::SetFixedSize);
  connect(findNext_, &QPushButton::clicked, this, [this] { FindNextClick(); });
  connect(topRB_, &QRadioButton::clicked, this, [this] { TopRBClick(); });
  connect(cancel_, &QPushButton::clicked, this, [this] { CancelClick(); });
}

void TFindDialog::ReadControls() {
  model_.FindWhat = Bytes(findWhat_);
  model_.WholeWordChecked = wholeWord_->isChecked();
  model_.MatchCaseChecked = matchCase_->isChecked();
  model_.CursorPosChecked = cursorPosRB_->isChecked();
}

void TFindDialog::ShowModel() {
  if (Bytes(findWhat_) != model_.FindWhat) findWhat_->setText(ToQt(model_.FindWhat));
  wholeWord_->setChecked(model_.WholeWordChecked);
  matchCase_->setChecked(model_.MatchCaseChecked);
  (model_.CursorPosChecked ? cursorPosRB_ : topRB_)->setChecked(true);
  groupBox1_->setVisible(model_.StartAtVisible);
  cancel_->setText(ToQt(model_.CancelCaption));
}

void TFindDialog::FormActivate() {
  model_.FormActivate();
  ShowModel();
  findWhat_->selectAll();
  findWhat_->setFocus();
}

void TFindDialog::FindNextClick() {
  ReadControls();
  model_.FindNextClick(targets_.Editor(), targets_.Residuals());
  ShowModel();
}

void TFindDialog::TopRBClick() {
  ReadControls();
  model_.TopRBClick();
  ShowModel();
}

void TFindDialog::CancelClick() {
  if (SearchEditor* editor = targets_.Editor()) editor->RepaintEditor();
  reject();
}

int TFindDialog::Run() {
  FormActivate();
  return exec();
}

// --- TReplaceDialog ----------------------------------------------------------------

TReplaceDialog::TReplaceDialog(QWidget* parent, TReplaceDialogModel& model, TSearchTargets targets)
    : QDialog(parent), model_(model), targets_(std::move(targets)) {
  setObjectName(QStringLiteral("ReplaceDialog"));
  setWindowTitle(QStringLiteral("Replace"));
  setModal(true);
  setProperty("helpContext", 32);
  // No border icons: only the title.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  SetDialogFont(*this);
  auto* findLabel = new QLabel(QStringLiteral("Fi&nd what:"), this);
  auto* replaceLabel = new QLabel(QStringLiteral("Re&place with:"), this);
  findWhat_ = MakeTextEdit(this);
  replaceWith_ = MakeTextEdit(this);
  findLabel->setBuddy(findWhat_);
  replaceLabel->setBuddy(replaceWith_);
  wholeWord_ = new QCheckBox(QStringLiteral("Match &whole word only"), this);
  matchCase_ = new QCheckBox(QStringLiteral("Match &case"), this);
  groupBox1_ = new QGroupBox(QStringLiteral("Start at"), this);
  cursorPosRB_ = new QRadioButton(QStringLiteral("Cursor position"), groupBox1_);
  topRB_ = new QRadioButton(QStringLiteral("Top of file"), groupBox1_);
  auto* group = new QVBoxLayout(groupBox1_);
  group->addWidget(cursorPosRB_);
  group->addWidget(topRB_);
  findNext_ = new QPushButton(QStringLiteral("Find Next"), this);
  findNext_->setDefault(true);
  replace_ = new QPushButton(QStringLiteral("&Replace"), this);
  replaceAll_ = new QPushButton(QStringLiteral("Replace &All"), this);
  cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  for (QPushButton* b : {replace_, replaceAll_, cancel_}) b->setAutoDefault(false);
  auto* grid = new QGridLayout(this);
  grid->addWidget(findLabel, 0, 0);
  grid->addWidget(findWhat_, 0, 1, 1, 2);
  grid->addWidget(findNext_, 0, 3);
  grid->addWidget(replaceLabel, 1, 0);
  grid->addWidget(replaceWith_, 1, 1, 1, 2);
  grid->addWidget(replace_, 1, 3);
  grid->addWidget(wholeWord_, 2, 0, 1, 2);
  grid->addWidget(matchCase_, 3, 0, 1, 2);
  grid->addWidget(groupBox1_, 2, 2, 2, 1);
  grid->addWidget(replaceAll_, 2, 3);
  grid->addWidget(cancel_, 3, 3, Qt::AlignTop);
  grid->setSizeConstraint(QLayout::SetFixedSize);
  connect(findNext_, &QPushButton::clicked, this, [this] { FindNextClick(); });
  connect(replace_, &QPushButton::clicked, this, [this] { ReplaceClick(); });
  connect(replaceAll_, &QPushButton::clicked, this, [this] { ReplaceAllClick(); });
  connect(topRB_, &QRadioButton::clicked, this, [this] { TopRBClick(); });
  connect(cancel_, &QPushButton::clicked, this, [this] { CancelClick(); });
}

void TReplaceDialog::ReadControls() {
  model_.FindWhat = Bytes(findWhat_);
  model_.ReplaceWith = Bytes(replaceWith_);
  model_.WholeWordChecked = wholeWord_->isChecked();
  model_.MatchCaseChecked = matchCase_->isChecked();
  model_.CursorPosChecked = cursorPosRB_->isChecked();
}

void TReplaceDialog::ShowModel() {
  if (Bytes(findWhat_) != model_.FindWhat) findWhat_->setText(ToQt(model_.FindWhat));
  if (Bytes(replaceWith_) != model_.ReplaceWith) replaceWith_->setText(ToQt(model_.ReplaceWith));
  wholeWord_->setChecked(model_.WholeWordChecked);
  matchCase_->setChecked(model_.MatchCaseChecked);
  (model_.CursorPosChecked ? cursorPosRB_ : topRB_)->setChecked(true);
  cancel_->setText(ToQt(model_.CancelCaption));
}

void TReplaceDialog::OnEditor(const std::function<void(SearchEditor&)>& command) {
  ReadControls();
  if (SearchEditor* editor = targets_.Editor()) command(*editor);
  ShowModel();
}

void TReplaceDialog::FormActivate() {
  model_.FormActivate();
  ShowModel();
  findWhat_->selectAll();
  findWhat_->setFocus();
}

void TReplaceDialog::FindNextClick() {
  OnEditor([this](SearchEditor& e) { model_.FindNextClick(e); });
}
void TReplaceDialog::ReplaceClick() {
  OnEditor([this](SearchEditor& e) { model_.ReplaceClick(e); });
}
void TReplaceDialog::ReplaceAllClick() {
  OnEditor([this](SearchEditor& e) { model_.ReplaceAllClick(e); });
}

void TReplaceDialog::TopRBClick() {
  ReadControls();
  model_.TopRBClick();
  ShowModel();
}

void TReplaceDialog::CancelClick() {
  if (SearchEditor* editor = targets_.Editor()) editor->RepaintEditor();
  reject();
}

int TReplaceDialog::Run() {
  FormActivate();
  return exec();
}

// --- The commands ------------------------------------------------------------------

TSearchCommands::TSearchCommands(TVOQ_D& window) : QObject(&window), window_(window) {
  setObjectName(QStringLiteral("SearchCommands"));
  TSearchTargets targets;
  targets.Editor = [this] { return EquationsEditor(); };
  targets.Residuals = [this] { return Residuals(); };
  find_ = new TFindDialog(&window, dialogs_.Find, targets);
  replace_ = new TReplaceDialog(&window, dialogs_.Replace, targets);
  if (QMenu* menu = window.Menu("Search1")) {
    connect(menu, &QMenu::aboutToShow, this, [this] { Search1Click(); });
    // Closed, the items are left to their keys; the commands check the
    // active window themselves.
    connect(menu, &QMenu::aboutToHide, this, [this] {
      for (const char* name : {"Find1", "Replace1", "Next1"}) {
        if (QAction* action = window_.Action(name)) action->setEnabled(true);
      }
    });
  }
}

TSearchCommands::~TSearchCommands() = default;

SearchEditor* TSearchCommands::EquationsEditor() {
  TEquationForm* form = window_.EquationForm();
  if (form == nullptr) return nullptr;
  if (editor_ == nullptr) editor_ = std::make_unique<TEquationSearchEditor>(*form);
  return editor_.get();
}

ResidualSearch* TSearchCommands::Residuals() {
  if (WindowList[kResidualsWindow] == nullptr) return nullptr;
  if (residuals_ == nullptr) residuals_ = std::make_unique<TResidualSearch>();
  return residuals_.get();
}

void TSearchCommands::Search1Click() {
  const bool equations = ActiveChildWindow == kEquationsWindow;
  const bool residuals = ActiveChildWindow == kResidualsWindow;
  const bool enabled = (equations || residuals) && !window_.Calculating;
  for (const char* name : {"Find1", "Next1"}) {
    if (QAction* action = window_.Action(name)) action->setEnabled(enabled);
  }
  if (QAction* action = window_.Action("Replace1")) action->setEnabled(enabled && equations);
}

void TSearchCommands::Find1Click() {
  if (ActiveChildWindow != kEquationsWindow && ActiveChildWindow != kResidualsWindow) return;
  dialogs_.Find.TargetWindow = ActiveChildWindow;
  find_->Run();
  dialogs_.LastWasFind = true;
  dialogs_.LastWasReplace = false;
}

void TSearchCommands::Replace1Click() {
  if (ActiveChildWindow != kEquationsWindow) return;
  dialogs_.LastWasFind = false;
  dialogs_.LastWasReplace = true;
  replace_->Run();
}

void TSearchCommands::Next1Click() {
  if (ActiveChildWindow == kEquationsWindow) {
    dialogs_.Next1Click(EquationsEditor(), nullptr);
  } else if (ActiveChildWindow == kResidualsWindow) {
    dialogs_.Next1Click(nullptr, Residuals());
  }
}

void InstallSearchCommands(TVOQ_D& window) {
  auto* commands = new TSearchCommands(window);
  window.SetHandler("Find1", [commands] { commands->Find1Click(); });
  window.SetHandler("Replace1", [commands] { commands->Replace1Click(); });
  window.SetHandler("Next1", [commands] { commands->Next1Click(); });
}

TSearchCommands* SearchCommandsOf(const TVOQ_D& window) {
  // Made only by InstallSearchCommands, so the child of that name is one.
  return static_cast<TSearchCommands*>(
      window.findChild<QObject*>(QStringLiteral("SearchCommands"), Qt::FindDirectChildrenOnly));
}

}  // namespace voq

#include "shell/equations_form.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <algorithm>

#include "core/program_flags.h"
#include "model/display_fonts.h"
#include "model/document_settings.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "output/palette.h"
#include "platform/qt/qt_platform.h"
#include "session/compile_driver.h"
#include "shell/compiling_window.h"
#include "shell/main_window.h"
#include "tables/tables_state.h"

namespace voq {

namespace {

constexpr char16_t kParagraphSeparator = 0x2029;

QColor RgbColor(uint32_t rgb) { return QColor(int((rgb >> 16) & 0xFF), int((rgb >> 8) & 0xFF), int(rgb & 0xFF)); }

int32_t EditorLength(const QPlainTextEdit* memo) { return memo->document()->characterCount() - 1; }

// The widget's text as UTF-16 with '\n' line breaks.
std::u16string EditorText(const QPlainTextEdit* memo) { return memo->toPlainText().toStdU16String(); }

// Engine text (Windows-1252, CR LF or lone CR or LF breaks) as widget text.
QString EditorTextOf(const std::string& text) {
  std::string plain;
  plain.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') continue;
      plain.push_back('\n');
    } else {
      plain.push_back(text[i]);
    }
  }
  return QString::fromStdString(Cp1252ToUtf8(plain));
}

// The colour and style of comment type 1 (kind 0) or 2 (kind 1); a negative
// kind is plain black.
QTextCharFormat CommentFormat(int32_t kind) {
  QTextCharFormat format;
  int32_t style = 0;
  uint32_t rgb = 0;
  if (kind >= 0) {
    rgb = PaletteColorRGB(kind == 0 ? Preferences.CommentColor1 : Preferences.CommentColor2);
    style = kind == 0 ? Preferences.CommentStyle1 : Preferences.CommentStyle2;
  }
  format.setForeground(RgbColor(rgb));
  format.setFontItalic(style == 1);
  format.setFontWeight(style == 2 ? QFont::Bold : QFont::Normal);
  format.setFontUnderline(style == 3);
  return format;
}

}  // namespace

// --- The macro recorder --------------------------------------------------------------

bool TablesMacroRecorder::Recording() const { return MacroRecording; }

void TablesMacroRecorder::AppendLine(const std::string& line) { MacroText += line + "\r\n"; }

// --- The continuation margin ---------------------------------------------------------

TContinuationMargin::TContinuationMargin(TEquationForm* form) : QWidget(form), form_(form) {
  setAutoFillBackground(false);
}

std::vector<int> TContinuationMargin::MarkedLines() const {
  std::vector<int> marks;
  if (Preferences.WrapLongLines == 0 || Preferences.ShowLineBreak == 0) return marks;
  const TOwnerDrawMemo* memo = form_->Memo;
  if (memo->document()->lineCount() <= 1 && memo->document()->blockCount() <= 1) {
    const QTextBlock only = memo->document()->firstBlock();
    if (only.layout() == nullptr || only.layout()->lineCount() <= 1) return marks;
  }
  const int height = memo->viewport()->height();
  const QPointF offset = memo->contentOffsetForMargin();
  int displayLine = 0;
  for (QTextBlock block = memo->firstVisibleBlockForMargin(); block.isValid(); block = block.next()) {
    const QRectF box = memo->blockGeometryForMargin(block).translated(offset);
    if (box.top() > height) break;
    const QTextLayout* layout = block.layout();
    for (int i = 0; layout != nullptr && i < layout->lineCount(); ++i) {
      const QTextLine line = layout->lineAt(i);
      if (box.top() + line.y() + line.height() <= 0) continue;
      if (box.top() + line.y() > height) break;
      if (i > 0) marks.push_back(displayLine);
      ++displayLine;
    }
  }
  return marks;
}

void TContinuationMargin::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  const std::vector<int> marks = MarkedLines();
  if (marks.empty()) return;
  const TOwnerDrawMemo* memo = form_->Memo;
  painter.setFont(memo->font());
  painter.setPen(Qt::red);
  // Display line n of the visible ones sits where the editor drew it.
  const QPointF offset = memo->contentOffsetForMargin();
  const int height = memo->viewport()->height();
  const int top = memo->geometry().top() + memo->viewport()->geometry().top() - geometry().top();
  int displayLine = 0;
  size_t next = 0;
  for (QTextBlock block = memo->firstVisibleBlockForMargin(); block.isValid() && next < marks.size();
       block = block.next()) {
    const QRectF box = memo->blockGeometryForMargin(block).translated(offset);
    if (box.top() > height) break;
    const QTextLayout* layout = block.layout();
    for (int i = 0; layout != nullptr && i < layout->lineCount() && next < marks.size(); ++i) {
      const QTextLine line = layout->lineAt(i);
      if (box.top() + line.y() + line.height() <= 0) continue;
      if (marks[next] == displayLine) {
        const int y = top + int(box.top() + line.y());
        painter.drawText(QRect(2, y, width() - 2, int(line.height())), Qt::AlignLeft | Qt::AlignTop,
                         QStringLiteral(">"));
        ++next;
      }
      ++displayLine;
    }
  }
}

// --- The editor ----------------------------------------------------------------------

TOwnerDrawMemo::TOwnerDrawMemo(TEquationForm* form) : QPlainTextEdit(form), form_(form) {
  setFrameShape(QFrame::NoFrame);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setTabChangesFocus(false);
  QPalette white = palette();
  white.setColor(QPalette::Base, Qt::white);
  white.setColor(QPalette::Window, Qt::white);
  white.setColor(QPalette::Text, Qt::black);
  setPalette(white);
  connect(this, &QPlainTextEdit::textChanged, this, [this] { MemoChange(); });
  connect(this, &QPlainTextEdit::selectionChanged, this, [this] { MemoSelectionChange(); });
}

EditorPositionMap TOwnerDrawMemo::PositionMap() const { return EditorPositionMap(EditorText(this)); }

int32_t TOwnerDrawMemo::EngineSelStart() const {
  return PositionMap().EngineFromEditor(textCursor().selectionStart());
}

int32_t TOwnerDrawMemo::EngineSelLength() const {
  const EditorPositionMap map = PositionMap();
  const QTextCursor c = textCursor();
  return map.EngineFromEditor(c.selectionEnd()) - map.EngineFromEditor(c.selectionStart());
}

void TOwnerDrawMemo::StyleEditorRange(int32_t first, int32_t last, int32_t kind) {
  const int32_t length = EditorLength(this);
  first = std::max(0, first);
  last = std::min(last, length - 1);
  if (last < first) return;
  ++styling_;
  QTextCursor cursor(document());
  cursor.setPosition(first);
  cursor.setPosition(last + 1, QTextCursor::KeepAnchor);
  cursor.mergeCharFormat(CommentFormat(kind));
  --styling_;
}

void TOwnerDrawMemo::StyleMemoRange(int32_t first, int32_t last, int32_t kind) {
  if (LoadingLibrary) return;
  if (last < 0) {
    StyleEditorRange(0, EditorLength(this) - 1, kind);
    return;
  }
  const EditorPositionMap map = form_->readDepth_ > 0 ? form_->readMap_ : PositionMap();
  StyleEditorRange(map.EditorFromEngine(first - 1), map.EditorFromEngine(last + 1) - 1, kind);
}

void TOwnerDrawMemo::ClearMemoRangeStyle(int32_t first, int32_t last) {
  if (LoadingLibrary) return;
  if (last < 0) {
    StyleEditorRange(0, EditorLength(this) - 1, -1);
    return;
  }
  const EditorPositionMap map = form_->readDepth_ > 0 ? form_->readMap_ : PositionMap();
  StyleEditorRange(map.EditorFromEngine(first), map.EditorFromEngine(last + 1) - 1, -1);
}

int32_t TOwnerDrawMemo::LineOfChar(int32_t position) const {
  const int editor = PositionMap().EditorFromEngine(position);
  const QTextBlock block = document()->findBlock(editor);
  if (!block.isValid()) return std::max(0, document()->lineCount() - 1);
  int inBlock = 0;
  if (const QTextLayout* layout = block.layout(); layout != nullptr && layout->lineCount() > 0) {
    const QTextLine line = layout->lineForTextPosition(editor - block.position());
    if (line.isValid()) inBlock = line.lineNumber();
  }
  return block.firstLineNumber() + inBlock;
}

int32_t TOwnerDrawMemo::LineStart(int32_t line) const {
  const QTextBlock block = document()->findBlockByLineNumber(std::max(0, line));
  if (!block.isValid()) return PositionMap().EngineLength();
  int start = block.position();
  const int inBlock = line - block.firstLineNumber();
  if (const QTextLayout* layout = block.layout(); layout != nullptr && inBlock > 0 && inBlock < layout->lineCount())
    start += layout->lineAt(inBlock).textStart();
  return PositionMap().EngineFromEditor(start);
}

void TOwnerDrawMemo::ScrollToRange(int32_t first, int32_t last, int32_t key) {
  if (key < 0) return;
  QTextCursor cursor = textCursor();
  cursor.setPosition(0);
  setTextCursor(cursor);
  verticalScrollBar()->setValue(0);
  const int32_t line = LineOfChar(first);
  const int32_t lineHeight = ScreenLineHeight > 0 ? ScreenLineHeight : fontMetrics().lineSpacing();
  const int32_t visible = viewport()->height() / std::max(1, lineHeight);
  const int32_t down = line - (visible + 1) / 2;
  if (down > 0) verticalScrollBar()->setValue(down);
  const EditorPositionMap map = PositionMap();
  cursor.setPosition(map.EditorFromEngine(first));
  cursor.setPosition(map.EditorFromEngine(std::max(first, last)), QTextCursor::KeepAnchor);
  setTextCursor(cursor);
}

void TOwnerDrawMemo::ResetContent() {
  ++styling_;
  clear();
  --styling_;
  QTextCursor cursor = textCursor();
  cursor.setPosition(0);
  setTextCursor(cursor);
  LastTextLength = 0;
  form_->ApplyTypingFormat();
  form_->FormResize();
}

void TOwnerDrawMemo::MarkParenthesis() {
  const QTextCursor caret = textCursor();
  const QTextBlock block = caret.block();
  const QTextLayout* layout = block.layout();
  int lineStart = block.position();
  int lineLength = block.length() - 1;
  if (layout != nullptr && layout->lineCount() > 0) {
    const QTextLine line = layout->lineForTextPosition(caret.position() - block.position());
    if (line.isValid()) {
      lineStart = block.position() + line.textStart();
      lineLength = line.textLength();
    }
  }
  const std::u16string text = block.text().mid(lineStart - block.position(), std::min(lineLength, 255)).toStdU16String();
  ++styling_;
  QTextCursor cursor(document());
  cursor.setPosition(lineStart);
  cursor.setPosition(lineStart + static_cast<int>(text.size()), QTextCursor::KeepAnchor);
  QTextCharFormat plain;
  plain.setFontWeight(QFont::Normal);
  cursor.mergeCharFormat(plain);
  const int32_t mark = UnmatchedParenthesis(text);
  if (mark >= 0) {
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.setPosition(lineStart + mark);
    cursor.setPosition(lineStart + mark + 1, QTextCursor::KeepAnchor);
    cursor.mergeCharFormat(bold);
  }
  mergeCurrentCharFormat(plain);
  --styling_;
}

void TOwnerDrawMemo::UndoText() {
  // Comment colours and parenthesis marks are undo steps of the widget's
  // document too; the user's undo passes over them to the last change of
  // the text (the next compile paints the comments again).
  const QString before = toPlainText();
  while (document()->isUndoAvailable()) {
    undo();
    if (toPlainText() != before) break;
  }
}

void TOwnerDrawMemo::keyPressEvent(QKeyEvent* event) {
  if (event == QKeySequence::Undo) {
    UndoText();
    event->accept();
    return;
  }
  const QString typed = event->text();
  const bool inserts = !typed.isEmpty() && (typed.at(0).isPrint() || typed.at(0) == u'\t' || typed.at(0) == u'\r');
  if (inserts && !isReadOnly()) {
    const QTextCursor c = textCursor();
    if (InsertionRoom(EditorLength(this), c.selectionEnd() - c.selectionStart(), 1) < 1) {
      QApplication::beep();
      event->accept();
      return;
    }
  }
  QPlainTextEdit::keyPressEvent(event);
  if (typed == QStringLiteral("(") || typed == QStringLiteral(")") || event->key() == Qt::Key_Backspace)
    MarkParenthesis();
}

void TOwnerDrawMemo::insertFromMimeData(const QMimeData* source) {
  if (source == nullptr || !source->hasText()) {
    QPlainTextEdit::insertFromMimeData(source);
    return;
  }
  QString text = source->text();
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QChar(u'\r'), QChar(u'\n'));
  QTextCursor c = textCursor();
  const int32_t room = InsertionRoom(EditorLength(this), c.selectionEnd() - c.selectionStart(),
                                     static_cast<int32_t>(text.size()));
  if (room < text.size()) {
    text.truncate(room);
    QApplication::beep();
  }
  c.insertText(text);
  setTextCursor(c);
  ensureCursorVisible();
}

void TOwnerDrawMemo::mouseMoveEvent(QMouseEvent* event) {
  // The hourglass while the equations are being read.
  const TVOQ_D* window = MainWindow();
  const bool busy = form_->readDepth_ > 0 || (window != nullptr && window->CompilingForm() != nullptr &&
                                               window->CompilingForm()->Active);
  viewport()->setCursor(busy ? Qt::WaitCursor : Qt::IBeamCursor);
  QPlainTextEdit::mouseMoveEvent(event);
}

void TOwnerDrawMemo::contextMenuEvent(QContextMenuEvent* event) {
  form_->PreparePopupMenu();
  form_->PopupMenu1->exec(event->globalPos());
}

void TOwnerDrawMemo::paintEvent(QPaintEvent* event) {
  if (Loading || LoadingLibrary) return;
  QPlainTextEdit::paintEvent(event);
}

void TOwnerDrawMemo::MemoChange() {
  if (styling_ > 0 || form_->readDepth_ > 0 || LoadingLibrary || Loading) return;
  form_->ResultsInvalidated = false;
  EquationsCompiled = false;
  const int32_t length = EditorLength(this);
  if (length != LastTextLength) form_->InvalidateResults();
  const int32_t horizontalMax = horizontalScrollBar()->maximum();
  // A horizontal scroll bar has just appeared: lay the window out again.
  if (LastHorzScrollMax == 0 && horizontalMax != 0) form_->FormResize();
  LastHorzScrollMax = horizontalMax;
  DocumentUnchanged = false;
  LastTextLength = length;
}

void TOwnerDrawMemo::MemoSelectionChange() {
  QTextCursor c = textCursor();
  if (c.selectionEnd() - c.selectionStart() != 1) return;
  const QString selected = c.selectedText();
  if (selected.size() == 1 && (selected.at(0) == QChar(kParagraphSeparator) || selected.at(0) == u'\n')) {
    c.setPosition(c.selectionStart());
    setTextCursor(c);
  }
}

// --- The window ----------------------------------------------------------------------

TEquationForm::TEquationForm(QWidget* parent) : TGForm(parent), Memo(nullptr), PopupMenu1(nullptr), margin_(nullptr) {
  Tag = kEquationsWindow;
  setWindowTitle(QStringLiteral("Equations Window"));
  auto* client = new QWidget;
  client->setAutoFillBackground(true);
  QPalette white = client->palette();
  white.setColor(QPalette::Window, Qt::white);
  client->setPalette(white);
  auto* row = new QHBoxLayout(client);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  margin_ = new TContinuationMargin(this);
  Memo = new TOwnerDrawMemo(this);
  row->addWidget(margin_);
  row->addWidget(Memo, 1);
  // The window's focus is the editor's: showing the window again (after a
  // message box, or from the Windows menu) gives the keys to the text.
  client->setFocusProxy(Memo);
  setWidget(client);
  resize(427, 273);
  Memo->setFont(EditorFont());
  ApplyTypingFormat();
  connect(Memo, &QPlainTextEdit::updateRequest, margin_, [this] { margin_->update(); });
  connect(this, &QMdiSubWindow::aboutToActivate, this, [this] { FormActivate(); });

  PopupMenu1 = new QMenu(this);
  const std::pair<const char*, std::function<void()>> items[] = {
      {"Comment", [this] { Comment1Click(); }},  {nullptr, nullptr},
      {"Cut", [this] { Cut1Click(); }},          {"Copy", [this] { Copy1Click(); }},
      {"Paste", [this] { Paste1Click(); }},      {nullptr, nullptr},
      {"Variable Info", [this] { VariableInfo1Click(); }}, {nullptr, nullptr},
      {"Print Selection", [this] { Printselection1Click(); }}};
  for (const auto& [caption, handler] : items) {
    if (caption == nullptr) {
      PopupMenu1->addSeparator();
      continue;
    }
    QAction* action = PopupMenu1->addAction(QString::fromLatin1(caption));
    connect(action, &QAction::triggered, this, handler);
  }
  FormResize();
}

QFont TEquationForm::EditorFont() const {
  QFont font;
  QStringList families;
  if (!EditorFontName.empty()) families << QString::fromStdString(Cp1252ToUtf8(EditorFontName));
  // A face the machine lacks falls back to one the program installs.
  families << QStringLiteral("DejaVu Sans");
  font.setFamilies(families);
  font.setPointSize(EditorFontPoints > 0 ? EditorFontPoints : 10);
  return font;
}

void TEquationForm::ApplyTypingFormat() {
  QTextCharFormat typing;
  typing.setFont(EditorFont(), QTextCharFormat::FontPropertiesSpecifiedOnly);
  typing.setForeground(Preferences.EquationsInBlue != 0 ? QColor(0, 0, 255) : QColor(0, 0, 0));
  Memo->setCurrentCharFormat(typing);
}

std::string TEquationForm::GetText() const {
  const std::string text = Utf8ToCp1252(Memo->toPlainText().toStdString());
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') out.push_back('\r');
    out.push_back(c);
  }
  return out;
}

void TEquationForm::SetText(const std::string& text) {
  CloseStyleBlock();
  Memo->Loading = true;
  Memo->setPlainText(EditorTextOf(text));
  Memo->Loading = false;
  Memo->LastTextLength = EditorLength(Memo);
  Memo->LastHorzScrollMax = Memo->horizontalScrollBar()->maximum();
  ApplyTypingFormat();
  Memo->viewport()->update();
}

int32_t TEquationForm::CaretPosition() const {
  return Memo->PositionMap().EngineFromEditor(Memo->textCursor().position());
}

void TEquationForm::InsertAtCaret(const std::string& text) {
  Memo->insertPlainText(EditorTextOf(text));
  Memo->LastTextLength = EditorLength(Memo);
}

void TEquationForm::SetLoading(bool loading) { Memo->Loading = loading; }

bool TEquationForm::ReplaceText(const std::string& oldText, const std::string& newText) {
  const std::string text = GetText();
  const size_t at = text.find(oldText);
  if (oldText.empty() || at == std::string::npos) return false;
  const EditorPositionMap map = Memo->PositionMap();
  QTextCursor cursor(Memo->document());
  cursor.setPosition(map.EditorFromEngine(static_cast<int32_t>(at)));
  cursor.setPosition(map.EditorFromEngine(static_cast<int32_t>(at + oldText.size())), QTextCursor::KeepAnchor);
  cursor.insertText(EditorTextOf(newText));
  return true;
}

void TEquationForm::BeginRead() {
  if (readDepth_++ > 0) return;
  const QTextCursor c = Memo->textCursor();
  savedAnchor_ = c.anchor();
  savedPosition_ = c.position();
  savedScrollV_ = Memo->verticalScrollBar()->value();
  savedScrollH_ = Memo->horizontalScrollBar()->value();
  const std::string text = GetText();
  readMap_ = Memo->PositionMap();
  if (!LoadingLibrary) Memo->LineStartTable = BuildLineStartTable(text);
}

void TEquationForm::EndRead(bool restoreView) {
  if (readDepth_ == 0 || --readDepth_ > 0) return;
  CloseStyleBlock();
  if (restoreView) {
    const int length = EditorLength(Memo);
    QTextCursor c = Memo->textCursor();
    c.setPosition(std::min(savedAnchor_, length));
    c.setPosition(std::min(savedPosition_, length), QTextCursor::KeepAnchor);
    Memo->setTextCursor(c);
    Memo->verticalScrollBar()->setValue(savedScrollV_);
    Memo->horizontalScrollBar()->setValue(savedScrollH_);
  }
  Memo->LastTextLength = EditorLength(Memo);
  readMap_ = EditorPositionMap();
}

void TEquationForm::OpenStyleBlock() {
  if (styleBlockOpen_ || readDepth_ == 0 || LoadingLibrary) return;
  styleBlock_ = QTextCursor(Memo->document());
  styleBlock_.beginEditBlock();
  styleBlockOpen_ = true;
}

void TEquationForm::CloseStyleBlock() {
  if (!styleBlockOpen_) return;
  styleBlockOpen_ = false;
  // The document reports the block's changes as it closes: they are
  // formatting, not an edit of the user.
  ++Memo->styling_;
  styleBlock_.endEditBlock();
  --Memo->styling_;
  styleBlock_ = QTextCursor();
}

void TEquationForm::StyleCommentRange(int32_t first, int32_t last, int32_t styleClass) {
  OpenStyleBlock();
  Memo->StyleMemoRange(first + 1, last, styleClass);
}

void TEquationForm::ClearCommentStyles() {
  OpenStyleBlock();
  Memo->ClearMemoRangeStyle(0, -1);
}

void TEquationForm::FormActivate() {
  ActiveChildWindow = kEquationsWindow;
  ResultsInvalidated = false;
}

void TEquationForm::FormResize() {
  const bool wrap = Preferences.WrapLongLines != 0;
  margin_->setFixedWidth(wrap ? QFontMetrics(Memo->font()).horizontalAdvance(QLatin1Char('>')) + 4 : 5);
  // A right indent of 20 points keeps wrapped text off the window's edge;
  // 2 points without wrapping.
  Memo->SetRightIndent(static_cast<int>((wrap ? 20 : 2) * Memo->logicalDpiX() / 72.0 + 0.5));
  if (Preferences.TabWidth != AppliedTabWidth) {
    tabStops_ = EditorTabStopsPoints(Preferences.TabWidth, Memo->logicalDpiX());
    QTextOption option = Memo->document()->defaultTextOption();
    QList<QTextOption::Tab> tabs;
    const double pixelsPerPoint = Memo->logicalDpiX() / 72.0;
    for (int32_t stop : tabStops_) tabs.append(QTextOption::Tab(stop * pixelsPerPoint, QTextOption::LeftTab));
    option.setTabs(tabs);
    Memo->document()->setDefaultTextOption(option);
  }
  Memo->viewport()->update();
  margin_->update();
  AppliedTabWidth = Preferences.TabWidth;
}

void TEquationForm::SetFontInfo() {
  if (LoadingLibrary) return;
  const bool wrap = Preferences.WrapLongLines != 0;
  Memo->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
  Memo->setHorizontalScrollBarPolicy(wrap ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
  const QFont font = EditorFont();
  // The face and size change; the colours and styles of the text stay.
  ++Memo->styling_;
  QTextCursor all(Memo->document());
  all.select(QTextCursor::Document);
  QTextCharFormat face;
  face.setFontFamilies(font.families());
  face.setFontPointSize(font.pointSizeF());
  all.mergeCharFormat(face);
  --Memo->styling_;
  Memo->setFont(font);
  QTextCursor c = Memo->textCursor();
  c.setPosition(0);
  Memo->setTextCursor(c);
  ApplyTypingFormat();
  FormResize();
}

void TEquationForm::InvalidateResults() {
  if (ResultsInvalidated || LoadingLibrary) return;
  ResultsInvalidated = true;
  if (TGForm* debug = WindowList[kDebugWindow]) {
    WindowList[kDebugWindow] = nullptr;
    delete debug;
  }
  if (Preferences.HideSolutionAfterChange == 0) return;
  SolutionAvailable = false;
  CheckOnlyStarted = false;
  SolutionStarted = false;
  for (int slot : {kSolutionWindow, kResidualsWindow, kArraysTableWindow, kIntegralTableWindow,
                   kFormattedEquationsWindow}) {
    TGForm* form = WindowList[size_t(slot)];
    if (form == nullptr || !form->IsShown) continue;
    // A result window's own close hides it; the program then no longer
    // counts it as open.
    form->close();
    if (!form->isVisible()) form->IsShown = false;
  }
}

void TEquationForm::Undo() { Memo->UndoText(); }

void TEquationForm::PreparePopupMenu() {
  const QList<QAction*> items = PopupMenu1->actions();
  const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
  items[4]->setEnabled(clip != nullptr && clip->hasText() && !DistributableMode);
  QTextCursor c = Memo->textCursor();
  int32_t length = 0;
  if (c.hasSelection()) {
    const int32_t start = c.selectionStart();
    length = TrimSelectionEnd(EditorText(Memo), start, c.selectionEnd() - start);
    c.setPosition(start);
    c.setPosition(start + length, QTextCursor::KeepAnchor);
    Memo->setTextCursor(c);
  }
  const bool any = length > 0;
  if (any) items[0]->setText(QString::fromStdString(CommentCaption(c.selectedText().toStdU16String())));
  for (int index : {0, 2, 3, 8}) items[index]->setEnabled(any);
}

void TEquationForm::Comment1Click() {
  const QTextCursor selection = Memo->textCursor();
  if (!selection.hasSelection()) return;
  const TCommentEdit edit = PlanCommentToggle(EditorText(Memo), selection.selectionStart(),
                                              selection.selectionEnd() - selection.selectionStart());
  if (edit.Action == TCommentEdit::kNothing) return;
  QTextCursor cursor(Memo->document());
  cursor.beginEditBlock();
  if (edit.Action == TCommentEdit::kUncomment) {
    cursor.setPosition(edit.Close);
    cursor.deleteChar();
    cursor.setPosition(edit.Open);
    cursor.deleteChar();
    Memo->StyleEditorRange(edit.StyleFirst, edit.StyleLast, -1);
  } else {
    cursor.setPosition(edit.Close);
    cursor.insertText(QStringLiteral("}"));
    cursor.setPosition(edit.Open);
    cursor.insertText(QStringLiteral("{"));
    Memo->StyleEditorRange(edit.StyleFirst, edit.StyleLast, 0);
  }
  cursor.endEditBlock();
}

void TEquationForm::Cut1Click() { Memo->cut(); }

void TEquationForm::Paste1Click() { Memo->paste(); }

void TEquationForm::Copy1Click() {
  Memo->copy();
  MacroRecorder& recorder = recorder_ != nullptr ? *recorder_ : tablesRecorder_;
  if (!recorder.Recording()) return;
  recorder.AppendLine(
      CopyMacroLine(Memo->PositionMap(), Memo->LineStartTable, Memo->EngineSelStart(), Memo->EngineSelLength()));
}

void TEquationForm::VariableInfo1Click() {
  if (TVOQ_D* window = MainWindow()) {
    if (QAction* action = window->Action("VariableInfo1")) action->trigger();
  }
}

void TEquationForm::Printselection1Click() {
  if (PrintSelection) PrintSelection();
}

void TEquationForm::SetMacroRecorder(MacroRecorder* recorder) { recorder_ = recorder; }

void TEquationForm::SelectEngineRange(int32_t start, int32_t end) { Memo->ScrollToRange(start, end, 0); }

void TEquationForm::closeEvent(QCloseEvent* event) {
  // The window lives as long as the program: closing only hides it.
  event->ignore();
  const bool wasActive = ActiveChildWindow == kEquationsWindow;
  Hide();
  if (wasActive && !isMaximized() && mdiArea() != nullptr) mdiArea()->activateNextSubWindow();
}

void TEquationForm::resizeEvent(QResizeEvent* event) {
  TGForm::resizeEvent(event);
  if (margin_ != nullptr) FormResize();
}

}  // namespace voq

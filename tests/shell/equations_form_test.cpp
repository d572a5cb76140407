#include "shell/equations_form.h"

#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMdiArea>
#include <QMenu>
#include <QPointer>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include <memory>
#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/messages.h"
#include "core/program_flags.h"
#include "model/display_fonts.h"
#include "model/document_settings.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "output/palette.h"
#include "platform/qt/qt_platform.h"
#include "qt_app.h"
#include "session/compile_driver.h"
#include "shell/gform.h"
#include "shell/main_window.h"
#include "tables/tables_state.h"

namespace voq {
namespace {

class FakeRecorder : public MacroRecorder {
 public:
  bool Recording() const override { return recording; }
  void AppendLine(const std::string& line) override { lines.push_back(line); }
  bool recording = true;
  std::vector<std::string> lines;
};

class EquationFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureApplication();
    dir_ = testing::MakeTempFolder("voq_eqnform");
    window_ = std::make_unique<TVOQ_D>();
    window_->InstallHostServices(platform_);
    platform_.SetScriptedAnswer(kResultOk);
    window_->FormCreate(dir_);
    window_->resize(900, 640);
    window_->show();
    window_->ShowAndFocus(kEquationsWindow);
    form_ = window_->EquationForm();
    form_->move(0, 0);
    form_->resize(600, 400);
    memo_ = form_->Memo;
    savedLineHeight_ = ScreenLineHeight;
  }
  void TearDown() override {
    ScreenLineHeight = savedLineHeight_;
    window_.reset();
    RestoreInstalledHost();
    std::filesystem::remove_all(dir_);
  }

  // Positions of the editor's characters drawn bold.
  std::vector<int> BoldPositions() const {
    std::vector<int> bold;
    for (QTextBlock b = memo_->document()->begin(); b.isValid(); b = b.next()) {
      for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        if (f.charFormat().fontWeight() < QFont::Bold) continue;
        for (int i = 0; i < f.length(); ++i) bold.push_back(f.position() + i);
      }
    }
    return bold;
  }
  QColor ColourAt(int position) const {
    QTextCursor c(memo_->document());
    c.setPosition(position + 1);
    return c.charFormat().foreground().color();
  }
  void Select(int start, int length) {
    QTextCursor c = memo_->textCursor();
    c.setPosition(start);
    c.setPosition(start + length, QTextCursor::KeepAnchor);
    memo_->setTextCursor(c);
  }
  void TypeLines(const std::vector<std::string>& lines) {
    for (size_t i = 0; i < lines.size(); ++i) {
      if (i > 0) QTest::keyClick(memo_, Qt::Key_Return);
      QTest::keyClicks(memo_, QString::fromStdString(lines[i]));
    }
  }

  std::string dir_;
  QtPlatform platform_;
  std::unique_ptr<TVOQ_D> window_;
  TEquationForm* form_ = nullptr;
  TOwnerDrawMemo* memo_ = nullptr;
  int32_t savedLineHeight_ = 0;
};

TEST_F(EquationFormTest, TypedParenthesesMarkTheInnermostUnmatchedOne) {
  QTest::keyClicks(memo_, QStringLiteral("a=(b+(c"));
  EXPECT_EQ(BoldPositions(), std::vector<int>{5});
  // Closing one: the outer "(" is open now; closing both balances the line
  // and the mark goes.
  QTest::keyClicks(memo_, QStringLiteral(")"));
  EXPECT_EQ(BoldPositions(), std::vector<int>{2});
  QTest::keyClicks(memo_, QStringLiteral(")"));
  EXPECT_TRUE(BoldPositions().empty());
  // A surplus ")" typed into the balanced line.
  QTest::keyClicks(memo_, QStringLiteral(")"));
  EXPECT_EQ(BoldPositions(), std::vector<int>{9});
  // Backspace removes it: balanced again, nothing bold, and the text typed
  // next is plain.
  QTest::keyClick(memo_, Qt::Key_Backspace);
  EXPECT_TRUE(BoldPositions().empty());
  QTest::keyClicks(memo_, QStringLiteral("+d"));
  EXPECT_TRUE(BoldPositions().empty());
  EXPECT_EQ(memo_->toPlainText().toStdString(), "a=(b+(c))+d");
}

TEST_F(EquationFormTest, MarkLooksAtTheCurrentLineOnly) {
  TypeLines({"a=(b", "c=(d)"});
  // The balanced second line adds no mark; the first line's stays, since
  // only the line being typed is looked at.
  EXPECT_EQ(BoldPositions(), std::vector<int>{2});
}

TEST_F(EquationFormTest, ContinuationMarksOnWrappedDisplayLinesOnly) {
  Preferences.WrapLongLines = 1;
  Preferences.ShowLineBreak = 1;
  form_->SetFontInfo();
  QApplication::processEvents();
  // One hard line made long enough to wrap over exactly three display lines.
  std::string text;
  int lines = 0;
  for (int i = 0; i < 400 && lines < 3; ++i) {
    text += "x" + std::to_string(i) + " + ";
    Equations().SetText("y = " + text + "1");
    memo_->document()->documentLayout()->blockBoundingRect(memo_->document()->firstBlock());
    lines = memo_->document()->firstBlock().layout()->lineCount();
  }
  ASSERT_EQ(lines, 3);
  EXPECT_EQ(form_->Margin()->MarkedLines(), (std::vector<int>{1, 2}));
  // The margin leaves room for ">", and the marks are drawn in red there.
  EXPECT_GT(form_->Margin()->width(), 5);
  QApplication::processEvents();
  const QImage image = form_->grab().toImage().convertToFormat(QImage::Format_RGB32);
  testing::SaveTestPicture(image, "equations_window_wrapped.png");
  const QRect margin(form_->Margin()->mapTo(form_, QPoint(0, 0)), form_->Margin()->size());
  int red = 0;
  for (int y = margin.top(); y <= margin.bottom(); ++y) {
    for (int x = margin.left(); x <= margin.right(); ++x) {
      const QColor c = image.pixelColor(x, y);
      red += (c.red() > 150 && c.green() < 100 && c.blue() < 100) ? 1 : 0;
    }
  }
  EXPECT_GT(red, 4);

  Equations().SetText("y = 1");
  EXPECT_TRUE(form_->Margin()->MarkedLines().empty());
  // Two short hard lines: no line continues another.
  Equations().SetText("y = 1\r\nz = 2");
  EXPECT_TRUE(form_->Margin()->MarkedLines().empty());

  Equations().SetText("y = " + text + "1");
  Preferences.ShowLineBreak = 0;
  EXPECT_TRUE(form_->Margin()->MarkedLines().empty());
  Preferences.WrapLongLines = 0;
  form_->SetFontInfo();
  EXPECT_EQ(form_->Margin()->width(), 5);
  EXPECT_EQ(memo_->lineWrapMode(), QPlainTextEdit::NoWrap);
}

TEST_F(EquationFormTest, TabStopsFromThePreference) {
  ASSERT_EQ(memo_->logicalDpiX(), 96);
  Preferences.TabWidth = 0;
  form_->AppliedTabWidth = 1;
  form_->FormResize();
  const auto& stops = form_->TabStopsPoints();
  EXPECT_EQ(stops[0], 17);
  EXPECT_EQ(stops[1], 35);
  EXPECT_EQ(stops[2], 52);
  EXPECT_EQ(stops[3], 70);
  // The widget takes them in pixels: 17 points at 96 dpi = 22.67 pixels.
  const QList<QTextOption::Tab> tabs = memo_->document()->defaultTextOption().tabs();
  ASSERT_EQ(tabs.size(), 15);
  EXPECT_NEAR(tabs[0].position, 17 * 96 / 72.0, 1e-9);
  EXPECT_EQ(form_->AppliedTabWidth, 0);
  // A new preference is applied at the next layout.
  Preferences.TabWidth = 4000;
  form_->FormResize();
  EXPECT_EQ(form_->TabStopsPoints()[0], 35);
}

TEST_F(EquationFormTest, ScrollToRangeCentresTheLineOfTheRange) {
  std::string text;
  for (int i = 0; i < 100; ++i) text += "x" + std::to_string(i) + " = " + std::to_string(i) + "\r\n";
  Equations().SetText(text);
  QApplication::processEvents();
  // A view twenty lines high.
  ScreenLineHeight = memo_->viewport()->height() / 20;
  ASSERT_GT(ScreenLineHeight, 0);
  const int32_t line50 = memo_->LineStart(50);
  memo_->ScrollToRange(line50, line50 + 3, 1);
  EXPECT_EQ(memo_->verticalScrollBar()->value(), 40);
  EXPECT_EQ(memo_->textCursor().selectedText().toStdString(), "x50");
  const int32_t line3 = memo_->LineStart(3);
  memo_->ScrollToRange(line3, line3 + 2, 1);
  EXPECT_EQ(memo_->verticalScrollBar()->value(), 0);
  EXPECT_EQ(memo_->textCursor().selectedText().toStdString(), "x3");
  // A negative key does nothing.
  memo_->ScrollToRange(line50, line50 + 3, -1);
  EXPECT_EQ(memo_->textCursor().selectedText().toStdString(), "x3");
}

TEST_F(EquationFormTest, CompileErrorSelectsTheEquation) {
  TypeLines({"x = 3", "x = 4"});
  CheckOnlyMode = false;
  CompileEquations(false, false);
  // The second equation sets x again (error 22).
  EXPECT_GE(platform_.AlertCount(), 1);
  EXPECT_NE(platform_.LastAlertText().find("previously set"), std::string::npos) << platform_.LastAlertText();
  EXPECT_EQ(memo_->textCursor().selectedText().toStdString(), "x = 4");
}

TEST_F(EquationFormTest, ErrorAfterSeveralLinesSelectsTheRightCharacters) {
  TypeLines({"{model}", "", "a = 1", "", "b = 2", "c = a +* b", "d = 4"});
  CheckOnlyMode = false;
  CompileEquations(false, false);
  ASSERT_GE(platform_.AlertCount(), 1);
  const QTextCursor c = memo_->textCursor();
  ASSERT_TRUE(c.hasSelection());
  // The selection lies on the line of the faulty statement.
  EXPECT_EQ(c.block().blockNumber(), 5);
  // Exactly the statement's characters: the line break after it stays out.
  EXPECT_EQ(c.selectedText().toStdString(), "c = a +* b");
  const std::string engine = form_->GetText();
  EXPECT_EQ(engine.substr(size_t(memo_->EngineSelStart()), size_t(memo_->EngineSelLength())), "c = a +* b");
}

TEST_F(EquationFormTest, ReadPaintsCommentsInTheirColours) {
  TypeLines({"{plain comment} x = 1", "y = 2 {!bang comment}"});
  CheckOnlyMode = false;
  CompileEquations(false, false);
  const QColor type1 = QColor(QRgb(PaletteColorRGB(Preferences.CommentColor1)));
  const QColor type2 = QColor(QRgb(PaletteColorRGB(Preferences.CommentColor2)));
  EXPECT_EQ(ColourAt(0), type1);   // "{"
  EXPECT_EQ(ColourAt(14), type1);  // "}"
  EXPECT_EQ(ColourAt(16), QColor(Qt::black));  // "x"
  // Line 2 starts at editor position 22; its comment at column 6.
  EXPECT_EQ(ColourAt(22 + 6), type2);
  EXPECT_EQ(ColourAt(22 + 20), type2);
  EXPECT_EQ(ColourAt(22), QColor(Qt::black));
}

TEST_F(EquationFormTest, UndoAfterACompileTakesBackTextNotColours) {
  TypeLines({"x = 1 {c}"});
  const bool unchanged = DocumentUnchanged;
  CheckOnlyMode = false;
  CompileEquations(false, false);
  EXPECT_TRUE(EquationsCompiled);
  EXPECT_EQ(DocumentUnchanged, unchanged);
  ASSERT_NE(ColourAt(6), QColor(Qt::black));
  form_->Undo();
  EXPECT_NE(memo_->toPlainText().toStdString(), "x = 1 {c}");
  // The parenthesis mark is no undo step of its own either: Ctrl+Z takes
  // the typed text back.
  Equations().SetText("");
  QTest::keyClicks(memo_, QStringLiteral("y=(("));
  ASSERT_FALSE(BoldPositions().empty());
  QTest::keyClick(memo_, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_NE(memo_->toPlainText().toStdString(), "y=((");
}

TEST_F(EquationFormTest, CommentCommandTogglesBraces) {
  Equations().SetText("{x=1}");
  Select(0, 5);
  form_->Comment1Click();
  EXPECT_EQ(memo_->toPlainText().toStdString(), "x=1");
  EXPECT_EQ(ColourAt(0), QColor(Qt::black));

  Select(0, 3);
  form_->Comment1Click();
  EXPECT_EQ(memo_->toPlainText().toStdString(), "{x=1}");
  const QColor type1 = QColor(QRgb(PaletteColorRGB(Preferences.CommentColor1)));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(ColourAt(i), type1) << i;
  // One undo takes the whole command back.
  form_->Undo();
  EXPECT_EQ(memo_->toPlainText().toStdString(), "x=1");
}

TEST_F(EquationFormTest, ContextMenuTrimsTheSelectionAndNamesTheCommand) {
  Equations().SetText("x=1\r\n{a}\r\n");
  const QList<QAction*> items = form_->PopupMenu1->actions();
  ASSERT_EQ(items.size(), 9);
  Select(0, 4);  // "x=1" and the line break
  form_->PreparePopupMenu();
  EXPECT_EQ(memo_->textCursor().selectedText().toStdString(), "x=1");
  EXPECT_EQ(items[0]->text().toStdString(), "Comment");
  for (int i : {0, 2, 3, 8}) EXPECT_TRUE(items[i]->isEnabled()) << i;
  Select(4, 4);
  form_->PreparePopupMenu();
  EXPECT_EQ(items[0]->text().toStdString(), "Undo Comment");
  Select(3, 1);  // only the line break
  form_->PreparePopupMenu();
  for (int i : {0, 2, 3, 8}) EXPECT_FALSE(items[i]->isEnabled()) << i;
  EXPECT_TRUE(items[6]->isEnabled());
}

TEST_F(EquationFormTest, CopyWhileRecordingRecordsTheMacroLine) {
  TypeLines({"x = 3", "y = 1234567"});
  CheckOnlyMode = false;
  CompileEquations(false, false);
  ASSERT_EQ(memo_->LineStartTable, (std::vector<int32_t>{0, 7}));
  FakeRecorder recorder;
  form_->SetMacroRecorder(&recorder);
  // Column 3 of line 2 is editor position 6 + 2.
  Select(8, 4);
  form_->Copy1Click();
  ASSERT_EQ(recorder.lines.size(), 1u);
  EXPECT_EQ(recorder.lines[0], "COPY Equations L2 C3:L2 C6");
  EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "= 12");
  recorder.recording = false;
  form_->Copy1Click();
  EXPECT_EQ(recorder.lines.size(), 1u);
  form_->SetMacroRecorder(nullptr);
}

TEST_F(EquationFormTest, SameLengthEditKeepsTheSolutionWindow) {
  Preferences.HideSolutionAfterChange = 1;
  TGForm solution;
  window_->MdiArea()->addSubWindow(&solution);
  solution.Show();
  WindowList[kSolutionWindow] = &solution;
  QPointer<TGForm> debug = new TGForm;
  WindowList[kDebugWindow] = debug;
  Equations().SetText("x = 1");
  DocumentUnchanged = true;
  EquationsCompiled = true;
  SolutionAvailable = true;
  // Overtype the "1" with "2".
  Select(4, 1);
  QTest::keyClicks(memo_, QStringLiteral("2"));
  EXPECT_EQ(memo_->toPlainText().toStdString(), "x = 2");
  EXPECT_FALSE(DocumentUnchanged);
  EXPECT_FALSE(EquationsCompiled);
  EXPECT_TRUE(solution.IsShown);
  EXPECT_TRUE(SolutionAvailable);
  EXPECT_FALSE(debug.isNull());
  // A longer text: the Debug window is released and the Solution window closes.
  QTest::keyClicks(memo_, QStringLiteral("0"));
  EXPECT_TRUE(debug.isNull());
  EXPECT_EQ(WindowList[kDebugWindow], nullptr);
  EXPECT_FALSE(solution.IsShown);
  EXPECT_FALSE(solution.isVisible());
  EXPECT_FALSE(SolutionAvailable);
  WindowList[kSolutionWindow] = nullptr;
  window_->MdiArea()->removeSubWindow(&solution);
}

TEST_F(EquationFormTest, WithoutHideAfterChangeOnlyTheDebugWindowGoes) {
  Preferences.HideSolutionAfterChange = 0;
  TGForm solution;
  window_->MdiArea()->addSubWindow(&solution);
  solution.Show();
  WindowList[kSolutionWindow] = &solution;
  QPointer<TGForm> debug = new TGForm;
  WindowList[kDebugWindow] = debug;
  Equations().SetText("x = 1");
  SolutionAvailable = true;
  memo_->moveCursor(QTextCursor::End);
  QTest::keyClicks(memo_, QStringLiteral("0"));
  EXPECT_TRUE(debug.isNull());
  EXPECT_TRUE(solution.IsShown);
  EXPECT_TRUE(solution.isVisible());
  EXPECT_TRUE(SolutionAvailable);
  WindowList[kSolutionWindow] = nullptr;
  window_->MdiArea()->removeSubWindow(&solution);
}

TEST_F(EquationFormTest, LoadingAndReadsAreNotEdits) {
  DocumentUnchanged = true;
  Equations().SetText("x = 1\r\ny = 2");
  memo_->Loading = true;
  memo_->insertPlainText(QStringLiteral("z"));
  memo_->Loading = false;
  EXPECT_TRUE(DocumentUnchanged);
  EXPECT_EQ(form_->GetText(), "zx = 1\r\ny = 2");
}

TEST_F(EquationFormTest, PasteIsCutAtTheLimit) {
  QGuiApplication::clipboard()->setText(QString(200000, QChar(u'a')));
  form_->Paste1Click();
  EXPECT_EQ(memo_->document()->characterCount() - 1, kEquationTextLimit);
  // Full: a typed key adds nothing more.
  QTest::keyClicks(memo_, QStringLiteral("b"));
  EXPECT_EQ(memo_->document()->characterCount() - 1, kEquationTextLimit);
  // Replacing a selection makes room for as much as it held.
  Select(0, 3);
  QGuiApplication::clipboard()->setText(QStringLiteral("bbbbbbbb"));
  form_->Paste1Click();
  EXPECT_EQ(memo_->document()->characterCount() - 1, kEquationTextLimit);
  EXPECT_TRUE(memo_->toPlainText().startsWith(QStringLiteral("bbba")));
}

TEST_F(EquationFormTest, SelectedLineBreakCollapses) {
  Equations().SetText("ab\r\ncd");
  Select(2, 1);
  EXPECT_FALSE(memo_->textCursor().hasSelection());
  EXPECT_EQ(memo_->textCursor().position(), 2);
  Select(1, 2);
  EXPECT_TRUE(memo_->textCursor().hasSelection());
}

TEST_F(EquationFormTest, ResetContentEmptiesAndTakesTheTypingColour) {
  Equations().SetText("x = 1");
  Preferences.EquationsInBlue = 1;
  memo_->ResetContent();
  EXPECT_TRUE(memo_->toPlainText().isEmpty());
  QTest::keyClicks(memo_, QStringLiteral("y"));
  EXPECT_EQ(ColourAt(0), QColor(0, 0, 255));
  Preferences.EquationsInBlue = 0;
  memo_->ResetContent();
  QTest::keyClicks(memo_, QStringLiteral("y"));
  EXPECT_EQ(ColourAt(0), QColor(Qt::black));
}

// The Equations window with a short model: a comment of each type (read
// and painted by a compile) and a line still being typed with an open
// parenthesis, whose innermost "(" is bold.
TEST_F(EquationFormTest, ScreenshotWithCommentsAndAnOpenParenthesis) {
  TypeLines({"{Heat lost through a wall}", "T_in = 20 {!inside air, C}", "T_out = -5",
             "R = 0.5 {!resistance, m2-K/W}", "q = (T_in - T_out)/R"});
  CheckOnlyMode = false;
  CompileEquations(false, false);
  memo_->moveCursor(QTextCursor::End);
  QTest::keyClick(memo_, Qt::Key_Return);
  QTest::keyClicks(memo_, QStringLiteral("Q = (q + (T_in"));
  QApplication::processEvents();
  const QImage image = form_->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const std::string path = testing::SaveTestPicture(image, "equations_window.png");
  ASSERT_FALSE(image.isNull()) << path;
  const QRgb type1 = 0xFF000000u | PaletteColorRGB(Preferences.CommentColor1);
  const QRgb type2 = 0xFF000000u | PaletteColorRGB(Preferences.CommentColor2);
  int ones = 0;
  int twos = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      ones += p == type1 ? 1 : 0;
      twos += p == type2 ? 1 : 0;
    }
  }
  EXPECT_GT(ones, 20) << path;
  EXPECT_GT(twos, 20) << path;
  EXPECT_EQ(BoldPositions().size(), 1u);
}

}  // namespace
}  // namespace voq

// The program as a person meets it: the real QtPlatform (real message boxes,
// no scripted answers), the real event filter and the real progress window.
// Keys and clicks go to the boxes' native windows, the road the window
// system's input takes, so the application's event filter sees them first.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/program_flags.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "platform/qt/qt_platform.h"
#include "session/compile_driver.h"
#include "shell/equations_form.h"
#include "shell/file_menu.h"
#include "shell/main_window.h"
#include "shell/progress_view.h"
#include "shell/table_windows.h"
#include "tables/table_files.h"
#include "tables/table_model.h"
#include "tables/tables_state.h"
#include "qt_app.h"

namespace voq {
namespace {

enum class Answer { Enter, Escape, Space, ClickDefault, ClickHelpThenEnter, ClickYes, ClickNo };

QAbstractButton* ButtonWithText(QMessageBox* box, const QString& text) {
  for (QAbstractButton* b : box->buttons()) {
    QString t = b->text();
    t.remove(QLatin1Char('&'));
    if (t == text) return b;
  }
  return nullptr;
}

// A click as the window system delivers it: to the box's native window at
// the button's place.
void ClickThroughWindow(QAbstractButton* button) {
  QWidget* top = button->window();
  const QPoint at = button->mapTo(top, button->rect().center());
  QTest::mouseClick(top->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
}

void KeyThroughWindow(QWidget* top, Qt::Key key) { QTest::keyClick(top->windowHandle(), key); }

// Answers the message boxes as they come, one Answer per box (the last
// one repeats), and records their texts. The box is answered from a timer
// inside its own modal loop.
class BoxAnswerer {
 public:
  explicit BoxAnswerer(std::vector<Answer> answers) : answers_(std::move(answers)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start(20);
  }
  std::vector<std::string> texts;
  std::vector<std::string> helpPagesOpened;
  int stillOpenAfterHelp = 0;

 private:
  void Poll() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible() || box->property("answered").toBool()) return;
    box->setProperty("answered", true);
    texts.push_back(box->text().toStdString());
    const Answer a = answers_[std::min(texts.size() - 1, answers_.size() - 1)];
    switch (a) {
      case Answer::Enter: KeyThroughWindow(box, Qt::Key_Return); break;
      case Answer::Escape: KeyThroughWindow(box, Qt::Key_Escape); break;
      case Answer::Space:
        box->defaultButton()->setFocus();
        KeyThroughWindow(box, Qt::Key_Space);
        break;
      case Answer::ClickDefault: ClickThroughWindow(box->defaultButton()); break;
      case Answer::ClickYes: ClickThroughWindow(ButtonWithText(box, QStringLiteral("Yes"))); break;
      case Answer::ClickNo: ClickThroughWindow(ButtonWithText(box, QStringLiteral("No"))); break;
      case Answer::ClickHelpThenEnter: {
        QAbstractButton* help = ButtonWithText(box, QStringLiteral("Help"));
        ASSERT_NE(help, nullptr) << "no Help button";
        ClickThroughWindow(help);
        if (box->isVisible()) ++stillOpenAfterHelp;
        KeyThroughWindow(box, Qt::Key_Return);
        break;
      }
    }
    // A box Enter or a click did not end stays up: answer it no more, the
    // test's time-out then tells.
  }
  QTimer timer_;
  std::vector<Answer> answers_;
};

class RealPlatformTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureApplication();
    dir_ = testing::MakeTempFolder("voq_real");
    window_ = std::make_unique<TVOQ_D>();
    window_->InstallHostServices(platform_);
    window_->FormCreate(dir_);
    platform_.SetHelpOpener([this](const std::string& page) { opened_.push_back(page); });
    window_->show();
    window_->ShowAndFocus(kEquationsWindow);
  }
  void TearDown() override {
    window_.reset();
    RestoreInstalledHost();
    std::filesystem::remove_all(dir_);
  }
  void SetEquations(const std::string& text) { window_->EquationForm()->SetText(text); }
  QPlainTextEdit* Editor() { return window_->EquationForm()->Editor(); }

  std::string dir_;
  QtPlatform platform_;
  std::vector<std::string> opened_;
  std::unique_ptr<TVOQ_D> window_;
};

struct BoxCase {
  const char* Name;
  const char* Equations;
  const char* Command;
  const char* BoxText;  // a piece of the first box's text
  Answer How;
};

// Every box a solve or a check raises is answered by its keys and buttons,
// and the program takes input afterwards.
TEST_F(RealPlatformTest, BoxesRaisedInsideACalculationAreAnswered) {
  const BoxCase cases[] = {
      {"syntax error, Enter", "z = 3*/2 + s", "Solve1", "", Answer::Enter},
      {"syntax error, Esc", "z = 3*/2 + s", "Solve1", "", Answer::Escape},
      {"syntax error, Space", "z = 3*/2 + s", "Solve1", "", Answer::Space},
      {"syntax error, click", "z = 3*/2 + s", "Solve1", "", Answer::ClickDefault},
      {"check result, Enter", "x = 3", "ChecKFormat1", "", Answer::Enter},
      {"check result, click", "x = 3", "ChecKFormat1", "", Answer::ClickDefault},
      {"underspecified, Esc", "x + y = 1", "Solve1", "", Answer::Escape},
      {"underspecified, Enter", "x + y = 1", "Solve1", "", Answer::Enter},
      {"underspecified, No", "x + y = 1", "Solve1", "", Answer::ClickNo},
      {"no convergence, No", "x^2 + y^2 = -1\nx - y = 0.5", "Solve1", "", Answer::ClickNo},
      {"no convergence, Esc", "x^2 + y^2 = -1\nx - y = 0.5", "Solve1", "", Answer::Escape},
      {"help button", "x = -1\ny = ln(x)", "Solve1", "", Answer::ClickHelpThenEnter},
  };
  for (const BoxCase& c : cases) {
    SCOPED_TRACE(c.Name);
    SetEquations(c.Equations);
    BoxAnswerer answerer({c.How});
    QElapsedTimer clock;
    clock.start();
    window_->Action(c.Command)->trigger();
    EXPECT_LT(clock.elapsed(), 20000);
    ASSERT_FALSE(answerer.texts.empty()) << "no box shown";
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "a box is still up";
    if (c.How == Answer::ClickHelpThenEnter) {
      EXPECT_EQ(answerer.stillOpenAfterHelp, 1);
      EXPECT_EQ(opened_.size(), 1u);
      opened_.clear();
    }
    window_->Calculating = false;
    // The program answers: a key typed into the Equations window arrives.
    Editor()->setFocus();
    Editor()->moveCursor(QTextCursor::End);
    QTest::keyClick(window_->windowHandle(), Qt::Key_Q);
    EXPECT_TRUE(Editor()->toPlainText().endsWith(QLatin1Char('q'))) << Editor()->toPlainText().toStdString();
  }
}

// The non-convergence question answered Yes continues the solve, which
// asks again; No at the second question ends it.
TEST_F(RealPlatformTest, NonConvergenceAnsweredYesContinues) {
  SetEquations("x^2 + y^2 = -1\nx - y = 0.5");
  BoxAnswerer answerer({Answer::ClickYes, Answer::ClickNo, Answer::Enter});
  window_->Action("Solve1")->trigger();
  ASSERT_GE(answerer.texts.size(), 2u);
  EXPECT_NE(answerer.texts[0].find("continue"), std::string::npos) << answerer.texts[0];
  EXPECT_EQ(answerer.texts[0], answerer.texts[1]);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// The syntax error's box answered, the error's text is selected in the
// Equations window.
TEST_F(RealPlatformTest, TheErrorIsSelectedAfterItsBox) {
  SetEquations("x = 2\nz = 3*/2 + s");
  BoxAnswerer answerer({Answer::Enter});
  window_->Action("Solve1")->trigger();
  ASSERT_EQ(answerer.texts.size(), 1u);
  EXPECT_TRUE(Editor()->textCursor().hasSelection());
  EXPECT_GE(Editor()->textCursor().selectionStart(), 6);
  // The keys are back in the editor: what the user types next replaces the
  // selected error.
  EXPECT_EQ(window_->focusWidget(), Editor());
  for (char c : std::string("z = 1")) QTest::keyClick(window_->windowHandle(), c);
  EXPECT_EQ(Editor()->toPlainText().toStdString(), "x = 2\nz = 1");
}

// A picture renamed as a document: the real box names the file and is
// answered with Enter; the open document, its caption and text are kept.
TEST_F(RealPlatformTest, OpeningANonDocumentKeepsTheOpenOne) {
  const std::string bad = dir_ + "/x.VOQ";
  {
    std::ofstream out(bad, std::ios::binary);
    out << std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << std::string(400, '\x20');
  }
  SetEquations("a = 1");
  window_->FileName = dir_ + "/mine.VOQ";
  window_->setCaption(window_->FileName);
  const QString caption = window_->windowTitle();
  TFileMenu menu(*window_);
  BoxAnswerer answerer({Answer::Enter});
  menu.OpenFileName(bad);
  ASSERT_EQ(answerer.texts.size(), 1u);
  EXPECT_NE(answerer.texts[0].find("x.VOQ"), std::string::npos) << answerer.texts[0];
  EXPECT_EQ(Editor()->toPlainText().toStdString(), "a = 1");
  EXPECT_EQ(window_->windowTitle(), caption);
  EXPECT_EQ(window_->FileName, dir_ + "/mine.VOQ");
}

// Tables > Retrieve Parametic Table of a table stored from another
// document: the real question box, answered No (nothing read), then Yes.
TEST_F(RealPlatformTest, RetrievingATableOfAnotherDocumentAsksFirst) {
  SetEquations("y = 2*T");
  EquationsCompiled = false;
  CheckOnlyMode = true;
  CompileEquations(false, false);
  CheckOnlyMode = false;
  ASSERT_EQ(CalcErrorCode, 0);
  ParametricColumnOrder = {0, 1, 2};
  TableRowCounts[1] = 2;
  TableColumnCounts[1] = 2;
  TTableForm* form = CreateTableForm(kParametricTableKind);
  ASSERT_NE(form, nullptr);
  form->Columns->SetCell(2, 8);
  const std::string file = dir_ + "/runs.par";
  ASSERT_TRUE(StoreTable(*form, file, "OTHER.VOQ"));
  DestroyTableForm(kParametricTableKind);
  TableLists[1].reset();

  TTableWindows tables(*window_);
  tables.AskParametricTableFile = [&](const std::string&, std::string& path, bool) {
    path = file;
    return true;
  };
  window_->FileName = dir_ + "/mine.VOQ";
  {
    BoxAnswerer answerer({Answer::ClickNo});
    window_->Action("RetrieveParametricTable1")->trigger();
    ASSERT_EQ(answerer.texts.size(), 1u);
    EXPECT_NE(answerer.texts[0].find("different name"), std::string::npos) << answerer.texts[0];
    EXPECT_FALSE(TableForms[1]);
  }
  {
    BoxAnswerer answerer({Answer::ClickYes});
    window_->Action("RetrieveParametricTable1")->trigger();
    ASSERT_EQ(answerer.texts.size(), 1u);
  }
  ASSERT_TRUE(TableForms[1]);
  EXPECT_EQ(TableForms[1]->TableName, "runs");
  EXPECT_EQ(TableForms[1]->Columns->Cell(2), 8.0L);
  ASSERT_NE(WindowList[kParametricTableWindow], nullptr);
  tables.CloseTableWindows();
}

// A long solve: Abort in the progress window ends it within half a second
// as Esc does (error 58); the elapsed time grows meanwhile, and the
// window sits inside the main window.
std::string EndlessRing(int n) {
  std::ostringstream text;
  for (int i = 1; i <= n; ++i) text << "x" << i << "^2 + x" << (i % n + 1) << "^2 = -1\n";
  return text.str();
}

// 400 unknowns in one block without a real solution, each equation tied to
// all others through the sum.
const char* kLargeBlock =
    "DUPLICATE i=1,400\n"
    "  x[i]^2 + s = -1\n"
    "END\n"
    "s = SUM(x[j]^2, j=1,400)\n";

const char* kEndlessRepeat =
    "FUNCTION spin(a)\n"
    "  i := 0\n"
    "  REPEAT\n"
    "    i := i + 1\n"
    "  UNTIL (i < 0)\n"
    "  spin := a\n"
    "END\n"
    "y = spin(3)\n";

TEST_F(RealPlatformTest, AbortInTheProgressWindowEndsTheSolve) {
  struct Case {
    const char* Name;
    std::string Equations;
  };
  const Case cases[] = {{"ring", EndlessRing(41)}, {"400 unknowns", kLargeBlock}, {"endless REPEAT", kEndlessRepeat}};
  auto* progress = window_->ProgressForm();
  ASSERT_NE(progress, nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    SetEquations(c.Equations);
    StopCriteria.MaxIterations = 1000000000;
    StopCriteria.ChangeTolerance = 0;
    StopCriteria.MaxElapsedSeconds = 60;
    BoxAnswerer answerer({Answer::Enter});
    QElapsedTimer clock;
    qint64 clickedAt = -1;
    std::vector<std::string> seconds;
    QRect placed;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
      if (!progress->isVisible()) return;
      seconds.push_back(progress->seconds->text().toStdString());
      if (clickedAt < 0 && clock.elapsed() > 2500) {
        placed = progress->frameGeometry();
        clickedAt = clock.elapsed();
        ClickThroughWindow(progress->Abort);
      }
    });
    clock.start();
    sampler.start(100);
    window_->Action("Solve1")->trigger();
    const qint64 endedAt = clock.elapsed();
    sampler.stop();
    ASSERT_GE(clickedAt, 0) << "the progress window never showed; error " << CalcErrorCode;
    EXPECT_LE(endedAt - clickedAt, 500) << "Abort at " << clickedAt << " ms, the solve ended at " << endedAt;
    // Error 58, "Calculations cancelled by user.", which the commands do not
    // show again, as for Esc.
    EXPECT_EQ(CalcErrorCode, 58);
    EXPECT_TRUE(answerer.texts.empty());
    EXPECT_FALSE(window_->Calculating);
    // The elapsed time moved on while the solve ran ("2.3 sec" or so).
    ASSERT_GE(seconds.size(), 2u);
    EXPECT_NE(seconds.front(), seconds.back());
    std::string last = seconds.back();
    for (char& ch : last) ch = ch == ',' ? '.' : ch;
    EXPECT_GE(std::atof(last.c_str()), 1.0) << seconds.back();
    EXPECT_TRUE(window_->frameGeometry().contains(placed)) << "progress window outside the main window";
  }
}

}  // namespace
}  // namespace voq

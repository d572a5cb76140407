#include "shell/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/messages.h"
#include "core/program_flags.h"
#include "model/solve_session.h"
#include "session/compile_driver.h"
#include "model/store_state.h"
#include "platform/qt/qt_platform.h"
#include "shell/equations_form.h"
#include "shell/gform.h"
#include "qt_app.h"

namespace voq {
namespace {

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureApplication();
    dir_ = testing::MakeTempFolder("voq_shell");
    window_ = std::make_unique<TVOQ_D>();
    window_->InstallHostServices(platform_);
    platform_.SetScriptedAnswer(kResultOk);
    window_->FormCreate(dir_);
  }
  void TearDown() override {
    window_.reset();
    RestoreInstalledHost();
    std::filesystem::remove_all(dir_);
  }
  std::string dir_;
  QtPlatform platform_;
  std::unique_ptr<TVOQ_D> window_;
};

TEST_F(MainWindowTest, UntitledCaption) {
  window_->FileName.clear();
  window_->show();
  window_->ShowAndFocus(kEquationsWindow);
  window_->Idle();
  EXPECT_EQ(window_->CaptionText, "VOQ Professional Version:  ");
  EXPECT_EQ(window_->windowTitle().toStdString(), "VOQ Professional Version:  ");
}

// Windows > Cascade steps the shown windows down and right and keeps
// their sizes.
TEST_F(MainWindowTest, CascadeKeepsTheWindowSizes) {
  window_->resize(1000, 700);
  window_->show();
  window_->ShowAndFocus(kEquationsWindow);
  TGForm* equations = WindowList[kEquationsWindow];
  ASSERT_NE(equations, nullptr);
  equations->resize(430, 280);
  window_->Action("Cascade1")->trigger();
  EXPECT_EQ(equations->size(), QSize(430, 280));
  EXPECT_EQ(equations->pos(), QPoint(0, 0));
}

TEST_F(MainWindowTest, SolveTableFollowsTheParametricTableWindow) {
  window_->Idle();
  EXPECT_FALSE(window_->Action("SolveTableButton1")->isEnabled());
  TGForm table;
  WindowList[kParametricTableWindow] = &table;
  window_->Idle();
  EXPECT_TRUE(window_->Action("SolveTableButton1")->isEnabled());
  WindowList[kParametricTableWindow] = nullptr;
  window_->Idle();
  EXPECT_FALSE(window_->Action("SolveTableButton1")->isEnabled());
}

TEST_F(MainWindowTest, NineMenusAndThirtyToolButtons) {
  const std::vector<std::string> menus = {"File1", "Edit1", "Search1", "Options1", "Calculate1",
                                          "Tables1", "Plot1", "Window1", "Help1"};
  for (const std::string& m : menus) EXPECT_NE(window_->Menu(m), nullptr) << m;
  int buttons = 0;
  for (QAction* a : window_->Speedbar()->actions()) buttons += a->isSeparator() ? 0 : 1;
  EXPECT_EQ(buttons, 30);
  EXPECT_EQ(window_->Action("LookupButton")->toolTip().toStdString(), "Lookup Tables");
}

TEST_F(MainWindowTest, CommandsOfLaterPartsSayTheyAreNotYetAvailable) {
  const int before = platform_.AlertCount();
  window_->Action("CurveFit1")->trigger();
  EXPECT_EQ(platform_.AlertCount(), before + 1);
  EXPECT_EQ(platform_.LastAlertText(), "\"Curve Fit\" is not yet available.");
  window_->Action("OpenButton")->trigger();
  EXPECT_EQ(platform_.LastAlertText(), "\"Open\" is not yet available.");
  bool ran = false;
  window_->SetHandler("CurveFit1", [&] { ran = true; });
  window_->Action("CurveFit1")->trigger();
  EXPECT_TRUE(ran);
}

TEST_F(MainWindowTest, KeypadDecimalKeyTypesTheDecimalSeparator) {
  const char saved = DecimalSeparator;
  QPlainTextEdit* editor = window_->EquationForm()->Editor();
  for (char separator : {',', '.'}) {
    SetDecimalSeparator(separator);
    editor->clear();
    QTest::keyClick(editor, Qt::Key_Period, Qt::KeypadModifier);
    EXPECT_EQ(editor->toPlainText().toStdString(), std::string(1, separator));
  }
  // The main keyboard's period stays a period.
  SetDecimalSeparator(',');
  editor->clear();
  QTest::keyClick(editor, Qt::Key_Period);
  EXPECT_EQ(editor->toPlainText().toStdString(), ".");
  SetDecimalSeparator(saved);
}

// A ring of equations x1^2 + x2^2 = -1, ..., xN^2 + x1^2 = -1 is one block
// without a real solution: with no iteration limit and no stall test the
// Newton iteration runs until it is stopped (here by the one-minute limit,
// were Esc not pressed).
std::string EndlessRing(int n) {
  std::ostringstream text;
  for (int i = 1; i <= n; ++i) text << "x" << i << "^2 + x" << (i % n + 1) << "^2 = -1\n";
  return text.str();
}

TEST_F(MainWindowTest, EscAbortsALongSolveWithinAPoll) {
  window_->EquationForm()->Editor()->setPlainText(QString::fromStdString(EndlessRing(41)));
  StopCriteria.MaxIterations = 1000000000;
  StopCriteria.ChangeTolerance = 0;
  StopCriteria.MaxElapsedSeconds = 60;
  CheckOnlyMode = false;
  CalcErrorCode = 0;
  AbortRequested = false;
  // As the Calculate commands do around their run.
  window_->Calculating = true;
  QElapsedTimer clock;
  clock.start();
  qint64 pressedAt = -1;
  qint64 idleAt = -1;
  bool calculatingAfterIdle = false;
  int iterationsAtEsc = 0;
  // An idle pass inside the calculation must leave it marked as running.
  QTimer::singleShot(100, testing::TestScope(), [&] {
    idleAt = clock.elapsed();
    window_->Idle();
    calculatingAfterIdle = window_->Calculating;
  });
  QTimer::singleShot(700, testing::TestScope(), [&] {
    pressedAt = clock.elapsed();
    if (MainProgramUnit != nullptr) iterationsAtEsc = MainProgramUnit->IterationCount;
    QTest::keyClick(window_->EquationForm()->Editor(), Qt::Key_Escape);
  });
  CompileEquations(false, false);
  const qint64 endedAt = clock.elapsed();
  window_->Calculating = false;
  EXPECT_EQ(CalcErrorCode, 58);
  EXPECT_TRUE(AbortRequested);
  EXPECT_FALSE(SolutionAvailable);
  // The key came while the block was being iterated, and ended it within a
  // poll.
  ASSERT_GE(pressedAt, 0);
  EXPECT_GT(iterationsAtEsc, 1);
  EXPECT_LE(endedAt - pressedAt, 300) << "Esc at " << pressedAt << " ms, solve ended at " << endedAt << " ms";
  ASSERT_GE(idleAt, 0);
  EXPECT_TRUE(calculatingAfterIdle);
  EXPECT_EQ(platform_.AlertCount(), 0);
}

TEST_F(MainWindowTest, InputOtherThanEscIsDroppedDuringACalculation) {
  QPlainTextEdit* editor = window_->EquationForm()->Editor();
  editor->clear();
  window_->Calculating = true;
  QTest::keyClick(editor, Qt::Key_A);
  window_->Action("Solve1")->trigger();
  window_->Calculating = false;
  EXPECT_TRUE(editor->toPlainText().isEmpty());
  EXPECT_EQ(platform_.AlertCount(), 0);
  EXPECT_EQ(CalcErrorCode, 0);
}

// The menus show their keys, and the keys reach the commands through the
// main window's native window as a person's key presses do.
TEST_F(MainWindowTest, MenuItemsCarryTheirKeys) {
  struct Case {
    const char* Item;
    const char* Key;
  };
  for (const Case& c : {Case{"Solve1", "F2"}, Case{"SolveTable1", "F3"}, Case{"MinMax1", "F4"},
                        Case{"ChecKFormat1", "Ctrl+K"}, Case{"UpdateGuesses1", "Ctrl+G"}, Case{"Save1", "Ctrl+S"},
                        Case{"Open1", "Ctrl+O"}, Case{"New1", "Ctrl+N"}, Case{"Print1", "Ctrl+P"},
                        Case{"HelpIndex1", "F1"}, Case{"Equations1", "Ctrl+E"}, Case{"Solution1", "Ctrl+U"}}) {
    EXPECT_EQ(window_->Action(c.Item)->shortcut().toString().toStdString(), c.Key) << c.Item;
  }
  window_->show();
  window_->ShowAndFocus(kEquationsWindow);
  QApplication::setActiveWindow(window_.get());
  bool solved = false;
  bool checked = false;
  window_->SetHandler("Solve1", [&] { solved = true; });
  window_->SetHandler("ChecKFormat1", [&] { checked = true; });
  QTest::keyClick(window_->windowHandle(), Qt::Key_F2);
  QTest::keyClick(window_->windowHandle(), Qt::Key_K, Qt::ControlModifier);
  EXPECT_TRUE(solved);
  EXPECT_TRUE(checked);
  // A key whose command is not built yet says so.
  const int before = platform_.AlertCount();
  QTest::keyClick(window_->windowHandle(), Qt::Key_F1);
  EXPECT_EQ(platform_.AlertCount(), before + 1);
  EXPECT_EQ(platform_.LastAlertText(), "\"Help Index\" is not yet available.");
}

// The windows show the program's icon, not the toolkit's.
TEST_F(MainWindowTest, WindowsCarryTheProgramsIcon) {
  const QImage icon = QApplication::windowIcon().pixmap(24, 24).toImage().convertToFormat(QImage::Format_ARGB32);
  ASSERT_FALSE(icon.isNull());
  // The green of the program's icon at its centre.
  EXPECT_EQ(QColor(icon.pixel(4, 12)).rgb(), QColor(0x2E, 0x8B, 0x57).rgb());
  EXPECT_EQ(window_->windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
}

// The Edit menu's commands act on the Equations window.
TEST_F(MainWindowTest, EditMenuActsOnTheEquationsWindow) {
  window_->show();
  window_->ShowAndFocus(kEquationsWindow);
  QPlainTextEdit* editor = window_->EquationForm()->Editor();
  editor->setPlainText(QStringLiteral("x = 1"));
  window_->Action("SelectAll1")->trigger();
  EXPECT_EQ(editor->textCursor().selectedText().toStdString(), "x = 1");
  window_->Action("Cut1")->trigger();
  EXPECT_TRUE(editor->toPlainText().isEmpty());
  window_->Action("Paste1")->trigger();
  EXPECT_EQ(editor->toPlainText().toStdString(), "x = 1");
  // Without a selection Cut, Copy and Clear are off when the menu opens.
  editor->moveCursor(QTextCursor::End);
  emit window_->Menu("Edit1")->aboutToShow();
  EXPECT_FALSE(window_->Action("Cut1")->isEnabled());
  EXPECT_FALSE(window_->Action("Clear1")->isEnabled());
  window_->Action("Undo1")->trigger();
  EXPECT_TRUE(editor->toPlainText().isEmpty());
}

// In a client area smaller than the Solution window (a small screen, or the
// display scaled 2x) the first Solution window lies wholly inside the area.
TEST_F(MainWindowTest, FirstSolutionWindowFitsTheClientArea) {
  window_->resize(520, 330);
  window_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
  window_->EquationForm()->Editor()->setPlainText(QStringLiteral("x = 2\ny = x^2"));
  window_->Action("Solve1")->trigger();
  ASSERT_TRUE(SolutionAvailable);
  TGForm* solution = WindowList[kSolutionWindow];
  ASSERT_NE(solution, nullptr);
  ASSERT_TRUE(solution->isVisible());
  const QWidget* client = solution->mdiArea()->viewport();
  EXPECT_TRUE(client->rect().contains(solution->geometry()))
      << "client " << client->width() << "x" << client->height() << ", window at " << solution->x() << ","
      << solution->y() << " " << solution->width() << "x" << solution->height();
  EXPECT_EQ(platform_.AlertCount(), 0);
}

TEST(ChildWindow, FitInsideClientArea) {
  testing::EnsureApplication();
  struct Case {
    QRect start;
    QRect expected;
  };
  const QSize client(400, 300);
  const Case cases[] = {
      {{10, 20, 200, 100}, {10, 20, 200, 100}},  // inside already
      {{300, 250, 200, 100}, {200, 200, 200, 100}},  // over the right and lower edges
      {{-20, -10, 200, 100}, {0, 0, 200, 100}},  // over the left and upper edges
      {{50, 40, 435, 320}, {0, 0, 400, 300}},  // larger than the area
  };
  for (const Case& c : cases) {
    QWidget window;
    window.setGeometry(c.start);
    FitInsideClientArea(window, client);
    EXPECT_EQ(window.geometry(), c.expected) << c.start.x() << "," << c.start.y();
  }
}

// Solve on an empty document says there is nothing to solve, in a real box.
TEST_F(MainWindowTest, SolveOnAnEmptyDocumentSaysSo) {
  window_->show();
  window_->EquationForm()->Editor()->clear();
  const int before = platform_.AlertCount();
  window_->Action("Solve1")->trigger();
  EXPECT_EQ(platform_.AlertCount(), before + 1);
  EXPECT_EQ(platform_.LastAlertText(), "There are no equations to solve.");
  EXPECT_FALSE(window_->Calculating);
}

TEST(ChildWindow, ShowKeepsTheCornerInsideTheClientArea) {
  testing::EnsureApplication();
  QMdiArea area;
  area.setFrameShape(QFrame::NoFrame);
  area.resize(600, 400);
  area.show();
  struct Case {
    QPoint start;
    QPoint expected;
  };
  const Case cases[] = {
      {{10, 500}, {10, 328}},
      {{10, 328}, {10, 328}},
      {{700, 20}, {504, 20}},
      {{-30, -40}, {-30, -40}},
  };
  for (const Case& c : cases) {
    auto* form = new TGForm;
    area.addSubWindow(form);
    form->resize(200, 150);
    form->Hide();
    EXPECT_FALSE(form->IsShown);
    form->move(c.start);
    form->Show();
    EXPECT_TRUE(form->IsShown);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->pos(), c.expected) << c.start.x() << "," << c.start.y();
    EXPECT_EQ(form->size(), QSize(200, 150));
  }
}

TEST(ChildWindow, ShowRestoresAMinimisedWindow) {
  testing::EnsureApplication();
  QMdiArea area;
  area.resize(600, 400);
  area.show();
  auto* form = new TGForm;
  area.addSubWindow(form);
  form->Show();
  form->showMinimized();
  ASSERT_TRUE(form->isMinimized());
  form->Show();
  EXPECT_FALSE(form->isMinimized());
  EXPECT_TRUE(form->IsShown);
}

// The main window after start-up with the bundled example in the Equations
// window: menu bar, tool bar and Equations window are all there.
TEST_F(MainWindowTest, ScreenshotAfterStartUp) {
  std::ifstream in(std::string(VOQ_EXAMPLES_DIR) + "/wall_heat_loss.txt", std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  ASSERT_FALSE(text.str().empty());
  window_->resize(1000, 640);
  window_->show();
  window_->ShowAndFocus(kEquationsWindow);
  window_->EquationForm()->move(10, 10);
  window_->EquationForm()->resize(760, 460);
  Equations().SetText(text.str());
  window_->Idle();
  QTest::qWait(50);
  EXPECT_EQ(window_->EquationForm()->GetText().substr(0, 20), text.str().substr(0, 20));

  const QImage image = window_->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const std::string path = testing::SaveTestPicture(image, "main_window.png");
  ASSERT_FALSE(image.isNull()) << path;

  // The tool bar's strip carries the coloured icons: many colours, and some
  // pixels of a saturated button colour.
  const QRect strip = window_->Speedbar()->geometry();
  ASSERT_GT(strip.height(), 20);
  std::set<QRgb> colours;
  int coloured = 0;
  for (int y = strip.top(); y <= strip.bottom(); ++y) {
    for (int x = strip.left(); x <= std::min(strip.right(), image.width() - 1); ++x) {
      const QColor c = image.pixelColor(x, y);
      colours.insert(c.rgb());
      if (c.saturation() > 100) ++coloured;
    }
  }
  EXPECT_GT(colours.size(), 20u);
  EXPECT_GT(coloured, 1000);
  // The menu bar sits above the tool bar, and the Equations window below it.
  EXPECT_LT(window_->menuBar()->geometry().bottom(), strip.top() + 1);
  const QRect equations(window_->EquationForm()->mapTo(window_.get(), QPoint(0, 0)),
                        window_->EquationForm()->size());
  EXPECT_GT(equations.top(), strip.bottom());
  EXPECT_TRUE(window_->EquationForm()->isVisible());
}

}  // namespace
}  // namespace voq

// The sanitizer build's leak check: fontconfig keeps its caches until the
// process ends, which is not a leak of this program.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

// The Residuals window in Qt on the offscreen platform: slot 3, the Windows
// menu and tool button, the pop-up menu's jump and unit check with the real
// message boxes, Find, the copy text, the resize repaint rule shared with
// the Solution window and a picture of the bundled example.
#include "results/residual_form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMdiArea>
#include <QMenu>
#include <QMessageBox>
#include <QScrollBar>
#include <QTabBar>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "core/calc_state.h"
#include "core/messages.h"
#include "core/program_flags.h"
#include "model/document_settings.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "output/var_info.h"
#include "platform/qt/qt_platform.h"
#include "../shell/qt_app.h"
#include "session/compile_driver.h"
#include "shell/equations_form.h"
#include "shell/main_window.h"
#include "shell/result_windows.h"

namespace voq {
namespace {

class ResidualWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureApplication();
    dir_ = testing::MakeTempFolder("voq_residuals");
    window_ = std::make_unique<TVOQ_D>();
    window_->InstallHostServices(platform_);
    platform_.SetScriptedAnswer(kResultOk);
    window_->FormCreate(dir_);
    window_->resize(1000, 640);
    window_->show();
  }
  void TearDown() override {
    TResidualForm::RunVarInfoDialog = saved_;
    window_.reset();
    RestoreInstalledHost();
    std::filesystem::remove_all(dir_);
  }
  TResidualForm* Solve(const std::string& text) {
    Equations().SetText(text);
    CheckOnlyMode = false;
    HiddenMode = true;
    CompileEquations(false, true);
    HiddenMode = false;
    EXPECT_LE(CalcErrorCode, 0);
    SolutionAvailable = true;
    window_->Action("Residuals1")->trigger();
    auto* form = dynamic_cast<TResidualForm*>(WindowList[kResidualsWindow]);
    EXPECT_NE(form, nullptr);
    if (form == nullptr) return nullptr;
    form->move(0, 0);
    form->resize(600, 300);
    Paint(form);
    return form;
  }
  static void Paint(TResidualForm* form) {
    // Past the resize rule's interval, then a synchronous paint.
    QTest::qWait(25);
    form->ResidualView()->viewport()->repaint();
    QApplication::processEvents();
  }
  static int32_t ContentY(TResidualForm* form, const TEquationRecord* e) {
    return ResidualState().RowLine[e] * form->ResidualView()->LineHeight() + 5 + 2;
  }

  std::string dir_;
  QtPlatform platform_;
  std::unique_ptr<TVOQ_D> window_;
  std::function<bool(QWidget*)> saved_ = TResidualForm::RunVarInfoDialog;
};

TEST_F(ResidualWindowTest, OpensFromTheWindowsMenuInSlotThree) {
  TResidualForm* form = Solve("x + y = 3\r\nx - y = 1");
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->Tag, kResidualsWindow);
  EXPECT_EQ(form->property("helpContext").toInt(), 5);
  EXPECT_EQ(form->windowTitle().toStdString(), "Residuals");
  EXPECT_TRUE(form->isVisible());
  EXPECT_FALSE(form->TabControl()->isVisible());
  EXPECT_EQ(form->ResidualView()->LastDisplay().RowsDrawn, 2);
  // Closing hides it; the tool button shows the same window again.
  form->close();
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(WindowList[kResidualsWindow], form);
  window_->Action("ResButton")->trigger();
  EXPECT_TRUE(QTest::qWaitFor([&] { return form->isVisible(); }));
  EXPECT_EQ(WindowList[kResidualsWindow], form);
}

TEST_F(ResidualWindowTest, NoSolutionSaysSo) {
  SolutionAvailable = false;
  SolutionStarted = false;
  platform_.SetScriptedAnswer(0);
  std::string text;
  testing::AnswerNextMessageBox(QMessageBox::Ok, &text);
  window_->Action("Residuals1")->trigger();
  EXPECT_EQ(text, "\"Residuals\" is not yet available.");
  EXPECT_EQ(WindowList[kResidualsWindow], nullptr);
}

// The Solution window's ResButtonClick runs the main window's Residuals
// command: the window opens while a solution exists, else the user is told.
TEST_F(ResidualWindowTest, SolutionWindowOpensTheResidualsWindow) {
  SolutionAvailable = false;
  SolutionStarted = false;
  platform_.SetScriptedAnswer(0);
  std::string text;
  testing::AnswerNextMessageBox(QMessageBox::Ok, &text);
  EnsureSolutionForm()->ResButtonClick();
  EXPECT_EQ(text, "\"Residuals\" is not yet available.");
  EXPECT_EQ(WindowList[kResidualsWindow], nullptr);

  TResidualForm* form = Solve("x + y = 3\r\nx - y = 1");
  ASSERT_NE(form, nullptr);
  form->close();
  ASSERT_FALSE(form->isVisible());
  EnsureSolutionForm()->ResButtonClick();
  EXPECT_TRUE(QTest::qWaitFor([&] { return form->isVisible(); }));
  EXPECT_EQ(WindowList[kResidualsWindow], form);
  EXPECT_EQ(ActiveChildWindow, kResidualsWindow);
}

TEST_F(ResidualWindowTest, ClickChoosesTheRowAndJumpsToTheEquation) {
  TResidualForm* form = Solve("x = 3\r\ny = 2*x");
  const TEquationRecord* second = MainProgramUnit->FirstEquation->Next;
  form->Press(QPoint(40, ContentY(form, second)), QPoint(), false);
  ASSERT_EQ(form->Chosen(), second);
  form->Comment1()->trigger();
  TEquationForm* equations = window_->EquationForm();
  EXPECT_EQ(equations->Memo->EngineSelStart(), second->TextStart);
  EXPECT_EQ(equations->Editor()->textCursor().selectedText().toStdString(), "y = 2*x");
}

TEST_F(ResidualWindowTest, CheckUnitsWithRealMessageBoxes) {
  TResidualForm* form = Solve("L = 2\r\nT = L*3");
  TProgramUnitRecord* main = MainProgramUnit;
  for (int32_t k = 1; k <= main->VariableCount; ++k) {
    if (main->Variable(k)->Name == "L") main->Variable(k)->Units = "m";
    if (main->Variable(k)->Name == "T") main->Variable(k)->Units = "m";
  }
  TEquationRecord* second = main->FirstEquation->Next;
  form->Press(QPoint(40, ContentY(form, second)), QPoint(), false);
  ASSERT_EQ(form->Chosen(), second);
  // No problem: message 461.
  platform_.SetScriptedAnswer(0);
  std::string text;
  testing::AnswerNextMessageBox(QMessageBox::Ok, &text);
  form->CheckUnits1()->trigger();
  EXPECT_EQ(text, GetMessageText(461));
  // A problem: its message and the question; Yes opens the Variable
  // Information dialog over the equation's two variables only.
  for (int32_t k = 1; k <= main->VariableCount; ++k)
    if (main->Variable(k)->Name == "T") main->Variable(k)->Units = "s";
  std::vector<std::string> listed;
  TResidualForm::RunVarInfoDialog = [&](QWidget*) {
    EXPECT_TRUE(VarInfoRestricted);
    for (int32_t k = 1; k <= CurrentProgramUnit->UsedVariableCount; ++k)
      listed.push_back(CurrentProgramUnit->Variable(CurrentProgramUnit->UsedVariableList[size_t(k)])->Name);
    return true;
  };
  const int16_t used = main->UsedVariableCount;
  testing::AnswerNextMessageBox(QMessageBox::Yes, &text);
  form->CheckUnits1()->trigger();
  EXPECT_NE(text.find("  Show Variable Information?"), std::string::npos) << text;
  EXPECT_EQ(listed, (std::vector<std::string>{"T", "L"}));
  EXPECT_EQ(main->UsedVariableCount, used);
  EXPECT_FALSE(VarInfoRestricted);
}

TEST_F(ResidualWindowTest, FindScrollsAndCopyPutsTheTextOnTheClipboard) {
  std::string model;
  for (int k = 1; k <= 80; ++k) model += "v" + std::to_string(k) + " = " + std::to_string(k) + "\r\n";
  TResidualForm* form = Solve(model);
  bool notFound = true;
  form->Find("v70", false, notFound, true, false);
  EXPECT_FALSE(notFound);
  EXPECT_GT(form->ResidualView()->verticalScrollBar()->value(), 0);
  form->Find("v7", false, notFound, true, false);
  EXPECT_FALSE(notFound);
  form->Find("nothing", false, notFound, true, false);
  EXPECT_TRUE(notFound);
  const std::string copy = form->CopyResiduals();
  EXPECT_EQ(copy.rfind("0 \t", 0), 0u);
  EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), copy);
}

// Resize steps 5 ms apart on the rule's clock repaint at most once per
// 20 ms, in both windows that share the rule.
TEST_F(ResidualWindowTest, ResizeRepaintsAtMostEvery20Milliseconds) {
  TResizeRepaintRule rule;
  int32_t now = 1000;
  rule.Clock = [&] { return now; };
  EXPECT_TRUE(rule.Resized());  // nothing painted yet
  rule.Painted();
  int repaints = 0;
  for (int step = 0; step < 20; ++step) {
    now += 5;
    if (rule.Resized()) {
      ++repaints;
      rule.Painted();
    }
  }
  // 100 ms of resizing: a repaint only when more than 20 ms passed.
  EXPECT_EQ(repaints, 4);

  TResidualForm* residuals = Solve("x = 3\r\ny = 2*x");
  ShowSolutionWindow();
  TSolutionForm* solution = EnsureSolutionForm();
  for (auto [view, ruleOf] :
       {std::pair<QAbstractScrollArea*, TResizeRepaintRule*>{residuals->ResidualView(),
                                                             &residuals->ResidualView()->ResizeRule()},
        std::pair<QAbstractScrollArea*, TResizeRepaintRule*>{solution->View(), &solution->View()->ResizeRule()}}) {
    // The window in front (a covered view is not painted at all).
    TSolutionForm* form = view == residuals->ResidualView() ? residuals : solution;
    window_->MdiArea()->setActiveSubWindow(form);
    form->raise();
    form->move(0, 0);
    if (view == residuals->ResidualView()) residuals->ResidualView()->DeferredRepaintMs = 60000;
    else solution->View()->DeferredRepaintMs = 60000;
    int32_t clock = 5000;
    ruleOf->Clock = [&] { return clock; };
    // The last paint at 5000 on this clock.
    ruleOf->Painted();
    const int before = ruleOf->Paints();
    for (int step = 0; step < 8; ++step) {
      clock += 5;
      view->resize(300 + 10 * step, 200 + 5 * step);
      view->viewport()->repaint();
    }
    // Steps at +5 ... +40: only the one at +25 comes more than 20 ms after
    // the last paint.
    EXPECT_EQ(ruleOf->Paints() - before, 1);
    ruleOf->Clock = nullptr;
  }
}

TEST_F(ResidualWindowTest, ScreenshotOfTheBundledExample) {
  std::ifstream in(std::string(VOQ_EXAMPLES_DIR) + "/wall_heat_loss.txt", std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  ASSERT_FALSE(text.str().empty());
  Preferences.CheckUnitsAutomatically = 1;
  TResidualForm* form = Solve(text.str());
  form->resize(760, 420);
  Paint(form);
  int32_t equations = 0;
  for (const TEquationRecord* e = MainProgramUnit->FirstEquation; e != nullptr; e = e->Next) ++equations;
  EXPECT_EQ(ResidualTotalsLine(*MainProgramUnit).rfind("There are a total of " + std::to_string(equations) +
                                                            " equations in ",
                                                        0),
            0u);
  const QImage image = form->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const std::string path = testing::SaveTestPicture(image, "residuals_window.png");
  EXPECT_EQ(form->ResidualView()->verticalScrollBar()->value(), 0);
  ASSERT_FALSE(image.isNull()) << path;
  // Pixels of the totals line's blue and of the titles' red.
  int blue = 0, red = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      if (qBlue(p) > 180 && qRed(p) < 80 && qGreen(p) < 80) ++blue;
      if (qRed(p) > 180 && qBlue(p) < 80 && qGreen(p) < 80) ++red;
    }
  EXPECT_GT(blue, 20);
  EXPECT_GT(red, 20);
}

}  // namespace
}  // namespace voq

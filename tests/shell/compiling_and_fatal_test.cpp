#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <filesystem>

#include "core/calc_state.h"
#include "core/program_flags.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "platform/qt/qt_platform.h"
#include "session/compile_driver.h"
#include "shell/compiling_window.h"
#include "shell/fatal_exit.h"
#include "shell/main_window.h"
#include "shell/seams.h"
#include "qt_app.h"

namespace voq {
namespace {

TEST(CompilingWindow, ShiftDoesNotAbortAnotherKeyDoes) {
  testing::EnsureApplication();
  TCompiling compiling;
  CalcErrorCode = 0;
  AbortRequested = false;
  compiling.Show();
  compiling.Update(1);
  EXPECT_EQ(compiling.LineL->text().toStdString(), "1");
  QTest::keyClick(&compiling, Qt::Key_Shift);
  compiling.Update(2);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_FALSE(AbortRequested);
  QTest::keyClick(&compiling, Qt::Key_A);
  compiling.Update(3);
  EXPECT_EQ(CalcErrorCode, 58);
  EXPECT_TRUE(AbortRequested);
  compiling.Hide();
  EXPECT_FALSE(compiling.Shown());
}

TEST(CompilingWindow, ClickOnAbortAbortsAClickBesideItDoesNot) {
  testing::EnsureApplication();
  TCompiling compiling;
  CalcErrorCode = 0;
  AbortRequested = false;
  compiling.Show();
  QTest::mouseClick(&compiling, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  compiling.Update(1);
  EXPECT_EQ(CalcErrorCode, 0);
  QTest::mouseClick(compiling.OKBtn, Qt::LeftButton);
  compiling.Update(2);
  EXPECT_EQ(CalcErrorCode, 58);
  compiling.Hide();
}

TEST(CompilingWindow, HiddenModeNeitherCountsNorAborts) {
  testing::EnsureApplication();
  TCompiling compiling;
  HiddenMode = true;
  CalcErrorCode = 0;
  compiling.Show();
  QTest::keyClick(&compiling, Qt::Key_A);
  compiling.Update(7);
  EXPECT_EQ(compiling.LineL->text().toStdString(), "0");
  EXPECT_EQ(CalcErrorCode, 0);
  compiling.Hide();
  HiddenMode = false;
}

// An exception escaping a menu command saves the document as the rescue
// file and names the equation being worked on.
TEST(FatalExit, ExceptionFromAMenuCommandSavesAndReports) {
  testing::EnsureApplication();
  const std::string dir = testing::MakeTempFolder("voq_fatal");
  QtPlatform platform;
  platform.SetScriptedAnswer(kResultOk);
  {
    TVOQ_D window;
    window.InstallHostServices(platform);
    window.FormCreate(dir);
    Equations().SetText("x = 2\r\ny = x + 1\r\n");
    CheckOnlyMode = true;
    CompileEquations(false, false);
    CheckOnlyMode = false;
    ASSERT_NE(CurrentProgramUnit, nullptr);
    ASSERT_NE(CurrentProgramUnit->FirstEquation, nullptr);
    CurrentProgramUnit->LastEquation = CurrentProgramUnit->FirstEquation->Next;
    ASSERT_NE(CurrentProgramUnit->LastEquation, nullptr);
    const std::string equation = CurrentProgramUnit->LastEquation->Text.value_or("");

    std::vector<std::tuple<std::string, int, int, int>> saves;
    ShellCommands().SaveDocumentFile = [&](const std::string& f, int a, int b, int c) {
      saves.emplace_back(f, a, b, c);
    };
    std::string caption, text;
    int ended = -1;
    FatalExitHooks().ShowMessage = [&](const std::string& c, const std::string& t) {
      caption = c;
      text = t;
    };
    FatalExitHooks().EndProcess = [&](int code) { ended = code; };
    window.SetHandler("Solve1", [] { throw std::runtime_error("fault in a command"); });
    window.Action("Solve1")->trigger();

    ASSERT_EQ(saves.size(), 1u);
    EXPECT_EQ(saves[0], std::make_tuple(std::string("VOQERROR.VOQ"), 0, 0, 0));
    EXPECT_EQ(caption.rfind("Unexpected fatal error #", 0), 0u) << caption;
    EXPECT_EQ(text, "Error while processing the following equation:\r" + equation +
                        "\r\rYour file has been saved in VOQERROR.VOQ");
    EXPECT_NE(ended, -1);
  }
  ResetShellCommands();
  ResetFatalExitHooks();
  RestoreInstalledHost();
  std::filesystem::remove_all(dir);
}

TEST(FatalExit, DistributableProgramSavesNothing) {
  int saves = 0;
  ShellCommands().SaveDocumentFile = [&](const std::string&, int, int, int) { ++saves; };
  bool shown = false;
  FatalExitHooks().ShowMessage = [&](const std::string&, const std::string&) { shown = true; };
  DistributableMode = true;
  FatalExitHandler(kFatalExceptionCode);
  DistributableMode = false;
  EXPECT_EQ(saves, 0);
  EXPECT_FALSE(shown);
  ResetShellCommands();
  ResetFatalExitHooks();
}

}  // namespace
}  // namespace voq

#include "shell/calculate_menu.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/program_flags.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "model/warnings_window.h"
#include "platform/qt/qt_platform.h"
#include "platform/scripted_platform.h"
#include "results/solution_form.h"
#include "session/min_max.h"
#include "shell/add_help_dlg.h"
#include "shell/equations_form.h"
#include "shell/gform.h"
#include "shell/main_window.h"
#include "tables/qt/save_append_dlg.h"
#include "tables/table_model.h"
#include "tables/tables_state.h"
#include "qt_app.h"

namespace voq {
namespace {

class FakeRecorder : public MacroRecorder {
 public:
  bool Recording() const override { return true; }
  void AppendLine(const std::string& line) override { lines.push_back(line); }
  std::vector<std::string> lines;
};

class ScriptedSaveDialog : public SaveAppendDialog {
 public:
  bool Execute(const std::string& caption, std::string& fileName, bool& append) override {
    shownCaption = caption;
    fileName = "results.txt";
    append = true;
    return true;
  }
  std::string shownCaption;
};

int16_t VariableNamed(const std::string& name) {
  for (int32_t i = 1; i <= MainProgramUnit->VariableCount; ++i) {
    if (MainProgramUnit->Variable(i)->Name == name) return int16_t(i);
  }
  return 0;
}

// Minimise y over x in [0, 5] by golden section, tolerance 1E-4.
class ScriptedMinMax : public MinMaxDialogView {
 public:
  bool Choose(const TMinMaxDlg& /*dialog*/, TMinMaxChoices& choices) override {
    choices.ObjectiveVariable = VariableNamed("y");
    choices.Independent = {VariableNamed("x")};
    choices.Maximise = false;
    choices.FirstAlgorithm = true;
    choices.ToleranceText = "1E-4";
    return true;
  }
  void EditBounds(const std::vector<int16_t>& variables) override {
    for (int16_t v : variables) {
      MainProgramUnit->Variable(v)->LowerLimit = 0;
      MainProgramUnit->Variable(v)->UpperLimit = 5;
    }
  }
};

class CalculateMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureApplication();
    dir_ = testing::MakeTempFolder("voq_calc");
    window_ = std::make_unique<TVOQ_D>();
    window_->InstallHostServices(platform_);
    platform_.SetScriptedAnswer(kResultOk);
    window_->FormCreate(dir_);
    // The progress window's final display would wait for Continue.
    SetProgressView(&quietProgress_);
    window_->show();
    menu_ = window_->CalculateMenu();
  }
  void TearDown() override {
    SetMinMaxDialogView(nullptr);
    window_.reset();
    RestoreInstalledHost();
    std::filesystem::remove_all(dir_);
  }
  void Trigger(const char* name) { window_->Action(name)->trigger(); }
  void SetEquations(const std::string& text) { window_->EquationForm()->SetText(text); }
  TGForm* Solution() const { return WindowList[kSolutionWindow]; }

  std::string dir_;
  QtPlatform platform_;
  ProgressView quietProgress_;
  std::unique_ptr<TVOQ_D> window_;
  TCalculateMenu* menu_ = nullptr;
};

TEST_F(CalculateMenuTest, SolveShowsTheSolutionWindowAndRecordsItsMacroLines) {
  ASSERT_NE(menu_, nullptr);
  FakeRecorder recorder;
  ScriptedSaveDialog save;
  menu_->SetMacroRecorder(&recorder);
  menu_->Commands().SetSaveAppendDialog(&save);
  SetEquations("x+y=3\r\nx-y=1");
  Trigger("Solve1");
  ASSERT_EQ(CalcErrorCode, 0) << platform_.LastAlertText();
  ASSERT_NE(Solution(), nullptr);
  EXPECT_EQ(Solution()->windowTitle().toStdString(), "Solution");
  EXPECT_TRUE(Solution()->IsShown);
  EXPECT_EQ(Solution()->Tag, kSolutionWindow);
  EXPECT_FALSE(window_->Calculating);
  EXPECT_EQ(save.shownCaption, "Save Solution Results in File");
  EXPECT_EQ(recorder.lines, (std::vector<std::string>{"Solve", "SaveSolution results.txt  /APPEND"}));
  // The window lists the solved values: x = 2, y = 1 (by hand).
  auto* form = dynamic_cast<TSolutionForm*>(Solution());
  ASSERT_NE(form, nullptr);
  form->View()->viewport()->repaint();
  std::vector<std::string> listed;
  for (const TSolutionItem* e : form->LastListing().Entries()) listed.push_back(e->Text);
  EXPECT_EQ(listed, (std::vector<std::string>{"x = 2", "y = 1"}));
  QImage picture = window_->grab().toImage();
  testing::SaveTestPicture(picture, "calculate_solve.png");

  // Update Guesses asks 241 and records its line.
  platform_.SetScriptedAnswer(kResultYes);
  const int before = platform_.AlertCount();
  Trigger("UpdateGuesses1");
  EXPECT_EQ(platform_.AlertCount(), before + 1);
  EXPECT_EQ(platform_.LastAlertText(),
            "This command will set the guess values of all variables to the most recent calculated values.  Continue?");
  EXPECT_EQ(recorder.lines.back(), "UpdateGuesses");
  // Reset Guesses in a batch macro asks nothing and records nothing.
  PlayingMacroFile = true;
  Trigger("ResetGuesses1");
  PlayingMacroFile = false;
  EXPECT_EQ(platform_.AlertCount(), before + 1);
  EXPECT_EQ(recorder.lines.back(), "UpdateGuesses");
  menu_->SetMacroRecorder(nullptr);
  menu_->Commands().SetSaveAppendDialog(nullptr);
}

// The program's own results-file dialog: while recording, Solve asks for
// the file in TSaveAppendDlg; OK with the append box records the line with
// "  /APPEND", Cancel records none.
TEST_F(CalculateMenuTest, SolveWhileRecordingAsksForTheResultsFile) {
  FakeRecorder recorder;
  menu_->SetMacroRecorder(&recorder);
  SetEquations("x = 3");
  auto answer = [](bool ok, QString* caption) {
    auto* poll = new QTimer(testing::TestScope());
    QObject::connect(poll, &QTimer::timeout, poll, [poll, ok, caption, tries = 0]() mutable {
      if (auto* dialog = dynamic_cast<TSaveAppendDlg*>(QApplication::activeModalWidget())) {
        poll->stop();
        *caption = dialog->windowTitle();
        if (ok) {
          QTest::keyClicks(dialog->FileNameEdit(), "out.txt");
          QTest::mouseClick(dialog->doAppendCB(), Qt::LeftButton);
          QTest::mouseClick(dialog->OKBtn(), Qt::LeftButton);
        } else {
          QTest::mouseClick(dialog->CancelBtn(), Qt::LeftButton);
        }
        poll->deleteLater();
      } else if (++tries >= 500) {
        poll->stop();
        poll->deleteLater();
      }
    });
    poll->start(10);
  };
  QString caption;
  answer(true, &caption);
  Trigger("Solve1");
  EXPECT_EQ(caption, "Save Solution Results in File");
  EXPECT_EQ(recorder.lines, (std::vector<std::string>{"Solve", "SaveSolution out.txt  /APPEND"}));
  caption.clear();
  answer(false, &caption);
  Trigger("Solve1");
  EXPECT_EQ(caption, "Save Solution Results in File");
  EXPECT_EQ(recorder.lines, (std::vector<std::string>{"Solve", "SaveSolution out.txt  /APPEND", "Solve"}));
  menu_->SetMacroRecorder(nullptr);
}

// Every run releases the Debug window; the solver makes a new one when it
// needs one.
TEST_F(CalculateMenuTest, SolveReleasesTheDebugWindow) {
  QPointer<TGForm> debug = new TGForm;
  window_->MdiArea()->addSubWindow(debug);
  WindowList[kDebugWindow] = debug;
  SetEquations("x = 3");
  Trigger("Solve1");
  EXPECT_EQ(WindowList[kDebugWindow], nullptr);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(debug.isNull());
}

TEST_F(CalculateMenuTest, AFailedSolveShowsNoSolutionWindow) {
  SetEquations("x+y=3\r\nx+y=4");
  Trigger("SolveButton1");
  EXPECT_GT(CalcErrorCode, 0);
  ASSERT_NE(Solution(), nullptr);
  EXPECT_EQ(Solution()->windowTitle().toStdString(), "Last Iteration Values");
  EXPECT_FALSE(Solution()->IsShown);
  EXPECT_FALSE(Solution()->isVisible());
}

TEST_F(CalculateMenuTest, SolveDoesNothingWhileCalculating) {
  SetEquations("x = 3");
  window_->Calculating = true;
  menu_->Commands().Solve1Click();
  Trigger("Solve1");
  window_->Calculating = false;
  EXPECT_EQ(Solution(), nullptr);
  EXPECT_FALSE(SolutionAvailable);
}

TEST_F(CalculateMenuTest, SolveTableWithoutAParametricTableIs304) {
  platform_.SetScriptedAnswer(kResultOk);
  Trigger("SolveTable1");
  EXPECT_EQ(platform_.LastAlertText(), "A Parametric table must exist to use this command.");
  EXPECT_EQ(platform_.LastAlertKind(), kAlertErrorOk);
}

TEST_F(CalculateMenuTest, MinMaxFromTheMenuFindsTheVertex) {
  ScriptedMinMax dialog;
  SetMinMaxDialogView(&dialog);
  platform_.SetScriptedAnswer(kResultYes);  // "Set bounds?"
  // y = (x-2)^2 + 1 is smallest at its vertex x = 2.
  SetEquations("y = (x-2)^2 + 1");
  Trigger("MinMax1");
  ASSERT_EQ(CalcErrorCode, 0) << platform_.LastAlertText();
  EXPECT_NEAR(double(MainProgramUnit->Variable(VariableNamed("x"))->Value), 2.0, 1e-3);
  ASSERT_NE(Solution(), nullptr);
  EXPECT_EQ(Solution()->windowTitle().toStdString(), "Solution");
  EXPECT_TRUE(Solution()->IsShown);
}

// A column of a variable the equations no longer have is named "??", with
// one beep for all such columns.
TEST_F(CalculateMenuTest, CheckFormatRenamesStaleParametricColumns) {
  ScriptedPlatform scripted;
  scripted.ticks = 5000;
  SetPlatform(&scripted);
  SetEquations("a = 1\r\nb = 2*a");
  Trigger("ChecKFormat1");
  ASSERT_EQ(CalcErrorCode, 0);
  ParametricColumnOrder = {0, VariableNamed("a"), VariableNamed("b")};
  TableRowCounts[kParametricTableKind] = 2;
  TableColumnCounts[kParametricTableKind] = 2;
  TTableForm* table = CreateTableForm(kParametricTableKind);
  ASSERT_NE(table, nullptr);
  TGForm standIn;  // the Parametric table window over the table model
  WindowList[kParametricTableWindow] = &standIn;
  table->Columns->Next->VariableIndex = 42;
  SetEquations("a = 1");
  Trigger("CheckButton1");
  WindowList[kParametricTableWindow] = nullptr;
  SetPlatform(&platform_);
  EXPECT_EQ(table->Columns->Name, "a");
  EXPECT_EQ(table->Columns->Next->Name, "??");
  EXPECT_EQ(scripted.beeps, 1);
}

// The warnings window after a solve whose procedure warns twice.
TEST_F(CalculateMenuTest, WarningsWindowScreenshot) {
  ShowWarningMessages = true;
  SetEquations(
      "PROCEDURE Two(a : b)\r\n"
      "  CALL WARNING('First warning: a is XXXF1', a)\r\n"
      "  CALL WARNING('Second warning: check the pump')\r\n"
      "  b := 2*a\r\n"
      "END\r\n"
      "CALL Two(3 : z)\r\n");
  platform_.SetScriptedAnswer(kResultYes);  // "see the list of warnings?"
  TAddHelpDlg* dlg = menu_->AddHelpDlg();
  ASSERT_NE(dlg, nullptr);
  QString shownText, shownTitle;
  QImage picture;
  bool copyEnabledBeforeSelection = true;
  bool calculatingWhileShown = false;
  bool closedByClick = false;
  QTimer poll;
  poll.setInterval(20);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (!dlg->isVisible()) return;
    poll.stop();
    shownTitle = dlg->windowTitle();
    shownText = dlg->HelpMemo()->toPlainText();
    copyEnabledBeforeSelection = dlg->CopyB()->isEnabled();
    picture = dlg->grab().toImage();
    dlg->HelpMemo()->selectAll();
    calculatingWhileShown = window_->Calculating;
    // The user's clicks reach the window although the solve is running.
    QTest::mouseClick(dlg->CopyB(), Qt::LeftButton);
    QTest::mouseClick(dlg->OKButton(), Qt::LeftButton);
    closedByClick = !dlg->isVisible();
    if (!closedByClick) dlg->done(QDialog::Rejected);
  });
  poll.start();
  Trigger("Solve1");
  poll.stop();
  ASSERT_EQ(CalcErrorCode, 0) << platform_.LastAlertText();
  EXPECT_EQ(shownTitle.toStdString(), "Warnings");
  EXPECT_EQ(shownText.toStdString(), "First warning: a is 3.0\n\nSecond warning: check the pump\n");
  EXPECT_FALSE(copyEnabledBeforeSelection);
  EXPECT_TRUE(calculatingWhileShown);
  EXPECT_TRUE(closedByClick);
  EXPECT_TRUE(QApplication::clipboard()->text().contains(QStringLiteral("Second warning")));
  ASSERT_FALSE(picture.isNull());
  EXPECT_EQ(picture.size(), QSize(493, 306));
  testing::SaveTestPicture(picture, "warnings_window.png");
  // The memo's text is dark on light, with the first line near the top left.
  bool darkText = false;
  for (int y = 0; y < 30 && !darkText; ++y)
    for (int x = 0; x < 120 && !darkText; ++x) darkText = qGray(picture.pixel(x, y)) < 80;
  EXPECT_TRUE(darkText);
  // Copy's right edge is 50 pixels from the window's.
  EXPECT_EQ(dlg->CopyB()->geometry().right() + 1, dlg->width() - 50);
  // The Solution window follows the warnings.
  ASSERT_NE(Solution(), nullptr);
  EXPECT_TRUE(Solution()->IsShown);
}

TEST_F(CalculateMenuTest, HelpWindowShowsABlockOfALibraryFile) {
  const std::string lib = dir_ + "/pump.lib";
  {
    std::ofstream out(lib, std::ios::binary);
    out << "{$PUMPWORK\r\nThe work of an ideal pump.\r\nUnits: kJ/kg\r\n}\r\n";
  }
  TAddHelpDlg* dlg = menu_->AddHelpDlg();
  dlg->HelpFileName = lib;
  dlg->ItemName = "PUMPWORK";
  dlg->SearchText.clear();
  dlg->BlockMode = true;
  dlg->JoinLines = true;
  dlg->ListingMode = false;
  ASSERT_TRUE(dlg->SetupWindow());
  EXPECT_FALSE(dlg->ShownExternally);
  EXPECT_EQ(dlg->windowTitle().toStdString(), "Help for PUMPWORK");
  EXPECT_EQ(dlg->HelpMemo()->toPlainText().toStdString(), "The work of an ideal pump.  Units: kJ/kg ");
}

}  // namespace
}  // namespace voq

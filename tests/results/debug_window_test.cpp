// The Debug window in Qt with the real message boxes: a solve of an
// underspecified set answered Yes opens it in mode 0 through the Calculate
// menu's solve services; clicks jump to the Equations window only after the
// activation delay; closing discards the compiled equations; a document
// reset frees it; and the units dialog of routine statements.
#include "results/debug_form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QMdiArea>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <functional>

#include "core/calc_state.h"
#include "core/messages.h"
#include "core/program_flags.h"
#include "model/document_settings.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "platform/qt/qt_platform.h"
#include "../shell/qt_app.h"
#include "results/residual_form.h"
#include "session/compile_driver.h"
#include "session/document_reset.h"
#include "session/program_start.h"
#include "shell/equations_form.h"
#include "shell/main_window.h"
#include "shell/result_windows.h"
#include "shell/table_windows.h"
#include "shell/var_info_dlg.h"
#include "tables/tables_state.h"

namespace voq {
namespace {

class DebugWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureApplication();
    dir_ = testing::MakeTempFolder("voq_debug");
    window_ = std::make_unique<TVOQ_D>();
    window_->InstallHostServices(platform_);
    platform_.SetScriptedAnswer(kResultOk);
    window_->FormCreate(dir_);
    window_->resize(1000, 640);
    window_->show();
  }
  void TearDown() override {
    window_.reset();
    RestoreInstalledHost();
    std::filesystem::remove_all(dir_);
  }
  // Solve on an underspecified set, message 47 answered Yes in a real box.
  TDebugForm* SolveUnderspecified() {
    Equations().SetText("x + y = 3\r\nx - y = 1\r\nz = w + x");
    platform_.SetScriptedAnswer(0);
    std::string text;
    testing::AnswerNextMessageBox(QMessageBox::Yes, &text);
    window_->Action("Solve1")->trigger();
    EXPECT_NE(text.find(GetMessageText(47)), std::string::npos) << text;
    TDebugForm* form = DebugForm();
    if (form != nullptr) {
      form->View()->viewport()->repaint();
      QApplication::processEvents();
    }
    return form;
  }

  std::string dir_;
  QtPlatform platform_;
  std::unique_ptr<TVOQ_D> window_;
};

TEST_F(DebugWindowTest, SolveAnsweredYesOpensMode0ForTheMainProgram) {
  TDebugForm* form = SolveUnderspecified();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(WindowList[kDebugWindow], form);
  EXPECT_EQ(form->Tag, kDebugWindow);
  EXPECT_EQ(form->property("helpContext").toInt(), 11);
  EXPECT_EQ(DebugState().Mode, 0);
  EXPECT_EQ(DebugState().Unit, MainProgramUnit);
  EXPECT_EQ(form->windowTitle().toStdString(), "Debug");
  EXPECT_EQ(form->geometry(), QRect(DebugWindowRect.Left, DebugWindowRect.Top, 620, 300));
  const TDebugListing& listing = form->LastListing();
  EXPECT_NE(listing.Find("Your problem definition is missing one equation that likely involves one or more "),
            nullptr)
      << listing.AllText();
  EXPECT_GE(listing.FirstCandidateRow, 0);
  form->resize(640, 380);
  form->View()->viewport()->repaint();
  const QImage image = form->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const std::string path = testing::SaveTestPicture(image, "debug_window.png");
  ASSERT_FALSE(image.isNull()) << path;
  int blue = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      if (qBlue(p) > 180 && qRed(p) < 80 && qGreen(p) < 80) ++blue;
    }
  EXPECT_GT(blue, 40);
}

TEST_F(DebugWindowTest, ClickSelectsTheNameOnlyAfterTheActivationDelay) {
  TDebugForm* form = SolveUnderspecified();
  ASSERT_NE(form, nullptr);
  ActiveChildWindow = kDebugWindow;
  const TDebugListing listing = form->LastListing();
  ASSERT_GE(listing.FirstOnceRow, 0);
  const TDebugRowTarget target = listing.Targets.at(listing.FirstOnceRow);
  const int lh = form->View()->LineHeight();
  const QPoint point(3 * form->View()->CharWidth(), listing.FirstOnceRow * lh + 6 + lh / 2);
  TEquationForm* equations = window_->EquationForm();
  equations->SelectEngineRange(0, 0);
  DebugState().ActivatedTicks = platform_.TickCount();
  form->Click(point, 1);
  EXPECT_EQ(equations->Memo->EngineSelLength(), 0);
  ActiveChildWindow = kDebugWindow;
  DebugState().ActivatedTicks = platform_.TickCount() - 200;
  form->Click(point, 1);
  EXPECT_EQ(equations->Editor()->textCursor().selectedText().toStdString(), target.Variable->Name);
}

// What the Variable Information dialog showed when mode 1 opened it.
struct DebugVarInfoSeen {
  bool Opened = false;
  bool UnitBoxVisible = false;
  int Unit = -1;
  int Rows = 0;
  std::string CurrentName;
  int Column = -1;
};

class DebugVarInfoTest : public DebugWindowTest {
 protected:
  void SetUp() override {
    DebugWindowTest::SetUp();
    saved_ = TDebugForm::RunVarInfoAt;
    TDebugForm::RunVarInfoAt = [this](TVarInfoDlg& dialog) {
      seen.Opened = true;
      seen.UnitBoxVisible = !dialog.BlocksBox()->isHidden();
      seen.Unit = dialog.BlocksBox()->currentIndex();
      seen.Rows = dialog.Grid()->rowCount();
      const int row = dialog.Grid()->currentRow();
      if (row >= 0 && dialog.Grid()->item(row, 0) != nullptr)
        seen.CurrentName = dialog.Grid()->item(row, 0)->text().toStdString();
      seen.Column = dialog.Grid()->currentColumn();
      return false;
    };
  }
  void TearDown() override {
    TDebugForm::RunVarInfoAt = saved_;
    DebugWindowTest::TearDown();
  }
  // Solves a set of fifty variables a1..a49 and y (the dialog scrolls).
  void SolveMany() {
    std::string text = "x + y = 3\r\nx - y = 1\r\n";
    for (int k = 1; k <= 49; ++k) text += "a" + std::to_string(k) + " = " + std::to_string(k) + "\r\n";
    Equations().SetText(text);
    CheckOnlyMode = false;
    HiddenMode = true;
    CompileEquations(false, true);
    HiddenMode = false;
    ASSERT_LE(CalcErrorCode, 0);
  }
  TVariableRecord* Var(const std::string& name) {
    for (int32_t k = 1; k <= MainProgramUnit->VariableCount; ++k)
      if (TVariableRecord* v = MainProgramUnit->Variable(k); v != nullptr && v->Name == name) return v;
    return nullptr;
  }

  DebugVarInfoSeen seen;
  std::function<bool(TVarInfoDlg&)> saved_;
};

TEST_F(DebugVarInfoTest, Mode1VariableClickOpensTheWholeDialogOnTheVariablesBoundColumn) {
  SolveMany();
  TVariableRecord* y = Var("y");
  ASSERT_NE(y, nullptr);
  // y sits at its lower bound: the click lands on its Lower cell.
  y->LowerLimit = y->Value;
  OpenDebugWindow(MainProgramUnit, 1);
  TDebugForm* form = DebugForm();
  ASSERT_NE(form, nullptr);
  form->View()->viewport()->repaint();
  QApplication::processEvents();
  const TDebugListing listing = form->LastListing();
  ASSERT_GE(listing.FirstOnceRow, 0) << listing.AllText();
  ASSERT_EQ(listing.Targets.at(listing.FirstOnceRow).Variable, y);
  ActiveChildWindow = kDebugWindow;
  DebugState().ActivatedTicks = platform_.TickCount() - 200;
  const int lh = form->View()->LineHeight();
  form->Click(QPoint(3 * form->View()->CharWidth(), listing.FirstOnceRow * lh + 6 + lh / 2), 1);
  ASSERT_TRUE(seen.Opened);
  // Not just the one variable: every variable of the unit is listed.
  EXPECT_GE(seen.Rows, 51);
  EXPECT_EQ(seen.Unit, 0);
  EXPECT_EQ(seen.CurrentName, "y");
  EXPECT_EQ(seen.Column, 2);
}

TEST_F(DebugVarInfoTest, ColumnIsUpperUnlessTheValueSitsAtItsLowerBound) {
  SolveMany();
  struct Case {
    const char* name;
    bool atLower;
    int column;
  };
  for (const Case c : {Case{"y", true, 2}, Case{"x", false, 3}, Case{"a2", false, 3}}) {
    seen = {};
    TVariableRecord* v = Var(c.name);
    ASSERT_NE(v, nullptr) << c.name;
    v->LowerLimit = c.atLower ? v->Value : v->Value - 10;
    v->UpperLimit = c.atLower ? v->Value + 10 : v->Value;
    ShowVarInfoAtVariable(nullptr, MainProgramUnit, v);
    ASSERT_TRUE(seen.Opened) << c.name;
    EXPECT_EQ(seen.CurrentName, c.name);
    EXPECT_EQ(seen.Column, c.column) << c.name;
  }
}

TEST_F(DebugWindowTest, ClosingInMode0DiscardsTheCompiledEquations) {
  TDebugForm* form = SolveUnderspecified();
  ASSERT_NE(form, nullptr);
  ASSERT_NE(MainProgramUnit->FirstEquation, nullptr);
  const int32_t clears = CompiledEquationsClears;
  form->move(40, 70);
  const QPointer<TDebugForm> guard(form);
  form->close();
  EXPECT_TRUE(QTest::qWaitFor([&] { return guard.isNull(); }));
  EXPECT_EQ(WindowList[kDebugWindow], nullptr);
  EXPECT_GT(CompiledEquationsClears, clears);
  EXPECT_EQ(MainProgramUnit->FirstEquation, nullptr);
  // Its place is kept for the next time.
  EXPECT_EQ(DebugWindowRect.Left, 40);
  EXPECT_EQ(DebugWindowRect.Top, 70);
}

TEST_F(DebugWindowTest, DocumentResetHidesResidualsAndFreesDebug) {
  TTableWindows tables(*window_);
  SetDocumentWindows(&tables);
  Equations().SetText("x = 3");
  HiddenMode = true;
  window_->Action("Solve1")->trigger();
  HiddenMode = false;
  SolutionAvailable = true;
  window_->Action("Residuals1")->trigger();
  auto* residuals = dynamic_cast<TResidualForm*>(WindowList[kResidualsWindow]);
  ASSERT_NE(residuals, nullptr);
  OpenDebugWindow(MainProgramUnit, 2);
  ASSERT_NE(DebugForm(), nullptr);
  const QPointer<TDebugForm> guard(DebugForm());
  DocumentResetWindows().ResetResultWindows();
  EXPECT_FALSE(residuals->isVisible());
  EXPECT_EQ(WindowList[kDebugWindow], nullptr);
  EXPECT_TRUE(QTest::qWaitFor([&] { return guard.isNull(); }));
  SetDocumentWindows(nullptr);
}

TEST_F(DebugWindowTest, UnitsDialog) {
  // No local variables: the dialog ends with Cancel at once.
  {
    TFuncProcUnits dialog(window_.get(), "y = f(x)");
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
  }
  TLocalVariableRecord a, b;
  a.Name = "t";
  a.Units = "s";
  b.Name = "d";
  TFuncProcUnits dialog(window_.get(), "v := d/t");
  dialog.Model().Add(&a);
  dialog.Model().Add(&b);
  DocumentUnchanged = true;
  QTimer::singleShot(0, testing::TestScope(), [&] {
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.isVisible(); }));
    if (dialog.Grid()->rowCount() != 3) {
      ADD_FAILURE() << "rows: " << dialog.Grid()->rowCount();
      dialog.reject();
      return;
    }
    EXPECT_EQ(dialog.Grid()->item(0, 0)->text().toStdString(), "VARIABLE");
    EXPECT_EQ(dialog.Grid()->item(0, 1)->text().toStdString(), "UNITS");
    EXPECT_EQ(dialog.Grid()->item(1, 0)->text().toStdString(), "D");
    EXPECT_EQ(dialog.Grid()->columnWidth(0), 128);
    EXPECT_EQ(dialog.Grid()->columnWidth(1), 206);
    EXPECT_EQ(dialog.Grid()->currentColumn(), 1);
    // The name column is not editable.
    EXPECT_FALSE(dialog.Grid()->item(1, 0)->flags() & Qt::ItemIsEditable);
    dialog.Grid()->item(1, 1)->setText(QString(31, QLatin1Char('m')));
    testing::SaveTestPicture(dialog.grab().toImage(), "func_proc_units.png");
    QTest::mouseClick(dialog.OKBtn(), Qt::LeftButton);
  });
  EXPECT_EQ(dialog.exec(), QDialog::Accepted);
  EXPECT_EQ(b.Units, std::string(30, 'm'));
  EXPECT_EQ(b.DefaultUnits, 0);
  // t's row was left as it was.
  EXPECT_EQ(a.Units, "s");
  EXPECT_EQ(a.DefaultUnits, 1);
  EXPECT_FALSE(DocumentUnchanged);
}

}  // namespace
}  // namespace voq

namespace voq {
namespace {

TEST_F(DebugWindowTest, ResidualsLinkOpensTheResidualsWindow) {
  TDebugForm* form = SolveUnderspecified();
  ASSERT_NE(form, nullptr);
  const QRect link = form->View()->LinkRect();
  ASSERT_FALSE(link.isEmpty());
  ActiveChildWindow = kDebugWindow;
  DebugState().ActivatedTicks = platform_.TickCount() - 200;
  SolutionStarted = true;
  form->Click(link.center(), 1);
  EXPECT_NE(WindowList[kResidualsWindow], nullptr);
}

}  // namespace
}  // namespace voq

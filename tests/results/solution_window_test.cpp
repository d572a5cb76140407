// The Solution window in Qt on the offscreen platform: the listing after a
// solve, the click timing, the format dialog, the clipboard and a picture of
// the bundled example.
#include "results/solution_form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMdiArea>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/calc_state.h"
#include "core/program_flags.h"
#include "model/document_settings.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "output/solution_format.h"
#include "output/solution_listing.h"
#include "platform/qt/qt_platform.h"
#include "../shell/qt_app.h"
#include "results/format_soln_dlg.h"
#include "session/compile_driver.h"
#include "shell/main_window.h"

namespace voq {
namespace {

class SolutionWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureApplication();
    dir_ = testing::MakeTempFolder("voq_solution");
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
  TSolutionForm* Solve(const std::string& text) {
    Equations().SetText(text);
    CheckOnlyMode = false;
    // No wait for Continue in the progress window after the solve.
    HiddenMode = true;
    CompileEquations(false, true);
    HiddenMode = false;
    EXPECT_LE(CalcErrorCode, 0);
    ShowSolutionWindow();
    TSolutionForm* form = EnsureSolutionForm();
    form->move(0, 0);
    form->resize(520, 300);
    Paint(form);
    return form;
  }
  static void Paint(TSolutionForm* form) {
    // A resize repaints only 20 ms after the last paint.
    QTest::qWait(25);
    form->View()->viewport()->repaint();
    QApplication::processEvents();
  }
  static TVariableRecord* Var(const std::string& name) {
    for (int32_t k = 1; k <= MainProgramUnit->VariableCount; ++k)
      if (MainProgramUnit->Variable(k) != nullptr && MainProgramUnit->Variable(k)->Name == name)
        return MainProgramUnit->Variable(k);
    return nullptr;
  }
  static int32_t IndexOf(const std::string& name) {
    for (int32_t k = 1; k <= MainProgramUnit->VariableCount; ++k)
      if (MainProgramUnit->Variable(k) != nullptr && MainProgramUnit->Variable(k)->Name == name) return k;
    return 0;
  }
  static QPoint Centre(const TVariableRecord* v, const TSolutionForm* form) {
    const TScreenRect r = v->ScreenRect;
    return QPoint((r.Left + r.Right) / 2 - form->View()->horizontalScrollBar()->value(),
                  (r.Top + r.Bottom) / 2 - form->View()->verticalScrollBar()->value());
  }

  std::string dir_;
  QtPlatform platform_;
  std::unique_ptr<TVOQ_D> window_;
};

TEST_F(SolutionWindowTest, ListsTheSolutionInSlotTwo) {
  TSolutionForm* form = Solve("x+y=3\r\nx-y=1");
  EXPECT_EQ(WindowList[kSolutionWindow], form);
  EXPECT_EQ(form->Tag, kSolutionWindow);
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(form->windowTitle().toStdString(), "Solution");
  std::vector<std::string> texts;
  for (const TSolutionItem* e : form->LastListing().Entries()) texts.push_back(e->Text);
  EXPECT_EQ(texts, (std::vector<std::string>{"x = 2", "y = 1"}));
  EXPECT_EQ(form->LastListing().Columns, 2);

  // A window narrower than one entry lists one entry per line.
  form->resize(60, 300);
  Paint(form);
  ASSERT_EQ(form->LastListing().Entries().size(), 2u);
  EXPECT_EQ(form->LastListing().Columns, 1);
  EXPECT_EQ(form->LastListing().Entries()[1]->Line, form->LastListing().Entries()[0]->Line + 1);
}

TEST_F(SolutionWindowTest, UnitCheckMessageAndButton) {
  Preferences.CheckUnitsAutomatically = 1;
  TSolutionForm* form = Solve("L = 2\r\nT = L*3");
  Var("L")->Units = "m";
  Var("T")->Units = "m";
  ClearUnitsCheck();
  Paint(form);
  EXPECT_NE(form->LastListing().FindText("No unit consistency or conversion problems were detected."), nullptr);
  EXPECT_FALSE(form->ChkUnitsButton()->isVisible());

  Var("T")->Units = "s";
  ClearUnitsCheck();
  Paint(form);
  EXPECT_NE(form->LastListing().FindText("1 potential unit problem was detected."), nullptr);
  EXPECT_TRUE(form->ChkUnitsButton()->isVisible());
  EXPECT_EQ(form->ChkUnitsButton()->text().toStdString(), "Check Units");
}

TEST_F(SolutionWindowTest, ClickRightAfterActivationSelectsNothing) {
  TSolutionForm* form = Solve("a=1\r\nb=2");
  form->FormActivate();
  Paint(form);
  QTest::mouseClick(form->View()->viewport(), Qt::LeftButton, {}, Centre(Var("a"), form));
  EXPECT_GT(Var("a")->DisplayCode, 0);
  QTest::qWait(120);
  QTest::mouseClick(form->View()->viewport(), Qt::LeftButton, {}, Centre(Var("a"), form));
  EXPECT_LT(Var("a")->DisplayCode, 0);
  form->Unselect();
  EXPECT_GT(Var("a")->DisplayCode, 0);
}

TEST_F(SolutionWindowTest, SelectAllSelectsTheDrawnEntriesAndUnselectEndsIt) {
  TSolutionForm* form = Solve("a=1\r\nb=2\r\nc=3");
  form->SelectAll();
  for (const char* name : {"a", "b", "c"}) EXPECT_LT(Var(name)->DisplayCode, 0) << name;
  // Enter opens the dialog for the selection; Cancel leaves the formats.
  QTimer::singleShot(50, testing::TestScope(), [] {
    if (QWidget* dialog = QApplication::activeModalWidget()) dialog->close();
  });
  QTest::keyClick(form->View(), Qt::Key_Return);
  for (const char* name : {"a", "b", "c"}) EXPECT_GT(Var(name)->DisplayCode, 0) << name;
}

TEST_F(SolutionWindowTest, FormatDialogDigitsReachTheOtherSelected) {
  TSolutionForm* form = Solve("a=1.5\r\nb=2.25\r\nc=3.125");
  Var("b")->Units = "kg";
  Var("c")->DisplayCode = 3;  // Bold
  Paint(form);
  for (const char* name : {"a", "b", "c"}) Var(name)->DisplayCode = int16_t(-Var(name)->DisplayCode);
  CurrentProgramUnit = MainProgramUnit;
  {
    TFormatSolnDlg dialog(form, IndexOf("a"), 0, nullptr);
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Format Selected Variables");
    dialog.ChooseStyle(1);
    dialog.ChooseDigits(3);
    EXPECT_TRUE(dialog.DigitBox()->isEnabled());
    dialog.OKBtnClick();
  }
  EXPECT_EQ(Var("b")->Digits, 3);
  EXPECT_EQ(Var("b")->Units, "kg");
  EXPECT_EQ(std::abs(Var("c")->DisplayCode), 3);
  Paint(form);
  EXPECT_NE(form->LastListing().FindText("a = 1.500"), nullptr);
  EXPECT_NE(form->LastListing().FindText("b = 2.250 [kg]"), nullptr);
  form->Undo();
  form->Undo();
  EXPECT_EQ(Var("b")->Digits, 3);

  // "Hidden" greys the format controls; after OK the entry is gone.
  {
    TFormatSolnDlg dialog(form, IndexOf("a"), 0, nullptr);
    dialog.ChooseHilite(0);
    EXPECT_FALSE(dialog.Stylebox()->isEnabled());
    EXPECT_FALSE(dialog.DigitBox()->isEnabled());
    EXPECT_EQ(dialog.HiliteBox()->text().toStdString(), "Hidden");
    dialog.OKBtnClick();
  }
  Paint(form);
  EXPECT_EQ(form->LastListing().FindText("a = "), nullptr);
}

TEST_F(SolutionWindowTest, CopyPutsTextAndPictureUnlessCtrl) {
  TSolutionForm* form = Solve("d=2\r\nx[1]=4");
  Var("d")->Units = "m";
  Paint(form);
  const QImage picture = form->CopytoClip(false);
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->text().toStdString(), "Variables in Main\r\nd=2 [m]\r\nx[1]=4\r\n");
  EXPECT_TRUE(data->hasImage());
  // Twice the screen scale.
  EXPECT_EQ(picture.width(), 2 * std::max(form->LastListing().HorizontalRange, 50));

  form->CopytoClip(true);
  data = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(data, nullptr);
  EXPECT_FALSE(data->hasImage());
  EXPECT_EQ(data->text().toStdString(), "Variables in Main\r\nd=2 [m]\r\nx[1]=4\r\n");
}

TEST_F(SolutionWindowTest, ScreenshotOfTheBundledExample) {
  std::ifstream in(std::string(VOQ_EXAMPLES_DIR) + "/wall_heat_loss.txt", std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  ASSERT_FALSE(text.str().empty());
  Preferences.CheckUnitsAutomatically = 1;
  TSolutionForm* form = Solve(text.str());
  form->resize(640, 360);
  RunStartTicks = 0;
  SolveStartTicks = 300;
  Paint(form);
  const TSolutionListing& listing = form->LastListing();
  // Every variable of the example is listed.
  std::set<std::string> names;
  for (const TSolutionItem* e : listing.Entries()) names.insert(e->Name);
  for (const char* name : {"T_room", "T_out", "T_sky", "h_in", "h_out", "epsilon", "sigma", "L_1", "k_1", "L_2",
                           "k_2", "L_3", "k_3", "q", "T_1", "T_2", "T_3", "T_s", "A", "Q_wall", "E_night",
                           "R_wool", "T_s_C"})
    EXPECT_EQ(names.count(name), 1u) << name;
  EXPECT_NE(listing.FindText("Calculation time = .3 sec"), nullptr);
  const QImage image = form->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const std::string path = testing::SaveTestPicture(image, "solution_window.png");
  ASSERT_FALSE(image.isNull()) << path;
  // Dark text pixels in the content.
  int dark = 0;
  for (int y = 40; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qGray(image.pixel(x, y)) < 100) ++dark;
  EXPECT_GT(dark, 200);
}

// The tab strip and the blocks of a module called three times.
TEST_F(SolutionWindowTest, ScreenshotOfTheModuleTab) {
  Preferences.ShowLocalVariables = 1;
  TSolutionForm* form =
      Solve("MODULE M(a : b)\r\nb = 2*a\r\nEND\r\nCALL M(1 : p)\r\nCALL M(2 : q)\r\nCALL M(3 : r)");
  ASSERT_TRUE(form->TabControl()->isVisible());
  ASSERT_EQ(form->TabControl()->count(), 2);
  EXPECT_EQ(form->TabControl()->tabText(0).toStdString(), "Main");
  EXPECT_EQ(form->TabControl()->tabText(1).toStdString(), "M");
  form->TabControl()->setCurrentIndex(1);
  Paint(form);
  int blocks = 0;
  for (const TSolutionItem& item : form->LastListing().Items)
    blocks += item.Text.rfind("Local variables in Module M\\", 0) == 0 ? 1 : 0;
  EXPECT_EQ(blocks, 3);
  const QImage image = form->grab().toImage().convertToFormat(QImage::Format_RGB32);
  testing::SaveTestPicture(image, "solution_window_module.png");
}

// With the program's real fonts no two entries overlap, for an example with
// units and for 400 array values in a wide window, and the columns reflow
// when the window narrows.
std::string CaseText(const std::string& name) {
  std::ifstream in(std::string(VOQ_EXAMPLES_DIR) + "/../tests/cases/" + name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

int OverlappingPairs(const TSolutionListing& listing) {
  const std::vector<const TSolutionItem*> entries = listing.Entries();
  int overlaps = 0;
  for (size_t i = 0; i < entries.size(); ++i) {
    for (size_t j = i + 1; j < entries.size(); ++j) {
      const TScreenRect& a = entries[i]->Rect;
      const TScreenRect& b = entries[j]->Rect;
      const bool apart = a.Right <= b.Left || b.Right <= a.Left || a.Bottom <= b.Top || b.Bottom <= a.Top;
      if (!apart) ++overlaps;
    }
  }
  return overlaps;
}

// With the program's start settings a module's values are shown: the
// heat-exchanger case has the "HX" tab with one block per call.
TEST_F(SolutionWindowTest, ModuleValuesAreShownWithTheStartSettings) {
  EXPECT_EQ(TPreferencesRecord{}.ShowLocalVariables, 1);
  Preferences.ShowLocalVariables = TPreferencesRecord{}.ShowLocalVariables;
  TSolutionForm* form = Solve(CaseText("heat_exchanger_modules.txt"));
  ASSERT_TRUE(form->TabControl()->isVisible());
  ASSERT_EQ(form->TabControl()->count(), 2);
  EXPECT_EQ(form->TabControl()->tabText(1).toStdString(), "HX");
  form->TabControl()->setCurrentIndex(1);
  Paint(form);
  int blocks = 0;
  std::set<std::string> names;
  for (const TSolutionItem& item : form->LastListing().Items)
    blocks += item.Text.rfind("Local variables in Module HX\\", 0) == 0 ? 1 : 0;
  for (const TSolutionItem* e : form->LastListing().Entries()) names.insert(e->Name);
  EXPECT_EQ(blocks, 3);
  for (const char* name : {"UA", "C_min", "C_max", "Cr", "NTU", "eps", "q", "Th_out", "Tc_out"})
    EXPECT_EQ(names.count(name), 1u) << name;
}

TEST_F(SolutionWindowTest, EntriesNeverOverlapAndReflowOnResize) {
  struct Case {
    const char* Name;
    std::string Text;
    int Width;
    int Height;
  };
  std::ostringstream array;
  array << "DUPLICATE i=1,400\r\nx[i] = i/406.7\r\nEND\r\n";
  const Case cases[] = {{"rankine steam", CaseText("rankine_steam.txt"), 640, 360},
                        {"400 array values", array.str(), 1600, 1000}};
  const int saved = Preferences.UseArraysWindow;
  Preferences.UseArraysWindow = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    ASSERT_FALSE(c.Text.empty());
    TSolutionForm* form = Solve(c.Text);
    form->resize(c.Width, c.Height);
    Paint(form);
    const TSolutionListing wide = form->LastListing();
    ASSERT_GT(wide.Entries().size(), 3u);
    EXPECT_GT(wide.Columns, 1);
    EXPECT_EQ(OverlappingPairs(wide), 0);
    form->resize(c.Width / 2, c.Height);
    Paint(form);
    const TSolutionListing narrow = form->LastListing();
    EXPECT_LT(narrow.Columns, wide.Columns);
    EXPECT_EQ(OverlappingPairs(narrow), 0);
    if (std::string(c.Name) == "rankine steam") {
      form->resize(c.Width, c.Height);
      Paint(form);
      testing::SaveTestPicture(form->grab().toImage(), "solution_window_steam.png");
    }
  }
  Preferences.UseArraysWindow = saved;
}

}  // namespace
}  // namespace voq

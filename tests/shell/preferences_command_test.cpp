// The Options menu's Preferences command in the program's main window: the
// dialog opens from the menu item, and what OK does to the windows: the
// tool bar, the autosave timer, the recent-file items, the Parametric
// table's sum row and the check of the equations again.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "core/locale_settings.h"
#include "core/program_flags.h"
#include "language/export_after_run.h"
#include "model/display_fonts.h"
#include "model/document_settings.h"
#include "model/program_units.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "platform/qt/qt_platform.h"
#include "session/compile_driver.h"
#include "shell/equations_form.h"
#include "shell/file_menu.h"
#include "shell/main_window.h"
#include "shell/options_dialogs.h"
#include "shell/preferences_dlg.h"
#include "shell/shell_state.h"
#include "shell/table_windows.h"
#include "tables/qt/table_window.h"
#include "tables/table_model.h"
#include "tables/tables_state.h"
#include "qt_app.h"

namespace voq {
namespace {

namespace fs = std::filesystem;

// Runs action on the Preferences dialog once it is up (inside its exec);
// gives up after about five seconds.
void OnPreferencesDialog(std::function<void(TPreferencesDlg*)> action, int tries = 0) {
  QTimer::singleShot(20, testing::TestScope(), [action, tries] {
    if (auto* dialog = dynamic_cast<TPreferencesDlg*>(QApplication::activeModalWidget())) {
      action(dialog);
    } else if (tries < 250) {
      OnPreferencesDialog(action, tries + 1);
    }
  });
}

class PreferencesCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureApplication();
    dir_ = testing::MakeTempFolder("voq_preferences_command");
    window_ = std::make_unique<TVOQ_D>();
    window_->InstallHostServices(platform_);
    platform_.SetScriptedAnswer(kResultOk);
    window_->FormCreate(dir_);
    window_->resize(900, 600);
    window_->show();
    tables_ = std::make_unique<TTableWindows>(*window_);
    SetDocumentWindows(tables_.get());
    SetDirectiveWindows(tables_.get());
    menu_ = std::make_unique<TFileMenu>(*window_);
  }
  void TearDown() override {
    menu_.reset();
    tables_->CloseTableWindows();
    SetDocumentWindows(nullptr);
    SetDirectiveWindows(nullptr);
    tables_.reset();
    window_.reset();
    ResetShellCommands();
    RestoreInstalledHost();
    fs::remove_all(dir_);
  }
  // "y = 2*T" checked and a Parametric table of `rows` runs over T and y,
  // T entered as 1..rows.
  TTableForm* ParametricTable(int32_t rows) {
    Equations().SetText("y = 2*T");
    EquationsCompiled = false;
    CheckOnlyMode = true;
    CompileEquations(false, false);
    CheckOnlyMode = false;
    TProgramUnitRecord* saved = CurrentProgramUnit;
    CurrentProgramUnit = MainProgramUnit;
    ParametricColumnOrder = {0, FindVariable("T"), FindVariable("y")};
    CurrentProgramUnit = saved;
    TableRowCounts[1] = rows;
    TableColumnCounts[1] = 2;
    TTableForm* f = CreateTableForm(kParametricTableKind);
    f->TabCaptions = {"Table 1"};
    f->TabIndex = 0;
    f->MultipleTableRefresh();
    FirstRun = 1;
    LastRun = rows;
    for (int32_t r = 1; r <= rows; ++r) f->SetmyCell(0, 1, r, r, 1, 1);
    return f;
  }
  // The Preferences menu item, with `edit` run on the dialog before OK.
  bool RunPreferences(std::function<void(TPreferencesDlg*)> edit) {
    bool opened = false;
    OnPreferencesDialog([&opened, edit](TPreferencesDlg* dialog) {
      opened = true;
      edit(dialog);
      QTest::mouseClick(dialog->OKBtn(), Qt::LeftButton);
    });
    window_->Action("Preferences1")->trigger();
    return opened;
  }

  std::string dir_;
  QtPlatform platform_;
  std::unique_ptr<TVOQ_D> window_;
  std::unique_ptr<TTableWindows> tables_;
  std::unique_ptr<TFileMenu> menu_;
};

TEST_F(PreferencesCommandTest, MenuItemOpensTheDialogAndOkChecksTheEquationsAgain) {
  Equations().SetText("x = 3\ny = x^2");
  ClearCompiledEquations();
  EquationsCompiled = false;
  Preferences.SpeedBarHidden = 0;
  ASSERT_TRUE(RunPreferences([](TPreferencesDlg* d) { d->SpeedbarCB()->setChecked(false); }));
  EXPECT_EQ(platform_.AlertCount(), 0) << platform_.LastAlertText();
  EXPECT_EQ(Preferences.SpeedBarHidden, 1);
  EXPECT_TRUE(window_->Speedbar()->isHidden());
  // Checked again: the equations are compiled, and the flags of the
  // lenient check are gone again.
  EXPECT_TRUE(EquationsCompiled);
  EXPECT_FALSE(CheckOnlyMode);
  EXPECT_FALSE(LenientCompile);
  EXPECT_FALSE(DialogOpen);
  ASSERT_TRUE(RunPreferences([](TPreferencesDlg* d) { d->SpeedbarCB()->setChecked(true); }));
  EXPECT_FALSE(window_->Speedbar()->isHidden());
}

TEST_F(PreferencesCommandTest, CancelKeepsTheCompiledEquations) {
  Equations().SetText("x = 3");
  EquationsCompiled = false;
  CheckOnlyMode = true;
  CompileEquations(false, false);
  CheckOnlyMode = false;
  ASSERT_TRUE(EquationsCompiled);
  bool opened = false;
  OnPreferencesDialog([&opened](TPreferencesDlg* d) {
    opened = true;
    QTest::mouseClick(d->CancelBtn(), Qt::LeftButton);
  });
  EXPECT_FALSE(Preferences1Click(*window_));
  EXPECT_TRUE(opened);
  EXPECT_TRUE(EquationsCompiled);
}

// A stored autosave interval of 1000 minutes is none; ticked with 10
// minutes the timer runs every 10 x 60000 ms.
TEST_F(PreferencesCommandTest, AutosaveTickedWithTenMinutesRunsTheTimerAt600000Ms) {
  Preferences.AutosaveMinutes = 1000;
  window_->AutoSaveTimer.stop();
  ASSERT_TRUE(RunPreferences([](TPreferencesDlg* d) {
    EXPECT_FALSE(d->AutosaveCB()->isChecked());
    EXPECT_EQ(d->MinuteEd()->value(), 0);
    d->AutosaveCB()->setChecked(true);
    d->MinuteEd()->setValue(10);
  }));
  EXPECT_EQ(Preferences.AutosaveMinutes, 10);
  EXPECT_TRUE(window_->AutoSaveTimer.isActive());
  EXPECT_EQ(window_->AutoSaveTimer.interval(), 600000);
  ASSERT_TRUE(RunPreferences([](TPreferencesDlg* d) { d->AutosaveCB()->setChecked(false); }));
  EXPECT_FALSE(window_->AutoSaveTimer.isActive());
}

TEST_F(PreferencesCommandTest, NoRecentFilesKeptRemovesTheirItemsFromTheFileMenu) {
  Preferences.RecentFileCount = 8;
  for (const char* name : {"a.txt", "b.txt"}) {
    const std::string path = dir_ + "/" + name;
    std::ofstream(path) << "x = 1";
    window_->RecentFiles.push_back(path);
  }
  menu_->FixFileNameList();
  ASSERT_EQ(menu_->RecentFileActions().size(), 2u);
  ASSERT_TRUE(RunPreferences([](TPreferencesDlg* d) {
    EXPECT_TRUE(d->FileListBox()->isChecked());
    d->FileListBox()->setChecked(false);
  }));
  EXPECT_EQ(Preferences.RecentFileCount, 0);
  EXPECT_TRUE(menu_->RecentFileActions().empty());
}

TEST_F(PreferencesCommandTest, SumRowFollowsTheBoxAtOnceAndOkWithoutAChangeLeavesTheTable) {
  ParametricTable(3);
  ASSERT_NE(tables_->Window(kParametricTableKind), nullptr);
  Preferences.TableSumRow = 0;
  ASSERT_EQ(TableForms[1]->GridRowCount, 4);
  ASSERT_TRUE(RunPreferences([](TPreferencesDlg* d) { d->TableSumRowB()->setChecked(true); }));
  EXPECT_EQ(TableForms[1]->GridRowCount, 5);
  EXPECT_EQ(TableForms[1]->SumRowShown, 1);
  EXPECT_EQ(FindColumn(TableForms[1]->Columns, 1)->Cell(4), 6.0L) << "1 + 2 + 3";
  // OK without a change: the row and its sums stay as they are.
  FindColumn(TableForms[1]->Columns, 1)->SetCell(4, 99);
  ASSERT_TRUE(RunPreferences([](TPreferencesDlg*) {}));
  EXPECT_EQ(TableForms[1]->GridRowCount, 5);
  EXPECT_EQ(FindColumn(TableForms[1]->Columns, 1)->Cell(4), 99.0L);
  ASSERT_TRUE(RunPreferences([](TPreferencesDlg* d) { d->TableSumRowB()->setChecked(false); }));
  EXPECT_EQ(TableForms[1]->GridRowCount, 4);
  EXPECT_EQ(TableForms[1]->SumRowShown, 0);
}

// The program's directive services: the screen's density, and the
// Equations window's tab stops after $TABWIDTH.
TEST_F(PreferencesCommandTest, TabWidthDirectiveMovesTheEquationsWindowsFirstTabStop) {
  const int32_t ppi = Fonts().ScreenPixelsPerInch();
  EXPECT_EQ(DirectiveWindowServices().ScreenPixelsPerInch(), ppi);
  Preferences.TabWidth = 0;
  window_->EquationForm()->AppliedTabWidth = -1;
  window_->EquationForm()->FormResize();
  const int32_t before = window_->EquationForm()->TabStopsPoints()[0];
  Equations().SetText("$TABWIDTH 1 in\nx = 1");
  EquationsCompiled = false;
  CheckOnlyMode = true;
  CompileEquations(false, false);
  CheckOnlyMode = false;
  EXPECT_EQ(platform_.AlertCount(), 0) << platform_.LastAlertText();
  // 1 in is 100 x ppi in the stored unit; the first stop lies at 7/8 of
  // the width: (7 x ppi / 8) x 96 / ppi points with every division truncated.
  EXPECT_EQ(Preferences.TabWidth, 100 * ppi);
  const int32_t after = window_->EquationForm()->TabStopsPoints()[0];
  EXPECT_EQ(after, (7 * ppi / 8) * 96 / ppi);
  EXPECT_NE(after, before);
}

TEST_F(PreferencesCommandTest, FileNewGivesTheEquationsWindowTheEditorFont) {
  Preferences.DisplayFont = 3;      // "Courier New"
  Preferences.DisplayFontSize = 4;  // 14 points
  StoredPreferences = Preferences;
  CreateDisplayFonts();
  ASSERT_EQ(EditorFontName, "Courier New");
  ASSERT_EQ(EditorFontPoints, 14);
  QPlainTextEdit* editor = window_->EquationForm()->Editor();
  editor->setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
  DocumentUnchanged = true;
  menu_->New1Click();
  EXPECT_EQ(editor->font().pointSize(), 14);
  ASSERT_FALSE(editor->font().families().isEmpty());
  EXPECT_EQ(editor->font().families().first().toStdString(), "Courier New");
}

// The question a person meets: a real message box, answered by clicks.
TEST_F(PreferencesCommandTest, ComplexAlgebraInDegreesAsksInARealMessageBox) {
  platform_.SetScriptedAnswer(0);  // the user answers
  EnsureMainProgramUnit();
  const struct {
    QMessageBox::StandardButton button;
    uint8_t angleUnit;
    Extended angleFactor;
  } cases[] = {{QMessageBox::No, 0, kDegreeAngleFactor}, {QMessageBox::Yes, 1, 1.0L}};
  for (const auto& c : cases) {
    SetAngleUnit(DocumentSettings, 0);
    Preferences.ComplexMode = 0;
    std::string text;
    testing::AnswerNextMessageBox(c.button, &text);
    ASSERT_TRUE(RunPreferences([](TPreferencesDlg* d) { d->DoComplexBox()->setChecked(true); }));
    EXPECT_EQ(text.rfind("The unit setting for angles in the Unit System dialog is degrees.", 0), 0u) << text;
    EXPECT_NE(text.find("Change to radians?"), std::string::npos) << text;
    EXPECT_EQ(platform_.LastAlertKind(), kAlertWarningYesNo);
    EXPECT_EQ(DocumentSettings.AngleUnit, c.angleUnit);
    EXPECT_EQ(DocumentSettings.AngleFactor, c.angleFactor);
    EXPECT_EQ(Preferences.ComplexMode, 1);
    EXPECT_EQ(MainProgramUnit->UnitComplexMode, 1);
  }
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
}  // namespace voq

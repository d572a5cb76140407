// The Preferences dialog: what its pages show of Preferences, the entries
// it refuses, what OK writes back and applies to the windows, Store into
// "VOQ.DFT", and pictures of its seven pages.
#include "shell/preferences_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabBar>
#include <QTest>

#include <array>
#include <filesystem>
#include <string>

#include "core/locale_settings.h"
#include "core/program_flags.h"
#include "documents/defaults_file.h"
#include "language/statement_preparation.h"
#include "model/display_fonts.h"
#include "model/document_settings.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "output/palette.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "session/engine.h"
#include "session/program_start.h"
#include "shell/shell_state.h"
#include "units/unit_table.h"
#include "qt_app.h"

namespace voq {
namespace {

namespace fs = std::filesystem;

class PreferencesDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureApplication();
    platform_.ticks = 100000;
    LastBeepTicks = 0;
    SetPlatform(&platform_);
    savedSeparator_ = DecimalSeparator;
    DecimalSeparator = '.';
    DocumentSettings.UnitSystem = 1;  // English
    dir_ = testing::MakeTempFolder("voq_preferences");
    savedDirectory_ = ProgramDirectory;
  }
  void TearDown() override {
    DecimalSeparator = savedSeparator_;
    ProgramDirectory = savedDirectory_;
    RestoreInstalledHost();
    fs::remove_all(dir_);
  }
  static std::array<uint8_t, kStoredPreferencesSize> Packed() {
    std::array<uint8_t, kStoredPreferencesSize> bytes{};
    PackPreferences(Preferences, bytes.data());
    return bytes;
  }

  ScriptedPlatform platform_;
  char savedSeparator_ = '.';
  std::string dir_;
  std::string savedDirectory_;
};

TEST_F(PreferencesDlgTest, AutosaveOutsideItsRangeShowsZeroUntickedAndOkStoresTheTypedMinutes) {
  Preferences.AutosaveMinutes = 1000;
  TPreferencesDlg dialog;
  EXPECT_FALSE(dialog.AutosaveCB()->isChecked());
  EXPECT_EQ(dialog.MinuteEd()->value(), 0);
  dialog.MinuteEd()->setValue(10);
  dialog.MinuteEdExit();
  EXPECT_TRUE(dialog.AutosaveCB()->isChecked());
  EXPECT_TRUE(dialog.OKBtnClick());
  EXPECT_EQ(Preferences.AutosaveMinutes, 10);
  // Unticked, 0 is stored whatever the minutes say.
  TPreferencesDlg again;
  again.AutosaveCB()->setChecked(false);
  EXPECT_TRUE(again.OKBtnClick());
  EXPECT_EQ(Preferences.AutosaveMinutes, 0);
}

TEST_F(PreferencesDlgTest, UntickingTheSpeedbarStoresOneAtOffset145) {
  Preferences.SpeedBarHidden = 0;
  TPreferencesDlg dialog;
  EXPECT_TRUE(dialog.SpeedbarCB()->isChecked());
  dialog.SpeedbarCB()->setChecked(false);
  dialog.FileListBox()->setChecked(true);
  EXPECT_TRUE(dialog.OKBtnClick());
  const auto bytes = Packed();
  EXPECT_EQ(bytes[145], 1);
  EXPECT_EQ(bytes[31], 8);
  EXPECT_EQ(bytes[32], 0);
}

// By hand at 96 pixels per inch: 6 in is 84 x 6 = 504 plot units, 15 cm is
// 84 x 15 / 2.54 = 496.06, so 496; 0.5 in (42) is too small.
TEST_F(PreferencesDlgTest, PlotSizesAreTypedInTheDocumentsUnitAndStoredAsPlotUnits) {
  Preferences.PlotWidth = 300;
  Preferences.PlotHeight = 200;
  {
    TPreferencesDlg dialog;
    dialog.show();
    EXPECT_EQ(dialog.SpinWidth()->Text().toStdString(), "3.57");
    dialog.SpinWidth()->SetText(QStringLiteral("6"));
    EXPECT_TRUE(dialog.OKBtnClick());
    EXPECT_EQ(Preferences.PlotWidth, 504);
    EXPECT_EQ(Preferences.PlotHeight, 200) << "an untouched box keeps its stored value";
    const auto bytes = Packed();
    EXPECT_EQ(bytes[33] | (bytes[34] << 8), 504);
  }
  DocumentSettings.UnitSystem = 0;  // SI
  {
    TPreferencesDlg dialog;
    dialog.show();
    dialog.SpinWidth()->SetText(QStringLiteral("15"));
    EXPECT_TRUE(dialog.OKBtnClick());
    EXPECT_EQ(Preferences.PlotWidth, 496);
  }
  DocumentSettings.UnitSystem = 1;
  TPreferencesDlg dialog;
  dialog.show();
  dialog.TabSet()->setCurrentIndex(0);
  dialog.SpinWidth()->SetText(QStringLiteral("0.5"));
  QTest::mouseClick(dialog.OKBtn(), Qt::LeftButton);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(platform_.beeps, 1);
  EXPECT_EQ(dialog.Notebook()->currentIndex(), 4) << "the Plots page comes into view";
  EXPECT_EQ(dialog.SpinWidth()->lineEdit()->selectedText().toStdString(), "0.5");
  EXPECT_EQ(Preferences.PlotWidth, 496);
  // The arrows step the stored value by one plot unit.
  dialog.SpinWidth()->SetText(QStringLiteral("6"));
  EXPECT_TRUE(dialog.OKBtnClick());
  TPreferencesDlg stepping;
  stepping.SpinWidth()->stepBy(1);
  EXPECT_EQ(stepping.SpinWidth()->Text().toStdString(), "6.01");  // 505 / 84
  EXPECT_TRUE(stepping.OKBtnClick());
  EXPECT_EQ(Preferences.PlotWidth, 505);
}

TEST_F(PreferencesDlgTest, TabWidthShowsItsDefaultStepsByATenthAndRefusesText) {
  Preferences.TabWidth = 0;
  {
    TPreferencesDlg dialog;
    EXPECT_EQ(dialog.TabWidthSpin()->Text().toStdString(), "0.20");
    dialog.TabWidthSpin()->stepBy(-1);
    EXPECT_EQ(dialog.TabWidthSpin()->Text().toStdString(), "0.10");
    dialog.TabWidthSpin()->stepBy(-1);
    EXPECT_EQ(dialog.TabWidthSpin()->Text().toStdString(), "0.10") << "never below 0.1";
    dialog.TabWidthSpin()->stepBy(4);
    EXPECT_EQ(dialog.TabWidthSpin()->Text().toStdString(), "0.50");
    EXPECT_TRUE(dialog.OKBtnClick());
    EXPECT_EQ(Preferences.TabWidth, 4800);  // 0.5 x 100 x 96
  }
  DocumentSettings.UnitSystem = 0;
  Preferences.TabWidth = 0;
  TPreferencesDlg dialog;
  dialog.show();
  EXPECT_EQ(dialog.TabWidthSpin()->Text().toStdString(), "0.50");
  // Confirming without touching it keeps the default.
  dialog.TabWidthSpin()->SetText(QStringLiteral("wide"));
  QTest::mouseClick(dialog.OKBtn(), Qt::LeftButton);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(platform_.beeps, 1);
  EXPECT_EQ(dialog.Notebook()->currentIndex(), 2);
  EXPECT_EQ(dialog.TabWidthSpin()->lineEdit()->selectedText().toStdString(), "wide");
  dialog.TabWidthSpin()->SetText(QStringLiteral("0.50"));
  EXPECT_TRUE(dialog.OKBtnClick());
  EXPECT_EQ(Preferences.TabWidth, 0);
}

TEST_F(PreferencesDlgTest, AxisFontSizeAndTheAxisSettingsGoIntoAllFourPlotTexts) {
  Preferences.PlotTextSize = {10, 12, 10, 10};
  Preferences.PlotTextFont = {0, 2, 0, 0};
  Preferences.PlotTextStyle = {0, 3, 0, 0};  // bold + italic
  TPreferencesDlg dialog;
  dialog.show();
  EXPECT_EQ(dialog.PlotFontSize()->Text().toStdString(), "12");
  EXPECT_EQ(dialog.PlotFontBox()->currentIndex(), 2);
  EXPECT_TRUE(dialog.BoldBox()->isChecked());
  EXPECT_TRUE(dialog.ItalicBox()->isChecked());
  dialog.PlotFontSize()->SetText(QStringLiteral("129"));
  QTest::mouseClick(dialog.OKBtn(), Qt::LeftButton);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(platform_.beeps, 1);
  dialog.PlotFontSize()->SetText(QStringLiteral("14"));
  dialog.ItalicBox()->setChecked(false);
  dialog.GridCheckBox()->setChecked(true);
  dialog.SpinMajor()->setValue(-12);  // held at -10
  dialog.SpinResolution()->setValue(3);
  EXPECT_EQ(dialog.SpinResolution()->text().toStdString(), "600 dpi");
  Preferences.IntegrationRichardson = 1;
  EXPECT_TRUE(dialog.OKBtnClick());
  for (size_t k = 0; k < 4; ++k) {
    EXPECT_EQ(Preferences.PlotTextSize[k], 14) << k;
    EXPECT_EQ(Preferences.PlotTextFont[k], 2) << k;
    EXPECT_EQ(Preferences.PlotTextStyle[k], 1) << k;
  }
  EXPECT_EQ(Preferences.PlotGridLines, 0);
  EXPECT_EQ(Preferences.PlotMajorTickSize, -10);
  EXPECT_EQ(Preferences.ClipboardResolution, 3);
  EXPECT_EQ(Packed()[18], 0) << "confirming clears the stored Richardson flag";
}

TEST_F(PreferencesDlgTest, ComplexAlgebraInDegreesAsksToSwitchToRadians) {
  EnsureMainProgramUnit();
  struct Case {
    int answer;
    uint8_t angleUnit;
    Extended angleFactor;
  } const cases[] = {{kResultYes, 1, 1.0L}, {kResultNo, 0, kDegreeAngleFactor}};
  for (const Case& c : cases) {
    SetAngleUnit(DocumentSettings, 0);
    Preferences.ComplexMode = 0;
    MainProgramUnit->UnitComplexMode = 0;
    platform_.alerts.clear();
    platform_.alertAnswers = {c.answer};
    TPreferencesDlg dialog;
    dialog.DoComplexBox()->setChecked(true);
    dialog.Jbutton()->setChecked(true);
    EXPECT_TRUE(dialog.OKBtnClick());
    ASSERT_EQ(platform_.alerts.size(), 1u);
    EXPECT_EQ(platform_.alerts[0].kind, kAlertWarningYesNo);
    EXPECT_EQ(platform_.alerts[0].text.rfind("The unit setting for angles in the Unit System dialog is degrees.", 0), 0u);
    EXPECT_EQ(DocumentSettings.AngleUnit, c.angleUnit);
    EXPECT_EQ(DocumentSettings.AngleFactor, c.angleFactor);
    EXPECT_EQ(Preferences.ComplexMode, 1) << "complex algebra stays on either way";
    EXPECT_EQ(MainProgramUnit->UnitComplexMode, 1);
    EXPECT_EQ(ComplexLetter, 'j');
  }
  // Already in radians: no question.
  SetAngleUnit(DocumentSettings, 1);
  platform_.alerts.clear();
  TPreferencesDlg dialog;
  dialog.Ibutton()->setChecked(true);
  EXPECT_TRUE(dialog.OKBtnClick());
  EXPECT_TRUE(platform_.alerts.empty());
  EXPECT_EQ(ComplexLetter, 'i');
  EXPECT_EQ(Packed()[147], 0);
}

TEST_F(PreferencesDlgTest, FoldersComeFromAndGoToTheDirectoryList) {
  DirectorySettings = {"/data/models"};
  TPreferencesDlg dialog;
  EXPECT_EQ(dialog.FolderBox(0)->text().toStdString(), "/data/models");
  EXPECT_TRUE(dialog.FolderBox(2)->text().isEmpty());
  std::vector<std::string> titles;
  dialog.ChooseFolder = [&titles](const std::string& title, std::string& folder) {
    titles.push_back(title);
    if (title == "Select Macro File Folder") return false;  // cancelled
    folder = "/chosen/" + std::to_string(titles.size());
    return true;
  };
  QTest::mouseClick(dialog.BrowseButton(0), Qt::LeftButton);
  QTest::mouseClick(dialog.BrowseButton(1), Qt::LeftButton);
  QTest::mouseClick(dialog.BrowseButton(2), Qt::LeftButton);
  EXPECT_EQ(titles, (std::vector<std::string>{"Select Default File Folder", "Select User Library Folder",
                                              "Select Macro File Folder"}));
  dialog.FolderBox(2)->setText(QStringLiteral("/macros"));
  EXPECT_TRUE(dialog.OKBtnClick());
  EXPECT_EQ(DirectorySettings, (std::vector<std::string>{"/chosen/1", "/chosen/2", "/macros"}));
}

// Leaving a box with a text it refuses keeps the focus there; leaving it
// for Cancel cancels.
TEST_F(PreferencesDlgTest, LeavingARefusedBoxKeepsTheFocusUnlessCancelTakesIt) {
  Preferences.PlotHeight = 200;
  TPreferencesDlg dialog;
  dialog.show();
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  dialog.TabSet()->setCurrentIndex(4);
  dialog.SpinHeight()->setFocus();
  ASSERT_TRUE(QTest::qWaitFor([&dialog] { return dialog.SpinHeight()->hasFocus(); }, 3000));
  dialog.SpinHeight()->lineEdit()->selectAll();
  QTest::keyClicks(dialog.SpinHeight()->lineEdit(), QStringLiteral("tall"));
  dialog.SpinMajor()->setFocus();
  EXPECT_EQ(platform_.beeps, 1);
  EXPECT_TRUE(QTest::qWaitFor([&dialog] { return dialog.SpinHeight()->hasFocus(); }, 3000));
  EXPECT_EQ(dialog.SpinHeight()->lineEdit()->selectedText().toStdString(), "tall");
  // A good text is taken when the box is left.
  QTest::keyClicks(dialog.SpinHeight()->lineEdit(), QStringLiteral("3"));
  dialog.SpinMajor()->setFocus();
  EXPECT_EQ(platform_.beeps, 1);
  // Refused again, then Cancel: no beep, the dialog closes, nothing stored.
  dialog.SpinHeight()->setFocus();
  dialog.SpinHeight()->lineEdit()->selectAll();
  QTest::keyClicks(dialog.SpinHeight()->lineEdit(), QStringLiteral("x"));
  QTest::mouseClick(dialog.CancelBtn(), Qt::LeftButton);
  EXPECT_EQ(platform_.beeps, 1);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(Preferences.PlotHeight, 200);
}

TEST_F(PreferencesDlgTest, CancelLeavesThePreferencesAlone) {
  Preferences.WrapLongLines = 0;
  const auto before = Packed();
  DocumentUnchanged = true;
  TPreferencesDlg dialog;
  EXPECT_TRUE(DialogOpen);
  dialog.show();
  EXPECT_FALSE(dialog.ShowLineBreakB()->isEnabled()) << "only while wrapping is ticked";
  QTest::mouseClick(dialog.WordwrapB(), Qt::LeftButton);
  EXPECT_TRUE(dialog.ShowLineBreakB()->isEnabled());
  dialog.SpinWidth()->SetText(QStringLiteral("nonsense"));
  QTest::mouseClick(dialog.CancelBtn(), Qt::LeftButton);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(Packed(), before);
  EXPECT_TRUE(DocumentUnchanged);
  EXPECT_EQ(platform_.beeps, 0);
}

// Store writes "VOQ.DFT"; the next start reads the new preferences.
TEST_F(PreferencesDlgTest, StoreRewritesTheDefaultsFileThatTheNextStartReads) {
  // The start-up reads its files from the program's folder: a copy of the
  // shipped data, so the shared one is never rewritten.
  ProgramDirectory.clear();
  const fs::path data = UnitsFileDirectory();
  for (const char* name : {"UNITS.TXT", "Constants.txt", "VOQ.DFT", "messages.txt"})
    if (fs::exists(data / name)) fs::copy_file(data / name, fs::path(dir_) / name);
  ProgramDirectory = dir_;
  ASSERT_TRUE(ReadDefaultsFile());
  DocumentSettings.UnitSystem = 1;  // English
  DefaultsWritable = 0;
  {
    TPreferencesDlg dialog;
    EXPECT_TRUE(dialog.Store()->isHidden());
  }
  DefaultsWritable = 1;
  TPreferencesDlg dialog;
  dialog.show();
  ASSERT_TRUE(dialog.Store()->isVisible());
  dialog.SpinWidth()->SetText(QStringLiteral("6"));
  dialog.SpeedbarCB()->setChecked(false);
  dialog.CommentColorBox1()->setCurrentIndex(3);
  QTest::mouseClick(dialog.Store(), Qt::LeftButton);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(StoredPreferences.PlotWidth, 504);

  // The next start: the engine reset, then the start-up readers, from the
  // program's folder (InitializeProgram's steps; its reset would put back
  // the folder this test process started with).
  ResetEngineState();
  EXPECT_EQ(Preferences.PlotWidth, TPreferencesRecord{}.PlotWidth);
  ProgramDirectory = dir_;
  ApplyStoredDefaults = true;
  ASSERT_TRUE(ReadStartupDefaults());
  EXPECT_EQ(Preferences.PlotWidth, 504);
  EXPECT_EQ(Preferences.SpeedBarHidden, 1);
  EXPECT_EQ(StoredPreferences.PlotWidth, 504);
}

int SwatchPixels(const QImage& image, const QRect& area, QRgb colour) {
  int count = 0;
  const QRect r = area.intersected(image.rect());
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) count += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF) ? 1 : 0;
  return count;
}

int PageTextPixels(const QImage& image, const QRect& area) {
  int dark = 0;
  const QRect r = area.intersected(image.rect());
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) dark += qGray(image.pixel(x, y)) < 110 ? 1 : 0;
  return dark;
}

TEST_F(PreferencesDlgTest, ScreenshotsOfTheSevenPages) {
  DefaultsWritable = 1;
  Preferences.CommentColor1 = 2;  // red
  Preferences.CommentColor2 = 12;  // navy
  DirectorySettings = {"/home/user/models", "/home/user/libraries", "/home/user/macros"};
  TPreferencesDlg dialog;
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  EXPECT_EQ(dialog.windowTitle().toStdString(), "Preferences");
  const char* const titles[] = {"Options", "General", "Equations", "Printer", "Plots", "Complex", "Directories"};
  const char* const files[] = {"preferences_options.png", "preferences_general.png",  "preferences_equations.png",
                               "preferences_printer.png", "preferences_plots.png",    "preferences_complex.png",
                               "preferences_directories.png"};
  ASSERT_EQ(dialog.TabSet()->count(), 7);
  for (int page = 0; page < 7; ++page) {
    EXPECT_EQ(dialog.TabSet()->tabText(page).toStdString(), titles[page]);
    dialog.TabSet()->setCurrentIndex(page);
    QWidget* shown = dialog.Notebook()->currentWidget();
    ASSERT_TRUE(QTest::qWaitFor([shown] { return shown->isVisible(); }, 3000));
    QApplication::processEvents();
    const QImage image = dialog.grab().toImage().convertToFormat(QImage::Format_RGB32);
    testing::SaveTestPicture(image, files[page]);
    // Text on every page.
    const QRect area(shown->mapTo(&dialog, QPoint(0, 0)), shown->size());
    EXPECT_GT(PageTextPixels(image, area), 200) << titles[page];
    // Every label and button on the page shows its whole text.
    for (QLabel* label : shown->findChildren<QLabel*>()) {
      if (!label->isVisibleTo(shown) || label->text().isEmpty()) continue;
      EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text())) << label->text().toStdString();
    }
    for (QAbstractButton* button : shown->findChildren<QAbstractButton*>()) {
      if (!button->isVisibleTo(shown) || button->text().isEmpty()) continue;
      EXPECT_GE(button->width(), button->sizeHint().width()) << button->text().toStdString();
    }
    if (page == 2) {
      // The comment colour lists show the chosen colours as swatches.
      const TRgb red = PaletteColorRGB(2);
      const TRgb navy = PaletteColorRGB(12);
      QComboBox* first = dialog.CommentColorBox1();
      QComboBox* second = dialog.CommentColorBox2();
      const QRect box1(first->mapTo(&dialog, QPoint(0, 0)), first->size());
      const QRect box2(second->mapTo(&dialog, QPoint(0, 0)), second->size());
      EXPECT_GT(SwatchPixels(image, box1, qRgb(int(RedOf(red)), int(GreenOf(red)), int(BlueOf(red)))), 300);
      EXPECT_GT(SwatchPixels(image, box2, qRgb(int(RedOf(navy)), int(GreenOf(navy)), int(BlueOf(navy)))), 300);
      EXPECT_EQ(SwatchPixels(image, box1, qRgb(int(RedOf(navy)), int(GreenOf(navy)), int(BlueOf(navy)))), 0);
    }
  }
}

}  // namespace
}  // namespace voq

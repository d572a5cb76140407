#include "shell/options_dialogs.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/program_flags.h"
#include "documents/default_var_info.h"
#include "documents/defaults_file.h"
#include "model/document_settings.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "platform/qt/qt_platform.h"
#include "platform/scripted_platform.h"
#include "session/equation_editor.h"
#include "shell/dvar_info_dlg.h"
#include "shell/main_window.h"
#include "shell/stop_crit_dlg.h"
#include "tables/tables_state.h"
#include "qt_app.h"

namespace voq {
namespace {

namespace fs = std::filesystem;

class Recorder : public MacroRecorder {
 public:
  bool Recording() const override { return true; }
  void AppendLine(const std::string& line) override { lines.push_back(line); }
  std::vector<std::string> lines;
};

class ScriptedChooser : public DviFileChooser {
 public:
  bool AskSaveName(std::string& path) override { return Answer(path); }
  bool AskOpenName(std::string& path) override { return Answer(path); }
  bool Answer(std::string& path) {
    ++asked;
    if (answer.empty()) return false;
    path = answer;
    return true;
  }
  std::string answer;
  int asked = 0;
};

// Runs action on the modal widget of type W once it is up (inside its exec).
template <typename W>
void WhenModal(std::function<void(W*)> action) {
  QTimer::singleShot(20, testing::TestScope(), [action] {
    if (auto* w = dynamic_cast<W*>(QApplication::activeModalWidget()))
      action(w);
    else
      WhenModal<W>(action);
  });
}

int DarkPixels(const QImage& image, const QRect& area) {
  int dark = 0;
  const QRect r = area.intersected(image.rect());
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) dark += qGray(image.pixel(x, y)) < 110 ? 1 : 0;
  return dark;
}

class OptionsDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureApplication();
    platform_.ticks = 100000;
    LastBeepTicks = 0;
    SetPlatform(&platform_);
    TStopCritDlg::RememberedPage = 0;
    dir_ = testing::MakeTempFolder("voq_options");
    savedDirectory_ = ProgramDirectory;
  }
  void TearDown() override {
    ProgramDirectory = savedDirectory_;
    RestoreInstalledHost();
    fs::remove_all(dir_);
  }
  // The caption of a form layout's field.
  static std::string Caption(QWidget* field) {
    auto* form = qobject_cast<QFormLayout*>(field->parentWidget()->layout());
    if (form == nullptr) return {};
    auto* label = qobject_cast<QLabel*>(form->labelForField(field));
    return label == nullptr ? std::string() : label->text().toStdString();
  }
  // Every label and button shows its whole text.
  static void ExpectNoClippedText(QWidget* root) {
    for (QLabel* label : root->findChildren<QLabel*>()) {
      if (!label->isVisibleTo(root) || label->text().isEmpty()) continue;
      EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()))
          << label->text().toStdString();
    }
    for (QAbstractButton* button : root->findChildren<QAbstractButton*>()) {
      if (!button->isVisibleTo(root) || button->text().isEmpty()) continue;
      EXPECT_GE(button->width(), button->sizeHint().width()) << button->text().toStdString();
    }
  }

  ScriptedPlatform platform_;
  std::string dir_;
  std::string savedDirectory_;
};

TEST_F(OptionsDialogsTest, TolerancesIntegrationPageFollowsTheStoredStepControl) {
  IntegrationSettings.StepFraction = -0.02L;
  IntegrationSettings.CheckInterval = 1;
  IntegrationSettings.UseRichardson = 1;
  const Extended reduce = IntegrationSettings.ReduceThreshold;
  DocumentUnchanged = true;
  EquationsCompiled = true;
  TStopCritDlg dialog;
  dialog.show();
  dialog.TabSet()->setCurrentIndex(1);
  EXPECT_EQ(dialog.Notebook()->currentIndex(), 1);
  EXPECT_TRUE(dialog.VariableRB()->isChecked());
  EXPECT_EQ(dialog.FixedEdit()->value(), 50);
  EXPECT_FALSE(dialog.FixedEdit()->isEnabled());
  EXPECT_TRUE(dialog.IntervalEdit()->isEnabled());
  EXPECT_TRUE(dialog.VariableInfoGB()->isVisible());
  EXPECT_TRUE(dialog.UseRichardsonCB()->isChecked());

  // A check interval of 5 unticks Richardson extrapolation when the edit is left.
  dialog.IntervalEdit()->setFocus();
  dialog.IntervalEdit()->selectAll();
  QTest::keyClicks(dialog.IntervalEdit(), QStringLiteral("5"));
  QTest::keyClick(dialog.IntervalEdit(), Qt::Key_Return);
  EXPECT_EQ(dialog.IntervalEdit()->value(), 5);
  EXPECT_FALSE(dialog.UseRichardsonCB()->isChecked());

  // A 0 in the halve field keeps the old threshold.
  dialog.HalveEdit()->setText(QStringLiteral("0"));
  dialog.MinEdit()->setValue(20);
  QTest::mouseClick(dialog.OKBtn(), Qt::LeftButton);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(IntegrationSettings.ReduceThreshold, reduce);
  EXPECT_EQ(IntegrationSettings.StepFraction, -0.02L);
  EXPECT_EQ(IntegrationSettings.CheckInterval, 5);
  EXPECT_EQ(IntegrationSettings.UseRichardson, 0);
  EXPECT_EQ(IntegrationSettings.MinStepsReciprocal, 0.05L);
  EXPECT_FALSE(DocumentUnchanged);
  EXPECT_FALSE(EquationsCompiled);

  // The page shown at closing opens next time; fixed steps hide the group.
  IntegrationSettings.StepFraction = 0.01L;
  TStopCritDlg again;
  again.show();
  EXPECT_EQ(again.Notebook()->currentIndex(), 1);
  EXPECT_TRUE(again.FixedRB()->isChecked());
  EXPECT_EQ(again.FixedEdit()->value(), 100);
  EXPECT_FALSE(again.VariableInfoGB()->isVisible());
  QTest::mouseClick(again.VariableRB(), Qt::LeftButton);
  EXPECT_TRUE(again.VariableInfoGB()->isVisible());
  EXPECT_FALSE(again.FixedEdit()->isEnabled());
  again.CancelBtnClick();
}

TEST_F(OptionsDialogsTest, TolerancesRefusedFieldKeepsTheDialogOpenAndCancelRestores) {
  StopCriteria.MaxIterations = 250;
  TStopCritDlg dialog;
  dialog.show();
  dialog.Iters()->setText(QStringLiteral("77"));
  dialog.RelResid()->setText(QStringLiteral("abc"));
  dialog.TabSet()->setCurrentIndex(1);
  QTest::mouseClick(dialog.OKBtn(), Qt::LeftButton);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(platform_.beeps, 1);
  // The refused field is shown, selected and focused; the limit before it is stored.
  EXPECT_EQ(dialog.Notebook()->currentIndex(), 0);
  EXPECT_EQ(dialog.focusWidget(), dialog.RelResid());
  EXPECT_EQ(dialog.RelResid()->selectedText().toStdString(), "abc");
  EXPECT_EQ(StopCriteria.MaxIterations, 77);
  QTest::mouseClick(dialog.CancelBtn(), Qt::LeftButton);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(StopCriteria.MaxIterations, 250);
}

TEST_F(OptionsDialogsTest, TolerancesCommandRecordsTheMacroLineOnOk) {
  Recorder recorder;
  WhenModal<TStopCritDlg>([](TStopCritDlg* d) {
    d->Iters()->setText(QStringLiteral("250"));
    QTest::mouseClick(d->OKBtn(), Qt::LeftButton);
  });
  EXPECT_TRUE(StopCriteria1Click(nullptr, recorder));
  ASSERT_EQ(recorder.lines.size(), 1u);
  EXPECT_EQ(recorder.lines[0].rfind("StopCrit  It=250  Time=", 0), 0u) << recorder.lines[0];
  // Cancel records nothing.
  WhenModal<TStopCritDlg>([](TStopCritDlg* d) { QTest::keyClick(d, Qt::Key_Escape); });
  EXPECT_FALSE(StopCriteria1Click(nullptr, recorder));
  EXPECT_EQ(recorder.lines.size(), 1u);
}

TEST_F(OptionsDialogsTest, TolerancesStoreWritesTheDefaultsFileAndCloses) {
  ProgramDirectory = dir_;
  DefaultsWritable = 0;
  {
    TStopCritDlg dialog;
    EXPECT_TRUE(dialog.Store()->isHidden());
  }
  DefaultsWritable = 1;
  TStopCritDlg dialog;
  dialog.show();
  ASSERT_TRUE(dialog.Store()->isVisible());
  dialog.Iters()->setText(QStringLiteral("123"));
  QTest::mouseClick(dialog.Store(), Qt::LeftButton);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(StoredStopCriteria.MaxIterations, 123);
  EXPECT_EQ(StoredPreferences.IntegrationStepFraction, IntegrationSettings.StepFraction);
  EXPECT_TRUE(fs::exists(fs::path(dir_) / kDefaultsFileName));
}

TEST_F(OptionsDialogsTest, ScreenshotsOfBothTolerancesPages) {
  DefaultsWritable = 1;
  TStopCritDlg dialog;
  dialog.show();
  const struct {
    QWidget* field;
    const char* caption;
  } captions[] = {
      {dialog.Iters(), "No. of Iterations > "},       {dialog.RelResid(), "Relative Residuals < "},
      {dialog.ChgVars(), "Change in Variables < "},   {dialog.Elapsed(), "Elapsed Time (sec) > "},
      {dialog.MinEdit(), "Minimum number of steps"},  {dialog.MaxEdit(), "Maximum number of steps"},
      {dialog.HalveEdit(), "Reduce step if rel. error >"}, {dialog.DoubleEdit(), "Increase step if rel. error <"},
  };
  for (const auto& c : captions) EXPECT_EQ(Caption(c.field), c.caption);
  EXPECT_EQ(dialog.FixedRB()->text().toStdString(), "Use fixed step size with");
  EXPECT_EQ(dialog.VariableRB()->text().toStdString(), "Vary step at intervals of ");
  EXPECT_EQ(dialog.UseRichardsonCB()->text().toStdString(), "Use Richardson Extrapolation");
  EXPECT_EQ(dialog.TabSet()->tabText(0).toStdString(), "Stop Criteria");
  EXPECT_EQ(dialog.TabSet()->tabText(1).toStdString(), "Integration");
  EXPECT_EQ(dialog.windowTitle().toStdString(), "Tolerances");
  ExpectNoClippedText(&dialog);
  for (int page : {0, 1}) {
    dialog.TabSet()->setCurrentIndex(page);
    QApplication::processEvents();
    ExpectNoClippedText(dialog.Notebook()->currentWidget());
    const QImage image = dialog.grab().toImage().convertToFormat(QImage::Format_RGB32);
    testing::SaveTestPicture(image, page == 0 ? "tolerances_stop_criteria.png" : "tolerances_integration.png");
    // Text in the page's group box.
    auto* group = dialog.Notebook()->currentWidget()->findChild<QGroupBox*>();
    ASSERT_NE(group, nullptr);
    const QRect area(group->mapTo(&dialog, QPoint(0, 0)), group->size());
    EXPECT_GT(DarkPixels(image, area), 300) << page;
  }
}

class DefaultInfoDialogTest : public OptionsDialogsTest {
 protected:
  QRect CellRect(TDVarInfoDlg& dialog, int row, int column) {
    QTableView* view = dialog.Grid();
    const QRect cell = view->visualRect(view->model()->index(row, column));
    return QRect(view->viewport()->mapTo(&dialog, cell.topLeft()), cell.size());
  }
  QLineEdit* OpenEditor(TDVarInfoDlg& dialog, int row, int column) {
    QTableView* view = dialog.Grid();
    const QModelIndex index = view->model()->index(row, column);
    view->setCurrentIndex(index);
    view->edit(index);
    return view->viewport()->findChild<QLineEdit*>();
  }
  Recorder recorder_;
  ScriptedChooser chooser_;
};

TEST_F(DefaultInfoDialogTest, ScreenshotOfTheGrid) {
  LetterDefaults[7].Style = 2;
  LetterDefaults[19].Units = "K";
  LetterDefaults[19].LowerLimit = 0;
  TDVarInfoDlg dialog(nullptr, recorder_, &chooser_);
  dialog.show();
  QApplication::processEvents();
  EXPECT_EQ(dialog.windowTitle().toStdString(), "Default Variable Information");
  ExpectNoClippedText(&dialog);
  const QImage image = dialog.grab().toImage().convertToFormat(QImage::Format_RGB32);
  testing::SaveTestPicture(image, "default_variable_information.png");
  // All 26 rows are in view; the letters and numbers of A and Z are drawn.
  for (int row : {0, 25}) {
    const QRect letter = CellRect(dialog, row, kLetterColumn);
    ASSERT_TRUE(dialog.Grid()->viewport()->rect().contains(dialog.Grid()->visualRect(
        dialog.Grid()->model()->index(row, kUnitsColumn))))
        << row;
    EXPECT_GT(DarkPixels(image, letter), 10) << row;
    EXPECT_GT(DarkPixels(image, CellRect(dialog, row, kGuessColumn)), 5) << row;
    EXPECT_GT(DarkPixels(image, CellRect(dialog, row, kUpperColumn)), 20) << row;
  }
  // No number is cut short: each fits its cell beside the margins.
  QTableView* view = dialog.Grid();
  for (int row = 0; row < kDviGridRows; ++row)
    for (int column : {kGuessColumn, kLowerColumn, kUpperColumn}) {
      const QString text = view->model()->index(row, column).data().toString();
      EXPECT_LE(view->fontMetrics().horizontalAdvance(text) + 12, view->columnWidth(column)) << text.toStdString();
    }
  // The captions over the grid.
  const QRect captions(dialog.Captions()->mapTo(&dialog, QPoint(0, 0)), dialog.Captions()->size());
  EXPECT_GT(DarkPixels(image, captions), 100);
  // The style cell of H, and grey digits of an automatic row.
  EXPECT_EQ(dialog.Grid()->model()->index(7, kStyleColumn).data().toString().toStdString(), "H");
  EXPECT_EQ(dialog.Grid()->model()->index(0, kDigitsColumn).data(Qt::ForegroundRole).value<QColor>(),
            QColor(128, 128, 128));
}

TEST_F(DefaultInfoDialogTest, MenusSetStyleAndDigitsAndOkPushesThem) {
  AddVariable("h");
  AddVariable("T_1");
  TDVarInfoDlg dialog(nullptr, recorder_, &chooser_);
  dialog.show();
  // The style menu of row H: Hidden.
  dialog.GridMouseDown(7, kStyleColumn);
  EXPECT_TRUE(dialog.StyleMenu()->isVisible());
  for (QAction* a : dialog.StyleMenu()->actions()) EXPECT_EQ(a->isChecked(), a->text() == "&Auto") << a->text().toStdString();
  for (QAction* a : dialog.StyleMenu()->actions())
    if (a->text() == "&Hidden") a->trigger();
  dialog.StyleMenu()->hide();
  EXPECT_EQ(dialog.Grid()->model()->index(7, kStyleColumn).data().toString().toStdString(), "H");
  // The digits of an automatic row have no menu; of a fixed one they do.
  dialog.GridMouseDown(19, kDigitsColumn);
  EXPECT_FALSE(dialog.DigitMenu()->isVisible());
  dialog.GridMouseDown(19, kStyleColumn);
  for (QAction* a : dialog.StyleMenu()->actions())
    if (a->text() == "&Fixed decimal") a->trigger();
  dialog.StyleMenu()->hide();
  dialog.GridMouseDown(19, kDigitsColumn);
  EXPECT_TRUE(dialog.DigitMenu()->isVisible());
  dialog.DigitMenu()->actions().at(2)->trigger();
  dialog.DigitMenu()->hide();
  // A new lower limit for T typed into its cell.
  QLineEdit* editor = OpenEditor(dialog, 19, kLowerColumn);
  ASSERT_NE(editor, nullptr);
  editor->selectAll();
  QTest::keyClicks(editor, QStringLiteral("0"));
  QTest::keyClick(editor, Qt::Key_Return);
  // The editor commits through a queued call.
  QApplication::processEvents();
  EXPECT_EQ(LetterDefaults[19].LowerLimit, 0);
  QTest::mouseClick(dialog.OKBtn(), Qt::LeftButton);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(recorder_.lines,
            (std::vector<std::string>{"DEFVARINFO H   DISPLAY=H0", "DEFVARINFO T  LOWER=0   DISPLAY=F2"}));
  EXPECT_EQ(CurrentProgramUnit->Variable(2)->LowerLimit, 0);
  EXPECT_EQ(CurrentProgramUnit->Variable(2)->Style, 1);
  EXPECT_EQ(CurrentProgramUnit->Variable(1)->DisplayCode, 0);
}

// "abc" typed into a guess cell: OK beeps and keeps the dialog open on that
// cell; Store then writes nothing and keeps it open.
TEST_F(DefaultInfoDialogTest, UnreadableGuessKeepsTheDialogOpenOnItsCell) {
  TDVarInfoDlg dialog(nullptr, recorder_, &chooser_);
  dialog.show();
  QLineEdit* editor = OpenEditor(dialog, 2, kGuessColumn);
  ASSERT_NE(editor, nullptr);
  editor->selectAll();
  QTest::keyClicks(editor, QStringLiteral("abc"));
  // OK straight from the open editor.
  QTest::mouseClick(dialog.OKBtn(), Qt::LeftButton);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(platform_.beeps, 1);
  EXPECT_EQ(dialog.Grid()->currentIndex().row(), 2);
  EXPECT_EQ(dialog.Grid()->currentIndex().column(), kGuessColumn);
  chooser_.answer = dir_ + "/x.dvi";
  LastBeepTicks = 0;
  QTest::mouseClick(dialog.Store(), Qt::LeftButton);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(chooser_.asked, 0);
  EXPECT_FALSE(fs::exists(dir_ + "/x.dvi"));
  EXPECT_EQ(platform_.beeps, 2);
  // A press on another cell beeps and goes back to it, then lets go.
  LastBeepTicks = 0;
  dialog.GridMouseDown(5, kUpperColumn);
  EXPECT_EQ(platform_.beeps, 3);
  EXPECT_EQ(dialog.Grid()->currentIndex().row(), 2);
  QTest::mouseClick(dialog.Store(), Qt::LeftButton);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(fs::file_size(dir_ + "/x.dvi"), kDviFileSize);
}

// With the real message boxes: Load of a 100-byte file shows the I/O
// error, answered with Enter; no row changes and the dialog stays open.
TEST_F(DefaultInfoDialogTest, LoadOfAShortFileIsReportedInARealMessageBox) {
  QtPlatform qtPlatform;
  SetPlatform(&qtPlatform);
  std::vector<uint8_t> bytes = PackDviFile(LetterDefaults);
  bytes.resize(100);
  bytes[11 + 30] = 1;
  const std::string file = dir_ + "/short.dvi";
  std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), 100);
  const auto opening = LetterDefaults;
  TDVarInfoDlg dialog(nullptr, recorder_, &chooser_);
  dialog.show();
  chooser_.answer = file;
  std::string shown;
  WhenModal<QMessageBox>([&shown](QMessageBox* box) {
    shown = box->text().toStdString();
    QTest::keyClick(box, Qt::Key_Return);
  });
  QTest::mouseClick(dialog.LoadBTN(), Qt::LeftButton);
  EXPECT_EQ(qtPlatform.AlertCount(), 1);
  EXPECT_FALSE(shown.empty());
  EXPECT_EQ(shown, qtPlatform.LastAlertText());
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(DviFileName, file);
  for (size_t r = 0; r < 26; ++r) EXPECT_EQ(LetterDefaults[r].Style, opening[r].Style) << r;
  EXPECT_EQ(dialog.Grid()->model()->index(0, kStyleColumn).data().toString().toStdString(), "A");
  dialog.CancelBtnClick();
}

TEST_F(DefaultInfoDialogTest, CommandOpensTheGridAndCancelKeepsTheDefaults) {
  const auto opening = LetterDefaults;
  WhenModal<TDVarInfoDlg>([](TDVarInfoDlg* d) {
    d->Model().SetEditText(0, kGuessColumn, "5");
    QTest::mouseClick(d->CancelBtn(), Qt::LeftButton);
  });
  EXPECT_FALSE(DefaultInfo1Click(nullptr, recorder_, &chooser_));
  EXPECT_EQ(LetterDefaults[0].Guess, opening[0].Guess);
}

// The Options menu's items open the dialogs, and the main window's item
// reads "Tolerances"; the StopCrit line goes to the Macro window's text.
TEST_F(OptionsDialogsTest, OptionsMenuItemsOpenTheDialogs) {
  QtPlatform qtPlatform;
  qtPlatform.SetScriptedAnswer(kResultOk);
  TVOQ_D window;
  window.InstallHostServices(qtPlatform);
  window.FormCreate(dir_);
  QAction* tolerances = window.Action("StopCriteria1");
  ASSERT_NE(tolerances, nullptr);
  EXPECT_EQ(tolerances->text().toStdString(), "&Tolerances...");
  MacroRecording = true;
  MacroText.clear();
  bool opened = false;
  WhenModal<TStopCritDlg>([&opened](TStopCritDlg* d) {
    opened = true;
    QTest::mouseClick(d->OKBtn(), Qt::LeftButton);
  });
  tolerances->trigger();
  EXPECT_TRUE(opened);
  EXPECT_EQ(MacroText.rfind("StopCrit  It=", 0), 0u) << MacroText;
  opened = false;
  WhenModal<TDVarInfoDlg>([&opened](TDVarInfoDlg* d) {
    opened = true;
    QTest::mouseClick(d->CancelBtn(), Qt::LeftButton);
  });
  window.Action("DefaultInfo1")->trigger();
  EXPECT_TRUE(opened);
  EXPECT_EQ(qtPlatform.AlertCount(), 0) << qtPlatform.LastAlertText();
  MacroRecording = false;
}

}  // namespace
}  // namespace voq

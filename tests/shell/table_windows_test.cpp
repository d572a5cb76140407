// The table windows in the program: the Windows menu item makes and shows
// the Parametric table's window in its slot, Solve Table finds it, a
// refused cell edit stops the Solve, $SUMROW adds and removes the sum row
// of the open window, and a document reset closes the windows.
#include "shell/table_windows.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/program_flags.h"
#include "documents/document_files.h"
#include "language/export_after_run.h"
#include "model/document_settings.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "platform/platform.h"
#include "platform/qt/qt_platform.h"
#include "qt_app.h"
#include "session/compile_driver.h"
#include "shell/calculate_menu.h"
#include "shell/main_window.h"
#include "shell/shell_state.h"
#include "tables/qt/linear_regression_dlg.h"
#include "tables/qt/solve_table_dlg.h"
#include "tables/qt/table_edit_dlgs.h"
#include "tables/qt/table_window.h"
#include "tables/table_model.h"
#include "tables/tables_state.h"

namespace voq {
namespace {

class TableWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureApplication();
    dir_ = testing::MakeTempFolder("voq_tables");
    window_ = std::make_unique<TVOQ_D>();
    window_->InstallHostServices(platform_);
    platform_.SetScriptedAnswer(kResultOk);
    window_->FormCreate(dir_);
    window_->resize(900, 600);
    window_->show();
    tables_ = std::make_unique<TTableWindows>(*window_);
    SetDocumentWindows(tables_.get());
    SetDirectiveWindows(tables_.get());
  }
  void TearDown() override {
    tables_->CloseTableWindows();
    SetDocumentWindows(nullptr);
    SetDirectiveWindows(nullptr);
    tables_.reset();
    window_.reset();
    RestoreInstalledHost();
    std::filesystem::remove_all(dir_);
  }
  // "y = 2*T" checked and a Parametric table of rows runs over T and y,
  // T entered as 1..rows.
  TTableForm* Parametric(int32_t rows) {
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
  Extended Y(int32_t row) { return FindColumn(TableForms[1]->Columns, 2)->Cell(row); }

  std::string dir_;
  QtPlatform platform_;
  std::unique_ptr<TVOQ_D> window_;
  std::unique_ptr<TTableWindows> tables_;
};

TEST_F(TableWindowsTest, MenuItemShowsTheWindowAndSolveTableFindsIt) {
  Parametric(3);
  ASSERT_EQ(WindowList[kParametricTableWindow], nullptr);
  window_->Action("ParametricTable1")->trigger();
  ASSERT_NE(WindowList[kParametricTableWindow], nullptr);
  EXPECT_TRUE(WindowList[kParametricTableWindow]->isVisible());
  EXPECT_EQ(ActiveChildWindow, kParametricTableWindow);
  testing::AnswerNextDialog("SolveTableDlg", true);
  window_->CalculateMenu()->Commands().SolveTable1Click();
  EXPECT_EQ(platform_.AlertCount(), 0) << "no 304: the window exists";
  for (int32_t r = 1; r <= 3; ++r) EXPECT_EQ(Y(r), 2.0L * r) << r;
}

TEST_F(TableWindowsTest, SolveTableAsksItsDialogAndRunsTheChosenRange) {
  TTableForm* f = Parametric(5);
  f->TableName = "Table 1";
  f->MultipleTableRefresh();
  window_->Action("ParametricTable1")->trigger();
  // Cancel solves nothing.
  testing::AnswerNextDialog("SolveTableDlg", false);
  window_->Action("SolveTable1")->trigger();
  EXPECT_TRUE(IsBlank(Y(1)));
  EXPECT_FALSE(DialogOpen);
  // A Last Run below the First Run solves the single first run.
  bool shown = false;
  std::string picture;
  testing::ActOnNextDialog("SolveTableDlg", [&](QDialog* d) {
    auto* dialog = static_cast<TSolveTableDlg*>(d);
    shown = DialogOpen && dialog->windowTitle() == "Solve Table" && dialog->FirstRunSpin()->value() == 1 &&
            dialog->LastRunSpin()->value() == 5 && dialog->TableBox()->currentText() == "Table 1" &&
            dialog->TableBox()->itemText(1) == "All Parametric Tables";
    const QImage image = dialog->grab().toImage();
    picture = testing::SaveTestPicture(image, "solve_table_dlg.png");
    // The "First Run" label is drawn in dark text at the top left.
    int dark = 0;
    for (int y = 0; y < std::min(image.height(), 30); ++y)
      for (int x = 0; x < std::min(image.width(), 60); ++x)
        if (qGray(image.pixel(x, y)) < 100) ++dark;
    shown = shown && dark > 20;
    dialog->FirstRunSpin()->setValue(3);
    dialog->LastRunSpin()->setValue(2);
    dialog->OKBtn()->click();
  });
  MacroRecording = true;
  window_->Action("SolveTable1")->trigger();
  MacroRecording = false;
  EXPECT_TRUE(shown);
  EXPECT_FALSE(picture.empty());
  EXPECT_EQ(Y(3), 6.0L);
  EXPECT_TRUE(IsBlank(Y(2)));
  EXPECT_TRUE(IsBlank(Y(4)));
  EXPECT_NE(MacroText.find("SolveTable 'Table 1' Rows=3..2"), std::string::npos) << MacroText;
  MacroText.clear();
  // OK over runs 1-5 fills the column.
  testing::ActOnNextDialog("SolveTableDlg", [](QDialog* d) {
    auto* dialog = static_cast<TSolveTableDlg*>(d);
    dialog->FirstRunSpin()->setValue(1);
    dialog->LastRunSpin()->setValue(5);
    dialog->OKBtn()->click();
  });
  window_->Action("SolveTable1")->trigger();
  for (int32_t r = 1; r <= 5; ++r) EXPECT_EQ(Y(r), 2.0L * r) << r;
}

TEST_F(TableWindowsTest, TablesMenuDialogsInsertRunsAndDeleteEveryTable) {
  Parametric(3);
  window_->Action("ParametricTable1")->trigger();
  ASSERT_NE(WindowList[kParametricTableWindow], nullptr);
  // The dialogs are modal: a poll of the test's scope drives each once up.
  auto drive = [](std::function<void(QDialog*)> act) {
    auto* poll = new QTimer(testing::TestScope());
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act, tries = 0]() mutable {
      if (auto* dialog = dynamic_cast<QDialog*>(QApplication::activeModalWidget())) {
        poll->stop();
        act(dialog);
        poll->deleteLater();
      } else if (++tries >= 500) {
        poll->stop();
        poll->deleteLater();
      }
    });
    poll->start(10);
  };
  std::string caption;
  drive([&caption](QDialog* d) {
    caption = d->windowTitle().toStdString();
    auto* runs = dynamic_cast<TInsertRunsDlg*>(d);
    ASSERT_NE(runs, nullptr);
    QTest::mouseClick(runs->EndButton(), Qt::LeftButton);
    runs->RowsEdit()->setValue(2);
    QTest::mouseClick(d->findChild<QPushButton*>("OKBtn"), Qt::LeftButton);
  });
  window_->Action("InsertDeleteRuns1")->trigger();
  EXPECT_EQ(caption, "Insert or Delete Parametric Table Runs");
  EXPECT_EQ(TableRowCounts[1], 5);
  EXPECT_EQ(LastRun, 5);

  drive([&caption](QDialog* d) {
    caption = d->windowTitle().toStdString();
    auto* del = dynamic_cast<TDeleteTableDlg*>(d);
    ASSERT_NE(del, nullptr);
    QTest::mouseClick(del->DeleteBtn(), Qt::LeftButton);
  });
  window_->Action("DeleteParametricTable1")->trigger();
  EXPECT_EQ(caption, "Delete 1 Parametric  table");
  EXPECT_EQ(TableForms[1], nullptr);
  EXPECT_EQ(WindowList[kParametricTableWindow], nullptr) << "the window went with its last table";
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(TableWindowsTest, EditMenuDeletesAColumnOfTheActiveTableAndUndoSwaps) {
  TTableForm* f = Parametric(3);
  window_->Action("ParametricTable1")->trigger();
  ASSERT_EQ(ActiveChildWindow, kParametricTableWindow);
  f->Selection = TGridRect{2, 1, 2, f->GridRowCount - 1};  // column y over every row
  window_->Action("Clear1")->trigger();
  EXPECT_EQ(TableColumnCounts[1], 1);
  EXPECT_EQ(TableForms[1]->Columns->Next, nullptr);
  window_->Action("Undo1")->trigger();
  EXPECT_EQ(TableColumnCounts[1], 2);
  EXPECT_NE(FindColumn(TableForms[1]->Columns, 2), nullptr);
  window_->Action("Undo1")->trigger();
  EXPECT_EQ(TableColumnCounts[1], 1) << "a second Undo deletes it again";
}

TEST_F(TableWindowsTest, LinearRegressionOpensOverTheShownTable) {
  // Without a table window the command is disabled.
  emit window_->Menu("Tables1")->aboutToShow();
  EXPECT_FALSE(window_->Action("LinearRegression1")->isEnabled());
  Parametric(5);
  window_->Action("ParametricTable1")->trigger();
  testing::AnswerNextDialog("SolveTableDlg", true);
  window_->CalculateMenu()->Commands().SolveTable1Click();
  emit window_->Menu("Tables1")->aboutToShow();
  ASSERT_TRUE(window_->Action("LinearRegression1")->isEnabled());
  // The dialog is modal: a timer drives it once it is up.
  std::vector<std::string> names;
  std::string equation;
  Extended slope = 0;
  auto* timer = new QTimer(window_.get());
  auto tries = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [&, timer, tries] {
    auto* dialog = dynamic_cast<TLinearRegressionDlg*>(QApplication::activeModalWidget());
    if (dialog == nullptr) {
      if (++*tries > 250) timer->stop();
      return;
    }
    timer->stop();
    TLinearRegressionModel& model = dialog->Model();
    names = model.VariableNames;
    model.ClickDependent(1);
    model.ClickIndependents({true, false});
    model.SetOrder(1);
    dialog->Refresh();
    QTest::mouseClick(dialog->OKBtn(), Qt::LeftButton);
    equation = model.EquationText;
    slope = model.Coefficients[1];
    QTest::mouseClick(dialog->CancelBtn(), Qt::LeftButton);
  });
  timer->start(20);
  window_->Action("LinearRegression1")->trigger();
  EXPECT_EQ(names, (std::vector<std::string>{"T", "y"}));
  EXPECT_NEAR(double(slope), 2.0, 1e-15);
  // a0 is zero up to rounding; the fitted equation ends in the slope term.
  EXPECT_EQ(equation.substr(0, 2), "y=");
  EXPECT_EQ(equation.substr(equation.size() - 4), "+2*T") << equation;
}

TEST_F(TableWindowsTest, RefusedCellEditStopsTheSolve) {
  Parametric(3);
  TTableWindow* table = tables_->Window(kParametricTableKind);
  ASSERT_NE(table, nullptr);
  table->Grid().SelectCell(1, 2, false);
  table->Grid().GridSetEditText(1, 2, "2x");
  testing::AnswerNextDialog("SolveTableDlg", true);
  window_->CalculateMenu()->Commands().SolveTable1Click();
  for (int32_t r = 1; r <= 3; ++r) EXPECT_TRUE(IsBlank(Y(r))) << r;
  table->Grid().GridSetEditText(1, 2, "5");
  testing::AnswerNextDialog("SolveTableDlg", true);
  window_->CalculateMenu()->Commands().SolveTable1Click();
  EXPECT_EQ(Y(2), 10.0L);
}

TEST_F(TableWindowsTest, SumRowDirectiveAndDocumentReset) {
  Parametric(3);
  TTableWindow* table = tables_->Window(kParametricTableKind);
  ASSERT_NE(table, nullptr);
  Preferences.TableSumRow = 1;
  DirectiveWindowServices().ApplyTableSumRow(true);
  EXPECT_EQ(TableForms[1]->GridRowCount, 5);
  EXPECT_EQ(FindColumn(TableForms[1]->Columns, 1)->Cell(4), 6.0L);
  Preferences.TableSumRow = 0;
  DirectiveWindowServices().ApplyTableSumRow(false);
  EXPECT_EQ(TableForms[1]->GridRowCount, 4);
  DocumentResetWindows().CloseTableWindows();
  EXPECT_EQ(WindowList[kParametricTableWindow], nullptr);
  EXPECT_EQ(TableForms[1], nullptr);
}

// The reader's window services as the File menu would get them.
class RecordingFileWindows : public DocumentFileWindows {
 public:
  void ArrangeWindows(const TWindowArrangement&) override {
    arranged++;
    parametricWindowThen = WindowList[kParametricTableWindow] != nullptr;
  }
  int arranged = 0;
  bool parametricWindowThen = false;
};

TEST_F(TableWindowsTest, ReadDocumentOpensItsTableWindowsBeforeTheyAreArranged) {
  Parametric(4);
  ASSERT_NE(tables_->Window(kParametricTableKind), nullptr);
  testing::AnswerNextDialog("SolveTableDlg", true);
  window_->CalculateMenu()->Commands().SolveTable1Click();
  const std::string path = dir_ + "/tables.VOQ";
  ASSERT_TRUE(SaveDocumentFile(path, false, false, false));
  DocumentResetWindows().CloseTableWindows();
  ASSERT_EQ(WindowList[kParametricTableWindow], nullptr);

  RecordingFileWindows files;
  tables_->FollowDocumentFiles(files);
  ASSERT_EQ(&DocumentFiles(), tables_.get());
  ASSERT_TRUE(ReadDocumentFile(path, false));
  EXPECT_EQ(files.arranged, 1);
  EXPECT_TRUE(files.parametricWindowThen) << "the window exists when the windows are arranged";
  auto* table = dynamic_cast<TTableWindow*>(WindowList[kParametricTableWindow]);
  ASSERT_NE(table, nullptr);
  ASSERT_NE(table->Grid().Form(), nullptr);
  EXPECT_EQ(TableRowCounts[1], 4);
  EXPECT_EQ(Y(3), 6.0L);
  // Every column has its width in the window.
  EXPECT_GT(table->Grid().ColWidth(1), 0);
  SetDocumentFileWindows(nullptr);
}

// Tables > Store Parametric Table proposes the tab's caption with ".par";
// Retrieve reads the file back into a fresh document's window.
TEST_F(TableWindowsTest, StoreAndRetrieveParametricTableFromTheTablesMenu) {
  TTableForm* form = Parametric(3);
  form->TableName = "Table 1";
  form->MultipleTableRefresh();
  QMenu* menu = window_->Menu("Tables1");
  ASSERT_NE(menu, nullptr);
  emit menu->aboutToShow();
  EXPECT_FALSE(window_->Action("StoreParametricTable1")->isEnabled()) << "no window yet";
  EXPECT_TRUE(window_->Action("RetrieveParametricTable1")->isEnabled());
  window_->Action("ParametricTable1")->trigger();
  emit menu->aboutToShow();
  ASSERT_TRUE(window_->Action("StoreParametricTable1")->isEnabled());
  EXPECT_EQ(window_->Action("RetrieveParametricTable1")->text(), "Retrieve Parametic Table");

  const std::string file = dir_ + "/Table 1.par";
  std::string proposed;
  std::vector<std::string> titles;
  tables_->AskParametricTableFile = [&](const std::string& title, std::string& path, bool save) {
    titles.push_back(title);
    if (save) proposed = path;
    path = file;
    return true;
  };
  window_->Action("StoreParametricTable1")->trigger();
  EXPECT_EQ(proposed, "Table 1.par");
  ASSERT_TRUE(std::filesystem::exists(file));

  tables_->CloseTableWindows();
  ASSERT_EQ(WindowList[kParametricTableWindow], nullptr);
  window_->Action("RetrieveParametricTable1")->trigger();
  EXPECT_EQ(titles, (std::vector<std::string>{"Store Parametric Table in File", "Retrieve Parametric Table from File"}));
  EXPECT_EQ(platform_.AlertCount(), 0);
  ASSERT_NE(WindowList[kParametricTableWindow], nullptr);
  QWidget* table = WindowList[kParametricTableWindow];
  for (int i = 0; i < 300 && !table->isVisible(); ++i) QTest::qWait(10);
  EXPECT_TRUE(table->isVisible());
  ASSERT_TRUE(TableForms[1]);
  EXPECT_EQ(TableForms[1]->TableName, "Table 1");
  EXPECT_EQ(FindColumn(TableForms[1]->Columns, 1)->Cell(2), 2.0L);
  EXPECT_FALSE(DocumentUnchanged);

  // The picture of the retrieved table: the grid is drawn, not blank.
  const QImage image = table->grab().toImage();
  testing::SaveTestPicture(image, "retrieved_parametric_table.png");
  ASSERT_FALSE(image.isNull());
  std::set<QRgb> colours;
  for (int y = 0; y < image.height(); y += 3)
    for (int x = 0; x < image.width(); x += 3) colours.insert(image.pixel(x, y));
  EXPECT_GT(colours.size(), 3u);

  // Stored from an untitled document, retrieved into a named one: asked
  // first; No leaves the table as it is.
  window_->FileName = dir_ + "/Other.voq";
  FindColumn(TableForms[1]->Columns, 1)->SetCell(2, 7);
  platform_.SetScriptedAnswer(kResultNo);
  window_->Action("RetrieveParametricTable1")->trigger();
  EXPECT_EQ(platform_.AlertCount(), 1);
  EXPECT_EQ(platform_.LastAlertKind(), kAlertWarningYesNo);
  EXPECT_EQ(FindColumn(TableForms[1]->Columns, 1)->Cell(2), 7.0L);
}

}  // namespace
}  // namespace voq

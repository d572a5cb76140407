// The table window on the offscreen platform: its picture with entered and
// computed cells in their colours, typing into cells with QTest keys, the
// refused edit that holds the cell and the tab, and the real message box a
// failed Solve Table from the triangle shows.
#include "tables/qt/table_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QTabBar>
#include <QTest>
#include <QTimer>

#include "../../shell/qt_app.h"
#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "language/export_after_run.h"
#include "model/document_settings.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "platform/qt/qt_platform.h"
#include "results/qt_canvas.h"
#include "session/compile_driver.h"
#include "tables/table_model.h"
#include "tables/table_runs.h"
#include "tables/tables_state.h"

namespace voq {
namespace {

class TableWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureApplication();
    InstallFontSubstitutions();
    SetEquationsEditor(&editor_);
  }
  void TearDown() override {
    window_.reset();
    SetDecimalSeparator('.');
    SetEquationsEditor(nullptr);
  }
  void Compile(const std::string& text) {
    editor_.SetText(text);
    EquationsCompiled = false;
    CheckOnlyMode = true;
    CompileEquations(false, false);
    CheckOnlyMode = false;
    ASSERT_EQ(CalcErrorCode, 0);
  }
  int32_t Var(const std::string& name) {
    TProgramUnitRecord* saved = CurrentProgramUnit;
    CurrentProgramUnit = MainProgramUnit;
    const int32_t i = FindVariable(name);
    CurrentProgramUnit = saved;
    return i;
  }
  // A Parametric table over T and y of rows runs, T entered as 1..rows
  // unless blank, in a shown window.
  void OpenParametric(int32_t rows, bool enterT = true) {
    Compile("y = 2*T");
    ParametricColumnOrder = {0, Var("T"), Var("y")};
    TableRowCounts[1] = rows;
    TableColumnCounts[1] = 2;
    TTableForm* f = CreateTableForm(kParametricTableKind);
    ASSERT_NE(f, nullptr);
    f->TableName = "Table 1";
    f->TabCaptions = {"Table 1"};
    f->TabIndex = 0;
    f->MultipleTableRefresh();
    FirstRun = 1;
    LastRun = rows;
    if (enterT)
      for (int32_t r = 1; r <= rows; ++r) f->SetmyCell(0, 1, r, r, 1, 1);
    Show(kParametricTableKind);
  }
  void Show(int32_t kind) {
    window_ = std::make_unique<TTableWindow>(kind, nullptr);
    window_->resize(420, 300);
    window_->Show();
    window_->activateWindow();
    // Presses within 100 ms of the activation are ignored by design.
    QTest::qWait(150);
  }
  Extended Cell(int32_t kind, int32_t col, int32_t row) {
    return FindColumn(TableForms[size_t(kind)]->Columns, col)->Cell(row);
  }
  QPoint CellCentre(int32_t col, int32_t row) {
    const TRect r = window_->Grid().CellRect(col, row);
    return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
  }
  void Type(int32_t col, int32_t row, const QString& text) {
    QWidget* viewport = window_->View()->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, CellCentre(col, row));
    // The first key opens the cell editor, which takes the rest.
    QTest::keyClicks(window_->View(), text.left(1));
    QTest::keyClicks(window_->View()->Editor(), text.mid(1));
    QTest::keyClick(window_->View()->Editor(), Qt::Key_Return);
  }
  // Pixels of the cell (col, row) in the picture for which test holds.
  template <typename Test>
  int CountPixels(const QImage& image, int32_t col, int32_t row, Test test) {
    const TRect r = window_->Grid().CellRect(col, row);
    const QPoint origin = window_->View()->viewport()->mapTo(window_->widget(), QPoint(0, 0));
    int n = 0;
    for (int y = r.Top + 1; y < r.Bottom; ++y)
      for (int x = r.Left + 1; x < r.Right; ++x)
        if (test(image.pixelColor(x + origin.x(), y + origin.y()))) ++n;
    return n;
  }

  QtPlatform platform_;
  ScopedPlatform scoped_{platform_};
  InMemoryEquationsEditor editor_;
  std::unique_ptr<TTableWindow> window_;
};

TEST_F(TableWindowTest, PictureShowsEnteredAndComputedCellsInTheirColours) {
  Preferences.TableSumRow = 1;
  Preferences.EnteredTableColor = 1;    // blue
  Preferences.CalculatedTableColor = 0; // black
  OpenParametric(5);
  RunSolveTable();
  ASSERT_EQ(CalcErrorCode, 0);
  TableForms[1]->FillSumAvg(1);
  TableForms[1]->FillSumAvg(2);
  window_->Refresh();
  const QImage image = window_->Picture();
  const std::string path = testing::SaveTestPicture(image, "parametric_table_window.png");
  ASSERT_FALSE(image.isNull()) << path;
  auto blue = [](const QColor& c) { return c.blue() > 150 && c.red() < 110 && c.green() < 110; };
  auto dark = [](const QColor& c) { return c.red() < 90 && c.green() < 90 && c.blue() < 90; };
  for (int32_t r = 1; r <= 5; ++r) {
    EXPECT_GT(CountPixels(image, 1, r, blue), 3) << "entered T of run " << r;
    EXPECT_EQ(CountPixels(image, 1, r, dark), 0) << "entered T of run " << r;
    EXPECT_GT(CountPixels(image, 2, r, dark), 3) << "computed y of run " << r;
    EXPECT_EQ(CountPixels(image, 2, r, blue), 0) << "computed y of run " << r;
  }
  EXPECT_GT(CountPixels(image, 1, 6, dark), 3) << "the sum row is black";
  EXPECT_EQ(CountPixels(image, 1, 6, blue), 0) << "the sum row is black";
}

TEST_F(TableWindowTest, TypedValuesUnderADecimalCommaAndTheRefusedEdit) {
  SetDecimalSeparator(',');
  OpenParametric(4);
  Type(1, 2, "1,5");
  EXPECT_EQ(Cell(1, 1, 2), 1.5L);
  Type(1, 3, "1 000");
  EXPECT_EQ(Cell(1, 1, 3), 1000.0L);
  Type(1, 4, "1x");
  EXPECT_EQ(Cell(1, 1, 4), 4.0L) << "the refused edit keeps the cell";
  QLineEdit* editor = window_->View()->Editor();
  EXPECT_TRUE(editor->isVisible());
  EXPECT_EQ(editor->text(), "1x");
  EXPECT_EQ(TableForms[1]->EditRejected, 1);
  // Clicking another cell does not leave the refused one.
  QTest::mouseClick(window_->View()->viewport(), Qt::LeftButton, Qt::NoModifier, CellCentre(2, 1));
  EXPECT_EQ(TableForms[1]->Selection, (TGridRect{1, 4, 1, 4}));
  editor->setText("");
  QTest::keyClicks(editor, "7");
  QTest::keyClick(editor, Qt::Key_Return);
  EXPECT_EQ(Cell(1, 1, 4), 7.0L);
  EXPECT_FALSE(editor->isVisible());
}

TEST_F(TableWindowTest, RefusedEditKeepsTheOldTab) {
  TableRowCounts[2] = 3;
  TableColumnCounts[2] = 2;
  TTableForm* f = CreateTableForm(kLookupTableKind);
  ASSERT_NE(f, nullptr);
  f->TableName = "First";
  f->MultipleTableRefresh();
  f->MultipleTableSetup();
  f->TableName = "Second";
  f->MultipleTableRefresh();
  f->SwitchToTab(0);
  Show(kLookupTableKind);
  QTabBar* tabs = window_->TabControl();
  ASSERT_EQ(tabs->count(), 2);
  Type(1, 1, "2..5");
  ASSERT_EQ(f->EditRejected, 1);
  tabs->setCurrentIndex(1);
  EXPECT_EQ(tabs->currentIndex(), 0);
  EXPECT_EQ(f->TabIndex, 0);
  window_->View()->Editor()->setText("25");
  window_->Grid().GridSetEditText(1, 1, "25");
  tabs->setCurrentIndex(1);
  EXPECT_EQ(f->TabIndex, 1);
  EXPECT_EQ(TableHeader(kLookupTableKind, 1)->Columns->Cell(1), 25.0L);
}

TEST_F(TableWindowTest, TriangleRunThatFailsShowsARealMessageBox) {
  OpenParametric(3, false);  // no inputs: the runs cannot be solved
  bool answered = false;
  QString text;
  QTimer::singleShot(200, testing::TestScope(), [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      text = box->text();
      answered = true;
      QTest::keyClick(box, Qt::Key_Return);
    }
  });
  const TRect corner = window_->Grid().CellRect(0, 0);
  window_->View()->viewport()->update();
  QApplication::processEvents();
  const TRect marker = window_->Grid().RunRangeMarker;
  ASSERT_LT(marker.Left, marker.Right) << corner.Right;
  QTest::mouseClick(window_->View()->viewport(), Qt::LeftButton, Qt::NoModifier,
                    QPoint(marker.Left + 2, marker.Top + 6));
  EXPECT_TRUE(answered) << CalcErrorCode << " " << window_->Grid().ShownFirstRun << ".." << window_->Grid().ShownLastRun;
  EXPECT_FALSE(text.isEmpty());
  EXPECT_GE(platform_.AlertCount(), 1);
  EXPECT_EQ(FirstRun, 1);
  EXPECT_EQ(LastRun, 3);
}

}  // namespace
}  // namespace voq

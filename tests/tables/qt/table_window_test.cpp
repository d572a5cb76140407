// The table window on the offscreen platform: its picture with entered and
// computed cells in their colours, typing into cells with QTest keys, the
// refused edit that holds the cell and the tab, and the real message box a
// failed Solve Table from the triangle shows.
#include "tables/qt/table_window.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
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
#include "tables/lookup_table_files.h"
#include "tables/qt/tab_info_dlg.h"
#include "tables/qt/table_edit_dlgs.h"
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

  // Waits (at most about 5 s) for cond.
  template <typename Cond>
  bool WaitFor(Cond cond) {
    for (int i = 0; i < 500 && !cond(); ++i) QTest::qWait(10);
    return cond();
  }
  // Right press on grid cell (col, row); the menu it opened, or nullptr.
  QMenu* RightPress(int32_t col, int32_t row) {
    QTest::mouseClick(window_->View()->viewport(), Qt::RightButton, Qt::NoModifier, CellCentre(col, row));
    WaitFor([&] { return window_->ActiveMenu() != nullptr && window_->ActiveMenu()->isVisible(); });
    return window_->ActiveMenu();
  }
  QAction* MenuAction(QMenu* menu, const char* name) {
    for (QAction* a : menu->findChildren<QAction*>())
      if (a->objectName() == name) return a;
    return nullptr;
  }
  // The window's client area with the open menu painted where it is on
  // the screen.
  QImage PictureWithMenu(QMenu* menu) {
    QImage image = window_->Picture();
    const QPoint at = menu->mapToGlobal(QPoint(0, 0)) - window_->widget()->mapToGlobal(QPoint(0, 0));
    QImage canvas(std::max(image.width(), at.x() + menu->width()), std::max(image.height(), at.y() + menu->height()),
                  QImage::Format_RGB32);
    canvas.fill(Qt::darkGray);
    QPainter painter(&canvas);
    painter.drawImage(0, 0, image);
    painter.drawImage(at, menu->grab().toImage());
    painter.end();
    return canvas;
  }
  // Answers every message box that comes up within about 5 s with
  // Return, keeping the texts; stops at the first box.
  void AnswerNextBox(QStringList& texts) {
    auto* timer = new QTimer(window_.get());
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, &texts] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        texts << box->text();
        QTest::keyClick(box, Qt::Key_Return);
        timer->stop();
      } else if (++*tries > 250) {
        timer->stop();
      }
    });
    timer->start(20);
  }

  QtPlatform platform_;
  ScopedPlatform scoped_{platform_};
  InMemoryEquationsEditor editor_;
  std::unique_ptr<TTableWindow> window_;
};

TEST_F(TableWindowTest, LookupWindowAfterOpeningATextLookupFile) {
  const std::string file = (std::filesystem::temp_directory_path() / "voq_window_Steam.txt").string();
  std::ofstream(file, std::ios::binary) << "-1 -2\r\nF1 T [C]\r\nE3 h [kJ/kg]\r\n"
                                           "10\t42.0\t\r\n20\t83.9\t\r\n30\t125.7\t\r\n40\t167.5\t\r\n50\t209.3\t\r\n";
  ASSERT_EQ(ReadLookupFile(file), 0);
  std::filesystem::remove(file);
  ASSERT_NE(TableForms[2], nullptr);
  EXPECT_EQ(TableForms[2]->TableName, "voq_window_Steam");
  EXPECT_EQ(TableRowCounts[2], 5);
  const TTableColumnRecord* c = TableForms[2]->Columns;
  EXPECT_EQ(c->Name, "T\r[C]");
  EXPECT_EQ(c->Next->Name, "h\r[kJ/kg]");
  EXPECT_EQ(c->Next->Format.Style, 0);
  Show(kLookupTableKind);
  window_->Refresh();
  const QImage image = window_->Picture();
  const std::string path = testing::SaveTestPicture(image, "lookup_window_text_file.png");
  ASSERT_FALSE(image.isNull()) << path;
  auto dark = [](const QColor& col) { return col.red() < 90 && col.green() < 90 && col.blue() < 90; };
  // The header strip holds the titles and units of both columns.
  EXPECT_GT(CountPixels(image, 1, 0, dark), 10) << path;
  EXPECT_GT(CountPixels(image, 2, 0, dark), 10) << path;
  EXPECT_GT(CountPixels(image, 2, 5, dark), 3) << "the last row's value is drawn";
}

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

TEST_F(TableWindowTest, RowLabelMenuAddsABorderAndItsPicture) {
  OpenParametric(5);
  RunSolveTable();
  ASSERT_EQ(CalcErrorCode, 0);
  window_->Refresh();
  QMenu* menu = RightPress(0, 3);
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(TableForms[1]->Selection, (TGridRect{1, 3, 2, 3}));
  QAction* border = MenuAction(menu, "SetBorder1");
  ASSERT_NE(border, nullptr);
  EXPECT_EQ(border->text(), "Add Border");
  QAction* colours = MenuAction(menu, "BackgroundColor1");
  ASSERT_NE(colours, nullptr);
  ASSERT_NE(colours->menu(), nullptr);
  EXPECT_EQ(colours->menu()->actions().size(), 9);
  EXPECT_FALSE(colours->menu()->actions().at(8)->icon().isNull()) << "Lime shows its colour";
  EXPECT_TRUE(MenuAction(menu, "DeleteRows1")->isEnabled());

  const QImage picture = PictureWithMenu(menu);
  const std::string path = testing::SaveTestPicture(picture, "parametric_table_row_menu.png");
  // The menu lies over the grid, right of the label it was opened on,
  // and is not blank: its captions leave dark pixels.
  const QPoint at = menu->mapToGlobal(QPoint(0, 0)) - window_->widget()->mapToGlobal(QPoint(0, 0));
  int dark = 0;
  for (int y = at.y() + 2; y < at.y() + menu->height() - 2; ++y)
    for (int x = at.x() + 2; x < at.x() + menu->width() - 2; ++x)
      if (qGray(picture.pixel(x, y)) < 90) ++dark;
  EXPECT_GT(dark, 100) << path;

  // Down and Return choose the first item: the border below run 3.
  QTest::keyClick(menu, Qt::Key_Down);
  QTest::keyClick(menu, Qt::Key_Return);
  ASSERT_TRUE(WaitFor([&] { return TableForms[1]->RowInfo[2].Border != 0; }));
  EXPECT_EQ(TableForms[1]->Selection, (TGridRect{1, 3, 1, 3}));
  const QImage after = window_->Picture();
  const TRect r = window_->Grid().CellRect(2, 3);
  const QPoint origin = window_->View()->viewport()->mapTo(window_->widget(), QPoint(0, 0));
  const QColor line = after.pixelColor(origin.x() + (r.Left + r.Right) / 2, origin.y() + r.Bottom - 1);
  EXPECT_LT(line.red() + line.green() + line.blue(), 100) << "a black border along the row's bottom";
}

TEST_F(TableWindowTest, CellsMenuEnablesCutAndCopyForABlock) {
  OpenParametric(4);
  TableForms[1]->Selection = TGridRect{1, 1, 2, 2};
  QMenu* menu = RightPress(1, 1);
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(MenuAction(menu, "Cut1")->isEnabled());
  EXPECT_TRUE(MenuAction(menu, "Copy1")->isEnabled());
  EXPECT_FALSE(MenuAction(menu, "AlterValues1")->isEnabled()) << "two columns";
  EXPECT_TRUE(MenuAction(menu, "PrintSelection1")->isEnabled());
  EXPECT_EQ(MenuAction(menu, "Cut1")->shortcut(), QKeySequence("Ctrl+X"));
  menu->close();
}

// A person types a bad number and then reaches for a menu command: the
// refused edit holds it (the cell stays), and once corrected the command
// runs and its real message box is answered with the keyboard.
TEST_F(TableWindowTest, RefusedEditHoldsAMenuCommandUntilCorrected) {
  OpenParametric(3);
  Type(1, 2, "1x");
  ASSERT_EQ(TableForms[1]->EditRejected, 1);
  const int alertsBefore = platform_.AlertCount();
  QMenu* menu = RightPress(2, 0);
  ASSERT_NE(menu, nullptr);
  QAction* properties = MenuAction(menu, "Properties2");
  ASSERT_NE(properties, nullptr);
  properties->trigger();
  QTest::qWait(100);
  EXPECT_EQ(platform_.AlertCount(), alertsBefore) << "no dialog while the edit is refused";
  EXPECT_EQ(TableForms[1]->EditRejected, 1);
  EXPECT_EQ(Cell(1, 1, 2), 2.0L);
  if (window_->ActiveMenu() != nullptr) window_->ActiveMenu()->close();

  QLineEdit* editor = window_->View()->Editor();
  editor->setText("");
  QTest::keyClicks(editor, "8");
  QTest::keyClick(editor, Qt::Key_Return);
  EXPECT_EQ(Cell(1, 1, 2), 8.0L);
  menu = RightPress(2, 0);
  ASSERT_NE(menu, nullptr);
  // Once the edit is accepted the column format dialog opens (modal: a
  // poll of the test's scope reads its caption and cancels it).
  QString caption;
  auto* poll = new QTimer(testing::TestScope());
  QObject::connect(poll, &QTimer::timeout, poll, [poll, &caption, tries = 0]() mutable {
    if (auto* dialog = dynamic_cast<TFormatTableDlg*>(QApplication::activeModalWidget())) {
      poll->stop();
      caption = dialog->windowTitle();
      dialog->reject();
      poll->deleteLater();
    } else if (++tries >= 500) {
      poll->stop();
      poll->deleteLater();
    }
  });
  poll->start(10);
  MenuAction(menu, "Properties2")->trigger();
  ASSERT_TRUE(WaitFor([&] { return !caption.isEmpty(); }));
  EXPECT_EQ(caption, "Format Parametric Table Column 2");
  EXPECT_TRUE(WaitFor([] { return QApplication::activeModalWidget() == nullptr; }));
  EXPECT_EQ(platform_.AlertCount(), alertsBefore);
}

TEST_F(TableWindowTest, TabDialogRenamesAndDeletesTabs) {
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

  // Rename the second tab: the real dialog, answered with the keyboard.
  QString caption;
  bool spinEnabled = false;
  int spinMax = 0;
  QTimer::singleShot(0, testing::TestScope(), [&] {
    WaitFor([] { return dynamic_cast<TTabInfoDlg*>(QApplication::activeModalWidget()) != nullptr; });
    auto* dialog = dynamic_cast<TTabInfoDlg*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    caption = dialog->windowTitle();
    spinEnabled = dialog->SpinPos()->isEnabled();
    spinMax = dialog->SpinPos()->maximum();
    dialog->TitleEdit()->selectAll();
    QTest::keyClicks(dialog->TitleEdit(), "Pumps");
    QTest::keyClick(dialog->TitleEdit(), Qt::Key_Return);
  });
  QTest::mouseClick(tabs, Qt::RightButton, Qt::NoModifier, tabs->tabRect(1).center());
  EXPECT_EQ(caption, "Information for Lookup Table 2");
  EXPECT_TRUE(spinEnabled);
  EXPECT_EQ(spinMax, 2);
  EXPECT_EQ(tabs->tabText(1), "Pumps");
  EXPECT_EQ(TableHeader(kLookupTableKind, 2)->Name, "Pumps");

  // Delete both: the window goes with its last table.
  bool freed = false;
  window_->OnFreed = [&] { freed = true; };
  auto pressDelete = [this] {
    WaitFor([] { return dynamic_cast<TTabInfoDlg*>(QApplication::activeModalWidget()) != nullptr; });
    if (auto* dialog = dynamic_cast<TTabInfoDlg*>(QApplication::activeModalWidget()))
      QTest::mouseClick(dialog->DeleteButton(), Qt::LeftButton);
  };
  QTimer::singleShot(0, pressDelete);
  QTest::mouseClick(tabs, Qt::RightButton, Qt::NoModifier, tabs->tabRect(1).center());
  ASSERT_EQ(tabs->count(), 1);
  EXPECT_FALSE(freed);
  QTimer::singleShot(0, pressDelete);
  TTableWindow* window = window_.release();  // it deletes itself
  QPointer<TTableWindow> alive(window);
  QTest::mouseClick(tabs, Qt::RightButton, Qt::NoModifier, tabs->tabRect(0).center());
  EXPECT_TRUE(freed);
  EXPECT_EQ(TableForms[2], nullptr);
  ASSERT_TRUE(WaitFor([&] {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return alive.isNull();
  }));
}

// Inside the main window's work area the window snaps to whole rows and
// columns whatever size it is given.
TEST_F(TableWindowTest, WindowSnapsToWholeRowsAndColumns) {
  OpenParametric(30);
  QMdiArea area;
  area.resize(900, 700);
  area.show();
  TTableWindow* table = window_.get();
  area.addSubWindow(table);
  table->Show();
  const TTableGrid& grid = table->Grid();
  const int step = grid.DefaultRowHeight + 1;
  for (const int height : {250, 263, 301, 333}) {
    table->resize(600, height);
    ASSERT_TRUE(WaitFor([&] { return table->height() != height || height % step == 0; }));
    QTest::qWait(20);
    const int viewport = table->View()->viewport()->height();
    // The rows below the header fill the viewport to within a pixel or two.
    const int rest = (viewport - grid.HeaderHeight - 1) % step;
    EXPECT_LE(rest, 2) << height << " -> " << table->height() << ", viewport " << viewport;
    // Every column fits across, with at most the margin of the frame.
    const int spare = table->View()->viewport()->width() - grid.TotalWidth();
    EXPECT_GE(spare, 0) << height;
    EXPECT_LE(spare, 30) << height;
  }
  area.removeSubWindow(table);
  table->setParent(nullptr);
}

TEST_F(TableWindowTest, DraggingAHeaderBorderWidensTheColumnAndResnapsTheWindow) {
  OpenParametric(4);
  QMdiArea area;
  area.resize(900, 700);
  area.show();
  TTableWindow* table = window_.get();
  area.addSubWindow(table);
  table->Show();
  table->resize(600, 300);
  const TTableGrid& grid = table->Grid();
  QWidget* viewport = table->View()->viewport();
  ASSERT_TRUE(WaitFor([&] { return viewport->width() >= grid.TotalWidth(); }));
  QTest::qWait(150);
  TTableColumnRecord* t = FindColumn(TableForms[1]->Columns, 1);
  const int32_t before = t->Width;
  const TRect r = grid.CellRect(1, 0);
  const QPoint press(r.Right, grid.HeaderHeight / 2);
  QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, press);
  for (int dx = 10; dx <= 40; dx += 10) QTest::mouseMove(viewport, press + QPoint(dx, 0));
  QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, press + QPoint(40, 0));
  EXPECT_EQ(grid.ColWidth(1), before + 40);
  EXPECT_EQ(t->Width, before + 40) << "the release stores the width in the column";
  EXPECT_EQ(FindColumn(TableForms[1]->Columns, 2)->Width, grid.ColWidth(2));
  // The sizing rule ran again at the window's width: the window shows
  // whole columns, those that no longer fit behind a scroll bar.
  const int32_t firstTwo = grid.ColWidth(0) + 1 + grid.ColWidth(1) + 1;
  ASSERT_TRUE(WaitFor([&] {
    const int shown = viewport->width() >= grid.TotalWidth() ? grid.TotalWidth() : firstTwo;
    return viewport->width() - shown >= 0 && viewport->width() - shown <= 30;
  })) << table->width() << " " << viewport->width() << " " << grid.TotalWidth();
  const QImage image = table->Picture();
  const std::string path = testing::SaveTestPicture(image, "parametric_table_wider_column.png");
  ASSERT_FALSE(image.isNull()) << path;
  // The entered T values sit right-aligned in the wider cell: their ink
  // lies in its right half only.
  auto ink = [](const QColor& c) { return qGray(c.rgb()) < 150; };
  const TRect cell = grid.CellRect(1, 1);
  const QPoint origin = viewport->mapTo(table->widget(), QPoint(0, 0));
  int left = 0, right = 0;
  for (int py = cell.Top + 1; py < cell.Bottom; ++py)
    for (int px = cell.Left + 1; px < cell.Right; ++px)
      if (ink(image.pixelColor(px + origin.x(), py + origin.y()))) ++(px < (cell.Left + cell.Right) / 2 ? left : right);
  EXPECT_GT(right, 3);
  EXPECT_EQ(left, 0);
  // A double press on the border opens no cell editor on the selected
  // cell and keeps the width.
  QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, CellCentre(1, 2));
  ASSERT_FALSE(table->View()->Editor()->isVisible());
  const QPoint border(grid.CellRect(1, 0).Right, grid.HeaderHeight / 2);
  QTest::mouseDClick(viewport, Qt::LeftButton, Qt::NoModifier, border);
  EXPECT_FALSE(table->View()->Editor()->isVisible());
  EXPECT_EQ(t->Width, before + 40);
  area.removeSubWindow(table);
  table->setParent(nullptr);
}

}  // namespace
}  // namespace voq

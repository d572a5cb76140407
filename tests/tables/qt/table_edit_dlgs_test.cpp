// The table dialogs on the offscreen platform: the column format dialog with
// its colour list and its real 578 question, the Sort dialog, the
// insert/delete runs and Delete Tables dialogs, and the format dialog opened
// from a lookup window's header menu. Pictures under the test output.
#include "tables/qt/table_edit_dlgs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include "../../shell/qt_app.h"
#include "platform/host.h"
#include "platform/qt/qt_platform.h"
#include "platform/scripted_platform.h"
#include "core/search_path.h"
#include "tables/qt/save_append_dlg.h"
#include "tables/qt/table_window.h"
#include "tables/table_edits.h"
#include "tables/table_model.h"
#include "tables/tables_state.h"

namespace voq {
namespace {

class TableEditDlgsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureApplication();
    InstallFontSubstitutions();
  }
  void TearDown() override { ResetTablesState(); }

  // A lookup table of `columns` columns and `rows` rows, cell (r, c) = 10 r + c.
  TTableForm* Lookup(int32_t columns, int32_t rows, const std::string& name = "Data") {
    TableRowCounts[2] = rows;
    TableColumnCounts[2] = columns;
    TTableForm* f = CreateTableForm(kLookupTableKind);
    EXPECT_NE(f, nullptr);
    f->TableName = name;
    f->MultipleTableRefresh();
    for (TTableColumnRecord* c = f->Columns; c != nullptr; c = c->Next)
      for (int32_t r = 1; r <= rows; ++r) c->SetCell(r, 10 * r + c->ColumnNumber);
    return f;
  }
  template <typename Cond>
  bool WaitFor(Cond cond) {
    for (int i = 0; i < 500 && !cond(); ++i) QTest::qWait(10);
    return cond();
  }
  static QImage Grab(QWidget& w) {
    w.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
    QTest::qWait(20);
    return w.grab().toImage();
  }
  static int CountPixels(const QImage& image, QColor colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (image.pixelColor(x, y).rgb() == colour.rgb()) ++n;
    return n;
  }
  static QStringList Labels(QWidget& w) {
    QStringList texts;
    for (QLabel* l : w.findChildren<QLabel*>()) texts << l->text();
    for (QAbstractButton* b : w.findChildren<QAbstractButton*>()) texts << b->text();
    for (QGroupBox* g : w.findChildren<QGroupBox*>()) texts << g->title();
    return texts;
  }

  QtPlatform platform_;
  ScopedPlatform scoped_{platform_};
};

TEST_F(TableEditDlgsTest, FormatDialogShowsItsControlsAndTheColourSwatches) {
  TTableForm* f = Lookup(4, 3);
  FindColumn(f->Columns, 2)->Name = "Speed\r[m/s]";
  FindColumn(f->Columns, 2)->SetCell(1, BlankValue);
  FindColumn(f->Columns, 2)->Format = TDisplayFormat{kStyleFixed, 4};
  f->Selection = TGridRect{2, 1, 2, 1};
  TTableGrid grid(kLookupTableKind);
  TFormatTableDlg dialog(FormatModelOf(grid, 2));
  const QImage picture = Grab(dialog);
  testing::SaveTestPicture(picture, "format_table_dlg.png");

  EXPECT_EQ(dialog.windowTitle(), "Format Lookup Table Column 2");
  EXPECT_EQ(dialog.FormatGroup()->title(), "Format: 987.6543") << "the example for a blank first row";
  EXPECT_EQ(dialog.Title()->text(), "Speed");
  EXPECT_EQ(dialog.Units()->text(), "m/s");
  EXPECT_TRUE(dialog.Title()->isEnabled());
  EXPECT_EQ(dialog.Stylebox()->text(), "Fixed decimal");
  EXPECT_EQ(dialog.DigitBox()->text(), "4");
  EXPECT_EQ(dialog.ColorBox()->count(), 8);
  EXPECT_EQ(dialog.ColorBox()->item(4)->text(), "Teal");
  EXPECT_EQ(dialog.ColEdit()->maximum(), 4);
  EXPECT_TRUE(dialog.DeleteBtn()->isVisible());
  const QStringList labels = Labels(dialog);
  for (const char* caption : {"Style:", "Digits:", "Background color", "Column width", "pixels", "Column Header",
                              "Units:", "Title:", "Position", "Move to column number ", "OK", "Cancel", "Delete"})
    EXPECT_TRUE(labels.contains(QString::fromLatin1(caption))) << caption;
  // The colour list is open with every swatch: teal and fuchsia among them.
  EXPECT_GT(CountPixels(picture, QColor(0x00, 0x80, 0x80)), 200);
  EXPECT_GT(CountPixels(picture, QColor(0xFF, 0x00, 0xFF)), 200);

  // The style menu checks the current style; a choice updates the example.
  QMenu* menu = dialog.StyleMenu();
  QList<QAction*> items = menu->actions();
  ASSERT_EQ(items.size(), 4);
  EXPECT_TRUE(items[1]->isChecked());
  EXPECT_FALSE(items[0]->isChecked());
  EXPECT_TRUE(items[3]->isEnabled()) << "a lookup column may hold strings";
  items[3]->trigger();
  EXPECT_EQ(dialog.FormatGroup()->title(), "Format");
  EXPECT_FALSE(dialog.DigitBox()->isEnabled());
  delete menu;
}

TEST_F(TableEditDlgsTest, FormatDialogForSeveralColumnsAndForAParametricColumn) {
  TFormatTableModel model;
  model.Kind = kParametricTableKind;
  model.Selection = TGridRect{2, 1, 5, 3};
  TFormatTableDlg several(model);
  Grab(several);
  EXPECT_EQ(several.windowTitle(), "Format Columns 2 to 5");
  EXPECT_FALSE(several.Units()->isVisible());
  EXPECT_FALSE(several.ColEdit()->isVisible());
  EXPECT_FALSE(several.DeleteBtn()->isVisible());
  QMenu* menu = several.StyleMenu();
  EXPECT_FALSE(menu->actions()[3]->isEnabled()) << "no String for a parametric column";
  delete menu;
}

TEST_F(TableEditDlgsTest, NewLookupTableRefusesATakenNameInARealMessageBox) {
  Lookup(2, 2, "Flow");
  TNewLookupDlg dialog;
  const QImage image = Grab(dialog);
  const std::string path = testing::SaveTestPicture(image, "new_lookup_dlg.png");
  EXPECT_EQ(dialog.windowTitle(), "New Lookup Table");
  EXPECT_TRUE(Labels(dialog).contains("No. of Rows"));
  EXPECT_TRUE(Labels(dialog).contains("No. of Columns"));
  EXPECT_EQ(dialog.TitleEdit()->text(), "Lookup 2");
  EXPECT_EQ(dialog.RowsEdit()->value(), 20);
  EXPECT_EQ(dialog.ColumnsEdit()->maximum(), 1000);
  EXPECT_EQ(dialog.RowsEdit()->maximum(), 9000);
  // The title field is drawn wide enough for the proposed name.
  EXPECT_GT(dialog.TitleEdit()->width(), dialog.TitleEdit()->fontMetrics().horizontalAdvance("Lookup 2")) << path;
  dialog.TitleEdit()->setText(" flow ");
  std::string text;
  testing::AnswerNextMessageBox(QMessageBox::Ok, &text);
  QTest::mouseClick(dialog.OkBtn(), Qt::LeftButton);
  EXPECT_TRUE(WaitFor([&] { return !text.empty(); }));
  EXPECT_EQ(text, "The table name provided is either illegal or it duplicates an existing Lookup Table name.");
  EXPECT_TRUE(dialog.isVisible());
  dialog.TitleEdit()->setText("  Steam ");
  dialog.ColumnsEdit()->setValue(3);
  QTest::mouseClick(dialog.OkBtn(), Qt::LeftButton);
  EXPECT_EQ(dialog.result(), 1);
  EXPECT_EQ(TableForms[2]->TabCaptions, (std::vector<std::string>{"Flow", "Steam"}));
  EXPECT_EQ(TableColumnCounts[2], 3);
  dialog.Model().DiscardUndo();
}

TEST_F(TableEditDlgsTest, TooLongLookupNameAsks578InARealMessageBox) {
  Lookup(2, 2);
  TFormatTableModel model;
  model.Kind = kLookupTableKind;
  model.Position = 1;
  model.ColumnCount = 2;
  TFormatTableDlg dialog(model);
  Grab(dialog);
  dialog.Title()->setText(QString(18, 't'));
  dialog.Units()->setText(QString(10, 'u'));
  std::string text;
  testing::AnswerNextMessageBox(QMessageBox::Yes, &text);
  QTest::mouseClick(dialog.OKBtn(), Qt::LeftButton);
  EXPECT_TRUE(WaitFor([&] { return !text.empty(); }));
  EXPECT_EQ(text, "The combined length of the column name and units must be less than 30 characters.  Modify?");
  EXPECT_TRUE(dialog.isVisible()) << "Yes: back to editing";
  dialog.Title()->setText(QString(17, 't'));
  QTest::mouseClick(dialog.OKBtn(), Qt::LeftButton);
  EXPECT_EQ(dialog.result(), 1);
  EXPECT_FALSE(dialog.isVisible());
}

TEST_F(TableEditDlgsTest, SortDialogSortsDescendingOverAllColumns) {
  TTableForm* f = Lookup(2, 3);
  FindColumn(f->Columns, 1)->Name = "x";
  TSortModel model(*f, 1);
  TSortForm dialog(model);
  const QImage picture = Grab(dialog);
  testing::SaveTestPicture(picture, "sort_form.png");
  EXPECT_EQ(dialog.windowTitle(), "Sort x in Data");
  EXPECT_EQ(dialog.TopSpin()->value(), 1);
  EXPECT_EQ(dialog.BotSpin()->value(), 3);
  EXPECT_TRUE(dialog.Ascending()->isChecked());
  EXPECT_TRUE(dialog.ThisColumn()->isChecked());
  const QStringList labels = Labels(dialog);
  for (const char* caption : {"from:", "to:", "Ascending", "Descending", "This column ", "All Columns", "OK", "Cancel"})
    EXPECT_TRUE(labels.contains(QString::fromLatin1(caption))) << caption;
  // Not blank: the dialog's text is drawn.
  EXPECT_GT(CountPixels(picture, QColor(0, 0, 0)), 50);

  QTest::mouseClick(dialog.Descending(), Qt::LeftButton);
  QTest::mouseClick(dialog.AllColumns(), Qt::LeftButton);
  QPushButton* ok = dialog.findChild<QPushButton*>("OKBtn");
  ASSERT_NE(ok, nullptr);
  QTest::mouseClick(ok, Qt::LeftButton);
  EXPECT_EQ(dialog.result(), 1);
  EXPECT_EQ(FindColumn(f->Columns, 1)->Cell(1), 31.0L);
  EXPECT_EQ(FindColumn(f->Columns, 2)->Cell(1), 32.0L);
  EXPECT_EQ(FindColumn(f->Columns, 1)->Cell(3), 11.0L);
}

TEST_F(TableEditDlgsTest, InsertRunsDialogAndDeleteTablesDialog) {
  Lookup(2, 5);
  {
    TInsertRunsDlg dialog(kLookupTableKind);
    Grab(dialog);
    EXPECT_EQ(dialog.windowTitle(), "Insert or Delete Lookup Table Rows");
    EXPECT_FALSE(dialog.AfterRowEdit()->isEnabled());
    dialog.AfterRowEdit()->setValue(2);
    EXPECT_TRUE(dialog.AfterButton()->isChecked()) << "changing the row chooses After row";
    EXPECT_TRUE(dialog.AfterRowEdit()->isEnabled());
    dialog.RowsEdit()->setValue(3);
    QTest::mouseClick(dialog.findChild<QPushButton*>("OKBtn"), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), 1);
    EXPECT_EQ(TableRowCounts[2], 8);
  }
  TTableForm* f = TableForms[2].get();
  f->MultipleTableSetup();
  f->TableName = "Second";
  f->MultipleTableRefresh();
  TDeleteTableDlg dialog(kLookupTableKind);
  Grab(dialog);
  EXPECT_EQ(dialog.windowTitle(), "Delete 1 Lookup  table");
  dialog.TableListBox()->item(0)->setSelected(true);
  EXPECT_EQ(dialog.windowTitle(), "Delete 2 Lookup  tables");
  dialog.TableListBox()->clearSelection();
  EXPECT_FALSE(dialog.DeleteBtn()->isEnabled());
  dialog.TableListBox()->item(0)->setSelected(true);
  QTest::mouseClick(dialog.DeleteBtn(), Qt::LeftButton);
  ASSERT_NE(TableForms[2], nullptr);
  EXPECT_EQ(TableForms[2]->TabCaptions, std::vector<std::string>{"Second"});
}

TEST_F(TableEditDlgsTest, HeaderPropertiesRenameAndMoveALookupColumn) {
  Lookup(3, 2);
  TTableWindow window(kLookupTableKind, nullptr);
  window.resize(420, 300);
  window.Show();
  QTest::qWait(150);
  window.Grid().ClickedColumn = 1;
  TTableForm* f = TableForms[2].get();
  f->Selection = TGridRect{1, 1, 1, 2};
  // The dialog is modal: fill it in once it is up.
  auto* poll = new QTimer(testing::TestScope());
  QObject::connect(poll, &QTimer::timeout, poll, [poll, tries = 0]() mutable {
    if (auto* dialog = dynamic_cast<TFormatTableDlg*>(QApplication::activeModalWidget())) {
      poll->stop();
      dialog->Title()->setText("Time");
      dialog->Units()->setText("s");
      dialog->ColEdit()->setValue(3);
      QTest::mouseClick(dialog->OKBtn(), Qt::LeftButton);
      poll->deleteLater();
    } else if (++tries >= 500) {
      poll->stop();
      poll->deleteLater();
    }
  });
  poll->start(10);
  window.Grid().MenuCommand("Properties2", 0, window.Dialogs());
  EXPECT_EQ(FindColumn(f->Columns, 3)->Name, "Time\r[s]");
  EXPECT_EQ(FindColumn(f->Columns, 3)->Cell(1), 11.0L);
  EXPECT_EQ(FindColumn(f->Columns, 1)->Cell(1), 12.0L);
  // Undo puts the column back where it was.
  f->Undo();
  EXPECT_EQ(FindColumn(f->Columns, 1)->Cell(1), 11.0L);
  EXPECT_EQ(FindColumn(f->Columns, 1)->Name, "Column1");
}

TEST(SaveAppendDlgTest, BrowseFillsTheNameAndAddsTheFolderToTheSearchPath) {
  testing::EnsureApplication();
  const std::string dir = testing::MakeTempFolder("voq_save_append");
  ScriptedPlatform platform;
  ScopedPlatform scoped{platform};
  platform.openFileAnswers = {dir + "/results"};
  TSaveAppendDlg dialog;
  QTest::mouseClick(dialog.BrowseButton(), Qt::LeftButton);
  ASSERT_EQ(platform.fileDialogTitles, std::vector<std::string>{"Select File"});
  EXPECT_EQ(dialog.FileName(), dir + "/results.txt") << "the default extension";
  EXPECT_NE(std::find(SearchPathList.begin(), SearchPathList.end(), dir), SearchPathList.end());
  platform.openFileAnswers = {""};
  EXPECT_FALSE(dialog.Browse());
  EXPECT_EQ(dialog.FileName(), dir + "/results.txt");
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace voq

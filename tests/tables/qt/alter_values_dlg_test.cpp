// The table window's Alter Values dialog on the offscreen platform: opened
// through the window's dialogs with the run range of the selection, its
// picture, and a refused entry that keeps it open.
#include "tables/qt/alter_values_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include "../../shell/qt_app.h"
#include "tables/qt/tab_info_dlg.h"
#include "tables/table_grid.h"
#include "tables/table_model.h"
#include "tables/tables_state.h"

namespace voq {
namespace {

class AlterValuesDlgTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::EnsureApplication(); }
  void TearDown() override { ResetTablesState(); }
  TTableForm* Lookup(int32_t rows) {
    TableRowCounts[2] = rows;
    TableColumnCounts[2] = 2;
    TTableForm* f = CreateTableForm(kLookupTableKind);
    f->TableName = "Data";
    f->MultipleTableRefresh();
    return f;
  }
};

TEST_F(AlterValuesDlgTest, OpensWithTheSelectedRunsAndFillsThem) {
  TTableForm* f = Lookup(8);
  TTableGrid grid(kLookupTableKind);
  TQtTableDialogs dialogs;
  struct Seen {
    int first = 0, last = 0;
    QString title;
    int dark = 0;
  } seen;
  testing::ActOnNextDialog("TableChgDlg", [&](QDialog* d) {
    auto* dlg = static_cast<TTableChgDlg*>(d);
    seen.first = dlg->FirstRunV()->value();
    seen.last = dlg->LastRunV()->value();
    seen.title = dlg->windowTitle();
    const QImage image = dlg->grab().toImage();
    testing::SaveTestPicture(image, "table_chg_dlg.png");
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (qGray(image.pixel(x, y)) < 100) ++seen.dark;
    dlg->FirstValue()->setText("0");
    dlg->IncorLast()->setText("3");
    dlg->OKBtn()->click();
  });
  f->Selection = TGridRect{1, 3, 1, 6};
  dialogs.AlterValues(grid, 1);
  EXPECT_EQ(seen.first, 3);
  EXPECT_EQ(seen.last, 6);
  EXPECT_EQ(seen.title, "Column1:  Column 1");
  EXPECT_GT(seen.dark, 50);
  for (int32_t r = 3; r <= 6; ++r) EXPECT_EQ(FindColumn(f->Columns, 1)->Cell(r), Extended(r - 3)) << r;
  EXPECT_TRUE(f->HasUndo());

  // A single cell: every run; an unreadable value keeps the dialog open.
  bool stillOpen = false;
  testing::ActOnNextDialog("TableChgDlg", [&](QDialog* d) {
    auto* dlg = static_cast<TTableChgDlg*>(d);
    seen.first = dlg->FirstRunV()->value();
    seen.last = dlg->LastRunV()->value();
    dlg->FirstValue()->setText("zz");
    dlg->OKBtn()->click();
    stillOpen = dlg->isVisible();
    dlg->done(2);
  });
  f->Selection = TGridRect{2, 4, 2, 4};
  dialogs.AlterValues(grid, 2);
  EXPECT_EQ(seen.first, 1);
  EXPECT_EQ(seen.last, 8);
  EXPECT_TRUE(stillOpen);
  EXPECT_TRUE(IsBlank(FindColumn(f->Columns, 2)->Cell(1)));
}

}  // namespace
}  // namespace voq

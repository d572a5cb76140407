// The Linear Regression dialog on the offscreen platform: opened from the
// Tables menu over a lookup table, the equation picture in blue before a fit
// and in black after it (pictures under the test output), the statistics
// dialog, and a real message box for a refused fit.
#include "tables/qt/linear_regression_dlg.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <memory>

#include "../../shell/qt_app.h"
#include "platform/host.h"
#include "platform/qt/qt_platform.h"
#include "results/qt_canvas.h"
#include "tables/table_model.h"
#include "tables/tables_state.h"

namespace voq {
namespace {

class LinearRegressionDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureApplication();
    InstallFontSubstitutions();
    // x = 1..6, y = 2.1, 3.9, 6.2, 7.8, 10.1, 12.2 in a lookup table.
    TableRowCounts[2] = 6;
    TableColumnCounts[2] = 2;
    TTableForm* f = CreateTableForm(kLookupTableKind);
    ASSERT_NE(f, nullptr);
    f->TableName = "Data";
    f->Caption = "Lookup Table";
    f->MultipleTableRefresh();
    const long double y[] = {2.1L, 3.9L, 6.2L, 7.8L, 10.1L, 12.2L};
    FindColumn(f->Columns, 1)->Name = "X";
    FindColumn(f->Columns, 2)->Name = "Y";
    for (int32_t r = 1; r <= 6; ++r) {
      FindColumn(f->Columns, 1)->SetCell(r, r);
      FindColumn(f->Columns, 2)->SetCell(r, y[r - 1]);
    }
  }
  void TearDown() override { ResetTablesState(); }

  template <typename Cond>
  bool WaitFor(Cond cond) {
    for (int i = 0; i < 500 && !cond(); ++i) QTest::qWait(10);
    return cond();
  }
  static QString OutputPath(const QString& name) {
    QDir().mkpath(VOQ_TEST_OUTPUT_DIR);
    return QString(VOQ_TEST_OUTPUT_DIR) + "/" + name;
  }
  static int CountPixels(const QImage& image, bool (*test)(QColor)) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (test(image.pixelColor(x, y))) ++n;
    return n;
  }
  static bool IsBlue(QColor c) { return c.blue() > 150 && c.red() < 100 && c.green() < 100; }
  static bool IsDark(QColor c) { return c.red() < 90 && c.green() < 90 && c.blue() < 90; }

  QtPlatform platform_;
  ScopedPlatform scoped_{platform_};
};

TEST_F(LinearRegressionDlgTest, FitOfOrderTwoPicturesBeforeAndAfter) {
  TLinearRegressionDlg dialog;
  dialog.show();
  ASSERT_TRUE(WaitFor([&] { return dialog.isVisible() && dialog.Image()->width() > 100; }));
  ASSERT_EQ(dialog.ListBox1()->count(), 2);
  // Y against X, order 2.
  QTest::mouseClick(dialog.ListBox1()->viewport(), Qt::LeftButton, Qt::NoModifier,
                    dialog.ListBox1()->visualItemRect(dialog.ListBox1()->item(1)).center());
  QTest::mouseClick(dialog.ListBox2()->viewport(), Qt::LeftButton, Qt::NoModifier,
                    dialog.ListBox2()->visualItemRect(dialog.ListBox2()->item(0)).center());
  ASSERT_TRUE(WaitFor([&] { return dialog.OKBtn()->isEnabled(); }));
  EXPECT_EQ(dialog.Model().EquationText, "Y=a0+a1*X+a2*X^2");
  EXPECT_EQ(dialog.PaintDIG()->value(), 2);

  QImage before = dialog.grab().toImage();
  ASSERT_TRUE(before.save(OutputPath("linear_regression_before_fit.png")));
  QImage picture = dialog.Image()->grab().toImage();
  EXPECT_GT(CountPixels(picture, IsBlue), 30) << "the form is drawn in blue before a fit";

  QTest::mouseClick(dialog.OKBtn(), Qt::LeftButton);
  ASSERT_TRUE(WaitFor([&] { return dialog.OKBtn()->text() == "Copy"; }));
  EXPECT_EQ(dialog.CancelBtn()->text(), "Done");
  EXPECT_TRUE(dialog.StatsBtn()->isEnabled());
  EXPECT_EQ(dialog.Model().EquationText, "Y=0.23+1.8325*X+0.026786*X^2");
  QTest::qWait(20);
  QImage after = dialog.grab().toImage();
  ASSERT_TRUE(after.save(OutputPath("linear_regression_after_fit.png")));
  picture = dialog.Image()->grab().toImage();
  EXPECT_EQ(CountPixels(picture, IsBlue), 0) << "no blue after the fit";
  EXPECT_GT(CountPixels(picture, IsDark), 30) << "the fitted equation in black";

  // Copy puts the equation text on the clipboard; a change of order restores Fit.
  QTest::mouseClick(dialog.OKBtn(), Qt::LeftButton);
  std::string clip;
  ASSERT_TRUE(platform_.GetClipboardText(clip));
  EXPECT_EQ(clip, "Y=0.23+1.8325*X+0.026786*X^2");

  // The statistics dialog.
  TLinRegressStatsDlg stats(dialog.Model(), &dialog);
  stats.show();
  ASSERT_TRUE(WaitFor([&] { return stats.isVisible(); }));
  EXPECT_EQ(stats.Grid()->rowCount(), 4);
  EXPECT_EQ(stats.Grid()->item(1, 1)->text(), "  2.300000E-01");
  EXPECT_EQ(stats.Grid()->item(3, 2)->text(), "  2.603410E-02");
  ASSERT_TRUE(stats.grab().toImage().save(OutputPath("linear_regression_stats.png")));
  stats.close();

  dialog.PaintDIG()->setValue(1);
  ASSERT_TRUE(WaitFor([&] { return dialog.OKBtn()->text() == "Fit"; }));
  EXPECT_EQ(dialog.Model().EquationText, "Y=a0+a1*X");
}

TEST_F(LinearRegressionDlgTest, ClickedTermIsExcludedAndCrossedOut) {
  TLinearRegressionDlg dialog;
  dialog.show();
  ASSERT_TRUE(WaitFor([&] { return dialog.isVisible() && dialog.Image()->width() > 100; }));
  dialog.Model().ClickDependent(1);
  dialog.Model().ClickIndependents({true, false});
  dialog.Refresh();
  ASSERT_TRUE(WaitFor([&] {
    dialog.Image()->grab();  // the picture lays out its terms as it paints
    return dialog.Model().TermRects.size() == 3u;
  }));
  // A click on a0 in the picture selects it; Exclude crosses it out.
  const TRect r = dialog.Model().TermRects[0];
  QTest::mouseClick(dialog.Image(), Qt::LeftButton, Qt::NoModifier, QPoint((r.Left + r.Right) / 2, r.Top + 8));
  ASSERT_TRUE(WaitFor([&] { return dialog.ExcludeBtn()->isEnabled(); }));
  EXPECT_EQ(dialog.ExcludeBtn()->text(), "Exclude");
  QTest::mouseClick(dialog.ExcludeBtn(), Qt::LeftButton);
  ASSERT_TRUE(WaitFor([&] { return dialog.Model().Excluded[0]; }));
  const QImage picture = dialog.Image()->grab().toImage();
  ASSERT_TRUE(picture.save(OutputPath("linear_regression_excluded_term.png")));
  auto isRed = [](QColor c) { return c.red() > 150 && c.green() < 100 && c.blue() < 100; };
  int red = 0;
  for (int y = r.Top - 1; y <= r.Bottom + 1; ++y)
    for (int x = r.Left - 1; x <= r.Right + 1; ++x)
      if (isRed(picture.pixelColor(x, y))) ++red;
  EXPECT_GT(red, 10) << "the red cross over a0";
  QTest::mouseClick(dialog.OKBtn(), Qt::LeftButton);
  ASSERT_TRUE(WaitFor([&] { return dialog.OKBtn()->text() == "Copy"; }));
  EXPECT_EQ(dialog.Model().Coefficients[0], 0);
}

TEST_F(LinearRegressionDlgTest, TooFewRowsShowsARealMessageBox) {
  TLinearRegressionDlg dialog;
  dialog.show();
  ASSERT_TRUE(WaitFor([&] { return dialog.isVisible(); }));
  dialog.ListBox1()->item(1)->setSelected(true);
  dialog.Model().ClickDependent(1);
  dialog.ListBox2()->item(0)->setSelected(true);
  ASSERT_TRUE(WaitFor([&] { return dialog.OKBtn()->isEnabled(); }));
  dialog.SpinFirst()->setValue(3);
  dialog.SpinLast()->setValue(4);
  QString text;
  auto* timer = new QTimer(&dialog);
  auto tries = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [timer, tries, &text] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      text = box->text();
      QTest::keyClick(box, Qt::Key_Return);
      timer->stop();
    } else if (++*tries > 250) {
      timer->stop();
    }
  });
  timer->start(20);
  QTest::mouseClick(dialog.OKBtn(), Qt::LeftButton);
  ASSERT_TRUE(WaitFor([&] { return !text.isEmpty(); }));
  EXPECT_EQ(text, "You can not fit 3 coefficients to 2 data points.");
  EXPECT_EQ(dialog.OKBtn()->text(), "Fit");
}

}  // namespace
}  // namespace voq

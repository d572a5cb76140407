#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "core/calc_state.h"
#include "shell/about_box.h"
#include "shell/progress_view.h"
#include "solver/progress.h"
#include "qt_app.h"

namespace voq {
namespace {

TEST(ProgressWindow, FiguresAbortAndContinue) {
  testing::EnsureApplication();
  TProgressView view;
  SetProgressView(&view);
  {
    TProgressDlg dialog;
    ProgressDlg = &dialog;
    EXPECT_TRUE(view.isVisible());
    EXPECT_TRUE(view.Abort->isVisible());
    EXPECT_FALSE(view.Continue->isVisible());
    TProgressFigures f;
    f.Caption = "Calculation progress in Run 3";
    f.Block = "2   ";
    f.Iteration = "14";
    f.Residual = "1.2345E-07 ";
    f.VariableChange = "3.0000E-04 ";
    f.Seconds = "1.5 sec";
    view.Present(f);
    view.adjustSize();
    const QImage image = view.grab().toImage();
    testing::SaveTestPicture(image, "progress_window.png");
    // The figures are drawn: dark text pixels, and blue ones for the block.
    int dark = 0, blue = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const QColor c = image.pixelColor(x, y);
        if (c.lightness() < 80) ++dark;
        if (c.blue() > 150 && c.red() < 100 && c.green() < 100) ++blue;
      }
    }
    EXPECT_GT(dark, 200);
    EXPECT_GT(blue, 20);
    EXPECT_EQ(view.windowTitle().toStdString(), "Calculation progress in Run 3");
    EXPECT_EQ(view.LabelRight->text().toStdString(), "14");
    EXPECT_EQ(view.seconds->text().toStdString(), "1.5 sec");
    AbortRequested = false;
    QTest::mouseClick(view.Abort, Qt::LeftButton);
    EXPECT_TRUE(AbortRequested);
    AbortRequested = false;

    view.PresentFinal(f, "5 equations in 2 blocks");
    EXPECT_TRUE(view.Continue->isVisible());
    EXPECT_FALSE(view.Abort->isVisible());
    EXPECT_EQ(view.Summary->text().toStdString(), "5 equations in 2 blocks");
    QTest::mouseClick(view.Continue, Qt::LeftButton);
    EXPECT_EQ(dialog.ContinueClicked, 1);
    ProgressDlg = nullptr;
  }
  EXPECT_FALSE(view.isVisible());
  RestoreInstalledHost();
}

// The final display takes the keyboard from the window that had it, so
// Enter answers Continue.
TEST(ProgressWindow, TheFinalDisplayTakesTheKeyboard) {
  testing::EnsureApplication();
  QWidget main;
  main.resize(300, 200);
  main.show();
  main.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
  TProgressView view;
  SetProgressView(&view);
  {
    TProgressDlg dialog;
    ProgressDlg = &dialog;
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    view.PresentFinal(TProgressFigures{}, "2 equations in 1 block");
    EXPECT_TRUE(QTest::qWaitForWindowActive(&view));
    EXPECT_EQ(QApplication::focusWidget(), view.Continue);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(dialog.ContinueClicked, 1);
    ProgressDlg = nullptr;
  }
  RestoreInstalledHost();
}

// The grid of integration variables appears below the figures when the
// figures carry one, one row per variable with its name and value, and goes
// away again for a solve without integrals.
TEST(ProgressWindow, GridOfIntegrationVariables) {
  testing::EnsureApplication();
  TProgressView view;
  SetProgressView(&view);
  {
    TProgressDlg dialog;
    EXPECT_FALSE(view.Grid->isVisible());
    view.adjustSize();
    const int heightWithoutGrid = view.height();
    TProgressFigures f;
    f.Block = "1   ";
    f.Iteration = "3";
    f.Seconds = "2.5 sec";
    f.GridLabel1 = "Integration Variable";
    f.GridLabel2 = "Value";
    f.Grid = {{"time", "0.25"}, {"x", "1500"}};
    view.Present(f);
    view.adjustSize();
    ASSERT_TRUE(view.Grid->isVisible());
    EXPECT_TRUE(view.GridLabel1->isVisible());
    EXPECT_EQ(view.GridLabel1->text().toStdString(), "Integration Variable");
    EXPECT_EQ(view.GridLabel2->text().toStdString(), "Value");
    ASSERT_EQ(view.Grid->rowCount(), 2);
    ASSERT_EQ(view.Grid->columnCount(), 2);
    EXPECT_EQ(view.Grid->item(0, 0)->text().toStdString(), "time");
    EXPECT_EQ(view.Grid->item(0, 1)->text().toStdString(), "0.25");
    EXPECT_EQ(view.Grid->item(1, 0)->text().toStdString(), "x");
    EXPECT_EQ(view.Grid->item(1, 1)->text().toStdString(), "1500");
    EXPECT_TRUE(view.Grid->item(1, 1)->font().bold());
    // The window grew by the grid, which shows all its rows.
    EXPECT_GT(view.height(), heightWithoutGrid + view.Grid->rowHeight(0));
    EXPECT_GE(view.Grid->height(), view.Grid->rowHeight(0) + view.Grid->rowHeight(1));

    const QImage image = view.grab().toImage();
    testing::SaveTestPicture(image, "progress_window_grid.png");
    // Text is drawn inside both columns of the grid's first row.
    const QRect grid = view.Grid->geometry();
    for (int column = 0; column < 2; ++column) {
      const QRect cell = view.Grid->visualItemRect(view.Grid->item(0, column)).translated(grid.topLeft());
      int dark = 0;
      for (int y = cell.top(); y <= cell.bottom(); ++y) {
        for (int x = cell.left(); x <= cell.right(); ++x) {
          if (image.pixelColor(x, y).lightness() < 80) ++dark;
        }
      }
      EXPECT_GT(dark, 10) << "column " << column;
    }

    view.Present(TProgressFigures{});
    EXPECT_FALSE(view.Grid->isVisible());
    EXPECT_FALSE(view.GridLabel1->isVisible());
    EXPECT_EQ(view.Grid->rowCount(), 0);
  }
  RestoreInstalledHost();
}

TEST(SplashBox, CtrlDoesNotEndTheWaitAnotherKeyDoes) {
  testing::EnsureApplication();
  TAboutBox box;
  box.show();
  const QImage image = box.grab().toImage();
  testing::SaveTestPicture(image, "splash_box.png");
  EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::white));
  bool ctrlSent = false;
  QTimer::singleShot(20, testing::TestScope(), [&] {
    QTest::keyClick(&box, Qt::Key_Control);
    ctrlSent = true;
  });
  QTimer::singleShot(150, testing::TestScope(), [&] {
    EXPECT_TRUE(box.OKButton->isVisible());
    QTest::keyClick(&box, Qt::Key_Space);
  });
  QElapsedTimer clock;
  clock.start();
  box.WaitEvent();
  EXPECT_TRUE(ctrlSent);
  // Only the second key ended it.
  EXPECT_GE(clock.elapsed(), 140);
  EXPECT_FALSE(box.LoadingLabel->isVisible());
}

}  // namespace
}  // namespace voq

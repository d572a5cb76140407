#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
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

TEST(SplashBox, CtrlDoesNotEndTheWaitAnotherKeyDoes) {
  testing::EnsureApplication();
  TAboutBox box;
  box.show();
  const QImage image = box.grab().toImage();
  testing::SaveTestPicture(image, "splash_box.png");
  EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::white));
  bool ctrlSent = false;
  QTimer::singleShot(20, [&] {
    QTest::keyClick(&box, Qt::Key_Control);
    ctrlSent = true;
  });
  QTimer::singleShot(150, [&] {
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

// The plot drawing pipeline through the Qt canvas: a linear X axis 0..10 by
// 2 and a logarithmic Y axis 1..1000 on the frame (100, 50)-(400, 350),
// drawn into an image that the test keeps as a PNG.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "../shell/qt_app.h"
#include "plots/plot_drawing.h"
#include "results/qt_canvas.h"

namespace voq {
namespace {

bool Ink(const QImage& image, int x, int y) { return image.pixelColor(x, y) != QColor(Qt::white); }

TEST(PlotCanvasTest, AxesOfALinearAndALogScaleDrawOnTheScreenCanvas) {
  testing::EnsureApplication();
  TPlotAxesRecord axes;
  axes.FrameRect = {100, 50, 400, 350};
  axes.MajorTickSize = 8;
  axes.MinorTickSize = 4;
  axes.LabelSize = {12, 12, 12, 12};
  TPlotLineRecord curve;
  curve.CurveNumber = 1;
  curve.XMax = 10;
  curve.XInterval = 2;
  curve.XMinorTicks = 1;
  curve.XStyle = 1;
  curve.YMin = 1;
  curve.YMax = 1000;
  curve.YLog = 1;
  axes.FirstCurve = &curve;

  QImage image(480, 420, QImage::Format_RGB32);
  image.fill(QColor(240, 240, 240));
  {
    QPainter painter(&image);
    QtCanvas canvas(painter);
    TPlotPainter(canvas, axes).DisplayPlot();
  }
  testing::SaveTestPicture(image, "plot_axes.png");
  // Frame-coloured (black) edges, white inside, ticks reaching into it.
  for (int x : {150, 250, 390}) {
    EXPECT_EQ(image.pixelColor(x, 350), QColor(Qt::black)) << x;
    EXPECT_EQ(image.pixelColor(x, 50), QColor(Qt::black)) << x;
  }
  for (int y : {100, 200, 300}) {
    EXPECT_EQ(image.pixelColor(100, y), QColor(Qt::black)) << y;
    EXPECT_EQ(image.pixelColor(400, y), QColor(Qt::black)) << y;
  }
  EXPECT_EQ(image.pixelColor(250, 200), QColor(Qt::white));
  EXPECT_TRUE(Ink(image, 160, 345));  // the X tick at 2
  EXPECT_TRUE(Ink(image, 105, 250));  // the Y decade tick at 10
  bool labels = false;  // numbers below the frame
  for (int y = 352; y < 380 && !labels; ++y)
    for (int x = 150; x < 170 && !labels; ++x) labels = image.pixelColor(x, y) != QColor(240, 240, 240);
  EXPECT_TRUE(labels);
}

}  // namespace
}  // namespace voq

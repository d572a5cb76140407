// The Plot window's drawing pipeline on a recording canvas: the mapping of
// values to pixels, segment clipping, the tick generator, the number labels'
// exponent form and the axes of a whole plot. Expected pixels are worked out
// here by hand from p = o + round(d (v - min) / (max - min)), with the
// logarithm of v on a log axis.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

#include "output/canvas.h"
#include "plots/plot_drawing.h"

namespace voq {
namespace {

TPlotLineRecord LinearCurve(Extended lo, Extended hi, Extended interval) {
  TPlotLineRecord c;
  c.CurveNumber = 1;
  c.XMin = lo;
  c.XMax = hi;
  c.XInterval = interval;
  c.YMin = lo;
  c.YMax = hi;
  c.YInterval = interval;
  c.XStyle = c.YStyle = 1;  // fixed, no decimals: "2", "4"
  return c;
}

const TPlotFrame kFrame{100, 50, 400, 350};

TEST(PlotMapping, LinearLogAndFaults) {
  TPlotLineRecord c = LinearCurve(0, 10, 2);
  EXPECT_EQ(MapToPixel(kFrame, c, 1, 5), 250);
  EXPECT_EQ(MapToPixel(kFrame, c, 2, 5), 200);  // Y grows upwards from the bottom 350
  EXPECT_EQ(MapToPixel(kFrame, c, 1, 1E9L), 32600);
  EXPECT_EQ(MapToPixel(kFrame, c, 1, -1E9L), -32600);

  TPlotLineRecord log = LinearCurve(1, 1000, 0);
  log.XLog = log.YLog = 1;
  EXPECT_EQ(MapToPixel(kFrame, log, 1, 10), 200);  // one decade of three: 300 / 3
  EXPECT_EQ(MapToPixel(kFrame, log, 2, 10), 250);

  TPlotLineRecord flat = LinearCurve(3, 3, 1);
  for (Extended v : {Extended(-7), Extended(3), Extended(1E6)}) EXPECT_EQ(MapToPixel(kFrame, flat, 1, v), 32600);

  // A log minimum of 0 is nine decades below 1: 0..1000 spans 12 decades,
  // so 1 lies 9/12 of 300 right of the left edge; 0 and 1E-9 at the edge.
  TPlotLineRecord zeroLog = LinearCurve(0, 1000, 0);
  zeroLog.XLog = 1;
  EXPECT_EQ(MapToPixel(kFrame, zeroLog, 1, 1), 325);
  EXPECT_EQ(MapToPixel(kFrame, zeroLog, 1, 0), 100);
  EXPECT_EQ(MapToPixel(kFrame, zeroLog, 1, 1E-9L), 100);
  EXPECT_NEAR(double(PowerOf(2, 10)), 100, 1E-12);
  EXPECT_EQ(PowerOf(2, 0), 0);
}

TEST(PlotMapping, ClipSegmentTable) {
  const TRect rect{100, 50, 400, 350};  // grown by one: x 99..400, y 49..350 inside
  struct Case {
    const char* what;
    TCanvasPoint p1, p2;
    bool visible;
    TCanvasPoint e1, e2;
  };
  const std::vector<Case> cases = {
      {"inside", {150, 100}, {200, 200}, true, {150, 100}, {200, 200}},
      {"horizontal out right", {200, 200}, {500, 200}, true, {200, 200}, {400, 200}},
      {"slanted out right", {300, 200}, {500, 300}, true, {300, 200}, {400, 250}},
      {"horizontal across both", {0, 200}, {500, 200}, true, {100, 200}, {400, 200}},
      {"diagonal corner to corner", {50, 0}, {450, 400}, true, {100, 50}, {400, 350}},
      {"vertical across", {200, 0}, {200, 500}, true, {200, 50}, {200, 350}},
      {"outside horizontal", {0, 0}, {50, 0}, false, {}, {}},
      {"outside slanted", {0, 0}, {50, 20}, false, {}, {}},
      // The line through these ends crosses the frame at (100, 100), beyond
      // the segment's end: nothing of the segment itself is inside.
      {"outside, line crosses frame", {0, 0}, {90, 90}, false, {}, {}},
  };
  for (const Case& c : cases) {
    TCanvasPoint a = c.p1, b = c.p2;
    EXPECT_EQ(ClipSegment(rect, a, b), c.visible) << c.what;
    if (c.visible) {
      EXPECT_EQ(a, c.e1) << c.what;
      EXPECT_EQ(b, c.e2) << c.what;
    }
  }
}

struct TickRun {
  std::vector<Extended> values;
  std::vector<int32_t> pixels;
  std::vector<Extended> labelled;
  std::vector<std::string> labels;
  bool empty = false;
};

TickRun RunTicks(TPlotPainter& painter, int32_t axis, Extended start) {
  TickRun run;
  Extended previous = start;
  for (int32_t i = 1; i < 5000; ++i) {
    const TPlotTick t = painter.NextTick(axis, i, previous);
    if (t.Empty) {
      run.empty = true;
      break;
    }
    run.values.push_back(t.Value);
    run.pixels.push_back(t.Pixel);
    if (t.LabelWanted) {
      run.labelled.push_back(t.Value);
      run.labels.push_back(t.Label);
    }
    previous = t.Value;
    if (t.Done) break;
  }
  return run;
}

void ExpectValues(const std::vector<Extended>& got, const std::vector<double>& want, const char* what) {
  ASSERT_EQ(got.size(), want.size()) << what;
  for (size_t k = 0; k < want.size(); ++k) EXPECT_NEAR(double(got[k]), want[k], want[k] * 1E-9 + 1E-12) << what;
}

TEST(PlotTicks, LogarithmicDecadesAndMantissas) {
  RecordingCanvas canvas;
  TPlotAxesRecord axes;
  TPlotPainter painter(canvas, axes);
  painter.Frame = kFrame;
  TPlotLineRecord c = LinearCurve(1, 1000, 0);
  c.YLog = 1;
  painter.SetCurve(&c);
  painter.LogDecades[2] = 3;
  TickRun plain = RunTicks(painter, 2, c.YMin);
  ExpectValues(plain.values, {1, 10, 100, 1000}, "decades");
  ExpectValues(plain.labelled, {1, 10, 100, 1000}, "decade labels");
  EXPECT_EQ(plain.pixels, (std::vector<int32_t>{350, 250, 150, 50}));

  c.YLogTicks = 1;
  TickRun every = RunTicks(painter, 2, c.YMin);
  std::vector<double> mantissas;
  for (double decade : {1.0, 10.0, 100.0})
    for (int k = 1; k <= 9; ++k) mantissas.push_back(k * decade);
  mantissas.push_back(1000);
  ExpectValues(every.values, mantissas, "every mantissa");
  ExpectValues(every.labelled, {1, 10, 100, 1000}, "labels at decades only");

  // One decade: 2 and 5 are numbered too.
  TPlotLineRecord one = LinearCurve(1, 10, 0);
  one.YLog = one.YLogTicks = 1;
  painter.SetCurve(&one);
  painter.LogDecades[2] = 1;
  ExpectValues(RunTicks(painter, 2, 1).labelled, {1, 2, 5, 10}, "one decade");
}

TEST(PlotTicks, LinearStartEndAndFaults) {
  RecordingCanvas canvas;
  TPlotAxesRecord axes;
  TPlotPainter painter(canvas, axes);
  painter.Frame = kFrame;

  // 9.2 / 2 is not whole: the first tick is the multiple of 2 nearest 0.5.
  TPlotLineRecord c = LinearCurve(0.5L, 9.7L, 2);
  painter.SetCurve(&c);
  TickRun run = RunTicks(painter, 1, c.XMin);
  ExpectValues(run.values, {0, 2, 4, 6, 8, 10}, "0.5..9.7");
  ExpectValues(run.labelled, {0, 2, 4, 6, 8}, "10 is past 9.7 by more than 0.002");
  EXPECT_EQ(run.labels[1], "2");
  EXPECT_EQ(run.pixels[0], 100 + static_cast<int32_t>(std::nearbyint(300 * -0.5 / 9.2)));  // 84: left of the frame

  // 10 exceeds 9.999 by 0.001, within a thousandth of the interval 2.
  TPlotLineRecord near = LinearCurve(0, 9.999L, 2);
  painter.SetCurve(&near);
  TickRun nearRun = RunTicks(painter, 1, 0);
  ExpectValues(nearRun.labelled, {0, 2, 4, 6, 8, 10}, "last tick within tolerance");

  struct Fault {
    const char* what;
    Extended interval;
  };
  for (const Fault& f : {Fault{"interval 0", 0}, Fault{"interval away from the maximum", -2}}) {
    TPlotLineRecord z = LinearCurve(0, 10, f.interval);
    painter.SetCurve(&z);
    EXPECT_TRUE(RunTicks(painter, 1, 0).empty) << f.what;
  }
  // A tiny interval ends after a bounded number of ticks, not never.
  TPlotLineRecord tiny = LinearCurve(0, 10, 1E-30L);
  painter.SetCurve(&tiny);
  TickRun tinyRun = RunTicks(painter, 1, 0);
  EXPECT_LE(tinyRun.values.size(), 2000u);
}

TEST(PlotNumbers, ExponentFormSplit) {
  struct Case {
    const char* text;
    bool exponentForm;
    const char* mantissa;
    bool times;
    const char* exponent;
  };
  for (const Case& c : {Case{"1E+05", true, "", false, "5"}, Case{"-1E+05", true, "-", false, "5"},
                        Case{"2.5E-03", true, "2.5", true, "-3"}, Case{"3E+12", true, "3", true, "12"},
                        Case{"1E+00", true, "", false, "0"}, Case{"42.5", false, "42.5", false, ""}}) {
    const TAxisNumberParts p = SplitAxisNumber(c.text);
    EXPECT_EQ(p.ExponentForm, c.exponentForm) << c.text;
    EXPECT_EQ(p.Mantissa, c.mantissa) << c.text;
    EXPECT_EQ(p.Times, c.times) << c.text;
    EXPECT_EQ(p.Exponent, c.exponent) << c.text;
  }
}

TEST(PlotNumbers, ExponentLabelDrawsRaisedExponent) {
  RecordingCanvas canvas;
  TPlotAxesRecord axes;
  axes.LabelSize = {12, 12, 12, 12};
  TPlotPainter painter(canvas, axes);
  painter.DrawAxisNumber(1, 200, 300, "2.5E-03");
  const auto texts = canvas.Texts();
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_EQ(texts[0]->Text, "2.5");
  EXPECT_EQ(texts[1]->Text, "x");
  EXPECT_EQ(texts[2]->Text, "10");
  EXPECT_EQ(texts[3]->Text, "-3");
  EXPECT_LT(texts[3]->Y, texts[2]->Y);                    // raised
  EXPECT_LT(texts[3]->Font.Height, texts[2]->Font.Height);  // smaller
  EXPECT_LT(texts[1]->Font.Height, texts[2]->Font.Height);
  EXPECT_LT(texts[0]->X, texts[2]->X);
}

// The plot of the window's screenshot test: X linear 0..10 by 2, Y log
// 1..1000, frame (100, 50)-(400, 350).
struct AxesPlot {
  TPlotAxesRecord axes;
  TPlotLineRecord curve = LinearCurve(0, 10, 2);
  AxesPlot() {
    axes.FrameRect = {100, 50, 400, 350};
    axes.MajorTickSize = 8;
    axes.MinorTickSize = 4;
    axes.LabelSize = {12, 12, 12, 12};
    curve.YMin = 1;
    curve.YMax = 1000;
    curve.YLog = 1;
    curve.YStyle = 0;
    axes.FirstCurve = &curve;
  }
};

TEST(PlotAxes, TicksOfLinearXAndLogY) {
  AxesPlot plot;
  RecordingCanvas canvas;
  TPlotPainter painter(canvas, plot.axes);
  painter.DisplayPlot();
  std::set<int32_t> xTicks, yTicks;
  for (const TCanvasOperation& op : canvas.Operations) {
    if (op.Operation != TCanvasOperation::kLine) continue;
    if (op.X == op.X2 && op.Y == 350 && op.Y2 == 342) xTicks.insert(op.X);
    if (op.Y == op.Y2 && op.X == 100 && op.X2 == 108) yTicks.insert(op.Y);
  }
  std::set<int32_t> wantX, wantY;
  for (int k = 0; k <= 10; k += 2) wantX.insert(100 + 300 * k / 10);
  for (int d = 0; d <= 3; ++d) wantY.insert(350 - 300 * d / 3);
  EXPECT_EQ(xTicks, wantX);  // 100, 160, 220, 280, 340, 400
  EXPECT_EQ(yTicks, wantY);  // 350, 250, 150, 50
  EXPECT_EQ(canvas.Operations.front().Operation, TCanvasOperation::kFillRect);
  const std::string all = canvas.AllText();
  EXPECT_NE(all.find("10"), std::string::npos);
  EXPECT_NE(all.find("8"), std::string::npos);
}

TEST(PlotAxes, NothingWithoutCurvesAndNoTicksForIntervalZero) {
  AxesPlot plot;
  RecordingCanvas canvas;
  plot.axes.FirstCurve = nullptr;
  TPlotPainter(canvas, plot.axes).DisplayPlot();
  EXPECT_TRUE(canvas.Operations.empty());

  plot.axes.FirstCurve = &plot.curve;
  plot.curve.XInterval = 0;
  plot.curve.YLog = 0;
  plot.curve.YInterval = 0;
  TPlotPainter(canvas, plot.axes).DisplayPlot();
  for (const TCanvasOperation& op : canvas.Operations) {
    EXPECT_NE(op.Operation, TCanvasOperation::kTextOut);
    if (op.Operation == TCanvasOperation::kLine) {  // only the frame box's sides
      EXPECT_TRUE((op.X == op.X2 && (op.X == 100 || op.X == 400)) || (op.Y == op.Y2 && (op.Y == 50 || op.Y == 350)));
    }
  }
}

}  // namespace
}  // namespace voq

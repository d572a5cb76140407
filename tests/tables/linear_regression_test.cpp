// Linear regression of table columns: the Gauss-Jordan solver, the equation
// form, the fit and its statistics against hand-computed and published
// least-squares results, and the dialog model's enabling, range checks and
// messages.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "output/canvas.h"
#include "tables/linear_regression.h"
#include "tables/table_fixture.h"

namespace voq {
namespace {

// Relative agreement of a long double with a reference.
::testing::AssertionResult Near(long double actual, long double expected, long double relative) {
  const long double scale = std::fabs(expected) > 0 ? std::fabs(expected) : 1;
  if (std::fabs(actual - expected) <= relative * scale) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << static_cast<double>(actual) << " vs " << static_cast<double>(expected);
}

class LinearRegressionTest : public testing::TableTest {
 protected:
  // A lookup table whose columns hold the given values (BlankValue for an
  // empty cell), titled by names.
  void MakeTable(const std::vector<std::string>& names, const std::vector<std::vector<long double>>& columns) {
    const int32_t rows = int32_t(columns.front().size());
    TTableForm* f = MakeLookup(int32_t(columns.size()), rows, "Fit data");
    f->Caption = "Lookup Table";
    for (size_t c = 0; c < columns.size(); ++c) {
      TTableColumnRecord* column = FindColumn(f->Columns, int32_t(c) + 1);
      column->Name = names[c];
      for (int32_t r = 1; r <= rows; ++r) column->SetCell(r, columns[c][size_t(r - 1)]);
    }
    model.TableKind = kLookupTableKind;
    model.Activate();
  }
  // Dependent list position and the independents selected.
  void Choose(int32_t dependent, const std::vector<int32_t>& independents, int32_t order, bool cross = false) {
    std::vector<bool> selected(model.VariableNames.size(), false);
    for (int32_t i : independents) selected[size_t(i)] = true;
    model.ClickDependent(dependent);
    model.ClickIndependents(selected);
    model.SetCrossTerms(cross);
    model.SetOrder(order);
  }

  TLinearRegressionModel model;
};

// The fixture of the hand calculation: x = 1..6.
const std::vector<long double> kX{1, 2, 3, 4, 5, 6};
const std::vector<long double> kY{2.1L, 3.9L, 6.2L, 7.8L, 10.1L, 12.2L};

TEST(RegressionSolveTest, SolvesAndLeavesTheInverse) {
  // A = [[4, 1, 2], [1, 3, 0], [2, 0, 5]], c = A·(1, -2, 3) = (8, -5, 17).
  // det A = 4·15 − 1·5 + 2·(−6) = 43; the inverse is adj(A)/43 (by hand).
  TRegressionMatrix a{};
  const long double rows[3][3] = {{4, 1, 2}, {1, 3, 0}, {2, 0, 5}};
  for (size_t i = 0; i < 3; ++i)
    for (size_t j = 0; j < 3; ++j) a[i * 42 + j] = rows[i][j];
  TRegressionVector c{}, x{};
  c[0] = 8, c[1] = -5, c[2] = 17;
  ASSERT_TRUE(RegressionSolve(a, 3, c, x));
  EXPECT_TRUE(Near(x[0], 1, 1e-17L));
  EXPECT_TRUE(Near(x[1], -2, 1e-17L));
  EXPECT_TRUE(Near(x[2], 3, 1e-17L));
  const long double adj[3][3] = {{15, -5, -6}, {-5, 16, 2}, {-6, 2, 11}};
  for (size_t i = 0; i < 3; ++i)
    for (size_t j = 0; j < 3; ++j) EXPECT_TRUE(Near(a[i * 42 + j], adj[i][j] / 43, 1e-17L)) << i << j;
}

TEST(RegressionSolveTest, PivotsOffTheDiagonal) {
  // A zero diagonal forces row interchanges: [[0, 2], [3, 1]]·(1, 2) = (4, 5);
  // inverse [[-1/6, 1/3], [1/2, 0]].
  TRegressionMatrix a{};
  a[0] = 0, a[1] = 2, a[42] = 3, a[43] = 1;
  TRegressionVector c{}, x{};
  c[0] = 4, c[1] = 5;
  ASSERT_TRUE(RegressionSolve(a, 2, c, x));
  EXPECT_TRUE(Near(x[0], 1, 1e-17L));
  EXPECT_TRUE(Near(x[1], 2, 1e-17L));
  EXPECT_TRUE(Near(a[0], -1.0L / 6, 1e-17L));
  EXPECT_TRUE(Near(a[1], 1.0L / 3, 1e-17L));
  EXPECT_TRUE(Near(a[42], 0.5L, 1e-17L));
  EXPECT_TRUE(Near(a[43], 0, 1e-17L));
}

TEST_F(LinearRegressionTest, SingularMatrixIs384) {
  TRegressionMatrix a{};
  a[0] = 1, a[1] = 2, a[42] = 2, a[43] = 4;
  TRegressionVector c{}, x{};
  EXPECT_FALSE(RegressionSolve(a, 2, c, x));
  EXPECT_EQ(CalcErrorCode, 384);
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].text, "Singularity encountered.");
}

TEST(RegressionTextTest, ExponentNotation) {
  EXPECT_EQ(RegressionExponentText(0.178885438L, 5, 2), "1.7889E-01");
  EXPECT_EQ(RegressionExponentText(0, 5, 2), "0.0000E+00");
  EXPECT_EQ(RegressionExponentText(-0.02L, 7, 2), "-2.000000E-02");
  EXPECT_EQ(RegressionExponentText(1.5e-120L, 3, 2), "1.50E-120");
  EXPECT_EQ(RegressionExponentText(BlankValue, 7, 2), "*****");
}

TEST_F(LinearRegressionTest, OpeningListsTheWindowAndColumns) {
  MakeTable({"X\r[m]", "Y"}, {kX, kY});
  ASSERT_EQ(model.WindowCaptions.size(), 1u);
  EXPECT_EQ(model.WindowCaptions[0], "Lookup Table");
  EXPECT_EQ(model.VariableNames, (std::vector<std::string>{"X", "Y"}));
  EXPECT_EQ(model.FirstRow, 1);
  EXPECT_EQ(model.LastRow, 6);
  EXPECT_EQ(model.Dependent, 0);
  EXPECT_EQ(model.OkCaption, "Fit");
  EXPECT_FALSE(model.StatsEnabled);
  EXPECT_FALSE(model.ExcludeEnabled);
}

TEST_F(LinearRegressionTest, EquationForms) {
  MakeTable({"X", "Y", "Z"}, {kX, kY, kY});
  Choose(2, {0, 1}, 2, true);
  EXPECT_EQ(model.EquationText, "Z=a0+a1*X+a2*X^2+a3*Y+a4*Y^2+a5*X*Y");
  EXPECT_EQ(model.TermCount, 5);
  EXPECT_EQ(model.Exponents[5][0], 1);
  EXPECT_EQ(model.Exponents[5][1], 1);
  model.SetOrder(3);
  EXPECT_EQ(model.EquationText,
            "Z=a0+a1*X+a2*X^2+a3*X^3+a4*Y+a5*Y^2+a6*Y^3+a7*X*Y+a8*X*Y^2+a9*X^2*Y+a10*X^2*Y^2");
  model.SetOrder(0);
  EXPECT_EQ(model.EquationText, "Z=a0");
  // Order 1 has no cross terms whatever the box says.
  model.SetOrder(1);
  EXPECT_EQ(model.EquationText, "Z=a0+a1*X+a2*Y");
  model.SetCrossTerms(false);
  EXPECT_EQ(model.EquationText, "Z=a0+a1*X+a2*Y");
}

TEST_F(LinearRegressionTest, PictureTermsAndExclusion) {
  MakeTable({"X", "Y", "Z"}, {kX, kY, kY});
  Choose(2, {0, 1}, 2, true);
  RecordingCanvas canvas;
  const int32_t height = model.DrawEqn(canvas, 2000);
  EXPECT_EQ(height, 25) << "one line";
  ASSERT_EQ(model.TermRects.size(), 6u);
  // "Z", "=", "a" with the subscript "0" lowered in the small font, ...
  std::vector<const TCanvasOperation*> texts = canvas.Texts();
  ASSERT_GE(texts.size(), 4u);
  EXPECT_EQ(texts[0]->Text, "Z");
  EXPECT_EQ(texts[1]->Text, "=");
  EXPECT_EQ(texts[2]->Text, "a");
  EXPECT_EQ(texts[3]->Text, "0");
  EXPECT_EQ(texts[3]->Y, texts[2]->Y + 5);
  EXPECT_LT(texts[3]->Font.Height, texts[2]->Font.Height);
  EXPECT_EQ(texts[2]->Colour, kRgbBlue);
  EXPECT_NE(canvas.AllText().find("\xB7"), std::string::npos) << "products drawn with a middle dot";
  EXPECT_EQ(canvas.AllText().find('*'), std::string::npos);
  // Term rectangles run from 2 above to 18 below the line's top, left to right.
  EXPECT_EQ(model.TermRects[0].Top, 3);
  EXPECT_EQ(model.TermRects[0].Bottom, 23);
  for (size_t t = 1; t < 6; ++t) EXPECT_GT(model.TermRects[t].Left, model.TermRects[t - 1].Right);

  // A click on a3 selects it; Exclude crosses it out in red.
  const TRect r = model.TermRects[3];
  model.ClickAt((r.Left + r.Right) / 2, r.Top + 5);
  EXPECT_EQ(model.SelectedTerm, 3);
  model.ToggleExclusion();
  RecordingCanvas crossed;
  model.DrawEqn(crossed, 2000);
  int redLines = 0;
  for (const TCanvasOperation& op : crossed.Operations)
    if (op.Operation == TCanvasOperation::kLine && op.Colour == kRgbRed) ++redLines;
  EXPECT_EQ(redLines, 2);
  model.ClickAt(1, 100);
  EXPECT_EQ(model.SelectedTerm, -1);

  // A narrow picture breaks the line: the next line starts 20 lower at x = 25.
  RecordingCanvas narrow;
  EXPECT_GT(model.DrawEqn(narrow, 120), 25);
  EXPECT_EQ(model.TermRects.back().Top, model.DrawEqn(narrow, 120) - 22) << "the last term on the last line";
  EXPECT_GT(model.TermRects.back().Top, model.TermRects.front().Top);

  // After a fit the picture is black and has no term rectangles.
  ASSERT_EQ(model.OkClick(), TLinearRegressionModel::kOkFitted);
  RecordingCanvas fitted;
  model.DrawEqn(fitted, 2000);
  EXPECT_TRUE(model.TermRects.empty());
  for (const TCanvasOperation* op : fitted.Texts()) EXPECT_EQ(op->Colour, kRgbBlack);
}

TEST_F(LinearRegressionTest, OnlyTheFirstSixIndependentsEnter) {
  std::vector<std::string> names{"Y", "A", "B", "C", "D", "E", "F", "G"};
  MakeTable(names, std::vector<std::vector<long double>>(8, kX));
  Choose(0, {1, 2, 3, 4, 5, 6, 7}, 1);
  EXPECT_EQ(model.EquationText, "Y=a0+a1*A+a2*B+a3*C+a4*D+a5*E+a6*F");
}

TEST_F(LinearRegressionTest, ChoosingVariablesEnablesFit) {
  MakeTable({"X", "Y", "Z"}, {kX, kY, kY});
  model.ClickIndependents({false, false, false});
  EXPECT_FALSE(model.FitEnabled);
  model.ClickIndependents({false, true, false});
  EXPECT_TRUE(model.FitEnabled);
  EXPECT_EQ(model.EquationText, "X=a0+a1*Y+a2*Y^2") << "the default dependent is the first column";
  // The dependent among the independents: the dependent choice is removed.
  model.ClickIndependents({true, true, false});
  EXPECT_EQ(model.Dependent, -1);
  EXPECT_FALSE(model.FitEnabled);
  // Choosing a selected column as dependent deselects it as independent and
  // leaves "Fit" disabled until the next choice.
  model.ClickDependent(0);
  EXPECT_FALSE(model.IndependentSelected[0]);
  EXPECT_FALSE(model.FitEnabled);
  model.ClickDependent(2);
  EXPECT_TRUE(model.FitEnabled);
  EXPECT_EQ(model.EquationText, "Z=a0+a1*Y+a2*Y^2");
}

// y = 2x + 1 on five points is fitted exactly.
TEST_F(LinearRegressionTest, StraightLineIsExact) {
  MakeTable({"x", "y"}, {{1, 2, 3, 4, 5}, {3, 5, 7, 9, 11}});
  Choose(1, {0}, 1);
  ASSERT_EQ(model.OkClick(), TLinearRegressionModel::kOkFitted);
  EXPECT_TRUE(Near(model.Coefficients[0], 1, 1e-15L));
  EXPECT_TRUE(Near(model.Coefficients[1], 2, 1e-15L));
  EXPECT_LT(std::fabs(model.Rms), 1e-15L);
  EXPECT_TRUE(Near(model.RSquared, 100, 1e-15L));
  EXPECT_EQ(model.EquationText, "y=1+2*x");
  EXPECT_EQ(model.OkCaption, "Copy");
  EXPECT_EQ(model.CancelCaption, "Done");
  EXPECT_TRUE(model.StatsEnabled);
  // The same button now copies; any change of the form restores "Fit".
  EXPECT_EQ(model.OkClick(), TLinearRegressionModel::kOkCopied);
  EXPECT_EQ(platform.clipboard, "y=1+2*x");
  model.SetOrder(2);
  EXPECT_EQ(model.OkCaption, "Fit");
  EXPECT_FALSE(model.StatsEnabled);
  EXPECT_FALSE(model.Fitted);
}

TEST_F(LinearRegressionTest, OrderZeroIsTheMean) {
  MakeTable({"x", "y"}, {kX, kY});
  Choose(1, {0}, 0);
  EXPECT_EQ(model.EquationText, "y=a0");
  ASSERT_EQ(model.OkClick(), TLinearRegressionModel::kOkFitted);
  // (2.1 + 3.9 + 6.2 + 7.8 + 10.1 + 12.2)/6 = 42.3/6 = 7.05.
  EXPECT_TRUE(Near(model.Coefficients[0], 7.05L, 1e-17L));
  EXPECT_EQ(model.EquationText, "y=7.05");
}

// Reference values worked out in exact rational arithmetic from the normal
// equations (independently of this code), with rms = √(Σe²/(N − 2)) and the
// standard errors √(inverse diagonal)·rms: order 1: a = (−1/50, 101/50),
// Σe² = 16/125; order 2: a = (23/100, 733/400, 3/112), Σe² = 1417/14000.
TEST_F(LinearRegressionTest, HandComputedFits) {
  struct Case {
    int32_t order;
    std::vector<long double> a;
    long double rms, r2;
    std::vector<long double> se;
    std::string equation;
  };
  const Case cases[] = {
      {1, {-0.02L, 2.02L}, 0.1788854382L, 99.8210666107L, {0.166533279957L, 0.042761798706L}, "y=-0.02+2.02*x"},
      {2, {0.23L, 1.8325L, 3.0L / 112}, 0.159070963499L, 99.8585108189L,
       {0.284554790105L, 0.186163519164L, 0.0260340975395L},
       "y=0.23+1.8325*x+0.026786*x^2"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.order);
    MakeTable({"x", "y"}, {kX, kY});
    Choose(1, {0}, k.order);
    ASSERT_EQ(model.OkClick(), TLinearRegressionModel::kOkFitted);
    for (size_t t = 0; t < k.a.size(); ++t) {
      EXPECT_TRUE(Near(model.Coefficients[t], k.a[t], 1e-12L)) << t;
      EXPECT_TRUE(Near(model.StandardErrors[t], k.se[t], 1e-6L)) << t;
    }
    EXPECT_LT(std::fabs(model.Bias), 1e-15L);
    EXPECT_TRUE(Near(model.Rms, k.rms, 1e-6L));
    EXPECT_TRUE(Near(model.RSquared, k.r2, 1e-8L));
    EXPECT_EQ(model.EquationText, k.equation);
  }
  const TRegressionStatsTexts s = model.StatsTexts();
  EXPECT_EQ(s.Points, "No. points = 6");
  EXPECT_EQ(s.Rms, "rms = 1.5907E-01");
  EXPECT_EQ(s.RSquared, "R^2 = 99.86%");
  ASSERT_EQ(s.Cells.size(), 4u);
  EXPECT_EQ(s.Cells[0][1], "         Value");
  EXPECT_EQ(s.Cells[0][2], "     Std. Error");
  EXPECT_EQ(s.Cells[1][0], "    a0");
  EXPECT_EQ(s.Cells[1][1], "  2.300000E-01");
  EXPECT_EQ(s.Cells[3][1], "  2.678571E-02");
  EXPECT_EQ(s.Cells[3][2], "  2.603410E-02");
  model.CopyStats();
  EXPECT_EQ(platform.clipboard.substr(0, 30), "  2.300000E-01\t  2.845548E-01\r");
}

// NIST StRD linear regression dataset Norris (calibration of ozone monitors,
// 36 observations), https://www.itl.nist.gov/div898/strd/lls/data/Norris.shtml.
// Certified: B0 = -0.262323073774029 (sd 0.232818234301152),
// B1 = 1.00211681802045 (sd 0.429796848199937E-03), residual SD
// 0.884796396144373 (over N − 2, as rms here), R² 0.999993745883712.
TEST_F(LinearRegressionTest, NistNorris) {
  const std::vector<long double> x{0.2L,   337.4L, 118.2L, 884.6L, 10.1L,  226.5L, 666.3L, 996.3L, 448.6L,
                                   777.0L, 558.2L, 0.4L,   0.6L,   775.5L, 666.9L, 338.0L, 447.5L, 11.6L,
                                   556.0L, 228.1L, 995.8L, 887.6L, 120.2L, 0.3L,   0.3L,   556.8L, 339.1L,
                                   887.2L, 999.0L, 779.0L, 11.1L,  118.3L, 229.2L, 669.1L, 448.9L, 0.5L};
  const std::vector<long double> y{0.1L,   338.8L, 118.1L, 888.0L, 9.2L,   228.1L, 668.5L, 998.5L, 449.1L,
                                   778.9L, 559.2L, 0.3L,   0.1L,   778.1L, 668.8L, 339.3L, 448.9L, 10.8L,
                                   557.7L, 228.3L, 998.0L, 888.8L, 119.6L, 0.3L,   0.6L,   557.6L, 339.3L,
                                   888.0L, 998.5L, 778.9L, 10.2L,  117.6L, 228.9L, 668.4L, 449.2L, 0.2L};
  MakeTable({"x", "y"}, {x, y});
  Choose(1, {0}, 1);
  ASSERT_EQ(model.OkClick(), TLinearRegressionModel::kOkFitted);
  EXPECT_TRUE(Near(model.Coefficients[0], -0.262323073774029L, 1e-12L));
  EXPECT_TRUE(Near(model.Coefficients[1], 1.00211681802045L, 1e-12L));
  EXPECT_TRUE(Near(model.StandardErrors[0], 0.232818234301152L, 1e-12L));
  EXPECT_TRUE(Near(model.StandardErrors[1], 0.429796848199937E-03L, 1e-12L));
  EXPECT_TRUE(Near(model.Rms, 0.884796396144373L, 1e-12L));
  EXPECT_TRUE(Near(model.RSquared, 99.9993745883712L, 1e-12L));
}

// NIST StRD dataset Pontius (deflection against load, quadratic, 40
// observations), https://www.itl.nist.gov/div898/strd/lls/data/Pontius.shtml.
// Certified: B0 = 0.673565789473684E-03 (sd 0.107938612033077E-03),
// B1 = 0.732059160401003E-06 (sd 0.157817399981659E-09),
// B2 = -0.316081871345029E-14 (sd 0.486652849992036E-16), residual sum of
// squares 0.155761768796992E-05, R² 0.999999900178537. The certified
// standard deviations use N − 3 = 37 degrees of freedom, rms here N − 2 = 38:
// the standard errors here are the certified ones times √(37/38).
TEST_F(LinearRegressionTest, NistPontius) {
  std::vector<long double> x;
  for (int i = 0; i < 40; ++i) x.push_back(150000.0L * (i % 20 + 1));
  const std::vector<long double> y{
      .11019L, .21956L, .32949L, .43899L, .54803L, .65694L, .76562L, .87487L, .98292L, 1.09146L,
      1.20001L, 1.30822L, 1.41599L, 1.52399L, 1.63194L, 1.73947L, 1.84646L, 1.95392L, 2.06128L, 2.16844L,
      .11052L, .22018L, .32939L, .43886L, .54798L, .65739L, .76596L, .87474L, .98300L, 1.09150L,
      1.20004L, 1.30818L, 1.41613L, 1.52408L, 1.63159L, 1.73965L, 1.84696L, 1.95445L, 2.06177L, 2.16829L};
  MakeTable({"Load", "Deflection"}, {x, y});
  Choose(1, {0}, 2);
  ASSERT_EQ(model.OkClick(), TLinearRegressionModel::kOkFitted);
  const long double dof = std::sqrt(37.0L / 38.0L);
  EXPECT_TRUE(Near(model.Coefficients[0], 0.673565789473684E-03L, 1e-11L));
  EXPECT_TRUE(Near(model.Coefficients[1], 0.732059160401003E-06L, 1e-11L));
  EXPECT_TRUE(Near(model.Coefficients[2], -0.316081871345029E-14L, 1e-11L));
  EXPECT_TRUE(Near(model.StandardErrors[0], 0.107938612033077E-03L * dof, 1e-9L));
  EXPECT_TRUE(Near(model.StandardErrors[1], 0.157817399981659E-09L * dof, 1e-9L));
  EXPECT_TRUE(Near(model.StandardErrors[2], 0.486652849992036E-16L * dof, 1e-9L));
  EXPECT_TRUE(Near(model.Rms, std::sqrt(0.155761768796992E-05L / 38), 1e-9L));
  EXPECT_TRUE(Near(model.RSquared, 99.9999900178537L, 1e-13L));
}

// Excluding a0 fits through the origin. NIST StRD dataset NoInt1
// (https://www.itl.nist.gov/div898/strd/lls/data/NoInt1.shtml): x = 60..70,
// y = 130..140, y = B1·x with B1 = 2.07438016528926, sd 0.165289256198347E-01
// over N − 1 = 10 degrees of freedom, residual sum of squares
// 127.272727272727; here rms is over N − 2 = 9, so the standard error is the
// certified one times √(10/9).
TEST_F(LinearRegressionTest, ExcludedConstantFitsThroughTheOrigin) {
  std::vector<long double> x, y;
  for (int i = 0; i <= 10; ++i) x.push_back(60 + i), y.push_back(130 + i);
  MakeTable({"x", "y"}, {x, y});
  Choose(1, {0}, 1);
  model.ClickTerm(0);
  EXPECT_TRUE(model.ExcludeEnabled);
  EXPECT_EQ(model.ExcludeCaption, "Exclude");
  model.ToggleExclusion();
  EXPECT_TRUE(model.Excluded[0]);
  model.ClickTerm(0);
  EXPECT_EQ(model.ExcludeCaption, "Include");
  model.ClickTerm(0);  // the same term again unselects
  EXPECT_EQ(model.SelectedTerm, -1);
  EXPECT_FALSE(model.ExcludeEnabled);
  EXPECT_EQ(model.EquationText, "y=a0+a1*x") << "the form shows every term";
  ASSERT_EQ(model.OkClick(), TLinearRegressionModel::kOkFitted);
  EXPECT_EQ(model.Coefficients[0], 0);
  EXPECT_TRUE(IsBlank(model.StandardErrors[0]));
  EXPECT_TRUE(Near(model.Coefficients[1], 2.07438016528926L, 1e-13L));
  EXPECT_TRUE(Near(model.StandardErrors[1], 0.165289256198347E-01L * std::sqrt(10.0L / 9), 1e-12L));
  EXPECT_TRUE(Near(model.Rms, std::sqrt(127.272727272727L / 9), 1e-12L));
  // The first written term keeps its sign: "+" for every term after a0.
  EXPECT_EQ(model.EquationText, "y=+2.0744*x");
  const TRegressionStatsTexts s = model.StatsTexts();
  EXPECT_EQ(s.Cells[1][1], "  *****");
  EXPECT_EQ(s.Cells[1][2], "  *****");
}

TEST_F(LinearRegressionTest, RowRangeAndPointCount) {
  MakeTable({"x", "y"}, {kX, kY});
  Choose(1, {0}, 2);
  // Three rows for three terms fit; two give 418.
  model.FirstRow = 2, model.LastRow = 4;
  EXPECT_EQ(model.OkClick(), TLinearRegressionModel::kOkFitted);
  model.SetOrder(2);
  model.FirstRow = 2, model.LastRow = 3;
  EXPECT_EQ(model.OkClick(), TLinearRegressionModel::kOkRefused);
  EXPECT_EQ(CalcErrorCode, kMsgFitTooFewPoints);
  EXPECT_EQ(platform.alerts.back().text, "You can not fit 3 coefficients to 2 data points.");
  // The first row at most two before the last remembered row; the last row
  // within the table: a beep and the focus, no message.
  const size_t alerts = platform.alerts.size();
  const int beeps = platform.beeps;
  model.FirstRow = 5, model.LastRow = 6;
  EXPECT_EQ(model.OkClick(), TLinearRegressionModel::kOkFocusFirst);
  model.FirstRow = 0;
  EXPECT_EQ(model.OkClick(), TLinearRegressionModel::kOkFocusFirst);
  model.FirstRow = 1, model.LastRow = 7;
  EXPECT_EQ(model.OkClick(), TLinearRegressionModel::kOkFocusLast);
  EXPECT_EQ(platform.beeps, beeps + 3);
  EXPECT_EQ(platform.alerts.size(), alerts);
}

TEST_F(LinearRegressionTest, TwoRowsLeaveRmsUndefined) {
  // A straight line through rows 2..3 of a longer table: rms over N − 2 = 0
  // rows is undefined, and so are the standard errors built on it.
  MakeTable({"x", "y"}, {kX, {1, 3, 5, 7, 9, 11}});
  Choose(1, {0}, 1);
  model.FirstRow = 2, model.LastRow = 3;
  ASSERT_EQ(model.OkClick(), TLinearRegressionModel::kOkFitted);
  EXPECT_TRUE(Near(model.Coefficients[1], 2, 1e-17L));
  EXPECT_TRUE(IsBlank(model.Rms));
  EXPECT_TRUE(IsBlank(model.StandardErrors[1]));
  const TRegressionStatsTexts s = model.StatsTexts();
  EXPECT_EQ(s.Rms, "rms = *****");
  EXPECT_EQ(s.Cells[2][2], "  *****");
  EXPECT_EQ(s.Cells[2][1], "  2.000000E+00");
}

TEST_F(LinearRegressionTest, ConstantDependentLeavesRSquaredUndefined) {
  MakeTable({"x", "y"}, {kX, {4, 4, 4, 4, 4, 4}});
  Choose(1, {0}, 1);
  ASSERT_EQ(model.OkClick(), TLinearRegressionModel::kOkFitted);
  EXPECT_TRUE(IsBlank(model.RSquared));
  EXPECT_EQ(model.StatsTexts().RSquared, "R^2 = *****");
  EXPECT_TRUE(Near(model.Coefficients[0], 4, 1e-17L));
}

TEST_F(LinearRegressionTest, BlankCellIs429) {
  std::vector<long double> x = kX;
  x[3] = BlankValue;
  MakeTable({"x", "y"}, {x, kY});
  Choose(1, {0}, 1);
  EXPECT_EQ(model.OkClick(), TLinearRegressionModel::kOkRefused);
  EXPECT_EQ(CalcErrorCode, kMsgMissingRowData);
  EXPECT_EQ(platform.alerts.back().text, "Missing data in row 4, column 1");
  EXPECT_FALSE(model.Fitted);
  EXPECT_EQ(model.OkCaption, "Fit");
}

TEST_F(LinearRegressionTest, DependentIndependentsAreSingular) {
  // w equal to x, a multiple of x that binary fractions cannot hold exactly,
  // and x shifted (a combination of x and the constant term): the normal
  // equations are singular, whatever rounding leaves of the last pivot.
  std::vector<long double> tenth, shifted;
  for (long double v : kX) tenth.push_back(v / 10), shifted.push_back(v + 0.3L);
  for (const auto& w : {kX, tenth, shifted}) {
    MakeTable({"x", "w", "y"}, {kX, w, kY});
    Choose(2, {0, 1}, 1);
    EXPECT_EQ(model.OkClick(), TLinearRegressionModel::kOkRefused) << double(w[0]);
    EXPECT_EQ(CalcErrorCode, kMsgSingularity);
    EXPECT_EQ(platform.alerts.back().text, "Singularity encountered.");
    EXPECT_FALSE(model.Fitted);
  }
}

TEST_F(LinearRegressionTest, TooManyTermsIs419) {
  // Six independents of order 4 with cross terms: 1 + 24 + 15·9 terms.
  std::vector<std::string> names{"Y", "A", "B", "C", "D", "E", "F"};
  MakeTable(names, std::vector<std::vector<long double>>(7, kX));
  Choose(0, {1, 2, 3, 4, 5, 6}, 4, true);
  EXPECT_TRUE(model.TermOverflow);
  EXPECT_EQ(model.TermCount, 41);
  EXPECT_EQ(model.OkClick(), TLinearRegressionModel::kOkRefused);
  EXPECT_EQ(CalcErrorCode, kMsgCoefficientLimit);
  EXPECT_EQ(platform.alerts.back().text, "This equation form has exceeded the limit of 40 coefficients.");
}

TEST_F(LinearRegressionTest, ArraysRowsCarryTheRunOffset) {
  // The arrays table shows rows from its first array index on; row r of the
  // dialog is stored row r + 1 − that index.
  TableRunOffset = 5;
  TableRowCounts[3] = 6;
  TableColumnCounts[3] = 2;
  TTableForm* f = CreateTableForm(kArraysTableKind);
  ASSERT_NE(f, nullptr);
  for (int32_t r = 1; r <= 6; ++r) {
    FindColumn(f->Columns, 1)->SetCell(r, kX[size_t(r - 1)]);
    FindColumn(f->Columns, 2)->SetCell(r, 2 * kX[size_t(r - 1)] + 1);
  }
  FindColumn(f->Columns, 1)->Name = "x";
  FindColumn(f->Columns, 2)->Name = "y";
  model.TableKind = kArraysTableKind;
  model.Activate();
  EXPECT_FALSE(model.TableIdShown);
  EXPECT_EQ(model.FirstRow, 5);
  EXPECT_EQ(model.LastRow, 10);
  Choose(1, {0}, 1);
  model.FirstRow = 6;
  ASSERT_EQ(model.OkClick(), TLinearRegressionModel::kOkFitted);
  EXPECT_EQ(model.Points, 5);
  EXPECT_TRUE(Near(model.Coefficients[1], 2, 1e-17L));
  TableRunOffset = 1;
}

}  // namespace
}  // namespace voq

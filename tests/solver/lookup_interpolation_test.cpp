// Interpolation and differentiation in a lookup column, against values worked
// by hand from the polynomial the table samples.
#include "solver/lookup_interpolation.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "model/warnings_window.h"

namespace voq {
namespace {

// Column 1 holds x, column 2 holds y = x^3 - 2x + 1 (hand values: 0, 5, 22,
// 57, 116, 205 at x = 1..6).
struct TestTable {
  std::vector<Extended> x;
  std::vector<Extended> y;
  TInterpolationTable View() const {
    TInterpolationTable t;
    t.RowCount = static_cast<int32_t>(x.size());
    t.Cell = [this](int32_t column, int32_t row) { return column == 1 ? x[row - 1] : y[row - 1]; };
    t.ColumnName = [](int32_t column) { return std::string(column == 1 ? "X" : "Y"); };
    t.Label = "file cubic.csv";
    return t;
  }
};

TestTable Cubic() { return {{1, 2, 3, 4, 5, 6}, {0, 5, 22, 57, 116, 205}}; }

Extended Evaluate(const TestTable& data, int32_t type, Extended x, bool reciprocal = false) {
  const TInterpolationTable t = data.View();
  const int32_t order = (type - 1) % 3 + 1;
  const TBracket b = FindBracketRow(t, 1, 2, order, x);
  return InterpolateInTable(t, type, b, 1, 2, x, reciprocal);
}

TEST(LookupInterpolation, HandWorkedValues) {
  struct Case {
    int32_t type;
    Extended x;
    Extended expected;
    const char* why;
  };
  const Case cases[] = {
      {kInterpolateLinear, 2.5L, 13.5L, "midway between 5 and 22"},
      // Lagrange through (1,0), (2,5), (3,22) at 2.5: 5*0.75 + 22*0.375.
      {kInterpolateQuadratic, 2.5L, 12.0L, "quadratic through rows 1..3"},
      {kInterpolateCubic, 2.5L, 11.625L, "the cubic itself: 15.625 - 5 + 1"},
      {kInterpolateLinear, 1.0L, 0.0L, "first cell exact"},
      {kInterpolateCubic, 6.0L, 205.0L, "last cell exact"},
      {kDifferentiateCubic, 2.5L, 16.75L, "3x^2 - 2 at 2.5"},
      {kDifferentiateCubic, 5.5L, 88.75L, "3x^2 - 2 at 5.5, window at the end"},
      {kDifferentiateLinear, 2.5L, 17.0L, "chord slope 22 - 5"},
  };
  for (const Case& c : cases) {
    ClearCalcError();
    EXPECT_NEAR(static_cast<double>(Evaluate(Cubic(), c.type, c.x)), static_cast<double>(c.expected), 1e-12) << c.why;
    EXPECT_EQ(CalcErrorCode, 0) << c.why;
  }
  EXPECT_TRUE(WarningLines().empty());
}

TEST(LookupInterpolation, ReciprocalDerivativeAndDecreasingColumn) {
  EXPECT_NEAR(static_cast<double>(Evaluate(Cubic(), kDifferentiateCubic, 2.5L, true)), 1.0 / 16.75, 1e-15);
  TestTable reversed{{6, 5, 4, 3, 2, 1}, {205, 116, 57, 22, 5, 0}};
  EXPECT_NEAR(static_cast<double>(Evaluate(reversed, kInterpolateLinear, 2.5L)), 13.5, 1e-12);
  EXPECT_NEAR(static_cast<double>(Evaluate(reversed, kInterpolateCubic, 2.5L)), 11.625, 1e-12);
}

TEST(LookupInterpolation, OutOfRangeExtrapolatesWithOneWarning) {
  // Chord through (5,116) and (6,205) carried to 7: 205 + 89.
  EXPECT_NEAR(static_cast<double>(Evaluate(Cubic(), kInterpolateLinear, 7.0L)), 294.0, 1e-12);
  EXPECT_NEAR(static_cast<double>(Evaluate(Cubic(), kInterpolateLinear, 7.0L)), 294.0, 1e-12);
  // Chord through (1,0) and (2,5) carried to 0.
  EXPECT_NEAR(static_cast<double>(Evaluate(Cubic(), kInterpolateLinear, 0.0L)), -5.0, 1e-12);
  EXPECT_EQ(CalcErrorCode, 0);
  ASSERT_EQ(WarningLines().size(), 2u);
  EXPECT_EQ(WarningLines()[0], "Extrapolation was required for Y in Lookup file cubic.csv for X=7.");
}

TEST(LookupInterpolation, BlankEdgesAreSkipped) {
  TestTable t{{BlankValue, 1, 2, 3, 4, 5, 6, BlankValue}, {BlankValue, 0, 5, 22, 57, 116, 205, BlankValue}};
  EXPECT_NEAR(static_cast<double>(Evaluate(t, kInterpolateLinear, 5.5L)), 160.5, 1e-12);
  EXPECT_NEAR(static_cast<double>(Evaluate(t, kInterpolateLinear, 1.0L)), 0.0, 1e-12);
  EXPECT_EQ(CalcErrorCode, 0);
}

TEST(LookupInterpolation, Errors) {
  TestTable four{{1, 2, 3, 4}, {0, 5, 22, 57}};
  EXPECT_EQ(Evaluate(four, kInterpolateCubic, 2.5L), -999.0L);
  EXPECT_EQ(CalcErrorCode, kMsgCubicInterpolationRows);
  EXPECT_EQ(MessageArgs[1], "5");

  ClearCalcError();
  TestTable gap = Cubic();
  gap.y[2] = BlankValue;
  EXPECT_EQ(Evaluate(gap, kInterpolateLinear, 2.5L), -999.0L);
  EXPECT_EQ(CalcErrorCode, kMsgDataNotProvided);
  EXPECT_EQ(MessageArgs[1], "Y");
  EXPECT_EQ(MessageArgs[2], "X");
  EXPECT_EQ(MessageArgs[4], "file cubic.csv");

  ClearCalcError();
  TestTable twin{{1, 2, 2, 3, 4, 5}, {0, 5, 6, 22, 57, 116}};
  Evaluate(twin, kInterpolateQuadratic, 2.5L);
  EXPECT_EQ(CalcErrorCode, kMsgDivisionByZero);

  // A one-row table has no slope.
  ClearCalcError();
  TestTable one{{1}, {3}};
  EXPECT_NEAR(static_cast<double>(Evaluate(one, kInterpolateLinear, 1.0L)), 3.0, 0);
  Evaluate(one, kDifferentiateLinear, 1.0L);
  EXPECT_EQ(CalcErrorCode, kMsgDivisionByZero);
}

}  // namespace
}  // namespace voq

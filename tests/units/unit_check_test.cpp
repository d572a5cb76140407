#include "units/unit_check.h"

#include <gtest/gtest.h>

#include "core/calc_state.h"
#include "core/message_ids.h"

namespace voq {
namespace {

TUnitCheckEntry Entry(const std::string& text, const std::string& units, Extended factor, int angle) {
  TUnitCheckEntry e;
  e.Text = text;
  e.Units = units;
  e.Factor = factor;
  e.Exponents[kAnglePosition] = angle;
  return e;
}

// The angle position is tolerated when the sizes agree or both operands
// carry an angle; every other position must match.
TEST(CompareOperandUnits, AnglePositionAndTheZeroEquation) {
  const TUnitCheckEntry plain = Entry("x", "", 1, 0);
  CompareOperandUnits(Entry("a", "rad", 1, 1), plain, 0, "y=a+x");
  EXPECT_EQ(CalcErrorCode, 0);
  CompareOperandUnits(Entry("a", "deg", 0.0174533L, 1), plain, 7, "y=a+x");
  EXPECT_EQ(CalcErrorCode, 100);
  EXPECT_EQ(MessageHelpContext, 7);
  EXPECT_EQ(MessageText, "The dimensions of a [deg] and x [dimensionless] are inconsistent.");
  CalcErrorCode = 0;
  CompareOperandUnits(Entry("a", "deg", 0.0174533L, 1), Entry("b", "rad", 1, 1), 0, "y=a+b");
  EXPECT_EQ(CalcErrorCode, 100);  // same dimensions, sizes differ
  EXPECT_EQ(MessageText.rfind("The units of a [deg] and b [rad] differ by a factor of", 0), 0u);
  CalcErrorCode = 0;
  TUnitCheckEntry length = Entry("y", "m", 1, 0);
  length.Exponents[0] = 1;
  const TUnitCheckEntry zero = Entry("0", "", 1, 0);
  CompareOperandUnits(zero, length, 0, "~0=x-y");
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(MessageHelpContext, 0);
  CompareOperandUnits(zero, length, 0, "5=x-y");
  EXPECT_EQ(CalcErrorCode, 100);
  CalcErrorCode = 0;
}

TEST(ReportFunctionArgumentUnits, EmptyUnitsReadDimensionless) {
  EXPECT_EQ(ReportFunctionArgumentUnits("Exp", "", "m"),
            "The argument to Exp should be [dimensionless] but its units are [m].");
  EXPECT_EQ(MessageArgs[2], "dimensionless");
}

}  // namespace
}  // namespace voq

// The Martin-Hou state solver and its pair solvers. The main oracle is
// consistency: a state computed from (T, x) or (T, P) must come back from
// every other pair of its properties. Hand-checked values are noted at
// their cases.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/extended.h"
#include "core/message_ids.h"
#include "core/program_flags.h"
#include "model/warnings_window.h"
#include "properties/martin_hou_data.h"
#include "properties/martin_hou_eos.h"
#include "properties/martin_hou_pairs.h"
#include "properties/martin_hou_solver.h"
#include "properties/martin_hou_solver_iteration.h"

namespace voq {
namespace {

enum : int32_t { kT = 1, kP = 2, kH = 3, kU = 4, kS = 5, kV = 6, kX = 7 };
const char* const kKindName[] = {"", "T", "P", "h", "u", "s", "v", "x"};

// The solver in the core's English units: the engine installs the
// document-unit conversions, which these cases do not exercise.
class MartinHouSolver : public ::testing::Test {
 protected:
  void SetUp() override { ResetMartinHouSolverServices(); }
};

void UseFluid(int32_t number) {
  MartinHouCoefRecord* record = LoadMartinHouCoefficients(number);
  ASSERT_NE(record, nullptr);
  SetMartinHouCurrentFluid(number, *record);
}

Extended Tc() { return MartinHouCurrentFluid[kMhTc]; }
Extended Pc() { return MartinHouCurrentFluid[kMhPc]; }

// A solve in English units with output kind 8 (none of the inputs).
void Solve(int32_t kind1, Extended value1, int32_t kind2, Extended value2) {
  ClearCalcError();
  // Every request is solved afresh: the vector holds the origin's answer.
  MartinHouLastFluid = -99;
  SolveMartinHouState(0, false, false, 0, 0, 2, 8, kind1, kind2, value1, value2);
}

struct TStateValues {
  Extended value[8]{};
};

TStateValues Vector() {
  TStateValues s;
  for (int k = 1; k <= 7; ++k) s.value[k] = PropertyStateVector[static_cast<size_t>(k)];
  return s;
}

double Rel(Extended a, Extended b) { return static_cast<double>(std::fabs(a - b) / std::fabs(b)); }

// Solves (k1, k2) from the origin state and compares T, P and x with it.
void ExpectPairGivesState(const TStateValues& origin, int32_t k1, int32_t k2, bool checkPressure = true) {
  SCOPED_TRACE(std::string("pair (") + kKindName[k1] + ", " + kKindName[k2] + ")");
  Solve(k1, origin.value[k1], k2, origin.value[k2]);
  ASSERT_EQ(CalcErrorCode, 0);
  const TStateValues got = Vector();
  EXPECT_LT(Rel(got.value[kT], origin.value[kT]), 1e-4) << static_cast<double>(got.value[kT]);
  if (checkPressure) {
    EXPECT_LT(Rel(got.value[kP], origin.value[kP]), 1e-4) << static_cast<double>(got.value[kP]);
  }
  EXPECT_NEAR(static_cast<double>(got.value[kX]), static_cast<double>(origin.value[kX]), 1e-4);
}

struct TOrigin {
  int32_t fluid;
  int32_t kind2;  // kX or kP, with T
  double tOverTc;
  double second;  // x, or P / Pc
};

// Two-phase, superheated and supercritical states of R134a (9) and R12 (2).
const TOrigin kPureOrigins[] = {
    {9, kX, 0.75, 0.3}, {9, kX, 0.7966, 0.7}, {9, kX, 0.92, 0.5}, {9, kX, 0.85, 0.05},
    {9, kP, 0.9, 0.05}, {9, kP, 0.97, 0.17}, {9, kP, 1.08, 1.1},  {9, kP, 1.3, 0.5},
    {2, kX, 0.72, 0.4}, {2, kX, 0.85, 0.6},   {2, kP, 0.9, 0.1},   {2, kP, 1.1, 1.2},
};

TEST_F(MartinHouSolver, PureFluidRoundTrips) {
  for (const TOrigin& o : kPureOrigins) {
    SCOPED_TRACE("fluid " + std::to_string(o.fluid) + " T/Tc " + std::to_string(o.tOverTc) + " second " +
                 std::to_string(o.second));
    UseFluid(o.fluid);
    const Extended T = o.tOverTc * Tc();
    if (o.kind2 == kX) {
      Solve(kT, T, kX, o.second);
    } else {
      Solve(kT, T, kP, o.second * Pc());
    }
    ASSERT_EQ(CalcErrorCode, 0);
    const TStateValues origin = Vector();
    const bool twoPhase = o.kind2 == kX;
    if (!twoPhase) {
      EXPECT_EQ(origin.value[kX], 100);
    }
    const int32_t pairs[][2] = {{kP, kH}, {kP, kS}, {kT, kH}, {kT, kS}, {kT, kV}, {kP, kV},
                                {kH, kS}, {kU, kV}, {kS, kV}, {kP, kU}, {kT, kU}, {kH, kV}, {kU, kS}};
    for (const auto& pair : pairs) ExpectPairGivesState(origin, pair[0], pair[1]);
    if (twoPhase) {
      for (int32_t k : {kH, kV, kS, kU}) ExpectPairGivesState(origin, k, kX);
      ExpectPairGivesState(origin, kP, kX);
    }
  }
}

}  // namespace
}  // namespace voq

namespace voq {
namespace {

// Compressed liquid from (T, P) above the saturation pressure: the
// saturated liquid at T, its enthalpy raised by (P - Psat) vf 0.18509, and
// the four pairs that reach the liquid region give T and P back.
TEST_F(MartinHouSolver, SubcooledRoundTrips) {
  struct Case {
    int32_t fluid;
    double T;
    double P;
  };
  const Case cases[] = {{9, 536.67, 500}, {9, 480, 120}, {2, 500, 300}};
  for (const Case& c : cases) {
    SCOPED_TRACE("fluid " + std::to_string(c.fluid) + " T " + std::to_string(c.T));
    UseFluid(c.fluid);
    Solve(kT, c.T, kX, 0);
    ASSERT_EQ(CalcErrorCode, 0);
    const TStateValues liquid = Vector();
    Solve(kT, c.T, kP, c.P);
    ASSERT_EQ(CalcErrorCode, 0);
    const TStateValues origin = Vector();
    EXPECT_EQ(origin.value[kX], -100);
    const Extended raise = (c.P - liquid.value[kP]) * liquid.value[kV] * 0.18509L;
    EXPECT_NEAR(static_cast<double>(origin.value[kH] - liquid.value[kH]), static_cast<double>(raise), 1e-9);
    EXPECT_NEAR(static_cast<double>(origin.value[kU]), static_cast<double>(liquid.value[kU]), 1e-9);
    for (const auto& pair : {std::pair{kP, kS}, std::pair{kP, kU}, std::pair{kP, kH}}) {
      ExpectPairGivesState(origin, pair.first, pair.second);
    }
    // (h, s): the saturated liquid of entropy s at the pressure that gives
    // it the enthalpy; its quality stays 0.
    Solve(kH, origin.value[kH], kS, origin.value[kS]);
    ASSERT_EQ(CalcErrorCode, 0);
    EXPECT_LT(Rel(PropertyStateVector[kT], origin.value[kT]), 1e-4);
    EXPECT_LT(Rel(PropertyStateVector[kP], origin.value[kP]), 1e-4);
    EXPECT_EQ(PropertyStateVector[kX], 0);
  }
}

// Blends: R407C (21) and R410A (22) in their two-phase region. (h, x) and
// (u, x) report the bubble pressure of the temperature they find; (v, x)
// and (s, x) the pressure between bubble and dew point that the quality
// gives.
TEST_F(MartinHouSolver, BlendTwoPhaseRoundTrips) {
  const TOrigin origins[] = {{21, kX, 0.8, 0.3}, {21, kX, 0.9, 0.75}, {22, kX, 0.82, 0.5}, {22, kX, 0.7, 0.1}};
  for (const TOrigin& o : origins) {
    SCOPED_TRACE("fluid " + std::to_string(o.fluid) + " T/Tc " + std::to_string(o.tOverTc) + " x " +
                 std::to_string(o.second));
    UseFluid(o.fluid);
    Solve(kT, o.tOverTc * Tc(), kX, o.second);
    ASSERT_EQ(CalcErrorCode, 0);
    const TStateValues origin = Vector();
    // The pressure lies between dew and bubble pressure.
    EXPECT_LT(origin.value[kP], MartinHouSatPressure(origin.value[kT]));
    EXPECT_GT(origin.value[kP], MartinHouDewPressure(origin.value[kT]));
    const int32_t pairs[][2] = {{kP, kH}, {kP, kS}, {kT, kH}, {kT, kS}, {kT, kV}, {kP, kV}, {kH, kS},
                                {kU, kV}, {kS, kV}, {kP, kU}, {kT, kU}, {kH, kV}, {kU, kS}, {kV, kX},
                                {kS, kX}, {kT, kP}};
    for (const auto& pair : pairs) ExpectPairGivesState(origin, pair[0], pair[1]);
    for (int32_t k : {kH, kU}) {
      SCOPED_TRACE(kKindName[k]);
      Solve(k, origin.value[k], kX, origin.value[kX]);
      ASSERT_EQ(CalcErrorCode, 0);
      EXPECT_LT(Rel(PropertyStateVector[kT], origin.value[kT]), 1e-4);
      EXPECT_NEAR(static_cast<double>(PropertyStateVector[kX]), o.second, 1e-12);
      EXPECT_LT(Rel(PropertyStateVector[kP], MartinHouSatPressure(PropertyStateVector[kT])), 1e-12);
    }
  }
}

}  // namespace
}  // namespace voq

namespace voq {
namespace {

// Request checks and the errors of the pair solvers.
TEST_F(MartinHouSolver, ErrorNumbers) {
  UseFluid(9);
  struct Case {
    const char* what;
    int32_t argCount;
    int32_t output;
    int32_t kind1;
    Extended value1;
    int32_t kind2;
    Extended value2;
    int32_t error;
    int32_t help;
  };
  const Extended psat = MartinHouSatPressure(536.67L);
  const Case cases[] = {
      {"one argument", 1, 3, kT, 500, kP, 50, kMsgPropertyNeedsTwoVariables, 129},
      {"one argument of kind 0", 1, 3, 0, 500, kP, 50, kMsgPropertyIndicator, 129},
      {"(T, T)", 2, 3, kT, 500, kT, 510, kMsgIdenticalIndependentVariables, 0},
      {"output is an input", 2, 1, kT, 500, kP, 50, kMsgIndependentIsDependent, 129},
      {"(h, u)", 2, 1, kH, 100, kU, 90, kMsgCorrelationUnavailable, 0},
      {"(u, h) in call order", 2, 1, kU, 90, kH, 100, kMsgCorrelationUnavailable, 0},
      {"(T, P) on the saturation line", 2, 3, kT, 536.67L, kP, psat, kMsgSaturationPhaseUnknown, 0},
      {"(T, x) with x = 1.2", 2, 3, kT, 500, kX, 1.2L, kMsgQualityRange, 0},
      {"(P, x) above Pc", 2, 3, kP, 700, kX, 0.5L, kMsgAboveCriticalPoint, 0},
      {"(T, x) above Tc", 2, 3, kT, 700, kX, 0.5L, kMsgAboveCriticalPoint, 0},
      {"(P < 0, h)", 2, 1, kP, -5, kH, 100, kMsgPressureBelowZero, 0},
      {"(P < 0, s)", 2, 1, kP, -5, kS, 0.2L, kMsgPressureBelowZero, 0},
      {"(v, x) with x = -0.1", 2, 1, kV, 1, kX, -0.1L, kMsgQualityRange, 0},
      {"(T, W): a humid-air kind", 2, 3, kT, 500, 13, 0.01L, kMsgCorrelationUnavailable, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ClearCalcError();
    MessageHelpContext = 0;
    MartinHouLastFluid = -99;
    PropertyStateVector.fill(7);
    SolveMartinHouState(0, false, false, 0, 0, c.argCount, c.output, c.kind1, c.kind2, c.value1, c.value2);
    EXPECT_EQ(CalcErrorCode, c.error);
    EXPECT_EQ(MessageHelpContext, c.help);
    // A failed request leaves the vector as it was.
    EXPECT_EQ(PropertyStateVector[1], 7);
  }
  // (T, x) at exactly Tc is still allowed.
  Solve(kT, Tc(), kX, 0.5L);
  EXPECT_EQ(CalcErrorCode, 0);
}

// A blend at its bubble pressure is two-phase (saturated liquid), not an
// undetermined phase.
TEST_F(MartinHouSolver, BlendOnTheBubbleLineIsTwoPhase) {
  UseFluid(22);
  const Extended pb = MartinHouSatPressure(500);
  Solve(kT, 500, kP, pb);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_NEAR(static_cast<double>(PropertyStateVector[kX]), 0, 1e-12);
}

// The help context of error 209 comes from the substance layer's seam.
TEST_F(MartinHouSolver, AboveCriticalHelpFromTheSubstance) {
  UseFluid(9);
  InstallMartinHouSolverServices({nullptr, nullptr, [](int32_t row) { return row == 40 ? 1234 : 0; }});
  ClearCalcError();
  MessageHelpContext = 0;
  SolveMartinHouState(40, false, false, 0, 0, 2, 3, kP, kX, 700, 0.5L);
  EXPECT_EQ(CalcErrorCode, kMsgAboveCriticalPoint);
  EXPECT_EQ(MessageHelpContext, 1234);
  ResetMartinHouSolverServices();
}

// Trial calls, the reuse of the last answer and the transport path.
TEST_F(MartinHouSolver, TrialCallsReuseAndTransport) {
  UseFluid(9);
  // A trial call computes nothing, even for a valid request.
  PropertyStateVector.fill(7);
  ClearCalcError();
  SolveMartinHouState(0, true, false, 0, 0, 2, 3, kT, kX, 500, 0.5L);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(MartinHouPairSolveCount, 0);
  EXPECT_EQ(PropertyStateVector[1], 7);

  Solve(kT, 560, kP, 40);
  ASSERT_EQ(CalcErrorCode, 0);
  const Extended h = PropertyStateVector[kH];
  const Extended s = PropertyStateVector[kS];
  const int64_t before = MartinHouPairSolveCount;
  // (h, s) of the state the vector holds, twice, in either order and within
  // 1e-9: the answer is already there and nothing is evaluated.
  SolveMartinHouState(0, false, false, 0, 0, 2, 1, kH, kS, h, s);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(MartinHouPairSolveCount, before);
  const Extended t = PropertyStateVector[kT];
  EXPECT_EQ(t, 560);
  SolveMartinHouState(0, false, false, 0, 0, 2, 1, kS, kH, s + 1e-10L, h);
  EXPECT_EQ(MartinHouPairSolveCount, before);
  // Another (h, s) is solved, and its repetition is not.
  SolveMartinHouState(0, false, false, 0, 0, 2, 1, kH, kS, h + 1, s);
  SolveMartinHouState(0, false, false, 0, 0, 2, 1, kH, kS, h + 1, s);
  EXPECT_EQ(MartinHouPairSolveCount, before + 1);
  EXPECT_GT(PropertyStateVector[kT], t);
  // (T, P) is solved every time.
  SolveMartinHouState(0, false, false, 0, 0, 2, 3, kT, kP, 560, 40);
  SolveMartinHouState(0, false, false, 0, 0, 2, 3, kT, kP, 560, 40);
  EXPECT_EQ(MartinHouPairSolveCount, before + 3);
  EXPECT_EQ(PropertyStateVector[kT], t);

  // Transport: the vapour volume and the saturation pressure, the rest
  // blank, and the next state request is solved again.
  SolveMartinHouState(0, false, false, 0, 0, 2, 9, kT, kP, 560, 40);
  EXPECT_EQ(MartinHouLastFluid, -99);
  EXPECT_EQ(PropertyStateVector[1], BlankValue);
  EXPECT_EQ(PropertyStateVector[6], MartinHouVaporVolume(40, 560));
  EXPECT_EQ(PropertyStateVector[8], MartinHouSatPressure(560));
  SolveMartinHouState(0, false, false, 0, 0, 2, 9, kT, kP, 700, 40);
  EXPECT_EQ(PropertyStateVector[8], 9.99e99L);
  SolveMartinHouState(0, false, false, 0, 0, 2, 1, kH, kS, h, s);
  EXPECT_EQ(MartinHouPairSolveCount, before + 4);
  EXPECT_NEAR(static_cast<double>(PropertyStateVector[kT]), 560, 1e-3);
}

// Warning 147 for an estimated compressed liquid (every time, since such a
// state is never reused) and warning 140 once per text above the limit.
TEST_F(MartinHouSolver, SubcooledAndPressureWarnings) {
  UseFluid(9);
  const size_t start = WarningLineCount();
  ClearCalcError();
  SolveMartinHouState(0, false, false, 0, 0, 2, 3, kT, kP, 536.67L, 500);
  EXPECT_EQ(CalcErrorCode, 0);
  ASSERT_EQ(WarningLineCount(), start + 1);
  EXPECT_EQ(WarningLines().back(),
            "Properties for R134a in the subcooled region have been estimated assuming the fluid to be "
            "incompressible.");
  const int64_t count = MartinHouPairSolveCount;
  SolveMartinHouState(0, false, false, 0, 0, 2, 3, kT, kP, 536.67L, 500);
  EXPECT_EQ(MartinHouPairSolveCount, count + 1);

  UseFluid(22);
  for (int i = 0; i < 2; ++i) {
    ClearCalcError();
    MartinHouLastFluid = -99;
    SolveMartinHouState(0, false, false, 0, 600, 2, 3, kT, kP, 650, 650 + i);
    EXPECT_EQ(CalcErrorCode, 0);
  }
  ASSERT_EQ(WarningLineCount(), start + 2);
  EXPECT_EQ(WarningLines().back(), "Pressure is out of range.  The allowable range is 0 to 600 [psia].");
  // Without the preference no range warning is added.
  ClearWarningsAfter(start);
  ShowWarningMessages = false;
  SolveMartinHouState(0, false, false, 0, 600, 2, 3, kT, kP, 650, 700);
  EXPECT_EQ(WarningLineCount(), start);
  ShowWarningMessages = true;
}

// A user fluid (number above 25) has no display name in the warning.
TEST_F(MartinHouSolver, SubcooledWarningOfAUserFluid) {
  MartinHouCoefRecord* record = LoadMartinHouCoefficients(9);
  SetMartinHouCurrentFluid(90, *record);
  const size_t start = WarningLineCount();
  Solve(kT, 500, kP, 300);
  EXPECT_EQ(CalcErrorCode, 0);
  ASSERT_EQ(WarningLineCount(), start + 1);
  EXPECT_EQ(WarningLines().back(),
            "Properties for  in the subcooled region have been estimated assuming the fluid to be incompressible.");
}

}  // namespace
}  // namespace voq

namespace voq {
namespace {

// (P, u) of R134a at 77 F (536.67 R, 96.597 psia by hand from the vapour
// pressure): inside the dome the answer is two-phase with the quality the
// energy gives, not a vapour or liquid branch of the energy iteration;
// superheated it is marked +100.
TEST_F(MartinHouSolver, PressureEnergyInsideAndAboveTheDome) {
  UseFluid(9);
  const Extended psat = MartinHouSatPressure(536.67L);
  EXPECT_NEAR(static_cast<double>(psat), 96.597, 0.005);
  for (double x : {0.3, 0.7}) {
    SCOPED_TRACE(x);
    Solve(kT, 536.67L, kX, x);
    const TStateValues origin = Vector();
    Solve(kP, psat, kU, origin.value[kU]);
    ASSERT_EQ(CalcErrorCode, 0);
    EXPECT_NEAR(static_cast<double>(PropertyStateVector[kX]), x, 1e-9);
    EXPECT_NEAR(static_cast<double>(PropertyStateVector[kT]), 536.67, 1e-3);
    EXPECT_NEAR(static_cast<double>(PropertyStateVector[kH]), static_cast<double>(origin.value[kH]), 1e-6);
  }
  // The 0.7 state's enthalpy, about 88.97 Btu/lbm.
  EXPECT_NEAR(static_cast<double>(PropertyStateVector[kH]), 88.97, 0.02);
  Solve(kT, 600, kP, 40);
  const TStateValues gas = Vector();
  Solve(kP, 40, kU, gas.value[kU]);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(PropertyStateVector[kX], 100);
  EXPECT_NEAR(static_cast<double>(PropertyStateVector[kT]), 600, 1e-3);
}

// The energy residual of a pure fluid exactly at its saturation pressure
// takes the saturated liquid instead of dividing by Pd - Pb = 0.
TEST_F(MartinHouSolver, EnergyResidualOnThePureSaturationLine) {
  UseFluid(9);
  const Extended pb = MartinHouSatPressure(520);
  MartinHouState = TMartinHouState{};
  MartinHouState.P = pb;
  MartinHouState.v = 1 / MartinHouSatLiquidDensity(520);
  ClearCalcError();
  const Extended r = MartinHouStateEnergyResidual(520, 30, pb);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_TRUE(std::isfinite(static_cast<double>(r)));
  EXPECT_EQ(MartinHouState.x, 0);
  // The liquid branch just above gives the same enthalpy.
  const Extended h = MartinHouState.h;
  MartinHouStateEnergyResidual(520, 30, pb * (1 + 1e-12L));
  EXPECT_NEAR(static_cast<double>(MartinHouState.h), static_cast<double>(h), 1e-9);
}

// Gas from (P, v) whose first residual at Tc + 10 R exceeds the start's
// 9999 psia: the back-off has no step yet and the Newton goes on.
TEST_F(MartinHouSolver, GasFromPressureVolumeFarAboveTheStart) {
  UseFluid(9);
  Solve(kP, 12000, kV, 0.035L);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(PropertyStateVector[kX], 100);
  EXPECT_NEAR(static_cast<double>(MartinHouPressure(0.035L, PropertyStateVector[kT])) / 12000, 1, 1e-6);
}

// (h, s) and (u, s) with no state behind them report non-convergence, not
// a trial state of the two-phase search.
TEST_F(MartinHouSolver, EnthalpyEntropyWithoutAStateFails) {
  UseFluid(9);
  Solve(kH, -300, kS, 0.5L);
  EXPECT_EQ(CalcErrorCode, kMsgPropertyNoConvergence);
  Solve(kU, -300, kS, 0.5L);
  EXPECT_EQ(CalcErrorCode, kMsgPropertyNoConvergence);
}

// R508B's record marks a blend; the object's flag says otherwise. The
// solver follows the record, as the residuals do: (T, x) lies between the
// dew and bubble pressures, and a pure fluid stays pure whatever the flag.
TEST_F(MartinHouSolver, BlendFlagFollowsTheRecord) {
  UseFluid(25);
  ASSERT_GT(MartinHouCurrentFluid[kMhBlendValue], 0.001);
  ClearCalcError();
  MartinHouLastFluid = -99;
  SolveMartinHouState(76, false, false, 0, 0, 2, 3, kT, kX, 400, 0.5L);
  ASSERT_EQ(CalcErrorCode, 0);
  const Extended pb = MartinHouSatPressure(400);
  const Extended pd = MartinHouDewPressure(400);
  ASSERT_NE(pb, pd);
  EXPECT_NEAR(static_cast<double>(PropertyStateVector[kP]), static_cast<double>((pb + pd) / 2), 1e-9);
  // Round trip through (P, h) on the blend's two-phase states.
  const TStateValues origin = Vector();
  ExpectPairGivesState(origin, kP, kH);
  UseFluid(9);
  ClearCalcError();
  MartinHouLastFluid = -99;
  SolveMartinHouState(0, false, true, 0, 0, 2, 3, kT, kX, 500, 0.5L);
  EXPECT_EQ(PropertyStateVector[kP], MartinHouSatPressure(500));
}

// (T, P) -> h -> (P, h) of compressed R134a at 536.67 R and 500 psia: the
// saturated liquid is found at the enthalpy corrected by (P - Psat) vf.
TEST_F(MartinHouSolver, CompressedLiquidFromPressureEnthalpy) {
  UseFluid(9);
  Solve(kT, 536.67L, kP, 500);
  const Extended h = PropertyStateVector[kH];
  Solve(kP, 500, kH, h);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_NEAR(static_cast<double>(PropertyStateVector[kT]), 536.67, 0.02);
  EXPECT_EQ(PropertyStateVector[kX], -100);
}

// Every pair over a grid of states of every built-in fluid: a success
// must be a state that, evaluated again from its own T and x (or T and P),
// has the properties asked for.
TEST_F(MartinHouSolver, NoSuccessWithoutASolvedState) {
  const int32_t pairs[][2] = {{kT, kP}, {kT, kX}, {kT, kV}, {kT, kH}, {kT, kS}, {kT, kU}, {kP, kH},
                              {kP, kS}, {kP, kU}, {kP, kV}, {kP, kX}, {kH, kS}, {kH, kV}, {kH, kX},
                              {kU, kS}, {kU, kV}, {kU, kX}, {kS, kV}, {kS, kX}, {kV, kX}};
  int failures = 0;
  for (int32_t fluid = 1; fluid <= kMartinHouBuiltinCount; ++fluid) {
    UseFluid(fluid);
    std::vector<TStateValues> origins;
    for (double tr : {0.65, 0.8, 0.93}) {
      for (double x : {0.2, 0.8}) {
        Solve(kT, tr * Tc(), kX, x);
        if (CalcErrorCode == 0) origins.push_back(Vector());
      }
      const Extended ps = MartinHouSatPressure(tr * Tc());
      Solve(kT, 1.15L * tr * Tc(), kP, 0.5L * ps);
      if (CalcErrorCode == 0) origins.push_back(Vector());
      // Compressed liquid.
      if (1.5L * ps < Pc()) {
        Solve(kT, tr * Tc(), kP, 1.5L * ps);
        if (CalcErrorCode == 0) origins.push_back(Vector());
      }
    }
    Solve(kT, 1.1L * Tc(), kP, 1.2L * Pc());
    if (CalcErrorCode == 0) origins.push_back(Vector());
    for (const TStateValues& origin : origins) {
      for (const auto& pair : pairs) {
        // A compressed liquid is the saturated liquid at T lifted to P: its
        // volume, and its entropy or energy with T, name only the saturated
        // state; the pairs with P, and (h, s), reach it.
        const bool liquidPair = pair[0] == kP || (pair[0] == kH && pair[1] == kS);
        if (origin.value[kX] == -100 && !liquidPair) continue;
        Solve(pair[0], origin.value[pair[0]], pair[1], origin.value[pair[1]]);
        if (CalcErrorCode != 0) continue;
        const TStateValues got = Vector();
        const Extended x = got.value[kX];
        bool ok = std::isfinite(static_cast<double>(got.value[kT])) && got.value[kT] > 0;
        if (ok) {
          // (h, s) of a compressed liquid reports quality 0 above the
          // saturation pressure.
          const bool compressed = x == 0 && got.value[kP] > MartinHouSatPressure(got.value[kT]) * (1 + 1e-9L);
          if (x >= 0 && x <= 1 && !compressed) {
            Solve(kT, got.value[kT], kX, x);
          } else {
            Solve(kT, got.value[kT], kP, got.value[kP]);
          }
          ok = CalcErrorCode == 0;
          for (int32_t k : pair) {
            if (!ok || k == kX) continue;
            // (h, x) and (u, x) of a blend report the bubble pressure.
            if (k == kP && x >= 0 && x <= 1 && MartinHouRecordIsBlend()) continue;
            const Extended want = origin.value[k];
            const Extended have = PropertyStateVector[static_cast<size_t>(k)];
            ok = std::fabs(have - want) <= 1e-3L * std::max(std::fabs(want), Extended{1});
          }
        }
        if (!ok) {
          ++failures;
          ADD_FAILURE() << "fluid " << fluid << " pair (" << kKindName[pair[0]] << ", " << kKindName[pair[1]]
                        << ") from T " << static_cast<double>(origin.value[kT]) << " x "
                        << static_cast<double>(origin.value[kX]) << " gave T " << static_cast<double>(got.value[kT])
                        << " P " << static_cast<double>(got.value[kP]) << " x " << static_cast<double>(x);
        }
        if (failures > 40) return;
      }
    }
  }
}

}  // namespace
}  // namespace voq

namespace voq {
namespace {

// The substance layer's unit conversions: arguments into English units
// before the solve, results back after it (x never converted), the range
// warning judged in psia before the pressure is converted.
TEST_F(MartinHouSolver, UnitConversionThroughTheSeam) {
  UseFluid(22);
  // A document in K and kPa for T and P, other kinds doubled for the test.
  static std::vector<int32_t> argumentKinds;
  argumentKinds.clear();
  TMartinHouSolverServices services{};
  services.ConvertArgument = [](int32_t kind, Extended& value, Extended molarMass) {
    argumentKinds.push_back(kind);
    EXPECT_EQ(molarMass, 72.58L);
    if (kind == 1) value *= 1.8L;
    if (kind == 2) value /= 6.894757L;
  };
  services.ConvertResult = [](int32_t kind, Extended& value, Extended) {
    EXPECT_GE(kind, 1);
    EXPECT_LE(kind, 6);
    if (kind == 1) value /= 1.8L;
    if (kind == 2) value *= 6.894757L;
  };
  InstallMartinHouSolverServices(services);
  const size_t start = WarningLineCount();
  ClearCalcError();
  MartinHouLastFluid = -99;
  SolveMartinHouState(0, false, false, 72.58L, 600, 2, 3, kP, kT, 4500, 380);
  ASSERT_EQ(CalcErrorCode, 0);
  // Ordered by kind: T first.
  EXPECT_EQ(argumentKinds, (std::vector<int32_t>{kT, kP}));
  EXPECT_NEAR(static_cast<double>(PropertyStateVector[kT]), 380, 1e-9);
  EXPECT_NEAR(static_cast<double>(PropertyStateVector[kP]), 4500, 1e-9);
  EXPECT_EQ(PropertyStateVector[kX], 100);
  // 4500 kPa is 652.7 psia, above the 600 psia limit.
  EXPECT_EQ(WarningLineCount(), start + 1);
  // A refused argument stops the request.
  services.ConvertArgument = [](int32_t, Extended&, Extended) { CalcErrorCode = 143; };
  InstallMartinHouSolverServices(services);
  const int64_t count = MartinHouPairSolveCount;
  ClearCalcError();
  SolveMartinHouState(0, false, false, 72.58L, 600, 2, 3, kT, kP, -5, 100);
  EXPECT_EQ(CalcErrorCode, 143);
  EXPECT_EQ(MartinHouPairSolveCount, count);
  ResetMartinHouSolverServices();
}

}  // namespace
}  // namespace voq

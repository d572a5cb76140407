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

TEST(MartinHouSolver, PureFluidRoundTrips) {
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

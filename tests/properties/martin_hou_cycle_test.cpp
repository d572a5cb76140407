// The refrigeration cycle of tests/cases/refrigeration_r134a_mh worked by
// hand from R134a's record with the equation of state's own functions: the
// saturation pressure, the vapour volume, h and s of the vapour, the
// latent heat for the liquid, and a bisection in T for the isentropic
// compressor exit. The COP the case expects must be this one.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

#include "core/calc_state.h"
#include "properties/martin_hou_data.h"
#include "properties/martin_hou_eos.h"

namespace voq {
namespace {

// The value the case expects for `name`.
Extended Expected(const std::string& name) {
  std::ifstream in(std::string(VOQ_CASES_DIR) + "/refrigeration_r134a_mh.expected");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(name + "=", 0) == 0) return std::stold(line.substr(name.size() + 1));
  }
  ADD_FAILURE() << "no line for " << name;
  return 0;
}

TEST(MartinHouCycleTest, CopOfTheCaseByHand) {
  SetMartinHouCurrentFluid(9, *LoadMartinHouCoefficients(9));
  ClearCalcError();
  // Evaporator exit: saturated vapour at 0 F.
  const Extended T1 = 459.67L;
  const Extended P1 = MartinHouSatPressure(T1);
  const Extended v1 = MartinHouVaporVolume(P1, T1);
  const Extended h1 = MartinHouEnthalpy(T1, v1, P1);
  const Extended s1 = MartinHouEntropy(v1, T1);
  // Condenser exit: saturated liquid at 100 F, h = hg - hfg.
  const Extended T3 = 559.67L;
  const Extended P2 = MartinHouSatPressure(T3);
  const Extended vg3 = MartinHouVaporVolume(P2, T3);
  const Extended vf3 = 1 / MartinHouSatLiquidDensity(T3);
  const Extended h3 = MartinHouEnthalpy(T3, vg3, P2) - MartinHouLatentHeat(P2, vf3, vg3, T3);
  // Compressor exit: s(P2, T) = s1, by bisection above the condensing T.
  Extended low = T3 + 0.01L;
  Extended high = T3 + 200;
  for (int i = 0; i < 200; ++i) {
    const Extended mid = (low + high) / 2;
    const Extended s = MartinHouEntropy(MartinHouVaporVolume(P2, mid), mid);
    (s < s1 ? low : high) = mid;
  }
  const Extended T2 = (low + high) / 2;
  const Extended h2 = MartinHouEnthalpy(T2, MartinHouVaporVolume(P2, T2), P2);
  ASSERT_EQ(CalcErrorCode, 0);
  const Extended cop = (h1 - h3) / (h2 - h1);
  EXPECT_NEAR(static_cast<double>(cop / Expected("COP")), 1, 1e-5) << static_cast<double>(cop);
  // The states too (English units: psia, Btu/lbm, Btu/(lbm R)).
  const struct {
    const char* name;
    Extended value;
  } states[] = {{"P1", P1}, {"P2", P2}, {"h1", h1}, {"h2", h2}, {"h3", h3}, {"h4", h3}, {"s1", s1}};
  for (const auto& c : states) {
    EXPECT_NEAR(static_cast<double>(c.value / Expected(c.name)), 1, 1e-5) << c.name << " " << static_cast<double>(c.value);
  }
}

}  // namespace
}  // namespace voq

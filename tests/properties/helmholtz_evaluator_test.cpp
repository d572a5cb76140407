// The one-pass evaluations in 8-byte reals that the state solvers use
// (TGeneralEosSubstance::Derivatives) against the model slots in 10-byte
// reals, on a grid of temperatures and densities over liquid, vapour and
// supercritical states of nitrogen and water: every quantity the solvers
// form from them (the pressure factor, h/RT, s/R, cv/R, the speed-of-sound
// factor) agrees to 1e-12 of itself, or of 1 where it passes near zero.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "core/calc_state.h"
#include "model/document_settings.h"
#include "properties/fluid_catalog.h"
#include "properties/helmholtz_eos.h"
#include "properties/helmholtz_evaluator.h"
#include "properties/helmholtz_nitrogen.h"
#include "properties/substance_factory.h"
#include "properties/water_iapws95.h"

namespace voq {
namespace {

// The reduced quantities of one point from the parts.
struct TReduced {
  Extended pressureFactor, enthalpy, entropy, cv, soundFactor;
};

TReduced Reduce(const TEosDerivatives& a, Extended tau, Extended delta) {
  const Extended tauDerivatives = a.a0Tau + a.aRTau;
  const Extended cv = -tau * tau * (a.a0TauTau + a.aRTauTau);
  const Extended num = 1 + delta * a.aRDelta - delta * tau * a.aRDeltaTau;
  return TReduced{1 + delta * a.aRDelta, 1 + tau * tauDerivatives + delta * a.aRDelta,
                  tau * tauDerivatives - a.a0 - a.aR, cv,
                  1 + 2 * delta * a.aRDelta + delta * delta * a.aRDeltaDelta + num * num / cv};
}

void ExpectClose(Extended fast, Extended extended, const std::string& what) {
  const Extended scale = std::fmax(std::fabs(extended), 1);
  EXPECT_LE(std::fabs(fast - extended), 1e-12L * scale) << what << " fast " << static_cast<double>(fast)
                                                        << " extended " << static_cast<double>(extended);
}

// The grid: temperatures in K and densities in kg/m3 from dilute gas to
// the densest liquid of the fluid's range.
struct TGrid {
  const char* fluid;
  Extended tLow, tHigh, rhoLow, rhoHigh;
};

class EvaluatorGridTest : public ::testing::TestWithParam<TGrid> {};

TEST_P(EvaluatorGridTest, EightByteSumsAgreeWithTenByteSlots) {
  const TGrid& g = GetParam();
  DocumentSettings.UnitSystem = 0;
  CalcErrorCode = 0;
  std::unique_ptr<TGeneralEosSubstance> o(
      dynamic_cast<TGeneralEosSubstance*>(CreatePropertyObject(FindSubstanceRow(g.fluid))));
  ASSERT_NE(o, nullptr);
  const bool water = std::string(g.fluid) == "Steam_IAPWS";
  for (int i = 0; i <= 12; ++i) {
    const Extended T = g.tLow * std::pow(g.tHigh / g.tLow, i / 12.0L);
    for (int j = 0; j <= 16; ++j) {
      const Extended rho = g.rhoLow * std::pow(g.rhoHigh / g.rhoLow, j / 16.0L);
      const Extended tau = o->TCrit / T;
      const Extended delta = rho * o->VCrit;
      const TEosDerivatives fast = o->Derivatives(tau, delta);
      // The extended reference: the model slots for the values and first
      // derivatives, the same sums in 10-byte reals for the second ones.
      TEosDerivatives ext;
      if (water) {
        const TWaterHelmholtzParts ideal = WaterIdealParts(delta, tau, kWaterPhi | kWaterPhiT | kWaterPhiTT);
        const TWaterHelmholtzParts res = WaterResidualParts(
            delta, tau, kWaterPhi | kWaterPhiD | kWaterPhiDD | kWaterPhiT | kWaterPhiTT | kWaterPhiDT);
        ext = {ideal.phi, ideal.t, ideal.tt, res.phi, res.d, res.t, res.dd, res.tt, res.dt};
      } else {
        ext = EvaluateHelmholtzExtended(NitrogenIdealGasPart, NitrogenResidualPart, tau, delta);
      }
      const std::string at = std::string(g.fluid) + " T " + std::to_string(static_cast<double>(T)) + " rho " +
                             std::to_string(static_cast<double>(rho));
      ExpectClose(ext.a0, o->Alpha0(tau, delta), at + " slot a0");
      ExpectClose(ext.aRDelta, o->AlphaRDelta(tau, delta), at + " slot aR_delta");
      ExpectClose(ext.a0Tau + ext.aRTau, o->Alpha0Tau(tau, delta) + o->AlphaRTau(tau, delta), at + " slot tau");
      const TReduced f = Reduce(fast, tau, delta);
      const TReduced e = Reduce(ext, tau, delta);
      ExpectClose(f.pressureFactor, e.pressureFactor, at + " P/(rho R T)");
      ExpectClose(f.enthalpy, e.enthalpy, at + " h/(R T)");
      ExpectClose(f.entropy, e.entropy, at + " s/R");
      ExpectClose(f.cv, e.cv, at + " cv/R");
      ExpectClose(f.soundFactor, e.soundFactor, at + " w^2/(R T)");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Fluids, EvaluatorGridTest,
                         ::testing::Values(TGrid{"Nitrogen", 64, 2000, 1e-3L, 1000},
                                           TGrid{"Steam_IAPWS", 274, 2000, 1e-3L, 1100}),
                         [](const ::testing::TestParamInfo<TGrid>& info) {
                           return std::string(info.param.fluid) == "Nitrogen" ? std::string("Nitrogen")
                                                                              : std::string("Water");
                         });

}  // namespace
}  // namespace voq

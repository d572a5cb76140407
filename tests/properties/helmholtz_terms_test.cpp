// The term kinds of the reduced Helmholtz energy: analytic first
// derivatives against central differences, grouped exponential tables
// against the same table read per term, and the ideal-gas part at the
// reducing point.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "properties/helmholtz_nitrogen.h"
#include "properties/helmholtz_terms.h"

namespace voq {
namespace {

using Fn = std::function<Extended(Extended)>;

// Central differences with a relative step, extrapolated (Richardson):
// error O(h^4), far below 1e-7 even for the sharp Gaussian and
// non-analytic terms.
Extended Central(const Fn& f, Extended x) {
  auto step = [&](Extended h) { return (f(x + h) - f(x - h)) / (2 * h); };
  const Extended h = 1e-5L * x;
  return (4 * step(h / 2) - step(h)) / 3;
}

void ExpectRelative(Extended analytic, Extended numeric, const std::string& what) {
  EXPECT_NEAR(static_cast<double>(analytic), static_cast<double>(numeric),
              1e-7 * std::max(1e-30, std::fabs(static_cast<double>(numeric))))
      << what;
}

struct ResidualCase {
  const char* name;
  std::function<Extended(THelmholtzPart, Extended, Extended)> term;
};

// Parameters: nitrogen-like polynomial and exponential terms, the first
// Gaussian and the first non-analytic term of IAPWS-95 (Wagner and Pruss,
// J. Phys. Chem. Ref. Data 31 (2002) 387, table 6), a helium-like damped term.
TEST(HelmholtzTermsTest, AnalyticDerivativesMatchCentralDifferences) {
  const PolynomialTerm poly{0.9499541827L, 2, 0.25L};
  const PolynomialTerm polyNegativeT{0.02370620711L, 2, -0.5L};
  const ExponentialTerm expo{-0.05032519699L, 2, 1.5L, 2};
  const ExponentialTerm expoL3{0.1138121942L, 1, 4, 3};
  const ExponentialTerm expoNoFactor{0.3983768749L, 3, 0.75L, 0};
  const GaussianTerm gauss{-31.306260323435L, 3, 0, 20, 150, 1.21L, 1};
  const NonAnalyticTerm nonAnalytic{-0.14874640856724L, 3.5L, 0.85L, 0.2L, 28, 700, 0.32L, 0.3L};
  const DampedExponentialTerm damped{2.08984171567L, 3};
  // Term 8 of R152a (Kim, Borgnakke and Sonntag 1997): d = 2.2.
  const RealExponentialTerm realD{-0.529265795606284L, 2.2L, 1.4L, 1};
  const std::vector<ResidualCase> cases{
      {"polynomial", [&](THelmholtzPart p, Extended t, Extended d) { return poly.Evaluate(p, t, d); }},
      {"polynomial t<0", [&](THelmholtzPart p, Extended t, Extended d) { return polyNegativeT.Evaluate(p, t, d); }},
      {"exponential l=2", [&](THelmholtzPart p, Extended t, Extended d) { return expo.Evaluate(p, t, d); }},
      {"exponential l=3", [&](THelmholtzPart p, Extended t, Extended d) { return expoL3.Evaluate(p, t, d); }},
      {"exponential l=0", [&](THelmholtzPart p, Extended t, Extended d) { return expoNoFactor.Evaluate(p, t, d); }},
      {"gaussian", [&](THelmholtzPart p, Extended t, Extended d) { return gauss.Evaluate(p, t, d); }},
      {"non-analytic", [&](THelmholtzPart p, Extended t, Extended d) { return nonAnalytic.Evaluate(p, t, d); }},
      {"damped", [&](THelmholtzPart p, Extended t, Extended d) { return damped.Evaluate(p, t, d); }},
      {"real-d exponential", [&](THelmholtzPart p, Extended t, Extended d) { return realD.Evaluate(p, t, d); }},
  };
  for (const auto& c : cases) {
    for (Extended tau : {0.6L, 0.95L, 1.1L, 1.8L}) {
      for (Extended delta : {0.05L, 0.7L, 1.3L, 2.6L}) {
        const std::string where = std::string(c.name) + " tau=" + std::to_string(static_cast<double>(tau)) +
                                  " delta=" + std::to_string(static_cast<double>(delta));
        const Fn byDelta = [&](Extended d) { return c.term(THelmholtzPart::kValue, tau, d); };
        const Fn byTau = [&](Extended t) { return c.term(THelmholtzPart::kValue, t, delta); };
        ExpectRelative(c.term(THelmholtzPart::kDDelta, tau, delta), Central(byDelta, delta), where + " d/ddelta");
        ExpectRelative(c.term(THelmholtzPart::kDTau, tau, delta), Central(byTau, tau), where + " d/dtau");
      }
    }
  }
}

TEST(HelmholtzTermsTest, IdealGasTermDerivativesMatchCentralDifferences) {
  const PlanckEinsteinTerm planck{1.00773735767L, 26.573630074568L};
  const PowerTerm power{5.5206639361281e-4L, -1.5L};
  const TauLogTauTerm tauLog{0.0047683932094094L};
  const ShiftedLogTerm shifted{-0.5L, 3.2L};
  struct Case {
    const char* name;
    Fn value, dTau;
  };
  const std::vector<Case> cases{
      {"planck-einstein", [&](Extended t) { return planck.Value(t); }, [&](Extended t) { return planck.DTau(t); }},
      {"power", [&](Extended t) { return power.Value(t); }, [&](Extended t) { return power.DTau(t); }},
      {"tau log tau", [&](Extended t) { return tauLog.Value(t); }, [&](Extended t) { return tauLog.DTau(t); }},
      {"shifted log", [&](Extended t) { return shifted.Value(t); }, [&](Extended t) { return shifted.DTau(t); }},
  };
  for (const auto& c : cases) {
    for (Extended tau : {0.07L, 0.4L, 1.3L, 2.0L}) {
      ExpectRelative(c.dTau(tau), Central(c.value, tau), std::string(c.name) + " " + std::to_string(double(tau)));
    }
  }
  // The whole ideal part: Alpha0Tau against Alpha0.
  for (Extended tau : {0.1L, 0.6L, 1.0L, 1.9L}) {
    const Fn f = [&](Extended t) { return IdealGasAlpha0(NitrogenIdealGasPart, t, 0.8L); };
    ExpectRelative(IdealGasAlpha0Tau(NitrogenIdealGasPart, tau), Central(f, tau), "nitrogen alpha0");
  }
}

// The nitrogen residual sums against their own central differences.
TEST(HelmholtzTermsTest, NitrogenResidualDerivatives) {
  for (Extended tau : {0.3L, 0.9L, 1.6L}) {
    for (Extended delta : {0.01L, 0.8L, 2.4L}) {
      const Fn byDelta = [&](Extended d) { return SumResidualPart(NitrogenResidualPart, THelmholtzPart::kValue, tau, d); };
      const Fn byTau = [&](Extended t) { return SumResidualPart(NitrogenResidualPart, THelmholtzPart::kValue, t, delta); };
      ExpectRelative(SumResidualPart(NitrogenResidualPart, THelmholtzPart::kDDelta, tau, delta), Central(byDelta, delta),
                     "dDelta");
      ExpectRelative(SumResidualPart(NitrogenResidualPart, THelmholtzPart::kDTau, tau, delta), Central(byTau, tau),
                     "dTau");
    }
  }
}

// The ammonia residual table of Tillner-Roth, Harms-Watzenberg and Baehr
// (1993): stored by group (ends 5, 10, 17, 21: five terms without factor,
// then l = 1, 2, 3) and per term (l = 0 for the first five).
TEST(HelmholtzTermsTest, GroupedExponentialTableEqualsPerTermTable) {
  static constexpr std::array<Extended, 21> n{
      0.04554431L,   0.7238548L,    0.0122947L,   -1.858814L,   2.141882e-11L, -0.0143002L,   0.3441324L,
      -0.2873571L,   0.00002352589L, -0.03497111L, 0.02397852L,  0.001831117L, -0.04085375L, 0.2379275L,
      -0.03548972L,  -0.1823729L,   0.02281556L,  -0.006663444L, -0.008847486L, 0.002272635L, -0.0005588655L};
  static constexpr std::array<int32_t, 21> d{2, 1, 4, 1, 15, 3, 3, 1, 8, 2, 1, 8, 1, 2, 3, 2, 4, 3, 1, 2, 4};
  static constexpr std::array<Extended, 21> t{-0.5L, 0.5L, 1, 1.5L, 3, 0, 3, 4, 4, 5, 3,
                                              5,     6,    8, 8,    10, 10, 5, 7.5L, 15, 30};
  static constexpr std::array<int32_t, 21> l{0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3};
  static constexpr std::array<int32_t, 4> ends{5, 10, 17, 21};
  const TExponentialTable grouped{n, d, t, {}, ends};
  const TExponentialTable perTerm{n, d, t, l, {}};
  for (Extended tau : {0.5L, 1.0L, 1.7L}) {
    for (Extended delta : {0.2L, 1.0L, 2.5L}) {
      for (auto part : {THelmholtzPart::kValue, THelmholtzPart::kDDelta, THelmholtzPart::kDTau}) {
        EXPECT_EQ(SumExponentialTerms(grouped, part, tau, delta), SumExponentialTerms(perTerm, part, tau, delta));
      }
    }
  }
  // A per-term l of 0 is the plain polynomial term.
  const TPolynomialTable poly{std::span(n).first(5), std::span(d).first(5), std::span(t).first(5)};
  const TExponentialTable head{std::span(n).first(5), std::span(d).first(5), std::span(t).first(5),
                               std::span(l).first(5), {}};
  EXPECT_EQ(SumExponentialTerms(head, THelmholtzPart::kValue, 1.2L, 0.9L),
            SumPolynomialTerms(poly, THelmholtzPart::kValue, 1.2L, 0.9L));
}

// At delta = tau = 1 the logarithms vanish: alpha0 = a1 + a2 + the further
// terms at tau = 1 (hand sum of nitrogen's constants).
TEST(HelmholtzTermsTest, Alpha0AtTheReducingPointIsTheSumOfItsTerms) {
  const long double expected = 10.26835183L - 8.27236253L + 0.0047683932094094L * (0 - 1) +
                               1.00773735767L * std::log(1 - std::exp(-26.573630074568L)) + 6.9424036722816e-5L -
                               0.0011904392277274L + 5.5206639361281e-4L - 3.9535259257331e-5L + 4.2933110331017e-7L;
  EXPECT_NEAR(static_cast<double>(IdealGasAlpha0(NitrogenIdealGasPart, 1, 1)), static_cast<double>(expected), 1e-15);
}

// Real powers of a non-positive base vanish; integer powers keep the sign.
TEST(HelmholtzTermsTest, RealPowersVanishForNegativeBase) {
  const PolynomialTerm odd{2, 3, 1};
  EXPECT_EQ(odd.Evaluate(THelmholtzPart::kValue, 1, -1), -2);
  const PowerTerm root{1, 0.5L};
  EXPECT_EQ(root.Value(-0.5L), 0);
}

}  // namespace
}  // namespace voq

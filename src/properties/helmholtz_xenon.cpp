// Xenon's region-switched residual and ideal parts.
//
// The residual part sums 36 base terms everywhere and seven further blocks
// of its 92-term table only inside their regions of (tau, delta). The
// blocks' polynomials are fitted so that the sums on the two sides of most
// bounds agree closely (the B2/B3 polynomial vanishes where they meet, and
// equals -n57 and -n58 at the outer bounds, where T57 and T58 take over);
// the switches themselves are sharp, with no blending: value and
// derivatives sum exactly the same terms under exactly the same tests.
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "core/numeric_library.h"
#include "properties/helmholtz_second_group_internal.h"

namespace voq {

namespace {

// Bounds of the regions.
constexpr Extended kDeltaLow = 0.3690271065L;
constexpr Extended kDeltaB2B3 = 1.0131868972L;
constexpr Extended kDeltaHigh = 2.1159010009L;
constexpr Extended kDeltaB5B6 = 1.0022688917L;
constexpr Extended kDeltaB5Low = 0.556816051L;
constexpr Extended kDeltaB6High = 1.3516436688L;
constexpr Extended kTauLow = 0.852514919L;
constexpr Extended kTauHigh = 1.017293998L;

constexpr uint32_t kB2 = 1, kB3 = 2, kT57 = 4, kT58 = 8, kB4 = 16, kB5 = 32, kB6 = 64;

// Terms first..last (1-based, inclusive) of the table.
struct TBlock {
  uint32_t bit;
  size_t first, last;
};
constexpr TBlock kBlocks[] = {{kB2, 37, 46}, {kB3, 47, 56}, {kT57, 57, 57}, {kT58, 58, 58},
                              {kB4, 59, 60}, {kB5, 61, 76}, {kB6, 77, 92}};

// One term n delta^d tau^t or its derivative; delta^d an integer power
// (delta^-1 by division), tau^t by PowerReal.
Extended Term(size_t i, THelmholtzPart part, Extended tau, Extended delta) {
  const Extended n = XenonN[i];
  const int32_t d = XenonD[i];
  const Extended t = XenonT[i];
  switch (part) {
    case THelmholtzPart::kValue: return n * IntPower(d, delta) * PowerReal(tau, t);
    case THelmholtzPart::kDDelta: return d == 0 ? 0 : n * d * IntPower(d - 1, delta) * PowerReal(tau, t);
    case THelmholtzPart::kDTau: return n * t * IntPower(d, delta) * PowerReal(tau, t - 1);
  }
  return 0;
}

}  // namespace

uint32_t XenonBlocks(Extended tau, Extended delta) {
  uint32_t blocks = 0;
  if (delta > kDeltaLow && delta <= kDeltaB2B3) blocks |= kB2;
  if (delta > kDeltaB2B3 && delta < kDeltaHigh) blocks |= kB3;
  if (delta > kDeltaLow && delta < kDeltaHigh && (delta <= kDeltaB5B6 || tau <= 1)) blocks |= kT57;
  if (delta > 1 && delta < kDeltaHigh && tau > 1) blocks |= kT58;
  if (delta >= kDeltaHigh && tau < 1) blocks |= kB4;
  const bool tauBand = tau > kTauLow && tau < kTauHigh;
  if (tauBand && delta > kDeltaB5Low && delta <= kDeltaB5B6) blocks |= kB5;
  if (tauBand && delta > kDeltaB5B6 && delta < kDeltaB6High) blocks |= kB6;
  return blocks;
}

Extended XenonResidual(THelmholtzPart part, Extended tau, Extended delta) {
  Extended sum = 0;
  for (size_t i = 0; i < 36; ++i) sum += Term(i, part, tau, delta);
  const uint32_t blocks = XenonBlocks(tau, delta);
  for (const TBlock& b : kBlocks) {
    if ((blocks & b.bit) == 0) continue;
    for (size_t i = b.first - 1; i < b.last; ++i) sum += Term(i, part, tau, delta);
  }
  return sum;
}

namespace {

// The distinct tau exponents of the table and each term's place among them.
struct TXenonExponents {
  std::vector<Extended> t;
  std::array<uint32_t, 92> index{};
};

const TXenonExponents& XenonExponents() {
  static const TXenonExponents exponents = [] {
    TXenonExponents e;
    for (size_t i = 0; i < XenonT.size(); ++i) {
      auto at = std::find(e.t.begin(), e.t.end(), XenonT[i]);
      if (at == e.t.end()) at = e.t.insert(e.t.end(), XenonT[i]);
      e.index[i] = static_cast<uint32_t>(at - e.t.begin());
    }
    return e;
  }();
  return exponents;
}

}  // namespace

// The terms and blocks of XenonResidual with the same products in the same
// order (so value and first derivatives agree with it bit for bit), each
// tau^t raised once per tau through the cache, and the second derivatives
// of n delta^d tau^t analytically, summed over exactly the same blocks:
//   d2/ddelta2 = n d (d - 1) delta^(d-2) tau^t,  d2/dtau2 = n t (t - 1) delta^d tau^(t-2),
//   d2/ddelta dtau = n d t delta^(d-1) tau^(t-1).
TResidualDerivatives XenonResidualDerivatives(TTauPowerCache& powers, Extended tau, Extended delta) {
  const TXenonExponents& exponents = XenonExponents();
  if (!powers.HasExponents()) powers.SetExponents(exponents.t);
  const Extended* pt = powers.Powers(tau);
  const Extended* pb = powers.PowersBelow(tau);
  std::array<Extended, 10> dp{};  // IntPower(k, delta), k = 0..9
  for (size_t k = 0; k < dp.size(); ++k) dp[k] = IntPower(static_cast<int32_t>(k), delta);
  const Extended invTau = 1 / tau;
  TResidualDerivatives r;
  auto add = [&](size_t i) {
    const Extended n = XenonN[i];
    const int32_t d = XenonD[i];
    const Extended t = XenonT[i];
    const Extended p = pt[exponents.index[i]];
    const Extended b = pb[exponents.index[i]];
    const auto du = static_cast<size_t>(d);
    r.a += n * dp[du] * p;
    r.aDelta += d == 0 ? 0 : n * d * dp[du - 1] * p;
    r.aTau += n * t * dp[du] * b;
    if (d >= 2) r.aDeltaDelta += n * d * (d - 1) * dp[du - 2] * p;
    r.aTauTau += n * t * (t - 1) * dp[du] * b * invTau;
    if (d != 0) r.aDeltaTau += n * d * t * dp[du - 1] * b;
  };
  for (size_t i = 0; i < 36; ++i) add(i);
  const uint32_t blocks = XenonBlocks(tau, delta);
  for (const TBlock& b : kBlocks) {
    if ((blocks & b.bit) == 0) continue;
    for (size_t i = b.first - 1; i < b.last; ++i) add(i);
  }
  return r;
}

Extended XenonResidualDelta(TTauPowerCache& powers, Extended tau, Extended delta) {
  const TXenonExponents& exponents = XenonExponents();
  if (!powers.HasExponents()) powers.SetExponents(exponents.t);
  const Extended* pt = powers.Powers(tau);
  std::array<Extended, 10> dp{};
  for (size_t k = 0; k < dp.size(); ++k) dp[k] = IntPower(static_cast<int32_t>(k), delta);
  Extended sum = 0;
  auto add = [&](size_t i) {
    const int32_t d = XenonD[i];
    sum += d == 0 ? 0 : XenonN[i] * d * dp[static_cast<size_t>(d) - 1] * pt[exponents.index[i]];
  };
  for (size_t i = 0; i < 36; ++i) add(i);
  const uint32_t blocks = XenonBlocks(tau, delta);
  for (const TBlock& b : kBlocks) {
    if ((blocks & b.bit) == 0) continue;
    for (size_t i = b.first - 1; i < b.last; ++i) add(i);
  }
  return sum;
}

namespace {

// The ideal part's terms of the dense cold region: c_k tau^e_k + 0.44435064 ln tau.
constexpr Extended kRegionC[] = {0.19264642L, -0.87538506L, 2.4301208L, -2.82129622439L, 1.21277456417L,
                                 -0.140134189109L};
constexpr Extended kRegionE[] = {-2, -1, 0, 1, 2, 4};
constexpr Extended kRegionLog = 0.44435064L;
constexpr Extended kIdealDelta = 1.011086L;

bool IdealRegion(Extended tau, Extended delta) { return delta > kIdealDelta && tau > 1; }

}  // namespace

// ln delta + 6.63284367542 - 1.4020567 tau + 1.5 ln tau, plus the region's
// terms for delta > 1.011086 and tau > 1 (both strict). A delta at or below
// 0 takes ln(1e-6).
Extended XenonAlpha0(const TGeneralEosSubstance&, Extended tau, Extended delta) {
  const Extended lnDelta = std::log(delta > 0 ? delta : 1e-6L);
  Extended a = lnDelta + 6.63284367542L - 1.4020567L * tau + 1.5L * std::log(tau);
  if (IdealRegion(tau, delta)) {
    for (size_t k = 0; k < 6; ++k) a += kRegionC[k] * PowerReal(tau, kRegionE[k]);
    a += kRegionLog * std::log(tau);
  }
  return a;
}

Extended XenonAlpha0Tau(const TGeneralEosSubstance&, Extended tau, Extended delta) {
  Extended a = 1.5L / tau - 1.4020567L;
  if (IdealRegion(tau, delta)) {
    for (size_t k = 0; k < 6; ++k) a += kRegionC[k] * kRegionE[k] * PowerReal(tau, kRegionE[k] - 1);
    a += kRegionLog / tau;
  }
  return a;
}

// -1.5/tau^2 plus the region's c_k e_k (e_k - 1) tau^(e_k - 2) - 0.44435064/tau^2.
Extended XenonAlpha0TauTau(const TGeneralEosSubstance&, Extended tau, Extended delta) {
  Extended a = -1.5L / (tau * tau);
  if (IdealRegion(tau, delta)) {
    for (size_t k = 0; k < 6; ++k) a += kRegionC[k] * kRegionE[k] * (kRegionE[k] - 1) * PowerReal(tau, kRegionE[k] - 2);
    a -= kRegionLog / (tau * tau);
  }
  return a;
}

}  // namespace voq

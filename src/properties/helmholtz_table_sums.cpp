#include "properties/helmholtz_table_sums.h"

#include <algorithm>
#include <cmath>

#include "core/numeric_library.h"

namespace voq {

// ---- Powers of tau ------------------------------------------------------------

void TTauPowerCache::SetExponents(std::span<const Extended> exponents) {
  exponents_.assign(exponents.begin(), exponents.end());
  for (TSlot& slot : slots_) {
    slot.valid = false;
    slot.power.assign(exponents_.size(), 0);
    slot.below.assign(exponents_.size(), 0);
  }
}

TTauPowerCache::TSlot& TTauPowerCache::SlotOf(Extended tau) {
  for (TSlot& slot : slots_) {
    if (slot.valid && slot.tau == tau) return slot;
  }
  TSlot& slot = slots_[next_];
  next_ = (next_ + 1) % kSlots;
  slot.valid = true;
  slot.haveBelow = false;
  slot.tau = tau;
  // As PowerReal: exp(t ln tau), 0 for tau at or below 0.
  const Extended lnTau = tau > 0 ? std::log(tau) : 0;
  for (size_t k = 0; k < exponents_.size(); ++k) slot.power[k] = tau > 0 ? std::exp(exponents_[k] * lnTau) : 0;
  return slot;
}

const Extended* TTauPowerCache::Powers(Extended tau) { return SlotOf(tau).power.data(); }

const Extended* TTauPowerCache::PowersBelow(Extended tau) {
  TSlot& slot = SlotOf(tau);
  if (!slot.haveBelow) {
    const Extended lnTau = tau > 0 ? std::log(tau) : 0;
    for (size_t k = 0; k < exponents_.size(); ++k) {
      slot.below[k] = tau > 0 ? std::exp((exponents_[k] - 1) * lnTau) : 0;
    }
    slot.haveBelow = true;
  }
  return slot.below.data();
}

// ---- Table sums ------------------------------------------------------------------

namespace {

constexpr int32_t kMaxD = 30;
constexpr int32_t kMaxL = 15;

}  // namespace

bool TResidualTableSums::Covers(const TResidualPart& part) {
  if (!part.damped.n.empty() || !part.gaussian.n.empty() || !part.nonAnalytic.n.empty()) return false;
  auto dInRange = [](std::span<const int32_t> d) {
    return std::all_of(d.begin(), d.end(), [](int32_t k) { return k >= 0 && k <= kMaxD; });
  };
  const TExponentialTable& x = part.exponential;
  if (!dInRange(part.polynomial.d) || !dInRange(x.d)) return false;
  if (!x.l.empty()) return std::all_of(x.l.begin(), x.l.end(), [](int32_t l) { return l >= 0 && l <= kMaxL; });
  return x.groupEnds.size() <= static_cast<size_t>(kMaxL) + 1;
}

TResidualTableSums::TResidualTableSums(const TResidualPart& part) {
  std::vector<Extended> exponents;
  auto add = [&](Extended n, int32_t d, Extended t, int32_t l) {
    auto at = std::find(exponents.begin(), exponents.end(), t);
    if (at == exponents.end()) at = exponents.insert(exponents.end(), t);
    terms_.push_back({n, t, d, l, static_cast<uint32_t>(at - exponents.begin())});
  };
  const TPolynomialTable& p = part.polynomial;
  for (size_t i = 0; i < p.n.size(); ++i) add(p.n[i], p.d[i], p.t[i], 0);
  polynomialCount_ = terms_.size();
  // As SumExponentialTerms: l per term, or by group (terms past the last
  // group's end are not summed).
  const TExponentialTable& x = part.exponential;
  const size_t count = x.n.size();
  if (!x.l.empty()) {
    for (size_t i = 0; i < count; ++i) add(x.n[i], x.d[i], x.t[i], x.l[i]);
  } else {
    size_t i = 0;
    for (size_t k = 0; k < x.groupEnds.size(); ++k) {
      const size_t end = std::min(count, static_cast<size_t>(std::max(0, x.groupEnds[k])));
      for (; i < end; ++i) add(x.n[i], x.d[i], x.t[i], static_cast<int32_t>(k));
    }
  }
  for (const TTerm& term : terms_) {
    for (const int32_t k : {term.d - 2, term.d - 1, term.d, term.l}) {
      if (std::find(deltaExponents_.begin(), deltaExponents_.end(), k) == deltaExponents_.end()) {
        deltaExponents_.push_back(k);
      }
    }
    if (term.l != 0 && std::find(lValues_.begin(), lValues_.end(), term.l) == lValues_.end()) {
      lValues_.push_back(term.l);
    }
  }
  tauPowers_.SetExponents(exponents);
}

const TResidualTableSums::TDeltaPowers& TResidualTableSums::DeltaPowers(Extended delta) {
  for (const TDeltaPowers& slot : deltaSlots_) {
    if (slot.valid && slot.delta == delta) return slot;
  }
  TDeltaPowers& p = deltaSlots_[nextDelta_];
  nextDelta_ = (nextDelta_ + 1) % deltaSlots_.size();
  p.valid = true;
  p.delta = delta;
  for (const int32_t k : deltaExponents_) p.power[static_cast<size_t>(k - TDeltaPowers::kLow)] = IntPower(k, delta);
  for (const int32_t l : lValues_) p.expMinus[static_cast<size_t>(l)] = std::exp(-p.Power(l));
  return p;
}

// The products of helmholtz_terms.cpp's FactoredPower: n delta^d tau^t f,
// with f = 1 and delta f'/f = 0 for polynomial terms (and l = 0).
Extended TResidualTableSums::Value(Extended tau, Extended delta) {
  const TDeltaPowers& dp = DeltaPowers(delta);
  const Extended* power = tauPowers_.Powers(tau);
  Extended polynomial = 0, exponential = 0;
  for (size_t i = 0; i < terms_.size(); ++i) {
    const TTerm& term = terms_[i];
    const Extended f = term.l == 0 ? 1 : dp.expMinus[static_cast<size_t>(term.l)];
    const Extended a = term.n * dp.Power(term.d) * power[term.power] * f;
    (i < polynomialCount_ ? polynomial : exponential) += a;
  }
  // SumResidualPart: damped (none) + polynomial + exponential + ...
  return Extended{0} + polynomial + exponential;
}

TResidualDerivatives TResidualTableSums::Evaluate(Extended tau, Extended delta) {
  const TDeltaPowers& dp = DeltaPowers(delta);
  const Extended* power = tauPowers_.Powers(tau);
  const Extended* below = tauPowers_.PowersBelow(tau);
  const Extended invTau = 1 / tau;
  std::array<TResidualDerivatives, 2> sum{};  // polynomial, exponential
  for (size_t i = 0; i < terms_.size(); ++i) {
    const TTerm& term = terms_[i];
    TResidualDerivatives& s = sum[i < polynomialCount_ ? 0 : 1];
    const int32_t d = term.d;
    const int32_t l = term.l;
    const Extended f = l == 0 ? 1 : dp.expMinus[static_cast<size_t>(l)];
    // delta f'/f = -l delta^l
    const Extended fPrime = l == 0 ? 0 : -static_cast<Extended>(l) * dp.Power(l);
    const Extended pt = power[term.power];
    const Extended pb = below[term.power];
    const Extended dL = static_cast<Extended>(d) + fPrime;  // d - L
    s.a += term.n * dp.Power(d) * pt * f;
    s.aDelta += term.n * dp.Power(d - 1) * pt * f * dL;
    s.aTau += term.n * term.t * dp.Power(d) * pb * f;
    if (l != 0 || d >= 2) {
      const Extended L = -fPrime;
      s.aDeltaDelta += term.n * dp.Power(d - 2) * pt * f * (dL * (dL - 1) - static_cast<Extended>(l) * L);
    }
    s.aTauTau += term.n * term.t * (term.t - 1) * dp.Power(d) * pb * invTau * f;
    s.aDeltaTau += term.n * term.t * dp.Power(d - 1) * pb * f * dL;
  }
  TResidualDerivatives r;
  r.a = Extended{0} + sum[0].a + sum[1].a;
  r.aDelta = Extended{0} + sum[0].aDelta + sum[1].aDelta;
  r.aTau = Extended{0} + sum[0].aTau + sum[1].aTau;
  r.aDeltaDelta = sum[0].aDeltaDelta + sum[1].aDeltaDelta;
  r.aTauTau = sum[0].aTauTau + sum[1].aTauTau;
  r.aDeltaTau = sum[0].aDeltaTau + sum[1].aDeltaTau;
  return r;
}

Extended TResidualTableSums::DeltaDerivative(Extended tau, Extended delta) {
  const TDeltaPowers& dp = DeltaPowers(delta);
  const Extended* power = tauPowers_.Powers(tau);
  Extended polynomial = 0, exponential = 0;
  for (size_t i = 0; i < terms_.size(); ++i) {
    const TTerm& term = terms_[i];
    const int32_t l = term.l;
    const Extended f = l == 0 ? 1 : dp.expMinus[static_cast<size_t>(l)];
    const Extended fPrime = l == 0 ? 0 : -static_cast<Extended>(l) * dp.Power(l);
    const Extended dL = static_cast<Extended>(term.d) + fPrime;
    (i < polynomialCount_ ? polynomial : exponential) += term.n * dp.Power(term.d - 1) * power[term.power] * f * dL;
  }
  return Extended{0} + polynomial + exponential;
}

// ---- Ideal parts ------------------------------------------------------------------

Extended IdealGasAlpha0TauTau(const TIdealGasPart& ideal, Extended tau) {
  Extended sum = -ideal.a3 / (tau * tau);
  for (const auto& term : ideal.planckEinstein) {
    const Extended em1 = std::expm1(term.theta * tau);
    sum -= term.a * term.theta * term.theta * (em1 + 1) / (em1 * em1);
  }
  for (const auto& term : ideal.power) sum += term.a * term.k * (term.k - 1) * PowerReal(tau, term.k - 2);
  for (const auto& term : ideal.tauLogTau) sum += term.a / tau;
  for (const auto& term : ideal.shiftedLog) {
    const Extended e = std::exp(term.theta * tau);
    const Extended c = 2.0L / 3.0L;
    sum += term.a * term.theta * term.theta * c * e / ((c + e) * (c + e));
  }
  return sum;
}

}  // namespace voq

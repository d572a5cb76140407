#include "properties/helmholtz_terms.h"

#include <algorithm>
#include <cmath>

#include "core/numeric_library.h"

namespace voq {

namespace {

// n delta^d tau^t times a factor f(delta) with d f/d delta = fPrime, the
// shared shape of polynomial and exponential terms:
//   value   = n delta^d tau^t f
//   d/ddelta = n delta^(d-1) tau^t (d f + delta f')
//   d/dtau   = n t delta^d tau^(t-1) f
Extended FactoredPower(Extended n, int32_t d, Extended t, Extended f, Extended deltaFPrimeOverF, THelmholtzPart part,
                       Extended tau, Extended delta) {
  switch (part) {
    case THelmholtzPart::kValue: return n * IntPower(d, delta) * PowerReal(tau, t) * f;
    case THelmholtzPart::kDDelta:
      return n * IntPower(d - 1, delta) * PowerReal(tau, t) * f * (static_cast<Extended>(d) + deltaFPrimeOverF);
    case THelmholtzPart::kDTau: return n * t * IntPower(d, delta) * PowerReal(tau, t - 1) * f;
  }
  return 0;
}

// The exponential factor exp(-delta^l) and delta f'/f = -l delta^l; l = 0
// is no factor.
Extended ExponentialTermWithFactor(Extended n, int32_t d, Extended t, int32_t l, THelmholtzPart part, Extended tau,
                                   Extended delta) {
  if (l == 0) return FactoredPower(n, d, t, 1, 0, part, tau, delta);
  const Extended deltaL = IntPower(l, delta);
  return FactoredPower(n, d, t, std::exp(-deltaL), -static_cast<Extended>(l) * deltaL, part, tau, delta);
}

}  // namespace

Extended PolynomialTerm::Evaluate(THelmholtzPart part, Extended tau, Extended delta) const {
  return FactoredPower(n, d, t, 1, 0, part, tau, delta);
}

Extended ExponentialTerm::Evaluate(THelmholtzPart part, Extended tau, Extended delta) const {
  return ExponentialTermWithFactor(n, d, t, l, part, tau, delta);
}

// As ExponentialTerm with delta^d and delta^(d-1) by PowerReal:
//   d/ddelta = n delta^(d-1) tau^t f (d - l delta^l),  f = exp(-delta^l).
Extended RealExponentialTerm::Evaluate(THelmholtzPart part, Extended tau, Extended delta) const {
  const Extended deltaL = l == 0 ? 0 : IntPower(l, delta);
  const Extended f = l == 0 ? 1 : std::exp(-deltaL);
  switch (part) {
    case THelmholtzPart::kValue: return n * PowerReal(delta, d) * PowerReal(tau, t) * f;
    case THelmholtzPart::kDDelta:
      return n * PowerReal(delta, d - 1) * PowerReal(tau, t) * f * (d - static_cast<Extended>(l) * deltaL);
    case THelmholtzPart::kDTau: return n * t * PowerReal(delta, d) * PowerReal(tau, t - 1) * f;
  }
  return 0;
}

Extended GaussianTerm::Evaluate(THelmholtzPart part, Extended tau, Extended delta) const {
  const Extended dd = delta - epsilon;
  const Extended dt = tau - gamma;
  const Extended b = n * PowerReal(tau, t) * std::exp(-alpha * dd * dd - beta * dt * dt);
  const Extended term = b * IntPower(d, delta);
  switch (part) {
    case THelmholtzPart::kValue: return term;
    // b (d delta^(d-1) - 2 alpha (delta - epsilon) delta^d): finite at
    // delta = 0 for every d, d = 0 included.
    case THelmholtzPart::kDDelta:
      return b * ((d >= 1 ? static_cast<Extended>(d) * IntPower(d - 1, delta) : 0) - 2 * alpha * dd * IntPower(d, delta));
    case THelmholtzPart::kDTau: return term * (t / tau - 2 * beta * dt);
  }
  return 0;
}

Extended NonAnalyticTerm::Evaluate(THelmholtzPart part, Extended tau, Extended delta) const {
  const Extended dm1 = delta - 1;
  const Extended sq = dm1 * dm1;
  const Extended theta = (1 - tau) + A * PowerReal(sq, 1 / (2 * beta));
  const Extended Delta = theta * theta + B * PowerReal(sq, a);
  const Extended psi = std::exp(-C * sq - D * (tau - 1) * (tau - 1));
  const Extended DeltaB = PowerReal(Delta, b);
  switch (part) {
    case THelmholtzPart::kValue: return n * DeltaB * delta * psi;
    case THelmholtzPart::kDDelta: {
      const Extended dDelta =
          dm1 * (A * theta * (2 / beta) * PowerReal(sq, 1 / (2 * beta) - 1) + 2 * B * a * PowerReal(sq, a - 1));
      const Extended dDeltaB = b * PowerReal(Delta, b - 1) * dDelta;
      const Extended dPsi = -2 * C * dm1 * psi;
      return n * (DeltaB * (psi + delta * dPsi) + delta * psi * dDeltaB);
    }
    case THelmholtzPart::kDTau: {
      const Extended dDeltaB = -2 * theta * b * PowerReal(Delta, b - 1);
      const Extended dPsi = -2 * D * (tau - 1) * psi;
      return n * delta * (psi * dDeltaB + DeltaB * dPsi);
    }
  }
  return 0;
}

Extended DampedExponentialTerm::Evaluate(THelmholtzPart part, Extended tau, Extended delta) const {
  const Extended e = std::exp(-delta * delta);
  switch (part) {
    case THelmholtzPart::kValue: return n * PowerReal(tau, t) * (e - 1);
    case THelmholtzPart::kDDelta: return -2 * n * delta * PowerReal(tau, t) * e;
    case THelmholtzPart::kDTau: return n * t * PowerReal(tau, t - 1) * (e - 1);
  }
  return 0;
}

// ln(1 - e^-x) and 1/(1 - e^-x) - 1 = 1/(e^x - 1) through log1p and expm1:
// at large theta*tau the plain forms lose every digit to cancellation.
Extended PlanckEinsteinTerm::Value(Extended tau) const { return a * std::log1p(-std::exp(-theta * tau)); }
Extended PlanckEinsteinTerm::DTau(Extended tau) const { return a * theta / std::expm1(theta * tau); }

Extended PowerTerm::Value(Extended tau) const { return a * PowerReal(tau, k); }
Extended PowerTerm::DTau(Extended tau) const { return a * k * PowerReal(tau, k - 1); }

Extended TauLogTauTerm::Value(Extended tau) const { return a * (tau * std::log(tau) - tau); }
Extended TauLogTauTerm::DTau(Extended tau) const { return a * std::log(tau); }

Extended ShiftedLogTerm::Value(Extended tau) const { return a * std::log(2.0L / 3.0L + std::exp(theta * tau)); }
Extended ShiftedLogTerm::DTau(Extended tau) const {
  const Extended e = std::exp(theta * tau);
  return a * theta * e / (2.0L / 3.0L + e);
}

// ---- Table sums ------------------------------------------------------------

Extended SumPolynomialTerms(const TPolynomialTable& table, THelmholtzPart part, Extended tau, Extended delta) {
  Extended sum = 0;
  for (size_t i = 0; i < table.n.size(); ++i) sum += FactoredPower(table.n[i], table.d[i], table.t[i], 1, 0, part, tau, delta);
  return sum;
}

Extended SumExponentialTerms(const TExponentialTable& table, THelmholtzPart part, Extended tau, Extended delta) {
  Extended sum = 0;
  const size_t count = table.n.size();
  if (!table.l.empty()) {
    for (size_t i = 0; i < count; ++i) {
      sum += ExponentialTermWithFactor(table.n[i], table.d[i], table.t[i], table.l[i], part, tau, delta);
    }
    return sum;
  }
  // By group: the group's l follows from its place in the list of ends.
  size_t i = 0;
  for (size_t k = 0; k < table.groupEnds.size(); ++k) {
    const size_t end = std::min(count, static_cast<size_t>(std::max(0, table.groupEnds[k])));
    for (; i < end; ++i) {
      sum += ExponentialTermWithFactor(table.n[i], table.d[i], table.t[i], static_cast<int32_t>(k), part, tau, delta);
    }
  }
  return sum;
}

Extended SumRealExponentialTerms(const TRealExponentialTable& table, THelmholtzPart part, Extended tau,
                                 Extended delta) {
  Extended sum = 0;
  for (size_t i = 0; i < table.n.size(); ++i) {
    sum += RealExponentialTerm{table.n[i], table.d[i], table.t[i], table.l[i]}.Evaluate(part, tau, delta);
  }
  return sum;
}

Extended SumGaussianTerms(const TGaussianTable& table, THelmholtzPart part, Extended tau, Extended delta) {
  Extended sum = 0;
  for (size_t i = 0; i < table.n.size(); ++i) {
    const GaussianTerm term{table.n[i], table.d[i], table.t[i], table.alpha[i], table.beta[i], table.gamma[i],
                            table.epsilon[i]};
    sum += term.Evaluate(part, tau, delta);
  }
  return sum;
}

Extended SumNonAnalyticTerms(const TNonAnalyticTable& table, THelmholtzPart part, Extended tau, Extended delta) {
  Extended sum = 0;
  for (size_t i = 0; i < table.n.size(); ++i) {
    const NonAnalyticTerm term{table.n[i], table.a[i], table.b[i], table.B[i], table.C[i],
                               table.D[i], table.A[i], table.beta[i]};
    sum += term.Evaluate(part, tau, delta);
  }
  return sum;
}

Extended SumDampedExponentialTerms(const TDampedExponentialTable& table, THelmholtzPart part, Extended tau,
                                   Extended delta) {
  Extended sum = 0;
  for (size_t i = 0; i < table.n.size(); ++i) sum += DampedExponentialTerm{table.n[i], table.t[i]}.Evaluate(part, tau, delta);
  return sum;
}

Extended SumResidualPart(const TResidualPart& r, THelmholtzPart part, Extended tau, Extended delta) {
  return SumDampedExponentialTerms(r.damped, part, tau, delta) + SumPolynomialTerms(r.polynomial, part, tau, delta) +
         SumExponentialTerms(r.exponential, part, tau, delta) + SumGaussianTerms(r.gaussian, part, tau, delta) +
         SumNonAnalyticTerms(r.nonAnalytic, part, tau, delta);
}

Extended IdealGasAlpha0(const TIdealGasPart& ideal, Extended tau, Extended delta) {
  Extended sum = std::log(delta) + ideal.a1 + ideal.a2 * tau + ideal.a3 * std::log(tau);
  for (const auto& term : ideal.planckEinstein) sum += term.Value(tau);
  for (const auto& term : ideal.power) sum += term.Value(tau);
  for (const auto& term : ideal.tauLogTau) sum += term.Value(tau);
  for (const auto& term : ideal.shiftedLog) sum += term.Value(tau);
  return sum;
}

Extended IdealGasAlpha0Tau(const TIdealGasPart& ideal, Extended tau) {
  Extended sum = ideal.a2 + ideal.a3 / tau;
  for (const auto& term : ideal.planckEinstein) sum += term.DTau(tau);
  for (const auto& term : ideal.power) sum += term.DTau(tau);
  for (const auto& term : ideal.tauLogTau) sum += term.DTau(tau);
  for (const auto& term : ideal.shiftedLog) sum += term.DTau(tau);
  return sum;
}

}  // namespace voq

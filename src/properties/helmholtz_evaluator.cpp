#include "properties/helmholtz_evaluator.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <vector>

namespace voq {

namespace {

// How tau^t of one exponent is formed: tau^whole (a table of products)
// times tau^(quarter/4), or, for an exponent that is no multiple of 1/4,
// exp(t ln tau). A negative exponent takes the reciprocal.
struct TTauExponent {
  Extended t = 0;
  int32_t whole = 0, quarter = 0;
  bool general = false, negative = false;
};

TTauExponent PlanExponent(Extended t) {
  TTauExponent e;
  e.t = t;
  e.negative = t < 0;
  const Extended a = std::fabs(t);
  const Extended fourfold = 4 * a;
  if (fourfold == std::floor(fourfold) && a <= 60) {
    const auto k = static_cast<int32_t>(fourfold);
    e.whole = k / 4;
    e.quarter = k % 4;
  } else {
    e.general = true;
  }
  return e;
}

// One polynomial or exponential term: n delta^d tau^t exp(-delta^l).
struct TFactoredTerm {
  Extended n = 0;
  int32_t d = 0, l = 0;
  TTauExponent tau;
};

// The tables of one fluid laid out once for evaluation.
struct TEvaluationPlan {
  std::vector<TFactoredTerm> factored;
  std::vector<TTauExponent> gaussianTau, dampedTau, powerTau;
  int32_t maxWhole = 0, maxL = 0;
};

TEvaluationPlan MakePlan(const TIdealGasPart& ideal, const TResidualPart& residual) {
  TEvaluationPlan plan;
  auto note = [&](const TTauExponent& e) {
    if (!e.general) plan.maxWhole = std::max(plan.maxWhole, e.whole);
  };
  const TPolynomialTable& p = residual.polynomial;
  for (size_t i = 0; i < p.n.size(); ++i) plan.factored.push_back({p.n[i], p.d[i], 0, PlanExponent(p.t[i])});
  const TExponentialTable& x = residual.exponential;
  const size_t count = x.n.size();
  auto addExponential = [&](size_t i, int32_t l) {
    plan.factored.push_back({x.n[i], x.d[i], l, PlanExponent(x.t[i])});
    plan.maxL = std::max(plan.maxL, l);
  };
  if (!x.l.empty()) {
    for (size_t i = 0; i < count; ++i) addExponential(i, x.l[i]);
  } else {
    size_t i = 0;
    for (size_t k = 0; k < x.groupEnds.size(); ++k) {
      const size_t end = std::min(count, static_cast<size_t>(std::max(0, x.groupEnds[k])));
      for (; i < end; ++i) addExponential(i, static_cast<int32_t>(k));
    }
  }
  for (const TFactoredTerm& term : plan.factored) note(term.tau);
  for (const Extended t : residual.gaussian.t) plan.gaussianTau.push_back(PlanExponent(t));
  for (const Extended t : residual.damped.t) plan.dampedTau.push_back(PlanExponent(t));
  for (const PowerTerm& term : ideal.power) plan.powerTau.push_back(PlanExponent(term.k));
  for (const auto* list : {&plan.gaussianTau, &plan.dampedTau, &plan.powerTau}) {
    for (const TTauExponent& e : *list) note(e);
  }
  return plan;
}

// The plans of the fluids evaluated so far, by their tables.
const TEvaluationPlan& PlanOf(const TIdealGasPart& ideal, const TResidualPart& residual) {
  struct TEntry {
    const TIdealGasPart* ideal;
    const TResidualPart* residual;
    std::unique_ptr<TEvaluationPlan> plan;
  };
  static std::vector<TEntry> plans;
  for (const TEntry& entry : plans) {
    if (entry.ideal == &ideal && entry.residual == &residual) return *entry.plan;
  }
  plans.push_back({&ideal, &residual, std::make_unique<TEvaluationPlan>(MakePlan(ideal, residual))});
  return *plans.back().plan;
}

template <class R>
struct TPowers {
  std::array<R, 64> tauWhole;
  std::array<R, 4> tauQuarter;
  std::array<R, 24> delta;
  R tau = 0, logTau = 0;
  bool haveLog = false;

  R Tau(const TTauExponent& e) {
    R p;
    if (e.general) {
      if (!haveLog) {
        logTau = std::log(tau);
        haveLog = true;
      }
      return std::exp(static_cast<R>(e.t) * logTau);
    }
    p = tauWhole[static_cast<size_t>(e.whole)] * tauQuarter[static_cast<size_t>(e.quarter)];
    return e.negative ? 1 / p : p;
  }
  R Delta(int32_t k, R d) const {
    if (k >= 0 && k < static_cast<int32_t>(delta.size())) return delta[static_cast<size_t>(k)];
    R r = 1;
    const R base = k < 0 ? 1 / d : d;
    for (int32_t m = k < 0 ? -k : k; m > 0; --m) r *= base;
    return r;
  }
};

template <class R>
TEosDerivatives Evaluate(const TIdealGasPart& ideal, const TResidualPart& residual, Extended tauIn,
                         Extended deltaIn) {
  const TEvaluationPlan& plan = PlanOf(ideal, residual);
  const R tau = static_cast<R>(tauIn);
  const R delta = static_cast<R>(deltaIn);
  const R invTau = 1 / tau;
  TPowers<R> pw;
  pw.tau = tau;
  pw.tauWhole[0] = 1;
  for (int32_t k = 1; k <= plan.maxWhole; ++k) pw.tauWhole[static_cast<size_t>(k)] = pw.tauWhole[static_cast<size_t>(k - 1)] * tau;
  const R half = std::sqrt(tau);
  pw.tauQuarter = {1, std::sqrt(half), half, half * std::sqrt(half)};
  pw.delta[0] = 1;
  for (size_t k = 1; k < pw.delta.size(); ++k) pw.delta[k] = pw.delta[k - 1] * delta;
  std::array<R, 16> expL{};
  for (int32_t l = 1; l <= plan.maxL && l < 16; ++l) expL[static_cast<size_t>(l)] = std::exp(-pw.Delta(l, delta));

  R aR = 0, aRD = 0, aRDD = 0, aRT = 0, aRTT = 0, aRDT = 0;
  // n delta^d tau^t f, f = exp(-delta^l), L = l delta^l:
  //   a_delta = n delta^(d-1) tau^t f (d - L)
  //   a_deltadelta = n delta^(d-2) tau^t f ((d - L)(d - 1 - L) - l L)
  //   a_tau = a t/tau, a_tautau = a t (t - 1)/tau^2, a_deltatau = a_delta t/tau
  for (const TFactoredTerm& term : plan.factored) {
    const R t = static_cast<R>(term.tau.t);
    const int32_t d = term.d;
    const int32_t l = term.l;
    R f = 1, L = 0;
    if (l != 0) {
      const R deltaL = pw.Delta(l, delta);
      f = l > 0 && l < 16 ? expL[static_cast<size_t>(l)] : std::exp(-deltaL);
      L = static_cast<R>(l) * deltaL;
    }
    const R nf = static_cast<R>(term.n) * pw.Tau(term.tau) * f;
    const R deltaD1 = pw.Delta(d - 1, delta);
    const R a = nf * deltaD1 * delta;
    const R ad = nf * deltaD1 * (static_cast<R>(d) - L);
    aR += a;
    aRD += ad;
    aRDD += nf * pw.Delta(d - 2, delta) * ((static_cast<R>(d) - L) * (static_cast<R>(d - 1) - L) - static_cast<R>(l) * L);
    aRT += a * t * invTau;
    aRTT += a * t * (t - 1) * invTau * invTau;
    aRDT += ad * t * invTau;
  }
  // n delta^d tau^t exp(-alpha (delta - eps)^2 - beta (tau - gamma)^2), with
  // fd = d/delta - 2 alpha (delta - eps), ft = t/tau - 2 beta (tau - gamma).
  const TGaussianTable& g = residual.gaussian;
  for (size_t i = 0; i < g.n.size(); ++i) {
    const R de = delta - static_cast<R>(g.epsilon[i]);
    const R tg = tau - static_cast<R>(g.gamma[i]);
    const R alpha = static_cast<R>(g.alpha[i]);
    const R beta = static_cast<R>(g.beta[i]);
    const R d = static_cast<R>(g.d[i]);
    const R t = static_cast<R>(g.t[i]);
    const R a = static_cast<R>(g.n[i]) * pw.Delta(g.d[i], delta) * pw.Tau(plan.gaussianTau[i]) *
                std::exp(-alpha * de * de - beta * tg * tg);
    const R fd = d / delta - 2 * alpha * de;
    const R ft = t * invTau - 2 * beta * tg;
    aR += a;
    aRD += a * fd;
    aRDD += a * (fd * fd - d / (delta * delta) - 2 * alpha);
    aRT += a * ft;
    aRTT += a * (ft * ft - t * invTau * invTau - 2 * beta);
    aRDT += a * fd * ft;
  }
  // n tau^t (exp(-delta^2) - 1)
  const TDampedExponentialTable& damped = residual.damped;
  if (!damped.n.empty()) {
    const R e = std::exp(-delta * delta);
    for (size_t i = 0; i < damped.n.size(); ++i) {
      const R t = static_cast<R>(damped.t[i]);
      const R nt = static_cast<R>(damped.n[i]) * pw.Tau(plan.dampedTau[i]);
      aR += nt * (e - 1);
      aRD += -2 * nt * delta * e;
      aRDD += nt * e * (4 * delta * delta - 2);
      aRT += nt * (e - 1) * t * invTau;
      aRTT += nt * (e - 1) * t * (t - 1) * invTau * invTau;
      aRDT += -2 * nt * delta * e * t * invTau;
    }
  }

  TEosDerivatives r;
  // The critical-region terms by their own first derivatives (10-byte
  // reals); the second ones by central differences of those.
  const TNonAnalyticTable& na = residual.nonAnalytic;
  for (size_t i = 0; i < na.n.size(); ++i) {
    const NonAnalyticTerm term{na.n[i], na.a[i], na.b[i], na.B[i], na.C[i], na.D[i], na.A[i], na.beta[i]};
    const Extended hd = 1e-6L * deltaIn;
    const Extended ht = 1e-6L * tauIn;
    r.aR += term.Evaluate(THelmholtzPart::kValue, tauIn, deltaIn);
    r.aRDelta += term.Evaluate(THelmholtzPart::kDDelta, tauIn, deltaIn);
    r.aRTau += term.Evaluate(THelmholtzPart::kDTau, tauIn, deltaIn);
    r.aRDeltaDelta += (term.Evaluate(THelmholtzPart::kDDelta, tauIn, deltaIn + hd) -
                       term.Evaluate(THelmholtzPart::kDDelta, tauIn, deltaIn - hd)) / (2 * hd);
    r.aRTauTau += (term.Evaluate(THelmholtzPart::kDTau, tauIn + ht, deltaIn) -
                   term.Evaluate(THelmholtzPart::kDTau, tauIn - ht, deltaIn)) / (2 * ht);
    r.aRDeltaTau += (term.Evaluate(THelmholtzPart::kDTau, tauIn, deltaIn + hd) -
                     term.Evaluate(THelmholtzPart::kDTau, tauIn, deltaIn - hd)) / (2 * hd);
  }
  r.aR += aR;
  r.aRDelta += aRD;
  r.aRDeltaDelta += aRDD;
  r.aRTau += aRT;
  r.aRTauTau += aRTT;
  r.aRDeltaTau += aRDT;

  // ln delta + a1 + a2 tau + a3 ln tau + the further terms.
  const R logTau = std::log(tau);
  R a0 = std::log(delta) + static_cast<R>(ideal.a1) + static_cast<R>(ideal.a2) * tau + static_cast<R>(ideal.a3) * logTau;
  R a0T = static_cast<R>(ideal.a2) + static_cast<R>(ideal.a3) * invTau;
  R a0TT = -static_cast<R>(ideal.a3) * invTau * invTau;
  for (const auto& term : ideal.planckEinstein) {
    // a ln(1 - e^-x), x = theta tau: d/dtau = a theta/(e^x - 1),
    // d2/dtau2 = -a theta^2 e^x/(e^x - 1)^2.
    const R a = static_cast<R>(term.a);
    const R theta = static_cast<R>(term.theta);
    const R x = theta * tau;
    const R em1 = std::expm1(x);
    a0 += a * std::log1p(-std::exp(-x));
    a0T += a * theta / em1;
    a0TT += -a * theta * theta * (em1 + 1) / (em1 * em1);
  }
  for (size_t i = 0; i < ideal.power.size(); ++i) {
    const R a = static_cast<R>(ideal.power[i].a);
    const R k = static_cast<R>(ideal.power[i].k);
    const R p = pw.Tau(plan.powerTau[i]);
    a0 += a * p;
    a0T += a * k * p * invTau;
    a0TT += a * k * (k - 1) * p * invTau * invTau;
  }
  for (const auto& term : ideal.tauLogTau) {
    const R a = static_cast<R>(term.a);
    a0 += a * (tau * logTau - tau);
    a0T += a * logTau;
    a0TT += a * invTau;
  }
  for (const auto& term : ideal.shiftedLog) {
    // a ln(2/3 + e), e = exp(theta tau).
    const R a = static_cast<R>(term.a);
    const R theta = static_cast<R>(term.theta);
    const R e = std::exp(theta * tau);
    const R c = static_cast<R>(2) / 3;
    a0 += a * std::log(c + e);
    a0T += a * theta * e / (c + e);
    a0TT += a * theta * theta * c * e / ((c + e) * (c + e));
  }
  r.a0 = a0;
  r.a0Tau = a0T;
  r.a0TauTau = a0TT;
  return r;
}

}  // namespace

TEosDerivatives EvaluateHelmholtz(const TIdealGasPart& ideal, const TResidualPart& residual, Extended tau,
                                  Extended delta) {
  return Evaluate<double>(ideal, residual, tau, delta);
}

TEosDerivatives EvaluateHelmholtzExtended(const TIdealGasPart& ideal, const TResidualPart& residual, Extended tau,
                                          Extended delta) {
  return Evaluate<Extended>(ideal, residual, tau, delta);
}

}  // namespace voq

#pragma once
// The building blocks of the high-accuracy fluid models: the term kinds of
// the reduced Helmholtz energy a/(RT) = alpha0(tau, delta) + alphaR(tau, delta)
// with their analytic first derivatives, and the coefficient tables that a
// fluid model sums.
//
// tau = TCrit/T and delta = rho*VCrit throughout. Integer powers of delta are
// repeated products (exact sign); real powers go through PowerReal, which is
// 0 for a base at or below 0, so a term with a real power of a quantity that
// changes sign above the critical point simply vanishes there.
//
// Tables are laid out by column (all n, then all d, then all t, ...), the
// terms in the order of the fluid's published formulation; each column is a
// span over a static array of the fluid's *_data.cpp file.
#include <cstdint>
#include <span>

#include "core/extended.h"

namespace voq {

// Which of value, d/d(delta) at constant tau, d/d(tau) at constant delta.
enum class THelmholtzPart : uint8_t { kValue, kDDelta, kDTau };

// ---- Residual terms ------------------------------------------------------

// n delta^d tau^t
struct PolynomialTerm {
  Extended n = 0;
  int32_t d = 0;
  Extended t = 0;
  Extended Evaluate(THelmholtzPart part, Extended tau, Extended delta) const;
};

// n delta^d tau^t exp(-delta^l); l = 0 means no exponential factor.
struct ExponentialTerm {
  Extended n = 0;
  int32_t d = 0;
  Extended t = 0;
  int32_t l = 0;
  Extended Evaluate(THelmholtzPart part, Extended tau, Extended delta) const;
};

// n delta^d tau^t exp(-delta^l) with a real exponent d (delta^d through
// PowerReal); l = 0 means no exponential factor.
struct RealExponentialTerm {
  Extended n = 0;
  Extended d = 0;
  Extended t = 0;
  int32_t l = 0;
  Extended Evaluate(THelmholtzPart part, Extended tau, Extended delta) const;
};

// n delta^d tau^t exp(-alpha (delta - epsilon)^2 - beta (tau - gamma)^2)
struct GaussianTerm {
  Extended n = 0;
  int32_t d = 0;
  Extended t = 0;
  Extended alpha = 0, beta = 0, gamma = 0, epsilon = 0;
  Extended Evaluate(THelmholtzPart part, Extended tau, Extended delta) const;
};

// n Delta^b delta psi, the critical-region term of IAPWS-95:
//   Delta = theta^2 + B ((delta-1)^2)^a,  theta = (1-tau) + A ((delta-1)^2)^(1/(2 beta)),
//   psi = exp(-C (delta-1)^2 - D (tau-1)^2).
// The derivatives are those of the IAPWS-95 release (table 5 there).
struct NonAnalyticTerm {
  Extended n = 0;
  Extended a = 0, b = 0, B = 0, C = 0, D = 0, A = 0, beta = 0;
  Extended Evaluate(THelmholtzPart part, Extended tau, Extended delta) const;
};

// n tau^t (exp(-delta^2) - 1)
struct DampedExponentialTerm {
  Extended n = 0;
  Extended t = 0;
  Extended Evaluate(THelmholtzPart part, Extended tau, Extended delta) const;
};

// ---- Ideal-gas terms (functions of tau only) -----------------------------

// a ln(1 - exp(-theta tau))
struct PlanckEinsteinTerm {
  Extended a = 0;
  Extended theta = 0;
  Extended Value(Extended tau) const;
  Extended DTau(Extended tau) const;
};

// a tau^k, k real
struct PowerTerm {
  Extended a = 0;
  Extended k = 0;
  Extended Value(Extended tau) const;
  Extended DTau(Extended tau) const;
};

// a (tau ln tau - tau)
struct TauLogTauTerm {
  Extended a = 0;
  Extended Value(Extended tau) const;
  Extended DTau(Extended tau) const;
};

// a ln(2/3 + exp(theta tau))
struct ShiftedLogTerm {
  Extended a = 0;
  Extended theta = 0;
  Extended Value(Extended tau) const;
  Extended DTau(Extended tau) const;
};

// ---- Tables --------------------------------------------------------------

struct TPolynomialTable {
  std::span<const Extended> n;
  std::span<const int32_t> d;
  std::span<const Extended> t;
};

// The exponent l either per term (column l; 0 = no factor) or by group:
// groupEnds holds cumulative term counts; the terms up to groupEnds[0] have
// no factor and group k (terms after groupEnds[k-1] up to groupEnds[k]) has
// l = k. Exactly one of l and groupEnds is non-empty.
struct TExponentialTable {
  std::span<const Extended> n;
  std::span<const int32_t> d;
  std::span<const Extended> t;
  std::span<const int32_t> l;
  std::span<const int32_t> groupEnds;
};

// Exponential terms with real d exponents and l per term. They sit outside
// TResidualPart: a fluid that has them adds their sum to its other tables'.
struct TRealExponentialTable {
  std::span<const Extended> n;
  std::span<const Extended> d;
  std::span<const Extended> t;
  std::span<const int32_t> l;
};

struct TGaussianTable {
  std::span<const Extended> n;
  std::span<const int32_t> d;
  std::span<const Extended> t;
  std::span<const Extended> alpha, beta, gamma, epsilon;
};

struct TNonAnalyticTable {
  std::span<const Extended> n;
  std::span<const Extended> a, b, B, C, D, A, beta;
};

struct TDampedExponentialTable {
  std::span<const Extended> n;
  std::span<const Extended> t;
};

// The residual part of one fluid: the sum of all its tables, in the order
// damped, polynomial, exponential, Gaussian, non-analytic.
struct TResidualPart {
  TDampedExponentialTable damped;
  TPolynomialTable polynomial;
  TExponentialTable exponential;
  TGaussianTable gaussian;
  TNonAnalyticTable nonAnalytic;
};

Extended SumPolynomialTerms(const TPolynomialTable& table, THelmholtzPart part, Extended tau, Extended delta);
Extended SumExponentialTerms(const TExponentialTable& table, THelmholtzPart part, Extended tau, Extended delta);
Extended SumRealExponentialTerms(const TRealExponentialTable& table, THelmholtzPart part, Extended tau,
                                 Extended delta);
Extended SumGaussianTerms(const TGaussianTable& table, THelmholtzPart part, Extended tau, Extended delta);
Extended SumNonAnalyticTerms(const TNonAnalyticTable& table, THelmholtzPart part, Extended tau, Extended delta);
Extended SumDampedExponentialTerms(const TDampedExponentialTable& table, THelmholtzPart part, Extended tau,
                                   Extended delta);
Extended SumResidualPart(const TResidualPart& residual, THelmholtzPart part, Extended tau, Extended delta);

// The ideal-gas part: ln delta + a1 + a2 tau + a3 ln tau + the further terms.
struct TIdealGasPart {
  Extended a1 = 0, a2 = 0, a3 = 0;
  std::span<const PlanckEinsteinTerm> planckEinstein;
  std::span<const PowerTerm> power;
  std::span<const TauLogTauTerm> tauLogTau;
  std::span<const ShiftedLogTerm> shiftedLog;
};

Extended IdealGasAlpha0(const TIdealGasPart& ideal, Extended tau, Extended delta);
// d(alpha0)/d(tau) at constant delta: a2 + a3/tau + the terms' derivatives.
Extended IdealGasAlpha0Tau(const TIdealGasPart& ideal, Extended tau);

}  // namespace voq

#pragma once
// Residual parts in the shapes that pressure-explicit equations of the
// Benedict-Webb-Rubin family take when recast as a reduced Helmholtz energy
// (the Bender, BWRS and modified BWR forms): integer powers of delta, low
// integer or half-integer powers of tau, and one fluid-wide damping
// exp(-gamma delta^l).
//
// The pressure-explicit forms integrate to terms in tau^t (1 - exp(-gamma
// delta^2)) that do not depend on delta near zero density; each is carried
// as a polynomial term with d = 0 and a scaled exponential term of the same
// t, d = 0 and opposite n, so that the pair vanishes at delta = 0.
#include <cstdint>
#include <span>

#include "core/extended.h"
#include "properties/helmholtz_terms.h"

namespace voq {

// n delta^d tau^t exp(-gamma delta^l):
//   d/ddelta = n tau^t exp(-gamma delta^l) (d delta^(d-1) - gamma l delta^(d+l-1)),
//   d/dtau   = n t delta^d tau^(t-1) exp(-gamma delta^l).
// integerTau: tau^t as an exact integer power (repeated products, tau^-1
// by division), else PowerReal.
struct ScaledExponentialTerm {
  Extended n = 0;
  int32_t d = 0;
  Extended t = 0;
  int32_t l = 2;
  Extended gamma = 1;
  bool integerTau = false;
  Extended Evaluate(THelmholtzPart part, Extended tau, Extended delta) const;
};

// Scaled exponential terms with one gamma; l per term, or 2 for every term
// when the column is empty.
struct TScaledExponentialTable {
  std::span<const Extended> n;
  std::span<const int32_t> d;
  std::span<const Extended> t;
  std::span<const int32_t> l;
  Extended gamma = 1;
};

// A residual part of this family: damped terms n tau^t (exp(-delta^2) - 1),
// polynomial terms n delta^d tau^t and scaled exponential terms, summed in
// that order, each table in its published term order.
struct TBwrResidualPart {
  TDampedExponentialTable damped;
  TPolynomialTable polynomial;
  TScaledExponentialTable scaled;
  bool integerTau = false;
};

Extended SumBwrResidualPart(const TBwrResidualPart& part, THelmholtzPart which, Extended tau, Extended delta);

extern const TBwrResidualPart IsopentaneResidualPart;
extern const TBwrResidualPart RC318ResidualPart;
extern const TBwrResidualPart HexaneResidualPart;
extern const TBwrResidualPart PropyleneResidualPart;
extern const TBwrResidualPart R123ResidualPart;
extern const TBwrResidualPart HydrogenResidualPart;
extern const TBwrResidualPart CarbonMonoxideResidualPart;

// The residual functions of the seven fluids (value or one first
// derivative), for their models.
Extended IsopentaneResidual(THelmholtzPart part, Extended tau, Extended delta);
Extended RC318Residual(THelmholtzPart part, Extended tau, Extended delta);
Extended HexaneResidual(THelmholtzPart part, Extended tau, Extended delta);
Extended PropyleneResidual(THelmholtzPart part, Extended tau, Extended delta);
Extended R123Residual(THelmholtzPart part, Extended tau, Extended delta);
Extended HydrogenResidual(THelmholtzPart part, Extended tau, Extended delta);
Extended CarbonMonoxideResidual(THelmholtzPart part, Extended tau, Extended delta);

}  // namespace voq

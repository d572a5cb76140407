// Evaluation of the Bender, BWRS and MBWR residual parts.
#include "properties/helmholtz_bwr.h"

#include <cmath>

#include "core/numeric_library.h"

namespace voq {

namespace {

Extended TauPower(bool integerTau, Extended tau, Extended t) {
  return integerTau ? IntPower(static_cast<int32_t>(t), tau) : PowerReal(tau, t);
}

// delta^(d-1) d, 0 for d = 0 (also at delta = 0, where delta^-1 is not
// finite).
Extended DDeltaPower(int32_t d, Extended delta) {
  return d == 0 ? 0 : static_cast<Extended>(d) * IntPower(d - 1, delta);
}

}  // namespace

Extended ScaledExponentialTerm::Evaluate(THelmholtzPart part, Extended tau, Extended delta) const {
  // The damping from delta^l formed by multiplication.
  const Extended deltaL = IntPower(l, delta);
  const Extended f = std::exp(-gamma * deltaL);
  switch (part) {
    case THelmholtzPart::kValue: return n * IntPower(d, delta) * TauPower(integerTau, tau, t) * f;
    case THelmholtzPart::kDDelta:
      // d delta^(d-1) - gamma l delta^(d+l-1) = d delta^(d-1) - gamma l delta^l delta^(d-1);
      // the second part written without delta^(d-1) for d = 0.
      return n * TauPower(integerTau, tau, t) * f *
             (DDeltaPower(d, delta) - gamma * static_cast<Extended>(l) * IntPower(d + l - 1, delta));
    case THelmholtzPart::kDTau:
      return t == 0 ? 0 : n * t * IntPower(d, delta) * TauPower(integerTau, tau, t - 1) * f;
  }
  return 0;
}

Extended SumBwrResidualPart(const TBwrResidualPart& p, THelmholtzPart which, Extended tau, Extended delta) {
  Extended sum = 0;
  const bool integerTau = p.integerTau;
  // Damped terms n tau^t (exp(-delta^2) - 1): d/ddelta = -2 n delta tau^t exp(-delta^2).
  if (!p.damped.n.empty()) {
    const Extended e = std::exp(-delta * delta);
    for (size_t i = 0; i < p.damped.n.size(); ++i) {
      const Extended n = p.damped.n[i], t = p.damped.t[i];
      switch (which) {
        case THelmholtzPart::kValue: sum += n * TauPower(integerTau, tau, t) * (e - 1); break;
        case THelmholtzPart::kDDelta: sum += -2 * n * delta * TauPower(integerTau, tau, t) * e; break;
        case THelmholtzPart::kDTau: sum += n * t * TauPower(integerTau, tau, t - 1) * (e - 1); break;
      }
    }
  }
  for (size_t i = 0; i < p.polynomial.n.size(); ++i) {
    const Extended n = p.polynomial.n[i], t = p.polynomial.t[i];
    const int32_t d = p.polynomial.d[i];
    switch (which) {
      case THelmholtzPart::kValue: sum += n * IntPower(d, delta) * TauPower(integerTau, tau, t); break;
      case THelmholtzPart::kDDelta: sum += n * DDeltaPower(d, delta) * TauPower(integerTau, tau, t); break;
      case THelmholtzPart::kDTau:
        if (t != 0) sum += n * t * IntPower(d, delta) * TauPower(integerTau, tau, t - 1);
        break;
    }
  }
  const TScaledExponentialTable& s = p.scaled;
  for (size_t i = 0; i < s.n.size(); ++i) {
    const ScaledExponentialTerm term{s.n[i], s.d[i], s.t[i], s.l.empty() ? 2 : s.l[i], s.gamma, integerTau};
    sum += term.Evaluate(which, tau, delta);
  }
  return sum;
}

Extended IsopentaneResidual(THelmholtzPart part, Extended tau, Extended delta) {
  return SumBwrResidualPart(IsopentaneResidualPart, part, tau, delta);
}
Extended RC318Residual(THelmholtzPart part, Extended tau, Extended delta) {
  return SumBwrResidualPart(RC318ResidualPart, part, tau, delta);
}
Extended HexaneResidual(THelmholtzPart part, Extended tau, Extended delta) {
  return SumBwrResidualPart(HexaneResidualPart, part, tau, delta);
}
Extended PropyleneResidual(THelmholtzPart part, Extended tau, Extended delta) {
  return SumBwrResidualPart(PropyleneResidualPart, part, tau, delta);
}
Extended R123Residual(THelmholtzPart part, Extended tau, Extended delta) {
  return SumBwrResidualPart(R123ResidualPart, part, tau, delta);
}
Extended HydrogenResidual(THelmholtzPart part, Extended tau, Extended delta) {
  return SumBwrResidualPart(HydrogenResidualPart, part, tau, delta);
}
Extended CarbonMonoxideResidual(THelmholtzPart part, Extended tau, Extended delta) {
  return SumBwrResidualPart(CarbonMonoxideResidualPart, part, tau, delta);
}

}  // namespace voq

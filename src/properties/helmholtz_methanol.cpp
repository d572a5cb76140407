// Methanol's residual part and liquid viscosity.
#include "properties/helmholtz_methanol.h"

#include <cmath>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/numeric_library.h"
#include "properties/helmholtz_state.h"
#include "properties/property_units.h"

namespace voq {

// Derivatives:
//   d/ddelta: 1: n d delta^(d-1) tau^t;
//             2: n tau^t delta^(d-1) exp(-X) (d - l X),  X = (kappa delta)^l;
//             3: n delta^(d-1) exp(E) (d - m Y),  Y = (c kappa delta)^m,
//                E = beta lambda tau - alpha - Y;
//   d/dtau:   1: n t delta^d tau^(t-1); 2: n t delta^d tau^(t-1) exp(-X);
//             3: n delta^d beta lambda exp(E).
// Every d is at least 1, so delta^(d-1) stays finite at delta = 0.
Extended MethanolResidual(THelmholtzPart part, Extended tau, Extended delta) {
  const TMethanolResidualTables& m = MethanolResidualTables;
  const Extended kd = m.kappa * delta;
  Extended sum = 0;
  for (size_t i = 0; i < m.n1.size(); ++i) {
    const int32_t d = m.d1[i], t = m.t1[i];
    switch (part) {
      case THelmholtzPart::kValue: sum += m.n1[i] * IntPower(d, delta) * IntPower(t, tau); break;
      case THelmholtzPart::kDDelta: sum += m.n1[i] * d * IntPower(d - 1, delta) * IntPower(t, tau); break;
      case THelmholtzPart::kDTau:
        if (t != 0) sum += m.n1[i] * t * IntPower(d, delta) * IntPower(t - 1, tau);
        break;
    }
  }
  for (size_t i = 0; i < m.n2.size(); ++i) {
    const int32_t d = m.d2[i], t = m.t2[i], l = m.l2[i];
    const Extended X = IntPower(l, kd);
    const Extended f = std::exp(-X);
    switch (part) {
      case THelmholtzPart::kValue: sum += m.n2[i] * IntPower(d, delta) * IntPower(t, tau) * f; break;
      case THelmholtzPart::kDDelta:
        sum += m.n2[i] * IntPower(t, tau) * IntPower(d - 1, delta) * f * (d - l * X);
        break;
      case THelmholtzPart::kDTau: sum += m.n2[i] * t * IntPower(d, delta) * IntPower(t - 1, tau) * f; break;
    }
  }
  for (size_t i = 0; i < m.n3.size(); ++i) {
    const int32_t d = m.d3[i], mm = m.m3[i];
    const Extended Y = IntPower(mm, m.c3[i] * kd);
    const Extended e = std::exp(m.beta3[i] * m.lambda * tau - m.alpha3[i] - Y);
    switch (part) {
      case THelmholtzPart::kValue: sum += m.n3[i] * IntPower(d, delta) * e; break;
      case THelmholtzPart::kDDelta: sum += m.n3[i] * IntPower(d - 1, delta) * e * (d - mm * Y); break;
      case THelmholtzPart::kDTau: sum += m.n3[i] * IntPower(d, delta) * m.beta3[i] * m.lambda * e; break;
    }
  }
  return sum;
}

Extended MethanolLiquidViscosity(Extended T, Extended P) {
  const Extended theta = (T - 298.15L) / 25;
  const Extended C = 1000 * (79.5L + 38.5L * theta);
  const Extended E = 0.441L + 0.239L * theta;
  return 8.203e-6L * std::exp(1251.4L / T) * PowerReal((C + P) / (C + 101.3L), E);
}

Extended MethanolViscosity(TGeneralEosSubstance& o, TPropertyArgumentRecord& a) {
  if (o.SuppressWarnings != 0) return -999;
  TTransportStatePoint point;
  const bool solved = TransportState(o, "Viscosity", a, point);
  // Quality above 0: two-phase, vapour or supercritical, and 999 after a
  // failed solve; a compressed liquid is -100, a saturated one 0. A solver
  // error that left the entry alone is refused the same way.
  if (EosStateCache[7] > 0 || !solved) {
    SetCalcError(kMsgDataNotAvailableAtState, "Viscosity");
    return -999;
  }
  Extended mu = MethanolLiquidViscosity(point.T, point.P);
  PropertyFromInternalUnits(9, mu);
  return mu;
}

}  // namespace voq

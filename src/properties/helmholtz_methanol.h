#pragma once
// Methanol's residual part and its liquid viscosity.
//
// The residual part has three term groups, two of them in rescaled reduced
// variables (kappa delta and lambda tau):
//   alphaR = sum_1 n delta^d tau^t
//          + sum_2 n delta^d tau^t exp(-(kappa delta)^l)
//          + sum_3 n delta^d exp(beta lambda tau - alpha - (c kappa delta)^m),
// every power an exact integer power.
#include <array>
#include <cstdint>

#include "core/extended.h"
#include "properties/helmholtz_eos.h"
#include "properties/helmholtz_terms.h"

namespace voq {

struct TMethanolResidualTables {
  Extended kappa, lambda;
  std::array<Extended, 17> n1;
  std::array<int32_t, 17> d1, t1;
  std::array<Extended, 19> n2;
  std::array<int32_t, 19> d2, t2, l2;
  std::array<Extended, 8> n3, beta3;
  std::array<int32_t, 8> d3, alpha3, c3, m3;
};

extern const TMethanolResidualTables MethanolResidualTables;

// Value or one first derivative, analytic.
Extended MethanolResidual(THelmholtzPart part, Extended tau, Extended delta);

// The viscosity slot: a liquid-only correlation with a pressure factor,
//   theta = (T - 298.15)/25, C = 1000 (79.5 + 38.5 theta) kPa,
//   E = 0.441 + 0.239 theta,
//   mu = 8.203e-6 exp(1251.4/T) ((C + P)/(C + 101.3))^E Pa-s,
// for a compressed or saturated liquid; any other state (and a failed
// solve) is error 142 naming "Viscosity". -999 without solving during the
// compiler's trial call.
Extended MethanolViscosity(TGeneralEosSubstance& o, TPropertyArgumentRecord& a);
// The correlation alone (Pa-s) at T (K) and P (kPa).
Extended MethanolLiquidViscosity(Extended T, Extended P);

}  // namespace voq

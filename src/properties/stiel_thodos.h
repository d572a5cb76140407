#pragma once
// The dense-fluid functions of the Stiel-Thodos residual viscosity for
// reduced densities 0.9 < rhor < 2.6, shared by every model whose gas-side
// viscosity is the dilute value plus (mu - mu0) xi = F(rhor):
//
//   log10[4 - log10 D]  = 0.6439 - c rhor                              (0.9 < rhor <= 2.2)
//   log10[4 - log10 D'] = 0.6439 - c rhor - 0.000475 (rhor^3 - 10.65)^2 (2.2 < rhor < 2.6)
//
// (the dense-fluid form of Stiel and Thodos as given by Reid, Prausnitz and
// Poling, The Properties of Gases and Liquids, 4th ed., section 9-10). The
// book prints c = 0.1005; c = 0.100438 is chosen here so that D equals the
// middle branch 0.0607 (9.045 rhor + 0.63)^1.739 = 2.64916 at rhor = 0.9 and
// the viscosity has no step there. At rhor = 2.2 the further term of D' is
// 1.9e-9, so D and D' meet to within 3e-8 relative.
#include <cmath>

#include "core/extended.h"

namespace voq {

inline constexpr Extended kStielThodosDenseC = 0.100438L;

inline Extended StielThodosDenseD(Extended rhor) {
  const Extended inner = 0.6439L - kStielThodosDenseC * rhor;
  return std::pow(10.0L, 4 - std::pow(10.0L, inner));
}

inline Extended StielThodosDenseDPrime(Extended rhor) {
  const Extended cube = rhor * rhor * rhor - 10.65L;
  const Extended inner = 0.6439L - kStielThodosDenseC * rhor - 0.000475L * cube * cube;
  return std::pow(10.0L, 4 - std::pow(10.0L, inner));
}

}  // namespace voq

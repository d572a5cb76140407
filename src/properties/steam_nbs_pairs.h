#pragma once
// The state of water from any two of T, P, h, u, s, v and x, in internal
// units on the mass basis (K, kPa, kJ/kg, kJ/kg-K, m3/kg; x a fraction or
// the phase indicator -100/100). Used by the steam substance object.
#include <cstdint>

#include "core/extended.h"

namespace voq {

struct TSteamState {
  Extended T = 0, P = 0, h = 0, u = 0, s = 0, v = 0, x = 0;
  // Entry by argument kind 1..7 (T, P, h, u, s, v, x).
  Extended& ByKind(int32_t kind);
};

// Solves the pair kind1 < kind2 (both 1..7, different) with values in
// internal units; ice selects the ice side at exactly 273.15 K with x given.
// Errors 206, 209, 210, 211, 212, 213 and those of the formulation are left
// in CalcErrorCode.
TSteamState SolveSteamPair(int32_t kind1, int32_t kind2, Extended value1, Extended value2, bool ice);

}  // namespace voq

#pragma once
// Guesses and limits of the unknowns: before a solve every guess is resolved
// (a guess or limit may be given by another variable), copied into the value
// and checked against the limits; while solving every trial value is pulled
// back inside the limits.
#include <cstdint>
#include <string>

#include "core/extended.h"

namespace voq {

// The step by which ClampToLimits stays inside a limit.
inline constexpr Extended kLimitOffset = 1e-100L;

// CheckGuessLimits for every unknown of every program unit, units in list
// order and unknowns in UnknownList order; stops at the first error (52).
// CurrentProgramUnit is restored.
void CheckAllGuessLimits();
// Variable v of CurrentProgramUnit: limits and guess taken from their
// variables, Value := Guess, error 52 when the guess lies outside the limits.
void CheckGuessLimits(int32_t v);
// Pulls variable w's Value into its own limits; the upper limit wins when
// the limits cross.
void ClampToOwnLimits(int32_t w);
// Takes v's limits from their variables and pulls x inside them, 1e-100 in
// from the limit it crossed; clamped tells whether x was moved.
void ClampToLimits(int32_t v, Extended& x, bool& clamped);
// An internal module-variable name ("@" unit index "\" ... "." name) as shown
// in messages: the plain name, " in module " and the unit's name.
std::string ModuleVarNameForMessage(const std::string& name);

}  // namespace voq

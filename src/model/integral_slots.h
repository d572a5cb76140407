#pragma once
// The integration slots of a program unit as the compiler, the $IntegralTable
// set-up, the evaluator and the stepping share them: every INTEGRAL term with
// limits belongs to the slot of its integration variable, at most six slots
// per unit.
#include <cstdint>

#include "model/integral_records.h"

namespace voq {

struct TProgramUnitRecord;
struct TEquationRecord;

// A fresh term record: no comparison under way and a step-size check due at
// once in the variable-step mode.
TIntegralTermRecord* CreateIntegralState();

// Rebuilds the unit's slots from its terms with limits, in the order of the
// equations and of each equation's terms: IntegralCount, each slot's
// IntegrationVariable and TermCount, and each term's OrdinalInSlot. Limits,
// steps and table settings of the slots stay as they were. Returns the
// number of terms with limits, with slotCount the slots in use; a seventh
// integration variable is error 315 and returns 0.
int32_t AssignIntegrationVars(TProgramUnitRecord& unit, int32_t& slotCount);

// The first slot 1..IntegralCount of the unit integrating over the variable;
// 0 when none.
int32_t FindIntegrationSlot(const TProgramUnitRecord& unit, int32_t variableIndex);

}  // namespace voq

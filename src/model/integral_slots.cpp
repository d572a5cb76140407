#include "model/integral_slots.h"

#include <algorithm>
#include <string>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "model/program_units.h"

namespace voq {

TIntegralTermRecord* CreateIntegralState() {
  auto* term = new TIntegralTermRecord;
  term->HalvingPhase = 0;
  term->EvaluationCount = 0;
  term->StepsSinceCheck = 100;
  term->ErrorEstimate = 0;
  return term;
}

int32_t AssignIntegrationVars(TProgramUnitRecord& unit, int32_t& slotCount) {
  unit.IntegralCount = 0;
  for (int32_t s = 1; s <= kIntegralSlotCount; ++s) unit.IntegralSlots[size_t(s)].TermCount = 0;
  int32_t n = 0;
  for (TEquationRecord* e = unit.FirstEquation; e != nullptr; e = e->Next) {
    for (TIntegralTermRecord* t = e->IntegralTerms; t != nullptr; t = t->Next) {
      if (t->TableBased != 0) continue;
      ++n;
      int32_t slot = 0;
      for (int32_t s = 1; s <= unit.IntegralCount; ++s) {
        if (unit.IntegralSlots[size_t(s)].IntegrationVariable == t->IntegrationVariable) {
          slot = s;
          break;
        }
      }
      if (slot > 0) {
        TIntegralRecord& record = unit.IntegralSlots[size_t(slot)];
        t->OrdinalInSlot = ++record.TermCount;
      } else if (unit.IntegralCount >= kIntegralSlotCount) {
        SetMessageArg(1, std::to_string(kIntegralSlotCount));
        CalcErrorCode = kMsgIntegrationVariableLimit;
        return 0;
      } else {
        ++unit.IntegralCount;
        TIntegralRecord& record = unit.IntegralSlots[size_t(unit.IntegralCount)];
        record.IntegrationVariable = t->IntegrationVariable;
        record.TermCount = 1;
        t->OrdinalInSlot = 1;
      }
      slotCount = unit.IntegralCount;
    }
  }
  return n;
}

int32_t FindIntegrationSlot(const TProgramUnitRecord& unit, int32_t variableIndex) {
  const int32_t count = std::min(unit.IntegralCount, kIntegralSlotCount);
  for (int32_t s = 1; s <= count; ++s) {
    if (unit.IntegralSlots[size_t(s)].IntegrationVariable == variableIndex) return s;
  }
  return 0;
}

}  // namespace voq

#pragma once
// The records of INTEGRAL work that the store owns: one TIntegralTermRecord
// per INTEGRAL call of an equation (chained on the equation's IntegralTerms)
// and six integration slots per program unit. Their content is written by
// the INTEGRAL compiler and the integral stepping; the store only creates,
// clears and frees them.
#include <array>
#include <cstdint>

#include "core/extended.h"

namespace voq {

struct TTableColumnRecord;

struct TIntegralTermRecord {
  int32_t TermId = 0;  // 88881 for the first term of an equation, +1 for each further one
  int32_t IntegrationVariable = 0;
  int32_t ColumnOrdinal = 0;
  TTableColumnRecord* ColumnRecord = nullptr;
  Extended PreviousIntegrand = 0;
  Extended CurrentIntegrand = 0;
  Extended StepWidth = 0;
  Extended Accumulated = 0;
  TIntegralTermRecord* Next = nullptr;
  uint8_t TableBased = 0;
  uint8_t AutoStep = 0;
  int32_t Slot = 0;
  int32_t StepCount = 0;
  Extended ErrorEstimate = 0;
  Extended AccumulatedBeforeStep = 0;
  Extended FullStepArea = 0;
  Extended HalfStepsArea = 0;
  int32_t HalvingPhase = 0;
  int32_t OrdinalInSlot = 0;
  int32_t EvaluationCount = 0;
  int32_t StepsSinceCheck = 100;
  Extended PreviousPosition = 0;
};

struct TIntegralRecord {
  int32_t IntegrationVariable = 0;
  int32_t FirstBlock = 0;
  int32_t LastBlock = 0;
  uint8_t AutoStep = 0;
  uint8_t Retake = 0;
  Extended Position = 0;
  Extended PreviousPosition = 0;
  Extended Step = 0;
  Extended LowerLimit = 0;
  Extended UpperLimit = 0;
  Extended RelativeStep = 0;
  int32_t TableColumnCount = 0;
  std::array<int16_t, 501> TableColumns{};  // [0] = t, [1..TableColumnCount] listed variables
  Extended TableStep = 0;
  int32_t LastTableRow = 0;
  uint8_t TablePrepared = 0;
  uint8_t HalvingActive = 0;
  uint8_t InModule = 0;
  int32_t TermCount = 0;
  Extended LowerAtStart = BlankValue;
  Extended UpperAtStart = BlankValue;
};

}  // namespace voq

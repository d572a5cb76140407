#include "model/solve_session.h"

namespace voq {

TStopCriteriaRecord StopCriteria;
TStopCriteriaRecord StoredStopCriteria;
TIntegrationSettings IntegrationSettings;

namespace {

void PutInt32(uint8_t* dst, int32_t v) {
  auto u = static_cast<uint32_t>(v);
  for (int k = 0; k < 4; ++k) dst[k] = static_cast<uint8_t>(u >> (8 * k));
}

int32_t GetInt32(const uint8_t* src) {
  uint32_t u = 0;
  for (int k = 0; k < 4; ++k) u |= static_cast<uint32_t>(src[k]) << (8 * k);
  return static_cast<int32_t>(u);
}

}  // namespace

void PackStopCriteria(const TStopCriteriaRecord& c, uint8_t* dst) {
  namespace o = stop_criteria_offsets;
  PackExtended(dst + o::RelativeResidualTolerance, c.RelativeResidualTolerance);
  PackExtended(dst + o::ChangeTolerance, c.ChangeTolerance);
  PutInt32(dst + o::MaxIterations, c.MaxIterations);
  PutInt32(dst + o::MaxElapsedSeconds, c.MaxElapsedSeconds);
}

void UnpackStopCriteria(const uint8_t* src, TStopCriteriaRecord& c) {
  namespace o = stop_criteria_offsets;
  c.RelativeResidualTolerance = UnpackExtended(src + o::RelativeResidualTolerance);
  c.ChangeTolerance = UnpackExtended(src + o::ChangeTolerance);
  c.MaxIterations = GetInt32(src + o::MaxIterations);
  c.MaxElapsedSeconds = GetInt32(src + o::MaxElapsedSeconds);
}
int32_t RunStartTicks = 0;
int32_t SolveStartTicks = 0;
bool SolutionStarted = false;
bool MinMaxMode = false;
bool UncertaintyMode = false;
bool UncertaintyTableMode = false;
int32_t CompileStartTicks = 0;
int32_t CompileEndTicks = 0;
bool CheckOnlyMode = false;
bool UseDiagramInput = false;

}  // namespace voq

#include "session/program_start.h"

#include "model/document_settings.h"
#include "model/store_state.h"

namespace voq {

std::string ProgramVersion = "6.462";
bool ApplyStoredDefaults = true;
TCurveFitSettings CurveFitSettings;
TDebugWindowRect DebugWindowRect;
TContourPlotChoices ContourPlotChoices;
uint8_t PropertyPlotQualityLines = 1;
int32_t PropertyPlotChoice = -1;
std::array<bool, 101> PrintSelection{};

void SetCurveFitDefaults() { CurveFitSettings = TCurveFitSettings{}; }

void InitMainProgramUnit() {
  TProgramUnitRecord* unit = EnsureMainProgramUnit();
  if (unit != nullptr) unit->UnitComplexMode = Preferences.ComplexMode;
}

void ResetProgramStartValues() {
  ProgramVersion = "6.462";
  ApplyStoredDefaults = true;
  SetCurveFitDefaults();
  DebugWindowRect = TDebugWindowRect{};
  ContourPlotChoices = TContourPlotChoices{};
  PropertyPlotQualityLines = 1;
  PropertyPlotChoice = -1;
  PrintSelection.fill(false);
}

}  // namespace voq

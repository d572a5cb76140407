#include "solver/solved_alone_units.h"

#include <cmath>

#include "core/string_constants.h"
#include "core/text_utils.h"
#include "model/compiled_code.h"
#include "model/program_units.h"
#include "model/store_state.h"

namespace voq {

namespace {

// Function opcodes the inference recognises (property functions of the
// fluid catalogue and the unit conversion).
constexpr int32_t kOpUnitConversion = 201;
constexpr int32_t kOpTemperature = 209;
constexpr int32_t kOpPressure = 210;
constexpr int32_t kOpEnthalpy = 211;
constexpr int32_t kOpIntEnergy = 212;
constexpr int32_t kOpEntropy = 213;
constexpr int32_t kOpVolume = 214;
constexpr int32_t kOpPropertyBySubCode = 216;
constexpr int32_t kOpFluidConstant = 217;
constexpr int32_t kOpWetBulb = 219;
constexpr int32_t kOpDewPoint = 220;
constexpr int32_t kOpDensity = 223;

// Property kinds of the units labels.
constexpr int32_t kKindTemperature = 1;
constexpr int32_t kKindPressure = 2;
constexpr int32_t kKindEnergyPerMass = 3;
constexpr int32_t kKindEntropy = 5;
constexpr int32_t kKindVolume = 6;
constexpr int32_t kKindViscosity = 9;
constexpr int32_t kKindConductivity = 10;
constexpr int32_t kKindDensity = 15;
constexpr int32_t kKindSurfaceTension = 16;
constexpr int32_t kKindMolarMass = 17;
constexpr int32_t kKindSpeed = 18;

// String operands are carried in the constant pool as 20000 plus their number.
constexpr Extended kStringOperandBase = 20000;

PropertyUnitsSource defaultSource;
const PropertyUnitsSource* installedSource = nullptr;

TVariableRecord* UnitVariable(int32_t i) {
  return CurrentProgramUnit ? CurrentProgramUnit->Variable(i) : nullptr;
}

void SetInferredUnits(TVariableRecord& var, const std::string& units) {
  var.Units = units.substr(0, kMaxNameLength);
  var.UnitsInferred = 1;
}

bool HasOwnUnits(const TVariableRecord& var) { return !var.Units.empty() && var.UnitsInferred == 0; }

// The first keyword (in list order) found in the upper-cased text, or -1.
int FirstKeyword(const std::string& upperText, std::initializer_list<const char*> keywords) {
  int k = 0;
  for (const char* word : keywords) {
    if (upperText.find(word) != std::string::npos) return k;
    ++k;
  }
  return -1;
}

}  // namespace

const PropertyUnitsSource& PropertyUnits() { return installedSource ? *installedSource : defaultSource; }

void SetPropertyUnitsSource(const PropertyUnitsSource* source) { installedSource = source; }

void InferUnitsFromEquation(int32_t v, const TEquationRecord& e) {
  TVariableRecord* var = UnitVariable(v);
  if (var == nullptr || HasOwnUnits(*var)) return;
  var->Units.clear();
  var->UnitsInferred = 0;
  if (UnitsFromOtherVariable(e)) return;
  if (UnitsFromPropertyFunction(v, e)) return;
  UnitsFromConversion(v, e);
}

bool IsSimpleTwoVariableForm(const TEquationRecord& e) {
  const int32_t n = static_cast<int32_t>(e.Code.size());
  if (n < 5) return false;
  if (e.Code[0] != CodeVariable || e.Code[2] != CodeVariable) return false;
  if (n == 5) return true;
  // The word before the equal sign must be an operator, not the index of a
  // variable that happens to be numbered 5 or 6 (a + b = v5).
  if (OperandHasIndex(e.Code[n - 3])) return false;
  return e.Code[n - 2] == OpAdd || e.Code[n - 2] == OpSubtract;
}

bool UnitsFromOtherVariable(const TEquationRecord& e) {
  if (!IsSimpleTwoVariableForm(e)) return false;
  TVariableRecord* target = UnitVariable(e.Code[1]);
  TVariableRecord* source = UnitVariable(e.Code[3]);
  if (target == nullptr || source == nullptr || HasOwnUnits(*target)) return false;
  // Copied even when the source has none: the target is then known to be
  // as unitless as its source.
  SetInferredUnits(*target, source->Units);
  return true;
}

bool UnitsFromPropertyFunction(int32_t v, const TEquationRecord& e) {
  const int32_t n = static_cast<int32_t>(e.Code.size());
  if (n < 3) return false;
  if (e.Code[0] != CodeVariable || e.Code[1] != v) return false;
  TVariableRecord* var = UnitVariable(v);
  if (var == nullptr) return false;
  const PropertyUnitsSource& labels = PropertyUnits();
  const int32_t opcode = e.Code[n - 2];

  int32_t kind = 0;
  switch (opcode) {
    case kOpTemperature:
    case kOpWetBulb:
    case kOpDewPoint:
      kind = kKindTemperature;
      break;
    case kOpPressure:
      kind = kKindPressure;
      break;
    case kOpEnthalpy:
    case kOpIntEnergy:
      kind = kKindEnergyPerMass;
      break;
    case kOpEntropy:
      kind = kKindEntropy;
      break;
    case kOpVolume:
      kind = kKindVolume;
      break;
    case kOpDensity:
      kind = kKindDensity;
      break;
    case kOpPropertyBySubCode:
    case kOpFluidConstant:
      break;
    default:
      // Quality, humidity ratio, relative humidity and everything else
      // carry no units.
      return false;
  }
  if (kind != 0) {
    SetInferredUnits(*var, labels.PropertyUnitsText(kind));
    return true;
  }

  // The sub-code of these calls is not in the code words, so the property is
  // recognised by its name in the statement text; the units stay empty when
  // no name matches, but the variable counts as done.
  SetInferredUnits(*var, "");
  const std::string text = UpperCaseText(e.Text.value_or(""));
  if (opcode == kOpPropertyBySubCode) {
    switch (FirstKeyword(text, {"VISCOSITY", "CONDUCTIVITY", "SURFACETENSION", "SPECHEAT", "CP", "CV",
                                "VOLEXPCOEF", "SOUNDSPEED", "FUGACITY"})) {
      case 0: SetInferredUnits(*var, labels.PropertyUnitsText(kKindViscosity)); break;
      case 1: SetInferredUnits(*var, labels.PropertyUnitsText(kKindConductivity)); break;
      case 2: SetInferredUnits(*var, labels.PropertyUnitsText(kKindSurfaceTension)); break;
      case 3:
      case 4:
      case 5: SetInferredUnits(*var, labels.PropertyUnitsText(kKindEntropy)); break;
      case 6: SetInferredUnits(*var, labels.UnitSystemIsSI() ? "1/K" : "1/R"); break;
      case 7: SetInferredUnits(*var, labels.PropertyUnitsText(kKindSpeed)); break;
      case 8: SetInferredUnits(*var, labels.PropertyUnitsText(kKindPressure)); break;
      default: break;
    }
  } else {
    switch (FirstKeyword(text, {"T_CRIT", "P_CRIT", "V_CRIT", "MOLARMASS"})) {
      case 0: SetInferredUnits(*var, labels.PropertyUnitsText(kKindTemperature)); break;
      case 1: SetInferredUnits(*var, labels.PropertyUnitsText(kKindPressure)); break;
      case 2: SetInferredUnits(*var, labels.PropertyUnitsText(kKindVolume)); break;
      case 3: SetInferredUnits(*var, labels.PropertyUnitsText(kKindMolarMass)); break;
      default: break;
    }
  }
  return true;
}

bool UnitsFromConversion(int32_t v, const TEquationRecord& e) {
  // v = c * CONVERT('from', 'to') compiles to 11 words with the constant c,
  // the two unit texts and the string flag in a pool of exactly 4 reals; the
  // 4th real names the target unit's string constant.
  if (e.Code.size() != 11) return false;
  if (e.Code[6] != CodeConstant || e.Code[8] != kOpUnitConversion || e.Code[9] != OpMultiply) return false;
  if (e.Constants.size() != 4) return false;
  TVariableRecord* var = UnitVariable(v);
  if (var == nullptr) return false;
  Extended n = std::nearbyint(e.Constants[3]);
  if (n > kStringOperandBase) n -= kStringOperandBase;
  if (!(n >= 1 && n <= static_cast<Extended>(StringConstants.size()))) return false;
  SetInferredUnits(*var, StringConstants[static_cast<size_t>(n) - 1]);
  return true;
}

}  // namespace voq

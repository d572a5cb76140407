#include "solver/property_opcodes.h"

#include <cmath>
#include <string>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/number_text.h"
#include "model/program_units.h"
#include "model/substance_base.h"
#include "properties/helmholtz_state.h"
#include "properties/property_units.h"
#include "properties/substance_factory.h"
#include "solver/evaluator.h"
#include "solver/numeric_opcodes.h"
#include "solver/solved_alone_units.h"

namespace voq {

namespace {

// The substance operand and sub-codes are small integers held as reals.
int32_t RoundedIndex(Extended x) {
  if (!std::isfinite(static_cast<double>(x)) || x > 2147483647.0L || x < -2147483648.0L) return -1;
  return static_cast<int32_t>(RoundReal(x));
}

// The object that serves this opcode: the cursor's, or else the first of
// the chain compiled for the opcode (a nested call executes out of the
// chain's order). Null with error 328 when none does.
TSubstanceBase* ChooseObject(TEvaluationState& s, int32_t opcode) {
  TSubstanceBase* object = s.SubstanceCursor;
  if (object != nullptr && object->ServedOpcode == opcode) return object;
  for (TSubstanceBase* o = s.Equation != nullptr ? s.Equation->SubstanceChain : nullptr; o != nullptr; o = o->Next) {
    if (o->ServedOpcode == opcode) return o;
  }
  CalcErrorCode = kMsgNestedPropertyFunctions;
  return nullptr;
}

// After every call, whatever its outcome: property results are real, and
// the cursor moves on from the object that was current before the search.
void FinishCall(TEvaluationState& s, TSubstanceBase* nextCursor) {
  if (s.ComplexMode && s.Height <= kImaginaryStackSize) {
    s.ImaginaryHeight = s.Height;
    s.Imaginary[s.Height] = 0;
  }
  s.SubstanceCursor = nextCursor;
}

// Pops the substance operand (swapping the object when it names another
// substance) and the state arguments into the record; the result slot is
// then the top. False when an error stops the call.
bool PopPropertyArguments(TEvaluationState& s, TSubstanceBase*& object, TPropertyArgumentRecord& a) {
  UnitSettingsUsed = 1;
  const int32_t n = RoundedIndex(s.Values[s.Height]);
  --s.Height;
  if (n != object->NameStringIndex) {
    ReplacePropertyObject(n, s.Equation, object);
    if (CalcErrorCode > 0) return false;
  }
  const int32_t k = object->ArgCount;
  if (k > s.Height) {
    CalcErrorCode = kMsgPropertyCallSyntax;
    return false;
  }
  for (int32_t i = k; i >= 1; --i) a.Value[static_cast<size_t>(i)] = s.Values[s.Height--];
  ++s.Height;
  UnitConversionEnabled = true;
  return true;
}

Extended CallStateOperation(TSubstanceBase& o, int32_t opcode, TPropertyArgumentRecord& a) {
  switch (opcode) {
    case 209: return o.Temperature(a);
    case 210: return o.Pressure(a);
    case 211: return o.Enthalpy(a);
    case 212: return o.IntEnergy(a);
    case 213: return o.Entropy(a);
    case 214: return o.Volume(a);
    case 215: return o.Quality(a);
    case 219: return o.WetBulb(a);
    case 220: return o.DewPoint(a);
    case 221: return o.HumRat(a);
    case 222: return o.RelHum(a);
    case 223: return 1 / o.Volume(a);
    default: return ErrorResultValue;
  }
}

bool StateOpcode(TEvaluationState& s, int32_t opcode) {
  TSubstanceBase* nextCursor = s.SubstanceCursor != nullptr ? s.SubstanceCursor->Next : nullptr;
  TSubstanceBase* object = ChooseObject(s, opcode);
  if (object == nullptr) return false;
  TPropertyArgumentRecord a;
  if (PopPropertyArguments(s, object, a)) {
    // A state solved for a call is kept for the calls that follow at the
    // same arguments: the trial evaluation, the one-unknown search's
    // repeated evaluations and other calls of the fluid in the equation.
    TEosStateReuseScope reuse;
    s.Values[s.Height] = CallStateOperation(*object, opcode, a);
  }
  FinishCall(s, nextCursor);
  return true;
}

bool PropertyOpcode216(TEvaluationState& s, int32_t opcode) {
  TSubstanceBase* nextCursor = s.SubstanceCursor != nullptr ? s.SubstanceCursor->Next : nullptr;
  TSubstanceBase* object = ChooseObject(s, opcode);
  if (object == nullptr) return false;
  TPropertyArgumentRecord a;
  if (!PopPropertyArguments(s, object, a) || s.Height < 2) {
    FinishCall(s, nextCursor);
    return false;
  }
  const int32_t sub = RoundedIndex(s.Values[s.Height - 1]);
  --s.Height;
  Extended& result = s.Values[s.Height];
  TEosStateReuseScope reuse;
  switch (sub) {
    case 1:
    case 8: result = object->SpecHeat(a); break;
    case 9: result = object->Cv(a); break;
    case 2: result = object->Viscosity(a); break;
    case 3: result = object->Conductivity(a); break;
    case 4: result = object->Prandtl(a); break;
    case 5: result = object->SoundSpeed(a); break;
    case 6: result = object->SurfaceTension(a); break;
    case 7: result = object->VolExpCoef(a); break;
    case 10: result = object->Fugacity(a); break;
    default: break;
  }
  FinishCall(s, nextCursor);
  return true;
}

bool PropertyOpcode217(TEvaluationState& s, int32_t opcode) {
  TSubstanceBase* nextCursor = s.SubstanceCursor != nullptr ? s.SubstanceCursor->Next : nullptr;
  TSubstanceBase* object = ChooseObject(s, opcode);
  if (object == nullptr) return false;
  if (s.Height < 2) {
    CalcErrorCode = kMsgPropertyCallSyntax;
    return false;
  }
  const int32_t n = RoundedIndex(s.Values[s.Height]);
  if (n > 0) ReplacePropertyObject(n, s.Equation, object);
  const int32_t sub = RoundedIndex(s.Values[s.Height - 1]);
  --s.Height;
  Extended& result = s.Values[s.Height];
  if (CalcErrorCode <= 0) {
    UnitConversionEnabled = true;
    switch (sub) {
      case 1: result = object->MolarMass(); break;
      case 2: result = object->T_crit(); break;
      case 3: result = object->P_crit(); break;
      case 4: result = object->v_crit(); break;
      case 5: result = object->isIdealGas(); break;
      case 6: result = object->AcentricFactor(); break;
      default: break;
    }
  }
  FinishCall(s, nextCursor);
  return true;
}

// 218 is never compiled: the object is chosen and nothing else happens.
bool PropertyOpcode218(TEvaluationState& s, int32_t opcode) {
  TSubstanceBase* nextCursor = s.SubstanceCursor != nullptr ? s.SubstanceCursor->Next : nullptr;
  if (ChooseObject(s, opcode) == nullptr) return false;
  FinishCall(s, nextCursor);
  return true;
}

// The unit labels of property kinds in the document's units, for the units
// of a variable a property call sets alone.
class DocumentPropertyUnits final : public PropertyUnitsSource {
 public:
  std::string PropertyUnitsText(int32_t kind) const override { return voq::PropertyUnitsText(kind); }
};
const DocumentPropertyUnits kDocumentPropertyUnits;

}  // namespace

void InstallPropertyOpcodes() {
  SetPropertyUnitsSource(&kDocumentPropertyUnits);
  for (int32_t op = 209; op <= 223; ++op) SetOpcodeHandler(op, &StateOpcode);
  SetOpcodeHandler(216, &PropertyOpcode216);
  SetOpcodeHandler(217, &PropertyOpcode217);
  SetOpcodeHandler(218, &PropertyOpcode218);
}

}  // namespace voq

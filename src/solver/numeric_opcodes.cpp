#include "solver/numeric_opcodes.h"

#include <array>
#include <cmath>
#include <limits>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/numeric_library.h"
#include "core/string_constants.h"
#include "core/text_utils.h"
#include "model/document_settings.h"
#include "model/program_units.h"
#include "platform/host.h"
#include "solver/complex_math.h"
#include "solver/evaluator.h"
#include "solver/math_functions.h"

namespace voq {

uint8_t UnitSettingsUsed = 0;

namespace {

constexpr int32_t kArithmeticHelp = 388;

// Degree conversions of the complex functions take pi to 12 digits.
constexpr Extended kPi = kPiConstant;
// ln 10 (Abramowitz and Stegun, Table 4.1: 2.30258 50929 94045 68401 8).
constexpr Extended kLn10 = 2.302585092994045684018L;
constexpr int32_t kUnitOperandBase = 20000;

constexpr int32_t kFamilyFirst = 247;
constexpr int32_t kFamilyLast = 250;
constexpr int32_t kMaxFamilySubCode = 15;

std::array<std::array<FamilyMemberHandler, kMaxFamilySubCode + 1>, kFamilyLast - kFamilyFirst + 1>
    familyMembers{};
UnitFactorConverter unitFactorConverter = nullptr;

// Names of the family members in the complex-mode refusal, by sub-code.
// NLOOKUPROWS is reported by the name its own error uses.
const char* const kOneArgumentNames[] = {"",       "ROUND",      "TRUNC",      "ARCCOSH",   "ARCSINH",
                                         "ARCTANH", "STRINGVAL", "STRING$",    "ERF",       "ERFC",
                                         "STEP",   "LOWERCASE$", "UPPERCASE$", "STRINGLEN", "NTABLEROWS",
                                         "GAMMA_"};
const char* const kTwoArgumentNames[] = {"",       "CONCAT$", "STRINGPOS", "INTEGRALVALUE",
                                         "RANDOM", "MOD",     "UNCERTAINTYOF"};
const char* const kThreeArgumentNames[] = {"", "COPY$", "CONVERTTEMP"};

// Sets the error and asks the evaluator to stop at once.
bool Stop(int32_t code, int32_t help) {
  CalcErrorCode = code;
  MessageHelpContext = help;
  return false;
}

bool NotForComplex(const char* what) {
  SetMessageArg(1, what);
  CalcErrorCode = kMsgNotForComplex;
  return false;
}

// A call always has its arguments on the stack; a code that lacks them is
// malformed.
bool HasValues(const TEvaluationState& s, int32_t n) {
  if (s.Height >= n) return true;
  CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
  return false;
}

// Integer arguments (sub-codes, counts, indexes) are rounded to the nearest
// integer, an exact half to the even neighbour.
int32_t IntegerArgument(Extended x) {
  if (std::isnan(x)) return 0;
  const Extended r = std::nearbyint(x);
  if (r > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (r < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(r);
}

Extended AngleFactor() { return Environment().AngleFactor(); }
// The angle-unit byte: degrees when an angle unit is far less than a radian.
bool DegreeMode() { return AngleFactor() < 0.5L; }
Extended FromDegreesWhenSet(Extended a) { return DegreeMode() ? a * kPi / 180 : a; }

// A real result in complex mode has no imaginary part.
bool ClearImaginaryAtTop(TEvaluationState& s) {
  if (!s.ComplexMode) return true;
  if (s.Height > kImaginaryStackSize) return Stop(kMsgStackLimit, 0);
  s.ImaginaryHeight = s.Height;
  s.Imaginary[s.ImaginaryHeight] = 0;
  return true;
}

Extended HyperbolicSine(Extended x) { return (GuardedExp(x) - GuardedExp(-x)) / 2; }
Extended HyperbolicCosine(Extended x) { return (GuardedExp(x) + GuardedExp(-x)) / 2; }

TComplex ComplexSinh(TComplex z) {
  return {HyperbolicSine(z.Re) * std::cos(z.Im), HyperbolicCosine(z.Re) * std::sin(z.Im)};
}
TComplex ComplexCosh(TComplex z) {
  return {HyperbolicCosine(z.Re) * std::cos(z.Im), HyperbolicSine(z.Re) * std::sin(z.Im)};
}

// arcsin z = -i ln(iz + sqrt(1 - z^2)).
TComplex ComplexArcSin(TComplex z) {
  const TComplex w = ComplexMultiply(z, z);
  const TComplex s = ComplexSqrt({1 - w.Re, -w.Im});
  const TComplex l = ComplexLn({s.Re - z.Im, s.Im + z.Re});
  return {l.Im, -l.Re};
}

// --- One-argument functions (225..240) ---------------------------------------------

bool ComplexOneArgument(TEvaluationState& s, int32_t opcode) {
  if (opcode == 236) return NotForComplex("ARCCOS is");
  if (opcode == 237) return NotForComplex("ARCTAN is");
  if (!s.AlignComplexStacks()) return false;
  const int32_t h = s.Height;
  const TComplex z{s.Values[h], s.Imaginary[h]};
  const TComplex angle{FromDegreesWhenSet(z.Re), z.Im};
  TComplex r = z;
  switch (opcode) {
    case 225: r = ComplexExp(z); break;
    case 226: {
      const TComplex l = ComplexLn(z);
      r = {l.Re / kLn10, l.Im / kLn10};
      break;
    }
    case 227: r = ComplexLn(z); break;
    case 228: r = ComplexSin(angle); break;
    case 229: r = ComplexCos(angle); break;
    case 230: r = ComplexDivide(ComplexSin(angle), ComplexCos(angle)); break;
    case 231: r = ComplexSqrt(z); break;
    case 232: r = {std::sqrt(z.Re * z.Re + z.Im * z.Im), 0}; break;
    case 235: r = ComplexArcSin(z); break;
    case 238: r = ComplexSinh(z); break;
    case 239: r = ComplexCosh(z); break;
    case 240: r = ComplexDivide(ComplexSinh(z), ComplexCosh(z)); break;
    default: break;
  }
  s.Values[h] = r.Re;
  s.Imaginary[h] = r.Im;
  return true;
}

bool OneArgumentFunction(TEvaluationState& s, int32_t opcode) {
  if (!HasValues(s, 1)) return false;
  if (s.ComplexMode) return ComplexOneArgument(s, opcode);
  Extended& x = s.Values[s.Height];
  const Extended f = AngleFactor();
  switch (opcode) {
    case 225: x = GuardedExp(x); break;
    case 226:
      if (!(x > 0)) return Stop(kMsgLogOfNonPositive, kArithmeticHelp);
      x = Log10Real(x);
      break;
    case 227:
      if (!(x > 0)) return Stop(kMsgLogOfNonPositive, kArithmeticHelp);
      x = std::log(x);
      break;
    case 228:
      UnitSettingsUsed = 1;
      x = std::sin(f * x);
      break;
    case 229:
      UnitSettingsUsed = 1;
      x = std::cos(f * x);
      break;
    case 230:
      UnitSettingsUsed = 1;
      x = TanFunction(f * x);
      break;
    case 231:
      if (!(x >= 0)) return Stop(kMsgSqrtOfNegative, kArithmeticHelp);
      x = std::sqrt(x);
      break;
    case 232: x = std::fabs(x); break;
    case 235:
    case 236:
      UnitSettingsUsed = 1;
      if (std::fabs(x) > 1) {
        CalcErrorCode = kMsgArcSinRange;  // the slot keeps the argument
        break;
      }
      x = (opcode == 235 ? ArcSinFunction(x) : ArcCosFunction(x)) / f;
      break;
    case 237:
      UnitSettingsUsed = 1;
      x = std::atan(x) / f;
      break;
    case 238: x = HyperbolicSine(x); break;
    case 239: x = HyperbolicCosine(x); break;
    case 240: {
      const Extended up = GuardedExp(x);
      const Extended down = GuardedExp(-x);
      x = (up - down) / (up + down);
      break;
    }
    default: break;
  }
  return true;
}

// --- MIN, MAX, AVERAGE and the SUM of a list (233) -----------------------------------

bool ListFunction(TEvaluationState& s, int32_t /*opcode*/) {
  if (s.ComplexMode) return NotForComplex("MIN and MAX are");
  if (!HasValues(s, 2)) return false;
  const int32_t h = s.Height;
  const int32_t n = IntegerArgument(s.Values[h]);
  // Below the n values and the count lies the sub-code.
  if (n < 0 || n > h - 2) return Stop(kMsgSyntaxOrUndefinedFunction, 0);
  if (s.BuiltinCallCursor != nullptr) s.BuiltinCallCursor = s.BuiltinCallCursor->Next;
  const int32_t subSlot = h - n - 1;
  Extended least = BlankValue;
  Extended greatest = -BlankValue;
  Extended sum = 0;
  for (int32_t k = subSlot + 1; k < h; ++k) {
    const Extended x = s.Values[k];
    if (x < least) least = x;
    if (x > greatest) greatest = x;
    sum += x;
  }
  Extended result = 0;
  switch (IntegerArgument(s.Values[subSlot])) {
    case 1: result = least; break;
    case 2: result = greatest; break;
    case 3:
      if (n == 0) return Stop(kMsgDivisionByZero, kArithmeticHelp);
      result = sum / n;
      break;
    case 4: result = sum; break;
    default: return Stop(kMsgSyntaxOrUndefinedFunction, 0);
  }
  s.Height = subSlot;
  s.Values[subSlot] = result;
  return true;
}

// --- Bessel functions (200) -----------------------------------------------------------

bool BesselFunction(TEvaluationState& s, int32_t /*opcode*/) {
  if (s.ComplexMode) return NotForComplex("Bessel functions are ");
  if (!HasValues(s, 2)) return false;
  const int32_t h = s.Height;
  const Extended x = s.Values[h];
  Extended r = 0;
  switch (IntegerArgument(s.Values[h - 1])) {
    case 1: r = BesselI0(x); break;
    case 2: r = BesselI1(x); break;
    case 3: r = BesselJ0(x); break;
    case 4: r = BesselJ1(x); break;
    case 5: r = BesselK0(x); break;
    case 6: r = BesselK1(x); break;
    case 7: r = BesselY0(x); break;
    case 8: r = BesselY1(x); break;
    default:
      CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
      return true;
  }
  s.Height = h - 1;
  s.Values[h - 1] = r;
  return true;
}

// --- CONVERT (201) ------------------------------------------------------------------------

bool ConvertFunction(TEvaluationState& s, int32_t /*opcode*/) {
  if (!HasValues(s, 3)) return false;
  const int32_t h = s.Height;
  Extended from = s.Values[h - 1];
  Extended to = s.Values[h];
  s.Height = h - 2;
  // Both unit texts were constants: the factor was found at compile time.
  if (!(from >= kUnitOperandBase && to >= kUnitOperandBase)) {
    if (from >= kUnitOperandBase) from -= kUnitOperandBase;
    if (to >= kUnitOperandBase) to -= kUnitOperandBase;
    const std::string fromText = StringConstText(IntegerArgument(from));
    const std::string toText = StringConstText(IntegerArgument(to));
    if (CalcErrorCode > 0) return true;
    if (unitFactorConverter == nullptr) {
      CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
      return true;
    }
    Extended factor = 1;
    unitFactorConverter(fromText, toText, factor);
    s.Values[h - 2] = factor;
  }
  return ClearImaginaryAtTop(s);
}

// --- Complex parts (202) and POLARTORECT (203) --------------------------------------------

bool ComplexPartFunction(TEvaluationState& s, int32_t /*opcode*/) {
  if (Preferences.ComplexMode == 0) return Stop(kMsgComplexOnly, 207);
  if (!HasValues(s, 2) || !s.AlignComplexStacks()) return false;
  const int32_t h = s.Height;
  const Extended a = s.Values[h];
  const Extended b = s.Imaginary[h];
  const int32_t sub = IntegerArgument(s.Values[h - 1]);
  s.Height = h - 1;
  s.ImaginaryHeight = h - 1;
  Extended re = 0;
  Extended im = 0;
  Extended magnitude = 0;
  Extended phase = 0;
  switch (sub) {
    case 1: re = a; break;
    case 2: im = b; break;
    case 3: re = std::sqrt(a * a + b * b); break;
    case 4:
      ComplexToPolar(magnitude, phase, a, b);
      re = phase / AngleFactor();
      break;
    case 5:
      ComplexToPolar(magnitude, phase, a, b);
      re = phase * 180 / kPi;
      break;
    case 6:
      ComplexToPolar(magnitude, phase, a, b);
      re = phase;
      break;
    case 7:
      re = a;
      im = -b;
      break;
    case 8: {
      const Extended c = FromDegreesWhenSet(a);
      re = std::cos(c);
      im = std::sin(c);
      break;
    }
    default:
      CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
      return true;
  }
  s.Values[h - 1] = re;
  s.Imaginary[h - 1] = im;
  return true;
}

bool PolarToRectFunction(TEvaluationState& s, int32_t /*opcode*/) {
  if (Preferences.ComplexMode == 0) return Stop(kMsgComplexOnly, 0);
  if (!HasValues(s, 3) || !s.AlignComplexStacks()) return false;
  const int32_t h = s.Height;
  if (IntegerArgument(s.Values[h - 2]) != 1) {
    CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
    return true;
  }
  Extended re = 0;
  Extended im = 0;
  PolarToComplex(re, im, s.Values[h - 1], s.Values[h] * AngleFactor());
  s.Height = h - 2;
  s.ImaginaryHeight = h - 2;
  s.Values[h - 2] = re;
  s.Imaginary[h - 2] = im;
  return true;
}

// --- IF(A, B, X, Y, Z) (204) ------------------------------------------------------------------

bool IfFunction(TEvaluationState& s, int32_t /*opcode*/) {
  if (!HasValues(s, 5)) return false;
  const int32_t h = s.Height;
  const Extended a = s.Values[h - 4];
  const Extended b = s.Values[h - 3];
  const Extended r = a < b ? s.Values[h - 2] : (a == b ? s.Values[h - 1] : s.Values[h]);
  s.Height = h - 4;
  s.Values[h - 4] = r;
  // Only the value stack is read, so the result is real. In complex mode
  // the arguments' imaginary entries would otherwise stay above it, and the
  // imaginary copy of the equation (which ends at the imaginary stack's
  // height) would not leave exactly one value.
  return ClearImaginaryAtTop(s);
}

// --- The families 247, 249, 250 --------------------------------------------------------------

bool DelegateToMember(TEvaluationState& s, int32_t opcode, int32_t sub) {
  FamilyMemberHandler handler = nullptr;
  if (sub >= 0 && sub <= kMaxFamilySubCode) handler = familyMembers[opcode - kFamilyFirst][sub];
  if (handler == nullptr) {
    CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
    return true;
  }
  return handler(s, opcode, sub);
}

// The name a family member is refused by in complex mode.
const char* MemberName(int32_t opcode, int32_t sub) {
  if (opcode == 247 && sub >= 1 && sub <= 15) return kOneArgumentNames[sub];
  if (opcode == 249 && sub >= 1 && sub <= 6) return kTwoArgumentNames[sub];
  if (opcode == 250 && sub >= 1 && sub <= 2) return kThreeArgumentNames[sub];
  return nullptr;
}

bool OneArgumentFamily(TEvaluationState& s, int32_t opcode) {
  if (!HasValues(s, 2)) return false;
  const int32_t h = s.Height;
  const int32_t sub = IntegerArgument(s.Values[h - 1]);
  if (s.ComplexMode) {
    const char* name = MemberName(opcode, sub);
    return name != nullptr ? NotForComplex(name) : Stop(kMsgSyntaxOrUndefinedFunction, 0);
  }
  const Extended x = s.Values[h];
  Extended r = 0;
  switch (sub) {
    case 1: r = RoundFunction(x); break;
    case 2: r = std::trunc(x); break;
    case 3:
      if (std::fabs(x) < 1) return Stop(kMsgArcCoshRange, 0);
      r = std::log(x + std::sqrt(x * x - 1));
      break;
    case 4:
      // ln(x + sqrt(x^2 + 1)), taken at |x| and given the sign of x: for a
      // large negative x the sum would cancel to 0.
      r = std::log(std::fabs(x) + std::sqrt(x * x + 1));
      if (x < 0) r = -r;
      break;
    case 5:
      if (std::fabs(x) >= 1) return Stop(kMsgArcCoshRange, 0);
      r = (std::log(1 + x) - std::log(1 - x)) / 2;
      break;
    case 8: r = ErfReal(x); break;
    case 9: r = ErfcReal(x); break;
    case 10: r = x >= 0 ? 1 : 0; break;
    case 15: r = GammaFunction(x); break;
    default: return DelegateToMember(s, opcode, sub);
  }
  s.Height = h - 1;
  s.Values[h - 1] = r;
  return true;
}

bool TwoArgumentFamily(TEvaluationState& s, int32_t opcode) {
  if (!HasValues(s, 3)) return false;
  const int32_t h = s.Height;
  const int32_t sub = IntegerArgument(s.Values[h - 2]);
  if (s.ComplexMode) {
    const char* name = MemberName(opcode, sub);
    return name != nullptr ? NotForComplex(name) : Stop(kMsgSyntaxOrUndefinedFunction, 0);
  }
  const Extended w = s.Values[h - 1];
  const Extended y = s.Values[h];
  switch (sub) {
    case 5:
      s.Height = h - 2;
      if (y == 0) {
        CalcErrorCode = kMsgDivisionByZero;  // the slot is not written
        return true;
      }
      // W - TRUNC(W / Y) * Y, computed exactly: the result has the sign of W.
      s.Values[h - 2] = std::fmod(w, y);
      return true;
    case 4:
      s.Height = h - 2;
      if (s.RoutineSlot < 1) {
        s.Values[h - 2] = ErrorResultValue;
        CalcErrorCode = kMsgRandomOutsideRoutine;
        return true;
      }
      s.Values[h - 2] = w + static_cast<Extended>(Platform().RandomUniform()) * (y - w);
      return true;
    default:
      return DelegateToMember(s, opcode, sub);
  }
}

bool ThreeArgumentFamily(TEvaluationState& s, int32_t opcode) {
  if (!HasValues(s, 4)) return false;
  const int32_t h = s.Height;
  const int32_t sub = IntegerArgument(s.Values[h - 3]);
  if (s.ComplexMode) {
    const char* name = MemberName(opcode, sub);
    return name != nullptr ? NotForComplex(name) : Stop(kMsgSyntaxOrUndefinedFunction, 0);
  }
  if (sub != 2) return DelegateToMember(s, opcode, sub);
  const Extended r = ConvertTemp(IntegerArgument(s.Values[h - 2]), IntegerArgument(s.Values[h - 1]), s.Values[h]);
  s.Height = h - 3;
  s.Values[h - 3] = r;
  return true;
}

// --- UNITSYSTEM (248) --------------------------------------------------------------------------

bool UnitSystemFunction(TEvaluationState& s, int32_t /*opcode*/) {
  if (!HasValues(s, 1)) return false;
  const TDocumentSettingsRecord& d = DocumentSettings;
  const bool si = d.UnitSystem == 0;
  const bool english = d.UnitSystem == 1;
  const uint8_t angleUnit = DegreeMode() ? 0 : 1;
  bool holds = false;
  switch (IntegerArgument(s.Values[s.Height])) {
    case 1: holds = si; break;
    case 2: holds = english; break;
    case 3: holds = d.MolarBasis == 0; break;
    case 4: holds = d.MolarBasis == 1; break;
    case 5: holds = angleUnit == 0; break;
    case 6: holds = angleUnit == 1; break;
    case 7: holds = d.PressureUnit == 0 && si; break;
    case 8: holds = d.PressureUnit == 1 && si; break;
    case 9: holds = d.PressureUnit == 0 && english; break;
    case 10: holds = d.PressureUnit == 1 && english; break;
    case 11: holds = d.AbsoluteTemperature == 0 && si; break;
    case 12: holds = d.AbsoluteTemperature == 1 && si; break;
    case 13: holds = d.AbsoluteTemperature == 0 && english; break;
    case 14: holds = d.AbsoluteTemperature == 1 && english; break;
    case 15: holds = d.PressureUnit == 2; break;
    case 16: holds = d.PressureUnit == 3; break;
    case 17: holds = d.EnergyUnit == 1; break;
    default: break;
  }
  s.Values[s.Height] = holds ? 1 : 0;
  return ClearImaginaryAtTop(s);
}

// Kelvin from a temperature on scale c, and back.
Extended ToKelvin(char c, Extended x) {
  switch (c) {
    case 'C': return x + 273.15L;
    case 'F': return (x - 32) / 1.8L + 273.15L;
    case 'R': return x / 1.8L;
    default: return x;
  }
}
Extended FromKelvin(char c, Extended t) {
  switch (c) {
    case 'C': return t - 273.15L;
    case 'F': return (t - 273.15L) * 1.8L + 32;
    case 'R': return t * 1.8L;
    default: return t;
  }
}

// The scale letter named by a string-constant index; 0 when it is none.
char ScaleLetter(int32_t index) {
  if (index > kUnitOperandBase) index -= kUnitOperandBase;
  if (index < 1 || index > static_cast<int32_t>(StringConstants.size())) return 0;
  const std::string text = UpperCaseText(StringConstants[static_cast<size_t>(index) - 1]);
  if (text.size() != 1 || std::string("CFKR").find(text[0]) == std::string::npos) return 0;
  return text[0];
}

}  // namespace

Extended ConvertTemp(int32_t fromIndex, int32_t toIndex, Extended x) {
  const char from = ScaleLetter(fromIndex);
  const char to = ScaleLetter(toIndex);
  if (from == 0 || to == 0) {
    CalcErrorCode = kMsgTemperatureScale;
    MessageHelpContext = 323;
    return ErrorResultValue;
  }
  return FromKelvin(to, ToKelvin(from, x));
}

Extended RoundFunction(Extended x) {
  if (!std::isfinite(x)) return x;
  const Extended whole = std::trunc(x);
  const Extended fraction = x - whole;  // exact
  if (x > 0) {
    if (fraction < 0.5L) return whole;
    if (fraction > 0.5L) return whole + 1;
    return std::fmod(whole, 2.0L) == 0 ? whole : whole + 1;
  }
  if (fraction >= -0.5L) return whole;
  return whole - 1;
}

void SetFamilyMemberHandler(int32_t opcode, int32_t subCode, FamilyMemberHandler handler) {
  if (opcode < kFamilyFirst || opcode > kFamilyLast || subCode < 0 || subCode > kMaxFamilySubCode) return;
  familyMembers[opcode - kFamilyFirst][subCode] = handler;
}

void SetUnitFactorConverter(UnitFactorConverter converter) { unitFactorConverter = converter; }

namespace {

struct OpcodeEntry {
  int32_t Opcode;
  OpcodeHandler Handler;
};

const OpcodeEntry kNumericOpcodes[] = {
    {200, BesselFunction},      {201, ConvertFunction},      {202, ComplexPartFunction},
    {203, PolarToRectFunction}, {204, IfFunction},           {225, OneArgumentFunction},
    {226, OneArgumentFunction}, {227, OneArgumentFunction},  {228, OneArgumentFunction},
    {229, OneArgumentFunction}, {230, OneArgumentFunction},  {231, OneArgumentFunction},
    {232, OneArgumentFunction}, {233, ListFunction},         {235, OneArgumentFunction},
    {236, OneArgumentFunction}, {237, OneArgumentFunction},  {238, OneArgumentFunction},
    {239, OneArgumentFunction}, {240, OneArgumentFunction},  {247, OneArgumentFamily},
    {248, UnitSystemFunction},  {249, TwoArgumentFamily},    {250, ThreeArgumentFamily},
};

}  // namespace

void InstallNumericOpcodes() {
  for (const OpcodeEntry& entry : kNumericOpcodes) SetOpcodeHandler(entry.Opcode, entry.Handler);
}

}  // namespace voq

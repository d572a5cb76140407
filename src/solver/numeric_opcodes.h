#pragma once
// The numeric and complex function opcodes of the evaluator: EXP to TANH,
// MIN/MAX/AVERAGE and the SUM of a list, the Bessel functions, CONVERT, the
// complex-part functions, POLARTORECT, IF, the numeric members of the one-,
// two- and three-argument families (ROUND, TRUNC, the inverse hyperbolic
// functions, ERF, ERFC, STEP, GAMMA_, MOD, RANDOM, CONVERTTEMP) and
// UNITSYSTEM.
//
// Each handler finds its arguments on the value stack, the first deepest
// (a catalogue sub-code is an extra first argument), pops them and writes its
// result into the deepest slot it used. A check that stops the evaluation at
// once returns false (the evaluator then returns ErrorResultValue); other
// errors stop the loop at its next test.
#include <cstdint>
#include <string>

#include "core/extended.h"

namespace voq {

struct TEvaluationState;

// Set by the real-mode trigonometric functions (and the property functions):
// the Solution window then shows the unit settings. Cleared when a compile
// starts.
extern uint8_t UnitSettingsUsed;

// Registers the handlers of opcodes 200..204, 225..233, 235..240 and
// 247..250 with the evaluator (replacing whatever was there).
void InstallNumericOpcodes();

// Opcodes 247, 249 and 250 are families whose string, table and uncertainty
// members belong to other subsystems: those members are executed by the
// handler installed here for (opcode, sub-code). A member without a handler
// is an undefined function (error 9). The complex-mode refusal (error 261)
// is made before any member runs.
using FamilyMemberHandler = bool (*)(TEvaluationState& state, int32_t opcode, int32_t subCode);
void SetFamilyMemberHandler(int32_t opcode, int32_t subCode, FamilyMemberHandler handler);

// CONVERT at evaluation, when a unit text became known only then: the
// factor from one unit text to another (false with the unit module's error
// set). Without a converter the unit table does not exist yet and the call
// is an undefined function (error 9).
using UnitFactorConverter = bool (*)(const std::string& fromUnits, const std::string& toUnits,
                                     Extended& factor);
void SetUnitFactorConverter(UnitFactorConverter converter);

// Temperature x converted between the scales named by two string constants
// (an index above 20000 is taken less 20000): C, F, K or R, compared
// upper-cased. Any other text is error 496 with the result -999.
Extended ConvertTemp(int32_t fromIndex, int32_t toIndex, Extended x);

// ROUND: the nearest integer; an exact half of a positive number goes to
// the even neighbour, a fraction from -0.5 up of a number <= 0 is cut
// toward zero.
Extended RoundFunction(Extended x);

}  // namespace voq

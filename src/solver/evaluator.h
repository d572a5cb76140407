#pragma once
// The equation evaluator: runs the postfix code of one compiled equation over
// two value stacks and returns its left side minus its right side.
//
// Every residual of every solver comes through here, so the loop allocates
// nothing: both stacks live in the call's own storage, constants and string
// operands are read by running counters, and the code word selects its action
// directly. Function opcodes (198..255) are executed by handlers that the
// function families register; an opcode without a handler is reported as an
// undefined function (error 9) instead of being passed over.
//
// Floating-point exceptions are not turned into errors here: the caller that
// needs that (the solvers, through EvalResidualChecked) tests the status flags.
#include <cstdint>

#include "core/extended.h"

namespace voq {

struct TEquationRecord;
struct TArgumentListRecord;
struct TSubstanceBase;

// Highest entry of each stack; entry 0 is a floor that always holds 0.
inline constexpr int32_t kValueStackSize = 2010;
inline constexpr int32_t kImaginaryStackSize = 120;

// Everything of one evaluation that a function opcode may read or change.
// A nested evaluation (a user routine's statement) has its own.
struct TEvaluationState {
  TEquationRecord* Equation = nullptr;
  // 0 for the main program, modules and subprograms; 1..300 for a statement
  // of a user FUNCTION or PROCEDURE.
  int32_t RoutineSlot = 0;
  // Index of the next code word.
  int32_t Position = 0;
  // CodeConstant and CodeStringConstant words met so far.
  int32_t ConstantCounter = 0;
  int32_t StringCounter = 0;
  TSubstanceBase* SubstanceCursor = nullptr;
  TArgumentListRecord* CallCursor = nullptr;
  TArgumentListRecord* BuiltinCallCursor = nullptr;
  bool ComplexMode = false;

  int32_t Height = 0;
  int32_t ImaginaryHeight = 0;
  Extended Values[kValueStackSize + 1];
  Extended Imaginary[kImaginaryStackSize + 1];

  // Push one value; false (error 267 set) when the stack is full.
  bool Push(Extended x);
  bool PushImaginary(Extended x);
  // Gives every value on the stacks an imaginary part (0 for real values) by
  // pushing zeros on the lower stack. False (error 267) on overflow.
  bool AlignComplexStacks();
};

// Executes a function opcode. The arguments are on the value stack, the first
// deepest; the handler pops them and writes its result into the deepest slot
// used. Returns false when the evaluation must stop at once (it then returns
// ErrorResultValue); an error it sets otherwise stops the loop at its next test.
using OpcodeHandler = bool (*)(TEvaluationState& state, int32_t opcode);
// Installs (or, with nullptr, removes) the handler of an opcode 198..255.
void SetOpcodeHandler(int32_t opcode, OpcodeHandler handler);
OpcodeHandler GetOpcodeHandler(int32_t opcode);
// Whether a word in 198..255 is an opcode the evaluator passes over without
// effect (205..207, 224 and 243 are never executed).
bool IsPassedOverOpcode(int32_t word);

// Reads a CodeLocalVariable operand (a routine's parameter or local, or a
// main-program variable brought in by $COMMON). Returns false with an error
// set when it cannot.
using LocalOperandReader = bool (*)(TEvaluationState& state, int32_t localIndex, Extended& value);
void SetLocalOperandReader(LocalOperandReader reader);

// What the evaluator needs of the document and of other subsystems. The
// default knows no constants, works in radians and has no Parametric table.
class EvaluationEnvironment {
 public:
  virtual ~EvaluationEnvironment() = default;
  // Value of built-in constant j (0-based position in the constants list) in
  // the document's unit system; false when there is no such constant. By
  // default the constants list the units subsystem loaded.
  virtual bool BuiltinConstantValue(int32_t j, Extended& value) const;
  // Radians per angle unit of the document (1 in radian mode); by default
  // the one DocumentSettings holds.
  virtual Extended AngleFactor() const;
  // String-constant index of the current Parametric table's name; 0 when the
  // window does not exist.
  virtual int32_t TableNameIndex() const { return 0; }
  // The routine of FunctionTable slot r was read from a library file: errors
  // in its statements select the calling statement instead. By default the
  // routine record's library flag.
  virtual bool IsLibraryRoutine(int32_t r) const;
};
const EvaluationEnvironment& Environment();
// Installs an environment (not owned); nullptr restores the default.
void SetEvaluationEnvironment(const EvaluationEnvironment* environment);

// The run of the Parametric table being solved (TABLERUN#); 0 outside table runs.
extern int32_t CurrentRun;

// Runs the code of the equation and returns left side minus right side; sets
// the equation's ResidualScale and RelativeResidual. After an error the value
// has no meaning: ErrorResultValue when an operation stopped at once, 1 when
// the loop ended on a positive CalcErrorCode.
Extended EvaluateEquation(TEquationRecord* equation, int32_t routineSlot);

}  // namespace voq

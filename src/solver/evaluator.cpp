#include "solver/evaluator.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "model/compiled_code.h"
#include "model/document_settings.h"
#include "model/program_units.h"
#include "model/routines.h"
#include "model/store_state.h"
#include "solver/complex_math.h"
#include "solver/numeric_opcodes.h"
#include "units/constants.h"

namespace voq {

namespace {

constexpr int32_t kFirstFunctionOpcode = 198;
constexpr int32_t kLastFunctionOpcode = 255;

constexpr int32_t kArithmeticHelpContext = 388;

// Angle conversions of the DEG and RAD suffixes take pi to 12 digits.
constexpr Extended kSuffixPi = 3.14159265359L;
// Below this magnitude the residual is not scaled.
constexpr Extended kSmallestScale = 1E-30L;

std::array<OpcodeHandler, kLastFunctionOpcode + 1> opcodeHandlers{};
LocalOperandReader localOperandReader = nullptr;
const EvaluationEnvironment defaultEnvironment;
const EvaluationEnvironment* environment = &defaultEnvironment;

void SetStackLimitError() {
  CalcErrorCode = kMsgStackLimit;
}

// Where the error of an equation is shown: the statement itself, except for
// statements of library routines, which the user cannot see.
void MarkLastEquation(TEquationRecord* e, int32_t r) {
  if (CurrentProgramUnit == nullptr) return;
  if (r == 0 || !environment->IsLibraryRoutine(r)) CurrentProgramUnit->LastEquation = e;
}

// W^Y in real mode. Sets the error and returns false when the evaluation
// must stop at once.
bool RealPower(Extended w, Extended y, Extended& result) {
  if (w > 0) {
    result = std::exp(y * std::log(w));
    return true;
  }
  if (w == 0) {
    result = (y == 0) ? 1 : 0;
    // Stops at the next loop test, not at once.
    if (y < 0) CalcErrorCode = kMsgDivisionByZero;
    return true;
  }
  Extended n = std::trunc(y);
  if (y - n != 0) {
    CalcErrorCode = kMsgNegativeBasePower;
    MessageHelpContext = kArithmeticHelpContext;
    return false;
  }
  // An integral power of a negative base: |W|^|n| with the sign of (-1)^n.
  // powl takes log2|n| steps instead of |n| multiplications, so a huge
  // exponent cannot stall the evaluation, and it rounds once.
  Extended magnitude = std::pow(-w, n);
  result = (std::fmod(n, 2.0L) != 0) ? -magnitude : magnitude;
  return true;
}

}  // namespace

int32_t CurrentRun = 0;

bool TEvaluationState::Push(Extended x) {
  if (Height >= kValueStackSize) {
    SetStackLimitError();
    return false;
  }
  Values[++Height] = x;
  return true;
}

bool TEvaluationState::PushImaginary(Extended x) {
  if (ImaginaryHeight >= kImaginaryStackSize) {
    SetStackLimitError();
    return false;
  }
  Imaginary[++ImaginaryHeight] = x;
  return true;
}

bool TEvaluationState::AlignComplexStacks() {
  while (ImaginaryHeight < Height) {
    if (!PushImaginary(0)) return false;
  }
  while (Height < ImaginaryHeight) {
    if (!Push(0)) return false;
  }
  return true;
}

void SetOpcodeHandler(int32_t opcode, OpcodeHandler handler) {
  if (opcode >= kFirstFunctionOpcode && opcode <= kLastFunctionOpcode) opcodeHandlers[opcode] = handler;
}

OpcodeHandler GetOpcodeHandler(int32_t opcode) {
  if (opcode >= kFirstFunctionOpcode && opcode <= kLastFunctionOpcode) return opcodeHandlers[opcode];
  return nullptr;
}

bool IsPassedOverOpcode(int32_t word) {
  return (word >= 205 && word <= 207) || word == 224 || word == 243;
}

void SetLocalOperandReader(LocalOperandReader reader) { localOperandReader = reader; }

bool EvaluationEnvironment::BuiltinConstantValue(int32_t j, Extended& value) const {
  if (j < 0 || static_cast<size_t>(j) >= ConstantsList.size()) return false;
  const TConstantRecord& c = ConstantsList[static_cast<size_t>(j)];
  value = CurrentConstantValue(c);
  if (CurrentConstantValueMissing(c)) {
    // Its English value could not be converted when the file was read.
    SetMessageArg(1, c.Name);
    CalcErrorCode = kMsgUnexpectedEvaluationError;
  }
  return true;
}

Extended EvaluationEnvironment::AngleFactor() const { return DocumentSettings.AngleFactor; }

bool EvaluationEnvironment::IsLibraryRoutine(int32_t r) const {
  const TRoutineRecord* routine = RoutineAt(r);
  return routine != nullptr && routine->IsLibrary != 0;
}

const EvaluationEnvironment& Environment() { return *environment; }

void SetEvaluationEnvironment(const EvaluationEnvironment* env) {
  environment = env != nullptr ? env : &defaultEnvironment;
}

Extended EvaluateEquation(TEquationRecord* equation, int32_t routineSlot) {
  TEvaluationState s;
  TEquationRecord& e = *equation;
  const int32_t r = routineSlot;

  CompilingFunctionIndex = r;
  // A warning state this equation left at its previous evaluation is dropped.
  if (WarningEquation == equation) {
    CalcErrorCode = 0;
    MessageHelpContext = 0;
  }
  if (CalcErrorCode == 0) WarningEquation = nullptr;

  s.Equation = equation;
  s.RoutineSlot = r;
  // What a routine statement assigns: the element its target resolved to
  // and the right side at its "=", both of this evaluation only (NaN: no
  // "=" was met).
  e.AssignedLocal = nullptr;
  e.RightSide = std::numeric_limits<Extended>::quiet_NaN();
  s.SubstanceCursor = e.SubstanceChain;
  s.CallCursor = e.CallLists;
  s.BuiltinCallCursor = e.BuiltinCallLists;
  s.Values[0] = 0;
  s.Imaginary[0] = 0;
  TProgramUnitRecord* unit = CurrentProgramUnit;
  s.ComplexMode = (r == 0 && unit != nullptr && unit->UnitComplexMode != 0);
  const bool complexMode = s.ComplexMode;
  MarkLastEquation(equation, r);
  CheckUserAbort();

  const int32_t* code = e.Code.data();
  const int32_t codeCount = static_cast<int32_t>(e.Code.size());
  Extended* v = s.Values;
  Extended* im = s.Imaginary;

  // Reads the index that follows an operand code; a code that ends early
  // leaves the evaluation with error 9.
  auto nextIndex = [&](int32_t& index) {
    if (s.Position >= codeCount) {
      CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
      return false;
    }
    index = code[s.Position++];
    return true;
  };
  auto variableAt = [&](int32_t i) -> TVariableRecord* {
    return unit != nullptr ? unit->Variable(i) : nullptr;
  };

  while (s.Position < codeCount && CalcErrorCode <= 0) {
    const int32_t w = code[s.Position++];
    if (w <= 0) {
      switch (w) {
        case CodeConstant: {
          Extended c = 0;
          if (s.ConstantCounter < static_cast<int32_t>(e.Constants.size()))
            c = e.Constants[s.ConstantCounter];
          else
            CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
          ++s.ConstantCounter;
          if (!s.Push(c)) return ErrorResultValue;
          if (complexMode && !s.PushImaginary(0)) return ErrorResultValue;
          break;
        }
        case CodeVariable: {
          int32_t i = 0;
          if (!nextIndex(i)) break;
          TVariableRecord* var = variableAt(i);
          if (var == nullptr) {
            CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
            break;
          }
          if (!s.Push(var->Value)) return ErrorResultValue;
          break;
        }
        case CodeLocalVariable: {
          int32_t k = 0;
          if (!nextIndex(k)) break;
          Extended x = 0;
          if (localOperandReader == nullptr) {
            CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
            break;
          }
          if (!localOperandReader(s, k, x)) break;
          if (!s.Push(x)) return ErrorResultValue;
          break;
        }
        case CodeStringConstant: {
          Extended x = s.StringCounter < static_cast<int32_t>(e.StringOperands.size())
                           ? static_cast<Extended>(e.StringOperands[s.StringCounter])
                           : 0;
          ++s.StringCounter;
          if (!s.Push(x)) return ErrorResultValue;
          break;
        }
        case CodeTableRun:
          if (!s.Push(CurrentRun)) return ErrorResultValue;
          break;
        case CodeBuiltinConstant: {
          int32_t j = 0;
          if (!nextIndex(j)) break;
          Extended x = 0;
          if (!environment->BuiltinConstantValue(j, x)) {
            CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
            break;
          }
          if (!s.Push(x)) return ErrorResultValue;
          break;
        }
        case CodeTableName:
          if (!s.Push(environment->TableNameIndex())) return ErrorResultValue;
          break;
        case CodeImaginaryUnit:
          if (!s.Push(0) || !s.PushImaginary(1)) return ErrorResultValue;
          break;
        case CodeComplexVariable: {
          const bool first = (s.Position == 1);
          int32_t i = 0;
          if (!nextIndex(i)) break;
          TVariableRecord* var = variableAt(i);
          if (var == nullptr) {
            CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
            break;
          }
          if (!s.PushImaginary(var->Value)) return ErrorResultValue;
          // X_i = ...: the imaginary part stands on the left as a real value.
          if (first && e.EquationKind == 1 && e.LeftIsImaginaryPart != 0) {
            s.Height = s.ImaginaryHeight;
            if (s.Height > kValueStackSize) {
              SetStackLimitError();
              return ErrorResultValue;
            }
            v[s.Height] = var->Value;
          }
          break;
        }
        case CodeDegreeSuffix:
          if (environment->AngleFactor() > 0.9L) v[s.Height] = v[s.Height] * kSuffixPi / 180;
          break;
        case CodeRadianSuffix:
          if (environment->AngleFactor() < 0.2L) v[s.Height] = v[s.Height] * 180 / kSuffixPi;
          break;
        case CodeOutputList:
          s.Position = codeCount;  // the code ends here
          break;
        default:
          break;  // never produced; passed over
      }
      continue;
    }

    if (w >= OpAdd && w <= OpPower) {
      const Extended y = v[s.Height];
      const Extended wl = s.Height >= 1 ? v[s.Height - 1] : 0;
      if (!complexMode) {
        if (w == OpNegate) {
          v[s.Height] = -y;
          continue;
        }
        --s.Height;
        if (s.Height < 1) {
          CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
          continue;
        }
        Extended& top = v[s.Height];
        switch (w) {
          case OpAdd: top = wl + y; break;
          case OpSubtract: top = wl - y; break;
          case OpEqual:
            e.ResidualScale = (y != 0 && wl != 0) ? y : 1;
            e.RightSide = y;
            top = wl - y;
            break;
          case OpMultiply: top = wl * y; break;
          case OpDivide:
            if (y == 0) {
              CalcErrorCode = kMsgDivisionByZero;
              MessageHelpContext = kArithmeticHelpContext;
              return ErrorResultValue;
            }
            top = wl / y;
            break;
          case OpPower: {
            Extended p = 0;
            if (!RealPower(wl, y, p)) return ErrorResultValue;
            top = p;
            break;
          }
          default: break;
        }
        continue;
      }

      // Complex mode: a value is the pair of entries at the same height.
      // A binary operator takes the right operand (yr, yi) and the left one
      // (wr, wi) off the aligned stacks; false (error 9) when there is no
      // left operand, since reading below entry 0 would leave the stack.
      auto popComplexPair = [&](Extended& yr, Extended& yi, Extended& wr, Extended& wi) {
        if (s.Height < 2) {
          CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
          return false;
        }
        yr = v[s.Height];
        yi = im[s.ImaginaryHeight];
        wr = v[s.Height - 1];
        wi = im[s.ImaginaryHeight - 1];
        --s.Height;
        --s.ImaginaryHeight;
        return true;
      };
      switch (w) {
        case OpAdd:
        case OpSubtract: {
          if (!s.AlignComplexStacks()) return ErrorResultValue;
          Extended yr, yi, wr, wi;
          if (!popComplexPair(yr, yi, wr, wi)) break;
          v[s.Height] = (w == OpAdd) ? wr + yr : wr - yr;
          im[s.ImaginaryHeight] = (w == OpAdd) ? wi + yi : wi - yi;
          break;
        }
        case OpMultiply:
        case OpDivide:
        case OpPower: {
          if (s.Height < 1 || s.ImaginaryHeight < 1) {
            CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
            break;
          }
          // The real parts as they stood before the alignment.
          if (!s.AlignComplexStacks()) return ErrorResultValue;
          if (s.Height < 2) {
            CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
            break;
          }
          TComplex left{wl, im[s.ImaginaryHeight - 1]};
          TComplex right{y, im[s.ImaginaryHeight]};
          --s.Height;
          --s.ImaginaryHeight;
          TComplex result;
          if (w == OpMultiply) {
            result = ComplexMultiply(left, right);
          } else if (w == OpDivide) {
            result = ComplexDivide(left, right);
          } else {
            int32_t before = CalcErrorCode;
            TComplex logarithm = ComplexLn(left);
            if (CalcErrorCode != before && CalcErrorCode > 0) {
              if (logarithm.Re == 0) {
                // 0 to any power is 0 + 0i here.
                CalcErrorCode = 0;
                result = {0, 0};
              } else {
                result = logarithm;
              }
            } else {
              result = ComplexExp(ComplexMultiply(right, logarithm));
            }
          }
          v[s.Height] = result.Re;
          im[s.ImaginaryHeight] = result.Im;
          break;
        }
        case OpNegate:
          v[s.Height] = -y;
          if (!s.AlignComplexStacks()) return ErrorResultValue;
          im[s.ImaginaryHeight] = -im[s.ImaginaryHeight];
          break;
        case OpEqual: {
          Extended ys = y, ws = wl;
          if (e.EquationKind == 1) {
            ys = im[s.ImaginaryHeight];
            ws = s.ImaginaryHeight >= 1 ? im[s.ImaginaryHeight - 1] : 0;
          }
          e.ResidualScale = (ys != 0 && ws != 0) ? ys : 1;
          e.RightSide = y;
          if (!s.AlignComplexStacks()) return ErrorResultValue;
          Extended yr, yi, wr, wi;
          if (!popComplexPair(yr, yi, wr, wi)) break;
          v[s.Height] = wr - yr;
          im[s.ImaginaryHeight] = wi - yi;
          break;
        }
        default: break;
      }
      continue;
    }

    if (w >= kFirstFunctionOpcode && w <= kLastFunctionOpcode && !IsPassedOverOpcode(w)) {
      OpcodeHandler handler = opcodeHandlers[w];
      if (handler == nullptr) {
        // A function this build cannot evaluate is an undefined function.
        CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
        continue;
      }
      if (!handler(s, w)) return ErrorResultValue;
      continue;
    }
    // Separators, series markers and unused words cost nothing.
  }

  // End of the evaluation.
  if (complexMode) {
    if (e.EquationKind == 1) {
      s.Height = s.ImaginaryHeight;
    } else {
      s.ImaginaryHeight = s.Height;
    }
  }
  if (s.Height != 1 && CalcErrorCode <= 0) CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
  if (CalcErrorCode > 0) {
    MarkLastEquation(equation, r);
    return 1.0L;
  }
  if (CalcErrorCode < 0 && WarningEquation == nullptr) WarningEquation = equation;
  Extended result = v[s.Height];
  e.RelativeResidual = std::fabs(e.ResidualScale) > kSmallestScale ? result / e.ResidualScale : result;
  if (complexMode && e.EquationKind == 1 && e.LeftIsImaginaryPart == 0) {
    if (s.ImaginaryHeight != 1 && CalcErrorCode <= 0) {
      CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
      s.ImaginaryHeight = 1;
      im[1] = ErrorResultValue;
    } else {
      const Extended imaginaryTop = im[s.ImaginaryHeight];
      e.RelativeResidual = std::fabs(e.ResidualScale) > kSmallestScale
                               ? imaginaryTop / e.ResidualScale
                               : imaginaryTop;
      result = imaginaryTop;
    }
  }
  return result;
}

}  // namespace voq

// The equation evaluator over hand-built postfix code. Expected values are
// hand calculations; the code words are those the statement compiler emits
// for the statement quoted beside each case.
#include "solver/evaluator.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/calc_state.h"
#include "language/statement_compiler.h"
#include "language/store_fixture.h"
#include "solver/code_builder.h"
#include "solver/numeric_opcodes.h"

namespace voq {
namespace {

using testing::CodeBuilder;
using namespace voq::testing;

class EvaluatorTest : public LanguageStoreTest {
 protected:
  void SetUp() override {
    LanguageStoreTest::SetUp();
    WarningEquation = nullptr;
    // Start without function handlers: each test installs those it needs.
    for (int op = 198; op <= 255; ++op) SetOpcodeHandler(op, nullptr);
  }
  void TearDown() override {
    for (int op = 198; op <= 255; ++op) SetOpcodeHandler(op, nullptr);
    SetEvaluationEnvironment(nullptr);
    WarningEquation = nullptr;
    LanguageStoreTest::TearDown();
  }
  int32_t NewVar(const std::string& name, long double value) {
    AddVariable(name);
    int32_t i = CurrentProgramUnit->VariableCount;
    Var(i)->Value = value;
    return i;
  }
  long double Eval(const CodeBuilder& b) {
    b.Into(eq_);
    return EvaluateEquation(&eq_, 0);
  }
  TEquationRecord eq_;
};

TEST_F(EvaluatorTest, ResidualIsLeftMinusRightScaledByRightSide) {
  // x = 2*y+1 with x = 10, y = 3: 10 - 7 = 3, scale 7.
  int32_t x = NewVar("x", 10), y = NewVar("y", 3);
  long double r = Eval(CodeBuilder().Var(x).Const(2).Var(y).Word(OpMultiply).Const(1).Word(OpAdd).Word(OpEqual));
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(r, 3.0L);
  EXPECT_EQ(eq_.ResidualScale, 7.0L);
  EXPECT_EQ(eq_.RelativeResidual, 3.0L / 7.0L);
  EXPECT_EQ(CurrentProgramUnit->LastEquation, &eq_);
}

// The same statements compiled from text: the code the compiler emits for
// x = 2*y+1 is x 2 y * 1 + =, and its residual with x = 10, y = 3 is 3.
struct CompiledCase {
  const char* statement;
  int32_t error;
  long double residual;  // ErrorResultValue or 1 after an error
};
const CompiledCase kCompiledCases[] = {
    {"x = 2*y+1", 0, 3},
    {"x = y/0", 4, ErrorResultValue},
    {"x = 0^0 + 9", 0, 0},
    {"x = 0^(-1)", 4, 1},
    {"x = (-8)^(1/3)", 5, ErrorResultValue},
    {"x = (-2)^3 + 18", 0, 0},
    {"x = -2^2 + 14", 0, 0},
    {"x = 2^3^2 - 54", 0, 0},
};

TEST_F(EvaluatorTest, CompiledStatements) {
  for (const CompiledCase& c : kCompiledCases) {
    SCOPED_TRACE(c.statement);
    BeginTestPass();
    std::string text = c.statement;
    CompileStatement(text, 255, TStatementPosition{});
    ASSERT_EQ(CalcErrorCode, 0);
    EndTestPass();
    VarNamed("x")->Value = 10;
    if (TVariableRecord* y = VarNamed("y")) y->Value = 3;
    TEquationRecord* e = CurrentProgramUnit->FirstEquation;
    long double r = EvaluateEquation(e, 0);
    EXPECT_EQ(CalcErrorCode, c.error);
    if (c.error == 0) {
      EXPECT_NEAR(static_cast<double>(r), static_cast<double>(c.residual), 1e-15);
    } else {
      EXPECT_EQ(r, c.residual);
    }
    CalcErrorCode = 0;
  }
  // The words of the first case, and its scaled residual.
  BeginTestPass();
  std::string text = "x = 2*y+1";
  CompileStatement(text, 255, TStatementPosition{});
  EndTestPass();
  TEquationRecord* e = CurrentProgramUnit->FirstEquation;
  const int32_t x = FindVariable("x"), y = FindVariable("y");
  EXPECT_EQ(e->Code,
            (std::vector<int32_t>{CodeVariable, x, CodeConstant, CodeVariable, y, OpMultiply, CodeConstant, OpAdd, OpEqual}));
  Var(x)->Value = 10;
  Var(y)->Value = 3;
  EXPECT_EQ(EvaluateEquation(e, 0), 3.0L);
  EXPECT_EQ(e->RelativeResidual, 3.0L / 7.0L);
}

TEST_F(EvaluatorTest, ZeroSideGivesScaleOne) {
  // x = 0 with x = 5.
  int32_t x = NewVar("x", 5);
  long double r = Eval(CodeBuilder().Var(x).Const(0).Word(OpEqual));
  EXPECT_EQ(r, 5.0L);
  EXPECT_EQ(eq_.ResidualScale, 1.0L);
  EXPECT_EQ(eq_.RelativeResidual, 5.0L);
}

TEST_F(EvaluatorTest, OperatorOrderFollowsPostfixCode) {
  // a-b+c compiles as a b - c + ; a/b*c as a b / c *; 2^3^2 as 2 3 ^ 2 ^.
  int32_t a = NewVar("a", 10), b = NewVar("b", 4), c = NewVar("c", 2);
  EXPECT_EQ(Eval(CodeBuilder().Const(0).Var(a).Var(b).Word(OpSubtract).Var(c).Word(OpAdd).Word(OpEqual)), -8.0L);
  EXPECT_EQ(Eval(CodeBuilder().Const(0).Var(a).Var(b).Word(OpDivide).Var(c).Word(OpMultiply).Word(OpEqual)), -5.0L);
  EXPECT_NEAR(static_cast<double>(Eval(CodeBuilder().Const(0).Const(2).Const(3).Word(OpPower).Const(2)
                                           .Word(OpPower).Word(OpEqual))),
              -64.0, 1e-15);
  // -2^2 is -(2^2).
  EXPECT_NEAR(static_cast<double>(Eval(CodeBuilder().Const(0).Const(2).Const(2).Word(OpPower).Word(OpNegate)
                                           .Word(OpEqual))),
              4.0, 1e-15);
  EXPECT_EQ(CalcErrorCode, 0);
}

struct ArithmeticCase {
  const char* statement;
  long double base;
  long double exponentOrDivisor;
  int32_t word;          // OpDivide or OpPower
  int32_t error;
  long double expected;  // the residual 0 - result, or ErrorResultValue
};

// Hand values: 0^0 = 1; (-2)^3 = -8; (-2)^-2 = 1/4; (-1)^(10^15+1) = -1
// (odd exponent); 0^5 = 0. Errors: 4 for y/0 and 0^-1, 5 for (-8)^(1/3).
const ArithmeticCase kArithmeticCases[] = {
    {"y/0", 1, 0, OpDivide, 4, ErrorResultValue},
    {"0^0", 0, 0, OpPower, 0, -1},
    {"0^5", 0, 5, OpPower, 0, 0},
    {"(-2)^3", -2, 3, OpPower, 0, 8},
    {"(-2)^(-2)", -2, -2, OpPower, 0, -0.25L},
    {"(-1)^(1E15+1)", -1, 1e15L + 1, OpPower, 0, 1},
    {"(-1)^1E30", -1, 1e30L, OpPower, 0, -1},
    {"(-8)^(1/3)", -8, 1.0L / 3, OpPower, 5, ErrorResultValue},
};

TEST_F(EvaluatorTest, DivisionAndPowerTable) {
  for (const ArithmeticCase& c : kArithmeticCases) {
    SCOPED_TRACE(c.statement);
    CalcErrorCode = 0;
    MessageHelpContext = 0;
    // 0 = base <word> operand
    long double r = Eval(CodeBuilder().Const(0).Const(c.base).Const(c.exponentOrDivisor).Word(c.word).Word(OpEqual));
    EXPECT_EQ(CalcErrorCode, c.error);
    EXPECT_EQ(r, c.expected);
    if (c.error != 0) {
      EXPECT_EQ(MessageHelpContext, 388);
    }
  }
}

TEST_F(EvaluatorTest, ZeroToNegativePowerStopsAtNextTest) {
  // x = 0^(-1): error 4 is set by the power and the loop ends with result 1.
  int32_t x = NewVar("x", 1);
  long double r = Eval(CodeBuilder().Var(x).Const(0).Const(-1).Word(OpPower).Word(OpEqual));
  EXPECT_EQ(CalcErrorCode, 4);
  EXPECT_EQ(r, 1.0L);
}

TEST_F(EvaluatorTest, PositiveBasePowerIsExpOfLog) {
  // 2^0.5 = sqrt 2; 10^-3 = 0.001.
  EXPECT_NEAR(static_cast<double>(Eval(CodeBuilder().Const(0).Const(2).Const(0.5L).Word(OpPower).Word(OpEqual))),
              -std::sqrt(2.0), 1e-15);
  EXPECT_NEAR(static_cast<double>(Eval(CodeBuilder().Const(0).Const(10).Const(-3).Word(OpPower).Word(OpEqual))),
              -0.001, 1e-18);
}

TEST_F(EvaluatorTest, StackLimitIsError267) {
  CodeBuilder full;
  for (int i = 0; i < 2010; ++i) full.Const(1);
  // 2010 values fit; the code leaves more than one value: error 9.
  Eval(full);
  EXPECT_EQ(CalcErrorCode, 9);
  CalcErrorCode = 0;
  full.Const(1);
  EXPECT_EQ(Eval(full), ErrorResultValue);
  EXPECT_EQ(CalcErrorCode, 267);
}

TEST_F(EvaluatorTest, MalformedCodeIsError9) {
  int32_t x = NewVar("x", 1);
  // An operator without a left operand.
  EXPECT_EQ(Eval(CodeBuilder().Var(x).Word(OpAdd)), 1.0L);
  EXPECT_EQ(CalcErrorCode, 9);
  CalcErrorCode = 0;
  // Two values left.
  Eval(CodeBuilder().Var(x).Var(x));
  EXPECT_EQ(CalcErrorCode, 9);
  CalcErrorCode = 0;
  // A variable index outside the unit.
  Eval(CodeBuilder().Var(99).Const(1).Word(OpEqual));
  EXPECT_EQ(CalcErrorCode, 9);
  // Complex mode: an operator that finds both stacks empty has no operands
  // at all (nothing below entry 0 is read).
  CurrentProgramUnit->UnitComplexMode = 1;
  for (int32_t op : {OpAdd, OpSubtract, OpEqual, OpMultiply, OpDivide, OpPower}) {
    SCOPED_TRACE(op);
    CalcErrorCode = 0;
    EXPECT_EQ(Eval(CodeBuilder().Word(op)), 1.0L);
    EXPECT_EQ(CalcErrorCode, 9);
  }
  CurrentProgramUnit->UnitComplexMode = 0;
}

TEST_F(EvaluatorTest, SeparatorsMarkersAndUnusedOpcodesCostNothing) {
  int32_t x = NewVar("x", 4);
  long double r = Eval(CodeBuilder().Var(x).Words({OpSeparator, 195, 196, 197, 224, 243, 205, 12, 0, -9})
                           .Const(1).Word(OpEqual));
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(r, 3.0L);
}

TEST_F(EvaluatorTest, CodeOutputListEndsTheCode) {
  int32_t x = NewVar("x", 4);
  long double r = Eval(CodeBuilder().Var(x).Const(1).Word(OpEqual).Words({CodeOutputList, 3, 4, -22}));
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(r, 3.0L);
}

TEST_F(EvaluatorTest, FunctionOpcodeWithoutHandlerIsUndefined) {
  // z = SIN(x)^2 compiles to z x 228 2 ^ =; with no handler for 228 the
  // function is undefined rather than silently skipped.
  int32_t z = NewVar("z", 1), x = NewVar("x", 0.5L);
  Eval(CodeBuilder().Var(z).Var(x).Word(228).Const(2).Word(OpPower).Word(OpEqual));
  EXPECT_EQ(CalcErrorCode, 9);

  CalcErrorCode = 0;
  SetOpcodeHandler(228, [](TEvaluationState& s, int32_t) {
    s.Values[s.Height] = std::sin(s.Values[s.Height]);
    return true;
  });
  long double r = Eval(CodeBuilder().Var(z).Var(x).Word(228).Const(2).Word(OpPower).Word(OpEqual));
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_NEAR(static_cast<double>(r), 1 - std::pow(std::sin(0.5), 2), 1e-15);
}

TEST_F(EvaluatorTest, HandlerThatStopsReturnsErrorResult) {
  SetOpcodeHandler(230, [](TEvaluationState&, int32_t) {
    CalcErrorCode = 226;
    return false;
  });
  EXPECT_EQ(Eval(CodeBuilder().Const(1).Const(2).Word(230).Word(OpEqual)), ErrorResultValue);
  EXPECT_EQ(CalcErrorCode, 226);
}

TEST_F(EvaluatorTest, WarningOfTheSameEquationIsDropped) {
  int32_t x = NewVar("x", 2);
  CodeBuilder b = CodeBuilder().Var(x).Const(1).Word(OpEqual);
  b.Into(eq_);
  WarningEquation = &eq_;
  CalcErrorCode = -1;
  EXPECT_EQ(EvaluateEquation(&eq_, 0), 1.0L);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(WarningEquation, nullptr);

  // A warning raised during the evaluation marks the equation.
  SetOpcodeHandler(198, [](TEvaluationState&, int32_t) {
    CalcErrorCode = -1;
    return true;
  });
  CodeBuilder w = CodeBuilder().Var(x).Const(1).Word(198).Word(OpEqual);
  w.Into(eq_);
  EvaluateEquation(&eq_, 0);
  EXPECT_EQ(CalcErrorCode, -1);
  EXPECT_EQ(WarningEquation, &eq_);
}

TEST_F(EvaluatorTest, SpecialValuesPassThroughExactly) {
  // x = -y with y = InfinityValue: the residual is x + infinity, and the
  // negation keeps infinity's bits.
  int32_t x = NewVar("x", 0), y = NewVar("y", InfinityValue);
  long double r = Eval(CodeBuilder().Var(x).Var(y).Word(OpNegate).Word(OpEqual));
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(r, InfinityValue);
  EXPECT_TRUE(IsInfinityValue(r));
  Var(y)->Value = BlankValue;
  EXPECT_TRUE(IsBlank(Eval(CodeBuilder().Var(y).Var(x).Word(OpEqual))));
}

class EnvironmentForTest : public EvaluationEnvironment {
 public:
  bool BuiltinConstantValue(int32_t j, Extended& value) const override {
    if (j != 3) return false;
    value = 9.80665L;  // g#, standard gravity (SI)
    return true;
  }
  Extended AngleFactor() const override { return factor; }
  int32_t TableNameIndex() const override { return 17; }
  Extended factor = 1;
};

TEST_F(EvaluatorTest, OperandsFromTheEnvironment) {
  EnvironmentForTest env;
  SetEvaluationEnvironment(&env);
  EXPECT_EQ(Eval(CodeBuilder().Words({CodeBuiltinConstant, 3}).Const(0).Word(OpEqual)), 9.80665L);
  EXPECT_EQ(Eval(CodeBuilder().Word(CodeTableName).Const(0).Word(OpEqual)), 17.0L);
  CurrentRun = 4;
  EXPECT_EQ(Eval(CodeBuilder().Word(CodeTableRun).Const(0).Word(OpEqual)), 4.0L);
  CurrentRun = 0;
  // Strings push their StringConstants index.
  eq_ = TEquationRecord();
  CodeBuilder().Word(CodeStringConstant).Const(0).Word(OpEqual).Into(eq_);
  eq_.StringOperands = {12};
  EXPECT_EQ(EvaluateEquation(&eq_, 0), 12.0L);
  EXPECT_EQ(CalcErrorCode, 0);
  // An unknown constant position cannot be evaluated.
  Eval(CodeBuilder().Words({CodeBuiltinConstant, 7}).Const(0).Word(OpEqual));
  EXPECT_EQ(CalcErrorCode, 9);
}

TEST_F(EvaluatorTest, AngleSuffixes) {
  // 90DEG in radian mode is pi/2 with pi = 3.14159265359; in degree mode 90.
  // 1RAD in degree mode is 180/pi.
  EnvironmentForTest env;
  SetEvaluationEnvironment(&env);
  CodeBuilder deg = CodeBuilder().Const(90).Word(CodeDegreeSuffix).Const(0).Word(OpEqual);
  EXPECT_EQ(Eval(deg), 90 * 3.14159265359L / 180);
  env.factor = 0.017453293L;
  EXPECT_EQ(Eval(deg), 90.0L);
  EXPECT_EQ(Eval(CodeBuilder().Const(1).Word(CodeRadianSuffix).Const(0).Word(OpEqual)), 180 / 3.14159265359L);
}

TEST_F(EvaluatorTest, ComplexProductImaginaryCopy) {
  // t = z*w in complex mode, imaginary copy: z = 1+2i, w = 3+4i, z*w = -5+10i,
  // so the residual is t_i - 10 and the scale 10.
  CurrentProgramUnit->UnitComplexMode = 1;
  int32_t tr = NewVar("t_r", 2), ti = NewVar("t_i", 7);
  int32_t zr = NewVar("z_r", 1), zi = NewVar("z_i", 2), wr = NewVar("w_r", 3), wi = NewVar("w_i", 4);
  CodeBuilder b = CodeBuilder().Var(tr).ComplexVar(ti).Var(zr).ComplexVar(zi).Var(wr).ComplexVar(wi)
                      .Word(OpMultiply).Word(OpEqual);
  eq_.EquationKind = 1;
  long double r = Eval(b);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(r, -3.0L);
  EXPECT_EQ(eq_.ResidualScale, 10.0L);
  EXPECT_EQ(eq_.RelativeResidual, -0.3L);
  // The real copy gives t_r - (-5) = 7, scaled by the real part -5.
  eq_.EquationKind = 0;
  EXPECT_EQ(Eval(b), 7.0L);
  EXPECT_EQ(eq_.ResidualScale, -5.0L);
}

TEST_F(EvaluatorTest, ComplexQuotientPowerAndImaginaryUnit) {
  CurrentProgramUnit->UnitComplexMode = 1;
  int32_t zr = NewVar("z_r", 0), zi = NewVar("z_i", 0), wr = NewVar("w_r", 3), wi = NewVar("w_i", 4);
  // 0 = z^w with z = 0: 0 + 0i without error.
  EXPECT_EQ(Eval(CodeBuilder().Const(0).Var(zr).ComplexVar(zi).Var(wr).ComplexVar(wi).Word(OpPower).Word(OpEqual)),
            0.0L);
  EXPECT_EQ(CalcErrorCode, 0);
  // 0 = w/z: division by zero.
  Eval(CodeBuilder().Const(0).Var(wr).ComplexVar(wi).Var(zr).ComplexVar(zi).Word(OpDivide).Word(OpEqual));
  EXPECT_EQ(CalcErrorCode, 4);
  CalcErrorCode = 0;
  // i^2 = -1: imaginary copy of 0 = i*i + 1 has residual 0 - (0) = 0; real copy 0 - 0.
  eq_.EquationKind = 0;
  long double r = Eval(CodeBuilder().Const(0).Word(CodeImaginaryUnit).Word(CodeImaginaryUnit).Word(OpMultiply).Const(1).Word(OpAdd)
                           .Word(OpEqual));
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(r, 0.0L);
  // 0 = -(3+4i) + w in the imaginary copy: 0.
  eq_.EquationKind = 1;
  r = Eval(CodeBuilder().Const(0).Var(wr).ComplexVar(wi).Word(OpNegate).Var(wr).ComplexVar(wi).Word(OpAdd).Word(OpEqual));
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(r, 0.0L);
}

TEST_F(EvaluatorTest, ComplexLeftImaginaryPart) {
  // z_i = 2*w in complex mode (LeftIsImaginaryPart): z_i minus the real part
  // of the right side: 2 - 6 = -4.
  CurrentProgramUnit->UnitComplexMode = 1;
  int32_t zi = NewVar("z_i", 2), wr = NewVar("w_r", 3), wi = NewVar("w_i", 4);
  eq_.EquationKind = 1;
  eq_.LeftIsImaginaryPart = 1;
  long double r = Eval(CodeBuilder().ComplexVar(zi).Const(2).Var(wr).ComplexVar(wi).Word(OpMultiply).Word(OpEqual));
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(r, -4.0L);
}

TEST_F(EvaluatorTest, RoutineStatementsAreRealMode) {
  CurrentProgramUnit->UnitComplexMode = 1;
  int32_t x = NewVar("x", 5);
  CodeBuilder().Var(x).Const(1).Word(OpEqual).Into(eq_);
  EXPECT_EQ(EvaluateEquation(&eq_, 3), 4.0L);
  EXPECT_EQ(CompilingFunctionIndex, 3);
  CompilingFunctionIndex = 0;
}

}  // namespace
}  // namespace voq

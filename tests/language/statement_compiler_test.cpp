#include "language/statement_compiler.h"

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "language/code_listing.h"
#include "language/function_catalog.h"
#include "language/operands.h"
#include "language/statement_preparation.h"
#include "language/store_fixture.h"
#include "model/compiled_code.h"

namespace voq::testing {
namespace {

// A few rows of the built-in function catalogue (name, argument count,
// opcode, sub-code, help context as the catalogue lists them).
class FakeCatalog : public FunctionCatalog {
 public:
  FakeCatalog() {
    Add("SIN", 1, 228, 0, 118);
    Add("MOD", 2, 249, 5, 355);
    TFunctionCatalogEntry& pi = Add("PI", 0, 0, 0, 115);
    pi.ConstantValue = 3.14159265359L;
  }
  const TFunctionCatalogEntry* FindBuiltinFunction(const std::string& upperName) const override {
    auto it = rows_.find(upperName);
    return it == rows_.end() ? nullptr : &it->second;
  }

 private:
  TFunctionCatalogEntry& Add(const std::string& name, int32_t count, uint8_t opcode, int32_t sub, int32_t help) {
    TFunctionCatalogEntry& e = rows_[name];
    e.Name = e.UpperName = name;
    e.ArgumentCount = count;
    e.Opcode = opcode;
    e.SubCode = sub;
    e.HelpContext = help;
    return e;
  }
  std::map<std::string, TFunctionCatalogEntry> rows_;
};

class FakeConstants : public ConstantsCatalog {
 public:
  int32_t FindConstant(const std::string& upperName) const override { return upperName == "G#" ? 0 : -1; }
  std::string ConstantUnits(int32_t j) const override { return j == 0 ? "m/s^2" : ""; }
};

class StatementCompilerTest : public LanguageStoreTest {
 protected:
  void SetUp() override {
    LanguageStoreTest::SetUp();
    SetBuiltinFunctions(&catalog_);
    SetBuiltinConstants(&constants_);
    BeginTestPass();
  }


  // Hand evaluation of the right side of "v = expression" when the
  // expression holds only constants: checks the order the code computes in.
  long double EvaluateRightSide() {
    const TEquationRecord& e = *CurrentEquation;
    std::vector<long double> stack;
    int32_t nextConstant = 0;
    for (size_t k = 2; k < e.Code.size(); ++k) {
      const int32_t w = e.Code[k];
      if (w == CodeConstant) {
        stack.push_back(e.Constants[nextConstant++]);
        continue;
      }
      if (w == OpEqual) break;
      if (w == OpNegate) {
        stack.back() = -stack.back();
        continue;
      }
      long double b = stack.back();
      stack.pop_back();
      long double& a = stack.back();
      switch (w) {
        case OpAdd: a = a + b; break;
        case OpSubtract: a = a - b; break;
        case OpMultiply: a = a * b; break;
        case OpDivide: a = a / b; break;
        case OpPower: a = std::pow(a, b); break;
        default: ADD_FAILURE() << "unexpected word " << w;
      }
    }
    return stack.size() == 1 ? stack.back() : NAN;
  }

  FakeCatalog catalog_;
  FakeConstants constants_;
};

TEST_F(StatementCompilerTest, LinearEquationCompilesToPostfixWithPool) {
  ASSERT_EQ(Compile("x = 2*y+1"), 0);
  EXPECT_EQ(CodeWords(*CurrentEquation),
            (std::vector<int32_t>{CodeVariable, 1, CodeConstant, CodeVariable, 2, OpMultiply, CodeConstant,
                                  OpAdd, OpEqual}));
  EXPECT_EQ(PoolValues(*CurrentEquation), (std::vector<long double>{2, 1}));
  EXPECT_EQ(Listing(), "x 2 y * 1 + =");
  EXPECT_EQ(*CurrentEquation->Text, "x=2*y+1");
  EXPECT_EQ(MainProgramUnit->EquationCount, 1);
  EXPECT_EQ(MainProgramUnit->UnknownCount, 2);
}

// The catalogue is not built yet; SIN here is the fake catalogue's row with
// the catalogue's opcode 228.
TEST_F(StatementCompilerTest, FunctionOpcodeFollowsItsArgumentAndPrecedesTheNextOperator) {
  ASSERT_EQ(Compile("z = SIN(x)^2"), 0);
  EXPECT_EQ(CodeWords(*CurrentEquation),
            (std::vector<int32_t>{CodeVariable, 1, CodeVariable, 2, 228, CodeConstant, OpPower, OpEqual}));
  EXPECT_EQ(Listing(), "z x #228 2 ^ =");
}

TEST_F(StatementCompilerTest, SubCodeBecomesFirstArgument) {
  ASSERT_EQ(Compile("r = mod(a, b)"), 0);
  EXPECT_EQ(Listing(), "r 5 a , b , #249 =");
  ASSERT_EQ(Compile("p = 2*pi"), 0);
  EXPECT_EQ(PoolValues(*CurrentEquation), (std::vector<long double>{2, 3.14159265359L}));
}

TEST_F(StatementCompilerTest, PrecedenceAndAssociativity) {
  const struct {
    const char* statement;
    const char* listing;
    long double value;  // worked by hand
  } cases[] = {
      {"x = -2^2", "x 2 2 ^ neg =", -4},          // -(2^2)
      {"x = 2^3^2", "x 2 3 ^ 2 ^ =", 64},         // (2^3)^2
      {"x = 10-4+3", "x 10 4 - 3 + =", 9},        // (10-4)+3
      {"x = 8/4*2", "x 8 4 / 2 * =", 4},          // (8/4)*2
      {"x = 10+4-3", "x 10 4 3 - + =", 11},       // 10+(4-3)
      {"x = 2*3/4", "x 2 3 4 / * =", 1.5},        // 2*(3/4)
      {"x = -2*3", "x 2 neg 3 * =", -6},          // unary minus binds tighter than *
      {"x = 2*(-3)", "x 2 3 neg * =", -6},
      {"x = 1--2", "x 1 2 + =", 3},               // a--b becomes a+b
      {"x = (((1+2)))*4", "x 1 2 + 4 * =", 12},
  };
  for (const auto& c : cases) {
    BeginTestPass();
    ASSERT_EQ(Compile(c.statement), 0) << c.statement;
    EXPECT_EQ(Listing(), c.listing) << c.statement;
    EXPECT_EQ(EvaluateRightSide(), c.value) << c.statement;
  }
}

TEST_F(StatementCompilerTest, VariableMinusVariable) {
  ASSERT_EQ(Compile("x = a--b"), 0);
  EXPECT_EQ(Listing(), "x a b + =");
  ASSERT_EQ(Compile("x2 = -y"), 0);
  EXPECT_EQ(Listing(), "x2 y neg =");
}

TEST_F(StatementCompilerTest, BadStatementsGiveTheirErrorNumbers) {
  const struct {
    const char* statement;
    int32_t error;
  } cases[] = {
      {"x=a*-b", 3},
      {"x=a^-2", 3},
      {"x = a b", 9},
      {"x=(a", 1},
      {"x[1=2", 76},
      {"x+1", 12},
      {"x=1=(2)", 13},
      {"x=(a=b)", 13},  // "=" inside parentheses passes the preparation
      {"s$=3", 246},
      {"x='a'", 245},
      {"s$='a'+'b'", 245},
      {"x=a:b", 85},
      {"x=1.2.3", 9},
      {"x=2y", 376},
      {"x=30DEG", 376},
      {"x=1E", 2},
      {"x=&a", 16},
      {"x=X[1]Y", 14},
      {"x=foo(1)", 378},
      {"x=sin(a,b)", 312},
  };
  for (const auto& c : cases) {
    BeginTestPass();
    EXPECT_EQ(Compile(c.statement), c.error) << c.statement;
  }
}

TEST_F(StatementCompilerTest, ErrorArguments) {
  EXPECT_EQ(Compile("x=foo(1)"), 378);
  EXPECT_EQ(MessageArgs[1], "Function foo");
  EXPECT_EQ(MessageHelpContext, 84);
  EXPECT_EQ(Compile("x=Sin(a,b)"), 312);
  EXPECT_EQ(MessageArgs[1], "sin");
  EXPECT_EQ(MessageArgs[2], "1");
  EXPECT_EQ(MessageHelpContext, 118);
  EXPECT_EQ(Compile("x=2y"), 376);
  EXPECT_EQ(MessageArgs[1], "Y");
  EXPECT_EQ(MessageArgs[2], "2Y");
  // The failed statement stays in the list, never solved alone.
  EXPECT_EQ(CurrentEquation->SolvedAlone, 0);
}

TEST_F(StatementCompilerTest, BuiltCatalogueServesTheCompiler) {
  BuildFunctionCatalog();
  BuiltinFunctionCatalog catalog;
  SetBuiltinFunctions(&catalog);
  ASSERT_EQ(Compile("z = Sin(x)^2 + sqrt(y)"), 0);
  EXPECT_EQ(Listing(), "z x #228 2 ^ y #231 + =");
  ASSERT_EQ(Compile("w = round(x)"), 0);  // opcode 247, sub-code 1
  EXPECT_EQ(Listing(), "w 1 x , #247 =");
  // MIN takes a list: its sub-code first, the number of values last.
  ASSERT_EQ(Compile("m = min(a, b, c)"), 0);
  EXPECT_EQ(Listing(), "m 1 a , b , c , 3 , #233 =");
  SetBuiltinFunctions(&catalog_);
}

TEST_F(StatementCompilerTest, CommaDecimalSeparatorReadsNumbersAndArguments) {
  SetDecimalSeparator(',');
  ASSERT_EQ(Compile("y = mod(1,5;2)"), 0);
  EXPECT_EQ(PoolValues(*CurrentEquation), (std::vector<long double>{5, 1.5, 2}));
  EXPECT_EQ(CodeWords(*CurrentEquation),
            (std::vector<int32_t>{CodeVariable, 1, CodeConstant, CodeConstant, OpSeparator, CodeConstant,
                                  OpSeparator, 249, OpEqual}));
  SetDecimalSeparator('.');
}

TEST_F(StatementCompilerTest, NumbersWithExponentsAndRadianSuffix) {
  ASSERT_EQ(Compile("x = 1.5E-3 + 2e+5"), 0);
  EXPECT_EQ(PoolValues(*CurrentEquation), (std::vector<long double>{1.5E-3L, 2e5L}));
  ASSERT_EQ(Compile("a = 1RAD * b"), 0);
  EXPECT_EQ(Listing(), "a 1 rad b * =");
}

TEST_F(StatementCompilerTest, ConstantEquationSetsVariable) {
  ASSERT_EQ(Compile("x = 5"), 0);
  TVariableRecord* x = VarNamed("x");
  EXPECT_EQ(x->Value, 5.0L);
  EXPECT_EQ(x->UnknownPosition, -1);
  EXPECT_EQ(MainProgramUnit->UnknownCount, 0);
  EXPECT_EQ(MainProgramUnit->EquationCount, 0);
  EXPECT_EQ(CurrentEquation->SolvedAlone, 1);
  EXPECT_EQ(CurrentEquation->Residual, 0.0L);
  EXPECT_EQ(CurrentEquation->Block, -32766);

  EXPECT_EQ(Compile("x = 6"), 310);
  EXPECT_EQ(MessageArgs[1], "x");
  EXPECT_EQ(x->Value, 5.0L);

  ASSERT_EQ(Compile("y = -2.5"), 0);
  EXPECT_EQ(VarNamed("y")->Value, -2.5L);

  ASSERT_EQ(Compile("s$ = 'hot water'"), 0);
  TVariableRecord* s = VarNamed("s$");
  EXPECT_EQ(StringConstText(static_cast<int32_t>(s->Value)), "hot water");
  EXPECT_EQ(s->UnknownPosition, -1);
}

TEST_F(StatementCompilerTest, ConstantCopiesLimitVariables) {
  ASSERT_EQ(Compile("lo = 2"), 0);
  FindOrAddVariable("v", -1, -1);
  TVariableRecord* v = VarNamed("v");
  v->LowerVariable = 1;
  v->UnknownPosition = 0;
  RemoveFromVarOrder(2);
  ASSERT_EQ(Compile("v = 7"), 0);
  EXPECT_EQ(v->LowerLimit, 2.0L);
}

TEST_F(StatementCompilerTest, IntegrationVariableCannotBeSet) {
  FindOrAddVariable("t", -1, -1);
  MainProgramUnit->IntegralCount = 1;
  MainProgramUnit->IntegralSlots[1].IntegrationVariable = 1;
  EXPECT_EQ(Compile("t = 5"), 309);
  EXPECT_EQ(MessageArgs[1], "t");
}

TEST_F(StatementCompilerTest, StringLiteralAndVariables) {
  ASSERT_EQ(Compile("s$ = t$"), 0);
  EXPECT_EQ(Listing(), "s$ t$ =");
  EXPECT_EQ(VarNamed("t$")->Style, 4);
  ASSERT_EQ(Compile("u$ = 'a b'"), 0);
  EXPECT_EQ(Listing(), "u$ 'a b' =");
}

TEST_F(StatementCompilerTest, UnchangedStatementIsTakenOverOnTheNextPass) {
  ASSERT_EQ(Compile("x = 2*y+1"), 0);
  TEquationRecord* first = CurrentEquation;
  const int32_t* codeBlock = first->Code.data();
  ASSERT_EQ(Compile("k = 5"), 0);
  ASSERT_EQ(Compile("z = y^2"), 0);
  const size_t constantsBefore = StringConstants.size();
  EndTestPass();

  // Second pass: the statements in another order, one changed.
  BeginTestPass();
  ASSERT_EQ(Compile("z = y^3"), 0);
  ASSERT_EQ(Compile("x = 2*y+1"), 0);
  TEquationRecord* reused = CurrentEquation;
  // The same code block moved over: nothing was compiled again.
  EXPECT_EQ(reused->Code.data(), codeBlock);
  EXPECT_EQ(Listing(), "x 2 y * 1 + =");
  ASSERT_EQ(Compile("k = 5"), 0);  // a reused constant equation sets its variable again
  EXPECT_EQ(VarNamed("k")->Value, 5.0L);
  EXPECT_EQ(VarNamed("k")->UnknownPosition, -1);
  EndTestPass();
  EXPECT_EQ(StringConstants.size(), constantsBefore);

  // Variables are registered again in code order.
  TProgramUnitRecord* u = MainProgramUnit;
  EXPECT_EQ(u->UnknownCount, 3);
  EXPECT_EQ(u->Variable(u->UnknownList[1])->Name, "z");
  EXPECT_EQ(u->Variable(u->UnknownList[2])->Name, "y");
  EXPECT_EQ(u->Variable(u->UnknownList[3])->Name, "x");
  // The list is the second pass's, in its order.
  ASSERT_NE(u->FirstEquation, nullptr);
  EXPECT_EQ(*u->FirstEquation->Text, "z=y^3");
  EXPECT_EQ(u->FirstEquation->Next, reused);
  EXPECT_EQ(u->EquationCount, 2);
  EXPECT_EQ(ReusableEquations, nullptr);
}

TEST_F(StatementCompilerTest, FailedReadReleasesRetainedRecords) {
  ASSERT_EQ(Compile("a = 2*b"), 0);
  ASSERT_EQ(Compile("c = 2*d"), 0);
  EndTestPass();
  // A read that fails before its first equation keeps the list for the next one.
  BeginTestPass();
  ReleaseRetainedEquations();
  EXPECT_EQ(ReusableEquations, nullptr);
  ASSERT_NE(MainProgramUnit->FirstEquation, nullptr);
  EXPECT_EQ(*MainProgramUnit->FirstEquation->Text, "a=2*b");
  // A read that fails later frees what nothing took over ("c=2*d").
  BeginTestPass();
  ASSERT_EQ(Compile("a = 2*b"), 0);
  EXPECT_EQ(Compile("x = (1"), 1);
  ReleaseRetainedEquations();
  EXPECT_EQ(ReusableEquations, nullptr);
  EXPECT_EQ(*MainProgramUnit->FirstEquation->Text, "a=2*b");
  EXPECT_EQ(*MainProgramUnit->FirstEquation->Next->Text, "x=(1");
  EXPECT_EQ(MainProgramUnit->FirstEquation->Next->Next, nullptr);
}

TEST_F(StatementCompilerTest, UnitsOnTheStatementsLineGoToItsVariable) {
  PendingUnits.Units = "kPa";
  PendingUnits.Line = 3;
  ASSERT_EQ(Compile("P = 2*Q", 3), 0);
  EXPECT_EQ(VarNamed("P")->Units, "kPa");
  EXPECT_EQ(PendingUnits.Line, -1);
  ASSERT_EQ(Compile("w = g#"), 0);
  EXPECT_EQ(Listing(), "w const#0 =");
  EXPECT_EQ(VarNamed("w")->Units, "m/s^2");
  // An unknown name ending in "#" is a variable.
  ASSERT_EQ(Compile("h = q#"), 0);
  EXPECT_EQ(Listing(), "h q# =");
}

TEST_F(StatementCompilerTest, LiteralSubscriptsNameArrayElements) {
  ASSERT_EQ(Compile("X[01] = 2*X[2]"), 0);
  EXPECT_EQ(Listing(), "X[1] 2 X[2] * =");
}

TEST_F(StatementCompilerTest, OverlongAndDeeplyNestedStatementsGiveAnError) {
  std::string longSum = "x=1";
  while (longSum.size() < 100000) longSum += "+1";
  EXPECT_EQ(Compile(longSum), 340);
  const std::string deep = "x=" + std::string(10000, '(') + "1" + std::string(10000, ')');
  EXPECT_EQ(Compile(deep), 340);
  // Nesting up to what the buffer holds compiles without recursion.
  const std::string nested = "x=" + std::string(120, '(') + "1+a" + std::string(120, ')');
  ASSERT_EQ(Compile(nested), 0);
  EXPECT_EQ(Listing(), "x 1 a + =");
  // A statement whose wrapped form does not fit is refused, not cut.
  EXPECT_EQ(Compile("x=" + std::string(249, '1')), 340);
}

TEST_F(StatementCompilerTest, CheckVariableNameRules) {
  const struct {
    const char* name;
    int32_t error;
  } cases[] = {
      {"", 0},      {"x1", 0},  {"T_in$", 0}, {"@1\\x", 0}, {"a[1,2]", 0},
      {"1x", 16},   {"a+b", 16}, {"a{b", 16},  {"a\"b", 16},
      {"abcdefghijklmnopqrstuvwxyz_12345", 18},
  };
  for (const auto& c : cases) {
    CalcErrorCode = 0;
    CheckVariableName(c.name);
    EXPECT_EQ(CalcErrorCode, c.error) << c.name;
  }
}

}  // namespace
}  // namespace voq::testing

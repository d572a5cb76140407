// Built-in calls and series through the statement compiler, with the real
// catalogue: the generated code, the records hung on the equation and the
// error numbers.
#include "language/function_calls.h"

#include <gtest/gtest.h>

#include "units/constants.h"

#include <string>
#include <vector>

#include "core/string_constants.h"
#include "language/code_listing.h"
#include "language/function_catalog.h"
#include "language/statement_compiler.h"
#include "language/statement_preparation.h"
#include "language/store_fixture.h"
#include "model/compiled_code.h"

namespace voq::testing {
namespace {

class FunctionCallsTest : public LanguageStoreTest {
 protected:
  void SetUp() override {
    LanguageStoreTest::SetUp();
    InstallBuiltinFunctionCatalog();
    BeginTestPass();
  }
  void TearDown() override {
    SetUserFunctionCallCompiler(nullptr);
    SetBuiltinFormCompiler(nullptr);
    LanguageStoreTest::TearDown();
  }
  // Sets a variable by a constant equation, as "N = 3" in the text does.
  void SetConstant(const std::string& statement) { ASSERT_EQ(Compile(statement), 0) << statement; }
};

TEST_F(FunctionCallsTest, CatalogueLookupIgnoresCaseWithinTheLetterRun) {
  EXPECT_EQ(FindBuiltinFunctionRow("Sin"), 66);
  EXPECT_EQ(FindBuiltinFunctionRow("sin"), 66);
  EXPECT_EQ(FindBuiltinFunctionRow("Zeta"), 0);
  EXPECT_EQ(FindBuiltinFunctionRow("Q"), 0);
  EXPECT_EQ(FindBuiltinFunctionRow("Xor"), 0);
}

TEST_F(FunctionCallsTest, SeriesExpandsIntoOneTermPerIndexValue) {
  ASSERT_EQ(Compile("y = SUM(x[i], i=1, 3)"), 0);
  EXPECT_EQ(Listing(), "y #195 x[1] x[2] + x[3] + #197 #197 , =");
  EXPECT_EQ(CodeWords(*CurrentEquation),
            (std::vector<int32_t>{CodeVariable, 1, SeriesSum, CodeVariable, 2, CodeVariable, 3, OpAdd,
                                  CodeVariable, 4, OpAdd, SeriesEnd, SeriesEnd, OpSeparator, OpEqual}));
  const TSumRecord* series = CurrentEquation->SeriesChain;
  ASSERT_NE(series, nullptr);
  EXPECT_EQ(series->TermText, "x[i]");
  EXPECT_EQ(series->LowerText, "1");
  EXPECT_EQ(series->UpperText, "3");
  EXPECT_EQ(series->IndexName, "i");
  EXPECT_EQ(series->Next, nullptr);
  EXPECT_EQ(PendingTextPieces, nullptr);
}

TEST_F(FunctionCallsTest, ProductInsideAnExpressionKeepsThePrecedence) {
  // y = 2*PRODUCT(a[k],k=1,2)+1 computes 2*(a[1]*a[2])+1.
  ASSERT_EQ(Compile("y = 2*PRODUCT(a[k], k=1, 2)+1"), 0);
  EXPECT_EQ(Listing(), "y 2 #196 a[1] a[2] * #197 #197 , * 1 + =");
  // The index is replaced only where it stands as a whole word.
  ASSERT_EQ(Compile("z = SUM(ik*i, i=1, 2)"), 0);
  EXPECT_EQ(Listing(), "z #195 ik 1 * ik 2 * + #197 #197 , =");
  // Two series one after the other: the first one's pieces are used up.
  ASSERT_EQ(Compile("w = SUM(b[i], i=1, 2) + SUM(c[i], i=1, 2)"), 0);
  EXPECT_EQ(Listing(), "w #195 b[1] b[2] + #197 #197 , #195 c[1] c[2] + #197 #197 , + =");
}

TEST_F(FunctionCallsTest, LimitsAreIntegerExpressionsShownByValueInTheStoredText) {
  SetConstant("N = 3");
  ASSERT_EQ(Compile("y = SUM(x[i], i=N-1, N)"), 0);
  EXPECT_EQ(Listing(), "y #195 x[2] x[3] + #197 #197 , =");
  // Never taken over by a later compile: the limits may change meaning.
  EXPECT_EQ(*CurrentEquation->Text, "~y=SUM(x[i],i=2,3)");
  EXPECT_EQ(Compile("y = SUM(x[i], i=1, M)"), 227);
  EXPECT_EQ(MessageArgs[1], "SUM");
}

TEST_F(FunctionCallsTest, PlainListSumBecomesTheListOpcode) {
  ASSERT_EQ(Compile("y = SUM(a, b, c)"), 0);
  EXPECT_EQ(Listing(), "y 4 a , b , c , 3 , #233 =");
  const TArgumentListRecord* list = CurrentEquation->BuiltinCallLists;
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->Kind, -3);
  EXPECT_EQ(list->Codes.size(), 3u);
  EXPECT_EQ(list->ArgumentCount, 3);
  EXPECT_EQ(CurrentEquation->SeriesChain, nullptr);
}

TEST_F(FunctionCallsTest, ListFunctionsAppendTheirCountAndChainTheirLists) {
  ASSERT_EQ(Compile("y = MIN(a, 2) + Average(b, c, d)"), 0);
  EXPECT_EQ(Listing(), "y 1 a , 2 , 2 , #233 3 b , c , d , 3 , #233 + =");
  const TArgumentListRecord* list = CurrentEquation->BuiltinCallLists;
  ASSERT_NE(list, nullptr);
  ASSERT_NE(list->Next, nullptr);
  EXPECT_EQ(list->Name, "MIN");
  EXPECT_EQ(list->Next->Name, "AVERAGE");
  EXPECT_EQ(list->Next->Codes.size(), 3u);
}

TEST_F(FunctionCallsTest, RangeArgumentCountsItsElements) {
  ASSERT_EQ(Compile("m = MAX(X[1..3], 5)"), 0);
  EXPECT_EQ(Listing(), "m 2 X[1] X[2] X[3] , 5 , 4 , #233 =");
  const TArgumentListRecord* list = CurrentEquation->BuiltinCallLists;
  ASSERT_NE(list, nullptr);
  // The range is one argument group: its first element names the range,
  // the others continue the group.
  EXPECT_EQ(list->ArgumentCount, 2);
  ASSERT_EQ(list->Codes.size(), 4u);
  EXPECT_GT(list->Codes[0], 0);
  EXPECT_EQ(StringConstText(list->Codes[0]), std::string("X_1..3") + static_cast<char>(11));
  EXPECT_EQ(list->Codes[1], -1);
  EXPECT_EQ(list->Codes[2], -1);
  EXPECT_EQ(list->Codes[3], 0);
  // A sum of a range alone is a plain list too.
  ASSERT_EQ(Compile("s = SUM(X[1..3])"), 0);
  EXPECT_EQ(Listing(), "s 4 X[1] X[2] X[3] , 3 , #233 =");
}

// The range flag a list turns on ends with its statement: a bare range in
// the next one is still a bad subscript.
TEST_F(FunctionCallsTest, RangeFlagEndsWithTheStatement) {
  ASSERT_EQ(Compile("y = MIN(x[1..3])"), 0);
  EXPECT_EQ(Compile("z = x[1..3]"), 14);
}

struct ErrorCase {
  const char* statement;
  int32_t error;
  int32_t help;
  const char* argument1;
};

TEST_F(FunctionCallsTest, SeriesAndCountErrors) {
  const ErrorCase cases[] = {
      {"y = SUM(x[i], i=5, 1)", 235, 122, nullptr},
      {"y = PRODUCT(x[i], i=5, 1)", 235, 116, nullptr},
      {"y = Product(a, b, c)", 233, 116, "Product"},
      {"y = SUM(SUM(x[j], j=1, 2), i=1, 2)", 231, 122, "SUM"},
      {"y = SIN(x, y)", 312, 118, "sin"},
      {"y = lookup(1, 2, 3, 4)", 164, 110, nullptr},
      {"y = LookupRow(1)", 166, 112, nullptr},
      {"y = integral(x, t, 1)", 311, 0, nullptr},
      {"y = UNITSYSTEM(SI)", 181, 128, "Quote"},
      {"y = ConvertTemp(C, F)", 497, 323, nullptr},
  };
  for (const ErrorCase& c : cases) {
    SCOPED_TRACE(c.statement);
    BeginTestPass();
    MessageHelpContext = 0;
    EXPECT_EQ(Compile(c.statement), c.error);
    EXPECT_EQ(MessageHelpContext, c.help);
    if (c.argument1 != nullptr) {
      EXPECT_EQ(MessageArgs[1], c.argument1);
    }
  }
  // The pieces a failed series left behind do not reach the next statement.
  ASSERT_EQ(Compile("y = SUM(SUM(x[j], j=1, 2), i=1, 2)"), 231);
  EXPECT_EQ(Compile("y = SUM(x[i], i=1, 2)"), 0);
  EXPECT_EQ(Compile("y = SIN(x, y)"), 312);
  EXPECT_EQ(MessageArgs[2], "1");
}

TEST_F(FunctionCallsTest, ExpandedTermThatOutgrowsTheBufferIsRefused) {
  // 60 occurrences of i: the term for i = 1000 needs 299 characters, more
  // than a statement can hold, and would otherwise be read cut short.
  std::string term = "i";
  for (int k = 1; k < 60; ++k) term += "+i";
  EXPECT_EQ(Compile("y = SUM(" + term + ", i=998, 1000)"), 340);
  EXPECT_EQ(PendingTextPieces, nullptr);
}

TEST_F(FunctionCallsTest, PiIsTheCatalogueConstant) {
  ASSERT_EQ(Compile("y = 2*pi"), 0);
  EXPECT_EQ(Listing(), "y 2 " + std::string("3.14159265359") + " * =");
  ASSERT_EQ(CurrentEquation->Constants.size(), 2u);
  EXPECT_EQ(CurrentEquation->Constants[1], CatalogPiValue);
}

TEST_F(FunctionCallsTest, ErrorAndWarningCarryTheirMessageIndex) {
  ASSERT_EQ(Compile("y = ERROR('too big', x)"), 0);
  const int32_t index = StringConstIndex("too big");
  EXPECT_EQ(Listing(), "y 1 " + std::to_string(index) + " , x , #198 =");
  ASSERT_EQ(Compile("y = WARNING(x, 'small')"), 0);
  EXPECT_EQ(Listing(), "y 20 " + std::to_string(StringConstIndex("small")) + " , x , #198 =");
  ASSERT_EQ(Compile("y = ERROR('alone')"), 0);
  EXPECT_EQ(Listing(), "y 1 " + std::to_string(StringConstIndex("alone")) + " , #198 =");
  // No literal: 0; the message in a string variable: -1.
  ASSERT_EQ(Compile("y = ERROR(x)"), 0);
  EXPECT_EQ(Listing(), "y 1 0 , x , #198 =");
  ASSERT_EQ(Compile("y = ERROR(m$)"), 0);
  EXPECT_EQ(Listing(), "y 1 1 neg , m$ , #198 =");
}

TEST_F(FunctionCallsTest, UnitSystemAndConvertTempArguments) {
  ASSERT_EQ(Compile("y = UnitSystem('Eng')"), 0);
  EXPECT_EQ(Listing(), "y 2 #248 =");
  ASSERT_EQ(Compile("y = UnitSystem('kJ')"), 0);
  EXPECT_EQ(Listing(), "y 17 #248 =");
  ASSERT_EQ(Compile("y = ConvertTemp(c, F, 100)"), 0);
  const int32_t c = StringConstIndex("C");
  const int32_t f = StringConstIndex("F");
  EXPECT_EQ(Listing(), "y 2 " + std::to_string(20000 + c) + " , " + std::to_string(20000 + f) +
                           " , 100 , #250 =");
}

// Every form that once waited for its table subsystem now has its own
// compiler: none of them is reported as an undefined function.
TEST_F(FunctionCallsTest, TableFormsAreCompiledByTheirOwnCompilers) {
  for (const char* text : {"y = IntegralValue(t, 2)", "y = LookupRow('Lookup 1', 2, 3)", "y = Integral(t, t, 0, 1)"}) {
    Compile(text);
    EXPECT_NE(CalcErrorCode, 378) << text;
    CalcErrorCode = 0;
  }
}

TEST_F(FunctionCallsTest, UserFunctionsAndUnitsAreHandedOn) {
  EXPECT_EQ(Compile("y = foo(1)"), 378);
  EXPECT_EQ(MessageArgs[1], "Function foo");
  SetUserFunctionCallCompiler([](std::string&, int32_t, const std::string& name, int32_t, int32_t&) {
    return name == "FOO" && (CalcErrorCode = 7, true);
  });
  EXPECT_EQ(Compile("y = foo(1)"), 7);

  TProgramUnitRecord* pump = FindOrCreateModule("Pump");
  ASSERT_NE(pump, nullptr);
  pump->Defined = 1;
  CurrentProgramUnit = MainProgramUnit;
  BeginTestPass();
  ASSERT_EQ(Compile("y = Pump(3, 1)"), 0);
  EXPECT_EQ(CodeWords(*CurrentEquation),
            (std::vector<int32_t>{CodeVariable, 1, CodeConstant, CodeConstant, OpSeparator, OpUnitCall, OpEqual}));
  EXPECT_EQ(CurrentEquation->CalledUnit, 1);
}

}  // namespace
}  // namespace voq::testing

namespace voq::testing {
namespace {

// CONVERT: the factor (found now when both unit texts are known, to full
// precision), then the two unit operands 20000 + their string index.
TEST_F(FunctionCallsTest, ConvertCompilesItsFactorAndUnitOperands) {
  ASSERT_EQ(Compile("y = Convert(ft, m)"), 0);
  const std::string ft = std::to_string(20000 + StringConstIndex("ft"));
  const std::string m = std::to_string(20000 + StringConstIndex("m"));
  EXPECT_EQ(Listing(), "y 0.3048 " + ft + " , " + m + " , #201 =");
  ASSERT_EQ(CurrentEquation->Constants.size(), 3u);
  EXPECT_EQ(CurrentEquation->Constants[0], 0.3048L);
  ASSERT_EQ(Compile("y = Convert(m, ft)"), 0);
  EXPECT_NEAR(static_cast<double>(CurrentEquation->Constants[0] * 0.3048L), 1.0, 1e-15);
  // A unit text known only at evaluation: 9999 and the variable.
  ASSERT_EQ(Compile("y = Convert(U$, m)"), 0);
  EXPECT_EQ(CurrentEquation->Constants[0], 9999);
  const struct {
    const char* statement;
    int32_t error;
  } errors[] = {{"y = Convert(ft)", 303}, {"y = Convert(ft, m, s)", 303}, {"y = Convert(ft, kg)", 352},
                {"y = Convert('ft, m)", 343}};
  for (const auto& e : errors) EXPECT_EQ(Compile(e.statement), e.error) << e.statement;
}

// A name ending in "#" found in the constants list compiles to its
// position; the variable it is assigned to takes the constant's units.
TEST_F(FunctionCallsTest, BuiltinConstantsCompileToTheirPosition) {
  const int32_t g = FindConstantPosition("G#");
  ASSERT_GE(g, 0);
  ASSERT_EQ(Compile("y = 2*g#"), 0);
  EXPECT_EQ(CodeWords(*CurrentEquation), (std::vector<int32_t>{CodeVariable, 1, CodeConstant,
                                                                CodeBuiltinConstant, g, OpMultiply, OpEqual}));
  ASSERT_EQ(Compile("z = g#"), 0);
  EXPECT_EQ(VarNamed("Z")->Units, "m/s^2");
  // An unknown name ending in "#" is a variable.
  ASSERT_EQ(Compile("w = nothing#"), 0);
  EXPECT_EQ(CodeWords(*CurrentEquation)[2], CodeVariable);
}

}  // namespace
}  // namespace voq::testing

#include "language/operands.h"

#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/calc_state.h"
#include "core/text_utils.h"
#include "language/code_listing.h"
#include "language/statement_compiler.h"
#include "language/statement_preparation.h"
#include "language/store_fixture.h"
#include "model/compiled_code.h"
#include "model/document_settings.h"
#include "model/warnings_window.h"
#include "platform/host.h"
#include "session/compile_driver.h"
#include "solver/evaluator.h"

namespace voq::testing {
namespace {

// The catalogue rows these tests call (name, argument count, opcode,
// sub-code as the catalogue lists them).
class FakeCatalog : public FunctionCatalog {
 public:
  FakeCatalog() {
    Add("SIN", 1, 228, 0);
    Add("MIN", 2, 233, 1);
    Add("ARRAYELMT", 2, 234, 1);
  }
  const TFunctionCatalogEntry* FindBuiltinFunction(const std::string& upperName) const override {
    auto it = rows_.find(upperName);
    return it == rows_.end() ? nullptr : &it->second;
  }

 private:
  void Add(const std::string& name, int32_t count, uint8_t opcode, int32_t sub) {
    TFunctionCatalogEntry& e = rows_[name];
    e.Name = e.UpperName = name;
    e.ArgumentCount = count;
    e.Opcode = opcode;
    e.SubCode = sub;
  }
  std::map<std::string, TFunctionCatalogEntry> rows_;
};

// The built-in constants the examples use, in list order.
class FakeConstants : public ConstantsCatalog {
 public:
  int32_t FindConstant(const std::string& upperName) const override {
    if (upperName == "G#") return 0;
    if (upperName == "PI#") return 1;
    return -1;
  }
  std::string ConstantUnits(int32_t) const override { return ""; }
};

// A routine body with the locals i (value unknown until the routine runs)
// and its result y.
class FakeLocals : public RoutineLocals {
 public:
  std::vector<std::string> names{"Y", "I"};
  bool FindLocalVariable(const std::string& upperName, Extended& value) override {
    for (const std::string& n : names) {
      if (n == upperName) {
        value = 1;
        return true;
      }
    }
    return false;
  }
  int32_t FindOrAddLocalVariable(const std::string& name, int32_t) override {
    const std::string upper = UpperCaseText(name);
    for (size_t k = 0; k < names.size(); ++k) {
      if (names[k] == upper) return static_cast<int32_t>(k) + 1;
    }
    names.push_back(upper);
    return static_cast<int32_t>(names.size());
  }
  std::vector<std::string> ExpandRange(const std::string&) override { return {}; }
};

class OperandsTest : public LanguageStoreTest {
 protected:
  void SetUp() override {
    LanguageStoreTest::SetUp();
    SetBuiltinFunctions(&catalog_);
    SetBuiltinConstants(&constants_);
    RangeInFunctionArguments = false;
    RangeInCallArguments = false;
    ClearWarningsAfter(0);
    BeginTestPass();
  }
  void TearDown() override {
    RangeInFunctionArguments = false;
    RangeInCallArguments = false;
    CompilingFunctionIndex = 0;
    SetRoutineLocals(nullptr);
    ClearWarningsAfter(0);
    LanguageStoreTest::TearDown();
  }


  FakeCatalog catalog_;
  FakeConstants constants_;
};

TEST_F(OperandsTest, SubscriptExpressionsNameTheElement) {
  ASSERT_EQ(Compile("N = 3"), 0);
  const struct {
    const char* statement;
    const char* listing;
  } cases[] = {
      {"y = X[N-1]", "y X[2] ="},
      {"y = X[1+2*N]", "y X[7] ="},
      {"y = X[N*N-2*N/3]", "y X[7] ="},   // * and / before -, left to right
      {"y = X[10-N+1]", "y X[8] ="},       // - then +, left to right
      {"y = X[-1+N]", "y X[2] ="},         // a leading minus negates its term
      {"y = M[N,N+1]", "y M[3,4] ="},
      {"y = X[n]", "y X[3] ="},            // names are compared upper-cased
  };
  for (const auto& c : cases) {
    ASSERT_EQ(Compile(c.statement), 0) << c.statement;
    EXPECT_EQ(Listing(), c.listing) << c.statement;
    // Its meaning depends on N's value, so the record is never taken over.
    ASSERT_TRUE(CurrentEquation->Text.has_value());
    EXPECT_EQ(CurrentEquation->Text->front(), '~') << c.statement;
  }
  // A subscript of digits only names no variable: the record stays reusable.
  ASSERT_EQ(Compile("y = X[007]"), 0);
  EXPECT_EQ(Listing(), "y X[7] =");
  EXPECT_EQ(CurrentEquation->Text->front(), 'y');
}

TEST_F(OperandsTest, BadSubscriptsGiveTheirErrors) {
  ASSERT_EQ(Compile("M = z + 1"), 0);  // M is an unknown
  const struct {
    const char* statement;
    int32_t error;
  } cases[] = {
      {"y = X[M]", 14},     // a variable without a value
      {"y = X[K]", 378},    // no such variable
      {"y = X[1]Y", 14},    // text after the "]"
      {"y = X[2*]", 3},     // an operator before the "]"
      {"y = X[2*,1]", 14},  // an operator before a separator
      {"y = X[2/0]", 4},
      {"y = X[_a]", 14},    // a name character cannot begin a subscript
      {"y = X[a$]", 245},
      {"y = X[1.5]", 14},
      {"y = X[]", 14},
      {"y = X[(1)]", 14},
      {"y = X[1..3]", 14},  // a range only in call arguments
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Compile(c.statement), c.error) << c.statement;
  }
  EXPECT_EQ(Compile("y = X[K]"), 378);
  EXPECT_EQ(MessageArgs[1], "K");
  EXPECT_EQ(Compile("y = X[M]"), 14);
  EXPECT_EQ(MessageHelpContext, 4);
}

TEST_F(OperandsTest, NumbersAndTheirSuffixes) {
  const struct {
    const char* statement;
    int32_t error;
    const char* listing;
  } cases[] = {
      {"y = 1.5E-3 + 2e+5", 0, "y 0.0015 200000 + ="},
      {"y = 1RAD", 0, "y 1 rad ="},
      {"y = 1.2.3", 9, nullptr},
      {"y = 30DEG", 376, nullptr},  // the suffix is cut only in complex mode
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Compile(c.statement), c.error) << c.statement;
    if (c.listing != nullptr) {
      EXPECT_EQ(Listing(), c.listing) << c.statement;
    }
  }
  EXPECT_EQ(Compile("y = 30DEG"), 376);
  EXPECT_EQ(MessageArgs[1], "D");
  EXPECT_EQ(MessageArgs[2], "30DEG");
}

TEST_F(OperandsTest, IndexExpressions) {
  ASSERT_EQ(Compile("N = 3"), 0);
  ASSERT_EQ(Compile("M = z + 1"), 0);
  const struct {
    const char* text;
    int32_t value;
    int32_t error;
  } cases[] = {
      {"10-2+1", 9, 0},   {"12/2*3", 18, 0}, {"7/2", 3, 0},   {"-7/2", -3, 0},
      {"(2+3)*2", 10, 0}, {"N*2-1", 5, 0},   {"2-(N-1)", 0, 0},
      {"M+1", -1, 227},   {"2a", -1, 227},   {"Q", -1, 227}, {"s$", -1, 245}, {"4/(N-3)", -1, 4},
  };
  for (const auto& c : cases) {
    CalcErrorCode = 0;
    EXPECT_EQ(EvalIndexExpression(c.text, "sum"), c.value) << c.text;
    EXPECT_EQ(CalcErrorCode, c.error) << c.text;
  }
  CalcErrorCode = 0;
  EvalIndexExpression("M", "sum");
  EXPECT_EQ(MessageArgs[1], "SUM");
  EXPECT_EQ(MessageHelpContext, 102);
}

TEST_F(OperandsTest, NameLengthLimits) {
  const std::string name31 = "abcdefghijklmnopqrstuvwxyz_1234";
  ASSERT_EQ(name31.size(), 31u);
  CheckVariableName(name31);
  EXPECT_EQ(CalcErrorCode, 18);
  CalcErrorCode = 0;
  CheckVariableName(name31.substr(0, 30));
  EXPECT_EQ(CalcErrorCode, 0);

  // In an equation the name is cut to 30 characters with a warning line.
  ASSERT_EQ(Compile(name31 + " = 2*b"), 0);
  EXPECT_EQ(Var(1)->Name, name31.substr(0, 30));
  ASSERT_EQ(WarningLineCount(), 1u);
  EXPECT_EQ(WarningLines()[0],
            "The maximum length of a variable name is 30 characters.  Variable " + name31 + " has been truncated.");
}

TEST_F(OperandsTest, UnknownFunctionNamesItself) {
  EXPECT_EQ(Compile("y = foo(1)"), 378);
  EXPECT_EQ(MessageArgs[1], "Function foo");
  EXPECT_EQ(MessageHelpContext, 84);
}

TEST_F(OperandsTest, ConstantsAndSpecialNames) {
  ASSERT_EQ(Compile("y = pi#*g#"), 0);
  EXPECT_EQ(Listing(), "y const#1 const#0 * =");
  // An unknown name ending in "#" becomes a variable.
  ASSERT_EQ(Compile("y = q#"), 0);
  EXPECT_EQ(Listing(), "y q# =");
  ASSERT_EQ(Compile("y = TableRun#"), 0);
  EXPECT_EQ(Listing(), "y TableRun# =");
  ASSERT_EQ(Compile("s$ = TABLENAME$"), 0);
  EXPECT_EQ(Listing(), "s$ TableName$ =");
  ASSERT_EQ(Compile("t$ = date$"), 0);
  EXPECT_EQ(CodeWords(*CurrentEquation)[2], CodeStringConstant);
  EXPECT_EQ(CurrentEquation->Text->front(), '~');  // never taken over by the next compile
}

// A MIN list turns the range flag on for its arguments.
TEST_F(OperandsTest, RangesInArgumentsStandForTheirElements) {
  ASSERT_EQ(Compile("y = MIN(X[1..3])"), 0);
  EXPECT_EQ(Listing(), "y 1 X[1] X[2] X[3] , 3 , #233 =");
  ASSERT_EQ(Compile("y = MIN(X[1..2,1..2])"), 0);
  EXPECT_EQ(Listing(), "y 1 X[1,1] X[1,2] X[2,1] X[2,2] , 4 , #233 =");
  ASSERT_EQ(Compile("N = 2"), 0);
  ASSERT_EQ(Compile("y = MIN(X[N-1..N+1])"), 0);
  EXPECT_EQ(Listing(), "y 1 X[1] X[2] X[3] , 3 , #233 =");
  // An empty range gives no element.
  ASSERT_EQ(Compile("y = MIN(1, X[3..1])"), 0);
  EXPECT_EQ(Listing(), "y 1 1 , , 1 , #233 =");
}

// A range of more elements than a program can hold variables is the
// variable-limit error at once: with a long stem the element names are cut
// to 30 characters and repeat, so the variable store would never fill.
TEST_F(OperandsTest, RangesBeyondTheVariableLimitAreRefused) {
  for (const char* statement : {"y = MIN(X[1..1000000])", "y = MIN(X[1..200,1..200])",
                                "y = MIN(abcdefghijklmnopqrstuvwxyz[1..2000000000])"}) {
    EXPECT_EQ(Compile(statement), 70) << statement;
    EXPECT_EQ(MessageArgs[1], "10000") << statement;
    EXPECT_LE(CurrentProgramUnit->VariableCount, 10000) << statement;
  }
}

TEST_F(OperandsTest, ComplexModeNamesArePairs) {
  CurrentProgramUnit->UnitComplexMode = 1;
  ASSERT_EQ(Compile("z = (1+2*i)*(3+4*i)"), 0);
  EXPECT_EQ(Listing(), "z_r im:z_i 1 2 i * + 3 4 i * + * =");
  ASSERT_EQ(Compile("w = 30DEG"), 0);
  EXPECT_EQ(Listing(), "w_r im:w_i 30 deg =");

  // A part named on the left side is that part's variable; the parts link up.
  ASSERT_EQ(Compile("x_r = 2"), 0);
  EXPECT_EQ(CurrentEquation->LeftIsRealPart, 1);
  ASSERT_EQ(Compile("x_i = 3"), 0);
  EXPECT_EQ(CurrentEquation->LeftIsImaginaryPart, 1);
  EXPECT_EQ(Listing(), "im:x_i 3 =");
  TVariableRecord* real = VarNamed("x_r");
  TVariableRecord* imaginary = VarNamed("x_i");
  ASSERT_NE(real, nullptr);
  ASSERT_NE(imaginary, nullptr);
  EXPECT_EQ(real->ComplexPart, 0);
  EXPECT_EQ(imaginary->ComplexPart, 1);
  EXPECT_EQ(Var(real->PartnerVariable), imaginary);
  EXPECT_EQ(Var(imaginary->PartnerVariable), real);

  // Inside a CALL's arguments only the real part is passed: the CALL
  // compiler sets its range flag and hands the generated statement straight
  // to CompileEquation.
  RangeInCallArguments = true;
  std::string generated = "v = u";
  CompileEquation(generated, kMaxStatementLength, TStatementPosition{}, true);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(Listing(), "v_r u_r =");
  RangeInCallArguments = false;

  // A name too long for its suffix is cut to 28 characters with the warning,
  // so that its two parts stay two variables.
  ClearWarningsAfter(0);
  const std::string name29 = "abcdefghijklmnopqrstuvwxyzabc";
  ASSERT_EQ(Compile(name29 + " = 2"), 0);
  EXPECT_EQ(Listing(), name29.substr(0, 28) + "_r im:" + name29.substr(0, 28) + "_i 2 =");
  EXPECT_EQ(WarningLineCount(), 1u);
}

// (1+2i)(3+4i) = 3 + 4i + 6i + 8i^2 = -5 + 10i, by hand.
TEST_F(OperandsTest, ComplexProductEvaluatesToItsParts) {
  CurrentProgramUnit->UnitComplexMode = 1;
  ASSERT_EQ(Compile("z = (1+2*i)*(3+4*i)"), 0);
  TEquationRecord* realPart = CurrentEquation;
  ASSERT_EQ(Compile("z = (1+2*i)*(3+4*i)"), 0);  // the driver's second compile
  TEquationRecord* imaginaryPart = CurrentEquation;
  imaginaryPart->EquationKind = 1;
  VarNamed("z_r")->Value = -5;
  VarNamed("z_i")->Value = 10;
  EXPECT_NEAR(static_cast<double>(EvaluateEquation(realPart, 0)), 0.0, 1e-15);
  EXPECT_NEAR(static_cast<double>(EvaluateEquation(imaginaryPart, 0)), 0.0, 1e-15);
  EXPECT_EQ(CalcErrorCode, 0);
  VarNamed("z_i")->Value = 11;
  EXPECT_NEAR(static_cast<double>(EvaluateEquation(imaginaryPart, 0)), 1.0, 1e-15);
}

TEST_F(OperandsTest, RoutineBodySubscriptsBecomeArrayElementCalls) {
  FakeLocals locals;
  SetRoutineLocals(&locals);
  CompilingFunctionIndex = 1;
  ASSERT_EQ(Compile("y := X[i]"), 0);
  // The call's own compilation adds what its opcode takes; the rewrite
  // shows in the sub-code, the quoted array name and the subscript local.
  const std::string listing = Listing();
  EXPECT_TRUE(listing.starts_with("local1 1 'X' , local2 ,")) << listing;
  EXPECT_TRUE(listing.ends_with("#234 =")) << listing;
  // Statements of a routine body belong to the routine, which is not built
  // here: the test disposes them itself.
  DisposeEquationRecord(CurrentEquation);
  // A subscript of digits is an element name, a local like any other.
  ASSERT_EQ(Compile("y := X[2]"), 0);
  EXPECT_EQ(Listing(), "local1 local3 =");
  EXPECT_EQ(locals.names[2], "X[2]");
  DisposeEquationRecord(CurrentEquation);
}

TEST_F(OperandsTest, WholeWordAndSeparatorHelpers) {
  EXPECT_TRUE(IsDelimitedAt("x", "a+x*2", 3, "+*"));
  EXPECT_FALSE(IsDelimitedAt("x", "a+xy", 3, "+*"));
  EXPECT_TRUE(IsDelimitedAt("b", "1..b", 4, "+"));
  EXPECT_TRUE(IsStringArgument("a$"));
  EXPECT_TRUE(IsStringArgument("a$[2]"));
  EXPECT_FALSE(IsStringArgument("a$b"));
  int32_t position = 1;
  EXPECT_TRUE(FindTopLevelSeparator("f(a,b)[1,2],c", position));
  EXPECT_EQ(position, 12);
  position = 5;
  FindPrecedingSeparator("(ab+cd)", position);
  EXPECT_EQ(position, 4);
}

// An editor whose text the spelling synchronisation rewrites.
TEST_F(OperandsTest, SpellingFollowsTheUniformCasePreference) {
  InMemoryEquationsEditor editor;
  SetEquationsEditor(&editor);
  editor.SetText("Speed = 3\r\ny = SPEED*2");
  Preferences.UniformVariableCase = 1;
  // "SPEED" typed at window position 16 (the second line starts at 11).
  SyncVariableNameCase("SPEED", "Speed", 16 + 2, kVariableNameCase);
  EXPECT_EQ(editor.GetText(), "Speed = 3\r\ny = Speed*2");
  Preferences.UniformVariableCase = 0;
  SyncVariableNameCase("Speed", "SPEED", 16 + 2, kVariableNameCase);
  EXPECT_EQ(editor.GetText(), "Speed = 3\r\ny = Speed*2");
  // Function names by their own preference: 2 is upper case.
  Preferences.FunctionNameCase = 2;
  editor.SetText("y = sin(x)");
  SyncVariableNameCase("sin", "Sin", 4 + 2, kFunctionNameCase);
  EXPECT_EQ(editor.GetText(), "y = SIN(x)");
  Preferences = TPreferencesRecord{};
  SetEquationsEditor(nullptr);
}

}  // namespace
}  // namespace voq::testing

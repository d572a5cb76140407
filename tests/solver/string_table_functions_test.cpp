// The string functions, TABLEVALUE and UNCERTAINTYOF, through the statement
// compiler and the evaluator: each statement "x = f(...)" is compiled from
// text and evaluated with x = 0, so the residual is minus the function's
// value. The compile forms are checked by their postfix code.
#include "solver/string_table_functions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/string_constants.h"
#include "language/function_catalog.h"
#include "language/statement_compiler.h"
#include "language/store_fixture.h"
#include "model/parametric_table_access.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "solver/code_builder.h"
#include "solver/evaluator.h"
#include "solver/numeric_opcodes.h"

namespace voq {
namespace {

using namespace voq::testing;

// One Parametric table "Table 1" with columns X and Y (3 rows), and a
// second tab "Run B".
class FakeParametricTable : public ParametricTableAccess {
 public:
  bool WindowExists() const override { return exists; }
  int32_t TableCount() const override { return 2; }
  std::string TableName(int32_t t) const override { return t == 1 ? "Table 1" : "Run B"; }
  int32_t RowCount() const override { return 3; }
  int32_t ColumnCount() const override { return 2; }
  int32_t TableColumnCount(int32_t) const override { return 2; }
  int32_t ColumnVariable(int32_t, int32_t c) const override {
    const int32_t saved = CalcErrorCode;
    const int32_t i = FindVariable(c == 1 ? "X" : "Y");
    CalcErrorCode = saved;
    return i;
  }
  Extended CellValue(int32_t t, int32_t row, int32_t c) const override {
    auto it = cells.find({t * 100 + row, c});
    return it == cells.end() ? BlankValue : it->second;
  }
  bool exists = true;
  std::map<std::pair<int32_t, int32_t>, Extended> cells;
};

class StringTableFunctionsTest : public LanguageStoreTest {
 protected:
  void SetUp() override {
    LanguageStoreTest::SetUp();
    InstallBuiltinFunctionCatalog();
    InstallNumericOpcodes();
    InstallStringTableFunctions();
    SetParametricTableAccess(&table);
  }
  void TearDown() override {
    SetParametricTableAccess(nullptr);
    UncertaintyMode = false;
    LanguageStoreTest::TearDown();
  }
  bool CompileValue(const std::string& expression, const std::string& left = "x") {
    BeginTestPass();
    std::string text = left + " = " + expression;
    CompileStatement(text, kMaxStatementLength, TStatementPosition{});
    EXPECT_EQ(CalcErrorCode, 0) << "compiling " << expression;
    return CalcErrorCode == 0;
  }
  long double Evaluate() { return -EvaluateEquation(CurrentEquation, 0); }
  long double Value(const std::string& expression) {
    if (!CompileValue(expression)) return NAN;
    VarNamed("x")->Value = 0;
    return Evaluate();
  }
  // A string result, assigned to a string variable: its string index.
  std::string Text(const std::string& expression) {
    if (!CompileValue(expression, "s$")) return "(not compiled)";
    VarNamed("s$")->Value = 0;
    return StringConstText(static_cast<int32_t>(Evaluate()));
  }

  FakeParametricTable table;
};

TEST_F(StringTableFunctionsTest, StringFunctions) {
  EXPECT_EQ(Value("STRINGVAL(' 12.5 ')"), 12.5L);
  EXPECT_EQ(Text("STRING$(1/3)"), "0.3333");
  EXPECT_EQ(Text("CONCAT$('ab', 'cd')"), "abcd");
  EXPECT_EQ(Value("STRINGPOS('c', 'abcd')"), 3.0L);
  EXPECT_EQ(Value("STRINGPOS('x', 'abcd')"), 0.0L);
  EXPECT_EQ(Text("COPY$('abcdef', 0, 2)"), "ab");
  EXPECT_EQ(Text("COPY$('abcdef', 5, 10)"), "ef");
  EXPECT_EQ(Text("COPY$('abcdef', 7, 1)"), "");
  EXPECT_EQ(Text("COPY$('abcdef', 2, -1)"), "");
  EXPECT_EQ(Value("STRINGLEN('hello')"), 5.0L);
  EXPECT_EQ(Value("STRINGLEN(500)"), 0.0L);  // outside the table: 0, no error
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(Text("LOWERCASE$('MiXed')"), "mixed");
  EXPECT_EQ(Text("LOWERCASE$(900)"), "??");
}

TEST_F(StringTableFunctionsTest, UpperCaseTakesOverTheEntryOfTheSameText) {
  const int32_t abc = StringConstIndex("abc");
  ASSERT_TRUE(CompileValue("UPPERCASE$('abc')", "s$"));
  VarNamed("s$")->Value = 0;
  EXPECT_EQ(Evaluate(), static_cast<long double>(abc));
  EXPECT_EQ(StringConstText(abc), "ABC");
}

TEST_F(StringTableFunctionsTest, StringValErrors) {
  CompileValue("STRINGVAL('12a')");
  EXPECT_EQ(EvaluateEquation(CurrentEquation, 0), ErrorResultValue);
  EXPECT_EQ(CalcErrorCode, kMsgStringValConversion);
  EXPECT_EQ(GetMessageText(CalcErrorCode), "The STRINGVAL function was unable to convert 12a into a number.");
  CalcErrorCode = 0;
  CompileValue("STRINGVAL(700)");
  EXPECT_EQ(EvaluateEquation(CurrentEquation, 0), ErrorResultValue);
  EXPECT_EQ(CalcErrorCode, kMsgStringValSyntax);
}

TEST_F(StringTableFunctionsTest, UncertaintyOf) {
  ASSERT_TRUE(CompileValue("UNCERTAINTYOF(c)"));
  // The variable's index follows its name as a hidden argument.
  EXPECT_EQ(Listing(), "x 6 c , 2 , #249 =");
  TVariableRecord* c = Var(2);
  c->Value = 200;
  c->Uncertainty = 0.01L;
  c->UncertaintyIsRelative = 1;
  Var(1)->Value = 0;
  EXPECT_EQ(Evaluate(), 0.0L);  // outside an uncertainty calculation
  UncertaintyMode = true;
  EXPECT_NEAR(static_cast<double>(Evaluate()), 2.0, 1E-15);  // 1 % of 200
  c->UncertaintyIsRelative = 0;
  EXPECT_EQ(Evaluate(), 0.01L);
  c->Uncertainty = BlankValue;
  EXPECT_EQ(Evaluate(), 0.0L);
  EXPECT_EQ(Compile("x = UNCERTAINTYOF(c, d)"), kMsgBuiltinArgumentCount);
}

TEST_F(StringTableFunctionsTest, TableValueCompileForms) {
  ASSERT_TRUE(CompileValue("TABLEVALUE('Table 1', 2, 'X')"));
  const int32_t tableName = StringConstIndex("Table 1");
  const int32_t columnName = StringConstIndex("X");
  EXPECT_EQ(Listing(), "x 'Table 1' 2 , " + std::to_string(9000 + columnName) + " , #252 =");
  // A column by number stays a number; #Y is a name.
  ASSERT_TRUE(CompileValue("TABLEVALUE('Table 1', 1, 2)"));
  EXPECT_EQ(Listing(), "x 'Table 1' 1 , 2 , #252 =");
  ASSERT_TRUE(CompileValue("TABLEVALUE('Run B', 3, #Y)"));
  EXPECT_EQ(Listing(), "x 'Run B' 3 , " + std::to_string(9000 + StringConstIndex("Y")) + " , #252 =");
  // Two arguments read the first table when the window exists.
  ASSERT_TRUE(CompileValue("TABLEVALUE(2, 'X')"));
  EXPECT_EQ(Listing(), "x 'Table 1' 2 , " + std::to_string(9000 + columnName) + " , #252 =");
  EXPECT_EQ(StringConstText(tableName), "Table 1");
  table.exists = false;
  EXPECT_EQ(Compile("x = TABLEVALUE(2, 'X')"), kMsgBuiltinArgumentCount);
}

TEST_F(StringTableFunctionsTest, TableValueReadsCells) {
  // Columns are named after variables of the main program.
  ASSERT_EQ(Compile("X = 1"), 0);
  ASSERT_EQ(Compile("Y = 2"), 0);
  table.cells[{102, 1}] = 7.5L;
  table.cells[{203, 2}] = -4;
  struct Case {
    const char* call;
    long double value;
    int32_t error;
    const char* text;
  };
  const Case cases[] = {
      {"TABLEVALUE('Table 1', 2, 'X')", 7.5L, 0, ""},
      {"TABLEVALUE('table 1', 2, 1)", 7.5L, 0, ""},
      {"TABLEVALUE('Run B', 3, 'y')", -4, 0, ""},
      {"TABLEVALUE('Table 1', 3, 'X')", 0, kMsgTableValueEmpty,
       "The cell referenced by the TableValue function does not have a value."},
      {"TABLEVALUE('Table 1', 4, 'X')", 0, kMsgTableValueRow, nullptr},
      {"TABLEVALUE('Table 1', 0, 1)", 0, kMsgTableValueRow, nullptr},
      {"TABLEVALUE('Table 1', 1, 'Z')", 0, kMsgTableValueColumn,
       "The last argument (Z) for the TableValue function must be a column number or the name of a variable in "
       "the Parametric table enclosed within single quotes."},
      {"TABLEVALUE('Table 1', 1, 3)", 0, kMsgTableValueColumn, nullptr},
      {"TABLEVALUE('Nope', 1, 1)", 0, kMsgParametricTableMissing, "Parametric table Nope does not exist."},
  };
  for (const Case& c : cases) {
    CalcErrorCode = 0;
    const long double v = Value(c.call);
    EXPECT_EQ(CalcErrorCode, c.error) << c.call;
    if (c.error == 0) {
      EXPECT_EQ(v, c.value) << c.call;
    }
    if (c.text != nullptr && c.error != 0) {
      EXPECT_EQ(GetMessageText(c.error), c.text) << c.call;
    }
  }
  EXPECT_EQ(MessageHelpContext, 6);
  // Code with only two values for the call is a syntax error.
  CalcErrorCode = 0;
  TEquationRecord eq;
  CodeBuilder().Const(1).Const(1).Word(OpSeparator).Word(252).Word(OpEqual).Into(eq);
  EXPECT_EQ(EvaluateEquation(&eq, 0), ErrorResultValue);
  EXPECT_EQ(CalcErrorCode, kMsgSyntaxError);
  table.exists = false;
  CalcErrorCode = 0;
  Value("TABLEVALUE('Table 1', 1, 1)");
  EXPECT_EQ(CalcErrorCode, kMsgTableRequired);
  EXPECT_EQ(GetMessageText(CalcErrorCode), "A Parametric table must exist to use this command.");
}

}  // namespace
}  // namespace voq

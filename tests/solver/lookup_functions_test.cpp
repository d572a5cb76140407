// The table functions through the statement compiler and the evaluator,
// over a fake lookup-table access: each statement "x = f(...)" is compiled
// from text and evaluated with x = 0, so the residual is minus the
// function's value. The compiled forms are checked by their postfix code.
#include "solver/lookup_functions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/string_constants.h"
#include "core/text_utils.h"
#include "language/function_catalog.h"
#include "language/statement_compiler.h"
#include "language/store_fixture.h"
#include "model/document_settings.h"
#include "model/lookup_table_access.h"
#include "model/warnings_window.h"
#include "solver/evaluator.h"
#include "solver/multiquadric.h"
#include "solver/numeric_opcodes.h"
#include "solver/string_table_functions.h"

namespace voq {
namespace {

using namespace voq::testing;

struct FakeTable {
  std::string Name;
  std::vector<std::string> Columns;      // names
  std::vector<std::string> Units;
  std::vector<std::vector<Extended>> Cells;  // [row][column]
  bool IsFile = false;
};

// Tab 1 "Lookup 1" of the window and lookup file 7 "data.csv".
class FakeLookups : public LookupTableAccess {
 public:
  bool WindowExists() override { return true; }
  int32_t TabCount() override { return 1; }
  int32_t FindTable(const std::string& name) override {
    for (const auto& [id, t] : tables)
      if (UpperCaseText(t.Name) == UpperCaseText(name)) return id;
    SetCalcError(kMsgLookupNotFound, name);
    return 0;
  }
  FakeTable* Find(int32_t id) {
    auto it = tables.find(id == 0 ? -1 : id);
    return it == tables.end() ? nullptr : &it->second;
  }
  bool Describe(int32_t id, TLookupTableInfo& info) override {
    FakeTable* t = Find(id);
    if (t == nullptr) return LookupTableAccess::Describe(id, info);
    info.IsFile = t->IsFile;
    info.Rows = int32_t(t->Cells.size());
    info.Columns = int32_t(t->Columns.size());
    return true;
  }
  Extended Cell(int32_t id, int32_t column, int32_t row, int32_t) override {
    FakeTable* t = Find(id);
    if (t == nullptr || column < 1 || column > int32_t(t->Columns.size())) return BlankValue;
    if (row < 1 || row > int32_t(t->Cells.size())) return BlankValue;
    ++reads;
    return t->Cells[size_t(row - 1)][size_t(column - 1)];
  }
  std::string ColumnName(int32_t id, int32_t column) override {
    FakeTable* t = Find(id);
    return t != nullptr && column >= 1 && column <= int32_t(t->Columns.size()) ? t->Columns[size_t(column - 1)] : "";
  }
  std::string TableName(int32_t id) override {
    FakeTable* t = Find(id);
    return t != nullptr ? t->Name : "";
  }
  Extended ColumnNumber(const std::string& designator, int32_t id) override {
    if (!designator.empty() && designator[0] == '#') return std::stold(designator.substr(1));
    FakeTable* t = Find(id);
    for (size_t c = 0; t != nullptr && c < t->Columns.size(); ++c)
      if (UpperCaseText(t->Columns[c]) == UpperCaseText(designator)) return Extended(c + 1);
    SetCalcError(kMsgColumnNotFound, designator);
    return 0;
  }
  std::map<int32_t, FakeTable> tables;
  int32_t reads = 0;
};

class LookupFunctionsTest : public LanguageStoreTest {
 protected:
  void SetUp() override {
    LanguageStoreTest::SetUp();
    InstallBuiltinFunctionCatalog();
    InstallNumericOpcodes();
    InstallStringTableFunctions();
    InstallLookupFunctions();
    // Lookup 1: x, cube = x^3, a third column 10 * row.
    FakeTable& tab = lookups.tables[-1];
    tab.Name = "Lookup 1";
    tab.Columns = {"x", "cube", "third"};
    for (int32_t r = 0; r < 6; ++r) tab.Cells.push_back({Extended(r), Extended(r) * r * r, Extended(10 * (r + 1))});
    FakeTable& file = lookups.tables[7];
    file.Name = "data.csv";
    file.IsFile = true;
    file.Columns = {"Column1", "Column2"};
    file.Cells = {{1, 2}, {3, 4}};
    SetLookupTableAccess(&lookups);
    Preferences.WarningsB = 0;
  }
  void TearDown() override {
    SetLookupTableAccess(nullptr);
    Preferences.WarningsB = 1;
    LanguageStoreTest::TearDown();
  }
  bool CompileValue(const std::string& expression, const std::string& left = "x") {
    BeginTestPass();
    std::string text = left + " = " + expression;
    CompileStatement(text, kMaxStatementLength, TStatementPosition{});
    return CalcErrorCode == 0;
  }
  long double Value(const std::string& expression) {
    CalcErrorCode = 0;
    if (!CompileValue(expression)) {
      ADD_FAILURE() << "compiling " << expression << ": error " << CalcErrorCode;
      return NAN;
    }
    VarNamed("x")->Value = 0;
    return -EvaluateEquation(CurrentEquation, 0);
  }
  // The error a call gives when it is evaluated (compiled without one).
  int32_t EvaluationError(const std::string& expression) {
    Value(expression);
    return CalcErrorCode;
  }
  static std::string S(const std::string& text) { return std::to_string(StringConstIndex(text)); }

  FakeLookups lookups;
};

TEST_F(LookupFunctionsTest, LookupCompileForms) {
  // The table by name becomes its identifier (a tab: minus its number), a
  // column number or a column resolved now '#k' with the by-name flag 1.
  ASSERT_TRUE(CompileValue("LOOKUP('Lookup 1', 2, 3)"));
  EXPECT_EQ(Listing(), "x 1 1 neg , 2 , '#3' , 1 , #244 =");
  ASSERT_TRUE(CompileValue("LOOKUP('Lookup 1', 2, 'Cube')"));
  EXPECT_EQ(Listing(), "x 1 1 neg , 2 , '#2' , 1 , #244 =");
  // Two arguments: the first lookup table; an expression column keeps flag 0.
  ASSERT_TRUE(CompileValue("LOOKUP(2, C)"));
  EXPECT_EQ(Listing(), "x 1 1 neg , 2 , C , 0 , #244 =");
  ASSERT_TRUE(CompileValue("LOOKUP$('data.csv', 1, #Column2)", "s$"));
  EXPECT_EQ(Listing(), "s$ 2 7 , 1 , '#2' , 1 , #244 =");
  ASSERT_TRUE(CompileValue("LOOKUPROW('Lookup 1', 'cube', 27)"));
  EXPECT_EQ(Listing(), "x 1 1 neg , '#2' , 1 , 27 , #246 =");
  ASSERT_TRUE(CompileValue("LOOKUPCOL('Lookup 1', 2, 15)"));
  EXPECT_EQ(Listing(), "x 1 1 neg , 2 , 15 , #245 =");
  // A string variable names the table at evaluation: 10000 + its index.
  ASSERT_TRUE(CompileValue("LOOKUP(T$, 1, 'cube')"));
  const int32_t t = FindVariable("T$");
  EXPECT_EQ(Listing(), "x 1 " + std::to_string(10000 + t) + " , 1 , 'cube' , 1 , #244 =");
  EXPECT_EQ(CurrentEquation->TrySolveAlone, 0);

  struct Bad {
    const char* call;
    int32_t error;
  } bad[] = {
      {"LOOKUP('Lookup 1', 2, 'nope')", kMsgColumnNotFound},
      {"LOOKUP('Nope', 2, 1)", kMsgLookupNotFound},
      {"LOOKUP(3+4, 2, 1)", kMsgLookupFormat},
      {"LOOKUPCOL(3+4, 2, 1)", kMsgLookupColFormat},
      {"LOOKUPROW(3+4, 2, 1)", kMsgLookupRowFormat},
      {"LOOKUP(1)", kMsgLookupFormat},
  };
  for (const Bad& b : bad) {
    CalcErrorCode = 0;
    EXPECT_EQ(Compile("x = " + std::string(b.call)), b.error) << b.call;
  }
}

TEST_F(LookupFunctionsTest, InterpolateCompileForms) {
  // The given column is always the second; naming the first swaps them and
  // marks the call reciprocal (-1).
  ASSERT_TRUE(CompileValue("INTERPOLATE('Lookup 1', 'cube', 'x', x=2.5)"));
  EXPECT_EQ(Listing(), "x 3 1 neg , '#2' , '#1' , 1 , 2.5 , #241 =");
  ASSERT_TRUE(CompileValue("DIFFERENTIATE('Lookup 1', 'cube', 'x', cube=8)"));
  EXPECT_EQ(Listing(), "x 6 1 neg , '#1' , '#2' , 1 neg , 8 , #241 =");
  ASSERT_TRUE(CompileValue("INTERPOLATE1(cube, x, x=1)"));
  EXPECT_EQ(Listing(), "x 1 1 neg , '#2' , '#1' , 1 , 1 , #241 =");
  EXPECT_EQ(Compile("x = INTERPOLATE('Lookup 1', 'cube', 'x', third=1)"), kMsgInterpolationIndependentVariable);
  EXPECT_EQ(GetMessageText(kMsgInterpolationIndependentVariable),
            "The independent variable in the Interpolate function cannot be third;  it must be 'cube' or 'x'.");
  CalcErrorCode = 0;
  EXPECT_EQ(Compile("x = INTERPOLATE('Lookup 1', 'cube', 'x', 2.5)"), kMsgFunctionFormat);
  CalcErrorCode = 0;
  EXPECT_EQ(Compile("x = DIFFERENTIATE('Lookup 1', 'cube', 2, x=2.5)"), kMsgLookupColumnNameExpected);
}

TEST_F(LookupFunctionsTest, Interpolate2DCompileForms) {
  ASSERT_TRUE(CompileValue("INTERPOLATE2D('Lookup 1', x, cube, third, cube=3, x=1)"));
  EXPECT_EQ(Listing(), "x 1 1 neg , '#1' , '#2' , '#3' , 2 , 1 , 3 , 1 , 64 , #242 =");
  ASSERT_TRUE(CompileValue("INTERPOLATE2D('Lookup 1', x, cube, third, x=1, third=3, 20)"));
  EXPECT_EQ(Listing(), "x 1 1 neg , '#1' , '#2' , '#3' , 1 , 3 , 1 , 3 , 20 , #242 =");
  struct Bad {
    const char* call;
    int32_t error;
  } bad[] = {
      {"INTERPOLATE2D('Lookup 1', x, cube, x=1, cube=3)", kMsgBuiltinArgumentCount},
      {"INTERPOLATE2D('Lookup 1', x, x, third, x=1, third=3)", kMsgThreeColumnNames},
      {"INTERPOLATE2D('Lookup 1', x, cube, third, x=1, x=3)", kMsgColumnUsedTwice},
  };
  for (const Bad& b : bad) {
    CalcErrorCode = 0;
    EXPECT_EQ(Compile("x = " + std::string(b.call)), b.error) << b.call;
  }
}

TEST_F(LookupFunctionsTest, LookupReadsAndInterpolatesCells) {
  // Hand values from the table: cube column 0, 1, 8, 27, 64, 125.
  EXPECT_EQ(Value("LOOKUP('Lookup 1', 3, 'cube')"), 8.0L);
  EXPECT_EQ(Value("LOOKUP('Lookup 1', 1.5, 2)"), 0.5L);  // the mean of rows 1 and 2
  EXPECT_EQ(Value("LOOKUP('Lookup 1', 2, 2.5)"), 10.5L);  // between columns 2 (1) and 3 (20)
  EXPECT_EQ(Value("LOOKUP('Lookup 1', 1.0000000001, 2)"), 0.0L);
  EXPECT_EQ(Value("LOOKUP('data.csv', 2, 'Column2')"), 4.0L);
  EXPECT_EQ(Value("LOOKUPCELLEMPTY('data.csv', 2, 1)"), 1.0L);
  // Row 0: row 1 with warnings off, error 168 with them on.
  EXPECT_EQ(Value("LOOKUP('Lookup 1', 0, 2)"), 0.0L);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(Value("LOOKUP('Lookup 1', 9, 3)"), 60.0L);
  Preferences.WarningsB = 1;
  EXPECT_EQ(EvaluationError("LOOKUP('Lookup 1', 0, 2)"), kMsgTableRowRange);
  EXPECT_EQ(MessageText, "Row 0 is outside the range of the Lookup table.");
  EXPECT_EQ(EvaluationError("LOOKUP('Lookup 1', 1, 0)"), kMsgTableColumnRange);
  // A column past the last reads the last and adds a warning line.
  const size_t before = WarningLines().size();
  EXPECT_EQ(Value("LOOKUP('Lookup 1', 2, 4)"), 20.0L);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(WarningLines().size(), before + 1);
  // A string variable holding the table's name.
  StringConstIndex("Lookup 1");
  ASSERT_TRUE(CompileValue("LOOKUP(T$, 4, 'cube')"));
  VarNamed("T$")->Value = StringConstIndex("Lookup 1");
  VarNamed("x")->Value = 0;
  EXPECT_EQ(-EvaluateEquation(CurrentEquation, 0), 27.0L);
}

TEST_F(LookupFunctionsTest, LookupRowAndColSearch) {
  // cube = 27 lies at row 4; 17.5 between rows 3 (8) and 4 (27): 3 + 9.5/19.
  EXPECT_EQ(Value("LOOKUPROW('Lookup 1', 'cube', 27)"), 4.0L);
  EXPECT_NEAR(double(Value("LOOKUPROW('Lookup 1', 2, 17.5)")), 3.5, 1E-15);
  // Beyond the ends: the nearer end row.
  EXPECT_EQ(Value("LOOKUPROW('Lookup 1', 2, 1000)"), 6.0L);
  EXPECT_EQ(Value("LOOKUPROW('Lookup 1', 2, -5)"), 1.0L);
  // Along row 3 (2, 8, 30): 19 lies halfway between columns 2 and 3.
  EXPECT_EQ(Value("LOOKUPCOL('Lookup 1', 3, 19)"), 2.5L);
  EXPECT_EQ(EvaluationError("LOOKUPCOL('Lookup 1', 9, 19)"), kMsgLookupRowColumnMissing);
}

TEST_F(LookupFunctionsTest, InterpolateAndDifferentiate) {
  // At the first cell INTERPOLATE1 is the cell itself.
  EXPECT_EQ(Value("INTERPOLATE1('Lookup 1', 'cube', 'x', x=0)"), 0.0L);
  EXPECT_EQ(Value("INTERPOLATE1('Lookup 1', 'cube', 'x', x=2.5)"), 17.5L);  // (8 + 27) / 2
  // A cubic through four points of x^3 is x^3 itself: 2.5^3 = 15.625 and
  // d/dx = 3 x^2 = 18.75 exactly; with the columns swapped the reciprocal.
  EXPECT_NEAR(double(Value("INTERPOLATE('Lookup 1', 'cube', 'x', x=2.5)")), 15.625, 1E-15);
  EXPECT_NEAR(double(Value("DIFFERENTIATE('Lookup 1', 'cube', 'x', x=2.5)")), 18.75, 1E-14);
  // third = 10 x + 10: given third the call takes dx/dthird and returns its
  // reciprocal, 10.
  EXPECT_NEAR(double(Value("DIFFERENTIATE('Lookup 1', 'third', 'x', third=35)")), 10.0, 1E-15);
  // Out of range: extrapolated, with warning 338.
  ClearWarningsAfter(0);
  EXPECT_NEAR(double(Value("INTERPOLATE1('Lookup 1', 'cube', 'x', x=6)")), 186.0, 1E-15);  // 125 + 61
  EXPECT_EQ(CalcErrorCode, 0);
  ASSERT_EQ(WarningLines().size(), 1u);
  EXPECT_EQ(WarningLines()[0], "Extrapolation was required for cube in Lookup table Lookup 1 for x=6.");
  EXPECT_EQ(EvaluationError("INTERPOLATE3('data.csv', 'Column2', 'Column1', Column1=2)"),
            kMsgCubicInterpolationRows);
}

TEST_F(LookupFunctionsTest, StringCellsAndTheFilledTest) {
  FakeTable& names = lookups.tables[-3];
  names.Name = "Names";
  names.Columns = {"name", "n"};
  names.Cells = {{Extended(StringConstIndex("abc")), 1}, {Extended(StringConstIndex("XYZ")), BlankValue}};
  ASSERT_TRUE(CompileValue("LOOKUP$('Names', 2, 'name')", "s$"));
  VarNamed("s$")->Value = 0;
  EXPECT_EQ(StringConstText(int32_t(-EvaluateEquation(CurrentEquation, 0))), "XYZ");
  EXPECT_EQ(Value("LOOKUP$ROW('Names', 'name', 'XYZ')"), 2.0L);
  EXPECT_EQ(EvaluationError("LOOKUP$ROW('Names', 'name', 'nothing')"), kMsgStringNotInColumn);
  CalcErrorCode = 0;
  // The filled test: 1 for a value, 0 for a blank cell, never an error.
  EXPECT_EQ(Value("LOOKUPCELLEMPTY('Names', 1, 'n')"), 1.0L);
  EXPECT_EQ(Value("LOOKUPCELLEMPTY('Names', 2, 'n')"), 0.0L);
  EXPECT_EQ(CalcErrorCode, 0);
  // A blank cell read as a number is error 67.
  EXPECT_EQ(EvaluationError("LOOKUP('Names', 2, 'n')"), kMsgNonNumericTableValue);
  EXPECT_EQ(GetMessageText(kMsgNonNumericTableValue),
            "A non-numeric value was encountered in row 2, column 2 of the Lookup table.");
}

TEST_F(LookupFunctionsTest, NLookupRows) {
  EXPECT_EQ(Value("NLOOKUPROWS('lookup 1')"), 6.0L);
  EXPECT_EQ(Value("NLOOKUPROWS('data.csv')"), 2.0L);
  EXPECT_EQ(Value("NLOOKUPROWS('nothing')"), 0.0L);
  EXPECT_EQ(CalcErrorCode, 0);
}

// A table of z = f(x, y) on a 3 x 3 grid: the interpolation passes through
// every table point, and naming the coordinates in either order gives the
// same value.
TEST_F(LookupFunctionsTest, Interpolate2DThroughTablePoints) {
  FakeTable& grid = lookups.tables[-2];
  grid.Name = "Grid";
  grid.Columns = {"x", "y", "z"};
  for (int32_t i = 0; i < 3; ++i)
    for (int32_t j = 0; j < 3; ++j) grid.Cells.push_back({Extended(i), Extended(j), Extended(i * i + 2 * j)});
  EXPECT_NEAR(double(Value("INTERPOLATE2D('Grid', x, y, z, x=2, y=1)")), 6.0, 1E-12);
  EXPECT_NEAR(double(Value("INTERPOLATE2D('Grid', x, y, z, x=1, y=2)")), 5.0, 1E-12);
  const long double a = Value("INTERPOLATE2D('Grid', x, y, z, x=1.3, y=0.4)");
  const long double b = Value("INTERPOLATE2D('Grid', z, y, x, y=0.4, x=1.3)");
  EXPECT_NEAR(double(a), double(b), 1E-12);
  // A point given twice makes the system singular: 301.
  grid.Cells.push_back({2, 2, 8});
  EXPECT_EQ(EvaluationError("INTERPOLATE2D('Grid', x, y, z, x=1, y=1)"), kMsgInterpolate2DIllegalOperation);
  // Seven points are too few.
  grid.Cells.resize(7);
  EXPECT_EQ(EvaluationError("INTERPOLATE2D('Grid', x, y, z, x=1, y=1)"), kMsgMinimumPoints);
  EXPECT_EQ(GetMessageText(kMsgMinimumPoints), "A minimum of 8 points are needed for Interpolate2D.");
}

TEST(HeapSortWithIndex, SortsAndCarriesIndices) {
  std::vector<Extended> values{0, 5, -1, 3, 3, 9, 0.5, -7};
  std::vector<int16_t> indices{0, 1, 2, 3, 4, 5, 6, 7};
  HeapSortWithIndex(7, values, indices);
  const std::vector<Extended> sorted{0, -7, -1, 0.5, 3, 3, 5, 9};
  EXPECT_EQ(values, sorted);
  // Each value kept its index: -7 was at 7, -1 at 2, 0.5 at 6, 5 at 1, 9 at 5.
  EXPECT_EQ(indices[1], 7);
  EXPECT_EQ(indices[2], 2);
  EXPECT_EQ(indices[3], 6);
  EXPECT_EQ(indices[4] + indices[5], 7);  // the two 3s, from 3 and 4
  EXPECT_EQ(indices[6], 1);
  EXPECT_EQ(indices[7], 5);
}

}  // namespace
}  // namespace voq

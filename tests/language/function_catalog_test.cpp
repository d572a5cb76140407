#include "language/function_catalog.h"

#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "language/language_services.h"

namespace voq {
namespace {

class FunctionCatalogTest : public ::testing::Test {
 protected:
  void SetUp() override { BuildFunctionCatalog(); }
  void TearDown() override {
    SetBuiltinFunctions(nullptr);
    ReleaseFunctionCatalog();
  }
  static const TFunctionCatalogRecord& Row(int32_t row) { return *BuiltinFunctionTable[row]; }
};

// Full rows as the catalogue lists them: name, count, opcode, sub-code, help,
// class, example.
struct ExpectedRow {
  int32_t row;
  const char* name;
  int32_t count;
  int opcode;
  int32_t sub;
  int32_t help;
  int32_t typesetClass;
  const char* example;
};

TEST_F(FunctionCatalogTest, SelectedRowsCarryEveryField) {
  const ExpectedRow rows[] = {
      {1, "ABS", 1, 232, 0, 85, 3, "abs(Value)"},
      {11, "ARRAYELMT", 2, 234, 1, 0, 1, ""},
      {12, "AVERAGE", 2, 233, 3, 230, 2, "Average(Value1,Value2,Value3,...)"},
      {16, "BESSEL_J1", 1, 200, 4, 94, 4, "Bessel_J1(Value)"},
      {21, "CIS", 1, 202, 8, 218, 2, "cis(Angle) {cos(angle)+i*sin(angle}"},
      {29, "DATE$", 0, 0, 1, 370, 2, "DATE$"},
      {31, "Duplicate", 0, 0, 0, 102, 2, "Duplicate j=1,5"},
      {36, "GAMMA_", 1, 247, 15, 413, 1, "GAMMA_(Value)"},
      {44, "INTERPOLATE2D", 6, 242, 1, 399, 2,
       "Interpolate2D('myFile.lkt','x','y','z',x=2.34, y=4.5 [,N])"},
      {60, "PI", 0, 0, 0, 115, 0, "pi"},
      {62, "PRODUCT", -2, 196, 0, 116, 2, "product(X[I],I=1,5)"},
      {66, "SIN", 1, 228, 0, 118, 1, "sin(Value)"},
      {74, "SUM", -2, 195, 0, 122, 2, "sum(X[I],I=1,5) or SUM(X[1..5])"},
      {76, "TABLERUN#", 0, 32, 0, 123, 2, "TableRUN#"},
      {85, "WARNING", 1, 198, 20, 168, 2, "WARNING(X)"},
  };
  for (const ExpectedRow& e : rows) {
    SCOPED_TRACE(e.name);
    const TFunctionCatalogRecord& r = Row(e.row);
    EXPECT_EQ(r.Name, e.name);
    EXPECT_EQ(r.ArgumentCount, e.count);
    EXPECT_EQ(r.Opcode, e.opcode);
    EXPECT_EQ(r.SubCode, e.sub);
    EXPECT_EQ(r.HelpContext, e.help);
    EXPECT_EQ(r.TypesetClass, e.typesetClass);
    EXPECT_EQ(r.Example, e.example);
  }
  EXPECT_EQ(Row(31).UpperName, "DUPLICATE");
}

// The evaluator's dispatch as the catalogue's own summary lists it (opcode,
// sub-code -> name): every pair must lead to that row, and every row with
// one of these opcodes must appear here.
TEST_F(FunctionCatalogTest, SharedOpcodesMatchTheDispatchList) {
  const std::map<std::pair<int, int32_t>, std::vector<std::string>> dispatch = {
      {{198, 1}, {"ERROR"}},         {{198, 20}, {"WARNING"}},
      {{200, 1}, {"BESSEL_I0"}},     {{200, 2}, {"BESSEL_I1"}},
      {{200, 3}, {"BESSEL_J0"}},     {{200, 4}, {"BESSEL_J1"}},
      {{200, 5}, {"BESSEL_K0"}},     {{200, 6}, {"BESSEL_K1"}},
      {{200, 7}, {"BESSEL_Y0"}},     {{200, 8}, {"BESSEL_Y1"}},
      {{202, 1}, {"REAL"}},          {{202, 2}, {"IMAG"}},
      {{202, 3}, {"MAGNITUDE"}},     {{202, 4}, {"ANGLE"}},
      {{202, 5}, {"ANGLEDEG"}},      {{202, 6}, {"ANGLERAD"}},
      {{202, 7}, {"CONJ"}},          {{202, 8}, {"CIS"}},
      {{233, 1}, {"MIN"}},           {{233, 2}, {"MAX"}},
      {{233, 3}, {"AVERAGE"}},       {{241, 1}, {"INTERPOLATE1"}},
      {{241, 2}, {"INTERPOLATE2"}},  {{241, 3}, {"INTERPOLATE", "INTERPOLATE3"}},
      {{241, 6}, {"DIFFERENTIATE"}}, {{244, 1}, {"LOOKUP"}},
      {{244, 2}, {"LOOKUP$"}},       {{244, 3}, {"LOOKUPCELLEMPTY"}},
      {{246, 1}, {"LOOKUPROW"}},     {{246, 2}, {"LOOKUP$ROW"}},
      {{247, 1}, {"ROUND"}},         {{247, 2}, {"TRUNC"}},
      {{247, 3}, {"ARCCOSH"}},       {{247, 4}, {"ARCSINH"}},
      {{247, 5}, {"ARCTANH"}},       {{247, 6}, {"STRINGVAL"}},
      {{247, 7}, {"STRING$"}},       {{247, 8}, {"ERF"}},
      {{247, 9}, {"ERFC"}},          {{247, 10}, {"STEP"}},
      {{247, 11}, {"LOWERCASE$"}},   {{247, 12}, {"UPPERCASE$"}},
      {{247, 13}, {"STRINGLEN"}},    {{247, 14}, {"NLOOKUPROWS"}},
      {{247, 15}, {"GAMMA_"}},       {{249, 1}, {"CONCAT$"}},
      {{249, 2}, {"STRINGPOS"}},     {{249, 3}, {"INTEGRALVALUE"}},
      {{249, 4}, {"RANDOM"}},        {{249, 5}, {"MOD"}},
      {{249, 6}, {"UNCERTAINTYOF"}}, {{250, 1}, {"COPY$"}},
      {{250, 2}, {"CONVERTTEMP"}},
  };
  const std::map<int, std::string> single = {
      {195, "SUM"},       {196, "PRODUCT"},   {201, "CONVERT"},     {203, "POLARTORECT"},
      {204, "IF"},        {225, "EXP"},       {226, "LOG10"},       {227, "LN"},
      {228, "SIN"},       {229, "COS"},       {230, "TAN"},         {231, "SQRT"},
      {232, "ABS"},       {234, "ARRAYELMT"}, {235, "ARCSIN"},      {236, "ARCCOS"},
      {237, "ARCTAN"},    {238, "SINH"},      {239, "COSH"},        {240, "TANH"},
      {242, "INTERPOLATE2D"}, {245, "LOOKUPCOL"}, {248, "UNITSYSTEM"}, {251, "INTEGRAL"},
      {252, "TABLEVALUE"},
  };
  int covered = 0;
  for (int32_t row = 1; row <= kBuiltinFunctionCount; ++row) {
    const TFunctionCatalogRecord& r = Row(row);
    SCOPED_TRACE(r.Name);
    if (r.Opcode == 0 || r.Opcode == 32) {
      ++covered;
      continue;
    }
    auto s = single.find(r.Opcode);
    if (s != single.end()) {
      EXPECT_EQ(r.UpperName, s->second);
      ++covered;
      continue;
    }
    auto d = dispatch.find({r.Opcode, r.SubCode});
    ASSERT_NE(d, dispatch.end());
    EXPECT_NE(std::find(d->second.begin(), d->second.end(), r.UpperName), d->second.end());
    ++covered;
  }
  EXPECT_EQ(covered, kBuiltinFunctionCount);
  // Special names: DATE$, Duplicate, PI, TABLENAME$, TABLERUN#, TIME$.
  int special = 0;
  for (int32_t row = 1; row <= kBuiltinFunctionCount; ++row) {
    if (Row(row).Opcode == 0 || Row(row).Opcode == 32) ++special;
  }
  EXPECT_EQ(special, 6);
}

// The letter runs rely on rows grouped by first letter (within a letter the
// listed order keeps LOOKUPROW before LOOKUP$ROW and STRINGVAL before STRING$).
TEST_F(FunctionCatalogTest, RowsAreGroupedByFirstLetterWithinTheirLimits) {
  for (int32_t row = 1; row <= kBuiltinFunctionCount; ++row) {
    const TFunctionCatalogRecord& r = Row(row);
    EXPECT_LE(r.Name.size(), kCatalogNameLength);
    EXPECT_LE(r.Example.size(), kCatalogExampleLength);
    if (row > 1) {
      EXPECT_LE(Row(row - 1).UpperName[0], r.UpperName[0]) << row;
    }
  }
}

TEST_F(FunctionCatalogTest, LetterIndexHasTheListedBytes) {
  // A..Z, then byte 27.
  const uint8_t expected[27] = {1,  13, 21, 29, 32, 36, 36, 37, 37, 46, 46, 46, 55, 59,
                                60, 60, 63, 63, 66, 75, 82, 85, 85, 86, 86, 86, 0};
  for (int k = 1; k <= 27; ++k) EXPECT_EQ(BuiltinFunctionLetterIndex[k], expected[k - 1]) << k;
}

TEST_F(FunctionCatalogTest, LookupIgnoresCaseAndFindsEveryRow) {
  EXPECT_EQ(FindBuiltinFunctionRow("sin"), 66);
  EXPECT_EQ(FindBuiltinFunctionRow("Sin"), 66);
  EXPECT_EQ(FindBuiltinFunctionRow("SIN"), 66);
  EXPECT_EQ(FindBuiltinFunctionRow("duplicate"), 31);
  EXPECT_EQ(FindBuiltinFunctionRow("Bessel_y1"), 20);
  for (int32_t row = 1; row <= kBuiltinFunctionCount; ++row) {
    EXPECT_EQ(FindBuiltinFunctionRow(Row(row).Name), row) << Row(row).Name;
  }
}

TEST_F(FunctionCatalogTest, NamesOutsideTheLetterRunsAreNotFound) {
  for (const char* name : {"ZETA", "z", "Q", "QUAD", "X", "XOR", "SINE", "SI", "", "_SIN", "1SIN",
                           "FOO", "VALUE", "YEAR"}) {
    EXPECT_EQ(FindBuiltinFunctionRow(name), 0) << name;
    EXPECT_EQ(FindBuiltinFunctionRecord(name), nullptr) << name;
  }
}

TEST_F(FunctionCatalogTest, PiIsTheTwelveDigitConstantWithItsBits) {
  const TFunctionCatalogRecord& pi = Row(60);
  uint8_t bytes[10];
  PackExtended(bytes, pi.ConstantValue);
  const uint8_t expected[10] = {0xE4, 0x4E, 0x77, 0x21, 0xA2, 0xDA, 0x0F, 0xC9, 0x00, 0x40};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(bytes[i], expected[i]) << i;
  // The nearest extended value to 3.14159265359, not pi.
  EXPECT_EQ(pi.ConstantValue, 3.14159265359L);
  EXPECT_GT(std::fabs(pi.ConstantValue - 3.14159265358979323846L), 1E-13L);
}

TEST_F(FunctionCatalogTest, UnitSystemKeywordsInOrder) {
  const char* expected[] = {"SI", "EN", "MA", "MO", "DE", "RA", "KP", "BA", "PS",
                            "AT", "C",  "K",  "F",  "R",  "PA", "MP", "KJ"};
  for (int k = 1; k <= kUnitSystemKeywordCount; ++k) EXPECT_EQ(UnitSystemKeywords[k], expected[k - 1]);
}

TEST_F(FunctionCatalogTest, InstalledCatalogServesTheCompiler) {
  InstallBuiltinFunctionCatalog();
  const TFunctionCatalogEntry* sinEntry = BuiltinFunctions().FindBuiltinFunction("SIN");
  ASSERT_NE(sinEntry, nullptr);
  EXPECT_EQ(sinEntry->Name, "SIN");
  EXPECT_EQ(sinEntry->Opcode, 228);
  EXPECT_EQ(sinEntry->ArgumentCount, 1);
  EXPECT_EQ(sinEntry->HelpContext, 118);
  const TFunctionCatalogEntry* sum = BuiltinFunctions().FindBuiltinFunction("SUM");
  ASSERT_NE(sum, nullptr);
  EXPECT_EQ(sum->ArgumentCount, -2);
  const TFunctionCatalogEntry* pi = BuiltinFunctions().FindBuiltinFunction("PI");
  ASSERT_NE(pi, nullptr);
  EXPECT_EQ(pi->ConstantValue, CatalogPiValue);
  EXPECT_EQ(BuiltinFunctions().FindBuiltinFunction("DUPLICATE")->Name, "Duplicate");
  EXPECT_EQ(BuiltinFunctions().FindBuiltinFunction("ZETA"), nullptr);
  // The adapter keeps its own copy: freeing the table leaves it answering.
  ReleaseFunctionCatalog();
  EXPECT_EQ(BuiltinFunctions().FindBuiltinFunction("TAN")->Opcode, 230);
}

TEST_F(FunctionCatalogTest, ReleaseFreesEveryRecord) {
  ReleaseFunctionCatalog();
  for (const auto& record : BuiltinFunctionTable) EXPECT_EQ(record, nullptr);
  EXPECT_EQ(FindBuiltinFunctionRow("SIN"), 0);
}

}  // namespace
}  // namespace voq

#include "units/unit_conversion_info.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/calc_state.h"
#include "units/unit_table.h"

namespace voq {
namespace {

TDimensionVector Dimension(std::initializer_list<std::pair<int, int>> powers) {
  TDimensionVector e{};
  for (auto [k, p] : powers) e[static_cast<size_t>(k)] = p;
  return e;
}

// The position of an item; dimension names keep the blank before their
// formula in the file.
int32_t IndexOf(const std::vector<std::string>& items, const std::string& item) {
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i] == item || items[i] == item + " ") return static_cast<int32_t>(i);
  }
  return -1;
}

TEST(BaseUnitText, EachBaseLetterBecomesItsUnitAndTheRestIsCopied) {
  const struct {
    const char* formula;
    const char* base;
  } cases[] = {
      {"(L^2-M/T^2)", "m^2-kg/sec^2"}, {"(D)", "K"},      {"(A)", "radian"}, {"(C/T)", "coulomb/sec"},
      {"(N)", "N"},                    {"($)", "$"},      {"()", ""},        {"(/T)", "/sec"},
      {"(L^2-M/T^3-C)", "m^2-kg/sec^3-coulomb"},
  };
  for (const auto& c : cases) EXPECT_EQ(BaseUnitText(c.formula), c.base) << c.formula;
}

// The shipped unit table; the factors are those of NIST SP 811 (2008),
// Appendix B: ft = 0.3048 m, psi = 6894.757 Pa, Btu_IT = 1055.056 J.
TEST(ConvertInfoModel, ConversionLinesOfTheShippedTable) {
  TConvertInfoModel model;
  model.FormActivate();
  ASSERT_FALSE(model.Dimensions.empty());
  EXPECT_EQ(model.DimensionIndex, 0);
  const struct {
    const char* dimension;
    const char* formula;
    const char* unit;
    const char* line;
  } cases[] = {
      {"Length", "(L)", "ft", "1 ft = 0.3048 m"},
      {"Energy", "(L^2-M/T^2)", "Btu", "1 Btu = 1055.06 m^2-kg/sec^2"},
      {"Pressure", "(M/L-T^2)", "psia", "1 psia = 6894.76 kg/m-sec^2"},
      {"Dimensionless", "()", "%", "1 % = 0.01 "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dimension);
    const int32_t d = IndexOf(model.Dimensions, c.dimension);
    ASSERT_GE(d, 0);
    model.DimensionBoxClick(d);
    ASSERT_FALSE(model.Units.empty());
    EXPECT_EQ(model.Units[0], c.formula);
    EXPECT_EQ(model.UnitRecords[0], nullptr);
    const int32_t u = IndexOf(model.Units, c.unit);
    ASSERT_GT(u, 0);
    EXPECT_EQ(model.UnitRecords[static_cast<size_t>(u)]->Name, c.unit);
    model.UnitsBoxClick(u);
    EXPECT_EQ(model.ConvValue, c.line);
    // The formula item converts nothing.
    model.UnitsBoxClick(0);
    EXPECT_EQ(model.ConvValue, "");
  }
}

TEST(ConvertInfoModel, AFailedConversionShowsItsMessageAndLeavesNoErrorBehind) {
  TConvertInfoModel model;
  model.FormActivate();
  // The amount's base letter N stays "N", which the table knows as the
  // newton: mol cannot be converted to it.
  model.DimensionBoxClick(IndexOf(model.Dimensions, "Amount"));
  model.UnitsBoxClick(IndexOf(model.Units, "mol"));
  EXPECT_NE(model.ConvValue.find("mol"), std::string::npos) << model.ConvValue;
  EXPECT_EQ(model.ConvValue.rfind("1 mol =", 0), std::string::npos);
  EXPECT_EQ(CalcErrorCode, 0);
  model.DimensionBoxClick(IndexOf(model.Dimensions, "Length"));
  EXPECT_EQ(model.ConvValue, "");
  model.UnitsBoxClick(IndexOf(model.Units, "ft"));
  EXPECT_EQ(model.ConvValue, "1 ft = 0.3048 m");
}

class ConvertInfoTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A dimension split in two stretches of the file, and names that sort
    // before the formula's parenthesis.
    FreeUnitTable();
    const TDimensionVector length = Dimension({{0, 1}});
    const TDimensionVector none{};
    AppendUnitDefinition("m", 1, length, "Length");
    AppendUnitDefinition("ft", 0.3048L, length, "Length");
    AppendUnitDefinition("%", 0.01L, none, "Ratio");
    AppendUnitDefinition("#x", 1, none, "Ratio");
    AppendUnitDefinition("in", 0.0254L, length, "Length");
  }
};

TEST_F(ConvertInfoTableTest, SplitDimensionIsListedTwiceWithAllItsUnits) {
  TConvertInfoModel model;
  model.FormActivate();
  EXPECT_EQ(model.Dimensions, (std::vector<std::string>{"Length", "Ratio", "Length"}));
  const std::vector<std::string> lengths = {"(L)", "ft", "in", "m"};
  EXPECT_EQ(model.Units, lengths);
  EXPECT_TRUE(model.DimensionBoxClick(2));
  EXPECT_EQ(model.Units, lengths);
  model.UnitsBoxClick(2);
  EXPECT_EQ(model.ConvValue, "1 in = 0.0254 m");
  EXPECT_TRUE(model.DimensionBoxClick(1));
  EXPECT_EQ(model.Units, (std::vector<std::string>{"()", "#x", "%"}));
}

TEST_F(ConvertInfoTableTest, ReopensOnTheDimensionChosenLast) {
  {
    TConvertInfoModel model;
    model.FormActivate();
    EXPECT_TRUE(model.DimensionBoxClick(1));
    // The same dimension again leaves the units list as it is.
    model.Units.push_back("marker");
    EXPECT_FALSE(model.DimensionBoxClick(1));
    EXPECT_EQ(model.Units.back(), "marker");
  }
  TConvertInfoModel again;
  again.FormActivate();
  EXPECT_EQ(again.DimensionIndex, 1);
  EXPECT_EQ(again.DimensionName, "Ratio");
  EXPECT_EQ(again.Units.front(), "()");
  // A table read again with fewer dimensions opens on the first.
  LastDimensionIndex = 7;
  again.FormActivate();
  EXPECT_EQ(again.DimensionIndex, 0);
}

}  // namespace
}  // namespace voq

#include "units/unit_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/program_flags.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "properties/property_units.h"
#include "model/document_settings.h"
#include "units/unit_expressions.h"
#include "units/dimension_vector_of.h"

namespace voq {
namespace {

using testing::DimensionVectorOf;

class UnitFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FreeUnitTable();
    SetPlatform(&platform_);
  }
  int32_t Feed(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
      const int32_t error = ReadUnitsFileLine(line, reader_);
      if (error != 0) return error;
    }
    return 0;
  }
  TUnitFileReader reader_;
  ScriptedPlatform platform_;
};

TEST_F(UnitFileTest, DimensionFormulasGiveTheirExponents) {
  struct Case {
    const char* formula;
    TDimensionVector expected;
  } cases[] = {
      {"M/L-T^2)", DimensionVectorOf({{'M', 1}, {'L', -1}, {'T', -2}})},
      {"L/T)", DimensionVectorOf({{'L', 1}, {'T', -1}})},
      {"M/L/T)", DimensionVectorOf({{'M', 1}, {'L', -1}, {'T', 1}})},  // a second "/" toggles back
      {"L^x)", DimensionVectorOf({})},                                 // a non-digit power is 0
      {"l^2)", DimensionVectorOf({{'L', 2}})},                         // upper-cased
      {"$)", DimensionVectorOf({{'$', 1}})},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseDimensionFormula(c.formula), c.expected) << c.formula;
}

TEST_F(UnitFileTest, UnitLinesTakeTheCurrentDimension) {
  ASSERT_EQ(Feed({"ignored 1", "$Pressure (M/L-T^2)", "  Pa 1", "}comment 2", "kPa 1000",
                  "$Money ($)", "#$ 1", "$Plain", "each 1"}),
            0);
  ASSERT_EQ(UnitTableCount(), 4);
  TDimensionVector e{};
  EXPECT_EQ(FindUnitDefinition("KPA", e), 1000);
  EXPECT_EQ(e, DimensionVectorOf({{'M', 1}, {'L', -1}, {'T', -2}}));
  EXPECT_EQ(UnitTableHead->DimensionName, "Pressure ");  // the blank before "(" is kept
  EXPECT_EQ(FindUnitDefinition("$", e), 1);
  EXPECT_EQ(e, DimensionVectorOf({{'$', 1}}));
  EXPECT_EQ(FindUnitDefinition("EACH", e), 1);
  EXPECT_EQ(e, DimensionVectorOf({}));
  EXPECT_EQ(CalcErrorCode, 0);
}

TEST_F(UnitFileTest, FormatErrorsStopTheLoadAndKeepWhatWasRead) {
  ScriptedPlatform& platform = platform_;
  EXPECT_EQ(Feed({"$Length (L)", "m 1", "ft", "in 0.0254"}), kMsgConversionsFormat);
  EXPECT_EQ(UnitTableCount(), 1);
  ASSERT_FALSE(platform.alerts.empty());
  EXPECT_EQ(platform.alerts.back().text, "Improper format in Conversions files for ft.");
  EXPECT_EQ(Feed({"yd 0.9x"}), kMsgNotANumber);
  EXPECT_EQ(platform.alerts.back().text,
            "0.9x can not be converted into a number.  Please check the equation yd 0.9x");
  EXPECT_EQ(UnitTableCount(), 1);
  EXPECT_EQ(CalcErrorCode, 0);
}

TEST_F(UnitFileTest, LookupsReportUnknownNamesAndSearchBothWays) {
  ASSERT_EQ(Feed({"$Length (L)", "x 1", "$Mass (M)", "x 2"}), 0);
  TDimensionVector e{};
  EXPECT_EQ(FindUnitDefinition(" X ", e), 1);  // the first definition wins
  UnitSearchFromEnd = true;
  EXPECT_EQ(FindUnitDefinition("X", e), 2);
  UnitSearchFromEnd = false;
  EXPECT_EQ(FindUnitDefinition("FURLONG", e), 1);
  EXPECT_EQ(CalcErrorCode, kMsgUnknownUnit);
  EXPECT_EQ(MessageArgs[1], "FURLONG");
  EXPECT_EQ(MessageHelpContext, 182);
  CalcErrorCode = 0;
  FindUnitDefinition("N*M", e);
  EXPECT_EQ(CalcErrorCode, kMsgUnitHyphen);
}

TEST_F(UnitFileTest, DistributableBlockRoundTripsAtItsOffsets) {
  ASSERT_EQ(Feed({"$Pressure (M/L-T^2)", "kPa 1000", "$Angle (A)", "deg 0.0174532925199432957692"}), 0);
  const std::vector<uint8_t> block = PackUnitBlock();
  ASSERT_EQ(block.size(), 2 + 2 * kUnitRecordSize);
  EXPECT_EQ(block[0], 2);
  EXPECT_EQ(block[1], 0);
  const uint8_t* first = block.data() + 2;
  EXPECT_EQ(first[0], 3);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(first + 1), 3), "kPa");
  EXPECT_EQ(UnpackExtended(first + 41), 1000);
  EXPECT_EQ(UnpackExtended(first + 51 + 10), 1);   // M
  EXPECT_EQ(UnpackExtended(first + 51), -1);       // L
  EXPECT_EQ(UnpackExtended(first + 51 + 20), -2);  // T
  EXPECT_EQ(first[131], 9);
  const std::filesystem::path file = std::filesystem::temp_directory_path() / "voq_unit_block.bin";
  {
    std::ofstream out(file, std::ios::binary);
    out << "PROGRAM";
    out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size()));
  }
  const Extended deg = UnitTableTail->Factor;
  FreeUnitTable();
  ASSERT_TRUE(LoadUnitBlock(file.string(), 7));
  ASSERT_EQ(UnitTableCount(), 2);
  EXPECT_EQ(UnitTableTail->Name, "deg");
  EXPECT_EQ(UnitTableTail->Factor, deg);
  EXPECT_EQ(UnitTableTail->DimensionName, "Angle ");
  EXPECT_EQ(UnitTableTail->Previous, UnitTableHead);
  FreeUnitTable();
  EXPECT_FALSE(LoadUnitBlock(file.string(), 4000));
  std::filesystem::remove(file);
}

// The shipped file, loaded by the engine reset.
TEST(ShippedUnitsFile, DefinesTheBaseUnitsAndTheNamedUnits) {
  ASSERT_GT(UnitTableCount(), 100);
  const char* names[] = {"m",   "kg",   "sec",  "K",    "radian", "coulomb", "N",   "$",   "deg",
                         "rad", "C",    "F",    "R",    "lb_m",   "lb_f",    "lbm", "lbf", "lbmol",
                         "kmol", "gmol", "Btu", "hr",   "psia",   "atm",     "bar", "Pa",  "kPa",
                         "MPa", "J",    "kJ",   "W",    "s",      "ft",      "in",  "g",   "kW"};
  for (const char* name : names) {
    TDimensionVector e{};
    std::string upper = name;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    FindUnitDefinition(upper, e);
    EXPECT_EQ(CalcErrorCode, 0) << name;
    CalcErrorCode = 0;
  }
  // Each base unit has factor 1 and exactly its own dimension.
  const char* base[] = {"M", "KG", "SEC", "K", "RADIAN", "COULOMB", "", "$"};
  for (int k = 0; k < kDimensionCount; ++k) {
    if (base[k][0] == '\0') continue;
    TDimensionVector e{};
    EXPECT_EQ(FindUnitDefinition(base[k], e), 1) << base[k];
    TDimensionVector expected{};
    expected[k] = 1;
    EXPECT_EQ(e, expected) << base[k];
  }
}

// Every label the property routines and the unit check of property calls
// produce, in every unit system, must be a unit expression of the file.
TEST(ShippedUnitsFile, EveryPropertyUnitLabelResolves) {
  std::vector<std::string> labels = {
      "J/kg-K", "kJ/kg-K", "J/kmol-K", "kJ/kmol-K", "Btu/lbm-R", "Btu/lbmol-R", "kg/m-s", "lb_m/ft-hr",
      "W/m-K", "Btu/hr-ft-R", "m/s", "ft/s", "N/m", "lbf/ft", "1/K", "1/R", "Pa", "MPa", "bar", "kPa",
      "atm", "psia", "g/gmol", "lbm/lbmol", "deg", "rad"};
  const int32_t kinds[] = {1, 2, 3, 4, 5, 6, 9, 10, 11, 12, 15, 16, 17, 18};
  for (uint8_t system = 0; system <= 1; ++system) {
    for (uint8_t molar = 0; molar <= 1; ++molar) {
      for (uint8_t absolute = 0; absolute <= 1; ++absolute) {
        for (uint8_t pressure = 0; pressure <= 3; ++pressure) {
          for (uint8_t energy = 0; energy <= 1; ++energy) {
            DocumentSettings.UnitSystem = system;
            DocumentSettings.MolarBasis = molar;
            DocumentSettings.AbsoluteTemperature = absolute;
            DocumentSettings.PressureUnit = pressure;
            DocumentSettings.EnergyUnit = energy;
            for (int32_t kind : kinds) labels.push_back(PropertyUnitsText(kind));
          }
        }
      }
    }
  }
  for (const std::string& label : labels) {
    TDimensionVector e{};
    EvalUnitExpression(label, e);
    EXPECT_EQ(CalcErrorCode, 0) << label;
    CalcErrorCode = 0;
  }
}

}  // namespace
}  // namespace voq

namespace voq {
namespace {

// Without the units file the table is empty after an alert, and every
// conversion names its first unit as unknown.
TEST(MissingUnitsFile, IsAnnouncedAndLeavesAnEmptyTable) {
  ScriptedPlatform platform;
  SetPlatform(&platform);
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "voq_no_units_here";
  std::filesystem::create_directories(dir);
  ProgramDirectory = dir.string();
  FreeUnitTable();
  LoadUnitTable();
  ProgramDirectory.clear();
  EXPECT_EQ(UnitTableCount(), 0);
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].text.rfind("The UNITS.TXT file was not found.", 0), 0u);
  Extended factor = 0;
  std::string text;
  ConvertUnitFactor("ft", "m", factor, text);
  EXPECT_EQ(CalcErrorCode, kMsgUnknownUnit);
  EXPECT_EQ(MessageArgs[1], "FT");
  CalcErrorCode = 0;
  std::filesystem::remove(dir);
}

}  // namespace
}  // namespace voq

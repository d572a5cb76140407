#include "output/display_names.h"

#include <gtest/gtest.h>

#include <string>

#include "model/display_fonts.h"
#include "model/document_settings.h"
#include "model/program_units.h"
#include "model/store_state.h"

namespace voq {
namespace {

const std::string kInfinity(1, static_cast<char>(165));

struct NameCase {
  const char* Name;
  std::string Display;
  bool Greek;
};

TEST(DisplayVarNameTest, GreekLettersAccentsAndSubscripts) {
  Preferences.ShowSubscripts = 1;
  const NameCase cases[] = {
      {"alpha", "a", true},        {"Delta", "d_@", true},     {"DELTA", "D_@", true},
      {"DeltaT", "d_@T", true},    {"Delta_T", "d_T", true},   {"x_dot", "x\\.", false},
      {"theta_1", "q_1", true},    {"T_INFINITY", "T_" + kInfinity, false},
      {"Alpha_bar", "a\\_", true}, {"ALPHA", "a", true},       {"OMEGA", "W", true},
      {"Omega", "w", true},        {"eta", "h", true},         {"PHI_hat", "F\\^", true},
      {"psi", "y", true},          {"x|star", "x*", false},    {"m|plus", "m|+", false},
      {"x_dotted", "x_dotted", false}, {"x_dot_2", "x\\._2", false}, {"pi", "pi", false},
      {"Tau", "t", true},          {"T", "T", false},          {"", "", false},
  };
  for (const NameCase& c : cases) {
    bool greek = !c.Greek;
    std::string name = c.Name;
    DisplayVarName(name, 30, greek);
    EXPECT_EQ(name, c.Display) << c.Name;
    EXPECT_EQ(greek, c.Greek) << c.Name;
  }
}

TEST(DisplayVarNameTest, OptionOffLeavesEveryNameUnchanged) {
  Preferences.ShowSubscripts = 0;
  for (const char* name : {"alpha", "Delta", "DELTA", "x_dot", "T_INFINITY", "Alpha_bar"}) {
    bool greek = true;
    std::string text = name;
    DisplayVarName(text, 30, greek);
    EXPECT_EQ(text, name);
    EXPECT_FALSE(greek);
  }
}

TEST(DisplayVarNameTest, ResultIsCutToTheMaximumLength) {
  Preferences.ShowSubscripts = 1;
  EXPECT_EQ(DisplayVarName("DeltaTemperature", 6), "d_@Tem");
}

TEST(DisplayNameWidthTest, MarkupDoesNotCount) {
  ScreenCharWidth = 7;
  Preferences.ShowSubscripts = 1;
  // A "_" and the character after it do not count; after ".", "@", "\"
  // or "_" the next one does not either.
  EXPECT_EQ(DisplayNameWidth("T_1"), 7 * 1);
  EXPECT_EQ(DisplayNameWidth("T_12"), 7 * 2);
  EXPECT_EQ(DisplayNameWidth("d_@Tx"), 7 * 2);
  EXPECT_EQ(DisplayNameWidth("x_\\.y"), 7 * 2);
  EXPECT_EQ(DisplayNameWidth("a'_b'"), 7 * 5);     // "_" inside quotes counts
  Preferences.ShowSubscripts = 0;
  EXPECT_EQ(DisplayNameWidth("T_1"), 7 * 3);
}

TEST(QualifyModuleVarNameTest, UnitNumberBecomesTheUnitName) {
  TProgramUnitRecord* pump = CreateProgramUnit();
  ASSERT_NE(pump, nullptr);
  ASSERT_EQ(ProgramUnitList.size(), 2u);
  pump->Name = "Pump";
  EXPECT_EQ(QualifyModuleVarName("@1\\x"), "Pump\\x");
  EXPECT_EQ(QualifyModuleVarName("@1\\2.T"), "Pump\\2: T");
  EXPECT_EQ(QualifyModuleVarName("@7\\x"), "7\\x");  // no such unit: the number stays
  EXPECT_EQ(QualifyModuleVarName("@x"), "@x");       // no backslash
  EXPECT_EQ(QualifyModuleVarName("T_1"), "T_1");
}

TEST(ParseLocalVarNameTest, NumbersAndPlainName) {
  struct Case {
    const char* Name;
    const char* Plain;
    int32_t Unit;
    int32_t Call;
  };
  const Case cases[] = {
      {"@3\\2.T", "T", 3, 2},
      {"@3\\T", "T", 3, 0},
      {"@T", "T", 0, 0},
      {"@x\\y.z", "z", 0, 0},
  };
  for (const Case& c : cases) {
    std::string name = c.Name;
    int32_t unit = -1;
    int32_t call = -1;
    ParseLocalVarName(name, unit, call);
    EXPECT_EQ(name, c.Plain) << c.Name;
    EXPECT_EQ(unit, c.Unit) << c.Name;
    EXPECT_EQ(call, c.Call) << c.Name;
  }
}

}  // namespace
}  // namespace voq

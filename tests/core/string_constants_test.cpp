#include "core/string_constants.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "core/calc_state.h"
#include "core/messages.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"

namespace voq {
namespace {

class StringConstantsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetStringConstants();
    CalcErrorCode = 0;
    MessageText.clear();
  }
  void TearDown() override {
    SetStringVariableReader(nullptr);
    ResetStringConstants();
    CalcErrorCode = 0;
  }
  ScriptedPlatform platform;
  ScopedPlatform scoped{platform};
};

TEST_F(StringConstantsTest, IndexMatchesWithoutCaseAndTakesTheNewSpelling) {
  const int32_t first = StringConstIndex("'Abc'");
  EXPECT_EQ(first, 2);
  EXPECT_EQ(StringConstIndex("ABC"), first);
  EXPECT_EQ(StringConstText(first), "ABC");
  EXPECT_EQ(StringConstIndex("other"), 3);
  EXPECT_EQ(StringConstants.size(), 3u);
  EXPECT_EQ(StringConstIndex("??"), 1);
  EXPECT_EQ(CalcErrorCode, 0);
}

TEST_F(StringConstantsTest, TextOutsideTheListIsError302) {
  std::string text = "x";
  StringConstText(0, text);
  EXPECT_EQ(text, "??");
  EXPECT_EQ(CalcErrorCode, 302);
  EXPECT_EQ(MessageText, GetMessageText(302));
  EXPECT_EQ(MessageText.substr(0, 25), "String index range error.");

  CalcErrorCode = 0;
  StringConstText(1, text);
  EXPECT_EQ(text, "??");
  EXPECT_EQ(CalcErrorCode, 0);
  StringConstText(2, text);
  EXPECT_EQ(CalcErrorCode, 302);
}

TEST_F(StringConstantsTest, LongTextsAreCut) {
  const int32_t n = StringConstIndex(std::string(300, 'q'));
  EXPECT_EQ(StringConstText(n).size(), kStringConstantLength);
}

TEST_F(StringConstantsTest, StringVarTextReadsThroughTheInstalledReader) {
  const int32_t water = StringConstIndex("Water");
  std::map<std::string, Extended> mainUnit = {{"F$", water}, {"UNSET$", 1}, {"BAD$", 99}};
  int32_t slotSeen = -1;
  SetStringVariableReader([&](const std::string& name, int32_t slot, Extended& value) {
    slotSeen = slot;
    auto it = mainUnit.find(name);
    if (it == mainUnit.end()) return false;
    value = it->second;
    return true;
  });
  std::string text;
  StringVarText("F$", 7, text);
  EXPECT_EQ(text, "Water");
  EXPECT_EQ(slotSeen, 7);
  StringVarText("UNSET$", 0, text);  // value 1: never set, shows the name
  EXPECT_EQ(text, "UNSET$");
  StringVarText("BAD$", 0, text);
  EXPECT_EQ(text, "BAD$");
  StringVarText("MISSING$", 0, text);
  EXPECT_EQ(text, "MISSING$");
  slotSeen = -1;
  StringVarText("$", 0, text);  // too short to be a string variable
  EXPECT_EQ(text, "$");
  StringVarText("F", 0, text);
  EXPECT_EQ(text, "F");
  EXPECT_EQ(slotSeen, -1);
  EXPECT_EQ(CalcErrorCode, 0);
}

TEST_F(StringConstantsTest, StringVarTextWithoutReaderShowsTheName) {
  std::string text;
  StringVarText("A$", 0, text);
  EXPECT_EQ(text, "A$");
}

}  // namespace
}  // namespace voq

#include "model/warnings_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace voq {
namespace {

class WarningsWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearWarningsAfter(0); }
  void TearDown() override { ClearWarningsAfter(0); }
};

// The window shows a warning as two lines (its text and an empty line) and
// holds at most 124 of them: 62 warnings, then the note once, then nothing.
TEST_F(WarningsWindowTest, RepeatsAreDroppedAndTheWindowStopsAfter124Lines) {
  EXPECT_FALSE(WarningsPending);
  AddWarning("same");
  AddWarning("same");
  EXPECT_EQ(WarningLineCount(), 1u);
  EXPECT_EQ(WarningMemoLines(), (std::vector<std::string>{"same", ""}));
  EXPECT_TRUE(WarningsPending);
  for (int k = 2; k <= 200; ++k) AddWarning("line " + std::to_string(k));
  ASSERT_EQ(WarningLineCount(), 63u);
  EXPECT_EQ(WarningLines()[61], "line 62");
  EXPECT_EQ(WarningLines()[62], "Additional warnings are not displayed...");
  const std::vector<std::string> memo = WarningMemoLines();
  ASSERT_EQ(memo.size(), 125u);
  EXPECT_EQ(memo[122], "line 62");
  EXPECT_EQ(memo[123], "");
  EXPECT_EQ(memo[124], "Additional warnings are not displayed...");
  EXPECT_EQ(std::count(memo.begin(), memo.end(), "Additional warnings are not displayed..."), 1);
  // A warning already shown still marks warnings as pending.
  ClearWarningsAfter(WarningLineCount());
  AddWarning("same");
  EXPECT_TRUE(WarningsPending);
}

// Dropping the note with the warnings of a failed iteration lets the next
// warning that fits in.
TEST_F(WarningsWindowTest, TheNoteCanBeClearedWithTheLinesBeforeIt) {
  for (int k = 1; k <= 70; ++k) AddWarning("w" + std::to_string(k));
  ASSERT_EQ(WarningLines().back(), "Additional warnings are not displayed...");
  ClearWarningsAfter(61);
  AddWarning("late");
  EXPECT_EQ(WarningLines().back(), "late");
  AddWarning("later");
  EXPECT_EQ(WarningLines().back(), "Additional warnings are not displayed...");
}

int32_t scriptedRun = 0;

// During a table run every warning carries its run: the same text in two
// runs is two lines; within one run it is one.
TEST_F(WarningsWindowTest, TableRunsPrefixTheirRunNumber) {
  SetWarningRunReader([] { return scriptedRun; });
  for (int32_t run : {1, 1, 2}) {
    scriptedRun = run;
    AddWarning("Pressure is out of range");
  }
  scriptedRun = 0;
  AddWarning("Pressure is out of range");
  EXPECT_EQ(WarningLines(), (std::vector<std::string>{"Run 1: Pressure is out of range",
                                                      "Run 2: Pressure is out of range",
                                                      "Pressure is out of range"}));
  EXPECT_EQ(WarningMemoText(),
            "Run 1: Pressure is out of range\r\n\r\nRun 2: Pressure is out of range\r\n\r\n"
            "Pressure is out of range\r\n");
  scriptedRun = 3;
  AddWarning(std::string(300, 'x'));
  EXPECT_EQ(WarningLines().back().size(), 255u);
  EXPECT_EQ(WarningLines().back().substr(0, 8), "Run 3: x");
  scriptedRun = 0;
}

TEST_F(WarningsWindowTest, ClearingTheLastLinesKeepsTheEarlierOnes) {
  AddWarning("kept");
  const size_t mark = WarningLineCount();
  AddWarning("from a failed iteration");
  ClearWarningsAfter(mark);
  ASSERT_EQ(WarningLineCount(), 1u);
  EXPECT_TRUE(WarningsPending);
  ClearWarningsAfter(0);
  EXPECT_FALSE(WarningsPending);
}

}  // namespace
}  // namespace voq

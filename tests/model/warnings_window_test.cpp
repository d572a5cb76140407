#include "model/warnings_window.h"

#include <gtest/gtest.h>

#include <string>

namespace voq {
namespace {

class WarningsWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearWarningsAfter(0); }
  void TearDown() override { ClearWarningsAfter(0); }
};

TEST_F(WarningsWindowTest, RepeatsAreDroppedAndTheListStopsAfter125Lines) {
  EXPECT_FALSE(WarningsPending);
  AddWarning("same");
  AddWarning("same");
  EXPECT_EQ(WarningLineCount(), 1u);
  EXPECT_TRUE(WarningsPending);
  for (int k = 2; k <= 200; ++k) AddWarning("line " + std::to_string(k));
  ASSERT_EQ(WarningLineCount(), 126u);
  EXPECT_EQ(WarningLines()[124], "line 125");
  EXPECT_EQ(WarningLines()[125], "Additional warnings are not displayed...");
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

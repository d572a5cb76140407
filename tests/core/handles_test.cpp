#include "core/handles.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "core/calc_state.h"
#include "core/messages.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"

namespace voq {
namespace {

// Far beyond any address space: the allocation must fail.
constexpr size_t kImpossibleSize = SIZE_MAX / 2;

class HandlesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CalcErrorCode = 0;
    platform.ticks = 100000;
    LastBeepTicks = 0;
  }
  void TearDown() override { CalcErrorCode = 0; }
  ScriptedPlatform platform;
  ScopedPlatform scoped{platform};
};

TEST_F(HandlesTest, GrowingKeepsIdentityAndContents) {
  Handle h = NewHandle(8);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(GetHandleSize(h), 8u);
  int32_t* words = HandleData<int32_t>(h);
  EXPECT_EQ(words[0], 0);
  words[0] = 11;
  words[1] = -21;
  Handle copy = h;  // held elsewhere, e.g. by a second record
  ASSERT_TRUE(SetHandleSize(h, 800));
  EXPECT_EQ(GetHandleSize(copy), 800u);
  EXPECT_EQ(HandleData<int32_t>(copy)[0], 11);
  EXPECT_EQ(HandleData<int32_t>(copy)[1], -21);
  EXPECT_EQ(HandleData<int32_t>(copy)[199], 0);
  DisposeHandle(h);
  EXPECT_EQ(h, nullptr);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_TRUE(platform.alerts.empty());
}

TEST_F(HandlesTest, AllocationFailureIsError75WithItsAlert) {
  Handle h = NewHandle(kImpossibleSize);
  EXPECT_EQ(h, nullptr);
  EXPECT_EQ(CalcErrorCode, 75);
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].kind, 0);
  EXPECT_EQ(platform.alerts[0].text, GetMessageText(75));
  EXPECT_EQ(platform.alerts[0].text.substr(0, 21), "There is not enough m");
  EXPECT_EQ(platform.beeps, 1);

  CalcErrorCode = 0;
  EXPECT_EQ(NewPtrChecked(kImpossibleSize), nullptr);
  EXPECT_EQ(CalcErrorCode, 75);
  EXPECT_EQ(platform.alerts.size(), 2u);
}

TEST_F(HandlesTest, FailedGrowthKeepsTheOldBlock) {
  Handle h = NewHandle(4);
  ASSERT_NE(h, nullptr);
  HandleData<uint8_t>(h)[3] = 9;
  EXPECT_FALSE(SetHandleSize(h, kImpossibleSize));
  EXPECT_EQ(CalcErrorCode, 75);
  EXPECT_EQ(GetHandleSize(h), 4u);
  EXPECT_EQ(HandleData<uint8_t>(h)[3], 9);
  DisposeHandle(h);
}

TEST_F(HandlesTest, DisposingAnAbsentHandleBeepsAtMostOnceASecond) {
  Handle h = nullptr;
  DisposeHandle(h);
  EXPECT_EQ(h, nullptr);
  EXPECT_EQ(platform.beeps, 1);
  platform.ticks += 300;
  DisposeHandle(h);
  EXPECT_EQ(platform.beeps, 1);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_TRUE(platform.alerts.empty());
}

TEST_F(HandlesTest, OwnedHandleDisposesAndMoves) {
  OwnedHandle a(16);
  ASSERT_TRUE(a);
  Handle raw = a.Get();
  OwnedHandle b(std::move(a));
  EXPECT_FALSE(a);
  EXPECT_EQ(b.Get(), raw);
  b.Reset();
  EXPECT_FALSE(b);
  EXPECT_EQ(platform.beeps, 0);
}

TEST_F(HandlesTest, NodeListIsFreedToTheEnd) {
  TParamNodeRecord* head = NewParamNode(1.5);
  ASSERT_NE(head, nullptr);
  head->Next = NewParamNode(2.5);
  head->Next->Next = NewParamNode(3.5);
  EXPECT_EQ(head->Next->Next->Value, 3.5);
  DisposeNodeList(head);
  EXPECT_EQ(head, nullptr);
  DisposeNodeList(head);  // an empty list is fine
  EXPECT_EQ(CalcErrorCode, 0);
}

}  // namespace
}  // namespace voq

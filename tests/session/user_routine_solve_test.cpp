// User FUNCTIONs and PROCEDUREs through the Solve command: what the call
// counter, the warnings window and an abort show of the calls made while
// the equations are compiled and solved.
#include <gtest/gtest.h>

#include <string>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "language/store_fixture.h"
#include "model/routines.h"
#include "model/store_state.h"
#include "model/warnings_window.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "session/compile_driver.h"

namespace voq {
namespace {

// A clock that moves on 100 ms at every reading, so the keyboard is polled
// every few readings while a calculation runs; the Esc key goes down after
// escAfterPolls polls.
class TickingPlatform : public ScriptedPlatform {
 public:
  int32_t TickCount() override { return ticks += 100; }
  bool TakeEscKeyDown() override { return ++polls >= escAfterPolls; }
  int polls = 0;
  int escAfterPolls = 1 << 30;
};

class UserRoutineSolveTest : public testing::LanguageStoreTest {
 protected:
  void SetUp() override {
    LanguageStoreTest::SetUp();
    SetEquationsEditor(&editor);
    CheckOnlyMode = false;
    EquationsCompiled = false;
    AbortRequested = false;
    ClearWarningsAfter(0);
  }
  void TearDown() override {
    SetEquationsEditor(nullptr);
    AbortRequested = false;
    ClearWarningsAfter(0);
    LanguageStoreTest::TearDown();
  }
  // The Solve command.
  int32_t Solve(const std::string& text) {
    editor.SetText(text);
    EquationsCompiled = false;
    CompileEquations(false, false);
    return CalcErrorCode;
  }
  long double Value(const std::string& name) {
    const TVariableRecord* v = VarNamed(name);
    return v != nullptr ? v->Value : -1;
  }

  TickingPlatform platform;
  ScopedPlatform scoped{platform};
  InMemoryEquationsEditor editor;
};

constexpr const char* kSquare =
    "FUNCTION F(X)\r\n"
    "  F := X^2\r\n"
    "END\r\n";

// A call with the arguments of the call before it takes the last result;
// only a new argument runs the body again.
TEST_F(UserRoutineSolveTest, RepeatedCallDoesNotRunTheBody) {
  ASSERT_EQ(Solve(std::string(kSquare) + "a = F(3)"), 0);
  EXPECT_NEAR(double(Value("a")), 9, 1e-9);
  // Each read starts the count again.
  const int32_t once = RoutineAt(1)->CallCounter;
  EXPECT_EQ(once, 1);

  ASSERT_EQ(Solve(std::string(kSquare) + "a = F(3)\r\nb = F(3)"), 0);
  EXPECT_NEAR(double(Value("b")), 9, 1e-9);
  EXPECT_EQ(RoutineAt(1)->CallCounter, once);

  ASSERT_EQ(Solve(std::string(kSquare) + "a = F(3)\r\nb = F(3)\r\nc = F(4)"), 0);
  EXPECT_NEAR(double(Value("c")), 16, 1e-9);
  EXPECT_EQ(RoutineAt(1)->CallCounter, once + 1);
}

// A warning adds its line and the solve goes on to its values.
TEST_F(UserRoutineSolveTest, WarningAddsOneLineAndTheSolveGoesOn) {
  ASSERT_EQ(Solve("FUNCTION F(t)\r\n"
                  "  CALL WARNING('Check XXXF1', t)\r\n"
                  "  F := 2*t\r\n"
                  "END\r\n"
                  "y = F(2.34)"),
            0);
  EXPECT_NEAR(double(Value("y")), 4.68, 1e-15);
  EXPECT_TRUE(WarningsPending);
  EXPECT_EQ(WarningLines(), std::vector<std::string>{"Check 2.3"});
}

// A REPEAT whose condition never holds runs until Esc: the solve ends with
// error 58 instead of hanging.
TEST_F(UserRoutineSolveTest, EndlessRepeatEndsAtTheAbortRequest) {
  platform.escAfterPolls = 20;
  EXPECT_EQ(Solve("FUNCTION F(x)\r\n"
                  "  REPEAT\r\n"
                  "    x := x + 1\r\n"
                  "  UNTIL x < 0\r\n"
                  "  F := x\r\n"
                  "END\r\n"
                  "y = F(1)"),
            kMsgCancelled);
  EXPECT_EQ(platform.polls, 20);
  EXPECT_FALSE(SolutionAvailable);
}

}  // namespace
}  // namespace voq

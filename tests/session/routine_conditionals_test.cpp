// IF, block IF, REPEAT/UNTIL and DUPLICATE inside FUNCTION bodies, read
// through the compile driver: the statements of the body with their labels,
// GOTO targets and branch pairs. These need the routine reader; a build
// without it skips them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "language/code_listing.h"
#include "language/conditionals.h"
#include "language/store_fixture.h"
#include "model/document_settings.h"
#include "model/routines.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "session/compile_driver.h"

namespace voq {
namespace {

class RoutineConditionalsTest : public testing::LanguageStoreTest {
 protected:
  void SetUp() override {
    LanguageStoreTest::SetUp();
    SetEquationsEditor(&editor);
    CheckOnlyMode = true;
    EquationsCompiled = false;
    AbortRequested = false;
  }
  void TearDown() override {
    SetEquationsEditor(nullptr);
    CheckOnlyMode = false;
    Preferences = TPreferencesRecord{};
    LanguageStoreTest::TearDown();
  }

  int32_t Read(const std::string& text) {
    editor.SetText(text);
    EquationsCompiled = false;
    CompileEquations(false, false);
    return CalcErrorCode;
  }

  // The body in reading order: the label, then the code.
  std::vector<std::string> Body(const TRoutineRecord& r) {
    std::vector<std::string> out;
    for (TEquationRecord* e = r.FirstStatement; e != nullptr; e = e->Next) {
      std::string line = e->Label != 0 ? std::to_string(e->Label) + ":" : "";
      const std::string code = ListEquationCode(*e, MainProgramUnit);
      if (!line.empty() && !code.empty()) line += " ";
      out.push_back(line + code);
    }
    return out;
  }
  std::vector<TEquationRecord*> Statements(const TRoutineRecord& r) {
    std::vector<TEquationRecord*> out;
    for (TEquationRecord* e = r.FirstStatement; e != nullptr; e = e->Next) out.push_back(e);
    return out;
  }

  ScriptedPlatform platform;
  ScopedPlatform scoped{platform};
  InMemoryEquationsEditor editor;
};

#define SKIP_WITHOUT_ROUTINES()                                                 \
  if (FunctionCount == 0) {                                                     \
    GTEST_SKIP() << "FUNCTION headers are not read in this build";              \
  }

TEST_F(RoutineConditionalsTest, BlockIfInAFunction) {
  const int32_t error = Read(
      "FUNCTION f(x)\r\n"
      "  IF x > 0 THEN\r\n"
      "    y := 1\r\n"
      "  ELSE\r\n"
      "    y := 2\r\n"
      "  ENDIF\r\n"
      "  f := y\r\n"
      "END\r\n"
      "z = f(3)");
  SKIP_WITHOUT_ROUTINES();
  ASSERT_EQ(error, 0);
  const TRoutineRecord& f = *RoutineAt(1);
  // x is local 1, y local 2; the block is number 1 of the routine.
  EXPECT_EQ(Body(f), (std::vector<std::string>{"3 local1 , 0 , #199 0 =", "goto30003", "local2 1 =", "goto30004",
                                               "30003:", "local2 2 =", "30004:", "local0 local2 =", "99999:"}));
  const std::vector<TEquationRecord*> s = Statements(f);
  ASSERT_EQ(s.size(), 9u);
  // The condition leads to its GOTO or to the THEN part, and each GOTO to
  // its label.
  ASSERT_NE(s[0]->BranchPair, nullptr);
  EXPECT_EQ(s[0]->BranchPair->Then, s[1]);
  EXPECT_EQ(s[0]->BranchPair->Else, s[2]);
  EXPECT_EQ(s[1]->JumpTarget, s[4]);
  EXPECT_EQ(s[3]->JumpTarget, s[6]);
}

TEST_F(RoutineConditionalsTest, RepeatUntilInAFunction) {
  const int32_t error = Read(
      "FUNCTION g(a)\r\n"
      "  x := a\r\n"
      "  REPEAT\r\n"
      "    x := x + 1\r\n"
      "  UNTIL x > 10\r\n"
      "  g := x\r\n"
      "END\r\n"
      "r = g(0)");
  SKIP_WITHOUT_ROUTINES();
  ASSERT_EQ(error, 0);
  const TRoutineRecord& g = *RoutineAt(1);
  // The loop runs again while x <= 10 (code 3).
  EXPECT_EQ(Body(g), (std::vector<std::string>{"local2 local1 =", "32001:", "local2 local2 1 + =",
                                               "3 local2 , 10 , #199 0 =", "goto32001", "local0 local2 =",
                                               "99999:"}));
  const std::vector<TEquationRecord*> s = Statements(g);
  ASSERT_EQ(s.size(), 7u);
  EXPECT_EQ(s[4]->JumpTarget, s[1]);
  ASSERT_NE(s[3]->BranchPair, nullptr);
  EXPECT_EQ(s[3]->BranchPair->Else, s[5]);
}

// REPEAT x := x + 1 UNTIL x > 10 from 0 stops at 11 (hand count: the body
// runs for x = 0..10).
TEST_F(RoutineConditionalsTest, RepeatLoopRunsUntilItsCondition) {
  CheckOnlyMode = false;
  Read(
      "FUNCTION g(a)\r\n"
      "  x := a\r\n"
      "  REPEAT\r\n"
      "    x := x + 1\r\n"
      "  UNTIL x > 10\r\n"
      "  g := x\r\n"
      "END\r\n"
      "r = g(0)");
  SKIP_WITHOUT_ROUTINES();
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_NEAR(double(VarNamed("r")->Value), 11.0, 1e-12);
}

struct TBodyErrorCase {
  const char* Name;
  const char* Body;
  int32_t Error;
};

class RoutineConditionalErrorTest : public RoutineConditionalsTest,
                                    public ::testing::WithParamInterface<TBodyErrorCase> {};

TEST_P(RoutineConditionalErrorTest, Refused) {
  const int32_t error = Read(std::string("FUNCTION f(x)\r\n") + GetParam().Body + "\r\n  f := x\r\nEND\r\nz = f(1)");
  SKIP_WITHOUT_ROUTINES();
  EXPECT_EQ(error, GetParam().Error);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RoutineConditionalErrorTest,
    ::testing::Values(TBodyErrorCase{"UntilWithoutRepeat", "  UNTIL x > 10", kMsgUnbalancedRepeat},
                      TBodyErrorCase{"RepeatWithoutUntil", "  REPEAT\r\n  x := x + 1", kMsgUnbalancedRepeat},
                      TBodyErrorCase{"BlockLeftOpen", "  IF x > 0 THEN\r\n  x := 1", kMsgMissingEndIf},
                      TBodyErrorCase{"ThenMissing", "  IF x > 0 x := 1", kMsgMissingThen},
                      TBodyErrorCase{"AndWithoutParentheses", "  IF x > 0 AND x < 2 THEN x := 1", kMsgIfOperator},
                      TBodyErrorCase{"EndIfWithoutIf", "  ENDIF", kMsgIfNesting}),
    [](const ::testing::TestParamInfo<TBodyErrorCase>& info) { return std::string(info.param.Name); });

// A DUPLICATE loop in a body becomes one statement per pass (with the advice
// against it); the END of the loop does not end the routine.
TEST_F(RoutineConditionalsTest, DuplicateInAFunctionBody) {
  const int32_t error = Read(
      "FUNCTION s(n)\r\n"
      "  t := n\r\n"
      "  DUPLICATE i=1,3\r\n"
      "    t := t + i\r\n"
      "  END\r\n"
      "  s := t\r\n"
      "END\r\n"
      "q = s(0)");
  SKIP_WITHOUT_ROUTINES();
  ASSERT_EQ(error, 0);
  EXPECT_EQ(Body(*RoutineAt(1)), (std::vector<std::string>{"local2 local1 =", "local2 local2 1 + =",
                                                           "local2 local2 2 + =", "local2 local2 3 + =",
                                                           "local0 local2 =", "99999:"}));
  ASSERT_EQ(platform.alerts.size(), 1u);
}

// A one-line IF repeated by a DUPLICATE loop: every pass after the first
// marks its condition and its last statement as repeats.
TEST_F(RoutineConditionalsTest, IfInsideDuplicateInAFunction) {
  Preferences.ShowAdvice = 0;
  const int32_t error = Read(
      "FUNCTION m(a)\r\n"
      "  t := 0\r\n"
      "  DUPLICATE i=1,2\r\n"
      "    IF a > i THEN t := i\r\n"
      "  END\r\n"
      "  m := t\r\n"
      "END\r\n"
      "q = m(5)");
  SKIP_WITHOUT_ROUTINES();
  ASSERT_EQ(error, 0);
  EXPECT_EQ(Body(*RoutineAt(1)),
            (std::vector<std::string>{"local2 0 =", "3 local1 , 1 , #199 0 =", "goto30003", "local2 1 =", "30003:",
                                      "3 local1 , 2 , #199 0 =", "goto30005", "local2 2 =", "30005:",
                                      "local0 local2 =", "99999:"}));
  const std::vector<TEquationRecord*> s = Statements(*RoutineAt(1));
  EXPECT_EQ(s[1]->DuplicateRepeat, 0);
  EXPECT_EQ(s[5]->DuplicateRepeat, 1);
  EXPECT_EQ(s[8]->DuplicateRepeat, 1);
  EXPECT_TRUE(platform.alerts.empty());
}

}  // namespace
}  // namespace voq

// INTEGRAL and INTEGRALVALUE through the statement compiler: the rewritten
// arguments in the generated code, the term records hung on the equation,
// the integration slots and the errors of the call forms.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "language/function_catalog.h"
#include "language/integral_forms.h"
#include "language/store_fixture.h"
#include "model/program_units.h"
#include "model/solve_session.h"
#include "model/store_state.h"

namespace voq::testing {
namespace {

class IntegralFormsTest : public LanguageStoreTest {
 protected:
  void SetUp() override {
    LanguageStoreTest::SetUp();
    InstallBuiltinFunctionCatalog();
    BeginTestPass();
  }
  void TearDown() override {
    CheckOnlyMode = false;
    LanguageStoreTest::TearDown();
  }
  int32_t Index(const std::string& name) { return FindVariable(name); }
  std::vector<int32_t> TermIds() {
    std::vector<int32_t> ids;
    for (const TIntegralTermRecord* t = CurrentEquation->IntegralTerms; t != nullptr; t = t->Next)
      ids.push_back(t->TermId);
    return ids;
  }
};

TEST_F(IntegralFormsTest, StepGivenIsTheFifthArgumentAndTheVariableLeavesTheUnknowns) {
  ASSERT_EQ(Compile("y = INTEGRAL(2*t, t, 0, 1, 0.1)"), 0);
  // Sub-code, integrand, index of t, term id, lower, upper, step.
  EXPECT_EQ(Listing(), "y 1 2 t * , 2 , 88881 , 0 , 1 , 0.1 , #251 =");
  const TIntegralTermRecord* term = CurrentEquation->IntegralTerms;
  ASSERT_NE(term, nullptr);
  EXPECT_EQ(term->TermId, 88881);
  EXPECT_EQ(term->IntegrationVariable, Index("t"));
  EXPECT_EQ(term->TableBased, 0);
  EXPECT_EQ(term->AutoStep, 0);
  EXPECT_EQ(term->Slot, 1);
  EXPECT_EQ(term->OrdinalInSlot, 1);
  const TIntegralRecord& slot = MainProgramUnit->IntegralSlots[1];
  EXPECT_EQ(MainProgramUnit->IntegralCount, 1);
  EXPECT_EQ(slot.IntegrationVariable, Index("t"));
  EXPECT_EQ(slot.AutoStep, 0);
  EXPECT_EQ(slot.RelativeStep, -999);
  EXPECT_EQ(slot.InModule, 0);
  EXPECT_EQ(Var(Index("t"))->UnknownPosition, kIntegrationVariable);
  EXPECT_EQ(MainProgramUnit->UnknownCount, 1);
  EXPECT_EQ(MainProgramUnit->UnknownList[1], Index("y"));
  // Never taken over by a later compile.
  ASSERT_TRUE(CurrentEquation->Text.has_value());
  EXPECT_EQ(CurrentEquation->Text->front(), '~');
}

TEST_F(IntegralFormsTest, FourArgumentsAppendTheStepPlaceholder) {
  IntegrationSettings.StepFraction = -4E-3L;
  IntegrationSettings.MinStepsReciprocal = 0.02L;
  ASSERT_EQ(Compile("y = INTEGRAL(t, t, a, b)"), 0);
  EXPECT_EQ(Listing(), "y 1 t , 2 , 88881 , a , b , 999 , #251 =");
  EXPECT_EQ(CurrentEquation->IntegralTerms->AutoStep, 1);
  EXPECT_EQ(MainProgramUnit->IntegralSlots[1].AutoStep, 1);
  EXPECT_EQ(MainProgramUnit->IntegralSlots[1].RelativeStep, 0.01L);

  // A fixed number of steps: the slot's relative step is 1/N and the term
  // runs no step control of its own.
  IntegrationSettings.StepFraction = 0.05L;
  ASSERT_EQ(Compile("z = INTEGRAL(s, s, 0, 2)"), 0);
  const TIntegralTermRecord* term = CurrentEquation->IntegralTerms;
  EXPECT_EQ(term->AutoStep, 0);
  EXPECT_EQ(term->Slot, 2);
  EXPECT_EQ(MainProgramUnit->IntegralSlots[2].AutoStep, 1);
  EXPECT_EQ(MainProgramUnit->IntegralSlots[2].RelativeStep, 0.05L);
}

TEST_F(IntegralFormsTest, TermsOfOneEquationAreNumberedAndShareTheSlotOfTheirVariable) {
  ASSERT_EQ(Compile("y = INTEGRAL(t, t, 0, 1, 0.5) + INTEGRAL(u, u, 0, 1, 0.5) + INTEGRAL(t^2, t, 0, 1, 0.5)"), 0);
  EXPECT_EQ(TermIds(), (std::vector<int32_t>{88881, 88882, 88883}));
  const TIntegralTermRecord* third = CurrentEquation->IntegralTerms->Next->Next;
  // The third term's variable took slot 1 first: it belongs there, not to
  // the last slot in use.
  EXPECT_EQ(MainProgramUnit->IntegralCount, 2);
  EXPECT_EQ(third->Slot, 1);
  EXPECT_EQ(third->OrdinalInSlot, 2);
  EXPECT_EQ(MainProgramUnit->IntegralSlots[1].TermCount, 2);
  EXPECT_EQ(MainProgramUnit->IntegralSlots[2].TermCount, 1);
}

TEST_F(IntegralFormsTest, OverTheParametricTableTheCallKeepsTwoArguments) {
  CheckOnlyMode = true;  // no table window: the check compiles it all the same
  ASSERT_EQ(Compile("y = INTEGRAL(2*t, t)"), 0);
  EXPECT_EQ(Listing(), "y 1 2 t * , 2 , 88881 , #251 =");
  const TIntegralTermRecord* term = CurrentEquation->IntegralTerms;
  EXPECT_EQ(term->TableBased, 1);
  EXPECT_EQ(term->Slot, 0);
  EXPECT_EQ(MainProgramUnit->IntegralCount, 0);
  // t stays an unknown: the table gives its values.
  EXPECT_GT(Var(Index("t"))->UnknownPosition, 0);
}

TEST_F(IntegralFormsTest, IntegralValueNamesItsVariableByIndex) {
  ASSERT_EQ(Compile("y = INTEGRALVALUE(2.5, 'X')"), 0);
  EXPECT_EQ(Listing(), "y 3 2.5 , " + std::to_string(Index("X")) + " , #249 =");
}

TEST_F(IntegralFormsTest, ErrorsOfTheCallForms) {
  struct Case {
    const char* statement;
    int32_t error;
    const char* argument;
  };
  const Case cases[] = {
      {"y = INTEGRAL(t, t, 0)", kMsgIntegralArgumentCount, nullptr},
      {"y = INTEGRAL(t)", kMsgIntegralArgumentCount, nullptr},
      {"y = INTEGRAL(t, 3, 0, 1)", kMsgIntegralVariableName, nullptr},
      {"y = INTEGRAL(t, a+b, 0, 1)", kMsgIntegralVariableName, nullptr},
      {"y = INTEGRAL(t, t)", kMsgTableIntegralVariable, "t"},
      {"y = INTEGRALVALUE(2)", kMsgBuiltinArgumentCount, nullptr},
  };
  for (const Case& c : cases) {
    BeginTestPass();
    EXPECT_EQ(Compile(c.statement), c.error) << c.statement;
    if (c.argument != nullptr) {
      EXPECT_EQ(MessageArgs[1], c.argument) << c.statement;
    }
  }
}

TEST_F(IntegralFormsTest, AVariableSetToAConstantCannotBeIntegratedOver) {
  ASSERT_EQ(Compile("t = 3"), 0);
  EXPECT_EQ(Compile("y = INTEGRAL(t, t, 0, 1)"), kMsgIntegrationVariableAssigned);
  EXPECT_EQ(MessageArgs[1], "t");
}

TEST_F(IntegralFormsTest, ASeventhIntegrationVariableIsRefused) {
  ASSERT_EQ(Compile("y = INTEGRAL(1, a, 0, 1) + INTEGRAL(1, b, 0, 1) + INTEGRAL(1, c, 0, 1)"), 0);
  ASSERT_EQ(Compile("z = INTEGRAL(1, d, 0, 1) + INTEGRAL(1, e, 0, 1) + INTEGRAL(1, f, 0, 1)"), 0);
  EXPECT_EQ(MainProgramUnit->IntegralCount, 6);
  EXPECT_EQ(Compile("w = INTEGRAL(1, g, 0, 1)"), kMsgIntegrationVariableLimit);
  EXPECT_EQ(MessageArgs[1], "6");
}

}  // namespace
}  // namespace voq::testing

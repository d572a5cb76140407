#include "solver/guesses_limits.h"

#include <gtest/gtest.h>

#include <string>

#include "core/messages.h"
#include "core/number_format.h"
#include "language/store_fixture.h"

namespace voq {
namespace {

class GuessesLimitsTest : public testing::LanguageStoreTest {
 protected:
  int32_t Unknown(const std::string& name, Extended guess, Extended lower, Extended upper) {
    AddVariable(name);
    int32_t i = CurrentProgramUnit->VariableCount;
    RegisterVariableUse(i, name);
    TVariableRecord* v = Var(i);
    v->Guess = guess;
    v->LowerLimit = lower;
    v->UpperLimit = upper;
    v->Style = kStyleAutomatic;
    v->Digits = 4;
    return i;
  }
};

TEST_F(GuessesLimitsTest, GuessOutsideItsLimitsGives52WithTheFormattedValues) {
  int32_t x = Unknown("x", 5, 0, 4);
  MainProgramUnit->LastEquation = reinterpret_cast<TEquationRecord*>(MainProgramUnit);
  CheckAllGuessLimits();
  EXPECT_EQ(CalcErrorCode, 52);
  EXPECT_EQ(MessageHelpContext, 35);
  EXPECT_EQ(MessageArgs[1], "x");
  EXPECT_EQ(MessageArgs[2], "5");
  EXPECT_EQ(MessageArgs[3], "0");
  EXPECT_EQ(MessageArgs[4], "4");
  EXPECT_EQ(GetMessageText(52),
            "The guess value for x (5) is not within the specified lower (0) and upper (4) "
            "limits.  Use the Variable Info command (Options menu) to change the guess and/or limits.");
  EXPECT_EQ(MainProgramUnit->LastEquation, nullptr);
  EXPECT_EQ(Var(x)->Value, 5.0L);  // the value keeps the guess
}

TEST_F(GuessesLimitsTest, LimitTestIsStrict) {
  struct Case {
    Extended guess, lower, upper;
    int32_t error;
  };
  for (Case c : {Case{4, 0, 4, 0}, Case{0, 0, 4, 0}, Case{2, 2, 2, 0}, Case{-1e-30L, 0, 4, 52},
                 Case{2, 3, 1, 52}}) {
    CalcErrorCode = 0;
    int32_t v = Unknown("v", c.guess, c.lower, c.upper);
    CheckGuessLimits(v);
    EXPECT_EQ(CalcErrorCode, c.error) << static_cast<double>(c.guess);
    EXPECT_EQ(Var(v)->Value, c.guess);
    Var(v)->UnknownPosition = 0;
  }
}

// The first offender stops the check; units are visited in list order and
// the current unit is restored.
TEST_F(GuessesLimitsTest, CheckStopsAtTheFirstOffender) {
  int32_t a = Unknown("a", 1, 0, 2);
  int32_t b = Unknown("b", 9, 0, 2);
  int32_t c = Unknown("c", 9, 0, 2);
  Var(c)->Value = 0;
  CurrentProgramUnit = nullptr;
  CheckAllGuessLimits();
  EXPECT_EQ(CurrentProgramUnit, nullptr);
  CurrentProgramUnit = MainProgramUnit;
  EXPECT_EQ(CalcErrorCode, 52);
  EXPECT_EQ(MessageArgs[1], "b");
  EXPECT_EQ(Var(a)->Value, 1.0L);
  EXPECT_EQ(Var(b)->Value, 9.0L);
  EXPECT_EQ(Var(c)->Value, 0.0L);  // never reached
}

// x's lower limit comes from w, whose value 7 is first clamped into w's own
// limits [0, 5]; w keeps the clamped 5; the guess variable g gives the guess.
TEST_F(GuessesLimitsTest, LimitAndGuessVariablesAreResolvedAfterTheirOwnClamp) {
  int32_t w = Unknown("w", 1, 0, 5);
  int32_t g = Unknown("g", 1, -10, 10);
  int32_t x = Unknown("x", 0, -100, 100);
  Var(w)->Value = 7;
  Var(g)->Value = 6;
  Var(x)->LowerVariable = static_cast<int16_t>(w);
  Var(x)->GuessVariable = static_cast<int16_t>(g);
  CheckGuessLimits(x);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(Var(w)->Value, 5.0L);
  EXPECT_EQ(Var(x)->LowerLimit, 5.0L);
  EXPECT_EQ(Var(x)->Guess, 6.0L);
  EXPECT_EQ(Var(x)->Value, 6.0L);
}

TEST_F(GuessesLimitsTest, ClampToOwnLimitsLetsTheUpperLimitWin) {
  int32_t v = Unknown("v", 1, 4, 2);
  Var(v)->Value = 0;
  ClampToOwnLimits(v);
  EXPECT_EQ(Var(v)->Value, 2.0L);
  Var(v)->Value = 3;
  ClampToOwnLimits(v);
  EXPECT_EQ(Var(v)->Value, 2.0L);
}

TEST_F(GuessesLimitsTest, ClampToLimitsMovesInsideBy1em100) {
  struct Case {
    Extended lower, upper, x, expected;
    bool clamped;
  };
  // In 10-byte arithmetic 4 - 1e-100 rounds to 4; 0 + 1e-100 is 1e-100;
  // crossed limits move a low value just above the lower limit.
  for (Case c : {Case{0, 4, 5, 4, true}, Case{0, 4, -3, 1e-100L, true}, Case{0, 4, 2, 2, false},
                 Case{0, 4, 4, 4, false}, Case{4, 2, 1, 4, true}}) {
    int32_t v = Unknown("v", 1, c.lower, c.upper);
    Extended x = c.x;
    bool clamped = false;
    ClampToLimits(v, x, clamped);
    EXPECT_EQ(x, c.expected) << static_cast<double>(c.x);
    EXPECT_EQ(clamped, c.clamped);
    Var(v)->UnknownPosition = 0;
  }
}

TEST_F(GuessesLimitsTest, ClampToLimitsTakesLimitVariablesWithoutClampingThem) {
  int32_t lo = Unknown("lo", 1, 0, 1);
  int32_t x = Unknown("x", 1, -100, 100);
  Var(lo)->Value = 3;  // outside lo's own limits, used as it is
  Var(x)->LowerVariable = static_cast<int16_t>(lo);
  Extended value = 2;
  bool clamped = false;
  ClampToLimits(x, value, clamped);
  EXPECT_TRUE(clamped);
  EXPECT_EQ(value, 3.0L);
  EXPECT_EQ(Var(lo)->Value, 3.0L);
}

TEST_F(GuessesLimitsTest, StringVariablesAreNeitherCheckedNorClamped) {
  int32_t s = Unknown("s$", 1, 0, 0);
  Var(s)->Guess = 9;
  Var(s)->Value = 2;
  CheckGuessLimits(s);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(Var(s)->Value, 2.0L);
  Extended x = 9;
  bool clamped = true;
  ClampToLimits(s, x, clamped);
  EXPECT_EQ(x, 9.0L);
  EXPECT_FALSE(clamped);
}

TEST_F(GuessesLimitsTest, ModuleVariableNamesForMessages) {
  for (const char* name : {"PUMP", "COOLER", "TURBINE"}) {
    TProgramUnitRecord* unit = CreateProgramUnit();
    unit->Name = name;
  }
  EXPECT_EQ(ModuleVarNameForMessage("@3\\PUMP.W"), "W in module TURBINE");
  EXPECT_EQ(ModuleVarNameForMessage("@1\\T"), "T in module PUMP");
  EXPECT_EQ(ModuleVarNameForMessage("plain"), "plain");
  // Without a unit separator only the "@" goes.
  EXPECT_EQ(ModuleVarNameForMessage("@W"), "W");
  // The name part with " in module " is cut to 41 characters, the whole to 71.
  const std::string longName = "@2\\" + std::string(40, 'A');
  EXPECT_EQ(ModuleVarNameForMessage(longName), std::string(40, 'A') + " " + "COOLER");
  ProgramUnitList[2]->Name = std::string(70, 'B');
  EXPECT_EQ(ModuleVarNameForMessage("@2\\X").size(), 71u);
}

}  // namespace
}  // namespace voq

// IF, block IF, REPEAT/UNTIL and labels of routine bodies: the statements the
// rewriting generates, the condition text and code opcode 199 reads, the
// branch pairs of IF statements and the errors.
#include "language/conditionals.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "language/store_fixture.h"
#include "model/program_units.h"
#include "model/store_state.h"

namespace voq {
namespace {

// The opcode byte as a readable character, blanks left out: the compiler
// drops the blanks, so only the rest matters.
std::string Shown(const std::string& text) {
  std::string shown;
  for (char c : text) {
    if (c == static_cast<char>(199)) {
      shown += '@';
    } else if (c != ' ') {
      shown += c;
    }
  }
  return shown;
}

class ConditionalsTest : public testing::LanguageStoreTest {
 protected:
  void SetUp() override {
    LanguageStoreTest::SetUp();
    testing::FreshStore();
    testing::BeginTestPass();
  }
  void TearDown() override {
    SetGeneratedStatementRecorder(nullptr);
    CompilingFunctionIndex = 0;
    LanguageStoreTest::TearDown();
  }

  // The lines of a body as the reader hands them on: each goes to the block
  // IF rewriting, and what it leaves is a statement of its own. Nothing is
  // compiled; the result is every statement in order.
  std::vector<std::string> Rewrite(const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    SetGeneratedStatementRecorder(&out, false);
    for (const std::string& line : lines) {
      std::string statement = line;
      bool handled = false;
      RewriteIfThenElse(statement, handled);
      if (CalcErrorCode != 0) break;
      if (!handled) out.push_back(statement);
    }
    SetGeneratedStatementRecorder(nullptr);
    return out;
  }

  // An IF or plain statement of a body, compiled in the main program so that
  // only this part's compile is in play.
  int32_t CompileIf(const std::string& statement) {
    std::string text = statement;
    CompileIfStatement(text, kMaxStatementLength, TStatementPosition{});
    return CalcErrorCode;
  }
  std::string ListingOf(const TEquationRecord* e) { return ListEquationCode(*e, CurrentProgramUnit); }
};

// --- Conditions -------------------------------------------------------------------------

struct TConditionCase {
  const char* Condition;
  bool Negated;
  const char* Expected;  // blanks left out, byte 199 shown as "@"
};

class RewriteConditionTest : public ConditionalsTest, public ::testing::WithParamInterface<TConditionCase> {};

TEST_P(RewriteConditionTest, GivesTheOperatorForm) {
  const TConditionCase& c = GetParam();
  EXPECT_EQ(Shown(RewriteCondition(c.Condition, c.Negated)), c.Expected);
  EXPECT_EQ(CalcErrorCode, 0);
}

// Codes: 1 <, 2 >, 3 <=, 4 >=, 5 =, 6 <>, 7 AND, 8 OR; the negated form
// takes the opposite comparison and swaps AND and OR.
INSTANTIATE_TEST_SUITE_P(
    Cases, RewriteConditionTest,
    ::testing::Values(TConditionCase{" x > 0 ", false, "@(2,x,0)=0"}, TConditionCase{" x > 0 ", true, "@(3,x,0)=0"},
                      TConditionCase{"a<b", false, "@(1,a,b)=0"}, TConditionCase{"a<b", true, "@(4,a,b)=0"},
                      TConditionCase{"a >= b", false, "@(4,a,b)=0"}, TConditionCase{"a >= b", true, "@(1,a,b)=0"},
                      TConditionCase{"a <= b", false, "@(3,a,b)=0"}, TConditionCase{"a <= b", true, "@(2,a,b)=0"},
                      TConditionCase{"a =< b", false, "@(3,a,b)=0"}, TConditionCase{"a => b", false, "@(4,a,b)=0"},
                      TConditionCase{"a = b", false, "@(5,a,b)=0"}, TConditionCase{"a = b", true, "@(6,a,b)=0"},
                      TConditionCase{"a <> b", false, "@(6,a,b)=0"}, TConditionCase{"a <> b", true, "@(5,a,b)=0"},
                      // Without a comparison the value is tested for 1.
                      TConditionCase{" flag ", false, "@(5,flag,1)=0"},
                      TConditionCase{"(a<b) AND (c<>d)", false, "(@(7,@(1,a,b),@(6,c,d)))=0"},
                      TConditionCase{"(a<b) AND (c<>d)", true, "(@(8,@(4,a,b),@(5,c,d)))=0"},
                      TConditionCase{"(a<b) or (c>=d)", false, "(@(8,@(1,a,b),@(4,c,d)))=0"},
                      TConditionCase{"(a+1 < f(b)*2)", false, "(@(1,a+1,f(b)*2))=0"},
                      TConditionCase{"m[1,2] <> max(a,b)", false, "@(6,m[1,2],max(a,b))=0"},
                      // A logical operand (0 or 1) need not be a comparison.
                      TConditionCase{"(a<b) AND done", false, "(@(7,@(1,a,b),done))=0"}));

// A comparison outside every parenthesis, and comparisons combined by AND or
// OR without their own parentheses, which would hand opcode 199 the wrong
// operands.
TEST_F(ConditionalsTest, MisplacedComparisonsAreError89) {
  for (const char* condition : {"a) < (b", "a < b AND c < d", "flag AND other"}) {
    CalcErrorCode = 0;
    MessageHelpContext = 0;
    EXPECT_EQ(RewriteCondition(condition, false), "") << condition;
    EXPECT_EQ(CalcErrorCode, kMsgIfOperator) << condition;
    EXPECT_EQ(MessageHelpContext, 176);
  }
}

TEST_F(ConditionalsTest, ConditionUsesTheArgumentSeparator) {
  SetDecimalSeparator(',');
  EXPECT_EQ(Shown(RewriteCondition("x > 0,5", false)), "@(2;x;0,5)=0");
  SetDecimalSeparator('.');
}

// --- IF statements ------------------------------------------------------------------------

TEST_F(ConditionalsTest, IfStatementCompilesConditionThenAndElse) {
  ASSERT_EQ(CompileIf("IF x > 0 THEN y = x + 1 ELSE y = x - 1"), 0);
  TEquationRecord* condition = LastIfCondition;
  ASSERT_NE(condition, nullptr);
  // The comparison code, both operands, then opcode 199; the statement's
  // value is the comparison itself (1 or 0).
  EXPECT_EQ(ListingOf(condition), "2 x , 0 , #199 0 =");
  const TBranchPair* pair = condition->BranchPair;
  ASSERT_NE(pair, nullptr);
  EXPECT_EQ(pair, PendingIfNode);
  EXPECT_TRUE(PendingIfHasElse);
  ASSERT_NE(pair->Then, nullptr);
  ASSERT_NE(pair->Else, nullptr);
  EXPECT_EQ(ListingOf(pair->Then), "y x 1 + =");
  EXPECT_EQ(ListingOf(pair->Else), "y x 1 - =");
  EXPECT_EQ(condition->Next, pair->Then);
  EXPECT_EQ(pair->Then->Next, nullptr);

  // The statement after the IF follows both branches: the THEN statement by
  // its link, the ELSE statement by reading order.
  ASSERT_EQ(CompileIf("z = 2*x"), 0);
  TEquationRecord* after = CurrentEquation;
  EXPECT_EQ(pair->Then->Next, after);
  EXPECT_EQ(pair->Else->Next, after);
  EXPECT_EQ(pair->Else, condition->BranchPair->Else);
  EXPECT_EQ(PendingIfNode, nullptr);
  // Off the main program's chain only the branch pair holds the ELSE
  // statement (a routine's disposal follows the pair): freed here.
  TEquationRecord* otherwise = pair->Else;
  DisposeEquationRecord(otherwise);
}

TEST_F(ConditionalsTest, IfWithoutElseContinuesWithTheNextStatement) {
  ASSERT_EQ(CompileIf("IFNOT (a >= b) THEN y = a"), 0);
  TEquationRecord* condition = LastIfCondition;
  EXPECT_EQ(ListingOf(condition), "1 a , b , #199 0 =");
  EXPECT_FALSE(PendingIfHasElse);
  // A second IF is the statement after the first.
  ASSERT_EQ(CompileIf("IF (a<b) AND (c<>d) THEN y = b"), 0);
  TEquationRecord* second = LastIfCondition;
  EXPECT_EQ(ListingOf(second), "7 1 a , b , #199 , 6 c , d , #199 , #199 0 =");
  EXPECT_EQ(condition->BranchPair->Else, second);
  EXPECT_EQ(condition->BranchPair->Then->Next, second);
  ASSERT_EQ(CompileIf("w = 1 + y"), 0);
  EXPECT_EQ(second->BranchPair->Else, CurrentEquation);
}

TEST_F(ConditionalsTest, RecompiledConditionGetsANewPair) {
  for (int read = 0; read < 2; ++read) {
    testing::BeginTestPass();
    ASSERT_EQ(CompileIf("IF x < 1 THEN y = x"), 0);
    ASSERT_EQ(CompileIf("z = y"), 0);
    const TBranchPair* pair = LastIfCondition->BranchPair;
    ASSERT_NE(pair, nullptr);
    EXPECT_EQ(pair->Else, CurrentEquation);
    testing::EndTestPass();
  }
}

struct TIfErrorCase {
  const char* Statement;
  int32_t Error;
};

class IfErrorTest : public ConditionalsTest, public ::testing::WithParamInterface<TIfErrorCase> {};

TEST_P(IfErrorTest, Refused) { EXPECT_EQ(CompileIf(GetParam().Statement), GetParam().Error); }

INSTANTIATE_TEST_SUITE_P(Cases, IfErrorTest,
                         ::testing::Values(TIfErrorCase{"IF x > 0 y = 1", kMsgMissingThen},
                                           TIfErrorCase{"IF x > 0THEN y = 1", kMsgMissingThen},
                                           TIfErrorCase{"IF x > 0 THENy = 1", kMsgMissingThen},
                                           TIfErrorCase{"IF x > 0 THEN", kMsgIfThenElseSyntax},
                                           TIfErrorCase{"IF x > 0 THEN y = 1 ELSE ", kMsgIfThenElseSyntax},
                                           TIfErrorCase{"IF a) > (0 THEN y = 1", kMsgIfOperator}));

// Comparisons joined by AND must each stand in parentheses.
TEST_F(ConditionalsTest, UnparenthesisedAndDoesNotCompile) {
  EXPECT_EQ(CompileIf("IF a < b AND c < d THEN y = 1"), kMsgIfOperator);
  EXPECT_EQ(LastIfCondition, nullptr);
}

// --- The block IF -----------------------------------------------------------------------------

TEST_F(ConditionalsTest, BlockIfBecomesGotosAndLabels) {
  EXPECT_EQ(Rewrite({"IF x > 0 THEN", "y := 1", "ELSE", "y := 2", "ENDIF"}),
            (std::vector<std::string>{"IFNOT x > 0 THEN GOTO 30003", "y := 1", "GOTO 30004", "30003:", "y := 2",
                                      "30004:"}));
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(IfBlockStack, nullptr);
  EXPECT_EQ(IfBlockCounter, 1);
  EXPECT_FALSE(InternalLabels);
  // The next block of the routine takes the next pair of labels.
  EXPECT_EQ(Rewrite({"if (a<b) then", "c := 1", "endif"}),
            (std::vector<std::string>{"ifNOT (a<b) then GOTO 30005", "c := 1", "30005:"}));
}

TEST_F(ConditionalsTest, OneLineIfClosesItsBlock) {
  EXPECT_EQ(Rewrite({"IF x > 0 THEN y := 1"}),
            (std::vector<std::string>{"IFNOT x > 0 THEN GOTO 30003", "y := 1", "30003:"}));
  EXPECT_EQ(Rewrite({"IF x > 0 THEN y := 1 ELSE y := 2"}),
            (std::vector<std::string>{"IFNOT x > 0 THEN GOTO 30005", "y := 1", "GOTO 30006", "30005:", "y := 2",
                                      "30006:"}));
  EXPECT_EQ(IfBlockStack, nullptr);
}

TEST_F(ConditionalsTest, NestedBlocks) {
  EXPECT_EQ(Rewrite({"IF a > 0 THEN", "IF b > 0 THEN", "c := 1", "ENDIF", "ELSE c := 2"}),
            (std::vector<std::string>{"IFNOT a > 0 THEN GOTO 30003", "IFNOT b > 0 THEN GOTO 30005", "c := 1",
                                      "30005:", "GOTO 30004", "30003:", "c := 2", "30004:"}));
  EXPECT_EQ(IfBlockStack, nullptr);
}

// ELSE counts as a word of its own outside quoted texts only.
TEST_F(ConditionalsTest, ElseOnlyAsAWord) {
  EXPECT_EQ(Rewrite({"IF x > 0 THEN", "s$ := 'or ELSE not'", "elsewhere := 1", "ENDIF"}),
            (std::vector<std::string>{"IFNOT x > 0 THEN GOTO 30003", "s$ := 'or ELSE not'", "elsewhere := 1",
                                      "30003:"}));
}

TEST_F(ConditionalsTest, EndIfOnlyAsAWord) {
  EXPECT_EQ(Rewrite({"IF x > 0 THEN", "ENDIFS := 1", "ENDIF y := 2"}),
            (std::vector<std::string>{"IFNOT x > 0 THEN GOTO 30003", "ENDIFS := 1", "30003:", "y := 2"}));
}

TEST_F(ConditionalsTest, StatementsOutsideBlocksPassThrough) {
  std::string statement = "  y := x + 1 ";
  bool handled = true;
  RewriteIfThenElse(statement, handled);
  EXPECT_FALSE(handled);
  EXPECT_EQ(statement, "y := x + 1");
  EXPECT_EQ(IfBlockCounter, 0);
}

struct TBlockErrorCase {
  std::vector<std::string> Lines;
  int32_t Error;
};

class BlockIfErrorTest : public ConditionalsTest, public ::testing::WithParamInterface<TBlockErrorCase> {};

TEST_P(BlockIfErrorTest, Refused) {
  Rewrite(GetParam().Lines);
  EXPECT_EQ(CalcErrorCode, GetParam().Error);
  EXPECT_FALSE(InternalLabels);
}

INSTANTIATE_TEST_SUITE_P(Cases, BlockIfErrorTest,
                         ::testing::Values(TBlockErrorCase{{"IF (x > 0 THEN"}, kMsgUnmatchedParentheses},
                                           TBlockErrorCase{{"IF x > 0 y := 1"}, kMsgMissingThen},
                                           TBlockErrorCase{{"IF x > 0THEN"}, kMsgMissingThen},
                                           TBlockErrorCase{{"ENDIF"}, kMsgIfNesting},
                                           TBlockErrorCase{{"IF x > 0 THEN y := 1", "ENDIF"}, kMsgIfNesting}));

// --- REPEAT / UNTIL and labels -----------------------------------------------------------------

TEST_F(ConditionalsTest, RepeatUntilBecomesLabelAndConditionalGoto) {
  std::vector<std::string> recorder;
  SetGeneratedStatementRecorder(&recorder, false);  // the labels are not compiled here
  std::string repeat = "REPEAT";
  CompileRepeatUntil(repeat);
  EXPECT_EQ(repeat, "32001:");
  EXPECT_TRUE(InternalLabels);  // until the label is compiled
  CompileLabelPrefix(repeat, kMaxStatementLength, TStatementPosition{});
  EXPECT_EQ(repeat, "");
  EXPECT_FALSE(InternalLabels);

  // A statement on the REPEAT line is the first of the loop.
  std::string inner = "repeat x := x + 1";
  CompileRepeatUntil(inner);
  EXPECT_EQ(inner, "32002: x := x + 1");
  EXPECT_EQ(RepeatStack, (std::vector<int32_t>{1, 2}));

  std::string until = "UNTIL x > 10";
  CompileRepeatUntil(until);
  EXPECT_EQ(until, "IFNOT x > 10 THEN GOTO 32002");
  std::string outer = "Until(x>=20)";
  CompileRepeatUntil(outer);
  EXPECT_EQ(outer, "IFNOT (x>=20) THEN GOTO 32001");
  EXPECT_TRUE(RepeatStack.empty());
  EXPECT_EQ(RepeatCounter, 2);
}

TEST_F(ConditionalsTest, UntilWithoutRepeatIsError80) {
  std::string until = "UNTIL x > 10";
  CompileRepeatUntil(until);
  EXPECT_EQ(CalcErrorCode, kMsgUnbalancedRepeat);
  EXPECT_EQ(MessageHelpContext, 177);
}

TEST_F(ConditionalsTest, RepeatAndUntilOnlyAsWords) {
  for (const char* text : {"REPEATS := 2", "repeat_count := 1", "UNTILX := 3", "untilled := 4"}) {
    std::string statement = text;
    CompileRepeatUntil(statement);
    EXPECT_EQ(statement, text);
    EXPECT_EQ(CalcErrorCode, 0);
  }
  EXPECT_EQ(RepeatCounter, 0);
}

TEST_F(ConditionalsTest, LabelPrefixSplitsDigitsBeforeTheColon) {
  std::vector<std::string> recorder;
  SetGeneratedStatementRecorder(&recorder, false);  // the labels are not compiled here
  const struct {
    const char* Text;
    const char* Rest;
  } cases[] = {{"10: x := 1", "x := 1"}, {"12 :", ""}, {"x := 1", "x := 1"}, {"a1: b := 2", "a1: b := 2"},
               {": y := 1", ": y := 1"}};
  for (const auto& c : cases) {
    std::string statement = c.Text;
    CompileLabelPrefix(statement, kMaxStatementLength, TStatementPosition{});
    EXPECT_EQ(statement, c.Rest) << c.Text;
  }
}

// --- End of a routine ---------------------------------------------------------------------------

TEST_F(ConditionalsTest, OpenBlockOrRepeatAtEnd) {
  Rewrite({"IF x > 0 THEN"});
  EXPECT_TRUE(CloseRoutineConditionals());
  EXPECT_EQ(CalcErrorCode, kMsgMissingEndIf);
  EXPECT_EQ(IfBlockStack, nullptr);

  CalcErrorCode = 0;
  std::string repeat = "REPEAT";
  CompileRepeatUntil(repeat);
  EXPECT_TRUE(CloseRoutineConditionals());
  EXPECT_EQ(CalcErrorCode, kMsgUnbalancedRepeat);

  CalcErrorCode = 0;
  ASSERT_EQ(CompileIf("IF x > 0 THEN y = 1 + x"), 0);
  EXPECT_NE(PendingIfNode, nullptr);
  EXPECT_FALSE(CloseRoutineConditionals());
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(PendingIfNode, nullptr);
}

TEST_F(ConditionalsTest, HeaderStartsTheCountsAgain) {
  Rewrite({"IF x > 0 THEN y := 1"});
  std::string repeat = "REPEAT";
  CompileRepeatUntil(repeat);
  ResetRoutineConditionals();
  EXPECT_EQ(IfBlockCounter, 0);
  EXPECT_EQ(RepeatCounter, 0);
  EXPECT_TRUE(RepeatStack.empty());
  EXPECT_EQ(Rewrite({"IF x > 0 THEN y := 1"})[0], "IFNOT x > 0 THEN GOTO 30003");
}

}  // namespace
}  // namespace voq

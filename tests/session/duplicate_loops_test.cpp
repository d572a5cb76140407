// DUPLICATE loops read through the compile driver: the copies, their code and
// values, what marks and describes them, and the errors with the statement
// they select.
#include "language/duplicate_loops.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/program_flags.h"
#include "language/code_listing.h"
#include "language/comments.h"
#include "language/reader_state.h"
#include "language/store_fixture.h"
#include "model/document_settings.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "session/compile_driver.h"

namespace voq {
namespace {

class DuplicateLoopTest : public testing::LanguageStoreTest {
 protected:
  void SetUp() override {
    LanguageStoreTest::SetUp();
    SetEquationsEditor(&editor);
    CommentRecordList.clear();
    KeptCommentRecordList.clear();
    PendingStatements.clear();
    EquationsCompiled = false;
    CheckOnlyMode = true;  // compile only: the reader still solves what it can
    LoadingLibrary = false;
    AbortRequested = false;
  }
  void TearDown() override {
    SetEquationsEditor(nullptr);
    CheckOnlyMode = false;
    SetDecimalSeparator('.');
    LanguageStoreTest::TearDown();
  }

  void Compile(const std::string& text) {
    editor.SetText(text);
    EquationsCompiled = false;
    CompileEquations(false, false);
  }

  std::vector<TEquationRecord*> Equations() {
    std::vector<TEquationRecord*> list;
    for (TEquationRecord* e = MainProgramUnit->FirstEquation; e != nullptr; e = e->Next) list.push_back(e);
    return list;
  }
  std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    for (TEquationRecord* e : Equations()) texts.push_back(e->Text.value_or("?"));
    return texts;
  }
  std::string Listing(size_t k) { return ListEquationCode(*Equations().at(k), MainProgramUnit); }

  ScriptedPlatform platform;
  ScopedPlatform scoped{platform};
  InMemoryEquationsEditor editor;
};

TEST_F(DuplicateLoopTest, EachIndexValueMakesOneCopy) {
  const std::string text = "DUPLICATE i=1,3\r\n  x[i] = i^2\r\nEND";
  Compile(text);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_TRUE(EquationsCompiled);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"x[1]=1^2", "x[2]=2^2", "x[3]=3^2"}));
  EXPECT_EQ(Listing(0), "x[1] 1 2 ^ =");
  EXPECT_EQ(Listing(2), "x[3] 3 2 ^ =");
  // Each copy has one unknown and is solved as it is read.
  EXPECT_NEAR(double(VarNamed("x[2]")->Value), 4.0, 1e-12);
  EXPECT_NEAR(double(VarNamed("x[3]")->Value), 9.0, 1e-12);
  // Every copy selects the body line it came from.
  const size_t bodyStart = text.find("  x[i]");
  for (TEquationRecord* e : Equations()) {
    EXPECT_EQ(e->LineNumber, 2);
    EXPECT_EQ(e->TextStart, int32_t(bodyStart));
    EXPECT_EQ(e->DuplicateRepeat, 1);
  }
  // The statements after the loop are read on the right line again.
  Compile(text + "\r\ny = 1 + ");
  EXPECT_EQ(CalcErrorCode, kMsgSyntaxError);
  EXPECT_EQ(EquationLineNo, 4);
}

// The first copy carries the description: the line compiled as written and
// the loop's range; the later copies only the repeat mark.
TEST_F(DuplicateLoopTest, FirstCopyDescribesTheLoop) {
  for (int read = 0; read < 2; ++read) {  // the second read takes the copies over
    Compile("DUPLICATE i=1,3\r\n  x[i] = i*y\r\nEND");
    ASSERT_EQ(CalcErrorCode, 0);
    const auto eqs = Equations();
    ASSERT_EQ(eqs.size(), 3u);
    const TDuplicateDescription* d = eqs[0]->DuplicateDescription;
    ASSERT_NE(d, nullptr);
    ASSERT_NE(d->Equation, nullptr);
    EXPECT_EQ(d->Equation->Text.value_or(""), "x[i]=i*y");
    ASSERT_NE(d->Loops, nullptr);
    EXPECT_EQ(d->Loops->IndexName, "i");
    EXPECT_EQ(d->Loops->FirstText, "1");
    EXPECT_EQ(d->Loops->LastText, "3");
    EXPECT_EQ(d->Loops->Substituted, 1);
    EXPECT_EQ(d->Loops->Next, nullptr);
    EXPECT_EQ(eqs[1]->DuplicateDescription, nullptr);
    EXPECT_EQ(eqs[2]->DuplicateDescription, nullptr);
  }
  EXPECT_EQ(LastCompileCounts.Fresh, 0);
  // The trial compile adds no equation to solve.
  EXPECT_EQ(MainProgramUnit->EquationCount, 3);
}

TEST_F(DuplicateLoopTest, NestedLoopUsesTheOuterIndex) {
  Compile(
      "DUPLICATE i=1,3\r\n"
      "  DUPLICATE j=1,i\r\n"
      "    y[i,j] = 10*i + j\r\n"
      "  END\r\n"
      "  s[i] = i\r\n"
      "END");
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"y[1,1]=10*1+1", "s[1]=1", "y[2,1]=10*2+1", "y[2,2]=10*2+2",
                                                "s[2]=2", "y[3,1]=10*3+1", "y[3,2]=10*3+2", "y[3,3]=10*3+3",
                                                "s[3]=3"}));
  EXPECT_NEAR(double(VarNamed("y[3,2]")->Value), 32.0, 1e-12);
  // One description per body line: at the first values of all its loops.
  int described = 0;
  for (TEquationRecord* e : Equations()) described += e->DuplicateDescription != nullptr ? 1 : 0;
  EXPECT_EQ(described, 2);
  const TDuplicateDescription* d = Equations()[0]->DuplicateDescription;
  ASSERT_NE(d, nullptr);
  ASSERT_NE(d->Loops, nullptr);
  ASSERT_NE(d->Loops->Next, nullptr);
  EXPECT_EQ(d->Loops->Next->IndexName, "j");
  EXPECT_EQ(d->Loops->Next->LastText, "i");
}

TEST_F(DuplicateLoopTest, SixCopiesFromATriangle) {
  Compile("DUPLICATE i=1,3\r\n DUPLICATE j=1,i\r\n  z[i,j] = i - j\r\n END\r\nEND");
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(Equations().size(), 6u);
}

TEST_F(DuplicateLoopTest, ReversedRangeMakesNothing) {
  Compile("DUPLICATE i=3,1\r\n  x[i] = i\r\nEND\r\nq = 1");
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"q=1"}));
}

// The index is replaced as a whole word only, in any case.
TEST_F(DuplicateLoopTest, IndexReplacedAsWholeWordOnly) {
  Compile("xi = 2\r\nDUPLICATE i=1,2\r\n  z[I] = xi + i + ix\r\nEND\r\nix = 1");
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"xi=2", "z[1]=xi+1+ix", "z[2]=xi+2+ix", "ix=1"}));
}

// Bounds are integer expressions of numbers, set variables and the indexes
// of the enclosing loops.
TEST_F(DuplicateLoopTest, BoundsFromSetVariables) {
  Compile("n = 2\r\nDUPLICATE k=n-1,2*n\r\n  a[k] = k\r\nEND");
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(Equations().size(), 5u);  // n = 2 and k = 1..4
  EXPECT_NEAR(double(VarNamed("a[4]")->Value), 4.0, 1e-12);
}

// A negative index value goes in parenthesised: (-2)^2 is 4, where -2^2 would
// be -4. Hand calculation: i^2 for i = -2..2.
TEST_F(DuplicateLoopTest, NegativeIndexValues) {
  Compile("DUPLICATE i=-2,2\r\n  y[i+3] = i^2\r\nEND");
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(Texts()[0], "y[-2+3]=(-2)^2");
  EXPECT_EQ(Listing(0), "y[1] 2 neg 2 ^ =");
  const long double expected[] = {4, 1, 0, 1, 4};
  for (int k = 1; k <= 5; ++k) {
    EXPECT_NEAR(double(VarNamed("y[" + std::to_string(k) + "]")->Value), double(expected[k - 1]), 1e-12) << k;
  }
}

TEST_F(DuplicateLoopTest, EndOnlyAsAWord) {
  Compile("DUPLICATE i=1,2\r\n  ENDX[i] = i\r\nEND {closes}");
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"ENDX[1]=1", "ENDX[2]=2"}));
}

// The copies are solved while reading whether or not Ctrl is held, which
// keeps ordinary statements for the solve.
TEST_F(DuplicateLoopTest, CopiesSolvedOnReadDespiteCtrl) {
  platform.ctrlDown = true;
  Compile("b = 2\r\na = b + 1\r\nDUPLICATE i=1,2\r\n  x[i] = b*i\r\nEND");
  platform.ctrlDown = false;
  ASSERT_EQ(CalcErrorCode, 0);
  const auto eqs = Equations();
  ASSERT_EQ(eqs.size(), 4u);
  EXPECT_EQ(eqs[1]->SolvedAlone, 0);  // a = b + 1 is left to the solve
  EXPECT_EQ(eqs[2]->SolvedAlone, 1);
  EXPECT_EQ(eqs[3]->SolvedAlone, 1);
  EXPECT_NEAR(double(VarNamed("x[2]")->Value), 4.0, 1e-12);
}

// Esc stops a long expansion after the copy it was pressed at.
TEST_F(DuplicateLoopTest, EscStopsTheExpansion) {
  platform.keyQueue.push_back(true);
  platform.ticks = 1000;  // the last poll lies long enough back
  Compile("DUPLICATE i=1,1000\r\n  x[i] = i\r\nEND");
  EXPECT_EQ(CalcErrorCode, kMsgCancelled);
  EXPECT_EQ(Equations().size(), 1u);
  EXPECT_EQ(EquationLineNo, 2);
  EXPECT_FALSE(EquationsCompiled);
  EXPECT_FALSE(DuplicateLoopOpen());
}

// In complex mode every copy gets its imaginary-part partner, and both parts
// are marked as copies.
TEST_F(DuplicateLoopTest, ComplexCopiesComeInPairs) {
  Compile("$COMPLEX ON\r\nDUPLICATE k=1,2\r\n  z[k] = k + 2*i\r\nEND");
  ASSERT_EQ(CalcErrorCode, 0);
  const auto eqs = Equations();
  ASSERT_EQ(eqs.size(), 4u);
  for (TEquationRecord* e : eqs) EXPECT_EQ(e->DuplicateRepeat, 1);
  EXPECT_EQ(eqs[1]->EquationKind, 1);  // the imaginary part of the first copy
  EXPECT_EQ(eqs[2]->Text.value_or(""), "z[2]=2+2*i");
}

struct TDuplicateErrorCase {
  const char* Name;
  std::string Text;
  int32_t Error;
  int32_t Line;          // the line the error selects
  const char* Selected;  // the text selected from the start of that line
  const char* Argument;  // MessageArgs[1], or nullptr
};

class DuplicateErrorTest : public DuplicateLoopTest, public ::testing::WithParamInterface<TDuplicateErrorCase> {};

TEST_P(DuplicateErrorTest, ReportsAndSelects) {
  const TDuplicateErrorCase& c = GetParam();
  const std::string text = c.Text;
  Compile(text);
  EXPECT_EQ(CalcErrorCode, c.Error);
  EXPECT_EQ(EquationLineNo, c.Line);
  EXPECT_EQ(CalcErrorStart, int32_t(text.find(c.Selected))) << "selects " << text.substr(size_t(CalcErrorStart));
  if (c.Argument != nullptr) {
    EXPECT_EQ(MessageArgs[1], c.Argument);
  }
  EXPECT_FALSE(EquationsCompiled);
  ASSERT_EQ(platform.alerts.size(), 1u);
  // Nothing of the loops is left for the next read.
  EXPECT_FALSE(DuplicateLoopOpen());
}

const std::string kLong = " y[i] = " + std::string("i") + [] {
  std::string s;
  for (int k = 0; k < 119; ++k) s += "+i";
  return s;
}();

INSTANTIATE_TEST_SUITE_P(
    Cases, DuplicateErrorTest,
    ::testing::Values(
        TDuplicateErrorCase{"NoEqualSign", "DUPLICATE i 1,3\r\nx[i]=1\r\nEND", kMsgDuplicateSyntax, 1, "DUPLICATE", ","},
        TDuplicateErrorCase{"NoSeparator", "DUPLICATE i=1\r\nx[i]=1\r\nEND", kMsgDuplicateSyntax, 1, "DUPLICATE", ","},
        TDuplicateErrorCase{"IndexInUse", "DUPLICATE i=1,3\r\n DUPLICATE I=1,2\r\n x[i]=1\r\n END\r\nEND",
                            kMsgDuplicateIndexInUse, 2, " DUPLICATE I", "I"},
        TDuplicateErrorCase{"SumOverTheLoopIndex", "DUPLICATE i=1,2\r\n y[i] = SUM(2*x[i], i=1,3)\r\nEND",
                            kMsgDuplicateIndexInUse, 2, " y[i]", "i"},
        TDuplicateErrorCase{"ProductOverTheInnerIndex",
                            "DUPLICATE i=1,2\r\n DUPLICATE j=1,2\r\n y[i,j] = PRODUCT(x[j], j=1,2)\r\n END\r\nEND",
                            kMsgDuplicateIndexInUse, 3, " y[i,j]", "j"},
        TDuplicateErrorCase{"SecondNestedLoop",
                            "DUPLICATE i=1,3\r\n DUPLICATE j=1,2\r\n y[i,j]=1\r\n END\r\n"
                            " DUPLICATE k=1,2\r\n z[i,k]=1\r\n END\r\nEND",
                            kMsgNestedDuplicate, 5, " DUPLICATE k", nullptr},
        TDuplicateErrorCase{"BoundNotKnown", "DUPLICATE i=1,n\r\n x[i]=1\r\nEND", kMsgIndexLimit, 1, "DUPLICATE",
                            "DUPLICATE"},
        TDuplicateErrorCase{"InnerBoundNotKnown", "DUPLICATE i=1,2\r\n DUPLICATE j=1,m\r\n x[i,j]=1\r\n END\r\nEND",
                            kMsgIndexLimit, 2, " DUPLICATE j", "DUPLICATE"},
        TDuplicateErrorCase{"BodyLineFails", "DUPLICATE i=1,3\r\n y[i]=1\r\n z[i] = 2 +* y[i]\r\nEND",
                            kMsgSyntaxError, 3, " z[i]", nullptr},
        TDuplicateErrorCase{"CopyTooLong", "DUPLICATE i=9,10\r\n" + kLong + "\r\nEND",
                            kMsgStatementTooLong, 2, " y[i]", nullptr},
        TDuplicateErrorCase{"NotClosed", "DUPLICATE i=1,3\r\n y[i]=1", kMsgUnterminatedDuplicate, 2, " y[i]", nullptr}),
    [](const ::testing::TestParamInfo<TDuplicateErrorCase>& info) { return std::string(info.param.Name); });

// A series over an index of its own inside a loop: each copy sums its own
// terms; the message of a series over the loop's index names the function.
TEST_F(DuplicateLoopTest, SeriesInsideALoop) {
  Compile("DUPLICATE i=1,2\r\n y[i] = SUM(i*x[k], k=1,3)\r\nEND");
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(Equations().size(), 2u);
  Compile("DUPLICATE n=1,2\r\n y[n] = sum(x[n], n=1,3)\r\nEND");
  EXPECT_EQ(CalcErrorCode, kMsgDuplicateIndexInUse);
  EXPECT_EQ(MessageArgs[2], "n");
  EXPECT_EQ(MessageArgs[3], "sum function");
  ASSERT_FALSE(platform.alerts.empty());
  EXPECT_EQ(platform.alerts.back().helpContext, 102);
}

// A copy that grows past 252 characters only at a later index value is
// refused there; the shorter copies before it compiled.
TEST_F(DuplicateLoopTest, LengthLimitCountsTheSubstitutedText) {
  const std::string text = "DUPLICATE i=9,10\r\n" + kLong + "\r\nEND";
  ASSERT_LE(kLong.size(), 252u);  // the copy for 9
  Compile(text);
  EXPECT_EQ(CalcErrorCode, kMsgStatementTooLong);
  EXPECT_EQ(Equations().size(), 1u);
}

TEST_F(DuplicateLoopTest, SeparatorFollowsTheDecimalComma) {
  SetDecimalSeparator(',');
  Compile("DUPLICATE i=1;2\r\n  x[i] = i*1,5\r\nEND");
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_NEAR(double(VarNamed("x[2]")->Value), 3.0, 1e-12);
  Compile("DUPLICATE i=1,2\r\n  x[i] = i\r\nEND");
  EXPECT_EQ(CalcErrorCode, kMsgDuplicateSyntax);
  EXPECT_EQ(MessageArgs[1], ";");
}

// The advice against loops in routine bodies, unless the preference is off.
TEST_F(DuplicateLoopTest, AdviceInsideARoutineBody) {
  CompilingFunctionIndex = 1;
  for (uint8_t advice : {1, 0}) {
    platform.alerts.clear();
    Preferences.ShowAdvice = advice;
    std::string statement = "Duplicate k=1,2";
    EXPECT_TRUE(ProcessDuplicate(statement));
    EXPECT_EQ(CalcErrorCode, 0);
    std::string end = "end";
    EXPECT_TRUE(ProcessDuplicate(end));
    EXPECT_FALSE(DuplicateLoopOpen());
    ASSERT_EQ(platform.alerts.size(), advice);
    if (advice != 0) {
      EXPECT_EQ(platform.alerts[0].text, GetMessageText(kMsgDuplicateInRoutine));
    }
  }
  CompilingFunctionIndex = 0;
  Preferences = TPreferencesRecord{};
}

// Words that only begin like the keywords are statements.
TEST_F(DuplicateLoopTest, KeywordsAreWholeWords) {
  std::string statement = "DUPLICATES = 3";
  EXPECT_FALSE(ProcessDuplicate(statement));
  Compile("duplicates = 3\r\nDUPLICATE i=1,1\r\nENDING[i] = duplicates\r\nEND");
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_NEAR(double(VarNamed("ENDING[1]")->Value), 3.0, 1e-12);
}

}  // namespace
}  // namespace voq

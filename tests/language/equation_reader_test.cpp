#include "language/equation_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/program_flags.h"
#include "language/comments.h"
#include "model/store_state.h"

namespace voq {
namespace {

class EquationReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDecimalSeparator('.');
    CommentRecordList.clear();
    KeptCommentRecordList.clear();
    ReadingIncludedText = false;
    LoadingLibrary = false;
    DiagramInputStatement = false;
    MainStatementSeen = false;
    ModuleNesting = 0;
    PendingStatements.clear();
    AbortRequested = false;
    CalcErrorCode = 0;
  }
  void TearDown() override {
    SetDecimalSeparator('.');
    PendingStatements.clear();
    MainStatementSeen = false;
    ModuleNesting = 0;
    CalcErrorCode = 0;
  }
};

TEST_F(EquationReaderTest, SemicolonSeparatesStatementsOfOneLine) {
  const auto st = ReadStatementsOfText("x = 1; y = x + 1");
  ASSERT_EQ(CalcErrorCode, 0);
  ASSERT_EQ(st.size(), 2u);
  EXPECT_EQ(st[0].text, "x = 1");
  EXPECT_EQ(st[0].start, 0);
  EXPECT_EQ(st[0].end, 5);  // the ";"
  EXPECT_EQ(st[1].text, "y = x + 1");
  EXPECT_EQ(st[1].start, 6);  // behind the ";"
  EXPECT_EQ(st[1].end, 16);
  // Both belong to the first line.
  EXPECT_EQ(st[0].lineNo, 1);
  EXPECT_EQ(st[1].lineNo, 1);
}

TEST_F(EquationReaderTest, SeparatorWithDecimalPoint) {
  const std::vector<std::pair<std::string, int32_t>> cases = {
      {"x = 1; y = 2", 6},
      {"x = 1", 0},
      {"10: x := 1", 0},
      {"x = 1;", 6},
  };
  for (auto [line, expected] : cases) {
    SCOPED_TRACE(line);
    EXPECT_EQ(FindStatementSeparator(line), expected);
  }
}

TEST_F(EquationReaderTest, SeparatorWithDecimalComma) {
  SetDecimalSeparator(',');
  EXPECT_EQ(StatementSeparatorChar(), ':');
  struct Case {
    std::string line;
    int32_t expected;
    std::string after;  // the line after the search
  };
  const std::vector<Case> cases = {
      {"10: x := 1", 0, "10: x := 1"},      // label and assignment
      {"  10: x := 1", 0, "  10: x := 1"},  // an indented label
      {"1,5: x := 1", 0, "1,5: x := 1"},    // decimal separator is a digit here
      {"CALL P(a:b)", 0, "CALL P(a:b)"},
      {"  call p(a:b): x = 1", 0, "  call p(a:b): x = 1"},
      {"PROCEDURE P(a:b)", 0, "PROCEDURE P(a:b)"},
      {"Module M(a:b)", 0, "Module M(a:b)"},
      {"x = 1: y = 2", 6, "x = 1: y = 2"},
      {"x := 1: y := 2", 7, "x := 1: y := 2"},
      {"10: x = 1: y = 2", 10, "10: x = 1: y = 2"},
      {"s$ = 'a:b'", 0, "s$ = 'a:b'"},  // inside a quoted text
      {"s$ = 'a:b': t = 1", 11, "s$ = 'a:b': t = 1"},
      {"$IntegralTable t:0,1", 0, "$IntegralTable t:0,1"},
      {"x = 1:", 0, "x = 1"},               // a final ":" is deleted
      {"x = 1; y = 2", 0, "x = 1; y = 2"},  // ";" is no separator now
  };
  for (Case c : cases) {
    SCOPED_TRACE(c.line);
    std::string line = c.line;
    EXPECT_EQ(FindStatementSeparator(line), c.expected);
    EXPECT_EQ(line, c.after);
  }
  // Read as a text, labelled and CALL statements stay whole.
  const auto st = ReadStatementsOfText("10: x := 1\r\nCALL P(a:b)\r\nx = 1: y = 2");
  ASSERT_EQ(CalcErrorCode, 0);
  ASSERT_EQ(st.size(), 4u);
  EXPECT_EQ(st[0].text, "10: x := 1");
  EXPECT_EQ(st[1].text, "CALL P(a:b)");
  EXPECT_EQ(st[2].text, "x = 1");
  EXPECT_EQ(st[3].text, "y = 2");
}

TEST_F(EquationReaderTest, PositionsAndLinesCountTwoCharactersPerLineBreak) {
  // line 0: "a = 1", line 1 empty, line 2 "b = 2; c = 3", line 3/4 a continued statement
  const std::string text = "a = 1\r\n\r\nb = 2; c = 3\r\nd = 4 + &\r\n5";
  const auto st = ReadStatementsOfText(text);
  ASSERT_EQ(CalcErrorCode, 0);
  ASSERT_EQ(st.size(), 4u);
  EXPECT_EQ(st[0].start, 0);
  EXPECT_EQ(st[0].lineNo, 1);
  EXPECT_EQ(st[1].start, int32_t(text.find('b')));
  EXPECT_EQ(st[1].lineNo, 3);
  EXPECT_EQ(st[2].start, int32_t(text.find(" c")));
  EXPECT_EQ(st[2].end, int32_t(text.find("\r\nd")));
  EXPECT_EQ(st[2].lineNo, 3);
  EXPECT_EQ(st[3].text, "d = 4 + 5");
  EXPECT_EQ(st[3].start, int32_t(text.find('d')));
  EXPECT_EQ(st[3].end, int32_t(text.size()));  // the end of the last joined line
  EXPECT_EQ(st[3].lineNo, 5);                  // the last joined line, counted from 1
  const std::vector<int32_t> starts = {0, 7, 9, 23, 34, 37};
  EXPECT_EQ(EquationLineStarts, starts);
}

TEST_F(EquationReaderTest, LineBreaksOfAnyKindBecomeCrLf) {
  EXPECT_EQ(NormalizeLineBreaks("a\nb\rc\r\nd\n"), "a\r\nb\r\nc\r\nd\r\n");
  const auto st = ReadStatementsOfText("x = 1\ny = 2");
  ASSERT_EQ(st.size(), 2u);
  EXPECT_EQ(st[1].start, 7);
  BeginEquationText("a\r\nbb\r\n\r\nc");
  EXPECT_EQ(LineOfChar(0), 0);
  EXPECT_EQ(LineOfChar(3), 1);
  EXPECT_EQ(LineOfChar(9), 3);
  EXPECT_EQ(LineOfChar(7), 2);  // backwards after forwards
  EXPECT_EQ(LineOfChar(4), 1);
}

TEST_F(EquationReaderTest, ControlCharactersBecomeBlanks) {
  std::string s = std::string("a\tb") + '\0' + "c\n\n\x1a\x1a";
  BlankControlChars(s);
  EXPECT_EQ(s, std::string("a b c \n \x1a"));
}

// A statement of n characters: "x=" and digits.
std::string Statement(size_t n) { return "x=" + std::string(n - 2, '1'); }

TEST_F(EquationReaderTest, LineLimitIs253Characters) {
  auto st = ReadStatementsOfText(Statement(253));
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(st.size(), 1u);

  st = ReadStatementsOfText("a = 1\r\n" + Statement(254));
  EXPECT_EQ(CalcErrorCode, 42);
  EXPECT_EQ(CalcErrorStart, 7);
  EXPECT_EQ(CalcErrorEnd, 7 + 253);
  EXPECT_EQ(EquationLineNo, 2);  // the line is selected when the error is shown
  EXPECT_EQ(st.size(), 1u);      // what came before stays read
}

TEST_F(EquationReaderTest, JoinedStatementLimitIs253Characters) {
  // 199 characters before the "&" and 54 or 55 after it.
  const std::string first = Statement(199) + "&";
  auto st = ReadStatementsOfText(first + "\r\n+" + std::string(53, '2'));
  EXPECT_EQ(CalcErrorCode, 0);
  ASSERT_EQ(st.size(), 1u);
  EXPECT_EQ(st[0].text.size(), 253u);

  const std::string text = first + "\r\n+" + std::string(54, '2');
  st = ReadStatementsOfText(text);
  EXPECT_EQ(CalcErrorCode, 42);
  EXPECT_EQ(CalcErrorStart, 0);
  EXPECT_EQ(CalcErrorEnd, int32_t(text.size()));
  EXPECT_TRUE(st.empty());
}

TEST_F(EquationReaderTest, CommentsRescueALongLine) {
  // 300 characters, of which comments are 47 + 2: 251 are left.
  const std::string comment = "{" + std::string(47, 'c') + "}";
  const std::string text = Statement(100) + comment + std::string(151, '1');
  ASSERT_EQ(text.size(), 300u);
  const auto st = ReadStatementsOfText(text + "\r\ny = 2");
  ASSERT_EQ(CalcErrorCode, 0);
  ASSERT_EQ(st.size(), 2u);
  EXPECT_EQ(st[0].text, Statement(100) + std::string(151, '1'));
  EXPECT_EQ(st[0].start, 0);
  EXPECT_EQ(st[0].end, 300);
  // Positions behind the comment are still those of the window text.
  EXPECT_EQ(st[1].start, 302);
  ASSERT_EQ(CommentRecordList.size(), 1u);
  EXPECT_EQ(CommentRecordList[0].start, 101);
  EXPECT_EQ(CommentRecordList[0].end, 148);

  // One character more outside the comments is too much.
  ReadStatementsOfText(Statement(100) + comment + std::string(154, '1'));
  EXPECT_EQ(CalcErrorCode, 42);
  EXPECT_EQ(CalcErrorStart, 0);
  EXPECT_EQ(CalcErrorEnd, 253);
}

TEST_F(EquationReaderTest, LongContinuationLineRescuedByCommentsKeepsTheStatementStart) {
  const std::string text = "a = 1\r\nx = 1 + &\r\n2 {" + std::string(300, 'c') + "}";
  const auto st = ReadStatementsOfText(text);
  ASSERT_EQ(CalcErrorCode, 0);
  ASSERT_EQ(st.size(), 2u);
  EXPECT_EQ(st[1].text, "x = 1 + 2");
  EXPECT_EQ(st[1].start, 7);
  EXPECT_EQ(st[1].end, int32_t(text.size()));
}

TEST_F(EquationReaderTest, LongLineEndingInsideAnOpenCommentKeepsItsStatement) {
  const std::string text = "x = 1 {" + std::string(300, 'c') + "\r\nmore} \r\ny = 2";
  const auto st = ReadStatementsOfText(text);
  ASSERT_EQ(CalcErrorCode, 0);
  ASSERT_EQ(st.size(), 2u);
  EXPECT_EQ(st[0].text, "x = 1");
  EXPECT_EQ(st[1].text, "y = 2");
  ASSERT_EQ(CommentRecordList.size(), 1u);
  EXPECT_EQ(CommentRecordList[0].start, 7);
  EXPECT_EQ(CommentRecordList[0].end, int32_t(text.find('}')));
}

TEST_F(EquationReaderTest, UnclosedCommentIsError17FromItsDelimiterToTheEnd) {
  const std::string text = "a = 1\r\nx = 1 {open\r\ny = 2";
  const auto st = ReadStatementsOfText(text);
  EXPECT_EQ(CalcErrorCode, 17);
  EXPECT_EQ(CalcErrorStart, int32_t(text.find('{')));
  EXPECT_EQ(CalcErrorEnd, int32_t(text.size()));
  ASSERT_EQ(st.size(), 2u);
  EXPECT_EQ(st[1].text, "x = 1");
}

TEST_F(EquationReaderTest, StrayClosingBraceReachesTheCompiler) {
  const auto st = ReadStatementsOfText("x = 1 } {c}");
  ASSERT_EQ(st.size(), 1u);
  EXPECT_EQ(st[0].text, "x = 1 } {c}");
}

TEST_F(EquationReaderTest, CommentMayHoldTheSeparator) {
  // The line is split at the ";" first; the comment then spans both parts.
  const auto st = ReadStatementsOfText("x = 1 {a; b}\r\ny = 2");
  ASSERT_EQ(CalcErrorCode, 0);
  ASSERT_EQ(st.size(), 2u);
  EXPECT_EQ(st[0].text, "x = 1");
  EXPECT_EQ(st[1].text, "y = 2");
  ASSERT_EQ(CommentRecordList.size(), 1u);
  EXPECT_EQ(CommentRecordList[0].start, 7);
  EXPECT_EQ(CommentRecordList[0].end, 11);
}

TEST_F(EquationReaderTest, LeadingQuoteCommentOfASplitStatementMovesItsStart) {
  const auto st = ReadStatementsOfText("\"note\" x = 1; y = 2");
  ASSERT_EQ(st.size(), 2u);
  EXPECT_EQ(st[0].text, "x = 1");
  // The 6 characters of the comment are skipped.
  EXPECT_EQ(st[0].start, 6);
  EXPECT_EQ(st[1].start, 13);
  // Unsplit, the statement keeps its start.
  EXPECT_EQ(ReadStatementsOfText("\"note\" x = 1")[0].start, 0);
}

TEST_F(EquationReaderTest, IncludeLinesAreHandedOverWhole) {
  const auto st =
      ReadStatementsOfText("x = 1;$INCLUDE a.txt\r\n$include b.txt; y = 2\r\n{$INCLUDE c.txt}");
  ASSERT_EQ(CalcErrorCode, 0);
  ASSERT_EQ(st.size(), 3u);
  EXPECT_EQ(st[0].text, "x = 1");
  EXPECT_TRUE(st[1].isInclude);
  EXPECT_EQ(st[1].text, "$INCLUDE a.txt");
  EXPECT_EQ(st[1].start, 6);
  EXPECT_TRUE(st[2].isInclude);
  EXPECT_EQ(st[2].text, "$include b.txt; y = 2");
  EXPECT_EQ(st[2].lineNo, 1);
}

TEST_F(EquationReaderTest, DiagramStatementsFollowTheText) {
  PendingStatements = {"k=45", "", "rho=7800"};
  const auto st = ReadStatementsOfText("x = 1\r\ny = 2");
  ASSERT_EQ(CalcErrorCode, 0);
  ASSERT_EQ(st.size(), 4u);
  EXPECT_EQ(st[2].text, "k=45");
  EXPECT_EQ(st[2].start, -1);
  EXPECT_EQ(st[2].end, -1);
  EXPECT_EQ(st[3].text, "rho=7800");
  EXPECT_TRUE(DiagramInputStatement);
  EXPECT_TRUE(PendingStatements.empty());
}

TEST_F(EquationReaderTest, DiagramStatementsWaitForAMainEquation) {
  // Once a main equation exists they are served before the next line; an
  // empty one does not move the reading position.
  MainStatementSeen = true;
  PendingStatements = {"", "k=45; c=1"};
  const auto st = ReadStatementsOfText("x = 1\r\ny = 2");
  ASSERT_EQ(st.size(), 4u);
  EXPECT_EQ(st[0].text, "k=45");
  EXPECT_EQ(st[1].text, "c=1");
  EXPECT_EQ(st[1].start, -1);
  EXPECT_EQ(st[2].text, "x = 1");
  EXPECT_EQ(st[2].start, 0);
  EXPECT_EQ(st[3].start, 7);
}

TEST_F(EquationReaderTest, OpenModuleAtTheEndLeavesDiagramStatements) {
  ModuleNesting = 1;
  PendingStatements = {"k=45"};
  const auto st = ReadStatementsOfText("x = 1");
  EXPECT_EQ(st.size(), 1u);
  EXPECT_EQ(PendingStatements.size(), 1u);
}

TEST_F(EquationReaderTest, AbortEndsTheRead) {
  AbortRequested = true;
  EXPECT_TRUE(ReadStatementsOfText("x = 1").empty());
  AbortRequested = false;
}

TEST_F(EquationReaderTest, BlankLinesAndBlankStatementsGiveNothing) {
  const auto st = ReadStatementsOfText("\r\n   \r\n\t\r\n;;\r\nx=1\r\n");
  ASSERT_EQ(CalcErrorCode, 0);
  ASSERT_EQ(st.size(), 1u);
  EXPECT_EQ(st[0].text, "x=1");
  EXPECT_EQ(st[0].lineNo, 5);
}

}  // namespace
}  // namespace voq

#include "language/comments.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "core/calc_state.h"
#include "core/program_flags.h"
#include "language/equation_reader.h"
#include "model/store_state.h"
#include "platform/host.h"

namespace voq {
namespace {

struct PaintedRange {
  int32_t first;
  int32_t last;
  int32_t styleClass;
  bool operator==(const PaintedRange&) const = default;
};

class RecordingPainter : public CommentPainter {
 public:
  void StyleCommentRange(int32_t first, int32_t last, int32_t styleClass) override {
    ranges.push_back({first, last, styleClass});
  }
  std::vector<PaintedRange> ranges;
};

class CommentsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetCommentPainter(&painter);
    CommentRecordList.clear();
    KeptCommentRecordList.clear();
    ResetCommentState();
    CalcErrorCode = 0;
    CalcErrorStart = 0;
    EquationLineNo = 0;
    ReadingIncludedText = false;
    LoadingLibrary = false;
    DiagramInputStatement = false;
    MainStatementSeen = false;
    ModuleNesting = 0;
    PendingStatements.clear();
    AbortRequested = false;
  }
  void TearDown() override { SetCommentPainter(nullptr); }

  // Strips one statement that is the whole window text.
  std::string Strip(const std::string& text) {
    BeginEquationText(text);
    CalcErrorStart = 0;
    CommentScan.scanOffset = 0;
    std::string s = text;
    StripComments(s);
    return s;
  }

  RecordingPainter painter;
};

TEST_F(CommentsTest, NestedBracesAreOneCommentAndBlanksAroundItStay) {
  EXPECT_EQ(Strip("x = 1 {a {b} c} + 2"), "x = 1  + 2");
  ASSERT_EQ(CommentRecordList.size(), 1u);
  const TCommentRecord& r = CommentRecordList[0];
  EXPECT_EQ(r.start, 7);  // the "a"
  EXPECT_EQ(r.end, 14);   // the last "}"
  EXPECT_EQ(r.isQuoteComment, 0);
  EXPECT_EQ(r.checksum, 0);
  EXPECT_EQ(r.styleClass, 0);
  EXPECT_EQ(CommentScan.commentDepth, 0);
  EXPECT_EQ(CommentKind, 0);
  // Coloured from the opening to the closing delimiter.
  ASSERT_EQ(painter.ranges.size(), 1u);
  EXPECT_EQ(painter.ranges[0], (PaintedRange{6, 14, 0}));
}

TEST_F(CommentsTest, StripCases) {
  // text, text left, records made, quote comment, comment left open
  const std::vector<std::tuple<std::string, std::string, size_t, bool, bool>> cases = {
      {"{a \"b\" c}", "", 1, false, false},             // quotes inside braces are text
      {"\"a {b} c\" x", " x", 1, true, false},          // braces inside quotes are text
      {"\"a \"x\" b\"", "x", 2, true, false},           // quote comments do not nest
      {"x = 1 } {c}", "x = 1 } {c}", 0, false, false},  // stops at a stray "}"
      {"x = 1 {open", "x = 1 ", 0, false, true},
      {"{}x", "x", 0, false, false},  // an empty comment is not recorded
      {"\"\" y", " y", 0, false, false},
      {"a{b}c{d}e", "ace", 2, false, false},
      {"no comment", "no comment", 0, false, false},
  };
  for (const auto& [text, left, records, quote, open] : cases) {
    SCOPED_TRACE(text);
    CommentRecordList.clear();
    ResetCommentState();
    EXPECT_EQ(Strip(text), left);
    EXPECT_EQ(CommentRecordList.size(), records);
    if (records > 0) {
      EXPECT_EQ(CommentRecordList[0].isQuoteComment, quote ? 1 : 0);
    }
    EXPECT_EQ(CommentScan.commentDepth > 0, open);
  }
}

TEST_F(CommentsTest, OpenCommentRemembersItsDelimiter) {
  Strip("x = 1 {open");
  EXPECT_EQ(CommentScan.commentStart, 6);
  EXPECT_EQ(CommentKind, 1);
}

TEST_F(CommentsTest, CommentSpanningLinesIsCutFromEveryLine) {
  const std::string text = "x = 1 {one\r\ntwo\r\nthree\r\nfour} + 2\r\ny = 3";
  const std::vector<TReadStatement> st = ReadStatementsOfText(text);
  ASSERT_EQ(CalcErrorCode, 0);
  ASSERT_EQ(st.size(), 3u);
  EXPECT_EQ(st[0].text, "x = 1");
  EXPECT_EQ(st[1].text, "+ 2");
  EXPECT_EQ(st[2].text, "y = 3");
  ASSERT_EQ(CommentRecordList.size(), 1u);
  EXPECT_EQ(CommentRecordList[0].start, int32_t(text.find("one")));
  EXPECT_EQ(CommentRecordList[0].end, int32_t(text.find('}')));
}

TEST_F(CommentsTest, QuoteCommentChecksumIsTheByteSumOfItsCharacters) {
  Strip("x = 1 \"ab\"");
  ASSERT_EQ(CommentRecordList.size(), 1u);
  // 'a' + 'b' + the closing quote: 97 + 98 + 34.
  EXPECT_EQ(CommentRecordList[0].checksum, 229);
  EXPECT_EQ(CommentChecksum(7, 9), 229);
}

TEST_F(CommentsTest, ExclamationMarkGivesStyleClassOne) {
  Strip("x = 1 {!important}");
  ASSERT_EQ(CommentRecordList.size(), 1u);
  EXPECT_EQ(CommentRecordList[0].styleClass, 1);
  ASSERT_EQ(painter.ranges.size(), 1u);
  EXPECT_EQ(painter.ranges[0], (PaintedRange{6, 17, 1}));
}

TEST_F(CommentsTest, UnitsCommentSetsPendingUnitsWithItsLine) {
  ReadStatementsOfText("a = 1\r\nh = 2 {[kJ/kg]}");
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(PendingUnits.Units, "kJ/kg");
  EXPECT_EQ(PendingUnits.Line, 2);  // the line of h = 2, counted from 1
}

TEST_F(CommentsTest, UnitsCases) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"v = 1 {[m/s] speed}", "m/s"},
      {"v = 1 {[" + std::string(40, 'u') + "]}", std::string(30, 'u')},  // cut to 30
      {"v = 1 {[m/s}", ""},    // no "]" inside the comment
      {"v = 1 { [m/s]}", ""},  // "[" must come first
      {"v = 1 \"[m]\"", "m"},  // quote comments carry units too
  };
  for (const auto& [text, units] : cases) {
    SCOPED_TRACE(text);
    ResetCommentState();
    Strip(text);
    EXPECT_EQ(PendingUnits.Units, units);
  }
}

TEST_F(CommentsTest, IncludedTextMakesNoRecordsButTakesUnitsFromItsOwnLine) {
  // The window holds the $INCLUDE line; the included line's positions are
  // counted from it and do not point at the included text.
  BeginEquationText("$INCLUDE units.txt");
  ReadingIncludedText = true;
  EquationLineNo = 1;
  CalcErrorStart = 0;
  CommentScan.scanOffset = 0;
  std::string s = "h = 2 {[kJ/kg]} \"quoted\"";
  StripComments(s);
  EXPECT_EQ(s, "h = 2  ");
  EXPECT_TRUE(CommentRecordList.empty());
  EXPECT_TRUE(painter.ranges.empty());
  EXPECT_EQ(PendingUnits.Units, "kJ/kg");
}

TEST_F(CommentsTest, LibraryCommentsMakeNoRecords) {
  LoadingLibrary = true;
  Strip("x = 1 {a}");
  EXPECT_TRUE(CommentRecordList.empty());
  EXPECT_TRUE(painter.ranges.empty());
}

TEST_F(CommentsTest, DiagramStatementCommentsAreRecordedButNotColoured) {
  BeginEquationText("x = 1 {a}");
  DiagramInputStatement = true;
  CalcErrorStart = 0;
  std::string s = "x = 1 {a}";
  StripComments(s);
  EXPECT_EQ(CommentRecordList.size(), 1u);
  EXPECT_TRUE(painter.ranges.empty());
}

TEST_F(CommentsTest, StatementOutsideTheWindowRecordsNothing) {
  BeginEquationText("");
  CalcErrorStart = -1;
  std::string s = "k = 45 {steel}";
  StripComments(s);
  EXPECT_EQ(s, "k = 45 ");
  EXPECT_TRUE(CommentRecordList.empty());
}

TEST_F(CommentsTest, StrippedLengthLeavesStateAndRecordsAlone) {
  BeginEquationText("");
  CommentScan.commentDepth = 1;
  CommentScan.commentStart = 3;
  CommentKind = 1;
  EXPECT_EQ(StrippedLength("abc} x = 1 {d} {e"), 8);  // " x = 1 " + " ", then an open comment
  EXPECT_EQ(CommentScan.commentDepth, 1);
  EXPECT_EQ(CommentScan.commentStart, 3);
  EXPECT_EQ(CommentKind, 1);
  EXPECT_TRUE(CommentRecordList.empty());
  EXPECT_EQ(PendingUnits.Line, -1);
}

TEST_F(CommentsTest, QuoteCommentKeepsWindowDataAcrossReadsOnlyOnce) {
  ReadStatementsOfText("\"note\" x = 1\r\n{brace} y = 2");
  ASSERT_EQ(CommentRecordList.size(), 2u);
  CommentRecordList[0].windowData1 = 5;
  CommentRecordList[0].windowData2 = 6;
  CommentRecordList[1].windowData1 = 9;  // kept, but brace comments never match

  PruneLineInfoList();  // what the next read does first
  EXPECT_TRUE(CommentRecordList.empty());
  ASSERT_EQ(KeptCommentRecordList.size(), 2u);

  // The comment moved, and appears twice.
  ReadStatementsOfText("y = 2 {brace}\r\n\"note\" x = 1\r\nz = 3 \"note\"");
  ASSERT_EQ(CommentRecordList.size(), 3u);
  EXPECT_EQ(CommentRecordList[0].windowData1, 0);
  EXPECT_EQ(CommentRecordList[1].windowData1, 5);
  EXPECT_EQ(CommentRecordList[1].windowData2, 6);
  EXPECT_EQ(CommentRecordList[2].windowData1, 0);

  // A changed comment finds nothing.
  PruneLineInfoList();
  ASSERT_EQ(KeptCommentRecordList.size(), 1u);
  ReadStatementsOfText("\"notE\" x = 1");
  ASSERT_EQ(CommentRecordList.size(), 1u);
  EXPECT_EQ(CommentRecordList[0].windowData1, 0);
}

TEST_F(CommentsTest, PruneDropsRecordsWithoutWindowData) {
  ReadStatementsOfText("\"a\" x = 1 {b}");
  ASSERT_EQ(CommentRecordList.size(), 2u);
  PruneLineInfoList();
  EXPECT_TRUE(KeptCommentRecordList.empty());
  EXPECT_TRUE(CommentRecordList.empty());
}

}  // namespace
}  // namespace voq

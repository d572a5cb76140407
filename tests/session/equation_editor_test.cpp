#include "session/equation_editor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace voq {
namespace {

// "ab\ncd\n\nef": the engine reads "ab\r\ncd\r\n\r\nef" (13 characters).
// Positions counted by hand on both texts.
TEST(EditorPositionMapTest, MapsEachPositionBothWays) {
  const EditorPositionMap map(u"ab\ncd\n\nef");
  EXPECT_EQ(map.EditorLength(), 9);
  EXPECT_EQ(map.EngineLength(), 12);
  EXPECT_EQ(map.LineCount(), 4);
  struct Case {
    int32_t editor;
    int32_t engine;
  };
  // Editor positions and the engine positions of the same characters.
  const Case cases[] = {{0, 0}, {1, 1}, {2, 2}, {3, 4}, {4, 5}, {5, 6}, {6, 8}, {7, 10}, {8, 11}, {9, 12}};
  for (const Case& c : cases) {
    EXPECT_EQ(map.EngineFromEditor(c.editor), c.engine) << "editor " << c.editor;
    EXPECT_EQ(map.EditorFromEngine(c.engine), c.editor) << "engine " << c.engine;
  }
  // Between CR and LF: the start of the next line, so a range ending there
  // keeps its line break.
  EXPECT_EQ(map.EditorFromEngine(3), 3);
  EXPECT_EQ(map.EditorFromEngine(7), 6);
  EXPECT_EQ(map.EditorFromEngine(9), 7);
  // Out of range positions are held to the text.
  EXPECT_EQ(map.EditorFromEngine(-5), 0);
  EXPECT_EQ(map.EditorFromEngine(400), 9);
  EXPECT_EQ(map.EngineFromEditor(400), 12);
}

TEST(EditorPositionMapTest, LinesOfEnginePositions) {
  const EditorPositionMap map(u"ab\ncd\n\nef");
  struct Case {
    int32_t engine;
    int32_t line;
  };
  // Line 0 "ab\r\n" 0..3, line 1 "cd\r\n" 4..7, line 2 "\r\n" 8..9, line 3 "ef" 10..11.
  const Case cases[] = {{0, 0}, {2, 0}, {4, 1}, {7, 2}, {8, 2}, {10, 3}, {12, 3}};
  for (const Case& c : cases) EXPECT_EQ(map.LineOfEngine(c.engine), c.line) << "engine " << c.engine;
  EXPECT_EQ(map.EngineLineStart(0), 0);
  EXPECT_EQ(map.EngineLineStart(1), 4);
  EXPECT_EQ(map.EngineLineStart(2), 8);
  EXPECT_EQ(map.EngineLineStart(3), 10);
  EXPECT_EQ(map.EngineLineStart(9), 10);
}

TEST(EditorPositionMapTest, WidgetParagraphSeparatorIsALineBreak) {
  const EditorPositionMap map(std::u16string(u"x") + char16_t(0x2029) + u"y");
  EXPECT_EQ(map.EngineFromEditor(2), 3);
  EXPECT_EQ(map.LineOfEngine(3), 1);
}

TEST(EditorPositionMapTest, EmptyText) {
  const EditorPositionMap map(u"");
  EXPECT_EQ(map.EngineLength(), 0);
  EXPECT_EQ(map.EditorFromEngine(0), 0);
  EXPECT_EQ(map.LineOfEngine(0), 0);
}

TEST(LineStartTableTest, TwoCharactersPerBreakAndCapped) {
  EXPECT_EQ(BuildLineStartTable(""), std::vector<int32_t>{0});
  EXPECT_EQ(BuildLineStartTable("x = 3\r\nx = 4"), (std::vector<int32_t>{0, 7}));
  EXPECT_EQ(BuildLineStartTable("a\r\n\r\nbb\r\n"), (std::vector<int32_t>{0, 3, 5, 9}));
  std::string many;
  for (int i = 0; i < kLineStartTableSize + 50; ++i) many += "a\r\n";
  const std::vector<int32_t> table = BuildLineStartTable(many);
  ASSERT_EQ(table.size(), size_t(kLineStartTableSize));
  EXPECT_EQ(table.back(), (kLineStartTableSize - 1) * 3);
}

TEST(CommentToggleTest, PlansAndAppliesTheEdit) {
  struct Case {
    std::u16string text;
    int32_t start;
    int32_t length;
    TCommentEdit::Kind action;
    std::u16string result;
    int32_t styleFirst;
    int32_t styleLast;
  };
  const Case cases[] = {
      {u"{x=1}", 0, 5, TCommentEdit::kUncomment, u"x=1", 0, 2},
      {u"x=1", 0, 3, TCommentEdit::kComment, u"{x=1}", 0, 4},
      {u"a=2\nx=1\nb", 4, 3, TCommentEdit::kComment, u"a=2\n{x=1}\nb", 4, 8},
      {u"a=2\n{x=1}\nb", 4, 5, TCommentEdit::kUncomment, u"a=2\nx=1\nb", 4, 6},
      // Only the first character is "{": a new comment around it.
      {u"{x=1", 0, 4, TCommentEdit::kComment, u"{{x=1}", 0, 5},
      // A selection running past the end is taken up to the last character.
      {u"x=1", 1, 10, TCommentEdit::kComment, u"x{=1}", 1, 4},
      // A lone "{" or "}" is not a comment of its own.
      {u"{", 0, 1, TCommentEdit::kComment, u"{{}", 0, 2},
  };
  for (const Case& c : cases) {
    const TCommentEdit edit = PlanCommentToggle(c.text, c.start, c.length);
    EXPECT_EQ(edit.Action, c.action);
    EXPECT_EQ(ApplyCommentEdit(c.text, edit), c.result);
    EXPECT_EQ(edit.StyleFirst, c.styleFirst);
    EXPECT_EQ(edit.StyleLast, c.styleLast);
  }
  EXPECT_EQ(PlanCommentToggle(u"x=1", 1, 0).Action, TCommentEdit::kNothing);
  EXPECT_EQ(PlanCommentToggle(u"", 0, 3).Action, TCommentEdit::kNothing);
}

TEST(CommentToggleTest, ContextMenuTrimsLineBreaksAndNamesTheCommand) {
  EXPECT_EQ(TrimSelectionEnd(u"x=1\n\t\ny", 0, 6), 3);
  EXPECT_EQ(TrimSelectionEnd(u"x=1", 0, 3), 3);
  EXPECT_EQ(TrimSelectionEnd(u"\n\n", 0, 2), 0);
  EXPECT_EQ(TrimSelectionEnd(std::u16string(u"ab") + char16_t(0x2029), 0, 3), 2);
  EXPECT_EQ(CommentCaption(u"{x=1}"), "Undo Comment");
  EXPECT_EQ(CommentCaption(u"{x=1"), "Comment");
  EXPECT_EQ(CommentCaption(u"x=1}"), "Comment");
  EXPECT_EQ(CommentCaption(u""), "Comment");
}

TEST(UnmatchedParenthesisTest, InnermostOpenOrFirstSurplus) {
  struct Case {
    std::u16string line;
    int32_t mark;
  };
  const Case cases[] = {
      {u"a=(b+(c", 5},     // two open: the inner one
      {u"a=(b+c)", -1},    // balanced
      {u"a=(b+c))", 7},    // surplus ")"
      {u"a=b)+(c)", 3},    // the first surplus one ends the scan
      {u"((a)", 0},        // the inner one closed: the outer is open
      {u"(a)(b", 3},       // a later opening at depth 1 replaces the first
      {u"", -1},
      {u"x=1", -1},
  };
  for (const Case& c : cases) EXPECT_EQ(UnmatchedParenthesis(c.line), c.mark) << std::string(c.line.begin(), c.line.end());
  // Only the first 255 characters count.
  EXPECT_EQ(UnmatchedParenthesis(std::u16string(255, u'x') + u"("), -1);
  EXPECT_EQ(UnmatchedParenthesis(std::u16string(254, u'x') + u"("), 254);
}

TEST(EditorTabStopsTest, SevenEighthsOfTheWidth) {
  // Width 20 (preference 0 or below 100): (7 x 20 x i) div 8 points at 96
  // pixels per inch: 17.5, 35, 52.5, 70 truncated.
  for (int32_t preference : {0, 99, -5}) {
    const auto stops = EditorTabStopsPoints(preference, 96);
    EXPECT_EQ(stops[0], 17);
    EXPECT_EQ(stops[1], 35);
    EXPECT_EQ(stops[2], 52);
    EXPECT_EQ(stops[3], 70);
    EXPECT_EQ(stops[14], 262);  // 7 x 20 x 15 / 8 = 262.5
  }
  // Width 32 at 120 pixels per inch: 28 x 96 / 120 = 22.4 -> 22; 56 -> 44.
  const auto wide = EditorTabStopsPoints(3200, 120);
  EXPECT_EQ(wide[0], 22);
  EXPECT_EQ(wide[1], 44);
}

TEST(InsertionRoomTest, CutAtTheLimit) {
  struct Case {
    int32_t length, selected, insert, room;
  };
  const Case cases[] = {
      {0, 0, 200000, kEquationTextLimit},
      {kEquationTextLimit - 10, 0, 25, 10},
      {kEquationTextLimit, 0, 1, 0},
      {kEquationTextLimit, 5, 8, 5},
      {100, 0, 20, 20},
      {kEquationTextLimit + 7, 0, 3, 0},  // a longer text loaded by a document takes nothing more
  };
  for (const Case& c : cases) EXPECT_EQ(InsertionRoom(c.length, c.selected, c.insert), c.room);
}

TEST(CopyMacroLineTest, LinesAndColumnsFromTheRecordedStarts) {
  // "x = 3" / "abcdefg": line 2 starts at engine position 7.
  const EditorPositionMap map(u"x = 3\nabcdefg");
  const std::vector<int32_t> table = BuildLineStartTable("x = 3\r\nabcdefg");
  // Four characters from column 3 of line 2.
  EXPECT_EQ(CopyMacroLine(map, table, 9, 4), "COPY Equations L2 C3:L2 C6");
  // From line 1 column 1 to the end of line 2.
  EXPECT_EQ(CopyMacroLine(map, table, 0, 14), "COPY Equations L1 C1:L2 C7");
  // Without a recorded table the text's own line starts are used.
  EXPECT_EQ(CopyMacroLine(map, {0}, 9, 4), "COPY Equations L2 C3:L2 C6");
}

}  // namespace
}  // namespace voq

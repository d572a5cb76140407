#include "output/equation_print.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/calc_state.h"
#include "model/document_settings.h"
#include "output/print_engine.h"
#include "output/print_test_support.h"

namespace voq {
namespace {

using test::ScopedPrintJobEnvironment;

// The recording surface at 300 dots per inch: 9-point text is 38 dots high
// and 19 wide, lines are 46 dots apart, the margins 150 dots, and the
// printable width 2550 - 300 = 2250 dots.
constexpr int32_t kCharWidth = 19;
constexpr int32_t kMargin = 150;

// What the Equations text printed, without the page header.
std::vector<RecordingPrintSurface::TDrawnText> PrintText(ScopedPrintJobEnvironment& env,
                                                         const std::string& text) {
  EXPECT_TRUE(env.BeginPrinterJob());
  const size_t headerTexts = env.devices.printer.Texts.size();
  PrintEquationsText(text, 96);
  EndPrintJob();
  std::vector<RecordingPrintSurface::TDrawnText> drawn;
  for (size_t i = headerTexts; i < env.devices.printer.Texts.size(); ++i) {
    const auto& t = env.devices.printer.Texts[i];
    if (t.Text.rfind("File:", 0) == 0 || t.Text.find("  Page ") != std::string::npos ||
        t.Text.rfind("VOQ Ver. ", 0) == 0) {
      continue;
    }
    drawn.push_back(t);
  }
  return drawn;
}

TEST(PrintEquations, EmptyEditorPrintsNothingAndAnEmptyLineOneAdvance) {
  {
    ScopedPrintJobEnvironment env;
    ASSERT_TRUE(env.BeginPrinterJob());
    const size_t header = env.devices.printer.Texts.size();
    PrintEquationsText("", 96);
    EXPECT_EQ(env.devices.printer.Texts.size(), header);
    EXPECT_EQ(PrintState.CurrentLine, 4);
    EndPrintJob();
  }
  {
    ScopedPrintJobEnvironment env;
    const auto drawn = PrintText(env, "a=1\r\n\r\nb=2\r\n");
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_EQ(drawn[0].Text, "a=1");
    EXPECT_EQ(drawn[0].Y, 5 * 46);
    EXPECT_EQ(drawn[1].Text, " ");
    EXPECT_EQ(drawn[1].Y, 6 * 46);
    EXPECT_EQ(drawn[2].Text, "b=2");
    EXPECT_EQ(drawn[2].Y, 7 * 46);
  }
}

TEST(PrintEquations, LongLineIsCutAt2048CharactersAndBroken) {
  // "x1234567+" repeated: 3,006 characters with a break character every 9.
  std::string line;
  while (line.size() < 3000) line += "x1234567+";
  for (const bool indent : {true, false}) {
    ScopedPrintJobEnvironment env;
    Preferences.PrintIndentEquations = indent ? 1 : 0;
    const auto drawn = PrintText(env, line);
    std::string printed;
    for (const auto& t : drawn) printed += t.Text;
    EXPECT_EQ(printed, line.substr(0, kPrintedLineLimit)) << indent;
    ASSERT_GT(drawn.size(), 10u);
    EXPECT_EQ(drawn[0].X, kMargin);
    for (size_t i = 1; i < drawn.size(); ++i) {
      EXPECT_EQ(drawn[i].X, kMargin + (indent ? 90 : 0)) << i;
      EXPECT_EQ(drawn[i].Y, drawn[i - 1].Y + 46) << i;
      // Broken in front of the "+", which begins the next line.
      EXPECT_EQ(drawn[i].Text[0], '+') << i;
    }
    // Each printed line fits the printable width less the indent twice.
    const size_t room = static_cast<size_t>((2250 - (indent ? 90 : 0)) / kCharWidth);
    for (size_t i = 1; i + 1 < drawn.size(); ++i) EXPECT_LE(drawn[i].Text.size(), room);
  }
}

TEST(PrintEquations, LineWithoutBreakCharactersIsCutWhereItStopsFitting) {
  ScopedPrintJobEnvironment env;
  const std::string line(300, 'q');
  const auto drawn = PrintText(env, line);
  ASSERT_EQ(drawn.size(), 3u);
  EXPECT_EQ(drawn[0].Text.size(), 2250u / kCharWidth);  // 118 characters
  EXPECT_EQ(drawn[1].Text.size(), 118u);
  EXPECT_EQ(drawn[2].Text.size(), 300u - 236u);
}

TEST(PrintEquations, CommentKeepsItsStyleAcrossPrintedLineBreaks) {
  // A nested comment broken over several printed lines: the delimiters
  // scanned again after each break are not counted twice, so the text after
  // the comment is plain again.
  std::string line = "{outer {inner} ";
  while (line.size() < 400) line += "word ";
  line += "} x = 1";
  ScopedPrintJobEnvironment env;
  Preferences.PrintCommentStyle1 = 1;  // bold
  const auto drawn = PrintText(env, line);
  ASSERT_GE(drawn.size(), 4u);
  for (size_t i = 0; i + 1 < drawn.size(); ++i) EXPECT_EQ(drawn[i].Font.Weight, 700) << drawn[i].Text;
  EXPECT_EQ(drawn.back().Text, " x = 1");
  EXPECT_EQ(drawn.back().Font.Weight, 400);
}

TEST(PrintEquations, BlankAtABreakIsDropped) {
  ScopedPrintJobEnvironment env;
  std::string line;
  while (line.size() < 200) line += "abc ";
  const auto drawn = PrintText(env, line);
  ASSERT_GE(drawn.size(), 2u);
  EXPECT_NE(drawn[1].Text[0], ' ');
}

TEST(PrintEquations, CommentsPrintInTheirStyles) {
  struct Run {
    std::string text;
    int32_t weight;
    bool italic;
  };
  struct Case {
    const char* equations;
    std::vector<Run> runs;
  };
  const Case cases[] = {
      {"x=1 {c1} y=2 {!c2}", {{"x=1 ", 400, false}, {"{c1}", 700, false}, {" y=2 ", 400, false},
                              {"{!c2}", 400, true}}},
      // A comment across lines keeps its style on the following lines.
      {"a {start\r\nmiddle\r\nend} z", {{"a ", 400, false}, {"{start", 700, false}, {"middle", 700, false},
                                        {"end}", 700, false}, {" z", 400, false}}},
      // A double quote inside a brace comment of depth 1 ends the styling.
      {"{a \"b} c", {{"{a \"", 700, false}, {"b} c", 400, false}}},
      // A quoted comment is a comment too.
      {"p \"q\" r", {{"p ", 400, false}, {"\"q\"", 700, false}, {" r", 400, false}}},
      // Comments one after the other are each styled.
      {"{a}{!b}c", {{"{a}", 700, false}, {"{!b}", 400, true}, {"c", 400, false}}},
      // A nested comment is one comment.
      {"{a {b} c} d", {{"{a {b} c}", 700, false}, {" d", 400, false}}},
  };
  for (const Case& c : cases) {
    ScopedPrintJobEnvironment env;
    Preferences.PrintCommentStyle1 = 1;  // bold
    Preferences.PrintCommentStyle2 = 2;  // italic
    const auto drawn = PrintText(env, c.equations);
    ASSERT_EQ(drawn.size(), c.runs.size()) << c.equations;
    for (size_t i = 0; i < drawn.size(); ++i) {
      EXPECT_EQ(drawn[i].Text, c.runs[i].text) << c.equations;
      EXPECT_EQ(drawn[i].Font.Weight, c.runs[i].weight) << c.equations << " " << drawn[i].Text;
      EXPECT_EQ(drawn[i].Font.Italic, c.runs[i].italic) << c.equations << " " << drawn[i].Text;
      EXPECT_EQ(drawn[i].Color, 0x000000u);
    }
  }
}

TEST(PrintEquations, CommentColoursWithPrintInColor) {
  ScopedPrintJobEnvironment env;
  Preferences.PrintInColor = 1;
  Preferences.CommentColor1 = 1;  // palette 1: blue
  Preferences.CommentColor2 = 2;  // palette 2: red
  const auto drawn = PrintText(env, "x {c} {!d}");
  ASSERT_EQ(drawn.size(), 4u);
  EXPECT_EQ(drawn[0].Color, 0x000000u);
  EXPECT_EQ(drawn[1].Color, 0x0000FFu);
  EXPECT_EQ(drawn[2].Color, 0x000000u);
  EXPECT_EQ(drawn[3].Color, 0xFF0000u);
  EXPECT_EQ(drawn[0].Font.Face, "Arial");
  EXPECT_EQ(drawn[0].Font.Height, -38);
}

TEST(PrintEquations, TabsStopAtTheTabWidth) {
  // The tab width in screen pixels becomes printer dots: x 300 / 96.
  struct Case {
    int16_t preference;
    int32_t stop;
  };
  for (const Case c : {Case{0, 75}, Case{4800, 150}}) {  // 24 px default; 48 px
    ScopedPrintJobEnvironment env;
    Preferences.TabWidth = c.preference;
    const auto drawn = PrintText(env, "a\tb\tc");
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_EQ(drawn[0].X, kMargin);
    EXPECT_EQ(drawn[1].X, kMargin + c.stop);
    EXPECT_EQ(drawn[2].X, kMargin + 2 * c.stop);
  }
}

TEST(PrintEquations, CancelStopsBeforeTheNextLine) {
  ScopedPrintJobEnvironment env;
  ASSERT_TRUE(env.BeginPrinterJob());
  PrintPageState = kPageStateCancel;
  const size_t header = env.devices.printer.Texts.size();
  PrintEquationsText("a=1\r\nb=2", 96);
  EXPECT_EQ(env.devices.printer.Texts.size(), header);
  EndPrintJob();
}

TEST(PrintSelection, TabsAreFiveBlanksAndTheJobIsItsOwn) {
  ScopedPrintJobEnvironment env;
  PrintEquationSelection("a\tb\r\nc\r\n", "");
  const RecordingPrintSurface& p = env.devices.printer;
  EXPECT_EQ(p.Title, "(Untitled)");
  EXPECT_EQ(p.Started, 1);
  EXPECT_EQ(p.Ended, 1);
  EXPECT_FALSE(Printing);
  std::vector<RecordingPrintSurface::TDrawnText> body;
  for (const auto& t : p.Texts) {
    if (t.Y >= 5 * 46) body.push_back(t);
  }
  ASSERT_EQ(body.size(), 4u);
  EXPECT_EQ(body[0].Text, "a");
  EXPECT_EQ(body[0].X, kMargin);
  EXPECT_EQ(body[1].Text, "     ");
  EXPECT_EQ(body[2].Text, "b");
  EXPECT_EQ(body[2].X, kMargin + 6 * kCharWidth);
  EXPECT_EQ(body[3].Text, "c");
  EXPECT_EQ(body[3].Y, 6 * 46);
  // The final line break counted one line more.
  EXPECT_EQ(PrintState.CurrentLine, 7);
}

TEST(PrintSelection, WrapsAtAnOperatorNearTheRightEdge) {
  ScopedPrintJobEnvironment env;
  std::string selection;
  while (selection.size() < 200) selection += "ab+";
  PrintEquationSelection(selection, "C:\\A.VOQ");
  int32_t lines = 0;
  for (const auto& t : env.devices.printer.Texts) {
    if (t.X == kMargin && t.Y >= 5 * 46) {
      ++lines;
      if (t.Y > 5 * 46) {
        EXPECT_EQ(t.Text, "+");
      }
    }
  }
  EXPECT_GE(lines, 2);
}

TEST(PrintSelection, AJobThatCannotBeginEndsSilently) {
  ScopedPrintJobEnvironment env;
  env.devices.printer.Usable = false;
  PrintEquationSelection("abc", "");
  EXPECT_FALSE(Printing);
  EXPECT_TRUE(env.devices.printer.Texts.empty());
}

}  // namespace
}  // namespace voq

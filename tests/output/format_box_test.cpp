// The box model of formatted equations on the fixed-width canvas: every
// character is half the font height wide (rounded up) and a text is the
// font height high, so widths and positions below are hand counts.
#include "output/format_box.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/document_settings.h"
#include "output/print_engine.h"
#include "output/print_test_support.h"

namespace voq {
namespace {

class FormatBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Preferences.ShowSubscripts = 1;
    Preferences.DisplayFontSize = 3;  // 12 points: 16 px
    form.SetupFonts();
  }
  void TearDown() override { DisposeFormatEqn(list); }

  RecordingCanvas canvas;
  TFormattedForm form{canvas};
  TFormatBox* list = nullptr;
};

struct TFontCase {
  bool Printing;
  int16_t Index;
  int32_t Base;  // points x 96 div 72
};

TEST_F(FormatBoxTest, SetupFontsTakesTheSizeOfTheListIndex) {
  const TFontCase cases[] = {
      {false, 0, 13}, {false, 1, 12}, {false, 3, 16}, {false, 6, 24}, {false, 9, 13},
      {true, 0, 12},  {true, 1, 10},  {true, 6, 18},  {true, 40, 12},
  };
  for (const TFontCase& c : cases) {
    Printing = c.Printing;
    PrintLineHeight = 20;
    PrintState.PageHeight = 1020;
    PrintState.LinesPerPage = 60;  // 17 dots a line, rounded up to even: 18
    Preferences.DisplayFontSize = c.Index;
    Preferences.PrinterFontSize = c.Index;
    form.SetupFonts();
    EXPECT_EQ(form.BaseFontSize, c.Base) << c.Printing << " " << c.Index;
    if (c.Printing) {
      EXPECT_EQ(form.LineHeight, 20);
      EXPECT_EQ(LineStep, 18);
    } else {
      EXPECT_EQ(form.LineHeight, c.Base);  // the height of "Hg"
      EXPECT_EQ(LineStep, c.Base * 3 / 4 + 1);
    }
  }
  Printing = false;
}

TEST_F(FormatBoxTest, TextSizeStyleClampsAndPicksTheFace) {
  form.TextSizeStyle(40, 5);
  EXPECT_EQ(canvas.Font().Face, "Symbol");
  EXPECT_EQ(canvas.Font().Height, 28);
  form.TextSizeStyle(2, 1);
  EXPECT_EQ(canvas.Font().Face, "Arial");
  EXPECT_EQ(canvas.Font().Height, 6);
  EXPECT_TRUE(canvas.Font().Bold);
  form.TextSizeStyle(10, 4);
  EXPECT_TRUE(canvas.Font().Underline);
  EXPECT_EQ(form.CurrentFontSize, 10);
  EXPECT_EQ(form.CurrentFontStyle, 4);
}

struct TNewBoxCase {
  const char* Text;
  bool Subscripts;
  int32_t Width;  // hand count at 8 px a character, 7 px in the subscript font
};

TEST_F(FormatBoxTest, NewBoxWidths) {
  const TNewBoxCase cases[] = {
      {"ab", true, 16},
      {"a-b", true, 26},          // en dash: 2 px more
      {"T_1", true, 16},          // T, then 1 in the 14 px font, + 1
      {"T_1", false, 24},         // drawn as three characters
      {"x\\_", true, 9},          // the accent's backslash takes no width
      {"m\x05" "2", true, 16},    // superscript codes are not measured
  };
  for (const TNewBoxCase& c : cases) {
    Preferences.ShowSubscripts = c.Subscripts ? 1 : 0;
    form.LineTop = 40;
    TFormatBox* box = form.NewBox(c.Text, 16, 0);
    EXPECT_EQ(box->Width, c.Width) << c.Text;
    EXPECT_EQ(box->Height, 16);
    EXPECT_EQ(box->Rect.Top, 40);
    EXPECT_EQ(box->Rect.Right, c.Width);
    DisposeFormatEqn(box);
  }
}

TEST_F(FormatBoxTest, EnDashIsSpacedOnePixelEachSide) {
  TFormatBox* box = form.NewBox("a-b", 16, 0);
  EXPECT_EQ(box->Text, std::string("a") + kCodeEnDash + "b");
  form.MoveTOSK(10, 0);
  form.DrawUnderScoreString(box->Text, 16, false, false, false, false, 0, 0);
  const auto texts = canvas.Texts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0]->X, 10);
  EXPECT_EQ(texts[1]->Text, std::string(1, kCodeEnDash));
  EXPECT_EQ(texts[1]->X, 19);
  EXPECT_EQ(texts[2]->X, 28);
  EXPECT_EQ(form.PenX - 10, box->Width);
  DisposeFormatEqn(box);
}

TEST_F(FormatBoxTest, SubscriptIsSmallerAndAThirdOfTheLineLower) {
  form.MoveTOSK(0, 30);
  form.DrawUnderScoreString("T_1", 16, false, false, false, false, 0, 0);
  auto texts = canvas.Texts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0]->Text, "T");
  EXPECT_EQ(texts[1]->Text, "1");
  EXPECT_EQ(texts[1]->Font.Height, 14);
  EXPECT_EQ(texts[1]->X, 9);
  EXPECT_EQ(texts[1]->Y, 30 + 16 / 3);

  // Without the preference the markup is text.
  canvas.Operations.clear();
  Preferences.ShowSubscripts = 0;
  form.MoveTOSK(0, 30);
  form.DrawUnderScoreString("T_1", 16, false, false, false, false, 0, 0);
  texts = canvas.Texts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0]->Text, "T_1");
}

TEST_F(FormatBoxTest, GreekSubscriptsAndTheSecondLevel) {
  // alpha_beta: the name in the Symbol face, the subscript too.
  form.MoveTOSK(0, 0);
  form.DrawUnderScoreString("a_b", 16, false, false, true, false, 0, 5);
  auto texts = canvas.Texts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0]->Font.Face, "Symbol");
  EXPECT_EQ(texts[1]->Font.Face, "Symbol");
  // x_a_b: the second level follows the argument separator.
  canvas.Operations.clear();
  form.DrawUnderScoreString("x_a_b", 16, false, true, false, false, 0, 0);
  texts = canvas.Texts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[1]->Text, "a,");
  EXPECT_EQ(texts[1]->Font.Face, "Arial");
  EXPECT_EQ(texts[2]->Text, "b");
  EXPECT_EQ(texts[2]->Font.Face, "Symbol");
  EXPECT_EQ(texts[2]->Y, texts[1]->Y);
}

TEST_F(FormatBoxTest, AccentsAreDrawnOverTheText) {
  form.MoveTOSK(20, 10);
  form.DrawUnderScoreString("x\\_", 16, false, false, false, false, 0, 0);
  const TCanvasOperation* bar = nullptr;
  for (const TCanvasOperation& op : canvas.Operations) {
    if (op.Operation == TCanvasOperation::kLine) bar = &op;
  }
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(canvas.AllText(), "x");
  EXPECT_EQ(bar->Y, 11);  // one lower over a small letter
  EXPECT_EQ(bar->Y2, 11);
  EXPECT_LE(bar->X, 20);
  EXPECT_GE(bar->X2, 28);
}

TEST_F(FormatBoxTest, ExponentNumberShowsTimesTen) {
  form.MoveTOSK(0, 20);
  form.DrawUnderScoreString("1.5E-6", 16, false, false, false, false, kRoleExponentNumber, 0);
  const auto texts = canvas.Texts();
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_EQ(texts[0]->Text, "1.5");
  EXPECT_EQ(texts[1]->Text, "x");
  EXPECT_EQ(texts[2]->Text, "10");
  EXPECT_EQ(texts[3]->Text, "-6");
  EXPECT_EQ(texts[3]->Font.Height, 13);
  EXPECT_EQ(texts[3]->Y, 20 - (16 / 2 - 3));
}

TEST_F(FormatBoxTest, ParenthesesByHeight) {
  // A one-line operand gets text parentheses.
  list = form.NewBox("ab", 16, 0);
  form.Parenthesize(list);
  std::vector<std::string> texts;
  for (TFormatBox* b = list; b != nullptr; b = b->Next) texts.push_back(b->Text);
  EXPECT_EQ(texts, (std::vector<std::string>{"", "(", "ab", ")"}));
  EXPECT_EQ(list->Next->Width, 9);
  EXPECT_EQ(list->Next->Next->Rect.Left, 9);
  DisposeFormatEqn(list);

  // Two pixels taller than the line: drawn ones, at least 7 px wide.
  list = form.NewBox("ab", 16, 0);
  list->Rect.Bottom += 2;
  form.Parenthesize(list);
  TFormatBox* left = list->Next;
  TFormatBox* right = LastBox(list);
  EXPECT_EQ(left->Role, kRoleLeftParenthesis);
  EXPECT_EQ(right->Role, kRoleRightParenthesis);
  EXPECT_EQ(left->Width, 7);
  EXPECT_EQ(left->Height, 18);
  EXPECT_EQ(right->Rect.Bottom - right->Rect.Top, 18);
  EXPECT_EQ(right->Rect.Left, 7 + 16 + 1);
  EXPECT_EQ(list->Rect.Right, right->Rect.Right);
}

TEST_F(FormatBoxTest, HeightAndMidLineLeaveExponentsOut) {
  list = form.NewBox("", -1, 0);
  list->Rect = TRect{0, 3, 30, 40};
  TFormatBox* exponent = form.NewBox("2", 13, 0);
  exponent->Marker = kMarkerExponentLast;
  exponent->Rect = TRect{10, 0, 17, 13};
  list->Next = exponent;
  // Only exponent boxes are visible: the first box's rectangle.
  EXPECT_EQ(form.GetHeight(list), 37);

  TFormatBox* base = form.NewBox("x", 16, 0);
  base->Rect = TRect{0, 10, 8, 26};
  exponent->Next = base;
  EXPECT_EQ(form.GetHeight(list), 16);
  EXPECT_EQ(form.ListMidLine(list), 18);
  EXPECT_EQ(form.GetWidth(list), 17);
}

TEST_F(FormatBoxTest, MidLineOfFractionsIsTheWidestBar) {
  list = form.NewBox("", -1, 0);
  TFormatBox* narrow = form.NewBox("", 16, 0);
  narrow->Role = kRoleWidestFractionBar;
  narrow->Width = 10;
  narrow->Rect = TRect{0, 50, 10, 51};
  TFormatBox* wide = form.NewBox("", 16, 0);
  wide->Role = kRoleFractionBar;
  wide->Width = 30;
  wide->Rect = TRect{0, 20, 30, 21};
  list->Next = narrow;
  narrow->Next = wide;
  EXPECT_EQ(form.ListMidLine(list), 29);
  EXPECT_EQ(wide->Role, kRoleWidestFractionBar);
  EXPECT_EQ(narrow->Role, kRoleFractionBar);
}

TEST_F(FormatBoxTest, ShrinkGroupAndBars) {
  list = form.NewBox("ab", 16, 0);
  ShiftH(list, 16);
  ShrinkForExponent(list);
  EXPECT_EQ(list->FontSize, 13);
  EXPECT_EQ(list->Rect.Left, 14);
  EXPECT_EQ(list->Rect.Right, 28);
  EXPECT_EQ(list->Width, 14);

  TFormatBox* second = form.NewBox("c", 16, 0);
  second->Rect = TRect{40, -5, 48, 11};
  list->Next = second;
  form.GroupBoxes(list);
  EXPECT_EQ(list->FontSize, -1);
  EXPECT_EQ(list->Rect.Left, 14);
  EXPECT_EQ(list->Rect.Top, -5);
  EXPECT_EQ(list->Rect.Right, 48);

  form.AddLeftBar(list);
  form.AddRightBar(list->Next);
  EXPECT_EQ(list->Role, kRoleAbsoluteBar);
  EXPECT_EQ(list->Width, 7);
  EXPECT_EQ(LastBox(list)->Role, kRoleAbsoluteBar);
  EXPECT_EQ(LastBox(list)->Rect.Left, 48 + 7);
}

struct TMarkupCase {
  const char* In;
  const char* Out;
};

TEST_F(FormatBoxTest, MarkSuperscriptsOfUnits) {
  const TMarkupCase cases[] = {
      {"m^2", "m\x05" "2"},
      {"m^2/s^2", "m\x05" "2\x06/s\x05" "2"},
      {"kJ/kg-K", "kJ/kg-K"},
      {"[m]", "m"},
      {"m^(23)", "m\x05" "23"},
      {"s^\xC0" "1", "s\x05-1"},
  };
  for (const TMarkupCase& c : cases) {
    std::string s = c.In;
    MarkSuperscripts(s, 30);
    EXPECT_EQ(s, c.Out) << c.In;
  }
  std::string s = "a.b.c";
  ReplaceChar(s, 30, '.', "::");
  EXPECT_EQ(s, "a::b::c");
}

TEST_F(FormatBoxTest, NeedsParenthesesOnlyForALooseSum) {
  auto make = [&](const std::vector<std::pair<std::string, int32_t>>& boxes) {
    DisposeFormatEqn(list);
    TFormatBox* tail = nullptr;
    for (const auto& [text, marker] : boxes) {
      TFormatBox* b = form.NewBox(text, 16, 0);
      b->Marker = marker;
      if (tail == nullptr) {
        list = b;
      } else {
        tail->Next = b;
      }
      tail = b;
    }
    return list;
  };
  EXPECT_TRUE(NeedsParentheses(make({{"a", 0}, {" + ", 5}, {"b", 0}})));
  EXPECT_FALSE(NeedsParentheses(make({{"a", 0}, {" . ", 8}, {"b", 0}})));
  EXPECT_FALSE(NeedsParentheses(make({{"(", 0}, {"a", 0}, {" - ", 6}, {"b", 0}, {")", 0}})));
  EXPECT_TRUE(NeedsParentheses(make({{"(", 0}, {"a", 0}, {")", 0}, {" + ", 5}, {"b", 0}})));
}

TEST_F(FormatBoxTest, LineAdvanceOnScreen) {
  int32_t y = 5;
  form.AdvanceLine(y, 21);
  EXPECT_EQ(y, 26);
  LineStep = 10;
  EXPECT_EQ(form.LinesFor(21), 5);  // (42 + 9) div 10
}

// Drawing a list: the bar lies LineHeight x 3/4 - 3 px below its box's top;
// tall brackets alternate, square outside and round inside.
TEST_F(FormatBoxTest, DrawingRolesOfAList) {
  auto box = [&](int32_t role, TRect rect) {
    TFormatBox* b = form.NewBox("", 16, 0);
    b->Role = role;
    b->Rect = rect;
    b->Width = rect.Right - rect.Left;
    b->Height = rect.Bottom - rect.Top;
    return b;
  };
  list = box(kRoleFractionBar, TRect{0, 20, 30, 21});
  TFormatBox* outer = box(kRoleLeftParenthesis, TRect{40, 0, 47, 40});
  TFormatBox* inner = box(kRoleLeftParenthesis, TRect{47, 5, 54, 35});
  TFormatBox* innerEnd = box(kRoleRightParenthesis, TRect{60, 5, 67, 35});
  TFormatBox* outerEnd = box(kRoleRightParenthesis, TRect{67, 0, 74, 40});
  list->Next = outer;
  outer->Next = inner;
  inner->Next = innerEnd;
  innerEnd->Next = outerEnd;
  form.DrawFormattedEqn(list, 100, 200);
  std::vector<const TCanvasOperation*> lines;
  for (const TCanvasOperation& op : canvas.Operations) {
    if (op.Operation == TCanvasOperation::kLine) lines.push_back(&op);
  }
  // Bar 1, square bracket 3, round bracket 16 segments, 16, square 3.
  ASSERT_EQ(lines.size(), 1u + 3 + 16 + 16 + 3);
  EXPECT_EQ(lines[0]->Y, 200 + 20 - 3 + 16 * 3 / 4);
  EXPECT_EQ(lines[0]->X, 100);
  EXPECT_EQ(lines[0]->X2, 130);
  // The outer left bracket: a serif at its top, the stem, a serif at its
  // bottom, the stem as tall as the box.
  EXPECT_EQ(lines[2]->X, lines[2]->X2);
  EXPECT_EQ(lines[2]->Y2 - lines[2]->Y, 40);
  // The inner one bulges left of its box moved 2 px right: its middle
  // point touches the box's left edge + 2.
  EXPECT_EQ(lines[4 + 7]->X2, 100 + 47 + 2);
  EXPECT_EQ(lines[4 + 7]->Y2, 200 + 20);
}

// On paper the line moves in half-line steps, and a statement that would
// reach the page's last line and a half goes to the next page.
TEST_F(FormatBoxTest, LineAdvanceOnPaperBreaksThePage) {
  test::ScopedPrintJobEnvironment job;
  ASSERT_TRUE(job.BeginPrinterJob());
  form.SetupFonts();
  form.PageHeight = PrintState.PageHeight;
  ASSERT_GT(LineStep, 0);
  const int32_t h = LineStep + 1;  // two half-line steps of height, rounded
  const int32_t advance = form.LinesFor((h + 1) / 2 * 2) * LineStep / 2;
  int32_t y = 0;
  form.AdvanceLine(y, h);
  EXPECT_EQ(y, advance);
  const int32_t page = PrintState.PageNumber;
  y = form.PageHeight - LineStep * 3 / 2 - advance;
  form.AdvanceLine(y, h);
  EXPECT_EQ(PrintState.PageNumber, page + 1);
  EXPECT_EQ(y, PrintState.CurrentLine * LineStep + advance);
  EndPrintJob();
  Printing = false;
}

}  // namespace
}  // namespace voq

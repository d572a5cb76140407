// The page of the Formatted Equations window on the fixed-width canvas
// (16 px base font, 8 px characters): placement of statements, the hit
// records, selection and dragging, the band laid out again, and where a
// printed statement is broken.
#include "output/formatted_page.h"

#include <gtest/gtest.h>

#include <string>

#include "core/calc_state.h"
#include "documents/document_image.h"
#include "language/reader_state.h"
#include "output/formatted_comments.h"
#include "output/formatted_offsets.h"
#include "output/print_engine.h"
#include "output/print_test_support.h"
#include "session/document_reset.h"
#include "language/store_fixture.h"
#include "model/document_settings.h"
#include "model/program_units.h"
#include "model/routines.h"
#include "model/store_state.h"
#include "output/equation_typesetter.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "session/compile_driver.h"

namespace voq {
namespace {

class FormattedPageTest : public testing::LanguageStoreTest {
 protected:
  void SetUp() override {
    LanguageStoreTest::SetUp();
    SetEquationsEditor(&editor);
    CheckOnlyMode = true;
    Preferences.ShowSubscripts = 1;
    Preferences.DisplayFontSize = 3;
    form.SetupFonts();
  }
  void TearDown() override {
    SetEquationsEditor(nullptr);
    CheckOnlyMode = false;
    Preferences = TPreferencesRecord{};
    LanguageStoreTest::TearDown();
  }
  void Read(const std::string& text) {
    testing::FreshStore();
    editor.SetText(text);
    EquationsCompiled = false;
    CompileEquations(false, false);
    ASSERT_EQ(CalcErrorCode, 0);
  }
  TEquationRecord* Statement(int n) {
    TEquationRecord* e = MainProgramUnit->FirstEquation;
    while (n-- > 0 && e != nullptr) e = e->Next;
    return e;
  }

  ScriptedPlatform platform;
  ScopedPlatform scoped{platform};
  InMemoryEquationsEditor editor;
  RecordingCanvas canvas;
  TFormattedForm form{canvas};
  TFormattedEquations page{form};
};

TEST_F(FormattedPageTest, StatementsOfOneTextLineStandSideBySide) {
  Read(std::string("a = 1") + StatementSeparator + " b = 2\r\nc = 3");
  page.DrawFormatEqns(5, 0, 600);
  ASSERT_EQ(page.FormatRecordList.size(), 3u);
  const TScreenRect& a = Statement(0)->DisplayRect;
  const TScreenRect& b = Statement(1)->DisplayRect;
  const TScreenRect& c = Statement(2)->DisplayRect;
  EXPECT_EQ(b.Left, a.Right + 20);
  EXPECT_EQ(b.Top, a.Top);
  EXPECT_EQ(c.Left, a.Left);
  EXPECT_GT(c.Top, a.Bottom);
  // The hit rectangle is the statement's, 3 wider and 1 taller each way.
  EXPECT_EQ(page.FormatRecordList[1].HitRect.Left, b.Left - 3);
  EXPECT_EQ(page.FormatRecordList[1].HitRect.Bottom, b.Bottom + 1);
}

TEST_F(FormattedPageTest, ClickSelectsAndDragMovesKeepingTheOffset) {
  Read("a = 1\r\nb = 2");
  page.DrawFormatEqns(5, 0, 600);
  TEquationRecord* a = Statement(0);
  const int32_t x = a->DisplayRect.Left + 4;
  const int32_t y = a->DisplayRect.Top + 4;
  struct Case {
    int32_t Dx, Dy;
    uint8_t Selected;
    int16_t OffsetX, OffsetY;
  };
  // A 1-unit drag is a click; 2 units move the statement.
  const Case cases[] = {{1, 1, 1, 0, 0}, {0, 0, 0, 0, 0}, {2, 0, 0, 2, 0}, {0, -5, 0, 2, -5}};
  for (const Case& c : cases) {
    const int32_t fromX = x + a->OffsetX;
    const int32_t fromY = y + a->OffsetY;
    page.MouseDown(fromX, fromY);
    EXPECT_TRUE(page.MouseUp(fromX + c.Dx, fromY + c.Dy));
    EXPECT_EQ(a->Selected, c.Selected) << c.Dx << "," << c.Dy;
    EXPECT_EQ(a->OffsetX, c.OffsetX);
    EXPECT_EQ(a->OffsetY, c.OffsetY);
    page.DrawFormatEqns(5, 0, 600);
  }
  // The hit test follows the moved statement.
  EXPECT_EQ(page.StatementAt(x + 2, y - 5), a);
  EXPECT_EQ(page.StatementAt(x + 2, y + 60), nullptr);
  // A press on empty paper unselects everything.
  page.SelectAll(0, 600);
  EXPECT_TRUE(page.IsSelected());
  page.MouseDown(590, 590);
  EXPECT_FALSE(page.IsSelected());
}

TEST_F(FormattedPageTest, RoutinesHaveHeaderAndEndLines) {
  Read("FUNCTION f(a, b)\r\n f := a*b\r\nEND\r\nPROCEDURE p(x : y)\r\n y := 2*x\r\nEND\r\nz = f(1, 2)");
  page.DrawFormatEqns(5, 0, 600);
  ASSERT_EQ(page.FormatRecordList.size(), 7u);
  const int32_t kinds[] = {1, 0, -1, 2, 0, -2, 0};
  for (size_t k = 0; k < 7; ++k) EXPECT_EQ(page.FormatRecordList[k].RoutineIndex, kinds[k]) << k;
  // A routine's statements are indented 15 px past the headers.
  EXPECT_EQ(page.FormatRecordList[1].HitRect.Left, page.FormatRecordList[0].HitRect.Left + 15);
  // Selecting a header by a click, then Select All over a band that holds
  // only the first routine.
  const TRect h = page.FormatRecordList[0].HitRect;
  page.MouseDown(h.Left + 5, h.Top + 5);
  page.MouseUp(h.Left + 5, h.Top + 5);
  EXPECT_EQ(RoutineAt(1)->Selected[0], 1);
  page.SelectAll(0, page.FormatRecordList[2].HitRect.Bottom);
  EXPECT_EQ(RoutineAt(1)->Selected[1], 1);
  EXPECT_EQ(RoutineAt(2)->Selected[0], 0);
  EXPECT_EQ(MainProgramUnit->FirstEquation->Selected, 0);
}

TEST_F(FormattedPageTest, AScrolledPaintLaysOutOnlyTheBandNearTheView) {
  std::string text;
  for (int k = 1; k <= 200; ++k) text += "x" + std::to_string(k) + " = " + std::to_string(k) + "\r\n";
  Read(text);
  const int32_t end = page.DrawFormatEqns(5, 0, 400);
  EXPECT_EQ(page.LaidOutCount, 200);
  EXPECT_EQ(page.PaintedHeight, end);
  // Scrolled to the middle: the 400 px band and 64 px below it.
  const int32_t top = end / 2;
  page.DrawFormatEqns(5, top, top + 400);
  EXPECT_GT(page.LaidOutCount, 10);
  EXPECT_LT(page.LaidOutCount, 40);
  EXPECT_EQ(page.FormatRecordList.size(), 200u);
  // Every statement keeps its place, laid out or not.
  EXPECT_EQ(page.PaintedHeight, end);
}

TEST_F(FormattedPageTest, ALongPrintedStatementBreaksBeforeAnOperator) {
  Read("y = alpha + beta + gamma + delta + epsilon");
  TFormatBox* list = doFormatEqn(form, MainProgramUnit->FirstEquation, 0, 0);
  ASSERT_NE(list, nullptr);
  struct Case {
    int32_t Limit;
    const char* CutBefore;  // the text after the cut, "" for none
  };
  // Greek names are single Symbol-face letters: the statement is 198 px
  // wide, its operators start at 60, 95, 130 and 165; the cut goes
  // before the operator ahead of the one that reaches the limit.
  const Case cases[] = {{2000, ""}, {195, "e"}, {150, "d_@"}, {100, "g"}};
  for (const Case& c : cases) {
    TFormatBox* cut = BreakPrintedEquation(form, list, c.Limit);
    if (*c.CutBefore == '\0') {
      EXPECT_EQ(cut, nullptr) << c.Limit;
      continue;
    }
    ASSERT_NE(cut, nullptr) << c.Limit;
    EXPECT_EQ(cut->Role, kRoleBreakOperator);
    EXPECT_EQ(cut->Text, " + ");
    ASSERT_NE(cut->Next, nullptr);
    EXPECT_EQ(cut->Next->Text, c.CutBefore) << c.Limit;
    EXPECT_LT(cut->Rect.Left - list->Rect.Left, c.Limit);
  }
  DisposeFormatEqn(list);
}

// The comments of the text: one on a statement's line follows it 15 px to
// its right, one on a line of its own starts at the left edge between the
// statements, one before a statement on its line pushes the statement
// right by its width + 15.
TEST_F(FormattedPageTest, CommentsKeepTheirPlaceBetweenStatements) {
  Read("a = 1 {after a}\r\n{own line}\r\nb = 2\r\n{first} c = 3");
  page.DrawFormatEqns(5, 0, 600);
  ASSERT_EQ(page.CommentHits.size(), 3u);
  const TScreenRect& a = Statement(0)->DisplayRect;
  const TScreenRect& b = Statement(1)->DisplayRect;
  const TScreenRect& c = Statement(2)->DisplayRect;
  const TRect after = page.CommentHits[0].Rect;
  const TRect own = page.CommentHits[1].Rect;
  const TRect first = page.CommentHits[2].Rect;
  EXPECT_EQ(after.Left, a.Right + 15);
  EXPECT_GE(after.Top, a.Top);
  EXPECT_LT(after.Top, a.Bottom);
  EXPECT_EQ(after.Right - after.Left, 7 * 8);  // "after a" at 8 px a character
  EXPECT_EQ(own.Left, 10);
  EXPECT_GT(own.Top, a.Bottom);
  EXPECT_GT(b.Top, own.Top);
  EXPECT_EQ(first.Left, 10);
  EXPECT_EQ(c.Left, first.Right + 15);
  EXPECT_EQ(c.Top, first.Top);
  // The comment's text without its braces, in the comment colour.
  bool found = false;
  for (const TCanvasOperation& op : canvas.Operations) {
    if (op.Operation == TCanvasOperation::kTextOut && op.Text == "o" && op.X == own.Left) {
      found = true;
      EXPECT_EQ(op.Colour, PaletteColorRGB(Preferences.CommentColor1));
    }
  }
  EXPECT_TRUE(found);
  // Copy's text: the statements and comments in page order, one line of
  // the page a line, items of one line apart by a tab.
  EXPECT_EQ(page.CopyText(), "a = 1\tafter a\r\nown line\r\nb = 2\r\nfirst\tc = 3\r\n");
  // A click on a comment selects it; then only it is copied.
  page.MouseDown(own.Left + 2, own.Top + 2);
  page.MouseUp(own.Left + 2, own.Top + 2);
  EXPECT_TRUE(page.IsSelected());
  EXPECT_EQ(page.CopyText(), "own line\r\n");
  // A drag moves it by its offset.
  page.MouseDown(own.Left + 2, own.Top + 2);
  page.MouseUp(own.Left + 42, own.Top + 2);
  EXPECT_EQ(CommentRecordList[1].windowData1, 40);
}

// The markup of comment texts on the fixed-width canvas: "_dot" is a dot
// over the word and is not drawn; "_" starts a subscript (smaller,
// lowered), a second "_" in it is a comma; "^" a superscript.
TEST_F(FormattedPageTest, CommentMarkupAccentsAndScripts) {
  TCommentPlace place;
  place.X = 100;
  place.Y = 50;
  place.LineLeft = 100;
  const TRect r = DrawCommentText(form, "v_dot = x_i_j + y^2", place, TCommentLook{});
  std::string drawn;
  int32_t ellipses = 0;
  TCanvasOperation dot;
  std::vector<TCanvasOperation> texts;
  for (const TCanvasOperation& op : canvas.Operations) {
    if (op.Operation == TCanvasOperation::kEllipse) {
      ellipses += 1;
      dot = op;
    }
    if (op.Operation == TCanvasOperation::kTextOut) {
      drawn += op.Text;
      texts.push_back(op);
    }
  }
  EXPECT_EQ(drawn, "v = xi,j + y2");
  ASSERT_EQ(ellipses, 1);
  // Centred over the "v" (100..108), at the top of the line.
  EXPECT_EQ((dot.X + dot.X2) / 2, 104);
  EXPECT_LE(dot.Y, 52);
  // "i" lowered by 5/12 of the base size, smaller; "2" raised by 1/5.
  const int32_t base = form.BaseFontSize;
  for (const TCanvasOperation& op : texts) {
    if (op.Text == "i") {
      EXPECT_EQ(op.Y, 50 + base * 5 / 12);
      EXPECT_EQ(op.Font.Height, base * 4 / 5);
    }
    if (op.Text == "2") {
      EXPECT_EQ(op.Y, 50 - base / 5);
    }
    if (op.Text == "x") {
      EXPECT_EQ(op.Y, 50);
    }
  }
  EXPECT_EQ(r.Left, 100);
  EXPECT_GT(r.Right, 100 + 8 * 8);
}

// "$INCLUDE" lines head the page in dark green; a MODULE is drawn with its
// header and end line, its statements indented, and the CALL shows in the
// main program once (the statements the CALL was compiled into are not
// shown).
TEST_F(FormattedPageTest, IncludeLinesAndModules) {
  Read("MODULE md(a : b)\r\n b = 2*a\r\nEND\r\nCALL md(1 : z)");
  editor.SetText(editor.GetText() + "\r\n$INCLUDE extra.lib");
  page.DrawFormatEqns(5, 0, 600);
  bool green = false;
  for (const TCanvasOperation& op : canvas.Operations) {
    if (op.Operation == TCanvasOperation::kTextOut && op.Text == "$INCLUDE extra.lib") {
      green = op.Colour == MakeRgb(0, 128, 0);
      EXPECT_EQ(op.X, 10);
    }
  }
  EXPECT_TRUE(green);
  ASSERT_EQ(page.FormatRecordList.size(), 4u);
  EXPECT_EQ(page.FormatRecordList[0].UnitIndex, 1);
  EXPECT_EQ(page.FormatRecordList[2].UnitIndex, -1);
  ASSERT_NE(page.FormatRecordList[1].Statement, nullptr);
  EXPECT_EQ(page.FormatRecordList[1].HitRect.Left, page.FormatRecordList[0].HitRect.Left + 15);
  ASSERT_NE(page.FormatRecordList[3].Statement, nullptr);
  EXPECT_LT(page.FormatRecordList[3].Statement->CalledUnit, 0);
  // Module headers select like routine headers.
  const TRect h = page.FormatRecordList[0].HitRect;
  page.MouseDown(h.Left + 5, h.Top + 5);
  page.MouseUp(h.Left + 5, h.Top + 5);
  EXPECT_EQ(ProgramUnitList[1]->FormattedBytes[0], 1);
  EXPECT_EQ(page.CopyText(), "MODULE md(a : b)\r\n");
}

// A moved statement keeps its place after the document is saved, reset
// and opened again (the statements are compiled afresh then).
TEST_F(FormattedPageTest, MovedStatementsTravelWithTheDocument) {
  const std::string text = "a = 1\r\nb = 2";
  Read(text);
  page.DrawFormatEqns(5, 0, 600);
  TEquationRecord* b = Statement(1);
  const int32_t x = b->DisplayRect.Left + 3;
  const int32_t y = b->DisplayRect.Top + 3;
  page.MouseDown(x, y);
  page.MouseUp(x + 30, y + 7);
  EXPECT_EQ(b->OffsetX, 30);
  const std::vector<uint8_t> image = WriteDocumentImage(text);
  // A document without moves has no block: its bytes stay as they were.
  FormattedOffsets.clear();
  const std::vector<uint8_t> plain = WriteDocumentImage(text);
  ASSERT_EQ(image.size(), plain.size() + 16);
  EXPECT_EQ(std::string(image.begin() + plain.size(), image.begin() + plain.size() + 4), "FEQO");

  ResetDocument();
  EXPECT_TRUE(FormattedOffsets.empty());
  const TDocumentReadResult read = ReadDocumentImage(image.data(), image.size());
  ASSERT_TRUE(read.Read);
  EXPECT_EQ(read.FailedSection, 0);
  Read(read.Text);
  page.PaintedHeight = 0;
  page.DrawFormatEqns(5, 0, 600);
  EXPECT_EQ(Statement(1)->OffsetX, 30);
  EXPECT_EQ(Statement(1)->OffsetY, 7);
  EXPECT_EQ(Statement(0)->OffsetX, 0);
  EXPECT_EQ(page.StatementAt(x + 30, y + 7), Statement(1));

  // A damaged block (a count beyond the data) loses only the moves.
  std::vector<uint8_t> damaged = image;
  damaged[plain.size() + 4] = 0x7F;
  ResetDocument();
  const TDocumentReadResult again = ReadDocumentImage(damaged.data(), damaged.size());
  EXPECT_TRUE(again.Read);
  EXPECT_EQ(again.FailedSection, 0);
  EXPECT_TRUE(FormattedOffsets.empty());
}

// Printing on a recording surface: a long statement breaks before an
// operator and the rest starts at 4/3 of the left margin; statements that
// do not fit on the page go on the next.
TEST_F(FormattedPageTest, PrintingBreaksLongStatementsAndPages) {
  std::string text = "y = alpha1 + beta2 + gamma3 + delta4 + epsilon5 + zeta6 + eta7 + theta8 + iota9 + kappa10 + "
                     "lambda11 + mu12 + nu13 + xi14 + omicron15 + pi16 + rho17 + sigma18 + tau19\r\n";
  text += "z = 2*(a + b)\r\n";
  for (int k = 1; k <= 80; ++k) text += "x" + std::to_string(k) + " = " + std::to_string(k) + "\r\n";
  Read(text);
  test::ScopedPrintJobEnvironment job;
  ASSERT_TRUE(job.BeginPrinterJob());
  page.Print();
  EndPrintJob();
  Printing = false;
  const RecordingPrintSurface& surface = job.devices.printer;
  // The first statement's boxes: on two lines, the second starting at
  // 4/3 of the left margin with an operator.
  int32_t firstY = -1;
  int32_t secondY = -1;
  int32_t restLeft = -1;
  for (const RecordingPrintSurface::TDrawnText& t : surface.SheetTexts(0)) {
    if (t.Text == "y" && firstY < 0) firstY = t.Y;
    if (firstY >= 0 && t.Y > firstY + 5 && secondY < 0 && t.Text.find('+') != std::string::npos) {
      secondY = t.Y;
      restLeft = t.X;
    }
  }
  ASSERT_GE(firstY, 0);
  ASSERT_GT(secondY, firstY);
  EXPECT_EQ(restLeft, PrintLeftMargin * 4 / 3);
  // Parentheses around one line of text are text on paper as on screen.
  bool textParenthesis = false;
  for (const RecordingPrintSurface::TDrawnText& t : surface.SheetTexts(0)) textParenthesis |= t.Text == "(";
  EXPECT_TRUE(textParenthesis);
  // 81 statements do not fit on one sheet: the last ones are on the next.
  EXPECT_GE(surface.Sheet, 1);
  bool lastOnSecond = false;
  for (const RecordingPrintSurface::TDrawnText& t : surface.SheetTexts(1)) lastOnSecond |= t.Text == "x80";
  EXPECT_TRUE(lastOnSecond);
  int32_t lowest = 0;
  for (const RecordingPrintSurface::TDrawnText& t : surface.SheetTexts(0)) lowest = std::max(lowest, t.Y);
  EXPECT_LT(lowest, surface.PageHeight);
}

// The text drawn on the recording canvas that equals text, or null.
const TCanvasOperation* DrawnText(const RecordingCanvas& c, const std::string& text) {
  for (const TCanvasOperation& op : c.Operations)
    if (op.Operation == TCanvasOperation::kTextOut && op.Text == text) return &op;
  return nullptr;
}

// A header and an end line move like statements: a 1-unit drag selects,
// a longer one moves the line (the outline follows the mouse meanwhile),
// and the moves travel with the document in a block of their own.
TEST_F(FormattedPageTest, RoutineHeaderAndEndLineMoveAndTravelWithTheDocument) {
  const std::string text = "FUNCTION f(a)\r\n f := 2*a\r\nEND\r\nz = f(1)";
  Read(text);
  page.DrawFormatEqns(5, 0, 600);
  ASSERT_EQ(page.FormatRecordList.size(), 4u);
  const TRect header = page.FormatRecordList[0].HitRect;
  const TRect end = page.FormatRecordList[2].HitRect;
  const TCanvasOperation* keyword = DrawnText(canvas, "Function");
  ASSERT_NE(keyword, nullptr);
  const int32_t keywordX = keyword->X;
  const int32_t keywordY = keyword->Y;

  const int32_t x = header.Left + 5;
  const int32_t y = header.Top + 5;
  page.MouseDown(x, y);
  TRect outline;
  ASSERT_TRUE(page.DragOutline(x + 40, y + 10, outline));
  EXPECT_EQ(outline.Left, header.Left + 40);
  EXPECT_EQ(outline.Top, header.Top + 10);
  EXPECT_EQ(outline.Right - outline.Left, header.Right - header.Left);
  EXPECT_TRUE(page.MouseUp(x + 40, y + 10));
  EXPECT_FALSE(page.DragOutline(x + 40, y + 10, outline)) << "no outline once released";
  EXPECT_EQ(HeaderOffset(kRoutineHeaderLine, "F"), (std::pair<int32_t, int32_t>{40, 10}));
  EXPECT_EQ(RoutineAt(1)->Selected[0], 0) << "a move does not select";
  // The end line: a 1-unit drag only selects it.
  page.MouseDown(end.Left + 4, end.Top + 4);
  page.MouseUp(end.Left + 5, end.Top + 5);
  EXPECT_EQ(RoutineAt(1)->Selected[1], 1);
  EXPECT_EQ(HeaderOffset(kRoutineEndLine, "F"), (std::pair<int32_t, int32_t>{0, 0}));
  page.MouseDown(end.Left + 4, end.Top + 4);
  page.MouseUp(end.Left + 4, end.Top + 7);
  EXPECT_EQ(HeaderOffset(kRoutineEndLine, "F"), (std::pair<int32_t, int32_t>{0, 3}));

  // Drawn at its new place; the hit record keeps the computed place and
  // the hit test adds the offset.
  canvas.Operations.clear();
  page.DrawFormatEqns(5, 0, 600);
  keyword = DrawnText(canvas, "Function");
  ASSERT_NE(keyword, nullptr);
  EXPECT_EQ(keyword->X, keywordX + 40);
  EXPECT_EQ(keyword->Y, keywordY + 10);
  EXPECT_EQ(page.FormatRecordList[0].HitRect.Left, header.Left);
  page.MouseDown(x + 40, y + 10);
  page.MouseUp(x + 40, y + 10);
  EXPECT_EQ(RoutineAt(1)->Selected[0], 1);

  // The document: the statement block is absent, the header block follows
  // the last section: "FEQH", 2 records of line, name length 1, "F", x, y.
  const std::vector<uint8_t> image = WriteDocumentImage(text);
  const auto kept = FormattedHeaderOffsets;
  FormattedHeaderOffsets.clear();
  const std::vector<uint8_t> plain = WriteDocumentImage(text);
  ASSERT_EQ(image.size(), plain.size() + 8 + 2 * 11);
  const std::vector<uint8_t> block(image.begin() + static_cast<std::ptrdiff_t>(plain.size()), image.end());
  const std::vector<uint8_t> expected = {'F', 'E', 'Q', 'H', 2, 0, 0, 0,
                                         1, 1, 'F', 40, 0, 0, 0, 10, 0, 0, 0,
                                         2, 1, 'F', 0, 0, 0, 0, 3, 0, 0, 0};
  EXPECT_EQ(block, expected);
  FormattedHeaderOffsets = kept;

  ResetDocument();
  EXPECT_TRUE(FormattedHeaderOffsets.empty());
  const TDocumentReadResult read = ReadDocumentImage(image.data(), image.size());
  ASSERT_TRUE(read.Read);
  EXPECT_EQ(read.FailedSection, 0);
  Read(read.Text);
  canvas.Operations.clear();
  page.PaintedHeight = 0;
  page.DrawFormatEqns(5, 0, 600);
  keyword = DrawnText(canvas, "Function");
  ASSERT_NE(keyword, nullptr);
  EXPECT_EQ(keyword->X, keywordX + 40);

  // A damaged header block (a name of no characters) loses only the moves.
  std::vector<uint8_t> damaged = image;
  damaged[plain.size() + 9] = 0;
  ResetDocument();
  const TDocumentReadResult again = ReadDocumentImage(damaged.data(), damaged.size());
  EXPECT_TRUE(again.Read);
  EXPECT_EQ(again.FailedSection, 0);
  EXPECT_TRUE(FormattedHeaderOffsets.empty());
  ResetFormattedOffsets();
}

// A routine that shares main-program variables shows them on a "$Common"
// line under its header; names with an index show it lowered.
TEST_F(FormattedPageTest, RoutineHeaderShowsItsCommonLineAndSubscriptedNames) {
  Read("FUNCTION k_1(a)\r\n$COMMON g, h\r\n k_1 := a*g*h\r\nEND\r\ng = 3\r\nh = 2\r\nz = k_1(1)");
  page.DrawFormatEqns(5, 0, 600);
  const TCanvasOperation* keyword = DrawnText(canvas, "Function");
  const TCanvasOperation* common = DrawnText(canvas, "$Common ");
  const TCanvasOperation* k = DrawnText(canvas, "k");
  const TCanvasOperation* one = DrawnText(canvas, "1");
  ASSERT_NE(keyword, nullptr);
  ASSERT_NE(common, nullptr);
  ASSERT_NE(k, nullptr);
  ASSERT_NE(one, nullptr);
  // The name's index is lowered right after the "k".
  EXPECT_EQ(k->Y, keyword->Y);
  EXPECT_GT(one->Y, k->Y);
  EXPECT_NEAR(one->X, k->X + 8, 1);
  // The $Common line: one line below the header, at its left, then g and h.
  EXPECT_EQ(common->X, keyword->X);
  EXPECT_EQ(common->Y, keyword->Y + form.LineHeight);
  const TCanvasOperation* g = DrawnText(canvas, "g");
  const TCanvasOperation* h = DrawnText(canvas, "h");
  ASSERT_NE(g, nullptr);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(g->X, common->X + 8 * 8);
  EXPECT_EQ(g->Y, common->Y);
  EXPECT_EQ(h->X, g->X + 3 * 8) << "after g, the separator and a blank";
  // The header's hit record covers both lines, and the routine's first
  // statement starts below them.
  const TFormatRecord& header = page.FormatRecordList[0];
  EXPECT_EQ(header.RoutineIndex, 1);
  EXPECT_EQ(header.HitRect.Bottom, keyword->Y + 2 * form.LineHeight + 4);
  EXPECT_GT(page.FormatRecordList[1].HitRect.Top, common->Y + form.LineHeight - 2);

  // Without the subscript preference the name is drawn as written.
  Preferences.ShowSubscripts = 0;
  canvas.Operations.clear();
  page.PaintedHeight = 0;
  page.DrawFormatEqns(5, 0, 600);
  EXPECT_NE(DrawnText(canvas, "k_1"), nullptr);
  ResetFormattedOffsets();
}

}  // namespace
}  // namespace voq

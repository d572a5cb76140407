// The page of the Formatted Equations window on the fixed-width canvas
// (16 px base font, 8 px characters): placement of statements, the hit
// records, selection and dragging, the band laid out again, and where a
// printed statement is broken.
#include "output/formatted_page.h"

#include <gtest/gtest.h>

#include <string>

#include "core/calc_state.h"
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

}  // namespace
}  // namespace voq

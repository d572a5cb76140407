// The Residuals window's listing on the recording canvas (every character
// half the cell height wide): totals lines, block order, residual columns,
// the markers of block and integration variables, Find, the copy text and
// the rule that later paints draw only the rows in view.
#include <gtest/gtest.h>

#include <string>

#include "core/calc_state.h"
#include "core/messages.h"
#include "core/number_text.h"
#include "model/document_settings.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "output/residual_listing.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "session/compile_driver.h"

namespace voq {
namespace {

class FakeDiagram : public DiagramInputs {
 public:
  bool UseInputs() const override { return true; }
  std::vector<TDiagramInputItem>& InputItems() override { return items; }
  std::vector<TDiagramInputItem> items;
};

class ResidualListingTest : public ::testing::Test {
 protected:
  void SetUp() override { SetPlatform(&platform); }
  void TearDown() override {
    SetDiagramInputs(nullptr);
    SetPlatform(nullptr);
  }
  void Solve(const std::string& text) {
    Equations().SetText(text);
    CheckOnlyMode = false;
    CompileEquations(false, true);
    ASSERT_LE(CalcErrorCode, 0) << text;
    ActivateResiduals(ResidualState());
  }
  TResidualDisplay Paint(int32_t scrollY = 0, int32_t clientHeight = 400) {
    canvas.Operations.clear();
    page = MakeEntryPage(canvas);
    page.TopOffset = 5;
    page.ScrollY = scrollY;
    page.ClientHeight = clientHeight;
    return DisplayResiduals(ResidualState(), page, 600);
  }
  // The texts drawn on line (characters of special strings joined).
  std::string LineText(int32_t line) {
    std::string text;
    const int32_t y = line * page.LineHeight + page.TopOffset;
    for (const TCanvasOperation* op : canvas.Texts())
      if (op->Y == y) text += op->Text;
    return text;
  }
  const TCanvasOperation* TextAt(int32_t line, const std::string& text) {
    const int32_t y = line * page.LineHeight + page.TopOffset;
    for (const TCanvasOperation* op : canvas.Texts())
      if (op->Y == y && op->Text == text) return op;
    return nullptr;
  }
  TEquationRecord* Equation(int32_t n) {
    TEquationRecord* e = MainProgramUnit->FirstEquation;
    for (int32_t k = 1; k < n && e != nullptr; ++k) e = e->Next;
    return e;
  }

  ScriptedPlatform platform;
  RecordingCanvas canvas;
  TEntryPage page;
};

TEST_F(ResidualListingTest, OneEquationInItsOwnBlock) {
  Solve("x = 3");
  Paint();
  // Singular "is" and "equation"; the unit has no block of its own, so
  // "block" too.
  EXPECT_EQ(ResidualTotalsLine(*MainProgramUnit), "There is a total of 1 equation in 1 block.");
  const TCanvasOperation* totals = TextAt(0, "There is a total of 1 equation in 1 block.");
  ASSERT_NE(totals, nullptr);
  EXPECT_EQ(totals->Colour, kRgbBlue);
  // The titles in red at b, b + 8, b + 21 and b + 34 (b = 1).
  const int32_t cw = page.CharWidth;
  const TCanvasOperation* block = TextAt(1, "Block");
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block->Colour, kRgbRed);
  EXPECT_EQ(block->X, 1 * cw);
  EXPECT_EQ(TextAt(1, "Rel. Res.")->X, 9 * cw);
  EXPECT_EQ(TextAt(1, "Abs. Res.")->X, 22 * cw);
  EXPECT_EQ(TextAt(1, "Equation")->X, 35 * cw);
  EXPECT_EQ(TextAt(1, "Units"), nullptr);
  // The row: an equation solved on its own carries a negative block
  // number, shown as 0 one column right of the title; then the text with x
  // bold.
  EXPECT_EQ(MainProgramUnit->FirstEquation->Block, kUnassignedBlock);
  ASSERT_NE(TextAt(2, "0"), nullptr);
  EXPECT_EQ(TextAt(2, "0")->X, 2 * cw);
  EXPECT_EQ(ResidualState().LineTexts[2], "\x01x\x01=3");
  EXPECT_NE(canvas.AllText().find(GetMessageText(471)), std::string::npos);
  EXPECT_EQ(canvas.AllText().find(GetMessageText(475)), std::string::npos);
}

TEST_F(ResidualListingTest, TotalsLineRules) {
  Solve("x + y = 3\r\nx - y = 1\r\nz = x");
  // Two equations solved together in block 1, z in block 2.
  EXPECT_EQ(ResidualTotalsLine(*MainProgramUnit), "There are a total of 3 equations in 2 blocks.");
  // An equation not placed in any block adds one to the count; a unit
  // without blocks of its own says "block".
  TProgramUnitRecord unit;
  TEquationRecord e;
  e.Block = 0;
  unit.FirstEquation = &e;
  unit.BlockCount = 0;
  unit.Name = "M";
  EXPECT_EQ(ResidualTotalsLine(unit), "There is a total of 1 equation in 1 block in Module M.");
  unit.IsSubprogram = 1;
  EXPECT_EQ(ResidualTotalsLine(unit), "There is a total of 1 equation in 1 block in Subprogram M.");
  // A unit without equations has no block.
  unit.FirstEquation = nullptr;
  EXPECT_EQ(ResidualTotalsLine(unit), "There are a total of 0 equations in 0 block in Subprogram M.");
}

TEST_F(ResidualListingTest, MainProgramBesideASubprogram) {
  Solve("SUBPROGRAM S(a : b)\r\nb = 2*a\r\nEND\r\nCALL S(1 : p)");
  const auto units = ResidualUnits();
  ASSERT_EQ(units.size(), 2u);
  EXPECT_EQ(units.back(), MainProgramUnit);
  Paint();
  const std::string all = canvas.AllText();
  EXPECT_NE(all.find(" in Subprogram S."), std::string::npos) << all;
  EXPECT_NE(all.find(" in the Main program."), std::string::npos) << all;
  // The main program's section comes last.
  EXPECT_LT(all.find(" in Subprogram S."), all.find(" in the Main program."));
}

TEST_F(ResidualListingTest, BlankResidualAndResidualAboveTolerance) {
  Solve("x = 3\r\ny = 2*x");
  Equation(1)->Residual = BlankValue;
  Equation(1)->RelativeResidual = BlankValue;
  Equation(2)->RelativeResidual = 0.5L;
  Equation(2)->Residual = -0.25L;
  Paint();
  const int32_t first = ResidualState().RowLine[Equation(1)];
  const int32_t second = ResidualState().RowLine[Equation(2)];
  // "*****" in both residual columns.
  const int32_t cw = page.CharWidth;
  int32_t stars = 0;
  for (const TCanvasOperation* op : canvas.Texts())
    if (op->Y == first * page.LineHeight + 5 && op->Text == "*****") {
      ++stars;
      EXPECT_TRUE(op->X == 9 * cw || op->X == 22 * cw);
    }
  EXPECT_EQ(stars, 2);
  // The block number bold, the sign left of the absolute residual, and
  // message 475.
  const TCanvasOperation* block = TextAt(second, "0");
  ASSERT_NE(block, nullptr);
  EXPECT_TRUE(block->Font.Bold);
  ASSERT_NE(TextAt(first, "0"), nullptr);
  EXPECT_FALSE(TextAt(first, "0")->Font.Bold);
  ASSERT_NE(TextAt(second, "-"), nullptr);
  EXPECT_EQ(TextAt(second, "-")->X, 21 * cw);
  EXPECT_NE(TextAt(second, ResidualText(0.25L, 3)), nullptr);
  EXPECT_NE(canvas.AllText().find(GetMessageText(475)), std::string::npos);
}

TEST_F(ResidualListingTest, BlockOrder) {
  Solve("a = 1\r\nb = 2\r\nc = 3\r\nd = 4\r\ne = 5\r\nf = 6");
  const int32_t blocks[] = {2, -1, kUnassignedBlock, 0, -2, 1};
  for (int32_t k = 0; k < 6; ++k) Equation(k + 1)->Block = blocks[k];
  MainProgramUnit->BlockCount = 2;
  const auto order = ResidualOrder(*MainProgramUnit);
  std::vector<TEquationRecord*> expected = {Equation(3), Equation(2), Equation(5), Equation(4), Equation(6),
                                            Equation(1)};
  EXPECT_EQ(order, expected);
  // -1, -2, ... stops at the first number that is missing.
  Equation(5)->Block = -3;
  EXPECT_EQ(ResidualOrder(*MainProgramUnit).size(), 5u);
}

TEST_F(ResidualListingTest, DiagramInputGivesADRowWithZeroResiduals) {
  FakeDiagram diagram;
  diagram.items.push_back({"T", 300, false, ""});
  SetDiagramInputs(&diagram);
  UseDiagramInput = true;
  Solve("q = 2*T");
  Paint();
  const TCanvasOperation* d = TextAt(2, "D");
  ASSERT_NE(d, nullptr) << canvas.AllText();
  EXPECT_EQ(d->X, 2 * page.CharWidth);
  int32_t zeros = 0;
  for (const TCanvasOperation* op : canvas.Texts())
    if (op->Y == 2 * page.LineHeight + 5 && op->Text == ResidualText(0, 3)) ++zeros;
  EXPECT_EQ(zeros, 2);
  // The input's name bold, "=" and its value in its own format.
  const TVariableRecord* t = MainProgramUnit->Variable(FindVariable("T"));
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(ResidualState().LineTexts[2],
            "\x01T\x01=" + RealToStr(TDisplayFormat{t->Style, t->Digits}, 300.0L));
  UseDiagramInput = false;
}

TEST_F(ResidualListingTest, IntegrationVariablesRedAndBlockVariablesBold) {
  Solve("y = INTEGRAL(2*t, t, 0, 1)\r\nz = y + 1");
  Paint();
  const TEquationRecord* e = Equation(1);
  const std::string text = ResidualState().LineTexts[size_t(ResidualState().RowLine[e])];
  EXPECT_NE(text.find("\x03t\x03"), std::string::npos) << text;
  EXPECT_NE(text.find("\x01y\x01"), std::string::npos) << text;
  // y is determined by the first equation's block, so z's row marks only z.
  const std::string second = ResidualState().LineTexts[size_t(ResidualState().RowLine[Equation(2)])];
  EXPECT_EQ(second, "\x01z\x01=y+1");
  // Red text drawn in red, and message 470.
  bool redT = false;
  for (const TCanvasOperation* op : canvas.Texts())
    if (op->Text == "t" && op->Colour == kRgbRed) redT = true;
  EXPECT_TRUE(redT);
  EXPECT_NE(canvas.AllText().find(GetMessageText(470)), std::string::npos);
}

TEST_F(ResidualListingTest, WholeWordMarkingAndFind) {
  Solve("x1 = 2\r\nx + x1 = 5");
  Paint();
  const std::string text = ResidualState().LineTexts[size_t(ResidualState().RowLine[Equation(2)])];
  EXPECT_EQ(text, "\x01x\x01+x1=5");
  // A whole-word Find for "x" skips "x1" on the first row and stops on the
  // second; from there the next one finds nothing and beeps.
  int32_t scrollY = 0;
  ASSERT_TRUE(FindResidual(ResidualState(), "X", false, true, false, page.LineHeight, 400, scrollY));
  EXPECT_EQ(ResidualState().FoundLine, ResidualState().RowLine[Equation(2)]);
  EXPECT_FALSE(FindResidual(ResidualState(), "X", true, true, false, page.LineHeight, 400, scrollY));
  EXPECT_EQ(platform.beeps, 1);
  // Match case: "X" is not "x".
  EXPECT_FALSE(FindResidual(ResidualState(), "X", false, false, true, page.LineHeight, 400, scrollY));
  // Without whole words the first row's "x1" matches.
  ASSERT_TRUE(FindResidual(ResidualState(), "x", false, false, false, page.LineHeight, 400, scrollY));
  EXPECT_EQ(ResidualState().FoundLine, ResidualState().RowLine[Equation(1)]);
  // The found line is drawn on an opaque yellow background.
  Paint();
  bool yellow = false;
  for (const TCanvasOperation* op : canvas.Texts())
    if (op->Y == ResidualState().FoundLine * page.LineHeight + 5 && !op->Transparent && op->Background == 0xFFFF00)
      yellow = true;
  EXPECT_TRUE(yellow);
}

TEST_F(ResidualListingTest, FindScrollsToALineOutOfView) {
  std::string text;
  for (int k = 1; k <= 60; ++k) text += "v" + std::to_string(k) + " = " + std::to_string(k) + "\r\n";
  text += "target = 1";
  Solve(text);
  Paint(0, 160);
  int32_t scrollY = 0;
  ASSERT_TRUE(FindResidual(ResidualState(), "target", false, true, false, page.LineHeight, 160, scrollY));
  const int32_t line = ResidualState().FoundLine;
  EXPECT_EQ(scrollY, line * page.LineHeight - 80);
  // Above the view: the line comes to the top.
  scrollY = (line + 20) * page.LineHeight;
  ASSERT_TRUE(FindResidual(ResidualState(), "target", false, true, false, page.LineHeight, 160, scrollY));
  EXPECT_EQ(scrollY, line * page.LineHeight);
}

TEST_F(ResidualListingTest, CopyText) {
  Solve("x = 3\r\ny = 2*x");
  Equation(1)->RelativeResidual = 1.25E-7L;
  Equation(1)->Residual = -2.5E-6L;
  Equation(2)->RelativeResidual = BlankValue;
  Equation(2)->Residual = BlankValue;
  const std::string copy = ResidualClipboardText(*MainProgramUnit);
  EXPECT_EQ(copy, "0 \t" + ResidualText(1.25E-7L, 4) + " \t" + ResidualText(-2.5E-6L, 4) + " \tx=3\r\n" +
                      "0 \t***** \t***** \ty=2*x\r\n");
  // Exponential with 4 digits.
  EXPECT_EQ(ResidualText(1.25E-7L, 4), "1.2500E-07");
  EXPECT_EQ(ResidualText(-2.5E-6L, 4), "-2.5000E-06");
}

TEST_F(ResidualListingTest, LaterPaintsDrawOnlyTheRowsInView) {
  std::string text = "x1 = 1\r\n";
  for (int k = 2; k <= 2000; ++k) text += "x" + std::to_string(k) + " = x" + std::to_string(k - 1) + " + 1\r\n";
  Solve(text);
  const TResidualDisplay first = Paint(0, 320);
  EXPECT_EQ(first.RowsDrawn, 2000);
  ASSERT_TRUE(first.RangeSet);
  EXPECT_EQ(first.VerticalRange, (first.LastLine + 2) * page.LineHeight + 5);
  // Scrolled to the middle: the rows within one client height above the
  // view and the rows in view, nothing else.
  const int32_t scrollY = 1000 * page.LineHeight;
  const TResidualDisplay later = Paint(scrollY, 320);
  EXPECT_FALSE(later.RangeSet);
  const int32_t rowsInView = 320 / page.LineHeight;
  EXPECT_GT(later.RowsDrawn, 0);
  EXPECT_LE(later.RowsDrawn, 2 * rowsInView + 2);
  // The text of a row in view is drawn, one far above is not.
  EXPECT_NE(canvas.AllText().find("x1000"), std::string::npos);
  for (const TCanvasOperation* op : canvas.Texts()) {
    EXPECT_GE(op->Y, scrollY - 320 - page.LineHeight);
    EXPECT_LE(op->Y, scrollY + 320 + page.LineHeight + 5);
  }
  // A resize forgets the layout: everything is drawn again.
  ResidualState().LayoutKnown = false;
  EXPECT_EQ(Paint(scrollY, 320).RowsDrawn, 2000);
}

TEST_F(ResidualListingTest, UnitNamesWrittenForModuleReferences) {
  Solve("SUBPROGRAM S(a : b)\r\nb = 2*a\r\nEND\r\nCALL S(1 : p)");
  const int32_t s = ResidualUnits().front()->UnitIndex;
  EXPECT_EQ(WriteUnitNames("@" + std::to_string(s) + "\\b = 1"), "S\\b = 1");
  EXPECT_EQ(WriteUnitNames("@99\\b"), "@99\\b");
  EXPECT_EQ(WriteUnitNames("a@b"), "a@b");
}

TEST_F(ResidualListingTest, AutomaticUnitCheckColumn) {
  Preferences.CheckUnitsAutomatically = 1;
  Solve("x = 3");
  Paint();
  ASSERT_NE(TextAt(1, "Units"), nullptr);
  EXPECT_EQ(TextAt(1, "Units")->X, 35 * page.CharWidth);
  EXPECT_EQ(TextAt(1, "Equation")->X, 41 * page.CharWidth);
  EXPECT_NE(TextAt(2, " OK"), nullptr);
  Preferences.CheckUnitsAutomatically = 0;
}

}  // namespace
}  // namespace voq

// The Residuals window printed through the print engine on a recording
// surface: the engine counts the listing's lines, so a long listing breaks
// into headed pages with every row once, and the window's own state is
// untouched by the print.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "core/calc_state.h"
#include "model/document_settings.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "output/residual_listing.h"
#include "output/residual_print.h"
#include "print_test_support.h"
#include "session/compile_driver.h"

namespace voq {
namespace {

class ResidualPrintTest : public ::testing::Test {
 protected:
  void TearDown() override { Preferences.PrintInColor = savedColour_; }
  void Solve(const std::string& text) {
    Equations().SetText(text);
    CheckOnlyMode = false;
    CompileEquations(false, true);
    ASSERT_LE(CalcErrorCode, 0) << text;
    ActivateResiduals(ResidualState());
  }
  void PrintJob(bool ctrlHeld = false) {
    ASSERT_TRUE(env.BeginPrinterJob());
    PrintResiduals(ctrlHeld);
    EndPrintJob();
    Printing = false;
  }
  RecordingPrintSurface& Printer() { return env.devices.printer; }
  // The texts drawn at x on every sheet.
  std::map<std::string, int> TextsAt(int32_t x) {
    std::map<std::string, int> counts;
    for (int32_t sheet = 0; sheet <= Printer().Sheet; ++sheet)
      for (const auto& t : Printer().SheetTexts(sheet))
        if (t.X == x) ++counts[t.Text];
    return counts;
  }
  const RecordingPrintSurface::TDrawnText* Find(const std::string& text) {
    for (const auto& t : Printer().Texts)
      if (t.Text == text) return &t;
    return nullptr;
  }

  test::ScopedPrintJobEnvironment env;
  uint8_t savedColour_ = Preferences.PrintInColor;
};

// Forty equations "qNN = 1000 + NN", each a block of its own.
std::string FortyOneBlockEquations() {
  std::string text;
  for (int k = 1; k <= 40; ++k) {
    const std::string n = (k < 10 ? "0" : "") + std::to_string(k);
    text += "q" + n + " = " + std::to_string(1000 + k) + "\r\n";
  }
  return text;
}

TEST_F(ResidualPrintTest, LongListingBreaksIntoHeadedPagesWithEveryRowOnce) {
  Solve(FortyOneBlockEquations());
  // A small page at 300 dots per inch: a few lines a page.
  Printer().PageWidth = 1500;
  Printer().WidthMm = 127;
  Printer().PageHeight = 1000;
  Printer().HeightMm = 85;
  PrintJob();
  ASSERT_GT(PrintLineHeight, 0);
  EXPECT_GE(Printer().Sheet, 1) << "forty rows need more than one page";
  // Base column 0 on paper: the totals line and the titles stand at the
  // margin, each row's block one column right of it and its relative
  // residual at column 8.
  const std::map<std::string, int> margin = TextsAt(PrintLeftMargin);
  EXPECT_EQ(margin.count(ResidualTotalsLine(*MainProgramUnit)), 1u);
  EXPECT_EQ(margin.at("Block"), 1);
  EXPECT_EQ(TextsAt(PrintLeftMargin + PrintCharWidth)["0"], 40) << "a block column per row";
  EXPECT_EQ(TextsAt(PrintLeftMargin + 8 * PrintCharWidth)["0.000E+00"], 40) << "a residual per row";
  // Each equation's text once: its name's digits follow its "q" at the
  // Equation column (base 0 + 34 without the automatic unit check).
  int32_t equationX = PrintLeftMargin + 34 * PrintCharWidth;
  if (Preferences.CheckUnitsAutomatically != 0) equationX = PrintLeftMargin + 40 * PrintCharWidth;
  EXPECT_EQ(TextsAt(equationX)["q"], 40);
  // Every sheet carries the engine's header; no row is drawn inside it.
  for (int32_t sheet = 0; sheet <= Printer().Sheet; ++sheet) {
    int32_t headerY = -1;
    int32_t firstRowY = 1 << 30;
    for (const auto& t : Printer().SheetTexts(sheet)) {
      if (t.Text.find("Page " + std::to_string(sheet + 1)) != std::string::npos) headerY = t.Y;
      if (t.X == PrintLeftMargin + 8 * PrintCharWidth) firstRowY = std::min(firstRowY, t.Y);
    }
    EXPECT_GE(headerY, 0) << "sheet " << sheet;
    EXPECT_GT(firstRowY, headerY) << "sheet " << sheet;
  }
}

TEST_F(ResidualPrintTest, PrintLeavesTheWindowsLinesAndFindAsTheScreenHadThem) {
  Solve("x+y=3\r\nx-y=1\r\nz=x*y");
  RecordingCanvas canvas;
  TEntryPage page = MakeEntryPage(canvas);
  page.TopOffset = 5;
  page.ClientHeight = 400;
  DisplayResiduals(ResidualState(), page, 600);
  int32_t scrollY = 0;
  ASSERT_TRUE(FindResidual(ResidualState(), "z", false, true, false, page.LineHeight, 400, scrollY));
  const TResidualState before = ResidualState();
  PrintJob();
  const TResidualState& after = ResidualState();
  EXPECT_EQ(after.LineTexts, before.LineTexts);
  EXPECT_EQ(after.RowLine, before.RowLine);
  EXPECT_EQ(after.FoundLine, before.FoundLine);
  EXPECT_EQ(after.LayoutKnown, before.LayoutKnown);
  // The printed row of z marks the block's variable bold, as on screen.
  bool boldZ = false;
  for (const auto& t : Printer().Texts)
    if (t.Text == "z" && t.Font.Weight == 700) boldZ = true;
  EXPECT_TRUE(boldZ);
}

TEST_F(ResidualPrintTest, ColoursFollowPrintInColorAndCtrl) {
  Solve("x = 3");
  struct Case {
    uint8_t printInColor;
    bool ctrl;
    bool coloured;
  };
  for (const Case c : {Case{1, false, true}, Case{1, true, false}, Case{0, false, false}}) {
    Printer().Texts.clear();
    Preferences.PrintInColor = c.printInColor;
    PrintJob(c.ctrl);
    const auto* totals = Find("There is a total of 1 equation in 1 block.");
    const auto* title = Find("Rel. Res.");
    ASSERT_NE(totals, nullptr);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(totals->Color != 0, c.coloured) << int(c.printInColor) << c.ctrl;
    EXPECT_EQ(title->Color != 0, c.coloured) << int(c.printInColor) << c.ctrl;
    if (c.coloured) {
      EXPECT_NE(totals->Color, title->Color) << "blue totals, red titles";
    }
  }
}

TEST_F(ResidualPrintTest, NoJobPrintsNothingAndACancelledJobStops) {
  Solve(FortyOneBlockEquations());
  PrintResiduals();  // no job running
  EXPECT_TRUE(Printer().Texts.empty());
  ASSERT_TRUE(env.BeginPrinterJob());
  const size_t headerTexts = Printer().Texts.size();
  PrintPageState = kPageStateCancel;
  PrintResiduals();
  size_t rows = 0;
  for (size_t i = headerTexts; i < Printer().Texts.size(); ++i)
    if (Printer().Texts[i].X == PrintLeftMargin + 8 * PrintCharWidth) ++rows;
  EXPECT_EQ(rows, 0u);
  EndPrintJob();
  Printing = false;
  PrintPageState = kPageStateRunning;
}

}  // namespace
}  // namespace voq

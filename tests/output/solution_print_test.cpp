// The Solution window printed through the print engine on a recording
// surface: the listing keeps its entries across page breaks, every entry
// once, under the engine's page headers.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "core/calc_state.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "output/solution_listing.h"
#include "output/solution_print.h"
#include "print_test_support.h"
#include "session/compile_driver.h"

namespace voq {
namespace {

class SolutionPrintTest : public ::testing::Test {
 protected:
  void Solve(const std::string& text) {
    Equations().SetText(text);
    CheckOnlyMode = false;
    CompileEquations(false, true);
    ASSERT_LE(CalcErrorCode, 0) << text;
    ActivateSolution(SolutionState(), 0);
  }
  // Prints the first tab as a job of its own.
  void PrintFirstTab() {
    ASSERT_TRUE(env.BeginPrinterJob());
    PrintSolution(0);
    EndPrintJob();
    Printing = false;
  }
  RecordingPrintSurface& Printer() { return env.devices.printer; }
  // How often each text was drawn, over every sheet.
  std::map<std::string, int> DrawnCounts() {
    std::map<std::string, int> counts;
    for (int32_t sheet = 0; sheet <= Printer().Sheet; ++sheet)
      for (const auto& t : Printer().SheetTexts(sheet)) ++counts[t.Text];
    return counts;
  }

  test::ScopedPrintJobEnvironment env;
};

// Forty equations "qNN = 1000 + NN": each value text is unique.
std::string FortyEquations() {
  std::string text;
  for (int k = 1; k <= 40; ++k) {
    const std::string n = (k < 10 ? "0" : "") + std::to_string(k);
    text += "q" + n + " = " + std::to_string(1000 + k) + "\r\n";
  }
  return text;
}

TEST_F(SolutionPrintTest, LongListingBreaksIntoPagesAndPrintsEveryEntryOnce) {
  Solve(FortyEquations());
  // A small page at 300 dots per inch: one entry a line, a few lines a page.
  Printer().PageWidth = 500;
  Printer().WidthMm = 42;
  Printer().PageHeight = 1000;
  Printer().HeightMm = 85;
  PrintFirstTab();
  ASSERT_GT(PrintLineHeight, 0);
  EXPECT_GE(Printer().Sheet, 1) << "forty lines need more than one page";

  std::map<std::string, int> counts = DrawnCounts();
  for (int k = 1; k <= 40; ++k) {
    const std::string name = std::string("q") + (k < 10 ? "0" : "") + std::to_string(k);
    int named = 0;
    int valued = 0;
    for (const auto& [text, n] : counts) {
      if (text == name) named += n;
      if (text.find(std::to_string(1000 + k)) != std::string::npos) valued += n;
    }
    EXPECT_EQ(named, 1) << name;
    EXPECT_EQ(valued, 1) << name;
  }
  EXPECT_EQ(counts["SOLUTION"], 1);
  // Every sheet carries the engine's header with its page number.
  for (int32_t sheet = 0; sheet <= Printer().Sheet; ++sheet) {
    bool headed = false;
    for (const auto& t : Printer().SheetTexts(sheet))
      if (t.Text.find("Page " + std::to_string(sheet + 1)) != std::string::npos) headed = true;
    EXPECT_TRUE(headed) << "sheet " << sheet;
  }
}

TEST_F(SolutionPrintTest, EntriesStandOnTheEnginesLinesBelowTheHeader) {
  Solve(FortyEquations());
  Printer().PageWidth = 900;
  PrintFirstTab();
  const auto texts = Printer().SheetTexts(0);
  int32_t titleY = -1;
  int32_t firstEntryY = -1;
  int32_t lastHeaderY = -1;
  for (const auto& t : texts) {
    if (t.Text == "SOLUTION") titleY = t.Y;
    if (t.Text == "q01") firstEntryY = t.Y;
    if (t.Text.find("Page 1") != std::string::npos) lastHeaderY = t.Y;
  }
  ASSERT_GE(titleY, 0);
  ASSERT_GE(firstEntryY, 0);
  EXPECT_GT(titleY, lastHeaderY);
  // Lines are whole printed line heights apart, at the printer's margin.
  EXPECT_EQ((firstEntryY - titleY) % PrintLineHeight, 0);
  EXPECT_GT(firstEntryY, titleY);
  for (const auto& t : texts) {
    if (t.Text == "q01" || t.Text == "SOLUTION") {
      EXPECT_EQ(t.X, PrintLeftMargin) << t.Text;
    }
  }
}

TEST_F(SolutionPrintTest, PrintedListingLeavesOutTheScreensMessagesAndKeepsTheWindowState) {
  Solve("x+y=3\r\nx-y=1");
  SolutionState().LastColumnCount = 7;
  PrintFirstTab();
  const std::map<std::string, int> counts = DrawnCounts();
  for (const auto& [text, n] : counts) EXPECT_EQ(text.find("Calculation time"), std::string::npos) << text;
  EXPECT_FALSE(SolutionState().Printing);
  EXPECT_EQ(SolutionState().LastColumnCount, 7);
  // The screen's listing is unchanged by the print: left column 2, no title.
  TFixedEntryMetrics metrics(8, 14);
  const TSolutionListing screen = DisplaySolution(SolutionState(), 80, metrics);
  EXPECT_EQ(screen.FindText("SOLUTION"), nullptr);
  ASSERT_FALSE(screen.Entries().empty());
  EXPECT_EQ(screen.Entries()[0]->Column, 2);
}

TEST_F(SolutionPrintTest, CancelledJobStopsTheListingAndNoJobPrintsNothing) {
  Solve(FortyEquations());
  PrintSolution(0);  // no job running
  EXPECT_TRUE(Printer().Texts.empty());
  ASSERT_TRUE(env.BeginPrinterJob());
  const size_t headerTexts = Printer().Texts.size();
  PrintPageState = kPageStateCancel;
  PrintSolution(0);
  EXPECT_EQ(Printer().Texts.size(), headerTexts);
  EndPrintJob();
  Printing = false;
}

}  // namespace
}  // namespace voq

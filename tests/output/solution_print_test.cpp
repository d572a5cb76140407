// The Solution window printed through the print engine on a recording
// surface: the listing keeps its entries across page breaks, every entry
// once, under the engine's page headers.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "core/calc_state.h"
#include "model/document_settings.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "output/format_codes.h"
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

// A recording surface that also keeps the strokes and fills.
class StrokeSurface : public RecordingPrintSurface {
 public:
  struct TStroke {
    int32_t X1, Y1, X2, Y2;
    uint32_t Rgb;
  };
  void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t rgb, int32_t) override {
    Lines.push_back({x1, y1, x2, y2, rgb});
  }
  void FillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t rgb) override {
    Fills.push_back({left, top, right, bottom, rgb});
  }
  std::vector<TStroke> Lines;
  std::vector<TStroke> Fills;
};

struct StrokeDevices : PrintDevices {
  PrintSurface* Printer() override { return &printer; }
  PrintSurface* Preview() override { return nullptr; }
  StrokeSurface printer;
};

TEST_F(SolutionPrintTest, HilitesAndColoursFollowTheDisplayCodesAndPrintInColor) {
  Solve("x=2\r\ny=3\r\nz=4");
  TProgramUnitRecord* u = MainProgramUnit;
  const auto var = [u](const std::string& name) -> TVariableRecord* {
    for (int32_t k = 1; k <= u->VariableCount; ++k)
      if (u->Variable(k) != nullptr && u->Variable(k)->Name == name) return u->Variable(k);
    return nullptr;
  };
  ASSERT_NE(var("x"), nullptr);
  ASSERT_NE(var("y"), nullptr);
  var("x")->DisplayCode = int16_t(PackFormatCode(0, 0, kHiliteBox, 0));
  var("y")->DisplayCode = int16_t(PackFormatCode(2, 1, kHiliteUnderline, 0));
  struct Case {
    uint8_t printInColor;
    size_t fills;
    uint32_t valueColour;
  };
  for (const Case c : {Case{1, 1, ForeColorOfIndex(2)}, Case{0, 0, kRgbBlack}}) {
    SCOPED_TRACE(int(c.printInColor));
    StrokeDevices devices;
    SetPrintDevices(&devices);
    Preferences.PrintInColor = c.printInColor;
    ASSERT_TRUE(env.BeginPrinterJob());
    PrintSolution(0);
    EndPrintJob();
    Printing = false;
    // The box: four sides; the underline: one line; both in black.
    EXPECT_EQ(devices.printer.Lines.size(), 5u);
    for (const auto& line : devices.printer.Lines) EXPECT_EQ(line.Rgb, kRgbBlack);
    ASSERT_EQ(devices.printer.Fills.size(), c.fills);
    if (c.fills == 1) {
      EXPECT_EQ(devices.printer.Fills[0].Rgb, BackColorOfIndex(1));
    }
    bool valueSeen = false;
    for (const auto& t : devices.printer.Texts) {
      if (t.Text.find("= 3") == std::string::npos) continue;
      valueSeen = true;
      EXPECT_EQ(t.Color, c.valueColour);
    }
    EXPECT_TRUE(valueSeen);
  }
}

}  // namespace
}  // namespace voq

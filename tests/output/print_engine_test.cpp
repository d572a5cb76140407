#include "output/print_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/program_flags.h"
#include "model/display_fonts.h"
#include "model/document_settings.h"
#include "output/print_test_support.h"

namespace voq {
namespace {

using test::ScopedPrintJobEnvironment;

bool SheetHas(const RecordingPrintSurface& surface, int32_t sheet, const std::string& text) {
  for (const auto& t : surface.SheetTexts(sheet)) {
    if (t.Text == text) return true;
  }
  return false;
}

TEST(PageInRange, SelectsThePagesOfTheList) {
  struct Case {
    const char* range;
    std::vector<int32_t> selected;  // pages 1..6 that are in range
  };
  const Case cases[] = {
      {"2,4-5", {2, 4, 5}},
      {"1,,3", {1, 3}},
      {"6;1 3", {1, 3, 6}},
      {"", {1, 2, 3, 4, 5, 6}},
      {"   ", {1, 2, 3, 4, 5, 6}},
      {"3-3", {3}},
      {"5-2", {}},
  };
  for (const Case& c : cases) {
    PrintAllPages = false;
    PrintPageRange = c.range;
    for (int32_t page = 1; page <= 6; ++page) {
      const bool expected =
          std::find(c.selected.begin(), c.selected.end(), page) != c.selected.end();
      EXPECT_EQ(PageInRange(page), expected) << "range \"" << c.range << "\" page " << page;
      EXPECT_EQ(CalcErrorCode, 0) << c.range;
    }
  }
  // All pages wins over any list.
  PrintAllPages = true;
  PrintPageRange = "2";
  EXPECT_TRUE(PageInRange(7));
}

TEST(PageInRange, AnIllegalCharacterIsReportedWithTheRangeText) {
  struct Case {
    const char* range;
    const char* offending;
  };
  const Case cases[] = {{"1-3-5", "-"}, {"2a", "a"}, {"-5", "-"}, {"3-", "-"}, {"1,x", "x"}};
  for (const Case& c : cases) {
    CalcErrorCode = 0;
    PrintAllPages = false;
    PrintPageRange = c.range;
    EXPECT_FALSE(PageInRange(4)) << c.range;
    EXPECT_EQ(CalcErrorCode, kMsgIllegalCharacter) << c.range;
    EXPECT_EQ(MessageArgs[1], c.offending) << c.range;
    EXPECT_EQ(MessageArgs[2], "the page range");
  }
  EXPECT_EQ(GetMessageText(kMsgIllegalCharacter),
            "Illegal character x was encountered while evaluating the page range.");
  // The list stops at the first match: a bad item after it is not read.
  CalcErrorCode = 0;
  PrintPageRange = "1,q";
  EXPECT_TRUE(PageInRange(1));
  EXPECT_EQ(CalcErrorCode, 0);
}

TEST(PrintMetrics, LetterPageAtThreeHundredDotsPerInch) {
  // 3300 dots over 279 mm (10.98 in): round(300.4) = 300 dots per inch. A
  // 9-point font is 300 x 9 / 72 = 37.5, rounded 38 dots high; half-inch
  // margins are 150 dots.
  struct Case {
    int16_t spacing;
    int32_t lineHeight;
  };
  const Case cases[] = {{0, 46}, {1, 57}, {2, 76}};  // round(1.2 x 38); 38 + 19; 2 x 38
  for (const Case& c : cases) {
    ScopedPrintJobEnvironment env;
    Preferences.PrintLineSpacing = c.spacing;
    ASSERT_TRUE(env.BeginPrinterJob());
    EXPECT_EQ(PrinterDpi, 300);
    EXPECT_EQ(PrinterDpiCopy, 300);
    EXPECT_EQ(PrintLeftMargin, 150);
    EXPECT_EQ(PrintRightMargin, 150);
    EXPECT_EQ(PrintTextHeight, 38);
    EXPECT_EQ(PrintCharWidth, 19);
    EXPECT_EQ(PrintLineHeight, c.lineHeight);
    EXPECT_EQ(PrintState.LinesPerPage, 3300 / c.lineHeight);
    EXPECT_EQ(PrintState.PageWidth, 2550);
    EXPECT_EQ(PrintState.CurrentLine, 4);  // header on lines 2 and 3
    EndPrintJob();
    EXPECT_EQ(env.devices.printer.LiveFonts(), 0u);
  }
}

TEST(PrintMetrics, LandscapeTakesTheResolutionFromTheWidth) {
  ScopedPrintJobEnvironment env;
  env.devices.printer.IsLandscape = true;
  env.devices.printer.PageWidth = 6600;  // 11 in at 600 dots per inch
  env.devices.printer.PageHeight = 5100;
  ASSERT_TRUE(env.BeginPrinterJob());
  EXPECT_EQ(PrinterDpi, 601);  // 6600 / (279 / 25.4) = 600.9
  EXPECT_EQ(PrintLeftMargin, 301);
  EndPrintJob();
}

TEST(PrinterFonts, SixFontsFromThePreferences) {
  ScopedPrintJobEnvironment env;
  Preferences.PrinterFont = 2;      // Times New Roman
  Preferences.PrinterFontSize = 5;  // 12 points: 300 x 12 / 72 = 50 dots
  ASSERT_TRUE(env.BeginPrinterJob());
  struct Expected {
    const char* face;
    int32_t height;
    int32_t weight;
    bool italic;
  };
  // The small fonts: 10 points as a cell height, 300 x 10 / 72 = 41.7 -> 42.
  const Expected expected[] = {{"Times New Roman", -50, 400, false}, {"Times New Roman", -50, 700, false},
                               {"Times New Roman", -50, 400, true},  {"Times New Roman", 42, 400, false},
                               {"Symbol", -50, 400, false},          {"Symbol", 42, 400, false}};
  EXPECT_EQ(env.devices.printer.LiveFonts(), 6u);
  for (int i = 1; i <= 6; ++i) {
    const FontHandle font = DisplayFonts[static_cast<size_t>(i)].Printer;
    ASSERT_NE(font, 0) << i;
    env.devices.printer.SelectFont(font);
    env.devices.printer.DrawText(0, 0, "probe");
    const TPrinterFontRequest& made = env.devices.printer.Texts.back().Font;
    EXPECT_EQ(made.Face, expected[i - 1].face) << i;
    EXPECT_EQ(made.Height, expected[i - 1].height) << i;
    EXPECT_EQ(made.Weight, expected[i - 1].weight) << i;
    EXPECT_EQ(made.Italic, expected[i - 1].italic) << i;
  }
  EndPrintJob();
  for (int i = 1; i <= 6; ++i) EXPECT_EQ(DisplayFonts[static_cast<size_t>(i)].Printer, 0);
  EXPECT_EQ(env.devices.printer.LiveFonts(), 0u);
}

TEST(PrintHeader, FileTitleDatePageAndVersion) {
  ScopedPrintJobEnvironment env;
  ASSERT_TRUE(env.BeginPrinterJob("C:\\WORK\\PUMP.VOQ"));
  PrintNewPage();
  EndPrintJob();
  const RecordingPrintSurface& p = env.devices.printer;
  ASSERT_EQ(p.Sheet, 1);
  for (int32_t sheet = 0; sheet <= 1; ++sheet) {
    const auto texts = p.SheetTexts(sheet);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].Text, "File:C:\\WORK\\PUMP.VOQ");
    EXPECT_EQ(texts[0].X, 150);
    EXPECT_EQ(texts[0].Y, 2 * 46);
    const std::string right = "12/11/2026 7:02 AM  Page " + std::to_string(sheet + 1);
    EXPECT_EQ(texts[1].Text, right);
    EXPECT_EQ(texts[1].X + static_cast<int32_t>(right.size()) * 19, 2550 - 150);
    EXPECT_EQ(texts[1].Y, 2 * 46);
    EXPECT_EQ(texts[2].Text, "VOQ Ver. 6.462");
    EXPECT_EQ(texts[2].X, 1275 - 14 * 19 / 2);  // centred between the margins
    EXPECT_EQ(texts[2].Y, 3 * 46);
  }
  EXPECT_EQ(p.Title, "C:\\WORK\\PUMP.VOQ");
  EXPECT_EQ(p.Started, 1);
  EXPECT_EQ(p.Ended, 1);
}

TEST(PrintHeader, DistributableProgramNamesItselfAndItsModel) {
  ScopedPrintJobEnvironment env;
  DistributableMode = true;
  SetPrintDistributableFileText([] { return std::string("/opt/pump/PUMP (2)"); });
  const bool started = env.BeginPrinterJob("C:\\WORK\\PUMP.VOQ");
  EndPrintJob();
  SetPrintDistributableFileText(nullptr);
  DistributableMode = false;
  ASSERT_TRUE(started);
  EXPECT_TRUE(SheetHas(env.devices.printer, 0, "File: /opt/pump/PUMP (2)"));
}

TEST(PrintAdvanceLines, FullPageBreaksAndCountsTheLinesAgain) {
  for (const bool altHeld : {false, true}) {
    ScopedPrintJobEnvironment env;
    ASSERT_TRUE(env.BeginPrinterJob());
    env.platform.altDown = altHeld;
    PrintState.CurrentLine = PrintState.LinesPerPage - 4;
    PrintAdvanceLines(5);
    // 1, three header lines, one for the break, the 5 counted again.
    EXPECT_EQ(PrintState.CurrentLine, 10) << altHeld;
    EXPECT_EQ(PrintState.PageNumber, 2) << altHeld;
    EXPECT_EQ(env.devices.printer.Sheet, 1);
    EXPECT_EQ(SheetHas(env.devices.printer, 1, "VOQ Ver. 6.462"), !altHeld);
    env.platform.altDown = false;
    // Lines that still fit do not break.
    PrintState.CurrentLine = PrintState.LinesPerPage - 4;
    PrintAdvanceLines(1);
    EXPECT_EQ(PrintState.PageNumber, 2);
    EndPrintJob();
  }
}

TEST(PrintNewPage, PagesOutsideTheRangeAreErasedOnTheSameSheet) {
  ScopedPrintJobEnvironment env;
  PrintAllPages = false;
  PrintPageRange = "2,4-5";
  ASSERT_TRUE(env.BeginPrinterJob());
  for (int page = 1; page <= 5; ++page) {
    PrintState.Canvas->DrawText(PrintLeftMargin, PrintState.CurrentLine * PrintLineHeight,
                                "content " + std::to_string(page));
    if (page < 5) PrintNewPage();
  }
  EndPrintJob();
  const RecordingPrintSurface& p = env.devices.printer;
  ASSERT_EQ(p.Sheet, 2);  // three sheets
  EXPECT_EQ(p.Erased, 2);
  EXPECT_TRUE(SheetHas(p, 0, "content 2"));
  EXPECT_FALSE(SheetHas(p, 0, "content 1"));
  EXPECT_TRUE(SheetHas(p, 0, "12/11/2026 7:02 AM  Page 2"));
  EXPECT_TRUE(SheetHas(p, 1, "content 4"));
  EXPECT_FALSE(SheetHas(p, 1, "content 3"));
  EXPECT_TRUE(SheetHas(p, 2, "content 5"));
  EXPECT_EQ(p.SheetTexts(2).size(), 4u);
}

TEST(PrintNewPage, LastPageOutsideTheRangeIsErasedAtTheEnd) {
  ScopedPrintJobEnvironment env;
  PrintAllPages = false;
  PrintPageRange = "1";
  ASSERT_TRUE(env.BeginPrinterJob());
  PrintNewPage();
  PrintState.Canvas->DrawText(PrintLeftMargin, PrintState.CurrentLine * PrintLineHeight, "page 2");
  EndPrintJob();
  EXPECT_EQ(env.devices.printer.Sheet, 1);
  EXPECT_FALSE(SheetHas(env.devices.printer, 1, "page 2"));
}

TEST(PrintNewPage, CancelledJobOnlyClearsTheLine) {
  ScopedPrintJobEnvironment env;
  ASSERT_TRUE(env.BeginPrinterJob());
  PrintPageState = kPageStateCancel;
  PrintState.CurrentLine = 30;
  PrintNewPage();
  EXPECT_EQ(PrintState.CurrentLine, 0);
  EXPECT_EQ(PrintState.PageNumber, 1);
  EXPECT_EQ(env.devices.printer.Sheet, 0);
  EndPrintJob();
}

TEST(EndPrintJob, WithoutAJobOnlyClearsPreviewMode) {
  ScopedPrintJobEnvironment env;
  PrintState.PreviewMode = true;
  PrintState.CurrentLine = 7;
  PrintState.PageNumber = 3;
  EndPrintJob();
  EXPECT_FALSE(PrintState.PreviewMode);
  EXPECT_EQ(PrintState.CurrentLine, 7);
  EXPECT_EQ(PrintState.PageNumber, 3);
  EXPECT_EQ(env.devices.printer.Ended, 0);
  EXPECT_EQ(env.devices.preview.PagesShown, 0);
}

TEST(BeginPrintJob, RefusesAPageTooShortForItsHeader) {
  // Paper of 27 and 31 mm (the long side) at about 300 dots per inch:
  // 303 and 302 dots per inch, 38-dot text on 46-dot lines. 322 dots hold
  // 7 lines, which would break again inside each header; 368 dots hold 8.
  struct Case {
    int32_t height;
    int32_t millimetres;
    bool starts;
  };
  for (const Case c : {Case{322, 27, false}, Case{368, 31, true}}) {
    ScopedPrintJobEnvironment env;
    env.devices.printer.PageHeight = c.height;
    env.devices.printer.HeightMm = c.millimetres;
    env.devices.printer.WidthMm = c.millimetres;
    const bool started = env.BeginPrinterJob();
    EXPECT_EQ(started, c.starts) << c.height;
    EXPECT_EQ(PrintLineHeight, 46);
    if (!started) {
      EXPECT_FALSE(PrintState.JobRunning);
      EXPECT_FALSE(Printing);
      EXPECT_EQ(env.devices.printer.LiveFonts(), 0u);
      ASSERT_EQ(env.platform.alerts.size(), 1u);
      EXPECT_EQ(env.platform.alerts[0].text, "Printer initialization failed");
      continue;
    }
    // Forty lines on 8-line pages break page after page, never in a header.
    for (int line = 0; line < 40; ++line) PrintAdvanceLines(1);
    EXPECT_GT(PrintState.PageNumber, 5);
    EXPECT_LT(PrintState.CurrentLine, PrintState.LinesPerPage);
    EndPrintJob();
  }
}

TEST(BeginPrintJob, FailuresOfTheDevices) {
  {
    ScopedPrintJobEnvironment env;
    env.devices.havePrinter = false;
    EXPECT_FALSE(env.BeginPrinterJob());
    ASSERT_EQ(env.platform.alerts.size(), 1u);
    EXPECT_EQ(env.platform.alerts[0].text, "Printer initialization failed");
    EXPECT_FALSE(Printing);
  }
  {
    ScopedPrintJobEnvironment env;
    env.devices.printer.Usable = false;
    EXPECT_FALSE(env.BeginPrinterJob());
    EXPECT_FALSE(PrintState.JobRunning);
  }
  {
    ScopedPrintJobEnvironment env;
    env.devices.havePreview = false;
    PrintState.PreviewMode = true;
    Printing = true;
    EXPECT_FALSE(BeginPrintJob("x", 1));
    ASSERT_EQ(env.platform.alerts.size(), 1u);
    EXPECT_EQ(env.platform.alerts[0].text, "Preview initiation failed.");
    EXPECT_FALSE(Printing);
  }
  {
    ScopedPrintJobEnvironment env;
    env.devices.preview.BitmapPossible = false;
    PrintState.PreviewMode = true;
    EXPECT_FALSE(BeginPrintJob("x", 1));
    ASSERT_EQ(env.platform.alerts.size(), 1u);
    EXPECT_EQ(env.platform.alerts[0].text, "Unable to create Preview bitmap.");
    EXPECT_EQ(env.devices.preview.LiveFonts(), 0u);
  }
}

TEST(PreviewJob, ShowsEachSelectedPageFromTheTargetPage) {
  ScopedPrintJobEnvironment env;
  PrintState.PreviewMode = true;
  PrintState.PreviewTargetPage = 2;
  ASSERT_TRUE(BeginPrintJob("x", 1));
  PrintNewPage();  // page 1 is before the target: discarded
  PrintNewPage();  // page 2 shown
  EndPrintJob();   // page 3 shown
  EXPECT_EQ(env.devices.preview.PagesShown, 2);
  EXPECT_EQ(env.devices.preview.Erased, 1);
  EXPECT_EQ(env.devices.preview.Started, 0);
  EXPECT_FALSE(PrintState.PreviewMode);
  EXPECT_EQ(PrintState.PreviewTargetPage, 0);
}

}  // namespace
}  // namespace voq

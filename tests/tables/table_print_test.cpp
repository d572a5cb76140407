// Tables on paper through the print engine, on a recording surface whose
// characters are half their font's height wide: the label column's width,
// bands of whole columns with their headers, headers again after a page
// break, the units line, Print Selection, and an abort that leaves the
// table as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "core/calc_state.h"
#include "model/document_settings.h"
#include "output/print_engine.h"
#include "output/print_test_support.h"
#include "tables/table_fixture.h"
#include "tables/table_print.h"

namespace voq {
namespace {

using TDrawn = RecordingPrintSurface::TDrawnText;

class TablePrintTest : public testing::TableTest {
 protected:
  void TearDown() override {
    AbortRequested = false;
    TableTest::TearDown();
  }
  RecordingPrintSurface& Printer() { return env.devices.printer; }
  void PrintShown(bool selectionOnly = false) {
    ASSERT_TRUE(env.BeginPrinterJob());
    PrintTable(*TableForms[size_t(kind)], 0, selectionOnly);
    EndPrintJob();
    Printing = false;
  }
  // Every text of the job, over every sheet.
  std::vector<TDrawn> AllTexts() {
    std::vector<TDrawn> all;
    for (int32_t sheet = 0; sheet <= Printer().Sheet; ++sheet)
      for (const TDrawn& t : Printer().SheetTexts(sheet)) all.push_back(t);
    return all;
  }
  std::vector<TDrawn> Named(const std::string& text) {
    std::vector<TDrawn> found;
    for (const TDrawn& t : AllTexts())
      if (t.Text == text) found.push_back(t);
    return found;
  }
  // A lookup table of rows x columns whose cell (r, c) holds 1000 c + r.
  TTableForm* Lookup(int32_t columns, int32_t rows) {
    kind = kLookupTableKind;
    TTableForm* f = MakeLookup(columns, rows, "L");
    for (int32_t c = 1; c <= columns; ++c)
      for (int32_t r = 1; r <= rows; ++r) f->SetmyCell(0, kLookupTableKind, 1000.0L * c + r, r, c, 1);
    return f;
  }

  test::ScopedPrintJobEnvironment env;
  int32_t kind = kLookupTableKind;
};

TEST(TablePrintLayout, RowLabelDigits) {
  const std::pair<int32_t, int32_t> cases[] = {{0, 1}, {9, 1}, {10, 2}, {12, 2}, {99, 2}, {100, 3}, {999, 3},
                                               {1000, 4}, {50000, 4}};
  for (const auto& [rows, digits] : cases) EXPECT_EQ(RowLabelDigits(rows), digits) << rows;
}

TEST(TablePrintLayout, BandsTakeWholeColumnsThatFit) {
  using Bands = std::vector<std::pair<int32_t, int32_t>>;
  struct Case {
    std::vector<int32_t> widths;
    int32_t gap, available;
    Bands bands;
  } const cases[] = {
      {{100, 100, 100}, 10, 1000, {{0, 2}}},
      {{100, 100, 100}, 10, 220, {{0, 1}, {2, 2}}},        // exactly two with their gaps
      {{100, 100, 100}, 10, 219, {{0, 0}, {1, 1}, {2, 2}}},
      {{500, 50, 50}, 10, 200, {{0, 0}, {1, 2}}},          // a column wider than the page prints alone
      {{}, 10, 200, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(TableBands(c.widths, c.gap, c.available), c.bands);
}

TEST_F(TablePrintTest, LabelColumnIsAsWideAsTheRowCountsDigits) {
  for (const auto& [rows, digits] : {std::pair{12, 2}, std::pair{1000, 4}}) {
    CompileOnly("y = 2*T");
    kind = kParametricTableKind;
    MakeParametric({"T"}, rows);  // blank cells: the column is as wide as its title
    Printer().Texts.clear();
    Printer().Sheet = 0;
    PrintShown();
    const auto titles = Named("T");
    ASSERT_FALSE(titles.empty());
    const int32_t cw = std::max(titles[0].Font.Height / 2, 1);
    const int32_t gap = 4 * PrintCharWidth;
    EXPECT_EQ(titles[0].X - PrintLeftMargin, 4 * cw + digits * cw + 2 * gap) << rows << " rows";
    EXPECT_FALSE(Named("Run " + std::to_string(rows)).empty());
  }
}

TEST_F(TablePrintTest, WideTablePrintsInBandsEachWithTitleAndHeaders) {
  Lookup(8, 3);
  Printer().PageWidth = 1400;
  PrintShown();
  const auto titles = Named("Lookup Table: L");
  ASSERT_GE(titles.size(), 2u) << "eight columns do not fit across";
  for (int32_t c = 1; c <= 8; ++c) EXPECT_EQ(Named("Column" + std::to_string(c)).size(), 1u) << c;
  // Every band has its rows under its own header, and nothing runs past
  // the right margin.
  EXPECT_EQ(Named("Row 1").size(), titles.size());
  for (const TDrawn& t : AllTexts())
    if (t.Text.rfind("Column", 0) == 0) {
      EXPECT_LE(t.X + int32_t(t.Text.size()) * (t.Font.Height / 2), 1400);
    }
}

TEST_F(TablePrintTest, ColumnWiderThanThePagePrintsAlone) {
  Lookup(3, 2);
  Printer().PageWidth = 700;
  PrintShown();
  EXPECT_EQ(Named("Lookup Table: L").size(), 3u);
  EXPECT_EQ(Named("1002 ").size(), 1u);
}

TEST_F(TablePrintTest, HeadersRepeatAfterAPageBreak) {
  Lookup(1, 80);
  Printer().PageHeight = 1500;
  PrintShown();
  ASSERT_GE(Printer().Sheet, 1);
  for (int32_t sheet = 0; sheet <= Printer().Sheet; ++sheet) {
    int32_t headers = 0, titles = 0;
    for (const TDrawn& t : Printer().SheetTexts(sheet)) {
      headers += t.Text == "Column1";
      titles += t.Text == "Lookup Table: L";
    }
    EXPECT_EQ(headers, 1) << "sheet " << sheet;
    EXPECT_EQ(titles, 1) << "sheet " << sheet;
  }
  for (int32_t r = 1; r <= 80; ++r) EXPECT_EQ(Named("Row " + std::to_string(r)).size(), 1u) << r;
}

TEST_F(TablePrintTest, UnitsLineOnlyWhenAColumnHasUnits) {
  for (const bool units : {false, true}) {
    TTableForm* f = Lookup(2, 2);
    if (units) FindColumn(f->Columns, 2)->Name = "Column2\r[m]";
    Printer().Texts.clear();
    PrintShown();
    const auto title = Named("Column1");
    const auto row = Named("Row 1");
    ASSERT_EQ(title.size(), 1u);
    ASSERT_EQ(row.size(), 1u);
    EXPECT_EQ(row[0].Y - title[0].Y, (units ? 2 : 1) * PrintLineHeight);
    EXPECT_EQ(Named("[m]").size(), units ? 1u : 0u);
  }
}

TEST_F(TablePrintTest, PrintSelectionPrintsOnlyTheSelectedBlock) {
  TTableForm* f = Lookup(4, 6);
  f->Selection = TGridRect{2, 3, 3, 5};
  ASSERT_TRUE(PrintTableSelection(*f, ""));
  EXPECT_EQ(Printer().Title, "(Untitled)");
  std::string labels;
  std::string cells;
  for (const TDrawn& t : AllTexts()) {
    if (t.Text.rfind("Row ", 0) == 0) labels += t.Text + ",";
    if (t.Text.find("00") != std::string::npos && t.Text.rfind("Column", 0) != 0) cells += t.Text + ",";
  }
  EXPECT_EQ(labels, "Row 3,Row 4,Row 5,");
  EXPECT_EQ(cells, "2003 ,3003 ,2004 ,3004 ,2005 ,3005 ,");
  EXPECT_FALSE(Printing);
}

TEST_F(TablePrintTest, AbortAfterTheFirstBandLeavesTheWidths) {
  TTableForm* f = Lookup(6, 3);
  for (TTableColumnRecord* c = f->Columns; c != nullptr; c = c->Next) c->Width = 77 + c->ColumnNumber;
  Printer().PageWidth = 900;
  ASSERT_TRUE(env.BeginPrinterJob());
  AbortRequested = true;
  PrintTable(*f, 0, false);
  EndPrintJob();
  Printing = false;
  EXPECT_EQ(Named("Lookup Table: L").size(), 1u) << "only the band in hand";
  EXPECT_EQ(Named("Row 3").size(), 1u) << "the band is finished";
  for (TTableColumnRecord* c = f->Columns; c != nullptr; c = c->Next) EXPECT_EQ(c->Width, 77 + c->ColumnNumber);
}

TEST_F(TablePrintTest, ParametricStylesAndTheSumRow) {
  for (const bool sumPreference : {false, true}) {
    Preferences.TableSumRow = 1;
    Preferences.PrintEnteredTableStyle = 1;     // bold
    Preferences.PrintCalculatedTableStyle = 2;  // italic
    CompileOnly("y = 2*T");
    kind = kParametricTableKind;
    TTableForm* f = MakeParametric({"T", "y"}, 2);
    f->SetmyCell(0, 1, 5, 1, 1, 1);
    f->SetmyCell(0, 1, 10, 1, 2, 0);
    f->FillSumAvg(1);
    Preferences.TableSumRow = sumPreference ? 1 : 0;
    Printer().Texts.clear();
    PrintShown();
    const auto all = AllTexts();
    auto find = [&](const std::string& needle) {
      return std::find_if(all.begin(), all.end(), [&](const TDrawn& t) { return t.Text.find(needle) != std::string::npos && t.Text.rfind("Run", 0) != 0; });
    };
    const auto five = find("5");
    const auto ten = find("10");
    ASSERT_NE(five, all.end());
    ASSERT_NE(ten, all.end());
    EXPECT_EQ(five->Font.Weight, 700);
    EXPECT_FALSE(five->Font.Italic);
    EXPECT_TRUE(ten->Font.Italic);
    const auto sum = Named("Sum");
    EXPECT_EQ(sum.size(), sumPreference ? 1u : 0u);
    if (!sum.empty()) {
      EXPECT_EQ(sum[0].Font.Weight, 700);
    }
  }
}

// The rule under the headers lies between the headers and the first row:
// no row's text is struck through.
TEST_F(TablePrintTest, RuleUnderTheHeadersClearsTheFirstRow) {
  Lookup(2, 3);
  PrintShown();
  const std::vector<TDrawn> first = Named("Row 1");
  ASSERT_EQ(first.size(), 1u);
  int32_t titlesY = -1;
  for (const TDrawn& t : AllTexts())
    if (t.Y < first[0].Y) titlesY = std::max(titlesY, t.Y);
  ASSERT_GE(titlesY, 0);
  int rules = 0;
  for (const auto& line : Printer().Lines) {
    if (line.Y1 != line.Y2) continue;
    ++rules;
    EXPECT_GT(line.Y1, titlesY);
    EXPECT_LE(line.Y1, first[0].Y) << "the rule strikes through the first row";
  }
  EXPECT_EQ(rules, 1);
}

}  // namespace
}  // namespace voq

// A moved table column takes the plot curves that read it along.
#include <gtest/gtest.h>

#include "documents/table_plot_links.h"
#include "plots/plot_list.h"
#include "plots/plots_state.h"
#include "tables/table_edits.h"
#include "tables/table_fixture.h"

namespace voq {
namespace {

class TablePlotLinksTest : public testing::TableTest {};

TEST_F(TablePlotLinksTest, CurvesFollowAMovedLookupColumn) {
  TTableForm* f = MakeLookup(4, 2, "L");
  TPlotRecord* plot = CreateMPRPtr();
  ASSERT_NE(plot, nullptr);
  // A lookup curve of columns 2 (X) and 4 (Y), and a parametric curve of
  // column 2 that a lookup move leaves alone.
  auto* lookupCurve = new TPlotLineRecord;
  lookupCurve->TableKind = kLookupTableKind;
  lookupCurve->XColumn = 2;
  lookupCurve->YColumn = 4;
  auto* parametricCurve = new TPlotLineRecord;
  parametricCurve->TableKind = kParametricTableKind;
  parametricCurve->XColumn = 2;
  parametricCurve->YColumn = 3;
  plot->Axes.FirstCurve = lookupCurve;
  lookupCurve->Next = parametricCurve;

  MoveColumn(*f, 2, 4);  // columns 3 and 4 move left by one
  EXPECT_EQ(lookupCurve->XColumn, 4);
  EXPECT_EQ(lookupCurve->YColumn, 3) << "changed once, not again as old number 3";
  EXPECT_EQ(parametricCurve->XColumn, 2);
  EXPECT_EQ(parametricCurve->YColumn, 3);
  DisposeAll();
}

}  // namespace
}  // namespace voq

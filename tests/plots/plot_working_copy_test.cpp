// The working copy of the shown plot, its write-back, the selection
// bookkeeping and the one-step undo copy.
#include "plots/plot_working_copy.h"

#include <gtest/gtest.h>

#include <memory>

#include "output/canvas.h"
#include "plots/plot_drawing.h"
#include "plots/plot_list.h"
#include "plots/plots_state.h"

namespace voq {
namespace {

class WorkingCopyTest : public testing::Test {
 protected:
  void SetUp() override { ResetPlotsState(); }
  void TearDown() override { ResetPlotsState(); }

  // n plots, each with one curve, the first shown.
  void MakePlots(int n) {
    for (int k = 0; k < n; ++k) {
      TPlotRecord* p = CreateMPRPtr();
      ASSERT_NE(p, nullptr);
      auto* c = new TPlotLineRecord;
      c->CurveNumber = 1;
      c->XMax = 10;
      c->YMax = 10;
      c->XValues = {1, 2};
      c->YValues = {3, 4};
      c->NPoints = 2;
      p->Axes.FirstCurve = c;
    }
    ShowPlot(1);
  }
};

TEST_F(WorkingCopyTest, EditsLiveInTheWorkingCopyUntilWrittenBack) {
  MakePlots(2);
  PlotWorkingCopy.Axes.FrameRect.Left = 77;
  PlotWorkingCopy.FrameLeft = 77;
  EXPECT_NE(PlotList[0]->Axes.FrameRect.Left, 77);  // the record is stale
  MPRFreshen(1);                                      // the tab change's write-back
  ShowPlot(2);
  EXPECT_EQ(CurrentPlotNumber, 2);
  EXPECT_NE(PlotWorkingCopy.Axes.FrameRect.Left, 77);
  ShowPlot(1);
  EXPECT_EQ(PlotWorkingCopy.Axes.FrameRect.Left, 77);
  EXPECT_EQ(PlotList[0]->FrameLeft, 77);
  EXPECT_EQ(PlotCaption("", 1), "Plot Window 1");
  EXPECT_EQ(PlotCaption("Pressure", 1), "Pressure");
}

TEST_F(WorkingCopyTest, WriteBackGoesOnlyToTheShownPlot) {
  MakePlots(2);
  PlotWorkingCopy.Axes.FrameRect.Left = 55;
  MPRFreshen(2);  // another plot's record: untouched
  EXPECT_NE(PlotList[1]->Axes.FrameRect.Left, 55);
  MPRFreshen(0);
  MPRFreshen(3);
  EXPECT_NE(PlotList[0]->Axes.FrameRect.Left, 55);
}

TEST_F(WorkingCopyTest, DisposingKeepsUnsavedEditsOfTheOtherPlots) {
  MakePlots(3);
  ShowPlot(3);
  PlotWorkingCopy.Axes.FrameRect.Top = 99;
  DisposePlot(1);  // plot 3 becomes plot 2; its edit is written back first
  EXPECT_EQ(PlotList[1]->Axes.FrameRect.Top, 99);
  EXPECT_EQ(PlotWorkingCopy.ShownPlotNumber, 1);  // plot 1 shown afterwards
  EXPECT_EQ(PlotWorkingCopy.Axes.FirstCurve, PlotList[0]->Axes.FirstCurve);
  DisposeAll();
  EXPECT_EQ(PlotWorkingCopy.ShownPlotNumber, 0);
  EXPECT_EQ(PlotWorkingCopy.Record(), nullptr);
}

TEST_F(WorkingCopyTest, TextUndoPutsBackAndASecondUndoRedoes) {
  MakePlots(1);
  TPlotTextRecord* t = NewText(1, "Title", 0, 0, 0, 12, 0, 0, 0);
  ASSERT_NE(t, nullptr);
  t->TextRect.Left = 10;
  t->ShowState = -1;  // hidden: the undo copy shows it again
  TPlotWorkingCopy& w = PlotWorkingCopy;
  EXPECT_FALSE(w.UndoEnabled());
  w.MakeUndo(1);
  EXPECT_EQ(w.UndoFlags, 1);
  EXPECT_EQ(t->ShowState, 0);
  t->TextRect.Left = 200;  // moved
  w.doUndo();
  const TPlotRecord& r = *PlotList[0];
  EXPECT_EQ(r.TextItems[0]->TextRect.Left, 10);
  EXPECT_EQ(r.UndoFlags, 1);  // written back, unchanged
  w.doUndo();
  EXPECT_EQ(r.TextItems[0]->TextRect.Left, 200);
  w.ClearUndo();
  EXPECT_EQ(w.UndoFlags, 0);
  EXPECT_EQ(r.UndoFlags, 0);
  EXPECT_TRUE(r.UndoTexts.empty());
  EXPECT_FALSE(w.UndoEnabled());
}

TEST_F(WorkingCopyTest, AxesUndoSwapsTheFrameAndADeepCopyOfTheCurves) {
  MakePlots(1);
  TPlotWorkingCopy& w = PlotWorkingCopy;
  const int16_t oldLeft = w.Axes.FrameRect.Left;
  w.MakeUndo(4);
  const TPlotRecord& r = *PlotList[0];
  ASSERT_NE(r.UndoCurves, nullptr);
  EXPECT_NE(r.UndoCurves, w.Axes.FirstCurve);  // a copy, not the live chain
  w.Axes.FrameRect.Left = 150;
  w.Axes.FirstCurve->XMax = 99;
  w.doUndo();
  EXPECT_EQ(w.Axes.FrameRect.Left, oldLeft);
  EXPECT_EQ(w.Axes.FirstCurve->XMax, 10);
  EXPECT_EQ(r.Axes.FirstCurve, w.Axes.FirstCurve);  // written back
  w.doUndo();
  EXPECT_EQ(w.Axes.FrameRect.Left, 150);
  EXPECT_EQ(w.Axes.FirstCurve->XMax, 99);
  w.MakeUndo(4);  // again without ClearUndo: the first copy is freed, not leaked
  w.ClearUndo();
  EXPECT_EQ(r.UndoCurves, nullptr);
}

TEST_F(WorkingCopyTest, UndoCopyOfAPictureOwnsItsBytes) {
  MakePlots(1);
  TPlotRecord& r = *PlotList[0];
  auto picture = std::make_unique<TGraphicObjectRecord>();
  picture->ObjectKind = kPictureObjectKind;
  picture->Picture = {0x89, 'P', 'N', 'G', 1, 2, 3};
  r.Objects.push_back(std::move(picture));
  PlotWorkingCopy.MakeUndo(2);
  r.Objects.clear();  // the live object disposed
  ASSERT_EQ(r.UndoObjects.size(), 1u);
  EXPECT_EQ(r.UndoObjects[0]->Picture.size(), 7u);
  EXPECT_EQ(PictureFormatOf(r.UndoObjects[0]->Picture), PictureFormatOf({0x89, 'P', 'N', 'G', 1, 2, 3}));
  PlotWorkingCopy.doUndo();
  EXPECT_EQ(r.Objects.size(), 1u);
}

TEST_F(WorkingCopyTest, SelectionBookkeeping) {
  MakePlots(1);
  TPlotRecord& r = *PlotList[0];
  TPlotTextRecord* a = NewText(1, "a", 0, 0, 0, 12, 0, 0, 0);
  TPlotTextRecord* b = NewText(1, "b", 0, 0, 0, 12, 0, 0, 0);
  r.Objects.push_back(std::make_unique<TGraphicObjectRecord>());
  TPlotWorkingCopy& w = PlotWorkingCopy;
  a->Selected = 1;
  w.SetFirstSelectedText();
  EXPECT_EQ(r.FirstSelectedText, a);
  b->Selected = 1;
  w.SetFirstSelectedText();  // still held and selected: kept
  EXPECT_EQ(r.FirstSelectedText, a);
  a->Selected = 0;
  w.SetFirstSelectedText();
  EXPECT_EQ(r.FirstSelectedText, b);
  r.Objects[0]->Selected = 1;
  EXPECT_EQ(w.NTextItemsSelected(), 1);
  EXPECT_EQ(w.NObjectItemsSelected(), 1);
  w.UndoAnchorIndex = 3;
  w.UnselectAll();
  EXPECT_EQ(w.NTextItemsSelected() + w.NObjectItemsSelected(), 0);
  EXPECT_EQ(r.FirstSelectedText, nullptr);
  EXPECT_EQ(w.UndoAnchorIndex, -1);
}

TEST_F(WorkingCopyTest, PlotWithoutCurvesPaintsNothingNotEvenText) {
  CreateMPRPtr();
  ShowPlot(1);
  NewText(1, "Title", 0, 0, 0, 12, 0, 0, 0);
  RecordingCanvas canvas;
  TPlotPainter(canvas, PlotWorkingCopy.Axes).DisplayPlot();
  EXPECT_TRUE(canvas.Operations.empty());
}

}  // namespace
}  // namespace voq

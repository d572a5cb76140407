#include "plots/plot_working_copy.h"

#include <memory>
#include <utility>

#include "plots/plots_state.h"

namespace voq {

TPlotWorkingCopy PlotWorkingCopy;

namespace {

// A copy of the chain from first, record by record with its arrays; the
// table header stays the table model's (not owned by a curve).
TPlotLineRecord* CopyCurveChain(const TPlotLineRecord* first) {
  TPlotLineRecord* head = nullptr;
  TPlotLineRecord** tail = &head;
  for (const TPlotLineRecord* c = first; c != nullptr; c = c->Next) {
    auto* copy = new TPlotLineRecord(*c);
    copy->Next = nullptr;
    *tail = copy;
    tail = &copy->Next;
  }
  return head;
}

}  // namespace

TPlotRecord* TPlotWorkingCopy::Record() const {
  if (ShownPlotNumber < 1 || ShownPlotNumber > static_cast<int32_t>(PlotList.size())) return nullptr;
  return PlotList[static_cast<size_t>(ShownPlotNumber - 1)].get();
}

int32_t TPlotWorkingCopy::NTextItemsSelected() const {
  const TPlotRecord* r = Record();
  int32_t n = 0;
  if (r != nullptr)
    for (const auto& t : r->TextItems) n += t->Selected != 0;
  return n;
}

int32_t TPlotWorkingCopy::NObjectItemsSelected() const {
  const TPlotRecord* r = Record();
  int32_t n = 0;
  if (r != nullptr)
    for (const auto& o : r->Objects) n += o->Selected != 0;
  return n;
}

void TPlotWorkingCopy::SetFirstSelectedText() {
  TPlotRecord* r = Record();
  if (r == nullptr) return;
  if (NTextItemsSelected() <= 1 || (r->FirstSelectedText != nullptr && r->FirstSelectedText->Selected == 0))
    r->FirstSelectedText = nullptr;
  if (r->FirstSelectedText == nullptr)
    for (const auto& t : r->TextItems)
      if (t->Selected != 0) r->FirstSelectedText = t.get();
}

void TPlotWorkingCopy::UnselectAll() {
  UndoAnchorIndex = -1;
  TPlotRecord* r = Record();
  if (r == nullptr) return;
  for (const auto& t : r->TextItems) t->Selected = 0;
  for (const auto& o : r->Objects) o->Selected = 0;
  r->FirstSelectedText = nullptr;
}

void TPlotWorkingCopy::MakeUndo(uint8_t what) {
  TPlotRecord* r = Record();
  if (r == nullptr) return;
  if (what & 1) {
    for (const auto& t : r->TextItems) {
      t->ShowState = 0;
      r->UndoTexts.push_back(std::make_unique<TPlotTextRecord>(*t));
    }
    UndoFlags |= 1;
  }
  if (what & 2) {
    for (const auto& o : r->Objects) r->UndoObjects.push_back(std::make_unique<TGraphicObjectRecord>(*o));
    UndoFlags |= 2;
  }
  if (what & 4) {
    UndoAxes = Axes;
    // A second copy without a ClearUndo between replaces the first one
    // instead of leaking it.
    DisposeCurveChain(r->UndoCurves);
    r->UndoCurves = CopyCurveChain(Axes.FirstCurve);
    UndoAxes.FirstCurve = r->UndoCurves;
    UndoFlags |= 4;
  }
}

void TPlotWorkingCopy::ClearUndo() {
  if (TPlotRecord* r = Record()) {
    r->UndoTexts.clear();
    r->UndoObjects.clear();
    DisposeCurveChain(r->UndoCurves);
  }
  UndoAxes.FirstCurve = nullptr;
  UndoFlags = 0;
  MPRFreshen(ShownPlotNumber);
}

void TPlotWorkingCopy::doUndo() {
  TPlotRecord* r = Record();
  if (r == nullptr) return;
  if (UndoFlags & 1) {
    std::swap(r->TextItems, r->UndoTexts);
    UnselectAll();
  }
  if (UndoFlags & 2) {
    std::swap(r->Objects, r->UndoObjects);
    UnselectAll();
  }
  if (UndoFlags & 4) {
    TPlotLineRecord* live = Axes.FirstCurve;
    std::swap(Axes, UndoAxes);
    Axes.FirstCurve = r->UndoCurves;
    r->UndoCurves = live;
    UndoAxes.FirstCurve = live;
    FrameLeft = Axes.FrameRect.Left;
    FrameTop = Axes.FrameRect.Top;
    FrameRight = Axes.FrameRect.Right;
    FrameBottom = Axes.FrameRect.Bottom;
    UnselectAll();
  }
  MPRFreshen(ShownPlotNumber);
}

void MPRFreshen(int32_t n) {
  TPlotWorkingCopy& w = PlotWorkingCopy;
  if (n < 1 || n > static_cast<int32_t>(PlotList.size()) || n != w.ShownPlotNumber) return;
  TPlotRecord& r = *PlotList[static_cast<size_t>(n - 1)];
  r.PlotName = w.PlotName.substr(0, kPlotTextLength);
  r.FrameLeft = w.FrameLeft;
  r.FrameRight = w.FrameRight;
  r.FrameBottom = w.FrameBottom;
  r.FrameTop = w.FrameTop;
  r.Axes = w.Axes;
  r.PlotNumber = n;
  r.FrameRightAtDown = w.FrameRightAtDown;
  r.FrameBottomAtDown = w.FrameBottomAtDown;
  r.UndoAnchorIndex = w.UndoAnchorIndex;
  r.UndoAnchorKind = w.UndoAnchorKind;
  r.UndoFlags = w.UndoFlags;
  r.HitTextIndex = w.HitTextIndex;
  if (r.Axes.FirstCurve != nullptr && r.Axes.FirstCurve->CurveKind == kSurfaceCurveKind) {
    r.OrbitLastX = w.OrbitLastX;
    r.OrbitLastY = w.OrbitLastY;
  }
}

void ShowPlot(int32_t n) {
  if (n < 1 || n > static_cast<int32_t>(PlotList.size())) return;
  const TPlotRecord& r = *PlotList[static_cast<size_t>(n - 1)];
  TPlotWorkingCopy& w = PlotWorkingCopy;
  CurrentPlotNumber = n;
  w.ShownPlotNumber = n;
  w.FrameLeft = r.FrameLeft;
  w.FrameRight = r.FrameRight;
  w.FrameBottom = r.FrameBottom;
  w.FrameTop = r.FrameTop;
  w.Axes = r.Axes;
  w.UndoAxes = r.Axes;
  w.UndoAxes.FirstCurve = r.UndoCurves;
  w.PlotName = r.PlotName;
  w.FrameRightAtDown = r.FrameRightAtDown;
  w.FrameBottomAtDown = r.FrameBottomAtDown;
  w.UndoAnchorIndex = r.UndoAnchorIndex;
  w.UndoAnchorKind = r.UndoAnchorKind;
  w.UndoFlags = r.UndoFlags;
  w.HitTextIndex = r.HitTextIndex;
  w.OrbitLastX = r.OrbitLastX;
  w.OrbitLastY = r.OrbitLastY;
}

void DropWorkingCopy() { PlotWorkingCopy = TPlotWorkingCopy{}; }

std::string PlotCaption(const std::string& name, int32_t plotNumber) {
  return name.empty() ? "Plot Window " + std::to_string(plotNumber) : name;
}

}  // namespace voq

#include "output/formatted_page.h"

#include <algorithm>
#include <cstdlib>

#include "core/calc_state.h"
#include "model/program_units.h"
#include "model/routines.h"
#include "model/store_state.h"
#include "output/equation_typesetter.h"
#include "output/palette.h"

namespace voq {

namespace {

// Colour of a selected item's background.
constexpr TRgb kSelectionColour = MakeRgb(0xCC, 0xDD, 0xFF);

bool Contains(const TRect& r, int32_t x, int32_t y) {
  return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

TRect Moved(const TRect& r, int32_t dx, int32_t dy) {
  return TRect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

TRect Enlarged(const TRect& r, int32_t dx, int32_t dy) {
  return TRect{r.Left - dx, r.Top - dy, r.Right + dx, r.Bottom + dy};
}

TRect FromScreen(const TScreenRect& r) { return TRect{r.Left, r.Top, r.Right, r.Bottom}; }
TScreenRect ToScreen(const TRect& r) { return TScreenRect{r.Left, r.Top, r.Right, r.Bottom}; }

int32_t OffsetXOf(const TFormatRecord& r) { return r.Statement != nullptr ? r.Statement->OffsetX : 0; }
int32_t OffsetYOf(const TFormatRecord& r) { return r.Statement != nullptr ? r.Statement->OffsetY : 0; }

// The parameter list of a routine's header as written: "(a, b : c)".
std::string HeaderParameters(const TRoutineRecord& r) {
  const size_t open = r.HeaderText.find('(');
  const size_t close = r.HeaderText.rfind(')');
  if (open == std::string::npos || close == std::string::npos || close < open) return "";
  return r.HeaderText.substr(open, close - open + 1);
}

}  // namespace

TFormatBox* BreakPrintedEquation(TFormattedForm& form, TFormatBox* list, int32_t limit) {
  if (list == nullptr) return nullptr;
  const int32_t left = list->Rect.Left;
  TFormatBox* previousOperator = nullptr;
  for (TFormatBox* b = list->Next; b != nullptr; b = b->Next) {
    if (b->Role != kRoleBreakOperator && b->Next != nullptr) continue;
    // The width of the boxes before b.
    const int32_t width = (b->Next == nullptr ? b->Rect.Left + b->Width : b->Rect.Left) - left;
    if (width >= limit) {
      if (previousOperator != nullptr) return previousOperator;
      return b->Role == kRoleBreakOperator ? b : nullptr;
    }
    if (b->Role == kRoleBreakOperator) previousOperator = b;
  }
  (void)form;
  return nullptr;
}

int32_t TFormattedEquations::DrawFuncHeader(bool top, int32_t x, int32_t y, int32_t routine) {
  const TRoutineRecord* r = RoutineAt(routine);
  Canvas& canvas = form_.TheCanvas();
  canvas.SetTextColor(MakeRgb(0, 0, 0));
  const bool selected = r->Selected[top ? 0 : 1] != 0;
  int32_t pen = x;
  auto text = [&](const std::string& s, int32_t style) {
    form_.TextSizeStyle(form_.BaseFontSize, style);
    canvas.TextOut(pen, y, s);
    pen += form_.StringWidth(s);
  };
  const std::string keyword = !top ? "End" : r->OutputCount > 0 ? "Procedure" : "Function";
  if (selected && !CopyMode) {
    form_.TextSizeStyle(form_.BaseFontSize, 1);
    const int32_t w = form_.StringWidth(keyword + " " + r->Name + " " + HeaderParameters(*r)) + form_.Px(20);
    canvas.FillRect(TRect{x - 3, y - 1, x + w + 3, y + form_.LineHeight + 1}, kSelectionColour);
  }
  text(keyword, 0);
  pen += form_.Px(10);
  text(r->Name, 1);
  if (top) text(" " + HeaderParameters(*r), 0);
  form_.TextSizeStyle(form_.BaseFontSize, 0);
  TFormatRecord record;
  record.HitRect = Enlarged(TRect{x, y, pen, y + form_.LineHeight}, 3, 4);
  record.RoutineIndex = top ? routine : -routine;
  FormatRecordList.push_back(record);
  RightExtent = std::max(RightExtent, pen);
  return pen;
}

int32_t TFormattedEquations::DrawFormatEqns(int32_t top, int32_t visibleTop, int32_t visibleBottom) {
  FormatRecordList.clear();
  ErrorStatement = nullptr;
  LaidOutCount = 0;
  IfDepth = 0;
  PendingElseLabel = 0;
  PendingUntilLabel = 0;
  CalcErrorCode = 0;
  const bool full = CopyMode || PaintedHeight == 0;
  const int32_t x0 = form_.Px(10);
  int32_t y = top + form_.LineHeight / 2;

  for (int32_t slot = 1; slot <= FunctionCount; ++slot) {
    const TRoutineRecord* r = RoutineAt(slot);
    if (r == nullptr || r->IsLibrary != 0 || r->FirstStatement == nullptr) continue;
    if (!full && y > visibleBottom + 64) break;
    if (!CopyMode || r->Selected[0] != 0) {
      DrawFuncHeader(true, x0, y, slot);
      y += form_.LineHeight + form_.LineHeight / 2;
    }
    IfDepth = 0;
    if (!DrawStatementList(r->FirstStatement, slot, y, visibleTop, visibleBottom, full)) return y;
    if (!CopyMode || r->Selected[1] != 0) {
      DrawFuncHeader(false, x0, y, slot);
      y += 2 * form_.LineHeight;
    }
  }
  if (MainProgramUnit != nullptr) {
    if (!DrawStatementList(MainProgramUnit->FirstEquation, 0, y, visibleTop, visibleBottom, full)) return y;
  }
  PaintedHeight = y;
  return y;
}

bool TFormattedEquations::DrawStatementList(TEquationRecord* first, int32_t routine, int32_t& y, int32_t visibleTop,
                                            int32_t visibleBottom, bool full) {
  const int32_t x0 = form_.Px(10);
  const int32_t gap = form_.LineHeight / 2;
  TRect previous{};
  int32_t previousLine = -1;
  for (TEquationRecord* e = first; e != nullptr; e = e->Next) {
    if (CopyMode && e->Selected == 0) continue;
    const bool sameLine = previousLine > 0 && e->LineNumber == previousLine;
    const TRect cached = FromScreen(e->DisplayRect);
    const bool hasCache = cached.Bottom > cached.Top;
    const bool inBand = (cached.Top >= visibleTop && cached.Top <= visibleBottom + 64) ||
                        (cached.Bottom >= visibleTop && cached.Bottom <= visibleBottom + 64);
    TRect page{};
    if (!full && hasCache && !inBand) {
      // Far from the view: the place of the last layout stands.
      page = cached;
    } else {
      const int32_t lineTop = sameLine ? previous.Top : y;
      TFormatBox* list = doFormatEqn(form_, e, lineTop, routine);
      if (CalcErrorCode > 0) {
        DisposeFormatEqn(list);
        ErrorStatement = e;
        return false;
      }
      if (list == nullptr) continue;
      LaidOutCount += 1;
      form_.ShiftV(list, lineTop - list->Rect.Top);
      int32_t x = routine > 0 ? x0 + form_.Px(15) + list->Indent : x0;
      if (sameLine) x = previous.Right + form_.Px(20);
      ShiftH(list, x - list->Rect.Left);
      page = list->Rect;
      page.Right = std::max(page.Right, page.Left + form_.GetWidth(list));
      if (e->Selected != 0 && !CopyMode) {
        form_.TheCanvas().FillRect(Moved(Enlarged(page, 3, 1), e->OffsetX, e->OffsetY), kSelectionColour);
      }
      form_.TheCanvas().SetTextColor(MakeRgb(0, 0, 0));
      form_.DrawFormattedEqn(list, e->OffsetX, e->OffsetY);
      DisposeFormatEqn(list);
      if (!CopyMode) e->DisplayRect = ToScreen(page);
    }
    TFormatRecord record;
    record.HitRect = Enlarged(page, 3, 1);
    record.Statement = e;
    record.RoutineIndex = 0;
    FormatRecordList.push_back(record);
    RightExtent = std::max(RightExtent, page.Right + e->OffsetX);
    y = std::max(y, page.Bottom + gap);
    previous = page;
    previousLine = e->LineNumber;
  }
  return true;
}

const TFormatRecord* TFormattedEquations::RecordAt(int32_t x, int32_t y) const {
  for (const TFormatRecord& r : FormatRecordList) {
    if (Contains(Moved(r.HitRect, OffsetXOf(r), OffsetYOf(r)), x, y)) return &r;
  }
  return nullptr;
}

void TFormattedEquations::MouseDown(int32_t x, int32_t y) {
  const TFormatRecord* r = RecordAt(x, y);
  dragged_ = r != nullptr ? static_cast<int32_t>(r - FormatRecordList.data()) : -1;
  dragX_ = x;
  dragY_ = y;
  if (r == nullptr) UnselectAll();
}

bool TFormattedEquations::MouseUp(int32_t x, int32_t y) {
  if (dragged_ < 0 || static_cast<size_t>(dragged_) >= FormatRecordList.size()) return dragged_ < 0;
  TFormatRecord& r = FormatRecordList[static_cast<size_t>(dragged_)];
  dragged_ = -1;
  const int32_t dx = x - dragX_;
  const int32_t dy = y - dragY_;
  if (std::abs(dx) > 1 || std::abs(dy) > 1) {
    if (r.Statement != nullptr) {
      r.Statement->OffsetX = static_cast<int16_t>(std::clamp(r.Statement->OffsetX + dx, -32000, 32000));
      r.Statement->OffsetY = static_cast<int16_t>(std::clamp(r.Statement->OffsetY + dy, -32000, 32000));
    }
    return true;
  }
  if (r.Statement != nullptr) {
    r.Statement->Selected = r.Statement->Selected != 0 ? 0 : 1;
  } else if (TRoutineRecord* routine = RoutineAt(std::abs(r.RoutineIndex))) {
    uint8_t& flag = routine->Selected[r.RoutineIndex > 0 ? 0 : 1];
    flag = flag != 0 ? 0 : 1;
  }
  return true;
}

TEquationRecord* TFormattedEquations::StatementAt(int32_t x, int32_t y) const {
  const TFormatRecord* r = RecordAt(x, y);
  return r != nullptr ? r->Statement : nullptr;
}

void TFormattedEquations::SelectAll(int32_t bandTop, int32_t bandBottom) {
  UnselectAll();
  for (const TFormatRecord& r : FormatRecordList) {
    if (r.HitRect.Top < bandTop - 5 || r.HitRect.Bottom > bandBottom + 5) continue;
    if (r.Statement != nullptr) {
      r.Statement->Selected = 1;
    } else if (TRoutineRecord* routine = RoutineAt(std::abs(r.RoutineIndex))) {
      routine->Selected[r.RoutineIndex > 0 ? 0 : 1] = 1;
    }
  }
}

void TFormattedEquations::UnselectAll() {
  for (const TFormatRecord& r : FormatRecordList) {
    if (r.Statement != nullptr) r.Statement->Selected = 0;
    if (TRoutineRecord* routine = RoutineAt(std::abs(r.RoutineIndex))) routine->Selected = {0, 0};
  }
}

bool TFormattedEquations::IsSelected() const {
  for (const TFormatRecord& r : FormatRecordList) {
    if (r.Statement != nullptr && r.Statement->Selected != 0) return true;
    if (r.Statement == nullptr) {
      if (const TRoutineRecord* routine = RoutineAt(std::abs(r.RoutineIndex))) {
        if (routine->Selected[r.RoutineIndex > 0 ? 0 : 1] != 0) return true;
      }
    }
  }
  return false;
}

}  // namespace voq

#include "output/formatted_page.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "language/equation_reader.h"
#include "language/reader_state.h"
#include "model/document_settings.h"
#include "model/program_units.h"
#include "model/routines.h"
#include "model/store_state.h"
#include "output/equation_typesetter.h"
#include "output/formatted_comments.h"
#include "output/formatted_offsets.h"
#include "output/palette.h"
#include "output/print_engine.h"
#include "output/solution_print.h"
#include "platform/host.h"

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

// The header or end line a record stands for and the name its offset is
// kept by; false for a statement.
bool HeaderKey(const TFormatRecord& r, uint8_t& line, std::string& name) {
  if (r.Statement != nullptr) return false;
  if (r.UnitIndex != 0) {
    const size_t u = static_cast<size_t>(std::abs(r.UnitIndex));
    if (u >= ProgramUnitList.size() || ProgramUnitList[u] == nullptr) return false;
    line = r.UnitIndex > 0 ? kUnitHeaderLine : kUnitEndLine;
    name = ProgramUnitList[u]->UpperName;
    return true;
  }
  const TRoutineRecord* routine = RoutineAt(std::abs(r.RoutineIndex));
  if (routine == nullptr) return false;
  line = r.RoutineIndex > 0 ? kRoutineHeaderLine : kRoutineEndLine;
  name = routine->UpperName;
  return true;
}

std::pair<int32_t, int32_t> OffsetOf(const TFormatRecord& r) {
  if (r.Statement != nullptr) return {r.Statement->OffsetX, r.Statement->OffsetY};
  uint8_t line = 0;
  std::string name;
  return HeaderKey(r, line, name) ? HeaderOffset(line, name) : std::pair<int32_t, int32_t>{0, 0};
}
int32_t OffsetXOf(const TFormatRecord& r) { return OffsetOf(r).first; }
int32_t OffsetYOf(const TFormatRecord& r) { return OffsetOf(r).second; }

// The locals of a routine that are main-program variables named in its
// $COMMON directive.
std::vector<std::string> CommonNames(const TRoutineRecord& r) {
  std::vector<std::string> names;
  for (const TLocalVariableRecord* l = r.Locals; l != nullptr; l = l->Next)
    if (l->LocalNumber < 0) names.push_back(l->Name);
  return names;
}

// The parameter list of a routine's header as written: "(a, b : c)".
std::string HeaderParameters(const TRoutineRecord& r) {
  const size_t open = r.HeaderText.find('(');
  const size_t close = r.HeaderText.rfind(')');
  if (open == std::string::npos || close == std::string::npos || close < open) return "";
  return r.HeaderText.substr(open, close - open + 1);
}

// The parameter list of a unit's header as written.
std::string UnitParameters(const TProgramUnitRecord& u) {
  const size_t open = u.HeaderText.find('(');
  const size_t close = u.HeaderText.rfind(')');
  if (open == std::string::npos || close == std::string::npos || close < open) return "";
  return u.HeaderText.substr(open, close - open + 1);
}

constexpr TRgb kIncludeColour = MakeRgb(0, 128, 0);

// The units of ProgramUnitList drawn between the routines and the main
// program, in text order.
std::vector<TProgramUnitRecord*> UnitsToDraw() {
  std::vector<TProgramUnitRecord*> units;
  for (size_t k = 1; k < ProgramUnitList.size(); ++k) {
    TProgramUnitRecord* u = ProgramUnitList[k];
    if (u == nullptr || u->IsLibraryUnit != 0 || u->FirstEquation == nullptr) continue;
    units.push_back(u);
  }
  std::stable_sort(units.begin(), units.end(),
                   [](const TProgramUnitRecord* a, const TProgramUnitRecord* b) { return a->BlockStart < b->BlockStart; });
  return units;
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

int32_t TFormattedEquations::DrawFuncName(const std::string& name, int32_t style, int32_t x, int32_t y) {
  std::string shown = name.substr(0, 30);
  // An index is drawn as a subscript while subscripts are shown.
  if (Preferences.ShowSubscripts != 0) std::replace(shown.begin(), shown.end(), '[', '_');
  form_.MoveTOSK(x, y);
  form_.DrawUnderScoreString(shown, form_.BaseFontSize, false, false, false, false, 0, style);
  form_.MoveTOSK(form_.PenX, y);
  return form_.PenX;
}

int32_t TFormattedEquations::DrawFuncHeader(bool top, int32_t x, int32_t y, int32_t routine) {
  const TRoutineRecord* r = RoutineAt(routine);
  Canvas& canvas = form_.TheCanvas();
  canvas.SetTextColor(MakeRgb(0, 0, 0));
  const bool selected = r->Selected[top ? 0 : 1] != 0;
  // The page place of the header is (x, y); the user's offset moves the
  // drawing only, so the hit record keeps the computed place.
  const auto [offsetX, offsetY] = HeaderOffset(top ? kRoutineHeaderLine : kRoutineEndLine, r->UpperName);
  const int32_t ox = Printing ? offsetX * PixelScaleX : offsetX;
  const int32_t oy = Printing ? offsetY * PixelScaleY : offsetY;
  const std::vector<std::string> common = top ? CommonNames(*r) : std::vector<std::string>{};
  const int32_t lines = common.empty() ? 1 : 2;
  int32_t pen = x + ox;
  int32_t penY = y + oy;
  auto text = [&](const std::string& s, int32_t style) {
    form_.TextSizeStyle(form_.BaseFontSize, style);
    canvas.TextOut(pen, penY, s);
    pen += form_.StringWidth(s);
  };
  const std::string keyword = !top ? "End" : r->OutputCount > 0 ? "Procedure" : "Function";
  if (selected && !CopyMode && !Printing) {
    form_.TextSizeStyle(form_.BaseFontSize, 1);
    const int32_t w = form_.StringWidth(keyword + " " + r->Name + " " + HeaderParameters(*r)) + form_.Px(20);
    canvas.FillRect(TRect{x + ox - 3, y + oy - 1, x + ox + w + 3, y + oy + lines * form_.LineHeight + 1},
                    kSelectionColour);
  }
  text(keyword, 0);
  pen += form_.Px(10);
  pen = DrawFuncName(r->Name, 1, pen, penY);
  if (top) text(" " + HeaderParameters(*r), 0);
  int32_t right = pen;
  if (!common.empty()) {
    // The main-program variables the routine shares, on a line of their
    // own below the header.
    pen = x + ox;
    penY += form_.LineHeight;
    text("$Common ", 0);
    for (size_t k = 0; k < common.size(); ++k) {
      if (k > 0) text(std::string(1, ArgumentSeparator) + " ", 0);
      pen = DrawFuncName(common[k], 0, pen, penY);
    }
    right = std::max(right, pen);
  }
  form_.TextSizeStyle(form_.BaseFontSize, 0);
  TFormatRecord record;
  record.HitRect = Enlarged(TRect{x, y, right - ox, y + lines * form_.LineHeight}, 3, 4);
  record.RoutineIndex = top ? routine : -routine;
  FormatRecordList.push_back(record);
  RightExtent = std::max(RightExtent, right);
  return lines;
}

int32_t TFormattedEquations::DrawBlockHeader(bool top, int32_t x, int32_t y, int32_t unitIndex) {
  const TProgramUnitRecord* u = ProgramUnitList[static_cast<size_t>(unitIndex)];
  Canvas& canvas = form_.TheCanvas();
  canvas.SetTextColor(MakeRgb(0, 0, 0));
  const bool selected = u->FormattedBytes[top ? 0 : 1] != 0;
  const auto [offsetX, offsetY] = HeaderOffset(top ? kUnitHeaderLine : kUnitEndLine, u->UpperName);
  const int32_t ox = Printing ? offsetX * PixelScaleX : offsetX;
  const int32_t oy = Printing ? offsetY * PixelScaleY : offsetY;
  int32_t pen = x + ox;
  auto text = [&](const std::string& s, int32_t style) {
    form_.TextSizeStyle(form_.BaseFontSize, style);
    canvas.TextOut(pen, y + oy, s);
    pen += form_.StringWidth(s);
  };
  const std::string keyword = !top ? "END" : u->IsSubprogram != 0 ? "SUBPROGRAM" : "MODULE";
  if (selected && !CopyMode && !Printing) {
    form_.TextSizeStyle(form_.BaseFontSize, 1);
    const int32_t w = form_.StringWidth(keyword + " " + u->Name + " " + UnitParameters(*u)) + form_.Px(20);
    canvas.FillRect(TRect{x + ox - 3, y + oy - 1, x + ox + w + 3, y + oy + form_.LineHeight + 1}, kSelectionColour);
  }
  text(keyword, 0);
  pen += form_.Px(10);
  pen = DrawFuncName(u->Name, 1, pen, y + oy);
  if (top) text(" " + UnitParameters(*u), 0);
  form_.TextSizeStyle(form_.BaseFontSize, 0);
  TFormatRecord record;
  record.HitRect = Enlarged(TRect{x, y, pen - ox, y + form_.LineHeight}, 3, 4);
  record.UnitIndex = top ? unitIndex : -unitIndex;
  FormatRecordList.push_back(record);
  RightExtent = std::max(RightExtent, pen);
  return pen;
}

int32_t TFormattedEquations::StatementStart(const TEquationRecord& e) const {
  // A statement's range starts at its line; blanks and comments before its
  // first character are not part of it.
  int32_t p = e.TextStart;
  if (p < 0) return -1;
  for (bool moved = true; moved;) {
    moved = false;
    while (static_cast<size_t>(p) < text_.size() && (text_[static_cast<size_t>(p)] == ' ' || text_[static_cast<size_t>(p)] == '\t')) {
      ++p;
    }
    for (const TCommentRecord& c : CommentRecordList) {
      if (c.start - 1 == p && c.end >= p) {
        p = c.end + 1;
        moved = true;
        break;
      }
    }
  }
  return p;
}

std::string TFormattedEquations::TextWithoutComments(int32_t from, int32_t to) const {
  std::string out;
  if (from < 0) return out;
  to = std::min<int32_t>(to, static_cast<int32_t>(text_.size()));
  for (int32_t p = from; p < to; ++p) {
    bool inComment = false;
    for (const TCommentRecord& c : CommentRecordList) {
      if (p >= c.start - 1 && p <= c.end) {
        inComment = true;
        break;
      }
    }
    if (!inComment) out += text_[static_cast<size_t>(p)];
  }
  const auto blank = [](char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; };
  while (!out.empty() && blank(out.back())) out.pop_back();
  while (!out.empty() && blank(out.front())) out.erase(0, 1);
  return out;
}

int32_t TFormattedEquations::LineOf(int32_t position) const {
  // lineStarts_ holds the position of each line's first character.
  const auto it = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), position);
  return static_cast<int32_t>(it - lineStarts_.begin());
}

void TFormattedEquations::DrawIncludeLines(int32_t x0, int32_t& y) {
  Canvas& canvas = form_.TheCanvas();
  for (size_t k = 0; k < lineStarts_.size(); ++k) {
    const size_t from = static_cast<size_t>(lineStarts_[k]);
    size_t to = text_.find_first_of("\r\n", from);
    if (to == std::string::npos) to = text_.size();
    const std::string line = text_.substr(from, to - from);
    if (!IsIncludeLine(line)) continue;
    form_.TextSizeStyle(form_.BaseFontSize, 0);
    canvas.SetTextColor(kIncludeColour);
    canvas.TextOut(x0, y, line);
    RightExtent = std::max(RightExtent, x0 + form_.StringWidth(line));
    form_.AdvanceLine(y, form_.LineHeight);
  }
  canvas.SetTextColor(MakeRgb(0, 0, 0));
}

int32_t TFormattedEquations::DrawCommentsUpTo(int32_t to, const TRect* prevRect, int32_t prevLine,
                                              int32_t nextLine, int32_t x0, int32_t& y) {
  int32_t shift = 0;
  statementLineTop_ = -1;
  while (commentCursor_ < CommentRecordList.size()) {
    const TCommentRecord& c = CommentRecordList[commentCursor_];
    // Positions count from 0: start is the first character inside the
    // comment, end its closing delimiter.
    if (c.start - 1 >= to) break;
    const size_t index = commentCursor_++;
    if (CopyMode && CommentSelected[index] == 0) continue;
    if (c.start < 1 || c.end < c.start || static_cast<size_t>(c.end) > text_.size()) continue;
    std::string body = text_.substr(static_cast<size_t>(c.start), static_cast<size_t>(c.end - c.start));
    if (c.styleClass == 1 && !body.empty() && body[0] == '!') body.erase(0, 1);
    TCommentLook look;
    if (useColours_) look.Colour = PaletteColorRGB(c.styleClass == 1 ? Preferences.CommentColor2 : Preferences.CommentColor1);
    const int32_t preference = Printing ? (c.styleClass == 1 ? Preferences.PrintCommentStyle2 : Preferences.PrintCommentStyle1)
                                        : (c.styleClass == 1 ? Preferences.CommentStyle2 : Preferences.CommentStyle1);
    look.FontStyle = CommentFontStyle(preference, Printing);

    TCommentPlace place;
    place.LineLeft = x0;
    place.PageRight = Printing ? PrintState.PageWidth : 999999;
    place.RightMargin = Printing ? PrintRightMargin : 40;
    form_.TextSizeStyle(form_.BaseFontSize, look.FontStyle);
    const int32_t width = form_.StringWidth(body);
    const int32_t line = LineOf(c.start);
    enum { kOwnLine, kAfterStatement, kBeforeStatement } where = kOwnLine;
    if (prevRect != nullptr && line == prevLine) {
      where = kAfterStatement;
      place.X = prevRect->Right + form_.Px(15);
      const int32_t middle = (prevRect->Top + prevRect->Bottom) / 2;
      place.Y = std::max(prevRect->Top, middle - form_.LineHeight / 2);
      if (place.X + width + form_.Px(30) > place.PageRight - place.RightMargin) {
        where = kOwnLine;
        place.X = x0 + (Printing ? PrintLeftMargin : 0);
        place.Y = y;
      }
    } else if (nextLine > 0 && line >= nextLine && line != prevLine) {
      where = kBeforeStatement;
      place.X = x0;
      place.Y = y;
    } else {
      place.X = x0;
      place.Y = y;
    }
    place.LineLeft = place.X;
    // A comment must not run into the one drawn just before it.
    if (place.Y == lastTextRect_.Top && place.X <= lastTextRect_.Right) {
      place.X += lastTextRect_.Right - place.X + static_cast<int32_t>(std::lround(12.5 * PixelScaleX));
    }
    const int32_t ox = Printing ? c.windowData1 * PixelScaleX : c.windowData1;
    const int32_t oy = Printing ? c.windowData2 * PixelScaleY : c.windowData2;
    TCommentPlace shown = place;
    shown.X += ox;
    shown.Y += oy;
    shown.LineLeft += ox;
    const TRect drawn = DrawCommentText(form_, body, shown, look);
    const TRect rect = Moved(drawn, -ox, -oy);
    if (CommentSelected[index] != 0 && !CopyMode && !Printing) {
      form_.TheCanvas().FrameRect(Enlarged(drawn, 2, 1), MakeRgb(0x33, 0x66, 0xCC));
    }
    CommentHits.push_back(TCommentHit{index, rect});
    lastTextRect_ = rect;
    RightExtent = std::max(RightExtent, drawn.Right);
    switch (where) {
      case kAfterStatement:
        shift = rect.Right - rect.Left + form_.Px(30);
        break;
      case kBeforeStatement:
        shift = rect.Right - rect.Left + form_.Px(15);
        statementLineTop_ = rect.Top;
        break;
      case kOwnLine:
        shift = 0;
        form_.AdvanceLine(y, rect.Bottom - rect.Top);
        y = std::max(y, rect.Bottom + (Printing ? 0 : form_.LineHeight / 2));
        break;
    }
  }
  return shift;
}

int32_t TFormattedEquations::DrawFormatEqns(int32_t top, int32_t visibleTop, int32_t visibleBottom) {
  FormatRecordList.clear();
  CommentHits.clear();
  ErrorStatement = nullptr;
  LaidOutCount = 0;
  IfDepth = 0;
  PendingElseLabel = 0;
  PendingUntilLabel = 0;
  CalcErrorCode = 0;
  try {
    text_ = Equations().GetText();
    lineStarts_.assign(1, 0);
    for (size_t k = 0; k < text_.size(); ++k) {
      const char ch = text_[k];
      if (ch == '\n' || (ch == '\r' && (k + 1 >= text_.size() || text_[k + 1] != '\n'))) {
        lineStarts_.push_back(static_cast<int32_t>(k + 1));
      }
    }
    CommentSelected.resize(CommentRecordList.size(), 0);
  } catch (const std::bad_alloc&) {
    ShowAlert(GetMessageText(kMsgOperationOutOfMemory), 0, true);
    CalcErrorCode = kMsgOutOfMemory;
    return top;
  }
  commentCursor_ = 0;
  lastTextRect_ = TRect{9999, 9999, 0, 0};
  lastRect_ = TRect{};
  lastLine_ = 0;
  useColours_ = !ShiftKeyDown() && !(Printing && Preferences.PrintInColor == 0);
  const bool full = Printing || CopyMode || PaintedHeight == 0;
  const int32_t x0 = Printing ? PrintLeftMargin : form_.Px(10);
  int32_t y = top;
  form_.AdvanceLine(y, Printing ? LineStep : form_.LineHeight / 2);
  DrawIncludeLines(x0, y);

  bool firstRoutine = true;
  for (int32_t slot = 1; slot <= FunctionCount; ++slot) {
    const TRoutineRecord* r = RoutineAt(slot);
    if (r == nullptr || r->IsLibrary != 0 || r->FirstStatement == nullptr) continue;
    if (!full && y > visibleBottom + 64) break;
    if (firstRoutine) {
      DrawCommentsUpTo(r->HeaderStart, nullptr, 0, LineOf(r->HeaderStart), x0, y);
      firstRoutine = false;
    }
    if (!CopyMode || r->Selected[0] != 0) {
      const int32_t lines = DrawFuncHeader(true, x0, y, slot);
      form_.AdvanceLine(y, lines * form_.LineHeight + form_.LineHeight / 2);
    }
    IfDepth = 0;
    if (!DrawStatementList(r->FirstStatement, slot, 0, y, visibleTop, visibleBottom, full)) return y;
    if (!CopyMode || r->Selected[1] != 0) {
      DrawFuncHeader(false, x0, y, slot);
      form_.AdvanceLine(y, 2 * form_.LineHeight);
    }
  }

  TProgramUnitRecord* const saved = CurrentProgramUnit;
  for (TProgramUnitRecord* u : UnitsToDraw()) {
    if (!full && y > visibleBottom + 64) break;
    const int32_t unitIndex = u->UnitIndex;
    if (!CopyMode || u->FormattedBytes[0] != 0) {
      DrawCommentsUpTo(u->BlockStart, nullptr, 0, LineOf(u->BlockStart), x0, y);
      DrawBlockHeader(true, x0, y, unitIndex);
      form_.AdvanceLine(y, form_.LineHeight + form_.LineHeight / 2);
    }
    CurrentProgramUnit = u;
    const bool ok = DrawStatementList(u->FirstEquation, 0, unitIndex, y, visibleTop, visibleBottom, full);
    CurrentProgramUnit = saved;
    if (!ok) return y;
    if (!CopyMode || u->FormattedBytes[1] != 0) {
      DrawBlockHeader(false, x0, y, unitIndex);
      form_.AdvanceLine(y, 2 * form_.LineHeight);
    }
  }
  if (MainProgramUnit != nullptr) {
    CurrentProgramUnit = MainProgramUnit;
    const bool ok = DrawStatementList(MainProgramUnit->FirstEquation, 0, 0, y, visibleTop, visibleBottom, full);
    CurrentProgramUnit = saved;
    if (!ok) return y;
  }
  DrawCommentsUpTo(999999, lastLine_ > 0 ? &lastRect_ : nullptr, lastLine_, 0, x0, y);
  if (!Printing) PaintedHeight = y;
  return y;
}

void TFormattedEquations::PlaceStatement(TFormatBox* list, TEquationRecord* e, int32_t x, int32_t& y, TRect& page) {
  const int32_t ox = Printing ? e->OffsetX * PixelScaleX : e->OffsetX;
  const int32_t oy = Printing ? e->OffsetY * PixelScaleY : e->OffsetY;
  ShiftH(list, x - list->Rect.Left);
  page = list->Rect;
  page.Right = std::max(page.Right, page.Left + form_.GetWidth(list));
  if (!Printing) {
    if (e->Selected != 0 && !CopyMode) {
      form_.TheCanvas().FillRect(Moved(Enlarged(page, 3, 1), ox, oy), kSelectionColour);
    }
    form_.TheCanvas().SetTextColor(MakeRgb(0, 0, 0));
    form_.DrawFormattedEqn(list, ox, oy);
    return;
  }
  // On paper: a statement wider than the page is cut before a spaced
  // operator, the rest continuing at 4/3 of the left margin; a statement
  // that the page end cuts moves to the next page.
  const int32_t limit = PrintState.PageWidth - PrintLeftMargin - PrintRightMargin / 2;
  TFormatBox* piece = list;
  for (;;) {
    TFormatBox* cut = form_.GetWidth(piece) > limit ? BreakPrintedEquation(form_, piece, limit) : nullptr;
    TFormatBox* before = nullptr;
    if (cut != nullptr) {
      for (before = piece; before != nullptr && before->Next != cut; before = before->Next) {
      }
      if (before == nullptr) cut = nullptr;
    }
    if (before != nullptr) before->Next = nullptr;
    int32_t bottom = piece->Rect.Top;
    for (const TFormatBox* b = piece; b != nullptr; b = b->Next) bottom = std::max(bottom, b->Rect.Bottom);
    const int32_t h = bottom - piece->Rect.Top;
    const int32_t pageBefore = PrintState.PageNumber;
    form_.AdvanceLine(y, h);
    if (PrintState.PageNumber != pageBefore) form_.ShiftV(piece, y - h - piece->Rect.Top);
    form_.TheCanvas().SetTextColor(MakeRgb(0, 0, 0));
    form_.DrawFormattedEqn(piece, ox, oy);
    page.Bottom = std::max(page.Bottom, y);
    if (before != nullptr) before->Next = cut;
    if (cut == nullptr) break;
    ShiftH(cut, PrintLeftMargin * 4 / 3 - cut->Rect.Left);
    form_.ShiftV(cut, y - cut->Rect.Top);
    piece = cut;
  }
}

bool TFormattedEquations::DrawStatementList(TEquationRecord* first, int32_t routine, int32_t unit, int32_t& y,
                                            int32_t visibleTop, int32_t visibleBottom, bool full) {
  const int32_t x0 = Printing ? PrintLeftMargin : form_.Px(10);
  const int32_t gap = form_.LineHeight / 2;
  const bool indented = routine > 0 || unit > 0;
  TRect previous{};
  int32_t previousLine = -1;
  for (TEquationRecord* e = first; e != nullptr; e = e->Next) {
    // Statements the compiler made for the text (a module's copies, the
    // diagram's inputs) have no place of their own.
    if (e->NotFromWindow != 0) continue;
    if (CopyMode && e->Selected == 0) continue;
    const int32_t start = StatementStart(*e);
    const int32_t startLine = start >= 0 ? LineOf(start) : 0;
    int32_t commentShift = 0;
    statementLineTop_ = -1;
    if (start >= 0) {
      commentShift = DrawCommentsUpTo(start, previousLine > 0 ? &previous : nullptr,
                                      previousLine > 0 ? lastEndLine_ : 0, startLine, x0, y);
    }
    const bool commentBefore = statementLineTop_ >= 0;
    const bool sameLine = !commentBefore && previousLine > 0 && e->LineNumber == previousLine;
    if (!sameLine && !commentBefore) commentShift = 0;
    TakeFormattedOffset(*e);
    const TRect cached = FromScreen(e->DisplayRect);
    const bool hasCache = cached.Bottom > cached.Top;
    const bool inBand = (cached.Top >= visibleTop && cached.Top <= visibleBottom + 64) ||
                        (cached.Bottom >= visibleTop && cached.Bottom <= visibleBottom + 64);
    TRect page{};
    if (!full && hasCache && !inBand) {
      // Far from the view: the place of the last layout stands.
      page = cached;
      y = std::max(y, page.Bottom + gap);
    } else {
      const int32_t lineTop = commentBefore ? statementLineTop_ : sameLine ? previous.Top : y;
      TFormatBox* list = doFormatEqn(form_, e, lineTop, routine);
      if (CalcErrorCode > 0) {
        DisposeFormatEqn(list);
        ErrorStatement = e;
        return false;
      }
      if (list == nullptr) continue;
      LaidOutCount += 1;
      form_.ShiftV(list, lineTop - list->Rect.Top);
      int32_t x = indented ? x0 + form_.Px(15) + list->Indent : x0;
      if (commentBefore) x += commentShift;
      if (sameLine) x = previous.Right + form_.Px(20) + commentShift;
      if (Printing && sameLine &&
          x + form_.GetWidth(list) > PrintState.PageWidth - PrintLeftMargin - PrintRightMargin) {
        // No room beside the previous statement on paper.
        form_.ShiftV(list, y - list->Rect.Top);
        x = x0;
      }
      if (Printing && sameLine && x == x0) {
        PlaceStatement(list, e, x, y, page);
      } else if (Printing && sameLine) {
        int32_t unused = y;
        PlaceStatement(list, e, x, unused, page);
        y = std::max(y, unused);
      } else {
        PlaceStatement(list, e, x, y, page);
      }
      DisposeFormatEqn(list);
      if (!Printing) y = std::max(y, page.Bottom + gap);
      if (!CopyMode && !Printing) e->DisplayRect = ToScreen(page);
    }
    TFormatRecord record;
    record.HitRect = Enlarged(page, 3, 1);
    record.Statement = e;
    FormatRecordList.push_back(record);
    RightExtent = std::max(RightExtent, page.Right + e->OffsetX);
    previous = page;
    previousLine = e->LineNumber;
    lastEndLine_ = e->TextEnd > 0 ? LineOf(e->TextEnd - 1) : startLine;
    lastRect_ = page;
    lastLine_ = lastEndLine_;
  }
  return true;
}

const TFormatRecord* TFormattedEquations::RecordAt(int32_t x, int32_t y) const {
  for (const TFormatRecord& r : FormatRecordList) {
    if (Contains(Moved(r.HitRect, OffsetXOf(r), OffsetYOf(r)), x, y)) return &r;
  }
  return nullptr;
}

int32_t TFormattedEquations::CommentAt(int32_t x, int32_t y) const {
  for (size_t k = 0; k < CommentHits.size(); ++k) {
    const TCommentHit& hit = CommentHits[k];
    if (hit.Comment >= CommentRecordList.size()) continue;
    const TCommentRecord& c = CommentRecordList[hit.Comment];
    if (Contains(Moved(hit.Rect, c.windowData1, c.windowData2), x, y)) return static_cast<int32_t>(k);
  }
  return -1;
}

void TFormattedEquations::MouseDown(int32_t x, int32_t y) {
  const TFormatRecord* r = RecordAt(x, y);
  dragged_ = r != nullptr ? static_cast<int32_t>(r - FormatRecordList.data()) : -1;
  draggedComment_ = r == nullptr ? CommentAt(x, y) : -1;
  dragX_ = x;
  dragY_ = y;
  if (r == nullptr && draggedComment_ < 0) UnselectAll();
}

bool TFormattedEquations::MouseUp(int32_t x, int32_t y) {
  const int32_t dx = x - dragX_;
  const int32_t dy = y - dragY_;
  if (draggedComment_ >= 0) {
    const size_t hit = static_cast<size_t>(draggedComment_);
    draggedComment_ = -1;
    if (hit >= CommentHits.size() || CommentHits[hit].Comment >= CommentRecordList.size()) return true;
    const size_t index = CommentHits[hit].Comment;
    TCommentRecord& c = CommentRecordList[index];
    // A comment always moves by the drag; a short one also toggles it.
    c.windowData1 += dx;
    c.windowData2 += dy;
    if (std::abs(dx) <= 1 && index < CommentSelected.size()) CommentSelected[index] = CommentSelected[index] != 0 ? 0 : 1;
    return true;
  }
  if (dragged_ < 0 || static_cast<size_t>(dragged_) >= FormatRecordList.size()) return dragged_ < 0;
  TFormatRecord& r = FormatRecordList[static_cast<size_t>(dragged_)];
  dragged_ = -1;
  if (std::abs(dx) > 1 || std::abs(dy) > 1) {
    uint8_t line = 0;
    std::string name;
    if (r.Statement != nullptr) {
      r.Statement->OffsetX = static_cast<int16_t>(std::clamp(r.Statement->OffsetX + dx, -32000, 32000));
      r.Statement->OffsetY = static_cast<int16_t>(std::clamp(r.Statement->OffsetY + dy, -32000, 32000));
      KeepFormattedOffset(*r.Statement);
    } else if (HeaderKey(r, line, name)) {
      MoveHeaderLine(line, name, dx, dy);
    }
    return true;
  }
  if (r.Statement != nullptr) {
    r.Statement->Selected = r.Statement->Selected != 0 ? 0 : 1;
  } else if (r.UnitIndex != 0) {
    const size_t u = static_cast<size_t>(std::abs(r.UnitIndex));
    if (u < ProgramUnitList.size() && ProgramUnitList[u] != nullptr) {
      uint8_t& flag = ProgramUnitList[u]->FormattedBytes[r.UnitIndex > 0 ? 0 : 1];
      flag = flag != 0 ? 0 : 1;
    }
  } else if (TRoutineRecord* routine = RoutineAt(std::abs(r.RoutineIndex))) {
    uint8_t& flag = routine->Selected[r.RoutineIndex > 0 ? 0 : 1];
    flag = flag != 0 ? 0 : 1;
  }
  return true;
}

bool TFormattedEquations::DragOutline(int32_t x, int32_t y, TRect& outline) const {
  if (draggedComment_ >= 0 && static_cast<size_t>(draggedComment_) < CommentHits.size()) {
    const TCommentHit& hit = CommentHits[static_cast<size_t>(draggedComment_)];
    if (hit.Comment >= CommentRecordList.size()) return false;
    const TCommentRecord& c = CommentRecordList[hit.Comment];
    outline = Moved(hit.Rect, c.windowData1 + x - dragX_, c.windowData2 + y - dragY_);
    return true;
  }
  if (dragged_ < 0 || static_cast<size_t>(dragged_) >= FormatRecordList.size()) return false;
  const TFormatRecord& r = FormatRecordList[static_cast<size_t>(dragged_)];
  outline = Moved(r.HitRect, OffsetXOf(r) + x - dragX_, OffsetYOf(r) + y - dragY_);
  return true;
}

TEquationRecord* TFormattedEquations::StatementAt(int32_t x, int32_t y) const {
  const TFormatRecord* r = RecordAt(x, y);
  return r != nullptr ? r->Statement : nullptr;
}

namespace {

uint8_t* HeaderFlag(const TFormatRecord& r) {
  if (r.Statement != nullptr) return &r.Statement->Selected;
  if (r.UnitIndex != 0) {
    const size_t u = static_cast<size_t>(std::abs(r.UnitIndex));
    if (u >= ProgramUnitList.size() || ProgramUnitList[u] == nullptr) return nullptr;
    return &ProgramUnitList[u]->FormattedBytes[r.UnitIndex > 0 ? 0 : 1];
  }
  TRoutineRecord* routine = RoutineAt(std::abs(r.RoutineIndex));
  return routine != nullptr ? &routine->Selected[r.RoutineIndex > 0 ? 0 : 1] : nullptr;
}

}  // namespace

void TFormattedEquations::SelectAll(int32_t bandTop, int32_t bandBottom) {
  UnselectAll();
  for (const TFormatRecord& r : FormatRecordList) {
    if (r.HitRect.Top < bandTop - 5 || r.HitRect.Bottom > bandBottom + 5) continue;
    if (uint8_t* flag = HeaderFlag(r)) *flag = 1;
  }
  for (const TCommentHit& hit : CommentHits) {
    if (hit.Rect.Top < bandTop - 5 || hit.Rect.Bottom > bandBottom + 5) continue;
    if (hit.Comment < CommentSelected.size()) CommentSelected[hit.Comment] = 1;
  }
}

void TFormattedEquations::UnselectAll() {
  for (const TFormatRecord& r : FormatRecordList) {
    if (uint8_t* flag = HeaderFlag(r)) *flag = 0;
  }
  std::fill(CommentSelected.begin(), CommentSelected.end(), 0);
}

bool TFormattedEquations::IsSelected() const {
  for (const TFormatRecord& r : FormatRecordList) {
    if (const uint8_t* flag = HeaderFlag(r); flag != nullptr && *flag != 0) return true;
  }
  return std::any_of(CommentSelected.begin(), CommentSelected.end(), [](uint8_t f) { return f != 0; });
}

std::string TFormattedEquations::CopyText() const {
  struct TItem {
    TRect Place;
    std::string Text;
  };
  std::vector<TItem> items;
  const bool all = !IsSelected();
  auto textAt = [&](int32_t start, int32_t end) {
    if (start < 0 || end < start || static_cast<size_t>(end) > text_.size()) return std::string();
    std::string t = text_.substr(static_cast<size_t>(start), static_cast<size_t>(end - start));
    while (!t.empty() && (t.back() == ' ' || t.back() == '\r' || t.back() == '\n' || t.back() == '\t')) t.pop_back();
    if (!t.empty() && t[0] == '!') t.erase(0, 1);
    return t;
  };
  for (const TFormatRecord& r : FormatRecordList) {
    const uint8_t* flag = HeaderFlag(r);
    if (!all && (flag == nullptr || *flag == 0)) continue;
    std::string t;
    if (r.Statement != nullptr) {
      t = TextWithoutComments(StatementStart(*r.Statement), r.Statement->TextEnd);
    } else if (r.UnitIndex != 0) {
      const TProgramUnitRecord* u = ProgramUnitList[static_cast<size_t>(std::abs(r.UnitIndex))];
      t = r.UnitIndex > 0 ? u->HeaderText : "END";
    } else if (const TRoutineRecord* routine = RoutineAt(std::abs(r.RoutineIndex))) {
      t = r.RoutineIndex > 0 ? routine->HeaderText : "END";
    }
    if (!t.empty()) items.push_back(TItem{r.HitRect, t});
  }
  for (const TCommentHit& hit : CommentHits) {
    if (hit.Comment >= CommentRecordList.size()) continue;
    if (!all && (hit.Comment >= CommentSelected.size() || CommentSelected[hit.Comment] == 0)) continue;
    const TCommentRecord& c = CommentRecordList[hit.Comment];
    const std::string t = textAt(c.start, c.end);
    if (!t.empty()) items.push_back(TItem{hit.Rect, t});
  }
  // Page order: line by line (items whose heights overlap share a line),
  // from left to right; items of one line are separated by a tab.
  std::stable_sort(items.begin(), items.end(), [](const TItem& a, const TItem& b) { return a.Place.Top < b.Place.Top; });
  std::vector<std::vector<TItem>> lines;
  int32_t lineBottom = 0;
  for (TItem& item : items) {
    if (lines.empty() || item.Place.Top >= lineBottom - 2) {
      lines.emplace_back();
      lineBottom = item.Place.Bottom;
    }
    lineBottom = std::max(lineBottom, item.Place.Bottom);
    lines.back().push_back(std::move(item));
  }
  std::string out;
  for (std::vector<TItem>& line : lines) {
    std::stable_sort(line.begin(), line.end(), [](const TItem& a, const TItem& b) { return a.Place.Left < b.Place.Left; });
    if (!out.empty()) out += "\r\n";
    for (size_t k = 0; k < line.size(); ++k) out += (k > 0 ? "\t" : "") + line[k].Text;
  }
  if (!out.empty()) out += "\r\n";
  return out;
}

void TFormattedEquations::Print() {
  if (!PrintState.JobRunning || PrintState.Canvas == nullptr) return;
  PrintSurfaceCanvas canvas(*PrintState.Canvas);
  Canvas& screen = form_.TheCanvas();
  const bool wasPrinting = Printing;
  const int32_t savedX = PixelScaleX;
  const int32_t savedY = PixelScaleY;
  const int32_t savedIndent = form_.IndentStep;
  const int32_t savedPage = form_.PageHeight;
  Printing = true;
  // Printer dots per screen pixel.
  PixelScaleX = std::max(1, PrinterDpi / 96);
  PixelScaleY = PixelScaleX;
  form_.SetCanvas(canvas);
  form_.SetupFonts();
  form_.IndentStep = 30 * PixelScaleX;
  form_.PageHeight = PrintState.PageHeight;
  canvas.SetPen(MakeRgb(0, 0, 0), std::max(1, PixelScaleX - 1));
  const int32_t y = DrawFormatEqns(PrintState.CurrentLine * LineStep, 0, 1 << 30);
  PrintState.CurrentLine = std::max(PrintState.CurrentLine, (y + LineStep - 1) / std::max(1, LineStep));
  Printing = wasPrinting;
  PixelScaleX = savedX;
  PixelScaleY = savedY;
  form_.IndentStep = savedIndent;
  form_.PageHeight = savedPage;
  form_.SetCanvas(screen);
  form_.SetupFonts();
}

}  // namespace voq

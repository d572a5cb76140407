#pragma once
// The Formatted Equations window's engine half: the whole model as typeset
// mathematics on one page. Every user routine with its header and end
// line, then the main program; statements that share a text line stand
// side by side. Each drawn item leaves a hit record, which the window's
// mouse handling works on: a click selects, a drag of more than one unit
// moves the item by a user offset that stays with the statement record.
// Only the statements in or near the visible band are laid out again on
// screen; the others reuse the place of their last layout.
#include <cstdint>
#include <vector>

#include "output/format_box.h"

namespace voq {

struct TEquationRecord;

struct TFormatRecord {
  TRect HitRect;                         // without the item's user offset
  TEquationRecord* Statement = nullptr;  // null for a routine's header or end line
  int32_t RoutineIndex = 0;              // n: header of routine n, -n: its end line, 0: a statement
};

// Where a long printed statement is cut: before the spaced operator box
// (Role 20) before the one at which the boxes' width reaches limit, so the
// operator begins the rest; null when the list fits.
TFormatBox* BreakPrintedEquation(TFormattedForm& form, TFormatBox* list, int32_t limit);

class TFormattedEquations {
 public:
  explicit TFormattedEquations(TFormattedForm& form) : form_(form) {}

  // Lays out and draws everything from y = top on the form's canvas; the
  // band visibleTop..visibleBottom decides which statements are laid out
  // again (all when PaintedHeight is 0). Gives the final position. A
  // statement the typesetter rejects stops the pass: ErrorStatement and
  // CalcErrorCode tell which and why.
  int32_t DrawFormatEqns(int32_t top, int32_t visibleTop, int32_t visibleBottom);

  // Mouse: the press picks the item under the point; the release moves it
  // by the drag when that is more than 1 unit either way, else toggles its
  // selection. True when something changed.
  void MouseDown(int32_t x, int32_t y);
  bool MouseUp(int32_t x, int32_t y);
  // The statement under the point (right click), or null.
  TEquationRecord* StatementAt(int32_t x, int32_t y) const;
  // Selects every statement whose hit rectangle lies within the band.
  void SelectAll(int32_t bandTop, int32_t bandBottom);
  void UnselectAll();
  bool IsSelected() const;

  std::vector<TFormatRecord> FormatRecordList;
  int32_t PaintedHeight = 0;
  int32_t RightExtent = 0;
  int32_t LaidOutCount = 0;  // statements laid out in the last pass
  bool CopyMode = false;     // only selected items are drawn, none highlighted
  TEquationRecord* ErrorStatement = nullptr;

 private:
  bool DrawStatementList(TEquationRecord* first, int32_t routine, int32_t& y, int32_t visibleTop,
                         int32_t visibleBottom, bool full);
  int32_t DrawFuncHeader(bool top, int32_t x, int32_t y, int32_t routine);
  const TFormatRecord* RecordAt(int32_t x, int32_t y) const;

  TFormattedForm& form_;
  int32_t dragged_ = -1;
  int32_t dragX_ = 0;
  int32_t dragY_ = 0;
};

}  // namespace voq

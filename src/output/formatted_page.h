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
#include <string>
#include <vector>

#include "output/format_box.h"

namespace voq {

struct TEquationRecord;

struct TFormatRecord {
  TRect HitRect;                         // without the item's user offset
  TEquationRecord* Statement = nullptr;  // null for a header or end line
  int32_t RoutineIndex = 0;              // n: header of routine n, -n: its end line, 0: none
  int32_t UnitIndex = 0;                 // n: header of program unit n, -n: its end line, 0: none
};

// A drawn comment: its place in the reader's comment list and its
// rectangle without its user offset.
struct TCommentHit {
  size_t Comment = 0;
  TRect Rect;
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
  // While a press that picked an item or comment is held: the item's
  // rectangle (with its user offset) moved by the drag to (x, y), drawn
  // as an outline while dragging; false when nothing is being dragged.
  bool DragOutline(int32_t x, int32_t y, TRect& outline) const;
  // The statement under the point (right click), or null.
  // (Comments dragged move by their own offsets; a short drag toggles
  // their selection.)
  TEquationRecord* StatementAt(int32_t x, int32_t y) const;
  // Selects every statement whose hit rectangle lies within the band.
  void SelectAll(int32_t bandTop, int32_t bandBottom);
  void UnselectAll();
  bool IsSelected() const;

  // The text of the selected items (everything when nothing is
  // selected), in page order: statements and headers as written in the
  // Equations text, comments without their delimiters.
  std::string CopyText() const;

  // Draws the whole page into the running print job from its current
  // line (nothing without a job); the job's line counter follows.
  void Print();

  std::vector<TFormatRecord> FormatRecordList;
  std::vector<TCommentHit> CommentHits;
  std::vector<uint8_t> CommentSelected;  // by the reader's comment list
  int32_t PaintedHeight = 0;
  int32_t RightExtent = 0;
  int32_t LaidOutCount = 0;  // statements laid out in the last pass
  bool CopyMode = false;     // only selected items are drawn, none highlighted
  TEquationRecord* ErrorStatement = nullptr;

 private:
  struct TListContext;
  bool DrawStatementList(TEquationRecord* first, int32_t routine, int32_t unit, int32_t& y, int32_t visibleTop,
                         int32_t visibleBottom, bool full);
  void PlaceStatement(TFormatBox* list, TEquationRecord* e, int32_t x, int32_t& y, TRect& page);
  // A routine's header (with the "$Common" line of its shared variables)
  // or end line at (x, y) moved by its user offset; gives the lines drawn.
  int32_t DrawFuncHeader(bool top, int32_t x, int32_t y, int32_t routine);
  // A routine's or unit's name at (x, y), at most 30 characters, an index
  // in "[" shown as a subscript; gives the pen's x after it.
  int32_t DrawFuncName(const std::string& name, int32_t style, int32_t x, int32_t y);
  int32_t DrawBlockHeader(bool top, int32_t x, int32_t y, int32_t unit);
  void DrawIncludeLines(int32_t x0, int32_t& y);
  // The comments that start before text position to; prevRect and
  // prevLine: the statement before them (none: prevLine 0), nextLine: the
  // line of the statement after them. Gives the width a statement on the
  // same text line must leave for them.
  int32_t DrawCommentsUpTo(int32_t to, const TRect* prevRect, int32_t prevLine, int32_t nextLine, int32_t x0,
                           int32_t& y);
  int32_t LineOf(int32_t position) const;
  // Where the statement's own text starts (after blanks and comments in
  // front of it on its line); -1 for a statement without text.
  int32_t StatementStart(const TEquationRecord& e) const;
  std::string TextWithoutComments(int32_t from, int32_t to) const;
  const TFormatRecord* RecordAt(int32_t x, int32_t y) const;
  int32_t CommentAt(int32_t x, int32_t y) const;

  std::string text_;
  std::vector<int32_t> lineStarts_;
  size_t commentCursor_ = 0;
  TRect lastTextRect_{9999, 9999, 0, 0};
  int32_t draggedComment_ = -1;
  int32_t statementLineTop_ = -1;  // a comment before the statement set its line
  int32_t lastEndLine_ = 0;
  TRect lastRect_{};
  int32_t lastLine_ = 0;
  bool useColours_ = true;

  TFormattedForm& form_;
  int32_t dragged_ = -1;
  int32_t dragX_ = 0;
  int32_t dragY_ = 0;
};

}  // namespace voq

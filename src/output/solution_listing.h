#pragma once
// The Solution window's content without a window: which tabs it has, which
// entries each tab lists, in which columns and lines, the headers and the
// messages around them (unit check, calculation time, the Arrays-window
// note), and what a click, Select All and Undo do to the selection and the
// formats. The window keeps no copy of the solution: every listing reads the
// variable store afresh, and the selection lives in the data (a negative
// DisplayCode, a local's Selected flag).
//
// Positions: lines are counted from 0 (the line counter starts at -1 and
// every advance adds one); a line's pixel top is line x line height + top
// offset. Columns of texts and entries are in average character widths from
// the left margin.
#include <cstdint>
#include <string>
#include <vector>

#include "model/program_units.h"
#include "model/routines.h"
#include "output/entry_text.h"  // TextKind of the lines around the entries

namespace voq {

struct TSolutionItem;

// What the listing asks of the canvas: the pixel width of a text in the
// display font, the width of an entry as it is drawn, the average character
// width and the screen line height. A test uses fixed-width metrics; the
// window measures with its font.
class TEntryMetrics {
 public:
  virtual ~TEntryMetrics() = default;
  virtual int32_t TextWidth(const std::string& text) const = 0;
  // An entry's width: by default its plain "name = value [units]" text.
  virtual int32_t EntryWidth(const TSolutionItem& item) const;
  virtual int32_t CharWidth() const = 0;
  virtual int32_t LineHeight() const = 0;
};

// The metrics of a page of character cells (the window's or the printer's):
// widths in its normal font, its cell, and its line height less the two
// pixels the listing adds between lines.
class TPageEntryMetrics : public TEntryMetrics {
 public:
  explicit TPageEntryMetrics(TEntryPage& page) : page_(page) {}
  int32_t TextWidth(const std::string& text) const override {
    page_.Target->SetFont(page_.Fonts[kFontNormal]);
    return page_.Target->TextWidth(text);
  }
  // Drawn, without painting, by the routine that paints it: the name with
  // its subscripts and Greek letters, the value and the units each take
  // whole character columns, so the drawn entry can be wider than its
  // plain text.
  int32_t EntryWidth(const TSolutionItem& item) const override;
  int32_t CharWidth() const override { return page_.CharWidth; }
  int32_t LineHeight() const override { return page_.LineHeight - 2; }

 private:
  TEntryPage& page_;
};

// Every character the same width.
class TFixedEntryMetrics : public TEntryMetrics {
 public:
  TFixedEntryMetrics(int32_t charWidth, int32_t lineHeight) : charWidth_(charWidth), lineHeight_(lineHeight) {}
  int32_t TextWidth(const std::string& text) const override { return int32_t(text.size()) * charWidth_; }
  int32_t CharWidth() const override { return charWidth_; }
  int32_t LineHeight() const override { return lineHeight_; }

 private:
  int32_t charWidth_;
  int32_t lineHeight_;
};

// The tab objects: 0 the main program, -j routine j, i program unit i.
inline constexpr int32_t kUncertaintyTab = 999;
inline constexpr int32_t kMaxSolutionTabs = 300;

struct TSolutionTab {
  std::string Name;
  int32_t Object = 0;
};

// One drawn thing: a text line piece or a variable's entry.
struct TSolutionItem {
  int32_t Line = 0;
  int32_t Column = 0;  // character columns from the left margin
  int32_t Kind = 0;    // text kind of a text; 0 for an entry
  std::string Text;    // a text; for an entry the whole entry text
  // Entries only: the pieces, and the record the entry stands for.
  bool IsEntry = false;
  std::string Name;
  std::string Value;
  std::string Units;  // without brackets
  int16_t Code = 1;   // display code, absolute value
  bool Selected = false;
  TVariableRecord* Variable = nullptr;
  TProgramUnitRecord* Unit = nullptr;  // the variable's unit
  int32_t Index = 0;                   // the variable's index in Unit
  TLocalVariableRecord* Local = nullptr;
  // In uncertainty mode: 0 the calculated variable, k the k-th measured
  // one (its row of partial derivative and share follows); else -1.
  int32_t UncertaintyPosition = -1;
  TScreenRect Rect;
};

struct TSolutionListing {
  std::vector<TSolutionItem> Items;
  int32_t LastLine = -1;       // the line counter at the end
  int32_t Columns = 0;         // N of the last block listed
  int32_t ColumnStep = 0;      // S, characters
  int32_t ColumnWidth = 0;     // C, characters
  int32_t MinWidth = 0;        // pixels
  bool ArraysLeftOut = false;
  bool ShowUnitsButton = false;
  int32_t ButtonLine = -1;     // line of the message the button stands beside
  int32_t ButtonLeft = 0;      // pixels, content coordinates
  int32_t UnitsMessageLine = -1;
  int32_t UnitProblems = 0;
  bool RepaintWanted = false;  // the column count changed: paint again
  int32_t VerticalRange = 0;
  int32_t HorizontalRange = 0;
  // Finds the first text item holding text; nullptr when there is none.
  const TSolutionItem* FindText(const std::string& text) const;
  // The entries in drawing order.
  std::vector<const TSolutionItem*> Entries() const;
};

// The window's own state the listing reads and writes.
struct TSolutionState {
  std::vector<TSolutionTab> Tabs;
  int32_t SelectedTab = -1;
  bool TabsShown = false;
  int32_t ActivationTicks = 0;
  int32_t LastColumnCount = 0;
  bool RecordingPicture = false;
  bool SelectAllPaint = false;
  int32_t LastSelected = 0;       // variable index, 0 none
  int32_t LastSelectedUnit = 0;   // its program-unit list index
  TLocalVariableRecord* LastLocal = nullptr;
  int32_t TopOffset = 5;
  bool ShiftHeld = false;         // draws everything in black
  // The listing is for a printed page: no left column, a "SOLUTION" title
  // above the main program, no messages that belong to the screen (the
  // calculation time, the Arrays-window note, the units-problem lines of
  // routines and units), and the records' screen rectangles left alone.
  bool Printing = false;
};

// The one Solution window state, reset by the engine reset.
TSolutionState& SolutionState();
// Registered with the engine reset by InstallOutput.
void ResetSolutionState();

// Activation: the unit-check marks are cleared, the column count forgotten,
// the entry rectangles emptied and the tabs rebuilt (the selected tab kept
// when it still exists).
void ActivateSolution(TSolutionState& state, int32_t nowTicks);

// The whole content for a window `width` average characters wide. Writes
// every drawn entry's rectangle into its record (an entry not drawn gets an
// empty one) and, during the select-all paint, selects every drawn entry.
TSolutionListing DisplaySolution(TSolutionState& state, int32_t width, const TEntryMetrics& metrics,
                                 int32_t firstVisibleLine = 0, int32_t lastVisibleLine = 1 << 30);

// Draws an entry item's name, value and units at `line` of page (in the
// text colour `fore`, bold for `kind` kTextBold, on background `back`): a
// variable of a unit as its solution entry with its uncertainty row, a
// module's or routine's local under its plain name. Gives the column after
// the drawn text. The screen and the printed page both draw through it and
// add their own background, hilite and selection around it.
int32_t DrawListingEntry(TEntryPage& page, const TSolutionItem& item, int32_t line, int32_t columnWidth,
                         int32_t kind, int32_t fore, int32_t back);

// The calculation time text of t milliseconds: "12.3 sec", ".5 sec".
std::string CalculationTimeText(int32_t milliseconds);

// The selection. A click (content coordinates) toggles the entry under it;
// one within 100 ms of activation, or while the window is not the active
// child, does nothing. Gives true when an entry was hit.
bool ClickSolution(TSolutionState& state, int32_t x, int32_t y, int32_t nowTicks, bool active);
void UnselectSolution(TSolutionState& state);
// The variable (or local) under a point, nullptr when none.
TVariableRecord* VariableAt(int32_t x, int32_t y, int32_t* unitIndex = nullptr);
TLocalVariableRecord* LocalAt(const TSolutionState& state, int32_t x, int32_t y);

// The routine (FunctionTable slot) of the selected tab, 0 when it is no
// routine's.
int32_t SelectedRoutine(const TSolutionState& state);
// The name of the selected tab; "Main" when the tabs are hidden.
std::string SelectedTabName(const TSolutionState& state);

// Marks every equation and routine statement for a new unit check (the
// next listing checks them again). Only with "Check Units automatically" on
// and complex mode off.
void ClearUnitsCheck();
// Whether the window has anything to show.
bool VarinSolution();

// The units-check state of a statement: -9 while not checked, else the
// error number of its check (0 no problem).
int32_t UnitsCheckState(const TEquationRecord* e);
void SetUnitsCheckState(TEquationRecord* e, int32_t state);

// Array elements are named with "[".
bool IsArrayElement(const TVariableRecord& v);

}  // namespace voq

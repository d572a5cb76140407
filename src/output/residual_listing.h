#pragma once
// The Residuals window's content without a window: one section per program
// unit (the main program last) with its totals line, the column titles, the
// inputs of the Diagram window or of a table run as pseudo-equations, and
// one row per equation in the order its blocks were solved, each with its
// block, relative and absolute residual, unit check and text. In the text
// the variables a block determines are wrapped in character 1 (drawn bold)
// and integration variables in character 3 (drawn red).
//
// The listing draws straight onto the canvas of a TEntryPage: the window
// passes its Qt canvas, the tests a recording one. The first complete
// display after activation or a resize lays everything out and records each
// block's lines and every row's text; later displays draw only what is in
// view (a model of thousands of equations scrolls without listing them all).
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/program_units.h"
#include "output/entry_text.h"

namespace voq {

// The block marker of a variable no block has claimed yet.
inline constexpr int32_t kFreeBlockMarker = 32766;
// The block number of an equation that was never placed in a block.
inline constexpr int32_t kUnassignedBlock = -32766;
// The markers in stored row texts.
inline constexpr char kBoldMarker = '\x01';
inline constexpr char kRedMarker = '\x03';

// The lines one block of the main program took at its last complete display.
struct TResidualBlockLines {
  int32_t First = 0;  // line of the block's first row
  int32_t Last = 0;   // line of its last row
};

// One input row: "D" from the Diagram window, "T" from the parametric table
// during a table run.
struct TResidualInputRow {
  std::string Tag;       // "D" or "T"
  TVariableRecord* Variable = nullptr;
};

struct TResidualState {
  bool LayoutKnown = false;
  int32_t ContentWidth = 10;  // characters
  // Line of the last Find match (0: none).
  int32_t FoundLine = 0;
  bool RedText = false;
  bool ToleranceExceeded = false;
  // The text of the residual row drawn on each line, character 1 on other
  // lines.
  std::vector<std::string> LineTexts;
  // The line each equation's row was drawn on.
  std::unordered_map<const TEquationRecord*, int32_t> RowLine;
  // Block markers of the variables (absent: free).
  std::unordered_map<const TVariableRecord*, int32_t> BlockMarker;
  // The main program's blocks as laid out: block number to its lines.
  std::unordered_map<int32_t, TResidualBlockLines> BlockLines;
  // The equation of the last click.
  TEquationRecord* Chosen = nullptr;
  // The Equations window's selection while the window is active.
  int32_t SavedSelStart = 0;
  int32_t SavedSelLength = 0;
  // "Check Units" of the pop-up menu.
  bool CheckUnitsEnabled = true;
  // The row (1-based) of the parametric table whose entered cells are the
  // inputs of the current table run; 0 outside a table run.
  int32_t TableRunRow = 0;
  // The print job's cancel state: above 1 the listing stops.
  int32_t PrintCancel = 0;
};

// The one Residuals window state, reset by the engine reset.
TResidualState& ResidualState();
void ResetResidualState();

// Activation: the line texts and the found line cleared, the layout
// forgotten, every variable's block marker freed and, with "Check Units
// automatically" on, every equation marked for a new unit check.
void ActivateResiduals(TResidualState& state);

// What one display did.
struct TResidualDisplay {
  int32_t LastLine = -1;
  int32_t RowsDrawn = 0;         // residual and input rows drawn
  bool RangeSet = false;         // the scroll ranges below were computed
  int32_t VerticalRange = 0;     // pixels
  int32_t HorizontalRange = 0;   // pixels, 0 when the content fits
  bool Cancelled = false;
};

// Draws the listing on page (its ScrollY and ClientHeight give the part in
// view; ClientWidth is the window's client width in pixels). Every line
// counts as visible while printing or while the layout is not known.
TResidualDisplay DisplayResiduals(TResidualState& state, TEntryPage& page, int32_t clientWidth);

// Whether a row on line is drawn.
bool ResidualLineVisible(const TResidualState& state, const TEntryPage& page, int32_t line);

// The text of equation e's row for block k, with the unit names written in
// and its variables marked (their block markers updated).
std::string ResidualEquationText(TResidualState& state, TProgramUnitRecord& unit, TEquationRecord& e, int32_t k);

// Writes "@n\" module-local references as the unit's name and "\" (at most
// 100 replacements; numbers beyond the unit list keep their digits).
std::string WriteUnitNames(const std::string& text);

// Draws text at (column, line): character 1 toggles the bold font, character
// 3 red text; the found line on yellow.
void WriteSpecialStr(TEntryPage& page, TResidualState& state, int32_t column, int32_t line,
                     const std::string& text);

// The program units listed, in display order (the main program last).
std::vector<TProgramUnitRecord*> ResidualUnits();

// The equations of a unit in display order: block -32766, then -1, -2, ...
// while found, block 0, then blocks 1 to the unit's block count.
std::vector<TEquationRecord*> ResidualOrder(const TProgramUnitRecord& unit);

// The totals line of a unit.
std::string ResidualTotalsLine(const TProgramUnitRecord& unit);

// Find in the stored line texts. On a match the found line is set and, when
// the line is out of view, scrollY moves to it; false with a beep when
// nothing matches.
bool FindResidual(TResidualState& state, const std::string& text, bool fromCurrent, bool wholeWords,
                  bool matchCase, int32_t lineHeight, int32_t clientHeight, int32_t& scrollY);

// The equation whose row was drawn on line; nullptr when none.
TEquationRecord* ResidualEquationAtLine(const TResidualState& state, int32_t line);

// The copy text of unit's equations: block, blank, tab, relative residual,
// blank, tab, signed absolute residual, blank, tab, text, CR LF.
std::string ResidualClipboardText(const TProgramUnitRecord& unit);

// The distinct variables of e's code, in code order.
std::vector<int32_t> EquationVariableIndexes(const TEquationRecord& e);

// The unit of a program-unit list whose equation list holds e (nullptr
// when none).
TProgramUnitRecord* UnitOfEquation(const TEquationRecord* e);

// The residual text: exponential with `digits` digits, "*****" when blank
// or not a number.
std::string ResidualText(Extended value, int32_t digits);

}  // namespace voq

#pragma once
// The texts and drawing of solution entries: what the Solution window, the
// Residuals window and their printed pages write for each variable (the
// name with subscripts, Greek letters and accents, the value, complex
// values, uncertainties, units with raised exponents) and the header lines
// of the unit settings and of an optimisation.
//
// Layout is a grid of character cells: column x character width (plus the
// left margin when printing) across, line x line height + top offset down.
// A TEntryPage carries that grid, the canvas and the six display fonts of
// one window or print job.
#include <array>
#include <cstdint>
#include <string>

#include "core/number_format.h"
#include "output/canvas.h"

namespace voq {

struct TVariableRecord;

// Text kinds of WriteStr: the font and the colour they select (a colour is
// applied only with colour output).
enum TextKind : int32_t {
  kTextUnchanged = 0,  // font unchanged, window text colour
  kTextNormal = 1,
  kTextRed = 2,
  kTextBlue = 3,
  kTextGreen = 4,
  kTextSymbol = 5,
  kTextBold = 6,
  kTextSymbolPlain = 7,
};

// Font kinds of SelectmyFont and the display fonts TEntryPage::Fonts holds
// ([1] to [6]).
enum DisplayFontKind : int32_t {
  kFontNormal = 1,
  kFontBold = 2,
  kFontItalic = 3,
  kFontSmall = 4,    // raised and lowered text
  kFontSymbol = 5,
  kFontSmallSymbol = 6,
};

// The magnitude/angle separator of a polar complex value in entry texts,
// drawn as the Symbol font's angle sign.
inline constexpr char kPolarAngleSign = '<';
// Symbol-font codes the entries draw.
inline constexpr char kSymbolAngle = static_cast<char>(208);
inline constexpr char kSymbolPartial = static_cast<char>(182);
// Windows-1252 codes of the plus-minus and degree signs.
inline constexpr char kPlusMinusSign = static_cast<char>(177);
inline constexpr char kDegreeSign = static_cast<char>(176);

struct TEntryPage {
  Canvas* Target = nullptr;
  // The character cell and where line 0 starts.
  int32_t CharWidth = 7;
  int32_t LineHeight = 16;
  int32_t TopOffset = 0;
  int32_t LeftMargin = 0;  // added across while printing
  // Printer pixels per screen pixel (1 on the screen).
  double Scale = 1;
  bool Printing = false;
  bool PrintPreview = false;
  bool RecordingPicture = false;
  // Colours are applied (the screen; a print job with "Print in color").
  bool ColorOutput = true;
  // The visible part of the content: vertical scroll position and client
  // height in pixels (OktoPrint).
  int32_t ScrollY = 0;
  int32_t ClientHeight = 0;
  TRgb WindowTextColor = kRgbBlack;
  TRgb WindowColor = kRgbWhite;
  // [1] normal, [2] bold, [3] italic, [4] small, [5] Symbol, [6] small
  // Symbol ([0] unused).
  std::array<TCanvasFont, 7> Fonts{};
  // Written by WriteStr: the pixel top of the last line and the pixel width
  // of the last text.
  int32_t LastLineY = 0;
  int32_t LastTextWidth = 0;
};

// The six display fonts from the display font preferences, at pixelsPerInch:
// normal, bold, italic, two pixels smaller, "Symbol" one pixel larger and
// two pixels smaller.
std::array<TCanvasFont, 7> DisplayCanvasFonts(int32_t pixelsPerInch);
// A page on canvas with the display fonts at 96 pixels per inch and the
// cell from the normal font's metrics on that canvas.
TEntryPage MakeEntryPage(Canvas& canvas);

// Pixel position of a cell's top left corner.
int32_t ColumnX(const TEntryPage& page, int32_t column);
int32_t LineY(const TEntryPage& page, int32_t line);

// Font by kind: 1 normal, 2 and 6 bold, 3 italic, 4 small, 5 and 7 Symbol.
void SelectmyFont(TEntryPage& page, int32_t kind);
void ResetFont(TEntryPage& page);
void doBoldFont(TEntryPage& page);
int32_t TextWidthP(TEntryPage& page, const std::string& text);
int32_t TextHeightP(TEntryPage& page, const std::string& text);
// True when printing or recording a picture, or when the line's cell lies
// within the visible part of the content.
bool OktoPrint(const TEntryPage& page, int32_t line);

// Draws text in the kind's font and colour (a colour index above 0,
// ForeColorOfIndex, overrides it) with a transparent background, sets
// LastLineY and LastTextWidth and reselects the normal font.
void WriteStr(TEntryPage& page, int32_t column, int32_t line, const std::string& text, int32_t kind,
              int32_t colourIndex);

// A variable name with its subscripts (an array element's indices lowered),
// Greek letters, accents and raised signs; column advances past it.
void DrawVariableName(TEntryPage& page, int32_t& column, int32_t line, const std::string& name,
                      int32_t backIndex, int32_t foreIndex, int32_t kind);

// Units in brackets with raised exponents ("^" or "**") and lowered
// subscripts ("_"), in blue with colour output. Nothing for empty units.
void WriteNiceUnits(TEntryPage& page, const std::string& units, int32_t column, int32_t line);
// "[" units "]" (units ending in "$" replaced by the string variable's
// text), at most 30 characters; empty units give "".
std::string BracketUnits(const std::string& units);
std::string BracketUnitsPlain(const std::string& units);

// The value text of a variable of the current program unit: "'text'" for a
// string variable, else FormatValue of the value in its display format.
std::string VariableValueText(const TVariableRecord& variable);

// The text of the complex value whose real part is variable realIndex and
// imaginary part imagIndex of the current program unit (0 or less: none),
// in complex style 0 rectangular, 1 polar in degrees, 2 polar in radians.
std::string ComplexValueText(int32_t realIndex, int32_t imagIndex, int32_t complexStyle);
// True when partner names a variable of the current program unit in use;
// otherwise partner becomes 0.
bool HasComplexPartner(int32_t& partner);

// "±" + the uncertainty of main-program variable v in its format, in
// uncertainty mode; else "".
std::string UncertaintyText(int32_t v);
// The uncertainty of main-program variable v: its own, or the value of the
// variable the uncertainty settings name for it, times its value when
// relative.
Extended VariableUncertainty(int32_t v);
// Where v stands in the uncertainty list: -1 outside uncertainty mode, 0
// the calculated variable, k the k-th measured variable; false when v is
// none of them or the current unit is not the main program.
bool UncertaintyListPosition(int32_t v, int32_t& position);
// The share of measured variable k (variable v) in the calculated
// variable's uncertainty, "12.34 %"; "0.00 %" when that uncertainty is 0.
std::string UncertaintyShareText(int32_t k, int32_t v);
// The uncertainty row after entry v (position k > 0) at line: the partial
// derivative and the share, from column C + 5 (C the column width in
// characters).
void DrawUncertaintyRow(TEntryPage& page, int32_t line, int32_t columnWidth, int32_t v, int32_t k,
                        int32_t kind, int32_t foreIndex);

// One whole entry of variable v of the current program unit at (column,
// line): name, " = ", value, uncertainty and units, in the kind and colours
// of its display code (hilite Bold: bold). A complex entry shows its
// partner's part and the angle sign. column advances past the entry.
void DrawSolutionEntry(TEntryPage& page, int32_t& column, int32_t line, int32_t v);

// "Unit Settings: [kJ]/[C]/[kPa]/[kg]/[degrees]" from the document
// settings; "Complex Number Mode: Angular values in [degrees]" in complex
// mode.
std::string UnitSettingsText();
// "Minimization of F(x,y)" or "Maximization of ...": the objective and the
// independent variables of the optimisation settings.
std::string MinMaxHeaderText();

}  // namespace voq

#pragma once
// The box model of the Formatted Equations window: a laid-out equation is a
// singly linked list of text boxes, each one piece of text (or one drawn
// symbol) with a font size, a style and a bounding rectangle. The list
// operations here (grouping, shifting, aligning on the mid-line,
// parentheses, bars, shrinking for exponents) are what the typesetter
// (equation_typesetter.h) builds every construct from; the markup of box
// texts (subscripts, superscripts, Greek letters, accents, the "x10" form
// of exponents) is drawn by DrawUnderScoreString.
//
// Geometry is in device units: screen pixels at 96 dots per inch on the
// screen and in clipboard pictures; while printing every spacing of n
// pixels is n x PixelScaleX across and n x PixelScaleY down. All text is
// measured and drawn through a Canvas, so the layout is the same on the
// Qt canvas of the window and on the fixed-width RecordingCanvas of tests.
#include <cstdint>
#include <string>
#include <vector>

#include "output/canvas.h"

namespace voq {

// One box of a laid-out equation.
struct TFormatBox {
  std::string Text;            // at most 30 characters, with the markup codes
  int32_t FontSize = 0;        // pixels at 96 dpi; 0 or less: an invisible group head
  int32_t FontStyle = 0;       // 0 plain, 1 bold, 2 italic, 4 underlined, 5 Greek (Symbol face)
  int32_t FontFamily = 1;
  uint8_t GreekSubscript = 0;  // the first subscript level is Greek
  uint8_t GreekSubscript2 = 0; // the second subscript level is Greek
  int32_t Role = 0;            // kRole... below
  int32_t Marker = 0;          // kMarker... below
  TRect Rect;                  // Top is where the text's top is drawn
  int32_t Width = 0;           // advance width
  int32_t Height = 0;          // text height of the box's font
  uint8_t IsFunctionName = 0;  // a called function's name; its parenthesised arguments follow
  uint8_t Indented = 0;        // starts a line with its own indentation (If, Else, EndIf, Repeat)
  int32_t Indent = 0;          // indentation of the line in pixels
  uint8_t BreakOperator = 0;   // an operator character ends a running subscript
  TFormatBox* Next = nullptr;
};

// Roles: how a box is drawn and treated in the layout.
inline constexpr int32_t kRoleText = 0;
inline constexpr int32_t kRoleFractionBar = 1;
inline constexpr int32_t kRoleWidestFractionBar = -1;  // the bar a list's mid-line is taken from
inline constexpr int32_t kRoleRadical = 2;
inline constexpr int32_t kRoleLeftParenthesis = 3;     // drawn, no text
inline constexpr int32_t kRoleRightParenthesis = 4;
inline constexpr int32_t kRoleAbsoluteBar = 7;
inline constexpr int32_t kRoleIntegralSign = 8;
inline constexpr int32_t kRoleSumSign = 9;
inline constexpr int32_t kRoleProductSign = 10;
inline constexpr int32_t kRolePi = 13;
inline constexpr int32_t kRoleFractionHead = 14;
inline constexpr int32_t kRoleExponentNumber = 19;    // mantissa, "x10", raised exponent
inline constexpr int32_t kRoleBreakOperator = 20;     // a printed line may break before it

// Markers: structure the later operations look for.
inline constexpr int32_t kMarkerFractionBar = 1;
inline constexpr int32_t kMarkerInlineSlash = 11;
inline constexpr int32_t kMarkerExponentFirst = 12;
inline constexpr int32_t kMarkerExponentLast = -12;
// The operator box of a binary operation carries its kind: 4 separator,
// 5 plus, 6 minus, 7 equals, 8 product.

// Character codes of the box markup.
inline constexpr char kCodeSuperscriptStart = 5;
inline constexpr char kCodeSuperscriptEnd = 6;
inline constexpr char kCodeLoweredStart = 10;
inline constexpr char kCodeLoweredEnd = 11;
inline constexpr char kCodeEnDash = static_cast<char>(150);
inline constexpr char kCodeSubscriptEnd = static_cast<char>(160);
inline constexpr char kCodeMiddleDot = static_cast<char>(183);
inline constexpr char kCodeSymbolPi = static_cast<char>(227);  // drawn as p of the Symbol face

inline constexpr size_t kMaxBoxText = 30;

// Device units per screen pixel: 1 on the screen and in clipboard copies,
// printer over screen resolution while printing.
extern int32_t PixelScaleX;
extern int32_t PixelScaleY;
// Half-line step of printed formatted equations (SetupFonts).
extern int32_t LineStep;

// --- List operations that need no measuring ---

// Links b after the last box of a (nothing when a is null).
void AppendList(TFormatBox* a, TFormatBox* b);
TFormatBox* LastBox(TFormatBox* list);
void ShiftH(TFormatBox* list, int32_t dx);
// Frees a whole list; list becomes null.
void DisposeFormatEqn(TFormatBox*& list);
// Some box carries a non-zero Marker.
bool HasMarker(const TFormatBox* list);
// Role 20 becomes 0: operators inside a construct are no break points.
void ClearBreakRoles(TFormatBox* list);
// Every font 3 smaller (those above 5), every coordinate x 7/8.
void ShrinkForExponent(TFormatBox* list);
// The list is a function name followed by its parenthesised arguments and
// nothing at depth 0 carries a marker; name is then that name's box.
bool IsFunctionCallList(TFormatBox* list, TFormatBox*& name);
// The list holds a plus or minus outside a leading parenthesised group.
bool NeedsParentheses(const TFormatBox* list);

// --- Markup of names and unit texts ---

// "[x]" loses its brackets.
void StripBrackets(std::string& s);
// Units text: "^" starts a superscript (code 5) that ends (code 6) before
// the first blank, tab, parenthesis, "*", "-" or "/" after it; "^(...)"
// at the end loses its parentheses; a code 192 in the superscript is a
// minus. Only while subscripts and Greek symbols are displayed.
void MarkSuperscripts(std::string& s, size_t maxLength);
// Every c becomes r; the text is cut to maxLength.
void ReplaceChar(std::string& s, size_t maxLength, char c, const std::string& r);

// The layout and drawing state of one Formatted Equations window (its
// engine half): fonts, line height, the pen of the box drawing, and the
// canvas everything is measured and drawn on.
class TFormattedForm {
 public:
  explicit TFormattedForm(Canvas& canvas) : canvas_(&canvas) {}
  ~TFormattedForm();
  TFormattedForm(const TFormattedForm&) = delete;
  TFormattedForm& operator=(const TFormattedForm&) = delete;
  Canvas& TheCanvas() { return *canvas_; }
  void SetCanvas(Canvas& canvas) { canvas_ = &canvas; }

  // Fonts and line height from the size preferences (the screen's list, or
  // the printer's while Printing); while printing LineHeight and LineStep
  // follow the print job's lines.
  void SetupFonts();
  // Selects size (clamped to 6..28) and style (5: the Symbol face) on the
  // canvas, scaled to the device.
  void TextSizeStyle(int32_t size, int32_t style);

  int32_t StringWidth(const std::string& s);
  int32_t GetFontHeight(const std::string& s);
  // The text without superscript codes, 2 px more per en dash.
  int32_t BoxTextWidth(const TFormatBox& box);

  // A new box on the current line (LineTop): the width with the
  // subscript, Greek-name and accent rules, the height of "Hg".
  TFormatBox* NewBox(const std::string& text, int32_t size, int32_t style);

  void ShiftV(TFormatBox* list, int32_t dy);
  int32_t GetWidth(const TFormatBox* list);
  // Height of the visible boxes, exponents left out.
  int32_t GetHeight(const TFormatBox* list);
  int32_t MidLine(TFormatBox* list);
  // The widest fraction bar's Top + 9 px (it gets Role -1), or the middle
  // of the visible boxes outside exponents.
  int32_t ListMidLine(TFormatBox* list);
  // Moves b so that its mid-line is a's.
  void AlignMidLines(TFormatBox* a, TFormatBox* b);
  // An invisible head in front (unless the first box is one already) whose
  // Rect is the union of the visible boxes.
  void GroupBoxes(TFormatBox*& list);
  // Text parentheses around a one-line list, drawn ones (Roles 3 and 4, at
  // least 7 px wide) around a taller or shorter one; grouped.
  void Parenthesize(TFormatBox*& list);
  // The tall bars of an absolute value.
  void AddLeftBar(TFormatBox*& list);
  void AddRightBar(TFormatBox* list);

  // --- The pen of the box drawing ---
  void MoveTOSK(int32_t x, int32_t y);
  void MoveSK(int32_t dx, int32_t dy);
  void LineToSK(int32_t dx, int32_t dy);
  void DrawString(const std::string& s);
  // Draws a box text with its markup at the pen in size a and style c
  // (markup only while subscripts and Greek symbols are displayed).
  void DrawUnderScoreString(std::string text, int32_t a, bool breakOperator, bool greekSubscript2,
                            bool greekSubscript, bool commaBreak, int32_t role, int32_t c);

  // Draws a whole list with its origin at (x, y): texts through
  // DrawUnderScoreString, and the drawn symbols of the roles (fraction
  // bars, radicals, tall brackets, square at odd and round at even nesting
  // levels, absolute-value bars, the Symbol face's integral, sum, product
  // and pi).
  void DrawFormattedEqn(const TFormatBox* list, int32_t x, int32_t y);

  // --- Lines ---
  // Half-line steps a height h takes on paper.
  int32_t LinesFor(int32_t h) const;
  // The current line y moves down by h; on paper in whole half-line steps,
  // with a new page when the page is full.
  void AdvanceLine(int32_t& y, int32_t h);

  // Window state.
  int32_t BaseFontSize = 13;
  int32_t LineHeight = 16;
  // The height of one line of text at the base size: LineHeight on the
  // screen; on paper LineHeight is the print job's line pitch, taller.
  int32_t TextLineHeight = 16;
  int32_t FontFamily = 1;
  int32_t CurrentFontSize = 0;
  int32_t CurrentFontStyle = 0;
  int32_t PenX = 0;
  int32_t PenY = 0;
  int32_t RightExtent = 0;
  int32_t VerticalScale = 1;
  int32_t IndentStep = 24;
  bool IntegralSlashForm = false;
  // Height of a page in device units (the window's is practically endless).
  int32_t PageHeight = 32000;
  // The top of the line being laid out: every new box starts there.
  int32_t LineTop = 0;
  // A call whose outputs are spread over several statements is shown at
  // its last output statement: the output names met so far ([1..1000])
  // and the output boxes collected for a CALL of a procedure.
  std::vector<std::string> OutputNames;
  TFormatBox* BoxBreakList = nullptr;
  // The output boxes collected for a CALL of an external procedure.
  TFormatBox* ExternalCallBoxes = nullptr;

  int32_t Px(int32_t n) const { return n * PixelScaleX; }
  int32_t Py(int32_t n) const { return n * PixelScaleY; }

 private:
  Canvas* canvas_;
};

// --- Placing lists: the geometry every builder of the typesetter shares ---

// The smallest rectangle that holds both.
inline TRect UnionRect(const TRect& a, const TRect& b) {
  return TRect{a.Left < b.Left ? a.Left : b.Left, a.Top < b.Top ? a.Top : b.Top,
               a.Right > b.Right ? a.Right : b.Right, a.Bottom > b.Bottom ? a.Bottom : b.Bottom};
}

// A box's left edge at left; its right edge follows from its advance width.
inline void SetLeft(TFormatBox* box, int32_t left) {
  box->Rect.Left = left;
  box->Rect.Right = left + box->Width;
}

// Moves a list so that its first box starts at x.
inline void StartAt(TFormatBox* list, int32_t x) { ShiftH(list, x - list->Rect.Left); }

// The right edge of a list that starts at its first box's left.
inline int32_t RightEdge(TFormattedForm& form, const TFormatBox* list) {
  return list->Rect.Left + form.GetWidth(list);
}

}  // namespace voq

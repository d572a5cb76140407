#include "output/format_box.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "core/locale_settings.h"
#include "model/document_settings.h"
#include "output/display_names.h"
#include "output/drawing.h"
#include "output/print_engine.h"

namespace voq {

int32_t PixelScaleX = 1;
int32_t PixelScaleY = 1;
int32_t LineStep = 13;

namespace {

bool Visible(const TFormatBox& b) { return b.FontSize > 0; }

bool SubscriptsShown() { return Preferences.ShowSubscripts != 0; }

void Unite(TRect& u, const TRect& r) {
  u.Left = std::min(u.Left, r.Left);
  u.Top = std::min(u.Top, r.Top);
  u.Right = std::max(u.Right, r.Right);
  u.Bottom = std::max(u.Bottom, r.Bottom);
}

void OffsetRect(TRect& r, int32_t dx, int32_t dy) {
  r.Left += dx;
  r.Right += dx;
  r.Top += dy;
  r.Bottom += dy;
}

// Walks a list and tells, box by box, whether the box belongs to an
// exponent: from a box marked as an exponent's first (or as a one-box
// exponent) up to and including the box marked as its last.
class ExponentSpan {
 public:
  bool Inside(const TFormatBox& b) {
    if (b.Marker == kMarkerExponentFirst) open_ = true;
    const bool inside = open_ || b.Marker == kMarkerExponentLast;
    if (b.Marker == kMarkerExponentLast) open_ = false;
    return inside;
  }

 private:
  bool open_ = false;
};

}  // namespace

// --- List operations ------------------------------------------------------------------

void AppendList(TFormatBox* a, TFormatBox* b) {
  if (a == nullptr) return;
  LastBox(a)->Next = b;
}

TFormatBox* LastBox(TFormatBox* list) {
  if (list == nullptr) return nullptr;
  while (list->Next != nullptr) list = list->Next;
  return list;
}

void ShiftH(TFormatBox* list, int32_t dx) {
  for (TFormatBox* b = list; b != nullptr; b = b->Next) OffsetRect(b->Rect, dx, 0);
}

void DisposeFormatEqn(TFormatBox*& list) {
  while (list != nullptr) {
    TFormatBox* next = list->Next;
    delete list;
    list = next;
  }
}

bool HasMarker(const TFormatBox* list) {
  for (const TFormatBox* b = list; b != nullptr; b = b->Next) {
    if (b->Marker != 0) return true;
  }
  return false;
}

void ClearBreakRoles(TFormatBox* list) {
  for (TFormatBox* b = list; b != nullptr; b = b->Next) {
    if (b->Role == kRoleBreakOperator) b->Role = kRoleText;
  }
}

void ShrinkForExponent(TFormatBox* list) {
  for (TFormatBox* b = list; b != nullptr; b = b->Next) {
    if (b->FontSize > 5) b->FontSize -= 3;
    b->Rect.Left = b->Rect.Left * 7 / 8;
    b->Rect.Top = b->Rect.Top * 7 / 8;
    b->Rect.Right = b->Rect.Right * 7 / 8;
    b->Rect.Bottom = b->Rect.Bottom * 7 / 8;
    b->Width = b->Rect.Right - b->Rect.Left;
  }
}

bool IsFunctionCallList(TFormatBox* list, TFormatBox*& name) {
  TFormatBox* b = list;
  while (b != nullptr && b->FontSize < 0) b = b->Next;
  if (b == nullptr || b->IsFunctionName == 0) return false;
  name = b;
  int32_t depth = 0;
  for (TFormatBox* p = b->Next; p != nullptr; p = p->Next) {
    if (p->Role == kRoleLeftParenthesis || p->Text == "(") {
      ++depth;
    } else if (p->Role == kRoleRightParenthesis || p->Text == ")") {
      --depth;
    }
    if (depth == 0 && p->Marker != 0) return false;
  }
  return true;
}

bool NeedsParentheses(const TFormatBox* list) {
  int32_t depth = 0;
  bool result = false;
  bool seenAdd = false;
  bool openFirst = false;
  bool lastClosed = false;
  for (const TFormatBox* b = list; b != nullptr; b = b->Next) {
    lastClosed = false;
    if (b->Marker == 5 || b->Marker == 6) {
      result = true;
      seenAdd = true;
    }
    if (b->Text == "(" || b->Role == kRoleLeftParenthesis) {
      ++depth;
      if (!seenAdd) openFirst = true;
    }
    if (b->Text == ")" || b->Role == kRoleRightParenthesis) {
      --depth;
      lastClosed = true;
      if (depth == 0 && openFirst) {
        result = false;
        openFirst = false;
      }
    }
  }
  if (lastClosed && openFirst) result = false;
  return result;
}

// --- Markup of names and units -----------------------------------------------------------

void StripBrackets(std::string& s) {
  if (s.size() >= 2 && s.front() == '[' && s.back() == ']') s = s.substr(1, s.size() - 2);
}

void MarkSuperscripts(std::string& s, size_t maxLength) {
  StripBrackets(s);
  if (SubscriptsShown()) {
    for (size_t p = s.find('^'); p != std::string::npos; p = s.find('^', p + 1)) {
      s[p] = kCodeSuperscriptStart;
      if (p + 1 < s.size() && s[p + 1] == '(' && s.back() == ')') {
        s.erase(p + 1, 1);
        s.pop_back();
      }
      for (size_t k = p + 1; k < s.size(); ++k) {
        const char c = s[k];
        if (k >= p + 2 && (c == '\t' || c == ' ' || c == '(' || c == ')' || c == '*' || c == '-' || c == '/')) {
          s.insert(k, 1, kCodeSuperscriptEnd);
          break;
        }
        if (c == static_cast<char>(192)) s[k] = '-';
      }
    }
  }
  if (s.size() > maxLength) s.resize(maxLength);
}

void ReplaceChar(std::string& s, size_t maxLength, char c, const std::string& r) {
  std::string out;
  for (char ch : s) {
    if (ch == c) {
      out += r;
    } else {
      out += ch;
    }
  }
  if (out.size() > maxLength) out.resize(maxLength);
  s = std::move(out);
}

// --- Fonts and measuring ---------------------------------------------------------------------

TFormattedForm::~TFormattedForm() {
  DisposeFormatEqn(BoxBreakList);
  DisposeFormatEqn(ExternalCallBoxes);
}

void TFormattedForm::SetupFonts() {
  FontFamily = 1;
  int32_t points = 10;
  if (Printing) {
    static constexpr int32_t kPrinted[] = {9, 8, 9, 10, 11, 12, 14};
    const int32_t index = Preferences.PrinterFontSize;
    points = index >= 0 && index <= 6 ? kPrinted[index] : 9;
  } else {
    // An index the list does not have gets the default size.
    static constexpr int32_t kScreen[] = {10, 9, 10, 12, 14, 16, 18};
    const int32_t index = Preferences.DisplayFontSize;
    points = index >= 0 && index <= 6 ? kScreen[index] : 10;
  }
  BaseFontSize = std::min(points * 96 / 72, 28);
  // The headers of the window use the base and the 7/8 size in plain,
  // bold and italic; they are made here once so their first use is cheap.
  const int32_t small = BaseFontSize * 7 / 8;
  for (int32_t style : {1, 0, 2}) TextSizeStyle(small, style);
  for (int32_t style : {1, 2, 0}) TextSizeStyle(BaseFontSize, style);
  LineHeight = GetFontHeight("Hg");
  TextLineHeight = LineHeight;
  LineStep = LineHeight * 3 / 4 + 1;
  if (Printing) {
    LineHeight = PrintLineHeight;
    LineStep = PrintState.PageHeight / std::max(1, PrintState.LinesPerPage);
    LineStep = (LineStep + 1) / 2 * 2;
  }
}

void TFormattedForm::TextSizeStyle(int32_t size, int32_t style) {
  size = std::clamp(size, 6, 28);
  TCanvasFont font;
  font.Face = style == 5 ? "Symbol" : "Arial";
  font.Height = std::max(1, size * PixelScaleY);
  font.Bold = style == 1;
  font.Italic = style == 2;
  font.Underline = style == 4;
  canvas_->SetFont(font);
  canvas_->SetTransparentText(true);
  CurrentFontSize = size;
  CurrentFontStyle = style;
}

int32_t TFormattedForm::StringWidth(const std::string& s) { return canvas_->TextWidth(s); }

int32_t TFormattedForm::GetFontHeight(const std::string& s) { return canvas_->TextHeight(s); }

int32_t TFormattedForm::BoxTextWidth(const TFormatBox& box) {
  std::string shown;
  int32_t dashes = 0;
  for (char c : box.Text) {
    if (c == kCodeSuperscriptStart || c == kCodeSuperscriptEnd) continue;
    if (c == kCodeEnDash) ++dashes;
    shown += c;
  }
  return StringWidth(shown) + Px(2) * dashes;
}

TFormatBox* TFormattedForm::NewBox(const std::string& text, int32_t size, int32_t style) {
  auto* b = new TFormatBox;
  b->Text = text.substr(0, kMaxBoxText);
  for (char& c : b->Text) {
    if (c == '-') c = kCodeEnDash;
  }
  b->FontFamily = FontFamily;
  b->FontSize = size;
  b->FontStyle = style;
  TextSizeStyle(size, style);
  b->Height = GetFontHeight("Hg");
  if (b->Height == 15) b->Height = 16;
  b->Width = BoxTextWidth(*b);
  // The markup takes no width of its own, but only where it is drawn as
  // markup: without subscripts the text is drawn as it stands.
  if (SubscriptsShown()) {
    const std::string& t = b->Text;
    const size_t n = t.find('_');
    if (n != std::string::npos) {
      b->Width = StringWidth(t.substr(0, n));
      if (t.find('@') != std::string::npos) {
        b->Width -= StringWidth("@");
        b->Height = GetFontHeight("D");
      }
      if (t.find(kCodeLoweredEnd) != std::string::npos) b->Width -= StringWidth(std::string(1, kCodeLoweredEnd));
      TextSizeStyle(size - 2, style);
      b->Width += StringWidth(t.substr(n + 1));
      TextSizeStyle(size, style);
      b->Width += Px(1);
    }
    if (t.find("\\.") != std::string::npos) b->Width -= StringWidth("\\.");
    for (const char* accent : {"\\*", "\\_", "\\^"}) {
      if (t.find(accent) != std::string::npos) b->Width -= StringWidth("\\");
    }
  }
  b->Rect = TRect{0, LineTop, b->Width, LineTop + b->Height};
  return b;
}

// --- List operations that measure -------------------------------------------------------

void TFormattedForm::ShiftV(TFormatBox* list, int32_t dy) {
  for (TFormatBox* b = list; b != nullptr; b = b->Next) OffsetRect(b->Rect, 0, dy);
}

int32_t TFormattedForm::GetWidth(const TFormatBox* list) {
  if (list == nullptr) return 0;
  int32_t right = list->Rect.Left;
  for (const TFormatBox* b = list; b != nullptr; b = b->Next) {
    if (!Visible(*b)) continue;
    int32_t r = b->Rect.Left + b->Width;
    if (!b->Text.empty() && b->Text.back() == '_') {
      TextSizeStyle(b->FontSize, b->FontStyle);
      r -= StringWidth("_") / 3;
    }
    right = std::max(right, r);
  }
  return right - list->Rect.Left;
}

int32_t TFormattedForm::GetHeight(const TFormatBox* list) {
  if (list == nullptr) return 0;
  bool any = false;
  TRect u{};
  ExponentSpan exponent;
  for (const TFormatBox* b = list; b != nullptr; b = b->Next) {
    if (exponent.Inside(*b) || !Visible(*b)) continue;
    if (!any) {
      u = b->Rect;
      any = true;
    } else {
      Unite(u, b->Rect);
    }
  }
  if (!any) u = list->Rect;
  return u.Bottom - u.Top;
}

int32_t TFormattedForm::MidLine(TFormatBox* list) {
  if (list == nullptr) return 0;
  if (list->Next == nullptr) return (list->Rect.Top + list->Rect.Bottom) / 2;
  return ListMidLine(list);
}

int32_t TFormattedForm::ListMidLine(TFormatBox* list) {
  if (list == nullptr) return 0;
  TFormatBox* widestBar = nullptr;
  bool any = false;
  TRect u{};
  ExponentSpan exponent;
  for (TFormatBox* b = list; b != nullptr; b = b->Next) {
    if (exponent.Inside(*b) || b->Width <= 0) continue;
    if (b->Role == kRoleFractionBar || b->Role == kRoleWidestFractionBar) {
      b->Role = kRoleFractionBar;
      if (widestBar == nullptr || b->Width > widestBar->Width) widestBar = b;
    }
    if (!any) {
      u = b->Rect;
      any = true;
    } else {
      Unite(u, b->Rect);
    }
  }
  if (widestBar != nullptr) {
    widestBar->Role = kRoleWidestFractionBar;
    return widestBar->Rect.Top + Py(9);
  }
  if (!any) u = list->Rect;
  return (u.Top + u.Bottom) / 2;
}

void TFormattedForm::AlignMidLines(TFormatBox* a, TFormatBox* b) { ShiftV(b, MidLine(a) - MidLine(b)); }

void TFormattedForm::GroupBoxes(TFormatBox*& list) {
  if (list == nullptr) return;
  TRect u = list->Rect;
  for (const TFormatBox* b = list; b != nullptr; b = b->Next) {
    if (Visible(*b)) Unite(u, b->Rect);
  }
  if (Visible(*list)) {
    TFormatBox* head = NewBox("", -1, 0);
    head->Next = list;
    list = head;
  }
  list->Rect = u;
}

void TFormattedForm::Parenthesize(TFormatBox*& list) {
  if (list == nullptr) return;
  const int32_t h = GetHeight(list);
  // A list one text line high gets text parentheses (on paper too, where
  // the job's line pitch is taller than the text).
  const int32_t d = h - TextLineHeight;
  const bool textual = std::abs(d) < Py(2);
  const int32_t drawnWidth = std::max(h / 5, Px(7));

  TFormatBox* left = nullptr;
  if (textual) {
    left = NewBox("(", BaseFontSize, 0);
    left->Width += Px(1);
  } else {
    left = NewBox("", h, 0);
    left->Height = h;
    left->Role = kRoleLeftParenthesis;
    left->Width = drawnWidth;
  }
  AlignMidLines(list, left);
  left->Rect.Left = list->Rect.Left;
  left->Rect.Bottom = list->Rect.Bottom;
  left->Rect.Top = left->Rect.Bottom - h;
  left->Rect.Right = left->Rect.Left + left->Width;
  ShiftH(list, left->Width);
  left->Next = list;

  TFormatBox* right = nullptr;
  if (textual) {
    right = NewBox(")", BaseFontSize, 0);
  } else {
    right = NewBox("", BaseFontSize, 0);
    right->Height = h;
    right->Role = kRoleRightParenthesis;
    right->Width = drawnWidth;
  }
  AlignMidLines(list, right);
  right->Rect.Left = list->Rect.Right + Px(1);
  right->Rect.Bottom = list->Rect.Bottom;
  right->Rect.Top = right->Rect.Bottom - h;
  right->Rect.Right = right->Rect.Left + right->Width;
  AppendList(list, right);
  list = left;
  GroupBoxes(list);
}

namespace {

TFormatBox* MakeBar(TFormattedForm& form, TFormatBox* list, int32_t h) {
  TFormatBox* bar = form.NewBox("", h, 0);
  bar->Width = form.Px(7);
  bar->Height = h;
  bar->Role = kRoleAbsoluteBar;
  form.AlignMidLines(list, bar);
  bar->Rect.Bottom = list->Rect.Bottom + form.Py(2);
  bar->Rect.Top = bar->Rect.Bottom - h;
  return bar;
}

}  // namespace

void TFormattedForm::AddLeftBar(TFormatBox*& list) {
  if (list == nullptr) return;
  TFormatBox* bar = MakeBar(*this, list, GetHeight(list));
  bar->Rect.Left = list->Rect.Left;
  bar->Rect.Right = bar->Rect.Left + bar->Width;
  ShiftH(list, bar->Width);
  bar->Next = list;
  list = bar;
}

void TFormattedForm::AddRightBar(TFormatBox* list) {
  if (list == nullptr) return;
  TFormatBox* bar = MakeBar(*this, list, GetHeight(list));
  bar->Rect.Left = list->Rect.Right;
  bar->Rect.Right = bar->Rect.Left + bar->Width;
  AppendList(list, bar);
}

// --- Drawing ------------------------------------------------------------------------------------

void TFormattedForm::MoveTOSK(int32_t x, int32_t y) {
  canvas_->MoveTo(x, y * VerticalScale);
  PenX = x;
  PenY = y;
}

void TFormattedForm::MoveSK(int32_t dx, int32_t dy) {
  PenX += dx;
  PenY += dy;
}

void TFormattedForm::LineToSK(int32_t dx, int32_t dy) {
  const int32_t c = LineHeight * 3 / 4 + PenY;
  canvas_->MoveTo(PenX, c * VerticalScale);
  PenX += dx;
  canvas_->LineTo(PenX, (c + dy) * VerticalScale);
  PenY += dy;
}

void TFormattedForm::DrawString(const std::string& s) {
  canvas_->TextOut(PenX, PenY * VerticalScale, s);
  PenX += StringWidth(s);
  RightExtent = std::max(RightExtent, PenX);
}

void TFormattedForm::DrawUnderScoreString(std::string text, int32_t a, bool breakOperator, bool greekSubscript2,
                                          bool greekSubscript, bool commaBreak, int32_t role, int32_t c) {
  TextSizeStyle(a, c);
  if (!SubscriptsShown()) {
    if (!text.empty()) DrawString(text);
    return;
  }
  const int32_t x0 = PenX;
  bool inSub = false;
  bool inRaised = false;
  int32_t raisedX = PenX;
  const int32_t third = LineHeight / 3;
  // Plain characters are drawn in runs; every change of font or position
  // draws the run first.
  std::string run;
  auto flush = [&] {
    if (!run.empty()) {
      DrawString(run);
      run.clear();
    }
  };
  auto select = [&](int32_t size, int32_t style) {
    flush();
    TextSizeStyle(size, style);
  };
  auto move = [&](int32_t dx, int32_t dy) {
    flush();
    MoveSK(dx, dy);
  };

  size_t i = 0;
  while (i < text.size()) {
    const char ch = text[i];
    const bool last = i + 1 == text.size();
    if (ch == kCodeSuperscriptStart) {
      select(a - 2, c);
      move(0, -Py(a / 2 - 4));
    } else if (ch == kCodeSuperscriptEnd) {
      move(0, Py(a / 2 - 4));
      select(a, c);
      inSub = false;
    } else if (ch == kCodeLoweredStart) {
      select(a - 2, c);
      move(0, Py(a / 2 - 2));
    } else if (ch == kCodeLoweredEnd) {
      move(0, -Py(a / 2 - 2));
      select(a, c);
      inSub = false;
    } else if (ch == '*' || ch == '+' || ch == '-' || ch == '/') {
      if (breakOperator && inSub) {
        move(0, -Py(a / 2 - 1));
        inSub = false;
        select(a, c);
      }
      run += ch;
    } else if ((ch == ',' || ch == ';') && commaBreak) {
      if (inSub) {
        move(0, -third);
        select(a, c);
        inSub = false;
      }
      run += ch;
      if (!last && text[i + 1] != ' ') run += ' ';
    } else if ((ch == 'E' || ch == 'e') && role == kRoleExponentNumber) {
      select(a - 2, c);
      move(Px(3), Py(1));
      DrawString("x");
      MoveSK(Px(3), -Py(1));
      select(a, c);
      DrawString("10");
      select(a - 3, c);
      move(Px(2), -Py(a / 2 - 3));
    } else if (ch == '\\' && !last && (text[i + 1] == '_' || text[i + 1] == '^' || text[i + 1] == '.')) {
      flush();
      const char accent = text[i + 1];
      text.erase(i, 2);
      const int32_t y = PenY * VerticalScale;
      const bool capital = !text.empty() && text[0] >= 'A' && text[0] <= 'Z';
      if (accent == '_') {
        DrawBarAccent(*canvas_, capital ? "Gh" : "gh", x0, PixelScaleX, PenX - x0 + 1, y);
      } else if (accent == '^') {
        DrawHatAccent(*canvas_, "gh", x0, PixelScaleX, PenX - x0, y - 1);
      } else {
        const int32_t r = std::max(1, PixelScaleY);
        const int32_t cx = x0 + (PenX - x0) / 2;
        canvas_->FillEllipse(TRect{cx - r, y - r, cx + r, y + r}, kRgbBlack);
        canvas_->SetTransparentText(true);
      }
      inSub = false;
      continue;  // the same position holds the next character now
    } else if (ch == '_') {
      if (inRaised) {
        move(Px(1), third);
        inRaised = false;
        PenX = raisedX;
      }
      if (inSub) {
        if (!last) {
          run += ArgumentSeparator;
          select(a - 2, greekSubscript2 ? 5 : 0);
        }
      } else {
        const int32_t subStyle = greekSubscript ? 5 : 0;
        inSub = true;
        if (!last && text[i + 1] == '@') {
          // A name joined to a Greek letter (DELTA...): the rest is shown at
          // full size, itself Greek when it names a letter.
          text.erase(i, 2);
          std::string rest = text.substr(i);
          bool greek = false;
          DisplayVarName(rest, 255, greek);
          if (greek) text = text.substr(0, i) + rest;
          c = greek ? 5 : 0;
          select(a, c);
          inSub = false;
          continue;
        }
        select(a - 2, subStyle);
        move(Px(1), third);
      }
    } else if (ch == '|') {
      select(a - 2, 0);
      move(Px(1), -third);
      inRaised = true;
      raisedX = PenX;
    } else if (ch == kCodeEnDash) {
      move(Px(1), 0);
      DrawString(std::string(1, ch));
      MoveSK(Px(1), 0);
    } else if (ch == kCodeSubscriptEnd) {
      select(a, c);
      move(0, -third);
      inSub = false;
    } else if (ch == static_cast<char>(165)) {
      const int32_t size = CurrentFontSize;
      const int32_t style = CurrentFontStyle;
      select(a, 5);
      DrawString(std::string(1, ch));
      // What follows keeps the font it had.
      TextSizeStyle(size, style);
    } else {
      run += ch;
    }
    ++i;
  }
  flush();
}

namespace {

// Half of the ellipse inscribed in r, from its top to its bottom through its
// left (or right) side, as a polyline.
void DrawHalfEllipse(Canvas& canvas, const TRect& r, bool left) {
  const double cx = (r.Left + r.Right) / 2.0;
  const double cy = (r.Top + r.Bottom) / 2.0;
  const double rx = (r.Right - r.Left) / 2.0;
  const double ry = (r.Bottom - r.Top) / 2.0;
  constexpr int kSteps = 16;
  constexpr double kPi = 3.14159265358979323846;
  for (int k = 0; k <= kSteps; ++k) {
    // From the top (angle -pi/2) round the side to the bottom (pi/2).
    const double a = -kPi / 2 + kPi * k / kSteps;
    const double px = cx + (left ? -1 : 1) * rx * std::cos(a);
    const double py = cy + ry * std::sin(a);
    const int32_t ix = static_cast<int32_t>(std::lround(px));
    const int32_t iy = static_cast<int32_t>(std::lround(py));
    if (k == 0) {
      canvas.MoveTo(ix, iy);
    } else {
      canvas.LineTo(ix, iy);
    }
  }
}

}  // namespace

void TFormattedForm::DrawFormattedEqn(const TFormatBox* list, int32_t x, int32_t y) {
  int32_t level = 0;
  canvas_->SetPen(canvas_->TextColor(), std::max(1, PixelScaleX));
  for (const TFormatBox* b = list; b != nullptr; b = b->Next) {
    if (b->FontSize <= 0) continue;
    const int32_t w = b->Width;
    const int32_t h = b->Height;
    MoveTOSK(x + b->Rect.Left, y + b->Rect.Top);
    switch (b->Role) {
      case kRoleFractionBar:
      case kRoleWidestFractionBar:
        MoveSK(0, -Py(3));
        LineToSK(w, 0);
        break;
      case kRoleRadical:
        MoveSK(w, Py(4) - LineHeight);
        LineToSK(x + b->Rect.Left + h / 2 - PenX, 0);
        LineToSK(-h / 4, h);
        LineToSK(-h / 6, -h / 2);
        LineToSK(-h / 8, h / 8);
        break;
      case kRoleLeftParenthesis:
        level += 1;
        if (level % 2 == 1) {
          MoveSK(Px(4), Py(5) - LineHeight);
          LineToSK(-Px(3), 0);
          LineToSK(0, h);
          LineToSK(Px(3), 0);
        } else {
          TRect r = b->Rect;
          OffsetRect(r, x + Px(2), y);
          DrawHalfEllipse(*canvas_, r, true);
        }
        break;
      case kRoleRightParenthesis:
        if (level % 2 == 1) {
          MoveSK(Px(1), Py(5) - LineHeight);
          LineToSK(Px(3), 0);
          LineToSK(0, h);
          LineToSK(-Px(3), 0);
        } else {
          TRect r = b->Rect;
          OffsetRect(r, x - Px(1), y);
          DrawHalfEllipse(*canvas_, r, false);
        }
        level -= 1;
        break;
      case kRoleAbsoluteBar:
        MoveSK(Px(3), Py(2) - LineHeight);
        LineToSK(0, h);
        break;
      case kRoleIntegralSign:
      case kRoleSumSign:
      case kRoleProductSign: {
        static constexpr char kSigns[] = {static_cast<char>(0xF2), 'S', 'P'};
        if (b->Role == kRoleIntegralSign) MoveSK(0, -Py(2));
        TextSizeStyle(b->FontSize, 5);
        DrawString(std::string(1, kSigns[b->Role - kRoleIntegralSign]));
        break;
      }
      case kRolePi:
        MoveSK(0, -Py(1));
        TextSizeStyle(b->FontSize, 5);
        DrawString("p");
        break;
      case kRoleExponentNumber:
        MoveSK(0, Py(2));
        DrawUnderScoreString(b->Text, b->FontSize, b->BreakOperator != 0, b->GreekSubscript2 != 0,
                             b->GreekSubscript != 0, false, b->Role, b->FontStyle);
        break;
      default:
        DrawUnderScoreString(b->Text, b->FontSize, b->BreakOperator != 0, b->GreekSubscript2 != 0,
                             b->GreekSubscript != 0, false, b->Role, b->FontStyle);
        break;
    }
  }
}

// --- Lines ----------------------------------------------------------------------------------------

int32_t TFormattedForm::LinesFor(int32_t h) const { return (2 * h + LineStep - 1) / std::max(1, LineStep); }

void TFormattedForm::AdvanceLine(int32_t& y, int32_t h) {
  if (!Printing) {
    y += h;
    return;
  }
  h = (h + 1) / 2 * 2;
  y += LinesFor(h) * LineStep / 2;
  if (y >= PageHeight - LineStep * 3 / 2) {
    PrintNewPage();
    y = PrintState.CurrentLine * LineStep;
    y += LinesFor(h) * LineStep / 2;
  }
}

}  // namespace voq

#include "tables/table_typeset.h"

#include <algorithm>
#include <cmath>

#include "core/locale_settings.h"
#include "output/display_names.h"
#include "output/drawing.h"

namespace voq {

namespace {

constexpr char kRaiseMark = '\x0E';
// Symbol-face capital Delta.
constexpr char kSymbolDelta = 'D';

TCanvasFont SymbolOf(const TCanvasFont& font) {
  TCanvasFont f = font;
  f.Face = "Symbol";
  return f;
}

// One piece of text in a font at the pen, the pen advanced past it.
int32_t Piece(Canvas& canvas, const TCanvasFont& font, int32_t x, int32_t y, const std::string& text, bool draw) {
  if (text.empty()) return 0;
  canvas.SetFont(font);
  if (draw) canvas.TextOut(x, y, text);
  return canvas.TextWidth(text);
}

bool IsDeltaWord(const std::string& s) {
  if (s.size() != 5) return false;
  std::string u = s;
  for (char& c : u) c = char(std::toupper(static_cast<unsigned char>(c)));
  return u == "DELTA";
}

}  // namespace

TCanvasFont SmallerFont(const TCanvasFont& font, double scale) {
  TCanvasFont f = font;
  // Two points at 96 pixels per inch are 8/3 pixels.
  f.Height = std::max<int32_t>(4, font.Height - int32_t(std::lround(8.0 / 3.0 * scale)));
  return f;
}

std::string TitleMarkup(const std::string& title, bool& greek) {
  std::string s = title;
  // An array element's index becomes a subscript.
  if (!s.empty() && s.back() == ']') {
    const size_t open = s.rfind('[');
    if (open != std::string::npos) {
      s.pop_back();
      s[open] = '_';
    }
  }
  greek = false;
  DisplayVarName(s, 255, greek);
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '\\' && i + 1 < s.size() && (s[i + 1] == '_' || s[i + 1] == '^' || s[i + 1] == '.')) {
      out += '_';
      out += s[i + 1];
      ++i;
    } else if (c == '|') {
      out += '_';
      out += kRaiseMark;
    } else {
      out += c;
    }
  }
  return out;
}

int32_t TypesetTitle(Canvas& canvas, const TCanvasFont& font, int32_t x, int32_t y, const std::string& title,
                     int32_t lineHeight, double scale, bool draw) {
  const TCanvasFont saved = canvas.Font();
  bool greek = false;
  const std::string s = TitleMarkup(title, greek);
  const TCanvasFont small = SmallerFont(font, scale);
  const int32_t drop = lineHeight / 3;
  int32_t pen = x;

  size_t cut = s.find('_');
  const std::string base = s.substr(0, cut);
  pen += Piece(canvas, greek ? SymbolOf(font) : font, pen, y, base, draw);
  const int32_t baseX = x;
  const int32_t baseWidth = pen - x;
  bool subscriptBefore = false;
  while (cut != std::string::npos) {
    size_t start = cut + 1;
    if (start >= s.size()) break;
    const char mark = s[start];
    size_t next = s.find('_', start + 1);
    auto partFrom = [&](size_t from) { return s.substr(from, next == std::string::npos ? std::string::npos : next - from); };
    if (mark == '@') {
      pen += Piece(canvas, font, pen, y, partFrom(start + 1), draw);
      subscriptBefore = false;
    } else if (mark == '_' || mark == '^' || mark == '.') {
      // Accents sit on the base; the next part, if any, follows the mark.
      if (draw) {
        canvas.SetFont(font);
        if (mark == '_') DrawBarAccent(canvas, base, baseX, scale, baseWidth, y);
        else if (mark == '^') DrawHatAccent(canvas, base, baseX, scale, baseWidth, y);
        else {
          const int32_t d = std::max<int32_t>(2, int32_t(std::lround(2 * scale)));
          const bool capital = !base.empty() && std::isupper(static_cast<unsigned char>(base[0]));
          const int32_t top = y - d + (capital ? 0 : 1);
          const int32_t mid = baseX + baseWidth / 2;
          canvas.FillEllipse(TRect{mid - d / 2, top, mid - d / 2 + d, top + d}, kRgbBlack);
        }
      }
      // The mark is consumed; text up to the next "_" continues the base.
      pen += Piece(canvas, font, pen, y, partFrom(start + 1), draw);
      subscriptBefore = false;
    } else if (mark == kRaiseMark) {
      pen += Piece(canvas, small, pen, y - drop, partFrom(start + 1), draw);
      subscriptBefore = false;
    } else {
      std::string part = partFrom(start);
      if (subscriptBefore) {
        const std::string separator(1, ArgumentSeparator);
        pen += Piece(canvas, small, pen, y + drop, separator, draw);
      }
      const bool last = next == std::string::npos;
      if (last && part.find('[') != std::string::npos) {
        const size_t open = part.find('[');
        pen += Piece(canvas, small, pen, y + drop, part.substr(0, open), draw);
        pen += Piece(canvas, font, pen, y, part.substr(open), draw);
      } else if (last && IsDeltaWord(part)) {
        pen += Piece(canvas, SymbolOf(small), pen, y + drop, std::string(1, kSymbolDelta), draw);
      } else {
        bool partGreek = false;
        if (part.size() > 1) DisplayVarName(part, 255, partGreek);
        pen += Piece(canvas, partGreek ? SymbolOf(small) : small, pen, y + drop, part, draw);
      }
      subscriptBefore = true;
    }
    cut = next;
  }
  canvas.SetFont(saved);
  return pen - x;
}

int32_t TypesetUnits(Canvas& canvas, const TCanvasFont& font, int32_t x, int32_t y, const std::string& units,
                     double scale, bool draw) {
  const TCanvasFont saved = canvas.Font();
  const TCanvasFont small = SmallerFont(font, scale);
  const int32_t lower = int32_t(std::lround(4 * scale));
  const int32_t raise = std::max<int32_t>(1, font.Height / 3);
  int32_t pen = x;
  int32_t offset = 0;
  bool smallSize = false;
  for (const char c : units) {
    if (c == '^') {
      smallSize = true;
      offset = -raise;
      continue;
    }
    if (c == '_') {
      smallSize = true;
      offset = lower;
      continue;
    }
    if (c == ' ' || c == ')' || c == '*' || c == '-' || c == '/' || c == ']') {
      smallSize = false;
      offset = 0;
    }
    pen += Piece(canvas, smallSize ? small : font, pen, y + offset, std::string(1, c), draw);
  }
  canvas.SetFont(saved);
  return pen - x;
}

}  // namespace voq

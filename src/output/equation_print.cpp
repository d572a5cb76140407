#include "output/equation_print.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "core/calc_state.h"
#include "model/display_fonts.h"
#include "model/document_settings.h"
#include "output/print_engine.h"

namespace voq {

bool IsPrintBreakCharacter(char c) {
  return c != '\0' && std::strchr("\t\r )*+,-/;=]^", c) != nullptr;
}

namespace {

// Kinds of text: 1 ordinary, 2 comment type 1 ("{"), 3 comment type 2
// ("{!"). Style codes: 1 plain, 2 bold, 3 italic, 4 underline.
class TEquationPrinter {
 public:
  explicit TEquationPrinter(int32_t screenPixelsPerInch) {
    styleOfKind_ = {0, 1, Preferences.PrintCommentStyle1 + 1, Preferences.PrintCommentStyle2 + 1};
    int32_t tabPixels = Preferences.TabWidth / 100;
    if (tabPixels <= 0) tabPixels = kDefaultPrintedTabWidth;
    const int32_t screenDpi = screenPixelsPerInch > 0 ? screenPixelsPerInch : 96;
    tabWidth_ = std::max(tabPixels * PrinterDpi / screenDpi, 1);
    printableWidth_ = PrintState.PageWidth - PrintLeftMargin - PrintRightMargin;
    indent_ = Preferences.PrintIndentEquations != 0 ? kContinuationIndent : 0;
  }
  ~TEquationPrinter() {
    PrintSurface* canvas = PrintState.Canvas;
    if (canvas == nullptr) return;
    canvas->SelectFont(DisplayFonts[1].Printer);
    canvas->SetTextColor(0x000000);
    for (FontHandle font : fonts_) {
      if (font != 0) canvas->DeletePrinterFont(font);
    }
  }
  TEquationPrinter(const TEquationPrinter&) = delete;
  TEquationPrinter& operator=(const TEquationPrinter&) = delete;

  FontHandle SelectPrintFont(int kind);
  void PrintEquationLine(const std::string& s);

 private:
  int32_t TabbedWidth(int32_t x, const std::string& text);
  int32_t PrintTabbedText(int32_t x, int32_t y, const std::string& text);
  int32_t LineY() const { return PrintState.CurrentLine * PrintLineHeight; }

  std::array<int32_t, 4> styleOfKind_{};
  std::array<FontHandle, 5> fonts_{};  // by style code
  int32_t tabWidth_ = 1;
  int32_t printableWidth_ = 0;
  int32_t indent_ = 0;
  int currentKind_ = 1;
  int32_t depth_ = 0;
  bool bang_ = false;
};

FontHandle TEquationPrinter::SelectPrintFont(int kind) {
  PrintSurface* canvas = PrintState.Canvas;
  int32_t style = kind >= 1 && kind <= 3 ? styleOfKind_[static_cast<size_t>(kind)] : 1;
  if (style < 1 || style > 4) style = 1;
  FontHandle& font = fonts_[static_cast<size_t>(style)];
  if (font == 0 && canvas != nullptr) {
    TPrinterFontRequest request;
    request.Face = PrinterFontFace();
    request.Height = TextSizePoints(Preferences.PrinterFontSize);
    request.Weight = style == 2 ? 700 : 400;
    request.Italic = style == 3;
    request.Underline = style == 4;
    font = canvas->CreatePrinterFont(request);
  }
  uint32_t colour = 0x000000;
  if (Preferences.PrintInColor != 0 && (kind == 2 || kind == 3)) {
    colour = PaletteColorRGB(kind == 2 ? Preferences.CommentColor1 : Preferences.CommentColor2);
  }
  if (canvas != nullptr) {
    canvas->SelectFont(font);
    canvas->SetTextColor(colour);
  }
  currentKind_ = kind;
  return font;
}

// One tab stop width, counted from the left margin.
int32_t TEquationPrinter::TabbedWidth(int32_t x, const std::string& text) {
  PrintSurface* canvas = PrintState.Canvas;
  int32_t at = x;
  size_t from = 0;
  while (from <= text.size()) {
    const size_t tab = text.find('\t', from);
    const std::string piece = text.substr(from, tab == std::string::npos ? std::string::npos : tab - from);
    if (!piece.empty()) at += canvas->TextWidth(piece);
    if (tab == std::string::npos) break;
    at = PrintLeftMargin + ((at - PrintLeftMargin) / tabWidth_ + 1) * tabWidth_;
    from = tab + 1;
  }
  return at - x;
}

int32_t TEquationPrinter::PrintTabbedText(int32_t x, int32_t y, const std::string& text) {
  PrintSurface* canvas = PrintState.Canvas;
  int32_t at = x;
  size_t from = 0;
  while (from <= text.size()) {
    const size_t tab = text.find('\t', from);
    const std::string piece = text.substr(from, tab == std::string::npos ? std::string::npos : tab - from);
    if (!piece.empty()) {
      canvas->DrawText(at, y, piece);
      at += canvas->TextWidth(piece);
    }
    if (tab == std::string::npos) break;
    at = PrintLeftMargin + ((at - PrintLeftMargin) / tabWidth_ + 1) * tabWidth_;
    from = tab + 1;
  }
  return at - x;
}

void TEquationPrinter::PrintEquationLine(const std::string& s) {
  PrintAdvanceLines(1);
  const int64_t len = static_cast<int64_t>(s.size());
  // The depth and "!" flag after each scanned character, so that text
  // scanned again after a line break is not counted twice.
  std::vector<int32_t> depthAfter(s.size() + 1, 0);
  std::vector<char> bangAfter(s.size() + 1, 0);
  int64_t i = -1;
  int64_t start = 0;
  int32_t x = 0;
  int32_t xi = 0;
  bool lineEmpty = true;
  const int32_t entryDepth = depth_;
  const bool entryBang = bang_;
  const auto part = [&](int64_t from, int64_t to) {
    from = std::clamp<int64_t>(from, 0, len);
    to = std::clamp<int64_t>(to, from, len);
    return s.substr(static_cast<size_t>(from), static_cast<size_t>(to - from));
  };
  const auto drawPart = [&](int64_t from, int64_t to) {
    const std::string text = part(from, to);
    if (text.empty()) return;
    PrintTabbedText(PrintLeftMargin + xi + x, LineY(), text);
    lineEmpty = false;
  };
  while (i < len && !AbortRequested) {
    ++i;
    const char c = i < len ? s[static_cast<size_t>(i)] : '\0';
    const char next = i + 1 < len ? s[static_cast<size_t>(i + 1)] : '\0';
    const int32_t before = depth_;
    if (c == '{' && i < len) {
      ++depth_;
      bang_ = next == '!';
    } else if (c == '}') {
      --depth_;
    } else if (c == '"') {
      if (depth_ == 1) {
        depth_ = 0;
      } else if (depth_ == 0 && i < len) {
        depth_ = 1;
        bang_ = next == '!';
      }
    }
    if (depth_ < 0 && i < len) depth_ = 0;
    if (i < len) {
      depthAfter[static_cast<size_t>(i)] = depth_;
      bangAfter[static_cast<size_t>(i)] = bang_ ? 1 : 0;
    }
    int runKind = 0;
    int64_t runEnd = i;
    int followingKind = 1;
    if (depth_ == 0 && before != 0) {
      // The closing delimiter belongs to the comment; the character after
      // it is scanned next like any other.
      runEnd = i < len ? i + 1 : i;
      if (start < runEnd) {
        runKind = bang_ ? 3 : 2;
        followingKind = 1;
      } else {
        SelectPrintFont(1);
      }
    } else if (depth_ == 1 && before == 0) {
      if (start < i) {
        runKind = 1;
        followingKind = bang_ ? 3 : 2;
      } else {
        SelectPrintFont(bang_ ? 3 : 2);
      }
    }
    if (runKind != 0) {
      SelectPrintFont(runKind);
      x += PrintTabbedText(PrintLeftMargin + xi + x, LineY(), part(start, runEnd));
      lineEmpty = false;
      SelectPrintFont(followingKind);
      start = runEnd;
    }
    // Does the text from start up to and including i still fit?
    const int32_t width = TabbedWidth(PrintLeftMargin + xi + x, part(start, i + 1));
    if (width + x > printableWidth_ - xi) {
      int64_t b = i - 1;
      while (b > start && !IsPrintBreakCharacter(s[static_cast<size_t>(b)])) --b;
      int64_t cut = b > start ? b : std::max(i, start);
      // A character wider than an empty line still prints, one per line,
      // rather than breaking for ever in front of it.
      if (cut == start && lineEmpty && start < len) cut = start + 1;
      drawPart(start, cut);
      if (cut < len) PrintAdvanceLines(1);
      x = indent_;
      xi = indent_;
      lineEmpty = true;
      start = cut < len && s[static_cast<size_t>(cut)] == ' ' ? cut + 1 : cut;
      // Scanning goes on at the new line's first character, from the depth
      // before it, so no delimiter is counted twice.
      // A skipped blank not yet scanned changes nothing.
      const int64_t lastScanned = i;
      i = start - 1;
      if (i < 0) {
        depth_ = entryDepth;
        bang_ = entryBang;
      } else if (i <= lastScanned) {
        depth_ = depthAfter[static_cast<size_t>(i)];
        bang_ = bangAfter[static_cast<size_t>(i)] != 0;
      }
    }
  }
  if (start < i) drawPart(start, i);
}

}  // namespace

void PrintEquationsText(const std::string& text, int32_t screenPixelsPerInch) {
  if (PrintState.Canvas == nullptr) return;
  // The editor's lines: a final line break opens no further line.
  std::vector<std::string> lines;
  size_t from = 0;
  while (from < text.size()) {
    size_t end = text.find('\n', from);
    const bool last = end == std::string::npos;
    if (last) end = text.size();
    std::string line = text.substr(from, end - from);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    from = last ? text.size() : end + 1;
  }
  TEquationPrinter printer(screenPixelsPerInch);
  printer.SelectPrintFont(1);
  for (const std::string& line : lines) {
    if (PrintPageState >= kPageStateCancel) break;
    if (line.empty()) {
      PrintAdvanceLines(1);
      PrintState.Canvas->DrawText(PrintLeftMargin, PrintState.CurrentLine * PrintLineHeight, " ");
    } else {
      printer.PrintEquationLine(line.size() > kPrintedLineLimit ? line.substr(0, kPrintedLineLimit) : line);
    }
  }
}

void PrintEquationSelection(const std::string& selection, const std::string& documentName) {
  PrintPageState = kPageStateRunning;
  PrintState.PreviewMode = false;
  Printing = true;
  const std::string title = documentName.empty() ? "(Untitled)" : documentName;
  if (!BeginPrintJob(title, 1)) {
    Printing = false;
    return;
  }
  PrintSurface* canvas = PrintState.Canvas;
  PrintAdvanceLines(1);
  canvas->SelectFont(DisplayFonts[1].Printer);
  int32_t x = PrintLeftMargin;
  int32_t y = PrintState.CurrentLine * PrintLineHeight;
  const auto newLine = [&] {
    PrintAdvanceLines(1);
    x = PrintLeftMargin;
    y = PrintState.CurrentLine * PrintLineHeight;
  };
  for (const char c : selection) {
    if (PrintPageState >= kPageStateCancel) break;
    if (c == '\n') continue;
    if (c == '\r') {
      newLine();
      continue;
    }
    if (x + 2 * PrintLeftMargin > PrintState.PageWidth && c != '\0' && std::strchr(" +-/*({", c) != nullptr) {
      newLine();
      if (c == ' ') continue;
    }
    const std::string text = c == '\t' ? std::string(5, ' ') : std::string(1, c);
    canvas->DrawText(x, y, text);
    x += canvas->TextWidth(text);
  }
  EndPrintJob();
  Printing = false;
}

}  // namespace voq

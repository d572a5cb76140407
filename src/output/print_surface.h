#pragma once
// The page a print job draws on, as the print engine and the windows' Print
// routines see it. The application's surfaces are a printer (or a PDF file
// when no printer is installed) and the preview, which draws each page into
// an image; tests use RecordingPrintSurface. Lengths are printer dots, text
// is Windows-1252 bytes and y is the top of the text.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/font_factory.h"

namespace voq {

// A printer font. Height below 0 is the character height in dots, above 0
// the cell height (character height plus internal leading).
struct TPrinterFontRequest {
  std::string Face;
  int32_t Height = 0;
  int32_t Weight = 400;  // 400 normal, 700 bold
  bool Italic = false;
  bool Underline = false;
};

// The text metrics of the selected font, in dots.
struct TPrinterTextMetrics {
  int32_t Height = 0;  // ascent plus descent
  int32_t ExternalLeading = 0;
  int32_t AverageCharWidth = 0;
};

class PrintSurface {
 public:
  virtual ~PrintSurface() = default;

  // The document: false from StartDocument when the device cannot print.
  virtual bool StartDocument(const std::string& title, int32_t copies) = 0;
  // Ejects the page drawn so far; drawing goes on on a fresh sheet.
  virtual void NewSheet() = 0;
  virtual void EndDocument() = 0;

  // The printable page in dots and the physical paper in millimetres.
  virtual int32_t PageWidthDots() = 0;
  virtual int32_t PageHeightDots() = 0;
  virtual int32_t PhysicalWidthMm() = 0;
  virtual int32_t PhysicalHeightMm() = 0;
  virtual bool Landscape() = 0;

  // Fonts belong to the surface that made them; 0 when none could be made.
  virtual FontHandle CreatePrinterFont(const TPrinterFontRequest& request) = 0;
  // Frees a font this surface made; other handles are ignored.
  virtual void DeletePrinterFont(FontHandle font) = 0;
  // Selects a font for the following text; returns the font it replaces.
  virtual FontHandle SelectFont(FontHandle font) = 0;
  virtual TPrinterTextMetrics TextMetrics() = 0;
  // Text colour as 0xRRGGBB; returns the colour it replaces.
  virtual uint32_t SetTextColor(uint32_t rgb) = 0;

  virtual int32_t TextWidth(const std::string& text) = 0;
  virtual void DrawText(int32_t x, int32_t y, const std::string& text) = 0;
  // Fills the rectangle white (a page outside the range is erased).
  virtual void FillWhite(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
  // Strokes and fills the result windows draw besides text (accents,
  // hilites, entry backgrounds), colour 0xRRGGBB. A surface that keeps only
  // text may ignore them.
  virtual void DrawLine(int32_t /*x1*/, int32_t /*y1*/, int32_t /*x2*/, int32_t /*y2*/, uint32_t /*rgb*/,
                        int32_t /*width*/) {}
  virtual void FillRect(int32_t /*left*/, int32_t /*top*/, int32_t /*right*/, int32_t /*bottom*/,
                        uint32_t /*rgb*/) {}

  // The preview: makes the page-sized picture (false when it cannot), then
  // for each finished page shows it and waits for the user's Next, Back or
  // Cancel, which the preview window stores in PrintPageState. A printer
  // surface makes no picture and never waits.
  virtual bool CreatePageBitmap(int32_t /*width*/, int32_t /*height*/, bool /*colour*/) {
    return true;
  }
  virtual void ShowPage() {}
  virtual void WaitEvent() {}
};

// Where jobs print: the front end installs its devices (SetPrintDevices).
// Either may give nullptr: no printer usable, or no preview window made.
class PrintDevices {
 public:
  virtual ~PrintDevices() = default;
  virtual PrintSurface* Printer() = 0;
  virtual PrintSurface* Preview() = 0;
};

// A surface for tests: a Letter page at 300 dots per inch by default, fixed
// metrics (a character is half its height wide), and every call recorded.
class RecordingPrintSurface : public PrintSurface {
 public:
  struct TDrawnText {
    int32_t Sheet;  // 0-based physical sheet
    int32_t X, Y;
    std::string Text;
    TPrinterFontRequest Font;
    uint32_t Color;
  };

  bool StartDocument(const std::string& title, int32_t copies) override;
  void NewSheet() override;
  void EndDocument() override { ++Ended; }
  int32_t PageWidthDots() override { return PageWidth; }
  int32_t PageHeightDots() override { return PageHeight; }
  int32_t PhysicalWidthMm() override { return WidthMm; }
  int32_t PhysicalHeightMm() override { return HeightMm; }
  bool Landscape() override { return IsLandscape; }
  FontHandle CreatePrinterFont(const TPrinterFontRequest& request) override;
  void DeletePrinterFont(FontHandle font) override;
  FontHandle SelectFont(FontHandle font) override;
  TPrinterTextMetrics TextMetrics() override;
  uint32_t SetTextColor(uint32_t rgb) override;
  int32_t TextWidth(const std::string& text) override;
  void DrawText(int32_t x, int32_t y, const std::string& text) override;
  void FillWhite(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
  void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t rgb, int32_t width) override {
    Lines.push_back({Sheet, x1, y1, x2, y2, rgb, width});
  }
  bool CreatePageBitmap(int32_t width, int32_t height, bool colour) override;
  void ShowPage() override { ++PagesShown; }
  struct TDrawnLine {
    int32_t Sheet;
    int32_t X1, Y1, X2, Y2;
    uint32_t Color;
    int32_t Width;
  };
  // Every stroke, erased or not.
  std::vector<TDrawnLine> Lines;

  // The character width of the selected font (half its height, at least 1).
  int32_t CharWidth();
  // The texts still on a sheet (erasing drops what was drawn on it).
  std::vector<TDrawnText> SheetTexts(int32_t sheet) const;
  // Fonts made and not yet deleted.
  size_t LiveFonts() const { return fonts_.size(); }

  int32_t PageWidth = 2550;  // 8.5 x 11 inches at 300 dots per inch
  int32_t PageHeight = 3300;
  int32_t WidthMm = 216;
  int32_t HeightMm = 279;
  bool IsLandscape = false;
  bool Usable = true;
  bool BitmapPossible = true;

  std::string Title;
  int32_t Copies = 0;
  int32_t Sheet = 0;
  int32_t Started = 0, Ended = 0, Erased = 0, PagesShown = 0;
  std::vector<TDrawnText> Texts;
  FontHandle Selected = 0;
  uint32_t Color = 0;

 private:
  std::map<FontHandle, TPrinterFontRequest> fonts_;
  FontHandle next_ = 0;
};

}  // namespace voq

#pragma once
// The print engine's surfaces on Qt: a QPainter on a QPrinter (the system's
// printer, or a PDF file when no printer is installed), and the preview,
// which paints each page into a QImage. Built only into the Qt program.
#include <QFont>
#include <QImage>
#include <QPainter>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "output/print_surface.h"

class QPaintDevice;
class QPrinter;

namespace voq {

// What both surfaces share: fonts and text on a QPainter.
class QtPaintSurface : public PrintSurface {
 public:
  FontHandle CreatePrinterFont(const TPrinterFontRequest& request) override;
  void DeletePrinterFont(FontHandle font) override;
  FontHandle SelectFont(FontHandle font) override;
  TPrinterTextMetrics TextMetrics() override;
  uint32_t SetTextColor(uint32_t rgb) override;
  int32_t TextWidth(const std::string& text) override;
  void DrawText(int32_t x, int32_t y, const std::string& text) override;
  void FillWhite(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
  void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t rgb, int32_t width) override;
  void FillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t rgb) override;

 protected:
  // The device fonts are measured on (and drawn on while painting).
  virtual QPaintDevice* Device() = 0;
  QFont CurrentFont() const;
  // Text as the selected font reads its bytes: Symbol codes or Windows-1252.
  QString TextOf(const std::string& text) const;
  QPainter painter_;

 private:
  std::map<FontHandle, QFont> fonts_;
  std::set<FontHandle> symbolFonts_;
  FontHandle next_ = 0;
  FontHandle selected_ = 0;
  uint32_t color_ = 0;
};

// A printer job. With no printer installed the job goes to pdfPath.
class QtPrinterSurface : public QtPaintSurface {
 public:
  // dotsPerInch: the resolution the job is laid out in.
  explicit QtPrinterSurface(const std::string& pdfPath, int dotsPerInch = 300);
  ~QtPrinterSurface() override;

  bool StartDocument(const std::string& title, int32_t copies) override;
  void NewSheet() override;
  void EndDocument() override;
  int32_t PageWidthDots() override;
  int32_t PageHeightDots() override;
  int32_t PhysicalWidthMm() override;
  int32_t PhysicalHeightMm() override;
  bool Landscape() override;

  // Whether the job goes to a PDF file rather than a printer.
  bool PrintsToPdf() const { return pdf_; }
  const std::string& PdfPath() const { return pdfPath_; }

 protected:
  QPaintDevice* Device() override;

 private:
  std::unique_ptr<QPrinter> printer_;
  std::string pdfPath_;
  bool pdf_ = false;
};

// The preview: a Letter page at dotsPerInch, each finished page kept as an
// image (the Print Preview window shows them; until it exists, Pages is all
// there is).
class QtPreviewSurface : public QtPaintSurface {
 public:
  explicit QtPreviewSurface(int dotsPerInch = 100);
  ~QtPreviewSurface() override;

  bool StartDocument(const std::string& title, int32_t copies) override;
  void NewSheet() override {}
  void EndDocument() override;
  int32_t PageWidthDots() override { return width_; }
  int32_t PageHeightDots() override { return height_; }
  int32_t PhysicalWidthMm() override { return 216; }
  int32_t PhysicalHeightMm() override { return 279; }
  bool Landscape() override { return false; }
  bool CreatePageBitmap(int32_t width, int32_t height, bool colour) override;
  void ShowPage() override;

  std::vector<QImage> Pages;

 protected:
  QPaintDevice* Device() override;

 private:
  QImage page_;
  bool colour_ = false;
  int32_t width_, height_;
};

// The program's devices: the printer (or PDF) and the preview.
class QtPrintDevices : public PrintDevices {
 public:
  explicit QtPrintDevices(std::string pdfPath) : pdfPath_(std::move(pdfPath)) {}
  PrintSurface* Printer() override;
  PrintSurface* Preview() override;
  QtPrinterSurface* LastPrinter() const { return printer_.get(); }

 private:
  std::string pdfPath_;
  std::unique_ptr<QtPrinterSurface> printer_;
  std::unique_ptr<QtPreviewSurface> preview_;
};

}  // namespace voq

#include "shell/print_surfaces.h"

#include <QFontMetrics>
#include <QPen>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "output/symbol_font.h"
#include "platform/qt/qt_platform.h"

namespace voq {

namespace {

QString ToQString(const std::string& bytes) { return QString::fromStdString(Cp1252ToUtf8(bytes)); }

}  // namespace

QString QtPaintSurface::TextOf(const std::string& text) const {
  if (symbolFonts_.count(selected_) != 0) return QString::fromStdString(SymbolTextToUtf8(text));
  return ToQString(text);
}

FontHandle QtPaintSurface::CreatePrinterFont(const TPrinterFontRequest& request) {
  // The Windows faces the preferences name print in the installed faces
  // that stand for them on the screen too; the Symbol font's codes are
  // drawn as their Unicode characters.
  InstallFontSubstitutions();
  const bool symbol = request.Face == "Symbol";
  QFont font(symbol ? SymbolUnicodeFamily() : ToQString(request.Face));
  // A negative height is the character height; a positive one the cell,
  // of which the character takes about five sixths.
  const int height = request.Height < 0 ? -request.Height
                                        : static_cast<int>(std::lround(request.Height * 5.0 / 6.0));
  font.setPixelSize(std::max(height, 1));
  font.setWeight(request.Weight >= 700 ? QFont::Bold : QFont::Normal);
  font.setItalic(request.Italic);
  font.setUnderline(request.Underline);
  fonts_[++next_] = font;
  if (symbol) symbolFonts_.insert(next_);
  return next_;
}

void QtPaintSurface::DeletePrinterFont(FontHandle font) {
  fonts_.erase(font);
  symbolFonts_.erase(font);
  if (selected_ == font) selected_ = 0;
}

FontHandle QtPaintSurface::SelectFont(FontHandle font) {
  const FontHandle previous = selected_;
  selected_ = fonts_.count(font) != 0 ? font : 0;
  if (painter_.isActive()) painter_.setFont(CurrentFont());
  return previous;
}

QFont QtPaintSurface::CurrentFont() const {
  const auto it = fonts_.find(selected_);
  if (it != fonts_.end()) return it->second;
  // The device's own: Arial 9 points at the device's resolution.
  QFont font;
  font.setFamilies({QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(9.0 * const_cast<QtPaintSurface*>(this)->Device()->logicalDpiY() / 72.0))));
  return font;
}

TPrinterTextMetrics QtPaintSurface::TextMetrics() {
  const QFontMetrics metrics(CurrentFont(), Device());
  TPrinterTextMetrics result;
  result.Height = metrics.height();
  result.ExternalLeading = std::max(metrics.leading(), 0);
  result.AverageCharWidth = metrics.averageCharWidth();
  return result;
}

uint32_t QtPaintSurface::SetTextColor(uint32_t rgb) {
  const uint32_t previous = color_;
  color_ = rgb;
  if (painter_.isActive()) painter_.setPen(QColor::fromRgb(static_cast<QRgb>(rgb | 0xFF000000u)));
  return previous;
}

int32_t QtPaintSurface::TextWidth(const std::string& text) {
  const QFontMetrics metrics(CurrentFont(), Device());
  return metrics.horizontalAdvance(TextOf(text));
}

void QtPaintSurface::DrawText(int32_t x, int32_t y, const std::string& text) {
  if (!painter_.isActive()) return;
  painter_.setFont(CurrentFont());
  painter_.setPen(QColor::fromRgb(static_cast<QRgb>(color_ | 0xFF000000u)));
  const QFontMetrics metrics(CurrentFont(), Device());
  painter_.drawText(QPoint(x, y + metrics.ascent()), TextOf(text));
}

void QtPaintSurface::FillWhite(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  if (!painter_.isActive()) return;
  painter_.fillRect(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)), Qt::white);
}

void QtPaintSurface::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t rgb, int32_t width) {
  if (!painter_.isActive()) return;
  painter_.save();
  painter_.setPen(QPen(QColor::fromRgb(static_cast<QRgb>(rgb | 0xFF000000u)), std::max(1, width)));
  painter_.drawLine(QPoint(x1, y1), QPoint(x2, y2));
  painter_.restore();
}

void QtPaintSurface::FillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t rgb) {
  if (!painter_.isActive() || right <= left || bottom <= top) return;
  painter_.fillRect(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)),
                    QColor::fromRgb(static_cast<QRgb>(rgb | 0xFF000000u)));
}

QtPrinterSurface::QtPrinterSurface(const std::string& pdfPath, int dotsPerInch)
    : pdfPath_(pdfPath) {
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  pdf_ = QPrinterInfo::availablePrinters().isEmpty() || info.isNull();
  if (pdf_) {
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setOutputFileName(QString::fromStdString(pdfPath));
    printer_->setPageSize(QPageSize(QPageSize::Letter));
  } else {
    printer_ = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
  }
  printer_->setResolution(dotsPerInch);
  printer_->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

QtPrinterSurface::~QtPrinterSurface() {
  if (painter_.isActive()) painter_.end();
}

bool QtPrinterSurface::StartDocument(const std::string& title, int32_t copies) {
  printer_->setDocName(ToQString(title));
  printer_->setCopyCount(std::max(copies, 1));
  if (!painter_.begin(printer_.get())) return false;
  painter_.setPen(Qt::black);
  return true;
}

void QtPrinterSurface::NewSheet() { printer_->newPage(); }

void QtPrinterSurface::EndDocument() {
  if (painter_.isActive()) painter_.end();
}

int32_t QtPrinterSurface::PageWidthDots() { return printer_->pageLayout().paintRectPixels(printer_->resolution()).width(); }

int32_t QtPrinterSurface::PageHeightDots() {
  return printer_->pageLayout().paintRectPixels(printer_->resolution()).height();
}

int32_t QtPrinterSurface::PhysicalWidthMm() {
  return static_cast<int32_t>(std::lround(printer_->pageLayout().fullRect(QPageLayout::Millimeter).width()));
}

int32_t QtPrinterSurface::PhysicalHeightMm() {
  return static_cast<int32_t>(std::lround(printer_->pageLayout().fullRect(QPageLayout::Millimeter).height()));
}

bool QtPrinterSurface::Landscape() { return printer_->pageLayout().orientation() == QPageLayout::Landscape; }

QPaintDevice* QtPrinterSurface::Device() { return printer_.get(); }

QtPreviewSurface::QtPreviewSurface(int dotsPerInch)
    : page_(1, 1, QImage::Format_RGB32),
      width_(static_cast<int32_t>(std::lround(8.5 * dotsPerInch))),
      height_(11 * dotsPerInch) {
  const int dotsPerMetre = static_cast<int>(std::lround(dotsPerInch / 0.0254));
  page_.setDotsPerMeterX(dotsPerMetre);
  page_.setDotsPerMeterY(dotsPerMetre);
}

QtPreviewSurface::~QtPreviewSurface() {
  if (painter_.isActive()) painter_.end();
}

bool QtPreviewSurface::StartDocument(const std::string& /*title*/, int32_t /*copies*/) { return true; }

void QtPreviewSurface::EndDocument() {
  if (painter_.isActive()) painter_.end();
}

bool QtPreviewSurface::CreatePageBitmap(int32_t width, int32_t height, bool colour) {
  if (width <= 0 || height <= 0) return false;
  const int dotsX = page_.dotsPerMeterX();
  const int dotsY = page_.dotsPerMeterY();
  QImage image(width, height, QImage::Format_RGB32);
  if (image.isNull()) return false;
  image.setDotsPerMeterX(dotsX);
  image.setDotsPerMeterY(dotsY);
  image.fill(Qt::white);
  if (painter_.isActive()) painter_.end();
  page_ = std::move(image);
  colour_ = colour;
  Pages.clear();
  return painter_.begin(&page_);
}

void QtPreviewSurface::ShowPage() {
  // A preview without colour shows the page as the monochrome printer
  // would: in greys.
  Pages.push_back(colour_ ? page_.copy() : page_.convertToFormat(QImage::Format_Grayscale8));
  painter_.fillRect(page_.rect(), Qt::white);
}

QPaintDevice* QtPreviewSurface::Device() { return &page_; }

PrintSurface* QtPrintDevices::Printer() {
  printer_ = std::make_unique<QtPrinterSurface>(pdfPath_);
  return printer_.get();
}

PrintSurface* QtPrintDevices::Preview() {
  preview_ = std::make_unique<QtPreviewSurface>();
  return preview_.get();
}

}  // namespace voq

#include "output/print_engine.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <ctime>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/program_flags.h"
#include "model/display_fonts.h"
#include "model/document_settings.h"
#include "platform/host.h"
#include "platform/platform.h"
#include "session/program_start.h"

namespace voq {

TPrintStateRecord PrintState;
int32_t PrintPageState = 0;
bool Printing = false;
int32_t PrinterDpiCopy = 300;
int32_t PrintCharWidth = 0;
int32_t PrintLineHeight = 0;
int32_t PrintTextHeight = 0;
int32_t PrintLeftMargin = 0;
int32_t PrintRightMargin = 0;
std::string PrintPageRange;
bool PrintAllPages = true;
bool PrintPageSelected = true;

namespace {

PrintDevices* devices = nullptr;

std::string SystemDateText() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[64];
  if (std::strftime(text, sizeof text, "%x %X", &local) == 0) return std::string();
  return text;
}

std::function<std::string()> dateText = SystemDateText;

std::string DefaultDistributableFileText() { return "VOQ (0)"; }

std::function<std::string()> distributableFileText = DefaultDistributableFileText;

int32_t RoundToInt(double value) { return static_cast<int32_t>(std::lround(value)); }

// A page outside the range is erased so that the next page is drawn on the
// same sheet.
void ErasePage() {
  if (PrintState.Canvas == nullptr) return;
  PrintState.Canvas->FillWhite(0, 0, PrintState.PageWidth, PrintState.PageHeight);
}

// The job could not start: nothing of it stays open.
void AbandonJob() {
  PrintState.JobRunning = false;
  Printing = false;
  PrintState.Canvas = nullptr;
  PrintState.DeviceContext = nullptr;
}

bool IsRangeSeparator(char c) { return c == ',' || c == ';' || c == ' '; }

// The next item of the page list, up to a comma, semicolon or blank (the
// separator is dropped); two separators in a row give an empty item.
std::string NextPageRangeToken(std::string& rest) {
  size_t end = 0;
  while (end < rest.size() && !IsRangeSeparator(rest[end])) ++end;
  std::string token = rest.substr(0, end);
  rest.erase(0, end < rest.size() ? end + 1 : end);
  return token;
}

void ReportPageRangeError(char offending) {
  MessageArgs[1] = std::string(1, offending);
  MessageArgs[2] = GetMessageText(kMsgPageRangeText);
  MessageText = GetMessageText(kMsgIllegalCharacter);
  CalcErrorCode = kMsgIllegalCharacter;
}

// Page numbers past any real job stay large instead of overflowing.
int64_t ParsePageNumber(const std::string& digits) {
  int64_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') continue;
    value = std::min<int64_t>(value * 10 + (c - '0'), 1000000000);
  }
  return value;
}

bool PageTokenContains(std::string token, int32_t page) {
  if (!token.empty() && (token[0] == ',' || token[0] == ';')) token.erase(0, 1);
  if (token.empty()) return false;
  size_t hyphen = std::string::npos;
  for (size_t i = 0; i < token.size(); ++i) {
    const char c = token[i];
    if ((c >= '0' && c <= '9') || c == ',' || c == ';') continue;
    if (c == '-' && hyphen == std::string::npos) {
      hyphen = i;
      continue;
    }
    ReportPageRangeError(c);
    return false;
  }
  if (hyphen == std::string::npos) return ParsePageNumber(token) == page;
  const std::string low = token.substr(0, hyphen);
  const std::string high = token.substr(hyphen + 1);
  // "-5" and "3-" have no number on one side: the hyphen is what is wrong.
  const auto hasDigit = [](const std::string& s) {
    return std::any_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  if (!hasDigit(low) || !hasDigit(high)) {
    ReportPageRangeError('-');
    return false;
  }
  return ParsePageNumber(low) <= page && page <= ParsePageNumber(high);
}

}  // namespace

std::string PrinterFontFace() {
  std::string face = "Arial";
  FontNameByIndex(Preferences.PrinterFont, face);
  return face;
}

void SetPrintDevices(PrintDevices* printDevices) { devices = printDevices; }

void SetPrintDistributableFileText(std::function<std::string()> fileText) {
  distributableFileText =
      fileText ? std::move(fileText) : std::function<std::string()>(DefaultDistributableFileText);
}

void SetPrintDateText(std::function<std::string()> text) {
  dateText = text ? std::move(text) : std::function<std::string()>(SystemDateText);
}

void FreePrinterFonts() {
  for (int i = 1; i <= kDisplayFontCount; ++i) {
    FontHandle& font = DisplayFonts[static_cast<size_t>(i)].Printer;
    if (font != 0 && PrintState.DeviceContext != nullptr) {
      PrintState.DeviceContext->DeletePrinterFont(font);
    }
    font = 0;
  }
}

void CreatePrinterFonts() {
  PrintSurface* surface = PrintState.DeviceContext;
  if (surface == nullptr) return;
  TPrinterFontRequest normal;
  normal.Face = PrinterFontFace();
  normal.Height = TextSizePoints(Preferences.PrinterFontSize);
  TPrinterFontRequest bold = normal;
  bold.Weight = 700;
  TPrinterFontRequest italic = normal;
  italic.Italic = true;
  // Sub- and superscripts: a cell height a step below the main size.
  static constexpr std::array<int32_t, 7> kSmallPoints{7, 6, 7, 8, 9, 10, 12};
  TPrinterFontRequest small = normal;
  const int32_t sizeIndex = Preferences.PrinterFontSize;
  if (sizeIndex >= 0 && sizeIndex <= 6) {
    small.Height = RoundToInt(static_cast<double>(PrinterDpi) * kSmallPoints[static_cast<size_t>(sizeIndex)] / 72.0);
  }
  TPrinterFontRequest symbol = normal;
  symbol.Face = "Symbol";
  TPrinterFontRequest smallSymbol = small;
  smallSymbol.Face = "Symbol";
  const std::array<TPrinterFontRequest, 6> requests{normal, bold, italic, small, symbol, smallSymbol};
  for (int i = 1; i <= kDisplayFontCount; ++i) {
    FontHandle& font = DisplayFonts[static_cast<size_t>(i)].Printer;
    if (font != 0) surface->DeletePrinterFont(font);
    font = surface->CreatePrinterFont(requests[static_cast<size_t>(i - 1)]);
  }
}

void SetUpPrinterMetrics() {
  PrintSurface* surface = PrintState.DeviceContext;
  if (surface == nullptr) return;
  const int32_t longSideMm = std::max(surface->PhysicalWidthMm(), surface->PhysicalHeightMm());
  const double longSideInches = longSideMm / 25.4;
  if (longSideInches > 0) {
    const int32_t dots = surface->Landscape() ? surface->PageWidthDots() : surface->PageHeightDots();
    PrinterDpi = RoundToInt(dots / longSideInches);
  }
  if (PrinterDpi <= 0) PrinterDpi = 300;
  PrinterDpiCopy = PrinterDpi;
  CreatePrinterFonts();
  surface->SelectFont(DisplayFonts[1].Printer);
  if (PrintState.LinesPerPage <= 0) {
    PrintState.PageWidth = surface->PageWidthDots();
    PrintState.PageHeight = surface->PageHeightDots();
    PrintLeftMargin = RoundToInt(0.5 * PrinterDpi);
    PrintRightMargin = PrintLeftMargin;
  }
  const TPrinterTextMetrics metrics = surface->TextMetrics();
  switch (Preferences.PrintLineSpacing) {
    case 0: PrintLineHeight = RoundToInt(1.2 * (metrics.Height + metrics.ExternalLeading)); break;
    case 1: PrintLineHeight = metrics.Height + metrics.Height / 2; break;
    case 2: PrintLineHeight = 2 * metrics.Height; break;
    default: break;
  }
  PrintTextHeight = metrics.Height + metrics.ExternalLeading;
  PrintCharWidth = metrics.AverageCharWidth;
  if (PrintLineHeight <= 0) PrintLineHeight = ScreenLineHeight;
  if (PrintLineHeight <= 0) PrintLineHeight = 1;
  PrintState.LinesPerPage = std::max(PrintState.PageHeight / PrintLineHeight, 5);
  PrintState.CurrentLine = 1;
}

bool BeginPrintJob(const std::string& title, int16_t copies) {
  PrintState.JobTitle = title;
  PrintState.LinesPerPage = 0;
  PrintPageState = kPageStateRunning;
  PrintState.Copies = copies;
  PrintSurface* surface = nullptr;
  if (PrintState.PreviewMode) {
    surface = devices != nullptr ? devices->Preview() : nullptr;
    if (surface == nullptr) {
      ShowAlert(GetMessageText(kMsgPreviewFailed), kAlertErrorOk, true);
      AbandonJob();
      return false;
    }
    PrintState.DeviceContext = surface;
    PrintState.Canvas = surface;
    SetUpPrinterMetrics();
    const bool colour = Preferences.PrintInColor != 0;
    if (!surface->CreatePageBitmap(PrintState.PageWidth, PrintState.PageHeight, colour)) {
      ShowAlert(GetMessageText(kMsgPreviewBitmap), kAlertErrorOk, true);
      FreePrinterFonts();
      AbandonJob();
      return false;
    }
    PrintState.JobRunning = true;
    PrintState.ZoomOnRestart = false;
  } else {
    surface = devices != nullptr ? devices->Printer() : nullptr;
    if (surface != nullptr && surface->StartDocument(title, copies)) {
      PrintState.DeviceContext = surface;
      PrintState.Canvas = surface;
      surface->SetTextColor(0x000000);
      PrintState.JobRunning = true;
      SetUpPrinterMetrics();
    }
  }
  // A page too short for its header and a line of text would break again
  // inside its own header; such a page size or font is refused.
  if (PrintState.JobRunning && PrintState.LinesPerPage < kMinimumLinesPerPage) {
    if (!PrintState.PreviewMode) PrintState.DeviceContext->EndDocument();
    FreePrinterFonts();
    PrintState.JobRunning = false;
  }
  if (PrintState.JobRunning) {
    Platform().SetBusyCursor(1);
    PrintState.PageNumber = 0;
    PrintPageHeader();
    return true;
  }
  ShowAlert("Printer initialization failed", kAlertWarningOk, true);
  AbandonJob();
  return false;
}

void PrintAdvanceLines(int32_t n) {
  PrintState.CurrentLine += n;
  if (PrintState.JobRunning && PrintState.CurrentLine > PrintState.LinesPerPage - 3) {
    PrintNewPage();
    PrintState.CurrentLine += n;
  }
}

void PrintNewPage() {
  if (PrintPageState >= kPageStateCancel) {
    PrintState.CurrentLine = 0;
    return;
  }
  PrintPageState = kPageStateRunning;
  PrintSurface* canvas = PrintState.Canvas;
  if (PrintState.PreviewMode && canvas != nullptr) {
    if ((PrintState.PreviewTargetPage == 0 || PrintState.PreviewTargetPage == PrintState.PageNumber) &&
        PrintPageSelected) {
      canvas->ShowPage();
      canvas->WaitEvent();
      PrintState.PreviewTargetPage = 0;
    } else {
      ErasePage();
    }
  }
  if (!PrintState.JobRunning) return;
  if (!PrintState.PreviewMode) {
    if (PageInRange(PrintState.PageNumber)) {
      canvas->NewSheet();
    } else {
      ErasePage();
    }
  }
  PrintState.CurrentLine = 1;
  PrintPageHeader();
  // The break's own line; counted directly, since the geometry guarantees
  // it fits and counting through PrintAdvanceLines could only break again.
  PrintState.CurrentLine += 1;
}

void PrintPageHeader() {
  PrintSurface* canvas = PrintState.Canvas;
  if (canvas == nullptr) return;
  if (Platform().AltKeyDown()) {
    PrintState.PageNumber += 1;
    PrintPageSelected = PrintAllPages || PageInRange(PrintState.PageNumber);
    PrintState.CurrentLine += 3;
    return;
  }
  const FontHandle previousFont = canvas->SelectFont(DisplayFonts[1].Printer);
  const uint32_t previousColor = canvas->SetTextColor(0x000000);
  PrintState.CurrentLine += 1;
  const int32_t y1 = PrintLineHeight * PrintState.CurrentLine;
  // A distributable program names itself and its model rather than a
  // document the user never sees.
  canvas->DrawText(PrintLeftMargin, y1,
                   DistributableMode ? "File: " + distributableFileText() : "File:" + PrintState.JobTitle);
  PrintState.PageNumber += 1;
  PrintPageSelected = PrintAllPages || PageInRange(PrintState.PageNumber);
  const std::string right = dateText() + "  Page " + std::to_string(PrintState.PageNumber);
  canvas->DrawText(PrintState.PageWidth - PrintRightMargin - canvas->TextWidth(right), y1, right);
  PrintState.CurrentLine += 1;
  const std::string version = "VOQ Ver. " + ProgramVersion;
  const int32_t middle = (PrintLeftMargin + PrintState.PageWidth - PrintRightMargin) / 2;
  canvas->DrawText(middle - canvas->TextWidth(version) / 2, PrintLineHeight * PrintState.CurrentLine,
                   version);
  PrintState.CurrentLine += 1;
  canvas->SelectFont(previousFont);
  canvas->SetTextColor(previousColor);
}

void EndPrintJob() {
  if (PrintState.JobRunning) {
    PrintSurface* surface = PrintState.DeviceContext;
    if (PrintState.PreviewMode) {
      PrintNewPage();
    } else {
      if (!PrintPageSelected) ErasePage();
      surface->EndDocument();
    }
    Platform().SetBusyCursor(0);
    PrintState.JobRunning = false;
    if (!PrintState.PreviewMode) {
      surface->SelectFont(0);
      FreePrinterFonts();
    }
  }
  PrintState.PreviewMode = false;
}

bool PageInRange(int32_t page) {
  PrintPageSelected = true;
  std::string rest = PrintPageRange;
  const bool blank = std::all_of(rest.begin(), rest.end(), [](char c) { return c == ' '; });
  if (PrintAllPages || blank) return true;
  while (!rest.empty()) {
    const std::string token = NextPageRangeToken(rest);
    if (PageTokenContains(token, page)) return true;
    if (CalcErrorCode > 0) return false;
  }
  return false;
}

void ResetOutputPrintState() {
  PrintState = TPrintStateRecord{};
  PrintPageState = kPageStateRunning;
  Printing = false;
  PrinterDpi = 300;
  PrinterDpiCopy = 300;
  PrintCharWidth = 0;
  PrintLineHeight = 0;
  PrintTextHeight = 0;
  PrintLeftMargin = 0;
  PrintRightMargin = 0;
  PrintPageRange.clear();
  PrintAllPages = true;
  PrintPageSelected = true;
  for (int i = 1; i <= kDisplayFontCount; ++i) DisplayFonts[static_cast<size_t>(i)].Printer = 0;
  dateText = SystemDateText;
}

}  // namespace voq

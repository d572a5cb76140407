// Printing on Qt: jobs go to PDF files here (the test machine has no
// printer), which pdftotext and pdftoppm (Debian poppler-utils, installed
// by `make test`) turn back into words and pictures.
#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QPrinterInfo>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "model/display_fonts.h"
#include "model/document_settings.h"
#include "output/print_engine.h"
#include "shell/print_surfaces.h"
#include "platform/host.h"
#include "platform/qt/qt_platform.h"
#include "shell/equations_form.h"
#include "shell/main_window.h"
#include "shell/print_command.h"
#include "shell/calculate_commands.h"
#include "shell/calculate_menu.h"
#include "shell/table_windows.h"
#include "core/calc_state.h"
#include "core/program_flags.h"
#include "language/export_after_run.h"
#include "model/program_units.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "session/compile_driver.h"
#include "tables/table_model.h"
#include "tables/tables_state.h"
#include "qt_app.h"
#include "pdf_text.h"

namespace voq {
namespace {

// The words of each page of a PDF (pdftotext ends each page with a form
// feed and does not keep runs of blanks, so pages are compared by words).
std::vector<std::vector<std::string>> PdfPageWords(const std::string& pdf) {
  const std::string text = testing::CommandOutput("pdftotext -enc UTF-8 '" + pdf + "' - 2>/dev/null");
  std::vector<std::vector<std::string>> pages(1);
  std::string word;
  for (const char c : text) {
    if (c == '\f' || c == ' ' || c == '\n' || c == '\t' || c == '\r') {
      if (!word.empty()) pages.back().push_back(word);
      word.clear();
      if (c == '\f') pages.emplace_back();
    } else {
      word.push_back(c);
    }
  }
  if (!word.empty()) pages.back().push_back(word);
  if (pages.back().empty()) pages.pop_back();
  return pages;
}

bool HasWords(const std::vector<std::string>& words, const std::vector<std::string>& wanted) {
  for (size_t i = 0; i + wanted.size() <= words.size(); ++i) {
    if (std::equal(wanted.begin(), wanted.end(), words.begin() + static_cast<long>(i))) return true;
  }
  return false;
}

class PdfDevices : public PrintDevices {
 public:
  explicit PdfDevices(std::string path) : path_(std::move(path)) {}
  PrintSurface* Printer() override {
    printer_ = std::make_unique<QtPrinterSurface>(path_);
    return printer_.get();
  }
  PrintSurface* Preview() override { return nullptr; }
  QtPrinterSurface* Last() const { return printer_.get(); }

 private:
  std::string path_;
  std::unique_ptr<QtPrinterSurface> printer_;
};

class PrintPdfTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureApplication();
    if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "a printer is installed: no PDF";
    ASSERT_TRUE(testing::HavePoppler()) << "pdftotext and pdftoppm are missing: install poppler-utils";
    dir_ = testing::MakeTempFolder("voq_print");
    SetPrintDateText([] { return std::string("12/11/2026 7:02 AM"); });
  }
  void TearDown() override {
    SetPrintDevices(nullptr);
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
  }
  std::string dir_;
};

TEST_F(PrintPdfTest, ThreePagesEachWithItsHeader) {
  const std::string pdf = dir_ + "/job.pdf";
  PdfDevices devices(pdf);
  SetPrintDevices(&devices);
  PrintPageState = 0;
  Printing = true;
  ASSERT_TRUE(BeginPrintJob("C:\\WORK\\PUMP.VOQ", 1));
  ASSERT_TRUE(devices.Last()->PrintsToPdf());
  // A Letter page at 300 dots per inch with half-inch margins.
  EXPECT_EQ(PrinterDpi, 300);
  EXPECT_EQ(PrintLeftMargin, 150);
  EXPECT_EQ(PrintState.PageHeight, 3300);
  EXPECT_GE(PrintState.LinesPerPage, 8);
  // Printer font 5 is the Symbol font: its codes print as Greek letters.
  PrintSurface* canvas = PrintState.Canvas;
  canvas->SelectFont(DisplayFonts[5].Printer);
  canvas->DrawText(PrintLeftMargin, PrintLineHeight * PrintState.CurrentLine, "abg D");
  canvas->SelectFont(DisplayFonts[1].Printer);
  PrintAdvanceLines(1);
  PrintNewPage();
  PrintNewPage();
  EndPrintJob();
  Printing = false;
  const auto pages = PdfPageWords(pdf);
  ASSERT_EQ(pages.size(), 3u);
  for (size_t n = 0; n < pages.size(); ++n) {
    const auto& words = pages[n];
    EXPECT_TRUE(HasWords(words, {"File:C:\\WORK\\PUMP.VOQ"})) << n;
    EXPECT_TRUE(HasWords(words, {"12/11/2026", "7:02", "AM", "Page", std::to_string(n + 1)})) << n;
    EXPECT_TRUE(HasWords(words, {"VOQ", "Ver.", "6.462"})) << n;
  }
  EXPECT_TRUE(HasWords(pages[0], {"\u03b1\u03b2\u03b3", "\u0394"}));
}

TEST_F(PrintPdfTest, PreviewPaintsEachPageIntoAnImage) {
  struct PreviewDevices : PrintDevices {
    PrintSurface* Printer() override { return nullptr; }
    PrintSurface* Preview() override { return &preview; }
    QtPreviewSurface preview;
  } devices;
  SetPrintDevices(&devices);
  PrintPageState = 0;
  Printing = true;
  PrintState.PreviewMode = true;
  ASSERT_TRUE(BeginPrintJob("C:\\WORK\\PUMP.VOQ", 1));
  // The preview's Letter page at 100 dots per inch.
  EXPECT_EQ(PrinterDpi, 100);
  EXPECT_EQ(PrintState.PageWidth, 850);
  PrintNewPage();
  EndPrintJob();
  Printing = false;
  EXPECT_FALSE(PrintState.PreviewMode);
  ASSERT_EQ(devices.preview.Pages.size(), 2u);
  for (const QImage& page : devices.preview.Pages) {
    EXPECT_EQ(page.size(), QSize(850, 1100));
    // Without "Print in color" the preview is in greys.
    EXPECT_EQ(page.format(), QImage::Format_Grayscale8);
    int dark = 0;
    for (int y = 0; y < 4 * PrintLineHeight; ++y) {
      for (int x = 0; x < page.width(); ++x) dark += qGray(page.pixel(x, y)) < 128 ? 1 : 0;
    }
    EXPECT_GT(dark, 100);
  }
  testing::SaveTestPicture(devices.preview.Pages[1], "print_preview_page2.png");
}

TEST_F(PrintPdfTest, FilePrintPrintsTheEquationsWindow) {
  QtPlatform platform;
  auto window = std::make_unique<TVOQ_D>();
  window->InstallHostServices(platform);
  platform.SetScriptedAnswer(kResultOk);
  window->FormCreate(dir_);
  std::ifstream in(std::string(VOQ_EXAMPLES_DIR) + "/projectile.txt", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::string equations;
  for (const char c : text.str()) {
    if (c == '\n') equations.push_back('\r');
    equations.push_back(c);
  }
  window->EquationForm()->SetText(equations);
  window->FileName = dir_ + "/projectile.VOQ";
  Preferences.PrintInColor = 1;
  Preferences.PrintCommentStyle1 = 2;  // italic
  window->Action("Print1")->trigger();
  const std::string pdf = PrintPdfPath(window->FileName);
  ASSERT_TRUE(std::filesystem::exists(pdf));

  const auto pages = PdfPageWords(pdf);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_TRUE(HasWords(pages[0], {"File:" + window->FileName}));
  EXPECT_TRUE(HasWords(pages[0], {"VOQ", "Ver.", "6.462"}));
  for (const std::string& line : {std::string("v0 = 20"), std::string("R = vx*t_f"),
                                  std::string("vx = v0*cos(alpha)")}) {
    std::vector<std::string> words;
    std::istringstream split(line);
    for (std::string w; split >> w;) words.push_back(w);
    EXPECT_TRUE(HasWords(pages[0], words)) << line;
  }

  // The first page as a picture, 100 dots per inch.
  const std::string prefix = dir_ + "/page";
  testing::RenderPdfPage(pdf, 1, 100, prefix);
  QImage page(QString::fromStdString(prefix + ".png"));
  ASSERT_FALSE(page.isNull());
  EXPECT_EQ(page.width(), 850);
  EXPECT_EQ(page.height(), 1100);
  testing::SaveTestPicture(page, "printed_equations.png");
  // Dark pixels in the header band (lines 2 and 3) and in the text below it.
  const auto darkPixels = [&page](int top, int bottom) {
    int dark = 0;
    for (int y = top; y < bottom; ++y) {
      for (int x = 0; x < page.width(); ++x) dark += qGray(page.pixel(x, y)) < 128 ? 1 : 0;
    }
    return dark;
  };
  const int line = PrintLineHeight * 100 / 300;  // the line pitch at 100 dots per inch
  EXPECT_GT(darkPixels(2 * line, 4 * line), 100);
  EXPECT_GT(darkPixels(5 * line, 20 * line), 1000);
  // The margin left of the text stays white.
  int marginDark = 0;
  for (int y = 0; y < page.height(); ++y) {
    for (int x = 0; x < 45; ++x) marginDark += qGray(page.pixel(x, y)) < 128 ? 1 : 0;
  }
  EXPECT_EQ(marginDark, 0);
  // A comment prints in colour: some pixel is clearly blue.
  bool blue = false;
  for (int y = 5 * line; y < 20 * line && !blue; ++y) {
    for (int x = 0; x < page.width() && !blue; ++x) {
      const QRgb p = page.pixel(x, y);
      blue = qBlue(p) > 150 && qRed(p) < 100 && qGreen(p) < 100;
    }
  }
  EXPECT_TRUE(blue);
  window.reset();
  RestoreInstalledHost();
}

// Without a Print dialog, File > Print writes a PDF beside the document: an
// existing file there is replaced only after Yes, and the user is told
// where the printout went.
TEST_F(PrintPdfTest, FilePrintAsksBeforeReplacingAPdfAndSaysWhereItWent) {
  QtPlatform platform;
  auto window = std::make_unique<TVOQ_D>();
  window->InstallHostServices(platform);
  platform.SetScriptedAnswer(kResultOk);
  window->FormCreate(dir_);
  window->EquationForm()->SetText("x = 2\r\ny = 3*x");
  window->FileName = dir_ + "/report.VOQ";
  const std::string pdf = PrintPdfPath(window->FileName);
  const auto fileText = [&pdf] {
    std::ifstream in(pdf, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  };
  {
    std::ofstream(pdf, std::ios::binary) << "the user's own report";
  }
  // No keeps the file as it was and prints nothing.
  platform.SetScriptedAnswer(kResultNo);
  int before = platform.AlertCount();
  window->Action("Print1")->trigger();
  EXPECT_EQ(platform.AlertCount(), before + 1);
  EXPECT_EQ(platform.LastAlertText(), "The file " + pdf + " already exists.  Replace it with this printout?");
  EXPECT_EQ(platform.LastAlertKind(), kAlertWarningYesNo);
  EXPECT_EQ(fileText(), "the user's own report");
  // Yes replaces it with the printout and names the file.
  platform.SetScriptedAnswer(kResultYes);
  before = platform.AlertCount();
  window->Action("Print1")->trigger();
  EXPECT_EQ(platform.AlertCount(), before + 2);
  EXPECT_EQ(platform.LastAlertText(), "The printout was written to " + pdf + ".");
  EXPECT_EQ(platform.LastAlertKind(), kAlertInfoOk);
  EXPECT_EQ(fileText().substr(0, 5), "%PDF-");
  // A new file asks nothing and is named.
  std::filesystem::remove(pdf);
  before = platform.AlertCount();
  window->Action("Print1")->trigger();
  EXPECT_EQ(platform.AlertCount(), before + 1);
  EXPECT_EQ(platform.LastAlertText(), "The printout was written to " + pdf + ".");
  EXPECT_TRUE(std::filesystem::exists(pdf));
  window.reset();
  RestoreInstalledHost();
}

TEST_F(PrintPdfTest, FilePrintPrintsTheActiveTableWindow) {
  QtPlatform platform;
  auto window = std::make_unique<TVOQ_D>();
  window->InstallHostServices(platform);
  platform.SetScriptedAnswer(kResultOk);
  window->FormCreate(dir_);
  window->resize(900, 600);
  window->show();
  TTableWindows tables(*window);
  SetDocumentWindows(&tables);
  Equations().SetText("y = 2*T");
  EquationsCompiled = false;
  CheckOnlyMode = true;
  CompileEquations(false, false);
  CheckOnlyMode = false;
  TProgramUnitRecord* saved = CurrentProgramUnit;
  CurrentProgramUnit = MainProgramUnit;
  ParametricColumnOrder = {0, FindVariable("T"), FindVariable("y")};
  CurrentProgramUnit = saved;
  TableRowCounts[1] = 4;
  TableColumnCounts[1] = 2;
  TTableForm* f = CreateTableForm(kParametricTableKind);
  f->TableName = "Table 1";
  f->TabCaptions = {"Table 1"};
  f->TabIndex = 0;
  f->MultipleTableRefresh();
  FirstRun = 1;
  LastRun = 4;
  for (int32_t r = 1; r <= 4; ++r) f->SetmyCell(0, 1, r, r, 1, 1);
  window->Action("ParametricTable1")->trigger();
  testing::AnswerNextDialog("SolveTableDlg", true);
  window->CalculateMenu()->Commands().SolveTable1Click();
  ASSERT_EQ(ActiveChildWindow, kParametricTableWindow);
  window->FileName = dir_ + "/table.VOQ";
  window->Action("Print1")->trigger();
  const std::string pdf = PrintPdfPath(window->FileName);
  ASSERT_TRUE(std::filesystem::exists(pdf));
  const auto pages = PdfPageWords(pdf);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_TRUE(HasWords(pages[0], {"Parametric", "Table:", "Table", "1"}));
  EXPECT_TRUE(HasWords(pages[0], {"Run", "3", "3", "6"}));
  EXPECT_FALSE(HasWords(pages[0], {"y", "=", "2*T"})) << "the table, not the equations";

  const std::string prefix = dir_ + "/table_page";
  testing::RenderPdfPage(pdf, 1, 100, prefix);
  QImage page(QString::fromStdString(prefix + ".png"));
  ASSERT_FALSE(page.isNull());
  testing::SaveTestPicture(page, "printed_parametric_table.png");
  int dark = 0;
  for (int y = 100; y < 400; ++y)
    for (int x = 0; x < page.width(); ++x) dark += qGray(page.pixel(x, y)) < 128 ? 1 : 0;
  EXPECT_GT(dark, 300) << "the table is on the page's upper part";
  tables.CloseTableWindows();
  SetDocumentWindows(nullptr);
  window.reset();
  RestoreInstalledHost();
}

}  // namespace
}  // namespace voq

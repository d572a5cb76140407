// File > Print with the Residuals window active: the bundled example solved,
// printed to a PDF (no printer on the test machine), read back with
// pdftotext and pdftoppm (Debian poppler-utils, installed by `make test`).
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QPrinterInfo>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "core/calc_state.h"
#include "core/messages.h"
#include "core/program_flags.h"
#include "model/document_settings.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "output/print_engine.h"
#include "output/residual_listing.h"
#include "platform/qt/qt_platform.h"
#include "../shell/qt_app.h"
#include "session/compile_driver.h"
#include "shell/main_window.h"
#include "shell/print_command.h"

namespace voq {
namespace {

std::string ResidualPdfCommandOutput(const std::string& command) {
  std::string output;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return output;
  std::array<char, 4096> buffer{};
  size_t n = 0;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) output.append(buffer.data(), n);
  ::pclose(pipe);
  return output;
}

// pdftotext keeps neither runs of blanks nor the exact spacing of the
// character-by-character row texts: compare without blanks.
std::string ResidualPdfSqueezed(const std::string& text) {
  std::string out;
  for (const char c : text)
    if (c != ' ' && c != '\n' && c != '\r' && c != '\t' && c != '\f') out.push_back(c);
  return out;
}

class ResidualPrintWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureApplication();
    if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "a printer is installed: no PDF";
    ASSERT_TRUE(std::filesystem::exists("/usr/bin/pdftotext") && std::filesystem::exists("/usr/bin/pdftoppm"))
        << "pdftotext and pdftoppm are missing: install poppler-utils";
    dir_ = testing::MakeTempFolder("voq_residual_print");
    window_ = std::make_unique<TVOQ_D>();
    window_->InstallHostServices(platform_);
    platform_.SetScriptedAnswer(kResultOk);
    window_->FormCreate(dir_);
    window_->resize(1000, 640);
    window_->show();
    SetPrintDateText([] { return std::string("12/11/2026 7:02 AM"); });
  }
  void TearDown() override {
    Preferences.PrintInColor = savedColour_;
    window_.reset();
    RestoreInstalledHost();
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
  }

  std::string dir_;
  QtPlatform platform_;
  std::unique_ptr<TVOQ_D> window_;
  uint8_t savedColour_ = Preferences.PrintInColor;
};

TEST_F(ResidualPrintWindowTest, FilePrintPrintsTheBundledExamplesResiduals) {
  std::ifstream in(std::string(VOQ_EXAMPLES_DIR) + "/wall_heat_loss.txt", std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  ASSERT_FALSE(text.str().empty());
  Preferences.CheckUnitsAutomatically = 1;
  Preferences.PrintInColor = 1;
  Equations().SetText(text.str());
  CheckOnlyMode = false;
  HiddenMode = true;  // no wait for Continue after the solve
  CompileEquations(false, true);
  HiddenMode = false;
  ASSERT_LE(CalcErrorCode, 0);
  SolutionAvailable = true;
  window_->Action("Residuals1")->trigger();
  ASSERT_NE(WindowList[kResidualsWindow], nullptr);
  QApplication::processEvents();
  ASSERT_EQ(ActiveChildWindow, kResidualsWindow);
  window_->FileName = dir_ + "/wall_heat_loss.VOQ";
  window_->Action("Print1")->trigger();
  const std::string pdf = PrintPdfPath(window_->FileName);
  ASSERT_TRUE(std::filesystem::exists(pdf));

  const std::string page1 = ResidualPdfCommandOutput("pdftotext -enc UTF-8 -f 1 -l 1 '" + pdf + "' - 2>/dev/null");
  const std::string words = ResidualPdfSqueezed(page1);
  EXPECT_NE(words.find("File:" + ResidualPdfSqueezed(window_->FileName)), std::string::npos) << page1;
  EXPECT_NE(words.find("Page1"), std::string::npos) << page1;
  EXPECT_NE(words.find(ResidualPdfSqueezed(ResidualTotalsLine(*MainProgramUnit))), std::string::npos) << page1;
  EXPECT_NE(words.find("BlockRel.Res.Abs.Res.UnitsEquation"), std::string::npos) << page1;
  EXPECT_NE(words.find(ResidualPdfSqueezed(GetMessageText(471))), std::string::npos) << page1;
  // Every equation's text is on the page (the example fits on one).
  for (const TEquationRecord* e = MainProgramUnit->FirstEquation; e != nullptr; e = e->Next) {
    std::string source = e->Text.value_or("");
    if (source.find_first_of("@\xFE") != std::string::npos) continue;
    while (!source.empty() && source[0] == '~') source.erase(0, 1);
    EXPECT_NE(words.find(ResidualPdfSqueezed(source)), std::string::npos) << source << "\n" << page1;
  }

  // The first page as a picture at 100 dots per inch: the header, then the
  // blue totals line and the red titles of the listing.
  const std::string prefix = dir_ + "/page";
  ResidualPdfCommandOutput("pdftoppm -png -r 100 -f 1 -l 1 -singlefile '" + pdf + "' '" + prefix + "'");
  QImage page(QString::fromStdString(prefix + ".png"));
  ASSERT_FALSE(page.isNull());
  page = page.convertToFormat(QImage::Format_RGB32);
  testing::SaveTestPicture(page, "printed_residuals.png");
  int blue = 0, red = 0, dark = 0;
  for (int y = 0; y < page.height(); ++y)
    for (int x = 0; x < page.width(); ++x) {
      const QRgb p = page.pixel(x, y);
      if (qBlue(p) > 150 && qRed(p) < 100 && qGreen(p) < 100) ++blue;
      if (qRed(p) > 150 && qBlue(p) < 100 && qGreen(p) < 100) ++red;
      if (qGray(p) < 100) ++dark;
    }
  EXPECT_GT(blue, 30) << "the totals line";
  EXPECT_GT(red, 30) << "the column titles";
  EXPECT_GT(dark, 1000) << "the rows";
}

}  // namespace
}  // namespace voq

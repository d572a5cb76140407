// File > Print with the Solution window active: the bundled example solved,
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
#include <vector>

#include "core/calc_state.h"
#include "core/program_flags.h"
#include "model/document_settings.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "output/print_engine.h"
#include "platform/qt/qt_platform.h"
#include "../shell/qt_app.h"
#include "results/solution_form.h"
#include "session/compile_driver.h"
#include "shell/main_window.h"
#include "shell/print_command.h"

namespace voq {
namespace {

std::string RunCommand(const std::string& command) {
  std::string output;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return output;
  std::array<char, 4096> buffer{};
  size_t n = 0;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) output.append(buffer.data(), n);
  ::pclose(pipe);
  return output;
}

// The text with every blank and line break taken out: pdftotext keeps
// neither runs of blanks nor the raised and lowered pieces' spacing.
std::string Squeezed(const std::string& text) {
  std::string out;
  for (const char c : text)
    if (c != ' ' && c != '\n' && c != '\r' && c != '\t' && c != '\f') out.push_back(c);
  return out;
}

class SolutionPrintWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureApplication();
    if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "a printer is installed: no PDF";
    ASSERT_TRUE(std::filesystem::exists("/usr/bin/pdftotext") && std::filesystem::exists("/usr/bin/pdftoppm"))
        << "pdftotext and pdftoppm are missing: install poppler-utils";
    dir_ = testing::MakeTempFolder("voq_solution_print");
    window_ = std::make_unique<TVOQ_D>();
    window_->InstallHostServices(platform_);
    platform_.SetScriptedAnswer(kResultOk);
    window_->FormCreate(dir_);
    window_->resize(1000, 640);
    window_->show();
    SetPrintDateText([] { return std::string("12/11/2026 7:02 AM"); });
  }
  void TearDown() override {
    window_.reset();
    RestoreInstalledHost();
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
  }

  std::string dir_;
  QtPlatform platform_;
  std::unique_ptr<TVOQ_D> window_;
};

TEST_F(SolutionPrintWindowTest, FilePrintPrintsTheBundledExamplesSolution) {
  std::ifstream in(std::string(VOQ_EXAMPLES_DIR) + "/wall_heat_loss.txt", std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  ASSERT_FALSE(text.str().empty());
  Preferences.CheckUnitsAutomatically = 1;
  Equations().SetText(text.str());
  CheckOnlyMode = false;
  HiddenMode = true;  // no wait for Continue after the solve
  CompileEquations(false, true);
  HiddenMode = false;
  ASSERT_LE(CalcErrorCode, 0);
  ShowSolutionWindow();
  QApplication::processEvents();
  ActiveChildWindow = kSolutionWindow;
  window_->FileName = dir_ + "/wall_heat_loss.VOQ";
  window_->Action("Print1")->trigger();
  const std::string pdf = PrintPdfPath(window_->FileName);
  ASSERT_TRUE(std::filesystem::exists(pdf));

  const std::string page1 = RunCommand("pdftotext -enc UTF-8 -f 1 -l 1 '" + pdf + "' - 2>/dev/null");
  const std::string words = Squeezed(page1);
  EXPECT_NE(words.find("File:" + Squeezed(window_->FileName)), std::string::npos) << page1;
  EXPECT_NE(words.find("Page1"), std::string::npos) << page1;
  EXPECT_NE(words.find("SOLUTION"), std::string::npos) << page1;
  EXPECT_EQ(words.find("Calculationtime"), std::string::npos) << page1;
  // Every variable of the example is a word of the page, followed by "=".
  std::vector<std::string> pageWords;
  {
    std::istringstream split(page1);
    for (std::string w; split >> w;) pageWords.push_back(w);
  }
  for (const char* name : {"T_room", "T_out", "T_sky", "h_in", "h_out", "epsilon", "sigma", "L_1", "k_1", "L_2",
                           "k_2", "L_3", "k_3", "q", "T_1", "T_2", "T_3", "T_s", "A", "Q_wall", "E_night",
                           "R_wool", "T_s_C"}) {
    int found = 0;
    for (size_t i = 0; i + 1 < pageWords.size(); ++i)
      if (pageWords[i] == name && pageWords[i + 1] == "=") ++found;
    EXPECT_EQ(found, 1) << name << "\n" << page1;
  }

  // The first page as a picture at 100 dots per inch.
  const std::string prefix = dir_ + "/page";
  RunCommand("pdftoppm -png -r 100 -f 1 -l 1 -singlefile '" + pdf + "' '" + prefix + "'");
  QImage page(QString::fromStdString(prefix + ".png"));
  ASSERT_FALSE(page.isNull());
  testing::SaveTestPicture(page, "printed_solution.png");
  const auto darkPixels = [&page](int top, int bottom) {
    int dark = 0;
    for (int y = std::max(top, 0); y < std::min(bottom, page.height()); ++y)
      for (int x = 0; x < page.width(); ++x) dark += qGray(page.pixel(x, y)) < 128 ? 1 : 0;
    return dark;
  };
  const int line = PrintLineHeight * 100 / 300;  // the line pitch at 100 dots per inch
  EXPECT_GT(darkPixels(2 * line, 4 * line), 100) << "the header";
  EXPECT_GT(darkPixels(5 * line, page.height()), 1000) << "the listing below the header";
}

}  // namespace
}  // namespace voq

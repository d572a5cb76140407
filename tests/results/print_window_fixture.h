#pragma once
// File > Print of a result window in the running program: the bundled
// example solved in a real main window, printed to a PDF file (no printer on
// the test machine) and read back with the poppler tools.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QPrinterInfo>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "core/calc_state.h"
#include "core/program_flags.h"
#include "model/document_settings.h"
#include "output/print_engine.h"
#include "pdf_text.h"
#include "platform/qt/qt_platform.h"
#include "../shell/qt_app.h"
#include "session/compile_driver.h"
#include "shell/main_window.h"
#include "shell/print_command.h"

namespace voq::testing {

class PrintWindowTest : public ::testing::Test {
 protected:
  explicit PrintWindowTest(std::string folderStem) : folderStem_(std::move(folderStem)) {}

  void SetUp() override {
    EnsureApplication();
    if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "a printer is installed: no PDF";
    ASSERT_TRUE(HavePoppler()) << "pdftotext and pdftoppm are missing: install poppler-utils";
    dir_ = MakeTempFolder(folderStem_);
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

  // Compiles and solves examples/wall_heat_loss.txt with automatic unit
  // checking, without waiting for Continue.
  void SolveBundledExample() {
    std::ifstream in(std::string(VOQ_EXAMPLES_DIR) + "/wall_heat_loss.txt", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    ASSERT_FALSE(text.str().empty());
    Preferences.CheckUnitsAutomatically = 1;
    Equations().SetText(text.str());
    CheckOnlyMode = false;
    HiddenMode = true;
    CompileEquations(false, true);
    HiddenMode = false;
    ASSERT_LE(CalcErrorCode, 0);
  }

  // File > Print of the active window under a document name in the test's
  // folder; gives the PDF written.
  std::string PrintActiveWindow() {
    window_->FileName = dir_ + "/wall_heat_loss.VOQ";
    window_->Action("Print1")->trigger();
    return PrintPdfPath(window_->FileName);
  }

  std::string dir_;
  QtPlatform platform_;
  std::unique_ptr<TVOQ_D> window_;

 private:
  std::string folderStem_;
  uint8_t savedColour_ = Preferences.PrintInColor;
};

}  // namespace voq::testing

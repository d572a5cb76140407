// The Variable Information dialog on the offscreen platform: opened by the
// Options menu item and the tool button, its picture for the bundled
// example, the unit selector, and a refused rename answered in a real
// message box.
#include "shell/var_info_dlg.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/calc_state.h"
#include "model/store_state.h"
#include "output/print_engine.h"
#include "output/print_surface.h"
#include "platform/qt/qt_platform.h"
#include "session/compile_driver.h"
#include "shell/equations_form.h"
#include "shell/main_window.h"
#include "qt_app.h"

namespace voq {
namespace {

class RecordingDevices : public PrintDevices {
 public:
  PrintSurface* Printer() override { return &printer; }
  PrintSurface* Preview() override { return &printer; }
  RecordingPrintSurface printer;
};

class VarInfoDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureApplication();
    dir_ = testing::MakeTempFolder("voq_varinfo");
    window_ = std::make_unique<TVOQ_D>();
    window_->InstallHostServices(platform_);
    platform_.SetScriptedAnswer(kResultOk);
    window_->FormCreate(dir_);
    platform_.SetScriptedAnswer(0);
  }
  void TearDown() override {
    SetPrintDevices(nullptr);
    window_.reset();
    RestoreInstalledHost();
    std::filesystem::remove_all(dir_);
  }
  void Compile(const std::string& text) {
    window_->EquationForm()->SetText(text);
    EquationsCompiled = false;
    EnsureCompiled(true);
    CurrentProgramUnit = MainProgramUnit;
  }
  std::string dir_;
  QtPlatform platform_;
  std::unique_ptr<TVOQ_D> window_;
  VarInfoWindows windows_;
};

TEST_F(VarInfoDlgTest, MenuItemAndToolButtonOpenTheDialog) {
  window_->EquationForm()->SetText("x = 1\r\ny = x + 1\r\n");
  for (const char* name : {"VariableInformation1", "VariableInfo1"}) {
    int rows = -1;
    QTimer::singleShot(50, testing::TestScope(), [&rows] {
      if (auto* dialog = dynamic_cast<TVarInfoDlg*>(QApplication::activeModalWidget())) {
        rows = dialog->Grid()->rowCount();
        QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton);
      }
    });
    window_->Action(name)->trigger();
    EXPECT_EQ(rows, 2) << name;
  }
}

TEST_F(VarInfoDlgTest, PictureOfTheBundledExample) {
  std::ifstream in(std::string(VOQ_EXAMPLES_DIR) + "/wall_heat_loss.txt", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  Compile(text.str());
  ASSERT_EQ(CalcErrorCode, 0);
  TVarInfoDlg dialog(window_.get(), windows_, nullptr, 0, "");
  // One row per variable of the example (it has no strings or arrays).
  EXPECT_EQ(dialog.Grid()->rowCount(), MainProgramUnit->UsedVariableCount);
  EXPECT_FALSE(dialog.BlocksBox()->isVisibleTo(&dialog));  // one program unit
  dialog.show();
  QTest::qWait(50);
  const QImage image = dialog.grab().toImage().convertToFormat(QImage::Format_RGB32);
  testing::SaveTestPicture(image, "var_info_dialog.png");
  auto darkPixels = [&image](QRect area) {
    int dark = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
      for (int x = area.left(); x <= area.right(); ++x) dark += qGray(image.pixel(x, y)) < 100 ? 1 : 0;
    }
    return dark;
  };
  // The "Variable" caption and the first row's name are drawn.
  const QLabel* caption = dialog.findChildren<QLabel*>().at(1);
  const QRect captionArea(caption->mapTo(&dialog, QPoint(0, 0)), caption->size());
  EXPECT_GT(darkPixels(captionArea), 10);
  QRect nameCell = dialog.Grid()->visualItemRect(dialog.Grid()->item(0, 0));
  nameCell.moveTopLeft(dialog.Grid()->viewport()->mapTo(&dialog, nameCell.topLeft()));
  EXPECT_GT(darkPixels(nameCell.adjusted(1, 1, -1, -1)), 10);
}

TEST_F(VarInfoDlgTest, RefusedRenameIsAnsweredByKeyAndPrintStaysOpen) {
  Compile("x = 1\r\ny = x + 1\r\n");
  RecordingDevices devices;
  SetPrintDevices(&devices);
  TVarInfoDlg dialog(window_.get(), windows_, nullptr, 0, "");
  dialog.show();
  dialog.Model().Commit(0, 0, "X");
  // The real message box says why and is closed by Enter.
  std::string shown;
  QTimer::singleShot(100, testing::TestScope(), [&shown] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shown = box->text().toStdString();
      QTest::keyClick(box, Qt::Key_Return);
    }
  });
  QTest::mouseClick(dialog.PrintButton(), Qt::LeftButton);
  EXPECT_EQ(shown, "Variable x cannot be changed to X because variable X is already defined.");
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), 0);
  EXPECT_TRUE(devices.printer.Texts.empty());
  // The record keeps the old name where the equations still use it.
  EXPECT_EQ(MainProgramUnit->Variable(FindVariable("x"))->UpperName, "X");
}

}  // namespace
}  // namespace voq

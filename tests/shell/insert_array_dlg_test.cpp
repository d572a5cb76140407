// The Insert/Modify Array dialog on the offscreen platform with the real
// QtPlatform: opened by the Edit menu's item after a compile, its grid of a
// 2 x 2 array and its picture, OK writing the block as one undo step, the
// counts clamped, and message 422 in a real message box.
#include "shell/insert_array_dlg.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "model/store_state.h"
#include "platform/qt/qt_platform.h"
#include "session/compile_driver.h"
#include "shell/equations_form.h"
#include "shell/main_window.h"
#include "shell/shell_state.h"
#include "shell/table_windows.h"
#include "qt_app.h"

namespace voq {
namespace {

// Runs action on the modal Insert Array dialog once it is up; gives up
// after about five seconds.
void WhenArrayDialog(std::function<void(TInsertArrayDlg*)> action, int tries = 0) {
  QTimer::singleShot(20, testing::TestScope(), [action, tries] {
    if (auto* d = dynamic_cast<TInsertArrayDlg*>(QApplication::activeModalWidget())) {
      action(d);
    } else if (tries < 250) {
      WhenArrayDialog(action, tries + 1);
    }
  });
}

constexpr const char* kArrays = "X[1]=1\r\nX[2]=4\r\nX[3]=9\r\nY[1,1]=1.5\r\nY[1,2]=2\r\nY[2,1]=3\r\nY[2,2]=4.25\r\n";

class InsertArrayDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureApplication();
    dir_ = testing::MakeTempFolder("voq_insarray");
    window_ = std::make_unique<TVOQ_D>();
    window_->InstallHostServices(platform_);
    platform_.SetScriptedAnswer(kResultOk);
    window_->FormCreate(dir_);
    platform_.SetScriptedAnswer(0);
    savedSeparator_ = StatementSeparator;
    StatementSeparator = ';';
  }
  void TearDown() override {
    StatementSeparator = savedSeparator_;
    window_.reset();
    RestoreInstalledHost();
    std::filesystem::remove_all(dir_);
  }
  void Compile(const std::string& text) {
    window_->EquationForm()->SetText(text);
    EquationsCompiled = false;
    EnsureCompiled(true);
    ASSERT_EQ(CalcErrorCode, 0);
    CurrentProgramUnit = MainProgramUnit;
  }
  std::string dir_;
  QtPlatform platform_;
  std::unique_ptr<TVOQ_D> window_;
  char savedSeparator_ = ';';
};

TEST_F(InsertArrayDlgTest, EditMenuItemWritesTheBlockAsOneUndoStep) {
  window_->show();
  window_->EquationForm()->SetText(kArrays);
  window_->ShowAndFocus(kEquationsWindow);
  QStringList items;
  QStringList headings;
  WhenArrayDialog([&](TInsertArrayDlg* d) {
    for (int i = 0; i < d->ArrayNameList()->count(); ++i) items << d->ArrayNameList()->itemText(i);
    d->ArrayNameListChange(2);
    for (int c = 0; c < d->Grid()->columnCount(); ++c) headings << d->Grid()->horizontalHeaderItem(c)->text();
    d->Grid()->item(0, 0)->setText(QStringLiteral("7"));
    QTest::mouseClick(d->OKBtn(), Qt::LeftButton);
  });
  window_->Action("InsertModifyArray1")->trigger();
  EXPECT_EQ(items, (QStringList{"-> Enter Array Name", "X", "Y"}));
  EXPECT_EQ(headings, (QStringList{"Y[i,1]", "Y[i,2]"}));
  const std::string text = window_->EquationForm()->GetText();
  EXPECT_NE(text.find("{Array Y}\r\nY[1,1]=7;  Y[1,2]=2;  Y[2,1]=3;  Y[2,2]=4.25\r\n{Array Y end}"), std::string::npos)
      << text;
  EXPECT_EQ(text.rfind(kArrays, 0), 0u) << "the equations before the block are kept";
  EXPECT_FALSE(EquationsCompiled);
  EXPECT_EQ(LastArrayName, "Y");
  window_->EquationForm()->Editor()->undo();
  EXPECT_EQ(window_->EquationForm()->GetText(), kArrays);
  // The document reset forgets the array and the dialog's place.
  TTableWindows tables(*window_);
  tables.ResetOtherSettings();
  EXPECT_EQ(LastArrayName, "");
  EXPECT_EQ(InsertArrayDialogState.Width, 0);
}

TEST_F(InsertArrayDlgTest, PictureOfATwoByTwoGrid) {
  Compile(kArrays);
  TInsertArrayDlg dialog(window_.get(), CurrentProgramUnit, window_->EquationForm());
  dialog.ArrayNameListChange(2);
  ASSERT_EQ(dialog.Grid()->rowCount(), 2);
  ASSERT_EQ(dialog.Grid()->columnCount(), 2);
  EXPECT_EQ(dialog.Model().ColumnHeadings.size(), 3u);
  EXPECT_NE(dialog.Model().ColumnHeadings[2].find("Y[i,2]"), std::string::npos);
  EXPECT_EQ(dialog.Model().RowHeadings[1], "  Row 1");
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  ASSERT_TRUE(QTest::qWaitFor([&dialog] { return dialog.Grid()->viewport()->width() > 100; }, 3000));
  const QImage image = dialog.grab().toImage().convertToFormat(QImage::Format_RGB32);
  testing::SaveTestPicture(image, "insert_array_dialog.png");
  // Each of the four data cells shows its value.
  for (int r = 0; r < 2; ++r) {
    for (int c = 0; c < 2; ++c) {
      const QRect cell = dialog.Grid()->visualItemRect(dialog.Grid()->item(r, c));
      const QRect area(dialog.Grid()->viewport()->mapTo(&dialog, cell.topLeft()), cell.size());
      int dark = 0;
      const QRect inside = area.intersected(image.rect());
      for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x) dark += qGray(image.pixel(x, y)) < 110 ? 1 : 0;
      EXPECT_GT(dark, 5) << "cell " << r << "," << c;
    }
  }
  dialog.hide();
}

TEST_F(InsertArrayDlgTest, CountsStayWithin1To200) {
  TInsertArrayDlg dialog(window_.get(), nullptr, nullptr);
  dialog.RowEdit()->setText(QStringLiteral("250"));
  EXPECT_EQ(dialog.RowEdit()->text(), QStringLiteral("200"));
  EXPECT_EQ(dialog.Grid()->rowCount(), 200);
  dialog.SpinRowUpClick();
  EXPECT_EQ(dialog.Grid()->rowCount(), 200);
  dialog.ColEdit()->setText(QStringLiteral("0"));
  EXPECT_EQ(dialog.Grid()->columnCount(), 1);
  dialog.SpinColUpClick();
  EXPECT_EQ(dialog.Grid()->columnCount(), 2);
  EXPECT_EQ(dialog.ColEdit()->text(), QStringLiteral("2"));
}

TEST_F(InsertArrayDlgTest, PasteAndCopyGoThroughTheClipboard) {
  TInsertArrayDlg dialog(window_.get(), nullptr, nullptr);
  dialog.RowEdit()->setText(QStringLiteral("4"));
  dialog.ColEdit()->setText(QStringLiteral("2"));
  ASSERT_TRUE(platform_.SetClipboardText("1\t2\t3\r\n4\t5\t6\r\n"));
  dialog.Grid()->setCurrentCell(1, 0);
  dialog.PasteButtonClick();
  ASSERT_NE(dialog.Grid()->item(2, 1), nullptr);
  EXPECT_EQ(dialog.Grid()->item(1, 0)->text(), QStringLiteral("1"));
  EXPECT_EQ(dialog.Grid()->item(1, 1)->text(), QStringLiteral("2"));
  EXPECT_EQ(dialog.Grid()->item(2, 1)->text(), QStringLiteral("5"));
  // Two cells selected: Copy is offered and puts them on the clipboard.
  dialog.Grid()->setRangeSelected(QTableWidgetSelectionRange(1, 0, 2, 0), true);
  EXPECT_TRUE(dialog.CopyButton()->isEnabled());
  dialog.CopyButtonClick();
  std::string clip;
  ASSERT_TRUE(platform_.GetClipboardText(clip));
  EXPECT_EQ(clip, "1\r\n4");
}

TEST_F(InsertArrayDlgTest, OkOnThePromptAsksForTheName) {
  TInsertArrayDlg dialog(window_.get(), nullptr, window_->EquationForm());
  EXPECT_EQ(dialog.ArrayNameList()->currentText().toStdString(), "-> Enter Array Name");
  std::string text;
  testing::AnswerNextMessageBox(QMessageBox::Ok, &text);
  dialog.OKBtnClick();
  EXPECT_EQ(text, "Please enter the array name.");
  EXPECT_EQ(dialog.result(), 0);  // still open
  // A name with brackets.
  dialog.ArrayNameList()->setEditText(QStringLiteral("A[1]"));
  testing::AnswerNextMessageBox(QMessageBox::Ok, &text);
  dialog.OKBtnClick();
  EXPECT_EQ(text, "Please enter a valid name (without brackets) for the array.");
  EXPECT_EQ(window_->EquationForm()->GetText(), "");
}

}  // namespace
}  // namespace voq

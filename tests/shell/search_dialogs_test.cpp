// The Find and Replace dialogs on the offscreen platform with the real
// QtPlatform: opened by the Search menu's items, searching and replacing in
// the Equations editor, Find Next (F12), the Residuals window's variant of
// the Find dialog, and the Replace dialog's picture.
#include "shell/search_dialogs.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "core/calc_state.h"
#include "core/program_flags.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "output/residual_listing.h"
#include "results/residual_form.h"
#include "session/compile_driver.h"
#include "platform/qt/qt_platform.h"
#include "shell/equations_form.h"
#include "shell/main_window.h"
#include "qt_app.h"

namespace voq {
namespace {

// Runs action on the modal dialog of type W once it is up; gives up after
// about five seconds (closing whatever modal widget is up), so a dialog
// that never comes cannot hang the test.
template <typename W>
void WhenSearchModal(std::function<void(W*)> action, int tries = 0) {
  QTimer::singleShot(20, testing::TestScope(), [action, tries] {
    if (auto* w = dynamic_cast<W*>(QApplication::activeModalWidget())) {
      action(w);
    } else if (tries < 250) {
      WhenSearchModal<W>(action, tries + 1);
    } else if (QWidget* other = QApplication::activeModalWidget()) {
      other->close();
    }
  });
}

class SearchDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureApplication();
    dir_ = testing::MakeTempFolder("voq_search");
    window_ = std::make_unique<TVOQ_D>();
    window_->InstallHostServices(platform_);
    platform_.SetScriptedAnswer(kResultOk);
    window_->FormCreate(dir_);
    platform_.SetScriptedAnswer(0);
    commands_ = SearchCommandsOf(*window_);
  }
  void TearDown() override {
    window_.reset();
    RestoreInstalledHost();
    std::filesystem::remove_all(dir_);
  }
  // The Equations window shown and active with text.
  void ShowEquations(const std::string& text) {
    window_->show();
    window_->EquationForm()->SetText(text);
    window_->ShowAndFocus(kEquationsWindow);
    ActiveChildWindow = kEquationsWindow;
  }
  QTextCursor Cursor() const { return window_->EquationForm()->Memo->textCursor(); }

  std::string dir_;
  QtPlatform platform_;
  std::unique_ptr<TVOQ_D> window_;
  TSearchCommands* commands_ = nullptr;
};

TEST_F(SearchDialogsTest, FindDialogSearchesTheEquationsAndStaysOpen) {
  ASSERT_NE(commands_, nullptr);
  ShowEquations("x=1\r\ny=x\r\nz=x+x");
  std::vector<int> starts;
  std::string cancelCaption;
  bool startAtVisible = false;
  WhenSearchModal<TFindDialog>([&](TFindDialog* d) {
    startAtVisible = d->GroupBox1()->isVisible();
    QTest::keyClicks(d->FindWhat(), QStringLiteral("x"));
    QTest::mouseClick(d->FindNext(), Qt::LeftButton);
    starts.push_back(Cursor().selectionStart());
    // Enter in the find text is Find Next too.
    QTest::keyClick(d->FindWhat(), Qt::Key_Return);
    starts.push_back(Cursor().selectionStart());
    cancelCaption = d->Cancel()->text().toStdString();
    QTest::mouseClick(d->Cancel(), Qt::LeftButton);
  });
  window_->Action("Find1")->trigger();
  EXPECT_TRUE(startAtVisible);
  // Editor positions: one character a line break. "x=1\ny=x\nz=x+x".
  EXPECT_EQ(starts, (std::vector<int>{0, 6}));
  EXPECT_EQ(cancelCaption, "Done");
  EXPECT_FALSE(commands_->FindDialog()->isVisible());
  // F12 repeats the search: the next match, never the same one.
  window_->Action("Next1")->trigger();
  EXPECT_EQ(Cursor().selectionStart(), 10);
  EXPECT_EQ(Cursor().selectedText().toStdString(), "x");
  // The dialog opens again with Cancel.
  WhenSearchModal<TFindDialog>([&](TFindDialog* d) {
    cancelCaption = d->Cancel()->text().toStdString();
    EXPECT_EQ(d->FindWhat()->text().toStdString(), "x");
    d->reject();
  });
  window_->Action("Find1")->trigger();
  EXPECT_EQ(cancelCaption, "Cancel");
}

TEST_F(SearchDialogsTest, ReplaceAllIsOneUndoStepAndSharesTheFindText) {
  ShowEquations("a a\r\na");
  WhenSearchModal<TReplaceDialog>([&](TReplaceDialog* d) {
    d->FindWhat()->setText(QStringLiteral("a"));
    d->ReplaceWith()->setText(QStringLiteral("aa"));
    QTest::mouseClick(d->TopRB(), Qt::LeftButton);
    QTest::mouseClick(d->ReplaceAll(), Qt::LeftButton);
    EXPECT_EQ(d->Cancel()->text().toStdString(), "Done");
    QTest::mouseClick(d->Cancel(), Qt::LeftButton);
  });
  window_->Action("Replace1")->trigger();
  QPlainTextEdit* editor = window_->EquationForm()->Editor();
  EXPECT_EQ(window_->EquationForm()->GetText(), "aa aa\r\naa");
  editor->undo();
  EXPECT_EQ(window_->EquationForm()->GetText(), "a a\r\na");
  // The find text typed in the Replace dialog is the Find dialog's.
  WhenSearchModal<TFindDialog>([&](TFindDialog* d) {
    EXPECT_EQ(d->FindWhat()->text().toStdString(), "a");
    d->reject();
  });
  window_->Action("Find1")->trigger();
}

TEST_F(SearchDialogsTest, ReplaceReplacesTheSelectedOccurrenceAndSelectsTheNext) {
  ShowEquations("b=x\r\nc=X");
  window_->EquationForm()->SelectEngineRange(2, 3);
  WhenSearchModal<TReplaceDialog>([&](TReplaceDialog* d) {
    d->FindWhat()->setText(QStringLiteral("x"));
    d->ReplaceWith()->setText(QStringLiteral("y1"));
    QTest::mouseClick(d->Replace(), Qt::LeftButton);
    d->reject();
  });
  window_->Action("Replace1")->trigger();
  EXPECT_EQ(window_->EquationForm()->GetText(), "b=y1\r\nc=X");
  EXPECT_EQ(Cursor().selectedText().toStdString(), "X");
}

TEST_F(SearchDialogsTest, FindInTheResidualsWindowHidesStartAt) {
  window_->show();
  ActiveChildWindow = kResidualsWindow;
  bool groupVisible = true;
  bool wholeWord = false;
  WhenSearchModal<TFindDialog>([&](TFindDialog* d) {
    groupVisible = d->GroupBox1()->isVisible();
    wholeWord = d->WholeWord()->isChecked();
    d->reject();
  });
  commands_->Find1Click();
  EXPECT_FALSE(groupVisible);
  EXPECT_TRUE(wholeWord);
  EXPECT_EQ(commands_->Dialogs().Find.TargetWindow, kResidualsWindow);
  // The menu offers Find and Find Next there, but not Replace.
  ActiveChildWindow = kResidualsWindow;
  commands_->Search1Click();
  EXPECT_TRUE(window_->Action("Find1")->isEnabled());
  EXPECT_TRUE(window_->Action("Next1")->isEnabled());
  EXPECT_FALSE(window_->Action("Replace1")->isEnabled());
  window_->Calculating = true;
  commands_->Search1Click();
  EXPECT_FALSE(window_->Action("Find1")->isEnabled());
  window_->Calculating = false;
}

TEST_F(SearchDialogsTest, FindInTheResidualsWindowRestartsAfterAMiss) {
  window_->resize(1000, 640);
  window_->show();
  std::string model;
  for (int k = 1; k <= 80; ++k) model += "v" + std::to_string(k) + " = " + std::to_string(k) + "\r\n";
  window_->EquationForm()->SetText(model);
  CheckOnlyMode = false;
  HiddenMode = true;
  CompileEquations(false, true);
  HiddenMode = false;
  ASSERT_LE(CalcErrorCode, 0);
  SolutionAvailable = true;
  window_->Action("Residuals1")->trigger();
  auto* form = dynamic_cast<TResidualForm*>(WindowList[kResidualsWindow]);
  ASSERT_NE(form, nullptr);
  form->resize(600, 300);
  // The lines are known once the listing has been painted.
  ASSERT_TRUE(QTest::qWaitFor(
      [form] {
        form->ResidualView()->viewport()->repaint();
        return !ResidualState().LineTexts.empty();
      },
      5000));
  ActiveChildWindow = kResidualsWindow;
  std::vector<int32_t> found;
  std::vector<bool> missed;
  WhenSearchModal<TFindDialog>([&](TFindDialog* d) {
    d->FindWhat()->setText(QStringLiteral("v7"));
    for (int k = 0; k < 3; ++k) {
      QTest::mouseClick(d->FindNext(), Qt::LeftButton);
      found.push_back(ResidualState().FoundLine);
      missed.push_back(d->Model().FirstSearch);
    }
    d->reject();
  });
  window_->Action("Find1")->trigger();
  // Whole words: only "v7" matches; the second search from it misses, the
  // third starts again at the first line.
  ASSERT_EQ(found.size(), 3u);
  EXPECT_GT(found[0], 0);
  EXPECT_EQ(missed, (std::vector<bool>{false, true, false}));
  EXPECT_EQ(found[2], found[0]);
  EXPECT_EQ(ResidualState().LineTexts[size_t(found[0])].find("v70"), std::string::npos);
}

TEST_F(SearchDialogsTest, PictureOfTheReplaceDialog) {
  TReplaceDialog* dialog = commands_->ReplaceDialog();
  commands_->Dialogs().Replace.FindText = "T_1";
  commands_->Dialogs().Replace.ReplaceText = "T_in";
  dialog->FormActivate();
  dialog->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
  EXPECT_TRUE(QTest::qWaitFor([dialog] { return dialog->Cancel()->isVisible() && dialog->width() > 200; }, 3000));
  const QImage image = dialog->grab().toImage().convertToFormat(QImage::Format_RGB32);
  testing::SaveTestPicture(image, "replace_dialog.png");
  auto darkPixels = [&image, dialog](QWidget* w) {
    const QRect area = QRect(w->mapTo(dialog, QPoint(0, 0)), w->size()).intersected(image.rect());
    int dark = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
      for (int x = area.left(); x <= area.right(); ++x) dark += qGray(image.pixel(x, y)) < 110 ? 1 : 0;
    return dark;
  };
  // The find text, the buttons' captions and the group's radio labels are drawn.
  EXPECT_GT(darkPixels(dialog->FindWhat()), 10);
  EXPECT_GT(darkPixels(dialog->ReplaceAll()), 10);
  EXPECT_GT(darkPixels(dialog->TopRB()), 10);
  // Every control lies inside the dialog.
  for (QWidget* w : {static_cast<QWidget*>(dialog->Cancel()), static_cast<QWidget*>(dialog->GroupBox1()),
                     static_cast<QWidget*>(dialog->ReplaceWith())}) {
    EXPECT_TRUE(dialog->rect().contains(QRect(w->mapTo(dialog, QPoint(0, 0)), w->size())));
  }
  dialog->hide();
}

}  // namespace
}  // namespace voq

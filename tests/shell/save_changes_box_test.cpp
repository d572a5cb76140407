// The save-changes question as a person meets it: a real message box of the
// Qt platform, captioned "File Changed", with a question icon and the
// buttons Yes, No and Cancel; Escape answers Cancel.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <filesystem>
#include <string>

#include "model/store_state.h"
#include "platform/host.h"
#include "platform/qt/qt_platform.h"
#include "shell/fatal_exit.h"
#include "shell/file_menu.h"
#include "shell/main_window.h"
#include "shell/save_dialogs.h"
#include "shell/seams.h"
#include "tables/tables_state.h"
#include "qt_app.h"

namespace voq {
namespace {

struct SeenBox {
  QString title;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QString text;
  std::vector<QMessageBox::StandardButton> buttons;
  QImage picture;
  QImage questionIcon;  // the style's question icon at the box's icon size
  QImage shownIcon;
};

// Reads the box that is up, then answers it with press (a key or a button).
void AnswerBox(SeenBox& seen, int key, QMessageBox::StandardButton button) {
  QTimer::singleShot(150, testing::TestScope(), [&seen, key, button] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;  // the watchdog below closes whatever is up
    seen.title = box->windowTitle();
    seen.icon = box->icon();
    seen.text = box->text();
    for (QAbstractButton* b : box->buttons()) seen.buttons.push_back(box->standardButton(b));
    seen.picture = box->grab().toImage();
    seen.shownIcon = box->iconPixmap().toImage();
    seen.questionIcon = box->style()
                            ->standardIcon(QStyle::SP_MessageBoxQuestion, nullptr, box)
                            .pixmap(box->iconPixmap().deviceIndependentSize().toSize())
                            .toImage();
    if (key != 0) {
      QTest::keyClick(box, Qt::Key(key));
    } else {
      QTest::mouseClick(box->button(button), Qt::LeftButton);
    }
  });
  QTimer::singleShot(5000, testing::TestScope(), [] {
    if (QWidget* w = QApplication::activeModalWidget()) w->close();
  });
}

TEST(SaveChangesBox, FileChangedCaptionQuestionIconAndTheThreeAnswers) {
  testing::EnsureApplication();
  const std::string dir = testing::MakeTempFolder("voq_save_box");
  {
    QtPlatform platform;
    TVOQ_D window;
    window.InstallHostServices(platform);
    window.FormCreate(dir);
    TFileMenu menu(window);
    menu.RunSaveDialog = [](TMySaveDialog&) { return false; };
    window.show();
    const std::string name = dir + "/m.voq";
    Equations().SetText("a = 1");
    window.FileName = name;
    DocumentUnchanged = false;

    SeenBox seen;
    AnswerBox(seen, Qt::Key_Escape, QMessageBox::NoButton);
    window.Action("New1")->trigger();
    EXPECT_EQ(seen.title.toStdString(), "File Changed");
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.text.toStdString(), "File " + name + " has changed.  Save?");
    // buttons() is in the order they were made, not the order shown.
    std::sort(seen.buttons.begin(), seen.buttons.end());
    EXPECT_EQ(seen.buttons, (std::vector<QMessageBox::StandardButton>{QMessageBox::Yes, QMessageBox::No,
                                                                       QMessageBox::Cancel}));
    EXPECT_EQ(platform.LastAlertCaption(), "File Changed");
    // The picture shows the question mark the style draws, not another icon.
    ASSERT_FALSE(seen.picture.isNull());
    testing::SaveTestPicture(seen.picture, "save_changes_box.png");
    ASSERT_FALSE(seen.shownIcon.isNull());
    EXPECT_EQ(seen.shownIcon.convertToFormat(QImage::Format_ARGB32),
              seen.questionIcon.convertToFormat(QImage::Format_ARGB32));
    // Escape is Cancel: the document stays.
    EXPECT_EQ(Equations().GetText(), "a = 1");
    EXPECT_EQ(window.FileName, name);

    // No: the new document starts, nothing saved.
    SeenBox again;
    AnswerBox(again, 0, QMessageBox::No);
    window.Action("New1")->trigger();
    EXPECT_EQ(again.title.toStdString(), "File Changed");
    EXPECT_EQ(Equations().GetText(), "");
    EXPECT_TRUE(window.FileName.empty());
    EXPECT_FALSE(std::filesystem::exists(name));
  }
  ResetShellCommands();
  ResetFatalExitHooks();
  RestoreInstalledHost();
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace voq

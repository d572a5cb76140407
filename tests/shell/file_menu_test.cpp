#include "shell/file_menu.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextCursor>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "core/calc_state.h"
#include "core/program_flags.h"
#include "documents/document_file.h"
#include "documents/document_files.h"
#include "documents/document_sections.h"
#include "documents/documents_state.h"
#include "documents/file_commands.h"
#include "model/document_settings.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "platform/qt/qt_platform.h"
#include "session/document_reset.h"
#include "shell/equations_form.h"
#include "shell/fatal_exit.h"
#include "shell/main_window.h"
#include "shell/save_dialogs.h"
#include "shell/seams.h"
#include "tables/tables_state.h"
#include "qt_app.h"

namespace voq {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

void ArrangeWindows(TFileMenu& menu, const TWindowArrangement& plan) { menu.ArrangeWindows(plan); }

class FileMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureApplication();
    dir_ = testing::MakeTempFolder("voq_filemenu");
    window_ = std::make_unique<TVOQ_D>();
    window_->InstallHostServices(platform_);
    platform_.SetScriptedAnswer(kResultOk);
    window_->FormCreate(dir_);
    menu_ = std::make_unique<TFileMenu>(*window_);
    // No real file dialog ever opens in a test.
    menu_->RunOpenDialog = [this](const std::string& title, const std::string&, std::string& name) {
      dialogTitles_.push_back(title);
      if (openAnswers_.empty()) return false;
      name = openAnswers_.front();
      openAnswers_.erase(openAnswers_.begin());
      return !name.empty();
    };
    menu_->RunSaveDialog = [](TMySaveDialog&) { return false; };
  }
  void TearDown() override {
    menu_.reset();
    window_.reset();
    ResetShellCommands();
    ResetFatalExitHooks();
    RestoreInstalledHost();
    fs::remove_all(dir_);
  }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  QPlainTextEdit* Editor() const { return window_->EquationForm()->Editor(); }

  std::string dir_;
  QtPlatform platform_;
  std::unique_ptr<TVOQ_D> window_;
  std::unique_ptr<TFileMenu> menu_;
  std::vector<std::string> openAnswers_;
  std::vector<std::string> dialogTitles_;
};

TEST_F(FileMenuTest, OpenAfterATextFileOffersToSaveItAsAProblemFile) {
  WriteBytes(Path("model.txt"), std::string("{$DS.}x = 1\r\ny = x + 2") + '\0');
  menu_->ReadaFile(Path("model.txt"));
  EXPECT_EQ(Equations().GetText(), "x = 1\r\ny = x + 2");
  EXPECT_TRUE(DocumentUnchanged);
  platform_.SetScriptedAnswer(kResultYes);
  const int before = platform_.AlertCount();
  window_->Action("Open1")->trigger();  // the file dialog is then cancelled
  EXPECT_EQ(platform_.AlertCount(), before + 1);
  EXPECT_EQ(platform_.LastAlertText(), "This file has been saved as " + Path("model.txt") +
                                           ".  Do you wish to save it as " + Path("model.VOQ") + "?");
  EXPECT_EQ(platform_.LastAlertKind(), kAlertInfoYesNoCancel);
  ASSERT_TRUE(fs::exists(Path("model.VOQ")));
  EXPECT_EQ(ReadBytes(Path("model.VOQ")).substr(1, 6), "X6.462");
  EXPECT_EQ(window_->FileName, Path("model.VOQ"));
  EXPECT_EQ(dialogTitles_, std::vector<std::string>{"Open VOQ file"});
  // Now unchanged and a problem file: nothing is asked.
  window_->Action("Open1")->trigger();
  EXPECT_EQ(platform_.AlertCount(), before + 1);
}

TEST_F(FileMenuTest, CancelInTheQuestionKeepsTheDocument) {
  Equations().SetText("a = 1");
  window_->FileName = Path("m.voq");
  DocumentUnchanged = false;
  platform_.SetScriptedAnswer(kResultCancel);
  window_->Action("New1")->trigger();
  EXPECT_EQ(platform_.LastAlertText(), "File " + Path("m.voq") + " has changed.  Save?");
  EXPECT_EQ(Equations().GetText(), "a = 1");
  EXPECT_EQ(window_->FileName, Path("m.voq"));
  platform_.SetScriptedAnswer(kResultNo);
  window_->Action("New1")->trigger();
  EXPECT_EQ(Equations().GetText(), "");
  EXPECT_TRUE(window_->FileName.empty());
  EXPECT_TRUE(DocumentUnchanged);
  EXPECT_FALSE(fs::exists(Path("m.voq")));
}

// A file that is not a document, or one cut short inside its text: the open
// document keeps its text, name, caption and changes, the message names the
// file, and Save afterwards writes the open document, not over the bad file.
TEST_F(FileMenuTest, AFailedReadLeavesTheOpenDocumentAsItWas) {
  Equations().SetText("b = 2");
  ASSERT_TRUE(SaveDocumentFile(Path("good.VOQ"), false, false, false));
  const std::string saved = ReadBytes(Path("good.VOQ"));
  ASSERT_GT(saved.size(), kDocumentHeaderSize + 8);
  // The first bytes of a PNG picture, then pixels.
  const std::string png = std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) + std::string(300, '\x7f');
  struct Case {
    const char* Name;
    std::string Bytes;
  } cases[] = {
      {"picture.VOQ", png},
      {"cut.VOQ", saved.substr(0, kDocumentHeaderSize + 6)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    WriteBytes(Path(c.Name), c.Bytes);
    Equations().SetText("a = 1");
    window_->FileName = Path("mine.VOQ");
    window_->setCaption(window_->FileName);
    DocumentUnchanged = false;
    const int before = platform_.AlertCount();
    menu_->OpenFileName(Path(c.Name));
    EXPECT_EQ(platform_.AlertCount(), before + 1);
    EXPECT_NE(platform_.LastAlertText().find(Path(c.Name)), std::string::npos) << platform_.LastAlertText();
    EXPECT_EQ(Equations().GetText(), "a = 1");
    EXPECT_EQ(window_->FileName, Path("mine.VOQ"));
    EXPECT_NE(window_->windowTitle().toStdString().find("mine.VOQ"), std::string::npos);
    EXPECT_FALSE(DocumentUnchanged);
    EXPECT_TRUE(window_->EquationForm()->isVisible() || !window_->isVisible());
    // File > Open with the same file keeps everything too.
    openAnswers_ = {Path(c.Name)};
    platform_.SetScriptedAnswer(kResultNo);  // the save-changes question
    window_->Action("Open1")->trigger();
    platform_.SetScriptedAnswer(kResultOk);
    EXPECT_EQ(Equations().GetText(), "a = 1");
    EXPECT_EQ(window_->FileName, Path("mine.VOQ"));
    window_->Action("Save1")->trigger();
    EXPECT_EQ(ReadBytes(Path(c.Name)), c.Bytes);
    ASSERT_TRUE(fs::exists(Path("mine.VOQ")));
    fs::remove(Path("mine.VOQ"));
  }
}

// File > New: the caption and the File menu's Save item no longer name the
// previous file.
TEST_F(FileMenuTest, NewForgetsThePreviousFileName) {
  Equations().SetText("a = 1");
  ASSERT_TRUE(SaveDocumentFile(Path("old.VOQ"), false, false, false));
  menu_->OpenFileName(Path("old.VOQ"));
  ASSERT_NE(window_->Action("Save1")->text().toStdString().find("old.VOQ"), std::string::npos);
  window_->Action("New1")->trigger();
  EXPECT_TRUE(window_->FileName.empty());
  EXPECT_EQ(window_->Action("Save1")->text().toStdString().find("old.VOQ"), std::string::npos);
  EXPECT_EQ(window_->windowTitle().toStdString().find("old.VOQ"), std::string::npos);
}

TEST_F(FileMenuTest, RecentFilesKeepTheLimitAndDropMissingOnes) {
  // Every read resets the document's preferences to the stored ones.
  Preferences.RecentFileCount = StoredPreferences.RecentFileCount = 3;
  for (int k = 1; k <= 5; ++k) {
    const std::string name = Path("f" + std::to_string(k) + ".txt");
    WriteBytes(name, "x = " + std::to_string(k));
    menu_->ReadaFile(name);
  }
  ASSERT_EQ(menu_->RecentFileActions().size(), 3u);
  EXPECT_EQ(menu_->RecentFileActions()[0]->text().toStdString(), "1. " + Path("f5.txt"));
  EXPECT_EQ(menu_->RecentFileActions()[2]->text().toStdString(), "3. " + Path("f3.txt"));
  // Reading a listed one moves it to the top.
  menu_->ReadaFile(Path("f3.txt"));
  EXPECT_EQ(menu_->RecentFileActions()[0]->text().toStdString(), "1. " + Path("f3.txt"));
  EXPECT_EQ(menu_->RecentFileActions().size(), 3u);
  // A listed file that is gone: 515, and it leaves the list.
  fs::remove(Path("f4.txt"));
  DocumentUnchanged = true;
  window_->FileName.clear();
  menu_->RecentFileActions()[2]->trigger();  // "3. f4.txt"
  EXPECT_EQ(platform_.LastAlertText(), Path("f4.txt") + " no longer exists");
  EXPECT_EQ(menu_->RecentFileActions().size(), 2u);
  // An existing one opens.
  menu_->RecentFileActions()[1]->trigger();  // "2. f5.txt"
  EXPECT_EQ(window_->FileName, Path("f5.txt"));
  EXPECT_EQ(Equations().GetText(), "x = 5");
}

TEST_F(FileMenuTest, ExitWritesTheRecentFilesAndTheFolders) {
  Preferences.RecentFileCount = StoredPreferences.RecentFileCount = 8;
  window_->RecentFiles = {"/a/One.voq", "/b/Two.txt"};
  window_->FileName.clear();
  DocumentUnchanged = true;
  window_->show();
  window_->Action("Exit1")->trigger();
  EXPECT_TRUE(window_->Exiting);
  EXPECT_FALSE(window_->isVisible());
  EXPECT_EQ(ReadBytes(Path("VOQ.FNL")), "/a/One.voq\r\n/b/Two.txt\r\n");
  const std::string dirs = ReadBytes(Path("VOQ.DIR"));
  EXPECT_EQ(std::count(dirs.begin(), dirs.end(), '\n'), 3) << dirs;
}

TEST_F(FileMenuTest, ClosingTheWindowAsksFirstAndCancelKeepsItOpen) {
  window_->show();
  Equations().SetText("a = 1");
  DocumentUnchanged = false;
  platform_.SetScriptedAnswer(kResultCancel);
  EXPECT_FALSE(window_->close());
  EXPECT_TRUE(window_->isVisible());
  EXPECT_FALSE(window_->Exiting);
  EXPECT_EQ(platform_.LastAlertText(), "Untitled file has changed. Save?");
  platform_.SetScriptedAnswer(kResultNo);
  EXPECT_TRUE(window_->close());
  EXPECT_TRUE(window_->Exiting);
}

TEST_F(FileMenuTest, MergeInsertsAtTheCaretAndAlwaysMarksTheDocumentChanged) {
  WriteBytes(Path("piece.txt"), std::string("{$DS.}b = 2\r\n") + '\0');
  Equations().SetText("a = 1\r\nc = 3");
  QTextCursor cursor = Editor()->textCursor();
  cursor.setPosition(6);  // the start of the second line
  Editor()->setTextCursor(cursor);
  EXPECT_EQ(Equations().CaretPosition(), 7);
  DocumentUnchanged = true;
  openAnswers_ = {Path("piece.txt")};
  window_->Action("Merge1")->trigger();
  EXPECT_EQ(Equations().GetText(), "a = 1\r\nb = 2\r\nc = 3");
  EXPECT_FALSE(DocumentUnchanged);
  EXPECT_EQ(dialogTitles_.back(), "Merge VOQ file at cursor position");
  DocumentUnchanged = true;
  window_->Action("Merge1")->trigger();  // cancelled
  EXPECT_FALSE(DocumentUnchanged);
  EXPECT_EQ(Equations().GetText(), "a = 1\r\nb = 2\r\nc = 3");
}

TEST_F(FileMenuTest, TheStartDocumentOpensThroughTheShellHook) {
  Equations().SetText("p = 4");
  ASSERT_TRUE(SaveDocumentFile(Path("HELLO.VOQ"), false, false, false));
  Equations().SetText("");
  ShellCommands().ReadaFile(Path("HELLO.VOQ"));
  EXPECT_EQ(Equations().GetText(), "p = 4");
  EXPECT_EQ(window_->FileName, Path("HELLO.VOQ"));
  EXPECT_EQ(window_->Action("Save1")->text().toStdString(), "Save " + Path("HELLO.VOQ"));
}

TEST_F(FileMenuTest, AProblemFileShowsItsWindowsAsSaved) {
  window_->show();
  Equations().SetText("w = 1\r\nv = 2");
  ASSERT_TRUE(SaveDocumentFile(Path("w.voq"), false, false, false));
  window_->EquationForm()->Hide();
  QTextCursor end = Editor()->textCursor();
  end.setPosition(5);
  Editor()->setTextCursor(end);
  menu_->ReadaFile(Path("w.voq"));
  EXPECT_TRUE(window_->EquationForm()->isVisible());
  EXPECT_EQ(Editor()->textCursor().position(), 0);
  // A layout that asks for the Equations window maximised, at a size larger
  // than the main window: cascaded instead.
  WindowLayoutEntries.assign(9, std::vector<uint8_t>(kWindowLayoutEntrySize, 0));
  std::vector<uint8_t>& e = WindowLayoutEntries[0];
  e[4] = uint8_t(5000 & 0xFF);
  e[5] = uint8_t(5000 >> 8);
  e[6] = uint8_t(5000 & 0xFF);
  e[7] = uint8_t(5000 >> 8);
  e[13] = 1;
  WindowLayoutActive = -1;
  ArrangeWindows(*menu_, PlanDocumentWindows(true, true));
  EXPECT_TRUE(window_->EquationForm()->isVisible());
  EXPECT_FALSE(window_->EquationForm()->isMaximized());
}

TEST_F(FileMenuTest, TheFatalErrorRescueLeavesADocumentThatReadsBack) {
  const fs::path saved = fs::current_path();
  fs::current_path(dir_);
  Equations().SetText("x = 2\r\ny = x + 1\r\n");
  FatalExitHooks().ShowMessage = [](const std::string&, const std::string&) {};
  int ended = -1;
  FatalExitHooks().EndProcess = [&](int code) { ended = code; };
  window_->SetHandler("Solve1", [] { throw std::runtime_error("fault in a command"); });
  window_->Action("Solve1")->trigger();
  EXPECT_NE(ended, -1);
  ASSERT_TRUE(fs::exists(Path("VOQERROR.VOQ")));
  ResetDocument();
  EXPECT_TRUE(ReadDocumentFile("VOQERROR.VOQ", false));
  EXPECT_EQ(Equations().GetText(), "x = 2\r\ny = x + 1\r\n");
  fs::current_path(saved);
}

TEST_F(FileMenuTest, AutosaveWritesACopyBesideANamedDocument) {
  Preferences.AutosaveMinutes = 10;
  menu_->ApplyAutoSavePreference();
  EXPECT_EQ(window_->AutoSaveTimer.interval(), 600000);
  EXPECT_TRUE(window_->AutoSaveTimer.isActive());
  Equations().SetText("m = 1");
  window_->FileName = Path("m.voq");
  window_->Action("Save1")->trigger();
  ASSERT_TRUE(fs::exists(Path("m.voq")));
  Equations().SetText("m = 2");
  DocumentUnchanged = false;
  // The macro recorder is on: no copy.
  MacroRecording = true;
  window_->AutoSaveCommand();
  EXPECT_FALSE(fs::exists(Path("~m.voq")));
  MacroRecording = false;
  window_->AutoSaveCommand();
  ASSERT_TRUE(fs::exists(Path("~m.voq")));
  EXPECT_EQ(window_->AutoSaveFileName, Path("~m.voq"));
  EXPECT_FALSE(DocumentUnchanged);
  // The copy reads back as the document.
  EXPECT_TRUE(ReadDocumentFile(Path("~m.voq"), false));
  EXPECT_EQ(Equations().GetText(), "m = 2");
  // A normal save leaves no copy behind.
  window_->Action("Save1")->trigger();
  EXPECT_FALSE(fs::exists(Path("~m.voq")));
  EXPECT_TRUE(DocumentUnchanged);
}

TEST_F(FileMenuTest, AutosaveOfAnUntitledDocumentAsksForAName) {
  Preferences.AutosaveMinutes = 5;
  menu_->ApplyAutoSavePreference();
  window_->FileName.clear();
  std::vector<std::string> captions;
  int saveDialogs = 0;
  menu_->RunAutoSaveDialog = [&](TAutoSaveDlg& dialog) {
    captions.push_back(dialog.windowTitle().toStdString());
    return captions.size() < 3 ? kResultOk : kResultCancel;
  };
  menu_->RunSaveDialog = [&](TMySaveDialog&) {
    ++saveDialogs;
    return false;  // Save As cancelled: the prompt comes back
  };
  window_->AutoSaveCommand();
  EXPECT_EQ(captions, (std::vector<std::string>{"Message from  AutoSave", "Message from  AutoSave",
                                                "Message from  AutoSave"}));
  EXPECT_EQ(saveDialogs, 2);
  EXPECT_FALSE(window_->AutoSaveTimer.isActive());  // "Disable Autosave"
  // "Save File As..." with a name: saved, and autosave goes on.
  Equations().SetText("u = 1");
  menu_->RunAutoSaveDialog = [](TAutoSaveDlg&) { return int(kResultOk); };
  menu_->RunSaveDialog = [this](TMySaveDialog& dialog) {
    dialog.selectFile(QString::fromStdString(Path("named.voq")));
    return true;
  };
  window_->AutoSaveCommand();
  EXPECT_EQ(window_->FileName, Path("named.voq"));
  EXPECT_TRUE(fs::exists(Path("named.voq")));
  EXPECT_TRUE(window_->AutoSaveTimer.isActive());
  EXPECT_EQ(window_->AutoSaveTimer.interval(), 300000);
}

// A main program with n variables that no equation uses, compiled.
void UnusedVariables(int n) {
  for (int k = 1; k <= n; ++k) AddVariable("V" + std::to_string(k));
  for (int i = 1; i <= MainProgramUnit->VariableCount; ++i) MainProgramUnit->Variable(i)->UnknownPosition = 0;
  EquationsCompiled = true;
}

TEST_F(FileMenuTest, SaveAsDialogOffersThePurgeBoxForManyUnusedVariables) {
  UnusedVariables(150);
  ASSERT_EQ(CountUnusedVariables(), 150);
  window_->FileName = Path("big.voq");
  window_->show();
  std::string picture;
  std::vector<std::string> boxes;
  bool purgeBox = false;
  menu_->RunSaveDialog = [&](TMySaveDialog& dialog) {
    dialog.resize(720, 480);
    dialog.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::qWait(50);
    picture = testing::SaveTestPicture(dialog.grab().toImage(), "save_as_purge.png");
    const QImage image = dialog.grab().toImage();
    EXPECT_GT(image.width(), 300);
    for (QCheckBox* box : dialog.findChildren<QCheckBox*>()) boxes.push_back(box->text().toStdString());
    purgeBox = dialog.PurgeBox() != nullptr && dialog.PurgeBox()->isVisible();
    EXPECT_FALSE(dialog.OldFormatBox()->isEnabled());  // no writer of the older layout yet
    EXPECT_TRUE(dialog.OldFormatBox()->isVisible());
    EXPECT_EQ(dialog.objectName().toStdString(), "PURGEVARS");
    dialog.PurgeBox()->setChecked(true);
    EXPECT_TRUE(dialog.PurgeVars);
    // The user types the name.
    QLineEdit* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    EXPECT_NE(name, nullptr);
    if (name != nullptr) name->setText(QString::fromStdString(Path("purged.voq")));
    return true;
  };
  window_->Action("SaveAs1")->trigger();
  EXPECT_EQ(boxes, (std::vector<std::string>{"Save in older format for backward compatibility",
                                              "Purge 150 unused variables"}));
  EXPECT_TRUE(purgeBox);
  EXPECT_FALSE(picture.empty());
  // Saved with purging: the variables are gone from the file.
  EXPECT_EQ(window_->FileName, Path("purged.voq")) << platform_.LastAlertText();
  ASSERT_TRUE(fs::exists(Path("purged.voq")));
  EXPECT_EQ(window_->FileName, Path("purged.voq"));
  EXPECT_EQ(window_->RecentFiles.back(), Path("purged.voq"));
  ResetDocument();
  ASSERT_TRUE(ReadDocumentFile(Path("purged.voq"), false));
  EXPECT_EQ(MainProgramUnit->VariableCount, 0);
}

TEST_F(FileMenuTest, SaveAsDialogOfAFewUnusedVariablesHasOnlyTheOlderFormatBox) {
  UnusedVariables(20);
  std::vector<std::string> boxes;
  menu_->RunSaveDialog = [&](TMySaveDialog& dialog) {
    for (QCheckBox* box : dialog.findChildren<QCheckBox*>()) boxes.push_back(box->text().toStdString());
    EXPECT_EQ(dialog.objectName().toStdString(), "SAVEASOLD");
    EXPECT_EQ(dialog.PurgeBox(), nullptr);
    return false;
  };
  window_->Action("SaveAs1")->trigger();
  EXPECT_EQ(boxes, std::vector<std::string>{"Save in older format for backward compatibility"});
}

}  // namespace
}  // namespace voq

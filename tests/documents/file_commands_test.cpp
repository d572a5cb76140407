#include "documents/file_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "model/program_units.h"
#include "model/store_state.h"

namespace voq {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Captions(const std::vector<TRecentFileItem>& items) {
  std::vector<std::string> out;
  for (const TRecentFileItem& i : items) out.push_back(i.Caption);
  return out;
}

TEST(RecentFilesTest, ReadingKeepsTheNewestWithinTheLimit) {
  std::vector<std::string> list;
  for (const char* name : {"/d/a.voq", "/d/b.voq", "/d/c.voq", "/d/e.voq", "/d/f.voq"}) {
    NoteRecentFileRead(list, name, 3);
  }
  EXPECT_EQ(list, (std::vector<std::string>{"/d/c.voq", "/d/e.voq", "/d/f.voq"}));
  const std::vector<TRecentFileItem> items = RecentFileItems(list, false);
  EXPECT_EQ(Captions(items), (std::vector<std::string>{"1. /d/f.voq", "2. /d/e.voq", "3. /d/c.voq"}));
  EXPECT_EQ(items[0].Tag, 2);  // the entry the newest item opens
  EXPECT_EQ(items[2].Tag, 0);
  // A listed name moves to the top; letter case does not make it another
  // file, and the list keeps the spelling of the latest read.
  NoteRecentFileRead(list, "/D/C.VOQ", 3);
  EXPECT_EQ(list, (std::vector<std::string>{"/d/e.voq", "/d/f.voq", "/D/C.VOQ"}));
  // Short names are never listed (but a listed one is still removed).
  NoteRecentFileRead(list, "a.v", 3);
  EXPECT_EQ(list.size(), 3u);
  NoteRecentFileRead(list, "abcd", 3);
  EXPECT_EQ(list.back(), "abcd");
  // The distributable program's items are numbered in model order.
  EXPECT_EQ(RecentFileItems({"m1", "m2"}, true)[0].Tag, 0);
}

TEST(RecentFilesTest, SaveAsDropsAtMostOneEntryBeyondSix) {
  std::vector<std::string> list = {"/1.voq", "/2.voq", "/3.voq", "/4.voq", "/5.voq", "/6.voq", "/7.voq", "/8.voq"};
  NoteRecentFileSavedAs(list, "/new.voq");
  EXPECT_EQ(list.size(), 8u);
  EXPECT_EQ(list.front(), "/2.voq");
  EXPECT_EQ(list.back(), "/new.voq");
  NoteRecentFileSavedAs(list, "/NEW.VOQ");  // listed already
  EXPECT_EQ(list.size(), 8u);
  std::vector<std::string> few = {"/a.voq"};
  NoteRecentFileSavedAs(few, "x.v");
  EXPECT_EQ(few.size(), 1u);
}

TEST(RecentFilesTest, ListFilesRoundTrip) {
  const fs::path dir = fs::temp_directory_path() / ("voq_fnl_" + std::to_string(getpid()));
  fs::create_directories(dir);
  const std::string fnl = (dir / "VOQ.FNL").string();
  ASSERT_TRUE(WriteRecentFileList(fnl, {"/a/One.voq", "/b/two.txt"}));
  std::ifstream in(fnl, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  EXPECT_EQ(s.str(), "/a/One.voq\r\n/b/two.txt\r\n");
  EXPECT_EQ(ReadRecentFileList(fnl), (std::vector<std::string>{"/a/One.voq", "/b/two.txt"}));
  const std::string dirFile = (dir / "VOQ.DIR").string();
  ASSERT_TRUE(WriteDirectoryList(dirFile, {"/docs"}));
  std::ifstream din(dirFile, std::ios::binary);
  std::stringstream d;
  d << din.rdbuf();
  EXPECT_EQ(d.str(), "/docs\r\n\r\n\r\n");
  EXPECT_TRUE(ReadRecentFileList((dir / "none").string()).empty());
  fs::remove_all(dir);
}

TEST(SaveChangesQuestionTest, WhoAsksWhat) {
  struct Case {
    const char* file;
    bool unchanged;
    int32_t message;  // 0: no question
    const char* saveName;
    const char* text;
  };
  const Case cases[] = {
      {"", true, 0, "", ""},
      {"/d/m.VOQ", true, 0, "", ""},
      {"", false, 509, "", "Untitled file has changed. Save?"},
      {"/d/model.txt", true, 510, "/d/model.VOQ",
       "This file has been saved as /d/model.txt.  Do you wish to save it as /d/model.VOQ?"},
      {"/d/model.txt", false, 511, "/d/model.VOQ", "File /d/model.txt has changed.  Save?"},
      {"/d/m.voq", false, 511, "/d/m.voq", "File /d/m.voq has changed.  Save?"},
      {"/d.x/noext", true, 510, "/d.x/noext.VOQ",
       "This file has been saved as /d.x/noext.  Do you wish to save it as /d.x/noext.VOQ?"},
  };
  for (const Case& c : cases) {
    const TSaveChangesQuestion q = SaveChangesQuestion(c.file, c.unchanged);
    EXPECT_EQ(q.Ask, c.message != 0) << c.file;
    EXPECT_EQ(q.Message, c.message) << c.file;
    EXPECT_EQ(q.SaveName, c.saveName) << c.file;
    EXPECT_EQ(q.Text, c.text) << c.file;
  }
}

TEST(SaveAsSetupTest, TemplateFilterAndProposedName) {
  struct Case {
    const char* file;
    int32_t unused;
    bool compiled;
    int32_t lastError;
    const char* templ;
    int32_t filter;
    const char* proposed;
  };
  const Case cases[] = {
      {"/d/m.voq", 150, true, 0, "PURGEVARS", 1, "/d/m"},
      {"/d/m.lib", 150, false, 70, "PURGEVARS", 2, "/d/m"},
      {"/d/m.xpt", 150, false, 0, "SAVEASOLD", 3, "/d/m"},
      {"/d/m.Txt", 100, true, 0, "SAVEASOLD", 4, "/d/m"},
      {"/d/m.dat", 0, true, 0, "SAVEASOLD", 1, "/d/m"},
      {"", 0, false, 0, "SAVEASOLD", 1, ""},
  };
  for (const Case& c : cases) {
    const TSaveAsSetup s = SaveAsDialogSetup(c.file, c.unused, c.compiled, c.lastError);
    EXPECT_EQ(s.Template, c.templ) << c.file;
    EXPECT_EQ(s.UnusedCount, s.Template == "PURGEVARS" ? c.unused : 0) << c.file;
    EXPECT_EQ(s.FilterIndex, c.filter) << c.file;
    EXPECT_EQ(s.ProposedName, c.proposed) << c.file;
  }
  EXPECT_EQ(PurgeBoxCaption(150), "Purge 150 unused variables");
}

TEST(UnusedVariablesTest, CountsVariablesNoEquationUses) {
  for (const char* name : {"A", "B", "C", "D"}) AddVariable(name);
  ASSERT_EQ(MainProgramUnit->VariableCount, 4);
  for (int32_t i = 1; i <= 4; ++i) MainProgramUnit->Variable(i)->UnknownPosition = 0;
  MainProgramUnit->Variable(2)->UnknownPosition = 1;
  EXPECT_EQ(CountUnusedVariables(), 3);
}

TEST(AutoSaveTest, IntervalAndWhatATickDoes) {
  EXPECT_EQ(AutoSaveInterval(10), 600000);
  EXPECT_EQ(AutoSaveInterval(0), 0);
  EXPECT_EQ(AutoSaveTickAction("/d/m.voq", {}), TAutoSaveAction::WriteCopy);
  EXPECT_EQ(AutoSaveTickAction("", {}), TAutoSaveAction::AskForName);
  TAutoSaveConditions recording;
  recording.MacroRecording = true;
  EXPECT_EQ(AutoSaveTickAction("/d/m.voq", recording), TAutoSaveAction::Nothing);
  EXPECT_EQ(AutoSaveTickAction("", recording), TAutoSaveAction::Nothing);
  for (int k = 0; k < 4; ++k) {
    TAutoSaveConditions c;
    (k == 0 ? c.PlayingMacro : k == 1 ? c.PlayingFromMacroWindow : k == 2 ? c.DdeCommand : c.Distributable) = true;
    EXPECT_EQ(AutoSaveTickAction("/d/m.voq", c), TAutoSaveAction::Nothing) << k;
  }
}

}  // namespace
}  // namespace voq

#include "shell/help_text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "qt_app.h"

namespace voq {
namespace {

class RecordingLauncher : public HelpLauncher {
 public:
  bool OpenHelpFile(const std::string& helpFile, int32_t context) override {
    helpFiles.push_back(helpFile);
    contexts.push_back(context);
    return canOpen;
  }
  void OpenInBrowser(const std::string& target) override { browsed.push_back(target); }
  bool canOpen = true;
  std::vector<std::string> helpFiles;
  std::vector<int32_t> contexts;
  std::vector<std::string> browsed;
};

class HelpTextTest : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = testing::MakeTempFolder("voq_help"); }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = dir_ + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  THelpWindowText Block(const std::string& path, const std::string& item, bool join) {
    THelpRequest r;
    r.HelpFileName = path;
    r.ItemName = item;
    r.BlockMode = true;
    r.JoinLines = join;
    return ShowItemHelp(r, launcher_);
  }
  // A file in the library form: the "$SB1" string (length byte first) in
  // 31 bytes, the text's length in 4 bytes little-endian, the text.
  static std::string LibraryForm(const std::string& text, const std::string& tail) {
    const std::string id = "$SB1-6.462";
    std::string bytes(1, char(id.size()));
    bytes += id;
    bytes.resize(31, '\0');
    const uint32_t n = uint32_t(text.size());
    for (int k = 0; k < 4; ++k) bytes += char((n >> (8 * k)) & 0xFF);
    return bytes + text + tail;
  }

  std::string dir_;
  ScriptedPlatform platform_;
  ScopedPlatform scoped_{platform_};
  RecordingLauncher launcher_;
};

TEST_F(HelpTextTest, BlockIsFoundByTheBeginningOfItsName) {
  const std::string lib = Write("lib.txt",
                                "FUNCTION MyFunc(x)\r\n  MyFunc := x\r\nEND\r\n"
                                "{$MYFUNC\r\nReturns its argument.\r\nUse it anywhere\r\n}\r\n"
                                "{$OTHER text}\r\n");
  THelpWindowText t = Block(lib, "MYFUNC", false);
  EXPECT_EQ(t.Caption, "Help for MYFUNC");
  EXPECT_FALSE(t.ShownExternally);
  // Every line keeps its own line; the brace and what follows are not shown.
  EXPECT_EQ(t.Text, "Returns its argument.  \r\nUse it anywhere \r\n");

  // An earlier MYFUNCTION block answers a request for MYFUNC.
  const std::string both = Write("both.txt",
                                 "{$MYFUNCTION first\r\nblock.\r\n}\r\n{$MYFUNC\r\nsecond\r\n}\r\n");
  EXPECT_EQ(Block(both, "MYFUNC", true).Text, "TION firstblock.  ");
  // A block on one line ends at its own brace.
  EXPECT_EQ(Block(lib, "OTHER", true).Text, "\r\n text");
}

// Joined lines: a full stop is followed by two blanks, other lines by one;
// an empty line is a paragraph break; a line beginning with a blank starts
// a new line.
TEST_F(HelpTextTest, JoinedLinesFlowIntoParagraphs) {
  const std::string lib = Write("join.txt",
                                "{$F\r\nFirst line.\r\nword\r\n\r\nNext paragraph \r\n  indented\r\nend}\r\n");
  EXPECT_EQ(Block(lib, "F", true).Text,
            "First line.  word \r\n\r\nNext paragraph \r\n  indented end ");
}

TEST_F(HelpTextTest, MissingBlocksAndFilesAreSaidInTheText) {
  const std::string lib = Write("none.txt", "{$ABC\r\nx\r\n}\r\n");
  EXPECT_EQ(Block(lib, "XYZ", true).Text, "Help has not been provided for XYZ.");
  const std::string missing = dir_ + "/missing.lib";
  EXPECT_EQ(Block(missing, "XYZ", true).Text,
            "Help information is not available for XYZ in file " + missing + ".  (Error 2)");
  // Without block mode the whole file is the help; a missing file is empty.
  THelpRequest r;
  r.HelpFileName = lib;
  r.ItemName = "ABC";
  EXPECT_EQ(ShowItemHelp(r, launcher_).Text, "{$ABC\r\nx\r\n}\r\n");
  r.HelpFileName = missing;
  EXPECT_EQ(ShowItemHelp(r, launcher_).Text, "");
  EXPECT_TRUE(platform_.alerts.empty());
}

// Message 409 names the size and the limit, for help and for listings.
TEST_F(HelpTextTest, FilesOverTheBufferGive409WithTheirSize) {
  const std::string big = Write("big.txt", std::string(196609, 'a'));
  THelpWindowText t = Block(big, "A", true);
  EXPECT_TRUE(t.Failed);
  ASSERT_EQ(platform_.alerts.size(), 1u);
  EXPECT_EQ(platform_.alerts[0].text,
            "This file contains 196609 characters.  The maximum is 196608 characters.  Sorry...");
  EXPECT_EQ(platform_.alerts[0].kind, kAlertInfoOk);
  THelpRequest r;
  r.HelpFileName = big;
  r.ListingMode = true;
  EXPECT_TRUE(SetupHelpWindow(r, launcher_).Failed);
  ASSERT_EQ(platform_.alerts.size(), 2u);
  EXPECT_EQ(platform_.alerts[1].text, platform_.alerts[0].text);
  // Exactly the buffer's size is shown.
  const std::string fits = Write("fits.txt", std::string(196608, 'a'));
  r.HelpFileName = fits;
  EXPECT_EQ(SetupHelpWindow(r, launcher_).Text.size(), 196608u);
}

TEST_F(HelpTextTest, ListingShowsOnlyTheEquationText) {
  THelpRequest r;
  r.ItemName = "PUMP.LIB";
  r.ListingMode = true;
  r.SearchText = "Pump";
  r.HelpFileName = Write("pump.lib", LibraryForm("x = 1\r\nPump = 2*x\r\n", std::string("\x05units", 6)));
  THelpWindowText t = SetupHelpWindow(r, launcher_);
  EXPECT_EQ(t.Caption, "Listing of PUMP.LIB");
  EXPECT_EQ(t.Text, "x = 1\r\nPump = 2*x\r\n");
  EXPECT_EQ(t.SelStart, 7);
  EXPECT_EQ(t.SelLength, 4);
  EXPECT_EQ(t.TopLine, 1);

  // A saved text file: the separator directive and the closing zero byte
  // are not shown.
  r.HelpFileName = Write("pump.txt", std::string("{$DS.}y = 3\r\n\0", 14));
  r.SearchText = "absent";
  t = SetupHelpWindow(r, launcher_);
  EXPECT_EQ(t.Text, "y = 3\r\n");
  EXPECT_EQ(t.SelStart, -1);
  EXPECT_TRUE(platform_.alerts.empty());

  // A length past the end of the file, or no file: "Error in reading".
  for (const std::string& path : {Write("cut.lib", LibraryForm("x = 1\r\n", "").substr(0, 38)),
                                  dir_ + "/absent.lib"}) {
    r.HelpFileName = path;
    EXPECT_TRUE(SetupHelpWindow(r, launcher_).Failed);
    ASSERT_FALSE(platform_.alerts.empty());
    EXPECT_EQ(platform_.alerts.back().text, "Error in reading " + path);
    EXPECT_EQ(platform_.alerts.back().kind, kAlertErrorOk);
  }
}

// A Windows help file goes to the help engine at the context its ".CTX"
// file gives the item, or at its contents page; an HTML page to the
// browser.
TEST_F(HelpTextTest, HelpFilesAndPagesAreShownExternally) {
  const std::string hlp = Write("PUMPS.HLP", "?_\x03\x00 help");
  Write("PUMPS.CTX", "10 Centrifugal pump\r\n 220  Pump_Head details\r\n");
  THelpRequest r;
  r.HelpFileName = hlp;
  r.ItemName = "pump_head";
  EXPECT_TRUE(ShowItemHelp(r, launcher_).ShownExternally);
  r.ItemName = "Compressor";
  EXPECT_TRUE(ShowItemHelp(r, launcher_).ShownExternally);
  EXPECT_EQ(launcher_.helpFiles, (std::vector<std::string>{hlp, hlp}));
  EXPECT_EQ(launcher_.contexts, (std::vector<int32_t>{220, 0}));
  // A help engine that cannot show it leaves the window to say so.
  launcher_.canOpen = false;
  THelpWindowText t = ShowItemHelp(r, launcher_);
  EXPECT_FALSE(t.ShownExternally);
  EXPECT_EQ(t.Text, "Help has not been provided for Compressor.");

  r.HelpFileName = Write("page.htm", "\r\n  <html><body>Pump</body></html>\r\n");
  EXPECT_TRUE(ShowItemHelp(r, launcher_).ShownExternally);
  EXPECT_EQ(launcher_.browsed, (std::vector<std::string>{r.HelpFileName}));
}

class MapAssociations : public FileAssociations {
 public:
  bool ReadDefaultValue(const std::string& key, std::string& value) override {
    auto it = keys.find(key);
    if (it == keys.end()) return false;
    value = it->second;
    return true;
  }
  std::map<std::string, std::string> keys;
};

TEST(FileAssociationsTest, TheRegisteredProgramIsItsBarePath) {
  struct Case {
    std::map<std::string, std::string> keys;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {{{".HTM\\shell\\open\\command", "\"C:\\Web\\browser.exe\" -nohome \"%1\""}}, "C:\\Web\\browser.exe"},
      {{{".HTM", "htmlfile"}, {"htmlfile\\shell\\open\\command", "C:\\Web\\view.exe %1"}}, "C:\\Web\\view.exe"},
      {{{".HTM", ""}, {"\\shell\\open\\command", "C:\\wrong.exe"}}, ""},
      {{{".HTM", "htmlfile"}}, ""},
      {{}, ""},
  };
  for (const Case& c : cases) {
    MapAssociations a;
    a.keys = c.keys;
    EXPECT_EQ(FindAssociatedCommand("HTM", a), c.expected);
  }
  MapAssociations none;
  EXPECT_EQ(BrowserCommandLine("page.htm", none), " page.htm");
}

TEST(AppendHelpTextTest, BufferLimitDropsTheRest) {
  std::string b;
  AppendHelpText(b, "a");
  AppendHelpText(b, " b");
  AppendHelpText(b, "");
  EXPECT_EQ(b, "a\r\n b\r\n\r\n");
  b.assign(kHelpTextBufferSize - 2, 'x');
  AppendHelpText(b, "abc");
  EXPECT_EQ(b.size(), kHelpTextBufferSize);
  EXPECT_EQ(b.substr(b.size() - 2), "ab");
  AppendHelpText(b, "more");
  EXPECT_EQ(b.size(), kHelpTextBufferSize);
}

}  // namespace
}  // namespace voq

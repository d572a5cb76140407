#include "shell/command_line.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "shell/shell_state.h"
#include "qt_app.h"

namespace voq {
namespace {

struct StartCase {
  std::vector<std::string> params;
  bool macro;
  bool hidden;
  bool skipsCheck;
};

TEST(CommandLine, FirstParameterChoosesTheStartMode) {
  const StartCase cases[] = {
      {{"model.vmf"}, true, false, false},
      {{"MODEL.VMFX"}, true, false, false},
      {{"C:/runs.d/model.Vmf", "/hide"}, true, false, false},
      {{"/hide"}, false, true, false},
      {{"/HIDE"}, false, true, false},
      {{"-hide"}, false, false, false},
      {{"/HIDE2"}, false, false, false},
      {{"folder.vmf/plain"}, false, false, false},
      {{"doc.voq", "x/Multi"}, false, false, true},
      {{"/MULT"}, false, false, true},
      {{}, false, false, false},
  };
  for (const StartCase& c : cases) {
    const std::string label = c.params.empty() ? std::string("(none)") : c.params.front();
    const TStartMode mode = ParseStartMode(c.params);
    EXPECT_EQ(mode.PlayingMacroFile, c.macro) << label;
    EXPECT_EQ(mode.HiddenMode, c.hidden) << label;
    EXPECT_EQ(mode.MacroFile, c.macro ? c.params.front() : std::string()) << label;
    // Anything that is neither a macro nor /HIDE is a document to open.
    EXPECT_EQ(mode.FirstParameter, c.params.empty() ? std::string() : c.params.front()) << label;
    EXPECT_EQ(SkipsCopyCheck(c.params), c.skipsCheck) << label;
  }
}

TEST(CommandLine, ModelNumberParameter) {
  EXPECT_EQ(GetModelNumberParameter({"/MULT", "/3"}), 3);
  EXPECT_EQ(GetModelNumberParameter({"/9"}), 1);
  EXPECT_EQ(GetModelNumberParameter({}), 1);
  EXPECT_EQ(GetModelNumberParameter({"/HIDE", "/5", "/2"}), 5);
  EXPECT_EQ(GetModelNumberParameter({"3"}), 1);
}

TEST(CommandLine, MacroFileNameIsCutTo255Characters) {
  const std::string longName = std::string(300, 'a') + ".vmf";
  EXPECT_EQ(ParseStartMode({longName}).MacroFile, longName.substr(0, 255));
}

TEST(DirectorySettings, ListIsAlwaysThreeEntriesAtLeast) {
  struct Case {
    const char* content;  // nullptr: no file
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {nullptr, {"", "", ""}},
      {"one\r\n", {"", "", ""}},
      {"lib\r\nplots\r\n", {"lib", "plots", ""}},
      {"lib\nplots\nmacros\n", {"lib", "plots", "macros"}},
      {"a\nb\nc\nd\n", {"a", "b", "c", "d"}},
  };
  for (const Case& c : cases) {
    const std::string dir = testing::MakeTempFolder("voq_dir");
    if (c.content != nullptr) std::ofstream(dir + "/VOQ.DIR", std::ios::binary) << c.content;
    ReadDirectorySettings(dir);
    EXPECT_EQ(DirectorySettings, c.expected) << (c.content ? c.content : "(no file)");
    std::filesystem::remove_all(dir);
  }
}

}  // namespace
}  // namespace voq

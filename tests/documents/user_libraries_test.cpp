// User libraries loaded at start from USERLIB (and its immediate subfolders)
// under the choices of LibraryManager.txt, and the library-file form they
// are read in. Every test builds its own program folder named after this
// process.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/text_utils.h"
#include "documents/library_file.h"
#include "documents/user_libraries.h"
#include "language/store_fixture.h"
#include "model/external_routines.h"
#include "model/program_units.h"
#include "model/routines.h"
#include "model/store_state.h"
#include "platform/dynamic_library.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "session/compile_driver.h"

namespace voq {
namespace {

namespace fs = std::filesystem;

constexpr const char* kLibraryText =
    "FUNCTION LibF(x)\r\n"
    "  LibF := 3*x\r\n"
    "END\r\n"
    "MODULE LibMod(a : b)\r\n"
    "  b = 2*a\r\n"
    "END\r\n";

void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class UserLibrariesTest : public testing::LanguageStoreTest {
 protected:
  void SetUp() override {
    LanguageStoreTest::SetUp();
    SetEquationsEditor(&editor);
    program = fs::temp_directory_path() / ("voq_userlib_" + std::to_string(getpid()));
    fs::remove_all(program);
    userlib = program / "USERLIB";
    fs::create_directories(userlib / "SUB" / "DEEPER");
    saved = CurrentDirectoryPath();
  }
  void TearDown() override {
    SetCurrentDirectoryPath(saved);
    fs::remove_all(program);
    SetEquationsEditor(nullptr);
    LanguageStoreTest::TearDown();
  }
  int32_t Solve(const std::string& text) {
    editor.SetText(text);
    EquationsCompiled = false;
    CompileEquations(false, false);
    return CalcErrorCode;
  }
  double Value(const std::string& name) {
    const TVariableRecord* v = VarNamed(name);
    return v != nullptr ? static_cast<double>(v->Value) : -1;
  }
  std::string Key(const fs::path& file) { return file.string(); }

  ScriptedPlatform platform;
  ScopedPlatform scoped{platform};
  InMemoryEquationsEditor editor;
  fs::path program;
  fs::path userlib;
  std::string saved;
};

TEST_F(UserLibrariesTest, LoadsUserlibUnderTheManagersChoices) {
  WriteText(userlib / "mylib.LIB", kLibraryText);
  WriteText(userlib / "skipped.LIB", "FUNCTION Skipped(x)\r\n  Skipped := x\r\nEND\r\n");
  fs::copy_file(fs::path(VOQ_TEST_LIBRARY_DIR) / "TWICE.DLF", userlib / "SUB" / "TWICE.DLF");
  fs::copy_file(fs::path(VOQ_TEST_LIBRARY_DIR) / "ECHO.FDL", userlib / "SUB" / "DEEPER" / "ECHO.FDL");
  const std::string skippedLine = Key(userlib / "skipped.LIB") + " N";
  WriteText(userlib / kLibraryManagerFile, skippedLine + "\r\n" + Key(userlib / "gone.LIB") + " Y\r\n");

  std::vector<std::string> shown;
  ReadExternals(program.string(), "", [&](const std::string& text) { shown.push_back(text); });
  EXPECT_EQ(shown, std::vector<std::string>{"Loading user library... "});
  EXPECT_EQ(CurrentDirectoryPath(), saved);
  EXPECT_EQ(CalcErrorCode, 0) << MessageText;

  EXPECT_GT(FindRoutineSlot("LIBF"), 0);
  EXPECT_EQ(FindRoutineSlot("SKIPPED"), 0);
  const TRoutineRecord* libF = RoutineAt(FindRoutineSlot("LIBF"));
  ASSERT_NE(libF, nullptr);
  EXPECT_EQ(libF->IsLibrary, 1);
  EXPECT_EQ(libF->LibraryTexts[0], (userlib / "mylib.LIB").string());
  EXPECT_EQ(libF->LibraryTexts[1], "$");
  EXPECT_NE(FindExternalFunctionByName("TWICE"), nullptr);   // an immediate subfolder
  EXPECT_EQ(FindExternalProcedureByName("ECHO"), nullptr);   // one level deeper
  // A function and a module: the library is listed.
  EXPECT_EQ(LibraryFileList, std::vector<std::string>{(userlib / "mylib.LIB").string()});

  // The manager keeps the N line, drops the vanished file, and records the
  // files met for the first time in capitals.
  const std::string manager = ReadText(userlib / kLibraryManagerFile);
  EXPECT_NE(manager.find(skippedLine + "\r\n"), std::string::npos) << manager;
  EXPECT_EQ(manager.find("gone.LIB"), std::string::npos) << manager;
  EXPECT_NE(manager.find(UpperCaseText(Key(userlib / "mylib.LIB")) + " Y\r\n"), std::string::npos) << manager;
  EXPECT_NE(manager.find(UpperCaseText(Key(userlib / "SUB" / "TWICE.DLF")) + " Y\r\n"), std::string::npos)
      << manager;

  // The document calls the library's function and module and the external
  // function.
  ASSERT_EQ(Solve("y = LibF(2) + TWICE(1)\r\nCALL LibMod(4 : z)"), 0) << MessageText;
  EXPECT_NEAR(Value("y"), 8, 1e-9);
  EXPECT_NEAR(Value("z"), 8, 1e-9);
}

TEST_F(UserLibrariesTest, NothingIsScannedWithCtrlHeldOrWithoutUserlib) {
  WriteText(userlib / "mylib.LIB", kLibraryText);
  const std::string manager = Key(userlib / "gone.LIB") + " Y\r\n";
  WriteText(userlib / kLibraryManagerFile, manager);
  platform.ctrlDown = true;
  ReadExternals(program.string(), "");
  platform.ctrlDown = false;
  EXPECT_EQ(FindRoutineSlot("LIBF"), 0);
  EXPECT_EQ(ReadText(userlib / kLibraryManagerFile), manager);

  fs::remove_all(userlib);
  ReadExternals(program.string(), "");
  EXPECT_FALSE(fs::exists(userlib));
  EXPECT_EQ(CurrentDirectoryPath(), saved);
}

// The routines of a folder are sorted by name after loading; a routine that
// calls another still reaches it, at every solve.
TEST_F(UserLibrariesTest, SortedRoutinesStillCallEachOther) {
  WriteText(userlib / "calls.LIB",
            "FUNCTION BB(x)\r\n  BB := x + 1\r\nEND\r\nFUNCTION AA(x)\r\n  AA := 2*BB(x)\r\nEND\r\n");
  const fs::path extra = program / "EXTRA";
  fs::create_directories(extra);
  fs::copy_file(fs::path(VOQ_TEST_LIBRARY_DIR) / "PAIR.DLP", extra / "PAIR.DLP");
  ReadExternals(program.string(), extra.string());
  EXPECT_EQ(FindRoutineSlot("AA"), 1);
  EXPECT_EQ(FindRoutineSlot("BB"), 2);
  EXPECT_NE(FindExternalProcedureByName("PAIR"), nullptr);  // the additional folder
  for (int run = 0; run < 2; ++run) {
    ASSERT_EQ(Solve("y = AA(3)\r\nCALL PAIR(1, 2 : s, p)"), 0) << MessageText;
    EXPECT_NEAR(Value("y"), 8, 1e-9);
    EXPECT_NEAR(Value("s"), 3, 1e-9);
  }
}

// A second load of a library file asks before reloading; as an include it is
// kept without a question.
TEST_F(UserLibrariesTest, LoadingTwiceAsksOrKeeps) {
  WriteText(program / "one.LIB", "FUNCTION OnlyOne(x)\r\n  OnlyOne := x\r\nEND\r\n");
  LoadLibraryFile((program / "one.LIB").string(), false);
  EXPECT_GT(FindRoutineSlot("ONLYONE"), 0);
  EXPECT_TRUE(LibraryFileList.empty());  // a single routine is not listed
  platform.alerts.clear();
  LoadLibraryFile((program / "one.LIB").string(), true);
  EXPECT_TRUE(platform.alerts.empty());
  LoadLibraryFile((program / "one.LIB").string(), false);
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].text, "Library file one.LIB has been previously loaded.  Reload?");
}

// An $INCLUDE of a library file in the middle of a document: the equations
// on both sides of it solve, whether the file is named by its full path or
// by a folder relative to the current directory (which the loader leaves to
// read from inside the library's folder).
TEST_F(UserLibrariesTest, IncludedLibraryBetweenEquations) {
  WriteText(program / "inc.LIB", kLibraryText);
  SetCurrentDirectoryPath(program.parent_path().string());
  const std::string names[] = {(program / "inc.LIB").string(), (program.filename() / "inc.LIB").string()};
  for (const std::string& name : names) {
    for (int run = 0; run < 2; ++run) {
      ASSERT_EQ(Solve("a = 2\r\n$INCLUDE " + name + "\r\ny = LibF(a)\r\nCALL LibMod(a : z)"), 0)
          << name << ": " << MessageText;
      EXPECT_NEAR(Value("y"), 6, 1e-9) << name;
      EXPECT_NEAR(Value("z"), 4, 1e-9) << name;
    }
  }
}

std::vector<uint8_t> LibraryBytes(const std::string& header, const std::string& text, int32_t lengthFix = 0) {
  std::vector<uint8_t> b(31, 0);
  b[0] = static_cast<uint8_t>(header.size());
  std::copy(header.begin(), header.end(), b.begin() + 1);
  const int32_t length = static_cast<int32_t>(text.size()) + 1 + lengthFix;
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(static_cast<uint32_t>(length) >> (8 * i)));
  b.insert(b.end(), text.begin(), text.end());
  b.push_back(0);
  b.push_back(0);  // int16 0: no program units
  b.push_back(0);
  return b;
}

TEST_F(UserLibrariesTest, LibraryFormAndPlainText) {
  struct Case {
    std::string header;
    char separator;
    std::string version;
  };
  const Case cases[] = {{"$SB1-X6.462\r", '.', "6.462"}, {"$SB1-,C6,462\r", ',', "6,462"}};
  for (const Case& c : cases) {
    TLibraryFileContents contents;
    std::string error;
    ASSERT_TRUE(ReadLibraryBytes(LibraryBytes(c.header, kLibraryText), contents, error)) << error;
    EXPECT_TRUE(contents.LibraryForm);
    EXPECT_EQ(contents.DecimalSeparator, c.separator);
    EXPECT_EQ(contents.Version, c.version);
    EXPECT_EQ(contents.Text, kLibraryText);
  }
  TLibraryFileContents contents;
  std::string error;
  EXPECT_FALSE(ReadLibraryBytes(LibraryBytes("$SB1-X6.462\r", "x = 1", 1000), contents, error));
  const std::string plain = "FUNCTION P(x)\r\n  P := x\r\nEND\r\n";
  ASSERT_TRUE(ReadLibraryBytes(std::vector<uint8_t>(plain.begin(), plain.end()), contents, error));
  EXPECT_FALSE(contents.LibraryForm);
  EXPECT_EQ(contents.Text, plain);
}

// The library form read from USERLIB compiles like the plain text.
TEST_F(UserLibrariesTest, LibraryFormFileLoads) {
  const std::vector<uint8_t> bytes = LibraryBytes("$SB1-X6.462\r", kLibraryText);
  std::ofstream(userlib / "form.LIB", std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  ReadExternals(program.string(), "");
  ASSERT_EQ(Solve("y = LibF(5)\r\nCALL LibMod(1 : z)"), 0) << MessageText;
  EXPECT_NEAR(Value("y"), 15, 1e-9);
  EXPECT_NEAR(Value("z"), 2, 1e-9);
}

}  // namespace
}  // namespace voq

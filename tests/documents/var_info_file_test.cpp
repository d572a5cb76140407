// Variable information files: the line of a variable, the merge into an
// existing file and its order, the header, the reading under either decimal
// separator, module prefixes, and the failures (missing file, an unreadable
// number).
#include "documents/var_info_file.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/extended.h"
#include "core/locale_settings.h"
#include "core/search_path.h"
#include "file_bytes.h"
#include "language/store_fixture.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "session/compile_driver.h"

namespace voq {
namespace {

namespace fs = std::filesystem;

using testing::ReadFileBytes;
using testing::WriteFileBytes;

class VarInfoFileTest : public testing::LanguageStoreTest {
 protected:
  void SetUp() override {
    SetEquationsEditor(&editor);
    platform.ticks = 100000;  // past the beep throttle
    dir = fs::temp_directory_path() / ("voq_varinfo_" + std::to_string(getpid()) + "_" +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override {
    fs::remove_all(dir);
    SetEquationsEditor(nullptr);
    // A read learns the file's separator; the next test starts from ours.
    SavedDecimalSeparator = savedSeparator;
  }
  void Compile(const std::string& text) {
    editor.SetText(text);
    EquationsCompiled = false;
    CompileEquations(false, false);
    CurrentProgramUnit = MainProgramUnit;
  }
  ScriptedPlatform platform;
  ScopedPlatform scoped{platform};
  InMemoryEquationsEditor editor;
  fs::path dir;
  const char savedSeparator = SavedDecimalSeparator;
};

TEST_F(VarInfoFileTest, LineHoldsSevenFieldsInTheVariablesOwnFormats) {
  Compile("x = 2\r\ny = x + 1\r\n");
  TVariableRecord* x = VarNamed("x");
  x->Guess = 1.5L;
  x->Style = 1;
  x->Digits = 3;
  x->LowerLimit = -InfinityValue;
  x->UpperLimit = 250;
  x->DisplayCode = 1013;
  x->Units = "kJ/kg";
  // Fixed with 3 digits drops trailing zeros; limits exponential, 4 digits.
  EXPECT_EQ(VarInfoLine(*MainProgramUnit, *x), "X\t1.500\t-infinity\t2.5000E+02\tF3\t1013\tkJ/kg");
}

TEST_F(VarInfoFileTest, SavingMergesInByteOrderAndKeepsOtherUnitsLines) {
  // Names with "[" and "_" sort before and after letters in byte order: a
  // case-insensitive order would put X[1] before XA and the scan for XA
  // would stop there and add a second XA line.
  Compile("X[1] = 1\r\nXA = 2\r\nX_B = 3\r\n");
  const fs::path file = dir / "a.VAR";
  WriteFileBytes(file, "M/Q\t1\t0.0000E+0000\t1.0000E+0001\tA4\t1\t\r\n");
  ASSERT_EQ(SaveVarInfoFile(file.string(), *MainProgramUnit, ""), 0);
  VarNamed("XA")->Units = "m";
  ASSERT_EQ(SaveVarInfoFile(file.string(), *MainProgramUnit, ""), 0);
  const std::string bytes = ReadFileBytes(file);
  std::vector<std::string> names;
  std::istringstream in(bytes);
  for (std::string line; std::getline(in, line);) {
    ASSERT_EQ(line.back(), '\r');
    names.push_back(line.substr(0, line.find('\t')));
  }
  EXPECT_EQ(names, (std::vector<std::string>{"M/Q", "XA", "X[1]", "X_B"}));
  EXPECT_NE(bytes.find("XA\t1\t-infinity\tinfinity\tA4\t1\tm\r\n"), std::string::npos) << bytes;
  // The file's folder joins the search directories.
  EXPECT_EQ(SearchPathList.back(), dir.string());
}

TEST_F(VarInfoFileTest, HeaderNamesOnlyASavedDocument) {
  Compile("x = 2\r\n");
  struct Case {
    std::string document;
    std::string firstLine;
  } cases[] = {
      {"", "X\t"},                           // untitled: no header
      {"/work/pump.txt", "X\t"},             // not a document file
      {"/work/a.VOQ", "///work/a.VOQ\r\n"},  // its full name
      {"/work/b.voq", "///work/b.voq\r\n"},  // any case of the extension
  };
  for (const Case& c : cases) {
    const fs::path file = dir / "h.VAR";
    WriteFileBytes(file, "//old.VOQ\r\n");
    ASSERT_EQ(SaveVarInfoFile(file.string(), *MainProgramUnit, c.document), 0);
    const std::string bytes = ReadFileBytes(file);
    EXPECT_EQ(bytes.substr(0, c.firstLine.size()), c.firstLine) << c.document;
    EXPECT_EQ(bytes.find("//old"), std::string::npos) << c.document;
  }
}

TEST_F(VarInfoFileTest, SaveAndLoadRoundTripKeepsLimitsFormatAndCode) {
  Compile("x = y + 1\r\ny^2 = 4\r\n");
  TVariableRecord* y = VarNamed("y");
  y->Guess = -3;
  y->LowerLimit = -InfinityValue;
  y->UpperLimit = 0;
  y->Style = 0;
  y->Digits = 5;
  y->DisplayCode = 1013;
  y->Units = "m/s";
  const fs::path file = dir / "r.VAR";
  ASSERT_EQ(SaveVarInfoFile(file.string(), *MainProgramUnit, ""), 0);
  TVariableRecord fresh;
  fresh.Name = y->Name;
  fresh.UpperName = y->UpperName;
  fresh.UnknownPosition = y->UnknownPosition;
  *y = fresh;
  ReadVarInfoFile(file.string(), false, false);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(y->Guess, -3.0L);
  EXPECT_EQ(y->LowerLimit, -InfinityValue);
  EXPECT_EQ(y->UpperLimit, 0.0L);
  EXPECT_EQ(y->Style, 0);
  EXPECT_EQ(y->Digits, 5);
  EXPECT_EQ(y->DisplayCode, 1013);
  EXPECT_EQ(y->Units, "m/s");
}

TEST_F(VarInfoFileTest, CommaFileLoadsUnderAPoint) {
  Compile("A[1,2] = 3\r\nb = 4\r\n");
  const fs::path file = dir / "c.VAR";
  // Written under a decimal comma: 2-D subscripts separated by ";".
  WriteFileBytes(file, "A[1;2]\t1,5\t-2,5000E+0000\t1,0000E+0001\tF2\t1\tbar\r\nB\t2,25\t0\t9\tA4\t3\t\r\n");
  ReadVarInfoFile(file.string(), false, false);
  const TVariableRecord* a = VarNamed("A[1,2]");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->Guess, 1.5L);
  EXPECT_EQ(a->LowerLimit, -2.5L);
  EXPECT_EQ(a->UpperLimit, 10.0L);
  EXPECT_EQ(a->Units, "bar");
  EXPECT_EQ(VarNamed("b")->Guess, 2.25L);
  EXPECT_EQ(VarNamed("b")->DisplayCode, 3);
  EXPECT_EQ(SavedDecimalSeparator, ',');
}

TEST_F(VarInfoFileTest, LinesOfOtherUnitsAndUnusedVariablesAreSkipped) {
  Compile("x = 2\r\n");
  AddVariable("unused");
  const fs::path file = dir / "m.VAR";
  WriteFileBytes(file, "HX/X\t7\t0\t1\tF1\t1\tK\r\nUNUSED\t8\t0\t1\tF1\t1\tK\r\n");
  ReadVarInfoFile(file.string(), false, false);
  EXPECT_EQ(VarNamed("x")->Guess, 1.0L);
  EXPECT_EQ(VarNamed("unused")->Guess, 1.0L);
  // All variables: the unused one is set too, the module's line still not.
  ReadVarInfoFile(file.string(), true, false);
  EXPECT_EQ(VarNamed("unused")->Guess, 8.0L);
  EXPECT_EQ(VarNamed("x")->Guess, 1.0L);
}

TEST_F(VarInfoFileTest, FailuresStopTheReading) {
  Compile("x = 2\r\ny = 3\r\n");
  ReadVarInfoFile((dir / "none.VAR").string(), false, false);
  EXPECT_EQ(CalcErrorCode, 374);
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].text, "File " + (dir / "none.VAR").string() + " was not found.");
  CalcErrorCode = 0;

  // An unreadable number beeps; the lines before it keep their effect.
  const fs::path file = dir / "bad.VAR";
  WriteFileBytes(file, "X\t5\t0\t9\tA4\t1\t\r\nY\tabc\t0\t9\tA4\t1\t\r\n");
  platform.ticks += 2000;
  const int beeps = platform.beeps;
  ReadVarInfoFile(file.string(), false, false);
  EXPECT_EQ(VarNamed("x")->Guess, 5.0L);
  EXPECT_EQ(VarNamed("y")->Guess, 1.0L);
  EXPECT_EQ(platform.beeps, beeps + 1);
}

TEST_F(VarInfoFileTest, HeaderOfAnotherDocumentAsksWhenTheSourceIsChecked) {
  Compile("x = 2\r\n");
  const fs::path file = dir / "s.VAR";
  WriteFileBytes(file, "//C:\\work\\other.VOQ\r\nX\t5\t0\t9\tA4\t1\t\r\n");
  platform.alertAnswers = {7};  // No
  ReadVarInfoFile(file.string(), true, true, "/home/u/pump.VOQ");
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].text,
            "This variable information file was saved with file C:\\work\\other.VOQ.  Continue?");
  EXPECT_EQ(VarNamed("x")->Guess, 1.0L);
  // The same file name in another folder is the same document.
  ReadVarInfoFile(file.string(), true, true, "/home/u/OTHER.voq");
  EXPECT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(VarNamed("x")->Guess, 5.0L);
}

}  // namespace
}  // namespace voq

#include "language/export_after_run.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "core/calc_state.h"
#include "language/directives.h"
#include "language/statement_compiler.h"
#include "language/store_fixture.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"

namespace voq::testing {
namespace {

namespace fs = std::filesystem;

class ExportTest : public LanguageStoreTest {
 protected:
  void SetUp() override {
    LanguageStoreTest::SetUp();
    BeginTestPass();
    ExportDirectives.clear();
    FirstRun = 1;
    // One folder per process: ctest runs these tests side by side.
    dir = fs::temp_directory_path() / ("voq_export_test_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override {
    ExportDirectives.clear();
    FirstRun = 1;
    fs::remove_all(dir);
    LanguageStoreTest::TearDown();
  }

  void Compile(const std::string& statement) {
    std::string text = statement;
    CompileStatement(text, kMaxStatementLength, TStatementPosition{});
    ASSERT_EQ(CalcErrorCode, 0) << statement;
  }
  void Directive(const std::string& statement) {
    std::string text = statement;
    bool handled = false;
    ProcessDirective(text, handled);
    ASSERT_TRUE(handled);
  }
  std::string Path(const std::string& name) { return (dir / name).string(); }
  static std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  fs::path dir;
  ScriptedPlatform platform;
  ScopedPlatform scoped{platform};
};

TEST_F(ExportTest, CsvLineOfNumbersStringsAndRanges) {
  for (const char* s : {"A = 1.5", "B$ = 'text'", "C[1] = 1", "C[2] = 2", "C[3] = 3"}) Compile(s);
  Directive("$EXPORT '" + Path("out.csv") + "' A, B$, C[1..3]");
  ExportAfterRun(0);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(FileText(Path("out.csv")),
            "1.50000000E+00,'text',1.00000000E+00,2.00000000E+00,3.00000000E+00\r\n");
  // A second solve writes the file anew.
  ExportAfterRun(0);
  EXPECT_EQ(FileText(Path("out.csv")),
            "1.50000000E+00,'text',1.00000000E+00,2.00000000E+00,3.00000000E+00\r\n");
}

TEST_F(ExportTest, TxtHeaderOnlyWhenTheFileIsCreated) {
  Compile("T = 25");
  Compile("P = -0.5");
  TVariableRecord* t = VarNamed("T");
  t->Style = 1;
  t->Digits = 3;
  t->Units = "C";
  TVariableRecord* p = VarNamed("P");
  p->Style = 3;
  p->Digits = 12;
  p->Units = "";
  Directive("$EXPORT '" + Path("runs.txt") + "' T P");
  ExportAfterRun(1);  // the first run of a table run creates the file
  ExportAfterRun(2);  // later runs append
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(FileText(Path("runs.txt")),
            "-1 -2\r\nF3 T [C]\r\nA1 P \r\n"
            "2.50000000E+01,-5.00000000E-01\r\n"
            "2.50000000E+01,-5.00000000E-01\r\n");
}

TEST_F(ExportTest, AppendOnlyWhenAskedOrInLaterRuns) {
  Compile("x = 2");
  Directive("$EXPORT /A '" + Path("a.csv") + "' x");
  ExportAfterRun(0);  // the file does not exist yet: created
  ExportAfterRun(0);  // now appended to
  EXPECT_EQ(FileText(Path("a.csv")), "2.00000000E+00\r\n2.00000000E+00\r\n");
}

TEST_F(ExportTest, ClipboardGrowsByOneLinePerRun) {
  Compile("x = 2");
  Directive("$EXPORT CLIPBOARD x");
  platform.clipboard = "old";
  platform.hasClipboardText = true;
  ExportAfterRun(1);
  EXPECT_EQ(platform.clipboard, "2.00000000E+00");
  ExportAfterRun(2);
  ExportAfterRun(3);
  EXPECT_EQ(platform.clipboard, "2.00000000E+00\r\n2.00000000E+00\r\n2.00000000E+00");
}

TEST_F(ExportTest, ElementsInRowOrderAndUnmetVariables) {
  for (const char* s : {"X[1,1] = 11", "X[1,2] = 12", "X[2,1] = 21", "X[2,2] = 22"}) Compile(s);
  // A variable known from an earlier read but not met in this one is -999.
  Compile("u = v + 1");
  VarNamed("u")->UnknownPosition = 0;
  Directive("$EXPORT CLIPBOARD X[1..2,1..2] u missing");
  ExportAfterRun(0);
  EXPECT_EQ(CalcErrorCode, 564);
  EXPECT_EQ(MessageArgs[1], "MISSING");
  EXPECT_EQ(platform.clipboard,
            "1.10000000E+01,1.20000000E+01,2.10000000E+01,2.20000000E+01,-9.99000000E+02");
}

TEST_F(ExportTest, TargetErrorsEndTheExport) {
  Compile("x = 2");
  Directive("$EXPORT 'out.dat' x");
  Directive("$EXPORT CLIPBOARD x");
  ExportAfterRun(0);
  EXPECT_EQ(CalcErrorCode, 565);
  EXPECT_FALSE(platform.hasClipboardText);  // the second directive never ran

  ExportDirectives.clear();
  CalcErrorCode = 0;
  Directive("$EXPORT S$ x");
  ExportAfterRun(0);
  EXPECT_EQ(CalcErrorCode, 566);
  EXPECT_EQ(MessageArgs[1], "S$");
  EXPECT_EQ(MessageArgs[2], "$Export");

  // A string variable naming the file.
  ExportDirectives.clear();
  CalcErrorCode = 0;
  Compile("F$ = '" + Path("named.csv") + "'");
  Directive("$EXPORT F$ x");
  ExportAfterRun(0);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(FileText(Path("named.csv")), "2.00000000E+00\r\n");
}

TEST_F(ExportTest, RangeBounds) {
  Compile("N = 3");
  Compile("M = z + 1");
  const struct {
    const char* item;
    std::vector<std::string> names;
    int32_t error;
  } cases[] = {
      {"X[1..N]", {"X[1]", "X[2]", "X[3]"}, 0},
      {"X[2,1..2]", {"X[2,1]", "X[2,2]"}, 0},
      {"X[3..1]", {}, 0},
      {"X[1..M]", {}, 265},
      {"X[1..2.5]", {}, 265},
      {"X[..2]", {}, 265},
      {"X[1,2]", {}, 3},
      {"X1..2", {}, 3},
      {"X[1..3,5", {}, 3},
      {"X[1..2,1..2,1..2,1..2]", {}, 266},
      {"X[1..1000000]", {}, 265},  // more elements than a program holds
      {"X[1..200,1..200]", {}, 265},
  };
  for (const auto& c : cases) {
    CalcErrorCode = 0;
    EXPECT_EQ(ExpandArrayRange(c.item), c.names) << c.item;
    EXPECT_EQ(CalcErrorCode, c.error) << c.item;
  }
  CalcErrorCode = 0;
  EXPECT_EQ(ReadRangeBound("Q"), 0);  // no such variable
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(SplitExportItem("X[1, 2] y"), 8);
  EXPECT_EQ(SplitExportItem("abc"), 4);
}

}  // namespace
}  // namespace voq::testing

// The headless front end's own behaviour through the voq-solve binary:
// output forms, directives that act after the solve, questions, usage and
// files that are not equations. Equation cases compared with their
// reference values are data in tests/cases, run by cases_test.cpp.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "solver_process.h"

namespace {

using voq::testing::ReadFileText;
using voq::testing::RunVoqSolve;
using voq::testing::SolverRun;
using voq::testing::TempPath;
using voq::testing::WriteTempFile;

TEST(VoqSolveTest, SolutionLinesAsTheSolutionWindowSavesThem) {
  const std::string units = WriteTempFile("units.txt", "L = 2.5 {[m]}\r\nA = L^2\r\n");
  const SolverRun u = RunVoqSolve({units});
  ASSERT_EQ(u.status, 0) << u.err;
  EXPECT_EQ(u.out, "A=6.25\nL=2.5 [m]\n");

  const SolverRun d = RunVoqSolve({"--digits", "4", units});
  EXPECT_EQ(d.out, "A=6.250E+00\nL=2.500E+00 [m]\n");

  // Units that name a string variable show its text, as the saved text does.
  const SolverRun s = RunVoqSolve({WriteTempFile("string_units.txt", "u$ = 'kPa'\r\nP = 100 {[u$]}\r\n")});
  ASSERT_EQ(s.status, 0) << s.err;
  EXPECT_EQ(s.out, "P=100 [kPa]\nu$=kPa\n");
}

// A new document measures angles in degrees: sin 30 deg = sin(pi/6 rad) =
// 1/2 (by hand). The degree factor is the stored 0.017453293, so the value
// is 0.5 to the eight digits shown.
TEST(VoqSolveTest, TrigonometryFollowsTheAngleUnit) {
  struct Case {
    const char* text;
    const char* output;
  };
  const Case cases[] = {
      {"x = SIN(30)\n", "x=0.5\n"},
      {"$UNITSYSTEM RAD\nx = SIN(PI/6)\n", "x=0.5\n"},
  };
  for (const Case& c : cases) {
    const SolverRun r = RunVoqSolve({WriteTempFile("angle.txt", c.text)});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, c.output) << c.text;
  }
}

TEST(VoqSolveTest, ResidualsListEveryEquation) {
  const std::string file = WriteTempFile("block.txt", "x^2 + y^2 = 25\nx - y = 1\n");
  const SolverRun r = RunVoqSolve({"--residuals", file});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("x=4\ny=3\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Block  Relative residual  Equation\n1  "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("  x-y=1\n"), std::string::npos) << r.out;
}

// Statements that call a routine are marked never to be reused; the mark
// is no part of the text shown.
TEST(VoqSolveTest, EquationTextsShowNoReuseMark) {
  const std::string calls = WriteTempFile("calls.txt",
                                      "FUNCTION One(x)\n  One := 1\nEND\n"
                                      "x + y = 3\ny = One(x)*x\n");
  const SolverRun r = RunVoqSolve({"--residuals", calls});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("  y=One(x)*x\n"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find('~'), std::string::npos) << r.out;
  // One(x) does not change with x: the warning names the equation as written.
  const SolverRun flat = RunVoqSolve({WriteTempFile("flat_call.txt", "FUNCTION One(x)\n  One := 1\nEND\n2 = One(x)\n")});
  EXPECT_EQ(flat.status, 2);
  EXPECT_NE(flat.err.find("with respect to x in equation 2=One(x).\n"), std::string::npos) << flat.err;
}

// $EXPORT after the solve: x + y = 3 and x - y = 1 give x = 2, y = 1 (by
// hand). The file name keeps its case unquoted; a missing variable is
// reported, the rest of the line is still written, and the run fails: the
// file is not what the text asked for.
TEST(VoqSolveTest, ExportWritesOneLineAfterTheSolve) {
  const std::string csv = TempPath("Export.csv");
  std::remove(csv.c_str());
  const std::string file =
      WriteTempFile("export.txt", "$EXPORT " + csv + " x, q, y\nx + y = 3\nx - y = 1\n");
  const SolverRun r = RunVoqSolve({file});
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_EQ(r.out, "x=2\ny=1\n");
  EXPECT_EQ(ReadFileText(csv), "2.00000000E+00,1.00000000E+00\r\n");
  EXPECT_NE(r.err.find("Error 564: Variable Q in the $Export directive was not found."), std::string::npos)
      << r.err;
  std::remove(csv.c_str());
}

// Every error the run shows fails it, even when the values are printed:
// an $EXPORT into a folder that does not exist writes nothing.
TEST(VoqSolveTest, ExportErrorsFailTheRun) {
  const std::string file = WriteTempFile("export_nodir.txt",
                                     "x = 2\n$EXPORT '" + TempPath("nodir") + "/a.csv' x\n");
  const SolverRun r = RunVoqSolve({file});
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_EQ(r.out, "x=2\n");
  EXPECT_NE(r.err.find("Error 566: "), std::string::npos) << r.err;
}

// No real x and y satisfy x^2 + y^2 = -1: the iteration runs out. voq-solve
// answers No to going on, and says so as error 57 with what to do about it,
// not as a cancellation by the user.
TEST(VoqSolveTest, NoConvergenceIsError57WithAHint) {
  const std::string file = WriteTempFile("no_root.txt", "x^2 + y^2 = -1\nx - y = 0.5\n");
  const SolverRun r = RunVoqSolve({file});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("Error 57: The problem failed to converge in the allowable number of "
                       "iterations  while solving equations in Block 1.\n"),
            std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("--continue"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("--guess"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("Error 58"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("cancelled"), std::string::npos) << r.err;
}

// --guess and --limits set a variable's guess and limits before the solve.
// x^2 + y^2 = 25 with x - y = 1 has the roots (4, 3) and (-3, -4) (by hand):
// the default guesses of 1 find the first, a guess near the second finds it.
TEST(VoqSolveTest, GuessesAndLimitsFromTheCommandLine) {
  const std::string file = WriteTempFile("two_roots.txt", "x^2 + y^2 = 25\nx - y = 1\n");
  EXPECT_EQ(RunVoqSolve({file}).out, "x=4\ny=3\n");
  const SolverRun g = RunVoqSolve({"--guess", "x=-2", "--guess", "Y=-5", file});
  EXPECT_EQ(g.status, 0) << g.err;
  EXPECT_EQ(g.out, "x=-3\ny=-4\n");
  // An open upper limit below the default guess: the guess is outside.
  const SolverRun l = RunVoqSolve({"--limits", "x=:0", file});
  EXPECT_EQ(l.status, 2);
  EXPECT_NE(l.err.find("Error 52: The guess value for x (1) is not within"), std::string::npos) << l.err;
  const SolverRun both = RunVoqSolve({"--limits", "x=:0", "--guess", "x=-1", "--limits", "y=-10:", file});
  EXPECT_EQ(both.status, 0) << both.err;
  EXPECT_EQ(both.out, "x=-3\ny=-4\n");
  // Array elements by their names.
  const std::string array = WriteTempFile("array_roots.txt", "a[1]^2 = 4\na[2] = a[1] + 1\n");
  const SolverRun a = RunVoqSolve({"--guess", "a[1]=-5", array});
  EXPECT_EQ(a.status, 0) << a.err;
  EXPECT_EQ(a.out, "a[1]=-2\na[2]=-1\n");
}

TEST(VoqSolveTest, BadGuessesAndLimitsAreRefused) {
  const std::string file = WriteTempFile("plain.txt", "x^2 = 4\n");
  struct Case {
    std::vector<std::string> args;
    const char* message;
  };
  const Case cases[] = {
      {{"--guess", "nosuch=1"}, "--guess nosuch=1: the equations have no variable nosuch"},
      {{"--limits", "x=5:1"}, "--limits x=5:1: the lower limit 5 is above the upper limit 1"},
      {{"--guess", "x=abc"}, "--guess x=abc: 'abc' is not a number"},
      {{"--guess", "x"}, "--guess x: expected --guess NAME=VALUE"},
      {{"--limits", "x=3"}, "--limits x=3: expected --limits NAME=LO:HI"},
      {{"--limits", "x=1:z"}, "--limits x=1:z: 'z' is not a number"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = c.args;
    args.push_back(file);
    const SolverRun r = RunVoqSolve(args);
    EXPECT_EQ(r.status, 2) << c.message;
    EXPECT_EQ(r.out, "") << c.message;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
}

// The drag case of tests/cases solved without options: whatever branch the
// default guesses find, exit status 0 means every residual is within the
// tolerance.
TEST(VoqSolveTest, DragProjectileWithoutOptionsExitsZeroOnlyWhenSolved) {
  const SolverRun r = RunVoqSolve({"--residuals", std::string(VOQ_CASES_DIR) + "/drag_projectile.txt"});
  if (r.status != 0) {
    EXPECT_EQ(r.status, 2);
    return;
  }
  const size_t table = r.out.find("Block  Relative residual  Equation\n");
  ASSERT_NE(table, std::string::npos) << r.out;
  std::string rest = r.out.substr(table);
  size_t at = rest.find('\n') + 1;
  int rows = 0;
  while (at < rest.size()) {
    const size_t end = rest.find('\n', at);
    const std::string line = rest.substr(at, end - at);
    at = end == std::string::npos ? rest.size() : end + 1;
    if (line.empty()) continue;
    const size_t first = line.find("  ");
    ASSERT_NE(first, std::string::npos) << line;
    const double residual = std::stod(line.substr(first + 2));
    EXPECT_LE(residual, 1e-6) << line;
    ++rows;
  }
  EXPECT_EQ(rows, 6);
}

// Texts as editors and users write them. Expected values by hand.
TEST(VoqSolveTest, ByteOrderMarksBlanksAfterContinuationsAndNumberRange) {
  struct Case {
    std::string text;
    int status;
    const char* out;
    const char* err;  // text stderr must contain
  };
  const std::string included = WriteTempFile("bom_include.txt", "\xEF\xBB\xBFw = 5\n");
  const Case cases[] = {
      {"\xEF\xBB\xBFx = 2\n", 0, "x=2\n", ""},
      {"$INCLUDE " + included + "\nx = w + 1\n", 0, "x=6\n", ""},
      // 1 + 2, the blanks after "&" notwithstanding.
      {"x = 1 &  \n  + 2\n", 0, "x=3\n", ""},
      {"x = 1 & \t\n + 2 &\n + 3\n", 0, "x=6\n", ""},
      // 10-byte reals reach about 1.19E4932: 1E4000 is a number, 1E5000
      // and a product of 1E6000 are not.
      {"x = 1e4000\n", 0, "x=1.000E+4000\n", ""},
      {"x = 1e5000\n", 2, "", "Error 2: Error encountered in interpreting 1E5000."},
      {"x = 1e3000*1e3000\n", 2, "", "Error 319: This statement produced a numerical overflow"},
  };
  for (const Case& c : cases) {
    const SolverRun r = RunVoqSolve({WriteTempFile("mend.txt", c.text)});
    EXPECT_EQ(r.status, c.status) << c.text << r.err;
    EXPECT_EQ(r.out, c.out) << c.text;
    EXPECT_NE(r.err.find(c.err), std::string::npos) << c.text << r.err;
  }
}

// An included file that includes another is refused, naming both files.
TEST(VoqSolveTest, IncludeInsideAnIncludedFileIsRefused) {
  const std::string inner = WriteTempFile("inner.txt", "z = 3\n");
  const std::string outer = WriteTempFile("outer.txt", "$INCLUDE " + inner + "\ny = 2\n");
  const SolverRun r = RunVoqSolve({WriteTempFile("nest.txt", "$INCLUDE " + outer + "\nx = 1\n")});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("Error 1201: " + outer + " holds an $INCLUDE of " + inner +
                       ": a file read by $INCLUDE cannot include another file."),
            std::string::npos)
      << r.err;
}

TEST(VoqSolveTest, ArgumentsThatCannotBeMet) {
  const std::string file = WriteTempFile("args.txt", "x = 2\n");
  const SolverRun tight = RunVoqSolve({"--tolerance", "1e-25", file});
  EXPECT_EQ(tight.status, 2);
  EXPECT_EQ(tight.out, "");
  EXPECT_NE(tight.err.find("--tolerance 1e-25 is below what 10-byte reals can reach"), std::string::npos)
      << tight.err;
  EXPECT_EQ(RunVoqSolve({"--tolerance", "1e-18", file}).status, 0);
  const SolverRun two = RunVoqSolve({file, file});
  EXPECT_EQ(two.status, 2);
  EXPECT_NE(two.err.find("two files given"), std::string::npos) << two.err;
  EXPECT_EQ(two.err.find("usage:"), std::string::npos) << two.err;
  for (const char* limit : {"0", "-5", "1.5", "86401", "x"}) {
    const SolverRun bad = RunVoqSolve({"--time-limit", limit, file});
    EXPECT_EQ(bad.status, 2) << limit;
    EXPECT_NE(bad.err.find("--time-limit takes a whole number of seconds from 1 to 86400"), std::string::npos)
        << limit << ": " << bad.err;
  }
  const SolverRun limited = RunVoqSolve({"--time-limit", "30", file});
  EXPECT_EQ(limited.status, 0) << limited.err;
  EXPECT_EQ(limited.out, "x=2\n");
}

// The warnings window's lines go to stderr after the solve, unless the
// equations turned warnings off.
TEST(VoqSolveTest, WarningsArePrintedAfterTheSolve) {
  const std::string name = "abcdefghijklmnopqrstuvwxyz_1234";  // 31 characters
  const SolverRun r = RunVoqSolve({WriteTempFile("warn.txt", name + " = 2\n")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, name.substr(0, 30) + "=2\n");
  EXPECT_EQ(r.err,
            "Question: One or more warning messages were generated during the calculations.  Would "
            "you like to see the list of warnings? [Yes]\n"
            "Warning: The maximum length of a variable name is 30 characters.  Variable " +
                name + " has been truncated.\n");
  const SolverRun off = RunVoqSolve({WriteTempFile("warn_off.txt", "$WARNINGS OFF\n" + name + " = 2\n")});
  EXPECT_EQ(off.status, 0) << off.err;
  EXPECT_EQ(off.err, "");
}

// Ctrl+C is the console's Esc: a REPEAT that never ends stops with error 58
// and the program ends, printing no values.
TEST(VoqSolveTest, InterruptStopsAnEndlessRoutine) {
  const std::string file = WriteTempFile("endless.txt",
                                     "FUNCTION F(x)\n"
                                     "  REPEAT\n"
                                     "    x := x + 1\n"
                                     "  UNTIL x < 0\n"
                                     "  F := x\n"
                                     "END\n"
                                     "y = F(1)\n");
  const SolverRun r = RunVoqSolve({file}, 1000);
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "Error 58: Calculations cancelled by user.\n");
}

TEST(VoqSolveTest, UnbalancedProblemIsAskedAboutAndFails) {
  const std::string file = WriteTempFile("under.txt", "a + b = c\na - b = 1\nc = d*2\n");
  const SolverRun r = RunVoqSolve({file});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err,
            "Question: There are 3 equations and 4 variables.  The problem is underspecified and "
            "cannot be solved. Show Debug information? [No]\n");
}

TEST(VoqSolveTest, FilesThatAreNotEquations) {
  struct Case {
    std::string path;
    std::string message;
  };
  const std::vector<Case> cases = {
      {TempPath("no_such_file.txt"), "cannot open"},
      {WriteTempFile("empty.txt", " \r\n\t\n"), "is empty"},
      {WriteTempFile("binary.bin", std::string("\x7f" "ELF\x02\x01\x01\0\0\0\0", 12) + "x=1"), "not a text file"},
      {::testing::TempDir(), "is a directory"},
  };
  for (const Case& c : cases) {
    const SolverRun r = RunVoqSolve({c.path});
    EXPECT_EQ(r.status, 2) << c.path;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
  EXPECT_EQ(RunVoqSolve({}).status, 2);
  EXPECT_EQ(RunVoqSolve({"--digits", "0", "x.txt"}).status, 2);
}

// Sources that never end or hold nothing to solve end with a message and
// status 2, at once.
TEST(VoqSolveTest, EndlessSourcesAndTextsWithoutEquations) {
  struct Case {
    std::string path;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"/dev/zero", "not a text file"},
      {WriteTempFile("comments_only.txt", "{nothing but a comment}\r\n\"and another\"\r\n"),
       "holds no equations to solve"},
      {WriteTempFile("directive_only.txt", "$WARNINGS OFF\r\n"), "holds no equations to solve"},
  };
  for (const Case& c : cases) {
    const SolverRun r = RunVoqSolve({c.path});
    EXPECT_EQ(r.status, 2) << c.path;
    EXPECT_TRUE(r.out.empty()) << c.path;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
}

// An error whose selection runs over several lines (an open comment selects
// to the end of the text) shows the line where it begins, and only that one.
TEST(VoqSolveTest, MultiLineSelectionShowsWhereItBegins) {
  const SolverRun r = RunVoqSolve({WriteTempFile("open_comment.txt", "x = 1\ny = 2 {open\nz = 3\nw = 4\n")});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "Error 17: Unmatched comment delimeters. \n  line 2: {open ...\n");
}

}  // namespace

namespace {

// voq-solve reads its defaults file from the "data" folder beside it, as it
// reads UNITS.TXT: a copy of the program whose folder lacks "VOQ.DFT" stops
// at the start with message 560 and exit status 2.
TEST(VoqSolveTest, MissingDefaultsFileStopsTheStart) {
  namespace fs = std::filesystem;
  const fs::path folder = TempPath("no_defaults");
  fs::remove_all(folder);
  fs::create_directories(folder / "data");
  const fs::path data = fs::path(VOQ_SOLVE_BINARY).parent_path() / "data";
  for (const char* name : {"UNITS.TXT", "Constants.txt"}) fs::copy_file(data / name, folder / "data" / name);
  const fs::path copy = folder / "voq-solve";
  fs::copy_file(VOQ_SOLVE_BINARY, copy);
  const std::string equations = WriteTempFile("defaults.txt", "x = 2\r\n");

  const SolverRun missing = voq::testing::RunSolverBinary(copy.string(), {equations});
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.out, "");
  EXPECT_EQ(missing.err,
            "The VOQ.DFT file is either missing or corrupted.  Copy the VOQ.DFT file from your original disk "
            "into the VOQ program directory. \n");

  // With the shipped file beside it the same copy solves.
  fs::copy_file(data / "VOQ.DFT", folder / "data" / "VOQ.DFT");
  const SolverRun present = voq::testing::RunSolverBinary(copy.string(), {equations});
  EXPECT_EQ(present.status, 0) << present.err;
  EXPECT_EQ(present.out, "x=2\n");
  fs::remove_all(folder);
}

}  // namespace

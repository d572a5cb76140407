// End-to-end cases through the voq-solve binary itself.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kBinary = VOQ_SOLVE_BINARY;
const std::string kCases = std::string(VOQ_TEST_DATA_DIR) + "/../cases";
const std::string kExamples = std::string(VOQ_TEST_DATA_DIR) + "/../../examples";

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

std::string ReadAll(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

RunResult RunSolver(const std::string& arguments) {
  const std::string base = ::testing::TempDir() + "voq_solve_run";
  const std::string command =
      kBinary + " " + arguments + " >" + base + ".out 2>" + base + ".err </dev/null";
  const int raw = std::system(command.c_str());
  RunResult r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = ReadAll(base + ".out");
  r.err = ReadAll(base + ".err");
  return r;
}

std::string WriteTemp(const std::string& name, const std::string& content) {
  const std::string path = ::testing::TempDir() + name;
  std::ofstream(path, std::ios::binary) << content;
  return path;
}

// "name=value [units]" lines into name -> value text.
std::map<std::string, std::string> Values(const std::string& text) {
  std::map<std::string, std::string> values;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string value = line.substr(eq + 1);
    value = value.substr(0, value.find(' '));
    values[line.substr(0, eq)] = value;
  }
  return values;
}

// The case's expected values (beside it, with their source) against the
// output of voq-solve to 10 significant digits.
void ExpectTenDigits(const std::string& equations, const std::string& expected) {
  const RunResult r = RunSolver("--digits 15 --tolerance 1e-15 " + equations);
  ASSERT_EQ(r.status, 0) << r.err;
  const auto got = Values(r.out);
  const auto want = Values(ReadAll(expected));
  ASSERT_FALSE(want.empty());
  for (const auto& [name, text] : want) {
    ASSERT_TRUE(got.count(name)) << name;
    const long double ref = std::strtold(text.c_str(), nullptr);
    const long double value = std::strtold(got.at(name).c_str(), nullptr);
    EXPECT_LE(std::fabs(value - ref), 5e-11L * std::fabs(ref)) << name << " = " << got.at(name);
  }
}

TEST(VoqSolveTest, ThirtyNonlinearEquationsInArbitraryOrder) {
  ExpectTenDigits(kCases + "/nonlinear30.txt", kCases + "/nonlinear30.expected");
}

TEST(VoqSolveTest, BundledExampleMatchesItsReference) {
  ExpectTenDigits(kExamples + "/wall_heat_loss.txt", kCases + "/wall_heat_loss.expected");
}

TEST(VoqSolveTest, SolutionLinesAsTheSolutionWindowSavesThem) {
  const RunResult r = RunSolver(kCases + "/two_solved_alone.txt");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "x=3\ny=7\n");
  EXPECT_EQ(Values(r.out), Values(ReadAll(kCases + "/two_solved_alone.expected")));

  const std::string units = WriteTemp("units.txt", "L = 2.5 {[m]}\r\nA = L^2\r\n");
  const RunResult u = RunSolver(units);
  ASSERT_EQ(u.status, 0) << u.err;
  EXPECT_EQ(u.out, "A=6.25\nL=2.5 [m]\n");

  const RunResult d = RunSolver("--digits 4 " + units);
  EXPECT_EQ(d.out, "A=6.250E+00\nL=2.500E+00 [m]\n");
}

TEST(VoqSolveTest, ResidualsListEveryEquation) {
  const std::string file = WriteTemp("block.txt", "x^2 + y^2 = 25\nx - y = 1\n");
  const RunResult r = RunSolver("--residuals " + file);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("x=4\ny=3\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Block  Relative residual  Equation\n1  "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("  x-y=1\n"), std::string::npos) << r.out;
}

TEST(VoqSolveTest, FailingCaseGivesErrorStatementAndStatus2) {
  const RunResult r = RunSolver(kCases + "/reset_value.txt");
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(r.out.empty());
  std::istringstream expected(ReadAll(kCases + "/reset_value.expected"));
  std::string line;
  while (std::getline(expected, line)) {
    if (line.rfind("stderr=", 0) == 0) {
      EXPECT_NE(r.err.find(line.substr(7) + "\n"), std::string::npos) << r.err;
    }
  }
}

TEST(VoqSolveTest, UnbalancedProblemIsAskedAboutAndFails) {
  const std::string file = WriteTemp("under.txt", "a + b = c\na - b = 1\nc = d*2\n");
  const RunResult r = RunSolver(file);
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
      {::testing::TempDir() + "no_such_file.txt", "cannot open"},
      {WriteTemp("empty.txt", " \r\n\t\n"), "is empty"},
      {WriteTemp("binary.bin", std::string("\x7f" "ELF\x02\x01\x01\0\0\0\0", 12) + "x=1"), "not a text file"},
      {::testing::TempDir(), "is a directory"},
  };
  for (const Case& c : cases) {
    const RunResult r = RunSolver(c.path);
    EXPECT_EQ(r.status, 2) << c.path;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
  EXPECT_EQ(RunSolver("").status, 2);
  EXPECT_EQ(RunSolver("--digits 0 x.txt").status, 2);
}

}  // namespace

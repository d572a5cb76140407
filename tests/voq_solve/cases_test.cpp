// Every end-to-end case in tests/cases, found when the tests start: the
// equations go through the voq-solve binary and what it prints is compared
// with NAME.expected. tests/cases/README.md describes the expected files; a
// new case is two data files and no code.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "solver_process.h"

namespace {

namespace fs = std::filesystem;
using voq::testing::ReadFileText;
using voq::testing::RunVoqSolve;
using voq::testing::SolverRun;

const fs::path kCasesDir = VOQ_CASES_DIR;

struct ExpectedRun {
  std::string source;
  std::string file;  // the equations, relative to the cases folder
  std::vector<std::string> args;
  int exit = 0;
  bool hasTolerance = false;
  long double tolerance = 0;           // relative, or absolute for a zero value
  std::vector<std::string> stderrParts;  // each in stderr, in this order
  std::vector<std::string> valueLines;   // the whole of the value list
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::string Trim(const std::string& s) {
  const size_t first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

bool ParseNumber(const std::string& text, long double& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = std::strtold(text.c_str(), &end);
  return end == text.c_str() + text.size();
}

// Reads NAME.expected; a line it does not understand is an error, so a
// mistyped key cannot quietly drop a check.
bool ParseExpected(const std::string& name, ExpectedRun& run, std::string& error) {
  const fs::path path = kCasesDir / (name + ".expected");
  if (!fs::is_regular_file(path)) {
    error = "no " + path.filename().string() + " beside the case";
    return false;
  }
  run.file = name + ".txt";
  for (const std::string& line : Lines(ReadFileText(path.string()))) {
    if (Trim(line).empty()) continue;
    if (line[0] != '#') {
      if (line.find('=') == std::string::npos) {
        error = "not a name=value line: " + line;
        return false;
      }
      run.valueLines.push_back(line);
      continue;
    }
    const size_t colon = line.find(':');
    const std::string key = colon == std::string::npos ? "" : Trim(line.substr(1, colon - 1));
    // stderr text is taken as written after "# stderr: ", leading spaces too.
    std::string raw = colon == std::string::npos ? "" : line.substr(colon + 1);
    if (!raw.empty() && raw[0] == ' ') raw.erase(0, 1);
    const std::string value = Trim(raw);
    if (key == "source" || key == "note") {
      if (key == "source") run.source = value;
    } else if (key == "file") {
      run.file = value;
    } else if (key == "args") {
      std::istringstream words(value);
      for (std::string w; words >> w;) run.args.push_back(w);
    } else if (key == "exit") {
      long double e = 0;
      if (!ParseNumber(value, e) || e != std::floor(e) || e < 0 || e > 255) {
        error = "exit is not a status: " + line;
        return false;
      }
      run.exit = static_cast<int>(e);
    } else if (key == "tolerance") {
      if (!ParseNumber(value, run.tolerance) || !(run.tolerance >= 0)) {
        error = "tolerance is not a number: " + line;
        return false;
      }
      run.hasTolerance = true;
    } else if (key == "stderr") {
      if (raw.empty()) {
        error = "empty stderr text: " + line;
        return false;
      }
      run.stderrParts.push_back(raw);
    } else {
      error = "unknown line (keys: source, note, file, args, exit, tolerance, stderr): " + line;
      return false;
    }
  }
  if (run.source.empty()) {
    error = "the expected values name no source (# source: ...)";
    return false;
  }
  return true;
}

// One value line of the output against the expected one: the same name and
// units, and the value within the tolerance or, without one, the same text.
void CompareValueLine(const ExpectedRun& run, const std::string& want, const std::string& got) {
  if (!run.hasTolerance) {
    EXPECT_EQ(got, want);
    return;
  }
  const size_t wantEq = want.find('=');
  const size_t gotEq = got.find('=');
  ASSERT_NE(gotEq, std::string::npos) << got;
  EXPECT_EQ(got.substr(0, gotEq), want.substr(0, wantEq)) << "name of " << got;
  const std::string wantRest = want.substr(wantEq + 1);
  const std::string gotRest = got.substr(gotEq + 1);
  const size_t wantSpace = std::min(wantRest.find(' '), wantRest.size());
  const size_t gotSpace = std::min(gotRest.find(' '), gotRest.size());
  EXPECT_EQ(gotRest.substr(gotSpace), wantRest.substr(wantSpace)) << "units of " << got;
  long double ref = 0;
  long double value = 0;
  ASSERT_TRUE(ParseNumber(wantRest.substr(0, wantSpace), ref)) << "expected value of " << want;
  ASSERT_TRUE(ParseNumber(gotRest.substr(0, gotSpace), value)) << "value of " << got;
  const long double allowed = ref == 0 ? run.tolerance : run.tolerance * std::fabs(ref);
  EXPECT_LE(std::fabs(value - ref), allowed) << got << " against " << want;
}

// Every name that has NAME.txt or NAME.expected in the cases folder, so a
// case that lacks either file fails rather than going unnoticed.
std::vector<std::string> FindCases() {
  std::set<std::string> names;
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(kCasesDir, ec)) {
    const fs::path& p = entry.path();
    if (entry.is_regular_file() && (p.extension() == ".txt" || p.extension() == ".expected")) {
      names.insert(p.stem().string());
    }
  }
  return {names.begin(), names.end()};
}

// Test names allow letters, digits and '_' only.
std::string TestName(const ::testing::TestParamInfo<std::string>& info) {
  std::string name = info.param;
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

class EquationCaseTest : public ::testing::TestWithParam<std::string> {};

TEST_P(EquationCaseTest, OutputMatchesExpected) {
  const std::string& name = GetParam();
  ExpectedRun expected;
  std::string error;
  ASSERT_TRUE(ParseExpected(name, expected, error)) << name << ".expected: " << error;
  const fs::path equations = kCasesDir / expected.file;
  ASSERT_TRUE(fs::is_regular_file(equations)) << "no equations file " << equations;

  std::vector<std::string> args = expected.args;
  args.push_back(equations.string());
  const SolverRun run = RunVoqSolve(args);
  SCOPED_TRACE("stdout:\n" + run.out + "stderr:\n" + run.err);
  EXPECT_EQ(run.status, expected.exit);

  // The value lines run to the first blank line; only --residuals prints
  // anything after it.
  std::vector<std::string> got = Lines(run.out);
  const auto blank = std::find(got.begin(), got.end(), "");
  if (blank != got.end()) {
    EXPECT_NE(std::find(expected.args.begin(), expected.args.end(), "--residuals"), expected.args.end())
        << "output after the value lines";
    got.erase(blank, got.end());
  }
  ASSERT_EQ(got.size(), expected.valueLines.size()) << "number of value lines";
  for (size_t i = 0; i < got.size(); ++i) CompareValueLine(expected, expected.valueLines[i], got[i]);

  if (expected.stderrParts.empty()) {
    EXPECT_EQ(run.err, "");
  }
  size_t from = 0;
  for (const std::string& part : expected.stderrParts) {
    const size_t at = run.err.find(part, from);
    EXPECT_TRUE(at != std::string::npos) << "stderr lacks, after the earlier parts: " << part;
    if (at != std::string::npos) from = at + part.size();
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, EquationCaseTest, ::testing::ValuesIn(FindCases()), TestName);

}  // namespace

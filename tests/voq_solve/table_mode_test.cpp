// voq-solve --table through the binary: the Parametric table read from a
// CSV file, solved run by run and printed filled.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "solver_process.h"

namespace {

using voq::testing::ReadFileText;
using voq::testing::RunVoqSolve;
using voq::testing::SolverRun;
using voq::testing::TempPath;
using voq::testing::WriteTempFile;

const std::string kExamples = std::string(VOQ_CASES_DIR) + "/../../examples/";

std::vector<std::vector<std::string>> CsvRows(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    std::vector<std::string> cells;
    std::string cell;
    std::istringstream fields(line);
    while (std::getline(fields, cell, ',')) cells.push_back(cell);
    if (!line.empty() && line.back() == ',') cells.push_back("");
    rows.push_back(cells);
  }
  return rows;
}

TEST(VoqSolveTableTest, ProjectileStudyMatchesTheClosedForm) {
  const SolverRun r = RunVoqSolve({"--digits", "17", "--table", kExamples + "projectile_runs.csv",
                                   kExamples + "projectile.txt"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  // theta, R, t_f, H of a drag-free projectile, v0 = 20 m/s, h0 = 5 m,
  // g = 9.80665 m/s^2: the closed form t_f = (vy + sqrt(vy^2 + 2 g h0))/g,
  // R = vx t_f, H = h0 + vy^2/(2 g) for vy > 0, else h0, computed by
  // tests/voq_solve/projectile_reference.py.
  const double expected[5][4] = {
      {-10, 14.101769701498116, 0.7159656114792643, 5.0},
      {15, 32.20955380162041, 1.6672891916227321, 6.366160678881792},
      {30, 42.51881706605169, 2.4548250478709392, 10.09858106488964},
      {45, 45.291547088613314, 3.2025960076788307, 15.197162129779281},
      {60, 38.00697691998452, 3.800697691998451, 20.295743194668923},
  };
  const auto rows = CsvRows(r.out);
  ASSERT_EQ(rows.size(), 6u) << r.out;
  EXPECT_EQ(rows[0], (std::vector<std::string>{"theta [deg]", "R [m]", "t_f [s]", "H [m]"}));
  for (size_t run = 0; run < 5; ++run) {
    ASSERT_EQ(rows[run + 1].size(), 4u) << r.out;
    for (size_t k = 0; k < 4; ++k) {
      const double value = std::strtod(rows[run + 1][k].c_str(), nullptr);
      EXPECT_NEAR(value, expected[run][k], 1e-9 * std::fabs(expected[run][k])) << "run " << run + 1 << " column " << k;
    }
  }
}

TEST(VoqSolveTableTest, ColumnsPrintInTheirVariablesFormat) {
  const std::string equations = WriteTempFile("double.txt", "y = 2*T\n");
  const std::string table = WriteTempFile("double.csv", "T,y\n10,\n20,\n30,\n40,\n50,\n");
  const SolverRun r = RunVoqSolve({"--table", table, equations});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "T,y\n10,20\n20,40\n30,60\n40,80\n50,100\n");
}

TEST(VoqSolveTableTest, TableValueReadsTheTableBeingSolved) {
  // T of run 5 in every run, so z = 2*T + 50.
  const std::string equations = WriteTempFile("tablevalue.txt", "y = 2*T\nz = y + TABLEVALUE('Table 1', 5, 1)\n");
  const std::string table = WriteTempFile("tablevalue.csv", "T,y,z\n10,,\n20,,\n30,,\n40,,\n50,,\n");
  const SolverRun r = RunVoqSolve({"--table", table, equations});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "T,y,z\n10,20,70\n20,40,90\n30,60,110\n40,80,130\n50,100,150\n");
}

TEST(VoqSolveTableTest, NonNumericCellIsRefusedWithItsRun) {
  const std::string equations = WriteTempFile("double.txt", "y = 2*T\n");
  const std::string table = WriteTempFile("bad.csv", "T,y\n1,\n2,\nabc,\n");
  const SolverRun r = RunVoqSolve({"--table", table, equations});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("Error 45: Illegal table entry in run 3 column 1."), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("run 3"), std::string::npos) << r.err;
}

TEST(VoqSolveTableTest, EnteredVariableFixedByTheEquations) {
  const std::string equations = WriteTempFile("fixed.txt", "x = 3\ny = x + T\n");
  const std::string table = WriteTempFile("fixed.csv", "T,x,y\n1,,\n2,5,\n");
  const SolverRun r = RunVoqSolve({"--table", table, equations});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("Error 44: Run 2: x is set to a value in the worksheet"), std::string::npos) << r.err;
}

TEST(VoqSolveTableTest, ExportAddsALinePerRun) {
  const std::string csv = TempPath("export_runs.csv");
  std::remove(csv.c_str());
  const std::string equations = WriteTempFile("export.txt", "$EXPORT '" + csv + "' T, y\ny = 2*T\n");
  const std::string table = WriteTempFile("export_table.csv", "T,y\n1,\n2,\n3,\n4,\n5,\n");
  const SolverRun r = RunVoqSolve({"--table", table, equations});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFileText(csv),
            "1.00000000E+00,2.00000000E+00\r\n2.00000000E+00,4.00000000E+00\r\n3.00000000E+00,6.00000000E+00\r\n"
            "4.00000000E+00,8.00000000E+00\r\n5.00000000E+00,1.00000000E+01\r\n");
}

TEST(VoqSolveTableTest, RunThatNeverConvergesIsCancelledOrContinuedABoundedNumberOfTimes) {
  // x^2 + y^2 = -T has no real solution for T > 0.
  const std::string equations = WriteTempFile("never.txt", "x^2 + y^2 = -T\nx = y\n");
  const std::string table = WriteTempFile("never.csv", "T,x\n1,\n2,\n");
  const SolverRun r = RunVoqSolve({"--table", table, equations});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("Question: Run 1 failed to converge"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("[Cancel]"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Error 58: Calculations cancelled by user."), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("run 1"), std::string::npos) << r.err;

  const SolverRun continued = RunVoqSolve({"--continue", "--table", table, equations});
  EXPECT_EQ(continued.status, 2);
  EXPECT_NE(continued.err.find("[OK]"), std::string::npos);
  EXPECT_NE(continued.err.find("Error 58"), std::string::npos);
}

TEST(VoqSolveTableTest, BadTablesAreReported) {
  const std::string equations = WriteTempFile("double.txt", "y = 2*T\n");
  struct Case {
    const char* csv;
    const char* message;
  };
  const Case cases[] = {
      {"T,z\n1,\n", "names no variable"},
      {"T,T\n1,\n", "has two columns"},
      {"T,y\n", "has no runs"},
      {"", "has no header row"},
      {"T,y\n1,2,3\n", "has 3 cells"},
  };
  for (const Case& c : cases) {
    const SolverRun r = RunVoqSolve({"--table", WriteTempFile("case.csv", c.csv), equations});
    EXPECT_EQ(r.status, 2) << c.csv;
    EXPECT_EQ(r.out, "") << c.csv;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.csv << r.err;
  }
  const SolverRun missing = RunVoqSolve({"--table", TempPath("none.csv"), equations});
  EXPECT_EQ(missing.status, 2);
}

}  // namespace

TEST(VoqSolveTableTest, TimeLimitEndsALongTableRunWithError50) {
  // Each run counts to a million in a routine body; ten thousand runs take
  // far longer than the second allowed.
  const std::string equations = WriteTempFile("slow.txt",
                                          "FUNCTION Slow(a)\n  x := 0\n  REPEAT\n    x := x + 1\n"
                                          "  UNTIL x > 1000000\n  Slow := a + x\nEND\ny = Slow(T)\n");
  std::string csv = "T,y\n";
  for (int r = 1; r <= 10000; ++r) csv += std::to_string(r) + ",\n";
  const std::string table = WriteTempFile("slow.csv", csv);
  const SolverRun r = RunVoqSolve({"--time-limit", "1", "--table", table, equations});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("Error 50: The maximum time specified in the Stop Criteria has been exceeded."),
            std::string::npos)
      << r.err;
  EXPECT_EQ(r.err.find("Error 58"), std::string::npos) << r.err;
}

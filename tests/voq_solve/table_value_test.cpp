// TABLEVALUE under voq-solve --table: the Parametric table exists while the
// equations are read, as in the desktop program, so the two-argument form
// (row, column of the first table) compiles instead of failing with 312.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "solver_process.h"

namespace {

using voq::testing::RunVoqSolve;
using voq::testing::SolverRun;
using voq::testing::TempPath;

std::string WriteTableValueFile(const std::string& name, const std::string& content) {
  const std::string path = TempPath(name);
  std::ofstream(path, std::ios::binary) << content;
  return path;
}

// Runs x = 1 and x = 3; the expected tables by hand: z = x of row 1 (1) +
// x of row 2 (3) + x, so 5 and 7 in every form of the call.
TEST(VoqSolveTableValueTest, EveryFormReadsTheRunsTable) {
  const std::string csv = WriteTableValueFile("tv.csv", "x,z\n1,\n3,\n");
  const char* forms[] = {
      "z = TABLEVALUE(1, #x) + TABLEVALUE(2, 1) + x\n",
      "z = TABLEVALUE(1, 'x') + TABLEVALUE(2, #x) + x\n",
      "z = TABLEVALUE('Table 1', 1, #x) + TABLEVALUE('Table 1', 2, 1) + x\n",
  };
  for (const char* text : forms) {
    const SolverRun r = RunVoqSolve({"--table", csv, WriteTableValueFile("tv.txt", text)});
    EXPECT_EQ(r.status, 0) << text << r.err;
    EXPECT_EQ(r.out, "x,z\n1,5\n3,7\n") << text;
    EXPECT_EQ(r.err, "") << text;
  }
}

}  // namespace

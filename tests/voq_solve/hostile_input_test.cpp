// voq-solve on files and names that are not what they seem: files that
// cannot be read, folders and devices where a file belongs, exports that
// cannot be written or race each other, guesses given by the names the
// solution prints for a module's calls, and the messages of lookup files.
#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "solver_process.h"

extern char** environ;

namespace {

using voq::testing::ReadFileText;
using voq::testing::RunVoqSolve;
using voq::testing::SolverRun;
using voq::testing::TempPath;

std::string WriteTemp(const std::string& name, const std::string& content) {
  const std::string path = TempPath(name);
  std::ofstream(path, std::ios::binary) << content;
  return path;
}

// A name in the temporary folder that points at target.
std::string LinkTemp(const std::string& name, const std::string& target) {
  const std::string path = TempPath(name);
  std::remove(path.c_str());
  std::error_code ec;
  std::filesystem::create_symlink(target, path, ec);
  EXPECT_FALSE(ec) << path;
  return path;
}

// An included or lookup file that exists but cannot be read (the kernel
// refuses to read /proc/self/mem at offset 0), a folder and a device: an
// error that names the file, status 2, never a signal or "not found".
TEST(HostileInputTest, FilesThatCannotBeReadAreNamed) {
  const std::string folder = TempPath("include_folder");
  std::filesystem::create_directories(folder);
  struct Case {
    std::string text;
    std::string error;
  };
  const Case cases[] = {
      {"$INCLUDE /proc/self/mem\nx = 1\n",
       "Error 355: IO error 100 encountered while trying to read file /proc/self/mem.\n  line 1: $INCLUDE"},
      {"$INCLUDE " + folder + "\nx = 1\n", "$INCLUDE " + folder + ": this is a folder, not a file of equations."},
      {"$INCLUDE /dev/zero\nx = 1\n", "$INCLUDE /dev/zero: this is a device, not a file of equations."},
      {"y = Lookup('" + LinkTemp("mem.csv", "/proc/self/mem") + "', 1, 1)\n",
       "Error 355: IO error 100 encountered while trying to read file " + TempPath("mem.csv") + "."},
      {"y = Lookup('" + LinkTemp("mem.lkt", "/proc/self/mem") + "', 1, 1)\n",
       "Error 355: IO error 100 encountered while trying to read file " + TempPath("mem.lkt") + "."},
  };
  for (const Case& c : cases) {
    const SolverRun r = RunVoqSolve({WriteTemp("hostile.txt", c.text)});
    EXPECT_EQ(r.status, 2) << c.text << r.err;
    EXPECT_EQ(r.out, "") << c.text;
    EXPECT_NE(r.err.find(c.error), std::string::npos) << c.text << r.err;
    EXPECT_EQ(r.err.find("not found"), std::string::npos) << r.err;
  }
}

}  // namespace

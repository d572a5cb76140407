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
using voq::testing::WriteTempFile;

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
    const SolverRun r = RunVoqSolve({WriteTempFile("hostile.txt", c.text)});
    EXPECT_EQ(r.status, 2) << c.text << r.err;
    EXPECT_EQ(r.out, "") << c.text;
    EXPECT_NE(r.err.find(c.error), std::string::npos) << c.text << r.err;
    EXPECT_EQ(r.err.find("not found"), std::string::npos) << r.err;
  }
}

// A write that fails shows only when the data reach the disk (a full disk
// takes the open and fails the write or the close): /dev/full is such a
// file on every machine. The values are printed, the export is reported
// and the run fails.
TEST(HostileInputTest, ExportThatCannotBeWrittenFailsTheRun) {
  const std::string full = LinkTemp("full.csv", "/dev/full");
  const SolverRun r = RunVoqSolve({WriteTempFile("full.txt", "x = 1.5\ny = 2*x\n$EXPORT '" + full + "' x, y\n")});
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_EQ(r.out, "x=1.5\ny=3\n");
  EXPECT_NE(r.err.find("Error 566: " + full + " is not a valid filename.  The $Export directive has been aborted."),
            std::string::npos)
      << r.err;
  // The link is still a link: a device is written in place, never replaced.
  EXPECT_TRUE(std::filesystem::is_symlink(full));
}

// A full file system: a 4 KB tmpfs in a mount namespace of its own, filled
// but for an earlier export. The new export fails (error 566, status 2)
// and the earlier output is still there, whole: the new one went to a
// temporary file, which is removed. Skipped where no tmpfs can be mounted.
TEST(HostileInputTest, ExportOnAFullFileSystemKeepsTheEarlierOutput) {
  const std::string folder = TempPath("full_fs");
  std::filesystem::create_directories(folder);
  const std::string equations = WriteTempFile("full_fs.txt", "x = 1.5\ny = 2*x\n$EXPORT '" + folder + "/out.csv' x, y\n");
  const std::string script = "mount -t tmpfs -o size=4k tmpfs " + folder + " 2>/dev/null || exit 77\n"
                             "printf 'earlier\\r\\n' > " + folder + "/out.csv\n"
                             "head -c 8192 /dev/zero > " + folder + "/fill 2>/dev/null\n"
                             "'" VOQ_SOLVE_BINARY "' " + equations + "\nstatus=$?\n"
                             "cat " + folder + "/out.csv; ls -A " + folder + "\nexit $status\n";
  const SolverRun r = voq::testing::RunSolverBinary("/usr/bin/unshare", {"-m", "/bin/sh", "-c", script});
  if (r.status == 77 || r.status == -1 || r.err.find("unshare:") != std::string::npos)
    GTEST_SKIP() << "no tmpfs can be mounted here: " << r.err;
  EXPECT_EQ(r.status, 2) << r.err;
  EXPECT_EQ(r.out, "x=1.5\ny=3\nearlier\r\nfill\nout.csv\n");
  EXPECT_NE(r.err.find("Error 566: " + folder + "/out.csv is not a valid filename."), std::string::npos) << r.err;
}

// Two runs exporting to one file at once: the file holds the whole line of
// one of them, never a mix. The lines are long (a thousand values, some
// 15 kB) so that each takes several writes, and a file written in place
// could interleave them; a reader meeting the file at any time sees the
// old output or the new one. The append of a table run is not concerned.
TEST(HostileInputTest, ConcurrentExportsLeaveOneCompleteOutput) {
  const std::string csv = TempPath("race.csv");
  std::remove(csv.c_str());
  auto text = [&](int value) {
    return "DUPLICATE j=1,1000\n  x[j] = " + std::to_string(value) + "\nEND\n$EXPORT '" + csv + "' x[1..1000]\n";
  };
  const std::string a = WriteTempFile("race_a.txt", text(1));
  const std::string b = WriteTempFile("race_b.txt", text(2));
  auto line = [](const char* value) {
    std::string s;
    for (int j = 1; j <= 1000; ++j) s += std::string(j == 1 ? "" : ",") + value;
    return s + "\r\n";
  };
  const std::string lineA = line("1.00000000E+00");
  const std::string lineB = line("2.00000000E+00");
  // Both runs start before either is waited for.
  auto StartVoqSolve = [](const std::string& file) {
    const std::string binary = VOQ_SOLVE_BINARY;
    char* argv[] = {const_cast<char*>(binary.c_str()), const_cast<char*>(file.c_str()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawn(&pid, binary.c_str(), &actions, nullptr, argv, environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
  };
  auto WaitForExit = [](pid_t pid) {
    int raw = 0;
    return pid > 0 && ::waitpid(pid, &raw, 0) == pid && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  };
  for (int pair = 0; pair < 20; ++pair) {
    const pid_t first = StartVoqSolve(a);
    const pid_t second = StartVoqSolve(b);
    ASSERT_EQ(WaitForExit(first), 0);
    ASSERT_EQ(WaitForExit(second), 0);
    const std::string written = ReadFileText(csv);
    ASSERT_TRUE(written == lineA || written == lineB) << "pair " << pair << ": " << written.size() << " bytes";
  }
  // No temporary file is left beside the target.
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(csv).parent_path()))
    EXPECT_EQ(entry.path().filename().string().find("~$" + std::filesystem::path(csv).filename().string()),
              std::string::npos)
        << entry.path();
  std::remove(csv.c_str());
}

// x^2 = 4 has the roots 2 and -2 (by hand); the guess picks one. The
// solution lists a module's variables once per CALL ("@1\1.x"); the guess
// of a module variable holds for every call and is given as Root.x. A
// per-call name is refused with status 2 and the form that works, never
// accepted and then ignored.
TEST(HostileInputTest, GuessesByPrintedModuleNamesAreRefusedNotIgnored) {
  const std::string one = WriteTempFile("root1.txt", "MODULE Root(a : y)\n  x^2 = a\n  y = 2*x\nEND\nCALL Root(4 : y1)\n");
  const std::string two = WriteTempFile("root2.txt", "MODULE Root(a : y)\n  x^2 = a\n  y = 2*x\nEND\n"
                                                 "CALL Root(4 : y1)\nCALL Root(9 : y2)\n");
  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string needle;  // in stdout for status 0, in stderr otherwise
  };
  const Case cases[] = {
      {{"--guess", "Root.x=-1", one}, 0, "@1\\1.x=-2\n@1\\1.y=-4\ny1=-4\n"},
      {{"--guess", "Root.x=-1", two}, 0, "@1\\2.x=-3\n"},
      {{"--guess", "@1\\1.x=-1", one}, 2,
       "--guess @1\\1.x=-1: @1\\1.x is x of CALL 1 of module Root; the guess and limits of a module's variable "
       "hold for every CALL: give Root.x\n"},
      {{"--limits", "@1\\2.x=-5:0", two}, 2, "@1\\2.x is x of CALL 2 of module Root"},
      {{"--guess", "@7\\1.x=-1", one}, 2, "--guess @7\\1.x=-1: @7\\1.x is no variable of the equations\n"},
  };
  for (const Case& c : cases) {
    const SolverRun r = RunVoqSolve(c.arguments);
    EXPECT_EQ(r.status, c.status) << c.arguments[1] << r.err;
    const std::string& where = c.status == 0 ? r.out : r.err;
    EXPECT_NE(where.find(c.needle), std::string::npos) << c.arguments[1] << "\n" << r.out << r.err;
    if (c.status != 0) {
      EXPECT_EQ(r.out, "");
    }
  }
}

// A table of runs must be a regular file of lines a table can hold: a
// device would be read without end, a folder not at all.
TEST(HostileInputTest, TablesThatAreNoFilesOrHaveEndlessLinesAreRefused) {
  const std::string equations = WriteTempFile("table_eq.txt", "y = 2*x\n");
  const std::string folder = TempPath("table_folder");
  std::filesystem::create_directories(folder);
  const std::string longLine = WriteTempFile("long.csv", "x,y\n" + std::string(70000, '1') + ",\n");
  struct Case {
    std::string table;
    std::string error;
  };
  const Case cases[] = {
      {"/dev/zero", "voq-solve: /dev/zero is a device, not a CSV table of runs\n"},
      {folder, "voq-solve: " + folder + " is a folder, not a CSV table of runs\n"},
      {longLine, "voq-solve: " + longLine + " line 2 is longer than 65535 characters"},
      {"/proc/self/mem", "voq-solve: cannot read /proc/self/mem"},
  };
  for (const Case& c : cases) {
    const SolverRun r = RunVoqSolve({"--table", c.table, equations});
    EXPECT_EQ(r.status, 2) << c.table;
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(c.error), std::string::npos) << r.err;
  }
}

// A CSV lookup file has no header row: a header is a field that is no
// number (error 370, shown once, with its line), and its columns are
// Column1, Column2, ..., which error 356 lists when the list fits the
// message (255 characters).
TEST(HostileInputTest, LookupFileMessagesAreShownOnceAndNameTheColumns) {
  const std::string headed = WriteTempFile("headed.csv", "P,Q\n1,2\n3,4\n");
  const std::string plain = WriteTempFile("plain.csv", "1,2\n3,4\n");
  std::string wideRow;
  for (int c = 1; c <= 40; ++c) wideRow += (c == 1 ? "" : ",") + std::to_string(c);
  const std::string wide = WriteTempFile("wide.csv", wideRow + "\n" + wideRow + "\n");
  auto Count = [](const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
  };
  struct Case {
    std::string equation;
    std::string error;
  };
  const Case cases[] = {
      {"y = Lookup('" + headed + "', 1, 1)",
       "Error 370: An illegal character was encountered in position 1 of the string P while reading " + headed +
           ". \n  line 1: y = Lookup("},
      {"y = Lookup('" + plain + "', 1, 'Q')",
       "Error 356: A column with the name Q was not found.  The table's columns are Column1, Column2.\n"},
      {"y = Lookup('" + wide + "', 1, 'Q')", "Error 356: A column with the name Q was not found.\n"},
  };
  for (const Case& c : cases) {
    const SolverRun r = RunVoqSolve({WriteTempFile("lookup.txt", c.equation + "\n")});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find(c.error), std::string::npos) << r.err;
    const size_t colon = c.error.find(": ");
    EXPECT_EQ(Count(r.err, c.error.substr(colon + 2, 30)), 1u) << r.err;
  }
  const SolverRun named = RunVoqSolve({WriteTempFile("lookup_ok.txt", "y = Lookup('" + plain + "', 2, 'column2')\n")});
  EXPECT_EQ(named.status, 0) << named.err;
  EXPECT_EQ(named.out, "y=4\n");
}

// The unit check names each equation as it reads; an INTEGRAL equation
// carries an internal mark that is no part of it.
TEST(HostileInputTest, UnitCheckShowsIntegralEquationsWithoutTheMark) {
  const SolverRun r = RunVoqSolve({WriteTempFile("units_integral.txt", "$CHECKUNITS ON\nh0 = 1 {[m]}\n"
                                                                   "h = h0 + INTEGRAL(2, t, 0, 1)\n")});
  EXPECT_NE(r.err.find("Unit check: h=h0+INTEGRAL(2,t,0,1): The dimensions of h0 [m] and Integral(2,t) "
                       "[dimensionless] are inconsistent.\n"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(r.err.find('~'), std::string::npos) << r.err;
}

}  // namespace

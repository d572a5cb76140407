#pragma once
// Runs the voq-solve binary as a user would (no shell, no input) and keeps
// what it printed, for the tests of the headless front end.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace voq::testing {

struct SolverRun {
  int status = -1;  // the exit status, -1 when the program did not exit
  std::string out;
  std::string err;
};

inline std::string ReadFileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Temporary files carry the process id: ctest runs the tests as separate
// processes side by side.
inline std::string TempPath(const std::string& name) {
  return ::testing::TempDir() + "voq_solve_" + std::to_string(::getpid()) + "_" + name;
}

// Writes content to the temporary file name and returns its path.
inline std::string WriteTempFile(const std::string& name, const std::string& content) {
  const std::string path = TempPath(name);
  std::ofstream(path, std::ios::binary) << content;
  return path;
}

// Waits for the child; with interruptAfterMs > 0 it first sends Ctrl+C's
// SIGINT after that time, and a child still running 10 s later is killed
// (status -1) rather than left to hang the test.
inline int WaitForVoqSolve(pid_t pid, int interruptAfterMs) {
  int raw = 0;
  if (interruptAfterMs <= 0) return ::waitpid(pid, &raw, 0) == pid && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  std::this_thread::sleep_for(std::chrono::milliseconds(interruptAfterMs));
  ::kill(pid, SIGINT);
  for (int waited = 0; waited < 1000; ++waited) {
    const pid_t done = ::waitpid(pid, &raw, WNOHANG);
    if (done == pid) return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    if (done < 0) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, &raw, 0);
  return -1;
}

// Runs binary (a copy of voq-solve, say) with the arguments.
inline SolverRun RunSolverBinary(const std::string& binary, const std::vector<std::string>& arguments,
                                 int interruptAfterMs = 0) {
  const std::string outPath = TempPath("run.out");
  const std::string errPath = TempPath("run.err");
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(binary.c_str()));
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  SolverRun run;
  const pid_t pid = ::fork();
  if (pid < 0) return run;
  if (pid == 0) {
    const int in = ::open("/dev/null", O_RDONLY);
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0) ::_exit(127);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    ::execv(binary.c_str(), argv.data());
    ::_exit(127);
  }
  run.status = WaitForVoqSolve(pid, interruptAfterMs);
  run.out = ReadFileText(outPath);
  run.err = ReadFileText(errPath);
  return run;
}

inline SolverRun RunVoqSolve(const std::vector<std::string>& arguments, int interruptAfterMs = 0) {
  return RunSolverBinary(VOQ_SOLVE_BINARY, arguments, interruptAfterMs);
}

}  // namespace voq::testing

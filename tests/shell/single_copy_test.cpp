// Each copy of the program is a child process of the test that runs the
// single-copy check against one temporary program folder, reports what
// happened through a pipe and keeps running (holding its locks) until the
// test lets it end.
#include "shell/single_copy.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <deque>
#include <set>

#include "shell/shell_state.h"
#include "qt_app.h"

namespace voq {
namespace {

constexpr int kDeclinedStatus = 7;

struct Copy {
  pid_t pid = -1;
  int release = -1;  // closing it lets the copy end
  bool asked = false;
  int number = 0;
  int status = -1;   // exit status once it ended
};

Copy StartCopy(const std::string& dir, bool answerYes, bool tickBox = false,
               std::vector<std::string> params = {}) {
  int report[2];
  int hold[2];
  if (::pipe(report) != 0 || ::pipe(hold) != 0) return {};
  const pid_t pid = ::fork();
  if (pid == 0) {
    // Only its own pipes: a copy holding another copy's release pipe would
    // keep that copy alive.
    for (int fd = 3; fd < 1024; ++fd) {
      if (fd != report[1] && fd != hold[0]) ::close(fd);
    }
    TCopyCheck check;
    check.ProgramDir = dir;
    check.Params = std::move(params);
    check.AskStartAnother = [&](bool& noMoreWarn) {
      (void)!::write(report[1], "A", 1);
      noMoreWarn = tickBox;
      return answerYes;
    };
    check.EndProcess = [] { ::_exit(kDeclinedStatus); };
    const int number = CheckRunningCopies(check);
    const std::string line = "N" + std::to_string(number) + "|" + InstanceTitle + "\n";
    (void)!::write(report[1], line.data(), line.size());
    char c;
    while (::read(hold[0], &c, 1) > 0) {
    }
    // The program's end.
    ReleaseCopyLocks();
    ::_exit(0);
  }
  ::close(report[1]);
  ::close(hold[0]);
  Copy copy;
  copy.pid = pid;
  copy.release = hold[1];
  std::string got;
  char c;
  while (::read(report[0], &c, 1) == 1 && c != '\n') got.push_back(c);
  ::close(report[0]);
  if (!got.empty() && got[0] == 'A') {
    copy.asked = true;
    got.erase(0, 1);
  }
  if (!got.empty() && got[0] == 'N') copy.number = std::stoi(got.substr(1));
  if (copy.number == 0) {
    ::waitpid(pid, &copy.status, 0);
    copy.pid = -1;
  }
  return copy;
}

void EndCopy(Copy& copy) {
  if (copy.release >= 0) ::close(copy.release);
  copy.release = -1;
  if (copy.pid > 0) ::waitpid(copy.pid, &copy.status, 0);
  copy.pid = -1;
}

std::set<std::string> Listing(const std::string& dir) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) names.insert(entry.path().filename().string());
  return names;
}

class SingleCopy : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = testing::MakeTempFolder("voq_copies"); }
  void TearDown() override {
    for (Copy& c : copies_) EndCopy(c);
    std::filesystem::remove_all(dir_);
  }
  Copy& Start(bool answerYes, bool tickBox = false, std::vector<std::string> params = {}) {
    copies_.push_back(StartCopy(dir_, answerYes, tickBox, std::move(params)));
    return copies_.back();
  }
  std::string dir_;
  std::deque<Copy> copies_;
};

TEST_F(SingleCopy, SecondCopyAsksAndTakesNumberTwo) {
  const Copy& first = Start(true);
  EXPECT_FALSE(first.asked);
  EXPECT_EQ(first.number, 1);
  const Copy& second = Start(true);
  EXPECT_TRUE(second.asked);
  EXPECT_EQ(second.number, 2);
  EXPECT_FALSE(std::filesystem::exists(dir_ + "/VOQ.NWM"));
}

TEST_F(SingleCopy, MarkerFileSilencesTheQuestion) {
  std::ofstream(dir_ + "/VOQ.NWM") << "N\r\n";
  Start(true);
  const Copy& second = Start(true);
  EXPECT_FALSE(second.asked);
  EXPECT_EQ(second.number, 2);
}

TEST_F(SingleCopy, TickedBoxWritesTheMarkerAndTheThirdCopyAsksNothing) {
  Start(true);
  const Copy& second = Start(true, /*tickBox=*/true);
  EXPECT_TRUE(second.asked);
  std::ifstream marker(dir_ + "/VOQ.NWM");
  std::string line;
  std::getline(marker, line);
  EXPECT_EQ(line, "N\r");
  const Copy& third = Start(true);
  EXPECT_FALSE(third.asked);
  EXPECT_EQ(third.number, 3);
}

TEST_F(SingleCopy, NumberOfAnEndedCopyStaysTakenWhileALaterCopyRuns) {
  std::ofstream(dir_ + "/VOQ.NWM") << "N\r\n";
  Start(true);
  Copy& second = Start(true);
  const Copy& third = Start(true);
  ASSERT_EQ(second.number, 2);
  ASSERT_EQ(third.number, 3);
  EndCopy(second);
  const Copy& fourth = Start(true);
  EXPECT_EQ(fourth.number, 4);
}

TEST_F(SingleCopy, AllCopiesEndedFreesTheNumbers) {
  Copy& first = Start(true);
  Copy& second = Start(true);
  EndCopy(first);
  EndCopy(second);
  // The last copy to end took the lock files with it.
  EXPECT_EQ(Listing(dir_), std::set<std::string>{});
  const Copy& again = Start(true);
  EXPECT_FALSE(again.asked);
  EXPECT_EQ(again.number, 1);
}

TEST_F(SingleCopy, AnsweringNoEndsTheCopyAndWritesNothing) {
  Start(true);
  const std::set<std::string> before = Listing(dir_);
  const Copy& declined = Start(false, /*tickBox=*/true);
  EXPECT_TRUE(declined.asked);
  EXPECT_EQ(declined.number, 0);
  ASSERT_TRUE(WIFEXITED(declined.status));
  EXPECT_EQ(WEXITSTATUS(declined.status), kDeclinedStatus);
  EXPECT_EQ(Listing(dir_), before);
}

TEST_F(SingleCopy, MultParameterSkipsTheCheck) {
  Start(true);
  const Copy& extra = Start(true, false, {"doc.voq", "x/Multi"});
  EXPECT_FALSE(extra.asked);
  EXPECT_EQ(extra.number, 1);
}

TEST(SingleCopyNames, LockFileNames) {
  EXPECT_EQ(CopyLockFileName(1), "VOQApp.lock");
  EXPECT_EQ(CopyLockFileName(2), "VOQApp(2).lock");
  EXPECT_EQ(CopyLockFileName(10), "VOQApp(10).lock");
}

}  // namespace
}  // namespace voq

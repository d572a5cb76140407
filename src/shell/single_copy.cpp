#include "shell/single_copy.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>

#include "shell/command_line.h"
#include "shell/shell_state.h"

namespace voq {

namespace {

constexpr int kMaxCopies = 10;

struct THeldLock {
  int Fd;
  std::string Path;
  bool Created;
};

// Held until the process ends: each name stays taken while any copy that
// touched it runs.
std::vector<THeldLock>& HeldLocks() {
  static std::vector<THeldLock> locks;
  return locks;
}

// Opens (creating when missing) the lock file of copy n; true when another
// process already holds a lock on it. This process keeps a shared lock on it
// either way, so a later copy sees this copy behind the name too.
bool TouchCopyLock(const std::string& dir, int copy) {
  const std::string path = dir + "/" + CopyLockFileName(copy);
  bool created = false;
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd >= 0) {
    created = true;
  } else {
    fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  }
  if (fd < 0) return false;  // an unwritable folder: behave as the first copy
  const bool existed = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  ::flock(fd, LOCK_SH);
  HeldLocks().push_back(THeldLock{fd, path, created});
  return existed;
}

bool FileExists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

}  // namespace

std::string CopyLockFileName(int copy) {
  if (copy <= 1) return "VOQApp.lock";
  return "VOQApp(" + std::to_string(copy) + ").lock";
}

int CheckRunningCopies(const TCopyCheck& check) {
  InstanceTitle = "VOQ";
  bool noMoreWarn = false;
  if (SkipsCopyCheck(check.Params)) return 1;

  const bool firstExists = TouchCopyLock(check.ProgramDir, 1);
  bool anyExisted = firstExists;
  int n = 1;
  int chosen = 2;
  bool exists = firstExists;
  while (n < kMaxCopies && exists) {
    ++n;
    exists = TouchCopyLock(check.ProgramDir, n);
    if (exists) {
      anyExisted = true;
    } else {
      chosen = n;
    }
  }
  if (!anyExisted) return 1;

  if (!FileExists(check.ProgramDir + "/VOQ.NWM")) {
    const bool yes = check.AskStartAnother && check.AskStartAnother(noMoreWarn);
    if (!yes) {
      // Declining starts nothing and leaves no file behind.
      for (THeldLock& lock : HeldLocks()) {
        if (lock.Created) ::unlink(lock.Path.c_str());
      }
      ReleaseCopyLocks();
      if (check.EndProcess) check.EndProcess();
      return 0;
    }
    if (noMoreWarn) {
      std::ofstream marker(check.ProgramDir + "/VOQ.NWM", std::ios::binary | std::ios::trunc);
      marker << "N\r\n";
    }
  }
  InstanceTitle = ("VOQ(" + std::to_string(chosen) + ")").substr(0, 30);
  return chosen;
}

void ReleaseCopyLocks() {
  // A lock file no other running copy holds is removed: the last copy to
  // end leaves no file beside the program. The exclusive lock taken first
  // tells that no other copy holds it.
  for (THeldLock& lock : HeldLocks()) {
    if (::flock(lock.Fd, LOCK_EX | LOCK_NB) == 0) ::unlink(lock.Path.c_str());
    ::close(lock.Fd);
  }
  HeldLocks().clear();
}

}  // namespace voq

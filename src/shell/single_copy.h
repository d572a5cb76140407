#pragma once
// The single-copy check. Each copy number n has a lock file in the program
// directory ("VOQApp.lock" for copy 1, "VOQApp(n).lock" for n = 2 to 10). A
// copy that runs holds a shared lock on every lock file it touched during
// its check until it ends; a new copy's exclusive non-blocking lock on a
// file then fails, which tells it that copy exists. The new copy takes the
// first number nobody holds, asks message 391 first unless "VOQ.NWM" says
// not to, and ends at once when the user declines.
#include <functional>
#include <string>
#include <vector>

namespace voq {

struct TCopyCheck {
  std::string ProgramDir;
  std::vector<std::string> Params;
  // The second-copy question (TWarnMultCopy): true for Yes; noMoreWarn gets
  // the state of "Do not show this dialog next time".
  std::function<bool(bool& noMoreWarn)> AskStartAnother;
  // Ends the process when the user declines (tests replace it).
  std::function<void()> EndProcess;
};

// The lock file of copy n.
std::string CopyLockFileName(int copy);

// Runs the check. Gives the copy number taken (1 when no other copy runs or
// the check was skipped with "/MULT"); sets InstanceTitle. When the user
// declines, the lock files this copy created are removed again and
// EndProcess runs; the result is then 0.
int CheckRunningCopies(const TCopyCheck& check);

// Releases the locks this process holds (the process ending does the same).
void ReleaseCopyLocks();

}  // namespace voq

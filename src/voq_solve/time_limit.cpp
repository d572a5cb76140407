#include "voq_solve/time_limit.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstring>
#include <iostream>
#include <string>

#include "core/message_ids.h"
#include "core/messages.h"

namespace voq {

namespace {

int limitSeconds = 0;
bool reached = false;
std::chrono::steady_clock::time_point deadline;

// Seconds the engine has after the limit to reach a poll and wind down
// before the watchdog ends the program.
constexpr unsigned kWatchdogGraceSeconds = 3;

// The watchdog's message is made before it is armed: a signal handler may
// only write and exit.
char watchdogMessage[512];
size_t watchdogMessageSize = 0;

extern "C" void OnWatchdog(int) {
  if (watchdogMessageSize > 0) {
    const ssize_t written = ::write(STDERR_FILENO, watchdogMessage, watchdogMessageSize);
    (void)written;
  }
  ::_exit(2);
}

}  // namespace

void StartTimeLimit(int seconds) {
  limitSeconds = seconds > 0 ? seconds : 0;
  reached = false;
  if (limitSeconds == 0) return;
  deadline = std::chrono::steady_clock::now() + std::chrono::seconds(limitSeconds);
  const std::string text = "Error " + std::to_string(kMsgTimeLimit) + ": " + GetMessageText(kMsgTimeLimit) +
                           "\n  voq-solve: --time-limit " + std::to_string(limitSeconds) +
                           ": the calculation did not stop in time and was ended\n";
  watchdogMessageSize = std::min(text.size(), sizeof watchdogMessage);
  std::memcpy(watchdogMessage, text.data(), watchdogMessageSize);
  struct sigaction action {};
  action.sa_handler = OnWatchdog;
  sigemptyset(&action.sa_mask);
  sigaction(SIGALRM, &action, nullptr);
  ::alarm(unsigned(limitSeconds) + kWatchdogGraceSeconds);
}

int TimeLimitSeconds() { return limitSeconds; }

bool TimeLimitPassed() {
  if (limitSeconds == 0) return false;
  if (!reached && std::chrono::steady_clock::now() >= deadline) reached = true;
  return reached;
}

bool TimeLimitReached() { return reached; }

void ReportTimeLimit() {
  std::cerr << "Error " << kMsgTimeLimit << ": " << GetMessageText(kMsgTimeLimit) << "\n"
            << "  voq-solve: --time-limit " << limitSeconds << " ended the calculation\n";
}

void StopTimeLimitWatchdog() {
  if (limitSeconds > 0) ::alarm(0);
}

}  // namespace voq

#include "fuzz_host.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "assembly/engine_assembly.h"
#include "model/solve_session.h"
#include "platform/host.h"

namespace voq::fuzz {

namespace {

FuzzPlatform* harnessPlatform = nullptr;

}  // namespace

void AssembleQuietEngine(ConsolePlatform& platform, const char* program) {
  platform.SetOutput(nullptr);
  platform.SetQuestionAnswer(kResultNo);
  // The host record points into the windows: they live as long as the program.
  static QuietHostWindows windows;
  THost host = windows.Record(platform);
  host.LocaleLanguage = [] { return std::string("ENU"); };
  std::string missing;
  if (!AssembleEngine(host, &missing)) {
    std::fprintf(stderr, "%s: the host lacks the %s\n", program, missing.c_str());
    std::exit(2);
  }
}

void StartFuzzHost() {
  static FuzzPlatform platform;
  harnessPlatform = &platform;
  AssembleQuietEngine(platform, "fuzz harness");
}

void LimitNextSolve() {
  StopCriteria.MaxIterations = kFuzzMaxIterations;
  StopCriteria.MaxElapsedSeconds = 1;
  if (harnessPlatform != nullptr)
    harnessPlatform->deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kFuzzTimeLimitMs);
}

}  // namespace voq::fuzz

// The test programs start the engine as the front ends do: a scripted
// platform (alerts answered by their default button, recorded) and a host
// without windows. Every test then begins from the engine's start state,
// whether or not it has a fixture, so no test depends on what an earlier one
// left behind (the binaries also run shuffled in one process).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "assembly/engine_assembly.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "session/engine.h"

namespace {

class EngineResetListener : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo& /*info*/) override { voq::ResetEngineState(); }
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  static voq::ScriptedPlatform platform;
  static voq::QuietHostWindows windows;
  // Tests choose the locale language they need; the machine's must not
  // change the texts they expect.
  voq::THost host = windows.Record(platform);
  host.LocaleLanguage = [] { return std::string("ENU"); };
  // The same engine as every front end: the layers above the session layer
  // join the engine reset.
  std::string missing;
  if (!voq::AssembleEngine(host, &missing)) {
    if (missing.empty()) {
      std::fprintf(stderr, "the engine did not start: no VOQ.DFT beside the test program?\n");
    } else {
      std::fprintf(stderr, "test host lacks the %s\n", missing.c_str());
    }
    return 2;
  }
  ::testing::UnitTest::GetInstance()->listeners().Append(new EngineResetListener);
  const int result = RUN_ALL_TESTS();
  // Module units live only in ProgramUnitList, whose storage goes with the
  // static destructors: released here, the sanitizer build's leak check at
  // exit reports only records the engine really lost.
  voq::ResetEngineState();
  return result;
}

#pragma once
// The host the fuzz harnesses (and make_document_seeds) start the engine on:
// a console platform that prints nothing and answers every question No
// (Cancel), windows that stay quiet, the English locale.
#include <chrono>
#include <cstdint>

#include "platform/console_platform.h"

namespace voq::fuzz {

// Per input: the solver's iterations and the wall-clock time of its solve.
constexpr int32_t kFuzzMaxIterations = 25;
constexpr int kFuzzTimeLimitMs = 1500;

// The Esc poll reports the time: the key is down once the deadline of the
// solve under way (LimitNextSolve) has passed.
class FuzzPlatform : public ConsolePlatform {
 public:
  bool TakeEscKeyDown() override { return std::chrono::steady_clock::now() >= deadline; }
  std::chrono::steady_clock::time_point deadline;
};

// Makes platform silent, answering No, and assembles the engine on it; a
// host that lacks a service the engine needs ends the program (status 2)
// with a message that names program.
void AssembleQuietEngine(ConsolePlatform& platform, const char* program);

// The harnesses' LLVMFuzzerInitialize: the engine on the FuzzPlatform.
void StartFuzzHost();

// Before each input's solve: kFuzzMaxIterations iterations and
// kFuzzTimeLimitMs of wall-clock time, whatever stop criteria the input set
// (the clock answers the abort poll, as voq-solve's --time-limit does, so
// a loop that never polls shows up as a libFuzzer timeout).
void LimitNextSolve();

}  // namespace voq::fuzz

#pragma once
// What the program makes of its command line at start-up. Only the first
// parameter chooses the start mode; "/MULT" anywhere skips the single-copy
// check; a distributable program reads its model number from "/1" to "/5".
#include <cstdint>
#include <string>
#include <vector>

namespace voq {

struct TStartMode {
  // The first parameter's extension begins with ".VMF": a batch macro run.
  bool PlayingMacroFile = false;
  // The first parameter is "/HIDE" in any letter case.
  bool HiddenMode = false;
  // The macro file (the first parameter, cut to 255 characters).
  std::string MacroFile;
  // The first parameter, or "" when there is none.
  std::string FirstParameter;
};

TStartMode ParseStartMode(const std::vector<std::string>& params);

// Any parameter holding "/MULT" in any letter case.
bool SkipsCopyCheck(const std::vector<std::string>& params);

// The first parameter "/d" with d one of 1 to 5 gives d; otherwise 1.
int16_t GetModelNumberParameter(const std::vector<std::string>& params);

}  // namespace voq

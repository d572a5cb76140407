#include "shell/command_line.h"


namespace voq {

namespace {

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

// From the last "." of the file name (not of a folder), the dot included.
std::string Extension(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos || dot < nameStart) return std::string();
  return path.substr(dot);
}

}  // namespace

TStartMode ParseStartMode(const std::vector<std::string>& params) {
  TStartMode mode;
  if (params.empty()) return mode;
  const std::string& first = params.front();
  mode.FirstParameter = first;
  if (Upper(Extension(first)).substr(0, 4) == ".VMF") {
    mode.PlayingMacroFile = true;
    mode.MacroFile = first.substr(0, 255);
  } else if (Upper(first) == "/HIDE") {
    mode.HiddenMode = true;
  }
  return mode;
}

bool SkipsCopyCheck(const std::vector<std::string>& params) {
  for (const std::string& p : params) {
    if (Upper(p).find("/MULT") != std::string::npos) return true;
  }
  return false;
}

int16_t GetModelNumberParameter(const std::vector<std::string>& params) {
  for (const std::string& p : params) {
    if (p.size() >= 2 && p[0] == '/' && p[1] >= '1' && p[1] <= '5') return static_cast<int16_t>(p[1] - '0');
  }
  return 1;
}

}  // namespace voq

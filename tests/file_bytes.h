#pragma once
// Whole files read and written byte for byte, for the tests that check what
// the program stores and what it makes of a file it is given.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace voq::testing {

inline std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

}  // namespace voq::testing

#include "documents/library_file.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "core/search_path.h"
#include "documents/document_file.h"
#include "model/program_units.h"

namespace voq {

namespace {

constexpr size_t kHeaderBytes = 31;
constexpr size_t kUnitHeaderBytes = 133;
constexpr double kFirstVersionWithUnits = 4.6;

int32_t GetInt32(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                              static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

// The program units after the text: int16 U, then per unit a 133-byte header
// (name string[30] first) and its variable section.
bool ReadLibraryUnits(const std::vector<uint8_t>& bytes, size_t& pos, char separator, std::string& error) {
  if (pos + 2 > bytes.size()) return true;  // a file that ends after its text has no units
  const int16_t count = static_cast<int16_t>(bytes[pos] | bytes[pos + 1] << 8);
  pos += 2;
  if (count < 0) {
    error = "negative program-unit count";
    return false;
  }
  for (int16_t u = 0; u < count; ++u) {
    if (pos + kUnitHeaderBytes > bytes.size()) {
      error = "program-unit header past the end of the file";
      return false;
    }
    const uint8_t* h = bytes.data() + pos;
    const std::string name(reinterpret_cast<const char*>(h + 1), std::min<size_t>(h[0], 30));
    pos += kUnitHeaderBytes;
    TProgramUnitRecord* unit = FindOrCreateModule(name);
    if (unit == nullptr) {
      error = "no memory for unit " + name;
      return false;
    }
    unit->Name = name;
    unit->Defined = 0;
    if (!ReadVariableSection(bytes.data(), bytes.size(), pos, unit, separator, '.')) {
      error = "variable section of unit " + name;
      return false;
    }
  }
  return true;
}

}  // namespace

bool ReadLibraryBytes(const std::vector<uint8_t>& bytes, TLibraryFileContents& contents, std::string& error) {
  contents = TLibraryFileContents{};
  const bool libraryForm = bytes.size() >= 5 && bytes[1] == '$' && bytes[2] == 'S' && bytes[3] == 'B' && bytes[4] == '1';
  if (!libraryForm) {
    // Plain equation text, up to a zero byte if there is one.
    std::string text(bytes.begin(), bytes.end());
    const size_t zero = text.find('\0');
    if (zero != std::string::npos) text.resize(zero);
    contents.Text = text;
    return true;
  }
  if (bytes.size() < kHeaderBytes + 4) {
    error = "library header past the end of the file";
    return false;
  }
  contents.LibraryForm = true;
  // "$SB1-", the separator when it is not ".", the mode letter, the version,
  // a CR.
  std::string header(reinterpret_cast<const char*>(bytes.data() + 1), std::min<size_t>(bytes[0], 30));
  size_t at = 5;
  if (at < header.size() && header[at] != 'C' && header[at] != 'X' && header[at] != 'W') {
    contents.DecimalSeparator = header[at];
    ++at;
  }
  ++at;  // the mode letter
  std::string version = at < header.size() ? header.substr(at) : std::string();
  const size_t cr = version.find('\r');
  if (cr != std::string::npos) version.resize(cr);
  contents.Version = version;

  size_t pos = kHeaderBytes;
  const int32_t length = GetInt32(bytes.data() + pos);
  pos += 4;
  if (length < 0 || static_cast<size_t>(length) > bytes.size() - pos) {
    error = "equation text past the end of the file";
    return false;
  }
  std::string text(reinterpret_cast<const char*>(bytes.data() + pos), static_cast<size_t>(length));
  const size_t zero = text.find('\0');
  if (zero != std::string::npos) text.resize(zero);
  contents.Text = text;
  pos += static_cast<size_t>(length);

  std::string versionNumber = version;
  if (!versionNumber.empty() && versionNumber.find(',') != std::string::npos) {
    versionNumber[versionNumber.find(',')] = '.';
  }
  if (std::strtod(versionNumber.c_str(), nullptr) > kFirstVersionWithUnits) {
    return ReadLibraryUnits(bytes, pos, contents.DecimalSeparator, error);
  }
  return true;
}

bool ReadLibraryFile(const std::string& path, TLibraryFileContents& contents, std::string& error) {
  std::vector<uint8_t> bytes;
  const int32_t ioResult = ReadFileBytes(path, bytes);
  if (ioResult == 2 || ioResult == 5) {
    error = "cannot open " + path;
    return false;
  }
  if (ioResult != 0) {
    error = "I/O error " + std::to_string(ioResult) + " reading " + path;
    return false;
  }
  return ReadLibraryBytes(bytes, contents, error);
}

}  // namespace voq

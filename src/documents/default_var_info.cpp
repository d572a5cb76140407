#include "documents/default_var_info.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/messages.h"
#include "model/store_state.h"

namespace voq {

namespace {

constexpr uint8_t kDviTag[6] = {5, 'D', 'V', 'I', '_', '1'};

}  // namespace

std::vector<uint8_t> PackDviFile(const std::array<TLetterDefaultRecord, 26>& block) {
  std::vector<uint8_t> bytes(kDviFileSize, 0);
  std::copy(std::begin(kDviTag), std::end(kDviTag), bytes.begin());
  PackLetterDefaultBlock(block, bytes.data() + kDviHeaderSize);
  return bytes;
}

bool UnpackDviFile(const std::vector<uint8_t>& bytes, std::array<TLetterDefaultRecord, 26>& block) {
  if (bytes.size() < kDviFileSize) return false;
  std::array<TLetterDefaultRecord, 26> read{};
  UnpackLetterDefaultBlock(bytes.data() + kDviHeaderSize, read);
  block = read;
  return true;
}

int32_t WriteDviFile(const std::string& path, const std::array<TLetterDefaultRecord, 26>& block) {
  std::vector<uint8_t> bytes = PackDviFile(block);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return errno == EACCES ? 5 : 101;
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return out ? 0 : 101;
}

int32_t ReadDviFile(const std::string& path, std::array<TLetterDefaultRecord, 26>& block) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return errno == EACCES ? 5 : 2;
  // Only the first 1,675 bytes are read, whatever the file's length.
  std::vector<uint8_t> bytes(kDviFileSize);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<size_t>(in.gcount()));
  return UnpackDviFile(bytes, block) ? 0 : 100;
}

void ReadDefaultVarInfoFile(const std::string& programDirectory) {
  std::filesystem::path path = std::filesystem::path(programDirectory) / kDefaultDviFileName;
  DviFileName = path.string().substr(0, 128);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return;
  int32_t code = ReadDviFile(path.string(), LetterDefaults);
  if (code != 0) ReportIOError(code);
}

}  // namespace voq

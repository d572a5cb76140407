#include "core/search_path.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "core/messages.h"
#include "core/text_utils.h"

namespace voq {

std::vector<std::string> SearchPathList;

namespace {

// Days from 1899-12-30 (date-time zero) to 1970-01-01.
constexpr double kUnixEpochDays = 25569.0;

bool IsRegularFile(const std::string& name) {
  std::error_code ec;
  return std::filesystem::is_regular_file(name, ec);
}

}  // namespace

void AddSearchDirectory(const std::string& dir) {
  const size_t first = dir.find_first_not_of(' ');
  if (first == std::string::npos) return;
  const std::string name = dir.substr(first);
  std::error_code ec;
  if (!std::filesystem::is_directory(name, ec)) {
    ThrottledBeep();
    return;
  }
  for (const std::string& entry : SearchPathList) {
    if (SameTextNoCase(entry, name)) return;
  }
  SearchPathList.push_back(name);
}

bool FileExistsOnPath(const std::string& name, std::string* resolved) {
  if (resolved != nullptr) *resolved = name;
  if (SameTextNoCase(name, "CLIPBOARD")) return true;
  if (name.find('/') != std::string::npos) return IsRegularFile(name);
  if (IsRegularFile(name)) return true;
  for (const std::string& dir : SearchPathList) {
    if (dir.empty()) continue;
    const std::string candidate = (std::filesystem::path(dir) / name).string();
    if (IsRegularFile(candidate)) {
      if (resolved != nullptr) *resolved = candidate;
      return true;
    }
  }
  return false;
}

std::string NonFileKind(const std::string& name, std::string* found) {
  auto kindOf = [](const std::string& path) -> std::string {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode)) return "";
    if (S_ISDIR(info.st_mode)) return "a folder";
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) return "a device";
    return "a pipe or socket";
  };
  if (name.empty()) return "";
  std::string kind = kindOf(name);
  if (!kind.empty() || name.find('/') != std::string::npos) {
    if (found != nullptr) *found = name;
    return kind;
  }
  for (const std::string& dir : SearchPathList) {
    if (dir.empty()) continue;
    const std::string candidate = (std::filesystem::path(dir) / name).string();
    kind = kindOf(candidate);
    if (!kind.empty()) {
      if (found != nullptr) *found = candidate;
      return kind;
    }
  }
  return "";
}

int32_t ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes, size_t maxBytes) {
  bytes.clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? 2 : 5;
  struct stat info {};
  int32_t result = 0;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) result = 100;
  // The descriptor is closed however the reading ends (std::bad_alloc
  // included, which goes on to the caller).
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  uint8_t piece[65536];
  while (result == 0) {
    const ssize_t got = ::read(fd, piece, sizeof piece);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 || (got > 0 && bytes.size() + size_t(got) > maxBytes)) {
      result = 100;
      break;
    }
    if (got == 0) break;
    bytes.insert(bytes.end(), piece, piece + got);
  }
  if (result != 0) {
    bytes.clear();
    bytes.shrink_to_fit();
  }
  return result;
}

double FileDateOf(const std::string& name) {
  // Read-only, without any lock that would keep others from the file.
  const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  struct stat info {};
  const bool haveInfo = ::fstat(fd, &info) == 0;
  ::close(fd);
  if (!haveInfo) return 0;
  const time_t seconds = info.st_mtim.tv_sec;
  struct tm local {};
  if (!localtime_r(&seconds, &local)) return 0;
  const double localSeconds = static_cast<double>(seconds) + static_cast<double>(local.tm_gmtoff) +
                              static_cast<double>(info.st_mtim.tv_nsec) * 1e-9;
  return kUnixEpochDays + localSeconds / 86400.0;
}

}  // namespace voq

// Linked into the harnesses with -Wl,--wrap=fopen: every file the engine
// opens for writing ($EXPORT, $SAVELOOKUP) goes to /dev/null, so that a
// fuzzing run never scatters files named by its inputs, but for libFuzzer's
// own corpus units and findings.
#include <cstddef>
#include <cstdio>
#include <cstring>

extern "C" std::FILE* __real_fopen(const char* path, const char* mode);

// libFuzzer's own files (corpus units and findings) end in the 40 hex
// digits of their hash: those are written where it says.
static bool IsFuzzerFile(const char* path) {
  const char* slash = std::strrchr(path, '/');
  const char* name = slash != nullptr ? slash + 1 : path;
  const size_t length = std::strlen(name);
  if (length < 40) return false;
  for (const char* c = name + length - 40; *c != '\0'; ++c)
    if (std::strchr("0123456789abcdef", *c) == nullptr) return false;
  return true;
}

extern "C" std::FILE* __wrap_fopen(const char* path, const char* mode) {
  if (path != nullptr && mode != nullptr && !IsFuzzerFile(path) &&
      (std::strchr(mode, 'w') != nullptr || std::strchr(mode, 'a') != nullptr ||
       std::strchr(mode, '+') != nullptr))
    return __real_fopen("/dev/null", mode);
  return __real_fopen(path, mode);
}

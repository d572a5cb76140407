#include "platform/dynamic_library.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

namespace voq {

LibraryHandle LoadDynamicLibrary(const std::string& path, std::string* error) {
  if (path.empty()) {
    if (error != nullptr) *error = "no library name";
    return nullptr;
  }
  // A name without a folder means the file in the current directory, as the
  // library folders are made current before their files are loaded.
  std::string name = path;
  if (name.find('/') == std::string::npos) name = "./" + name;
  dlerror();
  void* handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr && error != nullptr) {
    const char* reason = dlerror();
    *error = reason != nullptr ? reason : "cannot load";
  }
  return handle;
}

void* FindLibraryEntry(LibraryHandle library, const std::string& name) {
  if (library == nullptr || name.empty()) return nullptr;
  dlerror();
  return dlsym(library, name.c_str());
}

void FreeDynamicLibrary(LibraryHandle library) {
  if (library != nullptr) dlclose(library);
}

std::string CurrentDirectoryPath() {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::current_path(ec);
  return ec ? std::string() : p.string();
}

bool SetCurrentDirectoryPath(const std::string& path) {
  if (path.empty()) return false;
  std::error_code ec;
  std::filesystem::current_path(path, ec);
  return !ec;
}

}  // namespace voq

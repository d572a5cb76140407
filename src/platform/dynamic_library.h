#pragma once
// Shared objects loaded at run time (external routine libraries, the
// external property library), and the process's current directory, which
// external routines expect to be their library's folder while they run.
#include <string>

namespace voq {

// An opaque handle of a loaded library; nullptr when none.
using LibraryHandle = void*;

// Loads the library at path (a plain name is looked for in the current
// directory, not on the system's library path). nullptr on failure, with the
// loader's reason in error when given.
LibraryHandle LoadDynamicLibrary(const std::string& path, std::string* error = nullptr);
// The exported symbol of that exact (case-sensitive) name; nullptr when the
// library has none.
void* FindLibraryEntry(LibraryHandle library, const std::string& name);
// Releases one load of the library; nullptr is ignored.
void FreeDynamicLibrary(LibraryHandle library);

// The current directory; empty when it cannot be read.
std::string CurrentDirectoryPath();
// Makes path current; false when it cannot.
bool SetCurrentDirectoryPath(const std::string& path);

}  // namespace voq

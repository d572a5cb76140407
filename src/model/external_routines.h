#pragma once
// External routines: functions and procedures in shared objects that the
// user library loader registers, one record per routine, in two lists kept
// in registration order. Compiled code names a routine by its Sequence; the
// evaluator calls it through the record. The binary interface the libraries
// implement is include/voq/external.h.
#include <cstdint>
#include <string>
#include <vector>

#include "core/handles.h"
#include "platform/dynamic_library.h"
#include "voq/external.h"

namespace voq {

// A procedure record's array caches hold this many 8-byte reals.
inline constexpr int32_t kFdlCacheSize = 200;
// The text buffer exchanged with every routine.
inline constexpr int32_t kExternalTextSize = VOQ_TEXT_SIZE;

struct TExternalFunctionRecord {
  // The library's file name while the record is built; then the routine's
  // help file (".HLP" or ".HTM" beside the library), or empty.
  std::string HelpPath;
  std::string Directory;  // the library's folder, made current around each call
  std::string FilePath;   // folder, separator and file name of the library
  LibraryHandle Module = nullptr;
  bool OwnsModule = false;
  std::string Name;  // at most 30 characters
  VoqExternalFunction Entry = nullptr;
  int32_t Sequence = 0;
  TExternalFunctionRecord* Next = nullptr;
};

struct TExternalProcedureRecord {
  std::string HelpPath;
  std::string Directory;
  std::string FilePath;
  LibraryHandle Module = nullptr;
  bool OwnsModule = false;
  std::string Name;
  VoqExternalProcedure Entry = nullptr;  // list style
  int32_t InputCount = 0;
  int32_t OutputCount = 0;
  int32_t Sequence = 0;
  VoqArrayProcedure FdlEntry = nullptr;  // array style
  bool IsFdl = false;
  // List-style cache: the input and output lists of the last call.
  TParamNodeRecord* LastInputs = nullptr;
  TParamNodeRecord* LastOutputs = nullptr;
  // Array-style cache, kFdlCacheSize values each, +infinity at registration.
  std::vector<double> FdlInputCache;
  std::vector<double> FdlOutputCache;
  int32_t LastTextIndex = -1;
  TExternalProcedureRecord* Next = nullptr;
};

extern TExternalFunctionRecord* ExternalFunctionList;
extern TExternalProcedureRecord* ExternalProcedureList;
// Registrations since the start-up loading began, failed ones included.
extern int32_t ExternalFunctionCount;
extern int32_t ExternalProcedureCount;
// Libraries of several routines, by upper-case file name, each once.
extern std::vector<std::string> RoutineLibraryDlls;

// Registers one function. A library of one routine: libraryName and
// routineName empty, module nullptr, ownsModule true; the file is loaded
// from folder and its export named like the file (upper case, without the
// extension) is the entry. A routine of a listing library: libraryName the
// library's upper-case file name, module the loaded library, routineName the
// listed name (the export's name). Messages 368 and 407 as alerts.
void RegisterExternalFunction(const std::string& folder, const std::string& fileName,
                              const std::string& libraryName, bool ownsModule, LibraryHandle module,
                              const std::string& routineName);
// The same for a procedure; the style of a library of one routine follows
// from its extension (".DLP" list, ".FDL" array), listStyle serves a routine
// of a listing library. Message 408 for a list-style procedure without its
// export; an array-style one stays registered without an entry.
void RegisterExternalProcedure(const std::string& folder, const std::string& fileName,
                               const std::string& libraryName, bool ownsModule, bool listStyle,
                               LibraryHandle module, const std::string& routineName);
// Loads a library of several routines and registers what its list functions
// "DLFNames", "DLPNames" and "FDLNames" name. Silent when it cannot load.
void LoadRoutineLibrary(const std::string& folder, const std::string& fileName);
// Appends the record of the built-in array-style procedure "VOQREFP6".
void RegisterPropertyDllProc();

// Look-ups by the number compiled into code, and by upper-case name.
TExternalFunctionRecord* FindExternalFunction(int32_t sequence);
TExternalProcedureRecord* FindExternalProcedure(int32_t sequence);
TExternalFunctionRecord* FindExternalFunctionByName(const std::string& upperName);
TExternalProcedureRecord* FindExternalProcedureByName(const std::string& upperName);

// Unlinks and frees the first record whose upper-case FilePath is
// upperPath, releasing its module when it owns it; false when none.
bool UnloadExternalFunction(const std::string& upperPath);
bool UnloadExternalProcedure(const std::string& upperPath);

// Every record freed with its caches, every library released, the counts 0.
void DisposeExternalRoutines();

// The path separator of this platform, and a folder with it at its end.
inline constexpr char kPathSeparator = '/';
std::string WithTrailingSeparator(const std::string& folder);

}  // namespace voq

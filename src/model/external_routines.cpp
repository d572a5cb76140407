#include "model/external_routines.h"

#include <cstddef>
#include <filesystem>
#include <limits>
#include <set>
#include <system_error>
#include <type_traits>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/search_path.h"
#include "core/text_utils.h"
#include "platform/platform.h"

namespace voq {

// The engine's list node and the published one are the same memory: the
// engine hands its lists to the libraries as they stand.
static_assert(std::is_standard_layout_v<TParamNodeRecord>);
static_assert(sizeof(TParamNodeRecord) == sizeof(VoqParamNode));
static_assert(offsetof(TParamNodeRecord, Value) == offsetof(VoqParamNode, value));
static_assert(offsetof(TParamNodeRecord, Next) == offsetof(VoqParamNode, next));

TExternalFunctionRecord* ExternalFunctionList = nullptr;
TExternalProcedureRecord* ExternalProcedureList = nullptr;
int32_t ExternalFunctionCount = 0;
int32_t ExternalProcedureCount = 0;
std::vector<std::string> RoutineLibraryDlls;

namespace {

constexpr size_t kNameLength = 30;
constexpr size_t kListPieceLength = 255;

std::string CutBeforeDot(const std::string& text) {
  const size_t dot = text.find('.');
  return dot == std::string::npos ? text : text.substr(0, dot);
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

std::string AbsoluteFolder(const std::string& folder) {
  if (folder.empty()) return CurrentDirectoryPath();
  std::error_code ec;
  std::filesystem::path p = std::filesystem::absolute(folder, ec);
  return ec ? folder : p.lexically_normal().string();
}

void ShowLoadFailure(const std::string& name) {
  // The loader gives no number here; 0 stands for "no handle".
  SetMessageArg(1, "0");
  SetMessageArg(2, name);
  ShowAlert(GetMessageText(kMsgUnexpectedReadError), kAlertErrorOk, true);
}

void ShowMissing(int32_t message, const std::string& name) {
  SetMessageArg(1, name);
  ShowAlert(GetMessageText(message), kAlertErrorOk, true);
}

// The help file of a routine: for a library of one routine NAME.HLP, else
// NAME.HTM beside it; for a listing library the library's name with ".HLP"
// for ".DLL", else NAME.HTM.
std::string FindHelpFile(const std::string& folder, const std::string& name,
                         const std::string& libraryName) {
  std::string first;
  if (libraryName.empty()) {
    first = folder + name + ".HLP";
  } else {
    const size_t dll = libraryName.find(".DLL");
    first = folder + (dll == std::string::npos ? libraryName : libraryName.substr(0, dll) + ".HLP");
  }
  if (FileExists(first)) return first;
  const std::string second = folder + name + ".HTM";
  return FileExists(second) ? second : std::string();
}

template <typename Record>
void Append(Record*& list, Record* record) {
  Record** tail = &list;
  while (*tail != nullptr) tail = &(*tail)->Next;
  *tail = record;
}

void RegisterListed(const std::string& folder, const std::string& fileName, const std::string& libraryName,
                    LibraryHandle module, const std::string& listName, const std::string& list) {
  bool first = true;
  size_t from = 0;
  while (from <= list.size()) {
    size_t comma = list.find(',', from);
    if (comma == std::string::npos) comma = list.size();
    std::string piece = list.substr(from, comma - from);
    if (piece.size() > kListPieceLength) piece.resize(kListPieceLength);
    if (!piece.empty()) {
      if (listName == "DLFNames") {
        RegisterExternalFunction(folder, fileName, libraryName, first, module, piece);
      } else {
        RegisterExternalProcedure(folder, fileName, libraryName, first, listName == "DLPNames", module, piece);
      }
    }
    first = false;
    if (comma == list.size()) break;
    from = comma + 1;
  }
}

bool ModuleInUse(LibraryHandle module) {
  for (TExternalFunctionRecord* f = ExternalFunctionList; f != nullptr; f = f->Next) {
    if (f->Module == module) return true;
  }
  for (TExternalProcedureRecord* p = ExternalProcedureList; p != nullptr; p = p->Next) {
    if (p->Module == module) return true;
  }
  return false;
}

// The fields both kinds of external routine fill the same way before their
// entry is looked up: where the routine lives, and for a routine of a
// library its name, module and the library's place in RoutineLibraryDlls.
template <typename Record>
Record* NewRoutineRecord(const std::string& folder, const std::string& fileName, bool ownsModule) {
  auto* r = new Record;
  r->Directory = AbsoluteFolder(folder);
  AddSearchDirectory(r->Directory);
  r->FilePath = fileName;
  r->OwnsModule = ownsModule;
  return r;
}

// A routine in a library of its own: the file is loaded and names the
// routine (extension included until the caller cuts it). False, with the
// failure shown, when it cannot be loaded.
template <typename Record>
bool LoadOwnLibrary(Record* r, const std::string& dir, const std::string& fileName) {
  r->HelpPath = fileName;
  r->Name = UpperCaseText(fileName).substr(0, kNameLength);
  r->Module = LoadDynamicLibrary(dir + fileName);
  if (r->Module == nullptr) ShowLoadFailure(r->Name);
  return r->Module != nullptr;
}

// Returns the name the routine's entry is exported under.
template <typename Record>
std::string TakeLibraryRoutine(Record* r, const std::string& libraryName, LibraryHandle module,
                               const std::string& routineName) {
  r->HelpPath = libraryName;
  bool known = false;
  for (const std::string& dll : RoutineLibraryDlls) known = known || dll == libraryName;
  if (!known) RoutineLibraryDlls.push_back(libraryName);
  r->Name = routineName.substr(0, kNameLength);
  r->Module = module;
  return r->Name;
}

}  // namespace

std::string WithTrailingSeparator(const std::string& folder) {
  if (folder.empty() || folder.back() == kPathSeparator) return folder;
  return folder + kPathSeparator;
}

void RegisterExternalFunction(const std::string& folder, const std::string& fileName,
                              const std::string& libraryName, bool ownsModule, LibraryHandle module,
                              const std::string& routineName) {
  const std::string check = CutBeforeDot(UpperCaseText(routineName.empty() ? fileName : routineName));
  if (FindExternalFunctionByName(check) != nullptr) return;
  ++ExternalFunctionCount;
  auto* r = NewRoutineRecord<TExternalFunctionRecord>(folder, fileName, ownsModule);
  const std::string dir = WithTrailingSeparator(folder.empty() ? r->Directory : folder);
  std::string entryName;
  if (libraryName.empty()) {
    const std::string upperFile = UpperCaseText(fileName);
    if (!LoadOwnLibrary(r, dir, fileName)) {
      delete r;
      return;
    }
    const size_t ext = r->Name.find(".DLF");
    if (ext != std::string::npos) r->Name.resize(ext);
    entryName = upperFile.substr(0, r->Name.size());
  } else {
    entryName = TakeLibraryRoutine(r, libraryName, module, routineName);
  }
  r->Entry = reinterpret_cast<VoqExternalFunction>(FindLibraryEntry(r->Module, entryName));
  if (r->Entry == nullptr) {
    ShowMissing(kMsgFunctionNotFound, r->Name);
    // A library of one routine that serves nothing is let go again.
    if (libraryName.empty() && !ModuleInUse(r->Module)) FreeDynamicLibrary(r->Module);
    delete r;
    return;
  }
  r->FilePath = dir + fileName;
  r->HelpPath = FindHelpFile(dir, r->Name, libraryName);
  r->Sequence = ExternalFunctionCount;
  Append(ExternalFunctionList, r);
}

void RegisterExternalProcedure(const std::string& folder, const std::string& fileName,
                               const std::string& libraryName, bool ownsModule, bool listStyle,
                               LibraryHandle module, const std::string& routineName) {
  const std::string routine = routineName.empty() ? UpperCaseText(fileName) : routineName;
  if (FindExternalProcedureByName(CutBeforeDot(UpperCaseText(routine))) != nullptr) return;
  ++ExternalProcedureCount;
  auto* r = NewRoutineRecord<TExternalProcedureRecord>(folder, fileName, ownsModule);
  const std::string dir = WithTrailingSeparator(folder.empty() ? r->Directory : folder);
  std::string entryName;
  if (libraryName.empty()) {
    const std::string upperFile = UpperCaseText(fileName);
    if (!LoadOwnLibrary(r, dir, fileName)) {
      delete r;
      return;
    }
    size_t ext = r->Name.find(".DLP");
    if (ext != std::string::npos) {
      r->IsFdl = false;
    } else if ((ext = r->Name.find(".FDL")) != std::string::npos) {
      r->IsFdl = true;
    } else {
      FreeDynamicLibrary(r->Module);
      delete r;
      return;
    }
    r->Name.resize(ext);
    entryName = upperFile.substr(0, r->Name.size());
  } else {
    entryName = TakeLibraryRoutine(r, libraryName, module, routineName);
    r->IsFdl = !listStyle;
  }
  void* entry = FindLibraryEntry(r->Module, entryName);
  if (!r->IsFdl) {
    r->Entry = reinterpret_cast<VoqExternalProcedure>(entry);
    if (r->Entry == nullptr) {
      ShowMissing(kMsgProcedureNotFound, r->Name);
      if (libraryName.empty() && !ModuleInUse(r->Module)) FreeDynamicLibrary(r->Module);
      delete r;
      return;
    }
  } else {
    // Registered without an entry when the export is missing: a call then
    // fails as a call that raised an error does.
    r->FdlEntry = reinterpret_cast<VoqArrayProcedure>(entry);
    r->FdlInputCache.assign(kFdlCacheSize, std::numeric_limits<double>::infinity());
    r->FdlOutputCache.assign(kFdlCacheSize, std::numeric_limits<double>::infinity());
  }
  r->FilePath = dir + fileName;
  r->HelpPath = FindHelpFile(dir, r->Name, libraryName);
  r->Sequence = ExternalProcedureCount;
  Append(ExternalProcedureList, r);
}

void LoadRoutineLibrary(const std::string& folder, const std::string& fileName) {
  const std::string libraryName = UpperCaseText(fileName);
  const std::string dir = WithTrailingSeparator(folder.empty() ? CurrentDirectoryPath() : folder);
  LibraryHandle module = LoadDynamicLibrary(dir + fileName);
  if (module == nullptr) return;
  for (const char* listName : {"DLFNames", "DLPNames", "FDLNames"}) {
    auto names = reinterpret_cast<VoqNameList>(FindLibraryEntry(module, listName));
    if (names == nullptr) continue;
    std::vector<char> buffer(VOQ_NAMES_SIZE, '\0');
    try {
      names(buffer.data());
    } catch (...) {
      continue;
    }
    buffer.back() = '\0';  // a list that overran its room still ends here
    const std::string list(buffer.data());
    if (list.empty()) continue;
    RegisterListed(folder, fileName, libraryName, module, listName, list);
  }
  if (!ModuleInUse(module)) FreeDynamicLibrary(module);
}

void RegisterPropertyDllProc() {
  auto* r = new TExternalProcedureRecord;
  r->Name = "VOQREFP6";
  r->FilePath = "VOQREFP6";
  r->IsFdl = true;
  r->FdlInputCache.assign(kFdlCacheSize, std::numeric_limits<double>::infinity());
  r->FdlOutputCache.assign(kFdlCacheSize, std::numeric_limits<double>::infinity());
  r->Sequence = ++ExternalProcedureCount;
  Append(ExternalProcedureList, r);
}

TExternalFunctionRecord* FindExternalFunction(int32_t sequence) {
  for (TExternalFunctionRecord* f = ExternalFunctionList; f != nullptr; f = f->Next) {
    if (f->Sequence == sequence) return f;
  }
  return nullptr;
}

TExternalProcedureRecord* FindExternalProcedure(int32_t sequence) {
  for (TExternalProcedureRecord* p = ExternalProcedureList; p != nullptr; p = p->Next) {
    if (p->Sequence == sequence) return p;
  }
  return nullptr;
}

TExternalFunctionRecord* FindExternalFunctionByName(const std::string& upperName) {
  for (TExternalFunctionRecord* f = ExternalFunctionList; f != nullptr; f = f->Next) {
    if (UpperCaseText(f->Name) == upperName) return f;
  }
  return nullptr;
}

TExternalProcedureRecord* FindExternalProcedureByName(const std::string& upperName) {
  for (TExternalProcedureRecord* p = ExternalProcedureList; p != nullptr; p = p->Next) {
    if (UpperCaseText(p->Name) == upperName) return p;
  }
  return nullptr;
}

namespace {

void FreeProcedure(TExternalProcedureRecord* p) {
  DisposeNodeList(p->LastInputs);
  DisposeNodeList(p->LastOutputs);
  delete p;
}

}  // namespace

bool UnloadExternalFunction(const std::string& upperPath) {
  for (TExternalFunctionRecord** link = &ExternalFunctionList; *link != nullptr; link = &(*link)->Next) {
    TExternalFunctionRecord* f = *link;
    if (UpperCaseText(f->FilePath) != upperPath) continue;
    *link = f->Next;
    if (f->OwnsModule && !ModuleInUse(f->Module)) FreeDynamicLibrary(f->Module);
    delete f;
    return true;
  }
  return false;
}

bool UnloadExternalProcedure(const std::string& upperPath) {
  for (TExternalProcedureRecord** link = &ExternalProcedureList; *link != nullptr; link = &(*link)->Next) {
    TExternalProcedureRecord* p = *link;
    if (UpperCaseText(p->FilePath) != upperPath) continue;
    *link = p->Next;
    LibraryHandle module = p->OwnsModule ? p->Module : nullptr;
    FreeProcedure(p);
    if (module != nullptr && !ModuleInUse(module)) FreeDynamicLibrary(module);
    return true;
  }
  return false;
}

void DisposeExternalRoutines() {
  // Each loaded library once, whichever record owns it: a listing library
  // whose first name failed to register has no owner among the records.
  std::set<LibraryHandle> modules;
  while (ExternalFunctionList != nullptr) {
    TExternalFunctionRecord* f = ExternalFunctionList;
    ExternalFunctionList = f->Next;
    if (f->Module != nullptr) modules.insert(f->Module);
    delete f;
  }
  while (ExternalProcedureList != nullptr) {
    TExternalProcedureRecord* p = ExternalProcedureList;
    ExternalProcedureList = p->Next;
    if (p->Module != nullptr) modules.insert(p->Module);
    FreeProcedure(p);
  }
  for (LibraryHandle m : modules) FreeDynamicLibrary(m);
  ExternalFunctionCount = 0;
  ExternalProcedureCount = 0;
  RoutineLibraryDlls.clear();
}

}  // namespace voq

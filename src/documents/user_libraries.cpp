#include "documents/user_libraries.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/program_flags.h"
#include "core/search_path.h"
#include "core/text_utils.h"
#include "documents/library_file.h"
#include "documents/var_info_file.h"
#include "language/statement_readers.h"
#include "model/document_settings.h"
#include "model/external_routines.h"
#include "model/program_units.h"
#include "model/routines.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "platform/dynamic_library.h"
#include "platform/host.h"
#include "platform/platform.h"
#include "session/compile_driver.h"
#include "session/engine.h"
#include "tables/tables_state.h"

namespace voq {

std::vector<std::string> LibraryFileList;
std::string TextbookFile;

namespace {

struct TManagerLine {
  std::string Text;
  bool Seen = false;
};

// The manager list of the scan under way.
std::vector<TManagerLine> managerLines;

TManagerLine* FindManagerLine(const std::string& line) {
  for (TManagerLine& m : managerLines) {
    if (SameTextNoCase(m.Text, line)) return &m;
  }
  return nullptr;
}

std::string UpperExtensionOf(const std::string& name) {
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : UpperCaseText(name.substr(dot, 4));
}

// The ordinary files of the current directory whose extension is ext
// (compared in capitals, as the names of the original setting would be), by
// name.
std::vector<std::string> FilesWithExtension(const std::string& ext) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(".", ec)) {
    if (!entry.is_regular_file(ec)) continue;
    const std::string name = entry.path().filename().string();
    if (UpperCaseText(entry.path().extension().string()) == ext) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

// One member of the folder loaders: every file of ext in the current
// directory, keyed by prefix, skipped on an " N" line, recorded with a " Y"
// line when new.
template <typename Load>
void LoadFolderFiles(const std::string& prefix, const std::string& ext, Load load) {
  for (const std::string& name : FilesWithExtension(ext)) {
    const std::string key = prefix + kPathSeparator + name;
    MarkManagerEntry(key);
    if (FindManagerLine(key + " N") != nullptr) continue;
    load(name);
    if (FindManagerLine(key + " Y") == nullptr) managerLines.push_back({UpperCaseText(key + " Y"), true});
  }
}

void LoadFolderTextbook(const std::string& prefix) {
  const std::vector<std::string> names = FilesWithExtension(".TXB");
  if (names.empty()) return;
  const std::string key = prefix + kPathSeparator + names.front();
  MarkManagerEntry(key);
  if (FindManagerLine(key + " N") != nullptr) return;
  TextbookFile = key;
  if (FindManagerLine(key + " Y") == nullptr) managerLines.push_back({UpperCaseText(key + " Y"), true});
}

void LoadFolderDllFiles(const std::string& prefix) {
  LoadFolderFiles(prefix, ".DLL", [](const std::string& name) { LoadRoutineLibrary("", name); });
}
void LoadFolderDlpFiles(const std::string& prefix) {
  LoadFolderFiles(prefix, ".DLP",
                  [](const std::string& name) { RegisterExternalProcedure("", name, "", true, true, nullptr, ""); });
}
void LoadFolderFdlFiles(const std::string& prefix) {
  LoadFolderFiles(prefix, ".FDL",
                  [](const std::string& name) { RegisterExternalProcedure("", name, "", true, false, nullptr, ""); });
}
void LoadFolderDlfFiles(const std::string& prefix) {
  LoadFolderFiles(prefix, ".DLF",
                  [](const std::string& name) { RegisterExternalFunction("", name, "", true, nullptr, ""); });
}
void LoadFolderLibFiles(const std::string& prefix) {
  const uint8_t savedAllow = Preferences.AllowEqualInFunctions;
  Preferences.AllowEqualInFunctions = 1;
  LoadingLibrary = true;
  LoadFolderFiles(prefix, ".LIB", [](const std::string& name) {
    LoadLibraryFile(name, false);
    // A library that failed leaves its error; the scan goes on.
    ClearCalcError();
    Equations().SetText("");
  });
  SortLibraryRoutines(1, FunctionCount);
  DocumentUnchanged = true;
  LoadingLibrary = false;
  Preferences.AllowEqualInFunctions = savedAllow;
}

void RunFolderLoaders(const std::string& prefix, bool textbookFirst) {
  if (textbookFirst) LoadFolderTextbook(prefix);
  LoadFolderDllFiles(prefix);
  LoadFolderDlpFiles(prefix);
  LoadFolderDlfFiles(prefix);
  LoadFolderFdlFiles(prefix);
  LoadFolderLibFiles(prefix);
  if (!textbookFirst) LoadFolderTextbook(prefix);
}

std::string HelpFileBeside(const std::string& libPath) {
  const size_t dot = libPath.rfind('.');
  const std::string stem = dot == std::string::npos ? libPath : libPath.substr(0, dot);
  std::error_code ec;
  for (const char* ext : {".HLP", ".HTM"}) {
    if (std::filesystem::is_regular_file(stem + ext, ec)) return stem + ext;
  }
  return std::string();
}

bool LibraryAlreadyLoaded(const std::string& upperPath) {
  for (int32_t k = 1; k <= FunctionCount; ++k) {
    const TRoutineRecord* r = RoutineAt(k);
    if (r != nullptr && UpperCaseText(r->LibraryTexts[0]) == upperPath) return true;
  }
  for (size_t u = 1; u < ProgramUnitList.size(); ++u) {
    const TProgramUnitRecord* unit = ProgramUnitList[u];
    if (unit != nullptr && UpperCaseText(unit->LibraryFile) == upperPath) return true;
  }
  return false;
}

// The library's text is compiled in a read of its own through the Equations
// window. A read under way (an $INCLUDE) keeps its records: the main
// program's equations so far and the records retained from the last compile
// are set aside for the library's read and given back after it, so neither
// read frees or loses the other's.
void CompileLibraryText(const std::string& text) {
  TProgramUnitRecord* main = MainProgramUnit;
  TEquationRecord* savedReusable = ReusableEquations;
  TEquationRecord* savedFirst = main != nullptr ? main->FirstEquation : nullptr;
  TEquationRecord* savedLast = main != nullptr ? main->LastEquation : nullptr;
  TProgramUnitRecord* savedUnit = CurrentProgramUnit;
  TEquationRecord* savedEquation = CurrentEquation;
  ReusableEquations = nullptr;
  if (main != nullptr) {
    main->FirstEquation = nullptr;
    main->LastEquation = nullptr;
  }
  Equations().SetText(text);
  CheckOnlyMode = false;
  EquationsCompiled = false;
  CompileEquations(false, false);
  // Main-program statements of a library file belong to no document.
  DisposeEquationChain(ReusableEquations);
  if (main != nullptr && MainProgramUnit == main) {
    DisposeEquationChain(main->FirstEquation);
    main->FirstEquation = savedFirst;
    main->LastEquation = savedLast;
  }
  ReusableEquations = savedReusable;
  CurrentProgramUnit = savedUnit;
  CurrentEquation = savedEquation;
  EquationsCompiled = false;
}

class UserLibraryLoaders : public IncludeLoaders {
 public:
  void LoadLibraryFile(const std::string& fileName, bool asInclude) override {
    voq::LoadLibraryFile(fileName, asInclude);
  }
  void SortLibraryRoutines() override { voq::SortLibraryRoutines(1, FunctionCount); }
  // A ".VAR" file named by $INCLUDE sets every variable it names, used in
  // the equations so far or not, whatever document it was saved with.
  void ReadVarInfoFile(const std::string& fileName) override { voq::ReadVarInfoFile(fileName, true, false); }
};

UserLibraryLoaders userLibraryLoaders;

void ResetUserLibraries() {
  LibraryFileList.clear();
  TextbookFile.clear();
  managerLines.clear();
  SetIncludeLoaders(&userLibraryLoaders);
}

}  // namespace

void MarkManagerEntry(const std::string& key) {
  TManagerLine* line = FindManagerLine(key + " N");
  if (line == nullptr) line = FindManagerLine(key + " Y");
  if (line != nullptr) line->Seen = true;
}

bool ScanLibraryFolder(const std::string& folder) {
  if (folder.empty() || CtrlKeyDown()) return false;
  const std::string saved = CurrentDirectoryPath();
  AddSearchDirectory(saved);
  if (!SetCurrentDirectoryPath(folder)) {
    SetCurrentDirectoryPath(saved);
    LoadingLibrary = false;
    return false;
  }
  RunFolderLoaders(folder, true);
  // The immediate subfolders (names without an extension); deeper ones are
  // not visited.
  std::vector<std::string> subfolders;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(".", ec)) {
    const std::string name = entry.path().filename().string();
    if (name.empty() || name[0] == '.' || name.find('.') != std::string::npos) continue;
    if (entry.is_directory(ec)) subfolders.push_back(name);
  }
  std::sort(subfolders.begin(), subfolders.end());
  for (const std::string& name : subfolders) {
    const std::string path = folder + kPathSeparator + name;
    if (!SetCurrentDirectoryPath(path)) continue;
    RunFolderLoaders(path, false);
  }
  SetCurrentDirectoryPath(saved);
  return true;
}

void ReadExternals(const std::string& programDirectory, const std::string& additionalFolder,
                   const LibraryProgress& progress) {
  ExternalFunctionCount = 0;
  ExternalProcedureCount = 0;
  if (progress) progress("Loading user library... ");
  const std::string userlib = WithTrailingSeparator(programDirectory) + "USERLIB";
  const std::string managerPath = userlib + kPathSeparator + kLibraryManagerFile;
  managerLines.clear();
  {
    std::ifstream in(managerPath);
    std::string line;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!line.empty()) managerLines.push_back({line, false});
    }
  }
  if (!ScanLibraryFolder(userlib)) {
    managerLines.clear();
    return;
  }
  std::error_code ec;
  if (!additionalFolder.empty() && std::filesystem::is_directory(additionalFolder, ec)) {
    ScanLibraryFolder(additionalFolder);
  }
  std::ofstream out(managerPath, std::ios::binary | std::ios::trunc);
  for (const TManagerLine& m : managerLines) {
    if (m.Seen) out << m.Text << "\r\n";
  }
  managerLines.clear();
}

void LoadLibraryFile(const std::string& path, bool skipIfLoaded) {
  LoadingLibrary = true;
  const size_t slash = path.rfind(kPathSeparator);
  std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  // The loader works from inside the folder: a folder relative to the
  // current directory would no longer lead to the file once it got there.
  if (!folder.empty()) {
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(folder, ec);
    if (!ec) folder = absolute.lexically_normal().string();
    if (folder.size() > 1 && folder.back() == kPathSeparator) folder.pop_back();
  }
  const std::string saved = CurrentDirectoryPath();
  AddSearchDirectory(saved);
  AddSearchDirectory(folder);
  const bool moved = !folder.empty() && SetCurrentDirectoryPath(folder);
  if (folder.empty()) folder = saved;

  const std::string ext = UpperExtensionOf(name);
  if (ext == ".DLL") {
    LoadRoutineLibrary(folder, name);
  } else if (ext == ".DLP") {
    RegisterExternalProcedure(folder, name, "", true, true, nullptr, "");
  } else if (ext == ".FDL") {
    RegisterExternalProcedure(folder, name, "", true, false, nullptr, "");
  } else if (ext == ".DLF") {
    RegisterExternalFunction(folder, name, "", true, nullptr, "");
  } else {
    const std::string libPath = WithTrailingSeparator(folder) + name;
    const std::string help = HelpFileBeside(libPath);
    bool load = true;
    if (LibraryAlreadyLoaded(UpperCaseText(libPath))) {
      load = false;
      if (!skipIfLoaded) {
        const std::string question = "Library file " + name + " has been previously loaded.  Reload?";
        load = ShowAlert(question, kAlertWarningOkCancel, false) == kResultOk;
      }
    }
    if (load) {
      const int32_t firstRoutine = FunctionCount;
      const size_t firstUnit = ProgramUnitList.size();
      TLibraryFileContents contents;
      std::string error;
      if (!ReadLibraryFile(libPath, contents, error)) {
        MessageText = "Library file " + name + " cannot be read: " + error;
        CalcErrorCode = kMsgPreparedText;
      } else {
        CompileLibraryText(contents.Text);
      }
      const int32_t added = (FunctionCount - firstRoutine) + static_cast<int32_t>(ProgramUnitList.size() - firstUnit);
      if (added >= 2) {
        const std::string entry = help.size() > 1 ? libPath + '\x01' + help : libPath;
        if (std::find(LibraryFileList.begin(), LibraryFileList.end(), entry) == LibraryFileList.end()) {
          LibraryFileList.push_back(entry);
        }
      }
      const std::string helpMark = help.empty() ? std::string("$") : help;
      for (int32_t k = firstRoutine + 1; k <= FunctionCount; ++k) {
        TRoutineRecord* r = RoutineAt(k);
        if (r == nullptr || !r->LibraryTexts[1].empty()) continue;
        r->IsLibrary = 1;
        r->LibraryTexts[0] = libPath;
        r->LibraryTexts[1] = helpMark;
      }
      for (size_t u = 1; u < ProgramUnitList.size(); ++u) {
        TProgramUnitRecord* unit = ProgramUnitList[u];
        if (unit == nullptr || (u < firstUnit && !unit->LibraryFile.empty())) continue;
        if (u < firstUnit && !unit->IsLibraryUnit) continue;
        unit->IsLibraryUnit = 1;
        unit->LibraryFile = libPath;
        unit->HelpFile = helpMark;
      }
    }
  }
  if (moved) SetCurrentDirectoryPath(saved);
}

void SortLibraryRoutines(int32_t first, int32_t last) {
  if (first + last < 2 || first < 1 || last > FunctionCount || first >= last) return;
  std::stable_sort(FunctionTable.begin() + first, FunctionTable.begin() + last + 1,
                   [](const TRoutineRecord* a, const TRoutineRecord* b) {
                     const std::string x = a != nullptr ? UpperCaseText(a->Name) : std::string();
                     const std::string y = b != nullptr ? UpperCaseText(b->Name) : std::string();
                     return x < y;
                   });
}

void InstallUserLibraries() {
  RegisterEngineReset(&ResetUserLibraries);
}

}  // namespace voq

#pragma once
// User libraries: the files that add routines to the program without being
// part of a document, loaded at start from the USERLIB folder beside the
// program, its immediate subfolders and one additional folder, and later one
// by one (the Load Library command, $INCLUDE). "LibraryManager.txt" in
// USERLIB records a Y (load) or N (leave unloaded) for every file seen.
//
//   .LIB  FUNCTIONs, PROCEDUREs, MODULEs and SUBPROGRAMs in the equation
//         language (library form or plain text), compiled as library routines
//   .DLF  one external function; .DLP, .FDL one external procedure
//   .DLL  a library listing several routines
//   .TXB  a textbook problem file (the first of a folder is remembered)
#include <functional>
#include <string>
#include <vector>

namespace voq {

inline constexpr const char* kLibraryManagerFile = "LibraryManager.txt";

// What the start-up loading reports while it runs (the splash box's label).
using LibraryProgress = std::function<void(const std::string& text)>;

// Loads every user library at start: the counts of external routines start
// again, "LibraryManager.txt" is read, USERLIB of programDirectory and its
// immediate subfolders are scanned, then additionalFolder when it names an
// existing folder; lines of files not seen are dropped and the manager file
// is written back. Nothing is scanned, and the manager file is left alone,
// when USERLIB cannot be entered or Ctrl is held. progress, when given,
// receives "Loading user library... " first. The start-up sequence calls it
// after StartEngine (the engine reset unloads every external library) and
// then RegisterPropertyDllProc (model/external_routines.h), so VOQREFP6
// takes the number after the procedures loaded here.
void ReadExternals(const std::string& programDirectory, const std::string& additionalFolder,
                   const LibraryProgress& progress = nullptr);

// Loads the library files of folder and of its immediate subfolders; false
// when folder cannot be made current (or is empty, or Ctrl is held).
bool ScanLibraryFolder(const std::string& folder);

// The manager list while a scan runs: marks the line of key (" N" first,
// then " Y") as seen.
void MarkManagerEntry(const std::string& key);

// One library file of any kind; path may carry a folder. A library file
// already loaded is reloaded after the user agrees, or kept without a
// question when skipIfLoaded.
void LoadLibraryFile(const std::string& path, bool skipIfLoaded);

// Sorts FunctionTable[first..last] (1-based) by upper-case name.
void SortLibraryRoutines(int32_t first, int32_t last);

// Library files that defined two or more routines and units: the path, or
// the path, the character 1 and the library's help file.
extern std::vector<std::string> LibraryFileList;
// The textbook file the last folder scan found; empty when none.
extern std::string TextbookFile;

// Registers the reset of this state with the engine reset and installs the
// loaders that $INCLUDE uses for library files; a front end calls it once
// before StartEngine.
void InstallUserLibraries();

}  // namespace voq

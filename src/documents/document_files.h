#pragma once
// Saving and opening documents: the one entry for writing a document
// (SaveDocumentFile) and the one for reading it (ReadDocumentFile), with the
// checked file writer both the binary and the text forms go through, and the
// arrangement of the child windows a document's layout asks for.
//
// A save never writes over the only copy of a document: the file is written
// under a temporary name in the same folder and renamed over the document
// only when every block was written in full. A failed save therefore leaves
// the previous document as it was. A successful save of the document itself
// deletes the autosave copy ("~" before the file name) beside it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace voq {

// --- The checked writer -----------------------------------------------------------

// Writes a file block by block and checks each block: the stream must report
// no error and take every byte. The bytes go to a temporary file beside the
// target; Commit renames it over the target. The first failure is reported
// (ReportIOError: 388 for access denied, else 389 with the code), sets
// CalcErrorCode and drops the temporary file; no later block is written.
class TCheckedFileWriter {
 public:
  explicit TCheckedFileWriter(std::string fileName);
  ~TCheckedFileWriter();
  TCheckedFileWriter(const TCheckedFileWriter&) = delete;
  TCheckedFileWriter& operator=(const TCheckedFileWriter&) = delete;

  bool Open();
  bool Write(const void* data, size_t size);
  // Closes the temporary file and renames it over the target.
  bool Commit();
  bool Failed() const { return failed_; }

 private:
  void Fail(int32_t code);
  std::string fileName_;
  std::string tempName_;
  std::FILE* file_ = nullptr;
  bool failed_ = false;
};

// The I/O result a short write is reported with (as on a full disk).
inline constexpr int32_t kShortWriteCode = 389;

// A test's disk that fills up: with a limit of n >= 0, the checked writer
// takes only n more bytes in all and writes the rest short. -1: no limit.
// Back to -1 with every engine reset.
void SetDocumentWriteLimit(int64_t bytes);

// The temporary name a save writes to: the folder, "~$" and the file name.
std::string TemporarySaveName(const std::string& fileName);
// The autosave copy's name: the folder (kept as given), "~" and the file name.
std::string AutoSaveCopyName(const std::string& fileName);
// The extension from the last "." of the file-name part, upper-cased and cut
// to four characters (".VOQ"); empty when the name has none.
std::string DocumentExtension(const std::string& fileName);

// --- Forms built elsewhere ----------------------------------------------------------

// The older layout and the text export are written and read by their own
// subsystems, which install themselves here. Until they do, asking for them
// is refused with a clear alert.
struct TDocumentFormatHooks {
  std::function<bool(const std::string& fileName, bool purge)> WriteDocumentOldFormat;
  std::function<bool(const std::string& fileName)> ExportDocumentText;
  std::function<bool(const std::string& fileName, bool merge)> ImportDocumentText;
  // A distributable program reads its model from inside the program file:
  // the byte offset where the model to open starts (0: the file's start).
  std::function<size_t(const std::string& programFile)> DistributableModelOffset;
};
TDocumentFormatHooks& DocumentFormatHooks();

// --- The windows a read arranges ----------------------------------------------------

// What the reader asks of the child windows; the default does nothing (the
// console front end and the engine's tests).
struct TWindowArrangement;
class DocumentFileWindows {
 public:
  virtual ~DocumentFileWindows() = default;
  // A maximised active child window goes back to its normal size.
  virtual void RestoreMaximizedChild() {}
  virtual void HideEquations() {}
  // Shows the Equations window and brings it to the front.
  virtual void ShowEquations() {}
  // The main window's caption and the File menu's Save item name the file.
  virtual void SetDocumentCaption(const std::string& /*fileName*/) {}
  // Places, shows and stacks the child windows as the plan says.
  virtual void ArrangeWindows(const TWindowArrangement& /*plan*/) {}
};
// The windows in force; nullptr puts the quiet default back.
DocumentFileWindows& DocumentFiles();
void SetDocumentFileWindows(DocumentFileWindows* windows);

// One child window's part of a plan (windows 1 to 11).
struct TWindowPlacement {
  bool Placed = false;  // the rectangle below applies
  int32_t Left = 0, Top = 0, Width = 0, Height = 0;
};
struct TWindowArrangement {
  bool ProblemFile = false;
  // Close every child window first (a problem file).
  bool CloseAll = false;
  // The windows to show, back to front (the last ends in front).
  std::vector<int32_t> ShowOrder;
  std::array<TWindowPlacement, 12> Placement{};
  int32_t ActiveWindow = 1;
  // The front window ends maximised.
  bool Maximized = false;
};
// The plan of the window layout last read (WindowLayoutEntries): the
// placement of every window (a header that was not recognised gives each the
// default 350 x 250 at (20, 20)), the shown windows by their stacking
// position, largest first, the Solution and Residuals windows never. Not a
// problem file: the Equations window alone.
TWindowArrangement PlanDocumentWindows(bool problemFile, bool recognisedHeader);

// --- Saving and reading -------------------------------------------------------------

// Writes the current document. The extension chooses the form: ".XPT" the
// text export, ".LIB" the library form while there are modules, ".VOQ" the
// problem file, anything else the plain equations text. oldLayout writes the
// older layout, purge leaves unused variables out, copy marks an autosave or
// rescue copy: the document's changed state and its "~" copy stay as they
// are. While a macro is recorded the line "SAVE name" is recorded. False
// when the file was not written (reported).
bool SaveDocumentFile(const std::string& fileName, bool oldLayout, bool purge, bool copy);

// The problem-file or library form of the document to fileName through the
// checked writer.
bool WriteDocumentBinary(const std::string& fileName, bool oldLayout, bool purge, bool copy);

// The largest Equations text the editor takes.
inline constexpr int32_t kEditorCharacterLimit = 196608;

// Reads a document: the whole document (merge false), or only its text,
// inserted at the editor's caret (merge true; a library's program units are
// read too). True when the document was read, also when a later section
// failed; false when nothing was read (missing or unreadable file, a newer
// version refused, a text beyond the editor's limit, an external library's
// extension).
bool ReadDocumentFile(const std::string& fileName, bool merge);

// Back to the start: no write limit, default hooks and windows.
void ResetDocumentFilesState();

}  // namespace voq

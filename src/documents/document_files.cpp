#include "documents/document_files.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/program_flags.h"
#include "core/search_path.h"
#include "documents/document_bytes.h"
#include "documents/document_file.h"
#include "documents/document_image.h"
#include "documents/document_sections.h"
#include "documents/documents_state.h"
#include "documents/equations_text.h"
#include "model/document_settings.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "plots/real48.h"
#include "session/document_reset.h"
#include "session/program_start.h"
#include "tables/table_model.h"
#include "tables/tables_state.h"

namespace voq {

namespace {

int64_t writeLimit = -1;
TDocumentFormatHooks formatHooks;
DocumentFileWindows quietWindows;
DocumentFileWindows* documentWindows = &quietWindows;

constexpr size_t kLibraryProbeSize = 31;
// Blocks of the binary forms: the stream takes them one at a time and each
// is checked, so a full disk is found at the block it interrupts.
constexpr size_t kWriteBlockSize = 4096;

std::string FolderPart(const std::string& fileName) {
  const size_t slash = fileName.find_last_of("/\\");
  return slash == std::string::npos ? std::string() : fileName.substr(0, slash + 1);
}

std::string NamePart(const std::string& fileName) {
  const size_t slash = fileName.find_last_of("/\\");
  return slash == std::string::npos ? fileName : fileName.substr(slash + 1);
}

// Versions compare as 6-byte reals of the text's value plus 0.0001, so that
// "6.46" and "6.460" are one version and rounding never puts a version just
// below itself.
double RoundedVersion(const std::string& text) {
  double v = 0;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  while (first < last && *first == ' ') ++first;
  std::from_chars(first, last, v);
  uint8_t packed[kReal48Size];
  PackReal48(packed, Extended(v + 0.0001));
  return double(UnpackReal48(packed));
}

void RecordMacroLine(const std::string& line) {
  if (MacroRecording) MacroText += line + "\r\n";
}

bool WriteBlocks(TCheckedFileWriter& writer, const std::vector<uint8_t>& bytes) {
  for (size_t at = 0; at < bytes.size(); at += kWriteBlockSize) {
    const size_t n = std::min(kWriteBlockSize, bytes.size() - at);
    if (!writer.Write(bytes.data() + at, n)) return false;
  }
  return true;
}

// What a save of the document itself does after the file is in place.
void AfterDocumentSaved(const std::string& fileName, bool copy) {
  if (copy) return;
  DocumentUnchanged = true;
  // The file now holds the system's convention.
  SavedDecimalSeparator = DecimalSeparator;
  std::error_code ec;
  std::filesystem::remove(AutoSaveCopyName(fileName), ec);
}

bool ExternalLibraryExtension(const std::string& extension) {
  return extension == ".DLF" || extension == ".DLP" || extension == ".FDL";
}

// Every CR not followed by LF gets one (texts of layouts that ended lines
// with CR alone).
std::string RepairLineEnds(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 32);
  for (size_t i = 0; i < text.size(); ++i) {
    out += text[i];
    if (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')) out += '\n';
  }
  return out;
}

// The end of every read: the windows arranged, the editor's own processing on.
bool FinishRead(bool problemFile, bool recognised, bool result) {
  if (!LoadingLibrary) DocumentFiles().ArrangeWindows(PlanDocumentWindows(problemFile, recognised));
  Equations().SetLoading(false);
  Platform().SetBusyCursor(0);
  return result;
}

bool StopRead(bool result) {
  Equations().SetLoading(false);
  Platform().SetBusyCursor(0);
  return result;
}

}  // namespace

// --- The checked writer -----------------------------------------------------------

TCheckedFileWriter::TCheckedFileWriter(std::string fileName)
    : fileName_(std::move(fileName)), tempName_(TemporarySaveName(fileName_)) {}

TCheckedFileWriter::~TCheckedFileWriter() {
  if (file_ != nullptr) std::fclose(file_);
  if (failed_ || file_ != nullptr) {
    std::error_code ec;
    std::filesystem::remove(tempName_, ec);
  }
}

void TCheckedFileWriter::Fail(int32_t code) {
  if (failed_) return;
  failed_ = true;
  SetCalcError(code == 5 ? kMsgFileAccessDenied : kMsgUnexpectedIOError, std::to_string(code));
  ReportIOError(code);
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  std::error_code ec;
  std::filesystem::remove(tempName_, ec);
}

bool TCheckedFileWriter::Open() {
  // The rename would replace a read-only document that an in-place write
  // could not touch: it is refused as access denied, and the file keeps it.
  std::error_code ec;
  const std::filesystem::file_status target = std::filesystem::status(fileName_, ec);
  if (!ec && std::filesystem::exists(target) &&
      (target.permissions() & std::filesystem::perms::owner_write) == std::filesystem::perms::none) {
    Fail(5);
    return false;
  }
  file_ = std::fopen(tempName_.c_str(), "wb");
  if (file_ == nullptr) {
    Fail(errno == EACCES || errno == EROFS ? 5 : 3);
    return false;
  }
  return true;
}

bool TCheckedFileWriter::Write(const void* data, size_t size) {
  if (failed_ || file_ == nullptr) return false;
  size_t allowed = size;
  if (writeLimit >= 0) {
    allowed = std::min<size_t>(size, size_t(writeLimit));
    writeLimit -= int64_t(allowed);
  }
  const size_t written = allowed == 0 ? 0 : std::fwrite(data, 1, allowed, file_);
  if (std::ferror(file_) != 0 && written == 0) {
    Fail(errno == EACCES ? 5 : 101);
    return false;
  }
  if (written != size) {
    Fail(kShortWriteCode);
    return false;
  }
  return true;
}

bool TCheckedFileWriter::Commit() {
  if (failed_ || file_ == nullptr) return false;
  const bool flushed = std::fflush(file_) == 0;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (!flushed || !closed) {
    Fail(kShortWriteCode);
    return false;
  }
  std::error_code ec;
  // The document keeps its permissions.
  const std::filesystem::file_status target = std::filesystem::status(fileName_, ec);
  if (!ec && std::filesystem::exists(target)) {
    std::filesystem::permissions(tempName_, target.permissions(), ec);
  }
  ec.clear();
  std::filesystem::rename(tempName_, fileName_, ec);
  if (ec) {
    Fail(ec == std::errc::permission_denied ? 5 : 101);
    return false;
  }
  return true;
}

void SetDocumentWriteLimit(int64_t bytes) { writeLimit = bytes < 0 ? -1 : bytes; }

std::string TemporarySaveName(const std::string& fileName) {
  return FolderPart(fileName) + "~$" + NamePart(fileName);
}

std::string AutoSaveCopyName(const std::string& fileName) {
  return FolderPart(fileName) + "~" + NamePart(fileName);
}

std::string DocumentExtension(const std::string& fileName) {
  const std::string name = NamePart(fileName);
  const size_t dot = name.find_last_of('.');
  if (dot == std::string::npos) return std::string();
  std::string extension = name.substr(dot, 4);
  for (char& c : extension) c = char(std::toupper(uint8_t(c)));
  return extension;
}

TDocumentFormatHooks& DocumentFormatHooks() { return formatHooks; }

DocumentFileWindows& DocumentFiles() { return *documentWindows; }
void SetDocumentFileWindows(DocumentFileWindows* windows) {
  documentWindows = windows != nullptr ? windows : &quietWindows;
}

// --- Window plan ------------------------------------------------------------------

TWindowArrangement PlanDocumentWindows(bool problemFile, bool recognisedHeader) {
  TWindowArrangement plan;
  plan.ProblemFile = problemFile;
  if (!problemFile) {
    plan.ShowOrder = {kEquationsWindow};
    return plan;
  }
  plan.CloseAll = true;
  std::array<int32_t, 12> stacking{};
  for (size_t k = 0; k < WindowLayoutEntries.size(); ++k) {
    const std::vector<uint8_t>& e = WindowLayoutEntries[k];
    if (e.size() < kWindowLayoutEntrySize) continue;
    const int32_t w = std::min<int32_t>(int32_t(k) + 1, 11);
    TWindowPlacement& place = plan.Placement[size_t(w)];
    if (!recognisedHeader) {
      place = {true, 20, 20, 350, 250};
    } else {
      const int32_t left = docbytes::Get16(e.data());
      const int32_t top = docbytes::Get16(e.data() + 2);
      const int32_t right = docbytes::Get16(e.data() + 4);
      const int32_t bottom = docbytes::Get16(e.data() + 6);
      if (right - left > 50 && bottom - top > 50) {
        place = {true, std::max(left - 4, 0), std::max(top - 42, 0), right - left, bottom - top};
      }
    }
    // A document never reopens the result windows: their values are not saved.
    if (w != kSolutionWindow && w != kResidualsWindow && w != kDebugWindow) {
      stacking[size_t(w)] = docbytes::Get16(e.data() + 13);
    }
  }
  // The window furthest back first, so that position 1 ends in front.
  for (int round = 0; round < 10; ++round) {
    size_t best = 0;
    for (size_t w = 1; w < stacking.size(); ++w) {
      if (stacking[w] > 0 && (best == 0 || stacking[w] > stacking[best])) best = w;
    }
    if (best == 0) break;
    plan.ShowOrder.push_back(int32_t(best));
    stacking[best] = 0;
  }
  // A layout that shows nothing (an older file, a read that stopped early)
  // still leaves the equations in view.
  if (plan.ShowOrder.empty()) plan.ShowOrder.push_back(kEquationsWindow);
  int32_t active = WindowLayoutActive;
  if (active > 10 || active < -10 || active == 0) active = 1;
  plan.Maximized = active < 0;
  plan.ActiveWindow = active < 0 ? -active : active;
  return plan;
}

// --- Saving -----------------------------------------------------------------------

bool WriteDocumentBinary(const std::string& fileName, bool oldLayout, bool purge, bool copy) {
  if (oldLayout) {
    if (!formatHooks.WriteDocumentOldFormat) {
      ShowAlert("Saving in the older format is not available in this version.", kAlertErrorOk, true);
      return false;
    }
    if (!formatHooks.WriteDocumentOldFormat(fileName, purge)) return false;
    AfterDocumentSaved(fileName, copy);
    return true;
  }
  const std::string text = Equations().GetText();
  const bool library = DocumentExtension(fileName) == ".LIB" && ProgramUnitList.size() > 1;
  std::vector<uint8_t> image;
  try {
    image = library ? WriteLibraryImage(text) : WriteDocumentImage(text, purge);
  } catch (const std::bad_alloc&) {
    SetCalcError(kMsgOutOfMemory);
    ShowAlert(GetMessageText(kMsgOutOfMemory), kAlertErrorOk, true);
    return false;
  }
  TCheckedFileWriter writer(fileName);
  if (!writer.Open() || !WriteBlocks(writer, image) || !writer.Commit()) return false;
  AfterDocumentSaved(fileName, copy);
  return true;
}

bool SaveDocumentFile(const std::string& fileName, bool oldLayout, bool purge, bool copy) {
  // The shown table of each kind keeps its newest state in the window.
  for (int32_t kind = 1; kind <= 4; ++kind) {
    TTableForm* form = TableForms[size_t(kind)].get();
    const auto* list = TableLists[size_t(kind)].get();
    if (form != nullptr && list != nullptr && !list->empty()) form->MultipleTableRefresh();
  }
  RecordMacroLine("SAVE " + fileName);
  const std::string extension = DocumentExtension(fileName);
  if (extension == ".XPT") {
    if (!formatHooks.ExportDocumentText) {
      ShowAlert("Saving as an export file (.XPT) is not available in this version.", kAlertErrorOk, true);
      return false;
    }
    return formatHooks.ExportDocumentText(fileName);
  }
  const bool library = extension == ".LIB" && ProgramUnitList.size() > 1;
  if (!library && extension != ".VOQ") {
    if (!WriteEquationsText(fileName)) return false;
    AfterDocumentSaved(fileName, copy);
    return true;
  }
  return WriteDocumentBinary(fileName, oldLayout, purge, copy);
}

// --- Reading ----------------------------------------------------------------------

bool ReadDocumentFile(const std::string& fileName, bool merge) {
  DocumentFiles().RestoreMaximizedChild();
  ClearCalcError();
  SavedDecimalSeparator = '.';
  Platform().SetBusyCursor(1);
  // The open document is replaced only once the file has been read and
  // found to be a document: a read that fails leaves it, its name and its
  // text as they were.
  auto replaceDocument = [&] {
    DocumentFiles().HideEquations();
    if (!merge && !LoadingLibrary) ResetDocument();
    if (!merge && !LoadingLibrary && !DistributableMode) DocumentFiles().SetDocumentCaption(fileName);
  };

  const std::string extension = DocumentExtension(fileName);
  if (!DistributableMode) {
    if (ExternalLibraryExtension(extension)) return StopRead(false);
    if (extension == ".XPT") {
      replaceDocument();
      bool read = false;
      if (formatHooks.ImportDocumentText) {
        read = formatHooks.ImportDocumentText(fileName, merge);
      } else {
        ShowAlert("Reading an export file (.XPT) is not available in this version.", kAlertErrorOk, true);
      }
      DocumentFiles().ShowEquations();
      return StopRead(read);
    }
  }

  Equations().SetLoading(true);
  AddSearchDirectory(FolderPart(fileName));
  std::vector<uint8_t> data;
  {
    // Read whole, a failing read (a device error) reported as such.
    int32_t ioResult = 0;
    try {
      ioResult = ReadFileBytes(fileName, data);
    } catch (const std::bad_alloc&) {
      ShowAlert(GetMessageText(kMsgOutOfMemory), kAlertErrorOk, true);
      return StopRead(false);
    }
    if (ioResult == 2) {
      ShowAlert(fileName + " was not found ", kAlertInfoOk, false);
      SetCalcError(kMsgUnexpectedIOError, "2");
      ReportIOError(2);
      return StopRead(false);
    }
    if (ioResult != 0) {
      SetMessageArg(1, std::to_string(ioResult));
      SetMessageArg(2, fileName);
      ShowAlert(GetMessageText(kMsgUnexpectedReadError), kAlertErrorOk, true);
      return StopRead(false);
    }
  }

  if (DistributableMode && formatHooks.DistributableModelOffset) {
    const size_t offset = formatHooks.DistributableModelOffset(fileName);
    if (offset > 0 && offset < data.size()) data.erase(data.begin(), data.begin() + std::ptrdiff_t(offset));
  }

  // The form of the file.
  const bool problemFile = extension == ".VOQ" || DistributableMode;
  const bool library = !problemFile && data.size() >= 5 && std::equal(data.begin() + 1, data.begin() + 5, "$SB1");
  bool recognised = false;
  char documentSeparator = '.';
  std::string versionText;
  std::string text;
  if (problemFile) {
    size_t pos = 0;
    std::string header;
    // The length is checked before the text is taken, so that an oversized
    // text is refused and not allocated.
    if (data.size() >= kDocumentHeaderSize + 4) {
      const int32_t t = docbytes::Get32(data.data() + kDocumentHeaderSize);
      // A length the file cannot hold is not a document (a renamed picture,
      // a cut file), whatever the number says.
      if (t >= 1 && size_t(t) <= data.size() - kDocumentHeaderSize - 4 && t - 1 > kEditorCharacterLimit) {
        SetMessageArg(1, std::to_string(kEditorCharacterLimit));
        ShowAlert(GetMessageText(kMsgEditorCharacterLimit), kAlertErrorOk, true);
        return StopRead(false);
      }
    }
    if (!ReadDocumentStart(data.data(), data.size(), pos, header, text)) {
      SetMessageArg(1, "100");
      SetMessageArg(2, fileName);
      ShowAlert(GetMessageText(kMsgUnexpectedReadError), kAlertErrorOk, true);
      return StopRead(false);
    }
    const char letter = header.empty() ? '\0' : header[0];
    recognised = letter == 'W' || letter == 'X' || letter == 'C';
    versionText = header;
    if (recognised) {
      versionText.erase(0, 1);
      if (!versionText.empty() && versionText.back() == 'L') versionText.pop_back();
      if (!versionText.empty() && versionText.back() == ',') {
        versionText.pop_back();
        documentSeparator = ',';
      }
    }
  } else if (library) {
    const std::string mark = docbytes::GetShortString(data.data(), 30);
    std::string rest = mark.size() > 5 ? mark.substr(5) : std::string();
    if (!rest.empty() && rest.back() == '\r') rest.pop_back();
    if (!rest.empty() && rest[0] == ',') {
      documentSeparator = ',';
      rest.erase(0, 1);
    }
    if (!rest.empty()) rest.erase(0, 1);
    versionText = rest;
    recognised = true;
    if (data.size() >= kLibraryProbeSize + 4) {
      const int32_t t = docbytes::Get32(data.data() + kLibraryProbeSize);
      if (t >= 1 && size_t(t) <= data.size() - kLibraryProbeSize - 4) {
        text.assign(reinterpret_cast<const char*>(data.data()) + kLibraryProbeSize + 4, size_t(t) - 1);
      }
    }
  } else {
    text.assign(data.begin(), data.end());
    // The terminator a plain equations file ends with is not text.
    while (!text.empty() && text.back() == '\0') text.pop_back();
  }

  if ((problemFile || library) && !LoadingLibrary && RoundedVersion(versionText) > RoundedVersion(ProgramVersion)) {
    SetMessageArg(1, versionText);
    SetMessageArg(2, ProgramVersion);
    if (ShowAlert(GetMessageText(kMsgNewerFileVersion), kAlertWarningOkCancel, true) != kResultOk) {
      return StopRead(false);
    }
  }

  if (text.size() >= 6 && text.compare(0, 4, "{$DS") == 0) {
    if (text[4] == ',') documentSeparator = ',';
    text.erase(0, 6);
  }
  if (int64_t(text.size()) > kEditorCharacterLimit) {
    SetMessageArg(1, std::to_string(kEditorCharacterLimit));
    ShowAlert(GetMessageText(kMsgEditorCharacterLimit), kAlertErrorOk, true);
    return StopRead(false);
  }
  replaceDocument();
  SavedDecimalSeparator = documentSeparator;
  if (documentSeparator != DecimalSeparator) ConvertDecimalSeparator(text, DecimalSeparator, StatementSeparator);
  if (problemFile && !recognised) text = RepairLineEnds(text);

  if (merge) {
    if (int64_t(Equations().GetText().size() + text.size()) > kEditorCharacterLimit) {
      SetMessageArg(1, std::to_string(kEditorCharacterLimit));
      ShowAlert(GetMessageText(kMsgEditorCharacterLimit), kAlertErrorOk, true);
      return StopRead(false);
    }
    Equations().InsertAtCaret(text);
  } else {
    Equations().SetText(text);
  }
  if (!LoadingLibrary) DocumentFiles().ShowEquations();

  // The sections: a problem file's unless merging, a library's program units
  // always. Ctrl and Ctrl+Shift shorten the reading there.
  if ((problemFile && !merge) || library) {
    ReadDocumentImage(data.data(), data.size());
    SavedDecimalSeparator = documentSeparator;
    if (problemFile && CalcErrorCode != 0) {
      return FinishRead(problemFile, recognised, true);
    }
  }
  DocumentUnchanged = true;
  if (merge) DocumentFiles().ShowEquations();
  return FinishRead(problemFile && !merge, recognised, true);
}

void ResetDocumentFilesState() {
  writeLimit = -1;
  formatHooks = TDocumentFormatHooks();
  documentWindows = &quietWindows;
}

}  // namespace voq

#pragma once
// The decisions behind the File menu's document commands, kept apart from
// the windows that show them: the recent-file list and its file, the
// save-changes question, the Save As dialog's set-up, the count of unused
// variables and what an autosave tick does.
//
// File names keep their real case (the file system is case-sensitive); the
// recent-file list compares them without regard to case, as it did when the
// names were Windows names.
#include <cstdint>
#include <string>
#include <vector>

namespace voq {

// --- Recent files -------------------------------------------------------------------

bool SameFileName(const std::string& a, const std::string& b);

// A document was read: its name moves to (or joins) the end of the list,
// oldest first, and the oldest entries go while more than limit remain.
// Names of three characters or fewer are never listed.
void NoteRecentFileRead(std::vector<std::string>& list, const std::string& name, int32_t limit);
// Save As gave the document a new name: added when not listed, and the
// oldest entry dropped when the list then holds more than six.
void NoteRecentFileSavedAs(std::vector<std::string>& list, const std::string& name);

// One recent-file item of the File menu: "1. name" for the newest entry, the
// tag the index of the entry it opens (in a distributable program the
// model's number less one, in list order).
struct TRecentFileItem {
  std::string Caption;
  int32_t Tag = 0;
};
std::vector<TRecentFileItem> RecentFileItems(const std::vector<std::string>& list, bool distributable);

// "VOQ.FNL": one name a line, oldest first, CR LF line ends. Reading a
// missing file gives an empty list; writing reports success.
std::vector<std::string> ReadRecentFileList(const std::string& path);
bool WriteRecentFileList(const std::string& path, const std::vector<std::string>& list);
// "VOQ.DIR": the three folders of the directory settings, one a line.
bool WriteDirectoryList(const std::string& path, const std::vector<std::string>& folders);

// --- The save-changes question --------------------------------------------------------

// The document's name with its extension replaced by ".VOQ" (or ".VOQ"
// appended when it has none).
std::string VoqNameOf(const std::string& fileName);

struct TSaveChangesQuestion {
  bool Ask = false;
  int32_t Message = 0;     // 509, 510 or 511
  std::string Text;        // the message with its arguments
  // The name a Yes saves under (the document's own for 509).
  std::string SaveName;
};
// Whether replacing the document asks first: a changed document, or one
// read from a file that is not a problem file (its settings and variables
// would be lost), asks; an unchanged problem file or untitled document not.
TSaveChangesQuestion SaveChangesQuestion(const std::string& fileName, bool unchanged);

// --- Save As ---------------------------------------------------------------------------

inline constexpr const char* kSaveAsFilter =
    "VOQ file (*.VOQ)|*.VOQ|Library file (*.LIB)|*.LIB|Export file (*.XPT)|*.XPT|Text files (*.TXT)|*.TXT";
inline constexpr const char* kSaveOldFormatCaption = "Save in older format for backward compatibility";

struct TSaveAsSetup {
  // "PURGEVARS" (with the purge box) or "SAVEASOLD".
  std::string Template;
  int32_t UnusedCount = 0;
  // 1 ".VOQ", 2 ".LIB", 3 ".XPT", 4 ".TXT".
  int32_t FilterIndex = 1;
  // The current name without its extension.
  std::string ProposedName;
};
// The purge box is offered when more than 100 variables are unused and the
// equations are compiled or the last compile found too many variables (70).
TSaveAsSetup SaveAsDialogSetup(const std::string& fileName, int32_t unused, bool compiled, int32_t lastError);
// "Purge 150 unused variables".
std::string PurgeBoxCaption(int32_t unused);

// The main program's variables that no equation uses and no parametric
// table column shows.
int32_t CountUnusedVariables();

// --- Autosave --------------------------------------------------------------------------

// The timer's interval in milliseconds; 0 when autosave is off.
int32_t AutoSaveInterval(int32_t minutes);

struct TAutoSaveConditions {
  bool PlayingMacro = false;
  bool MacroRecording = false;
  bool PlayingFromMacroWindow = false;
  bool DdeCommand = false;
  bool Distributable = false;
};
enum class TAutoSaveAction { Nothing, WriteCopy, AskForName };
// Nothing while a macro plays or records, a data-exchange command runs or
// in a distributable program; a named document gets its copy; an untitled
// one asks for a name.
TAutoSaveAction AutoSaveTickAction(const std::string& fileName, const TAutoSaveConditions& now);

}  // namespace voq

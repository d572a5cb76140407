#pragma once
// The text half of the help, listing and warnings window (TAddHelpDlg):
// help for an item from a help file, an HTML page, a named block of a
// library file or a whole text file; the listing of a file; and the file
// associations that find the browser. Free of Qt: the window only shows
// what these build. The Windows help engine and the registry do not exist
// here; they are reached through HelpLauncher and FileAssociations.
#include <cstddef>
#include <cstdint>
#include <string>

namespace voq {

// The text buffer the window's text is built in.
inline constexpr size_t kHelpTextBufferSize = 196608;

// What a caller asks of the window; every request sets all of the fields.
struct THelpRequest {
  std::string HelpFileName;  // the file to show or take the help from
  std::string ItemName;      // the subject; upper case for a block look-up
  std::string SearchText;    // a listing: the text to select and scroll to
  bool BlockMode = false;    // the help is the "{$" + ItemName block of the file
  bool JoinLines = false;    // a block's lines flow into paragraphs
  bool ListingMode = false;  // the listing of HelpFileName instead of help
};

// What the window shows for a request.
struct THelpWindowText {
  std::string Caption;
  std::string Text;             // CR LF line breaks
  bool ShownExternally = false; // handed to the help engine or the browser
  bool Failed = false;          // a message was shown instead; nothing to show
  // A listing's selection (SearchText) and the line to scroll to the top.
  int32_t SelStart = -1;
  int32_t SelLength = 0;
  int32_t TopLine = 0;
};

// The help engine and the browser, as the platform gives them.
class HelpLauncher {
 public:
  virtual ~HelpLauncher() = default;
  // Opens a help file at a context (0: its contents page); false when the
  // file cannot be shown.
  virtual bool OpenHelpFile(const std::string& /*helpFile*/, int32_t /*context*/) { return false; }
  // Opens a file or an address in the browser.
  virtual void OpenInBrowser(const std::string& /*target*/) {}
};

// The registry's class-root keys: the default value of a key, false when
// the key does not exist.
class FileAssociations {
 public:
  virtual ~FileAssociations() = default;
  virtual bool ReadDefaultValue(const std::string& /*key*/, std::string& /*value*/) { return false; }
};

// Help for request.ItemName (ShowItemHelp); messages 405 and 409 are shown
// as alerts.
THelpWindowText ShowItemHelp(const THelpRequest& request, HelpLauncher& launcher);
// The listing of request.HelpFileName (ShowFileListing): the equation text
// of a file in the library form, otherwise the whole file.
THelpWindowText ShowFileListing(const THelpRequest& request);
// What TAddHelpDlg.SetupWindow builds: the listing or the help.
THelpWindowText SetupHelpWindow(const THelpRequest& request, HelpLauncher& launcher);

// Adds text to a help text being built: an empty text is a paragraph break
// (two line breaks); a text beginning with a blank starts a new line; what
// would pass kHelpTextBufferSize characters is dropped.
void AppendHelpText(std::string& buffer, const std::string& text);

// The program registered to open files of extension (without the dot): its
// bare path, or "" when none is registered.
std::string FindAssociatedCommand(const std::string& extension, FileAssociations& associations);
// The command line that opens target with the program registered for ".HTM".
std::string BrowserCommandLine(const std::string& target, FileAssociations& associations);

}  // namespace voq

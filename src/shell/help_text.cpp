#include "shell/help_text.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/search_path.h"
#include "platform/platform.h"

namespace voq {

namespace {

const char* const kLineBreak = "\r\n";

std::string Upper(std::string s) {
  for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string TrimLeft(const std::string& s) {
  size_t k = 0;
  while (k < s.size() && (s[k] == ' ' || s[k] == '\t')) ++k;
  return s.substr(k);
}

// One line of a text file without its line end; false at the end.
bool ReadTextLine(std::istream& in, std::string& line) {
  if (!std::getline(in, line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

// The error number of a file that cannot be opened, as the file routines
// report it (2 not found, 3 no such folder, 5 access denied).
int32_t OpenErrorNumber(int err) {
  switch (err) {
    case ENOENT: return 2;
    case ENOTDIR: return 3;
    case EACCES: return 5;
    case EISDIR: return 267;  // a folder's name where a file's was expected
    default: return err;
  }
}

void ShowTooLarge(uintmax_t size) {
  SetMessageArg(1, std::to_string(size));
  SetMessageArg(2, std::to_string(kHelpTextBufferSize));
  ShowAlert(GetMessageText(kMsgFileTooLarge), kAlertInfoOk, true);
}

// The help context of item in a ".CTX" file: each line holds a decimal
// context number, blanks and a text; the first line whose text contains the
// item's name (upper case, at most 30 characters) gives it. 0 when none.
int32_t FindHelpContext(const std::string& contextFile, const std::string& item) {
  std::ifstream in(contextFile, std::ios::binary);
  if (!in) return 0;
  std::string key = Upper(item);
  if (key.size() > 30) key.resize(30);
  std::string line;
  while (ReadTextLine(in, line)) {
    const std::string trimmed = TrimLeft(line);
    size_t k = 0;
    while (k < trimmed.size() && std::isdigit(static_cast<unsigned char>(trimmed[k]))) ++k;
    if (k == 0 || k > 9) continue;
    const std::string text = Upper(trimmed.substr(k));
    if (text.find(key) != std::string::npos) return int32_t(std::stol(trimmed.substr(0, k)));
  }
  return 0;
}

// The help of a Windows help file: the context file beside it names the
// item's context; without one (or without a match) the contents page.
void OpenWindowsHelp(const THelpRequest& request, HelpLauncher& launcher, THelpWindowText& result) {
  result.ShownExternally = true;
  int32_t context = 0;
  const std::string upper = Upper(request.HelpFileName);
  const size_t hlp = upper.find(".HLP");
  if (hlp != std::string::npos && !request.ItemName.empty()) {
    const std::string contextFile = request.HelpFileName.substr(0, hlp) + ".CTX";
    std::error_code ec;
    if (std::filesystem::exists(contextFile, ec)) context = FindHelpContext(contextFile, request.ItemName);
  }
  if (launcher.OpenHelpFile(request.HelpFileName, context)) return;
  // No help engine can show it: the window says so instead.
  result.ShownExternally = false;
  result.Text = "Help has not been provided for " + request.ItemName + ".";
}

// A block's lines after its first one, up to and including the line with
// "}" (cut before it).
void AppendBlockLines(std::istream& in, bool joinLines, std::string& text) {
  std::string line;
  while (ReadTextLine(in, line)) {
    const size_t brace = line.find('}');
    const bool last = brace != std::string::npos;
    if (last) {
      line.resize(brace);
      // A closing line that held only the brace adds nothing.
      if (line.empty()) break;
    }
    if (line.empty()) {
      AppendHelpText(text, "");
    } else if (line.back() == ' ') {
      AppendHelpText(text, line);
    } else if (line.back() == '.') {
      AppendHelpText(text, line + "  ");
    } else {
      AppendHelpText(text, line + " ");
    }
    if (!joinLines) AppendHelpText(text, kLineBreak);
    if (last) break;
  }
}

void BlockHelp(const THelpRequest& request, THelpWindowText& result) {
  std::ifstream in(request.HelpFileName, std::ios::binary);
  if (!in) {
    const int32_t error = OpenErrorNumber(errno);
    if (error != 267) {
      result.Text = "Help information is not available for " + request.ItemName + " in file " +
                    request.HelpFileName + ".  (Error " + std::to_string(error) + ")";
      return;
    }
  }
  std::string line;
  while (in && ReadTextLine(in, line)) {
    const size_t open = line.find("{$");
    if (open == std::string::npos) continue;
    const std::string name = Upper(line.substr(open + 2));
    // Only the beginning is compared: MYFUNC also finds a MYFUNCTION block.
    if (name.compare(0, request.ItemName.size(), request.ItemName) != 0) continue;
    std::string rest = line.substr(open + 2 + request.ItemName.size());
    std::string text;
    // A block on one line ends at its own brace.
    const size_t brace = rest.find('}');
    if (brace != std::string::npos) rest.resize(brace);
    if (!rest.empty()) {
      AppendHelpText(text, rest);
      if (!request.JoinLines) AppendHelpText(text, kLineBreak);
    }
    if (brace == std::string::npos) AppendBlockLines(in, request.JoinLines, text);
    result.Text = text;
    return;
  }
  result.Text = "Help has not been provided for " + request.ItemName + ".";
}

}  // namespace

void AppendHelpText(std::string& buffer, const std::string& text) {
  std::string piece;
  if (text.empty()) {
    piece = std::string(kLineBreak) + kLineBreak;
  } else {
    if (text[0] == ' ') piece = kLineBreak;
    piece += text;
  }
  if (buffer.size() >= kHelpTextBufferSize) return;
  const size_t room = kHelpTextBufferSize - buffer.size();
  buffer.append(piece, 0, std::min(room, piece.size()));
}

THelpWindowText ShowItemHelp(const THelpRequest& request, HelpLauncher& launcher) {
  THelpWindowText result;
  result.Caption = "Help for " + request.ItemName;
  uintmax_t size = 0;
  {
    std::ifstream probe(request.HelpFileName, std::ios::binary);
    if (probe) {
      std::error_code ec;
      size = std::filesystem::file_size(request.HelpFileName, ec);
      if (ec) size = 0;
      char head[4] = {0, 0, 0, 0};
      probe.read(head, 4);
      if (probe.gcount() >= 2 && head[0] == '?' && head[1] == '_') {
        OpenWindowsHelp(request, launcher, result);
        return result;
      }
      probe.clear();
      probe.seekg(0);
      std::string line;
      for (int k = 0; k < 5 && ReadTextLine(probe, line); ++k) {
        if (Upper(TrimLeft(line)).compare(0, 4, "<HTM") != 0) continue;
        result.ShownExternally = true;
        std::string target = request.HelpFileName;
        if (std::filesystem::path(target).parent_path().empty()) {
          std::error_code cwdError;
          const std::string current = std::filesystem::current_path(cwdError).string();
          AddSearchDirectory(current);
          target = current + "/" + target;
        }
        launcher.OpenInBrowser(target);
        return result;
      }
    }
  }
  if (size > kHelpTextBufferSize) {
    ShowTooLarge(size);
    result.Failed = true;
    return result;
  }
  if (request.BlockMode) {
    BlockHelp(request, result);
  } else {
    std::ifstream in(request.HelpFileName, std::ios::binary);
    if (in) result.Text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return result;
}

THelpWindowText ShowFileListing(const THelpRequest& request) {
  THelpWindowText result;
  result.Caption = "Listing of " + request.ItemName;
  std::vector<uint8_t> bytes;
  bool readOk = false;
  {
    std::ifstream in(request.HelpFileName, std::ios::binary);
    if (in) {
      bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
      readOk = !in.bad();
    }
  }
  std::string text;
  if (readOk) {
    // The first 31 bytes are a string of at most 30 characters, length first.
    std::string header;
    if (!bytes.empty()) {
      const size_t length = std::min<size_t>({bytes[0], 30, bytes.size() - 1});
      header.assign(bytes.begin() + 1, bytes.begin() + 1 + std::ptrdiff_t(length));
    }
    if (header.compare(0, 4, "$SB1") == 0) {
      // The library form: a 32-bit little-endian length, then the text.
      if (bytes.size() < 35) {
        readOk = false;
      } else {
        const uint32_t length = uint32_t(bytes[31]) | uint32_t(bytes[32]) << 8 | uint32_t(bytes[33]) << 16 |
                                uint32_t(bytes[34]) << 24;
        if (length > kHelpTextBufferSize) {
          ShowTooLarge(length);
          result.Failed = true;
          return result;
        }
        if (bytes.size() - 35 < length) readOk = false;
        else text.assign(bytes.begin() + 35, bytes.begin() + 35 + std::ptrdiff_t(length));
      }
    } else {
      if (bytes.size() > kHelpTextBufferSize) {
        ShowTooLarge(bytes.size());
        result.Failed = true;
        return result;
      }
      text.assign(bytes.begin(), bytes.end());
    }
  }
  if (!readOk) {
    ShowAlert("Error in reading " + request.HelpFileName, kAlertErrorOk, true);
    result.Failed = true;
    return result;
  }
  // A saved text ends with a zero byte; the window shows text up to it.
  const size_t nul = text.find('\0');
  if (nul != std::string::npos) text.resize(nul);
  // The decimal-separator directive a saved text begins with ("{$DS.}").
  if (text.compare(0, 4, "{$DS") == 0) text.erase(0, std::min<size_t>(6, text.size()));
  result.Text = text;
  if (!request.SearchText.empty()) {
    const size_t at = text.find(request.SearchText);
    if (at != std::string::npos) {
      result.SelStart = int32_t(at);
      result.SelLength = int32_t(request.SearchText.size());
      result.TopLine = int32_t(std::count(text.begin(), text.begin() + std::ptrdiff_t(at), '\n'));
    }
  }
  return result;
}

THelpWindowText SetupHelpWindow(const THelpRequest& request, HelpLauncher& launcher) {
  return request.ListingMode ? ShowFileListing(request) : ShowItemHelp(request, launcher);
}

std::string FindAssociatedCommand(const std::string& extension, FileAssociations& associations) {
  std::string command;
  const std::string key = "." + extension;
  if (!associations.ReadDefaultValue(key + "\\shell\\open\\command", command)) {
    std::string type;
    command.clear();
    if (associations.ReadDefaultValue(key, type) && !type.empty()) {
      if (!associations.ReadDefaultValue(type + "\\shell\\open\\command", command)) command.clear();
    }
  }
  // "C:\Prog\browser.exe" -nohome "%1" gives the bare program path.
  const size_t percent = command.find('%');
  if (percent != std::string::npos) command.resize(percent);
  if (!command.empty() && command[0] == '"') command.erase(0, 1);
  const size_t quote = command.find('"');
  if (quote != std::string::npos) command.resize(quote);
  while (!command.empty() && command.back() == ' ') command.pop_back();
  return command;
}

std::string BrowserCommandLine(const std::string& target, FileAssociations& associations) {
  return FindAssociatedCommand("HTM", associations) + " " + target;
}

}  // namespace voq

#include "language/export_after_run.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/number_text.h"
#include "core/search_path.h"
#include "core/string_constants.h"
#include "core/text_utils.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "platform/host.h"

namespace voq {

std::vector<std::string> ExportDirectives;
std::vector<TSaveLookupDirective> SaveLookupDirectives;

namespace {
LookupFileSaver lookupFileSaver = nullptr;
}  // namespace

void SaveLookupFilesAfterRun() {
  if (lookupFileSaver != nullptr && !SaveLookupDirectives.empty()) lookupFileSaver();
}
void SetLookupFileSaver(LookupFileSaver saver) { lookupFileSaver = saver; }
int32_t FirstRun = 1;

namespace {

// The clipboard line buffer holds at most this many characters.
constexpr size_t kClipboardBufferLength = 32767;
constexpr size_t kExportTextLength = 30;
constexpr int32_t kMaxRangeGroups = 3;
// A guard against a range that would name more elements than any program
// can hold.
constexpr int64_t kMaxRangeElements = 10000;

bool IsDigitChar(char c) { return c >= '0' && c <= '9'; }

std::string UpperExtension(const std::string& name) {
  const size_t slash = name.find_last_of("/\\");
  const size_t dot = name.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  return UpperCaseText(name.substr(dot));
}

void CutTo(std::string& text, size_t length) {
  if (text.size() > length) text.resize(length);
}

// The variable of the current unit with this name, or null: the main
// program during an export; the unit whose $IMPORT expands a range.
TVariableRecord* MainVariable(const std::string& name) {
  const int32_t savedError = CalcErrorCode;
  const int32_t i = FindVariable(name);
  CalcErrorCode = savedError;
  return CurrentProgramUnit != nullptr ? CurrentProgramUnit->Variable(i) : nullptr;
}

// Splits a variable list at separators and blanks outside brackets.
std::vector<std::string> SplitVariableList(std::string list) {
  std::vector<std::string> items;
  TrimShort(list, INT32_MAX);
  while (!list.empty()) {
    const int32_t cut = SplitExportItem(list);
    std::string item = list.substr(0, static_cast<size_t>(cut) - 1);
    list = cut > static_cast<int32_t>(list.size()) ? "" : list.substr(static_cast<size_t>(cut));
    TrimShort(list, INT32_MAX);
    TrimShort(item, INT32_MAX);
    if (!item.empty()) items.push_back(item);
  }
  return items;
}

// The names an item of the list stands for: itself, or a range's elements.
std::vector<std::string> ItemNames(const std::string& item) {
  if (item.find("..") == std::string::npos) return {item};
  return ExpandArrayRange(item);
}

std::string ValueText(const TVariableRecord& v) {
  std::string text;
  if (v.IsString) {
    text = "'" + StringConstText(static_cast<int32_t>(v.Value)) + "'";
  } else {
    const TDisplayFormat format{0, 8};
    text = RealToStr(format, v.UnknownPosition == 0 ? -999.0L : v.Value);
    TrimShort(text, INT32_MAX);
  }
  CutTo(text, kExportTextLength);
  return text;
}

std::string HeaderText(const std::vector<std::string>& names) {
  std::string lines;
  int32_t count = 0;
  for (const std::string& name : names) {
    const TVariableRecord* v = MainVariable(name);
    if (v == nullptr) {
      SetMessageArg(1, name);
      CalcErrorCode = kMsgExportVariableNotFound;
      continue;
    }
    const char letter = v->Style == 0 ? 'E' : v->Style == 1 ? 'F' : 'A';
    std::string line = std::string(1, letter) + std::to_string(v->Digits).substr(0, 1) + " " + name + " ";
    if (!v->Units.empty()) line += "[" + v->Units + "]";
    CutTo(line, kExportTextLength);
    lines += line + "\r\n";
    ++count;
  }
  if (count == 0) return "";
  return "-1 " + std::to_string(-count) + "\r\n" + lines;
}

std::string ValueLine(const std::vector<std::string>& names) {
  std::string line;
  bool first = true;
  for (const std::string& name : names) {
    const TVariableRecord* v = MainVariable(name);
    if (v == nullptr) {
      SetMessageArg(1, name);
      CalcErrorCode = kMsgExportVariableNotFound;
      continue;
    }
    if (!first) line.push_back(ArgumentSeparator);
    line += ValueText(*v);
    first = false;
  }
  return line;
}

// True when every byte reached the file and the file closed without error:
// a full disk shows only at fwrite, fflush or fclose.
bool WriteAndClose(std::FILE* file, const std::string& output) {
  const bool written = std::fwrite(output.data(), 1, output.size(), file) == output.size();
  const bool flushed = std::fflush(file) == 0;
  return (std::fclose(file) == 0) && written && flushed;
}

// Writes output to target. Appending adds it at the end. Otherwise it goes
// to a new file beside the target first, which is then renamed over it: a
// reader, or a second program exporting to the same file at the same time,
// meets the old output or the new one whole, never a mix. The temporary
// name holds the process and a count, so two writers never share one. A
// target that exists but is not a regular file (a device, a pipe) is
// written in place: a rename would replace it.
bool WriteExportFile(const std::string& name, const std::string& output, bool append) {
  struct stat info {};
  const bool special = ::stat(name.c_str(), &info) == 0 && !S_ISREG(info.st_mode);
  if (append || special) {
    std::FILE* file = std::fopen(name.c_str(), append ? "ab" : "wb");
    return file != nullptr && WriteAndClose(file, output);
  }
  // A symbolic link stays one: the file it points to is replaced.
  std::string target = name;
  if (::lstat(name.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
    if (char* real = ::realpath(name.c_str(), nullptr)) {
      target = real;
      std::free(real);
    }
  }
  static uint32_t count = 0;
  const size_t slash = target.find_last_of('/');
  const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  const std::string temporary =
      folder + "~$" + base + "." + std::to_string(::getpid()) + "." + std::to_string(++count);
  // "x": never another file of that name (one left by a crash).
  std::FILE* file = std::fopen(temporary.c_str(), "wbx");
  if (file == nullptr) return false;
  // The file keeps the permissions it had.
  const bool keepMode = ::stat(target.c_str(), &info) == 0;
  if (!WriteAndClose(file, output) || (keepMode && ::chmod(temporary.c_str(), info.st_mode & 07777) != 0) ||
      std::rename(temporary.c_str(), target.c_str()) != 0) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

// One $EXPORT directive. False when the remaining directives must not be
// carried out (errors 565 and 566).
bool ExportOne(const std::string& directive, int32_t run) {
  std::string text = directive;
  TrimShort(text, INT32_MAX);
  bool appendAsked = false;
  if (UpperCaseText(text).starts_with("/A")) {
    appendAsked = true;
    const int32_t cut = SplitExportItem(text);
    text = cut > static_cast<int32_t>(text.size()) ? "" : text.substr(static_cast<size_t>(cut));
    TrimShort(text, INT32_MAX);
  }
  const int32_t cut = SplitExportItem(text);
  std::string target = text.substr(0, static_cast<size_t>(cut) - 1);
  TrimShort(target, INT32_MAX);
  const std::string list = cut > static_cast<int32_t>(text.size()) ? "" : text.substr(static_cast<size_t>(cut));

  if (!target.starts_with("'") && target.ends_with("$")) {
    const TVariableRecord* v = MainVariable(target);
    if (v == nullptr) {
      SetMessageArg(1, target);
      SetMessageArg(2, "$Export");
      CalcErrorCode = kMsgInvalidFileName;
      return false;
    }
    target = StringConstText(static_cast<int32_t>(v->Value));
  } else if (target.size() >= 2 && target.front() == '\'' && target.back() == '\'') {
    target = target.substr(1, target.size() - 2);
  }
  const bool clipboard = SameTextNoCase(target, "CLIPBOARD");
  const std::string extension = UpperExtension(target);
  if (!clipboard && extension != ".CSV" && extension != ".TXT") {
    CalcErrorCode = kMsgExportExtension;
    return false;
  }

  // An existing file on the search path is appended to where it was found;
  // a new one goes where the plain form writes (the working directory).
  std::string path;
  const bool append = (FirstRun < run || appendAsked) && (clipboard || FileExistsOnPath(target, &path));
  if (append && !clipboard) target = path;
  const std::vector<std::string> items = SplitVariableList(list);
  std::vector<std::string> names;
  for (const std::string& item : items) {
    const int32_t savedError = CalcErrorCode;
    CalcErrorCode = 0;
    std::vector<std::string> expanded = ItemNames(item);
    if (CalcErrorCode == 0) {
      CalcErrorCode = savedError;
      names.insert(names.end(), expanded.begin(), expanded.end());
    }
  }

  std::string output;
  if (!append && !clipboard && extension == ".TXT") output += HeaderText(names);
  output += ValueLine(names);

  if (clipboard) {
    std::string buffer;
    std::string old;
    if (append && Platform().GetClipboardText(old) && !old.empty()) {
      CutTo(old, kClipboardBufferLength);
      buffer = old + "\r\n";
    }
    buffer += output;
    CutTo(buffer, kClipboardBufferLength);
    Platform().SetClipboardText(buffer);
    return true;
  }
  output += "\r\n";
  if (!WriteExportFile(target, output, append)) {
    // The file cannot be written (no such folder, no permission, a full
    // disk): reported like a missing target, and the export stops.
    SetMessageArg(1, target);
    SetMessageArg(2, "$Export");
    CalcErrorCode = kMsgInvalidFileName;
    return false;
  }
  return true;
}

}  // namespace

int32_t SplitExportItem(const std::string& text) {
  int32_t depth = 0;
  for (size_t k = 0; k < text.size(); ++k) {
    const char c = text[k];
    if (c == '[') ++depth;
    if (c == ']') --depth;
    if (depth <= 0 && (c == ArgumentSeparator || c == ' ')) return static_cast<int32_t>(k) + 1;
  }
  return static_cast<int32_t>(text.size()) + 1;
}

int32_t ReadRangeBound(const std::string& text) {
  std::string t = text;
  TrimShort(t, INT32_MAX);
  if (t.empty()) {
    CalcErrorCode = kMsgArrayRangeError;
    return 0;
  }
  if (IsDigitChar(t[0])) {
    int32_t n = 0;
    bool ok = t.size() <= 10;
    for (char c : t) ok = ok && IsDigitChar(c);
    if (ok) StrToLongSafe(t, n, ok);
    if (!ok) CalcErrorCode = kMsgArrayRangeError;
    return n;
  }
  const TVariableRecord* v = MainVariable(t);
  if (v == nullptr) return 0;
  if (v->UnknownPosition != kDeterminedVariable) {
    CalcErrorCode = kMsgArrayRangeError;
    return 0;
  }
  const Extended r = RoundReal(v->Value);
  if (!(r >= -2147483648.0L && r <= 2147483647.0L)) {
    CalcErrorCode = kMsgArrayRangeError;
    return 0;
  }
  return static_cast<int32_t>(r);
}

void ReadRangeBoundsList(const std::string& text, int32_t& count, std::array<int32_t, 3>& lows,
                         std::array<int32_t, 3>& highs) {
  count = 0;
  if (text.find("..") == std::string::npos) {
    CalcErrorCode = kMsgSyntaxError;
    return;
  }
  size_t k = 0;
  for (;;) {
    const size_t end = text.find_first_of(std::string("]") + ArgumentSeparator, k);
    if (end == std::string::npos) {
      // A group that never ends: the bound text is not closed.
      CalcErrorCode = kMsgSyntaxError;
      return;
    }
    if (count == kMaxRangeGroups) {
      CalcErrorCode = kMsgCommonArrayDimensions;
      return;
    }
    const std::string group = text.substr(k, end - k);
    const size_t dots = group.find("..");
    if (dots == std::string::npos) {
      lows[count] = highs[count] = ReadRangeBound(group);
    } else {
      lows[count] = ReadRangeBound(group.substr(0, dots));
      if (CalcErrorCode == 0) highs[count] = ReadRangeBound(group.substr(dots + 2));
    }
    if (CalcErrorCode > 0) return;
    ++count;
    if (text[end] == ']') return;
    k = end + 1;
  }
}

std::vector<std::string> ExpandArrayRange(const std::string& item) {
  std::vector<std::string> names;
  const size_t open = item.find('[');
  if (open == std::string::npos) {
    CalcErrorCode = kMsgSyntaxError;
    return names;
  }
  const std::string base = item.substr(0, open);
  int32_t count = 0;
  std::array<int32_t, 3> lows{};
  std::array<int32_t, 3> highs{};
  ReadRangeBoundsList(item.substr(open + 1), count, lows, highs);
  if (CalcErrorCode > 0) return names;
  int64_t total = 1;
  for (int32_t g = 0; g < count; ++g) {
    if (highs[g] < lows[g]) return names;
    total *= static_cast<int64_t>(highs[g]) - lows[g] + 1;
    if (total > kMaxRangeElements) {
      CalcErrorCode = kMsgArrayRangeError;
      return names;
    }
  }
  const std::string sep(1, ArgumentSeparator);
  std::array<int32_t, 3> index = lows;
  for (;;) {
    std::string name = base + "[" + std::to_string(index[0]);
    for (int32_t g = 1; g < count; ++g) name += sep + std::to_string(index[g]);
    name += "]";
    CutTo(name, kExportTextLength);
    names.push_back(name);
    // The last index varies fastest.
    int32_t g = count - 1;
    while (g >= 0 && index[g] == highs[g]) {
      index[g] = lows[g];
      --g;
    }
    if (g < 0) break;
    ++index[g];
  }
  return names;
}

void ExportAfterRun(int32_t run) {
  TProgramUnitRecord* savedUnit = CurrentProgramUnit;
  CurrentProgramUnit = MainProgramUnit;
  for (const std::string& directive : ExportDirectives) {
    if (!ExportOne(directive, run)) break;
  }
  CurrentProgramUnit = savedUnit;
}

}  // namespace voq

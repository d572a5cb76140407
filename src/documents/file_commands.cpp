#include "documents/file_commands.h"

#include <algorithm>
#include <cctype>
#include <fstream>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "documents/document_files.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "tables/table_model.h"
#include "tables/tables_state.h"

namespace voq {

namespace {

std::string Upper(std::string s) {
  for (char& c : s) c = char(std::toupper(uint8_t(c)));
  return s;
}

size_t NameStart(const std::string& fileName) {
  const size_t slash = fileName.find_last_of("/\\");
  return slash == std::string::npos ? 0 : slash + 1;
}

bool WriteLines(const std::string& path, const std::vector<std::string>& lines) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  for (const std::string& line : lines) out << line << "\r\n";
  out.close();
  return bool(out);
}

}  // namespace

bool SameFileName(const std::string& a, const std::string& b) { return Upper(a) == Upper(b); }

void NoteRecentFileRead(std::vector<std::string>& list, const std::string& name, int32_t limit) {
  list.erase(std::remove_if(list.begin(), list.end(), [&](const std::string& e) { return SameFileName(e, name); }),
             list.end());
  if (name.size() <= 3) return;
  list.push_back(name);
  while (list.size() > size_t(std::max<int32_t>(limit, 0))) list.erase(list.begin());
}

void NoteRecentFileSavedAs(std::vector<std::string>& list, const std::string& name) {
  if (name.size() <= 3) return;
  for (const std::string& e : list) {
    if (SameFileName(e, name)) return;
  }
  list.push_back(name);
  if (list.size() > 6) list.erase(list.begin());
}

std::vector<TRecentFileItem> RecentFileItems(const std::vector<std::string>& list, bool distributable) {
  std::vector<TRecentFileItem> items;
  const int32_t count = int32_t(list.size());
  for (int32_t k = 0; k < count; ++k) {
    const int32_t index = count - 1 - k;
    items.push_back({std::to_string(k + 1) + ". " + list[size_t(index)], distributable ? k : index});
  }
  return items;
}

std::vector<std::string> ReadRecentFileList(const std::string& path) {
  std::vector<std::string> list;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) list.push_back(line);
  }
  return list;
}

bool WriteRecentFileList(const std::string& path, const std::vector<std::string>& list) {
  return WriteLines(path, list);
}

bool WriteDirectoryList(const std::string& path, const std::vector<std::string>& folders) {
  std::vector<std::string> lines = folders;
  lines.resize(3);
  return WriteLines(path, lines);
}

std::string VoqNameOf(const std::string& fileName) {
  const size_t start = NameStart(fileName);
  const size_t dot = fileName.find_last_of('.');
  if (dot == std::string::npos || dot < start) return fileName + ".VOQ";
  return fileName.substr(0, dot) + ".VOQ";
}

TSaveChangesQuestion SaveChangesQuestion(const std::string& fileName, bool unchanged) {
  TSaveChangesQuestion q;
  const std::string extension = fileName.empty() ? ".VOQ" : DocumentExtension(fileName);
  if (unchanged && extension == ".VOQ") return q;
  q.Ask = true;
  if (fileName.empty()) {
    q.Message = kMsgUntitledChanged;
    q.Text = GetMessageText(kMsgUntitledChanged);
    return q;
  }
  q.SaveName = extension == ".VOQ" ? fileName : VoqNameOf(fileName);
  SetMessageArg(1, fileName);
  if (unchanged) {
    SetMessageArg(2, q.SaveName);
    q.Message = kMsgSaveAsOtherName;
  } else {
    q.Message = kMsgFileChanged;
  }
  q.Text = GetMessageText(q.Message);
  return q;
}

TSaveAsSetup SaveAsDialogSetup(const std::string& fileName, int32_t unused, bool compiled, int32_t lastError) {
  TSaveAsSetup s;
  if (unused > 100 && (compiled || lastError == 70)) {
    s.Template = "PURGEVARS";
    s.UnusedCount = unused;
  } else {
    s.Template = "SAVEASOLD";
  }
  const std::string extension = DocumentExtension(fileName);
  if (extension == ".LIB") {
    s.FilterIndex = 2;
  } else if (extension == ".XPT") {
    s.FilterIndex = 3;
  } else if (extension == ".TXT") {
    s.FilterIndex = 4;
  }
  s.ProposedName = fileName;
  if (!extension.empty()) {
    const size_t at = Upper(fileName).find(extension, NameStart(fileName));
    if (at != std::string::npos) s.ProposedName = fileName.substr(0, at);
  }
  return s;
}

std::string PurgeBoxCaption(int32_t unused) { return "Purge " + std::to_string(unused) + " unused variables"; }

int32_t CountUnusedVariables() {
  const TProgramUnitRecord* main = MainProgramUnit;
  if (main == nullptr) return 0;
  const int32_t n = std::max<int32_t>(main->VariableCount, 0);
  std::vector<uint8_t> column(size_t(n) + 1, 0);
  auto mark = [&](const TTableColumnRecord* c) {
    for (; c != nullptr; c = c->Next) {
      if (c->VariableIndex >= 1 && c->VariableIndex <= n) column[size_t(c->VariableIndex)] = 1;
    }
  };
  if (const TTableForm* form = TableForms[kParametricTableKind].get()) mark(form->Columns);
  int32_t used = 0;
  for (int32_t i = 1; i <= n; ++i) {
    const TVariableRecord* v = main->Variable(i);
    if (v != nullptr && (v->UnknownPosition != 0 || column[size_t(i)] != 0)) ++used;
  }
  return n - used;
}

int32_t AutoSaveInterval(int32_t minutes) { return minutes > 0 ? std::min(minutes, 999) * 60000 : 0; }

TAutoSaveAction AutoSaveTickAction(const std::string& fileName, const TAutoSaveConditions& now) {
  if (now.PlayingMacro || now.MacroRecording || now.PlayingFromMacroWindow || now.DdeCommand || now.Distributable) {
    return TAutoSaveAction::Nothing;
  }
  return fileName.empty() ? TAutoSaveAction::AskForName : TAutoSaveAction::WriteCopy;
}

}  // namespace voq

#include "output/solution_text.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "core/messages.h"
#include "core/number_format.h"
#include "core/search_path.h"
#include "model/document_settings.h"
#include "model/routines.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "output/entry_text.h"

namespace voq {

std::string SolutionTextLine(const std::string& name, const std::string& valueText, const TVariableRecord& v) {
  std::string line = name + "=" + valueText;
  if (!v.Units.empty() && !v.IsString) line += " " + BracketUnits(v.Units);
  return line;
}

std::string SolutionValueText(const TVariableRecord& v) {
  TDisplayFormat format{v.Style, v.Digits};
  if (v.IsString) format.Style = kStyleStringConstant;
  return FormatValue(format, v.Value);
}

bool SavedInSolution(const TVariableRecord& v, bool macroRunning) {
  if (v.DisplayCode == 0) return false;
  if (IsArrayElement(v) && Preferences.UseArraysWindow != 0 && !UncertaintyMode) return false;
  if (v.DisplayCode % 10 == 0 && !macroRunning) return false;
  return true;
}

namespace {

// The I/O result ReportIOError knows for an errno: 5 access denied, 101
// disk full, else the errno itself.
int32_t IOResultOf(int error) {
  if (error == EACCES || error == EPERM || error == EROFS) return 5;
  if (error == ENOSPC || error == EFBIG) return 101;
  return error == 0 ? 101 : error;
}

}  // namespace

bool SaveSolution(const std::string& file, bool append, bool macroRunning) {
  const std::string folder = std::filesystem::path(file).parent_path().string();
  if (!folder.empty()) AddSearchDirectory(folder);
  errno = 0;
  std::FILE* f = std::fopen(file.c_str(), append ? "ab" : "wb");
  if (f == nullptr) {
    ReportIOError(IOResultOf(errno));
    return false;
  }
  std::string text;
  const TProgramUnitRecord* main = MainProgramUnit;
  TProgramUnitRecord* saved = CurrentProgramUnit;
  CurrentProgramUnit = MainProgramUnit;
  for (int32_t k = 1; main != nullptr && k <= main->UsedVariableCount; ++k) {
    const TVariableRecord* v = main->Variable(main->UsedVariableList[size_t(k)]);
    if (v == nullptr || !SavedInSolution(*v, macroRunning)) continue;
    text += SolutionTextLine(v->Name, SolutionValueText(*v), *v) + "\r\n";
  }
  CurrentProgramUnit = saved;
  text += "\r\n";
  errno = 0;
  const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  int error = written ? 0 : errno;
  const bool closed = std::fclose(f) == 0;
  if (closed && written) return true;
  if (error == 0) error = errno;
  ReportIOError(IOResultOf(error));
  return false;
}

std::string SolutionClipboardText(const TSolutionState& state) {
  const std::string tab = SelectedTabName(state);
  std::string text;
  TProgramUnitRecord* saved = CurrentProgramUnit;
  auto block = [&](TProgramUnitRecord* u, int32_t unitIndex, int32_t call, const std::string& title) {
    std::string lines;
    bool any = false;
    CurrentProgramUnit = u;
    for (int32_t k = 1; k <= u->UsedVariableCount; ++k) {
      const TVariableRecord* v = u->Variable(u->UsedVariableList[size_t(k)]);
      if (v == nullptr || v->DisplayCode % 10 == 0) continue;
      std::string name = v->Name;
      const bool moduleLocal = !name.empty() && name[0] == '@';
      if (moduleLocal) {
        const std::string prefix = "@" + std::to_string(unitIndex) + "\\" + std::to_string(call) + ".";
        if (call <= 0 || name.compare(0, prefix.size(), prefix) != 0) continue;
        name = name.substr(prefix.size());
      } else if (call > 0) {
        continue;
      }
      any = true;
      std::string value = SolutionValueText(*v);
      if (v->IsString) value = "'" + value + "'";
      lines += SolutionTextLine(name, value, *v) + "\r\n";
    }
    if (call > 0 && !any) return false;
    if (!text.empty()) text += "\r\n";
    text += title + "\r\n" + lines;
    return true;
  };
  if (const int32_t j = SelectedRoutine(state); j > 0) {
    const TRoutineRecord* r = j <= FunctionCount ? FunctionTable[size_t(j)] : nullptr;
    if (r != nullptr) {
      text += "Local variables in " + std::string(r->OutputCount > 0 ? "PROCEDURE " : "FUNCTION ") + r->Name + "\r\n";
      const TLocalVariableRecord* l = r->Locals;
      if (r->OutputCount > 0 && l != nullptr) l = l->Next;
      for (; l != nullptr; l = l->Next) {
        TDisplayFormat format{l->Style, l->Digits};
        if (l->IsString) format.Style = kStyleStringConstant;
        std::string value = FormatValue(format, l->Value);
        if (l->IsString) value = "'" + value + "'";
        text += l->Name + "=" + value + "\r\n";
      }
    }
  } else if (tab == "Main") {
    if (MainProgramUnit != nullptr) block(MainProgramUnit, 0, 0, "Variables in Main");
  } else {
    for (size_t i = 1; i < ProgramUnitList.size(); ++i) {
      TProgramUnitRecord* u = ProgramUnitList[i];
      if (u == nullptr || u->Name != tab) continue;
      if (u->Merged == 0) {
        block(u, int32_t(i), 0, "Local variables in " + u->Name);
      } else {
        for (int32_t n = 1; n < 10000; ++n) {
          std::string title = "Local variables in " + u->Name + "\\" + std::to_string(n);
          if (size_t(n) <= u->CallTexts.size() && !u->CallTexts[size_t(n) - 1].empty())
            title += "  (" + u->CallTexts[size_t(n) - 1] + ")";
          if (!block(MainProgramUnit, int32_t(i), n, title)) break;
        }
      }
    }
  }
  CurrentProgramUnit = saved;
  return text;
}

}  // namespace voq

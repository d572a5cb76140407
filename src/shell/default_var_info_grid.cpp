#include "shell/default_var_info_grid.h"

#include <cmath>
#include <filesystem>

#include "core/messages.h"
#include "core/number_format.h"
#include "core/number_text.h"
#include "core/search_path.h"
#include "documents/default_var_info.h"
#include "model/store_state.h"
#include "session/equation_editor.h"  // MacroRecorder
#include "tables/tables_state.h"

namespace voq {

namespace {

constexpr TDisplayFormat kLimitFormat{kStyleExponential, 4};
constexpr const char* kStyleLetters = "EFHA";
constexpr uint8_t kHiddenStyle = 2;

bool ValidRow(int row) { return row >= 0 && row < kDviGridRows; }

// Reals compare by value; a blank or infinite default equals itself.
bool Differs(Extended a, Extended b) { return !(a == b) && !(std::isnan(a) && std::isnan(b)); }

bool FormatDiffers(const TLetterDefaultRecord& a, const TLetterDefaultRecord& b) {
  return a.Style != b.Style || a.Digits != b.Digits;
}

}  // namespace

void TDefaultVarInfoGrid::FormActivate() {
  saved_ = LetterDefaults;
  pendingColumn_ = -1;
}

std::string TDefaultVarInfoGrid::CellText(int row, int column) const {
  if (!ValidRow(row)) return {};
  const TLetterDefaultRecord& d = LetterDefaults[static_cast<size_t>(row)];
  switch (column) {
    case kLetterColumn:
      return std::string(1, static_cast<char>('A' + row));
    case kGuessColumn:
      return FormatValue(TDisplayFormat{d.Style, d.Digits}, d.Guess);
    case kLowerColumn:
      return RealToStr(kLimitFormat, d.LowerLimit);
    case kUpperColumn:
      return RealToStr(kLimitFormat, d.UpperLimit);
    case kStyleColumn:
      return d.Style <= 3 ? std::string(1, kStyleLetters[d.Style]) : std::string();
    case kDigitsColumn:
      return std::to_string(d.Digits);
    case kUnitsColumn:
      return d.Units;
    default:
      return {};
  }
}

bool TDefaultVarInfoGrid::Selectable(int column) {
  return column == kGuessColumn || column == kLowerColumn || column == kUpperColumn || column == kUnitsColumn;
}

bool TDefaultVarInfoGrid::DigitsGrey(int row) const {
  return ValidRow(row) && LetterDefaults[static_cast<size_t>(row)].Style == kStyleAutomatic;
}

bool TDefaultVarInfoGrid::SetEditText(int row, int column, const std::string& text) {
  if (!ValidRow(row) || !Selectable(column)) return true;
  TLetterDefaultRecord& d = LetterDefaults[static_cast<size_t>(row)];
  if (column == kUnitsColumn) {
    d.Units = text.substr(0, 30);
    return true;
  }
  bool ok = false;
  const Extended value = ParseReal(text, ok);
  if (!ok) {
    pendingRow_ = row;
    pendingColumn_ = column;
    return false;
  }
  (column == kGuessColumn ? d.Guess : column == kLowerColumn ? d.LowerLimit : d.UpperLimit) = value;
  pendingColumn_ = -1;
  return true;
}

void TDefaultVarInfoGrid::SetStyle(int row, uint8_t style) {
  if (ValidRow(row) && style <= 3) LetterDefaults[static_cast<size_t>(row)].Style = style;
}

void TDefaultVarInfoGrid::SetDigits(int row, int16_t digits) {
  if (ValidRow(row) && digits >= 0 && digits <= 9) LetterDefaults[static_cast<size_t>(row)].Digits = digits;
}

void TDefaultVarInfoGrid::PushIntoVariables() {
  TProgramUnitRecord* unit = CurrentProgramUnit;
  if (unit == nullptr) return;
  for (int32_t i = 1; i <= unit->VariableCount; ++i) {
    TVariableRecord* v = unit->Variable(i);
    if (v == nullptr || v->Name.empty()) continue;
    // Names of module-local variables begin with "@" and are skipped here.
    char c = v->Name[0];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c < 'A' || c > 'Z') continue;
    const TLetterDefaultRecord& now = LetterDefaults[static_cast<size_t>(c - 'A')];
    const TLetterDefaultRecord& before = saved_[static_cast<size_t>(c - 'A')];
    // A string variable's guess is the index of its string constant and its
    // style is the string style: numeric defaults do not reach them.
    const bool numeric = v->IsString == 0 && v->Style != kStyleStringConstant;
    if (numeric && Differs(now.Guess, before.Guess)) v->Guess = now.Guess;
    if (Differs(now.LowerLimit, before.LowerLimit)) v->LowerLimit = now.LowerLimit;
    if (Differs(now.UpperLimit, before.UpperLimit)) v->UpperLimit = now.UpperLimit;
    if (numeric && FormatDiffers(now, before)) {
      if (now.Style == kHiddenStyle) {
        // Hidden is no display style of a variable: as for a new variable,
        // it shows automatically formatted under the hidden highlight.
        v->Style = kStyleAutomatic;
        v->DisplayCode = 0;
      } else {
        v->Style = now.Style;
        if (before.Style == kHiddenStyle && v->DisplayCode == 0) v->DisplayCode = 1;
      }
      v->Digits = now.Digits;
    }
    if (now.Units != before.Units) v->Units = now.Units;
  }
}

void TDefaultVarInfoGrid::RecordMacroLines(MacroRecorder& recorder) {
  if (!recorder.Recording()) return;
  DefaultDisplayFormat = TDisplayFormat{kStyleAutomatic, 3};
  for (size_t r = 0; r < LetterDefaults.size(); ++r) {
    const TLetterDefaultRecord& now = LetterDefaults[r];
    const TLetterDefaultRecord& before = saved_[r];
    std::string text;
    if (Differs(now.Guess, before.Guess)) text += "  GUESS=" + FormatValue(DefaultDisplayFormat, now.Guess);
    if (Differs(now.LowerLimit, before.LowerLimit)) text += "  LOWER=" + FormatValue(DefaultDisplayFormat, now.LowerLimit);
    if (Differs(now.UpperLimit, before.UpperLimit)) text += "  UPPER=" + FormatValue(DefaultDisplayFormat, now.UpperLimit);
    if (FormatDiffers(now, before)) {
      if (now.Style == kHiddenStyle)
        text += "   DISPLAY=H0";
      else if (now.Style <= 3)
        text += std::string("   DISPLAY=") + kStyleLetters[now.Style] + std::to_string(now.Digits);
    }
    if (now.Units != before.Units) text += "  UNITS='" + now.Units + "'";
    if (!text.empty()) recorder.AppendLine("DEFVARINFO " + std::string(1, static_cast<char>('A' + r)) + text);
  }
}

bool TDefaultVarInfoGrid::Apply(MacroRecorder& recorder) {
  if (HasPendingCell()) {
    ThrottledBeep();
    return false;
  }
  PushIntoVariables();
  RecordMacroLines(recorder);
  return true;
}

bool TDefaultVarInfoGrid::Accept(MacroRecorder& recorder) {
  const bool accepted = Apply(recorder);
  if (accepted) saved_ = LetterDefaults;
  DocumentUnchanged = false;
  return accepted;
}

void TDefaultVarInfoGrid::Cancel() {
  LetterDefaults = saved_;
  pendingColumn_ = -1;
}

void TDefaultVarInfoGrid::KeepFileName(const std::string& path) {
  DviFileName = path;
  AddSearchDirectory(std::filesystem::path(path).parent_path().string());
}

TDefaultVarInfoGrid::StoreResult TDefaultVarInfoGrid::Store(MacroRecorder& recorder, DviFileChooser& chooser) {
  // Writing the file while a cell is refused would leave the variables
  // without the defaults the file holds: Store stops as OK does.
  if (HasPendingCell()) {
    ThrottledBeep();
    return StoreResult::Refused;
  }
  // A cancelled file dialog leaves everything as it was.
  std::string path = DviFileName;
  if (!chooser.AskSaveName(path)) return StoreResult::Cancelled;
  KeepFileName(path);
  Apply(recorder);
  // The changes are pushed and recorded: from here they count as made, so a
  // later OK neither pushes nor records them twice.
  saved_ = LetterDefaults;
  DocumentUnchanged = false;
  if (const int32_t code = WriteDviFile(path, LetterDefaults); code != 0) {
    ReportIOError(code);
    return StoreResult::Failed;
  }
  return StoreResult::Written;
}

bool TDefaultVarInfoGrid::Load(DviFileChooser& chooser) {
  std::string path = DviFileName;
  if (!chooser.AskOpenName(path)) return false;
  KeepFileName(path);
  std::array<TLetterDefaultRecord, 26> read = LetterDefaults;
  if (const int32_t code = ReadDviFile(path, read); code != 0) {
    ReportIOError(code);
    return false;
  }
  LetterDefaults = read;
  pendingColumn_ = -1;
  return true;
}

}  // namespace voq

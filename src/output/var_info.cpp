#include "output/var_info.h"

#include <algorithm>
#include <cctype>
#include <new>

#include "core/calc_state.h"
#include "core/extended.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/number_format.h"
#include "core/number_text.h"
#include "core/string_constants.h"
#include "language/reader_state.h"
#include "language/statement_preparation.h"
#include "model/display_fonts.h"
#include "model/document_settings.h"
#include "model/store_state.h"
#include "output/format_codes.h"
#include "output/palette.h"
#include "output/print_engine.h"
#include "platform/host.h"
#include "platform/platform.h"
#include "session/equation_editor.h"
#include "session/problem_summary.h"

namespace voq {

bool VarInfoRestricted = false;
bool VarInfoFromEquations = false;

namespace {

constexpr TDisplayFormat kLimitFormat{kStyleExponential, 4};
constexpr uint32_t kSilver = 0xC0C0C0;
constexpr uint32_t kGrey = 0x808080;

std::string Upper(std::string s) {
  for (char& c : s) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return s;
}

bool IsArrayElement(const std::string& name) { return !name.empty() && name.back() == ']'; }

bool IsNameChar(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return std::isalnum(u) != 0 || c == '_' || c == '$' || u >= 0xC0;
}

std::string Trimmed(const std::string& text) {
  std::string s = text;
  s.erase(0, s.find_first_not_of(' '));
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

std::string NumberText(const TDisplayFormat& format, Extended x, bool formatted) {
  std::string text = formatted ? FormatValue(format, x) : RealToStr(format, x);
  if (x == -InfinityValue) text = "-infinity";
  return Trimmed(text);
}

int32_t Highlight(const TVariableRecord& v) { return ((v.DisplayCode % 10) + 10) % 10; }

std::string StyleLetter(uint8_t style) {
  switch (style) {
    case 0: return "E";
    case 1: return "F";
    case 3: return "A";
    case 4: return "S";
    default: return "";
  }
}

std::string LinkedName(const TProgramUnitRecord* unit, int16_t index) {
  const TVariableRecord* v = unit != nullptr ? unit->Variable(index) : nullptr;
  return v != nullptr ? v->Name : std::string();
}

}  // namespace

bool ValidVariableName(const std::string& name) {
  if (name.empty()) return false;
  const char first = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
  if (first < 'A' || first > 'Z') return false;
  bool bracket = false;
  for (char c : name) {
    if (bracket) {
      if (!(std::isdigit(static_cast<unsigned char>(c)) || c == ']' || c == ArgumentSeparator)) return false;
    }
    if (c != ArgumentSeparator &&
        (DelimiterChars.find(c) != std::string::npos || c == '{' || c == '}' || c == '"' || c == ' ')) {
      return false;
    }
    if (c == '[') bracket = true;
  }
  return !bracket || name.back() == ']';
}

std::string ArrayDisplayName(const std::string& name) {
  const size_t open = name.find('[');
  return open == std::string::npos ? name : name.substr(0, open + 1) + "]";
}

// --- The Equations text ----------------------------------------------------

TEquationTextRename::TEquationTextRename(std::string text, std::vector<std::pair<int32_t, int32_t>> comments)
    : text_(std::move(text)), comments_(std::move(comments)) {}

int32_t TEquationTextRename::AddUnit(int32_t first, int32_t last) {
  units_.emplace_back(first, last);
  return int32_t(units_.size()) - 1;
}

void TEquationTextRename::Shift(int32_t at, int32_t delta) {
  auto move = [&](int32_t& p) {
    if (p > at) p += delta;
  };
  for (auto& [first, last] : units_) {
    move(first);
    move(last);
  }
  for (auto& [start, end] : comments_) {
    move(start);
    move(end);
  }
}

bool TEquationTextRename::InComment(int32_t position) const {
  // From the opening delimiter (just before the first character inside) to
  // the closing one.
  return std::any_of(comments_.begin(), comments_.end(),
                     [&](const auto& c) { return position >= c.first - 1 && position <= c.second; });
}

int32_t TEquationTextRename::Rename(int32_t unit, const std::string& search, const std::string& replacement,
                                    bool wholeWord) {
  if (search.empty() || unit < 0 || unit >= int32_t(units_.size())) return 0;
  const std::string needle = Upper(search);
  int32_t replaced = 0;
  int32_t position = std::max(units_[size_t(unit)].first, 0);
  while (position < int32_t(text_.size())) {
    const std::string upper = Upper(text_);
    const size_t hit = upper.find(needle, size_t(position));
    if (hit == std::string::npos || int32_t(hit) > units_[size_t(unit)].second) break;
    const int32_t at = int32_t(hit);
    const char before = at > 0 ? text_[size_t(at - 1)] : ' ';
    const size_t afterAt = hit + needle.size();
    const char after = afterAt < text_.size() ? text_[afterAt] : ' ';
    bool replace = !InComment(at) && before != '_' && before != '\\' && after != '_' && after != '\\';
    // No name may continue across the match's front: "DELTAT[" is not the
    // array T, nor "xx" the variable x.
    if (IsNameChar(before)) replace = false;
    if (wholeWord && IsNameChar(after)) replace = false;
    if (!replace) {
      position = at + 1;
      continue;
    }
    text_.replace(hit, needle.size(), replacement);
    const int32_t delta = int32_t(replacement.size()) - int32_t(needle.size());
    if (delta != 0) Shift(at, delta);
    changed_ = true;
    ++replaced;
    position = at + int32_t(std::max<size_t>(replacement.size(), 1));
  }
  return replaced;
}

// --- The rows --------------------------------------------------------------

TVarInfoModel::TVarInfoModel(VarInfoWindows& windows, MacroRecorder* recorder)
    : windows_(windows), recorder_(recorder) {}

bool TVarInfoModel::Create(int32_t selectionStart, const std::string& selectedText) {
  savedUnit_ = CurrentProgramUnit;
  guessesUpdated_ = false;
  try {
    for (TProgramUnitRecord* unit : ProgramUnitList) {
      if (unit == nullptr || unit->Defined == 0 || unit->CompiledThisPass == 0) continue;
      TVarInfoUnit entry;
      entry.Unit = unit;
      entry.Name = unit->Name;
      for (int32_t k = 1; k <= unit->UsedVariableCount; ++k) {
        const TVariableRecord* v = unit->Variable(unit->UsedVariableList[size_t(k)]);
        entry.Copies.push_back(v != nullptr ? *v : TVariableRecord{});
      }
      entry.Groups.assign(entry.Copies.size(), 0);
      units_.push_back(std::move(entry));
    }
  } catch (const std::bad_alloc&) {
    units_.clear();
    ShowAlert(GetMessageText(kMsgOperationOutOfMemory), kAlertErrorOk, true);
    return false;
  }
  selected_ = 0;
  if (!VarInfoRestricted) {
    for (size_t k = 0; k < units_.size(); ++k) {
      const TProgramUnitRecord* u = units_[k].Unit;
      if (u != MainProgramUnit && selectionStart >= u->BlockStart && selectionStart <= u->BlockEnd) {
        selected_ = int32_t(k);
      }
    }
  }
  BuildRows();
  if (VarInfoFromEquations && !units_.empty() && units_[size_t(selected_)].Unit->UsedVariableCount > 12) {
    const std::string name = Trimmed(selectedText).substr(0, kMaxNameLength);
    MakeShownUnitCurrent();
    const int32_t index = name.empty() ? 0 : FindVariable(name);
    for (int32_t r = 0; r < RowCount() && index > 0; ++r) {
      if (rows_[size_t(r)] == index) focusRow_ = r;
    }
  }
  return true;
}

bool TVarInfoModel::UnitSelectorVisible() const { return ProgramUnitList.size() > 1 && !VarInfoRestricted; }

TProgramUnitRecord* TVarInfoModel::MakeShownUnitCurrent() {
  CurrentProgramUnit = MainProgramUnit;
  if (UnitSelectorVisible() && selected_ >= 0 && selected_ < int32_t(units_.size())) {
    CurrentProgramUnit = units_[size_t(selected_)].Unit;
  }
  return CurrentProgramUnit;
}

void TVarInfoModel::SelectUnit(int32_t k) {
  if (k < 0 || k >= int32_t(units_.size())) return;
  selected_ = k;
  BuildRows();
}

void TVarInfoModel::SetShowArrayElements(bool show) {
  if (show && !showArrays_) {
    // The representative rows carried their changes only to themselves.
    MakeShownUnitCurrent();
    if (!units_.empty()) {
      TVarInfoUnit& unit = units_[size_t(selected_)];
      for (int32_t i = 0; i < int32_t(unit.Copies.size()); ++i) FixAllArrayElmts(unit, i, false, "", "");
    }
  }
  showArrays_ = show;
  BuildRows();
}

void TVarInfoModel::SetShowStringVariables(bool show) {
  showStrings_ = show;
  BuildRows();
}

void TVarInfoModel::BuildRows() {
  invalidColumn_ = -1;
  rows_.clear();
  arrayNames_.clear();
  arraysEnabled_ = false;
  stringsEnabled_ = false;
  TProgramUnitRecord* unit = MakeShownUnitCurrent();
  if (unit == nullptr) return;
  try {
    rows_.reserve(size_t(unit->UsedVariableCount) + 1);
    for (int32_t k = 1; k <= unit->UsedVariableCount; ++k) {
      const int32_t index = unit->UsedVariableList[size_t(k)];
      TVariableRecord* v = unit->Variable(index);
      if (v == nullptr || (!v->Name.empty() && v->Name[0] == '@')) continue;
      bool listed = true;
      int16_t group = 0;
      if (IsArrayElement(v->Name) && v->Name.find('[') != std::string::npos) {
        arraysEnabled_ = true;
        const std::string base = Upper(v->Name.substr(0, v->Name.find('[')));
        if (std::find(arrayNames_.begin(), arrayNames_.end(), base) == arrayNames_.end()) {
          arrayNames_.push_back(base);
          group = int16_t(arrayNames_.size());
        } else {
          listed = showArrays_;
        }
      }
      units_[size_t(selected_)].Groups[size_t(k - 1)] = group;
      if (v->IsString) {
        stringsEnabled_ = true;
        if (!showStrings_) listed = false;
      }
      if (listed) rows_.push_back(index);
    }
  } catch (const std::bad_alloc&) {
    rows_.clear();
    ShowAlert(GetMessageText(kMsgOperationOutOfMemory), kAlertErrorOk, true);
  }
}

int32_t TVarInfoModel::RowVariable(int32_t row) const {
  return row >= 0 && row < RowCount() ? rows_[size_t(row)] : 0;
}

TVariableRecord* TVarInfoModel::RowRecord(int32_t row) const {
  const int32_t index = RowVariable(row);
  return index > 0 && CurrentProgramUnit != nullptr ? CurrentProgramUnit->Variable(index) : nullptr;
}

bool TVarInfoModel::InMainProgram() const { return CurrentProgramUnit == MainProgramUnit; }

bool TVarInfoModel::Negative(const TVariableRecord& v) const { return v.UnknownPosition < 0 && InMainProgram(); }

TVarInfoCell TVarInfoModel::Cell(int32_t row, int32_t column) const {
  TVarInfoCell cell;
  const TVariableRecord* v = RowRecord(row);
  if (v == nullptr) return cell;
  const TDisplayFormat own{v->Style, v->Digits};
  switch (column) {
    case 0:
      cell.Text = !showArrays_ && IsArrayElement(v->Name) ? ArrayDisplayName(v->Name) : v->Name;
      cell.Align = 0;
      break;
    case 1:
      cell.Align = 2;
      if (v->IsString) {
        cell.Text = StringConstText(static_cast<int32_t>(v->Value));
        cell.Colour = kSilver;
      } else if (v->GuessVariable != 0) {
        cell.Text = LinkedName(CurrentProgramUnit, v->GuessVariable);
      } else {
        cell.Text = NumberText(own, Negative(*v) ? v->Value : v->Guess, true);
      }
      break;
    case 2:
    case 3: {
      cell.Align = 2;
      if (v->IsString) break;
      const int16_t link = column == 2 ? v->LowerVariable : v->UpperVariable;
      const Extended limit = column == 2 ? v->LowerLimit : v->UpperLimit;
      cell.Text = link != 0 ? LinkedName(CurrentProgramUnit, link) : NumberText(kLimitFormat, limit, false);
      cell.Italic = Negative(*v);
      break;
    }
    case 4:
      cell.Text = StyleLetter(v->Style);
      if (v->Style == kStyleStringConstant) cell.Colour = kGrey;
      break;
    case 5:
      if (!v->IsString) cell.Text = std::to_string(v->Digits);
      if (v->Style == kStyleAutomatic || v->Style == kStyleStringConstant || Highlight(*v) == 0) cell.Colour = kGrey;
      cell.Indent = 4;
      break;
    case 6: {
      static const char* const kLetters[] = {"", "N", "U", "B", "X"};
      const int32_t h = Highlight(*v);
      cell.Text = h <= 4 ? kLetters[h] : "";
      cell.Underline = h == 2;
      cell.Bold = h == 3;
      cell.Boxed = h == 4;
      cell.Indent = 4;
      break;
    }
    case 7:
      cell.Text = v->Units;
      break;
    default:
      break;
  }
  return cell;
}

bool TVarInfoModel::CanSelect(int32_t row, int32_t column) const {
  const TVariableRecord* v = RowRecord(row);
  if (v == nullptr) return false;
  if (column == 0) return !(showArrays_ && IsArrayElement(v->Name));
  if (column >= 1 && column <= 3) return !v->IsString;
  return column == 7;
}

std::string TVarInfoModel::EditText(int32_t row, int32_t column) const {
  const TVariableRecord* v = RowRecord(row);
  if (v == nullptr || (v->IsString && column >= 1 && column <= 3)) return std::string();
  return Cell(row, column).Text;
}

void TVarInfoModel::Commit(int32_t row, int32_t column, const std::string& text) {
  TVariableRecord* v = RowRecord(row);
  if (v == nullptr) return;
  if (column == 0) {
    v->Name = text.substr(0, kMaxNameLength);
    if (IsArrayElement(v->Name)) arraysEnabled_ = false;
    return;
  }
  if (column == 7) {
    v->Units = text.substr(0, kMaxNameLength);
    return;
  }
  if (column < 1 || column > 3) return;
  invalidColumn_ = -1;
  if (v->UnknownPosition < 0) v->UnknownPosition = 1;
  std::string value;
  for (char c : text) {
    if (c != ' ') value.push_back(c);
  }
  auto store = [column](TVariableRecord& r, Extended x, int16_t link) {
    if (column == 1) {
      r.Guess = x;
      r.GuessVariable = link;
    } else if (column == 2) {
      r.LowerLimit = x;
      r.LowerVariable = link;
    } else {
      r.UpperLimit = x;
      r.UpperVariable = link;
    }
  };
  const bool number = !value.empty() && (DigitChars.find(value[0]) != std::string::npos || value[0] == '-' ||
                                         Upper(value.substr(0, 3)) == "INF");
  if (number) {
    bool ok = false;
    const Extended x = ParseReal(value, ok);
    if (!ok) return;
    store(*v, x, 0);
    if (ShiftKeyDown() && CtrlKeyDown()) {
      for (int32_t r = row + 1; r < RowCount(); ++r) {
        if (TVariableRecord* below = RowRecord(r)) store(*below, x, 0);
      }
    }
    return;
  }
  const std::string upper = Upper(value);
  for (int32_t r = 0; r < RowCount(); ++r) {
    const TVariableRecord* other = RowRecord(r);
    if (other != nullptr && other->UpperName == upper) {
      store(*v, other->Value, int16_t(RowVariable(r)));
      return;
    }
  }
  invalidRow_ = row;
  invalidColumn_ = column;
}

void TVarInfoModel::SetStyle(int32_t row, uint8_t style) {
  const int32_t last = ShiftKeyDown() && CtrlKeyDown() ? RowCount() - 1 : row;
  for (int32_t r = row; r <= last; ++r) {
    TVariableRecord* v = RowRecord(r);
    if (v == nullptr) continue;
    v->Style = style;
    if (r == row && Highlight(*v) == 0) v->DisplayCode = int16_t(v->DisplayCode - (v->DisplayCode % 10) + 1);
  }
}

void TVarInfoModel::SetDigits(int32_t row, int16_t digits) {
  const int32_t last = ShiftKeyDown() && CtrlKeyDown() ? RowCount() - 1 : row;
  for (int32_t r = row; r <= last; ++r) {
    if (TVariableRecord* v = RowRecord(r)) v->Digits = digits;
  }
}

void TVarInfoModel::SetHighlight(int32_t row, int32_t highlight) {
  TVariableRecord* v = RowRecord(row);
  if (v == nullptr || highlight < 0 || highlight > 4) return;
  v->DisplayCode = int16_t(v->DisplayCode - Highlight(*v) + highlight);
}

bool TVarInfoModel::UpdateEnabled() const {
  if (units_.empty()) return false;
  const TProgramUnitRecord* unit = units_[size_t(selected_)].Unit;
  if (UnitSelectorVisible() == false) unit = MainProgramUnit;
  return SolutionAvailable && unit != nullptr && unit->UsedVariableCount > 0 &&
         (unit == MainProgramUnit || unit->CallCount == 1);
}

void TVarInfoModel::Update() {
  TProgramUnitRecord* unit = MakeShownUnitCurrent();
  const auto it = std::find(ProgramUnitList.begin(), ProgramUnitList.end(), unit);
  if (it == ProgramUnitList.end()) return;
  UpdateGuessesFromSolution(int32_t(it - ProgramUnitList.begin()) + 1);
  guessesUpdated_ = true;
}

void TVarInfoModel::Cancel() {
  for (TVarInfoUnit& unit : units_) {
    for (int32_t k = 1; k <= unit.Unit->UsedVariableCount && k <= int32_t(unit.Copies.size()); ++k) {
      if (TVariableRecord* v = unit.Unit->Variable(unit.Unit->UsedVariableList[size_t(k)])) {
        *v = unit.Copies[size_t(k - 1)];
      }
    }
  }
  CurrentProgramUnit = savedUnit_;
}

// --- OK ------------------------------------------------------------------

void TVarInfoModel::FixAllArrayElmts(TVarInfoUnit& unit, int32_t entry, bool rename, const std::string& newName,
                                     const std::string& oldName) {
  TProgramUnitRecord* u = unit.Unit;
  TVariableRecord* r = u->Variable(u->UsedVariableList[size_t(entry + 1)]);
  const TVariableRecord& copy = unit.Copies[size_t(entry)];
  if (r == nullptr || !IsArrayElement(r->Name) || unit.Groups[size_t(entry)] <= 0) return;
  const std::string source = rename ? Upper(oldName) : r->UpperName;
  const std::string prefix = source.substr(0, source.find('[') + 1);
  const std::string newPrefix = rename ? newName.substr(0, newName.find('[') + 1) : std::string();
  const bool guess = !guessesUpdated_ && r->Guess != copy.Guess;
  const bool lower = r->LowerLimit != copy.LowerLimit;
  const bool upper = r->UpperLimit != copy.UpperLimit;
  const bool format = r->Style != copy.Style || r->Digits != copy.Digits;
  const bool units = r->Units != copy.Units;
  const bool code = r->DisplayCode != copy.DisplayCode;
  for (int32_t k = 1; k <= u->UsedVariableCount; ++k) {
    const int32_t index = u->UsedVariableList[size_t(k)];
    TVariableRecord* e = u->Variable(index);
    if (e == nullptr || !IsArrayElement(e->Name) || e->UpperName.rfind(prefix, 0) != 0) continue;
    if (rename) {
      SetNameHashSlot(u, VarHashSlot(e->UpperName), -1);
      e->Name = (newPrefix + e->UpperName.substr(prefix.size())).substr(0, kMaxNameLength);
      e->UpperName = UpperCaseName(e->Name);
      SetNameHashSlot(u, VarHashSlot(e->UpperName), int16_t(index));
    }
    if (e == r) continue;
    if (guess) e->Guess = r->Guess;
    if (lower) e->LowerLimit = r->LowerLimit;
    if (upper) e->UpperLimit = r->UpperLimit;
    if (format) {
      e->Style = r->Style;
      e->Digits = r->Digits;
    }
    if (code) e->DisplayCode = r->DisplayCode;
    if (units) {
      e->Units = r->Units;
      e->UnitsInferred = 0;
    }
  }
}

bool TVarInfoModel::Ok() {
  if (InvalidPending()) {
    ThrottledBeep();
    return false;
  }
  std::vector<std::pair<int32_t, int32_t>> comments;
  for (const TCommentRecord& c : CommentRecordList) comments.emplace_back(c.start, c.end);
  TEquationTextRename text(Equations().GetText(), std::move(comments));
  std::vector<int32_t> unitIds;
  for (const TVarInfoUnit& unit : units_) unitIds.push_back(text.AddUnit(unit.Unit->BlockStart, unit.Unit->BlockEnd));
  bool nameChanged = false;
  bool stopped = false;

  for (size_t k = 0; k < units_.size() && !stopped; ++k) {
    TVarInfoUnit& unit = units_[k];
    TProgramUnitRecord* u = unit.Unit;
    CurrentProgramUnit = u;
    unit.AnswerAll = false;
    for (int32_t i = 0; i < int32_t(unit.Copies.size()) && i < u->UsedVariableCount; ++i) {
      const int32_t index = u->UsedVariableList[size_t(i + 1)];
      TVariableRecord* v = u->Variable(index);
      TVariableRecord& copy = unit.Copies[size_t(i)];
      if (v == nullptr) continue;
      if (v->Units != copy.Units) v->UnitsInferred = 0;
      bool renameArray = false;
      if (v->Name != copy.Name) {
        bool setBack = false;
        std::string oldBase;
        std::string newBase;
        if (!showArrays_ && IsArrayElement(copy.Name)) {
          if (unit.Groups[size_t(i)] < 1) continue;
          renameArray = true;
          oldBase = ArrayDisplayName(copy.Name);
          newBase = v->Name.find('[') == std::string::npos ? v->Name + "[]" : v->Name;
          if (oldBase == newBase) {
            v->Name = copy.Name;
            setBack = true;
          }
        }
        if (!setBack) {
          const std::string wanted = Upper(renameArray ? newBase : v->Name);
          const std::string wantedPrefix = wanted.substr(0, wanted.find('[') + 1);
          bool taken = false;
          for (int32_t j = 1; j <= u->UsedVariableCount && !taken; ++j) {
            const TVariableRecord* other = u->Variable(u->UsedVariableList[size_t(j)]);
            if (other == nullptr) continue;
            if (renameArray) {
              // Another array already has the new base.
              taken = other->UpperName.rfind(wantedPrefix, 0) == 0;
            } else {
              taken = other->UpperName == wanted;
            }
          }
          if (taken) {
            SetMessageArg(1, renameArray ? oldBase : copy.Name);
            SetMessageArg(2, renameArray ? newBase : v->Name);
            ShowAlert(GetMessageText(kMsgRenameConflict), kAlertErrorOk, true);
            stopped = true;
            break;
          }
          if (!ValidVariableName(renameArray ? newBase : v->Name)) {
            SetMessageArg(1, renameArray ? newBase : v->Name);
            ShowAlert(GetMessageText(kMsgNotLegalVariableName), kAlertErrorOk, true);
            stopped = true;
            break;
          }
          std::string scope;
          if (ProgramUnitList.size() > 1) scope = u == MainProgramUnit ? " in the main program" : " in Module " + u->Name;
          const std::string question =
              renameArray ? "Change every occurrence of array " + oldBase + scope + " to " + newBase + "?"
                          : "Change every occurrence of variable " + copy.Name + scope + " to " + v->Name + "?";
          bool yes = unit.AnswerAll;
          if (!yes) {
            const int answer = ShowAlert(question, kAlertInfoYesNoAll, false);
            if (answer == kResultAll) unit.AnswerAll = true;
            yes = answer == kResultYes || answer == kResultAll;
          }
          if (yes) {
            nameChanged = true;
            std::string search;
            std::string replacement;
            if (renameArray) {
              search = oldBase.substr(0, oldBase.size() - 1);
              replacement = newBase.substr(0, newBase.size() - 1);
              unit.AnswerAll = true;
              v->Name = copy.Name;  // the elements are renamed from their copies' base
              FixAllArrayElmts(unit, i, true, newBase, oldBase);
            } else {
              SetNameHashSlot(u, VarHashSlot(copy.UpperName), -1);
              v->UpperName = UpperCaseName(v->Name);
              SetNameHashSlot(u, VarHashSlot(v->UpperName), int16_t(index));
              search = copy.Name;
              replacement = v->Name;
            }
            Diagram().RenameInDropDowns(search, replacement);
            text.Rename(unitIds[k], search, replacement, !renameArray);
          } else {
            v->Name = copy.Name;
            renameArray = false;
          }
        }
      }
      if (!showArrays_ && !renameArray) FixAllArrayElmts(unit, i, false, "", "");
    }
  }
  if (text.Changed()) Equations().SetText(text.Text());
  if (stopped) {
    MakeShownUnitCurrent();
    return false;
  }
  windows_.RepaintEquations();
  windows_.RepaintPlot();
  if (!VarInfoRestricted) windows_.CloseResultWindows();
  windows_.RefreshParametricTable(nameChanged);
  if (recorder_ != nullptr && recorder_->Recording()) {
    for (const std::string& line : MacroLines()) recorder_->AppendLine(line);
  }
  windows_.RefreshArraysTable();
  windows_.MarkChanged();
  CurrentProgramUnit = savedUnit_;
  return true;
}

std::string TVarInfoModel::MacroAttributes(const TVariableRecord& v, const TVariableRecord& copy) {
  std::string text;
  if (v.Guess != copy.Guess) text += " GUESS=" + NumberText(TDisplayFormat{v.Style, v.Digits}, v.Guess, false);
  if (v.LowerLimit != copy.LowerLimit) text += " LOWER=" + NumberText(kLimitFormat, v.LowerLimit, false);
  if (v.UpperLimit != copy.UpperLimit) text += " UPPER=" + NumberText(kLimitFormat, v.UpperLimit, false);
  if (v.Style != copy.Style || v.Digits != copy.Digits) {
    std::string letter = v.Style == 0 ? "E" : v.Style == 1 ? "F" : v.Style == 3 ? "A" : "";
    text += " DISPLAY=" + letter + std::to_string(v.Digits);
  }
  if (v.Units != copy.Units) text += " UNITS='" + v.Units + "'";
  return text;
}

std::vector<std::string> TVarInfoModel::MacroLines() const {
  std::vector<std::string> lines;
  for (const TVarInfoUnit& unit : units_) {
    const TProgramUnitRecord* u = unit.Unit;
    for (int32_t i = 0; i < int32_t(unit.Copies.size()) && i < u->UsedVariableCount; ++i) {
      const TVariableRecord* v = u->Variable(u->UsedVariableList[size_t(i + 1)]);
      if (v == nullptr) continue;
      const std::string text = MacroAttributes(*v, unit.Copies[size_t(i)]);
      if (text.empty()) continue;
      const std::string name = u == MainProgramUnit ? v->Name : u->Name + "/" + v->Name;
      lines.push_back("VARINFO  " + name + "  " + text);
    }
  }
  return lines;
}

// --- Print -----------------------------------------------------------------

void TVarInfoModel::Print() {
  MakeShownUnitCurrent();
  PrintPageState = kPageStateRunning;
  Printing = true;
  PrintState.PreviewMode = false;
  const std::string document = windows_.DocumentName();
  if (!BeginPrintJob(document.empty() ? "(Untitled)" : document, 1)) {
    Printing = false;
    return;
  }
  PrintSurface* canvas = PrintState.Canvas;
  const int32_t c = std::max(PrintCharWidth, 1);
  size_t longest = 9;
  for (int32_t r = 0; r < RowCount(); ++r) longest = std::max(longest, Cell(r, 0).Text.size());
  const int32_t name = PrintLeftMargin;
  const int32_t guess = name + int32_t(longest + 20) * c;
  const int32_t starts[] = {name, guess, guess + 18 * c, guess + 36 * c, guess + 54 * c, guess + 64 * c};
  auto y = [] { return PrintState.CurrentLine * PrintLineHeight; };
  for (int k = 0; k < 6; ++k) canvas->DrawText(starts[k], y(), GetMessageText(kMsgColumnVariable + k));
  const int32_t rule = y() + PrintTextHeight + 1;
  canvas->DrawLine(PrintLeftMargin, rule, PrintState.PageWidth - PrintRightMargin, rule, 0x000000, 1);
  PrintAdvanceLines(1);
  FontHandle italic = 0;
  for (int32_t r = 0; r < RowCount() && PrintPageState < kPageStateCancel; ++r) {
    const TVariableRecord* v = RowRecord(r);
    const TDisplayFormat own{v->Style, v->Digits};
    canvas->DrawText(starts[0], y(), Cell(r, 0).Text);
    std::string guessText;
    std::string lower;
    std::string upper;
    if (v->IsString) {
      guessText = RealToStr(TDisplayFormat{kStyleStringConstant, 0}, v->Value);
    } else {
      guessText = v->GuessVariable != 0 ? LinkedName(CurrentProgramUnit, v->GuessVariable)
                                        : NumberText(own, Negative(*v) ? v->Value : v->Guess, false);
      lower = Cell(r, 2).Text;
      upper = Cell(r, 3).Text;
    }
    canvas->DrawText(starts[1], y(), guessText);
    FontHandle previous = 0;
    if (Negative(*v) && !v->IsString) {
      if (italic == 0) {
        TPrinterFontRequest request;
        request.Face = PrinterFontFace();
        request.Height = TextSizePoints(Preferences.PrinterFontSize);
        request.Italic = true;
        italic = canvas->CreatePrinterFont(request);
      }
      if (italic != 0) previous = canvas->SelectFont(italic);
    }
    canvas->DrawText(starts[2], y(), lower);
    canvas->DrawText(starts[3], y(), upper);
    if (previous != 0) canvas->SelectFont(previous);
    std::string display = StyleLetter(v->Style);
    display += v->Style == 0 || v->Style == 1 ? std::to_string(v->Digits) : std::string("  ");
    static const char* const kHighlights[] = {"", " N", " U", " B", " X"};
    const int32_t h = Highlight(*v);
    if (h >= 1 && h <= 4) display += kHighlights[h];
    canvas->DrawText(starts[4], y(), display);
    canvas->DrawText(starts[5], y(), v->Units);
    PrintAdvanceLines(1);
  }
  if (italic != 0) {
    canvas->SelectFont(DisplayFonts[1].Printer);
    canvas->DeletePrinterFont(italic);
  }
  EndPrintJob();
  Printing = false;
}

}  // namespace voq

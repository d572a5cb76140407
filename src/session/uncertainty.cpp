#include "session/uncertainty.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/number_format.h"
#include "core/number_text.h"
#include "core/program_flags.h"
#include "core/text_utils.h"
#include "model/parametric_table_access.h"
#include "model/program_units.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "session/compile_driver.h"
#include "session/solve_after_compile.h"
#include "solver/blocking.h"
#include "solver/evaluator.h"
#include "solver/guesses_limits.h"
#include "solver/newton_solver.h"
#include "solver/one_unknown.h"
#include "solver/progress.h"

namespace voq {

TUncertaintySettingsRecord UncertaintySettings;

namespace {

// The relative step of the central differences, absolute for values
// within it of 0.
constexpr Extended kPerturbation = 1E-5L;

UncertaintyDialogView* dialogView = nullptr;

void PutInt16(uint8_t* dst, int32_t v) {
  dst[0] = static_cast<uint8_t>(v & 0xFF);
  dst[1] = static_cast<uint8_t>((v >> 8) & 0xFF);
}
void PutInt32(uint8_t* dst, int32_t v) {
  const uint32_t u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) dst[i] = static_cast<uint8_t>(u >> (8 * i));
}
int16_t GetInt16(const uint8_t* src) { return static_cast<int16_t>(src[0] | (src[1] << 8)); }
int32_t GetInt32(const uint8_t* src) {
  uint32_t u = 0;
  for (int i = 0; i < 4; ++i) u |= static_cast<uint32_t>(src[i]) << (8 * i);
  return static_cast<int32_t>(u);
}

TVariableRecord* MainVariable(int32_t i) {
  return MainProgramUnit != nullptr ? MainProgramUnit->Variable(i) : nullptr;
}

int32_t MeasuredCount() {
  return std::clamp<int32_t>(UncertaintySettings.MeasuredCount, 0, kMaxMeasuredVariables);
}

// The measured uncertainty as a number; an unspecified one (the user chose
// to go on without it) contributes nothing, since its square is beyond the
// range of the reals.
Extended NumericUncertainty(const TVariableRecord& v) { return IsBlank(v.Uncertainty) ? 0 : v.Uncertainty; }

// One solve of the analysis; its error is shown.
bool SolveForUncertainty() {
  CurrentRun = 0;
  CurrentProgramUnit = MainProgramUnit;
  SolveEquationBlocks();
  if (CalcErrorCode > 0) {
    ShowLastEquationError();
    return false;
  }
  SolutionAvailable = true;
  return true;
}

}  // namespace

// --- The stored record ---------------------------------------------------------------

void PackUncertaintySettings(const TUncertaintySettingsRecord& s, uint8_t* dst) {
  using namespace uncertainty_offsets;
  dst[0] = s.Unused0[0];
  dst[1] = s.Unused0[1];
  PutInt32(dst + CalculatedVariable, s.CalculatedVariable);
  PutInt32(dst + uncertainty_offsets::MeasuredCount, s.MeasuredCount);
  PutInt32(dst + Unused10, s.Unused10[0]);
  PutInt32(dst + Unused10 + 4, s.Unused10[1]);
  for (size_t k = 0; k <= kMaxMeasuredVariables; ++k) {
    PutInt32(dst + MeasuredVariables + 4 * k, s.MeasuredVariables[k]);
    PackExtended(dst + PartialDerivatives + 10 * k, s.PartialDerivatives[k]);
    PutInt16(dst + UncertaintyVariables + 2 * k, s.UncertaintyVariables[k]);
    PutInt16(dst + Unused514 + 2 * k, s.Unused514[k]);
    dst[Unused576 + k] = s.Unused576[k];
  }
}

void UnpackUncertaintySettings(const uint8_t* src, TUncertaintySettingsRecord& s) {
  using namespace uncertainty_offsets;
  s.Unused0 = {src[0], src[1]};
  s.CalculatedVariable = GetInt32(src + CalculatedVariable);
  // A count read from a file is not trusted.
  s.MeasuredCount = std::clamp<int32_t>(GetInt32(src + uncertainty_offsets::MeasuredCount), 0, kMaxMeasuredVariables);
  s.Unused10 = {GetInt32(src + Unused10), GetInt32(src + Unused10 + 4)};
  for (size_t k = 0; k <= kMaxMeasuredVariables; ++k) {
    s.MeasuredVariables[k] = GetInt32(src + MeasuredVariables + 4 * k);
    s.PartialDerivatives[k] = UnpackExtended(src + PartialDerivatives + 10 * k);
    s.UncertaintyVariables[k] = GetInt16(src + UncertaintyVariables + 2 * k);
    s.Unused514[k] = GetInt16(src + Unused514 + 2 * k);
    s.Unused576[k] = src[Unused576 + k];
  }
}

void ResetUncertaintyState() {
  UncertaintySettings = TUncertaintySettingsRecord{};
  dialogView = nullptr;
}

// --- The calculation ---------------------------------------------------------------------

Extended PerturbedValue(Extended x0, bool up) {
  if (std::fabs(x0) > kPerturbation) return x0 * (up ? 1 + kPerturbation : 1 - kPerturbation);
  return up ? x0 + kPerturbation : x0 - kPerturbation;
}

void CalculateUncertainty(bool repeatPass) {
  TProgramUnitRecord* main = MainProgramUnit;
  if (main == nullptr) return;
  CurrentProgramUnit = main;
  if (repeatPass) {
    SolveOneUnknownEquations(true);
    CurrentProgramUnit = main;
    if (CalcErrorCode <= 0) CheckAllGuessLimits();
    if (CalcErrorCode <= 0) BlockAllUnits();
    if (CalcErrorCode > 0) {
      CurrentProgramUnit = main;
      ShowLastEquationError();
      return;
    }
  }
  std::unique_ptr<TProgressDlg> progress = CreateProgressDialog();
  TProgressDlg* const outerProgress = ProgressDlg;
  ProgressDlg = progress.get();
  if (!HiddenMode) {
    ProgressDlg->ForceRedraw = 1;
    ProgressDlg->FormActivate();
  }

  TVariableRecord* calculated = MainVariable(UncertaintySettings.CalculatedVariable);
  bool solved = calculated != nullptr && CalcErrorCode <= 0 && SolveForUncertainty();
  if (solved) {
    const Extended y0 = calculated->Value;
    calculated->Guess = calculated->Value;
    for (int32_t k = 1; k <= MeasuredCount(); ++k) {
      if (TVariableRecord* m = MainVariable(UncertaintySettings.MeasuredVariables[static_cast<size_t>(k)]))
        m->Guess = m->Value;
    }
    Extended sum = 0;
    for (int32_t k = 1; k <= MeasuredCount() && solved && CalcErrorCode <= 0; ++k) {
      const int32_t index = UncertaintySettings.MeasuredVariables[static_cast<size_t>(k)];
      TVariableRecord* m = MainVariable(index);
      if (m == nullptr) continue;
      const Extended x0 = m->Value;
      bool clamped = false;
      Extended x1 = PerturbedValue(x0, true);
      ClampToLimits(index, x1, clamped);
      m->Value = x1;
      solved = SolveForUncertainty();
      const Extended y1 = calculated->Value;
      Extended x2 = PerturbedValue(x0, false);
      if (solved) {
        ClampToLimits(index, x2, clamped);
        m->Value = x2;
        solved = SolveForUncertainty();
      }
      const Extended y2 = calculated->Value;
      m->Value = x0;
      if (!solved) break;
      const Extended d = x1 == x2 ? 0 : (y1 - y2) / (x1 - x2);
      UncertaintySettings.PartialDerivatives[static_cast<size_t>(k)] = d;
      Extended u = 0;
      const int16_t named = UncertaintySettings.UncertaintyVariables[static_cast<size_t>(k)];
      if (named != 0) {
        const TVariableRecord* uv = MainVariable(named);
        if (uv != nullptr && uv->UnknownPosition == kDeterminedVariable) {
          u = uv->Value;
        } else {
          SetMessageArg(1, uv != nullptr ? uv->Name : std::string());
          CalcErrorCode = kMsgUncertaintyValueUnset;
          ShowAlert(GetMessageText(kMsgUncertaintyValueUnset), kAlertWarningOk, true);
          break;
        }
      } else {
        u = NumericUncertainty(*m);
      }
      if (m->UncertaintyIsRelative != 0) u *= x0;
      sum += (d * u) * (d * u);
    }
    // After an error the sum misses terms: the calculated variable keeps
    // its base value but no uncertainty is reported for it.
    if (solved) calculated->Value = y0;
    if (solved && CalcErrorCode <= 0) {
      calculated->Uncertainty = std::sqrt(sum);
      calculated->UncertaintyIsRelative = 0;
    }
  }
  SolveStartTicks = Platform().TickCount();
  ProgressDlg = outerProgress;
  progress.reset();
  FreeOccurrenceLists();
}

void PropagateUncertaintyForRun() {
  TProgramUnitRecord* main = MainProgramUnit;
  TVariableRecord* calculated = MainVariable(UncertaintySettings.CalculatedVariable);
  if (main == nullptr || calculated == nullptr) return;
  const int32_t run = CurrentRun;
  ParametricTableAccess& table = ParametricTable();
  const Extended y0 = calculated->Value;
  Extended sum = 0;
  auto solve = [&]() {
    CurrentProgramUnit = main;
    SolveEquationBlocks();
    return CalcErrorCode <= 0;
  };
  for (int32_t k = 1; k <= MeasuredCount(); ++k) {
    const int32_t index = UncertaintySettings.MeasuredVariables[static_cast<size_t>(k)];
    TVariableRecord* m = MainVariable(index);
    if (m == nullptr) continue;
    const Extended x0 = m->Value;
    // A perturbation that a bound would move is an error here: the run's
    // derivative would silently be one-sided.
    auto perturb = [&](bool up, Extended& x) {
      x = PerturbedValue(x0, up);
      bool clamped = false;
      CurrentProgramUnit = main;
      ClampToLimits(index, x, clamped);
      if (clamped) {
        SetMessageArg(1, m->Name);
        CalcErrorCode = kMsgUncertaintyCrossesBounds;
        return false;
      }
      m->Value = x;
      return true;
    };
    Extended x1 = 0, x2 = 0;
    if (!perturb(true, x1) || !solve()) {
      m->Value = x0;
      return;
    }
    const Extended y1 = calculated->Value;
    if (!perturb(false, x2) || !solve()) {
      m->Value = x0;
      return;
    }
    const Extended y2 = calculated->Value;
    m->Value = x0;
    const Extended d = x1 == x2 ? 0 : (y1 - y2) / (x1 - x2);
    UncertaintySettings.PartialDerivatives[static_cast<size_t>(k)] = d;
    Extended u = NumericUncertainty(*m);
    const int16_t named = UncertaintySettings.UncertaintyVariables[static_cast<size_t>(k)];
    if (const TVariableRecord* uv = MainVariable(named)) {
      const int32_t column = ParametricTable().ColumnOfVariable(named);
      if (column == 0 || !table.CellEntered(run, column)) {
        SetMessageArg(1, uv->Name);
        SetMessageArg(2, std::to_string(run));
        CalcErrorCode = kMsgUncertaintyRunValue;
        return;
      }
      u = table.CellValue(table.CurrentTable(), run, column);
      if (IsBlank(u)) u = 0;
    }
    if (m->UncertaintyIsRelative != 0) u *= x0;
    sum += (d * u) * (d * u);
  }
  calculated->Value = y0;
  calculated->Uncertainty = std::sqrt(sum);
  calculated->UncertaintyIsRelative = 0;
  table.SetRunUncertainty(run, calculated->Uncertainty);
}

int32_t UncertaintyColumnVariable(int32_t v) {
  for (int32_t k = 1; k <= MeasuredCount(); ++k) {
    if (UncertaintySettings.MeasuredVariables[static_cast<size_t>(k)] == v)
      return UncertaintySettings.UncertaintyVariables[static_cast<size_t>(k)];
  }
  return 0;
}

// --- "Determine Propagation of Uncertainty" --------------------------------------------

void TUncert::FormActivate() {
  TProgramUnitRecord* main = MainProgramUnit;
  CalculatedList.clear();
  MeasuredList.clear();
  MeasuredSelection.clear();
  if (main == nullptr) return;
  CurrentProgramUnit = main;
  if (TableMode) {
    HelpContext = 204;
    const ParametricTableAccess& table = ParametricTable();
    for (int32_t c = 1; c <= table.ColumnCount(); ++c) {
      const int32_t var = table.ColumnVariable(table.CurrentTable(), c);
      if (main->Variable(var) == nullptr) continue;
      (table.CellEntered(table.FirstRunOfRange(), c) ? MeasuredList : CalculatedList).push_back(static_cast<int16_t>(var));
    }
  } else {
    HelpContext = 203;
    SolveOneUnknownEquations(true);
    CurrentProgramUnit = main;
    for (int32_t k = 1; k <= main->UsedVariableCount; ++k) {
      const int16_t var = main->UsedVariableList[static_cast<size_t>(k)];
      const TVariableRecord* v = main->Variable(var);
      if (v == nullptr) continue;
      (v->UnknownPosition != kDeterminedVariable ? CalculatedList : MeasuredList).push_back(var);
    }
  }
  CalculatedChoice = CalculatedList.empty() ? int16_t{0} : CalculatedList.front();
  for (int16_t var : CalculatedList) {
    if (main->Variable(var)->UncertaintyKind == 0) {
      CalculatedChoice = var;
      break;
    }
  }
  for (int16_t var : MeasuredList) {
    const int16_t kind = main->Variable(var)->UncertaintyKind;
    if (kind >= 1 && kind <= kMaxMeasuredVariables) MeasuredSelection.push_back(var);
  }
  MovableLabelsShown = false;
  if (!TableMode) {
    for (int16_t var : CalculatedList) {
      if (main->Variable(var)->MeasuredMark < 0) MovableLabelsShown = true;
    }
  }
}

bool TUncert::Include(int16_t variable) {
  const TVariableRecord* v = MainVariable(variable);
  auto at = std::find(CalculatedList.begin(), CalculatedList.end(), variable);
  if (v == nullptr || v->MeasuredMark >= 0 || at == CalculatedList.end() || CalculatedList.size() < 2) return false;
  CalculatedList.erase(at);
  MeasuredList.push_back(variable);
  MeasuredSelection.push_back(variable);
  CalculatedChoice = CalculatedList.front();
  return true;
}

void TUncert::StoreChoice(const TUncertChoices& choices, bool check, bool& repeatPass, bool& staysOpen) {
  TProgramUnitRecord* main = MainProgramUnit;
  staysOpen = false;
  for (int16_t var : choices.Included) Include(var);
  for (int32_t i = 1; i <= main->VariableCount; ++i) main->Variable(i)->UncertaintyKind = kNoUncertaintyKind;
  UncertaintySettings.MeasuredCount = 0;
  UncertaintySettings.CalculatedVariable = choices.CalculatedVariable;
  if (TVariableRecord* c = main->Variable(choices.CalculatedVariable)) c->UncertaintyKind = 0;
  for (size_t i = 0; i < MeasuredList.size(); ++i) {
    const int16_t var = MeasuredList[i];
    if (std::find(choices.Measured.begin(), choices.Measured.end(), var) == choices.Measured.end()) continue;
    TVariableRecord* v = main->Variable(var);
    if (v == nullptr) continue;
    if (UncertaintySettings.MeasuredCount >= kMaxMeasuredVariables) {
      if (!check) break;  // the record holds 30
      ShowAlert("Uncertainty analysis is limited to a maximum of " + std::to_string(kMaxMeasuredVariables) +
                    " measured variables.",
                kAlertInfoOk, true);
      staysOpen = true;
      return;
    }
    const int32_t k = ++UncertaintySettings.MeasuredCount;
    UncertaintySettings.MeasuredVariables[static_cast<size_t>(k)] = var;
    if (check && IsBlank(v->Uncertainty)) {
      if (ShowAlert("The uncertainty for each measured variable must be specified.  Do you wish to do that now?",
                    kAlertInfoYesNo, true) == kResultYes) {
        staysOpen = true;
        return;
      }
    }
    v->UncertaintyKind = static_cast<int16_t>(i + 1);
    if (v->MeasuredMark == -1) repeatPass = true;
    v->MeasuredMark = 1;
  }
  if (TableMode) {
    ParametricTableAccess& table = ParametricTable();
    const int32_t first = std::max(choices.FirstRun, 1);
    const int32_t last = std::min(std::max(choices.LastRun, first), table.RowCount());
    table.SetRunRange(first, last);
  }
}

bool TUncert::OKClick(const TUncertChoices& choices, bool& repeatPass) {
  bool staysOpen = false;
  StoreChoice(choices, true, repeatPass, staysOpen);
  return !staysOpen;
}

void TUncert::SetUncertBClick(const TUncertChoices& choices) {
  bool repeatPass = false;
  bool staysOpen = false;
  StoreChoice(choices, false, repeatPass, staysOpen);
}

void TUncert::FormDestroy() {
  TProgramUnitRecord* main = MainProgramUnit;
  if (main == nullptr) return;
  for (int32_t i = 1; i <= main->VariableCount; ++i) main->Variable(i)->MeasuredMark = 0;
}

// --- "Uncertainties of Measured Variables" ---------------------------------------------

namespace {

TVariableRecord* RowVariable(int32_t row) {
  if (row < 1 || row > MeasuredCount()) return nullptr;
  return MainVariable(UncertaintySettings.MeasuredVariables[static_cast<size_t>(row)]);
}

TDisplayFormat FormatOf(const TVariableRecord& v) { return TDisplayFormat{v.Style, v.Digits}; }

int32_t FindMainVariable(const std::string& name) {
  const int32_t saved = CalcErrorCode;
  TProgramUnitRecord* savedUnit = CurrentProgramUnit;
  CurrentProgramUnit = MainProgramUnit;
  const int32_t i = FindVariable(name);
  CurrentProgramUnit = savedUnit;
  CalcErrorCode = saved;
  return i;
}

bool IsNumberEntry(const std::string& text) {
  return !text.empty() && std::string("0123456789.").find(text[0]) != std::string::npos;
}

}  // namespace

void TMeasuredUncertainties::FormActivate() {
  HelpContext = TableMode ? 204 : 203;
  RowCount = MeasuredCount();
  savedUncertainty_.clear();
  savedRelative_.clear();
  for (int32_t k = 1; k <= RowCount; ++k) {
    const TVariableRecord* v = RowVariable(k);
    savedUncertainty_.push_back(v != nullptr ? v->Uncertainty : BlankValue);
    savedRelative_.push_back(v != nullptr ? v->UncertaintyIsRelative : 0);
  }
  StartRow = 1;
  const TVariableRecord* first = RowVariable(1);
  StartColumn = first != nullptr && first->UncertaintyIsRelative != 0 ? 4 : 3;
  pending_.clear();
}

std::string TMeasuredUncertainties::CellText(int32_t row, int32_t column) const {
  const TVariableRecord* v = RowVariable(row);
  if (v == nullptr) return "";
  switch (column) {
    case 0: return v->Name;
    case 1: return FormatValue(FormatOf(*v), v->Value);
    case 2: return v->Units;
    case 3:
    case 4: {
      const bool relative = v->UncertaintyIsRelative != 0;
      if ((column == 3) == relative) return "";
      for (const Pending& p : pending_) {
        if (p.row == row && p.column == column) return p.text;
      }
      if (IsBlank(v->Uncertainty)) return "unspecified";
      const int16_t named = UncertaintySettings.UncertaintyVariables[static_cast<size_t>(row)];
      if (const TVariableRecord* uv = MainVariable(named)) return uv->Name;
      return column == 3 ? FormatValue(FormatOf(*v), v->Uncertainty) : FormatValue(TDisplayFormat{3, 3}, v->Uncertainty);
    }
    default: return "";
  }
}

std::string TMeasuredUncertainties::EditText(int32_t row, int32_t column) const {
  const TVariableRecord* v = RowVariable(row);
  if (v == nullptr) return "";
  if (column == 2) return v->Units;
  const int16_t named = UncertaintySettings.UncertaintyVariables[static_cast<size_t>(row)];
  if (const TVariableRecord* uv = MainVariable(named)) return uv->Name;
  if (IsBlank(v->Uncertainty)) return "unspecified";
  return FormatValue(FormatOf(*v), v->Uncertainty);
}

void TMeasuredUncertainties::StoreEdit(int32_t row, int32_t column, const std::string& text, bool allBelow) {
  const int32_t last = allBelow ? RowCount : row;
  std::string entry = text;
  if (column == 3 || column == 4) {
    RemoveBlanks(entry);
    if (entry.empty()) return;
    pending_.clear();
    pending_.push_back(Pending{row, column, entry});
  }
  for (int32_t r = row; r <= last; ++r) {
    TVariableRecord* v = RowVariable(r);
    if (v == nullptr) continue;
    if (column == 2) {
      v->Units = text.substr(0, 30);
      v->UnitsInferred = 0;
      continue;
    }
    if (column != 3 && column != 4) continue;
    int16_t& named = UncertaintySettings.UncertaintyVariables[static_cast<size_t>(r)];
    Extended value = 0;
    if (IsNumberEntry(entry) && TryStrToReal(entry, value)) {
      v->Uncertainty = value;
      named = 0;
    } else {
      const int32_t i = FindMainVariable(entry);
      named = static_cast<int16_t>(i);
      const TVariableRecord* uv = MainVariable(i);
      v->Uncertainty = uv != nullptr && uv->UnknownPosition == kDeterminedVariable ? uv->Value : 0;
    }
    v->UncertaintyIsRelative = column == 4 ? 1 : 0;
  }
}

bool TMeasuredUncertainties::CheckPendingEntry() {
  if (pending_.empty()) return true;
  const Pending p = pending_.front();
  std::string text = p.text;
  TrimShort(text);
  int32_t error = 0;
  if (!text.empty() && !IsNumberEntry(text)) {
    const int32_t i = FindMainVariable(text);
    const TVariableRecord* uv = MainVariable(i);
    if (uv == nullptr) {
      SetMessageArg(1, text);
      error = kMsgUnknownVariable;
    } else if (TableMode) {
      const ParametricTableAccess& table = ParametricTable();
      const int32_t column = ParametricTable().ColumnOfVariable(i);
      if (column == 0 || !table.CellEntered(table.FirstRunOfRange(), column)) {
        const TVariableRecord* measured = RowVariable(p.row);
        SetMessageArg(1, uv->Name);
        SetMessageArg(2, measured != nullptr ? measured->Name : std::string());
        error = kMsgUncertaintyNotInTable;
      }
    } else if (uv->UnknownPosition != kDeterminedVariable) {
      SetMessageArg(1, uv->Name);
      error = kMsgUncertaintyValueUnset;
    }
  } else if (!text.empty()) {
    Extended value = 0;
    if (!TryStrToReal(text, value)) {
      SetMessageArg(1, text);
      error = kMsgUnknownVariable;
    }
  }
  if (error == 0) {
    pending_.clear();
    return true;
  }
  ShowAlert(GetMessageText(error), kAlertErrorOk, true);
  FocusRow = p.row;
  return false;
}

void TMeasuredUncertainties::ClickCell(int32_t row, int32_t column) {
  TVariableRecord* v = RowVariable(row);
  if (v == nullptr) return;
  if (column == 4 && v->UncertaintyIsRelative == 0) {
    if (!IsBlank(v->Uncertainty) && v->Value != 0) v->Uncertainty /= v->Value;
    v->UncertaintyIsRelative = 1;
  } else if (column == 3 && v->UncertaintyIsRelative != 0) {
    if (!IsBlank(v->Uncertainty)) v->Uncertainty *= v->Value;
    v->UncertaintyIsRelative = 0;
  }
}

bool TMeasuredUncertainties::OKClick() {
  if (!CheckPendingEntry()) return false;
  for (int32_t k = 1; k <= RowCount; ++k) {
    const TVariableRecord* v = RowVariable(k);
    if (v != nullptr && IsBlank(v->Uncertainty)) {
      ThrottledBeep();
      FocusRow = k;
      return false;
    }
  }
  return true;
}

void TMeasuredUncertainties::Cancel() {
  for (int32_t k = 1; k <= RowCount && static_cast<size_t>(k) <= savedUncertainty_.size(); ++k) {
    if (TVariableRecord* v = RowVariable(k)) {
      v->Uncertainty = savedUncertainty_[static_cast<size_t>(k) - 1];
      v->UncertaintyIsRelative = savedRelative_[static_cast<size_t>(k) - 1];
    }
  }
  pending_.clear();
}

// --- The command -----------------------------------------------------------------------

void SetUncertaintyDialogView(UncertaintyDialogView* view) { dialogView = view; }

bool ShowUncertaintyDialog(bool tableMode, bool& repeatPass) {
  repeatPass = false;
  TUncert dialog(tableMode);
  dialog.FormActivate();
  TUncertChoices choices;
  choices.CalculatedVariable = dialog.CalculatedChoice;
  choices.Measured = dialog.MeasuredSelection;
  choices.FirstRun = ParametricTable().FirstRunOfRange();
  choices.LastRun = ParametricTable().LastRunOfRange();
  bool accepted = false;
  if (dialogView == nullptr) {
    accepted = !choices.Measured.empty() && dialog.OKClick(choices, repeatPass);
  } else {
    // The user may go back and forth between the two dialogs; a view that
    // keeps asking for the grid ends after many rounds.
    for (int round = 0; round < 1000 && !accepted; ++round) {
      bool setUncertainties = false;
      if (!dialogView->Choose(dialog, choices, setUncertainties)) break;
      if (!setUncertainties && dialog.OKClick(choices, repeatPass)) {
        accepted = true;
        break;
      }
      dialog.SetUncertBClick(choices);
      TMeasuredUncertainties grid(tableMode);
      grid.FormActivate();
      if (!dialogView->EditUncertainties(grid)) grid.Cancel();
      choices.Included.clear();
    }
  }
  dialog.FormDestroy();
  return accepted;
}

void RunUncertaintyPropagation() {
  UncertaintyMode = true;
  CompileEquations(false, false);
  if (CalcErrorCode > 0 || !EquationsCompiled) {
    UncertaintyMode = false;
    return;
  }
  bool repeatPass = false;
  if (ShowUncertaintyDialog(false, repeatPass)) CalculateUncertainty(repeatPass);
  // The mode means the calculation is in progress: UNCERTAINTYOF gives 0
  // again and the next Solve is a plain one.
  UncertaintyMode = false;
}

}  // namespace voq

#include "session/min_max.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <utility>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/number_format.h"
#include "core/number_text.h"
#include "core/program_flags.h"
#include "model/occurrence_lists.h"
#include "model/parametric_table_access.h"
#include "model/program_units.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "session/compile_driver.h"
#include "session/problem_summary.h"
#include "session/solve_after_compile.h"
#include "solver/blocking.h"
#include "solver/evaluator.h"
#include "solver/guesses_limits.h"
#include "solver/newton_solver.h"
#include "solver/one_unknown.h"
#include "solver/progress.h"

namespace voq {

TMinMaxSettingsRecord MinMaxSetup;
std::array<uint8_t, 2> MinMaxListOptions{1, 1};
Extended MinMaxBestValue = BlankValue;
Extended MinMaxSign = 1;
int32_t MinMaxCallCount = 0;
TMinMaxVector MinMaxBestPoint{};

namespace {

constexpr int32_t kMaxStoredCalls = std::numeric_limits<int16_t>::max();
MinMaxDialogView* dialogView = nullptr;

void PutInt16(uint8_t* dst, int32_t v) {
  dst[0] = static_cast<uint8_t>(v & 0xFF);
  dst[1] = static_cast<uint8_t>((v >> 8) & 0xFF);
}
int16_t GetInt16(const uint8_t* src) { return static_cast<int16_t>(src[0] | (src[1] << 8)); }

TProgramUnitRecord& Main() { return *MainProgramUnit; }

TVariableRecord* MainVariable(int32_t i) {
  return MainProgramUnit != nullptr ? MainProgramUnit->Variable(i) : nullptr;
}

// Errors 385 and 386: the text with the Debug window offered.
void OfferDebugWindow() {
  MessageText = GetMessageText(CalcErrorCode) + GetMessageText(kMsgShowDebugQuestion);
  if (ShowAlert(MessageText, kAlertErrorYesNo, true) == kResultYes) {
    DebugProgramUnit = MainProgramUnit;
    SolveServices().ShowDebugWindow(MainProgramUnit, 0);
  }
  MinMaxMode = false;
}

// The objective evaluation over the model: the independent variables of
// MinMaxSetup in the main program, each trial point a solve of the rest.
class ModelProblem : public TMinMaxProblem {
 public:
  explicit ModelProblem(TMinMaxSearch& search) : s_(search) {}

  TVariableRecord* Independent(int32_t i) { return MainVariable(MinMaxSetup.IndependentVariables[static_cast<size_t>(i)]); }
  TVariableRecord* Objective() { return MainVariable(MinMaxSetup.ObjectiveVariable); }

  Extended LowerLimit(int32_t i) override {
    const TVariableRecord* v = Independent(i);
    return v != nullptr ? v->LowerLimit : 0;
  }
  Extended UpperLimit(int32_t i) override {
    const TVariableRecord* v = Independent(i);
    return v != nullptr ? v->UpperLimit : 0;
  }
  void SetIndependentValue(int32_t i, Extended x) override {
    if (TVariableRecord* v = Independent(i)) v->Value = x;
  }
  Extended IndependentValue(int32_t i) override {
    const TVariableRecord* v = Independent(i);
    return v != nullptr ? v->Value : 0;
  }
  Extended BestValue() override { return MinMaxBestValue; }
  const TMinMaxVector& BestPoint() override { return MinMaxBestPoint; }

  // The objective at the current values, the equations solved first.
  Extended SolvedObjective() override {
    Main().IterationCount = 1;
    SolveIfNeeded();
    const TVariableRecord* obj = Objective();
    return obj != nullptr ? obj->Value * MinMaxSign : 0;
  }

  Extended ObjectiveAtPoint(const TMinMaxVector& p) override {
    for (int32_t i = 1; i <= s_.n; ++i) {
      TVariableRecord* v = Independent(i);
      if (v == nullptr) continue;
      v->Value = std::clamp(p[i], v->LowerLimit, v->UpperLimit);
    }
    const Extended f = Penalised(SolvedObjective());
    if (f < MinMaxBestValue) {
      MinMaxBestValue = f;
      MinMaxBestPoint = p;
    }
    return f;
  }

  Extended ObjectiveAtValue(Extended x) {
    SetIndependentValue(1, x);
    const Extended f = Penalised(SolvedObjective());
    if (f < MinMaxBestValue) {
      MinMaxBestValue = f;
      MinMaxBestPoint[1] = x;
    }
    return f;
  }

  Extended LineFunction(Extended t) override {
    CheckUserAbort();
    Extended f;
    if (s_.n <= 1) {
      f = ObjectiveAtValue(t);
    } else {
      TMinMaxVector point{};
      for (int32_t i = 1; i <= s_.n; ++i) point[i] = s_.p[i] + t * s_.xi[i];
      f = ObjectiveAtPoint(point);
    }
    if (MinMaxCallCount > MinMaxSetup.MaxFunctionCalls && CalcErrorCode <= 0) CalcErrorCode = kMsgCallLimit;
    return f;
  }

 private:
  // Every point counts as a call, also one without equations left to solve,
  // so that the call limit ends every search.
  void SolveIfNeeded() {
    if (CalcErrorCode > 0) return;
    if (Main().UnknownCount > 0) {
      SolveAtPoint();
    } else {
      ++MinMaxCallCount;
    }
  }
  // A point whose equations are not satisfied is never the optimum.
  static Extended Penalised(Extended f) {
    if (std::fabs(Main().MaxResidual) > StopCriteria.RelativeResidualTolerance) return BlankValue;
    return f;
  }

  TMinMaxSearch& s_;
};

// The call limit was reached: double it and go on, or keep the best point.
bool ContinueAfterCallLimit(bool& stop) {
  Platform().SetBusyCursor(0);
  if (ShowAlert(GetMessageText(kMsgIterationLimitQuestion), kAlertInfoYesNo, true) == kResultYes) {
    stop = false;
    const int64_t doubled = static_cast<int64_t>(MinMaxSetup.MaxFunctionCalls) * 2;
    MinMaxSetup.MaxFunctionCalls =
        static_cast<int32_t>(std::min<int64_t>(doubled, std::numeric_limits<int32_t>::max()));
    Platform().SetBusyCursor(1);
    return true;
  }
  stop = true;
  CalcErrorCode = 0;
  MinMaxCallCount -= 1;
  return false;
}

}  // namespace

// --- The stored record -------------------------------------------------------------

void PackMinMaxSettings(const TMinMaxSettingsRecord& s, uint8_t* dst) {
  using namespace min_max_offsets;
  dst[Maximise] = s.Maximise;
  PutInt16(dst + ObjectiveVariable, s.ObjectiveVariable);
  PutInt16(dst + MaxFunctionCalls, std::clamp<int32_t>(s.MaxFunctionCalls, 0, kMaxStoredCalls));
  PackExtended(dst + Tolerance, s.Tolerance);
  PutInt16(dst + IndependentCount, s.IndependentCount);
  for (size_t k = 1; k <= kMaxIndependentVariables; ++k)
    PutInt16(dst + IndependentVariables + 2 * (k - 1), s.IndependentVariables[k]);
  PutInt16(dst + Method, s.Method);
  for (size_t k = 0; k < s.Unused.size(); ++k) dst[Unused + k] = s.Unused[k];
}

void UnpackMinMaxSettings(const uint8_t* src, TMinMaxSettingsRecord& s) {
  using namespace min_max_offsets;
  s.Maximise = src[Maximise];
  s.ObjectiveVariable = GetInt16(src + ObjectiveVariable);
  s.MaxFunctionCalls = GetInt16(src + MaxFunctionCalls);
  s.Tolerance = UnpackExtended(src + Tolerance);
  s.IndependentCount = GetInt16(src + IndependentCount);
  for (size_t k = 1; k <= kMaxIndependentVariables; ++k)
    s.IndependentVariables[k] = GetInt16(src + IndependentVariables + 2 * (k - 1));
  s.Method = GetInt16(src + Method);
  for (size_t k = 0; k < s.Unused.size(); ++k) s.Unused[k] = src[Unused + k];
}

void FillIndependentGrid(TProgressFigures& f) {
  f.GridLabel1 = "Independent Variable";
  f.GridLabel2 = "Value";
  f.Grid.clear();
  const TProgramUnitRecord* main = MainProgramUnit;
  if (main == nullptr) return;
  const int32_t n = std::clamp<int32_t>(MinMaxSetup.IndependentCount, 0, kMaxIndependentVariables);
  for (int32_t k = 1; k <= n; ++k) {
    TProgressFigures::TGridRow row;
    if (const TVariableRecord* v = main->Variable(MinMaxSetup.IndependentVariables[static_cast<size_t>(k)])) {
      row.Name = v->Name;
      row.Value = FormatValue(TDisplayFormat{kStyleAutomatic, 0}, v->Value);
    }
    f.Grid.push_back(std::move(row));
  }
}

void ResetMinMaxState() {
  MinMaxSetup = TMinMaxSettingsRecord{};
  MinMaxListOptions = {1, 1};
  MinMaxBestValue = BlankValue;
  MinMaxSign = 1;
  MinMaxCallCount = 0;
  MinMaxBestPoint = TMinMaxVector{};
  dialogView = nullptr;
}

// --- Degrees of freedom ----------------------------------------------------------------

bool CheckMinMaxDegreesOfFreedom(bool tableMode) {
  bool ok = true;
  TProgramUnitRecord* main = MainProgramUnit;
  if (main == nullptr) return false;
  CurrentProgramUnit = main;
  SolveServices().AssignIntegrationVars(main);
  int32_t inputs = 0;
  if (tableMode) {
    const ParametricTableAccess& table = ParametricTable();
    const int32_t run = table.FirstRunOfRange();
    for (int32_t c = 1; c <= table.ColumnCount(); ++c) {
      if (!table.CellEntered(run, c)) continue;
      const TVariableRecord* v = main->Variable(table.ColumnVariable(table.CurrentTable(), c));
      if (v != nullptr && v->UnknownPosition != kNotUnknown) ++inputs;
    }
  }
  std::string text;
  ProblemSizeMessage(main, inputs, text);
  if (DegreesOfFreedom < 1) {
    SetMessageArg(1, std::to_string(DegreesOfFreedom));
    CalcErrorCode = kMsgOptimizationImpossible;
    ok = false;
    OfferDebugWindow();
  } else if (DegreesOfFreedom > kMaxIndependentVariables) {
    SetMessageArg(1, std::to_string(DegreesOfFreedom));
    SetMessageArg(2, std::to_string(kMaxIndependentVariables));
    CalcErrorCode = kMsgFreedomLimit;
    ok = false;
    OfferDebugWindow();
  }
  const int32_t keptError = CalcErrorCode;
  BlockAllUnits();
  if (keptError > 0) {
    CalcErrorCode = keptError;
  } else if (CalcErrorCode > 0) {
    // A problem that cannot be blocked cannot be optimised either.
    ok = false;
  }
  return ok;
}

// --- The driver --------------------------------------------------------------------------

void SolveAtPoint() {
  ++MinMaxCallCount;
  CurrentProgramUnit = MainProgramUnit;
  for (;;) {
    SolveEquationBlocks();
    if (CalcErrorCode != kMsgNoConvergence) return;
    std::string text = GetMessageText(kMsgNoConvergence);
    if (CurrentRun > 0) text = "Run " + std::to_string(CurrentRun).substr(0, 5) + text.substr(11);
    CalcErrorCode = 0;
    if (ShowAlert(text, kAlertWarningOkCancel, true) != kResultOk) {
      CalcErrorCode = kMsgCancelled;
      return;
    }
    UpdateGuessesFromSolution(-1);
    CurrentProgramUnit = MainProgramUnit;
  }
}

void PrepareMinMaxForTableRun() {
  MinMaxCallCount = 0;
  MinMaxSign = MinMaxSetup.Maximise != 0 ? -1.0L : 1.0L;
  MinMaxBestValue = BlankValue;
}

void RunMinMax() {
  TProgramUnitRecord* main = MainProgramUnit;
  if (main == nullptr) return;
  const int32_t n = std::clamp<int32_t>(MinMaxSetup.IndependentCount, 0, kMaxIndependentVariables);
  MinMaxCallCount = 0;
  MinMaxSign = MinMaxSetup.Maximise != 0 ? -1.0L : 1.0L;
  const bool ownProgress = CurrentRun <= 0;
  std::unique_ptr<TProgressDlg> progress;
  TProgressDlg* const outerProgress = ProgressDlg;
  if (ownProgress) {
    RunStartTicks = Platform().TickCount();
    progress = CreateProgressDialog();
    progress->FillGrid = FillIndependentGrid;
    ProgressDlg = progress.get();
    if (!HiddenMode) ProgressDlg->FormActivate();
  }

  bool stop = false;
  MinMaxBestValue = BlankValue;
  std::array<int16_t, kMaxIndependentVariables + 1> savedPositions{};
  CurrentProgramUnit = main;
  TMinMaxSearch search;
  search.n = n;
  search.Tolerance = MinMaxSetup.Tolerance;
  ModelProblem problem(search);
  search.Problem = &problem;
  for (int32_t i = 1; i <= n; ++i) {
    if (const TVariableRecord* v = problem.Independent(i)) savedPositions[static_cast<size_t>(i)] = v->UnknownPosition;
  }

  SolveOneUnknownEquations(true);
  CurrentProgramUnit = main;
  // The independent variables are given now, not solved.
  for (int32_t i = 1; i <= n; ++i) {
    TVariableRecord* v = problem.Independent(i);
    if (v == nullptr) continue;
    if (v->UnknownPosition > 0) RemoveFromVarOrder(MinMaxSetup.IndependentVariables[static_cast<size_t>(i)]);
    v->UnknownPosition = kDeterminedVariable;
  }
  if (CalcErrorCode <= 0) BlockAllUnits();
  CurrentProgramUnit = main;

  // Settings from a document or a macro may name variables the equations
  // no longer have.
  int32_t missing = problem.Objective() == nullptr ? MinMaxSetup.ObjectiveVariable : 0;
  for (int32_t i = 1; i <= n && missing == 0; ++i) {
    if (problem.Independent(i) == nullptr) missing = MinMaxSetup.IndependentVariables[static_cast<size_t>(i)];
  }
  if (n < 1) {
    if (CalcErrorCode <= 0) {
      SetMessageArg(1, std::to_string(n));
      CalcErrorCode = kMsgOptimizationImpossible;
    }
  } else if (missing != 0 || problem.Objective() == nullptr) {
    if (CalcErrorCode <= 0) {
      SetMessageArg(1, "#" + std::to_string(missing));
      CalcErrorCode = kMsgUnknownVariable;
    }
  } else if (CalcErrorCode <= 0 && n == 1) {
    TVariableRecord* x = problem.Independent(1);
    Extended a = x->LowerLimit;
    Extended b = x->UpperLimit;
    search.x0 = x->Guess;
    do {
      CalcErrorCode = 0;
      stop = false;
      search.Bracket = TBracketRecord{};
      Extended value = 0;
      Extended abscissa = 0;
      if (MinMaxSetup.Method == 2) {
        // An end where the model cannot be solved is moved 0.1 % inside;
        // failing there too ends the optimisation (the wrap-up still runs).
        problem.LineFunction(a);
        if (CalcErrorCode > 0 && CalcErrorCode != kMsgCallLimit) {
          CalcErrorCode = 0;
          a = a + 0.001L * (b - a);
          problem.LineFunction(a);
        }
        if (CalcErrorCode <= 0) {
          problem.LineFunction(b);
          if (CalcErrorCode > 0 && CalcErrorCode != kMsgCallLimit) {
            CalcErrorCode = 0;
            b = b - 0.001L * (b - a);
            problem.LineFunction(b);
          }
        }
        if (CalcErrorCode > 0 && CalcErrorCode != kMsgCallLimit) break;
        if (CalcErrorCode <= 0) {
          search.Bracket.A.x = a;
          search.Bracket.B.x = b;
          search.Bracket.X.x = search.x0;
          search.Bracket.X.f = problem.LineFunction(search.x0);
          search.Bracket.X.HasValue = true;
          if (CalcErrorCode <= 0) BrentQuadraticSearch(search, value, abscissa);
        }
      } else {
        search.Bracket.A.x = a;
        search.Bracket.B.x = b;
        GoldenSectionSearch(search, value, abscissa);
      }
      if (CalcErrorCode == kMsgCallLimit) ContinueAfterCallLimit(stop);
    } while (CalcErrorCode == kMsgCallLimit && !stop);
  } else if (CalcErrorCode <= 0) {
    do {
      CalcErrorCode = 0;
      stop = false;
      if (MinMaxSetup.Method == 2) {
        VariableMetricMinimize(search);
      } else {
        DirectionSetMinimize(search);
      }
      if (TVariableRecord* obj = problem.Objective()) obj->Value = MinMaxBestValue * MinMaxSign;
      if (CalcErrorCode == kMsgCallLimit) ContinueAfterCallLimit(stop);
    } while (CalcErrorCode == kMsgCallLimit && !stop);
  }
  if (stop) AbortRequested = true;

  if (ownProgress) {
    if (!AbortRequested && CalcErrorCode <= 0 && ProgressDlg != nullptr) {
      if (std::fabs(main->MaxResidual) > StopCriteria.RelativeResidualTolerance) ThrottledBeep();
      ProgressDlg->ForceRedraw = 1;
      ProgressDlg->FinalDisplay = 1;
      ProgressDlg->Draw();
      ProgressDlg->WaitEvent();
    }
    ProgressDlg = outerProgress;
    progress.reset();
  }

  FreeOccurrenceLists();
  for (int32_t i = 1; i <= n; ++i) {
    if (TVariableRecord* v = problem.Independent(i)) v->UnknownPosition = savedPositions[static_cast<size_t>(i)];
  }
  if (CalcErrorCode <= 0 && MinMaxCallCount <= MinMaxSetup.MaxFunctionCalls) {
    SolutionAvailable = true;
  } else {
    SolutionAvailable = false;
    SolutionStarted = true;
  }
}

// --- Candidates and the dialog -------------------------------------------------------------

std::vector<int16_t> MinMaxCandidates(bool tableMode) {
  std::vector<int16_t> result;
  TProgramUnitRecord* main = MainProgramUnit;
  if (main == nullptr) return result;
  // A variable that a block of two or more equations determines by itself
  // (as many distinct variables as rows) cannot be moved.
  for (int32_t k = 1; k <= main->UnknownCount; ++k) {
    if (TVariableRecord* v = main->Variable(main->UnknownList[static_cast<size_t>(k)])) v->Block = 0;
  }
  const int32_t blocks = std::min<int32_t>(main->BlockCount, static_cast<int32_t>(main->BlockEnds.size()) - 1);
  const int32_t rowLimit = static_cast<int32_t>(main->RowHeads.size()) - 1;
  for (int32_t b = 1; b <= blocks; ++b) {
    const int32_t first = main->BlockEnds[static_cast<size_t>(b - 1)] + 1;
    const int32_t last = main->BlockEnds[static_cast<size_t>(b)];
    if (last - first + 1 < 2) continue;
    std::vector<int32_t> vars;
    for (int32_t r = first; r <= last && r <= rowLimit; ++r) {
      for (TOccurrenceRecord* o = main->RowHeads[static_cast<size_t>(r)]; o != nullptr; o = o->NextInRow) {
        const int32_t var = o->Variable;
        if (var == 0) continue;
        if (std::find(vars.begin(), vars.end(), var) == vars.end()) vars.push_back(var);
      }
    }
    if (static_cast<int32_t>(vars.size()) != last - first + 1) continue;
    for (int32_t var : vars) {
      if (TVariableRecord* v = main->Variable(var)) v->Block = 1;
    }
  }
  if (tableMode) {
    const ParametricTableAccess& table = ParametricTable();
    for (int32_t c = 1; c <= table.ColumnCount(); ++c) {
      const int32_t var = table.ColumnVariable(table.CurrentTable(), c);
      const TVariableRecord* v = main->Variable(var);
      if (v == nullptr || v->Block != 0 || table.CellEntered(table.FirstRunOfRange(), c)) continue;
      result.push_back(static_cast<int16_t>(var));
    }
  } else {
    for (int32_t k = 1; k <= main->UnknownCount; ++k) {
      const int32_t var = main->UnknownList[static_cast<size_t>(k)];
      const TVariableRecord* v = main->Variable(var);
      if (v != nullptr && v->Block == 0) result.push_back(static_cast<int16_t>(var));
    }
  }
  std::stable_sort(result.begin(), result.end(), [main](int16_t a, int16_t b) {
    return main->Variable(a)->UpperName < main->Variable(b)->UpperName;
  });
  return result;
}

void TMinMaxDlg::FormActivate() {
  CurrentProgramUnit = MainProgramUnit;
  if (TableMode) {
    const ParametricTableAccess& table = ParametricTable();
    HelpContext = 47;
    Caption = "Minimize or Maximize Table  " + table.TableName(table.CurrentTable());
    Initial.FirstRun = table.FirstRunOfRange();
    Initial.LastRun = table.LastRunOfRange();
    Initial.UpdateGuesses = table.UpdateGuessesOption();
  } else {
    HelpContext = 46;
  }
  if (DegreesOfFreedom == 1) {
    Method1Text = "Golden Section search";
    Method2Text = "Quadratic approximations";
    IndependentLabel = "independent variable";
  } else {
    Method1Text = "Direct search method";
    Method2Text = "Variable metric method";
    IndependentLabel = "independent variables";
  }
  SelectLabel = "Select " + std::to_string(DegreesOfFreedom);
  Candidates = MinMaxCandidates(TableMode);
  CandidateNames.clear();
  for (int16_t c : Candidates) CandidateNames.push_back(MainVariable(c)->Name);
  Initial.ShowArrays = {MinMaxListOptions[0], MinMaxListOptions[0]};
  Initial.Maximise = MinMaxSetup.Maximise != 0;
  Initial.FirstAlgorithm = MinMaxSetup.Method == 1;
  Initial.MaxCallsText = std::to_string(std::min<int32_t>(MinMaxSetup.MaxFunctionCalls, kMaxStoredCalls));
  Initial.ToleranceText = RealToStr(TDisplayFormat{0, 3}, MinMaxSetup.Tolerance);
  const bool objectiveListed =
      std::find(Candidates.begin(), Candidates.end(), MinMaxSetup.ObjectiveVariable) != Candidates.end();
  Initial.ObjectiveVariable = objectiveListed ? MinMaxSetup.ObjectiveVariable
                                              : (Candidates.empty() ? int16_t{0} : Candidates.front());
  MinMaxSetup.IndependentCount =
      static_cast<int16_t>(std::clamp<int32_t>(std::min<int32_t>(MinMaxSetup.IndependentCount, DegreesOfFreedom), 0,
                                               kMaxIndependentVariables));
  Initial.Independent.clear();
  for (int32_t i = 1; i <= MinMaxSetup.IndependentCount; ++i) {
    const int16_t var = MinMaxSetup.IndependentVariables[static_cast<size_t>(i)];
    if (std::find(Candidates.begin(), Candidates.end(), var) != Candidates.end()) Initial.Independent.push_back(var);
  }
}

std::vector<int16_t> TMinMaxDlg::ListItems(bool showArrays) const {
  std::vector<int16_t> items;
  for (int16_t c : Candidates) {
    const std::string& name = MainVariable(c)->Name;
    if (!showArrays && !name.empty() && name.back() == ']') continue;
    items.push_back(c);
  }
  return items;
}

void TMinMaxDlg::ListBox1Click(int16_t objective, std::vector<int16_t>& independent) const {
  auto at = std::find(independent.begin(), independent.end(), objective);
  if (at == independent.end()) return;
  ThrottledBeep();
  independent.erase(at);
}

void TMinMaxDlg::ListBox2Click(int16_t objective, int16_t focused, std::vector<int16_t>& independent) const {
  if (static_cast<int32_t>(independent.size()) > DegreesOfFreedom) {
    auto other = std::find_if(independent.begin(), independent.end(), [focused](int16_t v) { return v != focused; });
    if (other != independent.end()) independent.erase(other);
  }
  auto at = std::find(independent.begin(), independent.end(), objective);
  if (at != independent.end()) {
    ThrottledBeep();
    independent.erase(at);
  }
}

namespace {

// Every independent variable needs finite bounds, lower <= upper; a guess
// outside them moves to the middle.
bool BoundsValid() {
  bool valid = true;
  for (int32_t i = 1; i <= MinMaxSetup.IndependentCount; ++i) {
    TVariableRecord* v = MainVariable(MinMaxSetup.IndependentVariables[static_cast<size_t>(i)]);
    if (v == nullptr) return false;
    const bool ok = v->LowerLimit > -BlankValue && v->UpperLimit < BlankValue && v->LowerLimit <= v->UpperLimit &&
                    !IsInfinityValue(v->LowerLimit) && !IsInfinityValue(v->UpperLimit);
    if (!ok) valid = false;
    if (valid && (v->Guess < v->LowerLimit || v->Guess > v->UpperLimit))
      v->Guess = (v->LowerLimit + v->UpperLimit) / 2;
  }
  return valid;
}

}  // namespace

bool TMinMaxDlg::OKBtnClick(const TMinMaxChoices& choices) {
  RefusedField.clear();
  MinMaxMode = false;
  ParametricTableAccess& table = ParametricTable();
  if (TableMode) {
    table.SetUpdateGuessesOption(choices.UpdateGuesses);
    const int32_t rows = table.RowCount();
    const int32_t first = choices.FirstRun >= 1 && choices.FirstRun <= rows ? choices.FirstRun : 1;
    const int32_t last = choices.LastRun < first ? first : std::min(choices.LastRun, rows);
    table.SetRunRange(first, last);
  }
  MinMaxSetup.Maximise = choices.Maximise ? 1 : 0;
  MinMaxSetup.Method = choices.FirstAlgorithm ? 1 : 2;
  int32_t calls = 0;
  bool ok = false;
  StrToLongSafe(choices.MaxCallsText, calls, ok);
  if (!ok) {
    RefusedField = "MaxItV";
    ThrottledBeep();
    return false;
  }
  const Extended tolerance = ParseReal(choices.ToleranceText, ok);
  if (!ok) {
    RefusedField = "TolV";
    ThrottledBeep();
    return false;
  }
  // The stored field holds 16 bits.
  MinMaxSetup.MaxFunctionCalls = std::clamp<int32_t>(calls, 0, kMaxStoredCalls);
  MinMaxSetup.Tolerance = tolerance;
  MinMaxSetup.ObjectiveVariable = choices.ObjectiveVariable;
  std::vector<int16_t> independent;
  for (int16_t v : choices.Independent) {
    if (v != choices.ObjectiveVariable && std::find(independent.begin(), independent.end(), v) == independent.end())
      independent.push_back(v);
  }
  bool accepted = false;
  if (static_cast<int32_t>(independent.size()) < DegreesOfFreedom) {
    std::string text = "Select " + std::to_string(DegreesOfFreedom) + " independent variable";
    if (DegreesOfFreedom > 1) text += "s";
    ShowAlert(text, kAlertErrorOk, true);
    RefusedField = "ListBox2";
  } else {
    const int32_t count = std::min<int32_t>(static_cast<int32_t>(independent.size()), kMaxIndependentVariables);
    MinMaxSetup.IndependentCount = static_cast<int16_t>(count);
    for (int32_t i = 1; i <= kMaxIndependentVariables; ++i)
      MinMaxSetup.IndependentVariables[static_cast<size_t>(i)] = i <= count ? independent[static_cast<size_t>(i - 1)] : 0;
    // Each answer Yes opens the bounds once more; the user ends it with No.
    for (;;) {
      if (BoundsValid()) {
        accepted = true;
        break;
      }
      if (ShowAlert(GetMessageText(kMsgSetBoundsQuestion), kAlertInfoYesNo, true) != kResultYes) break;
      if (dialogView == nullptr) break;
      std::vector<int16_t> vars(MinMaxSetup.IndependentVariables.begin() + 1,
                                MinMaxSetup.IndependentVariables.begin() + 1 + count);
      dialogView->EditBounds(vars);
    }
    if (!accepted) RefusedField = "Bounds";
  }
  if (accepted) MinMaxMode = true;
  MinMaxListOptions = choices.ShowArrays;
  return accepted;
}

void SetMinMaxDialogView(MinMaxDialogView* view) { dialogView = view; }

bool ShowMinMaxDialog(bool tableMode) {
  TMinMaxDlg dialog(tableMode);
  dialog.FormActivate();
  if (dialogView == nullptr) {
    // No window: the stored settings as the dialog would accept them.
    return dialog.OKBtnClick(dialog.Initial);
  }
  for (;;) {
    TMinMaxChoices choices = dialog.Initial;
    if (!dialogView->Choose(dialog, choices)) {
      MinMaxMode = false;
      return false;
    }
    if (dialog.OKBtnClick(choices)) return true;
    dialog.Initial = choices;
  }
}

bool MinMaxAfterRead() {
  if (!CheckMinMaxDegreesOfFreedom(false)) {
    // 385 and 386 were shown with the Debug window offered; a blocking
    // error is shown here.
    if (CalcErrorCode > 0 && CalcErrorCode != kMsgOptimizationImpossible && CalcErrorCode != kMsgFreedomLimit)
      ShowLastEquationError();
    return false;
  }
  if (!(DistributableMode || SolveFromDiagram)) {
    if (!ShowMinMaxDialog(false)) return false;
    CheckAllGuessLimits();
    if (CalcErrorCode > 0) return true;
  }
  RunMinMax();
  return true;
}

}  // namespace voq

#include "solver/progress.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/messages.h"
#include "core/number_format.h"
#include "core/number_text.h"
#include "core/program_flags.h"
#include "model/integral_records.h"
#include "model/program_units.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "solver/evaluator.h"

namespace voq {

namespace {

constexpr int32_t kRedrawInterval = 500;
constexpr int32_t kContinueWait = 10000;

int32_t TickDifference(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

}  // namespace

void FillIntegrationGrid(TProgressFigures& f) {
  f.GridLabel1.clear();
  f.GridLabel2.clear();
  f.Grid.clear();
  const TProgramUnitRecord* main = MainProgramUnit;
  if (main == nullptr || main->IntegralCount <= 0) return;
  f.GridLabel1 = "Integration Variable";
  f.GridLabel2 = "Value";
  const int32_t slots = std::min<int32_t>(main->IntegralCount, kIntegralSlotCount);
  for (int32_t i = 1; i <= slots; ++i) {
    const TIntegralRecord& slot = main->IntegralSlots[static_cast<size_t>(i)];
    // A module's integration runs inside the module's own call.
    if (slot.InModule != 0) continue;
    TProgressFigures::TGridRow row;
    const int32_t v = slot.IntegrationVariable;
    if (const TVariableRecord* var = main->Variable(v)) row.Name = var->Name;
    row.Value = FormatValue(TDisplayFormat{kStyleAutomatic, 0}, slot.Position);
    f.Grid.push_back(std::move(row));
  }
}

TProgressDlg* ProgressDlg = nullptr;

TProgressDlg::TProgressDlg() { Progress().Open(); }
TProgressDlg::~TProgressDlg() { Progress().Close(); }

std::unique_ptr<TProgressDlg> CreateProgressDialog() { return std::make_unique<TProgressDlg>(); }

std::string TenthsAsSeconds(int32_t tenths, char decimalSeparator) {
  std::string digits = std::to_string(tenths);
  std::string whole = digits.substr(0, digits.size() - 1);
  return whole + decimalSeparator + digits.back() + " sec";
}

void TProgressDlg::FormActivate() {
  ContinueClicked = 0;
  ForceRedraw = 0;
  FinalDisplay = 0;
  RunStartTicks = Platform().TickCount();
  figuresDrawn_ = false;
  if (TProgramUnitRecord* u = CurrentProgramUnit) {
    u->IterationCount = 1;
    u->CurrentBlock = 0;
    u->MaxResidual = 0;
    u->MaxChange = 0;
  }
}

void TProgressDlg::Draw() {
  if (PlayingMacroFile || HiddenMode) return;
  const int32_t now = Platform().TickCount();
  LastDrawTicks = now;
  // The redraw keeps its own clock: the abort poll moves the shared tick
  // every 250 ms, and measured against it the figures would never be due.
  if (!(std::abs(TickDifference(now, LastFiguresTicks)) > kRedrawInterval || ForceRedraw != 0 ||
        RunStartTicks == LastAbortPollTicks || !figuresDrawn_)) {
    return;
  }
  figuresDrawn_ = true;
  LastFiguresTicks = now;
  Platform().ProcessPendingMessages();

  TProgressFigures f;
  if (CurrentRun > 0) f.Caption = "Calculation progress in Run " + std::to_string(CurrentRun);
  TProgramUnitRecord* unit = CurrentProgramUnit;
  if (ProgramUnitList.size() > 1 && unit != nullptr) {
    f.SubProgram = (unit == MainProgramUnit || CtrlKeyDown()) ? std::string("Main program") : unit->Name;
  }
  if (FinalDisplay != 0) LastDrawTicks = SolveStartTicks;
  LastAbortPollTicks = LastDrawTicks;
  const int32_t elapsed = TickDifference(LastDrawTicks, RunStartTicks) / 100;

  TProgramUnitRecord* shown = CtrlKeyDown() ? MainProgramUnit : unit;
  if (shown != nullptr) {
    const TDisplayFormat exponential4{0, 4};
    f.Block = std::to_string(shown->CurrentBlock) + "   ";
    f.Iteration = std::to_string(shown->IterationCount);
    f.Residual = RealToStr(exponential4, shown->MaxResidual) + " ";
    f.VariableChange = RealToStr(exponential4, shown->MaxChange) + " ";
  }
  if (FillGrid != nullptr)
    FillGrid(f);
  else if (!MinMaxMode)
    FillIntegrationGrid(f);
  f.Seconds = TenthsAsSeconds(elapsed < 0 ? 0 : elapsed, DecimalSeparator);
  f.Final = FinalDisplay != 0;
  if (f.Final) f.Caption = "Calculations Completed";
  Progress().Present(f);
}

void TProgressDlg::WaitEvent() {
  if (PlayingMacroFile || HiddenMode) return;
  ForceRedraw = 1;
  SolveStartTicks = Platform().TickCount();
  Draw();
  TProgressFigures f;
  f.Final = true;
  f.Caption = "Calculations Completed";
  Progress().PresentFinal(f, ProblemSummaryText());
  const int32_t start = Platform().TickCount();
  ContinueClicked = 0;
  if (Progress().WaitsForContinue() && !UncertaintyMode) {
    while (ContinueClicked == 0 && !AbortRequested &&
           TickDifference(Platform().TickCount(), start) <= kContinueWait) {
      Platform().WaitForMessages(50);
    }
  }
  ForceRedraw = 0;
}

std::string TProgressDlg::ProblemSummaryText() const {
  const TProgramUnitRecord* unit = CurrentProgramUnit;
  int32_t n = 0;
  int32_t extra = 0;
  int32_t blocks = 0;
  if (unit != nullptr) {
    for (const TEquationRecord* e = unit->FirstEquation; e != nullptr; e = e->Next) {
      ++n;
      if (e->Block < 1) extra = 1;
    }
    blocks = unit->BlockCount;
  }
  const int32_t m = blocks + extra;
  std::string text = std::to_string(n) + " equations in " + std::to_string(m) + " block";
  text += (m > 1) ? "s" : " ";
  // "1 equations" loses its "s", the 11th character.
  if (n == 1) text.erase(10, 1);
  return text;
}

}  // namespace voq

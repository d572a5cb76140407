// Solve Table over a Parametric table of 1,000 runs of a 50-equation model:
// 24 coupled nonlinear pairs (x_k - y_k = 1, x_k + y_k^3 = T + k, each a
// 2x2 Newton block) and two equations over their results. The compile, the
// one-unknown pass on the constants and the blocking are done once; each run
// restores the run state, fixes T from the table and solves the blocks. The
// target is well under 1 ms per run.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_store.h"
#include "core/calc_state.h"
#include "language/export_after_run.h"
#include "model/program_units.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "session/compile_driver.h"
#include "tables/table_model.h"
#include "tables/table_runs.h"
#include "tables/tables_state.h"

namespace {

constexpr int kPairs = 24;

std::string ModelText() {
  std::string text;
  for (int k = 1; k <= kPairs; ++k) {
    const std::string n = std::to_string(k);
    text += "x_" + n + " - y_" + n + " = 1\r\n";
    text += "x_" + n + " + y_" + n + "^3 = T + " + n + "\r\n";
  }
  text += "s = x_1 + x_" + std::to_string(kPairs) + "\r\n";
  text += "p = s*T\r\n";
  return text;
}

int32_t MainVariable(const std::string& name) {
  voq::CurrentProgramUnit = voq::MainProgramUnit;
  return voq::FindVariable(name);
}

// The table: T entered 1..runs, s, p, x_1 and y_24 to compute.
void BuildTable(int32_t runs) {
  voq::ParametricColumnOrder = {0, MainVariable("T"), MainVariable("s"), MainVariable("p"), MainVariable("x_1"),
                                MainVariable("y_" + std::to_string(kPairs))};
  voq::TableRowCounts[1] = runs;
  voq::TableColumnCounts[1] = 5;
  voq::TTableForm* form = voq::CreateTableForm(voq::kParametricTableKind);
  for (int32_t r = 1; r <= runs; ++r) form->SetmyCell(0, -1, voq::Extended(r), r, 1, 1);
  voq::FirstRun = 1;
  voq::LastRun = runs;
}

void BM_SolveTableRuns(benchmark::State& state) {
  const int32_t runs = int32_t(state.range(0));
  voq::InMemoryEquationsEditor editor;
  const std::string text = ModelText();
  bool failed = false;
  for (auto _ : state) {
    state.PauseTiming();
    voq::bench::ResetStore();
    voq::SetEquationsEditor(&editor);
    editor.SetText(text);
    voq::CheckOnlyMode = true;
    voq::EquationsCompiled = false;
    voq::CompileEquations(false, false);
    voq::CheckOnlyMode = false;
    BuildTable(runs);
    state.ResumeTiming();
    voq::SolveTableRuns();
    state.PauseTiming();
    // p = (x_1 + x_24)*T must be filled in the last run.
    const voq::TTableColumnRecord* p = voq::FindColumn(voq::TableForms[1]->Columns, 3);
    if (voq::CalcErrorCode != 0 || p == nullptr || voq::IsBlank(p->Cell(runs))) failed = true;
    state.ResumeTiming();
  }
  if (failed) state.SkipWithError("the table run did not fill every run");
  state.counters["per_run"] =
      benchmark::Counter(double(runs), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  voq::SetEquationsEditor(nullptr);
  voq::bench::ResetStore();
}
BENCHMARK(BM_SolveTableRuns)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

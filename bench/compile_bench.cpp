// The compile pass over the whole Equations text must take time proportional
// to the text: 10,000 statements should cost about ten times 1,000, both for
// a first compile and for a compile that takes every statement over from the
// previous one.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_store.h"
#include "core/calc_state.h"
#include "model/store_state.h"
#include "session/compile_driver.h"

namespace {

// Variable names of the benchmark texts. Systematically numbered names
// (v0, v1, ...) differ only in characters the variable-name hash does not
// look at, so they crowd a few hundred home slots; names built from words,
// as engineering models use them, spread over the table.
std::string NumberedName(int i) { return "v" + std::to_string(i); }

std::string WordName(int i) {
  static const char* const quantities[] = {"T", "P", "h", "s", "m_dot", "Q", "W", "v", "rho", "mu",
                                           "k", "cp", "x", "eta", "DELTAT", "u", "A", "L", "D", "Re"};
  static const char* const places[] = {"in", "out", "sat", "wall", "air", "water", "fuel", "gas",
                                       "cold", "hot", "ref", "amb", "max", "min", "avg", "top",
                                       "bottom", "left", "right", "inner", "outer", "mid", "tip",
                                       "hub", "shell"};
  static const char* const parts[] = {"pump", "turbine", "boiler", "condenser", "hx", "valve",
                                      "tank", "fan", "duct", "pipe", "nozzle", "diffuser", "mixer",
                                      "splitter", "coil", "tower", "stack", "fin", "plate", "tube"};
  return std::string(quantities[i % 20]) + "_" + places[(i / 20) % 25] + "_" + parts[(i / 500) % 20];
}

// n statements over n variables: a chain v1 = v0 + 1, v2 = v1*0.5 + 2, ...
// with brace and quote comments, two statements on some lines, continuation
// lines and blank lines. Each statement has one unknown once the one before
// it is known, so the reader solves it as it goes.
std::string MakeEquationText(int n, std::string (*name)(int) = NumberedName) {
  std::string text = name(0) + " = 1 {start}\r\n";
  for (int i = 1; i < n; ++i) {
    const std::string k = std::to_string(i);
    const std::string v = name(i);
    const std::string prev = name(i - 1);
    switch (i % 4) {
      case 0:
        text += v + " = " + prev + " + " + k + " {comment " + k + "}\r\n";
        break;
      case 1:
        text += "\"note\" " + v + " = 0.5*" + prev + "; ";
        break;  // the next statement shares the line
      case 2:
        text += v + " = " + prev + " - &\r\n  " + k + "\r\n\r\n";
        break;
      default:
        text += v + " = " + prev + "/2 {[m]}\r\n";
        break;
    }
  }
  return text;
}

void CheckCompiled(benchmark::State& state) {
  if (voq::CalcErrorCode != 0 || voq::LastCompileCounts.Statements != int32_t(state.range(0)))
    state.SkipWithError("the text did not compile into its statements");
  state.SetComplexityN(state.range(0));
  state.counters["statements"] = double(voq::LastCompileCounts.Statements);
  state.counters["fresh"] = double(voq::LastCompileCounts.Fresh);
}

// The engine at its start state, reading text from editor, compiling
// without solving.
void StartCompile(voq::InMemoryEquationsEditor& editor, const std::string& text) {
  voq::bench::ResetStore();
  editor.SetText(text);
  voq::SetEquationsEditor(&editor);
  voq::CheckOnlyMode = true;
}

// A first compile of the whole text, from an empty store each time.
void CompileFresh(benchmark::State& state, std::string (*name)(int)) {
  voq::InMemoryEquationsEditor editor;
  const std::string text = MakeEquationText(int(state.range(0)), name);
  for (auto _ : state) {
    state.PauseTiming();
    StartCompile(editor, text);
    state.ResumeTiming();
    voq::CompileEquations(false, false);
  }
  CheckCompiled(state);
  voq::bench::ResetStore();
}

void BM_CompileFresh(benchmark::State& state) { CompileFresh(state, NumberedName); }
BENCHMARK(BM_CompileFresh)->Arg(1000)->Arg(10000)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);

void BM_CompileFreshWordNames(benchmark::State& state) { CompileFresh(state, WordName); }
BENCHMARK(BM_CompileFreshWordNames)->Arg(1000)->Arg(10000)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);

void BM_CompileUnchanged(benchmark::State& state) {
  voq::InMemoryEquationsEditor editor;
  StartCompile(editor, MakeEquationText(int(state.range(0))));
  voq::CompileEquations(false, false);
  for (auto _ : state) voq::CompileEquations(false, false);
  CheckCompiled(state);
  voq::bench::ResetStore();
}
BENCHMARK(BM_CompileUnchanged)->Arg(1000)->Arg(10000)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);

}  // namespace

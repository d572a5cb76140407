// Reading the Equations text into statements must take time proportional to
// the text: 10,000 statements should cost about ten times 1,000.
#include <benchmark/benchmark.h>

#include <string>

#include "core/calc_state.h"
#include "language/comments.h"
#include "language/equation_reader.h"

namespace {

// n statements: lines of one or two statements, with brace and quote
// comments, continuation lines and blank lines mixed in.
std::string MakeEquationText(int n) {
  std::string text;
  for (int i = 0; i < n; ++i) {
    const std::string k = std::to_string(i);
    switch (i % 5) {
      case 0:
        text += "x" + k + " = " + k + " + y" + k + " {comment " + k + "}";
        break;
      case 1:
        text += "\"note\" y" + k + " = 2*x" + k + "; ";
        continue;  // shares the next line
      case 2:
        text += "z" + k + " = y" + k + " + &\r\n  x" + k;
        break;
      case 3:
        text += "w" + k + " = sin(z" + k + ") {[m/s]}\r\n";
        break;
      default:
        text += "v" + k + " = w" + k + "^2";
        break;
    }
    text += "\r\n";
  }
  return text;
}

void BM_ReadStatements(benchmark::State& state) {
  const std::string text = MakeEquationText(int(state.range(0)));
  size_t count = 0;
  for (auto _ : state) {
    voq::PruneLineInfoList();
    const auto statements = voq::ReadStatementsOfText(text);
    count = statements.size();
    benchmark::DoNotOptimize(statements.data());
  }
  if (voq::CalcErrorCode != 0 || count != size_t(state.range(0)))
    state.SkipWithError("the text did not read into its statements");
  state.SetComplexityN(state.range(0));
  state.counters["statements"] = double(count);
}
BENCHMARK(BM_ReadStatements)->Arg(1000)->Arg(10000)->Complexity(benchmark::oN);

}  // namespace

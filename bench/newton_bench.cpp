// A full solve of one fully coupled nonlinear tridiagonal block: the
// discretised Bratu problem u'' + exp(u) = 0 on (0,1), u(0) = u(1) = 0,
//   2 x_i - x_(i-1) - x_(i+1) = h^2 exp(x_i),  h = 1/(N+1),
// with N = 1,000 and 10,000 plain variables x1..xN, from x = 0. One solve is
// the blocking and the block Newton iteration (Jacobian over the 3N
// structural entries, sparse LU, damping). The 10,000 case must stay within
// 15 times the 1,000 case.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench_store.h"
#include "core/extended.h"
#include "model/solve_session.h"
#include "solver/blocking.h"
#include "solver/newton_solver.h"

namespace {

using namespace voq;

std::vector<std::string> BratuStatements(int n) {
  char h2[64];
  std::snprintf(h2, sizeof h2, "%.17g", 1.0 / ((n + 1.0) * (n + 1.0)));
  std::vector<std::string> statements;
  statements.reserve(n);
  for (int i = 1; i <= n; ++i) {
    std::string xi = "x" + std::to_string(i);
    std::string text = "2*" + xi;
    if (i > 1) text += "-x" + std::to_string(i - 1);
    if (i < n) text += "-x" + std::to_string(i + 1);
    text += "=" + std::string(h2) + "*2.718281828459045^" + xi;
    statements.push_back(text);
  }
  return statements;
}

// Compiles statements and times their blocking and block solve, every
// unknown starting from guess. The Newton iterations of the last solve go to
// the counters; returns the number of blocks (-1: the statements did not
// compile).
int32_t TimeBlockSolve(benchmark::State& state, const std::vector<std::string>& statements, Extended guess) {
  bench::ResetStore();
  if (!bench::CompileAll(statements)) {
    state.SkipWithError("compile failed");
    return -1;
  }
  TProgramUnitRecord& u = *MainProgramUnit;
  int32_t iterations = 0;
  for (auto _ : state) {
    state.PauseTiming();
    for (int32_t k = 1; k <= u.UnknownCount; ++k) u.Variable(u.UnknownList[k])->Value = guess;
    CalcErrorCode = 0;
    state.ResumeTiming();
    BlockAllUnits();
    SolveEquationBlocks();
    if (CalcErrorCode != 0) {
      state.SkipWithError("solve failed");
      break;
    }
    iterations = u.IterationCount;
  }
  state.counters["newton_iterations"] = iterations;
  const int32_t blocks = u.BlockCount;
  bench::ResetStore();
  return blocks;
}

void BM_NewtonTridiagonal(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  if (TimeBlockSolve(state, BratuStatements(n), 0) < 0) return;
  state.SetComplexityN(n);
}
BENCHMARK(BM_NewtonTridiagonal)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

// One nonlinear block with long-range coupling, the pattern of a large model
// whose equations refer back to far-away unknowns:
//   x1*xN = 2,  x(i+1) = x(i)^1.0001 + 1e-4*x((i*7919 mod N)+1),  i = 1..N-1.
// No equation can be solved alone, so the whole system is one block of N
// unknowns; with the coupling column spread over the block a pivot order
// that ignores fill turns the factors dense. From the default guesses of 1.
std::vector<std::string> CoupledChainStatements(int n) {
  std::vector<std::string> statements;
  statements.reserve(n);
  statements.push_back("x1*x" + std::to_string(n) + "=2");
  for (int i = 1; i < n; ++i) {
    const int k = static_cast<int>((static_cast<long long>(i) * 7919) % n) + 1;
    statements.push_back("x" + std::to_string(i + 1) + "=x" + std::to_string(i) + "^1.0001+1e-4*x" +
                         std::to_string(k));
  }
  return statements;
}

void BM_NewtonCoupledChain(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const int32_t blocks = TimeBlockSolve(state, CoupledChainStatements(n), 1);
  if (blocks >= 0) state.counters["blocks"] = blocks;
}
BENCHMARK(BM_NewtonCoupledChain)->Arg(1000)->Arg(4000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

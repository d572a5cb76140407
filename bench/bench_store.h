#pragma once
// A clean language store for the solver benchmarks and the compile of a
// list of statements as one read.
#include <string>
#include <vector>

#include "../tests/language/store_reset.h"
#include "core/calc_state.h"
#include "language/program_units.h"
#include "language/statement_compiler.h"

namespace voq::bench {

// The language store of the tests, reset the same way.
inline void ResetStore() { testing::ResetLanguageStore(); }

// Compiles the statements into the main program as one read; false on a
// compile error.
inline bool CompileAll(const std::vector<std::string>& statements) {
  testing::BeginTestPass();
  for (const std::string& s : statements) {
    std::string text = s;
    CompileStatement(text, kMaxStatementLength, TStatementPosition{});
    if (CalcErrorCode != 0) {
      ReleaseRetainedEquations();
      return false;
    }
  }
  testing::EndTestPass();
  return true;
}

}  // namespace voq::bench

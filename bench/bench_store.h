#pragma once
// The engine back at its start state for each benchmark, and the compile of
// a list of statements as one read.
#include <string>
#include <vector>

#include "../tests/language/compile_pass.h"
#include "core/calc_state.h"
#include "language/statement_compiler.h"
#include "model/program_units.h"
#include "session/engine.h"

namespace voq::bench {

inline void ResetStore() { ResetEngineState(); }

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

#pragma once
// Helpers over the language store; every test starts from the engine's
// start state (tests/test_main.cpp).
#include <gtest/gtest.h>

#include <string>

#include "language/code_listing.h"
#include "language/compile_pass.h"
#include "language/statement_compiler.h"
#include "session/engine.h"

namespace voq::testing {

class LanguageStoreTest : public ::testing::Test {
 protected:

  TVariableRecord* Var(int32_t i) { return CurrentProgramUnit->Variable(i); }
  TVariableRecord* VarNamed(const std::string& name) {
    int32_t saved = CalcErrorCode;
    int32_t i = FindVariable(name);
    CalcErrorCode = saved;
    return Var(i);
  }

  // Compiles one statement of the main text (line -1: no window position)
  // and returns the error it left.
  int32_t Compile(const std::string& statement, int32_t line = -1) {
    std::string text = statement;
    TStatementPosition position;
    position.Line = line;
    CompileStatement(text, kMaxStatementLength, position);
    return CalcErrorCode;
  }
  // The postfix code of the equation compiled last.
  std::string Listing() { return ListEquationCode(*CurrentEquation, CurrentProgramUnit); }
};

}  // namespace voq::testing

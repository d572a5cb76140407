#pragma once
// A fresh language store for each test (see store_reset.h).
#include <gtest/gtest.h>

#include <string>

#include "language/code_listing.h"
#include "language/statement_compiler.h"
#include "language/store_reset.h"

namespace voq::testing {

class LanguageStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetLanguageStore(); }
  void TearDown() override { ResetLanguageStore(); }

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

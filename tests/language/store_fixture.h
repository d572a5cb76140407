#pragma once
// A fresh language store for each test (see store_reset.h).
#include <gtest/gtest.h>

#include <string>

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
};

}  // namespace voq::testing

#pragma once
// A clean language store for the solver benchmarks and the compile of a
// list of statements as one read.
#include <string>
#include <vector>

#include "core/calc_state.h"
#include "language/language_state.h"
#include "language/program_units.h"
#include "language/statement_compiler.h"

namespace voq::bench {

inline void ResetStore() {
  ShuttingDown = true;
  ClearCompiledEquations();
  DisposeModuleUnits();
  ShuttingDown = false;
  for (TProgramUnitRecord* unit : ProgramUnitList) DisposeProgramUnit(unit);
  ProgramUnitList.clear();
  MainProgramUnit = nullptr;
  CurrentProgramUnit = nullptr;
  CurrentEquation = nullptr;
  ReusableEquations = nullptr;
  CalcErrorCode = 0;
  EnsureMainProgramUnit();
}

// Compiles the statements into the main program; false on a compile error.
inline bool CompileAll(const std::vector<std::string>& statements) {
  CurrentProgramUnit = MainProgramUnit;
  MainProgramUnit->LastEquation = nullptr;
  ReusableEquations = MainProgramUnit->FirstEquation;
  PurgeMarkedEquations();
  CurrentEquation = nullptr;
  CalcErrorCode = 0;
  for (const std::string& s : statements) {
    std::string text = s;
    CompileStatement(text, 255, TStatementPosition{});
    if (CalcErrorCode != 0) return false;
  }
  DisposeUnusedEquations();
  return true;
}

}  // namespace voq::bench

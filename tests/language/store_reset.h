#pragma once
// A fresh language store: one empty main program, default letter defaults,
// the "." decimal separator and no error; and the part of a read that the
// store depends on. Free of the test framework, so that the benchmarks
// share it.
#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/string_constants.h"
#include "language/language_services.h"
#include "language/language_state.h"
#include "language/program_units.h"

namespace voq::testing {

inline void ResetLanguageStore() {
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
  LetterDefaults = {};
  TrialCompile = false;
  CompilingFunctionIndex = 0;
  ModuleNesting = 0;
  ReadingIncludedText = false;
  CompileWithoutSolving = false;
  PendingUnits = {};
  DisposeArgumentListChain(PendingArgumentLists);
  DisposePendingTextPieces();
  ResetStringConstants();
  SetDecimalSeparator('.');
  SetBuiltinFunctions(nullptr);
  SetBuiltinConstants(nullptr);
  CalcErrorCode = 0;
  CalcErrorStart = 0;
  CalcErrorEnd = 0;
  MessageHelpContext = 0;
  for (auto& arg : MessageArgs) arg.clear();
  EnsureMainProgramUnit();
}

// The part of the driver's start of a read that the store depends on: the
// previous equations become the retained chain and the lists start empty.
inline void BeginTestPass() {
  ReleaseRetainedEquations();  // a previous read that ended without EndTestPass
  CurrentProgramUnit = MainProgramUnit;
  MainProgramUnit->LastEquation = nullptr;
  ReusableEquations = MainProgramUnit->FirstEquation;
  PurgeMarkedEquations();
  for (TProgramUnitRecord* unit : ProgramUnitList) {
    unit->UnknownCount = 0;
    unit->UsedVariableCount = 0;
    unit->EquationCount = 0;
    for (int32_t i = 1; i <= unit->VariableCount; ++i) unit->VariableHandles[i]->UnknownPosition = 0;
  }
  CurrentEquation = nullptr;
  CalcErrorCode = 0;
}

// The end of a successful read.
inline void EndTestPass() { DisposeUnusedEquations(); }

}  // namespace voq::testing

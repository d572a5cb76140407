#pragma once
// The part of a read that the store depends on, for tests and benchmarks
// that compile statements one by one without the compile driver. Free of
// the test framework, so that the benchmarks share it.
#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/string_constants.h"
#include "language/language_services.h"
#include "model/program_units.h"
#include "model/store_state.h"

namespace voq::testing {

// A test's next case on an empty store, with the settings and services the
// test chose kept: the store as at start-up, no string constants, no error.
inline void FreshStore() {
  ResetProgramStore();
  ResetStringConstants();
  CalcErrorCode = 0;
  CalcErrorStart = 0;
  CalcErrorEnd = 0;
  MessageHelpContext = 0;
  for (auto& arg : MessageArgs) arg.clear();
}

// The part of the driver's start of a read that the store depends on: the
// previous equations become the retained chain and the lists start empty.
inline void BeginTestPass() {
  ReleaseRetainedEquations();  // a previous read that ended without EndTestPass
  CurrentProgramUnit = MainProgramUnit;
  RetainMainEquations();
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

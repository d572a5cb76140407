#include "solver/solver_services.h"

#include "core/calc_state.h"

#include "solver/evaluator.h"
#include "solver/evaluator_support.h"
#include "model/warnings_window.h"
#include "solver/lookup_functions.h"
#include "solver/external_calls.h"
#include "solver/integrals.h"
#include "solver/newton_solver.h"
#include "solver/numeric_opcodes.h"
#include "solver/one_unknown.h"
#include "solver/progress.h"
#include "solver/property_opcodes.h"
#include "solver/solved_alone_units.h"
#include "solver/string_table_functions.h"
#include "solver/solver_state.h"
#include "solver/unit_calls.h"
#include "solver/user_routines.h"
#include "units/unit_expressions.h"

namespace voq {

namespace {
constexpr int32_t kFirstFunctionOpcode = 198;
constexpr int32_t kLastFunctionOpcode = 255;
constexpr int32_t kFirstFamilyOpcode = 247;
constexpr int32_t kLastFamilyOpcode = 250;
constexpr int32_t kLastFamilySubCode = 15;
}  // namespace

void InstallSolverServices() {
  InstallNumericOpcodes();
  InstallUserRoutineOpcodes();
  InstallPropertyOpcodes();
  // CONVERT with a unit text known only at evaluation.
  SetUnitFactorConverter([](const std::string& from, const std::string& to, Extended& factor) {
    std::string shown;
    ConvertUnitFactor(from, to, factor, shown);
    return CalcErrorCode == 0;
  });
  InstallStringTableFunctions();
  // Warnings added during a Parametric table run name their run.
  SetWarningRunReader([] { return CurrentRun; });
  InstallUnitCallOpcode();
  InstallLookupFunctions();
  InstallExternalCallOpcodes();
  InstallIntegralSolver();
}

void ResetSolverState() {
  for (int32_t op = kFirstFunctionOpcode; op <= kLastFunctionOpcode; ++op) SetOpcodeHandler(op, nullptr);
  for (int32_t op = kFirstFamilyOpcode; op <= kLastFamilyOpcode; ++op) {
    for (int32_t sub = 0; sub <= kLastFamilySubCode; ++sub) SetFamilyMemberHandler(op, sub, nullptr);
  }
  SetLocalOperandReader(nullptr);
  SetEvaluationEnvironment(nullptr);
  SetIntegralStepper(nullptr);
  ResetIntegralSolver();
  SetUnitFactorConverter(nullptr);
  SetSharingRoutineTest(nullptr);
  SetPropertyUnitsSource(nullptr);
  SetParametricColumnTest(nullptr);
  ResetUserRoutineState();
  CurrentRun = 0;
  UnitSettingsUsed = 0;
  ProgressDlg = nullptr;
  Converged = 0;
  FactorBlockNumber = 0;
  LastPivotMagnitude = 0;
}

}  // namespace voq

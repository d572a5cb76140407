#pragma once
// Solve Table: the equations solved once per run (row) of the Parametric
// table. In each run the variables whose cell is entered in that row are
// fixed to those values; every other column receives its variable's solved
// value. The compile, the one-unknown pass over the constant equations and
// (while the pattern of entered cells stays the same) the blocking are done
// once for the whole table run; each run restores the saved run state, fixes
// its inputs and solves.
//
// The integral stepping over table columns and the per-run integral table
// belong to the integral subsystem, reached through TableRunHooks (no-ops
// until it installs itself); the optimiser and the uncertainty propagation
// take their turn through the same hooks.
#include <cstdint>
#include <string>

namespace voq {

struct TProgramUnitRecord;

// What the integral subsystem, the optimiser and the uncertainty
// propagation do inside a table run.
class TableRunHooks {
 public:
  virtual ~TableRunHooks() = default;
  // Finds each INTEGRAL term's column over the table (error 71) and clears
  // its accumulators.
  virtual void BindTableIntegrals() {}
  // Advances those terms after a run and snapshots the integral table.
  virtual void AdvanceTableIntegrals() {}
  // Builds the integral table before the runs; false when it failed.
  virtual bool SetUpIntegralTable() { return true; }
  // Assigns the integration variables (UnknownPosition -3).
  virtual void AssignIntegrationVars(TProgramUnitRecord* /*unit*/) {}
  // After a run's block solve while UncertaintyTableMode is set.
  virtual void PropagateUncertaintyForRun(int32_t /*run*/) {}
  // The optimiser's run in place of the block solve while MinMaxMode is
  // set; the caller has set up its counters (MinMaxTableStart).
  virtual void RunMinMax() {}
  virtual void MinMaxTableStart() {}
};
// Installs hooks (not owned); nullptr restores the no-op defaults.
void SetTableRunHooks(TableRunHooks* hooks);
TableRunHooks& TableHooks();

// The choices of the Solve Table dialog.
struct TSolveTableChoices {
  // 0: "All Parametric Tables"; k: the k-th table (tab k - 1).
  int32_t Table = 1;
  int32_t FirstRun = 1;
  int32_t LastRun = 1;
  bool UpdateGuesses = false;
  bool StopOnWarning = false;
  bool UseDiagramInput = false;
};

// The dialog: shows choices (filled by SolveTableDialogDefaults) and lets
// the user change them. False on Cancel.
class SolveTableDialog {
 public:
  virtual ~SolveTableDialog() = default;
  virtual bool Execute(TSolveTableChoices& choices) = 0;
};

// The dialog's starting choices: the shown table, the run range, the
// options (StopOnWarning unchecked without warning messages, the Diagram
// option only when the Diagram window has inputs).
TSolveTableChoices SolveTableDialogDefaults();
// The dialog's OK: the options stored, the chosen table (or every table,
// in tab order, until one ends with an error) solved over its run range.
void SolveTableWithChoices(const TSolveTableChoices& choices);

// The command: the runs FirstRun..LastRun of the shown Parametric table,
// errors reported, windows refreshed.
void RunSolveTable();
// The run loop; leaves CalcErrorCode set when a run failed (the compiler's
// own report is marked by TableCompileFailed). The guesses of every unit
// are the same afterwards as before, whatever the outcome.
void SolveTableRuns();

// Fixes the variables entered in row run (errors 44, 45, 309); the number
// of inputs fixed.
int32_t SetRunInputs(int32_t run);
// Every column variable that the run determined into the run's cells.
void WriteRunResults(int32_t run);
// The column number of the Parametric table that holds the variable; 0 when
// none.
int32_t ColumnOfVariable(int32_t variableIndex);

// The runs that ended with a warning and those whose residuals stayed above
// the tolerance, as the messages show them ("2 5 ").
extern std::string WarnedRunsText;
extern std::string ConstrainedRunsText;

}  // namespace voq

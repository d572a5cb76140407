#pragma once
// The Tolerances dialog's fields, free of Qt: the stop criteria and the
// integration step control shown as texts and step counts, and read back
// from them. The dialog (stop_crit_dlg.h) only moves these values in and
// out of its controls, so the conversions are tested headless.
#include <cstdint>
#include <string>

#include "model/solve_session.h"

namespace voq {

// A spin edit's range: lowest, highest and the step of its arrows.
struct TSpinRange {
  int32_t Low;
  int32_t High;
  int32_t Step;
};
inline constexpr TSpinRange kFixedStepsRange{10, 1000, 10};  // FixedEdit
inline constexpr TSpinRange kIntervalRange{1, 24, 1};        // IntervalEdit
inline constexpr TSpinRange kMinStepsRange{5, 1000, 5};      // MinEdit
inline constexpr TSpinRange kMaxStepsRange{50, 99999, 25};   // MaxEdit

// What the two pages show.
struct TStopCritFields {
  // "Stop Criteria" page, as typed.
  std::string Iters;     // maximum iterations
  std::string RelResid;  // relative residual tolerance
  std::string ChgVars;   // change-in-variables tolerance
  std::string Elapsed;   // maximum elapsed seconds
  // "Integration" page.
  bool Fixed = false;  // FixedRB checked; else VariableRB
  int32_t FixedSteps = 10;
  bool UseRichardson = false;
  int32_t Interval = 1;
  int32_t MinSteps = 5;
  int32_t MaxSteps = 50;
  std::string Halve;   // reduce-step threshold
  std::string Double;  // increase-step threshold
};

// The fields GetStopCritFields may refuse, in the order it reads them.
enum TStopCritField : int {
  kNoBadField = -1,
  kItersField = 0,
  kRelResidField = 1,
  kChgVarsField = 2,
  kElapsedField = 3,
};

// The fields of the records as the dialog opens on them: the tolerances in
// exponential form with 4 digits, each step count the nearest whole number
// to the reciprocal it stands for, kept inside its spin range.
TStopCritFields StopCritFieldsOf(const TStopCriteriaRecord& criteria, const TIntegrationSettings& integration);

// Reads the fields into the records, stopping at the first of Iters,
// RelResid, ChgVars and Elapsed that does not convert: that one is given
// back (the fields before it are already stored, nothing after it is read).
// With all four read, the integration settings follow: the step fraction
// 1/FixedSteps, negated in variable-step mode, where the minimum and maximum
// step counts and the two thresholds are read as well; a threshold that
// does not convert or is not above 0 keeps its old value.
int GetStopCritFields(const TStopCritFields& fields, TStopCriteriaRecord& criteria,
                      TIntegrationSettings& integration);

// Leaving the interval edit: Richardson extrapolation compares steps of one
// interval, so any other interval unticks it.
bool RichardsonAfterInterval(int32_t interval, bool ticked);

// The macro line of an accepted dialog: "StopCrit  It=250  Time=3600
// Res= 1.0E-0006  Var= 1.0E-0009" (the tolerances in the runtime's
// scientific form at the narrowest width).
std::string StopCritMacroLine(const TStopCriteriaRecord& criteria);

// Store: StopCriteria becomes StoredStopCriteria, IntegrationSettings the
// stored preferences' integration fields, and "VOQ.DFT" is written again.
// False when the file could not be written (already reported).
bool StoreStopCriteriaDefaults();

}  // namespace voq

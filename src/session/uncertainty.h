#pragma once
// Propagation of measurement uncertainty: the uncertainty of one calculated
// variable from those of up to 30 measured variables. The equations are
// solved once; each measured variable is then moved up and down by a small
// relative step and the equations solved again, which gives the partial
// derivative d_k of the calculated variable by a central difference; the
// result is U = sqrt(sum (d_k * u_k)^2).
//
// The single calculation (the Uncertainty Propagation command) and the one
// made after each run of a table (PropagateUncertaintyForRun, called by the
// table runs) share the perturbation. The two dialogs, "Determine
// Propagation of Uncertainty" (TUncert) and "Uncertainties of Measured
// Variables" (TMeasuredUncertainties), are models here; their view is an
// UncertaintyDialogView.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/extended.h"

namespace voq {

inline constexpr int32_t kMaxMeasuredVariables = 30;
// UncertaintyKind of a variable that takes no part.
inline constexpr int16_t kNoUncertaintyKind = -32760;

// The choice of variables and the last derivatives (UncertaintySettings),
// stored with documents as 607 bytes.
struct TUncertaintySettingsRecord {
  std::array<uint8_t, 2> Unused0{};
  int32_t CalculatedVariable = 0;
  int32_t MeasuredCount = 0;
  std::array<int32_t, 2> Unused10{};
  std::array<int32_t, kMaxMeasuredVariables + 1> MeasuredVariables{};    // [1..30]
  std::array<Extended, kMaxMeasuredVariables + 1> PartialDerivatives{};  // [1..30]
  std::array<int16_t, kMaxMeasuredVariables + 1> UncertaintyVariables{};  // [1..30], 0 = a number
  std::array<int16_t, kMaxMeasuredVariables + 1> Unused514{};
  std::array<uint8_t, kMaxMeasuredVariables + 1> Unused576{};
  TUncertaintySettingsRecord() { MeasuredVariables.fill(-1); }
};

inline constexpr size_t kStoredUncertaintySettingsSize = 607;
namespace uncertainty_offsets {
inline constexpr size_t CalculatedVariable = 2;
inline constexpr size_t MeasuredCount = 6;
inline constexpr size_t Unused10 = 10;
inline constexpr size_t MeasuredVariables = 18;
inline constexpr size_t PartialDerivatives = 142;
inline constexpr size_t UncertaintyVariables = 452;
inline constexpr size_t Unused514 = 514;
inline constexpr size_t Unused576 = 576;
}  // namespace uncertainty_offsets

void PackUncertaintySettings(const TUncertaintySettingsRecord& s, uint8_t* dst);
void UnpackUncertaintySettings(const uint8_t* src, TUncertaintySettingsRecord& s);

extern TUncertaintySettingsRecord UncertaintySettings;

// Settings back to a new document's; the dialog view forgotten.
void ResetUncertaintyState();

// The value a measured variable at x0 is moved to: x0 * (1 +- 1E-5), or
// x0 +- 1E-5 when |x0| <= 1E-5.
Extended PerturbedValue(Extended x0, bool up);

// The single calculation after the dialog's OK (repeatPass: the one-unknown
// pass must run again because a variable was moved to the measured list).
// Errors are shown and end it; the result is the calculated variable's
// Uncertainty.
void CalculateUncertainty(bool repeatPass);

// The table variant, right after a run's solve (CurrentRun): errors 579
// (a perturbation crosses a bound) and 599 (no value for an uncertainty
// variable in the run) stop the table run. The run's uncertainty goes to
// the Parametric table through ParametricTableAccess::SetRunUncertainty.
void PropagateUncertaintyForRun();

// The variable whose value is the uncertainty of measured variable v (its
// UncertaintyVariables entry), 0 when v is not measured or its uncertainty
// is a number. The table model asks this to mark uncertainty columns.
int32_t UncertaintyColumnVariable(int32_t v);

// --- The dialogs ---------------------------------------------------------------------

// What the user chose in "Determine Propagation of Uncertainty".
struct TUncertChoices {
  int16_t CalculatedVariable = 0;
  // Variables moved from the first list to the measured list (IncludeBtn
  // or dragging), in the order moved.
  std::vector<int16_t> Included;
  // The selected items of the measured list.
  std::vector<int16_t> Measured;
  // Table variant: the run range.
  int32_t FirstRun = 1;
  int32_t LastRun = 1;
};

class TUncert {
 public:
  explicit TUncert(bool tableMode) : TableMode(tableMode) {}
  const bool TableMode;
  int32_t HelpContext = 203;
  std::vector<int16_t> CalculatedList;
  std::vector<int16_t> MeasuredList;
  int16_t CalculatedChoice = 0;
  std::vector<int16_t> MeasuredSelection;
  // "Red variables may be moved to the Measured variables list."
  bool MovableLabelsShown = false;

  void FormActivate();
  // Moves a variable marked by the one-unknown pass to the measured list.
  bool Include(int16_t variable);
  // OK: true when the dialog closes. repeatPass tells the calculation that
  // the one-unknown pass must run again.
  bool OKClick(const TUncertChoices& choices, bool& repeatPass);
  // "Set uncertainties": the measured choice stored without checks.
  void SetUncertBClick(const TUncertChoices& choices);
  // Every main-program variable's MeasuredMark back to 0.
  void FormDestroy();

 private:
  void StoreChoice(const TUncertChoices& choices, bool check, bool& repeatPass, bool& staysOpen);
};

// The grid "Uncertainties of Measured Variables": row k is measured
// variable k; columns 0 name, 1 value, 2 units, 3 absolute and 4 relative
// uncertainty.
class TMeasuredUncertainties {
 public:
  explicit TMeasuredUncertainties(bool tableMode) : TableMode(tableMode) {}
  const bool TableMode;
  int32_t HelpContext = 203;
  int32_t RowCount = 0;
  int32_t StartRow = 1;
  int32_t StartColumn = 3;

  void FormActivate();
  // The text a cell shows.
  std::string CellText(int32_t row, int32_t column) const;
  // The text an edit of the cell starts from.
  std::string EditText(int32_t row, int32_t column) const;
  // Stores an edit; with allBelow (Shift and Ctrl held) rows row.. last.
  void StoreEdit(int32_t row, int32_t column, const std::string& text, bool allBelow);
  // Checks the pending entry (when another cell is chosen, and on OK);
  // false with an error alert shown.
  bool CheckPendingEntry();
  // Clicking column 4 of an absolute row or column 3 of a relative one
  // converts the uncertainty.
  void ClickCell(int32_t row, int32_t column);
  // OK: false (the dialog stays open) when the pending entry is refused or
  // an uncertainty is still unspecified (FocusRow names the first).
  bool OKClick();
  void Cancel();
  int32_t FocusRow = 0;

 private:
  struct Pending {
    int32_t row = 0;
    int32_t column = 0;
    std::string text;
  };
  std::vector<Pending> pending_;
  std::vector<Extended> savedUncertainty_;
  std::vector<uint8_t> savedRelative_;
};

class UncertaintyDialogView {
 public:
  virtual ~UncertaintyDialogView() = default;
  // Shows "Determine Propagation of Uncertainty"; false for Cancel.
  // setUncertainties: the user pressed "Set uncertainties" rather than OK.
  virtual bool Choose(TUncert& dialog, TUncertChoices& choices, bool& setUncertainties) = 0;
  // Shows the grid modally; the view edits through the grid's operations.
  // True for OK.
  virtual bool EditUncertainties(TMeasuredUncertainties& /*grid*/) { return false; }
};

// nullptr: no dialog; the stored choice is taken as it stands.
void SetUncertaintyDialogView(UncertaintyDialogView* view);

// The dialog modally (single or table variant): true when it closed with
// OK; repeatPass as OKClick gives it.
bool ShowUncertaintyDialog(bool tableMode, bool& repeatPass);

// The engine half of the Uncertainty Propagation command: the compile in
// uncertainty mode, the dialog and the calculation.
void RunUncertaintyPropagation();

}  // namespace voq

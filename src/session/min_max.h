#pragma once
// Minimisation and maximisation: a problem with more variables than
// equations is optimised by moving 1 to 10 independent variables inside
// their bounds, solving the remaining equations at every trial point and
// reading the objective variable's value. The search methods are
// min_max_methods.h; this is the settings record stored with documents,
// the degrees-of-freedom check, the "Find Minimum or Maximum" dialog's model
// and the driver RunMinMax with the objective evaluation the methods call.
//
// The dialog's view is reached through MinMaxDialogView: it shows the
// model's lists and texts and hands back what the user chose as a
// TMinMaxChoices record, which the model checks as the OK button does.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/extended.h"
#include "session/min_max_methods.h"

namespace voq {

struct TProgramUnitRecord;

// The optimisation settings (MinMaxSetup), stored with documents as 43 bytes.
struct TMinMaxSettingsRecord {
  uint8_t Maximise = 0;
  int16_t ObjectiveVariable = 0;
  // The limit on solves. Stored in 16 bits; kept wider in memory so that
  // doubling it after the call-limit question cannot overflow (the stored
  // value saturates at 32767).
  int32_t MaxFunctionCalls = 400;
  Extended Tolerance = 1E-4L;
  int16_t IndependentCount = 0;
  std::array<int16_t, kMaxIndependentVariables + 1> IndependentVariables{};  // [1..10]
  // 1: golden section (one variable) or direction set (several);
  // 2: quadratic approximations or variable metric.
  int16_t Method = 2;
  std::array<uint8_t, 4> Unused{};  // carried as read
};

inline constexpr size_t kStoredMinMaxSettingsSize = 43;
namespace min_max_offsets {
inline constexpr size_t Maximise = 0;
inline constexpr size_t ObjectiveVariable = 1;
inline constexpr size_t MaxFunctionCalls = 3;
inline constexpr size_t Tolerance = 5;
inline constexpr size_t IndependentCount = 15;
inline constexpr size_t IndependentVariables = 17;
inline constexpr size_t Method = 37;
inline constexpr size_t Unused = 39;
}  // namespace min_max_offsets

void PackMinMaxSettings(const TMinMaxSettingsRecord& s, uint8_t* dst);
void UnpackMinMaxSettings(const uint8_t* src, TMinMaxSettingsRecord& s);

extern TMinMaxSettingsRecord MinMaxSetup;
// "Show array variables" of the objective list and of the independent list.
extern std::array<uint8_t, 2> MinMaxListOptions;
// Best (smallest) value of objective * MinMaxSign so far, and its point.
extern Extended MinMaxBestValue;
extern Extended MinMaxSign;
extern int32_t MinMaxCallCount;
extern TMinMaxVector MinMaxBestPoint;

// Settings and optimiser globals back to a new document's.
void ResetMinMaxState();
struct TProgressFigures;
// The progress window's grid while optimising: each independent variable's
// name and current value.
void FillIndependentGrid(TProgressFigures& figures);

// Degrees of freedom of the main program (in table mode less the inputs of
// run FirstRun); errors 385 (below 1) and 386 (above 10) with the Debug
// window offered and MinMaxMode cleared. Blocks every unit in any case.
bool CheckMinMaxDegreesOfFreedom(bool tableMode);

// Optimises with MinMaxSetup; CalcErrorCode set on failure. Inside a table
// run (CurrentRun > 0) the table run owns the progress display.
void RunMinMax();

// One solve of the remaining equations with the question after a failure
// to converge (declined: error 58).
void SolveAtPoint();

// The table run's optimiser start: call counter, sign and best value.
void PrepareMinMaxForTableRun();

// --- The dialog ---------------------------------------------------------------------

// What the user chose in the dialog.
struct TMinMaxChoices {
  bool Maximise = false;
  int16_t ObjectiveVariable = 0;
  std::vector<int16_t> Independent;  // the selected items' variables
  std::string MaxCallsText = "400";
  std::string ToleranceText = "1.000E-04";
  bool FirstAlgorithm = false;  // golden section / direction set
  std::array<uint8_t, 2> ShowArrays{1, 1};
  // Table mode.
  int32_t FirstRun = 1;
  int32_t LastRun = 1;
  bool UpdateGuesses = false;
};

// The dialog's model: its texts and lists, and the checks of OK.
class TMinMaxDlg {
 public:
  explicit TMinMaxDlg(bool tableMode) : TableMode(tableMode) {}
  const bool TableMode;
  // Filled by FormActivate.
  std::string Caption = "Find Minimum or Maximum";
  int32_t HelpContext = 46;
  std::string Method1Text, Method2Text, IndependentLabel, SelectLabel;
  std::vector<int16_t> Candidates;  // sorted by upper-case name
  std::vector<std::string> CandidateNames;
  TMinMaxChoices Initial;  // the stored settings as the dialog shows them

  void FormActivate();
  // The names one list shows (array elements only with showArrays).
  std::vector<int16_t> ListItems(bool showArrays) const;
  // The objective chosen: it leaves the independent selection (with a beep)
  // when it is there.
  void ListBox1Click(int16_t objective, std::vector<int16_t>& independent) const;
  // The independent selection changed (focused: the item clicked): with
  // more than DegreesOfFreedom selected, the first other selected item is
  // dropped; the objective cannot be one of them (a beep).
  void ListBox2Click(int16_t objective, int16_t focused, std::vector<int16_t>& independent) const;
  // The OK button: true when the dialog closes with MinMaxMode set. On a
  // refusal the field to correct is named in RefusedField.
  bool OKBtnClick(const TMinMaxChoices& choices);
  std::string RefusedField;
};

// The dialog's view.
class MinMaxDialogView {
 public:
  virtual ~MinMaxDialogView() = default;
  // Shows the dialog; false for Cancel. Called again after OK was refused.
  virtual bool Choose(const TMinMaxDlg& dialog, TMinMaxChoices& choices) = 0;
  // The "Bounds" button's Variable Information dialog over these variables.
  virtual void EditBounds(const std::vector<int16_t>& /*variables*/) {}
};

// The view in use; nullptr (the default) accepts the stored settings as
// they stand, as a distributable program does.
void SetMinMaxDialogView(MinMaxDialogView* view);

// The dialog shown modally: true when it closed with OK.
bool ShowMinMaxDialog(bool tableMode);

// The optimisation in the solve sequence after the read: the degrees of
// freedom, the dialog (not in a distributable program or from the Diagram
// window), the guesses and RunMinMax. False when the sequence ends without
// an optimisation.
bool MinMaxAfterRead();

// The candidate independent variables and objectives: unknowns of the main
// program not determined by a block of their own (with tableMode only
// table columns not entered in run FirstRun), sorted by upper-case name.
std::vector<int16_t> MinMaxCandidates(bool tableMode);

}  // namespace voq

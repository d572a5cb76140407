#pragma once
// Linear regression of table columns: one column (the dependent variable)
// fitted by least squares over a range of rows by a polynomial in up to six
// other columns of the same table, with optional cross terms. The dialog's
// engine half (TLinearRegressionModel) keeps what the dialog shows: the
// chosen table, the two variable lists, the order, the equation form and its
// excluded terms, the fit with its statistics and the texts of the
// statistics dialog. The Qt dialogs draw it and forward input to it.
//
// The fit solves the normal equations A·a = c with
//   A[b][d] = Σ_r f_b(r)·f_d(r),   c[b] = Σ_r y(r)·f_b(r),
// f_t(r) the product of the independents raised to term t's exponents, by
// Gauss-Jordan elimination with full pivoting (RegressionSolve), which also
// leaves the inverse of A for the standard errors of the coefficients.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/extended.h"
#include "output/palette.h"

namespace voq {

class Canvas;

// Terms 0..41 (term 0 the constant); a form needing more is refused.
inline constexpr int32_t kRegressionTermLimit = 42;
inline constexpr int32_t kRegressionMaxIndependents = 6;
inline constexpr int32_t kRegressionMaxOrder = 6;
// The normal matrix has a row stride of 42 elements.
using TRegressionMatrix = std::array<Extended, size_t(kRegressionTermLimit* kRegressionTermLimit)>;
using TRegressionVector = std::array<Extended, size_t(kRegressionTermLimit)>;

// Solves A·x = c for the m × m matrix held in a (row stride 42) in 10-byte
// reals by Gauss-Jordan elimination with full pivoting. On success x holds
// the solution and a the inverse of A. A zero pivot sets error 384, shows
// "Singularity encountered." and returns false.
bool RegressionSolve(TRegressionMatrix& a, int32_t m, TRegressionVector& c, TRegressionVector& x);

// The texts of the statistics dialog.
struct TRegressionStatsTexts {
  std::string Points;    // "No. points = 6"
  std::string Rms;       // "rms = 1.7889E-01"
  std::string Bias;      // "bias = 0.0000E+00"
  std::string RSquared;  // "R^2 = 99.82%"
  // [row][column]: row 0 the header, then one row per term.
  std::vector<std::array<std::string, 3>> Cells;
};

// x in exponent notation with significant digits (d.ddddE+xx), at least
// exponentDigits digits after the exponent's sign.
std::string RegressionExponentText(Extended x, int32_t significant, int32_t exponentDigits);

class TLinearRegressionModel {
 public:
  // --- Choice of the table -----------------------------------------------------
  int32_t TableKind = 1;
  // The tab last chosen for each kind, [1..4] (0-based tab index).
  std::array<int32_t, 5> RememberedTab{};
  // WhichTableBox: the kinds of the table windows that exist, in kind order,
  // and their captions; WindowIndex the chosen entry.
  std::vector<int32_t> WindowKinds;
  std::vector<std::string> WindowCaptions;
  int32_t WindowIndex = -1;
  // TableIDBox: the tables of the chosen window; not shown for the arrays
  // table, nor for an integral window of one table.
  std::vector<std::string> TableIds;
  bool TableIdShown = false;

  // --- Variables and form ------------------------------------------------------
  // Both lists: list position i names the column whose number is i + 1.
  std::vector<std::string> VariableNames;
  int32_t Dependent = -1;
  std::vector<bool> IndependentSelected;
  // The first six selected independents in list order.
  std::vector<int32_t> Independents;
  int32_t Order = 2;
  bool CrossTerms = false;
  // Index of the last term; terms 0..TermCount.
  int32_t TermCount = 0;
  // The form wanted more terms than the limit; terms stopped at the limit.
  bool TermOverflow = false;
  std::array<std::array<int32_t, kRegressionMaxIndependents>, kRegressionTermLimit> Exponents{};
  std::array<bool, kRegressionTermLimit> Excluded{};
  int32_t SelectedTerm = -1;
  std::string EquationText;

  // --- Rows ----------------------------------------------------------------------
  int32_t FirstRow = 1;
  int32_t LastRow = 1;
  int32_t FirstBound = 1;
  int32_t LastBound = 1;
  int32_t RowLow = 1;   // the range the spin edits accept
  int32_t RowHigh = 1;
  int32_t RowOffset = 0;

  // --- Fit -----------------------------------------------------------------------
  TRegressionMatrix Normal{};
  TRegressionVector RightHandSide{};
  TRegressionVector Coefficients{};
  // BlankValue for excluded terms and where rms is undefined.
  TRegressionVector StandardErrors{};
  Extended Bias = 0;
  Extended Rms = 0;       // BlankValue with fewer than three rows
  Extended RSquared = 0;  // BlankValue for a constant dependent column
  int32_t Points = 0;
  bool Fitted = false;

  // --- Controls ------------------------------------------------------------------
  bool FitEnabled = true;
  bool StatsEnabled = false;
  bool ExcludeEnabled = false;
  std::string OkCaption = "Fit";
  std::string CancelCaption = "Cancel";
  std::string ExcludeCaption = "Exclude";

  // The dialog opens over the table windows that exist: fills the table
  // choice, both lists and the rows.
  void Activate();
  // A WhichTableBox or TableIDBox choice (the tab is shown in its window).
  void ChooseWindow(int32_t index);
  void ChooseTable(int32_t tabIndex);
  // A click on the dependent list, and the selection of the independents.
  void ClickDependent(int32_t item);
  void ClickIndependents(const std::vector<bool>& selected);
  void SetOrder(int32_t order);
  void SetCrossTerms(bool on);
  // Builds the equation form (showCoefficients false) or the fitted equation.
  void MakeEqn(bool showCoefficients);
  // Selects term (a click on it; again unselects; -1 a click outside).
  void ClickTerm(int32_t term);
  // The Exclude/Include button.
  void ToggleExclusion();

  // What OkClick did.
  enum TOkOutcome { kOkFitted, kOkCopied, kOkRefused, kOkFocusFirst, kOkFocusLast };
  // "Fit": the limit, the row range check (beep; the view focuses the spin
  // edit named), DoFit; "Copy": the equation text to the clipboard.
  TOkOutcome OkClick();
  // The fit over FirstRow..LastRow; false with the message shown.
  bool DoFit();

  // The statistics dialog's texts and what its Copy to Clipboard puts on the
  // clipboard (message 404 when it cannot).
  TRegressionStatsTexts StatsTexts() const;
  std::string StatsClipboardText() const;
  void CopyStats() const;

  // The equation picture: the text in Arial 10 from (5, 5), blue before a
  // fit and black after, "*" as a middle dot, coefficient subscripts lowered
  // and exponents raised in size 8, a term that would not fit in width
  // continued on a new line 20 pixels lower at x = 25. Before a fit each
  // term's rectangle is kept in TermRects (for clicks), excluded terms are
  // crossed out in red and the selected term is framed. Returns the
  // picture's height (the last line's top + 20).
  int32_t DrawEqn(Canvas& canvas, int32_t width);
  // A click in the picture: the first term rectangle holding it is selected
  // (ClickTerm), a click outside every term unselects.
  void ClickAt(int32_t x, int32_t y);
  std::vector<TRect> TermRects;

  // The coefficient text of term t (before a fit "a" + t).
  std::string CoefficientText(int32_t term, bool showCoefficients) const;

 private:
  void FillTableIds();
  void SetList();
  void SetRows();
  void ResetForTable();
  void ChoiceChanged();
  void SelectIndependents();
};

}  // namespace voq

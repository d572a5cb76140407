#include "tables/linear_regression.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <new>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/number_format.h"
#include "core/numeric_library.h"
#include "language/export_after_run.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "output/canvas.h"
#include "platform/host.h"
#include "platform/platform.h"
#include "tables/table_model.h"
#include "tables/tables_state.h"

namespace voq {

namespace {

constexpr size_t kStride = size_t(kRegressionTermLimit);


void ShowError(int32_t code) {
  SetCalcError(code);
  ShowAlert(GetMessageText(code), kAlertErrorOk, true);
}

TTableForm* FormOfKind(int32_t kind) {
  if (kind < 1 || kind > 4) return nullptr;
  return TableForms[size_t(kind)].get();
}

}  // namespace

bool RegressionSolve(TRegressionMatrix& a, int32_t m, TRegressionVector& c, TRegressionVector& x) {
  if (m < 0 || m > kRegressionTermLimit) return false;
  const size_t n = size_t(m);
  std::array<bool, kStride> used{};
  std::array<size_t, kStride> pivotRow{};
  std::array<size_t, kStride> pivotCol{};
  for (size_t step = 0; step < n; ++step) {
    Extended big = 0;
    size_t row = 0;
    size_t col = 0;
    bool found = false;
    for (size_t j = 0; j < n; ++j) {
      if (used[j]) continue;
      for (size_t k = 0; k < n; ++k) {
        if (used[k]) continue;
        const Extended v = std::fabs(a[j * kStride + k]);
        if (!found || v >= big) {
          big = v;
          row = j;
          col = k;
          found = true;
        }
      }
    }
    used[col] = true;
    if (row != col) {
      for (size_t k = 0; k < n; ++k) std::swap(a[row * kStride + k], a[col * kStride + k]);
      std::swap(c[row], c[col]);
    }
    pivotRow[step] = row;
    pivotCol[step] = col;
    const Extended pivot = a[col * kStride + col];
    if (pivot == 0) {
      ShowError(kMsgSingularity);
      return false;
    }
    const Extended p = 1 / pivot;
    a[col * kStride + col] = 1;
    for (size_t k = 0; k < n; ++k) a[col * kStride + k] *= p;
    c[col] *= p;
    for (size_t j = 0; j < n; ++j) {
      if (j == col) continue;
      const Extended factor = a[j * kStride + col];
      a[j * kStride + col] = 0;
      for (size_t k = 0; k < n; ++k) a[j * kStride + k] -= a[col * kStride + k] * factor;
      c[j] -= c[col] * factor;
    }
  }
  // Undo the row interchanges as column interchanges, last first, so that a
  // holds the inverse of the original matrix.
  for (size_t step = n; step-- > 0;) {
    if (pivotRow[step] == pivotCol[step]) continue;
    for (size_t k = 0; k < n; ++k)
      std::swap(a[k * kStride + pivotRow[step]], a[k * kStride + pivotCol[step]]);
  }
  for (size_t i = 0; i < n; ++i) x[i] = c[i];
  return true;
}

std::string RegressionExponentText(Extended x, int32_t significant, int32_t exponentDigits) {
  if (IsBlank(x) || !std::isfinite(x)) return "*****";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*LE", int(std::max(1, significant) - 1), x);
  std::string text = buffer;
  // printf writes at least two exponent digits; pad or trim to the width.
  const size_t e = text.find('E');
  if (e == std::string::npos || e + 2 > text.size()) return text;
  std::string digits = text.substr(e + 2);
  while (int32_t(digits.size()) > exponentDigits && digits.front() == '0') digits.erase(0, 1);
  while (int32_t(digits.size()) < exponentDigits) digits.insert(0, "0");
  return text.substr(0, e + 2) + digits;
}

// --- Opening and choosing the table ---------------------------------------------

void TLinearRegressionModel::Activate() {
  ExcludeEnabled = false;
  ExcludeCaption = "Exclude";
  CancelCaption = "Cancel";
  OkCaption = "Fit";
  WindowKinds.clear();
  WindowCaptions.clear();
  WindowIndex = -1;
  for (int32_t kind = 1; kind <= 4; ++kind) {
    if (TTableForm* f = FormOfKind(kind)) {
      WindowKinds.push_back(kind);
      WindowCaptions.push_back(f->Caption);
      if (kind == TableKind) WindowIndex = int32_t(WindowKinds.size()) - 1;
    }
  }
  if (WindowKinds.empty()) {
    FitEnabled = false;
    StatsEnabled = false;
    return;
  }
  if (WindowIndex < 0) {
    WindowIndex = 0;
    TableKind = WindowKinds[0];
  }
  FillTableIds();
  ResetForTable();
}

void TLinearRegressionModel::FillTableIds() {
  TableIds.clear();
  TableIdShown = false;
  TTableForm* f = FormOfKind(TableKind);
  if (f == nullptr) return;
  if (TableKind == kArraysTableKind) return;
  TableIds = f->TabCaptions;
  TableIdShown = TableKind != kIntegralTableKind || TableIds.size() >= 2;
  if (TableKind == kParametricTableKind || TableKind == kLookupTableKind) {
    // The first table is chosen, and shown in its window.
    RememberedTab[size_t(TableKind)] = 0;
    if (!TableIds.empty() && f->TabIndex != 0) f->SwitchToTab(0);
  }
}

void TLinearRegressionModel::ResetForTable() {
  SetList();
  SetRows();
  StatsEnabled = false;
  Dependent = VariableNames.empty() ? -1 : 0;
  FitEnabled = true;
  Fitted = false;
  EquationText.clear();
  TermCount = 0;
  TermOverflow = false;
  SelectedTerm = -1;
  Excluded.fill(false);
}

void TLinearRegressionModel::ChooseWindow(int32_t index) {
  if (index < 0 || index >= int32_t(WindowKinds.size())) return;
  WindowIndex = index;
  TableKind = WindowKinds[size_t(index)];
  FillTableIds();
  ChoiceChanged();
}

void TLinearRegressionModel::ChooseTable(int32_t tabIndex) {
  TTableForm* f = FormOfKind(TableKind);
  if (f == nullptr || tabIndex < 0 || tabIndex >= int32_t(TableIds.size())) return;
  RememberedTab[size_t(TableKind)] = tabIndex;
  if (f->TabIndex != tabIndex) f->SwitchToTab(tabIndex);
  ChoiceChanged();
}

void TLinearRegressionModel::ChoiceChanged() {
  Fitted = false;
  SetList();
  SetRows();
  Dependent = -1;
  OkCaption = "Fit";
  CancelCaption = "Cancel";
  FitEnabled = false;
  StatsEnabled = false;
  ExcludeEnabled = false;
  SelectedTerm = -1;
  EquationText.clear();
}

void TLinearRegressionModel::SetList() {
  VariableNames.clear();
  Independents.clear();
  TTableForm* f = FormOfKind(TableKind);
  if (f != nullptr) {
    const int32_t count = TableColumnCounts[size_t(TableKind)];
    for (int32_t number = 1; number <= count; ++number) {
      const TTableColumnRecord* c = FindColumn(f->Columns, number);
      if (c == nullptr) break;
      std::string name = c->Title();
      if (TableKind == kParametricTableKind || TableKind == kIntegralTableKind) {
        const TVariableRecord* v =
            MainProgramUnit != nullptr ? MainProgramUnit->Variable(c->VariableIndex) : nullptr;
        if (v != nullptr) name = v->Name;
      }
      VariableNames.push_back(name);
    }
  }
  IndependentSelected.assign(VariableNames.size(), false);
}

void TLinearRegressionModel::SetRows() {
  const int32_t rows = std::max<int32_t>(0, TableRowCounts[size_t(std::clamp(TableKind, 1, 4))]);
  RowOffset = 0;
  if (TableKind == kParametricTableKind) {
    FirstRow = FirstRun;
    LastRow = LastRun;
    RowLow = 1;
    RowHigh = rows;
  } else if (TableKind == kArraysTableKind) {
    FirstRow = TableRunOffset;
    LastRow = rows + TableRunOffset - 1;
    RowLow = FirstRow;
    RowHigh = LastRow;
    RowOffset = 1 - TableRunOffset;
  } else {
    FirstRow = 1;
    LastRow = rows;
    RowLow = 1;
    RowHigh = rows;
  }
  FirstBound = FirstRow;
  LastBound = LastRow;
}

// --- Variables --------------------------------------------------------------------

void TLinearRegressionModel::ClickDependent(int32_t item) {
  if (item < 0 || item >= int32_t(VariableNames.size())) return;
  Dependent = item;
  FitEnabled = true;
  // A column is never its own regressor.
  if (IndependentSelected[size_t(item)]) {
    IndependentSelected[size_t(item)] = false;
    FitEnabled = false;
  }
  SelectIndependents();
  if (Independents.empty()) FitEnabled = false;
  if (FitEnabled) MakeEqn(false);
}

void TLinearRegressionModel::ClickIndependents(const std::vector<bool>& selected) {
  IndependentSelected.assign(VariableNames.size(), false);
  for (size_t i = 0; i < selected.size() && i < IndependentSelected.size(); ++i)
    IndependentSelected[i] = selected[i];
  SelectIndependents();
  FitEnabled = !Independents.empty();
  if (Dependent >= 0 && IndependentSelected[size_t(Dependent)]) {
    Dependent = -1;
    FitEnabled = false;
  }
  if (Dependent < 0) FitEnabled = false;
  if (FitEnabled) MakeEqn(false);
}

void TLinearRegressionModel::SelectIndependents() {
  Independents.clear();
  for (size_t i = 0; i < IndependentSelected.size(); ++i)
    if (IndependentSelected[i] && Independents.size() < size_t(kRegressionMaxIndependents))
      Independents.push_back(int32_t(i));
}

void TLinearRegressionModel::SetOrder(int32_t order) {
  Order = std::clamp(order, 0, kRegressionMaxOrder);
  if (Dependent >= 0 && !Independents.empty()) {
    FitEnabled = true;
    MakeEqn(false);
  }
}

void TLinearRegressionModel::SetCrossTerms(bool on) {
  CrossTerms = on;
  if (Dependent >= 0 && !Independents.empty()) {
    FitEnabled = true;
    MakeEqn(false);
  }
}

// --- Equation form ----------------------------------------------------------------

std::string TLinearRegressionModel::CoefficientText(int32_t term, bool showCoefficients) const {
  std::string text;
  if (showCoefficients) {
    // Four digits in the automatic style, with five significant digits.
    const int32_t saved = SignificantDigits;
    SignificantDigits = 5;
    text = FormatValue(TDisplayFormat{kStyleAutomatic, 4}, Coefficients[size_t(term)]);
    SignificantDigits = saved;
  } else {
    text = "a" + std::to_string(term);
  }
  if (term > 0 && (text.empty() || text.front() != '-')) text.insert(0, "+");
  return text;
}

void TLinearRegressionModel::MakeEqn(bool showCoefficients) {
  if (!showCoefficients) {
    SelectedTerm = -1;
    ExcludeEnabled = false;
    ExcludeCaption = "Exclude";
    OkCaption = "Fit";
    CancelCaption = "Cancel";
    StatsEnabled = false;
    Fitted = false;
  }
  auto name = [this](int32_t position) {
    return position >= 0 && position < int32_t(VariableNames.size()) ? VariableNames[size_t(position)]
                                                                      : std::string();
  };
  auto power = [](int32_t k) { return k > 1 ? "^" + std::to_string(k) : std::string(); };
  // Excluded terms are left out of a fitted equation; the form shows them all.
  auto written = [&](int32_t term) { return !showCoefficients || !Excluded[size_t(term)]; };

  for (auto& e : Exponents) e.fill(0);
  TermCount = 0;
  TermOverflow = false;
  std::string text = name(Dependent) + "=";
  if (written(0)) text += CoefficientText(0, showCoefficients);
  // A new term, or false once the limit is reached.
  auto newTerm = [&]() {
    if (TermCount + 1 >= kRegressionTermLimit) {
      TermOverflow = true;
      return false;
    }
    ++TermCount;
    return true;
  };
  const int32_t count = int32_t(Independents.size());
  for (int32_t p = 0; p < count; ++p) {
    for (int32_t k = 1; k <= Order; ++k) {
      if (!newTerm()) break;
      Exponents[size_t(TermCount)][size_t(p)] = k;
      if (written(TermCount))
        text += CoefficientText(TermCount, showCoefficients) + "*" + name(Independents[size_t(p)]) + power(k);
    }
  }
  if (CrossTerms) {
    for (int32_t p = 0; p < count; ++p)
      for (int32_t k = 1; k <= Order - 1; ++k)
        for (int32_t q = p + 1; q < count; ++q)
          for (int32_t l = 1; l <= Order - 1; ++l) {
            if (!newTerm()) break;
            Exponents[size_t(TermCount)][size_t(p)] = k;
            Exponents[size_t(TermCount)][size_t(q)] = l;
            if (written(TermCount))
              text += CoefficientText(TermCount, showCoefficients) + "*" + name(Independents[size_t(p)]) +
                      power(k) + "*" + name(Independents[size_t(q)]) + power(l);
          }
  }
  EquationText = text;
  if (!showCoefficients) Excluded.fill(false);
}

void TLinearRegressionModel::ClickTerm(int32_t term) {
  if (Fitted) return;
  if (term < 0 || term > TermCount || term == SelectedTerm) {
    SelectedTerm = -1;
    ExcludeEnabled = false;
    ExcludeCaption = "Exclude";
    return;
  }
  SelectedTerm = term;
  ExcludeEnabled = true;
  ExcludeCaption = Excluded[size_t(term)] ? "Include" : "Exclude";
}

void TLinearRegressionModel::ToggleExclusion() {
  if (SelectedTerm < 0 || SelectedTerm > TermCount) return;
  Excluded[size_t(SelectedTerm)] = !Excluded[size_t(SelectedTerm)];
  SelectedTerm = -1;
  ExcludeEnabled = false;
  ExcludeCaption = "Exclude";
}

// --- Picture ------------------------------------------------------------------------

int32_t TLinearRegressionModel::DrawEqn(Canvas& canvas, int32_t width) {
  TermRects.clear();
  const std::string& text = EquationText;
  TCanvasFont normal;
  normal.Face = "Arial";
  normal.Height = 13;  // 10 points at 96 pixels per inch
  TCanvasFont small = normal;
  small.Height = 11;  // 8 points
  canvas.SetTextColor(Fitted ? kRgbBlack : kRgbBlue);
  canvas.SetTransparentText(true);
  canvas.SetFont(normal);
  const int32_t hWidth = std::max(1, canvas.TextWidth("h"));
  int32_t x = 5;
  int32_t y = 5;
  int32_t termLeft = -1;
  bool termStart = false;
  auto isSign = [&](size_t i) {
    const char c = text[i];
    if (c == '=') return true;
    if (c != '+' && c != '-') return false;
    // The sign of an exponent in a number (1.5E-3) does not start a term.
    return !(i >= 2 && (text[i - 1] == 'E' || text[i - 1] == 'e') &&
             (std::isdigit(static_cast<unsigned char>(text[i - 2])) || text[i - 2] == '.'));
  };
  auto closeTerm = [&]() {
    if (termLeft >= 0 && !Fitted) TermRects.push_back(TRect{termLeft, y - 2, x, y + 18});
    termLeft = -1;
  };
  auto draw = [&](const std::string& piece, int32_t dy) {
    canvas.TextOut(x, y + dy, piece);
    x += canvas.TextWidth(piece);
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (isSign(i)) {
      closeTerm();
      x += 3;
      size_t next = i + 1;
      while (next < text.size() && !isSign(next)) ++next;
      if (x + int32_t(next - i) * hWidth > width && x > 25) {
        y += 20;
        x = 25;
      }
      draw(std::string(1, c), 0);
      x += 3;
      termLeft = x;
      termStart = true;
      continue;
    }
    if (c == 'a' && termStart && !Fitted) {
      draw("a", 0);
      std::string digits;
      while (i + 1 < text.size() && std::isdigit(static_cast<unsigned char>(text[i + 1]))) digits += text[++i];
      canvas.SetFont(small);
      draw(digits, 5);
      canvas.SetFont(normal);
    } else if (c == '^' && i + 1 < text.size()) {
      canvas.SetFont(small);
      draw(std::string(1, text[++i]), -4);
      canvas.SetFont(normal);
    } else if (c == '*') {
      draw("\xB7", 0);  // the middle dot of Windows-1252
    } else {
      draw(std::string(1, c), 0);
    }
    termStart = false;
  }
  closeTerm();
  if (!Fitted) {
    for (size_t t = 0; t < TermRects.size() && t < Excluded.size(); ++t) {
      if (!Excluded[t]) continue;
      const TRect r{TermRects[t].Left - 1, TermRects[t].Top - 1, TermRects[t].Right + 1, TermRects[t].Bottom + 1};
      canvas.SetPen(kRgbRed, 1);
      canvas.MoveTo(r.Left, r.Top);
      canvas.LineTo(r.Right, r.Bottom);
      canvas.MoveTo(r.Right, r.Top);
      canvas.LineTo(r.Left, r.Bottom);
    }
    if (SelectedTerm >= 0 && SelectedTerm < int32_t(TermRects.size()))
      canvas.FrameRect(TermRects[size_t(SelectedTerm)], kRgbBlack);
  }
  return y + 20;
}

void TLinearRegressionModel::ClickAt(int32_t x, int32_t y) {
  if (Fitted) return;
  for (size_t t = 0; t < TermRects.size(); ++t) {
    const TRect& r = TermRects[t];
    if (x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom) {
      ClickTerm(int32_t(t));
      return;
    }
  }
  ClickTerm(-1);
}

// --- Fit --------------------------------------------------------------------------

TLinearRegressionModel::TOkOutcome TLinearRegressionModel::OkClick() {
  if (Fitted) {
    Platform().SetClipboardText(EquationText);
    return kOkCopied;
  }
  ClearCalcError();
  if (TermCount >= kRegressionTermLimit - 1 || TermOverflow) {
    SetMessageArg(1, "40");
    ShowError(kMsgCoefficientLimit);
    return kOkRefused;
  }
  if (FirstRow < FirstBound || FirstRow > LastBound - 2) {
    Platform().Beep();
    return kOkFocusFirst;
  }
  if (LastRow > LastBound) {
    Platform().Beep();
    return kOkFocusLast;
  }
  return DoFit() ? kOkFitted : kOkRefused;
}

bool TLinearRegressionModel::DoFit() {
  TTableForm* form = FormOfKind(TableKind);
  if (form == nullptr || Dependent < 0 || Independents.empty()) return false;
  int32_t m = TermCount + 1;
  for (int32_t t = 0; t <= TermCount; ++t)
    if (Excluded[size_t(t)]) --m;
  const int32_t n = LastRow - FirstRow + 1;
  if (n < m || n < 1) {
    SetMessageArg(1, std::to_string(m));
    SetMessageArg(2, std::to_string(n));
    ShowError(kMsgFitTooFewPoints);
    return false;
  }
  const TTableColumnRecord* yColumn = FindColumn(form->Columns, Dependent + 1);
  std::vector<const TTableColumnRecord*> xColumns;
  for (int32_t p : Independents) xColumns.push_back(FindColumn(form->Columns, p + 1));

  // The included terms renumbered 0..m-1 in term order.
  std::vector<int32_t> terms;
  for (int32_t t = 0; t <= TermCount; ++t)
    if (!Excluded[size_t(t)]) terms.push_back(t);

  // The rows' values, read once; a blank cell in a used column stops the fit.
  std::vector<Extended> y(static_cast<size_t>(n));
  std::vector<std::vector<Extended>> f(size_t(n), std::vector<Extended>(terms.size()));
  for (int32_t i = 0; i < n; ++i) {
    const int32_t row = FirstRow + i;
    auto value = [&](const TTableColumnRecord* c, int32_t listPosition, Extended& v) {
      v = c != nullptr ? c->Cell(row + RowOffset) : BlankValue;
      if (!IsBlank(v)) return true;
      SetMessageArg(1, std::to_string(row) + ", column " + std::to_string(listPosition + 1));
      ShowError(kMsgMissingRowData);
      return false;
    };
    if (!value(yColumn, Dependent, y[size_t(i)])) return false;
    std::array<Extended, kRegressionMaxIndependents> x{};
    for (size_t p = 0; p < xColumns.size(); ++p)
      if (!value(xColumns[p], Independents[p], x[p])) return false;
    for (size_t b = 0; b < terms.size(); ++b) {
      Extended product = 1;
      for (size_t p = 0; p < xColumns.size(); ++p)
        product *= IntPower(Exponents[size_t(terms[b])][p], x[p]);
      f[size_t(i)][b] = product;
    }
  }

  Normal.fill(0);
  RightHandSide.fill(0);
  const size_t mm = terms.size();
  for (int32_t i = 0; i < n; ++i) {
    const auto& fi = f[size_t(i)];
    for (size_t b = 0; b < mm; ++b) {
      for (size_t d = 0; d < mm; ++d) Normal[b * kStride + d] += fi[b] * fi[d];
      RightHandSide[b] += y[size_t(i)] * fi[b];
    }
  }
  TRegressionVector solution{};
  if (!RegressionSolve(Normal, m, RightHandSide, solution)) return false;

  Coefficients.fill(0);
  StandardErrors.fill(BlankValue);
  for (size_t b = 0; b < mm; ++b) Coefficients[size_t(terms[b])] = solution[b];

  // bias = Σ(ŷ − y)/N, rms = √(Σ(ŷ − y)²/(N − 2)), R² = 100·Σ(ŷ − ȳ)²/Σ(y − ȳ)².
  Extended mean = 0;
  for (Extended v : y) mean += v;
  mean /= n;
  Extended sumError = 0;
  Extended sumSquaredError = 0;
  Extended explained = 0;
  Extended spread = 0;
  for (int32_t i = 0; i < n; ++i) {
    Extended fitted = 0;
    for (size_t b = 0; b < mm; ++b) fitted += solution[b] * f[size_t(i)][b];
    const Extended e = fitted - y[size_t(i)];
    sumError += e;
    sumSquaredError += e * e;
    explained += (fitted - mean) * (fitted - mean);
    spread += (y[size_t(i)] - mean) * (y[size_t(i)] - mean);
  }
  Points = n;
  Bias = sumError / n;
  // Two rows leave no degrees of freedom for rms, and a constant dependent
  // column no spread for R²: those statistics are undefined, not infinite.
  Rms = n > 2 ? std::sqrt(sumSquaredError / (n - 2)) : BlankValue;
  RSquared = spread > 0 ? 100 * explained / spread : BlankValue;
  for (size_t b = 0; b < mm; ++b) {
    const Extended d = Normal[b * kStride + b];
    if (!IsBlank(Rms) && d >= 0) StandardErrors[size_t(terms[b])] = std::sqrt(d) * Rms;
  }

  Fitted = true;
  OkCaption = "Copy";
  CancelCaption = "Done";
  SelectedTerm = -1;
  ExcludeEnabled = false;
  MakeEqn(true);
  StatsEnabled = true;
  return true;
}

// --- Statistics dialog ---------------------------------------------------------------

TRegressionStatsTexts TLinearRegressionModel::StatsTexts() const {
  TRegressionStatsTexts s;
  s.Points = "No. points = " + std::to_string(Points);
  s.Rms = "rms = " + RegressionExponentText(Rms, 5, 2);
  s.Bias = "bias = " + RegressionExponentText(Bias, 5, 2);
  if (IsBlank(RSquared)) {
    s.RSquared = "R^2 = *****";
  } else {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2Lf", RSquared);
    s.RSquared = "R^2 = " + std::string(buffer) + "%";
  }
  s.Cells.push_back({"", "         Value", "     Std. Error"});
  for (int32_t t = 0; t <= TermCount; ++t) {
    std::array<std::string, 3> row{"    a" + std::to_string(t), "  *****", "  *****"};
    if (!Excluded[size_t(t)]) {
      row[1] = "  " + RegressionExponentText(Coefficients[size_t(t)], 7, 2);
      row[2] = "  " + RegressionExponentText(StandardErrors[size_t(t)], 7, 2);
    }
    s.Cells.push_back(row);
  }
  return s;
}

std::string TLinearRegressionModel::StatsClipboardText() const {
  const TRegressionStatsTexts s = StatsTexts();
  std::string text;
  for (size_t r = 1; r < s.Cells.size(); ++r) text += s.Cells[r][1] + "\t" + s.Cells[r][2] + "\r\n";
  return text;
}

void TLinearRegressionModel::CopyStats() const {
  std::string text;
  try {
    text = StatsClipboardText();
  } catch (const std::bad_alloc&) {
    ShowAlert(GetMessageText(kMsgCopyMemory), kAlertErrorOk, true);
    return;
  }
  Platform().SetClipboardText(text);
}

}  // namespace voq

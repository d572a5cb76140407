#include "solver/lookup_interpolation.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/number_format.h"
#include "model/warnings_window.h"

namespace voq {

namespace {

constexpr Extended kErrorResult = -999.0L;


// Signs with 0 counted as positive, as the bracketing compares them.
bool NonNegative(Extended v) { return v >= 0; }

std::string ValueText(Extended x) {
  return FormatValue(TDisplayFormat{kStyleAutomatic, static_cast<int16_t>(SignificantDigits)}, x);
}

std::string NameOf(const TInterpolationTable& table, int32_t column) {
  return table.ColumnName ? table.ColumnName(column) : std::string();
}

}  // namespace

TBracket FindBracketRow(const TInterpolationTable& table, int32_t independentColumn, int32_t dependentColumn,
                        int32_t order, Extended x) {
  const int32_t rows = table.RowCount;
  TBracket result{1, rows};
  if (rows < 1) return result;
  auto cell = [&](int32_t row) { return table.Cell(independentColumn, row); };

  int32_t r = 1;
  Extended f = cell(r);
  while (CalcErrorCode == 0 && IsBlank(f) && rows - r >= order + 2) f = cell(++r);
  if (CalcErrorCode != 0) return result;
  result.Row = r;

  // The last filled row bounds the window even when x is the first value.
  int32_t m = rows;
  Extended u = cell(m);
  while (CalcErrorCode == 0 && IsBlank(u) && m - r >= order + 2) u = cell(--m);
  if (CalcErrorCode != 0) return result;
  result.LastRow = m;
  if (f == x) return result;
  if (u == x) {
    result.Row = m;
    return result;
  }

  const bool lowSide = NonNegative(f - x);
  if (lowSide == NonNegative(u - x)) {
    // x is outside the ends; a column that turns back may still cross it.
    int32_t k = r + 1;
    for (; k <= m - 1; ++k) {
      const Extended v = cell(k);
      if (CalcErrorCode != 0) return result;
      if (NonNegative(v - x) != lowSide) break;
    }
    if (k <= m - 1) {
      r = k - 1;
      m = k;
    } else {
      if (std::fabs(f - x) >= std::fabs(u - x)) {
        r = m;
      } else {
        m = r;
      }
      SetMessageArg(1, NameOf(table, dependentColumn));
      SetMessageArg(2, table.Label);
      SetMessageArg(3, NameOf(table, independentColumn));
      SetMessageArg(4, ValueText(x));
      AddWarning(GetMessageText(kMsgLookupExtrapolation));
    }
  } else {
    while (m - r > 1) {
      const int32_t mid = (r + m) / 2;
      const Extended v = cell(mid);
      if (CalcErrorCode != 0) return result;
      if (NonNegative(v - x) == lowSide) {
        r = mid;
      } else {
        m = mid;
      }
    }
  }

  // The estimate is taken from the values at the two rows now bracketing x.
  const Extended fr = cell(r);
  const Extended um = cell(m);
  if (CalcErrorCode != 0) return result;
  Extended p = static_cast<Extended>(r);
  if (std::fabs(um - fr) > 1e-20L) p = r + (m - r) * (x - fr) / (um - fr);
  p = std::clamp(p, static_cast<Extended>(std::min(r, m)), static_cast<Extended>(std::max(r, m)));
  result.Row = static_cast<int32_t>(p);
  return result;
}

Extended InterpolateInTable(const TInterpolationTable& table, int32_t type, const TBracket& bracket,
                            int32_t independentColumn, int32_t dependentColumn, Extended x, bool reciprocal) {
  const int32_t rows = bracket.LastRow;
  const int32_t b = bracket.Row;
  int32_t n = 0;
  int32_t h = std::max(1, b - 1);
  switch (type) {
    case kInterpolateLinear:
    case kDifferentiateLinear:
      n = 2;
      h = (b >= rows) ? b - 1 : b;
      break;
    case kInterpolateQuadratic:
    case kDifferentiateQuadratic:
      n = 3;
      if (rows - b < 2) h = rows - 2;
      break;
    case kInterpolateCubic:
    case kDifferentiateCubic:
      n = 4;
      if (rows <= 4) {
        MessageHelpContext = 183;
        SetCalcError(kMsgCubicInterpolationRows, "5");
        return kErrorResult;
      }
      if (rows - b < 3) h = rows - 3;
      break;
    default:
      SetCalcError(kMsgDivisionByZero);
      return kErrorResult;
  }
  // A table shorter than the window: fewer points, never rows beyond it.
  n = std::min(n, rows);
  h = std::clamp(h, 1, std::max(1, rows - n + 1));
  if (n < 1 || (type >= kDifferentiateLinear && n < 2)) {
    SetCalcError(kMsgDivisionByZero);
    return kErrorResult;
  }

  std::array<Extended, 4> xa{};
  std::array<Extended, 4> ya{};
  for (int32_t i = 0; i < n; ++i) {
    xa[i] = table.Cell(independentColumn, h + i);
    if (CalcErrorCode == 0) ya[i] = table.Cell(dependentColumn, h + i);
    if (CalcErrorCode == kMsgNonNumericTableValue || (CalcErrorCode == 0 && (IsBlank(xa[i]) || IsBlank(ya[i])))) {
      SetMessageArg(1, NameOf(table, dependentColumn));
      SetMessageArg(2, NameOf(table, independentColumn));
      SetMessageArg(3, IsBlank(xa[i]) ? std::string() : ValueText(xa[i]));
      SetMessageArg(4, table.Label);
      SetCalcError(kMsgDataNotProvided);
      return kErrorResult;
    }
    if (CalcErrorCode != 0) return kErrorResult;
  }

  if (type <= kInterpolateCubic) {
    // Neville's scheme: c and d are the corrections of the tableau; the path
    // starts at the point nearest to x and goes up or down so as to stay
    // centred on x.
    std::array<Extended, 4> c = ya;
    std::array<Extended, 4> d = ya;
    int32_t ns = 0;
    Extended best = std::fabs(x - xa[0]);
    for (int32_t i = 1; i < n; ++i) {
      const Extended dist = std::fabs(x - xa[i]);
      if (dist < best) {
        best = dist;
        ns = i;
      }
    }
    Extended y = ya[ns];
    --ns;  // index of the last point consumed, -1 before the first
    for (int32_t mcol = 1; mcol < n; ++mcol) {
      for (int32_t i = 0; i < n - mcol; ++i) {
        const Extended ho = xa[i] - x;
        const Extended hp = xa[i + mcol] - x;
        const Extended w = c[i + 1] - d[i];
        const Extended den = ho - hp;
        if (den == 0) {
          SetCalcError(kMsgDivisionByZero);
          return kErrorResult;
        }
        d[i] = hp * w / den;
        c[i] = ho * w / den;
      }
      // 1-based position of the path is ns + 1.
      const Extended dy = (2 * (ns + 1) < n - mcol) ? c[ns + 1] : d[ns--];
      y += dy;
    }
    return y;
  }

  // Coefficients of the interpolating polynomial from the master polynomial
  // P(t) = prod (t - x_i): c_k = sum_j y_j [P(t)/(t - x_j)]_k / P'(x_j).
  std::array<Extended, 4> s{};
  std::array<Extended, 4> cof{};
  s[n - 1] = -xa[0];
  for (int32_t i = 1; i < n; ++i) {
    for (int32_t j = n - 1 - i; j < n - 1; ++j) s[j] -= xa[i] * s[j + 1];
    s[n - 1] -= xa[i];
  }
  for (int32_t j = 0; j < n; ++j) {
    Extended phi = n;
    for (int32_t k = n - 1; k >= 1; --k) phi = k * s[k] + xa[j] * phi;
    if (phi == 0) {
      SetCalcError(kMsgDivisionByZero);
      return kErrorResult;
    }
    const Extended ff = ya[j] / phi;
    Extended bb = 1;
    for (int32_t k = n - 1; k >= 0; --k) {
      cof[k] += bb * ff;
      bb = s[k] + xa[j] * bb;
    }
  }
  Extended derivative = 0;
  Extended power = 1;
  for (int32_t k = 1; k < n; ++k) {
    derivative += k * cof[k] * power;
    power *= x;
  }
  if (!reciprocal) return derivative;
  if (derivative == 0) {
    SetCalcError(kMsgDivisionByZero);
    return kErrorResult;
  }
  return 1 / derivative;
}

}  // namespace voq

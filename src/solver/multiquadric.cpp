#include "solver/multiquadric.h"

#include <cmath>
#include <new>
#include <utility>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "model/lookup_table_access.h"
#include "model/warnings_window.h"

namespace voq {

namespace {

constexpr Extended kErrorResult = -999.0L;
constexpr int32_t kMinimumPoints = 8;
constexpr int32_t kInterpolate2DHelp = 399;

bool NoError() { return CalcErrorCode <= 0; }

void FewPointsArgs() {
  SetMessageArg(1, std::to_string(kMinimumPoints));
  SetMessageArg(2, "Interpolate2D");
}

// Checks the points and keeps the pointCount nearest to (x, y), ordered by
// their scaled distance.
void SelectNearestPoints(int32_t pointCount, TMultiquadricPoints& p, Extended x, Extended y) {
  int32_t n = int32_t(p.X.size());
  if (n < kMinimumPoints) {
    FewPointsArgs();
    SetCalcErrorWithHelp(kMsgMinimumPoints, kInterpolate2DHelp);
    return;
  }
  auto incomplete = [&](int32_t i) {
    return IsBlank(p.X[size_t(i - 1)]) || IsBlank(p.Y[size_t(i - 1)]) || IsBlank(p.Z[size_t(i - 1)]);
  };
  // Trailing rows not yet filled are not points.
  while (n >= 3 && incomplete(n)) --n;
  Extended xMin = 0, xMax = 0, yMin = 0, yMax = 0;
  for (int32_t i = 1; i <= n; ++i) {
    if (incomplete(i)) {
      SetCalcError(kMsgMissingRowData, std::to_string(i));
      return;
    }
    const Extended xi = p.X[size_t(i - 1)];
    const Extended yi = p.Y[size_t(i - 1)];
    if (i == 1 || xi < xMin) xMin = xi;
    if (i == 1 || xi > xMax) xMax = xi;
    if (i == 1 || yi < yMin) yMin = yi;
    if (i == 1 || yi > yMax) yMax = yi;
  }
  if (xMax - xMin == 0) {
    SetCalcError(kMsgNoVariability, p.XName);
    return;
  }
  if (yMax - yMin == 0) {
    SetCalcError(kMsgNoVariability, p.YName);
    return;
  }
  p.X.resize(size_t(n));
  p.Y.resize(size_t(n));
  p.Z.resize(size_t(n));
  if (pointCount < kMinimumPoints) {
    pointCount = kMinimumPoints;
    FewPointsArgs();
    AddWarning(GetMessageText(kMsgMinimumPoints));
  }
  if (n <= pointCount) return;
  std::vector<Extended> d(size_t(n) + 1);
  std::vector<int16_t> index(size_t(n) + 1);
  for (int32_t i = 1; i <= n; ++i) {
    index[size_t(i)] = int16_t(i);
    const Extended dx = (x - p.X[size_t(i - 1)]) / (xMax - xMin);
    const Extended dy = (y - p.Y[size_t(i - 1)]) / (yMax - yMin);
    d[size_t(i)] = dx * dx + dy * dy;
  }
  HeapSortWithIndex(n, d, index);
  TMultiquadricPoints chosen;
  for (int32_t k = 1; k <= pointCount; ++k) {
    const size_t i = size_t(index[size_t(k)] - 1);
    chosen.X.push_back(p.X[i]);
    chosen.Y.push_back(p.Y[i]);
    chosen.Z.push_back(p.Z[i]);
  }
  p.X = std::move(chosen.X);
  p.Y = std::move(chosen.Y);
  p.Z = std::move(chosen.Z);
}

using Matrix = std::vector<std::vector<Extended>>;

// Crout's decomposition with implicit partial pivoting (each row scaled by
// its largest magnitude); rows and columns 0-based, permutation[j] the row
// swapped into place j.
void DecomposeLU(Matrix& a, std::vector<int32_t>& permutation) {
  const int32_t n = int32_t(a.size());
  std::vector<Extended> scale(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) {
    Extended big = 0;
    for (int32_t j = 0; j < n; ++j) big = std::max(big, std::fabs(a[size_t(i)][size_t(j)]));
    if (big == 0) {
      SetCalcError(kMsgSingularity);
      return;
    }
    scale[size_t(i)] = 1 / big;
  }
  for (int32_t j = 0; j < n; ++j) {
    for (int32_t i = 0; i < j; ++i) {
      Extended sum = a[size_t(i)][size_t(j)];
      for (int32_t k = 0; k < i; ++k) sum -= a[size_t(i)][size_t(k)] * a[size_t(k)][size_t(j)];
      a[size_t(i)][size_t(j)] = sum;
    }
    Extended big = 0;
    int32_t pivot = j;
    for (int32_t i = j; i < n; ++i) {
      Extended sum = a[size_t(i)][size_t(j)];
      for (int32_t k = 0; k < j; ++k) sum -= a[size_t(i)][size_t(k)] * a[size_t(k)][size_t(j)];
      a[size_t(i)][size_t(j)] = sum;
      const Extended measure = scale[size_t(i)] * std::fabs(sum);
      if (measure >= big) {  // a tie takes the later row
        big = measure;
        pivot = i;
      }
    }
    if (pivot != j) {
      std::swap(a[size_t(pivot)], a[size_t(j)]);
      scale[size_t(pivot)] = scale[size_t(j)];
    }
    permutation[size_t(j)] = pivot;
    if (a[size_t(j)][size_t(j)] == 0) {
      // Two equal rows of the distance matrix: a point given twice.
      SetCalcError(kMsgInterpolate2DIllegalOperation);
      return;
    }
    const Extended inverse = 1 / a[size_t(j)][size_t(j)];
    for (int32_t i = j + 1; i < n; ++i) a[size_t(i)][size_t(j)] *= inverse;
  }
}

void SubstituteLU(const Matrix& a, const std::vector<int32_t>& permutation, std::vector<Extended>& b) {
  const int32_t n = int32_t(a.size());
  int32_t first = -1;  // the first nonzero element of the permuted right side
  for (int32_t i = 0; i < n; ++i) {
    const int32_t ip = permutation[size_t(i)];
    Extended sum = b[size_t(ip)];
    b[size_t(ip)] = b[size_t(i)];
    if (first >= 0) {
      for (int32_t j = first; j < i; ++j) sum -= a[size_t(i)][size_t(j)] * b[size_t(j)];
    } else if (sum != 0) {
      first = i;
    }
    b[size_t(i)] = sum;
  }
  for (int32_t i = n - 1; i >= 0; --i) {
    Extended sum = b[size_t(i)];
    for (int32_t j = i + 1; j < n; ++j) sum -= a[size_t(i)][size_t(j)] * b[size_t(j)];
    b[size_t(i)] = sum / a[size_t(i)][size_t(i)];
  }
}

}  // namespace

namespace {

template <typename Index>
void HeapSortWithIndexOf(int32_t n, std::vector<Extended>& a, std::vector<Index>& b) {
  if (n < 2 || int32_t(a.size()) <= n || int32_t(b.size()) <= n) return;
  int32_t l = n / 2 + 1;
  int32_t ir = n;
  for (;;) {
    double t = 0;
    Index u = 0;
    if (l > 1) {
      --l;
      t = double(a[size_t(l)]);
      u = b[size_t(l)];
    } else {
      t = double(a[size_t(ir)]);
      u = b[size_t(ir)];
      a[size_t(ir)] = a[1];
      b[size_t(ir)] = b[1];
      if (--ir == 1) {
        a[1] = t;
        b[1] = u;
        return;
      }
    }
    int32_t i = l;
    int32_t j = l + l;
    while (j <= ir) {
      if (j < ir && a[size_t(j)] < a[size_t(j + 1)]) ++j;
      if (t < a[size_t(j)]) {
        a[size_t(i)] = a[size_t(j)];
        b[size_t(i)] = b[size_t(j)];
        i = j;
        j += j;
      } else {
        j = ir + 1;
      }
    }
    a[size_t(i)] = t;
    b[size_t(i)] = u;
  }
}

}  // namespace

void HeapSortWithIndex(int32_t n, std::vector<Extended>& a, std::vector<int16_t>& b) { HeapSortWithIndexOf(n, a, b); }

void HeapSortWithIndex(int32_t n, std::vector<Extended>& a, std::vector<int32_t>& b) { HeapSortWithIndexOf(n, a, b); }

Extended InterpolateMultiquadric(TMultiquadricPoints p, int32_t pointCount, Extended x, Extended y) {
  try {
    SelectNearestPoints(pointCount, p, x, y);
    if (!NoError()) return kErrorResult;
    const size_t n = p.X.size();
    Matrix d(n, std::vector<Extended>(n, 0));
    for (size_t i = 0; i < n; ++i) {
      for (size_t k = i + 1; k < n; ++k) {
        d[i][k] = d[k][i] = std::sqrt((p.X[i] - p.X[k]) * (p.X[i] - p.X[k]) + (p.Y[i] - p.Y[k]) * (p.Y[i] - p.Y[k]));
      }
    }
    std::vector<Extended> weights = p.Z;
    std::vector<int32_t> permutation(n);
    DecomposeLU(d, permutation);
    if (!NoError()) return kErrorResult;
    SubstituteLU(d, permutation, weights);
    Extended sum = 0;
    for (size_t i = 0; i < n; ++i)
      sum += weights[i] * std::sqrt((p.X[i] - x) * (p.X[i] - x) + (p.Y[i] - y) * (p.Y[i] - y));
    return sum;
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
    return kErrorResult;
  }
}

Extended Interpolate2DMultiquadric(int32_t tableId, int32_t pointCount, int32_t xColumn, int32_t yColumn,
                                   int32_t zColumn, Extended x, Extended y) {
  LookupTableAccess& tables = LookupTables();
  TLookupTableInfo info;
  if (!tables.Describe(tableId, info)) return kErrorResult;
  TMultiquadricPoints p;
  const int32_t columns[3] = {xColumn, yColumn, zColumn};
  std::vector<Extended>* blocks[3] = {&p.X, &p.Y, &p.Z};
  for (int32_t k = 0; k < 3; ++k) {
    const int32_t c = columns[k];
    if (c < 1 || c > info.Columns) {
      SetMessageArg(1, std::to_string(c));
      SetMessageArg(2, tables.TableName(tableId));
      SetCalcError(kMsgTableColumnRange);
      return kErrorResult;
    }
    blocks[k]->resize(size_t(std::max(info.Rows, 0)));
    for (int32_t r = 1; r <= info.Rows; ++r) {
      (*blocks[k])[size_t(r - 1)] = tables.Cell(tableId, c, r, kLookupNumeric);
      if (CalcErrorCode > 0) return kErrorResult;
    }
  }
  p.XName = tables.ColumnName(tableId, xColumn);
  p.YName = tables.ColumnName(tableId, yColumn);
  return InterpolateMultiquadric(std::move(p), pointCount, x, y);
}

}  // namespace voq

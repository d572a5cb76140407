#include "solver/sparse_lu.h"

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "core/messages.h"
#include "platform/host.h"
#include "solver/blocking.h"
#include "sparse_test_support.h"

namespace voq {
namespace {

using test::ResetCalcState;
using test::SparseMatrixUnit;

class SparseLuTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetCalcState(); }
  void TearDown() override { ResetCalcState(); }
  ScriptedPlatform platform;
  ScopedPlatform scoped{platform};
};

// Fills a dense pattern: zero entries of the table are left out of the structure.
void FillDense(SparseMatrixUnit& m, const std::vector<std::vector<long double>>& a) {
  for (size_t r = 0; r < a.size(); ++r) {
    for (size_t c = 0; c < a[r].size(); ++c) {
      if (a[r][c] != 0) m.Set(static_cast<int>(r + 1), static_cast<int>(c + 1), a[r][c]);
    }
  }
}

struct SmallSystemCase {
  const char* name;
  std::vector<std::vector<long double>> a;
  std::vector<long double> b;
  std::vector<long double> x;  // solved by hand
};
// Test lists show the case's name, not its bytes.
void PrintTo(const SmallSystemCase& c, std::ostream* os) { *os << c.name; }

// Each right-hand side is worked out by hand from the chosen solution (or
// the system solved by substitution), so the expected values do not come
// from the code under test.
class SmallSystems : public SparseLuTest, public ::testing::WithParamInterface<SmallSystemCase> {};

TEST_P(SmallSystems, SolveGivesTheHandSolution) {
  const SmallSystemCase& c = GetParam();
  const int n = static_cast<int>(c.b.size());
  SparseMatrixUnit m(n);
  FillDense(m, c.a);
  std::vector<long double> v(n + 1, 0);
  for (int i = 0; i < n; ++i) v[i + 1] = c.b[i];
  SolveSparseSystem(m.unit, v.data());
  ASSERT_EQ(CalcErrorCode, 0);
  for (int i = 0; i < n; ++i) EXPECT_NEAR(static_cast<double>(v[i + 1]), static_cast<double>(c.x[i]), 1e-15) << i;
  EXPECT_TRUE(WarningLines().empty());
}

INSTANTIATE_TEST_SUITE_P(
    HandSolved, SmallSystems,
    ::testing::Values(
        // 4 d = 8.
        SmallSystemCase{"OneByOne", {{4}}, {8}, {2}},
        // 2x + y = 3, x + 3y = 5: y = 3 - 2x, x + 9 - 6x = 5, x = 4/5, y = 7/5.
        SmallSystemCase{"TwoByTwo", {{2, 1}, {1, 3}}, {3, 5}, {0.8L, 1.4L}},
        // y = 2, x = 3: a zero diagonal needs a row exchange.
        SmallSystemCase{"CrossedPair", {{0, 1}, {1, 0}}, {2, 3}, {3, 2}},
        // x = (1, 2, 3): 2*2+3 = 7, 1 = 1, 3*1+2 = 5; no entry on the first diagonal.
        SmallSystemCase{"NeedsPivoting", {{0, 2, 1}, {1, 0, 0}, {3, 1, 0}}, {7, 1, 5}, {1, 2, 3}},
        // x = (1, 2, 3) with fill-in at (2, 2): 4+2 = 6, 1+9 = 10, 4+15 = 19.
        SmallSystemCase{"FillIn", {{4, 1, 0}, {1, 0, 3}, {0, 2, 5}}, {6, 10, 19}, {1, 2, 3}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SparseLuTest, OneByOneLeavesTheReciprocalPivotInTheEntry) {
  SparseMatrixUnit m(1);
  TOccurrenceRecord* e = m.Set(1, 1, 4);
  long double v[2] = {0, 8};
  SolveSparseSystem(m.unit, v);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(v[1], 2.0L);
  EXPECT_EQ(e->Value, 0.25L);
  EXPECT_EQ(LastPivotMagnitude, 4.0L);
}

// [[1, 2], [3, 4]]: both rows have two entries, so row 2 (the higher row) is
// taken first; its candidates 3 and 4 have columns of equal length and the
// later one, 4, is the pivot. Then l = 2/4 = 0.5 and a(1,1) = 1 - 0.5*3 = -0.5.
// Factors by hand: (2,2) = 1/4, (2,1) = 3/4 (U scaled by the pivot),
// (1,2) = 0.5 (multiplier), (1,1) = 1/(-0.5) = -2.
TEST_F(SparseLuTest, TiesGoToTheLaterEntryAndFactorsStayInTheEntries) {
  SparseMatrixUnit m(2);
  FillDense(m, {{1, 2}, {3, 4}});
  long double v[3] = {0, 5, 11};  // x = (1, 2)
  SolveSparseSystem(m.unit, v);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(v[1], 1.0L);
  EXPECT_EQ(v[2], 2.0L);
  EXPECT_EQ(m.Find(1, 1)->Value, -2.0L);
  EXPECT_EQ(m.Find(1, 2)->Value, 0.5L);
  EXPECT_EQ(m.Find(2, 1)->Value, 0.75L);
  EXPECT_EQ(m.Find(2, 2)->Value, 0.25L);
  EXPECT_EQ(LastPivotMagnitude, 0.5L);
  // Rows and columns are back at their positions.
  for (int r = 1; r <= 2; ++r) {
    for (TOccurrenceRecord* e = m.unit.RowHeads[r]; e; e = e->NextInRow) {
      EXPECT_EQ(e->Row, r);
      EXPECT_EQ(e->Equation, &m.equations[r]);
      EXPECT_EQ(e->Column, e->Variable);
    }
  }
}

// Tridiagonal second-difference matrix (-2 on the diagonal, 1 beside it) with
// a chosen integer solution; b = A·x is exact, so the solve must give x back.
TEST_F(SparseLuTest, TridiagonalSystemReturnsTheChosenSolution) {
  const int n = 1000;
  SparseMatrixUnit m(n);
  std::vector<long double> x(n + 2, 0), v(n + 1, 0);
  for (int i = 1; i <= n; ++i) x[i] = 1 + (i * 7) % 11;
  for (int i = 1; i <= n; ++i) {
    if (i > 1) m.Set(i, i - 1, 1);
    m.Set(i, i, -2);
    if (i < n) m.Set(i, i + 1, 1);
    v[i] = x[i - 1] - 2 * x[i] + x[i + 1];
  }
  SolveSparseSystem(m.unit, v.data());
  ASSERT_EQ(CalcErrorCode, 0);
  for (int i = 1; i <= n; ++i) ASSERT_NEAR(static_cast<double>(v[i]), static_cast<double>(x[i]), 1e-9) << i;
  // The fill-reducing row order breaks the band at one place: one fill-in at
  // most, never a column that grows by a row per step.
  EXPECT_LE(m.EntryCount(), 3 * n - 1);
}

// The same second-difference chain as the solver meets it: entered as the
// compiled equations 2*xi - x(i-1) - x(i+1) = ... enter their variables
// (xi, x(i-1), x(i+1)), then matched and blocked. The blocking leaves the
// chain running backwards: positions 3..n hold equations and variables
// n..3, with both ends of that run joined to positions 1 and 2 (equations 2
// and 1). Eliminating from an end of a chain needs no fill-in in any order:
// measured by its entries in rows not yet pivoted, the column of an end
// row's own variable is always the shorter one. (Counting the rows already
// pivoted as well made it tie with the next column of the chain; the tie
// went to the later, off-diagonal entry, and then every step added fill-in
// to one growing column: hundreds of fill-ins at n = 1,000.)
TEST_F(SparseLuTest, ChainInTheBlockingsOrderFactorisesWithoutFillIn) {
  for (int n : {8, 1000}) {
    SCOPED_TRACE(n);
    SparseMatrixUnit m(n);
    m.unit.EquationCount = static_cast<int16_t>(n);
    // Chosen integer solution; b = A·x is exact.
    std::vector<long double> x(n + 2, 0), b(n + 1, 0);
    for (int i = 1; i <= n; ++i) x[i] = 1 + (i * 5) % 13;
    std::map<const TEquationRecord*, int> equationIndex;
    for (int i = 1; i <= n; ++i) {
      m.Set(i, i, -2);
      if (i > 1) m.Set(i, i - 1, 1);
      if (i < n) m.Set(i, i + 1, 1);
      b[i] = x[i - 1] - 2 * x[i] + x[i + 1];
      equationIndex[&m.equations[i]] = i;
    }
    BlockOccurrenceStructure(m.unit);
    ASSERT_EQ(CalcErrorCode, 0);
    ASSERT_EQ(m.unit.BlockCount, 1);
    // Row position p holds equation E[p], column position p variable V[p].
    std::vector<int> E(n + 1), V(n + 1);
    for (int p = 1; p <= n; ++p) {
      E[p] = equationIndex[m.unit.RowHeads[p]->Equation];
      ASSERT_NE(m.Find(p, p), nullptr) << p;
      V[p] = m.Find(p, p)->Variable;
    }
    for (int p = 3; p <= n; ++p) {
      ASSERT_EQ(E[p], n + 3 - p) << p;
      ASSERT_EQ(V[p], n + 3 - p) << p;
    }

    std::vector<long double> v(n + 1, 0);
    for (int p = 1; p <= n; ++p) v[p] = b[E[p]];
    SolveSparseSystem(m.unit, v.data());
    ASSERT_EQ(CalcErrorCode, 0);
    EXPECT_EQ(m.EntryCount(), 3 * n - 2);
    for (int p = 1; p <= n; ++p) {
      ASSERT_NEAR(static_cast<double>(v[p]), static_cast<double>(x[V[p]]), 1e-9) << p;
    }
  }
}

TEST_F(SparseLuTest, FillInIsCreatedOnceAndReusedByLaterSolves) {
  const std::vector<std::vector<long double>> a = {{4, 1, 0}, {1, 0, 3}, {0, 2, 5}};
  SparseMatrixUnit m(3);
  FillDense(m, a);
  auto values = [&](int r, int c) { return a[r - 1][c - 1]; };
  int entriesAfterFirst = 0;
  for (int pass = 0; pass < 3; ++pass) {
    m.Refill(values);
    long double v[4] = {0, 6, 10, 19};
    SolveSparseSystem(m.unit, v);
    ASSERT_EQ(CalcErrorCode, 0);
    EXPECT_NEAR(static_cast<double>(v[1]), 1, 1e-15);
    EXPECT_NEAR(static_cast<double>(v[2]), 2, 1e-15);
    EXPECT_NEAR(static_cast<double>(v[3]), 3, 1e-15);
    if (pass == 0) entriesAfterFirst = m.EntryCount();
    EXPECT_EQ(m.EntryCount(), entriesAfterFirst);
  }
  // Every pivot order of this pattern (a cycle of three rows of two entries)
  // makes exactly one fill-in entry: no variable, no equation.
  EXPECT_EQ(entriesAfterFirst, 7);
  int fills = 0;
  for (int r = 1; r <= 3; ++r) {
    for (TOccurrenceRecord* e = m.unit.RowHeads[r]; e; e = e->NextInRow) {
      if (e->Variable != 0) continue;
      ++fills;
      EXPECT_EQ(e->Equation, nullptr);
    }
  }
  EXPECT_EQ(fills, 1);
}

// With a memory, later solves of the same block replay the first one's
// pivots. The systems share the cyclic pattern of the test above and the
// solution x = (1, 2, 3), each b worked out by hand. The third makes one
// entry of each row tiny, so only one pivot order passes the threshold;
// the fourth swaps the tiny entries, so that order fails it and the
// factorisation has to search afresh. The fifth adds an entry outside the
// remembered pattern. The factors stay in the memory: no fill-in entry is
// added to the lists.
TEST_F(SparseLuTest, MemoryReplaysThePivotsAndSearchesAgainWhenTheyNoLongerHold) {
  struct Pass {
    std::vector<std::vector<long double>> a;
    std::vector<long double> b;
    int entries;
  };
  const std::vector<Pass> passes = {
      {{{4, 1, 0}, {1, 0, 3}, {0, 2, 5}}, {6, 10, 19}, 6},
      {{{2, 1, 0}, {1, 0, 1}, {0, 3, 1}}, {4, 4, 9}, 6},
      {{{5, 1e-6L, 0}, {1e-6L, 0, 7}, {0, 3, 1e-6L}}, {5 + 2e-6L, 21 + 1e-6L, 6 + 3e-6L}, 6},
      {{{1e-6L, 5, 0}, {7, 0, 1e-6L}, {0, 1e-6L, 3}}, {10 + 1e-6L, 7 + 3e-6L, 9 + 2e-6L}, 6},
      {{{4, 1, 0}, {1, 2, 3}, {0, 2, 5}}, {6, 14, 19}, 7},
  };
  SparseMatrixUnit m(3);
  FillDense(m, passes[0].a);
  SparseLuMemory memory;
  for (size_t i = 0; i < passes.size(); ++i) {
    const Pass& pass = passes[i];
    if (i == 4) m.Set(2, 2, 2);
    m.Refill([&](int r, int c) { return pass.a[r - 1][c - 1]; });
    long double v[4] = {0, pass.b[0], pass.b[1], pass.b[2]};
    SolveSparseSystem(m.unit, v, &memory);
    ASSERT_EQ(CalcErrorCode, 0) << i;
    for (int c = 1; c <= 3; ++c) EXPECT_NEAR(static_cast<double>(v[c]), c, 1e-12) << i << " x" << c;
    EXPECT_EQ(m.EntryCount(), pass.entries) << i;
    EXPECT_NE(memory.factors, nullptr) << i;
  }
  EXPECT_TRUE(WarningLines().empty());
}

struct SingularCase {
  const char* name;
  std::vector<std::vector<long double>> a;
  bool withEquations;
  bool warningsPending;
  int32_t error;
  int markedPosition;  // 0: no equation marked
};
void PrintTo(const SingularCase& c, std::ostream* os) { *os << c.name; }

class SingularSystems : public SparseLuTest, public ::testing::WithParamInterface<SingularCase> {};

// Two equal rows: row 2 pivots on column 2, row 1 is left with 0 in column 1
// and that zero pivot stops step 2, which names the equation at position 2.
// A row whose only column is already taken is pushed back until nothing
// else remains; the step that runs out names position 2 as well.
TEST_P(SingularSystems, GiveTheSingularErrorAndMarkThePosition) {
  const SingularCase& c = GetParam();
  const int n = static_cast<int>(c.a.size());
  SparseMatrixUnit m(n, c.withEquations);
  FillDense(m, c.a);
  WarningsPending = c.warningsPending;
  std::vector<long double> v(n + 1, 1);
  SolveSparseSystem(m.unit, v.data());
  EXPECT_EQ(CalcErrorCode, c.error);
  EXPECT_EQ(MessageHelpContext, 362);
  if (c.markedPosition > 0) {
    EXPECT_EQ(m.unit.LastEquation, &m.equations[c.markedPosition]);
  } else {
    EXPECT_EQ(m.unit.LastEquation, nullptr);
    if (c.warningsPending) {
      EXPECT_EQ(MessageArgs[1], GetMessageText(179));
    } else {
      EXPECT_EQ(MessageArgs[1], "");
    }
  }
  // The structure is left in its positions: every entry still where it was.
  for (int r = 1; r <= n; ++r) {
    for (TOccurrenceRecord* e = m.unit.RowHeads[r]; e; e = e->NextInRow) EXPECT_EQ(e->Row, r);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SingularSystems,
    ::testing::Values(SingularCase{"EqualRows", {{1, 1}, {1, 1}}, true, false, 55, 2},
                      SingularCase{"EmptyColumn", {{1, 0}, {1, 0}}, true, false, 55, 2},
                      SingularCase{"DependentThirdRow", {{1, 2, 0}, {0, 1, 1}, {1, 3, 1}}, true, false, 55, 3},
                      SingularCase{"NoEquationThere", {{1, 1}, {1, 1}}, false, false, 19, 0},
                      SingularCase{"NoEquationWithWarnings", {{1, 1}, {1, 1}}, false, true, 19, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// Row 2's only candidate is 1e-40: the search sets it aside and takes row 1;
// at the next step row 2 is all that is left and its pivot is used, with
// warning 53 naming the block.
TEST_F(SparseLuTest, TinyPivotIsPostponedThenUsedWithWarning53) {
  SparseMatrixUnit m(2);
  m.Set(1, 1, 1);
  m.Set(2, 2, 1e-40L);
  FactorBlockNumber = 7;
  long double v[3] = {0, 3, 2e-40L};
  SolveSparseSystem(m.unit, v);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(v[1], 3.0L);
  EXPECT_NEAR(static_cast<double>(v[2]), 2.0, 1e-15);
  EXPECT_EQ(LastPivotMagnitude, 1e-40L);
  ASSERT_EQ(WarningLines().size(), 1u);
  EXPECT_EQ(WarningLines()[0],
            "The equations in block 7 are nearly singular.  These equations can be viewed in the "
            "Residuals window.  Check to ensure that the problem is formulated correctly.");
  EXPECT_TRUE(WarningsPending);
}

TEST_F(SparseLuTest, PivotsAboveTheTinyLimitGiveNoWarning) {
  SparseMatrixUnit m(1);
  m.Set(1, 1, 1e-34L);
  long double v[2] = {0, 1e-34L};
  SolveSparseSystem(m.unit, v);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_NEAR(static_cast<double>(v[1]), 1.0, 1e-15);
  EXPECT_TRUE(WarningLines().empty());
}

// Blocks whose rows fill up are finished on a dense copy. A full 150-by-150
// matrix with small integer entries and a strong diagonal, b = A·x exact for
// a chosen integer x: the solve gives x back, again after a refill, with no
// entry added the second time. Two equal rows in the same matrix stop with
// the singular error.
TEST_F(SparseLuTest, FullBlocksAreSolvedOnADenseCopy) {
  const int n = 150;
  auto a = [](int r, int c) -> long double { return r == c ? 400 + r : ((r * 7 + c * 3) % 11) - 5; };
  std::vector<long double> x(n + 1);
  for (int i = 1; i <= n; ++i) x[i] = 1 + (i * 5) % 13;
  SparseMatrixUnit m(n);
  for (int r = 1; r <= n; ++r) {
    for (int c = 1; c <= n; ++c) m.Set(r, c, a(r, c));
  }
  int entries = 0;
  for (int pass = 0; pass < 2; ++pass) {
    m.Refill(a);
    std::vector<long double> v(n + 1, 0);
    for (int r = 1; r <= n; ++r) {
      for (int c = 1; c <= n; ++c) v[r] += a(r, c) * x[c];
    }
    SolveSparseSystem(m.unit, v.data());
    ASSERT_EQ(CalcErrorCode, 0);
    for (int i = 1; i <= n; ++i) ASSERT_NEAR(static_cast<double>(v[i]), static_cast<double>(x[i]), 1e-12) << i;
    if (pass == 0) entries = m.EntryCount();
    EXPECT_EQ(m.EntryCount(), entries);
  }
  EXPECT_EQ(entries, n * n);
  EXPECT_TRUE(WarningLines().empty());

  auto twin = [&](int r, int c) { return a(r == n ? n - 1 : r, c); };
  m.Refill(twin);
  std::vector<long double> v(n + 1, 1);
  SolveSparseSystem(m.unit, v.data());
  EXPECT_EQ(CalcErrorCode, 55);
}

// A full block finished on the dense copy, solved three times with a
// memory: the later solves replay the dense part's pivots on values that
// differ from the first ones (each b = A·x exact for an integer x), and no
// entry is added to the lists.
TEST_F(SparseLuTest, DensePartIsReplayedFromTheMemory) {
  const int n = 150;
  std::vector<long double> x(n + 1);
  for (int i = 1; i <= n; ++i) x[i] = 1 + (i * 5) % 13;
  SparseMatrixUnit m(n);
  for (int r = 1; r <= n; ++r) {
    for (int c = 1; c <= n; ++c) m.Set(r, c, 1);
  }
  SparseLuMemory memory;
  for (int pass = 0; pass < 3; ++pass) {
    auto a = [pass](int r, int c) -> long double {
      return r == c ? 400 + r + 10 * pass : ((r * 7 + c * (3 + pass)) % 11) - 5;
    };
    m.Refill(a);
    std::vector<long double> v(n + 1, 0);
    for (int r = 1; r <= n; ++r) {
      for (int c = 1; c <= n; ++c) v[r] += a(r, c) * x[c];
    }
    SolveSparseSystem(m.unit, v.data(), &memory);
    ASSERT_EQ(CalcErrorCode, 0) << pass;
    for (int i = 1; i <= n; ++i) ASSERT_NEAR(static_cast<double>(v[i]), static_cast<double>(x[i]), 1e-12) << pass << " " << i;
    EXPECT_EQ(m.EntryCount(), n * n);
    ASSERT_NE(memory.factors, nullptr);
  }
}

// Only the block's range is touched: rows and columns outside it keep
// their values and positions.
TEST_F(SparseLuTest, WorksOnTheRangeOnly) {
  SparseMatrixUnit m(4);
  m.Set(1, 1, 5);
  m.Set(2, 2, 2);
  m.Set(2, 3, 1);
  m.Set(3, 2, 1);
  m.Set(3, 3, 3);
  m.Set(4, 4, 7);
  m.unit.RangeFirst = 2;
  m.unit.RangeLast = 3;
  // 2y + z = 4, y + 3z = 7: y = 1, z = 2.
  long double v[5] = {0, 99, 4, 7, 99};
  SolveSparseSystem(m.unit, v);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_NEAR(static_cast<double>(v[2]), 1, 1e-15);
  EXPECT_NEAR(static_cast<double>(v[3]), 2, 1e-15);
  EXPECT_EQ(v[1], 99.0L);
  EXPECT_EQ(v[4], 99.0L);
  EXPECT_EQ(m.Find(1, 1)->Value, 5.0L);
  EXPECT_EQ(m.Find(4, 4)->Value, 7.0L);
}

}  // namespace
}  // namespace voq

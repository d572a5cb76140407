#pragma once
// Sparse LU factorisation of a block's Jacobian and the solve of J·d = r.
//
// The Jacobian is the Value of the occurrence entries of the unit's range
// RangeFirst..RangeLast (row positions are equations, column positions
// unknowns). The factorisation works in place: after it an entry of row r in
// a column eliminated before r holds the multiplier l = a/pivot, the pivot
// entry holds 1/pivot and an entry eliminated after r holds the U value
// divided by the row's pivot. Fill-in becomes new entries with Variable 0 and
// no Equation; they stay in the lists, and the next Jacobian sets them to 0.
//
// Pivot rows are taken in a fill-reducing order: COLAMD's column
// approximate-minimum-degree order of the transposed pattern (the equations'
// own entries; two rows: the sparser first). Within a row, among the entries
// of at least a tenth of its largest magnitude, the one whose column has the
// fewest entries in rows not yet pivoted is the pivot (fill-in included; the
// counts are kept as the factorisation goes), the later entry on ties. A row
// whose candidates are all tiny waits behind the next usable row. Once the
// rows still to be pivoted are mostly full, the rest is eliminated on a
// dense copy (largest candidate of each row) and written back, so the cost
// follows the fill rather than the block size.
#include <cstdint>
#include <memory>

#include "core/extended.h"

namespace voq {

struct TProgramUnitRecord;

// Pivots at or below this magnitude are used only when no other row offers
// one; using such a pivot adds warning 53.
inline constexpr Extended kTinyPivot = 1e-35L;

// Factorises the unit's range and overwrites stepVector with the solution.
// stepVector[i] is the element of row position i on entry and of column
// position i on return (element 0 is unused; the vector has room for the
// range). Errors: 55 (singular; the unit's LastEquation is the equation of
// the range's position at which no pivot was found), 19 (singular and that
// position has no equation), 75 (memory), 58 (abort). Warning 53 for a pivot
// below kTinyPivot.
void SolveSparseSystem(TProgramUnitRecord& unit, Extended* stepVector);

// What a factorisation leaves for the next one of the same block: the pivot
// sequence and the pattern of the factors. The Newton iteration of a block
// keeps one for its iterations; their Jacobians share the pattern and change
// little, so the next factorisation replays the pivots on that pattern
// instead of searching again: each pivot must still pass the threshold test
// (a tenth of its row's largest candidate) and lie above kTinyPivot, and
// the row's entries must lie within the pattern. Otherwise the factorisation
// starts afresh and its pivots are kept instead. With a memory the factors
// stay in it rather than in the entries, and no fill-in entries are added
// to the lists (the entries keep their derivatives). The memory holds no
// entries, only positions, steps and values.
class SparseLuMemory {
 public:
  SparseLuMemory();
  ~SparseLuMemory();
  SparseLuMemory(const SparseLuMemory&) = delete;
  SparseLuMemory& operator=(const SparseLuMemory&) = delete;
  // Forgets the pivots: the next factorisation searches afresh.
  void Clear();
  struct Factors;
  std::unique_ptr<Factors> factors;
};

// SolveSparseSystem with the previous factorisation's pivots; memory may be
// null (no replay, nothing kept).
void SolveSparseSystem(TProgramUnitRecord& unit, Extended* stepVector, SparseLuMemory* memory);

}  // namespace voq

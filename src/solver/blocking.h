#pragma once
// Structural analysis of the equations left for the simultaneous solver:
// which unknown occurs in which equation, a pairing of every equation with
// one unknown (so that each row has its variable on the diagonal), and the
// split into the smallest groups of equations that must be solved together,
// ordered so that each block needs only variables of itself and of earlier
// blocks. Block numbers are what the user sees in messages, so the order in
// which blocks are found is kept exactly.
#include <cstdint>

namespace voq {

struct TProgramUnitRecord;

// The limit of the block solver: unknowns of one unit.
inline constexpr int32_t kMaxBlockUnknowns = 10000;

// Error 26 (shown) when the current unit has more than 10,000 unknowns;
// otherwise frees the old lists and blocks every unit that owns block
// arrays, stopping at the first error. Leaves CurrentProgramUnit at the main
// program.
void BlockAllUnits();

// Blocks CurrentProgramUnit: builds the occurrence lists from its equations,
// matches, finds the blocks, numbers equations and variables by block,
// permutes the structure into block order and, for a balanced set, splits
// the rows so each block holds only its own columns.
void BlockProgramUnit();

// Frees every entry of every unit's lists; CurrentProgramUnit := main program.
void FreeOccurrenceLists();

// The steps of BlockProgramUnit on the unit's existing lists (positions
// 1..UnknownCount), for callers and tests that build the lists themselves:
// matching, blocks, numbering, permutation and split.
void BlockOccurrenceStructure(TProgramUnitRecord& unit);

}  // namespace voq

#include "solver/sparse_lu.h"

#include <colamd.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <limits>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "model/occurrence_lists.h"
#include "model/program_units.h"
#include "model/solve_session.h"
#include "model/warnings_window.h"
#include "platform/host.h"
#include "solver/checked_array.h"
#include "solver/progress.h"
#include "solver/solver_state.h"

namespace voq {

// The pivot sequence and the factors' pattern of a block's last successful
// factorisation, by step numbered from 0 (step k of the range is
// first + k), with the values of the last replay.
struct SparseLuMemory::Factors {
  const TProgramUnitRecord* unit = nullptr;
  int first = 0, last = 0;
  // Row and column position (from first) of each step, and the step of
  // each column position.
  std::vector<int> stepRow, stepColumn, columnStep;
  // Per step: the earlier steps whose multipliers the row holds (ascending),
  // and the later steps of its U entries.
  std::vector<int> lStart, lStep, uStart, uStep;
  // The multipliers, the U entries (not yet divided by the pivot) and the
  // pivots.
  std::vector<Extended> lValue, uValue, pivot;
  // The steps from denseFirst on were eliminated on the dense copy: each of
  // their rows holds every later step as U entries (ascending, so row j's U
  // value of step t is at uStart[j] + t - j - 1) and every step from
  // denseFirst up to its own as multipliers, last in its list. m when there
  // is no dense part.
  int denseFirst = 0;
};

SparseLuMemory::SparseLuMemory() = default;
SparseLuMemory::~SparseLuMemory() = default;
void SparseLuMemory::Clear() { factors.reset(); }

namespace {

constexpr int kHelpSingular = 362;

template <typename T>
std::unique_ptr<T[]> AllocateRaw(size_t count) {
  return std::unique_ptr<T[]>(new (std::nothrow) T[count]);
}

// The checked allocation of the program: the failure is error 75, shown at once.
void ReportAllocationFailure() {
  ReportOutOfMemory();
  ShowAlert(GetMessageText(kMsgOutOfMemory), kAlertErrorOk, true);
}

// One call of SolveSparseSystem: the pivot order arrays live for the whole
// solve, the work row and the buckets for the factorisation only.
class SparseSystem {
 public:
  SparseSystem(TProgramUnitRecord& unit, SparseLuMemory* memory)
      : unit_(unit), first_(unit.RangeFirst), last_(unit.RangeLast), memory_(memory) {}

  void Solve(Extended* v);

 private:
  bool InRange(int position) const { return position >= first_ && position <= last_; }
  bool ColumnActive(int c) const { return InRange(c) && ColumnStep[c] == 0; }
  // The work row holds the range's columns only: nothing outside the range
  // is ever scattered into it.
  Extended& Work(int column) { return W[column - first_]; }

  void FactorBlock();
  bool Replay();
  bool ReduceBySparseSteps(int k, Extended* w, int* mark);
  bool ReplayDensePart(Extended* w, int* mark);
  bool RecordFactors();
  void SolveFromMemory(Extended* v);
  void FactorSparseJacobian(int first, int last);
  void CompletePivotOrder();
  void EliminatePivot(int r, int c, Extended p);
  int ChoosePivotColumn(int r, Extended& pivot);
  void LoadCompactRows();
  std::vector<int> RowOrder();
  bool DenseRemainderPays(int k) const;
  bool FactorDenseRemainder(int k0, Extended& lastPivot);
  void WriteBackFactors();
  int TakeNextRow();
  void PushFront(int r);
  void NoPivotError(int k);
  void ForwardSubstitute(Extended* v);
  void ScaleByPivots(Extended* v);
  void BackSubstitute(Extended* v);
  void PermuteVector(Extended* v, const int16_t* p);

  TProgramUnitRecord& unit_;
  const int first_;
  const int last_;
  SparseLuMemory* memory_;
  // A pivot at or below kTinyPivot was used: such a factorisation is not
  // replayed (its warning belongs to a fresh search).
  bool tinyPivotUsed_ = false;

  // Pivot order, indexed by position and by step (steps are numbered like
  // the positions of the range).
  int16_t* RowStep = nullptr;
  int16_t* StepRow = nullptr;
  int16_t* ColumnStep = nullptr;
  int16_t* StepColumn = nullptr;
  CheckedArray<int16_t> pivotOrderArrays_[4];
  // Dense work row over the range's columns; zero between uses.
  std::unique_ptr<Extended[]> W;
  // Rows not yet pivoted, in the order they are offered as pivot rows; the
  // ones before queueHead_ are taken.
  std::vector<int> rowQueue_;
  size_t queueHead_ = 0;
  // Per column position: entries in rows not yet pivoted (fill-in included),
  // kept up to date as rows are pivoted and fill-in is made.
  std::vector<int32_t> ActiveColumnCount;
  // Entries in rows and columns not yet pivoted.
  int64_t activeTotal_ = 0;
  // The dense remainder: rows (positions) by dense row, columns by dense
  // column, the values row-major through denseRowOf_.
  std::vector<int> denseRows_, denseColumns_, denseRowOf_;
  std::vector<Extended> dense_;
  // The factorisation works on compact rows and writes the factors back
  // into the entries at the end: per row position, the entries in columns
  // not yet pivoted (for a pivot row: its pivot and U entries) and the
  // multipliers made so far; per column position, the rows that have or had
  // an entry there.
  struct CompactEntry {
    // Room taken from the arena is written before it is read: no zeroing.
    CompactEntry() {}  // NOLINT: leaves the members uninitialised on purpose
    CompactEntry(Extended v, int c) : value(v), column(c) {}
    Extended value;
    int column;
  };
  // The rows' lists take their room from an arena of large chunks, so a
  // factorisation makes a handful of allocations rather than several per
  // row, and a list that outgrows its room moves to fresh room without
  // moving any other list (a growing shared vector copied every list each
  // time it grew). Old room is not reused; it goes with the arena.
  class EntryArena {
   public:
    void Reset(size_t firstChunk) {
      chunks_.clear();
      used_ = size_ = total_ = 0;
      firstChunk_ = std::max<size_t>(firstChunk, kMinChunk);
    }
    CompactEntry* Take(size_t count) {
      if (size_ - used_ < count) {
        // Each new chunk is as large as all before it: the fill of a first
        // factorisation is met with a few chunks, not thousands.
        const size_t size = std::max(count, chunks_.empty() ? firstChunk_ : total_);
        chunks_.emplace_back(new CompactEntry[size]);
        total_ += size;
        used_ = 0;
        size_ = size;
      }
      CompactEntry* room = chunks_.back().get() + used_;
      used_ += count;
      return room;
    }

   private:
    static constexpr size_t kMinChunk = 1 << 8;
    std::vector<std::unique_ptr<CompactEntry[]>> chunks_;
    size_t used_ = 0, size_ = 0, total_ = 0, firstChunk_ = kMinChunk;
  };
  class PooledList {
   public:
    void Attach(EntryArena* arena) { arena_ = arena; }
    size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    CompactEntry& operator[](size_t i) { return data_[i]; }
    const CompactEntry& operator[](size_t i) const { return data_[i]; }
    CompactEntry* begin() { return data_; }
    CompactEntry* end() { return data_ + count_; }
    const CompactEntry* begin() const { return data_; }
    const CompactEntry* end() const { return data_ + count_; }
    CompactEntry& back() { return data_[count_ - 1]; }
    void pop_back() { --count_; }
    void reserve(size_t capacity) {
      if (capacity <= capacity_) return;
      CompactEntry* room = arena_->Take(capacity);
      std::copy(data_, data_ + count_, room);
      data_ = room;
      capacity_ = capacity;
    }
    void push_back(const CompactEntry& e) {
      if (count_ == capacity_) reserve(std::max<size_t>(4, 2 * capacity_));
      data_[count_++] = e;
    }

   private:
    EntryArena* arena_ = nullptr;
    CompactEntry* data_ = nullptr;
    size_t count_ = 0, capacity_ = 0;
  };
  struct CompactRow {
    PooledList active;
    PooledList lower;
  };
  EntryArena arena_;
  // The pivot row's entries, copied once per step for a tight loop.
  std::vector<CompactEntry> pivotEntries_;
  std::vector<CompactRow> rows_;
  std::vector<std::vector<int>> fillRows_;
  // While a row is loaded: index of a column in it; while a pivot is
  // eliminated: index of a column in the pivot row; -1 elsewhere.
  std::vector<int> positionOf_;
  // Per pivot row entry, the last update that found it in the updated row;
  // the updated row's entries in the pivot row's columns (entry index in
  // the row, index in the pivot row).
  std::vector<int> matchedBy_;
  std::vector<std::pair<int, int>> matches_;
  // Dense row index of a row eliminated densely, -1 elsewhere.
  std::vector<int> denseIndexOf_;
  int denseSteps_ = 0;
  // Pivot entry of each row position, found by the forward sweep.
  std::vector<TOccurrenceRecord*> diagonal_;
};

void SparseSystem::Solve(Extended* v) {
  const size_t n = static_cast<size_t>(std::max<int>(unit_.UnknownCount, last_)) + 1;
  // NewPtrChecked shows error 75 itself; what was allocated is freed with the object.
  int16_t** arrays[4] = {&RowStep, &StepRow, &ColumnStep, &StepColumn};
  for (int i = 0; i < 4; ++i) {
    if (!pivotOrderArrays_[i].Allocate(n)) return;
    *arrays[i] = pivotOrderArrays_[i].get();
  }

  CheckUserAbort();
  if (memory_) {
    if (memory_->factors && Replay()) {
      if (CalcErrorCode <= 0) SolveFromMemory(v);
      return;
    }
    memory_->Clear();
    if (CalcErrorCode > 0) return;
  }
  FactorBlock();
  if (CalcErrorCode > 0) return;
  if (memory_ && memory_->factors) {
    SolveFromMemory(v);
    return;
  }

  // The sweeps go through the rows in step order: the rows and columns
  // stay at their positions, which saves re-threading every entry twice.
  CheckUserAbort();
  ForwardSubstitute(v);
  CheckUserAbort();
  ScaleByPivots(v);
  CheckUserAbort();
  BackSubstitute(v);
  CheckUserAbort();
  // The unknown at column position c was eliminated at step ColumnStep[c].
  PermuteVector(v, ColumnStep);
}

void SparseSystem::FactorBlock() {
  W = AllocateRaw<Extended>(static_cast<size_t>(last_ - first_ + 1));
  if (!W) {
    ReportIOError(kMsgOutOfMemory);
    ReportOutOfMemory();
    return;
  }
  RebuildOccurrenceLinks(unit_);
  for (int i = first_; i <= last_; ++i) {
    unit_.ColumnMarks[i] = 0;
    Work(i) = 0;
    StepRow[i] = RowStep[i] = StepColumn[i] = ColumnStep[i] = 0;
  }
  FactorSparseJacobian(first_, last_);
  // The factors are written back with the pivots inverted and the U
  // entries scaled.
  if (CalcErrorCode <= 0) CompletePivotOrder();
  W.reset();
}

void SparseSystem::FactorSparseJacobian(int first, int last) {
  const int m = last - first + 1;
  std::vector<int> order;
  try {
    rowQueue_.assign(static_cast<size_t>(m), 0);
    ActiveColumnCount.assign(static_cast<size_t>(m), 0);
    LoadCompactRows();
    order = RowOrder();
  } catch (const std::bad_alloc&) {
    ReportAllocationFailure();
    // The progress window goes with the failed solve (its owner frees it);
    // a minimisation keeps its own.
    if (!MinMaxMode) ProgressDlg = nullptr;
    return;
  }
  for (int i = first; i <= last; ++i) StepRow[i] = StepColumn[i] = 0;
  for (int j = 0; j < m; ++j) rowQueue_[j] = order[j] + first;
  queueHead_ = 0;

  Extended p = 0;
  activeTotal_ = 0;
  for (int32_t count : ActiveColumnCount) activeTotal_ += count;
  const int maxAttempts = last + 1;
  std::vector<int> setAside;
  for (int k = first; k <= last && CalcErrorCode <= 0; ++k) {
    if (ProgressDlg) ProgressDlg->Draw();
    if (DenseRemainderPays(k) && FactorDenseRemainder(k, p)) break;
    int pivotRow = 0, pivotColumn = 0;
    Extended pivot = 0;
    // Rows whose best candidate is tiny wait outside the queue while the
    // search goes on; the last of them is used when nothing better turns up.
    int tinyRow = 0, tinyColumn = 0;
    Extended tinyPivot = 0;
    setAside.clear();
    for (int attempt = 0; attempt < maxAttempts; ++attempt) {
      int r = TakeNextRow();
      if (r == 0) break;
      Extended value = 0;
      int c = ChoosePivotColumn(r, value);
      if (c == 0) {
        // Every entry of r lies in a pivoted column. Elimination only ever
        // adds entries in columns the row already touches, so the row can
        // never offer a pivot again: it stays out.
        continue;
      }
      if (std::fabs(value) > kTinyPivot) {
        pivotRow = r;
        pivotColumn = c;
        pivot = value;
        break;
      }
      if (tinyRow != 0) setAside.push_back(tinyRow);
      tinyRow = r;
      tinyColumn = c;
      tinyPivot = value;
    }
    if (pivotRow == 0) {
      pivotRow = tinyRow;
      pivotColumn = tinyColumn;
      pivot = tinyPivot;
    } else if (tinyRow != 0) {
      setAside.push_back(tinyRow);
    }
    // Rows set aside for a tiny candidate and not chosen come first again at
    // the next step, in their order (left out, they would never be pivoted,
    // and a block with one small but usable pivot would be reported
    // singular).
    for (auto it = setAside.rbegin(); it != setAside.rend(); ++it) PushFront(*it);

    if (pivotRow == 0) {
      p = 0;
      NoPivotError(k);
      break;
    }
    p = pivot;
    RowStep[pivotRow] = static_cast<int16_t>(k);
    StepRow[k] = static_cast<int16_t>(pivotRow);
    if (pivot == 0) {
      NoPivotError(k);
      break;
    }
    ColumnStep[pivotColumn] = static_cast<int16_t>(k);
    StepColumn[k] = static_cast<int16_t>(pivotColumn);
    EliminatePivot(pivotRow, pivotColumn, pivot);
    if (CalcErrorCode > 0) break;
    if (std::fabs(pivot) <= kTinyPivot) tinyPivotUsed_ = true;
    if (std::fabs(pivot) < kTinyPivot) {
      SetMessageArg(1, std::to_string(FactorBlockNumber));
      AddWarning(GetMessageText(kMsgNearlySingular));
    }
  }

  // With a memory the factors go there instead of into the entries: the
  // lists keep the equations' own entries only.
  if (CalcErrorCode <= 0 && !(memory_ && !tinyPivotUsed_ && RecordFactors())) WriteBackFactors();
  rowQueue_.clear();
  ActiveColumnCount.clear();
  rows_.clear();
  arena_.Reset(0);
  fillRows_.clear();
  dense_.clear();
  dense_.shrink_to_fit();
  LastPivotMagnitude = std::fabs(p);
}

void SparseSystem::LoadCompactRows() {
  rows_.assign(static_cast<size_t>(last_ - first_ + 1), CompactRow{});
  fillRows_.assign(static_cast<size_t>(last_ - first_ + 1), {});
  positionOf_.assign(static_cast<size_t>(last_ - first_ + 1), -1);
  denseIndexOf_.assign(static_cast<size_t>(last_ - first_ + 1), -1);
  denseSteps_ = 0;
  std::vector<size_t> lengths(static_cast<size_t>(last_ - first_ + 1));
  size_t entries = 0;
  for (int r = first_; r <= last_; ++r) {
    lengths[r - first_] = static_cast<size_t>(RowLength(unit_, r)) + 2;
    entries += lengths[r - first_];
  }
  // The entries of the rows, fill-in of an earlier factorisation included:
  // after the first Newton step the pattern rarely grows past it.
  // Room for each row's entries in both lists at once: with the fill-in of
  // an earlier factorisation counted, the lists rarely have to move.
  arena_.Reset(2 * entries);
  std::vector<size_t> earlierFill(static_cast<size_t>(last_ - first_ + 1), 0);
  for (int r = first_; r <= last_; ++r) {
    CompactRow& row = rows_[r - first_];
    row.active.Attach(&arena_);
    row.lower.Attach(&arena_);
    // Room for the row and a little fill-in at once.
    row.active.reserve(lengths[r - first_]);
    row.lower.reserve(lengths[r - first_]);
    for (TOccurrenceRecord* e = unit_.RowHeads[r]; e; e = e->NextInRow) {
      const int c = e->Column;
      // A second entry of the same column carries the same derivative. The
      // fill-in of an earlier factorisation is left out: the fill follows
      // this Jacobian's pivots, it does not pile up over the iterations.
      if (!InRange(c)) continue;
      if (e->Variable == 0) {
        ++earlierFill[c - first_];
        continue;
      }
      if (positionOf_[c - first_] >= 0) continue;
      positionOf_[c - first_] = static_cast<int>(row.active.size());
      row.active.push_back({e->Value, c});
      ++ActiveColumnCount[c - first_];
    }
    for (const CompactEntry& a : row.active) positionOf_[a.column - first_] = -1;
  }
  // Each column's fill list gets room for the fill-in the previous
  // factorisation made there, so it rarely grows piece by piece.
  for (size_t j = 0; j < earlierFill.size(); ++j) fillRows_[j].reserve(earlierFill[j]);
}

std::vector<int> SparseSystem::RowOrder() {
  // The rows are taken in a column approximate-minimum-degree order of the
  // transposed pattern: a row is a column of the transpose, and the pivot
  // chosen within a row is a row interchange there, so the order keeps the
  // fill of every threshold choice near that of a fill-reducing ordering.
  // Only the equations' own entries count, not fill-in of an earlier
  // factorisation, so every Newton iteration of a block meets the same order
  // and the fill-in made at the first one is reused.
  const int m = last_ - first_ + 1;
  std::vector<int> order(static_cast<size_t>(m));
  for (int j = 0; j < m; ++j) order[j] = j;
  if (m < 3) {
    // Nothing to gain from an ordering: the sparser row first, the later
    // one on a tie.
    if (m == 2 && RowLength(unit_, first_) <= RowLength(unit_, last_)) std::swap(order[0], order[1]);
    return order;
  }
  // The compact rows hold the equations' own entries of the range.
  std::vector<int> start(static_cast<size_t>(m) + 1, 0);
  int nnz = 0;
  // A narrow band is its own good order: eliminating it top down keeps all
  // fill-in inside the band, which no reordering improves on by much.
  constexpr int kNarrowBand = 4;
  bool banded = true;
  for (int j = 0; j < m; ++j) {
    start[j] = nnz;
    for (const CompactEntry& e : rows_[j].active) {
      if (std::abs(e.column - (first_ + j)) > kNarrowBand) banded = false;
    }
    nnz += static_cast<int>(rows_[j].active.size());
  }
  start[m] = nnz;
  if (banded) return order;
  const size_t alen = colamd_recommended(nnz, m, m);
  if (alen == 0 || alen > static_cast<size_t>(std::numeric_limits<int>::max())) return order;
  std::vector<int> a(alen);
  int at = 0;
  for (int j = 0; j < m; ++j) {
    for (const CompactEntry& e : rows_[j].active) a[at++] = e.column - first_;
  }
  double knobs[COLAMD_KNOBS];
  int stats[COLAMD_STATS];
  colamd_set_defaults(knobs);
  // No row of the transpose is dropped as dense: a Jacobian row shared by
  // many equations is still a row the factors must carry.
  knobs[COLAMD_DENSE_ROW] = -1;
  if (!colamd(m, m, static_cast<int>(alen), a.data(), start.data(), knobs, stats)) return order;
  for (int j = 0; j < m; ++j) order[j] = start[j];
  return order;
}

// Once the rows still to be pivoted are mostly full, linked entries cost far
// more per operation than a dense array: the rest of the elimination is done
// on a dense copy of the active part (rows in their queue order, columns as
// they are chosen) and the factors are written back into the entries. The
// switch waits until a third of the remainder is filled: earlier, the dense
// copy spends its time on zeros (measured on a block with long-range
// coupling, where switching at a seventh cost a third more).
bool SparseSystem::DenseRemainderPays(int k) const {
  constexpr int kMinDenseSize = 96;
  const int64_t remaining = last_ - k + 1;
  if (remaining < kMinDenseSize) return false;
  const int64_t rows = static_cast<int64_t>(rowQueue_.size() - queueHead_);
  return rows == remaining && activeTotal_ * 3 >= remaining * remaining;
}

// The rest of the factorisation from step k0 on, densely, with the same
// pivot rule in substance: rows in queue order, within a row the largest
// candidate (it passes the threshold test of the sparse steps), a row with
// only tiny candidates postponed behind the next usable one. Row-panel
// blocking keeps a few pivot rows in cache while every later row is updated
// by all of them. False when the dense copy cannot be had (the sparse steps
// go on); true when it has run, successfully or with the singular error.
bool SparseSystem::FactorDenseRemainder(int k0, Extended& lastPivot) {
  const int q = static_cast<int>(rowQueue_.size() - queueHead_);
  const int R = last_ - k0 + 1;
  try {
    denseRows_.assign(rowQueue_.begin() + static_cast<std::ptrdiff_t>(queueHead_), rowQueue_.end());
    denseColumns_.clear();
    denseColumns_.reserve(static_cast<size_t>(R));
    for (int c = first_; c <= last_; ++c) {
      if (ColumnActive(c)) denseColumns_.push_back(c);
    }
    if (static_cast<int>(denseColumns_.size()) != R) return false;
    dense_.assign(static_cast<size_t>(q) * static_cast<size_t>(R), 0.0L);
    denseRowOf_.resize(static_cast<size_t>(q));
  } catch (const std::bad_alloc&) {
    dense_.clear();
    dense_.shrink_to_fit();
    return false;
  }
  std::vector<int> columnIndex(static_cast<size_t>(last_ - first_ + 1), -1);
  for (int j = 0; j < R; ++j) columnIndex[denseColumns_[j] - first_] = j;
  for (int i = 0; i < q; ++i) {
    denseRowOf_[i] = i;
    Extended* row = &dense_[static_cast<size_t>(i) * R];
    const CompactRow& compact = rows_[denseRows_[i] - first_];
    for (const CompactEntry& a : compact.active) row[columnIndex[a.column - first_]] = a.value;
  }
  auto rowAt = [&](int s) { return &dense_[static_cast<size_t>(denseRowOf_[s]) * R]; };
  // done[s]: the pivots 0..done[s]-1 have been applied to the row at s.
  std::vector<int> done(static_cast<size_t>(q), 0);
  auto bringUpTo = [&](int t, int upto) {
    Extended* rt = rowAt(t);
    int i = done[t];
    // Four pivot rows at a time: their multipliers depend on each other only
    // within the four columns of the group, and the rest of the row is then
    // read and written once for the four.
    for (; i + 4 <= upto; i += 4) {
      const Extended* r0 = rowAt(i);
      const Extended* r1 = rowAt(i + 1);
      const Extended* r2 = rowAt(i + 2);
      const Extended* r3 = rowAt(i + 3);
      const Extended l0 = rt[i] / r0[i];
      rt[i] = l0;
      rt[i + 1] -= l0 * r0[i + 1];
      rt[i + 2] -= l0 * r0[i + 2];
      rt[i + 3] -= l0 * r0[i + 3];
      const Extended l1 = rt[i + 1] / r1[i + 1];
      rt[i + 1] = l1;
      rt[i + 2] -= l1 * r1[i + 2];
      rt[i + 3] -= l1 * r1[i + 3];
      const Extended l2 = rt[i + 2] / r2[i + 2];
      rt[i + 2] = l2;
      rt[i + 3] -= l2 * r2[i + 3];
      const Extended l3 = rt[i + 3] / r3[i + 3];
      rt[i + 3] = l3;
      if (l0 == 0 && l1 == 0 && l2 == 0 && l3 == 0) continue;
      for (int j = i + 4; j < R; ++j) rt[j] -= (l0 * r0[j] + l1 * r1[j]) + (l2 * r2[j] + l3 * r3[j]);
    }
    for (; i < upto; ++i) {
      const Extended* ri = rowAt(i);
      const Extended l = rt[i] / ri[i];
      rt[i] = l;
      if (l == 0) continue;
      for (int j = i + 1; j < R; ++j) rt[j] -= l * ri[j];
    }
    if (upto > done[t]) done[t] = upto;
  };
  auto largest = [&](int t, int from, Extended& value) {
    const Extended* rt = rowAt(t);
    int best = from;
    Extended m = -1;
    for (int j = from; j < R; ++j) {
      const Extended a = std::fabs(rt[j]);
      if (a >= m) {
        m = a;
        best = j;
      }
    }
    value = rt[best];
    return best;
  };

  constexpr int kPanel = 32;
  int steps = 0;
  bool failed = false;
  for (int s0 = 0; s0 < R && !failed; s0 += kPanel) {
    const int s1 = std::min(s0 + kPanel, R);
    for (int s = s0; s < s1; ++s) {
      const int k = k0 + s;
      if (ProgressDlg) ProgressDlg->Draw();
      if (s >= q) {
        lastPivot = 0;
        NoPivotError(k);
        failed = true;
        break;
      }
      bringUpTo(s, s);
      Extended value = 0;
      int c = largest(s, s, value);
      if (std::fabs(value) <= kTinyPivot) {
        // Look further down for a usable row; the last one looked at is
        // used if none is found.
        int t = s + 1;
        for (; t < q; ++t) {
          bringUpTo(t, s);
          Extended v2 = 0;
          int c2 = largest(t, s, v2);
          value = v2;
          c = c2;
          if (std::fabs(v2) > kTinyPivot) break;
        }
        if (t == q) t = q - 1;
        if (t > s) {
          // The rows passed over keep their order behind the chosen one.
          const int chosen = denseRowOf_[t], chosenRow = denseRows_[t], chosenDone = done[t];
          for (int u = t; u > s; --u) {
            denseRowOf_[u] = denseRowOf_[u - 1];
            denseRows_[u] = denseRows_[u - 1];
            done[u] = done[u - 1];
          }
          denseRowOf_[s] = chosen;
          denseRows_[s] = chosenRow;
          done[s] = chosenDone;
        }
      }
      lastPivot = value;
      RowStep[denseRows_[s]] = static_cast<int16_t>(k);
      StepRow[k] = static_cast<int16_t>(denseRows_[s]);
      if (value == 0) {
        NoPivotError(k);
        failed = true;
        break;
      }
      if (c != s) {
        for (int i = 0; i < q; ++i) std::swap(dense_[static_cast<size_t>(i) * R + c], dense_[static_cast<size_t>(i) * R + s]);
        std::swap(denseColumns_[c], denseColumns_[s]);
      }
      ColumnStep[denseColumns_[s]] = static_cast<int16_t>(k);
      StepColumn[k] = static_cast<int16_t>(denseColumns_[s]);
      ++steps;
      if (std::fabs(value) <= kTinyPivot) tinyPivotUsed_ = true;
      if (std::fabs(value) < kTinyPivot) {
        SetMessageArg(1, std::to_string(FactorBlockNumber));
        AddWarning(GetMessageText(kMsgNearlySingular));
      }
    }
    if (failed) break;
    for (int t = s1; t < q; ++t) bringUpTo(t, s1);
    CheckUserAbort();
    if (CalcErrorCode > 0) {
      failed = true;
      break;
    }
  }
  if (!failed) {
    denseSteps_ = steps;
    for (int i = 0; i < steps; ++i) denseIndexOf_[denseRows_[i] - first_] = i;
  }
  return true;
}

// Each dense row's values go back into its entries; a nonzero value without
// an entry becomes a fill-in entry.
void SparseSystem::WriteBackFactors() {
  // Per row: the value each column receives, and whether a column without
  // an entry gets a fill-in entry (always for the sparse steps' pattern,
  // for the dense remainder only where the value is not 0).
  const size_t n = static_cast<size_t>(last_ - first_ + 1);
  std::vector<Extended> value(n, 0);
  std::vector<uint8_t> state(n, 0);  // 0 none, 1 write, 2 write or create
  std::vector<int> touched;
  const int R = static_cast<int>(denseColumns_.size());
  for (int r = first_; r <= last_; ++r) {
    if (RowStep[r] == 0) continue;
    touched.clear();
    auto put = [&](int c, Extended v, uint8_t how) {
      if (state[c - first_] == 0) touched.push_back(c);
      value[c - first_] = v;
      state[c - first_] = std::max(state[c - first_], how);
    };
    const CompactRow& row = rows_[r - first_];
    for (const CompactEntry& a : row.lower) put(a.column, a.value, 2);
    const int d = denseIndexOf_[r - first_];
    if (d < 0) {
      for (const CompactEntry& a : row.active) put(a.column, a.value, 2);
    } else {
      const Extended* dense = &dense_[static_cast<size_t>(denseRowOf_[d]) * R];
      for (int j = 0; j < R; ++j) put(denseColumns_[j], dense[j], dense[j] != 0 ? 2 : 1);
    }
    // The pivot becomes its reciprocal g, the U entries are scaled by g.
    const int k = RowStep[r];
    const Extended g = 1 / value[StepColumn[k] - first_];
    for (int c : touched) {
      const int step = ColumnStep[c];
      if (step == k) {
        value[c - first_] = g;
      } else if (step > k) {
        value[c - first_] *= g;
      }
    }
    for (TOccurrenceRecord* e = unit_.RowHeads[r]; e; e = e->NextInRow) {
      const int c = e->Column;
      if (!InRange(c)) continue;
      if (state[c - first_] == 0) {
        // Fill-in of an earlier factorisation that this one did not need.
        e->Value = 0;
        continue;
      }
      e->Value = value[c - first_];
      state[c - first_] = 3;  // written
    }
    for (int c : touched) {
      if (state[c - first_] == 2) {
        TOccurrenceRecord* fill = AddOccurrence(unit_, r, c, 0, nullptr);
        if (!fill) {
          ReportOutOfMemory();
          return;
        }
        fill->Value = value[c - first_];
      }
      state[c - first_] = 0;
    }
  }
}

void SparseSystem::NoPivotError(int k) {
  TOccurrenceRecord* e = unit_.RowHeads[k];
  unit_.LastEquation = e ? e->Equation : nullptr;
  if (!unit_.LastEquation) {
    SetMessageArg(1, WarningsPending ? GetMessageText(kMsgWarningsHint) : std::string());
    CalcErrorCode = kMsgInconsistentEquations;
  } else {
    CalcErrorCode = kMsgSingular;
  }
  MessageHelpContext = kHelpSingular;
}

void SparseSystem::CompletePivotOrder() {
  // Rows and columns no step chose take the unused step numbers in order.
  int nextRowStep = first_, nextColumnStep = first_;
  std::vector<uint8_t> rowStepUsed(last_ - first_ + 1, 0), columnStepUsed(last_ - first_ + 1, 0);
  for (int i = first_; i <= last_; ++i) {
    if (InRange(RowStep[i])) rowStepUsed[RowStep[i] - first_] = 1;
    if (InRange(ColumnStep[i])) columnStepUsed[ColumnStep[i] - first_] = 1;
  }
  for (int i = first_; i <= last_; ++i) {
    if (RowStep[i] == 0) {
      while (rowStepUsed[nextRowStep - first_]) ++nextRowStep;
      rowStepUsed[nextRowStep - first_] = 1;
      RowStep[i] = static_cast<int16_t>(nextRowStep);
    }
    if (ColumnStep[i] == 0) {
      while (columnStepUsed[nextColumnStep - first_]) ++nextColumnStep;
      columnStepUsed[nextColumnStep - first_] = 1;
      ColumnStep[i] = static_cast<int16_t>(nextColumnStep);
    }
  }
  for (int i = first_; i <= last_; ++i) {
    StepRow[RowStep[i]] = static_cast<int16_t>(i);
    StepColumn[ColumnStep[i]] = static_cast<int16_t>(i);
  }
}

int SparseSystem::ChoosePivotColumn(int r, Extended& pivot) {
  // Every column left in a compact row is still to be eliminated.
  const CompactRow& row = rows_[r - first_];
  if (row.active.empty()) return 0;
  Extended maxMagnitude = 0;
  for (const CompactEntry& a : row.active) maxMagnitude = std::max(maxMagnitude, std::fabs(a.value));
  // Among the numerically acceptable candidates the sparsest column keeps
  // the fill-in small; ties go to the later entry. A column is measured by
  // its entries in rows not yet pivoted, the rows an elimination in it
  // updates. Counting the pivoted rows too made the own column of a chain's
  // end row tie with the next column; the tie went to the later,
  // off-diagonal entry, and fill-in then grew one column by a row per step.
  const Extended threshold = 0.1L * maxMagnitude;
  size_t best = 0;
  int32_t bestLength = std::numeric_limits<int32_t>::max();
  for (size_t i = 0; i < row.active.size(); ++i) {
    if (std::fabs(row.active[i].value) < threshold) continue;
    int32_t length = ActiveColumnCount[row.active[i].column - first_];
    if (length <= bestLength) {
      bestLength = length;
      best = i;
    }
  }
  pivot = row.active[best].value;
  return row.active[best].column;
}

int SparseSystem::TakeNextRow() {
  if (queueHead_ >= rowQueue_.size()) return 0;
  return rowQueue_[queueHead_++];
}

void SparseSystem::PushFront(int r) {
  // Only rows taken at this step come back, so there is always room.
  if (queueHead_ > 0) rowQueue_[--queueHead_] = r;
}

void SparseSystem::EliminatePivot(int r, int c, Extended p) {
  // The pivot row no longer competes for the columns it touches; it keeps
  // its pivot and U entries as they are now.
  const CompactRow& pivotRow = rows_[r - first_];
  pivotEntries_.assign(pivotRow.active.begin(), pivotRow.active.end());
  for (const CompactEntry& a : pivotEntries_) --ActiveColumnCount[a.column - first_];
  activeTotal_ -= static_cast<int64_t>(pivotEntries_.size());
  // The pivot row's columns are marked with their index in it, so each
  // updated row is read once: its entries in the pivot row's columns are
  // noted on the way, and the update follows once the multiplier is known.
  int cSlot = -1;
  for (size_t s = 0; s < pivotEntries_.size(); ++s) {
    positionOf_[pivotEntries_[s].column - first_] = static_cast<int>(s);
    if (pivotEntries_[s].column == c) cSlot = static_cast<int>(s);
  }
  matchedBy_.assign(pivotEntries_.size(), 0);
  int token = 0;
  // The rows with an entry in column c: the equations' own entries on the
  // column list, this factorisation's fill-in on its own list.
  auto update = [&](int r2) {
    if (!InRange(r2) || RowStep[r2] != 0) return;
    CompactRow& row = rows_[r2 - first_];
    const size_t length = row.active.size();
    int at = -1;
    matches_.clear();
    for (size_t i = 0; i < length; ++i) {
      const int s = positionOf_[row.active[i].column - first_];
      if (s < 0) continue;
      if (s == cSlot) {
        at = static_cast<int>(i);
      } else {
        matches_.push_back({static_cast<int>(i), s});
      }
    }
    if (at < 0) return;
    // row r2 -= l · row r, with l = a(r2, c)/p; l is kept as the multiplier
    // and the entry leaves the active part (the last entry takes its place).
    const Extended l = row.active[static_cast<size_t>(at)].value / p;
    row.lower.push_back({l, c});
    const int lastIndex = static_cast<int>(length) - 1;
    row.active[static_cast<size_t>(at)] = row.active.back();
    row.active.pop_back();
    --activeTotal_;
    ++token;
    for (const auto& [i, s] : matches_) {
      const int j = i == lastIndex ? at : i;
      row.active[static_cast<size_t>(j)].value -= l * pivotEntries_[static_cast<size_t>(s)].value;
      matchedBy_[static_cast<size_t>(s)] = token;
    }
    for (size_t s = 0; s < pivotEntries_.size(); ++s) {
      if (static_cast<int>(s) == cSlot || matchedBy_[s] == token) continue;
      // Fill-in, made even when l is 0 so the pattern does not depend on
      // the values of one iteration.
      const CompactEntry& g = pivotEntries_[s];
      row.active.push_back({-l * g.value, g.column});
      fillRows_[g.column - first_].push_back(r2);
      ++ActiveColumnCount[g.column - first_];
      ++activeTotal_;
    }
  };
  // Fill-in of an earlier factorisation is skipped on the column list: the
  // compact rows never hold it, and where this factorisation made fill-in
  // again the row is on the fill list. A row met twice in a row (two
  // entries of one variable) is updated once; the lists are in row order.
  int previous = 0;
  for (TOccurrenceRecord* e = unit_.ColumnHeads[c]; e; e = e->NextInColumn) {
    if (e->Variable == 0 || e->Row == previous) continue;
    previous = e->Row;
    update(e->Row);
  }
  for (int r2 : fillRows_[c - first_]) update(r2);
  for (const CompactEntry& g : pivotEntries_) positionOf_[g.column - first_] = -1;
}

// The factors just made, by step: a row's multipliers are its entries in
// columns of earlier steps, its U entries those of later steps. A row
// eliminated on the dense copy holds every column of the dense part, zero
// or not, so the pattern does not depend on one Jacobian's values. False
// when a row or column has no step (nothing is kept).
bool SparseSystem::RecordFactors() {
  const int m = last_ - first_ + 1;
  for (int i = first_; i <= last_; ++i) {
    if (RowStep[i] == 0 || ColumnStep[i] == 0) return false;
  }
  auto f = std::make_unique<SparseLuMemory::Factors>();
  f->unit = &unit_;
  f->first = first_;
  f->last = last_;
  f->stepRow.resize(static_cast<size_t>(m));
  f->stepColumn.resize(static_cast<size_t>(m));
  f->columnStep.resize(static_cast<size_t>(m));
  for (int i = 0; i < m; ++i) {
    f->stepRow[static_cast<size_t>(RowStep[first_ + i] - first_)] = i;
    f->stepColumn[static_cast<size_t>(ColumnStep[first_ + i] - first_)] = i;
    f->columnStep[static_cast<size_t>(i)] = ColumnStep[first_ + i] - first_;
  }
  f->lStart.assign(static_cast<size_t>(m) + 1, 0);
  f->uStart.assign(static_cast<size_t>(m) + 1, 0);
  f->pivot.assign(static_cast<size_t>(m), 0);
  const int R = static_cast<int>(denseColumns_.size());
  std::vector<std::pair<int, Extended>> lower, upper;
  for (int k = 0; k < m; ++k) {
    const int r = f->stepRow[static_cast<size_t>(k)] + first_;
    const CompactRow& row = rows_[r - first_];
    lower.clear();
    upper.clear();
    for (const CompactEntry& a : row.lower) lower.push_back({ColumnStep[a.column] - first_, a.value});
    auto put = [&](int step, Extended value) {
      if (step < k) {
        lower.push_back({step, value});
      } else if (step > k) {
        upper.push_back({step, value});
      } else {
        f->pivot[static_cast<size_t>(k)] = value;
      }
    };
    const int d = denseIndexOf_[r - first_];
    if (d < 0) {
      for (const CompactEntry& a : row.active) put(ColumnStep[a.column] - first_, a.value);
    } else {
      const Extended* dense = &dense_[static_cast<size_t>(denseRowOf_[d]) * R];
      for (int j = 0; j < R; ++j) put(ColumnStep[denseColumns_[j]] - first_, dense[j]);
    }
    auto byStep = [](const std::pair<int, Extended>& x, const std::pair<int, Extended>& y) { return x.first < y.first; };
    std::sort(lower.begin(), lower.end(), byStep);
    std::sort(upper.begin(), upper.end(), byStep);
    for (const auto& [step, value] : lower) {
      f->lStep.push_back(step);
      f->lValue.push_back(value);
    }
    for (const auto& [step, value] : upper) {
      f->uStep.push_back(step);
      f->uValue.push_back(value);
    }
    f->lStart[static_cast<size_t>(k) + 1] = static_cast<int>(f->lStep.size());
    f->uStart[static_cast<size_t>(k) + 1] = static_cast<int>(f->uStep.size());
  }
  // The dense part's shape, checked rather than assumed: the replay's dense
  // sweep relies on it.
  f->denseFirst = m;
  if (denseSteps_ > 0) {
    const int k0 = m - denseSteps_;
    bool shaped = true;
    for (int k = k0; k < m && shaped; ++k) {
      const int u0 = f->uStart[static_cast<size_t>(k)], l1 = f->lStart[static_cast<size_t>(k) + 1];
      shaped = f->uStart[static_cast<size_t>(k) + 1] - u0 == m - 1 - k && l1 - f->lStart[static_cast<size_t>(k)] >= k - k0;
      for (int t = 0; t < m - 1 - k && shaped; ++t) shaped = f->uStep[static_cast<size_t>(u0 + t)] == k + 1 + t;
      for (int j = k0; j < k && shaped; ++j) shaped = f->lStep[static_cast<size_t>(l1 - (k - j))] == j;
    }
    if (shaped) f->denseFirst = k0;
  }
  memory_->factors = std::move(f);
  return true;
}

// The numeric factorisation on the kept pattern, row by row in step order:
// a row is scattered into a work vector by step, reduced by the rows of its
// earlier steps in ascending order (the order of the search's elimination),
// and its pivot checked. False when the block is not the one remembered, an
// entry lies outside the pattern or a pivot fails the test; the entries are
// not touched either way.
bool SparseSystem::Replay() {
  SparseLuMemory::Factors& f = *memory_->factors;
  if (f.unit != &unit_ || f.first != first_ || f.last != last_) return false;
  const int m = last_ - first_ + 1;
  std::vector<Extended> w(static_cast<size_t>(m), 0);
  std::vector<int> mark(static_cast<size_t>(m), -1);
  const int* uStep = f.uStep.data();
  Extended* uValue = f.uValue.data();
  const int k0 = f.denseFirst;
  for (int k = 0; k < k0; ++k) {
    if (ProgressDlg) ProgressDlg->Draw();
    if (!ReduceBySparseSteps(k, w.data(), mark.data())) return false;
    const int u0 = f.uStart[static_cast<size_t>(k)], u1 = f.uStart[static_cast<size_t>(k) + 1];
    const Extended p = w[static_cast<size_t>(k)];
    Extended largest = std::fabs(p);
    for (int i = u0; i < u1; ++i) largest = std::max(largest, std::fabs(w[static_cast<size_t>(uStep[i])]));
    if (!(std::fabs(p) > kTinyPivot) || std::fabs(p) < 0.1L * largest) return false;
    f.pivot[static_cast<size_t>(k)] = p;
    w[static_cast<size_t>(k)] = 0;
    for (int i = u0; i < u1; ++i) {
      uValue[i] = w[static_cast<size_t>(uStep[i])];
      w[static_cast<size_t>(uStep[i])] = 0;
    }
    if ((k & 255) == 255) {
      CheckUserAbort();
      if (CalcErrorCode > 0) return true;
    }
  }
  return k0 >= m || ReplayDensePart(w.data(), mark.data());
}

// Scatters the row of step k into w (zero outside the row's pattern) and
// reduces it by the rows of its earlier steps up to the dense part; the
// multipliers go to the memory and their places in w back to 0. False when
// an entry lies outside the pattern.
bool SparseSystem::ReduceBySparseSteps(int k, Extended* w, int* mark) {
  SparseLuMemory::Factors& f = *memory_->factors;
  const int* lStep = f.lStep.data();
  const int* uStep = f.uStep.data();
  Extended* lValue = f.lValue.data();
  const Extended* uValue = f.uValue.data();
  const int l0 = f.lStart[static_cast<size_t>(k)], l1 = f.lStart[static_cast<size_t>(k) + 1];
  const int u0 = f.uStart[static_cast<size_t>(k)], u1 = f.uStart[static_cast<size_t>(k) + 1];
  mark[k] = k;
  for (int i = l0; i < l1; ++i) mark[lStep[i]] = k;
  for (int i = u0; i < u1; ++i) mark[uStep[i]] = k;
  const int r = f.stepRow[static_cast<size_t>(k)] + first_;
  for (const TOccurrenceRecord* e = unit_.RowHeads[r]; e; e = e->NextInRow) {
    // Fill-in entries carry no derivative; a second entry of a column
    // carries the same one as the first.
    if (e->Variable == 0 || !InRange(e->Column)) continue;
    const int step = f.columnStep[static_cast<size_t>(e->Column - first_)];
    if (mark[step] != k) {
      for (int i = l0; i < l1; ++i) w[lStep[i]] = 0;
      for (int i = u0; i < u1; ++i) w[uStep[i]] = 0;
      w[k] = 0;
      return false;
    }
    w[step] = e->Value;
  }
  // The multipliers of the dense part, if the row has them, come last.
  const int sparseEnd = k > f.denseFirst ? l1 - (k - f.denseFirst) : l1;
  for (int i = l0; i < sparseEnd; ++i) {
    const int j = lStep[i];
    const Extended l = w[j] / f.pivot[static_cast<size_t>(j)];
    w[j] = 0;
    lValue[i] = l;
    if (l == 0) continue;
    const int t1 = f.uStart[static_cast<size_t>(j) + 1];
    for (int t = f.uStart[static_cast<size_t>(j)]; t < t1; ++t) w[uStep[t]] -= l * uValue[t];
  }
  return true;
}

// The dense part in panels of rows, as on the dense copy: each panel's rows
// are reduced by their sparse steps, then by the dense rows before the
// panel, four at a time for all the panel's rows (the four stay in cache
// while every row of the panel uses them; their multipliers depend on each
// other only within the four steps), and then one by one in the panel.
bool SparseSystem::ReplayDensePart(Extended* w, int* mark) {
  SparseLuMemory::Factors& f = *memory_->factors;
  const int m = last_ - first_ + 1;
  const int k0 = f.denseFirst;
  const int R = m - k0;
  constexpr int kPanel = 32;
  std::vector<Extended> panel(static_cast<size_t>(std::min(kPanel, R)) * static_cast<size_t>(R));
  const Extended* uValue = f.uValue.data();
  Extended* lValue = f.lValue.data();
  const Extended* pivot = f.pivot.data();
  // uValue[u(j) + t]: row j's U value of step t > j.
  auto u = [&](int j) { return static_cast<ptrdiff_t>(f.uStart[static_cast<size_t>(j)]) - (j + 1); };
  // Row k's multiplier of dense step j.
  auto multiplier = [&](int k, int j) -> Extended& {
    return lValue[static_cast<size_t>(f.lStart[static_cast<size_t>(k) + 1] - (k - j))];
  };
  // Reduces the panel row of step k (x[t - k0] is step t) by dense steps
  // from..upto-1, four at a time while four remain.
  auto reduce = [&](Extended* x, int k, int from, int upto) {
    int j = from;
    for (; j + 4 <= upto; j += 4) {
      Extended* y = x + (j - k0);  // y[i]: step j + i
      const Extended l0 = y[0] / pivot[j];
      y[1] -= l0 * uValue[u(j) + j + 1];
      y[2] -= l0 * uValue[u(j) + j + 2];
      y[3] -= l0 * uValue[u(j) + j + 3];
      const Extended l1 = y[1] / pivot[j + 1];
      y[2] -= l1 * uValue[u(j + 1) + j + 2];
      y[3] -= l1 * uValue[u(j + 1) + j + 3];
      const Extended l2 = y[2] / pivot[j + 2];
      y[3] -= l2 * uValue[u(j + 2) + j + 3];
      const Extended l3 = y[3] / pivot[j + 3];
      multiplier(k, j) = l0;
      multiplier(k, j + 1) = l1;
      multiplier(k, j + 2) = l2;
      multiplier(k, j + 3) = l3;
      if (l0 == 0 && l1 == 0 && l2 == 0 && l3 == 0) continue;
      const Extended* r0 = uValue + (u(j) + j + 4);
      const Extended* r1 = uValue + (u(j + 1) + j + 4);
      const Extended* r2 = uValue + (u(j + 2) + j + 4);
      const Extended* r3 = uValue + (u(j + 3) + j + 4);
      Extended* rest = x + (j + 4 - k0);
      const int count = m - (j + 4);
      for (int t = 0; t < count; ++t) rest[t] -= (l0 * r0[t] + l1 * r1[t]) + (l2 * r2[t] + l3 * r3[t]);
    }
    for (; j < upto; ++j) {
      const Extended l = x[j - k0] / pivot[j];
      multiplier(k, j) = l;
      if (l == 0) continue;
      const ptrdiff_t base = u(j);
      for (int t = j + 1; t < m; ++t) x[t - k0] -= l * uValue[base + t];
    }
  };
  for (int p0 = k0; p0 < m; p0 += kPanel) {
    const int p1 = std::min(p0 + kPanel, m);
    auto row = [&](int k) { return &panel[static_cast<size_t>(k - p0) * static_cast<size_t>(R)]; };
    for (int k = p0; k < p1; ++k) {
      if (ProgressDlg) ProgressDlg->Draw();
      if (!ReduceBySparseSteps(k, w, mark)) return false;
      Extended* x = row(k);
      for (int t = k0; t < m; ++t) {
        x[t - k0] = w[t];
        w[t] = 0;
      }
    }
    for (int j = k0; j < p0; j += 4) {
      const int upto = std::min(j + 4, p0);
      for (int k = p0; k < p1; ++k) reduce(row(k), k, j, upto);
    }
    for (int k = p0; k < p1; ++k) {
      Extended* x = row(k);
      reduce(x, k, p0, k);
      const Extended p = x[k - k0];
      Extended largest = std::fabs(p);
      for (int t = k + 1; t < m; ++t) largest = std::max(largest, std::fabs(x[t - k0]));
      if (!(std::fabs(p) > kTinyPivot) || std::fabs(p) < 0.1L * largest) return false;
      f.pivot[static_cast<size_t>(k)] = p;
      Extended* uk = f.uValue.data();
      const ptrdiff_t base = u(k);
      for (int t = k + 1; t < m; ++t) uk[base + t] = x[t - k0];
    }
    CheckUserAbort();
    if (CalcErrorCode > 0) return true;
  }
  return true;
}

// The sweeps on the kept factors, as on the entries: y = L^-1 b, scaled by
// the reciprocal pivots, then the U entries divided by their row's pivot.
void SparseSystem::SolveFromMemory(Extended* v) {
  const SparseLuMemory::Factors& f = *memory_->factors;
  const int m = last_ - first_ + 1;
  for (int k = 0; k < m; ++k) {
    RowStep[f.stepRow[static_cast<size_t>(k)] + first_] = static_cast<int16_t>(k + first_);
    StepRow[k + first_] = static_cast<int16_t>(f.stepRow[static_cast<size_t>(k)] + first_);
    ColumnStep[f.stepColumn[static_cast<size_t>(k)] + first_] = static_cast<int16_t>(k + first_);
    StepColumn[k + first_] = static_cast<int16_t>(f.stepColumn[static_cast<size_t>(k)] + first_);
  }
  LastPivotMagnitude = std::fabs(f.pivot[static_cast<size_t>(m) - 1]);
  CheckUserAbort();
  if (CalcErrorCode > 0) return;
  const int* lStep = f.lStep.data();
  const int* uStep = f.uStep.data();
  const Extended* lValue = f.lValue.data();
  const Extended* uValue = f.uValue.data();
  std::vector<Extended> y(static_cast<size_t>(m));
  for (int k = 0; k < m; ++k) {
    Extended acc = v[f.stepRow[static_cast<size_t>(k)] + first_];
    const int l1 = f.lStart[static_cast<size_t>(k) + 1];
    for (int i = f.lStart[static_cast<size_t>(k)]; i < l1; ++i) acc -= y[static_cast<size_t>(lStep[i])] * lValue[i];
    y[static_cast<size_t>(k)] = acc;
  }
  for (int k = 0; k < m; ++k) y[static_cast<size_t>(k)] *= 1 / f.pivot[static_cast<size_t>(k)];
  for (int k = m - 1; k >= 0; --k) {
    const Extended g = 1 / f.pivot[static_cast<size_t>(k)];
    Extended acc = y[static_cast<size_t>(k)];
    const int u1 = f.uStart[static_cast<size_t>(k) + 1];
    for (int i = f.uStart[static_cast<size_t>(k)]; i < u1; ++i) acc -= y[static_cast<size_t>(uStep[i])] * (uValue[i] * g);
    y[static_cast<size_t>(k)] = acc;
  }
  for (int k = 0; k < m; ++k) v[first_ + k] = y[static_cast<size_t>(k)];
  CheckUserAbort();
  PermuteVector(v, ColumnStep);
}

void SparseSystem::ForwardSubstitute(Extended* v) {
  // y(k) = b(row of step k) - sum of l · y(step of the entry's column) over
  // the entries of earlier steps; y lives in the step vector's slots of the
  // range, indexed by step, once its element has been read.
  const int m = last_ - first_ + 1;
  std::vector<Extended> y(static_cast<size_t>(m), 0);
  diagonal_.assign(static_cast<size_t>(m), nullptr);
  for (int k = first_; k <= last_; ++k) {
    Extended acc = v[StepRow[k]];
    for (TOccurrenceRecord* e = unit_.RowHeads[StepRow[k]]; e; e = e->NextInRow) {
      if (!InRange(e->Column)) continue;
      const int step = ColumnStep[e->Column];
      if (step < k) {
        acc -= y[step - first_] * e->Value;
      } else if (step == k) {
        diagonal_[k - first_] = e;
      }
    }
    y[k - first_] = acc;
  }
  for (int k = first_; k <= last_; ++k) v[k] = y[k - first_];
}

void SparseSystem::ScaleByPivots(Extended* v) {
  for (int i = first_; i <= last_; ++i) {
    TOccurrenceRecord* d = diagonal_[i - first_];
    if (d) v[i] *= d->Value;
  }
}

void SparseSystem::BackSubstitute(Extended* v) {
  for (int k = last_; k >= first_; --k) {
    for (TOccurrenceRecord* e = unit_.RowHeads[StepRow[k]]; e; e = e->NextInRow) {
      if (!InRange(e->Column)) continue;
      const int step = ColumnStep[e->Column];
      if (step > k) v[k] -= v[step] * e->Value;
    }
  }
}

void SparseSystem::PermuteVector(Extended* v, const int16_t* p) {
  std::vector<Extended> old(v + first_, v + last_ + 1);
  for (int i = first_; i <= last_; ++i) v[i] = old[p[i] - first_];
}

}  // namespace

void SolveSparseSystem(TProgramUnitRecord& unit, Extended* stepVector) {
  SolveSparseSystem(unit, stepVector, nullptr);
}

void SolveSparseSystem(TProgramUnitRecord& unit, Extended* stepVector, SparseLuMemory* memory) {
  const int first = unit.RangeFirst, last = unit.RangeLast;
  if (first < 1 || last < first || static_cast<size_t>(last) >= unit.RowHeads.size() ||
      static_cast<size_t>(last) >= unit.ColumnHeads.size() ||
      static_cast<size_t>(last) >= unit.ColumnMarks.size()) {
    return;
  }
  try {
    SparseSystem system(unit, memory);
    system.Solve(stepVector);
  } catch (const std::bad_alloc&) {
    if (memory) memory->Clear();
    ReportOutOfMemory();
  }
}

}  // namespace voq

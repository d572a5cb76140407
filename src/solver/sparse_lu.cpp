#include "solver/sparse_lu.h"

#include <cmath>
#include <limits>
#include <memory>
#include <new>
#include <string>
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

namespace {

constexpr int kBucketArraySize = 10001;
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
  explicit SparseSystem(TProgramUnitRecord& unit)
      : unit_(unit), first_(unit.RangeFirst), last_(unit.RangeLast) {}

  void Solve(Extended* v);

 private:
  bool InRange(int position) const { return position >= first_ && position <= last_; }
  bool ColumnActive(int c) const { return InRange(c) && ColumnStep[c] == 0; }
  // The work row holds the range's columns only: nothing outside the range
  // is ever scattered into it.
  Extended& Work(int column) { return W[column - first_]; }

  void FactorBlock();
  void FactorSparseJacobian(int first, int last);
  void CompletePivotOrder();
  void EliminatePivot(int r, int c, Extended p);
  int ChoosePivotColumn(int r, Extended& pivot);
  int TakeSparsestRow();
  void BucketInsert(int r, int count);
  void BucketRemove(int r);
  void CountActiveEntries(int r);
  void UpdateRowCounts(int c);
  void InvertPivots();
  void NoPivotError(int k);
  void ForwardSubstitute(Extended* v);
  void ScaleByPivots(Extended* v);
  void BackSubstitute(Extended* v);
  void PermuteVector(Extended* v, const int16_t* p);

  TProgramUnitRecord& unit_;
  const int first_;
  const int last_;

  // Pivot order, indexed by position and by step (steps are numbered like
  // the positions of the range).
  int16_t* RowStep = nullptr;
  int16_t* StepRow = nullptr;
  int16_t* ColumnStep = nullptr;
  int16_t* StepColumn = nullptr;
  CheckedArray<int16_t> pivotOrderArrays_[4];
  // Dense work row over the range's columns; zero between uses.
  std::unique_ptr<Extended[]> W;
  // Rows by active count: doubly linked lists, 0 = none.
  std::unique_ptr<int16_t[]> BucketHead, BucketNext, BucketPrev, ActiveCount;
  std::unique_ptr<uint8_t[]> InBucket;
  // Per column position: entries in rows not yet pivoted (fill-in included),
  // kept up to date as rows are pivoted and fill-in is made.
  std::unique_ptr<int32_t[]> ActiveColumnCount;
  int bucketRows_ = 0;
  int bucketLimit_ = 0;
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
  FactorBlock();
  if (CalcErrorCode > 0) return;

  // Position k now holds the row and the column of step k, so the factors
  // form a triangular pair in position order.
  PermuteEquationRows(unit_, StepRow);
  PermuteVariableColumns(unit_, StepColumn);

  CheckUserAbort();
  PermuteVector(v, StepRow);
  ForwardSubstitute(v);
  CheckUserAbort();
  ScaleByPivots(v);
  CheckUserAbort();
  BackSubstitute(v);
  CheckUserAbort();
  // The unknown at column position c was eliminated at step ColumnStep[c].
  PermuteVector(v, ColumnStep);

  PermuteEquationRows(unit_, RowStep);
  PermuteVariableColumns(unit_, ColumnStep);
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
  bucketRows_ = 0;
  FactorSparseJacobian(first_, last_);
  if (CalcErrorCode <= 0) {
    CompletePivotOrder();
    InvertPivots();
  }
  W.reset();
}

void SparseSystem::FactorSparseJacobian(int first, int last) {
  bucketLimit_ = std::max(kBucketArraySize, last + 1);
  BucketHead = AllocateRaw<int16_t>(bucketLimit_);
  BucketNext = BucketHead ? AllocateRaw<int16_t>(bucketLimit_) : nullptr;
  BucketPrev = BucketNext ? AllocateRaw<int16_t>(bucketLimit_) : nullptr;
  ActiveCount = BucketPrev ? AllocateRaw<int16_t>(bucketLimit_) : nullptr;
  InBucket = ActiveCount ? AllocateRaw<uint8_t>(bucketLimit_) : nullptr;
  ActiveColumnCount = InBucket ? AllocateRaw<int32_t>(bucketLimit_) : nullptr;
  if (!ActiveColumnCount) {
    ReportAllocationFailure();
    // The progress window goes with the failed solve (its owner frees it);
    // a minimisation keeps its own.
    if (!MinMaxMode) ProgressDlg = nullptr;
    BucketHead.reset();
    BucketNext.reset();
    BucketPrev.reset();
    ActiveCount.reset();
    InBucket.reset();
    return;
  }

  for (int i = first; i <= last; ++i) ActiveColumnCount[i] = 0;
  for (int i = first; i <= last; ++i) {
    StepRow[i] = StepColumn[i] = 0;
    InBucket[i] = 0;
    CountActiveEntries(i);
    for (TOccurrenceRecord* e = unit_.RowHeads[i]; e; e = e->NextInRow) {
      if (InRange(e->Column)) ++ActiveColumnCount[e->Column];
    }
  }
  for (int m = 0; m <= last; ++m) BucketHead[m] = 0;
  // Each row goes to the head of its bucket: within a bucket the highest row
  // comes out first.
  for (int r = first; r <= last; ++r) BucketInsert(r, ActiveCount[r]);

  Extended p = 0;
  const int maxAttempts = last + 1;
  for (int k = first; k <= last && CalcErrorCode <= 0; ++k) {
    if (ProgressDlg) ProgressDlg->Draw();
    int pivotRow = 0, pivotColumn = 0;
    Extended pivot = 0;
    // Rows whose best candidate is tiny wait outside the buckets while the
    // search goes on; the last of them is used when nothing better turns up.
    int tinyRow = 0, tinyColumn = 0;
    Extended tinyPivot = 0;
    std::vector<int> setAside;
    for (int attempt = 0; attempt < maxAttempts; ++attempt) {
      int r = TakeSparsestRow();
      if (r == 0) break;
      Extended value = 0;
      int c = ChoosePivotColumn(r, value);
      if (c == 0) {
        // Every entry of r lies in a pivoted column: push it back behind the
        // rows that can still be used.
        ActiveCount[r] = static_cast<int16_t>(ActiveCount[r] + 3);
        if (ActiveCount[r] >= first && ActiveCount[r] <= last) BucketInsert(r, ActiveCount[r]);
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
    // Rows set aside for a tiny candidate and not chosen compete again at
    // the next step (left out, they would never be pivoted, and a block with
    // one small but usable pivot would be reported singular).
    for (int r : setAside) BucketInsert(r, ActiveCount[r]);

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
    // The pivot row no longer competes for the columns it touches.
    for (TOccurrenceRecord* e = unit_.RowHeads[pivotRow]; e; e = e->NextInRow) {
      if (InRange(e->Column)) --ActiveColumnCount[e->Column];
    }
    EliminatePivot(pivotRow, pivotColumn, pivot);
    if (CalcErrorCode > 0) break;
    UpdateRowCounts(pivotColumn);
    if (std::fabs(pivot) < kTinyPivot) {
      SetMessageArg(1, std::to_string(FactorBlockNumber));
      AddWarning(GetMessageText(kMsgNearlySingular));
    }
  }

  BucketHead.reset();
  BucketNext.reset();
  BucketPrev.reset();
  ActiveCount.reset();
  InBucket.reset();
  ActiveColumnCount.reset();
  LastPivotMagnitude = std::fabs(p);
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
  Extended maxMagnitude = 0;
  bool any = false;
  for (TOccurrenceRecord* e = unit_.RowHeads[r]; e; e = e->NextInRow) {
    if (!ColumnActive(e->Column)) continue;
    Extended m = std::fabs(e->Value);
    if (!any || m >= maxMagnitude) maxMagnitude = m;
    any = true;
  }
  if (!any) return 0;
  // Among the numerically acceptable candidates the sparsest column keeps
  // the fill-in small; ties go to the later entry. A column is measured by
  // its entries in rows not yet pivoted, the rows an elimination in it
  // updates. Counting the pivoted rows too made the own column of a chain's
  // end row tie with the next column; the tie went to the later,
  // off-diagonal entry, and fill-in then grew one column by a row per step.
  const Extended threshold = 0.1L * maxMagnitude;
  TOccurrenceRecord* best = nullptr;
  int32_t bestLength = std::numeric_limits<int32_t>::max();
  for (TOccurrenceRecord* e = unit_.RowHeads[r]; e; e = e->NextInRow) {
    if (!ColumnActive(e->Column) || std::fabs(e->Value) < threshold) continue;
    int32_t length = ActiveColumnCount[e->Column];
    if (length <= bestLength) {
      bestLength = length;
      best = e;
    }
  }
  pivot = best->Value;
  return best->Column;
}

int SparseSystem::TakeSparsestRow() {
  if (bucketRows_ == 0) return 0;
  for (int m = 0; m <= last_; ++m) {
    int r = BucketHead[m];
    if (r != 0) {
      BucketRemove(r);
      return r;
    }
  }
  return 0;
}

void SparseSystem::BucketInsert(int r, int count) {
  if (count < 0 || count > last_ || InBucket[r]) return;
  ActiveCount[r] = static_cast<int16_t>(count);
  int head = BucketHead[count];
  BucketNext[r] = static_cast<int16_t>(head);
  BucketPrev[r] = 0;
  if (head != 0) BucketPrev[head] = static_cast<int16_t>(r);
  BucketHead[count] = static_cast<int16_t>(r);
  InBucket[r] = 1;
  ++bucketRows_;
}

void SparseSystem::BucketRemove(int r) {
  if (!InBucket[r]) return;
  int next = BucketNext[r], prev = BucketPrev[r];
  if (prev != 0) {
    BucketNext[prev] = static_cast<int16_t>(next);
  } else {
    BucketHead[ActiveCount[r]] = static_cast<int16_t>(next);
  }
  if (next != 0) BucketPrev[next] = static_cast<int16_t>(prev);
  BucketNext[r] = BucketPrev[r] = 0;
  InBucket[r] = 0;
  --bucketRows_;
}

void SparseSystem::CountActiveEntries(int r) {
  int count = 0;
  for (TOccurrenceRecord* e = unit_.RowHeads[r]; e; e = e->NextInRow) {
    if (ColumnActive(e->Column)) ++count;
  }
  ActiveCount[r] = static_cast<int16_t>(count);
}

void SparseSystem::UpdateRowCounts(int c) {
  for (TOccurrenceRecord* e = unit_.ColumnHeads[c]; e; e = e->NextInColumn) {
    int r2 = e->Row;
    if (!InRange(r2) || RowStep[r2] != 0) continue;
    BucketRemove(r2);
    CountActiveEntries(r2);
    BucketInsert(r2, ActiveCount[r2]);
  }
}

void SparseSystem::EliminatePivot(int r, int c, Extended p) {
  uint8_t* marks = unit_.ColumnMarks.data();
  for (TOccurrenceRecord* e = unit_.ColumnHeads[c]; e; e = e->NextInColumn) {
    int r2 = e->Row;
    if (!InRange(r2) || RowStep[r2] != 0) continue;
    // Scatter row r2 into the dense work row.
    for (TOccurrenceRecord* f = unit_.RowHeads[r2]; f; f = f->NextInRow) {
      if (!InRange(f->Column)) continue;
      Work(f->Column) = f->Value;
      marks[f->Column] = 1;
    }
    // row r2 -= l · row r, with l = a(r2, c)/p.
    const Extended l = Work(c) / p;
    Work(c) = l;
    for (TOccurrenceRecord* g = unit_.RowHeads[r]; g; g = g->NextInRow) {
      int cc = g->Column;
      if (!ColumnActive(cc)) continue;
      if (!marks[cc]) {
        TOccurrenceRecord* fill = AddOccurrence(unit_, r2, cc, 0, nullptr);
        if (!fill) {
          ReportOutOfMemory();
          break;
        }
        marks[cc] = 1;
        Work(cc) = 0;
        ++ActiveColumnCount[cc];
      }
      Work(cc) -= l * g->Value;
    }
    // Gather back, leaving the work row and the marks clear.
    for (TOccurrenceRecord* f = unit_.RowHeads[r2]; f; f = f->NextInRow) {
      if (!InRange(f->Column)) continue;
      marks[f->Column] = 0;
      f->Value = Work(f->Column);
      Work(f->Column) = 0;
    }
    if (CalcErrorCode == kMsgOutOfMemory) return;
  }
}

void SparseSystem::InvertPivots() {
  for (int k = first_; k <= last_; ++k) {
    int r = StepRow[k];
    int step = RowStep[r];
    Extended g = 0;
    for (TOccurrenceRecord* e = unit_.RowHeads[r]; e; e = e->NextInRow) {
      if (InRange(e->Column) && ColumnStep[e->Column] == step) {
        e->Value = 1 / e->Value;
        g = e->Value;
        break;
      }
    }
    for (TOccurrenceRecord* e = unit_.RowHeads[r]; e; e = e->NextInRow) {
      if (InRange(e->Column) && ColumnStep[e->Column] > step) e->Value *= g;
    }
  }
}

void SparseSystem::ForwardSubstitute(Extended* v) {
  diagonal_.assign(static_cast<size_t>(last_ - first_ + 1), nullptr);
  for (int i = first_; i <= last_; ++i) {
    for (TOccurrenceRecord* e = unit_.RowHeads[i]; e; e = e->NextInRow) {
      int c = e->Column;
      if (c < first_) continue;
      if (c < i) {
        v[i] -= v[c] * e->Value;
      } else if (c == i) {
        diagonal_[i - first_] = e;
      }
    }
  }
}

void SparseSystem::ScaleByPivots(Extended* v) {
  for (int i = first_; i <= last_; ++i) {
    TOccurrenceRecord* d = diagonal_[i - first_];
    if (d) v[i] *= d->Value;
  }
}

void SparseSystem::BackSubstitute(Extended* v) {
  for (int i = last_; i >= first_; --i) {
    for (TOccurrenceRecord* e = unit_.RowHeads[i]; e; e = e->NextInRow) {
      int c = e->Column;
      if (c > i && c <= last_) v[i] -= v[c] * e->Value;
    }
  }
}

void SparseSystem::PermuteVector(Extended* v, const int16_t* p) {
  std::vector<Extended> old(v + first_, v + last_ + 1);
  for (int i = first_; i <= last_; ++i) v[i] = old[p[i] - first_];
}

}  // namespace

void SolveSparseSystem(TProgramUnitRecord& unit, Extended* stepVector) {
  const int first = unit.RangeFirst, last = unit.RangeLast;
  if (first < 1 || last < first || static_cast<size_t>(last) >= unit.RowHeads.size() ||
      static_cast<size_t>(last) >= unit.ColumnHeads.size() ||
      static_cast<size_t>(last) >= unit.ColumnMarks.size()) {
    return;
  }
  try {
    SparseSystem system(unit);
    system.Solve(stepVector);
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
  }
}

}  // namespace voq

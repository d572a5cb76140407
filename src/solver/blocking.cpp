#include "solver/blocking.h"

#include <vector>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "model/occurrence_lists.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "solver/checked_array.h"

namespace voq {

namespace {

// Words of the compiled code that the incidence scan reads.
constexpr int32_t kCodeVariable = -2;
constexpr int32_t kCodeComplexVariable = -12;
constexpr int32_t kCodeOutputList = -21;

bool HasBlockArrays(const TProgramUnitRecord& unit) {
  return !unit.RowHeads.empty() && !unit.ColumnHeads.empty() && !unit.ColumnMarks.empty() &&
         !unit.BlockEnds.empty();
}

// One blocking run over a unit: the work arrays live as long as this object.
class Blocker {
 public:
  explicit Blocker(TProgramUnitRecord& unit) : unit_(unit), n_(unit.UnknownCount) {}

  void Run(bool buildLists);

 private:
  bool AllocateWorkArrays();
  void BuildOccurrenceLists();
  void AddVariableOccurrence(int32_t v, int32_t row, TEquationRecord* equation);
  void FindMatching();
  bool AugmentFromColumn(int c, int target);
  void VisitColumn(int c);
  void ClearVisitedColumns();
  void InitStrongComponents();
  void FindStrongComponents();
  void NumberBlocks();
  void SplitIntoBlocks();

  TProgramUnitRecord& unit_;
  const int n_;

  // Component search. For a node on the stack ComponentLabel holds its index
  // on Stack; Boundary holds, bottom to top, the Stack index at which each
  // tentative component starts.
  CheckedArray<int16_t> Order, Stack, ComponentLabel, Path, Boundary;
  CheckedArray<TOccurrenceRecord*> Cursor;
  // Matching: the visited columns, whether a position holds its matched row,
  // and the explicit frames of the augmenting-path search.
  CheckedArray<int16_t> Visited;
  CheckedArray<uint8_t> Matched;
  struct AugmentFrame {
    int16_t column;
    int16_t via;  // the row position whose column this frame searches
    TOccurrenceRecord* cursor;
  };
  CheckedArray<AugmentFrame> Frames;
  int visitedCount_ = 0;
  // Unknowns marked for the equation being entered.
  std::vector<int32_t> marked_;
};

bool Blocker::AllocateWorkArrays() {
  const size_t size = static_cast<size_t>(n_) + 1;
  return Order.Allocate(size) && Stack.Allocate(size) && ComponentLabel.Allocate(size) &&
         Path.Allocate(size) && Boundary.Allocate(size) && Cursor.Allocate(size) &&
         Visited.Allocate(size) && Matched.Allocate(size) && Frames.Allocate(size);
}

void Blocker::Run(bool buildLists) {
  unit_.RangeSize = n_;
  if (n_ < 0 || n_ > kMaxBlockUnknowns || !HasBlockArrays(unit_) ||
      unit_.RowHeads.size() <= static_cast<size_t>(n_) ||
      unit_.ColumnHeads.size() <= static_cast<size_t>(n_) ||
      unit_.ColumnMarks.size() <= static_cast<size_t>(n_) ||
      unit_.BlockEnds.size() <= static_cast<size_t>(n_)) {
    return;
  }
  if (!AllocateWorkArrays()) return;  // error 75 already set and shown
  unit_.RangeFirst = 1;
  unit_.RangeLast = static_cast<int16_t>(n_);

  if (buildLists) BuildOccurrenceLists();
  if (CalcErrorCode > 0) return;
  FindMatching();
  InitStrongComponents();
  FindStrongComponents();
  if (CalcErrorCode > 0) {
    if (CalcErrorCode == kMsgInconsistentProblem) {
      ShowAlert(GetMessageText(CalcErrorCode), kAlertErrorOk, true);
    }
    return;
  }
  NumberBlocks();
  PermuteRowsAndColumns(unit_, Order.get());
  if (unit_.EquationCount == unit_.UnknownCount) SplitIntoBlocks();
  RebuildOccurrenceLinks(unit_);
}

void Blocker::BuildOccurrenceLists() {
  for (int i = 1; i <= n_; ++i) {
    unit_.RowHeads[i] = nullptr;
    unit_.ColumnHeads[i] = nullptr;
  }
  // Marks are only ever set on unknowns by the scan below; clearing them all
  // once, then only those set by the previous equation, is the same as
  // clearing every unknown's mark per equation without costing n each time.
  for (int k = 1; k <= n_; ++k) {
    if (TVariableRecord* var = unit_.Variable(unit_.UnknownList[k])) var->Mark = 0;
  }
  marked_.clear();
  int32_t row = 0;
  const int32_t maxRow = static_cast<int32_t>(unit_.RowHeads.size()) - 1;
  for (TEquationRecord* e = unit_.FirstEquation; e; e = e->Next) {
    CheckUserAbort();
    if (CalcErrorCode > 0) return;
    if (e->SolvedAlone) continue;
    if (++row > maxRow) break;
    for (int32_t v : marked_) {
      if (TVariableRecord* var = unit_.Variable(v)) var->Mark = 0;
    }
    marked_.clear();
    const int32_t count = static_cast<int32_t>(e->Code.size());
    for (int32_t i = 0; i < count; ++i) {
      const int32_t word = e->Code[i];
      if (word == kCodeOutputList) break;
      if ((word == kCodeVariable || word == kCodeComplexVariable) && i + 1 < count) {
        const int32_t v = e->Code[++i];
        AddVariableOccurrence(v, row, e);
        if (TVariableRecord* var = unit_.Variable(v); var && var->GuessVariable > 0) {
          AddVariableOccurrence(var->GuessVariable, row, e);
        }
        if (CalcErrorCode > 0) return;
      }
    }
  }
}

void Blocker::AddVariableOccurrence(int32_t v, int32_t row, TEquationRecord* equation) {
  TVariableRecord* var = unit_.Variable(v);
  if (!var || var->Mark || var->UnknownPosition <= 0 || var->UnknownPosition > n_) return;
  if (!AddOccurrence(unit_, row, var->UnknownPosition, v, equation)) {
    ReportOutOfMemory();
    ShowAlert(GetMessageText(kMsgOutOfMemory), kAlertErrorOk, true);
    return;
  }
  var->Mark = 1;
  marked_.push_back(v);
}

void Blocker::VisitColumn(int c) {
  unit_.ColumnMarks[c] = 1;
  Visited[++visitedCount_] = static_cast<int16_t>(c);
}

void Blocker::ClearVisitedColumns() {
  while (visitedCount_ > 0) unit_.ColumnMarks[Visited[visitedCount_--]] = 0;
}

void Blocker::FindMatching() {
  for (int i = 1; i <= n_; ++i) Matched[i] = 0;
  visitedCount_ = 0;
  for (int i = 1; i <= n_; ++i) {
    if (AugmentFromColumn(i, i)) Matched[i] = 1;
    ClearVisitedColumns();
  }
}

// Depth-first search for an augmenting path from column c to an unmatched
// position. Each level first looks for an entry in an unmatched position,
// then follows the entries to the columns of their positions in list order.
// On success the rows along the path are moved one step by swaps through
// the target position. The levels are explicit frames, so a path as long as
// the set (a chain of 10,000 equations) needs no deep call stack.
bool Blocker::AugmentFromColumn(int c, int target) {
  int depth = 0;
  VisitColumn(c);
  Frames[depth++] = AugmentFrame{static_cast<int16_t>(c), 0, nullptr};
  bool firstPass = true;
  while (depth > 0) {
    AugmentFrame& f = Frames[depth - 1];
    if (firstPass) {
      firstPass = false;
      for (TOccurrenceRecord* e = unit_.ColumnHeads[f.column]; e; e = e->NextInColumn) {
        if (e->Row >= 1 && e->Row <= n_ && !Matched[e->Row]) {
          SwapRows(unit_, e->Row, target);
          // Unwind: every level swaps the position it came through.
          for (int d = depth - 1; d >= 1; --d) SwapRows(unit_, Frames[d].via, target);
          return true;
        }
      }
      f.cursor = unit_.ColumnHeads[f.column];
    }
    bool descended = false;
    while (f.cursor) {
      TOccurrenceRecord* e = f.cursor;
      f.cursor = e->NextInColumn;
      const int r = e->Row;
      if (r < 1 || r > n_ || unit_.ColumnMarks[r]) continue;
      VisitColumn(r);
      Frames[depth++] = AugmentFrame{static_cast<int16_t>(r), static_cast<int16_t>(r), nullptr};
      firstPass = true;
      descended = true;
      break;
    }
    if (!descended) --depth;
  }
  return false;
}

void Blocker::InitStrongComponents() {
  for (int i = 1; i <= n_; ++i) {
    Cursor[i] = unit_.RowHeads[i];
    Stack[i] = 0;
    ComponentLabel[i] = 0;
    Path[i] = 0;
    Boundary[i] = 0;
    Order[i] = static_cast<int16_t>(i);
  }
  unit_.BlockCount = 0;
}

// Path-based search for the strongly connected blocks of the graph with an
// edge from position i to j for every entry of row i in column j != i. The
// nodes on the stack form tentative components, each a run of consecutive
// stack entries; a back edge merges every component above the target's into
// it. Relabelling the merged nodes one by one costs the stack's height per
// back edge, quadratic on a long cycle (a chain of equations each coupled
// to both neighbours), so the components are kept as a stack of their start
// indexes instead: a merge pops starts, each at most once. The blocks and
// their order are the same as with labels: a node closes a block exactly
// when its component was never merged into an earlier one.
void Blocker::FindStrongComponents() {
  if (n_ == 0) return;
  int k = 0, sp = 0, pp = 0, bp = 0;
  int nextStart = 1;
  int v = 0;
  auto start = [&](int s) {
    Stack[++sp] = static_cast<int16_t>(s);
    Path[++pp] = static_cast<int16_t>(s);
    ComponentLabel[s] = static_cast<int16_t>(sp);
    Boundary[++bp] = static_cast<int16_t>(sp);
    v = s;
  };
  auto fail = [&]() { CalcErrorCode = kMsgInconsistentProblem; };
  start(1);
  while (k < n_) {
    if (Cursor[v]) {
      TOccurrenceRecord* e = Cursor[v];
      Cursor[v] = e->NextInRow;
      const int w = e->Column;
      if (w == v || w < 1 || w > n_) continue;
      const int label = ComponentLabel[w];
      if (label == 0) {
        start(w);
      } else if (label != -1) {
        // w sits at stack index label: merge the components that start above it.
        while (bp >= 1 && Boundary[bp] > label) --bp;
        if (bp < 1) return fail();
      }
      continue;
    }
    const int index = ComponentLabel[v];
    if (bp >= 1 && Boundary[bp] == index) {
      unit_.BlockCount = static_cast<int16_t>(unit_.BlockCount + 1);
      Order[++k] = static_cast<int16_t>(v);
      ComponentLabel[v] = -1;
      if (index < 1 || index > sp || Stack[index] != v) return fail();
      while (sp > index) {
        const int u = Stack[sp--];
        Order[++k] = static_cast<int16_t>(u);
        ComponentLabel[u] = -1;
      }
      --sp;
      --bp;
      unit_.BlockEnds[unit_.BlockCount] = static_cast<int16_t>(k);
    }
    if (--pp < 0) return fail();
    if (pp > 0) {
      v = Path[pp];
    } else if (k < n_) {
      if (sp != 0) return fail();
      // Nodes never return to unvisited, so the lowest unvisited node only
      // moves up: one pass over the positions in all.
      while (nextStart <= n_ && ComponentLabel[nextStart] != 0) ++nextStart;
      if (nextStart > n_) return fail();
      start(nextStart);
    }
  }
}

void Blocker::NumberBlocks() {
  unit_.BlockEnds[0] = 0;
  for (int i = 1; i <= unit_.VariableCount; ++i) {
    if (TVariableRecord* var = unit_.Variable(i)) var->Block = 0;
  }
  for (int b = 1; b <= unit_.BlockCount; ++b) {
    for (int k = unit_.BlockEnds[b - 1] + 1; k <= unit_.BlockEnds[b]; ++k) {
      for (TOccurrenceRecord* e = unit_.RowHeads[Order[k]]; e; e = e->NextInRow) {
        if (e->Equation) e->Equation->Block = b;
        // A variable belongs to the lowest-numbered block it occurs in: the
        // block that determines it.
        if (TVariableRecord* var = unit_.Variable(e->Variable); var && var->Block <= 0) {
          var->Block = static_cast<int16_t>(b);
        }
      }
    }
  }
}

void Blocker::SplitIntoBlocks() {
  for (int b = 1; b <= unit_.BlockCount; ++b) {
    const int first = b == 1 ? 1 : unit_.BlockEnds[b - 1] + 1;
    const int last = unit_.BlockEnds[b];
    unit_.RangeSize = last - first + 1;
    unit_.RangeFirst = static_cast<int16_t>(first);
    unit_.RangeLast = static_cast<int16_t>(last);
    // Variables of earlier blocks are constants while this block is solved.
    for (int r = first; r <= last; ++r) {
      TOccurrenceRecord** link = &unit_.RowHeads[r];
      while (TOccurrenceRecord* e = *link) {
        if (e->Column < first || e->Column > last) {
          *link = e->NextInRow;
          delete e;
        } else {
          link = &e->NextInRow;
        }
      }
    }
  }
  unit_.RangeSize = unit_.UnknownCount;
}

}  // namespace

void BlockOccurrenceStructure(TProgramUnitRecord& unit) {
  try {
    Blocker blocker(unit);
    blocker.Run(false);
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
  }
}

void BlockProgramUnit() {
  if (!CurrentProgramUnit) return;
  try {
    Blocker blocker(*CurrentProgramUnit);
    blocker.Run(true);
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
  }
}

void FreeOccurrenceLists() {
  for (TProgramUnitRecord* unit : ProgramUnitList) {
    if (unit && HasBlockArrays(*unit)) FreeUnitOccurrences(*unit);
  }
  CurrentProgramUnit = MainProgramUnit;
}

void BlockAllUnits() {
  if (CurrentProgramUnit && CurrentProgramUnit->UnknownCount > kMaxBlockUnknowns) {
    CalcErrorCode = kMsgTooManyEquations;
    ShowAlert(GetMessageText(kMsgTooManyEquations), kAlertErrorOk, true);
    return;
  }
  FreeOccurrenceLists();
  for (TProgramUnitRecord* unit : ProgramUnitList) {
    if (!unit) continue;
    CurrentProgramUnit = unit;
    if (HasBlockArrays(*unit)) BlockProgramUnit();
    if (CalcErrorCode > 0) break;
  }
  CurrentProgramUnit = MainProgramUnit;
}

}  // namespace voq

#include "solver/blocking.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/messages.h"
#include "language/store_fixture.h"
#include "model/occurrence_lists.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "solver/code_builder.h"
#include "solver/sparse_lu.h"
#include "sparse_test_support.h"

namespace voq {
namespace {

using testing::CodeBuilder;

class BlockingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::FreshStore();
    test::ResetCalcState();
  }
  void TearDown() override {
    FreeOccurrenceLists();
    testing::FreshStore();
    test::ResetCalcState();
  }

  TProgramUnitRecord& Main() { return *MainProgramUnit; }

  // A variable that is still unknown after the one-unknown pass.
  int32_t Unknown(const std::string& name) {
    AddVariable(name);
    int32_t i = Main().VariableCount;
    RegisterVariableUse(i, name);
    return i;
  }
  TVariableRecord& Var(int32_t i) { return *Main().Variable(i); }

  TEquationRecord* Equation(const CodeBuilder& code) {
    auto* e = new TEquationRecord();
    code.Into(*e);
    if (Main().LastEquation) {
      Main().LastEquation->Next = e;
    } else {
      Main().FirstEquation = e;
    }
    Main().LastEquation = e;
    Main().EquationCount += 1;
    return e;
  }

  // The equation at a row position (every entry of a row carries it).
  TEquationRecord* EquationAt(int position) {
    for (TOccurrenceRecord* e = Main().RowHeads[position]; e; e = e->NextInRow) {
      if (e->Equation) return e->Equation;
    }
    return nullptr;
  }

  std::vector<int> ColumnsOfRow(int position) {
    std::vector<int> columns;
    for (TOccurrenceRecord* e = Main().RowHeads[position]; e; e = e->NextInRow) {
      columns.push_back(e->Column);
    }
    return columns;
  }

  ScriptedPlatform platform;
  ScopedPlatform scoped{platform};
};

// x + y = 3, x - y = 1, z = x*y: none has a single unknown; x and y must be
// solved together, z follows from them.
TEST_F(BlockingTest, TwoEquationBlockThenTheProduct) {
  int32_t x = Unknown("x"), y = Unknown("y"), z = Unknown("z");
  TEquationRecord* e1 = Equation(CodeBuilder().Var(x).Var(y).Word(OpAdd).Const(3).Word(OpEqual));
  TEquationRecord* e2 = Equation(CodeBuilder().Var(x).Var(y).Word(OpSubtract).Const(1).Word(OpEqual));
  TEquationRecord* e3 = Equation(CodeBuilder().Var(z).Var(x).Var(y).Word(OpMultiply).Word(OpEqual));

  BlockAllUnits();
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(CurrentProgramUnit, MainProgramUnit);
  ASSERT_EQ(Main().BlockCount, 2);
  EXPECT_EQ(Main().BlockEnds[0], 0);
  EXPECT_EQ(Main().BlockEnds[1], 2);
  EXPECT_EQ(Main().BlockEnds[2], 3);
  EXPECT_EQ(EquationAt(1), e1);
  EXPECT_EQ(EquationAt(2), e2);
  EXPECT_EQ(EquationAt(3), e3);
  EXPECT_EQ(e1->Block, 1);
  EXPECT_EQ(e2->Block, 1);
  EXPECT_EQ(e3->Block, 2);
  EXPECT_EQ(Var(x).Block, 1);
  EXPECT_EQ(Var(y).Block, 1);
  EXPECT_EQ(Var(z).Block, 2);
  // Block 2's row keeps only its own column: x and y are constants there.
  EXPECT_EQ(ColumnsOfRow(3), std::vector<int>({3}));
  // Block 1's rows keep both columns, still in the reverse order of entry
  // (only the last block's range is re-threaded after the split).
  EXPECT_EQ(ColumnsOfRow(1), std::vector<int>({2, 1}));
  EXPECT_EQ(ColumnsOfRow(2), std::vector<int>({2, 1}));
  EXPECT_EQ(Main().RangeFirst, 3);
  EXPECT_EQ(Main().RangeLast, 3);
  EXPECT_EQ(Main().RangeSize, 3);
}

// Unbalanced: blocks are numbered but rows are not split and the range is
// the whole set.
TEST_F(BlockingTest, UnbalancedSetIsNotSplit) {
  int32_t x = Unknown("x"), y = Unknown("y"), z = Unknown("z");
  Equation(CodeBuilder().Var(x).Var(y).Word(OpAdd).Const(3).Word(OpEqual));
  Equation(CodeBuilder().Var(x).Var(y).Word(OpSubtract).Const(1).Word(OpEqual));
  Equation(CodeBuilder().Var(z).Var(x).Var(y).Word(OpMultiply).Word(OpEqual));
  Main().EquationCount = 4;
  BlockAllUnits();
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(Main().BlockCount, 2);
  EXPECT_EQ(ColumnsOfRow(3), std::vector<int>({1, 2, 3}));
  EXPECT_EQ(Main().RangeFirst, 1);
  EXPECT_EQ(Main().RangeLast, 3);
}

// y = 2 and x = 5: two independent equations. When x's guess is taken from
// y, the equation of x needs y, so y's block must come first.
TEST_F(BlockingTest, GuessVariableJoinsTheRow) {
  struct Case {
    bool guessFromY;
    int blockOfX, blockOfY;
  };
  for (Case c : {Case{false, 1, 2}, Case{true, 2, 1}}) {
    testing::FreshStore();
    int32_t x = Unknown("x"), y = Unknown("y");
    if (c.guessFromY) Var(x).GuessVariable = static_cast<int16_t>(y);
    Equation(CodeBuilder().Var(y).Const(2).Word(OpEqual));
    Equation(CodeBuilder().Var(x).Const(5).Word(OpEqual));
    BlockAllUnits();
    ASSERT_EQ(CalcErrorCode, 0);
    EXPECT_EQ(Main().BlockCount, 2);
    EXPECT_EQ(Var(x).Block, c.blockOfX) << c.guessFromY;
    EXPECT_EQ(Var(y).Block, c.blockOfY) << c.guessFromY;
    FreeOccurrenceLists();
  }
}

// Equations written from the end of the chain back: x4 = x3 + 1, ...,
// x1 = 1. Block 1 must be the equation that starts the chain.
TEST_F(BlockingTest, BlocksComeInDependencyOrder) {
  std::vector<int32_t> xs;
  for (int i = 1; i <= 4; ++i) xs.push_back(Unknown("x" + std::to_string(i)));
  std::vector<TEquationRecord*> eqs;
  for (int i = 4; i >= 2; --i) {
    eqs.push_back(Equation(CodeBuilder().Var(xs[i - 1]).Var(xs[i - 2]).Const(1).Word(OpAdd).Word(OpEqual)));
  }
  eqs.push_back(Equation(CodeBuilder().Var(xs[0]).Const(1).Word(OpEqual)));
  BlockAllUnits();
  ASSERT_EQ(CalcErrorCode, 0);
  ASSERT_EQ(Main().BlockCount, 4);
  // eqs[0] determines x4 ... eqs[3] determines x1.
  for (int i = 0; i < 4; ++i) EXPECT_EQ(eqs[i]->Block, 4 - i);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(Var(xs[i]).Block, i + 1);
}

// A chain as long as the solver allows: the augmenting path of the matching
// runs through all 10,000 positions and the component search visits them
// in one descent; neither may exhaust the call stack.
TEST_F(BlockingTest, TenThousandLongChainBlocksWithoutDeepRecursion) {
  const int n = kMaxBlockUnknowns;
  std::vector<int32_t> xs;
  for (int i = 1; i <= n; ++i) xs.push_back(Unknown("x" + std::to_string(i)));
  Equation(CodeBuilder().Var(xs[0]).Const(1).Word(OpEqual));
  for (int i = 2; i <= n; ++i) {
    Equation(CodeBuilder().Var(xs[i - 1]).Var(xs[i - 2]).Const(1).Word(OpAdd).Word(OpEqual));
  }
  // Closing the loop makes the whole chain one block.
  TEquationRecord* first = Main().FirstEquation;
  CodeBuilder().Var(xs[0]).Var(xs[n - 1]).Const(1).Word(OpAdd).Word(OpEqual).Into(*first);
  BlockAllUnits();
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(Main().BlockCount, 1);
  EXPECT_EQ(Main().BlockEnds[1], n);
  for (int k = 1; k <= n; ++k) {
    bool diagonal = false;
    for (TOccurrenceRecord* e = Main().RowHeads[k]; e; e = e->NextInRow) diagonal |= e->Column == k;
    ASSERT_TRUE(diagonal) << k;
  }
}

TEST_F(BlockingTest, OpenChainGivesOneBlockPerEquation) {
  const int n = kMaxBlockUnknowns;
  std::vector<int32_t> xs;
  for (int i = 1; i <= n; ++i) xs.push_back(Unknown("x" + std::to_string(i)));
  // Listed from the end of the chain back, so the first equations met need
  // blocks that are found later.
  for (int i = n; i >= 2; --i) {
    Equation(CodeBuilder().Var(xs[i - 1]).Var(xs[i - 2]).Const(1).Word(OpAdd).Word(OpEqual));
  }
  Equation(CodeBuilder().Var(xs[0]).Const(1).Word(OpEqual));
  BlockAllUnits();
  ASSERT_EQ(CalcErrorCode, 0);
  ASSERT_EQ(Main().BlockCount, n);
  for (int i = 1; i <= n; ++i) ASSERT_EQ(Var(xs[i - 1]).Block, i);
}

// Structurally sound but dependent: x + y = 3 and 2x + 2y = 6 form one block,
// and its factorisation finds no second pivot (error 55). By hand: the
// matching puts 2x + 2y = 6 at position 1; row 2 (x + y = 3) pivots first
// on y; x's entry of row 1 becomes 2 - 2·1 = 0, so step 2 has no pivot and
// names the equation at position 2.
TEST_F(BlockingTest, DependentPairBlocksThenFactorisationGives55) {
  int32_t x = Unknown("x"), y = Unknown("y");
  TEquationRecord* e1 = Equation(CodeBuilder().Var(x).Var(y).Word(OpAdd).Const(3).Word(OpEqual));
  TEquationRecord* e2 =
      Equation(CodeBuilder().Const(2).Var(x).Word(OpMultiply).Const(2).Var(y).Word(OpMultiply).Word(OpAdd).Const(6).Word(OpEqual));
  BlockAllUnits();
  ASSERT_EQ(CalcErrorCode, 0);
  ASSERT_EQ(Main().BlockCount, 1);
  EXPECT_EQ(EquationAt(1), e2);
  EXPECT_EQ(EquationAt(2), e1);
  // The Jacobian: d/dx and d/dy of each equation.
  for (int r = 1; r <= 2; ++r) {
    for (TOccurrenceRecord* e = Main().RowHeads[r]; e; e = e->NextInRow) e->Value = e->Equation == e2 ? 2 : 1;
  }
  Main().RangeFirst = 1;
  Main().RangeLast = 2;
  long double v[3] = {0, 0, 0};
  SolveSparseSystem(Main(), v);
  EXPECT_EQ(CalcErrorCode, 55);
  EXPECT_EQ(Main().LastEquation, e1);
}

// x = 1, x = 2, y + z = 3: no equation can take z (or y); the blocking
// still orders every position without an error.
TEST_F(BlockingTest, StructurallySingularSetStillBlocks) {
  int32_t x = Unknown("x"), y = Unknown("y"), z = Unknown("z");
  Equation(CodeBuilder().Var(x).Const(1).Word(OpEqual));
  Equation(CodeBuilder().Var(x).Const(2).Word(OpEqual));
  Equation(CodeBuilder().Var(y).Var(z).Word(OpAdd).Const(3).Word(OpEqual));
  BlockAllUnits();
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_GE(Main().BlockCount, 1);
  EXPECT_EQ(Main().BlockEnds[Main().BlockCount], 3);
}

TEST_F(BlockingTest, MoreThanTenThousandUnknownsGive26BeforeAnythingIsFreed) {
  int32_t x = Unknown("x"), y = Unknown("y");
  Equation(CodeBuilder().Var(x).Var(y).Word(OpAdd).Const(3).Word(OpEqual));
  Equation(CodeBuilder().Var(x).Var(y).Word(OpSubtract).Const(1).Word(OpEqual));
  BlockAllUnits();
  ASSERT_EQ(CalcErrorCode, 0);
  const int entries = RowLength(Main(), 1) + RowLength(Main(), 2);
  ASSERT_EQ(entries, 4);
  Main().UnknownCount = 10001;
  BlockAllUnits();
  EXPECT_EQ(CalcErrorCode, 26);
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].text,
            "The maximum possible number of equations which can be solved has been reached.");
  EXPECT_EQ(platform.alerts[0].kind, kAlertErrorOk);
  EXPECT_EQ(RowLength(Main(), 1) + RowLength(Main(), 2), entries);
  Main().UnknownCount = 2;
}

// Module and subprogram units own no block arrays and are passed over.
TEST_F(BlockingTest, UnitWithoutBlockArraysIsSkipped) {
  int32_t x = Unknown("x");
  Equation(CodeBuilder().Var(x).Const(1).Word(OpEqual));
  TProgramUnitRecord* module = CreateProgramUnit();
  ASSERT_NE(module, nullptr);
  ASSERT_TRUE(module->RowHeads.empty());
  module->UnknownCount = 3;
  BlockAllUnits();
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(Main().BlockCount, 1);
  EXPECT_EQ(CurrentProgramUnit, MainProgramUnit);
}

// Equations solved alone get no row; the code after an output list is not
// scanned; an unknown named twice enters its row once.
TEST_F(BlockingTest, RowsComeFromUnsolvedEquationsAndTheEvaluatedCode) {
  int32_t x = Unknown("x"), y = Unknown("y"), w = Unknown("w");
  TEquationRecord* solved = Equation(CodeBuilder().Var(w).Const(4).Word(OpEqual));
  solved->SolvedAlone = 1;
  Main().EquationCount -= 1;
  Var(w).UnknownPosition = -1;
  Main().UnknownCount = 2;
  TEquationRecord* e1 = Equation(
      CodeBuilder().Var(x).Var(x).Word(OpMultiply).Var(y).Word(OpAdd).Const(3).Word(OpEqual).Words({CodeOutputList, 2, CodeOutputListEnd}));
  TEquationRecord* e2 = Equation(CodeBuilder().Var(x).Var(y).Word(OpSubtract).Const(1).Word(OpEqual).Word(CodeOutputList).Var(w));
  BlockAllUnits();
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(Main().BlockCount, 1);
  EXPECT_EQ(solved->Block, 0);
  EXPECT_EQ(RowLength(Main(), 1), 2);
  EXPECT_EQ(RowLength(Main(), 2), 2);
  EXPECT_EQ(e1->Block, 1);
  EXPECT_EQ(e2->Block, 1);
}

TEST_F(BlockingTest, FreeOccurrenceListsEmptiesEveryRow) {
  int32_t x = Unknown("x"), y = Unknown("y");
  Equation(CodeBuilder().Var(x).Var(y).Word(OpAdd).Const(3).Word(OpEqual));
  Equation(CodeBuilder().Var(x).Var(y).Word(OpSubtract).Const(1).Word(OpEqual));
  BlockAllUnits();
  CurrentProgramUnit = nullptr;
  FreeOccurrenceLists();
  EXPECT_EQ(CurrentProgramUnit, MainProgramUnit);
  EXPECT_EQ(Main().RowHeads[1], nullptr);
  EXPECT_EQ(Main().RowHeads[2], nullptr);
}

}  // namespace
}  // namespace voq

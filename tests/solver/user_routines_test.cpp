// Calls of user FUNCTIONs and PROCEDUREs at evaluation time, with their
// ERROR/WARNING calls and IF conditions. The routines are built by hand in
// the layout the routine reader leaves (result local 0, parameters 1..n,
// then the other locals) and their statements in the postfix code the
// statement compiler emits, written out beside each case; expected values
// are hand calculations.
#include "solver/user_routines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/string_constants.h"
#include "language/store_fixture.h"
#include "model/routines.h"
#include "model/store_state.h"
#include "model/warnings_window.h"
#include "solver/code_builder.h"
#include "solver/condition_opcodes.h"
#include "solver/evaluator.h"
#include "solver/evaluator_support.h"

namespace voq {
namespace {

using testing::CodeBuilder;
using namespace voq::testing;

constexpr int32_t kErrorWarning = 198;
constexpr int32_t kArrayElement = 234;
// A stand-in function for the abort tests (TABLEVALUE has no handler yet).
constexpr int32_t kProbeOpcode = 252;

// A parameter group: a plain parameter (elements 0) or an array X[1..n].
struct Group {
  std::string name;
  int32_t elements = 0;
};

int probeCalls = 0;
int probeAbortAt = 0;
// Pushes 1; asks for the abort, as the Esc key would, at the given call.
bool Probe(TEvaluationState& s, int32_t /*opcode*/) {
  if (++probeCalls == probeAbortAt) AbortRequested = true;
  return s.Push(1);
}

class UserRoutinesTest : public LanguageStoreTest {
 protected:
  void SetUp() override {
    LanguageStoreTest::SetUp();
    AbortRequested = false;
    WarningEquation = nullptr;
    ClearWarningsAfter(0);
    probeCalls = 0;
    probeAbortAt = 0;
  }
  void TearDown() override {
    for (TEquationRecord* e : calls_) {
      TEquationRecord* h = e;
      DisposeEquationRecord(h);
    }
    AbortRequested = false;
    SetOpcodeHandler(kProbeOpcode, nullptr);
    LanguageStoreTest::TearDown();
  }

  // A routine as the reader leaves it after END: the result local, one
  // local per parameter element, then the named locals.
  int32_t Routine(const std::string& name, const std::vector<Group>& inputs,
                  const std::vector<Group>& outputs = {}, const std::vector<std::string>& locals = {}) {
    auto* r = new TRoutineRecord();
    const int32_t slot = ++FunctionCount;
    FunctionTable[slot] = r;
    r->Name = name;
    r->UpperName = UpperCaseName(name);
    r->Defined = 1;
    r->Parameters = new TArgumentListRecord();
    r->Parameters->Kind = -1;
    r->Parameters->Name = name;
    AppendLocal(*r, slot, 0, name);
    int32_t number = 0;
    auto declare = [&](const Group& g) {
      TArgumentListRecord& p = *r->Parameters;
      const int32_t n = std::max(g.elements, 1);
      p.CodesPerArgument[++p.ArgumentCount] = static_cast<int16_t>(n);
      for (int32_t i = 1; i <= n; ++i) {
        AppendLocal(*r, slot, ++number, g.elements == 0 ? g.name : g.name + "[" + std::to_string(i) + "]");
        // A range's first element carries its text: "[" as "_", "]" as byte 11.
        p.Codes.push_back(g.elements == 0 ? 0
                          : i == 1        ? StringConstIndex(g.name + "_1.." + std::to_string(n) + "\x0b")
                                          : -1);
      }
      return n;
    };
    for (const Group& g : inputs) r->InputCount += declare(g);
    for (const Group& g : outputs) r->OutputCount += declare(g);
    r->InputGroups = static_cast<int32_t>(inputs.size());
    r->OutputGroups = static_cast<int32_t>(outputs.size());
    r->Parameters->InputCount = r->InputCount;
    r->Parameters->OutputCount = r->OutputCount;
    for (const std::string& l : locals) AppendLocal(*r, slot, LocalChainLength(*r), l);
    BuildLocalTable(slot);
    return slot;
  }
  TRoutineRecord& R(int32_t slot) { return *FunctionTable[slot]; }
  int32_t LocalNumber(int32_t slot, const std::string& name) {
    for (const TLocalVariableRecord* l = R(slot).Locals; l != nullptr; l = l->Next) {
      if (l->UpperName == UpperCaseName(name)) return l->LocalNumber;
    }
    ADD_FAILURE() << "no local " << name;
    return 0;
  }
  TLocalVariableRecord* LocalNamed(int32_t slot, const std::string& name) {
    for (TLocalVariableRecord* l = R(slot).Locals; l != nullptr; l = l->Next) {
      if (l->UpperName == UpperCaseName(name)) return l;
    }
    return nullptr;
  }

  // The next statement of the body.
  TEquationRecord* Stmt(int32_t slot, const CodeBuilder& b) {
    auto* e = new TEquationRecord();
    b.Into(*e);
    TEquationRecord** link = &R(slot).FirstStatement;
    while (*link != nullptr) link = &(*link)->Next;
    *link = e;
    return e;
  }
  TEquationRecord* Label(int32_t slot, int32_t label) {
    TEquationRecord* e = Stmt(slot, CodeBuilder());
    e->Label = label;
    return e;
  }
  TEquationRecord* GotoStmt(int32_t slot, TEquationRecord* target) {
    TEquationRecord* e = Stmt(slot, CodeBuilder().Goto(target->Label));
    e->JumpTarget = target;
    return e;
  }
  // An IF's condition statement, (199(code, left, right))=0: local a against
  // local b, or against a constant.
  static CodeBuilder CompareLocals(int32_t code, int32_t a, int32_t b) {
    return CodeBuilder().Const(code).Local(a).Word(OpSeparator).Local(b).Words({OpSeparator, OpCompare}).Const(0).Word(OpEqual);
  }
  static CodeBuilder CompareWith(int32_t code, int32_t a, long double c) {
    return CodeBuilder().Const(code).Local(a).Word(OpSeparator).Const(c).Words({OpSeparator, OpCompare}).Const(0).Word(OpEqual);
  }
  static void Branch(TEquationRecord* condition, TEquationRecord* then, TEquationRecord* otherwise) {
    condition->BranchPair = new TBranchPair{then, otherwise};
  }

  // A call from the main program: the inputs group by group, for a
  // PROCEDURE the output selector k, the routine number, opcode 208; and the
  // argument list the compiler leaves for it. Without output groups a
  // PROCEDURE call supplies the declared ones.
  TEquationRecord* CallSite(int32_t slot, const std::vector<std::vector<long double>>& inputs, int32_t k = 0,
                            std::vector<int16_t> outputGroups = {}) {
    auto* e = new TEquationRecord();
    calls_.push_back(e);
    auto* list = new TArgumentListRecord();
    list->Kind = slot;
    list->Name = R(slot).Name;
    CodeBuilder b;
    int32_t arguments = 0;
    auto argument = [&](long double v) {
      b.Const(v);
      if (arguments++ > 0) b.Word(OpSeparator);
    };
    auto group = [&](int16_t n) {
      list->CodesPerArgument[++list->ArgumentCount] = n;
      for (int16_t i = 0; i < n; ++i) list->Codes.push_back(i == 0 ? 0 : -1);
    };
    for (const auto& g : inputs) {
      group(static_cast<int16_t>(g.size()));
      for (long double v : g) argument(v);
      list->InputCount += static_cast<int32_t>(g.size());
    }
    if (R(slot).OutputCount > 0) {
      if (outputGroups.empty()) {
        for (int32_t g = R(slot).InputGroups + 1; g <= R(slot).Parameters->ArgumentCount; ++g)
          outputGroups.push_back(R(slot).Parameters->CodesPerArgument[g]);
      }
      group(1);
      argument(k);
      list->InputCount += 1;
      for (int16_t n : outputGroups) {
        group(n);
        list->OutputCount += n;
      }
    }
    argument(slot);
    b.Word(OpUserFunction);
    b.Into(*e);
    e->CallLists = list;
    return e;
  }
  long double Run(TEquationRecord* e) {
    CalcErrorCode = 0;
    MessageHelpContext = 0;
    return EvaluateEquation(e, 0);
  }
  long double Call(int32_t slot, const std::vector<std::vector<long double>>& inputs, int32_t k = 0,
                   const std::vector<int16_t>& outputGroups = {}) {
    return Run(CallSite(slot, inputs, k, outputGroups));
  }
  // A main-program variable that the main program determines.
  int32_t MainVariable(const std::string& name, long double value) {
    AddVariable(name);
    const int32_t i = CurrentProgramUnit->VariableCount;
    Var(i)->Value = value;
    Var(i)->UnknownPosition = kDeterminedVariable;
    return i;
  }

  std::vector<TEquationRecord*> calls_;
};

// FUNCTION F(X)  F := X^2  END
TEST_F(UserRoutinesTest, FunctionResultAndReuseOfTheLastCall) {
  const int32_t f = Routine("F", {{"X"}});
  Stmt(f, CodeBuilder().Local(0).Local(1).Const(2).Word(OpPower).Word(OpEqual));
  Label(f, 99999);
  struct Case {
    long double x, result;
    int32_t counter;  // bodies run so far
    uint8_t reused;
  } cases[] = {{3, 9, 1, 0}, {3, 9, 1, 1}, {4, 16, 2, 0}, {3, 9, 3, 0}};
  for (const Case& c : cases) {
    EXPECT_NEAR(Call(f, {{c.x}}), c.result, 1e-15L) << c.x;
    EXPECT_EQ(CalcErrorCode, 0);
    EXPECT_EQ(R(f).CallCounter, c.counter) << c.x;
    EXPECT_EQ(R(f).LastCallReused, c.reused) << c.x;
  }
}

// FUNCTION F(X)  F := 1E30;  F := X  END: the second assignment keeps X
// exactly, which old value - residual, 1E30 - (1E30 - X), would lose.
TEST_F(UserRoutinesTest, AssignmentStoresTheRightSide) {
  const int32_t f = Routine("F", {{"X"}});
  Stmt(f, CodeBuilder().Local(0).Const(1E30L).Word(OpEqual));
  Stmt(f, CodeBuilder().Local(0).Local(1).Word(OpEqual));
  Label(f, 99999);
  EXPECT_EQ(Call(f, {{1E-10L}}), 1E-10L);
  EXPECT_EQ(CalcErrorCode, 0);
}

// FUNCTION S(X)  IF X > 0 THEN S := 1 ELSE S := -1  END
TEST_F(UserRoutinesTest, IfStatementTakesItsBranch) {
  const int32_t f = Routine("S", {{"X"}});
  TEquationRecord* condition = Stmt(f, CompareWith(2, 1, 0));
  TEquationRecord* then = Stmt(f, CodeBuilder().Local(0).Const(1).Word(OpEqual));
  TEquationRecord* otherwise = Stmt(f, CodeBuilder().Local(0).Const(1).Word(OpNegate).Word(OpEqual));
  TEquationRecord* end = Label(f, 99999);
  then->Next = end;
  Branch(condition, then, otherwise);
  const long double cases[][2] = {{5, 1}, {-5, -1}, {0, -1}};
  for (const auto& c : cases) {
    EXPECT_EQ(Call(f, {{c[0]}}), c[1]) << c[0];
    EXPECT_EQ(CalcErrorCode, 0);
  }
}

// FUNCTION T(N)  T := 0; I := 0; REPEAT I := I + 1; T := T + I UNTIL I >= N  END
// The UNTIL is IFNOT I >= N THEN GOTO 32001: code 1 (I < N), its THEN the GOTO.
// T(N) = N(N+1)/2; the body runs at least once.
TEST_F(UserRoutinesTest, RepeatUntilLoopsBackThroughItsGoto) {
  const int32_t f = Routine("T", {{"N"}}, {}, {"I"});
  const int32_t n = 1, i = LocalNumber(f, "I");
  Stmt(f, CodeBuilder().Local(0).Const(0).Word(OpEqual));
  Stmt(f, CodeBuilder().Local(i).Const(0).Word(OpEqual));
  TEquationRecord* top = Label(f, 32001);
  Stmt(f, CodeBuilder().Local(i).Local(i).Const(1).Word(OpAdd).Word(OpEqual));
  Stmt(f, CodeBuilder().Local(0).Local(0).Local(i).Word(OpAdd).Word(OpEqual));
  TEquationRecord* until = Stmt(f, CompareLocals(1, i, n));
  TEquationRecord* back = GotoStmt(f, top);
  TEquationRecord* end = Label(f, 99999);
  Branch(until, back, end);
  const long double cases[][2] = {{1, 1}, {4, 10}, {10, 55}, {0, 1}};
  for (const auto& c : cases) {
    EXPECT_EQ(Call(f, {{c[0]}}), c[1]) << c[0];
    EXPECT_EQ(CalcErrorCode, 0);
  }
}

// FUNCTION F(X)  IF X > 0 THEN F := 1  END: X <= 0 never assigns F.
TEST_F(UserRoutinesTest, UnassignedFunctionResultIsError381) {
  const int32_t f = Routine("F", {{"X"}});
  TEquationRecord* condition = Stmt(f, CompareWith(2, 1, 0));
  TEquationRecord* then = Stmt(f, CodeBuilder().Local(0).Const(1).Word(OpEqual));
  TEquationRecord* end = Label(f, 99999);
  Branch(condition, then, end);
  EXPECT_EQ(Call(f, {{2}}), 1.0L);
  EXPECT_EQ(CalcErrorCode, 0);
  for (int pass = 0; pass < 2; ++pass) {
    // The second call with the same input reuses the unset result and
    // reports it again.
    Call(f, {{-2}});
    EXPECT_EQ(CalcErrorCode, kMsgValueNotSet) << pass;
    EXPECT_EQ(MessageArgs[1], "F");
    EXPECT_EQ(MessageHelpContext, 147);
  }
  EXPECT_EQ(R(f).CallCounter, 2);
}

// PROCEDURE P(A : B, C)  B := 2*A  END  with  CALL P(1 : x, y), compiled
// as x = P(1, 1) and y = P(1, 2).
TEST_F(UserRoutinesTest, UnsetProcedureOutputIsError327) {
  const int32_t p = Routine("P", {{"A"}}, {{"B"}, {"C"}});
  Stmt(p, CodeBuilder().Local(LocalNumber(p, "B")).Const(2).Local(1).Word(OpMultiply).Word(OpEqual));
  Label(p, 99999);
  EXPECT_EQ(Call(p, {{1}}, 1), 2.0L);
  EXPECT_EQ(CalcErrorCode, 0);
  Call(p, {{1}}, 2);
  EXPECT_EQ(CalcErrorCode, kMsgProcedureOutputUnset);
  EXPECT_EQ(MessageArgs[1], "C");
  EXPECT_EQ(MessageArgs[2], "P");
  EXPECT_EQ(MessageHelpContext, 148);
  // Both outputs of one CALL ran the body once.
  EXPECT_EQ(R(p).CallCounter, 1);
}

// A local read on the right side before this call assigned it; Y is a
// local no statement sets.
TEST_F(UserRoutinesTest, ReadBeforeAssignmentIsError37) {
  enum RightSide { kX, kYPlusX, kTargetPlusX };
  struct Case {
    const char* statement;
    bool procedure;
    RightSide right;
    int32_t error;
    const char* name;
    int32_t help;
  } cases[] = {
      {"F := X (the result read as the target only)", false, kX, 0, "", 0},
      {"F := Y + X", false, kYPlusX, 37, "Y", 147},
      {"F := F + X", false, kTargetPlusX, 37, "F", 147},
      {"B := Y + A in a PROCEDURE", true, kYPlusX, 37, "Y", 148},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.statement);
    const int32_t f = c.procedure ? Routine("P", {{"A"}}, {{"B"}}, {"Y"}) : Routine("F", {{"X"}}, {}, {"Y"});
    const int32_t target = c.procedure ? LocalNumber(f, "B") : 0;
    CodeBuilder b;
    b.Local(target);
    switch (c.right) {
      case kX: b.Local(1); break;
      case kYPlusX: b.Local(LocalNumber(f, "Y")).Local(1).Word(OpAdd); break;
      case kTargetPlusX: b.Local(target).Local(1).Word(OpAdd); break;
    }
    Stmt(f, b.Word(OpEqual));
    Label(f, 99999);
    Call(f, {{3}}, c.procedure ? 1 : 0);
    EXPECT_EQ(CalcErrorCode, c.error);
    if (c.error != 0) {
      EXPECT_EQ(MessageArgs[1], c.name);
      EXPECT_EQ(MessageHelpContext, c.help);
    }
  }
}

// FUNCTION F(A[1..5])  F := A[4]  END
TEST_F(UserRoutinesTest, ArrayArgumentGroupsBindElementByElement) {
  const int32_t f = Routine("F", {{"A", 5}});
  Stmt(f, CodeBuilder().Local(0).Local(LocalNumber(f, "A[4]")).Word(OpEqual));
  Label(f, 99999);
  // All five elements: bound plainly.
  EXPECT_EQ(Call(f, {{1, 2, 3, 4, 5}}), 4.0L);
  EXPECT_EQ(CalcErrorCode, 0);
  // F(A[1..3]): A[4] and A[5] are blank.
  EXPECT_TRUE(IsBlank(Call(f, {{1, 2, 3}})));
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_TRUE(IsBlank(LocalNamed(f, "A[5]")->Value));
  EXPECT_EQ(LocalNamed(f, "A[3]")->Value, 3.0L);
  // F(A[1..6]): one element too many.
  EXPECT_EQ(Call(f, {{1, 2, 3, 4, 5, 6}}), ErrorResultValue);
  EXPECT_EQ(CalcErrorCode, kMsgArrayArgumentSize);
  EXPECT_EQ(MessageArgs[1], "Array A");
  EXPECT_EQ(MessageArgs[2], "FUNCTION F");
  EXPECT_EQ(MessageArgs[3], "5");
  EXPECT_EQ(MessageArgs[4], "6");
}

// PROCEDURE P(A : B[1..3], C)  B[1] := 10; B[2] := 20; B[3] := 30; C := 99  END
// called with the outputs (x[1..2], y): y is C, the fourth declared output.
TEST_F(UserRoutinesTest, OutputsOfSmallerGroupsKeepTheirDeclaredPlace) {
  const int32_t p = Routine("P", {{"A"}}, {{"B", 3}, {"C"}});
  for (int32_t i = 1; i <= 3; ++i)
    Stmt(p, CodeBuilder().Local(LocalNumber(p, "B[" + std::to_string(i) + "]")).Const(10 * i).Word(OpEqual));
  Stmt(p, CodeBuilder().Local(LocalNumber(p, "C")).Const(99).Word(OpEqual));
  Label(p, 99999);
  struct Case {
    int32_t k;
    long double value;
  } cases[] = {{1, 10}, {2, 20}, {3, 99}};
  for (const Case& c : cases) {
    EXPECT_EQ(Call(p, {{0}}, c.k, {2, 1}), c.value) << c.k;
    EXPECT_EQ(CalcErrorCode, 0);
  }
  // Output k lies at declared position D + (k - C) within the outputs.
  TEquationRecord* site = CallSite(p, {{0}}, 1, {2, 1});
  EXPECT_EQ(OutputLocalOffset(3, p, site->CallLists, R(p).Parameters), 4);
  EXPECT_EQ(OutputLocalOffset(2, p, site->CallLists, R(p).Parameters), 2);
  EXPECT_EQ(OutputLocalOffset(2, p, nullptr, R(p).Parameters), 2);
  // An output group larger than declared is refused, not written into C.
  Call(p, {{0}}, 1, {4, 1});
  EXPECT_EQ(CalcErrorCode, kMsgArrayArgumentSize);
  EXPECT_EQ(MessageArgs[1], "Array B");
  EXPECT_EQ(MessageArgs[2], "PROCEDURE P");
  EXPECT_EQ(MessageArgs[3], "3");
  EXPECT_EQ(MessageArgs[4], "4");
}

TEST_F(UserRoutinesTest, MessagePlaceholders) {
  const long double water = StringConstIndex("Water");
  struct Case {
    const char* text;
    long double v;
    std::string expected;
  } cases[] = {
      {"Pressure XXXF2 is too high", 1.234L, "Pressure 1.23 is too high"},
      {"T = xxxf1", 2.26L, "T = 2.3"},
      {"Value XXXE3 here", 12345.678L, "Value 1.235E+04 here"},
      {"Ratio XXXA is off", 2.5L, "Ratio 2.5 is off"},
      {"Fluid XXX$ unknown", water, "Fluid Water unknown"},
      {"Fluid xxxs unknown", water, "Fluid Water unknown"},
      {"Fluid XXX$ unknown", 20000 + water, "Fluid Water unknown"},
      {"Fluid XXXS unknown", 999, "Fluid ?? unknown"},
      {"Limit XXX.", 5, "Limit ."},
      {"Ends in XXX", 5, "Ends in "},
      {"No placeholder", 5, "No placeholder"},
      {"Only XXXF2 and XXXF2", 1, "Only 1.00 and XXXF2"},
  };
  for (const Case& c : cases) EXPECT_EQ(ExpandMessagePlaceholder(c.text, c.v), c.expected) << c.text;
}

// FUNCTION F(P)  CALL ERROR('Pressure XXXF2 is too high', P)  F := P  END;
// the CALL is ERROR := ERROR(kind, message index, P) with kind 1 for ERROR
// and 20 for WARNING, and message index 0 for a call without a text.
TEST_F(UserRoutinesTest, ErrorAndWarningCalls) {
  const int32_t message = StringConstIndex("Pressure XXXF2 is too high");
  struct Case {
    int32_t kind;
    bool withText;
    bool library;
    int32_t error;
    std::string text;
  } cases[] = {
      {1, true, false, 100, "Pressure 1.23 is too high"},
      {1, true, true, 100, "Pressure 1.23 is too high"},
      {20, true, false, 0, ""},
      {1, false, false, 236,
       "Calculations have been halted because a parameter is out of range.  The value of the parameter is "
       "1.2340E+00 in FUNCTION F. "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind * 10 + c.withText);
    const int32_t f = Routine("F", {{"P"}}, {}, {"ERROR"});
    R(f).IsLibrary = c.library ? 1 : 0;
    TEquationRecord* call = Stmt(f, CodeBuilder()
                                         .Local(LocalNumber(f, "ERROR"))
                                         .Const(c.kind)
                                         .Const(c.withText ? message : 0)
                                         .Word(OpSeparator)
                                         .Local(1)
                                         .Words({OpSeparator, kErrorWarning, OpEqual}));
    Stmt(f, CodeBuilder().Local(0).Local(1).Word(OpEqual));
    Label(f, 99999);
    ClearWarningsAfter(0);
    TEquationRecord* site = CallSite(f, {{1.234L}});
    const long double result = Run(site);
    EXPECT_EQ(CalcErrorCode, c.error);
    EXPECT_EQ(MessageText, c.text);
    if (c.error == 0) {
      // A warning: one line, and the function goes on to its result.
      EXPECT_EQ(result, 1.234L);
      ASSERT_EQ(WarningLineCount(), 1u);
      EXPECT_EQ(WarningLines()[0], "Pressure 1.23 is too high");
    } else {
      EXPECT_EQ(WarningLineCount(), 0u);
      // The error selects the CALL, or the calling equation when the user
      // cannot see the library routine's text.
      EXPECT_EQ(CurrentProgramUnit->LastEquation, c.library ? site : call);
    }
    if (c.error == 236) {
      EXPECT_EQ(MessageArgs[1], "1.2340E+00");
      EXPECT_EQ(MessageArgs[2], "FUNCTION F");
    }
    DisposeFunctionEntry(f);
    FunctionCount = 0;
  }
}

// FUNCTION F(X)  F := X;  IF X > 1 THEN CALL ERROR('too big')  END: a call
// that fails after assigning F leaves no result to be reused.
TEST_F(UserRoutinesTest, FailedCallIsNeverReused) {
  const int32_t f = Routine("F", {{"X"}}, {}, {"ERROR"});
  Stmt(f, CodeBuilder().Local(0).Local(1).Word(OpEqual));
  TEquationRecord* condition = Stmt(f, CompareWith(2, 1, 1));
  TEquationRecord* error = Stmt(f, CodeBuilder()
                                       .Local(LocalNumber(f, "ERROR"))
                                       .Const(1)
                                       .Const(StringConstIndex("too big"))
                                       .Words({OpSeparator, kErrorWarning, OpEqual}));
  TEquationRecord* end = Label(f, 99999);
  Branch(condition, error, end);
  error->Next = end;
  EXPECT_EQ(Call(f, {{1}}), 1.0L);
  Call(f, {{2}});
  EXPECT_EQ(CalcErrorCode, 100);
  EXPECT_EQ(MessageText, "too big");
  EXPECT_EQ(Call(f, {{1}}), 1.0L);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(R(f).CallCounter, 3);
}

TEquationRecord* assignedStatement = nullptr;
long double assignedResidual = 0;
void RecordLookupAssignment(TEquationRecord* statement, long double residual) {
  assignedStatement = statement;
  assignedResidual = residual;
}

// FUNCTION F(X)  LOOKUP(...) := X  F := 1  END, the target standing here as
// the constant 5: the statement's residual goes to the lookup table.
TEST_F(UserRoutinesTest, OtherTargetsAreLookupCells) {
  const int32_t f = Routine("F", {{"X"}});
  TEquationRecord* cell = Stmt(f, CodeBuilder().Const(5).Local(1).Word(OpEqual));
  Stmt(f, CodeBuilder().Local(0).Const(1).Word(OpEqual));
  Label(f, 99999);
  // Until tables exist the assignment cannot be made; the error selects it.
  Call(f, {{2}});
  EXPECT_EQ(CalcErrorCode, 9);
  EXPECT_EQ(CurrentProgramUnit->LastEquation, cell);
  SetLookupCellAssigner(RecordLookupAssignment);
  EXPECT_EQ(Call(f, {{3}}), 1.0L);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(assignedStatement, cell);
  EXPECT_EQ(assignedResidual, 2.0L);
  // After a call the main program's slot is current again.
  EXPECT_EQ(CompilingFunctionIndex, 0);
  SetLookupCellAssigner(nullptr);
}

// 199(code, W, Y) evaluated alone.
TEST_F(UserRoutinesTest, ComparisonTruthTable) {
  struct Case {
    int32_t code;
    long double w, y, result;
  } cases[] = {
      {1, 1, 2, 1}, {1, 2, 1, 0}, {1, 1, 1, 0},  // <
      {2, 2, 1, 1}, {2, 1, 1, 0},                // >
      {3, 1, 1, 1}, {3, 2, 1, 0},                // <=
      {4, 1, 1, 1}, {4, 1, 2, 0},                // >=
      // = and <>: |(Y - W) / (Y + W)| against 1E-10, the sum 1 when it is 0.
      {5, 1, 1 + 1E-11L, 1}, {6, 1, 1 + 1E-11L, 0},
      {5, 1, 1 + 1.5E-10L, 1},  // 1.5E-10 / 2 is within
      {5, 1, 1 + 3E-10L, 0}, {6, 1, 1 + 3E-10L, 1},
      {5, 0, 0, 1}, {5, -1, 1, 0}, {6, -1, 1, 1},
      {5, 1E-11L, -1E-11L, 1},  // opposite signs: the difference itself
      // AND, OR of logical values.
      {7, 1, 1, 1}, {7, 1, 0, 0}, {7, 0, 0, 0},
      {8, 1, 0, 1}, {8, 0, 1, 1}, {8, 0, 0, 0},
  };
  for (const Case& c : cases) {
    TEquationRecord* e = CallSite(Routine("G", {}), {});
    CodeBuilder().Const(c.code).Const(c.w).Word(OpSeparator).Const(c.y).Words({OpSeparator, OpCompare}).Into(*e);
    EXPECT_EQ(Run(e), c.result) << c.code << " " << c.w << " " << c.y;
    EXPECT_EQ(CalcErrorCode, 0);
  }
}

TEST_F(UserRoutinesTest, ComparisonErrors) {
  TEquationRecord* e = CallSite(Routine("G", {}), {});
  // (a<b) AND 2 with a = 1, b = 2.
  CodeBuilder()
      .Const(7)
      .Const(1).Const(1).Word(OpSeparator).Const(2).Words({OpSeparator, OpCompare})
      .Word(OpSeparator)
      .Const(2)
      .Words({OpSeparator, OpCompare})
      .Into(*e);
  EXPECT_EQ(Run(e), ErrorResultValue);
  EXPECT_EQ(CalcErrorCode, kMsgLogicalOperatorMisuse);
  EXPECT_EQ(MessageHelpContext, 176);
  // An operator without its three values.
  CodeBuilder().Const(1).Const(2).Words({OpSeparator, OpCompare}).Into(*e);
  EXPECT_EQ(Run(e), ErrorResultValue);
  EXPECT_EQ(CalcErrorCode, kMsgIfOperator);
  EXPECT_EQ(MessageHelpContext, 150);
}

TEST_F(UserRoutinesTest, LogicalOperandsMustBeZeroOrOne) {
  const int32_t cases[][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 1, 380}, {1, -1, 380}, {2, 2, 380}};
  for (const auto& c : cases) {
    CalcErrorCode = 0;
    CheckLogicalOperands(c[0], c[1]);
    EXPECT_EQ(CalcErrorCode, c[2]) << c[0] << " " << c[1];
  }
}

// FUNCTION T(N)  T := 0  REPEAT T := T + probe() UNTIL T < 0  END never
// ends; the abort request (asked for by the probe's 1000th call) stops it.
TEST_F(UserRoutinesTest, AbortRequestStopsAnEndlessRepeat) {
  SetOpcodeHandler(kProbeOpcode, Probe);
  probeAbortAt = 1000;
  const int32_t f = Routine("T", {{"N"}});
  Stmt(f, CodeBuilder().Local(0).Const(0).Word(OpEqual));
  TEquationRecord* top = Label(f, 32001);
  Stmt(f, CodeBuilder().Local(0).Local(0).Word(kProbeOpcode).Word(OpAdd).Word(OpEqual));
  // IFNOT T < 0 THEN GOTO 32001: code 4 (T >= 0).
  TEquationRecord* until = Stmt(f, CompareWith(4, 0, 0));
  TEquationRecord* back = GotoStmt(f, top);
  TEquationRecord* end = Label(f, 99999);
  Branch(until, back, end);
  Call(f, {{1}});
  EXPECT_EQ(CalcErrorCode, kMsgCancelled);
  EXPECT_EQ(probeCalls, 1000);
}

// FUNCTION F(X)  F := probe()  1: GOTO 1  END: a loop that evaluates nothing.
TEST_F(UserRoutinesTest, AbortRequestStopsALoopOfGotosAlone) {
  SetOpcodeHandler(kProbeOpcode, Probe);
  probeAbortAt = 1;
  const int32_t f = Routine("F", {{"X"}});
  Stmt(f, CodeBuilder().Local(0).Word(kProbeOpcode).Word(OpEqual));
  TEquationRecord* loop = Label(f, 1);
  GotoStmt(f, loop)->Next = Label(f, 99999);
  Call(f, {{1}});
  EXPECT_EQ(CalcErrorCode, kMsgCancelled);
}

// F1(X) := F2(X), ..., F100(X) := F101(X), F101(X) := X.
TEST_F(UserRoutinesTest, NestingLimit) {
  const int32_t levels = kMaxRoutineNesting + 1;
  std::vector<int32_t> slots;
  for (int32_t i = 1; i <= levels; ++i) slots.push_back(Routine("F" + std::to_string(i), {{"X"}}));
  for (int32_t i = 0; i < levels; ++i) {
    if (i + 1 == levels) {
      Stmt(slots[i], CodeBuilder().Local(0).Local(1).Word(OpEqual));
    } else {
      TEquationRecord* e = Stmt(slots[i], CodeBuilder().Local(0).Local(1).Const(slots[i + 1]).Words({OpSeparator, OpUserFunction, OpEqual}));
      e->CallLists = new TArgumentListRecord();
      e->CallLists->Kind = slots[i + 1];
      e->CallLists->Name = R(slots[i + 1]).Name;
      e->CallLists->InputCount = 1;
    }
    Label(slots[i], 99999);
  }
  // A hundred bodies running at once are allowed; the hundred-and-first is not.
  EXPECT_EQ(Call(slots[1], {{5}}), 5.0L);
  EXPECT_EQ(CalcErrorCode, 0);
  Call(slots[0], {{6}});
  EXPECT_EQ(CalcErrorCode, kMsgRoutineNestingTooDeep);
  EXPECT_EQ(MessageArgs[1], "100");
  EXPECT_EQ(RoutineNestingDepth(), 0);
}

// FUNCTION F(N)  I := 0  REPEAT I := I + 1; X[I] := 2*I UNTIL I >= N;  F := X[N]  END
// X[I] is ARRAYELMT(1, 'X', I) with the count 2: 1 'X' I 2 234.
TEST_F(UserRoutinesTest, RunTimeArrayElementsBecomeLocals) {
  const int32_t f = Routine("F", {{"N"}}, {}, {"I"});
  const int32_t i = LocalNumber(f, "I");
  const int32_t x = StringConstIndex("X");
  Stmt(f, CodeBuilder().Local(i).Const(0).Word(OpEqual));
  TEquationRecord* top = Label(f, 32001);
  Stmt(f, CodeBuilder().Local(i).Local(i).Const(1).Word(OpAdd).Word(OpEqual));
  Stmt(f, CodeBuilder().Const(1).Str(x).Word(OpSeparator).Local(i).Word(OpSeparator).Const(2)
              .Words({OpSeparator, kArrayElement}).Const(2).Local(i).Word(OpMultiply).Word(OpEqual));
  TEquationRecord* until = Stmt(f, CompareLocals(1, i, 1));
  TEquationRecord* back = GotoStmt(f, top);
  TEquationRecord* result = Stmt(f, CodeBuilder().Local(0).Const(1).Str(x).Word(OpSeparator).Local(1)
                                        .Word(OpSeparator).Const(2).Words({OpSeparator, kArrayElement, OpEqual}));
  Branch(until, back, result);
  back->Next = result;
  Label(f, 99999);
  const int32_t before = LocalChainLength(R(f));
  EXPECT_EQ(Call(f, {{3}}), 6.0L);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(LocalChainLength(R(f)), before + 3);
  EXPECT_EQ(LocalNamed(f, "X[2]")->Value, 4.0L);
  EXPECT_EQ(Call(f, {{2}}), 4.0L);
  EXPECT_EQ(LocalChainLength(R(f)), before + 3);
}

// FUNCTION G(N)  G := X[N] + 1  END: a new element reads 0 in the call that
// creates it, and is unset (error 37) in later calls.
TEST_F(UserRoutinesTest, RunTimeElementReadBeforeAssignment) {
  const int32_t g = Routine("G", {{"N"}});
  Stmt(g, CodeBuilder().Local(0).Const(1).Str(StringConstIndex("X")).Word(OpSeparator).Local(1)
              .Word(OpSeparator).Const(2).Words({OpSeparator, kArrayElement}).Const(1).Words({OpAdd, OpEqual}));
  Label(g, 99999);
  EXPECT_EQ(Call(g, {{5}}), 1.0L);
  EXPECT_EQ(Call(g, {{6}}), 1.0L);
  EXPECT_EQ(CalcErrorCode, 0);
  Call(g, {{5}});
  EXPECT_EQ(CalcErrorCode, kMsgRoutineUndefinedVariable);
  EXPECT_EQ(MessageArgs[1], "X[5]");
}

// In the main program the element is a variable of the current unit.
TEST_F(UserRoutinesTest, RunTimeArrayElementInTheMainProgram) {
  MainVariable("T[1,2]", 7);
  const int32_t t = StringConstIndex("t");
  struct Case {
    int32_t row;
    long double value;
    int32_t error;
  } cases[] = {{1, 7, 0}, {3, 1.0L, kMsgUndefinedName}};
  for (const Case& c : cases) {
    TEquationRecord* e = CallSite(Routine("H", {}), {});
    CodeBuilder().Const(1).Str(t).Word(OpSeparator).Const(c.row).Word(OpSeparator).Const(2).Word(OpSeparator)
        .Const(3).Words({OpSeparator, kArrayElement}).Into(*e);
    EXPECT_EQ(Run(e), c.value) << c.row;
    EXPECT_EQ(CalcErrorCode, c.error);
  }
  EXPECT_EQ(MessageArgs[1], "T[3,2]");
  // Without subscripts the element has no name.
  TEquationRecord* e = calls_.back();
  CodeBuilder().Const(1).Str(t).Word(OpSeparator).Const(1).Words({OpSeparator, kArrayElement}).Into(*e);
  EXPECT_EQ(Run(e), ErrorResultValue);
  EXPECT_EQ(CalcErrorCode, kMsgSyntaxError);
}

int32_t parametricColumn = 0;

// FUNCTION F(X)  $COMMON Z  F := X + Z  END: Z is the local -z.
TEST_F(UserRoutinesTest, CommonVariablesJoinTheReuseTest) {
  const int32_t z = MainVariable("Z", 10);
  const int32_t f = Routine("F", {{"X"}});
  AppendLocal(R(f), f, -z, "Z");
  BuildLocalTable(f);
  Stmt(f, CodeBuilder().Local(0).Local(1).Local(-z).Word(OpAdd).Word(OpEqual));
  Label(f, 99999);
  EXPECT_EQ(Call(f, {{1}}), 11.0L);
  EXPECT_EQ(Call(f, {{1}}), 11.0L);
  EXPECT_EQ(R(f).CallCounter, 1);
  Var(z)->Value = 20;
  EXPECT_EQ(Call(f, {{1}}), 21.0L);
  EXPECT_EQ(R(f).CallCounter, 2);
  // TABLERUN# in the body: every call runs it.
  R(f).NeverReuse = 1;
  Call(f, {{1}});
  Call(f, {{1}});
  EXPECT_EQ(R(f).CallCounter, 4);
  // A $COMMON variable the main program does not determine may still be a
  // column of the Parametric table.
  Var(z)->UnknownPosition = kNotUnknown;
  parametricColumn = z;
  SetParametricColumnTest([](int32_t k) { return k == parametricColumn; });
  EXPECT_EQ(Call(f, {{2}}), 22.0L);
  EXPECT_EQ(CalcErrorCode, 0);
  SetParametricColumnTest(nullptr);
  EXPECT_EQ(Call(f, {{2}}), ErrorResultValue);
  EXPECT_EQ(CalcErrorCode, kMsgCommonVariableUndefined);
  EXPECT_EQ(MessageArgs[1], "Z");
}

TEST_F(UserRoutinesTest, CallsFindTheirRoutineByName) {
  const int32_t g = Routine("G", {{"X"}});
  Stmt(g, CodeBuilder().Local(0).Const(1).Word(OpEqual));
  const int32_t f = Routine("F", {{"X"}});
  Stmt(f, CodeBuilder().Local(0).Const(2).Word(OpEqual));
  // Compiled while F was in slot 1: the number is stale, the name is not.
  TEquationRecord* e = CallSite(f, {{0}});
  e->Constants.back() = g;
  e->Text = "y=F(0)";
  EXPECT_EQ(Run(e), 2.0L);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(e->CallLists->Kind, f);
  EXPECT_EQ(e->Text, std::string());
  // A routine that is gone.
  e->CallLists->Name = "H";
  EXPECT_EQ(Run(e), ErrorResultValue);
  EXPECT_EQ(CalcErrorCode, kMsgRoutineNotFound);
  EXPECT_EQ(MessageArgs[1], "H");
  // No call record at all.
  TArgumentListRecord* list = e->CallLists;
  e->CallLists = nullptr;
  EXPECT_EQ(Run(e), ErrorResultValue);
  EXPECT_EQ(CalcErrorCode, kMsgRoutineNotFound);
  EXPECT_EQ(MessageArgs[1], "");
  e->CallLists = list;
}

TEST_F(UserRoutinesTest, LimitsTakenFromVariables) {
  const int32_t lo = MainVariable("lo", 1), hi = MainVariable("hi", 9), guess = MainVariable("g", 4);
  const int32_t x = MainVariable("x", 0), s = MainVariable("s$", 0);
  for (int32_t v : {x, s}) {
    Var(v)->LowerVariable = static_cast<int16_t>(lo);
    Var(v)->UpperVariable = static_cast<int16_t>(hi);
    Var(v)->GuessVariable = static_cast<int16_t>(guess);
    Var(v)->LowerLimit = -100;
  }
  Var(s)->IsString = 1;
  CurrentProgramUnit->UnknownList[1] = static_cast<int16_t>(x);
  CurrentProgramUnit->UnknownList[2] = static_cast<int16_t>(s);
  CurrentProgramUnit->UnknownCount = 2;
  UpdateAllLimitsFromVariables();
  EXPECT_EQ(Var(x)->LowerLimit, 1.0L);
  EXPECT_EQ(Var(x)->UpperLimit, 9.0L);
  EXPECT_EQ(Var(x)->Guess, 4.0L);
  EXPECT_EQ(Var(x)->Value, 4.0L);
  EXPECT_EQ(Var(s)->LowerLimit, -100.0L);
  EXPECT_EQ(Var(s)->Value, 0.0L);
}

}  // namespace
}  // namespace voq

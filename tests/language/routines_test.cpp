// FUNCTION and PROCEDURE headers, their bodies and END, and the CALL
// statement, compiled from whole texts the way the Check command reads them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/string_constants.h"
#include "language/code_listing.h"
#include "language/routine_calls.h"
#include "language/routine_reader.h"
#include "language/store_fixture.h"
#include "model/compiled_code.h"
#include "model/routines.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "session/compile_driver.h"
#include "session/engine.h"

namespace voq {
namespace {

class RoutinesTest : public testing::LanguageStoreTest {
 protected:
  void SetUp() override {
    LanguageStoreTest::SetUp();
    SetEquationsEditor(&editor);
    CheckOnlyMode = true;
    EquationsCompiled = false;
  }
  void TearDown() override {
    SetEquationsEditor(nullptr);
    CheckOnlyMode = false;
    LanguageStoreTest::TearDown();
  }

  // A case of a table on a fresh engine, as every test starts.
  void FreshStore() {
    ResetEngineState();
    SetEquationsEditor(&editor);
    CheckOnlyMode = true;
  }

  // Compiles the text as the Check command does; returns the error left.
  int32_t Read(const std::string& text) {
    editor.SetText(text);
    EquationsCompiled = false;
    CompileEquations(false, false);
    return CalcErrorCode;
  }

  std::vector<TEquationRecord*> MainEquations() {
    std::vector<TEquationRecord*> list;
    for (TEquationRecord* e = MainProgramUnit->FirstEquation; e != nullptr; e = e->Next) list.push_back(e);
    return list;
  }
  std::string MainListing(size_t k) { return ListEquationCode(*MainEquations().at(k), MainProgramUnit); }

  std::vector<std::string> BodyListings(const TRoutineRecord& r) {
    std::vector<std::string> out;
    for (TEquationRecord* e = r.FirstStatement; e != nullptr; e = e->Next) {
      std::string line = e->Label != 0 ? std::to_string(e->Label) + ":" : "";
      const std::string code = ListEquationCode(*e, MainProgramUnit);
      if (!line.empty() && !code.empty()) line += " ";
      out.push_back(line + code);
    }
    return out;
  }

  std::vector<std::string> LocalNames(const TRoutineRecord& r) {
    std::vector<std::string> out;
    for (const TLocalVariableRecord* l = r.Locals; l != nullptr; l = l->Next) {
      out.push_back(l->Name + "=" + std::to_string(l->LocalNumber));
    }
    return out;
  }

  TRoutineRecord* Routine(const std::string& upperName) { return RoutineAt(FindRoutineSlot(upperName)); }

  ScriptedPlatform platform;
  ScopedPlatform scoped{platform};
  InMemoryEquationsEditor editor;
};

TEST_F(RoutinesTest, FunctionHeaderBodyAndCallCompile) {
  ASSERT_EQ(Read("FUNCTION F(X, Y[1..3])\n"
                 "  F := X^2 + Y[2]\n"
                 "END\n"
                 "z = F(3, q[1..3])\n"),
            0);
  TRoutineRecord* f = Routine("F");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->InputCount, 4);
  EXPECT_EQ(f->InputGroups, 2);
  EXPECT_EQ(f->OutputCount, 0);
  EXPECT_EQ(f->ResultUsed, 1);
  EXPECT_EQ(f->Defined, 1);
  EXPECT_EQ(LocalNames(*f), (std::vector<std::string>{"F=0", "X=1", "Y[1]=2", "Y[2]=3", "Y[3]=4"}));
  // The parameter list: a plain parameter, then the range's code and one
  // continuation per further element.
  ASSERT_NE(f->Parameters, nullptr);
  const std::vector<int32_t>& codes = f->Parameters->Codes;
  ASSERT_EQ(codes.size(), 4u);
  EXPECT_EQ(codes[0], 0);
  EXPECT_EQ(StringConstText(codes[1]), "Y_1..3\x0B");
  EXPECT_EQ(codes[2], -1);
  EXPECT_EQ(codes[3], -1);
  EXPECT_EQ(f->Parameters->ArgumentCount, 2);
  // The body: the assignment as target - expression, then the closing
  // label 99999 that END adds.
  EXPECT_EQ(BodyListings(*f), (std::vector<std::string>{"local0 local1 2 ^ local3 + =", "99999:"}));
  // END built the tables: four hash entries per local.
  EXPECT_EQ(f->LocalCount, 5);
  EXPECT_EQ(f->HashSize, 20);
  EXPECT_EQ(LocalByNumber(*f, 3)->Name, "Y[2]");

  // The call: arguments (the range pushes its elements one after the
  // other), the routine's number, opcode 208; its argument list hangs on
  // the equation.
  ASSERT_EQ(MainEquations().size(), 1u);
  const int32_t slot = FindRoutineSlot("F");
  EXPECT_EQ(MainListing(0), "z 3 q[1] q[2] q[3] , " + std::to_string(slot) + " , #208 =");
  const TArgumentListRecord* call = MainEquations()[0]->CallLists;
  ASSERT_NE(call, nullptr);
  EXPECT_EQ(call->Kind, slot);
  EXPECT_EQ(call->InputCount, 4);
  EXPECT_EQ(call->ArgumentCount, 2);
  EXPECT_EQ(call->CodesPerArgument[2], 3);
  EXPECT_EQ(f->Called, 1);
}

TEST_F(RoutinesTest, ProcedureHeaderCountsInputsAndOutputs) {
  const struct {
    const char* header;
    int32_t inputs, outputs, inputGroups, outputGroups;
  } cases[] = {
      {"PROCEDURE P(A, B : C, D)", 2, 2, 2, 2},
      {"PROCEDURE P(A[1..3] : C, D[0..4])", 3, 6, 1, 2},
      {"PROCEDURE P(A : C)", 1, 1, 1, 1},
      {"PROCEDURE P(A : M[1..2,0..2], s)", 1, 7, 1, 2},
      {"PROCEDURE P(A : C[3..1], D)", 1, 1, 1, 2},
  };
  for (const auto& c : cases) {
    FreshStore();
    ASSERT_EQ(Read(std::string(c.header) + "\n  C := A\nEND\n"), 0) << c.header;
    TRoutineRecord* p = Routine("P");
    ASSERT_NE(p, nullptr) << c.header;
    EXPECT_EQ(p->InputCount, c.inputs) << c.header;
    EXPECT_EQ(p->OutputCount, c.outputs) << c.header;
    EXPECT_EQ(p->InputGroups, c.inputGroups) << c.header;
    EXPECT_EQ(p->OutputGroups, c.outputGroups) << c.header;
  }
}

TEST_F(RoutinesTest, HeaderAndBodyErrors) {
  const std::string fBody = "FUNCTION F(X)\n  F := X\nEND\n";
  const struct {
    std::string text;
    int32_t error;
  } cases[] = {
      {"FUNCTION F(X)\n  y := X\nEND\n", kMsgFunctionValueUnassigned},         // 39
      {"PROCEDURE P(A, B)\n  B := A\nEND\n", kMsgProcedureColonMissing},       // 83
      {"PROCEDURE P(A : B\n  B := A\nEND\n", kMsgMissingDelimiter},            // 339
      {"PROCEDURE P(A : B[n..3])\n  B[1] := A\nEND\n", kMsgCallProcedureArgumentCount},  // 84
      {"x = 1\n" + fBody, kMsgRoutinesFirst},                                  // 36
      {"FUNCTION F(X)\nFUNCTION G(Y)\n", kMsgNestedRoutines},                  // 31
      {"FUNCTION F X\n", kMsgRoutineHeaderSyntax},                             // 32
      {"FUNCTION F(X\n", kMsgRoutineHeaderSyntax},
      {"FUNCTION F(X, 2a)\n  F := X\nEND\n", kMsgRoutineArgumentListSyntax},  // 34
      {"FUNCTION SIN(X)\n  SIN := X\nEND\n", kMsgNameIsBuiltinFunction},       // 82
      {"FUNCTION Enthalpy(X)\n  Enthalpy := X\nEND\n", kMsgNameIsBuiltinFunction},  // a property function
      {"PROCEDURE volume(A : B)\n  B := A\nEND\n", kMsgNameIsBuiltinFunction},
      {"END\n", kMsgMisplacedEnd},                                             // 35
      {"FUNCTION F(X)\n  F := X\n", kMsgMissingEnd},                           // 30
      {"FUNCTION F(X)\n  F = X\nEND\n", kMsgAssignmentOperator},               // 88
      {"FUNCTION F(X)\n  GOTO 0\n  F := X\nEND\n", kMsgGotoLabel},             // 87
      {"FUNCTION F(X)\n  GOTO 40000\n  F := X\nEND\n", kMsgGotoLabel},
      {"FUNCTION F(X)\n  30001: F := X\nEND\n", kMsgLabelRange},               // 86
      {"FUNCTION F(X)\n  2+a := X\n  F := X\nEND\n", kMsgRoutineEquationSyntax},  // 33
      {"FUNCTION F(X)\n  GOTO 10\n  F := X\nEND\n", kMsgLabelNotFound},        // 341
      {"FUNCTION F(X)\n  10: F := X\n  10: F := 2\nGOTO 10\nEND\n", kMsgDuplicateLabel},  // 92
      {fBody + "y = F(1, 2)\n", kMsgUserFunctionArgumentCount},                // 7
      {"FUNCTION F(X)\n  F := F(X)\nEND\n", kMsgRecursion},                    // 38
      {"FUNCTION F(X)\n  F := X\nEND\nFUNCTION G(F)\n  G := F\nEND\n", kMsgParameterIsFunction},  // 41
      {"PROCEDURE P(A : B)\n  P := A\n  B := A\nEND\n", kMsgForbiddenVariableName},  // 253
      {"FUNCTION G()\n  G := 1\nEND\n", kMsgRoutineArgumentListSyntax},  // no parameter at all
  };
  for (const auto& c : cases) {
    FreshStore();
    EXPECT_EQ(Read(c.text), c.error) << c.text;
    // Checked again unchanged, the text gives the same error.
    EXPECT_EQ(Read(c.text), c.error) << c.text;
  }
}

// The names of property functions are taken: the header says so with the
// name as written, and the clash check itself reports 387.
TEST_F(RoutinesTest, PropertyFunctionNamesAreTaken) {
  EXPECT_EQ(Read("FUNCTION Enthalpy(X)\n  Enthalpy := X\nEND\ny = Enthalpy(2)\n"), kMsgNameIsBuiltinFunction);
  EXPECT_EQ(MessageArgs[1], "Enthalpy");
  struct {
    const char* name;
    int32_t error;
  } cases[] = {{"ENTHALPY", kMsgNameIsRoutine}, {"density", kMsgNameIsRoutine}, {"Enthalpy2", 0}, {"F", 0}};
  for (const auto& c : cases) {
    CalcErrorCode = 0;
    CheckRoutineNameClash(c.name, false);
    EXPECT_EQ(CalcErrorCode, c.error) << c.name;
    if (c.error != 0) {
      EXPECT_EQ(MessageArgs[1], c.name);
    }
  }
  CalcErrorCode = 0;
}

TEST_F(RoutinesTest, GotoAndLabelsResolveInTheBody) {
  ASSERT_EQ(Read("FUNCTION F(X)\n"
                 "  F := X\n"
                 "  GOTO 10\n"
                 "  F := 0\n"
                 "10: END\n"),
            0);
  TRoutineRecord* f = Routine("F");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(BodyListings(*f), (std::vector<std::string>{"local0 local1 =", "goto10", "local0 0 =", "10:"}));
  TEquationRecord* jump = f->FirstStatement->Next;
  ASSERT_NE(jump->JumpTarget, nullptr);
  EXPECT_EQ(jump->JumpTarget->Label, 10);
  EXPECT_EQ(jump->JumpTarget->Next, nullptr);
}

TEST_F(RoutinesTest, KeywordsAreRecognisedOnlyAsWords) {
  // ENDX and FunctionValue are assignment targets, END {comment} an END.
  ASSERT_EQ(Read("FUNCTION F(X)\n  ENDX := X\n  FunctionValue := ENDX\n  F := FunctionValue\nEND {done}\n"
                 "ProcedureCount = 2\n"),
            0);
  EXPECT_EQ(LocalNames(*Routine("F")),
            (std::vector<std::string>{"F=0", "X=1", "ENDX=2", "FunctionValue=3"}));
  EXPECT_EQ(MainListing(0), "ProcedureCount 2 =");
}

TEST_F(RoutinesTest, TableOfRoutinesHoldsThreeHundred) {
  std::string text;
  for (int k = 1; k <= kMaxRoutines; ++k) {
    text += "FUNCTION F" + std::to_string(k) + "(X)\n F" + std::to_string(k) + " := X\nEND\n";
  }
  ASSERT_EQ(Read(text), 0);
  EXPECT_EQ(FunctionCount, kMaxRoutines);
  // The same text again: every routine is found in its slot.
  TRoutineRecord* first = FunctionTable[1];
  ASSERT_EQ(Read(text), 0);
  EXPECT_EQ(FunctionCount, kMaxRoutines);
  EXPECT_EQ(FunctionTable[1], first);
  // A 301st routine has no slot.
  EXPECT_EQ(Read(text + "FUNCTION G(X)\n G := X\nEND\n"), kMsgRoutineTableFull);
}

TEST_F(RoutinesTest, UnchangedHeaderKeepsTheRecordAndReusesItsStatements) {
  const std::string text = "FUNCTION F(X)\n  y := X*2\n  F := y\nEND\nz = F(2)\n";
  ASSERT_EQ(Read(text), 0);
  TRoutineRecord* f = Routine("F");
  ASSERT_NE(f, nullptr);
  TEquationRecord* firstStatement = f->FirstStatement;
  const std::string firstCode = ListEquationCode(*firstStatement, MainProgramUnit);
  f->Locals->Next->FormatGiven = 1;  // a mark only a kept record carries

  ASSERT_EQ(Read(text), 0);
  EXPECT_EQ(Routine("F"), f);
  EXPECT_EQ(f->Locals->Next->FormatGiven, 1);
  EXPECT_EQ(f->ResultUsed, 1);  // set again by the statement taken over
  EXPECT_EQ(ListEquationCode(*f->FirstStatement, MainProgramUnit), firstCode);
  EXPECT_EQ(BodyListings(*f).size(), 3u);

  // A changed header makes a new record in the same slot.
  const int32_t slot = FindRoutineSlot("F");
  ASSERT_EQ(Read("FUNCTION F(X, W)\n  F := X*W\nEND\nz = F(2, 3)\n"), 0);
  EXPECT_EQ(FindRoutineSlot("F"), slot);
  EXPECT_EQ(Routine("F")->InputCount, 2);
}

TEST_F(RoutinesTest, ProcedureAndFunctionWithTheSameListAreDifferentHeaders) {
  ASSERT_EQ(Read("PROCEDURE P(a : b)\n  b := a\nEND\n"), 0);
  EXPECT_EQ(Routine("P")->OutputCount, 1);
  ASSERT_EQ(Read("FUNCTION P(a, b)\n  P := a + b\nEND\n"), 0);
  EXPECT_EQ(Routine("P")->OutputCount, 0);
  EXPECT_EQ(Routine("P")->InputCount, 2);
}

// A read that fails inside a body must not hand the body's previous
// statements to the main program.
TEST_F(RoutinesTest, FailedBodyLeavesTheMainProgramAlone) {
  const std::string good = "FUNCTION F(X)\n  y := X + 1\n  F := y\nEND\nz = F(1)\n";
  ASSERT_EQ(Read(good), 0);
  EXPECT_EQ(Read("FUNCTION F(X)\n  F := X +\nEND\nz = F(1)\n"), kMsgSyntaxError);
  for (TEquationRecord* e = MainProgramUnit->FirstEquation; e != nullptr; e = e->Next) {
    ASSERT_FALSE(!e->Code.empty() && e->Code[0] == CodeLocalVariable) << ListEquationCode(*e, MainProgramUnit);
  }
  ASSERT_EQ(Read(good), 0);
  ASSERT_EQ(MainEquations().size(), 1u);
  EXPECT_EQ(MainListing(0), "z 1 " + std::to_string(FindRoutineSlot("F")) + " , #208 =");
}

TEST_F(RoutinesTest, CallOfAProcedureMakesOneEquationPerOutput) {
  ASSERT_EQ(Read("PROCEDURE Proc(a, b : x, y)\n"
                 "  x := a + b\n"
                 "  y := a - b\n"
                 "END\n"
                 "CALL proc(1, 2 : u, v)\n"),
            0);
  const int32_t slot = FindRoutineSlot("PROC");
  const std::string n = std::to_string(slot);
  ASSERT_EQ(MainEquations().size(), 2u);
  // u = PROC(1,2,1) and v = PROC(1,2,2).
  EXPECT_EQ(MainListing(0), "u 1 2 , 1 , " + n + " , #208 =");
  EXPECT_EQ(MainListing(1), "v 1 2 , 2 , " + n + " , #208 =");
  for (TEquationRecord* e : MainEquations()) {
    EXPECT_EQ(e->EquationKind, 2);
    EXPECT_EQ(e->TrySolveAlone, 0);
    ASSERT_TRUE(e->Text.has_value());
    EXPECT_EQ(e->Text->front(), '~');
    // inputs 1, 2 and the output selector, then the two outputs' codes.
    const TArgumentListRecord* list = e->CallLists;
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Kind, slot);
    EXPECT_EQ(list->Name, "PROC");
    EXPECT_EQ(list->InputCount, 3);
    EXPECT_EQ(list->OutputCount, 2);
    EXPECT_EQ(list->ArgumentCount, 5);
  }
  EXPECT_EQ(MainEquations()[0]->CallLists->Codes, (std::vector<int32_t>{0, 0, 0, 0, 0}));
}

TEST_F(RoutinesTest, CallWithARangeOfOutputs) {
  ASSERT_EQ(Read("PROCEDURE P(a : r[1..2])\n"
                 "  r[1] := a\n"
                 "  r[2] := 2*a\n"
                 "END\n"
                 "CALL P(5 : s[1..2])\n"),
            0);
  ASSERT_EQ(MainEquations().size(), 2u);
  const std::string n = std::to_string(FindRoutineSlot("P"));
  EXPECT_EQ(MainListing(0), "s[1] 5 1 , " + n + " , #208 =");
  EXPECT_EQ(MainListing(1), "s[2] 5 2 , " + n + " , #208 =");
  const TArgumentListRecord* list = MainEquations()[0]->CallLists;
  ASSERT_EQ(list->Codes.size(), 4u);
  EXPECT_EQ(StringConstText(list->Codes[2]), "s_1..2\x0B");
  EXPECT_EQ(list->Codes[3], -1);
  EXPECT_EQ(list->CodesPerArgument[3], 2);
}

TEST_F(RoutinesTest, CallStatementErrors) {
  const std::string proc = "PROCEDURE P(a, b : x, y)\n  x := a\n  y := b\nEND\n";
  const struct {
    std::string text;
    int32_t error;
  } cases[] = {
      {proc + "CALL P(1, 2 : u)\n", kMsgCallProcedureArgumentCount},     // 84
      {proc + "CALL P(1, 2, u, v)\n", kMsgProcedureColonMissing},        // 83
      {proc + "CALL Q(1, 2 : u, v)\n", kMsgBadCallStatement},            // 15
      {proc + "CALL P\n", kMsgBadCallStatement},
      {"CALL ERROR('bad input')\n", kMsgCallErrorOutsideRoutine},       // 171
      {proc + "CALL P('a, 2 : u, v)\n", kMsgMissingQuoteOrSyntax},       // 162
      {proc + "CALL P(1, (2 : u, v)\n", kMsgUnmatchedParentheses},       // 1
  };
  for (const auto& c : cases) {
    FreshStore();
    EXPECT_EQ(Read(c.text), c.error) << c.text;
  }
}

TEST_F(RoutinesTest, CallErrorInsideABodyAssignsTheBuiltinCall) {
  ASSERT_EQ(Read("FUNCTION F(X)\n"
                 "  CALL ERROR('bad input')\n"
                 "  F := X\n"
                 "END\n"),
            0);
  TRoutineRecord* f = Routine("F");
  ASSERT_NE(f, nullptr);
  TEquationRecord* call = f->FirstStatement;
  EXPECT_EQ(call->EquationKind, 2);
  // ERROR := ERROR('bad input'): a local named ERROR, the built-in call.
  EXPECT_EQ(LocalNames(*f), (std::vector<std::string>{"F=0", "X=1", "ERROR=2"}));
  EXPECT_TRUE(ListEquationCode(*call, MainProgramUnit).starts_with("local2 ")) << ListEquationCode(*call, MainProgramUnit);
}

TEST_F(RoutinesTest, ProcedureCallInsideABodyAssignsLocals) {
  ASSERT_EQ(Read("PROCEDURE P(a : x)\n  x := a\nEND\n"
                 "FUNCTION F(X)\n  CALL P(X : t)\n  F := t\nEND\n"),
            0);
  TRoutineRecord* f = Routine("F");
  const std::string n = std::to_string(FindRoutineSlot("P"));
  EXPECT_EQ(BodyListings(*f)[0], "local2 local1 1 , " + n + " , #208 =");
}

TEST_F(RoutinesTest, ArgumentListsRefuseMoreThanThreeHundredGroups) {
  TArgumentListRecord* chain = nullptr;
  TArgumentListRecord* list = NewArgumentList(-1, "BIG", chain);
  for (int32_t k = 0; k < kMaxArgumentGroups; ++k) AddCallArgument(list, 0);
  EXPECT_EQ(CalcErrorCode, 0);
  AddCallArgument(list, -1);  // a further element of the last group
  EXPECT_EQ(CalcErrorCode, 0);
  AddCallArgument(list, 0);
  EXPECT_EQ(CalcErrorCode, kMsgTooManyArguments);
  EXPECT_EQ(list->ArgumentCount, kMaxArgumentGroups);
  EXPECT_EQ(list->CodesPerArgument[kMaxArgumentGroups], 2);
  DisposeArgumentListChain(chain);
}

TEST_F(RoutinesTest, CountCallArgumentsExpandsRangesAndRecordsCodes) {
  const struct {
    const char* call;
    TCallCounts counts;
    std::vector<int32_t> plainCodes;  // codes with every range code shown as 1
  } cases[] = {
      {"P(a,b:c)", {2, 2, 1, 1}, {0, 0, 0}},
      {"P(x[1..3],f(1,2):y[0..1])", {4, 2, 2, 1}, {1, -1, -1, 0, 1, -1}},
      {"P('a,b',c:d)", {2, 2, 1, 1}, {0, 0, 0}},
      {"P(m[1..2,1..2]:z)", {4, 1, 1, 1}, {1, -1, -1, -1, 0}},
  };
  for (const auto& c : cases) {
    TArgumentListRecord* chain = nullptr;
    TArgumentListRecord* list = NewArgumentList(-1, "P", chain);
    std::string text = c.call;
    const TCallCounts counts = CountCallArguments(text, 2, list);
    EXPECT_EQ(CalcErrorCode, 0) << c.call;
    EXPECT_EQ(counts.InputsExpanded, c.counts.InputsExpanded) << c.call;
    EXPECT_EQ(counts.InputGroups, c.counts.InputGroups) << c.call;
    EXPECT_EQ(counts.OutputsExpanded, c.counts.OutputsExpanded) << c.call;
    EXPECT_EQ(counts.OutputGroups, c.counts.OutputGroups) << c.call;
    std::vector<int32_t> codes = list->Codes;
    for (int32_t& code : codes) {
      if (code > 0) code = 1;
    }
    EXPECT_EQ(codes, c.plainCodes) << c.call;
    EXPECT_EQ(list->InputCount, c.counts.InputsExpanded) << c.call;
    EXPECT_EQ(list->OutputCount, c.counts.OutputsExpanded) << c.call;
    DisposeArgumentListChain(chain);
  }
}

// An external procedure as the library catalogue would list it.
class OneExternalProcedure : public ExternalProcedureCatalog {
 public:
  TExternalProcedureEntry entry{"ExtP", 0, 0, 7};
  TExternalProcedureEntry* Find(const std::string& upperName) override {
    return upperName == "EXTP" ? &entry : nullptr;
  }
};

TEST_F(RoutinesTest, ExternalProcedureCallCompilesToOpcode254) {
  OneExternalProcedure catalog;
  SetExternalProcedureCatalog(&catalog);
  ASSERT_EQ(Read("CALL ExtP(a, b : x, y)\na = 1\nb = 2\n"), 0);
  SetExternalProcedureCatalog(nullptr);
  EXPECT_EQ(catalog.entry.InputCount, 2);
  EXPECT_EQ(catalog.entry.OutputCount, 2);
  // x = 254(' ', a, b, 3 inputs, 2 outputs, procedure 7, output 1).
  ASSERT_GE(MainEquations().size(), 2u);
  EXPECT_EQ(MainListing(0), "x ' ' a , b , 3 , 2 , 7 , 1 , #254 =");
  EXPECT_EQ(MainListing(1), "y ' ' a , b , 3 , 2 , 7 , 2 , #254 =");
  EXPECT_EQ(MainEquations()[0]->CallLists, nullptr);
  const TArgumentListRecord* list = MainEquations()[1]->CallLists;
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->Kind, -1);
  EXPECT_EQ(list->Codes, (std::vector<int32_t>{-2, 0, 0, 0, 0}));
  EXPECT_EQ(MainEquations()[0]->EquationKind, 2);
}

TEST_F(RoutinesTest, LocalSetToANumberIsKnownWhileTheBodyIsCompiled) {
  ASSERT_EQ(Read("FUNCTION F(X)\n  n := -3\n  F := X*n\nEND\n"), 0);
  TRoutineRecord* f = Routine("F");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(BodyListings(*f)[0], "local2 3 neg =");
  int32_t flag = 0;
  Extended value = 0;
  EXPECT_EQ(FindLocalVariable("N", FindRoutineSlot("F"), flag, value), 2);
  EXPECT_EQ(flag, -1);
  EXPECT_EQ(static_cast<double>(value), -3.0);
  // The parameter is not a constant.
  EXPECT_EQ(FindLocalVariable("x", FindRoutineSlot("F"), flag, value), 1);
  EXPECT_EQ(flag, 0);
}

TEST_F(RoutinesTest, LocalsStandInTheHashWhereTheyAreLookedFor) {
  ASSERT_EQ(Read("FUNCTION H(X)\n  H := 1\nEND\n"), 0);
  TRoutineRecord* h = Routine("H");
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(h->HashSize, 8);
  const int32_t slot = FindRoutineSlot("H");
  for (const char* name : {"H", "X"}) {
    const int32_t i = LocalHashSlot(name, slot);
    ASSERT_GT(i, 0) << name;
    EXPECT_EQ(h->LocalHash[i]->UpperName, name);
  }
}

}  // namespace
}  // namespace voq

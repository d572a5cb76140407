#include "model/routines.h"

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "model/store_state.h"

namespace voq::testing {
namespace {

// A routine in the next free slot, with a result local named like it.
int32_t AddRoutine(const std::string& name, bool library = false) {
  auto* r = new TRoutineRecord();
  r->Name = name;
  r->UpperName = UpperCaseName(name);
  r->IsLibrary = library ? 1 : 0;
  FunctionTable[++FunctionCount] = r;
  AppendLocal(*r, FunctionCount, 0, name);
  return FunctionCount;
}

TEST(RoutinesTest, UnsetLocalValueIsTheNearestExtendedToItsDecimal) {
  // -9.99999E-97 read as a 64-bit-mantissa real (the nearest value: the
  // pattern is 0.09 units in the last place from the decimal, by exact
  // rational arithmetic).
  EXPECT_EQ(UnsetLocalValue, std::strtold("-9.99999E-97", nullptr));
  uint8_t bytes[10];
  PackExtended(bytes, UnsetLocalValue);
  const uint8_t expected[10] = {0x70, 0x07, 0xD0, 0x7D, 0x02, 0xFA, 0xB3, 0x88, 0xC0, 0xBE};
  for (int k = 0; k < 10; ++k) EXPECT_EQ(bytes[k], expected[k]) << "byte " << k;
  EXPECT_TRUE(IsUnsetLocalValue(UnsetLocalValue));
  EXPECT_FALSE(IsUnsetLocalValue(-9.99999E-97));  // the 8-byte real is another value
  EXPECT_FALSE(IsUnsetLocalValue(0));
}

// Home entries of names in an empty hash of 20 entries (a routine of five
// locals), worked out by hand; codes are unsigned bytes:
//   "X"    L=1: e=88, f=-31, g=199: (-31+2816)*32 + 3184 + 56 = 92360; 92360 mod 20 = 0 -> 1
//   "AB"   L=2: e=66, f=-31, g=34: (-31+2112)*32 + 544 + 33 = 67169; mod 20 = 9 -> 10
//   "ABCD" L=4: e=68, f=-29, g=34: 2147*32 + 544 + 33 = 69281, + 3*66 - 20 = 69459; mod 20 = 19 -> 20
//   "X[12]" L=5: e = '1'+'2' = 99, f=-28, g=59: 3140*32 + 944 + 56 = 101480, + 3*49 - 20 = 101607;
//          mod 20 = 7 -> 8
//   "\xC9" (E acute) L=1: e=201: (-31+6432)*32 + 3184 + 169 = 208185; mod 20 = 5 -> 6
TEST(RoutinesTest, LocalHashSlotFollowsTheHashFormula) {
  const int32_t slot = AddRoutine("F");
  TRoutineRecord* r = RoutineAt(slot);
  r->HashSize = 20;
  r->LocalHash.assign(21, nullptr);
  const struct {
    const char* name;
    int32_t home;
  } cases[] = {{"X", 1}, {"AB", 10}, {"ABCD", 20}, {"X[12]", 8}, {"\xC9", 6}};
  for (const auto& c : cases) EXPECT_EQ(LocalHashSlot(c.name, slot), c.home) << c.name;

  // Probing: its own entry, the next empty one, and no wrap-around past M.
  TLocalVariableRecord other;
  other.UpperName = "OTHER";
  TLocalVariableRecord ab;
  ab.UpperName = "AB";
  r->LocalHash[10] = &other;
  r->LocalHash[11] = &ab;
  EXPECT_EQ(LocalHashSlot("AB", slot), 11);
  r->LocalHash[20] = &other;
  EXPECT_EQ(LocalHashSlot("ABCD", slot), 0);
  r->LocalHash.assign(21, nullptr);
}

TEST(RoutinesTest, TheHashOfTheRoutineNamedIsProbedNotTheOneBeingCompiled) {
  const int32_t big = AddRoutine("G");
  RoutineAt(big)->HashSize = 20;
  RoutineAt(big)->LocalHash.assign(21, nullptr);
  const int32_t small = AddRoutine("H");  // no table yet
  CompilingFunctionIndex = small;
  EXPECT_EQ(LocalHashSlot("AB", big), 10);
  CompilingFunctionIndex = big;
  EXPECT_EQ(LocalHashSlot("AB", small), 0);
}

TEST(RoutinesTest, BuildLocalTableIndexesEveryLocal) {
  // A routine of the result alone: M = 4 is too small for a hash, so its
  // one local lands in the unread entry 0.
  const int32_t one = AddRoutine("F");
  BuildLocalTable(one);
  const TRoutineRecord& f = *RoutineAt(one);
  EXPECT_EQ(f.LocalCount, 1);
  EXPECT_EQ(f.HashSize, 4);
  EXPECT_EQ(LocalHashSlot("F", one), 0);
  EXPECT_EQ(f.LocalHash[0], f.Locals);
  EXPECT_EQ(LocalByNumber(f, 0), f.Locals);

  const int32_t slot = AddRoutine("G");
  TRoutineRecord& g = *RoutineAt(slot);
  AppendLocal(g, slot, 1, "x");
  AppendLocal(g, slot, 2, "Y$");
  TLocalVariableRecord* common = AppendLocal(g, slot, -7, "z");
  BuildLocalTable(slot);
  EXPECT_EQ(g.LocalCount, 4);
  EXPECT_EQ(g.HashSize, 16);
  EXPECT_EQ(g.HasCommonLocals, 1);
  EXPECT_EQ(LocalByNumber(g, 2)->Name, "Y$");
  EXPECT_EQ(LocalByNumber(g, 2)->IsString, 1);
  EXPECT_EQ(LocalByNumber(g, 3), nullptr);  // the $COMMON local has no number of its own
  EXPECT_EQ(LocalByNumber(g, -1), nullptr);
  for (const TLocalVariableRecord* l = g.Locals; l != nullptr; l = l->Next) {
    const int32_t h = LocalHashSlot(l->UpperName, slot);
    ASSERT_GT(h, 0) << l->Name;
    EXPECT_EQ(g.LocalHash[h], l);
  }
  EXPECT_EQ(g.LocalHash[LocalHashSlot("Z", slot)], common);
}

TEST(RoutinesTest, FindLocalVariableWalksTheChain) {
  const int32_t slot = AddRoutine("F");
  TLocalVariableRecord* x = AppendLocal(*RoutineAt(slot), slot, 1, "a[1]");
  x->Value = 2.5L;
  int32_t flag = 5;
  Extended value = 9;
  TLocalVariableRecord* found = nullptr;
  // An element whose subscript is only known at run time.
  EXPECT_EQ(FindLocalVariable("A[1]", slot, flag, value, &found), 1);
  EXPECT_EQ(found, x);
  EXPECT_EQ(value, 2.5L);
  EXPECT_EQ(CalcErrorCode, kMsgSubscriptUnset);
  CalcErrorCode = 0;
  x->ConstantFlag = -1;
  EXPECT_EQ(FindLocalVariable("a[1]", slot, flag, value), 1);
  EXPECT_EQ(flag, -1);
  EXPECT_EQ(CalcErrorCode, 0);
  // The result and an absent name both answer 0; only found tells them apart.
  EXPECT_EQ(FindLocalVariable("f", slot, flag, value, &found), 0);
  EXPECT_EQ(found, RoutineAt(slot)->Locals);
  EXPECT_EQ(FindLocalVariable("b", slot, flag, value, &found), 0);
  EXPECT_EQ(found, nullptr);
  EXPECT_EQ(value, 0);
}

TEST(RoutinesTest, CompactKeepsLibraryRoutinesInOrder) {
  AddRoutine("A");
  const int32_t b = AddRoutine("B", true);
  AddRoutine("C");
  const int32_t d = AddRoutine("D", true);
  TRoutineRecord* libB = RoutineAt(b);
  TRoutineRecord* libD = RoutineAt(d);
  CompactFunctionTable();
  EXPECT_EQ(FunctionCount, 2);
  EXPECT_EQ(FunctionTable[1], libB);
  EXPECT_EQ(FunctionTable[2], libD);
  EXPECT_EQ(FunctionTable[3], nullptr);
  EXPECT_EQ(FunctionTable[4], nullptr);
  EXPECT_EQ(FindRoutineSlot("D"), 2);

  ShuttingDown = true;
  CompactFunctionTable();
  ShuttingDown = false;
  EXPECT_EQ(FunctionCount, 0);
  EXPECT_EQ(FunctionTable[1], nullptr);
}

TEST(RoutinesTest, DisposedRoutineHandsItsLocalFormatsToItsNextBuild) {
  AddRoutine("Library", true);
  const int32_t slot = AddRoutine("Rate");
  TLocalVariableRecord* v = AppendLocal(*RoutineAt(slot), slot, 1, "v");
  v->Units = "m/s";
  v->Style = 1;
  v->Digits = 2;
  v->DisplayCode = 5;
  v->FormatGiven = 1;
  AppendLocal(*RoutineAt(slot), slot, 2, "w");  // no format: not kept
  CompactFunctionTable();
  ASSERT_EQ(LocalFormatList.size(), 1u);
  EXPECT_EQ(LocalFormatList[0]->Name, "v");
  EXPECT_EQ(LocalFormatList[0]->UpperName, "RATE");

  // A local of that name in another routine does not take it. A stored
  // format also matches by slot, so Pad takes Rate's old slot first.
  EXPECT_EQ(AddRoutine("Pad"), slot);
  const int32_t other = AddRoutine("Other");
  const TLocalVariableRecord* stranger = AppendLocal(*RoutineAt(other), other, 1, "V");
  EXPECT_EQ(stranger->FormatGiven, 0);
  EXPECT_EQ(LocalFormatList.size(), 1u);

  const int32_t again = AddRoutine("RATE");
  const TLocalVariableRecord* fresh = AppendLocal(*RoutineAt(again), again, 1, "V");
  EXPECT_EQ(fresh->Units, "m/s");
  EXPECT_EQ(fresh->Style, 1);
  EXPECT_EQ(fresh->Digits, 2);
  EXPECT_EQ(fresh->DisplayCode, 5);
  EXPECT_EQ(fresh->FormatGiven, 1);
  EXPECT_EQ(fresh->Value, 0);
  EXPECT_EQ(fresh->LocalNumber, 1);
  EXPECT_TRUE(LocalFormatList.empty());
}

TEST(RoutinesTest, StatementsReachedOnlyThroughABranchAreTheRoutinesToo) {
  const int32_t slot = AddRoutine("F");
  TRoutineRecord& r = *RoutineAt(slot);
  auto* first = new TEquationRecord();
  auto* then = new TEquationRecord();
  auto* orElse = new TEquationRecord();
  first->Text = "if";
  then->Text = "then";
  orElse->Text = "else";
  first->Next = then;
  first->BranchPair = new TBranchPair{then, orElse};
  orElse->Next = then;
  r.FirstStatement = first;
  EXPECT_EQ(RoutineStatements(r), (std::vector<TEquationRecord*>{first, then, orElse}));
  DisposeEntryEquationText(slot);
  for (const TEquationRecord* e : {first, then, orElse}) EXPECT_FALSE(e->Text.has_value());
  DisposeFunctionEntry(slot);
  EXPECT_EQ(FunctionTable[slot], nullptr);
}

}  // namespace
}  // namespace voq::testing

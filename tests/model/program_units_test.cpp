#include "model/program_units.h"
#include "model/property_caches.h"

#include <array>
#include <cmath>
#include <filesystem>
#include <string>
#include <type_traits>
#include <vector>

#include <gtest/gtest.h>

#include "core/program_flags.h"
#include "core/search_path.h"
#include "language/store_fixture.h"
#include "model/compiled_code.h"

namespace voq::testing {
namespace {

class ProgramUnitsTest : public LanguageStoreTest {};

uint16_t Int16At(const uint8_t* b, size_t off) { return static_cast<uint16_t>(b[off] | (b[off + 1] << 8)); }

TEST_F(ProgramUnitsTest, PackedVariableRecordHasFieldsAtStoredOffsets) {
  TVariableRecord v;
  v.Name = "Temp_1";
  v.Value = 1.0L;
  v.Guess = -2.5L;
  v.LowerLimit = -InfinityValue;
  v.UpperLimit = InfinityValue;
  v.Mark = 1;
  v.UnknownPosition = -3;
  v.Style = 2;
  v.Digits = 0x0102;
  v.Units = "kJ/kg-K";
  v.GuessVariable = 7;
  v.LowerVariable = 8;
  v.UpperVariable = 9;
  v.Block = 0x1234;
  v.ArrayRow = -32766;
  v.ArrayColumn = 11;
  v.DisplayCode = 1203;

  std::array<uint8_t, kStoredVariableSize + 2> buf{};
  buf.fill(0xEE);
  PackVariableRecord(v, buf.data());
  // Nothing is written beyond the 122 stored bytes.
  EXPECT_EQ(buf[122], 0xEE);
  EXPECT_EQ(buf[123], 0xEE);

  // Name: length byte, characters, then zero padding up to 31 bytes.
  EXPECT_EQ(buf[0], 6);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&buf[1]), 6), "Temp_1");
  EXPECT_EQ(buf[7], 0);
  EXPECT_EQ(buf[30], 0);
  // 1.0 as an 80-bit real: mantissa 0x8000000000000000, exponent word 0x3FFF.
  const uint8_t one[10] = {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F};
  for (int k = 0; k < 10; ++k) EXPECT_EQ(buf[31 + k], one[k]) << k;
  EXPECT_EQ(UnpackExtended(&buf[41]), -2.5L);
  EXPECT_EQ(UnpackExtended(&buf[51]), -InfinityValue);
  EXPECT_EQ(UnpackExtended(&buf[61]), InfinityValue);
  EXPECT_EQ(buf[71], 1);
  EXPECT_EQ(Int16At(buf.data(), 72), 0xFFFD);
  EXPECT_EQ(buf[74], 2);
  EXPECT_EQ(buf[75], 0x02);
  EXPECT_EQ(buf[76], 0x01);
  EXPECT_EQ(buf[77], 7);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&buf[78]), 7), "kJ/kg-K");
  EXPECT_EQ(Int16At(buf.data(), 108), 7);
  EXPECT_EQ(Int16At(buf.data(), 110), 8);
  EXPECT_EQ(Int16At(buf.data(), 112), 9);
  EXPECT_EQ(Int16At(buf.data(), 114), 0x1234);
  EXPECT_EQ(Int16At(buf.data(), 116), 0x8002);  // -32766
  EXPECT_EQ(Int16At(buf.data(), 118), 11);
  EXPECT_EQ(Int16At(buf.data(), 120), 1203);

  TVariableRecord back;
  UnpackVariableRecord(buf.data(), back);
  EXPECT_EQ(back.Name, v.Name);
  EXPECT_EQ(back.Value, v.Value);
  EXPECT_EQ(back.Guess, v.Guess);
  EXPECT_EQ(back.LowerLimit, v.LowerLimit);
  EXPECT_EQ(back.UpperLimit, v.UpperLimit);
  EXPECT_EQ(back.Mark, v.Mark);
  EXPECT_EQ(back.UnknownPosition, v.UnknownPosition);
  EXPECT_EQ(back.Style, v.Style);
  EXPECT_EQ(back.Digits, v.Digits);
  EXPECT_EQ(back.Units, v.Units);
  EXPECT_EQ(back.GuessVariable, v.GuessVariable);
  EXPECT_EQ(back.LowerVariable, v.LowerVariable);
  EXPECT_EQ(back.UpperVariable, v.UpperVariable);
  EXPECT_EQ(back.Block, v.Block);
  EXPECT_EQ(back.ArrayRow, v.ArrayRow);
  EXPECT_EQ(back.ArrayColumn, v.ArrayColumn);
  EXPECT_EQ(back.DisplayCode, v.DisplayCode);
  // BlankValue keeps its exact bits through the round trip.
  v.Value = BlankValue;
  PackVariableRecord(v, buf.data());
  UnpackVariableRecord(buf.data(), back);
  EXPECT_EQ(std::memcmp(&back.Value, &BlankValue, 10), 0);
}

TEST_F(ProgramUnitsTest, UnpackedLengthByteIsBoundedTo30) {
  std::array<uint8_t, kStoredVariableSize> buf{};
  buf.fill('A');
  buf[0] = 200;   // corrupt name length
  buf[77] = 255;  // corrupt units length
  TVariableRecord v;
  UnpackVariableRecord(buf.data(), v);
  EXPECT_EQ(v.Name.size(), 30u);
  EXPECT_EQ(v.Units.size(), 30u);
}

TEST_F(ProgramUnitsTest, LetterDefaultRecordLayout) {
  TLetterDefaultRecord d;
  d.Guess = 300;
  d.LowerLimit = 0;
  d.UpperLimit = 5000;
  d.Style = 1;
  d.Digits = 2;
  d.Units = "K";
  std::array<uint8_t, kStoredLetterDefaultSize> buf{};
  PackLetterDefaultRecord(d, buf.data());
  EXPECT_EQ(UnpackExtended(&buf[0]), 300.0L);
  EXPECT_EQ(UnpackExtended(&buf[10]), 0.0L);
  EXPECT_EQ(UnpackExtended(&buf[20]), 5000.0L);
  EXPECT_EQ(buf[30], 1);
  EXPECT_EQ(Int16At(buf.data(), 31), 2);
  EXPECT_EQ(buf[33], 1);
  EXPECT_EQ(buf[34], 'K');
  TLetterDefaultRecord back;
  UnpackLetterDefaultRecord(buf.data(), back);
  EXPECT_EQ(back.Guess, 300.0L);
  EXPECT_EQ(back.UpperLimit, 5000.0L);
  EXPECT_EQ(back.Digits, 2);
  EXPECT_EQ(back.Units, "K");
}

TEST_F(ProgramUnitsTest, NewVariableTakesLetterDefaults) {
  TLetterDefaultRecord& t = LetterDefaults['T' - 'A'];
  t.Guess = 300;
  t.LowerLimit = 200;
  t.UpperLimit = 2000;
  t.Style = 1;
  t.Digits = 2;
  t.Units = "K";
  AddVariable("t_in");
  TVariableRecord* v = Var(1);
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->Name, "t_in");
  EXPECT_EQ(v->UpperName, "T_IN");
  EXPECT_EQ(v->Guess, 300.0L);
  EXPECT_EQ(v->LowerLimit, 200.0L);
  EXPECT_EQ(v->UpperLimit, 2000.0L);
  EXPECT_EQ(v->Style, 1);
  EXPECT_EQ(v->Digits, 2);
  EXPECT_EQ(v->Units, "K");
  EXPECT_TRUE(IsBlank(v->Value));
  EXPECT_EQ(v->DisplayCode, 1);
  EXPECT_EQ(v->ArrayRow, -32766);
  EXPECT_EQ(v->UncertaintyKind, -32760);
  EXPECT_TRUE(IsBlank(v->Uncertainty));
  EXPECT_EQ(v->IsString, 0);
}

TEST_F(ProgramUnitsTest, StringVariableStartsAsFirstStringConstant) {
  LetterDefaults['N' - 'A'].Guess = 50;
  for (const char* name : {"name$", "n$[3]"}) {
    AddVariable(name);
    TVariableRecord* v = Var(CurrentProgramUnit->VariableCount);
    EXPECT_EQ(v->IsString, 1) << name;
    EXPECT_EQ(v->Value, 1.0L) << name;
    EXPECT_EQ(v->Guess, 1.0L) << name;
    EXPECT_EQ(v->Style, 4) << name;
    EXPECT_EQ(v->Digits, 0) << name;
  }
}

TEST_F(ProgramUnitsTest, HiddenLetterStyleMakesVariableUnlisted) {
  LetterDefaults['H' - 'A'].Style = 2;
  AddVariable("h");
  EXPECT_EQ(Var(1)->Style, 3);
  EXPECT_EQ(Var(1)->DisplayCode, 0);
  ReadingIncludedText = true;
  AddVariable("q");
  EXPECT_EQ(Var(2)->DisplayCode, 0);
}

TEST_F(ProgramUnitsTest, ArrayElementTakesUnitsOfItsArray) {
  AddVariable("P[1]");
  Var(1)->Units = "kPa";
  AddVariable("p[2]");
  EXPECT_EQ(Var(2)->Units, "kPa");
}

TEST_F(ProgramUnitsTest, PlainVariableNamedLikeAnArrayLendsNoUnits) {
  AddVariable("P");
  Var(1)->Units = "kPa";
  AddVariable("P[1]");
  EXPECT_EQ(Var(2)->Units, "");
  Var(2)->Units = "bar";
  AddVariable("P[2]");
  EXPECT_EQ(Var(3)->Units, "bar");
}

// The hash of a name, worked by hand from the formula
// f = a + 1024 b + 32 e + 16 d (+ 3 c[L-2] - 20 when L > 3), slot = |f mod 14000| + 1.
TEST_F(ProgramUnitsTest, HashHomeSlotFollowsFormula) {
  struct Case {
    const char* name;
    int32_t slot;
  } cases[] = {
      // "X": a = 56, b = 88, e = -31, d = 199: 56 + 90112 - 992 + 3184 = 92360.
      {"X", 8361},
      // "X[12]": b = '1' (two before "]") = 49, e = -28, d = '[' - 32 = 59,
      // 56 + 50176 - 896 + 944 + (3*49 - 20) = 50407.
      {"X[12]", 8408},
      // "AB": a = 33, b = 66, e = -31, d = 34: 33 + 67584 - 992 + 544 = 67169.
      {"AB", 11170},
      // "ABCD": a = 33, b = 68, e = -29, d = 34, c[2] = 'B':
      // 33 + 69632 - 928 + 544 + 178 = 69459.
      {"ABCD", 13460},
  };
  for (const Case& c : cases) EXPECT_EQ(VarHashHome(c.name), c.slot) << c.name;
  // Only the first 30 characters count.
  std::string longName(30, 'Q');
  EXPECT_EQ(VarHashHome(longName + "Z"), VarHashHome(longName));
}

TEST_F(ProgramUnitsTest, CollidingNamesProbeToNextSlot) {
  // Two names with the same home slot, found through the formula.
  std::string first = "AA";
  std::string second;
  int32_t home = VarHashHome(first);
  for (char c1 = 'A'; c1 <= 'Z' && second.empty(); ++c1) {
    for (char c2 = '0'; c2 <= 'z' && second.empty(); ++c2) {
      for (char c3 = '0'; c3 <= 'z'; ++c3) {
        std::string s{c1, c2, c3};
        if (VarHashHome(s) == home) {
          second = s;
          break;
        }
      }
    }
  }
  ASSERT_FALSE(second.empty());
  AddVariable(first);
  AddVariable(second);
  EXPECT_EQ(CurrentProgramUnit->NameHash[home], 1);
  EXPECT_EQ(CurrentProgramUnit->NameHash[home == 14000 ? 1 : home + 1], 2);
  EXPECT_EQ(FindVariable(first), 1);
  EXPECT_EQ(FindVariable(second), 2);
}

TEST_F(ProgramUnitsTest, ProbeSkipsNegativeSlotsAndWrapsAfterTheLast) {
  // Find a name whose home is the last slot.
  std::string name;
  for (char c1 = 'A'; c1 <= 'Z' && name.empty(); ++c1)
    for (char c2 = '0'; c2 <= 'z' && name.empty(); ++c2)
      for (char c3 = '0'; c3 <= 'z'; ++c3) {
        std::string s{c1, c2, c3};
        if (VarHashHome(s) == 14000) {
          name = s;
          break;
        }
      }
  ASSERT_FALSE(name.empty());
  CurrentProgramUnit->NameHash[14000] = -1;
  EXPECT_EQ(VarHashSlot(name), 1);
  AddVariable(name);
  EXPECT_EQ(CurrentProgramUnit->NameHash[1], 1);
  EXPECT_EQ(FindVariable(name), 1);
}

// The slot the name hash gives by the plain probe, without the store's
// look-up aids: from the home slot to the first slot that is empty or holds
// the name.
int32_t PlainProbe(const std::string& upper) {
  int32_t slot = VarHashHome(upper);
  for (;;) {
    int32_t v = CurrentProgramUnit->NameHash[slot];
    if (v == 0) return slot;
    if (v > 0 && CurrentProgramUnit->VariableHandles[v]->UpperName == upper) return slot;
    slot = slot == 14000 ? 1 : slot + 1;
  }
}

TEST_F(ProgramUnitsTest, CrowdedTableGivesTheSlotsOfThePlainProbe) {
  // Numbered names share their home slots in long runs: every look-up, of a
  // stored name or of one still to come, must land where the plain probe does.
  CurrentProgramUnit->NameHash[700] = -1;  // a freed slot inside a run
  for (int i = 0; i < 3000; ++i) {
    std::string name = "V" + std::to_string(i);
    ASSERT_EQ(VarHashSlot(name), PlainProbe(name)) << name;
    AddVariable(name);
    ASSERT_EQ(CalcErrorCode, 0);
  }
  for (int i = 0; i < 3000; i += 7) {
    std::string name = "V" + std::to_string(i);
    EXPECT_EQ(VarHashSlot(name), PlainProbe(name)) << name;
    EXPECT_EQ(FindVariable(name), i + 1);
  }
  for (int i = 3000; i < 3100; ++i) {
    std::string name = "V" + std::to_string(i);
    EXPECT_EQ(VarHashSlot(name), PlainProbe(name)) << name;
    EXPECT_EQ(FindVariable(name), 0);
  }
}

// After the store is cleared every slot is empty again: what the look-up
// aids knew of occupied runs must go with it.
TEST_F(ProgramUnitsTest, ClearedStoreProbesFromEmptySlotsAgain) {
  for (int i = 0; i < 1500; ++i) AddVariable("V" + std::to_string(i));
  ClearVariableStore(CurrentProgramUnit);
  for (int i = 1499; i >= 0; i -= 3) {
    std::string name = "V" + std::to_string(i);
    ASSERT_EQ(VarHashSlot(name), PlainProbe(name)) << name;
    AddVariable(name);
  }
  EXPECT_EQ(FindVariable("V1499"), 1);
  EXPECT_EQ(CurrentProgramUnit->NameHash[VarHashHome("V1499")], 1);
  EXPECT_EQ(FindVariable("V1498"), 0);
}

TEST_F(ProgramUnitsTest, FindVariableIgnoresCaseAndUsesFirst30Characters) {
  std::string name30 = "Very_long_variable_name_of_30c";
  ASSERT_EQ(name30.size(), 30u);
  AddVariable("Alpha");
  AddVariable(name30 + "X");  // stored under its first 30 characters
  EXPECT_EQ(Var(2)->Name, name30);
  EXPECT_EQ(FindVariable("ALPHA"), 1);
  EXPECT_EQ(FindVariable("alpha"), 1);
  EXPECT_EQ(FindVariable(name30 + "Y"), 2);
  EXPECT_EQ(FindVariable(UpperCaseName(name30)), 2);
  EXPECT_EQ(FindVariable("Beta"), 0);
}

// The table holds 10,000 variables; a limit set above it stops there too.
TEST_F(ProgramUnitsTest, TenThousandAndFirstVariableIsError70) {
  for (int32_t limit : {kMaxVariablesPerUnit, kMaxVariablesPerUnit + 5}) {
    SCOPED_TRACE(limit);
    FreshStore();
    MaxVariables = limit;
    for (int i = 1; i <= 10000; ++i) {
      ASSERT_EQ(FindOrAddVariable("v" + std::to_string(i), -1, -1), i);
    }
    ASSERT_EQ(CalcErrorCode, 0);
    EXPECT_EQ(CurrentProgramUnit->VariableCount, 10000);
    EXPECT_EQ(FindOrAddVariable("one_too_many", -1, -1), 0);
    EXPECT_EQ(CalcErrorCode, 70);
    EXPECT_EQ(MessageArgs[1], "10000");
    EXPECT_EQ(MessageHelpContext, 17);
    EXPECT_EQ(CurrentProgramUnit->VariableCount, 10000);
    // The full store still finds every name (the hash never fills).
    CalcErrorCode = 0;
    for (int i = 1; i <= 10000; i += 997) EXPECT_EQ(FindVariable("V" + std::to_string(i)), i);
    EXPECT_EQ(FindVariable("one_too_many"), 0);
  }
}

TEST_F(ProgramUnitsTest, RegisterVariableUseOrdersUnknownsAndKeepsFirstSpelling) {
  EXPECT_EQ(FindOrAddVariable("b", -1, -1), 1);
  EXPECT_EQ(FindOrAddVariable("a", -1, -1), 2);
  EXPECT_EQ(FindOrAddVariable("B", -1, -1), 1);
  TProgramUnitRecord* u = CurrentProgramUnit;
  EXPECT_EQ(u->UnknownCount, 2);
  EXPECT_EQ(u->UnknownList[1], 1);
  EXPECT_EQ(u->UnknownList[2], 2);
  EXPECT_EQ(u->UsedVariableCount, 2);
  EXPECT_EQ(Var(1)->UnknownPosition, 1);
  EXPECT_EQ(Var(2)->UnknownPosition, 2);
  EXPECT_EQ(Var(1)->Name, "b");

  // A determined variable is not entered again.
  Var(2)->UnknownPosition = -1;
  RemoveFromVarOrder(2);
  EXPECT_EQ(u->UnknownCount, 1);
  RegisterVariableUse(2, "A");
  EXPECT_EQ(u->UnknownCount, 1);
  // Removing a variable that is not listed changes nothing.
  RemoveFromVarOrder(2);
  EXPECT_EQ(u->UnknownCount, 1);
}

TEST_F(ProgramUnitsTest, RemoveFromVarOrderMovesLaterUnknownsForward) {
  for (const char* n : {"a", "b", "c"}) FindOrAddVariable(n, -1, -1);
  RemoveFromVarOrder(1);
  TProgramUnitRecord* u = CurrentProgramUnit;
  EXPECT_EQ(u->UnknownCount, 2);
  EXPECT_EQ(u->UnknownList[1], 2);
  EXPECT_EQ(u->UnknownList[2], 3);
  EXPECT_EQ(Var(2)->UnknownPosition, 1);
  EXPECT_EQ(Var(3)->UnknownPosition, 2);
}

TEST_F(ProgramUnitsTest, ModuleVariableStartsFromMainProgramVariable) {
  FindOrAddVariable("T", -1, -1);
  TVariableRecord* main = Var(1);
  main->Guess = 350;
  main->LowerLimit = 273;
  main->UpperLimit = 400;
  main->Units = "K";
  main->UnitsInferred = 1;

  TProgramUnitRecord* mod = FindOrCreateModule("Pump");
  ASSERT_NE(mod, nullptr);
  EXPECT_EQ(mod->UnitIndex, 1);
  EXPECT_EQ(mod->BlockEnd, 32766);
  EXPECT_EQ(mod->ArgumentList->Kind, -20);
  EXPECT_TRUE(mod->RowHeads.empty());
  EXPECT_FALSE(MainProgramUnit->RowHeads.empty());
  EXPECT_EQ(FindOrCreateModule("PUMP"), mod);

  CurrentProgramUnit = mod;
  EXPECT_EQ(FindOrAddVariable("t", -1, -1), 1);
  TVariableRecord* local = mod->Variable(1);
  EXPECT_EQ(local->Guess, 350.0L);
  EXPECT_EQ(local->LowerLimit, 273.0L);
  EXPECT_EQ(local->UpperLimit, 400.0L);
  EXPECT_EQ(local->Units, "K");
  EXPECT_EQ(local->UnitsInferred, 0);
  EXPECT_EQ(CurrentProgramUnit, mod);

  // A variable named like its own module is error 253; the look-up still answers.
  CalcErrorCode = 0;
  EXPECT_EQ(FindVariable("pump"), 0);
  EXPECT_EQ(CalcErrorCode, 253);
  EXPECT_EQ(MessageArgs[1], "Module Pump");
  EXPECT_EQ(MessageArgs[2], "Pump");
  CurrentProgramUnit = MainProgramUnit;
}

TEST_F(ProgramUnitsTest, ModuleLookUpOffersTheProgramDirectoryToTheSearchPath) {
  const std::vector<std::string> savedPath = SearchPathList;
  const std::string savedDirectory = ProgramDirectory;
  SearchPathList.clear();
  ProgramDirectory = std::filesystem::temp_directory_path().string();
  FindOrCreateModule("Pump");
  ASSERT_EQ(SearchPathList.size(), 1u);
  EXPECT_EQ(SearchPathList[0], ProgramDirectory);
  // Found again: offered again, listed once.
  FindOrCreateModule("PUMP");
  EXPECT_EQ(SearchPathList.size(), 1u);
  ProgramDirectory = savedDirectory;
  SearchPathList = savedPath;
}

TEST_F(ProgramUnitsTest, DisposeModuleUnitsKeepsLibraryUnitsAndRenumbers) {
  FindOrCreateModule("A");
  LoadingLibrary = true;
  TProgramUnitRecord* lib = FindOrCreateModule("LibUnit");
  LoadingLibrary = false;
  FindOrCreateModule("C");
  lib->Defined = 1;
  DisposeModuleUnits();
  ASSERT_EQ(ProgramUnitList.size(), 2u);
  EXPECT_EQ(ProgramUnitList[1], lib);
  EXPECT_EQ(lib->UnitIndex, 1);
  EXPECT_EQ(lib->Defined, 0);
  EXPECT_EQ(MainProgramUnit->BlockStart, 0);
}

TEST_F(ProgramUnitsTest, ClearCompiledEquationsKeepsValuesAndGuesses) {
  FindOrAddVariable("x", -1, -1);
  Var(1)->Value = 5;
  Var(1)->Guess = 7;
  Var(1)->ArrayRow = 3;
  ASSERT_FALSE(NewEquation("x=5", 1));
  ASSERT_NE(MainProgramUnit->FirstEquation, nullptr);
  MainProgramUnit->CallValues[4] = 2;
  ClearCompiledEquations();
  EXPECT_EQ(MainProgramUnit->FirstEquation, nullptr);
  EXPECT_EQ(MainProgramUnit->LastEquation, nullptr);
  EXPECT_EQ(CurrentEquation, nullptr);
  EXPECT_EQ(Var(1)->Value, 5.0L);
  EXPECT_EQ(Var(1)->Guess, 7.0L);
  EXPECT_EQ(Var(1)->UnknownPosition, 0);
  EXPECT_EQ(Var(1)->ArrayRow, -32766);
  EXPECT_TRUE(IsBlank(MainProgramUnit->CallValues[4]));
  EXPECT_EQ(MainProgramUnit->VariableCount, 1);
}

struct RecordingCaches : PropertyCaches {
  int compileClears = 0;
  int documentResets = 0;
  void ClearStateCaches() override { ++compileClears; }
  void ResetStateCachesForNewDocument() override { ++documentResets; }
};

TEST_F(ProgramUnitsTest, ClearCompiledEquationsClearsPropertyCaches) {
  RecordingCaches caches;
  SetPropertyCaches(&caches);
  ClearCompiledEquations();
  SetPropertyCaches(nullptr);
  EXPECT_EQ(caches.compileClears, 1);
  EXPECT_EQ(caches.documentResets, 0);
}

// An equation record owns its chains: a copy would free them twice.
static_assert(!std::is_copy_constructible_v<TEquationRecord> && !std::is_copy_assignable_v<TEquationRecord>);

TEST_F(ProgramUnitsTest, DisposeEquationRecordFreesOwnedChainsAndReturnsNext) {
  struct CountedSubstance : TSubstanceBase {
    int* counter;
    explicit CountedSubstance(int* c) : counter(c) {}
    ~CountedSubstance() override { ++*counter; }
  };
  int destroyed = 0;
  auto* e = new TEquationRecord();
  auto* next = new TEquationRecord();
  e->Next = next;
  e->Text = "x=1";
  auto* s1 = new CountedSubstance(&destroyed);
  s1->Next = new CountedSubstance(&destroyed);
  e->SubstanceChain = s1;
  e->CallLists = new TArgumentListRecord();
  e->CallLists->Next = new TArgumentListRecord();
  e->SeriesChain = new TSumRecord();
  e->IntegralTerms = new TIntegralTermRecord();
  e->BranchPair = new TBranchPair{next, nullptr};
  e->DuplicateDescription = new TDuplicateDescription();
  e->DuplicateDescription->Equation = new TEquationRecord();
  e->DuplicateDescription->Loops = new TDuplicateDescriptionLoop();
  TEquationRecord* h = e;
  DisposeEquationRecord(h);
  EXPECT_EQ(h, next);
  EXPECT_EQ(destroyed, 2);
  DisposeEquationRecord(h);
  EXPECT_EQ(h, nullptr);
}

TEST_F(ProgramUnitsTest, NewEquationLinksRecordsAndTakesPositions) {
  CalcErrorStart = 10;
  CalcErrorEnd = 14;
  ReadingIncludedText = true;
  NewEquation("a=1", 3);
  TEquationRecord* first = CurrentEquation;
  EXPECT_EQ(first->TextStart, 10);
  EXPECT_EQ(first->TextEnd, 15);
  EXPECT_EQ(first->LineNumber, 3);
  EXPECT_EQ(first->NotFromWindow, 1);
  EXPECT_TRUE(first->Code.empty());
  EXPECT_TRUE(first->Constants.empty());
  EXPECT_TRUE(first->StringOperands.empty());
  EXPECT_EQ(first->TrySolveAlone, 1);
  EXPECT_TRUE(IsBlank(first->Residual));
  EXPECT_TRUE(MainStatementSeen);
  NewEquation("b=2", 4);
  EXPECT_EQ(MainProgramUnit->FirstEquation, first);
  EXPECT_EQ(first->Next, CurrentEquation);
  EXPECT_EQ(MainProgramUnit->LastEquation, CurrentEquation);

  // A trial compile links nothing.
  TrialCompile = true;
  NewEquation("c=3", 5);
  TEquationRecord* trial = CurrentEquation;
  TrialCompile = false;
  EXPECT_EQ(first->Next->Next, nullptr);
  DisposeEquationRecord(trial);
}

TEST_F(ProgramUnitsTest, TildeMarkedRecordsAreNeverReused) {
  NewEquation("a=b", 1);
  CurrentEquation->Text = "a=b";
  PrefixTildeToText(CurrentEquation);
  PrefixTildeToText(CurrentEquation);
  EXPECT_EQ(*CurrentEquation->Text, "~a=b");
  BeginTestPass();
  EXPECT_EQ(ReusableEquations, nullptr);
  EXPECT_FALSE(NewEquation("a=b", 1));
  EndTestPass();
}

// Every marked record goes, however many statements come before it.
TEST_F(ProgramUnitsTest, PurgeReachesMarkedRecordsBeyondTheVariableCount) {
  for (int i = 0; i < 10001; ++i) {
    NewEquation("a=b", 1);
    CurrentEquation->Text = "a=b";
  }
  PrefixTildeToText(CurrentEquation);
  BeginTestPass();
  int32_t count = 0;
  bool marked = false;
  for (TEquationRecord* r = ReusableEquations; r != nullptr; r = r->Next) {
    ++count;
    marked = marked || (*r->Text)[0] == '~';
  }
  EXPECT_EQ(count, 10000);
  EXPECT_FALSE(marked);
  EndTestPass();
}

// A record taken over registers the variables its code reads, in code order,
// up to the CALL output list (whose words are argument codes, not operands),
// then the integration variables of its INTEGRAL terms.
TEST_F(ProgramUnitsTest, TakenOverRecordRegistersItsVariablesUpToTheOutputList) {
  for (const char* n : {"a", "b", "c", "t"}) AddVariable(n);
  NewEquation("a=b", 1);
  TEquationRecord* kept = CurrentEquation;
  kept->Text = "a=b";
  kept->Code = {CodeVariable, 2, CodeComplexVariable, 1, OpEqual, CodeOutputList, CodeVariable, 3, -22};
  kept->IntegralTerms = new TIntegralTermRecord();
  kept->IntegralTerms->IntegrationVariable = 4;
  kept->SolvedAlone = 1;
  BeginTestPass();
  ASSERT_TRUE(NewEquation("a=b", 1));
  TProgramUnitRecord* u = CurrentProgramUnit;
  ASSERT_EQ(u->UnknownCount, 3);
  EXPECT_EQ(u->UnknownList[1], 2);
  EXPECT_EQ(u->UnknownList[2], 1);
  EXPECT_EQ(u->UnknownList[3], 4);
  EXPECT_EQ(Var(3)->UnknownPosition, 0);
  EXPECT_EQ(CurrentEquation->SolvedAlone, 0);
  EXPECT_EQ(ReusableEquations, nullptr);
  EndTestPass();
}

// The first statement of a read taken over inside a routine body or a MODULE,
// with no main-program statement after it: the record moves into the body,
// and the main program must keep no trace of it, neither after the read nor
// for the next one.
TEST_F(ProgramUnitsTest, HeadTakenOverInABodyLeavesTheMainProgramNoStaleRecord) {
  struct BodyCase {
    const char* body;
    // Enters the body as its reader does; returns the unit whose list the
    // record joins, or null where the routine record keeps it.
    TProgramUnitRecord* (*enter)();
    void (*leave)();
  };
  const BodyCase cases[] = {
      {"FUNCTION",
       [] {
         CompilingFunctionIndex = 1;
         return static_cast<TProgramUnitRecord*>(nullptr);
       },
       [] {
         CompilingFunctionIndex = 0;
         MainProgramUnit->LastEquation = nullptr;  // the reader restores the main list's end
       }},
      {"MODULE",
       [] {
         TProgramUnitRecord* module = FindOrCreateModule("Pump");
         CurrentProgramUnit = module;
         ModuleNesting = module->UnitIndex;
         return module;
       },
       [] {
         ModuleNesting = 0;
         CurrentProgramUnit = MainProgramUnit;
       }},
  };
  for (const BodyCase& c : cases) {
    SCOPED_TRACE(c.body);
    FreshStore();
    for (const char* text : {"a=b", "c=d"}) {
      NewEquation(text, 1);
      CurrentEquation->Text = text;
      CurrentEquation->Code = {CodeConstant, CodeConstant, OpEqual};
    }
    const int32_t* headCode = MainProgramUnit->FirstEquation->Code.data();
    BeginTestPass();
    TProgramUnitRecord* owner = c.enter();
    ASSERT_TRUE(NewEquation("a=b", 1));
    TEquationRecord* taken = CurrentEquation;
    c.leave();
    EndTestPass();
    EXPECT_EQ(taken->Code.data(), headCode);
    if (owner != nullptr) {
      EXPECT_EQ(owner->FirstEquation, taken);
    }
    EXPECT_EQ(MainProgramUnit->FirstEquation, nullptr);
    EXPECT_EQ(ReusableEquations, nullptr);
    BeginTestPass();
    EXPECT_EQ(ReusableEquations, nullptr);
    EndTestPass();
    if (owner == nullptr) DisposeEquationRecord(taken);
  }
}

TEST_F(ProgramUnitsTest, TrialCompileNeverTakesOverARetainedRecord) {
  NewEquation("a=b", 1);
  CurrentEquation->Text = "a=b";
  TEquationRecord* kept = CurrentEquation;
  BeginTestPass();
  TrialCompile = true;
  EXPECT_FALSE(NewEquation("a=b", 1));
  TEquationRecord* trial = CurrentEquation;
  TrialCompile = false;
  EXPECT_NE(trial, kept);
  EXPECT_EQ(ReusableEquations, kept);
  DisposeEquationRecord(trial);
  EXPECT_TRUE(NewEquation("a=b", 1));
  EndTestPass();
}

}  // namespace
}  // namespace voq::testing

// External functions and procedures from shared objects built in the tree
// from include/voq/external.h: registration, the compiled form of a call,
// and what a Solve gets from them.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>

#include "core/calc_state.h"
#include "core/extended.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/string_constants.h"
#include "language/store_fixture.h"
#include "model/equation_parts.h"
#include "model/external_routines.h"
#include "model/store_state.h"
#include "platform/dynamic_library.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "properties/external_property_library.h"
#include "session/compile_driver.h"
#include "solver/evaluator.h"
#include "solver/external_calls.h"

namespace voq {
namespace {

const std::string kLibraries = VOQ_TEST_LIBRARY_DIR;

// A variable of the test library (the same load the engine made).
template <typename T>
T* LibraryGlobal(const std::string& file, const char* name) {
  void* handle = dlopen((kLibraries + "/" + file).c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle == nullptr) return nullptr;
  T* value = static_cast<T*>(dlsym(handle, name));
  dlclose(handle);
  return value;
}

class ExternalRoutinesTest : public testing::LanguageStoreTest {
 protected:
  void SetUp() override {
    LanguageStoreTest::SetUp();
    SetEquationsEditor(&editor);
    CheckOnlyMode = false;
    EquationsCompiled = false;
  }
  void TearDown() override {
    SetEquationsEditor(nullptr);
    LanguageStoreTest::TearDown();
  }
  int32_t Solve(const std::string& text) {
    editor.SetText(text);
    EquationsCompiled = false;
    CompileEquations(false, false);
    return CalcErrorCode;
  }
  int32_t Check(const std::string& text) {
    CheckOnlyMode = true;
    const int32_t error = Solve(text);
    CheckOnlyMode = false;
    return error;
  }
  double Value(const std::string& name) {
    const TVariableRecord* v = VarNamed(name);
    return v != nullptr ? static_cast<double>(v->Value) : -1;
  }
  std::string MainListing(size_t k) {
    TEquationRecord* e = MainProgramUnit->FirstEquation;
    for (size_t i = 0; i < k && e != nullptr; ++i) e = e->Next;
    return e != nullptr ? ListEquationCode(*e, MainProgramUnit) : std::string();
  }
  void LoadAll() {
    RegisterExternalFunction(kLibraries, "TWICE.DLF", "", true, nullptr, "");
    RegisterExternalProcedure(kLibraries, "PAIR.DLP", "", true, false, nullptr, "");
    RegisterExternalProcedure(kLibraries, "ECHO.FDL", "", true, false, nullptr, "");
  }

  ScriptedPlatform platform;
  ScopedPlatform scoped{platform};
  InMemoryEquationsEditor editor;
};

TEST_F(ExternalRoutinesTest, LibrariesOfOneRoutineRegisterUnderTheirFileNames) {
  LoadAll();
  ASSERT_NE(ExternalFunctionList, nullptr);
  EXPECT_EQ(ExternalFunctionList->Name, "TWICE");
  EXPECT_EQ(ExternalFunctionList->Sequence, 1);
  EXPECT_EQ(ExternalFunctionList->FilePath, kLibraries + "/TWICE.DLF");
  EXPECT_TRUE(ExternalFunctionList->OwnsModule);
  const TExternalProcedureRecord* pair = FindExternalProcedureByName("PAIR");
  const TExternalProcedureRecord* echo = FindExternalProcedureByName("ECHO");
  ASSERT_NE(pair, nullptr);
  ASSERT_NE(echo, nullptr);
  // Functions and procedures count in series of their own.
  EXPECT_EQ(pair->Sequence, 1);
  EXPECT_EQ(echo->Sequence, 2);
  EXPECT_FALSE(pair->IsFdl);
  EXPECT_TRUE(echo->IsFdl);
  EXPECT_EQ(echo->FdlInputCache.size(), size_t(kFdlCacheSize));
  EXPECT_TRUE(std::isinf(echo->FdlInputCache[0]));
  EXPECT_EQ(pair->LastTextIndex, -1);
  // A second load of the same file leaves one record and uses no number.
  RegisterExternalFunction(kLibraries, "TWICE.DLF", "", true, nullptr, "");
  EXPECT_EQ(ExternalFunctionList->Next, nullptr);
  EXPECT_EQ(ExternalFunctionCount, 1);
  // The built-in property procedure takes the next procedure number.
  RegisterPropertyDllProc();
  const TExternalProcedureRecord* refp = FindExternalProcedureByName("VOQREFP6");
  ASSERT_NE(refp, nullptr);
  EXPECT_EQ(refp->Sequence, 3);
  EXPECT_TRUE(refp->IsFdl);
  EXPECT_EQ(refp->Module, nullptr);
  EXPECT_TRUE(platform.alerts.empty());
}

TEST_F(ExternalRoutinesTest, LoadFailuresAreReportedAndUseTheirNumbers) {
  struct Case {
    const char* file;
    bool procedure;
    const char* alert;
  };
  const Case cases[] = {
      {"MISSING.DLF", false, "Unexpected error 0 occurred while reading MISSING.DLF."},
      {"NOFUNC.DLF", false, "Did not find function NOFUNC"},
      {"MISSING.DLP", true, "Unexpected error 0 occurred while reading MISSING.DLP."},
  };
  int32_t functions = 0;
  int32_t procedures = 0;
  for (const Case& c : cases) {
    platform.alerts.clear();
    if (c.procedure) {
      RegisterExternalProcedure(kLibraries, c.file, "", true, true, nullptr, "");
      ++procedures;
    } else {
      RegisterExternalFunction(kLibraries, c.file, "", true, nullptr, "");
      ++functions;
    }
    ASSERT_EQ(platform.alerts.size(), 1u) << c.file;
    EXPECT_EQ(platform.alerts[0].text, c.alert);
    EXPECT_EQ(platform.alerts[0].kind, kAlertErrorOk);
  }
  EXPECT_EQ(ExternalFunctionList, nullptr);
  EXPECT_EQ(ExternalProcedureList, nullptr);
  EXPECT_EQ(ExternalFunctionCount, functions);
  EXPECT_EQ(ExternalProcedureCount, procedures);
}

TEST_F(ExternalRoutinesTest, ListingLibraryRegistersEachListedName) {
  LoadRoutineLibrary(kLibraries, "SHAPES.DLL");
  ASSERT_NE(ExternalFunctionList, nullptr);
  ASSERT_NE(ExternalFunctionList->Next, nullptr);
  EXPECT_EQ(ExternalFunctionList->Name, "Area");
  EXPECT_EQ(ExternalFunctionList->Next->Name, "Volume");
  EXPECT_TRUE(ExternalFunctionList->OwnsModule);
  EXPECT_FALSE(ExternalFunctionList->Next->OwnsModule);
  EXPECT_EQ(RoutineLibraryDlls, std::vector<std::string>{"SHAPES.DLL"});
  ASSERT_EQ(Solve("a = AREA(3)\nv = Volume(2)"), 0);
  EXPECT_NEAR(Value("a"), 9, 1e-9);
  EXPECT_NEAR(Value("v"), 8, 1e-9);
}

TEST_F(ExternalRoutinesTest, FunctionCallCompilesToOpcode255) {
  LoadAll();
  ASSERT_EQ(Check("y = TWICE(x)\nx = 3\nz = twice('abc', x)"), 0);
  // number, text index (0: none), the input, the input count + 1, 255 (a
  // function opcode's first separator is not compiled).
  EXPECT_EQ(MainListing(0), "y 1 0 , x , 2 , #255 =");
  const std::string z = MainListing(2);
  EXPECT_EQ(z, "z 1 " + std::to_string(StringConstIndex("abc")) + " , x , 2 , #255 =");
  EXPECT_NE(StringConstIndex("abc"), 0);
  ASSERT_NE(MainProgramUnit->FirstEquation->CallLists, nullptr);
  EXPECT_EQ(MainProgramUnit->FirstEquation->CallLists->Kind, -3);
  EXPECT_EQ(MainProgramUnit->FirstEquation->CallLists->Name, "TWICE");
}

TEST_F(ExternalRoutinesTest, FunctionResultErrorTextAndDirectory) {
  LoadAll();
  const std::string before = CurrentDirectoryPath();
  ASSERT_EQ(Solve("y = TWICE(3)"), 0);
  EXPECT_NEAR(Value("y"), 6, 1e-9);
  const char* inside = LibraryGlobal<char>("TWICE.DLF", "TwiceLastDirectory");
  ASSERT_NE(inside, nullptr);
  EXPECT_EQ(std::filesystem::path(inside), std::filesystem::path(kLibraries).lexically_normal());
  EXPECT_EQ(CurrentDirectoryPath(), before);

  EXPECT_EQ(Solve("y = TWICE(-2)"), kMsgPreparedText);
  EXPECT_EQ(MessageText, "TWICE refuses -2");
  EXPECT_EQ(CurrentDirectoryPath(), before);
}

// Calls nested either way keep each call's argument list with its call.
TEST_F(ExternalRoutinesTest, NestedWithUserFunctions) {
  LoadAll();
  const std::string f = "FUNCTION F(X)\r\n  F := X + 1\r\nEND\r\n";
  ASSERT_EQ(Solve(f + "y = F(TWICE(2))\r\nz = TWICE(F(2)) + F(1)"), 0) << MessageText;
  EXPECT_NEAR(Value("y"), 5, 1e-9);
  EXPECT_NEAR(Value("z"), 8, 1e-9);
  const TArgumentListRecord* lists = MainProgramUnit->FirstEquation->Next->CallLists;
  ASSERT_NE(lists, nullptr);
  ASSERT_NE(lists->Next, nullptr);
  ASSERT_NE(lists->Next->Next, nullptr);
  EXPECT_EQ(lists->Name, "F");
  EXPECT_EQ(lists->Next->Name, "TWICE");
  EXPECT_EQ(lists->Next->Next->Name, "F");
}

TEST_F(ExternalRoutinesTest, ProcedureRunsOncePerEvaluationForAllItsOutputs) {
  LoadAll();
  int* calls = nullptr;
  ASSERT_EQ(Solve("CALL PAIR(2, 3 : s, p)"), 0);
  calls = LibraryGlobal<int>("PAIR.DLP", "PairCalls");
  ASSERT_NE(calls, nullptr);
  EXPECT_NEAR(Value("s"), 5, 1e-9);
  EXPECT_NEAR(Value("p"), 6, 1e-9);
  const int afterFirst = *calls;
  // New inputs: one more call serves both outputs.
  ASSERT_EQ(Solve("CALL PAIR(4, 5 : s, p)"), 0);
  EXPECT_NEAR(Value("s"), 9, 1e-9);
  EXPECT_NEAR(Value("p"), 20, 1e-9);
  EXPECT_EQ(*calls, afterFirst + 1);
  const TExternalProcedureRecord* pair = FindExternalProcedureByName("PAIR");
  ASSERT_NE(pair, nullptr);
  EXPECT_NE(pair->LastOutputs, nullptr);
}

// After an error text nothing of the failed call stays cached, and the next
// call with the same inputs reaches the routine again.
TEST_F(ExternalRoutinesTest, ProcedureErrorTextLeavesNoCache) {
  LoadAll();
  EXPECT_EQ(Solve("CALL PAIR(-1, 3 : s, p)"), kMsgPreparedText);
  EXPECT_EQ(MessageText, "PAIR cannot take -1");
  const TExternalProcedureRecord* pair = FindExternalProcedureByName("PAIR");
  ASSERT_NE(pair, nullptr);
  EXPECT_EQ(pair->LastInputs, nullptr);
  EXPECT_EQ(pair->LastOutputs, nullptr);
  int* calls = LibraryGlobal<int>("PAIR.DLP", "PairCalls");
  ASSERT_NE(calls, nullptr);
  const int before = *calls;
  EXPECT_EQ(Solve("CALL PAIR(-1, 3 : s, p)"), kMsgPreparedText);
  EXPECT_GT(*calls, before);
}

TEST_F(ExternalRoutinesTest, ArrayProcedureOutputsAndFailures) {
  LoadAll();
  ASSERT_EQ(Solve("CALL ECHO(4, 5 : a, b)"), 0);
  EXPECT_NEAR(Value("a"), 4, 1e-9);
  EXPECT_NEAR(Value("b"), 5, 1e-9);

  EXPECT_EQ(Solve("CALL ECHO(7 : y)"), kMsgExternalRoutineError);
  EXPECT_EQ(GetMessageText(kMsgExternalRoutineError), "Error 7 in external routine ECHO.");
  // A failed call runs the routine again next time.
  const TExternalProcedureRecord* echo = FindExternalProcedureByName("ECHO");
  ASSERT_NE(echo, nullptr);
  EXPECT_TRUE(std::isinf(echo->FdlInputCache[0]));

  EXPECT_EQ(Solve("CALL ECHO(8 : y)"), kMsgPreparedText);
  EXPECT_EQ(MessageText, "ECHO refuses 8");
}

// A value an 8-byte real cannot hold (the blank value among them) reaches a
// library as 1E+99.
TEST_F(ExternalRoutinesTest, BlankInputArrivesAs1E99) {
  struct Case {
    Extended in;
    double out;
  };
  const Case cases[] = {{BlankValue, 1E+99},   {InfinityValue, 1E+99}, {-InfinityValue, 1E+99},
                        {2.5L, 2.5},           {-1E300L, -1E300},      {0.0L, 0.0}};
  for (const Case& c : cases) EXPECT_EQ(ExternalInputValue(c.in), c.out);

  LoadAll();
  const TExternalProcedureRecord* echo = FindExternalProcedureByName("ECHO");
  ASSERT_NE(echo, nullptr);
  static TEvaluationState s;
  s.Height = 0;
  // text operand (none), the input, nIn + 1, nOut, number, output 1.
  for (Extended x : {Extended(0), BlankValue, Extended(2), Extended(1), Extended(echo->Sequence), Extended(1)}) {
    ASSERT_TRUE(s.Push(x));
  }
  OpcodeHandler handler = GetOpcodeHandler(254);
  ASSERT_NE(handler, nullptr);
  EXPECT_TRUE(handler(s, 254));
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(s.Height, 1);
  EXPECT_EQ(static_cast<double>(s.Values[1]), 1E+99);
  const double* last = LibraryGlobal<double>("ECHO.FDL", "EchoLastInputs");
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(last[0], 1E+99);
}

// The built-in property procedure is called like an array-style one.
TEST_F(ExternalRoutinesTest, PropertyProcedureThroughCall) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::temp_directory_path() / ("voq_refp_call_" + std::to_string(getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder / "FLUIDS");
  fs::copy_file(fs::path(kLibraries) / "REFP32.DLL", folder / "REFP32.DLL");
  std::ofstream(folder / "FLUIDS" / "R32.FLD") << "fluid\n";
  PropertyLibraryDirectory = folder.string() + "/";
  RegisterPropertyDllProc();
  // The stand-in answers out[k] = k + 0.5: T is out 0, P out 1.
  EXPECT_EQ(Solve("CALL VOQREFP6('R32', 12, 300, 1000 : T, P)"), 0) << MessageText;
  EXPECT_NEAR(Value("T"), 0.5, 1e-12);
  EXPECT_NEAR(Value("P"), 1.5, 1e-12);
  EXPECT_EQ(Solve("CALL VOQREFP6('R32', 55, 300, 1000 : T, P)"), kMsgPreparedText);
  EXPECT_EQ(MessageText, "VOQREFP6 does not recognize a calculation code of 55.");
  fs::remove_all(folder);
}

TEST_F(ExternalRoutinesTest, UnknownRoutineNumberIsError382) {
  static TEvaluationState s;
  s.Height = 0;
  for (Extended x : {Extended(0), Extended(1), Extended(1), Extended(9), Extended(1)}) ASSERT_TRUE(s.Push(x));
  OpcodeHandler handler = GetOpcodeHandler(254);
  ASSERT_NE(handler, nullptr);
  EXPECT_FALSE(handler(s, 254));
  EXPECT_EQ(CalcErrorCode, kMsgExternalProcedureNotFound);
}

}  // namespace
}  // namespace voq

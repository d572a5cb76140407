#include "session/engine.h"

#include <gtest/gtest.h>

#include <string>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/program_flags.h"
#include "core/search_path.h"
#include "core/string_constants.h"
#include "language/export_after_run.h"
#include "language/function_catalog.h"
#include "language/language_services.h"
#include "language/store_fixture.h"
#include "model/document_settings.h"
#include "model/program_units.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "model/warnings_window.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "session/compile_driver.h"
#include "solver/evaluator.h"

namespace voq {
namespace {

constexpr int32_t kSinOpcode = 228;

// Each service a host record can lack, and the name StartEngine gives it.
TEST(EngineStartTest, IncompleteHostIsRefusedNamingTheService) {
  struct Case {
    void (*clear)(THost&);
    const char* name;
  };
  const Case cases[] = {
      {[](THost& h) { h.Platform = nullptr; }, "platform services"},
      {[](THost& h) { h.Windows = nullptr; }, "window services"},
      {[](THost& h) { h.Equations = nullptr; }, "Equations editor"},
      {[](THost& h) { h.Compiling = nullptr; }, "Compiling window"},
      {[](THost& h) { h.Diagram = nullptr; }, "Diagram inputs"},
      {[](THost& h) { h.Documents = nullptr; }, "document windows"},
      {[](THost& h) { h.SolveWindows = nullptr; }, "solve sequence windows"},
      {[](THost& h) { h.Comments = nullptr; }, "comment painter"},
      {[](THost& h) { h.Progress = nullptr; }, "progress view"},
      {[](THost& h) { h.Directives = nullptr; }, "directive windows"},
      {[](THost& h) { h.Summary = nullptr; }, "problem summary environment"},
      {[](THost& h) { h.LocaleLanguage = nullptr; }, "locale language reader"},
      {[](THost& h) { h.Fonts = nullptr; }, "font factory"},
      {[](THost& h) { h.SystemDecimalSeparator = nullptr; }, "decimal separator reader"},
  };
  const THost complete = CurrentHost();
  ASSERT_EQ(MissingHostService(complete), "");
  for (const Case& c : cases) {
    THost host = complete;
    c.clear(host);
    std::string missing;
    EXPECT_FALSE(StartEngine(host, &missing));
    EXPECT_EQ(missing, c.name);
    // Nothing of the refused record was installed.
    EXPECT_EQ(CurrentHost().Platform, complete.Platform);
  }
}

// An engine used without a host stops with the service's name rather than
// doing nothing.
TEST(EngineStartDeathTest, ServiceWithoutHostNamesItself) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        InstallHost(THost{});
        Equations().SetText("x=1");
      },
      "Equations editor");
  EXPECT_DEATH(
      {
        InstallHost(THost{});
        Platform().TickCount();
      },
      "platform services");
}

class EngineResetTest : public testing::LanguageStoreTest {};

// Whatever a run or a test left behind, the reset returns the engine to the
// state StartEngine left: the store, the globals of every layer, the opcode
// table and the host's services.
TEST_F(EngineResetTest, ResetReturnsEveryLayerToItsStartState) {
  const THost installed = CurrentHost();
  ScriptedPlatform otherPlatform;
  InMemoryEquationsEditor otherEditor;
  SetPlatform(&otherPlatform);
  SetEquationsEditor(&otherEditor);
  Equations().SetText("x = 1");

  FindOrCreateModule("Pump");
  CurrentProgramUnit = MainProgramUnit;
  ASSERT_EQ(Compile("a = 2*b"), 0);
  CalcErrorCode = 57;
  MessageArgs[1] = "Block 3";
  AbortRequested = true;
  SetDecimalSeparator(',');
  ShowWarningMessages = false;
  AddSearchDirectory("/tmp");
  StringConstIndex("left over");
  StopCriteria.MaxIterations = 3;
  DocumentSettings.AngleFactor = 1;
  CheckOnlyMode = true;
  MinMaxMode = true;
  AddWarning("a warning");
  ExportDirectives.push_back("'out.csv' a");
  SetOpcodeHandler(kSinOpcode, nullptr);
  SetBuiltinFunctions(nullptr);

  ResetEngineState();

  EXPECT_EQ(CurrentHost().Platform, installed.Platform);
  EXPECT_EQ(CurrentHost().Equations, installed.Equations);
  EXPECT_EQ(Equations().GetText(), "");
  ASSERT_EQ(ProgramUnitList.size(), 1u);
  EXPECT_EQ(CurrentProgramUnit, MainProgramUnit);
  EXPECT_EQ(MainProgramUnit->VariableCount, 0);
  EXPECT_EQ(MainProgramUnit->FirstEquation, nullptr);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(MessageArgs[1], "");
  EXPECT_FALSE(AbortRequested);
  EXPECT_EQ(DecimalSeparator, '.');
  EXPECT_EQ(ArgumentSeparator, ',');
  EXPECT_TRUE(ShowWarningMessages);
  EXPECT_TRUE(SearchPathList.empty());
  EXPECT_EQ(StringConstants.size(), 1u);
  EXPECT_EQ(StopCriteria.MaxIterations, TStopCriteriaRecord{}.MaxIterations);
  EXPECT_EQ(DocumentSettings.AngleFactor, TDocumentSettingsRecord{}.AngleFactor);
  EXPECT_FALSE(CheckOnlyMode);
  EXPECT_FALSE(MinMaxMode);
  EXPECT_EQ(WarningLineCount(), 0u);
  EXPECT_FALSE(WarningsPending);
  EXPECT_TRUE(ExportDirectives.empty());
  EXPECT_NE(GetOpcodeHandler(kSinOpcode), nullptr);
  EXPECT_NE(BuiltinFunctions().FindBuiltinFunction("SIN"), nullptr);
}

// One process solves any number of times: a failed solve leaves nothing
// that changes the next one.
TEST_F(EngineResetTest, SolvesAfterResetsGiveTheSameAnswer) {
  auto solve = [](const std::string& text) {
    Equations().SetText(text);
    CheckOnlyMode = false;
    CompileEquations(false, false);
  };
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    solve("x^2 + y = 11\r\nx + y^2 = 7");
    ASSERT_LE(CalcErrorCode, 0);
    const Extended x = VarNamed("x")->Value;
    ResetEngineState();
    // A set that cannot be solved (no real root) between two solves.
    solve("z^2 = -1");
    EXPECT_GT(CalcErrorCode, 0);
    ResetEngineState();
    solve("x^2 + y = 11\r\nx + y^2 = 7");
    ASSERT_LE(CalcErrorCode, 0);
    EXPECT_EQ(VarNamed("x")->Value, x);
    ResetEngineState();
  }
}

// An upper layer's reset runs with every engine reset, once however often
// it was registered.
int upperLayerResets = 0;
void CountUpperLayerReset() { ++upperLayerResets; }

TEST(EngineResetHookTest, RegisteredResetRunsOncePerEngineReset) {
  RegisterEngineReset(&CountUpperLayerReset);
  RegisterEngineReset(&CountUpperLayerReset);
  RegisterEngineReset(nullptr);
  const int before = upperLayerResets;
  ResetEngineState();
  EXPECT_EQ(upperLayerResets, before + 1);
  ResetEngineState();
  EXPECT_EQ(upperLayerResets, before + 2);
}

}  // namespace
}  // namespace voq

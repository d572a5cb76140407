#include "session/solve_after_compile.h"

#include <gtest/gtest.h>

#include <string>

#include "core/calc_state.h"
#include "core/program_flags.h"
#include "language/store_fixture.h"
#include "model/document_settings.h"
#include "model/property_caches.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "session/compile_driver.h"
#include "session/document_reset.h"
#include "session/problem_summary.h"

namespace voq {
namespace {

class RecordingWindows : public WindowServices {
 public:
  void SelectEquationsText(int32_t start, int32_t end, int32_t line) override {
    selections.push_back({start, end, line});
  }
  struct Selection {
    int32_t start, end, line;
  };
  std::vector<Selection> selections;
};

class RecordingServices : public SolveSequenceServices {
 public:
  void ShowDebugWindow(TProgramUnitRecord* unit, int mode) override {
    debugUnit = unit;
    debugMode = mode;
  }
  TProgramUnitRecord* debugUnit = nullptr;
  int debugMode = -1;
};

class SolveAfterCompileTest : public testing::LanguageStoreTest {
 protected:
  void SetUp() override {
    LanguageStoreTest::SetUp();
    SetEquationsEditor(&editor);
    SetWindows(&windows);
    SetSolveSequenceServices(&services);
    CheckOnlyMode = false;
    EquationsCompiled = false;
    savedCriteria = StopCriteria;
  }
  void TearDown() override {
    StopCriteria = savedCriteria;
    SetEquationsEditor(nullptr);
    SetWindows(nullptr);
    SetSolveSequenceServices(nullptr);
    LanguageStoreTest::TearDown();
  }
  // The Solve command.
  void Solve(const std::string& text) {
    editor.SetText(text);
    CompileEquations(false, false);
  }

  ScriptedPlatform platform;
  ScopedPlatform scoped{platform};
  InMemoryEquationsEditor editor;
  RecordingWindows windows;
  RecordingServices services;
  TStopCriteriaRecord savedCriteria;
};

TEST_F(SolveAfterCompileTest, EquationsSolvedAloneNeedNoBlocks) {
  Solve("x = 3\r\ny = 2*x + 1");
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_TRUE(SolutionAvailable);
  EXPECT_TRUE(EquationsCompiled);
  EXPECT_EQ(VarNamed("y")->Value, 7.0L);
  for (TEquationRecord* e = MainProgramUnit->FirstEquation; e != nullptr; e = e->Next)
    EXPECT_EQ(e->SolvedAlone, 1);
  EXPECT_EQ(MainProgramUnit->BlockCount, 0);
  EXPECT_TRUE(platform.alerts.empty());
}

TEST_F(SolveAfterCompileTest, VariableSetTwiceIsReportedOnItsSecondLine) {
  // A second constant assignment is refused by the compiler (310); one that
  // must be evaluated is found by the one-unknown pass (22). Either way line
  // 2 is the statement shown.
  struct Case {
    const char* text;
    int32_t error;
  };
  for (const Case c : {Case{"x = 3\r\nx = 2*2", 22}, Case{"x = 3\r\nx = 4", 310}}) {
    platform.alerts.clear();
    windows.selections.clear();
    Solve(c.text);
    EXPECT_EQ(CalcErrorCode, c.error) << c.text;
    ASSERT_EQ(windows.selections.size(), 1u) << c.text;
    EXPECT_EQ(windows.selections[0].line, 2);
    EXPECT_EQ(windows.selections[0].start, 7);
    ASSERT_EQ(platform.alerts.size(), 1u);
    EXPECT_FALSE(EquationsCompiled);
  }
  EXPECT_EQ(platform.alerts[0].text, "The value of variable x has been previously set.");
}

TEST_F(SolveAfterCompileTest, UnderspecifiedProblemOffersTheDebugWindow) {
  const std::string expected =
      "There are 3 equations and 4 variables.  The problem is underspecified and cannot be "
      "solved. Show Debug information?";
  platform.alertAnswers = {kResultNo};
  Solve("a + b = c\r\na - b = 1\r\nc = d*2");
  EXPECT_EQ(CalcErrorCode, 0);
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].text, expected);
  EXPECT_EQ(platform.alerts[0].kind, kAlertErrorYesNo);
  EXPECT_EQ(MainProgramUnit->FirstEquation, nullptr);  // No: the compiled equations go
  EXPECT_FALSE(SolutionAvailable);
  // ... and the next command that needs them compiles the text again.
  EXPECT_FALSE(EquationsCompiled);
  EXPECT_EQ(services.debugUnit, nullptr);

  platform.alerts.clear();
  platform.alertAnswers = {kResultYes};
  Solve("a + b = c\r\na - b = 1\r\nc = d*2");
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_NE(MainProgramUnit->FirstEquation, nullptr);
  EXPECT_TRUE(CheckOnlyStarted);
  EXPECT_EQ(services.debugUnit, MainProgramUnit);
  EXPECT_EQ(services.debugMode, 0);
}

TEST_F(SolveAfterCompileTest, NoConvergenceQuestion) {
  // One Newton iteration per solve is not enough for this block.
  StopCriteria.MaxIterations = 1;
  const std::string text = "x^2 + y^2 = 25\r\nx - y = 1";
  platform.alertAnswers = {kResultNo};
  Solve(text);
  EXPECT_EQ(CalcErrorCode, 58);
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].kind, kAlertWarningYesNo);
  EXPECT_EQ(platform.alerts[0].text.rfind("The problem failed to converge in the allowable number of iterations", 0), 0u);
  EXPECT_FALSE(SolutionAvailable);

  // Yes: each new solve starts from where the last one stopped.
  platform.alerts.clear();
  platform.alertAnswers.assign(30, kResultYes);
  Solve(text);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_GE(platform.alerts.size(), 2u);
  EXPECT_TRUE(SolutionAvailable);
  EXPECT_NEAR(double(VarNamed("x")->Value), 4.0, 1e-6);
  EXPECT_NEAR(double(VarNamed("y")->Value), 3.0, 1e-6);
}

TEST_F(SolveAfterCompileTest, ResetDocumentLeavesANewEmptyDocument) {
  Solve("x = 3\r\ny = 2*x + 1");
  ASSERT_TRUE(EquationsCompiled);
  UseDiagramInput = false;
  // A directive of the old document changed its settings.
  SetAngleUnit(DocumentSettings, 1);
  Preferences.UniformVariableCase = 1;
  struct : PropertyCaches {
    int compileClears = 0;
    int documentResets = 0;
    void ClearStateCaches() override { ++compileClears; }
    void ResetStateCachesForNewDocument() override { ++documentResets; }
  } caches;
  SetPropertyCaches(&caches);
  ResetDocument();
  SetPropertyCaches(nullptr);
  // The caches get the new-document values, not those of a recompile.
  EXPECT_EQ(caches.documentResets, 1);
  EXPECT_EQ(caches.compileClears, 0);
  EXPECT_EQ(DocumentSettings.AngleUnit, StoredDocumentSettings.AngleUnit);
  EXPECT_EQ(DocumentSettings.AngleFactor, StoredDocumentSettings.AngleFactor);
  EXPECT_EQ(Preferences.UniformVariableCase, StoredPreferences.UniformVariableCase);
  EXPECT_EQ(editor.GetText(), "");
  EXPECT_EQ(MainProgramUnit->VariableCount, 0);
  EXPECT_EQ(MainProgramUnit->FirstEquation, nullptr);
  EXPECT_FALSE(EquationsCompiled);
  EXPECT_FALSE(SolutionAvailable);
  EXPECT_TRUE(UseDiagramInput);
  EXPECT_EQ(CurrentProgramUnit, MainProgramUnit);
  EXPECT_EQ(ActiveChildWindow, kEquationsWindow);
  // The next solve starts from nothing.
  Solve("z = 5");
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(MainProgramUnit->VariableCount, 1);
}

}  // namespace
}  // namespace voq

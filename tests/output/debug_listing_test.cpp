// The Debug window's listings on their own: the occurrence and candidate
// marks of mode 0 with the English and French explanations, the
// constrained variables and equations of mode 1, the unit-check listing of
// mode 2, the click rules and the window's font tables.
#include <gtest/gtest.h>

#include <string>

#include "core/calc_state.h"
#include "core/messages.h"
#include "model/document_settings.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "output/debug_listing.h"
#include "output/func_proc_units.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "session/compile_driver.h"

namespace voq {
namespace {

std::string French() { return "FRA"; }
std::string English() { return "ENU"; }

// The solve sequence's Debug window request, recorded.
class RecordingSolveWindows : public SolveSequenceServices {
 public:
  void ShowDebugWindow(TProgramUnitRecord* unit, int mode) override {
    shownUnit = unit;
    shownMode = mode;
  }
  TProgramUnitRecord* shownUnit = nullptr;
  int shownMode = -1;
};

class DebugListingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetPlatform(&platform);
    SetSolveSequenceServices(&solve);
    SetLocaleLanguageReader(English);
  }
  void TearDown() override {
    SetLocaleLanguageReader(nullptr);
    SetSolveSequenceServices(nullptr);
    SetPlatform(nullptr);
  }
  // Compiles an unbalanced model and answers message 47 with Yes.
  void Unbalanced(const std::string& text) {
    Equations().SetText(text);
    CheckOnlyMode = false;
    platform.alertAnswers.push_back(kResultYes);
    CompileEquations(false, true);
    ASSERT_EQ(solve.shownMode, 0) << text << (platform.alerts.empty() ? "" : platform.alerts.back().text);
    DebugState().Mode = 0;
    DebugState().Unit = solve.shownUnit;
  }
  void Solve(const std::string& text) {
    Equations().SetText(text);
    CheckOnlyMode = false;
    CompileEquations(false, true);
    ASSERT_LE(CalcErrorCode, 0) << text;
  }
  TVariableRecord* Var(const std::string& name) {
    return MainProgramUnit->Variable(FindVariable(name));
  }

  ScriptedPlatform platform;
  RecordingSolveWindows solve;
};

TEST_F(DebugListingTest, OneMissingEquation) {
  // 3 equations in 4 unknowns: w and z are left for the missing equation.
  Unbalanced("x + y = 3\r\nx - y = 1\r\nz = w + x");
  EXPECT_EQ(solve.shownUnit, MainProgramUnit);
  EXPECT_EQ(DebugSurplus(*MainProgramUnit), 1);
  const TDebugListing listing = BuildDebugListing(DebugState(), true);
  EXPECT_EQ(listing.Caption, "Debug");
  const std::string all = listing.AllText();
  EXPECT_NE(all.find("Your problem definition is missing one equation that likely involves one or more \n"
                     "of the following variables.\n"),
            std::string::npos)
      << all;
  // The Block column beside Variable and Line.
  const TDebugText* block = listing.Find(GetMessageText(552));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block->Column, 41);
  EXPECT_EQ(block->Kind, kDebugRedUnderlined);
  ASSERT_GE(listing.FirstCandidateRow, 0);
  // Each candidate row: name at 2, line at 32, block at 43.
  int32_t candidates = 0;
  for (const TDebugText& t : listing.Texts)
    if (t.Row >= listing.FirstCandidateRow && t.Column == 43) ++candidates;
  EXPECT_GT(candidates, 0);
  EXPECT_TRUE(listing.HasResidualsLink);
  EXPECT_NE(listing.Find(GetMessageText(549)), nullptr);
  // w and z appear once: listed under message 545 with line 3.
  ASSERT_NE(listing.Find(GetMessageText(545)), nullptr);
  EXPECT_EQ(DebugState().Marks[Var("w")].OnceLine, 3);
  EXPECT_EQ(DebugState().Marks[Var("x")].OnceLine, -1);
}

TEST_F(DebugListingTest, TwoExtraEquations) {
  Unbalanced("x + y = 3\r\nx - y = 1\r\n2*x + y = 5\r\nx + 2*y = 4");
  EXPECT_EQ(DebugSurplus(*MainProgramUnit), -2);
  // The extraneous equations never got a block or a residual.
  for (TEquationRecord* e = MainProgramUnit->FirstEquation; e != nullptr; e = e->Next) {
    e->Block = 0;
    e->Residual = BlankValue;
  }
  const TDebugListing listing = BuildDebugListing(DebugState(), true);
  const std::string all = listing.AllText();
  EXPECT_NE(all.find("Your problem definition contains 2 too many equations.  The extraneous\n"
                     "equations likely involve the following variables.\n"),
            std::string::npos)
      << all;
  // No Block column for extra equations.
  EXPECT_EQ(listing.Find(GetMessageText(552)), nullptr);
  EXPECT_EQ(DebugExplanation(-1, false).second, "equation likely involves the following variables.");
  EXPECT_EQ(DebugExplanation(3, false).first,
            "Your problem definition is missing 3 equations that likely involve one or more ");
}

TEST_F(DebugListingTest, FrenchLocaleTakesTheFrenchTexts) {
  Unbalanced("x + y = 3\r\nx - y = 1\r\nz = w + x");
  SetLocaleLanguageReader(French);
  const TDebugListing listing = BuildDebugListing(DebugState(), true);
  const std::string all = listing.AllText();
  EXPECT_NE(all.find("Il manque probablement \xE0 votre probl\xE8me 1\xE9quation(s), utilisant  la ou les\n"
                     "variable(s) suivante(s) :"),
            std::string::npos)
      << all;
  EXPECT_NE(listing.Find(GetMessageText(553)), nullptr);
  EXPECT_FALSE(listing.HasResidualsLink);
  EXPECT_EQ(DebugExplanation(-1, true).first,
            "Votre probl\xE8me contient 1 \xE9quation(s) de trop. L'\xE9quation suspect\xE9"
            "e contient la ou les ");
  // Looked up at every listing: back in English.
  SetLocaleLanguageReader(English);
  EXPECT_EQ(BuildDebugListing(DebugState(), true).Find(GetMessageText(553)), nullptr);
}

TEST_F(DebugListingTest, WithoutCandidatesMessage548EndsTheListing) {
  Unbalanced("x + y = 3\r\nx - y = 1\r\nz = w + x");
  // Marks not recomputed (the window is not active) and none set.
  DebugState().Marks.clear();
  const TDebugListing listing = BuildDebugListing(DebugState(), false);
  ASSERT_FALSE(listing.Texts.empty());
  EXPECT_EQ(listing.Texts.back().Text, GetMessageText(548));
  EXPECT_EQ(listing.FirstCandidateRow, -1);
}

TEST_F(DebugListingTest, ClickOnAVariableUsedOnceShowsItsSource) {
  Unbalanced("x + y = 3\r\nx - y = 1\r\nz = w + x");
  DebugState().ActivatedTicks = 1000;
  const TDebugListing listing = BuildDebugListing(DebugState(), true);
  ASSERT_GE(listing.FirstOnceRow, 0);
  const int32_t lh = 16, cw = 8;
  // The first once-row: its middle.
  const int32_t y = listing.FirstOnceRow * lh + 6 + lh / 2;
  const TDebugClick early = DebugClickAt(DebugState(), listing, 3 * cw, y, 0, lh, cw, 1, true, 1050);
  EXPECT_EQ(early.What, TDebugClick::kNone);
  const TDebugClick inactive = DebugClickAt(DebugState(), listing, 3 * cw, y, 0, lh, cw, 1, false, 2000);
  EXPECT_EQ(inactive.What, TDebugClick::kNone);
  const TDebugClick click = DebugClickAt(DebugState(), listing, 3 * cw, y, 0, lh, cw, 1, true, 1100);
  ASSERT_EQ(click.What, TDebugClick::kShowVariableSource);
  ASSERT_NE(click.Target.Variable, nullptr);
  EXPECT_EQ(click.Mark, 3);
  // Right of column 25 nothing happens in mode 0.
  EXPECT_EQ(DebugClickAt(DebugState(), listing, 27 * cw, y, 0, lh, cw, 1, true, 1100).What, TDebugClick::kNone);
  // The name as a whole word in its line: "w" of line 3, not the "w" of
  // another word.
  const std::string text = "x + y = 3\r\nx - y = 1\r\nz = w + x";
  const auto range = VariableSourceRange(text, click.Mark, click.Target.Variable->Name);
  EXPECT_EQ(text.substr(size_t(range.first), size_t(range.second - range.first)), click.Target.Variable->Name);
  EXPECT_EQ(VariableSourceRange("ww = 1\r\nw = ww", 2, "ww"), (std::pair<int32_t, int32_t>{12, 14}));
  // A name not in the line selects the line.
  EXPECT_EQ(VariableSourceRange("a = 1\r\nb = 2", 2, "q"), (std::pair<int32_t, int32_t>{7, 12}));
  // The Residuals link.
  ASSERT_TRUE(listing.HasResidualsLink);
  EXPECT_EQ(DebugClickAt(DebugState(), listing, listing.LinkColumn * cw + 2, listing.LinkRow * lh + 2, 0, lh, cw, 1,
                         true, 1100)
                .What,
            TDebugClick::kShowResiduals);
}

TEST_F(DebugListingTest, ConstrainedVariablesAndEquations) {
  Solve("x = 2\r\ny = 3*x");
  Var("x")->LowerLimit = 2;
  Var("y")->UpperLimit = 10;
  MainProgramUnit->FirstEquation->Next->RelativeResidual = 0.5L;
  DebugState().Mode = 1;
  const TDebugListing listing = BuildDebugListing(DebugState(), true);
  EXPECT_EQ(listing.Caption, "Constrained Variable Information");
  ASSERT_NE(listing.Find(GetMessageText(550)), nullptr);
  const TDebugText* routine = listing.Find("Routine");
  ASSERT_NE(routine, nullptr);
  EXPECT_EQ(routine->Column, 66);
  EXPECT_EQ(routine->Kind, kDebugUnderlined);
  // x at its lower bound; y = 6 with the upper bound 10 is not listed.
  EXPECT_EQ(DebugState().Marks[Var("x")].OnceLine, 1);
  EXPECT_EQ(DebugState().Marks[Var("y")].OnceLine, 0);
  ASSERT_NE(listing.Find(GetMessageText(554)), nullptr);
  EXPECT_EQ(DebugState().ListedRow[MainProgramUnit->FirstEquation->Next],
            listing.Find("y=3*x")->Row);
  EXPECT_NE(listing.Find(GetMessageText(555)), nullptr);
  EXPECT_NE(listing.Find(GetMessageText(556)), nullptr);
}

TEST_F(DebugListingTest, UnitCheckWithoutProblemsShowsOnlyMessage461) {
  Solve("L = 2\r\nT = L*3");
  DebugState().Mode = 2;
  const TDebugListing listing = BuildDebugListing(DebugState(), true);
  EXPECT_EQ(listing.Caption, "Check Units");
  ASSERT_EQ(listing.Texts.size(), 1u);
  EXPECT_EQ(listing.Texts[0].Text, GetMessageText(461));
  EXPECT_EQ(listing.Texts[0].Kind, kDebugGreen);
}

TEST_F(DebugListingTest, UnitCheckListsTheProblem) {
  Solve("L = 2\r\nT = L*3");
  Var("L")->Units = "m";
  Var("T")->Units = "s";
  DebugState().Mode = 2;
  const TDebugListing listing = BuildDebugListing(DebugState(), true);
  const TDebugText* statement = listing.Find("T=L*3");
  ASSERT_NE(statement, nullptr) << listing.AllText();
  // The main program's heading is left out when nothing came before it.
  EXPECT_EQ(listing.Find("Main Program"), nullptr);
  EXPECT_NE(listing.Find(GetMessageText(462)), nullptr);
  // Right click: the Variable Information dialog over its variables; left:
  // the statement in the Equations window.
  DebugState().ActivatedTicks = 0;
  const int32_t y = statement->Row * 16 + 6 + 8;
  EXPECT_EQ(DebugClickAt(DebugState(), listing, 16, y, 0, 16, 8, 2, true, 500).What, TDebugClick::kStatementVarInfo);
  EXPECT_EQ(DebugClickAt(DebugState(), listing, 16, y, 0, 16, 8, 1, true, 500).What, TDebugClick::kSelectStatement);
}

TEST_F(DebugListingTest, ReadableFunctionText) {
  const std::string compiled = std::string("y=\xC7(1,a,b)");
  EXPECT_EQ(ReadableFunctionText(compiled), "y");
  EXPECT_EQ(ReadableFunctionText(std::string("\xC7(3,x,0)=1")), "(x>0)");
  EXPECT_EQ(ReadableFunctionText(std::string("\xC7(7,\xC7(4,a,b),\xC7(5,c,d))=1")), "(a<b) and (c<>d)");
  EXPECT_EQ(ReadableFunctionText("~((x+1))"), "(x+1)");
  EXPECT_EQ(ReadableFunctionText("a=b"), "a=b");
}

TEST_F(DebugListingTest, FontTables) {
  const struct {
    int32_t index;
    int32_t points;
  } sizes[] = {{0, 10}, {1, 8}, {2, 10}, {3, 12}, {4, 14}, {5, 16}, {6, 18}, {7, 0}};
  for (const auto& s : sizes) EXPECT_EQ(DebugFontPoints(s.index), s.points) << s.index;
  EXPECT_EQ(DebugFontFace(0), "Arial");
  EXPECT_EQ(DebugFontFace(1), "Arial");
  EXPECT_EQ(DebugFontFace(2), "Times New Roman");
  EXPECT_EQ(DebugFontFace(7), "System");
}

}  // namespace
}  // namespace voq

namespace voq {
namespace {

// The units dialog's model over routine locals.
TEST(FuncProcUnitsModelTest, SortedOnceCutAndOnlyChangedRows) {
  TLocalVariableRecord a, b, bAgain;
  a.Name = "beta";
  a.Units = "m";
  b.Name = "Alpha";
  b.Units = "";
  bAgain.Name = "ALPHA";
  TFuncProcUnitsModel model;
  EXPECT_TRUE(model.ClosesAtOnce());
  model.Add(&a);
  model.Add(&b);
  model.Add(&bAgain);
  ASSERT_EQ(model.Count(), 2);
  EXPECT_EQ(model.Name(0), "ALPHA");
  EXPECT_EQ(model.Name(1), "BETA");
  EXPECT_EQ(model.Units(1), "m");
  // 31 characters are cut to 30; the unchanged row keeps its flag.
  model.SetUnits(0, std::string(31, 'k'));
  EXPECT_EQ(model.Commit(), 1);
  EXPECT_EQ(b.Units, std::string(30, 'k'));
  EXPECT_EQ(b.DefaultUnits, 0);
  EXPECT_EQ(a.DefaultUnits, 1);
  EXPECT_EQ(model.Commit(), 0);
}

}  // namespace
}  // namespace voq

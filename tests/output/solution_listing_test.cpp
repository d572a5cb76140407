// The Solution window's listing, selection, format changes and text output,
// on fixed-width metrics (8 pixels a character, lines of 14 + 2 pixels).
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "core/calc_state.h"
#include "model/document_settings.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "output/solution_format.h"
#include "output/solution_listing.h"
#include "output/solution_text.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "session/compile_driver.h"
#include "session/min_max.h"
#include "session/uncertainty.h"

namespace voq {
namespace {

class SolutionListingTest : public ::testing::Test {
 protected:
  void Solve(const std::string& text) {
    Equations().SetText(text);
    CheckOnlyMode = false;
    CompileEquations(false, true);
    ASSERT_LE(CalcErrorCode, 0) << text;
    ActivateSolution(SolutionState(), 0);
  }
  TSolutionListing List(int32_t width = 80) { return DisplaySolution(SolutionState(), width, metrics); }
  TVariableRecord* Var(const std::string& name) {
    TProgramUnitRecord* u = MainProgramUnit;
    for (int32_t k = 1; k <= u->VariableCount; ++k)
      if (u->Variable(k) != nullptr && u->Variable(k)->Name == name) return u->Variable(k);
    return nullptr;
  }
  int32_t IndexOf(const std::string& name) {
    TProgramUnitRecord* u = MainProgramUnit;
    for (int32_t k = 1; k <= u->VariableCount; ++k)
      if (u->Variable(k) != nullptr && u->Variable(k)->Name == name) return k;
    return 0;
  }
  // Clicks the middle of an entry's rectangle well after activation.
  void ClickOn(TVariableRecord* v) {
    const TScreenRect r = v->ScreenRect;
    ClickSolution(SolutionState(), (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2, 1000, true);
  }
  std::string TempFile(const std::string& stem) {
    return (std::filesystem::temp_directory_path() /
            (stem + "_" + std::to_string(::getpid()) + "_" + std::to_string(counter++) + ".txt"))
        .string();
  }
  static std::string Read(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

  TFixedEntryMetrics metrics{8, 14};
  int counter = 0;
};

TEST_F(SolutionListingTest, TwoEquationsListBothValuesInColumns) {
  Solve("x+y=3\r\nx-y=1");
  const TSolutionListing listing = List(80);
  const auto entries = listing.Entries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0]->Text, "x = 2");
  EXPECT_EQ(entries[1]->Text, "y = 1");
  // W = 5 characters (40 px); C = (40 + 10) div 8 = 6; N = 80 div 6 = 13,
  // at most the 2 entries; S = 80 div 2 = 40.
  EXPECT_EQ(listing.ColumnWidth, 6);
  EXPECT_EQ(listing.Columns, 2);
  EXPECT_EQ(listing.ColumnStep, 40);
  EXPECT_EQ(entries[0]->Line, entries[1]->Line);
  EXPECT_EQ(entries[0]->Column, 2);
  EXPECT_EQ(entries[1]->Column, 42);
  // The rectangle: left = column x 8 - 3, right = left + text + 6, top =
  // line x 16 + 5 - 2, bottom = top + 16.
  const TScreenRect r = Var("x")->ScreenRect;
  EXPECT_EQ(r.Left, 2 * 8 - 3);
  EXPECT_EQ(r.Right, r.Left + 5 * 8 + 6);
  EXPECT_EQ(r.Top, entries[0]->Line * 16 + 5 - 2);
  EXPECT_EQ(r.Bottom, r.Top + 16);
}

TEST_F(SolutionListingTest, NarrowWindowListsOneEntryPerLine) {
  Solve("x+y=3\r\nx-y=1");
  const TSolutionListing listing = List(3);
  const auto entries = listing.Entries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(listing.Columns, 1);
  EXPECT_EQ(listing.ColumnStep, 1);
  EXPECT_EQ(entries[1]->Line, entries[0]->Line + 1);
  EXPECT_EQ(entries[1]->Column, 2);
}

TEST_F(SolutionListingTest, CalculationTimeTexts) {
  struct Case {
    int32_t ms;
    const char* text;
  } cases[] = {{12345, "12.3 sec"}, {500, ".5 sec"}, {99, ".0 sec"}, {1000, "1.0 sec"}, {-5, ".0 sec"}};
  for (const Case& c : cases) EXPECT_EQ(CalculationTimeText(c.ms), c.text) << c.ms;
}

TEST_F(SolutionListingTest, TimeLineHiddenVariableAndArraysNote) {
  Solve("x[1]=4\r\nx[2]=5\r\na=1\r\nb=2");
  RunStartTicks = 1000;
  SolveStartTicks = 1000 + 12345;
  Var("b")->DisplayCode = 10;  // Hidden, background 1
  Preferences.UseArraysWindow = 1;
  TSolutionListing listing = List(80);
  ASSERT_NE(listing.FindText("Calculation time = 12.3 sec"), nullptr);
  EXPECT_EQ(listing.FindText("Calculation time")->Kind, kTextGreen);
  const TSolutionItem* note = listing.FindText("Array variables are in the Arrays window");
  ASSERT_NE(note, nullptr);
  EXPECT_EQ(note->Kind, kTextBlue);
  ASSERT_EQ(listing.Entries().size(), 1u);  // only a: b is hidden, the elements are left out
  EXPECT_EQ(listing.Entries()[0]->Name, "a");
  EXPECT_EQ(Var("b")->ScreenRect, TScreenRect{});

  Preferences.UseArraysWindow = 0;
  listing = List(80);
  EXPECT_EQ(listing.FindText("Array variables"), nullptr);
  EXPECT_EQ(listing.Entries().size(), 3u);
}

TEST_F(SolutionListingTest, ModuleCalledThreeTimesShowsThreeBlocks) {
  Preferences.ShowLocalVariables = 1;
  Solve("MODULE M(a : b)\r\nb = 2*a\r\nEND\r\nCALL M(1 : p)\r\nCALL M(2 : q)\r\nCALL M(3 : r)");
  TSolutionState& state = SolutionState();
  ASSERT_GE(state.Tabs.size(), 2u);
  EXPECT_EQ(state.Tabs[0].Name, "Main");
  int32_t tab = -1;
  for (size_t t = 0; t < state.Tabs.size(); ++t)
    if (state.Tabs[t].Name == "M") tab = int32_t(t);
  ASSERT_GE(tab, 0);
  state.SelectedTab = tab;
  const TSolutionListing listing = List(80);
  std::vector<std::string> headers;
  for (const TSolutionItem& item : listing.Items)
    if (item.Kind == kTextBold) headers.push_back(item.Text);
  ASSERT_EQ(headers.size(), 3u);
  // The module keeps each call's text as its description.
  EXPECT_EQ(headers[0], "Local variables in Module M\\1  (CALL M(1:p))");
  EXPECT_EQ(headers[1], "Local variables in Module M\\2  (CALL M(2:q))");
  EXPECT_EQ(headers[2], "Local variables in Module M\\3  (CALL M(3:r))");
  // Each block lists the call's a and b under their plain names.
  std::vector<std::string> texts;
  for (const TSolutionItem* e : listing.Entries()) texts.push_back(e->Text);
  EXPECT_EQ(texts, (std::vector<std::string>{"a = 1", "b = 2", "a = 2", "b = 4", "a = 3", "b = 6"}));
}

TEST_F(SolutionListingTest, SubprogramTabListsItsOwnVariables) {
  Preferences.ShowLocalVariables = 1;
  Solve("SUBPROGRAM S(a : b)\r\nb = 2*a\r\nEND\r\nCALL S(1 : p)\r\nCALL S(2 : q)");
  TSolutionState& state = SolutionState();
  int32_t tab = -1;
  for (size_t t = 0; t < state.Tabs.size(); ++t)
    if (state.Tabs[t].Name == "S") tab = int32_t(t);
  ASSERT_GE(tab, 0);
  EXPECT_GT(state.Tabs[size_t(tab)].Object, 0);
  state.SelectedTab = tab;
  const TSolutionListing listing = List(80);
  const TSolutionItem* header = listing.FindText("Local variables in Subprogram S (");
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(header->Text.substr(header->Text.size() - 6), "calls)");
  EXPECT_FALSE(listing.Entries().empty());
  // The Main tab lists p and q, and no block of the subprogram.
  state.SelectedTab = 0;
  std::vector<std::string> texts;
  const TSolutionListing mainListing = List(80);
  for (const TSolutionItem* e : mainListing.Entries()) texts.push_back(e->Text);
  EXPECT_EQ(texts, (std::vector<std::string>{"p = 2", "q = 4"}));
}

TEST_F(SolutionListingTest, FunctionTabListsItsLocals) {
  Preferences.ShowLocalVariables = 1;
  Solve("FUNCTION f(a)\r\nb := 2*a\r\nf := b + 1\r\nEND\r\ny = f(3)");
  TSolutionState& state = SolutionState();
  int32_t tab = -1;
  for (size_t t = 0; t < state.Tabs.size(); ++t)
    if (state.Tabs[t].Name == "f") tab = int32_t(t);
  ASSERT_GE(tab, 0);
  EXPECT_LT(state.Tabs[size_t(tab)].Object, 0);
  state.SelectedTab = tab;
  const TSolutionListing listing = List(80);
  const TSolutionItem* header = listing.FindText("Local variables in Function f (");
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(header->Kind, kTextBold);
  std::vector<std::string> texts;
  for (const TSolutionItem* e : listing.Entries()) texts.push_back(e->Text);
  // Sorted by name; the main program's y is on the Main tab only.
  EXPECT_EQ(texts, (std::vector<std::string>{"a = 3", "b = 6", "f = 7"}));
  EXPECT_EQ(listing.FindText("Calculation time"), nullptr);

  // A click on a local toggles its selected flag.
  const TSolutionItem* b = listing.Entries()[1];
  const TScreenRect r = b->Rect;
  EXPECT_TRUE(ClickSolution(state, r.Left + 2, r.Top + 2, 1000, true));
  EXPECT_TRUE(LocalSelected(*b->Local));
  const std::string copied = SolutionClipboardText(state);
  EXPECT_EQ(copied.substr(0, 30), "Local variables in FUNCTION f\r");
}

TEST_F(SolutionListingTest, AutomaticUnitCheckMessages) {
  Preferences.CheckUnitsAutomatically = 1;
  Solve("L = 2 \"[m]\"\r\nT = L*3 \"[m]\"");
  Var("L")->Units = "m";
  Var("T")->Units = "m";
  ClearUnitsCheck();
  TSolutionListing listing = List(80);
  const TSolutionItem* ok = listing.FindText("No unit consistency or conversion problems were detected.");
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->Kind, kTextGreen);
  EXPECT_FALSE(listing.ShowUnitsButton);
  EXPECT_EQ(listing.UnitsMessageLine + 1, ok->Line);

  // T in seconds: the second equation mixes s and m.
  Var("T")->Units = "s";
  ClearUnitsCheck();
  listing = List(80);
  const TSolutionItem* problem = listing.FindText("1 potential unit problem was detected.");
  ASSERT_NE(problem, nullptr);
  EXPECT_EQ(problem->Kind, kTextRed);
  EXPECT_TRUE(listing.ShowUnitsButton);
  EXPECT_EQ(listing.ButtonLine, problem->Line);
  // 25 pixels right of the message's end.
  EXPECT_EQ(listing.ButtonLeft, 2 * 8 + int32_t(problem->Text.size()) * 8 + 25);
}

// The unit settings stand above the list once a property function was
// evaluated; without one there is no such line.
TEST_F(SolutionListingTest, UnitSettingsLineAfterAPropertyCall) {
  Solve("a=1");
  EXPECT_EQ(List(80).FindText("Unit Settings:"), nullptr);
  Solve("T1 = 25\r\nP1 = 101.3\r\nh = Enthalpy(Water, T=T1, P=P1)");
  const TSolutionListing listing = List(80);
  const TSolutionItem* line = listing.FindText("Unit Settings: ");
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->Kind, kTextRed);
  EXPECT_EQ(line->Line, 0);
  ASSERT_FALSE(listing.Entries().empty());
  EXPECT_GT(listing.Entries()[0]->Line, line->Line);
  // The line keeps the entries' left margin instead of touching the border.
  EXPECT_EQ(line->Column, listing.Entries()[0]->Column);
  EXPECT_EQ(line->Column, 2);
}

TEST_F(SolutionListingTest, OptimisationLineInGreen) {
  Solve("x=2\r\ny=x^2");
  MinMaxMode = true;
  MinMaxSetup.ObjectiveVariable = int16_t(IndexOf("y"));
  MinMaxSetup.IndependentCount = 1;
  MinMaxSetup.IndependentVariables[1] = int16_t(IndexOf("x"));
  const TSolutionListing listing = List(80);
  const TSolutionItem* line = listing.FindText("Minimization of y(x)");
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->Kind, kTextGreen);
  EXPECT_EQ(line->Column, 2);
}

// Only the calculated and the measured variables, in one column.
TEST_F(SolutionListingTest, UncertaintyModeListsTheUncertaintyVariables) {
  Solve("a=1\r\nb=2\r\nc=a+b\r\nd=4");
  UncertaintyMode = true;
  UncertaintySettings.CalculatedVariable = IndexOf("c");
  UncertaintySettings.MeasuredCount = 2;
  UncertaintySettings.MeasuredVariables[1] = IndexOf("a");
  UncertaintySettings.MeasuredVariables[2] = IndexOf("b");
  const TSolutionListing listing = List(200);
  std::vector<std::string> names;
  for (const TSolutionItem* e : listing.Entries()) names.push_back(e->Name);
  EXPECT_EQ(names, (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(listing.Columns, 1);
  for (const TSolutionItem* e : listing.Entries())
    EXPECT_EQ(e->UncertaintyPosition, e->Name == "c" ? 0 : (e->Name == "a" ? 1 : 2)) << e->Name;
}

TEST_F(SolutionListingTest, ClickWithinActivationTimeSelectsNothing) {
  Solve("x+y=3\r\nx-y=1");
  SolutionState().ActivationTicks = 1000;
  List(80);
  const TScreenRect r = Var("x")->ScreenRect;
  EXPECT_FALSE(ClickSolution(SolutionState(), r.Left + 2, r.Top + 2, 1050, true));
  EXPECT_GT(Var("x")->DisplayCode, 0);
  EXPECT_FALSE(ClickSolution(SolutionState(), r.Left + 2, r.Top + 2, 1200, false));  // not the active child
  EXPECT_TRUE(ClickSolution(SolutionState(), r.Left + 2, r.Top + 2, 1100, true));
  EXPECT_LT(Var("x")->DisplayCode, 0);
  EXPECT_EQ(SolutionState().LastSelected, IndexOf("x"));
  // A second click deselects; a click on empty space clears everything.
  EXPECT_TRUE(ClickSolution(SolutionState(), r.Left + 2, r.Top + 2, 1300, true));
  EXPECT_GT(Var("x")->DisplayCode, 0);
  EXPECT_EQ(SolutionState().LastSelected, 0);
  ClickSolution(SolutionState(), r.Left + 2, r.Top + 2, 1400, true);
  EXPECT_FALSE(ClickSolution(SolutionState(), 5000, 5000, 1500, true));
  EXPECT_GT(Var("x")->DisplayCode, 0);
}

TEST_F(SolutionListingTest, SelectAllSelectsEveryDrawnEntry) {
  Solve("a=1\r\nb=2\r\nc=3");
  SolutionState().SelectAllPaint = true;
  List(80);
  SolutionState().SelectAllPaint = false;
  for (const char* name : {"a", "b", "c"}) EXPECT_LT(Var(name)->DisplayCode, 0) << name;
  UnselectSolution(SolutionState());
  for (const char* name : {"a", "b", "c"}) EXPECT_GT(Var(name)->DisplayCode, 0) << name;
}

TEST_F(SolutionListingTest, ApplyGivesOtherSelectedOnlyTheChangedFieldsAndUndoSwaps) {
  Solve("a=1\r\nb=2\r\nc=3");
  List(80);
  Var("b")->Units = "kg";
  Var("c")->Units = "s";
  Var("c")->DisplayCode = 23;  // Bold, background 2
  Var("c")->Style = 1;
  Var("c")->Digits = 2;
  for (const char* name : {"a", "b", "c"}) ClickOn(Var(name));
  for (const char* name : {"a", "b", "c"}) ASSERT_LT(Var(name)->DisplayCode, 0) << name;

  // The dialog opens on a; only the digits change.
  TVariableRecord opening;
  CurrentProgramUnit = MainProgramUnit;
  TFormatChoice choice = OpenFormatOfVariable(IndexOf("a"), opening);
  EXPECT_GT(Var("a")->DisplayCode, 0);
  choice.Digits = 7;
  ApplyVariableFormat(IndexOf("a"), opening, choice);
  EXPECT_EQ(Var("a")->Digits, 7);
  EXPECT_EQ(Var("b")->Digits, 7);
  EXPECT_EQ(Var("b")->Units, "kg");
  EXPECT_EQ(Var("c")->Digits, 7);
  EXPECT_EQ(Var("c")->Units, "s");
  EXPECT_EQ(Var("c")->Style, opening.Style);  // style and digits go together
  EXPECT_EQ(std::abs(Var("c")->DisplayCode), 23);
  EXPECT_EQ(FormatUndoList().size(), 3u);

  // Undo gives the old formats back; a second undo the change again.
  const TVariableRecord changedC = *Var("c");
  doUndo();
  EXPECT_EQ(Var("c")->Digits, 2);
  EXPECT_EQ(Var("c")->Style, 1);
  EXPECT_EQ(Var("a")->Digits, opening.Digits);
  doUndo();
  EXPECT_EQ(Var("c")->Digits, changedC.Digits);
  EXPECT_EQ(Var("c")->Style, changedC.Style);
  EXPECT_EQ(Var("a")->Digits, 7);
}

TEST_F(SolutionListingTest, ApplyOfCodeAndUnitsReachesTheOtherSelected) {
  Solve("a=1\r\nb=2");
  List(80);
  ClickOn(Var("b"));
  TVariableRecord opening;
  CurrentProgramUnit = MainProgramUnit;
  TFormatChoice choice = OpenFormatOfVariable(IndexOf("a"), opening);
  choice.Code = 0;  // Hidden
  choice.Units = "m";
  ApplyVariableFormat(IndexOf("a"), opening, choice);
  EXPECT_EQ(Var("b")->DisplayCode, 0);  // replaced code: no longer selected
  EXPECT_EQ(Var("b")->Units, "m");
  const TSolutionListing listing = List(80);
  EXPECT_TRUE(listing.Entries().empty());
}

TEST_F(SolutionListingTest, CopyTextLeavesHiddenOutAndKeepsArrayElements) {
  Solve("x[1]=4\r\nd=2\r\nh=5");
  Var("d")->Units = "m";
  Var("h")->DisplayCode = 0 * 10 + 0;  // a code of 0 is not even listed
  Var("h")->DisplayCode = 10;          // Hidden with a background
  Preferences.UseArraysWindow = 1;
  const std::string text = SolutionClipboardText(SolutionState());
  EXPECT_EQ(text, "Variables in Main\r\nd=2 [m]\r\nx[1]=4\r\n");
}

TEST_F(SolutionListingTest, SaveSolutionAppendsLinesAndOneEmptyLine) {
  Solve("d=2\r\ne=3");
  Var("d")->Units = "m";
  const std::string file = TempFile("solution_save");
  {
    std::ofstream out(file, std::ios::binary);
    out << "before\r\n";
  }
  EXPECT_TRUE(SaveSolution(file, true));
  EXPECT_EQ(Read(file), "before\r\nd=2 [m]\r\ne=3\r\n\r\n");
  EXPECT_TRUE(SaveSolution(file, false));
  EXPECT_EQ(Read(file), "d=2 [m]\r\ne=3\r\n\r\n");
  std::filesystem::remove(file);
}

// A folder in place of the file fails for every user, root included.
TEST_F(SolutionListingTest, SaveSolutionToAFolderReportsTheError) {
  Solve("d=2");
  auto& platform = dynamic_cast<ScriptedPlatform&>(Platform());
  const size_t alertsBefore = platform.alerts.size();
  EXPECT_FALSE(SaveSolution(std::filesystem::temp_directory_path().string(), true));
  EXPECT_EQ(platform.alerts.size(), alertsBefore + 1);
}

TEST_F(SolutionListingTest, SaveSolutionToAReadOnlyFileReportsTheError) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes read-only files";
  Solve("d=2");
  const std::string file = TempFile("solution_readonly");
  {
    std::ofstream out(file, std::ios::binary);
    out << "kept\r\n";
  }
  std::filesystem::permissions(file, std::filesystem::perms::owner_read);
  auto& platform = dynamic_cast<ScriptedPlatform&>(Platform());
  const size_t alertsBefore = platform.alerts.size();
  EXPECT_FALSE(SaveSolution(file, true));
  ASSERT_EQ(platform.alerts.size(), alertsBefore + 1);
  EXPECT_EQ(Read(file), "kept\r\n");
  std::filesystem::permissions(file, std::filesystem::perms::owner_all);
  std::filesystem::remove(file);
}

TEST_F(SolutionListingTest, SaveSolutionToAFullDiskReportsTheError) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  Solve("d=2");
  auto& platform = dynamic_cast<ScriptedPlatform&>(Platform());
  const size_t alertsBefore = platform.alerts.size();
  EXPECT_FALSE(SaveSolution("/dev/full", false));
  EXPECT_EQ(platform.alerts.size(), alertsBefore + 1);
}

TEST_F(SolutionListingTest, VarinSolutionNeedsAListedVariable) {
  Solve("a=1");
  EXPECT_TRUE(VarinSolution());
  Var("a")->DisplayCode = 10;
  EXPECT_FALSE(VarinSolution());
}

}  // namespace
}  // namespace voq

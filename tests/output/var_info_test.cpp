// The Variable Information dialog's model: rows and cells, commits of
// numbers and linked names, the OK step's checks and renames in the records
// and the Equations text, the macro lines, Cancel and Print.
#include "output/var_info.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/extended.h"
#include "language/store_fixture.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "output/print_test_support.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "session/compile_driver.h"
#include "session/document_reset.h"
#include "session/equation_editor.h"

namespace voq {
namespace {

class FakeRecorder : public MacroRecorder {
 public:
  bool Recording() const override { return true; }
  void AppendLine(const std::string& line) override { lines.push_back(line); }
  std::vector<std::string> lines;
};

class FakeWindows : public VarInfoWindows {
 public:
  void CloseResultWindows() override { ++closed; }
  std::string DocumentName() const override { return "C:\\WORK\\PUMP.VOQ"; }
  int closed = 0;
};

class VarInfoModelTest : public testing::LanguageStoreTest {
 protected:
  void SetUp() override {
    SetEquationsEditor(&editor);
    platform.ticks = 100000;  // past the beep throttle
  }
  void TearDown() override { SetEquationsEditor(nullptr); }
  void Compile(const std::string& text) {
    editor.SetText(text);
    EquationsCompiled = false;
    CompileEquations(false, false);
    ASSERT_EQ(CalcErrorCode, 0) << text;
    CurrentProgramUnit = MainProgramUnit;
  }
  // The row of name in the shown unit, -1 when not listed.
  int32_t Row(TVarInfoModel& model, const std::string& name) {
    for (int32_t r = 0; r < model.RowCount(); ++r) {
      if (model.Cell(r, 0).Text == name) return r;
    }
    return -1;
  }
  TVarInfoModel& Open(int32_t selection = 0) {
    model = std::make_unique<TVarInfoModel>(windows, &recorder);
    EXPECT_TRUE(model->Create(selection, ""));
    return *model;
  }
  ScriptedPlatform platform;
  ScopedPlatform scoped{platform};
  InMemoryEquationsEditor editor;
  FakeWindows windows;
  FakeRecorder recorder;
  std::unique_ptr<TVarInfoModel> model;
};

TEST_F(VarInfoModelTest, HiddenArrayElementsShowOneRowWithTheFirstElementsValues) {
  Compile("DUPLICATE i=1,5\r\nX[i] = i\r\nEND\r\n");
  CurrentProgramUnit = MainProgramUnit;
  // Elements that the iteration solves show their guesses.
  for (const char* name : {"X[1]", "X[2]"}) VarNamed(name)->UnknownPosition = 1;
  VarNamed("X[1]")->Guess = 7;
  VarNamed("X[2]")->Guess = 9;
  TVarInfoModel& m = Open();
  EXPECT_EQ(m.RowCount(), 5);
  m.SetShowArrayElements(false);
  ASSERT_EQ(m.RowCount(), 1);
  EXPECT_EQ(m.Cell(0, 0).Text, "X[]");
  EXPECT_EQ(m.Cell(0, 1).Text, "7");
  EXPECT_TRUE(m.CanSelect(0, 0));
  // Elements themselves are not renamed one by one.
  m.SetShowArrayElements(true);
  EXPECT_FALSE(m.CanSelect(0, 0));
}

TEST_F(VarInfoModelTest, CommitsOfNumbersNamesAndFillDown) {
  Compile("a = 1\r\nb = 2\r\nc = a + b\r\n");
  TVarInfoModel& m = Open();
  const int32_t ra = Row(m, "a");
  const int32_t rb = Row(m, "b");
  ASSERT_GE(ra, 0);
  // A listed variable's name links the limit to it and takes its value.
  m.Commit(rb, 2, "A");
  EXPECT_EQ(m.Cell(rb, 2).Text, "a");
  EXPECT_EQ(VarNamed("b")->LowerLimit, 1.0L);
  EXPECT_EQ(VarNamed("b")->LowerVariable, FindVariable("a"));
  // A number clears the link again.
  m.Commit(rb, 2, " -2 ");
  EXPECT_EQ(VarNamed("b")->LowerVariable, 0);
  EXPECT_EQ(m.Cell(rb, 2).Text, "-2.0000E+00");
  // A name that is not listed stays pending; OK beeps and stays open.
  m.Commit(rb, 3, "nosuch");
  EXPECT_TRUE(m.InvalidPending());
  const int beeps = platform.beeps;
  EXPECT_FALSE(m.Ok());
  EXPECT_EQ(platform.beeps, beeps + 1);
  // Shift+Ctrl fill the number into the row and every row below.
  platform.shiftDown = platform.ctrlDown = true;
  m.Commit(ra, 1, "1e3");
  platform.shiftDown = platform.ctrlDown = false;
  for (int32_t r = ra; r < m.RowCount(); ++r) EXPECT_EQ(m.RowRecord(r)->Guess, 1000.0L) << r;
  EXPECT_FALSE(m.InvalidPending());
}

TEST_F(VarInfoModelTest, NegativeStatusShowsTheValueAndItalicLimits) {
  Compile("a = 1\r\nb = 2\r\nc = a + b\r\n");
  TVarInfoModel& m = Open();
  const int32_t rc = Row(m, "c");
  TVariableRecord* c = m.RowRecord(rc);
  c->UnknownPosition = kDeterminedVariable;
  c->Value = 3;
  c->Guess = 1;
  EXPECT_EQ(m.Cell(rc, 1).Text, "3");
  EXPECT_TRUE(m.Cell(rc, 2).Italic);
  EXPECT_TRUE(m.Cell(rc, 3).Italic);
  for (int column : {1, 2, 3}) {
    c->UnknownPosition = kDeterminedVariable;
    m.Commit(rc, column, "4");
    EXPECT_EQ(c->UnknownPosition, 1) << column;
  }
  EXPECT_FALSE(m.Cell(rc, 2).Italic);
}

TEST_F(VarInfoModelTest, RenamesThatOkRefuses) {
  struct Case {
    std::string newName;
    std::string alert;
  } cases[] = {
      {"X", "Variable x cannot be changed to X because variable X is already defined."},
      {"y", "Variable x cannot be changed to y because variable y is already defined."},
      {"2b", "2b is not a legal variable name."},
      {"b[1", "b[1 is not a legal variable name."},
      {"b c", "b c is not a legal variable name."},
  };
  for (const Case& c : cases) {
    Compile("x = 1\r\ny = x + 1\r\n");
    platform.alerts.clear();
    TVarInfoModel& m = Open();
    m.Commit(Row(m, "x"), 0, c.newName);
    EXPECT_FALSE(m.Ok()) << c.newName;
    ASSERT_EQ(platform.alerts.size(), 1u) << c.newName;
    EXPECT_EQ(platform.alerts[0].text, c.alert);
    EXPECT_EQ(editor.GetText(), "x = 1\r\ny = x + 1\r\n");
    m.Cancel();
  }
}

TEST_F(VarInfoModelTest, RenameAsksWithItsScopeAndReplacesWholeWordsOutsideComments) {
  Compile(
      "MODULE M(a : p)\r\n  p = 2*a\r\nEND\r\n"
      "x = 3 {x is the input}\r\nx_1 = x + 1\r\ns$ = 'a\\x'\r\nw = 0*x\r\nCALL M(x : q)\r\n");
  TVarInfoModel& m = Open(int32_t(editor.GetText().find("x = 3")));
  ASSERT_TRUE(m.UnitSelectorVisible());
  ASSERT_EQ(m.Units()[size_t(m.SelectedUnit())].Unit, MainProgramUnit);
  m.Commit(Row(m, "x"), 0, "y");
  platform.alertAnswers = {kResultYes};
  ASSERT_TRUE(m.Ok());
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].text, "Change every occurrence of variable x in the main program to y?");
  EXPECT_EQ(platform.alerts[0].kind, kAlertInfoYesNoAll);
  EXPECT_EQ(editor.GetText(),
            "MODULE M(a : p)\r\n  p = 2*a\r\nEND\r\n"
            "y = 3 {x is the input}\r\nx_1 = y + 1\r\ns$ = 'a\\x'\r\nw = 0*y\r\nCALL M(y : q)\r\n");
  EXPECT_EQ(VarNamed("y")->Name, "y");
  EXPECT_EQ(FindVariable("x"), 0);
  EXPECT_EQ(windows.closed, 1);
}

TEST_F(VarInfoModelTest, ArrayRenameRenamesEveryElementButNotLongerNames) {
  Compile("DUPLICATE i=1,3\r\nT[i] = i\r\nEND\r\nDELTAT[1] = T[1]\r\n");
  {
    TVarInfoModel& m = Open();
    m.SetShowArrayElements(false);
    // Typing the array's own name back changes nothing and asks nothing.
    m.Commit(Row(m, "T[]"), 0, "T[]");
    ASSERT_TRUE(m.Ok());
    EXPECT_TRUE(platform.alerts.empty());
    EXPECT_NE(FindVariable("T[2]"), 0);
  }
  TVarInfoModel& m = Open();
  m.SetShowArrayElements(false);
  m.Commit(Row(m, "T[]"), 0, "P[]");
  platform.alertAnswers = {kResultYes};
  ASSERT_TRUE(m.Ok());
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].text, "Change every occurrence of array T[] to P[]?");
  EXPECT_EQ(editor.GetText(), "DUPLICATE i=1,3\r\nP[i] = i\r\nEND\r\nDELTAT[1] = P[1]\r\n");
  for (const char* name : {"P[1]", "P[2]", "P[3]", "DELTAT[1]"}) EXPECT_NE(FindVariable(name), 0) << name;
  EXPECT_EQ(FindVariable("T[1]"), 0);
}

TEST_F(VarInfoModelTest, TextRenameKeepsPositionsThroughEveryReplacement) {
  // Unit bounds and comment ranges as the last compilation recorded them.
  struct Rename {
    int unit;
    std::string search, replacement;
  };
  struct Case {
    std::string text;
    std::vector<std::pair<int32_t, int32_t>> units;
    std::vector<std::pair<int32_t, int32_t>> comments;
    std::vector<Rename> renames;
    std::string expected;
  } cases[] = {
      // A shorter name must not let the search run into the next unit.
      {"a: xx=1; xx=2|b: xx=3", {{0, 12}, {13, 20}}, {}, {{0, "xx", "y"}}, "a: y=1; y=2|b: xx=3"},
      // A longer name still reaches the unit's last statement.
      {"x+x+x+x+x+x+x+x+x+x=0|", {{0, 20}}, {}, {{0, "x", "xxx"}},
       "xxx+xxx+xxx+xxx+xxx+xxx+xxx+xxx+xxx+xxx=0|"},
      // The second rename tests the comment where the first left it.
      {"x=1 y=2 {y}", {{0, 10}}, {{9, 10}}, {{0, "x", "xxx"}, {0, "y", "z"}}, "xxx=1 z=2 {y}"},
      // A hit in a comment does not skip the next one.
      {"{x} x = 2", {{0, 8}}, {{1, 2}}, {{0, "x", "temperature"}}, "{x} temperature = 2"},
      // A rename in a later unit after an earlier unit grew.
      {"x=1|y=1 {y}", {{0, 2}, {4, 10}}, {{9, 10}}, {{0, "x", "xxxx"}, {1, "y", "z"}}, "xxxx=1|z=1 {y}"},
  };
  for (const Case& c : cases) {
    TEquationTextRename rename(c.text, c.comments);
    for (const auto& [first, last] : c.units) rename.AddUnit(first, last);
    for (const Rename& r : c.renames) rename.Rename(r.unit, r.search, r.replacement, true);
    EXPECT_EQ(rename.Text(), c.expected) << c.text;
  }
}

TEST_F(VarInfoModelTest, MacroLinesNameTheUnitAndTheChangedAttributes) {
  Compile("MODULE M(a : p)\r\n  p = 2*a\r\nEND\r\nCALL M(3 : q)\r\n");
  TVarInfoModel& m = Open();
  size_t module = 0;
  while (module < m.Units().size() && m.Units()[module].Unit == MainProgramUnit) ++module;
  ASSERT_LT(module, m.Units().size());
  m.SelectUnit(int32_t(module));
  m.Commit(Row(m, "p"), 7, "kPa");
  ASSERT_TRUE(m.Ok());
  EXPECT_EQ(recorder.lines, std::vector<std::string>{"VARINFO  M/p   UNITS='kPa'"});

  TVariableRecord v;
  TVariableRecord copy = v;
  v.LowerLimit = -5;
  EXPECT_EQ(TVarInfoModel::MacroAttributes(v, copy), " LOWER=-5.0000E+00");
}

TEST_F(VarInfoModelTest, UpdateNeedsASolutionAndAUnitCalledOnce) {
  Compile("MODULE M(a : p)\r\n  p = 2*a\r\nEND\r\nCALL M(3 : q)\r\nCALL M(4 : r)\r\n");
  SolutionAvailable = true;
  TVarInfoModel& m = Open(int32_t(editor.GetText().size()) - 1);
  EXPECT_TRUE(m.UpdateEnabled());
  for (size_t k = 0; k < m.Units().size(); ++k) {
    if (m.Units()[k].Unit == MainProgramUnit) continue;
    m.SelectUnit(int32_t(k));
    EXPECT_FALSE(m.UpdateEnabled());
  }
}

TEST_F(VarInfoModelTest, CancelRestoresEveryRecord) {
  Compile("a = 1\r\nb = a + 1\r\n");
  const TVariableRecord before = *VarNamed("a");
  TVarInfoModel& m = Open();
  const int32_t r = Row(m, "a");
  m.Commit(r, 1, "5");
  m.Commit(r, 7, "m");
  m.SetStyle(r, 1);
  m.SetDigits(r, 7);
  m.SetHighlight(r, 4);
  m.Cancel();
  const TVariableRecord& after = *VarNamed("a");
  EXPECT_EQ(after.Guess, before.Guess);
  EXPECT_EQ(after.Units, before.Units);
  EXPECT_EQ(after.Style, before.Style);
  EXPECT_EQ(after.Digits, before.Digits);
  EXPECT_EQ(after.DisplayCode, before.DisplayCode);
}

TEST_F(VarInfoModelTest, PrintWritesTheHeadingsAndDisplayTexts) {
  Compile("a = 1\r\nb = a + 1\r\n");
  test::ScopedPrintJobEnvironment print;
  TVarInfoModel& m = Open();
  const int32_t r = Row(m, "a");
  m.SetStyle(r, 1);
  m.SetDigits(r, 3);
  m.SetHighlight(r, 3);
  m.Print();
  std::vector<std::string> texts;
  for (const auto& d : print.devices.printer.Texts) texts.push_back(d.Text);
  for (const char* heading : {"Variable", "Guess", "Lower", "Upper", "Display", "Units", "F3 B", "A   N"}) {
    EXPECT_NE(std::find(texts.begin(), texts.end(), heading), texts.end()) << heading;
  }
}

TEST_F(VarInfoModelTest, ANewDocumentForgetsTheDialogSize) {
  VarInfoDialogSize = {300, 700};
  ResetDocument();
  EXPECT_EQ(VarInfoDialogSize.Height, -1);
  EXPECT_EQ(VarInfoDialogSize.Width, -1);
}

}  // namespace
}  // namespace voq

#include "shell/insert_array_model.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "session/compile_driver.h"
#include "shell/shell_state.h"

namespace voq {
namespace {

class InsertArrayModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_.ticks = 100000;
    SetEquationsEditor(&editor_);
  }
  void TearDown() override { SetEquationsEditor(nullptr); }
  // Compiles and solves text; the current unit is the main program.
  void Solve(const std::string& text) {
    editor_.SetText(text);
    EquationsCompiled = false;
    EnsureCompiled(true);
    ASSERT_EQ(CalcErrorCode, 0);
    CurrentProgramUnit = MainProgramUnit;
  }
  int BeepsAfter(const std::function<void()>& action) {
    platform_.ticks += 5000;
    const int before = platform_.beeps;
    action();
    return platform_.beeps - before;
  }
  static std::string Trimmed(std::string s) {
    s.erase(0, s.find_first_not_of(' '));
    return s;
  }
  ScriptedPlatform platform_;
  ScopedPlatform scope_{platform_};
  InMemoryEquationsEditor editor_;
};

constexpr const char* kUnit = "X[1]=1\r\nX[2]=4\r\nX[3]=9\r\nY[1,1]=1.5\r\nY[1,2]=2\r\nY[2,1]=3\r\nY[2,2]=4.25\r\n";

TEST_F(InsertArrayModelTest, ListsTheArraysAndLoadsTheChosenOne) {
  Solve(kUnit);
  TInsertArrayModel model;
  model.FormActivate(CurrentProgramUnit);
  EXPECT_EQ(model.Items, (std::vector<std::string>{"-> Enter Array Name", "X", "Y"}));
  // No name entered yet: the first array.
  EXPECT_EQ(model.ItemIndex, 1);
  EXPECT_EQ(model.Rows(), 3);
  EXPECT_EQ(model.Cols(), 1);
  EXPECT_EQ(model.Cell(3, 1), "9");
  EXPECT_EQ(Trimmed(model.ColumnHeadings[1]), "X[i]");
  model.ChooseItem(2, CurrentProgramUnit);
  ASSERT_EQ(model.Rows(), 2);
  ASSERT_EQ(model.Cols(), 2);
  EXPECT_EQ(model.Cell(1, 1), "1.5");
  EXPECT_EQ(model.Cell(2, 2), "4.25");
  EXPECT_EQ(Trimmed(model.ColumnHeadings[1]), "Y[i,1]");
  EXPECT_EQ(Trimmed(model.ColumnHeadings[2]), "Y[i,2]");
  EXPECT_EQ(model.RowHeadings[2], "  Row 2");
  // Headings are centred in the 96-pixel column: (96 - 6*7)/2 / (7+2) = 3 blanks.
  EXPECT_EQ(model.ColumnHeadings[1], "   Y[i,1]");
  // The array last entered is chosen next time.
  LastArrayName = "y";
  TInsertArrayModel again;
  again.FormActivate(CurrentProgramUnit);
  EXPECT_EQ(again.ItemIndex, 2);
  // Without arrays only the prompt, a 10 x 1 grid headed "Column 1".
  TInsertArrayModel none;
  none.FormActivate(nullptr);
  EXPECT_EQ(none.Items, (std::vector<std::string>{"-> Enter Array Name"}));
  EXPECT_EQ(none.Rows(), 10);
  EXPECT_EQ(Trimmed(none.ColumnHeadings[1]), "Column 1");
}

TEST_F(InsertArrayModelTest, OkWritesTheBlockOfEquations) {
  Solve(kUnit);
  const char savedSeparator = StatementSeparator;
  StatementSeparator = ';';
  TInsertArrayModel model;
  model.FormActivate(CurrentProgramUnit);
  model.ChooseItem(2, CurrentProgramUnit);
  model.SetCell(2, 1, "");
  std::vector<std::string> lines = SplitEquationLines("a=1\r\n");
  TArrayBlockEdit edit;
  ASSERT_TRUE(model.OKBtnClick(lines, 2000, 7, CurrentProgramUnit, edit));
  EXPECT_EQ(LastArrayName, "Y");
  lines = ApplyArrayBlockEdit(lines, edit);
  EXPECT_EQ(JoinEquationLines(lines), "a=1\r\n{Array Y}\r\nY[1,1]=1.5;  Y[1,2]=2;  Y[2,2]=4.25\r\n{Array Y end}\r\n");
  // Again, in a narrow window: one equation a line (a line of 8 characters
  // is wider than 50 pixels at 7 + 2 a character); the old block is
  // replaced where it stands.
  lines.push_back("b=2");
  model.SetCell(2, 1, "7");
  ASSERT_TRUE(model.OKBtnClick(lines, 50, 7, CurrentProgramUnit, edit));
  EXPECT_EQ(edit.DeleteFirst, 1);
  EXPECT_EQ(edit.DeleteLast, 3);
  lines = ApplyArrayBlockEdit(lines, edit);
  EXPECT_EQ(lines[1], "{Array Y}");
  EXPECT_EQ(lines[2], "Y[1,1]=1.5");
  EXPECT_EQ(lines[5], "Y[2,2]=4.25");
  EXPECT_EQ(lines[6], "{Array Y end}");
  EXPECT_EQ(lines.back(), "b=2");
  // A one-column array: X[r]=value.
  model.ChooseItem(1, CurrentProgramUnit);
  ASSERT_TRUE(model.OKBtnClick({""}, 2000, 7, CurrentProgramUnit, edit));
  EXPECT_EQ(edit.NewLines, (std::vector<std::string>{"{Array X}", "X[1]=1;  X[2]=4;  X[3]=9", "{Array X end}"}));
  StatementSeparator = savedSeparator;
}

TEST_F(InsertArrayModelTest, BlankGridDeletesTheBlockAndAnUnendedBlockStays) {
  TInsertArrayModel model;
  model.FormActivate(nullptr);
  model.NameText = "Z";
  ASSERT_FALSE(model.HasData());
  const std::vector<std::string> text = {"a=1", "{ARRAY Z}", "Z[1]=5", "{Array Z end}", "b=2"};
  TArrayBlockEdit edit;
  ASSERT_TRUE(model.OKBtnClick(text, 2000, 7, nullptr, edit));
  EXPECT_EQ(ApplyArrayBlockEdit(text, edit), (std::vector<std::string>{"a=1", "b=2"}));
  // Without its end line the old block is left; the new one comes before it.
  const std::vector<std::string> unended = {"a=1", "{Array Z}", "Z[1]=5", "b=2"};
  model.SetCell(1, 1, "6");
  ASSERT_TRUE(model.OKBtnClick(unended, 2000, 7, nullptr, edit));
  EXPECT_EQ(ApplyArrayBlockEdit(unended, edit),
            (std::vector<std::string>{"a=1", "{Array Z}", "Z[1]=6", "{Array Z end}", "{Array Z}", "Z[1]=5", "b=2"}));
  // A blank grid with an unended block changes nothing.
  model.SetCell(1, 1, "  ");
  ASSERT_TRUE(model.OKBtnClick(unended, 2000, 7, nullptr, edit));
  EXPECT_EQ(ApplyArrayBlockEdit(unended, edit), unended);
}

TEST_F(InsertArrayModelTest, NamesAreChecked) {
  struct Case {
    const char* name;
    int message;  // 0: accepted
  };
  const Case cases[] = {{"-> Enter Array Name", 422}, {"A[1]", 423}, {"1A", 423}, {"", 423},
                        {"A B", 423},                 {" T_in ", 0}};
  for (const Case& c : cases) {
    TInsertArrayModel model;
    model.FormActivate(nullptr);
    model.NameText = c.name;
    model.SetCell(1, 1, "1");
    platform_.alerts.clear();
    TArrayBlockEdit edit;
    const bool ok = model.OKBtnClick({"x=1"}, 2000, 7, nullptr, edit);
    EXPECT_EQ(ok, c.message == 0) << c.name;
    if (c.message == 422) {
      ASSERT_EQ(platform_.alerts.size(), 1u);
      EXPECT_EQ(platform_.alerts[0].text, "Please enter the array name.");
    } else if (c.message == 423) {
      ASSERT_EQ(platform_.alerts.size(), 1u) << c.name;
      EXPECT_EQ(platform_.alerts[0].text, "Please enter a valid name (without brackets) for the array.");
    } else {
      EXPECT_TRUE(platform_.alerts.empty());
    }
    EXPECT_EQ(CalcErrorCode, 0) << "the check leaves no error behind";
  }
}

TEST_F(InsertArrayModelTest, CountsAreClampedTo200) {
  TInsertArrayModel model;
  model.SetRows(250);
  EXPECT_EQ(model.Rows(), 200);
  model.SetCols(0);
  EXPECT_EQ(model.Cols(), 1);
  model.SetRows(-3);
  EXPECT_EQ(model.Rows(), 1);
}

TEST_F(InsertArrayModelTest, ArraysTheGridCannotHoldAreRefused) {
  std::string text;
  for (int i = 1; i <= 250; ++i) text += "X[" + std::to_string(i) + "]=" + std::to_string(i) + "\r\n";
  text += "W[0]=1\r\nW[1]=2\r\nV[1,1,1]=3\r\nU[2]=4\r\n";
  Solve(text);
  EXPECT_FALSE(ArrayFitsGrid(ArrayElements(CurrentProgramUnit, "x")));
  EXPECT_FALSE(ArrayFitsGrid(ArrayElements(CurrentProgramUnit, "W")));
  EXPECT_FALSE(ArrayFitsGrid(ArrayElements(CurrentProgramUnit, "V")));
  EXPECT_TRUE(ArrayFitsGrid(ArrayElements(CurrentProgramUnit, "U")));
  TInsertArrayModel model;
  model.FormActivate(CurrentProgramUnit);
  ASSERT_EQ(model.Items, (std::vector<std::string>{"-> Enter Array Name", "U", "V", "W", "X"}));
  platform_.alerts.clear();
  model.ChooseItem(4, CurrentProgramUnit);
  ASSERT_EQ(platform_.alerts.size(), 1u);
  EXPECT_NE(platform_.alerts[0].text.find("X"), std::string::npos);
  EXPECT_EQ(model.ItemIndex, 0);
  // Typed by hand, OK refuses it too: nothing is written.
  model.NameText = "X";
  model.SetCell(1, 1, "1");
  TArrayBlockEdit edit;
  EXPECT_FALSE(model.OKBtnClick({"{Array X}", "X[1]=1", "{Array X end}"}, 2000, 7, CurrentProgramUnit, edit));
  EXPECT_TRUE(edit.NewLines.empty());
  EXPECT_LT(edit.DeleteFirst, 0);
}

TEST_F(InsertArrayModelTest, PasteFillsTheGridAndStopsAtAWord) {
  TInsertArrayModel model;
  model.SetRows(5);
  model.SetCols(2);
  // Three lines of four numbers at row 2, column 1 of two columns.
  EXPECT_TRUE(model.PasteCells("1\t2\t3\t4\r\n5\t6\t7\t8\r\n9\t10\t11\t12\r\n", 2, 1));
  EXPECT_EQ(model.CopyCells(1, 1, 5, 2), "\t\r\n1\t2\r\n5\t6\r\n9\t10\r\n\t");
  // A word stops the paste there with a beep; the cells before it stay.
  TInsertArrayModel words;
  words.SetRows(4);
  words.SetCols(2);
  bool ok = true;
  EXPECT_EQ(BeepsAfter([&] { ok = words.PasteCells("1\t2\r\n3\tabc\r\n5\t6", 1, 1); }), 1);
  EXPECT_FALSE(ok);
  EXPECT_EQ(words.CopyCells(1, 1, 3, 2), "1\t2\r\n3\t\r\n\t");
  // Pasting stops at the last row; a blank cell pastes as blank, so a copy
  // pastes back.
  TInsertArrayModel small;
  small.SetRows(2);
  small.SetCols(2);
  EXPECT_TRUE(small.PasteCells("1\t\r\n\t4\r\n5\t6\r\n", 1, 1));
  EXPECT_EQ(small.CopyCells(1, 1, 2, 2), "1\t\r\n\t4");
  TInsertArrayModel back;
  back.SetRows(2);
  back.SetCols(2);
  EXPECT_TRUE(back.PasteCells(small.CopyCells(1, 1, 2, 2), 1, 1));
  EXPECT_EQ(back.CopyCells(1, 1, 2, 2), "1\t\r\n\t4");
}

TEST_F(InsertArrayModelTest, NextClipboardCellSplitsAtTabsAndLineFeeds) {
  const std::string text = "1.5\t2\r\n3";
  size_t position = 0;
  std::string cell;
  bool tab = false;
  ASSERT_TRUE(NextClipboardCell(text, position, cell, tab));
  EXPECT_EQ(cell, "1.5");
  EXPECT_TRUE(tab);
  ASSERT_TRUE(NextClipboardCell(text, position, cell, tab));
  EXPECT_EQ(cell, "2");  // cut at the carriage return
  EXPECT_FALSE(tab);
  ASSERT_TRUE(NextClipboardCell(text, position, cell, tab));
  EXPECT_EQ(cell, "3");
  EXPECT_FALSE(NextClipboardCell(text, position, cell, tab));
}

}  // namespace
}  // namespace voq

#include "shell/default_var_info_grid.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/extended.h"
#include "core/search_path.h"
#include "documents/default_var_info.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "session/equation_editor.h"
#include "tables/tables_state.h"
#include "qt_app.h"

namespace voq {
namespace {

namespace fs = std::filesystem;

class Recorder : public MacroRecorder {
 public:
  bool Recording() const override { return recording; }
  void AppendLine(const std::string& line) override { lines.push_back(line); }
  bool recording = true;
  std::vector<std::string> lines;
};

class ScriptedChooser : public DviFileChooser {
 public:
  bool AskSaveName(std::string& path) override { return Answer(path); }
  bool AskOpenName(std::string& path) override { return Answer(path); }
  bool Answer(std::string& path) {
    proposed.push_back(path);
    if (answer.empty()) return false;
    path = answer;
    return true;
  }
  std::string answer;
  std::vector<std::string> proposed;
};

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class DefaultVarInfoGridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_.ticks = 100000;
    LastBeepTicks = 0;
    SetPlatform(&platform_);
    dir_ = testing::MakeTempFolder("voq_dvi");
    for (const char* name : {"T", "t_in", "Tout", "@T_local", "x", "X2", "s$"}) AddVariable(name);
    grid_.FormActivate();
  }
  void TearDown() override {
    RestoreInstalledHost();
    fs::remove_all(dir_);
  }
  TVariableRecord* Var(const std::string& name) {
    for (int32_t i = 1; i <= CurrentProgramUnit->VariableCount; ++i)
      if (CurrentProgramUnit->Variable(i)->Name == name) return CurrentProgramUnit->Variable(i);
    ADD_FAILURE() << name;
    static TVariableRecord none;
    return &none;
  }

  ScriptedPlatform platform_;
  std::string dir_;
  TDefaultVarInfoGrid grid_;
  Recorder recorder_;
};

TEST_F(DefaultVarInfoGridTest, CellsShowTheRecordOfTheirLetter) {
  LetterDefaults[0] = {1.5L, 0, 100, 1, 2, "kg"};
  LetterDefaults[7].Style = 2;
  const struct {
    int row, column;
    const char* text;
  } cases[] = {
      {0, kLetterColumn, "A"}, {25, kLetterColumn, "Z"},       {0, kGuessColumn, "1.50"},
      {0, kLowerColumn, "0.0000E+00"}, {0, kUpperColumn, "1.0000E+02"}, {0, kStyleColumn, "F"},
      {0, kDigitsColumn, "2"}, {0, kUnitsColumn, "kg"},          {7, kStyleColumn, "H"},
      {1, kStyleColumn, "A"},  {1, kUpperColumn, "infinity"},
  };
  for (const auto& c : cases) EXPECT_EQ(grid_.CellText(c.row, c.column), c.text) << c.row << "," << c.column;
  EXPECT_TRUE(grid_.DigitsGrey(1));
  EXPECT_FALSE(grid_.DigitsGrey(0));
  for (int column : {kLetterColumn, kStyleColumn, kDigitsColumn})
    EXPECT_FALSE(TDefaultVarInfoGrid::Selectable(column)) << column;
}

// A new lower limit for T reaches T, t_in and Tout, not "@T_local" (a
// module's local) nor the other letters, and only the lower limit changes.
TEST_F(DefaultVarInfoGridTest, ApplyPushesAChangedDefaultIntoTheLettersVariablesOnly) {
  for (const char* name : {"T", "t_in", "Tout", "@T_local", "x"}) {
    Var(name)->LowerLimit = -5;
    Var(name)->UpperLimit = 5;
    Var(name)->Guess = 2;
  }
  ASSERT_TRUE(grid_.SetEditText(19, kLowerColumn, "0"));
  ASSERT_TRUE(grid_.Accept(recorder_));
  for (const char* name : {"T", "t_in", "Tout"}) {
    EXPECT_EQ(Var(name)->LowerLimit, 0) << name;
    EXPECT_EQ(Var(name)->UpperLimit, 5) << name;
    EXPECT_EQ(Var(name)->Guess, 2) << name;
  }
  EXPECT_EQ(Var("@T_local")->LowerLimit, -5);
  EXPECT_EQ(Var("x")->LowerLimit, -5);
  EXPECT_FALSE(DocumentUnchanged);
  EXPECT_EQ(recorder_.lines, (std::vector<std::string>{"DEFVARINFO T  LOWER=0"}));
}

// One line per changed letter, the parts in the order guess, lower, upper,
// display, units; an unchanged letter records nothing.
TEST_F(DefaultVarInfoGridTest, MacroLinesNameWhatChanged) {
  struct Case {
    void (*change)(TDefaultVarInfoGrid&);
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {[](TDefaultVarInfoGrid&) {}, {}},
      {[](TDefaultVarInfoGrid& g) { g.SetEditText(0, kLowerColumn, "0"); }, {"DEFVARINFO A  LOWER=0"}},
      {[](TDefaultVarInfoGrid& g) { g.SetStyle(7, 2); }, {"DEFVARINFO H   DISPLAY=H0"}},
      {[](TDefaultVarInfoGrid& g) {
         g.SetStyle(1, 1);
         g.SetDigits(1, 3);
       },
       {"DEFVARINFO B   DISPLAY=F3"}},
      {[](TDefaultVarInfoGrid& g) { g.SetStyle(2, 0); }, {"DEFVARINFO C   DISPLAY=E4"}},
      {[](TDefaultVarInfoGrid& g) { g.SetDigits(3, 6); }, {"DEFVARINFO D   DISPLAY=A6"}},
      {[](TDefaultVarInfoGrid& g) {
         g.SetEditText(25, kUnitsColumn, "kPa");
         g.SetEditText(25, kUpperColumn, "1E7");
         g.SetEditText(25, kGuessColumn, "101.325");
         g.SetEditText(4, kGuessColumn, "2");
       },
       {"DEFVARINFO E  GUESS=2", "DEFVARINFO Z  GUESS=101.3  UPPER=1.000E+07  UNITS='kPa'"}},
      // Typing the value a default already has changes nothing.
      {[](TDefaultVarInfoGrid& g) { g.SetEditText(5, kGuessColumn, "1"); }, {}},
  };
  for (const Case& c : cases) {
    recorder_.lines.clear();
    grid_.Cancel();
    grid_.FormActivate();
    c.change(grid_);
    ASSERT_TRUE(grid_.Accept(recorder_));
    EXPECT_EQ(recorder_.lines, c.lines);
  }
  // Not recording: no lines.
  recorder_.lines.clear();
  recorder_.recording = false;
  grid_.SetEditText(0, kGuessColumn, "9");
  ASSERT_TRUE(grid_.Accept(recorder_));
  EXPECT_TRUE(recorder_.lines.empty());
}

// Hidden is no display style of a variable: the variables of the letter
// take the automatic style under the hidden highlight, as new ones do, and
// show again when the letter leaves Hidden. A string variable keeps its
// string style and guess.
TEST_F(DefaultVarInfoGridTest, HiddenHidesTheLettersVariablesAndStringsKeepTheirStyle) {
  grid_.SetStyle(23, 2);
  grid_.SetStyle(18, 1);
  grid_.SetEditText(18, kGuessColumn, "5");
  ASSERT_TRUE(grid_.Accept(recorder_));
  EXPECT_EQ(Var("x")->Style, 3);
  EXPECT_EQ(Var("x")->DisplayCode, 0);
  EXPECT_EQ(Var("X2")->DisplayCode, 0);
  EXPECT_EQ(Var("s$")->Style, 4);
  EXPECT_EQ(Var("s$")->Guess, 1);
  grid_.SetStyle(23, 1);
  ASSERT_TRUE(grid_.Accept(recorder_));
  EXPECT_EQ(Var("x")->Style, 1);
  EXPECT_EQ(Var("x")->DisplayCode, 1);
}

// "abc" in a guess cell: nothing stored, the cell pending; OK and Store both
// refuse with a beep, and Store writes nothing.
TEST_F(DefaultVarInfoGridTest, AnUnreadableNumberStopsOkAndStore) {
  grid_.SetEditText(19, kLowerColumn, "0");
  Var("T")->LowerLimit = -5;
  const Extended guess = LetterDefaults[0].Guess;
  EXPECT_FALSE(grid_.SetEditText(0, kGuessColumn, "abc"));
  EXPECT_EQ(LetterDefaults[0].Guess, guess);
  ASSERT_TRUE(grid_.HasPendingCell());
  EXPECT_EQ(grid_.PendingRow(), 0);
  EXPECT_EQ(grid_.PendingColumn(), kGuessColumn);

  EXPECT_FALSE(grid_.Accept(recorder_));
  EXPECT_EQ(platform_.beeps, 1);
  EXPECT_EQ(Var("T")->LowerLimit, -5);
  ScriptedChooser chooser;
  chooser.answer = dir_ + "/refused.dvi";
  LastBeepTicks = 0;
  EXPECT_EQ(grid_.Store(recorder_, chooser), TDefaultVarInfoGrid::StoreResult::Refused);
  EXPECT_EQ(platform_.beeps, 2);
  EXPECT_TRUE(chooser.proposed.empty());
  EXPECT_FALSE(fs::exists(dir_ + "/refused.dvi"));
  EXPECT_EQ(Var("T")->LowerLimit, -5);
  EXPECT_TRUE(recorder_.lines.empty());

  // A number typed into the cell clears it.
  EXPECT_TRUE(grid_.SetEditText(0, kGuessColumn, "2.5E1"));
  EXPECT_FALSE(grid_.HasPendingCell());
  EXPECT_EQ(LetterDefaults[0].Guess, 25);
}

TEST_F(DefaultVarInfoGridTest, CancelPutsTheOpeningDefaultsBack) {
  const auto opening = LetterDefaults;
  grid_.SetEditText(2, kUpperColumn, "7");
  grid_.SetEditText(2, kUnitsColumn, std::string(40, 'm'));
  EXPECT_EQ(LetterDefaults[2].Units, std::string(30, 'm'));
  grid_.SetStyle(2, 0);
  grid_.Cancel();
  for (size_t r = 0; r < 26; ++r) {
    EXPECT_EQ(LetterDefaults[r].UpperLimit, opening[r].UpperLimit) << r;
    EXPECT_EQ(LetterDefaults[r].Units, opening[r].Units) << r;
    EXPECT_EQ(LetterDefaults[r].Style, opening[r].Style) << r;
  }
}

// Store writes the 1,675-byte file (byte 5, "DVI_1", five zero bytes, the
// 26 records), keeps its name and pushes the changes; Load reads it back.
TEST_F(DefaultVarInfoGridTest, StoreWritesTheFileLoadReadsItBack) {
  DviFileName = dir_ + "/VOQ_DFLT.DVI";
  grid_.SetEditText(19, kLowerColumn, "0");
  grid_.SetEditText(19, kUnitsColumn, "K");
  grid_.SetStyle(15, 1);
  grid_.SetDigits(15, 2);
  const auto stored = LetterDefaults;
  ScriptedChooser chooser;
  chooser.answer = dir_ + "/mine.dvi";
  ASSERT_EQ(grid_.Store(recorder_, chooser), TDefaultVarInfoGrid::StoreResult::Written);
  EXPECT_EQ(chooser.proposed, (std::vector<std::string>{dir_ + "/VOQ_DFLT.DVI"}));
  EXPECT_EQ(DviFileName, dir_ + "/mine.dvi");
  EXPECT_EQ(Var("T")->LowerLimit, 0);
  EXPECT_EQ(Var("T")->Units, "K");
  EXPECT_EQ(recorder_.lines, (std::vector<std::string>{"DEFVARINFO P   DISPLAY=F2", "DEFVARINFO T  LOWER=0  UNITS='K'"}));
  const std::vector<uint8_t> bytes = ReadBytes(dir_ + "/mine.dvi");
  ASSERT_EQ(bytes.size(), 1675u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 11), std::string("\x05" "DVI_1\0\0\0\0\0", 11));
  // Record T (row 19) at 11 + 19 * 64: its units "K" at offset 33 of the record.
  EXPECT_EQ(bytes[11 + 19 * 64 + 33], 1);
  EXPECT_EQ(bytes[11 + 19 * 64 + 34], 'K');

  // Load into other rows brings the stored ones back.
  LetterDefaults = {};
  TDefaultVarInfoGrid again;
  again.FormActivate();
  ScriptedChooser open;
  open.answer = dir_ + "/mine.dvi";
  ASSERT_TRUE(again.Load(open));
  EXPECT_EQ(open.proposed, (std::vector<std::string>{dir_ + "/mine.dvi"}));
  for (size_t r = 0; r < 26; ++r)
    for (int column = 0; column < kDviGridColumns; ++column)
      EXPECT_EQ(again.CellText(int(r), column), TDefaultVarInfoGrid().CellText(int(r), column));
  EXPECT_EQ(LetterDefaults[19].LowerLimit, stored[19].LowerLimit);
  EXPECT_EQ(LetterDefaults[19].Units, "K");
  EXPECT_EQ(LetterDefaults[15].Style, 1);
  EXPECT_EQ(LetterDefaults[15].Digits, 2);
  // Load changes only the defaults; Cancel takes them back.
  again.Cancel();
  EXPECT_EQ(LetterDefaults[19].Units, "");
}

TEST_F(DefaultVarInfoGridTest, FilesThatCannotBeWrittenOrReadWholeAreReported) {
  const auto opening = LetterDefaults;
  // A short file: reported (read past the end), no row changed.
  const std::string shortFile = dir_ + "/short.dvi";
  std::vector<uint8_t> bytes = PackDviFile(opening);
  bytes.resize(100);
  bytes[11 + 30] = 1;  // A's style would become "F"
  std::ofstream(shortFile, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), 100);
  ScriptedChooser chooser;
  chooser.answer = shortFile;
  EXPECT_FALSE(grid_.Load(chooser));
  ASSERT_EQ(platform_.alerts.size(), 1u);
  EXPECT_EQ(LetterDefaults[0].Style, opening[0].Style);
  // A missing file likewise.
  chooser.answer = dir_ + "/missing.dvi";
  EXPECT_FALSE(grid_.Load(chooser));
  EXPECT_EQ(platform_.alerts.size(), 2u);
  // A cancelled Load and a cancelled Store change nothing.
  chooser.answer.clear();
  EXPECT_FALSE(grid_.Load(chooser));
  grid_.SetEditText(0, kGuessColumn, "3");
  EXPECT_EQ(grid_.Store(recorder_, chooser), TDefaultVarInfoGrid::StoreResult::Cancelled);
  EXPECT_TRUE(recorder_.lines.empty());
  // A folder that does not exist: reported, and Store reports failure.
  chooser.answer = dir_ + "/no/such/folder/x.dvi";
  EXPECT_EQ(grid_.Store(recorder_, chooser), TDefaultVarInfoGrid::StoreResult::Failed);
  EXPECT_EQ(platform_.alerts.size(), 3u);
}

}  // namespace
}  // namespace voq

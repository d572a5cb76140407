#include "units/constant_dialogs.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/program_flags.h"
#include "model/document_settings.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"

namespace voq {
namespace {

std::vector<std::string> Column(const TConstantDlgModel& model, int column) {
  std::vector<std::string> texts;
  for (int32_t row = 1; row < model.RowCount(); ++row) texts.push_back(model.CellText(column, row));
  return texts;
}

class ConstantDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetPlatform(&platform_);
    SetEquationsEditor(&editor_);
    // Three constants whose orders by name, description and value differ.
    ConstantsList.clear();
    for (const auto& [name, description, si, english] :
         {std::tuple{"b#", "Beta", 3.0L, 30.0L}, std::tuple{"c#", "Alpha", 2.0L, 10.0L},
          std::tuple{"a#", "Gamma", 1.0L, 20.0L}}) {
      TConstantRecord c;
      c.Name = name;
      c.Description = description;
      c.SIValue = si;
      c.EnglishValue = english;
      c.SIValueText = std::to_string(static_cast<int>(si));
      c.EnglishValueText = std::to_string(static_cast<int>(english));
      c.SIUnits = "m";
      c.EnglishUnits = "ft";
      ConstantsList.push_back(c);
    }
    SortConstants(1, 1);
    folder_ = std::filesystem::temp_directory_path() / ("voq_constdlg_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder_);
    savedDirectory_ = ProgramDirectory;
    ProgramDirectory = folder_.string();
  }
  void TearDown() override {
    ProgramDirectory = savedDirectory_;
    std::filesystem::remove_all(folder_);
    RestoreInstalledHost();
  }
  ScriptedPlatform platform_;
  InMemoryEquationsEditor editor_;
  std::filesystem::path folder_;
  std::string savedDirectory_;
};

TEST_F(ConstantDlgTest, HeaderClicksSortAndReverse) {
  TConstantDlgModel model;
  EXPECT_EQ(model.CellText(0, 0), "Name");
  EXPECT_EQ(model.CellText(3, 0), "Units");
  EXPECT_EQ(Column(model, 1), (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
  const struct {
    int column;
    int32_t row;
    std::vector<std::string> names;
    int direction;
  } clicks[] = {
      {1, 0, {"a#", "b#", "c#"}, -1},  // the column sorted at opening: reversed
      {2, 0, {"a#", "c#", "b#"}, 1},   // by value, ascending
      {2, 0, {"b#", "c#", "a#"}, -1},  // again: descending
      {2, 2, {"b#", "c#", "a#"}, -1},  // a click below the header sorts nothing
      {0, 0, {"a#", "b#", "c#"}, 1},
  };
  for (const auto& click : clicks) {
    SCOPED_TRACE(click.column);
    EXPECT_EQ(model.GridMouseDown(click.column, click.row), click.row == 0);
    EXPECT_EQ(Column(model, 0), click.names);
    EXPECT_EQ(model.SortDirection, click.direction);
  }
  // Value sorting follows the unit system: in English units c# (10) is least.
  DocumentSettings.UnitSystem = 1;
  model.GridMouseDown(2, 0);
  EXPECT_EQ(Column(model, 0), (std::vector<std::string>{"c#", "a#", "b#"}));
  EXPECT_EQ(Column(model, 2), (std::vector<std::string>{"10", "20", "30"}));
  EXPECT_EQ(Column(model, 3), (std::vector<std::string>{"ft", "ft", "ft"}));
}

TEST_F(ConstantDlgTest, NameCellCarriesItsHashMark) {
  ConstantsList[0].Name = "plain";
  TConstantDlgModel model;
  EXPECT_EQ(model.CellText(0, 1), "plain#");
  EXPECT_EQ(model.CellText(0, 4), "");
}

TEST_F(ConstantDlgTest, PasteInsertsTheNameAtTheCaret) {
  editor_.SetText("x = ");
  editor_.SetCaret(4);
  TConstantDlgModel model;
  EXPECT_FALSE(model.PasteBtnClick(0));
  EXPECT_TRUE(model.PasteBtnClick(2));  // Beta
  EXPECT_EQ(editor_.GetText(), "x = b#");
  EXPECT_EQ(platform_.clipboard, "b#");
}

TEST_F(ConstantDlgTest, CancelAfterAddRestoresAndStoreRewritesTheFile) {
  TConstantRecord added;
  added.Name = "z#";
  added.Description = "Zeta";
  added.SIValueText = "4";
  added.SIValue = 4;
  added.EnglishValueText = "40";
  added.EnglishValue = 40;
  added.SIUnits = "m";
  added.EnglishUnits = "ft";
  {
    TConstantDlgModel model;
    EXPECT_EQ(model.CancelCaption(), "Done");
    model.GridMouseDown(0, 0);
    model.AddConstant(added);
    EXPECT_EQ(model.RowCount(), 5);
    EXPECT_TRUE(model.StoreVisible());
    EXPECT_FALSE(model.PasteVisible());
    EXPECT_EQ(model.CancelCaption(), "Cancel");
    model.CancelBtnClick();
    EXPECT_EQ(FindConstantPosition("z#"), -1);
    EXPECT_EQ(ConstantsList[0].Description, "Alpha");
  }
  TConstantDlgModel model;
  model.GridMouseDown(1, 0);  // descending by description
  model.AddConstant(added);
  ASSERT_TRUE(model.StoreBtnClick());
  EXPECT_EQ(FindConstantPosition("z#"), 3);
  std::ifstream in(folder_ / "Constants.txt", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(),
            std::string(kConstantsFileHeader) +
                "\r\na#\tGamma\t1\tm\t20\tft\r\nb#\tBeta\t3\tm\t30\tft\r\nc#\tAlpha\t2\tm\t10\tft\r\n"
                "z#\tZeta\t4\tm\t40\tft\r\n");
  // The file reads back, sorted by description again.
  ASSERT_EQ(LoadConstantsFrom((folder_ / "Constants.txt").string()), 0);
  EXPECT_EQ(ConstantsList.size(), 4u);
  EXPECT_EQ(ConstantsList[3].Name, "z#");
  EXPECT_FALSE(std::filesystem::exists(folder_ / "Constants.txt.new"));
}

TEST_F(ConstantDlgTest, AFailedWriteIsReportedAndKeepsTheOldFile) {
  ProgramDirectory = (folder_ / "missing").string();
  TConstantDlgModel model;
  EXPECT_FALSE(model.StoreBtnClick());
  ASSERT_EQ(platform_.alerts.size(), 1u);
  EXPECT_EQ(ConstantsList.size(), 3u);
}

// --- Add New Constant ---

// English values by the exact definition ft = 0.3048 m (NIST SP 811, B.8):
// 9.80665 m/s^2 = 32.17405 ft/s^2; 1 m = 3.280840 ft.
TEST(NewConstDlgModel, ConvertIsOfferedForOneValueAndFillsTheOther) {
  ScriptedPlatform platform;
  ScopedPlatform scoped(platform);
  TNewConstDlgModel model;
  model.FormActivate();
  const struct {
    const char* si;
    const char* english;
    bool enabled;
  } states[] = {{"", "", false}, {"9.80665", "", true}, {"  ", "2", true}, {"1", "2", false}};
  for (const auto& s : states) {
    model.SIValueE = s.si;
    model.EngValueE = s.english;
    model.ValueChanged();
    EXPECT_EQ(model.ConvertEnabled, s.enabled) << s.si << "|" << s.english;
  }
  model.SIValueE = "9.80665";
  model.EngValueE = "";
  model.SIUnitsE = "m/s^2";
  model.EngUnitsE = "ft/s^2";
  ASSERT_TRUE(model.ConvertBtnClick());
  EXPECT_EQ(model.EngValueE, "3.217405E+01");
  EXPECT_EQ(model.SIValueE, "9.80665");
  EXPECT_FALSE(model.ConvertEnabled);
  // From the English side.
  model.SIValueE = "";
  model.EngValueE = "3.280840";
  model.SIUnitsE = "m";
  model.EngUnitsE = "ft";
  ASSERT_TRUE(model.ConvertBtnClick());
  EXPECT_EQ(model.SIValueE, "1.000000E+00");
  EXPECT_TRUE(platform.alerts.empty());
  EXPECT_EQ(CalcErrorCode, 0);
}

TEST(NewConstDlgModel, RefusalsNameTheirMessageAndField) {
  const struct {
    const char* name;
    const char* si;
    const char* siUnits;
    const char* english;
    const char* englishUnits;
    std::string message;  // "" none shown, "*" one whose text is the conversion's
    TNewConstField field;
  } cases[] = {
      {"w", "1", "m", "", "ft", "Constant names must begin with a letter and end with the # character.",
       TNewConstField::Name},
      {"1w#", "1", "m", "", "ft", "Constant names must begin with a letter and end with the # character.",
       TNewConstField::Name},
      {"G#", "1", "m", "", "ft", "This constant name is already in use.  Choose another.", TNewConstField::Name},
      {"w#", "1.2.3", "m", "", "ft", "Error encountered in interpreting 1.2.3.  Check for illegal characters.",
       TNewConstField::SIValue},
      {"w#", "1", "m", "x", "ft", "Error encountered in interpreting x.  Check for illegal characters.",
       TNewConstField::EngValue},
      {"w#", "1", "m", "", "", "Please enter the English units.", TNewConstField::EngUnits},
      {"w#", "1", "", "", "ft", "Please enter the SI units.", TNewConstField::SIUnits},
      {"w#", "1", "m", "", "kg", "*", TNewConstField::SIUnits},  // the units differ in dimension
      {"  w#", "1", "m", "3.2808", "ft", "", TNewConstField::None},  // within 0.1 %
      {"", "1", "m", "", "ft", "", TNewConstField::Name},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + c.si);
    ScriptedPlatform platform;
    ScopedPlatform scoped(platform);
    TNewConstDlgModel model;
    model.NameE = c.name;
    model.SIValueE = c.si;
    model.SIUnitsE = c.siUnits;
    model.EngValueE = c.english;
    model.EngUnitsE = c.englishUnits;
    const bool closes = model.OKBtnClick();
    EXPECT_EQ(closes, c.field == TNewConstField::None);
    EXPECT_EQ(model.FocusField, c.field);
    EXPECT_EQ(CalcErrorCode, 0);
    ASSERT_EQ(platform.alerts.size(), c.message.empty() ? 0u : 1u);
    if (!c.message.empty()) {
      if (c.message != "*") {
        EXPECT_EQ(platform.alerts[0].text, c.message);
      }
      EXPECT_EQ(platform.alerts[0].kind, kAlertWarningOk);
    }
    if (closes) {
      EXPECT_EQ(model.NewRecord.Name, "w#");
      EXPECT_EQ(model.NewRecord.EnglishValueText, "3.2808");
    }
  }
}

TEST(NewConstDlgModel, InconsistentValuesAreKeptOnlyWhenTheUserAccepts) {
  for (int answer : {kResultNo, kResultYes}) {
    ScriptedPlatform platform;
    ScopedPlatform scoped(platform);
    platform.alertAnswers.push_back(answer);
    TNewConstDlgModel model;
    model.NameE = "w#";
    model.SIValueE = "1";
    model.SIUnitsE = "m";
    model.EngValueE = "1";  // 1 ft is 0.3048 m, not 1 m
    model.EngUnitsE = "ft";
    EXPECT_EQ(model.OKBtnClick(), answer == kResultYes);
    ASSERT_EQ(platform.alerts.size(), 1u);
    EXPECT_EQ(platform.alerts[0].kind, kAlertInfoYesNo);
    EXPECT_EQ(platform.alerts[0].text.rfind("The numerical values for SI and English units are inconsistent.", 0), 0u);
    EXPECT_EQ(CalcErrorCode, 0);
  }
}

TEST(NewConstDlgModel, AConstantNeedsAValueAndItsFieldsStayReadable) {
  ScriptedPlatform platform;
  ScopedPlatform scoped(platform);
  TNewConstDlgModel model;
  model.NameE = "w#";
  model.SIUnitsE = "m";
  model.EngUnitsE = "ft";
  EXPECT_FALSE(model.OKBtnClick());
  EXPECT_EQ(model.FocusField, TNewConstField::SIValue);
  EXPECT_EQ(platform.beeps, 1);
  // A tab would split the field when the file is read again; a name too
  // long for the list keeps its final "#".
  model.SIValueE = "2";
  model.DescriptE = "two\tparts";
  model.NameE = std::string(40, 'w') + "#";
  ASSERT_TRUE(model.OKBtnClick());
  EXPECT_EQ(model.NewRecord.Description, "two parts");
  EXPECT_EQ(model.NewRecord.Name, std::string(29, 'w') + "#");
}

}  // namespace
}  // namespace voq

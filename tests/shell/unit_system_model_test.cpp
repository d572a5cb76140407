#include "shell/unit_system_model.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/program_flags.h"
#include "language/store_fixture.h"
#include "model/document_settings.h"
#include "model/program_units.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "session/program_start.h"
#include "shell/calculate_commands.h"
#include "tables/tables_state.h"
#include "units/constant_dialogs.h"
#include "unit_dialog_fakes.h"

namespace voq {
namespace {

// --- The unit system model, headless ---

class UnitSysModelTest : public ::testing::Test {
 protected:
  ScriptedPlatform platform;
  ScopedPlatform scoped{platform};
  testing::UnitsFakeWindows windows;
  testing::UnitsMacroRecorder recorder;
  TUnitSysModel model{windows, recorder};
  bool Checked(TUnitSysButton b) const { return model.Buttons[b].Checked; }
};

TEST_F(UnitSysModelTest, EnglishRelabelsAndMapsEachSIPressure) {
  const struct {
    uint8_t siPressure;
    TUnitSysButton englishButton;
    uint8_t englishPressure;
    TUnitSysButton siButtonAfter;
  } cases[] = {{3, baratmbutton, 1, baratmbutton},  // MPa: atm, back to bar
               {2, kPbutton, 0, kPbutton},          // Pa: psia, back to kPa
               {1, baratmbutton, 1, baratmbutton},
               {0, kPbutton, 0, kPbutton}};
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.siPressure));
    DocumentSettings = TDocumentSettingsRecord{};
    DocumentSettings.PressureUnit = c.siPressure;
    TUnitSysModel dialog(windows, recorder);
    dialog.FormActivate();
    EXPECT_TRUE(dialog.Buttons[SIbutton].Checked);
    EXPECT_EQ(dialog.Buttons[kPbutton].Caption, "kPa");
    dialog.Click(EngButton);
    EXPECT_EQ(DocumentSettings.UnitSystem, 1);
    EXPECT_EQ(DocumentSettings.PressureUnit, c.englishPressure);
    EXPECT_TRUE(dialog.Buttons[c.englishButton].Checked);
    int checkedPressures = 0;
    for (const TUnitSysRadio& r : dialog.Buttons) checkedPressures += r.Group == kPressureGroup && r.Checked;
    EXPECT_EQ(checkedPressures, 1);
    EXPECT_EQ(dialog.Buttons[kPbutton].Caption, "psia");
    EXPECT_EQ(dialog.Buttons[baratmbutton].Caption, "atm");
    EXPECT_EQ(dialog.Buttons[CFbutton].Caption, "Fahrenheit");
    EXPECT_EQ(dialog.Buttons[KRbutton].Caption, "Rankine");
    EXPECT_EQ(std::pair(dialog.Buttons[kPbutton].Left, dialog.Buttons[kPbutton].Top), std::pair(10, 16));
    EXPECT_EQ(std::pair(dialog.Buttons[baratmbutton].Left, dialog.Buttons[baratmbutton].Top), std::pair(10, 34));
    EXPECT_FALSE(dialog.Buttons[PaButton].Visible);
    EXPECT_FALSE(dialog.Buttons[MPaButton].Visible);
    EXPECT_FALSE(dialog.EnergyBoxVisible);
    dialog.Click(SIbutton);
    EXPECT_EQ(DocumentSettings.PressureUnit, c.englishPressure);
    EXPECT_TRUE(dialog.Buttons[c.siButtonAfter].Checked);
    EXPECT_EQ(dialog.Buttons[kPbutton].Caption, "kPa");
    EXPECT_EQ(dialog.Buttons[baratmbutton].Caption, "bar");
    EXPECT_EQ(std::pair(dialog.Buttons[kPbutton].Left, dialog.Buttons[kPbutton].Top), std::pair(10, 34));
    EXPECT_EQ(std::pair(dialog.Buttons[baratmbutton].Left, dialog.Buttons[baratmbutton].Top), std::pair(66, 16));
    EXPECT_TRUE(dialog.Buttons[PaButton].Visible);
    EXPECT_TRUE(dialog.EnergyBoxVisible);
    EXPECT_EQ(dialog.Buttons[CFbutton].Caption, "Celsius");
  }
}

TEST_F(UnitSysModelTest, OpeningShowsTheSettingsAndKeepsTheirPressure) {
  DocumentSettings.UnitSystem = 0;
  DocumentSettings.PressureUnit = 3;
  DocumentSettings.EnergyUnit = 0;
  DocumentSettings.MolarBasis = 1;
  DocumentSettings.AbsoluteTemperature = 1;
  SetAngleUnit(DocumentSettings, 1);
  const std::vector<uint8_t> before = testing::Packed(DocumentSettings);
  model.FormActivate();
  for (TUnitSysButton b : {SIbutton, MPaButton, JButton, MolarButton, KRbutton, Radiansbutton}) {
    EXPECT_TRUE(Checked(b)) << b;
  }
  for (TUnitSysButton b : {EngButton, kPbutton, baratmbutton, PaButton, kJButton, MassButton, CFbutton, DegButton}) {
    EXPECT_FALSE(Checked(b)) << b;
  }
  EXPECT_EQ(testing::Packed(DocumentSettings), before);
  EXPECT_EQ(model.Buttons[KRbutton].Caption, "Kelvin");

  DocumentSettings = TDocumentSettingsRecord{};
  DocumentSettings.UnitSystem = 1;
  DocumentSettings.PressureUnit = 1;
  TUnitSysModel english(windows, recorder);
  english.FormActivate();
  EXPECT_TRUE(english.Buttons[EngButton].Checked);
  EXPECT_TRUE(english.Buttons[baratmbutton].Checked);
  EXPECT_EQ(english.Buttons[baratmbutton].Caption, "atm");
  EXPECT_EQ(english.Buttons[CFbutton].Caption, "Fahrenheit");
  EXPECT_FALSE(english.EnergyBoxVisible);
  EXPECT_EQ(DocumentSettings.PressureUnit, 1);
}

TEST_F(UnitSysModelTest, CancelRestoresEveryFieldBitForBit) {
  for (uint8_t angle : {uint8_t(0), uint8_t(1)}) {
    DocumentSettings = TDocumentSettingsRecord{};
    DocumentSettings.PressureUnit = 2;
    DocumentSettings.Reserved[3] = 0x5A;
    SetAngleUnit(DocumentSettings, angle);
    const std::vector<uint8_t> before = testing::Packed(DocumentSettings);
    const TDocumentSettingsRecord copy = DocumentSettings;
    TUnitSysModel dialog(windows, recorder);
    dialog.FormActivate();
    for (TUnitSysButton b : {Radiansbutton, DegButton, angle == 0 ? Radiansbutton : DegButton, MolarButton, KRbutton,
                             MPaButton, kJButton, EngButton, baratmbutton}) {
      dialog.Click(b);
    }
    EXPECT_NE(testing::Packed(DocumentSettings), before);
    dialog.CancelBtnClick();
    EXPECT_EQ(testing::Packed(DocumentSettings), before);
    EXPECT_EQ(std::memcmp(&DocumentSettings.AngleFactor, &copy.AngleFactor, 10), 0);
    EXPECT_EQ(DocumentSettings.AngleFactor, angle == 0 ? kDegreeAngleFactor : 1.0L);
    EXPECT_EQ(DocumentSettings.Reserved, copy.Reserved);
  }
  // The angle buttons set the factor with the unit: pi/180 to 9 digits.
  model.FormActivate();
  model.Click(Radiansbutton);
  EXPECT_EQ(DocumentSettings.AngleFactor, 1.0L);
  model.Click(DegButton);
  EXPECT_EQ(DocumentSettings.AngleFactor, 0.017453293L);
}

TEST_F(UnitSysModelTest, OKRecordsItsMacroLineAndForcesKilojoulesInEnglish) {
  const struct {
    std::vector<TUnitSysButton> clicks;
    const char* line;
    uint8_t energy;
  } cases[] = {
      {{SIbutton, CFbutton, kPbutton, MassButton, DegButton, kJButton}, "UNITS C kPa MASS DEG KJ ", 1},
      {{SIbutton, KRbutton, PaButton, MolarButton, Radiansbutton, JButton}, "UNITS K Pa MOLAR RAD J ", 0},
      {{SIbutton, CFbutton, MPaButton, MassButton, DegButton, kJButton}, "UNITS C MPa MASS DEG KJ ", 1},
      {{SIbutton, JButton, EngButton, CFbutton, kPbutton, MassButton, DegButton}, "UNITS F psia MASS DEG ", 1},
      {{SIbutton, JButton, EngButton, KRbutton, baratmbutton, MolarButton, Radiansbutton},
       "UNITS R atm MOLAR RAD ", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    DocumentSettings = TDocumentSettingsRecord{};
    recorder.lines.clear();
    TUnitSysModel dialog(windows, recorder);
    dialog.FormActivate();
    for (TUnitSysButton b : c.clicks) dialog.Click(b);
    dialog.OKBtnClick();
    EXPECT_EQ(recorder.lines, std::vector<std::string>{c.line});
    EXPECT_EQ(DocumentSettings.EnergyUnit, c.energy);
  }
  recorder.recording = false;
  recorder.lines.clear();
  model.FormActivate();
  model.OKBtnClick();
  EXPECT_TRUE(recorder.lines.empty());
}

class UnitSysSolveTest : public testing::LanguageStoreTest {
 protected:
  void SetUp() override { SetEquationsEditor(&editor); }
  void TearDown() override { RestoreInstalledHost(); }
  Extended ValueOf(const std::string& name) {
    CurrentProgramUnit = MainProgramUnit;
    return VarNamed(name)->Value;
  }
  ScriptedPlatform platform;
  ScopedPlatform scoped{platform};
  InMemoryEquationsEditor editor;
  testing::UnitsFakeWindows windows;
  testing::UnitsMacroRecorder recorder;
  bool calculating = false;
  TCalculateCommands commands{windows, recorder, calculating};
};

TEST_F(UnitSysSolveTest, OKDiscardsWhatWasComputedUnderTheOldUnits) {
  // sin(30 degrees) = 1/2 (to 1E-7: a degree is 0.017453293 radians);
  // sin(30 radians) = -0.98803162409286 (30 - 10 pi = -1.4159265).
  editor.SetText("x = sin(30)");
  commands.Solve1Click();
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_NEAR(double(ValueOf("x")), 0.5, 1e-7);
  ASSERT_TRUE(EquationsCompiled);
  ASSERT_NE(MainProgramUnit->FirstEquation, nullptr);
  PropertyPlotChoice = 4;
  DocumentUnchanged = true;
  const int32_t clears = CompiledEquationsClears;
  windows.closed.clear();
  TUnitSysModel dialog(windows, recorder);
  dialog.FormActivate();
  dialog.Click(Radiansbutton);
  dialog.OKBtnClick();
  EXPECT_FALSE(EquationsCompiled);
  EXPECT_FALSE(SolutionAvailable);
  EXPECT_FALSE(DocumentUnchanged);
  EXPECT_EQ(PropertyPlotChoice, -1);
  EXPECT_EQ(CompiledEquationsClears, clears + 1);
  EXPECT_EQ(MainProgramUnit->FirstEquation, nullptr);
  EXPECT_EQ(windows.closed, std::vector<int>{kFormattedEquationsWindow});
  EXPECT_EQ(windows.invalidated, 1);
  commands.Solve1Click();
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_NEAR(double(ValueOf("x")), -0.98803162409286, 1e-9);
}

TEST_F(UnitSysSolveTest, StoreMakesTheSettingsTheDefaults) {
  testing::TempProgramFolder folder;
  DefaultsWritable = 0;
  EXPECT_FALSE(TUnitSysModel(windows, recorder).StoreVisible());
  DefaultsWritable = 1;
  TUnitSysModel dialog(windows, recorder);
  EXPECT_TRUE(dialog.StoreVisible());
  dialog.FormActivate();
  dialog.Click(EngButton);
  ASSERT_TRUE(dialog.StoreClick());
  EXPECT_EQ(StoredDocumentSettings.UnitSystem, 1);
  EXPECT_EQ(testing::Packed(StoredDocumentSettings), testing::Packed(DocumentSettings));
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(folder.Path()) / "VOQ.DFT"));
  EXPECT_EQ(recorder.lines.size(), 1u);
}

// --- Constants: compiled code refers to a constant by its place ---

TEST_F(UnitSysSolveTest, ConstantsInANewOrderAreCompiledAgain) {
  testing::TempProgramFolder folder;
  for (int close = 0; close < 2; ++close) {
    SCOPED_TRACE(close == 0 ? "Store" : "Paste");
    SortConstants(1, 1);
    ClearCompiledEquations();
    EquationsCompiled = false;
    editor.SetText("x = g#\r\n");
    commands.Solve1Click();
    ASSERT_EQ(CalcErrorCode, 0);
    // Standard gravity, exact by definition (CGPM 1901; NIST SP 811).
    EXPECT_EQ(ValueOf("x"), 9.80665L);
    const int32_t g = FindConstantPosition("g#");
    {
      TConstantDlgModel dialog;
      dialog.GridMouseDown(0, 0);  // by name
      ASSERT_NE(FindConstantPosition("g#"), g);
      if (close == 0) {
        ASSERT_TRUE(dialog.StoreBtnClick());
      } else {
        editor.SetCaret(static_cast<int32_t>(editor.GetText().size()));
        ASSERT_TRUE(dialog.PasteBtnClick(1));
        editor.SetText("x = g#\r\n");
      }
    }
    EXPECT_FALSE(EquationsCompiled);
    commands.Solve1Click();
    ASSERT_EQ(CalcErrorCode, 0);
    EXPECT_EQ(ValueOf("x"), 9.80665L);
  }
}

TEST_F(UnitSysSolveTest, ConstantsClosedInTheirOrderKeepTheCompiledCode) {
  editor.SetText("x = g#\r\n");
  commands.Solve1Click();
  ASSERT_TRUE(EquationsCompiled);
  const int32_t clears = CompiledEquationsClears;
  testing::TempProgramFolder folder;
  TConstantDlgModel dialog;
  dialog.GridMouseDown(1, 0);
  dialog.GridMouseDown(1, 0);  // descending, then ascending again
  ASSERT_TRUE(dialog.StoreBtnClick());
  EXPECT_EQ(CompiledEquationsClears, clears);
  EXPECT_TRUE(EquationsCompiled);
}

}  // namespace
}  // namespace voq

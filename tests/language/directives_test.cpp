#include "language/directives.h"
#include "language/reader_state.h"

#include <clocale>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "comma_locale.h"
#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/program_flags.h"
#include "language/export_after_run.h"
#include "language/store_fixture.h"
#include "model/document_settings.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "session/compile_driver.h"

namespace voq::testing {
namespace {

class RecordingWindows : public DirectiveWindows {
 public:
  int32_t dpi = 96;
  int fontUpdates = 0;
  int arraysFreed = 0;
  std::vector<bool> sumRows;
  int32_t ScreenPixelsPerInch() override { return dpi; }
  void ApplyEquationFontSettings() override { ++fontUpdates; }
  void FreeArraysWindow() override { ++arraysFreed; }
  void ApplyTableSumRow(bool on) override { sumRows.push_back(on); }
};

class RecordingServices : public DirectiveServices {
 public:
  std::vector<int32_t> privateRoutines;
  void MarkRoutinePrivate(int32_t slot) override { privateRoutines.push_back(slot); }
};

class DirectivesTest : public LanguageStoreTest {
 protected:
  void SetUp() override {
    LanguageStoreTest::SetUp();
    SetDirectiveServices(&services);
    SetDirectiveWindows(&windows);
    DocumentSettings = TDocumentSettingsRecord{};
    Preferences = TPreferencesRecord{};
    ShowWarningMessages = true;
    ExportDirectives.clear();
    IntegralTableDirective.clear();
    MainStatementSeen = false;
    AbortRequested = false;
    CheckOnlyMode = false;
  }
  void TearDown() override {
    SetDirectiveServices(nullptr);
    SetDirectiveWindows(nullptr);
    SetEquationsEditor(nullptr);
    DocumentSettings = TDocumentSettingsRecord{};
    Preferences = TPreferencesRecord{};
    ShowWarningMessages = true;
    ExportDirectives.clear();
    MainStatementSeen = false;
    AbortRequested = false;
    CheckOnlyMode = false;
    SetDecimalSeparator('.');
    LanguageStoreTest::TearDown();
  }

  bool Run(const std::string& statement) {
    std::string text = statement;
    bool handled = false;
    CalcErrorCode = 0;
    ProcessDirective(text, handled);
    return handled;
  }

  ScriptedPlatform platform;
  ScopedPlatform scoped{platform};
  RecordingServices services;
  RecordingWindows windows;
};

TEST_F(DirectivesTest, RecognitionByKeywordPrefix) {
  const struct {
    const char* statement;
    bool handled;
  } cases[] = {
      {"$WARNINGS OFF", true}, {"$warn on", true},     {"$UnitSystem SI", true}, {"$INTEGRALTABLE x", true},
      {"$Local ON", true},     {"$CHECKUNITS ON", true}, {"$SUMROW OFF", true},  {"$ARRAY ON", true},
      {"$INCLUDE a.txt", false}, {"$COMMON x", false},   {"$FOO", false},        {"x = 1", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Run(c.statement), c.handled) << c.statement;
  }
}

TEST_F(DirectivesTest, OnOffOptions) {
  Run("$WARNINGS OFF");
  EXPECT_FALSE(ShowWarningMessages);
  Run("$WARN ON");
  EXPECT_TRUE(ShowWarningMessages);
  // Anything but ON or OFF leaves the option and is no error.
  Run("$WARNINGS YES");
  EXPECT_TRUE(ShowWarningMessages);
  EXPECT_EQ(CalcErrorCode, 0);
  Run("$WARNINGS");
  EXPECT_TRUE(ShowWarningMessages);
  Run("$LOCAL O N");  // blanks inside are removed
  EXPECT_EQ(Preferences.ShowLocalVariables, 1);
  Run("$CHECKUNITS ON");
  EXPECT_EQ(Preferences.CheckUnitsAutomatically, 1);

  Run("$ARRAY ON");
  EXPECT_EQ(Preferences.UseArraysWindow, 1);
  EXPECT_EQ(windows.arraysFreed, 0);
  Run("$ARRAY OFF");
  EXPECT_EQ(Preferences.UseArraysWindow, 0);
  EXPECT_EQ(windows.arraysFreed, 1);

  // The Parametric table hears of the sum row only when it changes.
  Run("$SUMROW ON");
  Run("$SUMROW ON");
  Run("$SUMROW OFF");
  EXPECT_EQ(windows.sumRows, (std::vector<bool>{true, false}));
}

TEST_F(DirectivesTest, UnitSystemWordsApplyLeftToRight) {
  DocumentSettings.UnitSystem = 1;
  DocumentSettings.MolarBasis = 1;
  DocumentSettings.AbsoluteTemperature = 1;
  DocumentSettings.PressureUnit = 1;
  Run("$UNITSYSTEM SI MASS RAD KPA C KJ");
  EXPECT_EQ(DocumentSettings.UnitSystem, 0);
  EXPECT_EQ(DocumentSettings.MolarBasis, 0);
  EXPECT_EQ(DocumentSettings.AngleUnit, 1);
  EXPECT_EQ(DocumentSettings.AngleFactor, 1.0L);
  EXPECT_EQ(DocumentSettings.PressureUnit, 0);
  EXPECT_EQ(DocumentSettings.AbsoluteTemperature, 0);
  EXPECT_EQ(DocumentSettings.EnergyUnit, 1);

  // PA, MPA, J and KJ only count under SI units as they stand at the word.
  Run("$UNITSYSTEM ENG PA J");
  EXPECT_EQ(DocumentSettings.UnitSystem, 1);
  EXPECT_EQ(DocumentSettings.PressureUnit, 0);
  EXPECT_EQ(DocumentSettings.EnergyUnit, 1);
  Run("$UNITSYSTEM MPA SI");
  EXPECT_EQ(DocumentSettings.PressureUnit, 0);
  Run("$UNITSYSTEM SI MPA MOLAR DEGREES K WHATEVER");
  EXPECT_EQ(DocumentSettings.PressureUnit, 3);
  EXPECT_EQ(DocumentSettings.MolarBasis, 1);
  EXPECT_EQ(DocumentSettings.AngleUnit, 0);
  EXPECT_EQ(DocumentSettings.AngleFactor, kDegreeAngleFactor);
  EXPECT_EQ(DocumentSettings.AbsoluteTemperature, 1);
}

// round(1.5 / 2.54 * 96 * 100) = round(5669.29) = 5669, by hand.
TEST_F(DirectivesTest, TabWidthInHundredthsOfAPixel) {
  Run("$TABWIDTH 1.5 CM");
  EXPECT_EQ(Preferences.TabWidth, 5669);
  EXPECT_EQ(windows.fontUpdates, 1);
  Run("$TABWIDTH 1.5CM");  // the same width: the window is left alone
  EXPECT_EQ(windows.fontUpdates, 1);
  Run("$TABWIDTH 0.5 IN");
  EXPECT_EQ(Preferences.TabWidth, 4800);
  SetDecimalSeparator(',');
  Run("$TABWIDTH 1,5 CM");
  EXPECT_EQ(Preferences.TabWidth, 5669);
  SetDecimalSeparator('.');

  // A number that does not read is an alert; the read goes on.
  for (const char* bad : {"$TABWIDTH x CM", "$TABWIDTH 1.5 MM", "$TABWIDTH", "$TABWIDTH 1000 IN"}) {
    platform.alerts.clear();
    EXPECT_TRUE(Run(bad));
    EXPECT_EQ(CalcErrorCode, 0) << bad;
    ASSERT_EQ(platform.alerts.size(), 1u) << bad;
    EXPECT_EQ(platform.alerts[0].text, "Syntax error in the TABWIDTH directive.");
    EXPECT_EQ(platform.alerts[0].kind, kAlertWarningOk);
  }
  EXPECT_EQ(Preferences.TabWidth, 5669);
}

// The GUI runs under the user's locale; a decimal-comma process locale must
// not change how the directive's number reads.
TEST_F(DirectivesTest, TabWidthWhateverTheProcessLocale) {
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  const char* commaLocale = voq::testing::SwitchToCommaLocale();
  if (!commaLocale) GTEST_SKIP() << "no locale with a decimal comma installed";
  Run("$TABWIDTH 1.5 CM");
  std::setlocale(LC_ALL, previous.c_str());
  EXPECT_TRUE(platform.alerts.empty());
  EXPECT_EQ(Preferences.TabWidth, 5669);
}

TEST_F(DirectivesTest, RecordedDirectives) {
  Run("$IntegralTable   t:0.1 x y");
  EXPECT_EQ(IntegralTableDirective, "T:0.1 X Y");
  Run("$Export 'Out.csv' a, b$");
  Run("$EXPORT /a clipboard x");
  Run("$export /tmp/Out.csv a");
  // Outside quotes upper-cased; the file name keeps its case, quoted or not.
  EXPECT_EQ(ExportDirectives,
            (std::vector<std::string>{"'Out.csv' A, B$", "/A clipboard X", "/tmp/Out.csv A"}));
}

TEST_F(DirectivesTest, PrivateMarksTheRoutineOrUnit) {
  Run("$PRIVATE");  // the main program: nothing
  EXPECT_EQ(MainProgramUnit->IsPrivate, 0);
  CompilingFunctionIndex = 4;
  Run("$PRIVATE");
  CompilingFunctionIndex = 0;
  EXPECT_EQ(services.privateRoutines, (std::vector<int32_t>{4}));
  TProgramUnitRecord* module = FindOrCreateModule("Pump");
  CurrentProgramUnit = module;
  ModuleNesting = module->UnitIndex;
  Run("$PRIVATE");
  EXPECT_EQ(module->IsPrivate, 1);
  ModuleNesting = 0;
  CurrentProgramUnit = MainProgramUnit;
}

TEST_F(DirectivesTest, LookupDirectivesAreRefusedUntilAvailable) {
  for (const char* d : {"$SAVELOOKUP 'T1' 'a.csv'", "$OPENLOOKUP 'a.lkt'"}) {
    EXPECT_TRUE(Run(d));
    EXPECT_EQ(CalcErrorCode, 100) << d;
  }
  // The reference-state directive is carried out.
  EXPECT_TRUE(Run("$REFERENCE R134a NBP"));
  EXPECT_EQ(CalcErrorCode, 0);
}

TEST_F(DirectivesTest, ImportFromTheClipboard) {
  platform.clipboard = "1 2\r\n3";
  platform.hasClipboardText = true;
  Run("$IMPORT CLIPBOARD a b c");
  ASSERT_EQ(CalcErrorCode, 0);
  const struct {
    const char* name;
    long double value;
  } expected[] = {{"a", 1}, {"b", 2}, {"c", 3}};
  for (const auto& e : expected) {
    TVariableRecord* v = VarNamed(e.name);
    ASSERT_NE(v, nullptr) << e.name;
    EXPECT_EQ(v->Value, e.value) << e.name;
    EXPECT_EQ(v->UnknownPosition, kDeterminedVariable) << e.name;
  }

  // A string variable takes the token as text; a range takes one value each.
  platform.clipboard = "'hot';4,5;6";
  SetDecimalSeparator(',');  // the argument separator is ";"
  Run("$IMPORT CLIPBOARD s$;X[1..2]");
  SetDecimalSeparator('.');
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(StringConstText(static_cast<int32_t>(VarNamed("s$")->Value)), "hot");
  EXPECT_EQ(VarNamed("X[1]")->Value, 4.5L);
  EXPECT_EQ(VarNamed("X[2]")->Value, 6.0L);
}

TEST_F(DirectivesTest, ImportErrors) {
  platform.hasClipboardText = false;
  Run("$IMPORT CLIPBOARD a");
  EXPECT_EQ(CalcErrorCode, 653);

  platform.clipboard = "1";
  platform.hasClipboardText = true;
  Run("$IMPORT CLIPBOARD a b");
  EXPECT_EQ(CalcErrorCode, 654);
  EXPECT_EQ(MessageArgs[1], "Clipboard");
  CheckOnlyMode = true;
  Run("$IMPORT CLIPBOARD c d");
  EXPECT_EQ(CalcErrorCode, 58);
  CheckOnlyMode = false;

  platform.clipboard = "1x";
  Run("$IMPORT CLIPBOARD e");
  EXPECT_EQ(CalcErrorCode, 370);
  EXPECT_EQ(MessageArgs[1], "2");
  EXPECT_EQ(MessageArgs[2], "1x");
  EXPECT_EQ(MessageArgs[3], "Clipboard");

  Run("$IMPORT name$ a");
  EXPECT_EQ(CalcErrorCode, 566);
  EXPECT_EQ(MessageArgs[2], "$Import");
  Run("$IMPORT '/nonexistent/dir/none.txt' a");
  EXPECT_EQ(CalcErrorCode, 374);
  Run("$IMPORT CLIPBOARD X[1..2,1..2,1..2,1..2]");
  EXPECT_EQ(CalcErrorCode, 266);
}

TEST_F(DirectivesTest, ImportFromAFile) {
  const std::filesystem::path file = std::filesystem::temp_directory_path() / "voq_import_test.txt";
  {
    std::FILE* f = std::fopen(file.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("10 20\r\n30\r\n", f);
    std::fclose(f);
  }
  Run("$IMPORT '" + file.string() + "' p q r");
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(VarNamed("p")->Value, 10.0L);
  EXPECT_EQ(VarNamed("q")->Value, 20.0L);
  EXPECT_EQ(VarNamed("r")->Value, 30.0L);
  Run("$IMPORT '" + file.string() + "' p1 q1 r1 s1");
  EXPECT_EQ(CalcErrorCode, 654);
  EXPECT_EQ(MessageArgs[1], file.string());
  std::filesystem::remove(file);
}

TEST_F(DirectivesTest, ImportFilesThatDoNotHoldTheData) {
  const std::filesystem::path file = std::filesystem::temp_directory_path() / "voq_import_edge_test.txt";
  const struct {
    std::string content;
    const char* names;
    int32_t error;
    const char* argument1;
  } cases[] = {
      {"", "a", 654, nullptr},                // an empty file: end of data, no read failure
      {"", "", 0, nullptr},                   // nothing wanted of it: no error
      {"\r\n5\r\n", "a", 0, nullptr},         // an empty first line is used up at once
      {"1\r\n\r\n2\r\n", "a b", 654, nullptr},  // an empty line ends the data
      {std::string("\x00\x01\xff\xfe", 4), "a", 370, "1"},  // binary bytes: the first does not read
  };
  for (const auto& c : cases) {
    {
      std::FILE* f = std::fopen(file.c_str(), "wb");
      ASSERT_NE(f, nullptr);
      std::fwrite(c.content.data(), 1, c.content.size(), f);
      std::fclose(f);
    }
    Run("$IMPORT '" + file.string() + "' " + c.names);
    EXPECT_EQ(CalcErrorCode, c.error) << c.names;
    if (c.error == 654) {
      EXPECT_EQ(MessageArgs[1], file.string());
    }
    if (c.argument1 != nullptr) {
      EXPECT_EQ(MessageArgs[1], c.argument1);
    }
  }
  std::filesystem::remove(file);
}

// Inside a MODULE body a range bound names a variable of that module.
TEST_F(DirectivesTest, ImportRangeBoundsInAModule) {
  FindOrAddVariable("a", -1, -1);  // the main program's first variable, unknown
  TProgramUnitRecord* module = FindOrCreateModule("Pump");
  CurrentProgramUnit = module;
  ModuleNesting = module->UnitIndex;
  const int32_t n = FindOrAddVariable("N", -1, -1);
  module->Variable(n)->Value = 2;
  module->Variable(n)->UnknownPosition = kDeterminedVariable;
  platform.clipboard = "7 8";
  platform.hasClipboardText = true;
  Run("$IMPORT CLIPBOARD X[1..N]");
  EXPECT_EQ(CalcErrorCode, 0);
  TVariableRecord* x2 = VarNamed("X[2]");
  ModuleNesting = 0;
  CurrentProgramUnit = MainProgramUnit;
  ASSERT_NE(x2, nullptr);
  EXPECT_EQ(x2->Value, 8.0L);
}

// The read stops at a change of the complex mode after equations.
TEST_F(DirectivesTest, ComplexModeChangeAfterEquationsStopsTheRead) {
  InMemoryEquationsEditor editor;
  SetEquationsEditor(&editor);
  CheckOnlyMode = true;
  editor.SetText("x = 1\r\n$COMPLEX ON\r\ny = 2");
  EquationsCompiled = false;
  CompileEquations(false, false);
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].text.substr(0, 41), "You have changed the complex number mode.");
  EXPECT_EQ(platform.alerts[0].kind, kAlertWarningOk);
  EXPECT_EQ(Preferences.ComplexMode, 1);
  EXPECT_EQ(MainProgramUnit->UnitComplexMode, 1);
  EXPECT_EQ(VarNamed("y"), nullptr);  // never read

  // Before any equation the change is quiet and the read goes on.
  platform.alerts.clear();
  editor.SetText("$COMPLEX OFF\r\nx = 1\r\ny = 2");
  EquationsCompiled = false;
  AbortRequested = false;
  CompileEquations(false, false);
  EXPECT_TRUE(platform.alerts.empty());
  EXPECT_EQ(MainProgramUnit->UnitComplexMode, 0);
  EXPECT_NE(VarNamed("y"), nullptr);
}

TEST_F(DirectivesTest, NextListItemSkipsBrackets) {
  EXPECT_EQ(NextListItem("X[1,2],Y"), 7);
  EXPECT_EQ(NextListItem("X[1,2]"), 0);
}

// The angle factor's stored bits: exponent 3FF9h, mantissa 8EFA35548F682C28h.
TEST_F(DirectivesTest, DocumentSettingsStoredLayout) {
  TDocumentSettingsRecord s;
  s.UnitSystem = 1;
  s.MolarBasis = 1;
  s.AbsoluteTemperature = 1;
  s.PressureUnit = 3;
  s.EnergyUnit = 1;
  SetAngleUnit(s, 0);
  s.Reserved[15] = 0xAB;
  uint8_t bytes[kStoredDocumentSettingsSize] = {};
  PackDocumentSettings(s, bytes);
  const uint8_t expected[16] = {1, 1, 1, 3, 0, 1, 0x28, 0x2C, 0x68, 0x8F, 0x54, 0x35, 0xFA, 0x8E, 0xF9, 0x3F};
  for (int k = 0; k < 16; ++k) EXPECT_EQ(bytes[k], expected[k]) << k;
  EXPECT_EQ(bytes[31], 0xAB);

  // The stored factor is not trusted: it follows the angle unit.
  bytes[4] = 1;
  TDocumentSettingsRecord back;
  UnpackDocumentSettings(bytes, back);
  EXPECT_EQ(back.AngleUnit, 1);
  EXPECT_EQ(back.AngleFactor, 1.0L);
  EXPECT_EQ(back.PressureUnit, 3);
  EXPECT_EQ(back.Reserved[15], 0xAB);
  bytes[4] = 0;
  for (int k = 6; k < 16; ++k) bytes[k] = 0;
  UnpackDocumentSettings(bytes, back);
  EXPECT_EQ(back.AngleFactor, kDegreeAngleFactor);
}

}  // namespace
}  // namespace voq::testing

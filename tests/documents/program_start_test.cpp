// The program's start through StartEngine: the defaults file and the letter
// defaults read from the program's folder, a missing defaults file stopping
// the start, the system decimal separator choosing the scanner's characters,
// and the defaults file the program ships.
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/program_flags.h"
#include "documents/default_var_info.h"
#include "documents/defaults_file.h"
#include "language/statement_preparation.h"
#include "model/display_fonts.h"
#include "model/document_settings.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "platform/font_factory.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "session/engine.h"
#include "session/program_start.h"

namespace voq {
namespace {

namespace fs = std::filesystem;

char systemSeparator = '.';
char TestDecimalSeparator() { return systemSeparator; }

std::vector<uint8_t> ReadByteVector(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteByteVector(const fs::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Each test starts the program again in a folder of its own, with the units
// and constants files of the build, and starts it again as the test program
// did when it ends.
class ProgramStartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    original = CurrentHost();
    savedDirectory = ProgramDirectory;
    systemSeparator = '.';
    // A clock well past the last beep, so a beep is not held back.
    platform.ticks = 100000;
    dir = fs::temp_directory_path() /
          ("voq_start_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    for (const char* name : {"UNITS.TXT", "Constants.txt"}) fs::copy_file(fs::path(VOQ_DATA_DIR) / name, dir / name);
  }
  void TearDown() override {
    ProgramDirectory = savedDirectory;
    std::string missing;
    EXPECT_TRUE(StartEngine(original, &missing)) << missing;
    fs::remove_all(dir);
  }
  bool Start(std::string* missing = nullptr) {
    THost host = original;
    host.Platform = &platform;
    host.Fonts = &fonts;
    host.SystemDecimalSeparator = &TestDecimalSeparator;
    ProgramDirectory = dir.string();
    return StartEngine(host, missing);
  }
  // A defaults file whose stored copies differ from the built-in ones.
  void WriteDefaultsFile() {
    StoredStopCriteria.MaxIterations = 77;
    StoredLetterDefaults[19].Units = "K";
    StoredLetterDefaults[19].LowerLimit = 0;
    StoredPreferences.DisplayFontSize = 1;
    StoredPreferences.ImaginaryJ = 1;
    StoredPreferences.ComplexMode = 1;
    WriteByteVector(dir / kDefaultsFileName, PackDefaultsBlock());
  }
  THost original;
  std::string savedDirectory;
  ScriptedPlatform platform;
  RecordingFontFactory fonts;
  fs::path dir;
};

TEST_F(ProgramStartTest, MissingDefaultsFileStopsTheStartWithMessage560) {
  std::string missing = "unset";
  EXPECT_FALSE(Start(&missing));
  EXPECT_EQ(missing, "") << "no host service is missing";
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].text, GetMessageText(kMsgDefaultsFileMissing));
  EXPECT_EQ(platform.alerts[0].kind, kAlertErrorOk);
}

TEST_F(ProgramStartTest, DefaultsFileBecomesTheCurrentSettings) {
  WriteDefaultsFile();
  ASSERT_TRUE(Start());
  EXPECT_TRUE(platform.alerts.empty());
  EXPECT_EQ(StopCriteria.MaxIterations, 77);
  EXPECT_EQ(StoredStopCriteria.MaxIterations, 77);
  EXPECT_EQ(LetterDefaults[19].Units, "K");
  EXPECT_EQ(StoredLetterDefaults[19].Units, "K");
  EXPECT_EQ(ComplexLetter, 'j');
  EXPECT_EQ(MainProgramUnit->UnitComplexMode, 1);
  EXPECT_EQ(MaxVariables, 10000);
  EXPECT_EQ(DviFileName, (dir / kDefaultDviFileName).string());
  // The display fonts were made from the file's size index 1: 8 points.
  ASSERT_FALSE(fonts.Requests.empty());
  EXPECT_EQ(fonts.Requests.back().Points, 8);
  EXPECT_EQ(EditorFontPoints, 8);
  EXPECT_NE(ScreenLineHeight, 0);
  // What the start sets besides the defaults.
  EXPECT_EQ(ProgramVersion, "6.462");
  EXPECT_TRUE(ApplyStoredDefaults);
  EXPECT_EQ(CurveFitSettings.IterationLimit, 100);
  EXPECT_EQ(CurveFitSettings.Tolerance, 1E-4L);
}

TEST_F(ProgramStartTest, LetterDefaultsFileReplacesTheCurrentDefaultsOnly) {
  WriteDefaultsFile();
  std::array<TLetterDefaultRecord, 26> block{};
  for (TLetterDefaultRecord& d : block) {
    d.Guess = 5;
    d.Units = "m";
  }
  ASSERT_EQ(WriteDviFile((dir / kDefaultDviFileName).string(), block), 0);
  ASSERT_TRUE(Start());
  EXPECT_TRUE(platform.alerts.empty());
  EXPECT_EQ(LetterDefaults[19].Guess, 5.0L);
  EXPECT_EQ(LetterDefaults[19].Units, "m");
  EXPECT_EQ(StoredLetterDefaults[19].Units, "K") << "the stored copy is the defaults file's";
  EXPECT_EQ(StoredLetterDefaults[19].Guess, 1.0L);
}

TEST_F(ProgramStartTest, TruncatedLetterDefaultsFileIsReportedAndChangesNothing) {
  WriteDefaultsFile();
  std::array<TLetterDefaultRecord, 26> block{};
  block[19].Units = "m";
  std::vector<uint8_t> bytes = PackDviFile(block);
  bytes.resize(1000);
  WriteByteVector(dir / kDefaultDviFileName, bytes);
  ASSERT_TRUE(Start()) << "the start goes on";
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].kind, kAlertErrorOk);
  EXPECT_EQ(LetterDefaults[19].Units, "K");
}

// The scanner's characters under each system separator: a comma moves the
// argument separator to ";" and the statement separator to ":".
TEST_F(ProgramStartTest, SystemDecimalSeparatorChoosesTheScannerCharacters) {
  WriteDefaultsFile();
  const std::string c0(1, static_cast<char>(0xC0));
  const std::string c1(1, static_cast<char>(0xC1));
  struct Case {
    char system;
    char decimal;
    char argument;
    char statement;
    std::string digits;
    std::string number;
    std::string delimiters;
    std::string tokens;
    bool warned;
  };
  const Case cases[] = {
      {'.', '.', ',', ';', "0123456789.", "0123456789.E+-", c1 + ")(,+-=*/" + c0 + "^:",
       " =+-*/^(){},:;[]" + c0 + "\r\"", false},
      {',', ',', ';', ':', "0123456789,", "0123456789,E+-", c1 + ")(;+-=*/" + c0 + "^:",
       " =+-*/^(){};::[]" + c0 + "\r\"", false},
      // Neither point nor comma: message 396 once, then as a comma.
      {';', ',', ';', ':', "0123456789,", "0123456789,E+-", c1 + ")(;+-=*/" + c0 + "^:",
       " =+-*/^(){};::[]" + c0 + "\r\"", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.system);
    systemSeparator = c.system;
    platform.alerts.clear();
    platform.beeps = 0;
    ASSERT_TRUE(Start());
    EnsureScannerCharacterSets();
    EXPECT_EQ(DecimalSeparator, c.decimal);
    EXPECT_EQ(SavedDecimalSeparator, c.decimal);
    EXPECT_EQ(ArgumentSeparator, c.argument);
    EXPECT_EQ(StatementSeparator, c.statement);
    EXPECT_EQ(DigitChars, c.digits);
    EXPECT_EQ(NumberChars, c.number);
    EXPECT_EQ(DelimiterChars, c.delimiters);
    EXPECT_EQ(TokenSeparators, c.tokens);
    if (c.warned) {
      ASSERT_EQ(platform.alerts.size(), 1u);
      EXPECT_EQ(platform.alerts[0].text, GetMessageText(kMsgDecimalSeparator));
      EXPECT_EQ(platform.alerts[0].kind, kAlertWarningOk);
      EXPECT_EQ(platform.beeps, 1);
    } else {
      EXPECT_TRUE(platform.alerts.empty());
    }
  }
}

// The shipped "VOQ.DFT" is what the generator writes, and a program that
// reads it has the engine's built-in settings: reading it changes nothing.
TEST_F(ProgramStartTest, ShippedDefaultsFileGivesTheBuiltInSettings) {
  const fs::path shipped = fs::path(VOQ_DATA_DIR) / kDefaultsFileName;
  const fs::path generated = dir / "generated.dft";
  const std::string command = std::string(VOQ_DEFAULTS_GENERATOR) + " '" + generated.string() + "'";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(ReadByteVector(generated), ReadByteVector(shipped)) << "data/VOQ.DFT is out of date: run make_defaults_file";

  fs::copy_file(shipped, dir / kDefaultsFileName);
  ASSERT_TRUE(Start());
  EXPECT_TRUE(platform.alerts.empty());
  uint8_t read[kStoredPreferencesSize];
  uint8_t builtIn[kStoredPreferencesSize];
  PackDocumentSettings(DocumentSettings, read);
  PackDocumentSettings(TDocumentSettingsRecord{}, builtIn);
  EXPECT_TRUE(std::equal(read, read + kStoredDocumentSettingsSize, builtIn)) << "document settings";
  PackStopCriteria(StopCriteria, read);
  PackStopCriteria(TStopCriteriaRecord{}, builtIn);
  EXPECT_TRUE(std::equal(read, read + kStoredStopCriteriaSize, builtIn)) << "stop criteria";
  PackPreferences(Preferences, read);
  PackPreferences(TPreferencesRecord{}, builtIn);
  for (size_t k = 0; k < kStoredPreferencesSize; ++k) EXPECT_EQ(read[k], builtIn[k]) << "preference byte " << k;
  std::vector<uint8_t> letters(kStoredLetterDefaultBlockSize);
  std::vector<uint8_t> builtInLetters(kStoredLetterDefaultBlockSize);
  PackLetterDefaultBlock(LetterDefaults, letters.data());
  PackLetterDefaultBlock(std::array<TLetterDefaultRecord, 26>{}, builtInLetters.data());
  EXPECT_EQ(letters, builtInLetters);
  const TIntegrationSettings start{};
  EXPECT_EQ(IntegrationSettings.CheckInterval, start.CheckInterval);
  EXPECT_EQ(IntegrationSettings.MaxStepsReciprocal, start.MaxStepsReciprocal);
  EXPECT_EQ(IntegrationSettings.MinStepsReciprocal, start.MinStepsReciprocal);
  EXPECT_EQ(IntegrationSettings.ReduceThreshold, start.ReduceThreshold);
  EXPECT_EQ(IntegrationSettings.IncreaseThreshold, start.IncreaseThreshold);
  EXPECT_EQ(IntegrationSettings.StepFraction, start.StepFraction);
}

}  // namespace
}  // namespace voq

// The defaults file: the current layout read back byte for byte, older
// layouts brought up to date, and untrusted lengths.
#include "documents/defaults_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "core/calc_state.h"
#include "core/extended.h"
#include "core/program_flags.h"
#include "model/document_settings.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "session/engine.h"

namespace voq {
namespace {

namespace fs = std::filesystem;

class DefaultsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetPlatform(&platform);
    platform.ticks = 100000;
    LastBeepTicks = 0;
    savedDirectory = ProgramDirectory;
    dir = fs::temp_directory_path() /
          ("voq_dft_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    ProgramDirectory = dir.string();
  }
  void TearDown() override {
    ProgramDirectory = savedDirectory;
    SetPlatform(nullptr);
    fs::remove_all(dir);
  }
  void WriteFile(const std::vector<uint8_t>& bytes) {
    std::ofstream out(dir / kDefaultsFileName, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  std::vector<uint8_t> ReadFile() {
    std::ifstream in(dir / kDefaultsFileName, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  ScriptedPlatform platform;
  fs::path dir;
  std::string savedDirectory;
};

// Stored copies with a value in every part of the layout.
void FillStoredCopies() {
  StoredDocumentSettings.UnitSystem = 1;
  StoredDocumentSettings.PressureUnit = 1;
  SetAngleUnit(StoredDocumentSettings, 1);
  for (size_t k = 0; k < 16; ++k) StoredDocumentSettings.Reserved[k] = static_cast<uint8_t>(k + 1);
  StoredStopCriteria.MaxIterations = 500;
  StoredLetterDefaults[19].LowerLimit = 0;
  StoredLetterDefaults[19].Units = "K";
  StoredPreferences.PlotWidth = 420;
  StoredPreferences.IntegrationStepFraction = 0.125L;
  StoredPreferences.Reserved184[69] = 0x5A;
  DefaultsWritable = 1;
  StartupNoticeBlock = {1, 508, 560, 0, 0, 0, 0, 0, 0, 0, 0, -7};
  StoredDefaultsReserved.Byte1994 = 0x11;
  StoredDefaultsReserved.Bytes2020 = {0x22, 0x23};
  StoredDefaultsReserved.Byte2022 = 0x33;
  StoredDefaultsReserved.Byte2023 = 0x44;
  StoredDefaultsReserved.Bytes2024 = {1, 2, 3, 4};
  StoredDefaultsReserved.TextBlocks = {std::string("abc\0", 4), std::string(), std::string("x\0", 2),
                                       std::string(255, 'q')};
  StoredDefaultsReserved.Trailer = {9, 8, 7, 6, 5, 4, 3, 2, 1, 0};
}

TEST_F(DefaultsFileTest, CurrentLayoutReadsBackByteForByte) {
  FillStoredCopies();
  std::stringstream unused;
  ASSERT_TRUE(SaveDefaultsFile(false, unused));
  std::vector<uint8_t> written = ReadFile();
  EXPECT_EQ(written.size(), 2028u + (2 + 4) + 2 + (2 + 2) + (2 + 255) + 10);
  EXPECT_EQ(written[1707], 13);
  EXPECT_EQ(written[1995], 1);
  EXPECT_EQ(written[1740 + 33], 420 % 256);

  // Forget everything, read it again, write it again.
  StoredDocumentSettings = {};
  StoredStopCriteria = {};
  StoredLetterDefaults = {};
  StoredPreferences = {};
  DefaultsWritable = 0;
  StartupNoticeBlock = {};
  StoredDefaultsReserved = {};
  ASSERT_TRUE(ReadDefaultsFile());
  EXPECT_EQ(StopCriteria.MaxIterations, 500) << "the stored copies become the current ones";
  EXPECT_EQ(LetterDefaults[19].Units, "K");
  EXPECT_EQ(IntegrationSettings.StepFraction, 0.125L);
  EXPECT_EQ(PackDefaultsBlock(), written);
  EXPECT_TRUE(platform.alerts.empty());

  std::stringstream appended;
  appended << "head";
  ASSERT_TRUE(SaveDefaultsFile(true, appended));
  EXPECT_EQ(appended.str().substr(4), std::string(written.begin(), written.end()));
}

// A version-4 file: the fixed part up to the version byte, 33 bytes of
// preferences, then the reserved byte, the flag, the notice and the rest.
std::vector<uint8_t> OldLayoutFile(uint8_t version, Extended changeTolerance) {
  std::vector<uint8_t> f(1708, 0);
  PackExtended(f.data() + 15, 1E-6L);
  PackExtended(f.data() + 25, changeTolerance);
  f[35] = 100;  // 100 iterations
  f[39] = 60;   // 60 seconds
  for (size_t k = 0; k < 26; ++k) {
    uint8_t* d = f.data() + 43 + 64 * k;
    PackExtended(d, 1.0L);
    PackExtended(d + 10, -2.0L);
    PackExtended(d + 20, 2.0L);
    d[30] = 1;  // fixed
    d[31] = 2;
  }
  f[1707] = version;
  std::vector<uint8_t> prefs(33, 0);
  prefs[1] = 1;   // equations in blue
  prefs[19] = 1;  // warnings
  f.insert(f.end(), prefs.begin(), prefs.end());
  f.push_back(0);  // reserved
  f.push_back(1);  // writable
  f.resize(f.size() + 24 + 2 + 1 + 1 + 4, 0);
  for (int k = 0; k < 4; ++k) {
    f.push_back(1);
    f.push_back(0);
    f.push_back(0);
  }
  f.resize(f.size() + 10, 0);
  return f;
}

TEST_F(DefaultsFileTest, VersionFourGetsPreferenceAndIntegrationDefaults) {
  StoredPreferences.PlotWidth = 1;
  StoredPreferences.PlotTextSize = {1, 1, 1, 1};
  WriteFile(OldLayoutFile(4, 1E-6L));
  ASSERT_TRUE(ReadDefaultsFile());
  const std::vector<std::pair<int, int>> shorts = {{33, 300}, {35, 200}, {37, 90}, {39, 30}, {65, 10}, {76, -1},
                                                   {78, 9}, {80, 5}, {82, 3}};
  std::vector<uint8_t> prefs(kStoredPreferencesSize);
  PackPreferences(StoredPreferences, prefs.data());
  for (auto [at, value] : shorts) {
    EXPECT_EQ(static_cast<int16_t>(prefs[at] | (prefs[at + 1] << 8)), value) << "offset " << at;
  }
  EXPECT_EQ(StoredPreferences.PlotCopyFormat, 2);
  EXPECT_EQ(StoredPreferences.EquationsInBlue, 1);
  EXPECT_EQ(IntegrationSettings.CheckInterval, 5);
  EXPECT_EQ(IntegrationSettings.MaxStepsReciprocal, 5E-4L);
  EXPECT_EQ(IntegrationSettings.MinStepsReciprocal, 0.02L);
  EXPECT_EQ(IntegrationSettings.ReduceThreshold, 0.001L);
  EXPECT_EQ(IntegrationSettings.IncreaseThreshold, 1E-5L);
  EXPECT_EQ(IntegrationSettings.StepFraction, -4E-3L);
  EXPECT_EQ(StoredStopCriteria.ChangeTolerance, 1E-9L) << "lowered to at most 1E-9";
  EXPECT_EQ(StopCriteria.MaxIterations, 100);
  // Version 4 keeps its stored display styles.
  EXPECT_EQ(StoredLetterDefaults[0].Style, 1);
  // Derived for layouts before the comment styles: blue text gives (1,2,0,0).
  EXPECT_EQ(Preferences.CommentColor1, 1);
  EXPECT_EQ(Preferences.CommentColor2, 2);
  EXPECT_EQ(Preferences.AutosaveMinutes, 10);
  EXPECT_EQ(Preferences.ShowLocalVariables, 1);
}

TEST_F(DefaultsFileTest, VersionThreeMakesEveryStyleAutomatic) {
  WriteFile(OldLayoutFile(3, 1E-12L));
  ASSERT_TRUE(ReadDefaultsFile());
  for (const TLetterDefaultRecord& d : StoredLetterDefaults) EXPECT_EQ(d.Style, 3);
  EXPECT_EQ(StoredStopCriteria.ChangeTolerance, 1E-12L) << "a smaller tolerance stays";
}

// Files of layout versions 3 and 4 built by hand in tests/data (1797 bytes:
// the settings' first 15 bytes, stop criteria 1E-6, 1E-6, 100 iterations,
// 60 s, every letter guess 1, limits -2 and 2, fixed style with 2 digits,
// units "m", the version byte, 33 bytes of preferences with byte 1 and 19
// set, reserved 0, writable 1, an empty notice, reserved zeros, four texts
// of one zero byte and ten reserved bytes).
TEST_F(DefaultsFileTest, HandBuiltOldLayoutFiles) {
  for (int version : {3, 4}) {
    SCOPED_TRACE(version);
    ResetEngineState();
    SetPlatform(&platform);
    ProgramDirectory = dir.string();
    fs::copy_file(fs::path(VOQ_TEST_DATA_DIR) / ("defaults_v" + std::to_string(version) + ".dft"),
                  dir / kDefaultsFileName, fs::copy_options::overwrite_existing);
    ASSERT_TRUE(ReadDefaultsFile());
    EXPECT_TRUE(platform.alerts.empty());
    std::vector<uint8_t> prefs(kStoredPreferencesSize);
    PackPreferences(StoredPreferences, prefs.data());
    const std::pair<int, int> shorts[] = {{33, 300}, {35, 200}, {37, 90}, {39, 30}};
    for (auto [at, value] : shorts) {
      EXPECT_EQ(static_cast<int16_t>(prefs[at] | (prefs[at + 1] << 8)), value) << "offset " << at;
    }
    EXPECT_EQ(StoredPreferences.EquationsInBlue, 1) << "the 33 bytes read are kept";
    EXPECT_EQ(IntegrationSettings.CheckInterval, 5);
    EXPECT_EQ(IntegrationSettings.MaxStepsReciprocal, 5E-4L);
    EXPECT_EQ(IntegrationSettings.MinStepsReciprocal, 0.02L);
    EXPECT_EQ(IntegrationSettings.ReduceThreshold, 0.001L);
    EXPECT_EQ(IntegrationSettings.IncreaseThreshold, 1E-5L);
    EXPECT_EQ(IntegrationSettings.StepFraction, -4E-3L);
    EXPECT_LE(StoredStopCriteria.ChangeTolerance, 1E-9L);
    EXPECT_EQ(StopCriteria.MaxIterations, 100);
    EXPECT_EQ(LetterDefaults[0].Units, "m");
    // Below version 4 every letter shows automatically; version 4 keeps its
    // stored style.
    EXPECT_EQ(StoredLetterDefaults[0].Style, version < 4 ? 3 : 1);
    EXPECT_EQ(StoredLetterDefaults[25].Style, version < 4 ? 3 : 1);
    EXPECT_EQ(DefaultsWritable, 1);
  }
}

TEST_F(DefaultsFileTest, AngleFactorOfTheStoredSettingsIsTheDocumentsOne) {
  FillStoredCopies();
  SetAngleUnit(StoredDocumentSettings, 0);
  std::vector<uint8_t> block = PackDefaultsBlock();
  PackExtended(block.data() + 1708 + 6, 0.0174532925199432957692L);  // pi/180 in full
  WriteFile(block);
  ASSERT_TRUE(ReadDefaultsFile());
  EXPECT_EQ(StoredDocumentSettings.AngleFactor, kDegreeAngleFactor);
  EXPECT_EQ(DocumentSettings.AngleFactor, kDegreeAngleFactor);
}

TEST_F(DefaultsFileTest, LongTextBlockIsCutAndTheFieldsAfterItStayInPlace) {
  FillStoredCopies();
  std::vector<uint8_t> block = PackDefaultsBlock();
  // Replace the first text block by one of 300 bytes.
  std::vector<uint8_t> longer(block.begin(), block.begin() + 2028);
  longer.push_back(300 % 256);
  longer.push_back(300 / 256);
  for (int k = 0; k < 300; ++k) longer.push_back(static_cast<uint8_t>('a' + k % 26));
  longer.insert(longer.end(), block.begin() + 2028 + 6, block.end());
  WriteFile(longer);
  ASSERT_TRUE(ReadDefaultsFile());
  EXPECT_EQ(StoredDefaultsReserved.TextBlocks[0].size(), 255u);
  EXPECT_EQ(StoredDefaultsReserved.TextBlocks[2], std::string("x\0", 2));
  EXPECT_EQ(StoredDefaultsReserved.Trailer[0], 9);
  EXPECT_EQ(platform.beeps, 1);
}

TEST_F(DefaultsFileTest, MissingOrShortFileStopsWithMessage560) {
  FillStoredCopies();
  std::vector<uint8_t> block = PackDefaultsBlock();
  for (size_t length : {size_t{0}, size_t{1000}, size_t{1708}, size_t{2027}, block.size() - 1}) {
    platform.alerts.clear();
    if (length == 0) {
      fs::remove(dir / kDefaultsFileName);
    } else {
      WriteFile(std::vector<uint8_t>(block.begin(), block.begin() + static_cast<long>(length)));
    }
    EXPECT_FALSE(ReadDefaultsFile()) << "length " << length;
    ASSERT_EQ(platform.alerts.size(), 1u);
    EXPECT_EQ(platform.alerts[0].text.substr(0, 42), "The VOQ.DFT file is either missing or corr");
  }
}

TEST_F(DefaultsFileTest, DistributableTrailerIsTheLastFourBytes) {
  struct Case {
    std::vector<uint8_t> bytes;
    bool distributable;
  };
  // 123456789 = 0x075BCD15.
  for (const Case& c : std::vector<Case>{{{1, 2, 0x15, 0xCD, 0x5B, 0x07}, true},
                                         {{0x15, 0xCD, 0x5B, 0x07, 0}, false},
                                         {{0xCD, 0x5B, 0x07}, false}}) {
    WriteFile(c.bytes);
    EXPECT_EQ(IsDistributableProgramFile((dir / kDefaultsFileName).string()), c.distributable);
  }
}

}  // namespace
}  // namespace voq

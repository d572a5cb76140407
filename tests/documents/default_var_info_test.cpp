// Default variable information files: the stored layout, and the start-up
// read of "VOQ_DFLT.DVI" with its failure cases.
#include "documents/default_var_info.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "core/extended.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"

namespace voq {
namespace {

namespace fs = std::filesystem;

class DefaultVarInfoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetPlatform(&platform);
    dir = fs::temp_directory_path() /
          ("voq_dvi_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override {
    SetPlatform(nullptr);
    fs::remove_all(dir);
  }
  static std::array<TLetterDefaultRecord, 26> SampleBlock() {
    std::array<TLetterDefaultRecord, 26> block{};
    for (size_t k = 0; k < block.size(); ++k) {
      block[k].Guess = 2.0L + static_cast<Extended>(k);
      block[k].Style = 1;
      block[k].Digits = 2;
      block[k].Units = "kJ/kg";
    }
    return block;
  }
  void WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::ofstream out(dir / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  ScriptedPlatform platform;
  fs::path dir;
};

TEST_F(DefaultVarInfoTest, WrittenFileHasTheHeaderAndTheBlock) {
  std::array<TLetterDefaultRecord, 26> block = SampleBlock();
  std::string path = (dir / "a.dvi").string();
  ASSERT_EQ(WriteDviFile(path, block), 0);
  ASSERT_EQ(fs::file_size(path), 1675u);
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 11),
            (std::vector<uint8_t>{5, 'D', 'V', 'I', '_', '1', 0, 0, 0, 0, 0}));
  // "B" begins at 11 + 64; its guess is 3.
  EXPECT_EQ(UnpackExtended(bytes.data() + 11 + 64), 3.0L);

  std::array<TLetterDefaultRecord, 26> back{};
  ASSERT_EQ(ReadDviFile(path, back), 0);
  EXPECT_EQ(PackDviFile(back), bytes);
}

TEST_F(DefaultVarInfoTest, StartUpReadReplacesTheCurrentDefaultsOnly) {
  ASSERT_EQ(WriteDviFile((dir / kDefaultDviFileName).string(), SampleBlock()), 0);
  ReadDefaultVarInfoFile(dir.string());
  EXPECT_EQ(DviFileName, (dir / kDefaultDviFileName).string());
  EXPECT_EQ(LetterDefaults[25].Guess, 27.0L);
  EXPECT_EQ(LetterDefaults[25].Units, "kJ/kg");
  EXPECT_EQ(StoredLetterDefaults[25].Guess, 1.0L) << "the stored copy stays";
  EXPECT_TRUE(platform.alerts.empty());
}

TEST_F(DefaultVarInfoTest, MissingFileLeavesTheDefaultsSilently) {
  ReadDefaultVarInfoFile(dir.string());
  EXPECT_EQ(LetterDefaults[0].Guess, 1.0L);
  EXPECT_EQ(DviFileName, (dir / kDefaultDviFileName).string());
  EXPECT_TRUE(platform.alerts.empty());
}

TEST_F(DefaultVarInfoTest, ShortFileIsReportedAndChangesNothing) {
  // Cut at several places: inside the header, inside a record, one byte
  // short of the whole.
  for (size_t length : {0u, 6u, 11u + 64u * 3u + 5u, 1674u}) {
    std::vector<uint8_t> bytes = PackDviFile(SampleBlock());
    bytes.resize(length);
    WriteBytes(kDefaultDviFileName, bytes);
    platform.alerts.clear();
    ReadDefaultVarInfoFile(dir.string());
    EXPECT_EQ(LetterDefaults[1].Guess, 1.0L) << "length " << length;
    EXPECT_EQ(LetterDefaults[1].Style, 3) << "length " << length;
    ASSERT_EQ(platform.alerts.size(), 1u) << "length " << length;
    EXPECT_EQ(platform.alerts[0].text, "Unexpected I/O error: number 100");
  }
}

TEST_F(DefaultVarInfoTest, LongerFileReadsItsFirstBlock) {
  std::vector<uint8_t> bytes = PackDviFile(SampleBlock());
  bytes.resize(4000, 0xFF);
  WriteBytes(kDefaultDviFileName, bytes);
  ReadDefaultVarInfoFile(dir.string());
  EXPECT_EQ(LetterDefaults[25].Guess, 27.0L);
  EXPECT_TRUE(platform.alerts.empty());
}

}  // namespace
}  // namespace voq

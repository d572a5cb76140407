// The fluid catalogue: built-in rows, sort positions and user fluid files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/program_flags.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "properties/fluid_catalog.h"

namespace voq {
namespace {

namespace fs = std::filesystem;

class FluidCatalogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("voq_catalog_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "USERLIB");
    savedDirectory_ = ProgramDirectory;
    SetPlatform(&platform_);
  }
  void TearDown() override {
    SetPlatform(nullptr);
    ProgramDirectory = savedDirectory_;
    fs::remove_all(dir_);
  }
  std::string Write(const std::string& name, const std::string& text, const fs::path& folder = {}) {
    const fs::path path = (folder.empty() ? dir_ / "USERLIB" : folder) / name;
    std::ofstream(path) << text;
    return path.string();
  }
  void Rebuild() {
    ProgramDirectory = dir_.string();
    BuildFluidCatalog();
  }

  fs::path dir_;
  std::string savedDirectory_;
  ScriptedPlatform platform_;
};

TEST_F(FluidCatalogTest, BuiltInRowsAndSortOrder) {
  Rebuild();
  EXPECT_EQ(SubstanceCount, 77);
  EXPECT_EQ(SubstanceCatalog.size(), 88u);  // rows 0..87
  EXPECT_EQ(SubstanceCatalog[0].Name, "DEFER");
  EXPECT_EQ(SubstanceCatalog[0].SortPosition, 0);
  EXPECT_EQ(SubstanceCatalog[17].Name, "R123");
  EXPECT_EQ(SubstanceCatalog[17].Kind, -2);
  EXPECT_EQ(SubstanceCatalog[77].Name, "Ice");
  EXPECT_EQ(SubstanceCatalog[72].HelpContext, 386);
  // "AIR" before "AIRH2O" before "AIR_HA"; byte order puts digits before letters.
  EXPECT_LT(SubstanceCatalog[1].SortPosition, SubstanceCatalog[2].SortPosition);
  EXPECT_LT(SubstanceCatalog[2].SortPosition, SubstanceCatalog[74].SortPosition);
  EXPECT_LT(SubstanceCatalog[5].SortPosition, SubstanceCatalog[4].SortPosition);  // C2H6 < CH4
  std::vector<bool> seen(78, false);
  for (int32_t r = 1; r <= 77; ++r) seen[static_cast<size_t>(SubstanceCatalog[static_cast<size_t>(r)].SortPosition)] = true;
  for (int32_t k = 1; k <= 77; ++k) EXPECT_TRUE(seen[static_cast<size_t>(k)]) << k;
  EXPECT_EQ(FindSubstanceRow(" r134a "), 0);  // look-ups take the name as given
  EXPECT_EQ(FindSubstanceRow("r134a"), 47);
  EXPECT_EQ(FindSubstanceRow("defer"), 0);
}

TEST_F(FluidCatalogTest, UserFilesRegisterWithNameAndDescription) {
  Write("b.IDG", "// comment\nMyGas|A gas of mine\n28\n");
  Write("a.mhe", "LongNameWithoutABarThatRunsPastThirtyCharacters\n");
  Write("dup.IDG", "r134a|lower-case duplicate\n");
  Rebuild();
  // .MHE files before .IDG files; the duplicate is refused with 651.
  ASSERT_EQ(SubstanceCount, 79);
  EXPECT_EQ(SubstanceCatalog[78].Name, "LongNameWithoutABarThatRunsPas");
  EXPECT_EQ(SubstanceCatalog[78].Kind, 2);
  EXPECT_EQ(SubstanceCatalog[79].Name, "MyGas");
  EXPECT_EQ(SubstanceCatalog[79].Kind, 1);
  ASSERT_FALSE(FluidDescriptions.empty());
  EXPECT_EQ(SubstanceCatalog[79].HelpContext, -1);
  EXPECT_EQ(FluidDescriptions[0], "A gas of mine");
  ASSERT_FALSE(platform_.alerts.empty());
  EXPECT_NE(platform_.alerts.back().text.find("Attempted duplication of property data for fluid r134a"),
            std::string::npos);
  EXPECT_EQ(SubstanceCatalog.size(), 77u + 3 + 10 + 1);  // three files found
}

// The additional folder comes before USERLIB. An error there stops that
// folder's scan and USERLIB's Martin-Hou files; USERLIB's ideal gases are
// still registered.
TEST_F(FluidCatalogTest, TheAdditionalFolderComesFirst) {
  const fs::path extra = dir_ / "extra";
  fs::create_directories(extra);
  Write("e.IDG", "ExtraGas\n", extra);
  Write("u.MHE", "UserRefrigerant\n");
  Write("u.IDG", "UserGas\n");
  AdditionalLibraryFolder = extra.string();
  Rebuild();
  ASSERT_EQ(SubstanceCount, 80);
  EXPECT_EQ(SubstanceCatalog[78].Name, "ExtraGas");
  EXPECT_EQ(SubstanceCatalog[79].Name, "UserRefrigerant");
  EXPECT_EQ(SubstanceCatalog[80].Name, "UserGas");

  Write("a.MHE", "Air\n", extra);  // a duplicate: error 651 in the additional folder
  Rebuild();
  EXPECT_EQ(SubstanceCount, 78);
  EXPECT_EQ(SubstanceCatalog[78].Name, "UserGas");
}

TEST_F(FluidCatalogTest, HoldingCtrlSkipsUserFiles) {
  Write("x.IDG", "XGas\n");
  platform_.ctrlDown = true;
  Rebuild();
  EXPECT_EQ(SubstanceCount, 77);
}

// Registrations after start-up may outnumber the spare rows: the array
// grows instead of being written past, up to the limit of 140 rows.
TEST_F(FluidCatalogTest, LateRegistrationsGrowTheRowsUpToTheLimit) {
  Rebuild();
  for (int i = 0; i < 63; ++i) {
    CalcErrorCode = 0;
    RegisterFluidFile(Write("g" + std::to_string(i) + ".IDG", "Gas" + std::to_string(i) + "\n"));
    ASSERT_EQ(CalcErrorCode, 0) << i;
  }
  EXPECT_EQ(SubstanceCount, 140);
  EXPECT_EQ(SubstanceCatalog[140].Name, "Gas62");
  EXPECT_EQ(SubstanceCatalog[140].SortPosition, 140);  // last until the next start
  RegisterFluidFile(Write("one_more.IDG", "OneMore\n"));
  EXPECT_EQ(CalcErrorCode, kMsgSubstanceLimit);
  EXPECT_EQ(std::string(MessageArgs[1]), "140");
  EXPECT_EQ(SubstanceCount, 140);
}

TEST_F(FluidCatalogTest, UnreadableFileIsNotRegistered) {
  Rebuild();
  RegisterFluidFile((dir_ / "missing.IDG").string());
  EXPECT_EQ(CalcErrorCode, kMsgFileReadIOError);
  EXPECT_NE(MessageText.find("missing.IDG"), std::string::npos);
  EXPECT_EQ(SubstanceCount, 77);
}

}  // namespace
}  // namespace voq

#include "core/search_path.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/calc_state.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"

namespace voq {
namespace {

namespace fs = std::filesystem;

class SearchPathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SearchPathList.clear();
    platform.ticks = 100000;
    LastBeepTicks = 0;
    startDir_ = fs::current_path();
    root_ = fs::temp_directory_path() /
            ("voq_search_path_" + std::to_string(::getpid()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "First");
    fs::create_directories(root_ / "Second");
    std::ofstream(root_ / "Second" / "Data.txt") << "1\n";
  }
  void TearDown() override {
    fs::current_path(startDir_);
    fs::remove_all(root_);
    SearchPathList.clear();
  }
  std::string Dir(const char* name) const { return (root_ / name).string(); }

  ScriptedPlatform platform;
  ScopedPlatform scoped{platform};
  fs::path startDir_;
  fs::path root_;
};

TEST_F(SearchPathTest, AddSearchDirectoryKeepsCaseAndSkipsDuplicates) {
  AddSearchDirectory("  " + Dir("First"));
  AddSearchDirectory(Dir("Second"));
  AddSearchDirectory("");
  AddSearchDirectory("   ");
  ASSERT_EQ(SearchPathList.size(), 2u);
  EXPECT_EQ(SearchPathList[0], Dir("First"));
  EXPECT_EQ(platform.beeps, 0);

  // The same name in another case counts as present, as a Windows name would.
  fs::create_directories(root_ / "FIRST");
  AddSearchDirectory(Dir("FIRST"));
  EXPECT_EQ(SearchPathList.size(), 2u);

  AddSearchDirectory(Dir("Missing"));
  EXPECT_EQ(SearchPathList.size(), 2u);
  EXPECT_EQ(platform.beeps, 1);
}

TEST_F(SearchPathTest, FileExistsOnPathWalksTheList) {
  EXPECT_TRUE(FileExistsOnPath("clipboard"));
  EXPECT_TRUE(FileExistsOnPath("ClipBoard"));
  EXPECT_EQ(fs::current_path(), startDir_);

  fs::current_path(root_);
  EXPECT_FALSE(FileExistsOnPath("Data.txt"));
  AddSearchDirectory(Dir("First"));
  SearchPathList.push_back(Dir("Gone"));  // entering it fails: skipped
  AddSearchDirectory(Dir("Second"));
  std::string resolved;
  EXPECT_TRUE(FileExistsOnPath("Data.txt", &resolved));
  // The path to open comes back; the working directory stays where it was.
  EXPECT_EQ(resolved, (fs::path(Dir("Second")) / "Data.txt").string());
  EXPECT_EQ(fs::current_path(), root_);
  EXPECT_TRUE(fs::exists(resolved));
  // Case matters on this file system.
  EXPECT_FALSE(FileExistsOnPath("DATA.TXT"));

  EXPECT_TRUE(FileExistsOnPath((root_ / "Second" / "Data.txt").string()));
  EXPECT_FALSE(FileExistsOnPath((root_ / "First" / "Data.txt").string()));
}

TEST_F(SearchPathTest, FileDateOfGivesDaysSince1899) {
  const std::string file = Dir("Second") + "/Data.txt";
  // 2000-01-01 00:00:00 UTC is day 36526 of the date-time count, 12:00 adds 0.5.
  const time_t noon = 946684800 + 43200;
  struct timespec times[2] = {{noon, 0}, {noon, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
  const char* oldTz = std::getenv("TZ");
  const std::string savedTz = oldTz ? oldTz : "";
  ::setenv("TZ", "UTC", 1);
  ::tzset();
  EXPECT_DOUBLE_EQ(FileDateOf(file), 36526.5);
  if (oldTz) {
    ::setenv("TZ", savedTz.c_str(), 1);
  } else {
    ::unsetenv("TZ");
  }
  ::tzset();
  EXPECT_EQ(FileDateOf(Dir("Second") + "/none.txt"), 0);
}

}  // namespace
}  // namespace voq

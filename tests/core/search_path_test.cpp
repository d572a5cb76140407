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
#include <vector>

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

// What a name is when it is no regular file, as it stands or on the path;
// and whole-file reads with their I/O results (2 missing, 100 a failed
// read: a folder, a device, /proc/self/mem whose first read the kernel
// refuses, more than the limit).
TEST_F(SearchPathTest, NonFilesAreNamedAndReadsReportTheirFailure) {
  AddSearchDirectory(root_.string());
  struct Kind {
    std::string name;
    std::string kind;
  };
  const Kind kinds[] = {
      {Dir("First"), "a folder"}, {"First", "a folder"},     {"/dev/null", "a device"},
      {Dir("Second") + "/Data.txt", ""}, {Dir("missing"), ""}, {"missing", ""},
  };
  for (const Kind& k : kinds) EXPECT_EQ(NonFileKind(k.name), k.kind) << k.name;
  std::string found;
  NonFileKind("First", &found);
  EXPECT_EQ(found, (root_ / "First").string());

  struct Read {
    std::string path;
    size_t limit;
    int32_t result;
    std::string bytes;
  };
  const Read reads[] = {
      {Dir("Second") + "/Data.txt", 100, 0, "1\n"},
      {Dir("Second") + "/Data.txt", 1, 100, ""},
      {Dir("missing"), 100, 2, ""},
      {Dir("First"), 100, 100, ""},
      {"/dev/zero", 100, 100, ""},
      {"/proc/self/mem", 100, 100, ""},
  };
  for (const Read& r : reads) {
    std::vector<uint8_t> bytes{'x'};
    EXPECT_EQ(ReadFileBytes(r.path, bytes, r.limit), r.result) << r.path;
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), r.bytes) << r.path;
  }
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

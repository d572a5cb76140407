// Lookup files named in equations: the three file forms, reloading, the
// identifiers and the column designators.
#include "tables/lookup_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "tables/table_fixture.h"
#include "tables/tables_state.h"

namespace voq {
namespace {

class LookupFilesTest : public testing::TableTest {
 protected:
  void SetUp() override {
    TableTest::SetUp();
    dir = std::filesystem::temp_directory_path() / ("voq_lookup_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    TableTest::TearDown();
  }
  std::string Write(const std::string& name, const std::string& text) {
    const std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  int32_t Find(const std::string& path, TLookupFileRecord*& record) {
    ClearCalcError();
    return FindLookupTable(path, record);
  }
  std::filesystem::path dir;
};

TEST_F(LookupFilesTest, CsvColumnsWithAndWithoutTrailingComma) {
  for (const char* text : {"1,2,3\n4, 5,6\n", "1,2,3,\n4,5,6,\n"}) {
    ResetTablesState();
    TLookupFileRecord* record = nullptr;
    const int32_t id = Find(Write("data.csv", text), record);
    ASSERT_EQ(CalcErrorCode, 0) << text;
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(id, 1);
    EXPECT_EQ(record->ColumnCount, 3) << text;
    EXPECT_EQ(record->RowCount, 2);
    EXPECT_EQ(record->Columns[0].Name, "Column1");
    EXPECT_EQ(record->Columns[2].Values[0], 3.0L);
    EXPECT_EQ(record->Columns[1].Values[1], 5.0L);
  }
}

TEST_F(LookupFilesTest, CsvIllegalCharacterIsError370) {
  TLookupFileRecord* record = nullptr;
  EXPECT_EQ(Find(Write("bad.csv", "1,2\n3,x4\n"), record), 0);
  EXPECT_EQ(CalcErrorCode, kMsgIllegalCharacterInString);
  EXPECT_EQ(MessageArgs[1], "1");
  EXPECT_EQ(MessageArgs[2], "x4");
  EXPECT_EQ(record, nullptr);
  EXPECT_TRUE(LookupFileList.empty());  // a failed file leaves no record
}

TEST_F(LookupFilesTest, TextFileCountsRowsAndReadsHeaders) {
  const std::string path = Write("props.txt",
                                 "-1 -2\n"
                                 "F3 Temperature [K]\n"
                                 "  E4 h [kJ/kg]  \n"
                                 "300 2.5\n"
                                 "400 3.5\n"
                                 "500 4.5\n");
  TLookupFileRecord* record = nullptr;
  ASSERT_GT(Find(path, record), 0);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(record->RowCount, 3);
  EXPECT_EQ(record->ColumnCount, 2);
  const TLookupColumnNode& t = record->Columns[0];
  EXPECT_EQ(t.Name, "Temperature");
  EXPECT_EQ(t.Units, "K");
  EXPECT_EQ(t.Format.Style, 1);
  EXPECT_EQ(t.Format.Digits, 3);
  EXPECT_EQ(record->Columns[1].Name, "h");
  EXPECT_EQ(record->Columns[1].Units, "kJ/kg");
  EXPECT_EQ(record->Columns[1].Format.Style, 0);
  EXPECT_EQ(record->Columns[1].Values[2], 4.5L);

  EXPECT_EQ(FindColumnByName("temperature", record, record->TableId), 1);
  EXPECT_EQ(GetTableColumnNumber("#2", record, record->TableId), 2.0L);
  EXPECT_EQ(GetTableColumnNumber("H", record, record->TableId), 2.0L);
  EXPECT_EQ(GetTableColumnNumber("#b", record, record->TableId), BlankValue);
  EXPECT_EQ(CalcErrorCode, kMsgUnexpectedEvaluationError);
  ClearCalcError();
  EXPECT_EQ(FindColumnByName("P", record, record->TableId), 0);
  EXPECT_EQ(CalcErrorCode, kMsgColumnNotFound);
}

TEST_F(LookupFilesTest, UnreadableCountsOrMissingFileLeaveNoRecord) {
  TLookupFileRecord* record = nullptr;
  EXPECT_EQ(Find(Write("empty.txt", "abc\n"), record), 0);
  EXPECT_NE(CalcErrorCode, 0);
  EXPECT_EQ(Find((dir / "none.csv").string(), record), 0);
  EXPECT_EQ(CalcErrorCode, kMsgLookupNotFound);
  EXPECT_TRUE(LookupFileList.empty());
}

TEST_F(LookupFilesTest, ChangedFileReloadsUnderItsIdentifier) {
  TLookupFileRecord* record = nullptr;
  const std::string a = Write("a.csv", "1,2\n");
  const std::string b = Write("b.csv", "7\n");
  EXPECT_EQ(Find(a, record), 1);
  EXPECT_EQ(Find(b, record), 2);
  // The same file found again keeps its identifier.
  EXPECT_EQ(Find(a, record), 1);
  Write("a.csv", "10,20,30\n40,50,60\n");
  std::filesystem::last_write_time(a, std::filesystem::last_write_time(a) + std::chrono::hours(1));
  EXPECT_EQ(Find(a, record), 1);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(record->ColumnCount, 3);
  EXPECT_EQ(record->Columns[0].Values[1], 40.0L);
  ASSERT_NE(FindLookupFileById(2), nullptr);
  EXPECT_EQ(FindLookupFileById(2)->Columns[0].Values[0], 7.0L);
  EXPECT_EQ(FindLookupFileById(3), nullptr);
}

TEST_F(LookupFilesTest, LktFileNamedWithoutExtension) {
  TTableForm* form = MakeLookup(2, 2, "Data");
  form->Columns->Name = "x";
  form->Columns->SetCell(1, 1.5L);
  form->Columns->SetCell(2, 2.5L);
  std::vector<uint8_t> bytes(16, 0);
  WriteTableSection(bytes, 6, false);
  const std::string path = (dir / "steam.lkt").string();
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));

  TLookupFileRecord* record = nullptr;
  const int32_t id = Find((dir / "steam").string(), record);
  ASSERT_EQ(CalcErrorCode, 0);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->ColumnCount, 2);
  EXPECT_EQ(record->Columns[0].Values[1], 2.5L);
  EXPECT_EQ(Find("STEAM.LKT", record), id);  // the loaded record, by its plain name
  // A tab caption wins over a file name.
  form->TabCaptions = {"Data", "steam"};
  EXPECT_EQ(Find("STEAM", record), -2);
  EXPECT_EQ(record, nullptr);
  EXPECT_EQ(Find("parametric", record), kParametricTableId);
}

}  // namespace
}  // namespace voq

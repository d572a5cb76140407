#include "tables/table_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/string_constants.h"
#include "model/document_settings.h"
#include "platform/platform.h"
#include "session/engine.h"
#include "table_fixture.h"
#include "tables/table_section.h"
#include "tables/tables_state.h"

namespace voq {
namespace {

class TableFilesTest : public testing::TableTest {
 protected:
  void SetUp() override {
    TableTest::SetUp();
    dir = std::filesystem::temp_directory_path() / ("voq_table_files_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    TableTest::TearDown();
  }
  std::string Path(const std::string& name) const { return (dir / name).string(); }
  static std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static std::string Cell(const TTableColumnRecord* c, int32_t row) { return StringConstText(int32_t(c->Cell(row))); }
  bool ReadText(TTableForm* form, const std::string& text, bool flagForm = false) {
    TTableTextReader in;
    in.Text = text;
    return ReadTable(*form, in, flagForm, "data.txt");
  }

  std::filesystem::path dir;
};

// Hand-written fields: sign position, one digit, point, width - 9 decimals,
// "E", exponent sign and four digits.
TEST_F(TableFilesTest, ScientificFieldsOfEachWidth) {
  struct Case {
    Extended x;
    int32_t width;
    const char* text;
  } cases[] = {
      {15, 14, " 1.50000E+0001"},       {BlankValue, 14, " 9.99000E+3998"},
      {-0.00125L, 14, "-1.25000E-0003"}, {0, 14, " 0.00000E+0000"},
      {15, 20, " 1.50000000000E+0001"}, {15, 12, " 1.500E+0001"},
      {-2.5E+300L, 12, "-2.500E+0300"},
  };
  for (const Case& c : cases) EXPECT_EQ(ScientificField(c.x, c.width), c.text) << double(c.x);
}

TEST_F(TableFilesTest, SaveTableWritesTitlesAndRunsWithoutTheSumRow) {
  Preferences.TableSumRow = 1;
  CompileOnly("a = 1\nb$ = 'x'");
  TTableForm* form = MakeParametric({"a", "b$"}, 2);
  ASSERT_NE(form, nullptr);
  TTableColumnRecord* a = form->Columns;
  TTableColumnRecord* b = a->Next;
  a->SetCell(1, 15);  // row 2 stays blank
  b->IsString = 1;
  b->SetCell(1, StringConstIndex("hot water"));
  const std::string path = Path("runs.txt");
  ASSERT_TRUE(SaveTable(*form, path, false));
  EXPECT_EQ(Slurp(path), "a\tb$\r\n 1.50000E+0001\thot water\r\n 9.99000E+3998\t\r\n");
  // Appending adds the title and the rows again.
  ASSERT_TRUE(SaveTable(*form, path, true));
  EXPECT_EQ(Slurp(path).size(), 2 * std::string("a\tb$\r\n 1.50000E+0001\thot water\r\n 9.99000E+3998\t\r\n").size());
  // Without append the file is written anew.
  ASSERT_TRUE(SaveTable(*form, path, false));
  EXPECT_EQ(Slurp(path).size(), std::string("a\tb$\r\n 1.50000E+0001\thot water\r\n 9.99000E+3998\t\r\n").size());
}

TEST_F(TableFilesTest, CsvNameInAnyCaseUsesTheArgumentSeparatorAndTitlesLoseTheirReturn) {
  TTableForm* form = MakeLookup(2, 1, "Data");
  form->Columns->Name = "Q\r[kW]";
  form->Columns->Next->Name = "T";
  form->Columns->SetCell(1, 2);
  form->Columns->Next->SetCell(1, -3);
  const std::string path = Path("heat.csv");
  ASSERT_TRUE(SaveTable(*form, path, false));
  const std::string s(1, ArgumentSeparator);
  EXPECT_EQ(Slurp(path), "Q[kW]" + s + "T\r\n 2.00000E+0000" + s + "-3.00000E+0000\r\n");
}

TEST_F(TableFilesTest, WritingBelowARegularFileReportsTheIOError) {
  TTableForm* form = MakeLookup(1, 1, "Data");
  std::ofstream(Path("plain")) << "x";
  EXPECT_FALSE(SaveTable(*form, Path("plain/t.txt"), false));
  ASSERT_EQ(platform.alerts.size(), 1u);
  CompileOnly("a = 1");
  TTableForm* parametric = MakeParametric({"a"}, 1);
  EXPECT_FALSE(StoreTable(*parametric, Path("plain/t.par"), "DOC.VOQ"));
  EXPECT_EQ(platform.alerts.size(), 2u);
}

TEST_F(TableFilesTest, StoredTableHasItsHeaderSectionAndTrailer) {
  CompileOnly("a = 1\nb = 2");
  TTableForm* form = MakeParametric({"a", "b"}, 2);
  form->WindowTop = 10;
  form->WindowLeft = -20;
  form->WindowWidth = 300;
  form->WindowHeight = 0x01020304;
  const std::vector<uint8_t> bytes = StoredTableBytes(*form, "/home/u/cycle.voq");
  std::vector<uint8_t> section;
  WriteTableSection(section, 4, false);
  ASSERT_EQ(bytes.size(), 288 + section.size() + 40);
  // Version: length byte, "6.462", ten zero bytes.
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), std::string("\x05" "6.462"));
  for (size_t i = 6; i < 16; ++i) EXPECT_EQ(bytes[i], 0) << i;
  EXPECT_EQ(std::string(bytes.begin() + 16, bytes.begin() + 26), std::string("\x09" "CYCLE.VOQ"));
  EXPECT_EQ(bytes[26], 0);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 272, bytes.begin() + 288),
            (std::vector<uint8_t>{10, 0, 0, 0, 0xEC, 0xFF, 0xFF, 0xFF, 0x2C, 1, 0, 0, 4, 3, 2, 1}));
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 288, bytes.end() - 40), section);
  for (size_t i = bytes.size() - 40; i < bytes.size(); ++i) EXPECT_EQ(bytes[i], 0);
  TStoredTableHeader h;
  UnpackStoredTableHeader(bytes.data(), h);
  EXPECT_EQ(h.Version, "6.462");
  EXPECT_EQ(h.DocumentName, "CYCLE.VOQ");
  EXPECT_EQ(h.Left, -20);
  EXPECT_EQ(h.Height, 0x01020304);
}

TEST_F(TableFilesTest, TokenFormReadsQuotedStringsAndTabRules) {
  TTableForm* form = MakeLookup(3, 3, "Data");
  // A row may continue on the next line; two tabs enclose a blank cell, two
  // blanks do not; the rest of a row's line is skipped.
  ASSERT_TRUE(ReadText(form, "1 'a b' 3\r\n4\t\t6\r\n7  8\n9 ignored\r\n"));
  const TTableColumnRecord* c1 = form->Columns;
  const TTableColumnRecord* c2 = c1->Next;
  const TTableColumnRecord* c3 = c2->Next;
  EXPECT_EQ(c1->Cell(1), 1);
  EXPECT_EQ(Cell(c2, 1), "a b");
  EXPECT_EQ(c2->Format.Style, kStyleStringConstant);
  EXPECT_EQ(c3->Cell(1), 3);
  EXPECT_EQ(c1->Cell(2), 4);
  EXPECT_TRUE(IsBlank(c2->Cell(2)));
  EXPECT_EQ(c3->Cell(2), 6);
  EXPECT_EQ(c1->Cell(3), 7);
  EXPECT_EQ(c2->Cell(3), 8);
  EXPECT_EQ(c3->Cell(3), 9);
}

TEST_F(TableFilesTest, TokenFormErrors) {
  struct Case {
    const char* text;
    int32_t error;
  } cases[] = {
      {"1\n2\n3\nabc\n", kMsgFileReadIOError},
      {"1\n'open\n", kMsgMissingQuoteOrSyntax},
      {"1\n'a'b\n", kMsgMissingQuoteOrSyntax},
      {"1\n2\n", kMsgLookupReadError},
      {"", kMsgLookupReadError},
  };
  for (const Case& c : cases) {
    TTableForm* form = MakeLookup(1, 4, "Data");
    ClearCalcError();
    EXPECT_FALSE(ReadText(form, c.text)) << c.text;
    EXPECT_EQ(CalcErrorCode, c.error) << c.text;
  }
  // The failing row and the file are named; the cells before it are kept.
  TTableForm* form = MakeLookup(1, 4, "Data");
  ASSERT_FALSE(ReadText(form, "1\n2\n3\nabc\n"));
  EXPECT_EQ(MessageArgs[1], "in row 4");
  EXPECT_EQ(MessageArgs[2], "data.txt");
  EXPECT_EQ(form->Columns->Cell(3), 3);
}

TEST_F(TableFilesTest, FlagFormReadsFlagsValuesAndOldBlanks) {
  CompileOnly("a = 1");
  TTableForm* form = MakeParametric({"a"}, 3);
  ASSERT_TRUE(ReadText(form, "5  1.50000000000E+0001\r\n0 9.985E+98\r\n1 -2\r\n", true));
  const TTableColumnRecord* c = form->Columns;
  EXPECT_EQ(c->Cell(1), 15);
  EXPECT_EQ(c->Flag(1), 1);
  EXPECT_TRUE(IsBlank(c->Cell(2)));
  EXPECT_EQ(c->Flag(2), 0);
  EXPECT_EQ(c->Cell(3), -2);
  for (const char* bad : {"1 2\r\nx 3\r\n", "1 2\r\n1\r\n", "1 2\r\n1 2q\r\n", "1 2\r\n"}) {
    ClearCalcError();
    EXPECT_FALSE(ReadText(form, bad, true)) << bad;
    EXPECT_EQ(CalcErrorCode, kMsgLookupReadError) << bad;
  }
}

TEST_F(TableFilesTest, WriteTableTextAndItsRoundTrip) {
  Preferences.TableSumRow = 1;
  CompileOnly("a = 1\nb = 2");
  TTableForm* form = MakeParametric({"b", "a"}, 2);
  form->Columns->SetCell(1, 15);
  form->Columns->SetFlag(1, 1);
  std::string text;
  WriteTable(*form, text, true);
  const std::string blank = "0  9.99000000000E+3998\r\n";
  EXPECT_EQ(text, "2 2\r\n" + std::to_string(VariableIndex("b")) + "\r\n" + std::to_string(VariableIndex("a")) +
                      "\r\n1  1.50000000000E+0001\r\n" + blank + blank + blank);
  std::string plain;
  WriteTable(*form, plain, false);
  EXPECT_EQ(plain, "2 2\r\n 1.500E+0001  9.990E+3998 \r\n 9.990E+3998  9.990E+3998 \r\n");

  // Lookup: name, style, digits per column; the flags are written as 0.
  TTableForm* lookup = MakeLookup(1, 1, "Data");
  lookup->Columns->Name = "Q\r[kW]";
  lookup->Columns->Format = {kStyleFixed, 3};
  lookup->Columns->SetCell(1, -0.5L);
  std::string lk;
  WriteTable(*lookup, lk, true);
  EXPECT_EQ(lk, "1 1\r\nQ[kW]\r\n1\r\n3\r\n0 -5.00000000000E-0001\r\n");

  // The cells read back in flag form from the text after the header lines.
  TTableTextReader in;
  in.Text = text;
  std::string line;
  for (int i = 0; i < 3; ++i) in.ReadLine(line);
  form->Columns->SetCell(1, 0);
  form->Columns->SetFlag(1, 0);
  ASSERT_TRUE(ReadTable(*form, in, true, "x"));
  EXPECT_EQ(form->Columns->Cell(1), 15);
  EXPECT_EQ(form->Columns->Flag(1), 1);
  EXPECT_TRUE(in.AtEnd());
}

int markedChanged = 0;
void MarkChanged() { ++markedChanged; }

class RetrieveTableTest : public TableFilesTest {
 protected:
  void SetUp() override {
    TableFilesTest::SetUp();
    markedChanged = 0;
  }
  // A stored table of columns a, b, c, d, e with one run, and a fresh start
  // whose main program knows x, y, z.
  std::string StoreFiveColumns(const std::string& name) {
    CompileOnly("a = 1\nb = 2\nc = 3\nd = 4\ne = 5");
    TTableForm* form = MakeParametric({"a", "b", "c", "d", "e"}, 1);
    for (TTableColumnRecord* c = form->Columns; c != nullptr; c = c->Next) c->SetCell(1, c->ColumnNumber * 10);
    form->WindowLeft = 12;
    form->WindowWidth = 345;
    const std::string path = Path(name);
    EXPECT_TRUE(StoreTable(*form, path, "/x/Cycle.voq"));
    // A fresh start restores the installed host: the scripted platform
    // goes back in.
    ResetEngineState();
    rescoped.emplace(platform);
    SetEquationsEditor(&editor);
    CompileOnly("x = 1\ny = 2\nz = 3");
    return path;
  }
  std::optional<ScopedPlatform> rescoped;
  void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
};

TEST_F(RetrieveTableTest, TableNameComesFromTheFileName) {
  EXPECT_EQ(StoredTableName("/data/RUNS.PAR"), "RUNS");
  EXPECT_EQ(StoredTableName("runs.par.old"), "runs");
  EXPECT_EQ(StoredTableName("C:\\t\\cycle.Par"), "cycle");
  EXPECT_EQ(StoredTableName("plain.tab"), "plain.tab");
}

TEST_F(RetrieveTableTest, StoredTableComesBackIntoAFreshDocument) {
  const std::string path = StoreFiveColumns("RUNS.PAR");
  ASSERT_TRUE(RetrieveStoredTable(path, "/elsewhere/CYCLE.VOQ", MarkChanged)) << CalcErrorCode;
  EXPECT_TRUE(platform.alerts.empty());  // same name in other letter case
  EXPECT_EQ(markedChanged, 1);
  // Three variables, five columns: "!3" and "!4" are added first; the
  // columns then bind to their own names.
  EXPECT_GT(VariableIndex("!3"), 0);
  EXPECT_GT(VariableIndex("!4"), 0);
  EXPECT_EQ(VariableIndex("!5"), 0);
  TTableForm* form = TableForms[1].get();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->TableName, "RUNS");
  EXPECT_EQ(form->WindowLeft, 12);
  EXPECT_EQ(form->WindowWidth, 345);
  const TTableColumnRecord* fifth = ColumnAtPosition(form->Columns, 5);
  ASSERT_NE(fifth, nullptr);
  EXPECT_EQ(fifth->VariableIndex, VariableIndex("e"));
  EXPECT_EQ(fifth->Cell(1), 50);
}

TEST_F(RetrieveTableTest, AnotherDocumentsNameAsksFirst) {
  const std::string path = StoreFiveColumns("runs.par");
  platform.alertAnswers.push_back(kResultNo);
  EXPECT_FALSE(RetrieveStoredTable(path, "Other.voq", MarkChanged));
  ASSERT_EQ(platform.alerts.size(), 1u);
  EXPECT_EQ(platform.alerts[0].kind, kAlertWarningYesNo);
  EXPECT_NE(platform.alerts[0].text.find("different name"), std::string::npos);
  EXPECT_EQ(markedChanged, 1);  // marked before the question
  EXPECT_FALSE(TableForms[1]);
  platform.alertAnswers.push_back(kResultYes);
  EXPECT_TRUE(RetrieveStoredTable(path, "", MarkChanged));
  EXPECT_TRUE(TableForms[1]);
}

TEST_F(RetrieveTableTest, HostileFilesGiveTheirMessageAndChangeNothing) {
  const std::string path = StoreFiveColumns("good.par");
  std::vector<uint8_t> good;
  {
    std::ifstream in(path, std::ios::binary);
    good.assign(std::istreambuf_iterator<char>(in), {});
  }
  const int32_t variables = MainProgramUnit->VariableCount;
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    int32_t error;
    bool marked;
  };
  std::vector<uint8_t> badVersion = good;
  badVersion[2] = 'x';  // "6x462"
  std::vector<uint8_t> manyColumns = good;
  manyColumns[288] = 0xE0;  // 12000 columns
  manyColumns[289] = 0x2E;
  std::vector<uint8_t> longVersion = good;
  longVersion[0] = 200;  // a length past the field: only 15 characters count
  const Case cases[] = {
      {"empty", {}, kMsgFileReadIOError, false},
      {"version only", std::vector<uint8_t>(good.begin(), good.begin() + 16), kMsgFileReadIOError, true},
      {"bad version", badVersion, kMsgIllegalCharacterInString, false},
      {"long version", longVersion, kMsgIllegalCharacterInString, false},
      {"cut section", std::vector<uint8_t>(good.begin(), good.begin() + 300), kMsgUnexpectedIOError, true},
      {"12000 columns", manyColumns, kMsgTooManyVariables, true},
  };
  for (const Case& c : cases) {
    markedChanged = 0;
    platform.alerts.clear();
    WriteBytes(Path("bad.par"), c.bytes);
    EXPECT_FALSE(RetrieveStoredTable(Path("bad.par"), "CYCLE.VOQ", MarkChanged)) << c.name;
    EXPECT_EQ(CalcErrorCode, c.error) << c.name;
    EXPECT_EQ(platform.alerts.size(), 1u) << c.name;
    EXPECT_EQ(markedChanged, c.marked ? 1 : 0) << c.name;
    EXPECT_EQ(MainProgramUnit->VariableCount, variables) << c.name;
    EXPECT_FALSE(TableForms[1]) << c.name;
  }
  // Message 370 names the position, the version text and the file.
  WriteBytes(Path("bad.par"), badVersion);
  RetrieveStoredTable(Path("bad.par"), "CYCLE.VOQ", MarkChanged);
  EXPECT_EQ(MessageArgs[1], "2");
  EXPECT_EQ(MessageArgs[2], "6x462");
  EXPECT_EQ(MessageArgs[3], Path("bad.par"));
}

}  // namespace
}  // namespace voq

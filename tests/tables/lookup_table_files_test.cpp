// Lookup tables written to files and read back into tabs, and the
// $SAVELOOKUP and $OPENLOOKUP directives that do so around a solve.
#include "tables/lookup_table_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/string_constants.h"
#include "model/lookup_table_access.h"
#include "tables/lookup_files.h"
#include "tables/table_dialogs.h"
#include "tables/table_fixture.h"
#include "tables/tables_state.h"

namespace voq {
namespace {

class LookupTableFilesTest : public testing::TableTest {
 protected:
  void SetUp() override {
    TableTest::SetUp();
    dir = std::filesystem::temp_directory_path() / ("voq_lookup_files_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    TableTest::TearDown();
  }
  std::string Path(const std::string& name) { return (dir / name).string(); }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // Steam: T [C] in fixed style with 1 digit, h [kJ/kg] automatic, 3 rows.
  TTableForm* MakeSteam() {
    TTableForm* form = MakeLookup(2, 3, "Steam");
    form->Columns->Name = "T\r[C]";
    form->Columns->Format = {kStyleFixed, 1};
    form->Columns->Next->Name = "h\r[kJ/kg]";
    form->Columns->Next->Format = {kStyleAutomatic, 4};
    for (int32_t r = 1; r <= 3; ++r) {
      form->Columns->SetCell(r, 100.0L * r);
      form->Columns->Next->SetCell(r, 0.5L + r);
    }
    form->MultipleTableRefresh();
    return form;
  }
  long double Solve(const std::string& text, const std::string& name) {
    editor.SetText(text);
    EquationsCompiled = false;
    CheckOnlyMode = false;
    CompileEquations(false, false);
    const TVariableRecord* v = MainProgramUnit->Variable(VariableIndex(name));
    return v != nullptr ? v->Value : -12345;
  }
  std::filesystem::path dir;
};

TEST_F(LookupTableFilesTest, TextFormsAsWritten) {
  MakeSteam();
  std::ostringstream text;
  WriteLookupText(text, true, false);
  EXPECT_EQ(text.str(),
            "3 -2\r\nF1 T [C]\r\nA4 h [kJ/kg]\r\n"
            "1.00000000E+02\t1.50000000E+00\t\r\n"
            "2.00000000E+02\t2.50000000E+00\t\r\n"
            "3.00000000E+02\t3.50000000E+00\t\r\n");
  std::ostringstream csv;
  WriteLookupText(csv, false, true);
  EXPECT_EQ(csv.str().substr(0, 32), "1.00000000E+02,1.50000000E+00,\r\n");
}

// Written and read back, a table keeps its titles, units, styles and
// digits (text, ".LKT") or its values only (CSV); the tab is named after
// the file.
TEST_F(LookupTableFilesTest, RoundTrips) {
  for (const char* name : {"steam.txt", "steam.lkt", "steam.csv"}) {
    ResetTablesState();
    MakeSteam();
    ASSERT_TRUE(WriteLookupFile(Path(name))) << name;
    ResetTablesState();
    ASSERT_EQ(ReadLookupFile(Path(name)), 0) << name;
    TTableForm* form = TableForms[size_t(kLookupTableKind)].get();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->TableName, "steam") << name;
    ASSERT_EQ(TableRowCounts[size_t(kLookupTableKind)], 3) << name;
    const TTableColumnRecord* t = form->Columns;
    ASSERT_NE(t, nullptr);
    ASSERT_NE(t->Next, nullptr);
    EXPECT_EQ(t->Cell(2), 200.0L) << name;
    EXPECT_EQ(t->Next->Cell(3), 3.5L) << name;
    if (std::string(name) != "steam.csv") {
      EXPECT_EQ(t->Name, "T\r[C]") << name;
      EXPECT_EQ(t->Format.Style, kStyleFixed) << name;
      EXPECT_EQ(t->Format.Digits, 1) << name;
      EXPECT_EQ(t->Next->Name, "h\r[kJ/kg]") << name;
      EXPECT_EQ(LookupTables().ColumnUnits(-1, 2), "kJ/kg") << name;
    } else {
      EXPECT_EQ(t->Name, "Column1");
    }
  }
}

TEST_F(LookupTableFilesTest, SaveLookupAfterASolve) {
  MakeSteam();
  const std::string out = Path("saved.csv");
  EXPECT_NEAR(double(Solve("$SAVELOOKUP 'Steam' '" + out + "'\r\nx = LOOKUP('Steam', 2, 2)", "x")), 2.5, 1E-12);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(Read(out), "1.00000000E+02,1.50000000E+00,\r\n2.00000000E+02,2.50000000E+00,\r\n"
                       "3.00000000E+02,3.50000000E+00,\r\n");
  struct Bad {
    std::string directive;
    int32_t error;
  } bad[] = {
      {"$SAVELOOKUP 'Steam' out.csv", kMsgFileNameArgument},
      {"$SAVELOOKUP 'Steam' 'out.dat'", kMsgSaveLookupExtension},
      {"$SAVELOOKUP 'Nope' 'out.csv'", kMsgLookupTableMissing},
      {"$SAVELOOKUP 'Steam'", kMsgSaveLookupError},
      {"$SAVELOOKUP Steam 'out.csv'", kMsgSaveLookupVariable},
  };
  for (const Bad& b : bad) {
    CalcErrorCode = 0;
    Solve(b.directive + "\r\nx = 1", "x");
    EXPECT_EQ(CalcErrorCode, b.error) << b.directive;
  }
  CalcErrorCode = 0;
}

TEST_F(LookupTableFilesTest, OpenLookupNamesTheTable) {
  const std::string path = Path("Water.txt");
  std::ofstream(path, std::ios::binary) << "3 -2\nF1 T [C]\nA4 v\n10 1.5\n20 2.5\n30 3.5\n";
  EXPECT_NEAR(double(Solve("$OPENLOOKUP '" + path + "' W$\r\nx = LOOKUP(W$, 3, 'v')", "x")), 3.5, 1E-12);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(StringConstText(int32_t(MainProgramUnit->Variable(VariableIndex("W$"))->Value)), "Water");
  // Opening the unchanged file again reuses its tab.
  Solve("$OPENLOOKUP '" + path + "' W$\r\nx = LOOKUP(W$, 1, 1)", "x");
  EXPECT_EQ(TableForms[size_t(kLookupTableKind)]->TabCaptions.size(), 1u);
  EXPECT_EQ(CalcErrorCode, 0);
}

// The text form as a user writes it: counts -1 -2 (rows counted from the
// lines), two format lines, five rows; an "S" column of quoted strings.
TEST_F(LookupTableFilesTest, TextFileWithFormatsAndStrings) {
  const std::string path = Path("Steam.txt");
  std::ofstream(path, std::ios::binary) << "-1 -2\r\nF2 Temp [C]\r\nS0 Phase\r\n"
                                           "10\t'liquid'\t\r\n20\t'liquid'\t\r\n100\t'two phase'\t\r\n"
                                           "150\t' '\t\r\n200\t'vapour'\t\r\n\r\n";
  ASSERT_EQ(ReadLookupFile(path), 0);
  TTableForm* form = TableForms[size_t(kLookupTableKind)].get();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->TableName, "Steam");
  EXPECT_EQ(TableRowCounts[size_t(kLookupTableKind)], 5);
  EXPECT_EQ(TableColumnCounts[size_t(kLookupTableKind)], 2);
  const TTableColumnRecord* t = form->Columns;
  ASSERT_NE(t->Next, nullptr);
  EXPECT_EQ(t->Name, "Temp\r[C]");
  EXPECT_EQ(t->Format.Style, kStyleFixed);
  EXPECT_EQ(t->Format.Digits, 2);
  EXPECT_EQ(t->Cell(3), 100.0L);
  EXPECT_EQ(t->Flag(5), 1);
  EXPECT_EQ(t->Next->Name, "Phase");
  EXPECT_EQ(t->Next->Format.Style, kStyleStringConstant);
  EXPECT_EQ(StringConstText(int32_t(t->Next->Cell(3))), "two phase");

  // The equations' reader gives the same table.
  TLookupFileRecord record;
  ASSERT_TRUE(ReadTextLookupFile(path, record));
  ASSERT_EQ(record.RowCount, 5);
  ASSERT_EQ(record.ColumnCount, 2);
  EXPECT_EQ(record.Columns[0].Name, "Temp");
  EXPECT_EQ(record.Columns[0].Units, "C");
  EXPECT_EQ(record.Columns[1].IsString, 1);
  EXPECT_EQ(StringConstText(int32_t(record.Columns[1].Values[4])), "vapour");
  EXPECT_TRUE(IsBlank(record.Columns[1].Values[3]));
}

TEST_F(LookupTableFilesTest, CsvColumnsFromTheFirstLine) {
  for (const char* body : {"1,2,3\r\n4,5,6\r\n", "1,2,3,\r\n4,5,6,\r\n"}) {
    ResetTablesState();
    const std::string path = Path("three.csv");
    std::ofstream(path, std::ios::binary | std::ios::trunc) << body;
    ASSERT_EQ(ReadLookupFile(path), 0) << body;
    EXPECT_EQ(TableColumnCounts[size_t(kLookupTableKind)], 3) << body;
    EXPECT_EQ(TableRowCounts[size_t(kLookupTableKind)], 2) << body;
    EXPECT_EQ(TableForms[size_t(kLookupTableKind)]->Columns->Next->Next->Cell(2), 6.0L) << body;
    TLookupFileRecord record;
    ASSERT_TRUE(ReadTextLookupFile(path, record)) << body;
    EXPECT_EQ(record.ColumnCount, 3) << body;
    EXPECT_EQ(record.Columns[2].Values[1], 6.0L) << body;
  }
}

TEST_F(LookupTableFilesTest, CsvUnderADecimalComma) {
  SetDecimalSeparator(',');
  MakeSteam();
  const std::string path = Path("comma.csv");
  ASSERT_TRUE(WriteLookupFile(path));
  EXPECT_EQ(Read(path).substr(0, 32), "1,00000000E+02;1,50000000E+00;\r\n");
  ResetTablesState();
  ASSERT_EQ(ReadLookupFile(path), 0);
  EXPECT_EQ(TableColumnCounts[size_t(kLookupTableKind)], 2);
  EXPECT_EQ(TableForms[size_t(kLookupTableKind)]->Columns->Next->Cell(3), 3.5L);
  TLookupFileRecord record;
  ASSERT_TRUE(ReadTextLookupFile(path, record));
  EXPECT_EQ(record.ColumnCount, 2);
  EXPECT_EQ(record.Columns[1].Values[2], 3.5L);
  SetDecimalSeparator('.');
}

// Counts are untrusted: a refused file adds no tab and leaves the shown
// table as it was.
TEST_F(LookupTableFilesTest, HostileFilesLeaveTheWindowAlone) {
  MakeSteam();
  struct Case {
    const char* name;
    std::string body;
    int32_t error;
  } cases[] = {
      {"wide.txt", "1 1001\r\n1\r\n", kMsgColumnLimit},
      {"wideformats.txt", "1 -1001\r\nF1 a\r\n", kMsgColumnLimit},
      {"short.txt", "5 2\r\n1 2\r\n3 4\r\n", kMsgLookupReadError},
      {"huge.txt", "2000000000 2\r\n1 2\r\n", kMsgLookupReadError},
      {"nocounts.txt", "abc\r\n", kMsgLookupReadError},
      {"badvalue.txt", "2 2\r\n1 2\r\n3 x4\r\n", kMsgFileReadIOError},
      {"quote.txt", "1 1\r\n'open\r\n", kMsgMissingQuoteOrSyntax},
  };
  for (const Case& c : cases) {
    std::ofstream(Path(c.name), std::ios::binary | std::ios::trunc) << c.body;
    platform.alerts.clear();
    EXPECT_EQ(ReadLookupFile(Path(c.name)), c.error) << c.name;
    EXPECT_EQ(CalcErrorCode, c.error) << c.name;
    ASSERT_EQ(platform.alerts.size(), 1u) << c.name;
    if (c.error == kMsgColumnLimit) {
      EXPECT_EQ(platform.alerts[0].text, "There is an upper limit of 1000 columns.");
    }
    TTableForm* form = TableForms[size_t(kLookupTableKind)].get();
    ASSERT_NE(form, nullptr) << c.name;
    EXPECT_EQ(form->TabCaptions.size(), 1u) << c.name;
    EXPECT_EQ(form->TableName, "Steam") << c.name;
    EXPECT_EQ(form->Columns->Cell(2), 200.0L) << c.name;
    CalcErrorCode = 0;
  }
  // Without a window none is left behind.
  ResetTablesState();
  EXPECT_EQ(ReadLookupFile(Path("badvalue.txt")), kMsgFileReadIOError);
  EXPECT_EQ(TableForms[size_t(kLookupTableKind)].get(), nullptr);
  CalcErrorCode = 0;
}

TEST_F(LookupTableFilesTest, NameClashAsksAndCancelRemovesTheNewTab) {
  const std::string path = Path("Steam.txt");
  std::ofstream(path, std::ios::binary) << "2 2\r\n1 2\r\n3 4\r\n";
  ASSERT_EQ(ReadLookupFile(path), 0);
  platform.alertAnswers.push_back(kResultCancel);
  EXPECT_EQ(ReadLookupFile(path), kMsgCancelled);
  ASSERT_FALSE(platform.alerts.empty());
  EXPECT_NE(platform.alerts.back().text.find("name Steam exists"), std::string::npos);
  EXPECT_EQ(TableForms[size_t(kLookupTableKind)]->TabCaptions.size(), 1u);
  CalcErrorCode = 0;
  EXPECT_EQ(ReadLookupFile(Path("missing.lkt")), kMsgFileNotFound);
  CalcErrorCode = 0;
}

}  // namespace
}  // namespace voq

namespace voq {
namespace {

using LookupTableCommandsTest = LookupTableFilesTest;

TEST_F(LookupTableCommandsTest, NewLookupTable) {
  TNewLookupModel first;
  EXPECT_EQ(first.Title, "Lookup 1");
  EXPECT_EQ(first.Rows, 20);
  EXPECT_EQ(first.Columns, 2);
  ASSERT_TRUE(first.Ok());
  first.DiscardUndo();
  EXPECT_EQ(first.MacroLine(), "NewLookup 'Lookup 1'  Rows=20  Cols=2");
  TTableForm* form = TableForms[size_t(kLookupTableKind)].get();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(TableRowCounts[size_t(kLookupTableKind)], 20);
  EXPECT_FALSE(DocumentUnchanged);

  TNewLookupModel second;
  EXPECT_EQ(second.Title, "Lookup 2");
  second.Title = "  Flow  ";
  second.Rows = 5;
  second.Columns = 3;
  ASSERT_TRUE(second.Ok());
  second.DiscardUndo();
  EXPECT_EQ(form->TableName, "Flow");
  EXPECT_EQ(form->TabCaptions.back(), "Flow");
  EXPECT_EQ(TableColumnCounts[size_t(kLookupTableKind)], 3);

  struct Refused {
    std::string title;
    int32_t rows, columns;
    size_t alerts;
  } refused[] = {{"flow", 5, 3, 1}, {"   ", 5, 3, 1}, {"Other", 0, 3, 0}, {"Other", 9001, 3, 0}, {"Other", 5, 1001, 0}};
  for (const Refused& r : refused) {
    platform.alerts.clear();
    TNewLookupModel model;
    model.Title = r.title;
    model.Rows = r.rows;
    model.Columns = r.columns;
    EXPECT_FALSE(model.Ok()) << r.title;
    model.DiscardUndo();
    ASSERT_EQ(platform.alerts.size(), r.alerts) << r.title;
    if (r.alerts > 0) {
      EXPECT_EQ(platform.alerts[0].text,
                "The table name provided is either illegal or it duplicates an existing Lookup Table name.");
    }
    EXPECT_EQ(form->TabCaptions.size(), 2u);
  }
}

TEST_F(LookupTableCommandsTest, QuestionMarkFileNamesAreWrittenIntoTheEquations) {
  const std::string in = Path("Asked.txt");
  std::ofstream(in, std::ios::binary) << "1 1\r\n5\r\n";
  platform.openFileAnswers.push_back(in);
  EXPECT_NEAR(double(Solve("$OPENLOOKUP ?\r\nx = LOOKUP('Asked', 1, 1)", "x")), 5.0, 1E-12);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(editor.GetText(), "$OPENLOOKUP " + in + "\r\nx = LOOKUP('Asked', 1, 1)");
  EXPECT_EQ(platform.fileDialogTitles.size(), 1u);
  Solve(editor.GetText(), "x");
  EXPECT_EQ(platform.fileDialogTitles.size(), 1u) << "the next solve asks nothing";

  const std::string out = Path("out.csv");
  platform.openFileAnswers.push_back(out);
  Solve("$SAVELOOKUP 'Asked' ?\r\nx = 1", "x");
  ASSERT_EQ(CalcErrorCode, 0);
  ASSERT_EQ(platform.fileDialogTitles.size(), 2u);
  EXPECT_EQ(platform.saveDialogTitles, std::vector<std::string>{"Save Lookup File"});
  EXPECT_EQ(editor.GetText(), "$SAVELOOKUP 'Asked' '" + out + "'\r\nx = 1");
  EXPECT_EQ(Read(out), "5.00000000E+00,\r\n");
}

TEST_F(LookupTableCommandsTest, OpenRecordsEachFileReadAndStopsAtTheFirstError) {
  std::ofstream(Path("a.txt"), std::ios::binary) << "1 1\r\n5\r\n";
  std::ofstream(Path("b.txt"), std::ios::binary) << "3 1\r\n5\r\n";
  std::ofstream(Path("c.txt"), std::ios::binary) << "1 1\r\n7\r\n";
  std::vector<std::string> macro;
  const int32_t read = OpenLookupFiles({Path("a.txt"), Path("b.txt"), Path("c.txt")},
                                       [&](const std::string& line) { macro.push_back(line); });
  EXPECT_EQ(read, 1);
  EXPECT_EQ(CalcErrorCode, kMsgLookupReadError);
  ASSERT_EQ(macro.size(), 1u);
  EXPECT_EQ(macro[0], "OpenLookup " + Path("a.txt"));
  EXPECT_EQ(TableForms[size_t(kLookupTableKind)]->TabCaptions.size(), 1u);
  CalcErrorCode = 0;
  EXPECT_EQ(CurrentLookupFileName(), std::filesystem::absolute(Path("a.txt")).string());
  ASSERT_TRUE(SaveLookupTableAs(Path("a2.csv")));
  EXPECT_EQ(Read(Path("a2.csv")), "5.00000000E+00,\r\n");
}

}  // namespace
}  // namespace voq

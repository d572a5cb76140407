#include "documents/document_text.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "../tables/table_fixture.h"
#include "core/calc_state.h"
#include "core/message_ids.h"
#include "documents/document_files.h"
#include "model/document_settings.h"
#include "model/store_state.h"
#include "session/min_max.h"
#include "tables/tables_state.h"

namespace voq {
namespace {

namespace fs = std::filesystem;

class DocumentTextTest : public testing::TableTest {
 protected:
  void SetUp() override {
    TableTest::SetUp();
    dir = fs::temp_directory_path() / ("voq_doctext_" + std::to_string(::getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir, ec);
    TableTest::TearDown();
  }
  std::string Path(const std::string& name) const { return (dir / name).string(); }
  static std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t from = 0;
    while (from < text.size()) {
      const size_t end = text.find("\r\n", from);
      lines.push_back(text.substr(from, end - from));
      if (end == std::string::npos) break;
      from = end + 2;
    }
    return lines;
  }
  // The N line of an export: after the 27 header lines, L and the L text
  // lines.
  static int VariableCountOf(const std::string& text) {
    const std::vector<std::string> lines = Lines(text);
    const int L = std::stoi(lines[27]);
    return std::stoi(lines[size_t(28 + L)]);
  }
  TVariableRecord* Var(const std::string& name) { return MainProgramUnit->Variable(VariableIndex(name)); }

  fs::path dir;
};

TEST_F(DocumentTextTest, ExportStartsWithFormatSettingsAndCriteria) {
  editor.SetText("x = 2");
  DocumentSettings.PressureUnit = 3;
  DocumentSettings.EnergyUnit = 0;
  ASSERT_TRUE(ExportDocumentText(Path("a.xpt")));
  const std::vector<std::string> lines = Lines(Slurp(Path("a.xpt")));
  ASSERT_GT(lines.size(), 30u);
  EXPECT_EQ(lines[0], "-303");
  EXPECT_EQ(lines[4], "3");                     // pressure unit, as it stands
  EXPECT_EQ(lines[6], " 1.74532930000E-0002");  // pi/180 to nine digits
  EXPECT_EQ(lines[7], " 1.00000000000E-0006");  // the default relative residual
  EXPECT_EQ(lines[9], "250");
  EXPECT_EQ(lines[27], "1");         // one text line
  EXPECT_EQ(lines[28], std::string("x = 2") + '\0');
  EXPECT_EQ(lines.back(), "0 0");  // no lookup table
}

TEST_F(DocumentTextTest, RoundTripKeepsSettingsLimitsLongLinesAndTables) {
  const std::string longLine = "y = x {" + std::string(392, 'c') + "}";
  ASSERT_EQ(longLine.size(), 400u);
  CompileOnly("x = 2\r\n" + longLine + "\r\nz = 3");
  DocumentSettings.PressureUnit = 3;
  Var("x")->LowerLimit = -5;
  Var("z")->LowerLimit = -2.0E+98L;
  Var("z")->UpperLimit = 1.5E+98L;
  Var("x")->Units = "kPa";
  TTableForm* form = MakeParametric({"x", "z"}, 2);
  form->Columns->SetCell(1, 15);
  form->Columns->SetFlag(1, 1);
  TTableForm* lookup = MakeLookup(1, 1, "Data");
  lookup->Columns->Name = "Q\r[kW]";
  lookup->Columns->SetCell(1, 4.5L);
  const std::string text = editor.GetText();
  ASSERT_TRUE(ExportDocumentText(Path("a.xpt")));

  ResetTablesState();
  DocumentSettings = TDocumentSettingsRecord();
  editor.SetText("");
  ASSERT_TRUE(ImportDocumentText(Path("a.xpt"), false)) << CalcErrorCode;
  EXPECT_TRUE(platform.alerts.empty());
  EXPECT_EQ(editor.GetText(), text);
  EXPECT_NE(editor.GetText().find(longLine), std::string::npos);
  EXPECT_EQ(DocumentSettings.PressureUnit, 1);
  EXPECT_EQ(DocumentSettings.EnergyUnit, 1);
  EXPECT_EQ(Var("x")->LowerLimit, -5);
  EXPECT_EQ(Var("x")->Units, "kPa");
  EXPECT_EQ(Var("z")->LowerLimit, -InfinityValue);
  EXPECT_EQ(Var("z")->UpperLimit, InfinityValue);
  ASSERT_TRUE(TableForms[1]);
  EXPECT_EQ(TableForms[1]->TableName, "Table 1");
  EXPECT_EQ(TableForms[1]->Columns->VariableIndex, VariableIndex("x"));
  EXPECT_EQ(TableForms[1]->Columns->Name, "x");
  EXPECT_EQ(TableForms[1]->Columns->Cell(1), 15);
  EXPECT_EQ(TableForms[1]->Columns->Flag(1), 1);
  ASSERT_TRUE(TableForms[2]);
  EXPECT_EQ(TableForms[2]->Columns->Name, "Q\r[kW]");
  EXPECT_EQ(TableForms[2]->Columns->Cell(1), 4.5L);
}

TEST_F(DocumentTextTest, CompiledExportListsOnlyTheUsedVariables) {
  CompileOnly("a = 1\nb = 2\nc = 3");
  CompileOnly("a = 1");  // b and c stay in the list, unused
  EquationsCompiled = false;
  ASSERT_TRUE(ExportDocumentText(Path("all.xpt")));
  EXPECT_EQ(VariableCountOf(Slurp(Path("all.xpt"))), 3);
  EquationsCompiled = true;
  // c is a column of the parametric table and is kept; its column is
  // renumbered 2.
  MakeParametric({"c"}, 1);
  ASSERT_TRUE(ExportDocumentText(Path("used.xpt")));
  const std::string used = Slurp(Path("used.xpt"));
  EXPECT_EQ(VariableCountOf(used), 2);
  EXPECT_NE(used.find("\r\n1 1\r\n2\r\n"), std::string::npos);
  EXPECT_EQ(ParametricColumnOrder[1], VariableIndex("c"));  // restored
}

TEST_F(DocumentTextTest, LineFeedOnlyFileImportsWithoutBeingWritten) {
  editor.SetText("p = 4\r\nq = p");
  ASSERT_TRUE(ExportDocumentText(Path("a.xpt")));
  std::string lf = Slurp(Path("a.xpt"));
  for (size_t at; (at = lf.find("\r\n")) != std::string::npos;) lf.erase(at, 1);
  Write(Path("lf.xpt"), lf);
  const auto before = fs::last_write_time(Path("lf.xpt"));
  editor.SetText("");
  ASSERT_TRUE(ImportDocumentText(Path("lf.xpt"), false));
  EXPECT_EQ(editor.GetText(), "p = 4\r\nq = p");
  EXPECT_EQ(Slurp(Path("lf.xpt")), lf);
  EXPECT_EQ(fs::last_write_time(Path("lf.xpt")), before);
}

TEST_F(DocumentTextTest, HostileFilesAreRefusedWithoutACrash) {
  CompileOnly("a = 1");
  MakeParametric({"a"}, 2);
  ASSERT_TRUE(ExportDocumentText(Path("a.xpt")));
  const std::string good = Slurp(Path("a.xpt"));
  // Every cut of the file fails cleanly with an alert.
  for (size_t cut = 0; cut + 2 < good.size(); cut += 7) {
    Write(Path("cut.xpt"), good.substr(0, cut));
    platform.alerts.clear();
    EXPECT_FALSE(ImportDocumentText(Path("cut.xpt"), false)) << cut;
    EXPECT_FALSE(platform.alerts.empty()) << cut;
  }
  // Counts the file cannot hold are refused before anything is made.
  const std::vector<std::string> lines = Lines(good);
  const int L = std::stoi(lines[27]);
  auto with = [&](size_t line, const std::string& value) {
    std::vector<std::string> copy = lines;
    copy[line] = value;
    std::string out;
    for (const std::string& l : copy) out += l + "\r\n";
    return out;
  };
  const size_t nLine = size_t(28 + L);
  const size_t tableLine = nLine + 1 + 8 * size_t(std::stoi(lines[nLine]));
  for (const std::string& bad : {with(27, "2147483647"), with(27, "-3"), with(nLine, "99999999"),
                                 with(nLine, "2000000000"), with(tableLine, "30000 30000"),
                                 with(tableLine, "2 12000"), with(tableLine + 1, "77")}) {
    Write(Path("bad.xpt"), bad);
    platform.alerts.clear();
    EXPECT_FALSE(ImportDocumentText(Path("bad.xpt"), false));
    EXPECT_FALSE(platform.alerts.empty());
  }
}

TEST_F(DocumentTextTest, ExportToAPathBelowAFileReportsTheIOError) {
  Write(Path("plain"), "x");
  EXPECT_FALSE(ExportDocumentText(Path("plain/a.xpt")));
  EXPECT_EQ(platform.alerts.size(), 1u);
}

TEST_F(DocumentTextTest, DocumentFilesUseTheHooks) {
  ASSERT_TRUE(DocumentFormatHooks().ExportDocumentText);
  ASSERT_TRUE(DocumentFormatHooks().ImportDocumentText);
  editor.SetText("k = 9");
  ASSERT_TRUE(SaveDocumentFile(Path("d.XPT"), false, false, false));
  editor.SetText("");
  ASSERT_TRUE(ReadDocumentFile(Path("d.XPT"), false));
  EXPECT_EQ(editor.GetText(), "k = 9");
}

}  // namespace
}  // namespace voq

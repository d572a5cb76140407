// The table functions solved over the real table model: a Lookup Table tab
// and lookup files read by LOOKUP, LOOKUPROW, INTERPOLATE and
// DIFFERENTIATE, a changed file read again, and cells a routine assigns.
#include "tables/lookup_table_services.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "model/document_settings.h"
#include "model/lookup_table_access.h"
#include "tables/table_fixture.h"
#include "tables/tables_state.h"

namespace voq {
namespace {

class LookupTableServicesTest : public testing::TableTest {
 protected:
  void SetUp() override {
    TableTest::SetUp();
    dir = std::filesystem::temp_directory_path() / ("voq_lookup_services_" + std::to_string(::getpid()));
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
  // Compiles and solves text; the value of name afterwards.
  long double Solve(const std::string& text, const std::string& name) {
    editor.SetText(text);
    EquationsCompiled = false;
    CheckOnlyMode = false;
    CompileEquations(false, false);
    const TVariableRecord* v = MainProgramUnit->Variable(VariableIndex(name));
    return v != nullptr ? v->Value : -12345;
  }
  // Lookup 1: x = 0..5 and x^3.
  void MakeCubeTab() {
    TTableForm* form = MakeLookup(2, 6, "Lookup 1");
    ASSERT_NE(form, nullptr);
    form->Columns->Name = "x";
    form->Columns->Next->Name = "cube";
    for (int32_t r = 1; r <= 6; ++r) {
      form->Columns->SetCell(r, r - 1);
      form->Columns->Next->SetCell(r, Extended(r - 1) * (r - 1) * (r - 1));
    }
  }
  std::filesystem::path dir;
};

TEST_F(LookupTableServicesTest, WindowTabThroughTheSolver) {
  MakeCubeTab();
  EXPECT_EQ(LookupTables().FindTable("lookup 1"), -1);
  EXPECT_EQ(Solve("y = LOOKUP('Lookup 1', 1.5, 'cube')", "y"), 0.5L);  // the mean of rows 1 and 2
  EXPECT_EQ(Solve("y = LOOKUP(3, 2)", "y"), 8.0L);                       // the first tab
  // A cubic through four rows of x^3 is exact: 2.5^3 and 3 * 2.5^2.
  EXPECT_NEAR(double(Solve("y = INTERPOLATE('Lookup 1', 'cube', 'x', x=2.5)", "y")), 15.625, 1E-14);
  EXPECT_NEAR(double(Solve("y = DIFFERENTIATE('Lookup 1', 'cube', 'x', x=2.5)", "y")), 18.75, 1E-13);
  // The equation solved for its argument: x^3 = 27 at x = 3.
  EXPECT_NEAR(double(Solve("27 = INTERPOLATE1('Lookup 1', 'cube', 'x', x=z)", "z")), 3.0, 1E-9);
  EXPECT_EQ(Solve("r = LOOKUPROW('Lookup 1', 'cube', 64)", "r"), 5.0L);
  EXPECT_EQ(Solve("n = NLOOKUPROWS('Lookup 1')", "n"), 6.0L);
  // Row 0 reads row 1 with the warnings off; with them on it is error 168.
  Preferences.WarningsB = 0;
  EXPECT_EQ(Solve("y = LOOKUP('Lookup 1', 0, 1)", "y"), 0.0L);
  EXPECT_EQ(CalcErrorCode, 0);
  Preferences.WarningsB = 1;
  Solve("y = LOOKUP('Lookup 1', 0, 1)", "y");
  EXPECT_EQ(CalcErrorCode, kMsgTableRowRange);
  CalcErrorCode = 0;
}

TEST_F(LookupTableServicesTest, LookupFilesThroughTheSolver) {
  const std::string csv = Write("cube.csv", "0,0\n1,1\n2,8\n3,27\n4,64\n5,125\n");
  const std::string text = Write("units.txt",
                                 "3 -2\nF3 Temperature [K]\nF1 Enthalpy [kJ/kg]\n300 600\n310 620\n320 640\n");
  EXPECT_EQ(Solve("y = LOOKUP('" + csv + "', 3, 2)", "y"), 8.0L);
  EXPECT_EQ(Solve("y = LOOKUP('" + text + "', 2, 'Enthalpy')", "y"), 620.0L);
  EXPECT_NEAR(double(Solve("y = INTERPOLATE1('" + text + "', 'Enthalpy', 'Temperature', Temperature=305)", "y")),
              610.0, 1E-12);
  // The file changes on disk: read again under the same identifier.
  TLookupFileRecord* before = LookupFileList.front().get();
  const int32_t id = before->TableId;
  Write("cube.csv", "0,0\n1,2\n2,16\n");
  std::filesystem::last_write_time(csv, std::filesystem::file_time_type::clock::now() + std::chrono::seconds(5));
  EXPECT_EQ(Solve("y = LOOKUP('" + csv + "', 3, 2)", "y"), 16.0L);
  EXPECT_EQ(LookupFileList.front()->TableId, id);
  // A string variable names the file at evaluation; the equation is then
  // solved iteratively rather than alone.
  EXPECT_NEAR(double(Solve("F$ = '" + text + "'\r\ny = LOOKUP(F$, 1, 1)", "y")), 300.0, 1E-9);
}

// A FUNCTION stores into a cell through a LOOKUP call on its left side.
TEST_F(LookupTableServicesTest, RoutineAssignsALookupCell) {
  MakeCubeTab();
  const std::string body = "FUNCTION Put(v, i)\r\n  LOOKUP('Lookup 1', i, 'cube') := v\r\n  Put := v\r\nEND\r\n";
  EXPECT_NEAR(double(Solve(body + "y = Put(42, 2)", "y")), 42.0, 1E-9);
  ASSERT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(TableForms[size_t(kLookupTableKind)]->Columns->Next->Cell(2), 42.0L);
  // A row outside the table, an expression as the row.
  Solve(body + "y = Put(42, 9)", "y");
  EXPECT_EQ(CalcErrorCode, kMsgTableRowRange);
  CalcErrorCode = 0;
  Solve("FUNCTION Put(v, i)\r\n  LOOKUP('Lookup 1', i+1, 'cube') := v\r\n  Put := v\r\nEND\r\ny = Put(42, 2)", "y");
  EXPECT_EQ(CalcErrorCode, kMsgLookupExpressionArgument);
  CalcErrorCode = 0;
  // A lookup file is not a table the equations may write: refused, and no
  // tab of the window is touched instead.
  const std::string csv = Write("cube.csv", "0,0\n1,1\n2,8\n");
  Solve("FUNCTION Put(v, i)\r\n  LOOKUP('" + csv + "', i, 2) := v\r\n  Put := v\r\nEND\r\ny = Put(42, 1)", "y");
  EXPECT_EQ(CalcErrorCode, kMsgLookupReadError);
  CalcErrorCode = 0;
  EXPECT_EQ(TableForms[size_t(kLookupTableKind)]->Columns->Next->Cell(1), 0.0L);
}

}  // namespace
}  // namespace voq

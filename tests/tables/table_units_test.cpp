// The unit check of the table functions over the real table model: the
// units of a Lookup Table column come from its heading (name, carriage
// return, units), those of a Parametric column from its variable.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "model/parametric_table_access.h"
#include "tables/table_fixture.h"
#include "units/unit_check.h"

namespace voq {
namespace {

using Lines = std::vector<std::string>;

class TableUnitsTest : public testing::TableTest {
 protected:
  // Lookup 1: h [kJ/kg] = 2 T, T [K] = 300 .. 305, n without units.
  void MakeLookupTable() {
    TTableForm* form = MakeLookup(3, 6, "Lookup 1");
    ASSERT_NE(form, nullptr);
    const char* names[] = {"h\rkJ/kg", "T\r[K]", "n"};
    int32_t k = 0;
    for (TTableColumnRecord* c = form->Columns; c != nullptr && k < 3; c = c->Next, ++k) {
      c->Name = names[k];
      for (int32_t r = 1; r <= 6; ++r) c->SetCell(r, k == 0 ? 2.0L * (299 + r) : k == 1 ? 299.0L + r : r);
    }
  }
  Lines Problems(const std::string& text) {
    editor.SetText(text);
    EquationsCompiled = false;
    CheckOnlyMode = true;
    CompileEquations(false, false);
    CheckOnlyMode = false;
    EXPECT_EQ(CalcErrorCode, 0) << text;
    CalcErrorCode = 0;
    CurrentProgramUnit = MainProgramUnit;
    Lines out;
    for (const TUnitProblem& p : CheckUnitsOfEquations(MainProgramUnit, 0))
      out.push_back(std::to_string(p.Error) + ": " + p.Message);
    return out;
  }
};

TEST_F(TableUnitsTest, LookupColumnsGiveTheirHeadingsUnits) {
  MakeLookupTable();
  const struct {
    const char* text;
    Lines problems;
  } cases[] = {
      {"q = 1 {[kJ/kg]}\r\nq = INTERPOLATE('Lookup 1', 'h', 'T', T=302.5)", {}},
      {"q = 1 {[K]}\r\nq = INTERPOLATE('Lookup 1', 'h', 'T', T=302.5)",
       {"100: The dimensions of q [K] and Interpolate() [kJ/kg] are inconsistent."}},
      {"c = 1 {[kJ/kg-K]}\r\nc = DIFFERENTIATE('Lookup 1', 'h', 'T', T=302.5)", {}},
      {"c = 1 {[kJ/kg]}\r\nc = DIFFERENTIATE('Lookup 1', 'h', 'T', T=302.5)",
       {"100: The dimensions of c [kJ/kg] and Differentiate(kJ/kg, K) [(kJ/kg)/(K)] are inconsistent."}},
      // Given h the derivative is still dh/dT.
      {"c = 1 {[kJ/kg-K]}\r\nc = DIFFERENTIATE('Lookup 1', 'h', 'T', h=605)", {}},
      {"T1 = 1 {[K]}\r\nT1 = LOOKUP('Lookup 1', 2, 'T')", {}},
      {"T1 = 1 {[K]}\r\nT1 = LOOKUP('Lookup 1', 2, 2)", {}},
      {"z = 1\r\nz = LOOKUP('Lookup 1', 2, 'n')", {}},
      // Between two columns the result has no units and counts as a constant.
      {"z = 1 {[m]}\r\nz = z + 2 * LOOKUP('Lookup 1', 2, C)\r\nC = 2.5", {}},
      {"z = 1 {[m]}\r\nz = LOOKUPROW('Lookup 1', 'T', 301)", {"100: The dimensions of z [m] and LookupRow() [dimensionless] are inconsistent."}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Problems(c.text), c.problems) << c.text;
  }
}

TEST_F(TableUnitsTest, TableValueTakesTheColumnVariablesUnits) {
  CompileOnly("T = 300 {[K]}\r\nx = 2");
  TTableForm* form = MakeParametric({"T", "x"}, 3);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(Problems("T = 300 {[K]}\r\nx = 2\r\ny = 1 {[K]}\r\ny = TABLEVALUE('Table 1', 3, 'T')"), Lines{});
  EXPECT_EQ(Problems("T = 300 {[K]}\r\nx = 2\r\ny = 1 {[m]}\r\ny = TABLEVALUE('Table 1', 3, 't')"),
            Lines{"100: The dimensions of y [m] and TableValue( ) [K] are inconsistent."});
  // A row outside the table is the error the evaluation gives, not a read
  // of a row that does not exist.
  const Lines outside = Problems("T = 300 {[K]}\r\nx = 2\r\ny = 1 {[K]}\r\ny = TABLEVALUE('Table 1', 4, 'T')");
  ASSERT_EQ(outside.size(), 1u);
  EXPECT_EQ(outside[0].substr(0, 3), "77:");
  const Lines column = Problems("T = 300 {[K]}\r\nx = 2\r\ny = 1 {[K]}\r\ny = TABLEVALUE('Table 1', 1, 0)");
  ASSERT_EQ(column.size(), 1u);
  EXPECT_EQ(column[0].substr(0, 3), "78:");
}

}  // namespace
}  // namespace voq

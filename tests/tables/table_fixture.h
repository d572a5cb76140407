#pragma once
// A fixture for the table tests: a scripted platform, an in-memory Equations
// window, and a helper that compiles a text so that the main program has
// its variables.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/calc_state.h"
#include "language/export_after_run.h"
#include "model/program_units.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "session/compile_driver.h"
#include "tables/table_model.h"
#include "tables/tables_state.h"

namespace voq::testing {

class TableTest : public ::testing::Test {
 protected:
  void SetUp() override { SetEquationsEditor(&editor); }
  void TearDown() override { SetEquationsEditor(nullptr); }

  // Compiles text as the Check command does, without its summary.
  void CompileOnly(const std::string& text) {
    editor.SetText(text);
    EquationsCompiled = false;
    CheckOnlyMode = true;
    CompileEquations(false, false);
    CheckOnlyMode = false;
    ASSERT_EQ(CalcErrorCode, 0) << text;
  }
  int32_t VariableIndex(const std::string& name) {
    TProgramUnitRecord* saved = CurrentProgramUnit;
    CurrentProgramUnit = MainProgramUnit;
    const int32_t i = FindVariable(name);
    CurrentProgramUnit = saved;
    return i;
  }
  // A parametric table of rows runs over the named variables.
  TTableForm* MakeParametric(const std::vector<std::string>& names, int32_t rows) {
    ParametricColumnOrder.assign(1, 0);
    for (const std::string& name : names) ParametricColumnOrder.push_back(VariableIndex(name));
    TableRowCounts[1] = rows;
    TableColumnCounts[1] = int32_t(names.size());
    TTableForm* form = CreateTableForm(kParametricTableKind);
    if (form != nullptr) form->TableName = "Table 1";
    if (form != nullptr) form->MultipleTableRefresh();
    FirstRun = 1;
    LastRun = rows;
    return form;
  }
  TTableForm* MakeLookup(int32_t columns, int32_t rows, const std::string& name) {
    TableRowCounts[2] = rows;
    TableColumnCounts[2] = columns;
    TTableForm* form = TableForms[2] ? TableForms[2].get() : nullptr;
    if (form == nullptr) {
      form = CreateTableForm(kLookupTableKind);
    } else {
      form->MultipleTableSetup();
    }
    form->TableName = name;
    form->MultipleTableRefresh();
    return form;
  }

  ScriptedPlatform platform;
  ScopedPlatform scoped{platform};
  InMemoryEquationsEditor editor;
};

}  // namespace voq::testing

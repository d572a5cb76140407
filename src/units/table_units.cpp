#include "units/table_units.h"

#include <cmath>
#include <cstdlib>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/string_constants.h"
#include "model/parametric_table_access.h"
#include "model/program_units.h"
#include "model/routines.h"
#include "model/store_state.h"

namespace voq {

namespace {

constexpr int32_t kVariableOffset = 10000;
constexpr int32_t kLookupHelp = 8;

int32_t Truncated(Extended x) {
  if (!std::isfinite(x) || std::fabs(x) > 2e9L) return 0;
  return static_cast<int32_t>(std::trunc(x));
}

std::string Text(Extended index) {
  if (!std::isfinite(index)) return "";
  return StringConstText(static_cast<int32_t>(std::nearbyint(index)));
}

std::string StripBrackets(std::string units) {
  if (!units.empty() && units.front() == '[') {
    units.erase(0, 1);
    if (!units.empty()) units.pop_back();
  }
  return units;
}

void ParametricMissing() {
  SetMessageArg(1, "Parametric");
  SetCalcError(kMsgTableRequired);
}

}  // namespace

TableResolution ResolveTableForUnits(Extended designator, int32_t routineIndex, int32_t& id,
                                     TLookupTableInfo& info) {
  info = TLookupTableInfo{};
  id = Truncated(designator);
  LookupTableAccess& tables = LookupTables();
  if (std::abs(id) > kVariableOffset) {
    Extended value = 0;
    if (routineIndex == 0 || id < 0) {
      const TProgramUnitRecord* unit = routineIndex == 0 ? CurrentProgramUnit : MainProgramUnit;
      const TVariableRecord* v = unit != nullptr ? unit->Variable(std::abs(id) - kVariableOffset) : nullptr;
      if (v == nullptr) return TableResolution::Unknown;
      value = v->Value;
    } else {
      const TRoutineRecord* r = RoutineAt(routineIndex);
      const TLocalVariableRecord* l = r != nullptr ? LocalByNumber(*r, id - kVariableOffset) : nullptr;
      if (l == nullptr) return TableResolution::Unknown;
      value = l->Value;
    }
    id = tables.FindTable(Text(value));
    if (CalcErrorCode != 0) return TableResolution::Error;
  }
  if (id == kLookupParametricId) {
    const ParametricTableAccess& parametric = ParametricTable();
    if (!parametric.WindowExists()) {
      ParametricMissing();
      return TableResolution::Error;
    }
    info.Rows = parametric.RowCount();
    info.Columns = parametric.ColumnCount();
    return TableResolution::Found;
  }
  if (id == 0 && !tables.WindowExists()) {
    SetCalcErrorWithHelp(kMsgNoLookupTable, kLookupHelp);
    return TableResolution::Error;
  }
  return tables.Describe(id, info) ? TableResolution::Found : TableResolution::Error;
}

Extended TableColumnNumberForUnits(Extended designator, int32_t id) {
  return LookupTables().ColumnNumber(Text(designator), id);
}

std::string TableColumnUnits(int32_t column, int32_t id) {
  if (id == kLookupParametricId) {
    const ParametricTableAccess& parametric = ParametricTable();
    if (!parametric.WindowExists()) {
      ParametricMissing();
      return "";
    }
    const int32_t index = parametric.ColumnVariable(parametric.CurrentTable(), column);
    const TVariableRecord* v = MainProgramUnit != nullptr ? MainProgramUnit->Variable(index) : nullptr;
    if (v == nullptr) return "";
    std::string units;
    StringVarText(v->Units, 0, units);
    return StripBrackets(units);
  }
  return StripBrackets(LookupTables().ColumnUnits(id, column));
}

}  // namespace voq

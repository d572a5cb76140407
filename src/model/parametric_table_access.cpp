#include "model/parametric_table_access.h"

namespace voq {

namespace {
ParametricTableAccess noTable;
ParametricTableAccess* installed = &noTable;
}  // namespace

void SetParametricTableAccess(ParametricTableAccess* access) {
  installed = access != nullptr ? access : &noTable;
}

ParametricTableAccess& ParametricTable() { return *installed; }

int32_t ParametricTableAccess::ColumnOfVariable(int32_t v) const {
  const int32_t table = CurrentTable();
  for (int32_t c = 1; c <= ColumnCount(); ++c) {
    if (ColumnVariable(table, c) == v) return c;
  }
  return 0;
}

}  // namespace voq

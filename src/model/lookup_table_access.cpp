#include "model/lookup_table_access.h"

#include "core/calc_state.h"
#include "core/message_ids.h"

namespace voq {

namespace {
LookupTableAccess defaultAccess;
LookupTableAccess* installed = &defaultAccess;
constexpr int32_t kLookupHelp = 8;
}  // namespace

int32_t LookupTableAccess::FindTable(const std::string& name) {
  SetCalcError(kMsgLookupNotFound, name);
  return 0;
}

bool LookupTableAccess::Describe(int32_t /*id*/, TLookupTableInfo& info) {
  info = TLookupTableInfo{};
  SetCalcErrorWithHelp(kMsgNoLookupTable, kLookupHelp);
  return false;
}

Extended LookupTableAccess::Cell(int32_t /*id*/, int32_t /*column*/, int32_t /*row*/, int32_t /*kind*/) {
  SetCalcErrorWithHelp(kMsgNoLookupTable, kLookupHelp);
  return BlankValue;
}

Extended LookupTableAccess::ColumnNumber(const std::string& /*designator*/, int32_t /*id*/) {
  SetCalcErrorWithHelp(kMsgNoLookupTable, kLookupHelp);
  return 0;
}

void SetLookupTableAccess(LookupTableAccess* access) { installed = access != nullptr ? access : &defaultAccess; }
LookupTableAccess& LookupTables() { return *installed; }

}  // namespace voq

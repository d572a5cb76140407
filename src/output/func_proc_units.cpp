#include "output/func_proc_units.h"

#include <algorithm>
#include <cctype>

namespace voq {

namespace {
std::string Upper(std::string text) {
  for (char& c : text) c = char(std::toupper(static_cast<unsigned char>(c)));
  return text;
}
std::string Cut(const std::string& units) {
  return units.size() > size_t(TFuncProcUnitsModel::kUnitsLength) ? units.substr(0, TFuncProcUnitsModel::kUnitsLength)
                                                                   : units;
}
}  // namespace

void TFuncProcUnitsModel::Add(TLocalVariableRecord* local) {
  if (local == nullptr) return;
  const std::string name = Upper(local->Name);
  auto at = std::lower_bound(rows_.begin(), rows_.end(), name, [](const TRow& r, const std::string& n) {
    return r.Name < n;
  });
  if (at != rows_.end() && at->Name == name) return;
  rows_.insert(at, TRow{name, Cut(local->Units), local});
}

void TFuncProcUnitsModel::SetUnits(int32_t i, const std::string& units) {
  if (i >= 0 && i < Count()) rows_[size_t(i)].Units = Cut(units);
}

int32_t TFuncProcUnitsModel::Commit() {
  int32_t changed = 0;
  for (TRow& row : rows_) {
    if (row.Local == nullptr || row.Units == row.Local->Units) continue;
    row.Local->Units = Cut(row.Units);
    row.Local->DefaultUnits = 0;
    ++changed;
  }
  return changed;
}

}  // namespace voq

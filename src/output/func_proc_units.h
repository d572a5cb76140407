#pragma once
// The model of the "Enter units for the following variables" dialog: the
// locals of one routine statement, each once by upper-case name, sorted,
// with the units typed for them. OK writes the changed units (at most 30
// characters) and marks them as given; the dialog marks the document
// changed.
#include <cstdint>
#include <string>
#include <vector>

#include "model/routines.h"

namespace voq {

class TFuncProcUnitsModel {
 public:
  static constexpr int32_t kUnitsLength = 30;
  static constexpr int32_t kNameColumnWidth = 128;
  static constexpr int32_t kUnitsColumnWidth = 206;

  // Adds a local unless a local of the same upper-case name is listed.
  void Add(TLocalVariableRecord* local);
  int32_t Count() const { return int32_t(rows_.size()); }
  // With no variables the dialog closes at once with Cancel.
  bool ClosesAtOnce() const { return rows_.empty(); }
  // Row i (0-based): the name and the units cell.
  const std::string& Name(int32_t i) const { return rows_[size_t(i)].Name; }
  const std::string& Units(int32_t i) const { return rows_[size_t(i)].Units; }
  void SetUnits(int32_t i, const std::string& units);
  TLocalVariableRecord* Local(int32_t i) const { return rows_[size_t(i)].Local; }
  // OK: gives the number of locals changed (the caller marks the
  // document changed when there are any).
  int32_t Commit();

 private:
  struct TRow {
    std::string Name;  // upper case
    std::string Units;
    TLocalVariableRecord* Local = nullptr;
  };
  std::vector<TRow> rows_;
};

}  // namespace voq

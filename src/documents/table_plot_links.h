#pragma once
// What ties the table windows to the plot list, which the table model
// cannot see: when a column of a table moves, the curves of every plot that
// read the moved column follow it. InstallDocuments installs it.
#include <cstdint>
#include <utility>
#include <vector>

namespace voq {

// Every plot curve whose source is a table of kind and whose X or Y column
// number is a moved column's old number takes its new number; each
// reference changes at most once.
void MoveCurveColumns(int32_t kind, const std::vector<std::pair<int32_t, int32_t>>& moves);
// Installs MoveCurveColumns as the table model's column move hook.
void InstallTablePlotLinks();

}  // namespace voq

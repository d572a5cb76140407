#include "documents/table_plot_links.h"

#include <map>

#include "plots/plot_records.h"
#include "plots/plots_state.h"
#include "tables/table_edits.h"

namespace voq {

void MoveCurveColumns(int32_t kind, const std::vector<std::pair<int32_t, int32_t>>& moves) {
  // One lookup from the old numbers, so that a reference already renumbered
  // is not taken for another column's old number.
  const std::map<int32_t, int32_t> renumber(moves.begin(), moves.end());
  auto follow = [&](int16_t& column) {
    const auto it = renumber.find(column);
    if (it != renumber.end()) column = int16_t(it->second);
  };
  for (const auto& plot : PlotList) {
    if (!plot) continue;
    for (TPlotLineRecord* curve = plot->Axes.FirstCurve; curve != nullptr; curve = curve->Next) {
      if (curve->TableKind != kind) continue;
      follow(curve->XColumn);
      follow(curve->YColumn);
    }
  }
}

void InstallTablePlotLinks() { SetColumnMoveHook(&MoveCurveColumns); }

}  // namespace voq

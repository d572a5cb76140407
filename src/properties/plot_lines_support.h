#pragma once
// What the plot-line operations of the substance models share: the request
// record read as the property-plot dialog numbers it (values 1..10, the
// requested line's index), rounding of default line values and conversion
// of internal values to the document's units.
#include <cmath>
#include <cstdint>

#include "core/extended.h"
#include "model/substance_base.h"
#include "properties/property_units.h"

namespace voq::plot_lines {

// values[k] of the request, k numbered from 1.
inline Extended& Value(TPlotLinesRequest& request, int32_t k) {
  return request.IsolineValues[static_cast<size_t>(k - 1)];
}

// The value of the requested line: values[line count]. False when the line
// count names no entry of the ten, so a stray index never reads outside them.
inline bool LineValue(const TPlotLinesRequest& request, Extended& value) {
  if (request.IsolineCount < 1 || request.IsolineCount > static_cast<int32_t>(request.IsolineValues.size()))
    return false;
  value = request.IsolineValues[static_cast<size_t>(request.IsolineCount - 1)];
  return true;
}

// Rounds to a multiple of 1/scale: the nearest integer of scale * x, halves
// to even (the default rounding mode), divided by scale.
inline Extended RoundToMultiple(Extended x, Extended scale) { return std::nearbyint(x * scale) / scale; }

// A value in internal units expressed in the document's units by its kind
// (conversions as UnitConversionEnabled has them).
inline Extended Converted(int32_t kind, Extended value) {
  PropertyFromInternalUnits(kind, value);
  return value;
}

// Internal units of a value given in the document's units.
inline Extended Internal(int32_t kind, Extended value) {
  PropertyToInternalUnits(kind, value);
  return value;
}

// No curve: both point arrays empty and no points.
inline void NoCurve(TPlotLinesRequest& request) {
  request.CurveX.clear();
  request.CurveY.clear();
  request.PointCount = 0;
}

// A curve of n points, every point (0, 0) until set.
inline void StartCurve(TPlotLinesRequest& request, int32_t n) {
  request.CurveX.assign(static_cast<size_t>(n), 0);
  request.CurveY.assign(static_cast<size_t>(n), 0);
  request.PointCount = n;
}

// The curve's length cut to the n points kept.
inline void KeepPoints(TPlotLinesRequest& request, int32_t n) {
  request.CurveX.resize(static_cast<size_t>(n));
  request.CurveY.resize(static_cast<size_t>(n));
  request.PointCount = n;
}

}  // namespace voq::plot_lines

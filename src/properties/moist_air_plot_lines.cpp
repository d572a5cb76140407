// The psychrometric chart's lines of moist air: dry-bulb temperature on X,
// humidity ratio on Y; the saturation line, lines of constant relative
// humidity, of constant wet-bulb temperature and of constant specific
// volume, computed with the object's own HumRat and Temperature at the
// chart's total pressure.
#include "core/calc_state.h"
#include "core/extended.h"
#include "model/document_settings.h"
#include "properties/moist_air.h"
#include "properties/plot_lines_support.h"
#include "properties/property_units.h"
#include "properties/psychrometrics.h"

namespace voq {

namespace {

using namespace plot_lines;

constexpr int32_t kT = 1, kP = 2, kV = 6, kB = 11, kR = 14;
constexpr int32_t kHumidityLinePoints = 19;
constexpr int32_t kCrossLinePoints = 12;

using StateOp = Extended (TAirH2OSubstance::*)(TPropertyArgumentRecord&);

Extended CallState(TAirH2OSubstance& air, StateOp op, int32_t k1, Extended v1, int32_t k2, Extended v2, int32_t k3,
                  Extended v3) {
  air.ArgCount = 3;
  air.ArgKind = {0, k1, k2, k3};
  TPropertyArgumentRecord a;
  a.Value = {0, v1, v2, v3};
  return (air.*op)(a);
}

bool ErrorPending() { return CalcErrorCode > 0; }

void Append(TPlotLinesRequest& request, Extended x, Extended y) {
  request.CurveX.push_back(x);
  request.CurveY.push_back(y);
  request.PointCount = static_cast<int32_t>(request.CurveX.size());
}

void StartLine(TPlotLinesRequest& request, int32_t room) {
  NoCurve(request);
  request.CurveX.reserve(static_cast<size_t>(room));
  request.CurveY.reserve(static_cast<size_t>(room));
}

}  // namespace

void TAirH2OSubstance::PlotLines(int32_t plotKind, TPlotLinesRequest& request) {
  SuppressWarnings = 0;
  const bool english = DocumentSettings.UnitSystem != 0;
  // Temperature i of n across the chart's range, in the document's units.
  auto chartTemperature = [this](int32_t i, int32_t n) {
    UnitConversionEnabled = true;
    return Converted(kT, PlotTMin + static_cast<Extended>(i) / n * (PlotTMax - PlotTMin));
  };

  switch (plotKind) {
    case 1: {
      // The chart is possible only while its top temperature stays below
      // the boiling point at its pressure.
      request.IsolineCount = 2;
      UnitConversionEnabled = true;
      const Extended P = Internal(kP, Value(request, 10));
      const Extended T = Internal(kT, Value(request, 9));
      if (PsychSatPressure(T) > P) request.IsolineCount = -1;
      return;
    }

    case 50: {
      UnitConversionEnabled = true;
      if (english) {
        PlotTMin = 272;  // about 30 F to 100 F
        PlotTMax = 310.92777L;
      } else {
        PlotTMin = 273.15L;  // 0 C to 40 C
        PlotTMax = 313.15L;
      }
      ArgCount = 3;
      ArgKind = {0, kT, kR, kP};
      request.IsolineCount = 6;
      for (int32_t k = 1; k <= 6; ++k) {
        const Extended T = english ? 277.5555L + 5.5555555L * (k - 1) : 283.15L + 5 * (k - 1);
        Value(request, k) = Converted(kT, T);
      }
      Value(request, 7) = Converted(kT, 100);
      Value(request, 8) = Converted(kT, PlotTMin);
      Value(request, 9) = Converted(kT, PlotTMax);
      Value(request, 10) = Converted(kP, 101.3L);
      return;
    }

    case 51:
    case 52: {
      // Saturation (R = 1) or the relative humidity values[1], across the
      // chart's range; the line ends at the first state that fails.
      CalcErrorCode = 0;
      StartLine(request, kHumidityLinePoints);
      UnitConversionEnabled = true;
      const Extended P = Value(request, 10);
      PlotTMin = Internal(kT, Value(request, 8));
      PlotTMax = Internal(kT, Value(request, 9));
      const Extended R = plotKind == 51 ? 1 : Value(request, 1);
      for (int32_t i = 0; i < kHumidityLinePoints && !ErrorPending(); ++i) {
        const Extended T = chartTemperature(i, kHumidityLinePoints - 1);
        const Extended W = CallState(*this, &TAirH2OSubstance::HumRat, kT, T, kP, P, kR, R);
        if (!ErrorPending()) Append(request, T, W);
      }
      return;
    }

    case 53: {
      // Constant wet-bulb B: from the saturated state at B towards dry air,
      // until R = 0 or the line leaves the chart by 10 degrees.
      Extended B = 0;
      CalcErrorCode = 0;
      StartLine(request, kCrossLinePoints);
      if (!LineValue(request, B)) return;
      UnitConversionEnabled = true;
      const Extended P = Value(request, 10);
      const Extended tEnd = Value(request, 9) + 10;
      Append(request, B, CallState(*this, &TAirH2OSubstance::HumRat, kR, 1, kT, B, kP, P));
      for (int32_t i = 0; i <= 10 && !ErrorPending(); ++i) {
        const Extended R = 1 - i / 10.0L;
        const Extended T = CallState(*this, &TAirH2OSubstance::Temperature, kR, R, kB, B, kP, P);
        const Extended W = ErrorPending() ? BlankValue : CallState(*this, &TAirH2OSubstance::HumRat, kR, R, kB, B, kP, P);
        Append(request, T, W);
        if (T > tEnd) break;
      }
      // The state that failed is not drawn.
      if (ErrorPending()) KeepPoints(request, request.PointCount - 1);
      return;
    }

    case 56: {
      // Constant specific volume v from saturation towards dry air.
      Extended v = 0;
      CalcErrorCode = 0;
      StartLine(request, kCrossLinePoints);
      if (!LineValue(request, v)) return;
      UnitConversionEnabled = true;
      const Extended P = Value(request, 10);
      for (int32_t i = 0; i <= 10; ++i) {
        CalcErrorCode = 0;
        const Extended R = 1 - i / 10.0L;
        const Extended T = CallState(*this, &TAirH2OSubstance::Temperature, kR, R, kV, v, kP, P);
        if (ErrorPending()) break;
        const Extended W = CallState(*this, &TAirH2OSubstance::HumRat, kR, R, kV, v, kP, P);
        if (ErrorPending()) break;
        Append(request, T, W);
      }
      return;
    }

    default:
      return;
  }
}

}  // namespace voq

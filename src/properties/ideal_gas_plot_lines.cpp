// The property-plot lines of the ideal gases: isobars, isotherms,
// isochores and isentropes over the gas's plot temperature range, each
// point computed with the gas's own state operations in the document's
// units. An ideal gas has no saturation dome and no lines of quality.
#include <cmath>

#include "core/calc_state.h"
#include "model/document_settings.h"
#include "properties/ideal_gas.h"
#include "properties/plot_lines_support.h"
#include "properties/property_units.h"

namespace voq {

namespace {

using namespace plot_lines;

constexpr int32_t kT = 1, kP = 2, kS = 5, kV = 6;
constexpr int32_t kLinePoints = 48;

using StateOp = Extended (TIdealGasSubstance::*)(TPropertyArgumentRecord&);

// One call of a state operation with the given arguments; the argument
// count and kinds stay on the object afterwards.
Extended CallWith(TIdealGasSubstance& gas, StateOp op, int32_t kind1, Extended value1, int32_t kind2 = 0,
                  Extended value2 = 0) {
  gas.ArgCount = kind2 == 0 ? 1 : 2;
  gas.ArgKind[1] = kind1;
  gas.ArgKind[2] = kind2;
  TPropertyArgumentRecord a;
  a.Value[1] = value1;
  a.Value[2] = value2;
  return (gas.*op)(a);
}

// The pressure span of isotherms and of isentropes on P-v and P-h, in the
// document's pressure unit: two decades about atmospheric pressure.
void PressureRange(Extended& pMin, Extended& pMax) {
  if (DocumentSettings.UnitSystem != 0) {
    // psia, or atm for any other English pressure unit.
    if (DocumentSettings.PressureUnit == 0) {
      pMin = 1;
      pMax = 100;
    } else {
      pMin = 0.1L;
      pMax = 10;
    }
    return;
  }
  switch (DocumentSettings.PressureUnit) {
    case 1: pMin = 0.1L; pMax = 10; break;       // bar
    case 2: pMin = 10; pMax = 1000000; break;    // Pa
    case 3: pMin = 0.01L; pMax = 1; break;       // MPa
    default: pMin = 10; pMax = 1000; break;      // kPa
  }
}

void ClearPointError() {
  CalcErrorCode = 0;
  MessageHelpContext = 0;
}

}  // namespace

void TIdealGasSubstance::PlotLines(int32_t plotKind, TPlotLinesRequest& request) {
  SuppressWarnings = 0;
  UnitConversionEnabled = true;
  const Extended tMin = PlotTMin, tMax = PlotTMax;
  // f = (i - 1)/47 of point i = 1..48.
  auto fraction = [](int32_t i) { return static_cast<Extended>(i - 1) / (kLinePoints - 1); };
  Extended line = 0;

  switch (plotKind) {
    case 1:
      request.IsolineCount = 4;
      Value(request, 1) = M;
      Value(request, 2) = Value(request, 3) = Value(request, 4) = 0;
      return;

    case 10:
    case 20:
    case 60: {
      request.IsolineCount = 4;
      const Extended isobars[] = {100, 200, 500, 1000};
      for (int32_t k = 1; k <= 4; ++k) Value(request, k) = Converted(kP, isobars[k - 1]);
      NoCurve(request);
      return;
    }

    case 11: case 12: case 21: case 22: case 31: case 32: case 41: case 42: case 61: case 62:
      NoCurve(request);
      return;

    case 13:
    case 23:
    case 63: {
      // Isobar P = values[line count] from Tmin to Tmax. An error left
      // pending by an earlier request would turn every point into a
      // placeholder, so the line starts clear; within the line errors stay.
      if (!LineValue(request, line)) return NoCurve(request);
      CalcErrorCode = 0;
      StartCurve(request, kLinePoints);
      for (int32_t i = 1; i <= kLinePoints; ++i) {
        const Extended T = Converted(kT, tMin + fraction(i) * (tMax - tMin));
        const size_t at = static_cast<size_t>(i - 1);
        if (plotKind == 23) {
          request.CurveX[at] = CallWith(*this, &TIdealGasSubstance::Volume, kT, T, kP, line);
          request.CurveY[at] = T;
        } else {
          request.CurveX[at] = CallWith(*this, &TIdealGasSubstance::Entropy, kT, T, kP, line);
          request.CurveY[at] = plotKind == 13 ? T : CallWith(*this, &TIdealGasSubstance::Enthalpy, kT, T);
        }
      }
      // The object's arguments as the isobar left them: (T, P).
      ArgCount = 2;
      ArgKind[1] = kT;
      ArgKind[2] = kP;
      return;
    }

    case 15: {
      // Isochores in equal ratios between the densest state of the plot
      // (Tmin at 1000 kPa) and the lightest (Tmax at 10 kPa).
      request.IsolineCount = 6;
      const Extended vMin =
          CallWith(*this, &TIdealGasSubstance::Volume, kT, Converted(kT, tMin), kP, Converted(kP, 1000));
      const Extended vMax =
          CallWith(*this, &TIdealGasSubstance::Volume, kT, Converted(kT, tMax), kP, Converted(kP, 10));
      Value(request, 1) = vMin;
      Value(request, 6) = vMax;
      for (int32_t k = 2; k <= 5; ++k)
        Value(request, k) = std::exp(std::log(vMin) + (k - 1) / 5.0L * (std::log(vMax) - std::log(vMin)));
      return;
    }

    case 16: {
      if (!LineValue(request, line)) return NoCurve(request);
      StartCurve(request, kLinePoints);
      for (int32_t i = 1; i <= kLinePoints; ++i) {
        ClearPointError();
        const Extended T = Converted(kT, tMax + fraction(i) * (tMin - tMax));
        const size_t at = static_cast<size_t>(i - 1);
        request.CurveX[at] = CallWith(*this, &TIdealGasSubstance::Entropy, kV, line, kT, T);
        request.CurveY[at] = T;
      }
      return;
    }

    case 25: {
      // Isentropes of T-v: a sixth of the way in from the entropy of the
      // densest cold state, in steps of a tenth.
      request.IsolineCount = 6;
      const Extended s1 =
          CallWith(*this, &TIdealGasSubstance::Entropy, kT, Converted(kT, tMin), kV, Converted(kV, 1000));
      const Extended s2 =
          CallWith(*this, &TIdealGasSubstance::Entropy, kT, Converted(kT, tMax), kV, Converted(kV, 0.001L));
      const Extended first = RoundToMultiple(s1 + 0.5L * (s2 - s1) / 6, 10);
      Extended step = RoundToMultiple((s2 - first) / 6, 10);
      if (step == 0) step = RoundToMultiple(s2 - first, 100);
      Value(request, 1) = first;
      for (int32_t k = 2; k <= 6; ++k) Value(request, k) = Value(request, k - 1) + step;
      return;
    }

    case 26: {
      if (!LineValue(request, line)) return NoCurve(request);
      StartCurve(request, kLinePoints);
      for (int32_t i = 1; i <= kLinePoints; ++i) {
        ClearPointError();
        const Extended T = Converted(kT, tMax + fraction(i) * (tMin - tMax));
        const size_t at = static_cast<size_t>(i - 1);
        request.CurveX[at] = CallWith(*this, &TIdealGasSubstance::Volume, kS, line, kT, T);
        request.CurveY[at] = T;
      }
      return;
    }

    case 30:
    case 40:
      request.IsolineCount = 6;
      for (int32_t k = 0; k <= 5; ++k) Value(request, k + 1) = Converted(kT, tMin + k * 0.2L * (tMax - tMin));
      NoCurve(request);
      return;

    case 33:
    case 43: {
      if (!LineValue(request, line)) return NoCurve(request);
      Extended pMin = 0, pMax = 0;
      PressureRange(pMin, pMax);
      StartCurve(request, kLinePoints);
      for (int32_t i = 1; i <= kLinePoints; ++i) {
        ClearPointError();
        const Extended f = fraction(i);
        const size_t at = static_cast<size_t>(i - 1);
        if (plotKind == 33) {
          const Extended P = pMin * std::pow(pMax / pMin, f);
          request.CurveY[at] = P;
          request.CurveX[at] = CallWith(*this, &TIdealGasSubstance::Volume, kT, line, kP, P);
        } else {
          // h of an ideal gas is h(T): the isotherm is vertical on P-h.
          request.CurveY[at] = pMin + f * (pMax - pMin);
          request.CurveX[at] = CallWith(*this, &TIdealGasSubstance::Enthalpy, kT, line);
        }
      }
      if (plotKind == 43) ArgKind[2] = kP;
      return;
    }

    case 35:
    case 45: {
      // Isentropes of P-v and P-h between a cold state at 500 kPa and a hot
      // one at 1000 kPa (100 kPa when that one lies lower).
      request.IsolineCount = 6;
      const Extended tLow = Converted(kT, tMin), tHigh = Converted(kT, tMax);
      const Extended s1 = CallWith(*this, &TIdealGasSubstance::Entropy, kT, tLow, kP, Converted(kP, 500));
      Extended s2 = CallWith(*this, &TIdealGasSubstance::Entropy, kT, tHigh, kP, Converted(kP, 1000));
      if (s1 > s2) s2 = CallWith(*this, &TIdealGasSubstance::Entropy, kT, tHigh, kP, Converted(kP, 100));
      const Extended first = RoundToMultiple(s1 + 1.5L * (s2 - s1) / 6, 10);
      Extended step = RoundToMultiple((s2 - s1) / 6, 10);
      if (step == 0) step = s2 - s1;
      Value(request, 1) = first;
      for (int32_t k = 2; k <= 6; ++k) Value(request, k) = Value(request, k - 1) + step;
      return;
    }

    case 36:
    case 46: {
      // Isentrope s = values[line count]: only the states whose temperature
      // lies in the plot range are kept.
      if (!LineValue(request, line)) return NoCurve(request);
      Extended pMin = 0, pMax = 0;
      PressureRange(pMin, pMax);
      NoCurve(request);
      request.CurveX.reserve(kLinePoints);
      request.CurveY.reserve(kLinePoints);
      for (int32_t i = 1; i <= kLinePoints; ++i) {
        ClearPointError();
        const Extended f = fraction(i);
        const Extended P = plotKind == 36 ? pMin + f * (pMax - pMin) : pMin * std::pow(pMax / pMin, f);
        const Extended property = CallWith(*this, plotKind == 36 ? &TIdealGasSubstance::Volume
                                                                 : &TIdealGasSubstance::Enthalpy,
                                           kS, line, kP, P);
        Extended T = CallWith(*this, &TIdealGasSubstance::Temperature, kS, line, kP, P);
        T = Internal(kT, T);
        if (CalcErrorCode == 0 && T >= tMin && T <= tMax) {
          request.CurveX.push_back(property);
          request.CurveY.push_back(P);
        }
      }
      request.PointCount = static_cast<int32_t>(request.CurveX.size());
      return;
    }

    default:
      return;
  }
}

}  // namespace voq

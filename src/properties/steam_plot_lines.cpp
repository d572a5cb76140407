// The property-plot lines of water: the saturation dome, lines of constant
// quality and the two families of lines of each diagram (T-s, T-v, P-v,
// P-h and h-s). Every point is a state solved from two properties; its
// coordinates are read from the state block in the document's units.
//
// The lines run between 280 K and the critical point; above it isobars and
// isotherms reach Ttop or 81500 kPa. Temperatures are spaced linearly,
// entropies and volumes linearly or in equal ratios, pressures in equal
// ratios, so a line has the same points in any unit system.
#include <cmath>

#include "core/calc_state.h"
#include "model/document_settings.h"
#include "properties/plot_lines_support.h"
#include "properties/property_units.h"
#include "properties/steam_nbs.h"
#include "properties/steam_nbs_core.h"

namespace voq {

namespace {

using namespace plot_lines;

constexpr int32_t kT = 1, kP = 2, kH = 3, kS = 5, kV = 6, kX = 7;

// The critical point of the formulation, the lowest temperature of the
// lines and the temperatures derived from them (K, kPa).
constexpr Extended kTc = 647.134L;
constexpr Extended kPc = 22064;
constexpr Extended kTmin = 280;
constexpr Extended kSpan = kTc - kTmin;
constexpr Extended kTtop = kTc + 0.8L * kSpan;
constexpr Extended kT95 = kTmin + 0.95L * kSpan;
constexpr Extended kTmid = (kTc + kTmin) / 2;
// The critical point as the dome draws it: s in kJ/kg-K, h in kJ/kg.
constexpr Extended kCriticalS = 4.4298L;
constexpr Extended kCriticalH = 2100;
// The top pressure of the lines, kPa.
constexpr Extended kTopP = 81500;

bool Molar() { return DocumentSettings.MolarBasis != 0; }

// An extensive constant (h, s, v) in the document's units, on the molar
// basis per kmol.
Extended ConvertedExtensive(int32_t kind, Extended value) {
  value = Converted(kind, value);
  return Molar() ? value * kSteamMolarMass : value;
}

Extended Block(int32_t kind) { return SteamStateBlock[static_cast<size_t>(kind)]; }

// p0 * (p1/p0)^f: equal ratios between two positive values.
Extended Geometric(Extended p0, Extended p1, Extended f) { return p0 * std::pow(p1 / p0, f); }

}  // namespace

void TSteamNBSSubstance::PlotLines(int32_t plotKind, TPlotLinesRequest& request) {
  const int32_t diagram = plotKind / 10, part = plotKind % 10;
  const bool known = plotKind == 1 ||
                     (plotKind >= 10 && plotKind <= 64 && diagram != 5 &&
                      (part <= 6 && !(diagram == 6 && (part == 5 || part == 6))));
  if (!known) return;
  if ((part == 1 && diagram > 0) || plotKind == 16) SuppressWarnings = 0;
  // Codes 1, 15, 25 and 35 convert as the flag stands; every other sets it.
  if (plotKind != 1 && plotKind != 15 && plotKind != 25 && plotKind != 35) UnitConversionEnabled = true;

  // One state from two properties in the document's units; the block holds it.
  auto solve = [this](int32_t kind1, Extended value1, int32_t kind2, Extended value2) {
    SolveSteamState(SuppressWarnings != 0, IceFlag, 2, value1, value2, kind1, kind2, 0);
  };
  // The axes of the diagram's points: X s, v or h; Y T, P or h.
  int32_t xKind = kS, yKind = kT;
  switch (diagram) {
    case 2: xKind = kV; break;
    case 3: xKind = kV; yKind = kP; break;
    case 4: xKind = kH; yKind = kP; break;
    case 6: yKind = kH; break;
    default: break;
  }
  // Stored points: point i (1..n) whatever the solution gave, (999, 999)
  // after a failure.
  auto store = [&](int32_t i) {
    request.CurveX[static_cast<size_t>(i - 1)] = Block(xKind);
    request.CurveY[static_cast<size_t>(i - 1)] = Block(yKind);
  };
  // Kept points: a point joins the line only when its state was found.
  auto startKept = [&](int32_t room) {
    NoCurve(request);
    request.CurveX.reserve(static_cast<size_t>(room));
    request.CurveY.reserve(static_cast<size_t>(room));
  };
  auto keep = [&]() {
    if (CalcErrorCode != 0) return;
    request.CurveX.push_back(Block(xKind));
    request.CurveY.push_back(Block(yKind));
    request.PointCount = static_cast<int32_t>(request.CurveX.size());
  };
  auto keptPoint = [&](int32_t kind1, Extended value1, int32_t kind2, Extended value2) {
    CalcErrorCode = 0;
    solve(kind1, value1, kind2, value2);
    keep();
  };
  // The dome's critical point in the diagram's coordinates.
  auto critical = [&](int32_t i) {
    request.CurveX[static_cast<size_t>(i - 1)] = ConvertedExtensive(kS, kCriticalS);
    request.CurveY[static_cast<size_t>(i - 1)] =
        yKind == kH ? ConvertedExtensive(kH, kCriticalH) : Converted(kT, kTc);
  };

  Extended line = 0;
  if ((part == 3 || part == 4 || part == 6) && !LineValue(request, line)) return NoCurve(request);

  switch (plotKind) {
    // ---- Substance data and default values ---------------------------------
    case 1:
      request.IsolineCount = 4;
      Value(request, 1) = 18;
      Value(request, 2) = Converted(kT, kTc);
      Value(request, 3) = Converted(kP, kPc);
      Value(request, 4) = Converted(kV, 0.0031059L);
      return;

    case 10:
    case 20:
      // Isobars at the saturation pressures of temperatures spread below
      // Tc by the fractions the dialog passes in values[1..4].
      request.IsolineCount = 4;
      for (int32_t k = 1; k <= 4; ++k) {
        const Extended T = kTc - kSpan * Value(request, k);
        Value(request, k) = Converted(kP, 1000 * WaterSatPressure(T));
      }
      NoCurve(request);
      return;

    case 60:
      request.IsolineCount = 4;
      Value(request, 1) = Converted(kP, 19857.6L);
      Value(request, 4) = Converted(kP, 1);
      for (int32_t k = 2; k <= 3; ++k)
        Value(request, k) = Geometric(Value(request, 1), Value(request, 4), (k - 1) / 3.0L);
      NoCurve(request);
      return;

    case 30:
    case 40:
      // Isotherms at the saturation temperatures of pressures spread in
      // equal ratios from Pc down to 5 kPa by the fractions in values[1..4].
      request.IsolineCount = 4;
      for (int32_t k = 1; k <= 4; ++k) {
        const Extended P = Geometric(kPc, 5, Value(request, k));
        Value(request, k) = Converted(kT, WaterSatTemperature(P));
      }
      NoCurve(request);
      return;

    case 15: {
      // Isochores in equal ratios from the saturated liquid at 280 K to the
      // saturated vapour there; the liquid's own volume is not a line.
      request.IsolineCount = 6;
      const Extended T = Converted(kT, kTmin);
      solve(kT, T, kX, 0);
      const Extended vf = Block(kV);
      solve(kT, T, kX, 1);
      const Extended vg = Block(kV);
      Value(request, 6) = vg;
      for (int32_t k = 1; k <= 5; ++k) Value(request, k) = Geometric(vf, vg, k / 6.0L);
      return;
    }

    case 25:
    case 35: {
      // Four isentropes from 5 kJ/kg-K in rounded steps of a quarter of
      // the span to 6.5 (T-v) or 9.5 (P-v); the last lies below the top.
      request.IsolineCount = 4;
      const Extended s1 = ConvertedExtensive(kS, 5.0L);
      const Extended s4 = ConvertedExtensive(kS, plotKind == 25 ? 6.5L : 9.5L);
      Value(request, 1) = RoundToMultiple(s1, 10);
      const Extended step = RoundToMultiple((s4 - Value(request, 1)) / 4, 10);
      for (int32_t k = 2; k <= 4; ++k) Value(request, k) = Value(request, k - 1) + step;
      NoCurve(request);
      return;
    }

    case 45: {
      // Six isentropes spread over the saturated-vapour entropies between
      // Pc and 5 kPa.
      request.IsolineCount = 6;
      Extended s[7] = {};
      for (int32_t k = 1; k <= 6; ++k) {
        solve(kP, Converted(kP, Geometric(kPc, 5, (k - 0.5L) / 6)), kX, 1);
        s[k] = Block(kS);
      }
      Value(request, 1) = RoundToMultiple(s[1], 10);
      const Extended step = RoundToMultiple((s[6] - Value(request, 1)) / 6, 10);
      for (int32_t k = 2; k <= 6; ++k) Value(request, k) = Value(request, k - 1) + step;
      NoCurve(request);
      return;
    }

    // ---- The saturation dome (stored points) -------------------------------
    case 11:
    case 61: {
      // T-s from 280 K, h-s from Tm (the upper half of the dome); both stop
      // short of Tc, so the entropy-spaced points below carry the line on
      // to the critical point without turning back.
      StartCurve(request, 18);
      for (int32_t i = 1; i <= 14; ++i) {
        const Extended T = plotKind == 11 ? kTmin + (i - 1) / 14.0L * kSpan : kTmid + (i - 1) / 14.0L * (kTc - kTmid);
        solve(kT, Converted(kT, T), kX, 0);
        store(i);
      }
      // Near the critical point the liquid line is spaced in entropy.
      for (int32_t i = 15; i <= 17; ++i) {
        solve(kS, ConvertedExtensive(kS, kCriticalS + 0.15L * (i - 18)), kX, 0);
        store(i);
      }
      critical(18);
      return;
    }

    case 12:
    case 62: {
      StartCurve(request, 14);
      critical(1);
      for (int32_t i = 2; i <= 4; ++i) {
        solve(kS, ConvertedExtensive(kS, kCriticalS + 0.2L * (i - 1)), kX, 1);
        store(i);
      }
      for (int32_t i = 5; i <= 14; ++i) {
        solve(kT, Converted(kT, kTmin + (14 - i) / 10.0L * kSpan), kX, 1);
        store(i);
      }
      return;
    }

    case 21:
    case 22: {
      // Ten points in temperature from 280 K, three close to Tc.
      StartCurve(request, 13);
      const Extended x = plotKind == 21 ? 0 : 1;
      for (int32_t i = 1; i <= 13; ++i) {
        Extended T;
        if (plotKind == 21) {
          T = i <= 10 ? kTmin + (i - 1) / 10.0L * kSpan : kTc - 3.0L * (i - 13) * (i - 13);
        } else {
          T = i <= 3 ? kTc - 3.0L * (i - 1) * (i - 1) : kTmin + (13 - i) / 10.0L * kSpan;
        }
        solve(kT, Converted(kT, T), kX, x);
        store(i);
      }
      return;
    }

    case 31:
    case 41:
    case 32:
    case 42: {
      // Ten pressures in equal ratios from 5 kPa, four close to Pc.
      StartCurve(request, 14);
      const bool liquid = part == 1;
      for (int32_t i = 1; i <= 14; ++i) {
        Extended P;
        if (liquid) {
          P = i <= 10 ? Geometric(5, kPc, (i - 1) / 10.0L) : kPc - 600.0L * (i - 14) * (i - 14);
        } else {
          P = i <= 4 ? kPc - 600.0L * (i - 1) * (i - 1) : Geometric(5, kPc, (14 - i) / 10.0L);
        }
        solve(kP, Converted(kP, P), kX, liquid ? 0 : 1);
        store(i);
      }
      return;
    }

    // ---- Lines of the first family -----------------------------------------
    case 13:
    case 23:
    case 63: {
      // Isobar P = line; a is s (T-s, h-s) or v (T-v).
      const int32_t n = plotKind == 23 ? 12 : 22;
      const int32_t a = plotKind == 23 ? kV : kS;
      const Extended P = line;
      const bool subcritical = P <= Converted(kP, kPc);
      if (plotKind != 63 && subcritical) {
        // Below Pc: the two saturated states, then the vapour in equal
        // steps of a up to Ttop.
        StartCurve(request, n);
        solve(kP, P, kX, 0);
        store(1);
        solve(kP, P, kX, 1);
        store(2);
        const Extended aG = Block(a);
        solve(kT, Converted(kT, kTtop), kP, P);
        const Extended aTop = Block(a);
        for (int32_t i = 3; i <= n; ++i) {
          solve(a, aG + (aTop - aG) * (i - 2) / (n - 2), kP, P);
          store(i);
        }
        return;
      }
      // Above Pc (or on h-s): from Ttop down in equal steps of a to just
      // past the liquid at T95 (or the wet state x = 0.4 on h-s).
      if (!subcritical) {
        solve(kT, Converted(kT, kT95), kX, 0);
      } else {
        solve(kP, P, kX, 0.4L);
      }
      const Extended aStart = Block(a);
      solve(kT, Converted(kT, kTtop), kP, P);
      const Extended aTop = Block(a);
      startKept(n);
      for (int32_t i = 1; i <= n; ++i)
        keptPoint(a, aTop + 1.001L * (i - 1) / (n - 1) * (aStart - aTop), kP, P);
      return;
    }

    case 33:
    case 43: {
      // Isotherm T = line.
      constexpr int32_t n = 27;
      const Extended T = line;
      if (T <= Converted(kT, kTc)) {
        // Compressed liquid from 81500 kPa down to Psat, the two saturated
        // states, then the vapour down to 5 kPa.
        StartCurve(request, n);
        solve(kT, T, kX, 0);
        const Extended pSat = Internal(kP, Block(kP));
        for (int32_t i = 1; i <= 16; ++i) {
          solve(kT, T, kP, Converted(kP, Geometric(kTopP, pSat, (i - 1) / 16.0L)));
          store(i);
        }
        solve(kT, T, kX, 0);
        store(17);
        solve(kT, T, kX, 1);
        store(18);
        for (int32_t i = 19; i <= n; ++i) {
          const Extended f = i == 19 ? 0.3L / 8 : (i - 19) / 8.0L;
          solve(kT, T, kP, Converted(kP, Geometric(pSat, 5, f)));
          store(i);
        }
        return;
      }
      startKept(n);
      if (plotKind == 33) {
        solve(kP, Converted(kP, 22054), kX, 1);
        const Extended vA = Block(kV);
        solve(kP, Converted(kP, 5), kX, 1);
        const Extended vB = Block(kV);
        for (int32_t i = 1; i <= n; ++i) keptPoint(kT, T, kV, Geometric(vB, vA, (n - i) / 26.0L));
      } else {
        for (int32_t i = 1; i <= n; ++i) keptPoint(kT, T, kP, Converted(kP, Geometric(32416, 5, i / 27.0L)));
      }
      return;
    }

    // ---- Lines of the second family ----------------------------------------
    case 16: {
      // Isochore v = line: from Ttop to the saturated vapour at v and on
      // through the dome to 280 K; an isochore on the liquid side of the
      // critical volume has no saturated vapour and runs straight down.
      const Extended v = line;
      CalcErrorCode = 0;
      solve(kV, v, kX, 1);
      Extended temperatures[24];
      if (CalcErrorCode == 0) {
        const Extended tSat = Internal(kT, Block(kT));
        for (int32_t i = 1; i <= 12; ++i) temperatures[i - 1] = kTtop + (i - 1) / 11.0L * (tSat - kTtop);
        for (int32_t i = 1; i <= 12; ++i) temperatures[i + 11] = tSat + i / 12.0L * (kTmin - tSat);
      } else {
        for (int32_t i = 1; i <= 24; ++i) temperatures[i - 1] = kTtop + i / 24.0L * (kTmin - kTtop);
      }
      startKept(24);
      for (const Extended T : temperatures) keptPoint(kV, v, kT, Converted(kT, T));
      return;
    }

    case 26:
      startKept(23);
      for (int32_t i = 0; i <= 21; ++i) keptPoint(kS, line, kT, Converted(kT, 920 + i / 21.0L * (300 - 920)));
      return;

    case 36:
    case 46:
      startKept(23);
      for (int32_t i = 0; i <= 21; ++i) keptPoint(kS, line, kP, Converted(kP, Geometric(kTopP, 5, i / 21.0L)));
      return;

    // ---- Lines of constant quality (kept points) ---------------------------
    case 14:
    case 24:
      startKept(22);
      for (int32_t i = 0; i <= 21; ++i) keptPoint(kT, Converted(kT, kT95 + i / 21.0L * (kTmin - kT95)), kX, line);
      return;

    case 34:
    case 44: {
      startKept(22);
      const Extended pHigh = 5 + 0.9L * (kPc - 5);
      for (int32_t i = 0; i <= 21; ++i) keptPoint(kP, Converted(kP, Geometric(pHigh, 5, i / 21.0L)), kX, line);
      return;
    }

    case 64:
      startKept(22);
      for (int32_t i = 0; i <= 21; ++i) keptPoint(kP, Converted(kP, Geometric(19857.6L, 1, i / 21.0L)), kX, line);
      return;

    default:
      return;
  }
}

}  // namespace voq

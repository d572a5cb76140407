// Constants, specific-heat correlations and transport and critical data of
// air and the eighteen built-in ideal gases.
//
// Sources:
// - cp of CH4, N2, O2, CO2, CO, H2, H2O, NO2, NO and C2H4 as polynomials in
//   fractional powers of theta = T/100 K, and of C2H6, C3H8 and C4H10 as
//   cubics in theta: G. J. Van Wylen and R. E. Sonntag, Fundamentals of
//   Classical Thermodynamics (table of constant-pressure specific heats of
//   ideal gases, fitted to JANAF data);
// - C8H18 and C6H14: the hyperbolic (Aly-Lee) ideal-gas heat-capacity form,
//   DIPPR equation 107, with three terms;
// - SO2, C2H2 and C2H5OH: polynomials in T of the program's gas data;
// - air: integrals of a cp(T) fit whose constants give h(300 K) =
//   8702.525767 kJ/kmol and s(300 K, 100 kPa) = 165.157677 kJ/kmol-K (checked
//   against the Keenan-Kaye air table in the tests);
// - reference enthalpies (of formation) and entropies at 298.15 K and
//   100 kPa: JANAF thermochemical tables.
// Transport correlations (viscosity and conductivity in T) and critical
// constants are the program's gas data; each holds over its stated range.
#include <cmath>
#include <vector>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/numeric_library.h"
#include "model/document_settings.h"
#include "model/substance_base.h"
#include "properties/ideal_gas.h"
#include "properties/property_units.h"

namespace voq {

std::array<std::shared_ptr<TIdealGasDataRecord>, 226> IdealGasDataTable;

namespace {

constexpr int32_t kAirId = 201;

bool ShowRangeWarnings() { return Preferences.WarningsB != 0; }

// a x^n: integer exponents by repeated multiplication, others by PowerReal.
Extended Power(Extended x, Extended n) {
  const Extended whole = std::trunc(n);
  if (whole == n && std::fabs(n) < 16) return IntPower(static_cast<int32_t>(whole), x);
  return PowerReal(x, n);
}

struct TTerm {
  Extended a;
  Extended n;
};

struct TGasRange {
  Extended lo;
  Extended hi;
  const char* hText;
  const char* sText;
};

}  // namespace

Extended AirRawEnthalpy(Extended T) {
  const Extended r = std::sqrt(T);
  return -18101000.0L / (2 * T * T) + 853030.0L / T - 236360.0L / r - 6447.8L * std::log(T) + 300.72L * r -
         0.13861L * T + 3.4807E-5L * T * T;
}

namespace {

// Air: integrals of cp(T) = 18101000/T^3 - 853030/T^2 + 118180/T^1.5
// - 6447.8/T + 150.36/sqrt(T) - 0.13861 + 6.9614e-5 T  (kJ/kg-K).
class TAirGas final : public TIdealGasSubstance {
 public:
  Extended EnthalpyT(Extended T) override {
    if ((T < 100 || T > 3500) && !SuppressWarnings && ShowRangeWarnings()) AddRangeWarning("100<T<3500 K");
    Extended raw;
    if (T < 10) {
      raw = 0.001L * std::fabs(T);
    } else {
      raw = AirRawEnthalpy(T);
    }
    if (DocumentSettings.MolarBasis != 0) raw *= M;
    return raw + HOffset;
  }
  Extended EntropyT(Extended T) override {
    if ((T < 100 || T > 3500) && !SuppressWarnings && CalcErrorCode == 0) AddRangeWarning("100<T<3500");
    Extended raw;
    if (T < 10) {
      raw = 0.001L * std::fabs(T);
    } else {
      const Extended r = std::sqrt(T);
      raw = -18101000.0L / (3 * T * T * T) + 853030.0L / (2 * T * T) - 118180.0L / (1.5L * T * r) +
            6447.8L / T - 300.72L / r - 0.13861L * std::log(T) + 6.9614E-5L * T;
    }
    if (DocumentSettings.MolarBasis != 0) raw *= M;
    return raw + SOffset;
  }
};

// cp = mult x sum a x^n with x = T/scale (kJ/kmol-K when mult is 1, per kg
// times the molar mass otherwise). H = scale x mult x sum a x^(n+1)/(n+1)
// (a ln x for n = -1), S = mult x sum a x^n/n (a ln x for n = 0).
class TPowerSeriesGas final : public TIdealGasSubstance {
 public:
  std::vector<TTerm> Terms;
  Extended Scale = 1;
  bool PerKg = false;
  TGasRange Range{};

  Extended EnthalpyT(Extended T) override {
    Warn(T, Range.hText);
    const Extended x = T / Scale;
    Extended h = 0;
    for (const TTerm& t : Terms) {
      h += t.n == -1 ? t.a * SafeLn(x) : t.a * Power(x, t.n + 1) / (t.n + 1);
    }
    h *= Scale;
    if (PerKg) h *= M;
    if (DocumentSettings.MolarBasis == 0) h /= M;
    return h + HOffset;
  }
  Extended EntropyT(Extended T) override {
    Warn(T, Range.sText);
    const Extended x = T / Scale;
    Extended s = 0;
    for (const TTerm& t : Terms) {
      s += t.n == 0 ? t.a * SafeLn(x) : t.a * Power(x, t.n) / t.n;
    }
    if (PerKg) s *= M;
    if (DocumentSettings.MolarBasis == 0) s /= M;
    return s + SOffset;
  }

 private:
  void Warn(Extended T, const char* text) const {
    if ((T < Range.lo || T > Range.hi) && CalcErrorCode == 0 && !SuppressWarnings) AddRangeWarning(text);
  }
};

// cp = R (c1 + c2 (x3/sinh x3)^2 + c4 (x5/cosh x5)^2 + c6 (x7/sinh x7)^2),
// xk = ck/T, with R the object's gas constant (already of the basis).
class THyperbolicGas final : public TIdealGasSubstance {
 public:
  std::array<Extended, 8> C{};  // [1..7]

  Extended EnthalpyT(Extended T) override {
    Warn(T);
    return R * (H(T) - H(RefT)) + HOffset;
  }
  Extended EntropyT(Extended T) override {
    Warn(T);
    return R * (S(T) - S(RefT)) + SOffset;
  }
  Extended SpecHeat(TPropertyArgumentRecord& a) override {
    Extended result = 1;
    if (ArgCount != 1 || ArgKind[1] != 1) {
      SetCalcError(kMsgTemperatureOnlyArgument, "ideal gas SpecHeat");
      MessageHelpContext = 139;
      return ErrorResultValue;
    }
    Extended T = a.Value[1];
    if (!SuppressWarnings && CalcErrorCode == 0) {
      PropertyToInternalUnits(1, T);
      if (T < 0) {
        CalcErrorCode = kMsgNegativeTemperature;
        return result;
      }
      if (T < 200 || T > 1000) AddRangeWarning("200<T<1000 K");
    }
    const Extended x3 = C[3] / T, x5 = C[5] / T, x7 = C[7] / T;
    const Extended a3 = x3 / std::sinh(x3), a5 = x5 / std::cosh(x5), a7 = x7 / std::sinh(x7);
    Extended cp = R * (C[1] + C[2] * a3 * a3 + C[4] * a5 * a5 + C[6] * a7 * a7);
    PropertyFromInternalUnits(8, cp);
    if (UnitConversionEnabled && DocumentSettings.UnitSystem == 0 && DocumentSettings.EnergyUnit == 0) cp *= 1000;
    return cp;
  }

 private:
  static Extended Coth(Extended x) { return std::cosh(x) / std::sinh(x); }
  Extended H(Extended T) const {
    return C[1] * T + C[2] * C[3] * Coth(C[3] / T) - C[4] * C[5] * std::tanh(C[5] / T) +
           C[6] * C[7] * Coth(C[7] / T);
  }
  Extended S(Extended T) const {
    const Extended x3 = C[3] / T, x5 = C[5] / T, x7 = C[7] / T;
    return C[1] * SafeLn(T) + C[2] * (x3 * Coth(x3) - std::log(std::sinh(x3))) -
           C[4] * (x5 * std::tanh(x5) - std::log(std::cosh(x5))) + C[6] * (x7 * Coth(x7) - std::log(std::sinh(x7)));
  }
  void Warn(Extended T) const {
    if ((T < 200 || T > 1000) && CalcErrorCode == 0 && !SuppressWarnings) AddRangeWarning("200<T<1000 K");
  }
};

// Constants of one built-in gas (gas ids 202..219).
struct TGasConstants {
  const char* Name;
  Extended M, RefT, RefP, RefH, RefS, GuessCp, R, PlotTMin, PlotTMax;
};

constexpr TGasConstants kGasConstants[18] = {
    {"CH4", 16.043L, 298.15L, 100, -74870, 186.256L, 36.15L, 8.31434L, 250, 3500},
    {"C2H6", 30.07L, 298.15L, 100, -84667, 229.602L, 53.1L, 8.31434L, 250, 1500},
    {"C3H8", 44.097L, 298.15L, 100, -103847, 270.019L, 74, 8.31434L, 250, 1500},
    {"C4H10", 58.124L, 298.15L, 100, -126148, 310.227L, 99.5L, 8.31434L, 250, 1500},
    {"N2", 28.013L, 298.15L, 100, 0, 191.502L, 29, 8.31434L, 250, 3500},
    {"O2", 31.999L, 298.15L, 100, 0, 205.033L, 29.5L, 8.31434L, 250, 3500},
    {"CO2", 44.01L, 298.15L, 100, -393520, 213.685L, 37, 8.31434L, 250, 3500},
    {"CO", 28.01L, 298.15L, 100, -110530, 197.543L, 29, 8.31434L, 250, 3500},
    {"H2", 2.016L, 298.15L, 100, 0, 130.684L, 28.9L, 8.31434L, 250, 3500},
    {"H2O", 18.016L, 298.15L, 100, -241820, 188.72L, 33.7L, 8.31434L, 250, 3500},
    {"NO2", 46.006L, 298.15L, 100, 33723, 239.953L, 35, 8.31434L, 250, 3500},
    {"SO2", 64.063L, 298.15L, 100, -297100, 225.21L, 35, 8.31434L, 250, 1500},
    {"NO", 30.006L, 298.15L, 100, 90592, 210.761L, 27, 8.31434L, 250, 3500},
    {"C2H4", 28.043L, 298.15L, 100, 52280, 219.83L, 43.43L, 8.31434L, 270, 2000},
    {"C2H2", 26.038L, 298.15L, 100, 226730, 200.85L, 50, 8.31434L, 100, 750},
    {"C8H18", 114.23L, 298.15L, 100, -208459, 463.67L, 225, 8.31451L, 200, 1000},
    {"C6H14", 86.172L, 298.15L, 100, -167200, 388.82L, 145, 8.31451L, 200, 1000},
    // The approximate cp of C2H5OH is 1.4 x its molar mass; its plot span is
    // the range of its correlation.
    {"C2H5OH", 46.069L, 298.15L, 101.3L, -235310, 282.59L, 1.4L * 46.069L, 8.31434L, 270, 1000},
};

// Transport and critical data by gas id - 201 (air first).
struct TGasTransport {
  int32_t ViscosityForm;
  Extended Mu[6];
  Extended MuTMin, MuTMax;
  int32_t ConductivityForm;
  Extended K[7];
  Extended KTMin, KTMax;
  Extended TCrit, PCrit, VCrit, Acentric;
};

const TGasTransport kTransport[19] = {
    {5, {-8.075522E-6L, 1.423553E-6L, 8.800868E-9L, -1.246198E-10L, 0, 0}, 80, 2000,
     0, {0.001002328L, 9.043956E-5L, -2.902134E-8L, 4.639952E-12L, 0, 0, 0}, 80, 1500, -1, -1, -1, -1},
    {0, {-3.860517E-7L, 4.523003E-8L, -2.464228E-11L, 7.534912E-15L, 0, 0}, 100, 1200,
     0, {0.0001960693L, 7.82853E-5L, 1.296965E-7L, -4.093488E-11L, 0, 0, 0}, 200, 1270,
     190.564L, 4599.2L, 0.0061477929L, 0.007L},
    {0, {-5.107728E-7L, 3.76582E-8L, -1.59412113E-11L, 3.906E-15L, 0, 0}, 200, 1000,
     0, {-0.0383815197L, 0.000547282126L, -2.80760648E-6L, 8.74854603E-9L, -1.369896E-11L, 1.05765043E-14L,
         -3.16347435E-18L}, 200, 1000, 305.33L, 4871.8L, 0.00484049598L, 0.091L},
    {0, {-3.543711E-7L, 3.080096E-8L, -6.99723E-12L, 0, 0, 0}, 270, 600,
     0, {-0.01077433L, 8.389719E-5L, 4.215583E-8L, 0, 0, 0, 0}, 200, 600, 369.85L, 4247.66L, 0.00453353531L, 0.145L},
    {0, {-1.099487E-8L, 2.634504E-8L, -3.54700854E-12L, 0, 0, 0}, 270, 520,
     0, {0.00379912L, -3.38011396E-5L, 3.15886537E-7L, -2.25600514E-10L, 0, 0, 0}, 270, 520,
     425.16L, 3796, 0.00438885232L, 0.193L},
    {0, {5.676721E-7L, 6.887251E-8L, -4.4641E-11L, 1.815652E-14L, -2.826376E-18L, 0}, 80, 2500,
     0, {-4.362383E-5L, 0.0001020032L, -5.941577E-8L, 2.222783E-11L, 0, 0, 0}, 80, 1400,
     126.193L, 3397.8L, 0.003193809L, 0.04L},
    {3, {-4.63744E-6L, 2.37736E-5L, -4.08723E-5L, 2.06408E-5L, 1.0432E-5L, 2.22049E-6L}, 200, 3000,
     3, {0.0417273L, -0.192109L, 0.340515L, -0.298836L, 0.154433L, -0.033999L, 0.00298743L}, 200, 3000,
     154.581L, 5043, 0.0022928228L, 0.021L},
    {0, {-7.702409E-7L, 5.832266E-8L, -1.99275E-11L, 3.778754E-15L, 0, 0}, 150, 2000,
     0, {-0.007807446L, 8.267169E-5L, -1.594632E-9L, -4.823419E-12L, 0, 0, 0}, 200, 1400,
     304.128L, 7377.3L, 0.00213858L, 0.225L},
    {0, {1.846773E-7L, 7.070708E-8L, -4.715297E-11L, 1.540913E-14L, 0, 0}, 73.15L, 1273.15L,
     0, {0.0002893076L, 9.133521E-5L, -3.562498E-8L, 9.748054E-12L, 0, 0, 0}, 80, 2200,
     132.8L, 3493.5L, 0.0032915217L, 0.041L},
    {5, {-8.332383E-7L, 4.010485E-7L, 1.01991E-8L, -4.215427E-11L, 0, 0}, 10, 2000,
     0, {-0.0004557117L, 0.0007702671L, -7.325019E-7L, 5.216581E-10L, -1.327628E-13L, 0, 0}, 20, 1540,
     33.19L, 1315.2L, 0.03321147L, 0},
    {0, {2.222772E-7L, 2.695684E-8L, 2.245694E-11L, -1.612151E-14L, 4.32049E-18L, -4.193596E-22L}, 245, 3500,
     0, {0.004999909L, 1.476782E-5L, 1.15289E-7L, -4.731084E-11L, 9.897964E-15L, -8.408129E-19L, 0}, 245, 3500,
     647.096L, 22064, 0.00310559L, 0.348L},
    {0, {-1.404659E-5L, 1.159655E-7L, -8.763087E-11L, 3.092593E-14L, 0, 0}, 300, 1000,
     0, {11.66989L, -0.08863767L, 0.0002569L, -3.535321E-7L, 2.330264E-10L, -5.932326E-14L, 0}, 380, 1000,
     430.95L, 10130, 0.001782376L, -1},
    {0, {-1.118022E-6L, 5.118213E-8L, -1.381569E-11L, 2.153224E-15L, 0, 0}, 200, 1250,
     0, {-0.0186270694L, 0.000319110134L, -1.73644245E-6L, 5.09847985E-9L, -7.53585825E-12L, 5.48078289E-15L,
         -1.56355469E-18L}, 250, 900, 430.8L, 7881.1L, 0.00190437L, 0.273L},
    {2, {0.5629L, 162.432L, -30527, 4432920, -220623000, 0}, 121.7L, 1000,
     0, {0.0008079461L, 8.896378E-5L, -2.135317E-8L, 0, 0, 0, 0}, 121.7L, 750, 180, 6483.2L, 0.0019329467L, 0.6L},
    {0, {-1.373599E-6L, 4.507127E-8L, -2.015093E-11L, 0, 0, 0}, 169, 475,
     0, {-0.0009231946L, 2.687541E-5L, 1.487888E-7L, 0, 0, 0, 0}, 169, 475, 282.3452L, 5040.1L, 0.0046693137L, 0.086L},
    {0, {1.407E-5L, -1.2046E-7L, 6.4272E-10L, -1.17697E-12L, 7.844E-16L, 0}, 250, 500,
     0, {-0.01312L, 0.0001121L, 1E-8L, 0, 0, 0, 0}, 250, 600, 308.3L, 6139, 0.0043398L, 0.184L},
    {0, {-3.884412E-6L, 5.331889E-8L, -9.647358E-11L, 8.32166E-14L, 0, 0}, 250, 550,
     0, {0.02062614L, -0.0001473196L, 4.723984E-7L, -2.714455E-10L, 0, 0, 0}, 400, 650,
     568.8L, 2487, 0.00431147684L, 0.394L},
    {0, {-1.021701E-6L, 2.642029E-8L, -5.643371E-12L, 0, 0, 0}, 342, 750,
     0, {-0.01113559L, 5.878511E-5L, 6.898696E-8L, 0, 0, 0, 0}, 342, 1000, 507.4L, 3032, 0.00429348898L, 0.296L},
    // VCrit of C2H5OH: 1.99536 TCrit/(PCrit M), 1.99536 = 0.24 x 8.314.
    {0, {1.286408E-5L, -3.122539E-8L, 7.008167E-11L, 0, 0, 0}, 352, 600,
     0, {-0.007327463L, 4.602076E-5L, 9.139346E-8L, 0, 0, 0, 0}, 352, 1000,
     513.9L, 6140, 1.99536L * 513.9L / (6140 * 46.069L), 0.635L},
};

const char* const kDataNames[19] = {"Air", "CH4", "C2H6", "C3H8", "C4H10", "N2", "O2", "CO2", "CO", "H2",
                                    "H2O", "NO2", "SO2", "NO", "C2H4", "C2H2", "C8H18", "C6H14", "C2H5OH"};

// cp in theta = T/100 K, kJ/kmol-K, by gas id.
std::vector<TTerm> ThetaTerms(int32_t gasId) {
  switch (gasId) {
    case 202: return {{-672.87L, 0}, {439.74L, 0.25L}, {-24.875L, 0.75L}, {323.88L, -0.5L}};
    case 203: return {{6.895L, 0}, {17.26L, 1}, {-0.6402L, 2}, {0.00728L, 3}};
    case 204: return {{-4.042L, 0}, {30.46L, 1}, {-1.571L, 2}, {0.03171L, 3}};
    case 205: return {{3.954L, 0}, {37.12L, 1}, {-1.833L, 2}, {0.03498L, 3}};
    case 206: return {{39.06L, 0}, {-512.79L, -1.5L}, {1072.7L, -2}, {-820.4L, -3}};
    case 207: return {{37.432L, 0}, {0.020102L, 1.5L}, {-178.57L, -1.5L}, {236.88L, -2}};
    case 208: return {{-3.7357L, 0}, {30.529L, 0.5L}, {-4.1034L, 1}, {0.024198L, 2}};
    case 209: return {{69.145L, 0}, {-0.70463L, 0.75L}, {-200.77L, -0.5L}, {176.76L, -0.75L}};
    case 210: return {{56.505L, 0}, {-702.74L, -0.75L}, {1165, -1}, {-560.7L, -1.5L}};
    case 211: return {{143.05L, 0}, {-183.54L, 0.25L}, {82.751L, 0.5L}, {-3.6989L, 1}};
    case 212: return {{46.045L, 0}, {216.1L, -0.5L}, {-363.66L, -0.75L}, {232.55L, -2}};
    case 214: return {{59.283L, 0}, {-1.7096L, 0.5L}, {-70.613L, -0.5L}, {74.889L, -1.5L}};
    case 215: return {{-95.395L, 0}, {123.15L, 0.5L}, {-35.641L, 0.75L}, {182.77L, -3}};
    default: return {};
  }
}

TGasRange RangeOf(int32_t gasId) {
  switch (gasId) {
    case 202: return {250, 3500, "250 K < T < 3500 K.", "250<T<3500"};
    case 203: return {250, 1500, "250 K < T < 1500 K.", "250<T<1500"};
    case 204: return {250, 1500, "250<T<1500", "250<T<1500"};
    case 205: return {250, 1500, "250<T<1500", "250<T<1500 K"};
    case 213: return {250, 1500, "250<T<1500 K", "250<T<1500 K"};
    case 215: return {270, 2000, "270<T<2000", "270<T<2000"};
    case 216: return {100, 750, "100 K < T < 750 K.", "100 K < T < 750 K."};
    case 219: return {270, 1000, "270 K < T < 1000 K.", "270 K < T < 1000 K."};
    default: return {250, 3500, "250<T<3500 K", "250<T<3500 K"};
  }
}

TIdealGasSubstance* MakeGasObject(int32_t gasId) {
  if (gasId == 217 || gasId == 218) {
    auto* g = new THyperbolicGas();
    static constexpr Extended kC8[8] = {0, 4.0L, 15.6865L, 158.922L, 33.8029L, 815.064L, 48.1731L, 1693.07L};
    static constexpr Extended kC6[8] = {0, 4.0L, 11.6977L, 182.326L, 26.8142L, 859.207L, 38.6164L, 1826.59L};
    for (size_t i = 1; i <= 7; ++i) g->C[i] = gasId == 217 ? kC8[i] : kC6[i];
    return g;
  }
  auto* g = new TPowerSeriesGas();
  g->Range = RangeOf(gasId);
  switch (gasId) {
    case 213:
      g->Terms = {{25.78L, 0}, {0.05795L, 1}, {-3.812E-5L, 2}, {8.612E-9L, 3}};
      break;
    case 216:
      g->PerKg = true;
      g->Terms = {{-0.04253L, 0},      {49.2698L, -1},       {0.0080205L, 1},
                  {-1.16324E-5L, 2},   {8.60663E-9L, 3},     {-2.44704E-12L, 4}};
      break;
    case 219:
      g->PerKg = true;
      g->Terms = {{0.2141282L, 0}, {0.004575596L, 1}, {-1.803671E-6L, 2}, {8.04724E-11L, 3}};
      break;
    default:
      g->Scale = 100;
      g->Terms = ThetaTerms(gasId);
      break;
  }
  return g;
}

}  // namespace

std::shared_ptr<TIdealGasDataRecord> FillIdealGasData(int32_t gasId) {
  if (gasId < 1 || gasId > 225) return nullptr;
  std::shared_ptr<TIdealGasDataRecord>& slot = IdealGasDataTable[static_cast<size_t>(gasId)];
  if (slot) return slot;
  slot = std::make_shared<TIdealGasDataRecord>();
  if (gasId >= kAirId && gasId <= 219) {
    const TGasTransport& t = kTransport[gasId - kAirId];
    TIdealGasDataRecord& d = *slot;
    d.ViscosityForm = t.ViscosityForm;
    for (size_t i = 0; i < 6; ++i) d.ViscosityCoef[i + 1] = t.Mu[i];
    d.ViscosityTMin = t.MuTMin;
    d.ViscosityTMax = t.MuTMax;
    d.ConductivityForm = t.ConductivityForm;
    for (size_t i = 0; i < 7; ++i) d.ConductivityCoef[i + 1] = t.K[i];
    d.ConductivityTMin = t.KTMin;
    d.ConductivityTMax = t.KTMax;
    d.TCrit = t.TCrit;
    d.PCrit = t.PCrit;
    d.VCrit = t.VCrit;
    d.AcentricFactor = t.Acentric;
    d.Name = kDataNames[gasId - kAirId];
  }
  return slot;
}

TIdealGasSubstance* CreateAirSubstance() {
  auto* g = new TAirGas();
  g->GasId = kAirId;
  g->Data = FillIdealGasData(kAirId);
  g->PlotTMin = 273.15L;
  g->PlotTMax = 3000;
  g->R = 8.31434L;
  g->RefT = 300;
  g->RefP = 100;
  g->M = 28.9669L;
  g->RefH = 8702.525767L;
  g->RefS = 165.157677L;
  g->GuessCp = 29;
  g->SetReferenceState();
  return g;
}

TIdealGasSubstance* CreateBuiltinGas(int32_t gasId) {
  if (gasId == kAirId) return CreateAirSubstance();
  if (gasId < 202 || gasId > 219) return nullptr;
  const TGasConstants& c = kGasConstants[gasId - 202];
  TIdealGasSubstance* g = MakeGasObject(gasId);
  g->GasId = gasId;
  g->Data = FillIdealGasData(gasId);
  g->RefT = c.RefT;
  g->RefP = c.RefP;
  g->RefH = c.RefH;
  g->RefS = c.RefS;
  g->GuessCp = c.GuessCp;
  g->R = c.R;
  g->M = c.M;
  g->SetReferenceState();
  g->PlotTMin = c.PlotTMin;
  g->PlotTMax = c.PlotTMax;
  return g;
}

int32_t GasIdOfRow(int32_t row) {
  switch (row) {
    case 1: return 201;
    case 4: return 202;
    case 5: return 203;
    case 6: return 204;
    case 7: return 205;
    case 12: return 206;
    case 14: return 207;
    case 9: return 208;
    case 8: return 209;
    case 10: return 210;
    case 11: return 211;
    case 13: return 212;
    case 25: return 213;
    case 27: return 214;
    case 66: return 215;
    case 69: return 216;
    case 70: return 217;
    case 71: return 218;
    case 72: return 219;
    default: return 0;
  }
}

}  // namespace voq

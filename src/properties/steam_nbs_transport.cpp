// Viscosity, thermal conductivity, Prandtl number and surface tension of
// water.
//
// Viscosity and conductivity: the 1985 IAPS formulations for ordinary
// water substance in their industrial form, without the critical
// enhancement (J. V. Sengers and J. T. R. Watson, "Improved International
// Formulations for the Viscosity and Thermal Conductivity of Water
// Substance", J. Phys. Chem. Ref. Data 15 (1986) 1291; IAPS Release on the
// Viscosity of Ordinary Water Substance, 1985, and on its Thermal
// Conductivity, 1985): reducing constants T* = 647.27 K and rho* =
// 317.763 kg/m3, mu* = 55.071e-6 Pa-s, lambda* = 0.4945 W/m-K; the
// coefficients below are the published H_ij and L_ij, i the power of
// (1/T - 1), j the power of (rho - 1). The dilute-gas sums and the
// reducing factors are applied in lbm/ft-h and Btu/h-ft-R (0.13322721249
// and 0.285717155, the SI factors converted).
//
// Surface tension: the IAPWS release of 1994 (N. B. Vargaftik, B. N.
// Volkov and L. D. Voljak, J. Phys. Chem. Ref. Data 12 (1983) 817), sigma =
// 235.8 mN/m tau^1.256 (1 - 0.625 tau) with tau = 1 - T/Tc; this program
// takes Tc as 0.999686 * 647.27 K = 647.067 K, where the release has
// 647.096 K (a difference below 0.01 % of sigma up to 600 K).
#include <cmath>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/number_format.h"
#include "core/numeric_library.h"
#include "model/document_settings.h"
#include "properties/property_units.h"
#include "properties/steam_nbs.h"

namespace voq {

namespace {

constexpr int32_t kT = 1, kP = 2, kU = 4, kH = 3, kV = 6, kX = 7;
constexpr int32_t kViscosityHelp = 144;

constexpr Extended kViscosityB[6][7] = {
    {0.5132047L, 0.2151778L, -0.2818107L, 0.1778064L, -0.0417661L, 0, 0},
    {0.3205656L, 0.7317883L, -1.070786L, 0.460504L, 0, -0.01578386L, 0},
    {0, 1.241044L, -1.263184L, 0.2340379L, 0, 0, 0},
    {0, 1.476783L, 0, -0.4924179L, 0.1600435L, 0, -0.003629481L},
    {-0.7782567L, 0, 0, 0, 0, 0, 0},
    {0.1885447L, 0, 0, 0, 0, 0, 0},
};

constexpr Extended kConductivityC[5][6] = {
    {1.3293046L, -0.40452437L, 0.2440949L, 0.018660751L, -0.12961068L, 0.044809953L},
    {1.7018363L, -2.2156845L, 1.6511057L, -0.76736002L, 0.37283344L, -0.1120316L},
    {5.2246158L, -10.124111L, 4.9874687L, -0.27297694L, -0.43083393L, 0.13333849L},
    {8.7127675L, -9.5000611L, 4.3786606L, -0.91783782L, 0, 0},
    {-1.8525999L, 0.9340469L, 0, 0, 0, 0},
};

bool ErrorPending() { return CalcErrorCode > 0; }

// Sum over i, j of c[i][j] (1/Tr - 1)^i (rhor - 1)^j.
template <size_t Rows, size_t Cols>
Extended ResidualSum(const Extended (&c)[Rows][Cols], Extended Tr, Extended rhor) {
  const Extended a = 1 / Tr - 1;
  const Extended b = rhor - 1;
  Extended sum = 0;
  Extended ai = 1;
  for (size_t i = 0; i < Rows; ++i) {
    Extended bj = 1;
    for (size_t j = 0; j < Cols; ++j) {
      sum += c[i][j] * ai * bj;
      bj *= b;
    }
    ai *= a;
  }
  return sum;
}

}  // namespace

bool TSteamNBSSubstance::TransportState(TPropertyArgumentRecord& a, const char* name, Extended& Tr, Extended& rhor) {
  const bool uGiven = ArgKind[1] == kU || ArgKind[2] == kU;
  SolveSteamState(SuppressWarnings != 0, IceFlag, ArgCount, a.Value[1], a.Value[2], ArgKind[1], ArgKind[2],
                  uGiven ? kH : kU);
  if (ErrorPending() || SuppressWarnings) return false;
  const Extended x = SteamStateBlock[kX];
  if (x > 0.001L && x < 0.999L) {
    SetMessageArg(1, name);
    SetMessageArg(2, FormatValue(TDisplayFormat{kStyleAutomatic, 4}, x));
    CalcErrorCode = kMsgTwoPhaseUndetermined;
    return false;
  }
  // Reduced variables from T in F and v in ft3/lbm.
  Extended T = SteamStateBlock[kT];
  Extended v = SteamStateBlock[kV];
  ConvertPropertyArgument(-kT, T, kSteamMolarMass);
  ConvertPropertyArgument(kV, v, kSteamMolarMass);
  rhor = (1 / v) / 19.83687916697879991L;
  Tr = ((T - 32) / 1.8L + 273.15L) / 647.27L;
  return !ErrorPending();
}

Extended TSteamNBSSubstance::Viscosity(TPropertyArgumentRecord& a) {
  Extended Tr = 0, rhor = 0;
  if (!TransportState(a, "Viscosity", Tr, rhor)) {
    if (CalcErrorCode == kMsgTwoPhaseUndetermined) MessageHelpContext = kViscosityHelp;
    return ErrorResultValue;
  }
  const Extended mu0 = std::sqrt(Tr) / (1 + 0.978197L / Tr + 0.579829L / (Tr * Tr) - 0.202354L / (Tr * Tr * Tr));
  const Extended mu1 = std::exp(rhor * ResidualSum(kViscosityB, Tr, rhor));
  Extended mu = mu0 * mu1 * 0.13322721249L;
  ConvertPropertyResult(-9, mu, kSteamMolarMass);
  return mu;
}

Extended TSteamNBSSubstance::Conductivity(TPropertyArgumentRecord& a) {
  Extended Tr = 0, rhor = 0;
  if (!TransportState(a, "Conductivity", Tr, rhor)) return ErrorResultValue;
  const Extended k0 = std::sqrt(Tr) / (1 + 6.978267L / Tr + 2.599096L / (Tr * Tr) - 0.998254L / (Tr * Tr * Tr));
  const Extended k1 = std::exp(rhor * ResidualSum(kConductivityC, Tr, rhor));
  Extended k = k0 * k1 * 0.285717155L;
  ConvertPropertyResult(-10, k, kSteamMolarMass);
  return k;
}

Extended TSteamNBSSubstance::Prandtl(TPropertyArgumentRecord& a) {
  SetMessageArg(1, "Prandtl");
  const bool tp = ArgCount == 2 && ((ArgKind[1] == kT && ArgKind[2] == kP) || (ArgKind[1] == kP && ArgKind[2] == kT));
  if (!tp) {
    CalcErrorCode = kMsgFunctionNeedsTP;
    return ErrorResultValue;
  }
  if (SuppressWarnings) return ErrorResultValue;
  const Extended mu = Viscosity(a);
  if (ErrorPending()) return ErrorResultValue;
  Extended cp = SpecHeat(a);
  if (ErrorPending()) return ErrorResultValue;
  Extended k = Conductivity(a);
  if (ErrorPending()) return ErrorResultValue;
  if (DocumentSettings.UnitSystem == 0 && DocumentSettings.EnergyUnit != 0) k /= 1000;
  if (DocumentSettings.MolarBasis != 0) cp /= kSteamMolarMass;
  return mu * cp / k;
}

Extended TSteamNBSSubstance::SurfaceTension(TPropertyArgumentRecord& a) {
  if (ArgCount != 1 || ArgKind[1] != kT) {
    SetMessageArg(1, "SurfaceTension");
    CalcErrorCode = kMsgTemperatureOnlyArgument;
    return ErrorResultValue;
  }
  if (SuppressWarnings) return ErrorResultValue;
  Extended T = a.Value[1];
  PropertyToInternalUnits(kT, T);
  if (T < 273.15L || T > 647.1L) {
    SetMessageArg(1, "273.15 K < T < 647.09 K");
    SetMessageArg(2, FormatValue(TDisplayFormat{kStyleAutomatic, 3}, T) + " K");
    SetMessageArg(3, "");
    CalcErrorCode = kMsgTemperatureRange;
    return ErrorResultValue;
  }
  const Extended tau = (0.999686L - T / 647.27L) / 0.999686L;
  Extended sigma = 0.2358L * PowerReal(tau, 1.256L) * (1 - 0.625L * tau);
  PropertyFromInternalUnits(16, sigma);
  return sigma;
}

}  // namespace voq

// Transport data of the built-in Martin-Hou fluids.
//
// Record blocks: each block holds the form of the dilute-gas correlation,
// its range and four coefficients, then the liquid correlation's range and
// four coefficients (T in K). The forms and ranges are those of each fluid's
// correlation. R11 (viscosity and conductivity), R134a (viscosity and
// conductivity) and R12 (gas conductivity) carry the correlations these
// records were built with; the other entered coefficients were fitted by
// tools/fit_martin_hou_transport.py to the published data named beside
// them. A block whose coefficients are not entered has both limits at -999:
// the property reports that its data are not available.
//
// Blend correlations (R407C, R410A, R404A, R507A): mu = A0 + A1 T + A2 T^2 +
// sum Bi rho^i in 1e-6 Pa s, k = C0 + C1 T + sum Di (rho/rhoc)^i in
// mW/(m K), T in K and rho in kg/m3.
#include "properties/martin_hou_transport_data.h"

namespace voq {

namespace {

constexpr double kNone = -999;

struct TransportBlock {
  double Form;
  double GasTMin, GasTMax;
  double Gas[4];
  double LiqTMin, LiqTMax;
  double Liq[4];
};

struct FluidTransport {
  int32_t Fluid;
  TransportBlock Viscosity;
  TransportBlock Conductivity;
};

const FluidTransport kFluids[] = {
    {1,
     {1, 200, 380, {4.3547e-07, 0.000511161, -0.050128, 0}, 230, 500, {17578, -151.49, 0.44774, -0.00044568}},
     {2, 270, 420, {0.00597101, 2.28456e-05, 0, 0}, 235, 450, {0.311445649, -0.001532608, 3.742682e-06, -3.7448037e-09}}},
    // R12: viscosity (gas and liquid) and liquid conductivity fitted to the
    // correlations of the VDI Heat Atlas, 2nd ed. (Springer, 2010), chapter
    // D3.1, evaluated every 10 K over each range (gas 250..480 K, liquid
    // 170..340 K and 144..344 K); largest deviation 1.4 % (liquid
    // viscosity at 170 K). The gas conductivity is the record's own.
    {2,
     {1, 250, 480, {5.878940883e-07, 0.0003171127274, -0.02393077816, 0}, 170, 340,
      {4561.184173, -37.01069803, 0.1067940059, -0.0001069909551}},
     {1, 240, 480, {313.340951, 296796.2841, 43405530.17, 0}, 144, 344,
      {0.2008894889, -0.0004398605567, 1.208821514e-08, -1.445002767e-11}}},
    // R13, R14, R114 and propane: fitted likewise to the VDI Heat Atlas
    // correlations. R13: liquid viscosity data 200..270 K (the correlation
    // holds below 278 K; 270..300 K extrapolated), largest deviation 0.15 %.
    {3,
     {1, 220, 425, {6.058270555e-07, 0.000195219195, -0.005763768117, 0}, 200, 300,
      {4316.698379, -45.26432963, 0.1690390558, -0.000217538728}},
     {1, 220, 535, {367.5413123, 191630.6527, 35756917.06, 0}, 94, 270,
      {0.1946055953, -0.000508044657, 1.022893579e-08, -2.205615039e-11}}},
    // R14: no liquid viscosity; largest deviation 0.12 %.
    {4,
     {1, 230, 500, {5.652692441e-07, 0.0001513839678, -0.005993825832, 0}, kNone, kNone, {0, 0, 0, 0}},
     {2, 144.26, 533.15, {-0.002673868041, 3.339475954e-05, 1.267049129e-07, -1.071480403e-10}, 140, 210,
      {0.2365431091, -0.001311674137, 2.678819922e-06, -2.949139413e-09}}},
    // R22: fitted to P. E. Liley, "Thermophysical Properties of Fluids", in
    // Mechanical Engineers' Handbook, Vol. 4, 3rd ed. (M. Kutz, ed., Wiley,
    // 2006), Table 12 (saturated liquid conductivity, 170..350 K) and Table
    // 13 (vapour at one atmosphere, 250..500 K), largest deviation 0.6 %;
    // the liquid viscosity to the VDI Heat Atlas correlation (170..360 K,
    // largest deviation 2.8 %), since the handbook's liquid-viscosity
    // column, read in its stated unit, is ten times too small.
    {5,
     {1, 250, 440, {6.348930399e-07, 0.0002307980601, -0.006367626658, 0}, 170, 360.01,
      {3054.525127, -24.69734624, 0.07283780292, -7.585715346e-05}},
     {2, 230, 645, {-0.007157521646, 6.023160603e-05, 0, 0}, 144, 340, {0.2347856017, -0.0004934242974, 0, 0}}},
    // R114: the liquid viscosity falls thirtyfold over 170..410 K, more than
    // the cubic follows: fitted to 240..410 K (largest deviation 3.7 %),
    // below 240 K it falls short of the data (-8 % at 230 K, -54 % at
    // 170 K). The other correlations within 0.2 %.
    {6,
     {1, 230, 500, {6.651199175e-07, 0.0003228232476, -0.02188465192, 0}, 170, 410,
      {8726.12982, -64.3578972, 0.1638370381, -0.0001415061468}},
     {2, 280, 675, {-0.006889, 6e-05, -8.89e-09, 0}, 180, 360,
      {0.1383516057, -0.0002519392371, 1.427456429e-08, -1.386906385e-11}}},
    {7, {2, kNone, kNone, {}, kNone, kNone, {}}, {0, kNone, kNone, {}, kNone, kNone, {}}},
    {8, {1, kNone, kNone, {}, kNone, kNone, {}}, {2, kNone, kNone, {}, kNone, kNone, {}}},
    {9,
     {2, 230, 475, {-746310, 43317, 0.044895, -0.013643}, 230, 375, {3902, -25.827, 0.059549, -4.7095e-05}},
     {2, 230, 475, {-0.024142, 0.00017633, -1.6387e-07, -6.7929e-13}, 230, 375, {0.17091, 0.00015035, -2.274e-06, 2.8021e-09}}},
    // Ammonia: fitted to Thermal-FluidsPedia, "Thermophysical Properties:
    // Ammonia" (thermalfluidscentral.org), saturated liquid 230..390 K and
    // saturated vapour 200..340 K (conductivity to 320 K, below the
    // near-critical rise); largest deviation 2.7 %. Above 340 K the gas
    // correlations are extrapolated.
    {10,
     {2, 200, 1000, {366691.4501, 36518.97534, 0, 0}, 230, 390,
      {2576.303718, -18.52880031, 0.04733416791, -4.211589394e-05}},
     {2, 230, 900, {-0.01058294025, 0.0001193139445, 0, 0}, 244, 406, {1.011031599, -0.00124186355, -1.767884837e-06, 0}}},
    // Propane: liquid data 210..360 K, below the critical point; largest
    // deviation 0.8 %.
    {15,
     {2, 240, 530, {419656.652, 24462.46814, 9.277639106, -0.01218288617}, 210, 370,
      {1945.193932, -15.28773223, 0.04355099378, -4.381056457e-05}},
     {2, 240, 530, {-0.006656, 5.3e-05, 1.0181e-07, 0}, 210, 370,
      {0.2706678038, -0.0006990315915, 4.0433468e-07, -1.551670442e-10}}},
    {20, {2, kNone, kNone, {}, kNone, kNone, {}}, {2, kNone, kNone, {}, kNone, kNone, {}}},
    {25, {3, kNone, kNone, {}, kNone, kNone, {}}, {3, kNone, kNone, {}, kNone, kNone, {}}},
};

void WriteBlock(const TransportBlock& b, int first, MartinHouCoefRecord& record) {
  record[first] = b.Form;
  record[first + 1] = b.GasTMin;
  record[first + 2] = b.GasTMax;
  for (int i = 0; i < 4; ++i) record[first + 3 + i] = b.Gas[i];
  record[first + 7] = b.LiqTMin;
  record[first + 8] = b.LiqTMax;
  for (int i = 0; i < 4; ++i) record[first + 9 + i] = b.Liq[i];
}

const Extended kBlends[4][16] = {
    // R407C
    {512.7L, -1.507L, 0.04894L, -9.305e-06L, -0.003038L, 0.0002927L, -9.559e-07L, 1.739e-09L, -1.455e-12L,
     4.756e-16L, -9.628L, 0.07638L, 13.92L, 13.04L, -6.62L, 1.992L},
    // R410A
    {551.9L, -2.695L, 0.0585L, -2.129e-05L, 0.009047L, 5.784e-05L, 1.309e-07L, -2.422e-10L, 9.424e-14L, 3.933e-17L,
     -8.872L, 0.0741L, 19.74L, -2.755L, 7.3L, -0.3437L},
    // R404A
    {488.5L, 0.9766L, 0.03676L, 2.938e-06L, 0.00226L, 0.0001786L, -4.202e-07L, 8.489e-10L, -8.67e-13L, 3.566e-16L,
     -8.624L, 0.0736L, 15.74L, 6.13L, -3.139L, 1.143L},
    // R507A
    {492.5L, -2.53L, 0.05626L, -2.323e-05L, 0.0005308L, 0.0002234L, -6.742e-07L, 1.411e-09L, -1.388e-12L,
     5.274e-16L, -8.656L, 0.07383L, 13.79L, 7.435L, -4.356L, 1.535L},
};

}  // namespace

void FillMartinHouTransportBlocks(int32_t fluidNumber, MartinHouCoefRecord& record) {
  for (const FluidTransport& f : kFluids) {
    if (f.Fluid != fluidNumber) continue;
    WriteBlock(f.Viscosity, kMhViscosityBlock, record);
    WriteBlock(f.Conductivity, kMhConductivityBlock, record);
    return;
  }
}

std::array<Extended, 16> MartinHouBlendTransport(int32_t fluidNumber) {
  std::array<Extended, 16> block{};
  if (fluidNumber >= 21 && fluidNumber <= 24) {
    for (size_t i = 0; i < 16; ++i) block[i] = kBlends[fluidNumber - 21][i];
  }
  return block;
}

}  // namespace voq

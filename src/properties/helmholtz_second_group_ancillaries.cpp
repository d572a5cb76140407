// Saturation ancillaries of the second fluid group: the vapour pressure
// (kPa) and the saturated liquid and vapour densities (kg/m3), each fitted
// to its fluid's equation of state by the formulation's authors.
//
// Notation: Tr = T/TCrit, theta = 1 - Tr, omega = theta^(1/3), s =
// sqrt(theta), rho_c = 1/VCrit. Real powers go through PowerReal (0 for a
// base at or below 0, so above TCrit they vanish); integer powers are
// repeated products and keep their sign there. Most density ancillaries are
// start values that RefineSatDensity brings onto the equation of state.
#include <array>
#include <cmath>

#include "core/numeric_library.h"
#include "properties/helmholtz_second_group_internal.h"
#include "properties/helmholtz_state.h"

namespace voq {

namespace {

Extended Theta(const TGeneralEosSubstance& o, Extended T) { return 1 - T / o.TCrit; }
Extended Omega(const TGeneralEosSubstance& o, Extended T) { return PowerReal(Theta(o, T), 1.0L / 3); }
Extended RootTheta(const TGeneralEosSubstance& o, Extended T) { return PowerReal(Theta(o, T), 0.5L); }

// sum a_k z^e_k; an integer exponent as a repeated product.
template <size_t N>
Extended PowerSum(const std::array<Extended, N>& a, const std::array<Extended, N>& e, Extended z) {
  Extended sum = 0;
  for (size_t k = 0; k < N; ++k) {
    const Extended ek = e[k];
    sum += a[k] * (ek == std::floor(ek) ? IntPower(static_cast<int32_t>(ek), z) : PowerReal(z, ek));
  }
  return sum;
}

// sum a_k z^i_k over integer exponents.
template <size_t N>
Extended IntPowerSum(const std::array<Extended, N>& a, const std::array<int32_t, N>& i, Extended z) {
  Extended sum = 0;
  for (size_t k = 0; k < N; ++k) sum += a[k] * IntPower(i[k], z);
  return sum;
}

// PCrit exp((1/Tr) sum a_k z^e_k)
template <size_t N>
Extended ReducedVapourPressure(const TGeneralEosSubstance& o, Extended tr, const std::array<Extended, N>& a,
                               const std::array<Extended, N>& e, Extended z) {
  return o.PCrit * std::exp(PowerSum(a, e, z) / tr);
}

Extended Refine(TGeneralEosSubstance& o, Extended T, Extended reduced, Extended X) {
  return RefineSatDensity(o, T, reduced / o.VCrit, X);
}

// The refined density when the refinement moves the start by at most (or,
// strict, by less than) the given fraction, else the start value.
Extended RefineAccepted(TGeneralEosSubstance& o, Extended T, Extended reduced, Extended X, bool strict) {
  const Extended start = reduced / o.VCrit;
  const Extended refined = RefineSatDensity(o, T, start, X);
  const Extended move = std::fabs(refined - start) / start;
  return (strict ? move < 0.05L : move <= 0.05L) ? refined : start;
}

}  // namespace

// ---- Neon ----------------------------------------------------------------------

Extended NeonSatPressure(TGeneralEosSubstance& o, Extended T) {
  const Extended tr = T / o.TCrit;
  const Extended root = std::sqrt(tr);
  return o.PCrit * std::exp(7038.592L + 340.0876L / tr + 9463.633L * tr - 4382.367L * tr * root +
                            845.6158L * tr * tr - 10888.39L * root - 2417.175L / root);
}

// phi = (TCrit - T)/T, over T rather than TCrit; the value stands unrefined.
Extended NeonSatLiquidDensity(TGeneralEosSubstance& o, Extended T) {
  const Extended phi = (o.TCrit - T) / T;
  const Extended reduced = 1 + 92.56541069L * phi - 35.57640388L * PowerReal(phi, 5.0L / 3) +
                           3.4966718474L * IntPower(3, phi) + 1.216513966L * PowerReal(phi, 0.325L) +
                           86.52011555L * std::log(T / o.TCrit);
  return reduced / o.VCrit;
}

Extended NeonSatVaporDensity(TGeneralEosSubstance& o, Extended T) {
  const Extended theta = Theta(o, T);
  const Extended s = 1.698759e-5L - 739.0727L * PowerReal(theta, 0.325L) - 123.7462L * PowerReal(theta, 1.5L) +
                     77.38572L * theta * theta - 114.1601L * PowerReal(theta, 0.5L) +
                     818.8142L * PowerReal(theta, 1.0L / 3) + 101.4785L * theta;
  return Refine(o, T, std::exp(-s), 1);
}

// ---- Xenon ---------------------------------------------------------------------

// Every exponent through PowerReal: above TCrit the sum is 0 and P = PCrit.
Extended XenonSatPressure(TGeneralEosSubstance& o, Extended T) {
  static constexpr std::array<Extended, 4> kA{-5.988397L, 1.358585L, -0.9018093L, 2.9115811050032609709e-8L};
  static constexpr std::array<Extended, 4> kE{1, 1.5L, 2.5L, 12};
  const Extended theta = Theta(o, T);
  Extended sum = 0;
  for (size_t k = 0; k < kA.size(); ++k) sum += kA[k] * PowerReal(theta, kE[k]);
  return o.PCrit * std::exp(sum / (T / o.TCrit));
}

// Never below rho_c: the fit turns back under it just below TCrit.
Extended XenonSatLiquidDensity(TGeneralEosSubstance& o, Extended T) {
  static constexpr std::array<Extended, 4> kB{1.45719734554L, 1.41168578505L, -2.60949660778L, 2.53925455832L};
  static constexpr std::array<int32_t, 4> kI{1, 2, 4, 5};
  const Extended rhoC = 1 / o.VCrit;
  if (std::fabs(T - o.TCrit) <= 1e-5L) return rhoC;
  const Extended rho = (1 + IntPowerSum(kB, kI, Omega(o, T))) * rhoC;
  return rho > rhoC ? rho : rhoC;
}

Extended XenonSatVaporDensity(TGeneralEosSubstance& o, Extended T) {
  static constexpr std::array<Extended, 4> kC{-1.59929593442L, -2.04441765307L, -7.61503847209L, -31.0289854685L};
  static constexpr std::array<int32_t, 4> kI{1, 2, 5, 15};
  if (std::fabs(T - o.TCrit) <= 1e-5L) return 1 / o.VCrit;
  return Refine(o, T, std::exp(IntPowerSum(kC, kI, Omega(o, T))), 1);
}

// ---- Isopentane ----------------------------------------------------------------

Extended IsopentaneSatPressure(TGeneralEosSubstance& o, Extended T) {
  static constexpr std::array<Extended, 10> kA{-7.05084088145L, 13.1569225959L,  -44.3831555075L, 3332.00114538L,
                                               -20456.1959397L, 56554.0391613L,  -81832.5740509L, 53959.6306659L,
                                               -13674.7202823L, 2632.17330724L};
  static constexpr std::array<Extended, 10> kE{2, 4, 5, 8, 9, 10, 11, 12, 14, 18};
  return ReducedVapourPressure(o, T / o.TCrit, kA, kE, RootTheta(o, T));
}

Extended IsopentaneSatLiquidDensity(TGeneralEosSubstance& o, Extended T) {
  static constexpr std::array<Extended, 9> kB{1.21520300566L,  10.583303741L,  -68.5828002418L,
                                              261.054092108L,  -612.644500572L, 909.251771093L,
                                              -828.868009201L, 422.091499548L,  -91.2897146176L};
  static constexpr std::array<int32_t, 9> kI{1, 2, 3, 4, 5, 6, 7, 8, 9};
  return Refine(o, T, 1 + IntPowerSum(kB, kI, Omega(o, T)), 0);
}

Extended IsopentaneSatVaporDensity(TGeneralEosSubstance& o, Extended T) {
  static constexpr std::array<Extended, 9> kC{-1.24393642618L, -7.13920605269L, 455.458477129L,
                                              -204.573386562L, 866.582232068L,  -942.094876467L,
                                              640.051972871L,  132.104992806L,  208.24072385L};
  static constexpr std::array<int32_t, 9> kI{1, 2, 3, 5, 6, 7, 8, 13, 20};
  return Refine(o, T, std::exp(439.162715913L * std::log(T / o.TCrit) + IntPowerSum(kC, kI, Omega(o, T))), 1);
}

// ---- Ethylene ------------------------------------------------------------------

Extended EthyleneSatPressure(TGeneralEosSubstance& o, Extended T) {
  static constexpr std::array<Extended, 5> kA{1.363317303L, -6.373572165L, -0.319726907L, -1.157656259L,
                                              -1.899024189L};
  static constexpr std::array<Extended, 5> kE{1.5L, 1, 2, 3, 5.5L};
  return ReducedVapourPressure(o, T / o.TCrit, kA, kE, Theta(o, T));
}

// a = (TCrit/T - 1)^(1/3). The term -2.973241426e-6/a has no value at
// TCrit, where a = 0, nor above it, where a is 0 too: there the liquid has
// the critical density itself.
Extended EthyleneSatLiquidDensity(TGeneralEosSubstance& o, Extended T) {
  const Extended a = PowerReal(o.TCrit / T - 1, 1.0L / 3);
  if (!(a > 0)) return 1 / o.VCrit;
  const Extended a2 = a * a;
  const Extended a4 = a2 * a2;
  const Extended reduced = 1 - 2.973241426e-6L / a - 1.759597892L * a + 1.297770957L * a2 - 1.735448063L * a4 +
                           0.9422348274L * a4 * a - 0.04226244872L * a4 * a4 + 3.131180969L * PowerReal(a, 0.975L);
  return Refine(o, T, reduced, 0);
}

Extended EthyleneSatVaporDensity(TGeneralEosSubstance& o, Extended T) {
  const Extended b = o.TCrit / T - 1;
  const Extended reduced =
      std::exp(-1.722832379L * PowerReal(b, 1.0L / 3) + 19.03195837L * b + 30.38649257L * PowerReal(b, 4.0L / 3) -
               41.14655232L * PowerReal(b, 5.0L / 3) + 12.75383046L * PowerReal(b, 7.0L / 3) -
               3.767668608L * PowerReal(b, 8.0L / 3) + 31.80542637L * std::log(T / o.TCrit));
  return Refine(o, T, reduced, 1);
}

// ---- Propylene -----------------------------------------------------------------

Extended PropyleneSatPressure(TGeneralEosSubstance& o, Extended T) {
  static constexpr std::array<Extended, 4> kA{0.9576459287L, -6.553517503L, -4.747026377L, 1.931420851L};
  static constexpr std::array<Extended, 4> kE{3, 2, 8, 9};
  return ReducedVapourPressure(o, T / o.TCrit, kA, kE, RootTheta(o, T));
}

Extended PropyleneSatLiquidDensity(TGeneralEosSubstance& o, Extended T) {
  static constexpr std::array<Extended, 7> kB{-6.74466759L,  104.1706604L, -361.0992136L, 570.3992324L,
                                              -439.5392123L, 135.5081768L, -1.323118818L};
  static constexpr std::array<Extended, 7> kE{1.5L, 2, 2.5L, 3, 3.5L, 4, 6.5L};
  return Refine(o, T, std::exp(PowerSum(kB, kE, Omega(o, T))), 0);
}

Extended PropyleneSatVaporDensity(TGeneralEosSubstance& o, Extended T) {
  static constexpr std::array<Extended, 5> kC{-1.45595914978L, 21.80914996L, -13.1075005899L, -39.1454518373L,
                                              -113.910069526L};
  static constexpr std::array<int32_t, 5> kI{1, 4, 5, 20, 50};
  return Refine(o, T, std::exp(14.1732778102L * std::log(T / o.TCrit) + IntPowerSum(kC, kI, Omega(o, T))), 1);
}

// ---- RC318 ---------------------------------------------------------------------

Extended RC318SatPressure(TGeneralEosSubstance& o, Extended T) {
  static constexpr std::array<Extended, 4> kA{2.043795L, -7.736884L, -1.577618L, -3.893301L};
  static constexpr std::array<Extended, 4> kE{3, 2, 4, 7};
  return ReducedVapourPressure(o, T / o.TCrit, kA, kE, RootTheta(o, T));
}

Extended RC318SatLiquidDensity(TGeneralEosSubstance& o, Extended T) {
  const Extended w = Omega(o, T);
  return Refine(o, T, 1 + 1.832747L * w + 0.7432422L * w * w + 0.5716629L * IntPower(9, w), 0);
}

Extended RC318SatVaporDensity(TGeneralEosSubstance& o, Extended T) {
  const Extended w = Omega(o, T);
  const Extended w2 = w * w;
  return Refine(o, T, std::exp(-2.043095L + 21.80264L * w - 98.95039L * w2 + 168.1172L * w2 * w - 112.7954L * w2 * w2),
                1);
}

// ---- Methanol ------------------------------------------------------------------

// y = sqrt(1/Tr - 1): ln(P/PCrit) = Tr (2.3698322 y^3 - 8.8738823 y^2 - 10.852598 y^4 - 0.12446396 y^5).
Extended MethanolSatPressure(TGeneralEosSubstance& o, Extended T) {
  const Extended tr = T / o.TCrit;
  const Extended y = PowerReal(1 / tr - 1, 0.5L);
  const Extended y2 = y * y;
  return o.PCrit *
         std::exp(tr * (2.3698322L * y2 * y - 8.8738823L * y2 - 10.852598L * y2 * y2 - 0.12446396L * y2 * y2 * y));
}

Extended MethanolSatLiquidDensity(TGeneralEosSubstance& o, Extended T) {
  const Extended w = Omega(o, T);
  return Refine(o, T,
                1 + 1.8145364L * w + 1.2703194L * w * w - 1.0182657L * IntPower(4, w) + 2.756272L * IntPower(11, w) -
                    1.8958692L * IntPower(13, w),
                0);
}

Extended MethanolSatVaporDensity(TGeneralEosSubstance& o, Extended T) {
  static constexpr std::array<Extended, 9> kC{-12873.2378L, 9540.90636L,  -80622.9292L, 89038.0974L, -26882.7787L,
                                              15339.2797L,  -13918.6128L, -8774.28382L, 9258.53159L};
  static constexpr std::array<Extended, 9> kE{3.5L, 4.5L, 7.5L, 8, 10.5L, 15, 18, 45, 63};
  const Extended w = Omega(o, T);
  return Refine(o, T,
                std::exp(-9.74320519L * PowerReal(w, 0.5L) + 62.7207077L * w - 711.162934L * w * w +
                         PowerSum(kC, kE, w) - 7361.56195L * std::log(T / o.TCrit)),
                1);
}

// ---- n-Pentane -----------------------------------------------------------------

Extended PentaneSatPressure(TGeneralEosSubstance& o, Extended T) {
  static constexpr std::array<Extended, 10> kA{-6.49204390961L, -95.7804465304L, 2780.31360207L,  -73028.8680457L,
                                               300469.345073L,  -553408.429369L, 506976.550422L,  -189589.90573L,
                                               16261.451717L,   -10814.7045756L};
  static constexpr std::array<Extended, 10> kE{2, 5, 7, 9, 10, 11, 12, 13, 20, 22};
  return ReducedVapourPressure(o, T / o.TCrit, kA, kE, RootTheta(o, T));
}

Extended PentaneSatLiquidDensity(TGeneralEosSubstance& o, Extended T) {
  static constexpr std::array<Extended, 8> kB{13.9995767982L,  -184.750302929L, 2240.19569936L, -8119.40056763L,
                                              24013.5414022L,  -27683.4937718L, 12984.0925773L, 1272.7465484L};
  static constexpr std::array<int32_t, 8> kI{1, 2, 3, 5, 6, 7, 8, 24};
  return Refine(o, T, 1 + 1465.12357453L * std::log(T / o.TCrit) + IntPowerSum(kB, kI, Omega(o, T)), 0);
}

Extended PentaneSatVaporDensity(TGeneralEosSubstance& o, Extended T) {
  static constexpr std::array<Extended, 6> kC{-2.93698599331L, 28.9217068345L,  633.791955372L,
                                              -912.117380427L, 629.485161732L,  124.800010721L};
  static constexpr std::array<int32_t, 6> kI{1, 2, 4, 5, 6, 16};
  return Refine(o, T, std::exp(213.825730139L * std::log(T / o.TCrit) + IntPowerSum(kC, kI, Omega(o, T))), 1);
}

// ---- Hydrogen ------------------------------------------------------------------

// P = 1000 * 0.0980665 * 10^(-1.55447 - 31.875/T + 2.39188 log10 T) kPa.
Extended HydrogenSatPressure(TGeneralEosSubstance&, Extended T) {
  return 1000 * 0.0980665L * std::pow(10.0L, -1.55447L - 31.875L / T + 2.39188L * std::log10(T));
}

// The refinement is kept only when it moves the start by at most 5 %.
Extended HydrogenSatLiquidDensity(TGeneralEosSubstance& o, Extended T) {
  static constexpr std::array<Extended, 5> kB{-0.841394940612L, 11.6941393521L, 67.4641667138L, -63.0249040161L,
                                              25.0557785236L};
  static constexpr std::array<int32_t, 5> kI{1, 2, 7, 8, 13};
  const Extended reduced = 1 + 14.3206090372L * std::log(T / o.TCrit) + IntPowerSum(kB, kI, Omega(o, T));
  return RefineAccepted(o, T, reduced, 0, false);
}

Extended HydrogenSatVaporDensity(TGeneralEosSubstance& o, Extended T) {
  static constexpr std::array<Extended, 5> kC{-2.27912156592L, 6.59030793592L, 33.5285216643L, -60.9981076232L,
                                              50.9130284218L};
  static constexpr std::array<int32_t, 5> kI{1, 2, 5, 7, 8};
  return Refine(o, T, std::exp(18.9076223862L * std::log(T / o.TCrit) + IntPowerSum(kC, kI, Omega(o, T))), 1);
}

// ---- Carbon monoxide -----------------------------------------------------------

Extended CarbonMonoxideSatPressure(TGeneralEosSubstance& o, Extended T) {
  static constexpr std::array<Extended, 5> kA{-6.27000552237L, 1.799270908L, -1.16588167897L, -9.27630581077L,
                                              186.20242319L};
  static constexpr std::array<Extended, 5> kE{2, 3, 4, 13, 25};
  return ReducedVapourPressure(o, T / o.TCrit, kA, kE, RootTheta(o, T));
}

Extended CarbonMonoxideSatLiquidDensity(TGeneralEosSubstance& o, Extended T) {
  static constexpr std::array<Extended, 6> kB{-2.93727295676L, 38.0209920513L,  -92.2665713853L,
                                              329.828706832L,  -479.216543175L, 212.98817665L};
  static constexpr std::array<int32_t, 6> kI{1, 2, 3, 5, 6, 7};
  return Refine(o, T, 1 + IntPowerSum(kB, kI, Omega(o, T)), 0);
}

Extended CarbonMonoxideSatVaporDensity(TGeneralEosSubstance& o, Extended T) {
  static constexpr std::array<Extended, 3> kC{405.315805386L, -666.27003194L, 439.241025441L};
  static constexpr std::array<int32_t, 3> kI{4, 5, 6};
  return Refine(o, T, std::exp(96.8831781938L * std::log(T / o.TCrit) + IntPowerSum(kC, kI, Omega(o, T))), 1);
}

// ---- n-Hexane ------------------------------------------------------------------

// Above TCrit the fit is taken at Tr = 0.999999.
Extended HexaneSatPressure(TGeneralEosSubstance& o, Extended T) {
  static constexpr std::array<Extended, 6> kA{-8.35955469293L, 6.72656762496L,  -13.704280473L,
                                              12.0770395265L,  -9.07486800833L, -107.553828218L};
  static constexpr std::array<Extended, 6> kE{2, 3, 4, 5, 8, 26};
  Extended tr = T / o.TCrit;
  if (tr > 1) tr = 0.999999L;
  return ReducedVapourPressure(o, tr, kA, kE, PowerReal(1 - tr, 0.5L));
}

Extended HexaneSatLiquidDensity(TGeneralEosSubstance& o, Extended T) {
  static constexpr std::array<Extended, 8> kB{-30.2895095474L, 779.703699707L,  38025.6075533L,  -109334.307236L,
                                              186768.492474L,  -168614.660253L, 68868.9784873L, 5963.22203062L};
  static constexpr std::array<int32_t, 8> kI{1, 2, 4, 5, 6, 7, 8, 22};
  return Refine(o, T, 1 + 7552.99598227L * std::log(T / o.TCrit) + IntPowerSum(kB, kI, Omega(o, T)), 0);
}

// The refinement is kept only when it moves the start by less than 5 %.
Extended HexaneSatVaporDensity(TGeneralEosSubstance& o, Extended T) {
  static constexpr std::array<Extended, 4> kC{-13.9741253403L, -32.5619125064L, -39.5259820129L, -114.576263027L};
  static constexpr std::array<int32_t, 4> kI{2, 5, 13, 24};
  const Extended reduced = std::exp(-19.4685887152L * std::log(T / o.TCrit) + IntPowerSum(kC, kI, Omega(o, T)));
  return RefineAccepted(o, T, reduced, 1, true);
}

// ---- R23 -----------------------------------------------------------------------

Extended R23SatPressure(TGeneralEosSubstance& o, Extended T) {
  static constexpr std::array<Extended, 5> kA{-7.59491161941L, 3.45842471619L, -3.60176406935L, -150.169057312L,
                                              174.72744916L};
  static constexpr std::array<Extended, 5> kE{1, 1.5L, 2, 9, 9.5L};
  return ReducedVapourPressure(o, T / o.TCrit, kA, kE, Theta(o, T));
}

Extended R23SatLiquidDensity(TGeneralEosSubstance& o, Extended T) {
  static constexpr std::array<Extended, 5> kB{1.90560450477L, -2.61966653422L, 14.7887984695L, -22.1876621201L,
                                              11.2876339094L};
  const Extended theta = Theta(o, T);
  Extended sum = 0;
  for (size_t i = 1; i <= kB.size(); ++i) sum += kB[i - 1] * PowerReal(theta, static_cast<Extended>(i) / 3);
  return Refine(o, T, 1 + sum, 0);
}

Extended R23SatVaporDensity(TGeneralEosSubstance& o, Extended T) {
  static constexpr std::array<Extended, 8> kC{-2.26918215108L, 0.873632889936L, -7.29149185458L, -33.7977378746L,
                                              5561.74851072L,  -18183.5762711L, 20267.5983245L,  -7725.32259479L};
  static constexpr std::array<int32_t, 8> kE{1, 2, 3, 10, 18, 19, 20, 21};
  const Extended theta = Theta(o, T);
  Extended sum = 0;
  for (size_t k = 0; k < kC.size(); ++k) sum += kC[k] * PowerReal(theta, static_cast<Extended>(kE[k]) / 3);
  return Refine(o, T, std::exp(sum), 1);
}

// ---- R123 and R125: vapour from a compressibility factor ----------------------

namespace {

// rho'' = P M/(Rbar T Z), P the vapour pressure, Z = 1 + (Zc - 1)(P/PCrit) f,
// Zc = PCrit VCrit M/(Rbar TCrit).
Extended CompressibilityVapour(TGeneralEosSubstance& o, Extended T, Extended f) {
  const Extended P = o.SatPressure(T, 0);
  const Extended zc = o.PCrit * o.VCrit * o.MolarMassValue / (o.GasConstant * o.TCrit);
  const Extended z = 1 + (zc - 1) * (P / o.PCrit) * f;
  return RefineSatDensity(o, T, P * o.MolarMassValue / (o.GasConstant * T) / z, 1);
}

}  // namespace

Extended R123SatPressure(TGeneralEosSubstance& o, Extended T) {
  static constexpr std::array<Extended, 5> kA{-7.44755268L, 2.22205828L, -1.90007722L, -3.19471827L, -1.29982316L};
  static constexpr std::array<Extended, 5> kE{1, 1.5L, 2, 4, 6.5L};
  return ReducedVapourPressure(o, T / o.TCrit, kA, kE, Theta(o, T));
}

Extended R123SatLiquidDensity(TGeneralEosSubstance& o, Extended T) {
  const Extended theta = Theta(o, T);
  return Refine(o, T,
                1 + 2.03212541L * PowerReal(theta, 0.355L) + 0.615138615L * PowerReal(theta, 2.0L / 3) -
                    0.78309375L * theta + 0.953698023L * PowerReal(theta, 4.0L / 3),
                0);
}

// f = (1 + theta^0.355 (19.3645723 - 61.8013768 Tr + 68.0458573 Tr^2 - 26.4760176 Tr^3))/Tr
Extended R123SatVaporDensity(TGeneralEosSubstance& o, Extended T) {
  const Extended tr = T / o.TCrit;
  const Extended f =
      (1 + PowerReal(Theta(o, T), 0.355L) *
               (19.3645723L - 61.8013768L * tr + 68.0458573L * tr * tr - 26.4760176L * tr * tr * tr)) /
      tr;
  return CompressibilityVapour(o, T, f);
}

Extended R125SatPressure(TGeneralEosSubstance& o, Extended T) {
  static constexpr std::array<Extended, 4> kA{-7.435645L, 1.341794L, -3.367536L, -1.697153L};
  static constexpr std::array<Extended, 4> kE{1, 1.5L, 3, 6};
  return ReducedVapourPressure(o, T / o.TCrit, kA, kE, Theta(o, T));
}

Extended R125SatLiquidDensity(TGeneralEosSubstance& o, Extended T) {
  const Extended theta = Theta(o, T);
  return Refine(o, T,
                1 + 1.887307L * PowerReal(theta, 0.355L) + 1.28166L * PowerReal(theta, 2.0L / 3) - 1.682786L * theta +
                    1.34814L * PowerReal(theta, 4.0L / 3),
                0);
}

// f = (1 - 0.698842 theta^0.355 - 2.745433 theta^0.71 + 2.288954 theta + 0.416675 theta^2)/Tr^8
Extended R125SatVaporDensity(TGeneralEosSubstance& o, Extended T) {
  const Extended theta = Theta(o, T);
  const Extended tr = T / o.TCrit;
  const Extended f = (1 - 0.698842L * PowerReal(theta, 0.355L) - 2.745433L * PowerReal(theta, 0.71L) +
                      2.288954L * theta + 0.416675L * theta * theta) /
                     IntPower(8, tr);
  return CompressibilityVapour(o, T, f);
}

}  // namespace voq

// The viscosity and thermal conductivity of R23 and R125.
//
// R23: a dilute-gas part from kinetic theory with the fluid's collision
// integral and a dense part, blended by powers of the molar density over a
// close-packed density rho0 (32.174 mol/L for the viscosity, 68.345 for the
// conductivity). R125: the Chapman-Enskog dilute viscosity with a residual
// term in the density, and a conductivity polynomial in the molar density.
#include "properties/helmholtz_hfc_transport.h"

#include <cmath>

#include "core/numeric_library.h"
#include "properties/property_units.h"

namespace voq {

namespace {

constexpr Extended kR23ViscosityRho0 = 32.174L;
constexpr Extended kR23ConductivityRho0 = 68.345L;
constexpr Extended kGasConstant = 8.31451L;

// The shared frame of the four slots: solve, then hand T (K) and the molar
// density (mol/L) to the correlation and convert its SI result.
template <class Correlation>
Extended HfcSlot(TGeneralEosSubstance& o, const char* property, int32_t unitKind, TPropertyArgumentRecord& a,
                 Correlation&& correlation) {
  if (o.SuppressWarnings != 0) return -999;
  TTransportStatePoint point;
  if (!TransportState(o, property, a, point)) return -999;
  Extended value = correlation(point.T, point.rho / o.MolarMassValue);
  PropertyFromInternalUnits(unitKind, value);
  return value;
}

}  // namespace

Extended R23DiluteViscosity(Extended T, Extended M) {
  const Extended L = std::log(T / 243.91L);
  const Extended L2 = L * L;
  const Extended omega =
      std::exp(0.4425728L - 0.5138403L * L + 0.1547566L * L2 - 0.02821844L * L2 * L + 0.001578286L * L2 * L2);
  return 0.3125L * 1e24L * std::sqrt(M * 1.380658e-23L * T / 1.891910135811252183e27L) /
         (0.42781L * 0.42781L * omega);
}

// mu = 1e-6 (mu0 ((rho0 - r)/rho0)^1.3163 + mud (r/rho0)^1.3163),
// mud = 0.1832 rho0^2/(rho0 - r) sqrt(T) exp(r/(rho0 - r) 771.23/(R T)).
Extended R23ViscositySI(Extended T, Extended rhoMolar, Extended M) {
  const Extended rho0 = kR23ViscosityRho0;
  const Extended gap = rho0 - rhoMolar;
  const Extended dense =
      0.1832L * rho0 * rho0 / gap * std::sqrt(T) * std::exp(rhoMolar / gap * 771.23L / (kGasConstant * T));
  return 1e-6L * (R23DiluteViscosity(T, M) * PowerReal(gap / rho0, 1.3163L) +
                  dense * PowerReal(rhoMolar / rho0, 1.3163L));
}

// lambda = 0.001 (lambda0 ((rho0 - r)/rho0)^0.94215 + lambdad (r/rho0)^0.94215),
// lambda0 = 0.05366 T - 2.537,
// lambdad = 0.14914 rho0^2/(rho0 - r) sqrt(T) exp(r/(rho0 - r) 2508.58/(R T)).
Extended R23ConductivitySI(Extended T, Extended rhoMolar) {
  const Extended rho0 = kR23ConductivityRho0;
  const Extended gap = rho0 - rhoMolar;
  const Extended dilute = 0.05366L * T - 2.537L;
  const Extended dense =
      0.14914L * rho0 * rho0 / gap * std::sqrt(T) * std::exp(rhoMolar / gap * 2508.58L / (kGasConstant * T));
  return 0.001L * (dilute * PowerReal(gap / rho0, 0.94215L) + dense * PowerReal(rhoMolar / rho0, 0.94215L));
}

Extended R125DiluteViscosity(Extended T, Extended M) {
  const Extended tStar = T / 250;
  const Extended omega = 1.16145L / PowerReal(tStar, 0.14874L) + 0.52487L * std::exp(-0.7732L * tStar) +
                         2.16178L * std::exp(-2.43787L * tStar);
  return 2.669579e-8L * std::sqrt(M * T) / (0.515L * 0.515L * omega);
}

// mu = mu0 + (exp(X) - 1) exp(-16.674402 + 2216.9228/T) 1e-7,
// X = r^0.1 (17.25737 - 25584.315/T^1.5)
//   + sqrt(r) (delta - 1) (0.05567505 - 21.39703/T + 24667.515/T^2).
Extended R125ViscositySI(Extended T, Extended rhoMolar, Extended M, Extended vCrit) {
  const Extended deltaMinus1 = rhoMolar * M * vCrit - 1;
  const Extended X = PowerReal(rhoMolar, 0.1L) * (17.25737L - 25584.315L / PowerReal(T, 1.5L)) +
                     std::sqrt(rhoMolar) * deltaMinus1 * (0.05567505L - 21.39703L / T + 24667.515L / (T * T));
  const Extended excess = (std::exp(X) - 1) * std::exp(-16.674402L + 2216.9228L / T) * 1e-7L;
  return R125DiluteViscosity(T, M) + excess;
}

Extended R125ConductivitySI(Extended T, Extended rhoMolar) {
  const Extended r = rhoMolar;
  const Extended r2 = r * r;
  return (-0.00200919L + 3.30401e-5L * T + 6.69723e-8L * T * T) + r * (0.000423907L + 2.8267e-6L * T) +
         r2 * (0.00138085L - 1.87798e-6L * T) + r2 * r * (-0.000171205L + 1.71075e-7L * T) +
         r2 * r2 * (7.21695e-6L + 8.19274e-11L * T);
}

Extended R23Viscosity(TGeneralEosSubstance& o, TPropertyArgumentRecord& a) {
  return HfcSlot(o, "Viscosity", 9, a,
                 [&](Extended T, Extended r) { return R23ViscositySI(T, r, o.MolarMassValue); });
}
Extended R23Conductivity(TGeneralEosSubstance& o, TPropertyArgumentRecord& a) {
  return HfcSlot(o, "Conductivity", 10, a, [](Extended T, Extended r) { return R23ConductivitySI(T, r); });
}
Extended R125Viscosity(TGeneralEosSubstance& o, TPropertyArgumentRecord& a) {
  return HfcSlot(o, "Viscosity", 9, a,
                 [&](Extended T, Extended r) { return R125ViscositySI(T, r, o.MolarMassValue, o.VCrit); });
}
Extended R125Conductivity(TGeneralEosSubstance& o, TPropertyArgumentRecord& a) {
  return HfcSlot(o, "Conductivity", 10, a, [](Extended T, Extended r) { return R125ConductivitySI(T, r); });
}

}  // namespace voq

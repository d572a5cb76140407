// Viscosity and thermal conductivity of transport family C (methane,
// ethane, propane, n-butane, isobutane): the correlations of B. A.
// Younglove and J. F. Ely, J. Phys. Chem. Ref. Data 16(4):577 (1987), on
// the constants each object carries.
#include <array>
#include <cmath>

#include "core/numeric_library.h"
#include "properties/helmholtz_mbwr_fluids.h"
#include "properties/property_units.h"

namespace voq {

namespace {

// Collision-integral coefficients c1..c9, shared by the family.
constexpr std::array<Extended, 9> kCollisionCoef{-3.0328138281L, 16.918880086L, -37.189364917L,
                                                 41.288861858L,  -24.61592114L, 8.948843096L,
                                                 -1.8739245042L, 0.209661014L,  -0.009657044L};

// The molar density (mol/L) of a specific volume in m3/kg.
Extended MolarDensity(const TGeneralEosSubstance& o, Extended v) { return 1 / (v * o.MolarMassValue); }

}  // namespace

Extended TGeneralEosFamilyC::CollisionIntegral(Extended x) {
  Extended sum = 0;
  for (size_t i = 0; i < kCollisionCoef.size(); ++i) {
    sum += kCollisionCoef[i] * PowerReal(x, (3.0L - static_cast<Extended>(i)) / 3);
  }
  return 1 / sum;
}

Extended TGeneralEosFamilyC::DiluteGasViscosityC(Extended T) const {
  return DiluteViscosityFactor * std::sqrt(T) /
         (CollisionDiameter * CollisionDiameter * CollisionIntegral(EnergyParameter / T));
}

Extended TGeneralEosFamilyC::FirstDensityViscosity(Extended T) const {
  const auto& b = FirstDensityViscosityCoef;
  const Extended r = b[2] - std::log(T / b[3]);
  return b[0] + b[1] * r * r;
}

Extended TGeneralEosFamilyC::DenseFluidViscosity(Extended T, Extended rho) const {
  // Stored j1, j4, j2, j3, j5, j6, j7.
  const auto& j = DenseViscosityCoef;
  const Extended rhoC = 1 / (VCrit * MolarMassValue);
  const Extended theta = (rho - rhoC) / rhoC;
  const Extended e = j[0] + j[1] / T;
  return std::exp(e + PowerReal(rho, 0.1L) * (j[2] + j[3] / PowerReal(T, 1.5L)) +
                  theta * PowerReal(rho, 0.5L) * (j[4] + j[5] / T + j[6] / (T * T))) -
         std::exp(e);
}

Extended TGeneralEosFamilyC::IdealCpC(Extended T) const {
  const auto& g = Cp0Coef;
  Extended sum = 0;
  Extended tk = 1 / (T * T * T);  // T^(i-4), i = 1
  for (size_t i = 0; i < 7; ++i) {
    sum += g[i] * tk;
    tk *= T;
  }
  const Extended u = g[8] / T;
  const Extended eu = std::exp(u);
  sum += g[7] * u * u * eu / ((eu - 1) * (eu - 1));
  return GasConstant * sum;
}

Extended TGeneralEosFamilyC::DiluteConductivityC(Extended T) const {
  const auto& k = ConductivityCoef;
  const Extended eta0 = DiluteGasViscosityC(T);
  return eta0 * 0.001L / MolarMassValue *
         (3.75L * GasConstant + (IdealCpC(T) - 2.5L * GasConstant) * (k[8] + k[9] * EnergyParameter / T));
}

Extended TGeneralEosFamilyC::ConductivityB1C(Extended T) const {
  const auto& k = ConductivityCoef;
  return k[0] + k[1] / T + k[2] / (T * T);
}
Extended TGeneralEosFamilyC::ConductivityB2C(Extended T) const {
  const auto& k = ConductivityCoef;
  return k[3] + k[4] / T + k[5] / (T * T);
}
Extended TGeneralEosFamilyC::ConductivityDC(Extended T) const {
  const auto& k = ConductivityCoef;
  return k[6] + k[7] / T;
}

Extended TGeneralEosFamilyC::ViscosityAt(Extended T, Extended rho) const {
  return (DiluteGasViscosityC(T) + FirstDensityViscosity(T) * rho + DenseFluidViscosity(T, rho)) * 1e-6L;
}

// k = k0 + (C rho + B) rho/(D rho + 1)
Extended TGeneralEosFamilyC::ConductivityAt(Extended T, Extended rho) const {
  return DiluteConductivityC(T) +
         (ConductivityB2C(T) * rho + ConductivityB1C(T)) * rho / (ConductivityDC(T) * rho + 1);
}

Extended TGeneralEosFamilyC::ViscosityC(TPropertyArgumentRecord& a) {
  return FamilySlot(*this, "Viscosity", a, [this](Extended T, Extended v, Extended) {
    Extended mu = ViscosityAt(T, MolarDensity(*this, v));
    PropertyFromInternalUnits(9, mu);
    return mu;
  });
}

Extended TGeneralEosFamilyC::ConductivityC(TPropertyArgumentRecord& a) {
  return FamilySlot(*this, "Conductivity", a, [this](Extended T, Extended v, Extended) {
    Extended k = ConductivityAt(T, MolarDensity(*this, v));
    PropertyFromInternalUnits(10, k);
    return k;
  });
}

}  // namespace voq

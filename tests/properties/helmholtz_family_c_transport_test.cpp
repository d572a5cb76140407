// Viscosity and thermal conductivity of transport family C: against
// published values, the dilute limit, molar and mass bases alike, and the
// two-phase refusal.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "eos_call.h"
#include "model/document_settings.h"
#include "properties/fluid_catalog.h"
#include "properties/helmholtz_mbwr_fluids.h"
#include "properties/helmholtz_state.h"
#include "properties/substance_factory.h"

namespace voq::family_c_test {
namespace {

using testing::Call;
using testing::kK;
using testing::kMu;
using testing::kP;
using testing::kT;
using testing::kX;
using testing::UseSiMassKpaKjK;

std::unique_ptr<TGeneralEosFamilyC> Fluid(const std::string& name) {
  UseSiMassKpaKjK();
  CalcErrorCode = 0;
  TSubstanceBase* o = CreatePropertyObject(FindSubstanceRow(name));
  auto* eos = dynamic_cast<TGeneralEosFamilyC*>(o);
  EXPECT_NE(eos, nullptr) << name;
  if (eos == nullptr) delete o;
  return std::unique_ptr<TGeneralEosFamilyC>(eos);
}

::testing::AssertionResult Near(Extended got, Extended want, Extended rel) {
  if (std::fabs(got - want) <= rel * std::fabs(want)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << static_cast<double>(got) << " is not within " << static_cast<double>(rel)
                                       << " of " << static_cast<double>(want);
}

const char* const kFamily[] = {"Methane", "Ethane", "Propane", "n-Butane", "Isobutane"};

struct TTransportCase {
  const char* fluid;
  int32_t wanted;  // kMu (Pa-s) or kK (W/m-K)
  Extended T;
  int32_t kind2;  // kP (kPa) or kX
  Extended value2, published, tolerance;
};

// Propane: the correlations of the VDI Heat Atlas, 2nd ed. (Springer,
// 2010), chapter D3.1, evaluated at the case's temperature: saturated
// liquid at 230 and 330 K, gas at 300 and 500 K (compared at 10 kPa).
// Methane gas at 300 K and 100 kPa, NIST Chemistry WebBook: 11.1 uPa-s and
// 0.0343 W/m-K. The correlations here are the older ones of Younglove and
// Ely (1987): 4 %.
const TTransportCase kPublished[] = {
    {"Propane", kMu, 230, kX, 0, 198.8e-6L, 0.04L},   {"Propane", kMu, 330, kX, 0, 68.3e-6L, 0.04L},
    {"Propane", kMu, 300, kP, 10, 8.264e-6L, 0.04L},  {"Propane", kMu, 500, kP, 10, 13.45e-6L, 0.04L},
    {"Propane", kK, 230, kX, 0, 0.1294L, 0.04L},      {"Propane", kK, 330, kX, 0, 0.07844L, 0.04L},
    {"Propane", kK, 300, kP, 10, 0.01841L, 0.04L},    {"Propane", kK, 500, kP, 10, 0.0453L, 0.04L},
    {"Methane", kMu, 300, kP, 100, 11.1e-6L, 0.04L},  {"Methane", kK, 300, kP, 100, 0.0343L, 0.04L},
};

TEST(FamilyCTransportTest, AgreesWithPublishedValues) {
  for (const TTransportCase& c : kPublished) {
    auto o = Fluid(c.fluid);
    ASSERT_NE(o, nullptr);
    ClearEosStateCache();
    const Extended got = Call(*o, c.wanted, kT, c.T, c.kind2, c.value2);
    EXPECT_EQ(CalcErrorCode, 0) << c.fluid << " " << static_cast<double>(c.T);
    EXPECT_TRUE(Near(got, c.published, c.tolerance))
        << c.fluid << (c.wanted == kMu ? " viscosity " : " conductivity ") << static_cast<double>(c.T);
  }
  ClearEosStateCache();
}

// At zero density only the dilute-gas terms are left.
TEST(FamilyCTransportTest, DiluteLimit) {
  for (const char* name : kFamily) {
    auto o = Fluid(name);
    ASSERT_NE(o, nullptr);
    for (const Extended T : {200.0L, 300.0L, 450.0L}) {
      EXPECT_EQ(o->ConductivityAt(T, 0), o->DiluteConductivityC(T)) << name;
      EXPECT_TRUE(Near(o->ViscosityAt(T, 0), o->DiluteGasViscosityC(T) * 1e-6L, 1e-15L)) << name;
      EXPECT_EQ(o->DenseFluidViscosity(T, 0), 0) << name;
      EXPECT_GT(o->DiluteConductivityC(T), 0) << name;
    }
  }
}

// The collision integral at T* = 1 (x = 1): 1/sum c_i, and the ideal-gas
// heat capacity of propane at 298.15 K against 73.60 J/mol-K (Chao,
// Wilhoit and Hall, Thermochim. Acta 6:45 (1973)).
TEST(FamilyCTransportTest, CollisionIntegralAndIdealHeatCapacity) {
  Extended sum = 0;
  for (const Extended c : {-3.0328138281L, 16.918880086L, -37.189364917L, 41.288861858L, -24.61592114L, 8.948843096L,
                           -1.8739245042L, 0.209661014L, -0.009657044L}) {
    sum += c;
  }
  EXPECT_TRUE(Near(TGeneralEosFamilyC::CollisionIntegral(1), 1 / sum, 1e-15L));
  auto propane = Fluid("Propane");
  ASSERT_NE(propane, nullptr);
  EXPECT_TRUE(Near(propane->IdealCpC(298.15L), 73.60L, 5e-3L));
}

// A molar document gives the same viscosity and conductivity as a mass
// one for the same (T, P).
TEST(FamilyCTransportTest, MolarAndMassBasesAgree) {
  for (const char* name : kFamily) {
    auto o = Fluid(name);
    ASSERT_NE(o, nullptr);
    for (const auto& [T, P] : {std::pair{250.0L, 5000.0L}, std::pair{400.0L, 1000.0L}}) {
      Extended mass[2], molar[2];
      for (int basis = 0; basis < 2; ++basis) {
        DocumentSettings.MolarBasis = basis;
        Extended* out = basis == 0 ? mass : molar;
        ClearEosStateCache();
        out[0] = Call(*o, kMu, kT, T, kP, P);
        ClearEosStateCache();
        out[1] = Call(*o, kK, kT, T, kP, P);
        EXPECT_EQ(CalcErrorCode, 0) << name;
      }
      DocumentSettings.MolarBasis = 0;
      EXPECT_TRUE(Near(molar[0], mass[0], 1e-12L)) << name;
      EXPECT_TRUE(Near(molar[1], mass[1], 1e-12L)) << name;
    }
  }
  ClearEosStateCache();
}

// A two-phase state has no transport properties: error 214 and -999.
TEST(FamilyCTransportTest, TwoPhaseStatesAreRefused) {
  auto o = Fluid("n-Butane");
  ASSERT_NE(o, nullptr);
  for (const int32_t wanted : {kMu, kK}) {
    ClearEosStateCache();
    EXPECT_EQ(Call(*o, wanted, kT, 300, kX, 0.5L), -999);
    EXPECT_EQ(CalcErrorCode, kMsgTwoPhaseUndetermined);
    CalcErrorCode = 0;
  }
  ClearEosStateCache();
}

}  // namespace
}  // namespace voq::family_c_test

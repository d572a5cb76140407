#pragma once
// The coefficient record of a Martin-Hou fluid and the table of records by
// fluid number. Fields 0 to 65 are what the equation of state reads (they
// are copied into the current-fluid block before each property call); 66 to
// 97 hold the transport-property data and never leave the record. Values are
// in the English units of the Martin-Hou core: R, psia, ft3/lbm, Btu/lbm,
// Btu/(lbm R), lbm/ft3.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace voq {

inline constexpr int kMartinHouFieldCount = 98;
inline constexpr int kMartinHouCurrentFieldCount = 66;
inline constexpr int32_t kMartinHouTableSize = 140;
inline constexpr int32_t kMartinHouBuiltinCount = 25;

// Field numbers of MartinHouCoefRecord.
enum MartinHouField : int {
  kMhFormatMarker = 0,  // 400 in the records of fluids 21-23; a user file's molar mass
  // Saturated-liquid density, lbm/ft3:
  // rho = Af + Bf y + Cf y^2 + Df tau + Ef y^4 + Ff sqrt(tau) + Gf tau^2, tau = 1 - T/Tc, y = tau^(1/3)
  kMhAf = 1, kMhBf, kMhCf, kMhDf, kMhEf, kMhFf, kMhGf,
  // Bubble-point pressure; log10 form below fluid 9, ln form from 9 on.
  kMhVP1 = 8, kMhVP2, kMhVP3, kMhVP4, kMhVP5, kMhVP6,
  kMhR = 14,  // gas constant, psia ft3/(lbm R)
  kMhB = 15,  // co-volume b, ft3/lbm
  kMhA2 = 16, kMhB2, kMhC2, kMhA3, kMhB3, kMhC3, kMhA4, kMhB4, kMhC4, kMhA5, kMhB5, kMhC5,
  kMhA6 = 28, kMhB6, kMhC6,
  kMhK = 31,       // exp(-K T/Tc)
  kMhAlpha = 32,   // exp(Alpha v); 0 without a sixth term
  kMhCPrime = 33,  // C' of the sixth term's denominator
  // Ideal-gas cv0 = a + b T + c T^2 + d T^3 + f/T^2, Btu/(lbm R)
  kMhCv0A = 34, kMhCv0B, kMhCv0C, kMhCv0D, kMhCv0F,
  kMhX = 39,  // enthalpy reference constant, Btu/lbm
  kMhY = 40,  // entropy reference constant, Btu/(lbm R)
  kMhPc = 41, kMhTc = 42, kMhVc = 43,
  kMhBlendValue = 45,  // above 0.001: a zeotropic blend with dew-pressure and latent-heat fits
  kMhDP1 = 48, kMhDP2, kMhDP3, kMhDP4, kMhDP5,  // dew pressure, ln form
  kMhY0 = 56,                                   // offset of the latent-heat polynomial
  kMhH0 = 57, kMhH1, kMhH2, kMhH3, kMhH4,       // latent heat, Btu/lbm
  kMhViscosityBlock = 66,
  kMhConductivityBlock = 82,
};

struct MartinHouCoefRecord {
  std::array<double, kMartinHouFieldCount> field{};
  double& operator[](int i) { return field[static_cast<size_t>(i)]; }
  double operator[](int i) const { return field[static_cast<size_t>(i)]; }
};

// Slots 1..140 (slot 0 unused): built-in fluids under 1..25, user fluid
// files under their catalogue row. A record, once entered, stays for the
// whole run: substance objects keep references to it.
extern std::array<std::unique_ptr<MartinHouCoefRecord>, kMartinHouTableSize + 1> MartinHouCoefTable;

// The record of fluid `fluidNumber`. An empty slot gets a new record,
// entered in the table first and then filled with the built-in constants
// when the number is 1..25 (other numbers stay zero until the user-file
// reader fills them). Null for a number outside 1..140.
MartinHouCoefRecord* LoadMartinHouCoefficients(int32_t fluidNumber);

// How many records LoadMartinHouCoefficients has allocated during the run.
int32_t MartinHouRecordsAllocated();

// The display name of built-in fluid 1..25, else "".
std::string MartinHouFluidName(int32_t fluidNumber);

}  // namespace voq

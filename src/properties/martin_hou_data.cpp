// The built-in Martin-Hou fluids 1 to 25 and the record table.
//
// Sources of the records, fields 0 to 45 unless stated:
// - R11, R12, R13, R14, R22, R114, R500, R502 (fluids 1 to 8): R. C. Downing,
//   "Refrigerant Equations", ASHRAE Transactions 80(2), 1974, p. 158:
//   liquid density, vapour pressure (log10 form), equation of state,
//   ideal-gas cv0 and the enthalpy and entropy constants X and Y (reference:
//   h = 0 and s = 0 for the saturated liquid at -40 F, R14 excepted). The
//   coefficients are taken as reproduced in the refrigerant module of the
//   NIST HVACSIM+ package, github.com/magaller/HVACSIMplus,
//   SOURCE/model/refrigpr.f90 (commit e1c8e8b7f4e2fd4f65c44ab60f0ac6a41087161d),
//   module refrig_head. Critical pressure and volume, and the critical
//   temperatures of R13 (543.62 R) and R114 (753.97 R), are this program's
//   own constants (Downing lists 543.60 and 753.95 R).
// - R134a (fluid 9): this program's record; the blend fields of R407C
//   (fluid 21, fields 48 to 61) likewise.
// - Fluids 10 to 25: martin_hou_fitted_data.cpp, made by
//   tools/martin_hou_fit.cpp from the reference data in
//   tests/data/martin-hou/ (see that file's header for each fluid's source).
//   R410A's equation-of-state terms and cv0 are those published in SI units
//   with the Modelica Buildings library, Buildings.Media.Refrigerants.R410A
//   (github.com/lbl-srg/modelica-buildings, after F. de Monte, Int. J.
//   Refrigeration 25 (2002) 306-313), converted to English units.
#include <cstring>

#include "properties/martin_hou_data.h"
#include "properties/martin_hou_fitted_data.h"
#include "properties/martin_hou_transport_data.h"

namespace voq {

std::array<std::unique_ptr<MartinHouCoefRecord>, kMartinHouTableSize + 1> MartinHouCoefTable;

namespace {

int32_t recordsAllocated = 0;

// Fields 0 to 45 of a record.
using BaseFields = double[46];

// clang-format off
// R11
constexpr BaseFields kR11 = {
    0,
    34.57, 57.63811, 43.6322, -42.82356, 36.70663, 0, 0,
    42.14702865, -4344.343807, -12.84596753, 0.0040083725, 0.0313605356, 862.07,
    0.078117, 0.0019,
    -3.126759, 0.001318523, -35.76999,
    -0.025341, 4.875121e-05, 1.220367,
    0.001687277, -1.805062e-06, 0,
    -2.35893e-05, 2.448303e-08, -0.0001478379,
    1.057504e+08, -94721.03, 0,
    4.5, 580.0, 0,
    0.023815, 0.0002798823, -2.123734e-07, 5.999018e-11, -336.80703,
    50.5418, -0.0918395,
    639.5, 848.07, 0.028927, 0, 0};
// R12
constexpr BaseFields kR12 = {
    0,
    34.84, 53.341187, 0, 18.69137, 0, 21.98396, -3.150994,
    39.88381727, -3436.632228, -12.47152228, 0.00473044244, 0, 0,
    0.088734, 0.0065093886,
    -3.40972713, 0.00159434848, -56.7627671,
    0.0602394465, -1.87961843e-05, 1.31139908,
    -0.00054873701, 0, 0,
    0, 3.468834e-09, -2.54390678e-05,
    0, 0, 0,
    5.475, 0, 0,
    0.0080945, 0.000332662, -2.413896e-07, 6.72363e-11, 0,
    39.556551, -0.016537936,
    596.9, 693.3, 0.0287, 0, 0};
// R13
constexpr BaseFields kR13 = {
    0,
    36.06996, 54.395124, 0, 8.512776, 0, 25.879906, 9.589006,
    25.967975, -2709.538217, -7.17234391, 0.002545154, 0.280301091, 546.0,
    0.102728, 0.0048,
    -3.083417, 0.002341695, -18.212643,
    0.058854, -5.671268e-05, 0.571958,
    -0.001026061, 1.338679e-06, 0,
    5.290649e-06, -7.395111e-09, -3.874233e-05,
    7.378601e+07, -74355.65, 0,
    4.0, 625.0, 0,
    0.01602, 0.0002823, -1.159e-07, 0, 0,
    20.911, -0.05676,
    561.3, 543.62, 0.02772, 0, 0};
// R14 (Downing's enthalpy and entropy reference differs from -40 F liquid)
constexpr BaseFields kR14 = {
    0,
    39.06, 69.568489, 4.5866114, 36.1716662, -8.058986, 0, 0,
    20.71545389, -2467.505285, -4.69017025, 0.00064798076, 0.770707795, 424.0,
    0.1219336, 0.0015,
    -2.162959, 0.002135114, -18.941131,
    0.004404057, 1.282818e-05, 0.539776,
    0.0001921072, -3.918263e-07, 0,
    -4.481049e-06, 9.062318e-09, -4.836678e-05,
    5.838823e+07, -92639.23, 0,
    4.0, 661.199997, 0,
    0.0300559282, 0.00023704335, -2.85660077e-08, -2.95338805e-11, 0,
    86.102162, 0.36172528,
    543.16, 409.5, 0.0256, 0, 0};
// R22
constexpr BaseFields kR22 = {
    0,
    32.76, 54.634409, 36.74892, -22.2925657, 20.4732886, 0, 0,
    29.35754453, -3845.193152, -7.86103122, 0.002190939, 0.445746703, 686.1,
    0.124098, 0.002,
    -4.353547, 0.002407252, -44.066868,
    -0.017464, 7.62789e-05, 1.483763,
    0.002310142, -3.605723e-06, 0,
    -3.724044e-05, 5.355465e-08, -0.0001845051,
    1.363387e+08, -167261.2, 0,
    4.2, 548.2, 0,
    0.02812836, 0.0002255408, -6.509607e-08, 0, 257.341,
    62.4009, -0.0453335,
    721.91, 664.5, 0.030525, 0, 0};
// R114
constexpr BaseFields kR114 = {
    0,
    36.32, 61.146414, 0, 16.418015, 0, 17.476838, 1.119828,
    27.071306, -5113.7021, -6.3086761, 0.0006913003, 0.78142111, 768.35,
    0.062780807, 0.005914907,
    -2.3856704, 0.0010801207, -6.5643648,
    0.034055687, -5.3336494e-06, 0.16366057,
    -0.0003857481, 0, 0,
    1.6017659e-06, 6.2632341e-10, -1.0165314e-05,
    0, 0, 0,
    3.0, 0, 0,
    0.0175, 0.000349, -1.67e-07, 0, 0,
    25.3396621, -0.11513718,
    477.2, 753.97, 0.027531, 0, 0};
// R500
constexpr BaseFields kR500 = {
    0,
    31.0, 43.562, 74.709, -87.583, 56.483, 0, 0,
    17.780935, -3422.69717, -3.63691, 0.00050272207, 0.4629401, 695.57,
    0.10805, 0.006034229,
    -4.549888, 0.002308415, -92.90748,
    0.08660634, -3.141665e-05, 2.742282,
    -0.0008726016, 0, 0,
    -1.375958e-06, 9.14957e-09, -0.0002102661,
    0, 0, 0,
    5.475, 0, 0,
    0.026803537, 0.00028373408, -9.7167893e-08, 0, 0,
    46.4734, -0.09012707564,
    646.3, 681.59, 0.032256, 0, 0};
// R502
constexpr BaseFields kR502 = {
    0,
    35.0, 53.48437, 63.86417, -70.08066, 48.47901, 0, 0,
    10.644955, -3671.153813, -0.369835, -0.001746352, 0.8161139, 654.0,
    0.096125, 0.00167,
    -3.2613344, 0.0020576287, -24.24879,
    0.034866748, -8.6791313e-06, 0.33274779,
    -0.00085765677, 7.0240549e-07, 0.022412368,
    8.8368967e-06, -7.9168095e-09, -0.00037167231,
    -3.8257766e+07, 55816.094, 1.5378377e+09,
    4.2, 609.0, 7e-07,
    0.020419, 0.0002996802, -1.409043e-07, 2.210861e-11, 0,
    35.308, -0.07444,
    591.0, 639.56, 0.028571, 0, 0};
// R134a
constexpr BaseFields kR134a = {
    0,
    31.976, 51.16709, 63.9001, -72.21399, 49.30054, 0, 0,
    -6036.23, 16.4299, -0.00161558, 2.78366, 0, 0,
    0.1051781, 0.005535127,
    -4.447446, 0.002352, -131.4301,
    0.08630833, -2.961652e-05, 3.856549,
    -0.001001713, 0, 0,
    -1.063691e-06, 1.079076e-08, -0.0003137839,
    0, 0, 0,
    5.475, 0, 0,
    0.02597217, 0.00033646, -9.37488e-08, 0, 0,
    50.373666, -0.094348,
    589.8, 673.65, 0.03127346, 0, 0};
// Blend fields 48 to 61 of R407C: DP1..DP5, 53, 54, 55, Y0, H0..H4.
constexpr double kR407CBlend[14] = {
    -9518.471, 52.21183, -0.08230649, -8.701678, 5.310082e-05,
    0, 0, 1,
    0, -2.892717, 82.55277, 189.4586, -130.8601, 0};
// clang-format on

const double* BaseFieldsOf(int32_t fluidNumber) {
  switch (fluidNumber) {
    case 1: return kR11;
    case 2: return kR12;
    case 3: return kR13;
    case 4: return kR14;
    case 5: return kR22;
    case 6: return kR114;
    case 7: return kR500;
    case 8: return kR502;
    case 9: return kR134a;
    default: return nullptr;
  }
}

void FillBuiltinRecord(int32_t fluidNumber, MartinHouCoefRecord& record) {
  if (const double* base = BaseFieldsOf(fluidNumber)) {
    for (int i = 0; i <= kMhBlendValue; ++i) record[i] = base[i];
    return;
  }
  for (int k = 0; k < kMartinHouFittedFluidCount; ++k) {
    const MartinHouFittedFluid& fitted = kMartinHouFittedFluids[k];
    if (fitted.fluidNumber != fluidNumber) continue;
    for (int i = 0; i < 62; ++i) record[i] = fitted.field[i];
  }
  if (fluidNumber == 21) {
    for (int i = 0; i < 14; ++i) record[kMhDP1 + i] = kR407CBlend[i];
  }
}

}  // namespace

MartinHouCoefRecord* LoadMartinHouCoefficients(int32_t fluidNumber) {
  if (fluidNumber < 1 || fluidNumber > kMartinHouTableSize) return nullptr;
  std::unique_ptr<MartinHouCoefRecord>& slot = MartinHouCoefTable[static_cast<size_t>(fluidNumber)];
  if (slot) return slot.get();
  // The slot holds the record before it is filled, so a caller that looks
  // at the table meanwhile never sees the number without a record.
  slot = std::make_unique<MartinHouCoefRecord>();
  ++recordsAllocated;
  if (fluidNumber <= kMartinHouBuiltinCount) {
    FillBuiltinRecord(fluidNumber, *slot);
    FillMartinHouTransportBlocks(fluidNumber, *slot);
  }
  return slot.get();
}

int32_t MartinHouRecordsAllocated() { return recordsAllocated; }

std::string MartinHouFluidName(int32_t fluidNumber) {
  // Fluid 25 is R508B: its record (gas constant 0.1125) and its catalogue
  // row are R508B's, so warnings name it so.
  static const char* const kNames[kMartinHouBuiltinCount] = {
      "R11",     "R12",   "R13",      "R14",           "R22",    "R114",    "R500",
      "R502",    "R134a", "Ammonia",  "R123",          "Nitrogen", "CarbonDioxide",
      "Oxygen",  "Propane", "Helium", "Methane",       "Butane", "R32",     "R141b",
      "R407C",   "R410A", "R404A",    "R507A",         "R508B"};
  if (fluidNumber < 1 || fluidNumber > kMartinHouBuiltinCount) return {};
  return kNames[fluidNumber - 1];
}

}  // namespace voq

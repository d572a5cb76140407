#pragma once
// The records of the built-in Martin-Hou fluids that were fitted to
// reference data by tools/martin_hou_fit.cpp: fields 0 to 61 of each, in
// the layout of MartinHouCoefRecord.
#include <cstdint>

namespace voq {

struct MartinHouFittedFluid {
  int32_t fluidNumber;
  double field[62];
};

extern const MartinHouFittedFluid kMartinHouFittedFluids[];
extern const int kMartinHouFittedFluidCount;

}  // namespace voq

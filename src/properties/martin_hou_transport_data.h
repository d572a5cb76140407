#pragma once
// The transport blocks (fields 66..78 viscosity, 82..94 conductivity) of
// the built-in Martin-Hou records.
#include <array>
#include <cstdint>

#include "core/extended.h"
#include "properties/martin_hou_data.h"

namespace voq {

// Writes the two transport blocks of built-in fluid `fluidNumber`.
void FillMartinHouTransportBlocks(int32_t fluidNumber, MartinHouCoefRecord& record);

// The density correlation of a built-in blend (fluids 21..24): critical
// density, ViscA0..A2, ViscB1..B6, CondC0, CondC1, CondD1..D4; zeros for
// any other fluid.
std::array<Extended, 16> MartinHouBlendTransport(int32_t fluidNumber);

}  // namespace voq

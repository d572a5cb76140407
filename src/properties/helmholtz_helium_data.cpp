// Coefficients of the helium-4 equation of state.
//
// Source: R. D. McCarty and V. D. Arp, "A New Wide Range Equation of State
// for Helium", Advances in Cryogenic Engineering 35:1465-1475 (1990), in its
// reduced Helmholtz form: critical point 5.1953 K and 227.46 kPa, molar mass
// 4.0026 kg/kmol, gas constant 8.31431 J/mol-K. The residual part is its 37
// terms: 3 of the form n tau^t (exp(-delta^2) - 1), 19 polynomial terms and
// 15 terms with exp(-delta^2). The ideal-gas part (a monatomic gas) is
// written out in helmholtz_helium.cpp.
#include <array>

#include "properties/helmholtz_helium.h"

namespace voq {

namespace {

// Terms 1..3: n tau^t (exp(-delta^2) - 1).
constexpr std::array<Extended, 3> kDampedN{2.08984171567L, -0.381792817549L, 0.0441393943069L};
constexpr std::array<Extended, 3> kDampedT{3, 4, 5};

// Terms 4..22: n delta^d tau^t.
constexpr std::array<Extended, 19> kPolyN{
    0.0954038242224L,   1.15744872054L,   -2.87584069992L,  0.754294125268L,    -0.237177092854L,
    0.026474346333L,    -0.164983375328L, 0.764132237117L,  0.312978947837L,    -0.00107558759761L,
    0.109732330796L,    -0.30935483755L,  0.000823154284944L, 0.0149309620852L, -0.0150469153718L,
    -0.00213800009686L, 0.000198095303505L, 0.00195115121471L, -0.000320152846941L};
constexpr std::array<int32_t, 19> kPolyD{1, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 4, 5, 5, 6, 7, 7, 8};
constexpr std::array<Extended, 19> kPolyT{0, 0.5L, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 1, 2, 3, 2, 2, 3, 3};

// Terms 23..37: n delta^d tau^t exp(-delta^2).
constexpr std::array<Extended, 15> kExpN{
    1.19594006419L,     -0.152740402594L,   0.0441393943069L,  0.469369369369L,    -0.0763702010715L,
    -0.00206787489008L, 0.0744548107827L,   0.00393354771579L, -0.000689291627989L, 0.00601642971226L,
    0.000983386926042L, -0.000235321870328L, 0.000201249794359L, 0.000485142401906L, -4.70643739266e-5L};
constexpr std::array<int32_t, 15> kExpD{2, 2, 2, 4, 4, 4, 6, 6, 6, 8, 8, 8, 10, 10, 10};
constexpr std::array<Extended, 15> kExpT{3, 4, 5, 3, 4, 5, 3, 4, 5, 3, 4, 5, 3, 4, 5};
constexpr std::array<int32_t, 15> kExpL{2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2};

}  // namespace

const TResidualPart HeliumResidualPart{
    {kDampedN, kDampedT},
    {kPolyN, kPolyD, kPolyT},
    {kExpN, kExpD, kExpT, kExpL, {}},
    {},
    {},
};

}  // namespace voq

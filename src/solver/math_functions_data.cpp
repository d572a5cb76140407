// Coefficients of the built-in gamma and Bessel functions, as published in
//   M. Abramowitz and I. A. Stegun (eds.), Handbook of Mathematical Functions,
//   National Bureau of Standards, Applied Mathematics Series 55 (1964):
//   formula 6.1.34 (series of 1/Gamma(z), p. 256), formulas 9.4.1 to 9.4.6
//   (Bessel J and Y of orders 0 and 1, pp. 369-370) and 9.8.1 to 9.8.8
//   (modified Bessel I and K of orders 0 and 1, pp. 378-379).
// Each polynomial is listed from its constant term up; the error bound that
// the Handbook states for it is noted beside it.
#include "solver/math_functions.h"

namespace voq {

// 6.1.34: 1/Gamma(z) = sum c_k z^k, k = 1..26 (entry k-1 is c_k).
const std::array<Extended, 26> ReciprocalGammaCoefficients = {
    1.0000000000000000L,  0.5772156649015329L,  -0.6558780715202538L, -0.0420026350340952L,
    0.1665386113822915L,  -0.0421977345555443L, -0.0096219715278770L, 0.0072189432466630L,
    -0.0011651675918591L, -0.0002152416741149L, 0.0001280502823882L,  -0.0000201348547807L,
    -0.0000012504934821L, 0.0000011330272320L,  -0.0000002056338417L, 0.0000000061160950L,
    0.0000000050020075L,  -0.0000000011812746L, 0.0000000001043427L,  0.0000000000077823L,
    -0.0000000000036968L, 0.0000000000005100L,  -0.0000000000000206L, -0.0000000000000054L,
    0.0000000000000014L,  0.0000000000000001L,
};

// 9.4.1: J0(x) in t = (x/3)^2, -3 <= x <= 3; |error| < 5e-8.
const std::array<Extended, 7> BesselJ0SmallCoefficients = {
    1.0L, -2.2499997L, 1.2656208L, -0.3163866L, 0.0444479L, -0.0039444L, 0.0002100L,
};
// 9.4.2: Y0(x) - (2/pi) ln(x/2) J0(x) in t = (x/3)^2, 0 < x <= 3; |error| < 1.4e-8.
const std::array<Extended, 7> BesselY0SmallCoefficients = {
    0.36746691L, 0.60559366L, -0.74350384L, 0.25300117L, -0.04261214L, 0.00427916L, -0.00024846L,
};
// 9.4.3: modulus f0 in t = 3/x, x >= 3; |error| < 1.6e-8.
const std::array<Extended, 7> BesselF0Coefficients = {
    0.79788456L, -0.00000077L, -0.00552740L, -0.00009512L, 0.00137237L, -0.00072805L, 0.00014476L,
};
// 9.4.3: phase theta0 - x in t = 3/x, x >= 3; |error| < 7e-8.
const std::array<Extended, 7> BesselTheta0Coefficients = {
    -0.78539816L, -0.04166397L, -0.00003954L, 0.00262573L, -0.00054125L, -0.00029333L, 0.00013558L,
};
// 9.4.4: J1(x)/x in t = (x/3)^2, -3 <= x <= 3; |error| < 1.3e-8.
const std::array<Extended, 7> BesselJ1SmallCoefficients = {
    0.5L, -0.56249985L, 0.21093573L, -0.03954289L, 0.00443319L, -0.00031761L, 0.00001109L,
};
// 9.4.5: x Y1(x) - (2/pi) x ln(x/2) J1(x) in t = (x/3)^2, 0 < x <= 3; |error| < 1.1e-7.
const std::array<Extended, 7> BesselY1SmallCoefficients = {
    -0.6366198L, 0.2212091L, 2.1682709L, -1.3164827L, 0.3123951L, -0.0400976L, 0.0027873L,
};
// 9.4.6: modulus f1 in t = 3/x, x >= 3; |error| < 4e-8.
const std::array<Extended, 7> BesselF1Coefficients = {
    0.79788456L, 0.00000156L, 0.01659667L, 0.00017105L, -0.00249511L, 0.00113653L, -0.00020033L,
};
// 9.4.6: phase theta1 - x in t = 3/x, x >= 3; |error| < 9e-8.
const std::array<Extended, 7> BesselTheta1Coefficients = {
    -2.35619449L, 0.12499612L, 0.00005650L, -0.00637879L, 0.00074348L, 0.00079824L, -0.00029166L,
};

// 9.8.1: I0(x) in t = (x/3.75)^2, -3.75 <= x <= 3.75; |error| < 1.6e-7.
const std::array<Extended, 7> BesselI0SmallCoefficients = {
    1.0L, 3.5156229L, 3.0899424L, 1.2067492L, 0.2659732L, 0.0360768L, 0.0045813L,
};
// 9.8.2: x^(1/2) e^(-x) I0(x) in t = 3.75/x, x >= 3.75; |error| < 1.9e-7.
const std::array<Extended, 9> BesselI0LargeCoefficients = {
    0.39894228L, 0.01328592L,  0.00225319L, -0.00157565L, 0.00916281L,
    -0.02057706L, 0.02635537L, -0.01647633L, 0.00392377L,
};
// 9.8.3: I1(x)/x in t = (x/3.75)^2, -3.75 <= x <= 3.75; |error| < 8e-9.
const std::array<Extended, 7> BesselI1SmallCoefficients = {
    0.5L, 0.87890594L, 0.51498869L, 0.15084934L, 0.02658733L, 0.00301532L, 0.00032411L,
};
// 9.8.4: x^(1/2) e^(-x) I1(x) in t = 3.75/x, x >= 3.75; |error| < 2.2e-7.
const std::array<Extended, 9> BesselI1LargeCoefficients = {
    0.39894228L, -0.03988024L, -0.00362018L, 0.00163801L, -0.01031555L,
    0.02282967L, -0.02895312L, 0.01787654L,  -0.00420059L,
};
// 9.8.5: K0(x) + ln(x/2) I0(x) in t = (x/2)^2, 0 < x <= 2; |error| < 1e-8.
const std::array<Extended, 7> BesselK0SmallCoefficients = {
    -0.57721566L, 0.42278420L, 0.23069756L, 0.03488590L, 0.00262698L, 0.00010750L, 0.00000740L,
};
// 9.8.6: x^(1/2) e^x K0(x) in t = 2/x, x >= 2; |error| < 1.9e-7.
const std::array<Extended, 7> BesselK0LargeCoefficients = {
    1.25331414L, -0.07832358L, 0.02189568L, -0.01062446L, 0.00587872L, -0.00251540L, 0.00053208L,
};
// 9.8.7: x K1(x) - x ln(x/2) I1(x) in t = (x/2)^2, 0 < x <= 2; |error| < 8e-9.
const std::array<Extended, 7> BesselK1SmallCoefficients = {
    1.0L, 0.15443144L, -0.67278579L, -0.18156897L, -0.01919402L, -0.00110404L, -0.00004686L,
};
// 9.8.8: x^(1/2) e^x K1(x) in t = 2/x, x >= 2; |error| < 2.2e-7.
const std::array<Extended, 7> BesselK1LargeCoefficients = {
    1.25331414L, 0.23498619L, -0.03655620L, 0.01504268L, -0.00780353L, 0.00325614L, -0.00068245L,
};

}  // namespace voq

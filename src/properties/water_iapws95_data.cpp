// Coefficients of water and steam.
//
// Thermodynamic properties: IAPWS R6-95(2018), "Revised Release on the
// IAPWS Formulation 1995 for the Thermodynamic Properties of Ordinary Water
// Substance for General and Scientific Use" (International Association for
// the Properties of Water and Steam, 2018), tables 1 and 2; also W. Wagner
// and A. Pruss, J. Phys. Chem. Ref. Data 31(2):387-535 (2002). The 56
// residual terms are the release's, term for term and in its order
// (tools/check_water_coefficients.py compares them with an independent
// copy). The ideal part keeps n1 = -8.32044648483 and n2 = 6.68321052775,
// slightly different from the release's -8.3204464837497 and
// 6.6832105275932; the difference only shifts h and s by constants of a few
// parts in 1e11.
//
// Transport: the IAPS Formulation 1985 for the viscosity of ordinary water
// substance (IAPWS revised release, 2003), table of H_ij, and the IAPS
// Formulation 1985 for the thermal conductivity of ordinary water substance
// (IAPWS revised release, 1998), table of L_ij; both reduced by
// T* = 647.226 K, rho* = 317.763 kg/m3 and P* = 22.115 MPa.
#include "properties/water_iapws95.h"

namespace voq {

const Extended WaterIdealN1 = -8.32044648483L;
const Extended WaterIdealN2 = 6.68321052775L;
const Extended WaterIdealN3 = 3.00632L;
const std::array<Extended, 5> WaterIdealN{0.012436L, 0.97315L, 1.2795L, 0.96956L, 0.24873L};
const std::array<Extended, 5> WaterIdealGamma{1.28728967L, 3.53734222L, 7.74073708L, 9.24437796L, 27.5075105L};

const std::array<Extended, 7> WaterPolyN{0.12533547935523e-1L,  0.78957634722828e1L,  -0.87803203303561e1L,
                                         0.31802509345418L,     -0.26145533859358L,   -0.78199751687981e-2L,
                                         0.88089493102134e-2L};
const std::array<int32_t, 7> WaterPolyD{1, 1, 1, 2, 2, 3, 4};
const std::array<Extended, 7> WaterPolyT{-0.5L, 0.875L, 1, 0.5L, 0.75L, 0.375L, 1};

const std::array<Extended, 44> WaterExpN{
    -0.66856572307965L,     0.20433810950965L,     -0.66212605039687e-4L, -0.19232721156002L,
    -0.25709043003438L,     0.16074868486251L,     -0.40092828925807e-1L, 0.39343422603254e-6L,
    -0.75941377088144e-5L,  0.56250979351888e-3L,  -0.15608652257135e-4L, 0.11537996422951e-8L,
    0.36582165144204e-6L,   -0.13251180074668e-11L, -0.62639586912454e-9L, -0.10793600908932L,
    0.17611491008752e-1L,   0.22132295167546L,     -0.40247669763528L,    0.58083399985759L,
    0.49969146990806e-2L,   -0.31358700712549e-1L, -0.74315929710341L,    0.47807329915480L,
    0.20527940895948e-1L,   -0.13636435110343L,    0.14180634400617e-1L,  0.83326504880713e-2L,
    -0.29052336009585e-1L,  0.38615085574206e-1L,  -0.20393486513704e-1L, -0.16554050063734e-2L,
    0.19955571979541e-2L,   0.15870308324157e-3L,  -0.16388568342530e-4L, 0.43613615723811e-1L,
    0.34994005463765e-1L,   -0.76788197844621e-1L, 0.22446277332006e-1L,  -0.62689710414685e-4L,
    -0.55711118565645e-9L,  -0.19905718354408L,    0.31777497330738L,     -0.11841182425981L};
const std::array<int32_t, 44> WaterExpD{1, 1,  1,  2, 2, 3, 4, 4, 5, 7, 9, 10, 11, 13, 15, 1, 2, 2, 2, 3, 4, 4,
                                        4, 5,  6,  6, 7, 9, 9, 9, 9, 9, 10, 10, 12, 3, 4, 4, 5, 14, 3, 6, 6, 6};
const std::array<int32_t, 44> WaterExpT{4,  6,  12, 1, 5, 4, 2,  13, 9,  3,  4,  11, 4,  13, 1,  7, 1,  9,  10, 10, 3, 7,
                                        10, 10, 6,  10, 10, 1, 2, 3,  4, 8,  6,  9,  8,  16, 22, 23, 23, 10, 50, 44, 46, 50};
const std::array<int32_t, 44> WaterExpL{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2,
                                        2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 4, 6, 6, 6, 6};

const std::array<Extended, 3> WaterGaussN{-0.31306260323435e2L, 0.31546140237781e2L, -0.25213154341695e4L};
const std::array<int32_t, 3> WaterGaussD{3, 3, 3};
const std::array<int32_t, 3> WaterGaussT{0, 1, 4};
const std::array<int32_t, 3> WaterGaussAlpha{20, 20, 20};
const std::array<int32_t, 3> WaterGaussBeta{150, 150, 250};
const std::array<Extended, 3> WaterGaussGamma{1.21L, 1.21L, 1.25L};
const std::array<int32_t, 3> WaterGaussEpsilon{1, 1, 1};

const std::array<Extended, 2> WaterNonAnalyticN{-0.14874640856724L, 0.31806110878444L};
const std::array<Extended, 2> WaterNonAnalyticA{3.5L, 3.5L};
const std::array<Extended, 2> WaterNonAnalyticB{0.85L, 0.95L};
const std::array<Extended, 2> WaterNonAnalyticBB{0.2L, 0.2L};
const std::array<Extended, 2> WaterNonAnalyticC{28, 32};
const std::array<Extended, 2> WaterNonAnalyticD{700, 800};
const std::array<Extended, 2> WaterNonAnalyticAA{0.32L, 0.32L};
const std::array<Extended, 2> WaterNonAnalyticBeta{0.3L, 0.3L};

const std::array<Extended, 4> WaterViscosityH{1, 0.978197L, 0.579829L, -0.202354L};
const std::array<std::array<Extended, 7>, 6> WaterViscosityHij{{
    {0.5132047L, 0.2151778L, -0.2818107L, 0.1778064L, -0.0417661L, 0, 0},
    {0.3205656L, 0.7317883L, -1.070786L, 0.4605040L, 0, -0.01578386L, 0},
    {0, 1.241044L, -1.263184L, 0.2340379L, 0, 0, 0},
    {0, 1.476783L, 0, -0.4924179L, 0.1600435L, 0, -0.003629481L},
    {-0.7782567L, 0, 0, 0, 0, 0, 0},
    {0.1885447L, 0, 0, 0, 0, 0, 0},
}};
const std::array<Extended, 4> WaterConductivityL{1, 6.978267L, 2.599096L, -0.998254L};
const std::array<std::array<Extended, 6>, 5> WaterConductivityLij{{
    {1.3293046L, -0.40452437L, 0.2440949L, 0.018660751L, -0.12961068L, 0.044809953L},
    {1.7018363L, -2.2156845L, 1.6511057L, -0.76736002L, 0.37283344L, -0.1120316L},
    {5.2246158L, -10.124111L, 4.9874687L, -0.27297694L, -0.43083393L, 0.13333849L},
    {8.7127675L, -9.5000611L, 4.3786606L, -0.91783782L, 0, 0},
    {-1.8525999L, 0.9340469L, 0, 0, 0, 0},
}};

}  // namespace voq

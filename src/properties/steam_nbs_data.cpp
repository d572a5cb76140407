// Coefficients of the steam formulation.
//
// Sources:
// - Base function (b, B), residual function (g, k, l and the four special
//   terms) and ideal-gas function (C[1..18]): L. Haar, J. S. Gallagher and
//   G. S. Kell, NBS/NRC Steam Tables, Hemisphere, Washington 1984,
//   Appendix (the Helmholtz function of ordinary water substance); the
//   values and their order are those of the Fortran program printed with
//   the tables. The two constants that place u = 0 and s = 0 at the
//   saturated liquid at the triple point (4328.455039 and 7.6180802) are
//   those of the same program.
// - Saturation pressure above 314 K (A[1..8]) and the 273.15 to 314 K
//   branch: the auxiliary equations of the same program, used to start the
//   Gibbs-equality iteration and for the saturation temperature at a given
//   pressure. The published program reduces the upper branch with 647.25 K
//   and 22.093 MPa; this program uses 647.1422 K and 22.064 MPa (the
//   critical pressure of the 1985 IAPS release) with the same A[1..8], so
//   that the auxiliary saturation line ends at the critical pressure the
//   substances report.
// - Sublimation pressure and the ice enthalpy, entropy and volume
//   correlations: this program's own. The coefficient of T^4 in the
//   sublimation equation is -9.484024e-13; the moist-air correlations
//   carry the same equation with -9.4842024e-13, two digits transposed. The
//   value here gives 0.2599 kPa at 263.15 K, as the IAPWS 2011 sublimation
//   equation does (Wagner, Riethmann, Feistel and Harvey, J. Phys. Chem.
//   Ref. Data 40 (2011) 043103).
//
// The 40 residual coefficients with their exponents, the base
// coefficients and the four special terms were compared one by one with
// the published program's listing, and the ideal-gas coefficients with the
// tables' appendix; none differs.
#include "properties/steam_nbs_core.h"

namespace voq {

namespace {

struct TResidualTerm {
  int32_t II;
  int32_t JJ;
  Extended g;
};

constexpr TResidualTerm kResidualTerms[40] = {
    {0, 2, -530.62968529023L},   {0, 3, 2274.4901424408L},    {0, 5, 787.79333020687L},
    {0, 7, -69.830527374994L},   {1, 2, 17863.832875422L},    {1, 3, -39514.731563338L},
    {1, 5, 33803.884280753L},    {1, 7, -13855.050202703L},   {2, 2, -256374.3661326L},
    {2, 3, 482125.75981415L},    {2, 5, -341830.1696966L},    {2, 7, 122231.56417448L},
    {3, 2, 1179743.3655832L},    {3, 3, -2173481.0110373L},   {3, 5, 1082995.216862L},
    {3, 7, -254419.98064049L},   {4, 2, -3137777.4947767L},   {4, 3, 5291191.0757704L},
    {4, 5, -1380257.7177877L},   {4, 7, -251099.14369001L},   {5, 2, 4656182.6115608L},
    {5, 3, -7275277.3275387L},   {5, 5, 417742.46148294L},    {5, 7, 1401635.8244614L},
    {6, 2, -3155523.1392127L},   {6, 3, 4792966.6384584L},    {6, 5, 409126.64781209L},
    {6, 7, -1362636.9388386L},   {8, 2, 696252.20862664L},    {8, 3, -1083490.0096447L},
    {8, 5, -227228.27401688L},   {8, 7, 383654.8600066L},     {2, 1, 6883.3257944332L},
    {2, 4, 21757.245522644L},    {0, 4, -2662.794482977L},    {4, 4, -70730.418082074L},
    {2, 0, -0.225L},             {2, 2, -1.68L},              {2, 0, 0.055L},
    {4, 0, -93.0L},
};

constexpr Extended kIdealGasC[18] = {
    19.730271018L,     20.9662681977L,    -0.483429455355L,  6.05743189245L,
    22.56023885L,      -9.87532442L,      -4.3135538513L,    0.458155781L,
    -0.047754901883L,  0.0041238460633L,  -2.7929052852e-4L, 1.4481695261e-5L,
    -5.6473658748e-7L, 1.6200446e-8L,     -3.303822796e-10L, 4.51916067368e-12L,
    -3.70734122708e-14L, 1.37546068238e-16L,
};

constexpr Extended kSaturationA[8] = {-7.8889166L, 2.5514255L,  -6.716169L,  33.239495L,
                                      -105.38479L, 174.35319L, -148.39348L, 48.631602L};

}  // namespace

void FillSteamNBSCoefficients(TSteamNBSCoefficientRecord& c) {
  c.Tm = {0, 640, 640, 641.6L, 270};
  c.Rhom = {0, 0.319L, 0.319L, 0.319L, 1.55L};
  c.Betam = {0, 20000, 20000, 40000, 25};
  c.Alpham = {0, 34, 40, 30, 1050};
  c.P = {0, 0.7478629L, -0.3540782L, 0, 0, 0.007159876L, 0, -0.003528426L, 0, 0, 0};
  c.Q = {0, 1.1278334L, 0, -0.5944001L, -5.010996L, 0, 0.63684256L, 0, 0, 0, 0};
  for (size_t i = 0; i < 40; ++i) {
    c.g[i + 1] = kResidualTerms[i].g;
    c.II[i + 1] = kResidualTerms[i].II;
    c.JJ[i + 1] = kResidualTerms[i].JJ;
  }
  for (size_t i = 0; i < 18; ++i) c.C[i + 1] = kIdealGasC[i];
  for (size_t i = 0; i < 8; ++i) c.A[i + 1] = kSaturationA[i];
}

}  // namespace voq

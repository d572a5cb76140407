// Methanol's residual Helmholtz energy: K. M. de Reuck and R. J. B. Craven,
// "Methanol. International Thermodynamic Tables of the Fluid State 12",
// IUPAC, Blackwell Scientific Publications, London (1993); the same
// equation as the NIST Chemistry WebBook's methanol. Scale factors kappa =
// 1.00863030999 on delta and lambda = 0.998480657603 on tau; groups of 17,
// 19 and 8 terms in the equation's own order.
#include "properties/helmholtz_methanol.h"

namespace voq {

const TMethanolResidualTables MethanolResidualTables{
    1.00863030999L,
    0.998480657603L,
    // Group 1: n delta^d tau^t.
    {-2.80062505988L, 12.5636372418L, -13.0310563173L, 3.2659313406L, -4.11425343805L, 3.46397741254L,
     -0.083644396759L, -0.369240098923L, 0.00313180842152L, 0.603201474111L, -0.231158593638L, 0.106114844945L,
     -0.0792228164995L, -0.0000422419150975L, 0.00758196739214L, -0.0000244617434701L, 0.00000115080328802L},
    {1, 1, 1, 1, 2, 2, 2, 2, 2, 3, 3, 3, 4, 4, 5, 6, 7},
    {0, 1, 2, 3, 1, 2, 3, 4, 6, 0, 3, 4, 0, 7, 1, 6, 7},
    // Group 2: n delta^d tau^t exp(-(kappa delta)^l).
    {-12.5099747447L, 27.0392835391L, -21.2070717086L, 6.3279947227L, 14.3687921636L, -28.7450766617L,
     18.5397216068L, -3.88720372879L, -4.16602487963L, 5.29665875982L, 0.509360272812L, -3.30257604839L,
     -0.311045210826L, 0.273460830583L, 0.518916583979L, -0.00227570803104L, 0.0211658196182L, -0.0114335123221L,
     0.00249860798459L},
    {1, 1, 1, 1, 2, 2, 2, 2, 3, 4, 5, 5, 5, 5, 6, 9, 6, 6, 4},
    {1, 2, 3, 4, 1, 2, 3, 5, 1, 2, 1, 2, 4, 5, 2, 5, 9, 14, 19},
    {2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 4, 4, 6},
    // Group 3: n delta^d exp(beta lambda tau - alpha - (c kappa delta)^m).
    {-8.19291988442L, 0.478601004557L, -0.444161392885L, 0.17962181041L, -0.687602278259L, 2.40459848295L,
     -6.88463987466L, 1.13992982501L},
    {3.9L, 3.9L, 3.9L, 3.9L, 3.9L, 23.1L, 23.1L, 23.1L},
    {1, 1, 1, 1, 1, 3, 3, 3},
    {6, 6, 6, 6, 6, 25, 25, 25},
    {2, 2, 3, 3, 4, 3, 4, 4},
    {2, 3, 2, 4, 2, 3, 2, 4},
};

}  // namespace voq

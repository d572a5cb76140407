#pragma once
// What the files of the second fluid group share: the coefficient tables
// (helmholtz_second_group_data.cpp, helmholtz_xenon_data.cpp) and the
// fluids' ancillaries (helmholtz_second_group_ancillaries.cpp) and xenon's
// switched parts (helmholtz_xenon.cpp).
#include <array>

#include "properties/helmholtz_second_group.h"
#include "properties/helmholtz_table_sums.h"
#include "properties/helmholtz_terms.h"

namespace voq {

extern const TIdealGasPart NeonIdealGasPart;
extern const TResidualPart NeonResidualPart;
extern const TIdealGasPart EthyleneIdealGasPart;
extern const TResidualPart EthyleneResidualPart;
extern const TResidualPart R23ResidualPart;
extern const TCp0IntegralIdealPart R23IdealPart;
extern const TIdealGasPart R125IdealGasPart;
extern const TResidualPart R125ResidualPart;
extern const TResidualPart PentaneResidualPart;
extern const TCp0IntegralIdealPart PentaneIdealPart;
extern const TIdealGasPart PropyleneIdealGasPart;
extern const TIdealGasPart MethanolIdealGasPart;
extern const TIdealGasPart R123IdealGasPart;
extern const TCp0IntegralIdealPart IsopentaneIdealPart;
extern const TCp0IntegralIdealPart RC318IdealPart;
extern const TCp0IntegralIdealPart CarbonMonoxideIdealPart;
extern const TCp0IntegralIdealPart HexaneIdealPart;
// Hydrogen's cp0/Rbar = sum a_i T^k_i.
extern const std::array<Extended, 17> HydrogenCp0Coef;
extern const std::array<Extended, 17> HydrogenCp0Exp;

// Xenon's 92 residual terms (n, d, t), terms 1..92 in order.
extern const std::array<Extended, 92> XenonN;
extern const std::array<int32_t, 92> XenonD;
extern const std::array<Extended, 92> XenonT;

// Xenon's region-switched residual part and ideal part.
Extended XenonResidual(THelmholtzPart part, Extended tau, Extended delta);
Extended XenonAlpha0(const TGeneralEosSubstance& o, Extended tau, Extended delta);
Extended XenonAlpha0Tau(const TGeneralEosSubstance& o, Extended tau, Extended delta);
Extended XenonAlpha0TauTau(const TGeneralEosSubstance& o, Extended tau, Extended delta);
// XenonResidual's value and first derivatives (bit for bit) with the
// analytic second derivatives, in one pass over the same blocks; tau's
// powers through the caller's cache.
TResidualDerivatives XenonResidualDerivatives(TTauPowerCache& powers, Extended tau, Extended delta);
// Its aDelta alone, bit for bit.
Extended XenonResidualDelta(TTauPowerCache& powers, Extended tau, Extended delta);
// Which of xenon's blocks count at (tau, delta): bit 0 B2, 1 B3, 2 T57,
// 3 T58, 4 B4, 5 B5, 6 B6.
uint32_t XenonBlocks(Extended tau, Extended delta);

// Hydrogen's ideal part from its 17 heat-capacity terms.
Extended HydrogenAlpha0(const TGeneralEosSubstance& o, Extended tau, Extended delta);
Extended HydrogenAlpha0Tau(const TGeneralEosSubstance& o, Extended tau, Extended delta);

// ---- Ancillaries: kPa and kg/m3 ----
Extended NeonSatPressure(TGeneralEosSubstance& o, Extended T);
Extended NeonSatLiquidDensity(TGeneralEosSubstance& o, Extended T);
Extended NeonSatVaporDensity(TGeneralEosSubstance& o, Extended T);
Extended XenonSatPressure(TGeneralEosSubstance& o, Extended T);
Extended XenonSatLiquidDensity(TGeneralEosSubstance& o, Extended T);
Extended XenonSatVaporDensity(TGeneralEosSubstance& o, Extended T);
Extended IsopentaneSatPressure(TGeneralEosSubstance& o, Extended T);
Extended IsopentaneSatLiquidDensity(TGeneralEosSubstance& o, Extended T);
Extended IsopentaneSatVaporDensity(TGeneralEosSubstance& o, Extended T);
Extended EthyleneSatPressure(TGeneralEosSubstance& o, Extended T);
Extended EthyleneSatLiquidDensity(TGeneralEosSubstance& o, Extended T);
Extended EthyleneSatVaporDensity(TGeneralEosSubstance& o, Extended T);
Extended PropyleneSatPressure(TGeneralEosSubstance& o, Extended T);
Extended PropyleneSatLiquidDensity(TGeneralEosSubstance& o, Extended T);
Extended PropyleneSatVaporDensity(TGeneralEosSubstance& o, Extended T);
Extended RC318SatPressure(TGeneralEosSubstance& o, Extended T);
Extended RC318SatLiquidDensity(TGeneralEosSubstance& o, Extended T);
Extended RC318SatVaporDensity(TGeneralEosSubstance& o, Extended T);
Extended MethanolSatPressure(TGeneralEosSubstance& o, Extended T);
Extended MethanolSatLiquidDensity(TGeneralEosSubstance& o, Extended T);
Extended MethanolSatVaporDensity(TGeneralEosSubstance& o, Extended T);
Extended PentaneSatPressure(TGeneralEosSubstance& o, Extended T);
Extended PentaneSatLiquidDensity(TGeneralEosSubstance& o, Extended T);
Extended PentaneSatVaporDensity(TGeneralEosSubstance& o, Extended T);
Extended HydrogenSatPressure(TGeneralEosSubstance& o, Extended T);
Extended HydrogenSatLiquidDensity(TGeneralEosSubstance& o, Extended T);
Extended HydrogenSatVaporDensity(TGeneralEosSubstance& o, Extended T);
Extended CarbonMonoxideSatPressure(TGeneralEosSubstance& o, Extended T);
Extended CarbonMonoxideSatLiquidDensity(TGeneralEosSubstance& o, Extended T);
Extended CarbonMonoxideSatVaporDensity(TGeneralEosSubstance& o, Extended T);
Extended HexaneSatPressure(TGeneralEosSubstance& o, Extended T);
Extended HexaneSatLiquidDensity(TGeneralEosSubstance& o, Extended T);
Extended HexaneSatVaporDensity(TGeneralEosSubstance& o, Extended T);
Extended R23SatPressure(TGeneralEosSubstance& o, Extended T);
Extended R23SatLiquidDensity(TGeneralEosSubstance& o, Extended T);
Extended R23SatVaporDensity(TGeneralEosSubstance& o, Extended T);
Extended R123SatPressure(TGeneralEosSubstance& o, Extended T);
Extended R123SatLiquidDensity(TGeneralEosSubstance& o, Extended T);
Extended R123SatVaporDensity(TGeneralEosSubstance& o, Extended T);
Extended R125SatPressure(TGeneralEosSubstance& o, Extended T);
Extended R125SatLiquidDensity(TGeneralEosSubstance& o, Extended T);
Extended R125SatVaporDensity(TGeneralEosSubstance& o, Extended T);

}  // namespace voq

#pragma once
// The viscosity and thermal conductivity of R23 and R125: slot functions of
// their own on the transport state step, and the correlations behind them
// in SI units (Pa-s, W/m-K) at T (K) and the molar density rhoMolar =
// rho/M (mol/L).
#include "core/extended.h"
#include "properties/helmholtz_eos.h"

namespace voq {

// R23's dilute-gas viscosity (micro-Pa-s) from its collision integral
//   ln Omega = 0.4425728 - 0.5138403 L + 0.1547566 L^2 - 0.02821844 L^3 + 0.001578286 L^4,
//   L = ln(T/243.91) (negative below 243.91 K, every power keeping its sign).
Extended R23DiluteViscosity(Extended T, Extended M);
Extended R23ViscositySI(Extended T, Extended rhoMolar, Extended M);
Extended R23ConductivitySI(Extended T, Extended rhoMolar);
// R125's dilute-gas viscosity (Pa-s) from the Neufeld collision integral at
// T* = T/250.
Extended R125DiluteViscosity(Extended T, Extended M);
// The density term in delta - 1 = rhoMolar M VCrit - 1 (VCrit in m3/kg).
Extended R125ViscositySI(Extended T, Extended rhoMolar, Extended M, Extended vCrit);
Extended R125ConductivitySI(Extended T, Extended rhoMolar);

// The slots: -999 during the trial call, and after the state step's own
// error (214 for a two-phase state, or the solver's); else the correlation
// in the document's units.
Extended R23Viscosity(TGeneralEosSubstance& o, TPropertyArgumentRecord& a);
Extended R23Conductivity(TGeneralEosSubstance& o, TPropertyArgumentRecord& a);
Extended R125Viscosity(TGeneralEosSubstance& o, TPropertyArgumentRecord& a);
Extended R125Conductivity(TGeneralEosSubstance& o, TPropertyArgumentRecord& a);

}  // namespace voq

#pragma once
// The one-variable iteration the Martin-Hou pair solvers share, the bubble
// and dew temperature search built on it, the residual functions (one per
// combination of unknown and given properties) and the start-value scans.
// English units of the core throughout; several residuals read or write
// MartinHouState, and the solver may be handed a field of it as the unknown
// so that the residual sees each trial value there.
#include "core/extended.h"

namespace voq {

// R(X; p1, p2). A failed evaluation sets CalcErrorCode.
using MartinHouResidual = Extended (*)(Extended x, Extended p1, Extended p2);

// Secant iteration with a forward-difference slope (probe max(tol X, tol))
// and up to eleven halvings of a doubled secant step; at most 51
// iterations. Error 210 for a vanishing slope or no convergence.
void MartinHouSecantSolve(Extended& x, MartinHouResidual residual, Extended tolerance, Extended p1, Extended p2);

// Bubble temperature at P; for a blend the dew temperature continues from
// it, for a pure fluid Td = Tb.
void MartinHouSatTemperatures(Extended P, bool isBlend, Extended& Tb, Extended& Td);

// True when the current fluid's record marks a zeotropic blend (its own dew
// pressure and latent heat). Residuals and pair solvers both follow it.
bool MartinHouRecordIsBlend();
// A blend's dew pressure, never above its bubble pressure: a fitted record
// whose two correlations cross (R508B near 470 R) would otherwise put the
// dew point on the liquid side, where the vapour volume is the liquid's.
Extended MartinHouBlendDewPressure(Extended T);
// Pb + x (Pd - Pb) for a blend, Pb for a pure fluid.
Extended MartinHouQualityPressure(Extended T, Extended x);

// The residuals, unknown first.
Extended MartinHouBubbleResidual(Extended T, Extended P, Extended unused);
Extended MartinHouDewResidual(Extended T, Extended P, Extended unused);
Extended MartinHouQualityResidual(Extended T, Extended v, Extended x);
Extended MartinHouVolumeEnthalpyResidual(Extended v, Extended h, Extended T);
Extended MartinHouVolumeEntropyResidual(Extended v, Extended s, Extended T);
Extended MartinHouTemperatureEntropyResidual(Extended T, Extended s, Extended v);
Extended MartinHouQualityEntropyResidual(Extended T, Extended s, Extended x);
Extended MartinHouQualityEnthalpyResidual(Extended T, Extended h, Extended x);
Extended MartinHouQualityEnergyResidual(Extended T, Extended u, Extended x);
Extended MartinHouPressureEntropyResidual(Extended T, Extended s, Extended P);
Extended MartinHouPressureEnthalpyResidual(Extended T, Extended h, Extended P);
// X is MartinHouState.P; writes the state's v and h.
Extended MartinHouStatePressureEnergyResidual(Extended P, Extended u, Extended T);
// X is MartinHouState.T; writes the state's h (and x in a blend's band).
Extended MartinHouStateEnergyResidual(Extended T, Extended u, Extended P);

// Start-value scan: from `start`, step by `step` while the next trial has a
// smaller residual magnitude, at most maxSteps steps. A trial that fails
// counts as no improvement; the error is cleared.
Extended MartinHouScanStart(MartinHouResidual residual, Extended p1, Extended p2, Extended start, Extended step,
                            int maxSteps);
// The same with a scan by doubling (the temperature-entropy volume start).
Extended MartinHouScanDoubling(MartinHouResidual residual, Extended p1, Extended p2, Extended start, int maxSteps);

}  // namespace voq

#pragma once
// The Martin-Hou pair solvers: one procedure per pair of independent
// properties turns the request into a full state in MartinHouState, in the
// English units of the core. A procedure that fails sets CalcErrorCode and
// leaves the state as far as it was written. Compressed liquid is estimated
// as incompressible and marked x = -100; superheated vapour and
// supercritical states are marked x = +100.
#include <cstdint>

#include "core/extended.h"

namespace voq {

// The request as the pair solvers see it. First is the value of the smaller
// property kind, Second of the larger (1 T, 2 P, 3 h, 4 u, 5 s, 6 v, 7 x).
// A solver may rewrite First and Second to call another solver for an
// intermediate state.
struct TMartinHouSolveInputs {
  int32_t SubstanceIndex = 0;  // catalogue row, for the help context of error 209
  bool IsBlend = false;
  Extended First = 0;
  Extended Second = 0;
};

// Pairs with temperature or pressure.
void MartinHouSolveTP(TMartinHouSolveInputs& in);
void MartinHouSolveTPBlend(TMartinHouSolveInputs& in);
void MartinHouSolveTX(TMartinHouSolveInputs& in);
void MartinHouSolveTV(TMartinHouSolveInputs& in);
void MartinHouSolveTH(TMartinHouSolveInputs& in);
void MartinHouSolveTS(TMartinHouSolveInputs& in);
void MartinHouSolveTU(TMartinHouSolveInputs& in);
void MartinHouSolvePH(TMartinHouSolveInputs& in);
void MartinHouSolvePHBlend(TMartinHouSolveInputs& in);
void MartinHouSolvePS(TMartinHouSolveInputs& in);
void MartinHouSolvePU(TMartinHouSolveInputs& in);
void MartinHouSolvePV(TMartinHouSolveInputs& in);
void MartinHouSolvePX(TMartinHouSolveInputs& in);

// Pairs without temperature or pressure.
void MartinHouSolveVX(TMartinHouSolveInputs& in);
void MartinHouSolveSX(TMartinHouSolveInputs& in);
void MartinHouSolveHX(TMartinHouSolveInputs& in);
void MartinHouSolveUX(TMartinHouSolveInputs& in);
void MartinHouSolveSV(TMartinHouSolveInputs& in);
// (h, s) with energyMode false, (u, s) with it set.
void MartinHouSolveHS(TMartinHouSolveInputs& in, bool energyMode);
// (h, v) with energyMode false, (u, v) with it set.
void MartinHouSolveHV(TMartinHouSolveInputs& in, bool energyMode);

// Sets MessageHelpContext to the calling substance's help context, when
// the request names one (before error 209).
void MartinHouSetSubstanceHelp(const TMartinHouSolveInputs& in);

}  // namespace voq

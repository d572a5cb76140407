#pragma once
// The reduced Helmholtz energy of a fluid built from the term tables of
// helmholtz_terms.h, evaluated in one pass: the value and every first and
// second derivative at one (tau, delta), with each transcendental taken once
// per evaluation rather than once per term and part.
//
// Per evaluation: ln tau once; the powers tau^t of the tables' exponents
// from repeated products of integer powers and of tau^(1/4) (every exponent
// that is a multiple of 1/4, which covers the published formulations of this
// kind), other exponents as exp(t ln tau); integer powers of delta from one
// table of products; exp(-delta^l) once per exponent l. The term sums run in
// 8-byte reals, which keeps the results within 1e-12 of the same sums in
// 10-byte reals (EvaluateHelmholtzExtended, the check of that) at a fraction
// of the cost; the critical-region terms, which no fluid here has yet, stay
// in 10-byte reals.
#include "core/extended.h"
#include "properties/helmholtz_eos.h"
#include "properties/helmholtz_terms.h"

namespace voq {

TEosDerivatives EvaluateHelmholtz(const TIdealGasPart& ideal, const TResidualPart& residual, Extended tau,
                                  Extended delta);
// The same sums in 10-byte reals.
TEosDerivatives EvaluateHelmholtzExtended(const TIdealGasPart& ideal, const TResidualPart& residual, Extended tau,
                                          Extended delta);

}  // namespace voq

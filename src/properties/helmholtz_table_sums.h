#pragma once
// One-pass sums in 10-byte reals of the residual tables of helmholtz_terms.h
// to second order, for the fluids whose model slots sum those tables
// themselves (the second fluid group): the value and the first derivatives
// come out bit for bit as SumResidualPart gives them (the same products in
// the same order), the second derivatives analytically, where the shared
// default of TGeneralEosSubstance::Derivatives takes central differences of
// the first ones.
//
// What a term sum spends its time on is tau^t = exp(t ln tau) (PowerReal)
// for every term and part. Here each distinct exponent of a table is raised
// once per tau, and the powers of the last few tau values are kept: a
// density search at fixed temperature, and a central difference in delta,
// raise none again. Integer powers of delta (IntPower) and exp(-delta^l)
// are taken once per distinct exponent and delta.
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "core/extended.h"
#include "properties/helmholtz_terms.h"

namespace voq {

// A residual part and its derivatives to second order at one (tau, delta).
struct TResidualDerivatives {
  Extended a = 0, aDelta = 0, aTau = 0, aDeltaDelta = 0, aTauTau = 0, aDeltaTau = 0;
};

// tau^t and tau^(t-1) of a fixed list of exponents exactly as PowerReal
// gives them (exp(t ln tau); 0 for tau at or below 0), kept for the last
// kSlots values of tau (replaced in turn). tau^(t-1) is raised only when
// asked for.
class TTauPowerCache {
 public:
  static constexpr size_t kSlots = 3;
  void SetExponents(std::span<const Extended> exponents);
  bool HasExponents() const { return !exponents_.empty(); }
  // The powers tau^t_k, in the order of the exponents.
  const Extended* Powers(Extended tau);
  // The powers tau^(t_k - 1); call after Powers(tau) with the same tau.
  const Extended* PowersBelow(Extended tau);

 private:
  struct TSlot {
    bool valid = false, haveBelow = false;
    Extended tau = 0;
    std::vector<Extended> power, below;
  };
  TSlot& SlotOf(Extended tau);
  std::vector<Extended> exponents_;
  std::array<TSlot, kSlots> slots_;
  size_t next_ = 0;
};

// The polynomial and exponential tables of a residual part (its only
// tables: the damped, Gaussian and non-analytic ones must be empty, see
// Covers) laid out for one-pass sums.
class TResidualTableSums {
 public:
  explicit TResidualTableSums(const TResidualPart& part);
  // Whether the part has no tables but the polynomial and exponential ones.
  static bool Covers(const TResidualPart& part);
  // SumResidualPart(part, kValue, tau, delta), bit for bit.
  Extended Value(Extended tau, Extended delta);
  // a, aDelta and aTau bit for bit as SumResidualPart; the second
  // derivatives analytic:
  //   n delta^d tau^t f, f = exp(-delta^l) (1 for l = 0), L = l delta^l:
  //   a_deltadelta = n delta^(d-2) tau^t f ((d - L)(d - 1 - L) - l L)
  //   a_tautau = n t (t - 1) delta^d tau^(t-2) f
  //   a_deltatau = n t delta^(d-1) tau^(t-1) f (d - L)
  TResidualDerivatives Evaluate(Extended tau, Extended delta);
  // Evaluate(tau, delta).aDelta alone, bit for bit.
  Extended DeltaDerivative(Extended tau, Extended delta);

 private:
  struct TTerm {
    Extended n = 0, t = 0;
    int32_t d = 0, l = 0;
    uint32_t power = 0;  // index of t among the distinct exponents
  };
  // IntPower(k, delta) for the k the terms use, exp(-delta^l) for their
  // l, kept for the last few values of delta as tau's powers are.
  struct TDeltaPowers {
    static constexpr int32_t kLow = -2;
    bool valid = false;
    Extended delta = 0;
    std::array<Extended, 40> power{};
    std::array<Extended, 16> expMinus{};
    Extended Power(int32_t k) const { return power[static_cast<size_t>(k - kLow)]; }
  };
  const TDeltaPowers& DeltaPowers(Extended delta);
  std::array<TDeltaPowers, TTauPowerCache::kSlots> deltaSlots_{};
  size_t nextDelta_ = 0;
  std::vector<TTerm> terms_;  // polynomial, then exponential
  size_t polynomialCount_ = 0;
  std::vector<int32_t> deltaExponents_, lValues_;
  TTauPowerCache tauPowers_;
};

// d2(alpha0)/d(tau)2 of an ideal part: -a3/tau^2 plus the terms' own
//   a ln(1 - e^-x), x = theta tau:  -a theta^2 e^x/(e^x - 1)^2
//   a tau^k:                        a k (k - 1) tau^(k-2)
//   a (tau ln tau - tau):           a/tau
//   a ln(2/3 + e), e = e^(theta tau): a theta^2 (2/3) e/(2/3 + e)^2
Extended IdealGasAlpha0TauTau(const TIdealGasPart& ideal, Extended tau);

}  // namespace voq

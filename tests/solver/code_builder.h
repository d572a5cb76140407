#pragma once
// Builds compiled equations word by word for solver tests, in the format the
// statement compiler emits (operand codes, operators 4..11, opcodes).
#include <initializer_list>
#include <string>
#include <vector>

#include "language/program_units.h"

namespace voq::testing {

inline constexpr int32_t kWConst = -1;
inline constexpr int32_t kWVar = -2;
inline constexpr int32_t kWString = -5;
inline constexpr int32_t kWRun = -6;
inline constexpr int32_t kWBuiltin = -7;
inline constexpr int32_t kWImagUnit = -10;
inline constexpr int32_t kWComplexVar = -12;
inline constexpr int32_t kWDeg = -13;
inline constexpr int32_t kWRad = -14;
inline constexpr int32_t kWOutputList = -21;
inline constexpr int32_t kWSep = 4;
inline constexpr int32_t kWAdd = 5;
inline constexpr int32_t kWSub = 6;
inline constexpr int32_t kWEq = 7;
inline constexpr int32_t kWMul = 8;
inline constexpr int32_t kWDiv = 9;
inline constexpr int32_t kWNeg = 10;
inline constexpr int32_t kWPow = 11;

class CodeBuilder {
 public:
  CodeBuilder& Const(long double c) {
    constants_.push_back(c);
    code_.push_back(kWConst);
    return *this;
  }
  CodeBuilder& Var(int32_t i) {
    code_.push_back(kWVar);
    code_.push_back(i);
    return *this;
  }
  CodeBuilder& ComplexVar(int32_t i) {
    code_.push_back(kWComplexVar);
    code_.push_back(i);
    return *this;
  }
  CodeBuilder& Word(int32_t w) {
    code_.push_back(w);
    return *this;
  }
  CodeBuilder& Words(std::initializer_list<int32_t> ws) {
    code_.insert(code_.end(), ws);
    return *this;
  }
  // Fills the code arrays of e as the compiler would.
  void Into(TEquationRecord& e) const {
    e.Code = code_;
    e.CodeCount = static_cast<int32_t>(code_.size());
    e.CodeCapacity = static_cast<int32_t>(code_.size() * 4);
    e.Constants = constants_;
    e.ConstantCount = static_cast<int32_t>(constants_.size());
    e.ConstantCapacity = static_cast<int32_t>(constants_.size() * 10);
  }
  const std::vector<int32_t>& Code() const { return code_; }

 private:
  std::vector<int32_t> code_;
  std::vector<long double> constants_;
};

}  // namespace voq::testing

#pragma once
// Builds compiled equations word by word for solver tests, in the format the
// statement compiler emits (the words of language/compiled_code.h).
#include <initializer_list>
#include <string>
#include <vector>

#include "model/compiled_code.h"
#include "model/program_units.h"

namespace voq::testing {

class CodeBuilder {
 public:
  CodeBuilder& Const(long double c) {
    constants_.push_back(c);
    code_.push_back(CodeConstant);
    return *this;
  }
  CodeBuilder& Var(int32_t i) {
    code_.push_back(CodeVariable);
    code_.push_back(i);
    return *this;
  }
  // A parameter or local of the routine whose statement this is; a negative
  // k reads main-program variable -k ($COMMON).
  CodeBuilder& Local(int32_t k) {
    code_.push_back(CodeLocalVariable);
    code_.push_back(k);
    return *this;
  }
  // A string operand: the index of its text in StringConstants.
  CodeBuilder& Str(int32_t index) {
    strings_.push_back(index);
    code_.push_back(CodeStringConstant);
    return *this;
  }
  CodeBuilder& Goto(int32_t label) {
    code_.push_back(CodeGotoLabel);
    code_.push_back(label);
    return *this;
  }
  CodeBuilder& ComplexVar(int32_t i) {
    code_.push_back(CodeComplexVariable);
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
    e.Constants = constants_;
    e.StringOperands = strings_;
  }
  const std::vector<int32_t>& Code() const { return code_; }

 private:
  std::vector<int32_t> code_;
  std::vector<long double> constants_;
  std::vector<int32_t> strings_;
};

}  // namespace voq::testing

#include "language/code_listing.h"

#include <cstdio>

#include "core/string_constants.h"
#include "model/compiled_code.h"
#include "model/program_units.h"

namespace voq {
namespace {

std::string RealText(long double x) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.18Lg", x);
  return buffer;
}

std::string OperatorText(int32_t w) {
  switch (w) {
    case OpSeparator: return ",";
    case OpAdd: return "+";
    case OpSubtract: return "-";
    case OpEqual: return "=";
    case OpMultiply: return "*";
    case OpDivide: return "/";
    case OpNegate: return "neg";
    case OpPower: return "^";
    default: return "#" + std::to_string(w);
  }
}

}  // namespace

std::vector<int32_t> CodeWords(const TEquationRecord& e) {
  return e.Code;
}

std::vector<long double> PoolValues(const TEquationRecord& e) {
  return std::vector<long double>(e.Constants.begin(), e.Constants.end());
}

std::string ListEquationCode(const TEquationRecord& e, const TProgramUnitRecord* unit) {
  std::string out;
  int32_t nextConstant = 0;
  int32_t nextString = 0;
  auto add = [&out](const std::string& token) {
    if (!out.empty()) out += ' ';
    out += token;
  };
  const int32_t codeCount = static_cast<int32_t>(e.Code.size());
  const int32_t constantCount = static_cast<int32_t>(e.Constants.size());
  const int32_t stringCount = static_cast<int32_t>(e.StringOperands.size());
  for (int32_t k = 0; k < codeCount; ++k) {
    const int32_t w = e.Code[k];
    const int32_t index = k + 1 < codeCount ? e.Code[k + 1] : 0;
    switch (w) {
      case CodeConstant:
        add(nextConstant < constantCount ? RealText(e.Constants[nextConstant]) : "?const");
        ++nextConstant;
        break;
      case CodeStringConstant: {
        int32_t s = nextString < stringCount ? e.StringOperands[nextString] : 0;
        add("'" + (s >= 1 && s <= static_cast<int32_t>(StringConstants.size()) ? StringConstants[s - 1] : "?") + "'");
        ++nextString;
        break;
      }
      case CodeVariable:
      case CodeComplexVariable: {
        const TVariableRecord* v = unit != nullptr ? unit->Variable(index) : nullptr;
        add((w == CodeComplexVariable ? "im:" : "") + (v != nullptr ? v->Name : "v" + std::to_string(index)));
        ++k;
        break;
      }
      case CodeLocalVariable: add("local" + std::to_string(index)); ++k; break;
      case CodeGotoLabel: add("goto" + std::to_string(index)); ++k; break;
      case CodeBuiltinConstant: add("const#" + std::to_string(index)); ++k; break;
      case CodeTableRun: add("TableRun#"); break;
      case CodeTableName: add("TableName$"); break;
      case CodeImaginaryUnit: add("i"); break;
      case CodeDegreeSuffix: add("deg"); break;
      case CodeRadianSuffix: add("rad"); break;
      case CodeOutputList: add("outputs"); break;
      case CodeOutputListEnd: add("end-outputs"); break;
      default: add(OperatorText(w)); break;
    }
  }
  return out;
}

}  // namespace voq

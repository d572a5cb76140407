#include "units/unit_check.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/number_format.h"
#include "core/numeric_library.h"
#include "core/string_constants.h"
#include "core/text_utils.h"
#include "model/compiled_code.h"
#include "model/document_settings.h"
#include "model/integral_records.h"
#include "model/parametric_table_access.h"
#include "model/program_units.h"
#include "model/routines.h"
#include "model/store_state.h"
#include "model/substance_base.h"
#include "units/constants.h"
#include "units/table_units.h"
#include "units/unit_expressions.h"

namespace voq {

namespace {

constexpr size_t kUnitsCut = 30;
constexpr size_t kPropertyMessageCut = 120;

PropertyUnitsLabel InstalledPropertyUnitsLabel = nullptr;

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// Drops a leading degree sign (Windows-1252 176): "°C" names the scale C.
void DropDegreeSign(std::string& s) {
  if (!s.empty() && static_cast<unsigned char>(s[0]) == 176) s.erase(0, 1);
}
constexpr TDisplayFormat kCheckNumberFormat{kStyleAutomatic, 4};

std::string Trim(const std::string& s) {
  size_t b = 0;
  size_t e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

// Wraps a text in parentheses when it holds "*", "/" or "^" or starts with
// "-", unless it is already parenthesised.
std::string FactorRule(const std::string& t) {
  if (t.size() >= 2 && t.front() == '(' && t.back() == ')') return t;
  if (t.find_first_of("*/^") != std::string::npos || (!t.empty() && t[0] == '-')) return "(" + t + ")";
  return t;
}

// Wraps a text that holds "-" or "+".
std::string SumRule(const std::string& t) {
  if (t.find_first_of("-+") != std::string::npos) return "(" + t + ")";
  return t;
}

std::string UnitsShown(const std::string& units) { return units.empty() ? "dimensionless" : units; }

bool AllZero(const TDimensionVector& e) {
  return std::all_of(e.begin(), e.end(), [](Extended x) { return x == 0; });
}

void MakeDimensionless(TUnitCheckEntry& e) {
  e.Units.clear();
  e.Text.clear();
  e.Value = 1;
  e.Factor = 1;
  e.Exponents = TDimensionVector{};
}

// A TABLEVALUE column above this is a name: 9000 + its string index.
constexpr int32_t kNamedTableColumn = 9000;

// The state of one walk.
class UnitCheckWalk {
 public:
  UnitCheckWalk(TEquationRecord& equation, int32_t helpContext, int32_t routineIndex)
      : eq_(equation), help_(helpContext), routine_(routineIndex) {
    equationText_ = eq_.Text.value_or("");
    currentObject_ = eq_.SubstanceChain;
  }

  void Run();

 private:
  bool Push(TUnitCheckEntry entry) {
    if (static_cast<int32_t>(stack_.size()) >= kMaxUnitCheckEntries) {
      Fail(kMsgStackLimit);
      return false;
    }
    stack_.push_back(std::move(entry));
    return true;
  }
  // Ends the walk with an error whose text goes to MessageText.
  void Fail(int32_t code) {
    CalcErrorCode = code;
    MessageText = GetMessageText(code);
    ended_ = true;
  }
  void Report(const std::string& text, int32_t helpContext) {
    CalcErrorCode = 100;
    MessageHelpContext = helpContext;
    MessageText = text;
    ended_ = true;
  }
  bool Need(size_t n) {
    if (stack_.size() >= n) return true;
    Fail(kMsgSyntaxOrUndefinedFunction);
    return false;
  }
  // Factor and exponents of an entry from its units; false ends the walk.
  bool Evaluate(TUnitCheckEntry& e) {
    e.Factor = EvalUnitExpression(e.Units, e.Exponents);
    if (CalcErrorCode != 0) {
      MessageText = GetMessageText(CalcErrorCode);
      ended_ = true;
      return false;
    }
    return true;
  }
  bool EvaluateVariableUnits(TUnitCheckEntry& e, const std::string& name) {
    if (e.Units.empty()) return true;
    e.Factor = EvalUnitExpression(e.Units, e.Exponents);
    if (CalcErrorCode == 0) return true;
    const std::string suffix = (" appearing in variable " + name).substr(0, 53);
    SetMessageArg(1, MessageArgs[1] + suffix);
    MessageHelpContext = 182;
    MessageText = GetMessageText(CalcErrorCode);
    ended_ = true;
    return false;
  }

  bool Operand(int32_t word);
  void Sum(int32_t op);
  void Product(bool divide);
  void Power();
  void Function(int32_t code);
  void RuleD(TUnitCheckEntry& arg, const std::string& name, int32_t h1, int32_t h2);
  void Trigonometric(const std::string& name);
  void ListRule();
  void Convert();
  void UserFunction();
  void RoutineComparison();
  void Integral();
  void PropertyCall(int32_t code);
  bool CheckPropertyInputs(const TSubstanceBase& object, const std::string& name);
  void SetPropertyResult(TUnitCheckEntry& result, const std::string& units, const std::string& text, bool constant);
  // Table functions.
  bool TableArgument(size_t at, int32_t& id, TLookupTableInfo& info);
  void InterpolationRule();
  void LookupRule();
  void SearchRule(int32_t code);
  void TableValueRule();

  TEquationRecord& eq_;
  TSubstanceBase* currentObject_ = nullptr;
  int32_t help_;
  int32_t routine_;
  std::string equationText_;
  std::vector<TUnitCheckEntry> stack_;
  size_t pos_ = 0;
  size_t constantIndex_ = 0;
  size_t stringIndex_ = 0;
  bool ended_ = false;
  bool finalTest_ = true;
};

bool UnitCheckWalk::Operand(int32_t word) {
  const std::vector<int32_t>& code = eq_.Code;
  auto nextIndex = [&](int32_t& index) {
    if (pos_ >= code.size()) return false;
    index = code[pos_++];
    return true;
  };
  TUnitCheckEntry e;
  int32_t index = 0;
  switch (word) {
    case CodeConstant:
      e.Value = constantIndex_ < eq_.Constants.size() ? eq_.Constants[constantIndex_] : 0;
      ++constantIndex_;
      e.Text = FormatValue(kCheckNumberFormat, e.Value);
      e.Constant = true;
      return Push(e);
    case CodeVariable: {
      if (!nextIndex(index)) return false;
      const TVariableRecord* v = CurrentProgramUnit != nullptr ? CurrentProgramUnit->Variable(index) : nullptr;
      if (v == nullptr) return false;
      e.Text = v->Name;
      if (v->IsString != 0) {
        e.Value = v->Value;
        // A string variable's units are its current text (none while unset).
        if (std::isfinite(v->Value) && v->Value >= 1 &&
            v->Value <= static_cast<Extended>(StringConstants.size())) {
          e.Units = Trim(StringConstText(static_cast<int32_t>(std::nearbyint(v->Value))));
        }
        if (!e.Units.empty()) {
          e.Factor = EvalUnitExpression(e.Units, e.Exponents);
          if (CalcErrorCode != 0) {
            CalcErrorCode = 0;  // a string that is no unit: no units
            e.Factor = 1;
            e.Exponents = TDimensionVector{};
          }
        }
        return Push(e);
      }
      StringVarText(v->Units, 0, e.Units);
      e.Units = Trim(e.Units);
      e.Value = v->UnknownPosition == -1 ? v->Value : v->Guess;
      if (!EvaluateVariableUnits(e, v->Name)) return false;
      return Push(e);
    }
    case CodeLocalVariable: {
      if (!nextIndex(index)) return false;
      if (index < 0) {
        const TVariableRecord* v = MainProgramUnit != nullptr ? MainProgramUnit->Variable(-index) : nullptr;
        if (v == nullptr) return false;
        e.Text = v->Name;
        e.Units = Trim(v->Units);
        e.Value = v->Value;
        if (!EvaluateVariableUnits(e, v->Name)) return false;
        return Push(e);
      }
      const TRoutineRecord* r = RoutineAt(routine_);
      const TLocalVariableRecord* l = r != nullptr ? LocalByNumber(*r, index) : nullptr;
      if (l == nullptr) return false;
      e.Text = l->Name;
      e.Value = l->Value;
      if (l->IsString == 0) {
        StringVarText(l->Units, routine_, e.Units);
        e.Units = Trim(e.Units);
      }
      if (!EvaluateVariableUnits(e, l->Name)) return false;
      return Push(e);
    }
    case CodeStringConstant:
      e.Value = stringIndex_ < eq_.StringOperands.size() ? eq_.StringOperands[stringIndex_] : 0;
      ++stringIndex_;
      e.Constant = true;
      return Push(e);
    case CodeTableRun:
      e.Value = 1;
      e.Text = "TableRun#";
      e.Constant = true;
      return Push(e);
    case CodeBuiltinConstant: {
      if (!nextIndex(index)) return false;
      if (index < 0 || static_cast<size_t>(index) >= ConstantsList.size()) return false;
      const TConstantRecord& c = ConstantsList[static_cast<size_t>(index)];
      e.Units = Trim(CurrentConstantUnits(c));
      e.Value = CurrentConstantValue(c);
      e.Text = c.Name;
      e.Constant = true;
      if (!e.Units.empty() && !Evaluate(e)) return false;
      return Push(e);
    }
    case CodeTableName:
      e.Value = 1;
      e.Text = "TableName$";
      e.Constant = true;
      return Push(e);
    case CodeOutputList:
      return false;  // the end of the code
    case CodeGotoLabel:
    case CodeComplexVariable:
      return nextIndex(index);  // passed over with their index
    default:
      return true;  // passed over
  }
}

void UnitCheckWalk::Sum(int32_t op) {
  if (!Need(2)) return;
  TUnitCheckEntry right = stack_.back();
  stack_.pop_back();
  TUnitCheckEntry& left = stack_.back();
  left.Value = op == OpAdd ? left.Value + right.Value : left.Value - right.Value;
  const bool leftConstant = left.Constant;
  left.Constant = left.Constant && right.Constant;
  if (!right.Constant) {
    TUnitCheckEntry shownLeft = left;
    shownLeft.Constant = leftConstant;
    CompareOperandUnits(shownLeft, right, help_, equationText_);
    if (CalcErrorCode != 0) {
      ended_ = true;
      return;
    }
  }
  const char* sign = op == OpAdd ? "+" : (op == OpSubtract ? "-" : "=");
  left.Text = left.Text + sign + right.Text;
  if (op == OpEqual) left.Text = FactorRule(left.Text);
}

void UnitCheckWalk::Product(bool divide) {
  if (!Need(2)) return;
  TUnitCheckEntry right = stack_.back();
  stack_.pop_back();
  TUnitCheckEntry& left = stack_.back();
  left.Constant = left.Constant && right.Constant;
  if (right.Units.empty()) {
    left.Units = FactorRule(left.Units);
  } else if (left.Units.empty()) {
    left.Units = divide ? "1/" + FactorRule(right.Units) : FactorRule(right.Units);
  } else {
    left.Units = FactorRule(left.Units) + (divide ? "/" : "*") + FactorRule(right.Units);
  }
  if (divide) {
    if (right.Factor != 0) left.Factor /= right.Factor;
    if (right.Value != 0) left.Value /= right.Value;
  } else {
    left.Factor *= right.Factor;
    left.Value *= right.Value;
  }
  for (int k = 0; k < kDimensionCount; ++k) {
    left.Exponents[k] += divide ? -right.Exponents[k] : right.Exponents[k];
  }
  left.Text = SumRule(left.Text) + (divide ? "/" : "*") + SumRule(right.Text);
}

void UnitCheckWalk::Power() {
  if (!Need(1)) return;
  const TUnitCheckEntry exponent = stack_.back();
  if (!exponent.Units.empty()) {
    SetMessageArg(1, exponent.Units);
    Report(GetMessageText(kMsgExponentUnits), help_);
    return;
  }
  stack_.pop_back();
  if (!Need(1)) return;
  TUnitCheckEntry& base = stack_.back();
  const Extended e = exponent.Value;
  if (e == 0) {
    base.Units.clear();
    base.Value = 1;
    base.Factor = 1;
    base.Exponents = TDimensionVector{};
    return;
  }
  const std::string shown = FactorRule(FormatValue(kCheckNumberFormat, e));
  base.Units = (base.Units.empty() ? std::string("dimensionless") : FactorRule(base.Units)) + "^" + shown;
  base.Factor = PowerReal(base.Factor, e);
  for (Extended& x : base.Exponents) x *= e;
  base.Text = "(" + base.Text + ")^" + shown;
}

void UnitCheckWalk::RuleD(TUnitCheckEntry& arg, const std::string& name, int32_t h1, int32_t h2) {
  if (!AllZero(arg.Exponents)) {
    Report(ReportFunctionArgumentUnits(name, "", arg.Units), h1);
    return;
  }
  if (std::fabs(arg.Factor - 1) > 1e-5L) {
    SetMessageArg(1, name);
    SetMessageArg(2, arg.Text);
    SetMessageArg(3, FormatValue(DefaultDisplayFormat, arg.Factor));
    Report(GetMessageText(kMsgArgumentUnitsFactor), h2);
    return;
  }
  const std::string text = name + "(" + arg.Text + ")";
  MakeDimensionless(arg);
  arg.Text = text;
  arg.Constant = false;
}

void UnitCheckWalk::Trigonometric(const std::string& name) {
  TUnitCheckEntry& arg = stack_.back();
  if (!arg.Constant) {
    const std::string expected = DocumentSettings.AngleUnit == 0 ? "deg" : "rad";
    TDimensionVector de{};
    const Extended fe = EvalUnitExpression(expected, de);
    if (CalcErrorCode != 0) {
      MessageText = GetMessageText(CalcErrorCode);
      ended_ = true;
      return;
    }
    if (!SameDimensions(arg.Exponents, de)) {
      Report(ReportFunctionArgumentUnits(name, expected, arg.Units), 259);
      return;
    }
    if (arg.Factor != fe) {
      Report(ReportFunctionArgumentUnits(name, expected, arg.Units), 182);
      return;
    }
  }
  const Extended value = arg.Value;
  const std::string text = name + "(" + arg.Text + ")";
  MakeDimensionless(arg);
  arg.Value = value;
  arg.Text = text;
  arg.Constant = false;
}

void UnitCheckWalk::ListRule() {
  if (!Need(2)) return;
  const auto n = static_cast<int64_t>(std::llround(static_cast<double>(stack_.back().Value)));
  stack_.pop_back();
  if (n < 1 || static_cast<int64_t>(stack_.size()) < n + 1) {
    Fail(kMsgSyntaxOrUndefinedFunction);
    return;
  }
  const TUnitCheckEntry reference = stack_.back();
  Extended least = reference.Value;
  Extended greatest = reference.Value;
  Extended sum = 0;
  bool mismatch = false;
  std::string remembered;
  for (int64_t k = 0; k < n; ++k) {
    const TUnitCheckEntry arg = stack_.back();
    stack_.pop_back();
    if (k > 0 && !reference.Constant && !SameDimensions(arg.Exponents, reference.Exponents)) {
      remembered = arg.Units.substr(0, kUnitsCut);
      mismatch = true;
    }
    least = std::min(least, arg.Value);
    greatest = std::max(greatest, arg.Value);
    sum += arg.Value;
  }
  TUnitCheckEntry& result = stack_.back();
  static const char* const kTexts[] = {"Min( )", "Max( )", "Average( )", "Sum( )"};
  const auto sub = static_cast<int32_t>(std::llround(static_cast<double>(result.Value)));
  const int32_t which = sub >= 1 && sub <= 4 ? sub - 1 : 3;
  result.Value = which == 0 ? least : which == 1 ? greatest : which == 2 ? sum / static_cast<Extended>(n) : sum;
  result.Text = kTexts[which];
  result.Units = reference.Units;
  if (!result.Units.empty() && !Evaluate(result)) return;
  if (result.Units.empty()) {
    result.Factor = 1;
    result.Exponents = TDimensionVector{};
  }
  if (mismatch) Report(ReportFunctionArgumentUnits(result.Text, reference.Units, remembered), 182);
}

std::string UnitTextOfOperand(Extended value) {
  auto n = static_cast<int32_t>(std::llround(static_cast<double>(value)));
  if (n >= 20000) n -= 20000;
  return StringConstText(n);
}

void UnitCheckWalk::Convert() {
  if (!Need(3)) return;
  const std::string b = UnitTextOfOperand(stack_.back().Value);
  stack_.pop_back();
  const std::string a = UnitTextOfOperand(stack_.back().Value);
  stack_.pop_back();
  TUnitCheckEntry& result = stack_.back();
  result.Units = FactorRule(b) + "/" + FactorRule(a);
  Extended f = 1;
  std::string t;
  ConvertUnitFactor(a, b, f, t);
  if (CalcErrorCode > 0) {
    SetMessageArg(1, "Convert(" + a + "," + b + ")");
    Fail(kMsgUnexpectedEvaluationError);
    return;
  }
  result.Text = t;
  result.Factor /= f;
  result.Value /= f;
  result.Constant = false;
  result.Exponents = TDimensionVector{};
}

void UnitCheckWalk::UserFunction() {
  if (!Need(1)) return;
  const auto r = static_cast<int32_t>(std::llround(static_cast<double>(stack_.back().Value)));
  const TRoutineRecord* routine = RoutineAt(r);
  if (r < 1 || r > FunctionCount || routine == nullptr) {
    ended_ = true;
    return;
  }
  const size_t remove = std::min<size_t>(static_cast<size_t>(std::max(routine->InputCount, 0)), stack_.size() - 1);
  stack_.resize(stack_.size() - remove);
  if (routine->OutputCount > 0) {
    ended_ = true;
    finalTest_ = false;
    return;
  }
  const TLocalVariableRecord* first = routine->Locals;
  if (first == nullptr) return;
  TUnitCheckEntry& result = stack_.back();
  result.Constant = false;
  StringVarText(first->Units, r, result.Units);
  result.Units = Trim(result.Units);
  if (!result.Units.empty() && result.Units.back() == '$' && !SolutionAvailable) {
    ended_ = true;
    finalTest_ = false;
    return;
  }
  result.Value = first->Value;
  result.Text = first->Name;
  result.Factor = 1;
  result.Exponents = TDimensionVector{};
  if (!result.Units.empty()) Evaluate(result);
}

void UnitCheckWalk::RoutineComparison() {
  if (routine_ == 0) return;
  if (stack_.size() < 3) {
    CalcErrorCode = kMsgIfOperator;
    MessageHelpContext = 150;
    MessageText = GetMessageText(kMsgIfOperator);
    ended_ = true;
    return;
  }
  TUnitCheckEntry right = stack_.back();
  stack_.pop_back();
  TUnitCheckEntry left = stack_.back();
  stack_.pop_back();
  if (!right.Constant) {
    CompareOperandUnits(left, right, help_, equationText_);
    if (CalcErrorCode != 0) ended_ = true;
  }
  TUnitCheckEntry& kind = stack_.back();
  kind.Units.clear();
  kind.Factor = 1;
  kind.Exponents = TDimensionVector{};
  kind.Constant = true;
}

void UnitCheckWalk::Integral() {
  auto isTag = [](Extended v) { return v > 88880 && v <= 88889; };
  Extended tag = 0;
  if (!stack_.empty() && isTag(stack_.back().Value)) {
    tag = stack_.back().Value;
  } else if (stack_.size() >= 4 && isTag(stack_[stack_.size() - 4].Value)) {
    tag = stack_[stack_.size() - 4].Value;
  }
  const TIntegralTermRecord* term = eq_.IntegralTerms;
  while (term != nullptr && static_cast<Extended>(term->TermId) != std::nearbyint(tag)) term = term->Next;
  if (tag == 0 || term == nullptr) {
    Fail(kMsgIntegralNesting);
    return;
  }
  const size_t occupied = term->TableBased != 0 ? 3 : 6;
  if (stack_.size() < occupied + 1) {
    Fail(kMsgSyntaxOrUndefinedFunction);
    return;
  }
  const size_t base = stack_.size() - occupied - 1;
  const TUnitCheckEntry integrand = stack_[base + 1];
  const auto v = static_cast<int32_t>(std::llround(static_cast<double>(stack_[base + 2].Value)));
  stack_.resize(base + 1);
  if (CurrentProgramUnit == nullptr || v < 1 || v > CurrentProgramUnit->VariableCount) {
    ended_ = true;
    finalTest_ = false;
    return;
  }
  const TVariableRecord* variable = CurrentProgramUnit->Variable(v);
  std::string xu;
  StringVarText(variable->Units, 0, xu);
  xu = xu.substr(0, kUnitsCut);
  const std::string fu = integrand.Units.substr(0, kUnitsCut);
  TUnitCheckEntry& result = stack_.back();
  result.Factor = EvalUnitExpression(xu, result.Exponents);
  if (CalcErrorCode != 0) {
    MessageText = GetMessageText(CalcErrorCode);
    ended_ = true;
    return;
  }
  result.Factor *= integrand.Factor;
  for (int k = 0; k < kDimensionCount; ++k) result.Exponents[k] += integrand.Exponents[k];
  result.Value *= integrand.Value;
  result.Units = fu.empty() ? FactorRule(xu) : xu.empty() ? FactorRule(fu) : FactorRule(fu) + "*" + FactorRule(xu);
  result.Text = "Integral(" + SumRule(integrand.Text) + "," + SumRule(variable->Name) + ")";
  result.Constant = false;
}

void UnitCheckWalk::Function(int32_t code) {
  static const char* const kBesselNames[] = {"I0", "I1", "J0", "J1", "K0", "K1", "Y0", "Y1"};
  switch (code) {
    case 198:
    case 242:
      ended_ = true;
      finalTest_ = false;
      return;
    case 199:
      RoutineComparison();
      return;
    case 200: {
      if (!Need(2)) return;
      TUnitCheckEntry arg = stack_.back();
      stack_.pop_back();
      const auto sub = static_cast<int32_t>(std::llround(static_cast<double>(stack_.back().Value)));
      const std::string name = sub >= 1 && sub <= 8 ? kBesselNames[sub - 1] : "Bessel";
      RuleD(arg, name, 182, help_);
      if (!ended_) stack_.back() = arg;
      return;
    }
    case 201:
      Convert();
      return;
    case 204: {
      if (!Need(5)) return;
      const size_t a = stack_.size() - 5;
      const Extended av = stack_[a].Value;
      const Extended bv = stack_[a + 1].Value;
      const size_t chosen = av < bv ? a + 2 : (av == bv ? a + 3 : a + 4);
      stack_[a] = stack_[chosen];
      stack_.resize(a + 1);
      return;
    }
    case 208:
      UserFunction();
      return;
    case 225:
    case 226:
    case 227: {
      if (!Need(1)) return;
      static const char* const kNames[] = {"Exp", "Log10", "Ln"};
      RuleD(stack_.back(), kNames[code - 225], help_, help_);
      return;
    }
    case 228:
    case 229:
    case 230: {
      if (!Need(1)) return;
      static const char* const kNames[] = {"sin", "cos", "tan"};
      Trigonometric(kNames[code - 228]);
      return;
    }
    case 231: {
      if (!Need(1)) return;
      TUnitCheckEntry& e = stack_.back();
      e.Units = "sqrt(" + e.Units + ")";
      e.Value = std::sqrt(std::fabs(e.Value));
      e.Factor = std::sqrt(std::fabs(e.Factor));
      for (Extended& x : e.Exponents) x /= 2;
      return;
    }
    case 232:
      if (!Need(1)) return;
      stack_.back().Value = std::fabs(stack_.back().Value);
      return;
    case 233:
      ListRule();
      return;
    case 235:
    case 236:
    case 237: {
      if (!Need(1)) return;
      static const char* const kNames[] = {"arcsin", "arccos", "arctan"};
      TUnitCheckEntry& e = stack_.back();
      const std::string argText = e.Text;
      RuleD(e, kNames[code - 235], 182, 182);
      if (ended_) return;
      e.Text = std::string(kNames[code - 235]) + "(" + argText + ")";
      e.Value = 1;
      e.Factor = 1;
      e.Exponents = TDimensionVector{};
      if (DocumentSettings.AngleUnit == 0) {
        e.Units = "deg";
        e.Exponents[kAnglePosition] = 1;
        e.Factor = DocumentSettings.AngleFactor;
      } else {
        e.Units = "rad";
      }
      return;
    }
    case 238:
    case 239:
    case 240: {
      if (!Need(1)) return;
      static const char* const kNames[] = {"sinh", "cosh", "tanh"};
      RuleD(stack_.back(), kNames[code - 238], 259, 259);
      return;
    }
    case 247: {
      if (!Need(2)) return;
      const TUnitCheckEntry arg = stack_.back();
      stack_.pop_back();
      TUnitCheckEntry& result = stack_.back();
      const auto sub = static_cast<int32_t>(std::llround(static_cast<double>(result.Value)));
      static const std::pair<int32_t, const char*> kChecked[] = {
          {3, "ArcCosh"}, {4, "ArcSinh"}, {5, "ArcTanh"}, {8, "Erf"}, {9, "Erfc"}, {15, "GAMMA_"}};
      for (const auto& [s, name] : kChecked) {
        if (s == sub) {
          if (!AllZero(arg.Exponents)) {
            Report(ReportFunctionArgumentUnits(name, "", arg.Units), sub == 15 ? help_ : 259);
            return;
          }
          result.Units.clear();
          return;
        }
      }
      if (sub == 6 || sub == 7 || (sub >= 10 && sub <= 14)) {
        MakeDimensionless(result);
        result.Constant = true;
      }
      return;
    }
    case 248:
      if (!Need(1)) return;
      MakeDimensionless(stack_.back());
      stack_.back().Constant = true;
      return;
    case 249: {
      if (!Need(3)) return;
      const TUnitCheckEntry b = stack_.back();
      stack_.pop_back();
      const TUnitCheckEntry a = stack_.back();
      stack_.pop_back();
      TUnitCheckEntry& result = stack_.back();
      const auto sub = static_cast<int32_t>(std::llround(static_cast<double>(result.Value)));
      if (sub == 1 || sub == 2) {
        MakeDimensionless(result);
        result.Constant = true;
      } else if (sub == 3 || sub == 4) {
        result.Units.clear();
        result.Value = 1;
        result.Factor = 1;
        result.Exponents = TDimensionVector{};
      } else if (sub == 5 || sub == 6) {
        result.Units = a.Units;
        result.Factor = a.Factor;
        result.Exponents = a.Exponents;
        result.Constant = false;
        if (sub == 5) {
          result.Value = b.Value != 0 ? a.Value - std::trunc(a.Value / b.Value) * b.Value : a.Value;
          result.Text = "MOD(" + a.Text + "," + b.Text + ")";
        } else {
          result.Value = 0;
          result.Text = "UNCERTAINTYOF(" + a.Text + ")";
        }
      }
      return;
    }
    case 250: {
      if (!Need(4)) return;
      const TUnitCheckEntry scale = stack_[stack_.size() - 2];
      stack_.resize(stack_.size() - 3);
      TUnitCheckEntry& result = stack_.back();
      const auto sub = static_cast<int32_t>(std::llround(static_cast<double>(result.Value)));
      if (sub != 1 && sub != 2) return;
      const bool constant = result.Constant;
      MakeDimensionless(result);
      result.Constant = constant;
      if (sub == 2 && scale.Value > 20000) {
        result.Units = StringConstText(static_cast<int32_t>(std::llround(static_cast<double>(scale.Value))) - 20000);
        result.Text = "ConvertTemp";
        result.Constant = false;
        Evaluate(result);
      }
      return;
    }
    case 251:
      Integral();
      return;
    case 241:
      InterpolationRule();
      return;
    case 244:
      LookupRule();
      return;
    case 245:
    case 246:
      SearchRule(code);
      return;
    case 252:
      TableValueRule();
      return;
    default:
      if (code >= 209 && code <= 223) {
        PropertyCall(code);
        return;
      }
      return;  // every other code is passed over
  }
}

// The inputs of the current call against the units the document's unit
// system gives each input kind; the substance entry and the argument
// entries above the first are removed, so the first argument's entry is the
// top again.
// False after a report.
bool UnitCheckWalk::CheckPropertyInputs(const TSubstanceBase& object, const std::string& name) {
  stack_.pop_back();  // the substance
  const int32_t count = object.ArgCount;
  for (int32_t k = 1; k <= count; ++k) {
    TUnitCheckEntry& arg = stack_.back();
    const int32_t kind = object.ArgKind[static_cast<size_t>(count - k + 1)];
    std::string expected = Upper(InstalledPropertyUnitsLabel(kind));
    const std::string quantity = QuantityNameOfInputKind(kind);
    // Wet-bulb and dew-point temperatures are read on the document's scale
    // like T: a C input in a K document is as wrong for them.
    const bool temperature = kind == 1 || kind == 11 || kind == 12;
    if (temperature) DropDegreeSign(expected);
    DropDegreeSign(arg.Units);
    TDimensionVector de{};
    const Extended fe = EvalUnitExpression(expected, de);
    if (CalcErrorCode != 0) {
      MessageText = GetMessageText(CalcErrorCode);
      ended_ = true;
      return false;
    }
    bool report = false;
    if (!SameDimensions(arg.Exponents, de)) {
      // A plain number may stand for any quantity.
      report = !arg.Constant;
    } else if (temperature) {
      // C and K (F and R) have the same dimension and size: the names decide.
      report = expected != Upper(arg.Units);
    } else {
      report = fe == 0 || std::fabs(arg.Factor / fe - 1) > 1e-5L;
    }
    if (report) {
      ReportPropertyInputUnits(name, quantity, expected, arg.Units, help_);
      ended_ = true;
      return false;
    }
    if (k < count) stack_.pop_back();  // the first argument's entry stays for the result
  }
  return true;
}

void UnitCheckWalk::SetPropertyResult(TUnitCheckEntry& result, const std::string& units, const std::string& text,
                                      bool constant) {
  result.Units = units;
  result.Text = text;
  result.Value = 1;
  result.Constant = constant;
  result.Exponents = TDimensionVector{};
  Evaluate(result);
}

// A property call: its inputs are checked against the document's unit
// system, and its result takes the units of the property computed there.
void UnitCheckWalk::PropertyCall(int32_t code) {
  if (InstalledPropertyUnitsLabel == nullptr) {
    ended_ = true;
    finalTest_ = false;
    return;
  }
  // The calls take their objects from the chain in order; a nested call runs
  // before its caller, so an object out of turn is looked up by its code.
  TSubstanceBase* const next = currentObject_ != nullptr ? currentObject_->Next : nullptr;
  TSubstanceBase* object = currentObject_;
  if (object == nullptr || object->ServedOpcode != code) {
    object = eq_.SubstanceChain;
    while (object != nullptr && object->ServedOpcode != code) object = object->Next;
  }
  if (object == nullptr) {
    ended_ = true;
    finalTest_ = false;
    return;
  }
  currentObject_ = next;
  if (code == 218) return;
  auto label = [](int32_t kind) { return InstalledPropertyUnitsLabel(kind); };
  const bool english = DocumentSettings.UnitSystem == 1;
  const bool molar = DocumentSettings.MolarBasis == 1;
  if (code == 217) {
    if (!Need(2)) return;
    stack_.pop_back();  // the substance
    TUnitCheckEntry& result = stack_.back();
    const auto sub = static_cast<int32_t>(std::llround(static_cast<double>(result.Value)));
    const Extended value = result.Value;
    switch (sub) {
      case 1: SetPropertyResult(result, english ? "lbm/lbmol" : "g/gmol", "MolarMass", false); break;
      case 2: SetPropertyResult(result, label(1), "T_Crit", false); break;
      case 3: SetPropertyResult(result, label(2), "P_Crit", false); break;
      case 4: SetPropertyResult(result, label(6), "V_Crit", false); break;
      default:
        // isIdealGas, AcentricFactor: pure numbers.
        result.Units.clear();
        result.Factor = 1;
        result.Exponents = TDimensionVector{};
        result.Constant = true;
        break;
    }
    result.Value = value;
    return;
  }
  const int32_t count = std::clamp(object->ArgCount, 0, 3);
  if (count < 1) {
    // Every state property has inputs; a call without any is not checked.
    ended_ = true;
    finalTest_ = false;
    return;
  }
  if (code == 216) {
    if (!Need(static_cast<size_t>(count) + 2)) return;
    const auto sub = static_cast<int32_t>(
        std::llround(static_cast<double>(stack_[stack_.size() - static_cast<size_t>(count) - 2].Value)));
    const std::string energy = DocumentSettings.EnergyUnit == 0 ? "J" : "kJ";
    const std::string specHeat =
        english ? (molar ? "Btu/lbmol-R" : "Btu/lbm-R") : energy + (molar ? "/kmol-K" : "/kg-K");
    std::string name;
    std::string units;
    switch (sub) {
      case 1: name = "SpecHeat"; units = specHeat; break;
      case 2: name = "Viscosity"; units = english ? "lb_m/ft-hr" : "kg/m-s"; break;
      case 3: name = "Conductivity"; units = english ? "Btu/hr-ft-R" : "W/m-K"; break;
      case 4: name = "Prandtl"; break;
      case 5: name = "SoundSpeed"; units = english ? "ft/s" : "m/s"; break;
      case 6: name = "SurfaceTension"; units = english ? "lbf/ft" : "N/m"; break;
      case 7: name = "VolExpCoef"; units = english ? "1/R" : "1/K"; break;
      case 8: name = "SpecHeat"; units = specHeat; break;
      case 9: name = "Cv"; units = specHeat; break;
      case 10: {
        name = "Fugacity";
        if (english) {
          units = DocumentSettings.PressureUnit != 0 ? "atm" : "psia";
        } else {
          switch (DocumentSettings.PressureUnit) {
            case 1: units = "bar"; break;
            case 2: units = "Pa"; break;
            case 3: units = "MPa"; break;
            default: units = "kPa"; break;
          }
        }
        break;
      }
      default: name = "Property"; break;
    }
    if (!CheckPropertyInputs(*object, name)) return;
    stack_.pop_back();  // the first argument: the sub-code entry takes the result
    SetPropertyResult(stack_.back(), units, name, false);
    return;
  }
  if (!Need(static_cast<size_t>(count) + 1)) return;
  struct Rule {
    const char* name;
    int32_t kind;  // 0: dimensionless
    const char* text;
    bool constant;
  };
  static const Rule kRules[] = {
      {"Temperature", 1, "Temperature", false}, {"Pressure", 2, "Pressure", false},
      {"Enthalpy", 3, "Enthalpy", false},       {"IntEnergy", 3, "IntEnergy", false},
      {"Entropy", 5, "Entropy", false},         {"Volume", 6, "Volume", false},
      {"Quality", 0, "Quality", true},          {"", 0, "", false},
      {"", 0, "", false},                       {"", 0, "", false},
      {"WetBulb", 1, "WetBulb", false},         {"DewPt", 1, "DewPt", false},
      {"HumRat", 0, "HumRat", true},            {"RelHum", 0, "RelHum", true},
      {"Density", 15, "Density", false}};
  const Rule& rule = kRules[code - 209];
  if (!CheckPropertyInputs(*object, rule.name)) return;
  SetPropertyResult(stack_.back(), rule.kind != 0 ? label(rule.kind) : std::string(), rule.text, rule.constant);
}

// --- Table functions ------------------------------------------------------------------

// The table designator at stack position at (removed with everything above
// it); false ends the check.
bool UnitCheckWalk::TableArgument(size_t at, int32_t& id, TLookupTableInfo& info) {
  const Extended designator = stack_[at].Value;
  stack_.resize(at);
  switch (ResolveTableForUnits(designator, routine_, id, info)) {
    case TableResolution::Found:
      return true;
    case TableResolution::Unknown:
      ended_ = true;
      finalTest_ = false;
      return false;
    case TableResolution::Error:
      break;
  }
  MessageText = GetMessageText(CalcErrorCode);
  ended_ = true;
  return false;
}

void UnitCheckWalk::InterpolationRule() {
  // Sub-code, table, dependent column, independent column, direction, x.
  if (!Need(6)) return;
  const size_t base = stack_.size() - 6;
  const Extended direction = stack_[base + 4].Value;
  const Extended dependent = stack_[base + 2].Value;
  const Extended independent = stack_[base + 3].Value;
  int32_t id = 0;
  TLookupTableInfo info;
  if (!TableArgument(base + 1, id, info)) return;
  int32_t y = static_cast<int32_t>(std::nearbyint(TableColumnNumberForUnits(dependent, id)));
  int32_t x = CalcErrorCode == 0 ? static_cast<int32_t>(std::nearbyint(TableColumnNumberForUnits(independent, id))) : 0;
  if (CalcErrorCode != 0) {
    MessageText = GetMessageText(CalcErrorCode);
    ended_ = true;
    return;
  }
  TUnitCheckEntry& result = stack_.back();
  const int32_t sub = static_cast<int32_t>(std::nearbyint(result.Value));
  // A reciprocal derivative was compiled with the columns swapped.
  if (direction < 0 && sub >= 4) std::swap(x, y);
  result = TUnitCheckEntry{};
  result.Value = 1;
  std::string yUnits = TableColumnUnits(y, id);
  std::string xUnits = CalcErrorCode == 0 && sub >= 4 ? TableColumnUnits(x, id) : std::string();
  if (CalcErrorCode != 0) {
    MessageText = GetMessageText(CalcErrorCode);
    ended_ = true;
    return;
  }
  if (sub < 4) {
    result.Units = yUnits;
    result.Text = "Interpolate()";
  } else {
    result.Units = "(" + yUnits + ")/(" + xUnits + ")";
    result.Text = "Differentiate(" + yUnits + ", " + xUnits + ")";
  }
  result.Factor = EvalUnitExpression(result.Units, result.Exponents);
  if (CalcErrorCode != 0) {
    SetMessageArg(1, MessageArgs[1] + " appearing in column " + std::to_string(y) + " of the table");
    MessageHelpContext = 182;
    MessageText = GetMessageText(CalcErrorCode);
    ended_ = true;
  }
}

void UnitCheckWalk::LookupRule() {
  // Kind, table, row, column, by-name flag.
  if (!Need(5)) return;
  const size_t base = stack_.size() - 5;
  const bool byName = std::nearbyint(stack_[base + 4].Value) > 0;
  Extended column = stack_[base + 3].Value;
  int32_t id = 0;
  TLookupTableInfo info;
  if (!TableArgument(base + 1, id, info)) return;
  if (byName) column = TableColumnNumberForUnits(column, id);
  if (CalcErrorCode != 0) {
    MessageText = GetMessageText(CalcErrorCode);
    ended_ = true;
    return;
  }
  const Extended c = std::trunc(column);
  TUnitCheckEntry& result = stack_.back();
  result = TUnitCheckEntry{};
  result.Value = 1;
  result.Text = "Lookup()";
  // Between two columns the value has no one column's units.
  if (std::fabs(column - c) > 1e-6L) {
    result.Constant = true;
    return;
  }
  const int32_t k = static_cast<int32_t>(c);
  result.Units = TableColumnUnits(k, id);
  if (CalcErrorCode != 0) {
    MessageText = GetMessageText(CalcErrorCode);
    ended_ = true;
    return;
  }
  result.Factor = EvalUnitExpression(result.Units, result.Exponents);
  if (CalcErrorCode != 0) {
    SetMessageArg(1, MessageArgs[1] + " appearing in column " + std::to_string(k) + " of the table");
    MessageHelpContext = 182;
    MessageText = GetMessageText(CalcErrorCode);
    ended_ = true;
  }
}

void UnitCheckWalk::SearchRule(int32_t code) {
  // 245: sub-code, table, row, value; 246: sub-code, table, column, flag, value.
  const size_t count = code == 245 ? 4 : 5;
  if (!Need(count)) return;
  const size_t base = stack_.size() - count;
  int32_t id = 0;
  TLookupTableInfo info;
  if (!TableArgument(base + 1, id, info)) return;
  TUnitCheckEntry& result = stack_.back();
  result = TUnitCheckEntry{};
  result.Value = 1;
  result.Text = code == 245 ? "LookupCol()" : "LookupRow()";
}

void UnitCheckWalk::TableValueRule() {
  // Table name, row, column.
  if (!Need(3)) return;
  const size_t base = stack_.size() - 3;
  const ParametricTableAccess& table = ParametricTable();
  if (!table.WindowExists()) {
    Fail(kMsgTableRunOutsideTable);
    return;
  }
  const std::string name = StringConstText(static_cast<int32_t>(std::nearbyint(stack_[base].Value)));
  int32_t k = 0;
  for (int32_t t = 1; t <= table.TableCount() && k == 0; ++t)
    if (UpperCaseText(table.TableName(t)) == UpperCaseText(name)) k = t;
  int32_t c = static_cast<int32_t>(std::nearbyint(stack_[base + 2].Value));
  if (c > kNamedTableColumn) {
    const std::string wanted = UpperCaseText(StringConstText(c - kNamedTableColumn));
    c = -1;
    for (int32_t j = 1; k > 0 && j <= table.TableColumnCount(k) && c < 0; ++j) {
      const TVariableRecord* v = MainProgramUnit != nullptr ? MainProgramUnit->Variable(table.ColumnVariable(k, j)) : nullptr;
      if (v != nullptr && v->UpperName == wanted) c = j;
    }
  }
  if (c < 1 || c > table.ColumnCount()) {
    Fail(kMsgTableValueColumn);
    return;
  }
  // A row outside the table has no cell to read: the error the evaluation
  // gives.
  const int32_t r = static_cast<int32_t>(std::nearbyint(stack_[base + 1].Value));
  if (r < 1 || r > table.RowCount()) {
    MessageHelpContext = 124;
    Fail(kMsgTableValueRow);
    return;
  }
  stack_.resize(base + 1);
  TUnitCheckEntry& result = stack_.back();
  result = TUnitCheckEntry{};
  const Extended cell = table.CellValue(k, r, c);
  result.Value = IsBlank(cell) ? 1 : cell;
  const TVariableRecord* v =
      MainProgramUnit != nullptr && k > 0 ? MainProgramUnit->Variable(table.ColumnVariable(k, c)) : nullptr;
  if (v != nullptr) StringVarText(v->Units, 0, result.Units);
  result.Units = Trim(result.Units);
  result.Text = "TableValue( )";
  result.Factor = EvalUnitExpression(result.Units, result.Exponents);
  if (CalcErrorCode != 0) {
    SetMessageArg(1, MessageArgs[1] + " appearing in column " + std::to_string(c) + " of the table");
    MessageText = GetMessageText(CalcErrorCode);
    ended_ = true;
  }
}

void UnitCheckWalk::Run() {
  const std::vector<int32_t>& code = eq_.Code;
  while (pos_ < code.size() && CalcErrorCode <= 0 && !ended_) {
    const int32_t word = code[pos_++];
    if (word <= 0) {
      if (!Operand(word)) {
        if (CalcErrorCode <= 0 && !ended_) ended_ = true;  // the end of the usable code
      }
      continue;
    }
    switch (word) {
      case OpAdd:
      case OpSubtract:
      case OpEqual:
        Sum(word);
        break;
      case OpMultiply:
        Product(false);
        break;
      case OpDivide:
        Product(true);
        break;
      case OpNegate:
        if (Need(1)) stack_.back().Value = -stack_.back().Value;
        break;
      case OpPower:
        Power();
        break;
      default:
        if (word >= 198) Function(word);
        break;
    }
  }
  if (finalTest_ && stack_.size() != 1 && CalcErrorCode == 0) {
    CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
    MessageText = GetMessageText(kMsgSyntaxOrUndefinedFunction);
  }
}

bool Skipped(const TEquationRecord& equation, int32_t routineIndex) {
  const int32_t variableCode = routineIndex == 0 ? CodeVariable : CodeLocalVariable;
  int32_t variables = 0;
  bool calls = false;
  for (int32_t w : equation.Code) {
    if (w == 253 || w == 254 || w == 255) return true;
    if (w == OpUserFunction && Preferences.ShowLocalVariables == 0) return true;
    if (w == variableCode) ++variables;
    if ((w >= 208 && w <= 223) || w == 241 || w == 244 || w == 245 || w == 246 || w == 252) calls = true;
  }
  return variables < 2 && !calls;
}

}  // namespace

void SetPropertyUnitsLabel(PropertyUnitsLabel label) { InstalledPropertyUnitsLabel = label; }

std::string QuantityNameOfInputKind(int32_t kind) {
  switch (kind) {
    case 1: return "temperature";
    case 2: return "pressure";
    case 3: return "enthalpy";
    case 4: return "internal energy";
    case 5: return "Entropy";
    case 6: return "volume";
    case 7: return "quality";
    case 11: return "wetbulb";
    case 12: return "dewpoint";
    case 13: return "humidity ratio";
    case 14: return "relative humidity";
    case 18: return "sound speed";
    default: return "an input ";
  }
}

void ReportPropertyInputUnits(const std::string& name, const std::string& quantity, const std::string& expected,
                              const std::string& actual, int32_t helpContext) {
  MessageHelpContext = helpContext;
  CalcErrorCode = 100;
  SetMessageArg(1, name.substr(0, kPropertyMessageCut));
  SetMessageArg(2, quantity.substr(0, kPropertyMessageCut));
  SetMessageArg(3, UnitsShown(expected).substr(0, kPropertyMessageCut));
  SetMessageArg(4, UnitsShown(actual).substr(0, kPropertyMessageCut));
  MessageText = GetMessageText(kMsgInputUnits);
}

std::string ReportFunctionArgumentUnits(const std::string& name, const std::string& expected,
                                        const std::string& actual) {
  SetMessageArg(1, name);
  SetMessageArg(2, UnitsShown(expected));
  SetMessageArg(3, UnitsShown(actual));
  return GetMessageText(kMsgArgumentUnits);
}

void CompareOperandUnits(const TUnitCheckEntry& left, const TUnitCheckEntry& right, int32_t helpContext,
                         const std::string& equationText) {
  const bool factorsAgree = right.Factor != 0 && std::fabs(left.Factor / right.Factor - 1) <= 1e-5L;
  bool mismatch = false;
  for (int k = 0; k < kDimensionCount; ++k) {
    if (std::fabs(left.Exponents[k] - right.Exponents[k]) <= 1e-5L) continue;
    if (k != kAnglePosition) {
      mismatch = true;
    } else if (!factorsAgree && !(left.Exponents[k] != 0 && right.Exponents[k] != 0)) {
      mismatch = true;
    }
  }
  const std::string leftShown = left.Text + " [" + UnitsShown(left.Units) + "]";
  const std::string rightShown = right.Text + " [" + UnitsShown(right.Units) + "]";
  if (mismatch) {
    // "0 = x - y" compares the 0 with the difference: no problem.
    const size_t start = !equationText.empty() && equationText[0] == '~' ? 1 : 0;
    if (leftShown == "0 [dimensionless]" && equationText.compare(start, 2, "0=") == 0) return;
    SetMessageArg(1, leftShown);
    SetMessageArg(2, rightShown);
    CalcErrorCode = 100;
    MessageHelpContext = helpContext;
    MessageText = GetMessageText(kMsgInconsistentDimensions);
    return;
  }
  if (right.Factor != 0 && std::fabs(left.Factor / right.Factor - 1) > 1e-4L) {
    SetMessageArg(1, leftShown);
    SetMessageArg(2, rightShown);
    SetMessageArg(3, FormatValue(kCheckNumberFormat, left.Factor / right.Factor));
    CalcErrorCode = 100;
    MessageHelpContext = helpContext;
    MessageText = GetMessageText(kMsgUnitsFactor);
  }
}

void CheckEquationUnits(TEquationRecord* equation, int32_t helpContext, int32_t routineIndex) {
  if (equation == nullptr || Skipped(*equation, routineIndex)) return;
  UnitCheckWalk walk(*equation, helpContext, routineIndex);
  walk.Run();
}

std::vector<TUnitProblem> CheckUnitsOfEquations(TProgramUnitRecord* unit, int32_t helpContext) {
  std::vector<TUnitProblem> problems;
  auto check = [&](TEquationRecord* e, int32_t routine) {
    CalcErrorCode = 0;
    MessageText.clear();
    CheckEquationUnits(e, helpContext, routine);
    if (CalcErrorCode != 0) problems.push_back({e, routine, CalcErrorCode, MessageText});
    CalcErrorCode = 0;
  };
  if (unit != nullptr) {
    for (TEquationRecord* e = unit->FirstEquation; e != nullptr; e = e->Next) check(e, 0);
  }
  for (int32_t r = 1; r <= FunctionCount; ++r) {
    const TRoutineRecord* routine = RoutineAt(r);
    if (routine == nullptr) continue;
    for (TEquationRecord* e : RoutineStatements(*routine)) check(e, r);
  }
  return problems;
}

}  // namespace voq

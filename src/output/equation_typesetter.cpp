#include "output/equation_typesetter.h"

#include <algorithm>
#include <new>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/number_format.h"
#include "core/number_text.h"
#include "core/string_constants.h"
#include "language/statement_preparation.h"
#include "model/compiled_code.h"
#include "model/document_settings.h"
#include "model/program_units.h"
#include "model/routines.h"
#include "model/store_state.h"
#include "output/display_names.h"
#include "units/constants.h"

namespace voq {

int32_t IfDepth = 0;
int32_t PendingElseLabel = 0;
int32_t PendingUntilLabel = 0;

namespace {

FunctionCodeLayout functionCodeLayout = nullptr;

// Labels of the rewriting of block IF and REPEAT, and of the statement that
// is never shown.
constexpr int32_t kLastUserLabel = 30000;
constexpr int32_t kHiddenLabel = 99999;
constexpr int32_t kFirstRepeatLabel = 32000;

// The value a constant typed as 3.14159265359 has, which is shown as pi.
constexpr Extended kTypedPi = 3.14159265359L;

TFormatBox* NewHead(TFormattedForm& form, const TRect& rect) {
  TFormatBox* head = form.NewBox("", -1, 0);
  head->Rect = rect;
  return head;
}

bool IsDigitText(const std::string& text) { return text.size() == 1 && text[0] >= '0' && text[0] <= '9'; }

// A code item, or 0 past the end.
int32_t ItemAt(const TEquationRecord& eq, size_t i) { return i < eq.Code.size() ? eq.Code[i] : 0; }

}  // namespace

// --- The walk's stack -----------------------------------------------------------------

TTypesetWalk::~TTypesetWalk() {
  for (TFormatBox*& list : Stack) DisposeFormatEqn(list);
}

bool TTypesetWalk::Push(TFormatBox* list) {
  if (Stack.size() >= kMaxBoxStackDepth) {
    DisposeFormatEqn(list);
    if (CalcErrorCode <= 0) CalcErrorCode = kMsgStackLimit;
    return false;
  }
  Stack.push_back(list);
  return true;
}

TFormatBox* TTypesetWalk::Pop() {
  TFormatBox* list = Stack.back();
  Stack.pop_back();
  return list;
}

void SetFunctionCodeLayout(FunctionCodeLayout layout) { functionCodeLayout = layout; }

// --- Constants -----------------------------------------------------------------------------

std::string ConstantText(Extended x) {
  std::string text;
  bool found = false;
  const TDisplayFormat automatic{kStyleAutomatic, 0};
  for (int32_t k = 2; k <= 8 && !found; ++k) {
    SignificantDigits = k;
    FormatValue(text, automatic, x);
    bool ok = false;
    const Extended back = ParseReal(text, ok);
    found = ok && back == x;
  }
  if (!found) {
    SignificantDigits = 4;
    FormatValue(text, automatic, x);
  }
  SignificantDigits = 4;
  if (x > 1000000 || x < -1000000) {
    RealToStr(text, TDisplayFormat{kStyleExponential, 5}, x);
    for (size_t p = text.find("0E"); p != std::string::npos; p = text.find("0E")) text.erase(p, 1);
  }
  // Exponent clean-up: E-06 as E-6, E+00 at the end dropped, E+05 as E5.
  size_t p = text.find("E-0");
  if (p != std::string::npos) text.erase(p + 2, 1);
  p = text.find("E+0");
  if (p != std::string::npos) {
    if (p + 3 == text.size()) {
      text.erase(p);
    } else {
      text.erase(p + 2, 1);
    }
  }
  p = text.find(".E");
  if (p != std::string::npos) text.erase(p, 1);
  p = text.find("E+");
  if (p != std::string::npos) text.erase(p + 1, 1);
  while (!text.empty() && text.front() == ' ') text.erase(0, 1);
  return text;
}

TFormatBox* FormatConstant(TFormattedForm& form, Extended x) {
  if (x == kTypedPi) {
    SignificantDigits = 4;
    TFormatBox* pi = form.NewBox(std::string(1, kCodeSymbolPi), form.BaseFontSize, 0);
    pi->Role = kRolePi;
    return pi;
  }
  std::string text = ConstantText(x);
  if (text.size() >= 2 && text.compare(text.size() - 2, 2, "E0") == 0) text.resize(text.size() - 2);
  TFormatBox* box = form.NewBox(text, form.BaseFontSize, 0);
  if (box->Text.find('E') != std::string::npos) {
    box->Role = kRoleExponentNumber;
    box->Width += form.StringWidth("x10 ") - form.StringWidth("E") + form.Px(1);
    box->Rect.Right = box->Rect.Left + box->Width;
    box->Rect.Top -= form.Py(2);
    box->Rect.Bottom += form.Py(2);
  }
  return box;
}

// --- Operators -------------------------------------------------------------------------------

TFormatBox* BinaryOperator(TTypesetWalk& walk, TFormatBox* left, TFormatBox* right, int32_t kind) {
  TFormattedForm& form = walk.Form;
  int32_t w = form.GetWidth(left) + form.Px(1);
  TFormatBox* op = nullptr;
  switch (kind) {
    case OpSeparator:
      op = form.NewBox(std::string(1, ArgumentSeparator) + " ", form.BaseFontSize, 0);
      break;
    case OpAdd:
      op = form.NewBox(" + ", form.BaseFontSize, 0);
      op->Role = kRoleBreakOperator;
      op->Width += form.Px(1);
      break;
    case OpSubtract:
      op = form.NewBox(std::string(" ") + kCodeEnDash + " ", form.BaseFontSize, 0);
      op->Role = kRoleBreakOperator;
      op->Width += form.Px(3);
      if (NeedsParentheses(right)) form.Parenthesize(right);
      break;
    case OpEqual:
      op = form.NewBox(walk.InFunction > 0 ? " := " : "  =  ", form.BaseFontSize, 0);
      break;
    default:  // OpMultiply
      op = form.NewBox(std::string(" ") + kCodeMiddleDot + " ", form.BaseFontSize, 0);
      op->Role = kRoleBreakOperator;
      op->Width += form.Px(1);
      if (NeedsParentheses(left)) {
        form.Parenthesize(left);
        w = form.GetWidth(left);
      }
      if (NeedsParentheses(right)) form.Parenthesize(right);
      break;
  }
  SetLeft(op, w + form.Px(1));
  op->Marker = kind;
  form.AlignMidLines(left, op);
  AppendList(left, op);
  StartAt(right, op->Width + w + form.Px(1));
  form.AlignMidLines(op, right);
  TFormatBox* head = NewHead(form, UnionRect(left->Rect, right->Rect));
  head->Next = left;
  op->Next = right;
  return head;
}

TFormatBox* Fraction(TFormattedForm& form, TFormatBox* num, TFormatBox* den) {
  const int32_t wn = form.GetWidth(num);
  const int32_t wd = form.GetWidth(den);
  const bool singleDigits = num->Next == nullptr && den->Next == nullptr && IsDigitText(num->Text) &&
                            IsDigitText(den->Text);
  if (form.IntegralSlashForm || singleDigits) {
    TFormatBox* slash = form.NewBox(" / ", form.BaseFontSize, 0);
    slash->Marker = kMarkerInlineSlash;
    slash->Width += form.Px(2);
    SetLeft(slash, num->Rect.Left + wn + form.Px(1));
    form.AlignMidLines(num, slash);
    StartAt(den, slash->Rect.Right);
    form.AlignMidLines(slash, den);
    slash->Next = den;
    AppendList(num, slash);
    form.GroupBoxes(num);
    return num;
  }
  const int32_t w = std::max(wn, wd) + form.Px(4);
  ClearBreakRoles(num);
  ClearBreakRoles(den);
  TFormatBox* bar = form.NewBox("", form.BaseFontSize, 0);
  bar->Role = kRoleFractionBar;
  bar->Marker = kMarkerFractionBar;
  bar->Width = w;
  bar->Height = form.Py(1);
  bar->Rect.Left = num->Rect.Left;
  bar->Rect.Right = bar->Rect.Left + w;
  bar->Rect.Top = num->Rect.Bottom - form.LineHeight;
  bar->Rect.Bottom = bar->Rect.Top + form.Py(1);
  // The numerator ends 6 px below the bar box's top edge (2 px above the
  // drawn line), the denominator starts LineHeight - 5 px below it.
  int32_t numBottom = num->Rect.Bottom;
  for (const TFormatBox* b = num; b != nullptr; b = b->Next) numBottom = std::max(numBottom, b->Rect.Bottom);
  form.ShiftV(num, bar->Rect.Bottom + form.Py(6) - numBottom);
  ShiftH(num, (w - wn) / 2);
  form.ShiftV(den, bar->Rect.Top - den->Rect.Top + form.LineHeight - form.Py(5));
  StartAt(den, bar->Rect.Left + (w - wd) / 2);
  TFormatBox* head = NewHead(form, UnionRect(UnionRect(bar->Rect, num->Rect), den->Rect));
  head->Role = kRoleFractionHead;
  head->Next = num;
  AppendList(num, bar);
  bar->Next = den;
  return head;
}

namespace {

// The rest of a walk that ended early (the GOTOs of the rewriting, an
// unreadable sub-code): nothing is shown.
struct TWalkEnd {};

// A relation of an IF or UNTIL condition: the compiler keeps the negated
// comparison (the statement jumps when it fails), so each code shows the
// comparison it negates.
const char* RelationText(int32_t code) {
  static const char* const kTexts[] = {" >= ", " <= ", " > ", " < ", " <> ", " = ", " or ", " and "};
  return code >= 1 && code <= 8 ? kTexts[code - 1] : nullptr;
}

TFormatBox* TakeStringText(TTypesetWalk& walk) {
  const TEquationRecord& eq = walk.Equation;
  std::string text;
  if (walk.StringPosition < eq.StringOperands.size()) text = StringConstText(eq.StringOperands[walk.StringPosition]);
  walk.StringPosition += 1;
  return walk.Form.NewBox("'" + text + "'", walk.Form.BaseFontSize, 0);
}

// "X[3]" shows its index as a subscript while subscripts are displayed.
void ArrayIndexAsSubscript(std::string& name) {
  if (Preferences.ShowSubscripts == 0 || name.empty() || name.back() != ']') return;
  const size_t open = name.find('[');
  if (open == std::string::npos) return;
  name[open] = '_';
  name.pop_back();
}

// The first "_" that starts a subscript (not the bar accent's "\_").
size_t SubscriptStart(const std::string& name) {
  for (size_t p = name.find('_'); p != std::string::npos; p = name.find('_', p + 1)) {
    if (p == 0 || name[p - 1] != '\\') return p;
  }
  return std::string::npos;
}

TFormatBox* VariableBox(TTypesetWalk& walk, const TVariableRecord& v) {
  TFormattedForm& form = walk.Form;
  std::string name = v.Name;
  const TEquationRecord& eq = walk.Equation;
  if (CurrentProgramUnit != nullptr && CurrentProgramUnit->UnitComplexMode != 0 && eq.LeftIsRealPart == 0 &&
      eq.LeftIsImaginaryPart == 0 && name.size() >= 2) {
    name.resize(name.size() - 2);  // the part suffix of a complex variable
  }
  ArrayIndexAsSubscript(name);
  bool greek = false;
  DisplayVarName(name, 255, greek);
  bool greekSub = false;
  bool greekSub2 = false;
  const size_t p = SubscriptStart(name);
  if (Preferences.ShowSubscripts != 0 && p != std::string::npos && p + 1 < name.size()) {
    const std::string after = name.substr(p + 1);
    const size_t n = after.find('_');
    std::string first;
    if (n != std::string::npos) {
      std::string second = after.substr(n + 1);
      DisplayVarName(second, 255, greekSub2);
      first = after.substr(0, n) + "_" + second;
    } else {
      first = after;
    }
    DisplayVarName(first, 255, greekSub);
    name = name.substr(0, p) + "_" + first;
  }
  TFormatBox* box = form.NewBox(name, form.BaseFontSize, greek ? 5 : 0);
  box->GreekSubscript = greekSub ? 1 : 0;
  box->GreekSubscript2 = greekSub2 ? 1 : 0;
  return box;
}

TFormatBox* LocalBox(TTypesetWalk& walk, int32_t index) {
  std::string name;
  if (index < 0) {
    const TVariableRecord* v = MainProgramUnit != nullptr ? MainProgramUnit->Variable(-index) : nullptr;
    if (v == nullptr) return nullptr;
    name = v->Name;
  } else {
    const TRoutineRecord* r = RoutineAt(walk.InFunction);
    const TLocalVariableRecord* local = r != nullptr ? LocalByNumber(*r, index) : nullptr;
    if (local == nullptr) return nullptr;
    name = local->Name;
  }
  ArrayIndexAsSubscript(name);
  bool greek = false;
  DisplayVarName(name, 255, greek);
  return walk.Form.NewBox(name, walk.Form.BaseFontSize, greek ? 5 : 0);
}

TFormatBox* BuiltinConstant(TTypesetWalk& walk, int32_t index) {
  if (index < 0 || static_cast<size_t>(index) >= ConstantsList.size()) return nullptr;
  const TConstantRecord& c = ConstantsList[static_cast<size_t>(index)];
  TFormattedForm& form = walk.Form;
  const bool si = DocumentSettings.UnitSystem == 0;
  std::string units = si ? c.SIUnits : c.EnglishUnits;
  MarkSuperscripts(units, kMaxBoxText);
  TFormatBox* value = form.NewBox(si ? c.SIValueText : c.EnglishValueText, form.BaseFontSize, 0);
  TFormatBox* unitBox = form.NewBox(units, form.BaseFontSize, 2);
  return LayoutCall2(form, "", value, unitBox, false);
}

}  // namespace

// --- Calls -------------------------------------------------------------------------------------

TFormatBox* LayoutCall1(TFormattedForm& form, const std::string& name, TFormatBox* arg) {
  const bool gamma = name == "GAMMA";
  TFormatBox* box = form.NewBox(gamma ? "G" : name, form.BaseFontSize, gamma ? 5 : 1);
  box->IsFunctionName = 1;
  box->Width += form.Px(2);
  form.AlignMidLines(arg, box);
  SetLeft(box, arg->Rect.Left);
  form.Parenthesize(arg);
  StartAt(arg, box->Rect.Right);
  box->Next = arg;
  form.GroupBoxes(box);
  return box;
}

TFormatBox* LayoutCall2(TFormattedForm& form, const std::string& name, TFormatBox* a, TFormatBox* b, bool withSep) {
  TFormatBox* sep = form.NewBox(withSep ? std::string(1, ArgumentSeparator) + " " : std::string(" "),
                                form.BaseFontSize, 0);
  SetLeft(sep, RightEdge(form, a));
  form.AlignMidLines(a, sep);
  StartAt(b, sep->Rect.Right);
  form.AlignMidLines(sep, b);
  sep->Next = b;
  AppendList(a, sep);
  form.GroupBoxes(a);
  form.Parenthesize(a);
  TFormatBox* box = form.NewBox(name, form.BaseFontSize, 1);
  box->Width += form.Px(2);
  form.AlignMidLines(a, box);
  SetLeft(box, a->Rect.Left);
  StartAt(a, box->Rect.Right);
  box->Next = a;
  form.GroupBoxes(box);
  return box;
}

TFormatBox* LayoutRadical(TFormattedForm& form, TFormatBox* arg) {
  ClearBreakRoles(arg);
  TFormatBox* radical = form.NewBox("", form.BaseFontSize, 0);
  radical->Role = kRoleRadical;
  radical->Rect = arg->Rect;
  radical->Rect.Top -= form.Py(2);
  radical->Rect.Bottom += form.Py(1);
  const int32_t h = radical->Rect.Bottom - radical->Rect.Top;
  const int32_t hook = h / 2 + form.Px(2);
  radical->Width = hook + form.GetWidth(arg);
  radical->Height = h;
  ShiftH(arg, hook);
  radical->Rect.Right = std::max(radical->Rect.Right + hook, radical->Rect.Left + radical->Width);
  radical->Next = arg;
  return radical;
}

TFormatBox* LayoutAbsolute(TFormattedForm& form, TFormatBox* arg) {
  ClearBreakRoles(arg);
  form.AddRightBar(arg);
  form.AddLeftBar(arg);
  form.GroupBoxes(arg);
  return arg;
}

namespace {

// The built-in functions of one argument shown by name.
const char* PlainFunctionName(int32_t code) {
  switch (code) {
    case 225: return "exp";
    case 226: return "log";
    case 227: return "ln";
    case 228: return "sin";
    case 229: return "cos";
    case 230: return "tan";
    case 235: return "arcsin";
    case 236: return "arccos";
    case 237: return "arctan";
    case 238: return "sinh";
    case 239: return "cosh";
    case 240: return "tanh";
    default: return nullptr;
  }
}

constexpr int32_t kSquareRootCode = 231;
constexpr int32_t kAbsoluteValueCode = 232;
constexpr int32_t kIfFunctionCode = 204;

class Walker {
 public:
  Walker(TTypesetWalk& walk) : walk_(walk), form_(walk.Form), eq_(walk.Equation) {}

  // The items up to the end code, with the constants they use counted: the
  // second code part of a CALL reads its pools after them.
  void SkipFirstCallPart() {
    while (walk_.CodePosition < eq_.Code.size()) {
      const int32_t c = eq_.Code[walk_.CodePosition++];
      if (c == CodeOutputList) break;
      if (c == CodeConstant) walk_.ConstantPosition += 1;
      if (c == CodeStringConstant) walk_.StringPosition += 1;
      if (OperandHasIndex(c)) walk_.CodePosition += 1;
    }
  }

  // Runs the loop; false when the walk ended without a layout.
  bool Run() {
    while (walk_.CodePosition < eq_.Code.size() && CalcErrorCode <= 0 && !walk_.Finished) {
      const int32_t c = eq_.Code[walk_.CodePosition++];
      if (c <= 0) {
        if (!Operand(c)) return false;
      } else {
        if (!Operator(c)) return false;
      }
    }
    return true;
  }

 private:
  int32_t NextItem() { return ItemAt(eq_, walk_.CodePosition++); }

  bool Underflow(size_t n, int32_t error) {
    if (walk_.Has(n)) return false;
    if (CalcErrorCode <= 0) CalcErrorCode = error;
    return true;
  }

  bool Malformed() {
    if (CalcErrorCode <= 0) CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
    return false;
  }

  bool Operand(int32_t c) {
    switch (c) {
      case CodeConstant: {
        Extended x = 0;
        if (walk_.ConstantPosition < eq_.Constants.size()) x = eq_.Constants[walk_.ConstantPosition];
        walk_.ConstantPosition += 1;
        return walk_.Push(FormatConstant(form_, x));
      }
      case CodeVariable: {
        const TVariableRecord* v = CurrentProgramUnit != nullptr ? CurrentProgramUnit->Variable(NextItem()) : nullptr;
        if (v == nullptr) return Malformed();
        return walk_.Push(VariableBox(walk_, *v));
      }
      case CodeComplexVariable: {
        const int32_t index = NextItem();
        if (eq_.LeftIsImaginaryPart == 0) return true;
        const TVariableRecord* v = CurrentProgramUnit != nullptr ? CurrentProgramUnit->Variable(index) : nullptr;
        if (v == nullptr) return Malformed();
        return walk_.Push(VariableBox(walk_, *v));
      }
      case CodeLocalVariable: {
        TFormatBox* box = LocalBox(walk_, NextItem());
        if (box == nullptr) return Malformed();
        return walk_.Push(box);
      }
      case CodeGotoLabel: {
        const int32_t n = NextItem();
        if (n > kLastUserLabel) {
          if (n > kFirstRepeatLabel) {
            PendingUntilLabel = n;
          } else {
            PendingElseLabel = n;
          }
          throw TWalkEnd{};
        }
        TFormatBox* go = form_.NewBox("GoTo", form_.BaseFontSize, 0);
        TFormatBox* label = form_.NewBox(std::to_string(n), form_.BaseFontSize, 4);
        SetLeft(label, go->Rect.Right + form_.Px(6));
        go->Next = label;
        form_.GroupBoxes(go);
        return walk_.Push(go);
      }
      case CodeStringConstant:
        return walk_.Push(TakeStringText(walk_));
      case CodeTableRun:
        return walk_.Push(form_.NewBox("TableRun#", form_.BaseFontSize, 0));
      case CodeBuiltinConstant: {
        TFormatBox* box = BuiltinConstant(walk_, NextItem());
        if (box == nullptr) return Malformed();
        return walk_.Push(box);
      }
      case CodeTableName:
        return walk_.Push(form_.NewBox("TableName$", form_.BaseFontSize, 0));
      case CodeImaginaryUnit:
        return walk_.Push(form_.NewBox(std::string(1, ComplexLetter), form_.BaseFontSize, 0));
      case CodeDegreeSuffix:
      case CodeRadianSuffix: {
        if (walk_.Stack.empty()) return true;
        TFormatBox* first = walk_.Entry(0);
        const std::string suffix = c == CodeDegreeSuffix ? std::string(1, static_cast<char>(176)) : "rad";
        form_.TextSizeStyle(first->FontSize, first->FontStyle);
        const int32_t grow = form_.StringWidth(suffix);
        first->Text = (first->Text + suffix).substr(0, kMaxBoxText);
        first->Width += grow;
        first->Rect.Right += grow;
        return true;
      }
      case CodeOutputListEnd:
        // A call of a subprogram or module, laid out by its builder.
        if (functionCodeLayout != nullptr) functionCodeLayout(walk_, c);
        return true;
      default:
        return true;  // passed over
    }
  }

  bool Operator(int32_t c) {
    switch (c) {
      case OpSeparator:
        return true;  // an argument separator in the code itself
      case OpAdd:
      case OpSubtract:
      case OpMultiply:
      case OpEqual: {
        if (Underflow(2, kMsgSyntaxError)) return false;
        if (c == OpEqual && eq_.BranchPair != nullptr) return IfStatement();
        TFormatBox* right = walk_.Pop();
        TFormatBox* left = walk_.Pop();
        return walk_.Push(BinaryOperator(walk_, left, right, c));
      }
      case OpDivide:
        return Division();
      case OpNegate:
        return Negation();
      case OpPower:
        return Power();
      case OpCompare:
        return Relation();
      case kIfFunctionCode:
        return IfFunction();
      default:
        break;
    }
    if (functionCodeLayout != nullptr && functionCodeLayout(walk_, c)) return true;
    if (const char* name = PlainFunctionName(c)) {
      if (Underflow(1, kMsgSyntaxError)) return false;
      return walk_.Push(LayoutCall1(form_, name, walk_.Pop()));
    }
    if (c == kSquareRootCode) {
      if (Underflow(1, kMsgSyntaxError)) return false;
      return walk_.Push(LayoutRadical(form_, walk_.Pop()));
    }
    if (c == kAbsoluteValueCode) {
      if (Underflow(1, kMsgSyntaxError)) return false;
      return walk_.Push(LayoutAbsolute(form_, walk_.Pop()));
    }
    return true;  // passed over
  }

  // Consecutive divisions a/b/c are one fraction with the product of the
  // divisors below the bar.
  bool Division() {
    if (Underflow(2, kMsgSyntaxError)) return false;
    const int32_t variableCode = walk_.InFunction > 0 ? CodeLocalVariable : CodeVariable;
    for (;;) {
      const size_t i = walk_.CodePosition;  // the item after this division
      if (i + 2 < eq_.Code.size() && eq_.Code[i] == variableCode && eq_.Code[i + 2] == OpDivide) {
        walk_.CodePosition += 1;
        if (!Operand(variableCode)) return false;
      } else if (i + 1 < eq_.Code.size() && eq_.Code[i] == CodeConstant && eq_.Code[i + 1] == OpDivide) {
        walk_.CodePosition += 1;
        if (!Operand(CodeConstant)) return false;
      } else {
        break;
      }
      TFormatBox* right = walk_.Pop();
      TFormatBox* left = walk_.Pop();
      if (!walk_.Push(BinaryOperator(walk_, left, right, OpMultiply))) return false;
      walk_.CodePosition += 1;  // over the second division
    }
    TFormatBox* den = walk_.Pop();
    TFormatBox* num = walk_.Pop();
    return walk_.Push(Fraction(form_, num, den));
  }

  bool Negation() {
    if (Underflow(1, kMsgSyntaxError)) return false;
    TFormatBox* operand = walk_.Pop();
    int32_t depth = 0;
    bool sum = false;
    for (const TFormatBox* b = operand; b != nullptr; b = b->Next) {
      if (b->Role == kRoleLeftParenthesis) ++depth;
      if (b->Role == kRoleRightParenthesis) --depth;
      if (depth == 0 && (b->Marker == OpAdd || b->Marker == OpSubtract)) sum = true;
    }
    if (sum) form_.Parenthesize(operand);
    TFormatBox* dash = form_.NewBox(std::string(1, kCodeEnDash), form_.BaseFontSize, 0);
    form_.AlignMidLines(operand, dash);
    dash->Width += form_.Px(2);
    SetLeft(dash, operand->Rect.Left);
    ShiftH(operand, dash->Width);
    dash->Next = operand;
    form_.GroupBoxes(dash);
    return walk_.Push(dash);
  }

  bool Power() {
    if (Underflow(2, kMsgSyntaxError)) return false;
    TFormatBox* exponent = walk_.Pop();
    TFormatBox* base = walk_.Pop();
    ClearBreakRoles(exponent);
    ShrinkForExponent(exponent);
    if (HasMarker(exponent)) {
      form_.Parenthesize(exponent);
      ShiftH(exponent, -form_.Px(1));
    }
    exponent->Marker = kMarkerExponentFirst;
    LastBox(exponent)->Marker = kMarkerExponentLast;
    TFormatBox* name = nullptr;
    if (IsFunctionCallList(base, name)) {
      // sin²(x): the exponent stands right after the function's name.
      StartAt(exponent, name->Rect.Right);
      form_.ShiftV(exponent, name->Rect.Top + form_.Py(3) - form_.MidLine(exponent));
      TFormatBox* arguments = name->Next;
      ShiftH(arguments, form_.GetWidth(exponent));
      name->Next = exponent;
      AppendList(exponent, arguments);
    } else {
      if (HasMarker(base)) form_.Parenthesize(base);
      StartAt(exponent, base->Rect.Right);
      form_.ShiftV(exponent, base->Rect.Top + form_.Py(3) - form_.MidLine(exponent));
      const int32_t baseMid = form_.MidLine(base);
      if (exponent->Rect.Bottom > baseMid + form_.Py(3)) form_.ShiftV(exponent, baseMid - exponent->Rect.Bottom);
      AppendList(base, exponent);
    }
    TFormatBox* head = NewHead(form_, UnionRect(base->Rect, exponent->Rect));
    head->Next = base;
    return walk_.Push(head);
  }

  bool Relation() {
    if (Underflow(3, kMsgIfOperator)) return false;
    TFormatBox* right = walk_.Pop();
    TFormatBox* left = walk_.Pop();
    TFormatBox* codeEntry = walk_.Pop();
    int32_t code = 0;
    bool ok = false;
    StrToLongSafe(codeEntry->Text, code, ok);
    DisposeFormatEqn(codeEntry);
    if (!ok) {
      DisposeFormatEqn(left);
      DisposeFormatEqn(right);
      throw TWalkEnd{};
    }
    const char* text = RelationText(code);
    if (text == nullptr) {
      DisposeFormatEqn(left);
      DisposeFormatEqn(right);
      if (CalcErrorCode <= 0) CalcErrorCode = kMsgIfOperator;
      return false;
    }
    TFormatBox* relation = form_.NewBox(text, form_.BaseFontSize, 0);
    SetLeft(relation, RightEdge(form_, left));
    form_.AlignMidLines(left, relation);
    StartAt(right, relation->Rect.Right);
    form_.AlignMidLines(relation, right);
    relation->Next = right;
    AppendList(left, relation);
    form_.GroupBoxes(left);
    form_.Parenthesize(left);
    return walk_.Push(left);
  }

  // "If (condition) Then" or "Until (condition)": the statement the
  // rewriting made of an IF head or an UNTIL.
  bool IfStatement() {
    TFormatBox* right = walk_.Pop();
    DisposeFormatEqn(right);
    TFormatBox* condition = walk_.Pop();
    int32_t target = 0;
    if (const TEquationRecord* then = eq_.BranchPair->Then) {
      target = then->Code.size() >= 2 && then->Code[0] == CodeGotoLabel ? then->Code[1] : then->Label;
    }
    const bool until = target > kFirstRepeatLabel;
    if (until && IfDepth > 0) IfDepth -= 1;
    TFormatBox* keyword = form_.NewBox(until ? "Until " : "If  ", form_.BaseFontSize, 0);
    StartAt(condition, keyword->Rect.Right);
    form_.AlignMidLines(keyword, condition);
    keyword->Next = condition;
    if (!until) {
      IfDepth += 1;
      TFormatBox* then = form_.NewBox("  Then", form_.BaseFontSize, 0);
      SetLeft(then, LastBox(condition)->Rect.Right);
      form_.AlignMidLines(condition, then);
      AppendList(condition, then);
    }
    form_.GroupBoxes(keyword);
    if (!until) keyword->Indented = 1;
    return walk_.Push(keyword);
  }

  // IF(a, b, c, d, e): the five arguments in parentheses after a bold "If".
  bool IfFunction() {
    if (Underflow(5, kMsgSyntaxError)) return false;
    std::vector<TFormatBox*> arguments(5);
    for (size_t k = 5; k-- > 0;) arguments[k] = walk_.Pop();
    TFormatBox* joined = arguments[0];
    for (size_t k = 1; k < 5; ++k) joined = BinaryOperator(walk_, joined, arguments[k], OpSeparator);
    form_.Parenthesize(joined);
    TFormatBox* name = form_.NewBox("If ", form_.BaseFontSize, 1);
    form_.AlignMidLines(joined, name);
    StartAt(joined, name->Rect.Right);
    name->Next = joined;
    form_.GroupBoxes(name);
    return walk_.Push(name);
  }

  TTypesetWalk& walk_;
  TFormattedForm& form_;
  const TEquationRecord& eq_;
};

// "EndIf", "Else" and "Repeat" lines stand alone with their own indentation.
TFormatBox* KeywordLine(TFormattedForm& form, const char* text, int32_t indent) {
  TFormatBox* box = form.NewBox(text, form.BaseFontSize, 0);
  box->Indent = indent;
  box->Indented = 1;
  return box;
}

// The loop ranges after a DUPLICATE copy: eight blanks, then
// "for i = 1  to  10" for each loop whose index the line uses.
void AppendDuplicateTail(TFormattedForm& form, TFormatBox*& list, const TDuplicateDescriptionLoop* loops) {
  form.GroupBoxes(list);
  int32_t x = RightEdge(form, list);
  auto place = [&](const std::string& text, bool breakOperator, bool textWidth) {
    TFormatBox* box = form.NewBox(text, form.BaseFontSize, 0);
    if (textWidth) box->Width = form.StringWidth(box->Text);
    box->BreakOperator = breakOperator ? 1 : 0;
    SetLeft(box, x);
    form.AlignMidLines(list, box);
    x = box->Rect.Right;
    list->Rect = UnionRect(list->Rect, box->Rect);
    AppendList(list, box);
    return box;
  };
  place("        ", false, false);
  bool first = true;
  for (const TDuplicateDescriptionLoop* l = loops; l != nullptr; l = l->Next) {
    if (l->Substituted == 0) continue;
    TFormatBox* lead = place(first ? "for " : std::string(1, ArgumentSeparator), true, false);
    lead->Role = kRoleBreakOperator;
    first = false;
    place(" " + l->IndexName, false, false);
    place(" = ", true, false);
    place(l->FirstText + "  to  ", true, true);
    place(l->LastText, true, true);
  }
}

}  // namespace

TFormatBox* doFormatEqn(TFormattedForm& form, const TEquationRecord* eq, int32_t y, int32_t inFunction) {
  if (eq == nullptr) return nullptr;
  const TDuplicateDescription* duplicate = nullptr;
  if (eq->DuplicateRepeat != 0) {
    // A copy of a DUPLICATE loop shows the line as written, once.
    duplicate = eq->DuplicateDescription;
    if (duplicate == nullptr || duplicate->Equation == nullptr) return nullptr;
    eq = duplicate->Equation;
  }
  form.LineTop = y;
  form.IntegralSlashForm = false;
  CurrentEquation = const_cast<TEquationRecord*>(eq);

  TTypesetWalk walk(form, *eq);
  walk.InFunction = inFunction;
  walk.Substance = eq->SubstanceChain;
  walk.Series = eq->SeriesChain;
  walk.CallList = eq->CallLists;
  walk.BuiltinCallList = eq->BuiltinCallLists;
  Walker walker(walk);
  try {
    if (eq->CalledUnit < 0) walker.SkipFirstCallPart();

    const int32_t n = eq->Label;
    if (n == kHiddenLabel) return nullptr;
    if (n > 0 && n <= kLastUserLabel) {
      walk.Push(form.NewBox(std::to_string(n) + ":", form.BaseFontSize, 4));
    } else if (n > kLastUserLabel && n < kFirstRepeatLabel) {
      // A label of the block IF. Block k has the odd label 30001 + 2k where
      // its ELSE part starts, or where it ends when it has none, and the
      // even label after it where a block with ELSE ends. An ELSE part is
      // entered only past the THEN part's jump to that even label, the
      // GOTO just before; every other label of a block ends it.
      if (n == PendingElseLabel) PendingElseLabel = 0;
      const bool elseStart = n % 2 == 1 && PendingElseLabel == n + 1;
      if (elseStart) return KeywordLine(form, "Else", form.IndentStep * IfDepth - form.IndentStep / 2);
      if (IfDepth > 0) {
        IfDepth -= 1;
        return KeywordLine(form, "EndIf", form.IndentStep * IfDepth);
      }
    } else if (n >= kFirstRepeatLabel) {
      TFormatBox* line = KeywordLine(form, "Repeat", form.IndentStep * IfDepth);
      IfDepth += 1;
      return line;
    }

    if (!walker.Run()) return nullptr;
  } catch (const TWalkEnd&) {
    return nullptr;
  } catch (const std::bad_alloc&) {
    CalcErrorCode = kMsgOutOfMemory;
    return nullptr;
  }

  if (walk.Stack.empty()) return nullptr;
  if (walk.Stack.size() > 1 && CalcErrorCode <= 0) CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
  if (CalcErrorCode > 0) return nullptr;
  TFormatBox* result = walk.Pop();
  try {
    if (duplicate != nullptr) AppendDuplicateTail(form, result, duplicate->Loops);
  } catch (const std::bad_alloc&) {
    DisposeFormatEqn(result);
    CalcErrorCode = kMsgOutOfMemory;
    return nullptr;
  }
  if (inFunction > 0) {
    result->Indent = form.IndentStep * (result->Indented != 0 ? IfDepth - 1 : IfDepth);
  }
  return result;
}

void ResetFormattedEquationState() {
  PixelScaleX = 1;
  PixelScaleY = 1;
  LineStep = 13;
  IfDepth = 0;
  PendingElseLabel = 0;
  PendingUntilLabel = 0;
}

}  // namespace voq

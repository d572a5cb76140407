#include "output/function_layouts.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/number_text.h"
#include "core/string_constants.h"
#include "language/function_catalog.h"
#include "model/compiled_code.h"
#include "model/document_settings.h"
#include "model/equation_parts.h"
#include "model/integral_records.h"
#include "model/program_units.h"
#include "model/routines.h"
#include "model/store_state.h"
#include "model/substance_base.h"
#include "output/display_names.h"
#include "properties/fluid_catalog.h"

namespace voq {

namespace {

constexpr int32_t kMaxOutputNames = 1000;
constexpr int32_t kFirstTermNumber = 88881;
constexpr int32_t kLastTermNumber = 88889;
constexpr int32_t kUnitStringBase = 20000;

std::string Sep() { return std::string(1, ArgumentSeparator) + " "; }

// --- The stack ---------------------------------------------------------------------------

TFormatBox* Take(TTypesetWalk& walk, size_t k) {
  TFormatBox* list = walk.Entry(k);
  walk.Stack.erase(walk.Stack.end() - 1 - static_cast<std::ptrdiff_t>(k));
  return list;
}

void Free(TTypesetWalk& walk, size_t k) {
  TFormatBox* list = Take(walk, k);
  DisposeFormatEqn(list);
}

// The walk ends and the statement shows nothing (an output statement of a
// call before its last, an unreadable sub-code).
void EndWithNothing(TTypesetWalk& walk) {
  for (TFormatBox*& list : walk.Stack) DisposeFormatEqn(list);
  walk.Stack.clear();
  walk.Finished = true;
}

bool Missing(TTypesetWalk& walk, size_t n) {
  if (walk.Has(n)) return false;
  if (CalcErrorCode <= 0) CalcErrorCode = kMsgSyntaxError;
  return true;
}

int32_t EntryNumber(TTypesetWalk& walk, size_t k, bool& ok) {
  int32_t n = 0;
  StrToLongSafe(walk.Entry(k)->Text, n, ok);
  return n;
}

// Reads and frees the sub-code entry k places below the top; false (and
// the walk ended) when it holds no integer.
bool ReadSubCode(TTypesetWalk& walk, size_t k, int32_t& sub) {
  if (Missing(walk, k + 1)) return false;
  bool ok = false;
  sub = EntryNumber(walk, k, ok);
  Free(walk, k);
  if (!ok) EndWithNothing(walk);
  return ok;
}

bool UnknownMember() {
  if (CalcErrorCode <= 0) CalcErrorCode = kMsgSyntaxOrUndefinedFunction;
  return true;
}

// A quoted operand ("'Steam'") without its quotes.
std::string Unquoted(const std::string& text) {
  if (text.size() >= 2 && text.front() == '\'' && text.back() == '\'') return text.substr(1, text.size() - 2);
  return text;
}

TFormatBox* NameBox(TFormattedForm& form, const std::string& name) {
  bool greek = false;
  std::string shown = name;
  DisplayVarName(shown, 255, greek);
  return form.NewBox(shown, form.BaseFontSize, greek ? 5 : 0);
}

// The bold name, with Width + extra, in front of the parenthesised list.
TFormatBox* NameInFront(TFormattedForm& form, TFormatBox* name, TFormatBox* list) {
  form.AlignMidLines(list, name);
  SetLeft(name, list->Rect.Left);
  StartAt(list, name->Rect.Right);
  name->Next = list;
  form.GroupBoxes(name);
  return name;
}

// a, b, c joined by separators, in parentheses after the bold name.
TFormatBox* LayoutCall3(TFormattedForm& form, const std::string& name, TFormatBox* a, TFormatBox* b,
                        TFormatBox* c) {
  TFormatBox* list = a;
  for (TFormatBox* next : {b, c}) {
    TFormatBox* sep = form.NewBox(Sep(), form.BaseFontSize, 0);
    SetLeft(sep, RightEdge(form, list));
    form.AlignMidLines(list, sep);
    StartAt(next, sep->Rect.Right);
    form.AlignMidLines(sep, next);
    sep->Next = next;
    AppendList(list, sep);
  }
  form.GroupBoxes(list);
  form.Parenthesize(list);
  TFormatBox* box = form.NewBox(name, form.BaseFontSize, 1);
  box->Width += form.Px(2);
  return NameInFront(form, box, list);
}

// --- Display names of the families ------------------------------------------------------

const char* Member(int32_t sub, std::initializer_list<const char*> names) {
  if (sub < 1 || static_cast<size_t>(sub) > names.size()) return nullptr;
  return names.begin()[sub - 1];
}

}  // namespace

std::string FamilyMemberName(int32_t code, int32_t sub) {
  const char* name = nullptr;
  switch (code) {
    // The compiler numbers the Bessel functions by name: I, J, K, Y.
    case 200: name = Member(sub, {"I_0", "I_1", "J_0", "J_1", "K_0", "K_1", "Y_0", "Y_1"}); break;
    case 202: name = Member(sub, {"real", "imag", "magnitude", "angle", "angleDeg", "angleRad", "conj", "cis"}); break;
    // The compiler's sub-codes of the other property functions: specific
    // heat, viscosity, conductivity, Prandtl number, speed of sound,
    // surface tension, volumetric expansion (beta), cp, cv, fugacity.
    case 216:
      name = Member(sub, {"Cp", "Visc", "k", "Pr", "SoundSpeed", "SurfaceTension", "b", "Cp", "Cv", "Fugacity"});
      break;
    case 217: name = Member(sub, {"MolarMass", "T_Crit", "P_Crit", "v_Crit", "isIdealGas", "AcentricFactor"}); break;
    case 233: name = Member(sub, {"Min", "Max", "Average", "Sum"}); break;
    case 247:
      name = Member(sub, {"Round", "Trunc", "arccosh", "arcsinh", "arctanh", "StringVal", "String$", "Erf", "Erfc",
                          "Step", "lowercase$", "UPPERCASE$", "StringLen", "NLookupRows", "GAMMA"});
      break;
    case 249: name = Member(sub, {"CONCAT$", "STRINGPOS", "INTEGRALVALUE", "RANDOM", "MOD", "UncertaintyOf"}); break;
    case 250: name = Member(sub, {"COPY$", "ConvertTemp"}); break;
    default: break;
  }
  return name != nullptr ? name : "";
}

void FixArrayDotDot(TFormattedForm& form, TFormatBox* box, int32_t v) {
  if (box == nullptr) return;
  if (v == -1) {
    box->Text.clear();
    box->Width = 0;
    box->Rect.Right = box->Rect.Left;
    return;
  }
  if (v <= 0) return;
  std::string text = StringConstText(v).substr(0, kMaxBoxText);
  box->Text = text;
  const size_t p = text.find('_');
  if (p == std::string::npos) return;
  size_t end = text.find(kCodeLoweredEnd, p + 1);
  if (end == std::string::npos) end = text.size();
  const std::string subscript = text.substr(p + 1, end - p - 1);
  std::string base = text.substr(0, p);
  for (const char* marker : {"\\.", "\\_", "\\^"}) {
    for (size_t m = base.find(marker); m != std::string::npos; m = base.find(marker)) base.erase(m, 2);
  }
  form.TextSizeStyle(box->FontSize, box->FontStyle);
  const int32_t wb = form.StringWidth(base);
  const int32_t ws = form.StringWidth(subscript);
  box->Width = wb + static_cast<int32_t>(std::lround(0.8 * ws));
  box->Rect.Right = box->Rect.Left + box->Width;
}

namespace {

// --- Built-in calls -------------------------------------------------------------------------

// Codes whose sub-code entry stands k places below the top and whose one
// argument is on top.
bool FamilyCall1(TTypesetWalk& walk, int32_t code) {
  if (Missing(walk, 2)) return true;
  int32_t sub = 0;
  if (!ReadSubCode(walk, 1, sub)) return true;
  const std::string name = FamilyMemberName(code, sub);
  if (name.empty()) return UnknownMember();
  TFormatBox* arg = walk.Pop();
  walk.Push(LayoutCall1(walk.Form, name, arg));
  return true;
}

// magnitude <angle sign> angle.
bool PolarForm(TTypesetWalk& walk) {
  if (Missing(walk, 3)) return true;
  int32_t sub = 0;
  if (!ReadSubCode(walk, 2, sub)) return true;
  if (sub != 1) return UnknownMember();
  TFormattedForm& form = walk.Form;
  TFormatBox* angle = walk.Pop();
  TFormatBox* magnitude = walk.Pop();
  TFormatBox* sign = form.NewBox(std::string(" ") + static_cast<char>(208) + " ", form.BaseFontSize, 5);
  SetLeft(sign, RightEdge(form, magnitude));
  form.AlignMidLines(magnitude, sign);
  StartAt(angle, sign->Rect.Right);
  form.AlignMidLines(sign, angle);
  sign->Next = angle;
  AppendList(magnitude, sign);
  form.GroupBoxes(magnitude);
  walk.Push(magnitude);
  return true;
}

bool UnitSystemCall(TTypesetWalk& walk) {
  if (Missing(walk, 1)) return true;
  bool ok = false;
  const int32_t sub = EntryNumber(walk, 0, ok);
  if (!ok) {
    EndWithNothing(walk);
    return true;
  }
  if (sub < 1 || sub > kUnitSystemKeywordCount) return UnknownMember();
  Free(walk, 0);
  TFormattedForm& form = walk.Form;
  walk.Push(form.NewBox(std::string("UnitSystem('") + UnitSystemKeywordTexts[static_cast<size_t>(sub - 1)] + "')",
                        form.BaseFontSize, 1));
  return true;
}

bool TwoArgumentFamily(TTypesetWalk& walk) {
  if (Missing(walk, 3)) return true;
  int32_t sub = 0;
  if (!ReadSubCode(walk, 2, sub)) return true;
  const std::string name = FamilyMemberName(249, sub);
  if (name.empty()) return UnknownMember();
  TFormattedForm& form = walk.Form;
  if (sub == 6) {  // UncertaintyOf: the second entry is the compiler's own
    Free(walk, 0);
    walk.Push(LayoutCall1(form, name, walk.Pop()));
    return true;
  }
  TFormatBox* b = walk.Pop();
  TFormatBox* a = walk.Pop();
  if (sub == 3 && CurrentProgramUnit != nullptr) {
    // INTEGRALVALUE names its variable by number.
    bool ok = false;
    int32_t index = 0;
    StrToLongSafe(b->Text, index, ok);
    const TVariableRecord* v = ok ? CurrentProgramUnit->Variable(index) : nullptr;
    if (v != nullptr) {
      TFormatBox* named = NameBox(form, v->Name);
      named->Rect = b->Rect;
      named->Width = b->Width;
      DisposeFormatEqn(b);
      b = named;
    }
  }
  walk.Push(LayoutCall2(form, name, a, b, true));
  return true;
}

bool ThreeArgumentFamily(TTypesetWalk& walk) {
  if (Missing(walk, 4)) return true;
  int32_t sub = 0;
  if (!ReadSubCode(walk, 3, sub)) return true;
  const std::string name = FamilyMemberName(250, sub);
  if (name.empty()) return UnknownMember();
  TFormattedForm& form = walk.Form;
  TFormatBox* c = walk.Pop();
  TFormatBox* b = walk.Pop();
  TFormatBox* a = walk.Pop();
  if (sub == 2) {
    // ConvertTemp's unit arguments are string constants by number.
    for (TFormatBox** unit : {&b, &c}) {
      const std::string& t = (*unit)->Text;
      if (t.empty() || t[0] < '0' || t[0] > '9') continue;
      bool ok = false;
      int32_t n = 0;
      StrToLongSafe(t, n, ok);
      if (!ok) continue;
      if (n > kUnitStringBase) n -= kUnitStringBase;
      std::string text = StringConstText(n);
      for (char& ch : text) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
      DisposeFormatEqn(*unit);
      *unit = form.NewBox(text, form.BaseFontSize, 0);
    }
  }
  walk.Push(LayoutCall3(form, name, a, b, c));
  return true;
}

// Min, Max, Average and Sum of a list: the count on top, the sub-code
// below the arguments.
bool ListCall(TTypesetWalk& walk) {
  if (Missing(walk, 1)) return true;
  bool ok = false;
  const int32_t n = EntryNumber(walk, 0, ok);
  if (!ok || n < 1) {
    if (CalcErrorCode <= 0) CalcErrorCode = kMsgSyntaxError;
    return true;
  }
  Free(walk, 0);
  if (Missing(walk, static_cast<size_t>(n) + 1)) return true;
  int32_t sub = 0;
  if (!ReadSubCode(walk, static_cast<size_t>(n), sub)) return true;
  const std::string name = FamilyMemberName(233, sub);
  if (name.empty()) return UnknownMember();
  TFormattedForm& form = walk.Form;
  std::vector<TFormatBox*> args(static_cast<size_t>(n));
  for (size_t k = args.size(); k-- > 0;) args[k] = walk.Pop();
  TFormatBox* list = args[0];
  TFormatBox* last = args[0];
  for (size_t k = 1; k < args.size(); ++k) {
    TFormatBox* sep = form.NewBox(Sep(), form.BaseFontSize, 0);
    SetLeft(sep, RightEdge(form, last));
    form.AlignMidLines(last, sep);
    StartAt(args[k], sep->Rect.Right);
    form.AlignMidLines(sep, args[k]);
    sep->Next = args[k];
    AppendList(list, sep);
    last = args[k];
  }
  form.GroupBoxes(list);
  form.Parenthesize(list);
  TFormatBox* box = form.NewBox(name, form.BaseFontSize, 1);
  box->Width += form.Px(2);
  walk.Push(NameInFront(form, box, list));
  return true;
}

// --- Property calls -------------------------------------------------------------------------

const char* PropertyName(int32_t code) {
  switch (code) {
    case 209: return "T";
    case 210: return "P";
    case 211: return "h";
    case 212: return "u";
    case 213: return "s";
    case 214: return "v";
    case 215: return "x";
    case 219: return "WB";
    case 220: return "DP";
    case 221: return "w";
    case 222: return "RH";
    case 223: return "r";
    default: return nullptr;
  }
}

// The substance as shown: a fixed fluid by its catalogue name, a string
// variable by its own name.
std::string SubstanceText(const TFormatBox* entry, const TSubstanceBase* object) {
  const std::string& text = entry->Text;
  const bool literal = text == "0" || (text.size() >= 2 && text.front() == '\'');
  if (literal && object != nullptr && object->SubstanceCode > 0 &&
      static_cast<size_t>(object->SubstanceCode) < SubstanceCatalog.size() &&
      !SubstanceCatalog[static_cast<size_t>(object->SubstanceCode)].Name.empty()) {
    return SubstanceCatalog[static_cast<size_t>(object->SubstanceCode)].Name;
  }
  return Unquoted(text);
}

bool PropertyCall(TTypesetWalk& walk, int32_t code) {
  TSubstanceBase* object = walk.Substance;
  if (object == nullptr) return UnknownMember();
  const int32_t count = std::clamp(object->ArgCount, 0, 3);
  std::string name;
  if (code == 216) {
    if (Missing(walk, static_cast<size_t>(count) + 2)) return true;
    bool ok = false;
    const int32_t sub = EntryNumber(walk, static_cast<size_t>(count) + 1, ok);
    if (!ok) {
      EndWithNothing(walk);
      return true;
    }
    name = FamilyMemberName(216, sub);
    if (name.empty()) {
      // Not laid out: the top entry takes the sub-code entry's place.
      TFormatBox* top = walk.Pop();
      std::swap(top, walk.Entry(static_cast<size_t>(count)));
      DisposeFormatEqn(top);
      walk.Substance = object->Next;
      return true;
    }
    Free(walk, static_cast<size_t>(count) + 1);
  } else {
    if (Missing(walk, static_cast<size_t>(count) + 1)) return true;
    name = PropertyName(code);
  }
  TFormattedForm& form = walk.Form;
  const bool greek = name == "r" || name == "w" || name == "b";
  TFormatBox* nameBox = form.NewBox(name, form.BaseFontSize, greek ? 5 : 1);
  nameBox->Width += form.Px(2);

  TFormatBox* substanceEntry = walk.Pop();
  TFormatBox* list = form.NewBox(SubstanceText(substanceEntry, object), form.BaseFontSize, 0);
  DisposeFormatEqn(substanceEntry);
  list->Width += form.Px(2);
  SetLeft(list, list->Rect.Left + nameBox->Width + form.Px(2));
  std::vector<TFormatBox*> args(static_cast<size_t>(count));
  for (size_t k = args.size(); k-- > 0;) args[k] = walk.Pop();
  static const char kLetters[] = "TPhusvxCVKBDwR";
  TRect running = list->Rect;
  TFormatBox* previous = list;
  for (size_t i = 0; i < args.size(); ++i) {
    const int32_t kind = object->ArgKind[i + 1];
    const char letter = kind >= 1 && kind <= 14 ? kLetters[kind - 1] : '?';
    TFormatBox* label = form.NewBox(std::string(1, ArgumentSeparator) + " " + letter + "=", form.BaseFontSize, 0);
    SetLeft(label, running.Right);
    form.AlignMidLines(previous, label);
    StartAt(args[i], label->Rect.Right);
    form.AlignMidLines(label, args[i]);
    label->Next = args[i];
    AppendList(list, label);
    running = UnionRect(UnionRect(running, label->Rect), args[i]->Rect);
    running.Right = std::max(running.Right, RightEdge(form, args[i]));
    previous = args[i];
  }
  form.GroupBoxes(list);
  list->Rect = running;
  form.Parenthesize(list);
  walk.Push(NameInFront(form, nameBox, list));
  walk.Substance = object->Next;
  return true;
}

// MolarMass(Water) and the other constants of a substance.
bool SubstanceProperty(TTypesetWalk& walk) {
  if (Missing(walk, 2)) return true;
  TSubstanceBase* object = walk.Substance;
  TFormatBox* substanceEntry = walk.Pop();
  int32_t sub = 0;
  if (!ReadSubCode(walk, 0, sub)) {
    DisposeFormatEqn(substanceEntry);
    return true;
  }
  const std::string name = FamilyMemberName(217, sub);
  TFormattedForm& form = walk.Form;
  TFormatBox* substance = form.NewBox(SubstanceText(substanceEntry, object), form.BaseFontSize, 0);
  DisposeFormatEqn(substanceEntry);
  if (name.empty()) {
    DisposeFormatEqn(substance);
    return UnknownMember();
  }
  TFormatBox* nameBox = form.NewBox(name, form.BaseFontSize, 1);
  nameBox->IsFunctionName = 1;
  nameBox->Width += form.Px(2);
  form.Parenthesize(substance);
  walk.Push(NameInFront(form, nameBox, substance));
  if (object != nullptr) walk.Substance = object->Next;
  return true;
}

// --- Unit conversion ------------------------------------------------------------------------

// CONVERT(from, to): the factor times the unit fraction to over from.
bool Conversion(TTypesetWalk& walk) {
  if (Missing(walk, 3)) return true;
  TFormattedForm& form = walk.Form;
  bool ok1 = false;
  bool ok2 = false;
  const int32_t u1 = EntryNumber(walk, 0, ok1);
  const int32_t u2 = EntryNumber(walk, 1, ok2);
  if (ok1 && ok2 && u1 >= kUnitStringBase && u2 >= kUnitStringBase) {
    Free(walk, 0);
    Free(walk, 0);
    std::string to = StringConstText(u1 - kUnitStringBase);
    MarkSuperscripts(to, kMaxBoxText);
    std::string from = StringConstText(u2 - kUnitStringBase);
    if (from.empty()) from = "1";
    MarkSuperscripts(from, kMaxBoxText);
    TFormatBox* units = form.NewBox(to, form.BaseFontSize, 2);
    if (from != "1") units = Fraction(form, units, form.NewBox(from, form.BaseFontSize, 2));
    TFormatBox* factor = walk.Pop();
    TFormatBox* product = BinaryOperator(walk, factor, units, OpMultiply);
    form.Parenthesize(product);
    walk.Push(product);
    return true;
  }
  // A unit held by a string variable: the call as written, no factor.
  Free(walk, 2);
  for (size_t k = 0; k < 2; ++k) {
    bool ok = false;
    const int32_t u = EntryNumber(walk, k, ok);
    if (!ok || u < kUnitStringBase) continue;
    TFormatBox* quoted = form.NewBox("'" + StringConstText(u - kUnitStringBase) + "'", form.BaseFontSize, 0);
    DisposeFormatEqn(walk.Entry(k));
    walk.Entry(k) = quoted;
  }
  TFormatBox* b = walk.Pop();
  TFormatBox* a = walk.Pop();
  walk.Push(LayoutCall2(form, "Convert", a, b, true));
  return true;
}

// --- Sums and products ----------------------------------------------------------------------

// The summand's text as shown: operators spaced, indices as subscripts.
std::string SummandText(const std::string& term) {
  std::string out;
  bool subscript = false;
  for (char c : term) {
    if (c == ' ') continue;
    if (subscript && c != ']') {
      out += c;
      continue;
    }
    switch (c) {
      case static_cast<char>(192): out += kCodeEnDash; break;  // the compiled unary minus
      case '+': out += " + "; break;
      case '-': out += std::string(" ") + kCodeEnDash + " "; break;
      case '/': out += " / "; break;
      case '*': out += " "; break;
      case '[': out += '_'; subscript = true; break;
      case ']': out += kCodeSubscriptEnd; subscript = false; break;
      case '(': out += "( "; break;
      case ')': out += " )"; break;
      default: out += c; break;
    }
  }
  return out;
}

// The summand as boxes: tokens end at a blank, "/", "=" or "^" outside
// subscripts; a lone blank is a product (a break point); the token after
// "^" is a raised exponent.
TFormatBox* SummandBoxes(TFormattedForm& form, const std::string& text) {
  std::vector<std::string> tokens;
  std::string token;
  bool inSubscript = false;
  auto flush = [&] {
    if (!token.empty()) tokens.push_back(token.substr(0, kMaxBoxText));
    token.clear();
  };
  for (char c : text) {
    if (c == '_') inSubscript = true;
    if (c == kCodeSubscriptEnd) inSubscript = false;
    const bool delimiter = !inSubscript && (c == ' ' || c == '/' || c == '=' || c == '^' || c == '\t');
    if (delimiter) {
      flush();
      tokens.emplace_back(1, c);
    } else {
      token += c;
    }
  }
  flush();
  TFormatBox* list = nullptr;
  int32_t x = 0;
  bool exponent = false;
  for (size_t i = 0; i < tokens.size(); ++i) {
    const std::string& t = tokens[i];
    if (t == "^") {
      exponent = true;
      continue;
    }
    TFormatBox* box = nullptr;
    if (exponent) {
      box = form.NewBox(t, form.BaseFontSize - 3, 0);
      box->Width += form.Px(1);
      box->Marker = kMarkerExponentFirst;
      form.ShiftV(box, -form.LineHeight / 4);
    } else if (t == " ") {
      box = form.NewBox(" ", form.BaseFontSize, 0);
      box->Role = kRoleBreakOperator;
    } else {
      bool greek = false;
      std::string shown = t;
      if (shown.find('_') == std::string::npos) DisplayVarName(shown, 255, greek);
      box = form.NewBox(shown, form.BaseFontSize, greek ? 5 : 0);
    }
    SetLeft(box, x);
    x = box->Rect.Right + form.Px(1);
    if (list == nullptr) {
      list = box;
    } else {
      AppendList(list, box);
    }
    if (exponent) {
      TFormatBox* end = form.NewBox("", form.BaseFontSize, 0);
      end->Width = 0;
      end->Marker = kMarkerExponentLast;
      SetLeft(end, box->Rect.Right);
      end->Rect.Top = box->Rect.Top;
      end->Rect.Bottom = box->Rect.Bottom;
      AppendList(list, end);
      exponent = false;
    }
  }
  if (list == nullptr) list = form.NewBox("", form.BaseFontSize, 0);
  form.GroupBoxes(list);
  return list;
}

bool SeriesCall(TTypesetWalk& walk, int32_t code) {
  const TSumRecord* series = walk.Series;
  if (series == nullptr) return UnknownMember();
  TFormattedForm& form = walk.Form;
  TFormatBox* lower = form.NewBox(series->IndexName + "=" + series->LowerText, form.BaseFontSize - 3, 0);
  TFormatBox* upper = form.NewBox(series->UpperText, form.BaseFontSize - 3, 0);
  TFormatBox* summand = SummandBoxes(form, SummandText(series->TermText));
  form.Parenthesize(summand);
  if (!walk.Stack.empty()) form.AlignMidLines(walk.Entry(0), summand);

  // The sign in the Symbol face at 24 px: S for the sum, P for the product.
  const bool sum = code == SeriesSum;
  TFormatBox* sign = form.NewBox(sum ? "S" : "P", 24, 5);
  sign->Role = sum ? kRoleSumSign : kRoleProductSign;
  if (!sum) sign->Width += form.Px(2);
  sign->Rect.Bottom = sign->Rect.Top + sign->Height;
  form.TextSizeStyle(form.BaseFontSize, 0);
  form.AlignMidLines(summand, sign);
  sign->Width = std::max(sign->Width, lower->Width) + form.Px(3);
  SetLeft(sign, summand->Rect.Left);

  SetLeft(lower, sign->Rect.Left + (sign->Width - lower->Width) / 2 - form.Px(2));
  form.ShiftV(lower, sign->Rect.Bottom + form.Py(8) - lower->Rect.Bottom);
  SetLeft(upper, sign->Rect.Left + (sign->Width - upper->Width) / 2 - form.Px(2));
  form.ShiftV(upper, sign->Rect.Top + form.Py(4) - upper->Rect.Bottom);
  StartAt(summand, sign->Rect.Right + form.Px(4));

  sign->Next = lower;
  lower->Next = upper;
  upper->Next = summand;
  form.GroupBoxes(sign);
  walk.Push(sign);
  walk.Series = series->Next;

  // The expanded code of the series was shown by its text: pass over it,
  // keeping the pools in step, up to the closing pair of end codes.
  const std::vector<int32_t>& code_ = walk.Equation.Code;
  while (walk.CodePosition < code_.size()) {
    const int32_t c = code_[walk.CodePosition++];
    if (c == CodeConstant) walk.ConstantPosition += 1;
    if (c == CodeStringConstant) walk.StringPosition += 1;
    if (OperandHasIndex(c)) walk.CodePosition += 1;
    if (c == SeriesEnd && walk.CodePosition < code_.size() && code_[walk.CodePosition] == SeriesEnd) {
      walk.CodePosition += 1;
      break;
    }
  }
  return true;
}

// --- Integrals ------------------------------------------------------------------------------

// Limits in a smaller font, their boxes drawn closer together.
void ShrinkLimit(TFormatBox* list) {
  if (list == nullptr) return;
  const int32_t left = list->Rect.Left;
  for (TFormatBox* b = list; b != nullptr; b = b->Next) {
    if (b->FontSize > 0) b->FontSize -= 4;
    b->Rect.Left = left + static_cast<int32_t>(std::lround((b->Rect.Left - left) * 0.7));
    b->Rect.Right = left + static_cast<int32_t>(std::lround((b->Rect.Right - left) * 0.7));
    b->Width = static_cast<int32_t>(std::lround(b->Width * 0.7));
  }
}

bool IsTermNumber(const std::string& text) {
  bool ok = false;
  int32_t n = 0;
  StrToLongSafe(text, n, ok);
  return ok && n >= kFirstTermNumber && n <= kLastTermNumber;
}

// INTEGRAL(f, x, a, b): the sign sized to the integrand, the limits at its
// upper and lower right, then (f) dx. The compiler leaves the family's
// sub-code, the integrand, the variable's number and the term number, and
// for a definite integral the limits and the step.
bool IntegralCall(TTypesetWalk& walk) {
  if (Missing(walk, 4)) return true;
  const bool limits = !IsTermNumber(walk.Entry(0)->Text);
  if (limits && Missing(walk, 7)) return true;
  const size_t termAt = limits ? 3 : 0;
  bool ok = false;
  const int32_t id = EntryNumber(walk, termAt, ok);
  const TIntegralTermRecord* term = walk.Equation.IntegralTerms;
  while (term != nullptr && term->TermId != id) term = term->Next;
  if (!ok || term == nullptr) {
    if (CalcErrorCode <= 0) CalcErrorCode = kMsgIntegralNesting;
    return true;
  }
  TFormattedForm& form = walk.Form;
  TFormatBox* upper = nullptr;
  TFormatBox* lower = nullptr;
  if (limits) {
    Free(walk, 0);  // the step
    upper = walk.Pop();
    lower = walk.Pop();
    ShrinkLimit(upper);
    ShrinkLimit(lower);
  }
  Free(walk, 0);  // the term number
  const int32_t variableNumber = EntryNumber(walk, 0, ok);
  Free(walk, 0);
  TFormatBox* integrand = walk.Pop();
  Free(walk, 0);  // the family's sub-code
  const TVariableRecord* v = ok && CurrentProgramUnit != nullptr ? CurrentProgramUnit->Variable(variableNumber)
                                                                 : nullptr;

  form.Parenthesize(integrand);
  TFormatBox* blank = form.NewBox(" ", form.BaseFontSize, 0);
  TFormatBox* d = form.NewBox("d", form.BaseFontSize, 0);
  TFormatBox* x = NameBox(form, v != nullptr ? v->Name : "?");
  SetLeft(blank, RightEdge(form, integrand));
  SetLeft(d, blank->Rect.Right);
  SetLeft(x, d->Rect.Right + form.Px(1));
  for (TFormatBox* b : {blank, d, x}) form.AlignMidLines(integrand, b);
  blank->Next = d;
  d->Next = x;
  AppendList(integrand, blank);
  form.GroupBoxes(integrand);

  // The sign grows with the integrand: t = 2/3 of its height + 12.
  int32_t t = form.GetHeight(integrand) * 2 / PixelScaleY / 3 + 12;
  t = std::max(t, form.BaseFontSize + 2);
  TFormatBox* sign = form.NewBox(std::string(1, static_cast<char>(186)), t, 0);
  sign->Role = kRoleIntegralSign;
  form.TextSizeStyle(t, 0);
  sign->Width = form.StringWidth(sign->Text) / 4 + form.Px(4);
  sign->Height = form.GetFontHeight(sign->Text);
  sign->Rect.Bottom = sign->Rect.Top + sign->Height * 3 / 4;
  form.TextSizeStyle(form.BaseFontSize, 0);
  form.AlignMidLines(integrand, sign);
  sign->Rect.Left = integrand->Rect.Left;
  sign->Rect.Right = sign->Rect.Left + sign->Width + form.Px(t * 2 / 6);

  TFormatBox* list = sign;
  TFormatBox* tail = sign;
  if (upper != nullptr) {
    StartAt(upper, sign->Rect.Left + sign->Width + form.Px(1));
    const int32_t h = form.GetHeight(upper);
    form.ShiftV(upper, sign->Rect.Top + h / 2 - upper->Rect.Bottom);
    upper->Rect.Top -= form.Py(4);
    StartAt(lower, sign->Rect.Left + sign->Width);
    form.ShiftV(lower, form.Py(t / 6) + (sign->Rect.Bottom - lower->Rect.Top) * 3 / 4);
    tail->Next = upper;
    AppendList(upper, lower);
    tail = LastBox(lower);
  }
  StartAt(integrand, sign->Rect.Right);
  tail->Next = integrand;
  form.GroupBoxes(list);
  walk.Push(list);
  return true;
}

// --- Calls of routines ----------------------------------------------------------------------

const TArgumentListRecord* FindCallList(TTypesetWalk& walk, const std::string& upperName) {
  auto same = [&](const TArgumentListRecord* l) {
    if (l->Name.size() != upperName.size()) return false;
    for (size_t i = 0; i < l->Name.size(); ++i) {
      if (std::toupper(static_cast<unsigned char>(l->Name[i])) != std::toupper(static_cast<unsigned char>(upperName[i])))
        return false;
    }
    return true;
  };
  const TArgumentListRecord* found = nullptr;
  if (walk.CallList != nullptr && same(walk.CallList)) {
    found = walk.CallList;
  } else {
    for (const TArgumentListRecord* l = walk.Equation.CallLists; l != nullptr; l = l->Next) {
      if (same(l)) {
        found = l;
        break;
      }
    }
  }
  if (found != nullptr) walk.CallList = found->Next;
  return found;
}

// name(inputs : outputs) over the inputs + |outputs| top entries; with
// outputs the call is a statement of its own ("Call  name(...)"), the
// bottom entry (the statement's output) goes unless outputs < 0, and the
// walk ends.
void LayoutCallN(TTypesetWalk& walk, const std::string& name, int32_t inputs, bool withColon, int32_t outputs) {
  TFormattedForm& form = walk.Form;
  const int32_t shownOutputs = std::min(std::abs(outputs), kMaxOutputNames);
  const size_t n = static_cast<size_t>(inputs + shownOutputs);
  if (n == 0 || Missing(walk, n)) return;
  std::vector<TFormatBox*> args(n);
  for (size_t k = n; k-- > 0;) args[k] = walk.Pop();
  const TArgumentListRecord* list = FindCallList(walk, name);
  std::vector<int32_t> display(n, 0);
  if (list != nullptr) {
    for (size_t k = 0; k < n && k < list->Codes.size(); ++k) display[k] = list->Codes[k];
  }
  for (size_t k = 0; k < n; ++k) FixArrayDotDot(form, args[k], display[k]);
  auto laterShown = [&](size_t from) {
    for (size_t k = from; k < n; ++k) {
      if (display[k] != -1) return true;
    }
    return false;
  };
  TFormatBox* joined = args[0];
  TFormatBox* previous = args[0];
  for (size_t i = 1; i < n; ++i) {
    std::string text;
    if (withColon && outputs != 0 && static_cast<int32_t>(i) == inputs) {
      text = " : ";
    } else if (laterShown(i)) {
      text = Sep();
    }
    TFormatBox* sep = form.NewBox(text, form.BaseFontSize, 0);
    sep->Role = kRoleBreakOperator;
    const int32_t previousWidth = form.GetWidth(previous);
    SetLeft(sep, (previousWidth > 0 ? RightEdge(form, previous) : previous->Rect.Left) + form.Px(1));
    form.AlignMidLines(previous, sep);
    const bool bothEmpty = sep->Width == 0 && form.GetWidth(args[i]) == 0;
    StartAt(args[i], bothEmpty ? sep->Rect.Right : sep->Rect.Right + form.Px(1));
    form.AlignMidLines(sep, args[i]);
    sep->Next = args[i];
    AppendList(joined, sep);
    previous = args[i];
  }
  form.GroupBoxes(joined);
  std::string shownName = name;
  if (outputs != 0) {
    shownName = "Call  " + name;
    if (outputs > 0 && !walk.Stack.empty()) Free(walk, walk.Stack.size() - 1);
  }
  form.Parenthesize(joined);
  TFormatBox* nameBox = form.NewBox(shownName, form.BaseFontSize, 1);
  form.AlignMidLines(joined, nameBox);
  SetLeft(nameBox, joined->Rect.Left);
  nameBox->Rect.Right = nameBox->Rect.Left + form.GetWidth(nameBox) + form.Px(3);
  StartAt(joined, nameBox->Rect.Right);
  nameBox->Next = joined;
  form.GroupBoxes(nameBox);
  walk.Push(nameBox);
  if (outputs != 0) walk.Finished = true;
}

// A call of a user FUNCTION or PROCEDURE. A procedure's outputs are one
// statement each; only the last shows the call, with every output's name.
bool UserRoutineCall(TTypesetWalk& walk) {
  if (Missing(walk, 1)) return true;
  bool ok = false;
  const int32_t slot = EntryNumber(walk, 0, ok);
  const TRoutineRecord* r = ok ? RoutineAt(slot) : nullptr;
  if (r == nullptr) return UnknownMember();
  Free(walk, 0);
  const int32_t outputs = r->OutputCount;
  if (outputs == 0) {
    LayoutCallN(walk, r->Name, r->InputCount, true, 0);
    return true;
  }
  if (Missing(walk, 2)) return true;
  const int32_t k = EntryNumber(walk, 0, ok);
  if (!ok) {
    EndWithNothing(walk);
    return true;
  }
  TFormattedForm& form = walk.Form;
  if (form.OutputNames.size() < static_cast<size_t>(kMaxOutputNames) + 1) form.OutputNames.resize(kMaxOutputNames + 1);
  const std::string left = walk.Stack.front()->Text;
  if (k >= 1 && k < kMaxOutputNames) {
    form.OutputNames[static_cast<size_t>(k)] = left;
  } else if (k >= kMaxOutputNames) {
    form.OutputNames[kMaxOutputNames] = "...";
  }
  if (k < outputs) {
    EndWithNothing(walk);
    return true;
  }
  Free(walk, 0);
  const int32_t shown = std::min(outputs, kMaxOutputNames);
  for (int32_t i = 1; i <= shown; ++i) {
    const std::string& stored = form.OutputNames[static_cast<size_t>(i)];
    bool greek = false;
    std::string text = stored;
    DisplayVarName(text, 255, greek);
    if (!walk.Push(form.NewBox(text, form.BaseFontSize, greek ? 5 : 0))) return true;
  }
  LayoutCallN(walk, r->Name, r->InputCount, true, outputs);
  return true;
}

// ERROR and WARNING inside a routine: Call ERROR('message', value).
bool MessageCall(TTypesetWalk& walk) {
  if (Missing(walk, 3)) return true;
  TFormattedForm& form = walk.Form;
  const bool withValue = walk.Stack.size() > 3;
  TFormatBox* value = withValue ? walk.Pop() : nullptr;
  TFormatBox* messageEntry = walk.Pop();
  if (withValue) Free(walk, 0);
  const std::string name = Unquoted(walk.Entry(withValue ? 0 : 1)->Text);
  bool ok = false;
  int32_t n = 0;
  StrToLongSafe(messageEntry->Text, n, ok);
  std::string text = ok && n >= 1 ? StringConstText(n) : messageEntry->Text;
  if (ok && n < 1) text.clear();
  DisposeFormatEqn(messageEntry);
  if (text.size() > 30) text = text.substr(0, 26) + "..";
  TFormatBox* message = form.NewBox("'" + text + "'", form.BaseFontSize, 0);
  message->Text = "'" + text + "'";  // kept whole: the box texts' limit would cut the quote
  message->Width = form.StringWidth(message->Text);
  message->Rect.Right = message->Rect.Left + message->Width;
  TFormatBox* list = message;
  if (value != nullptr) {
    TFormatBox* sep = form.NewBox(Sep(), form.BaseFontSize, 0);
    SetLeft(sep, RightEdge(form, message));
    form.AlignMidLines(message, sep);
    StartAt(value, sep->Rect.Right);
    form.AlignMidLines(sep, value);
    sep->Next = value;
    message->Next = sep;
  }
  form.GroupBoxes(list);
  form.Parenthesize(list);
  TFormatBox* nameBox = form.NewBox("Call " + name, form.BaseFontSize, 1);
  nameBox->Width += form.Px(2);
  TFormatBox* call = NameInFront(form, nameBox, list);
  EndWithNothing(walk);
  walk.Finished = true;
  walk.Stack.push_back(call);
  return true;
}

}  // namespace

bool LayoutFunctionCode(TTypesetWalk& walk, int32_t code) {
  switch (code) {
    case 200:
    case 202:
    case 247:
      return FamilyCall1(walk, code);
    case 201:
      return Conversion(walk);
    case 203:
      return PolarForm(walk);
    case SeriesSum:
    case SeriesProduct:
      return SeriesCall(walk, code);
    case 198:
      return MessageCall(walk);
    case OpUserFunction:
      return UserRoutineCall(walk);
    case 209: case 210: case 211: case 212: case 213: case 214: case 215: case 216:
    case 219: case 220: case 221: case 222: case 223:
      return PropertyCall(walk, code);
    case 217:
      return SubstanceProperty(walk);
    case 233:
      return ListCall(walk);
    case 248:
      return UnitSystemCall(walk);
    case 249:
      return TwoArgumentFamily(walk);
    case 250:
      return ThreeArgumentFamily(walk);
    case 251:
      return IntegralCall(walk);
    default:
      return false;
  }
}

void InstallFunctionLayouts() { SetFunctionCodeLayout(LayoutFunctionCode); }

}  // namespace voq

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
#include "model/external_routines.h"
#include "model/integral_records.h"
#include "model/lookup_table_access.h"
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
// Help of the lookup functions shown with error 66.
constexpr int32_t kLookupTableHelpContext = 8;

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

// Joins the lists by separators (an argument whose display number is -1
// hidden, and no separator before it unless a later one is shown), groups
// and parenthesises them and puts the bold name in front with Width +
// extra px.
TFormatBox* NamedArgumentList(TFormattedForm& form, const std::string& name, std::vector<TFormatBox*> args,
                              int32_t extra, const std::vector<int32_t>& display = {}) {
  for (size_t k = 0; k < args.size() && k < display.size(); ++k) FixArrayDotDot(form, args[k], display[k]);
  auto laterShown = [&](size_t from) {
    for (size_t k = from; k < args.size(); ++k) {
      if (k >= display.size() || display[k] != -1) return true;
    }
    return false;
  };
  TFormatBox* list = args[0];
  TFormatBox* last = args[0];
  for (size_t k = 1; k < args.size(); ++k) {
    TFormatBox* sep = form.NewBox(laterShown(k) ? Sep() : std::string(), form.BaseFontSize, 0);
    if (sep->Text.empty()) {
      sep->Width = 0;
      sep->Rect.Right = sep->Rect.Left;
    }
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
  box->Width += form.Px(extra);
  return NameInFront(form, box, list);
}

// The argument list of a call named name: the cursor's when it names the
// call, else the first of the chain that does; the cursor moves past it.
const TArgumentListRecord* FindArgumentList(const TArgumentListRecord*& cursor, const TArgumentListRecord* chain,
                                            const std::string& name) {
  auto same = [&](const TArgumentListRecord* l) {
    if (l->Name.size() != name.size()) return false;
    for (size_t i = 0; i < l->Name.size(); ++i) {
      if (std::toupper(static_cast<unsigned char>(l->Name[i])) != std::toupper(static_cast<unsigned char>(name[i])))
        return false;
    }
    return true;
  };
  const TArgumentListRecord* found = nullptr;
  if (cursor != nullptr && same(cursor)) {
    found = cursor;
  } else {
    for (const TArgumentListRecord* l = chain; l != nullptr; l = l->Next) {
      if (same(l)) {
        found = l;
        break;
      }
    }
  }
  if (found != nullptr) cursor = found->Next;
  return found;
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

namespace {

// A column name as shown: "X[3]" keeps its index as a subscript.
std::string ColumnTitleShown(std::string name) {
  if (Preferences.ShowSubscripts != 0 && !name.empty() && name.back() == ']') {
    const size_t open = name.find('[');
    if (open != std::string::npos) {
      name[open] = '_';
      name.back() = kCodeSubscriptEnd;
    }
  }
  return name;
}

}  // namespace

std::string LookupTableName(int32_t t, int32_t inFunction) {
  if (t == kLookupParametricId) return "'PARAMETRIC'";
  if (t < 0) {
    const std::string name = LookupTables().TableName(t);
    return name.empty() ? "??" : "'" + name + "'";
  }
  if (t >= 1 && t <= 9999) {
    const std::string name = LookupTables().TableName(t);
    if (name.empty()) {
      SetCalcErrorWithHelp(kMsgNoLookupTable, kLookupTableHelpContext);
      return "??";
    }
    return "'" + name + "'";
  }
  if (t > 19999) return "'" + StringConstText(t - 20000) + "'";
  if (t >= 10000) {
    if (inFunction > 0) {
      const TRoutineRecord* r = RoutineAt(inFunction);
      const TLocalVariableRecord* local = r != nullptr ? LocalByNumber(*r, t - 10000) : nullptr;
      if (local != nullptr) return local->Name;
    } else if (CurrentProgramUnit != nullptr) {
      if (const TVariableRecord* v = CurrentProgramUnit->Variable(t - 10000)) return v->Name;
    }
  }
  return "??";
}

std::string LookupColumnName(int32_t t, int32_t n, const std::string& argument) {
  if (n <= 0) {
    if (argument.empty() || argument[0] < '0' || argument[0] > '9' ||
        argument.find_first_of("eE") != std::string::npos) {
      return argument;
    }
    bool ok = false;
    StrToLongSafe(argument, n, ok);
    if (!ok) return argument;
  }
  const std::string title = LookupTables().ColumnName(t, n);
  if (title.empty()) return argument;
  return "'" + ColumnTitleShown(title) + "'";
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
  std::vector<TFormatBox*> args(static_cast<size_t>(n));
  for (size_t k = args.size(); k-- > 0;) args[k] = walk.Pop();
  // A range X[1..5] is one argument: its first value shows the range, the
  // others are hidden.
  std::vector<int32_t> display;
  if (const TArgumentListRecord* list = FindArgumentList(walk.BuiltinCallList, walk.Equation.BuiltinCallLists, name)) {
    display.assign(list->Codes.begin(), list->Codes.end());
  }
  walk.Push(NamedArgumentList(walk.Form, name, std::move(args), 2, display));
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

// --- Lookup tables --------------------------------------------------------------------------

// The visible text of an entry read as an integer: a negated number
// ("-" as the en dash box of a negation) counts with its sign.
bool EntryInteger(const TFormatBox* list, int32_t& n) {
  std::string text;
  for (const TFormatBox* b = list; b != nullptr; b = b->Next) {
    if (b->FontSize <= 0) continue;
    for (char c : b->Text) {
      if (c == kCodeEnDash) c = '-';
      if (c != ' ') text += c;
    }
  }
  bool ok = false;
  StrToLongSafe(text, n, ok);
  return ok;
}

// A column argument '#n' of table t by its name, when the column is known.
void NameColumnArgument(TFormattedForm& form, TFormatBox*& arg, int32_t t) {
  const std::string& text = arg->Text;
  if (text.size() < 3 || text[1] != '#' || text[2] < '0' || text[2] > '9') return;
  std::string digits = text.substr(2);
  if (!digits.empty() && digits.back() == '\'') digits.pop_back();
  const std::string name = LookupColumnName(t, 0, digits);
  if (name == digits) return;
  TFormatBox* named = form.NewBox(name, arg->FontSize, arg->FontStyle);
  SetLeft(named, arg->Rect.Left);
  DisposeFormatEqn(arg);
  arg = named;
}

// The table argument's identifier; -1001 .. 0 name tabs, 1 .. 9999 lookup
// files, 10000 + a variable's number a string variable, 20000 + a string
// constant's number a literal.
bool TableIdentifier(TFormatBox* entry, int32_t& t) {
  if (!EntryInteger(entry, t)) {
    if (CalcErrorCode <= 0) CalcErrorCode = kMsgSyntaxError;
    return false;
  }
  return true;
}

// Pushes the call name(table, arguments...), the table's name first when
// the call named one (t != 0); a table that no longer exists leaves its
// error and pushes nothing.
void PushTableCall(TTypesetWalk& walk, const std::string& name, int32_t t, std::vector<TFormatBox*> args) {
  TFormattedForm& form = walk.Form;
  if (t != 0) {
    const std::string table = LookupTableName(t, walk.InFunction);
    if (CalcErrorCode > 0) {
      for (TFormatBox*& a : args) DisposeFormatEqn(a);
      return;
    }
    args.insert(args.begin(), form.NewBox(table, form.BaseFontSize, 0));
  }
  walk.Push(NamedArgumentList(form, name, std::move(args), 3));
}

// Lookup, Lookup$, LookupCellEmpty, LookupCol, LookupRow and Lookup$Row.
// The compiler leaves the sub-code, the table, then for Lookup the row, the
// column and the by-name flag, for LookupRow the column, the flag and the
// value, for LookupCol the row and the value. A column '#n' with the flag
// set is shown by its title.
bool TableLookup(TTypesetWalk& walk, int32_t code) {
  const size_t count = code == 245 ? 4 : 5;
  if (Missing(walk, count)) return true;
  TFormattedForm& form = walk.Form;
  const std::string subText = walk.Entry(count - 1)->Text;
  int32_t t = 0;
  if (!TableIdentifier(walk.Entry(count - 2), t)) return true;
  std::vector<TFormatBox*> args;
  bool byName = false;
  if (code == 244) {
    byName = walk.Entry(0)->Text == "1";
    Free(walk, 0);
    TFormatBox* column = walk.Pop();
    TFormatBox* row = walk.Pop();
    args = {row, column};
  } else if (code == 246) {
    TFormatBox* value = walk.Pop();
    byName = walk.Entry(0)->Text == "1";
    Free(walk, 0);
    TFormatBox* column = walk.Pop();
    args = {column, value};
  } else {
    TFormatBox* value = walk.Pop();
    TFormatBox* row = walk.Pop();
    args = {row, value};
  }
  Free(walk, 0);  // the table's number
  Free(walk, 0);  // the sub-code
  if (byName) NameColumnArgument(form, code == 244 ? args[1] : args[0], t);
  std::string name;
  switch (code) {
    case 244: name = subText == "2" ? "Lookup$" : subText == "3" ? "LookupCellEmpty" : "Lookup"; break;
    case 245: name = "LookupCol"; break;
    default: name = subText == "2" ? "Lookup$Row" : "LookupRow"; break;
  }
  PushTableCall(walk, name, t, std::move(args));
  return true;
}

// Interpolate1, Interpolate2, Interpolate and Differentiate: the compiler
// leaves the sub-code, the table, the dependent and the independent column,
// the direction (-1 when the call named them the other way round) and the
// value. Shown as written: Interpolate('Table', y, x, x=0.5).
bool TableInterpolation(TTypesetWalk& walk) {
  if (Missing(walk, 6)) return true;
  TFormattedForm& form = walk.Form;
  int32_t sub = 0;
  bool ok = false;
  sub = EntryNumber(walk, 5, ok);
  if (!ok) {
    EndWithNothing(walk);
    return true;
  }
  const char* name = sub == 1 ? "Interpolate1" : sub == 2 ? "Interpolate2" : sub == 3 ? "Interpolate"
                                                              : sub == 6 ? "Differentiate" : nullptr;
  if (name == nullptr) return UnknownMember();
  int32_t t = 0;
  if (!TableIdentifier(walk.Entry(4), t)) return true;
  int32_t direction = 1;
  EntryInteger(walk.Entry(1), direction);
  TFormatBox* value = walk.Pop();
  Free(walk, 0);
  TFormatBox* independent = walk.Pop();
  TFormatBox* dependent = walk.Pop();
  Free(walk, 0);
  Free(walk, 0);
  NameColumnArgument(form, dependent, t);
  NameColumnArgument(form, independent, t);
  // The label: the independent column's name without its quotes.
  std::string label = Unquoted(independent->Text);
  TFormatBox* labelBox = form.NewBox(label + "=", form.BaseFontSize, 0);
  std::vector<TFormatBox*> args;
  if (direction < 0) {
    args = {independent, dependent};
  } else {
    args = {dependent, independent};
  }
  // label and value are one argument.
  SetLeft(labelBox, value->Rect.Left);
  form.AlignMidLines(value, labelBox);
  StartAt(value, labelBox->Rect.Right);
  labelBox->Next = value;
  form.GroupBoxes(labelBox);
  args.push_back(labelBox);
  PushTableCall(walk, name, t, std::move(args));
  return true;
}

// TableValue(table, row, column): a column given by a string variable
// (10000 + its number) or a string literal (9000 + its number) by its text.
bool TableValueCall(TTypesetWalk& walk) {
  if (Missing(walk, 3)) return true;
  TFormattedForm& form = walk.Form;
  TFormatBox*& column = walk.Entry(0);
  int32_t n = 0;
  bool ok = false;
  if (column->Next == nullptr) StrToLongSafe(column->Text, n, ok);
  std::string text;
  if (ok && n > 10000) {
    const TVariableRecord* v = CurrentProgramUnit != nullptr ? CurrentProgramUnit->Variable(n - 10000) : nullptr;
    if (v != nullptr) text = "'" + v->Name + "'";
  } else if (ok && n > 9000 && n - 9000 <= static_cast<int32_t>(StringConstants.size())) {
    text = "'" + StringConstText(n - 9000) + "'";
  }
  if (!text.empty()) {
    if (Preferences.ShowSubscripts != 0) {
      for (char& c : text) {
        if (c == '[') c = '_';
        if (c == ']') c = kCodeSubscriptEnd;
      }
    }
    DisposeFormatEqn(column);
    column = form.NewBox(text, form.BaseFontSize, 0);
  }
  TFormatBox* c = walk.Pop();
  TFormatBox* b = walk.Pop();
  TFormatBox* a = walk.Pop();
  walk.Push(LayoutCall3(form, "TableValue", a, b, c));
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

const TArgumentListRecord* FindCallList(TTypesetWalk& walk, const std::string& name) {
  return FindArgumentList(walk.CallList, walk.Equation.CallLists, name);
}

// name(inputs : outputs) over the inputs + |outputs| top entries; with
// outputs the call is a statement of its own ("Call  name(...)"), the
// bottom entry (the statement's output) goes unless outputs < 0, and the
// walk ends. A prefix (the text an external routine receives first) goes
// in front of the arguments in quotes; the call's argument list then
// records it first (displaySkip 1).
void LayoutCallN(TTypesetWalk& walk, const std::string& name, int32_t inputs, bool withColon, int32_t outputs,
                 const std::string& prefix = "", size_t displaySkip = 0) {
  TFormattedForm& form = walk.Form;
  const int32_t shownOutputs = std::min(std::abs(outputs), kMaxOutputNames);
  const size_t n = static_cast<size_t>(inputs + shownOutputs);
  if (n == 0 || Missing(walk, n)) return;
  std::vector<TFormatBox*> args(n);
  for (size_t k = n; k-- > 0;) args[k] = walk.Pop();
  const TArgumentListRecord* list = FindCallList(walk, name);
  std::vector<int32_t> display(n, 0);
  if (list != nullptr) {
    for (size_t k = 0; k < n && k + displaySkip < list->Codes.size(); ++k) display[k] = list->Codes[k + displaySkip];
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
  if (!prefix.empty()) {
    TFormatBox* first = form.NewBox("'" + prefix + "'" + Sep(), form.BaseFontSize, 0);
    SetLeft(first, joined->Rect.Left);
    form.AlignMidLines(joined, first);
    StartAt(joined, first->Rect.Right);
    first->Next = joined;
    joined = first;
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

// The program unit a CALL names by its index; null when there is none.
const TProgramUnitRecord* CalledProgramUnit(int32_t index) {
  if (index < 1 || static_cast<size_t>(index) >= ProgramUnitList.size()) return nullptr;
  return ProgramUnitList[static_cast<size_t>(index)];
}

// Keeps a copy of the first visible box of the statement's output (the
// stack's bottom entry) as output k of a call spread over statements:
// slot k of list, earlier slots that no statement filled show "????".
void KeepOutputBox(TTypesetWalk& walk, TFormatBox*& list, int32_t k) {
  TFormattedForm& form = walk.Form;
  if (k == 1) DisposeFormatEqn(list);
  const TFormatBox* source = walk.Stack.front();
  while (source != nullptr && source->FontSize <= 0) source = source->Next;
  TFormatBox* copy = source != nullptr ? new TFormatBox(*source) : form.NewBox("????", form.BaseFontSize, 0);
  copy->Next = nullptr;
  TFormatBox** slot = &list;
  for (int32_t i = 1; i < k; ++i) {
    if (*slot == nullptr) *slot = form.NewBox("????", form.BaseFontSize, 0);
    slot = &(*slot)->Next;
  }
  if (*slot != nullptr) {
    copy->Next = (*slot)->Next;
    (*slot)->Next = nullptr;
    DisposeFormatEqn(*slot);
  }
  *slot = copy;
}

// Pushes each of the first count kept output boxes as an entry of its own,
// and frees the list.
bool PushOutputBoxes(TTypesetWalk& walk, TFormatBox*& list, int32_t count) {
  TFormattedForm& form = walk.Form;
  TFormatBox* b = list;
  for (int32_t i = 0; i < count; ++i) {
    TFormatBox* box = b != nullptr ? new TFormatBox(*b) : form.NewBox("????", form.BaseFontSize, 0);
    box->Next = nullptr;
    if (b != nullptr) b = b->Next;
    if (!walk.Push(box)) {
      DisposeFormatEqn(list);
      return false;
    }
  }
  DisposeFormatEqn(list);
  return true;
}

// The output number k on top of the stack; the walk ends with nothing
// when it is not a number.
bool OutputNumber(TTypesetWalk& walk, int32_t& k) {
  bool ok = false;
  k = EntryNumber(walk, 0, ok);
  if (!ok) EndWithNothing(walk);
  return ok;
}

// CALL of a SUBPROGRAM: one statement per output, each with the inputs and
// its output number k on top; the last shows the call with every output.
bool SubprogramCall(TTypesetWalk& walk) {
  if (Missing(walk, 2)) return true;
  const TProgramUnitRecord* unit = CalledProgramUnit(walk.Equation.CalledUnit);
  if (unit == nullptr) return UnknownMember();
  int32_t k = 0;
  if (!OutputNumber(walk, k)) return true;
  TFormattedForm& form = walk.Form;
  KeepOutputBox(walk, form.BoxBreakList, k);
  if (k < unit->OutputCount) {
    EndWithNothing(walk);
    return true;
  }
  Free(walk, 0);
  if (!PushOutputBoxes(walk, form.BoxBreakList, unit->OutputCount)) return true;
  LayoutCallN(walk, unit->Name, unit->InputCount, unit->HeaderHasColon != 0, unit->OutputCount);
  return true;
}

// CALL of a MODULE: the statement that stands for the call carries the
// call's arguments after its own code (the walk starts there).
bool ModuleCall(TTypesetWalk& walk) {
  const TProgramUnitRecord* unit = CalledProgramUnit(-walk.Equation.CalledUnit);
  if (unit == nullptr) return UnknownMember();
  LayoutCallN(walk, unit->Name, unit->InputCount, unit->HeaderHasColon != 0, -unit->OutputCount);
  return true;
}

// The text an external routine receives first, as shown: a string
// constant by number, a string variable by name; nothing for the blank
// text the compiler supplies when the call gives none.
std::string ExternalTextArgument(const TFormatBox* entry) {
  int32_t n = 0;
  bool ok = false;
  StrToLongSafe(entry->Text, n, ok);
  if (ok) return n >= 1 && n <= static_cast<int32_t>(StringConstants.size()) ? StringConstText(n) : "";
  std::string text = entry->Text;
  if (text == "' '") return "";
  if (text.size() >= 2 && text.front() == '\'' && text.back() == '\'') return text.substr(1, text.size() - 2);
  return text;
}

// CALL of an external procedure: the text, the inputs, the input count
// (the text counted), the output count, the procedure's key and this
// statement's output number k.
bool ExternalProcedureCall(TTypesetWalk& walk) {
  if (Missing(walk, 6)) return true;
  bool ok1 = false;
  bool ok2 = false;
  bool ok3 = false;
  const int32_t key = EntryNumber(walk, 1, ok1);
  const int32_t outputs = EntryNumber(walk, 2, ok2);
  const int32_t inputs = EntryNumber(walk, 3, ok3) - 1;
  int32_t k = 0;
  if (!OutputNumber(walk, k)) return true;
  if (!ok1 || !ok2 || !ok3 || inputs < 0 || outputs < 1 || !walk.Has(static_cast<size_t>(inputs) + 6)) {
    if (CalcErrorCode <= 0) CalcErrorCode = kMsgSyntaxError;
    return true;
  }
  TFormattedForm& form = walk.Form;
  KeepOutputBox(walk, form.ExternalCallBoxes, k);
  if (k < outputs) {
    EndWithNothing(walk);
    return true;
  }
  for (int32_t i = 0; i < 4; ++i) Free(walk, 0);
  TFormatBox* textEntry = Take(walk, static_cast<size_t>(inputs));
  const std::string prefix = ExternalTextArgument(textEntry);
  DisposeFormatEqn(textEntry);
  const TExternalProcedureRecord* r = FindExternalProcedure(key);
  if (!PushOutputBoxes(walk, form.ExternalCallBoxes, outputs)) return true;
  LayoutCallN(walk, r != nullptr ? r->Name : "????", inputs, true, outputs, prefix, 1);
  return true;
}

// An external function: its key, the text (a string constant's number, or
// a string variable given first), the arguments and their count + 1.
bool ExternalFunctionCall(TTypesetWalk& walk) {
  if (Missing(walk, 2)) return true;
  bool ok = false;
  const int32_t total = EntryNumber(walk, 0, ok);
  if (!ok || total < 1 || !walk.Has(static_cast<size_t>(total) + 2)) {
    if (CalcErrorCode <= 0) CalcErrorCode = kMsgSyntaxError;
    return true;
  }
  Free(walk, 0);
  TFormattedForm& form = walk.Form;
  const size_t n = static_cast<size_t>(total - 1);
  std::vector<TFormatBox*> args(n);
  for (size_t k = n; k-- > 0;) args[k] = walk.Pop();
  TFormatBox* textEntry = walk.Pop();
  int32_t key = 0;
  StrToLongSafe(walk.Entry(0)->Text, key, ok);
  Free(walk, 0);
  std::string prefix;
  int32_t number = 0;
  bool isNumber = false;
  StrToLongSafe(textEntry->Text, number, isNumber);
  if (isNumber && number >= 1 && number <= static_cast<int32_t>(StringConstants.size())) {
    prefix = "'" + StringConstText(number) + "'";
  } else if (!isNumber && !textEntry->Text.empty() && textEntry->Text.back() == '$') {
    prefix = textEntry->Text;
  }
  DisposeFormatEqn(textEntry);
  const TExternalFunctionRecord* r = ok ? FindExternalFunction(key) : nullptr;
  const std::string name = r != nullptr ? r->Name : "????";
  std::vector<int32_t> display;
  if (const TArgumentListRecord* list = FindCallList(walk, name)) {
    if (list->Codes.size() == n) display.assign(list->Codes.begin(), list->Codes.end());
  }
  if (!prefix.empty()) {
    args.insert(args.begin(), form.NewBox(prefix, form.BaseFontSize, 0));
    display.insert(display.begin(), 0);
  }
  if (args.empty()) args.push_back(form.NewBox("", form.BaseFontSize, 0));
  walk.Push(NamedArgumentList(form, name, std::move(args), 2, display));
  return true;
}

// An element of a routine's array whose index is known only when it runs:
// the flag, the quoted array name, the indices and the item count. The
// indices stand as a subscript 2 px smaller, joined by the separator.
bool ArrayElement(TTypesetWalk& walk) {
  if (Missing(walk, 1)) return true;
  bool ok = false;
  const int32_t items = EntryNumber(walk, 0, ok);
  if (!ok || items - 1 < 1 || !walk.Has(static_cast<size_t>(items) + 2)) {
    if (CalcErrorCode <= 0) CalcErrorCode = kMsgSyntaxError;
    return true;
  }
  Free(walk, 0);
  TFormattedForm& form = walk.Form;
  const size_t n = static_cast<size_t>(items - 1);
  std::vector<TFormatBox*> indices(n);
  for (size_t k = n; k-- > 0;) indices[k] = walk.Pop();
  TFormatBox* name = walk.Pop();
  int32_t flag = 0;
  StrToLongSafe(walk.Entry(0)->Text, flag, ok);
  Free(walk, 0);
  TFormatBox* joined = indices[0];
  TFormatBox* last = indices[0];
  for (size_t k = 1; k < n; ++k) {
    TFormatBox* sep = form.NewBox(std::string(1, ArgumentSeparator), form.BaseFontSize, 0);
    SetLeft(sep, RightEdge(form, last));
    form.AlignMidLines(last, sep);
    StartAt(indices[k], sep->Rect.Right);
    form.AlignMidLines(sep, indices[k]);
    sep->Next = indices[k];
    AppendList(joined, sep);
    last = indices[k];
  }
  form.GroupBoxes(joined);
  if (ok && flag == 1) {
    const std::string bare = Unquoted(name->Text);
    TFormatBox* plain = NameBox(form, bare);
    plain->Rect.Top = name->Rect.Top;
    plain->Rect.Bottom = name->Rect.Bottom;
    SetLeft(plain, name->Rect.Left);
    DisposeFormatEqn(name);
    name = plain;
    // Smaller by 2 px: every advance and place scaled by the ratio of the
    // sizes, from the first box's left.
    const int32_t left = joined->Rect.Left;
    const int32_t size = std::max(form.BaseFontSize, 3);
    auto scaled = [&](int32_t v) { return static_cast<int32_t>(std::lround(v * (size - 2.0) / size)); };
    for (TFormatBox* b = joined; b != nullptr; b = b->Next) {
      if (b->FontSize > 0) b->FontSize -= 2;
      b->Rect.Left = left + scaled(b->Rect.Left - left);
      b->Rect.Right = left + scaled(b->Rect.Right - left);
      b->Width = scaled(b->Width);
    }
    form.ShiftV(joined, form.Py(name->FontSize / 2));
    StartAt(joined, name->Rect.Right - form.Px(2));
    // The subscript hangs from the line: it adds nothing below the name.
    for (TFormatBox* b = joined; b != nullptr; b = b->Next) b->Rect.Bottom = name->Rect.Bottom;
  } else {
    form.AlignMidLines(name, joined);
    StartAt(joined, name->Rect.Right);
  }
  name->Next = joined;
  const TRect all = UnionRect(name->Rect, joined->Rect);
  form.GroupBoxes(name);
  name->Rect = UnionRect(name->Rect, all);
  walk.Push(name);
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
    case 241:
      return TableInterpolation(walk);
    case 244:
    case 245:
    case 246:
      return TableLookup(walk, code);
    case 252:
      return TableValueCall(walk);
    case 234:
      return ArrayElement(walk);
    case OpUnitCall:
      return SubprogramCall(walk);
    case CodeOutputListEnd:
      return ModuleCall(walk);
    case OpExternalProcedure:
      return ExternalProcedureCall(walk);
    case OpExternalFunction:
      return ExternalFunctionCall(walk);
    default:
      return false;
  }
}

void InstallFunctionLayouts() { SetFunctionCodeLayout(LayoutFunctionCode); }

}  // namespace voq

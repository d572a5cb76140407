// The builders of function codes over statements the compiler made, on the
// fixed-width canvas (16 px base font, 8 px characters). A layout is
// written as its visible boxes in order, joined by "|": "[(" and ")]"
// drawn parentheses, "__" a fraction bar, "SUM", "PROD" and "INT" the
// large signs, "-" the en dash, "." the middle dot, "*" a Symbol-face box.
#include "output/function_layouts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/string_constants.h"
#include "language/code_listing.h"
#include "language/store_fixture.h"
#include "model/compiled_code.h"
#include "model/document_settings.h"
#include "model/lookup_table_access.h"
#include "model/program_units.h"
#include "model/routines.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "session/compile_driver.h"
#include "tables/table_model.h"
#include "tables/tables_state.h"

namespace voq {
namespace {

std::string Shape(const TFormatBox* list) {
  std::string shape;
  for (const TFormatBox* b = list; b != nullptr; b = b->Next) {
    if (b->FontSize <= 0) continue;
    std::string t;
    switch (b->Role) {
      case kRoleFractionBar:
      case kRoleWidestFractionBar: t = "__"; break;
      case kRoleLeftParenthesis: t = "[("; break;
      case kRoleRightParenthesis: t = ")]"; break;
      case kRoleSumSign: t = "SUM"; break;
      case kRoleProductSign: t = "PROD"; break;
      case kRoleIntegralSign: t = "INT"; break;
      default:
        if (b->FontStyle == 5) t = "*";
        for (char c : b->Text) {
          if (c == kCodeEnDash) {
            t += '-';
          } else if (c == kCodeMiddleDot) {
            t += '.';
          } else if (c == kCodeSubscriptEnd || c == kCodeLoweredEnd) {
            t += '}';
          } else {
            t += c;
          }
        }
    }
    if (!shape.empty()) shape += '|';
    shape += t;
  }
  return shape;
}

[[maybe_unused]] const TFormatBox* FindText(const TFormatBox* list, const std::string& text) {
  for (const TFormatBox* b = list; b != nullptr; b = b->Next) {
    if (b->Text == text && b->FontSize > 0) return b;
  }
  return nullptr;
}

[[maybe_unused]] const TFormatBox* FindRole(const TFormatBox* list, int32_t role) {
  for (const TFormatBox* b = list; b != nullptr; b = b->Next) {
    if (b->Role == role) return b;
  }
  return nullptr;
}

class FunctionLayoutTest : public testing::LanguageStoreTest {
 protected:
  void SetUp() override {
    LanguageStoreTest::SetUp();
    SetEquationsEditor(&editor);
    CheckOnlyMode = true;
    EquationsCompiled = false;
    Preferences.ShowSubscripts = 1;
    Preferences.DisplayFontSize = 3;  // 12 points: 16 px
    form.SetupFonts();
  }
  void TearDown() override {
    DisposeFormatEqn(layout);
    SetEquationsEditor(nullptr);
    CheckOnlyMode = false;
    Preferences = TPreferencesRecord{};
    LanguageStoreTest::TearDown();
  }

  int32_t Read(const std::string& text) {
    testing::FreshStore();
    editor.SetText(text);
    EquationsCompiled = false;
    CompileEquations(false, false);
    return CalcErrorCode;
  }

  // Every main-program statement's layout in order ("" for a statement
  // that shows nothing).
  std::vector<std::string> MainLines() {
    std::vector<std::string> lines;
    for (TEquationRecord* e = MainProgramUnit->FirstEquation; e != nullptr; e = e->Next) {
      CalcErrorCode = 0;
      TFormatBox* line = doFormatEqn(form, e, 40, 0);
      lines.push_back(line != nullptr ? Shape(line) : std::string());
      EXPECT_EQ(CalcErrorCode, 0) << ListEquationCode(*e, MainProgramUnit);
      DisposeFormatEqn(line);
    }
    return lines;
  }

  // The layout of the main program's last statement.
  const TFormatBox* Typeset(const std::string& text) {
    EXPECT_EQ(Read(text), 0) << text;
    DisposeFormatEqn(layout);
    TEquationRecord* last = MainProgramUnit->FirstEquation;
    if (last == nullptr) return nullptr;
    while (last->Next != nullptr) last = last->Next;
    CalcErrorCode = 0;
    layout = doFormatEqn(form, last, 40, 0);
    return layout;
  }

  int32_t IndexOf(const std::string& name) {
    CurrentProgramUnit = MainProgramUnit;
    const int32_t saved = CalcErrorCode;
    const int32_t i = FindVariable(name);
    CalcErrorCode = saved;
    return i;
  }

  TFormatBox* TypesetCode(std::vector<int32_t> code, std::vector<Extended> constants) {
    hand.Code = std::move(code);
    hand.Constants = std::move(constants);
    CalcErrorCode = 0;
    DisposeFormatEqn(layout);
    layout = doFormatEqn(form, &hand, 0, 0);
    return layout;
  }

  ScriptedPlatform platform;
  ScopedPlatform scoped{platform};
  InMemoryEquationsEditor editor;
  RecordingCanvas canvas;
  TFormattedForm form{canvas};
  TFormatBox* layout = nullptr;
  TEquationRecord hand;
};

struct TShapeCase {
  const char* Statements;  // the last statement is laid out
  const char* Shape;
};

TEST_F(FunctionLayoutTest, CallsByDisplayName) {
  const TShapeCase cases[] = {
      {"y = sin(x)", "y|  =  |sin|(|x|)"},
      {"y = GAMMA_(x)", "y|  =  |*G|(|x|)"},
      {"y = BESSEL_J0(x)", "y|  =  |J_0|(|x|)"},
      {"y = BESSEL_K1(x)", "y|  =  |K_1|(|x|)"},
      {"y = angle(z)", "y|  =  |angle|(|z|)"},
      {"y = Round(x) + arctanh(z)", "y|  =  |Round|(|x|)| + |arctanh|(|z|)"},
      {"y = MAX(a, b, c)", "y|  =  |Max|(|a|, |b|, |c|)"},
      {"y = Mod(a, b)", "y|  =  |MOD|(|a|, |b|)"},
      {"y = UnitSystem('SI')", "y|  =  |UnitSystem('SI')"},
      {"y = MolarMass(Water)", "y|  =  |MolarMass|(|Water|)"},
      {"y = Enthalpy(Steam, T=300, P=100)", "y|  =  |h|(|Steam|, T=|300|, P=|100|)"},
      {"y = Density(Steam, T=300, P=100)", "y|  =  |*r|(|Steam|, T=|300|, P=|100|)"},
      {"y = Cp(Air, T=300)", "y|  =  |Cp|(|Air|, T=|300|)"},
      {"y = Cv(Air, T=300)", "y|  =  |Cv|(|Air|, T=|300|)"},
      {"s$ = 'Steam'\ny = Enthalpy(s$, T=300, P=100)", "y|  =  |h|(|s$|, T=|300|, P=|100|)"},
      {"y = CONVERT(ft, m)", "y|  =  |[(|0.3048| . |m|__|ft|)]"},
  };
  for (const TShapeCase& c : cases) {
    const TFormatBox* list = Typeset(c.Statements);
    ASSERT_NE(list, nullptr) << c.Statements << ": " << CalcErrorCode;
    EXPECT_EQ(Shape(list), c.Shape) << c.Statements << "\n" << ListEquationCode(*CurrentEquation, MainProgramUnit);
    EXPECT_EQ(CalcErrorCode, 0) << c.Statements;
  }
}

// Sums, products and integrals, and calls of user routines.
TEST_F(FunctionLayoutTest, SeriesIntegralsAndRoutineCalls) {
  const TShapeCase cases[] = {
      {"y = SUM(x[i], i=1, 10)", "y|  =  |SUM|i=1|10|(|x_i}|)"},
      {"y = PRODUCT(a[j]^2, j=1, 3)", "y|  =  |PROD|j=1|3|(|a_j}|2||)"},
      {"y = 2*SUM(x[i]*c, i=1, 4) + 1", "y|  =  |2| . |SUM|i=1|4|(|x_i}| |c|)| + |1"},
      {"y = INTEGRAL(x^2, x, 0, 1)", "y|  =  |INT|1|0|(|x|2|)| |d|x"},
      {"y = INTEGRAL(x, t)\nx = t", ""},
      {"FUNCTION g(a, b)\n g := a+b\nEND\ny = g(1, 2)", "y|  =  |g|(|1|, |2|)"},
      {"FUNCTION f(X[1..3])\n f := X[1]\nEND\ny = f(X[1..3])", "y|  =  |f|(|X_1..3}|||||)"},
  };
  for (const TShapeCase& c : cases) {
    const TFormatBox* list = Typeset(c.Statements);
    if (*c.Shape == '\0') continue;
    ASSERT_NE(list, nullptr) << c.Statements << ": " << CalcErrorCode;
    EXPECT_EQ(Shape(list), c.Shape) << c.Statements << "\n" << ListEquationCode(*CurrentEquation, MainProgramUnit);
    EXPECT_EQ(CalcErrorCode, 0) << c.Statements;
  }
}

TEST_F(FunctionLayoutTest, PlacementOfSignsLimitsAndRanges) {
  // The sum's limits stand centred under and over the sign, the summand
  // 4 px after it.
  const TFormatBox* list = Typeset("y = SUM(x[i], i=1, 10)");
  const TFormatBox* sign = FindRole(list, kRoleSumSign);
  ASSERT_NE(sign, nullptr);
  EXPECT_EQ(sign->FontSize, 24);
  EXPECT_EQ(sign->FontStyle, 5);
  const TFormatBox* lower = sign->Next;
  const TFormatBox* upper = lower->Next;
  EXPECT_EQ(lower->Rect.Bottom, sign->Rect.Bottom + 8);
  EXPECT_EQ(upper->Rect.Bottom, sign->Rect.Top + 4);
  EXPECT_EQ(lower->FontSize, 13);
  EXPECT_EQ(lower->Rect.Left, sign->Rect.Left + (sign->Width - lower->Width) / 2 - 2);
  EXPECT_GE(sign->Width, lower->Width + 3);
  EXPECT_EQ(upper->Next->Rect.Left, sign->Rect.Right + 4);

  // The definite integral: the upper limit above the lower one, both right
  // of the sign, then (integrand) d x.
  list = Typeset("y = INTEGRAL(x^2, x, 0, 1)");
  sign = FindRole(list, kRoleIntegralSign);
  ASSERT_NE(sign, nullptr);
  EXPECT_EQ(sign->Text, std::string(1, static_cast<char>(186)));
  upper = FindText(list, "1");
  lower = FindText(list, "0");
  ASSERT_TRUE(upper != nullptr && lower != nullptr);
  EXPECT_EQ(upper->FontSize, 12);
  EXPECT_LT(upper->Rect.Bottom, lower->Rect.Bottom);
  EXPECT_EQ(lower->Rect.Left, sign->Rect.Left + sign->Width);
  EXPECT_EQ(upper->Rect.Left, sign->Rect.Left + sign->Width + 1);
  const TFormatBox* d = FindText(list, "d");
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->Next->Text, "x");
  EXPECT_EQ(d->Next->Rect.Left, d->Rect.Right + 1);

  // X[1..3] as one argument: "X" and the range at 0.8 of its width.
  list = Typeset("FUNCTION f(X[1..3])\n f := X[1]\nEND\ny = f(X[1..3])");
  const TFormatBox* range = FindText(list, "X_1..3" + std::string(1, kCodeLoweredEnd));
  ASSERT_NE(range, nullptr);
  EXPECT_EQ(range->Width, 8 + 26);  // 8 + round(0.8 x 32)

  // CONVERT(ft, m): the factor times the italic m over ft.
  list = Typeset("y = CONVERT(ft, m)");
  const TFormatBox* m = FindText(list, "m");
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->FontStyle, 2);
  EXPECT_EQ(m->Next->Role, kRoleWidestFractionBar);
  EXPECT_EQ(m->Next->Next->Text, "ft");
}

// Hand-made code for the faults: an unreadable sub-code shows nothing, a
// sub-code outside its family is error 9, a missing INTEGRAL term 331.
TEST_F(FunctionLayoutTest, FaultsOfTheCode) {
  const int32_t C = CodeConstant;
  EXPECT_EQ(TypesetCode({CodeStringConstant, C, 200}, {2}), nullptr);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(TypesetCode({C, C, 200}, {9, 2}), nullptr);
  EXPECT_EQ(CalcErrorCode, kMsgSyntaxOrUndefinedFunction);
  EXPECT_EQ(TypesetCode({C, C, C, 203}, {2, 1, 2}), nullptr);
  EXPECT_EQ(CalcErrorCode, kMsgSyntaxOrUndefinedFunction);
  EXPECT_EQ(TypesetCode({C, C, C, C, 251}, {1, 2, 2, 88882}), nullptr);
  EXPECT_EQ(CalcErrorCode, kMsgIntegralNesting);
  // CONVERT with a unit held by a string variable: Convert(a, b), no factor.
  const Extended m = 20000 + StringConstIndex("m");
  TFormatBox* list = TypesetCode({C, C, C, 201}, {0.3048L, 5, m});
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(Shape(list), "Convert|(|5|, |'m'|)");
}

// ERROR and WARNING in a routine: a message longer than 30 characters
// shows its first 26 and "..".
TEST_F(FunctionLayoutTest, MessageCallsInRoutines) {
  ASSERT_EQ(Read("PROCEDURE q(a : b)\n CALL ERROR('this is a long message of forty chars!!!', a)\n"
                 " CALL WARNING('short')\n b := a\nEND\nCALL q(2 : b)"),
            0);
  std::vector<std::string> lines;
  for (TEquationRecord* e = RoutineAt(1)->FirstStatement; e != nullptr; e = e->Next) {
    CalcErrorCode = 0;
    TFormatBox* line = doFormatEqn(form, e, 0, 1);
    EXPECT_EQ(CalcErrorCode, 0) << ListEquationCode(*e, MainProgramUnit);
    if (line != nullptr) lines.push_back(Shape(line));
    DisposeFormatEqn(line);
  }
  EXPECT_EQ(lines, (std::vector<std::string>{"Call ERROR|(|'this is a long message of ..'|, |a|)",
                                             "Call WARNING|(|'short'|)", "b| := |a"}));
}

// A procedure with two inputs and three outputs compiles to three
// statements; only the third shows the call.
TEST_F(FunctionLayoutTest, ProcedureOutputsShowAtTheLastStatement) {
  ASSERT_EQ(Read("PROCEDURE p(a, b : c, d, e)\n c := a\n d := b\n e := a+b\nEND\nCALL p(1, 2 : u, v, w)"), 0);
  EXPECT_EQ(MainLines(), (std::vector<std::string>{"", "", "Call  p|(|1|, |2| : |u|, |v|, |w|)"}));
}

// The lookup functions over a tab "Lookup 1" of the Lookup Table window
// with the columns Column1 and Column2: the table by its name, a column
// given by number or name by its title, the by-name flag and the
// direction of an interpolation not shown.
TEST_F(FunctionLayoutTest, LookupTablesByTheirNames) {
  TableRowCounts[2] = 3;
  TableColumnCounts[2] = 2;
  TTableForm* table = CreateTableForm(kLookupTableKind);
  ASSERT_NE(table, nullptr);
  table->TableName = "Lookup 1";
  table->MultipleTableRefresh();
  const TShapeCase cases[] = {
      {"y = Lookup('Lookup 1', 2, 1)", "y|  =  |Lookup|(|'Lookup 1'|, |2|, |'Column1'|)"},
      {"y = Lookup('Lookup 1', 2, 'Column2')", "y|  =  |Lookup|(|'Lookup 1'|, |2|, |'Column2'|)"},
      {"y$ = Lookup$('Lookup 1', 2, 1)", "y$|  =  |Lookup$|(|'Lookup 1'|, |2|, |'Column1'|)"},
      {"y = LookupCol('Lookup 1', 2, 5)", "y|  =  |LookupCol|(|'Lookup 1'|, |2|, |5|)"},
      {"y = LookupRow('Lookup 1', 2, 5)", "y|  =  |LookupRow|(|'Lookup 1'|, |'Column2'|, |5|)"},
      {"c$ = 'Column1'\ny = LookupRow('Lookup 1', c$, 1)", "y|  =  |LookupRow|(|'Lookup 1'|, |c$|, |1|)"},
      // The compiler orders the columns dependent first; shown as written.
      {"y = Interpolate('Lookup 1', 'Column1', 'Column2', Column2=0.5)",
       "y|  =  |Interpolate|(|'Lookup 1'|, |'Column1'|, |'Column2'|, |Column2=|0.5|)"},
      {"y = Interpolate('Lookup 1', 'Column1', 'Column2', Column1=0.5)",
       "y|  =  |Interpolate|(|'Lookup 1'|, |'Column1'|, |'Column2'|, |Column1=|0.5|)"},
      {"y = Differentiate('Lookup 1', 'Column2', 'Column1', Column1=2)",
       "y|  =  |Differentiate|(|'Lookup 1'|, |'Column2'|, |'Column1'|, |Column1=|2|)"},
      // A table named by a string variable is known only when it runs.
      {"t$ = 'Lookup 1'\ny = Lookup(t$, 2, 1)", "y|  =  |Lookup|(|t$|, |2|, |'#1'|)"},
      {"y = TableValue('Table 1', 2, 'x')", "y|  =  |TableValue|(|'Table 1'|, |2|, |'x'|)"},
  };
  for (const TShapeCase& c : cases) {
    const TFormatBox* list = Typeset(c.Statements);
    ASSERT_NE(list, nullptr) << c.Statements << ": " << CalcErrorCode;
    EXPECT_EQ(Shape(list), c.Shape) << c.Statements << "\n" << ListEquationCode(*CurrentEquation, MainProgramUnit);
    EXPECT_EQ(CalcErrorCode, 0) << c.Statements;
  }
  // The name stands 3 px further from its parenthesis than its text.
  const TFormatBox* list = Typeset("y = LookupCol('Lookup 1', 2, 5)");
  const TFormatBox* name = FindText(list, "LookupCol");
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(name->FontStyle, 1);
  EXPECT_EQ(name->Width, 9 * 8 + 3);
  EXPECT_EQ(name->Next->Rect.Left, name->Rect.Right);
}

TEST_F(FunctionLayoutTest, TableNamesOfEveryKindOfIdentifier) {
  // Hand-calculated from the identifier ranges: tabs negative, files
  // 1..9999, string variables 10000 + their number, literals 20000 + theirs.
  EXPECT_EQ(LookupTableName(kLookupParametricId, 0), "'PARAMETRIC'");
  EXPECT_EQ(LookupTableName(-3, 0), "??");  // no such tab
  EXPECT_EQ(LookupTableName(20000 + StringConstIndex("steam.lkt"), 0), "'steam.lkt'");
  ASSERT_EQ(Read("t$ = 'a'"), 0);
  EXPECT_EQ(LookupTableName(10000 + IndexOf("t$"), 0), "t$");
  EXPECT_EQ(CalcErrorCode, 0);
  // A lookup file that is not loaded: error 66 with the lookup help.
  EXPECT_EQ(LookupTableName(7, 0), "??");
  EXPECT_EQ(CalcErrorCode, kMsgNoLookupTable);
  EXPECT_EQ(MessageHelpContext, 8);
  CalcErrorCode = 0;
  // Column numbers of digits only; an exponent is no column number.
  EXPECT_EQ(LookupColumnName(-3, 0, "1E2"), "1E2");
  EXPECT_EQ(LookupColumnName(-3, 0, "2"), "2");  // no such tab: the text stays

  // The statement with the missing file shows nothing and reports 66.
  const int32_t C = CodeConstant;
  EXPECT_EQ(TypesetCode({C, C, C, CodeStringConstant, C, 244}, {1, 7, 2, 1}), nullptr);
  EXPECT_EQ(CalcErrorCode, kMsgNoLookupTable);
}

// CALL of a SUBPROGRAM with two outputs is two statements, the second
// shows the call; a MODULE's CALL statement carries its arguments after
// its own code. Elements of a routine's array by a computed index show the
// index as a smaller subscript; MAX of a range shows the range once.
TEST_F(FunctionLayoutTest, UnitCallsArrayElementsAndRanges) {
  ASSERT_EQ(Read("SUBPROGRAM sp(a : b, c)\n b = a\n c = b\nEND\nCALL sp(1 : z, w)"), 0);
  EXPECT_EQ(MainLines(), (std::vector<std::string>{"", "Call  sp|(|1| : |z|, |w|)"}));
  // The second statement alone (the first was not laid out again): the
  // first output shows as unknown rather than wrong.
  DisposeFormatEqn(form.BoxBreakList);
  TEquationRecord* second = MainProgramUnit->FirstEquation->Next;
  DisposeFormatEqn(layout);
  layout = doFormatEqn(form, second, 0, 0);
  ASSERT_NE(layout, nullptr);
  EXPECT_EQ(Shape(layout), "Call  sp|(|1| : |????|, |w|)");

  ASSERT_EQ(Read("MODULE md(a : b)\n b = a\nEND\nCALL md(1 : z)"), 0);
  bool shown = false;
  for (TEquationRecord* e = MainProgramUnit->FirstEquation; e != nullptr; e = e->Next) {
    if (e->CalledUnit >= 0) continue;
    TFormatBox* line = doFormatEqn(form, e, 0, 0);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(Shape(line), "Call  md|(|1| : |z|)");
    EXPECT_EQ(CalcErrorCode, 0);
    DisposeFormatEqn(line);
    shown = true;
  }
  EXPECT_TRUE(shown);

  ASSERT_EQ(Read("DUPLICATE i=1,3\n x[i]=i\nEND\ny = MAX(x[1..3]) + Min(x[2], x[1..3])"), 0);
  EXPECT_EQ(MainLines().back(), "y|  =  |Max|(|x_1..3}|||||)| + |Min|(|x_2|, |x_1..3}|||||)");

  ASSERT_EQ(Read("FUNCTION g(n)\n X[1] := 2\n X[2] := 3\n g := X[n] + Y[n, 2]\nEND\ny = g(2)"), 0);
  TEquationRecord* e = RoutineAt(1)->FirstStatement->Next->Next;
  DisposeFormatEqn(layout);
  layout = doFormatEqn(form, e, 40, 1);
  ASSERT_NE(layout, nullptr) << CalcErrorCode;
  EXPECT_EQ(Shape(layout), "g| := |X|n| + |Y|n|,|2");
  const TFormatBox* x = FindText(layout, "X");
  const TFormatBox* n = x->Next;
  while (n->FontSize <= 0) n = n->Next;
  EXPECT_EQ(x->FontStyle, 0);
  EXPECT_EQ(n->FontSize, form.BaseFontSize - 2);
  EXPECT_EQ(n->Rect.Left, x->Rect.Left + x->Width - 2);  // 2 px into the name's advance
  EXPECT_GT(n->Rect.Top, x->Rect.Top);                   // lowered
  EXPECT_EQ(x->Rect.Bottom, n->Rect.Bottom);
}

// External routines by hand-made code: a key that names no routine shows
// "????"; the text an external function receives goes first, quoted; a
// procedure's outputs are collected up to the last output statement.
TEST_F(FunctionLayoutTest, ExternalRoutineCalls) {
  const int32_t C = CodeConstant;
  const Extended text = StringConstIndex("mode");
  TFormatBox* list = TypesetCode({C, C, C, C, C, OpExternalFunction}, {99, text, 1.5L, 2.5L, 3});
  ASSERT_NE(list, nullptr) << CalcErrorCode;
  EXPECT_EQ(Shape(list), "????|(|'mode'|, |1.5|, |2.5|)");
  list = TypesetCode({C, C, C, OpExternalFunction}, {99, 0, 1});
  ASSERT_NE(list, nullptr) << CalcErrorCode;
  EXPECT_EQ(Shape(list), "????|(||)");
  // u = 254(' ', 4, 2 inputs + 1, 2 outputs, key 99, k) for k = 1, 2.
  ASSERT_EQ(Read("u = 1\nv = 2"), 0);
  const int32_t u = IndexOf("u");
  const int32_t v = IndexOf("v");
  hand.StringOperands = {StringConstIndex(" ")};
  list = TypesetCode({CodeVariable, u, CodeStringConstant, C, C, C, C, C, OpExternalProcedure, OpEqual},
                     {4, 2, 2, 99, 1});
  EXPECT_EQ(list, nullptr);
  EXPECT_EQ(CalcErrorCode, 0);
  hand.StringOperands = {StringConstIndex("how")};
  list = TypesetCode({CodeVariable, v, CodeStringConstant, C, C, C, C, C, OpExternalProcedure, OpEqual},
                     {4, 2, 2, 99, 2});
  ASSERT_NE(list, nullptr) << CalcErrorCode;
  EXPECT_EQ(Shape(list), "Call  ????|(|'how', |4| : |u|, |v|)");
  // An array element without an index.
  hand.StringOperands = {StringConstIndex("X")};
  EXPECT_EQ(TypesetCode({C, CodeStringConstant, C, 234}, {1, 1}), nullptr);
  EXPECT_EQ(CalcErrorCode, kMsgSyntaxError);
}

}  // namespace
}  // namespace voq

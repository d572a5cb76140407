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
#include "core/message_ids.h"
#include "core/string_constants.h"
#include "language/code_listing.h"
#include "language/store_fixture.h"
#include "model/compiled_code.h"
#include "model/document_settings.h"
#include "model/program_units.h"
#include "model/routines.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"
#include "session/compile_driver.h"

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

}  // namespace
}  // namespace voq

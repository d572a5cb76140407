// The typesetter over statements the compiler made (and a few hand-built
// codes for the errors), on the fixed-width canvas: a 16 px base font whose
// characters are 8 px wide. A layout is written as its visible boxes in
// order, joined by "|": "__" a fraction bar, "[(" and ")]" drawn
// parentheses, "V" a radical, "!!" the bar of an absolute value, "-" the
// en dash, "." the middle dot.
#include "output/equation_typesetter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/number_format.h"
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
      case kRoleRadical: t = "V"; break;
      case kRoleAbsoluteBar: t = "!!"; break;
      default:
        for (char c : b->Text) {
          if (c == kCodeEnDash) {
            t += '-';
          } else if (c == kCodeMiddleDot) {
            t += '.';
          } else if (c == kCodeSuperscriptStart) {
            t += '^';
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

const TFormatBox* FindRole(const TFormatBox* list, int32_t role) {
  for (const TFormatBox* b = list; b != nullptr; b = b->Next) {
    if (b->Role == role) return b;
  }
  return nullptr;
}

const TFormatBox* FindText(const TFormatBox* list, const std::string& text) {
  for (const TFormatBox* b = list; b != nullptr; b = b->Next) {
    if (b->Text == text) return b;
  }
  return nullptr;
}

class TypesetterTest : public testing::LanguageStoreTest {
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
    editor.SetText(text);
    EquationsCompiled = false;
    CompileEquations(false, false);
    return CalcErrorCode;
  }

  // The layout of the main program's first statement.
  const TFormatBox* Typeset(const std::string& text) {
    EXPECT_EQ(Read(text), 0) << text;
    DisposeFormatEqn(layout);
    if (MainProgramUnit->FirstEquation == nullptr) return nullptr;
    layout = doFormatEqn(form, MainProgramUnit->FirstEquation, 40, 0);
    return layout;
  }

  // Every shown line of routine 1: indentation, then the layout.
  std::vector<std::string> RoutineLines() {
    std::vector<std::string> lines;
    IfDepth = 0;
    const TRoutineRecord* r = RoutineAt(1);
    if (r == nullptr) return lines;
    for (TEquationRecord* e = r->FirstStatement; e != nullptr; e = e->Next) {
      TFormatBox* line = doFormatEqn(form, e, 0, 1);
      EXPECT_EQ(CalcErrorCode, 0);
      if (line != nullptr) lines.push_back(std::to_string(line->Indent) + ":" + Shape(line));
      DisposeFormatEqn(line);
    }
    return lines;
  }

  // A statement of hand-made code.
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
  const char* Statement;
  const char* Shape;
};

// Fractions, parentheses by precedence, exponents.
TEST_F(TypesetterTest, LayoutsOfOperators) {
  const TShapeCase cases[] = {
      {"y = a/b/c", "y|  =  |a|__|b| . |c"},
      {"y = 1/2", "y|  =  |1| / |2"},
      {"y = 10/2", "y|  =  |10|__|2"},
      {"y = a/b/2", "y|  =  |a|__|b| . |2"},
      {"y = a - (b + c)", "y|  =  |a| - |(|b| + |c|)"},
      {"y = a - b*c", "y|  =  |a| - |b| . |c"},
      {"y = (a+b)*c", "y|  =  |(|a| + |b|)| . |c"},
      {"y = x^(a+b)", "y|  =  |x|[(|a| + |b|)]"},
      {"y = sin(x)^2", "y|  =  |sin|2|(|x|)"},
      {"y = -(a+b)", "y|  =  |-|(|a| + |b|)"},
      {"y = sqrt(a) + abs(b)", "y|  =  |V|a| + |!!|b|!!"},
      {"y = IF(a, b, c, d, e)", "y|  =  |If |(|a|, |b|, |c|, |d|, |e|)"},
      // A built-in constant: its value and units, after an empty name.
      {"y = g#", "y|  =  ||(|9.80665| |m/s^2|)"},
  };
  for (const TShapeCase& c : cases) {
    testing::FreshStore();
    const TFormatBox* list = Typeset(c.Statement);
    ASSERT_NE(list, nullptr) << c.Statement << ": " << CalcErrorCode;
    EXPECT_EQ(Shape(list), c.Shape) << c.Statement << "\n" << Listing();
    EXPECT_EQ(CalcErrorCode, 0);
  }
}

TEST_F(TypesetterTest, BuiltUpFractionGeometry) {
  const TFormatBox* list = Typeset("y = 10/2");
  const TFormatBox* head = FindRole(list, kRoleFractionHead);
  ASSERT_NE(head, nullptr);
  const TFormatBox* num = head->Next;
  const TFormatBox* bar = num->Next;
  const TFormatBox* den = bar->Next;
  ASSERT_EQ(num->Text, "10");
  EXPECT_EQ(bar->Width, 16 + 4);
  EXPECT_EQ(bar->Rect.Bottom - bar->Rect.Top, 1);
  EXPECT_EQ(bar->Marker, kMarkerFractionBar);
  // The drawn line lies 9 px below the bar box's top: the numerator ends
  // 2 px above it, the denominator starts 2 px below it, centred on it.
  EXPECT_EQ(num->Rect.Bottom, bar->Rect.Top + 7);
  EXPECT_EQ(den->Rect.Top, bar->Rect.Top + 11);
  EXPECT_EQ(num->Rect.Left, bar->Rect.Left + 2);
  EXPECT_EQ(den->Rect.Left, bar->Rect.Left + 6);
  EXPECT_EQ(form.ListMidLine(const_cast<TFormatBox*>(head)), bar->Rect.Top + 9);
  EXPECT_EQ(bar->Role, kRoleWidestFractionBar);
  // "y" and "=" stand on the line of the bar.
  const TFormatBox* y = FindText(list, "y");
  EXPECT_EQ((y->Rect.Top + y->Rect.Bottom) / 2, bar->Rect.Top + 9);
}

TEST_F(TypesetterTest, ExponentIsShrunkAndRaised) {
  const TFormatBox* list = Typeset("y = x^(a+b)");
  const TFormatBox* x = FindText(list, "x");
  const TFormatBox* a = FindText(list, "a");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->FontSize, 13);
  EXPECT_EQ(FindText(list, " + ")->FontSize, 13);
  EXPECT_EQ(FindText(list, " + ")->Role, kRoleText);  // no break inside an exponent
  const TFormatBox* open = FindRole(list, kRoleLeftParenthesis);
  ASSERT_NE(open, nullptr);
  EXPECT_LT(open->Rect.Top, x->Rect.Top);
  EXPECT_EQ(LastBox(const_cast<TFormatBox*>(list))->Marker, kMarkerExponentLast);

  // sin(x)^2: the 2 right after the name, its mid-line 3 px below the
  // name's top; the arguments after it.
  list = Typeset("y = sin(x)^2");
  const TFormatBox* sin = FindText(list, "sin");
  const TFormatBox* two = sin->Next;
  ASSERT_EQ(two->Text, "2");
  EXPECT_EQ(two->Marker, kMarkerExponentLast);
  EXPECT_EQ(two->Rect.Left, sin->Rect.Right);
  EXPECT_EQ((two->Rect.Top + two->Rect.Bottom) / 2, sin->Rect.Top + 3);
  EXPECT_EQ(FindText(list, "(")->Rect.Left, sin->Rect.Right + two->Width);
}

struct TConstantCase {
  Extended Value;
  const char* Text;
  int32_t Role;
  int32_t Width;  // hand count: 8 px a character, 2 more per en dash
};

TEST_F(TypesetterTest, Constants) {
  // Hand-written texts: the fewest digits that read back exactly.
  const std::string dash(1, kCodeEnDash);
  const TConstantCase cases[] = {
      {3.14159265359L, "\xE3", kRolePi, 8},
      {0.5L, "0.5", kRoleText, 24},
      // "x10 " (32 px) takes the place of "E" (8 px), and 1 px more.
      {1.5E-07L, "1.5E-7", kRoleExponentNumber, 48 + 2 + 32 - 8 + 1},
      // The automatic format writes 1E-6 and above in fixed notation.
      {1.5E-06L, "0.0000015", kRoleText, 72},
      {2500000.0L, "2.5E6", kRoleExponentNumber, 40 + 32 - 8 + 1},
      {3000000.0L, "3E6", kRoleExponentNumber, 24 + 32 - 8 + 1},
      {100.0L, "100", kRoleText, 24},
      {0.125L, "0.125", kRoleText, 40},
      {-2.75L, "-2.75", kRoleText, 42},
  };
  for (const TConstantCase& c : cases) {
    SignificantDigits = 7;
    TFormatBox* box = FormatConstant(form, c.Value);
    std::string expected = c.Text;
    for (char& ch : expected) {
      if (ch == '-') ch = kCodeEnDash;
    }
    EXPECT_EQ(box->Text, expected) << c.Text;
    EXPECT_EQ(box->Role, c.Role) << c.Text;
    EXPECT_EQ(SignificantDigits, 4);
    EXPECT_EQ(box->Width, c.Width) << c.Text;
    // Room above and below for the raised exponent.
    EXPECT_EQ(box->Rect.Bottom - box->Rect.Top, c.Role == kRoleExponentNumber ? 16 + 4 : 16) << c.Text;
    DisposeFormatEqn(box);
  }
}

TEST_F(TypesetterTest, NamesWithSubscriptsAndGreekLetters) {
  const TFormatBox* list = Typeset("T_1 = alpha_beta + x_a_b + X[3]");
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(Shape(list), "T_1|  =  |a_b| + |x_a_b| + |X_3");
  const TFormatBox* greek = FindText(list, "a_b");
  EXPECT_EQ(greek->FontStyle, 5);
  EXPECT_EQ(greek->GreekSubscript, 1);
  EXPECT_EQ(greek->GreekSubscript2, 0);
  const TFormatBox* two = FindText(list, "x_a_b");
  EXPECT_EQ(two->FontStyle, 0);
  EXPECT_EQ(two->GreekSubscript, 0);
  EXPECT_EQ(FindText(list, "T_1")->Width, 16);
}

TEST_F(TypesetterTest, LabelDuplicateAndStringStatements) {
  // A user label is its own statement: the underlined number and a colon.
  TFormatBox* list = TypesetCode({}, {});
  hand.Label = 10;
  list = TypesetCode({}, {});
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->Text, "10:");
  EXPECT_EQ(list->FontStyle, 4);
  hand.Label = 99999;
  EXPECT_EQ(TypesetCode({CodeConstant}, {1}), nullptr);
  hand.Label = 0;

  // DUPLICATE: the first copy shows the line as written with its range,
  // the others nothing.
  ASSERT_EQ(Read("DUPLICATE i=1,10\r\n  x[i] = i^2\r\nEND"), 0);
  std::vector<std::string> shown;
  for (TEquationRecord* e = MainProgramUnit->FirstEquation; e != nullptr; e = e->Next) {
    TFormatBox* line = doFormatEqn(form, e, 0, 0);
    if (line != nullptr) shown.push_back(Shape(line));
    DisposeFormatEqn(line);
  }
  EXPECT_EQ(shown, (std::vector<std::string>{"x_i|  =  |i|2|        |for | i| = |1  to  |10"}));
}

struct THandCase {
  const char* Name;
  std::vector<int32_t> Code;
  std::vector<Extended> Constants;
  int32_t CalledUnit;
  const char* Shape;
};

TEST_F(TypesetterTest, OperandsOfHandBuiltCode) {
  const int32_t one = StringConstIndex("one");
  const int32_t two = StringConstIndex("two");
  hand.StringOperands = {one, two};
  const THandCase cases[] = {
      // The second part of a CALL reads its pools after the first part's.
      {"CallSecondPart", {CodeConstant, CodeStringConstant, CodeOutputList, CodeConstant, CodeStringConstant,
                          OpAdd}, {1, 2}, -1, "2| + |'two'"},
      {"DegreeSuffix", {CodeConstant, CodeDegreeSuffix}, {30}, 0, "30\xB0"},
      {"RadianSuffix", {CodeConstant, CodeRadianSuffix}, {2}, 0, "2rad"},
      {"UserGoto", {CodeGotoLabel, 12}, {}, 0, "GoTo|12"},
      {"TableRunAndImaginaryUnit", {CodeTableRun, CodeImaginaryUnit, OpMultiply}, {}, 0, "TableRun#| . |i"},
      {"SeparatorItemPassedOver", {CodeConstant, OpSeparator, CodeConstant, OpSubtract}, {4, 3}, 0, "4| - |3"},
  };
  for (const THandCase& c : cases) {
    hand.CalledUnit = c.CalledUnit;
    const TFormatBox* list = TypesetCode(c.Code, c.Constants);
    ASSERT_NE(list, nullptr) << c.Name << " " << CalcErrorCode;
    EXPECT_EQ(Shape(list), c.Shape) << c.Name;
  }
  // The suffix widens its operand's box by its own width.
  const TFormatBox* list = TypesetCode({CodeConstant, CodeRadianSuffix}, {2});
  EXPECT_EQ(list->Width, 4 * 8);
  EXPECT_EQ(list->Rect.Right, 4 * 8);
  // The rewriting's GOTOs show nothing and name the label the next lines
  // wait for.
  EXPECT_EQ(TypesetCode({CodeGotoLabel, 30004}, {}), nullptr);
  EXPECT_EQ(PendingElseLabel, 30004);
  EXPECT_EQ(TypesetCode({CodeGotoLabel, 32001}, {}), nullptr);
  EXPECT_EQ(PendingUntilLabel, 32001);
}

struct TErrorCase {
  const char* Name;
  std::vector<int32_t> Code;
  std::vector<Extended> Constants;
  int32_t Error;
};

TEST_F(TypesetterTest, MalformedCodeGivesErrorsNotCrashes) {
  std::vector<int32_t> deep(2000, CodeConstant);
  deep.insert(deep.end(), 1999, OpAdd);
  const TErrorCase cases[] = {
      {"OperatorWithoutOperands", {CodeConstant, OpAdd}, {1}, kMsgSyntaxError},
      {"PowerWithoutBase", {CodeConstant, OpPower}, {1}, kMsgSyntaxError},
      {"OperandsLeftOver", {CodeConstant, CodeConstant}, {1, 2}, kMsgSyntaxOrUndefinedFunction},
      {"ComparisonWithTwoOperands", {CodeConstant, CodeConstant, OpCompare}, {1, 2}, kMsgIfOperator},
      {"UnknownComparison", {CodeConstant, CodeConstant, CodeConstant, OpCompare}, {9, 1, 2}, kMsgIfOperator},
      {"VariableNotInTheUnit", {CodeVariable, 4000}, {}, kMsgSyntaxOrUndefinedFunction},
      {"TooDeep", deep, std::vector<Extended>(2000, 1), kMsgStackLimit},
  };
  for (const TErrorCase& c : cases) {
    EXPECT_EQ(TypesetCode(c.Code, c.Constants), nullptr) << c.Name;
    EXPECT_EQ(CalcErrorCode, c.Error) << c.Name;
  }
  // A constant pool shorter than its code shows zeros rather than reading
  // past it.
  const TFormatBox* list = TypesetCode({CodeConstant, CodeConstant, OpAdd}, {5});
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(Shape(list), "5| + |0");
}

// Block IF, ELSE, ENDIF and REPEAT/UNTIL inside a routine: the lines and
// their indentation (IndentStep 24).
TEST_F(TypesetterTest, BlocksInsideAFunction) {
  ASSERT_EQ(Read("FUNCTION f(x)\r\n"
                 "  IF x > 0 THEN y := 1 ELSE y := 2\r\n"
                 "  f := y\r\n"
                 "END\r\n"
                 "z = f(3)"),
            0);
  ASSERT_NE(RoutineAt(1), nullptr);
  EXPECT_EQ(RoutineLines(), (std::vector<std::string>{"0:If  |(|x| > |0|)|  Then", "24:y| := |1", "12:Else",
                                                      "24:y| := |2", "0:EndIf", "0:f| := |y"}));

  testing::FreshStore();
  ASSERT_EQ(Read("FUNCTION g(a)\r\n"
                 "  x := a\r\n"
                 "  REPEAT\r\n"
                 "    x := x + 1\r\n"
                 "  UNTIL x >= 10\r\n"
                 "  g := x\r\n"
                 "END\r\n"
                 "r = g(0)"),
            0);
  EXPECT_EQ(RoutineLines(), (std::vector<std::string>{"0:x| := |a", "0:Repeat", "24:x| := |x| + |1",
                                                      "0:Until |(|x| >= |10|)", "0:g| := |x"}));

  // Blocks without ELSE close with their EndIf too, nested ones each.
  testing::FreshStore();
  ASSERT_EQ(Read("FUNCTION h(x)\r\n"
                 "  y := 0\r\n"
                 "  IF (x < 1) AND (x <> 0) THEN\r\n"
                 "    IF x > 0 THEN\r\n"
                 "      y := 1\r\n"
                 "    ELSE\r\n"
                 "      IF x < -1 THEN\r\n"
                 "        y := 2\r\n"
                 "      ENDIF\r\n"
                 "    ENDIF\r\n"
                 "  ENDIF\r\n"
                 "  h := y\r\n"
                 "END\r\n"
                 "z = h(3)"),
            0);
  EXPECT_EQ(RoutineLines(),
            (std::vector<std::string>{"0:y| := |0", "0:If  |(|(|x| < |1|)| and |(|x| <> |0|)|)|  Then",
                                      "24:If  |(|x| > |0|)|  Then", "48:y| := |1", "36:Else",
                                      "48:If  |(|x| < |-|1|)|  Then", "72:y| := |2", "48:EndIf", "24:EndIf",
                                      "0:EndIf", "0:h| := |y"}));
}

// In complex mode the names lose their part suffix and the imaginary
// part's operands are passed over: the statement as it was written.
TEST_F(TypesetterTest, ComplexStatementShowsThePlainNames) {
  Preferences.ComplexMode = 1;
  const TFormatBox* list = Typeset("$Complex On\r\nz = x*i + 2");
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(Shape(list), "z|  =  |x| . |i| + |2") << Listing();
}

}  // namespace
}  // namespace voq

#include "language/statement_preparation.h"

#include <string>

#include <gtest/gtest.h>

#include "language/store_fixture.h"

namespace voq::testing {
namespace {

class StatementPreparationTest : public LanguageStoreTest {
 protected:
  // The prepared text with the marker bytes spelled out: byte 192 "~", byte 193 "$END".
  static std::string Shown(const std::string& text) {
    std::string out;
    for (char c : text) {
      if (c == kMarkNegate) {
        out += "~";
      } else if (c == kMarkEnd) {
        out += "$END";
      } else {
        out += c;
      }
    }
    return out;
  }
  std::string Prepared(std::string text) {
    CalcErrorCode = 0;
    StripBlanks(text, 255);
    if (CalcErrorCode != 0) return "error " + std::to_string(CalcErrorCode);
    PrepareStatement(text, 255);
    if (CalcErrorCode != 0) return "error " + std::to_string(CalcErrorCode);
    return Shown(text);
  }
};

TEST_F(StatementPreparationTest, RewritesIntoCanonicalShape) {
  const struct {
    const char* statement;
    const char* prepared;
  } cases[] = {
      {"x = 2*y+1", "(x)=(2*y+1)$END"},
      {"x = - y", "(x)=(~y)$END"},
      {"x = a--b", "(x)=(a+b)$END"},
      {"x = a**2", "(x)=(a^2)$END"},
      {"x = +a", "(x)=(a)$END"},
      {"x = a+-b", "(x)=(a-b)$END"},
      {"x = a*(-b)", "(x)=(a*(~b))$END"},
      {"x = a*-b", "(x)=(a*~b)$END"},  // rejected by the compiler, not here
      {"-x = y", "(~x)=(y)$END"},
      {"y = 1.5E-3 + 2e+5", "(y)=(1.5E-3+2e+5)$END"},
      // Literals are protected: no rewrite reaches inside the quotes, blanks stay.
      {"s$ = 'a--b  c'", "(s$)=('a--b  c')$END"},
      {"s$ = g$('', 'a**b')", "(s$)=(g$('','a**b'))$END"},
      // Two literals joined by "+" pass here; the operand compiler refuses them.
      {"s$ = 'a' + 'b'", "(s$)=('a'+'b')$END"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Prepared(c.statement), c.prepared) << c.statement;
  }
}

TEST_F(StatementPreparationTest, ErrorsOfPreparation) {
  const struct {
    const char* statement;
    int32_t error;
  } cases[] = {
      {"x = a b", 9},
      {"IF x>1 THEN y=2", 244},
      {"x = (a)(b)", 3},
      {"x = f()", 3},
      {"x = a^+b", 3},
      {"x = a+", 3},
      {"x = a=*b", 3},
      {"x + = 1", 3},
      {"a = b)", 3},
      {"x = (a", 1},
      {"x[1 = 2", 76},
      {"x + 1", 12},
      {"x = 1 = (2)", 13},
      {"s$ = 3", 246},
      {"s$ = a", 246},
      {"x = 'a'", 245},
      {"x = a$", 245},
      {"x = a$ * 2", 245},
      {"x = a$^2", 245},
      {"s$ = 'abc", 343},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Prepared(c.statement), "error " + std::to_string(c.error)) << c.statement;
  }
}

TEST_F(StatementPreparationTest, StringErrorsCarryHelpContext) {
  Prepared("s$ = 3");
  EXPECT_EQ(MessageHelpContext, 190);
  Prepared("s$ = 'abc");
  EXPECT_EQ(MessageArgs[1], "in s$='abc");
}

TEST_F(StatementPreparationTest, LeadingBlankMovesErrorStart) {
  CalcErrorStart = 10;
  std::string text = "  x=1";
  StripBlanks(text, 255);
  EXPECT_EQ(text, "x=1");
  EXPECT_EQ(CalcErrorStart, 12);
}

TEST_F(StatementPreparationTest, CommaDecimalSeparatorMakesSemicolonTheArgumentSeparator) {
  SetDecimalSeparator(',');
  EXPECT_EQ(DelimiterPosition(';'), 4);
  EXPECT_EQ(DelimiterPosition(','), 0);
  EXPECT_EQ(Prepared("y = f(1,5;2)"), "(y)=(f(1,5;2))$END");
  EXPECT_EQ(Prepared("y = f(1;;2)"), "error 3");
  SetDecimalSeparator('.');
  EXPECT_EQ(DelimiterPosition(','), 4);
}

TEST_F(StatementPreparationTest, WrappedStatementThatNoLongerFitsIsRefused) {
  std::string text = "x=" + std::string(249, '1');  // 251 characters; wrapped 256
  PrepareStatement(text, 255);
  EXPECT_EQ(CalcErrorCode, 340);
  text = "x=" + std::string(248, '1');
  PrepareStatement(text, 255);
  EXPECT_EQ(CalcErrorCode, 0);
  EXPECT_EQ(text.size(), 255u);
}

TEST_F(StatementPreparationTest, ComplexModeRewrites) {
  std::string text = "(x)=(3<45+1)";
  RewritePolarNotation(text, 255);
  EXPECT_EQ(text, "(x)=(PolarToRect(3,45)+1)");
  text = "(y)=(a*(x_R))";
  RewriteComplexPartSuffix(true, text);
  EXPECT_EQ(text, "(y)=(a*(Real(x)))");
  // An operand right after the left side's parenthesis keeps its suffix.
  text = "(x_I)=(2)";
  RewriteComplexPartSuffix(false, text);
  EXPECT_EQ(text, "(x_I)=(2)");
}

}  // namespace
}  // namespace voq::testing

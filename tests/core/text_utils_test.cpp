#include "core/text_utils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"

namespace voq {
namespace {

class TextUtilsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDecimalSeparator('.');
    CalcErrorCode = 0;
  }
  void TearDown() override {
    SetDecimalSeparator('.');
    CalcErrorCode = 0;
  }
  ScriptedPlatform platform;
  ScopedPlatform scoped{platform};
};

TEST_F(TextUtilsTest, TrimAndBlanks) {
  std::string text = "\t  a b \r\n";
  TrimShort(text);
  EXPECT_EQ(text, "a b");
  text = "  abcdef ";
  TrimShort(text, 3);
  EXPECT_EQ(text, "abc");
  text = " 1 000 ";
  RemoveBlanks(text);
  EXPECT_EQ(text, "1000");
}

TEST_F(TextUtilsTest, ReplaceAllShortSearchesAgainFromTheStart) {
  std::string text = "aaaa";
  ReplaceAllShort("aa", "a", text);  // aaaa -> aaa -> aa -> a
  EXPECT_EQ(text, "a");
  text = "x--y";
  ReplaceAllShort("-", "+", text);
  EXPECT_EQ(text, "x++y");
  text = "abc";
  ReplaceAllShort("b", "0123456789", text, 5);
  EXPECT_EQ(text, "a0123");
}

TEST_F(TextUtilsTest, ReplaceAllShortWithReplacementHoldingFindEnds) {
  std::string text = "aba";
  ReplaceAllShort("a", "aa", text);
  EXPECT_EQ(text, "aabaa");
  text = "abc";
  ReplaceAllShort("", "x", text);
  EXPECT_EQ(text, "abc");
}

TEST_F(TextUtilsTest, ReplaceAllTextIgnoresCaseAndDoesNotRescan) {
  EXPECT_EQ(ReplaceAllText("ab", "AB-ab", "xAbyaBz"), "xAB-abyAB-abz");
  EXPECT_EQ(ReplaceAllText("", "q", "text"), "text");
  EXPECT_EQ(ReplaceAllText("%%1", "", "The %%1 is"), "The  is");
}

TEST_F(TextUtilsTest, Quotes) {
  EXPECT_EQ(StripQuotes("'abc'"), "abc");
  EXPECT_EQ(StripQuotes("'abc"), "'abc");
  EXPECT_EQ(StripQuotes("''"), "");

  struct Case {
    const char* text;
    const char* result;
    int32_t error;
  };
  const std::vector<Case> cases = {
      {"abc", "abc", 0}, {"'a b'", "a b", 0}, {"'ab", "ab", 343}, {"'a'b'", "ab", 343},
  };
  for (const Case& c : cases) {
    CalcErrorCode = 0;
    MessageArgs[1] = "old";
    std::string text = c.text;
    RemoveQuoteChars(text);
    EXPECT_EQ(text, c.result);
    EXPECT_EQ(CalcErrorCode, c.error) << c.text;
    if (c.error) {
      EXPECT_EQ(MessageArgs[1], "");
    }
  }
}

TEST_F(TextUtilsTest, ProtectQuotedSpaces) {
  // Positions: 1 ' 2 a 3 blank 4 b 5 ' 6 blank 7 ' 8 c 9 blank 10 d 11 '
  const std::string base = "'a b' 'c d'";
  struct Case {
    int32_t pos;
    bool inside;
  };
  const std::vector<Case> cases = {{3, true}, {9, true}, {6, false}, {1, false}, {5, false},
                                   {0, false}, {12, false}};
  for (const Case& c : cases) {
    std::string text = base;
    EXPECT_EQ(ProtectQuotedSpaces(text, c.pos), c.inside) << c.pos;
    if (c.inside) {
      EXPECT_EQ(text[c.pos - 1], kProtectedSpace);
    } else {
      EXPECT_EQ(text, base);
    }
  }
  std::string unclosed = "x 'a b";
  EXPECT_FALSE(ProtectQuotedSpaces(unclosed, 5));
}

TEST_F(TextUtilsTest, SplitFirstToken) {
  struct Case {
    const char* line;
    const char* token;
    const char* rest;
  };
  const std::vector<Case> cases = {
      {"Plot  'a b'=3", "Plot", "'a b'=3"},
      {"x[1,2]=5", "x[1,2]", "5"},
      {"  \tOpen\tfile.txt", "Open", "file.txt"},
      {"'a=b' c", "'a=b'", "c"},
      {"a,b", "a", "b"},
      {"single", "single", ""},
  };
  for (const Case& c : cases) {
    std::string line = c.line;
    std::string token = "junk";
    SplitFirstToken(line, token);
    EXPECT_EQ(token, c.token) << c.line;
    EXPECT_EQ(line, c.rest) << c.line;
  }
}

TEST_F(TextUtilsTest, SplitFirstTokenUsesSemicolonUnderCommaSeparator) {
  SetDecimalSeparator(',');
  std::string line = "f(1,5);2";
  std::string token;
  SplitFirstToken(line, token);
  EXPECT_EQ(token, "f(1,5)");
  EXPECT_EQ(line, "2");
}

TEST_F(TextUtilsTest, CopyTextToClipboard) {
  EXPECT_FALSE(CopyTextToClipboard(""));
  EXPECT_TRUE(CopyTextToClipboard("x = 1"));
  std::string text;
  ASSERT_TRUE(platform.GetClipboardText(text));
  EXPECT_EQ(text, "x = 1");
}

}  // namespace
}  // namespace voq

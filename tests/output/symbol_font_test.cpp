#include "output/symbol_font.h"

#include <gtest/gtest.h>

namespace voq {
namespace {

// Expected characters from the Unicode Consortium's Adobe Symbol mapping,
// https://www.unicode.org/Public/MAPPINGS/VENDORS/ADOBE/symbol.txt.
TEST(SymbolToUnicodeTest, GreekLettersAndSigns) {
  struct Case {
    int Code;
    uint32_t Unicode;
  };
  const Case cases[] = {
      {'a', 0x03B1}, {'b', 0x03B2}, {'c', 0x03C7}, {'d', 0x03B4}, {'e', 0x03B5}, {'f', 0x03C6},
      {'g', 0x03B3}, {'h', 0x03B7}, {'i', 0x03B9}, {'j', 0x03D5}, {'k', 0x03BA}, {'l', 0x03BB},
      {'m', 0x03BC}, {'n', 0x03BD}, {'q', 0x03B8}, {'r', 0x03C1}, {'s', 0x03C3}, {'t', 0x03C4},
      {'u', 0x03C5}, {'w', 0x03C9}, {'x', 0x03BE}, {'y', 0x03C8}, {'z', 0x03B6},
      {'D', 0x0394}, {'F', 0x03A6}, {'G', 0x0393}, {'J', 0x03D1}, {'L', 0x039B}, {'Q', 0x0398},
      {'S', 0x03A3}, {'W', 0x03A9}, {'X', 0x039E}, {'Y', 0x03A8},
      {165, 0x221E}, {182, 0x2202}, {208, 0x2220}, {176, 0x00B0}, {177, 0x00B1}, {242, 0x222B},
      {183, 0x2022}, {213, 0x220F}, {229, 0x2211}, {168, 0x2666}, {185, 0x2260}, {187, 0x2248},
      {163, 0x2264}, {171, 0x2194}, {172, 0x2190}, {173, 0x2191}, {174, 0x2192}, {175, 0x2193},
      {179, 0x2265}, {219, 0x21D4}, {222, 0x21D2}, {'0', 0x0030}, {'+', 0x002B}, {'-', 0x2212},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SymbolToUnicode(static_cast<uint8_t>(c.Code)), c.Unicode) << c.Code;
  }
  EXPECT_EQ(SymbolToUnicode(0x0E), 0u);
  EXPECT_EQ(SymbolToUnicode(0x90), 0u);
}

TEST(SymbolToUnicodeTest, TextBecomesUtf8) {
  const std::string symbol = std::string("a") + static_cast<char>(208) + static_cast<char>(0x90);
  EXPECT_EQ(SymbolTextToUtf8(symbol), "\xCE\xB1\xE2\x88\xA0 ");
}

}  // namespace
}  // namespace voq

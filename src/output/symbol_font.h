#pragma once
// The Symbol font's codes as Unicode characters. Texts keep the Symbol
// font's single-byte codes (Greek letters at the Latin letters' places,
// 165 infinity, 182 partial, 208 angle ...); a face without that encoding
// draws them through this table.
#include <cstdint>
#include <string>

namespace voq {

// The Unicode character of Symbol-font code 0 to 255; 0 where the code has
// no character (controls, 127 to 159, the pieces of large brackets).
uint32_t SymbolToUnicode(uint8_t code);
// A text of Symbol-font codes as UTF-8; codes without a character become
// blanks.
std::string SymbolTextToUtf8(const std::string& text);

}  // namespace voq

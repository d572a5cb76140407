#pragma once
// The text rewrites that turn the equation language's plain notation into
// LaTeX for the report: Greek-letter names, accents, powers and named
// superscripts, subscripts, array indices, numbers in exponent notation,
// italic multi-letter names, and the protection of the characters LaTeX
// treats specially. Each rewrite takes the text by reference and rewrites it
// in place. Texts stay Windows-1252 bytes, as the report file is written in
// that code page.
//
// While a text passes through the chain, characters a later rewrite must not
// see are held as control characters (the kLatex... codes below); every one
// of them is turned back before the text reaches the file.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace voq {

inline constexpr char kLatexItemMark = 11;       // the item a rewrite is working on
inline constexpr char kLatexSkipMark = 12;       // a name occurrence the call search passes
inline constexpr char kLatexDollar = 14;         // the user's $ % # & { }, protected
inline constexpr char kLatexPercent = 15;
inline constexpr char kLatexHash = 16;
inline constexpr char kLatexAmpersand = 17;
inline constexpr char kLatexOpenBrace = 18;
inline constexpr char kLatexCloseBrace = 19;
inline constexpr char kLatexInfinity = 23;       // "infinity" after "_"
inline constexpr char kLatexSubscriptComma = 24; // a second subscript part
inline constexpr char kLatexLiteral = 25;        // where a quoted string literal stood
inline constexpr char kLatexBackQuote = 26;
inline constexpr char kLatexBackslash = 27;
inline constexpr char kLatexArgumentOpen = 28;   // braces around a converted call's arguments
inline constexpr char kLatexArgumentClose = 29;
inline constexpr char kLatexBracket = 30;        // a "[" that is not an array index
inline constexpr char kLatexSlash = 31;          // a "/" that is not a fraction bar

// Blank = + - * / ^ { } ( ) , : ; [ ] byte 192, CR, double quote.
extern const std::string LatexNameSeparators;
// Blank = + - * / ^ , : ; byte 192, CR, double quote.
extern const std::string LatexOperatorSeparators;

struct TGreekLetterEntry {
  const char* Name;  // upper case; empty entries never match
  bool Capital;      // LaTeX has a capital form of the letter
};
// One entry per letter A..Z.
extern const std::array<TGreekLetterEntry, 26> GreekLetterTable;

void LatexTrimRight(std::string& text);
// protect: $ % # & { } to the codes 14..19 (a trailing "&", the line's
// continuation mark, stays); unprotect: the codes to \$ \% \# \& \{ \}.
void LatexProtectSpecials(std::string& text, bool protect);
// extract: each 'literal' to code 25, its text appended to literals;
// restore: each code 25 to \SC{literal} with LaTeX's specials escaped. The
// list is empty afterwards.
void LatexStringLiterals(std::string& text, bool extract, std::vector<std::string>& literals);
// alpha to \alpha, DELTA to \Delta, DeltaP to {\delta P}. In text mode (math
// false) each command is wrapped in "$".
void LatexGreekLetters(std::string& text, bool math);
// word + suffix to command{word}: m_dot with "_dot", "\dot " gives \dot {m}.
void LatexAccents(std::string& text, const std::string& suffix, const std::string& command, bool math);
// "^" powers (named false) or "|" named superscripts (named true) to ^{...}.
void LatexSuperscripts(std::string& text, bool math, bool named);
// "_" subscripts to _{...}; a second part becomes code 24 (the argument
// separator once the line is finished), "infinity" code 23.
void LatexSubscripts(std::string& text, bool math);
// x[i] to x_{i}; x_{1}[2] to x_{1,2}; code 30 to "[".
void LatexArrayIndices(std::string& text);
// 1.5E-3 to 1.5\times 10^{-3}, or boxed to 1.5\mbox{E-3}.
void LatexExponents(std::string& text, bool boxed);
// The Windows-1252 "å" to \mbox{\aa} (math) or \aa (text).
void LatexRingA(std::string& text, bool math);
// Names of two or more letters to \V{name} and a blank.
void LatexItalicNames(std::string& text);
// A caption of at most 255 characters: "&" escaped, a word beginning with
// "_" set in math.
void LatexEscapeCaption(std::string& text);

std::string LatexColourName(int32_t index);
std::string LatexHighlightColour(int32_t index);
std::string LatexCellColour(int32_t index);

// The text, in upper case, is a Greek letter's name.
bool IsGreekName(const std::string& text);

// Shared by the expression rewrites: the upper-case ASCII form of a byte,
// and a case-insensitive search for an upper-case pattern from a position.
char LatexUpper(char c);
size_t LatexFindNoCase(const std::string& text, const std::string& upperPattern, size_t from = 0);
// Every byte from becomes the text to.
void LatexReplaceChar(std::string& text, char from, const std::string& to);

}  // namespace voq

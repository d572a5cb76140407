#pragma once
// Preparation of a statement before it is compiled: blanks removed, string
// literals protected, sign sequences folded, pairs the compiler cannot handle
// rejected, parentheses, brackets and the equal sign counted, the equation
// wrapped as (left)=(right) followed by the end byte, string operations
// checked, and in complex mode the polar and part-suffix forms rewritten.
// Statements are byte strings of at most maxLength (255) characters.
#include <cstdint>
#include <string>
#include <vector>

namespace voq {

// Bytes with a meaning inside a statement text during compilation.
inline constexpr char kMarkNegate = static_cast<char>(192);    // unary minus
inline constexpr char kMarkEnd = static_cast<char>(193);       // end of the prepared text
inline constexpr char kMarkNextPiece = static_cast<char>(194); // continue with PendingTextPieces

// The scanner's character sets. The "," of DelimiterChars and
// TokenSeparators is the ArgumentSeparator, ";" when the decimal separator
// is a comma.
extern std::string DelimiterChars;   // byte 193 ) ( , + - = * / byte 192 ^ :
extern std::string TokenSeparators;  // ends a name
extern std::string WordSeparators;   // TokenSeparators without [ and ]
extern std::string DigitChars;       // digits and the decimal separator
extern std::string NumberChars;      // digits, decimal separator, E + -
extern std::string LetterSet;        // A..Z
// Magnitude/angle separator of complex polar notation, and the imaginary unit.
extern char PolarAngleChar;
extern char ComplexLetter;
// [0] the statement as preparation found it, then the literals' contents.
extern std::vector<std::string> StringLiteralStack;
// Set by the CALL compiler while it compiles a generated assignment to a
// string output (the string-assignment check is then skipped).
extern bool StringOutputAssignment;

// Builds the character sets from the current decimal and argument
// separators. Called at start-up and when the decimal separator changes;
// EnsureScannerCharacterSets rebuilds them only when the separator changed.
void BuildScannerCharacterSets();
void EnsureScannerCharacterSets();

// 1-based position of c in DelimiterChars, 0 when absent: the operator code.
int32_t DelimiterPosition(char c);
bool IsTokenSeparator(char c);
bool IsWordSeparator(char c);

void StripBlanks(std::string& text, int32_t maxLength);
void ExtractStringLiterals(std::string& text, int32_t maxLength);
void RestoreStringLiterals(std::string& text, int32_t maxLength);
void PrepareStatement(std::string& text, int32_t maxLength);
void RewritePolarNotation(std::string& text, int32_t maxLength);
void RewriteComplexPartSuffix(bool realPart, std::string& text);

}  // namespace voq

#pragma once
// Conversion between 10-byte reals and text under the system decimal
// separator, and the small integer/real helpers every subsystem shares.
// All conversions run in the "C" numeric convention whatever the process
// locale is; the separator is handled here explicitly.
#include <cstdint>
#include <string>

#include "core/extended.h"
#include "core/number_format.h"

namespace voq {

// Reads text as a decimal number: optional leading blanks, optional sign,
// digits with an optional point (digits may be missing on one side of it),
// optional exponent "E"/"e" with optional sign and at least one digit. The
// first system decimal separator counts as the point. errorPos is 0 on
// success, else the 1-based position of the first character that does not
// fit (length + 1 when the text ends too early; an empty text fails with 1).
// A number beyond the range of the 10-byte real also fails.
void StrToReal(const std::string& text, Extended& value, int32_t& errorPos);
// StrToReal; on failure false and value unchanged.
bool TryStrToReal(const std::string& text, Extended& value);
// Reads a number typed by the user: blanks ignored, "INF"/"-INF" (any case,
// any following characters) read as plus or minus InfinityValue, a trailing
// decimal separator allowed. Failure: BlankValue and ok false.
Extended ParseReal(const std::string& text, bool& ok);

// The text of value in a display format: style 1 fixed with Digits decimals,
// style 4 the string constant whose index is the value, any other style
// exponential with Digits decimals (at least 1, at most 17) and an exponent
// of at least two digits. InfinityValue reads "infinity".
void RealToStr(std::string& text, const TDisplayFormat& format, Extended value);
std::string RealToStr(const TDisplayFormat& format, Extended value);

// The two runtime conversions RealToStr and FormatValue build on; both give
// a leading blank for a non-negative value and, for the exponential form,
// "E", the exponent's sign and four exponent digits.
// Fixed: decimals after the point, in a field of 21 characters; magnitudes of
// 1E36 and above come out in the exponential form with 13 significant digits.
std::string FixedConversion(Extended value, int32_t decimals);
// Exponential with the given significant digits (cut to 2..18).
std::string ExponentialConversion(Extended value, int32_t significant);

// Reads a whole number: the text's value truncated toward zero ("12.7"
// gives 12). ok is false, n 0, on a conversion error or outside int32.
void StrToLongSafe(const std::string& text, int32_t& n, bool& ok);
// Decimal text of n, cut to maxLength characters.
void IntToShort(int64_t n, std::string& text, int32_t maxLength);

// 2 when a = b (also when unordered), 0 when a > b, 1 when a < b.
uint8_t CompareReals(Extended a, Extended b);
// Nearest integer, an exact half upward: 2.5 -> 3, -2.5 -> -2.
Extended RoundReal(Extended x);
// Toward zero; NaN gives 0, values beyond the int64 range its limit.
int64_t TruncReal(Extended x);
Extended IntToReal(int64_t n);
// +1 for x >= 0, else -1.
int32_t SignOf(Extended x);
Extended SignReal(Extended x);
// False, and x := 0.999, when x is not a number (adding 1 raises the
// invalid-operation flag, or the value is a quiet NaN); true otherwise.
bool IsValidReal(Extended& x);

// Converts the decimal and list separators of text written under the other
// decimal convention (SavedDecimalSeparator) to the current one.
void LocalizeDecimalSeparator(std::string& text);

}  // namespace voq

#pragma once
// The rewrites of the report's equation lines that understand expressions:
// unit conversions, quotients, calls of mathematical, built-in, user and
// external functions, property functions, factorials, integrals, sums and
// products, and the spacing after argument separators. They work in math
// mode on a line whose user-typed $ % # & { } are protected and whose string
// literals are taken out (latex_text.h), in the order the equation writer
// applies them.
#include <cstddef>
#include <string>

namespace voq {

// The name found at p, whose pattern ends before q, is a whole word that is
// called: it starts the text or follows a token separator, and q is past the
// end or holds "(".
bool IsCallAt(const std::string& text, size_t p, size_t q);

// Convert(from, to) to the factor with its units in brackets; ConvertTemp
// calls are left alone. A failing conversion is written with whatever factor
// text the unit service gives, its error cleared.
void LatexUnitConversion(std::string& text);
// Every a/b to \frac {a}{ b }, or a/b kept when both sides are simple names
// or numbers (names of two or more letters in \V).
void LatexFractions(std::string& text);
// Every call of one function name to command, code 28, (arguments), code 29.
// A name inside a longer word, or not followed by "(", is passed.
void LatexFunctionCall(std::string& text, const std::string& name, const std::string& command);
// Factorial(n) to n!, Factorial(n+1) to (n+1)!.
void LatexFactorial(std::string& text);
// The mathematical functions, the built-in functions written by name and the
// Bessel functions, the user functions and the external functions.
void LatexFunctionCalls(std::string& text);
// Property calls, once their parentheses are \left( and \right): the name
// becomes its command and the substance \F{substance}.
void LatexPropertyCalls(std::string& text);
// The Integral call (the later of two) to \int_{a}^{b} f\ dx, or \int f\ dx
// without limits. True when a call was converted.
bool LatexIntegral(std::string& text);
// \F{Sum} and \F{Product} calls with an index range to \sum or \prod with
// limits; upperName is SUM or PRODUCT.
void LatexSumProduct(std::string& text, const std::string& upperName);
// A LaTeX space after each argument separator.
void LatexSeparatorSpacing(std::string& text);

// The command of a property function: "\" and the name in lower case
// without its first "_" (T_crit gives \tcrit).
std::string LatexPropertyCommand(const std::string& name);

}  // namespace voq

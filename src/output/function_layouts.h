#pragma once
// The typesetter's builders of function codes: built-in calls with their
// display names (Bessel functions, complex parts, the polar angle, the
// families read by a sub-code), property calls with labelled arguments,
// unit conversion as a factor times a unit fraction, Min/Max and their
// relatives, sums and products under a large sign, integrals with their
// limits, calls of user functions and procedures (outputs spread over
// several statements are shown once, at the last), ERROR and WARNING, and
// array elements. InstallFunctionLayouts hands them to the typesetter
// (SetFunctionCodeLayout).
#include <cstdint>
#include <string>

#include "output/equation_typesetter.h"

namespace voq {

void InstallFunctionLayouts();

// Lays out function code c with the walk's top entries; false for codes
// these builders leave to the typesetter.
bool LayoutFunctionCode(TTypesetWalk& walk, int32_t code);

// An argument of a routine call with display number v of its argument
// list: -1 hidden; above 0 the range text of string constant v ("X_1..5"),
// its width counting the subscript at 0.8 of the base's.
void FixArrayDotDot(TFormattedForm& form, TFormatBox* box, int32_t v);

// The name a lookup call shows for table identifier t: a tab's or a lookup
// file's name quoted, 'PARAMETRIC', a string literal quoted, a string
// variable's name (a routine's local inside routine inFunction), "??" when
// unknown. A lookup file that does not exist is error 66.
std::string LookupTableName(int32_t t, int32_t inFunction);
// The quoted title of column n of table t; n <= 0 takes the number from an
// argument text of digits (no exponent). The argument's text when there is
// no such column.
std::string LookupColumnName(int32_t t, int32_t n, const std::string& argument);

// The display name of sub-code sub of a family (200, 202, 216, 217, 233,
// 247, 249, 250); empty when sub names no member.
std::string FamilyMemberName(int32_t code, int32_t sub);

}  // namespace voq

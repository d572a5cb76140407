// The built-in function names of the equation language, one row per name in
// alphabetical order of the upper-case name ("Duplicate" filed under D):
// name, argument count, opcode, sub-code, help topic, typesetting class and
// the example call of the function information dialog.
#include "language/function_catalog.h"

namespace voq {

const std::array<TBuiltinFunctionRow, kBuiltinFunctionCount> BuiltinFunctionRows = {{
    {"ABS", 1, 232, 0, 85, 3, "abs(Value)"},  // 1
    {"ANGLE", 1, 202, 4, 207, 2, "angle(X)"},  // 2
    {"ANGLEDEG", 1, 202, 5, 207, 2, "angleDeg(X)"},  // 3
    {"ANGLERAD", 1, 202, 6, 207, 2, "angleRad(X)"},  // 4
    {"ARCCOS", 1, 236, 0, 86, 1, "arccos(Value)"},  // 5
    {"ARCCOSH", 1, 247, 3, 87, 1, "arccosh(Value)"},  // 6
    {"ARCSIN", 1, 235, 0, 88, 1, "arcsin(Value)"},  // 7
    {"ARCSINH", 1, 247, 4, 89, 1, "arcsinh(Value)"},  // 8
    {"ARCTAN", 1, 237, 0, 90, 1, "arctan(Value)"},  // 9
    {"ARCTANH", 1, 247, 5, 91, 1, "arctanh(Value)"},  // 10
    {"ARRAYELMT", 2, 234, 1, 0, 1, ""},  // 11
    {"AVERAGE", 2, 233, 3, 230, 2, "Average(Value1,Value2,Value3,...)"},  // 12
    {"BESSEL_I0", 1, 200, 1, 92, 4, "Bessel_I0(Value)"},  // 13
    {"BESSEL_I1", 1, 200, 2, 93, 4, "Bessel_I1(Value)"},  // 14
    {"BESSEL_J0", 1, 200, 3, 94, 4, "Bessel_J0(Value)"},  // 15
    {"BESSEL_J1", 1, 200, 4, 94, 4, "Bessel_J1(Value)"},  // 16
    {"BESSEL_K0", 1, 200, 5, 96, 4, "Bessel_K0(Value)"},  // 17
    {"BESSEL_K1", 1, 200, 6, 97, 4, "Bessel_K1(Value)"},  // 18
    {"BESSEL_Y0", 1, 200, 7, 98, 4, "Bessel_Y0(Value)"},  // 19
    {"BESSEL_Y1", 1, 200, 8, 99, 4, "Bessel_Y1(Value)"},  // 20
    {"CIS", 1, 202, 8, 218, 2, "cis(Angle) {cos(angle)+i*sin(angle}"},  // 21
    {"CONCAT$", 2, 249, 1, 252, 2, "CONCAT$(A$,B$)"},  // 22
    {"CONJ", 1, 202, 7, 217, 2, "Conj(X)"},  // 23
    {"CONVERT", 2, 201, 0, 181, 0, "Convert(Btu/hr-ft^2-R,W/m^2-K)"},  // 24
    {"CONVERTTEMP", 3, 250, 2, 323, 0, "ConvertTEMP(C,F,Temp)"},  // 25
    {"COPY$", 3, 250, 1, 256, 0, "COPY$(R$,1,2)"},  // 26
    {"COS", 1, 229, 0, 100, 2, "cos(Value)"},  // 27
    {"COSH", 1, 239, 0, 101, 1, "cosh(Value)"},  // 28
    {"DATE$", 0, 0, 1, 370, 2, "DATE$"},  // 29
    {"DIFFERENTIATE", 3, 241, 6, 186, 2, "Differentiate('C:myFile.lkt','y','x',x=2.34)"},  // 30
    {"Duplicate", 0, 0, 0, 102, 2, "Duplicate j=1,5"},  // 31
    {"ERF", 1, 247, 8, 103, 2, "erf(Value)"},  // 32
    {"ERFC", 1, 247, 9, 219, 2, "erfc(Value)"},  // 33
    {"ERROR", 1, 198, 1, 168, 2, "ERROR(X)"},  // 34
    {"EXP", 1, 225, 0, 104, 1, "exp(Value)"},  // 35
    {"GAMMA_", 1, 247, 15, 413, 1, "GAMMA_(Value)"},  // 36
    {"IF", 5, 204, 0, 106, 2, "if(A,B,X,Y,Z)"},  // 37
    {"IMAG", 1, 202, 2, 209, 2, "imag(X)"},  // 38
    {"INTEGRAL", 2, 251, 1, 107, 0, "integral(Integrand,VarName)"},  // 39
    {"INTEGRALVALUE", 2, 249, 3, 322, 2, "integral(Integrand,VarName)"},  // 40
    {"INTERPOLATE", 2, 241, 3, 183, 2, "Interpolate('C:myFile.lkt','y','x',x=2.34)"},  // 41
    {"INTERPOLATE1", 2, 241, 1, 184, 2, "Interpolate1('C:myFile.lkt','y','x',x=2.34)"},  // 42
    {"INTERPOLATE2", 2, 241, 2, 185, 2, "Interpolate2('myFile.lkt','y','x',x=2.34)"},  // 43
    {"INTERPOLATE2D", 6, 242, 1, 399, 2, "Interpolate2D('myFile.lkt','x','y','z',x=2.34, y=4.5 [,N])"},  // 44
    {"INTERPOLATE3", 2, 241, 3, 183, 2, "Interpolate3('C:myFile.lkt','y','x',x=2.34)"},  // 45
    {"LN", 1, 227, 0, 108, 1, "ln(Value)"},  // 46
    {"LOG10", 1, 226, 0, 109, 1, "log10(Value)"},  // 47
    {"LOOKUP", 2, 244, 1, 110, 2, "lookup('Lookup 1',Row,Column)"},  // 48
    {"LOOKUP$", 2, 244, 2, 234, 2, "Lookup$('Lookup 1',Row,Column)"},  // 49
    {"LOOKUPCOL", 2, 245, 1, 111, 2, "LookupCol('Lookup 1',Row,Value)"},  // 50
    {"LOOKUPROW", 2, 246, 1, 112, 2, "LookupRow('Lookup 1',Column,Value)"},  // 51
    {"LOOKUP$ROW", 2, 246, 2, 112, 2, "Lookup$Row('Lookup 1',Column,Value)"},  // 52
    {"LOOKUPCELLEMPTY", 2, 244, 3, 398, 2, "LookupCellEmpty('Lookup 1',Row,Column)"},  // 53
    {"LOWERCASE$", 1, 247, 11, 253, 2, "Lowercase$(R$)"},  // 54
    {"MAGNITUDE", 1, 202, 3, 206, 2, "magnitude(X)"},  // 55
    {"MAX", 2, 233, 2, 113, 1, "max(Value1,Value2)"},  // 56
    {"MIN", 2, 233, 1, 114, 1, "min(Value1,Value2)"},  // 57
    {"MOD", 2, 249, 5, 355, 2, "Mod(Value1,Value2)"},  // 58
    {"NLOOKUPROWS", 1, 247, 14, 310, 2, "NLookupRows('Lookup 1')"},  // 59
    {"PI", 0, 0, 0, 115, 0, "pi"},  // 60
    {"POLARTORECT", 2, 203, 1, 0, 2, "POLARTORECT(X,Ang)"},  // 61
    {"PRODUCT", -2, 196, 0, 116, 2, "product(X[I],I=1,5)"},  // 62
    {"RANDOM", 2, 249, 4, 329, 2, "Random(0,5)"},  // 63
    {"REAL", 1, 202, 1, 208, 2, "real(X)"},  // 64
    {"ROUND", 1, 247, 1, 117, 2, "round(Value)"},  // 65
    {"SIN", 1, 228, 0, 118, 1, "sin(Value)"},  // 66
    {"SINH", 1, 238, 0, 119, 1, "Sinh(Value)"},  // 67
    {"SQRT", 1, 231, 0, 120, 1, "sqrt(Value)"},  // 68
    {"STEP", 1, 247, 10, 121, 2, "step(Value)"},  // 69
    {"STRINGLEN", 1, 247, 13, 357, 2, "STRINGLEN('ABC')"},  // 70
    {"STRINGPOS", 2, 249, 2, 255, 2, "StringPos('B',ALPHA$)"},  // 71
    {"STRINGVAL", 1, 247, 6, 257, 2, "stringVal(R$)"},  // 72
    {"STRING$", 1, 247, 7, 254, 2, "String$(31)"},  // 73
    {"SUM", -2, 195, 0, 122, 2, "sum(X[I],I=1,5) or SUM(X[1..5])"},  // 74
    {"TABLENAME$", 0, 32, 0, 350, 2, "TableName$"},  // 75
    {"TABLERUN#", 0, 32, 0, 123, 2, "TableRUN#"},  // 76
    {"TABLEVALUE", 3, 252, 0, 124, 2, "TableValue('TableName',Row,Column)"},  // 77
    {"TAN", 1, 230, 0, 125, 1, "tan(Value)"},  // 78
    {"TANH", 1, 240, 0, 126, 1, "tanh(Value)"},  // 79
    {"TIME$", 0, 0, 1, 371, 2, "TIME$"},  // 80
    {"TRUNC", 1, 247, 2, 127, 2, "Trunc(Value)"},  // 81
    {"UNCERTAINTYOF", 1, 249, 6, 384, 2, "UNCERTAINTYOF(X)"},  // 82
    {"UNITSYSTEM", 1, 248, 0, 128, 2, "UnitSystem('SI')"},  // 83
    {"UPPERCASE$", 1, 247, 12, 258, 2, "Uppercase$(R$)"},  // 84
    {"WARNING", 1, 198, 20, 168, 2, "WARNING(X)"},  // 85
}};

const std::array<const char*, kUnitSystemKeywordCount> UnitSystemKeywordTexts = {
    "SI", "EN", "MA", "MO", "DE", "RA", "KP", "BA", "PS",
    "AT", "C",  "K",  "F",  "R",  "PA", "MP", "KJ",
};

}  // namespace voq

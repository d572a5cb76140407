#pragma once
// A readable listing of an equation's postfix code, for tests and the
// developer: one token per word group, separated by blanks. Variables show
// their names, constants the pool value they read, string operands their
// text in quotes, operators their character ("neg" for unary minus, "," for
// the separator), function and marker words "#" and the number.
// Example: x = 2*y+1 lists as "x 2 y * 1 + =".
#include <cstdint>
#include <string>
#include <vector>

namespace voq {

struct TEquationRecord;
struct TProgramUnitRecord;

std::string ListEquationCode(const TEquationRecord& e, const TProgramUnitRecord* unit);
// The code words and the constant pool of e.
std::vector<int32_t> CodeWords(const TEquationRecord& e);
std::vector<long double> PoolValues(const TEquationRecord& e);

}  // namespace voq

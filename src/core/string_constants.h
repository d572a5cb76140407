#pragma once
// The table of string constants. A string value (of a variable, a table cell,
// a stack slot) is the 1-based position of its text in StringConstants;
// entry 1 is "??", the text of a string variable that was never set. Texts
// are matched without regard to case.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/extended.h"

namespace voq {

// Entry n is StringConstants[n - 1]. Holds {"??"} from start-up on.
extern std::vector<std::string> StringConstants;

// Longest text an entry keeps.
inline constexpr size_t kStringConstantLength = 255;

// Empties the table back to its start-up content, the single entry "??".
void ResetStringConstants();

// Text of entry n. Outside 1..count: "??", CalcErrorCode := 302 and
// MessageText := the text of message 302.
void StringConstText(int32_t n, std::string& text);
std::string StringConstText(int32_t n);

// Index of text (one pair of enclosing single quotes removed): an entry equal
// without regard to case takes the new spelling and its index is returned;
// otherwise the text is appended.
int32_t StringConstIndex(const std::string& text);

// How StringVarText reads a variable's value: the language store installs a
// reader that looks name up among the locals of FunctionTable entry
// routineSlot (routineSlot != 0) or in the current program unit, and returns
// false when there is no such variable. Without a reader every name reads as
// not found.
using StringVariableReader =
    std::function<bool(const std::string& name, int32_t routineSlot, Extended& value)>;
void SetStringVariableReader(StringVariableReader reader);

// Display text of a string variable (at most 30 characters): the text of the
// string constant it holds when the name ends in "$" and its value is an
// index 2..count; otherwise the name itself.
void StringVarText(const std::string& name, int32_t routineSlot, std::string& text);

}  // namespace voq

#pragma once
// Property-function calls in equations, such as Enthalpy(Steam,T=T1,P=P1):
// the 28 property names, and the compiler that resolves the substance,
// creates the substance object that serves the call and chains it to the
// equation, records the argument letters' kinds in the object, makes one
// trial call and rewrites the call as opcode "(" [sub-code,] arguments,
// substance operand ")".
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "language/function_catalog.h"

namespace voq {

inline constexpr int32_t kPropertyFunctionCount = 28;

// Records 1..28 (index 0 unused): upper-case name, opcode, sub-code, help
// context and, in Example, the example group as a decimal number (-1: a
// substance constant whose only argument is the substance).
extern std::array<std::unique_ptr<TFunctionCatalogRecord>, kPropertyFunctionCount + 1> PropertyFunctionTable;
void BuildPropertyFunctionTable();
// Record index (1..28) of a property name, compared upper-cased; 0 when none.
int32_t FindPropertyFunction(const std::string& name);

// The message number of the example argument list the Function
// Information dialog shows for group g and a fluid of kind k: 1000 + 3(g-1) + |k|;
// 1000 or less means the text ")".
int32_t PropertyExampleMessage(int32_t group, int32_t kind);

// Offered every name followed by "(" after the built-in and external
// functions. True when the name was a property function (the call is then
// rewritten and p left one before the opcode byte) or an error was set.
bool CompilePropertyCall(std::string& text, int32_t maxLength, const std::string& name, int32_t start,
                         int32_t& p);

}  // namespace voq

#pragma once
// The display form of a variable name that the result windows, tables,
// plots and the diagram draw: Greek letters of the Symbol font, accents,
// subscripts, and the readable name of a module's variable in the main
// program. The markup (the text DisplayVarName returns):
//   a single Symbol-font letter first, flagged by symbolFirst;
//   "_" text   a subscript;
//   "\." "\_" "\^"   dot, bar and hat accent over what precedes;
//   "*" and "|+"     a star and a raised plus;
//   "_@"             joins the Greek letter of a DELTA name to the rest;
//   character 165    the infinity sign of the Symbol font.
#include <cstdint>
#include <string>

namespace voq {

// The Symbol font's infinity sign.
inline constexpr char kSymbolInfinity = static_cast<char>(165);

// Rewrites name into the markup above, cut to maxLength characters. Does
// nothing (symbolFirst false) while "Display subscripts and Greek symbols"
// (Preferences.ShowSubscripts) is off.
void DisplayVarName(std::string& name, int32_t maxLength, bool& symbolFirst);
// The same, returning the text.
std::string DisplayVarName(const std::string& name, int32_t maxLength, bool* symbolFirst = nullptr);

// Pixel width of a marked-up name at ScreenCharWidth per character: the
// markup's "_" and what it introduces do not count.
int32_t DisplayNameWidth(const std::string& name);

// "@<unit>\<name>" of a module variable in the main program becomes
// "<unit name>\<name>" (the first "." of the rest as ": "); other names are
// returned unchanged. At most 30 characters.
void QualifyModuleVarName(const std::string& name, std::string& text);
std::string QualifyModuleVarName(const std::string& name);

// "@<unit>\<call>.<name>" of a routine's local variable: name becomes the
// plain name (at most 30 characters), unitNumber and callNumber the two
// numbers; without a "\" both are 0 and only the "@" is taken off.
void ParseLocalVarName(std::string& name, int32_t& unitNumber, int32_t& callNumber);

}  // namespace voq

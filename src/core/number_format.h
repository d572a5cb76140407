#pragma once
// The number formatter of the Solution window, tables, plots and reports:
// a value and its display format become text, with the automatic choice of
// fixed or exponential notation; and the reader of numbers typed into
// dialog edit boxes.
#include <cstdint>
#include <string>

#include "core/extended.h"

namespace voq {

// Display format styles.
enum DisplayStyle : uint8_t {
  kStyleExponential = 0,  // what the digit choosers write; any style but 1, 3, 4 acts so
  kStyleFixed = 1,
  kStyleExponentialSet = 2,
  kStyleAutomatic = 3,
  kStyleStringConstant = 4,
};

// A variable's or column's display format (stored as a byte and an int16).
struct TDisplayFormat {
  uint8_t Style = kStyleAutomatic;
  int16_t Digits = 0;
};

// The number of significant digits of the automatic style; set at start-up,
// changed for a while by some dialogs.
extern int32_t SignificantDigits;

// The format property routines write numbers in their warnings with: each
// solve sets it to exponential with 5 digits.
extern TDisplayFormat DefaultDisplayFormat;
inline constexpr TDisplayFormat kWarningDisplayFormat{kStyleExponential, 5};

// Style and digits for x under the automatic style (FormatValue's chooser):
// fixed notation for 1E-6 <= |x| <= 1E6, exponential outside.
void ChooseNumberDigitsSafe(TDisplayFormat& format, int32_t significantDigits, Extended x);
// The property library's and plot windows' chooser: exponential only below
// 1E-8, never above.
void ChooseNumberDigits(TDisplayFormat& format, int32_t significantDigits, Extended x);

// The text of x in the display format; style 3 is resolved with
// SignificantDigits, trailing zeros of fixed notation dropped.
void FormatValue(std::string& text, const TDisplayFormat& format, Extended x);
std::string FormatValue(const TDisplayFormat& format, Extended x);

// Reads a number typed into a dialog's edit box and checks it by mode:
// 0 any number; 1 x > low; 2 x >= low; 3 and 6 low <= x <= high; 4 x <= high;
// 5 low < x < high; 65 low <= x < high; a negative mode rejects every entry.
// A rejected entry beeps (ThrottledBeep), gives ok false and value 0; the
// caller then gives the edit box the focus with its text selected.
void ReadEditNumber(const std::string& text, Extended& value, bool& ok, Extended low,
                    Extended high, int32_t mode);

}  // namespace voq

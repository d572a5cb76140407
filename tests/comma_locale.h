#pragma once
// Tests that the number text ignores the process locale switch the process
// to a locale with a decimal comma, when one is installed.
#include <clocale>

namespace voq::testing {

// Switches LC_ALL to an installed decimal-comma locale and returns its name,
// or returns nullptr (and changes nothing) when none is installed.
inline const char* SwitchToCommaLocale() {
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8"}) {
    if (std::setlocale(LC_ALL, name)) return name;
  }
  return nullptr;
}

}  // namespace voq::testing

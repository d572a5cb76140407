#pragma once
// Tests that the number text ignores the process locale switch the process
// to a locale with a decimal comma, when one is installed.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <string>

namespace voq::testing {

// Switches LC_ALL to an installed decimal-comma locale and returns its name,
// or returns nullptr (and changes nothing) when none is installed. A locale
// is taken only if its decimal point really is a comma, so the caller's test
// cannot pass for want of a locale that differs from "C".
//
// `make test` installs locales-all and sets VOQ_REQUIRE_COMMA_LOCALE=1: there
// a missing locale fails the calling test instead of letting it skip
// unnoticed.
inline const char* SwitchToCommaLocale() {
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8", "fr_FR"}) {
    if (std::setlocale(LC_ALL, name) && std::strcmp(std::localeconv()->decimal_point, ",") == 0) {
      return name;
    }
  }
  std::setlocale(LC_ALL, previous.c_str());
  const char* required = std::getenv("VOQ_REQUIRE_COMMA_LOCALE");
  if (required != nullptr && *required != '\0' && std::strcmp(required, "0") != 0) {
    ADD_FAILURE() << "VOQ_REQUIRE_COMMA_LOCALE is set but no decimal-comma locale is installed "
                     "(tried de_DE and fr_FR; Debian's locales-all provides them)";
  }
  return nullptr;
}

}  // namespace voq::testing

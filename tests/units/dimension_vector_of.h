#pragma once
// A dimension vector written as its letters and powers: {{'M', 1}, {'L', -1}}
// is mass per length; a letter not named has power 0.
#include <initializer_list>
#include <utility>

#include "core/extended.h"
#include "units/unit_table.h"

namespace voq::testing {

inline TDimensionVector DimensionVectorOf(std::initializer_list<std::pair<char, Extended>> entries) {
  TDimensionVector e{};
  for (const auto& [letter, x] : entries) {
    for (int k = 0; k < kDimensionCount; ++k) {
      if (kDimensionLetters[k] == letter) e[k] = x;
    }
  }
  return e;
}

}  // namespace voq::testing

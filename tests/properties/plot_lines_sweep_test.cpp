// Every plot code of the ideal gas, moist air and water models, asked as
// the property-plot dialog asks: defaults first, then each line of them.
// Whatever a code gives, the point count matches both arrays and no value
// is read or written outside the ten (the sanitizer build checks memory).
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/calc_state.h"
#include "model/document_settings.h"
#include "properties/fluid_catalog.h"
#include "properties/plot_lines_support.h"
#include "properties/property_units.h"
#include "properties/substance_factory.h"

namespace voq {
namespace {

TEST(PlotLinesSweep, EveryCodeAnswersWithMatchingArrays) {
  DocumentSettings.UnitSystem = 0;
  DocumentSettings.MolarBasis = 0;
  DocumentSettings.AbsoluteTemperature = 0;
  DocumentSettings.PressureUnit = 0;
  DocumentSettings.EnergyUnit = 1;
  for (const char* name : {"AIR", "AIRH2O", "STEAM"}) {
    std::unique_ptr<TSubstanceBase> object(CreatePropertyObject(FindSubstanceRow(name)));
    ASSERT_NE(object, nullptr) << name;
    object->SuppressWarnings = 0;
    for (int32_t code = -1; code <= 100; ++code) {
      // The defaults of the code's diagram and family, as the dialog
      // would have them, then every line of them.
      TPlotLinesRequest defaults;
      for (int k = 1; k <= 6; ++k) defaults.IsolineValues[static_cast<size_t>(k - 1)] = k / 7.0L;
      UnitConversionEnabled = true;
      const int32_t family = code % 10 == 6 ? code - 6 + 5 : code - code % 10;
      object->PlotLines(code / 10 == 5 ? 50 : family, defaults);
      for (int32_t line : {0, 1, 6, 11}) {
        TPlotLinesRequest r;
        r.IsolineValues = defaults.IsolineValues;
        r.IsolineCount = line;
        CalcErrorCode = 0;
        object->PlotLines(code, r);
        EXPECT_EQ(r.PointCount, static_cast<int32_t>(r.CurveX.size())) << name << " " << code << " " << line;
        EXPECT_EQ(r.PointCount, static_cast<int32_t>(r.CurveY.size())) << name << " " << code << " " << line;
      }
    }
  }
  CalcErrorCode = 0;
}

// Default line values round to tenths (hundredths) with halves to the even
// neighbour; the ties below are exact in binary.
TEST(PlotLinesSweep, RoundingToAMultipleTakesHalvesToEven) {
  struct Case {
    Extended x, scale, rounded;
  };
  const Case cases[] = {{0.25L, 10, 0.2L},   {0.75L, 10, 0.8L},   {-0.25L, 10, -0.2L},
                        {0.125L, 100, 0.12L}, {0.375L, 100, 0.38L}, {5.04L, 10, 5.0L}};
  for (const Case& c : cases) EXPECT_EQ(plot_lines::RoundToMultiple(c.x, c.scale), c.rounded) << static_cast<double>(c.x);
}

}  // namespace
}  // namespace voq

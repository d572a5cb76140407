// Property calls of a fluid in equations with one unknown, read and solved:
// each distinct state is solved once, however often the one-unknown search
// evaluates the equation, and two calls of one fluid in one equation solve
// two states; the values are those of the object's own solves.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/calc_state.h"
#include "language/store_fixture.h"
#include "model/document_settings.h"
#include "model/store_state.h"
#include "platform/host.h"
#include "properties/helmholtz_state.h"
#include "properties/property_units.h"
#include "properties/substance_factory.h"
#include "session/compile_driver.h"

namespace voq {
namespace {

class PropertyStateReuseTest : public testing::LanguageStoreTest {
 protected:
  void SetUp() override {
    LanguageStoreTest::SetUp();
    SetEquationsEditor(&editor);
    CheckOnlyMode = true;
  }
  void TearDown() override {
    SetEquationsEditor(nullptr);
    CheckOnlyMode = false;
    LanguageStoreTest::TearDown();
  }
  // Reads and solves the text; the state solves it took.
  int64_t SolvesToRead(const std::string& text) {
    editor.SetText(text);
    EquationsCompiled = false;
    CalcErrorCode = 0;
    const int64_t before = EosSolveCount;
    CompileEquations(false, false);
    EXPECT_EQ(CalcErrorCode, 0) << text;
    return EosSolveCount - before;
  }
  // h of nitrogen at (T, P) by the object, in kJ/kg.
  static Extended ObjectEnthalpy(Extended T, Extended P) {
    std::unique_ptr<TSubstanceBase> o(CreatePropertyObject(28));
    o->ArgCount = 2;
    o->ArgKind[1] = 1;
    o->ArgKind[2] = 2;
    TPropertyArgumentRecord a;
    a.Value[1] = T;
    a.Value[2] = P;
    UnitConversionEnabled = true;
    return o->Enthalpy(a);
  }
  InMemoryEquationsEditor editor;
};

TEST_F(PropertyStateReuseTest, EachStateOfAnEquationIsSolvedOnce) {
  const struct {
    const char* equation;
    int64_t solves;
  } cases[] = {
      {"h = Enthalpy(Nitrogen, T=300, P=1000)", 1},
      {"T = Temperature(Nitrogen, P=1000, h=100)", 1},
      {"dh = Enthalpy(Nitrogen, T=300, P=1000) - Enthalpy(Nitrogen, T=200, P=1000)", 2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SolvesToRead(std::string("$UNITSYSTEM SI MASS KPA K KJ\r\n") + c.equation + "\r\n"), c.solves)
        << c.equation;
  }
  DocumentSettings.UnitSystem = 0;
  DocumentSettings.EnergyUnit = 1;
  DocumentSettings.AbsoluteTemperature = 1;
  DocumentSettings.PressureUnit = 0;
  DocumentSettings.MolarBasis = 0;
  // The last text read holds dh.
  TVariableRecord* dh = VarNamed("dh");
  ASSERT_NE(dh, nullptr);
  EXPECT_EQ(dh->Value, ObjectEnthalpy(300, 1000) - ObjectEnthalpy(200, 1000));
}

}  // namespace
}  // namespace voq

#include "output/entry_text.h"

#include <gtest/gtest.h>

#include <string>

#include "model/document_settings.h"
#include "model/program_units.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "output/format_codes.h"
#include "session/min_max.h"
#include "session/uncertainty.h"

namespace voq {
namespace {

// A page on the recording canvas: fonts 16 pixels high (8-pixel characters),
// small fonts 14 (7-pixel characters), cells 8 x 18.
class EntryTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    page.Target = &canvas;
    for (TCanvasFont& f : page.Fonts) f.Height = 16;
    page.Fonts[kFontBold].Bold = true;
    page.Fonts[kFontSmall].Height = 14;
    page.Fonts[kFontSymbol].Face = "Symbol";
    page.Fonts[kFontSymbol].Height = 17;
    page.Fonts[kFontSmallSymbol].Face = "Symbol";
    page.Fonts[kFontSmallSymbol].Height = 14;
    page.CharWidth = 8;
    page.LineHeight = 18;
    page.TopOffset = 4;
  }

  // A variable of the main program with a value and automatic format.
  int32_t Variable(const std::string& name, Extended value) {
    AddVariable(name);
    const int32_t index = FindVariable(name);
    TVariableRecord* v = CurrentProgramUnit->Variable(index);
    v->Value = value;
    v->Style = kStyleAutomatic;
    v->UnknownPosition = 1;
    return index;
  }

  std::vector<const TCanvasOperation*> Texts() const { return canvas.Texts(); }

  RecordingCanvas canvas;
  TEntryPage page;
};

TEST_F(EntryTextTest, WriteStrKindsPickFontAndColour) {
  struct Case {
    int32_t Kind;
    int32_t Colour;
    TRgb Expected;
    bool Bold;
    bool Symbol;
  };
  const Case cases[] = {
      {kTextNormal, 0, kRgbBlack, false, false}, {kTextRed, 0, kRgbRed, false, false},
      {kTextBlue, 0, kRgbBlue, false, false},    {kTextGreen, 0, kRgbGreen, false, false},
      {kTextSymbol, 0, kRgbBlack, false, true},  {kTextBold, 0, kRgbBlack, true, false},
      {kTextBlue, 5, 0x000080, false, false},
  };
  for (const Case& c : cases) {
    canvas.Operations.clear();
    WriteStr(page, 2, 3, "ab", c.Kind, c.Colour);
    ASSERT_EQ(Texts().size(), 1u);
    const TCanvasOperation& t = *Texts()[0];
    EXPECT_EQ(t.X, 16);
    EXPECT_EQ(t.Y, 3 * 18 + 4);
    EXPECT_EQ(t.Colour, c.Expected) << c.Kind;
    EXPECT_EQ(t.Font.Bold, c.Bold) << c.Kind;
    EXPECT_EQ(IsSymbolFace(t.Font), c.Symbol) << c.Kind;
    EXPECT_EQ(page.LastTextWidth, t.X2 - t.X);
    EXPECT_EQ(page.LastLineY, 58);
  }
  // Without colour output the colour stays as it was.
  page.ColorOutput = false;
  canvas.SetTextColor(0x123456);
  canvas.Operations.clear();
  WriteStr(page, 0, 0, "x", kTextRed, 3);
  EXPECT_EQ(Texts()[0]->Colour, 0x123456u);
}

TEST_F(EntryTextTest, OktoPrintDrawsOnlyVisibleLines) {
  page.ScrollY = 180;
  page.ClientHeight = 90;
  EXPECT_FALSE(OktoPrint(page, 8));   // top 148 < 180 - 18
  EXPECT_TRUE(OktoPrint(page, 9));    // top 166
  EXPECT_TRUE(OktoPrint(page, 14));   // top 256 <= 270
  EXPECT_FALSE(OktoPrint(page, 15));  // top 274
  page.Printing = true;
  EXPECT_TRUE(OktoPrint(page, 100));
}

TEST_F(EntryTextTest, RaisedExponentEndsAtTheBracket) {
  WriteNiceUnits(page, "m^2", 0, 0);
  const auto texts = Texts();
  ASSERT_EQ(canvas.AllText(), "[m2]");
  EXPECT_EQ(texts[1]->Y, 4);
  EXPECT_EQ(texts[2]->Y, 2);  // raised by two pixels
  EXPECT_EQ(texts[2]->Font.Height, 14);
  EXPECT_EQ(texts[3]->Y, 4);
  EXPECT_EQ(texts[3]->Font.Height, 16);
  // Characters follow one another by their widths.
  EXPECT_EQ(texts[3]->X, texts[2]->X + 7);
}

TEST_F(EntryTextTest, ParenthesisedExponentStaysRaisedToItsClose) {
  WriteNiceUnits(page, "m**(1/2)", 0, 0);
  const auto texts = Texts();
  ASSERT_EQ(canvas.AllText(), "[m(1/2)]");
  for (size_t i = 2; i <= 6; ++i) EXPECT_EQ(texts[i]->Y, 2) << texts[i]->Text;
  EXPECT_EQ(texts[7]->Y, 4);
}

TEST_F(EntryTextTest, UnitsAreBlueInBracketsWithSubscriptsLowered) {
  WriteNiceUnits(page, "kJ/kg-K", 1, 0);
  EXPECT_EQ(canvas.AllText(), "[kJ/kg-K]");
  for (const TCanvasOperation* t : Texts()) {
    EXPECT_EQ(t->Colour, kRgbBlue);
    EXPECT_EQ(t->Y, 4);
  }
  EXPECT_EQ(Texts()[0]->X, 8);
  canvas.Operations.clear();
  WriteNiceUnits(page, "m_a_b", 0, 0);
  EXPECT_EQ(canvas.AllText(), "[ma,b]");
  EXPECT_EQ(Texts()[2]->Y, 10);  // lowered by six pixels
  EXPECT_EQ(Texts()[5]->Y, 4);
  canvas.Operations.clear();
  WriteNiceUnits(page, "", 0, 0);
  EXPECT_TRUE(canvas.Operations.empty());
}

TEST_F(EntryTextTest, BracketUnitsCutsToThirtyCharacters) {
  EXPECT_EQ(BracketUnits(""), "");
  EXPECT_EQ(BracketUnits("kPa"), "[kPa]");
  EXPECT_EQ(BracketUnitsPlain(std::string(40, 'm')).size(), 30u);
}

TEST_F(EntryTextTest, SubscriptsAreLoweredAndSeparatedByCommas) {
  Preferences.ShowSubscripts = 1;
  int32_t column = 2;
  DrawVariableName(page, column, 0, "T_1_2", 0, 0, kTextNormal);
  const auto texts = Texts();
  ASSERT_EQ(canvas.AllText(), "T1,2");
  EXPECT_EQ(texts[0]->Y, 4);
  for (size_t i = 1; i < 4; ++i) {
    EXPECT_EQ(texts[i]->Y, 4 + 18 / 3) << i;
    EXPECT_EQ(texts[i]->Font.Height, 14);
  }
  EXPECT_EQ(texts[1]->X, 16 + 8);
  // 8 + 3 x 7 = 29 pixels: (29 + 6) div 8 = 4 columns.
  EXPECT_EQ(column, 6);
}

TEST_F(EntryTextTest, ArrayElementIndexIsLowered) {
  Preferences.ShowSubscripts = 1;
  int32_t column = 0;
  DrawVariableName(page, column, 1, "X[3]", 0, 0, kTextNormal);
  ASSERT_EQ(canvas.AllText(), "X3");
  EXPECT_EQ(Texts()[1]->Y, 18 + 4 + 6);
}

TEST_F(EntryTextTest, GreekNamesAccentsAndRaisedSigns) {
  Preferences.ShowSubscripts = 1;
  int32_t column = 0;
  DrawVariableName(page, column, 0, "alpha", 0, 0, kTextNormal);
  ASSERT_EQ(Texts().size(), 1u);
  EXPECT_EQ(Texts()[0]->Text, "a");
  EXPECT_TRUE(IsSymbolFace(Texts()[0]->Font));

  canvas.Operations.clear();
  DrawVariableName(page, column, 0, "DeltaT_in", 0, 0, kTextNormal);
  ASSERT_EQ(canvas.AllText(), "dTin");
  EXPECT_TRUE(IsSymbolFace(Texts()[0]->Font));
  EXPECT_EQ(Texts()[1]->Y, Texts()[0]->Y);  // joined on the baseline
  EXPECT_EQ(Texts()[2]->Y, 4 + 6);          // the subscript lowered

  canvas.Operations.clear();
  DrawVariableName(page, column, 0, "x_dot", 0, 0, kTextNormal);
  EXPECT_EQ(canvas.AllText(), "x");
  ASSERT_EQ(canvas.Operations.size(), 2u);
  EXPECT_EQ(canvas.Operations[1].Operation, TCanvasOperation::kEllipse);

  canvas.Operations.clear();
  DrawVariableName(page, column, 0, "v_bar", 0, 0, kTextNormal);
  ASSERT_EQ(canvas.Operations.size(), 2u);
  EXPECT_EQ(canvas.Operations[1].Operation, TCanvasOperation::kLine);

  canvas.Operations.clear();
  DrawVariableName(page, column, 0, "m|plus", 0, 0, kTextNormal);
  ASSERT_EQ(canvas.AllText(), "m+");
  EXPECT_EQ(Texts()[1]->Y, 4 - 6);  // raised by a third of the line

  // With the option off the name is drawn as it is.
  Preferences.ShowSubscripts = 0;
  canvas.Operations.clear();
  DrawVariableName(page, column, 0, "T_1_2", 0, 0, kTextNormal);
  EXPECT_EQ(canvas.AllText(), "T_1_2");
}

TEST_F(EntryTextTest, ComplexValueTexts) {
  const int32_t re = Variable("z_r", 0);
  const int32_t im = Variable("z_i", 2);
  CurrentProgramUnit->Variable(im)->ComplexPart = 1;
  EXPECT_EQ(ComplexValueText(re, im, kComplexRectangular), "2 i");
  CurrentProgramUnit->Variable(im)->Value = -2;
  EXPECT_EQ(ComplexValueText(re, im, kComplexRectangular), "- 2 i");
  CurrentProgramUnit->Variable(re)->Value = 3;
  EXPECT_EQ(ComplexValueText(re, im, kComplexRectangular), "3 - 2 i");
  Preferences.ImaginaryJ = 1;
  CurrentProgramUnit->Variable(im)->Value = 4;
  EXPECT_EQ(ComplexValueText(re, im, kComplexRectangular), "3 + 4 j");
  // |3 + 4j| = 5 at atan(4/3) = 53.13010235 degrees (hand calculation).
  const std::string polar = ComplexValueText(re, im, kComplexPolarDegrees);
  EXPECT_EQ(polar.substr(0, 2), "5<");
  EXPECT_EQ(polar.substr(2, 5), "53.13");
  EXPECT_EQ(polar.back(), kDegreeSign);
  // Called with the imaginary part first, the pair is written rectangular.
  EXPECT_EQ(ComplexValueText(im, re, kComplexPolarDegrees), "3 + 4 j");
}

TEST_F(EntryTextTest, ComplexPartnerMustBeInUse) {
  const int32_t x = Variable("x", 1);
  int32_t partner = x;
  EXPECT_TRUE(HasComplexPartner(partner));
  CurrentProgramUnit->Variable(x)->UnknownPosition = 0;
  EXPECT_FALSE(HasComplexPartner(partner));
  EXPECT_EQ(partner, 0);
  partner = 99;
  EXPECT_FALSE(HasComplexPartner(partner));
  EXPECT_EQ(partner, 0);
}

TEST_F(EntryTextTest, PolarEntryDrawsTheAngleSign) {
  Preferences.ComplexMode = 1;
  const int32_t re = Variable("z_r", 3);
  const int32_t im = Variable("z_i", 4);
  CurrentProgramUnit->Variable(re)->PartnerVariable = static_cast<int16_t>(im);
  CurrentProgramUnit->Variable(im)->PartnerVariable = static_cast<int16_t>(re);
  CurrentProgramUnit->Variable(im)->ComplexPart = 1;
  CurrentProgramUnit->Variable(re)->DisplayCode = static_cast<int16_t>(PackFormatCode(0, 0, kHiliteNormal, 1));
  int32_t column = 0;
  DrawSolutionEntry(page, column, 0, re);
  const auto texts = Texts();
  ASSERT_GE(texts.size(), 4u);
  EXPECT_EQ(texts[0]->Text, "z");
  EXPECT_EQ(texts[1]->Text, " = 5");
  EXPECT_EQ(texts[2]->Text, std::string(1, kSymbolAngle));
  EXPECT_TRUE(IsSymbolFace(texts[2]->Font));
  EXPECT_EQ(texts[3]->Text.substr(0, 3), "53.");
}

TEST_F(EntryTextTest, RealEntryNameValueAndUnits) {
  const int32_t t = Variable("T_1", 25);
  CurrentProgramUnit->Variable(t)->Units = "C";
  CurrentProgramUnit->Variable(t)->DisplayCode = static_cast<int16_t>(PackFormatCode(2, 0, kHiliteBold, 0));
  Preferences.ShowSubscripts = 0;
  int32_t column = 0;
  DrawSolutionEntry(page, column, 0, t);
  const auto texts = Texts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0]->Text, "T_1");
  EXPECT_EQ(texts[1]->Text, " = 25 ");
  EXPECT_TRUE(texts[1]->Font.Bold);
  EXPECT_EQ(texts[1]->Colour, kRgbRed);
  EXPECT_EQ(texts[2]->Text, "[C]");
  EXPECT_EQ(texts[2]->Colour, kRgbBlue);
}

TEST_F(EntryTextTest, UncertaintyTextsAndShare) {
  const int32_t f = Variable("F", 10);
  const int32_t x = Variable("x", 2);
  UncertaintyMode = true;
  UncertaintySettings.CalculatedVariable = f;
  UncertaintySettings.MeasuredCount = 1;
  UncertaintySettings.MeasuredVariables[1] = x;
  UncertaintySettings.PartialDerivatives[1] = 3;
  CurrentProgramUnit->Variable(x)->Uncertainty = 0.5L;
  CurrentProgramUnit->Variable(f)->Uncertainty = 0;
  EXPECT_EQ(UncertaintyText(x), std::string(1, kPlusMinusSign) + "0.5");
  // A calculated uncertainty of 0 gives a share of 0.
  EXPECT_EQ(UncertaintyShareText(1, x), "0.00 %");
  // (3 x 0.5)^2 / 3^2 x 100 = 25 (hand calculation).
  CurrentProgramUnit->Variable(f)->Uncertainty = 3;
  EXPECT_EQ(UncertaintyShareText(1, x), "25.00 %");
  // A relative uncertainty is a fraction of the value: 0.1 x 2 = 0.2.
  CurrentProgramUnit->Variable(x)->Uncertainty = 0.1L;
  CurrentProgramUnit->Variable(x)->UncertaintyIsRelative = 1;
  EXPECT_EQ(UncertaintyText(x), std::string(1, kPlusMinusSign) + "0.2");
  int32_t position = -9;
  EXPECT_TRUE(UncertaintyListPosition(f, position));
  EXPECT_EQ(position, 0);
  EXPECT_TRUE(UncertaintyListPosition(x, position));
  EXPECT_EQ(position, 1);
  EXPECT_FALSE(UncertaintyListPosition(99, position));
  UncertaintyMode = false;
  EXPECT_EQ(UncertaintyText(x), "");
  EXPECT_TRUE(UncertaintyListPosition(99, position));
  EXPECT_EQ(position, -1);
}

TEST_F(EntryTextTest, UncertaintyRowDrawsPartialSignsAndShare) {
  const int32_t f = Variable("F", 10);
  const int32_t x = Variable("x", 2);
  UncertaintyMode = true;
  UncertaintySettings.CalculatedVariable = f;
  UncertaintySettings.MeasuredCount = 1;
  UncertaintySettings.MeasuredVariables[1] = x;
  UncertaintySettings.PartialDerivatives[1] = 3;
  CurrentProgramUnit->Variable(x)->Uncertainty = 0.5L;
  CurrentProgramUnit->Variable(f)->Uncertainty = 0;
  DrawUncertaintyRow(page, 2, 20, x, 1, kTextNormal, 0);
  const auto texts = Texts();
  ASSERT_GE(texts.size(), 6u);
  EXPECT_EQ(texts[0]->Text, std::string(1, kSymbolPartial));
  EXPECT_TRUE(IsSymbolFace(texts[0]->Font));
  EXPECT_EQ(texts[0]->X, 25 * 8);
  EXPECT_EQ(texts.back()->Text, "0.00 %");
}

TEST_F(EntryTextTest, UnitSettingsLine) {
  DocumentSettings.UnitSystem = 0;
  DocumentSettings.EnergyUnit = 1;
  DocumentSettings.AbsoluteTemperature = 0;
  DocumentSettings.PressureUnit = 0;
  DocumentSettings.MolarBasis = 0;
  DocumentSettings.AngleUnit = 0;
  EXPECT_EQ(UnitSettingsText(), "Unit Settings: [kJ]/[C]/[kPa]/[kg]/[degrees]");
  DocumentSettings.UnitSystem = 1;
  EXPECT_EQ(UnitSettingsText(), "Unit Settings: [F]/[psia]/[lbm]/[degrees]");
  DocumentSettings.AbsoluteTemperature = 1;
  DocumentSettings.PressureUnit = 1;
  DocumentSettings.MolarBasis = 1;
  DocumentSettings.AngleUnit = 1;
  EXPECT_EQ(UnitSettingsText(), "Unit Settings: [R]/[atm]/[lbmol]/[radians]");
  Preferences.ComplexMode = 1;
  DocumentSettings.AngleUnit = 0;
  EXPECT_EQ(UnitSettingsText(), "Complex Number Mode: Angular values in [degrees]");
}

TEST_F(EntryTextTest, MinMaxHeader) {
  const int32_t f = Variable("F", 1);
  const int32_t x = Variable("x", 1);
  const int32_t y = Variable("y", 1);
  MinMaxSetup.ObjectiveVariable = static_cast<int16_t>(f);
  MinMaxSetup.IndependentCount = 0;
  EXPECT_EQ(MinMaxHeaderText(), "Minimization of F)");
  MinMaxSetup.Maximise = 1;
  MinMaxSetup.IndependentCount = 2;
  MinMaxSetup.IndependentVariables[1] = static_cast<int16_t>(x);
  MinMaxSetup.IndependentVariables[2] = static_cast<int16_t>(y);
  EXPECT_EQ(MinMaxHeaderText(), "Maximization of F(x,y)");
}

}  // namespace
}  // namespace voq

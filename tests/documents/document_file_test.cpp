#include "documents/document_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "model/document_settings.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "plots/plot_list.h"
#include "plots/plot_working_copy.h"
#include "plots/plots_state.h"
#include "session/engine.h"
#include "session/min_max.h"
#include "session/uncertainty.h"

namespace voq {
namespace {

TEST(DocumentHeader, TextAndCut) {
  struct Case {
    bool complex;
    std::string version;
    char separator;
    bool landscape;
    std::string expected;
  };
  const Case cases[] = {
      {false, "6.462", ',', true, "X6.462,L"},
      {true, "6.462", '.', false, "C6.462"},
      {false, "6.462", '.', true, "X6.462L"},
      // 1 + 14 + 1 + 1 characters: cut at 15.
      {false, "6.462.10000000", ',', true, "X6.462.10000000"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DocumentHeaderText(c.complex, c.version, c.separator, c.landscape), c.expected) << c.expected;
  }
}

TEST(DocumentStart, BytesAndRoundTrip) {
  std::vector<uint8_t> out;
  WriteDocumentStart("X6.462,L", "a=1\r\nb=2", out);
  ASSERT_EQ(out.size(), 16u + 4u + 9u);
  EXPECT_EQ(out[0], 8);
  EXPECT_EQ(std::string(out.begin() + 1, out.begin() + 9), "X6.462,L");
  EXPECT_EQ(out[16], 9);  // the text and its zero byte, little-endian
  EXPECT_EQ(out[17], 0);
  EXPECT_EQ(out.back(), 0);
  size_t pos = 0;
  std::string header, text;
  ASSERT_TRUE(ReadDocumentStart(out.data(), out.size(), pos, header, text));
  EXPECT_EQ(header, "X6.462,L");
  EXPECT_EQ(text, "a=1\r\nb=2");
  EXPECT_EQ(pos, out.size());
}

TEST(DocumentStart, TextLengthBeyondFileIsRefused) {
  std::vector<uint8_t> out;
  WriteDocumentStart("X6.462", "abc", out);
  out[16] = 0xFF;
  out[17] = 0xFF;
  out[18] = 0xFF;
  out[19] = 0x7F;  // 2 GB of text announced
  size_t pos = 0;
  std::string header, text;
  EXPECT_FALSE(ReadDocumentStart(out.data(), out.size(), pos, header, text));
  EXPECT_EQ(CalcErrorCode, kMsgUnexpectedIOError);
}

// Three variables: one with a guess variable, one string, one whose units a
// property call set.
void MakeVariables() {
  TProgramUnitRecord* unit = MainProgramUnit;
  ClearVariableStore(unit);
  CurrentProgramUnit = unit;
  AddVariable("T_1");
  AddVariable("name$");
  AddVariable("x[1,2]");
  ASSERT_EQ(unit->VariableCount, 3);
  TVariableRecord* t = unit->Variable(1);
  t->Guess = 300;
  t->LowerLimit = 200;
  t->UpperLimit = InfinityValue;
  t->Units = "K";
  t->UpperVariable = 3;
  t->UnknownPosition = 7;
  unit->Variable(3)->Units = "kJ/kg";
  unit->Variable(3)->UnitsInferred = 1;
  unit->Variable(3)->Block = 5;
}

TEST(VariableSection, StoredBytesAndRoundTrip) {
  MakeVariables();
  std::vector<uint8_t> out;
  WriteVariableSection(*MainProgramUnit, out);
  ASSERT_EQ(out.size(), 2u + 3u * kStoredVariableSize);
  EXPECT_EQ(out[0], 3);
  EXPECT_EQ(out[1], 0);
  const uint8_t* third = out.data() + 2 + 2 * kStoredVariableSize;
  EXPECT_EQ(third[variable_offsets::Units], 0) << "inferred units are written empty";
  EXPECT_EQ(third[variable_offsets::Block], 0);
  EXPECT_EQ(out[2 + variable_offsets::UpperVariable], 3);

  std::vector<TVariableRecord> before;
  for (int i = 1; i <= 3; ++i) before.push_back(*MainProgramUnit->Variable(i));
  ClearVariableStore(MainProgramUnit);
  size_t pos = 0;
  ASSERT_TRUE(ReadVariableSection(out.data(), out.size(), pos, MainProgramUnit));
  EXPECT_EQ(pos, out.size());
  ASSERT_EQ(MainProgramUnit->VariableCount, 3);
  for (int i = 1; i <= 3; ++i) {
    const TVariableRecord& v = *MainProgramUnit->Variable(i);
    EXPECT_EQ(v.Name, before[i - 1].Name);
    EXPECT_EQ(v.Guess, before[i - 1].Guess);
    EXPECT_EQ(v.LowerLimit, before[i - 1].LowerLimit);
    EXPECT_EQ(v.UpperLimit, before[i - 1].UpperLimit);
    EXPECT_EQ(v.UpperVariable, before[i - 1].UpperVariable);
  }
  EXPECT_EQ(MainProgramUnit->Variable(1)->Units, "K");
  EXPECT_EQ(MainProgramUnit->Variable(3)->Units, "");
  EXPECT_EQ(MainProgramUnit->Variable(2)->IsString, 1);
  EXPECT_EQ(MainProgramUnit->Variable(2)->Style, 4);
  CurrentProgramUnit = MainProgramUnit;
  EXPECT_EQ(MainProgramUnit->NameHash[VarHashSlot("T_1")], 1);
  EXPECT_EQ(MainProgramUnit->NameHash[VarHashSlot("X[1,2]")], 3);
}

TEST(VariableSection, ReusedRecordsKeepTheirUnknownPosition) {
  MakeVariables();
  std::vector<uint8_t> out;
  WriteVariableSection(*MainProgramUnit, out);
  MainProgramUnit->Variable(1)->UnknownPosition = 9;
  size_t pos = 0;
  ASSERT_TRUE(ReadVariableSection(out.data(), out.size(), pos, MainProgramUnit));
  EXPECT_EQ(MainProgramUnit->Variable(1)->UnknownPosition, 9);
}

TEST(VariableSection, DecimalCommaRewritesIndexSeparators) {
  MakeVariables();
  std::vector<uint8_t> out;
  WriteVariableSection(*MainProgramUnit, out);
  size_t pos = 0;
  ASSERT_TRUE(ReadVariableSection(out.data(), out.size(), pos, MainProgramUnit, '.', ','));
  EXPECT_EQ(MainProgramUnit->Variable(3)->Name, "x[1;2]");
}

TEST(VariableSection, PurgingRenumbersLimitVariables) {
  MakeVariables();
  // Variable 2 is dropped: 3 becomes 2.
  const std::vector<int16_t> newNumbers = {0, 1, 0, 2};
  std::vector<uint8_t> out;
  WriteVariableSection(*MainProgramUnit, out, &newNumbers);
  ASSERT_EQ(out.size(), 2u + 2u * kStoredVariableSize);
  EXPECT_EQ(out[0], 2);
  EXPECT_EQ(out[2 + variable_offsets::UpperVariable], 2);
  EXPECT_EQ(MainProgramUnit->Variable(1)->UpperVariable, 3) << "the variable itself is unchanged";
}

TEST(VariableSection, BadCountsGiveErrors) {
  struct Case {
    int16_t n;
    int32_t error;
  };
  // 10,001 is above the variable limit; -1 and a count the file cannot hold
  // are impossible.
  const Case cases[] = {{10001, kMsgVariableLimitExceeded}, {-1, kMsgUnexpectedIOError}, {5, kMsgUnexpectedIOError}};
  for (const Case& c : cases) {
    ResetEngineState();
    std::vector<uint8_t> data = {static_cast<uint8_t>(c.n & 0xFF), static_cast<uint8_t>((c.n >> 8) & 0xFF)};
    data.resize(2 + kStoredVariableSize);  // room for one record only
    size_t pos = 0;
    EXPECT_FALSE(ReadVariableSection(data.data(), data.size(), pos, MainProgramUnit)) << c.n;
    EXPECT_EQ(CalcErrorCode, c.error) << c.n;
    if (c.error == kMsgVariableLimitExceeded) {
      EXPECT_EQ(MessageArgs[1], "10001");
    }
  }
}

TEST(DocumentSections, RoundTripAndEveryTruncation) {
  DocumentSettings.UnitSystem = 1;
  StopCriteria.MaxIterations = 77;
  StopCriteria.RelativeResidualTolerance = 1E-8L;
  LetterDefaults[19].Guess = 300;
  LetterDefaults[19].Units = "K";
  MakeVariables();
  std::vector<uint8_t> file;
  WriteDocumentStart(DocumentHeaderText(false, "6.462", '.', false), "T_1 = 300", file);
  WriteSettingsSections(file);
  ASSERT_EQ(file.size(), 16u + 4u + 10u + 32u + 28u + 1664u);
  WriteVariableSection(*MainProgramUnit, file);

  auto readAll = [](const std::vector<uint8_t>& bytes) {
    size_t pos = 0;
    std::string header, text;
    return ReadDocumentStart(bytes.data(), bytes.size(), pos, header, text) &&
           ReadSettingsSections(bytes.data(), bytes.size(), pos) &&
           ReadVariableSection(bytes.data(), bytes.size(), pos, MainProgramUnit) && pos == bytes.size();
  };
  ResetEngineState();
  ASSERT_TRUE(readAll(file));
  EXPECT_EQ(DocumentSettings.UnitSystem, 1);
  EXPECT_EQ(StopCriteria.MaxIterations, 77);
  EXPECT_EQ(StopCriteria.RelativeResidualTolerance, 1E-8L);
  EXPECT_EQ(LetterDefaults[19].Guess, 300);
  EXPECT_EQ(LetterDefaults[19].Units, "K");
  EXPECT_EQ(MainProgramUnit->VariableCount, 3);

  for (size_t cut = 0; cut < file.size(); cut += 97) {
    ResetEngineState();
    std::vector<uint8_t> part(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(cut));
    EXPECT_FALSE(readAll(part)) << cut;
    EXPECT_NE(CalcErrorCode, 0) << cut;
  }
}

TEST(PlotSection, PlotsWithoutCurvesAreSkippedAndReadingGoesOn) {
  // Two plots without curves, each stored as its int16 0, then MinMaxSetup:
  // both plots are skipped and the block after them is found.
  CreateMPRPtr();
  CreateMPRPtr();
  MinMaxSetup.Maximise = 1;
  MinMaxSetup.MaxFunctionCalls = 999;
  std::vector<uint8_t> out;
  WritePlotSection(out);
  const std::vector<uint8_t> expected = {2, 0, 0, 0, 0, 0};
  EXPECT_EQ(out, expected);
  WriteMinMaxSection(out);
  ASSERT_EQ(out.size(), 6u + kStoredMinMaxSettingsSize);

  ResetEngineState();
  size_t pos = 0;
  ASSERT_TRUE(ReadPlotSection(out.data(), out.size(), pos));
  EXPECT_TRUE(PlotList.empty());
  ASSERT_TRUE(ReadMinMaxSection(out.data(), out.size(), pos));
  EXPECT_EQ(MinMaxSetup.Maximise, 1);
  EXPECT_EQ(MinMaxSetup.MaxFunctionCalls, 999);
  EXPECT_EQ(pos, out.size());
}

TEST(PlotSection, ImpossiblePlotCountIsRefused) {
  const std::vector<uint8_t> data = {0x10, 0x27, 0, 0};  // 10,000 plots in 2 bytes
  size_t pos = 0;
  EXPECT_FALSE(ReadPlotSection(data.data(), data.size(), pos));
  EXPECT_EQ(CalcErrorCode, kMsgUnexpectedIOError);
  EXPECT_TRUE(PlotList.empty());
}

TEST(UncertaintySection, EntriesRoundTripAndBadNumbersGive636) {
  MakeVariables();
  MainProgramUnit->Variable(1)->Uncertainty = 0.5L;
  MainProgramUnit->Variable(1)->UncertaintyIsRelative = 1;
  MainProgramUnit->Variable(3)->Uncertainty = 2;
  std::vector<uint8_t> out;
  WriteUncertaintySection(out);
  ASSERT_EQ(out.size(), 4u + 607u + 4u + 2u * 20u + 4u);
  EXPECT_EQ(out[0], 30);
  EXPECT_EQ(out[611], 2);   // E
  EXPECT_EQ(out[615], 1);   // first entry: variable 1
  EXPECT_EQ(out[635], 3);   // second entry: variable 3

  std::vector<uint8_t> purged;
  WriteUncertaintySection(purged, true);
  EXPECT_EQ(purged.size(), 4u + 607u + 4u + 4u);
  EXPECT_EQ(purged[611], 0);

  for (int i = 1; i <= 3; ++i) MainProgramUnit->Variable(i)->Uncertainty = BlankValue;
  size_t pos = 0;
  ASSERT_TRUE(ReadUncertaintySection(out.data(), out.size(), pos));
  EXPECT_EQ(pos, out.size());
  EXPECT_EQ(MainProgramUnit->Variable(1)->Uncertainty, 0.5L);
  EXPECT_EQ(MainProgramUnit->Variable(1)->UncertaintyIsRelative, 1);
  EXPECT_EQ(MainProgramUnit->Variable(3)->Uncertainty, 2);
  EXPECT_TRUE(IsBlank(MainProgramUnit->Variable(2)->Uncertainty));

  for (uint8_t bad : {uint8_t{0}, uint8_t{4}}) {
    std::vector<uint8_t> data = out;
    data[615] = bad;
    pos = 0;
    EXPECT_FALSE(ReadUncertaintySection(data.data(), data.size(), pos)) << int(bad);
    EXPECT_EQ(CalcErrorCode, kMsgUncertaintyReadError) << int(bad);
    CalcErrorCode = 0;
  }
  // An entry count the file cannot hold.
  std::vector<uint8_t> data = out;
  data[614] = 0x7F;
  pos = 0;
  EXPECT_FALSE(ReadUncertaintySection(data.data(), data.size(), pos));
  EXPECT_EQ(CalcErrorCode, kMsgUnexpectedIOError);
}

}  // namespace
}  // namespace voq

namespace voq {
namespace {

TEST(PlotSection, UnwrittenFrameEditOfTheShownPlotIsSaved) {
  // The Plot window's working copy holds an edit no tab change wrote back:
  // the writer writes it back before it writes the plots.
  ResetEngineState();
  TPlotRecord* p = CreateMPRPtr();
  ASSERT_NE(p, nullptr);
  auto* c = new TPlotLineRecord;
  c->CurveNumber = 1;
  c->XMax = c->YMax = 10;
  p->Axes.FirstCurve = c;
  ShowPlot(1);
  PlotWorkingCopy.FrameLeft = 123;
  PlotWorkingCopy.Axes.FrameRect.Left = 123;
  std::vector<uint8_t> out;
  WritePlotSection(out);
  ResetEngineState();
  size_t pos = 0;
  ASSERT_TRUE(ReadPlotSection(out.data(), out.size(), pos));
  ASSERT_EQ(PlotList.size(), 1u);
  EXPECT_EQ(PlotList[0]->Axes.FrameRect.Left, 123);
  ResetEngineState();
}

}  // namespace
}  // namespace voq

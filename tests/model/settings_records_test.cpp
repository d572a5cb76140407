// The stored settings records: preferences, stop criteria, document settings
// and the block of letter defaults, each checked byte by byte at its offsets
// and read back.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "core/extended.h"
#include "model/document_settings.h"
#include "model/program_units.h"
#include "model/solve_session.h"

namespace voq {
namespace {

std::vector<uint8_t> Le16(int v) {
  auto u = static_cast<uint16_t>(v);
  return {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8)};
}

std::vector<uint8_t> Le32(int32_t v) {
  auto u = static_cast<uint32_t>(v);
  return {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8), static_cast<uint8_t>(u >> 16),
          static_cast<uint8_t>(u >> 24)};
}

std::vector<uint8_t> Ext(Extended x) {
  std::vector<uint8_t> b(10);
  PackExtended(b.data(), x);
  return b;
}

std::vector<uint8_t> Slice(const std::vector<uint8_t>& buf, size_t at, size_t n) {
  return {buf.begin() + static_cast<long>(at), buf.begin() + static_cast<long>(at + n)};
}

// Every field set to a value that differs from its neighbours, so a field
// written at the wrong offset shows up as a wrong byte somewhere.
TPreferencesRecord DistinctPreferences() {
  TPreferencesRecord p;
  p.Reserved0 = 0xA0;
  p.EquationsInBlue = 1;
  p.FunctionNameCase = 2;
  p.UniformVariableCase = 1;
  p.Reserved4 = 0xA4;
  p.AllowEqualInFunctions = 1;
  p.KeywordCase = 2;
  p.HideSolutionAfterChange = 1;
  p.PrinterFont = 7;
  p.PrinterFontSize = 6;
  p.PrintLineSpacing = 2;
  p.UseArraysWindow = 1;
  p.ShowLocalVariables = 1;
  p.TableSumRow = 1;
  p.ShowSubscripts = 1;
  p.IntegrationRichardson = 1;
  p.WarningsB = 0;
  p.WrapLongLines = 1;
  p.ShowLineBreak = 1;
  p.PrintIndentEquations = 1;
  p.Reserved23 = {0xB7, 0xB8};
  p.DisplayFont = 3;
  p.DisplayFontSize = 5;
  p.Reserved29 = {0xC1, 0xC2};
  p.RecentFileCount = 8;
  p.PlotWidth = 0x1234;
  p.PlotHeight = 0x2345;
  p.PlotLeft = -90;
  p.PlotTop = 31;
  p.PlotTextColor = {1, 2, 3, 4};
  p.PlotTextStyle = {5, 6, 7, 1};
  p.PlotTextFont = {2, 3, 4, 5};
  p.PlotTextSize = {9, 11, 12, 14};
  p.PlotFrameColor = 12;
  p.PlotBorderThick = 1;
  p.PlotGridLines = -1;
  p.PlotGridColor = 13;
  p.PlotMajorTickSize = -10;
  p.PlotMinorTickSize = 10;
  p.IntegrationMaxStepsReciprocal = 0.002L;
  p.IntegrationMinStepsReciprocal = 0.2L;
  p.IntegrationReduceThreshold = 1E-3L;
  p.IntegrationIncreaseThreshold = 1E-5L;
  p.CommentColor1 = 14;
  p.CommentColor2 = 15;
  p.CommentStyle1 = 3;
  p.CommentStyle2 = 2;
  p.PrintCommentStyle1 = 1;
  p.PrintCommentStyle2 = 3;
  p.EnteredTableColor = 4;
  p.CalculatedTableColor = 9;
  p.EnteredTableStyle = 2;
  p.CalculatedTableStyle = 1;
  p.PrintInColor = 1;
  p.SpeedBarHidden = 1;
  p.ComplexMode = 1;
  p.ImaginaryJ = 1;
  p.Reserved148 = 0xD4;
  p.PlotCopyInColor = 1;
  p.PlotCopyFormat = 2;
  p.Reserved151 = 0xD7;
  p.CheckUnitsAutomatically = 1;
  p.Reserved153 = 0xD9;
  p.PrintEnteredTableStyle = 2;
  p.PrintCalculatedTableStyle = 1;
  p.ClipboardResolution = 4;
  p.IntegrationCheckInterval = 5;
  p.AutosaveMinutes = 999;
  p.TabWidth = 4800;
  for (size_t k = 0; k < p.Reserved166.size(); ++k) p.Reserved166[k] = static_cast<uint8_t>(0x60 + k);
  p.IntegrationStepFraction = 0.01L;
  for (size_t k = 0; k < p.Reserved184.size(); ++k) p.Reserved184[k] = static_cast<uint8_t>(k * 3 + 1);
  return p;
}

TEST(PreferencesRecordTest, FieldsSitAtTheirOffsets) {
  TPreferencesRecord p = DistinctPreferences();
  std::vector<uint8_t> buf(kStoredPreferencesSize, 0xEE);
  PackPreferences(p, buf.data());

  struct Case {
    size_t offset;
    std::vector<uint8_t> bytes;
  };
  std::vector<Case> cases = {
      {0, {0xA0, 1, 2, 1, 0xA4, 1, 2, 1}},
      {8, Le16(7)},
      {10, Le16(6)},
      {12, Le16(2)},
      {14, {1, 1, 1, 1, 1, 0, 1, 1, 1, 0xB7, 0xB8}},
      {25, Le16(3)},
      {27, Le16(5)},
      {29, {0xC1, 0xC2}},
      {31, Le16(8)},
      {33, {0x34, 0x12, 0x45, 0x23}},
      {37, Le16(-90)},
      {39, Le16(31)},
      {41, {1, 0, 2, 0, 3, 0, 4, 0}},
      {49, {5, 0, 6, 0, 7, 0, 1, 0}},
      {57, {2, 0, 3, 0, 4, 0, 5, 0}},
      {65, {9, 0, 11, 0, 12, 0, 14, 0}},
      {73, Le16(12)},
      {75, {1}},
      {76, Le16(-1)},
      {78, Le16(13)},
      {80, Le16(-10)},
      {82, Le16(10)},
      {84, Ext(0.002L)},
      {94, Ext(0.2L)},
      {104, Ext(1E-3L)},
      {114, Ext(1E-5L)},
      {124, {14, 0, 15, 0, 3, 0, 2, 0, 1, 0, 3, 0}},
      {136, {4, 0, 9, 0, 2, 0, 1, 0}},
      {144, {1, 1, 1, 1, 0xD4, 1, 2, 0xD7, 1, 0xD9}},
      {154, {2, 0, 1, 0, 4, 0, 5, 0}},
      {162, Le16(999)},
      {164, Le16(4800)},
      {166, {0x60, 0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67}},
      {174, Ext(0.01L)},
      {184, {1, 4, 7}},
      {253, {static_cast<uint8_t>(69 * 3 + 1)}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Slice(buf, c.offset, c.bytes.size()), c.bytes) << "offset " << c.offset;
  }
}

TEST(PreferencesRecordTest, StoredBytesReadBackUnchanged) {
  // Arbitrary bytes everywhere, valid reals at the real offsets: every byte,
  // reserved ones included, survives a read and a write.
  std::vector<uint8_t> stored(kStoredPreferencesSize);
  for (size_t k = 0; k < stored.size(); ++k) stored[k] = static_cast<uint8_t>(k * 37 + 11);
  for (size_t at : {84, 94, 104, 114, 174}) PackExtended(stored.data() + at, -1.5L * static_cast<Extended>(at));

  TPreferencesRecord p;
  UnpackPreferences(stored.data(), p);
  std::vector<uint8_t> again(kStoredPreferencesSize, 0);
  PackPreferences(p, again.data());
  EXPECT_EQ(again, stored);
  EXPECT_EQ(p.IntegrationStepFraction, -1.5L * 174);
  EXPECT_EQ(p.PlotWidth, static_cast<int16_t>(stored[33] | (stored[34] << 8)));
}

TEST(StopCriteriaRecordTest, FieldsSitAtTheirOffsetsAndReadBack) {
  TStopCriteriaRecord c;
  c.RelativeResidualTolerance = 1E-6L;
  c.ChangeTolerance = 1E-9L;
  c.MaxIterations = 0x01020304;
  c.MaxElapsedSeconds = -2;
  std::vector<uint8_t> buf(kStoredStopCriteriaSize, 0xEE);
  PackStopCriteria(c, buf.data());
  EXPECT_EQ(Slice(buf, 0, 10), Ext(1E-6L));
  EXPECT_EQ(Slice(buf, 10, 10), Ext(1E-9L));
  EXPECT_EQ(Slice(buf, 20, 4), (std::vector<uint8_t>{0x04, 0x03, 0x02, 0x01}));
  EXPECT_EQ(Slice(buf, 24, 4), Le32(-2));

  TStopCriteriaRecord back;
  UnpackStopCriteria(buf.data(), back);
  EXPECT_EQ(back.RelativeResidualTolerance, 1E-6L);
  EXPECT_EQ(back.ChangeTolerance, 1E-9L);
  EXPECT_EQ(back.MaxIterations, 0x01020304);
  EXPECT_EQ(back.MaxElapsedSeconds, -2);
}

TEST(DocumentSettingsRecordTest, AngleFactorFollowsTheAngleByteWhateverWasStored) {
  // 0.017453293 as an x87 extended real, worked by hand: exponent 0x3FF9,
  // mantissa 0x8EFA35548F682C28 (rounded to nearest).
  const std::vector<uint8_t> degrees = {0x28, 0x2C, 0x68, 0x8F, 0x54, 0x35, 0xFA, 0x8E, 0xF9, 0x3F};
  const std::vector<uint8_t> one = {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F};
  struct Case {
    uint8_t angleByte;
    Extended storedFactor;
    std::vector<uint8_t> expected;
  };
  for (const Case& c : std::vector<Case>{{0, 3.0L, degrees}, {0, 0.0174532925199432957692L, degrees},
                                         {1, 0.5L, one}, {1, kDegreeAngleFactor, one}}) {
    std::vector<uint8_t> stored(kStoredDocumentSettingsSize, 0);
    stored[4] = c.angleByte;
    PackExtended(stored.data() + 6, c.storedFactor);
    for (size_t k = 16; k < 32; ++k) stored[k] = static_cast<uint8_t>(0x80 + k);
    TDocumentSettingsRecord s;
    UnpackDocumentSettings(stored.data(), s);
    std::vector<uint8_t> again(kStoredDocumentSettingsSize, 0xEE);
    PackDocumentSettings(s, again.data());
    EXPECT_EQ(Slice(again, 6, 10), c.expected) << "angle byte " << int(c.angleByte);
    EXPECT_EQ(Slice(again, 16, 16), Slice(stored, 16, 16)) << "reserved bytes carried unchanged";
  }
}

TEST(LetterDefaultBlockTest, RecordsFollowEachOtherFromAToZ) {
  std::array<TLetterDefaultRecord, 26> block{};
  for (size_t k = 0; k < block.size(); ++k) {
    block[k].Guess = static_cast<Extended>(k) + 0.5L;
    block[k].LowerLimit = -static_cast<Extended>(k);
    block[k].UpperLimit = 1000.0L + static_cast<Extended>(k);
    block[k].Style = static_cast<uint8_t>(k % 4);
    block[k].Digits = static_cast<int16_t>(k % 10);
    block[k].Units = std::string(k + 1 > 30 ? 30 : k + 1, static_cast<char>('a' + k));
  }
  std::vector<uint8_t> buf(kStoredLetterDefaultBlockSize, 0xEE);
  ASSERT_EQ(buf.size(), 1664u);
  PackLetterDefaultBlock(block, buf.data());
  // Record of the letter "T" (19) at 19 x 64.
  const size_t t = 19 * 64;
  EXPECT_EQ(Slice(buf, t, 10), Ext(19.5L));
  EXPECT_EQ(Slice(buf, t + 10, 10), Ext(-19.0L));
  EXPECT_EQ(Slice(buf, t + 20, 10), Ext(1019.0L));
  EXPECT_EQ(buf[t + 30], 3);
  EXPECT_EQ(Slice(buf, t + 31, 2), Le16(9));
  EXPECT_EQ(buf[t + 33], 20);
  EXPECT_EQ(buf[t + 34], 't');
  EXPECT_EQ(buf[1663], 0) << "bytes after the last units text are cleared";

  std::array<TLetterDefaultRecord, 26> back{};
  UnpackLetterDefaultBlock(buf.data(), back);
  std::vector<uint8_t> again(kStoredLetterDefaultBlockSize, 0);
  PackLetterDefaultBlock(back, again.data());
  EXPECT_EQ(again, buf);
  EXPECT_EQ(back[25].Units, std::string(26 > 30 ? 30 : 26, 'z'));
}

}  // namespace
}  // namespace voq

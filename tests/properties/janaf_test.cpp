// The JANAF procedure over a data file of polynomial fits: the stored record
// layout, the choice of the coefficient set, the range and look-up messages
// and the argument checks. The data file is written for each test in a
// folder of this process, which is current while the procedure runs.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/handles.h"
#include "platform/dynamic_library.h"
#include "properties/janaf.h"

namespace voq {
namespace {

// A made-up species whose two sets differ, so the set used shows in cp:
// cp/R = 1 at and above 1000 K, 2 below.
TJanafRecord TestSpecies() {
  TJanafRecord r;
  r.Name = "TESTGAS";
  r.Tmin = 300;
  r.Tmax = 2000;
  r.High[0] = 1;
  r.Low[0] = 2;
  r.Low[5] = 100;  // a6: h/(RT) gains a6/T
  return r;
}

class JanafTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = std::filesystem::temp_directory_path() / ("voq_janaf_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    saved = CurrentDirectoryPath();
    ASSERT_TRUE(SetCurrentDirectoryPath(folder.string()));
  }
  void TearDown() override {
    SetCurrentDirectoryPath(saved);
    std::filesystem::remove_all(folder);
  }
  void WriteFile(const std::vector<TJanafRecord>& records, size_t prefixBytes = 37) {
    const std::vector<uint8_t> bytes = BuildJanafFile(std::vector<uint8_t>(prefixBytes, 0x7f), records);
    std::ofstream out(folder / "JANAF.DLP", std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  // CALL JANAF(substance, T : Cp, h, s) with nIn inputs and nOut outputs.
  std::string Call(const std::string& substance, double t, double out[3], int nIn = 1, int nOut = 3) {
    std::vector<TParamNodeRecord> ins(static_cast<size_t>(nIn)), outs(static_cast<size_t>(nOut));
    for (size_t i = 0; i + 1 < ins.size(); ++i) ins[i].Next = &ins[i + 1];
    for (size_t i = 0; i + 1 < outs.size(); ++i) outs[i].Next = &outs[i + 1];
    for (TParamNodeRecord& o : outs) o.Value = -999;
    if (!ins.empty()) ins[0].Value = t;
    char text[256] = {};
    std::strncpy(text, substance.c_str(), 255);
    CallJanaf(text, 1, ins.empty() ? nullptr : ins.data(), outs.empty() ? nullptr : outs.data());
    for (int i = 0; i < 3 && i < nOut; ++i) out[i] = outs[static_cast<size_t>(i)].Value;
    return text;
  }

  std::filesystem::path folder;
  std::string saved;
};

TEST_F(JanafTest, RecordLayoutAtItsOffsets) {
  uint8_t bytes[kJanafRecordSize];
  TJanafRecord r = TestSpecies();
  r.High[6] = 1.5;
  r.Low[6] = -2.25;
  PackJanafRecord(r, bytes);
  EXPECT_EQ(bytes[0], 7);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes + 1), 7), "TESTGAS");
  double v = 0;
  std::memcpy(&v, bytes + 21, 8);
  EXPECT_EQ(v, 300);
  std::memcpy(&v, bytes + 29, 8);
  EXPECT_EQ(v, 2000);
  std::memcpy(&v, bytes + 37, 8);
  EXPECT_EQ(v, 1);  // a1 of the set at and above 1000 K
  std::memcpy(&v, bytes + 37 + 48, 8);
  EXPECT_EQ(v, 1.5);
  std::memcpy(&v, bytes + 93, 8);
  EXPECT_EQ(v, 2);  // a1 of the set below 1000 K
  std::memcpy(&v, bytes + 93 + 48, 8);
  EXPECT_EQ(v, -2.25);
  // The file ends with the block's offset.
  const std::vector<uint8_t> file = BuildJanafFile(std::vector<uint8_t>(10, 0), {r});
  ASSERT_EQ(file.size(), 10u + kJanafRecordSize + 4u);
  EXPECT_EQ(file[file.size() - 4], 10);
  EXPECT_EQ(file[file.size() - 1], 0);
}

TEST_F(JanafTest, SetAtAndAbove1000KAndBelow) {
  WriteFile({TestSpecies()});
  const double r = kJanafGasConstant;
  struct Case {
    double t;
    double cp, h, s;  // hand calculation from the formulas
  };
  const Case cases[] = {
      {1000, r, r * 1000, r * std::log(1000.0)},
      {999.999, 2 * r, r * 999.999 * (2 + 100 / 999.999), 2 * r * std::log(999.999)},
      {300, 2 * r, r * 300 * (2 + 100 / 300.0), 2 * r * std::log(300.0)},    // Tmin is in range
      {2000, r, r * 2000, r * std::log(2000.0)},                              // so is Tmax
  };
  for (const Case& c : cases) {
    double out[3];
    EXPECT_EQ(Call("testgas", c.t, out), "") << c.t;
    EXPECT_NEAR(out[0], c.cp, 1e-9) << c.t;
    EXPECT_NEAR(out[1], c.h, 1e-6) << c.t;
    EXPECT_NEAR(out[2], c.s, 1e-9) << c.t;
  }
}

TEST_F(JanafTest, Messages) {
  TJanafRecord other = TestSpecies();
  other.Name = "OTHER";
  WriteFile({other, TestSpecies()});
  struct Case {
    const char* substance;
    double t;
    const char* message;
  };
  const Case cases[] = {
      {"TestGas", 299.9, "The data for TESTGAS are valid for temperatures between  300 and 2000 K"},
      {"TestGas", 2000.1, "The data for TESTGAS are valid for temperatures between  300 and 2000 K"},
      {"argon", 500, "ARGON was not found in the database."},
  };
  for (const Case& c : cases) {
    double out[3];
    EXPECT_EQ(Call(c.substance, c.t, out), c.message);
    EXPECT_EQ(out[0], -999);
    EXPECT_EQ(out[2], -999);
  }
  double out[3];
  EXPECT_EQ(Call("TESTGAS", 500, out, 2, 3), "Wrong number of inputs for JANAF.");
  EXPECT_EQ(Call("TESTGAS", 500, out, 1, 2), "Wrong number of outputs for JANAF.");
  std::filesystem::remove(folder / "JANAF.DLP");
  EXPECT_EQ(Call("TESTGAS", 500, out), "JANAF.DLP was not found or unreadable. ");
  // The syntax query.
  char text[256] = {};
  CallJanaf(text, -1, nullptr, nullptr);
  EXPECT_STREQ(text, "CALL JANAF('Substance',T:CP,H,S)");
}

TEST_F(JanafTest, TextFormOfTheFits) {
  std::vector<TJanafRecord> records;
  std::string error;
  ASSERT_TRUE(ParseJanafText("# comment\nX 200 3500\n1 2 3 4 5 6 7\n8 9 10 11 12 13 14\n", records, error));
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].Low[0], 1);
  EXPECT_EQ(records[0].High[6], 14);
  EXPECT_FALSE(ParseJanafText("X 200 3500 1 2 3", records, error));
}

}  // namespace
}  // namespace voq

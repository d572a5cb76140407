// The VOQREFP6 procedure against a stand-in of the external property
// library (tests/external/refp32_stub.c): what the library receives, in
// which order, and what comes back, with the library and its fluid files in
// a folder of this process.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/extended.h"
#include "properties/external_property_library.h"

namespace voq {
namespace {

namespace fs = std::filesystem;

class VoqRefp6Test : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() / ("voq_refp_" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder / "FLUIDS");
    fs::create_directories(folder / "MIXTURES");
    fs::copy_file(fs::path(VOQ_TEST_LIBRARY_DIR) / "REFP32.DLL", folder / "REFP32.DLL");
    for (const char* f : {"R32", "R125", "R134A", "R143A", "R152A", "R22"}) Fluid(f);
    PropertyLibraryDirectory = folder.string() + "/";
    // Held open by the test, so the stand-in's records outlive each call.
    stub = dlopen((folder / "REFP32.DLL").c_str(), RTLD_NOW);
    ASSERT_NE(stub, nullptr);
  }
  void TearDown() override {
    if (stub != nullptr) dlclose(stub);
    fs::remove_all(folder);
  }
  void Fluid(const std::string& name) { std::ofstream(folder / "FLUIDS" / (name + ".FLD")) << "fluid\n"; }
  template <typename T>
  T* Stub(const char* name) {
    return static_cast<T*>(dlsym(stub, name));
  }
  // Runs the procedure; returns the mode and leaves the text in text.
  int32_t Call(const std::string& fluid, std::vector<double> in, int32_t nOut) {
    std::memset(text, 0, sizeof text);
    std::strncpy(text, fluid.c_str(), 255);
    in.resize(20, 0.0);
    inCount = static_cast<int32_t>(inputsUsed);
    for (double& o : out) o = 0;
    int32_t mode = 0;
    int32_t outCount = nOut;
    CallVoqRefp6(text, static_cast<int32_t>(std::strlen(text)), mode, inCount, in.data(), outCount, out);
    return mode;
  }
  std::vector<double> LibraryInputs() {
    const int32_t n = *Stub<int32_t>("RefpLastCount");
    const double* v = Stub<double>("RefpLastInputs");
    return std::vector<double>(v, v + n);
  }

  fs::path folder;
  void* stub = nullptr;
  char text[256];
  double out[20];
  int32_t inCount = 0;
  size_t inputsUsed = 0;
};

TEST_F(VoqRefp6Test, InputsReachTheLibraryInOrder) {
  // R32+R125, code 12 (T, P given): code, T, P and the fraction of R32.
  inputsUsed = 5;
  EXPECT_EQ(Call("R32+R125", {12, 300, 1000, 0.7, 0}, 11), 1);
  EXPECT_STREQ(text, "VOQREFP6 expects 4 inputs.");
  inputsUsed = 4;
  ASSERT_EQ(Call("R32+R125", {12, 300, 1000, 0.7}, 11), 0) << text;
  // The set-up call: the component count, then 3 and 1.
  EXPECT_EQ(*Stub<int32_t>("RefpSetupCount"), 3);
  EXPECT_EQ(Stub<double>("RefpSetupInputs")[0], 2);
  const std::vector<double> sent = LibraryInputs();
  ASSERT_EQ(sent.size(), 5u);
  EXPECT_EQ(sent[0], 1.01);
  EXPECT_EQ(sent[1], 300);
  EXPECT_EQ(sent[2], 1000);
  EXPECT_DOUBLE_EQ(sent[3], 0.7);
  EXPECT_DOUBLE_EQ(sent[4], 0.3);
  EXPECT_EQ(std::string(Stub<char>("RefpLastText")),
            PropertyLibraryDirectory + "FLUIDS/|HMX.BNC|R32.FLD|R125.FLD|");
  // T, P, rho, v, h, s, Q, Cv, Cp, w and Q again (out of 0..1).
  const double expected[11] = {0.5, 1.5, 2.5, 3.5, 5.5, 6.5, 2, 7.5, 8.5, 9.5, 2};
  for (int i = 0; i < 11; ++i) EXPECT_EQ(out[i], expected[i]) << i;

  // 21 acts as 12 with the values swapped; 14 sends 1/V2.
  inputsUsed = 3;
  ASSERT_EQ(Call("R32", {21, 1000, 300}, 2), 0) << text;
  EXPECT_EQ(LibraryInputs(), (std::vector<double>{1.01, 300, 1000, 1}));
  ASSERT_EQ(Call("R32", {14, 300, 4}, 2), 0) << text;
  EXPECT_EQ(LibraryInputs(), (std::vector<double>{2.01, 300, 0.25, 1}));
}

TEST_F(VoqRefp6Test, Messages) {
  struct Case {
    std::string fluid;
    std::vector<double> in;
    int32_t nOut;
    int32_t mode;
    std::string text;
  };
  const std::string dll = PropertyLibraryDirectory + "REFP32.DLL";
  const Case cases[] = {
      {"R32+R125+R134A+R143A+R152A+R22", {100, 0, 0, 0, 0, 0}, 3, 3,
       "VOQREFP6 expects 1 to 5 components to be specified in the first calling parameter."},
      {"R32+R99", {12, 300, 1000, 0.5}, 11, 5, "R99 is not a recognized fluid name."},
      {"R32", {12, 300, 1000}, 12, 4, "VOQREFP6 expects to return11 (or fewer) outputs."},
      {"R32", {55, 300, 1000}, 1, 99, "VOQREFP6 does not recognize a calculation code of 55."},
      {"R32+R125", {12, 300, 1000, 1.5}, 1, 2, "Mole fractions must be greater than 0 and sum to unity."},
  };
  for (const Case& c : cases) {
    inputsUsed = c.in.size();
    EXPECT_EQ(Call(c.fluid, c.in, c.nOut), c.mode) << c.fluid;
    EXPECT_EQ(std::string(text), c.text) << c.fluid;
  }
  // The library missing.
  PropertyLibraryDirectory = (folder / "nowhere").string() + "/";
  inputsUsed = 3;
  EXPECT_EQ(Call("R32", {12, 300, 1000}, 1), 99);
  EXPECT_EQ(std::string(text), "Error 0 while reading " + PropertyLibraryDirectory + "REFP32.DLL.");
  // A folder in the fluid text names the library's folder.
  EXPECT_EQ(Call(folder.string() + "/R32", {12, 300, 1000}, 1), 0) << text;
}

// A fluid list longer than the caller's text: the library still receives it
// whole, in a buffer of its own, and the caller's 256 bytes are never
// written past (the sanitizer build checks the bounds).
TEST_F(VoqRefp6Test, LongFluidListDoesNotOverflowTheText) {
  std::string fluid;
  std::vector<std::string> names;
  for (int i = 0; i < 5; ++i) {
    names.push_back("LONGFLUIDNAME" + std::to_string(i) + std::string(34, 'X'));
    Fluid(names.back());
    fluid += (i ? "+" : "") + names.back();
  }
  ASSERT_LT(fluid.size(), 256u);
  // Code 100 takes the code and the fractions of the first four.
  inputsUsed = 5;
  ASSERT_EQ(Call(fluid, {100, 0.2, 0.2, 0.2, 0.2}, 3), 0) << text;
  const std::string received(Stub<char>("RefpLastText"));
  EXPECT_GT(received.size(), 255u);
  EXPECT_EQ(received.substr(received.size() - names[4].size() - 5), names[4] + ".FLD|");
}

// A mixture file is found by name in any case; one whose component count is
// out of range is not used.
TEST_F(VoqRefp6Test, MixtureFiles) {
  auto writeMix = [&](const std::string& file, const std::string& name, int16_t n,
                      const std::vector<std::string>& components, double x1) {
    std::vector<uint8_t> b(581, 0);
    b[1] = static_cast<uint8_t>(name.size());
    std::memcpy(b.data() + 2, name.data(), name.size());
    b[257] = static_cast<uint8_t>(n & 0xff);
    b[258] = static_cast<uint8_t>((n >> 8) & 0xff);
    PackExtended(b.data() + 309, x1);
    for (const std::string& c : components) {
      std::vector<uint8_t> entry(32, 0);
      entry[0] = static_cast<uint8_t>(c.size());
      std::memcpy(entry.data() + 1, c.data(), c.size());
      b.insert(b.end(), entry.begin(), entry.end());
    }
    std::ofstream(folder / "MIXTURES" / file, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
  };
  writeMix("R410A.MIX", "R410A", 2, {"R32", "R125"}, 0.697);
  writeMix("BAD.MIX", "BADMIX", 30000, {"R32"}, 0.5);
  // A predefined mixture needs only the code and the two values.
  inputsUsed = 3;
  ASSERT_EQ(Call("r410a", {12, 300, 1000}, 2), 0) << text;
  const std::vector<double> sent = LibraryInputs();
  ASSERT_EQ(sent.size(), 5u);
  EXPECT_DOUBLE_EQ(sent[3], 0.697);
  EXPECT_DOUBLE_EQ(sent[4], 1 - 0.697);
  EXPECT_EQ(Call("BADMIX", {12, 300, 1000}, 2), 5);
  EXPECT_EQ(std::string(text), "BADMIX is not a recognized fluid name.");
}

}  // namespace
}  // namespace voq

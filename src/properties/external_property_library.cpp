#include "properties/external_property_library.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "core/extended.h"
#include "core/text_utils.h"
#include "platform/dynamic_library.h"
#include "voq/external.h"

namespace voq {

std::string PropertyLibraryDirectory = "/opt/refprop/";
std::string PropertyLibraryFileName = "REFP32.DLL";

void ResetExternalPropertyLibrary() {
  PropertyLibraryDirectory = "/opt/refprop/";
  PropertyLibraryFileName = "REFP32.DLL";
}

namespace {

constexpr size_t kTextLimit = 255;
constexpr int32_t kLibraryValues = 200;
// The library's own text buffer: the file list of five components with long
// folder names does not fit the caller's 256 bytes.
constexpr size_t kLibraryTextSize = 10000;
constexpr int32_t kMaxComponents = 5;
constexpr size_t kMixHeaderSize = 581;
constexpr size_t kMixNameSize = 32;

void SetText(char* text, const std::string& value) {
  const size_t n = std::min(value.size(), kTextLimit);
  std::memcpy(text, value.data(), n);
  text[n] = '\0';
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

struct TMixture {
  std::vector<std::string> Components;
  std::vector<double> Fractions;  // the first n - 1
};

// A predefined mixture whose name equals fluid (any case): its components
// and fractions. The component count is checked before anything uses it.
bool FindMixture(const std::string& directory, const std::string& fluid, TMixture& mixture) {
  std::error_code ec;
  const std::filesystem::path folder = directory + "MIXTURES/";
  if (!std::filesystem::is_directory(folder, ec)) return false;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    if (!entry.is_regular_file(ec)) continue;
    if (UpperCaseText(entry.path().extension().string()) != ".MIX") continue;
    std::ifstream file(entry.path(), std::ios::binary);
    std::vector<uint8_t> header(kMixHeaderSize);
    if (!file.read(reinterpret_cast<char*>(header.data()), static_cast<std::streamsize>(kMixHeaderSize))) continue;
    const std::string name(reinterpret_cast<const char*>(header.data() + 2), header[1]);
    if (!SameTextNoCase(name, fluid)) continue;
    const int16_t n = static_cast<int16_t>(header[257] | header[258] << 8);
    if (n < 1 || n > kMaxComponents) return false;
    TMixture m;
    for (int i = 0; i < n - 1; ++i) m.Fractions.push_back(static_cast<double>(UnpackExtended(header.data() + 309 + 10 * i)));
    for (int i = 0; i < n; ++i) {
      uint8_t bytes[kMixNameSize];
      if (!file.read(reinterpret_cast<char*>(bytes), kMixNameSize)) return false;
      m.Components.emplace_back(reinterpret_cast<const char*>(bytes + 1), std::min<size_t>(bytes[0], kMixNameSize - 1));
    }
    mixture = m;
    return true;
  }
  return false;
}

struct TCodeRow {
  int32_t Code;
  double LibraryCode;
  int32_t ExtraInputs;  // inputs beyond n: 0, 1 or 2
  int32_t Kind;         // 0 one value, 1..4 saturation, 5 state, 6 composition, 7 two values, 8 three values
};

const TCodeRow kCodes[] = {
    {0, 18.01, 0, 0},  {1, 12.01, 1, 1},  {2, 13.01, 1, 2},  {3, 14.01, 1, 3},  {4, 15.01, 1, 4},
    {12, 1.01, 2, 5},  {13, 2.01, 2, 5},  {14, 2.01, 2, 5},  {17, 16.01, 2, 5}, {25, 3.01, 2, 5},
    {26, 4.01, 2, 5},  {27, 17.01, 2, 5}, {80, 10.01, 2, 6}, {90, 9.01, 2, 7},  {100, 8.01, 0, 8},
};

int32_t MaxOutputs(int32_t kind, int32_t n) {
  switch (kind) {
    case 0: return 1;
    case 5: return 11;
    case 6: return n;
    case 7: return 2;
    case 8: return 3;
    default: return 2 * n + 4;
  }
}

}  // namespace

void CallVoqRefp6(char* text, int32_t /*textLength*/, int32_t& mode, int32_t& inputCount, double* inputs,
                  int32_t& outputCount, double* outputs) {
  if (mode == -1) {
    SetText(text,
            "Call VOQREFP6('fluid1+fluid2+...' or 'mixture',Code,V1,V2 : T,P,rho,v,h,s,Q,Cv,Cp,w)  {Press Info to "
            "see other calling options.}");
    return;
  }
  std::string fluid(text, strnlen(text, kTextLimit));
  std::string directory = PropertyLibraryDirectory;
  const size_t slash = fluid.find_last_of("/\\");
  if (slash != std::string::npos) {
    directory = fluid.substr(0, slash + 1);
    fluid.erase(0, slash + 1);
  }
  const std::string libraryPath = directory + PropertyLibraryFileName;
  LibraryHandle library = LoadDynamicLibrary(libraryPath);
  if (library == nullptr) {
    mode = 99;
    SetText(text, "Error 0 while reading " + libraryPath + ".");
    return;
  }
  auto entry = reinterpret_cast<VoqArrayProcedure>(FindLibraryEntry(library, "REFP32"));
  if (entry == nullptr) {
    mode = 99;
    SetText(text, "GetProcAddress failed while reading " + libraryPath + ".");
    FreeDynamicLibrary(library);
    return;
  }
  mode = 0;
  const int32_t wantedOutputs = outputCount;
  for (int32_t i = 0; i < wantedOutputs; ++i) outputs[i] = -999.0;

  // The evaluation; every exit below frees the library.
  [&] {
    TMixture mixture;
    bool predefined = false;
    const std::string first = fluid.substr(0, fluid.find('+'));
    if (!FileExists(directory + "FLUIDS/" + first + ".FLD")) {
      predefined = FindMixture(directory, fluid, mixture);
      if (predefined) {
        fluid.clear();
        for (size_t i = 0; i < mixture.Components.size(); ++i) fluid += (i ? "+" : "") + mixture.Components[i];
      }
    }
    std::string files = directory + "FLUIDS/|HMX.BNC|";
    int32_t n = 0;
    size_t from = 0;
    while (from <= fluid.size()) {
      size_t plus = fluid.find('+', from);
      if (plus == std::string::npos) plus = fluid.size();
      const std::string component = fluid.substr(from, plus - from);
      ++n;
      if (!FileExists(directory + "FLUIDS/" + component + ".FLD")) {
        mode = 5;
        SetText(text, component + " is not a recognized fluid name.");
        return;
      }
      files += component + ".FLD|";
      if (plus == fluid.size()) break;
      from = plus + 1;
    }
    if (n < 1 || n > kMaxComponents) {
      mode = 3;
      SetText(text, "VOQREFP6 expects 1 to 5 components to be specified in the first calling parameter.");
      return;
    }
    std::vector<char> libraryText(kLibraryTextSize, '\0');
    std::memcpy(libraryText.data(), files.data(), std::min(files.size(), kLibraryTextSize - 1));
    const int32_t length = static_cast<int32_t>(std::strlen(libraryText.data()));
    std::vector<double> in(kLibraryValues, 0.0);
    std::vector<double> out(kLibraryValues, -999.0);

    // Set-up call: the component count and the library's set-up inputs.
    int32_t libraryMode = -1;
    int32_t count = 3;
    int32_t outCount = kLibraryValues;
    in[0] = n;
    in[1] = 3;
    in[2] = 1;
    entry(libraryText.data(), length, &libraryMode, &count, in.data(), &outCount, out.data());
    if (libraryMode > 0) {
      mode = libraryMode;
      libraryText.back() = '\0';
      SetText(text, libraryText.data());
      return;
    }

    // The code's digits in ascending order, the values swapped with them.
    int32_t code = static_cast<int32_t>(std::lround(inputCount > 0 ? inputs[0] : 0));
    double v1 = inputCount > 1 ? inputs[1] : 0;
    double v2 = inputCount > 2 ? inputs[2] : 0;
    const int32_t tens = code / 10 % 10;
    const int32_t units = code % 10;
    if (code < 100 && units != 0 && units < tens) {
      code = units * 10 + tens;
      std::swap(v1, v2);
    }
    const TCodeRow* row = nullptr;
    for (const TCodeRow& r : kCodes) {
      if (r.Code == code) row = &r;
    }
    if (row == nullptr) {
      mode = 99;
      SetText(text, "VOQREFP6 does not recognize a calculation code of " + std::to_string(code) + ".");
      return;
    }
    int32_t expected = n + row->ExtraInputs;
    if (predefined && expected > 1) expected -= n - 1;
    if (inputCount != expected) {
      mode = 1;
      SetText(text, "VOQREFP6 expects " + std::to_string(expected) + " inputs.");
      return;
    }
    std::fill(in.begin(), in.end(), 0.0);
    in[0] = row->LibraryCode;
    if (row->ExtraInputs >= 1) in[1] = v1;
    if (row->ExtraInputs >= 2) in[2] = code == 14 ? 1.0 / v2 : v2;
    int32_t at = 1 + row->ExtraInputs;
    double sum = 0;
    if (predefined) {
      for (double x : mixture.Fractions) {
        in[static_cast<size_t>(at++)] = x;
        sum += x;
      }
    } else {
      for (int32_t i = 1 + row->ExtraInputs; i < inputCount; ++i) {
        in[static_cast<size_t>(at++)] = inputs[i];
        sum += inputs[i];
      }
      if (sum > 1 || sum < 0) {
        mode = 2;
        SetText(text, "Mole fractions must be greater than 0 and sum to unity.");
        return;
      }
    }
    in[static_cast<size_t>(at++)] = 1 - sum;
    count = at;

    // The calculation call.
    libraryMode = 0;
    outCount = kLibraryValues;
    std::fill(out.begin(), out.end(), -999.0);
    std::memcpy(libraryText.data(), files.data(), std::min(files.size(), kLibraryTextSize - 1));
    entry(libraryText.data(), length, &libraryMode, &count, in.data(), &outCount, out.data());
    if (libraryMode > 0) {
      mode = libraryMode;
      libraryText.back() = '\0';
      SetText(text, libraryText.data());
      return;
    }
    const int32_t maximum = MaxOutputs(row->Kind, n);
    if (wantedOutputs > maximum) {
      mode = 4;
      SetText(text, "VOQREFP6 expects to return" + std::to_string(maximum) + " (or fewer) outputs.");
      return;
    }
    std::vector<int32_t> positions;
    auto composition = [&](int32_t first) {
      for (int32_t i = 0; i < n; ++i) positions.push_back(first + i);
    };
    switch (row->Kind) {
      case 0: positions = {0}; break;
      case 1: positions = {n + 16, n + 17, 2 * n + 31, 2 * n + 32}; composition(2 * n + 45); break;
      case 2: positions = {n + 16, n + 17, 2 * n + 31, 2 * n + 32}; composition(n + 30); break;
      case 3: positions = {n + 15, n + 17, 2 * n + 30, 2 * n + 32}; composition(2 * n + 45); break;
      case 4: positions = {n + 15, n + 17, 2 * n + 30, 2 * n + 32}; composition(n + 30); break;
      case 5: positions = {0, 1, 2, 3, 5, 6, 10, 7, 8, 9, 10}; break;
      case 6: composition(0); break;
      case 7: positions = {0, 1}; break;
      default: positions = {0, 1, 2}; break;
    }
    for (int32_t i = 0; i < wantedOutputs && i < static_cast<int32_t>(positions.size()); ++i) {
      const int32_t p = positions[static_cast<size_t>(i)];
      outputs[i] = (p >= 0 && p < kLibraryValues) ? out[static_cast<size_t>(p)] : -999.0;
    }
    if (libraryMode < 0) mode = libraryMode;
    // The quality on a mass basis from the molar masses of both phases.
    const double q = out[10];
    if (row->Kind == 5 && q >= 0 && q <= 1 && wantedOutputs >= 11 && 3 * n + 44 < kLibraryValues) {
      auto molarMass = [&](int32_t first) {
        std::vector<double> x(kLibraryValues, 0.0);
        std::vector<double> y(kLibraryValues, -999.0);
        x[0] = 19.01;
        for (int32_t i = 0; i < n; ++i) x[static_cast<size_t>(i + 1)] = out[static_cast<size_t>(first + i)];
        int32_t m = 0;
        int32_t c = count;
        int32_t o = kLibraryValues;
        std::memcpy(libraryText.data(), files.data(), std::min(files.size(), kLibraryTextSize - 1));
        entry(libraryText.data(), length, &m, &c, x.data(), &o, y.data());
        return y[static_cast<size_t>(n)];
      };
      const double ml = molarMass(n + 30);
      const double mv = molarMass(2 * n + 45);
      const double denominator = q * mv + (1 - q) * ml;
      if (denominator != 0) outputs[10] = q * mv / denominator;
    }
  }();
  FreeDynamicLibrary(library);
}

}  // namespace voq

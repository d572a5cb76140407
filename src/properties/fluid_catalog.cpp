#include "properties/fluid_catalog.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/program_flags.h"
#include "core/text_utils.h"

namespace voq {

std::vector<TFluidCatalogRecord> SubstanceCatalog;
int32_t SubstanceCount = 0;
std::vector<std::string> FluidDescriptions;
std::vector<std::pair<std::string, int32_t>> ReferenceStateList;
std::string AdditionalLibraryFolder;

namespace {

constexpr size_t kNameLength = 30;

struct TBuiltinSubstanceRow {
  const char* Name;
  int32_t Kind;
  int32_t HelpContext;
};

// Rows 0..77: name, kind and help topic of the built-in substances.
constexpr std::array<TBuiltinSubstanceRow, kBuiltinSubstanceCount + 1> kBuiltinRows{{
    {"DEFER", 0, 0},          {"Air", 1, 261},          {"AirH2O", 3, 262},
    {"Ammonia_mh", 2, 263},   {"CH4", 1, 264},          {"C2H6", 1, 265},
    {"C3H8", 1, 266},         {"C4H10", 1, 267},        {"CO", 1, 268},
    {"CO2", 1, 269},          {"H2", 1, 270},           {"H2O", 1, 271},
    {"N2", 1, 272},           {"NO2", 1, 273},          {"O2", 1, 274},
    {"R11", 2, 275},          {"R12", 2, 276},          {"R123", -2, 279},
    {"R13", 2, 277},          {"R134a_mh", 2, 280},     {"R14", 2, 278},
    {"R22_mh", 2, 281},       {"R114", 2, 282},         {"R500", 2, 283},
    {"R502", 2, 284},         {"SO2", 1, 285},          {"Steam", 2, 295},
    {"NO", 1, 287},           {"Nitrogen", -2, 288},    {"CarbonDioxide", -2, 289},
    {"Water", 2, 286},        {"Oxygen", -2, 290},      {"Propane_mh", 2, 291},
    {"Helium", -2, 292},      {"Ethylene", -2, 346},    {"n-pentane", -2, 294},
    {"Steam_NBS", 2, 295},    {"R32", 2, 296},          {"R141b", 2, 297},
    {"R290", 2, 291},         {"R600", 2, 316},         {"R717", 2, 263},
    {"R718", 2, 295},         {"R744", 2, 298},         {"R407C", 2, 299},
    {"R410A", 2, 300},        {"R404A", 2, 301},        {"R134a", -2, 302},
    {"Ethane", -2, 303},      {"R23", -2, 345},         {"Ammonia", -2, 304},
    {"Methane", -2, 305},     {"Propane", -2, 313},     {"Isobutane", -2, 314},
    {"n-Butane", -2, 316},    {"Neon", -2, 317},        {"Steam_IAPWS", -2, 331},
    {"R22", -2, 340},         {"R152a", -2, 341},       {"Argon", -2, 342},
    {"Isopentane", -2, 348},  {"Propylene", -2, 349},   {"RC318", -2, 354},
    {"R507A", 2, 352},        {"Methanol", -2, 353},    {"Hydrogen", -2, 363},
    {"C2H4", 1, 369},         {"CarbonMonoxide", -2, 372}, {"n-Hexane", -2, 373},
    {"C2H2", 1, 374},         {"C8H18", 1, 375},        {"C6H14", 1, 376},
    {"C2H5OH", 1, 386},       {"R125", -2, 404},        {"Air_ha", -2, 405},
    {"Xenon", -2, 406},       {"R508B", 2, 410},        {"Ice", 2, 295},
}};

std::string Cut(const std::string& text, size_t n) { return text.size() > n ? text.substr(0, n) : text; }

// "*.MHE" matches a name whose extension is ".MHE" in any case.
bool MatchesPattern(const std::string& name, const std::string& pattern) {
  const std::string ext = UpperCaseText(pattern.size() > 1 ? pattern.substr(1) : pattern);
  const std::string upper = UpperCaseText(name);
  return upper.size() > ext.size() && upper.compare(upper.size() - ext.size(), ext.size(), ext) == 0;
}

bool IsFolder(const std::string& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_directory(path, ec);
}

// Rows the array must hold for the next registration: grown rather than
// written past (files loaded after start-up may outnumber the spare rows).
void EnsureRow(int32_t row) {
  if (row >= static_cast<int32_t>(SubstanceCatalog.size())) SubstanceCatalog.resize(static_cast<size_t>(row) + 1);
}

}  // namespace

int32_t FindSubstanceRow(const std::string& name) {
  const std::string upper = UpperCaseText(name);
  for (int32_t r = 1; r <= SubstanceCount && r < static_cast<int32_t>(SubstanceCatalog.size()); ++r) {
    if (SubstanceCatalog[static_cast<size_t>(r)].UpperName == upper) return r;
  }
  return 0;
}

void SortCatalogIndex(std::vector<int32_t>& index, int32_t first, int32_t last) {
  // Quicksort with the middle element as pivot; std::string's comparison is
  // byte order with a prefix first.
  auto key = [&](int32_t pos) -> const std::string& {
    return SubstanceCatalog[static_cast<size_t>(index[static_cast<size_t>(pos)])].UpperName;
  };
  while (first < last) {
    int32_t i = first;
    int32_t j = last;
    const std::string pivot = key((first + last) / 2);
    while (i <= j) {
      while (key(i) < pivot) ++i;
      while (pivot < key(j)) --j;
      if (i <= j) {
        std::swap(index[static_cast<size_t>(i)], index[static_cast<size_t>(j)]);
        ++i;
        --j;
      }
    }
    // Recurse into the smaller part, loop over the larger: bounded depth.
    if (j - first < last - i) {
      SortCatalogIndex(index, first, j);
      first = i;
    } else {
      SortCatalogIndex(index, i, last);
      last = j;
    }
  }
}

void RegisterFluidFile(const std::string& fileName) {
  if (SubstanceCount >= kMaxSubstanceRows) {
    SetCalcError(kMsgSubstanceLimit, std::to_string(kMaxSubstanceRows));
    return;
  }
  const int32_t row = SubstanceCount + 1;
  EnsureRow(row);
  SubstanceCount = row;
  TFluidCatalogRecord& r = SubstanceCatalog[static_cast<size_t>(row)];
  r = TFluidCatalogRecord{};
  r.FileName = fileName;

  auto undo = [&] {
    SubstanceCatalog[static_cast<size_t>(row)] = TFluidCatalogRecord{};
    --SubstanceCount;
  };

  std::ifstream in(fileName, std::ios::binary);
  if (!in) {
    // 2: file not found, the run-time library's number for a failed open.
    SetMessageArg(1, "2");
    SetMessageArg(2, fileName);
    CalcErrorCode = kMsgFileReadIOError;
    MessageText = GetMessageText(kMsgFileReadIOError);
    undo();
    return;
  }
  std::string header;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("//", 0) == 0) continue;
    header = line;
    break;
  }
  in.close();

  const size_t bar = header.find('|');
  if (bar != std::string::npos) {
    r.Name = Cut(header.substr(0, bar), kNameLength);
    FluidDescriptions.push_back(header.substr(bar + 1));
    r.HelpContext = -static_cast<int32_t>(FluidDescriptions.size());
  } else {
    r.Name = Cut(header, kNameLength);
  }
  const std::string upper = UpperCaseText(r.Name);
  for (int32_t k = 1; k < row; ++k) {
    if (UpperCaseText(SubstanceCatalog[static_cast<size_t>(k)].Name) == upper) {
      SetCalcError(kMsgDuplicateFluidData, r.Name);
      undo();
      return;
    }
  }
  r.UpperName = upper;
  std::string ext = UpperCaseText(std::filesystem::path(fileName).extension().string());
  r.Kind = ext == ".MHE" ? 2 : 1;
  r.SortPosition = SubstanceCount;
  r.ModelData.reset();
}

void ScanFluidFiles(const std::string& pattern, bool countOnly, int16_t& count, const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    const std::string name = it->path().filename().string();
    if (MatchesPattern(name, pattern)) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) {
    if (CalcErrorCode != 0) break;
    if (countOnly) {
      ++count;
    } else {
      RegisterFluidFile((std::filesystem::path(folder) / name).string());
    }
  }
  if (CalcErrorCode > 0) ShowAlert(GetMessageText(CalcErrorCode), 0, true);
}

void ScanUserLibrary(bool countOnly, int16_t& count) {
  count = 0;
  if (!countOnly && CtrlKeyDown()) return;
  if (!AdditionalLibraryFolder.empty()) {
    if (!IsFolder(AdditionalLibraryFolder)) return;
    ScanFluidFiles("*.MHE", countOnly, count, AdditionalLibraryFolder);
    ScanFluidFiles("*.IDG", countOnly, count, AdditionalLibraryFolder);
  }
  const std::string userLib = (std::filesystem::path(ProgramDirectory) / "USERLIB").string();
  if (ProgramDirectory.empty() || !IsFolder(userLib)) return;
  ScanFluidFiles("*.MHE", countOnly, count, userLib);
  CalcErrorCode = 0;
  ScanFluidFiles("*.IDG", countOnly, count, userLib);
}

void BuildFluidCatalog() {
  FluidDescriptions.clear();
  ReferenceStateList.clear();
  SubstanceCatalog.clear();
  SubstanceCount = kBuiltinSubstanceCount;
  int16_t found = 0;
  ScanUserLibrary(true, found);
  int32_t spare = found;
  spare = (88 + spare < kMaxSubstanceRows) ? spare + 10 : 62;
  SubstanceCatalog.resize(static_cast<size_t>(kBuiltinSubstanceCount + spare) + 1);
  for (int32_t r = 0; r <= kBuiltinSubstanceCount; ++r) {
    TFluidCatalogRecord& row = SubstanceCatalog[static_cast<size_t>(r)];
    row.Name = kBuiltinRows[static_cast<size_t>(r)].Name;
    row.Kind = kBuiltinRows[static_cast<size_t>(r)].Kind;
    row.HelpContext = kBuiltinRows[static_cast<size_t>(r)].HelpContext;
    row.FileName.clear();
  }
  int16_t registered = 0;
  ScanUserLibrary(false, registered);
  for (int32_t r = 0; r <= SubstanceCount; ++r) {
    TFluidCatalogRecord& row = SubstanceCatalog[static_cast<size_t>(r)];
    row.UpperName = UpperCaseText(row.Name);
    row.ReferenceState = 0;
  }
  std::vector<int32_t> index(static_cast<size_t>(SubstanceCount) + 1);
  for (int32_t r = 0; r <= SubstanceCount; ++r) index[static_cast<size_t>(r)] = r;
  SortCatalogIndex(index, 1, SubstanceCount);
  SubstanceCatalog[0].SortPosition = 0;
  for (int32_t pos = 1; pos <= SubstanceCount; ++pos) {
    SubstanceCatalog[static_cast<size_t>(index[static_cast<size_t>(pos)])].SortPosition = pos;
  }
}

void ResetFluidCatalog() {
  SubstanceCatalog.clear();
  SubstanceCount = 0;
  FluidDescriptions.clear();
  ReferenceStateList.clear();
  AdditionalLibraryFolder.clear();
}

}  // namespace voq

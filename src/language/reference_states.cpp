#include "language/reference_states.h"

#include <algorithm>
#include <cstdlib>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/text_utils.h"
#include "language/reader_state.h"
#include "properties/fluid_catalog.h"

namespace voq {

namespace {
constexpr int32_t kReferenceFormatHelp = 409;
constexpr int32_t kUnknownSubstanceHelp = 360;

int32_t StateOfWord(const std::string& word) {
  if (word == "DFT") return 0;
  if (word == "NBP") return 1;
  if (word.rfind("ASH", 0) == 0) return 2;
  if (word == "IIR") return 3;
  return -1;
}
}  // namespace

void SetReferenceStateDirective(const std::string& upperDirective) {
  const size_t blank = upperDirective.find(' ');
  std::string rest = blank == std::string::npos ? std::string() : upperDirective.substr(blank + 1);
  TrimShort(rest);
  const size_t split = rest.find(' ');
  if (split == std::string::npos) {
    SetCalcErrorWithHelp(kMsgReferenceFormat, kReferenceFormatHelp);
    return;
  }
  std::string fluid = UpperCaseText(rest.substr(0, split)).substr(0, 30);
  std::string word = UpperCaseText(rest.substr(split + 1));
  TrimShort(word);

  const int32_t row = FindSubstanceRow(fluid);
  if (row == 0) {
    SetMessageArg(1, fluid);
    SetCalcErrorWithHelp(kMsgUnknownSubstance, kUnknownSubstanceHelp);
    return;
  }
  TFluidCatalogRecord& r = SubstanceCatalog[static_cast<size_t>(row)];
  if (r.Kind != -2) {
    SetCalcError(kMsgReferenceStateFixed, r.Name);
    return;
  }
  const int32_t state = StateOfWord(word);
  if (state < 0) {
    SetCalcError(kMsgUnknownReference, word);
    return;
  }
  r.ReferenceState = static_cast<uint8_t>(state);
  auto it = std::find_if(ReferenceStateList.begin(), ReferenceStateList.end(),
                         [&](const auto& entry) { return entry.first == fluid; });
  if (it == ReferenceStateList.end()) {
    ReferenceStateList.emplace_back(fluid, state);
  } else if (std::abs(it->second) == state) {
    it->second = state;
  } else {
    it->second = state;
    RecompileRequested = true;
  }
}

void MarkReferenceStatesUnused() {
  for (auto& entry : ReferenceStateList) entry.second = -std::abs(entry.second);
}

void ResetCatalogReferenceStates() {
  for (int32_t r = 1; r <= SubstanceCount && r < static_cast<int32_t>(SubstanceCatalog.size()); ++r) {
    SubstanceCatalog[static_cast<size_t>(r)].ReferenceState = 0;
  }
}

void DeleteUnusedReferenceStates() {
  std::erase_if(ReferenceStateList, [](const auto& entry) { return entry.second < 0; });
}

}  // namespace voq

#include "language/function_catalog.h"

#include <algorithm>

#include "core/text_utils.h"

namespace voq {

std::array<std::unique_ptr<TFunctionCatalogRecord>, kBuiltinFunctionCount + 1> BuiltinFunctionTable;
std::array<uint8_t, 28> BuiltinFunctionLetterIndex{};
std::array<std::string, kUnitSystemKeywordCount + 1> UnitSystemKeywords;

namespace {

constexpr uint8_t kNoLetterRow = kBuiltinFunctionCount + 1;

// 1 for "A" .. 26 for "Z" of the upper-cased first character; 0 otherwise.
int LetterNumber(char c) {
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return (c >= 'A' && c <= 'Z') ? c - 'A' + 1 : 0;
}

// Scans the run of the name's first letter: rows index[L] up to, not
// including, index[L+1]. upperOf(row) gives the row's upper-case name.
template <typename UpperOf>
int32_t ScanLetterRun(const std::string& name, const std::array<uint8_t, 28>& index,
                      UpperOf upperOf) {
  if (name.empty()) return 0;
  int letter = LetterNumber(name[0]);
  if (letter == 0) return 0;
  std::string upper = UpperCaseText(name);
  int32_t last = std::min<int32_t>(index[letter + 1], kNoLetterRow);
  for (int32_t row = index[letter]; row >= 1 && row < last; ++row) {
    if (upperOf(row) == upper) return row;
  }
  return 0;
}

}  // namespace

void BuildFunctionCatalog() {
  BuiltinFunctionLetterIndex.fill(0);
  int lettersSet = 0;  // letter bytes 1..lettersSet are filled
  for (int32_t row = 1; row <= kBuiltinFunctionCount; ++row) {
    const TBuiltinFunctionRow& data = BuiltinFunctionRows[row - 1];
    auto record = std::make_unique<TFunctionCatalogRecord>();
    record->Name = std::string(data.Name).substr(0, kCatalogNameLength);
    record->ArgumentCount = data.ArgumentCount;
    record->Opcode = data.Opcode;
    record->SubCode = data.SubCode;
    record->Example = std::string(data.Example).substr(0, kCatalogExampleLength);
    record->HelpContext = data.HelpContext;
    record->TypesetClass = data.TypesetClass;
    if (record->Name == "PI") record->ConstantValue = CatalogPiValue;
    // The first name of a new initial letter opens the runs of that letter
    // and of every earlier letter that has no names.
    int letter = LetterNumber(record->Name.empty() ? '\0' : record->Name[0]);
    while (lettersSet < letter) BuiltinFunctionLetterIndex[++lettersSet] = static_cast<uint8_t>(row);
    BuiltinFunctionTable[row] = std::move(record);
  }
  UnitSystemKeywords[0].clear();
  for (int32_t k = 1; k <= kUnitSystemKeywordCount; ++k) {
    UnitSystemKeywords[k] = UnitSystemKeywordTexts[k - 1];
  }
  while (lettersSet < 26) BuiltinFunctionLetterIndex[++lettersSet] = kNoLetterRow;
  BuiltinFunctionLetterIndex[27] = 0;
  for (int32_t row = 1; row <= kBuiltinFunctionCount; ++row) {
    TFunctionCatalogRecord& record = *BuiltinFunctionTable[row];
    record.UpperName = UpperCaseText(record.Name).substr(0, kCatalogNameLength);
  }
}

void ReleaseFunctionCatalog() {
  for (auto& record : BuiltinFunctionTable) record.reset();
}

int32_t FindBuiltinFunctionRow(const std::string& name) {
  return ScanLetterRun(name, BuiltinFunctionLetterIndex, [](int32_t row) -> const std::string& {
    static const std::string kNone;
    return BuiltinFunctionTable[row] ? BuiltinFunctionTable[row]->UpperName : kNone;
  });
}

const TFunctionCatalogRecord* FindBuiltinFunctionRecord(const std::string& name) {
  int32_t row = FindBuiltinFunctionRow(name);
  return row > 0 ? BuiltinFunctionTable[row].get() : nullptr;
}

BuiltinFunctionCatalog::BuiltinFunctionCatalog() {
  for (int32_t row = 1; row <= kBuiltinFunctionCount; ++row) {
    const TFunctionCatalogRecord* record = BuiltinFunctionTable[row].get();
    if (record == nullptr) continue;
    TFunctionCatalogEntry& entry = entries_[row];
    entry.Name = record->Name;
    entry.UpperName = record->UpperName;
    entry.ArgumentCount = record->ArgumentCount;
    entry.HelpContext = record->HelpContext;
    entry.Opcode = record->Opcode;
    entry.SubCode = record->SubCode;
    entry.ConstantValue = record->ConstantValue;
  }
  letterIndex_ = BuiltinFunctionLetterIndex;
}

const TFunctionCatalogEntry* BuiltinFunctionCatalog::FindBuiltinFunction(
    const std::string& upperName) const {
  int32_t row = ScanLetterRun(upperName, letterIndex_,
                              [this](int32_t r) -> const std::string& { return entries_[r].UpperName; });
  return row > 0 ? &entries_[row] : nullptr;
}

void InstallBuiltinFunctionCatalog() {
  BuildFunctionCatalog();
  static std::unique_ptr<BuiltinFunctionCatalog> installed;
  auto fresh = std::make_unique<BuiltinFunctionCatalog>();
  SetBuiltinFunctions(fresh.get());
  installed = std::move(fresh);
}

}  // namespace voq

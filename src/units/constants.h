#pragma once
// The built-in constants (names ending in "#"), read at start-up from the
// tab-separated "Constants.txt": a description and a value with units in SI
// and in English units each. Equations refer to a constant by its 0-based
// position in ConstantsList; the document's unit system picks the value.
#include <cstdint>
#include <string>
#include <vector>

#include "core/extended.h"

namespace voq {

inline constexpr size_t kConstantNameLength = 30;
inline constexpr size_t kConstantDescriptionLength = 255;
inline constexpr size_t kConstantFieldLength = 30;

struct TConstantRecord {
  std::string Name;  // ends in "#"
  std::string Description;
  std::string SIValueText;
  std::string EnglishValueText;
  Extended SIValue = 0;
  Extended EnglishValue = 0;
  std::string SIUnits;
  std::string EnglishUnits;
  uint8_t Flag = 0;
  // The English value was to be converted from the SI value ("?") and the
  // conversion failed: the English value is unknown (BlankValue).
  bool EnglishConversionFailed = false;
};

extern std::vector<TConstantRecord> ConstantsList;

// Fills ConstantsList from Constants.txt in UnitsFileDirectory(); a missing
// file leaves it empty.
void LoadConstantsFile();
// Reads one constants file into ConstantsList (emptied first). A format
// error shows message 491 or 492, keeps the constants read before in file
// order and returns that message number; 0 on success. -1: no such file.
int32_t LoadConstantsFrom(const std::string& path);
// The header line a written file starts with.
inline constexpr const char* kConstantsFileHeader =
    "//Name \tDescription \tSIValue \tSIUnits \tEngValue \t, EngUnits";

// Comparators of the load and of a header click: name, description and
// current units compare the upper-cased first 30 characters; value the
// current values. Each result is multiplied by direction (+1 or -1).
int CompareConstantsByName(const TConstantRecord& a, const TConstantRecord& b, int direction);
int CompareConstantsByDescription(const TConstantRecord& a, const TConstantRecord& b, int direction);
int CompareConstantsByValue(const TConstantRecord& a, const TConstantRecord& b, int direction);
int CompareConstantsByUnits(const TConstantRecord& a, const TConstantRecord& b, int direction);
// Sorts ConstantsList by column 0 name, 1 description, 2 value, 3 units.
void SortConstants(int column, int direction);

// 0-based position of the first constant with this name (compared
// upper-cased), or -1.
int32_t FindConstantPosition(const std::string& name);
// Value and units of constant j in the document's unit system.
Extended CurrentConstantValue(const TConstantRecord& c);
std::string CurrentConstantValueText(const TConstantRecord& c);
std::string CurrentConstantUnits(const TConstantRecord& c);
// Whether the current value is unknown (a failed "?" conversion).
bool CurrentConstantValueMissing(const TConstantRecord& c);

}  // namespace voq

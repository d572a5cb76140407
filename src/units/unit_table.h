#pragma once
// The unit table: every unit the program can convert or check, read once
// from "UNITS.TXT" (or, in a distributable program, from a block of the
// program's own file) into a doubly linked list in file order. Each unit
// has a size factor in the base units of its dimension and the exponents of
// its dimension over eight base dimensions.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/extended.h"

namespace voq {

// Exponents of the base dimensions, in this order: L (length), M (mass),
// T (time), D (temperature), A (angle), C (charge), N (amount), $ (money).
// Reals, because powers may be fractional.
inline constexpr int kDimensionCount = 8;
inline constexpr char kDimensionLetters[kDimensionCount + 1] = "LMTDACN$";
using TDimensionVector = std::array<Extended, kDimensionCount>;
inline constexpr int kAnglePosition = 4;  // 0-based position of A

inline constexpr size_t kUnitNameLength = 40;

struct TUnitDefinitionRecord {
  std::string Name;           // as written, at most 40 characters
  Extended Factor = 1;        // size in the base units of its dimension
  TDimensionVector Exponents{};
  std::string DimensionName;  // the dimension line's name, blanks kept
  std::string UpperName;      // Name upper-cased, the lookup key
  TUnitDefinitionRecord* Next = nullptr;
  TUnitDefinitionRecord* Previous = nullptr;
};

extern TUnitDefinitionRecord* UnitTableHead;
extern TUnitDefinitionRecord* UnitTableTail;
// Set only by the retry of ConvertUnitFactor: lookups walk from the tail so
// that the last definition of a name wins.
extern bool UnitSearchFromEnd;

// Where a distributable program keeps its unit block: its own file and the
// offset its information record gives. Filled by the distributable start-up.
struct TDistributableUnitsBlock {
  std::string File;
  int64_t Offset = 0;
};
extern TDistributableUnitsBlock DistributableUnitsBlock;

// Builds the table: from the distributable block when DistributableMode is
// set, otherwise from UNITS.TXT in UnitsFileDirectory(). A missing file is
// announced by an alert and leaves the table empty.
void LoadUnitTable();
// Reads one units file (appending to the table); false when it could not be
// opened. A format error is shown (344, 345) and stops the load; the units
// read before stay.
bool LoadUnitsFile(const std::string& path);
// One line of a units file, for the loader and its tests: 0 when taken (or
// ignored), else the message number shown (344, 345). currentDimension
// carries the dimension from line to line.
struct TUnitFileReader {
  bool HaveDimension = false;
  std::string DimensionName;
  TDimensionVector Exponents{};
};
int32_t ReadUnitsFileLine(const std::string& line, TUnitFileReader& reader);
// The exponents of a dimension formula such as "M/L-T^2)".
TDimensionVector ParseDimensionFormula(const std::string& formula);
// Releases every record; the table is empty afterwards.
void FreeUnitTable();
// Appends a unit at the table's end (the loaders' and tests' way in).
void AppendUnitDefinition(const std::string& name, Extended factor,
                          const TDimensionVector& exponents, const std::string& dimensionName);
// The factor of an (upper-cased) unit name and its exponents; a name the
// table lacks sets 346 (347 when it holds "*") with the name in
// MessageArgs[1] and help context 182, and gives 1 with zero exponents.
Extended FindUnitDefinition(const std::string& name, TDimensionVector& exponents);
int32_t UnitTableCount();

// The folder the units and constants files are read from: ProgramDirectory
// when it is set, else the "data" folder beside the running program.
std::string UnitsFileDirectory();

// The distributable block: a little-endian int16 count, then 180-byte
// records (name as a short string of 40, factor, 8 exponents, dimension
// name as a short string of 40, two ignored link fields).
inline constexpr size_t kUnitRecordSize = 180;
void PackUnitRecord(const TUnitDefinitionRecord& unit, uint8_t* dst);
void UnpackUnitRecord(const uint8_t* src, TUnitDefinitionRecord& unit);
std::vector<uint8_t> PackUnitBlock();
// Reads a block at offset of file into the table; a failure beeps and keeps
// what was read. False on failure.
bool LoadUnitBlock(const std::string& file, int64_t offset);

}  // namespace voq

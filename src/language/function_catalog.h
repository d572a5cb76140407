#pragma once
// The catalogue of built-in function names: for each name the opcode and
// sub-code the compiler emits, the argument count it checks, the example and
// help topic of the function information dialog and the class the report
// typesetter uses. Built once at start-up, alphabetical by upper-case name,
// with a first-letter index that limits each lookup to one letter's run.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "core/extended.h"
#include "language/language_services.h"

namespace voq {

inline constexpr int32_t kBuiltinFunctionCount = 85;
inline constexpr size_t kCatalogNameLength = 15;
inline constexpr size_t kCatalogExampleLength = 65;
inline constexpr int32_t kUnitSystemKeywordCount = 17;

// PI compiles to this constant, 3.14159265359 (12 significant digits), not to
// the full-precision value of pi.
inline constexpr long double CatalogPiValue = MakeExtended(0x4000, 0xC90FDAA221774EE4ULL);

// One catalogue name. The same record serves the property-name table.
struct TFunctionCatalogRecord {
  std::string Name;           // as listed: upper case, except "Duplicate"
  std::string UpperName;      // the key of every lookup
  int32_t ArgumentCount = 0;  // 0 without an argument list, -2 for SUM and PRODUCT
  int32_t HelpContext = 0;
  uint8_t Opcode = 0;         // 0 and 32: compiled by special rules
  int32_t SubCode = 0;        // > 0: passed as an extra first argument
  std::string Example;
  Extended ConstantValue = 0; // PI only; never read for other names
  int32_t TypesetClass = 0;   // 0 special, 1/3 operator forms, 2 named function, 4 subscripted
};

// One row of the compiled-in data the catalogue is built from.
struct TBuiltinFunctionRow {
  const char* Name;
  int32_t ArgumentCount;
  uint8_t Opcode;
  int32_t SubCode;
  int32_t HelpContext;
  int32_t TypesetClass;
  const char* Example;
};
extern const std::array<TBuiltinFunctionRow, kBuiltinFunctionCount> BuiltinFunctionRows;
extern const std::array<const char*, kUnitSystemKeywordCount> UnitSystemKeywordTexts;

// Rows 1..85 (index 0 unused); null until BuildFunctionCatalog.
extern std::array<std::unique_ptr<TFunctionCatalogRecord>, kBuiltinFunctionCount + 1>
    BuiltinFunctionTable;
// Bytes 1..27 (index 0 unused): byte k is the first row whose name begins
// with letter k ("A" = 1) or a later letter, 86 when none; byte 27 is 0, so
// the run of "Z" is empty.
extern std::array<uint8_t, 28> BuiltinFunctionLetterIndex;
// Keywords 1..17 of the UNITSYSTEM form (index 0 unused).
extern std::array<std::string, kUnitSystemKeywordCount + 1> UnitSystemKeywords;

// Allocates and fills the 85 records, the letter index and the unit-system
// keywords. Building again replaces the previous records.
void BuildFunctionCatalog();
// Frees the 85 records (the main window's destruction).
void ReleaseFunctionCatalog();

// Row (1..85) of a built-in name, compared without regard to case within the
// run of its first letter; 0 when not found or not built.
int32_t FindBuiltinFunctionRow(const std::string& name);
// The record of a built-in name, or null.
const TFunctionCatalogRecord* FindBuiltinFunctionRecord(const std::string& name);

// Serves the compiler's catalogue interface from the built table.
class BuiltinFunctionCatalog : public FunctionCatalog {
 public:
  // Takes the facts of the table as built now (BuildFunctionCatalog first).
  BuiltinFunctionCatalog();
  const TFunctionCatalogEntry* FindBuiltinFunction(const std::string& upperName) const override;

 private:
  std::array<TFunctionCatalogEntry, kBuiltinFunctionCount + 1> entries_;
  std::array<uint8_t, 28> letterIndex_{};
};

// Start-up: builds the catalogue and installs it for the compiler
// (SetBuiltinFunctions) through one program-lifetime adapter.
void InstallBuiltinFunctionCatalog();

}  // namespace voq

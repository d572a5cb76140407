#pragma once
// The fluid catalogue: every substance name a property call may use. Row
// numbers are substance codes: row 0 "DEFER" (a substance chosen at run
// time by a string variable), rows 1..77 the built-in substances, rows 78 and
// up the user fluid files (".MHE" Martin-Hou, ".IDG" ideal gas) in
// registration order, at most 140 rows in use.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/extended.h"

namespace voq {

inline constexpr int32_t kBuiltinSubstanceCount = 77;
inline constexpr int32_t kMaxSubstanceRows = 140;

struct TFluidCatalogRecord {
  std::string Name;       // as written, at most 30 characters
  std::string UpperName;  // the key of every look-up
  // 1 ideal gas; 2 real fluid with two phases (Martin-Hou, NBS steam, or a
  // refrigerant-number name); 3 moist air; -2 high-accuracy fluid; 0 row 0.
  int32_t Kind = 0;
  // 1-based place of the row among rows 1..SubstanceCount ordered by
  // UpperName; 0 for row 0.
  int32_t SortPosition = 0;
  // Full path of a user fluid file; empty for rows 0..77.
  std::string FileName;
  // The model's data read from a user fluid file on first use (the ideal-gas
  // model keeps its data record here); null until then.
  std::shared_ptr<void> ModelData;
  // > 0 help topic; < 0 minus the 1-based line of FluidDescriptions; 0 none.
  int32_t HelpContext = 0;
  // 0 DFT, 1 NBP, 2 ASH, 3 IIR.
  uint8_t ReferenceState = 0;
  Extended RefEnthalpyOffset = 0;
  Extended RefEntropyOffset = 0;
};

// Rows 0 to the array's capacity; SubstanceCount is the highest row in use.
extern std::vector<TFluidCatalogRecord> SubstanceCatalog;
extern int32_t SubstanceCount;
// The description lines of user fluid files, in registration order.
extern std::vector<std::string> FluidDescriptions;
// The reference states chosen by $REFERENCE: the upper-case fluid name with
// the state as its number (negative while marked unused during a read).
extern std::vector<std::pair<std::string, int32_t>> ReferenceStateList;
// The additional user-library folder, scanned before USERLIB; empty for none.
extern std::string AdditionalLibraryFolder;

// Builds the catalogue (once at start-up, before any equation is compiled):
// the built-in rows, then every user fluid file of the additional folder and
// of USERLIB in the program directory, then the sort positions.
void BuildFluidCatalog();
// Registers one user fluid file in the next row. Errors 375 (all 140 rows
// in use), 355 (the file cannot be read; MessageText holds the message) and
// 651 (the name is taken). The caller shows them.
void RegisterFluidFile(const std::string& fileName);
// Counts (countOnly) or registers the user fluid files of the additional
// folder and USERLIB. Holding Ctrl while registering skips them all.
void ScanUserLibrary(bool countOnly, int16_t& count);
// The plain files of folder matching pattern ("*.MHE" or "*.IDG"), in name
// order: counted, or registered while no error is pending. A positive error
// left at the end is shown as an error alert.
void ScanFluidFiles(const std::string& pattern, bool countOnly, int16_t& count, const std::string& folder);
// Sorts positions first..last of index (rows) by the rows' UpperName: byte
// order, a prefix before the longer name.
void SortCatalogIndex(std::vector<int32_t>& index, int32_t first, int32_t last);

// Row (1..SubstanceCount) whose UpperName equals the upper-cased name; 0
// when none. Row 0 is never matched.
int32_t FindSubstanceRow(const std::string& name);

// Back to the state before BuildFluidCatalog (engine reset).
void ResetFluidCatalog();

}  // namespace voq

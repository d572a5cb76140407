#pragma once
// The sections of a problem file between the variables and the uncertainty
// set-up that the document gathers from the table, plot and other windows,
// and the two after it:
//   table groups (kinds 1 to 3): int32 K (0: the window does not exist),
//     byte M (1: the window keeps a list of tables), int32 the table shown
//     (1-based); K times a 643-byte table header when M is 1, then the
//     table's section (tables/table_section.h);
//   window layout: int16 W (9), W entries of 19 bytes, int16 the active
//     window (negated when maximised);
//   string-constant block: int32 L and L bytes of lines (CR LF);
//   program units: int16 U, each a 133-byte header and the unit's variable
//     section;
//   custom colours: int32 Q, each int32 (L + 1) and a string of L
//     characters;
//   local-variable formats: int32 F and F records of 170 bytes.
// Readers take data[pos..size), check every count against what remains
// before anything is made, advance pos and return false with CalcErrorCode
// set on a fault.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace voq {

struct TLocalVariableRecord;

inline constexpr size_t kWindowLayoutEntrySize = 19;
inline constexpr size_t kProgramUnitHeaderSize = 133;
inline constexpr size_t kStoredLocalVariableSize = 170;

// Kind 1 to 3. Each table of the group is made current while its section is
// written, and the table that was shown is shown again afterwards.
// purgedNumbers: for each main-program variable its number in a purged
// file (the parametric columns are written with it).
void WriteTableGroup(int32_t kind, std::vector<uint8_t>& out, const std::vector<int32_t>* purgedNumbers = nullptr);
// Reads a group into the kind's window: each section a new table (tab), its
// name, grid position, file name, run range and file date from its header.
// A single table without a header is "Table 1" or "Lookup 1". The saved
// current table is shown afterwards.
bool ReadTableGroup(int32_t kind, const uint8_t* data, size_t size, size_t& pos);

// The window layout: the entries read (or, for windows never read, the
// rectangle 20, 20, 40, 40 and zeros), with the parametric window's run
// range and run options and the Plot window's shown plot taken from their
// models.
void WriteWindowLayout(std::vector<uint8_t>& out);
bool ReadWindowLayout(const uint8_t* data, size_t size, size_t& pos);

// Written empty (L = 1 and a zero byte): string values travel with the
// tables and variables. Read: each line not yet among the string constants
// (any case) is added.
void WriteStringBlock(std::vector<uint8_t>& out);
bool ReadStringBlock(const uint8_t* data, size_t size, size_t& pos);

// The modules and subprograms in use that were not loaded from a library.
void WriteProgramUnits(std::vector<uint8_t>& out);
// Each unit is found by name or created, takes its header's two flags and
// three arrays, is marked not in use, and reads its variables.
bool ReadProgramUnits(const uint8_t* data, size_t size, size_t& pos, char documentSeparator = '.',
                      char systemSeparator = '.');

void WriteCustomColors(std::vector<uint8_t>& out);
bool ReadCustomColors(const uint8_t* data, size_t size, size_t& pos);

// The 170 stored bytes of a local; the upper-case name field gets
// upperNameField (in documents the routine's name). The routine slot is
// written and read as 0: formats are matched to routines by name.
void PackLocalVariableRecord(const TLocalVariableRecord& l, const std::string& upperNameField, uint8_t* dst);
void UnpackLocalVariableRecord(const uint8_t* src, TLocalVariableRecord& l);

// The locals with a format set of every routine not from a library, and the
// formats kept in LocalFormatList for routines not compiled now.
void WriteLocalFormats(std::vector<uint8_t>& out);
// LocalFormatList is emptied and receives the records read.
bool ReadLocalFormats(const uint8_t* data, size_t size, size_t& pos);

}  // namespace voq

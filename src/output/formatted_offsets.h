#pragma once
// Where the user moved statements of the Formatted Equations page. A drag
// gives a statement a user offset from its computed place; statements are
// compiled afresh from the text (at every Check and after a document is
// opened), so the offsets are kept here by the statement's position in the
// Equations text and handed to the statement compiled at that position.
// The document carries them in a block after its last section, written
// only when some statement was moved (a document without moves keeps its
// bytes; a reader that stops after the last section ignores the block).
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace voq {

struct TEquationRecord;

// Text position -> (x, y) user offset, in screen units.
extern std::map<int32_t, std::pair<int16_t, int16_t>> FormattedOffsets;

// The statement's offset: the kept one for its text position (which the
// statement then takes over), else its own.
void TakeFormattedOffset(TEquationRecord& e);
// Keeps the statement's offset (a zero offset is forgotten).
void KeepFormattedOffset(const TEquationRecord& e);

// The header and end lines of routines and program units moved on the
// page. A routine keeps its record only while its header text stays, so
// these are kept by the kind of line and the routine's or unit's
// upper-case name, which a compile gives back unchanged.
inline constexpr uint8_t kRoutineHeaderLine = 1;
inline constexpr uint8_t kRoutineEndLine = 2;
inline constexpr uint8_t kUnitHeaderLine = 3;
inline constexpr uint8_t kUnitEndLine = 4;
extern std::map<std::pair<uint8_t, std::string>, std::pair<int32_t, int32_t>> FormattedHeaderOffsets;
// The line's offset, (0, 0) when it was never moved.
std::pair<int32_t, int32_t> HeaderOffset(uint8_t line, const std::string& upperName);
// Moves the line by (dx, dy) (each offset kept within +-32000); an offset
// back at (0, 0) is forgotten.
void MoveHeaderLine(uint8_t line, const std::string& upperName, int32_t dx, int32_t dy);

// The blocks: "FEQO", int32 n, then n records of int32 text position,
// int16 x, int16 y; nothing when no statement was moved. Then "FEQH",
// int32 n, n records of uint8 line, uint8 name length, the name's bytes,
// int32 x, int32 y; nothing when no header or end line was moved.
void PackFormattedOffsets(std::vector<uint8_t>& out);
// Reads the blocks at pos when they are there; false for a damaged block
// (nothing is taken from it). Absent blocks: true, nothing changes.
bool UnpackFormattedOffsets(const uint8_t* data, size_t size, size_t& pos);

// A new document has no moved statements or headers.
void ResetFormattedOffsets();

}  // namespace voq

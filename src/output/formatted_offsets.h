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

// The block: "FEQO", int32 n, then n records of int32 text position,
// int16 x, int16 y; nothing when no statement was moved.
void PackFormattedOffsets(std::vector<uint8_t>& out);
// Reads the block at pos when one is there; false for a damaged block
// (nothing is taken from it). Absent block: true, nothing changes.
bool UnpackFormattedOffsets(const uint8_t* data, size_t size, size_t& pos);

// A new document has no moved statements.
void ResetFormattedOffsets();

}  // namespace voq

#pragma once
// The Diagram window's two sections of a problem file, kept as bytes until
// the diagram has a model of its own. The file has no directory, so both
// are parsed to find where they end:
//   entries: a picture block (int32 marker, 0 for none; 16: int16 mapping
//     mode, x and y extent, a spare word, int32 S and S bytes), int16 E and
//     E entries. An entry is a 75-byte head and (word 73) + 1 bytes of text;
//     a hot-area picture entry (word 61 = -2) has a picture block after its
//     text.
//   objects: int16 G and G elements: a 115-byte graphic object, then its
//     group's members as a list of their own when the group field (103) is
//     not 0, then int32 S and S bytes for a picture (kind 3) or formatted
//     text (kind 5). After an object of kind 4 the list's remaining
//     elements are entries.
// What was read is written back unchanged; a document without a diagram
// gets the sections of a reset Diagram window (no picture, the Calculate,
// Save, Load and Help buttons, no objects).
#include <cstddef>
#include <cstdint>
#include <vector>

namespace voq {

inline constexpr size_t kDiagramEntryHeadSize = 75;

// The entry section of a reset Diagram window.
std::vector<uint8_t> ResetDiagramEntrySection();

// Section 13, from DiagramEntrySection or the reset diagram. With
// newNumbers (purging: for each main-program variable number its number in
// the file, 0 when left out), input and output items take their variable's
// new number; an item whose number is no kept variable becomes a text item.
void WriteDiagramEntrySection(std::vector<uint8_t>& out, const std::vector<int16_t>* newNumbers = nullptr);
// Reads section 13 into DiagramEntrySection. A block or count that runs
// past the data, or an impossible one, fails with CalcErrorCode set
// (message 389); nothing is kept then.
bool ReadDiagramEntrySection(const uint8_t* data, size_t size, size_t& pos);

// Section 15, from DiagramObjectSection or an empty list.
void WriteDiagramObjectSection(std::vector<uint8_t>& out);
bool ReadDiagramObjectSection(const uint8_t* data, size_t size, size_t& pos);

// The variable numbers of the input and output items (kinds 1 and 2) of the
// stored entry section, in entry order.
std::vector<int32_t> DiagramItemVariables();

}  // namespace voq

#pragma once
// What a document carries for windows whose models this program does not
// build yet, kept as the file gave it so that opening and saving a document
// loses none of it: the window layout entries, the Diagram window's two
// sections, and the colour dialog's custom colours. Also the printer
// orientation the header records, which the host injects.
#include <cstdint>
#include <string>
#include <vector>

namespace voq {

// The layout version this program writes.
inline constexpr const char* kDocumentVersion = "6.462";

// The window layout as read: the entries of 19 bytes each (window 1 first)
// and the active-window word. Empty entries: no document layout was read.
extern std::vector<std::vector<uint8_t>> WindowLayoutEntries;
extern int16_t WindowLayoutActive;

// The Diagram window's entry section (picture block, int16 E and the
// entries) and its object list (int16 G and the objects), byte for byte as
// read; empty while the diagram is the reset one.
extern std::vector<uint8_t> DiagramEntrySection;
extern std::vector<uint8_t> DiagramObjectSection;

// The colour dialog's custom colours, each "name=hex" as the dialog keeps it.
extern std::vector<std::string> CustomColors;

// The printer's orientation as the host reports it (written into the
// header as "L") and as the last document read asked for it.
extern bool PrinterLandscape;

// Forgets the window layout and the diagram a document brought (every
// document reset, File/New included, and the start of every document read),
// so that nothing of one document is saved with the next.
void ClearDocumentCarriedState();
// Every global above back to its start value.
void ResetDocumentsState();
// Registers ResetDocumentsState with the engine reset and the reading of the
// defaults files with the engine start; a front end that links the documents
// layer calls it once, before StartEngine.
void InstallDocuments();

}  // namespace voq

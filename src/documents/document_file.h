#pragma once
// The binary problem file (".VOQ"): a 16-byte header, the Equations text,
// then the document's sections one after the other without a directory, so
// a reader must take every section in order. This file holds the start of
// the file (header and text), the first four sections (the calculation
// settings (32 bytes), the stop criteria (28), the letter defaults (26 x 64)
// and a unit's variable section: int16 N and N stored variable records), the
// plot section, the min/max settings and the uncertainty section.
//
// Every reader takes its bytes from data[pos..size), checks each count and
// length against what remains before it allocates or indexes, advances pos
// and returns false with CalcErrorCode set when the data is short or holds
// an impossible count.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/program_units.h"

namespace voq {

inline constexpr size_t kDocumentHeaderSize = 16;
inline constexpr size_t kStopCriteriaSize = 28;

// The header text: "C" in complex mode, else "X"; the program version; the
// decimal separator when it is not "."; "L" for a landscape printer; cut at
// 15 characters (the header is a string[15]).
std::string DocumentHeaderText(bool complexMode, const std::string& version, char decimalSeparator,
                               bool landscapePrinter);

// Header (string[15]) and the int32 text length T (the text plus a zero
// byte), then the text and its zero byte.
void WriteDocumentStart(const std::string& header, const std::string& text, std::vector<uint8_t>& out);
bool ReadDocumentStart(const uint8_t* data, size_t size, size_t& pos, std::string& header, std::string& text);

// Sections 1 to 3: DocumentSettings, StopCriteria and LetterDefaults.
void WriteSettingsSections(std::vector<uint8_t>& out);
bool ReadSettingsSections(const uint8_t* data, size_t size, size_t& pos);

// The variable section of unit. When newNumbers is given (purging of unused
// variables), it holds for each variable number its number in the file, 0
// for a variable that is left out; the limit-variable numbers are renumbered
// through it. The unit's variables are never changed.
void WriteVariableSection(const TProgramUnitRecord& unit, std::vector<uint8_t>& out,
                          const std::vector<int16_t>* newNumbers = nullptr);

// Reads a variable section into unit. N above MaxVariables gives message 397
// (kMsgVariableLimitExceeded, argument N). When the unit already has exactly
// N variables their records are reused and keep their unknown position;
// otherwise the unit's variables are replaced. documentSeparator and
// systemSeparator are the decimal separators of the file and of this
// system: when they differ, the array-index separators of the names are
// rewritten to the system's (";" with a decimal comma, "," otherwise).
bool ReadVariableSection(const uint8_t* data, size_t size, size_t& pos, TProgramUnitRecord* unit,
                         char documentSeparator = '.', char systemSeparator = '.');

// The plot section: int16 P, then the document form of each plot of
// PlotList in tab order (plots/plot_document.h). A plot stored without
// curves shows message 398 (kMsgOldPlotUnread) and is skipped; the plots
// after it are still read. A P outside 0 to what the data could hold, or a
// plot entry that fails, is a failure with CalcErrorCode set.
void WritePlotSection(std::vector<uint8_t>& out);
bool ReadPlotSection(const uint8_t* data, size_t size, size_t& pos);

// MinMaxSetup, 43 bytes.
void WriteMinMaxSection(std::vector<uint8_t>& out);
bool ReadMinMaxSection(const uint8_t* data, size_t size, size_t& pos);

// The uncertainty section: int32 30, the 607-byte UncertaintySettings,
// int32 E and E entries of 20 bytes (variable number, uncertainty, the
// kind and mark words, the relative flag and its spare byte) for the main
// program's variables whose uncertainty is set, then int32 0. With purging
// E is 0. A variable number outside the main program gives message 636
// (kMsgUncertaintyReadError); the rest of the section is not read.
void WriteUncertaintySection(std::vector<uint8_t>& out, bool purge = false);
bool ReadUncertaintySection(const uint8_t* data, size_t size, size_t& pos);

}  // namespace voq

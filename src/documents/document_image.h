#pragma once
// The whole problem file (".VOQ") and the library form (".LIB") of a
// document, built in memory and read from memory; the file versions write
// and read the same bytes.
//
// Problem file: the header and the Equations text, then, in order, the
// settings, stop criteria and letter defaults, the main program's
// variables, the table groups of kinds 1 to 3, the empty integral group
// (int32 0), a reserved int32 0, the plots, the min/max settings, the window
// layout, the diagram's entries, the string-constant block, the diagram's
// objects, the program units, the uncertainty set-up, the custom colours
// and the local-variable formats.
//
// Library form: a string[30] "$SB1-", the decimal separator when it is not
// ".", "C" or "X", the version and a CR; the text length and the text; the
// program units and the local-variable formats.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace voq {

// The sections of a problem file in file order, 1-based as they are
// numbered in TDocumentReadResult::FailedSection (0: the header and text).
inline constexpr int32_t kDocumentSectionCount = 19;

// The main program's variables kept by a save with purging: for each
// variable number its number in the file, 0 for a variable left out. A
// variable is kept when the equations use it (its status is not 0), a
// diagram input or output item shows it or it is a column of a parametric
// table. The variables themselves are not changed.
std::vector<int16_t> PurgedVariableNumbers();

// The problem file of the current document with text as its equations.
// With purge, unused main-program variables are left out.
std::vector<uint8_t> WriteDocumentImage(const std::string& text, bool purge = false);
// The library form: the text, the program units and the local formats.
std::vector<uint8_t> WriteLibraryImage(const std::string& text);

struct TDocumentReadResult {
  // Read: the header and the text were read (also when a later section
  // failed); false when nothing could be taken from the data.
  bool Read = false;
  bool Library = false;
  // The header's first letter was W, X or C (or the library mark was found);
  // otherwise only the text was taken.
  bool Recognised = false;
  std::string Header;
  std::string Version;
  std::string Text;
  char DocumentSeparator = '.';
  bool Landscape = false;
  // The section whose reading failed (its message is shown and
  // CalcErrorCode is set), 0 when every section was read.
  int32_t FailedSection = 0;
};

// Reads a document into the current state, which the caller has reset: the
// header and text, then every section in order. A section that fails ends
// the reading; what was read before it stays and everything after it keeps
// its reset state. Holding Ctrl and Shift stops after the tables; Ctrl alone
// stops after the diagram's objects. The library form is recognised by
// "$SB1" at the start and gives the text and the program units.
TDocumentReadResult ReadDocumentImage(const uint8_t* data, size_t size);

// The file forms. WriteDocumentBinary chooses the library form for a name
// ending in ".LIB" while there are modules or subprograms, else the
// problem file. False when the file cannot be written: the I/O error is
// shown and CalcErrorCode is 389 with its number.
bool WriteDocumentBinary(const std::string& fileName, const std::string& text, bool purge = false);
// False when the file cannot be opened (the I/O error is shown) or nothing
// could be read from it; result holds what was read.
bool ReadDocumentBinary(const std::string& fileName, TDocumentReadResult& result);

}  // namespace voq

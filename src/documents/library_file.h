#pragma once
// Reading a library file (".LIB") of FUNCTIONs, PROCEDUREs, MODULEs and
// SUBPROGRAMs: the library form ("$SB1" header, the equation text, the
// program units with their variables) or plain equation text.
#include <cstdint>
#include <string>
#include <vector>

namespace voq {

struct TLibraryFileContents {
  bool LibraryForm = false;      // "$SB1" header; otherwise plain text
  char DecimalSeparator = '.';   // of the file
  std::string Version;           // e.g. "6.462"; empty for plain text
  std::string Text;              // the equation text (CR LF lines)
};

// Reads the bytes of a library file. In the library form the program-unit
// section that follows the text (read when the version is above 4.6) finds
// or creates each unit by name and reads its variables into it. False with a
// reason in error when the layout is broken (a length past the end).
bool ReadLibraryBytes(const std::vector<uint8_t>& bytes, TLibraryFileContents& contents, std::string& error);
// The same from a file; false when it cannot be read.
bool ReadLibraryFile(const std::string& path, TLibraryFileContents& contents, std::string& error);

}  // namespace voq

#pragma once
// Default variable information files (".DVI"): the 26 letter defaults "A"
// to "Z" behind an 11-byte header, 1,675 bytes in all. The Default Variable
// Information dialog stores and loads them, and start-up reads
// "VOQ_DFLT.DVI" from the program directory when there is one.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/program_units.h"

namespace voq {

inline constexpr size_t kDviHeaderSize = 11;
inline constexpr size_t kDviFileSize = kDviHeaderSize + kStoredLetterDefaultBlockSize;
inline constexpr const char* kDefaultDviFileName = "VOQ_DFLT.DVI";

// The bytes of a file: byte 5, "DVI_1", five zero bytes, then the block.
std::vector<uint8_t> PackDviFile(const std::array<TLetterDefaultRecord, 26>& block);
// The header is not checked. A file shorter than 1,675 bytes gives false and
// leaves block unchanged; bytes after the block are ignored.
bool UnpackDviFile(const std::vector<uint8_t>& bytes, std::array<TLetterDefaultRecord, 26>& block);

// Pascal-style I/O result codes: 0 success, 2 not found, 5 access denied,
// 100 read past the end (a short file), 101 write failure.
int32_t WriteDviFile(const std::string& path, const std::array<TLetterDefaultRecord, 26>& block);
int32_t ReadDviFile(const std::string& path, std::array<TLetterDefaultRecord, 26>& block);

// Start-up: DviFileName becomes the program directory's "VOQ_DFLT.DVI".
// When that file exists it replaces LetterDefaults (the stored copy from
// the defaults file stays); a file that cannot be read whole is reported by
// ReportIOError and LetterDefaults stays as it was.
void ReadDefaultVarInfoFile(const std::string& programDirectory);

}  // namespace voq

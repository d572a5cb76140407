#pragma once
// The directories searched for files named in equations, and file dates.
// Paths keep their real case (the file system is case-sensitive); only the
// duplicate test compares names without regard to case, as the names of the
// original Windows setting would be.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace voq {

// Searched in order after the current directory.
extern std::vector<std::string> SearchPathList;

// Appends an existing directory (leading blanks removed) unless the list
// holds it already; an empty name is ignored; a directory that does not
// exist gives a ThrottledBeep.
void AddSearchDirectory(const std::string& dir);

// Whether a file of that name can be opened: "CLIPBOARD" (any case) always;
// a name with a directory part as it stands; a plain name in the current
// directory or, trying each SearchPathList entry in turn, in that directory.
// With resolved, the path to open is written there (the name itself when it
// was found as it stands). The current directory never moves: where a later
// file is written must not depend on where an earlier one was found.
bool FileExistsOnPath(const std::string& name, std::string* resolved = nullptr);

// What a name that FileExistsOnPath does not take is, when something of
// that name exists as it stands or on the path: "a folder", "a device" or
// "a pipe or socket"; "" when nothing exists there or
// it is a regular file. With found, where it was found.
std::string NonFileKind(const std::string& name, std::string* found = nullptr);

// Reads the whole of a regular file into bytes. Returns 0, or the I/O
// result of the failure with bytes empty: 2 the file does not exist, 5 it
// cannot be opened, 100 reading failed (a device error, more than maxBytes,
// a name that is not a regular file). A read error never escapes as an
// exception; std::bad_alloc does.
int32_t ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes,
                      size_t maxBytes = std::numeric_limits<size_t>::max());

// The file's modification time as a date-time value (days since
// 1899-12-30, local time, the fraction the time of day); 0 when the file
// cannot be opened.
double FileDateOf(const std::string& name);

}  // namespace voq

#pragma once
// The stored form of one table (a table section), shared by documents,
// ".PAR" parametric-table files and ".LKT" lookup files:
//   int16 C columns, -C when a column holds strings, then the 16-byte text
//     "T" + program version; 0 when the table window does not exist (the
//     section ends there);
//   int16 R rows, -R when row records follow (4 bytes each: border byte,
//     spare byte, int16 colour);
//   window 4: C int16, the variable of each column in column order;
//   window 8: int16, the Arrays table's first index (TableRunOffset);
//   C column entries: string[30] name (a name of at most 27 characters is
//     followed by a line feed, a character whose code is the width in
//     pixels, and the colour index 1..7 as a character when the column has
//     one), R 10-byte values, R entered-flag bytes, the 3-byte format
//     (not for window 4), and, for a string column of a section with
//     strings, R entries of int32 L + 1 and a string of L characters.
// The sum cell is not stored.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/extended.h"
#include "core/number_format.h"

namespace voq {

// One column of a lookup file read for the equations.
struct TLookupColumnNode {
  int32_t ColumnNumber = 0;
  std::vector<Extended> Values;  // rows 1..R at [0..R-1]
  std::string Name;
  std::string Units;
  TDisplayFormat Format;
  uint8_t IsString = 0;
};

// A lookup file as the equations use it.
struct TLookupFileRecord {
  std::string FileName;  // full path
  // Allocated once when the file is first loaded and never given to another
  // file, so a compiled reference cannot come to name a different file.
  int32_t TableId = 0;
  bool Loaded = false;
  bool FromLibrary = false;
  double FileDate = 0;  // the file's date when it was read
  int32_t RowCount = 0;
  int32_t ColumnCount = 0;
  std::vector<TLookupColumnNode> Columns;
};

// Appends the section of the table shown by the window with tag (4, 6 or 8)
// to out. purgedNumbers, when given (a document saved with unused variables
// purged), maps a variable index to the number it gets in the purged
// document (0: unchanged).
void WriteTableSection(std::vector<uint8_t>& out, int32_t tag, bool purge,
                       const std::vector<int32_t>* purgedNumbers = nullptr);

// Reads one section from data[pos..size) and advances pos past it. tag 4, 6
// or 8 reads into that table window (a new tab for the kinds with tabs);
// -4 reads a ".PAR" section (columns matched to variables by name; error 70
// when it has more columns than a program has variables); 0 reads
// into lookup. version is the file's version (blank values of files before
// 4.72 are converted). False, with CalcErrorCode set, when the section is
// shorter than its counts say (nothing is changed then) or memory runs out.
bool ReadTableSection(const uint8_t* data, size_t size, size_t& pos, int32_t tag, TLookupFileRecord* lookup,
                      double version);

}  // namespace voq

#pragma once
// A table window's contents as files: the binary parametric table file
// (".PAR", StoreTable), the text table with a title line (SaveTable), and
// the table text of the document text export, written by WriteTable and
// read back by ReadTable (which also reads text lookup files).
//
// ".PAR" layout, little-endian, no padding:
//     0  16  version: length byte and the text ("6.462"), the rest zero
//    16 256  string[255]: the upper-cased document file name without folder
//   272   4  int32 window top     276 4 int32 left
//   280   4  int32 width          284 4 int32 height
//   288   -  the parametric table's table section (tables/table_section.h)
//   end  40  ten int32 zeros, reserved
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/extended.h"
#include "tables/table_model.h"

namespace voq {

inline constexpr size_t kStoredTableHeaderSize = 288;
inline constexpr size_t kStoredTableTrailerSize = 40;
namespace stored_table_offsets {
inline constexpr size_t Version = 0;
inline constexpr size_t DocumentName = 16;
inline constexpr size_t Top = 272;
inline constexpr size_t Left = 276;
inline constexpr size_t Width = 280;
inline constexpr size_t Height = 284;
inline constexpr size_t Section = 288;
}  // namespace stored_table_offsets

// The header fields of a ".PAR" file.
struct TStoredTableHeader {
  std::string Version;       // at most 15 characters
  std::string DocumentName;  // at most 255 characters
  int32_t Top = 0;
  int32_t Left = 0;
  int32_t Width = 0;
  int32_t Height = 0;
};
void PackStoredTableHeader(const TStoredTableHeader& h, uint8_t* dst);
void UnpackStoredTableHeader(const uint8_t* src, TStoredTableHeader& h);

// x as a real in scientific notation in a field of width characters: a
// sign position (blank or "-"), one digit, the point, width - 9 decimals,
// "E", the exponent's sign and four digits (15 in 14 gives " 1.50000E+0001").
std::string ScientificField(Extended x, int32_t width);

// The rows a table's text holds: the grid's rows below the header, without
// the parametric table's sum row when the sum-row preference is on.
int32_t TableTextRowCount(const TTableForm& form);

// The whole ".PAR" file of the parametric window form for the document
// named documentName (its folder is dropped, the name upper-cased).
std::vector<uint8_t> StoredTableBytes(TTableForm& form, const std::string& documentName);
// Writes that file; an I/O failure is reported (ReportIOError), false.
bool StoreTable(TTableForm& form, const std::string& fileName, const std::string& documentName);

// The text SaveTable writes (title line and rows, CR LF line ends).
std::string SavedTableText(TTableForm& form, const std::string& fileName);
// Writes the table as text to fileName, appending when append is set and
// the file exists; an I/O failure is reported (ReportIOError), false.
bool SaveTable(TTableForm& form, const std::string& fileName, bool append);

// Appends the table text of the document export to out.
void WriteTable(TTableForm& form, std::string& out, bool withInformation);

// An open text file as the table reader sees it: its bytes and the read
// position.
struct TTableTextReader {
  std::string Text;
  size_t Pos = 0;
  bool AtEnd() const { return Pos >= Text.size(); }
  // The rest of the line (without its CR LF, CR or LF) and past its end;
  // false at the end of the text.
  bool ReadLine(std::string& line);
};

// Reads the current table's cells, grid rows 1 .. rows - 1 and grid
// columns 1 .. columns - 1, from in. flagForm: one "flag value" line per
// cell; otherwise values separated by blanks, tabs or the argument
// separator, with quoted strings. Stops at the first failing cell with
// CalcErrorCode 162, 355 (MessageArgs "in row n" and fileName) or 153.
bool ReadTable(TTableForm& form, TTableTextReader& in, bool flagForm, const std::string& fileName);

}  // namespace voq

namespace voq {

// The table name a stored table file gives: the file name without folder,
// cut before the first ".PAR" in any letter case ("runs.par.old": "runs").
std::string StoredTableName(const std::string& fileName);

// Reads a ".PAR" file into the parametric window: the version must be a
// number (else message 370 is shown), markChanged is called, a file stored
// from another document (names compared without case) asks message 395
// first, then the table is read (placeholder variables "!n" for columns
// beyond the main program's), named after the file and given the stored
// window place. False when nothing was read (the error shown, or No).
bool RetrieveStoredTable(const std::string& fileName, const std::string& documentName, void (*markChanged)());

}  // namespace voq

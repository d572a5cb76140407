#pragma once
// A table on paper, through the running print job: the columns measured in
// printer dots, cut into bands of whole columns that fit across the page,
// each band under the table's title and the column headers (repeated after
// every page break), the rows labelled as in the window, entered and
// computed cells in their printed styles. Printing never changes the
// table: column widths and the shown table are as before, even after an
// abort.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tables/table_model.h"

namespace voq {

// Decimal digits of a row count: 1 below 10, 2 below 100, 3 below 1000,
// else 4.
int32_t RowLabelDigits(int32_t rows);

// The bands of columns: [first, last] positions (0-based) into widths,
// each band as many following columns as fit with one gap each within
// available, at least one.
std::vector<std::pair<int32_t, int32_t>> TableBands(const std::vector<int32_t>& widths, int32_t gap,
                                                    int32_t available);

// Printed width of a text in the current font: with the subscript
// preference, characters after "_" or "^" count at 0.8 of their width.
class Canvas;
int32_t PrintedTextWidth(Canvas& canvas, const std::string& text);

// Prints table tableNumber (0: the shown one) of form into the running
// job; selectionOnly prints only the grid selection.
void PrintTable(TTableForm& form, int32_t tableNumber, bool selectionOnly);

// The shown table (or with selectionOnly its selection) printed as a job
// of its own titled title, after one line. False when the job did not
// start.
bool PrintTableJob(TTableForm& form, const std::string& title, bool selectionOnly);

// The cells menu's Print Selection: the selection printed as a job of its
// own, titled with documentName or "(Untitled)". False when the job did
// not start.
bool PrintTableSelection(TTableForm& form, const std::string& documentName);

}  // namespace voq

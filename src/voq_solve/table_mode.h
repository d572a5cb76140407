#pragma once
// voq-solve --table: a Parametric table read from a CSV file, solved run by
// run as the Solve Table command does, and printed back filled.
#include <string>

namespace voq {

struct TTableModeOptions {
  std::string CsvFile;
  int Digits = 0;  // 0: each column variable's own display format
};

// After the engine started and the Equations window holds the equations:
// reads the CSV file, compiles, builds the Parametric table, solves every
// row and prints the table as CSV. Returns the exit status (0, or 2 after a
// failure, which is reported on stderr).
int RunTableMode(const TTableModeOptions& options);

}  // namespace voq

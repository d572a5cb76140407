#include "voq_solve/table_mode.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <limits>
#include <set>
#include <sstream>
#include <vector>

#include "core/calc_state.h"
#include "core/extended.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/number_format.h"
#include "core/string_constants.h"
#include "language/export_after_run.h"
#include "model/program_units.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "model/warnings_window.h"
#include "core/program_flags.h"
#include "core/search_path.h"
#include "session/compile_driver.h"
#include "solver/blocking.h"
#include "solver/evaluator.h"
#include "tables/table_model.h"
#include "tables/table_runs.h"
#include "tables/tables_state.h"
#include "voq_solve/time_limit.h"

namespace voq {

namespace {

constexpr int kExitFailure = 2;
// The Solve Table dialog's largest run number.
constexpr size_t kMaxRuns = 99999;
constexpr size_t kMaxCsvSize = size_t(64) << 20;
// The longest line the include reader takes.
constexpr size_t kMaxCsvLineLength = 65535;

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  const size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

// The fields of one CSV line: separated by commas, a field in double quotes
// may hold commas and doubled quotes. Blanks around a field are dropped.
std::vector<std::string> SplitCsvLine(const std::string& line) {
  std::vector<std::string> fields;
  std::string field;
  bool quoted = false;
  bool wasQuoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        field += c;
      }
    } else if (c == '"' && field.find_first_not_of(" \t") == std::string::npos) {
      field.clear();
      quoted = true;
      wasQuoted = true;
    } else if (c == ',') {
      fields.push_back(wasQuoted ? field : Trim(field));
      field.clear();
      wasQuoted = false;
    } else if (!(wasQuoted && (c == ' ' || c == '\t'))) {
      field += c;
    }
  }
  fields.push_back(wasQuoted ? field : Trim(field));
  return fields;
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

// A header cell: the variable's name, then optionally blanks and [units].
std::string ColumnName(const std::string& header) {
  const size_t open = header.find_first_of(" \t");
  if (open == std::string::npos) return header;
  const size_t bracket = header.find_first_not_of(" \t", open);
  if (bracket != std::string::npos && header[bracket] == '[' && header.back() == ']') return header.substr(0, open);
  return header;
}

bool ReadCsv(const std::string& file, std::vector<std::string>& header, std::vector<std::vector<std::string>>& rows) {
  // Only a regular file: a device or a pipe may never end.
  if (const std::string kind = NonFileKind(file); !kind.empty()) {
    std::cerr << "voq-solve: " << file << " is " << kind << ", not a CSV table of runs\n";
    return false;
  }
  std::vector<uint8_t> bytes;
  errno = 0;
  const int32_t ioResult = ReadFileBytes(file, bytes, kMaxCsvSize);
  if (ioResult == 2 || ioResult == 5) {
    std::cerr << "voq-solve: cannot open " << file << ": " << std::strerror(errno) << "\n";
    return false;
  }
  if (ioResult != 0) {
    std::cerr << "voq-solve: cannot read " << file << " (I/O error, or larger than " << (kMaxCsvSize >> 20)
              << " MB)\n";
    return false;
  }
  const std::string content(bytes.begin(), bytes.end());
  bytes = std::vector<uint8_t>();
  if (content.find('\0') != std::string::npos) {
    std::cerr << "voq-solve: " << file << " is not a CSV table of runs\n";
    return false;
  }
  std::string line;
  size_t lineNumber = 0;
  for (size_t start = 0; start < content.size();) {
    size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    line.assign(content, start, end - start);
    start = end + 1;
    ++lineNumber;
    // As the include reader: no statement or run comes of a longer line.
    if (line.size() > kMaxCsvLineLength) {
      std::cerr << "voq-solve: " << file << " line " << lineNumber << " is longer than " << kMaxCsvLineLength
                << " characters; it is no row of a CSV table of runs\n";
      return false;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (lineNumber == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
    if (header.empty()) {
      if (line.find_first_not_of(" \t") == std::string::npos) continue;
      header = SplitCsvLine(line);
      continue;
    }
    // A blank line is no run.
    if (line.find_first_not_of(" \t") == std::string::npos) continue;
    std::vector<std::string> fields = SplitCsvLine(line);
    if (fields.size() > header.size()) {
      std::cerr << "voq-solve: " << file << " line " << lineNumber << " has " << fields.size()
                << " cells; the header names " << header.size() << " columns\n";
      return false;
    }
    fields.resize(header.size());
    rows.push_back(std::move(fields));
    if (rows.size() > kMaxRuns) {
      std::cerr << "voq-solve: " << file << " has more than " << kMaxRuns << " runs\n";
      return false;
    }
  }
  if (header.empty()) {
    std::cerr << "voq-solve: " << file << " has no header row naming the table's columns\n";
    return false;
  }
  if (rows.empty()) {
    std::cerr << "voq-solve: " << file << " has no runs below its header row\n";
    return false;
  }
  return true;
}

std::string CellOutput(const TTableColumnRecord& column, const TVariableRecord& v, int32_t row, int digits) {
  const Extended x = column.Cell(row);
  if (IsBlank(x)) return "";
  // A cell with no number (a NaN or an infinity left by a run) is shown
  // empty, as a run that gave it no value.
  if (!column.IsString && !IsShowableValue(x)) return "";
  if (column.IsString) {
    const Extended rounded = std::round(x);
    if (rounded < 1 || rounded > Extended(StringConstants.size())) return "";
    return CsvField(StringConstants[size_t(rounded) - 1]);
  }
  if (digits > 0) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*LE", digits - 1, static_cast<long double>(x));
    return buffer;
  }
  return CsvField(FormatValue(TDisplayFormat{v.Style, v.Digits}, x));
}

}  // namespace

int RunTableMode(const TTableModeOptions& options) {
  std::vector<std::string> header;
  std::vector<std::vector<std::string>> rows;
  if (!ReadCsv(options.CsvFile, header, rows)) return kExitFailure;

  // A compile gives the main program its variables, which the columns name.
  // The table exists while it reads the equations, as it does when the
  // desktop program solves a table: TABLEVALUE(row, column) names the first
  // table, and without one it is a call with an argument missing (312). The
  // table is made again with its columns below.
  ParametricColumnOrder.assign(1, 0);
  TableRowCounts[1] = int32_t(rows.size());
  TableColumnCounts[1] = 0;
  if (TTableForm* early = CreateTableForm(kParametricTableKind)) {
    early->TableName = "Table 1";
    early->MultipleTableRefresh();
  }
  CheckOnlyMode = true;
  EquationsCompiled = false;
  CompileEquations(false, false);
  CheckOnlyMode = false;
  DisposeDocumentTables();
  if (CalcErrorCode > 0 || MainProgramUnit == nullptr) return kExitFailure;

  TProgramUnitRecord* const main = MainProgramUnit;
  CurrentProgramUnit = main;
  ParametricColumnOrder.assign(1, 0);
  std::set<int32_t> seen;
  for (const std::string& cell : header) {
    const std::string name = ColumnName(cell);
    const int32_t saved = CalcErrorCode;
    const int32_t index = name.empty() ? 0 : FindVariable(name);
    CalcErrorCode = saved;
    if (main->Variable(index) == nullptr) {
      std::cerr << "voq-solve: column \"" << cell << "\" of " << options.CsvFile
                << " names no variable of the equations\n";
      return kExitFailure;
    }
    if (!seen.insert(index).second) {
      std::cerr << "voq-solve: variable " << name << " has two columns in " << options.CsvFile << "\n";
      return kExitFailure;
    }
    ParametricColumnOrder.push_back(index);
  }
  TableRowCounts[1] = int32_t(rows.size());
  TableColumnCounts[1] = int32_t(header.size());
  TTableForm* form = CreateTableForm(kParametricTableKind);
  if (form == nullptr) return kExitFailure;
  form->TableName = "Table 1";
  form->MultipleTableRefresh();

  // Filled cells are the runs' inputs; a text that is no number stays an
  // input the run refuses (error 45).
  for (size_t r = 0; r < rows.size(); ++r) {
    int32_t j = 1;
    for (TTableColumnRecord* c = form->Columns; c != nullptr; c = c->Next, ++j) {
      const std::string& text = rows[r][size_t(j - 1)];
      if (text.empty()) continue;
      Extended value = std::numeric_limits<Extended>::quiet_NaN();
      if (c->IsString) {
        value = Extended(StringConstIndex(text));
      } else {
        char* end = nullptr;
        errno = 0;
        const long double parsed = std::strtold(text.c_str(), &end);
        if (end != nullptr && *end == '\0' && errno == 0 && std::isfinite(parsed)) value = parsed;
      }
      form->SetmyCell(form->CurrentTable, -1, value, int32_t(r) + 1, c->ColumnNumber, 1);
    }
  }

  FirstRun = 1;
  LastRun = int32_t(rows.size());
  TableCompileFailed = false;
  SolveTableRuns();
  FreeOccurrenceLists();
  if (TableCompileFailed) return kExitFailure;
  const int32_t error = CalcErrorCode;
  if (error == kMsgTableRunUnbalanced) {
    std::cerr << "Error " << error << ": " << MessageText << "\n";
    return kExitFailure;
  }
  if (error > 0 && error != kMsgRunWarnings) {
    const TEquationRecord* e = main->LastEquation;
    // A cancelled run shows no alert in the program; a script is told.
    if (error == kMsgCancelled && TimeLimitReached())
      ReportTimeLimit();
    else if (error == kMsgCancelled)
      std::cerr << "Error " << error << ": " << GetMessageText(error) << "\n";
    else if (e != nullptr)
      ShowEquationError(error, e->TextStart, e->TextEnd, e->LineNumber);
    else
      ShowEquationError(error, 0, 0, -4);
    std::cerr << "voq-solve: the table run stopped in run " << CurrentRun << "\n";
    return kExitFailure;
  }

  std::string line;
  for (size_t k = 0; k < header.size(); ++k) line += (k > 0 ? "," : "") + CsvField(header[k]);
  std::cout << line << "\n";
  for (int32_t r = 1; r <= int32_t(rows.size()); ++r) {
    line.clear();
    bool first = true;
    for (const TTableColumnRecord* c = form->Columns; c != nullptr; c = c->Next) {
      if (!first) line += ",";
      first = false;
      if (const TVariableRecord* v = main->Variable(c->VariableIndex)) line += CellOutput(*c, *v, r, options.Digits);
    }
    std::cout << line << "\n";
  }
  if (error == kMsgRunWarnings) std::cerr << "Warning: " << GetMessageText(kMsgRunWarnings) << "\n";
  return 0;
}

}  // namespace voq

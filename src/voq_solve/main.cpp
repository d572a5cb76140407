// voq-solve: the headless front end. Reads a text file as the text of the
// Equations window, compiles and solves it as the Solve command does, and
// prints the main program's variables the way the Solution window saves
// them as text. Failures go to stderr with exit status 2.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/number_format.h"
#include "core/program_flags.h"
#include "core/search_path.h"
#include "core/string_constants.h"
#include "language/equation_reader.h"
#include "model/program_units.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "model/warnings_window.h"
#include "platform/console_platform.h"
#include "platform/host.h"
#include "session/compile_driver.h"
#include "session/engine.h"
#include "session/problem_summary.h"
#include "session/solve_after_compile.h"
#include "tables/tables_state.h"
#include "voq_solve/table_mode.h"

#ifndef VOQ_VERSION
#define VOQ_VERSION "0.0.0"
#endif

namespace {

using namespace voq;

constexpr int kExitFailure = 2;
// Continuations the --continue option grants after a failure to converge:
// the solve is not repeated for ever when it never converges.
constexpr int kMaxContinuations = 20;

struct Options {
  std::string file;
  int digits = 0;  // 0: each variable's own display format
  bool residuals = false;
  bool continueAfterNoConvergence = false;
  long double tolerance = 0;  // 0: the default stop criteria
  std::string tableFile;      // --table: the CSV file of the Parametric table
};

void PrintUsage(std::ostream& out) {
  out << "usage: voq-solve [--digits N] [--residuals] [--continue] [--tolerance R] FILE\n"
         "       voq-solve --table TABLE.csv [--digits N] [--continue] [--tolerance R] FILE\n"
         "       voq-solve --version\n"
         "Solves the equations in FILE and prints one line per variable.\n"
         "  --table T    solves FILE once per row of the CSV table T (header: variable\n"
         "               names, each may be followed by [units]; a filled cell is an\n"
         "               input of its run) and prints the filled table as CSV\n"
         "  --digits N   every value in exponential form with N significant digits\n"
         "  --residuals  also each equation's block and relative residual\n"
         "  --continue   answer Yes when asked to continue after a failure to converge\n"
         "  --tolerance R  stop criterion: largest relative residual (default 1E-6)\n";
}

// The equation text the statement of an error selects, as the editor's
// selection would show it: the window selection is recorded when the engine
// reports an equation error.
class ConsoleWindows : public WindowServices {
 public:
  void SelectEquationsText(int32_t start, int32_t end, int32_t line) override {
    selectionStart = start;
    selectionEnd = end;
    selectionLine = line;
    hasSelection = true;
  }
  int32_t selectionStart = 0, selectionEnd = 0, selectionLine = 0;
  bool hasSelection = false;
};

// Alerts on stderr: errors as "Error NNN: text" followed by the offending
// statement, questions with the answer given. Questions are answered No,
// except the question after a failure to converge when --continue is given.
class SolvePlatform : public ConsolePlatform {
 public:
  SolvePlatform(ConsoleWindows& windows, const std::string& text) : windows_(windows), text_(text) {
    SetOutput(nullptr);
    SetQuestionAnswer(kResultNo);
  }
  int ShowAlertBox(const std::string& text, int kind, int32_t helpContext) override {
    const std::vector<int> buttons = AlertKindButtons(kind);
    const bool hasNo = std::find(buttons.begin(), buttons.end(), int(kResultNo)) != buttons.end();
    const bool hasCancel = std::find(buttons.begin(), buttons.end(), int(kResultCancel)) != buttons.end();
    const bool question = hasNo || hasCancel;
    int answer = ConsolePlatform::ShowAlertBox(text, kind, helpContext);
    // OK of an OK/Cancel question goes on; a script that did not ask for it
    // cancels.
    if (question && !hasNo) answer = kResultCancel;
    if (question) {
      if (continuesLeft > 0 && IsNoConvergenceQuestion(text)) {
        --continuesLeft;
        answer = hasNo ? kResultYes : kResultOk;
      }
      // The list asked for is printed after the solve.
      if (text == GetMessageText(kMsgSeeWarningsQuestion)) answer = kResultYes;
      const char* said = answer == kResultYes ? "Yes" : answer == kResultOk ? "OK" : hasNo ? "No" : "Cancel";
      std::cerr << "Question: " << text << " [" << said << "]\n";
      lastQuestion = text;
    } else if (AlertKindIcon(kind) == AlertIcon::Error && CalcErrorCode > 0) {
      std::cerr << "Error " << CalcErrorCode << ": " << text << "\n";
      reportedError = CalcErrorCode;
    } else {
      std::cerr << text << "\n";
    }
    if (windows_.hasSelection) {
      PrintStatement();
      windows_.hasSelection = false;
    }
    return answer;
  }

  int continuesLeft = 0;
  int32_t reportedError = 0;
  std::string lastQuestion;

 private:
  static constexpr const char* kNoConvergencePrefix =
      "The problem failed to converge in the allowable number of iterations";
  // The same question of a table run begins "Run N failed to converge".
  static bool IsNoConvergenceQuestion(const std::string& text) {
    if (text.rfind(kNoConvergencePrefix, 0) == 0) return true;
    if (text.rfind("Run ", 0) != 0) return false;
    const size_t digits = text.find_first_not_of("0123456789", 4);
    return digits != std::string::npos && digits > 4 &&
           text.compare(digits, 28, " failed to converge in the a") == 0;
  }

  // The selection's first line, numbered by where it begins in the file (a
  // selection may run over many lines: an open comment selects up to the end
  // of the text).
  void PrintStatement() {
    const int32_t start = std::max<int32_t>(windows_.selectionStart, 0);
    int32_t end = std::min<int32_t>(windows_.selectionEnd, int32_t(text_.size()));
    if (end <= start) return;
    std::string statement = text_.substr(size_t(start), size_t(end - start));
    bool more = false;
    const size_t lineBreak = statement.find_first_of("\r\n");
    if (lineBreak != std::string::npos) {
      more = statement.find_first_not_of(" \t\r\n", lineBreak) != std::string::npos;
      statement.resize(lineBreak);
    }
    while (!statement.empty() && (statement.back() == ';' || statement.back() == ' '))
      statement.pop_back();
    // The window text given to the engine has CR LF line breaks.
    int64_t line = 1;
    for (size_t at = text_.find("\r\n"); at != std::string::npos && at < size_t(start);
         at = text_.find("\r\n", at + 2))
      ++line;
    std::cerr << "  line " << line << ": " << statement << (more ? " ..." : "") << "\n";
  }

  ConsoleWindows& windows_;
  const std::string& text_;
};

bool ParseArguments(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--version") {
      std::cout << "voq-solve " << VOQ_VERSION << "\n";
      std::exit(0);
    } else if (arg == "--help" || arg == "-h") {
      PrintUsage(std::cout);
      std::exit(0);
    } else if (arg == "--residuals") {
      options.residuals = true;
    } else if (arg == "--continue") {
      options.continueAfterNoConvergence = true;
    } else if (arg == "--digits") {
      if (i + 1 >= argc) return false;
      char* end = nullptr;
      const long n = std::strtol(argv[++i], &end, 10);
      if (end == nullptr || *end != '\0' || n < 1 || n > 20) {
        std::cerr << "voq-solve: --digits takes a number from 1 to 20\n";
        return false;
      }
      options.digits = int(n);
    } else if (arg == "--table") {
      if (i + 1 >= argc) return false;
      options.tableFile = argv[++i];
    } else if (arg == "--tolerance") {
      if (i + 1 >= argc) return false;
      char* end = nullptr;
      const long double r = std::strtold(argv[++i], &end);
      if (end == nullptr || *end != '\0' || !(r > 0) || r >= 1) {
        std::cerr << "voq-solve: --tolerance takes a number between 0 and 1\n";
        return false;
      }
      options.tolerance = r;
    } else if (!arg.empty() && arg[0] == '-') {
      std::cerr << "voq-solve: unknown option " << arg << "\n";
      return false;
    } else if (options.file.empty()) {
      options.file = arg;
    } else {
      return false;
    }
  }
  return !options.file.empty();
}

// More text than this is no Equations window's: a device or a pipe that
// never ends must not fill memory.
constexpr size_t kMaxFileSize = size_t(64) << 20;

void ReportNotText(const std::string& name) {
  std::cerr << "voq-solve: " << name << " is not a text file of equations\n";
}

// The file's text; a message and false when it cannot serve as equations.
bool ReadEquationFile(const std::string& name, std::string& text) {
  std::error_code ec;
  if (std::filesystem::is_directory(name, ec)) {
    std::cerr << "voq-solve: " << name << " is a directory, not a file of equations\n";
    return false;
  }
  std::ifstream in(name, std::ios::binary);
  if (!in) {
    std::cerr << "voq-solve: cannot open " << name << ": " << std::strerror(errno) << "\n";
    return false;
  }
  // Read in pieces, so that binary data (a NUL byte) or an endless source
  // ends the read at once.
  text.clear();
  std::vector<char> piece(size_t(1) << 16);
  for (;;) {
    in.read(piece.data(), std::streamsize(piece.size()));
    const size_t got = size_t(in.gcount());
    if (got == 0) break;
    if (std::memchr(piece.data(), 0, got) != nullptr) {
      ReportNotText(name);
      return false;
    }
    if (text.size() + got > kMaxFileSize) {
      std::cerr << "voq-solve: " << name << " is too large for a text of equations (more than "
                << (kMaxFileSize >> 20) << " MB)\n";
      return false;
    }
    text.append(piece.data(), got);
  }
  if (in.bad()) {
    std::cerr << "voq-solve: cannot read " << name << "\n";
    return false;
  }
  if (text.find_first_not_of(" \t\r\n\x1a") == std::string::npos) {
    std::cerr << "voq-solve: " << name << " is empty: there are no equations to solve\n";
    return false;
  }
  // Text in any 8-bit code page is accepted; NUL bytes or many control
  // characters mean the file is not text.
  size_t control = 0;
  for (unsigned char c : text) {
    if (c == 0) {
      control = text.size();
      break;
    }
    if (c < 32 && c != '\t' && c != '\r' && c != '\n' && c != '\f' && c != 26) ++control;
  }
  if (control * 20 > text.size()) {
    ReportNotText(name);
    return false;
  }
  return true;
}

std::string ValueText(const TVariableRecord& v, int digits) {
  if (digits > 0 && !v.IsString) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*LE", digits - 1, static_cast<long double>(v.Value));
    return buffer;
  }
  return FormatValue(TDisplayFormat{v.Style, v.Digits}, v.Value);
}

// The units as the Solution window saves them: units naming a string
// variable ("u$") show that variable's text; then in brackets, at most 30
// characters in all. Empty units give an empty text.
std::string BracketUnits(const std::string& units) {
  if (units.empty()) return "";
  std::string text = units.substr(0, 30);
  if (text.back() == '$') {
    std::string variableText;
    StringVarText(text, 0, variableText);
    text = variableText;
  }
  return ("[" + text + "]").substr(0, 30);
}

void PrintSolution(const Options& options) {
  const TProgramUnitRecord* main = MainProgramUnit;
  // String-variable units are looked up among the main program's variables.
  CurrentProgramUnit = MainProgramUnit;
  for (int32_t k = 1; k <= main->UsedVariableCount; ++k) {
    const TVariableRecord* v = main->Variable(main->UsedVariableList[size_t(k)]);
    // Variables of included files are not listed.
    if (v == nullptr || v->DisplayCode == 0) continue;
    std::string line = v->Name + "=" + ValueText(*v, options.digits);
    if (!v->Units.empty() && !v->IsString) line += " " + BracketUnits(v->Units);
    std::cout << line << "\n";
  }
  if (!options.residuals) return;
  std::cout << "\nBlock  Relative residual  Equation\n";
  for (const TEquationRecord* e = main->FirstEquation; e != nullptr; e = e->Next) {
    char relative[64];
    if (IsBlank(e->RelativeResidual))
      std::snprintf(relative, sizeof relative, "*****");
    else
      std::snprintf(relative, sizeof relative, "%.4LE",
                    e->RelativeResidual < 0 ? -e->RelativeResidual : e->RelativeResidual);
    std::cout << (e->Block < 0 ? 0 : e->Block) << "  " << relative << "  " << e->Text.value_or("")
              << "\n";
  }
}

// The warnings window's lines, for a console user who has no window.
void PrintPendingWarnings() {
  if (!WarningsPending || !ShowWarningMessages) return;
  for (const std::string& line : WarningLines()) std::cerr << "Warning: " << line << "\n";
}

int Run(int argc, char** argv) {
  Options options;
  if (!ParseArguments(argc, argv, options)) {
    PrintUsage(std::cerr);
    return kExitFailure;
  }
  std::string text;
  if (!ReadEquationFile(options.file, text)) return kExitFailure;
  // Positions of errors count CR LF line breaks, as the reader does.
  const std::string windowText = NormalizeLineBreaks(text);

  ConsoleWindows windows;
  SolvePlatform platform(windows, windowText);
  platform.continuesLeft = options.continueAfterNoConvergence ? kMaxContinuations : 0;
  QuietHostWindows quiet;
  THost host = quiet.Record(platform);
  InstallTables();
  host.Windows = &windows;
  std::string missing;
  if (!StartEngine(host, &missing)) {
    std::cerr << "voq-solve: no " << missing << "\n";
    return kExitFailure;
  }
  // Files the equations include are looked for beside them too.
  const std::string folder = std::filesystem::path(options.file).parent_path().string();
  if (!folder.empty()) AddSearchDirectory(folder);

  if (options.tolerance > 0) StopCriteria.RelativeResidualTolerance = options.tolerance;
  Equations().SetText(windowText);
  if (!options.tableFile.empty()) {
    if (options.residuals) std::cerr << "voq-solve: --residuals does not apply to --table; ignored\n";
    const int status = RunTableMode(TTableModeOptions{options.tableFile, options.digits});
    PrintPendingWarnings();
    return status;
  }
  CheckOnlyMode = false;
  CompileEquations(false, false);

  const bool solved = CalcErrorCode <= 0 && SolutionAvailable;
  if (!solved) {
    if (CalcErrorCode > 0 && platform.reportedError != CalcErrorCode)
      std::cerr << "Error " << CalcErrorCode << ": " << GetMessageText(CalcErrorCode) << "\n";
    else if (CalcErrorCode <= 0 && platform.lastQuestion.empty() && platform.reportedError == 0)
      std::cerr << "voq-solve: the equations were not solved\n";
    PrintPendingWarnings();
    return kExitFailure;
  }
  // A text of comments and directives only has nothing to solve, like an
  // empty file.
  if (MainProgramUnit->UsedVariableCount == 0 && CountModuleEquations(MainProgramUnit) == 0) {
    std::cerr << "voq-solve: " << options.file << " holds no equations to solve\n";
    PrintPendingWarnings();
    return kExitFailure;
  }
  PrintSolution(options);
  // The Solution window shows a solve whose residual check failed (the user
  // was asked about it); a script is told by the exit status that the
  // values do not satisfy every equation.
  CheckResidualsAfterSolve(true);
  const bool constrained = CalcErrorCode == kMsgConstrained;
  if (constrained) {
    std::string text = GetMessageText(kMsgConstrained);
    text = text.substr(0, text.find("  Would you"));
    std::cerr << "Error " << kMsgConstrained << ": " << text << "\n";
  }
  PrintPendingWarnings();
  return constrained ? kExitFailure : 0;
}

}  // namespace

int main(int argc, char** argv) {
  const int status = Run(argc, argv);
  // The store goes before the globals that list it: MODULE and SUBPROGRAM
  // units are reached only through the unit list.
  ResetProgramStore();
  return status;
}

// voq-solve: the headless front end. Reads a text file as the text of the
// Equations window, compiles and solves it as the Solve command does, and
// prints the main program's variables the way the Solution window saves
// them as text. Failures go to stderr with exit status 2.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <limits>
#include <string>
#include <vector>

#include "assembly/engine_assembly.h"
#include "core/calc_state.h"
#include "core/extended.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/number_format.h"
#include "core/number_text.h"
#include "core/program_flags.h"
#include "core/search_path.h"
#include "core/string_constants.h"
#include "language/equation_reader.h"
#include "model/document_settings.h"
#include "model/program_units.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "model/warnings_window.h"
#include "output/solution_text.h"
#include "platform/console_platform.h"
#include "platform/host.h"
#include "session/compile_driver.h"
#include "session/engine.h"
#include "session/problem_summary.h"
#include "session/solve_after_compile.h"
#include "tables/tables_state.h"
#include "units/unit_check.h"
#include "voq_solve/table_mode.h"
#include "voq_solve/console_progress.h"
#include "voq_solve/time_limit.h"

#ifndef VOQ_VERSION
#define VOQ_VERSION "0.0.0"
#endif

namespace {

using namespace voq;

constexpr int kExitFailure = 2;
// Continuations the --continue option grants after a failure to converge:
// the solve is not repeated for ever when it never converges.
constexpr int kMaxContinuations = 20;

// A guess or limits given on the command line, applied to the variable's
// record before the solve as the Variable Information dialog would.
struct VariableSetting {
  std::string option;  // as given, for messages
  std::string name;
  bool isGuess = true;
  Extended guess = 0;
  Extended lower = 0, upper = 0;
};

struct Options {
  std::string file;
  std::vector<VariableSetting> settings;
  int digits = 0;  // 0: each variable's own display format
  bool residuals = false;
  bool continueAfterNoConvergence = false;
  long double tolerance = 0;  // 0: the default stop criteria
  std::string tableFile;      // --table: the CSV file of the Parametric table
  int timeLimit = 0;          // --time-limit in seconds; 0: none
};

// The longest --time-limit: a day.
constexpr long kMaxTimeLimit = 86400;

void PrintUsage(std::ostream& out) {
  out << "usage: voq-solve [--digits N] [--residuals] [--continue] [--tolerance R]\n"
         "                 [--time-limit S] [--guess NAME=VALUE]... [--limits NAME=LO:HI]... FILE\n"
         "       voq-solve --table TABLE.csv [--digits N] [--continue] [--tolerance R]\n"
         "                 [--time-limit S] FILE\n"
         "       voq-solve --version\n"
         "Solves the equations in FILE and prints one line per variable.\n"
         "  --table T    solves FILE once per row of the CSV table T (header: variable\n"
         "               names, each may be followed by [units]; a filled cell is an\n"
         "               input of its run) and prints the filled table as CSV\n"
         "  --digits N   every value in exponential form with N significant digits\n"
         "  --residuals  also each equation's block and relative residual\n"
         "  --continue   answer Yes when asked to continue after a failure to converge\n"
         "  --tolerance R  stop criterion: largest relative residual (default 1E-6)\n"
         "  --time-limit S  stop criterion: at most S seconds (1 to 86400) for the\n"
         "               whole run; a calculation still busy then ends with error 50\n"
         "  --guess NAME=VALUE   the guess value of a variable (array element x[3],\n"
         "               variable of a module or subprogram UNIT.NAME); repeatable\n"
         "  --limits NAME=LO:HI  its lower and upper limit; an empty side is open\n";
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

// Ctrl+C is the console's Esc key: the calculation polls for it and stops
// with error 58, so an endless loop in a routine body ends like any other
// cancelled calculation. The handler goes back to the default at once, so
// a second Ctrl+C ends the program however busy it is.
volatile std::sig_atomic_t interruptPending = 0;

extern "C" void OnInterrupt(int) { interruptPending = 1; }

void CatchInterrupt() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESETHAND;
  sigaction(SIGINT, &action, nullptr);
}

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
    if (progress != nullptr) progress->Wipe();
    int answer = ConsolePlatform::ShowAlertBox(text, kind, helpContext);
    // OK of an OK/Cancel question goes on; a script that did not ask for it
    // cancels.
    if (question && !hasNo) answer = kResultCancel;
    if (question) {
      const bool noConvergence = IsNoConvergenceQuestion(text);
      if (continuesLeft > 0 && noConvergence) {
        --continuesLeft;
        answer = hasNo ? kResultYes : kResultOk;
      }
      if (noConvergence && answer != kResultYes && answer != kResultOk) declinedNoConvergence = text;
      // The list asked for is printed after the solve.
      if (text == GetMessageText(kMsgSeeWarningsQuestion)) answer = kResultYes;
      const char* said = answer == kResultYes ? "Yes" : answer == kResultOk ? "OK" : hasNo ? "No" : "Cancel";
      std::cerr << "Question: " << text << " [" << said << "]\n";
      lastQuestion = text;
    } else if (AlertKindIcon(kind) == AlertIcon::Error && CalcErrorCode == kMsgCancelled &&
               TimeLimitReached()) {
      // Nobody pressed a key: the time limit asked the calculation to stop.
      if (reportedError != kMsgTimeLimit) ReportTimeLimit();
      reportedError = kMsgTimeLimit;
    } else if (AlertKindIcon(kind) == AlertIcon::Error && CalcErrorCode == kMsgCancelled &&
               !declinedNoConvergence.empty()) {
      // Nobody cancelled: the No was voq-solve's own answer to the question
      // whether to go on. The failure is the one to report.
      ReportNoConvergence();
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
  // The calculation's poll for Esc: Ctrl+C, or the end of the time limit,
  // which then answers every later poll the same way.
  bool TakeEscKeyDown() override {
    if (TimeLimitPassed()) return true;
    if (interruptPending == 0) return false;
    interruptPending = 0;
    return true;
  }

  // Error 57 as a console user can act on it: the question's text without
  // the question, and the options that answer it.
  void ReportNoConvergence() {
    std::string text = declinedNoConvergence;
    const size_t question = text.find("Update guess values and continue?");
    if (question != std::string::npos) text.resize(question);
    while (!text.empty() && text.back() == ' ') text.pop_back();
    std::cerr << "Error " << kMsgNoConvergence << ": " << text << "\n"
              << "  voq-solve: --continue goes on from where the iteration stopped; "
                 "--guess NAME=VALUE and --limits NAME=LO:HI start it elsewhere\n";
    reportedError = kMsgNoConvergence;
  }

  ConsoleProgressView* progress = nullptr;
  int continuesLeft = 0;
  // Any error shown during the run: the run fails even when values follow.
  int32_t reportedError = 0;
  std::string lastQuestion;
  std::string declinedNoConvergence;

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

// A number of a --guess or --limits value; false (with a message) when the
// text is not one.
bool ParseSettingNumber(const std::string& option, const std::string& text, Extended& value) {
  bool ok = false;
  if (!text.empty()) value = ParseReal(text, ok);
  if (!ok || std::isnan(static_cast<double>(value))) {
    std::cerr << "voq-solve: " << option << ": '" << text << "' is not a number\n";
    return false;
  }
  return true;
}

bool ParseSetting(const std::string& flag, const std::string& text, VariableSetting& setting) {
  setting.option = flag + " " + text;
  setting.isGuess = flag == "--guess";
  const size_t equals = text.find('=');
  if (equals == std::string::npos || equals == 0) {
    std::cerr << "voq-solve: " << setting.option << ": expected " << flag
              << (setting.isGuess ? " NAME=VALUE" : " NAME=LO:HI") << "\n";
    return false;
  }
  setting.name = text.substr(0, equals);
  while (!setting.name.empty() && setting.name.back() == ' ') setting.name.pop_back();
  const std::string value = text.substr(equals + 1);
  if (setting.isGuess) return ParseSettingNumber(setting.option, value, setting.guess);
  const size_t colon = value.find(':');
  if (colon == std::string::npos) {
    std::cerr << "voq-solve: " << setting.option << ": expected " << flag
              << " NAME=LO:HI (a side may be empty)\n";
    return false;
  }
  const std::string lo = value.substr(0, colon), hi = value.substr(colon + 1);
  setting.lower = -InfinityValue;
  setting.upper = InfinityValue;
  if (!lo.empty() && !ParseSettingNumber(setting.option, lo, setting.lower)) return false;
  if (!hi.empty() && !ParseSettingNumber(setting.option, hi, setting.upper)) return false;
  if (setting.lower > setting.upper) {
    std::cerr << "voq-solve: " << setting.option << ": the lower limit " << lo
              << " is above the upper limit " << hi << "\n";
    return false;
  }
  return true;
}

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
    } else if (arg == "--guess" || arg == "--limits") {
      if (i + 1 >= argc) return false;
      VariableSetting setting;
      if (!ParseSetting(arg, argv[++i], setting)) std::exit(kExitFailure);
      options.settings.push_back(setting);
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
      // A relative residual is computed in 10-byte reals: below their
      // precision no guess can meet the criterion, and the failure would
      // seem to be the equations'.
      if (r < std::numeric_limits<long double>::epsilon()) {
        char smallest[32];
        std::snprintf(smallest, sizeof smallest, "%.2LE", std::numeric_limits<long double>::epsilon());
        std::cerr << "voq-solve: --tolerance " << argv[i]
                  << " is below what 10-byte reals can reach: relative residuals are computed to "
                     "about "
                  << smallest << "; give at least that\n";
        std::exit(kExitFailure);
      }
      options.tolerance = r;
    } else if (arg == "--time-limit") {
      if (i + 1 >= argc) return false;
      char* end = nullptr;
      const long n = std::strtol(argv[++i], &end, 10);
      if (end == nullptr || *end != '\0' || n < 1 || n > kMaxTimeLimit) {
        std::cerr << "voq-solve: --time-limit takes a whole number of seconds from 1 to " << kMaxTimeLimit
                  << "\n";
        return false;
      }
      options.timeLimit = int(n);
    } else if (!arg.empty() && arg[0] == '-') {
      std::cerr << "voq-solve: unknown option " << arg << "\n";
      return false;
    } else if (options.file.empty()) {
      options.file = arg;
    } else {
      std::cerr << "voq-solve: two files given (" << options.file << " and " << arg
                << "): voq-solve solves one file of equations\n";
      std::exit(kExitFailure);
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
  // The UTF-8 byte-order mark some editors write is no part of the equations.
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
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

// A listed number without a value (a NaN, an infinity, or the blank or
// infinity marker, whether left unset or computed) is no solution: the run
// fails naming it, and nothing is printed as if it had been solved.
bool ValuesShowable() {
  const TProgramUnitRecord* main = MainProgramUnit;
  for (int32_t k = 1; k <= main->UsedVariableCount; ++k) {
    const TVariableRecord* v = main->Variable(main->UsedVariableList[size_t(k)]);
    if (v == nullptr || v->DisplayCode == 0 || v->IsString || IsShowableValue(v->Value)) continue;
    const char* what = std::isnan(v->Value) ? "is not a number (NaN)"
                       : IsBlank(v->Value)  ? "holds the blank marker 9.99E+3998, not a value"
                                            : "is infinite";
    std::cerr << "voq-solve: " << v->Name << " " << what << "; the equations have no solution to print\n";
    return false;
  }
  return true;
}

// An equation's statement as the user wrote it: a leading "~" only marks a
// statement that is never reused (an INTEGRAL equation, an output of a CALL).
std::string StatementText(const TEquationRecord* e) {
  std::string text = e != nullptr ? e->Text.value_or("") : std::string();
  if (!text.empty() && text[0] == '~') text.erase(0, 1);
  return text;
}

void PrintSolution(const Options& options) {
  const TProgramUnitRecord* main = MainProgramUnit;
  // String-variable units are looked up among the main program's variables.
  CurrentProgramUnit = MainProgramUnit;
  for (int32_t k = 1; k <= main->UsedVariableCount; ++k) {
    const TVariableRecord* v = main->Variable(main->UsedVariableList[size_t(k)]);
    // Variables of included files are not listed.
    if (v == nullptr || v->DisplayCode == 0) continue;
    // The line the Solution window saves for the variable.
    std::cout << SolutionTextLine(v->Name, ValueText(*v, options.digits), *v) << "\n";
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
    std::cout << (e->Block < 0 ? 0 : e->Block) << "  " << relative << "  " << StatementText(e) << "\n";
  }
}

TVariableRecord* FindVariableIn(TProgramUnitRecord* unit, const std::string& name) {
  if (unit == nullptr || name.empty()) return nullptr;
  TProgramUnitRecord* saved = CurrentProgramUnit;
  const int32_t savedError = CalcErrorCode;
  CurrentProgramUnit = unit;
  const int32_t index = FindVariable(name);
  CurrentProgramUnit = saved;
  CalcErrorCode = savedError;
  if (index <= 0) return nullptr;
  TVariableRecord* v = unit->Variable(index);
  // A name the equations no longer use is no variable of theirs.
  return v != nullptr && UpperCaseName(v->Name) == UpperCaseName(name) ? v : nullptr;
}

// The variable a --guess or --limits names: NAME in the main program, or
// UNIT.NAME for a variable of a module or subprogram; nullptr when there is
// none. Array elements go by their names, x[3].
TVariableRecord* FindSettingVariable(const std::string& name) {
  TProgramUnitRecord* unit = MainProgramUnit;
  std::string local = name;
  if (FindVariableIn(unit, local) == nullptr) {
    const size_t dot = name.find('.');
    if (dot == std::string::npos) return nullptr;
    const std::string unitName = UpperCaseName(name.substr(0, dot));
    unit = nullptr;
    for (TProgramUnitRecord* u : ProgramUnitList) {
      if (u != nullptr && u != MainProgramUnit && UpperCaseName(u->Name) == unitName) unit = u;
    }
    if (unit == nullptr) return nullptr;
    local = name.substr(dot + 1);
  }
  return FindVariableIn(unit, local);
}

// A name as the solution lists the variables of one CALL of a module or
// subprogram: "@" unit "\" call "." name. Each compile makes those copies
// afresh from the unit's own variable, so a guess or limit set on one copy
// would be lost before the solve: it is refused, naming the form that
// works. False when the name is not of that form.
bool RefusePerCallName(const VariableSetting& s) {
  const std::string& name = s.name;
  if (name.empty() || name[0] != '@') return false;
  const size_t slash = name.find('\\');
  const size_t dot = slash == std::string::npos ? std::string::npos : name.find('.', slash);
  size_t index = 0;
  const TProgramUnitRecord* unit = nullptr;
  if (dot != std::string::npos && slash > 1 && slash <= 5 &&
      name.find_first_not_of("0123456789", 1) == slash) {
    index = size_t(std::stoul(name.substr(1, slash - 1)));
    if (index < ProgramUnitList.size()) unit = ProgramUnitList[index];
  }
  std::cerr << "voq-solve: " << s.option << ": " << name;
  if (unit == nullptr) {
    std::cerr << " is no variable of the equations\n";
    return true;
  }
  const std::string local = name.substr(dot + 1);
  std::cerr << " is " << local << " of CALL " << name.substr(slash + 1, dot - slash - 1) << " of "
            << (unit->IsSubprogram ? "subprogram " : "module ") << unit->Name
            << "; the guess and limits of a module's variable hold for every CALL: give "
            << unit->Name << "." << local << "\n";
  return true;
}

// The guesses and limits of the command line go into the variable records
// before the solve, as the dialog puts them: a number replaces a guess or
// limit given by another variable.
bool ApplySettings(const Options& options) {
  for (const VariableSetting& s : options.settings) {
    if (RefusePerCallName(s)) return false;
    TVariableRecord* v = FindSettingVariable(s.name);
    if (v == nullptr) {
      std::cerr << "voq-solve: " << s.option << ": the equations have no variable " << s.name << "\n";
      return false;
    }
    if (v->IsString) {
      std::cerr << "voq-solve: " << s.option << ": " << s.name
                << " is a string variable; it has no guess or limits\n";
      return false;
    }
    if (s.isGuess) {
      v->Guess = s.guess;
      v->GuessVariable = 0;
    } else {
      v->LowerLimit = s.lower;
      v->UpperLimit = s.upper;
      v->LowerVariable = v->UpperVariable = 0;
    }
  }
  return true;
}

// With "Check Units automatically" on ($CHECKUNITS ON) the Solution window
// would count the equations with unit problems; a console user gets each
// problem's message.
void PrintUnitProblems() {
  if (Preferences.CheckUnitsAutomatically == 0 || Preferences.ComplexMode != 0) return;
  const int32_t saved = CalcErrorCode;
  for (const TUnitProblem& p : CheckUnitsOfEquations(MainProgramUnit, 0)) {
    std::cerr << "Unit check: " << StatementText(p.Equation) << ": " << p.Message << "\n";
  }
  CalcErrorCode = saved;
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
  CatchInterrupt();
  platform.continuesLeft = options.continueAfterNoConvergence ? kMaxContinuations : 0;
  QuietHostWindows quiet;
  THost host = quiet.Record(platform);
  host.Windows = &windows;
  ConsoleProgressView progress(std::cerr, ::isatty(STDERR_FILENO) == 1, [] {
    return int64_t(std::chrono::duration_cast<std::chrono::milliseconds>(
                       std::chrono::steady_clock::now().time_since_epoch())
                       .count());
  });
  host.Progress = &progress;
  platform.progress = &progress;
  std::string missing;
  if (!AssembleEngine(host, &missing)) {
    // An empty name: start-up stopped after its message (no "VOQ.DFT"),
    // which the console platform has printed.
    if (!missing.empty()) std::cerr << "voq-solve: no " << missing << "\n";
    return kExitFailure;
  }
  // Files the equations include are looked for beside them too.
  const std::string folder = std::filesystem::path(options.file).parent_path().string();
  if (!folder.empty()) AddSearchDirectory(folder);

  if (options.tolerance > 0) StopCriteria.RelativeResidualTolerance = options.tolerance;
  // The solver's clock ends its iterations at the limit; the abort poll
  // (TakeEscKeyDown) ends everything else.
  if (options.timeLimit > 0) StopCriteria.MaxElapsedSeconds = options.timeLimit;
  StartTimeLimit(options.timeLimit);
  Equations().SetText(windowText);
  if (!options.settings.empty()) {
    // Compile only, so the variables exist, then set them and solve: the
    // second read keeps the records of the unchanged text.
    CheckOnlyMode = true;
    CompileEquations(false, false);
    CheckOnlyMode = false;
    if (CalcErrorCode > 0 || !EquationsCompiled) {
      if (CalcErrorCode == kMsgCancelled && TimeLimitReached()) {
        if (platform.reportedError != kMsgTimeLimit) ReportTimeLimit();
      } else if (CalcErrorCode > 0 && platform.reportedError != CalcErrorCode)
        std::cerr << "Error " << CalcErrorCode << ": " << GetMessageText(CalcErrorCode) << "\n";
      return kExitFailure;
    }
    if (!ApplySettings(options)) return kExitFailure;
    CalcErrorCode = 0;
  }
  if (!options.tableFile.empty()) {
    if (options.residuals) std::cerr << "voq-solve: --residuals does not apply to --table; ignored\n";
    const int status = RunTableMode(TTableModeOptions{options.tableFile, options.digits});
    StopTimeLimitWatchdog();
    PrintPendingWarnings();
    return status;
  }
  CheckOnlyMode = false;
  // As the Solve command: an $IntegralTable directive makes its table.
  CompileEquations(false, true);

  StopTimeLimitWatchdog();
  const bool solved = CalcErrorCode <= 0 && SolutionAvailable;
  if (!solved) {
    if (CalcErrorCode == kMsgCancelled && TimeLimitReached()) {
      if (platform.reportedError != kMsgTimeLimit) ReportTimeLimit();
    } else if (CalcErrorCode == kMsgCancelled && !platform.declinedNoConvergence.empty()) {
      if (platform.reportedError != kMsgNoConvergence) platform.ReportNoConvergence();
    } else if (CalcErrorCode > 0 && platform.reportedError != CalcErrorCode)
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
  if (!ValuesShowable()) {
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
  PrintUnitProblems();
  // An error shown on the way ($EXPORT that could not write, for one) fails
  // the run as well: its output is not what the text asked for.
  return constrained || platform.reportedError != 0 ? kExitFailure : 0;
}

}  // namespace

int main(int argc, char** argv) {
  const int status = Run(argc, argv);
  // The store goes before the globals that list it: MODULE and SUBPROGRAM
  // units are reached only through the unit list.
  ResetProgramStore();
  return status;
}

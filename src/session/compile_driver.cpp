#include "session/compile_driver.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <new>
#include <system_error>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/number_text.h"
#include "core/program_flags.h"
#include "core/search_path.h"
#include "core/string_constants.h"
#include "core/text_utils.h"
#include "language/comments.h"
#include "language/directives.h"
#include "language/duplicate_loops.h"
#include "language/equation_reader.h"
#include "language/export_after_run.h"
#include "language/reader_state.h"
#include "language/reference_states.h"
#include "language/routine_reader.h"
#include "language/statement_compiler.h"
#include "model/program_units.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "model/warnings_window.h"
#include "platform/host.h"
#include "session/problem_summary.h"
#include "session/solve_after_compile.h"
#include "solver/blocking.h"
#include "solver/evaluator.h"
#include "solver/numeric_opcodes.h"
#include "solver/one_unknown.h"
#include "solver/progress.h"

namespace voq {

bool CheckOnlyStarted = false;
bool DiagramRefreshCompile = false;
int32_t SolveOrderCounter = 0;
TProgramUnitRecord* DebugProgramUnit = nullptr;
std::vector<TIncludedFile> IncludedFiles;
TCompileCounts LastCompileCounts;

namespace {

// --- Installed interfaces ------------------------------------------------------


// --- Reader state of one read ---------------------------------------------------

struct TReadPass {
  bool showCheckResult = false;
  bool makeIntegralTable = false;
  // CalcErrorStart of the last statement that compiled without error (error 222).
  int32_t lastStatementStart = 0;
  // The user declined to locate a missing include file, or it could not be
  // opened: the read ends without an error and without a solve.
  bool stopReading = false;
  // ClearCompiledEquations calls seen when the read began: the solve
  // sequence discards the compiled equations when the user declines the
  // Debug window, and the read must not then call them compiled.
  int32_t clearsAtStart = 0;
};
TReadPass pass;

void Trim(std::string& text) {
  size_t first = 0;
  while (first < text.size() && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  size_t last = text.size();
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  text = text.substr(first, last - first);
}

// The file name of an $INCLUDE: the text from its 10th character on, trimmed,
// without quote characters.
std::string IncludeFileName(const std::string& line, size_t from) {
  std::string name = line.size() > from ? line.substr(from) : std::string();
  Trim(name);
  std::erase(name, '\'');
  std::erase(name, '"');
  return name;
}

// The upper-cased extension with its dot (at most 4 characters).
std::string UpperExtension(const std::string& name) {
  const std::string ext = std::filesystem::path(name).extension().string();
  return UpperCaseText(ext.substr(0, 4));
}

void AddFolderOf(const std::string& name) {
  const std::string folder = std::filesystem::path(name).parent_path().string();
  if (!folder.empty()) AddSearchDirectory(folder);
}

// An included line longer than this is not read on: no statement can come
// of it, and a file that never ends a line (a device) must not fill memory.
constexpr size_t kMaxIncludedLineLength = 65535;

// What reading one line of a text file gave.
enum class LineStatus {
  Read,
  End,
  // The line exceeded kMaxIncludedLineLength and was not read on.
  TooLong,
  // The system could not read the file (a device error, /proc/self/mem).
  Failed,
};

// One line of a text file without its line break. A line ends at CR LF, a
// lone LF or a lone CR, as the window's own lines do. The file buffer
// reports a failed read by throwing; it becomes LineStatus::Failed here.
LineStatus ReadFileLine(std::istream& in, std::string& line) {
  line.clear();
  std::streambuf* buffer = in.rdbuf();
  if (buffer == nullptr) return LineStatus::End;
  constexpr int kEnd = std::char_traits<char>::eof();
  try {
    int c = buffer->sbumpc();
    if (c == kEnd) return LineStatus::End;
    for (; c != kEnd; c = buffer->sbumpc()) {
      if (c == '\n') break;
      if (c == '\r') {
        if (buffer->sgetc() == '\n') buffer->sbumpc();
        break;
      }
      if (line.size() >= kMaxIncludedLineLength) return LineStatus::TooLong;
      line.push_back(static_cast<char>(c));
    }
  } catch (const std::ios_base::failure&) {
    return LineStatus::Failed;
  }
  return LineStatus::Read;
}

// False when the next read may give more (a failing read included: the
// next ReadFileLine reports it).
bool FileAtEnd(std::istream& in) {
  std::streambuf* buffer = in.rdbuf();
  try {
    return buffer == nullptr || buffer->sgetc() == std::char_traits<char>::eof();
  } catch (const std::ios_base::failure&) {
    return false;
  }
}

// A line is cut at its first NUL.
void CutAtNul(std::string& line) {
  const size_t nul = line.find('\0');
  if (nul != std::string::npos) line.resize(nul);
}

bool BodyOpen() {
  StatementReaders& readers = Readers();
  return readers.RoutineBodyOpen() || readers.ModuleBodyOpen();
}

// A missing include file: the user may browse for it. False ends the read.
bool LocateMissingInclude(std::string& name) {
  SetMessageArg(1, name);
  MessageText = GetMessageText(kMsgFileNotFoundBrowse);
  if (ShowAlert(MessageText, kAlertWarningYesNo, true) != kResultYes) return false;
  static const char* const kFilter =
      "Text files (.TXT)|*.TXT|VOQ Library files (.LIB)|*.LIB|FORTRAN DLLs (.FDL)|*.FDL|"
      "C/Pascal functions (.DLF)|*.DLF|C/Pascal procs (.DLP)|*.DLP|"
      "Variable Info files (*.VAR)|*.VAR";
  // The filter that matches the missing name's extension is offered first.
  std::string ext = UpperCaseText(std::filesystem::path(name).extension().string());
  int filterIndex = ext == ".LIB" ? 2 : ext == ".FDL" ? 3 : ext == ".DLF" ? 4
                  : ext == ".DLP" ? 5 : ext == ".VAR" ? 6 : 1;
  std::string chosen = name;
  if (!Platform().AskOpenFileName("Open", kFilter, filterIndex, chosen) || chosen.empty())
    return false;
  AddFolderOf(chosen);
  // The window text names the chosen file from now on; the reader goes on
  // from the same place in the changed text.
  EquationsEditor& editor = Equations();
  if (editor.ReplaceText(name, chosen)) {
    try {
      EquationTextBuffer = NormalizeLineBreaks(editor.GetText());
      EquationTextLength = int32_t(EquationTextBuffer.size()) + 1;
    } catch (const std::bad_alloc&) {
      ReportOutOfMemory();
      return false;
    }
    TextReader.position += int32_t(chosen.size()) - int32_t(name.size());
    TextReader.lineCursorPosition = 0;
    TextReader.lineCursorLine = 0;
  }
  name = chosen;
  return true;
}

// The lines of an included equation text file, as statements of the window.
void IncludeTextFile(const std::string& name, int32_t includeStart, int32_t includeEnd) {
  EquationLineNo += 1;
  std::ifstream in(name, std::ios::binary);
  if (!in) {
    ReportIOError(2);
    pass.stopReading = true;
    return;
  }
  // A file may say which decimal separator it was written with; its lines
  // are converted to the one in use. The setting holds for this file only.
  const char savedSeparator = SavedDecimalSeparator;
  // A line too long, or a read the system failed, ends the file with its
  // error at the $INCLUDE statement.
  auto refuseLine = [&](LineStatus status) {
    const int32_t number = status == LineStatus::TooLong ? kMsgLineTooLong : kMsgFileReadIOError;
    if (number == kMsgFileReadIOError) {
      SetMessageArg(1, "100");
      SetMessageArg(2, name);
    }
    CalcErrorCode = number;
    CalcErrorStart = includeStart;
    CalcErrorEnd = includeEnd;
    ShowEquationError(number, includeStart, includeEnd + 1, EquationLineNo);
  };
  std::string first;
  const LineStatus firstStatus = ReadFileLine(in, first);
  if (firstStatus == LineStatus::TooLong || firstStatus == LineStatus::Failed) {
    refuseLine(firstStatus);
    return;
  }
  CutAtNul(first);
  // A byte-order mark that an editor wrote is no part of the first statement.
  if (first.compare(0, 3, "\xEF\xBB\xBF") == 0) first.erase(0, 3);
  if (first.size() >= 5 && first.compare(0, 4, "{$DS") == 0) {
    SavedDecimalSeparator = first[4];
    first.erase(0, std::min<size_t>(6, first.size()));
  }
  LocalizeDecimalSeparator(first);
  TTextReaderState& r = TextReader;
  r.restOfLine = first;
  r.restStart = includeStart;
  r.restEnd = includeEnd;
  r.restFromList = false;
  bool atEnd = FileAtEnd(in);
  while ((!atEnd || !r.restOfLine.empty()) && CalcErrorCode == 0 && !AbortRequested) {
    ReadingIncludedText = true;
    DiagramInputStatement = false;
    std::string line;
    if (!r.restOfLine.empty()) {
      line = r.restOfLine;
      CalcErrorStart = r.restStart;
      CalcErrorEnd = r.restEnd;
    } else {
      const LineStatus status = ReadFileLine(in, line);
      if (status == LineStatus::End) {
        atEnd = true;
        continue;
      }
      if (status != LineStatus::Read) {
        refuseLine(status);
        break;
      }
      LocalizeDecimalSeparator(line);
      // Every statement of the file reports the $INCLUDE statement.
      CalcErrorStart = includeStart;
      CalcErrorEnd = includeEnd;
    }
    CutAtNul(line);
    if (line.empty()) continue;
    if (IsIncludeLine(line)) {
      // Included files are read one level deep; read as a statement the
      // directive gave only a syntax error that named neither file.
      SetMessageArg(1, name);
      SetMessageArg(2, IncludeFileName(line, 9));
      CalcErrorCode = kMsgNestedInclude;
      ShowEquationError(kMsgNestedInclude, includeStart, includeEnd + 1, EquationLineNo);
      break;
    }
    ProcessLine(line, false);
  }
  // A rest of a line left by an error belongs to the file, not the window.
  if (CalcErrorCode != 0) r.restOfLine.clear();
  ReadingIncludedText = false;
  SavedDecimalSeparator = savedSeparator;
}

// A library file is read through the Equations window: its text replaces the
// window's for the time of the load, which the clipboard carries meanwhile.
void IncludeLibraryFile(const std::string& name) {
  const int32_t savedLength = EquationTextLength;
  const int32_t savedLine = EquationLineNo;
  std::string savedBuffer;
  TTextReaderState savedReader;
  std::string savedWindowText;
  try {
    savedBuffer = EquationTextBuffer;
    savedReader = TextReader;
    savedWindowText = Equations().GetText();
  } catch (const std::bad_alloc&) {
    ShowAlert(GetMessageText(kMsgOperationOutOfMemory), kAlertInfoOk, false);
    pass.stopReading = true;
    return;
  }
  LoadingLibrary = true;
  ReadingIncludedText = true;
  const bool savedCheckOnly = CheckOnlyMode;
  const bool savedDistributable = DistributableMode;
  DistributableMode = false;
  PlatformServices& platform = Platform();
  platform.SetClipboardText(savedWindowText);
  Loaders().LoadLibraryFile(name, true);
  DistributableMode = savedDistributable;
  CheckOnlyMode = savedCheckOnly;
  ReadingIncludedText = false;
  std::string restored;
  if (DistributableMode || !platform.GetClipboardText(restored)) restored = savedWindowText;
  Equations().SetText(restored);
  platform.SetClipboardText("");
  EquationTextBuffer = std::move(savedBuffer);
  EquationTextLength = savedLength;
  TextReader = std::move(savedReader);
  Loaders().SortLibraryRoutines();
  LoadingLibrary = false;
  EquationLineNo = savedLine + 1;
}

// $INCLUDE in the Equations window text.
void IncludeFile(const std::string& line) {
  const int32_t includeStart = CalcErrorStart;
  const int32_t includeEnd = CalcErrorEnd;
  std::string name = IncludeFileName(line, 9);
  if (!name.empty() && !FileExistsOnPath(name, &name)) {
    // Something of that name that no file can be read from (a folder, a
    // device that would never end) is named as what it is: browsing for a
    // "missing" file would not help.
    std::string found;
    const std::string kind = NonFileKind(name, &found);
    if (!kind.empty()) {
      MessageText = "$INCLUDE " + found + ": this is " + kind + ", not a file of equations.";
      CalcErrorCode = kMsgPreparedText;
      CalcErrorStart = includeStart;
      CalcErrorEnd = includeEnd;
      ShowEquationError(kMsgPreparedText, includeStart, includeEnd + 1, EquationLineNo + 1);
      return;
    }
  }
  if (name.empty() || !FileExistsOnPath(name, &name)) {
    if (!LocateMissingInclude(name)) {
      pass.stopReading = CalcErrorCode == 0;
      return;
    }
  }
  const std::string ext = UpperExtension(name);
  AddFolderOf(name);
  IncludedFiles.push_back({"$Include " + name, EquationLineNo});
  if (ext == ".VOQ") {
    CalcErrorCode = kMsgIncludeNotText;
    ShowEquationError(kMsgIncludeNotText, includeStart, includeEnd, EquationLineNo + 1);
  } else if (ext == ".VAR") {
    Loaders().ReadVarInfoFile(name);
  } else if (ext == ".DLF" || ext == ".DLP" || ext == ".FDL") {
    const bool savedCheckOnly = CheckOnlyMode;
    Loaders().LoadLibraryFile(name, false);
    CheckOnlyMode = savedCheckOnly;
    EquationLineNo += 1;
    LoadingLibrary = false;
  } else if (ext == ".LIB") {
    IncludeLibraryFile(name);
  } else {
    IncludeTextFile(name, includeStart, includeEnd);
  }
}

// The lines of a text file named by a Diagram statement's $INCLUDE.
void IncludeDiagramFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  if (!in) {
    ReportIOError(2);
    return;
  }
  std::string line;
  for (LineStatus status = ReadFileLine(in, line); CalcErrorCode == 0 && status != LineStatus::End;
       status = ReadFileLine(in, line)) {
    if (status != LineStatus::Read) {
      MessageText = GetMessageText(kMsgDiagramInputError);
      if (status == LineStatus::Failed) {
        SetMessageArg(1, "100");
        SetMessageArg(2, name);
      }
      CalcErrorCode = status == LineStatus::TooLong ? kMsgLineTooLong : kMsgFileReadIOError;
      CalcErrorStart = -1;
      CalcErrorEnd = -1;
      ReportStatementError();
      return;
    }
    CutAtNul(line);
    if (line.empty()) continue;
    CalcErrorStart = -1;
    CalcErrorEnd = -1;
    ProcessStatement(line);
  }
}

// What follows the compile of a statement of the text, and of every copy a
// DUPLICATE loop makes (whose copies do not look at the Ctrl key).
void AfterStatementCompiled(std::string copy, TEquationRecord* e, bool testCtrl) {
  // Solving while reading: what this statement determines is known to the
  // statements that follow (the solve pass reports any error again).
  if (CalcErrorCode == 0 && !BodyOpen()) {
    SolveEquationOnRead(SolveOrderCounter, testCtrl);
    CurrentEquation = e;
  }
  // Complex mode: an equation that is not already one part gets its
  // imaginary-part partner, compiled from the same text.
  TProgramUnitRecord* unit = CurrentProgramUnit;
  if (unit != nullptr && unit->UnitComplexMode && !Readers().RoutineBodyOpen() && CalcErrorCode == 0 &&
      e != nullptr && e->EquationKind == 0) {
    if (e->LeftIsRealPart) {
      // nothing more
    } else if (e->LeftIsImaginaryPart) {
      e->EquationKind = 1;
    } else {
      CompileStatement(copy, kMaxStatementLength, TStatementPosition{CalcErrorStart, e->LineNumber, CalcErrorEnd});
      if (CurrentEquation != nullptr && CurrentEquation != e) CurrentEquation->EquationKind = 1;
    }
  }
}

void AfterDuplicateCopyCompiled(const std::string& copy, TEquationRecord* compiled) {
  AfterStatementCompiled(copy, compiled, false);
}

// The end of the read: checks, the hand-over to the solve sequence, and
// what EquationsCompiled says about it.
void EndOfRead() {
  CompileEndTicks = Platform().TickCount();
  Compiling().Hide();
  StatementReaders& readers = Readers();
  Equations().EndRead(CalcErrorCode == 0 && !LoadingLibrary);
  if (!LoadingLibrary && CurrentRun == 0) Platform().SetBusyCursor(1);

  if (CalcErrorCode == 0 && !AbortRequested && readers.DuplicateLoopOpen()) {
    MessageHelpContext = 102;
    CalcErrorCode = kMsgUnterminatedDuplicate;
    CalcErrorStart = pass.lastStatementStart;
    ReportStatementError();
  }
  // Records of the previous compile that nothing took over go now; after a
  // failed read too, since the next read starts from this read's list. A
  // body still open first hands back the main program's list.
  CloseAbandonedRoutineBody();
  if (CalcErrorCode <= 0)
    DisposeUnusedEquations();
  else
    ReleaseRetainedEquations();
  readers.EndRead();
  if (!CheckOnlyMode && CurrentProgramUnit != nullptr) {
    int32_t guard = 0;
    for (TEquationRecord* e = CurrentProgramUnit->FirstEquation; e != nullptr && guard < 10000000;
         e = e->Next, ++guard) {
      if (!e->SolvedAlone) e->Residual = BlankValue;
    }
  }

  bool integralTableFailed = false;
  if (CalcErrorCode == 0 && !AbortRequested && !pass.stopReading) {
    CheckRoutinesAfterReading();
    if (CalcErrorCode != 0) {
      ReportStatementError();
    } else if (CheckCommentsClosed()) {
      ReportStatementError();
    } else {
      SolutionAvailable = true;
      TProgramUnitRecord* unit = CurrentProgramUnit;
      if (unit != nullptr && unit->UsedVariableCount > 0) SortVariableOrder(1, unit->UsedVariableCount);
      if (pass.makeIntegralTable) {
        readers.SetUpIntegralTable();
        if (CalcErrorCode != 0) {
          CalcErrorStart = 0;
          CalcErrorEnd = 0;
          ReportStatementError();
          SolutionAvailable = false;
          integralTableFailed = true;
        }
      }
      // A read that asked for a second one hands nothing on: the second
      // read solves or shows the summary.
      if (!integralTableFailed && !RecompileRequested) {
        if (!CheckOnlyMode && !LoadingLibrary && CalcErrorCode == 0) {
          SolveCompiledEquations();
        } else if (CheckOnlyMode && pass.showCheckResult) {
          SolveServices().AssignIntegrationVars(CurrentProgramUnit);
          std::string text;
          ProblemSizeMessage(CurrentProgramUnit, 0, text);
          if (PlayingMacroFile) {
            CalcErrorCode = kMsgPreparedText;
            MessageText = text;
          } else {
            ShowAlert(text, kAlertInfoOk, false);
          }
        }
      }
    }
  }
  // A read that an alert ended (a changed complex mode) read only part of
  // the text, without an error number: it is not compiled either.
  if (CalcErrorCode <= 0 && !AbortRequested && !pass.stopReading && !integralTableFailed &&
      CompiledEquationsClears == pass.clearsAtStart) {
    SolveServices().SetSolutionCaption("Solution");
    EquationsCompiled = true;
  } else {
    SolutionAvailable = false;
    EquationsCompiled = false;
  }
  Platform().SetBusyCursor(0);
}

}  // namespace

// --- Interfaces ---------------------------------------------------------------------

// --- Entry points -------------------------------------------------------------------

void EnsureCompiled(bool solve) {
  CalcErrorCode = 0;
  CheckOnlyMode = true;
  if (!solve) CompileWithoutSolving = true;
  if (!EquationsCompiled)
    CompileEquations(false, false);
  else
    solve = false;
  SolutionAvailable = false;
  CurrentProgramUnit = MainProgramUnit;
  if (CalcErrorCode <= 0 && solve) {
    Platform().SetBusyCursor(1);
    // solve is still set only when this call has just compiled, and a
    // complete read without error sets EquationsCompiled: the pass follows
    // such a read (a read the user ended early at an $INCLUDE stays
    // uncompiled).
    if (EquationsCompiled) {
      SolveOneUnknownEquations(true);
      EquationsCompiled = CalcErrorCode <= 0;
    }
    CalcErrorCode = 0;
  }
  Platform().SetBusyCursor(0);
}

void CompileEquations(bool showCheckResult, bool makeIntegralTable) {
  StatementReaders& readers = Readers();
  readers.MarkReferenceStatesUnused();
  MarkReferenceStatesUnused();
  RecompileRequested = false;
  ReadEquations(showCheckResult, makeIntegralTable);
  if (CalcErrorCode <= 0 && RecompileRequested) {
    // A reference state changed by a directive changes the values that
    // statements read before it computed: everything is compiled afresh.
    RecompileRequested = false;
    ClearCompiledEquations();
    ReadEquations(showCheckResult, makeIntegralTable);
  }
  RecompileRequested = false;
  readers.DeleteUnusedReferenceStates();
  DeleteUnusedReferenceStates();
}

void ReadEquations(bool showCheckResult, bool makeIntegralTable) {
  pass = TReadPass{};
  pass.showCheckResult = showCheckResult;
  pass.makeIntegralTable = makeIntegralTable;
  pass.clearsAtStart = CompiledEquationsClears;
  LastCompileCounts = TCompileCounts{};
  PlatformServices& platform = Platform();

  // The warnings window starts every read empty: lines kept from an earlier
  // solve would hide a warning repeated now, and fill the window for good.
  if (!LoadingLibrary) ClearWarningsAfter(0);
  WarningsPending = false;
  CompileStartTicks = platform.TickCount();
  IntegralTableDirective.clear();
  if (MainProgramUnit == nullptr) EnsureMainProgramUnit();
  if (MainProgramUnit == nullptr) return;
  TProgramUnitRecord* main = MainProgramUnit;
  CurrentProgramUnit = main;
  CheckOnlyStarted = false;
  main->IntegralCount = 0;
  main->LastEquation = nullptr;
  if (!LoadingLibrary) {
    ReadingIncludedText = false;
    IncludedFiles.clear();
    ExportDirectives.clear();
    SaveLookupDirectives.clear();
  }
  platform.SetBusyCursor(1);
  PruneLineInfoList();
  TrialCompile = false;
  StatementReaders& readers = Readers();
  readers.BeginRead();
  SetStatementFollowUp(&AfterDuplicateCopyCompiled);
  // Every read starts from the default reference states; the directives
  // read in this pass set them again.
  ResetCatalogReferenceStates();

  const bool showCompiling =
      !LoadingLibrary && ProgressDlg == nullptr && !PlayingMacroFile && !DiagramRefreshCompile;
  if (showCompiling) {
    Compiling().Show();
    Compiling().Update(0);
  } else {
    Compiling().Hide();
  }

  AbortRequested = false;
  ResetCommentState();
  RetainMainEquations();
  SolutionStarted = false;

  CompilingFunctionIndex = 0;
  ModuleNesting = 0;
  MainStatementSeen = false;
  // The Solution window shows the unit settings only when this read's
  // equations use them (trigonometric and property functions).
  UnitSettingsUsed = 0;
  FreePendingTextPieces();

  for (TProgramUnitRecord* unit : ProgramUnitList) {
    if (unit == nullptr) continue;
    unit->CallCount = 0;
    unit->DisplayedCallCount = 0;
    unit->CallTexts.clear();
    unit->CommonVariables.clear();
    if (!unit->IsLibraryUnit && !LoadingLibrary) {
      unit->CompiledThisPass = 0;
      unit->Defined = 0;
      unit->UnknownCount = 0;
      unit->UsedVariableCount = 0;
      unit->EquationCount = 0;
      for (int32_t i = 1; i <= unit->VariableCount; ++i) {
        if (TVariableRecord* v = unit->VariableHandles[size_t(i)]) v->UnknownPosition = 0;
      }
    }
  }
  SolveOrderCounter = 0;
  CurrentProgramUnit = main;
  main->Defined = 1;
  main->CompiledThisPass = 1;
  CurrentEquation = nullptr;
  Equations().BeginRead();

  CalcErrorCode = 0;
  CalcErrorStart = 0;
  CalcErrorEnd = 0;
  EquationLineNo = 0;

  if (!LoadingLibrary) {
    CollectDiagramInputs();
    if (CalcErrorCode != 0) {
      if (CheckOnlyMode && !showCheckResult)
        CalcErrorCode = 0;
      else
        ShowAlert(MessageText, kAlertInfoOk, true);
      SolutionAvailable = false;
      AbortRequested = true;
    }
  }

  std::string windowText;
  try {
    windowText = Equations().GetText();
  } catch (const std::bad_alloc&) {
    windowText.clear();
    ReportOutOfMemory();
  }
  if (CalcErrorCode == kMsgOutOfMemory || !BeginEquationText(windowText)) {
    ShowAlert(GetMessageText(kMsgOperationOutOfMemory), kAlertErrorOk, false);
    ReportOutOfMemory();
    Compiling().Hide();
    ReleaseRetainedEquations();
    SolutionAvailable = false;
    EquationsCompiled = false;
    return;
  }
  windowText.clear();
  windowText.shrink_to_fit();
  CommentPaint().ClearCommentStyles();

  // The reading loop.
  std::string line;
  bool fromList = false;
  for (;;) {
    if (pass.stopReading) break;
    const int32_t errorBefore = CalcErrorCode;
    if (!NextEquationLine(line, fromList)) {
      // A line or joined statement over the limit (not an error a statement
      // already reported).
      if (errorBefore == 0 && CalcErrorCode == kMsgLineTooLong)
        ShowEquationError(kMsgLineTooLong, CalcErrorStart, CalcErrorEnd, EquationLineNo);
      break;
    }
    if (!fromList && DiagramRefreshCompile && PendingStatements.empty()) DiagramRefreshCompile = false;
    if (!fromList && IsIncludeLine(line)) {
      IncludeFile(line);
      continue;
    }
    ProcessLine(line, fromList);
  }
  DiagramInputStatement = false;
  EndOfRead();
  EquationTextBuffer.clear();
}

void ProcessLine(std::string& line, bool fromList) {
  if (!fromList) {
    ProcessStatement(line);
    return;
  }
  CalcErrorStart = -1;
  CalcErrorEnd = -1;
  const size_t at = UpperCaseText(line).find("$INCLUDE ");
  if (at == std::string::npos) {
    ProcessStatement(line);
    return;
  }
  std::string name = IncludeFileName(line, 9);
  if (!FileExistsOnPath(name, &name)) {
    MessageText = GetMessageText(kMsgDiagramInputError);
    SetMessageArg(1, name + GetMessageText(kMsgIncludeReferenceTail));
    CalcErrorCode = kMsgFileNotFound;
    ReportStatementError();
    return;
  }
  if (UpperExtension(name) != ".TXT") {
    MessageText = GetMessageText(kMsgDiagramInputError);
    SetMessageArg(1, line);
    CalcErrorCode = kMsgDiagramIncludeNotText;
    ReportStatementError();
    return;
  }
  IncludeDiagramFile(name);
}

void ProcessStatement(std::string& line) {
  const bool diagram = DiagramInputStatement;
  SplitAndCleanStatement(line);
  const std::string statement = line;
  if (CalcErrorCode == 0 && !line.empty()) {
    try {
      CompilingWindow& compiling = Compiling();
      if (compiling.Shown()) compiling.Update(EquationLineNo);
      StatementReaders& readers = Readers();
      bool handled = false;
      ProcessDirective(line, handled);
      if (!handled && CalcErrorCode == 0) {
        readers.ProcessProcedureStatement(line, handled);
        if (!handled && CalcErrorCode == 0) readers.ProcessFunctionStatement(line, handled);
        if (!handled && CalcErrorCode == 0 && !readers.RoutineBodyOpen())
          readers.ProcessModuleStatement(line, handled);
      }
      if (!handled && CalcErrorCode == 0 && BodyOpen()) {
        readers.ProcessCommonDirective(line, handled);
        if (!handled && CalcErrorCode == 0) readers.RewriteIfThenElse(line, handled);
      }
      bool compiled = false;
      std::string copy;
      if (!handled && CalcErrorCode == 0 && !readers.ProcessDuplicate(line)) {
        copy = line;
        const int64_t freshBefore = FreshCompileCount;
        CompileStatement(line, kMaxStatementLength,
                         TStatementPosition{CalcErrorStart, EquationLineNo, CalcErrorEnd});
        LastCompileCounts.Statements += 1;
        LastCompileCounts.Fresh += int32_t(FreshCompileCount - freshBefore);
        compiled = true;
      }
      TEquationRecord* e = CurrentEquation;
      if (compiled && diagram && CalcErrorCode == 0 && e != nullptr) e->NotFromWindow = 1;
      if (compiled) AfterStatementCompiled(copy, e, true);
    } catch (...) {
      ThrottledBeep();
    }
  }
  // A warning state of the compiler does not stop the read.
  if (CalcErrorCode < 0) CalcErrorCode = 0;
  if (CalcErrorCode == 0) {
    pass.lastStatementStart = CalcErrorStart;
  } else if (CalcErrorCode == kMsgBadCallStatement && LoadingLibrary) {
    CalcErrorCode = 0;
  } else {
    if (diagram) {
      MessageText = "Diagram input error: " + statement;
      CalcErrorStart = 0;
      CalcErrorEnd = 0;
    }
    ReportStatementError();
    pass.lastStatementStart = CalcErrorStart;
  }
}

void CollectDiagramInputs() {
  PendingStatements.clear();
  DiagramInputs& diagram = Diagram();
  if (!diagram.UseInputs() || !UseDiagramInput) return;
  TProgramUnitRecord* unit = CurrentProgramUnit;
  if (unit == nullptr) return;
  for (TDiagramInputItem& item : diagram.InputItems()) {
    int32_t i = FindVariable(item.VariableName);
    if (i <= 0) {
      CalcErrorCode = 0;
      AddVariable(item.VariableName);
      if (CalcErrorCode != 0) return;
      i = unit->VariableCount;
    }
    TVariableRecord* v = unit->Variable(i);
    if (v == nullptr) return;
    if (v->UnknownPosition < 0) {
      SetMessageArg(1, v->Name);
      CalcErrorCode = kMsgDiagramResetsVariable;
      MessageText = GetMessageText(kMsgDiagramResetsVariable);
      unit->LastEquation = nullptr;
      return;
    }
    if (item.HasDropDown) {
      item.Value = Extended(StringConstIndex(item.SelectedEntry));
      const size_t slashes = item.SelectedEntry.find("//");
      if (slashes != std::string::npos) {
        std::string list = item.SelectedEntry.substr(slashes + 2);
        // "c =?" marks a value the user is asked for: never compiled.
        for (size_t at = list.find(" =?"); at != std::string::npos; at = list.find(" =?"))
          list.erase(at, 1);
        const char separator = StatementSeparatorChar();
        EquationLineNo = -99;
        while (!list.empty()) {
          size_t first = 0;
          while (first < list.size() && list[first] == ' ') ++first;
          list.erase(0, first);
          if (list.empty()) break;
          size_t cut = list.find(separator);
          if (separator == ':' && UpperCaseText(list.substr(0, 4)) == "CALL") cut = std::string::npos;
          std::string part = list.substr(0, cut);
          list = cut == std::string::npos ? std::string() : list.substr(cut + 1);
          if (part.find("=?") == std::string::npos) PendingStatements.push_back(part);
        }
      }
    }
    EquationLineNo = 0;
    v->Value = item.Value;
    v->Mark = 1;
    RegisterVariableUse(i, v->Name);
    RemoveFromVarOrder(i);
    v->UnknownPosition = kDeterminedVariable;
  }
}

void CheckRoutinesAfterReading() {
  StatementReaders& readers = Readers();
  if (readers.RoutineBodyOpen() || readers.ModuleBodyOpen() || ModuleNesting > 0 ||
      CompilingFunctionIndex > 0) {
    CalcErrorCode = kMsgMissingEnd;
    return;
  }
  readers.CheckRoutines();
}

void ReportStatementError() {
  Compiling().Hide();
  if (CalcErrorCode == kMsgUnbalancedModule) {
    if (UnbalancedUnit != nullptr) DebugProgramUnit = UnbalancedUnit;
    Windows().SelectEquationsText(CalcErrorStart, CalcErrorEnd + 1, EquationLineNo);
    std::string text;
    ProblemSizeMessage(DebugProgramUnit != nullptr ? DebugProgramUnit : CurrentProgramUnit, 0, text);
    text += GetMessageText(kMsgShowDebugQuestion);
    if (ShowAlert(text, kAlertErrorYesNo, true) == kResultYes) {
      BlockAllUnits();
      CheckOnlyStarted = true;
      SolveServices().ShowDebugWindow(DebugProgramUnit, 0);
    } else {
      ClearCompiledEquations();
    }
  } else {
    ShowEquationError(CalcErrorCode, CalcErrorStart, CalcErrorEnd + 1, EquationLineNo);
  }
  // The failed statement is compiled afresh next time.
  if (CurrentEquation != nullptr) CurrentEquation->Text.reset();
}

void FreePendingTextPieces() { DisposePendingTextPieces(); }

}  // namespace voq

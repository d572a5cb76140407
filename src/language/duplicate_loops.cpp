#include "language/duplicate_loops.h"

#include <climits>
#include <new>
#include <vector>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/program_flags.h"
#include "core/text_utils.h"
#include "language/conditionals.h"
#include "language/operands.h"
#include "language/reader_state.h"
#include "language/statement_compiler.h"
#include "language/statement_preparation.h"
#include "model/document_settings.h"
#include "model/store_state.h"
#include "platform/host.h"

namespace voq {

TDuplicateLoopRecord* DuplicateOutermost = nullptr;
TDuplicateLoopRecord* DuplicateCurrent = nullptr;
uint8_t DuplicateInnerClosed = 0;

namespace {

StatementFollowUp statementFollowUp = nullptr;

// A copy may not grow past this: the statement buffer holds 255 characters
// and the compiler adds its own.
constexpr size_t kMaxCopyLength = 252;
constexpr size_t kMaxBoundTextLength = 255;

void FreeBody(TDuplicateLoopRecord* loop) {
  while (loop->Body != nullptr) {
    TDuplicateBodyLine* next = loop->Body->Next;
    delete loop->Body;
    loop->Body = next;
  }
  loop->BodyTail = nullptr;
}

void FreeLoop(TDuplicateLoopRecord* loop) {
  while (loop != nullptr) {
    FreeBody(loop);
    TDuplicateLoopRecord* inner = loop->Inner;
    delete loop;
    loop = inner;
  }
}

bool AppendBodyLine(TDuplicateLoopRecord* loop, const std::string& text) {
  auto* line = new (std::nothrow) TDuplicateBodyLine;
  if (line == nullptr) {
    ReportOutOfMemory();
    return false;
  }
  line->Text = text;
  line->Start = CalcErrorStart;
  line->End = CalcErrorEnd;
  line->Line = EquationLineNo;
  if (loop->BodyTail == nullptr) {
    loop->Body = line;
  } else {
    loop->BodyTail->Next = line;
  }
  loop->BodyTail = line;
  return true;
}

bool IsEndStatement(const std::string& upper) {
  return upper.rfind("END", 0) == 0 && (upper.size() == 3 || upper[3] == ' ' || upper[3] == '{');
}

int32_t NestingDepth() {
  int32_t depth = 0;
  for (const TDuplicateLoopRecord* loop = DuplicateCurrent; loop != nullptr; loop = loop->Outer) ++depth;
  return depth;
}

// --- The DUPLICATE statement ------------------------------------------------------------

void ReadDuplicateStatement(const std::string& statement) {
  // A loop in a routine body is compiled into as many statements as it has
  // passes; a REPEAT loop runs instead.
  if (CompilingFunctionIndex > 0 && !LoadingLibrary && Preferences.ShowAdvice != 0) {
    ShowAlert(GetMessageText(kMsgDuplicateInRoutine), kAlertWarningOk, true);
  }
  SyncVariableNameCase(statement.substr(0, 9), "DUPLICATE", CalcErrorStart, kKeywordNameCase);
  std::string rest = statement.substr(9);
  RemoveBlanks(rest);
  const size_t equal = rest.find('=');
  const size_t separator = equal == std::string::npos ? equal : rest.find(ArgumentSeparator, equal + 1);
  const std::string indexName = equal == std::string::npos ? std::string() : rest.substr(0, equal);
  if (equal == std::string::npos || indexName.empty()) {
    SetMessageArg(1, std::string(1, ArgumentSeparator));
    CalcErrorCode = kMsgDuplicateSyntax;
    return;
  }
  CheckVariableName(indexName);
  if (CalcErrorCode > 0) return;
  const std::string upperIndex = UpperCaseText(indexName);
  if (IsDuplicateIndexName(upperIndex)) {
    SetMessageArg(1, indexName);
    SetMessageArg(2, indexName);
    SetMessageArg(3, "Duplicate statement");
    CalcErrorCode = kMsgDuplicateIndexInUse;
    return;
  }
  // One loop may hold one nested loop.
  if (DuplicateOutermost != nullptr && (DuplicateInnerClosed != 0 || NestingDepth() >= kMaxDuplicateNesting)) {
    SetCalcErrorWithHelp(kMsgNestedDuplicate, 102);
    return;
  }
  if (separator == std::string::npos) {
    SetMessageArg(1, std::string(1, ArgumentSeparator));
    CalcErrorCode = kMsgDuplicateSyntax;
    return;
  }

  auto* loop = new (std::nothrow) TDuplicateLoopRecord;
  if (loop == nullptr) {
    ReportOutOfMemory();
    return;
  }
  loop->IndexName = indexName;
  loop->FirstText = rest.substr(equal + 1, separator - equal - 1).substr(0, kMaxBoundTextLength);
  loop->LastText = rest.substr(separator + 1).substr(0, kMaxBoundTextLength);
  loop->Start = CalcErrorStart;
  loop->End = CalcErrorEnd;
  loop->Line = EquationLineNo;
  if (DuplicateOutermost != nullptr) {
    if (!AppendBodyLine(DuplicateCurrent, "DUPLICATE")) {
      delete loop;
      return;
    }
    loop->Outer = DuplicateCurrent;
    DuplicateCurrent->Inner = loop;
  } else {
    DuplicateOutermost = loop;
    DuplicateInnerClosed = 0;
  }
  DuplicateCurrent = loop;
}

// --- Expansion ----------------------------------------------------------------------------

// The text a loop value goes in as. A negative value outside a subscript is
// parenthesised, so that i^2 and 2*i read it as the number it is.
std::string ValueText(int32_t value, bool inSubscript) {
  if (value >= 0 || inSubscript) return std::to_string(value);
  return "(-" + std::to_string(-static_cast<int64_t>(value)) + ")";
}

// Every whole-word occurrence of name (any case) replaced by the value; true
// when there was one.
bool ReplaceIndexName(std::string& text, const std::string& name, int32_t value) {
  const std::string upperName = UpperCaseText(name);
  const std::string upperText = UpperCaseText(text);
  const size_t n = upperName.size();
  if (n == 0 || upperText.find(upperName) == std::string::npos) return false;
  std::string out;
  out.reserve(text.size() + 16);
  bool replaced = false;
  int32_t brackets = 0;
  for (size_t k = 0; k < text.size();) {
    const bool whole = upperText.compare(k, n, upperName) == 0 && (k == 0 || IsTokenSeparator(text[k - 1])) &&
                       (k + n == text.size() || IsTokenSeparator(text[k + n]));
    if (whole) {
      out += ValueText(value, brackets > 0);
      k += n;
      replaced = true;
      continue;
    }
    if (text[k] == '[') ++brackets;
    if (text[k] == ']' && brackets > 0) --brackets;
    out += text[k];
    ++k;
  }
  text = std::move(out);
  return replaced;
}

// The loops from the outermost to loop, which hold its body lines.
std::vector<TDuplicateLoopRecord*> EnclosingLoops(TDuplicateLoopRecord* loop) {
  std::vector<TDuplicateLoopRecord*> loops;
  for (TDuplicateLoopRecord* l = loop; l != nullptr; l = l->Outer) loops.insert(loops.begin(), l);
  return loops;
}

void SelectStatement(int32_t start, int32_t end, int32_t line) {
  CalcErrorStart = start;
  CalcErrorEnd = end;
  EquationLineNo = line;
}

bool Stopped() { return CalcErrorCode > 0 || AbortRequested; }

// The unsubstituted line compiled once more, only to describe the copies,
// and the loops around it. Nothing of that compile reaches the read.
void AttachDescription(TEquationRecord* e, const TDuplicateBodyLine& line,
                       const std::vector<TDuplicateLoopRecord*>& loops) {
  auto* description = new (std::nothrow) TDuplicateDescription;
  if (description == nullptr) {
    ReportOutOfMemory();
    return;
  }
  TDuplicateDescriptionLoop** tail = &description->Loops;
  for (const TDuplicateLoopRecord* loop : loops) {
    auto* record = new (std::nothrow) TDuplicateDescriptionLoop;
    if (record == nullptr) break;
    record->IndexName = loop->IndexName;
    record->FirstText = loop->FirstText;
    record->LastText = loop->LastText;
    record->Substituted = loop->Substituted;
    *tail = record;
    tail = &record->Next;
  }
  e->DuplicateDescription = description;

  const int32_t savedStart = CalcErrorStart;
  const int32_t savedEnd = CalcErrorEnd;
  const int32_t savedHelp = MessageHelpContext;
  const auto savedArgs = MessageArgs;
  TBranchPair* const savedPending = PendingIfNode;
  const bool savedHasElse = PendingIfHasElse;
  TEquationRecord* const savedCondition = LastIfCondition;
  TrialCompile = true;
  std::string text = line.Text;
  CompileEquation(text, kMaxStatementLength, TStatementPosition{line.Start, line.Line, line.End}, false);
  TrialCompile = false;
  if (CurrentEquation != e && CurrentEquation != nullptr) {
    description->Equation = CurrentEquation;
    description->Equation->Next = nullptr;
  }
  CurrentEquation = e;
  CalcErrorCode = 0;
  CalcErrorStart = savedStart;
  CalcErrorEnd = savedEnd;
  MessageHelpContext = savedHelp;
  MessageArgs = savedArgs;
  PendingIfNode = savedPending;
  PendingIfHasElse = savedHasElse;
  LastIfCondition = savedCondition;
}

void ExpandLine(TDuplicateLoopRecord* loop, const TDuplicateBodyLine& line) {
  const std::vector<TDuplicateLoopRecord*> loops = EnclosingLoops(loop);
  std::string text = line.Text;
  bool firstPass = true;
  for (TDuplicateLoopRecord* l : loops) {
    l->Substituted = ReplaceIndexName(text, l->IndexName, l->CurrentValue) ? 1 : 0;
    if (l->CurrentValue > l->FirstValue) firstPass = false;
  }
  SelectStatement(line.Start, line.End, line.Line);
  if (text.size() > kMaxCopyLength) {
    CalcErrorCode = kMsgStatementTooLong;
    return;
  }
  CompilingWindow& compiling = Compiling();
  if (compiling.Shown()) compiling.Update(line.Line);

  if (CompilingFunctionIndex > 0) {
    bool handled = false;
    RewriteIfThenElse(text, handled);
    if (Stopped()) return;
    if (handled) {
      if (!firstPass) {
        if (LastIfCondition != nullptr) LastIfCondition->DuplicateRepeat = 1;
        if (CurrentEquation != nullptr) CurrentEquation->DuplicateRepeat = 1;
      }
      return;
    }
  }

  const std::string copy = text;
  TEquationRecord* const before = CurrentEquation;
  CompileStatement(text, kMaxStatementLength, TStatementPosition{line.Start, line.Line, line.End});
  TEquationRecord* const compiled = CurrentEquation;
  if (compiled == nullptr || compiled == before) return;  // nothing to mark
  if (!Stopped() && statementFollowUp != nullptr) statementFollowUp(copy, compiled);
  if (Stopped()) return;
  // In complex mode the partner of the real part is the current equation.
  TEquationRecord* const last = CurrentEquation != nullptr ? CurrentEquation : compiled;
  compiled->DuplicateRepeat = 1;
  last->DuplicateRepeat = 1;
  DisposeDuplicateDescription(last);
  if (firstPass) AttachDescription(last, line, loops);
}

void ExpandLoop(TDuplicateLoopRecord* loop) {
  // The bounds may use the indexes of the enclosing loops.
  std::string firstText = loop->FirstText;
  std::string lastText = loop->LastText;
  for (TDuplicateLoopRecord* l = loop->Outer; l != nullptr; l = l->Outer) {
    ReplaceIndexName(firstText, l->IndexName, l->CurrentValue);
    ReplaceIndexName(lastText, l->IndexName, l->CurrentValue);
  }
  const int32_t first = EvalIndexExpression(firstText, "DUPLICATE");
  const int32_t last = CalcErrorCode > 0 ? 0 : EvalIndexExpression(lastText, "DUPLICATE");
  if (CalcErrorCode > 0) {
    SelectStatement(loop->Start, loop->End, loop->Line);
    return;
  }
  loop->FirstValue = first;
  for (int64_t i = first; i <= last; ++i) {
    loop->CurrentValue = static_cast<int32_t>(i);
    DuplicateCurrent = loop;
    for (const TDuplicateBodyLine* line = loop->Body; line != nullptr; line = line->Next) {
      if (line->Text == "DUPLICATE") {
        if (loop->Inner != nullptr) {
          ExpandLoop(loop->Inner);
          loop->Inner->CurrentValue = loop->Inner->FirstValue;
          DuplicateCurrent = loop;
        }
      } else {
        ExpandLine(loop, *line);
      }
      if (!Stopped()) CheckUserAbort();
      if (Stopped()) {
        // An abort selects the line it stopped at; an error already did.
        if (line->Text != "DUPLICATE") SelectStatement(line->Start, line->End, line->Line);
        return;
      }
    }
  }
}

// The outermost END: every loop expanded, then all of them freed.
void ExpandAndFree() {
  const int32_t savedStart = CalcErrorStart;
  const int32_t savedEnd = CalcErrorEnd;
  const int32_t savedLine = EquationLineNo;
  ExpandLoop(DuplicateOutermost);
  if (!Stopped()) SelectStatement(savedStart, savedEnd, savedLine);
  ClearDuplicateRead();
}

}  // namespace

bool ProcessDuplicate(std::string& statement) {
  TrimShort(statement, INT32_MAX);
  const std::string upper = UpperCaseText(statement);
  if (upper.rfind("DUPLICATE", 0) == 0 && (upper.size() == 9 || upper[9] == ' ')) {
    ReadDuplicateStatement(statement);
    return true;
  }
  if (DuplicateOutermost == nullptr) return false;
  if (IsEndStatement(upper)) {
    SyncVariableNameCase(statement.substr(0, 3), "END", CalcErrorStart, kKeywordNameCase);
    DuplicateInnerClosed = 1;
    TDuplicateLoopRecord* ended = DuplicateCurrent;
    DuplicateCurrent = ended != nullptr ? ended->Outer : nullptr;
    if (DuplicateCurrent == nullptr) ExpandAndFree();
    return true;
  }
  AppendBodyLine(DuplicateCurrent, statement);
  return true;
}

bool DuplicateLoopOpen() { return DuplicateOutermost != nullptr; }

bool IsDuplicateIndexName(const std::string& upperName) {
  for (const TDuplicateLoopRecord* loop = DuplicateCurrent; loop != nullptr; loop = loop->Outer) {
    if (UpperCaseName(loop->IndexName) == upperName) return true;
  }
  return false;
}

std::string DuplicateIndexOfSeries(const std::string& upperName) {
  for (const TDuplicateLoopRecord* loop = DuplicateCurrent; loop != nullptr; loop = loop->Outer) {
    if (UpperCaseName(loop->IndexName) == upperName) return loop->IndexName;
    // The copy's text already holds the value where the index stood, the
    // series index too: SUM(x[i], i=1,3) reads SUM(x[2], 2=1,3), which
    // would otherwise sum over every "2" of the term.
    if (loop->Substituted != 0 && ValueText(loop->CurrentValue, false) == upperName) return loop->IndexName;
  }
  return "";
}

void ClearDuplicateRead() {
  FreeLoop(DuplicateOutermost);
  DuplicateOutermost = nullptr;
  DuplicateCurrent = nullptr;
  DuplicateInnerClosed = 0;
}

void ResetDuplicateState() {
  ClearDuplicateRead();
  statementFollowUp = nullptr;
}

void SetStatementFollowUp(StatementFollowUp followUp) { statementFollowUp = followUp; }

}  // namespace voq

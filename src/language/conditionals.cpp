#include "language/conditionals.h"

#include <climits>
#include <new>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/text_utils.h"
#include "language/reader_state.h"
#include "language/statement_compiler.h"
#include "model/compiled_code.h"
#include "model/program_units.h"
#include "model/store_state.h"

namespace voq {

TIfBlockNode* IfBlockStack = nullptr;
int32_t IfBlockCounter = 0;
std::vector<int32_t> RepeatStack;
int32_t RepeatCounter = 0;
bool InternalLabels = false;
TBranchPair* PendingIfNode = nullptr;
bool PendingIfHasElse = false;
TEquationRecord* LastIfCondition = nullptr;

namespace {

std::vector<std::string>* generatedRecorder = nullptr;
bool compileGenerated = true;
// A REPEAT turned its statement into a label: InternalLabels stays set until
// the label split has compiled that label, then returns to what it was.
bool repeatLabelPending = false;
bool internalLabelsBeforeRepeat = false;

constexpr char kCompareByte = static_cast<char>(OpCompare);

std::string Trimmed(std::string text) {
  TrimShort(text, INT32_MAX);
  return text;
}

bool StartsWith(const std::string& upper, const char* keyword) { return upper.rfind(keyword, 0) == 0; }

// keyword at the start of upper, followed by a blank or "(".
bool KeywordWithCondition(const std::string& upper, const std::string& keyword) {
  const size_t n = keyword.size();
  return upper.size() > n && upper.compare(0, n, keyword) == 0 && (upper[n] == ' ' || upper[n] == '(');
}

std::string LabelText(int32_t label) { return std::to_string(label) + ":"; }

// Where the reader stands: generated statements select the statement they
// came from.
TStatementPosition ReaderPosition() { return TStatementPosition{CalcErrorStart, EquationLineNo, CalcErrorEnd}; }

void CompileGenerated(std::string text) {
  if (generatedRecorder != nullptr) generatedRecorder->push_back(text);
  if (!compileGenerated) return;
  CompileStatement(text, kMaxStatementLength, ReaderPosition());
}

bool Failed() { return CalcErrorCode > 0; }

void PopIfBlock() {
  TIfBlockNode* top = IfBlockStack;
  if (top == nullptr) return;
  IfBlockStack = top->Next;
  delete top;
}

void FreeIfBlockStack() {
  while (IfBlockStack != nullptr) PopIfBlock();
}

bool BalancedParentheses(const std::string& text) {
  int32_t depth = 0;
  for (char c : text) {
    if (c == '(') ++depth;
    if (c == ')' && --depth < 0) return false;
  }
  return depth == 0;
}

// The blank of the first " THEN" followed by a blank, "{" or the end.
size_t FindBlockThen(const std::string& upper) {
  for (size_t at = upper.find(" THEN"); at != std::string::npos; at = upper.find(" THEN", at + 1)) {
    const size_t after = at + 5;
    if (after == upper.size() || upper[after] == ' ' || upper[after] == '{') return at;
  }
  return std::string::npos;
}

// The THEN of an IF statement: preceded by a blank or ")", followed by a
// blank or the end, after the keyword.
size_t FindIfThen(const std::string& upper, size_t from) {
  for (size_t at = upper.find("THEN", from); at != std::string::npos; at = upper.find("THEN", at + 1)) {
    const bool before = at > 0 && (upper[at - 1] == ' ' || upper[at - 1] == ')');
    const bool after = at + 4 == upper.size() || upper[at + 4] == ' ';
    if (before && after) return at;
  }
  return std::string::npos;
}

bool InsideQuotes(const std::string& text, size_t at) {
  bool inside = false;
  for (size_t k = 0; k < at && k < text.size(); ++k) {
    if (text[k] == '\'') inside = !inside;
  }
  return inside;
}

// ELSE as a word of its own outside quoted texts.
size_t FindElse(const std::string& upper) {
  for (size_t at = upper.find("ELSE"); at != std::string::npos; at = upper.find("ELSE", at + 1)) {
    const bool before = at == 0 || upper[at - 1] == ' ';
    const bool after = at + 4 == upper.size() || upper[at + 4] == ' ';
    if (before && after && !InsideQuotes(upper, at)) return at;
  }
  return std::string::npos;
}

// The labels of the top block: where its ELSE part starts, where it ends.
int32_t ElseLabel(const TIfBlockNode& node) { return kFirstIfBlockLabel + 2 * node.Block; }
int32_t EndLabel(const TIfBlockNode& node) { return kFirstIfBlockLabel + 1 + 2 * node.Block; }

// Compiles text as one equation; true when it made a new equation record.
bool CompileOne(std::string text, int32_t maxLength, const TStatementPosition& position, bool fromRewrite) {
  TEquationRecord* before = CurrentEquation;
  CompileEquation(text, maxLength, position, fromRewrite);
  return !Failed() && CurrentEquation != nullptr && CurrentEquation != before;
}

void SyncKeyword(const std::string& statement, size_t at, const char* keyword, const TStatementPosition& position) {
  const size_t n = std::char_traits<char>::length(keyword);
  if (position.Start < 0 || at + n > statement.size()) return;
  SyncVariableNameCase(statement.substr(at, n), keyword, position.Start + static_cast<int32_t>(at), kKeywordNameCase);
}

}  // namespace

// --- The block IF ------------------------------------------------------------------------

void RewriteIfThenElse(std::string& statement, bool& handled) {
  handled = false;
  TrimShort(statement, INT32_MAX);
  InternalLabels = true;
  std::string upper = UpperCaseText(statement);
  bool headWithStatement = false;

  // An IF head opens a block: the condition, negated, jumps past the THEN part.
  if (KeywordWithCondition(upper, "IF")) {
    if (!BalancedParentheses(statement)) {
      CalcErrorCode = kMsgUnmatchedParentheses;
      InternalLabels = false;
      return;
    }
    IfBlockCounter += 1;
    auto* node = new (std::nothrow) TIfBlockNode;
    if (node == nullptr) {
      ReportOutOfMemory();
      InternalLabels = false;
      return;
    }
    node->Block = IfBlockCounter;
    node->Next = IfBlockStack;
    IfBlockStack = node;
    const size_t then = FindBlockThen(upper);
    if (then == std::string::npos) {
      CalcErrorCode = kMsgMissingThen;
      InternalLabels = false;
      return;
    }
    std::string head = statement.substr(0, then + 5);
    head.insert(2, "NOT");
    CompileGenerated(head + " GOTO " + std::to_string(ElseLabel(*node)));
    statement = then + 5 < statement.size() ? Trimmed(statement.substr(then + 5)) : std::string();
    if (Failed()) {
      InternalLabels = false;
      return;
    }
    upper = UpperCaseText(statement);
    headWithStatement = !statement.empty();
  }

  bool consumed = false;
  const size_t elseAt = IfBlockStack != nullptr ? FindElse(upper) : std::string::npos;
  if (elseAt != std::string::npos) {
    // The THEN part jumps over the ELSE part, which begins with its label.
    TIfBlockNode& top = *IfBlockStack;
    top.ElseSeen = 1;
    const std::string before = Trimmed(statement.substr(0, elseAt));
    const std::string after = Trimmed(statement.substr(elseAt + 4));
    if (!before.empty()) CompileGenerated(before);
    if (!Failed()) CompileGenerated("GOTO " + std::to_string(EndLabel(top)));
    if (!Failed()) CompileGenerated(LabelText(ElseLabel(top)));
    if (!Failed() && !after.empty()) {
      // A statement after ELSE on the same line closes the block.
      CompileGenerated(after);
      if (!Failed()) CompileGenerated(LabelText(EndLabel(top)));
      if (!Failed()) PopIfBlock();
    }
    consumed = true;
  } else if (headWithStatement) {
    // A one-line IF without ELSE needs no ENDIF.
    CompileGenerated(statement);
    if (!Failed()) CompileGenerated(LabelText(ElseLabel(*IfBlockStack)));
    if (!Failed()) PopIfBlock();
    consumed = true;
  } else if (StartsWith(upper, "ENDIF") && (upper.size() == 5 || upper[5] == ' ')) {
    if (IfBlockStack == nullptr) {
      CalcErrorCode = kMsgIfNesting;
      InternalLabels = false;
      return;
    }
    const TIfBlockNode& top = *IfBlockStack;
    CompileGenerated(LabelText(top.ElseSeen ? EndLabel(top) : ElseLabel(top)));
    if (!Failed()) PopIfBlock();
    // A statement written after ENDIF is read as a statement of its own.
    statement = Trimmed(statement.substr(5));
  }
  if (consumed) statement.clear();
  InternalLabels = false;
  handled = statement.empty();
}

// --- REPEAT / UNTIL and labels ---------------------------------------------------------

void CompileRepeatUntil(std::string& statement) {
  const std::string upper = UpperCaseText(statement.substr(0, 6));
  if (upper == "REPEAT" && (statement.size() == 6 || statement[6] == ' ')) {
    RepeatCounter += 1;
    RepeatStack.push_back(RepeatCounter);
    // A statement written on the REPEAT line is the first of the loop.
    const std::string rest = Trimmed(statement.substr(6));
    statement = LabelText(kFirstRepeatLabel + RepeatCounter) + (rest.empty() ? "" : " " + rest);
    if (!repeatLabelPending) internalLabelsBeforeRepeat = InternalLabels;
    InternalLabels = true;
    repeatLabelPending = true;
    return;
  }
  if (KeywordWithCondition(upper, "UNTIL")) {
    if (RepeatStack.empty()) {
      SetCalcErrorWithHelp(kMsgUnbalancedRepeat, 177);
      return;
    }
    const int32_t n = RepeatStack.back();
    RepeatStack.pop_back();
    // The loop runs again while the condition is false.
    statement = "IFNOT " + Trimmed(statement.substr(5)) + " THEN GOTO " + std::to_string(kFirstRepeatLabel + n);
  }
}

void CompileLabelPrefix(std::string& statement, int32_t maxLength, const TStatementPosition& position) {
  const size_t colon = statement.find(':');
  bool digits = false;
  bool labelOnly = colon != std::string::npos;
  for (size_t k = 0; labelOnly && k < colon; ++k) {
    const char c = statement[k];
    if (c >= '0' && c <= '9') {
      digits = true;
    } else if (c != ' ') {
      labelOnly = false;
    }
  }
  if (labelOnly && digits) {
    const std::string label = statement.substr(0, colon + 1);
    statement = Trimmed(statement.substr(colon + 1));
    if (compileGenerated && CompileOne(label, maxLength, position, false)) LinkPendingStatement(PendingIfNode);
  }
  if (repeatLabelPending) {
    InternalLabels = internalLabelsBeforeRepeat;
    repeatLabelPending = false;
  }
}

// --- The IF statement ----------------------------------------------------------------------

void CompileIfStatement(std::string& statement, int32_t maxLength, const TStatementPosition& position) {
  if (statement.empty()) return;
  const std::string upper = UpperCaseText(statement);
  size_t keyword = 0;
  const bool negated = KeywordWithCondition(upper, "IFNOT");
  if (negated) {
    keyword = 5;
  } else if (KeywordWithCondition(upper, "IF")) {
    keyword = 2;
  }
  if (keyword == 0) {
    if (CompileOne(statement, maxLength, position, false)) LinkPendingStatement(PendingIfNode);
    return;
  }

  const size_t then = FindIfThen(upper, keyword);
  if (then == std::string::npos) {
    CalcErrorCode = kMsgMissingThen;
    return;
  }
  std::string condition = RewriteCondition(statement.substr(keyword, then - keyword), negated);
  if (Failed()) return;
  std::string thenPart = then + 5 < statement.size() ? statement.substr(then + 5) : std::string();
  std::string elsePart;
  const size_t elseAt = UpperCaseText(thenPart).find(" ELSE ");
  const bool hasElse = elseAt != std::string::npos;
  if (hasElse) {
    elsePart = thenPart.substr(elseAt + 6);
    thenPart.resize(elseAt);
  }

  if (!CompileOne(condition, maxLength, position, true)) {
    if (!Failed()) CalcErrorCode = kMsgIfThenElseSyntax;
    return;
  }
  TEquationRecord* conditionEquation = CurrentEquation;
  LastIfCondition = conditionEquation;
  // The IF before this one continues here.
  LinkPendingStatement(PendingIfNode);
  auto* node = new (std::nothrow) TBranchPair;
  if (node == nullptr) {
    ReportOutOfMemory();
    return;
  }
  delete conditionEquation->BranchPair;
  conditionEquation->BranchPair = node;
  PendingIfNode = node;
  PendingIfHasElse = hasElse;

  SyncKeyword(statement, 0, "IF", position);
  SyncKeyword(statement, then, "THEN", position);
  if (hasElse) SyncKeyword(statement, then + 5 + elseAt + 1, "ELSE", position);

  // Without a statement to go to the IF could not continue.
  if (!CompileOne(thenPart, maxLength, position, false)) {
    if (!Failed()) CalcErrorCode = kMsgIfThenElseSyntax;
    return;
  }
  node->Then = CurrentEquation;
  if (hasElse) {
    if (!CompileOne(elsePart, maxLength, position, false)) {
      if (!Failed()) CalcErrorCode = kMsgIfThenElseSyntax;
      return;
    }
    node->Else = CurrentEquation;
  }
  // The THEN statement's successor is the statement after the IF.
  node->Then->Next = nullptr;
}

void LinkPendingStatement(TBranchPair*& node) {
  if (node != nullptr && CalcErrorCode <= 0 && CurrentEquation != nullptr) {
    if (!PendingIfHasElse) node->Else = CurrentEquation;
    if (node->Then != nullptr && node->Then != CurrentEquation) node->Then->Next = CurrentEquation;
  }
  node = nullptr;
}

// --- Conditions -------------------------------------------------------------------------------

namespace {

struct TComparison {
  const char* Text;
  int32_t PlainCode;
  int32_t NegatedCode;
  bool Logical;  // AND, OR: found in the upper-cased text, combine two terms
};

// In the order they are looked for: two-character comparisons before their
// one-character prefixes, the logical operators last.
constexpr TComparison kComparisons[] = {
    {"<=", 3, 2, false}, {">=", 4, 1, false}, {"<>", 6, 5, false}, {"<", 1, 4, false},
    {">", 2, 3, false},  {"=", 5, 6, false},  {" AND ", 7, 8, true}, {" OR ", 8, 7, true},
};

void ReplaceEvery(std::string& text, const std::string& find, const std::string& replacement) {
  for (size_t at = text.find(find); at != std::string::npos; at = text.find(find, at + replacement.size())) {
    text.replace(at, find.size(), replacement);
  }
}

// Every byte 199 opens a group of exactly three arguments: the code and the
// two operands.
bool WellFormedComparisons(const std::string& s) {
  for (size_t at = s.find(kCompareByte); at != std::string::npos; at = s.find(kCompareByte, at + 1)) {
    if (at + 1 >= s.size() || s[at + 1] != '(') return false;
    int32_t depth = 0;
    int32_t brackets = 0;
    int32_t arguments = 1;
    size_t q = at + 1;
    for (; q < s.size(); ++q) {
      const char c = s[q];
      if (c == '(') {
        ++depth;
      } else if (c == ')') {
        if (--depth == 0) break;
      } else if (c == '[') {
        ++brackets;
      } else if (c == ']') {
        --brackets;
      } else if (c == ArgumentSeparator && depth == 1 && brackets == 0) {
        ++arguments;
      }
    }
    if (q == s.size() || arguments != 3) return false;
  }
  return true;
}

}  // namespace

std::string RewriteCondition(const std::string& condition, bool negated) {
  std::string s = "(" + condition;
  if (condition.find_first_of("=<>") == std::string::npos) s += "=1";
  s += ")";
  ReplaceEvery(s, "=<", "<=");
  ReplaceEvery(s, "=>", ">=");
  const std::string separator(1, ArgumentSeparator);

  // Every pass takes one operator out of the text, so the passes are bounded
  // by its length.
  for (size_t pass = 0; pass <= condition.size() + 2; ++pass) {
    const TComparison* found = nullptr;
    size_t p = std::string::npos;
    const std::string upper = UpperCaseText(s);
    for (const TComparison& c : kComparisons) {
      p = (c.Logical ? upper : s).find(c.Text);
      if (p != std::string::npos) {
        found = &c;
        break;
      }
    }
    if (found == nullptr) break;

    const size_t length = std::char_traits<char>::length(found->Text);
    if (found->Logical) {
      s.replace(p, length, separator + " ");
      // The right operand ends at the ")" that closes the first group opened
      // after the operator, or at the end of the text.
      size_t close = s.size();
      int32_t depth = 0;
      for (size_t q = p + 1; q < s.size(); ++q) {
        if (s[q] == '(') {
          ++depth;
        } else if (s[q] == ')' && depth > 0 && --depth == 0) {
          close = q + 1;
          break;
        }
      }
      s.insert(close, ")");
    } else {
      if (length == 2) s[p + 1] = ' ';
      s[p] = ArgumentSeparator;
    }

    // The left operand starts after the first unmatched "(" to the left.
    size_t open = std::string::npos;
    int32_t depth = 0;
    for (size_t q = p; q-- > 0;) {
      if (s[q] == ')') {
        ++depth;
      } else if (s[q] == '(') {
        if (depth == 0) {
          open = q;
          break;
        }
        --depth;
      }
    }
    if (open == std::string::npos) {
      SetCalcErrorWithHelp(kMsgIfOperator, 176);
      return std::string();
    }
    const int32_t code = negated ? found->NegatedCode : found->PlainCode;
    s.insert(open + 1, std::to_string(code) + separator);
    s.insert(open, 1, kCompareByte);
    if (found->Logical) s.insert(open, "(");
  }
  // Comparisons combined without their own parentheses leave operators with
  // the wrong operands (199 after 199, or more than three arguments), which
  // would only fail when the routine runs.
  if (!WellFormedComparisons(s)) {
    SetCalcErrorWithHelp(kMsgIfOperator, 176);
    return std::string();
  }
  s += "=0";
  return s;
}

// --- State ----------------------------------------------------------------------------------------

void ResetRoutineConditionals() {
  FreeIfBlockStack();
  IfBlockCounter = 0;
  RepeatStack.clear();
  RepeatCounter = 0;
}

bool CloseRoutineConditionals() {
  PendingIfNode = nullptr;
  PendingIfHasElse = false;
  const bool ifOpen = IfBlockStack != nullptr;
  const bool repeatOpen = !RepeatStack.empty();
  FreeIfBlockStack();
  RepeatStack.clear();
  if (CalcErrorCode <= 0) {
    if (ifOpen) {
      CalcErrorCode = kMsgMissingEndIf;
    } else if (repeatOpen) {
      SetCalcErrorWithHelp(kMsgUnbalancedRepeat, 177);
    }
  }
  return ifOpen || repeatOpen;
}

void ClearConditionalsRead() {
  ResetRoutineConditionals();
  InternalLabels = false;
  PendingIfNode = nullptr;
  PendingIfHasElse = false;
  LastIfCondition = nullptr;
  repeatLabelPending = false;
  internalLabelsBeforeRepeat = false;
}

void ResetConditionalsState() {
  ClearConditionalsRead();
  generatedRecorder = nullptr;
  compileGenerated = true;
}

void SetGeneratedStatementRecorder(std::vector<std::string>* recorder, bool compile) {
  generatedRecorder = recorder;
  compileGenerated = compile || recorder == nullptr;
}

}  // namespace voq

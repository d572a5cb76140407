#pragma once
// IF/THEN/ELSE (one-line and block forms), REPEAT/UNTIL and statement labels
// in routine bodies: the block IF and REPEAT become labelled statements and
// GOTOs, an IF statement compiles its condition into a branch pair.
//
// Labels the rewriting generates: block IF number k of a routine uses
// 30001 + 2k (start of its ELSE part, or its end without ELSE) and
// 30002 + 2k (its end after an ELSE); REPEAT number n uses 32000 + n.
#include <cstdint>
#include <string>
#include <vector>

#include "language/operands.h"
#include "model/equation_parts.h"

namespace voq {

// An open block IF of the routine being read.
struct TIfBlockNode {
  int32_t Block = 0;
  uint8_t ElseSeen = 0;
  TIfBlockNode* Next = nullptr;
};
extern TIfBlockNode* IfBlockStack;
extern int32_t IfBlockCounter;
extern std::vector<int32_t> RepeatStack;
extern int32_t RepeatCounter;
// Set while the block IF and REPEAT rewriting compile their own labels,
// which lie outside the range a user may write.
extern bool InternalLabels;
// The branch pair of the last IF statement whose following statement is not
// yet known (owned by the condition's equation record).
extern TBranchPair* PendingIfNode;
extern bool PendingIfHasElse;
// The condition equation of the last IF statement compiled (the DUPLICATE
// expansion marks it as a repeat).
extern TEquationRecord* LastIfCondition;

inline constexpr int32_t kFirstIfBlockLabel = 30001;
inline constexpr int32_t kFirstRepeatLabel = 32000;

// The block form of IF in a body; handled when the statement was consumed.
// What is left in statement (handled false) is an ordinary statement.
void RewriteIfThenElse(std::string& statement, bool& handled);
// REPEAT becomes its label statement (a statement written after REPEAT
// stays after the label), UNTIL its conditional GOTO (in place). Error 80 for
// an UNTIL without an open REPEAT.
void CompileRepeatUntil(std::string& statement);
// A leading "n:" label is compiled alone; the rest stays in statement.
void CompileLabelPrefix(std::string& statement, int32_t maxLength, const TStatementPosition& position);
// An IF (or IFNOT) statement, or else the plain equation; an empty statement
// compiles nothing.
void CompileIfStatement(std::string& statement, int32_t maxLength, const TStatementPosition& position);
// The statement just compiled (CurrentEquation) follows the pending IF; node
// becomes null.
void LinkPendingStatement(TBranchPair*& node);
// The condition as the expression opcode 199 reads: each comparison
// a op b becomes 199(code, a, b), AND and OR combine such terms, and the
// whole is compared with 0 (error 89 for a comparison outside parentheses).
std::string RewriteCondition(const std::string& condition, bool negated);
// A routine, MODULE or SUBPROGRAM header: IF and REPEAT state of the
// previous routine dropped.
void ResetRoutineConditionals();
// A routine's END (after its closing label was compiled): the pending IF is
// dropped and the block IF and REPEAT state cleared. True when a block IF or
// a REPEAT was left open; the error is then set here: 90 for an open block
// IF, 80 for a REPEAT without its UNTIL.
bool CloseRoutineConditionals();
// Start of a read.
void ClearConditionalsRead();
void ResetConditionalsState();
// Tests: every statement text the block IF rewriting hands on is recorded
// in order while a recorder is set. With compile false those statements, and
// the labels the label split takes off, are not compiled.
void SetGeneratedStatementRecorder(std::vector<std::string>* recorder, bool compile = true);

}  // namespace voq

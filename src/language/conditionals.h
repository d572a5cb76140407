#pragma once
// IF/THEN/ELSE (one-line and block forms), REPEAT/UNTIL and statement labels
// in routine bodies: the block IF and REPEAT become labelled statements and
// GOTOs, an IF statement compiles its condition into a branch pair.
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

// The block form of IF in a body; handled when the statement was consumed.
void RewriteIfThenElse(std::string& statement, bool& handled);
// REPEAT becomes its label statement, UNTIL its conditional GOTO (in place).
void CompileRepeatUntil(std::string& statement);
// A leading "n:" label is compiled alone; the rest stays in statement.
void CompileLabelPrefix(std::string& statement, int32_t maxLength, const TStatementPosition& position);
// An IF (or IFNOT) statement, or else the plain equation.
void CompileIfStatement(std::string& statement, int32_t maxLength, const TStatementPosition& position);
// The statement just compiled follows the pending IF; node becomes null.
void LinkPendingStatement(TBranchPair*& node);
// The condition as the expression opcode 199 reads (error 89).
std::string RewriteCondition(const std::string& condition, bool negated);
// A routine header: IF and REPEAT state of the previous routine dropped.
void ResetRoutineConditionals();
// A routine's END: the pending IF dropped; true when a block IF or a REPEAT
// was left open.
bool CloseRoutineConditionals();
// Start of a read.
void ClearConditionalsRead();
void ResetConditionalsState();
// Tests: every generated statement text is recorded while a recorder is set.
void SetGeneratedStatementRecorder(std::vector<std::string>* recorder);

}  // namespace voq

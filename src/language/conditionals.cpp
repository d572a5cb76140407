#include "language/conditionals.h"

#include "language/statement_compiler.h"

namespace voq {

TIfBlockNode* IfBlockStack = nullptr;
int32_t IfBlockCounter = 0;
std::vector<int32_t> RepeatStack;
int32_t RepeatCounter = 0;
bool InternalLabels = false;
TBranchPair* PendingIfNode = nullptr;
bool PendingIfHasElse = false;

namespace {

std::vector<std::string>* generatedRecorder = nullptr;

void FreeIfBlockStack() {
  while (IfBlockStack != nullptr) {
    TIfBlockNode* next = IfBlockStack->Next;
    delete IfBlockStack;
    IfBlockStack = next;
  }
}

}  // namespace

void RewriteIfThenElse(std::string& /*statement*/, bool& /*handled*/) {}

void CompileRepeatUntil(std::string& /*statement*/) {}

void CompileLabelPrefix(std::string& /*statement*/, int32_t /*maxLength*/, const TStatementPosition& /*position*/) {}

// Without IF statements every body statement is a plain equation.
void CompileIfStatement(std::string& statement, int32_t maxLength, const TStatementPosition& position) {
  CompileEquation(statement, maxLength, position, false);
}

void LinkPendingStatement(TBranchPair*& /*node*/) {}

std::string RewriteCondition(const std::string& /*condition*/, bool /*negated*/) { return {}; }

void ResetRoutineConditionals() {
  FreeIfBlockStack();
  IfBlockCounter = 0;
  RepeatStack.clear();
  RepeatCounter = 0;
}

bool CloseRoutineConditionals() {
  PendingIfNode = nullptr;
  return false;
}

void ClearConditionalsRead() {
  ResetRoutineConditionals();
  InternalLabels = false;
  PendingIfNode = nullptr;
  PendingIfHasElse = false;
}

void ResetConditionalsState() {
  ClearConditionalsRead();
  generatedRecorder = nullptr;
}

void SetGeneratedStatementRecorder(std::vector<std::string>* recorder) { generatedRecorder = recorder; }

}  // namespace voq

#include "language/duplicate_loops.h"

namespace voq {

TDuplicateLoopRecord* DuplicateOutermost = nullptr;
TDuplicateLoopRecord* DuplicateCurrent = nullptr;
uint8_t DuplicateInnerClosed = 0;

namespace {

StatementFollowUp statementFollowUp = nullptr;

void FreeLoop(TDuplicateLoopRecord* loop) {
  while (loop != nullptr) {
    while (loop->Body != nullptr) {
      TDuplicateBodyLine* next = loop->Body->Next;
      delete loop->Body;
      loop->Body = next;
    }
    TDuplicateLoopRecord* inner = loop->Inner;
    delete loop;
    loop = inner;
  }
}

}  // namespace

bool ProcessDuplicate(std::string& /*statement*/) { return false; }

bool DuplicateLoopOpen() { return DuplicateOutermost != nullptr; }

bool IsDuplicateIndexName(const std::string& upperName) {
  for (const TDuplicateLoopRecord* loop = DuplicateCurrent; loop != nullptr; loop = loop->Outer) {
    if (UpperCaseName(loop->IndexName) == upperName) return true;
  }
  return false;
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

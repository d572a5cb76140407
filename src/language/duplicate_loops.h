#pragma once
// DUPLICATE loops: the statements of a loop are recorded until its END and
// then compiled once per index value, the index substituted.
//
// Every copy is marked DuplicateRepeat; the copy of each body line made on
// the first pass (every loop at its first value) carries a
// DuplicateDescription: the line compiled unsubstituted (a trial compile)
// and the loops around it, which the Formatted Equations window shows.
#include <cstdint>
#include <string>

#include "model/program_units.h"

namespace voq {

// One statement recorded inside a loop; a nested loop stands as the line
// "DUPLICATE".
struct TDuplicateBodyLine {
  std::string Text;
  int32_t Start = 0;
  int32_t End = 0;
  int32_t Line = 0;
  TDuplicateBodyLine* Next = nullptr;
};

// One DUPLICATE loop being read.
struct TDuplicateLoopRecord {
  TDuplicateLoopRecord* Outer = nullptr;
  TDuplicateLoopRecord* Inner = nullptr;
  int32_t CurrentValue = -999;
  int32_t FirstValue = -999;
  std::string FirstText;  // up to 255 characters
  std::string LastText;
  std::string IndexName;  // up to 30
  TDuplicateBodyLine* Body = nullptr;
  TDuplicateBodyLine* BodyTail = nullptr;  // the last line, where the next one goes
  int32_t Start = 0;
  int32_t End = 0;
  int32_t Line = 0;
  uint8_t Substituted = 0;
};
extern TDuplicateLoopRecord* DuplicateOutermost;
extern TDuplicateLoopRecord* DuplicateCurrent;
extern uint8_t DuplicateInnerClosed;

// Loops nested deeper than this are refused (error 219) rather than expanded
// by an ever deeper recursion.
inline constexpr int32_t kMaxDuplicateNesting = 100;

// A DUPLICATE statement, its END, or a statement inside an open loop; true
// when taken. The outermost END expands the loops and frees them. Errors:
// 219 a second loop nested in one loop (or nesting beyond
// kMaxDuplicateNesting), 221 no "=" or no separator, 224 the index of an
// enclosing loop, 227 a bound that is no integer expression, 340 a copy
// longer than 252 characters; the error selects the DUPLICATE statement or
// the body line that failed.
bool ProcessDuplicate(std::string& statement);
bool DuplicateLoopOpen();
// The name is the index of an open loop.
bool IsDuplicateIndexName(const std::string& upperName);
// The index name of the open loop a SUM or PRODUCT index (upper-cased) would
// clash with: the loop's own name, or, in a copy being expanded, the text the
// loop's value was written in for it. Empty when there is none.
std::string DuplicateIndexOfSeries(const std::string& upperName);
void ClearDuplicateRead();
void ResetDuplicateState();
// What the compile driver does after a statement it compiled (the immediate
// solve, the complex partner); the expansion calls it for every copy.
using StatementFollowUp = void (*)(const std::string& copy, TEquationRecord* compiled);
void SetStatementFollowUp(StatementFollowUp followUp);  // nullptr: nothing

}  // namespace voq

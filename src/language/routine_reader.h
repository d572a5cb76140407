#pragma once
// FUNCTION and PROCEDURE headers and their END, the parameters they declare,
// the argument lists that headers and calls share, the routine checks after
// a read, and the locals the operand compiler asks for while a body is
// compiled (the RoutineLocals seam of operands.h).
#include <cstdint>
#include <deque>
#include <string>

#include "model/equation_parts.h"

namespace voq {

class RoutineLocals;
struct TEquationRecord;

// A FUNCTION header or the END of a routine body; handled when it was one.
void ProcessFunctionStatement(std::string& statement, bool& handled);
// A PROCEDURE header, read as a FUNCTION header with its outputs counted.
void ProcessProcedureStatement(std::string& statement, bool& handled);
// The header reader both share; works on the caller's statement.
void ParseRoutineHeader(std::string& statement);
// The slot of the routine with this upper-case name, kept (isNew false) when
// its header text equals header and it is not a library routine; otherwise
// the old record is disposed and its slot, or a new slot, is handed out for a
// new record (isNew true). 0 with error 40 when all slots are in use.
int32_t FindOrAllocateRoutineSlot(const std::string& upperName, const std::string& header, bool& isNew);
// Error 387 with the name when a routine may not take it (built-in,
// property or external routine, library MODULE/SUBPROGRAM; with
// alsoRoutines a FUNCTION or PROCEDURE too).
void CheckRoutineNameClash(const std::string& name, bool alsoRoutines);
// A new list (codes for 50 arguments reserved) in front of the chain;
// nullptr with error 229 when it cannot be allocated.
TArgumentListRecord* NewArgumentList(int32_t kind, const std::string& name,
                                     TArgumentListRecord*& chainHead);
// Takes the next argument off the front of a parameter or argument list.
// pending: element names of a range still to hand out; they come first, with
// code -1. argumentText: the rest of the list, ".." written as byte 255; an
// argument ends at a separator outside parentheses and brackets, at a ":"
// outside brackets or at the closing ")", which are consumed with it. A
// range X[lo..hi] (several ranged subscripts in row order) hands out its
// first element with the code of the range text and keeps the others
// pending; hi < lo gives that code with an empty name. A plain argument has
// code 0. Errors: 14 for a range without its closing "]" or separator or
// with a bound that is not an index expression, 49 beyond kMaxRangeElements
// elements.
void ExpandArrayRangeList(std::deque<std::string>& pending, std::string& name,
                          std::string& argumentText, int32_t& code);
// End of a read with a body still open (an error, or a missing END): the
// body's previous statements that nothing took over are freed and the main
// program's retained statements offered again. Called before those go.
void CloseAbandonedRoutineBody();
// A MODULE or SUBPROGRAM body offers its own previous equations in place of
// the main program's retained ones, as a routine body does; its END closes
// the offer (CloseAbandonedRoutineBody closes a body left open).
void OpenUnitBodyReuse(TEquationRecord* previousEquations);
void CloseUnitBodyReuse();
// The engine reset: no body is open.
void ResetRoutineReaderState();
// The argument code of a range argument X[a..b] (".." or byte 255): the
// StringConstants index of its range text.
int32_t RangeArgumentCode(const std::string& argument);
// After an error-free read: parameters named like an earlier routine (41)
// and the GOTO targets of every body (90, 341, 218, 92).
void CheckRoutinesAfterReadingRoutines();
// Start of a read: the per-read marks of every routine cleared.
void BeginRoutineRead();
// End of a read: every routine's saved call locals freed, LastCallReused 0.
void EndRoutineRead();

// Names a routine may not take that later subsystems own (property and
// external routines). The default knows none.
class RoutineNameSources {
 public:
  virtual ~RoutineNameSources() = default;
  virtual bool IsPropertyFunction(const std::string& /*upperName*/) const { return false; }
  virtual bool IsExternalRoutine(const std::string& /*upperName*/) const { return false; }
};
void SetRoutineNameSources(const RoutineNameSources* sources);  // nullptr: the default
const RoutineNameSources& RoutineNames();

// The locals of the routine being compiled, for SetRoutineLocals.
RoutineLocals& RoutineLocalsStore();

}  // namespace voq

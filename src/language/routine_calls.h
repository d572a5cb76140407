#pragma once
// Calls of user routines in the text: a FUNCTION named in an expression and
// the CALL statement (user PROCEDUREs, the ERROR and WARNING calls of a
// body, external procedures).
#include <cstdint>
#include <string>

#include "language/function_calls.h"
#include "language/operands.h"

namespace voq {

struct TArgumentListRecord;

// A user FUNCTION (or PROCEDURE output) call at p: the arguments recorded in
// a new pending list, the routine's slot and byte 208 written into the text,
// p stepped back. Installed with SetUserFunctionCallCompiler; false when the
// name is no callable routine.
bool CompileUserFunctionCall(std::string& text, int32_t maxLength, const std::string& name,
                             int32_t start, int32_t& p);
// ScanCallArguments for a user call, also setting the list's InputCount.
void CollectCallArguments(std::string& text, int32_t open, TArgumentListRecord* list,
                          TCallArguments& result);
// A statement beginning "CALL ": error 15 when no form takes it.
void CompileCallStatement(std::string& statement, int32_t maxLength,
                          const TStatementPosition& position);
// CALL of a user PROCEDURE, or CALL ERROR / CALL WARNING; false when the
// name is neither.
bool CompileProcedureCall(std::string& call, int32_t maxLength, const TStatementPosition& pos);

// Inputs and outputs of a CALL, ranges expanded and as written.
struct TCallCounts {
  int32_t InputsExpanded = 0;
  int32_t InputGroups = 0;
  int32_t OutputsExpanded = 0;
  int32_t OutputGroups = 0;
};
// Counts the arguments of the call whose "(" is at start; with a list, one
// code per element is recorded in it.
TCallCounts CountCallArguments(std::string& callText, int32_t start, TArgumentListRecord* list);
// CALL of an external procedure; false when the catalogue has no such name.
bool CompileExternalProcedureCall(std::string& call, int32_t maxLength,
                                  const TStatementPosition& pos);

struct TExternalProcedureEntry {
  std::string Name;
  int32_t InputCount = 0;
  int32_t OutputCount = 0;
  int32_t Number = 0;
};
// The external procedures loaded; the default knows none.
class ExternalProcedureCatalog {
 public:
  virtual ~ExternalProcedureCatalog() = default;
  virtual TExternalProcedureEntry* Find(const std::string& /*upperName*/) { return nullptr; }
};
void SetExternalProcedureCatalog(ExternalProcedureCatalog* catalog);  // nullptr: the default

// CALL of a MODULE or SUBPROGRAM; until one is installed none is taken.
using ModuleCallCompiler = bool (*)(std::string& call, int32_t maxLength,
                                    const TStatementPosition& pos, bool fromUnit);
void SetModuleCallCompiler(ModuleCallCompiler compiler);

void ResetCallStatementState();

}  // namespace voq

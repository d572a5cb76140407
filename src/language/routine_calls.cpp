#include "language/routine_calls.h"

namespace voq {
namespace {

ExternalProcedureCatalog kNoExternalProcedures;
ExternalProcedureCatalog* externalProcedures = &kNoExternalProcedures;
ModuleCallCompiler moduleCallCompiler = nullptr;

}  // namespace

// Not taken: a name followed by "(" that no form takes stays error 378.
bool CompileUserFunctionCall(std::string& /*text*/, int32_t /*maxLength*/, const std::string& /*name*/,
                             int32_t /*start*/, int32_t& /*p*/) {
  return false;
}

void CollectCallArguments(std::string& /*text*/, int32_t /*open*/, TArgumentListRecord* /*list*/,
                          TCallArguments& /*result*/) {}

void CompileCallStatement(std::string& /*statement*/, int32_t /*maxLength*/,
                          const TStatementPosition& /*position*/) {}

bool CompileProcedureCall(std::string& /*call*/, int32_t /*maxLength*/, const TStatementPosition& /*pos*/) {
  return false;
}

TCallCounts CountCallArguments(std::string& /*callText*/, int32_t /*start*/, TArgumentListRecord* /*list*/) {
  return {};
}

bool CompileExternalProcedureCall(std::string& /*call*/, int32_t /*maxLength*/,
                                  const TStatementPosition& /*pos*/) {
  return false;
}

void SetExternalProcedureCatalog(ExternalProcedureCatalog* catalog) {
  externalProcedures = catalog != nullptr ? catalog : &kNoExternalProcedures;
}

void SetModuleCallCompiler(ModuleCallCompiler compiler) { moduleCallCompiler = compiler; }

void ResetCallStatementState() {
  SetExternalProcedureCatalog(nullptr);
  SetModuleCallCompiler(nullptr);
}

}  // namespace voq

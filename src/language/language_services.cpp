#include "language/language_services.h"

#include "language/comments.h"
#include "language/conditionals.h"
#include "language/directives.h"
#include "language/duplicate_loops.h"
#include "language/external_routine_calls.h"
#include "language/export_after_run.h"
#include "language/function_calls.h"
#include "language/function_catalog.h"
#include "language/language_readers.h"
#include "language/module_units.h"
#include "language/operands.h"
#include "language/property_calls.h"
#include "language/reader_state.h"
#include "language/routine_calls.h"
#include "language/routine_reader.h"
#include "language/statement_compiler.h"
#include "language/statement_preparation.h"
#include "language/statement_readers.h"
#include "units/constants.h"

namespace voq {
namespace {

class EmptyFunctionCatalog : public FunctionCatalog {
 public:
  const TFunctionCatalogEntry* FindBuiltinFunction(const std::string&) const override {
    return nullptr;
  }
};

class EmptyConstantsCatalog : public ConstantsCatalog {
 public:
  int32_t FindConstant(const std::string&) const override { return -1; }
  std::string ConstantUnits(int32_t) const override { return ""; }
};

// The constants list the units subsystem loads at start-up.
class LoadedConstantsCatalog : public ConstantsCatalog {
 public:
  int32_t FindConstant(const std::string& upperName) const override {
    return FindConstantPosition(upperName);
  }
  std::string ConstantUnits(int32_t j) const override {
    if (j < 0 || static_cast<size_t>(j) >= ConstantsList.size()) return "";
    return CurrentConstantUnits(ConstantsList[static_cast<size_t>(j)]);
  }
};

const LoadedConstantsCatalog kLoadedConstants;

// A user routine may not take the name of a property function: a call of
// that name would reach the property compiler, never the routine.
class PropertyRoutineNames : public RoutineNameSources {
 public:
  bool IsPropertyFunction(const std::string& upperName) const override {
    return FindPropertyFunction(upperName) > 0;
  }
};

const PropertyRoutineNames kPropertyRoutineNames;
const EmptyFunctionCatalog kEmptyFunctions;
const EmptyConstantsCatalog kEmptyConstants;
const FunctionCatalog* installedFunctions = &kEmptyFunctions;
const ConstantsCatalog* installedConstants = &kEmptyConstants;

}  // namespace

const FunctionCatalog& BuiltinFunctions() { return *installedFunctions; }
void SetBuiltinFunctions(const FunctionCatalog* catalog) {
  installedFunctions = catalog != nullptr ? catalog : &kEmptyFunctions;
}

const ConstantsCatalog& BuiltinConstants() { return *installedConstants; }
void SetBuiltinConstants(const ConstantsCatalog* catalog) {
  installedConstants = catalog != nullptr ? catalog : &kEmptyConstants;
}


void InstallLanguageServices() {
  InstallBuiltinFunctionCatalog();
  BuildPropertyFunctionTable();
  SetStatementReaders(&LanguageReaders());
  SetRoutineLocals(&RoutineLocalsStore());
  SetRoutineNameSources(&kPropertyRoutineNames);
  SetUserFunctionCallCompiler(&CompileUserFunctionCall);
  SetBuiltinConstants(&kLoadedConstants);
  SetModuleCallCompiler(&CompileUnitCallStatement);
  // Over the property names: a user routine may not take an external
  // routine's name either.
  InstallExternalRoutineCalls();
}

void ResetLanguageState() {
  EquationTextBuffer.clear();
  EquationTextLength = 0;
  EquationLineStarts.clear();
  EquationLineNo = 0;
  PendingStatements.clear();
  CommentKind = 0;
  CommentScan = TCommentScanState{};
  CommentRecordList.clear();
  KeptCommentRecordList.clear();
  TextReader = TTextReaderState{};
  RecompileRequested = false;
  IntegralTableDirective.clear();
  ResetCommentState();

  CurrentStatementPosition = TStatementPosition{};
  RangeInFunctionArguments = false;
  RangeInCallArguments = false;
  PolarAngleChar = '<';
  ComplexLetter = 'i';
  StringLiteralStack.clear();
  StringOutputAssignment = false;
  FreshCompileCount = 0;
  ExportDirectives.clear();
  SaveLookupDirectives.clear();
  SetLookupFileSaver(nullptr);
  FirstRun = 1;
  CloseImportSource();

  // The seams later subsystems fill, empty until they install themselves.
  SetBuiltinFunctions(nullptr);
  SetBuiltinConstants(nullptr);
  SetRoutineLocals(nullptr);
  SetDirectiveServices(nullptr);
  SetStatementReaders(nullptr);
  SetIntegralTableSetUp(nullptr);
  SetIncludeLoaders(nullptr);
  SetExternalFunctionCallCompiler(nullptr);
  SetUserFunctionCallCompiler(nullptr);
  SetBuiltinFormCompiler(nullptr);
  SetRoutineNameSources(nullptr);
  ResetConditionalsState();
  ResetDuplicateState();
  ResetCallStatementState();
  ResetModuleUnitState();
}

}  // namespace voq

#include "language/language_readers.h"

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "language/conditionals.h"
#include "language/duplicate_loops.h"
#include "language/module_units.h"
#include "language/routine_reader.h"
#include "model/store_state.h"

namespace voq {
namespace {

class LanguageStatementReaders final : public StatementReaders {
 public:
  void BeginRead() override {
    BeginRoutineRead();
    ClearConditionalsRead();
    ClearDuplicateRead();
    BeginModuleRead();
  }
  void ProcessProcedureStatement(std::string& statement, bool& handled) override {
    voq::ProcessProcedureStatement(statement, handled);
  }
  void ProcessFunctionStatement(std::string& statement, bool& handled) override {
    voq::ProcessFunctionStatement(statement, handled);
    // Unit headers are not looked for inside a routine body; one there is
    // a unit nested in the routine.
    if (!handled && CalcErrorCode == 0 && CompilingFunctionIndex > 0 && IsUnitHeader(statement))
      CalcErrorCode = kMsgNestedRoutines;
  }
  void ProcessModuleStatement(std::string& statement, bool& handled) override {
    voq::ProcessModuleStatement(statement, handled);
  }
  void ProcessCommonDirective(std::string& statement, bool& handled) override {
    voq::ProcessCommonDirective(statement, handled);
  }
  void RewriteIfThenElse(std::string& statement, bool& handled) override {
    // The lines of an open DUPLICATE loop are recorded as written and
    // rewritten only when the loop is expanded.
    if (voq::DuplicateLoopOpen()) return;
    voq::RewriteIfThenElse(statement, handled);
  }
  bool ProcessDuplicate(std::string& statement) override { return voq::ProcessDuplicate(statement); }
  bool RoutineBodyOpen() const override { return CompilingFunctionIndex > 0; }
  bool ModuleBodyOpen() const override { return ModuleBodyIsOpen(); }
  void SetUpIntegralTable() override {
    if (IntegralTableSetUp setUp = InstalledIntegralTableSetUp()) setUp();
  }
  bool DuplicateLoopOpen() const override { return voq::DuplicateLoopOpen(); }
  void EndRead() override {
    EndRoutineRead();
    ClearDuplicateRead();
  }
  void CheckRoutines() override { CheckRoutinesAfterReadingRoutines(); }
};

LanguageStatementReaders languageReaders;

}  // namespace

StatementReaders& LanguageReaders() { return languageReaders; }

}  // namespace voq

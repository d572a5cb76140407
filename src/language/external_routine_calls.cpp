#include "language/external_routine_calls.h"

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/locale_settings.h"
#include "core/text_utils.h"
#include "language/function_calls.h"
#include "language/operands.h"
#include "language/property_calls.h"
#include "language/routine_calls.h"
#include "language/routine_reader.h"
#include "language/statement_preparation.h"
#include "language/statement_text.h"
#include "model/compiled_code.h"
#include "model/equation_parts.h"
#include "model/external_routines.h"
#include "model/store_state.h"

namespace voq {

namespace {

// The CALL compiler keeps the counts of the last call in the entry; the
// procedure's record keeps them for the calling-form query.
class LoadedExternalProcedures : public ExternalProcedureCatalog {
 public:
  TExternalProcedureEntry* Find(const std::string& upperName) override {
    TExternalProcedureRecord* r = FindExternalProcedureByName(upperName);
    if (r == nullptr) return nullptr;
    entry_.Name = r->Name;
    entry_.Number = r->Sequence;
    entry_.InputCount = r->InputCount;
    entry_.OutputCount = r->OutputCount;
    return &entry_;
  }

 private:
  TExternalProcedureEntry entry_;
};

LoadedExternalProcedures loadedProcedures;

// A user routine may take neither a property function's name nor an
// external routine's.
class ReservedRoutineNames : public RoutineNameSources {
 public:
  bool IsPropertyFunction(const std::string& upperName) const override {
    return FindPropertyFunction(upperName) > 0;
  }
  bool IsExternalRoutine(const std::string& upperName) const override {
    return FindExternalFunctionByName(upperName) != nullptr || FindExternalProcedureByName(upperName) != nullptr;
  }
};

const ReservedRoutineNames kReservedRoutineNames;

}  // namespace

bool CompileExternalFunction(std::string& text, int32_t maxLength, const std::string& name, int32_t start,
                             int32_t& p) {
  if (p >= Length(text) || text[static_cast<size_t>(p)] != '(') return false;
  TExternalFunctionRecord* r = FindExternalFunctionByName(name);
  if (r == nullptr) return false;
  RangeInFunctionArguments = true;
  const std::string typed = text.substr(static_cast<size_t>(start) - 1, static_cast<size_t>(p - start + 1));
  const int32_t windowPosition =
      CurrentStatementPosition.Start < 0 ? -1 : CurrentStatementPosition.Start + start - SourceShift;
  SyncVariableNameCase(typed, r->Name, windowPosition, kExternalNameCase);

  TArgumentListRecord* list = NewArgumentList(-3, r->Name, PendingArgumentLists);
  if (list == nullptr) return true;
  TCallArguments arguments;
  ScanCallArguments(text, p + 1, true, list, arguments);
  if (CalcErrorCode != 0) return true;
  // An empty group (nothing written, or only the literal that was taken
  // out) has no argument.
  int32_t count = arguments.Count;
  if (arguments.Close == arguments.Open + 1) count = 0;
  const std::string sep(1, ArgumentSeparator);
  const int32_t total = count + (arguments.FirstIsString ? 0 : 1);
  std::string inside = text.substr(static_cast<size_t>(arguments.Open), static_cast<size_t>(arguments.Close - arguments.Open - 1));
  std::string rewritten = text.substr(0, static_cast<size_t>(start) - 1);
  rewritten.push_back(static_cast<char>(OpExternalFunction));
  rewritten += "(" + std::to_string(r->Sequence) + sep;
  if (!arguments.FirstIsString) rewritten += std::to_string(arguments.MessageIndex) + sep;
  if (!inside.empty()) rewritten += inside + sep;
  rewritten += std::to_string(total) + ")";
  rewritten += text.substr(static_cast<size_t>(arguments.Close));
  if (Length(rewritten) > maxLength) {
    CalcErrorCode = kMsgStatementTooLong;
    return true;
  }
  text = rewritten;
  SourceShift += Length(name) - 1;
  p = start - 1;
  return true;
}

void InstallExternalRoutineCalls() {
  SetExternalFunctionCallCompiler(&CompileExternalFunction);
  SetExternalProcedureCatalog(&loadedProcedures);
  SetRoutineNameSources(&kReservedRoutineNames);
}

}  // namespace voq

#pragma once
// The readers that later parts of the language add to the compile pass
// (routines, modules, IF/THEN/ELSE, DUPLICATE) and the loaders of files an
// $INCLUDE names that are not equation texts. Until a part installs its
// reader, the default takes no statement, so such a statement reaches the
// statement compiler and is refused there; the default loaders refuse the
// file with a message naming it.
#include <string>

namespace voq {

// Every reader receives the prepared statement and sets handled when it took
// it, or CalcErrorCode. The defaults take nothing.
class StatementReaders {
 public:
  virtual ~StatementReaders() = default;
  // Start of a read: clear the per-read state of the readers (IF/THEN/ELSE
  // and DUPLICATE state, REPEAT stack, per-routine marks, reference states,
  // $SaveLookup and $Export lists).
  virtual void BeginRead() {}
  virtual void ProcessProcedureStatement(std::string& /*statement*/, bool& /*handled*/) {}
  virtual void ProcessFunctionStatement(std::string& /*statement*/, bool& /*handled*/) {}
  virtual void ProcessModuleStatement(std::string& /*statement*/, bool& /*handled*/) {}
  virtual void ProcessCommonDirective(std::string& /*statement*/, bool& /*handled*/) {}
  virtual void RewriteIfThenElse(std::string& /*statement*/, bool& /*handled*/) {}
  // True when the DUPLICATE reader took the statement.
  virtual bool ProcessDuplicate(std::string& /*statement*/) { return false; }
  // A FUNCTION or PROCEDURE body, or a MODULE/SUBPROGRAM body, is open.
  virtual bool RoutineBodyOpen() const { return false; }
  virtual bool ModuleBodyOpen() const { return false; }
  virtual bool DuplicateLoopOpen() const { return false; }
  // End of a read: per-routine local chains and DUPLICATE loop records freed.
  virtual void EndRead() {}
  // The routine checks after an error-free read: parameter names (error 41)
  // and GOTO labels (90, 341, 218, 92).
  virtual void CheckRoutines() {}
  // CompileEquations: reference states marked unused before the first read,
  // those no directive named deleted after the last.
  virtual void MarkReferenceStatesUnused() {}
  virtual void DeleteUnusedReferenceStates() {}
  // The integral table after a successful read (makeIntegralTable).
  virtual void SetUpIntegralTable() {}
};
StatementReaders& Readers();
void SetStatementReaders(StatementReaders* readers);

// The $IntegralTable set-up the language's readers run after a read; the
// table model installs it (until then, and after a language reset, a read
// makes no Integral table).
using IntegralTableSetUp = void (*)();
void SetIntegralTableSetUp(IntegralTableSetUp setUp);
IntegralTableSetUp InstalledIntegralTableSetUp();

// Files an $INCLUDE names that are not equation texts. The defaults refuse
// them with error 100 and a message saying the kind is not supported.
class IncludeLoaders {
 public:
  virtual ~IncludeLoaders() = default;
  // A variable information file into the current unit's variables.
  virtual void ReadVarInfoFile(const std::string& fileName);
  // An external library (.DLF, .DLP, .FDL) or a library file (.LIB,
  // asInclude: read through the Equations window).
  virtual void LoadLibraryFile(const std::string& fileName, bool asInclude);
  // Library routines sorted by name after a .LIB include.
  virtual void SortLibraryRoutines() {}
};
IncludeLoaders& Loaders();
void SetIncludeLoaders(IncludeLoaders* loaders);

}  // namespace voq

#include "model/store_state.h"

namespace voq {

std::vector<TProgramUnitRecord*> ProgramUnitList;
TProgramUnitRecord* MainProgramUnit = nullptr;
TProgramUnitRecord* CurrentProgramUnit = nullptr;
TEquationRecord* CurrentEquation = nullptr;
TEquationRecord* ReusableEquations = nullptr;
std::array<TLetterDefaultRecord, 26> LetterDefaults{};
std::array<TLetterDefaultRecord, 26> StoredLetterDefaults{};
std::string DviFileName;
int32_t MaxVariables = kMaxVariablesPerUnit;
bool TrialCompile = false;
bool ShuttingDown = false;
TScreenRect DefaultScreenRect{};

bool EquationsCompiled = false;
bool SolutionAvailable = false;
bool CompileWithoutSolving = false;
bool MainStatementSeen = false;
int32_t ModuleNesting = 0;
bool ReadingIncludedText = false;
int32_t CompilingFunctionIndex = 0;
int32_t SourceShift = 0;
TPendingUnits PendingUnits;
TSubstanceBase* LastSubstanceObject = nullptr;
TArgumentListRecord* PendingArgumentLists = nullptr;
TTextPiece* PendingTextPieces = nullptr;

void DisposePendingTextPieces() {
  while (PendingTextPieces != nullptr) {
    TTextPiece* next = PendingTextPieces->Next;
    delete PendingTextPieces;
    PendingTextPieces = next;
  }
}

}  // namespace voq

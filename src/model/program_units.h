#pragma once
// The store everything in the language core and the solver works on: program
// units (main program, MODULEs, SUBPROGRAMs), their variables with values,
// guesses, limits and formats, the variable-name hash, and the compiled
// equations of each unit as a linked list of equation records.
//
// Indexing: arrays of fixed size numbered from 1 (variables, parameter
// lists, the used and unknown lists, the hash slots), where an index of 0
// means "none", are stored with one spare element in front, so
// VariableHandles[i] is variable i and element 0 is unused (UnknownList[0]
// and BlockEnds[0] hold what the blocking puts there). The growable blocks
// of an equation (Code, Constants, StringOperands) are 0-based and hold
// exactly what is in use.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/extended.h"
#include "model/equation_parts.h"
#include "model/integral_records.h"

namespace voq {

struct TOccurrenceRecord;
struct TLocalVariableRecord;

inline constexpr int32_t kMaxVariablesPerUnit = 10000;
inline constexpr int32_t kNameHashSlots = 14000;
inline constexpr int32_t kMaxNameLength = 30;
inline constexpr int32_t kMaxUnitParameters = 300;
inline constexpr int32_t kIntegralSlotCount = 6;

// Four int32 of a screen area (left, top, right, bottom).
struct TScreenRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  bool operator==(const TScreenRect&) const = default;
};

// UnknownPosition values other than a position in UnknownList.
inline constexpr int16_t kNotUnknown = 0;
inline constexpr int16_t kDeterminedVariable = -1;
inline constexpr int16_t kSetFromParametricTable = -2;
inline constexpr int16_t kIntegrationVariable = -3;

// One variable. Strings hold Windows-1252 bytes and are at most 30 characters.
struct TVariableRecord {
  // The stored part (122 bytes in documents, see PackVariableRecord).
  std::string Name;
  Extended Value = BlankValue;
  Extended Guess = 1;
  Extended LowerLimit = 0;
  Extended UpperLimit = 0;
  uint8_t Mark = 0;
  int16_t UnknownPosition = 0;
  uint8_t Style = 0;
  int16_t Digits = 0;
  std::string Units;
  int16_t GuessVariable = 0;
  int16_t LowerVariable = 0;
  int16_t UpperVariable = 0;
  int16_t Block = 0;
  int16_t ArrayRow = -32766;
  int16_t ArrayColumn = 0;
  int16_t DisplayCode = 1;
  // Kept in memory only.
  std::string UpperName;
  std::array<int16_t, 2> WindowWords{};  // the result and document windows' own
  uint8_t IsString = 0;
  uint8_t UnitsInferred = 0;
  int16_t CommonVariable = 0;
  TScreenRect ScreenRect;
  Extended Uncertainty = BlankValue;
  uint8_t UncertaintyIsRelative = 0;
  uint8_t SpareByte = 0;
  int16_t UncertaintyKind = -32760;
  int16_t MeasuredMark = 0;
  uint8_t ComplexPart = 0;
  int16_t PartnerVariable = 0;
};

// Stored layout of the first part of a variable record, byte offsets.
inline constexpr size_t kStoredVariableSize = 122;
namespace variable_offsets {
inline constexpr size_t Name = 0;
inline constexpr size_t Value = 31;
inline constexpr size_t Guess = 41;
inline constexpr size_t LowerLimit = 51;
inline constexpr size_t UpperLimit = 61;
inline constexpr size_t Mark = 71;
inline constexpr size_t UnknownPosition = 72;
inline constexpr size_t Style = 74;
inline constexpr size_t Digits = 75;
inline constexpr size_t Units = 77;
inline constexpr size_t GuessVariable = 108;
inline constexpr size_t LowerVariable = 110;
inline constexpr size_t UpperVariable = 112;
inline constexpr size_t Block = 114;
inline constexpr size_t ArrayRow = 116;
inline constexpr size_t ArrayColumn = 118;
inline constexpr size_t DisplayCode = 120;
}  // namespace variable_offsets

// Writes the 122 stored bytes of v at dst (names and units longer than 30
// characters are cut; unused string bytes are 0).
void PackVariableRecord(const TVariableRecord& v, uint8_t* dst);
// Reads the stored bytes into v; the fields kept in memory only are left as
// they are. A length byte above 30 is read as 30.
void UnpackVariableRecord(const uint8_t* src, TVariableRecord& v);

// Default guess, limits, display format and units for names beginning with
// one letter. 64 bytes stored.
struct TLetterDefaultRecord {
  Extended Guess = 1;
  Extended LowerLimit = -InfinityValue;
  Extended UpperLimit = InfinityValue;
  uint8_t Style = 3;
  int16_t Digits = 4;
  std::string Units;
};
inline constexpr size_t kStoredLetterDefaultSize = 64;
void PackLetterDefaultRecord(const TLetterDefaultRecord& d, uint8_t* dst);
void UnpackLetterDefaultRecord(const uint8_t* src, TLetterDefaultRecord& d);
// The 26 records "A" to "Z" one after the other, as the defaults file and
// default variable information files hold them.
inline constexpr size_t kStoredLetterDefaultBlockSize = 26 * kStoredLetterDefaultSize;
void PackLetterDefaultBlock(const std::array<TLetterDefaultRecord, 26>& block, uint8_t* dst);
void UnpackLetterDefaultBlock(const uint8_t* src, std::array<TLetterDefaultRecord, 26>& block);

// One compiled statement. The record owns the chains it points at (substance
// objects, call lists, integral terms, series, the DUPLICATE description and
// the branch pair) and DisposeEquationRecord frees them, so it is never
// copied: two copies would free them twice. A move hands everything over to
// the target and leaves the source pointing at the same chains: only the
// source record itself may be freed after it (TakeReusableEquation).
struct TEquationRecord {
  TEquationRecord() = default;
  TEquationRecord(const TEquationRecord&) = delete;
  TEquationRecord& operator=(const TEquationRecord&) = delete;
  TEquationRecord(TEquationRecord&&) = default;
  TEquationRecord& operator=(TEquationRecord&&) = default;

  // The statement text; none when it is not to be matched again; a leading
  // "~" marks a record that is never reused.
  std::optional<std::string> Text;
  // Constant pool, string operands and code, each holding exactly the
  // elements in use: the vectors keep their own counts, and a stored layout
  // that carries a count or a capacity in bytes computes it from them when
  // packing.
  std::vector<Extended> Constants;
  std::vector<int32_t> StringOperands;
  std::vector<int32_t> Code;
  TSubstanceBase* SubstanceChain = nullptr;
  TArgumentListRecord* CallLists = nullptr;
  TArgumentListRecord* BuiltinCallLists = nullptr;
  TIntegralTermRecord* IntegralTerms = nullptr;
  Extended Residual = BlankValue;
  Extended ResidualScale = 0;
  Extended RelativeResidual = BlankValue;
  TEquationRecord* Next = nullptr;
  uint8_t SolvedAlone = 0;
  int32_t TextStart = 0;
  int32_t TextEnd = 0;
  int32_t LineNumber = 0;
  int32_t Block = 0;
  std::array<int16_t, 2> WindowWords{};  // the result windows' own
  TBranchPair* BranchPair = nullptr;
  TEquationRecord* JumpTarget = nullptr;
  int32_t Label = 0;
  // The Formatted Equations window's: the statement's place at its last
  // layout, the user's offset from its computed place, and its selection.
  TScreenRect DisplayRect;
  int16_t OffsetX = 0;
  int16_t OffsetY = 0;
  uint8_t Selected = 0;
  uint8_t SpareByte = 0;
  TSumRecord* SeriesChain = nullptr;
  uint8_t DuplicateRepeat = 0;
  TDuplicateDescription* DuplicateDescription = nullptr;
  uint8_t NotFromWindow = 0;
  std::array<int16_t, 2> SpareWords{};
  std::array<int32_t, 2> SpareLongs{};
  uint8_t TrySolveAlone = 1;
  int32_t CalledUnit = 0;
  uint8_t EquationKind = 0;
  uint8_t LeftIsRealPart = 0;
  uint8_t LeftIsImaginaryPart = 0;
  // Routine bodies: the local an array-element assignment target resolved to
  // while the statement ran (cleared at the start of each evaluation), and
  // the right side as evaluated at the last "=", which the statement walk
  // assigns directly instead of value - residual (that difference loses the
  // new value when the old one is much larger).
  TLocalVariableRecord* AssignedLocal = nullptr;
  Extended RightSide = 0;
};

// One program unit.
//
// A count beside a fixed table is not the table's size: the table keeps its
// full size for the unit's life and the count says how many entries, from
// [1], are in use (VariableCount of VariableHandles, UsedVariableCount of
// UsedVariableList, UnknownCount of UnknownList, BlockCount of BlockEnds).
// The routines that raise these counts (AddVariable, RegisterVariableUse,
// the blocking, whose every block holds an unknown) stop at the table's last
// slot. IntegralCount may pass the six IntegralSlots; their readers stop at
// the sixth. Growable vectors (SavedGuesses, CallTexts, CommonVariables)
// keep their own counts.
struct TProgramUnitRecord {
  std::string Name;
  uint8_t IsLibraryUnit = 0;
  // A unit loaded from a library file: that file's path, and its help file
  // ("$" when the help lies in the library text itself).
  std::string LibraryFile;
  std::string HelpFile;
  uint8_t Defined = 0;
  uint8_t HeaderHasColon = 1;
  uint8_t Merged = 0;
  uint8_t IsSubprogram = 0;
  uint8_t IsPrivate = 0;
  int16_t UnitIndex = 0;
  int16_t CallerIndex = 0;
  int16_t InputCount = 0;
  int16_t OutputCount = 0;
  int16_t EquationCount = 0;
  int16_t VariableCount = 0;
  int32_t BlockStart = 0;
  int32_t BlockEnd = 0;
  // Carried with a MODULE/SUBPROGRAM in documents, [1..6].
  std::array<uint8_t, 7> DocumentBytes{};
  std::array<int16_t, 7> DocumentWords{};
  std::array<Extended, 7> DocumentReals{};
  std::string UpperName;
  std::vector<Extended> SavedGuesses;
  std::string Title;
  std::string HeaderText;
  TEquationRecord* FirstEquation = nullptr;
  TEquationRecord* LastEquation = nullptr;
  int16_t CallCount = 0;
  std::array<int16_t, kMaxUnitParameters + 1> ParameterList{};  // [1..300]
  std::array<int16_t, kMaxUnitParameters + 1> OutputList{};     // [1..300]
  std::vector<TVariableRecord*> VariableHandles;  // [1..10,000]
  std::vector<int16_t> NameHash;                  // [0..14,000], slot 0 never used
  // Look-up aids of the name hash, in no stored layout. The hash mixes only a
  // few characters of a name, so names of a real model crowd a few hundred
  // home slots and a plain probe walks long runs of occupied slots. These
  // answer VarHashSlot with exactly the slot the probe would give: where
  // each name stands, and skip pointers over runs of slots known to be
  // occupied (slots only ever go from empty to occupied until the whole
  // table is cleared). Write a variable index into NameHash only through
  // SetNameHashSlot so the first stays complete.
  std::unordered_map<std::string, int16_t> NameSlots;
  std::vector<int16_t> OccupiedSkip;              // [0..14,000], 0 = nothing known
  // The first variable of each array stem (the text before "["), for the
  // units an array element takes over.
  std::unordered_map<std::string, int16_t> FirstOfStem;
  int16_t UsedVariableCount = 0;
  std::vector<int16_t> UsedVariableList;          // [0..10,000]
  int16_t UnknownCount = 0;
  std::vector<int16_t> UnknownList;               // [0..10,000]
  int16_t BlockCount = 0;
  // Blocking structure; main program only, empty in other units.
  std::vector<TOccurrenceRecord*> RowHeads;       // [1..10,000] (10,001 elements)
  std::vector<TOccurrenceRecord*> ColumnHeads;    // [1..10,000] (10,001 elements)
  std::vector<uint8_t> ColumnMarks;               // [1..10,000] (10,001 elements)
  std::vector<int16_t> BlockEnds;                 // [0..10,000]
  int16_t RangeFirst = 0;
  int16_t RangeLast = 0;
  std::array<Extended, kMaxUnitParameters + 1> CallValues{};  // [1..300]
  std::array<int16_t, 4> FormattedWords{};  // the Formatted Equations window's own
  std::array<uint8_t, 2> FormattedBytes{};
  uint8_t UnitClosed = 0;
  uint8_t UnitUnbalanced = 0;
  uint8_t CompiledThisPass = 0;
  std::array<TIntegralRecord, kIntegralSlotCount + 1> IntegralSlots{};  // [1..6]
  int32_t IntegralCount = 0;
  uint8_t HasModuleStatements = 0;
  int32_t IterationCount = 0;
  Extended MaxResidual = 0;
  Extended PreviousMaxResidual = 0;
  Extended MaxChange = 0;
  int32_t RangeSize = 0;
  int32_t CurrentBlock = 0;
  uint8_t UnitComplexMode = 0;
  std::vector<std::string> CallTexts;
  TArgumentListRecord* ArgumentList = nullptr;
  int32_t HeaderLine = 0;
  std::vector<int16_t> CommonVariables;  // unit variable indexes named in $COMMON
  int32_t DisplayedCallCount = 0;

  TVariableRecord* Variable(int32_t i) const {
    return (i >= 1 && i <= VariableCount) ? VariableHandles[i] : nullptr;
  }
};

// --- Store operations --------------------------------------------------------

// Allocates a unit with its full-size tables and appends it to ProgramUnitList.
// The first unit created (list index 0) gets the blocking arrays. Returns
// null with error 75 when memory runs out.
TProgramUnitRecord* CreateProgramUnit();
// Creates the main program unit when there is none (start-up), sets
// MainProgramUnit and CurrentProgramUnit, BlockStart 0 and BlockEnd 999,999.
TProgramUnitRecord* EnsureMainProgramUnit();
TProgramUnitRecord* FindOrCreateModule(const std::string& name);

void AddVariable(const std::string& name);
void RegisterVariableUse(int32_t i, const std::string& name);
// The slot of the (upper-case) name in CurrentProgramUnit's hash, or the
// empty slot where it belongs.
int32_t VarHashSlot(const std::string& upperName);
// Stores value (a variable index, or -1 for a freed slot) in the unit's name
// hash at slot, keeping the look-up aids in step.
void SetNameHashSlot(TProgramUnitRecord* unit, int32_t slot, int16_t value);
// Empties the unit's name hash.
void ClearNameHash(TProgramUnitRecord* unit);
// The hash value before probing (1..14,000), for tests of the formula.
int32_t VarHashHome(const std::string& upperName);
int32_t FindVariable(const std::string& name);
// Removes a variable from CurrentProgramUnit's UnknownList, moving later
// entries forward (their UnknownPosition follows); the removed variable's own
// UnknownPosition is left to the caller.
void RemoveFromVarOrder(int32_t variableIndex);

bool NewEquation(const std::string& text, int32_t line);
bool TakeReusableEquation(const std::string& text);
void PrefixTildeToText(TEquationRecord* e);
// Start of a read: the main program's list becomes ReusableEquations and the
// unit's list starts empty, then the "~"-marked records go. The read links
// afresh every record it compiles or takes over, so no unit points into the
// retained chain: a record taken over and freed there cannot stay behind as
// a unit's head, whichever body (a routine's, a MODULE's) takes it.
void RetainMainEquations();
// Drops the "~"-marked records from ReusableEquations.
void PurgeMarkedEquations();
// End of a successful read: frees the retained records nothing took over.
void DisposeUnusedEquations();
// End of a failed read: the retained records nothing took over are freed
// too (the next read starts from the main program's list and would lose
// them); when the read failed before it linked a main-program equation they
// become the main program's list again, for the next read to take over.
void ReleaseRetainedEquations();

void DisposeEquationRecord(TEquationRecord*& h);
void DisposeDuplicateDescription(TEquationRecord* h);
// Disposes the whole chain starting at h (h becomes null).
void DisposeEquationChain(TEquationRecord*& h);
void DisposeArgumentListChain(TArgumentListRecord*& head);

void ClearVariableStore(TProgramUnitRecord* unit);
void DisposeProgramUnit(TProgramUnitRecord* unit);
void DisposeModuleUnits();
void ClearCompiledEquations();
// The store as at start-up: every unit (library ones too), equation and
// pending record freed, the compile-pass flags of the store cleared, the
// letter defaults back to theirs, and one empty main program.
void ResetProgramStore();
// How often ClearCompiledEquations has run (a read that saw it run mid-way
// has no compiled equations left to offer).
extern int32_t CompiledEquationsClears;

// Cuts a name to 30 characters; upper-cases ASCII letters (names are
// compared without regard to case).
std::string CutName(const std::string& name);
std::string UpperCaseName(const std::string& name);

}  // namespace voq

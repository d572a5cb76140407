#pragma once
// The store of user FUNCTIONs and PROCEDUREs: the routine table, each
// routine's record with its parameter list, its chain of local variables and
// the look-up tables built at its END, and the display formats of locals
// kept while their routine is gone. The compiler (language/) fills it, the
// evaluator (solver/) reads it; both include only this header.
//
// The table is numbered from 1 like the other fixed tables of the store:
// FunctionTable[0] is never used, so a slot of 0 means "no routine" (the
// main program) wherever a slot is passed.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/extended.h"
#include "model/equation_parts.h"
#include "model/program_units.h"

namespace voq {

inline constexpr int32_t kMaxRoutines = 300;
// Argument groups of one list (TArgumentListRecord::CodesPerArgument).
inline constexpr int32_t kMaxArgumentGroups = 300;
// Elements a header or a call may expand its ranges to (error 49 beyond).
inline constexpr int32_t kMaxRangeElements = 10000;

// -9.99999E-97: the value of a local that no statement of the running call
// has set. A value a user computes is practically never exactly this, so a
// read of a local holding it is a read before assignment. Compare with
// IsUnsetLocalValue (exact equality), never within a tolerance.
inline constexpr Extended UnsetLocalValue = MakeExtended(0xBEC0, 0x88B3FA027DD00770ULL);
inline bool IsUnsetLocalValue(Extended x) { return x == UnsetLocalValue; }

// One parameter, result or local of a routine; the same record keeps the
// display format of a local while its routine is disposed (LocalFormatList).
struct TLocalVariableRecord {
  std::string Name;          // as first typed, at most 30 characters
  // The look-up key; in LocalFormatList the routine's upper-case name.
  std::string UpperName;
  Extended Value = 0;        // during a call the current value; else a compile-time constant
  std::array<Extended, 2> SpareReals{};
  std::string Units;
  uint8_t Style = 3;
  int16_t Digits = 4;
  int16_t DisplayCode = 1;
  // 0 the result, 1..n the parameters in order, then the position in the
  // chain; negative: the main-program variable -LocalNumber ($COMMON).
  int32_t LocalNumber = 0;
  // -1 when a body statement gave the local a constant at compile time.
  int32_t ConstantFlag = 0;
  int32_t Routine = 0;       // FunctionTable slot
  int32_t SpareLong = 0;
  uint8_t IsString = 0;      // name ends in "$" or holds "$["
  uint8_t DefaultUnits = 1;  // 0 once units were given
  uint8_t FormatGiven = 0;   // a display format was set: kept when the routine goes
  std::array<uint8_t, 3> SpareBytes{};
  TScreenRect Box;
  TLocalVariableRecord* Next = nullptr;
};

// One FUNCTION or PROCEDURE. The record owns its statements (FirstStatement
// and the branch targets hanging off them), both local chains, its tables
// and Parameters; DisposeFunctionEntry frees them, so it is never copied.
struct TRoutineRecord {
  TRoutineRecord() = default;
  TRoutineRecord(const TRoutineRecord&) = delete;
  TRoutineRecord& operator=(const TRoutineRecord&) = delete;

  std::string Name;          // as typed in the header, at most 30
  std::string HeaderText;    // the whole header; unchanged, the record is kept at the next read
  TEquationRecord* FirstStatement = nullptr;
  TLocalVariableRecord* Locals = nullptr;  // the first is the result
  int32_t InputCount = 0;    // parameter locals (inputs only), ranges expanded
  int32_t OutputCount = 0;   // PROCEDURE outputs, ranges expanded; 0 for a FUNCTION
  int32_t InputGroups = 0;   // parameters as written
  int32_t OutputGroups = 0;
  uint8_t ResultUsed = 0;    // the routine's own name was met in its body
  int32_t HeaderStart = 0;   // the header's position in the equation text
  int32_t HeaderEnd = 0;
  TLocalVariableRecord* SavedCallLocals = nullptr;  // copies made after the last call
  uint8_t LastCallReused = 0;
  uint8_t IsLibrary = 0;
  uint8_t SpareByte = 0;
  std::array<std::string, 2> LibraryTexts;  // the library loader's descriptions
  std::array<int32_t, 2> LibraryLongs{};
  std::string UpperName;
  int32_t ColonPosition = 0; // PROCEDURE: the header's colon, for the calling form
  int32_t LocalCount = 0;    // from END
  int32_t HashSize = 0;      // M = 4 * LocalCount, from END
  std::vector<TLocalVariableRecord*> LocalsByNumber;  // [0..LocalCount-1]
  std::vector<TLocalVariableRecord*> LocalHash;       // [0..M]; [0] is never read
  uint8_t Defined = 0;       // the header was read in this read
  std::array<uint8_t, 2> Selected{};
  TScreenRect HeaderBox;
  uint8_t NeverReuse = 0;    // the body uses TABLERUN#: a call is never skipped
  uint8_t HasCommonLocals = 0;
  uint8_t UsesCommon = 0;
  uint8_t IsPrivate = 0;
  uint8_t Called = 0;        // a call was compiled in this read
  TArgumentListRecord* Parameters = nullptr;  // Kind -1
  int32_t CallCounter = 0;
};

extern std::array<TRoutineRecord*, kMaxRoutines + 1> FunctionTable;  // [1..300]
extern int32_t FunctionCount;  // slots 1..FunctionCount are filled
// Display formats of locals whose routine was disposed (or read from a
// document): UpperName holds the routine's upper-case name, Routine its slot.
extern std::vector<TLocalVariableRecord*> LocalFormatList;

// The routine in a slot; nullptr outside 1..FunctionCount.
TRoutineRecord* RoutineAt(int32_t slot);
// The first slot whose routine has this upper-case name; 0 when none.
int32_t FindRoutineSlot(const std::string& upperName);
// Calls may take a routine defined in this read or loaded from a library: a
// routine whose text was deleted stays in the table until the next compact
// and must not be called with its stale body.
bool RoutineCallable(const TRoutineRecord& r);

// Fills a new local: the defaults of the record, then a stored format of the
// same local of this routine (by the routine's upper-case name, or by slot)
// from LocalFormatList, which is taken off the list. Next is left alone.
void InitLocalVariableRecord(TLocalVariableRecord& l, int32_t slot, int32_t number,
                             const std::string& name);
// A new local at the end of the routine's chain; nullptr with error 75.
TLocalVariableRecord* AppendLocal(TRoutineRecord& r, int32_t slot, int32_t number,
                                  const std::string& name);
int32_t LocalChainLength(const TRoutineRecord& r);
// The locals-by-number array and the local hash of the routine in slot.
void BuildLocalTable(int32_t slot);
// The entry of the routine's local hash for an upper-case name: where it
// stands or the empty entry where it belongs; 0 when the routine has no
// usable hash or the probe runs off the end.
int32_t LocalHashSlot(const std::string& name, int32_t slot);
// The local number of a name along the routine's chain, with its constant
// flag and value (error 481 for an array element not set to a constant).
// A name not found gives 0, flag 0, value 0 and found nullptr; the result
// local gives 0 too, so callers that must tell them apart use found.
int32_t FindLocalVariable(const std::string& name, int32_t slot, int32_t& constantFlag,
                          Extended& value, TLocalVariableRecord** found = nullptr);
// Local number k through LocalsByNumber; nullptr out of range.
TLocalVariableRecord* LocalByNumber(const TRoutineRecord& r, int32_t k);
void DisposeLocalVarList(TLocalVariableRecord*& first);
// Copies of the locals with a format to LocalFormatList.
void SaveLocalFormats(const TLocalVariableRecord* first, const std::string& routineUpperName,
                      int32_t slot);
// Frees the routine in slot n (statements, locals after saving their
// formats, saved call locals, tables, parameter list); the slot becomes null.
void DisposeFunctionEntry(int32_t n);
// Disposes the document's routines (every routine while ShuttingDown) and
// packs the survivors to the front of the table.
void CompactFunctionTable();
// Every statement of the routine loses its text, so the next read compiles
// the body afresh instead of taking the records over.
void DisposeEntryEquationText(int32_t slot);
// Every statement record of the routine once: the Next chain, then Then/Else
// targets not in it.
std::vector<TEquationRecord*> RoutineStatements(const TRoutineRecord& r);
// All routines and LocalFormatList freed, FunctionCount 0.
void ResetRoutineStore();

}  // namespace voq

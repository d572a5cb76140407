#pragma once
// What the "Format Selected Variables" dialog does to the variables: the
// opening copy, Apply (the dialog's own variable gets every field, the
// other selected variables only the fields changed against the opening
// copy) and the one-step undo of the change, which a second undo redoes.
#include <cstdint>
#include <string>
#include <vector>

#include "model/program_units.h"
#include "model/routines.h"
#include "output/format_codes.h"

namespace voq {

// The undo list, emptied by the engine reset (ResetSolutionState).
std::vector<UndoFormatRecord>& FormatUndoList();

// What the dialog edits: style, digits, the packed display code and units.
struct TFormatChoice {
  uint8_t Style = 3;
  int16_t Digits = 4;
  int16_t Code = 1;
  std::string Units;
};

// Opens the dialog on variable `index` of the current program unit: its
// code is made positive (the dialog's variable is no longer selected) and
// the record copied; gives the choice the dialog starts from.
TFormatChoice OpenFormatOfVariable(int32_t index, TVariableRecord& openingCopy);
TFormatChoice OpenFormatOfLocal(const TLocalVariableRecord& local);

// Saves the undo records: every selected variable of every unit and the
// dialog's own (index in the current program unit, 0 none), or every
// selected local of routine `routine`.
void SaveFormatUndo(int32_t index, int32_t routine);

// Apply for a program variable (index in the current program unit).
void ApplyVariableFormat(int32_t index, const TVariableRecord& openingCopy, const TFormatChoice& choice);
// Apply for the selected locals of routine `routine`.
void ApplyLocalFormat(int32_t routine, const TFormatChoice& choice);

// Swaps every saved format with the current one.
void doUndo();

// Whether a local is selected in the Solution window.
bool LocalSelected(const TLocalVariableRecord& l);
void SetLocalSelected(TLocalVariableRecord& l, bool selected);

}  // namespace voq

#pragma once
// The Default Variable Information grid, free of Qt: the 26 letter defaults
// as the grid's cells, the editing of a cell with the pending invalid cell,
// the style and digits the menus choose, Apply (the changed defaults pushed
// into the current unit's variables and recorded as macro lines), Cancel,
// and the ".DVI" files of Store and Load. The dialog (dvar_info_dlg.h)
// draws these cells and forwards the user's input.
#include <array>
#include <cstdint>
#include <string>

#include "model/program_units.h"

namespace voq {

class MacroRecorder;

// The file dialogs of Store and Load: false when the user cancels; path
// comes in as the proposed name and goes out as the chosen one.
class DviFileChooser {
 public:
  virtual ~DviFileChooser() = default;
  virtual bool AskSaveName(std::string& path) = 0;
  virtual bool AskOpenName(std::string& path) = 0;
};

// Grid columns.
enum TDviColumn : int {
  kLetterColumn = 0,
  kGuessColumn = 1,
  kLowerColumn = 2,
  kUpperColumn = 3,
  kStyleColumn = 4,
  kDigitsColumn = 5,
  kUnitsColumn = 6,
};
inline constexpr int kDviGridRows = 26;
inline constexpr int kDviGridColumns = 7;

class TDefaultVarInfoGrid {
 public:
  enum class StoreResult { Refused, Cancelled, Failed, Written };

  // The dialog opens: LetterDefaults is copied (for Cancel and for finding
  // what changed) and no cell is pending.
  void FormActivate();

  // The text of a cell (Windows-1252), the same in the grid and its editor.
  std::string CellText(int row, int column) const;
  // Only the numbers and the units are typed; style and digits come from
  // the menus.
  static bool Selectable(int column);
  // Column 5 is grey while the row's style is automatic.
  bool DigitsGrey(int row) const;

  // A typed cell. A number that does not read leaves the record alone and
  // makes the cell the pending invalid cell (false).
  bool SetEditText(int row, int column, const std::string& text);
  bool HasPendingCell() const { return pendingColumn_ >= 0; }
  int PendingRow() const { return pendingRow_; }
  int PendingColumn() const { return pendingColumn_; }
  void ClearPendingCell() { pendingColumn_ = -1; }

  // The menus: style 0 "E", 1 "F", 2 "H" (hidden), 3 "A"; digits 0 to 9.
  void SetStyle(int row, uint8_t style);
  void SetDigits(int row, int16_t digits);

  // False, with a beep, while a cell is pending (the dialog moves the
  // cursor to it). Otherwise each default that changed since FormActivate
  // reaches every variable of the current unit whose name begins with its
  // letter in either case, and, while recording, each changed letter gives
  // one "DEFVARINFO" line.
  bool Apply(MacroRecorder& recorder);
  // OK: Apply; on acceptance the copy is released and the document marked
  // changed.
  bool Accept(MacroRecorder& recorder);
  // Cancel: the copy goes back over LetterDefaults.
  void Cancel();
  // Store: refused (with a beep) while a cell is pending, so nothing is
  // written; then the file name is asked for (Cancelled changes nothing),
  // Apply runs and the 26 records are written. Failed: the I/O error was
  // reported and the dialog stays open.
  StoreResult Store(MacroRecorder& recorder, DviFileChooser& chooser);
  // Load: the 26 records of a chosen file replace LetterDefaults; a file
  // that cannot be read whole is reported and changes nothing. False when
  // nothing was loaded.
  bool Load(DviFileChooser& chooser);

  const std::array<TLetterDefaultRecord, 26>& Saved() const { return saved_; }

 private:
  void PushIntoVariables();
  void RecordMacroLines(MacroRecorder& recorder);
  void KeepFileName(const std::string& path);

  std::array<TLetterDefaultRecord, 26> saved_{};
  int pendingRow_ = 0;
  int pendingColumn_ = -1;
};

}  // namespace voq

#pragma once
// The table windows in the program: each kind's window made on first use
// in its WindowList slot (emptied when the window frees itself with its
// last table), the Windows menu items and tool buttons that show them, and
// the program's services that wait for them: the pending cell edit
// committed before a calculation, the windows closed by a document reset,
// $SUMROW's sum row of the open Parametric table, and the Equations
// window's font and tab stops after a document reset or $TABWIDTH.
#include <cstdint>
#include <functional>
#include <string>

#include "documents/document_files.h"
#include "platform/host.h"

namespace voq {

class TVOQ_D;
class TTableWindow;

class TTableWindows : public DocumentWindows, public DirectiveWindows, public DocumentFileWindows {
 public:
  // Wires the window items and tool buttons of window.
  explicit TTableWindows(TVOQ_D& window);
  ~TTableWindows() override;

  // Stands between the document reader and files (the File menu): a read
  // document's tables get their windows before files arranges the windows
  // the document shows.
  void FollowDocumentFiles(DocumentFileWindows& files);
  // Every kind with tables gets its window (hidden when new) and every
  // existing window shows its tables again.
  void OpenDocumentTableWindows();

  // The window of kind (1..4), made when its tables exist; nullptr when
  // the kind has no tables.
  TTableWindow* Window(int32_t kind);
  // Shows kind's window and brings it to the front.
  void ShowTableWindow(int32_t kind);

  // Tables > Store Parametric Table: the parametric table written to a
  // ".PAR" file (the selected tab's caption + ".par" proposed), its folder
  // added to the search path.
  void StoreParametricTable1Click();
  // Tables > Retrieve Parametic Table: a ".PAR" file read into the
  // parametric window, shown at its stored place and named after the file.
  void RetrieveParametricTable1Click();
  // Asks for a parametric table file: title, the proposed name in path,
  // save or open; false on cancel. The default runs the file dialog.
  std::function<bool(const std::string& title, std::string& path, bool save)> AskParametricTableFile;

  // DocumentWindows: every table window and its tables closed (not while
  // a library is being loaded; the caller checks).
  void CloseTableWindows() override;
  // DocumentWindows: the Residuals window hidden, the Debug window freed.
  void ResetResultWindows() override;
  // DocumentWindows: the settings of later parts back to their defaults
  // (the Insert/Modify Array dialog's place, size and last array name).
  void ResetOtherSettings() override;
  // DirectiveWindows: $SUMROW on the open Parametric table.
  void ApplyTableSumRow(bool on) override;
  // DirectiveWindows: the screen's logical pixels per inch, the density
  // the screen fonts are made at ($TABWIDTH converts with it).
  int32_t ScreenPixelsPerInch() override;
  // DirectiveWindows: after $TABWIDTH the Equations window sets its tab
  // stops again (the caret stays where it is).
  void ApplyEquationFontSettings() override;
  // DocumentWindows: a document reset gives the Equations window its font,
  // wrap and tab settings again, caret at the start.
  void ApplyEquationsFont() override;

  // DocumentFileWindows, passed on to the File menu.
  void RestoreMaximizedChild() override;
  void HideEquations() override;
  void ShowEquations() override;
  void SetDocumentCaption(const std::string& fileName) override;
  void ArrangeWindows(const TWindowArrangement& plan) override;

 private:
  // A table dialog of the Tables menu over kind's window: nothing without
  // the window, its pending cell edit committed first, and the window freed
  // when the dialog deleted its last table.
  void TableDialogCommand(int32_t kind, const std::function<void()>& run);
  // After a command on table: refreshed, or freed with its last table.
  void AfterTableCommand(TTableWindow* table, int32_t kind);

  TVOQ_D& window_;
  DocumentFileWindows* files_ = nullptr;
};

// The pending cell edit of the Parametric table window committed: false
// when it is refused (the calculation does not start).
bool CommitParametricTableEdit();

}  // namespace voq

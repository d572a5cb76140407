#pragma once
// Returning the document to a new, empty one: start-up, File/New, before a
// document file is read, and File/Exit (which sets ShuttingDown first, so
// that library units go too). The windows that show the document's results
// are reached through DocumentWindows; the default does nothing, which is
// right for the console front end and tests.
namespace voq {

class DocumentWindows {
 public:
  virtual ~DocumentWindows() = default;
  // The Diagram window hidden and emptied, its buttons back at their places.
  virtual void ResetDiagramWindow() {}
  // The Equations window takes its font settings again, selection at 0.
  virtual void ApplyEquationsFont() {}
  // Main window: Save item and caption of an empty document.
  virtual void ResetMainWindowCaptions() {}
  // Table windows (Parametric, Lookup, Arrays, Integral) and their lists;
  // not while a library file is loaded.
  virtual void CloseTableWindows() {}
  // Every plot disposed; not while a library file is loaded.
  virtual void DisposePlots() {}
  // Solution, Residuals and Formatted Equations scrolled to the top and
  // hidden, the Plot window closed, the Debug window freed.
  virtual void ResetResultWindows() {}
  // Loaded lookup files not marked to keep are freed.
  virtual void DisposeLookupFiles() {}
  // Routines of the document removed from the function table (library
  // routines stay unless shutting down).
  virtual void CompactFunctionTable() {}
  // The settings of later parts (optimisation, uncertainty, print set-up,
  // Help menu entries of libraries) back to their defaults.
  virtual void ResetOtherSettings() {}
};
DocumentWindows& DocumentResetWindows();
// Installs the windows (not owned); nullptr restores the default.
void SetDocumentWindows(DocumentWindows* windows);

// The document becomes new and empty.
void ResetDocument();
// Frees the loaded lookup files that are not marked to keep; with
// dropEquations the equations that read lookup files are compiled afresh at
// the next read.
void DisposeLookupFiles(bool dropEquations);

}  // namespace voq

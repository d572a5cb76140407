#pragma once
// Everything the engine needs of the program that hosts it: the platform
// services (alerts, keys, clipboard, file dialogs, the clock), the windows it
// reports to (Equations editor, Compiling window, Diagram inputs, the result
// and table windows a document reset empties, the windows the solve sequence
// opens, the progress display, the comment colouring) and the user's locale.
//
// A host (the Qt application, voq-solve, the tests) fills one THost record and
// hands it to StartEngine, which refuses a record with a service missing. The
// engine reaches each service through its accessor below. An accessor used
// before a host was installed reports the missing service on stderr and stops
// the program: a host that forgot a service must not run on silently.
//
// The interfaces' own method bodies do nothing; a host that has no such
// window installs the base class itself (QuietHostWindows), which is right for
// the console front end and tests.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/font_factory.h"
#include "platform/platform.h"

namespace voq {

struct TProgramUnitRecord;

// --- The child windows the engine reports to ------------------------------------

// What the engine needs of the child windows when it reports an equation
// error.
class WindowServices {
 public:
  virtual ~WindowServices() = default;
  // Whether the window (its number, the form's tag) exists.
  virtual bool WindowExists(int window) { return window == 1; }
  // Shows the window inside the main window and brings it to the front.
  virtual void ShowWindow(int /*window*/) {}
  // Shows the window, gives it the focus and repaints it.
  virtual void ShowAndFocus(int /*window*/) {}
  // The Equations editor keeps (false) or hides (true) its selection when it
  // loses the focus.
  virtual void SetEquationsHideSelection(bool /*hide*/) {}
  // Selects characters start..end-1 of the Equations text and scrolls so the
  // line holding start is in the middle of the editor.
  virtual void SelectEquationsText(int32_t /*start*/, int32_t /*end*/, int32_t /*line*/) {}
};

// The Equations window's text as the engine sees it.
class EquationsEditor {
 public:
  virtual ~EquationsEditor() = default;
  virtual std::string GetText() const = 0;
  virtual void SetText(const std::string& text) = 0;
  // Replaces the first occurrence of oldText by newText (an include file
  // chosen in the file dialog); false when oldText does not occur.
  virtual bool ReplaceText(const std::string& oldText, const std::string& newText) = 0;
  // Around a read: the window is locked against redrawing and its selection
  // and scroll position are kept and restored.
  virtual void BeginRead() {}
  virtual void EndRead(bool /*restoreView*/) {}
  // Merging a document: the caret's position in the text (CR LF counted)
  // and an insertion there, the caret left after the inserted text.
  virtual int32_t CaretPosition() const { return int32_t(GetText().size()); }
  virtual void InsertAtCaret(const std::string& text) { SetText(GetText() + text); }
  // Set while a document replaces the text: the editor's own processing of
  // changes (marking the document changed, colouring) is off meanwhile.
  virtual void SetLoading(bool /*loading*/) {}
};

// The editor of a host without an Equations window: the text in memory.
class InMemoryEquationsEditor : public EquationsEditor {
 public:
  std::string GetText() const override { return text_; }
  void SetText(const std::string& text) override {
    text_ = text;
    caret_ = 0;
  }
  bool ReplaceText(const std::string& oldText, const std::string& newText) override;
  int32_t CaretPosition() const override { return caret_; }
  void InsertAtCaret(const std::string& text) override;
  // Moves the caret (clamped to the text).
  void SetCaret(int32_t position);

 private:
  std::string text_;
  int32_t caret_ = 0;
};

// Shows the line being compiled and lets the user abort (AbortRequested,
// then error 58).
class CompilingWindow {
 public:
  virtual ~CompilingWindow() = default;
  virtual void Show() {}
  virtual void Hide() {}
  virtual bool Shown() const { return false; }
  virtual void Update(int32_t /*lineNumber*/) {}
};

// One input item of the Diagram window.
struct TDiagramInputItem {
  std::string VariableName;
  long double Value = 0;
  // A drop-down input: the selected entry's text; its string-constant index
  // becomes the value, and statements after "//" in it are compiled.
  bool HasDropDown = false;
  std::string SelectedEntry;
};

// The Diagram window's input items, read as extra equations.
class DiagramInputs {
 public:
  virtual ~DiagramInputs() = default;
  // The Diagram window is shown and its inputs are used.
  virtual bool UseInputs() const { return false; }
  // The input items (kind 1) in list order.
  virtual std::vector<TDiagramInputItem>& InputItems() { return none_; }
  // A variable or array renamed: in every drop-down entry holding "//",
  // the first occurrence of search after the "//" becomes replacement;
  // the selected entries stay selected.
  virtual void RenameInDropDowns(const std::string& /*search*/, const std::string& /*replacement*/) {}

 private:
  std::vector<TDiagramInputItem> none_;
};

// The windows a document reset returns to an empty document.
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
  // The Plot window's tabs closed; not while a library file is loaded. The
  // plot list itself is freed by the plot layer's document disposal
  // (session/document_reset.h), whatever the host.
  virtual void DisposePlots() {}
  // Solution, Residuals and Formatted Equations scrolled to the top and
  // hidden, the Plot window closed, the Debug window freed.
  virtual void ResetResultWindows() {}
  // Loaded lookup files not marked to keep are freed.
  virtual void DisposeLookupFiles() {}
  // The settings of later parts (optimisation, uncertainty, print set-up,
  // Help menu entries of libraries) back to their defaults.
  virtual void ResetOtherSettings() {}
};

// The windows and later commands the solve sequence reaches.
class SolveSequenceServices {
 public:
  virtual ~SolveSequenceServices() = default;
  // The Debug window explains unit (mode 0: an unbalanced set, 1: the
  // residual check); created when missing, shown and brought to the front.
  virtual void ShowDebugWindow(TProgramUnitRecord* /*unit*/, int /*mode*/) {}
  virtual void BringDebugWindowToFront() {}
  virtual void CloseFormattedEquations() {}
  // The Arrays table, brought to the front when asked.
  virtual void ShowArraysTable(bool /*bringToFront*/) {}
  // The warnings list, modally.
  virtual void ShowWarningsList() {}
  virtual void SetSolutionCaption(const std::string& /*caption*/) {}
  // Integration variables assigned (and removed from the unknowns).
  virtual void AssignIntegrationVars(TProgramUnitRecord* /*unit*/) {}
  // After a run: $SaveLookup files written.
  virtual void SaveLookupFilesAfterRun() {}
};

// The Equations editor's comment colouring.
class CommentPainter {
 public:
  virtual ~CommentPainter() = default;
  // Gives the characters first..last (positions of the text being read, both
  // included: the opening delimiter to the closing one) the colour and style
  // of the comment class (0 plain, 1 a comment beginning with "!").
  virtual void StyleCommentRange(int32_t /*first*/, int32_t /*last*/, int32_t /*styleClass*/) {}
  // Returns the whole text to plain black before a read paints it again.
  virtual void ClearCommentStyles() {}
};

// The texts of one redraw of the calculation progress display.
struct TProgressFigures {
  std::string Caption;        // "Calculation progress in Run 3", or "" for the default caption
  std::string SubProgram;     // the unit being solved; "" when only the main program exists
  std::string Block;          // block number followed by three blanks
  std::string Iteration;      // iteration number
  std::string Residual;       // largest relative residual, exponential with 4 digits, then " "
  std::string VariableChange; // largest change, the same way
  std::string Seconds;        // tenths of seconds as "12.3 sec" (".5 sec" below one second)
  bool Final = false;         // "Calculations Completed"
  // The grid of integration variables (or of an optimisation's independent
  // variables): its two headings, and one name and value per row. No
  // headings means the window shows no grid.
  std::string GridLabel1;
  std::string GridLabel2;
  struct TGridRow {
    std::string Name;
    std::string Value;
  };
  std::vector<TGridRow> Grid;
};

// The view of the progress display; the engine computes the texts.
class ProgressView {
 public:
  virtual ~ProgressView() = default;
  // The display opens for a solve and closes after it.
  virtual void Open() {}
  virtual void Close() {}
  // Show these figures (and let the window system run).
  virtual void Present(const TProgressFigures& /*figures*/) {}
  // Final display with the summary; Continue replaces Abort.
  virtual void PresentFinal(const TProgressFigures& /*figures*/, const std::string& /*summary*/) {}
  // Whether a Continue button exists that the final display waits for.
  virtual bool WaitsForContinue() const { return false; }
};

// What the directives change in the windows.
class DirectiveWindows {
 public:
  virtual ~DirectiveWindows() = default;
  // The screen's pixels per inch.
  virtual int32_t ScreenPixelsPerInch() { return 96; }
  // The Equations window takes the font and tab settings again.
  virtual void ApplyEquationFontSettings() {}
  // $ARRAY OFF: the Arrays table window is freed when it exists.
  virtual void FreeArraysWindow() {}
  // $SUMROW changed the option: the Parametric table window, when it
  // exists, adds or removes its sum and average row.
  virtual void ApplyTableSumRow(bool /*on*/) {}
};

// What the problem summary needs of the windows and the preferences.
class ProblemSummaryEnvironment {
 public:
  virtual ~ProblemSummaryEnvironment() = default;
  // The Diagram window is shown.
  virtual bool DiagramShown() const { return false; }
  // Input items in the Diagram window's item list.
  virtual int32_t DiagramInputCount() const { return 0; }
  // The preference "Do complex algebra".
  virtual bool ComplexAlgebra() const { return false; }
};

// The user's locale language as its abbreviated name (upper case, e.g.
// "ENU", "FRA").
using LocaleLanguageReader = std::string (*)();
// The console reading: from the environment's locale settings (LC_ALL,
// LC_MESSAGES, LANG).
std::string EnvironmentLocaleLanguage();

// The system's decimal separator, as the user's regional settings give it.
// Start-up takes it to choose the number and separator characters of the
// equations; a host that has no such setting answers '.'.
using DecimalSeparatorReader = char (*)();
char PointDecimalSeparator();

// --- The record -------------------------------------------------------------------

// One host's services; none is owned by the record.
struct THost {
  PlatformServices* Platform = nullptr;
  WindowServices* Windows = nullptr;
  EquationsEditor* Equations = nullptr;
  CompilingWindow* Compiling = nullptr;
  DiagramInputs* Diagram = nullptr;
  DocumentWindows* Documents = nullptr;
  SolveSequenceServices* SolveWindows = nullptr;
  CommentPainter* Comments = nullptr;
  ProgressView* Progress = nullptr;
  DirectiveWindows* Directives = nullptr;
  ProblemSummaryEnvironment* Summary = nullptr;
  LocaleLanguageReader LocaleLanguage = nullptr;
  FontFactory* Fonts = nullptr;
  DecimalSeparatorReader SystemDecimalSeparator = nullptr;
};

// The name of the first service the record lacks, or "" when it is complete.
std::string MissingHostService(const THost& host);
// Makes host the installed record (a complete one: see MissingHostService)
// and the one RestoreInstalledHost returns to.
void InstallHost(const THost& host);
// Every service back to the installed record's (a test that swapped one).
void RestoreInstalledHost();
// The record in force now.
const THost& CurrentHost();

// The accessors the engine uses.
PlatformServices& Platform();
WindowServices& Windows();
EquationsEditor& Equations();
CompilingWindow& Compiling();
DiagramInputs& Diagram();
DocumentWindows& DocumentResetWindows();
SolveSequenceServices& SolveServices();
CommentPainter& CommentPaint();
ProgressView& Progress();
DirectiveWindows& DirectiveWindowServices();
const ProblemSummaryEnvironment& SummaryEnvironment();
std::string LocaleLanguageName();
FontFactory& Fonts();
char SystemDecimalSeparator();

// Swapping one service for a while (a test's fake, a nested read's editor);
// nullptr puts back the installed record's.
void SetPlatform(PlatformServices* services);
void SetWindows(WindowServices* services);
void SetEquationsEditor(EquationsEditor* editor);
void SetCompilingWindow(CompilingWindow* window);
void SetDiagramInputs(DiagramInputs* diagram);
void SetDocumentWindows(DocumentWindows* windows);
void SetSolveSequenceServices(SolveSequenceServices* services);
void SetCommentPainter(CommentPainter* painter);
void SetProgressView(ProgressView* view);
void SetDirectiveWindows(DirectiveWindows* windows);
void SetProblemSummaryEnvironment(ProblemSummaryEnvironment* environment);
void SetLocaleLanguageReader(LocaleLanguageReader reader);
void SetFontFactory(FontFactory* fonts);
void SetDecimalSeparatorReader(DecimalSeparatorReader reader);

// Installs platform services for the lifetime of a scope and restores the
// previous ones.
class ScopedPlatform {
 public:
  explicit ScopedPlatform(PlatformServices& services);
  ~ScopedPlatform();
  ScopedPlatform(const ScopedPlatform&) = delete;
  ScopedPlatform& operator=(const ScopedPlatform&) = delete;

 private:
  PlatformServices* previous_;
};

// A host without windows: every window service is the do-nothing base, the
// editor keeps its text in memory. The console front end and the tests
// build their records on it.
struct QuietHostWindows {
  WindowServices Windows;
  InMemoryEquationsEditor Equations;
  CompilingWindow Compiling;
  DiagramInputs Diagram;
  DocumentWindows Documents;
  SolveSequenceServices SolveWindows;
  CommentPainter Comments;
  ProgressView Progress;
  DirectiveWindows Directives;
  ProblemSummaryEnvironment Summary;
  FixedMetricsFontFactory Fonts;
  // A record with these windows and the given platform services; the
  // decimal separator is '.'.
  THost Record(PlatformServices& platform);
};

}  // namespace voq

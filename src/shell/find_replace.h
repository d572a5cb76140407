#pragma once
// Find and Replace over the Equations window's text and the Residuals
// window's lines: the search itself, the Equations window's Find and
// Replace, the models of the Find and Replace dialogs (which share their
// find text) and the Search menu's Find Next. Free of Qt: the editor and
// the Residuals window are reached through the interfaces below, in engine
// positions (a line break is CR LF, two characters; the editor's view maps
// them through EditorPositionMap), so all of it is tested headless.
#include <cstdint>
#include <string>
#include <vector>

namespace voq {

// The longest find or replace text the dialogs keep.
inline constexpr size_t kMaxFindTextLength = 255;
// The window tag that sends the Find dialog to the Residuals window.
inline constexpr int32_t kResidualsSearchTarget = 3;

struct TFindOptions {
  bool WholeWord = false;
  bool MatchCase = false;
};

// A range of the engine text: Start, Length characters.
struct TTextRange {
  int32_t Start = 0;
  int32_t Length = 0;
};

// The Equations editor as the search sees it.
class SearchEditor {
 public:
  virtual ~SearchEditor() = default;
  // The whole text, lines separated by CR LF.
  virtual std::string Text() const = 0;
  virtual int32_t SelStart() const = 0;
  virtual int32_t SelLength() const = 0;
  virtual void Select(int32_t start, int32_t length) = 0;
  // Replaces every range (ascending, apart, positions in the current text)
  // by text, as one edit; the caret ends after the last inserted text.
  virtual void ReplaceRanges(const std::vector<TTextRange>& ranges, const std::string& text) = 0;
  // The Equations window takes the focus.
  virtual void FocusEditor() {}
  virtual void RepaintEditor() {}
};

// The Residuals window's own search over its lines: from the first line
// unless fromCurrent; notFound is set when nothing matched (the window beeps).
class ResidualSearch {
 public:
  virtual ~ResidualSearch() = default;
  virtual void Find(const std::string& text, bool fromCurrent, bool& notFound, bool wholeWords,
                    bool matchCase) = 0;
};

// A character that can be part of a word (letters of Windows-1252, digits,
// "_"): the whole-word search wants none of them on either side of a match.
bool IsWordCharacter(char c);
// The first occurrence of wanted in text at or after from, or -1. Letter
// case is ignored unless MatchCase; with WholeWord the match must stand
// between non-word characters. An empty wanted finds nothing.
int32_t FindInText(const std::string& text, const std::string& wanted, int32_t from, TFindOptions options);
// The engine position one character after position (a CR LF pair is one
// character), held to the text.
int32_t NextCharacterPosition(const std::string& text, int32_t position);
// Collapses the selection to a caret one character after its start.
void MoveCaretPastSelectionStart(SearchEditor& editor);

// TEquationForm.Find: searches from the selection's start to the end; a
// match is selected and the window focused; a miss beeps and keeps the
// selection. Gives whether text was found.
bool EquationFind(SearchEditor& editor, const std::string& text, TFindOptions options);
// TEquationForm.Replace: a selection equal to findText (letter case never
// counts here) is replaced; then the next occurrence is searched from the
// selection's start, and with all each occurrence is replaced, the search
// resuming right after the inserted text. Beeps when the last search found
// nothing. Gives the number of replacements.
int32_t EquationReplace(SearchEditor& editor, const std::string& findText, const std::string& replaceText,
                        TFindOptions options, bool all);

class TReplaceDialogModel;

// The Find dialog's model (TFindDialog): its fields and the state of its
// controls as the view shows them.
class TFindDialogModel {
 public:
  TFindDialogModel();

  // Fields.
  bool FirstSearch = true;
  TFindOptions Options;
  bool FromCursor = true;
  std::string FindText;
  int32_t TargetWindow = 1;
  // Controls.
  std::string FindWhat;
  bool WholeWordChecked = false;
  bool MatchCaseChecked = false;
  bool CursorPosChecked = true;  // false: "Top of file"
  bool StartAtVisible = true;
  std::string CancelCaption = "Cancel";

  // The Replace dialog that shares the find text.
  TReplaceDialogModel* Partner = nullptr;

  void FormActivate();
  // Find Next (and Enter in the dialog). The editor or residuals may be
  // absent: nothing is searched then.
  void FindNextClick(SearchEditor* editor, ResidualSearch* residuals);
  void TopRBClick() {
    FirstSearch = true;
    CursorPosChecked = false;
  }
  void CursorPosRBClick() { CursorPosChecked = true; }
};

// The Replace dialog's model (TReplaceDialog).
class TReplaceDialogModel {
 public:
  TReplaceDialogModel();

  bool FirstSearch = true;
  TFindOptions Options;
  bool FromCursor = true;
  std::string FindText;
  std::string ReplaceText;
  // Controls.
  std::string FindWhat;
  std::string ReplaceWith;
  bool WholeWordChecked = false;
  bool MatchCaseChecked = false;
  bool CursorPosChecked = true;
  std::string CancelCaption = "Cancel";

  TFindDialogModel* Partner = nullptr;

  void FormActivate();
  // Reads the controls into the fields (GetInfo).
  void GetInfo(SearchEditor& editor);
  void FindNextClick(SearchEditor& editor);
  void ReplaceClick(SearchEditor& editor);
  void ReplaceAllClick(SearchEditor& editor);
  void TopRBClick() {
    FirstSearch = true;
    CursorPosChecked = false;
  }
  void CursorPosRBClick() { CursorPosChecked = true; }
};

// Both dialogs, made once for the program's run and linked.
struct TSearchDialogs {
  TSearchDialogs() {
    Find.Partner = &Replace;
    Replace.Partner = &Find;
  }
  TSearchDialogs(const TSearchDialogs&) = delete;
  TSearchDialogs& operator=(const TSearchDialogs&) = delete;

  TFindDialogModel Find;
  TReplaceDialogModel Replace;
  // Which Search command ran last: Find Next repeats it.
  bool LastWasFind = false;
  bool LastWasReplace = false;

  // The Search menu's Find Next (F12) in the Equations window (editor) or
  // the Residuals window (residuals); either may be absent.
  void Next1Click(SearchEditor* editor, ResidualSearch* residuals);
};

// Cuts a dialog's text to the longest the dialogs keep.
std::string CutFindText(const std::string& text);

}  // namespace voq

#pragma once
// The Equations editor's logic that does not need a screen: the two ways of
// counting positions in the equation text, the line-start table of a read,
// the Comment command's edit, the mark of an unmatched parenthesis, the tab
// stops, the length limit and the Copy command's macro line.
//
// Positions. The engine reads the text with CR LF line breaks and counts
// two characters for each; the editor widget keeps one character per line
// break. Every position that crosses between the two (an error's range, a
// comment's range, a scroll target, a copied selection) goes through
// EditorPositionMap. Text on the editor's side is UTF-16 (std::u16string),
// so a position there is a widget position exactly.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace voq {

// The most characters the user can put into the Equations editor.
inline constexpr int32_t kEquationTextLimit = 196608;
// The most lines whose start a read records.
inline constexpr int32_t kLineStartTableSize = 16384;

class EditorPositionMap {
 public:
  EditorPositionMap() = default;
  // From the editor's text, where each '\n' (or U+2029, the paragraph
  // separator a widget may hand out) is one line break.
  explicit EditorPositionMap(const std::u16string& editorText);
  // From the editor positions of its line breaks (ascending) and its length.
  EditorPositionMap(std::vector<int32_t> editorBreaks, int32_t editorLength);

  int32_t EditorLength() const { return editorLength_; }
  int32_t EngineLength() const { return editorLength_ + static_cast<int32_t>(breaks_.size()); }
  int32_t LineCount() const { return static_cast<int32_t>(breaks_.size()) + 1; }

  // engine = editor + the line breaks before it. Out-of-range positions are
  // held to the text.
  int32_t EngineFromEditor(int32_t editor) const;
  // The inverse; an engine position between the CR and the LF of a break
  // maps to the start of the next line (a range ending there keeps its
  // break).
  int32_t EditorFromEngine(int32_t engine) const;
  // The zero-based hard line holding an engine position.
  int32_t LineOfEngine(int32_t engine) const;
  // The engine position at which hard line `line` starts (held to the
  // text's lines).
  int32_t EngineLineStart(int32_t line) const;

 private:
  std::vector<int32_t> breaks_;  // editor positions of the line breaks
  int32_t editorLength_ = 0;
};

// The start of every line of an engine text (CR LF breaks count two), at
// most kLineStartTableSize entries; entry 0 is 0.
std::vector<int32_t> BuildLineStartTable(const std::string& engineText);

// The Comment command on the editor's text and selection.
struct TCommentEdit {
  enum Kind { kNothing, kUncomment, kComment };
  Kind Action = kNothing;
  // kUncomment: the "}" at Close and the "{" at Open are deleted.
  // kComment: "}" is inserted at Close, then "{" at Open.
  int32_t Open = 0;
  int32_t Close = 0;
  // The text to restyle after the edit, first..last inclusive (editor
  // positions in the edited text): kUncomment the former comment's text
  // (plain black), kComment the new comment with its braces (type 1).
  int32_t StyleFirst = 0;
  int32_t StyleLast = -1;
};
TCommentEdit PlanCommentToggle(const std::u16string& text, int32_t selStart, int32_t selLength);
// The edit applied to a text (the widget makes the same edit with its cursor).
std::u16string ApplyCommentEdit(std::u16string text, const TCommentEdit& edit);

// The selection the context menu works on: trailing characters whose code
// is below 14 (line breaks, tabs) dropped; the new length.
int32_t TrimSelectionEnd(const std::u16string& text, int32_t selStart, int32_t selLength);
// The context menu's caption for item 0 on a (trimmed) selection.
std::string CommentCaption(const std::u16string& selected);

// The unmatched parenthesis to mark on one display line (its first 255
// characters): the innermost unclosed "(" or the first surplus ")"; the
// zero-based index in the line, -1 when the line balances.
int32_t UnmatchedParenthesis(const std::u16string& displayLine);

// Tab stops 1 to 15 in points from the tab-width preference (100 x the
// width) and the screen's pixels per inch.
std::array<int32_t, 15> EditorTabStopsPoints(int32_t tabWidthPreference, int32_t pixelsPerInch);

// How many characters of an insertion fit when `selectedLength` of a text of
// `textLength` are replaced: the insertion is cut at kEquationTextLimit.
int32_t InsertionRoom(int32_t textLength, int32_t selectedLength, int32_t insertLength);

// The macro line of the Copy command for an engine range start..start+length,
// columns counted from the line starts the last read recorded (the map's own
// line start where the table has no entry).
std::string CopyMacroLine(const EditorPositionMap& map, const std::vector<int32_t>& lineStartTable,
                          int32_t engineStart, int32_t engineLength);

// Records the Copy command's macro line while a macro is being recorded:
// the Macro window's text grows by one line.
class MacroRecorder {
 public:
  virtual ~MacroRecorder() = default;
  virtual bool Recording() const = 0;
  virtual void AppendLine(const std::string& line) = 0;
};

}  // namespace voq

#pragma once
// State of the equation reader: the copy of the Equations window text being
// read, the line and comment state carried from one statement to the next,
// and the comment records a read leaves for the Formatted Equations window.
// The compile-pass flags shared with the statement compiler
// (ReadingIncludedText, MainStatementSeen, ModuleNesting, PendingUnits) live
// in language/language_state.h.
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace voq {

// Positions in the Equations text count two characters for every line break
// (CR LF), as the editor's own positions do. Every position the reader hands
// out (CalcErrorStart, CalcErrorEnd, comment records, line starts) follows
// this convention; EquationTextBuffer always holds CR LF breaks.
inline constexpr int32_t kLineBreakLength = 2;
// A window line, or a joined continued statement, may hold at most this many
// characters once its comments are left out.
inline constexpr int32_t kMaxLineLength = 253;

// The copy of the Equations window text taken at the start of a read, and its
// length plus one (the terminating zero of the text the editor hands over).
extern std::string EquationTextBuffer;
extern int32_t EquationTextLength;
// Start position of every text line read so far: entry k is where line k
// (0-based) begins; the entry after the last line read is its end + 2.
extern std::vector<int32_t> EquationLineStarts;
// Line of the Equations window being compiled: 0-based line of the
// statement's first character, plus 1 once its first statement is prepared;
// -99 while Diagram input statements are made.
extern int32_t EquationLineNo;
// Statements made from the Diagram window's drop-down inputs, waiting to be
// compiled.
extern std::deque<std::string> PendingStatements;

// Comment state: 0 outside comments, 1 inside a brace comment, 2 inside a
// quote comment.
extern uint8_t CommentKind;

// The part of the comment state kept by the reader across lines.
struct TCommentScanState {
  int32_t commentDepth = 0;  // open comment levels
  int32_t commentStart = 0;  // position of the opening delimiter of the outermost open comment
  int32_t scanOffset = 0;    // characters of the statement before the text still being scanned
};
extern TCommentScanState CommentScan;

// One completed comment of the Equations window text.
struct TCommentRecord {
  int32_t start = 0;           // first character inside the comment
  int32_t end = 0;             // the closing delimiter
  uint8_t isQuoteComment = 0;  // 1 quote comment, 0 brace comment
  uint8_t reserved = 0;
  int32_t checksum = 0;     // quote comments: byte sum of start..end; 0 for braces
  int32_t windowData1 = 0;  // attached by the Formatted Equations window
  int32_t windowData2 = 0;
  int32_t styleClass = 0;  // 1 when the comment begins with "!"
};
// The comments of the current read, in text order.
extern std::vector<TCommentRecord> CommentRecordList;
// The comments of the previous read that carry window data, waiting to hand it
// to an identical quote comment of this read.
extern std::vector<TCommentRecord> KeptCommentRecordList;

// Where the reader stands in EquationTextBuffer. A nested read (a library
// file read through the Equations window) saves and restores the whole
// structure together with the buffer.
struct TTextReaderState {
  int32_t position = 0;    // position of the next line
  std::string restOfLine;  // the part of a line behind a statement separator
  int32_t restStart = 0;   // CalcErrorStart / CalcErrorEnd of restOfLine
  int32_t restEnd = 0;
  bool restFromList = false;  // restOfLine belongs to a Diagram statement
  bool textUsedUp = false;    // only Diagram statements are left
  // Line counting resumes from here, so finding the line of each position
  // costs time proportional to the text read, not to the text before it.
  int32_t lineCursorPosition = 0;
  int32_t lineCursorLine = 0;
};
extern TTextReaderState TextReader;

// A directive asks for the text to be read a second time (after a changed
// reference state); the compile pass reads again when it is set.
extern bool RecompileRequested;
// The text of this read's $IntegralTable directive (at most 255 characters).
extern std::string IntegralTableDirective;

}  // namespace voq

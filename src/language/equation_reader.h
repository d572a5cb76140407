#pragma once
// Reading the Equations window text into statements: lines up to CR LF,
// continuation lines ending in "&", the line length limit (error 42, which
// comments may rescue), the Diagram window's pending statements, statement
// separators, and the preparation of each statement for dispatch (control
// characters blanked, comments cut out, blanks trimmed).
//
// The compile driver uses it so:
//   ResetCommentState(); BeginEquationText(windowText);
//   while (NextEquationLine(line, fromList)) {
//     if (!fromList && IsIncludeLine(line)) { include the file; continue; }
//     SplitAndCleanStatement(line);
//     if (CalcErrorCode == 0 && !line.empty()) dispatch line
//       (positions CalcErrorStart/CalcErrorEnd, line EquationLineNo);
//   }
//   CalcErrorCode 42 after the loop: show it with the positions set;
//   at the end of an error-free read: CheckCommentsClosed() (error 17).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "language/reader_state.h"

namespace voq {

// The text with every line break (CR LF, a lone CR or a lone LF) written as
// CR LF, the form whose positions the reader counts.
std::string NormalizeLineBreaks(std::string_view text);

// Takes a copy of the window text into EquationTextBuffer and starts reading
// it from its first line. False (error 75) when there is no memory for it.
bool BeginEquationText(std::string_view windowText);

// 0-based index of the text line of EquationTextBuffer that holds position.
int32_t LineOfChar(int32_t position);

// The next line of the text, or the first pending Diagram statement once a
// main-program equation exists and no MODULE body is open. fromList tells
// which. A line longer than kMaxLineLength is accepted when leaving out its
// comments brings it to that length; effectiveLength is its length so
// counted. Otherwise error 42 (with CalcErrorStart/CalcErrorEnd on the line)
// and an empty line. An empty line also means the end of the text.
void ReadEquationLine(bool& fromList, std::string& line, int32_t& effectiveLength);

// The next statement to prepare: the rest of the last line behind its
// separator, or the next non-empty line with its continuation lines joined;
// once the text is used up, the Diagram statements still waiting. Sets
// CalcErrorStart, CalcErrorEnd (-1 for a Diagram statement),
// EquationLineNo (0-based line; SplitAndCleanStatement makes it 1-based for the
// first statement of a line) and DiagramInputStatement. False at the end,
// when AbortRequested or CalcErrorCode is set, or on error 42.
bool NextEquationLine(std::string& line, bool& fromList);

// The line is an $INCLUDE directive (outside any comment). The driver
// includes the file instead of preparing the line; NextEquationLine has then
// already dropped such a line from the rest of a line.
bool IsIncludeLine(const std::string& line);

// 1-based position of the statement separator that ends the first statement
// of line, 0 when none: ";", or ":" when the decimal separator is a comma,
// where labels ("10:"), ":=", quoted texts, CALL, PROCEDURE, MODULE and
// $IntegralTable are not split and a final ":" is deleted.
int32_t FindStatementSeparator(std::string& line);

// The statement separator of the current decimal separator.
char StatementSeparatorChar();

// The first line feed, the first Ctrl-Z, every tab and every NUL become blanks.
void BlankControlChars(std::string& text);

// Splits off the rest of the line behind the statement separator (kept for
// the next call of NextEquationLine), counts the line, blanks control
// characters, cuts out the comments and trims the blanks. Leaves
// CalcErrorStart/CalcErrorEnd on the statement. An empty result is nothing to
// compile.
void SplitAndCleanStatement(std::string& statement);

// At the end of a read: a comment still open is error 17 selecting from its
// opening delimiter to the end of the text. True when that error was set.
bool CheckCommentsClosed();

// One prepared statement of a text.
struct TReadStatement {
  std::string text;        // ready for dispatch: no comments, trimmed
  int32_t start = 0;       // CalcErrorStart
  int32_t end = 0;         // CalcErrorEnd
  int32_t lineNo = 0;      // EquationLineNo
  bool isInclude = false;  // an $INCLUDE line, not opened here (text as read)
};

// Reads a whole window text into its statements without compiling them (the
// reading loop above with nothing dispatched). Stops at the first error
// (CalcErrorCode) with the positions of the error set, including error 17 at
// the end.
std::vector<TReadStatement> ReadStatementsOfText(std::string_view windowText);

}  // namespace voq

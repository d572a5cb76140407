#include "language/equation_reader.h"

#include <algorithm>
#include <new>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/program_flags.h"
#include "language/comments.h"
#include "language/statement_compiler.h"
#include "model/store_state.h"

namespace voq {

namespace {

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string_view TrimLeft(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsBlankOrControl(text[i])) ++i;
  return text.substr(i);
}

void Trim(std::string& text) {
  size_t first = 0;
  while (first < text.size() && IsBlankOrControl(text[first])) ++first;
  size_t last = text.size();
  while (last > first && IsBlankOrControl(text[last - 1])) --last;
  if (first > 0 || last < text.size()) text = text.substr(first, last - first);
}

// text begins with word, upper-cased comparison.
bool BeginsWithWord(std::string_view text, std::string_view word) {
  if (text.size() < word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i)
    if (UpperAscii(text[i]) != word[i]) return false;
  return true;
}

// Length of the text line that begins at position (up to its CR LF or the
// end of the text).
int32_t LineLengthAt(int32_t position) {
  size_t lineEnd = EquationTextBuffer.find("\r\n", size_t(position));
  if (lineEnd == std::string::npos) lineEnd = EquationTextBuffer.size();
  return int32_t(lineEnd - size_t(position));
}

bool TextLeft() {
  return TextReader.position < EquationTextLength &&
         size_t(TextReader.position) <= EquationTextBuffer.size();
}

void NoteLineStart(int32_t line, int32_t start) {
  if (line < 0) return;
  try {
    if (EquationLineStarts.size() <= size_t(line) + 1)
      EquationLineStarts.resize(size_t(line) + 2, 0);
    EquationLineStarts[size_t(line)] = start;
    EquationLineStarts[size_t(line) + 1] = start + LineLengthAt(start) + kLineBreakLength;
  } catch (const std::bad_alloc&) {
    // The table only serves the editor; a read goes on without it.
  }
}

// The window line at TextReader.position (not consumed). A long line is
// accepted when its comments bring it within the limit. The line itself is
// kept whole, so that the positions of its statements and comments stay those
// of the window text; it is stripped like any other when its statements are
// prepared.
void ReadTextLine(std::string& line, int32_t& effectiveLength) {
  line.clear();
  effectiveLength = 0;
  if (!TextLeft()) return;
  const int32_t position = TextReader.position;
  const int32_t n = LineLengthAt(position);
  NoteLineStart(LineOfChar(position), position);
  if (n == 0) return;
  try {
    line.assign(EquationTextBuffer, size_t(position), size_t(n));
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
    return;
  }
  effectiveLength = n;
  if (n <= kMaxLineLength) return;
  effectiveLength = StrippedLength(line);
  if (effectiveLength > kMaxLineLength) {
    // The error selects the line, which may continue a statement begun above.
    CalcErrorCode = kMsgLineTooLong;
    CalcErrorStart = position;
    CalcErrorEnd = CalcErrorStart + kMaxLineLength;
    EquationLineNo = LineOfChar(position) + 1;
    line.clear();
    effectiveLength = 0;
  }
}

// The next line from the same source as the statement being continued: a
// window line is joined with the next window line (never with a pending
// Diagram statement), a Diagram statement with the next Diagram statement.
void ReadContinuationLine(bool fromList, std::string& line, int32_t& effectiveLength) {
  line.clear();
  effectiveLength = 0;
  if (!fromList) {
    ReadTextLine(line, effectiveLength);
    return;
  }
  if (!PendingStatements.empty()) {
    line = std::move(PendingStatements.front());
    PendingStatements.pop_front();
    effectiveLength = int32_t(line.size());
  }
}

}  // namespace

std::string NormalizeLineBreaks(std::string_view text) {
  std::string result;
  result.reserve(text.size() + text.size() / 32);
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      result += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      result += "\r\n";
    } else {
      result += c;
    }
  }
  return result;
}

bool BeginEquationText(std::string_view windowText) {
  try {
    EquationTextBuffer = NormalizeLineBreaks(windowText);
    EquationLineStarts.assign(1, 0);
  } catch (const std::bad_alloc&) {
    EquationTextBuffer.clear();
    EquationTextLength = 0;
    ReportOutOfMemory();
    return false;
  }
  EquationTextLength = int32_t(EquationTextBuffer.size()) + 1;
  TextReader = TTextReaderState{};
  return true;
}

int32_t LineOfChar(int32_t position) {
  if (position < 0) return 0;
  TTextReaderState& r = TextReader;
  if (position < r.lineCursorPosition) {
    r.lineCursorPosition = 0;
    r.lineCursorLine = 0;
  }
  const size_t limit = std::min(size_t(position), EquationTextBuffer.size());
  size_t from = size_t(r.lineCursorPosition);
  while (from < limit) {
    const size_t cr = EquationTextBuffer.find("\r\n", from);
    if (cr == std::string::npos || cr >= limit) break;
    ++r.lineCursorLine;
    from = cr + kLineBreakLength;
  }
  // Resume at the last line start found, so that a later, larger position
  // counts only the breaks behind it.
  r.lineCursorPosition = int32_t(std::min(from, limit));
  return r.lineCursorLine;
}

void ReadEquationLine(bool& fromList, std::string& line, int32_t& effectiveLength) {
  fromList = false;
  line.clear();
  effectiveLength = 0;
  if (!PendingStatements.empty() && MainStatementSeen && ModuleNesting == 0) {
    line = std::move(PendingStatements.front());
    PendingStatements.pop_front();
    fromList = true;
    effectiveLength = int32_t(line.size());
    return;
  }
  ReadTextLine(line, effectiveLength);
}

bool NextEquationLine(std::string& line, bool& fromList) {
  line.clear();
  fromList = false;
  TTextReaderState& r = TextReader;
  for (;;) {
    if (CalcErrorCode != 0 || AbortRequested) return false;
    if (!r.restOfLine.empty()) {
      // The rest stays in restOfLine until SplitAndCleanStatement splits it again:
      // that is how a statement knows it does not begin a line.
      line = r.restOfLine;
      CalcErrorStart = r.restStart;
      CalcErrorEnd = r.restEnd;
      fromList = r.restFromList;
      DiagramInputStatement = fromList;
      // An $INCLUDE is never prepared, so it must not stay here to be read
      // again and again.
      if (!fromList && IsIncludeLine(line)) r.restOfLine.clear();
      return true;
    }
    if (!TextLeft()) {
      // The text is used up; the Diagram statements still waiting follow,
      // unless a MODULE body is left open (the end-of-text checks report it).
      if (!r.textUsedUp) {
        r.textUsedUp = true;
        MainStatementSeen = true;
      }
      if (PendingStatements.empty() || ModuleNesting != 0) return false;
    }

    int32_t effective = 0;
    ReadEquationLine(fromList, line, effective);
    if (CalcErrorCode != 0) return false;
    if (line.empty()) {
      if (!fromList) r.position += kLineBreakLength;
      continue;
    }

    int32_t statementEnd = -1;
    if (!fromList) {
      CalcErrorStart = r.position;
      EquationLineNo = LineOfChar(r.position);
      r.position += int32_t(line.size()) + kLineBreakLength;
      statementEnd = r.position - kLineBreakLength;
    }

    // Blanks after the final "&" are invisible in the editor: the line
    // still continues.
    auto continues = [](std::string& text, int32_t& length) {
      const size_t last = text.find_last_not_of(" \t");
      if (last == std::string::npos || text[last] != '&') return false;
      const int32_t dropped = int32_t(text.size() - last);
      text.resize(last);
      length = std::max<int32_t>(0, length - dropped);
      return true;
    };
    while (continues(line, effective)) {
      ++EquationLineNo;
      std::string next;
      int32_t nextEffective = 0;
      const int32_t nextStart = r.position;
      ReadContinuationLine(fromList, next, nextEffective);
      if (CalcErrorCode != 0) return false;
      if (effective + nextEffective > kMaxLineLength) {
        CalcErrorCode = kMsgLineTooLong;
        CalcErrorEnd = fromList ? -1 : nextStart + int32_t(next.size());
        if (fromList) CalcErrorStart = -1;
        line.clear();
        return false;
      }
      if (!fromList) {
        r.position += int32_t(next.size()) + kLineBreakLength;
        statementEnd = r.position - kLineBreakLength;
      }
      line += next;
      effective += nextEffective;
    }

    if (fromList) {
      // A Diagram statement has no place in the window text.
      CalcErrorStart = -1;
      CalcErrorEnd = -1;
    } else {
      // The end of the last joined line: for a joined statement the
      // statement's length leaves out the dropped "&" and line breaks.
      CalcErrorEnd = statementEnd;
    }
    DiagramInputStatement = fromList;
    return true;
  }
}

bool IsIncludeLine(const std::string& line) {
  return CommentScan.commentDepth == 0 && BeginsWithWord(line, "$INCLUDE");
}

char StatementSeparatorChar() { return StatementSeparator; }

int32_t FindStatementSeparator(std::string& line) {
  const char separator = StatementSeparatorChar();
  if (separator != ':') {
    const size_t i = line.find(separator);
    return i == std::string::npos ? 0 : int32_t(i) + 1;
  }
  // With a comma decimal separator ":" also marks labels, ":=" and the
  // ranges of CALL arguments, so only a ":" that cannot be one of those
  // separates statements.
  const std::string_view trimmed = TrimLeft(line);
  if (BeginsWithWord(trimmed, "CALL") || BeginsWithWord(trimmed, "PROCEDURE") ||
      BeginsWithWord(trimmed, "MODULE"))
    return 0;
  const bool integralTable =
      trimmed.size() >= 14 && BeginsWithWord(trimmed.substr(1), "INTEGRALTABLE");
  // Indentation does not make a label an equation.
  const size_t indent = line.size() - trimmed.size();
  bool quoted = false;
  bool nonDigitSeen = false;
  for (size_t i = indent; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '\'') {
      quoted = !quoted;
    } else if (c == ':' && !quoted) {
      if (i + 1 == line.size()) {
        line.pop_back();
        return 0;
      }
      if (nonDigitSeen && !integralTable && line[i + 1] != '=') return int32_t(i) + 1;
    }
    if (!((c >= '0' && c <= '9') || c == DecimalSeparator)) nonDigitSeen = true;
  }
  return 0;
}

void BlankControlChars(std::string& text) {
  bool lineFeedSeen = false;
  bool ctrlZSeen = false;
  for (char& c : text) {
    if (c == '\t' || c == '\0') {
      c = ' ';
    } else if (c == '\n' && !lineFeedSeen) {
      lineFeedSeen = true;
      c = ' ';
    } else if (c == '\x1a' && !ctrlZSeen) {
      ctrlZSeen = true;
      c = ' ';
    }
  }
}

void SplitAndCleanStatement(std::string& statement) {
  TTextReaderState& r = TextReader;
  const int32_t p = FindStatementSeparator(statement);
  if (r.restOfLine.empty() && !ReadingIncludedText) ++EquationLineNo;
  // The lines of an included text file are not in the window text; every
  // statement of them selects the $INCLUDE statement, whose positions a
  // separator offset within the file's line must not move.
  const bool includedLine = ReadingIncludedText && !LoadingLibrary;
  if (p > 0) {
    r.restOfLine = statement.substr(size_t(p));
    if (CalcErrorStart >= 0 && includedLine) {
      r.restStart = CalcErrorStart;
      r.restEnd = CalcErrorEnd;
    } else if (CalcErrorStart >= 0) {
      r.restStart = CalcErrorStart + p;
      r.restEnd = CalcErrorEnd;
      CalcErrorEnd = CalcErrorStart + p - 1;
    } else {
      // The rest of a Diagram statement has no window position either.
      r.restStart = -1;
      r.restEnd = -1;
    }
    r.restFromList = DiagramInputStatement;
    statement.resize(size_t(p - 1));
  } else {
    r.restOfLine.clear();
  }

  BlankControlChars(statement);
  CommentScan.scanOffset = 0;
  const std::string copy = statement;
  StripComments(statement);
  // A statement that follows a separator and begins with a quote comment is
  // selected from behind its comments.
  if (p > 0 && statement.size() < copy.size() && CalcErrorStart >= 0 && !includedLine) {
    const std::string_view head = TrimLeft(copy);
    if (!head.empty() && head.front() == '"')
      CalcErrorStart += int32_t(copy.size() - statement.size());
  }
  Trim(statement);
  // Comments stripped from a long line cannot, per statement, leave more
  // than the line limit; a joined text that does is still refused here
  // rather than handed on beyond the compiler's limit.
  if (CalcErrorCode == 0 && statement.size() > size_t(kMaxStatementLength)) {
    CalcErrorCode = kMsgLineTooLong;
    statement.clear();
  }
}

bool CheckCommentsClosed() {
  if (CommentScan.commentDepth <= 0) return false;
  CalcErrorCode = kMsgUnmatchedComment;
  CalcErrorStart = CommentScan.commentStart;
  CalcErrorEnd = EquationTextLength - 1;
  return true;
}

std::vector<TReadStatement> ReadStatementsOfText(std::string_view windowText) {
  std::vector<TReadStatement> statements;
  ResetCommentState();
  CalcErrorCode = 0;
  CalcErrorStart = 0;
  CalcErrorEnd = 0;
  EquationLineNo = 0;
  if (!BeginEquationText(windowText)) return statements;
  std::string line;
  bool fromList = false;
  while (NextEquationLine(line, fromList)) {
    if (!fromList && IsIncludeLine(line)) {
      statements.push_back({line, CalcErrorStart, CalcErrorEnd, EquationLineNo, true});
      continue;
    }
    SplitAndCleanStatement(line);
    if (CalcErrorCode == 0 && !line.empty())
      statements.push_back({line, CalcErrorStart, CalcErrorEnd, EquationLineNo, false});
  }
  if (CalcErrorCode == 0 && !AbortRequested) CheckCommentsClosed();
  return statements;
}

}  // namespace voq

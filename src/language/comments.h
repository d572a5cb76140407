#pragma once
// Comments of the equation text: brace comments "{...}", which nest, and
// quote comments "\"...\"", which do not; both may span lines. They are cut
// out of each statement before it is compiled while positions stay those of
// the Equations window text; each completed comment is recorded (and
// coloured) for the Formatted Equations window, and a {[units]} comment hands
// its units to the statement compiler.
#include <cstdint>
#include <string>
#include <string_view>

#include "language/reader_state.h"

namespace voq {

enum CommentDelimiterKind : int32_t {
  kDelimiterNone = 0,
  kDelimiterOpening = 1,
  kDelimiterClosing = 2,
};

// The comment colouring is the host's CommentPainter (platform/host.h).

// Clears the comment state before the first line of a read: no open comment,
// no pending units.
void ResetCommentState();

// The first delimiter that matters in the current comment state: returns its
// 1-based position in text (0 when none) and sets kind. Opening a comment
// sets CommentKind.
int32_t FindCommentDelimiter(std::string_view text, int32_t& kind);

// Removes the comments from the remaining text of a statement whose first
// character is at CalcErrorStart (CalcErrorStart < 0: a statement that is not
// in the window text, whose comments are not recorded) and records the
// comments that end in it. The caller sets CommentScan.scanOffset to 0 for
// every new statement.
void StripComments(std::string& text);

// The length text would have after StripComments, in the current comment
// state, without recording anything or changing the state.
int32_t StrippedLength(std::string_view text);

// Records and colours one completed comment (start behind the opening
// delimiter, end at the closing one) and takes its units. Error 75 when no
// record can be made.
void RecordComment(int32_t start, int32_t end);

// Sets PendingUnits from a {[...]} comment.
void TakeUnitsComment(int32_t start, int32_t end);

// Sum of the byte values of the characters start..end of EquationTextBuffer.
int32_t CommentChecksum(int32_t start, int32_t end);

// The window data of a kept record of the same quote comment (same checksum
// and length); that record gives its data only once.
void TakeRetainedCommentData(int32_t start, int32_t end, int32_t checksum, int32_t& windowData1,
                             int32_t& windowData2);

// Keeps, of this read's comment records, those that carry window data (for
// the next read) and empties the working list. Called at the start of every
// read and by the document reset.
void PruneLineInfoList();

}  // namespace voq

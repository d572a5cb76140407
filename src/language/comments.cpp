#include "language/comments.h"
#include "platform/host.h"

#include <algorithm>
#include <new>

#include "core/calc_state.h"
#include "core/program_flags.h"
#include "model/store_state.h"

namespace voq {

namespace {

// The statement StripComments is working on and the window position of its
// first character. Characters of a comment are read from the statement while
// they lie in it: for a line of an included text file the window positions
// computed from the $INCLUDE statement do not point at that line.
struct StripContext {
  std::string_view text;
  int32_t base = 0;
  bool active = false;
};
StripContext stripContext;

// Set while StrippedLength measures a text: nothing is recorded.
bool measuringOnly = false;

// The character at a window position, or 0 when there is none to read.
char CommentCharAt(int32_t position) {
  if (stripContext.active) {
    int64_t i = int64_t(position) - stripContext.base;
    if (i >= 0 && i < int64_t(stripContext.text.size())) return stripContext.text[size_t(i)];
  }
  // An included text file's lines are not in the buffer; a library file's are
  // (it is read through the Equations window).
  if (ReadingIncludedText && !LoadingLibrary) return '\0';
  if (position < 0 || size_t(position) >= EquationTextBuffer.size()) return '\0';
  return EquationTextBuffer[size_t(position)];
}

constexpr size_t kMaxUnitsLength = 30;

}  // namespace


void ResetCommentState() {
  CommentScan = TCommentScanState{};
  CommentKind = 0;
  PendingUnits.Units.clear();
  PendingUnits.Line = -1;
}

int32_t FindCommentDelimiter(std::string_view text, int32_t& kind) {
  kind = kDelimiterNone;
  std::string_view searched;
  if (CommentKind == 2)
    searched = "\"";
  else if (CommentKind == 1)
    searched = "{}";
  else
    searched = "{}\"";
  size_t i = text.find_first_of(searched);
  if (i == std::string_view::npos) return 0;
  switch (text[i]) {
    case '{':
      kind = kDelimiterOpening;
      CommentKind = 1;
      break;
    case '}':
      // Outside a brace comment a "}" is no delimiter, but its position is
      // still reported: stripping stops there.
      kind = CommentKind == 1 ? kDelimiterClosing : kDelimiterNone;
      break;
    default:
      if (CommentScan.commentDepth > 0) {
        kind = kDelimiterClosing;
      } else {
        kind = kDelimiterOpening;
        CommentKind = 2;
      }
      break;
  }
  return int32_t(i) + 1;
}

void StripComments(std::string& text) {
  if (text.empty()) return;
  const std::string original = text;
  const StripContext previous = stripContext;
  stripContext = {original, CalcErrorStart + CommentScan.scanOffset, CalcErrorStart >= 0};
  // Once the scan is past the last opening delimiter no comment can begin
  // again, and the offset is no longer needed.
  const size_t lastOpener = original.find_last_of("{\"");

  std::string kept;
  std::string_view rest = original;
  TCommentScanState& s = CommentScan;
  while (!rest.empty()) {
    int32_t kind = kDelimiterNone;
    const int32_t p = FindCommentDelimiter(rest, kind);
    if (s.commentDepth > 0) {
      if (p == 0) break;  // the rest is all comment
      s.scanOffset += p;
      rest.remove_prefix(size_t(p));
      if (kind == kDelimiterOpening) {
        ++s.commentDepth;
      } else if (kind == kDelimiterClosing) {
        if (--s.commentDepth == 0) {
          const int32_t end = CalcErrorStart + s.scanOffset - 1;
          if (CalcErrorStart >= 0 && !measuringOnly) RecordComment(s.commentStart + 1, end);
          CommentKind = 0;
          const size_t scanned = original.size() - rest.size();
          if (lastOpener == std::string::npos || lastOpener < scanned) s.scanOffset = 0;
        }
      }
      continue;
    }
    if (p == 0 || kind == kDelimiterNone) {
      // No comment, or a stray "}": the text stays as it is from here on and
      // the statement compiler judges the "}".
      kept.append(rest);
      break;
    }
    if (++s.commentDepth == 1) {
      s.commentStart = CalcErrorStart + s.scanOffset + p - 1;
      s.scanOffset += p;
    }
    kept.append(rest.substr(0, size_t(p - 1)));
    rest.remove_prefix(size_t(p));
  }
  stripContext = previous;
  text = std::move(kept);
}

int32_t StrippedLength(std::string_view text) {
  const TCommentScanState savedScan = CommentScan;
  const uint8_t savedKind = CommentKind;
  const bool savedMeasuring = measuringOnly;
  measuringOnly = true;
  CommentScan.scanOffset = 0;
  std::string copy(text);
  StripComments(copy);
  measuringOnly = savedMeasuring;
  CommentScan = savedScan;
  CommentKind = savedKind;
  return int32_t(copy.size());
}

void RecordComment(int32_t start, int32_t end) {
  if (!(start < end)) return;
  if (LoadingLibrary || ReadingIncludedText) {
    TakeUnitsComment(start, end);
    return;
  }
  try {
    CommentRecordList.emplace_back();
  } catch (const std::bad_alloc&) {
    ReportOutOfMemory();
    return;
  }
  TCommentRecord& r = CommentRecordList.back();
  r.start = start;
  r.end = end;
  r.reserved = 0;
  r.styleClass = CommentCharAt(start) == '!' ? 1 : 0;
  if (!DiagramInputStatement) CommentPaint().StyleCommentRange(start - 1, end, r.styleClass);
  TakeUnitsComment(start, end);
  r.windowData1 = 0;
  r.windowData2 = 0;
  r.checksum = 0;
  if (CommentKind == 2) {
    r.isQuoteComment = 1;
    r.checksum = CommentChecksum(start, end);
    TakeRetainedCommentData(start, end, r.checksum, r.windowData1, r.windowData2);
  } else {
    r.isQuoteComment = 0;
  }
}

void TakeUnitsComment(int32_t start, int32_t end) {
  if (CommentCharAt(start) != '[') return;
  for (int32_t q = start + 1; q < end; ++q) {
    if (CommentCharAt(q) != ']') continue;
    std::string units;
    for (int32_t k = start + 1; k < q && units.size() < kMaxUnitsLength; ++k)
      units.push_back(CommentCharAt(k));
    PendingUnits.Units = std::move(units);
    PendingUnits.Line = EquationLineNo;
    return;
  }
}

int32_t CommentChecksum(int32_t start, int32_t end) {
  uint32_t sum = 0;
  const int64_t size = int64_t(EquationTextBuffer.size());
  for (int64_t q = std::max<int64_t>(start, 0); q <= end && q < size; ++q)
    sum += static_cast<unsigned char>(EquationTextBuffer[size_t(q)]);
  return static_cast<int32_t>(sum);
}

void TakeRetainedCommentData(int32_t start, int32_t end, int32_t checksum, int32_t& windowData1,
                             int32_t& windowData2) {
  windowData1 = 0;
  windowData2 = 0;
  for (TCommentRecord& kept : KeptCommentRecordList) {
    if (kept.checksum == checksum && kept.end - kept.start == end - start) {
      windowData1 = kept.windowData1;
      windowData2 = kept.windowData2;
      kept.checksum = 0;
      return;
    }
  }
}

void PruneLineInfoList() {
  KeptCommentRecordList.clear();
  try {
    for (const TCommentRecord& r : CommentRecordList)
      if (r.windowData1 != 0 || r.windowData2 != 0) KeptCommentRecordList.push_back(r);
  } catch (const std::bad_alloc&) {
    // Without memory the window data is simply not carried over.
    KeptCommentRecordList.clear();
  }
  CommentRecordList.clear();
}

}  // namespace voq

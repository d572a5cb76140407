#include "session/equation_editor.h"

#include <algorithm>

namespace voq {

namespace {

bool IsBreak(char16_t c) { return c == u'\n' || c == char16_t(0x2029); }

int32_t Clamp(int32_t value, int32_t low, int32_t high) { return std::max(low, std::min(value, high)); }

}  // namespace

EditorPositionMap::EditorPositionMap(const std::u16string& editorText)
    : editorLength_(static_cast<int32_t>(editorText.size())) {
  for (size_t i = 0; i < editorText.size(); ++i) {
    if (IsBreak(editorText[i])) breaks_.push_back(static_cast<int32_t>(i));
  }
}

EditorPositionMap::EditorPositionMap(std::vector<int32_t> editorBreaks, int32_t editorLength)
    : breaks_(std::move(editorBreaks)), editorLength_(std::max(0, editorLength)) {}

int32_t EditorPositionMap::EngineFromEditor(int32_t editor) const {
  editor = Clamp(editor, 0, editorLength_);
  const auto before = std::lower_bound(breaks_.begin(), breaks_.end(), editor) - breaks_.begin();
  return editor + static_cast<int32_t>(before);
}

int32_t EditorPositionMap::EditorFromEngine(int32_t engine) const {
  engine = Clamp(engine, 0, EngineLength());
  // Break i (editor position b) covers engine positions b + i (CR) and
  // b + i + 1 (LF); the engine position of break i's CR grows with i, so the
  // breaks whose CR lies before `engine` are found by a binary search.
  int32_t low = 0;
  int32_t high = static_cast<int32_t>(breaks_.size());
  while (low < high) {
    const int32_t mid = (low + high) / 2;
    if (breaks_[size_t(mid)] + mid < engine)
      low = mid + 1;
    else
      high = mid;
  }
  // `low` breaks start before engine; a break whose CR is at engine - 1
  // has engine on its LF: that position reads as the next line's start.
  if (low > 0 && breaks_[size_t(low - 1)] + (low - 1) == engine - 1) return breaks_[size_t(low - 1)] + 1;
  return engine - low;
}

int32_t EditorPositionMap::LineOfEngine(int32_t engine) const {
  const int32_t editor = EditorFromEngine(engine);
  // Line k holds the positions after break k - 1 up to and including break k.
  return static_cast<int32_t>(std::lower_bound(breaks_.begin(), breaks_.end(), editor) - breaks_.begin());
}

int32_t EditorPositionMap::EngineLineStart(int32_t line) const {
  line = Clamp(line, 0, static_cast<int32_t>(breaks_.size()));
  if (line == 0) return 0;
  return EngineFromEditor(breaks_[size_t(line - 1)] + 1);
}

std::vector<int32_t> BuildLineStartTable(const std::string& engineText) {
  std::vector<int32_t> table{0};
  for (size_t i = 0; i + 1 < engineText.size() && table.size() < size_t(kLineStartTableSize); ++i) {
    if (engineText[i] == '\r' && engineText[i + 1] == '\n') {
      table.push_back(static_cast<int32_t>(i + 2));
      ++i;
    }
  }
  return table;
}

TCommentEdit PlanCommentToggle(const std::u16string& text, int32_t selStart, int32_t selLength) {
  TCommentEdit edit;
  const int32_t length = static_cast<int32_t>(text.size());
  if (selLength <= 0 || selStart < 0 || selStart >= length) return edit;
  const int32_t start = selStart;
  const int32_t end = std::min(selStart + selLength, length);
  // The last selected character that is text: the end of the text holds
  // none, so step back from there.
  int32_t last = end - 1;
  while (last >= length && last > 0) --last;
  if (last < start) return edit;
  const char16_t first = text[size_t(start)];
  const char16_t final = text[size_t(last)];
  if (first == u'{' && final == u'}' && last > start) {
    edit.Action = TCommentEdit::kUncomment;
    edit.Close = last;
    edit.Open = start;
    // After both braces went, the former inside runs from start to last - 2.
    edit.StyleFirst = start;
    edit.StyleLast = last - 2;
  } else {
    edit.Action = TCommentEdit::kComment;
    edit.Close = last + 1;
    edit.Open = start;
    edit.StyleFirst = start;
    edit.StyleLast = last + 2;
  }
  return edit;
}

std::u16string ApplyCommentEdit(std::u16string text, const TCommentEdit& edit) {
  switch (edit.Action) {
    case TCommentEdit::kUncomment:
      text.erase(size_t(edit.Close), 1);
      text.erase(size_t(edit.Open), 1);
      break;
    case TCommentEdit::kComment:
      text.insert(size_t(edit.Close), 1, u'}');
      text.insert(size_t(edit.Open), 1, u'{');
      break;
    case TCommentEdit::kNothing:
      break;
  }
  return text;
}

int32_t TrimSelectionEnd(const std::u16string& text, int32_t selStart, int32_t selLength) {
  const int32_t length = static_cast<int32_t>(text.size());
  if (selStart < 0 || selStart > length) return 0;
  int32_t n = std::min(selLength, length - selStart);
  while (n > 0 && text[size_t(selStart + n - 1)] < 14) --n;
  // The widget's paragraph separator is a line break too.
  while (n > 0 && text[size_t(selStart + n - 1)] == char16_t(0x2029)) --n;
  return std::max(0, n);
}

std::string CommentCaption(const std::u16string& selected) {
  if (!selected.empty() && selected.front() == u'{' && selected.back() == u'}') return "Undo Comment";
  return "Comment";
}

int32_t UnmatchedParenthesis(const std::u16string& displayLine) {
  const size_t n = std::min<size_t>(displayLine.size(), 255);
  // open[d] is the position of the "(" that opened depth d; a surplus ")"
  // is kept apart and ends the scan.
  std::vector<int32_t> open(1, -1);
  int32_t depth = 0;
  int32_t surplus = -1;
  for (size_t i = 0; i < n; ++i) {
    if (displayLine[i] == u'(') {
      ++depth;
      if (open.size() <= size_t(depth)) open.resize(size_t(depth) + 1);
      open[size_t(depth)] = static_cast<int32_t>(i);
    } else if (displayLine[i] == u')') {
      --depth;
      if (depth < 0) {
        surplus = static_cast<int32_t>(i);
        break;
      }
    }
  }
  if (depth == 0) return -1;
  return depth < 0 ? surplus : open[size_t(depth)];
}

std::array<int32_t, 15> EditorTabStopsPoints(int32_t tabWidthPreference, int32_t pixelsPerInch) {
  int32_t w = tabWidthPreference / 100;
  if (w <= 0) w = 20;
  if (pixelsPerInch <= 0) pixelsPerInch = 96;
  std::array<int32_t, 15> stops{};
  // Stop i at seven eighths of i widths, in points at the screen's density;
  // every division truncates.
  for (int32_t i = 1; i <= 15; ++i) stops[size_t(i - 1)] = ((7 * w * i) / 8) * 96 / pixelsPerInch;
  return stops;
}

int32_t InsertionRoom(int32_t textLength, int32_t selectedLength, int32_t insertLength) {
  const int32_t kept = std::max(0, textLength - std::max(0, selectedLength));
  const int32_t room = std::max(0, kEquationTextLimit - kept);
  return std::max(0, std::min(insertLength, room));
}

std::string CopyMacroLine(const EditorPositionMap& map, const std::vector<int32_t>& lineStartTable,
                          int32_t engineStart, int32_t engineLength) {
  const int32_t engineEnd = engineStart + engineLength;
  const int32_t l1 = map.LineOfEngine(engineStart);
  const int32_t l2 = map.LineOfEngine(engineEnd);
  auto lineStart = [&](int32_t line) {
    return line < static_cast<int32_t>(lineStartTable.size()) ? lineStartTable[size_t(line)] : map.EngineLineStart(line);
  };
  const int32_t c1 = engineStart - lineStart(l1) + 1;
  const int32_t c2 = engineEnd - lineStart(l2);
  return "COPY Equations L" + std::to_string(l1 + 1) + " C" + std::to_string(c1) + ":L" + std::to_string(l2 + 1) +
         " C" + std::to_string(c2);
}

}  // namespace voq

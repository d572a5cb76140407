#include "shell/find_replace.h"

#include <algorithm>

#include "core/messages.h"

namespace voq {

namespace {

// Upper case of a Windows-1252 character: the ASCII letters and the
// accented letters of the code page (not the multiplication and division
// signs that sit among them).
unsigned char FoldCase(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 'a' + 'A');
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
  switch (c) {
    case 0x9A: return 0x8A;  // s caron
    case 0x9C: return 0x8C;  // oe
    case 0x9E: return 0x8E;  // z caron
    case 0xFF: return 0x9F;  // y diaeresis
    default: return c;
  }
}

bool SameCharacter(char a, char b, bool matchCase) {
  if (matchCase) return a == b;
  return FoldCase(static_cast<unsigned char>(a)) == FoldCase(static_cast<unsigned char>(b));
}

bool SameText(const std::string& a, const std::string& b, bool matchCase) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (!SameCharacter(a[i], b[i], matchCase)) return false;
  }
  return true;
}

// What stands before the search's start in the edited text: a character
// (0..255), the text's own character (kFromText) or nothing (kTextStart).
constexpr int kFromText = -1;
constexpr int kTextStart = -2;

// FindInText, where the character before position `from` may be given:
// after a replacement it is the inserted text's last character, not the
// text's.
int32_t FindFrom(const std::string& text, const std::string& wanted, int32_t from, TFindOptions options,
                 int before) {
  const int32_t n = static_cast<int32_t>(text.size());
  const int32_t m = static_cast<int32_t>(wanted.size());
  if (m == 0 || from < 0) return -1;
  for (int32_t p = from; p + m <= n; ++p) {
    int32_t k = 0;
    while (k < m && SameCharacter(text[size_t(p + k)], wanted[size_t(k)], options.MatchCase)) ++k;
    if (k < m) continue;
    if (options.WholeWord) {
      bool wordBefore = p > 0 && IsWordCharacter(text[size_t(p - 1)]);
      if (p == from && before != kFromText) wordBefore = before >= 0 && IsWordCharacter(static_cast<char>(before));
      const bool wordAfter = p + m < n && IsWordCharacter(text[size_t(p + m)]);
      if (wordBefore || wordAfter) continue;
    }
    return p;
  }
  return -1;
}

}  // namespace

bool IsWordCharacter(char c) {
  const auto u = static_cast<unsigned char>(c);
  if ((u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '_') return true;
  if (u >= 0xC0) return u != 0xD7 && u != 0xF7;
  return u == 0x8A || u == 0x8C || u == 0x8E || u == 0x9A || u == 0x9C || u == 0x9E || u == 0x9F ||
         u == 0xAA || u == 0xB5 || u == 0xBA;
}

int32_t FindInText(const std::string& text, const std::string& wanted, int32_t from, TFindOptions options) {
  return FindFrom(text, wanted, from, options, kFromText);
}

int32_t NextCharacterPosition(const std::string& text, int32_t position) {
  const int32_t n = static_cast<int32_t>(text.size());
  if (position < 0) return 0;
  if (position >= n) return n;
  if (text[size_t(position)] == '\r' && position + 1 < n && text[size_t(position + 1)] == '\n') {
    return position + 2;
  }
  return position + 1;
}

void MoveCaretPastSelectionStart(SearchEditor& editor) {
  editor.Select(NextCharacterPosition(editor.Text(), editor.SelStart()), 0);
}

std::string CutFindText(const std::string& text) { return text.substr(0, kMaxFindTextLength); }

bool EquationFind(SearchEditor& editor, const std::string& text, TFindOptions options) {
  const int32_t at = FindInText(editor.Text(), text, editor.SelStart(), options);
  if (at < 0) {
    ThrottledBeep();
    return false;
  }
  editor.FocusEditor();
  editor.Select(at, static_cast<int32_t>(text.size()));
  return true;
}

namespace {

// The current selection, to be put back when a search that moved the
// caret first finds nothing: a miss leaves the user's selection as it was.
TTextRange SelectionOf(const SearchEditor& editor) { return {editor.SelStart(), editor.SelLength()}; }

void FindOrKeep(SearchEditor& editor, TTextRange kept, const std::string& text, TFindOptions options) {
  if (!EquationFind(editor, text, options)) editor.Select(kept.Start, kept.Length);
}

}  // namespace

int32_t EquationReplace(SearchEditor& editor, const std::string& findText, const std::string& replaceText,
                        TFindOptions options, bool all) {
  // The occurrences are found in the text as it stands and replaced in one
  // edit; searching the original after each occurrence is searching the
  // edited text right after its inserted text, except for the character
  // before the next match, which is the inserted text's last one.
  const std::string text = editor.Text();
  const int32_t selStart = editor.SelStart();
  const int32_t selLength = editor.SelLength();
  const int32_t length = static_cast<int32_t>(findText.size());
  std::vector<TTextRange> ranges;
  int32_t from = selStart;
  int before = kFromText;
  // After replacing r the search resumes at its end, with the inserted
  // text's last character before it (or, when the inserted text is empty,
  // whatever stood before r).
  auto replaced = [&](TTextRange r) {
    int previous = kFromText;
    if (!replaceText.empty()) {
      previous = static_cast<unsigned char>(replaceText.back());
    } else if (r.Start == from && before != kFromText) {
      previous = before;
    } else {
      previous = r.Start > 0 ? static_cast<unsigned char>(text[size_t(r.Start - 1)]) : kTextStart;
    }
    ranges.push_back(r);
    from = r.Start + r.Length;
    before = previous;
  };
  if (selLength > 0 && selStart >= 0 && size_t(selStart) + size_t(selLength) <= text.size() &&
      SameText(text.substr(size_t(selStart), size_t(selLength)), findText, false)) {
    replaced({selStart, selLength});
  }
  int32_t at = FindFrom(text, findText, from, options, before);
  while (at >= 0 && all) {
    replaced({at, length});
    at = FindFrom(text, findText, from, options, before);
  }
  if (!ranges.empty()) editor.ReplaceRanges(ranges, replaceText);
  if (at < 0) ThrottledBeep();
  return static_cast<int32_t>(ranges.size());
}

// --- The Find dialog --------------------------------------------------------------

TFindDialogModel::TFindDialogModel() { FromCursor = true; }

void TFindDialogModel::FormActivate() {
  CancelCaption = "Cancel";
  FirstSearch = true;
  FindWhat = FindText;
  CursorPosChecked = FromCursor;
  WholeWordChecked = Options.WholeWord;
  MatchCaseChecked = Options.MatchCase;
  if (TargetWindow == kResidualsSearchTarget) {
    // The Residuals window is searched by whole words from its first line.
    StartAtVisible = false;
    CursorPosChecked = false;
    WholeWordChecked = true;
  } else {
    StartAtVisible = true;
  }
}

void TFindDialogModel::FindNextClick(SearchEditor* editor, ResidualSearch* residuals) {
  Options = TFindOptions{WholeWordChecked, MatchCaseChecked};
  const bool residualTarget = TargetWindow == kResidualsSearchTarget;
  if (FirstSearch) {
    FromCursor = residualTarget ? false : CursorPosChecked;
  } else {
    FromCursor = true;
  }
  // The caret moves one character past the current match first, so a
  // second Find Next never finds the same match. The Residuals window's
  // search leaves the Equations window's caret alone.
  const TTextRange kept = editor != nullptr ? SelectionOf(*editor) : TTextRange{};
  if (!residualTarget && editor != nullptr) {
    if (!FromCursor) {
      editor->Select(0, 0);
    } else if (editor->SelLength() > 0) {
      MoveCaretPastSelectionStart(*editor);
    }
  }
  FindText = CutFindText(FindWhat);
  FindWhat = FindText;
  if (Partner != nullptr) Partner->FindText = FindText;
  if (residualTarget) {
    // A failed search sets FirstSearch again: the next one starts at the
    // first line.
    if (residuals != nullptr) residuals->Find(FindText, FromCursor, FirstSearch, WholeWordChecked, MatchCaseChecked);
  } else {
    if (editor != nullptr) FindOrKeep(*editor, kept, FindText, Options);
    FirstSearch = false;
  }
  CancelCaption = "Done";
}

// --- The Replace dialog -----------------------------------------------------------

TReplaceDialogModel::TReplaceDialogModel() { FromCursor = true; }

void TReplaceDialogModel::FormActivate() {
  CancelCaption = "Cancel";
  FirstSearch = true;
  FindWhat = FindText;
  if (Partner != nullptr) Partner->FindText = FindText;
  ReplaceWith = ReplaceText;
  CursorPosChecked = FromCursor;
  WholeWordChecked = Options.WholeWord;
  MatchCaseChecked = Options.MatchCase;
}

void TReplaceDialogModel::GetInfo(SearchEditor& editor) {
  Options = TFindOptions{WholeWordChecked, MatchCaseChecked};
  FromCursor = FirstSearch ? CursorPosChecked : true;
  if (!FromCursor) editor.Select(0, 0);
  FindText = CutFindText(FindWhat);
  FindWhat = FindText;
  if (Partner != nullptr) Partner->FindText = FindText;
  ReplaceText = CutFindText(ReplaceWith);
  ReplaceWith = ReplaceText;
}

void TReplaceDialogModel::FindNextClick(SearchEditor& editor) {
  const TTextRange kept = SelectionOf(editor);
  GetInfo(editor);
  if (!FirstSearch) MoveCaretPastSelectionStart(editor);
  FindOrKeep(editor, kept, FindText, Options);
  FirstSearch = false;
  CancelCaption = "Done";
}

void TReplaceDialogModel::ReplaceClick(SearchEditor& editor) {
  GetInfo(editor);
  // After a replacement the caret stands right after the inserted text,
  // where the next occurrence may begin at once; only when nothing was
  // replaced does the search step past the selection's start.
  const bool replaced = EquationReplace(editor, FindText, ReplaceText, Options, false) > 0;
  const TTextRange kept = SelectionOf(editor);
  if (!replaced) MoveCaretPastSelectionStart(editor);
  FindOrKeep(editor, kept, FindText, Options);
  CancelCaption = "Done";
}

void TReplaceDialogModel::ReplaceAllClick(SearchEditor& editor) {
  GetInfo(editor);
  EquationReplace(editor, FindText, ReplaceText, Options, true);
  editor.RepaintEditor();
  CancelCaption = "Done";
}

// --- Find Next --------------------------------------------------------------------

void TSearchDialogs::Next1Click(SearchEditor* editor, ResidualSearch* residuals) {
  if (editor != nullptr) {
    const TTextRange kept = SelectionOf(*editor);
    MoveCaretPastSelectionStart(*editor);
    if (LastWasFind) {
      FindOrKeep(*editor, kept, Find.FindText, Find.Options);
    } else if (LastWasReplace) {
      // Repeating the replacement after the caret has left the selection
      // replaces nothing; what the user sees is the next occurrence
      // selected, ready for the dialog's Replace.
      FindOrKeep(*editor, kept, Replace.FindText, Replace.Options);
    } else {
      editor->Select(kept.Start, kept.Length);
    }
    return;
  }
  if (residuals != nullptr) {
    // Continues after the last match, or from the first line after a miss.
    residuals->Find(Find.FindText, !Find.FirstSearch, Find.FirstSearch, Find.WholeWordChecked,
                    Find.MatchCaseChecked);
  }
}

}  // namespace voq

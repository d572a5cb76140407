#include "shell/find_replace.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/host.h"
#include "platform/scripted_platform.h"

namespace voq {
namespace {

// The editor as a string with a selection.
class SearchFakeEditor : public SearchEditor {
 public:
  explicit SearchFakeEditor(std::string t) : text(std::move(t)) {}
  std::string Text() const override { return text; }
  int32_t SelStart() const override { return start; }
  int32_t SelLength() const override { return length; }
  void Select(int32_t s, int32_t l) override {
    start = s;
    length = l;
  }
  void ReplaceRanges(const std::vector<TTextRange>& ranges, const std::string& with) override {
    ++edits;
    int32_t shift = 0;
    for (const TTextRange& r : ranges) {
      text.replace(size_t(r.Start + shift), size_t(r.Length), with);
      shift += int32_t(with.size()) - r.Length;
      start = r.Start + shift + r.Length;
    }
    length = 0;
  }
  std::string Selected() const { return text.substr(size_t(start), size_t(length)); }

  std::string text;
  int32_t start = 0;
  int32_t length = 0;
  int edits = 0;
};

// The Residuals window's search, recording its calls; a miss is scripted.
class SearchFakeResiduals : public ResidualSearch {
 public:
  void Find(const std::string& text, bool fromCurrent, bool& notFound, bool wholeWords, bool matchCase) override {
    calls.push_back({text, fromCurrent, wholeWords, matchCase});
    notFound = miss;
  }
  struct Call {
    std::string Text;
    bool FromCurrent, WholeWords, MatchCase;
  };
  std::vector<Call> calls;
  bool miss = false;
};

class FindReplaceTest : public ::testing::Test {
 protected:
  FindReplaceTest() : scope_(platform_) {}
  // Beeps are throttled to one a second: each action runs a second later.
  int BeepsAfter(const std::function<void()>& action) {
    platform_.ticks += 5000;
    const int before = platform_.beeps;
    action();
    return platform_.beeps - before;
  }
  ScriptedPlatform platform_;
  ScopedPlatform scope_;
};

TEST_F(FindReplaceTest, FindInTextHonoursCaseAndWholeWords) {
  struct Case {
    const char* text;
    const char* wanted;
    int32_t from;
    bool wholeWord, matchCase;
    int32_t expected;
  };
  const Case cases[] = {
      {"x = Alpha + alpha", "alpha", 0, false, false, 4},
      {"x = Alpha + alpha", "alpha", 0, false, true, 12},
      {"x = Alpha + alpha", "alpha", 5, false, false, 12},
      {"xa = a_1 + a", "a", 0, true, false, 11},      // "xa" and "a_1" are words of their own
      {"T[1]=T1", "T", 0, true, false, 0},            // "[" ends a word
      {"T1=T", "T", 0, true, false, 3},
      {"caf\xE9=CAF\xC9", "CAF\xC9", 0, false, false, 0},  // accented letters fold too
      {"caf\xE9=CAF\xC9", "CAF", 0, true, false, -1},      // and are word characters
      {"abc", "", 0, false, false, -1},
      {"abc", "abcd", 0, false, false, -1},
      {"abc", "c", 3, false, false, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindInText(c.text, c.wanted, c.from, {c.wholeWord, c.matchCase}), c.expected)
        << c.text << " / " << c.wanted;
  }
  EXPECT_EQ(NextCharacterPosition("a\r\nb", 1), 3);  // a line break is one character
  EXPECT_EQ(NextCharacterPosition("a\r\nb", 4), 4);
}

TEST_F(FindReplaceTest, FindNextFromTheCursorNeverFindsTheSameMatchTwice) {
  TSearchDialogs dialogs;
  SearchFakeEditor editor("x=1\r\ny=x\r\nz=x+x");
  editor.Select(2, 0);
  TFindDialogModel& find = dialogs.Find;
  find.FindText = "x";
  find.FormActivate();
  EXPECT_TRUE(find.StartAtVisible);
  EXPECT_TRUE(find.CursorPosChecked);
  find.FindNextClick(&editor, nullptr);
  EXPECT_EQ(editor.start, 7);
  EXPECT_EQ(editor.length, 1);
  EXPECT_EQ(find.CancelCaption, "Done");
  find.FindNextClick(&editor, nullptr);
  EXPECT_EQ(editor.start, 12);
  find.FindNextClick(&editor, nullptr);
  EXPECT_EQ(editor.start, 14);
  // Found nowhere further: a beep, the selection stays, the dialog too.
  EXPECT_EQ(BeepsAfter([&] { find.FindNextClick(&editor, nullptr); }), 1);
  EXPECT_EQ(editor.start, 14);
  EXPECT_EQ(editor.length, 1);
  EXPECT_EQ(find.CancelCaption, "Done");
  // "Top of file" makes the next search start at the top, later ones go on.
  find.TopRBClick();
  find.FindNextClick(&editor, nullptr);
  EXPECT_EQ(editor.start, 0);
  find.FindNextClick(&editor, nullptr);
  EXPECT_EQ(editor.start, 7);
  // The next activation starts afresh with Cancel.
  find.FormActivate();
  EXPECT_EQ(find.CancelCaption, "Cancel");
  EXPECT_TRUE(find.FirstSearch);
}

TEST_F(FindReplaceTest, FindTextIsCutAndSharedBetweenTheDialogs) {
  TSearchDialogs dialogs;
  SearchFakeEditor editor("abc");
  dialogs.Find.FormActivate();
  dialogs.Find.FindWhat = std::string(300, 'q');
  EXPECT_EQ(BeepsAfter([&] { dialogs.Find.FindNextClick(&editor, nullptr); }), 1);
  EXPECT_EQ(dialogs.Find.FindText, std::string(255, 'q'));
  EXPECT_EQ(dialogs.Replace.FindText, std::string(255, 'q'));
  dialogs.Replace.FormActivate();
  EXPECT_EQ(dialogs.Replace.FindWhat, std::string(255, 'q'));
  // Typed in the Replace dialog, it appears in the Find dialog.
  dialogs.Replace.FindWhat = "b";
  dialogs.Replace.FindNextClick(editor);
  EXPECT_EQ(editor.Selected(), "b");
  dialogs.Find.FormActivate();
  EXPECT_EQ(dialogs.Find.FindWhat, "b");
}

TEST_F(FindReplaceTest, ResidualsAreSearchedByWholeWordsFromTheFirstLine) {
  TSearchDialogs dialogs;
  SearchFakeEditor editor("a=1");
  editor.Select(1, 0);
  SearchFakeResiduals residuals;
  TFindDialogModel& find = dialogs.Find;
  find.TargetWindow = kResidualsSearchTarget;
  find.FindText = "T";
  find.FormActivate();
  EXPECT_FALSE(find.StartAtVisible);
  EXPECT_FALSE(find.CursorPosChecked);
  EXPECT_TRUE(find.WholeWordChecked);
  find.FindNextClick(&editor, &residuals);
  find.FindNextClick(&editor, &residuals);
  residuals.miss = true;
  find.FindNextClick(&editor, &residuals);
  residuals.miss = false;
  find.FindNextClick(&editor, &residuals);
  ASSERT_EQ(residuals.calls.size(), 4u);
  EXPECT_FALSE(residuals.calls[0].FromCurrent);  // the first line
  EXPECT_TRUE(residuals.calls[0].WholeWords);
  EXPECT_TRUE(residuals.calls[1].FromCurrent);   // after the last match
  EXPECT_TRUE(residuals.calls[2].FromCurrent);
  EXPECT_FALSE(residuals.calls[3].FromCurrent);  // a miss starts over
  EXPECT_EQ(editor.start, 1);                    // the Equations caret is left alone
  // Find Next of the Search menu continues there too.
  dialogs.Next1Click(nullptr, &residuals);
  ASSERT_EQ(residuals.calls.size(), 5u);
  EXPECT_TRUE(residuals.calls[4].FromCurrent);
  EXPECT_EQ(residuals.calls[4].Text, "T");
}

TEST_F(FindReplaceTest, ReplaceTestsTheSelectionWithoutRegardToCase) {
  TSearchDialogs dialogs;
  TReplaceDialogModel& replace = dialogs.Replace;
  replace.FormActivate();
  replace.FindWhat = "x";
  replace.ReplaceWith = "yy";
  replace.MatchCaseChecked = true;
  // A selection that is not an occurrence: nothing replaced, the next
  // occurrence selected.
  SearchFakeEditor editor("a=x+X+x");
  editor.Select(0, 1);
  replace.ReplaceClick(editor);
  EXPECT_EQ(editor.text, "a=x+X+x");
  EXPECT_EQ(editor.start, 2);
  EXPECT_EQ(editor.length, 1);
  // A selected occurrence in the other letter case is replaced even with
  // match case, and the search goes on with match case.
  editor.Select(4, 1);
  replace.ReplaceClick(editor);
  EXPECT_EQ(editor.text, "a=x+yy+x");
  EXPECT_EQ(editor.Selected(), "x");
  EXPECT_EQ(editor.start, 7);
  EXPECT_EQ(replace.CancelCaption, "Done");
}

TEST_F(FindReplaceTest, ReplaceGoesOnRightAfterTheInsertedText) {
  // An occurrence that follows the replaced one at once is the next one.
  TSearchDialogs dialogs;
  TReplaceDialogModel& replace = dialogs.Replace;
  replace.FormActivate();
  replace.FindWhat = "x";
  replace.ReplaceWith = "y";
  SearchFakeEditor editor("xx");
  editor.Select(0, 1);
  replace.ReplaceClick(editor);
  EXPECT_EQ(editor.text, "yx");
  EXPECT_EQ(editor.start, 1);
  EXPECT_EQ(editor.length, 1);
}

TEST_F(FindReplaceTest, ReplaceAllDoublesEachOccurrenceOnceThenBeeps) {
  struct Case {
    const char* text;
    const char* find;
    const char* with;
    bool wholeWord;
    const char* expected;
    int replaced;
  };
  const Case cases[] = {
      {"a a a", "a", "aa", false, "aa aa aa", 3},
      {"A a\r\na", "a", "b", false, "b b\r\nb", 3},
      {"a ab a", "a", "c", true, "c ab c", 2},
      // The character before the next match is the inserted text's end.
      {"aa", "a", "x", true, "aa", 0},
      {"a-a", "a", "b", true, "b-b", 2},
      {"abc", "b", "", false, "ac", 1},
  };
  for (const Case& c : cases) {
    SearchFakeEditor editor(c.text);
    int replaced = 0;
    const int beeps = BeepsAfter([&] {
      replaced = EquationReplace(editor, c.find, c.with, {c.wholeWord, false}, true);
    });
    EXPECT_EQ(editor.text, c.expected) << c.text;
    EXPECT_EQ(replaced, c.replaced) << c.text;
    EXPECT_EQ(beeps, 1) << c.text;
    EXPECT_LE(editor.edits, 1) << "one edit, one undo step";
  }
  // Through the dialog, from the top of the file.
  TSearchDialogs dialogs;
  SearchFakeEditor editor("a a a");
  editor.Select(5, 0);
  dialogs.Replace.FormActivate();
  dialogs.Replace.TopRBClick();
  dialogs.Replace.FindWhat = "a";
  dialogs.Replace.ReplaceWith = "aa";
  EXPECT_EQ(BeepsAfter([&] { dialogs.Replace.ReplaceAllClick(editor); }), 1);
  EXPECT_EQ(editor.text, "aa aa aa");
  EXPECT_EQ(dialogs.Replace.CancelCaption, "Done");
}

TEST_F(FindReplaceTest, FindNextRepeatsTheLastSearchCommand) {
  TSearchDialogs dialogs;
  SearchFakeEditor editor("b=a\r\nc=a\r\nd=A");
  dialogs.Find.FindWhat = "a";
  dialogs.Find.MatchCaseChecked = true;
  dialogs.Find.FindNextClick(&editor, nullptr);
  dialogs.LastWasFind = true;
  EXPECT_EQ(editor.start, 2);
  dialogs.Next1Click(&editor, nullptr);
  EXPECT_EQ(editor.start, 7);
  EXPECT_EQ(BeepsAfter([&] { dialogs.Next1Click(&editor, nullptr); }), 1);
  // After Replace, Find Next selects the next occurrence and replaces nothing.
  dialogs.LastWasFind = false;
  dialogs.LastWasReplace = true;
  dialogs.Replace.FindText = "=";
  dialogs.Replace.ReplaceText = ":";
  editor.Select(1, 1);
  dialogs.Next1Click(&editor, nullptr);
  EXPECT_EQ(editor.text, "b=a\r\nc=a\r\nd=A");
  EXPECT_EQ(editor.start, 6);
}

}  // namespace
}  // namespace voq

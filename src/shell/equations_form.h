#pragma once
// The Equations window (window 1) and its editor. The editor keeps the text
// as the widget does (one character per line break); the engine reads and
// addresses it with CR LF breaks (two characters). Every engine position
// that enters or leaves this window goes through EditorPositionMap.
//
// What the engine sees of the window: EquationsEditor (the text, a read
// with its view kept) and CommentPainter (comments painted as they are
// read). Other commands use the public operations below.
#include <QPlainTextEdit>
#include <QTextBlock>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "platform/host.h"
#include "session/equation_editor.h"
#include "shell/gform.h"

class QAction;
class QMenu;

namespace voq {

class TEquationForm;

// The margin left of the editor; with wrapping on it shows a red ">" before
// every display line that continues a wrapped line.
class TContinuationMargin : public QWidget {
 public:
  explicit TContinuationMargin(TEquationForm* form);
  // The display lines (counted from the first visible one) that get ">".
  std::vector<int> MarkedLines() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  TEquationForm* form_;
};

class TOwnerDrawMemo : public QPlainTextEdit {
 public:
  explicit TOwnerDrawMemo(TEquationForm* form);

  int32_t LastHorzScrollMax = 0;
  int32_t LastTextLength = 0;
  // Set while a document fills the editor: changes are not handled.
  bool Loading = false;
  // The engine position at which each line starts, recorded when the
  // equations were last read (entry 0 is 0).
  std::vector<int32_t> LineStartTable{0};

  // Comment styling in engine positions. StyleMemoRange: first is the
  // one-based position of the opening delimiter, last the zero-based one of
  // the closing delimiter; Kind 0 comment type 1, 1 type 2; last < 0 the
  // whole text. ClearMemoRangeStyle: first..last zero-based, plain black.
  void StyleMemoRange(int32_t first, int32_t last, int32_t kind);
  void ClearMemoRangeStyle(int32_t first, int32_t last);
  // Selects engine range first..last-1, with the line of first scrolled to
  // the middle of the view; nothing when key is negative.
  void ScrollToRange(int32_t first, int32_t last, int32_t key);
  void ResetContent();
  // The zero-based display line holding an engine position, and the engine
  // position at which a display line starts.
  int32_t LineOfChar(int32_t position) const;
  int32_t LineStart(int32_t line) const;

  // The map of the current text.
  EditorPositionMap PositionMap() const;
  // The editor's selection as an engine range.
  int32_t EngineSelStart() const;
  int32_t EngineSelLength() const;

  // Editor range first..last (inclusive) in a comment kind's colour and
  // style, or (kind < 0) plain black; the selection is kept.
  void StyleEditorRange(int32_t first, int32_t last, int32_t kind);
  // The bold mark of the innermost unmatched parenthesis on the cursor's
  // display line.
  void MarkParenthesis();

  // What the margin needs of the widget's own layout.
  QPointF contentOffsetForMargin() const { return contentOffset(); }
  QTextBlock firstVisibleBlockForMargin() const { return firstVisibleBlock(); }
  QRectF blockGeometryForMargin(const QTextBlock& block) const { return blockBoundingGeometry(block); }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void insertFromMimeData(const QMimeData* source) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  friend class TEquationForm;
  void MemoChange();
  void MemoSelectionChange();

  TEquationForm* form_;
  // Formatting done by the program, not edits of the user.
  int styling_ = 0;
};

// Receives the Copy command's macro line (the Macro window when it exists).
class TablesMacroRecorder : public MacroRecorder {
 public:
  bool Recording() const override;
  void AppendLine(const std::string& line) override;
};

class TEquationForm : public TGForm, public EquationsEditor, public CommentPainter {
 public:
  explicit TEquationForm(QWidget* parent = nullptr);

  bool ResultsInvalidated = false;
  TOwnerDrawMemo* Memo;
  int32_t AppliedTabWidth = 1;
  QMenu* PopupMenu1;

  // EquationsEditor.
  std::string GetText() const override;
  void SetText(const std::string& text) override;
  bool ReplaceText(const std::string& oldText, const std::string& newText) override;
  void BeginRead() override;
  void EndRead(bool restoreView) override;
  // CommentPainter: engine positions, both ends included.
  void StyleCommentRange(int32_t first, int32_t last, int32_t styleClass) override;
  void ClearCommentStyles() override;

  void FormActivate();
  void FormResize();
  void SetFontInfo();
  void InvalidateResults();
  void Undo();
  // Readies the context menu for the current selection (what a right click
  // does before the menu shows).
  void PreparePopupMenu();
  void Comment1Click();
  void Cut1Click();
  void Copy1Click();
  void Paste1Click();
  void VariableInfo1Click();
  void Printselection1Click();
  // The printing command sets this; without it the item does nothing.
  std::function<void()> PrintSelection;
  // Where Copy records its macro line (nullptr: MacroRecording and the
  // Macro window's text).
  void SetMacroRecorder(MacroRecorder* recorder);

  // Selects characters start..end-1 of the engine's text (CR LF counted).
  void SelectEngineRange(int32_t start, int32_t end);
  QPlainTextEdit* Editor() const { return Memo; }
  TContinuationMargin* Margin() const { return margin_; }
  // The tab stops last applied, in points.
  const std::array<int32_t, 15>& TabStopsPoints() const { return tabStops_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  friend class TOwnerDrawMemo;
  void ApplyTypingFormat();
  QFont EditorFont() const;

  TContinuationMargin* margin_;
  std::array<int32_t, 15> tabStops_{};
  MacroRecorder* recorder_ = nullptr;
  TablesMacroRecorder tablesRecorder_;
  // Nested reads (a library read inside the document's) keep the outer
  // read's view.
  int readDepth_ = 0;
  EditorPositionMap readMap_;
  int savedAnchor_ = 0;
  int savedPosition_ = 0;
  int savedScrollV_ = 0;
  int savedScrollH_ = 0;
};

}  // namespace voq

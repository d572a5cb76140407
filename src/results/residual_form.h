#pragma once
// TResidualForm: the Residuals window (window 3). It shares the Solution
// window's class and draws the listing of output/residual_listing.h in its
// own scrolled view; the tab strip and the Check Units button of the base
// stay hidden. Closing hides it.
#include <QAbstractScrollArea>
#include <QPixmap>
#include <functional>
#include <string>
#include <vector>

#include "output/residual_listing.h"
#include "output/resize_repaint.h"
#include "results/solution_form.h"

class QMenu;
class QAction;
class QTimer;

namespace voq {

class TResidualForm;

class TResidualView : public QAbstractScrollArea {
 public:
  explicit TResidualView(TResidualForm* form);
  TResizeRepaintRule& ResizeRule() { return resizeRule_; }
  int DeferredRepaintMs = TResizeRepaintRule::kMinimumInterval + 1;
  // What the last paint did.
  const TResidualDisplay& LastDisplay() const { return last_; }
  int LineHeight() const { return lineHeight_; }
  int CharWidth() const { return charWidth_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // A picture drawn in black while Ctrl was held is drawn again in colour
  // once Ctrl is let go: the window opened by its own shortcut, Ctrl+R,
  // would otherwise keep the black picture until something else repaints.
  void RepaintWhenCtrlReleased();

  TResidualForm* form_;
  QTimer* ctrlReleaseWatch_ = nullptr;
  TResizeRepaintRule resizeRule_;
  bool resizeDeferred_ = false;
  TResidualDisplay last_;
  QPixmap cache_;
  int lineHeight_ = 16;
  int charWidth_ = 7;
};

class TResidualForm : public TSolutionForm {
 public:
  explicit TResidualForm(QWidget* parent = nullptr);

  void FormActivate() override;
  void FormDeactivate();
  TResidualView* ResidualView() const { return view_; }
  QMenu* PopupMenu1() const { return popup_; }
  QAction* Comment1() const { return comment1_; }
  QAction* CheckUnits1() const { return checkUnits1_; }

  // The Find dialog's Find Next and the main window's Next command.
  void Find(const std::string& text, bool fromCurrent, bool& notFound, bool wholeWords, bool matchCase);
  // The Equations window comes to the front with the chosen equation's
  // text selected.
  void JumptoEqns();
  // The unit check of the chosen equation.
  void CheckUnits();
  // The listing's text on the clipboard; gives the text.
  std::string CopyResiduals();
  // A press at a point of the view's content: chooses the equation drawn on
  // that line and opens the pop-up menu (at globalPos, unless popup is
  // false).
  void Press(QPoint content, QPoint globalPos, bool popup = true);
  TEquationRecord* Chosen() const { return ResidualState().Chosen; }

  // Opens the Variable Information dialog over the variables of one
  // equation (tests install a fake); gives true for OK.
  static std::function<bool(QWidget* parent)> RunVarInfoDialog;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  TResidualView* view_ = nullptr;
  QMenu* popup_ = nullptr;
  QAction* comment1_ = nullptr;
  QAction* checkUnits1_ = nullptr;
};

// The window in slot 3 of WindowList, made once (hidden).
TResidualForm* EnsureResidualForm();

// Opens the Variable Information dialog for just the variables of unit
// listed in vars (the unit's display list replaced for the time of the
// dialog); message 467 instead when one of them is local to a module.
// Gives true when the dialog ended with OK.
bool ShowVarInfoForVariables(QWidget* parent, TProgramUnitRecord* unit, const std::vector<int32_t>& vars);

}  // namespace voq

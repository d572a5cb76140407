#pragma once
// TSolutionForm: the Solution window (window 2). A tab strip for the main
// program, the called routines and program units, and a scrolled view that
// paints the listing the output layer computes afresh at every paint. The
// selection and the formats live in the variable records; this widget only
// shows them and passes the mouse and keys on.
#include <QAbstractScrollArea>
#include <QImage>
#include <QPixmap>
#include <string>

#include "output/resize_repaint.h"
#include "output/solution_listing.h"
#include "shell/gform.h"

class QPushButton;
class QTabBar;
class QPainter;

namespace voq {

class TSolutionForm;

// The scrolled content of the window.
class TSolutionView : public QAbstractScrollArea {
 public:
  explicit TSolutionView(TSolutionForm* form);
  // Draws the listing for a window widthPixels wide on painter, content
  // coordinates shifted by origin; gives the listing drawn.
  TSolutionListing Draw(QPainter& painter, int widthPixels, QPoint origin, bool screen);
  // The repaint rule while the window is resized; the deferred repaint
  // follows after DeferredRepaintMs.
  TResizeRepaintRule& ResizeRule() { return resizeRule_; }
  int DeferredRepaintMs = TResizeRepaintRule::kMinimumInterval + 1;
  // A paint at once, whatever the resize rule says (Select All).
  void RepaintNow();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  TSolutionForm* form_;
  TResizeRepaintRule resizeRule_;
  bool resizeDeferred_ = false;
  QPixmap cache_;  // the last paint's picture
};

class TSolutionForm : public TGForm {
 public:
  explicit TSolutionForm(QWidget* parent = nullptr);

  // Rebuilds the caption and the tabs (the window became active).
  virtual void FormActivate();
  // The listing of the last paint.
  const TSolutionListing& LastListing() const { return listing_; }
  TSolutionView* View() const { return view_; }
  QTabBar* TabControl() const { return tabs_; }
  QPushButton* ChkUnitsButton() const { return chkUnits_; }

  // The main window's commands.
  void Unselect();
  void SelectAll();
  void Undo();
  // Puts the text and, unless ctrl is held, a picture at twice the screen
  // scale on the clipboard; gives the picture drawn.
  QImage CopytoClip(bool ctrlHeld);
  bool SaveSolutionFile(const std::string& file, bool append);
  // Opens the format dialog for a variable of the current program unit or
  // a local of routine `routine` (index 0 then).
  void OpenFormatDialog(int32_t index, int32_t routine, TLocalVariableRecord* local);

  // Runs the main window's Residuals command.
  void ResButtonClick();

  // The handlers the view passes on.
  void Click(QPoint content, Qt::MouseButton button);
  void DoubleClick(QPoint content);
  void EnterKey();

  // The picture of the whole content at `scale` (2 for the clipboard).
  QImage Picture(double scale);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  friend class TSolutionView;
  void RebuildTabs();
  bool IsActiveChild() const;

  TSolutionView* view_;
  QTabBar* tabs_;
  QPushButton* chkUnits_;
  TSolutionListing listing_;
  bool rebuildingTabs_ = false;
  // The cell of the last paint.
  int lineHeight_ = 16;
  int charWidth_ = 7;
};

// The window in slot 2 of WindowList, made once (hidden) under the main
// window's document area; the solve commands show it with
// ShowSolutionWindow after a successful solve.
TSolutionForm* EnsureSolutionForm();
void ShowSolutionWindow();


}  // namespace voq

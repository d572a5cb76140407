#pragma once
// TFormattedEquationsForm: the Formatted Equations window (window 5). A
// scrolled view that paints the page the output layer lays out
// (output/formatted_page.h) through the Qt canvas, and passes the mouse
// on: a click selects a statement, a drag moves it, a right click selects
// the statement's text in the Equations window. Closing only hides it.
#include <QAbstractScrollArea>
#include <QImage>

#include "output/canvas.h"
#include "output/format_box.h"
#include "output/formatted_page.h"
#include "shell/formatted_equations_window.h"
#include "shell/gform.h"

namespace voq {

class TFormattedEquationsForm;

class TFormattedEquationsView : public QAbstractScrollArea {
 public:
  explicit TFormattedEquationsView(TFormattedEquationsForm* form);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  TFormattedEquationsForm* form_;
  // The page point the held left button was last moved to; the dragged
  // item's outline is drawn there.
  QPoint dragPoint_;
  bool dragging_ = false;
};

class TFormattedEquationsForm : public TGForm {
 public:
  explicit TFormattedEquationsForm(QWidget* parent = nullptr);

  // Draws the page on painter with the content shifted up by scrollY;
  // false when a statement could not be typeset (the window then shows
  // the error on the statement's text and closes).
  bool Draw(QPainter& painter, int scrollY, int height);
  // The whole page as a picture (a copy for the clipboard).
  QImage Picture();
  // The main window's commands.
  void SelectAll();
  bool IsSelected() const { return page_.IsSelected(); }
  void CopytoClip();
  // A fresh layout at the next paint (the equations changed).
  void Relayout() { page_.PaintedHeight = 0; }

  TFormattedEquations& Page() { return page_; }
  TFormattedEquationsView* View() const { return view_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  friend class TFormattedEquationsView;
  void ShowTypesetError();

  RecordingCanvas idleCanvas_;
  TFormattedForm layout_{idleCanvas_};
  TFormattedEquations page_{layout_};
  TFormattedEquationsView* view_;
};

// The one window, made hidden on first use and kept in WindowList.
TFormattedEquationsForm* EnsureFormattedEquationsForm();

}  // namespace voq

#pragma once
// TGForm: the base of every child window of the main window. Show and Hide
// go straight to the window system; IsShown records whether the program
// considers the window open; Show keeps the top-left corner inside the
// main window's client area so a window never comes back out of reach.
#include <QMdiSubWindow>

namespace voq {

class TGForm : public QMdiSubWindow {
 public:
  explicit TGForm(QWidget* parent = nullptr);

  void Show();
  void Hide();
  bool IsShown = false;
  // The window number (the form's tag): 1 Equations, 2 Solution, ...
  int Tag = 0;

 protected:
  // Size of the client area the window lives in.
  QSize ClientSize() const;
};

}  // namespace voq

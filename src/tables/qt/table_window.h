#pragma once
// TTableWindow: the table window of one kind (parametric 4, lookup 6,
// arrays 8, integral 10) as a Qt child window. A tab strip for the kinds
// with several tables and a grid that paints the cells TTableGrid draws on
// the shared canvas; input goes to the grid, which keeps every rule. The
// in-place editor is a line edit over the edited cell. Created hidden;
// closing only hides it.
#include <QAbstractScrollArea>
#include <QImage>
#include <QMenu>
#include <QPointer>
#include <functional>
#include <memory>

#include "shell/gform.h"
#include "tables/table_grid.h"

class QLineEdit;

class QTabBar;

namespace voq {

class TTableWindow;
class TQtTableDialogs;

class TTableGridView : public QAbstractScrollArea {
 public:
  explicit TTableGridView(TTableWindow* window);
  // Opens the cell editor on the selected cell with text (the cell's own
  // text when text is null).
  void OpenEditor(const QString* text);
  QLineEdit* Editor() const { return editor_; }
  // Puts the editor away once the grid accepted its text; false (and the
  // editor stays) when the edit was refused.
  bool CommitEditor();
  void SyncScrollBars();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  TTableWindow* window_;
  QLineEdit* editor_;
};

class TTableWindow : public TGForm {
 public:
  // dialogs: the dialogs of the tab and menu commands; nullptr gives the
  // program's own (the real tab dialog).
  TTableWindow(int32_t kind, TableGridDialogs* dialogs, QWidget* parent = nullptr);
  ~TTableWindow() override;

  TTableGrid& Grid() { return grid_; }
  TableGridDialogs& Dialogs() { return *dialogs_; }
  TTableGridView* View() const { return view_; }
  QTabBar* TabControl() const { return tabs_; }
  // Called once the window's last table was deleted, just before the
  // window deletes itself (the owner empties its window slot).
  std::function<void()> OnFreed;
  // The document's name for Print Selection ("" while untitled).
  std::function<std::string()> DocumentName;

  // Rebuilds the tabs and sizes from the model and repaints.
  void Refresh();
  void FormActivate();
  // The cells menu's Print Selection.
  void PrintSelection();
  // File > Print with this window in front: the shown table as one job
  // titled title. False when the job did not start.
  bool Print(const std::string& title);
  // The pop-up menu of a right press on grid cell (col, row), opened at
  // the screen point global; nothing when the cell has none.
  void ContextPopup(int32_t col, int32_t row, const QPoint& global);
  // The pop-up menu open now (nullptr when none), for tests.
  QMenu* ActiveMenu() const { return menu_; }
  // The window snapped to whole rows and columns at its current size.
  void SnapToGrid();
  // The grid as the window shows it, for tests.
  QImage Picture();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool event(QEvent* event) override;

 private:
  friend class TTableGridView;
  void TabChanged(int index);
  void TabPressed(QMouseEvent* event);
  bool eventFilter(QObject* watched, QEvent* event) override;

  void MenuItemChosen(const std::string& item, int32_t tag);

  TTableGrid grid_;
  std::unique_ptr<TQtTableDialogs> ownDialogs_;
  TableGridDialogs* dialogs_;
  QPointer<QMenu> menu_;
  bool snapping_ = false;
  QTabBar* tabs_ = nullptr;
  TTableGridView* view_ = nullptr;
  int shownTab_ = -1;
  bool rebuilding_ = false;
};

}  // namespace voq

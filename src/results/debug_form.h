#pragma once
// TDebugForm: the Debug window (window 11), made on first use and freed
// when closed, which draws the listing of output/debug_listing.h and passes
// clicks on; and TFuncProcUnits, the dialog in which the user types the
// units of a routine statement's locals.
#include <QAbstractScrollArea>
#include <QDialog>
#include <functional>
#include <string>

#include "output/debug_listing.h"
#include "output/func_proc_units.h"
#include "shell/gform.h"

class QTableWidget;
class QPushButton;

namespace voq {

class TDebugForm;
class TVarInfoDlg;

// Mode 1's variable click: the Variable Information dialog over every unit,
// its unit box on the variable's unit (for a module-local name the unit
// whose number follows the "@"), the variable's row current and at the
// top, in column Lower when the value sits at its lower bound, else Upper.
// Gives true for OK.
bool ShowVarInfoAtVariable(QWidget* parent, TProgramUnitRecord* unit, TVariableRecord* variable);

class TDebugView : public QAbstractScrollArea {
 public:
  explicit TDebugView(TDebugForm* form);
  int LineHeight() const { return lineHeight_; }
  int CharWidth() const { return charWidth_; }
  // Where the "Residuals" link was drawn (content coordinates).
  QRect LinkRect() const { return linkRect_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  TDebugForm* form_;
  int lineHeight_ = 16;
  int charWidth_ = 7;
  QRect linkRect_;
};

class TDebugForm : public TGForm {
 public:
  explicit TDebugForm(QWidget* parent = nullptr);
  ~TDebugForm() override;

  void FormActivate();
  TDebugView* View() const { return view_; }
  // The listing of the last paint.
  const TDebugListing& LastListing() const { return listing_; }
  // A click at a content point with button 1 (left) or 2 (right).
  void Click(QPoint content, int button);
  QFont DebugFont() const;
  // Runs the dialog ShowVarInfoAtVariable prepared (tests install a fake
  // that reads it); gives true for OK.
  static std::function<bool(TVarInfoDlg& dialog)> RunVarInfoAt;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  friend class TDebugView;
  bool IsActive() const;

  TDebugView* view_;
  TDebugListing listing_;
};

// The window in slot 11 (nullptr when there is none); it is opened by
// OpenDebugWindow of shell/result_windows.h.
TDebugForm* DebugForm();

class TFuncProcUnits : public QDialog {
 public:
  TFuncProcUnits(QWidget* parent, const std::string& caption);
  TFuncProcUnitsModel& Model() { return model_; }
  QTableWidget* Grid() const { return grid_; }
  QPushButton* OKBtn() const { return ok_; }
  QPushButton* CancelBtn() const { return cancel_; }
  // Fills the grid from the model; false when there is nothing to edit
  // (the dialog then ends with Cancel at once).
  bool FormActivate();
  void OKBtnClick();
  int exec() override;

 private:
  TFuncProcUnitsModel model_;
  QTableWidget* grid_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

}  // namespace voq

#pragma once
// The Search menu: the Find dialog TFindDialog ("Find") and the Replace
// dialog TReplaceDialog ("Replace"), made once with the main window and
// shown modally by Find and Replace, and Find Next. The dialogs stay open
// after each search until Cancel ("Done" after the first search) closes
// them. They draw and forward to the models of shell/find_replace.h; the
// Equations editor and the Residuals window are reached through the
// adapters below.
#include <QDialog>
#include <QObject>
#include <functional>
#include <memory>

#include "shell/find_replace.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace voq {

class TEquationForm;
class TVOQ_D;

// The Equations window's editor in engine positions (through its
// EditorPositionMap).
class TEquationSearchEditor : public SearchEditor {
 public:
  explicit TEquationSearchEditor(TEquationForm& form) : form_(form) {}
  std::string Text() const override;
  int32_t SelStart() const override;
  int32_t SelLength() const override;
  void Select(int32_t start, int32_t length) override;
  void ReplaceRanges(const std::vector<TTextRange>& ranges, const std::string& text) override;
  void FocusEditor() override;
  void RepaintEditor() override;

 private:
  TEquationForm& form_;
};

// The Residuals window's own search (when the window exists).
class TResidualSearch : public ResidualSearch {
 public:
  void Find(const std::string& text, bool fromCurrent, bool& notFound, bool wholeWords, bool matchCase) override;
};

// What a dialog searches: the Equations editor and the Residuals window,
// either absent (nullptr) when its window is.
struct TSearchTargets {
  std::function<SearchEditor*()> Editor = [] { return static_cast<SearchEditor*>(nullptr); };
  std::function<ResidualSearch*()> Residuals = [] { return static_cast<ResidualSearch*>(nullptr); };
};

class TFindDialog : public QDialog {
 public:
  TFindDialog(QWidget* parent, TFindDialogModel& model, TSearchTargets targets);

  // Activation: the controls from the model.
  void FormActivate();
  void FindNextClick();
  void TopRBClick();
  void CancelClick();
  // FormActivate, then modally.
  int Run();

  TFindDialogModel& Model() const { return model_; }
  QLineEdit* FindWhat() const { return findWhat_; }
  QCheckBox* WholeWord() const { return wholeWord_; }
  QCheckBox* MatchCase() const { return matchCase_; }
  QGroupBox* GroupBox1() const { return groupBox1_; }
  QRadioButton* CursorPosRB() const { return cursorPosRB_; }
  QRadioButton* TopRB() const { return topRB_; }
  QPushButton* FindNext() const { return findNext_; }
  QPushButton* Cancel() const { return cancel_; }

 private:
  void ReadControls();
  void ShowModel();

  TFindDialogModel& model_;
  TSearchTargets targets_;
  QLineEdit* findWhat_;
  QCheckBox* wholeWord_;
  QCheckBox* matchCase_;
  QGroupBox* groupBox1_;
  QRadioButton* cursorPosRB_;
  QRadioButton* topRB_;
  QPushButton* findNext_;
  QPushButton* cancel_;
};

class TReplaceDialog : public QDialog {
 public:
  TReplaceDialog(QWidget* parent, TReplaceDialogModel& model, TSearchTargets targets);

  void FormActivate();
  void FindNextClick();
  void ReplaceClick();
  void ReplaceAllClick();
  void TopRBClick();
  void CancelClick();
  int Run();

  TReplaceDialogModel& Model() const { return model_; }
  QLineEdit* FindWhat() const { return findWhat_; }
  QLineEdit* ReplaceWith() const { return replaceWith_; }
  QCheckBox* WholeWord() const { return wholeWord_; }
  QCheckBox* MatchCase() const { return matchCase_; }
  QGroupBox* GroupBox1() const { return groupBox1_; }
  QRadioButton* CursorPosRB() const { return cursorPosRB_; }
  QRadioButton* TopRB() const { return topRB_; }
  QPushButton* FindNext() const { return findNext_; }
  QPushButton* Replace() const { return replace_; }
  QPushButton* ReplaceAll() const { return replaceAll_; }
  QPushButton* Cancel() const { return cancel_; }

 private:
  void ReadControls();
  void ShowModel();
  // Runs one of the model's commands on the Equations editor.
  void OnEditor(const std::function<void(SearchEditor&)>& command);

  TReplaceDialogModel& model_;
  TSearchTargets targets_;
  QLineEdit* findWhat_;
  QLineEdit* replaceWith_;
  QCheckBox* wholeWord_;
  QCheckBox* matchCase_;
  QGroupBox* groupBox1_;
  QRadioButton* cursorPosRB_;
  QRadioButton* topRB_;
  QPushButton* findNext_;
  QPushButton* replace_;
  QPushButton* replaceAll_;
  QPushButton* cancel_;
};

// The Search menu's commands, made with the main window (its child
// "SearchCommands"): Find (F10), Replace (F11) and Find Next (F12); the
// menu enables them for the Equations window and, but for Replace, the
// Residuals window.
class TSearchCommands : public QObject {
 public:
  explicit TSearchCommands(TVOQ_D& window);
  ~TSearchCommands() override;

  void Find1Click();
  void Replace1Click();
  void Next1Click();
  void Search1Click();

  TSearchDialogs& Dialogs() { return dialogs_; }
  TFindDialog* FindDialog() const { return find_; }
  TReplaceDialog* ReplaceDialog() const { return replace_; }

 private:
  SearchEditor* EquationsEditor();
  ResidualSearch* Residuals();

  TVOQ_D& window_;
  TSearchDialogs dialogs_;
  std::unique_ptr<TEquationSearchEditor> editor_;
  std::unique_ptr<TResidualSearch> residuals_;
  TFindDialog* find_;
  TReplaceDialog* replace_;
};

// Makes the Search commands and sets the menu items' handlers.
void InstallSearchCommands(TVOQ_D& window);
// The main window's Search commands (nullptr before InstallSearchCommands).
TSearchCommands* SearchCommandsOf(const TVOQ_D& window);

}  // namespace voq

#pragma once
// TVOQ_D: the main window. A menu bar of nine menus, the 30-button tool bar,
// the multiple-document area that holds the child windows, and the two
// process-wide hooks: CheckMessage (an application event filter that sees
// every event before it is delivered) and Idle (run once after every burst
// of events, it keeps the tool bar, the active window and the caption in
// step with the program).
//
// While a calculation runs (Calculating) there is no second thread: the
// calculation's own poll lets the event loop run now and then. The filter
// then turns Esc into an abort request and drops every other user input,
// and the idle pass and the command timers do nothing, so no command can
// start inside a calculation and Calculating stays set until the command
// that set it clears it.
#include <QMainWindow>
#include <QTimer>
#include <array>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/host.h"
#include "platform/qt/qt_font_factory.h"

class QAction;
class QSize;
class QWidget;
class QMdiArea;
class QMenu;
class QToolBar;

namespace voq {

class QtPlatform;
class TGForm;
class TEquationForm;
class TCompiling;
class TProgressView;
class TCalculateMenu;

// The child windows by number (slots 1 to 11; slot 0 unused).
extern std::array<TGForm*, 12> WindowList;

class TVOQ_D : public QMainWindow, public WindowServices {
 public:
  explicit TVOQ_D(QWidget* parent = nullptr);
  ~TVOQ_D() override;

  // The program initialisation; programDir is the program file's folder.
  void FormCreate(const std::string& programDir);

  // Swaps the engine's window services, editor and platform for this
  // window's (a test does this on an engine already started).
  void InstallHostServices(QtPlatform& platform);
  // This window's part of a host record.
  void FillHost(THost& host);

  // The hooks.
  bool CheckMessage(QObject* target, QEvent* event);
  // What Esc does inside a calculation, for every window that offers it:
  // error 58 (cancelled) and the abort request the solvers poll.
  void RequestCalculationAbort();
  void Idle();
  void SetHelpFile();
  void setCaption(const std::string& name);

  // WindowServices.
  bool WindowExists(int window) override;
  void ShowWindow(int window) override;
  void ShowAndFocus(int window) override;
  // Windows > Cascade: the shown child windows stepped down and right,
  // keeping their sizes.
  void CascadeChildWindows();
  void SetEquationsHideSelection(bool hide) override;
  void SelectEquationsText(int32_t start, int32_t end, int32_t line) override;

  // A menu item or tool button by its component name (nullptr when none).
  QAction* Action(const std::string& name) const;
  QMenu* Menu(const std::string& name) const;
  QToolBar* Speedbar() const { return speedbar_; }
  QMdiArea* MdiArea() const { return mdi_; }
  TEquationForm* EquationForm() const { return equations_; }
  TCompiling* CompilingForm() const { return compiling_; }
  TProgressView* ProgressForm() const { return progress_; }
  // The Calculate menu's commands and the warnings window.
  TCalculateMenu* CalculateMenu() const { return calculateMenu_; }
  // The command a menu item or tool button runs; later parts set theirs.
  void SetHandler(const std::string& name, std::function<void()> handler);
  // The handler of a command (empty when none), so that a later part can
  // route the command and hand the rest on.
  std::function<void()> Handler(const std::string& name) const;

  // Fields the shell's commands share.
  std::string FileName;
  std::string AutoSaveFileName;
  std::vector<std::string> RecentFiles;
  bool Calculating = false;
  bool Exiting = false;
  bool DdeBusy = false;
  std::string CaptionText;
  std::string HelpFile;
  QTimer AutoSaveTimer;
  // What the autosave timer runs (the autosave command).
  std::function<void()> AutoSaveCommand;
  // What closing the main window runs first (the Exit command); the window
  // stays open unless it sets Exiting.
  std::function<void()> ExitCommand;
  // Builds the File menu's recent-file items again (the File commands).
  std::function<void()> FixFileNameListCommand;

 protected:
  bool eventFilter(QObject* target, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  void BuildSpeedbar();
  void BuildShortcuts();
  void BuildEditCommands();
  void RunCommand(const std::string& name, const std::string& caption);
  void ScheduleIdle();
  void UpdateEditButtons();
  void UpdateUnitSystemButton();
  void UpdateCalculateButtons();
  void UpdatePlotButtons();
  void UpdateWindowButtons();
  void SetEnabled(const char* name, bool enabled);
  bool ToolBarHidden() const;

  QMdiArea* mdi_;
  QToolBar* speedbar_;
  TEquationForm* equations_;
  TCompiling* compiling_;
  TProgressView* progress_;
  // The screen fonts the result windows measure and draw with.
  QtFontFactory fonts_;
  TCalculateMenu* calculateMenu_ = nullptr;
  QTimer idleTimer_;
  std::map<std::string, QAction*> actions_;
  std::map<std::string, QMenu*> menus_;
  std::map<std::string, std::function<void()>> handlers_;
  int unitSystemImage_ = 0;
  QtPlatform* platform_ = nullptr;
};

// The main window while the program runs (nullptr before and after).
TVOQ_D* MainWindow();

// Shrinks window to the client area's size when it is larger and moves it
// so that it lies wholly inside the area (a client area of client's size
// with its origin at 0,0).
void FitInsideClientArea(QWidget& window, const QSize& client);

}  // namespace voq

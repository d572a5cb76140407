#include "shell/main_window.h"
#include "shell/print_command.h"
#include "shell/options_dialogs.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPlainTextEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QToolBar>
#include <QWindow>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/message_ids.h"
#include "core/messages.h"
#include "core/number_format.h"
#include "core/program_flags.h"
#include "documents/defaults_file.h"
#include "model/display_fonts.h"
#include "model/document_settings.h"
#include "model/solve_session.h"
#include "model/store_state.h"
#include "platform/qt/qt_platform.h"
#include "plots/plots_state.h"
#include "shell/compiling_window.h"
#include "shell/formatted_equations_window.h"
#include "shell/about_box.h"
#include "shell/calculate_menu.h"
#include "shell/equations_form.h"
#include "shell/progress_view.h"
#include "shell/fatal_exit.h"
#include "shell/gform.h"
#include "shell/insert_array_dlg.h"
#include "shell/shell_state.h"
#include "shell/unit_dialogs.h"
#include "shell/search_dialogs.h"
#include "shell/var_info_dlg.h"
#include "tables/tables_state.h"
#include "units/constants.h"

namespace voq {

std::array<TGForm*, 12> WindowList{};

namespace {

TVOQ_D* mainWindow = nullptr;

// Set on a child window once it has been placed on its first appearance.
constexpr const char* kPlacedProperty = "voqPlaced";

struct TMenuItem {
  const char* Name;
  const char* Caption;  // nullptr: a separator
};

struct TMenuDef {
  const char* Name;
  const char* Caption;
  std::vector<TMenuItem> Items;
};

const std::vector<TMenuDef>& MenuDefinitions() {
  static const std::vector<TMenuDef> menus = {
      {"File1", "&File",
       {{"New1", "&New"}, {"Open1", "&Open..."}, {"Merge1", "&Merge..."}, {"Save1", "&Save"},
        {"SaveAs1", "Save &As..."}, {nullptr, nullptr}, {"LoadLibrary1", "&Load Library..."},
        {"LoadTextbook1", "Load &Textbook..."}, {"StandAlone1", "Make &Distributable Program..."},
        {nullptr, nullptr}, {"Print1", "&Print..."}, {"PrintSetup1", "P&rint Setup..."},
        {nullptr, nullptr}, {"Exit1", "E&xit"}}},
      {"Edit1", "&Edit",
       {{"Undo1", "&Undo"}, {nullptr, nullptr}, {"Cut1", "Cu&t"}, {"Copy1", "&Copy"},
        {"Paste1", "&Paste"}, {"Clear1", "&Clear"}, {"SelectAll1", "Select &All"},
        {"InsertModifyArray1", "Insert/Modify Array"}}},
      {"Search1", "&Search",
       {{"Find1", "&Find..."}, {"Replace1", "&Replace..."}, {"Next1", "Find &Next"}}},
      {"Options1", "&Options",
       {{"VariableInformation1", "&Variable Info..."}, {"FunctionInfo1", "&Function Info..."},
        {"UnitSystem1", "&Unit System..."}, {"StopCriteria1", "&Stop Criteria..."},
        {"DefaultInfo1", "&Default Info..."}, {"Constants1", "Co&nstants..."},
        {"UnitConversionInfo1", "Unit &Conversion Info..."},
        {"ShowDiagramToolBar", "Show Diagram &Tool Bar"}, {nullptr, nullptr},
        {"Preferences1", "&Preferences..."}}},
      {"Calculate1", "&Calculate",
       {{"ChecKFormat1", "&Check/Format"}, {"Solve1", "&Solve"}, {"SolveTable1", "Solve &Table..."},
        {nullptr, nullptr}, {"UncertaintyPropagation1", "Uncertainty &Propagation..."},
        {"UncertaintyPropagationTable1", "Uncertainty Propagation T&able..."}, {nullptr, nullptr},
        {"MinMax1", "&Min/Max..."}, {"MinMaxTable1", "Min/Max Ta&ble..."}, {nullptr, nullptr},
        {"UpdateGuesses1", "&Update Guesses"}, {"ResetGuesses1", "&Reset Guesses..."}}},
      {"Tables1", "&Tables",
       {{"NewParametricTable1", "&New Parametric Table..."}, {"AlterValues1", "&Alter Values..."},
        {"InsertDeleteRuns1", "Insert/Delete &Runs..."}, {"InsertDeleteVars1", "Insert/Delete &Vars..."},
        {"DeleteParametricTable1", "&Delete Parametric Table..."},
        {"StoreParametricTable1", "Store Parametric Table"},
        {"RetrieveParametricTable1", "Retrieve Parametic Table"}, {nullptr, nullptr},
        {"NewLookupTable1", "New &Lookup Table..."}, {"OpenLookupTable1", "&Open Lookup Table..."},
        {"SaveLookupTable1", "&Save Lookup Table..."},
        {"InsertDeleteLookupRows1", "Insert/Delete Lookup Ro&ws..."},
        {"InsertDeleteLookupCols1", "Insert/Delete Lookup &Cols..."},
        {"DeleteLookupTable1", "Delete Loo&kup Table..."}, {nullptr, nullptr},
        {"LinearRegression1", "Linear &Regression..."}}},
      {"Plot1", "&Plots",
       {{"NewPlotWindow1", "&New Plot Window..."}, {"OverlayPlot1", "&Overlay Plot..."},
        {"ModifyPlot1", "&Modify Plot..."}, {"ModifyAxes1", "Modify &Axes..."},
        {"ShowToolBar1", "Show/Hide Plot &Tool Bar"}, {"DeletePlotWindow1", "&Delete Plot Window..."},
        {nullptr, nullptr}, {"PropertyPlot1", "&Property Plot..."}, {"CurveFit1", "&Curve Fit..."}}},
      {"Window1", "&Windows",
       {{"Equations1", "&Equations"}, {"FormattedEquations1", "&Formatted Equations"},
        {"Solution1", "&Solution"}, {"Residuals1", "&Residuals"},
        {"ParametricTable1", "&Parametric Table"}, {"LookupTable1", "&Lookup Table"},
        {"Arrays1", "&Arrays"}, {"DiagramWindow1", "&Diagram Window"}, {nullptr, nullptr},
        {"Tile1", "&Tile"}, {"Cascade1", "&Cascade"}}},
      {"Help1", "&Help",
       {{"HelpIndex1", "Help &Index"}, {"UsingHelp1", "&Using Help"}, {"VOQManualAcrobat1", "VOQ &Manual"},
        {nullptr, nullptr}, {"AboutVOQ1", "&About VOQ..."}}},
  };
  return menus;
}

struct TButtonDef {
  const char* Name;
  const char* Hint;
  const char* Glyph;  // the short text of our own icon
  QRgb Colour;
};

// Left to right; the colour groups files, editing, options, calculation,
// tables and plots, and windows.
const std::vector<TButtonDef>& ButtonDefinitions() {
  static const std::vector<TButtonDef> buttons = {
      {"OpenButton", "Open", "Op", 0xFF3A6EA5},
      {"SaveButton1", "Save file", "Sv", 0xFF3A6EA5},
      {"Printbutton1", "Print", "Pr", 0xFF3A6EA5},
      {"Cutbutton1", "Cut", "Ct", 0xFF6A6A6A},
      {"CopyButton1", "Copy", "Cp", 0xFF6A6A6A},
      {"PasteButton1", "Paste", "Ps", 0xFF6A6A6A},
      {"VariableInfo1", "Variable Info", "VI", 0xFF7A4FA0},
      {"FunctionInfo", "Function Info", "FI", 0xFF7A4FA0},
      {"UnitSystemButton1", "Unit System", "SI", 0xFF7A4FA0},
      {"CheckButton1", "Check Equations", "Ck", 0xFF2E8B57},
      {"SolveButton1", "Solve", "=", 0xFF2E8B57},
      {"SolveTableButton1", "Solve Table", "ST", 0xFF2E8B57},
      {"MinMaxButton1", "Min/Max", "Mx", 0xFF2E8B57},
      {"UpdateGuessesButton1", "Update Guesses", "UG", 0xFF2E8B57},
      {"NewTableButton1", "New Parametric Table", "NT", 0xFFB8860B},
      {"NewPlotButton1", "New Plot Window", "NP", 0xFFB8860B},
      {"OverlayPlotButton1", "Overlay Plot", "OP", 0xFFB8860B},
      {"AddPlotTextButton1", "Show/Hide Tool Bar", "TB", 0xFFB8860B},
      {"PropertyPlotButton1", "Property Plot", "PP", 0xFFB8860B},
      {"EqnWindowButton1", "Equations Window", "Eq", 0xFFB03A2E},
      {"FmtEqnsWindowButton1", "Formatted Equations", "FE", 0xFFB03A2E},
      {"SolnWindowButton1", "Solution Window", "So", 0xFFB03A2E},
      {"ResButton", "Residuals Window", "Rs", 0xFFB03A2E},
      {"ArraysButton", "Arrays Table", "Ar", 0xFFB03A2E},
      {"ParametricWindowButton1", "Parametric Table", "Pa", 0xFFB03A2E},
      {"IntegralButton", "Integral Table", "In", 0xFFB03A2E},
      {"PlotWindowButton", "Plot Window", "Pl", 0xFFB03A2E},
      {"LookupButton", "Lookup Tables", "Lk", 0xFFB03A2E},
      {"DiagramWindowButton1", "Diagram Window", "Dg", 0xFFB03A2E},
      {"HelpButton1", "Help Index", "?", 0xFF3A6EA5},
  };
  return buttons;
}

QIcon ButtonIcon(const char* glyph, QRgb colour) {
  QPixmap pixmap(24, 24);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(QColor::fromRgba(colour));
  painter.setPen(Qt::NoPen);
  painter.drawRoundedRect(QRectF(1, 1, 22, 22), 4, 4);
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(10);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QRect(0, 0, 24, 24), Qt::AlignCenter, QString::fromLatin1(glyph));
  painter.end();
  return QIcon(pixmap);
}

bool StartsCommand(const QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::Drop:
    case QEvent::TouchBegin:
      return true;
    default:
      return false;
  }
}

// The top-level widget an event is for: a widget's window, or the widget
// whose native window receives the event before Qt hands it on to the
// widget under the mouse or with the focus.
QWidget* TargetWindow(QObject* target) {
  if (target->isWidgetType()) return static_cast<QWidget*>(target)->window();
  if (target->isWindowType()) {
    const auto* handle = static_cast<QWindow*>(target);
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (top->windowHandle() == handle) return top;
    }
  }
  return nullptr;
}

// The windows whose Esc asks for an abort while a calculation runs: the
// main window with its child windows, and the Compiling and progress
// windows (marked voqCalculationInput), whose Abort buttons do the same.
bool EscAborts(const QWidget* window, const QWidget* main) {
  return window != nullptr && (window == main || window->property("voqCalculationInput").toBool());
}

}  // namespace

TVOQ_D* MainWindow() { return mainWindow; }

TVOQ_D::TVOQ_D(QWidget* parent)
    : QMainWindow(parent), mdi_(new QMdiArea), speedbar_(nullptr), equations_(nullptr), compiling_(nullptr), progress_(nullptr) {
  mainWindow = this;
  setObjectName(QStringLiteral("VOQ_D"));
  setWindowTitle(QStringLiteral("VOQ"));
  // The program's own icon for the main window, its child windows and its
  // boxes, not the toolkit's.
  QApplication::setWindowIcon(ButtonIcon("V", 0xFF2E8B57));
  setWindowIcon(QApplication::windowIcon());
  mdi_->setBackground(QApplication::palette().brush(QPalette::Dark));
  setCentralWidget(mdi_);
  BuildMenus();
  BuildSpeedbar();
  BuildShortcuts();
  equations_ = new TEquationForm;
  mdi_->addSubWindow(equations_);
  equations_->resize(620, 420);
  equations_->Hide();
  BuildEditCommands();
  compiling_ = new TCompiling(this);
  progress_ = new TProgressView(this);
  calculateMenu_ = new TCalculateMenu(*this);
  WindowList.fill(nullptr);
  WindowList[kEquationsWindow] = equations_;
  idleTimer_.setSingleShot(true);
  idleTimer_.setInterval(0);
  connect(&idleTimer_, &QTimer::timeout, this, [this] { Idle(); });
  connect(&AutoSaveTimer, &QTimer::timeout, this, [this] {
    if (Calculating) return;
    if (AutoSaveCommand) AutoSaveCommand();
  });
  resize(1000, 700);
  InstallPrintCommand(*this);
  InstallUnitCommands(*this);
  InstallOptionsDialogs(*this);
  InstallVarInfoCommand(*this);
  InstallSearchCommands(*this);
  InstallInsertArrayCommand(*this);
}

TVOQ_D::~TVOQ_D() {
  qApp->removeEventFilter(this);
  WindowList.fill(nullptr);
  if (mainWindow == this) mainWindow = nullptr;
}

void TVOQ_D::BuildMenus() {
  for (const TMenuDef& def : MenuDefinitions()) {
    QMenu* menu = menuBar()->addMenu(QString::fromLatin1(def.Caption));
    menu->setObjectName(QString::fromLatin1(def.Name));
    menus_[def.Name] = menu;
    for (const TMenuItem& item : def.Items) {
      if (item.Name == nullptr) {
        menu->addSeparator();
        continue;
      }
      QAction* action = menu->addAction(QString::fromLatin1(item.Caption));
      action->setObjectName(QString::fromLatin1(item.Name));
      actions_[item.Name] = action;
      const std::string name = item.Name;
      QString caption = QString::fromLatin1(item.Caption);
      caption.remove(QLatin1Char('&'));
      if (caption.endsWith(QStringLiteral("..."))) caption.chop(3);
      const std::string plain = caption.toStdString();
      connect(action, &QAction::triggered, this, [this, name, plain] { RunCommand(name, plain); });
    }
  }
  // The commands this window can carry out itself.
  SetHandler("Exit1", [this] { close(); });
  SetHandler("Tile1", [this] { mdi_->tileSubWindows(); });
  SetHandler("Cascade1", [this] { CascadeChildWindows(); });
  SetHandler("Equations1", [this] { ShowAndFocus(kEquationsWindow); });
  SetHandler("EqnWindowButton1", [this] { ShowAndFocus(kEquationsWindow); });
  SetHandler("FormattedEquations1", [] { ShowFormattedEquations(); });
  SetHandler("FmtEqnsWindowButton1", [] { ShowFormattedEquations(); });
  SetHandler("AboutVOQ1", [this] {
    TAboutBox box(this);
    box.show();
    box.WaitEvent();
  });
}

void TVOQ_D::BuildShortcuts() {
  // The keys of the menu items, shown beside their captions; a key whose
  // command is not built yet says so as its menu item does.
  static const std::pair<const char*, const char*> keys[] = {
      {"New1", "Ctrl+N"},          {"Open1", "Ctrl+O"},          {"Save1", "Ctrl+S"},
      {"Print1", "Ctrl+P"},        {"Undo1", "Ctrl+Z"},          {"Cut1", "Ctrl+X"},
      {"Copy1", "Ctrl+C"},         {"Paste1", "Ctrl+V"},         {"SelectAll1", "Ctrl+A"},
      {"Find1", "F10"},            {"Replace1", "F11"},          {"Next1", "F12"},
      {"VariableInformation1", "F9"}, {"ChecKFormat1", "Ctrl+K"}, {"Solve1", "F2"},
      {"SolveTable1", "F3"},       {"MinMax1", "F4"},            {"MinMaxTable1", "F5"},
      {"UncertaintyPropagation1", "F6"}, {"UncertaintyPropagationTable1", "F7"},
      {"UpdateGuesses1", "Ctrl+G"}, {"Equations1", "Ctrl+E"},    {"FormattedEquations1", "Ctrl+F"},
      {"Solution1", "Ctrl+U"},     {"Arrays1", "Ctrl+Y"},        {"Residuals1", "Ctrl+R"},
      {"ParametricTable1", "Ctrl+T"}, {"LookupTable1", "Ctrl+L"}, {"DiagramWindow1", "Ctrl+D"},
      {"HelpIndex1", "F1"},
  };
  for (const auto& [name, key] : keys) {
    if (QAction* action = Action(name)) {
      action->setShortcut(QKeySequence(QString::fromLatin1(key)));
      action->setShortcutContext(Qt::WindowShortcut);
    }
  }
}

void TVOQ_D::BuildEditCommands() {
  // Undo, Cut, Copy, Paste, Clear and Select All act on the Equations
  // window when it is the active window; Cut, Copy and Clear need a
  // selection there.
  auto editor = [this]() -> QPlainTextEdit* {
    return ActiveChildWindow == kEquationsWindow || mdi_->activeSubWindow() == equations_ ? equations_->Editor()
                                                                                          : nullptr;
  };
  auto onEditor = [this, editor](const char* name, std::function<void(QPlainTextEdit&)> act) {
    const std::string caption = name;
    SetHandler(name, [this, editor, act, caption] {
      if (QPlainTextEdit* e = editor()) {
        act(*e);
        return;
      }
      std::string plain = caption.substr(0, caption.size() - 1);
      ShowAlert("\"" + plain + "\" is not yet available.", kAlertInfoOk, false);
    });
  };
  onEditor("Undo1", [](QPlainTextEdit& e) { e.undo(); });
  onEditor("Cut1", [](QPlainTextEdit& e) { e.cut(); });
  onEditor("Copy1", [](QPlainTextEdit& e) { e.copy(); });
  onEditor("Paste1", [](QPlainTextEdit& e) { e.paste(); });
  onEditor("Clear1", [](QPlainTextEdit& e) { e.textCursor().removeSelectedText(); });
  onEditor("SelectAll1", [](QPlainTextEdit& e) { e.selectAll(); });
  connect(Menu("Edit1"), &QMenu::aboutToShow, this, [this, editor] {
    QPlainTextEdit* e = editor();
    const bool selection = e != nullptr && e->textCursor().hasSelection();
    for (const char* name : {"Cut1", "Copy1", "Clear1"}) Action(name)->setEnabled(e == nullptr || selection);
    Action("Undo1")->setEnabled(e == nullptr || e->document()->isUndoAvailable());
  });
  // Windows > Solution shows the window while a solution (or the last
  // iteration's values) exists, also after it was closed.
  SetHandler("Solution1", [this] {
    if (WindowExists(kSolutionWindow) && (SolutionAvailable || SolutionStarted)) {
      ShowAndFocus(kSolutionWindow);
    } else {
      ShowAlert("\"Solution\" is not yet available.", kAlertInfoOk, false);
    }
  });
}

void TVOQ_D::BuildSpeedbar() {
  speedbar_ = addToolBar(QStringLiteral("Speedbar"));
  speedbar_->setObjectName(QStringLiteral("Speedbar"));
  speedbar_->setMovable(false);
  speedbar_->setIconSize(QSize(24, 24));
  speedbar_->setCursor(Qt::ArrowCursor);
  int index = 0;
  for (const TButtonDef& def : ButtonDefinitions()) {
    // Separators between the groups.
    if (index == 3 || index == 6 || index == 9 || index == 14 || index == 19 || index == 29) {
      speedbar_->addSeparator();
    }
    ++index;
    QAction* action = speedbar_->addAction(ButtonIcon(def.Glyph, def.Colour), QString::fromLatin1(def.Hint));
    action->setObjectName(QString::fromLatin1(def.Name));
    action->setToolTip(QString::fromLatin1(def.Hint));
    actions_[def.Name] = action;
    const std::string name = def.Name;
    const std::string hint = def.Hint;
    connect(action, &QAction::triggered, this, [this, name, hint] { RunCommand(name, hint); });
  }
}

QAction* TVOQ_D::Action(const std::string& name) const {
  auto it = actions_.find(name);
  return it == actions_.end() ? nullptr : it->second;
}

QMenu* TVOQ_D::Menu(const std::string& name) const {
  auto it = menus_.find(name);
  return it == menus_.end() ? nullptr : it->second;
}

void TVOQ_D::SetHandler(const std::string& name, std::function<void()> handler) {
  handlers_[name] = std::move(handler);
}

std::function<void()> TVOQ_D::Handler(const std::string& name) const {
  auto it = handlers_.find(name);
  return it != handlers_.end() ? it->second : std::function<void()>();
}

void TVOQ_D::RunCommand(const std::string& name, const std::string& caption) {
  if (Calculating) return;
  auto it = handlers_.find(name);
  if (it != handlers_.end() && it->second) {
    GuardEventHandler([&] { it->second(); });
    return;
  }
  // A command whose part of the program is not built yet says so.
  ShowAlert("\"" + caption + "\" is not yet available.", kAlertInfoOk, false);
}

void TVOQ_D::FormCreate(const std::string& programDir) {
  QApplication::setApplicationName(QString::fromStdString(InstanceTitle));
  SignificantDigits = 4;
  Exiting = false;
  std::string dir = programDir;
  while (dir.size() > 1 && (dir.back() == '/' || dir.back() == '\\')) dir.pop_back();
  ProgramDirectory = dir;
  ReadDirectorySettings(ProgramDirectory);
  RecentFiles.clear();
  if (!DistributableMode && Preferences.RecentFileCount > 0) {
    std::ifstream in(ProgramDirectory + "/VOQ.FNL", std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      RecentFiles.push_back(line);
    }
  }
  InstallFatalExitHandler();
  qApp->installEventFilter(this);
  SetHelpFile();
  Calculating = false;
  DdeBusy = false;
  AutoSaveFileName.clear();
  if (Preferences.AutosaveMinutes > 0 && !DistributableMode) {
    AutoSaveTimer.setInterval(Preferences.AutosaveMinutes * 60000);
    AutoSaveTimer.start();
  } else {
    AutoSaveTimer.stop();
  }
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen != nullptr && screen->size().width() < 700) {
    for (const char* name : {"PlotWindowButton", "IntegralButton", "ArraysButton"}) Action(name)->setVisible(false);
  }
  // There is no reader for the manual's viewer registered here; the item
  // stays off.
  Action("VOQManualAcrobat1")->setEnabled(false);
  ScheduleIdle();
}

void TVOQ_D::InstallHostServices(QtPlatform& platform) {
  platform_ = &platform;
  SetPlatform(&platform);
  SetWindows(this);
  SetEquationsEditor(equations_);
  SetCommentPainter(equations_);
  SetCompilingWindow(compiling_);
  SetProgressView(progress_);
  SetSolveSequenceServices(calculateMenu_);
  SetFontFactory(&fonts_);
  CreateDisplayFonts();
}

void TVOQ_D::FillHost(THost& host) {
  host.Windows = this;
  host.Equations = equations_;
  host.Comments = equations_;
  host.Compiling = compiling_;
  host.Progress = progress_;
  host.SolveWindows = calculateMenu_;
  host.Fonts = &fonts_;
}

void TVOQ_D::SetHelpFile() {
  std::string language = LocaleLanguageName();
  for (char& c : language) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const std::string french = ProgramDirectory + "/VOQ_FRA.HLP";
  if (language.rfind("FR", 0) == 0 && std::filesystem::exists(french)) {
    HelpFile = french;
  } else {
    HelpFile = ProgramDirectory + "/VOQ.HLP";
  }
}

void TVOQ_D::setCaption(const std::string& /*name*/) {
  std::string caption = "VOQ Professional Version:  " + FileName;
  if (Preferences.ComplexMode != 0) caption += " - " + GetMessageText(kMsgComplexModeSuffix);
  if (caption == CaptionText) return;
  CaptionText = caption;
  setWindowTitle(QString::fromStdString(Cp1252ToUtf8(caption)));
}

bool TVOQ_D::eventFilter(QObject* target, QEvent* event) {
  if (StartsCommand(event) || event->type() == QEvent::WindowActivate) ScheduleIdle();
  return CheckMessage(target, event);
}

bool TVOQ_D::CheckMessage(QObject* target, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape && platform_ != nullptr && !key->isAutoRepeat()) {
      platform_->SetEscHeld(type == QEvent::KeyPress);
    }
  }
  if (Calculating && StartsCommand(event)) {
    // The main window and its child windows start no command inside a
    // calculation; every other window (the alerts and questions, the
    // Compiling and progress windows, a dialog the solve opens) is the
    // calculation's own and takes its input, so it can be answered.
    const QWidget* window = TargetWindow(target);
    const bool escape = type == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
    if (escape && EscAborts(window, this)) {
      RequestCalculationAbort();
      return true;
    }
    if (window == this) return true;
  }
  if (type != QEvent::KeyPress || KeyDialogOpen) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  // Tab, Enter and the arrows belong to the Diagram and Plot windows, which
  // this program does not have yet; Esc outside a calculation does nothing.
  if ((key->modifiers() & Qt::KeypadModifier) != 0 &&
      (key->key() == Qt::Key_Period || key->key() == Qt::Key_Comma || key->key() == Qt::Key_Delete) &&
      (key->text() == QStringLiteral(".") || key->text() == QStringLiteral(","))) {
    // The keypad's decimal key types the decimal separator of the locale.
    const QString wanted = QString(QLatin1Char(DecimalSeparator == ',' ? ',' : '.'));
    if (key->text() == wanted) return false;
    QKeyEvent replaced(QEvent::KeyPress, DecimalSeparator == ',' ? Qt::Key_Comma : Qt::Key_Period,
                       key->modifiers(), wanted, key->isAutoRepeat(), static_cast<ushort>(key->count()));
    QCoreApplication::sendEvent(target, &replaced);
    return true;
  }
  return false;
}

void TVOQ_D::RequestCalculationAbort() {
  // The error and the request are all the solvers read; a key noted for
  // the next poll would outlive a calculation that ends first and cancel
  // the next one.
  CalcErrorCode = kMsgCancelled;
  AbortRequested = true;
}

void TVOQ_D::ScheduleIdle() {
  if (!idleTimer_.isActive()) idleTimer_.start();
}

bool TVOQ_D::ToolBarHidden() const { return Preferences.SpeedBarHidden != 0; }

void TVOQ_D::Idle() {
  // Inside a calculation the event loop runs only for the abort poll: the
  // tool bar waits, and Calculating belongs to the command that set it.
  if (Calculating) return;
  if (QMdiSubWindow* active = mdi_->activeSubWindow()) {
    if (auto* form = dynamic_cast<TGForm*>(active)) ActiveChildWindow = form->Tag;
  }
  if (ToolBarHidden()) return;
  UpdateEditButtons();
  UpdateUnitSystemButton();
  UpdateCalculateButtons();
  UpdatePlotButtons();
  UpdateWindowButtons();
  Calculating = false;
  DdeBusy = false;
}

void TVOQ_D::SetEnabled(const char* name, bool enabled) {
  if (QAction* action = Action(name); action != nullptr && action->isEnabled() != enabled) action->setEnabled(enabled);
}

void TVOQ_D::UpdateEditButtons() {
  QMdiSubWindow* active = mdi_->activeSubWindow();
  auto* form = dynamic_cast<TGForm*>(active);
  if (form == nullptr) {
    SetEnabled("Cutbutton1", false);
    SetEnabled("CopyButton1", false);
    SetEnabled("PasteButton1", false);
    return;
  }
  std::string clip;
  const bool clipboardText = platform_ != nullptr && platform_->GetClipboardText(clip);
  switch (form->Tag) {
    case kEquationsWindow:
      if (DistributableMode) {
        SetEnabled("CopyButton1", false);
        SetEnabled("PasteButton1", false);
      } else {
        const bool selection = equations_->Editor()->textCursor().hasSelection();
        SetEnabled("CopyButton1", selection);
        SetEnabled("Cutbutton1", selection);
        SetEnabled("PasteButton1", clipboardText);
      }
      break;
    case kSolutionWindow:
    case kResidualsWindow:
      SetEnabled("Cutbutton1", false);
      SetEnabled("CopyButton1", true);
      break;
    default:
      break;
  }
  QAction* save = Action("SaveButton1");
  if (DocumentUnchanged && save->isEnabled()) save->setEnabled(false);
  if (!DocumentUnchanged && !save->isEnabled() && !DistributableMode) save->setEnabled(true);
  if (DistributableMode) {
    SetEnabled("PasteButton1", false);
    SetEnabled("SaveButton1", false);
  }
  if (Preferences.ComplexMode != 0) {
    SetEnabled("Constants1", false);
  } else if (ConstantsList.size() > 1) {
    SetEnabled("Constants1", true);
  }
  setCaption(FileName);
}

void TVOQ_D::UpdateUnitSystemButton() {
  const int wanted = DocumentSettings.UnitSystem == 0 ? 9 : 10;
  if (wanted == unitSystemImage_) return;
  unitSystemImage_ = wanted;
  Action("UnitSystemButton1")->setIcon(ButtonIcon(wanted == 9 ? "SI" : "En", 0xFF7A4FA0));
}

void TVOQ_D::UpdateCalculateButtons() {
  SetEnabled("SolveTableButton1", WindowList[kParametricTableWindow] != nullptr);
  const bool hasVariables = MainProgramUnit != nullptr && CurrentProgramUnit != nullptr &&
                            CurrentProgramUnit->UsedVariableCount > 0;
  SetEnabled("UpdateGuessesButton1", hasVariables && SolutionAvailable);
}

void TVOQ_D::UpdatePlotButtons() {
  const bool tableWindow = WindowList[4] != nullptr || WindowList[6] != nullptr || WindowList[8] != nullptr ||
                           WindowList[10] != nullptr;
  // The Plot window's tabs are its plots.
  const bool plotTabs = WindowList[kPlotWindow] != nullptr && !PlotList.empty();
  SetEnabled("NewPlotButton1", tableWindow);
  SetEnabled("OverlayPlotButton1", tableWindow && plotTabs);
  SetEnabled("AddPlotTextButton1", plotTabs);
  SetEnabled("PropertyPlotButton1", true);
}

void TVOQ_D::UpdateWindowButtons() {
  const bool solution = SolutionAvailable || SolutionStarted;
  SetEnabled("SolnWindowButton1", solution);
  SetEnabled("ResButton", solution);
  SetEnabled("IntegralButton", WindowList[kIntegralTableWindow] != nullptr);
  if (!PlotList.empty()) SetEnabled("PlotWindowButton", true);
  SetEnabled("ArraysButton", WindowList[kArraysTableWindow] != nullptr);
  SetEnabled("LookupButton", WindowList[kLookupTableWindow] != nullptr);
}

bool TVOQ_D::WindowExists(int window) {
  return window >= 1 && window <= 11 && WindowList[static_cast<size_t>(window)] != nullptr;
}

void TVOQ_D::ShowWindow(int window) {
  if (!WindowExists(window)) return;
  TGForm* form = WindowList[static_cast<size_t>(window)];
  const bool firstShow = !form->property(kPlacedProperty).toBool();
  form->Show();
  // The toolkit places a new child window at a free spot of the client
  // area, but keeps its size: in a small client area (a small screen, or
  // the display scaled 2x) the Solution window opened with its lower part
  // out of sight. On its first appearance it is fitted inside the area;
  // afterwards it stays where the user puts it.
  if (window == kSolutionWindow && firstShow) {
    form->setProperty(kPlacedProperty, true);
    FitInsideClientArea(*form, mdi_->viewport()->size());
  }
  mdi_->setActiveSubWindow(form);
}

void FitInsideClientArea(QWidget& window, const QSize& client) {
  if (client.isEmpty()) return;
  const QRect now = window.geometry();
  const QSize size = now.size().boundedTo(client).expandedTo(window.minimumSize());
  const int x = std::clamp(now.x(), 0, std::max(0, client.width() - size.width()));
  const int y = std::clamp(now.y(), 0, std::max(0, client.height() - size.height()));
  const QRect fitted(QPoint(x, y), size);
  if (fitted != now) window.setGeometry(fitted);
}

void TVOQ_D::CascadeChildWindows() {
  // Each shown window one title bar lower and to the right of the one
  // behind it, at the size the user gave it (the toolkit's own cascade
  // shrinks them all).
  const int step = mdi_->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, mdi_) + 4;
  int offset = 0;
  for (QMdiSubWindow* w : mdi_->subWindowList(QMdiArea::StackingOrder)) {
    if (!w->isVisible() || w->isMinimized()) continue;
    if (w->isMaximized()) w->showNormal();
    const QSize size = w->size();
    w->setGeometry(QRect(QPoint(offset, offset), size));
    w->raise();
    offset += step;
  }
}

void TVOQ_D::ShowAndFocus(int window) {
  if (!WindowExists(window)) return;
  ShowWindow(window);
  TGForm* form = WindowList[static_cast<size_t>(window)];
  if (form->widget() != nullptr) form->widget()->setFocus();
  form->update();
  ActiveChildWindow = window;
}

void TVOQ_D::SetEquationsHideSelection(bool /*hide*/) {
  // A plain text editor keeps its selection visible when it loses the focus.
}

void TVOQ_D::SelectEquationsText(int32_t start, int32_t end, int32_t line) {
  equations_->Memo->ScrollToRange(start, end, line);
}

void TVOQ_D::closeEvent(QCloseEvent* event) {
  if (Calculating) {
    event->ignore();
    return;
  }
  if (!Exiting && ExitCommand) {
    ExitCommand();
    if (!Exiting) {
      event->ignore();
      return;
    }
  }
  Exiting = true;
  event->accept();
}

}  // namespace voq

#include "shell/program.h"

#include <QDir>
#include <QFileInfo>
#include <QToolBar>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "assembly/engine_assembly.h"
#include "core/calc_state.h"
#include "core/messages.h"
#include "model/document_settings.h"
#include "core/program_flags.h"
#include "documents/user_libraries.h"
#include "model/external_routines.h"
#include "output/solution_listing.h"
#include "platform/qt/qt_platform.h"
#include "output/print_engine.h"
#include "session/compile_driver.h"
#include "session/document_reset.h"
#include "session/engine.h"
#include "shell/about_box.h"
#include "shell/command_line.h"
#include "shell/equations_form.h"
#include "shell/fatal_exit.h"
#include "shell/file_menu.h"
#include "shell/main_window.h"
#include "shell/table_windows.h"
#include "shell/seams.h"
#include "shell/shell_state.h"
#include "shell/single_copy.h"
#include "shell/warn_mult_copy.h"
#include "tables/tables_state.h"

namespace voq {

TVoqApplication::TVoqApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TVoqApplication::notify(QObject* receiver, QEvent* event) {
  bool result = false;
  GuardEventHandler([&] { result = QApplication::notify(receiver, event); });
  return result;
}


int RunProgram(int argc, char** argv) {
  TVoqApplication app(argc, argv);
  std::vector<std::string> params;
  for (int i = 1; i < argc; ++i) params.emplace_back(argv[i]);

  // 1. Nothing exists yet.
  DistributableMode = false;
  DistributableFileIndex = 1;
  WindowList.fill(nullptr);

  // 2. The main window and the program initialisation.
  static QtPlatform platform;
  static QuietHostWindows quiet;
  TVOQ_D window;
  THost host = quiet.Record(platform);
  window.FillHost(host);
  // The table windows: their menu items, and the document reset's and
  // $SUMROW's way to them.
  TTableWindows tableWindows(window);
  host.Documents = &tableWindows;
  host.Directives = &tableWindows;
  InstallShell();
  std::string missing;
  if (!AssembleEngine(host, &missing)) {
    std::fprintf(stderr, "voq: no %s\n", missing.c_str());
    return 2;
  }
  window.InstallHostServices(platform);
  // The File commands; the start document and "HELLO.VOQ" open through them.
  TFileMenu fileMenu(window);
  // A read document's tables get their windows before the File menu
  // arranges the windows.
  tableWindows.FollowDocumentFiles(fileMenu);
  const std::string programDir = QCoreApplication::applicationDirPath().toStdString();
  ShellCommands().ReadExternals = [programDir] {
    ReadExternals(programDir, std::string());
    RegisterPropertyDllProc();
  };
  window.FormCreate(programDir);
  fileMenu.FixFileNameList();

  // 3 to 5. The single-copy check.
  TCopyCheck check;
  check.ProgramDir = programDir;
  check.Params = params;
  check.AskStartAnother = [&window](bool& noMoreWarn) {
    TWarnMultCopy dialog(&window);
    const bool yes = dialog.exec() == QDialog::Accepted;
    noMoreWarn = dialog.NoMoreWarn();
    return yes;
  };
  check.EndProcess = [] { std::_Exit(0); };
  CheckRunningCopies(check);
  QApplication::setApplicationName(QString::fromStdString(InstanceTitle));

  // 7 to 9. The command line.
  PlayingMacroFile = false;
  MacroPlayingFromWindow = false;
  DdeCommandActive = false;
  HiddenMode = false;
  const TStartMode mode = ParseStartMode(params);
  PlayingMacroFile = mode.PlayingMacroFile;
  HiddenMode = mode.HiddenMode;
  StartupMacroFile = mode.MacroFile;
  if (PlayingMacroFile || HiddenMode) {
    window.showMinimized();
  } else {
    window.showMaximized();
  }
  if (Preferences.SpeedBarHidden != 0 || DistributableMode) window.Speedbar()->hide();

  // 11 to 13. The splash box while the user libraries load.
  {
    TAboutBox splash(&window);
    const bool interactive = !PlayingMacroFile && !HiddenMode;
    if (interactive) splash.show();
    const bool distributable = DistributableMode;
    DistributableMode = false;
    ShellCommands().ReadExternals();
    if (interactive) splash.WaitEvent();
    splash.close();
    DistributableMode = distributable;
  }

  // 15 to 17. An empty document in the Equations window.
  ResetDocument();
  window.SetHelpFile();
  Equations().SetText(std::string());
  if (!PlayingMacroFile) window.ShowAndFocus(kEquationsWindow);
  DocumentUnchanged = true;
  window.setCaption(window.FileName);

  // 18 and 19. The start document or the welcome document.
  if (!PlayingMacroFile && !mode.FirstParameter.empty() && !HiddenMode && !DistributableMode) {
    ShellCommands().ReadaFile(mode.FirstParameter);
  }
  if (mode.FirstParameter.empty() && !DistributableMode && !Platform().ShiftKeyDown() &&
      !Platform().EscKeyDown() && std::filesystem::exists(ProgramDirectory + "/HELLO.VOQ")) {
    ShellCommands().ReadaFile(ProgramDirectory + "/HELLO.VOQ");
  }
  // 20. The start-up compile; its result is left for the first command.
  if (!Platform().CtrlKeyDown()) {
    CalcErrorCode = 0;
    EnsureCompiled(true);
  }
  if (ActiveChildWindow == kEquationsWindow) window.EquationForm()->Editor()->setFocus();
  if (PlayingMacroFile) ShellCommands().RunMacro(StartupMacroFile, true);
  window.EquationForm()->Editor()->document()->clearUndoRedoStacks();
  const int result = QApplication::exec();
  ReleaseCopyLocks();
  return result;
}

}  // namespace voq

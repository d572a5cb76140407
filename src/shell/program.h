#pragma once
// The program: the application object and the start-up sequence that
// creates the windows, checks for other copies, reads the command line,
// shows the splash box while the user libraries load, compiles the start
// document and runs the event loop.
#include <QApplication>

namespace voq {

// Catches an exception that escapes an event handler: the user's work is
// saved and the program ends with the fatal-error message.
class TVoqApplication : public QApplication {
 public:
  TVoqApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

// The whole run; the process exit status.
int RunProgram(int argc, char** argv);

}  // namespace voq

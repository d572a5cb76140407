#pragma once
// The shell's window tests need one application object for the whole test
// program; it runs on the offscreen platform unless the environment names
// another.
#include <unistd.h>

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QMessageBox>
#include <QObject>
#include <QTimer>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "shell/shell_state.h"

namespace voq::testing {

// The shell's globals join the engine reset that starts every test.
inline const bool kShellResetRegistered = (InstallShell(), true);

// A QObject that lives for one test. Timers a test starts with it as their
// context (watchdogs, polls for a modal box) die when the test ends, so a
// late one can never close or click a dialog of the next test, nor reach the
// finished test's locals.
inline QObject*& TestScopeSlot() {
  static QObject* scope = nullptr;
  return scope;
}

inline QObject* TestScope() {
  QObject*& scope = TestScopeSlot();
  if (scope == nullptr) scope = new QObject;
  return scope;
}

class TestScopeListener : public ::testing::EmptyTestEventListener {
  void OnTestEnd(const ::testing::TestInfo&) override {
    delete TestScopeSlot();
    TestScopeSlot() = nullptr;
  }
};

inline const bool kTestScopeRegistered =
    (::testing::UnitTest::GetInstance()->listeners().Append(new TestScopeListener), true);

// Answers the next message box that comes up within about five seconds:
// clicks `which` (or rejects the box when it has no such button), keeping
// its text in `text` when given. The poll lives in the test's scope, so it
// neither outlives the test nor keeps itself alive.
inline void AnswerNextMessageBox(QMessageBox::StandardButton which, std::string* text = nullptr) {
  auto* poll = new QTimer(TestScope());
  QObject::connect(poll, &QTimer::timeout, poll, [poll, which, text, tries = 0]() mutable {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      poll->stop();
      if (text != nullptr) *text = box->text().toStdString();
      if (QAbstractButton* button = box->button(which)) {
        button->click();
      } else {
        box->reject();
      }
      poll->deleteLater();
    } else if (++tries >= 500) {
      poll->stop();
      poll->deleteLater();
    }
  });
  poll->start(10);
}

// ActOnNextDialog runs act on the next modal dialog named objectName that comes up within
// about five seconds (e.g. sets fields and closes it), polled like
// AnswerNextMessageBox.
inline void ActOnNextDialog(const char* objectName, std::function<void(QDialog*)> act) {
  auto* poll = new QTimer(TestScope());
  QObject::connect(poll, &QTimer::timeout, poll, [poll, objectName, act, tries = 0]() mutable {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog != nullptr && dialog->objectName() == QLatin1String(objectName)) {
      poll->stop();
      act(dialog);
      poll->deleteLater();
    } else if (++tries >= 500) {
      poll->stop();
      poll->deleteLater();
    }
  });
  poll->start(10);
}
// Closes the next such dialog with OK (result 1) or Cancel (2).
inline void AnswerNextDialog(const char* objectName, bool ok) {
  ActOnNextDialog(objectName, [ok](QDialog* d) { d->done(ok ? 1 : 2); });
}

inline QApplication& EnsureApplication() {
  static int argc = 1;
  static char name[] = "test_shell";
  static char* argv[] = {name, nullptr};
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

// A per-process temporary folder for one test (removed by the caller).
inline std::string MakeTempFolder(const std::string& stem) {
  static std::atomic<int> counter{0};
  const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                    (stem + "_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir.string();
}

// Writes a window picture under the build's test output folder (and, when
// VOQ_PNG_COPY_DIR is set, a copy there); gives the path written.
inline std::string SaveTestPicture(const QImage& image, const std::string& name) {
  const std::filesystem::path dir = std::filesystem::path(VOQ_TEST_OUTPUT_DIR) / "shell";
  std::filesystem::create_directories(dir);
  const std::string path = (dir / name).string();
  image.save(QString::fromStdString(path), "PNG");
  if (const char* copy = std::getenv("VOQ_PNG_COPY_DIR")) {
    std::error_code ec;
    std::filesystem::copy_file(path, std::filesystem::path(copy) / name,
                               std::filesystem::copy_options::overwrite_existing, ec);
  }
  return path;
}

}  // namespace voq::testing

#include "platform/qt/qt_platform.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFont>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <QEventLoop>
#include <algorithm>

namespace voq {

namespace {

// Windows-1252 code points 0x80 to 0x9F; the rest of the page is Latin-1.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

QString FromCp1252(const std::string& bytes) {
  QString out;
  out.reserve(static_cast<qsizetype>(bytes.size()));
  for (unsigned char c : bytes) {
    out.append(c >= 0x80 && c < 0xA0 ? QChar(kHighControls[c - 0x80]) : QChar(c));
  }
  return out;
}

std::string ToCp1252(const QString& text) {
  std::string out;
  out.reserve(static_cast<size_t>(text.size()));
  for (QChar ch : text) {
    const char16_t u = ch.unicode();
    if (u < 0x80 || (u >= 0xA0 && u < 0x100)) {
      out.push_back(static_cast<char>(u));
      continue;
    }
    char mapped = '?';
    for (int i = 0; i < 32; ++i) {
      if (kHighControls[i] == u && u != 0xFFFD) mapped = static_cast<char>(0x80 + i);
    }
    out.push_back(mapped);
  }
  return out;
}

}  // namespace

std::string Cp1252ToUtf8(const std::string& bytes) { return FromCp1252(bytes).toStdString(); }
std::string Utf8ToCp1252(const std::string& text) { return ToCp1252(QString::fromStdString(text)); }

QtPlatform::QtPlatform() : start_(std::chrono::steady_clock::now()), random_(std::random_device{}()) {}

int32_t QtPlatform::TickCount() {
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_).count();
  return static_cast<int32_t>(static_cast<uint32_t>(ms));
}

int QtPlatform::ShowAlertBox(const std::string& text, int kind, int32_t helpContext) {
  ++alertCount_;
  lastAlertText_ = text;
  lastAlertKind_ = kind;
  lastAlertCaption_ = "VOQ";
  if (scriptedAnswer_ != 0) return scriptedAnswer_;
  QMessageBox::Icon icon = QMessageBox::Critical;
  switch (AlertKindIcon(kind)) {
    case AlertIcon::Error: icon = QMessageBox::Critical; break;
    case AlertIcon::Information: icon = QMessageBox::Information; break;
    case AlertIcon::Warning: icon = QMessageBox::Warning; break;
  }
  return RunBox(lastAlertCaption_, text, kind, icon, helpContext);
}

int QtPlatform::ShowQuestionBox(const std::string& caption, const std::string& text, int kind) {
  ++alertCount_;
  lastAlertText_ = text;
  lastAlertKind_ = kind;
  lastAlertCaption_ = caption;
  if (scriptedAnswer_ != 0) return scriptedAnswer_;
  return RunBox(caption, text, kind, QMessageBox::Question, 0);
}

int QtPlatform::RunBox(const std::string& caption, const std::string& text, int kind, int icon,
                       int32_t helpContext) {
  QMessageBox box(QApplication::activeWindow());
  box.setObjectName(QStringLiteral("VoqAlert"));
  // A title and a close button; no minimise or maximise.
  box.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  box.setWindowTitle(FromCp1252(caption));
  box.setText(FromCp1252(text));
  box.setIcon(static_cast<QMessageBox::Icon>(icon));
  // Each button carries the modal result the engine expects.
  std::vector<std::pair<QAbstractButton*, int>> buttons;
  for (int result : AlertKindButtons(kind)) {
    QAbstractButton* b = nullptr;
    switch (result) {
      case kResultOk: b = box.addButton(QMessageBox::Ok); break;
      case kResultCancel: b = box.addButton(QMessageBox::Cancel); break;
      case kResultYes: b = box.addButton(QMessageBox::Yes); break;
      case kResultNo: b = box.addButton(QMessageBox::No); break;
      case kResultAll: b = box.addButton(QMessageBox::YesToAll); b->setText(QStringLiteral("All")); break;
      default: break;
    }
    if (b != nullptr) buttons.emplace_back(b, result);
  }
  if (!buttons.empty()) box.setDefaultButton(qobject_cast<QPushButton*>(buttons.front().first));
  // Esc answers Cancel, else No, else the only button there is.
  QAbstractButton* escape = nullptr;
  for (int wanted : {kResultCancel, kResultNo}) {
    for (const auto& [button, result] : buttons) {
      if (escape == nullptr && result == wanted) escape = button;
    }
  }
  if (escape == nullptr && buttons.size() == 1) escape = buttons.front().first;
  if (escape != nullptr) box.setEscapeButton(escape);
  QPushButton* help = nullptr;
  if (helpContext > 0) {
    // The Help button opens the context's page and leaves the box up.
    help = box.addButton(QMessageBox::Help);
    help->disconnect();
    // Enter keeps answering the box after a click on Help.
    help->setFocusPolicy(Qt::NoFocus);
    help->setAutoDefault(false);
    const QString page = QString::fromStdString(helpFolder_) + QStringLiteral("/%1.html").arg(helpContext);
    QObject::connect(help, &QPushButton::clicked, [this, page] {
      if (helpOpener_) {
        helpOpener_(page.toStdString());
      } else {
        QDesktopServices::openUrl(QUrl::fromLocalFile(page));
      }
    });
  }
  box.exec();
  QAbstractButton* pressed = box.clickedButton();
  for (const auto& [button, result] : buttons) {
    if (button == pressed) return result;
  }
  // Closed by the window manager or Esc: the box's cancel answer.
  const std::vector<int> kinds = AlertKindButtons(kind);
  for (int r : kinds) {
    if (r == kResultCancel) return kResultCancel;
  }
  for (int r : kinds) {
    if (r == kResultNo) return kResultNo;
  }
  return AlertDefaultResult(kind);
}

bool QtPlatform::TakeEscKeyDown() {
  // The calculation's poll: the event loop runs once (the filter turns Esc
  // into the abort request and drops other input while Calculating).
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  const bool esc = escPending_;
  escPending_ = false;
  return esc;
}

bool QtPlatform::CtrlKeyDown() {
  return (QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier) != 0;
}

bool QtPlatform::ShiftKeyDown() {
  return (QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier) != 0;
}

bool QtPlatform::EscKeyDown() { return escHeld_; }

bool QtPlatform::AltKeyDown() {
  return (QGuiApplication::queryKeyboardModifiers() & Qt::AltModifier) != 0;
}

void QtPlatform::Beep() { QApplication::beep(); }

bool QtPlatform::GetClipboardText(std::string& text) {
  const QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr) return false;
  const QString t = clipboard->text();
  if (t.isNull()) return false;
  text = ToCp1252(t);
  return true;
}

bool QtPlatform::SetClipboardText(const std::string& text) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr) return false;
  clipboard->setText(FromCp1252(text));
  return true;
}

namespace {

// "label|pattern|label|pattern" into Qt's "label (pattern)" list.
QStringList QtFileFilters(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString pattern = parts[i + 1];
    pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
    filters << parts[i] + QStringLiteral(" (") + pattern + QStringLiteral(")");
  }
  return filters;
}

}  // namespace

bool QtPlatform::AskSaveFileName(const std::string& title, const std::string& filter, int filterIndex,
                                 std::string& path) {
  const QStringList filters = QtFileFilters(filter);
  QFileDialog dialog(QApplication::activeWindow(), FromCp1252(title), QString(), filters.join(QStringLiteral(";;")));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  if (!path.empty()) dialog.selectFile(FromCp1252(path));
  if (filterIndex >= 1 && filterIndex <= filters.size()) dialog.selectNameFilter(filters[filterIndex - 1]);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  path = ToCp1252(dialog.selectedFiles().front());
  return true;
}

bool QtPlatform::AskOpenFileName(const std::string& title, const std::string& filter, int filterIndex,
                                 std::string& path) {
  // "label|pattern|label|pattern" into Qt's "label (pattern);;..." form.
  const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString pattern = parts[i + 1];
    pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
    filters << parts[i] + QStringLiteral(" (") + pattern + QStringLiteral(")");
  }
  QFileDialog dialog(QApplication::activeWindow(), FromCp1252(title), QString(), filters.join(QStringLiteral(";;")));
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (!path.empty()) dialog.selectFile(FromCp1252(path));
  if (filterIndex >= 1 && filterIndex <= filters.size()) dialog.selectNameFilter(filters[filterIndex - 1]);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  path = ToCp1252(dialog.selectedFiles().front());
  return true;
}

void QtPlatform::SetBusyCursor(int cursor) {
  if (busyCursor_ != 0) QGuiApplication::restoreOverrideCursor();
  busyCursor_ = cursor;
  if (cursor == 1) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  if (cursor == 5) QGuiApplication::setOverrideCursor(Qt::BusyCursor);
}

void QtPlatform::ProcessPendingMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void QtPlatform::WaitForMessages(int32_t milliseconds) {
  // A nested loop that sleeps until an event or the timer comes.
  QEventLoop loop;
  QTimer::singleShot(std::max<int32_t>(1, milliseconds), &loop, &QEventLoop::quit);
  loop.exec();
}

double QtPlatform::RandomUniform() { return std::uniform_real_distribution<double>(0.0, 1.0)(random_); }

void InstallFontSubstitutions() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  const QStringList sans{QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")};
  const QStringList serif{QStringLiteral("DejaVu Serif"), QStringLiteral("Liberation Serif")};
  const QStringList mono{QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono")};
  for (const char* face : {"Arial", "MS Sans Serif", "System", "Helvetica"}) {
    QFont::insertSubstitutions(QString::fromLatin1(face), sans);
  }
  for (const char* face : {"Times New Roman", "Century SchoolBk", "Century SchoolBook", "Bookman Old Style"}) {
    QFont::insertSubstitutions(QString::fromLatin1(face), serif);
  }
  for (const char* face : {"Courier New", "MS LineDraw"}) {
    QFont::insertSubstitutions(QString::fromLatin1(face), mono);
  }
}

QString SymbolUnicodeFamily() { return QStringLiteral("DejaVu Sans"); }

}  // namespace voq

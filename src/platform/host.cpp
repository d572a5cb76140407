#include "platform/host.h"

#include <algorithm>

#include <cstdio>
#include <cstdlib>

namespace voq {

namespace {

// The record the host installed, and the one in force (a test may swap a
// service for a while).
THost installedHost;
THost currentHost;

[[noreturn]] void HostServiceMissing(const char* name) {
  std::fprintf(stderr, "VOQ: the engine needs the host's %s, but none is installed (StartEngine not called?)\n",
               name);
  std::fflush(stderr);
  std::abort();
}

template <typename T>
T& Required(T* service, const char* name) {
  if (service == nullptr) HostServiceMissing(name);
  return *service;
}

template <typename T>
void Swap(T* THost::*member, T* service) {
  currentHost.*member = service != nullptr ? service : installedHost.*member;
}

}  // namespace

bool InMemoryEquationsEditor::ReplaceText(const std::string& oldText, const std::string& newText) {
  if (oldText.empty()) return false;
  const size_t at = text_.find(oldText);
  if (at == std::string::npos) return false;
  text_.replace(at, oldText.size(), newText);
  return true;
}

void InMemoryEquationsEditor::InsertAtCaret(const std::string& text) {
  const size_t at = std::min(size_t(std::max<int32_t>(caret_, 0)), text_.size());
  text_.insert(at, text);
  caret_ = int32_t(at + text.size());
}

void InMemoryEquationsEditor::SetCaret(int32_t position) {
  caret_ = std::clamp<int32_t>(position, 0, int32_t(text_.size()));
}

// The language part of the POSIX locale name ("fr_CA.UTF-8" gives "FR").
std::string EnvironmentLocaleLanguage() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') continue;
    std::string text = value;
    text = text.substr(0, text.find_first_of("_.@"));
    for (char& c : text) {
      if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    }
    return text;
  }
  return "";
}

char PointDecimalSeparator() { return '.'; }

std::string MissingHostService(const THost& host) {
  if (host.Platform == nullptr) return "platform services";
  if (host.Windows == nullptr) return "window services";
  if (host.Equations == nullptr) return "Equations editor";
  if (host.Compiling == nullptr) return "Compiling window";
  if (host.Diagram == nullptr) return "Diagram inputs";
  if (host.Documents == nullptr) return "document windows";
  if (host.SolveWindows == nullptr) return "solve sequence windows";
  if (host.Comments == nullptr) return "comment painter";
  if (host.Progress == nullptr) return "progress view";
  if (host.Directives == nullptr) return "directive windows";
  if (host.Summary == nullptr) return "problem summary environment";
  if (host.LocaleLanguage == nullptr) return "locale language reader";
  if (host.Fonts == nullptr) return "font factory";
  if (host.SystemDecimalSeparator == nullptr) return "decimal separator reader";
  return "";
}

void InstallHost(const THost& host) {
  installedHost = host;
  currentHost = host;
}

void RestoreInstalledHost() { currentHost = installedHost; }

const THost& CurrentHost() { return currentHost; }

PlatformServices& Platform() { return Required(currentHost.Platform, "platform services"); }
WindowServices& Windows() { return Required(currentHost.Windows, "window services"); }
EquationsEditor& Equations() { return Required(currentHost.Equations, "Equations editor"); }
CompilingWindow& Compiling() { return Required(currentHost.Compiling, "Compiling window"); }
DiagramInputs& Diagram() { return Required(currentHost.Diagram, "Diagram inputs"); }
DocumentWindows& DocumentResetWindows() { return Required(currentHost.Documents, "document windows"); }
SolveSequenceServices& SolveServices() {
  return Required(currentHost.SolveWindows, "solve sequence windows");
}
CommentPainter& CommentPaint() { return Required(currentHost.Comments, "comment painter"); }
ProgressView& Progress() { return Required(currentHost.Progress, "progress view"); }
DirectiveWindows& DirectiveWindowServices() {
  return Required(currentHost.Directives, "directive windows");
}
const ProblemSummaryEnvironment& SummaryEnvironment() {
  return Required(currentHost.Summary, "problem summary environment");
}
std::string LocaleLanguageName() {
  if (currentHost.LocaleLanguage == nullptr) HostServiceMissing("locale language reader");
  return currentHost.LocaleLanguage();
}
FontFactory& Fonts() { return Required(currentHost.Fonts, "font factory"); }
char SystemDecimalSeparator() {
  if (currentHost.SystemDecimalSeparator == nullptr) HostServiceMissing("decimal separator reader");
  return currentHost.SystemDecimalSeparator();
}

void SetPlatform(PlatformServices* services) { Swap(&THost::Platform, services); }
void SetWindows(WindowServices* services) { Swap(&THost::Windows, services); }
void SetEquationsEditor(EquationsEditor* editor) { Swap(&THost::Equations, editor); }
void SetCompilingWindow(CompilingWindow* window) { Swap(&THost::Compiling, window); }
void SetDiagramInputs(DiagramInputs* diagram) { Swap(&THost::Diagram, diagram); }
void SetDocumentWindows(DocumentWindows* windows) { Swap(&THost::Documents, windows); }
void SetSolveSequenceServices(SolveSequenceServices* services) { Swap(&THost::SolveWindows, services); }
void SetCommentPainter(CommentPainter* painter) { Swap(&THost::Comments, painter); }
void SetProgressView(ProgressView* view) { Swap(&THost::Progress, view); }
void SetDirectiveWindows(DirectiveWindows* windows) { Swap(&THost::Directives, windows); }
void SetProblemSummaryEnvironment(ProblemSummaryEnvironment* environment) {
  Swap(&THost::Summary, environment);
}
void SetLocaleLanguageReader(LocaleLanguageReader reader) {
  currentHost.LocaleLanguage = reader != nullptr ? reader : installedHost.LocaleLanguage;
}
void SetFontFactory(FontFactory* fonts) { Swap(&THost::Fonts, fonts); }
void SetDecimalSeparatorReader(DecimalSeparatorReader reader) {
  currentHost.SystemDecimalSeparator = reader != nullptr ? reader : installedHost.SystemDecimalSeparator;
}

ScopedPlatform::ScopedPlatform(PlatformServices& services) : previous_(currentHost.Platform) {
  currentHost.Platform = &services;
}

ScopedPlatform::~ScopedPlatform() { currentHost.Platform = previous_; }

THost QuietHostWindows::Record(PlatformServices& platform) {
  THost host;
  host.Platform = &platform;
  host.Windows = &Windows;
  host.Equations = &Equations;
  host.Compiling = &Compiling;
  host.Diagram = &Diagram;
  host.Documents = &Documents;
  host.SolveWindows = &SolveWindows;
  host.Comments = &Comments;
  host.Progress = &Progress;
  host.Directives = &Directives;
  host.Summary = &Summary;
  host.LocaleLanguage = &EnvironmentLocaleLanguage;
  host.Fonts = &Fonts;
  host.SystemDecimalSeparator = &PointDecimalSeparator;
  return host;
}

}  // namespace voq

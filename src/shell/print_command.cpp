#include "shell/print_command.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QDir>
#include <QPrinterInfo>
#include <QWidget>
#include <algorithm>
#include <filesystem>
#include <memory>

#include "output/equation_print.h"
#include "output/formatted_page.h"
#include "output/print_engine.h"
#include "output/residual_print.h"
#include "output/solution_listing.h"
#include "output/solution_print.h"
#include "shell/print_surfaces.h"
#include "core/program_flags.h"
#include "platform/host.h"
#include "platform/platform.h"
#include "shell/equations_form.h"
#include "shell/formatted_equations_window.h"
#include "shell/main_window.h"
#include "shell/shell_state.h"
#include "tables/qt/table_window.h"

namespace voq {

namespace {

// The devices follow the open document, whose name gives the PDF's.
class ShellPrintDevices : public PrintDevices {
 public:
  explicit ShellPrintDevices(TVOQ_D& window) : window_(window) {}
  PrintSurface* Printer() override {
    printer_ = std::make_unique<QtPrinterSurface>(PrintPdfPath(window_.FileName));
    return printer_.get();
  }
  PrintSurface* Preview() override {
    preview_ = std::make_unique<QtPreviewSurface>();
    return preview_.get();
  }

 private:
  TVOQ_D& window_;
  std::unique_ptr<QtPrinterSurface> printer_;
  std::unique_ptr<QtPreviewSurface> preview_;
};

}  // namespace

std::string PrintJobTitle(const std::string& fileName) {
  if (fileName.empty()) return "(Untitled)";
  if (fileName.size() <= 72) return fileName;
  return fileName.substr(fileName.size() - 72);
}

std::string PrintPdfPath(const std::string& fileName) {
  if (fileName.empty()) return (QDir::homePath() + QStringLiteral("/Untitled.pdf")).toStdString();
  std::filesystem::path path(fileName);
  path.replace_extension(".pdf");
  return path.string();
}

bool PrintEquationsWindow(TVOQ_D& window) {
  PrintPageState = kPageStateRunning;
  PrintState.PreviewMode = false;
  Printing = true;
  bool begun = BeginPrintJob(PrintJobTitle(window.FileName), 1);
  if (begun) {
    const std::string text = window.EquationForm() != nullptr ? window.EquationForm()->GetText() : "";
    PrintEquationsText(text, Fonts().ScreenPixelsPerInch());
    EndPrintJob();
  }
  Printing = false;
  return begun;
}

bool PrintSolutionWindow(TVOQ_D& window) {
  PrintPageState = kPageStateRunning;
  PrintState.PreviewMode = false;
  Printing = true;
  const bool begun = BeginPrintJob(PrintJobTitle(window.FileName), 1);
  if (begun) {
    PrintSolution(std::max(SolutionState().SelectedTab, 0));
    EndPrintJob();
  }
  Printing = false;
  // The print laid the entries out for paper: the window lays them out
  // again, with the rectangles its clicks hit.
  if (TGForm* form = WindowList[kSolutionWindow]) {
    for (QWidget* child : form->findChildren<QWidget*>()) child->update();
  }
  return begun;
}

bool PrintResidualsWindow(TVOQ_D& window) {
  PrintPageState = kPageStateRunning;
  PrintState.PreviewMode = false;
  Printing = true;
  const bool begun = BeginPrintJob(PrintJobTitle(window.FileName), 1);
  if (begun) {
    // Holding Ctrl prints in black, as it paints the window in black.
    PrintResiduals((QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier) != 0);
    EndPrintJob();
  }
  Printing = false;
  if (TGForm* form = WindowList[kResidualsWindow]) {
    for (QWidget* child : form->findChildren<QWidget*>()) child->update();
  }
  return begun;
}

bool PrintFormattedEquationsWindow(TVOQ_D& window) {
  TFormattedEquations* page = FormattedEquationsPage();
  if (page == nullptr) return PrintEquationsWindow(window);
  PrintPageState = kPageStateRunning;
  PrintState.PreviewMode = false;
  Printing = true;
  const bool begun = BeginPrintJob(PrintJobTitle(window.FileName), 1);
  if (begun) {
    page->Print();
    EndPrintJob();
  }
  Printing = false;
  // The print laid the statements out for paper: the window lays them out
  // again for the screen.
  page->PaintedHeight = 0;
  if (TGForm* form = WindowList[kFormattedEquationsWindow]) {
    for (QWidget* child : form->findChildren<QWidget*>()) child->update();
  }
  return begun;
}

bool PrintActiveWindow(TVOQ_D& window) {
  if (ActiveChildWindow == kSolutionWindow && WindowList[kSolutionWindow] != nullptr) return PrintSolutionWindow(window);
  if (ActiveChildWindow == kResidualsWindow && WindowList[kResidualsWindow] != nullptr) return PrintResidualsWindow(window);
  if (ActiveChildWindow == kFormattedEquationsWindow && WindowList[kFormattedEquationsWindow] != nullptr) {
    return PrintFormattedEquationsWindow(window);
  }
  if (ActiveChildWindow >= 1 && ActiveChildWindow < int(WindowList.size())) {
    if (auto* table = dynamic_cast<TTableWindow*>(WindowList[size_t(ActiveChildWindow)])) {
      return table->Print(PrintJobTitle(window.FileName));
    }
  }
  return PrintEquationsWindow(window);
}

bool PrintFromMenu(TVOQ_D& window) {
  // With no printer installed the job becomes a PDF beside the document.
  // No Print dialog names that file yet: an existing one is replaced only
  // when the user agrees, and the user is told where the printout went.
  const bool toPdf = QPrinterInfo::availablePrinters().isEmpty() || QPrinterInfo::defaultPrinter().isNull();
  const std::string pdf = PrintPdfPath(window.FileName);
  std::error_code error;
  if (toPdf && std::filesystem::exists(pdf, error) &&
      Platform().ShowAlertBox("The file " + pdf + " already exists.  Replace it with this printout?",
                              kAlertWarningYesNo, 0) != kResultYes) {
    return false;
  }
  const bool printed = PrintActiveWindow(window);
  if (printed && toPdf && std::filesystem::exists(pdf, error))
    Platform().ShowAlertBox("The printout was written to " + pdf + ".", kAlertInfoOk, 0);
  return printed;
}

void InstallPrintCommand(TVOQ_D& window) {
  static std::unique_ptr<ShellPrintDevices> devices;
  static const TVOQ_D* owner = nullptr;
  devices = std::make_unique<ShellPrintDevices>(window);
  owner = &window;
  SetPrintDevices(devices.get());
  SetPrintDistributableFileText([] {
    return QCoreApplication::applicationFilePath().toStdString() + " (" +
           std::to_string(DistributableFileIndex) + ")";
  });
  // The devices name the window's document: they go with the window.
  QObject::connect(&window, &QObject::destroyed, [target = &window] {
    if (owner != target) return;
    SetPrintDevices(nullptr);
    devices.reset();
    owner = nullptr;
  });
  window.SetHandler("Print1", [&window] { PrintFromMenu(window); });
  window.SetHandler("Printbutton1", [&window] { PrintFromMenu(window); });
}

}  // namespace voq

#pragma once
// A print job on recording surfaces for the output tests: the devices are
// installed for the test's lifetime, the header date is fixed and the
// platform is a scripted one of the test's own (alerts and the Alt key).
#include <string>

#include "output/print_engine.h"
#include "output/print_surface.h"
#include "platform/host.h"
#include "platform/scripted_platform.h"

namespace voq::test {

class RecordingPrintDevices : public PrintDevices {
 public:
  PrintSurface* Printer() override { return havePrinter ? &printer : nullptr; }
  PrintSurface* Preview() override { return havePreview ? &preview : nullptr; }
  RecordingPrintSurface printer;
  RecordingPrintSurface preview;
  bool havePrinter = true;
  bool havePreview = true;
};

class ScopedPrintJobEnvironment {
 public:
  ScopedPrintJobEnvironment() : scoped_(platform) {
    SetPrintDevices(&devices);
    SetPrintDateText([] { return std::string("12/11/2026 7:02 AM"); });
  }
  ~ScopedPrintJobEnvironment() { SetPrintDevices(nullptr); }
  ScopedPrintJobEnvironment(const ScopedPrintJobEnvironment&) = delete;
  ScopedPrintJobEnvironment& operator=(const ScopedPrintJobEnvironment&) = delete;

  // A printer job as the stand-alone print commands open one.
  bool BeginPrinterJob(const std::string& title = "C:\\WORK\\PUMP.VOQ") {
    PrintPageState = 0;
    Printing = true;
    PrintState.PreviewMode = false;
    return BeginPrintJob(title, 1);
  }

  ScriptedPlatform platform;
  RecordingPrintDevices devices;

 private:
  ScopedPlatform scoped_;
};

}  // namespace voq::test

#include "core/core_state.h"

#include "core/calc_state.h"
#include "core/locale_settings.h"
#include "core/messages.h"
#include "core/number_format.h"
#include "core/program_flags.h"
#include "core/search_path.h"
#include "core/string_constants.h"

namespace voq {

void ResetCoreState() {
  CalcErrorCode = 0;
  for (std::string& arg : MessageArgs) arg.clear();
  MessageText.clear();
  MessageHelpContext = 0;
  CalcErrorStart = 0;
  CalcErrorEnd = 0;
  AbortRequested = false;
  WarningEquation = nullptr;
  DiagramInputStatement = false;
  LastAbortPollTicks = 0;
  BusyCursorSwitchTicks = 0;
  BusyCursorAlternate = false;
  LastBeepTicks = 0;

  SetDecimalSeparator('.');
  SavedDecimalSeparator = '.';
  SignificantDigits = 4;
  DefaultDisplayFormat = kWarningDisplayFormat;

  ActiveChildWindow = kNoWindow;
  LoadingLibrary = false;
  DistributableMode = false;
  PlayingMacroFile = false;
  HiddenMode = false;
  ShowWarningMessages = true;
  ProgramDirectory.clear();
  SearchPathList.clear();

  ResetStringConstants();
  // The data model installs these again (InstallModelServices).
  SetEquationRangeReader(nullptr);
  SetClearLastEquationHook(nullptr);
  SetStringVariableReader(nullptr);
}

}  // namespace voq

#include "core/calc_state.h"

#include "core/message_ids.h"

namespace voq {

int32_t CalcErrorCode = 0;
std::array<std::string, 5> MessageArgs;
std::string MessageText;
int32_t MessageHelpContext = 0;
int32_t CalcErrorStart = 0;
int32_t CalcErrorEnd = 0;
bool AbortRequested = false;
TEquationRecord* WarningEquation = nullptr;
bool DiagramInputStatement = false;
int32_t LastAbortPollTicks = 0;
int32_t BusyCursorSwitchTicks = 0;
bool BusyCursorAlternate = false;
int32_t LastBeepTicks = 0;

void SetMessageArg(int index, const std::string& text) {
  if (index < 1 || index > 4) return;
  MessageArgs[index] = text.substr(0, kMessageArgLength);
}

void SetCalcError(int32_t code) { CalcErrorCode = code; }

void SetCalcError(int32_t code, const std::string& arg1) {
  SetMessageArg(1, arg1);
  CalcErrorCode = code;
}

void SetCalcErrorWithHelp(int32_t code, int32_t helpContext) {
  CalcErrorCode = code;
  MessageHelpContext = helpContext;
}

void ClearCalcError() { CalcErrorCode = 0; }

void ReportOutOfMemory() { CalcErrorCode = kMsgOutOfMemory; }

}  // namespace voq

#include "core/messages.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "core/calc_state.h"
#include "core/message_ids.h"
#include "core/message_table.h"
#include "core/program_flags.h"
#include "platform/host.h"

namespace voq {

namespace {

EquationRangeReader equationRangeReader = nullptr;
ClearLastEquationHook clearLastEquationHook = nullptr;

int32_t TickDistance(int32_t now, int32_t then) {
  // Tick counts wrap; the absolute difference of the two readings is what counts.
  int64_t d = static_cast<int64_t>(now) - static_cast<int64_t>(then);
  return static_cast<int32_t>(std::min<int64_t>(d < 0 ? -d : d, INT32_MAX));
}

}  // namespace

const char* MessageTableText(int32_t id) {
  static const MessageEntry* const begin = kMessageEntries;
  static const MessageEntry* const end = [] {
    const MessageEntry* e = kMessageEntries;
    while (e->text) ++e;
    return e;
  }();
  // The generated table is sorted by id.
  const MessageEntry* it = std::lower_bound(
      begin, end, id, [](const MessageEntry& e, int32_t key) { return e.id < key; });
  if (it != end && it->id == id) return it->text;
  return "";
}

std::string GetMessageText(int32_t id) {
  std::string text = MessageTableText(id);
  if (text.size() > kMessageTextLength) text.resize(kMessageTextLength);
  // Each pass replaces the first "%%d" and searches again from the start.
  // Inserted arguments are not searched again: the scan resumes behind them,
  // so an argument that itself holds "%%1" cannot make this loop forever.
  size_t from = 0;
  for (;;) {
    size_t pos = text.find("%%", from);
    if (pos == std::string::npos || pos + 2 >= text.size()) break;
    char d = text[pos + 2];
    if (d < '1' || d > '4') {
      from = pos + 2;
      continue;
    }
    const std::string& arg = MessageArgs[d - '0'];
    text.replace(pos, 3, arg);
    from = pos + arg.size();
    if (text.size() > kMessageTextLength) text.resize(kMessageTextLength);
  }
  return text;
}

int ShowAlert(const std::string& text, int kind, bool beep) {
  if (beep) ThrottledBeep();
  PlatformServices& platform = Platform();
  platform.ProcessPendingMessages();
  int rememberedActive = ActiveChildWindow;
  ActiveChildWindow = kNoWindow;
  // The box runs with the program directory current, as help lookups expect.
  std::error_code ec;
  std::filesystem::path rememberedDir = std::filesystem::current_path(ec);
  bool changedDir = false;
  if (!ProgramDirectory.empty()) {
    std::filesystem::current_path(ProgramDirectory, ec);
    changedDir = !ec;
  }
  int result = platform.ShowAlertBox(text, kind, MessageHelpContext > 0 ? MessageHelpContext : 0);
  if (changedDir) std::filesystem::current_path(rememberedDir, ec);
  ActiveChildWindow = rememberedActive;
  MessageHelpContext = 0;
  return result;
}

void SetEquationRangeReader(EquationRangeReader reader) { equationRangeReader = reader; }
void SetClearLastEquationHook(ClearLastEquationHook hook) { clearLastEquationHook = hook; }

void ShowEquationError(int32_t number, int32_t start, int32_t end, int32_t line) {
  WindowServices& windows = Windows();
  windows.SetEquationsHideSelection(false);
  number = number < 0 ? -number : number;
  int kind = kAlertErrorOk;
  if (number == kMsgPendingWarning) {
    if (!ShowWarningMessages) return;
    kind = kAlertInfoOk;
    if (WarningEquation && equationRangeReader) {
      EquationTextRange r = equationRangeReader(WarningEquation);
      start = r.start;
      end = r.end;
      line = r.line;
    } else {
      line = 0;
    }
  }
  if (number == kMsgCancelled) return;
  std::string text = (number == kMsgPreparedText || number == kMsgPendingWarning)
                         ? MessageText
                         : GetMessageText(number);
  if (DiagramInputStatement && number != kMsgPreparedText) text = MessageText + ".  " + text;
  if (number == kMsgOutOfMemory) {
    if (!PlayingMacroFile) ShowAlert(text, kAlertErrorOk, true);
    return;
  }
  if (LoadingLibrary || DistributableMode) line = 0;
  if (line > 0 && !LoadingLibrary && !DiagramInputStatement) {
    if (ActiveChildWindow != kEquationsWindow) windows.ShowWindow(kEquationsWindow);
    windows.SelectEquationsText(start, end, line);
  }
  bool beep = number != kMsgPendingWarning;
  if (number == kMsgConstrained) kind = kAlertInfoOk;
  if (!PlayingMacroFile) ShowAlert(text, kind, beep);
  if (line > 0 && !DiagramInputStatement) {
    windows.ShowAndFocus(kEquationsWindow);
  } else if (line == -4 && windows.WindowExists(kParametricTableWindow)) {
    windows.ShowAndFocus(kParametricTableWindow);
  }
}

void ReportIOError(int32_t code) {
  SetMessageArg(1, std::to_string(code).substr(0, 15));
  std::string text;
  if (code == 5) {
    text = GetMessageText(kMsgFileAccessDenied);
  } else if (code == 0 || code == 101) {
    text = "The file could not be written (I/O result " + MessageArgs[1] + "):  Disk full";
  } else {
    text = GetMessageText(kMsgUnexpectedIOError);
  }
  ShowAlert(text, kAlertErrorOk, true);
}

void CheckAbortRequested() {
  if (!AbortRequested) return;
  CalcErrorCode = kMsgCancelled;
  if (clearLastEquationHook) clearLastEquationHook();
}

void CheckUserAbort() {
  PlatformServices& platform = Platform();
  int32_t now = platform.TickCount();
  if (TickDistance(now, LastAbortPollTicks) < 250) return;
  if (platform.TakeEscKeyDown()) AbortRequested = true;
  // The standard hourglass shows for about five seconds, the program's own
  // for about one, in turn, so a long calculation visibly lives.
  if (BusyCursorAlternate) {
    if (TickDistance(now, BusyCursorSwitchTicks) > 1000) {
      platform.SetBusyCursor(1);
      BusyCursorAlternate = false;
      BusyCursorSwitchTicks = now;
    }
  } else if (TickDistance(now, BusyCursorSwitchTicks) > 5000) {
    platform.SetBusyCursor(5);
    BusyCursorAlternate = true;
    BusyCursorSwitchTicks = now;
  }
  CheckAbortRequested();
  LastAbortPollTicks = now;
}

void ThrottledBeep() {
  PlatformServices& platform = Platform();
  int32_t now = platform.TickCount();
  if (TickDistance(now, LastBeepTicks) > 1000) {
    platform.Beep();
    LastBeepTicks = now;
  }
}

bool CtrlKeyDown() { return Platform().CtrlKeyDown(); }
bool ShiftKeyDown() { return Platform().ShiftKeyDown(); }
bool EscKeyDown() { return Platform().EscKeyDown(); }

}  // namespace voq

#pragma once
// Turning error numbers into text and showing them: the message table with
// its "%%1".."%%4" placeholders, alerts, equation errors with the offending
// statement selected, file input/output results, and the Esc polling that
// turns a user abort into error 58.
#include <cstdint>
#include <string>

namespace voq {

struct TEquationRecord;

inline constexpr size_t kMessageTextLength = 255;

// Text of message id with its placeholders filled from MessageArgs; "" when
// the table has no text for id. At most 255 characters.
std::string GetMessageText(int32_t id);

// A modal alert of kind 0..8 (see AlertKind); beep asks for a ThrottledBeep
// first. Returns the pressed button (1 OK, 2 Cancel, 6 Yes, 7 No, 8 All).
int ShowAlert(const std::string& text, int kind, bool beep);

// Shows error |number| and selects characters start..end-1 of the Equations
// text when line > 0 (line -4: the error belongs to the Parametric table;
// -99: a Diagram input statement).
void ShowEquationError(int32_t number, int32_t start, int32_t end, int32_t line);

// The equation whose TextStart/TextEnd/LineNumber a pending warning selects;
// the language store installs the reader of those fields.
struct EquationTextRange {
  int32_t start = 0;
  int32_t end = 0;
  int32_t line = 0;
};
using EquationRangeReader = EquationTextRange (*)(const TEquationRecord*);
void SetEquationRangeReader(EquationRangeReader reader);

// The alert for a file input/output result code.
void ReportIOError(int32_t code);

// When AbortRequested is set: error 58, and no statement is selected for it.
void CheckAbortRequested();
// Polls the keyboard for Esc at most every 250 ms, alternates the busy
// cursor, then CheckAbortRequested.
void CheckUserAbort();
// At most one system beep a second.
void ThrottledBeep();

bool CtrlKeyDown();
bool ShiftKeyDown();
bool EscKeyDown();

// Hook for CheckAbortRequested: clears the current program unit's
// LastEquation. Installed by the language store.
using ClearLastEquationHook = void (*)();
void SetClearLastEquationHook(ClearLastEquationHook hook);

}  // namespace voq

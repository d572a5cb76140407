#pragma once
// The calculation error and the few program-wide globals that every routine
// uses to report a failure: a routine stores a message number (named in
// core/message_ids.h) in CalcErrorCode, fills the MessageArgs its text needs
// and returns a marker value; callers test CalcErrorCode after each step.
#include <array>
#include <cstdint>
#include <string>

namespace voq {

struct TEquationRecord;

// 0 no error; > 0 a message number to report; < 0 an internal state of a
// routine (for example the evaluator's warning state), never shown as such.
extern int32_t CalcErrorCode;
// Texts put in place of "%%1".."%%4"; index 0 is unused so that the numbers
// read as they do in the messages.
inline constexpr size_t kMessageArgLength = 120;
extern std::array<std::string, 5> MessageArgs;
// A ready-made message or warning line (errors 100 and 900, the Diagram input
// prefix); at most 255 characters.
extern std::string MessageText;
// Help context of the next alert; > 0 adds a Help button; cleared by every alert.
extern int32_t MessageHelpContext;
// Character positions in the Equations text of the statement that caused the
// error: first character and one past the last.
extern int32_t CalcErrorStart;
extern int32_t CalcErrorEnd;
// Set by Esc or a Stop button during a calculation; turned into error 58.
extern bool AbortRequested;
// The equation that raised the pending warning shown as message 900.
extern TEquationRecord* WarningEquation;
// The statement being compiled comes from the Diagram window's inputs.
extern bool DiagramInputStatement;
extern int32_t LastAbortPollTicks;
extern int32_t BusyCursorSwitchTicks;
extern bool BusyCursorAlternate;
extern int32_t LastBeepTicks;

// Sets MessageArgs[index] (1..4), cut to the argument length.
void SetMessageArg(int index, const std::string& text);
// Sets CalcErrorCode and, optionally, the first argument.
void SetCalcError(int32_t code);
void SetCalcError(int32_t code, const std::string& arg1);
// Sets CalcErrorCode with the help context the alert offers for it.
void SetCalcErrorWithHelp(int32_t code, int32_t helpContext);
// Clears the error, its arguments are kept (raisers overwrite what they use).
void ClearCalcError();
// Memory was refused, or a list outgrew what the program holds: sets the
// out-of-memory error and shows nothing. A checked allocator shows its alert
// at once; elsewhere the error is reported with the step that failed.
void ReportOutOfMemory();

}  // namespace voq

#pragma once
// The number-text conventions of the running system, kept together because
// they change together: the decimal separator of the user's locale decides
// the argument separator of equations and macro commands.
namespace voq {

// The system decimal separator: '.' or ','.
extern char DecimalSeparator;
// The decimal separator in force at start-up, or the one an included text
// or variable-information file says it was written with;
// LocalizeDecimalSeparator converts text only when the two differ.
extern char SavedDecimalSeparator;
// ',' normally, ';' when the decimal separator is a comma.
extern char ArgumentSeparator;
// What separates two equations on one line: ';' normally, ':' when the
// decimal separator is a comma.
extern char StatementSeparator;

// Sets DecimalSeparator and the ArgumentSeparator and StatementSeparator
// that go with it. SavedDecimalSeparator is left alone: start-up sets it
// explicitly.
void SetDecimalSeparator(char separator);

// Start-up: the system's decimal separator becomes DecimalSeparator and
// SavedDecimalSeparator. Only '.' and ',' can be told apart from the other
// characters of an equation: any other separator is shown message 396 (a
// warning, with a beep) and ',' is used instead.
void ApplySystemDecimalSeparator(char system);

}  // namespace voq

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

// Sets DecimalSeparator and the ArgumentSeparator that goes with it.
// SavedDecimalSeparator is left alone: start-up sets it explicitly.
void SetDecimalSeparator(char separator);

}  // namespace voq

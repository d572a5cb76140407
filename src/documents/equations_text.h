#pragma once
// The Equations text as a plain file, and the conversion of a text between
// the two decimal conventions.
//
// A plain equations file is "{$DS" with the writer's decimal separator and
// "}", then the text (CR LF line ends), then a zero byte. A reader takes the
// separator from the directive and removes it.
#include <string>

namespace voq {

// The bytes of a plain equations file for text under the system's separator.
std::string EquationsTextBytes(const std::string& text);

// Writes the Equations window's text as a plain equations file (through the
// checked writer of document_files.h); false after a reported I/O error.
bool WriteEquationsText(const std::string& fileName);

// Converts the numbers and separators of text written under the other
// decimal convention to the system's (systemSeparator '.' or ','). Comments,
// quoted strings and a directive opening the text are left alone.
//   System ',': "," becomes ";", ";" the statement separator, and a "." in a
//   number becomes ",".
//   System '.': ";" becomes ",", ":" the statement separator when it stands
//   outside parentheses and not before "=" (":=" stays), and a "," in a
//   number becomes ".".
// A separator character stands in a number when the character before it is
// a digit, a blank, an operator, "(", "}", ";" or ":" and the one after it a
// digit or an exponent "E".
void ConvertDecimalSeparator(std::string& text, char systemSeparator, char statementSeparator);

}  // namespace voq

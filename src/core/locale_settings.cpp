#include "core/locale_settings.h"

#include "core/message_ids.h"
#include "core/messages.h"
#include "platform/platform.h"

namespace voq {

char DecimalSeparator = '.';
char SavedDecimalSeparator = '.';
char ArgumentSeparator = ',';
char StatementSeparator = ';';

void SetDecimalSeparator(char separator) {
  DecimalSeparator = separator;
  ArgumentSeparator = (separator == ',') ? ';' : ',';
  StatementSeparator = (separator == ',') ? ':' : ';';
}

void ApplySystemDecimalSeparator(char system) {
  char separator = system;
  if (separator != '.' && separator != ',') {
    ShowAlert(GetMessageText(kMsgDecimalSeparator), kAlertWarningOk, true);
    separator = ',';
  }
  SetDecimalSeparator(separator);
  // The separator in force, not the one the system named: text written now
  // is written with it, and nothing is converted between the two.
  SavedDecimalSeparator = separator;
}

}  // namespace voq

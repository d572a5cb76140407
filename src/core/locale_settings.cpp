#include "core/locale_settings.h"

namespace voq {

char DecimalSeparator = '.';
char SavedDecimalSeparator = '.';
char ArgumentSeparator = ',';

void SetDecimalSeparator(char separator) {
  DecimalSeparator = separator;
  ArgumentSeparator = (separator == ',') ? ';' : ',';
}

}  // namespace voq

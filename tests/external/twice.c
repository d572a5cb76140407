/* A test external function: TWICE(X) = 2 X. A negative X is refused with an
 * error text; the folder current during the last call is kept for the tests. */
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include "voq/external.h"

char TwiceLastDirectory[4096];
double TwiceLastInput;

double TWICE(char* text, int32_t mode, const VoqParamNode* inputs) {
  if (mode == VOQ_MODE_SYNTAX) {
    strcpy(text, "Y = TWICE(X)");
    return 0;
  }
  if (getcwd(TwiceLastDirectory, sizeof TwiceLastDirectory) == NULL) TwiceLastDirectory[0] = '\0';
  if (inputs == NULL || inputs->next != NULL) {
    strcpy(text, "TWICE takes one input.");
    return 0;
  }
  TwiceLastInput = inputs->value;
  if (inputs->value < 0) {
    snprintf(text, VOQ_TEXT_SIZE, "TWICE refuses %g", inputs->value);
    return 0;
  }
  return 2 * inputs->value;
}

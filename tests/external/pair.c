/* A test external procedure of two outputs: PAIR(a, b : a + b, a b). It
 * counts its calls; an input of -1 is refused with an error text. */
#include <string.h>

#include "voq/external.h"

int PairCalls;

void PAIR(char* text, int32_t mode, const VoqParamNode* inputs, VoqParamNode* outputs) {
  if (mode == VOQ_MODE_SYNTAX) {
    strcpy(text, "CALL PAIR(A,B:SUM,PRODUCT)");
    return;
  }
  ++PairCalls;
  if (inputs == NULL || inputs->next == NULL || outputs == NULL || outputs->next == NULL) {
    strcpy(text, "PAIR takes two inputs and two outputs.");
    return;
  }
  const double a = inputs->value;
  const double b = inputs->next->value;
  if (a == -1) {
    strcpy(text, "PAIR cannot take -1");
    return;
  }
  outputs->value = a + b;
  outputs->next->value = a * b;
}

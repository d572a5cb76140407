/* A test array-style procedure: ECHO(x1, x2, ... : y1, y2, ...) copies its
 * inputs to its outputs. A first input of 7 fails with mode 7 and no text;
 * one of 8 fails with a text. The inputs of the last call are kept. */
#include <string.h>

#include "voq/external.h"

int EchoCalls;
double EchoLastInputs[VOQ_FDL_MIN_VALUES];

void ECHO(char* text, int32_t textLength, int32_t* mode, int32_t* inputCount, double* inputs,
          int32_t* outputCount, double* outputs) {
  (void)textLength;
  if (*mode == VOQ_MODE_SYNTAX) {
    strcpy(text, "CALL ECHO(X:Y)");
    return;
  }
  ++EchoCalls;
  for (int i = 0; i < *inputCount && i < VOQ_FDL_MIN_VALUES; ++i) EchoLastInputs[i] = inputs[i];
  if (*inputCount >= 1 && inputs[0] == 7) {
    *mode = 7;
    return;
  }
  if (*inputCount >= 1 && inputs[0] == 8) {
    *mode = 8;
    strcpy(text, "ECHO refuses 8");
    return;
  }
  for (int i = 0; i < *outputCount && i < *inputCount; ++i) outputs[i] = inputs[i];
}

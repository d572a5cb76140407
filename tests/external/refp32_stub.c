/* A stand-in for the external property library: the array-style entry
 * REFP32 records what it receives and answers with known values. The
 * calculation call fills out[k] = k + 0.5, with out[10] (the quality) = 2 so
 * that the state outputs take no mass-quality step; a first input of 99.01
 * makes it fail with mode 3 and a text. */
#include <string.h>

#include "voq/external.h"

char RefpLastText[20000];
int32_t RefpLastTextLength;
int32_t RefpLastCount;
double RefpLastInputs[200];
int32_t RefpSetupCount;
double RefpSetupInputs[3];
int RefpCalls;

void REFP32(char* text, int32_t textLength, int32_t* mode, int32_t* inputCount, double* inputs,
            int32_t* outputCount, double* outputs) {
  ++RefpCalls;
  (void)outputCount;
  if (*mode == -1) {
    RefpSetupCount = *inputCount;
    for (int i = 0; i < 3; ++i) RefpSetupInputs[i] = inputs[i];
    *mode = 0;
    return;
  }
  RefpLastTextLength = textLength;
  strncpy(RefpLastText, text, sizeof RefpLastText - 1);
  RefpLastCount = *inputCount;
  for (int i = 0; i < *inputCount && i < 200; ++i) RefpLastInputs[i] = inputs[i];
  if (inputs[0] == 99.01) {
    *mode = 3;
    strcpy(text, "stub refuses");
    return;
  }
  for (int k = 0; k < 200; ++k) outputs[k] = k + 0.5;
  outputs[10] = 2;
}

/* The code part of JANAF.DLP: the procedure's entry point, which VOQ looks
 * up when it registers the library. VOQ serves the procedure itself from the
 * data block appended to this file (tools/make_janaf_dlp.cpp), so the entry
 * only answers the calling-form query. */
#include <string.h>

#include "voq/external.h"

void JANAF(char* text, int32_t mode, const VoqParamNode* inputs, VoqParamNode* outputs) {
  (void)inputs;
  (void)outputs;
  if (mode == VOQ_MODE_SYNTAX) strcpy(text, "CALL JANAF('Substance',T:CP,H,S)");
}

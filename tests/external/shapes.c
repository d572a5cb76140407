/* A test library of several routines listed by name. */
#include <string.h>

#include "voq/external.h"

void DLFNames(char* names) { strcpy(names, "Area,Volume"); }

double Area(char* text, int32_t mode, const VoqParamNode* inputs) {
  (void)text;
  (void)mode;
  return inputs != NULL ? inputs->value * inputs->value : 0;
}

double Volume(char* text, int32_t mode, const VoqParamNode* inputs) {
  (void)text;
  (void)mode;
  return inputs != NULL ? inputs->value * inputs->value * inputs->value : 0;
}

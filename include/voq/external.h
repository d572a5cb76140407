/*
 * voq/external.h - the interface between VOQ and the external routines it
 * loads from shared objects: functions (".DLF"), procedures that exchange
 * linked lists of values (".DLP"), procedures that exchange arrays (".FDL"),
 * and libraries of several routines that list their names.
 *
 * The layouts here are those of the machine VOQ runs on (on x86-64 Linux: a
 * node is 16 bytes, the value at 0 and the link at 8). Every entry point uses
 * the platform's ordinary C calling convention and is exported unmangled
 * (extern "C" from C++), under the name VOQ looks up:
 *
 *   a library of one routine, e.g. twice.dlf: the file name in capitals
 *   without its extension ("TWICE"), looked up exactly as written;
 *   a library of several routines (".DLL"): the names its list functions
 *   return, exactly as listed.
 *
 * Plain C99; no VOQ header is needed to build a library.
 */
#ifndef VOQ_EXTERNAL_H
#define VOQ_EXTERNAL_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* One value of an input or output list. VOQ allocates and frees every node;
 * a routine reads the input nodes and writes the values of the output
 * nodes, never the links. */
typedef struct VoqParamNode {
  double value;
  struct VoqParamNode* next; /* NULL ends the list */
} VoqParamNode;

/* The text buffer: VOQ_TEXT_SIZE bytes holding a zero-terminated text of at
 * most 255 bytes. On entry it holds the call's text argument (empty when
 * there is none). Text left there that differs from what came in is an
 * error message; the equation then stops with it. */
#define VOQ_TEXT_SIZE 256

/* The mode: VOQ_MODE_EVALUATE for a calculation; VOQ_MODE_SYNTAX asks the
 * routine to write its calling form (for example "Y = TWICE(X)") into the
 * text buffer and return. */
#define VOQ_MODE_EVALUATE 1
#define VOQ_MODE_SYNTAX (-1)

/* ".DLF": returns the function's value; inputs in argument order (NULL
 * when the call has no inputs). A blank (unset) input arrives as 1E+99. */
typedef double (*VoqExternalFunction)(char* text, int32_t mode, const VoqParamNode* inputs);

/* ".DLP": one output node per output of the CALL, in order, each preset to
 * -999. */
typedef void (*VoqExternalProcedure)(char* text, int32_t mode, const VoqParamNode* inputs,
                                     VoqParamNode* outputs);

/* ".FDL": the text and its length; *mode is 0 on entry for a calculation
 * (VOQ_MODE_SYNTAX for the calling form) and a non-zero value left there
 * reports failure (with the message in text, or VOQ reports the number).
 * The arrays hold at least VOQ_FDL_MIN_VALUES values each; outputs are
 * preset to -999. */
#define VOQ_FDL_MIN_VALUES 20
typedef void (*VoqArrayProcedure)(char* text, int32_t textLength, int32_t* mode, int32_t* inputCount,
                                  double* inputs, int32_t* outputCount, double* outputs);

/* A library of several routines (extension ".DLL") exports any of
 * "DLFNames", "DLPNames" and "FDLNames": each writes the comma-separated
 * names of its functions, list-style procedures or array-style procedures
 * (at most VOQ_NAMES_SIZE - 1 bytes and a closing zero) into names. */
#define VOQ_NAMES_SIZE 5001
typedef void (*VoqNameList)(char* names);

#ifdef __cplusplus
}
#endif

#endif /* VOQ_EXTERNAL_H */

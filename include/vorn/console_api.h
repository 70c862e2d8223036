/*
 * The standard streams and the console shorthands, as compiled code calls them.
 *
 * RuntimeGetStdIn, RuntimeGetStdOut and RuntimeGetStdErr hand out the one StandardInputStream
 * and the two StandardOutputStreams (one reference for the caller). Reads share one buffer of
 * standard input, so Input and the stream's reads may be mixed; ReadLine drops the line end
 * (LF, CR LF or CR). Writes go straight out, in order. A nil or foreign object reads nothing,
 * is at its end, and writes nothing. String results carry one reference for the caller.
 */
#ifndef VORN_CONSOLE_API_H
#define VORN_CONSOLE_API_H

#include <stdint.h>

#include "vorn/object_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

VornRuntimeObject *RuntimeGetStdIn(void);
VornRuntimeObject *RuntimeGetStdOut(void);
VornRuntimeObject *RuntimeGetStdErr(void);

/* encoding: a TextEncoding tagging the result, nil for UTF-8. */
VornStringRecord *RuntimeStdInputReadLine(VornRuntimeObject *stream, VornRuntimeObject *encoding);
/* Up to count bytes: what is buffered, else what one read brings (waiting for it). */
VornStringRecord *RuntimeStdInputRead(VornRuntimeObject *stream, int32_t count, VornRuntimeObject *encoding);
/* Waits for input when none is buffered. */
uint8_t RuntimeStdInputEof(VornRuntimeObject *stream);
uint8_t RuntimeStdInputError(VornRuntimeObject *stream);

void RuntimeStdOutputStreamWrite(VornRuntimeObject *stream, VornStringRecord *text);
void RuntimeStdOutputStreamWriteLine(VornRuntimeObject *stream, VornStringRecord *line);
void RuntimeStdOutFlush(VornRuntimeObject *stream);
uint8_t RuntimeStdOutputError(VornRuntimeObject *stream);

/* Print: the text and a line feed on standard output. Input: the next line of standard input. */
void RuntimeConsolePrint(VornStringRecord *text);
VornStringRecord *RuntimeConsoleInput(void);

#ifdef __cplusplus
}
#endif

#endif

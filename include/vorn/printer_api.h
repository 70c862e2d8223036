/*
 * Printing as compiled code calls it: the PrinterSetup class and the two ways to open a print
 * job. A job is a Graphics object drawing the first page; its NextPage prints the page and
 * begins the next, and releasing the object prints the last page and ends the job. Without a
 * print library every call answers nil or 0.
 *
 * Property accessors take (object, parameter word[, value]); for printerSetupInfoGetter the
 * word is the index of the value (0 VerticalResolution, 1 HorizontalResolution, 2 Left, 3 Top,
 * 4 Width, 5 Height, 6 PageLeft, 7 PageTop, 8 PageWidth, 9 PageHeight, 10
 * MaxVerticalResolution, 11 MaxHorizontalResolution); for printerSetupMaxResSetter it is 10 or
 * 11.
 */
#ifndef VORN_PRINTER_API_H
#define VORN_PRINTER_API_H

#include <stdint.h>

#include "vorn/object_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

void PrinterSetupConstructor(VornRuntimeObject *setup);
void PrinterSetupDestructor(VornRuntimeObject *setup);

int32_t printerSetupInfoGetter(VornRuntimeObject *setup, int32_t index);
/* -1 means no maximum. */
void printerSetupMaxResSetter(VornRuntimeObject *setup, int32_t index, int32_t value);
/* Always the empty string; the setter ignores the value. */
VornStringRecord *printerSetupStringGetter(VornRuntimeObject *setup, int32_t param);
void printerSetupStringSetter(VornRuntimeObject *setup, int32_t param, VornStringRecord *value);
/* Shows the page setup dialog for the setup's paper, orientation and margins, takes the
   resolutions into the object and answers whether the user accepted it (false without a
   display). */
uint8_t printerSetupPageSetup(VornRuntimeObject *setup, VornRuntimeObject *window);

/* A Graphics object for a job the user confirms in the print dialog, nil when cancelled. With
   a nil setup a new PrinterSetup is used. */
VornRuntimeObject *RuntimeOpenPrinterDialog(VornRuntimeObject *setup, VornRuntimeObject *window);
/* The same without a dialog, for all pages. */
VornRuntimeObject *RuntimeOpenPrinter(VornRuntimeObject *setup);

#ifdef __cplusplus
}
#endif

#endif

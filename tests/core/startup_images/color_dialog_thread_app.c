/* A dialog that GTK runs in a main loop of its own (the colour picker) while a thread runs. */
#include "dialog_thread.h"

uint8_t selectColor(uint32_t *color, VornStringRecord *prompt);

VORN_LITERAL(kPrompt, "Pick a colour");

static void ShowDialog(void) {
  uint32_t color = 0;
  selectColor(&color, VORN_STR(kPrompt));
}

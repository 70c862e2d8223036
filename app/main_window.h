/*
 * MainWindow: the calculator's window. Three groups of composite sliders, the result, the
 * "X-Axis" and "Curves" popup menus, the chart canvas and the one-shot timer that refreshes it.
 */
#ifndef CALCULATOR_MAIN_WINDOW_H
#define CALCULATOR_MAIN_WINDOW_H

#include "vorn/class_abi.h"

/* Builds the window's classes (the composite slider, the chart timer and the window). */
VornRuntimeClass *RegisterMainWindowClasses(void);

/* Opens the main window: its implicit instance, created and shown. */
void OpenMainWindow(VornRuntimeClass *mainWindowClass);

#endif
